// Graphs: plots, cursors and the view-only zoom.
#include "ui/qt/graph_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <limits>
#include <memory>

#include "ui/operate.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

// Kinds of marks in the mirror.
constexpr short kPoint = 0, kSegment = 1, kOther = 2;

bool Transparent(int rgb) { return rgb < 0 || rgb > 0xFFFFFF; }

using Offset = Markers::Offset;

// The cache image's pixels and the data-to-device-pixel factors, fetched once per
// painting run: stamping 180000 points must not look them up per point.
struct Canvas {
  quint32* bits;      // first pixel of the image
  qsizetype stride;   // pixels per line
  int width, height;  // image size in device pixels
  double ax, bx;      // device pixel x = ax + bx * data x
  double ay, by;      // device pixel y = ay + by * data y
  const Markers* markers;
  Canvas(QImage& img, const PlotMap& map, const Markers& m)
      : bits(reinterpret_cast<quint32*>(img.bits())), stride(img.bytesPerLine() / 4), width(img.width()),
        height(img.height()), markers(&m) {
    const double dpr = img.devicePixelRatio();
    bx = dpr * (map.area.width() - 1) / (map.x.max - map.x.min);
    ax = dpr * map.area.left() - map.x.min * bx;
    by = -dpr * (map.area.height() - 1) / (map.y.max - map.y.min);
    ay = dpr * (map.area.top() + (map.area.height() - 1)) - map.y.min * by;
  }
};

void Stamp(const Canvas& c, int cx, int cy, quint32 argb, const std::vector<Offset>& pattern) {
  for (const Offset& o : pattern) {
    int x = cx + o.dx, y = cy + o.dy;
    if (x >= 0 && y >= 0 && x < c.width && y < c.height) c.bits[y * c.stride + x] = argb;
  }
}

void PutMarker(const Canvas& c, double x, double y, int rgb, int style) {
  double px = c.ax + c.bx * x, py = c.ay + c.by * y;
  const double reach = 3 * c.markers->size;
  // Off the image (or not a number): nothing to stamp.
  if (!(px > -reach && px < c.width + reach && py > -reach && py < c.height + reach)) return;
  int cx = static_cast<int>(std::floor(px + 0.5)), cy = static_cast<int>(std::floor(py + 0.5));
  quint32 argb = 0xFF000000u | static_cast<quint32>(rgb & 0xFFFFFF);
  // The usual marker at design size, well inside the image: three runs of three pixels, no clipping per pixel.
  if (style == VAL_SOLID_SQUARE && c.markers->size == 1 && cx >= 1 && cy >= 1 && cx < c.width - 1 &&
      cy < c.height - 1) {
    quint32* row = c.bits + (cy - 1) * c.stride + (cx - 1);
    for (int k = 0; k < 3; ++k, row += c.stride) row[0] = row[1] = row[2] = argb;
    return;
  }
  switch (style) {
    case VAL_SOLID_CIRCLE: Stamp(c, cx, cy, argb, c.markers->circle); break;
    case VAL_SIMPLE_DOT: Stamp(c, cx, cy, argb, c.markers->dot); break;
    case VAL_CROSS: Stamp(c, cx, cy, argb, c.markers->cross); break;
    default: Stamp(c, cx, cy, argb, c.markers->square); break;
  }
}

// A line plot; long ones with x in order are decimated to the pixel columns.
void DrawLinePlot(QPainter& p, const double* x, const double* y, std::size_t n, int rgb, const PlotMap& map,
                  qreal width) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Rgb(rgb), width));
  std::vector<QPointF> pts;
  if (n > static_cast<std::size_t>(map.area.width()) * 2 && (!x || NonDecreasing(x, n))) {
    DecimateMinMax(x, y, n, map, &pts);
    if (pts.size() > 1) p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    return;
  }
  pts.reserve(n);
  auto flush = [&] {
    if (pts.size() == 1) p.drawPoint(pts[0]);
    if (pts.size() > 1) p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    pts.clear();
  };
  for (std::size_t i = 0; i < n; ++i) {
    double xi = x ? x[i] : static_cast<double>(i);
    if (!std::isfinite(xi) || !std::isfinite(y[i])) {
      flush();  // a gap in the data is a gap in the line
      continue;
    }
    pts.emplace_back(map.X(xi), map.Y(y[i]));
  }
  flush();
}

// A grey that stands out from the plot area's colour.
int ContrastTo(int rgb) {
  const int luma = (((rgb >> 16) & 0xFF) * 299 + ((rgb >> 8) & 0xFF) * 587 + (rgb & 0xFF) * 114) / 1000;
  return luma < 128 ? 0xC0C0C0 : 0x404040;
}

void DrawShape(QPainter& p, const PlotData& plot, const PlotMap& map, int plotBg, qreal width) {
  if (plot.x.size() < 2 || plot.y.size() < 2) return;
  QRectF r = QRectF(QPointF(map.X(plot.x[0]), map.Y(plot.y[0])), QPointF(map.X(plot.x[1]), map.Y(plot.y[1])))
                 .normalized();
  p.setBrush(Transparent(plot.fillColor) ? QBrush(Qt::NoBrush) : QBrush(Rgb(plot.fillColor)));
  if (plot.kind == PLOT_OVAL) {
    p.setRenderHint(QPainter::Antialiasing, true);
    // A taught region in any colour, black on black included, is seen by its thin outline
    // in a grey that stands out from the plot area; the row's colour runs inside it.
    p.setPen(QPen(Rgb(ContrastTo(plotBg)), 3 * width));
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Rgb(plot.color), width));
    p.drawEllipse(r);
  } else {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Rgb(plot.color), width));
    p.drawRect(r);
  }
  p.setBrush(Qt::NoBrush);
}

bool SameSpan(AxisSpan a, AxisSpan b) { return a.min == b.min && a.max == b.max; }

// Whether plots[0 .. count) are still the plots counted before (the model only appends).
bool PrefixHolds(const std::vector<PlotData>& plots, std::size_t count, int firstHandle, int lastHandle) {
  if (count == 0) return true;
  return count <= plots.size() && plots[0].handle == firstHandle && plots[count - 1].handle == lastHandle;
}

}  // namespace

void Markers::Make(double s) {
  if (s == size) return;
  size = s;
  square.clear();
  circle.clear();
  dot.clear();
  cross.clear();
  auto block = [](std::vector<Offset>& out, int side) {
    const int from = -(side / 2);
    for (int dy = from; dy < from + side; ++dy) {
      for (int dx = from; dx < from + side; ++dx) out.push_back({static_cast<short>(dx), static_cast<short>(dy)});
    }
  };
  block(square, std::max(1, static_cast<int>(std::lround(3 * s))));
  block(dot, std::max(1, static_cast<int>(std::lround(s))));
  const double r = 2.3 * s;  // 5 across without its four corners at size 1
  const int arm = std::max(1, static_cast<int>(std::lround(2 * s)));
  const int thick = std::max(1, static_cast<int>(std::lround(s)));
  const int reach = std::max(static_cast<int>(r), arm);
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const Offset o{static_cast<short>(dx), static_cast<short>(dy)};
      if (dx * dx + dy * dy <= r * r) circle.push_back(o);
      if (std::abs(dx) <= arm && std::abs(dy) <= arm && (std::abs(dx - dy) < thick || std::abs(dx + dy) < thick)) {
        cross.push_back(o);
      }
    }
  }
}

GraphWidget::GraphWidget(int panel, int id, const Control* source, QWidget* parent)
    : PlotWidget(panel, id, source, parent) {}

// [SECTION] Scaling

void GraphWidget::GrowMirror(const GraphData& g) {
  const auto& plots = g.plots;
  Mirror& m = mirror_;
  if (!PrefixHolds(plots, m.marks.size(), m.firstHandle, m.lastHandle)) {
    long generation = m.generation + 1;
    m = Mirror{};
    m.generation = generation;
  }
  auto add = [&m](double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (!m.any) {
      m.xlo = m.xhi = x;
      m.ylo = m.yhi = y;
      m.any = true;
      return;
    }
    m.xlo = std::min(m.xlo, x);
    m.xhi = std::max(m.xhi, x);
    m.ylo = std::min(m.ylo, y);
    m.yhi = std::max(m.yhi, y);
  };
  for (std::size_t i = m.marks.size(); i < plots.size(); ++i) {
    const PlotData& p = plots[i];
    Mark mark;
    mark.color = p.color;
    mark.style = static_cast<short>(p.pointStyle);
    std::size_t n = std::min(p.x.size(), p.y.size());
    if (p.kind == PLOT_POINT && n >= 1) {
      mark.kind = kPoint;
      mark.x0 = p.x[0];
      mark.y0 = p.y[0];
    } else if (p.kind == PLOT_XY && p.x.size() == 2 && p.y.size() == 2) {
      mark.kind = kSegment;
      mark.x0 = p.x[0];
      mark.y0 = p.y[0];
      mark.x1 = p.x[1];
      mark.y1 = p.y[1];
    } else {
      mark.kind = kOther;
    }
    m.marks.push_back(mark);
    if (p.kind == PLOT_Y) {
      for (std::size_t k = 0; k < p.y.size(); ++k) add(static_cast<double>(k), p.y[k]);
    } else {
      for (std::size_t k = 0; k < n; ++k) add(p.x[k], p.y[k]);
    }
  }
  if (!plots.empty()) {
    m.firstHandle = plots.front().handle;
    m.lastHandle = plots.back().handle;
  }
}

void GraphWidget::Spans(const GraphData& g, AxisSpan* x, AxisSpan* y) {
  if (zoomed_ && g.axisSets != zoomedAxisSets_) zoomed_ = false;
  if (zoomed_) {
    *x = zoomX_;
    *y = zoomY_;
    return;
  }
  QRect rough = RoughArea();
  // The extent of the plots and of the segment chains together.
  bool any = mirror_.any;
  double xlo = mirror_.xlo, xhi = mirror_.xhi, ylo = mirror_.ylo, yhi = mirror_.yhi;
  for (const SegmentChain& chain : g.chains) {
    if (chain.xy.empty()) continue;
    xlo = any ? std::min(xlo, chain.xlo) : chain.xlo;
    xhi = any ? std::max(xhi, chain.xhi) : chain.xhi;
    ylo = any ? std::min(ylo, chain.ylo) : chain.ylo;
    yhi = any ? std::max(yhi, chain.yhi) : chain.yhi;
    any = true;
  }
  auto axis = [any](const AxisData& a, double lo, double hi, int ticks) {
    if (a.mode == VAL_MANUAL && a.max > a.min) return AxisSpan{a.min, a.max};
    if (!any) return a.max > a.min ? AxisSpan{a.min, a.max} : AxisSpan{0, 10};
    return AutoSpan(lo, hi, ticks);
  };
  *x = axis(g.xAxis, xlo, xhi, MaxTicks(false, rough.width()));
  *y = axis(g.yAxis, ylo, yhi, MaxTicks(true, rough.height()));
}

// [SECTION] Painting

void GraphWidget::UpdateCache(const GraphData& g, const PlotMap& map) {
  QSize size = map.area.size().toSize();
  const qreal dpr = devicePixelRatioF();
  bool valid = cache_.image.size() == size * dpr && cache_.image.devicePixelRatio() == dpr &&
               cache_.scale == LineWidth() && SameSpan(cache_.x, map.x) && SameSpan(cache_.y, map.y) &&
               cache_.generation == mirror_.generation && cache_.count <= mirror_.marks.size();
  if (!valid) {
    cache_.image = QImage(size * dpr, QImage::Format_ARGB32_Premultiplied);
    cache_.image.setDevicePixelRatio(dpr);
    cache_.image.fill(Qt::transparent);
    cache_.scale = LineWidth();
    cache_.count = 0;
    cache_.x = map.x;
    cache_.y = map.y;
    cache_.generation = mirror_.generation;
  }
  if (cache_.count < mirror_.marks.size()) {
    PlotMap local = map;
    local.area = QRectF(0, 0, size.width(), size.height());
    PaintPlots(g, cache_.count, local);
  }
  cache_.count = mirror_.marks.size();
}

// Paints marks[from ..] onto the cache in drawing order. Points are stamped
// into the pixels without a painter; runs of two-point segments of one colour
// (the recorder's growing lines) go to the painter as one batch.
void GraphWidget::PaintPlots(const GraphData& g, std::size_t from, const PlotMap& local) {
  QImage& img = cache_.image;
  std::unique_ptr<QPainter> painter;
  auto open = [&]() -> QPainter& {
    if (!painter) painter = std::make_unique<QPainter>(&img);
    return *painter;
  };
  std::vector<QLineF> segments;
  int segmentColour = -1;
  auto flushSegments = [&] {
    if (segments.empty()) return;
    QPainter& p = open();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Rgb(segmentColour), LineWidth()));
    p.drawLines(segments.data(), static_cast<int>(segments.size()));
    segments.clear();
  };
  const std::vector<Mark>& marks = mirror_.marks;
  markers_.Make(LineWidth() * img.devicePixelRatio());
  const Canvas canvas(img, local, markers_);  // the painter paints into the same pixels, so this stays valid
  for (std::size_t i = from; i < marks.size(); ++i) {
    const Mark& m = marks[i];
    ++plotsPainted_;
    if (m.kind == kSegment) {
      if (segmentColour != m.color) flushSegments();
      segmentColour = m.color;
      segments.emplace_back(local.X(m.x0), local.Y(m.y0), local.X(m.x1), local.Y(m.y1));
      continue;
    }
    flushSegments();
    if (m.kind == kPoint) {
      painter.reset();  // the stamp writes the pixels itself
      PutMarker(canvas, m.x0, m.y0, m.color, m.style);
      continue;
    }
    const PlotData& plot = g.plots[i];  // the mirror's prefix is the model's
    std::size_t n = std::min(plot.x.size(), plot.y.size());
    switch (plot.kind) {
      case PLOT_Y: DrawLinePlot(open(), nullptr, plot.y.data(), plot.y.size(), plot.color, local, LineWidth()); break;
      case PLOT_XY: DrawLinePlot(open(), plot.x.data(), plot.y.data(), n, plot.color, local, LineWidth()); break;
      case PLOT_OVAL:
      case PLOT_RECT: DrawShape(open(), plot, local, g.plotBgColor, LineWidth()); break;
      case PLOT_POINT: break;
    }
  }
  flushSegments();
}

void GraphWidget::PaintCursors(QPainter& p, const GraphData& g, const PlotMap& map) {
  const QRectF& a = map.area;
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  const double box = Px(3);
  for (const CursorData& cur : g.cursors) {
    if (!std::isfinite(cur.x) || !std::isfinite(cur.y)) continue;
    double px = std::round(map.X(cur.x)), py = std::round(map.Y(cur.y));
    p.setPen(QPen(Rgb(cur.color), LineWidth()));
    bool inX = px >= a.left() && px <= a.right(), inY = py >= a.top() && py <= a.bottom();
    if (inX) p.drawLine(QPointF(px, a.top()), QPointF(px, a.bottom()));
    if (inY) p.drawLine(QPointF(a.left(), py), QPointF(a.right(), py));
    if (inX && inY) p.drawRect(QRectF(px - box, py - box, 2 * box, 2 * box));
  }
}

void GraphWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const Control* c = Source();
  if (!c) {
    p.fillRect(rect(), palette().window());
    return;
  }
  const GraphData& g = *c->graph;
  TakeScale();
  GrowMirror(g);
  AxisSpan xs, ys;
  Spans(g, &xs, &ys);
  PlotMap map = PaintFrame(p, *c, xs, ys);
  lastMap_ = map;
  UpdateCache(g, map);
  p.drawImage(map.area.topLeft(), cache_.image);
  p.setClipRect(map.area);
  PaintSegmentChains(p, g, map, LineWidth());
  PaintCursors(p, g, map);
  if (zooming_) {
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), LineWidth(), Qt::DashLine));
    p.drawRect(QRect(zoomFrom_, zoomTo_).normalized());
  }
}

// [SECTION] Mouse: cursors and zoom

int GraphWidget::CursorNear(const GraphData& g, QPointF at) const {
  int best = 1;
  double bestDistance = 1e300;
  for (std::size_t i = 0; i < g.cursors.size(); ++i) {
    double dx = std::fabs(lastMap_.X(g.cursors[i].x) - at.x());
    double dy = std::fabs(lastMap_.Y(g.cursors[i].y) - at.y());
    double d = std::min(dx, dy);  // a crosshair is grabbed by either of its lines
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i) + 1;
    }
  }
  return best;
}

bool GraphWidget::NearestMark(QPointF at, double* x, double* y) const {
  double best = std::numeric_limits<double>::infinity();
  auto consider = [&](double mx, double my) {
    double dx = lastMap_.X(mx) - at.x(), dy = lastMap_.Y(my) - at.y();
    double d = dx * dx + dy * dy;
    if (d < best) {  // the first of equally near points wins, as the program's search does
      best = d;
      *x = mx;
      *y = my;
    }
  };
  for (const Mark& m : mirror_.marks) {
    if (m.kind == kPoint) {
      consider(m.x0, m.y0);
    } else if (m.kind == kSegment) {
      consider(m.x0, m.y0);
      consider(m.x1, m.y1);
    }
  }
  return std::isfinite(best);
}

void GraphWidget::MoveCursorTo(QPointF at, bool release) {
  const QRectF& a = lastMap_.area;
  double px = std::clamp(at.x(), a.left(), a.right());
  double py = std::clamp(at.y(), a.top(), a.bottom());
  double x = lastMap_.DataX(px), y = lastMap_.DataY(py);
  // A snapping cursor takes the point nearest on the screen, whatever the two axes' scales;
  // its data then reach the model exactly.
  const Control* c = Source();
  if (c && c->graph && c->graph->cursorSnap) NearestMark(QPointF(px, py), &x, &y);
  Act([&] { op::MoveCursor(Panel(), Id(), dragCursor_, x, y, release); });
}

void GraphWidget::mousePressEvent(QMouseEvent* e) {
  const Control* c = Source();
  if (!c || e->button() != Qt::LeftButton) return;
  const GraphData& g = *c->graph;
  QPointF at = e->position();
  if ((e->modifiers() & Qt::ControlModifier) && g.enableZoom) {
    zooming_ = true;
    zoomFrom_ = zoomTo_ = at.toPoint();
    update();
    return;
  }
  // An indicator graph's cursors are the program's to place.
  if (g.cursors.empty() || c->mode == VAL_INDICATOR || !lastMap_.area.contains(at)) return;
  // A press in the plot area takes the nearest cursor there; dragging moves it on.
  dragCursor_ = CursorNear(g, at);
  MoveCursorTo(at, false);
}

void GraphWidget::mouseMoveEvent(QMouseEvent* e) {
  if (zooming_) {
    zoomTo_ = e->position().toPoint();
    update();
  } else if (dragCursor_ > 0) {
    MoveCursorTo(e->position(), false);
  }
}

void GraphWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (zooming_) {
    zooming_ = false;
    QRect r = QRect(zoomFrom_, e->position().toPoint()).normalized().intersected(lastMap_.area.toRect());
    const Control* c = Source();
    if (c && r.width() > Px(4) && r.height() > Px(4)) {
      zoomX_ = AxisSpan{lastMap_.DataX(r.left()), lastMap_.DataX(r.right())};
      zoomY_ = AxisSpan{lastMap_.DataY(r.bottom()), lastMap_.DataY(r.top())};
      zoomedAxisSets_ = c->graph->axisSets;
      zoomed_ = true;
    }
    update();
    return;
  }
  if (dragCursor_ > 0) {
    MoveCursorTo(e->position(), true);  // the release commits the cursor's place
    dragCursor_ = 0;
  }
}

void GraphWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if ((e->modifiers() & Qt::ControlModifier) && zoomed_) {
    zoomed_ = false;
    update();
  }
}

// [SECTION] Sync

QWidget* CreateGraphBody(CtrlView& v, const Control& c, QWidget* parent) {
  return new GraphWidget(v.panel, v.id, &c, parent);
}

void ApplyPlotArea(CtrlView& v, const Control& c) {
  QWidget* w = v.body;
  if (c.kind == CTRL_GRAPH) {
    std::string tip = c.tooltip;
    if (c.graph && c.graph->enableZoom) {
      tip += std::string(tip.empty() ? "" : "\n") + "Ctrl+drag zooms in; Ctrl+double click shows all again.";
    }
    if (v.shown.tooltip != tip) {
      w->setToolTip(QStr(tip));
      if (v.caption) v.caption->setToolTip(QStr(tip));
      v.shown.tooltip = tip;
    }
  }
  w->update();  // the widget reads the model when it paints
}

}  // namespace ui::qt
