#include "web/page_text.h"

#include "app/captions.h"
#include "app/words.h"
#include "text/utf8.h"

namespace trovlin::web {

std::string FailureReason(const IoError& error) { return Utf16ToUtf8(app::FailureReason(error)); }

std::string RefusalText(const OpenedLog& opened) { return Utf16ToUtf8(app::RefusalText(opened)); }

std::string SameFileText() { return Utf16ToUtf8(app::captions::kSameFile); }

std::string NoLayoutText(const std::optional<AnswerHeader>& header) { return Utf16ToUtf8(app::PatolisRefusal(header)); }

std::string NothingWrittenText(const std::optional<AnswerHeader>& header) {
  return NoLayoutText(header) + Utf16ToUtf8(app::captions::kNoFileMade);
}

std::string WarningText(const ReportWarning& warning) { return Utf16ToUtf8(app::WarningText(warning)); }

}  // namespace trovlin::web
