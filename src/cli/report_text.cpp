#include "cli/report_text.h"

#include <algorithm>

#include "cli/print.h"
#include "common/database_kind.h"
#include "text/utf8.h"

namespace trovlin::cli {
namespace {

std::string Number(std::uint64_t n) { return std::to_string(n); }

std::string Numbers(const std::vector<std::uint64_t>& numbers) {
  std::string text;
  for (const std::uint64_t n : numbers) text += (text.empty() ? "" : ", ") + Number(n);
  return text;
}

// Numbers as ranges of consecutive ones, in ascending order.
std::vector<NumberRange> Collapsed(std::vector<std::uint64_t> numbers) {
  std::sort(numbers.begin(), numbers.end());
  std::vector<NumberRange> ranges;
  for (const std::uint64_t n : numbers) {
    if (!ranges.empty() && ranges.back().last + 1 == n) {
      ranges.back().last = n;
    } else {
      ranges.push_back({n, n});
    }
  }
  return ranges;
}

// "20 of 30, missing 11-20, repeated 7-9 and 3 more".
std::string SetSummary(const AnswerSetReport& set) {
  std::string text = Number(set.found) + " of " + Number(set.announced);
  if (!set.missing.empty()) text += ", missing " + RangeList(set.missing);
  if (!set.repeated.empty()) text += ", repeated " + RangeList(Collapsed(set.repeated));
  if (set.repeatedLeftOut > 0) text += " and " + Number(set.repeatedLeftOut) + " more";
  return text;
}

// "11-20 (line 120)": each item with the line where it shows.
std::string WithLines(const std::vector<std::string>& items, const std::vector<std::uint64_t>& lines) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    text += (i == 0 ? "" : ", ") + items[i];
    if (lines[i] != 0) text += " (line " + Number(lines[i]) + ")";
  }
  return text;
}

}  // namespace

std::string RangeList(const std::vector<NumberRange>& ranges) {
  std::string text;
  for (const NumberRange& r : ranges) {
    text += (text.empty() ? "" : ", ") + Number(r.first);
    if (r.last != r.first) text += "-" + Number(r.last);
  }
  return text;
}

std::string AnswersSummary(const ConversionReport& report) {
  std::vector<const AnswerSetReport*> announcing;
  for (const AnswerSetReport& set : report.answers) {
    if (set.announced > 0) announcing.push_back(&set);
  }
  if (announcing.empty()) return "";
  std::string text = "answers: ";
  for (std::size_t i = 0; i < announcing.size(); ++i) {
    if (i > 0) text += "; ";
    if (announcing.size() > 1 && !announcing[i]->set.empty()) text += Utf16ToUtf8(announcing[i]->set) + " ";
    text += SetSummary(*announcing[i]);
  }
  return text;
}

std::string EmptyRowsSummary(const ConversionReport& report, bool skipped) {
  if (report.emptyRows == 0) return "";
  const std::string n = Number(report.emptyRows);
  return skipped ? n + " record(s) without any of the items skipped" : n + " of them without any of the items";
}

std::string WarningMessage(const ReportWarning& w) {
  switch (w.kind) {
    case WarningKind::InvalidBytes:
      return Number(w.count) + " byte(s) not valid in the log's encoding";
    case WarningKind::ItemsLeftOut:
      return Number(w.count) + " further item code(s) of the first answer past the limit of " +
             Number(kMaxTaggedItems) + " columns";
    case WarningKind::RecordCutShort:
      if (w.count != 0) {
        return "the log ends after the number line of answer " + Number(w.count) +
               "; it has no row and counts as missing";
      }
      return "the end of the log cuts this record short; its row holds what was read";
    case WarningKind::Unencodable:
      return Number(w.count) + " character(s) that code page 932 cannot hold, written as \"?\"";
    case WarningKind::ItemNotShown:
      return "the first answer does not show \"" + Utf16ToUtf8(w.code) + "\"; its column stays empty";
    case WarningKind::CellCut:
      return "a value of " + Number(w.count) + " characters cut to a workbook cell's " + Number(kMaxWorkbookCellChars);
  }
  return "";
}

std::string HowRead(const LogFormat& format) {
  std::string text(EncodingWords(format.encoding));
  text += format.lineEnd == LineEnd::Lf ? ", LF line ends" : format.crLf ? ", CR LF line ends" : ", CR line ends";
  return text;
}

void PrintInspection(std::FILE* to, const ConversionReport& report) {
  std::string page = "log: " + report.log + "\n";
  page += "service: " + std::string(DatabaseCaption(report.service)) + ", read as " + HowRead(report.format) +
          (report.lfCrRepaired ? " (LF CR read as CR LF)" : "") + "\n";
  page += "lines: " + Number(report.lines) + ", bytes: " + Number(report.bytes) + "\n";
  page += "records: " + Number(report.records) + ", rows: " + Number(report.rows) + "\n";
  if (report.emptyRows > 0) {
    page += "records without any of the items: " + Number(report.emptyRows) + " (line " +
            Numbers(report.emptyRowLines) + (report.emptyRows > report.emptyRowLines.size() ? ", ..." : "") + ")\n";
  }
  page += report.answers.empty() ? "answers: none announced or numbered\n" : "answers:\n";
  for (const AnswerSetReport& set : report.answers) {
    page += "  " + (set.set.empty() ? std::string("-") : Utf16ToUtf8(set.set)) + ": ";
    if (set.announced == 0) {
      page += Number(set.found) + " shown, none announced\n";
      continue;
    }
    page += Number(set.found) + " of " + Number(set.announced) + "\n";
    std::vector<std::string> gaps;
    for (const NumberRange& r : set.missing) gaps.push_back(RangeList({r}));
    if (!gaps.empty()) page += "    missing " + WithLines(gaps, set.missingAt) + "\n";
    std::vector<std::string> repeats;
    for (const std::uint64_t n : set.repeated) repeats.push_back(Number(n));
    if (!repeats.empty()) page += "    repeated " + WithLines(repeats, set.repeatedAt) + "\n";
  }
  if (!report.warnings.empty()) page += "warnings:\n";
  for (const ReportWarning& w : report.warnings) page += "  line " + Number(w.line) + ": " + WarningMessage(w) + "\n";
  if (report.warningsLeftOut > 0) page += "  (" + Number(report.warningsLeftOut) + " further warning(s))\n";
  page += "items (rows with a value):\n";
  for (const ItemCount& item : report.items) page += "  " + Utf16ToUtf8(item.code) + "\t" + Number(item.rows) + "\n";
  Print(to, page);
}

}  // namespace trovlin::cli
