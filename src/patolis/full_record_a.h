// Answer layout 2, full record A: the bibliographic record without abstract,
// one row of 29 columns per record block.
//
// A record block is the record start line, three more numbered lines, the
// title, IPC, applicant and inventor lines (each with its continuation
// lines) and the Paris priority, domestic priority and related-application
// lines. The values of the first four lines are made half-width with their
// runs of spaces collapsed; the later ones keep their width. The line after
// the block is read before the row is written, so a record whose block ends
// the log still gives its row, and a record start line that is the log's last
// line gives none. Lines outside record blocks are skipped.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/run_observer.h"
#include "csv/csv_writer.h"
#include "logread/log_reader.h"

namespace trovlin {

std::vector<std::u16string> FullRecordATitles();

// Reads log from its current line (the one after the answer header) to the
// end, or until rowLimit rows are written, writing the header row and one row
// per record block to csv. Throws IoError.
void ConvertPatolisFullRecordA(LogReader& log, CsvWriter& csv, PendingEvents& events,
                               std::uint64_t rowLimit = std::numeric_limits<std::uint64_t>::max());

}  // namespace trovlin
