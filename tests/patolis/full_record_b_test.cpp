#include "patolis/full_record_b.h"

#include <gtest/gtest.h>

#include "patolis_fixture.h"

namespace trovlin::testing {
namespace {

constexpr std::size_t kWidth = 35;
// The title; an abstract of five lines; applicant; inventor and continuation.
const Lines kUpToInventor =
    Join({NumberedLines(),
          {"名称：ＬＥＤ付き散布装置", "  及び制御方法", "要約：【課題】散布むらを減らす。", "  【解決手段】走行速度に",
           "  応じてノズル開度を", "  制御する。  ", "  ＬＥＤで  照らす。", "出願人：株式会社テスト農機",
           "発明者：山田　太郎", "  佐藤　花子", "パリ優先権：( US )(60/123,456)[H14.04.26]",
           "国内優先権：(特願2001-111111)[H13.03.01]", "関連出願：(分割)(特願2000-222222)[H12.06.01]"}});
const Lines kClassLines = {"IPC：A01M  7/00    A01M 21/04",
                           "  B05B   1/00",
                           "FI：A01M  7/00      A",
                           "  A01M 21/04     Z",
                           "Fターム：2B121  AA11    CC02",
                           "フリーキーワード　：散布むら  走行速度",
                           "  ＬＥＤ"};
const Lines kBlock = Join({kUpToInventor, kClassLines, {"広域分類：(A01M)(除草剤  散布)"}});
// IPC, FI and F-term runs shrink (six and five spaces to two); abstract and keywords keep theirs.
const Filled kLaterCells =
    From(17,
         "ＬＥＤ付き散布装置及び制御方法|【課題】散布むらを減らす。【解決手段】走行速度に応じてノズル開度を制御する。"
         "ＬＥＤで  照らす。|株式会社テスト農機|山田　太郎佐藤　花子|US|60/123,456|H14.04.26|特願2001-111111|"
         "H13.03.01|分割|特願2000-222222|H12.06.01|A01M 7/00 A01M 21/04B05B 1/00|A01M 7/00  AA01M 21/04  Z|"
         "2B121 AA11 CC02|散布むら  走行速度ＬＥＤ|'A01M|除草剤  散布");

std::vector<Row> Convert(const Lines& lines, const std::string& layout = "3") {
  return ConvertLines(Join({{AnswerHeaderLine(layout)}, lines}));
}
Row Record(const Filled& changes = {}, std::size_t last = 100) {
  return Cells(kWidth, {NumberedCells(), kLaterCells, changes}, last);
}

TEST(FullRecordBTest, BroadClassificationLine) {
  const struct {
    Lines lines;  // the broad classification line and what follows it
    std::string broad, fixed;
  } cases[] = {{{"広域分類：()(除草剤)", ""}, "'", "除草剤"},      // an empty first group keeps its apostrophe
               {{"広域分類：(A01M(x)除草)", ""}, "'A01M(x", "x"},  // the second "(" is searched after the first
               // An unclosed second group: the continuation lines are the keywords, its own text is lost.
               {{"広域分類：(B05B)(噴霧  ノズル", "  粒径  均一", "  散布)", ""}, "'B05B", "粒径  均一散布)"},
               {{"広域分類：(B05B)(噴霧", "  粒径"}, "'B05B", "粒径"},
               // No second "(": no fixed keywords, and the line after is not taken.
               {{"広域分類：(A01M)", "  除草剤", ""}, "'A01M", ""},
               // No group: the first cut is skipped (no apostrophe); the continuation lines are the keywords.
               {{"広域分類：", "  除草剤", "  散布", ""}, "", "除草剤散布"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Convert(Join({kUpToInventor, kClassLines, c.lines})),
              (std::vector<Row>{LayoutBTitles("要約"), Record(From(33, c.broad + "|" + c.fixed))}))
        << c.lines[0];
  }
  // Two closed groups: nothing is read after the line, so a start line right after it opens the next record.
  EXPECT_EQ(Convert(Join({kBlock, kBlock})), (std::vector<Row>{LayoutBTitles("要約"), Record(), Record()}));
}

TEST(FullRecordBTest, EndOfInputInsideARecordWritesWhatWasRead) {
  const std::pair<Lines, Row> cases[] = {
      {Join({NumberedLines(), {"名称：ＬＥＤ付き散布装置", "要約：【課題】", "  散布むら"}}),
       Record({{17, "ＬＥＤ付き散布装置"}, {18, "【課題】散布むら"}}, 18)},
      {kUpToInventor, Record({}, 28)},  // the IPC line is read with no end test
      {Join({kUpToInventor, {kClassLines.begin(), kClassLines.begin() + 4}}), Record({}, 30)},
      {Join({kUpToInventor, kClassLines}), Record({}, 32)}};
  for (const auto& [lines, row] : cases) EXPECT_EQ(Convert(lines), (std::vector<Row>{LayoutBTitles("要約"), row}));
  // A whole record; layouts 3 and 4 differ only in the abstract's title.
  const Lines whole = Join({{"", " ----- 1 -----"}, kBlock, {""}});
  EXPECT_EQ(Convert(whole, "3"), (std::vector<Row>{LayoutBTitles("要約"), Record()}));
  EXPECT_EQ(Convert(whole, "4"), (std::vector<Row>{LayoutBTitles("抄録"), Record()}));
}

}  // namespace
}  // namespace trovlin::testing
