// Answer layout 1, the number list: two lines per answer, one row of eight
// columns.
//
// An answer's first line holds "特許出願" at position 2 or later, followed by
// the application, publication, examined-publication and registration
// numbers after their labels; the line after it holds the four dates at fixed
// columns, whatever else it holds. An answer whose first line is the log's
// last line gives no row. Every value is made half-width and its runs of
// spaces collapsed. A value whose label is missing is left empty.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/run_observer.h"
#include "csv/csv_writer.h"
#include "logread/log_reader.h"

namespace trovlin {

std::vector<std::u16string> NumberListTitles();

// Reads log from its current line (the one after the answer header) to the
// end, or until rowLimit rows are written, writing the header row and one row
// per answer to csv. Throws IoError.
void ConvertPatolisNumberList(LogReader& log, CsvWriter& csv, PendingEvents& events,
                              std::uint64_t rowLimit = std::numeric_limits<std::uint64_t>::max());

}  // namespace trovlin
