#include "teach/recorded_teach.h"

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "com232/frame.h"
#include "measurement/measured_values.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "teach/teach_labels.h"
#include "teach/teach_table.h"
#include "ui/ui.h"

RecordedPoint RecordedPoints[RECORDED_POINTS_MAX] = {};
int RecordedPointCount = 0;

namespace {

constexpr int kGraphs[3] = {TP2_GRAPH_XY, TP2_GRAPH_XINT, TP2_GRAPH_YINT};

int P2() { return Panels.Teachp2; }

void ShowPoint(const RecordedPoint& p) {
  SetCtrlVal(P2(), TP2_X, static_cast<int>(p.X));
  SetCtrlVal(P2(), TP2_Y, static_cast<int>(p.Y));
  SetCtrlVal(P2(), TP2_INT, static_cast<int>(p.Int));
}

void MoveCursorsTo(const RecordedPoint& p) {
  for (int i = 0; i < 3; ++i) {
    double h = 0, v = 0;
    ProjectRecordedPoint(p, i, &h, &v);
    SetGraphCursor(P2(), kGraphs[i], 1, h, v);
  }
}

std::uint16_t DisplayWord(int control) {
  unsigned short v = 0;
  GetCtrlVal(P2(), control, &v);
  return v;
}

}  // namespace

void ProjectRecordedPoint(const RecordedPoint& p, int projection, double* h, double* v) {
  *h = projection == 2 ? p.Y : p.X;
  *v = projection == 0 ? p.Y : p.Int;
}

int FindRecordedPoint(const RecordedPoint* points, int count, int projection, double h, double v) {
  for (int k = 0; k < count; ++k) {
    double ph = 0, pv = 0;
    ProjectRecordedPoint(points[k], projection, &ph, &pv);
    if (ph == h && pv == v) return k;
  }
  return -1;
}

// [SECTION] Operations on TEACHP2

void TeachRecording() {
  State.GoRunning = 1;
  while (State.GoRunning == 1) {
    // A full store takes no more points: recording ends before another order goes out.
    if (RecordedPointCount >= RECORDED_POINTS_MAX) {
      State.GoRunning = 0;
      break;
    }
    BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
    if (ExchangeOrder(8) == 1 && TakeMeasuredFrame() == 1) AddRecordedPoint();
    // After a failure the frame layer has cleared GoRunning.
  }
}

void AddRecordedPoint() {
  if (RecordedPointCount < 0) RecordedPointCount = 0;
  if (RecordedPointCount >= RECORDED_POINTS_MAX) {
    State.GoRunning = 0;
    return;
  }
  const RecordedPoint p{static_cast<double>(MeasuredValues.X), static_cast<double>(MeasuredValues.Y),
                        static_cast<double>(MeasuredValues.Int)};
  ShowPoint(p);
  for (int i = 0; i < 3; ++i) {
    double h = 0, v = 0;
    ProjectRecordedPoint(p, i, &h, &v);
    PlotPoint(P2(), kGraphs[i], h, v, VAL_SOLID_SQUARE, RECORDED_POINT_COLOR);
  }
  MoveCursorsTo(p);
  RecordedPoints[RecordedPointCount] = p;
  RecordedPointCount += 1;
  if (RecordedPointCount >= RECORDED_POINTS_MAX) State.GoRunning = 0;
  SetCtrlVal(P2(), TP2_COUNTER, RecordedPointCount);
}

void ResetRecordedPoints() {
  if (ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?") != 1) return;
  for (int graph : kGraphs) DeleteGraphPlot(P2(), graph, -1);
  RecordedPointCount = 0;
  SetCtrlVal(P2(), TP2_COUNTER, 0);
}

void SelectRecordedPoint(int graph) {
  const int projection = graph == TP2_GRAPH_XINT ? 1 : graph == TP2_GRAPH_YINT ? 2 : 0;
  const int n = RecordedPointCount;
  // With nothing recorded there is no point to take: the entries may hold an earlier recording.
  if (n <= 0) return;
  double h = 0, v = 0;
  GetGraphCursor(P2(), graph, 1, &h, &v);
  int k = FindRecordedPoint(RecordedPoints, n, projection, h, v);
  if (k < 0) k = 0;
  ShowPoint(RecordedPoints[k]);
  MoveCursorsTo(RecordedPoints[k]);
}

void TeachRecordedPoint() {
  // The panel does not read Red, Green and Blue: in a threshold mode (switched to while
  // the panel stayed open) teaching would write zero thresholds.
  if (ParameterValue(PARA_EVAL_MODE_RING) >= EVAL_THD_RED_GREEN) return;
  TeachValues(TeachInput{DisplayWord(TP2_X), DisplayWord(TP2_Y), DisplayWord(TP2_INT), 0, 0, 0});
}

void DimTeachp2StartButton(int dimmed) { SetCtrlAttribute(P2(), TP2_START, ATTR_DIMMED, dimmed); }

// [SECTION] Callbacks

int CBF_ButtonTeachRecVal(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    ShowChildPanel(Panels.Teachp2);
    LabelTeachPanels();
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP2Start(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    ReadParametersFromPanel();
    PlotTeachRegions();
    TeachRecording();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP2Reset(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ResetRecordedPoints();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP2Teach(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) TeachRecordedPoint();
  return HelpOnRightClick(panel, control, event);
}

// A cursor released on a graph selects the point under it.
static int GraphCallback(int panel, int control, int event) {
  if (event == EVENT_COMMIT) SelectRecordedPoint(control);
  return HelpOnRightClick(panel, control, event);
}
int CBF_GraphXYTP2(int panel, int control, int event, void*, int, int) { return GraphCallback(panel, control, event); }
int CBF_GraphXIntTP2(int panel, int control, int event, void*, int, int) { return GraphCallback(panel, control, event); }
int CBF_GraphYIntTP2(int panel, int control, int event, void*, int, int) { return GraphCallback(panel, control, event); }
int CBF_DispTP2Counter(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
