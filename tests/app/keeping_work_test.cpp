// Nothing the user has done is lost to a question, a failed load or a grid
// whose list ends early; and after a run the window is in one state.
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

// What the user sees of a loaded log and their edits.
struct Look {
  std::string log;
  Strings rows;
  QString preview, title;
  bool convertible = false, gridShown = false, canUndo = false;
  int option = -1;
  bool operator==(const Look&) const = default;
};

class KeepingWorkTest : public WindowTest {
 protected:
  Look Seen() {
    return {window().settings().inputPath,
            Rows(window().grid()),
            w().preview->toPlainText(),
            window().windowTitle(),
            w().convertButton->isEnabled() && w().convertEntry->isEnabled(),
            !w().itemGrid->isHidden(),
            w().undoEntry->isEnabled(),
            w().databaseGroup->checkedId()};
  }
  // An STN log loaded, PI's join mark set by a click.
  Look LoadAndEdit() {
    Drop(dir.Write("stn.log", StnLog()));
    window().ClickGridCell(4, 2);
    const Look look = Seen();
    EXPECT_EQ(look.rows, (Strings{u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|*", u"||"}));
    EXPECT_TRUE(look.convertible && look.canUndo && look.option == 0);
    return look;
  }
};

TEST_F(KeepingWorkTest, CancelToAQuestionGoesBackToTheWindowAsItWas) {
  struct Case {
    const char* name;
    char source;         // o: the open dialog, d: a drop of notes.txt, e: a drop of an empty file, s: 変換
    const char* script;  // 0: notes.txt, 1: the loaded log
    const char* asked;
  };
  const Case cases[] = {
      {"open dialog cancelled", 'o', "xc", "open / bad name"},
      {"no log chosen", 'o', "0c", "open / not a log"},
      {"no log dropped", 'd', "c", "not a log"},
      {"no log dropped, then the open dialog cancelled", 'd', "oxc", "not a log / open / bad name"},
      {"an empty file dropped", 'e', "c", "not a log"},
      {"save dialog cancelled", 's', "xc", "save / bad name"},
      {"the log itself as the CSV", 's', "1c", "save / same file"},
  };
  const std::string notes = dir.Write("notes.txt", "Dear colleague,\r\nhi\r\nthe minutes.\r\n");
  const std::string empty = dir.Write("empty.log", "");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    const Look before = LoadAndEdit();
    QSignalSpy ended(window_.get(), &MainWindow::programEnded);
    prompts.Play(c.script, {notes, dir.File("stn.log")});
    if (c.source == 'o') window().OpenLog();
    if (c.source == 'd') Drop(notes);
    if (c.source == 'e') Drop(empty);
    if (c.source == 's') window().StartConversion();
    EXPECT_EQ(Transcript(prompts), c.asked);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_FALSE(window().IsEnded() || window().isHidden());
    EXPECT_EQ(Seen(), before);
    EXPECT_EQ(ReadBytes(dir.File("stn.log")), StnLog());
  }
}

// While the message of a failed load is open, and after it, the log before
// stays with its grid, its edits and its preview.
TEST_F(KeepingWorkTest, AFailedLoadKeepsTheLogItsGridAndItsPreview) {
  std::filesystem::create_directory(dir.File("folder.log"));
  const std::string notes = dir.Write("notes.txt", "Dear colleague,\r\nhi\r\nthe minutes.\r\n");
  const std::string empty = dir.Write("empty.log", "");
  struct Case {
    std::string dropped;
    Answer answer;
    std::string asked;
  };
  const Case cases[] = {
      {notes, Answer::Cancel, "not a log"},
      {empty, Answer::Cancel, "not a log"},
      {dir.File("folder.log"), Answer::Ok,
       "C ログファイルを読み込めません\r" + dir.File("folder.log") + "\rフォルダです"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dropped);
    Reopen();
    const Look before = LoadAndEdit();
    prompts.Reply(c.answer, [&] { EXPECT_EQ(Seen(), before) << "while the message is open"; });
    Drop(c.dropped);
    EXPECT_EQ(Transcript(prompts), c.asked);
    EXPECT_EQ(Seen(), before);
    // The edits are still the user's to undo.
    w().undoEntry->trigger();
    EXPECT_EQ(Rows(window().grid())[3], u"4|PI|");
  }
}

// Rows below an empty code are greyed and counted in the status bar and the
// report; the CSV has the columns above it. With the first code empty, 変換
// says there is nothing to convert and asks no file.
TEST_F(KeepingWorkTest, AnEmptyCodeEndsTheListAndTheWindowSaysSo) {
  Drop(dir.Write("stn.log", StnLog()));
  EXPECT_TRUE(w().gridNote->isHidden());
  window().ClickGridCell(2, 1);
  w().codeEdit->setText(QString());
  EXPECT_FALSE(w().gridNote->isHidden());
  EXPECT_EQ(w().gridNote->text(), ToQt(u"2行目が空のため、その下の 2 項目は変換されません"));
  const QColor grey = w().itemGrid->palette().color(QPalette::Disabled, QPalette::Text);
  for (int row = 1; row <= 4; ++row) {
    EXPECT_EQ(w().itemGrid->item(row, 1)->foreground().color() == grey, row > 2) << row;
  }
  EXPECT_EQ(w().preview->toPlainText(), ToQt(u"\"L1\"\n\"ANSWER 1 OF 2  CAPLUS\"\n\"ANSWER 2 OF 2  CAPLUS\""));
  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")),
            CrLfLines({"\"L1\"", "\"ANSWER 1 OF 2  CAPLUS\"", "\"ANSWER 2 OF 2  CAPLUS\""}));
  w().reportEntry->trigger();
  const auto* report = window().findChild<QPlainTextEdit*>(QStringLiteral("reportText"));
  ASSERT_NE(report, nullptr);
  EXPECT_TRUE(report->toPlainText().endsWith(
      ToQt(u"■ 項目（値のある行数）\n  L1  2\n  2行目の項目が空のため、その下の 2 項目は変換していません\n")))
      << report->toPlainText().toStdString();
  // Once the code is back, so are the rows.
  Drop(dir.File("stn.log"));
  window().ClickGridCell(1, 1);
  w().codeEdit->setText(QString());
  EXPECT_EQ(w().gridNote->text(), ToQt(u"1行目が空のため、その下の 3 項目は変換されません"));
  prompts = {};
  prompts.Reply(Answer::Ok);
  w().convertButton->click();
  EXPECT_EQ(Transcript(prompts),
            "W 1行目の項目が空のため、変換する項目がありません。\r項目名を入力するか、空の行を削除してください。");
  EXPECT_FALSE(window().IsRunning());
  w().codeEdit->setText(QStringLiteral("L1"));
  EXPECT_TRUE(w().gridNote->isHidden());
  EXPECT_NE(w().itemGrid->item(4, 1)->foreground().color(), grey);
}

// After いいえ to the completion question no log is loaded: the title names
// none, 変換 is disabled as button and entry, and neither converts.
TEST_F(KeepingWorkTest, AfterNoTheWindowHoldsNoLog) {
  for (const std::string& log : {StnLog(), PatolisLog()}) {
    Reopen();
    Drop(dir.Write("a.log", log));
    Convert(dir.File("a.csv"), Answer::No);
    EXPECT_EQ(window().windowTitle(), ToQt(u"検索結果Trovlin"));
    EXPECT_FALSE(w().convertButton->isEnabled() || w().convertEntry->isEnabled() ||
                 w().editMenu->menuAction()->isEnabled());
    EXPECT_TRUE(w().itemGrid->isHidden() && w().layoutLabel->isHidden() && w().previewPanel->isHidden());
    EXPECT_FALSE(w().hint->isHidden());
    EXPECT_EQ(w().databaseGroup->checkedId(), -1);
    EXPECT_TRUE(w().reportEntry->isEnabled() && w().openCsvEntry->isEnabled());  // the run's own
    const std::size_t asked = prompts.asked().size();
    w().convertEntry->trigger();
    window().StartConversion();
    EXPECT_EQ(prompts.asked().size(), asked);
    Drop(dir.File("a.log"));  // and it loads again as any log does
    EXPECT_TRUE(w().convertButton->isEnabled() && w().convertEntry->isEnabled());
  }
}

}  // namespace
}  // namespace trovlin::app::testing
