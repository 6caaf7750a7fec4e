// The item grid on screen: a table that shows an ItemGridModel cell for cell.
//
// Row 0 and column 0 are drawn as the grid's fixed header and row numbers.
// The view holds no state of its own: after every change the window calls
// Show() with the model. A user's click on a cell, and a move of the current
// cell by keyboard, come back as signals for the window to apply to the
// model; moves made by Show() itself are not signalled.
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

 private:
  bool showing_ = false;
  int headerHeight_ = 0;
};

}  // namespace trovlin::app
