// The settings of one conversion, its item table and the limits every layer
// keeps: how the log is read, what the output is and how it is written.
//
// One instance of each struct is owned by a front end (the window, or one
// CLI run) and passed by reference to the routines that read or write it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/database_kind.h"

namespace trovlin {

// The most columns any conversion writes (PATOLIS layout B has 35).
inline constexpr std::size_t kMaxColumns = 101;
// The most items a tagged conversion takes from the item list.
inline constexpr std::size_t kMaxTaggedItems = 51;
// The first line of an item-list file.
inline constexpr std::string_view kPresetSignature = "trovlin-items 1";

// How a log's bytes become text. Code page 932 is the default; UTF-8 and
// UTF-16 are chosen for a log that shows itself to be one (see SniffLog).
// In this order: front ends name the encodings from tables.
enum class LogEncoding { Cp932, Utf8, Utf16Le, Utf16Be };

// What ends a line of a log: CR (an LF right after it belongs to the line
// end), or LF for a log whose opening holds no CR at all.
enum class LineEnd { Cr, Lf };

// How a log is read, decided once per log before detection. repairLfCr is
// set for a log detected as PATOLIS: its LF CR pairs are read as CR LF.
// crLf says what a CR log's opening shows: every CR followed by an LF (it
// changes no byte read; messages name the line ends so).
struct LogFormat {
  LogEncoding encoding = LogEncoding::Cp932;
  LineEnd lineEnd = LineEnd::Cr;
  bool repairLfCr = false;
  bool crLf = false;
};

// How the CSV's text becomes bytes.
enum class CsvEncoding { Cp932, Utf8, Utf8Bom };

// What a double quote inside a title or value becomes: an apostrophe (the
// default), or two double quotes as RFC 4180 has it.
enum class QuoteStyle { Apostrophe, Double };

// What the conversion writes: CSV text, or an Excel workbook.
enum class OutputFormat { Csv, Xlsx };

// The longest text an Excel cell holds, in UTF-16 units.
inline constexpr std::size_t kMaxWorkbookCellChars = 32767;

class RowSink;

// Which existing file an output may replace.
struct OutputRules {
  bool namedByUser = true;                    // false: a name Trovlin chose, which replaces only a *.csv file
  bool force = false;                         // replace a read-only file, or what a chosen name holds
  std::string_view chosenExtension = ".csv";  // what a chosen name may replace ends in this
};

struct ConversionSettings {
  std::string inputPath;   // the loaded log
  std::string outputPath;  // the CSV to write; "-" is standard output
  DatabaseKind databaseKind = DatabaseKind::None;
  std::u16string databaseName;  // "STN", "DIALOG", "JOIS" or "PATOLIS"
  bool deleteStars = false;     // remove every "*" from the field text (set for STN only, see SetRunOptions)
  bool toHalfWidth = false;     // full-width to half-width in the field text (set for JOIS only, see SetRunOptions)
  bool skipEmptyRows = false;   // a tagged record that holds none of the items gives no row
  LogEncoding inputEncoding = LogEncoding::Cp932;
  LineEnd inputLineEnd = LineEnd::Cr;
  bool repairLfCr = false;  // see LogFormat
  bool inputCrLf = false;   // see LogFormat
  CsvEncoding csvEncoding = CsvEncoding::Cp932;
  QuoteStyle quoteStyle = QuoteStyle::Apostrophe;
  bool protectFormulas = false;  // an apostrophe before a CSV value a spreadsheet would calculate
  OutputFormat outputFormat = OutputFormat::Csv;
  RowSink* rowSink = nullptr;  // set by the conversion sequence for a workbook: the rows go there
  OutputRules outputRules;

  LogFormat InputFormat() const { return {inputEncoding, inputLineEnd, repairLfCr, inputCrLf}; }
  void SetInputFormat(const LogFormat& f) {
    inputEncoding = f.encoding;
    inputLineEnd = f.lineEnd;
    repairLfCr = f.repairLfCr;
    inputCrLf = f.crLf;
  }
};

// Convert writes the CSV; Inspect makes the same pass and writes nothing,
// for a run that only reports.
enum class RunMode { Convert, Inspect };

// The CSV columns of one conversion, in column order.
struct ItemTable {
  std::vector<std::u16string> codes;  // column titles; size() is lastIndex + 1
  std::vector<bool> notJoined;        // carried for the item list, consulted by no reader
  std::size_t ColumnCount() const { return codes.size(); }
};

// The values of the current record, one per column of the ItemTable, and
// per value the line its field starts on (0 where the reader does not say).
template <class Text>
struct BasicRecordBuffer {
  std::vector<Text> values;
  std::vector<std::uint64_t> lines = {};
  void Resize(std::size_t columns) {
    values.assign(columns, Text());
    lines.assign(columns, 0);
  }
};
using RecordBuffer = BasicRecordBuffer<std::u16string>;
// The same as code page 932 bytes, for a run that never leaves them.
using Cp932RecordBuffer = BasicRecordBuffer<std::string>;

}  // namespace trovlin
