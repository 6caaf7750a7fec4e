#include "app/item_grid_model.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <string>

namespace trovlin::app {
namespace {

std::u16string Decimal(int n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string ToUpperCase(std::u16string_view text) {
  std::u16string out(text);
  // Logs and codes come from code page 932, so every character is one UTF-16
  // unit and the simple mapping keeps positions.
  for (char16_t& c : out) c = static_cast<char16_t>(u_toupper(c));
  return out;
}

void ItemGridModel::Reset() {
  rows_.assign(2, Row{});
  rows_[0][kCodeColumn] = kCodeHeader;
  rows_[0][kMarkColumn] = kMarkHeader;
  currentRow_ = 0;
  currentColumn_ = kMarkColumn;
  itemRowCount_ = 0;
}

ItemGridModel::Row ItemGridModel::ParseRow(std::u16string_view rowText) {
  Row row;
  for (int column = 0; column < kColumns; ++column) {
    const std::size_t tab = rowText.find(u'\t');
    row[static_cast<std::size_t>(column)] = rowText.substr(0, tab);
    if (tab == std::u16string_view::npos) break;
    rowText.remove_prefix(tab + 1);
  }
  return row;
}

void ItemGridModel::AddItem(std::u16string_view rowText, int index) {
  index = std::clamp(index, 1, RowCount());
  rows_.insert(rows_.begin() + index, ParseRow(rowText));
}

void ItemGridModel::Fill(const std::vector<std::u16string>& codes, const std::vector<std::u16string>& marks) {
  int count = 0;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    ++count;
    const std::u16string mark = i < marks.size() ? marks[i] : std::u16string();
    AddItem(Decimal(count) + u"\t" + codes[i] + u"\t" + mark, count);
  }
  itemRowCount_ = count;
}

const std::u16string& ItemGridModel::Cell(int row, int column) const {
  return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

void ItemGridModel::SetCurrentCell(int row, int column) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return;
  currentRow_ = row;
  currentColumn_ = column;
}

ItemGridModel::ClickResult ItemGridModel::Click() {
  ClickResult result;
  if (currentRow_ < 1 || currentColumn_ < kCodeColumn) return result;
  Row& row = rows_[static_cast<std::size_t>(currentRow_)];
  if (currentColumn_ == kMarkColumn) {
    if (row[kMarkColumn] == kJoinMark) {
      row[kMarkColumn].clear();
      return result;
    }
    currentColumn_ = kCodeColumn;
    if (!row[kCodeColumn].empty()) {
      currentColumn_ = kMarkColumn;
      row[kMarkColumn] = kJoinMark;
    }
    return result;
  }
  result.editCode = true;
  result.codeText = row[kCodeColumn];
  return result;
}

bool ItemGridModel::EditCurrentCell(std::u16string_view text) {
  // The header's titles are the grid's own, not an item.
  if (currentRow_ < 1) return false;
  rows_[static_cast<std::size_t>(currentRow_)][static_cast<std::size_t>(currentColumn_)] = ToUpperCase(text);
  return true;
}

void ItemGridModel::RenumberItemRows() {
  currentColumn_ = kNumberColumn;
  const int last = std::min(itemRowCount_, RowCount() - 1);
  for (int r = 1; r <= last; ++r) {
    rows_[static_cast<std::size_t>(r)][kNumberColumn] = Decimal(r);
    currentRow_ = r;
  }
}

bool ItemGridModel::Insert() {
  if (currentRow_ < 1) return false;
  rows_.insert(rows_.begin() + currentRow_, Row{});
  ++itemRowCount_;
  RenumberItemRows();
  return true;
}

bool ItemGridModel::Paste() {
  if (currentRow_ < 1) return false;
  rows_.insert(rows_.begin() + currentRow_, ParseRow(cutRow_));
  ++itemRowCount_;
  RenumberItemRows();
  return true;
}

bool ItemGridModel::Delete() {
  // Row 0 is the header, the last item row stays so that a list remains, and
  // the empty row below the items is what ends the list for a conversion.
  if (itemRowCount_ <= 1 || currentRow_ < 1 || currentRow_ > itemRowCount_) return false;
  rows_.erase(rows_.begin() + currentRow_);
  --itemRowCount_;
  RenumberItemRows();
  return true;
}

bool ItemGridModel::Cut() {
  const Row& row = rows_[static_cast<std::size_t>(currentRow_)];
  currentColumn_ = kCodeColumn;
  cutRow_ = u" \t" + row[kCodeColumn];
  currentColumn_ = kMarkColumn;
  cutRow_ += u"\t" + row[kMarkColumn];
  return Delete();
}

ItemTable ItemGridModel::ReadItemTable() const {
  ItemTable table;
  for (std::size_t i = 0; i < kMaxTaggedItems; ++i) {
    const std::size_t r = i + 1;
    if (r >= rows_.size()) break;
    const std::u16string& code = rows_[r][kCodeColumn];
    if (code.empty()) break;
    table.codes.push_back(code);
    table.notJoined.push_back(rows_[r][kMarkColumn] != kJoinMark);
  }
  return table;
}

ItemGridModel::UnreadItems ItemGridModel::Unread() const {
  UnreadItems unread;
  for (std::size_t r = 1; r < rows_.size(); ++r) {
    const bool empty = rows_[r][kCodeColumn].empty();
    if (unread.blankRow == 0) {
      if (empty) unread.blankRow = static_cast<int>(r);
    } else if (!empty) {
      ++unread.count;
    }
  }
  if (unread.count == 0) unread.blankRow = 0;
  return unread;
}

}  // namespace trovlin::app
