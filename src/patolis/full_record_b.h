// Answer layouts 3 and 4, full record B: layout A's record plus an abstract
// and a block of classification and keyword lines, one row of 35 columns per
// record block.
//
// The block runs as in layout A with the abstract after the title, and then
// the IPC, FI, F-term and free keyword lines (each with its continuation
// lines; IPC, FI and F-term with their runs of spaces collapsed) and the
// broad classification line. That line gives the broad classification as an
// apostrophe and its first parenthesis group, and the fixed keywords as its
// second group, or, when that group does not close on the line, as the
// continuation lines that follow. No line is read after the block: the next
// search starts at the block's last line read. The two layouts differ only in
// the title of the abstract column.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/run_observer.h"
#include "csv/csv_writer.h"
#include "logread/log_reader.h"

namespace trovlin {

std::vector<std::u16string> FullRecordBTitles(int layoutCode);

// Reads log from its current line (the one after the answer header) to the
// end, or until rowLimit rows are written, writing the header row and one row
// per record block to csv. Throws IoError.
void ConvertPatolisFullRecordB(LogReader& log, CsvWriter& csv, PendingEvents& events, int layoutCode,
                               std::uint64_t rowLimit = std::numeric_limits<std::uint64_t>::max());

}  // namespace trovlin
