// The account of one conversion: what the log held, what the CSV got, and
// which answers the log announces but does not show.
//
// Built while converting (see ReportBuilder); front ends render it, the CLI
// as text or JSON, the window in Japanese.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/conversion_settings.h"
#include "common/row_sink.h"
#include "input/answer_marks.h"

namespace trovlin {

// One answer set: an STN L-number, a JOIS file's display, a DIALOG set, or
// a PATOLIS answer list. Numbers run from 1.
struct AnswerSetReport {
  std::u16string set;                     // "" when the log names none
  std::uint64_t announced = 0;            // answers expected; 0: the log announces none
  std::vector<NumberRange> expected;      // which numbers: 1..announced, or DIALOG's displayed ranges
  std::uint64_t found = 0;                // distinct answers shown (records, when they carry no number)
  std::vector<NumberRange> missing;       // expected but not shown
  std::vector<std::uint64_t> missingAt;   // per missing range: the line of the first answer shown after it
                                          // (before it, for a gap at the end)
  std::vector<std::uint64_t> repeated;    // numbers shown more than once
  std::vector<std::uint64_t> repeatedAt;  // per repeated number: the line where it is shown again
  std::uint64_t repeatedLeftOut = 0;      // repeated numbers past the first kRepeatsKept, not listed
  std::uint64_t firstShown = 0;           // the lowest and highest numbers shown; 0: none
  std::uint64_t lastShown = 0;
  std::uint64_t firstLine = 0;  // where the set is first met
};

// In this order: front ends name the kinds from tables.
enum class WarningKind {
  InvalidBytes,    // bytes not valid in the log's encoding (count)
  ItemsLeftOut,    // item codes of the first answer past the column limit (count)
  RecordCutShort,  // a PATOLIS record the end of the log cut short
  Unencodable,     // characters the CSV's code page cannot hold (count)
  ItemNotShown,    // a code given for a column that the first answer does not show (code)
  CellCut,         // a value cut to a workbook cell's limit (its length)
};

// "invalid-bytes", "items-left-out", "record-cut-short", "unencodable",
// "item-not-shown", "cell-cut": the kinds as the JSON report and the
// workbook's report sheet name them.
std::string WarningKindName(WarningKind kind);

struct ReportWarning {
  std::uint64_t line = 0;
  WarningKind kind = WarningKind::InvalidBytes;
  std::uint64_t count = 0;
  std::u16string code;
};

struct ItemCount {
  std::u16string code;
  std::uint64_t rows = 0;  // rows in which the item has a value
};

struct ConversionReport {
  static constexpr std::size_t kEmptyRowLinesKept = 20;
  static constexpr std::size_t kWarningsKept = 1000;

  std::string log;  // as the front end names it
  DatabaseKind service = DatabaseKind::None;
  LogFormat format;
  std::uint64_t lines = 0;
  std::uint64_t bytes = 0;
  std::uint64_t records = 0;
  std::uint64_t rows = 0;
  std::uint64_t emptyRows = 0;               // records that hold none of the items
  std::vector<std::uint64_t> emptyRowLines;  // their first lines, the first kEmptyRowLinesKept
  std::vector<ItemCount> items;
  std::vector<AnswerSetReport> answers;
  std::vector<ReportWarning> warnings;  // in line order, the first kWarningsKept
  std::uint64_t warningsLeftOut = 0;
  std::uint64_t formulasProtected = 0;  // titles and values written after an apostrophe
  std::uint64_t cutShort = 0;           // records the log's end cut short, or left without their text
  bool lfCrRepaired = false;            // an LF CR pair was read as CR LF
  // What shaped the output's bytes.
  OutputFormat outputFormat = OutputFormat::Csv;
  CsvEncoding csvEncoding = CsvEncoding::Cp932;
  QuoteStyle quoteStyle = QuoteStyle::Apostrophe;
  bool protectFormulas = false;
  bool skipEmptyRows = false;
  bool deleteStars = false;
  bool toHalfWidth = false;

  // Whether any set announces answers.
  bool Announces() const;
  // Whether some answer is shown twice, or missing between the first and
  // the last shown.
  bool HasGapsOrRepeats() const;
  // The same, or a record the log's end cut short.
  bool Incomplete() const { return HasGapsOrRepeats() || cutShort > 0; }
  // Adds a warning in line order, keeping at most kWarningsKept.
  void AddWarning(const ReportWarning& warning);
};

// The report as the rows of a workbook's report sheet, each led by its JSON
// key: the counts, then the answer sets, warnings and items, each list after
// a row that labels its columns. Counts are number cells.
SheetRows ReportRows(const ConversionReport& report);

}  // namespace trovlin
