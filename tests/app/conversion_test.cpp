// Runs from the window: the command line's bytes, the questions on the way,
// the CSV options and warnings, and item lists giving the columns.
#include <QTest>
#include <filesystem>

#include "support/cli_run.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

TEST_F(WindowTest, SameBytesAsTheCommandLineTwin) {
  for (const char* name : {"stn_sample.log", "dialog_sample.log", "jois_sample.log", "patolis_layout1.log",
                           "patolis_layout2.log", "patolis_layout3.log", "patolis_layout4.log"}) {
    SCOPED_TRACE(name);
    // A copy: loading a PATOLIS log repairs its line ends in place.
    const std::string log = dir.Write(name, ReadBytes(std::string(TROVLIN_SAMPLES_DIR) + "/" + name));
    Drop(log);
    Convert(dir.File("window.csv"), Answer::No);
    const auto cli = trovlin::testing::RunCli({"convert", log, "-o", dir.File("cli.csv")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(ReadBytes(dir.File("window.csv")), ReadBytes(dir.File("cli.csv")));
  }
}

TEST_F(WindowTest, AnswersToTheOutputFileAndCompletionQuestionsAndFailedRuns) {
  struct Case {
    const char* script;  // 0: the output, 1: the log itself, 2: a file in a missing folder
    std::string asked;
    bool ended;
    bool written;  // otherwise an older out.csv stays
    bool logRemoved = false;
  };
  const std::string log = dir.File("answers.csv");  // .csv: the proposal is the log's own name
  const std::vector<std::string> files = {dir.File("out.csv"), log, dir.File("missing/out.csv")};
  const std::string failed = "C 変換できませんでした\r";
  // clang-format off
  const Case cases[] = {
      {"0y", "save / done", true, true},    {"0n", "save / done", false, true},
      {"xo0n", "save / bad name / save / done", false, true},    {"xc", "save / bad name", false, false},
      {"1o0n", "save / same file / save / done", false, true},   {"1c", "save / same file", false, false},
      {"2o", "save / " + failed + files[2] + "\rファイルまたはフォルダがありません", false, false},
      {"0o", "save / " + failed + log + "\rファイルまたはフォルダがありません", false, false, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    Reopen();
    dir.Write("out.csv", "older file");
    Drop(dir.Write("answers.csv", StnLog()));
    if (c.logRemoved) std::filesystem::remove(log);
    prompts.Play(c.script, files);
    window().StartConversion();
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(Transcript(prompts), c.asked);
    for (const auto& a : prompts.asked()) EXPECT_TRUE(!a.isDialog || a.request.fileName == log);  // proposed anew
    EXPECT_EQ(window().IsEnded(), c.ended);
    EXPECT_EQ(ReadBytes(files[0]), c.written ? StnCsv() : "older file");
    // A failed run leaves the window as it was; after No to the completion question it cannot convert.
    EXPECT_TRUE(c.ended || (w().convertButton->isEnabled() && !w().itemGrid->isHidden()) == !c.written);
  }
}

// A PATOLIS run that fails part way says so under its own title, keeps what
// it wrote, and ends with the completion question.
TEST_F(WindowTest, AFailedPatolisRunIsToldUnderItsOwnTitle) {
  const std::vector<std::string> files = {dir.File("missing/out.csv")};
  Drop(CopySample(dir, "patolis_layout1.log"));
  prompts.Play("0on", files);
  window().StartConversion();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(Transcript(prompts), "save / C " + files[0] + "\rファイルまたはフォルダがありません / done");
  EXPECT_EQ(prompts.asked()[1].message.title, u"PATOLISデータ変換");
}

TEST_F(WindowTest, TheCsvOptionsShapeThePreviewAndTheCsvAndTheRunSaysWhatItReplaced) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string log = bom + "AN   0001 DIALOG\r\nTI   Caf\xC3\xA9 \"bar\"\r\n";  // é: not in code page 932
  struct Case {
    std::string log;
    CsvEncoding encoding;
    bool doubleQuotes;
    std::string csv;
    std::u16string preview;  // "": not checked
    std::string warning;
  };
  // clang-format off
  const Case cases[] = {
      {log, CsvEncoding::Cp932, false, "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"Caf? 'bar'\"\r\n", u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"Caf? 'bar'\"",
       " / W コードページ932で表せない 1 文字を「?」としてCSVに書き込みました。"},
      {log, CsvEncoding::Utf8Bom, true, bom + "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"Caf\xC3\xA9 \"\"bar\"\"\"\r\n",
       u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"Café \"\"bar\"\"\"", ""},
      {bom + "AN   0001 DIALOG\r\nTI   a\xFFz\r\n", CsvEncoding::Cp932, false, "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"a\xFFz\"\r\n", u"",
       " / W ログの 1 バイトはUTF-8の文字ではないため、そのままCSVに書き込みました（最初は 2 行目）。"},
      // The preview stops after five rows and marks an LF inside a value.
      {bom + "AN   0001 DIALOG\r\nTI   a\r\nTI   b\r\n\r\nAN   2\r\n\r\nAN   3\r\n\r\nAN   4\r\n\r\nAN   5\r\n\r\nAN   6\r\n",
       CsvEncoding::Cp932, false,
       "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"a\nb\"\r\n\"2\",\"\"\r\n\"3\",\"\"\r\n\"4\",\"\"\r\n\"5\",\"\"\r\n\"6\",\"\"\r\n",
       u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"a↵b\"\n\"2\",\"\"\n\"3\",\"\"\n\"4\",\"\"\n\"5\",\"\"", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    Reopen();
    Drop(dir.Write("in.log", c.log));
    EXPECT_EQ(w().logEncoding->text(), ToQt(u"ログの文字コード：UTF-8"));
    w().csvEncodingEntries[static_cast<std::size_t>(c.encoding)]->trigger();
    if (c.doubleQuotes) w().doubleQuotesEntry->trigger();
    EXPECT_TRUE(c.preview.empty() || w().preview->toPlainText() == ToQt(c.preview));
    prompts.Play(c.warning.empty() ? "0n" : "0on", {dir.File("out.csv")});
    window().StartConversion();
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.csv);
    EXPECT_EQ(Transcript(prompts), "save" + c.warning + " / done");
  }
  // A PATOLIS run ignores the grid: nothing to preview.
  Reopen();
  Drop(dir.Write("in.log", StnLog()));
  EXPECT_NE(w().preview->toPlainText(), QString());
  QTest::mouseClick(w().databaseOptions[3], Qt::LeftButton);
  EXPECT_EQ(w().preview->toPlainText(), QString());
}

// The columns follow the grid, and the STN check mark the service chosen.
TEST_F(WindowTest, AnItemListIsSavedAndLoadedIntoAnotherLogKeepingCodesItLacks) {
  Drop(dir.Write("stn.log", StnLog()));
  window().ClickGridCell(1, 1);
  window().DeleteRow();          // AN, TI, PI
  window().ClickGridCell(2, 2);  // TI's join mark off
  const std::string list = dir.File("items.txt");
  prompts.Play("0", {list});
  w().saveListEntry->trigger();
  EXPECT_EQ(ReadBytes(list), "trovlin-items 1\nAN\t*\nTI\t\nPI\t\n");
  Drop(dir.Write("dialog.log", DialogLog()));
  prompts.Play("0o", {list});
  w().loadListEntry->trigger();
  EXPECT_EQ(Rows(window().grid()), (Strings{u"1|AN|*", u"2|TI|", u"3|PI|", u"||"}));
  EXPECT_EQ(
      Transcript(prompts),
      "save / open / W このログの最初の回答にない項目があります: PI\rこれらの項目は表に残し、CSVの列は空になります。");
  EXPECT_EQ(prompts.asked()[1].request.fileName, list);       // the list last used
  QTest::mouseClick(w().databaseOptions[0], Qt::LeftButton);  // read as STN: the asterisks go
  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")),
            CrLfLines({"\"AN\",\"TI\",\"PI\"", "\"0001 DIALOG\",\"Dialog title\",\"\""}));
}

// The two options of the 設定 menu start checked, toggle with a click, shape
// the preview and the CSV, and are remembered.
TEST_F(WindowTest, TheStarsAndHalfWidthOptionsToggleAndAreRemembered) {
  const std::string stn = dir.Write("stn.log", CrLfLines({"L1   ANSWER 1 OF 1", "TI   ***Catalyst***", ""}));
  const std::string jois = dir.Write("jois.log", Sjis(u"JICST-EPlus  1/1\r\nPY   ２００５\r\n"));
  struct Case {
    bool removeStars, halfWidth;  // as the entries are left
    std::string stnCsv, joisCsv;
  };
  // The JOIS log's first line gives the code "JICS" (its first four characters).
  const std::string stnHeader = "\"L1\",\"TI\"\r\n\"ANSWER 1 OF 1\",",
                    joisHeader = "\"JICS\",\"PY\"\r\n\"T-EPlus  1/1\",";
  const Case cases[] = {
      {true, true, stnHeader + "\"Catalyst\"\r\n", joisHeader + "\"2005\"\r\n"},
      {false, true, stnHeader + "\"***Catalyst***\"\r\n", joisHeader + "\"2005\"\r\n"},
      {true, false, stnHeader + "\"Catalyst\"\r\n", joisHeader + "\"" + Sjis(u"２００５") + "\"\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.removeStars) + std::to_string(c.halfWidth));
    Reopen();
    EXPECT_TRUE(w().removeStarsEntry->isChecked() && w().halfWidthEntry->isChecked());
    if (!c.removeStars) w().removeStarsEntry->trigger();
    if (!c.halfWidth) w().halfWidthEntry->trigger();
    Reopen(true);  // remembered
    EXPECT_EQ(w().removeStarsEntry->isChecked(), c.removeStars);
    EXPECT_EQ(w().halfWidthEntry->isChecked(), c.halfWidth);
    for (const auto& [log, csv] : {std::pair(stn, c.stnCsv), std::pair(jois, c.joisCsv)}) {
      Drop(log);
      Convert(dir.File("out.csv"), Answer::No);
      EXPECT_EQ(ReadBytes(dir.File("out.csv")), csv);
    }
  }
}

}  // namespace
}  // namespace trovlin::app::testing
