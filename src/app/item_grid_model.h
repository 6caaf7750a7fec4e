// The item grid: which item codes a tagged conversion writes, in which order.
//
// A table of three columns (row number, item code, join mark) whose row 0 is
// the fixed header row and whose column 0 is the fixed row-number column.
// Item rows are 1 to ItemRowCount(); after a fill one empty row follows them.
// All editing acts on the current cell, as the window's grid control has it.
// The model holds no display: the window shows it in a view and forwards
// clicks, key moves and the edit box's text here.
//
// Refusals the window relies on: insert, paste, delete and cut never touch
// the header row, delete (and so cut) keeps the last item row and never
// removes the empty row that ends the list, and the edit box never writes
// into the header row. So the grid always holds its header and ItemRowCount
// always matches the numbered rows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/conversion_settings.h"

namespace trovlin::app {

class ItemGridModel {
 public:
  static constexpr int kColumns = 3;
  static constexpr int kNumberColumn = 0;
  static constexpr int kCodeColumn = 1;
  static constexpr int kMarkColumn = 2;
  static constexpr std::array<int, kColumns> kColumnWidthsTwips = {250, 600, 1000};
  static constexpr int kHeaderHeightTwips = 400;
  static constexpr std::u16string_view kCodeHeader = u"項目";
  static constexpr std::u16string_view kMarkHeader = u"行連結→*";
  static constexpr std::u16string_view kJoinMark = u"*";

  ItemGridModel() { Reset(); }

  // Empties every cell and leaves the header row and one empty row, with the
  // current cell on the header's mark column. ItemRowCount becomes 0 (a
  // tagged load sets it again through Fill); the cut row is kept.
  void Reset();

  // Inserts a row at index (1 to RowCount()) from the grid's row form: cells
  // separated by TAB, missing cells empty, cells past the third ignored.
  void AddItem(std::u16string_view rowText, int index);

  // Fills a freshly reset grid with discovered codes and their marks, one row
  // each from row 1 on, and sets ItemRowCount to their number.
  void Fill(const std::vector<std::u16string>& codes, const std::vector<std::u16string>& marks);

  int RowCount() const { return static_cast<int>(rows_.size()); }
  const std::u16string& Cell(int row, int column) const;
  int CurrentRow() const { return currentRow_; }
  int CurrentColumn() const { return currentColumn_; }
  int ItemRowCount() const { return itemRowCount_; }
  const std::u16string& CutRowText() const { return cutRow_; }
  void SetCutRowText(std::u16string text) { cutRow_ = std::move(text); }
  // Same rows and item count (the current cell and the cut row aside).
  bool SameItems(const ItemGridModel& other) const {
    return rows_ == other.rows_ && itemRowCount_ == other.itemRowCount_;
  }

  // Moves the current cell, as a click or an arrow key on the grid does.
  // Cells outside the grid are ignored.
  void SetCurrentCell(int row, int column);

  // What a click on the current cell asks of the window.
  struct ClickResult {
    bool editCode = false;  // put codeText into the edit box and focus it
    std::u16string codeText;
  };
  // The click on the grid: toggles the join mark of a row that has a code, or
  // hands a code cell to the edit box. Rows and columns 0 do nothing.
  ClickResult Click();

  // The edit box's text changed: the current cell takes it in upper case.
  // Returns false (and writes nothing) on the header row.
  bool EditCurrentCell(std::u16string_view text);

  // The edit menu. Each returns false when it refused and changed nothing in
  // the rows (cut still replaces the cut row).
  bool Insert();
  bool Paste();
  bool Delete();
  bool Cut();

  // The item list a conversion takes: codes from row 1 down to the first
  // empty code, at most kMaxTaggedItems of them; notJoined unless the mark is
  // exactly "*".
  ItemTable ReadItemTable() const;

  // Item rows the conversion will not read because an empty code stands
  // above them: the first such empty row, and how many codes follow it.
  // Both 0 when the list ends only at its closing empty row.
  struct UnreadItems {
    int blankRow = 0;
    int count = 0;
  };
  UnreadItems Unread() const;

 private:
  using Row = std::array<std::u16string, kColumns>;

  void RenumberItemRows();
  static Row ParseRow(std::u16string_view rowText);

  std::vector<Row> rows_;
  int currentRow_ = 0;
  int currentColumn_ = 0;
  int itemRowCount_ = 0;
  std::u16string cutRow_;
};

// Upper case as the edit box applies it: every letter that has a simple
// upper-case form, full-width Latin letters included.
std::u16string ToUpperCase(std::u16string_view text);

}  // namespace trovlin::app
