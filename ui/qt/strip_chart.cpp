// Strip charts: interleaved traces scrolling through `pointsPerScreen` places.
//
// The measuring loop replaces the whole content every frame, so there is
// nothing worth caching but the frame; long screens are decimated to the
// pixel columns.
#include <QPainter>

#include <cmath>
#include <cstdlib>

#include "ui/qt/plot_widget.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

class StripChartWidget : public PlotWidget {
 public:
  using PlotWidget::PlotWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const Control* c = Source();
    if (!c) {
      p.fillRect(rect(), palette().window());
      return;
    }
    const GraphData& g = *c->graph;
    TakeScale();
    AxisSpan xs{0, static_cast<double>(std::max(1, g.pointsPerScreen - 1))};
    PlotMap map = PaintFrame(p, *c, xs, YSpan(g));
    p.setClipRect(map.area);
    for (const TraceData& t : g.traces) {
      if (t.visible) PaintTrace(p, t, map);
    }
    PaintLegend(p, g, map);
  }

 private:
  AxisSpan YSpan(const GraphData& g) const {
    if (g.yAxis.mode == VAL_MANUAL && g.yAxis.max > g.yAxis.min) return AxisSpan{g.yAxis.min, g.yAxis.max};
    double lo = 0, hi = 0;
    bool any = false;
    for (const TraceData& t : g.traces) {
      if (!t.visible) continue;
      for (double v : t.points) {
        if (!std::isfinite(v)) continue;
        lo = any ? std::min(lo, v) : v;
        hi = any ? std::max(hi, v) : v;
        any = true;
      }
    }
    if (!any) return g.yAxis.max > g.yAxis.min ? AxisSpan{g.yAxis.min, g.yAxis.max} : AxisSpan{0, 10};
    return AutoSpan(lo, hi, MaxTicks(true, RoughArea().height()));
  }

  void PaintTrace(QPainter& p, const TraceData& t, const PlotMap& map) {
    ys_.assign(t.points.begin(), t.points.end());
    pts_.clear();
    if (ys_.size() > static_cast<std::size_t>(map.area.width()) * 2) {
      DecimateMinMax(nullptr, ys_.data(), ys_.size(), map, &pts_);
    } else {
      for (std::size_t i = 0; i < ys_.size(); ++i) {
        if (std::isfinite(ys_[i])) pts_.emplace_back(map.X(static_cast<double>(i)), map.Y(ys_[i]));
      }
    }
    p.setPen(QPen(Rgb(t.color), LineWidth()));
    if (pts_.size() == 1) p.drawPoint(pts_[0]);
    if (pts_.size() > 1) p.drawPolyline(pts_.data(), static_cast<int>(pts_.size()));
  }

  // The label's colour: the trace's, mixed halfway towards white or black where it is too close
  // in brightness to the plot area to be read (blue on black).
  static QColor LegibleOn(QColor c, QColor bg) {
    auto luma = [](const QColor& q) { return (q.red() * 299 + q.green() * 587 + q.blue() * 114) / 1000; };
    if (std::abs(luma(c) - luma(bg)) >= 60) return c;
    const int to = luma(bg) < 128 ? 255 : 0;
    return QColor((c.red() + to) / 2, (c.green() + to) / 2, (c.blue() + to) / 2);
  }

  // Trace labels, when the program gave any, in the top right corner.
  void PaintLegend(QPainter& p, const GraphData& g, const PlotMap& map) {
    QFontMetrics fm(font());
    p.setFont(font());
    int y = static_cast<int>(map.area.top()) + Px(3);
    for (const TraceData& t : g.traces) {
      if (t.label.empty() || !t.visible) continue;
      QString label = QStr(t.label);
      int w = fm.horizontalAdvance(label);
      int x = static_cast<int>(map.area.right()) - w - Px(6);
      p.setPen(QPen(Rgb(t.color), LineWidth()));
      p.drawLine(x - Px(14), y + fm.ascent() / 2, x - Px(3), y + fm.ascent() / 2);
      p.setPen(LegibleOn(Rgb(t.color), Rgb(g.plotBgColor)));
      p.drawText(x, y + fm.ascent(), label);
      y += fm.height();
    }
  }

  std::vector<double> ys_;    // one trace's points, contiguous for decimation
  std::vector<QPointF> pts_;  // the polyline painted
};

}  // namespace

QWidget* CreateStripChartBody(CtrlView& v, const Control& c, QWidget* parent) {
  return new StripChartWidget(v.panel, v.id, &c, parent);
}

}  // namespace ui::qt
