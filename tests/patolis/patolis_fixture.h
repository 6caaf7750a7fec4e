// Test support for the PATOLIS converters: logs from readable UTF-8 lines,
// conversions whose CSV comes back as rows of UTF-8 cells, and one record
// block worked out by hand.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "patolis/patolis.h"
#include "support/temp_dir.h"

namespace trovlin::testing {

using Lines = std::vector<std::string>;
using Row = std::vector<std::string>;
using Filled = std::vector<std::pair<std::size_t, std::string>>;  // cell index, text

// An answer header line whose layout character (six after "様式") is layout.
std::string AnswerHeaderLine(const std::string& layout);
// The lines in code page 932, each followed by CR LF.
std::string PatolisLog(const Lines& lines);
Lines Join(const std::vector<Lines>& parts);
// Text placed at 1-based character columns, spaces before each piece.
std::string Columns(const std::vector<std::pair<int, std::string>>& pieces);
// Consecutive cells from first on, their texts separated by "|".
Filled From(std::size_t first, const std::string& texts);
// A row of width cells filled from the layers in order; cells after last stay empty.
Row Cells(std::size_t width, std::initializer_list<Filled> layers, std::size_t last = 100);

// The CSV's rows, header first, or none when no file was written.
std::vector<Row> ConvertLines(const Lines& lines);

// The four numbered lines of a full record as a log prints them, and the
// cells 0-16 they give.
Lines NumberedLines();
Filled NumberedCells();
// The titles of layouts 3 and 4.
Row LayoutBTitles(const std::string& abstract);

}  // namespace trovlin::testing
