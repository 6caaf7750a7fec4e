// The window's words for a log that no service was recognised in: the
// fixed "not a log" message, the file, and the reason, each on its line
// (lines separated by a lone CR, as every message of the window).
#pragma once

#include <string>

#include "input/open_log.h"

namespace trovlin::app {

std::u16string RefusalMessage(const std::string& path, const OpenedLog& opened);

}  // namespace trovlin::app
