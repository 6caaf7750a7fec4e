#include "patolis/full_record_a.h"

#include <gtest/gtest.h>

#include "patolis_fixture.h"

namespace trovlin::testing {
namespace {

// Layout 2 has the first 29 columns of layouts 3 and 4, with its IPC where the abstract goes.
constexpr std::size_t kWidth = 29;
const Row kTitles = [] {
  Row titles = LayoutBTitles("IPC");
  titles.resize(kWidth);
  return titles;
}();
const Lines kN = NumberedLines();
const Lines kFields = {"名称：ＬＥＤ付き散布装置",
                       "  及び制御方法",
                       "IPC：A01M  7/00    A01M 21/04",
                       "  B05B   1/00",
                       "出願人：株式会社テスト農機",
                       "  株式会社サンプル化学",
                       "発明者：山田　太郎"};
const Lines kPriorities = {"パリ優先権：( US )(60/123,456)[H14.04.26]", "国内優先権：(特願2001-111111)[H13.03.01]",
                           "関連出願：(分割)(特願2000-222222)[H12.06.01]"};
const Lines kBlock = Join({kN, kFields, kPriorities});
// Title, applicant and inventor keep their width; IPC runs of spaces shrink.
const Filled kFieldCells =
    From(17,
         "ＬＥＤ付き散布装置及び制御方法|A01M 7/00 A01M 21/04B05B 1/00|株式会社テスト農機株式会社"
         "サンプル化学|山田　太郎|US|60/123,456|H14.04.26|特願2001-111111|H13.03.01|分割|"
         "特願2000-222222|H12.06.01");

std::vector<Row> Convert(const Lines& lines) { return ConvertLines(Join({{AnswerHeaderLine("2")}, lines})); }
Row Record(const Filled& changes = {}, std::size_t last = 100) {
  return Cells(kWidth, {NumberedCells(), kFieldCells, changes}, last);
}

TEST(FullRecordATest, MissingMarkersSkipTheirStepsAndOtherCellsGoOn) {
  const std::pair<Lines, Filled> cases[] = {
      // Cells 0 and 1 are not trimmed; an empty group is an empty cell.
      {{"*** 特許出願 2003-123456  [ H15.4.25 ] (通常) ()", kN[1], kN[2], kN[3]},
       From(0, " 2003-123456 | H15.4.25|通常|")},
      // A 7-character date: cell 1 takes the "](" after it, and the "(" search from b + 9 finds that "(".
      {{"*** 特許出願2003-123456 [H15.4.2](通常) (PCT/JP03/05678)", kN[1], kN[2], kN[3]}, {{1, "H15.4.2]("}}},
      // No "[" on line 2: a = 1, so cell 4 starts at the trimmed line's start.
      {{kN[0], "    基準日H15.04.25 ](出願日) 請求項の数(5) 審査(請求)", kN[2], kN[3]}, {{4, "基準日H15.04.25"}}},
      // No "[" on line 3: g = 0 skips cells 8 and 10; 9 and 11 are cut from 1, 12 and 13 beyond the end.
      {{kN[0], kN[1], "    特開2004-300001", kN[3]}, From(8, "|特開2004-30||特開2004-30||")},
      // No "(" on line 4: a = 0, the search for 審 from 0 is skipped, cell 15 is cut from 6.
      {{kN[0], kN[1], kN[2], "  早期審査なし 審査請求日[H15.05.01] 公報発行日[H16.10.28]"},
       From(14, "早|し 審査請求日[H|H15.05.01")},
      // "[" at 40,001 of line 3 and no second "[" (h = 0).
      {{kN[0], kN[1], std::string(40000, 'X') + "[H16.10.28]", kN[3]},
       From(8, std::string(40000, 'X') + "|H16.10.28||XXXXXXXXX|XXXXXXX|XXXXXXXXX")},
  };
  for (const auto& [numbered, changes] : cases) {
    EXPECT_EQ(Convert(Join({numbered, kFields, kPriorities})), (std::vector<Row>{kTitles, Record(changes)}))
        << numbered[0];
  }
}

TEST(FullRecordATest, PriorityLines) {
  const std::pair<Lines, std::string> cases[] = {
      // the lines, and cells 21-28
      // Each date is searched after its group's ")".
      {{"パリ優先権：(US)(60/123 [仮])[H14.04.26]", "国内優先権：(特願2001-111111 [分])[H13.03.01]",
        "関連出願：(分割)(特願2000-222222 [原])[H12.06.01]"},
       "US|60/123 [仮]|H14.04.26|特願2001-111111 [分]|H13.03.01|分割|特願2000-222222 [原]|H12.06.01"},
      {{"パリ優先権：(    )(      )[         ]", "国内優先権：(        )[         ]", "関連出願：(  )(   )[         ]"},
       "|||||||"},
      // With no marker at all a date is cut from position 1.
      {{"パリ優先権：", "国内優先権：", "関連出願："}, "||パリ優先権：||国内優先権：|||関連出願："},
  };
  for (const auto& [lines, cells] : cases) {
    EXPECT_EQ(Convert(Join({kN, kFields, lines})), (std::vector<Row>{kTitles, Record(From(21, cells))})) << lines[0];
  }
}

TEST(FullRecordATest, EndOfInputInsideARecordWritesWhatWasRead) {
  const std::string second = "*** 特許出願2004-000111 [H16.01.06]";
  const std::pair<Lines, std::vector<Row>> cases[] = {
      // Positions carry over: no "(" on the second start line, so p = 0 and the
      // skipped searches for ")" leave q = 36 and v = 53 from the first record;
      // cells 2 and 3 are cut from 1 over the whole line. Its other lines are missing.
      {Join({kBlock, {second, ""}}),
       {kTitles, Record(), Cells(kWidth, {From(0, "2004-000111|H16.01.06|" + second + "|" + second)})}},
      {Join({{"", " ----- 1 -----"}, kBlock, {""}}), {kTitles, Record()}},
      // A start line that ends the log and is found by the search: cells 0-3, not narrowed.
      {{"junk", kN[0]},
       {kTitles, Cells(kWidth, {From(0, "２００３－１２３４５６|Ｈ１５．０４．２５|通常|PCT/JP03/05678")})}},
      // The first line read ends the log: the loop stops before searching.
      {{kN[0]}, {kTitles}},
      {kN, {kTitles, Record({}, 16)}},
      {Join({kN, {kFields[0], kFields[1]}}), {kTitles, Record({}, 17)}},
      {Join({kN, {kFields.begin(), kFields.end() - 1}}), {kTitles, Record({}, 19)}},
      // Lines read with no end test are "" at the end: cells 24-28 stay empty.
      {Join({kN, kFields, {kPriorities[0]}}), {kTitles, Record({}, 23)}},
      {kBlock, {kTitles, Record()}},
      // The line read after a block is not searched when it ends the log.
      {Join({kBlock, {kN[0]}}), {kTitles, Record()}},
      {Join({kBlock, {"", ""}}), {kTitles, Record()}},
      // Other text at the end gives no row.
      {Join({kBlock, {"", "＊＊＊ 検索終了 ＊＊＊"}}), {kTitles, Record()}},
      {{"検索式 1", "＊＊＊ 検索終了 ＊＊＊"}, {kTitles}},
      // Only a line that, trimmed, begins with "*** 特許出願" opens a record.
      {Join({{"参照 *** 特許出願2003-000001 [H15.01.01]", "***特許出願2003-000002 [H15.01.02]", "   " + kN[0]},
             {kN.begin() + 1, kN.end()},
             kFields,
             kPriorities}),
       {kTitles, Record()}},
  };
  for (const auto& [lines, rows] : cases) EXPECT_EQ(Convert(lines), rows) << lines.size() << " lines";
}

}  // namespace
}  // namespace trovlin::testing
