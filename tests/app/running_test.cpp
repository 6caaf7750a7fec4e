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

// The commands that wait for the run are disabled where the user sees them,
// and refused when called all the same.
TEST_F(RunningTest, LoadsRunsAndGridEditsAreRefusedTheCsvOptionsWaitForTheNextRun) {
  StartBigRun();
  for (QWidget* control : {static_cast<QWidget*>(w().loadButton), static_cast<QWidget*>(w().itemGrid),
                           static_cast<QWidget*>(w().codeEdit), static_cast<QWidget*>(w().databaseFrame)}) {
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  }
  for (QAction* entry : {w().convertEntry, w().loadEntry, w().pasteEntry, w().firstAnswerEntry,
                         w().editMenu->menuAction(), w().recentMenu->menuAction()}) {
    EXPECT_FALSE(entry->isEnabled()) << entry->objectName().toStdString();
  }
  EXPECT_TRUE(w().convertButton->isHidden() && !w().stopButton->isHidden() && w().stopButton->isEnabled());
  EXPECT_TRUE(w().statusText->text().startsWith(ToQt(u"変換中… ")) && w().statusText->text().endsWith(u'%'));
  QSignalSpy refused(&window(), &MainWindow::commandRefused);
  window().StartConversion();
  window().OpenLog();
  window().PasteLog();
  Drop(dir.File("big.log"));
  window().ClickGridCell(1, 2);
  for (auto edit : {&MainWindow::InsertRow, &MainWindow::PasteRow, &MainWindow::DeleteRow, &MainWindow::CutRow,
                    &MainWindow::LoadItemList, &MainWindow::SaveItemList}) {
    (window().*edit)();
  }
  EXPECT_TRUE(w().codeEdit->isReadOnly());
  w().csvEncodingEntries[2]->trigger();
  EXPECT_EQ(refused.count(), 10);          // each but the drop, which is not even entered
  EXPECT_EQ(Transcript(prompts), "save");  // the run's own
  prompts.Reply(Answer::No);
  ASSERT_TRUE(WaitForRun());
  EXPECT_TRUE(Complete());  // no byte-order mark: the run kept its options
  EXPECT_FALSE(w().codeEdit->isReadOnly() || !w().progress->isHidden() || !w().stopButton->isHidden());
  EXPECT_TRUE(w().loadButton->isEnabled() && w().loadEntry->isEnabled() && w().itemGrid->isEnabled());
}

// 中止 and Escape stop the run: the older file stays, nothing else is left,
// and the window is as before the run, ready for the next.
TEST_F(RunningTest, TheStopButtonAndEscapeCancelTheRunLeavingNothing) {
  for (const char how : {'b', 'k'}) {
    SCOPED_TRACE(how);
    Reopen();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    StartBigRun();
    QSignalSpy finished(&window(), &MainWindow::runFinished);
    if (how == 'b') QTest::mouseClick(w().stopButton, Qt::LeftButton);
    if (how == 'k') QTest::keyClick(&window(), Qt::Key_Escape);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(Transcript(prompts), "save");  // nothing asked
    EXPECT_EQ(ReadBytes(out_), "older file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    EXPECT_EQ(w().statusText->text(), ToQt(u"変換を中止しました（ファイルは作成していません）。"));
    EXPECT_FALSE(window().IsEnded());
    EXPECT_TRUE(w().stopButton->isHidden() && !w().convertButton->isHidden() && w().convertButton->isEnabled());
    EXPECT_TRUE(w().loadButton->isEnabled() && w().editMenu->menuAction()->isEnabled() && w().codeEdit->isEnabled());
    EXPECT_EQ(window().grid().ItemRowCount(), 3);  // L1, AN, TI, as loaded
    // Its codes are drawn in the text colour again, not the run's grey.
    const QImage cell =
        w().itemGrid->viewport()->grab(w().itemGrid->visualItemRect(w().itemGrid->item(1, 1))).toImage();
    int darkest = 255;
    for (int y = 0; y < cell.height(); ++y)
      for (int x = 0; x < cell.width(); ++x) darkest = std::min(darkest, qGray(cell.pixel(x, y)));
    EXPECT_LT(darkest, 80);
  }
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
