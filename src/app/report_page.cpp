#include "app/report_page.h"

#include <vector>

#include "app/captions.h"
#include "app/window_text.h"
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

std::u16string SetName(const AnswerSetReport& set) { return set.set.empty() ? u"-" : set.set; }

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
    page += kGap + SetName(set) + u": ";
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
  if (warnings > 0) text += kGap + Fill(captions::kSummaryWarnings, {Number(warnings)});
  return text;
}

std::u16string ReportPage(const ConversionReport& report, bool emptyRowsSkipped) {
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
  for (const ItemCount& item : report.items) page += kGap + item.code + u"\t" + Number(item.rows) + u"\n";
  return page;
}

std::u16string ItemRowsTip(std::uint64_t rows, std::uint64_t records) {
  return Fill(captions::kItemRowsTip, {Number(rows), Number(records)});
}

}  // namespace trovlin::app
