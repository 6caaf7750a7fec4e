// The conversion run started from the window: the output-file questions,
// both conversion paths, the completion question, and what the window
// refuses while a run is under way.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;
using trovlin::testing::ReadBytes;
using trovlin::testing::RunCli;
using trovlin::testing::Sjis;

const Message kDone{u"Trovlin", u"変換完了\r終了しますか", Icon::None, Buttons::YesNo};

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

TEST_F(ConversionTest, TaggedLogToCsv) {
  const std::string log = Write("result.log", StnLog());
  Drop(log);
  Convert(dir.File("result.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("result.csv")), StnCsv());
  ASSERT_EQ(prompts.Dialogs().size(), 1u);
  const FileDialogRequest save = prompts.Dialogs()[0];
  EXPECT_EQ(save.kind, FileDialogRequest::Kind::Save);
  EXPECT_EQ(save.title, u"書き込むファイル");
  EXPECT_EQ(save.filter, u"CSV File (*.CSV)|*.CSV|All Files (*.*)|*.*|");
  EXPECT_EQ(save.defaultExt, u"CSV");
  EXPECT_EQ(save.flags, 6);
  EXPECT_EQ(save.fileName, dir.File("result.csv"));
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone}));
  EXPECT_EQ(window().settings().outputPath, dir.File("result.csv"));
  EXPECT_EQ(window().settings().databaseName, u"STN");
  EXPECT_TRUE(window().settings().deleteStars);
  EXPECT_FALSE(window().settings().toHalfWidth);
}

TEST_F(ConversionTest, NoDisablesConvertButMconvRunsAgainWithTheSameLogAndItems) {
  Drop(Write("result.log", StnLog()));
  Convert(dir.File("one.csv"), Answer::No);
  EXPECT_FALSE(window().IsEnded());
  EXPECT_FALSE(w().conv->isEnabled());
  EXPECT_TRUE(w().dispcode->isHidden());
  EXPECT_TRUE(w().mconv->isEnabled());
  prompts.Choose(dir.File("two.csv")).Reply(Answer::No);
  w().mconv->trigger();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(ReadBytes(dir.File("two.csv")), StnCsv());
  EXPECT_EQ(prompts.Dialogs()[1].fileName, dir.File("result.csv"));  // a fresh proposal from the log
}

TEST_F(ConversionTest, TheSaveDialogOpensOnTheFilterTheOpenDialogLeft) {
  const std::string log = Write("result.log", StnLog());
  prompts.Choose(log);
  window().FileopenClick();
  Convert(dir.File("x.csv"), Answer::No);
  EXPECT_EQ(prompts.Dialogs()[1].filterIndex, 2);
}

TEST_F(ConversionTest, ALogLoadedByDropLeavesTheSaveDialogOnItsFirstFilter) {
  Drop(Write("result.log", StnLog()));
  Convert(dir.File("x.csv"), Answer::No);
  EXPECT_EQ(prompts.Dialogs()[0].filterIndex, 0);
}

TEST_F(ConversionTest, TheProposalForThePasteFile) {
  ::setenv("TMP", dir.path().c_str(), 1);
  QGuiApplication::clipboard()->setText(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  w().fpaste->trigger();
  ::unsetenv("TMP");
  Convert(dir.File("x.csv"), Answer::No);
  EXPECT_EQ(prompts.Dialogs()[0].fileName, dir.File("trovlint001.csv"));
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

TEST_F(ConversionTest, EditedItemsAreTheColumnsInGridOrder) {
  Drop(Write("result.log", StnLog()));
  window().DispcodeClick(1, 1);  // L1
  window().DelCsvClick();
  window().DispcodeClick(2, 1);  // TI
  window().CutCsvClick();
  window().DispcodeClick(1, 1);  // AN
  window().PastCsvClick();
  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), CrLfLines({"\"TI\",\"AN\",\"PI\"",
                                                      "\"Catalyst for olefin polymerization\",\"2005:12\",\"JP 2005-1\"",
                                                      "\"Second title\",\"2005:13\",\"\""}));
}

TEST_F(ConversionTest, AnEmptyCodeEndsTheItemList) {
  Drop(Write("result.log", StnLog()));
  window().DispcodeClick(3, 1);
  w().text1->clear();  // TI's code emptied
  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")),
            CrLfLines({"\"L1\",\"AN\"", "\"ANSWER 1 OF 2  CAPLUS\",\"2005:12\"", "\"ANSWER 2 OF 2  CAPLUS\",\"2005:13\""}));
}

TEST_F(ConversionTest, NoItemAtAllEndsTheRunSilently) {
  Drop(Write("result.log", StnLog()));
  window().DispcodeClick(1, 1);
  w().text1->clear();
  prompts.Choose(dir.File("out.csv"));
  window().ConvClick();
  EXPECT_FALSE(window().IsRunning());
  EXPECT_FALSE(Exists(dir.File("out.csv")));
  EXPECT_EQ(prompts.asked().size(), 1u);  // the save dialog only
  EXPECT_TRUE(w().conv->isEnabled());
  EXPECT_FALSE(w().dispcode->isHidden());
}

TEST_F(ConversionTest, TheCheckMarksApplyPerService) {
  struct Case {
    const char* name;
    std::string log;
    int option;  // the Data Base option clicked after loading, -1 none
    std::string csv;
  };
  const Case cases[] = {
      {"STN removes asterisks", StnLog(), -1, StnCsv()},
      {"JOIS makes full-width half-width", JoisLog(), -1, CrLfLines({"\"AN\",\"TI\"", "\"JST0001\",\"ABC123\""})},
      {"DIALOG does neither", DialogLog(), -1, CrLfLines({"\"AN\",\"TI\"", "\"0001 DIALOG\",\"Dialog *title*\""})},
      {"STN log read as JOIS keeps its asterisks", CrLfLines({"L1   ANSWER 1", "TI   *a*", ""}), 2,
       CrLfLines({"\"L1\",\"TI\"", "\"ANSWER 1\",\"*a*\""})},
      {"JOIS log read as STN keeps full width", JoisLog(), 0,
       CrLfLines({"\"AN\",\"TI\"", Sjis(u"\"JST0001\",\"ＡＢＣ１２３\"")})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drop(Write("in.log", c.log));
    if (c.option >= 0) QTest::mouseClick(w().db[c.option], Qt::LeftButton);
    Convert(dir.File("out.csv"), Answer::No);
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.csv);
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
    window_ = std::make_unique<MainWindow>(prompts);
    prompts.Clear();
    // Named .csv, so that the proposal is the log's own name.
    const std::string log = Write("answers.csv", StnLog());
    const std::string out = dir.File("out.csv");
    std::filesystem::remove(out);
    Drop(log);
    QSignalSpy ended(window_.get(), &MainWindow::programEnded);
    c.script(prompts, log, out);
    window().ConvClick();
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
      EXPECT_FALSE(w().conv->isEnabled());
      EXPECT_TRUE(w().dispcode->isHidden());
    }
  }
}

TEST_F(ConversionTest, MconvBeforeAnyLoadEndsAtOnce) {
  QSignalSpy ended(&window(), &MainWindow::programEnded);
  w().mconv->trigger();
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

TEST_F(ConversionTest, PatolisChosenForATaggedLogConvertsNothingAndStillCompletes) {
  Drop(Write("result.log", StnLog()));
  QTest::mouseClick(w().db[3], Qt::LeftButton);
  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_FALSE(Exists(dir.File("out.csv")));
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone}));
}

TEST_F(ConversionTest, JoisChosenForAPatolisLogFindsNoItemsAndEndsSilently) {
  Drop(Write("p.log", PatolisLog()));
  QTest::mouseClick(w().db[2], Qt::LeftButton);
  prompts.Choose(dir.File("out.csv"));
  window().ConvClick();
  EXPECT_FALSE(window().IsRunning());
  EXPECT_FALSE(Exists(dir.File("out.csv")));
  EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(ConversionTest, APatolisFailureIsShownUnderItsTitleAndTheRunCompletes) {
  Drop(Write("p.log", PatolisLog()));
  const std::string out = dir.File("missing/p.csv");
  prompts.Choose(out).Reply(Answer::Ok).Reply(Answer::No);
  window().ConvClick();
  ASSERT_TRUE(WaitForRun());
  const auto messages = prompts.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].title, u"PATOLISデータ変換");
  EXPECT_EQ(messages[0].icon, Icon::Critical);
  EXPECT_EQ(messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(messages[0].text, u"cannot write the CSV file '" + trovlin::Utf8ToUtf16(out) + u"': No such file or directory");
  EXPECT_EQ(messages[1], kDone);
}

// ---- Failures ----------------------------------------------------------------

TEST_F(ConversionTest, AnOutputThatCannotBeCreatedIsReportedAndTheWindowStaysAsItWas) {
  Drop(Write("result.log", StnLog()));
  const std::string out = dir.File("missing/out.csv");
  QSignalSpy finished(&window(), &MainWindow::runFinished);
  prompts.Choose(out).Reply(Answer::Ok);
  window().ConvClick();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(finished.count(), 1);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0],
            (Message{u"Trovlin",
                     u"変換できませんでした\rcannot write the CSV file '" + trovlin::Utf8ToUtf16(out) + u"': No such file or directory",
                     Icon::Critical, Buttons::Ok}));
  EXPECT_TRUE(w().conv->isEnabled());
  EXPECT_FALSE(w().dispcode->isHidden());
  EXPECT_TRUE(w().progress->isHidden());
  EXPECT_FALSE(window().IsEnded());
}

TEST_F(ConversionTest, ALogRemovedAfterLoadingIsReportedAndAnOldCsvIsKept) {
  const std::string log = Write("result.log", StnLog());
  Drop(log);
  std::filesystem::remove(log);
  const std::string out = Write("out.csv", "old contents");
  prompts.Choose(out).Reply(Answer::Ok);
  window().ConvClick();
  ASSERT_TRUE(WaitForRun());
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text,
            u"変換できませんでした\rcannot open the log '" + trovlin::Utf8ToUtf16(log) + u"': No such file or directory");
  EXPECT_EQ(ReadBytes(out), "old contents");
  EXPECT_TRUE(w().conv->isEnabled());
}

// ---- While a run is under way -----------------------------------------------

class RunningTest : public WindowTest {
 protected:
  void StartBigRun() {
    ::setenv("TMP", dir.path().c_str(), 1);
    log_ = Write("big.log", BigStnLog());
    Drop(log_);
    out_ = Write("big.csv", "previous file");
    prompts.Choose(out_);
    window().ConvClick();
    ASSERT_TRUE(window().IsRunning());
    ASSERT_FALSE(w().progress->isHidden());
  }
  void TearDown() override {
    ::unsetenv("TMP");
    WindowTest::TearDown();
  }
  std::string log_;
  std::string out_;
};

TEST_F(RunningTest, LoadsRunsAndGridEditsAreRefused) {
  StartBigRun();
  QSignalSpy refused(&window(), &MainWindow::commandRefused);
  const ItemGridModel gridBefore = window().grid();

  window().ConvClick();
  w().mconv->trigger();
  QTest::mouseClick(w().fileopen, Qt::LeftButton);
  w().fopen->trigger();
  QGuiApplication::clipboard()->setText(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  w().fpaste->trigger();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Write("other.log", DialogLog())))});
  window().FormOleDragDrop(&data, Qt::CopyAction);
  window().DispcodeClick(2, 2);
  window().DispcodeClick(3, 1);
  w().insertCsv->trigger();
  w().pastCsv->trigger();
  w().delCsv->trigger();
  w().cutCsv->trigger();
  EXPECT_TRUE(w().text1->isReadOnly());

  EXPECT_EQ(refused.count(), 12);
  EXPECT_EQ(prompts.asked().size(), 1u);  // the save dialog of the run itself
  EXPECT_EQ(window().settings().inputPath, log_);
  EXPECT_FALSE(Exists(dir.File("trovlint001.tmp")));
  for (int r = 0; r < gridBefore.RowCount(); ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(window().grid().Cell(r, c), gridBefore.Cell(r, c));
  }
  EXPECT_EQ(window().grid().CutRowText(), gridBefore.CutRowText());

  prompts.Reply(Answer::No);
  ASSERT_TRUE(WaitForRun());
  EXPECT_FALSE(w().text1->isReadOnly());
  EXPECT_TRUE(w().progress->isHidden());
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{kDone}));
  EXPECT_EQ(ReadBytes(out_).substr(0, 14), "\"L1\",\"AN\",\"TI\"");
}

TEST_F(RunningTest, ItemListsAreRefusedButTheCsvOptionsMayChange) {
  StartBigRun();
  QSignalSpy refused(&window(), &MainWindow::commandRefused);
  w().loadItems->trigger();
  w().saveItems->trigger();
  EXPECT_EQ(refused.count(), 2);
  EXPECT_EQ(prompts.asked().size(), 1u);  // the save dialog of the run itself
  // The run keeps the options it started with: no byte-order mark.
  w().csvEncoding[2]->trigger();
  w().rfcQuotes->trigger();
  EXPECT_EQ(window().settings().csvEncoding, CsvEncoding::Utf8Bom);
  prompts.Reply(Answer::No);
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(ReadBytes(out_).substr(0, 14), "\"L1\",\"AN\",\"TI\"");
}

TEST_F(RunningTest, ADropIsNotAcceptedDuringARun) {
  StartBigRun();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Write("other.log", DialogLog())))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QApplication::sendEvent(&window(), &enter);
  EXPECT_FALSE(enter.isAccepted());
  window().CancelRun();
  ASSERT_TRUE(WaitForRun());
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

TEST_F(RunningTest, ClosingAndYesStopsTheRunLeavingNoCsvAndThePreviousFile) {
  StartBigRun();
  QSignalSpy ended(&window(), &MainWindow::programEnded);
  prompts.Reply(Answer::Yes);
  EXPECT_TRUE(window().close());
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(window().IsEnded());
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(ReadBytes(out_), "previous file");
  EXPECT_EQ(FilesContaining(dir.path(), ".trovlin-partial-"), 0);
  EXPECT_EQ(prompts.Messages().size(), 1u);  // the stopped run is not reported after the end
}

TEST_F(RunningTest, ARunThatEndsWhileTheStopQuestionIsOpenCompletesAfterIt) {
  for (Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(answer == Answer::No ? "No" : "Yes");
    window_ = std::make_unique<MainWindow>(prompts);
    prompts.Clear();
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

TEST_F(RunningTest, TheExitEntryAsksToo) {
  StartBigRun();
  prompts.Reply(Answer::Yes);
  w().pend->trigger();
  EXPECT_TRUE(window().IsEnded());
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(ReadBytes(out_), "previous file");
}

TEST_F(RunningTest, AStoppedRunChangesNothing) {
  StartBigRun();
  QSignalSpy finished(&window(), &MainWindow::runFinished);
  window().CancelRun();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(ReadBytes(out_), "previous file");
  EXPECT_EQ(FilesContaining(dir.path(), ".trovlin-partial-"), 0);
  EXPECT_TRUE(w().conv->isEnabled());
  EXPECT_FALSE(window().IsEnded());
}

TEST_F(RunningTest, TheProgressBarFollowsTheRun) {
  StartBigRun();
  EXPECT_TRUE(QTest::qWaitFor([this] { return w().progress->value() > 0 || !window().IsRunning(); }, 30000));
  prompts.Reply(Answer::No);
  ASSERT_TRUE(WaitForRun());
  EXPECT_TRUE(w().progress->isHidden());
}

}  // namespace
}  // namespace trovlin::app::testing
