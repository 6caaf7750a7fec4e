#include "app/words.h"

#include "app/captions.h"
#include "text/utf8.h"

namespace trovlin::app {

std::u16string FromUtf8(std::string_view utf8) { return Utf8ToUtf16(utf8); }

std::u16string Number(std::uint64_t n) { return FromUtf8(std::to_string(n)); }

std::u16string Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' && pattern[i + 1] <= u'9') {
      const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - u'1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += pattern[i];
  }
  return out;
}

bool IsUtf16(LogEncoding encoding) { return encoding == LogEncoding::Utf16Le || encoding == LogEncoding::Utf16Be; }

std::u16string FailureReason(const IoError& error) {
  if (error.reason() == IoReason::System) {
    for (const captions::ErrnoCaption& c : captions::kErrnoCaptions) {
      if (static_cast<std::uint64_t>(c.error) == error.number()) return std::u16string(c.text);
    }
  }
  return Fill(captions::ReasonCaption(error.reason()),
              {Number(error.number()), Number(error.limit()), FromUtf8(kPresetSignature)});
}

std::u16string PatolisRefusal(const std::optional<AnswerHeader>& header) {
  if (!header) return std::u16string(captions::kNoAnswerHeader);
  if (header->layoutCode >= 1 && header->layoutCode <= 4) return {};
  // A header line that ends before the layout character names no layout.
  if (header->layoutCharacter.empty()) return std::u16string(captions::kNoAnswerHeader);
  return Fill(captions::kLayoutNotConvertible, {header->layoutCharacter});
}

std::u16string RefusalText(const OpenedLog& opened) {
  switch (opened.refusal) {
    case Refusal::Empty:
      return std::u16string(captions::kRefusedEmpty);
    case Refusal::Utf16WithoutBom:
      return std::u16string(captions::kRefusedUtf16);
    case Refusal::NulBytes:
      return std::u16string(captions::kRefusedNul);
    case Refusal::NoMarker:
    case Refusal::None:
      break;
  }
  if (opened.linesExamined == 0 && opened.shortLine == 0) return std::u16string(captions::kRefusedOnlyLine);
  std::u16string text = opened.linesExamined == 0 ? std::u16string(captions::kRefusedNowhere)
                                                  : Fill(captions::kRefusedLines, {Number(opened.linesExamined)});
  if (opened.shortLine != 0) text += Fill(captions::kRefusedShortLine, {Number(opened.shortLine)});
  return text;
}

std::u16string WarningText(const ReportWarning& w) {
  switch (w.kind) {
    case WarningKind::InvalidBytes:
      return Fill(captions::kWarnInvalidBytes, {Number(w.count)});
    case WarningKind::ItemsLeftOut:
      return Fill(captions::kWarnItemsLeftOut, {Number(w.count), Number(kMaxTaggedItems)});
    case WarningKind::RecordCutShort:
      return std::u16string(captions::kWarnRecordCutShort);
    case WarningKind::Unencodable:
      return Fill(captions::kWarnUnencodable, {Number(w.count)});
    case WarningKind::ItemNotShown:
      return Fill(captions::kWarnItemNotShown, {w.code});
    case WarningKind::CellCut:
      return Fill(captions::kWarnCellCut, {Number(w.count), Number(kMaxWorkbookCellChars)});
  }
  return {};
}

}  // namespace trovlin::app
