// trovlin-cli's own text: UTF-8 on stdout and stderr.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "input/discover.h"
#include "input/open_log.h"
#include "session/log_session.h"

namespace trovlin::cli {

void Print(std::FILE* to, std::string_view text);
// "trovlin-cli: " + message + newline, on stderr.
void Error(std::string_view message);
// The same for a note that is neither an error nor a warning.
void Note(std::string_view message);

// While a HeldMessages lives, what its thread prints on stderr is kept in it
// rather than printed: a batch that converts several logs at once prints
// each log's messages whole, in the order of the logs. One per thread at a
// time.
class HeldMessages {
 public:
  HeldMessages();
  ~HeldMessages();
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// While a FirstError lives, the first message its thread says with Error()
// that is not a warning is kept in it: a batch's report names why a log
// failed. One per thread at a time.
class FirstError {
 public:
  FirstError();
  ~FirstError();
  FirstError(const FirstError&) = delete;
  FirstError& operator=(const FirstError&) = delete;
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Said when a PATOLIS log has no answer layout to convert (header: the
// log's answer header, if it has one): nothing is written.
std::string NoPatolisLayoutMessage(const std::string& log, const std::optional<AnswerHeader>& header);

// Said when the first answer of log has more codes than a conversion takes.
std::string ItemsLeftOutMessage(const std::string& log, std::size_t leftOut);

// Warns when the item codes were read from a first block that holds no
// answer header (a banner, a command), naming the option that reads the
// first answer instead.
void WarnIfNoAnswerHeader(const std::string& log, const Discovery& found);

// "code page 932", "UTF-8", "UTF-16 (little-endian)", "UTF-16 (big-endian)".
std::string_view EncodingWords(LogEncoding encoding);

// Why no service was recognised in an opened log, in a few words.
std::string RefusalReason(const OpenedLog& opened);

// What the CLI says on opening a log: with sayHowRead, how it is read when
// that is not code page 932 with CR line ends; that it is not a search log,
// and why; or where lone LFs were met.
void ReportOpenedLog(const std::string& log, const OpenedLog& opened, bool sayHowRead);

}  // namespace trovlin::cli
