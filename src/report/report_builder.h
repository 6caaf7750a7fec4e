// Builds the ConversionReport of a run while it runs.
//
// Passed to a run as its observer: it takes every line, record and warning
// of the run, and hands progress and warnings on to the front end's own
// observer. Characters the CSV cannot hold are warnings only for a code page
// 932 CSV; a UTF-8 CSV holds them all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/run_observer.h"
#include "report/answer_tally.h"
#include "report/conversion_report.h"

namespace trovlin {

class ReportBuilder : public RunObserver {
 public:
  ReportBuilder(const ConversionSettings& settings, RunObserver* next);

  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override;
  void OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) override;
  void OnUnencodable(std::uint64_t lineNumber, std::size_t count) override;
  LineInterest InterestInLines() const override { return tally_.Interest(); }
  void OnLine(std::uint64_t lineNumber, std::u16string_view line) override;
  void OnRecord(std::uint64_t firstLine, const RecordBuffer& record, bool written) override;
  void OnCp932Record(std::uint64_t firstLine, const Cp932RecordBuffer& record, bool written) override;
  void OnRecordCutShort(std::uint64_t lineNumber) override;
  void OnLfCrRepaired() override { report_.lfCrRepaired = true; }
  void AddWarning(const ReportWarning& warning) { report_.AddWarning(warning); }

  // The report, with columns as the items' codes, and the lines and bytes
  // the run read.
  ConversionReport Finish(const std::vector<std::u16string>& columns, std::uint64_t lines, std::uint64_t bytes);

 private:
  template <class Record>
  void Tally(std::uint64_t firstLine, const Record& record, bool written);

  RunObserver* next_;
  bool csvHoldsEverything_;
  bool workbook_;
  ConversionReport report_;
  AnswerTally tally_;
  std::vector<std::uint64_t> itemRows_;
};

}  // namespace trovlin
