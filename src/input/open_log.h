// Opening a log: the one sequence every front end runs before it converts.
//
// The encoding and the line end are decided first (SniffLog, or the given
// encoding), then the service is detected with that reading. A log detected
// as PATOLIS is read with its LF CR pairs repaired by every later pass
// (format.repairLfCr); detection itself saw the bytes as they are. The log
// is only ever read. A log no service is recognised in comes back with the
// refusal that says why, as facts for the front end to word. Throws IoError
// when the log cannot be read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/conversion_settings.h"

namespace trovlin {

enum class Refusal {
  None,
  Empty,            // the file holds no byte
  Utf16WithoutBom,  // its NUL bytes sit as in UTF-16 text, but it has no byte-order mark
  NulBytes,         // it holds NUL bytes: not a text log
  NoMarker,         // no marker in the lines examined
};

struct OpenedLog {
  LogFormat format;
  DatabaseKind kind = DatabaseKind::None;
  Refusal refusal = Refusal::None;  // set when kind is None
  std::uint64_t linesExamined = 0;  // NoMarker: the opening lines detection looked at
  std::uint64_t shortLine = 0;      // NoMarker: the short line that ended the scan, 0 if none
  // A CR log with lone LFs in its opening (first lines, at most kLoneLfLinesKept).
  std::vector<std::uint64_t> loneLfLines;
};

OpenedLog OpenLog(const std::string& path, std::optional<LogEncoding> encoding = std::nullopt);

}  // namespace trovlin
