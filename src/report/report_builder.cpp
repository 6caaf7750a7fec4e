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

template <class Record>
void ReportBuilder::Tally(std::uint64_t firstLine, const Record& record, bool written) {
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
        report_.AddWarning({firstLine, WarningKind::CellCut, record.values[i].size(), {}});
      }
    }
  }
  if (!empty) return;
  ++report_.emptyRows;
  if (report_.emptyRowLines.size() < ConversionReport::kEmptyRowLinesKept) report_.emptyRowLines.push_back(firstLine);
}

void ReportBuilder::OnRecordCutShort(std::uint64_t lineNumber) {
  report_.AddWarning({lineNumber, WarningKind::RecordCutShort, 0, {}});
}

ConversionReport ReportBuilder::Finish(const std::vector<std::u16string>& columns, std::uint64_t lines,
                                       std::uint64_t bytes) {
  report_.lines = lines;
  report_.bytes = bytes;
  itemRows_.resize(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) report_.items.push_back({columns[i], itemRows_[i]});
  report_.answers = tally_.Finish();
  return std::move(report_);
}

}  // namespace trovlin
