// The item grid on screen: a table that shows an ItemGridModel cell for cell.
//
// The model's row 0 is shown as the table's column header, so it stays in
// view however far the rows scroll; the table's row 0 is hidden. Column 0 is
// drawn as the fixed row numbers and is widened when a number would not fit.
// The view holds no state of its own: after every change the window calls
// Show() with the model. A user's click on a cell, and a move of the current
// cell by keyboard, come back as signals for the window to apply to the
// model; moves made by Show() itself are not signalled.
//
// Rows the conversion will not read (below an empty code) are greyed.
//
// Keys move as in a spreadsheet, over the cells that can be current (row 1
// and below, columns 1 and 2): arrows, Tab and Backtab (on to the next or
// previous row at the row's end), Home and End (first and last column; with
// Ctrl the first and last row), PageUp and PageDown. Enter, Return, F2 and
// Space act on the current cell as a click does.
#pragma once

#include <QTableWidget>

#include "app/item_grid_model.h"

namespace trovlin::app {

class ItemGridView : public QTableWidget {
  Q_OBJECT

 public:
  explicit ItemGridView(QWidget* parent = nullptr);

  // Column widths and header height in twips, converted at the screen's DPI.
  void ApplyTwipSizes(int (*toPixelsX)(const QWidget*, int), int (*toPixelsY)(const QWidget*, int));
  void Show(const ItemGridModel& model);

 signals:
  void cellPicked(int row, int column);
  void currentMoved(int row, int column);

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FitColumns(const ItemGridModel& model);

  bool showing_ = false;
  int headerHeight_ = 0;
  int numberWidth_ = 0;  // the design's widths of the columns
  int codeWidth_ = 0;
  int markWidth_ = 0;
  ItemGridModel::UnreadItems unread_;
};

}  // namespace trovlin::app
