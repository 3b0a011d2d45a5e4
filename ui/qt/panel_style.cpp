#include "ui/qt/panel_style.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QWidget>

#include "ui/qt/scale.h"

namespace ui::qt {
namespace {

// The factor of the window a style call is for. Fusion asks for some sizes without the
// widget; the option still names it.
double FactorOf(const QStyleOption* option, const QWidget* widget) {
  if (!widget && option) widget = qobject_cast<const QWidget*>(option->styleObject);
  return widget ? ScaleOf(widget) : 1;
}

}  // namespace

PanelStyle::PanelStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

// Fusion's tabs are narrowed, as the program's tab controls hold up to nine pages in under
// 300 pixels. Scroll bars, slider handles and check marks grow with the window.
int PanelStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  if (metric == PM_TabBarTabHSpace) return 12;
  const int size = QProxyStyle::pixelMetric(metric, option, widget);
  switch (metric) {
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
    case PM_SliderThickness:
    case PM_SliderLength:
    case PM_SliderControlThickness:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight: return Scale{FactorOf(option, widget), {}}.Px(size);
    default: return size;
  }
}

// A ring's drop-down button grows with the window; its text field gives way to it.
QRect PanelStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                                 const QWidget* widget) const {
  QRect r = QProxyStyle::subControlRect(control, option, part, widget);
  const double f = FactorOf(option, widget);
  if (control != CC_ComboBox || f == 1 || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField)) return r;
  const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
  const int grow = Scale{f, {}}.Px(arrow.width()) - arrow.width();
  if (option->direction == Qt::RightToLeft) {
    if (part == SC_ComboBoxArrow) r.setRight(r.right() + grow);
    else r.setLeft(r.left() + grow);
  } else {
    if (part == SC_ComboBoxArrow) r.setLeft(r.left() - grow);
    else r.setRight(r.right() - grow);
  }
  return r;
}

// Fusion draws a ring's arrow at a fixed size: in a scaled window a larger one covers it.
void PanelStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                    const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  const double f = FactorOf(option, widget);
  if (control != CC_ComboBox || f == 1 || !(option->subControls & SC_ComboBoxArrow)) return;
  const QRectF arrow = subControlRect(control, option, SC_ComboBoxArrow, widget);
  const QPointF c = arrow.center() + QPointF(0.5, 0.5);
  const qreal half = 4 * f, high = 2.5 * f;
  const QPointF tip[3] = {c + QPointF(-half, -high), c + QPointF(half, -high), c + QPointF(0, high)};
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(Qt::NoPen);
  painter->setBrush(option->palette.color(option->state & State_Enabled ? QPalette::Active : QPalette::Disabled,
                                          QPalette::ButtonText));
  painter->drawPolygon(tip, 3);
  painter->restore();
}

}  // namespace ui::qt
