// Database detection: which service produced a log.
//
// The opening lines are scanned up to the first line of four characters or
// fewer, and never the log's last line. Per line, after leading spaces are
// removed and ASCII letters upper-cased, the tests run in the order STN
// ("L" + "ANSWER" at 6-11, or "=> " first), DIALOG ("FN-" or "DIALOG"
// anywhere), JOIS ("JST" or "JICST" anywhere), PATOLIS ("＊＊検索回答" first).
// STN is provisional and the scan goes on; the others are final. A PATOLIS
// log has its LF CR line ends rewritten as CR LF in place before returning.
// Throws IoError when the log cannot be read or repaired.
#pragma once

#include <string>
#include <string_view>

#include "common/conversion_state.h"

namespace trovlin {

// The message shown when no service is recognised.
inline constexpr std::string_view kNotALogMessage = "検索結果ログファイルを指定してください";

DatabaseKind DetectDatabase(const std::string& path, LogEncoding encoding = LogEncoding::Cp932);

}  // namespace trovlin
