// Database detection: which service produced a log.
//
// The opening lines are scanned up to the first line of four characters or
// fewer, and never the log's last line. Per line, after leading spaces are
// removed and ASCII letters upper-cased, the tests run in the order STN
// ("L" + "ANSWER" at 6-11, or "=> " first), DIALOG ("FN-" or "DIALOG"
// anywhere), JOIS ("JST" or "JICST" anywhere), PATOLIS ("＊＊検索回答" first).
// STN is provisional and the scan goes on; the others are final. The log is
// read as format says, never with the PATOLIS line-end repair (detection is
// what decides it). Throws IoError when the log cannot be read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/conversion_settings.h"

namespace trovlin {

struct Detection {
  DatabaseKind kind = DatabaseKind::None;
  std::uint64_t linesExamined = 0;
  std::uint64_t shortLine = 0;  // the line of four characters or fewer that ended the scan; 0: none did
};

Detection DetectLog(const std::string& path, const LogFormat& format = {});
inline DatabaseKind DetectDatabase(const std::string& path, const LogFormat& format = {}) {
  return DetectLog(path, format).kind;
}

}  // namespace trovlin
