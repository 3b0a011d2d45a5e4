// Graphs and strip charts of the retained model.
#include <algorithm>
#include <cmath>

#include "ui/model.h"
#include "ui/runtime_internal.h"

namespace ui {

namespace {

// Keeps the newest `keep` points of a trace.
void DropOldestPoints(std::vector<double>& points, int keep) {
  const std::size_t k = static_cast<std::size_t>(keep);
  if (points.size() > k) points.erase(points.begin(), points.end() - static_cast<std::ptrdiff_t>(k));
}

}  // namespace

int GraphAttribute(Control& c, Attr attr, int value) {
  GraphData* g = c.graph.get();
  if (!g) return UIE_BAD_ATTRIBUTE;
  switch (attr) {
    case ATTR_POINTS_PER_SCREEN: {
      value = std::clamp(value, 2, 100000);
      if (g->pointsPerScreen == value) return UI_OK;
      g->pointsPerScreen = value;
      for (auto& t : g->traces) DropOldestPoints(t.points, value);
      g->stripRev++;
      break;
    }
    case ATTR_ENABLE_ZOOM: g->enableZoom = value ? 1 : 0; break;
    case ATTR_CURSOR_SNAP: g->cursorSnap = value ? 1 : 0; break;
    case ATTR_NUM_CURSORS: g->cursors.resize(std::clamp(value, 0, 16)); break;
    case ATTR_PLOT_BGCOLOR: g->plotBgColor = value; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  Touch(c);
  return UI_OK;
}

int GetGraphAttribute(const Control& c, Attr attr, int* value) {
  const GraphData* g = c.graph.get();
  if (!g) {
    if (c.table && attr == ATTR_NUM_ROWS) {
      *value = c.table->rows;
      return UI_OK;
    }
    if (c.table && attr == ATTR_NUM_COLUMNS) {
      *value = c.table->columns;
      return UI_OK;
    }
    return UIE_BAD_ATTRIBUTE;
  }
  switch (attr) {
    case ATTR_POINTS_PER_SCREEN: *value = g->pointsPerScreen; break;
    case ATTR_NUM_TRACES: *value = static_cast<int>(g->traces.size()); break;
    case ATTR_ENABLE_ZOOM: *value = g->enableZoom; break;
    case ATTR_CURSOR_SNAP: *value = g->cursorSnap; break;
    case ATTR_NUM_CURSORS: *value = static_cast<int>(g->cursors.size()); break;
    case ATTR_PLOT_BGCOLOR: *value = g->plotBgColor; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

}  // namespace ui

using namespace ui;

namespace {

GraphData* FindGraph(int panel, int control, Control** owner = nullptr) {
  Control* c = FindControl(panel, control);
  if (!c || !c->graph) return nullptr;
  if (owner) *owner = c;
  return c->graph.get();
}

// The two small vectors of rectangles, ovals and points that a graph deletes all at once
// keep their storage here for the next such plot: the calibration page's bars are deleted
// and plotted again on every GO frame, which otherwise costs four allocations a bar.
constexpr std::size_t kSparePlotLimit = 64;
constexpr std::size_t kSmallPlotValues = 2;

std::vector<PlotData>& SparePlots() {
  static std::vector<PlotData> spare;
  return spare;
}

void KeepSmallPlot(PlotData& plot) {
  std::vector<PlotData>& spare = SparePlots();
  if (spare.size() < kSparePlotLimit && plot.x.capacity() <= kSmallPlotValues &&
      plot.y.capacity() <= kSmallPlotValues && plot.x.capacity() > 0 && plot.y.capacity() > 0) {
    spare.push_back(std::move(plot));
  }
}

// A new plot of `kind`, with the storage of a deleted small plot when there is one.
PlotData SmallPlot(PlotKind kind) {
  PlotData p;
  p.kind = kind;
  std::vector<PlotData>& spare = SparePlots();
  if (!spare.empty()) {
    p.x = std::move(spare.back().x);
    p.y = std::move(spare.back().y);
    spare.pop_back();
    p.x.clear();
    p.y.clear();
  }
  return p;
}

int AddPlot(int panel, int control, PlotData plot) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g || c->kind != CTRL_GRAPH) return UIE_BAD_CONTROL;
  plot.handle = g->nextPlotHandle++;
  if (g->nextPlotHandle <= 0) g->nextPlotHandle = 1;
  int handle = plot.handle;
  g->plots.push_back(std::move(plot));
  Touch(*c);
  return handle;
}

}  // namespace

// [SECTION] Graphs

int PlotY(int panel, int control, const double* y, int count, int color) {
  if (!y || count < 0) return UIE_BAD_INDEX;
  PlotData p;
  p.kind = PLOT_Y;
  p.y.assign(y, y + count);
  p.color = color;
  return AddPlot(panel, control, std::move(p));
}

int PlotXY(int panel, int control, const double* x, const double* y, int count, int color) {
  if (!x || !y || count < 0) return UIE_BAD_INDEX;
  PlotData p;
  p.kind = PLOT_XY;
  p.x.assign(x, x + count);
  p.y.assign(y, y + count);
  p.color = color;
  return AddPlot(panel, control, std::move(p));
}

int PlotPoint(int panel, int control, double x, double y, int pointStyle, int color) {
  PlotData p = SmallPlot(PLOT_POINT);
  p.x.push_back(x);
  p.y.push_back(y);
  p.pointStyle = pointStyle;
  p.color = color;
  return AddPlot(panel, control, std::move(p));
}

int PlotOval(int panel, int control, double x1, double y1, double x2, double y2, int color, int fillColor) {
  PlotData p = SmallPlot(PLOT_OVAL);
  p.x.assign({x1, x2});
  p.y.assign({y1, y2});
  p.color = color;
  p.fillColor = fillColor;
  return AddPlot(panel, control, std::move(p));
}

int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color,
                  int fillColor) {
  PlotData p = SmallPlot(PLOT_RECT);
  p.x.assign({x1, x2});
  p.y.assign({y1, y2});
  p.color = color;
  p.fillColor = fillColor;
  return AddPlot(panel, control, std::move(p));
}

namespace {

// The older half of a full chain becomes the lowest and highest point of every four, in
// their order; the newest half, with the point the next segment joins, stays as it is.
void ThinChain(SegmentChain& chain) {
  const std::size_t n = chain.Points();
  const std::size_t half = (n / 2) & ~std::size_t{3};
  std::vector<float>& xy = chain.xy;
  std::size_t out = 0;
  for (std::size_t group = 0; group < half; group += 4) {
    std::size_t lo = group, hi = group;
    for (std::size_t k = group + 1; k < group + 4; ++k) {
      if (xy[2 * k + 1] < xy[2 * lo + 1]) lo = k;
      if (xy[2 * k + 1] > xy[2 * hi + 1]) hi = k;
    }
    const std::size_t first = std::min(lo, hi), second = std::max(lo, hi);
    xy[2 * out] = xy[2 * first];
    xy[2 * out + 1] = xy[2 * first + 1];
    ++out;
    if (second != first) {
      xy[2 * out] = xy[2 * second];
      xy[2 * out + 1] = xy[2 * second + 1];
      ++out;
    }
  }
  xy.erase(xy.begin() + static_cast<std::ptrdiff_t>(2 * out), xy.begin() + static_cast<std::ptrdiff_t>(2 * half));
  // An old chain thinned again and again would keep the memory of its longest days.
  if (xy.capacity() > 2 * xy.size()) xy.shrink_to_fit();
  ++chain.thinned;
}

void Extend(SegmentChain& chain, double x, double y) {
  if (chain.xy.empty()) {
    chain.xlo = chain.xhi = x;
    chain.ylo = chain.yhi = y;
  } else {
    chain.xlo = std::min(chain.xlo, x);
    chain.xhi = std::max(chain.xhi, x);
    chain.ylo = std::min(chain.ylo, y);
    chain.yhi = std::max(chain.yhi, y);
  }
  chain.xy.push_back(static_cast<float>(x));
  chain.xy.push_back(static_cast<float>(y));
}

}  // namespace

int PlotLineSegment(int panel, int control, double x1, double y1, double x2, double y2, int color) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g || c->kind != CTRL_GRAPH) return UIE_BAD_CONTROL;
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return UIE_BAD_INDEX;
  SegmentChain* chain = g->chains.empty() ? nullptr : &g->chains.back();
  const auto joins = [&](const SegmentChain& ch) {
    const std::size_t n = ch.xy.size();
    return ch.color == color && n >= 2 && ch.xy[n - 2] == static_cast<float>(x1) && ch.xy[n - 1] == static_cast<float>(y1);
  };
  if (!chain || !joins(*chain)) {
    std::size_t total = 0;
    for (const SegmentChain& ch : g->chains) total += ch.Points();
    for (bool thinned = true; total > SEGMENT_GRAPH_POINT_LIMIT - SEGMENT_CHAIN_POINT_LIMIT && thinned;) {
      thinned = false;
      for (SegmentChain& ch : g->chains) {
        const std::size_t before = ch.Points();
        if (before < 8) continue;
        ThinChain(ch);
        total -= before - ch.Points();
        thinned = thinned || ch.Points() < before;
        if (total <= SEGMENT_GRAPH_POINT_LIMIT - SEGMENT_CHAIN_POINT_LIMIT) break;
      }
    }
    // Chains come one at a time, so at the limit one goes.
    if (g->chains.size() >= SEGMENT_GRAPH_CHAIN_LIMIT) g->chains.erase(g->chains.begin());
    g->chains.emplace_back();
    chain = &g->chains.back();
    chain->handle = g->nextPlotHandle++;
    if (g->nextPlotHandle <= 0) g->nextPlotHandle = 1;
    chain->color = color;
    Extend(*chain, x1, y1);
  }
  Extend(*chain, x2, y2);
  ++chain->segments;
  if (chain->Points() > SEGMENT_CHAIN_POINT_LIMIT) ThinChain(*chain);
  ++g->chainRev;
  Touch(*c);
  return chain->handle;
}

int DeleteGraphPlot(int panel, int control, int plotHandle) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g) return UIE_BAD_CONTROL;
  if (plotHandle == -1) {
    if (g->plots.empty() && g->chains.empty()) return UI_OK;
    for (PlotData& p : g->plots) KeepSmallPlot(p);
    g->plots.clear();
    g->chains.clear();
    ++g->chainRev;
  } else {
    auto it = std::find_if(g->plots.begin(), g->plots.end(), [&](const PlotData& p) { return p.handle == plotHandle; });
    auto ch = std::find_if(g->chains.begin(), g->chains.end(),
                           [&](const SegmentChain& s) { return s.handle == plotHandle; });
    if (it != g->plots.end()) {
      g->plots.erase(it);
    } else if (ch != g->chains.end()) {
      g->chains.erase(ch);
      ++g->chainRev;
    } else {
      return UIE_BAD_INDEX;
    }
  }
  Touch(*c);
  return UI_OK;
}

int GetNumGraphPlots(int panel, int control, int* count) {
  GraphData* g = FindGraph(panel, control);
  if (!g || !count) return UIE_BAD_CONTROL;
  *count = static_cast<int>(g->plots.size() + g->chains.size());
  return UI_OK;
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g) return UIE_BAD_CONTROL;
  AxisData* a = axis == VAL_XAXIS ? &g->xAxis : axis == VAL_LEFT_YAXIS ? &g->yAxis : nullptr;
  if (!a || (mode != VAL_MANUAL && mode != VAL_AUTOSCALE)) return UIE_BAD_ATTRIBUTE;
  if (mode == VAL_MANUAL && !(min < max)) return UIE_BAD_INDEX;
  a->mode = mode;
  if (mode == VAL_MANUAL) {
    a->min = min;
    a->max = max;
  }
  ++g->axisSets;
  Touch(*c);
  return UI_OK;
}

int GetAxisScalingMode(int panel, int control, int axis, int* mode, double* min, double* max) {
  GraphData* g = FindGraph(panel, control);
  if (!g) return UIE_BAD_CONTROL;
  const AxisData* a = axis == VAL_XAXIS ? &g->xAxis : axis == VAL_LEFT_YAXIS ? &g->yAxis : nullptr;
  if (!a) return UIE_BAD_ATTRIBUTE;
  if (mode) *mode = a->mode;
  if (min) *min = a->min;
  if (max) *max = a->max;
  return UI_OK;
}

int SetGraphCursor(int panel, int control, int cursorNumber, double x, double y) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g) return UIE_BAD_CONTROL;
  if (cursorNumber < 1 || cursorNumber > 16) return UIE_BAD_INDEX;
  if (cursorNumber > static_cast<int>(g->cursors.size())) g->cursors.resize(cursorNumber);
  CursorData& cur = g->cursors[cursorNumber - 1];
  if (cur.x != x || cur.y != y) {
    cur.x = x;
    cur.y = y;
    Touch(*c);
  }
  return UI_OK;
}

int GetGraphCursor(int panel, int control, int cursorNumber, double* x, double* y) {
  GraphData* g = FindGraph(panel, control);
  if (!g) return UIE_BAD_CONTROL;
  if (cursorNumber < 1 || cursorNumber > static_cast<int>(g->cursors.size())) return UIE_BAD_INDEX;
  if (x) *x = g->cursors[cursorNumber - 1].x;
  if (y) *y = g->cursors[cursorNumber - 1].y;
  return UI_OK;
}

// [SECTION] Strip charts

int SetStripChartTraces(int panel, int control, int traces) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g || c->kind != CTRL_STRIP_CHART) return UIE_BAD_CONTROL;
  if (traces < 1 || traces > 16) return UIE_BAD_INDEX;
  g->traces.resize(traces);
  g->stripRev++;
  Touch(*c);
  return UI_OK;
}

int PlotStripChart(int panel, int control, const double* values, int count) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g || c->kind != CTRL_STRIP_CHART) return UIE_BAD_CONTROL;
  const int traces = static_cast<int>(g->traces.size());
  if (!values || count < 0 || traces == 0 || count % traces != 0) return UIE_BAD_INDEX;
  const int points = count / traces;
  const int keep = g->pointsPerScreen;
  // Only the last `keep` points of the new data can stay on screen.
  const int first = std::max(0, points - keep);
  const int added = points - first;
  for (int t = 0; t < traces; ++t) {
    auto& trace = g->traces[t].points;
    const std::size_t old = trace.size();
    trace.resize(old + static_cast<std::size_t>(added));
    double* out = trace.data() + old;
    const double* in = values + static_cast<std::size_t>(first) * traces + t;
    if (traces == 1) {
      std::copy(in, in + added, out);
    } else {
      for (int i = 0; i < added; ++i) out[i] = in[static_cast<std::size_t>(i) * traces];
    }
    DropOldestPoints(trace, keep);
  }
  g->stripRev++;
  Touch(*c);
  return UI_OK;
}

int ClearStripChart(int panel, int control) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g || c->kind != CTRL_STRIP_CHART) return UIE_BAD_CONTROL;
  for (auto& t : g->traces) t.points.clear();
  g->stripRev++;
  Touch(*c);
  return UI_OK;
}

int SetTraceAttribute(int panel, int control, int trace, Attr attr, int value) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g) return UIE_BAD_CONTROL;
  if (trace < 1 || trace > static_cast<int>(g->traces.size())) return UIE_BAD_INDEX;
  TraceData& t = g->traces[trace - 1];
  if (attr == ATTR_TRACE_COLOR) t.color = value;
  else if (attr == ATTR_TRACE_VISIBLE) t.visible = value ? 1 : 0;
  else return UIE_BAD_ATTRIBUTE;
  g->stripRev++;
  Touch(*c);
  return UI_OK;
}

int SetTraceAttribute(int panel, int control, int trace, Attr attr, const char* value) {
  Control* c = nullptr;
  GraphData* g = FindGraph(panel, control, &c);
  if (!g) return UIE_BAD_CONTROL;
  if (trace < 1 || trace > static_cast<int>(g->traces.size())) return UIE_BAD_INDEX;
  if (attr != ATTR_TRACE_LABEL) return UIE_BAD_ATTRIBUTE;
  g->traces[trace - 1].label = value ? value : "";
  Touch(*c);
  return UI_OK;
}

int GetTraceAttribute(int panel, int control, int trace, Attr attr, int* value) {
  GraphData* g = FindGraph(panel, control);
  if (!g || !value) return UIE_BAD_CONTROL;
  if (trace < 1 || trace > static_cast<int>(g->traces.size())) return UIE_BAD_INDEX;
  const TraceData& t = g->traces[trace - 1];
  if (attr == ATTR_TRACE_COLOR) *value = t.color;
  else if (attr == ATTR_TRACE_VISIBLE) *value = t.visible;
  else return UIE_BAD_ATTRIBUTE;
  return UI_OK;
}
