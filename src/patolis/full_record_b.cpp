#include "patolis/full_record_b.h"

#include "patolis/full_record_block.h"

namespace trovlin {
namespace {

enum Cell : std::size_t {
  kTitle = 17,
  kAbstract = 18,
  kApplicant = 19,
  kInventor = 20,
  kIpc = 29,
  kFi = 30,
  kFTerm = 31,
  kFreeKeywords = 32,
  kBroadClass = 33,
  kFixedKeywords = 34
};

constexpr std::size_t kCommonIpc = 18;  // where layout A keeps its IPC column

}  // namespace

std::vector<std::u16string> FullRecordBTitles(int layoutCode) {
  std::vector<std::u16string> common = FullRecordCommonTitles();
  std::vector<std::u16string> titles(common.begin(), common.begin() + kCommonIpc);
  titles.push_back(layoutCode == 3 ? u"要約" : u"抄録");
  titles.insert(titles.end(), common.begin() + kCommonIpc + 1, common.end());
  for (const char16_t* title : {u"IPC", u"FI", u"Fﾀｰﾑ", u"ﾌﾘｰｷｰﾜｰﾄﾞ", u"広域分類", u"固定ｷｰﾜｰﾄﾞ"}) {
    titles.emplace_back(title);
  }
  return titles;
}

void ConvertPatolisFullRecordB(LogReader& log, CsvWriter& csv, PendingEvents& events, int layoutCode,
                               std::uint64_t rowLimit) {
  using Kind = RecordStep::Kind;
  static constexpr RecordStep kSteps[] = {
      {.kind = Kind::NumberedLines},
      {.kind = Kind::NextLine},
      RunningField(kTitle, u"名称：", Spaces::Keep),
      RunningField(kAbstract, u"要約：", Spaces::Keep),  // layout 4's "抄録：" is as long
      RunningField(kApplicant, u"出願人：", Spaces::Keep),
      RunningField(kInventor, u"発明者：", Spaces::Keep),
      {.kind = Kind::PriorityLines},
      {.kind = Kind::NextLine},
      RunningField(kIpc, u"IPC：", Spaces::Collapse),
      RunningField(kFi, u"FI：", Spaces::Collapse),
      RunningField(kFTerm, u"Fターム：", Spaces::Collapse),
      RunningField(kFreeKeywords, u"フリーキーワード　：", Spaces::Keep),
      {.kind = Kind::Classification, .cell = kBroadClass, .secondCell = kFixedKeywords},
  };
  ConvertFullRecords(log, csv, events, FullRecordBTitles(layoutCode), kSteps, rowLimit);
}

}  // namespace trovlin
