// Which encoding a log is in, decided once per log before anything reads it.
//
// A log that starts with the UTF-8 byte-order mark, or whose first 64 KiB are
// valid UTF-8 holding at least one multi-byte sequence, is UTF-8 (Japanese
// text in code page 932 is almost never valid UTF-8); every other log is code
// page 932. A sequence cut off by the end of the 64 KiB does not count
// against UTF-8. Throws IoError when the log cannot be read.
#pragma once

#include <string>
#include <string_view>

#include "common/conversion_state.h"

namespace trovlin {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

LogEncoding SniffLogEncoding(const std::string& path);
LogEncoding SniffEncodingOf(std::string_view head, bool headIsWholeFile);

}  // namespace trovlin
