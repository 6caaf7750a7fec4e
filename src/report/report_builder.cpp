#include "report/report_builder.h"

#include <type_traits>

namespace trovlin {

ReportBuilder::ReportBuilder(const ConversionSettings& settings, RunObserver* next)
    : next_(next),
      csvHoldsEverything_(settings.csvEncoding != CsvEncoding::Cp932 || settings.outputFormat == OutputFormat::Xlsx),
      workbook_(settings.outputFormat == OutputFormat::Xlsx),
      tally_(settings.databaseKind) {
  report_.service = settings.databaseKind;
  report_.format = settings.InputFormat();
  report_.outputFormat = settings.outputFormat;
  report_.csvEncoding = settings.csvEncoding;
  report_.quoteStyle = settings.quoteStyle;
  report_.protectFormulas = settings.protectFormulas;
  report_.skipEmptyRows = settings.skipEmptyRows;
  report_.deleteStars = settings.deleteStars;
  report_.toHalfWidth = settings.toHalfWidth;
}

void ReportBuilder::OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) {
  if (next_ != nullptr) next_->OnProgress(bytesRead, bytesTotal);
}

void ReportBuilder::OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) {
  report_.AddWarning({lineNumber, WarningKind::InvalidBytes, count, {}});
  if (next_ != nullptr) next_->OnInvalidBytes(lineNumber, count);
}

void ReportBuilder::OnUnencodable(std::uint64_t lineNumber, std::size_t count) {
  if (!csvHoldsEverything_) report_.AddWarning({lineNumber, WarningKind::Unencodable, count, {}});
  if (next_ != nullptr) next_->OnUnencodable(lineNumber, count);
}

void ReportBuilder::OnLine(std::uint64_t lineNumber, std::u16string_view line) { tally_.OnLine(lineNumber, line); }

void ReportBuilder::OnRecord(std::uint64_t firstLine, const RecordBuffer& record, bool written) {
  Tally(firstLine, record, written);
}

// Bytes come only from a run into a CSV, whose cells have no length limit.
void ReportBuilder::OnCp932Record(std::uint64_t firstLine, const Cp932RecordBuffer& record, bool written) {
  Tally(firstLine, record, written);
}

namespace {

// The characters of a value: a surrogate pair is one.
std::uint64_t Characters(std::u16string_view value) {
  std::uint64_t n = value.size();
  for (const char16_t c : value) n -= c >= 0xDC00 && c <= 0xDFFF;
  return n;
}

}  // namespace

template <class Record>
void ReportBuilder::Tally(std::uint64_t firstLine, const Record& record, bool written) {
  tally_.OnRecord(firstLine);
  ++report_.records;
  if (written) ++report_.rows;
  if (itemRows_.size() < record.values.size()) itemRows_.resize(record.values.size());
  bool empty = true;
  for (std::size_t i = 0; i < record.values.size(); ++i) {
    if (record.values[i].empty()) continue;
    ++itemRows_[i];
    empty = false;
    if constexpr (std::is_same_v<Record, RecordBuffer>) {
      if (workbook_ && written && record.values[i].size() > kMaxWorkbookCellChars) {
        const std::uint64_t line = i < record.lines.size() && record.lines[i] != 0 ? record.lines[i] : firstLine;
        const std::uint64_t characters = Characters(record.values[i]);
        report_.AddWarning({line, WarningKind::CellCut, characters, {}});
        if (next_ != nullptr) next_->OnCellCut(line, characters);
      }
    }
  }
  if (!empty) return;
  ++report_.emptyRows;
  if (report_.emptyRowLines.size() < ConversionReport::kEmptyRowLinesKept) report_.emptyRowLines.push_back(firstLine);
}

void ReportBuilder::OnRecordCutShort(std::uint64_t lineNumber) {
  report_.AddWarning({lineNumber, WarningKind::RecordCutShort, 0, {}});
  ++report_.cutShort;
  if (next_ != nullptr) next_->OnRecordCutShort(lineNumber);
}

ConversionReport ReportBuilder::Finish(const std::vector<std::u16string>& columns, std::uint64_t lines,
                                       std::uint64_t bytes) {
  report_.lines = lines;
  report_.bytes = bytes;
  itemRows_.resize(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) report_.items.push_back({columns[i], itemRows_[i]});
  report_.answers = tally_.Finish();
  // An answer whose number line the log ends after: a record cut short to nothing.
  if (const auto [line, number] = tally_.CutOff(); line != 0) {
    report_.AddWarning({line, WarningKind::RecordCutShort, number, {}});
    ++report_.cutShort;
    if (next_ != nullptr) next_->OnAnswerCutOff(line, number);
  }
  return std::move(report_);
}

}  // namespace trovlin
