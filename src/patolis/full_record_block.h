// The machinery the two full-record layouts (A: layout 2, B: layouts 3 and 4)
// share: finding record start lines, the four numbered lines at fixed
// places, fields that run on over continuation lines, and the three priority
// lines.
//
// A record start line is a line that, trimmed, begins with "*** 特許出願".
// The marker positions live as long as the conversion: a cut that is skipped
// (see text_cuts.h) leaves them as the previous line or record set them, and
// the cells that depend on them are then taken from those older positions.
// Every step that meets the end of the input inside a record writes the row
// as far as it is filled; the conversion then stops.
//
// A layout is its table of steps (RecordStep), run once per record block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/run_observer.h"
#include "csv/csv_writer.h"
#include "logread/log_reader.h"
#include "patolis/text_cuts.h"

namespace trovlin {

// The titles of the 29 columns layouts A and B share, in layout A's order
// (layout B moves the IPC column behind its own).
std::vector<std::u16string> FullRecordCommonTitles();

// Whether a running field's runs of spaces are collapsed after joining.
enum class Spaces { Keep, Collapse };

// Where the markers of the cuts were last found. Several lines share a pair,
// so a cut whose marker is missing reads the position an earlier line left.
struct MarkerPositions {
  // The marks around the value being cut: line 1's number (after "願") and
  // its date's "["; line 2's "[" and "]"; line 4's "(", then its "審" and its
  // date's "["; the parenthesis groups and date brackets of the priority and
  // classification lines.
  Position fieldStart = 0, fieldEnd = 0;
  // The "(" and ")" of the parenthesis group just read on line 1 or 2.
  Position groupOpen = 0, groupClose = 0;
  // The "(" and ")" of line 1's second group, the international application.
  Position secondGroupOpen = 0, secondGroupClose = 0;
  // Line 3's "[" before the publication date and the one before the
  // examined publication's date.
  Position publicationBracket = 0, examinedBracket = 0;
};

// One step of a record block.
struct RecordStep {
  enum class Kind {
    NumberedLines,   // the record start line (the current line) and lines 2 to 4
    NextLine,        // the next line becomes the current one
    RunningField,    // cell = the current line from `from`, plus its continuation lines
    PriorityLines,   // the current line and the two after it
    Classification,  // cell = the broad classification, secondCell = the fixed keywords
  };
  Kind kind;
  std::size_t cell = 0;
  Position from = 0;
  Spaces spaces = Spaces::Keep;
  std::size_t secondCell = 0;
};

// A running field whose value starts right after its label (which is not
// checked: the place is what counts).
constexpr RecordStep RunningField(std::size_t cell, std::u16string_view label, Spaces spaces) {
  return {.kind = RecordStep::Kind::RunningField,
          .cell = cell,
          .from = static_cast<Position>(label.size()) + 1,
          .spaces = spaces};
}

// Reads log from its current line (the one after the answer header) to the
// end, or until rowLimit rows are written: the header row of titles, then one
// row per record block, each made by steps in order. Throws IoError.
void ConvertFullRecords(LogReader& log, CsvWriter& csv, PendingEvents& events, std::vector<std::u16string> titles,
                        std::span<const RecordStep> steps, std::uint64_t rowLimit);

class FullRecordBlock {
 public:
  // Writes the header row of titles and reads the first line.
  FullRecordBlock(LogReader& log, CsvWriter& csv, PendingEvents& events, std::vector<std::u16string> titles);

  // Searches from the current line for the next record start line; on
  // success the line is trimmed and every cell emptied. False ends the
  // conversion: the input ended, or it ended on a line that is no record
  // start line (such a trailer makes no row).
  bool StartRecord();

  // Lines 1 to 4 into cells 0 to 16, narrowed. False when the input ended
  // inside them (the row is written).
  bool ReadNumberedLines();

  // cell = trim(rest(restFrom)) of the current line, plus its continuation
  // lines, collapsed when asked. False when the input ended (row written).
  bool ReadRunningField(std::size_t cell, Position restFrom, Spaces spaces);
  // Appends the continuation lines after the current line to cell, collapsed
  // when asked. False when the input ended (row written).
  bool JoinContinuationLines(std::size_t cell, Spaces spaces);

  // The Paris priority line (the current one) and the domestic priority and
  // related-application lines after it, into cells 21 to 28.
  void ReadPriorityLines();
  // The broad classification line (the current one): the broad class into
  // cell, the fixed keywords into keywordCell. False when the input ended
  // inside the keyword continuation lines (row written).
  bool ReadClassification(std::size_t cell, std::size_t keywordCell);

  // The next line, whole, with no end test: "" at the end of the input.
  void ReadNextLine();

  // Writes the row, lets the front end breathe.
  void FinishRecord();

  // Runs one step; false when the conversion stops.
  bool Run(const RecordStep& step);

 private:
  // The text between the first "(" at or after from and the ")" after it
  // into cell; the marks keep where both were found.
  void CutParenthesised(std::size_t cell, Position from);
  // The date after the first "[" past the last ")" into cell.
  void CutDateAfterBracket(std::size_t cell);
  // Writes the row as far as it is filled; the conversion then stops.
  void WritePartialRow();
  void CutLine1();
  // Lines 2 to 4 are cut trimmed, as views: the line itself is not needed later.
  void CutLine2(std::u16string_view line);
  void CutLine3(std::u16string_view line);
  void CutLine4(std::u16string_view line);

  LogReader& log_;
  CsvWriter& csv_;
  PendingEvents& events_;
  RecordBuffer record_;
  std::u16string line_;
  std::uint64_t startLine_ = 0;  // the line number of the current record's start line
  MarkerPositions marks_;
};

}  // namespace trovlin
