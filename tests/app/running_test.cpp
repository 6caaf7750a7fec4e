// Refusals while a run is under way, and the ways a run ends: none leaves a
// damaged or partial CSV.
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

class RunningTest : public WindowTest {
 protected:
  // Starts converting a log big enough that the run is still under way when
  // the test acts, into out_, which holds an older file.
  void StartBigRun() {
    std::string log;
    for (int i = 0; i < 60000; ++i) {
      log += "L1   ANSWER " + std::to_string(i) + "\r\nAN   2005:1\r\nTI   A ***title*** of\r\n     the answer\r\n\r\n";
    }
    Drop(dir.Write("big.log", log));
    out_ = dir.Write("big.csv", "older file");
    prompts.Play("0", {out_});
    window().StartConversion();
    ASSERT_TRUE(window().IsRunning());
    ASSERT_FALSE(w().progress->isHidden());
  }
  bool Complete() { return ReadBytes(out_).starts_with("\"L1\",\"AN\",\"TI\"\r\n\"ANSWER 0\",\"2005:1\""); }
  std::string out_;
};

TEST_F(RunningTest, LoadsRunsAndGridEditsAreRefusedTheCsvOptionsWaitForTheNextRun) {
  StartBigRun();
  QSignalSpy refused(&window(), &MainWindow::commandRefused);
  window().StartConversion();
  QTest::mouseClick(w().loadButton, Qt::LeftButton);
  Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  Drop(dir.File("big.log"));
  window().ClickGridCell(1, 2);
  for (QAction* entry : {w().convertEntry, w().loadEntry, w().insertRowEntry, w().pasteRowEntry, w().deleteRowEntry,
                         w().cutRowEntry, w().loadListEntry, w().saveListEntry}) {
    entry->trigger();
  }
  EXPECT_TRUE(w().codeEdit->isReadOnly());
  w().csvEncodingEntries[2]->trigger();
  EXPECT_EQ(refused.count(), 12);          // each but the drop, which is not even entered
  EXPECT_EQ(Transcript(prompts), "save");  // the run's own
  prompts.Reply(Answer::No);
  ASSERT_TRUE(WaitForRun());
  EXPECT_TRUE(Complete());  // no byte-order mark: the run kept its options
  EXPECT_FALSE(w().codeEdit->isReadOnly() || !w().progress->isHidden());
}

TEST_F(RunningTest, ClosingOrExitAsksAndYesStopsTheRunKeepingTheOlderFile) {
  struct Case {
    const char* name;
    char how;        // c: closing, x: the exit entry, s: stopped without a question
    Answer answer;   // to the stop question; after No, No to the completion question
    bool endsFirst;  // the run ends while the question is open
    bool ended;
    bool complete;  // otherwise the older file stays
  };
  const Case cases[] = {
      {"closing, Yes", 'c', Answer::Yes, false, true, false},
      {"exit entry, Yes", 'x', Answer::Yes, false, true, false},
      {"closing, No: the run goes on", 'c', Answer::No, false, false, true},
      {"closing, No after the run ended: its completion follows", 'c', Answer::No, true, false, true},
      {"closing, Yes after the run ended: its file stays", 'c', Answer::Yes, true, true, true},
      {"stopped", 's', Answer::Ok, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    StartBigRun();
    QSignalSpy finished(&window(), &MainWindow::runFinished);
    if (c.how != 's') prompts.Reply(c.answer, [&] { EXPECT_TRUE(!c.endsFirst || WaitForRun()); });
    if (c.answer == Answer::No) prompts.Reply(Answer::No);
    if (c.how == 'c') window().close();
    if (c.how == 'x') w().exitEntry->trigger();
    if (c.how == 's') window().CancelRun();
    ASSERT_TRUE(WaitForRun());
    std::string asked = "save";
    if (c.how != 's') asked += " / W 変換中です。\r変換を中止して終了しますか";
    if (c.answer == Answer::No) asked += " / done";
    EXPECT_EQ(Transcript(prompts), asked);
    EXPECT_EQ(window().IsEnded(), c.ended);
    EXPECT_TRUE(c.complete ? Complete() : ReadBytes(out_) == "older file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no partial file
    EXPECT_TRUE(c.how != 's' || (finished.count() == 1 && w().convertButton->isEnabled()));
  }
}

}  // namespace
}  // namespace trovlin::app::testing
