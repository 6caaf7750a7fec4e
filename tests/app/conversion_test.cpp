// The conversion run started from the window: the output-file questions,
// both conversion paths, the completion question, and what the window
// refuses while a run is under way.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <functional>
#include <optional>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;
using trovlin::testing::ReadBytes;
using trovlin::testing::RunCli;
using trovlin::testing::Sjis;

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Files in folder whose name contains part.
int FilesContaining(const std::string& folder, const std::string& part) {
  int n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().find(part) != std::string::npos) ++n;
  }
  return n;
}

// An STN log big enough that a run is still under way when the test acts.
std::string BigStnLog() {
  std::string log;
  for (int i = 0; i < 60000; ++i) {
    log += "L1   ANSWER " + std::to_string(i + 1) + " OF 60000  CAPLUS\r\nAN   2005:" + std::to_string(i) +
           "\r\nTI   A ***title*** of the answer\r\n     that goes on\r\n\r\n";
  }
  return log;
}

using ConversionTest = WindowTest;

TEST_F(ConversionTest, TaggedLogToCsvAndAgainFromTheMenuAfterNo) {
  const std::string log = Write("result.log", StnLog());
  Drop(log);
  Convert(dir.File("result.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("result.csv")), StnCsv());
  // A log loaded by a drop leaves the dialog on its first filter (0).
  EXPECT_EQ(prompts.Dialogs(), (std::vector<FileDialogRequest>{{FileDialogRequest::Kind::Save, u"書き込むファイル",
                                                                u"CSV File (*.CSV)|*.CSV|All Files (*.*)|*.*|", 0,
                                                                u"CSV", 6, dir.File("result.csv")}}));
  EXPECT_EQ(window().settings().outputPath, dir.File("result.csv"));
  EXPECT_EQ(window().settings().databaseName, u"STN");
  EXPECT_TRUE(window().settings().deleteStars);
  EXPECT_FALSE(window().settings().toHalfWidth);
  // No disables the convert button, but the menu entry runs again with the same log and items.
  EXPECT_FALSE(window().IsEnded());
  EXPECT_FALSE(w().convertButton->isEnabled());
  EXPECT_TRUE(w().itemGrid->isHidden());
  EXPECT_TRUE(w().convertEntry->isEnabled());
  prompts.Choose(dir.File("two.csv")).Reply(Answer::No);
  w().convertEntry->trigger();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(ReadBytes(dir.File("two.csv")), StnCsv());
  EXPECT_EQ(prompts.Dialogs()[1].fileName, dir.File("result.csv"));  // a fresh proposal from the log
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone, kDone}));
}

TEST_F(ConversionTest, TheSaveDialogAfterTheOpenDialogAndAfterAPaste) {
  prompts.Choose(Write("result.log", StnLog()));
  window().OpenLog();
  Convert(dir.File("x.csv"), Answer::No);
  EXPECT_EQ(prompts.Dialogs()[1].filterIndex, 2);  // the filter the open dialog left
  Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  Convert(dir.File("x.csv"), Answer::No);
  EXPECT_EQ(prompts.Dialogs()[2].fileName, dir.File("trovlint001.csv"));  // the proposal for the paste file
}

TEST_F(ConversionTest, SameBytesAsTheCommandLineTwin) {
  const char* samples[] = {"stn_sample.log",       "dialog_sample.log",    "jois_sample.log",     "patolis_layout1.log",
                           "patolis_layout2.log", "patolis_layout3.log", "patolis_layout4.log"};
  int compared = 0;
  for (const char* name : samples) {
    SCOPED_TRACE(name);
    const std::string sample = std::string(TROVLIN_SAMPLES_DIR) + "/" + name;
    if (!Exists(sample)) continue;
    // A copy: loading a PATOLIS log repairs its line ends in place.
    const std::string log = Write(name, ReadBytes(sample));
    Drop(log);
    Convert(dir.File("window.csv"), Answer::No);
    const auto cli = RunCli({"convert", log, "-o", dir.File("cli.csv")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(ReadBytes(dir.File("window.csv")), ReadBytes(dir.File("cli.csv")));
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no samples";
}

TEST_F(ConversionTest, TheColumnsFollowTheGridAndTheCheckMarksApplyPerService) {
  struct Case {
    const char* name;
    std::string log;
    void (*edit)(ConversionTest&);  // after loading; nullptr: none
    std::optional<std::string> csv;  // nullopt: no file written
  };
  const Case cases[] = {
      {"edited items are the columns in grid order", StnLog(),
       [](ConversionTest& t) {
         t.window().ClickGridCell(1, 1);  // L1
         t.window().DeleteRow();
         t.window().ClickGridCell(2, 1);  // TI
         t.window().CutRow();
         t.window().ClickGridCell(1, 1);  // AN
         t.window().PasteRow();
       },
       CrLfLines({"\"TI\",\"AN\",\"PI\"", "\"Catalyst for olefin polymerization\",\"2005:12\",\"JP 2005-1\"",
                  "\"Second title\",\"2005:13\",\"\""})},
      {"an empty code ends the item list", StnLog(),
       [](ConversionTest& t) {
         t.window().ClickGridCell(3, 1);
         t.w().codeEdit->clear();  // TI's code emptied
       },
       CrLfLines({"\"L1\",\"AN\"", "\"ANSWER 1 OF 2  CAPLUS\",\"2005:12\"", "\"ANSWER 2 OF 2  CAPLUS\",\"2005:13\""})},
      {"STN removes asterisks", StnLog(), nullptr, StnCsv()},
      {"JOIS makes full-width half-width", JoisLog(), nullptr, CrLfLines({"\"AN\",\"TI\"", "\"JST0001\",\"ABC123\""})},
      {"DIALOG does neither", DialogLog(), nullptr,
       CrLfLines({"\"AN\",\"TI\"", "\"0001 DIALOG\",\"Dialog *title*\""})},
      {"STN log read as JOIS keeps its asterisks", CrLfLines({"L1   ANSWER 1", "TI   *a*", ""}),
       [](ConversionTest& t) { QTest::mouseClick(t.w().databaseOptions[2], Qt::LeftButton); },
       CrLfLines({"\"L1\",\"TI\"", "\"ANSWER 1\",\"*a*\""})},
      {"JOIS log read as STN keeps full width", JoisLog(),
       [](ConversionTest& t) { QTest::mouseClick(t.w().databaseOptions[0], Qt::LeftButton); },
       CrLfLines({"\"AN\",\"TI\"", Sjis(u"\"JST0001\",\"ＡＢＣ１２３\"")})},
      {"PATOLIS chosen for a tagged log converts nothing and still completes", StnLog(),
       [](ConversionTest& t) { QTest::mouseClick(t.w().databaseOptions[3], Qt::LeftButton); }, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    std::filesystem::remove(dir.File("out.csv"));
    Drop(Write("in.log", c.log));
    if (c.edit != nullptr) c.edit(*this);
    Convert(dir.File("out.csv"), Answer::No);
    EXPECT_EQ(Exists(dir.File("out.csv")), c.csv.has_value());
    if (c.csv) {
      EXPECT_EQ(ReadBytes(dir.File("out.csv")), *c.csv);
    }
    EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone}));
  }
}

TEST_F(ConversionTest, AnswersToTheOutputFileAndCompletionQuestions) {
  using Tags = std::vector<std::string>;
  struct Case {
    const char* name;
    std::function<void(ScriptedPrompts&, const std::string& log, const std::string& out)> script;
    Tags asked;
    bool ended;
    bool written;
  };
  const Case cases[] = {
      {"Yes ends the program", [](ScriptedPrompts& p, auto&, auto& out) { p.Choose(out).Reply(Answer::Yes); },
       {"save", "done"}, true, true},
      {"No goes on", [](ScriptedPrompts& p, auto&, auto& out) { p.Choose(out).Reply(Answer::No); }, {"save", "done"},
       false, true},
      {"dialog cancelled, OK: asked again",
       [](ScriptedPrompts& p, auto&, auto& out) { p.CancelDialog().Reply(Answer::Ok).Choose(out).Reply(Answer::No); },
       {"save", "bad name", "save", "done"}, false, true},
      {"dialog cancelled, Cancel: the end, nothing written",
       [](ScriptedPrompts& p, auto&, auto&) { p.CancelDialog().Reply(Answer::Cancel); }, {"save", "bad name"}, true,
       false},
      {"the log itself, OK: asked again",
       [](ScriptedPrompts& p, auto& log, auto& out) { p.Choose(log).Reply(Answer::Ok).Choose(out).Reply(Answer::No); },
       {"save", "same file", "save", "done"}, false, true},
      {"the log itself, Cancel: the end, nothing written",
       [](ScriptedPrompts& p, auto& log, auto&) { p.Choose(log).Reply(Answer::Cancel); }, {"save", "same file"}, true,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    // Named .csv, so that the proposal is the log's own name.
    const std::string log = Write("answers.csv", StnLog());
    const std::string out = dir.File("out.csv");
    std::filesystem::remove(out);
    Drop(log);
    QSignalSpy ended(window_.get(), &MainWindow::programEnded);
    c.script(prompts, log, out);
    window().StartConversion();
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(Transcript(prompts), c.asked);
    for (const FileDialogRequest& save : prompts.Dialogs()) EXPECT_EQ(save.fileName, log);  // a fresh proposal each time
    EXPECT_EQ(ended.count(), c.ended ? 1 : 0);
    EXPECT_EQ(Exists(out), c.written);
    if (c.written) {
      EXPECT_EQ(ReadBytes(out), StnCsv());
    }
    EXPECT_EQ(ReadBytes(log), StnLog());
    if (!c.ended) {
      EXPECT_FALSE(w().convertButton->isEnabled());
      EXPECT_TRUE(w().itemGrid->isHidden());
    }
  }
}

TEST_F(ConversionTest, MconvBeforeAnyLoadEndsAtOnce) {
  QSignalSpy ended(&window(), &MainWindow::programEnded);
  w().convertEntry->trigger();
  EXPECT_TRUE(prompts.asked().empty());
  EXPECT_EQ(ended.count(), 0);
  EXPECT_FALSE(window().IsRunning());
}

TEST_F(ConversionTest, PatolisLogGoesToItsLayoutsColumns) {
  Drop(Write("p.log", PatolisLog()));
  Convert(dir.File("p.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("p.csv")), PatolisCsv());
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone}));
  EXPECT_EQ(window().settings().databaseName, u"PATOLIS");
  EXPECT_TRUE(window().settings().toHalfWidth);
}

TEST_F(ConversionTest, NoItemToConvertEndsTheRunSilently) {
  struct Case {
    const char* name;
    void (*reach)(ConversionTest&);
    bool gridShown;
  };
  const Case cases[] = {
      {"the first code emptied",
       [](ConversionTest& t) {
         t.Drop(t.Write("result.log", StnLog()));
         t.window().ClickGridCell(1, 1);
         t.w().codeEdit->clear();
       },
       true},
      {"JOIS chosen for a PATOLIS log",
       [](ConversionTest& t) {
         t.Drop(t.Write("p.log", PatolisLog()));
         QTest::mouseClick(t.w().databaseOptions[2], Qt::LeftButton);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    c.reach(*this);
    prompts.Choose(dir.File("out.csv"));
    window().StartConversion();
    EXPECT_FALSE(window().IsRunning());
    EXPECT_FALSE(Exists(dir.File("out.csv")));
    EXPECT_EQ(prompts.asked().size(), 1u);  // the save dialog only
    EXPECT_TRUE(w().convertButton->isEnabled());
    EXPECT_EQ(!w().itemGrid->isHidden(), c.gridShown);
  }
}

TEST_F(ConversionTest, APatolisFailureIsShownUnderItsTitleAndTheRunCompletes) {
  Drop(Write("p.log", PatolisLog()));
  const std::string out = dir.File("missing/p.csv");
  prompts.Choose(out).Reply(Answer::Ok).Reply(Answer::No);
  window().StartConversion();
  ASSERT_TRUE(WaitForRun());
  const std::u16string text = u"cannot write the CSV file '" + Utf8ToUtf16(out) + u"': No such file or directory";
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{{u"PATOLISデータ変換", text, Icon::Critical, Buttons::Ok}, kDone}));
}

// ---- Failures ----------------------------------------------------------------

TEST_F(ConversionTest, AFailedRunIsReportedAndTheWindowStaysAsItWas) {
  const std::string log = Write("result.log", StnLog());
  const std::string missing = dir.File("missing/out.csv");
  const std::string old = dir.File("out.csv");
  struct Case {
    const char* name;
    bool removeLog;
    const std::string& out;
    std::u16string reason;
  };
  const Case cases[] = {
      {"an output that cannot be created", false, missing,
       u"cannot write the CSV file '" + Utf8ToUtf16(missing) + u"': No such file or directory"},
      {"the log removed after loading; an old CSV is kept", true, old,
       u"cannot open the log '" + Utf8ToUtf16(log) + u"': No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    Write("result.log", StnLog());
    Write("out.csv", "old contents");
    Drop(log);
    if (c.removeLog) std::filesystem::remove(log);
    QSignalSpy finished(&window(), &MainWindow::runFinished);
    prompts.Choose(c.out).Reply(Answer::Ok);
    window().StartConversion();
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(prompts.Messages(),
              (std::vector<Message>{{u"Trovlin", u"変換できませんでした\r" + c.reason, Icon::Critical, Buttons::Ok}}));
    EXPECT_EQ(ReadBytes(old), "old contents");
    EXPECT_TRUE(w().convertButton->isEnabled());
    EXPECT_FALSE(w().itemGrid->isHidden());
    EXPECT_TRUE(w().progress->isHidden());
    EXPECT_FALSE(window().IsEnded());
  }
}

// ---- While a run is under way -----------------------------------------------

class RunningTest : public WindowTest {
 protected:
  void StartBigRun() {
    log_ = Write("big.log", BigStnLog());
    Drop(log_);
    out_ = Write("big.csv", "previous file");
    prompts.Choose(out_);
    window().StartConversion();
    ASSERT_TRUE(window().IsRunning());
    ASSERT_FALSE(w().progress->isHidden());
  }
  std::string log_;
  std::string out_;
};

TEST_F(RunningTest, LoadsRunsGridEditsAndItemListsAreRefusedButTheCsvOptionsMayChange) {
  StartBigRun();
  QSignalSpy refused(&window(), &MainWindow::commandRefused);
  const ItemGridModel gridBefore = window().grid();
  const auto other = FileUrls({Write("other.log", DialogLog())});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, other.get(), Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QApplication::sendEvent(&window(), &enter);
  EXPECT_FALSE(enter.isAccepted());  // a drop is not even accepted

  window().StartConversion();
  w().convertEntry->trigger();
  QTest::mouseClick(w().loadButton, Qt::LeftButton);
  w().loadEntry->trigger();
  Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  window().LoadDropped(other.get(), Qt::CopyAction);
  window().ClickGridCell(2, 2);
  window().ClickGridCell(3, 1);
  w().insertRowEntry->trigger();
  w().pasteRowEntry->trigger();
  w().deleteRowEntry->trigger();
  w().cutRowEntry->trigger();
  w().loadListEntry->trigger();
  w().saveListEntry->trigger();
  EXPECT_TRUE(w().codeEdit->isReadOnly());
  // The run keeps the options it started with: no byte-order mark, as the end shows.
  w().csvEncodingEntries[2]->trigger();
  w().doubleQuotesEntry->trigger();
  EXPECT_EQ(window().settings().csvEncoding, CsvEncoding::Utf8Bom);

  EXPECT_EQ(refused.count(), 14);
  EXPECT_EQ(prompts.asked().size(), 1u);  // the save dialog of the run itself
  EXPECT_EQ(window().settings().inputPath, log_);
  EXPECT_FALSE(Exists(dir.File("trovlint001.tmp")));
  for (int r = 0; r < gridBefore.RowCount(); ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(window().grid().Cell(r, c), gridBefore.Cell(r, c));
  }
  EXPECT_EQ(window().grid().CutRowText(), gridBefore.CutRowText());
  // The progress bar follows the run.
  EXPECT_TRUE(QTest::qWaitFor([this] { return w().progress->value() > 0 || !window().IsRunning(); }, 30000));

  prompts.Reply(Answer::No);
  ASSERT_TRUE(WaitForRun());
  EXPECT_FALSE(w().codeEdit->isReadOnly());
  EXPECT_TRUE(w().progress->isHidden());
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone}));
  EXPECT_EQ(ReadBytes(out_).substr(0, 14), "\"L1\",\"AN\",\"TI\"");
}

TEST_F(RunningTest, ClosingAsksAndNoLetsTheRunFinish) {
  StartBigRun();
  prompts.Reply(Answer::No).Reply(Answer::Yes);
  EXPECT_FALSE(window().close());
  EXPECT_FALSE(window().IsEnded());
  EXPECT_EQ(prompts.Messages()[0],
            (Message{u"Trovlin", u"変換中です。\r変換を中止して終了しますか", Icon::Warning, Buttons::YesNo}));
  ASSERT_TRUE(WaitForRun());
  EXPECT_TRUE(window().IsEnded());  // Yes to the completion question
  EXPECT_NE(ReadBytes(out_), "previous file");
}

TEST_F(RunningTest, YesToClosingOrToTheExitEntryStopsTheRunLeavingNoCsvAndThePreviousFile) {
  for (bool byExitEntry : {false, true}) {
    SCOPED_TRACE(byExitEntry ? "exit entry" : "closing");
    Reopen();
    StartBigRun();
    QSignalSpy ended(&window(), &MainWindow::programEnded);
    prompts.Reply(Answer::Yes);
    if (byExitEntry) {
      w().exitEntry->trigger();
    } else {
      EXPECT_TRUE(window().close());
    }
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(window().IsEnded());
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(ReadBytes(out_), "previous file");
    EXPECT_EQ(FilesContaining(dir.path(), ".trovlin-partial-"), 0);
    EXPECT_EQ(prompts.Messages().size(), 1u);  // the stopped run is not reported after the end
  }
}

TEST_F(RunningTest, ARunThatEndsWhileTheStopQuestionIsOpenCompletesAfterIt) {
  for (Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(answer == Answer::No ? "No" : "Yes");
    Reopen();
    StartBigRun();
    prompts.Reply(answer, [this] { ASSERT_TRUE(WaitForRun()); });
    if (answer == Answer::No) prompts.Reply(Answer::No);
    window().close();
    std::vector<std::string> expected = {"save", "message: 変換中です。\r変換を中止して終了しますか"};
    if (answer == Answer::No) expected.push_back("done");
    EXPECT_EQ(Transcript(prompts), expected);
    EXPECT_EQ(window().IsEnded(), answer == Answer::Yes);
    // The run had finished: its CSV is complete either way.
    EXPECT_EQ(ReadBytes(out_).substr(0, 14), "\"L1\",\"AN\",\"TI\"");
    EXPECT_TRUE(prompts.ScriptUsedUp());
  }
}

TEST_F(RunningTest, AStoppedRunChangesNothing) {
  StartBigRun();
  QSignalSpy finished(&window(), &MainWindow::runFinished);
  window().CancelRun();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(ReadBytes(out_), "previous file");
  EXPECT_EQ(FilesContaining(dir.path(), ".trovlin-partial-"), 0);
  EXPECT_TRUE(w().convertButton->isEnabled());
  EXPECT_FALSE(window().IsEnded());
}

}  // namespace
}  // namespace trovlin::app::testing
