// The window's control states, its end, and the grid edited by clicks, the
// edit box and the edit menu's shortcuts, which act only while the menu is enabled.
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

TEST_F(WindowTest, ControlStates) {
  // convert button, frame and options enabled; the code label, the layout
  // label, the edit box and the grid (with the preview) shown; edit menu enabled.
  using Look = std::array<bool, 7>;
  struct Case {
    const char* steps;  // S, D, P: an STN, DIALOG, PATOLIS log dropped; n: converted, No
    Look look;
    int option;  // checked, -1 none
    std::u16string_view layout;
  };
  const Look none{}, tagged{1, 1, 1, 0, 1, 1, 1}, patolis{1, 1, 0, 1, 0, 0, 0};
  // clang-format off
  const Case cases[] = {
      {"", none, -1, u"回答様式"},        {"S", tagged, 0, u"回答様式"},          {"D", tagged, 1, u"回答様式"},
      {"P", patolis, 3, u"回答様式　1"},  {"Pn", none, -1, u"回答様式"},         {"SP", patolis, 3, u"回答様式　1"},
      {"PD", tagged, 1, u"回答様式　1"},  {"SnD", tagged, 1, u"回答様式"},
      {"Sn", none, -1, u"回答様式"},  // no log is loaded after a run answered No
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    Reopen();
    for (const char* step = c.steps; *step != '\0'; ++step) {
      const std::string log = *step == 'S' ? StnLog() : *step == 'D' ? DialogLog() : PatolisLog();
      if (*step == 'n') {
        Convert(dir.File("a.csv"), Answer::No);
      } else {
        Drop(dir.Write(std::string(1, *step) + ".log", log));
      }
    }
    const Look look{w().convertButton->isEnabled(),         w().databaseFrame->isEnabled(), !w().codeLabel->isHidden(),
                    !w().layoutLabel->isHidden(),           !w().codeEdit->isHidden(),      !w().itemGrid->isHidden(),
                    w().editMenu->menuAction()->isEnabled()};
    EXPECT_EQ(look, c.look);
    for (QRadioButton* option : w().databaseOptions) EXPECT_EQ(option->isEnabled(), c.look[1]);
    EXPECT_EQ(!w().previewPanel->isHidden(), c.look[5] || c.look[3]);  // with the grid or the layout
    EXPECT_EQ(w().databaseGroup->checkedId(), c.option);
    EXPECT_EQ(w().layoutLabel->text(), ToQt(c.layout));
    if (c.look == patolis) {  // the layout's titles previewed
      EXPECT_EQ(
          w().preview->toPlainText(),
          ToQt(u"\"出願番号\",\"出願日\",\"公開番号\",\"公開日\",\"公告番号\",\"公告日\",\"登録番号\",\"登録日\""));
    }
  }
  // About names one version, this build's.
  Reopen();
  prompts.Reply(Answer::Ok);
  w().aboutEntry->trigger();
  EXPECT_EQ(Transcript(prompts), "I 検索結果Trovlinプログラム\r ver " TROVLIN_VERSION);
  // The exit entry asks nothing; after it nothing runs.
  Reopen();
  QSignalSpy ended(&window(), &MainWindow::programEnded);
  w().exitEntry->trigger();
  window().OpenLog();
  window().StartConversion();
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(Transcript(prompts), "");
}

TEST_F(WindowTest, ClicksTheEditBoxAndShortcutsEditTheGrid) {
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  Drop(dir.Write("a.log", CrLfLines({"L1   ANSWER 1 OF 1", "AN   2005:12", "ti   lower", "PI   JP 1", ""})));
  ItemGridView* grid = w().itemGrid;
  struct Step {
    int row, column;      // the cell clicked first
    QKeyCombination key;  // then typed on the grid; Qt::Key_unknown: none
    Strings rows;
  };
  const Step steps[] = {
      {4, 2, Qt::Key_unknown, {u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|*", u"||"}},
      {4, 2, Qt::Key_unknown, {u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|", u"||"}},
      {3, 1, Qt::Key_unknown, {u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|", u"||"}},  // the edit box rewrites the code
      {2, 2, Qt::CTRL | Qt::Key_X, {u"1|L1|*", u"2|TI|*", u"3|PI|", u"||"}},        // AN's mark cleared, then cut
      {1, 1, Qt::CTRL | Qt::Key_V, {u"1|AN|", u"2|L1|*", u"3|TI|*", u"4|PI|", u"||"}},
      {4, 1, Qt::CTRL | Qt::Key_I, {u"1|AN|", u"2|L1|*", u"3|TI|*", u"4||", u"5|PI|", u"||"}},
      {4, 2, Qt::Key_Delete, {u"1|AN|", u"2|L1|*", u"3|TI|*", u"4|PI|", u"||"}},
  };
  for (const Step& step : steps) {
    const QPoint at = grid->visualItemRect(grid->item(step.row, step.column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    if (step.key.key() != Qt::Key_unknown) {
      grid->setFocus();
      QTest::keyClick(&window(), step.key.key(), step.key.keyboardModifiers());
    }
    EXPECT_EQ(Rows(window().grid()), step.rows);
    EXPECT_EQ(grid->rowCount(), static_cast<int>(step.rows.size()) + 1);  // as the view shows it
  }
  window().ClickGridCell(2, 1);
  QTest::keyClicks(w().codeEdit, "ab");
  EXPECT_EQ(window().grid().Cell(2, 1), u"L1AB");  // typed after the code the click gave
  QGuiApplication::clipboard()->setText(QStringLiteral("AN   1\nTI   t"));
  QTest::keyClick(w().codeEdit, Qt::Key_V, Qt::ControlModifier);  // a pasted log is no code
  EXPECT_EQ(window().grid().Cell(2, 1), u"L1AB");

  Drop(dir.Write("p.log", PatolisLog()));  // the edit menu disabled
  window().ClickGridCell(1, 1);
  QTest::keyClick(&window(), Qt::Key_I, Qt::ControlModifier);
  w().insertRowEntry->trigger();
  w().pasteRowEntry->trigger();
  EXPECT_EQ(window().grid().RowCount(), 2);
}

}  // namespace
}  // namespace trovlin::app::testing
