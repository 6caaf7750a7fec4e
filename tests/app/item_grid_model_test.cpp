#include "app/item_grid_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trovlin::app {
namespace {

// A grid filled as item discovery fills it: codes with their marks.
ItemGridModel Filled(std::initializer_list<std::pair<std::u16string, std::u16string>> items) {
  ItemGridModel grid;
  std::vector<std::u16string> codes;
  std::vector<std::u16string> marks;
  for (const auto& [code, mark] : items) {
    codes.push_back(code);
    marks.push_back(mark);
  }
  grid.Fill(codes, marks);
  return grid;
}

// Rows below the header as "number|code|mark".
std::vector<std::u16string> Rows(const ItemGridModel& grid) {
  std::vector<std::u16string> rows;
  for (int r = 1; r < grid.RowCount(); ++r) {
    rows.push_back(grid.Cell(r, 0) + u"|" + grid.Cell(r, 1) + u"|" + grid.Cell(r, 2));
  }
  return rows;
}

using Strings = std::vector<std::u16string>;

TEST(ItemGridModelTest, ResetLeavesHeaderAndOneEmptyRowWithCurrentCellOnHeaderMark) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}});
  grid.Reset();
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Cell(0, 0), u"");
  EXPECT_EQ(grid.Cell(0, 1), u"項目");
  EXPECT_EQ(grid.Cell(0, 2), u"行連結→*");
  EXPECT_EQ(Rows(grid), (Strings{u"||"}));
  EXPECT_EQ(grid.CurrentRow(), 0);
  EXPECT_EQ(grid.CurrentColumn(), 2);
  EXPECT_EQ(grid.ItemRowCount(), 0);
}

TEST(ItemGridModelTest, LayoutInTwips) {
  EXPECT_EQ(ItemGridModel::kColumnWidthsTwips[0], 250);
  EXPECT_EQ(ItemGridModel::kColumnWidthsTwips[1], 600);
  EXPECT_EQ(ItemGridModel::kColumnWidthsTwips[2], 1000);
  EXPECT_EQ(ItemGridModel::kHeaderHeightTwips, 400);
}

TEST(ItemGridModelTest, FillNumbersRowsAndKeepsTheEmptyRowLast) {
  const ItemGridModel grid = Filled({{u"AN", u"*"}, {u"PI", u""}, {u"TI", u"*"}});
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"2|PI|", u"3|TI|*", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 3);
}

TEST(ItemGridModelTest, AddItemSplitsTheRowTextAtTabs) {
  ItemGridModel grid;
  grid.AddItem(u"7\tAB", 1);
  grid.AddItem(u"8\tCD\t*\textra", 2);
  EXPECT_EQ(Rows(grid), (Strings{u"7|AB|", u"8|CD|*", u"||"}));
}

TEST(ItemGridModelTest, ClickOnMarkCellTogglesTheMarkOfARowWithACode) {
  ItemGridModel grid = Filled({{u"PI", u""}, {u"TI", u""}});
  grid.SetCurrentCell(2, 2);
  EXPECT_FALSE(grid.Click().editCode);
  EXPECT_EQ(grid.Cell(2, 2), u"*");
  EXPECT_EQ(grid.CurrentColumn(), 2);
  grid.Click();
  EXPECT_EQ(grid.Cell(2, 2), u"");
  EXPECT_EQ(grid.CurrentColumn(), 2);
}

TEST(ItemGridModelTest, ClickOnMarkCellOfARowWithoutCodeWritesNothing) {
  ItemGridModel grid = Filled({{u"TI", u"*"}});
  grid.SetCurrentCell(2, 2);  // the empty row after the items
  grid.Click();
  EXPECT_EQ(grid.Cell(2, 2), u"");
  EXPECT_EQ(grid.CurrentRow(), 2);
  EXPECT_EQ(grid.CurrentColumn(), 1);
}

TEST(ItemGridModelTest, ClickOnCodeCellHandsTheCodeToTheEditBox) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"ti", u"*"}});
  grid.SetCurrentCell(2, 1);
  const ItemGridModel::ClickResult click = grid.Click();
  EXPECT_TRUE(click.editCode);
  EXPECT_EQ(click.codeText, u"ti");
  EXPECT_EQ(grid.Cell(2, 1), u"ti");  // the edit box's change rewrites it, not the click
}

TEST(ItemGridModelTest, ClicksOnTheFixedRowOrColumnDoNothing) {
  ItemGridModel grid = Filled({{u"AN", u"*"}});
  for (auto [row, column] : {std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 0}}) {
    grid.SetCurrentCell(row, column);
    EXPECT_FALSE(grid.Click().editCode);
  }
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"||"}));
  EXPECT_EQ(grid.Cell(0, 2), u"行連結→*");
}

TEST(ItemGridModelTest, EditBoxWritesUpperCaseIntoTheCurrentCellWhicheverColumn) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}});
  grid.SetCurrentCell(2, 1);
  EXPECT_TRUE(grid.EditCurrentCell(u"ab"));
  EXPECT_EQ(grid.Cell(2, 1), u"AB");
  grid.SetCurrentCell(1, 2);
  EXPECT_TRUE(grid.EditCurrentCell(u"x"));
  EXPECT_EQ(grid.Cell(1, 2), u"X");
  grid.SetCurrentCell(1, 1);
  EXPECT_TRUE(grid.EditCurrentCell(u"ｔｉ項"));
  EXPECT_EQ(grid.Cell(1, 1), u"ＴＩ項");
}

TEST(ItemGridModelTest, EditBoxNeverWritesIntoTheHeaderRow) {
  ItemGridModel grid = Filled({{u"AN", u"*"}});
  grid.Reset();  // current cell on the header's mark column
  EXPECT_FALSE(grid.EditCurrentCell(u"zz"));
  EXPECT_EQ(grid.Cell(0, 2), u"行連結→*");
}

TEST(ItemGridModelTest, InsertOnRowTwoOfThreeGivesFourNumberedRows) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}, {u"PI", u""}});
  grid.SetCurrentCell(2, 1);
  EXPECT_TRUE(grid.Insert());
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"2||", u"3|TI|*", u"4|PI|", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 4);
  EXPECT_EQ(grid.CurrentRow(), 4);
  EXPECT_EQ(grid.CurrentColumn(), 0);
}

TEST(ItemGridModelTest, InsertOnTheEmptyLastRowAddsAnItemAtTheEnd) {
  ItemGridModel grid = Filled({{u"AN", u"*"}});
  grid.SetCurrentCell(2, 1);
  EXPECT_TRUE(grid.Insert());
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"2||", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 2);
}

TEST(ItemGridModelTest, InsertAndPasteOnTheHeaderRowAreRefused) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}});
  grid.SetCurrentCell(2, 1);
  grid.Cut();
  grid.Reset();
  grid.Fill({u"AN"}, {u"*"});
  ASSERT_EQ(grid.CurrentRow(), 0);
  EXPECT_FALSE(grid.Insert());
  EXPECT_FALSE(grid.Paste());
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 1);
}

TEST(ItemGridModelTest, DeleteRemovesTheCurrentRowAndRenumbers) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}, {u"PI", u""}});
  grid.SetCurrentCell(2, 2);
  EXPECT_TRUE(grid.Delete());
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"2|PI|", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 2);
  EXPECT_EQ(grid.CurrentRow(), 2);
  EXPECT_EQ(grid.CurrentColumn(), 0);
}

TEST(ItemGridModelTest, DeleteRefusals) {
  struct Case {
    const char* name;
    int items;
    int row;
  };
  const Case cases[] = {
      {"only one item row left", 1, 1},
      {"the header row", 3, 0},
      {"the empty row that ends the list", 3, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ItemGridModel grid;
    std::vector<std::u16string> codes;
    for (int i = 0; i < c.items; ++i) codes.push_back(std::u16string(1, char16_t(u'A' + i)));
    grid.Fill(codes, std::vector<std::u16string>(codes.size(), u"*"));
    const auto before = Rows(grid);
    grid.SetCurrentCell(c.row, 1);
    EXPECT_FALSE(grid.Delete());
    EXPECT_EQ(Rows(grid), before);
    EXPECT_EQ(grid.ItemRowCount(), c.items);
    EXPECT_EQ(grid.Cell(0, 1), u"項目");
  }
}

TEST(ItemGridModelTest, CutRowThreeAndPasteOnRowOneMovesCodeAndMark) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}, {u"PI", u""}});
  grid.SetCurrentCell(3, 0);
  EXPECT_TRUE(grid.Cut());
  EXPECT_EQ(grid.CutRowText(), u" \tPI\t");
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"2|TI|*", u"||"}));
  grid.SetCurrentCell(1, 1);
  EXPECT_TRUE(grid.Paste());
  EXPECT_EQ(Rows(grid), (Strings{u"1|PI|", u"2|AN|*", u"3|TI|*", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 3);
  EXPECT_EQ(grid.CutRowText(), u" \tPI\t");  // a paste keeps the cut row
}

TEST(ItemGridModelTest, CuttingTheLastItemRowKeepsItButFillsTheCutRow) {
  ItemGridModel grid = Filled({{u"TI", u"*"}});
  grid.SetCurrentCell(1, 1);
  EXPECT_FALSE(grid.Cut());
  EXPECT_EQ(grid.CutRowText(), u" \tTI\t*");
  EXPECT_EQ(grid.CurrentColumn(), 2);
  EXPECT_EQ(Rows(grid), (Strings{u"1|TI|*", u"||"}));
  grid.SetCurrentCell(1, 1);
  EXPECT_TRUE(grid.Paste());
  EXPECT_EQ(Rows(grid), (Strings{u"1|TI|*", u"2|TI|*", u"||"}));
  EXPECT_EQ(grid.ItemRowCount(), 2);
}

TEST(ItemGridModelTest, CutOnTheHeaderRowReplacesTheCutRowAndRemovesNothing) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}});
  grid.Reset();
  grid.Fill({u"AN", u"TI"}, {u"*", u"*"});
  EXPECT_FALSE(grid.Cut());
  EXPECT_EQ(grid.CutRowText(), u" \t項目\t行連結→*");
  EXPECT_EQ(Rows(grid), (Strings{u"1|AN|*", u"2|TI|*", u"||"}));
}

TEST(ItemGridModelTest, PasteBeforeAnyCutInsertsAnEmptyRow) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u"*"}});
  grid.SetCurrentCell(1, 1);
  EXPECT_TRUE(grid.Paste());
  EXPECT_EQ(Rows(grid), (Strings{u"1||", u"2|AN|*", u"3|TI|*", u"||"}));
}

TEST(ItemGridModelTest, CutRowSurvivesAReset) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u""}});
  grid.SetCurrentCell(2, 1);
  grid.Cut();
  grid.Reset();
  EXPECT_EQ(grid.CutRowText(), u" \tTI\t");
}

TEST(ItemGridModelTest, ReadItemTableStopsAtTheFirstEmptyCode) {
  ItemGridModel grid = Filled({{u"AN", u"*"}, {u"TI", u""}, {u"PI", u"*"}, {u"SO", u"*"}, {u"DT", u"*"}});
  grid.SetCurrentCell(4, 1);
  grid.EditCurrentCell(u"");  // row 4's code emptied
  const ItemTable table = grid.ReadItemTable();
  EXPECT_EQ(table.codes, (Strings{u"AN", u"TI", u"PI"}));
  EXPECT_EQ(table.notJoined, (std::vector<bool>{false, true, false}));
}

TEST(ItemGridModelTest, ReadItemTableTakesCodesUntrimmedAndOnlyAnExactStarAsMark) {
  ItemGridModel grid;
  grid.AddItem(u"1\t TI \t**", 1);
  grid.AddItem(u"2\tAN\t*", 2);
  const ItemTable table = grid.ReadItemTable();
  EXPECT_EQ(table.codes, (Strings{u" TI ", u"AN"}));
  EXPECT_EQ(table.notJoined, (std::vector<bool>{true, false}));
}

TEST(ItemGridModelTest, ReadItemTableTakesAtMostFiftyOneCodes) {
  std::vector<std::u16string> codes;
  for (int i = 0; i < 60; ++i) codes.push_back(u"C" + std::u16string(1, char16_t(u'0' + i / 10)) + std::u16string(1, char16_t(u'0' + i % 10)));
  ItemGridModel grid;
  grid.Fill(codes, std::vector<std::u16string>(codes.size(), u""));
  const ItemTable table = grid.ReadItemTable();
  ASSERT_EQ(table.codes.size(), 51u);
  EXPECT_EQ(table.codes.front(), u"C00");
  EXPECT_EQ(table.codes.back(), u"C50");
}

TEST(ItemGridModelTest, ReadItemTableOfAnEmptyListIsEmpty) {
  ItemGridModel grid;
  EXPECT_TRUE(grid.ReadItemTable().codes.empty());
}

}  // namespace
}  // namespace trovlin::app
