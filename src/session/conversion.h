// One conversion as a front end asks for it and as it ends.
//
// A front end opens the log (OpenLogInto), then describes the run in a
// ConversionRequest: the opened log and the CSV options, the service if the
// user chose one, where the columns come from, the output and its format.
// The session checks the request (CheckRequest), plans it (the columns and
// what the report warns of them) and runs it; the ConversionOutcome holds all
// a front end shows. The front ends decide nothing of the conversion: they
// word what the plan and the outcome say, and map them to their texts and
// exit codes.
//
// A failure that stops a run before a row is kept is thrown (IoError for the
// log's side, OutputError for the output's, RunCancelled from the observer).
// A PATOLIS run that stopped part way and kept the rows it had written ends
// as an outcome with status RowsKept and the failure that stopped it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "common/conversion_settings.h"
#include "common/run_observer.h"
#include "input/discover.h"
#include "patolis/patolis.h"
#include "report/conversion_report.h"

namespace trovlin {

// Where the columns of a tagged run come from.
enum class ItemSource {
  Given,       // the codes in ConversionRequest::items, each not joined
  List,        // an item list (ConversionRequest::itemList), with its join marks
  Discovered,  // the first answer of the log, read from ConversionRequest::discover
};

struct ConversionRequest {
  // An opened log (see OpenLogInto) and the CSV options; outputPath is the
  // output, "-" for a stream the front end holds.
  ConversionSettings settings;
  // A service the user chose, converted whatever detection said.
  std::optional<DatabaseKind> service;
  ItemSource itemSource = ItemSource::Discovered;
  std::vector<std::u16string> items;
  std::vector<DiscoveredItem> itemList;
  DiscoveryStart discover = DiscoveryStart::FirstBlock;
  bool removeStars = true;  // STN
  bool toHalfWidth = true;  // JOIS
  // The output's format; when unset, a workbook for a name ending in ".xlsx".
  std::optional<OutputFormat> format;
  RunMode mode = RunMode::Convert;
};

// The format a run writes: the one chosen, else a workbook for an output
// name ending in ".xlsx" and a CSV for any other.
OutputFormat ChosenOutputFormat(const std::optional<OutputFormat>& chosen, const std::string& outputPath);

// Whether two paths name one file: the same name, another spelling of it, or
// a link to it. CheckRequest asks it of the log and the output (a log is only
// ever read); a front end asks it of any other file it writes (a report).
bool NameOneFile(const std::string& a, const std::string& b);

// Why a request is not run.
enum class RequestProblem {
  None,
  SameFile,  // the output is the log itself, which is only ever read
  NoItems,   // a tagged log and no column: given none, or the first answer holds no code
};

// Checks what needs no reading of the log: the output is not the log, and a
// tagged run is given a column (unless its columns are to be discovered).
RequestProblem CheckRequest(const ConversionRequest& request);

// The service a conversion runs as, re-deciding what opening decided for the
// service detected: the LF CR repair belongs to PATOLIS.
void ChooseService(ConversionSettings& settings, DatabaseKind kind);

// A checked request, ready to run.
struct ConversionPlan {
  RequestProblem problem = RequestProblem::None;
  ConversionSettings settings;  // with the service, the run options and the format
  ItemTable items;              // the columns of a tagged run; empty for PATOLIS
  bool itemsGiven = false;      // the columns were given (codes or a list), not discovered
  Discovery firstAnswer;        // a tagged log's first answer, as read for the columns or their warnings
  std::vector<ReportWarning> itemWarnings;
  RunMode mode = RunMode::Convert;
};

// Checks the request and reads a tagged log's first answer for its columns
// or their warnings. Throws IoError when the log cannot be read.
ConversionPlan PlanConversion(const ConversionRequest& request);

// The counts of one pass over a log.
struct ConversionOutcome {
  enum class Status {
    Converted,         // the output is written (with RunMode::Inspect: the pass is made)
    NothingToConvert,  // a PATOLIS log without an answer layout 1-4; no file was touched
    Refused,           // the request's problem; nothing was read or written
    RowsKept,          // a PATOLIS run stopped part way; the rows written so far are kept
  };
  Status status = Status::Refused;
  RequestProblem problem = RequestProblem::None;  // Refused: why
  std::exception_ptr stoppedBy;                   // RowsKept: the failure (an IoError)
  // A PATOLIS log's answer header as the run found it (NothingToConvert: why
  // there was nothing; nullopt when no header holds "様式").
  std::optional<AnswerHeader> patolisHeader;
  DatabaseKind service = DatabaseKind::None;
  int layoutCode = 0;  // PATOLIS: the answer layout converted
  std::size_t columns = 0;
  std::uint64_t rows = 0;
  std::uint64_t unencodable = 0;  // characters the CSV's code page cannot hold, written as "?"
  std::uint64_t replaced = 0;     // invalid bytes of the log, written as U+FFFD in a UTF-8 CSV
  ConversionReport report;        // report.log is the input path; a front end may name it otherwise

  bool Written() const { return status == Status::Converted; }
  // The failure that stopped a RowsKept run was on the output's side.
  bool StoppedWriting() const;
};

// Runs a plan (Refused when it has a problem).
ConversionOutcome RunPlan(const ConversionPlan& plan, RunObserver* observer = nullptr);

// PlanConversion, then RunPlan.
ConversionOutcome Convert(const ConversionRequest& request, RunObserver* observer = nullptr);

}  // namespace trovlin
