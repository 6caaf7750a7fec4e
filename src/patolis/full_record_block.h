// The machinery the two full-record layouts (A: layout 2, B: layouts 3 and 4)
// share: finding record start lines, the four numbered lines at fixed
// places, fields that run on over continuation lines, and the three priority
// lines.
//
// A record start line is a line that, trimmed, begins with "*** 特許出願".
// The marker positions (a, b, p, q, u, v, g, h) live as long as the
// conversion: a step that is skipped (see text_cuts.h) leaves them as the
// previous line or record set them, and the cells that depend on them are
// then taken from those older positions. Every step that meets the end of the
// input inside a record writes the row as far as it is filled; the caller
// then stops.
#pragma once

#include <cstddef>
#include <cstdint>
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

struct MarkerPositions {
  Position a = 0, b = 0, p = 0, q = 0, u = 0, v = 0, g = 0, h = 0;
};

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
  // The text between the first "(" at or after from and the ")" after it
  // into cell; the marks keep where both were found.
  void CutParenthesised(std::size_t cell, Position from);
  // The date after the first "[" past the last ")" into cell.
  void CutDateAfterBracket(std::size_t cell);

  // The next line, whole, with no end test: "" at the end of the input.
  void ReadNextLine();

  // Writes the row, lets the front end breathe.
  void FinishRecord();

  const std::u16string& line() const { return line_; }
  std::u16string& cell(std::size_t i) { return record_.values[i]; }
  MarkerPositions& marks() { return marks_; }

 private:
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
