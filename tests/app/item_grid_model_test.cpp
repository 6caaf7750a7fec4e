#include "app/item_grid_model.h"

#include "window_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trovlin::app {
namespace {

using testing::Rows;
using testing::Strings;
using Items = std::vector<std::pair<std::u16string, std::u16string>>;

// Fills the grid as item discovery does: codes with their marks.
void Fill(ItemGridModel& grid, const Items& items) {
  Strings codes;
  Strings marks;
  for (const auto& [code, mark] : items) {
    codes.push_back(code);
    marks.push_back(mark);
  }
  grid.Fill(codes, marks);
}

ItemGridModel Filled(const Items& items) {
  ItemGridModel grid;
  Fill(grid, items);
  return grid;
}

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

TEST(ItemGridModelTest, AddItemSplitsTheRowTextAtTabs) {
  ItemGridModel grid;
  grid.AddItem(u"7\tAB", 1);
  grid.AddItem(u"8\tCD\t*\textra", 2);
  EXPECT_EQ(Rows(grid), (Strings{u"7|AB|", u"8|CD|*", u"||"}));
}

// Clicks, the edit box and the edit menu on a filled grid. Each step first
// makes (row, column) current (row -1: leaves the current cell as it is).
TEST(ItemGridModelTest, Operations) {
  enum Op { kClick, kEdit, kInsert, kDelete, kCut, kPaste, kResetAndFill };
  struct Step {
    Op op;
    int row, column;
    bool accepted;              // for a click: the code went to the edit box
    std::u16string text = u"";  // typed (kEdit) or handed to the edit box (kClick)
  };
  struct Case {
    const char* name;
    Items items;
    std::vector<Step> steps;
    Strings rows;
    int itemRows;
    std::pair<int, int> current = {-1, -1};  // row, column; -1: not checked
    std::u16string cutRow = u"-";            // "-": not checked
  };
  const Items three = {{u"AN", u"*"}, {u"TI", u"*"}, {u"PI", u""}};
  const Items two = {{u"AN", u"*"}, {u"TI", u"*"}};
  const Case cases[] = {
      {"fill numbers the rows and keeps the empty row last", {{u"AN", u"*"}, {u"PI", u""}, {u"TI", u"*"}}, {},
       {u"1|AN|*", u"2|PI|", u"3|TI|*", u"||"}, 3},
      {"a click on a mark cell sets the mark", {{u"PI", u""}, {u"TI", u""}}, {{kClick, 2, 2, false}},
       {u"1|PI|", u"2|TI|*", u"||"}, 2, {2, 2}},
      {"a second click clears it", {{u"PI", u""}, {u"TI", u""}}, {{kClick, 2, 2, false}, {kClick, 2, 2, false}},
       {u"1|PI|", u"2|TI|", u"||"}, 2, {2, 2}},
      {"a click on the mark cell of a row without code writes nothing", {{u"TI", u"*"}}, {{kClick, 2, 2, false}},
       {u"1|TI|*", u"||"}, 1, {2, 1}},
      {"a click on a code cell hands the code to the edit box, which rewrites it", {{u"AN", u"*"}, {u"ti", u"*"}},
       {{kClick, 2, 1, true, u"ti"}}, {u"1|AN|*", u"2|ti|*", u"||"}, 2},
      {"clicks on the fixed row or column do nothing", {{u"AN", u"*"}},
       {{kClick, 0, 1, false}, {kClick, 0, 2, false}, {kClick, 1, 0, false}}, {u"1|AN|*", u"||"}, 1},
      {"the edit box writes upper case into the current cell, whichever column", two,
       {{kEdit, 2, 1, true, u"ab"}, {kEdit, 1, 2, true, u"x"}, {kEdit, 1, 1, true, u"ｔｉ項"}},
       {u"1|ＴＩ項|X", u"2|AB|*", u"||"}, 2},
      {"the edit box never writes into the header row", {{u"AN", u"*"}},
       {{kResetAndFill, -1, 0, true}, {kEdit, -1, 0, false, u"zz"}}, {u"1|AN|*", u"||"}, 1},
      {"insert on row two of three", three, {{kInsert, 2, 1, true}}, {u"1|AN|*", u"2||", u"3|TI|*", u"4|PI|", u"||"},
       4, {4, 0}},
      {"insert on the empty last row adds an item at the end", {{u"AN", u"*"}}, {{kInsert, 2, 1, true}},
       {u"1|AN|*", u"2||", u"||"}, 2},
      {"insert and paste on the header row are refused", two,
       {{kCut, 2, 1, true}, {kResetAndFill, -1, 0, true}, {kInsert, -1, 0, false}, {kPaste, -1, 0, false}},
       {u"1|AN|*", u"2|TI|*", u"||"}, 2, {0, -1}},
      {"delete removes the current row and renumbers", three, {{kDelete, 2, 2, true}}, {u"1|AN|*", u"2|PI|", u"||"},
       2, {2, 0}},
      {"delete refused: only one item row left", {{u"A", u"*"}}, {{kDelete, 1, 1, false}}, {u"1|A|*", u"||"}, 1},
      {"delete refused: the header row", three, {{kDelete, 0, 1, false}}, {u"1|AN|*", u"2|TI|*", u"3|PI|", u"||"}, 3},
      {"delete refused: the empty row that ends the list", three, {{kDelete, 4, 1, false}},
       {u"1|AN|*", u"2|TI|*", u"3|PI|", u"||"}, 3},
      {"cut row three", three, {{kCut, 3, 0, true}}, {u"1|AN|*", u"2|TI|*", u"||"}, 2, {-1, -1}, u" \tPI\t"},
      {"cut row three and paste on row one: code and mark move, the cut row stays", three,
       {{kCut, 3, 0, true}, {kPaste, 1, 1, true}}, {u"1|PI|", u"2|AN|*", u"3|TI|*", u"||"}, 3, {-1, -1}, u" \tPI\t"},
      {"cutting the last item row keeps it but fills the cut row", {{u"TI", u"*"}}, {{kCut, 1, 1, false}},
       {u"1|TI|*", u"||"}, 1, {-1, 2}, u" \tTI\t*"},
      {"and a paste then copies it", {{u"TI", u"*"}}, {{kCut, 1, 1, false}, {kPaste, 1, 1, true}},
       {u"1|TI|*", u"2|TI|*", u"||"}, 2},
      {"cut on the header row replaces the cut row and removes nothing", two,
       {{kResetAndFill, -1, 0, true}, {kCut, -1, 0, false}}, {u"1|AN|*", u"2|TI|*", u"||"}, 2, {-1, -1},
       u" \t項目\t行連結→*"},
      {"paste before any cut inserts an empty row", two, {{kPaste, 1, 1, true}},
       {u"1||", u"2|AN|*", u"3|TI|*", u"||"}, 3},
      {"the cut row survives a reset", {{u"AN", u"*"}, {u"TI", u""}}, {{kCut, 2, 1, true}, {kResetAndFill, -1, 0, true}},
       {u"1|AN|*", u"2|TI|", u"||"}, 2, {-1, -1}, u" \tTI\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ItemGridModel grid = Filled(c.items);
    for (const Step& step : c.steps) {
      if (step.row >= 0) grid.SetCurrentCell(step.row, step.column);
      switch (step.op) {
        case kClick: {
          const ItemGridModel::ClickResult click = grid.Click();
          EXPECT_EQ(click.editCode, step.accepted);
          if (step.accepted) {
            EXPECT_EQ(click.codeText, step.text);
          }
          break;
        }
        case kEdit: EXPECT_EQ(grid.EditCurrentCell(step.text), step.accepted); break;
        case kInsert: EXPECT_EQ(grid.Insert(), step.accepted); break;
        case kDelete: EXPECT_EQ(grid.Delete(), step.accepted); break;
        case kCut: EXPECT_EQ(grid.Cut(), step.accepted); break;
        case kPaste: EXPECT_EQ(grid.Paste(), step.accepted); break;
        case kResetAndFill:
          grid.Reset();
          Fill(grid, c.items);
          break;
      }
    }
    EXPECT_EQ(Rows(grid), c.rows);
    EXPECT_EQ(grid.ItemRowCount(), c.itemRows);
    EXPECT_EQ(grid.Cell(0, 1), u"項目");
    EXPECT_EQ(grid.Cell(0, 2), u"行連結→*");
    if (c.current.first >= 0) {
      EXPECT_EQ(grid.CurrentRow(), c.current.first);
    }
    if (c.current.second >= 0) {
      EXPECT_EQ(grid.CurrentColumn(), c.current.second);
    }
    if (c.cutRow != u"-") {
      EXPECT_EQ(grid.CutRowText(), c.cutRow);
    }
  }
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

TEST(ItemGridModelTest, ReadItemTableOfAnEmptyListIsEmpty) { EXPECT_TRUE(ItemGridModel().ReadItemTable().codes.empty()); }

}  // namespace
}  // namespace trovlin::app
