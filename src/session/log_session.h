// The one conversion sequence both front ends run.
//
// A front end opens a log into its ConversionSettings (the encoding and the
// line end decided once, the service detected), reads what the log offers
// (the first answer's item codes, or a PATOLIS log's answer layout), and
// converts it with the service the settings name: PATOLIS logs in their
// layout's fixed columns, the tagged services with an item table. The window
// and trovlin-cli call only this module for these steps, so the same log,
// service, items and options give the same bytes in both.
//
// Failures are thrown: IoError for the log's side, OutputError for the CSV's,
// with rowsKept() set when a PATOLIS conversion stopped part way and kept
// the rows it had written; RunCancelled from the observer leaves no CSV.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/conversion_state.h"
#include "common/event_hook.h"
#include "input/discover.h"
#include "input/open_log.h"
#include "logread/log_reader.h"
#include "patolis/patolis.h"
#include "report/conversion_report.h"

namespace trovlin {

// Opens settings.inputPath: its reading format and detected service go into
// settings (DatabaseKind::None, with the refusal, when no service is
// recognised). encoding, when given, is taken instead of the sniffed one.
OpenedLog OpenLogInto(ConversionSettings& settings, std::optional<LogEncoding> encoding = std::nullopt);

// The item codes of the first answer of the opened log.
Discovery FirstAnswerItems(const ConversionSettings& settings, DiscoveryStart start = DiscoveryStart::FirstBlock);

// The PATOLIS answer header of the opened log, if it has one with "様式".
std::optional<AnswerHeader> PatolisLayout(const ConversionSettings& settings);

// The per-service options of a run: star removal for STN, half-width text
// for JOIS and PATOLIS, each only when its option is on.
void SetRunOptions(ConversionSettings& settings, bool removeStars, bool toHalfWidth);

// An item list as CSV columns, and back; a "*" mark means joined.
ItemTable ItemTableFrom(const std::vector<DiscoveredItem>& list);
std::vector<DiscoveredItem> ItemListFrom(const ItemTable& table);
// Codes joined with ", ", as messages list them.
std::u16string JoinCodes(const std::vector<std::u16string>& codes);

struct ConversionOutcome {
  bool written = false;  // false: a PATOLIS log without an answer layout 1-4; no file was touched
                         // (with RunMode::Inspect: nothing to inspect)
  int layoutCode = 0;    // PATOLIS: the answer layout converted
  std::size_t columns = 0;
  std::uint64_t rows = 0;
  std::uint64_t unencodable = 0;  // characters the CSV's code page cannot hold, written as "?"
  std::uint64_t replaced = 0;     // invalid bytes of the log, written as U+FFFD in a UTF-8 CSV
  ConversionReport report;        // report.log is the input path; a front end may name it otherwise
};

// Converts settings.inputPath into settings.outputPath as settings.databaseKind
// says, and reports on it; items are the columns of a tagged log (at least
// one) and are not consulted for PATOLIS. RunMode::Inspect writes nothing.
// settings.outputFormat Xlsx writes a workbook, with the report on its last
// sheet. itemWarnings (see ItemWarnings) go into the report.
ConversionOutcome Convert(const ConversionSettings& settings, const ItemTable& items, RunObserver* observer = nullptr,
                          RunMode mode = RunMode::Convert, const std::vector<ReportWarning>& itemWarnings = {});

// The warnings about the item list of a tagged run, for its report: codes
// given for columns (itemsGiven) that the first answer does not show, and
// codes of the first answer past the column limit.
std::vector<ReportWarning> ItemWarnings(const ItemTable& items, const Discovery& firstAnswer, bool itemsGiven);

// The CSV bytes of the header and the first maxRows rows, as Convert would
// write them (a PATOLIS log in its layout's columns, items unused); nothing
// is written.
std::string Preview(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows);

}  // namespace trovlin
