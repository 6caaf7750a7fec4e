#include "patolis/full_record_a.h"

#include <gtest/gtest.h>

#include "patolis_fixture.h"

namespace trovlin::testing {
namespace {

constexpr std::size_t kWidth = 29;
const Row kTitles = {"出願番号",   "出願日",     "出願種別", "国際出願番号", "基準日",     "基準日種",
                     "請求項数",   "審査種別",   "公開番号", "公開日",       "公告番号",   "公告公報発行日",
                     "登録番号",   "登録日",     "早期審査", "審査請求日",   "公報発行日", "名称",
                     "IPC",        "出願人",     "発明者",   "パリ優先権",   "優先権番号", "優先日",
                     "国内優先権", "国内優先日", "関連種別", "原出願番号",   "遡及日"};
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
// Title, applicant and inventor keep their width; IPC runs of spaces shrink.
const Filled kFieldCells = {{17, "ＬＥＤ付き散布装置及び制御方法"},
                            {18, "A01M 7/00 A01M 21/04B05B 1/00"},
                            {19, "株式会社テスト農機株式会社サンプル化学"},
                            {20, "山田　太郎"},
                            {21, "US"},
                            {22, "60/123,456"},
                            {23, "H14.04.26"},
                            {24, "特願2001-111111"},
                            {25, "H13.03.01"},
                            {26, "分割"},
                            {27, "特願2000-222222"},
                            {28, "H12.06.01"}};

std::vector<Row> Convert(const Lines& lines) { return ConvertLines(Join({{AnswerHeaderLine("2")}, lines})); }
Row Record(const Filled& changes = {}, std::size_t last = 100) {
  return Cells(kWidth, {NumberedCells(), kFieldCells, changes}, last);
}

TEST(FullRecordATest, ARecordBlockGivesItsTwentyNineCells) {
  EXPECT_EQ(Convert(Join({{"", " ----- 1 -----"}, kN, kFields, kPriorities, {""}})),
            (std::vector<Row>{kTitles, Record()}));
}

TEST(FullRecordATest, MissingMarkersSkipTheirStepsAndOtherCellsGoOn) {
  struct Case {
    Lines numbered;
    Filled changes;
  } cases[] = {
      // Cells 0 and 1 are not trimmed; an empty group is an empty cell.
      {{"*** 特許出願 2003-123456  [ H15.4.25 ] (通常) ()", kN[1], kN[2], kN[3]},
       {{0, " 2003-123456 "}, {1, " H15.4.25"}, {3, ""}}},
      // A 7-character date: cell 1 takes the "](" after it, and the "(" search from b + 9 finds that "(".
      {{"*** 特許出願2003-123456 [H15.4.2](通常) (PCT/JP03/05678)", kN[1], kN[2], kN[3]}, {{1, "H15.4.2]("}}},
      // No "[" on line 2: a = 1, so cell 4 starts at the trimmed line's start.
      {{kN[0], "    基準日H15.04.25 ](出願日) 請求項の数(5) 審査(請求)", kN[2], kN[3]}, {{4, "基準日H15.04.25"}}},
      // No "[" on line 3: g = 0 skips cells 8 and 10; 9 and 11 are cut from 1, 12 and 13 beyond the end.
      {{kN[0], kN[1], "    特開2004-300001", kN[3]},
       {{8, ""}, {9, "特開2004-30"}, {10, ""}, {11, "特開2004-30"}, {12, ""}, {13, ""}}},
      // No "(" on line 4: a = 0, the search for 審 from 0 is skipped, cell 15 is cut from 6.
      {{kN[0], kN[1], kN[2], "  早期審査なし 審査請求日[H15.05.01] 公報発行日[H16.10.28]"},
       {{14, "早"}, {15, "し 審査請求日[H"}, {16, "H15.05.01"}}},
      // "[" at 40,001 of line 3 and no second "[" (h = 0).
      {{kN[0], kN[1], std::string(40000, 'X') + "[H16.10.28]", kN[3]},
       {{8, std::string(40000, 'X')},
        {9, "H16.10.28"},
        {10, ""},
        {11, "XXXXXXXXX"},
        {12, "XXXXXXX"},
        {13, "XXXXXXXXX"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Convert(Join({c.numbered, kFields, kPriorities})), (std::vector<Row>{kTitles, Record(c.changes)}))
        << c.numbered[0];
  }
}

TEST(FullRecordATest, PriorityLines) {
  struct Case {
    Lines lines;
    Filled cells;  // 21-28
  } cases[] = {
      // Each date is searched after its group's ")".
      {{"パリ優先権：(US)(60/123 [仮])[H14.04.26]", "国内優先権：(特願2001-111111 [分])[H13.03.01]",
        "関連出願：(分割)(特願2000-222222 [原])[H12.06.01]"},
       {{21, "US"},
        {22, "60/123 [仮]"},
        {23, "H14.04.26"},
        {24, "特願2001-111111 [分]"},
        {25, "H13.03.01"},
        {26, "分割"},
        {27, "特願2000-222222 [原]"},
        {28, "H12.06.01"}}},
      {{"パリ優先権：(    )(      )[         ]", "国内優先権：(        )[         ]", "関連出願：(  )(   )[         ]"},
       {}},
      // With no marker at all a date is cut from position 1.
      {{"パリ優先権：", "国内優先権：", "関連出願："},
       {{23, "パリ優先権："}, {25, "国内優先権："}, {28, "関連出願："}}},
  };
  for (const Case& c : cases) {
    Row row = Record({}, 20);
    for (const auto& [index, text] : c.cells) row[index] = text;
    EXPECT_EQ(Convert(Join({kN, kFields, c.lines})), (std::vector<Row>{kTitles, row})) << c.lines[0];
  }
}

TEST(FullRecordATest, PositionsCarryOverFromThePreviousRecord) {
  // No "(" on the second start line: p = 0, and the skipped searches for ")"
  // leave q = 36 and v = 53 from the first record, so cells 2 and 3 are cut
  // from 1 over the whole line. The record's other lines are missing.
  const std::string second = "*** 特許出願2004-000111 [H16.01.06]";
  EXPECT_EQ(Convert(Join({kN, kFields, kPriorities, {second, ""}})),
            (std::vector<Row>{kTitles, Record(),
                              Cells(kWidth, {{{0, "2004-000111"}, {1, "H16.01.06"}, {2, second}, {3, second}}})}));
}

TEST(FullRecordATest, EndOfInputInsideARecordWritesWhatWasRead) {
  const Lines block = Join({kN, kFields, kPriorities});
  struct Case {
    Lines lines;
    std::vector<Row> rows;
  } cases[] = {
      // A start line that ends the log and is found by the search: cells 0-3, not narrowed.
      {{"junk", kN[0]},
       {kTitles,
        Cells(kWidth,
              {{{0, "２００３－１２３４５６"}, {1, "Ｈ１５．０４．２５"}, {2, "通常"}, {3, "PCT/JP03/05678"}}})}},
      // The first line read ends the log: the loop stops before searching.
      {{kN[0]}, {kTitles}},
      {kN, {kTitles, Record({}, 16)}},
      {Join({kN, {kFields[0], kFields[1]}}), {kTitles, Record({}, 17)}},
      {Join({kN, {kFields.begin(), kFields.end() - 1}}), {kTitles, Record({}, 19)}},
      // Lines read with no end test are "" at the end: cells 24-28 stay empty.
      {Join({kN, kFields, {kPriorities[0]}}), {kTitles, Record({}, 23)}},
      {block, {kTitles, Record()}},
      // The line read after a block is not searched when it ends the log.
      {Join({block, {kN[0]}}), {kTitles, Record()}},
      {Join({block, {"", ""}}), {kTitles, Record()}},
      // Other text at the end gives no row.
      {Join({block, {"", "＊＊＊ 検索終了 ＊＊＊"}}), {kTitles, Record()}},
      {{"検索式 1", "＊＊＊ 検索終了 ＊＊＊"}, {kTitles}},
      // Only a line that, trimmed, begins with "*** 特許出願" opens a record.
      {Join({{"参照 *** 特許出願2003-000001 [H15.01.01]", "***特許出願2003-000002 [H15.01.02]", "   " + kN[0]},
             {kN.begin() + 1, kN.end()},
             kFields,
             kPriorities}),
       {kTitles, Record()}},
  };
  for (const Case& c : cases) EXPECT_EQ(Convert(c.lines), c.rows) << c.lines.size() << " lines";
}

}  // namespace
}  // namespace trovlin::testing
