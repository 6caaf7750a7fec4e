// The item grid as the user edits it: clicks on its cells, the edit box, the
// entries of the edit menu with undo and redo, and item lists kept in files.
#include <QSignalBlocker>
#include <QUndoCommand>
#include <algorithm>
#include <functional>

#include "app/captions.h"
#include "app/main_window.h"
#include "app/window_text.h"
#include "common/errors.h"
#include "input/item_preset.h"
#include "session/log_session.h"

namespace trovlin::app {
namespace {

// One grid edit as the grid before and after it. The edit has been made
// when it is pushed, so the first redo does nothing.
class GridEdit : public QUndoCommand {
 public:
  using Apply = std::function<void(const ItemGridModel&)>;
  GridEdit(Apply apply, ItemGridModel before, ItemGridModel after, bool typing)
      : apply_(std::move(apply)), before_(std::move(before)), after_(std::move(after)), typing_(typing) {}

  void undo() override { apply_(before_); }
  void redo() override {
    if (done_) {
      done_ = false;
      return;
    }
    apply_(after_);
  }
  // Keystrokes in the edit box undo together while they stay in one cell.
  int id() const override { return typing_ ? 1 : -1; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const GridEdit*>(other);
    if (next->after_.CurrentRow() != after_.CurrentRow() || next->after_.CurrentColumn() != after_.CurrentColumn()) {
      return false;
    }
    after_ = next->after_;
    return true;
  }

 private:
  Apply apply_;
  ItemGridModel before_;
  ItemGridModel after_;
  bool typing_;
  bool done_ = true;
};

}  // namespace

void MainWindow::KeepEdit(const ItemGridModel& before, bool typing) {
  if (before.SameItems(grid_)) return;
  undo_.push(new GridEdit([this](const ItemGridModel& grid) { ApplyGrid(grid); }, before, grid_, typing));
}

void MainWindow::ApplyGrid(const ItemGridModel& grid) {
  const std::u16string cut = grid_.CutRowText();
  grid_ = grid;
  grid_.SetCutRowText(cut);
  widgets_.itemGrid->setFocus();
  GridChanged();
  RefreshCodeEdit();
}

void MainWindow::RefreshCodeEdit() {
  const QSignalBlocker quiet(widgets_.codeEdit);
  const bool onCode = grid_.CurrentRow() >= 1 && grid_.CurrentColumn() == ItemGridModel::kCodeColumn;
  widgets_.codeEdit->setText(onCode ? ToQt(grid_.Cell(grid_.CurrentRow(), ItemGridModel::kCodeColumn)) : QString());
}

void MainWindow::Undo() {
  if (!Busy()) undo_.undo();
}

void MainWindow::Redo() {
  if (!Busy()) undo_.redo();
}

void MainWindow::FillGrid(const std::vector<DiscoveredItem>& items) {
  std::vector<std::u16string> codes;
  std::vector<std::u16string> marks;
  for (const DiscoveredItem& item : items) {
    codes.push_back(item.code);
    marks.push_back(item.mark);
  }
  grid_.Fill(codes, marks);
}

void MainWindow::ClickGridCell(int row, int column) {
  if (Busy()) return;
  // A click on the fixed header row or row-number column selects nothing.
  if (row < 1 || column < 1) {
    ShowGrid();
    return;
  }
  grid_.SetCurrentCell(row, column);
  const ItemGridModel before = grid_;
  const ItemGridModel::ClickResult click = grid_.Click();
  KeepEdit(before);
  ShowGrid();
  if (click.editCode) {
    const QString code = ToQt(click.codeText);
    if (widgets_.codeEdit->text() != code) widgets_.codeEdit->setText(code);
    widgets_.codeEdit->setFocus();
  }
}

void MainWindow::EditCurrentCode() {
  if (ended_) return;
  if (worker_.IsRunning()) {
    // The box is read-only during a run; a change can only come from code.
    emit commandRefused();
    return;
  }
  const ItemGridModel before = grid_;
  if (!grid_.EditCurrentCell(FromQt(widgets_.codeEdit->text()))) return;
  KeepEdit(before, true);
  GridChanged();
}

void MainWindow::EditGrid(bool (ItemGridModel::*edit)()) {
  if (Busy()) return;
  widgets_.itemGrid->setFocus();
  const ItemGridModel before = grid_;
  if ((grid_.*edit)() && before.CurrentRow() >= 1) {
    // The user goes on where they acted, not on the last row the renumbering
    // left: on the row inserted or pasted, or on the one that took the
    // removed row's place.
    const int row = std::min(before.CurrentRow(), std::max(grid_.ItemRowCount(), 1));
    const int column = edit == &ItemGridModel::Insert || before.CurrentColumn() < ItemGridModel::kCodeColumn
                           ? ItemGridModel::kCodeColumn
                           : before.CurrentColumn();
    grid_.SetCurrentCell(row, column);
  }
  KeepEdit(before);
  GridChanged();
  RefreshCodeEdit();
}

// The new row's code is typed next.
void MainWindow::InsertRow() {
  const int rows = grid_.ItemRowCount();
  EditGrid(&ItemGridModel::Insert);
  if (grid_.ItemRowCount() > rows) widgets_.codeEdit->setFocus();
}

void MainWindow::PasteRow() { EditGrid(&ItemGridModel::Paste); }

void MainWindow::DeleteRow() { EditGrid(&ItemGridModel::Delete); }

void MainWindow::CutRow() { EditGrid(&ItemGridModel::Cut); }

// The open or save dialog of an item list: the chosen path, or "".
std::string MainWindow::AskItemList(FileDialogRequest::Kind kind) {
  const bool open = kind == FileDialogRequest::Kind::Open;
  FileDialogRequest request;
  request.kind = kind;
  request.title = open ? captions::kLoadItemsTitle : captions::kSaveItemsTitle;
  request.filter = captions::kItemsFilter;
  request.filterIndex = 1;
  request.defaultExt = captions::kItemsDefaultExt;
  request.flags = open ? CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly : CommonDialog::kSaveFlags;
  request.fileName = lastItemList_;
  const FileDialogResult result = prompts_.ShowFileDialog(request);
  if (!result.accepted || result.fileName.empty()) return std::string();
  lastItemList_ = result.fileName;
  return result.fileName;
}

void MainWindow::LoadItemList() {
  if (Busy()) return;
  const std::string path = AskItemList(FileDialogRequest::Kind::Open);
  if (path.empty()) return;
  std::vector<DiscoveredItem> list;
  std::vector<std::u16string> missing;
  try {
    list = LoadItemPreset(path);
    CheckPresetConvertible(path, list);
    missing = CodesMissingFrom(list, FirstAnswerItems(settings_));
  } catch (const IoError&) {
    ShowFailure(captions::kItemsLoadFailed, std::current_exception());
    return;
  }
  const ItemGridModel before = grid_;
  grid_.Reset();
  FillGrid(list);
  KeepEdit(before);
  GridChanged();
  RefreshCodeEdit();
  if (!missing.empty()) {
    Say(Fill(captions::kItemsMissing, {JoinCodes(missing)}), Icon::Warning, Buttons::Ok);
  }
}

void MainWindow::SaveItemList() {
  if (Busy()) return;
  const ItemTable table = grid_.ReadItemTable();
  // A list of no item could not be loaded again.
  if (table.codes.empty()) return;
  const std::vector<DiscoveredItem> list = ItemListFrom(table);
  const std::string path = AskItemList(FileDialogRequest::Kind::Save);
  if (path.empty()) return;
  try {
    SaveItemPreset(path, list);
  } catch (const IoError&) {
    ShowFailure(captions::kItemsSaveFailed, std::current_exception());
  }
}

}  // namespace trovlin::app
