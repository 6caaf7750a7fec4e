// The layout of the window's design area: each widget at its design
// rectangle, and the room a larger window gives passed on to the widgets that
// grow.
//
// The design size is the area's minimum and preferred size, so at its
// default size the area looks exactly as designed. Beyond it, a widget that
// grows wider takes all the extra width and one that grows taller all the
// extra height; the others keep their place and size.
#pragma once

#include <QLayout>
#include <QList>
#include <QRect>

namespace trovlin::app {

class DesignLayout : public QLayout {
 public:
  enum Growth { kFixed = 0, kWider = 1, kTaller = 2 };

  DesignLayout(QWidget* parent, QSize designSize);
  ~DesignLayout() override;

  // widget, a child of the area, at rect (pixels, relative to the area).
  void Place(QWidget* widget, QRect rect, int growth = kFixed);

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QSize sizeHint() const override { return design_; }
  QSize minimumSize() const override { return design_; }
  Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }
  void setGeometry(const QRect& area) override;

 private:
  struct Placed {
    QLayoutItem* item;
    QRect rect;
    int growth;
  };
  QSize design_;
  QList<Placed> items_;
};

}  // namespace trovlin::app
