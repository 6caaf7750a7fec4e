#include "app/item_grid_model.h"

#include "window_fixture.h"

namespace trovlin::app {
namespace {

using testing::Rows;
using testing::Strings;

// Clicks, the edit box and the edit menu on a grid of codes ("*": joined).
// Each step first makes (row, column) current; row -1 leaves it as it is.
TEST(ItemGridModelTest, Operations) {
  enum Op { kClick, kEdit, kInsert, kDelete, kCut, kPaste, kReset };
  struct Step {
    Op op;
    int row, column;
    bool accepted;        // for a click: the code went to the edit box
    std::u16string text;  // typed (kEdit)
  };
  struct Case {
    const char* name;
    Strings items;
    std::vector<Step> steps;
    Strings rows;
    std::pair<int, int> current = {-1, -1};  // row, column; -1: not checked
    std::u16string cutRow = u"-";            // "-": not checked
  };
  // clang-format off
  const Case cases[] = {
      {"a reset leaves the header and one empty row, the header's mark cell current", {u"AN"}, {{kReset, -1, 0, true, u""}},
       {u"||"}, {0, 2}},
      {"a click on the mark cell of a row without code writes nothing", {u"TI*"}, {{kClick, 2, 2, false, u""}}, {u"1|TI|*", u"||"}, {2, 1}},
      {"clicks on the fixed row or column do nothing", {u"AN*"},
       {{kClick, 0, 1, false, u""}, {kClick, 0, 2, false, u""}, {kClick, 1, 0, false, u""}}, {u"1|AN|*", u"||"}},
      {"the edit box writes upper case into the current cell, whichever column", {u"AN*", u"TI*"},
       {{kEdit, 2, 1, true, u"ab"}, {kEdit, 1, 2, true, u"x"}, {kEdit, 1, 1, true, u"ｔｉ項"}}, {u"1|ＴＩ項|X", u"2|AB|*", u"||"}},
      {"the edit box never writes into the header row", {u"AN*"}, {{kEdit, 0, 1, false, u"zz"}}, {u"1|AN|*", u"||"}},
      {"insert on row two", {u"AN*", u"TI*", u"PI"}, {{kInsert, 2, 1, true, u""}},
       {u"1|AN|*", u"2||", u"3|TI|*", u"4|PI|", u"||"}, {4, 0}},
      {"insert and paste on the header row are refused", {u"AN*", u"TI*"},
       {{kInsert, 0, 1, false, u""}, {kPaste, 0, 1, false, u""}}, {u"1|AN|*", u"2|TI|*", u"||"}},
      {"delete removes the current row and renumbers", {u"AN*", u"TI*", u"PI"}, {{kDelete, 2, 2, true, u""}},
       {u"1|AN|*", u"2|PI|", u"||"}, {2, 0}},
      {"delete refused on the only item row", {u"A*"}, {{kDelete, 1, 1, false, u""}}, {u"1|A|*", u"||"}},
      {"delete refused on the header row and on the empty row that ends the list", {u"AN*", u"PI"},
       {{kDelete, 0, 1, false, u""}, {kDelete, 3, 1, false, u""}}, {u"1|AN|*", u"2|PI|", u"||"}},
      {"cut row three and paste on row one: code and mark move, the cut row stays", {u"AN*", u"TI*", u"PI"},
       {{kCut, 3, 0, true, u""}, {kPaste, 1, 1, true, u""}}, {u"1|PI|", u"2|AN|*", u"3|TI|*", u"||"}, {-1, -1}, u" \tPI\t"},
      {"cutting the only item row keeps it, and a paste copies it", {u"TI*"},
       {{kCut, 1, 1, false, u""}, {kPaste, 1, 1, true, u""}}, {u"1|TI|*", u"2|TI|*", u"||"}, {-1, -1}, u" \tTI\t*"},
      {"cut on the header row takes the header and removes nothing", {u"AN*"}, {{kCut, 0, 1, false, u""}},
       {u"1|AN|*", u"||"}, {-1, -1}, u" \t項目\t行連結→*"},
      {"paste before any cut inserts an empty row", {u"AN*"}, {{kPaste, 1, 1, true, u""}}, {u"1||", u"2|AN|*", u"||"}},
      {"the cut row survives a reset", {u"AN*", u"TI"}, {{kCut, 2, 1, true, u""}, {kReset, -1, 0, true, u""}},
       {u"||"}, {-1, -1}, u" \tTI\t"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ItemGridModel grid;
    Strings codes, marks;
    for (const std::u16string& item : c.items) {
      codes.push_back(item.ends_with(u'*') ? item.substr(0, item.size() - 1) : item);
      marks.push_back(item.ends_with(u'*') ? u"*" : u"");
    }
    grid.Fill(codes, marks);
    for (const Step& step : c.steps) {
      if (step.row >= 0) grid.SetCurrentCell(step.row, step.column);
      bool accepted = true;
      if (step.op == kClick) accepted = grid.Click().editCode;
      if (step.op == kEdit) accepted = grid.EditCurrentCell(step.text);
      if (step.op == kInsert) accepted = grid.Insert();
      if (step.op == kDelete) accepted = grid.Delete();
      if (step.op == kCut) accepted = grid.Cut();
      if (step.op == kPaste) accepted = grid.Paste();
      if (step.op == kReset) grid.Reset();
      EXPECT_EQ(accepted, step.accepted);
    }
    EXPECT_EQ(Rows(grid), c.rows);
    EXPECT_EQ(grid.ItemRowCount(), static_cast<int>(c.rows.size()) - 1);
    EXPECT_EQ(grid.Cell(0, 1) + grid.Cell(0, 2), u"項目行連結→*");
    EXPECT_TRUE(c.current.first < 0 || std::pair(grid.CurrentRow(), grid.CurrentColumn()) == c.current);
    EXPECT_TRUE(c.cutRow == u"-" || grid.CutRowText() == c.cutRow);
  }
}

// The codes a run takes: up to the first empty one, at most 51, untrimmed;
// only an exact "*" joins.
TEST(ItemGridModelTest, ReadItemTable) {
  ItemGridModel grid;
  Strings codes(60, u"C"), marks(60, u"*");
  codes[1] = u" TI ";
  marks[1] = u"**";
  grid.Fill(codes, marks);
  EXPECT_EQ(grid.ReadItemTable().codes.size(), 51u);
  EXPECT_EQ(grid.ReadItemTable().notJoined[1], true);
  grid.SetCurrentCell(3, 1);
  grid.EditCurrentCell(u"");
  EXPECT_EQ(grid.ReadItemTable().codes, (Strings{u"C", u" TI "}));
  EXPECT_EQ(grid.ReadItemTable().notJoined, (std::vector<bool>{false, true}));
}

// The rows a run will not read: codes below the first empty one. The empty
// row that closes the list leaves nothing out.
TEST(ItemGridModelTest, UnreadItemsAreTheCodesBelowTheFirstEmptyOne) {
  struct Case {
    Strings codes;  // one row each, "" an empty code
    int blankRow, count;
  };
  const Case cases[] = {
      {{u"AN", u"TI", u"PI"}, 0, 0}, {{u"AN", u"", u"TI", u"PI"}, 2, 2},
      {{u"", u"TI"}, 1, 1},          {{u"AN", u"", u"", u"PI", u""}, 2, 1},  // further empty rows are not counted
      {{u"AN", u"", u""}, 0, 0},
  };
  for (const Case& c : cases) {
    ItemGridModel grid;
    grid.Fill(c.codes, {});
    const ItemGridModel::UnreadItems unread = grid.Unread();
    EXPECT_EQ(std::pair(unread.blankRow, unread.count), std::pair(c.blankRow, c.count)) << c.codes.size();
  }
}

}  // namespace
}  // namespace trovlin::app
