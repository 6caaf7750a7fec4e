// trovlin-cli's own text: UTF-8 on stdout and stderr.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "input/discover.h"
#include "input/open_log.h"
#include "patolis/patolis.h"

namespace trovlin::cli {

// The messages the CLI shares with the window, word for word, so that
// scripts written against either read the same text.
inline constexpr std::string_view kNotALogMessage = "検索結果ログファイルを指定してください";
inline constexpr std::string_view kSameFileMessage = "読み込むﾌｧｲﾙと同じﾌｧｲﾙは指定できません";
inline constexpr std::string_view kPatolisFailureTitle = "PATOLISデータ変換";

void Print(std::FILE* to, std::string_view text);
// "trovlin-cli: " + message + newline, on stderr.
void Error(std::string_view message);

// Said when a PATOLIS log has no answer layout to convert (header: the
// log's answer header, if it has one): nothing is written.
std::string NoPatolisLayoutMessage(const std::string& log, const std::optional<AnswerHeader>& header);

// Said when the first answer has more codes than a conversion takes.
std::string ItemsLeftOutMessage(std::size_t leftOut);

// Warns when the item codes were read from a first block that holds no
// answer header (a banner, a command), naming the option that reads the
// first answer instead.
void WarnIfNoAnswerHeader(const std::string& log, const Discovery& found);

// "code page 932", "UTF-8", "UTF-16 (little-endian)", "UTF-16 (big-endian)".
std::string_view EncodingWords(LogEncoding encoding);

// Why no service was recognised in an opened log, in a few words.
std::string RefusalReason(const OpenedLog& opened);

// What the CLI says on opening a log: with sayHowRead, how it is read when
// that is not code page 932 with CR line ends; that it is refused and why
// (the first line as it always was, prefixed with the log in a batch); or
// where lone LFs were met.
void ReportOpenedLog(const std::string& log, const OpenedLog& opened, bool batch, bool sayHowRead);

}  // namespace trovlin::cli
