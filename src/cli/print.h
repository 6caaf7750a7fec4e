// trovlin-cli's own text: UTF-8 on stdout and stderr.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace trovlin::cli {

void Print(std::FILE* to, std::string_view text);
// "trovlin-cli: " + message + newline, on stderr.
void Error(std::string_view message);

// Said when a PATOLIS log has no answer layout to convert: nothing is written.
std::string NoPatolisLayoutMessage(const std::string& log);

}  // namespace trovlin::cli
