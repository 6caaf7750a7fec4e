#include "app/item_grid_view.h"

#include <QHeaderView>

namespace trovlin::app {
namespace {

QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ItemGridView::ItemGridView(QWidget* parent) : QTableWidget(parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setWordWrap(false);
  setColumnCount(ItemGridModel::kColumns);
  horizontalHeader()->setMinimumSectionSize(1);
  connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) { emit cellPicked(row, column); });
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
    if (!showing_ && row >= 0 && column >= 0) emit currentMoved(row, column);
  });
}

void ItemGridView::ApplyTwipSizes(int (*toPixelsX)(const QWidget*, int), int (*toPixelsY)(const QWidget*, int)) {
  for (int c = 0; c < ItemGridModel::kColumns; ++c) {
    setColumnWidth(c, toPixelsX(this, ItemGridModel::kColumnWidthsTwips[static_cast<std::size_t>(c)]));
  }
  // The grid's ordinary rows are one line of text high.
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(toPixelsY(this, 240));
  headerHeight_ = toPixelsY(this, ItemGridModel::kHeaderHeightTwips);
  if (rowCount() > 0) setRowHeight(0, headerHeight_);
}

void ItemGridView::Show(const ItemGridModel& model) {
  showing_ = true;
  setRowCount(model.RowCount());
  if (headerHeight_ > 0 && model.RowCount() > 0) setRowHeight(0, headerHeight_);
  const QPalette pal = palette();
  for (int r = 0; r < model.RowCount(); ++r) {
    for (int c = 0; c < ItemGridModel::kColumns; ++c) {
      QTableWidgetItem* cell = item(r, c);
      if (cell == nullptr) {
        cell = new QTableWidgetItem;
        setItem(r, c, cell);
      }
      cell->setText(ToQString(model.Cell(r, c)));
      const bool fixed = r == 0 || c == 0;
      cell->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      cell->setBackground(fixed ? pal.button() : pal.base());
      cell->setTextAlignment(fixed ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
  }
  setCurrentCell(model.CurrentRow(), model.CurrentColumn());
  showing_ = false;
}

}  // namespace trovlin::app
