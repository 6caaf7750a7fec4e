#include "patolis/full_record_a.h"

#include "patolis/full_record_block.h"

namespace trovlin {
namespace {

enum Cell : std::size_t { kTitle = 17, kIpc = 18, kApplicant = 19, kInventor = 20 };

}  // namespace

std::vector<std::u16string> FullRecordATitles() { return FullRecordCommonTitles(); }

void ConvertPatolisFullRecordA(LogReader& log, CsvWriter& csv, PendingEvents& events, std::uint64_t rowLimit) {
  using Kind = RecordStep::Kind;
  static constexpr RecordStep kSteps[] = {
      {.kind = Kind::NumberedLines},
      {.kind = Kind::NextLine},
      RunningField(kTitle, u"名称：", Spaces::Keep),
      RunningField(kIpc, u"IPC：", Spaces::Collapse),
      RunningField(kApplicant, u"出願人：", Spaces::Keep),
      RunningField(kInventor, u"発明者：", Spaces::Keep),
      {.kind = Kind::PriorityLines},
      // The line after the block is the next search's first candidate.
      {.kind = Kind::NextLine},
  };
  ConvertFullRecords(log, csv, events, FullRecordATitles(), kSteps, rowLimit);
}

}  // namespace trovlin
