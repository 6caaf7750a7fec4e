// How a log is read, decided once per log before anything reads it.
//
// Encoding: a log that starts with a UTF-16 byte-order mark is UTF-16 of
// that byte order. One that starts with the UTF-8 byte-order mark, or whose
// first 64 KiB are valid UTF-8 holding at least one multi-byte sequence, is
// UTF-8 (Japanese text in code page 932 is almost never valid UTF-8); every
// other log is code page 932. A sequence cut off by the end of the 64 KiB
// does not count against UTF-8. When the encoding is given, only UTF-16's
// byte order is still decided: by the mark, else by which bytes of a code
// unit hold NULs (little-endian when neither does).
//
// Line end: a log whose first 64 KiB (as UTF-8, for a UTF-16 log) hold an LF
// but no CR is read with LF line ends; every other log with CR. The sniff
// also gathers the facts a refusal is explained by. Throws IoError when the
// log cannot be read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"

namespace trovlin {

inline constexpr std::size_t kSniffWindow = 64 * 1024;
inline constexpr std::size_t kLoneLfLinesKept = 5;

struct LogSniff {
  LogFormat format;
  bool empty = false;
  bool nulBytes = false;         // NUL bytes in the opening of a log not read as UTF-16
  bool utf16WithoutBom = false;  // ...that sit at every other byte, as in UTF-16 text
  // For a CR log: the first lines of the opening that hold an LF neither
  // right after a CR nor right before one (LF CR is a PATOLIS line end).
  std::vector<std::uint64_t> loneLfLines;
};

LogSniff SniffLog(const std::string& path, std::optional<LogEncoding> given = std::nullopt);
LogSniff SniffLogOf(std::string_view head, bool headIsWholeFile, std::optional<LogEncoding> given = std::nullopt);
LogEncoding SniffEncodingOf(std::string_view head, bool headIsWholeFile);

}  // namespace trovlin
