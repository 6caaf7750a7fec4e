// What the window says of a run: the status bar's summary, the report dialog,
// the items' counts, a PATOLIS log with nothing to convert; and the two
// options of the 設定 menu that change what a run reads and writes.
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <filesystem>

#include "app/report_page.h"
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
  EXPECT_TRUE(page.endsWith(ToQt(u"ﾚｺｰﾄﾞ 3  出力行 3\n■ 項目（値のある行数）\n  L1  3\n  AN  3\n  TI  1\n  PY  0\n")));
  // The page is copied whole.
  auto* copy = report->window()->findChild<QPushButton*>(QStringLiteral("copyReport"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->text(), ToQt(u"コピー(&C)"));
  QGuiApplication::clipboard()->clear();
  copy->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), page);
}

// Codes and counts stand in columns for a fixed font, where a full-width
// character takes two places; a set the log does not name goes by its
// service's name.
TEST(ReportPageTest, ItemColumnsAlignAndAnUnnamedSetIsNamedByItsService) {
  EXPECT_EQ(DisplayWidth(u"AN"), 2u);
  EXPECT_EQ(DisplayWidth(u"全角ｶﾅ"), 6u);  // two full-width, two half-width
  EXPECT_EQ(DisplayWidth(u"ＴＩ　"), 6u);
  ConversionReport report;
  report.service = DatabaseKind::Patolis;
  AnswerSetReport set;
  set.announced = 2;
  set.found = 2;
  report.answers.push_back(set);
  report.items = {{u"出願番号", 12}, {u"AN", 3}, {u"ﾃｽﾄ", 100}};
  const std::u16string page = ReportPage(report, false);
  EXPECT_TRUE(page.starts_with(u"■ 欠番・重複\n  PATOLIS: 回答 2/2件\n")) << Utf16ToUtf8(page);
  // Codes 8 places wide, then two spaces, then counts 3 places wide.
  const std::u16string items = u"■ 項目（値のある行数）\n  出願番号" + std::u16string(3, u' ') + u"12\n  AN" +
                               std::u16string(6 + 2 + 2, u' ') + u"3\n  ﾃｽﾄ" + std::u16string(5 + 2, u' ') + u"100\n";
  EXPECT_TRUE(page.ends_with(items)) << Utf16ToUtf8(page);
}

// Warnings that mean the output holds less than the log are named in the
// status bar's summary, beside the count of every warning.
TEST(ReportPageTest, TheSummaryNamesRecordsCutShortAndCellsCut) {
  ConversionReport report;
  report.rows = 2;
  report.warnings = {{7, WarningKind::RecordCutShort, 0, {}},
                     {3, WarningKind::InvalidBytes, 1, {}},
                     {9, WarningKind::RecordCutShort, 2, {}},
                     {4, WarningKind::CellCut, 40000, {}}};
  EXPECT_EQ(ReportSummary(report), u"2行出力  警告 4件（途中で切れた記録 2件）（セルの上限で切った値 1件）");
  report.warnings.resize(2);
  EXPECT_EQ(ReportSummary(report), u"2行出力  警告 2件（途中で切れた記録 1件）");
}

// A PATOLIS log in a layout no converter knows, or with no layout, says why
// when it is loaded, and cannot be converted.
TEST_F(WindowTest, APatolisLogWithNothingToConvertSaysWhyAndWritesNothing) {
  const std::string cannot = "W このPATOLISログは変換できません\r";
  const std::pair<std::u16string, std::string> cases[] = {
      {u"＊＊検索回答＊＊  様式 :  9", "回答様式が「9」です。変換できるのは様式1～4だけです。"},
      {u"＊＊検索回答＊＊", "PATOLISの回答見出し（「＊＊検索回答」と「様式」）がありません。"},
  };
  for (const auto& [header, reason] : cases) {
    Reopen();
    const std::string log = dir.Write("p.log", Sjis(header + u"\r\n  1 特許出願 2003-1\r\n"));
    prompts.Reply(Answer::Ok);
    Drop(log);
    EXPECT_EQ(Transcript(prompts), cannot + log + "\r" + reason);
    EXPECT_EQ(w().statusText->text(), ToQt(FromUtf8(reason)));
    EXPECT_FALSE(w().convertButton->isEnabled() || w().convertEntry->isEnabled());
    EXPECT_TRUE(w().databaseOptions[3]->isChecked() && !w().layoutLabel->isHidden());
    window().StartConversion();  // asks nothing
    EXPECT_EQ(prompts.asked().size(), 1u);
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
