#include "patolis/full_record_a.h"

#include "patolis/full_record_block.h"

namespace trovlin {
namespace {

enum Cell : std::size_t { kTitle = 17, kIpc = 18, kApplicant = 19, kInventor = 20 };

}  // namespace

std::vector<std::u16string> FullRecordATitles() { return FullRecordCommonTitles(); }

void ConvertPatolisFullRecordA(LogReader& log, CsvWriter& csv, PendingEvents& events) {
  FullRecordBlock block(log, csv, events, FullRecordATitles());
  while (block.StartRecord()) {
    if (!block.ReadNumberedLines()) return;
    block.ReadNextLine();
    if (!block.ReadRunningField(kTitle, 4, Spaces::Keep)) return;
    if (!block.ReadRunningField(kIpc, 5, Spaces::Collapse)) return;
    if (!block.ReadRunningField(kApplicant, 5, Spaces::Keep)) return;
    if (!block.ReadRunningField(kInventor, 5, Spaces::Keep)) return;
    block.ReadPriorityLines();
    // The line after the block is the next search's first candidate.
    block.ReadNextLine();
    block.FinishRecord();
  }
}

}  // namespace trovlin
