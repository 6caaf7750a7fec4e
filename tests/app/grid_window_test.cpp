// The item grid as the user edits it in the window: clicks on cells, the edit
// box, the edit menu and its shortcuts.
#include <QTest>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;

class GridWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Load();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }

  // Items L1, AN, ti, PI: a lower-case code shows the edit box's upper-casing.
  void Load() { Drop(Write("a.log", CrLfLines({"L1   ANSWER 1 OF 1", "AN   2005:12", "ti   lower", "PI   JP 1", ""}))); }

  void ClickCell(int row, int column) {
    ItemGridView* grid = w().itemGrid;
    grid->scrollToItem(grid->item(row, column));
    const QRect rect = grid->visualItemRect(grid->item(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  }

  // Rows below the header as the model holds them and as the view shows them.
  Strings Rows() {
    const ItemGridModel& model = window().grid();
    EXPECT_EQ(w().itemGrid->rowCount(), model.RowCount());
    for (int r = 1; r < model.RowCount(); ++r) {
      for (int c = 0; c < 3; ++c) EXPECT_EQ(w().itemGrid->item(r, c)->text(), Q(model.Cell(r, c)));
    }
    return testing::Rows(model);
  }

  void ExpectCurrent(int row, int column) {
    EXPECT_EQ(window().grid().CurrentRow(), row);
    EXPECT_EQ(window().grid().CurrentColumn(), column);
    EXPECT_EQ(w().itemGrid->currentRow(), row);
    EXPECT_EQ(w().itemGrid->currentColumn(), column);
  }
};

TEST_F(GridWindowTest, ClickingAMarkCellTogglesItAndClicksOnTheHeaderAndNumberCellsSelectNothing) {
  ClickCell(4, 2);
  EXPECT_EQ(window().grid().Cell(4, 2), u"*");
  ClickCell(4, 2);
  EXPECT_EQ(window().grid().Cell(4, 2), u"");
  ExpectCurrent(4, 2);
  ClickCell(5, 2);  // the row without a code
  EXPECT_EQ(window().grid().Cell(5, 2), u"");
  ExpectCurrent(5, 1);
  ClickCell(2, 2);
  ClickCell(0, 1);
  ClickCell(3, 0);
  ExpectCurrent(2, 2);
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|", u"3|ti|*", u"4|PI|", u"||"}));
}

TEST_F(GridWindowTest, TheEditBoxTakesAClickedCodeAndWritesUpperCaseIntoTheCurrentCellAtEachKey) {
  ClickCell(3, 1);
  EXPECT_EQ(w().codeEdit->text(), QStringLiteral("ti"));
  EXPECT_TRUE(w().codeEdit->hasFocus());
  EXPECT_EQ(window().grid().Cell(3, 1), u"TI");
  ClickCell(2, 1);
  w().codeEdit->selectAll();
  QTest::keyClick(w().codeEdit, Qt::Key_A);
  EXPECT_EQ(window().grid().Cell(2, 1), u"A");
  QTest::keyClick(w().codeEdit, Qt::Key_B);
  EXPECT_EQ(window().grid().Cell(2, 1), u"AB");
  EXPECT_EQ(w().codeEdit->text(), QStringLiteral("ab"));
  EXPECT_EQ(w().itemGrid->item(2, 1)->text(), QStringLiteral("AB"));
  ClickCell(1, 2);  // toggles the mark off; the mark cell stays current
  w().codeEdit->setText(QStringLiteral("x"));
  EXPECT_EQ(window().grid().Cell(1, 2), u"X");
}

TEST_F(GridWindowTest, EditMenuEntriesAndTheirShortcuts) {
  struct Step {
    int row, column;  // the cell clicked first
    QAction* entry;   // chosen from the menu; nullptr: key typed on the grid
    QKeyCombination key;
    Strings rows;
  };
  const std::vector<Step> sequences[] = {
      {{2, 1, w().insertRowEntry, {}, {u"1|L1|*", u"2||", u"3|AN|*", u"4|ti|*", u"5|PI|", u"||"}},
       {4, 1, w().cutRowEntry, {}, {u"1|L1|*", u"2||", u"3|AN|*", u"4|PI|", u"||"}},
       {1, 1, w().pasteRowEntry, {}, {u"1|TI|*", u"2|L1|*", u"3||", u"4|AN|*", u"5|PI|", u"||"}},
       {3, 2, w().deleteRowEntry, {}, {u"1|TI|*", u"2|L1|*", u"3|AN|*", u"4|PI|", u"||"}}},
      {{2, 2, nullptr, Qt::ControlModifier | Qt::Key_X, {u"1|L1|*", u"2|ti|*", u"3|PI|", u"||"}},  // AN's mark off
       {1, 1, nullptr, Qt::ControlModifier | Qt::Key_V, {u"1|AN|", u"2|L1|*", u"3|ti|*", u"4|PI|", u"||"}},
       {4, 1, nullptr, Qt::ControlModifier | Qt::Key_I, {u"1|AN|", u"2|L1|*", u"3|ti|*", u"4||", u"5|PI|", u"||"}},
       {4, 2, nullptr, QKeyCombination(Qt::Key_Delete), {u"1|AN|", u"2|L1|*", u"3|ti|*", u"4|PI|", u"||"}}},
  };
  for (const std::vector<Step>& steps : sequences) {
    Load();
    for (const Step& step : steps) {
      SCOPED_TRACE(step.entry != nullptr ? step.entry->objectName().toStdString()
                                         : QKeySequence(step.key).toString().toStdString());
      ClickCell(step.row, step.column);
      if (step.entry != nullptr) {
        step.entry->trigger();
      } else {
        w().itemGrid->setFocus();
        QTest::keyClick(&window(), step.key.key(), step.key.keyboardModifiers());
      }
      EXPECT_EQ(Rows(), step.rows);
      if (step.entry == w().insertRowEntry) {
        ExpectCurrent(5, 0);
        EXPECT_TRUE(w().itemGrid->hasFocus());
      }
      if (step.entry == w().cutRowEntry || step.key.key() == Qt::Key_X) {
        EXPECT_EQ(window().grid().CutRowText(), step.entry != nullptr ? u" \tTI\t*" : u" \tAN\t");
      }
    }
    EXPECT_EQ(window().grid().ItemRowCount(), 4);
  }
}

TEST_F(GridWindowTest, ArrowKeysMoveTheCurrentCellThatTheMenuActsOn) {
  ClickCell(1, 1);
  w().itemGrid->setFocus();
  QTest::keyClick(w().itemGrid, Qt::Key_Down);
  QTest::keyClick(w().itemGrid, Qt::Key_Down);
  ExpectCurrent(3, 1);
  w().deleteRowEntry->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|PI|", u"||"}));
}

TEST_F(GridWindowTest, InsertAndPasteRightAfterALoadAreRefusedOnTheHeaderRow) {
  ASSERT_EQ(window().grid().CurrentRow(), 0);
  w().insertRowEntry->trigger();
  w().pasteRowEntry->trigger();
  w().deleteRowEntry->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|", u"||"}));
  EXPECT_EQ(window().grid().ItemRowCount(), 4);
  EXPECT_EQ(w().itemGrid->item(0, 2)->text(), Q(u"行連結→*"));
}

TEST_F(GridWindowTest, EditEntriesAreUnreachableWhileTheEditMenuIsDisabled) {
  Drop(Write("p.log", PatolisLog()));
  ASSERT_FALSE(w().editMenu->menuAction()->isEnabled());
  window().ClickGridCell(1, 1);  // a current row that insert and paste would accept
  ASSERT_EQ(window().grid().CurrentRow(), 1);
  window().setFocus();
  QTest::keyClick(&window(), Qt::Key_I, Qt::ControlModifier);
  w().insertRowEntry->trigger();
  w().pasteRowEntry->trigger();
  EXPECT_EQ(window().grid().RowCount(), 2);
  EXPECT_EQ(window().grid().ItemRowCount(), 0);
}

TEST_F(GridWindowTest, EditsLastUntilTheNextLoadAndTheCutRowOutlivesIt) {
  ClickCell(2, 1);
  w().cutRowEntry->trigger();
  Drop(Write("b.log", StnLog()));
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|", u"||"}));
  EXPECT_EQ(window().grid().CutRowText(), u" \tAN\t*");
}

}  // namespace
}  // namespace trovlin::app::testing
