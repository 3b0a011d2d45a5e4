#include "ui/qt/scale.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

#include "ui/qt/panel_widget.h"

namespace ui::qt {

int Scale::Px(double units) const { return static_cast<int>(std::lround(units * factor)); }

QRect Scale::Rect(int left, int top, int width, int height) const {
  const int x0 = Px(left), y0 = Px(top);
  const int x1 = Px(static_cast<double>(left) + width), y1 = Px(static_cast<double>(top) + height);
  return QRect(origin.x() + x0, origin.y() + y0, x1 - x0, y1 - y0);
}

// The size is set even at factor 1, so that no widget takes its size from a parent
// that was scaled before it.
QFont Scale::Font(QFont design) const {
  if (design.pointSizeF() > 0) design.setPointSizeF(design.pointSizeF() * factor);
  else if (design.pixelSize() > 0) design.setPixelSize(Px(design.pixelSize()));
  return design;
}

Scale ScaleFor(QSize window, QSize design) {
  Scale s;
  if (design.width() <= 0 || design.height() <= 0) return s;
  s.factor = std::max(1.0, std::min(static_cast<double>(window.width()) / design.width(),
                                    static_cast<double>(window.height()) / design.height()));
  const int usedWidth = s.Px(design.width()), usedHeight = s.Px(design.height());
  s.origin = QPoint(std::max(0, (window.width() - usedWidth) / 2), std::max(0, (window.height() - usedHeight) / 2));
  return s;
}

double ScaleOf(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (auto* p = dynamic_cast<const PanelWidget*>(w)) return p->Units().factor;
    if (w->isWindow()) break;
  }
  return 1;
}

}  // namespace ui::qt
