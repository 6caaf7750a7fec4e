// The page's one way into the conversion sequence.
//
// The page asks for what the window and trovlin-cli ask for (open a log, its
// items or answer layout, a preview, a conversion) in one request object;
// page_session.cpp is the only file of the page that calls the session
// layer, and it picks the columns as the command line does: the first
// answer's items unless the page gives a list, which then counts as an
// item list the user loaded (its join marks kept, codes the log lacks
// warned of). The same request thus gives the same bytes and report as
// trovlin-cli with the matching options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/conversion_settings.h"
#include "common/run_observer.h"
#include "input/discover.h"
#include "input/open_log.h"
#include "report/conversion_report.h"
#include "session/log_session.h"

namespace trovlin::web {

struct PageRequest {
  std::string log;                                   // where the page put the log
  std::string name;                                  // what the page calls it (the file's own name)
  std::optional<LogEncoding> encoding;               // nullopt: sniffed
  std::optional<DatabaseKind> database;              // nullopt: detected
  std::optional<std::vector<DiscoveredItem>> items;  // nullopt: the first answer's
  DiscoveryStart discover = DiscoveryStart::FirstBlock;
  bool removeStars = true;
  bool toHalfWidth = true;
  bool skipEmptyRows = false;
  bool protectFormulas = false;
  CsvEncoding csvEncoding = CsvEncoding::Cp932;
  QuoteStyle quotes = QuoteStyle::Apostrophe;
  OutputFormat format = OutputFormat::Csv;
};

// What the page shows of a loaded log.
struct PageLog {
  OpenedLog opened;
  DatabaseKind kind = DatabaseKind::None;  // the service converted: the chosen one, else the detected one
  Discovery items;                         // a tagged log's first answer
  std::optional<AnswerHeader> layout;      // a PATOLIS log's answer header
  std::string outputName;                  // the name the download gets
};
PageLog OpenForPage(const PageRequest& request);

// The header and first rows as the conversion would write them.
std::string PreviewForPage(const PageRequest& request, std::size_t rows);

struct PageOutcome {
  enum class Status { Converted, NotALog, SameFile, NoItems, NoLayout };
  Status status = Status::Converted;
  PageLog log;
  std::uint64_t rows = 0;
  std::size_t columns = 0;
  int layoutCode = 0;
  ConversionReport report;  // report.log is request.name
};
// Converts into the page's output named log.outputName; with RunMode::Inspect
// only reports (answers, item counts) and writes nothing. Throws IoError.
PageOutcome ConvertForPage(const PageRequest& request, RunObserver* observer, RunMode mode = RunMode::Convert);

}  // namespace trovlin::web
