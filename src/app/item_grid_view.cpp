#include "app/item_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace trovlin::app {
namespace {

QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kFirstColumn = ItemGridModel::kCodeColumn;
constexpr int kLastColumn = ItemGridModel::kColumns - 1;

}  // namespace

ItemGridView::ItemGridView(QWidget* parent) : QTableWidget(parent) {
  verticalHeader()->hide();
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setWordWrap(false);
  setColumnCount(ItemGridModel::kColumns);
  QHeaderView* header = horizontalHeader();
  header->setMinimumSectionSize(1);
  header->setSectionsClickable(false);
  header->setHighlightSections(false);
  header->setDefaultAlignment(Qt::AlignCenter);
  // The mark column stays beside the codes; a wider grid leaves its room
  // blank at the right, as a sheet does.
  header->setStretchLastSection(false);
  connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) { emit cellPicked(row, column); });
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
    if (!showing_ && row >= 0 && column >= 0) emit currentMoved(row, column);
  });
}

void ItemGridView::ApplyTwipSizes(int (*toPixelsX)(const QWidget*, int), int (*toPixelsY)(const QWidget*, int)) {
  for (int c = 0; c < ItemGridModel::kColumns; ++c) {
    setColumnWidth(c, toPixelsX(this, ItemGridModel::kColumnWidthsTwips[static_cast<std::size_t>(c)]));
  }
  numberWidth_ = columnWidth(ItemGridModel::kNumberColumn);
  codeWidth_ = columnWidth(ItemGridModel::kCodeColumn);
  markWidth_ = columnWidth(ItemGridModel::kMarkColumn);
  // The grid's ordinary rows are one line of text high.
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(toPixelsY(this, 240));
  headerHeight_ = toPixelsY(this, ItemGridModel::kHeaderHeightTwips);
  horizontalHeader()->setFixedHeight(headerHeight_);
}

// The number is centred between the item view's text margins, which the
// design's width leaves no room for from two digits on; the grid line takes
// a pixel more. The code and mark columns are as wide as the design made
// them, or as their widest text (header included) needs.
void ItemGridView::FitColumns(const ItemGridModel& model) {
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  const auto needed = [&](const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text) + 2 * margin + 2;
  };
  const QString widest = QString::number(std::max(rowCount() - 1, 1));
  setColumnWidth(ItemGridModel::kNumberColumn, std::max(numberWidth_, needed(fontMetrics(), widest)));
  const QFontMetrics headerMetrics = horizontalHeader()->fontMetrics();
  std::array<int, ItemGridModel::kColumns> widths = {0, codeWidth_, markWidth_};
  for (int c = ItemGridModel::kCodeColumn; c < ItemGridModel::kColumns; ++c) {
    // The header's sort-indicator room is taken whether shown or not.
    const int title = needed(headerMetrics, ToQString(model.Cell(0, c))) + 2 * margin;
    widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], title);
    for (int r = 1; r < model.RowCount(); ++r) {
      widths[static_cast<std::size_t>(c)] =
          std::max(widths[static_cast<std::size_t>(c)], needed(fontMetrics(), ToQString(model.Cell(r, c))));
    }
    setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
  }
}

void ItemGridView::Show(const ItemGridModel& model) {
  showing_ = true;
  unread_ = model.Unread();
  setRowCount(model.RowCount());
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
      // Brushes of the active group: the palette's current group is the
      // disabled one while a run has the grid disabled.
      cell->setBackground(pal.brush(QPalette::Active, fixed ? QPalette::Button : QPalette::Base));
      // Rows below the list's first empty code are not converted: greyed.
      // Other text takes the view's own colour, disabled included.
      const bool unread = unread_.count > 0 && r > unread_.blankRow;
      cell->setData(Qt::ForegroundRole, unread ? QVariant(pal.brush(QPalette::Disabled, QPalette::Text)) : QVariant());
      cell->setTextAlignment(fixed ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
  }
  for (int c = 0; c < ItemGridModel::kColumns; ++c) {
    QTableWidgetItem* title = horizontalHeaderItem(c);
    if (title == nullptr) {
      title = new QTableWidgetItem;
      setHorizontalHeaderItem(c, title);
    }
    title->setText(model.RowCount() > 0 ? ToQString(model.Cell(0, c)) : QString());
  }
  if (model.RowCount() > 0) setRowHidden(0, true);
  FitColumns(model);
  setCurrentCell(model.CurrentRow(), model.CurrentColumn());
  // Rebuilt rows leave the view where it was; the current cell is kept in
  // sight, within the scroll range of the rows as they are now.
  if (model.CurrentRow() >= 1) {
    updateGeometries();
    scrollTo(currentIndex());
  }
  showing_ = false;
}

QModelIndex ItemGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex from = currentIndex();
  const int lastRow = rowCount() - 1;
  if (lastRow < 1) return from;
  // From the hidden header row (where a load leaves it) any key enters the items.
  if (from.row() < 1) return model()->index(1, kFirstColumn);
  int row = std::max(from.row(), 1);
  int column = std::clamp(from.column(), kFirstColumn, kLastColumn);
  const bool ctrl = modifiers & Qt::ControlModifier;
  switch (action) {
    case MoveNext:
      if (column < kLastColumn) {
        ++column;
      } else if (row < lastRow) {
        ++row;
        column = kFirstColumn;
      }
      break;
    case MovePrevious:
      if (column > kFirstColumn) {
        --column;
      } else if (row > 1) {
        --row;
        column = kLastColumn;
      }
      break;
    case MoveHome:
      column = kFirstColumn;
      if (ctrl) row = 1;
      break;
    case MoveEnd:
      column = kLastColumn;
      if (ctrl) row = lastRow;
      break;
    default: {
      // Arrows and pages as the table moves them, kept off the fixed cells.
      const QModelIndex to = QTableWidget::moveCursor(action, modifiers);
      if (!to.isValid()) return from;
      row = std::max(to.row(), 1);
      column = std::clamp(to.column(), kFirstColumn, kLastColumn);
      break;
    }
  }
  return model()->index(row, column);
}

void ItemGridView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
    case Qt::Key_Space:
      if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (currentRow() >= 0 && currentColumn() >= 0) emit cellPicked(currentRow(), currentColumn());
        event->accept();
        return;
      }
      break;
    default:
      break;
  }
  QTableWidget::keyPressEvent(event);
}

}  // namespace trovlin::app
