// Tables, graphs, strip charts and context menus of the retained model.
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

TableData* FindTable(int panel, int control, Control** owner = nullptr) {
  Control* c = FindControl(panel, control);
  if (!c || !c->table) return nullptr;
  if (owner) *owner = c;
  return c->table.get();
}

bool CellInside(const TableData& t, TableCell cell) {
  return cell.row >= 1 && cell.row <= t.rows && cell.column >= 1 && cell.column <= t.columns;
}

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

// [SECTION] Tables

int SetTableSize(int panel, int control, int rows, int columns) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (rows < 0 || columns < 0 || rows > 100000 || columns > 1000) return UIE_BAD_INDEX;
  TableData fresh;
  fresh.rows = rows;
  fresh.columns = columns;
  fresh.cells.resize(static_cast<std::size_t>(rows) * columns);
  fresh.columnInfo.resize(columns);
  fresh.rowLabelColor.assign(rows, 0x000000);
  // Keep what fits of the old contents.
  for (int r = 1; r <= std::min(rows, t->rows); ++r) {
    for (int col = 1; col <= std::min(columns, t->columns); ++col) fresh.Cell(r, col) = t->Cell(r, col);
    fresh.rowLabelColor[r - 1] = t->rowLabelColor[r - 1];
  }
  for (int col = 0; col < std::min(columns, t->columns); ++col) fresh.columnInfo[col] = t->columnInfo[col];
  *t = std::move(fresh);
  Touch(*c);
  return UI_OK;
}

int SetTableCellVal(int panel, int control, TableCell cell, double value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell) || std::isnan(value)) return UIE_BAD_INDEX;
  const ColumnData& col = t->columnInfo[cell.column - 1];
  if (col.cellType != VAL_CELL_NUMERIC) return UIE_BAD_ATTRIBUTE;
  value = std::clamp(value, col.minValue, col.maxValue);
  CellData& d = t->Cell(cell.row, cell.column);
  if (d.num != value) {
    d.num = value;
    Touch(*c);
  }
  ++d.valueSets;
  ValueSet(*c);
  return UI_OK;
}

int SetTableCellVal(int panel, int control, TableCell cell, const char* value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  if (t->columnInfo[cell.column - 1].cellType != VAL_CELL_STRING) return UIE_BAD_ATTRIBUTE;
  CellData& d = t->Cell(cell.row, cell.column);
  std::string text = value ? value : "";
  if (d.text != text) {
    d.text = std::move(text);
    Touch(*c);
  }
  ++d.valueSets;
  ValueSet(*c);
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, double* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  if (t->columnInfo[cell.column - 1].cellType != VAL_CELL_NUMERIC) return UIE_BAD_ATTRIBUTE;
  *value = t->Cell(cell.row, cell.column).num;
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, int* value) {
  double d = 0;
  int r = GetTableCellVal(panel, control, cell, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<int>(std::llround(std::clamp(d, -2147483648.0, 2147483647.0)));
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, unsigned short* value) {
  double d = 0;
  int r = GetTableCellVal(panel, control, cell, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<unsigned short>(std::llround(std::clamp(d, 0.0, 65535.0)));
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, std::string* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  if (t->columnInfo[cell.column - 1].cellType != VAL_CELL_STRING) return UIE_BAD_ATTRIBUTE;
  *value = t->Cell(cell.row, cell.column).text;
  return UI_OK;
}

int SetTableCellAttribute(int panel, int control, TableCell cell, Attr attr, int value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  CellData& d = t->Cell(cell.row, cell.column);
  int* field = nullptr;
  if (attr == ATTR_TEXT_BGCOLOR) field = &d.bgColor;
  else if (attr == ATTR_TEXT_COLOR) field = &d.textColor;
  else if (attr == ATTR_TEXT_ITALIC) field = &d.italic;
  else return UIE_BAD_ATTRIBUTE;
  if (attr == ATTR_TEXT_ITALIC) value = value ? 1 : 0;
  if (*field != value) {
    *field = value;
    Touch(*c);
  }
  return UI_OK;
}

int GetTableCellAttribute(int panel, int control, TableCell cell, Attr attr, int* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  const CellData& d = t->Cell(cell.row, cell.column);
  if (attr == ATTR_TEXT_BGCOLOR) *value = d.bgColor;
  else if (attr == ATTR_TEXT_COLOR) *value = d.textColor;
  else if (attr == ATTR_TEXT_ITALIC) *value = d.italic;
  else return UIE_BAD_ATTRIBUTE;
  return UI_OK;
}

int SetTableCellRangeAttribute(int panel, int control, TableRect range, Attr attr, int value) {
  TableData* t = FindTable(panel, control);
  if (!t) return UIE_BAD_CONTROL;
  if (range.height < 1 || range.width < 1) return UIE_BAD_INDEX;
  TableCell last{range.top + range.height - 1, range.left + range.width - 1};
  if (!CellInside(*t, {range.top, range.left}) || !CellInside(*t, last)) return UIE_BAD_INDEX;
  for (int r = range.top; r <= last.row; ++r) {
    for (int col = range.left; col <= last.column; ++col) {
      int res = SetTableCellAttribute(panel, control, {r, col}, attr, value);
      if (res < 0) return res;
    }
  }
  return UI_OK;
}

int SetTableColumnAttribute(int panel, int control, int column, Attr attr, int value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  ColumnData& col = t->columnInfo[column - 1];
  switch (attr) {
    case ATTR_COLUMN_IN_USE: col.inUse = value ? 1 : 0; break;
    case ATTR_CELL_TYPE: col.cellType = value == VAL_CELL_STRING ? VAL_CELL_STRING : VAL_CELL_NUMERIC; break;
    case ATTR_COLUMN_WIDTH: col.width = std::max(value, 0); break;
    case ATTR_CTRL_MODE: col.indicator = value == VAL_INDICATOR ? 1 : 0; break;
    case ATTR_PRECISION: col.precision = std::clamp(value, 0, 15); break;
    case ATTR_MIN_VALUE: col.minValue = value; break;
    case ATTR_MAX_VALUE: col.maxValue = value; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  Touch(*c);
  return UI_OK;
}

int SetTableColumnAttribute(int panel, int control, int column, Attr attr, double value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  ColumnData& col = t->columnInfo[column - 1];
  if (attr == ATTR_MIN_VALUE) col.minValue = value;
  else if (attr == ATTR_MAX_VALUE) col.maxValue = value;
  else return SetTableColumnAttribute(panel, control, column, attr, static_cast<int>(value));
  Touch(*c);
  return UI_OK;
}

int SetTableColumnAttribute(int panel, int control, int column, Attr attr, const char* value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  if (attr != ATTR_LABEL_TEXT) return UIE_BAD_ATTRIBUTE;
  std::string text = value ? value : "";
  if (t->columnInfo[column - 1].title != text) {
    t->columnInfo[column - 1].title = text;
    Touch(*c);
  }
  return UI_OK;
}

int GetTableColumnAttribute(int panel, int control, int column, Attr attr, int* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  const ColumnData& col = t->columnInfo[column - 1];
  switch (attr) {
    case ATTR_COLUMN_IN_USE: *value = col.inUse; break;
    case ATTR_CELL_TYPE: *value = col.cellType; break;
    case ATTR_COLUMN_WIDTH: *value = col.width; break;
    case ATTR_CTRL_MODE: *value = col.indicator ? VAL_INDICATOR : VAL_NORMAL; break;
    case ATTR_PRECISION: *value = col.precision; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int GetTableColumnAttribute(int panel, int control, int column, Attr attr, std::string* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  if (attr != ATTR_LABEL_TEXT) return UIE_BAD_ATTRIBUTE;
  *value = t->columnInfo[column - 1].title;
  return UI_OK;
}

int SetTableRowAttribute(int panel, int control, int row, Attr attr, int value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (row < 1 || row > t->rows) return UIE_BAD_INDEX;
  if (attr != ATTR_ROW_LABEL_COLOR) return UIE_BAD_ATTRIBUTE;
  if (t->rowLabelColor[row - 1] != value) {
    t->rowLabelColor[row - 1] = value;
    Touch(*c);
  }
  return UI_OK;
}

int GetTableRowAttribute(int panel, int control, int row, Attr attr, int* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (row < 1 || row > t->rows) return UIE_BAD_INDEX;
  if (attr != ATTR_ROW_LABEL_COLOR) return UIE_BAD_ATTRIBUTE;
  *value = t->rowLabelColor[row - 1];
  return UI_OK;
}

int SetActiveTableCell(int panel, int control, TableCell cell) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  t->active = cell;
  Touch(*c);
  return UI_OK;
}

int GetActiveTableCell(int panel, int control, TableCell* cell) {
  TableData* t = FindTable(panel, control);
  if (!t || !cell) return UIE_BAD_CONTROL;
  *cell = t->active;
  return UI_OK;
}

int SetTableSelection(int panel, int control, TableRect range) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (range.top < 1 || range.left < 1 || range.height < 1 || range.width < 1) {
    range = TableRect{0, 0, 0, 0};  // no selection
  } else {
    // Clip to the table, as a drag past the edge would.
    range.height = std::min(range.height, t->rows - range.top + 1);
    range.width = std::min(range.width, t->columns - range.left + 1);
    if (range.height < 1 || range.width < 1) range = TableRect{0, 0, 0, 0};
  }
  t->selection = range;
  Touch(*c);
  return UI_OK;
}

int GetTableSelection(int panel, int control, TableRect* range) {
  TableData* t = FindTable(panel, control);
  if (!t || !range) return UIE_BAD_CONTROL;
  *range = t->selection;
  return UI_OK;
}

int SetTableTopRow(int panel, int control, int row) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (row < 1 || row > std::max(t->rows, 1)) return UIE_BAD_INDEX;
  t->topRow = row;
  Touch(*c);
  return UI_OK;
}

int GetTableTopRow(int panel, int control, int* row) {
  TableData* t = FindTable(panel, control);
  if (!t || !row) return UIE_BAD_CONTROL;
  *row = t->topRow;
  return UI_OK;
}

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

// [SECTION] Context menus

int NewCtrlMenuItem(int panel, int control, const char* label, MenuItemCallbackPtr callback, void* callbackData) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  MenuItemData item;
  item.id = c->nextMenuItemId++;
  item.label = label ? label : "";
  item.callback = callback;
  item.callbackData = callbackData;
  c->menu.push_back(item);
  Touch(*c);
  return item.id;
}

int NewCtrlMenuSeparator(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  MenuItemData item;
  item.id = c->nextMenuItemId++;
  item.separator = true;
  c->menu.push_back(item);
  Touch(*c);
  return item.id;
}

int SetCtrlMenuItemDimmed(int panel, int control, int menuItem, int dimmed) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  for (auto& item : c->menu) {
    if (item.id == menuItem) {
      item.dimmed = dimmed ? 1 : 0;
      Touch(*c);
      return UI_OK;
    }
  }
  return UIE_BAD_INDEX;
}

int GetCtrlMenuItemDimmed(int panel, int control, int menuItem, int* dimmed) {
  Control* c = FindControl(panel, control);
  if (!c || !dimmed) return UIE_BAD_CONTROL;
  for (auto& item : c->menu) {
    if (item.id == menuItem) {
      *dimmed = item.dimmed;
      return UI_OK;
    }
  }
  return UIE_BAD_INDEX;
}

int HideBuiltInCtrlMenuItems(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  c->builtInMenuHidden = true;
  Touch(*c);
  return UI_OK;
}
