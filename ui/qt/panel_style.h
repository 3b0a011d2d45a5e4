// The style of the program's windows: Fusion, which honours the controls' colours,
// with the parts that have no text to grow with sized by the window's factor.
#pragma once

#include <QProxyStyle>

namespace ui::qt {

class PanelStyle : public QProxyStyle {
 public:
  PanelStyle();
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override;
};

}  // namespace ui::qt
