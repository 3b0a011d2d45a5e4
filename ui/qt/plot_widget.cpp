// Frame and axes of graphs and strip charts.
#include "ui/qt/plot_widget.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "ui/qt/view.h"

namespace ui::qt {
namespace {

QString TickLabel(double v, int decimals) {
  if (std::fabs(v) < 1e-12) v = 0;
  if (std::fabs(v) >= 1e7) return QString::number(v, 'g', 4);
  return QString::number(v, 'f', decimals);
}

// Grid lines a little lighter than a dark plot background, a little darker than a light one.
QColor GridColour(int plotBg) {
  QColor bg = Rgb(plotBg);
  int shift = bg.lightness() < 128 ? 48 : -32;
  auto move = [shift](int v) { return std::clamp(v + shift, 0, 255); };
  return QColor(move(bg.red()), move(bg.green()), move(bg.blue()));
}

}  // namespace

PlotWidget::PlotWidget(int panel, int id, const Control* source, QWidget* parent)
    : QWidget(parent), panel_(panel), id_(id), source_(source) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  TakeScale();
}

void PlotWidget::TakeScale() {
  const double factor = ScaleOf(this);
  if (factor == scale_) return;
  scale_ = factor;
  QFont f = QApplication::font();
  if (f.pointSizeF() > 0) f.setPointSizeF(std::max(7.0, f.pointSizeF() - 1));
  axisFont_ = Scale{factor, {}}.Font(f);
}

int PlotWidget::Px(double units) const { return Scale{scale_, {}}.Px(units); }

const Control* PlotWidget::Source() const {
  const Control* c = FindControl(panel_, id_);
  return (c && c == source_ && c->graph) ? c : nullptr;
}

// As many ticks as the design size would show: a larger chart shows the same axes larger.
int PlotWidget::MaxTicks(bool vertical, int pixels) const {
  return std::max(3, static_cast<int>(pixels / ((vertical ? 24 : 45) * scale_)));  // at least two labelled ticks
}

QRect PlotWidget::RoughArea() const { return rect().adjusted(Px(40), Px(10), -Px(10), -Px(22)); }

PlotMap PlotWidget::Layout(const Control& c, AxisSpan x, AxisSpan y) const {
  QFontMetrics fm(axisFont_);
  const int lh = fm.height();
  const GraphData& g = *c.graph;
  const int top = lh / 2 + Px(3);
  const int bottom = lh + Px(6) + (g.xAxis.name.empty() ? 0 : lh);
  const int areaH = std::max(10, height() - top - bottom);
  Ticks yt = NiceTicks(y, MaxTicks(true, areaH));
  int labelW = 0;
  for (int i = 0; i < yt.count; ++i) labelW = std::max(labelW, fm.horizontalAdvance(TickLabel(yt.first + i * yt.step, yt.decimals)));
  const int left = Px(8) + labelW + (g.yAxis.name.empty() ? 0 : lh + Px(2));
  // Room for half of the widest x label at the right end.
  Ticks xt = NiceTicks(x, MaxTicks(false, std::max(10, width() - left - Px(8))));
  int lastW = xt.count > 0 ? fm.horizontalAdvance(TickLabel(xt.first + (xt.count - 1) * xt.step, xt.decimals)) : 0;
  const int right = std::max(Px(8), lastW / 2 + Px(2));
  PlotMap map;
  map.x = x;
  map.y = y;
  map.area = QRectF(left, top, std::max(10, width() - left - right), areaH);
  return map;
}

PlotMap PlotWidget::PaintFrame(QPainter& p, const Control& c, AxisSpan x, AxisSpan y) {
  PlotMap map = Layout(c, x, y);
  const GraphData& g = *c.graph;
  FrameKey key{size(), x.min, x.max, y.min, y.max, g.xAxis.name, g.yAxis.name, c.frameColor, c.textColor,
               g.plotBgColor, isEnabled(), scale_, devicePixelRatioF()};
  if (!(key == frameKey_) || frameImage_.isNull()) {
    RenderFrame(key, map);
    frameKey_ = key;
  }
  p.drawImage(0, 0, frameImage_);
  return map;
}

void PlotWidget::RenderFrame(const FrameKey& key, const PlotMap& map) {
  frameImage_ = QImage(key.size * key.dpr, QImage::Format_ARGB32_Premultiplied);
  frameImage_.setDevicePixelRatio(key.dpr);
  frameImage_.fill(Rgb(key.frame));
  QPainter p(&frameImage_);
  p.setFont(axisFont_);
  QFontMetrics fm(axisFont_);
  const QRect area = map.area.toRect();
  const int tick = Px(3), gap = Px(1);
  p.fillRect(area, Rgb(key.plotBg));
  QColor text = key.enabled ? Rgb(key.text) : QColor(0x90, 0x90, 0x90);
  QPen grid(GridColour(key.plotBg), LineWidth());
  QPen ink(text, LineWidth());
  Ticks xt = NiceTicks(map.x, MaxTicks(false, area.width()));
  Ticks yt = NiceTicks(map.y, MaxTicks(true, area.height()));
  for (int i = 0; i < xt.count; ++i) {
    double v = xt.first + i * xt.step;
    int px = static_cast<int>(std::lround(map.X(v)));
    p.setPen(grid);
    p.drawLine(px, area.top(), px, area.bottom());
    p.setPen(ink);
    p.drawLine(px, area.bottom() + gap, px, area.bottom() + tick);
    QString label = TickLabel(v, xt.decimals);
    int w = fm.horizontalAdvance(label);
    p.drawText(px - w / 2, area.bottom() + tick + gap + fm.ascent(), label);
  }
  for (int i = 0; i < yt.count; ++i) {
    double v = yt.first + i * yt.step;
    int py = static_cast<int>(std::lround(map.Y(v)));
    p.setPen(grid);
    p.drawLine(area.left(), py, area.right(), py);
    p.setPen(ink);
    p.drawLine(area.left() - tick, py, area.left() - gap, py);
    QString label = TickLabel(v, yt.decimals);
    int w = fm.horizontalAdvance(label);
    p.drawText(area.left() - tick - Px(2) - w, py + fm.ascent() / 2 - gap, label);
  }
  // The frame lies just outside the plot area, as thick as the lines.
  p.setPen(Qt::NoPen);
  p.setBrush(text);
  const QRect outside = area.adjusted(-gap, -gap, gap, gap);
  p.drawRect(QRect(outside.left(), outside.top(), outside.width(), gap));
  p.drawRect(QRect(outside.left(), area.bottom() + 1, outside.width(), gap));
  p.drawRect(QRect(outside.left(), outside.top(), gap, outside.height()));
  p.drawRect(QRect(area.right() + 1, outside.top(), gap, outside.height()));
  p.setBrush(Qt::NoBrush);
  p.setPen(text);
  if (!key.xName.empty()) {
    QRect r(area.left(), area.bottom() + tick + gap + fm.height(), area.width(), fm.height());
    p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, QStr(key.xName));
  }
  if (!key.yName.empty()) {
    p.save();
    p.translate(Px(2), area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-area.height() / 2, 0, area.height(), fm.height()), Qt::AlignHCenter | Qt::AlignTop,
               QStr(key.yName));
    p.restore();
  }
}

}  // namespace ui::qt
