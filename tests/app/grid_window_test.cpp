// The item grid as the user edits it in the window: clicks on cells, the edit
// box, the edit menu and its shortcuts.
#include <QTest>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;
using Strings = std::vector<std::u16string>;

QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

class GridWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Items L1, AN, ti, PI: a lower-case code shows the edit box's upper-casing.
    Drop(Write("a.log", CrLfLines({"L1   ANSWER 1 OF 1", "AN   2005:12", "ti   lower", "PI   JP 1", ""})));
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }

  void ClickCell(int row, int column) {
    ItemGridView* grid = w().dispcode;
    grid->scrollToItem(grid->item(row, column));
    const QRect rect = grid->visualItemRect(grid->item(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  }

  // Rows below the header as the model holds them and as the view shows them.
  Strings Rows() {
    Strings rows;
    const ItemGridModel& model = window().grid();
    ItemGridView* view = w().dispcode;
    EXPECT_EQ(view->rowCount(), model.RowCount());
    for (int r = 1; r < model.RowCount(); ++r) {
      rows.push_back(model.Cell(r, 0) + u"|" + model.Cell(r, 1) + u"|" + model.Cell(r, 2));
      for (int c = 0; c < 3; ++c) EXPECT_EQ(view->item(r, c)->text(), Q(model.Cell(r, c)));
    }
    return rows;
  }

  void ExpectCurrent(int row, int column) {
    EXPECT_EQ(window().grid().CurrentRow(), row);
    EXPECT_EQ(window().grid().CurrentColumn(), column);
    EXPECT_EQ(w().dispcode->currentRow(), row);
    EXPECT_EQ(w().dispcode->currentColumn(), column);
  }
};

TEST_F(GridWindowTest, DiscoveredItemsFillTheGrid) {
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|", u"||"}));
  EXPECT_EQ(window().grid().ItemRowCount(), 4);
  EXPECT_EQ(w().dispcode->item(0, 1)->text(), Q(u"項目"));
  EXPECT_EQ(w().dispcode->item(0, 2)->text(), Q(u"行連結→*"));
}

TEST_F(GridWindowTest, ClickingAMarkCellTogglesIt) {
  ClickCell(4, 2);
  EXPECT_EQ(window().grid().Cell(4, 2), u"*");
  ClickCell(4, 2);
  EXPECT_EQ(window().grid().Cell(4, 2), u"");
  ExpectCurrent(4, 2);
  ClickCell(5, 2);  // the row without a code
  EXPECT_EQ(window().grid().Cell(5, 2), u"");
  ExpectCurrent(5, 1);
}

TEST_F(GridWindowTest, ClickingACodeCellPutsItInTheEditBoxWhichRewritesItInUpperCase) {
  ClickCell(3, 1);
  EXPECT_EQ(w().text1->text(), QStringLiteral("ti"));
  EXPECT_TRUE(w().text1->hasFocus());
  EXPECT_EQ(window().grid().Cell(3, 1), u"TI");
}

TEST_F(GridWindowTest, TypingInTheEditBoxWritesUpperCaseIntoTheCurrentCellAtEachKey) {
  ClickCell(2, 1);
  w().text1->selectAll();
  QTest::keyClick(w().text1, Qt::Key_A);
  EXPECT_EQ(window().grid().Cell(2, 1), u"A");
  QTest::keyClick(w().text1, Qt::Key_B);
  EXPECT_EQ(window().grid().Cell(2, 1), u"AB");
  EXPECT_EQ(w().text1->text(), QStringLiteral("ab"));
  EXPECT_EQ(w().dispcode->item(2, 1)->text(), QStringLiteral("AB"));
}

TEST_F(GridWindowTest, TheEditBoxWritesIntoAMarkCellWhenThatIsCurrent) {
  ClickCell(1, 2);  // toggles the mark off; the mark cell stays current
  w().text1->setText(QStringLiteral("x"));
  EXPECT_EQ(window().grid().Cell(1, 2), u"X");
}

TEST_F(GridWindowTest, ClicksOnTheHeaderAndNumberCellsSelectNothing) {
  ClickCell(2, 2);
  ClickCell(0, 1);
  ClickCell(3, 0);
  ExpectCurrent(2, 2);
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|", u"3|ti|*", u"4|PI|", u"||"}));
}

TEST_F(GridWindowTest, EditMenuEntries) {
  ClickCell(2, 1);
  w().insertCsv->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2||", u"3|AN|*", u"4|ti|*", u"5|PI|", u"||"}));
  ExpectCurrent(5, 0);
  EXPECT_TRUE(w().dispcode->hasFocus());

  ClickCell(4, 1);
  w().cutCsv->trigger();
  EXPECT_EQ(window().grid().CutRowText(), u" \tTI\t*");
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2||", u"3|AN|*", u"4|PI|", u"||"}));

  ClickCell(1, 1);
  w().pastCsv->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|TI|*", u"2|L1|*", u"3||", u"4|AN|*", u"5|PI|", u"||"}));

  ClickCell(3, 2);
  w().delCsv->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|TI|*", u"2|L1|*", u"3|AN|*", u"4|PI|", u"||"}));
  EXPECT_EQ(window().grid().ItemRowCount(), 4);
}

TEST_F(GridWindowTest, ShortcutsOfTheEditMenu) {
  ClickCell(2, 2);  // AN's mark off
  w().dispcode->setFocus();
  QTest::keyClick(&window(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|ti|*", u"3|PI|", u"||"}));
  EXPECT_EQ(window().grid().CutRowText(), u" \tAN\t");
  ClickCell(1, 1);
  w().dispcode->setFocus();
  QTest::keyClick(&window(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Rows(), (Strings{u"1|AN|", u"2|L1|*", u"3|ti|*", u"4|PI|", u"||"}));
  ClickCell(4, 1);
  w().dispcode->setFocus();
  QTest::keyClick(&window(), Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(Rows(), (Strings{u"1|AN|", u"2|L1|*", u"3|ti|*", u"4||", u"5|PI|", u"||"}));
  ClickCell(4, 2);
  w().dispcode->setFocus();
  QTest::keyClick(&window(), Qt::Key_Delete);
  EXPECT_EQ(Rows(), (Strings{u"1|AN|", u"2|L1|*", u"3|ti|*", u"4|PI|", u"||"}));
}

TEST_F(GridWindowTest, ArrowKeysMoveTheCurrentCellThatTheMenuActsOn) {
  ClickCell(1, 1);
  w().dispcode->setFocus();
  QTest::keyClick(w().dispcode, Qt::Key_Down);
  QTest::keyClick(w().dispcode, Qt::Key_Down);
  ExpectCurrent(3, 1);
  w().delCsv->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|PI|", u"||"}));
}

TEST_F(GridWindowTest, InsertAndPasteRightAfterALoadAreRefusedOnTheHeaderRow) {
  ASSERT_EQ(window().grid().CurrentRow(), 0);
  w().insertCsv->trigger();
  w().pastCsv->trigger();
  w().delCsv->trigger();
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|ti|*", u"4|PI|", u"||"}));
  EXPECT_EQ(window().grid().ItemRowCount(), 4);
  EXPECT_EQ(w().dispcode->item(0, 2)->text(), Q(u"行連結→*"));
}

TEST_F(GridWindowTest, EditEntriesAreUnreachableWhileTheEditMenuIsDisabled) {
  Drop(Write("p.log", PatolisLog()));
  ASSERT_FALSE(w().editMenu->menuAction()->isEnabled());
  window().DispcodeClick(1, 1);  // a current row that insert and paste would accept
  ASSERT_EQ(window().grid().CurrentRow(), 1);
  window().setFocus();
  QTest::keyClick(&window(), Qt::Key_I, Qt::ControlModifier);
  w().insertCsv->trigger();
  w().pastCsv->trigger();
  EXPECT_EQ(window().grid().RowCount(), 2);
  EXPECT_EQ(window().grid().ItemRowCount(), 0);
}

TEST_F(GridWindowTest, EditsLastUntilTheNextLoadAndTheCutRowOutlivesIt) {
  ClickCell(2, 1);
  w().cutCsv->trigger();
  Drop(Write("b.log", StnLog()));
  EXPECT_EQ(Rows(), (Strings{u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|", u"||"}));
  EXPECT_EQ(window().grid().CutRowText(), u" \tAN\t*");
}

}  // namespace
}  // namespace trovlin::app::testing
