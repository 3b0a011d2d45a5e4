// Frame and axes of graphs and strip charts.
#include "ui/qt/plot_widget.h"

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
  axisFont_ = font();
  axisFont_.setPointSize(std::max(7, axisFont_.pointSize() - 1));
}

const Control* PlotWidget::Source() const {
  const Control* c = FindControl(panel_, id_);
  return (c && c == source_ && c->graph) ? c : nullptr;
}

int PlotWidget::MaxTicks(bool vertical, int pixels) const {
  return std::max(3, pixels / (vertical ? 24 : 45));  // at least two labelled ticks on short axes
}

QRect PlotWidget::RoughArea() const { return rect().adjusted(40, 10, -10, -22); }

PlotMap PlotWidget::Layout(const Control& c, AxisSpan x, AxisSpan y) const {
  QFontMetrics fm(axisFont_);
  const int lh = fm.height();
  const GraphData& g = *c.graph;
  const int top = lh / 2 + 3;
  const int bottom = lh + 6 + (g.xAxis.name.empty() ? 0 : lh);
  const int areaH = std::max(10, height() - top - bottom);
  Ticks yt = NiceTicks(y, MaxTicks(true, areaH));
  int labelW = 0;
  for (int i = 0; i < yt.count; ++i) labelW = std::max(labelW, fm.horizontalAdvance(TickLabel(yt.first + i * yt.step, yt.decimals)));
  const int left = 8 + labelW + (g.yAxis.name.empty() ? 0 : lh + 2);
  // Room for half of the widest x label at the right end.
  Ticks xt = NiceTicks(x, MaxTicks(false, std::max(10, width() - left - 8)));
  int lastW = xt.count > 0 ? fm.horizontalAdvance(TickLabel(xt.first + (xt.count - 1) * xt.step, xt.decimals)) : 0;
  const int right = std::max(8, lastW / 2 + 2);
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
               g.plotBgColor, isEnabled()};
  if (!(key == frameKey_) || frameImage_.isNull()) {
    RenderFrame(key, map);
    frameKey_ = key;
  }
  p.drawImage(0, 0, frameImage_);
  return map;
}

void PlotWidget::RenderFrame(const FrameKey& key, const PlotMap& map) {
  frameImage_ = QImage(key.size, QImage::Format_ARGB32_Premultiplied);
  frameImage_.fill(Rgb(key.frame));
  QPainter p(&frameImage_);
  p.setFont(axisFont_);
  QFontMetrics fm(axisFont_);
  const QRect area = map.area.toRect();
  p.fillRect(area, Rgb(key.plotBg));
  QColor text = key.enabled ? Rgb(key.text) : QColor(0x90, 0x90, 0x90);
  QColor grid = GridColour(key.plotBg);
  Ticks xt = NiceTicks(map.x, MaxTicks(false, area.width()));
  Ticks yt = NiceTicks(map.y, MaxTicks(true, area.height()));
  for (int i = 0; i < xt.count; ++i) {
    double v = xt.first + i * xt.step;
    int px = static_cast<int>(std::lround(map.X(v)));
    p.setPen(grid);
    p.drawLine(px, area.top(), px, area.bottom());
    p.setPen(text);
    p.drawLine(px, area.bottom() + 1, px, area.bottom() + 3);
    QString label = TickLabel(v, xt.decimals);
    int w = fm.horizontalAdvance(label);
    p.drawText(px - w / 2, area.bottom() + 4 + fm.ascent(), label);
  }
  for (int i = 0; i < yt.count; ++i) {
    double v = yt.first + i * yt.step;
    int py = static_cast<int>(std::lround(map.Y(v)));
    p.setPen(grid);
    p.drawLine(area.left(), py, area.right(), py);
    p.setPen(text);
    p.drawLine(area.left() - 3, py, area.left() - 1, py);
    QString label = TickLabel(v, yt.decimals);
    int w = fm.horizontalAdvance(label);
    p.drawText(area.left() - 5 - w, py + fm.ascent() / 2 - 1, label);
  }
  p.setPen(text);
  p.drawRect(area.adjusted(-1, -1, 0, 0));
  if (!key.xName.empty()) {
    QRect r(area.left(), area.bottom() + 4 + fm.height(), area.width(), fm.height());
    p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, QStr(key.xName));
  }
  if (!key.yName.empty()) {
    p.save();
    p.translate(2, area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-area.height() / 2, 0, area.height(), fm.height()), Qt::AlignHCenter | Qt::AlignTop,
               QStr(key.yName));
    p.restore();
  }
}

}  // namespace ui::qt
