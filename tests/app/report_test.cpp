// What the window says of a run: the status bar's summary, the report dialog,
// the items' counts, a PATOLIS log with nothing to convert; and the two
// options of the 設定 menu that change what a run reads and writes.
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <filesystem>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

// Answer 2 of 3 is missing and answer 3 shown twice; PY, added to the grid,
// is not in the first answer.
TEST_F(WindowTest, TheSummaryTheReportAndTheCountsTellOfGapsRepeatsAndWarnings) {
  Drop(dir.Write("gap.log",
                 CrLfLines({"L1   ANSWER 1 OF 3  CAPLUS", "AN   2005:1", "TI   one", "", "L1   ANSWER 3 OF 3  CAPLUS",
                            "AN   2005:3", "", "L1   ANSWER 3 OF 3  CAPLUS", "AN   2005:3b"})));
  ASSERT_TRUE(QTest::qWaitFor([this] { return !window().IsCounting(); }));
  EXPECT_EQ(w().itemGrid->item(3, 1)->toolTip(), ToQt(u"ﾚｺｰﾄﾞ 3件のうち 1件に値があります"));  // TI
  EXPECT_FALSE(w().reportEntry->isEnabled());
  window().ClickGridCell(4, 1);
  w().codeEdit->setText(QStringLiteral("PY"));
  Convert(dir.File("gap.csv"), Answer::No);
  const QString status = w().statusText->text();
  EXPECT_EQ(
      QString(status).replace(QRegularExpression(QStringLiteral("（[0-9]+\\.[0-9]秒）")), QStringLiteral("（s）")),
      ToQt(u"gap.csv に出力（s）  3行出力  回答 2/3件  欠番 2  重複 3  警告 1件"));
  w().reportEntry->trigger();
  const auto* report = window().findChild<QPlainTextEdit*>(QStringLiteral("reportText"));
  ASSERT_TRUE(report != nullptr && report->isVisible());
  const QString page = report->toPlainText();
  EXPECT_TRUE(
      page.startsWith(ToQt(u"■ 欠番・重複\n  L1: 回答 2/3件\n    欠番 2（5行目の回答の前）\n    重複 3（8行目）\n"
                           u"■ 警告\n  1行目: 項目「PY」は最初の回答にありません（列は空になります）\n■ ﾛｸﾞ: ")))
      << page.toStdString();
  EXPECT_TRUE(page.endsWith(ToQt(u"ﾚｺｰﾄﾞ 3  出力行 3\n■ 項目（値のある行数）\n  L1\t3\n  AN\t3\n  TI\t1\n  PY\t0\n")));
}

TEST_F(WindowTest, APatolisLogWithNothingToConvertSaysWhyAndWritesNothing) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"＊＊検索回答＊＊  様式 :  9", "回答様式が「9」です。変換できるのは様式1～4だけです。"},
      {u"＊＊検索回答＊＊", "PATOLISの回答見出し（「＊＊検索回答」と「様式」）がありません。"},
  };
  for (const auto& [header, reason] : cases) {
    Reopen();
    const std::string log = dir.Write("p.log", Sjis(header + u"\r\n  1 特許出願 2003-1\r\n"));
    Drop(log);
    prompts.Play("0o", {dir.File("p.csv")});
    window().StartConversion();
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(Transcript(prompts),
              "save / W 変換できませんでした\r" + log + "\r" + reason + "ﾌｧｲﾙは作成していません。");
    EXPECT_FALSE(std::filesystem::exists(dir.File("p.csv")) || w().reportEntry->isEnabled());
  }
}

// The first block is a command line; so is a block between the answers.
TEST_F(WindowTest, TheFirstAnswerAndSkipEmptyRowsEntriesChooseTheItemsAndTheRows) {
  const std::string log =
      dir.Write("cmd.log", CrLfLines({"=> d all", "", "L1   ANSWER 1 OF 2  CAPLUS", "AN   2005:1", "", "=> d his", "",
                                      "L1   ANSWER 2 OF 2  CAPLUS", "AN   2005:2"}));
  const std::string one = "\"ANSWER 1 OF 2  CAPLUS\",\"2005:1\"\r\n", two = "\"ANSWER 2 OF 2  CAPLUS\",\"2005:2\"\r\n";
  const std::string header = "\"L1\",\"AN\"\r\n", none = "\"\",\"\"\r\n";
  struct Case {
    bool firstAnswer, skip;
    Strings rows;
    std::u16string status;
    std::string csv;
  };
  // clang-format off
  const Case cases[] = {
      {false, false, {u"1|=> d|*", u"||"},
       u"先頭ﾌﾞﾛｯｸ（1行目）に回答見出しがありません: 設定 > 最初の回答から項目を読む で読み直せます",
       "\"=> d\"\r\n\"all\"\r\n\"\"\r\n\"his\"\r\n\"\"\r\n"},
      {true, false, {u"1|L1|*", u"2|AN|*", u"||"}, u"", header + none + one + none + two},
      {true, true, {u"1|L1|*", u"2|AN|*", u"||"}, u"", header + one + two},
  };
  // clang-format on
  for (const Case& c : cases) {
    Reopen();
    Drop(log);
    if (c.firstAnswer) w().firstAnswerEntry->trigger();  // reads the loaded log again
    if (c.skip) w().skipEmptyRowsEntry->trigger();
    EXPECT_EQ(Rows(window().grid()), c.rows);
    EXPECT_EQ(w().statusText->text(), ToQt(c.status));
    EXPECT_EQ(w().preview->toPlainText().count(u'\n'), std::count(c.csv.begin(), c.csv.end(), '\n') - 1);
    Convert(dir.File("cmd.csv"), Answer::No);
    EXPECT_EQ(ReadBytes(dir.File("cmd.csv")), c.csv);
  }
}

}  // namespace
}  // namespace trovlin::app::testing
