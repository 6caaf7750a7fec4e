// The grid edited by clicks, the edit box and the edit menu's shortcuts,
// which act only while the menu is enabled.
#include <QTest>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

TEST_F(WindowTest, ClicksTheEditBoxAndShortcutsEditTheGrid) {
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  Drop(Write("a.log", CrLfLines({"L1   ANSWER 1 OF 1", "AN   2005:12", "ti   lower", "PI   JP 1", ""})));
  ItemGridView* grid = w().itemGrid;
  struct Step {
    int row, column;      // the cell clicked first
    QKeyCombination key;  // then typed on the grid; Qt::Key_unknown: none
    Strings rows;
  };
  // clang-format off
  const Step steps[] = {
      {4, 2, Qt::Key_unknown, {u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|*", u"||"}},
      {4, 2, Qt::Key_unknown, {u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|", u"||"}},
      {3, 1, Qt::Key_unknown, {u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|", u"||"}},  // the edit box rewrites the code
      {2, 2, Qt::CTRL | Qt::Key_X, {u"1|L1|*", u"2|TI|*", u"3|PI|", u"||"}},        // AN's mark cleared, then cut
      {1, 1, Qt::CTRL | Qt::Key_V, {u"1|AN|", u"2|L1|*", u"3|TI|*", u"4|PI|", u"||"}},
      {4, 1, Qt::CTRL | Qt::Key_I, {u"1|AN|", u"2|L1|*", u"3|TI|*", u"4||", u"5|PI|", u"||"}},
      {4, 2, Qt::Key_Delete, {u"1|AN|", u"2|L1|*", u"3|TI|*", u"4|PI|", u"||"}},
  };
  // clang-format on
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

  Drop(Write("p.log", PatolisLog()));  // the edit menu disabled
  window().ClickGridCell(1, 1);
  QTest::keyClick(&window(), Qt::Key_I, Qt::ControlModifier);
  w().insertRowEntry->trigger();
  w().pasteRowEntry->trigger();
  EXPECT_EQ(window().grid().RowCount(), 2);
}

}  // namespace
}  // namespace trovlin::app::testing
