#include "app/design_layout.h"

#include <QWidget>
#include <algorithm>

namespace trovlin::app {

DesignLayout::DesignLayout(QWidget* parent, QSize designSize) : QLayout(parent), design_(designSize) {
  setContentsMargins(0, 0, 0, 0);
}

DesignLayout::~DesignLayout() {
  for (const Placed& placed : items_) delete placed.item;
}

void DesignLayout::Place(QWidget* widget, QRect rect, int growth) {
  addChildWidget(widget);
  items_.append({new QWidgetItem(widget), rect, growth});
  widget->setGeometry(rect);
  invalidate();
}

void DesignLayout::addItem(QLayoutItem* item) { items_.append({item, item->geometry(), kFixed}); }

QLayoutItem* DesignLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem* DesignLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  return items_.takeAt(index).item;
}

void DesignLayout::setGeometry(const QRect& area) {
  QLayout::setGeometry(area);
  const int wider = std::max(0, area.width() - design_.width());
  const int taller = std::max(0, area.height() - design_.height());
  for (const Placed& placed : items_) {
    QRect rect = placed.rect.translated(area.topLeft());
    if (placed.growth & kWider) rect.setWidth(rect.width() + wider);
    if (placed.growth & kTaller) rect.setHeight(rect.height() + taller);
    // The widget's own size policy plays no part: the design decides.
    if (QWidget* widget = placed.item->widget()) {
      widget->setGeometry(rect);
    } else {
      placed.item->setGeometry(rect);
    }
  }
}

}  // namespace trovlin::app
