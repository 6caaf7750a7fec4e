#include "cli/print.h"

#include "input/log_encoding.h"
#include "text/utf8.h"

namespace trovlin::cli {

namespace {

thread_local std::string* held = nullptr;
thread_local std::string* firstError = nullptr;

}  // namespace

HeldMessages::HeldMessages() { held = &text_; }
HeldMessages::~HeldMessages() { held = nullptr; }

FirstError::FirstError() { firstError = &text_; }
FirstError::~FirstError() { firstError = nullptr; }

void Print(std::FILE* to, std::string_view text) {
  if (to == stderr && held != nullptr) {
    held->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), to);
}

void Note(std::string_view message) {
  Print(stderr, "trovlin-cli: ");
  Print(stderr, message);
  Print(stderr, "\n");
}

void Error(std::string_view message) {
  if (firstError != nullptr && firstError->empty() && !message.starts_with("warning: ")) *firstError = message;
  Note(message);
}

std::string_view EncodingWords(LogEncoding encoding) {
  static constexpr std::string_view kWords[] = {"code page 932", "UTF-8", "UTF-16 (little-endian)",
                                                "UTF-16 (big-endian)"};
  return kWords[static_cast<std::size_t>(encoding)];
}

std::string RefusalReason(const OpenedLog& opened) {
  switch (opened.refusal) {
    case Refusal::Empty:
      return "the file is empty";
    case Refusal::Utf16WithoutBom:
      return "the file looks like UTF-16 without a byte-order mark; --input-encoding utf-16 reads it";
    case Refusal::NulBytes:
      return "the file holds NUL bytes: not a text log";
    case Refusal::NoMarker:
    case Refusal::None:
      break;
  }
  std::string reason = "no STN, DIALOG, JOIS or PATOLIS marker";
  if (opened.linesExamined > 0) {
    reason += " in the first " + (opened.linesExamined == 1 ? "line" : std::to_string(opened.linesExamined) + " lines");
  }
  if (opened.shortLine != 0) {
    const std::string shortLine =
        "line " + std::to_string(opened.shortLine) + " has 4 characters or fewer and ends the search";
    reason += opened.linesExamined > 0 ? " (" + shortLine + ")" : ": " + shortLine;
  } else if (opened.linesExamined == 0) {
    reason += ": the log's only line is never examined";
  }
  return reason;
}

void ReportOpenedLog(const std::string& log, const OpenedLog& opened, bool sayHowRead) {
  if (sayHowRead) {
    if (opened.format.encoding != LogEncoding::Cp932) {
      Note(log + ": read as " + std::string(EncodingWords(opened.format.encoding)));
    }
    if (opened.format.lineEnd == LineEnd::Lf) Note(log + ": read with LF line ends (no CR in its first 64 KiB)");
  }
  if (opened.kind == DatabaseKind::None) {
    Error(log + ": not a search log");
    Error(log + ": " + RefusalReason(opened));
    return;
  }
  if (!opened.loneLfLines.empty()) {
    std::string lines;
    for (const std::uint64_t line : opened.loneLfLines) lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    Error("warning: " + log + ": CR and LF line ends are mixed; an LF without a CR stays part of its line (line " +
          lines + (opened.loneLfLines.size() == kLoneLfLinesKept ? ", ..." : "") + ")");
  }
}

std::string NoPatolisLayoutMessage(const std::string& log, const std::optional<AnswerHeader>& header) {
  if (header && !header->layoutCharacter.empty()) {
    return log + ": the PATOLIS answer layout is \"" + Utf16ToUtf8(header->layoutCharacter) +
           "\", not one of 1-4: nothing to convert, no file written";
  }
  return log + ": no PATOLIS answer header (\"＊＊検索回答\" with \"様式\" and a layout 1-4): " +
         "nothing to convert, no file written";
}

std::string ItemsLeftOutMessage(const std::string& log, std::size_t leftOut) {
  return "warning: " + log + ": " + std::to_string(leftOut) +
         " further item code(s) of the first answer were not listed (at most " + std::to_string(kMaxTaggedItems) + ")";
}

void WarnIfNoAnswerHeader(const std::string& log, const Discovery& found) {
  if (found.items.empty() || found.holdsAnswer) return;
  Error("warning: " + log + ": the item codes come from the log's first block (line " +
        std::to_string(found.firstLine) +
        "), which holds no answer header; --discover first-answer reads the first answer instead");
}

}  // namespace trovlin::cli
