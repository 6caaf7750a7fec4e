#include "app/report_page.h"

#include <algorithm>
#include <vector>

#include "app/captions.h"
#include "app/window_text.h"
#include "app/words.h"
#include "common/database_kind.h"

namespace trovlin::app {
namespace {

constexpr char16_t kGap[] = u"  ";        // between the parts of the summary; a page's indent
constexpr char16_t kIndent2[] = u"    ";  // a page's second level

std::u16string RangeText(const NumberRange& r) {
  return r.last == r.first ? Number(r.first) : Number(r.first) + u"-" + Number(r.last);
}

std::u16string Ranges(const std::vector<NumberRange>& ranges) {
  std::u16string text;
  for (const NumberRange& r : ranges) text += (text.empty() ? u"" : u", ") + RangeText(r);
  return text;
}

std::u16string Numbers(const std::vector<std::uint64_t>& numbers) {
  std::u16string text;
  for (const std::uint64_t n : numbers) text += (text.empty() ? u"" : u", ") + Number(n);
  return text;
}

// A set the log names no set for (a PATOLIS answer list, a DIALOG display)
// goes by its service's name.
std::u16string SetName(const AnswerSetReport& set, DatabaseKind service) {
  if (!set.set.empty()) return set.set;
  return service == DatabaseKind::None ? u"-" : FromUtf8(DatabaseCaption(service));
}

std::u16string Padded(std::u16string text, std::size_t width, bool right) {
  const std::size_t have = DisplayWidth(text);
  if (have >= width) return text;
  const std::u16string pad(width - have, u' ');
  return right ? pad + text : text + pad;
}

std::u16string_view EncodingName(LogEncoding encoding) {
  return encoding == LogEncoding::Utf8 ? captions::kUtf8Name
         : IsUtf16(encoding)           ? captions::kUtf16Name
                                       : captions::kCp932Name;
}

// Each set with its missing ranges and repeats; a gap after the last answer
// shown is placed after that answer's line, any other before the next one's.
std::u16string GapsPart(const ConversionReport& report) {
  std::u16string page = std::u16string(captions::kReportGaps) + u"\n";
  for (const AnswerSetReport& set : report.answers) {
    page += kGap + SetName(set, report.service) + u": ";
    page += set.announced == 0 ? Number(set.found) + u"件" + std::u16string(captions::kReportNoneAnnounced)
                               : Fill(captions::kSummaryAnswers, {Number(set.found), Number(set.announced)});
    page += u"\n";
    for (std::size_t i = 0; i < set.missing.size(); ++i) {
      const bool atEnd = set.missing[i].first > set.lastShown;
      page += kIndent2 +
              Fill(atEnd ? captions::kReportMissingAfter : captions::kReportMissingBefore,
                   {RangeText(set.missing[i]), Number(set.missingAt[i])}) +
              u"\n";
    }
    for (std::size_t i = 0; i < set.repeated.size(); ++i) {
      page += kIndent2 + Fill(captions::kReportRepeated, {Number(set.repeated[i]), Number(set.repeatedAt[i])}) + u"\n";
    }
  }
  if (!report.HasGapsOrRepeats()) page += kGap + std::u16string(captions::kReportNoGaps) + u"\n";
  if (report.warnings.empty()) return page;
  page += std::u16string(captions::kReportWarnings) + u"\n";
  for (const ReportWarning& w : report.warnings) {
    page += kGap + Fill(captions::kReportWarningLine, {Number(w.line)}) + WarningText(w) + u"\n";
  }
  if (report.warningsLeftOut > 0) {
    page += kGap + Fill(captions::kReportWarningsLeftOut, {Number(report.warningsLeftOut)}) + u"\n";
  }
  return page;
}

}  // namespace

std::u16string ReportSummary(const ConversionReport& report) {
  std::u16string text = Fill(captions::kSummaryRows, {Number(report.rows)});
  std::size_t announcing = 0;
  for (const AnswerSetReport& set : report.answers) announcing += set.announced > 0 ? 1 : 0;
  for (const AnswerSetReport& set : report.answers) {
    if (set.announced == 0) continue;
    std::u16string answers = Fill(captions::kSummaryAnswers, {Number(set.found), Number(set.announced)});
    // The set's name only where more than one set could be meant.
    if (announcing > 1 && !set.set.empty()) answers.insert(answers.find(u' ') + 1, set.set + u" ");
    text += kGap + answers;
    if (!set.missing.empty()) text += kGap + Fill(captions::kSummaryMissing, {Ranges(set.missing)});
    if (!set.repeated.empty()) text += kGap + Fill(captions::kSummaryRepeated, {Numbers(set.repeated)});
  }
  const std::uint64_t warnings = report.warnings.size() + report.warningsLeftOut;
  if (warnings == 0) return text;
  text += kGap + Fill(captions::kSummaryWarnings, {Number(warnings)});
  std::uint64_t cutShort = 0, cellCut = 0;
  for (const ReportWarning& w : report.warnings) {
    cutShort += w.kind == WarningKind::RecordCutShort ? 1 : 0;
    cellCut += w.kind == WarningKind::CellCut ? 1 : 0;
  }
  if (cutShort > 0) text += Fill(captions::kSummaryCutShort, {Number(cutShort)});
  if (cellCut > 0) text += Fill(captions::kSummaryCellCut, {Number(cellCut)});
  return text;
}

std::u16string ReportPage(const ConversionReport& report, bool emptyRowsSkipped, int unreadRow, int unreadCount) {
  std::u16string page = GapsPart(report);
  page += Fill(captions::kReportLog, {FromUtf8(report.log)}) + u"\n";
  page += Fill(captions::kReportService,
               {FromUtf8(DatabaseCaption(report.service)), EncodingName(report.format.encoding)}) +
          u"\n";
  page += Fill(captions::kReportCounts,
               {Number(report.lines), Number(report.bytes), Number(report.records), Number(report.rows)}) +
          u"\n";
  if (report.emptyRows > 0) {
    const bool more = report.emptyRows > report.emptyRowLines.size();
    page += Fill(emptyRowsSkipped ? captions::kReportEmptyRowsSkipped : captions::kReportEmptyRows,
                 {Number(report.emptyRows), Numbers(report.emptyRowLines), more ? u", …" : u""}) +
            u"\n";
  }
  page += std::u16string(captions::kReportItems) + u"\n";
  std::size_t codeWidth = 0, countWidth = 0;
  for (const ItemCount& item : report.items) {
    codeWidth = std::max(codeWidth, DisplayWidth(item.code));
    countWidth = std::max(countWidth, Number(item.rows).size());
  }
  for (const ItemCount& item : report.items) {
    page += kGap + Padded(item.code, codeWidth, false) + kGap + Padded(Number(item.rows), countWidth, true) + u"\n";
  }
  if (unreadCount > 0) {
    page += kGap +
            Fill(captions::kReportUnreadItems,
                 {Number(static_cast<std::uint64_t>(unreadRow)), Number(static_cast<std::uint64_t>(unreadCount))}) +
            u"\n";
  }
  return page;
}

std::size_t DisplayWidth(std::u16string_view text) {
  std::size_t width = 0;
  for (const char16_t c : text) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

std::u16string ItemRowsTip(std::uint64_t rows, std::uint64_t records) {
  return Fill(captions::kItemRowsTip, {Number(rows), Number(records)});
}

}  // namespace trovlin::app
