#include "patolis/full_record_b.h"

#include "patolis/full_record_block.h"
#include "patolis/patolis_text.h"

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

// The broad classification line. False when the input ended inside the
// keyword continuation lines (the row is written).
bool ReadClassification(FullRecordBlock& block) {
  MarkerPositions& m = block.marks();
  const std::u16string& line = block.line();
  SetPosition(m.a, Find(line, u"(", 1));
  SetPosition(m.b, Find(line, u")", m.a + 1));
  if (auto group = Trim(Cut(line, m.a + 1, m.b - m.a - 1))) {
    // The apostrophe makes a spreadsheet keep the class as text.
    block.cell(kBroadClass) = u"'";
    block.cell(kBroadClass).append(*group);
  }
  // The second group is searched from the first "(", not from its ")".
  SetPosition(m.a, Find(line, u"(", m.a + 1));
  SetPosition(m.b, Find(line, u")", m.a + 1));
  if (m.b > m.a) {
    // Without a second "(" the line holds no fixed keywords; the text up to the
    // first ")" is the broad classification, not a keyword group.
    if (m.a != 0) SetCell(block.cell(kFixedKeywords), Trim(Cut(line, m.a + 1, m.b - m.a - 1)));
    return true;
  }
  return block.JoinContinuationLines(kFixedKeywords, Spaces::Keep);
}

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

void ConvertPatolisFullRecordB(LogReader& log, CsvWriter& csv, PendingEvents& events, int layoutCode) {
  FullRecordBlock block(log, csv, events, FullRecordBTitles(layoutCode));
  while (block.StartRecord()) {
    if (!block.ReadNumberedLines()) return;
    block.ReadNextLine();
    if (!block.ReadRunningField(kTitle, 4, Spaces::Keep)) return;
    if (!block.ReadRunningField(kAbstract, 4, Spaces::Keep)) return;
    if (!block.ReadRunningField(kApplicant, 5, Spaces::Keep)) return;
    if (!block.ReadRunningField(kInventor, 5, Spaces::Keep)) return;
    block.ReadPriorityLines();
    block.ReadNextLine();
    if (!block.ReadRunningField(kIpc, 5, Spaces::Collapse)) return;
    if (!block.ReadRunningField(kFi, 4, Spaces::Collapse)) return;
    if (!block.ReadRunningField(kFTerm, 6, Spaces::Collapse)) return;
    if (!block.ReadRunningField(kFreeKeywords, 11, Spaces::Keep)) return;
    if (!ReadClassification(block)) return;
    block.FinishRecord();
  }
}

}  // namespace trovlin
