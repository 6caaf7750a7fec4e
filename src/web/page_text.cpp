#include "web/page_text.h"

#include <initializer_list>
#include <string_view>

#include "app/captions.h"
#include "common/conversion_settings.h"
#include "text/utf8.h"

namespace trovlin::web {
namespace {

namespace captions = app::captions;

std::u16string Number(std::uint64_t n) { return Utf8ToUtf16(std::to_string(n)); }

// pattern with each "%n" (n from 1 to 9) replaced by the n-th of args.
std::string Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' && pattern[i + 1] <= u'9') {
      const auto n = static_cast<std::size_t>(pattern[i + 1] - u'1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  return Utf16ToUtf8(out);
}

}  // namespace

std::string FailureReason(const IoError& error) {
  if (error.reason() == IoReason::System) {
    for (const captions::ErrnoCaption& c : captions::kErrnoCaptions) {
      if (static_cast<std::uint64_t>(c.error) == error.number()) return Fill(c.text, {});
    }
  }
  return Fill(captions::ReasonCaption(error.reason()),
              {Number(error.number()), Number(error.limit()), Utf8ToUtf16(kPresetSignature)});
}

std::string RefusalText(const OpenedLog& opened) {
  switch (opened.refusal) {
    case Refusal::Empty:
      return Fill(captions::kRefusedEmpty, {});
    case Refusal::Utf16WithoutBom:
      return Fill(captions::kRefusedUtf16, {});
    case Refusal::NulBytes:
      return Fill(captions::kRefusedNul, {});
    case Refusal::NoMarker:
    case Refusal::None:
      break;
  }
  if (opened.linesExamined == 0 && opened.shortLine == 0) return Fill(captions::kRefusedOnlyLine, {});
  std::string text = opened.linesExamined == 0 ? Fill(captions::kRefusedNowhere, {})
                                               : Fill(captions::kRefusedLines, {Number(opened.linesExamined)});
  if (opened.shortLine != 0) text += Fill(captions::kRefusedShortLine, {Number(opened.shortLine)});
  return text;
}

std::string SameFileText() { return Fill(captions::kSameFile, {}); }

std::string NoLayoutText(const std::optional<AnswerHeader>& header) {
  return header ? Fill(captions::kLayoutNotConvertible, {header->layoutCharacter})
                : Fill(captions::kNoAnswerHeader, {});
}

std::string NothingWrittenText(const std::optional<AnswerHeader>& header) {
  return NoLayoutText(header) + Fill(captions::kNoFileMade, {});
}

std::string WarningText(const ReportWarning& w) {
  switch (w.kind) {
    case WarningKind::InvalidBytes:
      return Fill(captions::kWarnInvalidBytes, {Number(w.count)});
    case WarningKind::ItemsLeftOut:
      return Fill(captions::kWarnItemsLeftOut, {Number(w.count), Number(kMaxTaggedItems)});
    case WarningKind::RecordCutShort:
      return Fill(captions::kWarnRecordCutShort, {});
    case WarningKind::Unencodable:
      return Fill(captions::kWarnUnencodable, {Number(w.count)});
    case WarningKind::ItemNotShown:
      return Fill(captions::kWarnItemNotShown, {w.code});
    case WarningKind::CellCut:
      return Fill(captions::kWarnCellCut, {Number(w.count), Number(kMaxWorkbookCellChars)});
  }
  return {};
}

}  // namespace trovlin::web
