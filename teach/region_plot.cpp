#include "teach/region_plot.h"

#include <algorithm>

#include "app/uir.h"
#include "parameters/parameter_panel.h"
#include "teach/row_colors.h"
#include "ui/ui.h"

RegionExtents TeachRegionExtents;

namespace {

constexpr int kExtentStartLow = 10000;  // lowest values start here, highest at 0
constexpr int kExtentStartHigh = 0;
constexpr int kResetRowLimit = 10;      // X and Y both at or below: the row still holds its reset value

int CalcMode() {
  int mode = 0;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_CALC_MODE_RING, &mode);
  return mode;
}

bool Is3D(int calcMode) { return calcMode >= 2; }

// Orders a pair that no row widened: (10000, 0) becomes (0, 10000).
void FixPair(int* low, int* high) {
  if (*high < *low) std::swap(*low, *high);
}

void DrawOval(int panel, int graph, int a1, int b1, int a2, int b2, int color) {
  PlotOval(panel, graph, a1, b1, a2, b2, color, VAL_TRANSPARENT);
}

}  // namespace

TeachRegion RegionOfRow(const TeachVector& row, int calcMode) {
  TeachRegion r{row.Cell[0], row.Cell[1], 0, 0, 0};
  if (Is3D(calcMode)) {
    r.T = row.Cell[3];
    r.I = row.Cell[2];
    r.Ti = row.Cell[3];
  } else {
    r.T = row.Cell[2];
    r.I = row.Cell[3];
    r.Ti = row.Cell[4];
  }
  return r;
}

RegionExtents ComputeRegionExtents(const TeachVector rows[TEACH_VECTOR_COUNT], int calcMode) {
  RegionExtents e{kExtentStartLow, kExtentStartHigh, kExtentStartLow, kExtentStartHigh, kExtentStartLow,
                  kExtentStartHigh};
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    const TeachRegion r = RegionOfRow(rows[k], calcMode);
    if (r.X <= kResetRowLimit && r.Y <= kResetRowLimit) continue;
    e.XLow = std::min(e.XLow, r.X - r.T);
    e.XHigh = std::max(e.XHigh, r.X + r.T);
    e.YLow = std::min(e.YLow, r.Y - r.T);
    e.YHigh = std::max(e.YHigh, r.Y + r.T);
    e.IntLow = std::min(e.IntLow, r.I - r.Ti);
    e.IntHigh = std::max(e.IntHigh, r.I + r.Ti);
  }
  FixPair(&e.XLow, &e.XHigh);
  FixPair(&e.YLow, &e.YHigh);
  FixPair(&e.IntLow, &e.IntHigh);
  return e;
}

void IntensityBand(int intensity, int halfWidth, int* low, int* high) {
  *high = std::min(intensity + halfWidth, BAND_INT_LIMIT);
  *low = std::max(intensity - halfWidth, 0);
}

void PlotRowIntensityBand() {
  const int calcMode = CalcMode();
  const int teach = Panels.Page[PAGE_TEACH];
  int row = 0;
  GetCtrlVal(teach, TEACH_NO, &row);
  row = std::clamp(row, 0, TEACH_VECTOR_COUNT - 1);
  // Table columns are CELL 0..4 plus one: 2D reads CELL 3 and 4, 3D CELL 2 and 3.
  const int intensityColumn = Is3D(calcMode) ? 3 : 4;
  int intensity = 0, halfWidth = 0;
  GetTableCellVal(teach, TEACH_TABLE, {row + 1, intensityColumn}, &intensity);
  GetTableCellVal(teach, TEACH_TABLE, {row + 1, intensityColumn + 1}, &halfWidth);
  int low = 0, high = 0;
  IntensityBand(intensity, halfWidth, &low, &high);
  const int page = Panels.DataPage[2];
  DeleteGraphPlot(page, DPAGE_INTENSITY_GRAPH, -1);
  PlotRectangle(page, DPAGE_INTENSITY_GRAPH, low, 0, high, 100, BAND_COLOR, BAND_COLOR);
}

void DeleteTeachRegionPlots() {
  DeleteGraphPlot(Panels.DataPage[2], DPAGE_PLANE_GRAPH, -1);
  DeleteGraphPlot(Panels.DataPage[2], DPAGE_INTENSITY_GRAPH, -1);
  for (int graph : {DPAGE_XY_GRAPH, DPAGE_XINT_GRAPH, DPAGE_YINT_GRAPH}) DeleteGraphPlot(Panels.DataPage[3], graph, -1);
}

void PlotTeachRegions() {
  PlotRowIntensityBand();
  const int plane = Panels.DataPage[2], projections = Panels.DataPage[3];
  DeleteGraphPlot(plane, DPAGE_PLANE_GRAPH, -1);
  for (int graph : {DPAGE_XY_GRAPH, DPAGE_XINT_GRAPH, DPAGE_YINT_GRAPH}) DeleteGraphPlot(projections, graph, -1);
  const int calcMode = CalcMode();
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    const TeachRegion r = RegionOfRow(ParameterSet.TeachBlock[k], calcMode);
    const int x1 = r.X - r.T, x2 = r.X + r.T, y1 = r.Y - r.T, y2 = r.Y + r.T;
    const int i1 = r.I - r.Ti, i2 = r.I + r.Ti;
    const int color = RowColors[k];
    DrawOval(projections, DPAGE_XY_GRAPH, x1, y1, x2, y2, color);
    DrawOval(projections, DPAGE_XINT_GRAPH, x1, i1, x2, i2, color);
    DrawOval(projections, DPAGE_YINT_GRAPH, y1, i1, y2, i2, color);
    DrawOval(plane, DPAGE_PLANE_GRAPH, x1, y1, x2, y2, color);
  }
  TeachRegionExtents = ComputeRegionExtents(ParameterSet.TeachBlock, calcMode);
}
