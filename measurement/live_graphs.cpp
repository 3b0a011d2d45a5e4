// The live charts of DATAP and the graph panel GRAPHP.
#include "measurement/live_graphs.h"

#include <algorithm>

#include "app/Chromik4ANAv12.h"
#include "app/help.h"
#include "app/uir.h"
#include "measurement/go_mode.h"
#include "measurement/measured_values.h"
#include "teach/region_plot.h"
#include "ui/ui.h"

namespace {

constexpr int kPointsPerScreen = HISTORY_SAMPLES + 1;
constexpr int kFrameMargin = 25;
constexpr int kSimIntensityCursorLimit = 1200;  // M beyond this stands at the right end in s i M 2D
constexpr double kIntensityCursorY = 50.0;

int CalcMode() {
  int mode = 0;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_CALC_MODE_RING, &mode);
  return mode;
}

bool SiM(int calcMode) { return calcMode == 1 || calcMode == 3; }

// A strip chart shows exactly the values handed in, nothing of what it held before.
void ReplaceStripChart(int page, int chart, const double* values, int count) {
  SetCtrlAttribute(page, chart, ATTR_POINTS_PER_SCREEN, kPointsPerScreen);
  ClearStripChart(page, chart);
  PlotStripChart(page, chart, values, count);
}

void ApplyFrame(int page, int graph, const GraphFrame& f) {
  SetAxisScalingMode(page, graph, VAL_XAXIS, VAL_MANUAL, f.xMin, f.xMax);
  SetAxisScalingMode(page, graph, VAL_LEFT_YAXIS, VAL_MANUAL, f.yMin, f.yMax);
}

// The graphs of GRAPHP in the order of the signal ring's values.
int RecordGraphOf(int signal) { return GRAPHP_GRAPH_RED + signal; }

}  // namespace

// [SECTION] Framing

FramedAxis FrameCoordinate(int lo, int hi, int v) {
  FramedAxis f{};
  if (v > hi) {
    f.span = v - lo;
    f.centre = lo + f.span / 2;
  } else if (v < lo) {
    f.span = hi - v;
    f.centre = v + f.span / 2;
  } else {
    f.span = hi - lo;
    f.centre = lo + f.span / 2;
  }
  return f;
}

GraphFrame FrameGraph(FramedAxis a, FramedAxis b) {
  const int half = std::max(a.span, b.span) / 2;
  return GraphFrame{a.centre - half - kFrameMargin, a.centre + half + kFrameMargin, b.centre - half - kFrameMargin,
                    b.centre + half + kFrameMargin};
}

double IntensityCursorPosition(int calcMode, int value) {
  if (calcMode == 1 && value > kSimIntensityCursorLimit) return kSimIntensityCursorLimit;
  return value;
}

// [SECTION] Refresh after each frame

void UpdateLiveGraphs() {
  ReplaceStripChart(Panels.DataPage[0], DPAGE_RGB_CHART, RgbHistory, 3 * HISTORY_SAMPLES);
  const int page1 = Panels.DataPage[1];
  ReplaceStripChart(page1, DPAGE_X_CHART, XHistory, HISTORY_SAMPLES);
  ReplaceStripChart(page1, DPAGE_Y_CHART, YHistory, HISTORY_SAMPLES);
  ReplaceStripChart(page1, DPAGE_INT_CHART, IntHistory, HISTORY_SAMPLES);
  const int mode = CalcMode();
  if (mode == 0 || mode == 1) {
    FramePlaneGraphs();
  } else if (mode == 2 || mode == 3) {
    FrameProjectionGraphs();
  }
}

void FramePlaneGraphs() {
  const RegionExtents& e = TeachRegionExtents;
  const MeasuredValuesRecord& m = MeasuredValues;
  const int page = Panels.DataPage[2];
  const FramedAxis x = FrameCoordinate(e.XLow, e.XHigh, m.X);
  const FramedAxis y = FrameCoordinate(e.YLow, e.YHigh, m.Y);
  ApplyFrame(page, DPAGE_PLANE_GRAPH, FrameGraph(x, y));
  SetGraphCursor(page, DPAGE_PLANE_GRAPH, 1, m.X, m.Y);
  SetGraphCursor(page, DPAGE_INTENSITY_GRAPH, 1, IntensityCursorPosition(CalcMode(), m.Int), kIntensityCursorY);
}

void FrameProjectionGraphs() {
  const RegionExtents& e = TeachRegionExtents;
  const MeasuredValuesRecord& m = MeasuredValues;
  const int page = Panels.DataPage[3];
  const FramedAxis x = FrameCoordinate(e.XLow, e.XHigh, m.X);
  const FramedAxis y = FrameCoordinate(e.YLow, e.YHigh, m.Y);
  const FramedAxis i = FrameCoordinate(e.IntLow, e.IntHigh, m.Int);
  ApplyFrame(page, DPAGE_XY_GRAPH, FrameGraph(x, y));
  ApplyFrame(page, DPAGE_XINT_GRAPH, FrameGraph(x, i));
  ApplyFrame(page, DPAGE_YINT_GRAPH, FrameGraph(y, i));
  SetGraphCursor(page, DPAGE_XY_GRAPH, 1, m.X, m.Y);
  SetGraphCursor(page, DPAGE_XINT_GRAPH, 1, m.X, m.Int);
  SetGraphCursor(page, DPAGE_YINT_GRAPH, 1, m.Y, m.Int);
  ReplaceStripChart(page, DPAGE_RGB_CHART, RgbHistory, 3 * HISTORY_SAMPLES);
}

void SelectRecordGraphSignal() {
  int signal = 0;
  GetCtrlVal(Panels.Graphp, GRAPHP_SIGNAL, &signal);
  if (signal < 1 || signal > 6) signal = 0;
  for (int s = 0; s <= 6; ++s) SetCtrlAttribute(Panels.Graphp, RecordGraphOf(s), ATTR_VISIBLE, s == signal ? 1 : 0);
}

void ReapplyStripChartTraces() {
  for (int page : {0, 3}) {
    for (int trace = 1; trace <= 3; ++trace) {
      SetTraceAttribute(Panels.DataPage[page], DPAGE_RGB_CHART, trace, ATTR_TRACE_VISIBLE, 1);
    }
  }
  for (int chart : {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART}) {
    SetTraceAttribute(Panels.DataPage[1], chart, 1, ATTR_TRACE_VISIBLE, 1);
  }
}

// [SECTION] Callbacks

int CBF_GraphRGB(int panel, int control, int event, void*, int, int) {
  const int page = Panels.DataPage[0];
  if (event == EVENT_LEFT_CLICK) {
    SetAxisScalingMode(page, DPAGE_RGB_CHART, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, 4096.0);
  } else if (event == EVENT_LEFT_DOUBLE_CLICK) {
    SetAxisScalingMode(page, DPAGE_RGB_CHART, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0.0, 0.0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_GraphINT1(int panel, int control, int event, void*, int, int) {
  const int page = Panels.DataPage[1];
  const int charts[3] = {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART};
  if (event == EVENT_LEFT_CLICK) {
    const bool sim = SiM(CalcMode());
    const double top[3] = {sim ? 10000.0 : 4096.0, sim ? 5000.0 : 4096.0, sim ? 1200.0 : 4096.0};
    for (int i = 0; i < 3; ++i) SetAxisScalingMode(page, charts[i], VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, top[i]);
  } else if (event == EVENT_LEFT_DOUBLE_CLICK) {
    for (int chart : charts) SetAxisScalingMode(page, chart, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0.0, 0.0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_Graph2D(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_Graph3D(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_PanelGraphGraph(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonShowGraph(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ShowChildPanel(Panels.Graphp);
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonGpClose(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ShowChildPanel(Panels.Datap);
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditSignal(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) SelectRecordGraphSignal();
  return HelpOnRightClick(panel, control, event);
}
