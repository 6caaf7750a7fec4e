// The item grid as the user edits it: clicks on its cells, the edit box, the
// entries of the edit menu, and item lists kept in files.
#include "app/captions.h"
#include "app/main_window.h"
#include "app/window_text.h"
#include "common/errors.h"
#include "input/item_preset.h"
#include "session/log_session.h"

namespace trovlin::app {

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
  const ItemGridModel::ClickResult click = grid_.Click();
  ShowGrid();
  if (click.editCode) {
    const QString code = Q(click.codeText);
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
  if (grid_.EditCurrentCell(FromQt(widgets_.codeEdit->text()))) GridChanged();
}

void MainWindow::EditGrid(bool (ItemGridModel::*edit)()) {
  if (Busy()) return;
  widgets_.itemGrid->setFocus();
  (grid_.*edit)();
  GridChanged();
}

void MainWindow::InsertRow() { EditGrid(&ItemGridModel::Insert); }

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
  grid_.Reset();
  FillGrid(list);
  GridChanged();
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
