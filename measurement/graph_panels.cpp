// The charts and graphs of DATAP's tab pages and the controls of GRAPHP.
//
// Positions are pixels from the top left corner of the page or panel; a
// control's label takes the 15 pixels above it.
#include "app/Chromik4ANAv12.h"
#include "app/help.h"
#include "app/help_texts.h"
#include "app/uir.h"
#include "app/uir_build.h"
#include "measurement/live_graphs.h"
#include "ui/ui.h"

namespace {

constexpr int kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
constexpr int kIntTrace = 0xFFFF00;  // INT on the dark plot area
constexpr int kPlotBackground = 0x000000;
constexpr double kChartTop = 4096.0;

const char* const kValueHelp = "Displays the latest recorded value of the signal.";

void PlaceStripChart(int page, int id, const char* label, int top, int left, int height, int width,
                     CtrlCallbackPtr cb, const char* help, int traces) {
  Place(page, id, CTRL_STRIP_CHART, label, top, left, height, width, cb);
  SetHelp(page, id, help);
  SetStripChartTraces(page, id, traces);
  SetCtrlAttribute(page, id, ATTR_POINTS_PER_SCREEN, 101);
  SetCtrlAttribute(page, id, ATTR_PLOT_BGCOLOR, kPlotBackground);
  SetAxisScalingMode(page, id, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, kChartTop);
}

void RgbTraces(int page, int id) {
  const int colours[3] = {kRed, kGreen, kBlue};
  const char* const names[3] = {"RED", "GREEN", "BLUE"};
  for (int t = 0; t < 3; ++t) {
    SetTraceAttribute(page, id, t + 1, ATTR_TRACE_COLOR, colours[t]);
    SetTraceAttribute(page, id, t + 1, ATTR_TRACE_LABEL, names[t]);
  }
}

// A colour graph with the live point's cursor; the operator cannot move the cursor,
// the next frame would put it back.
void PlaceColourGraph(int page, int id, const char* label, int top, int left, int height, int width,
                      CtrlCallbackPtr cb, const char* help) {
  Place(page, id, CTRL_GRAPH, label, top, left, height, width, cb);
  SetHelp(page, id, help);
  SetCtrlAttribute(page, id, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetCtrlAttribute(page, id, ATTR_PLOT_BGCOLOR, kPlotBackground);
  SetCtrlAttribute(page, id, ATTR_NUM_CURSORS, 1);
  SetAxisScalingMode(page, id, VAL_XAXIS, VAL_MANUAL, -25.0, 10025.0);
  SetAxisScalingMode(page, id, VAL_LEFT_YAXIS, VAL_MANUAL, -25.0, 10025.0);
  SetGraphCursor(page, id, 1, 0.0, 0.0);
}

}  // namespace

void BuildDataPageCharts(int page, int index) {
  switch (index) {
    case 0:
      PlaceStripChart(page, DPAGE_RGB_CHART, "RED GREEN BLUE", 18, 6, 222, 484, CBF_GraphRGB, help::GraphRGB, 3);
      RgbTraces(page, DPAGE_RGB_CHART);
      break;
    case 1: {
      const char* const labels[3] = {"X (s)", "Y (i)", "INT (M)"};
      const int ids[3] = {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART};
      const int colours[3] = {kRed, kGreen, kIntTrace};
      for (int i = 0; i < 3; ++i) {
        PlaceStripChart(page, ids[i], labels[i], 16 + 92 * i, 6, 75, 484, CBF_GraphINT1, help::GraphINT1, 1);
        SetTraceAttribute(page, ids[i], 1, ATTR_TRACE_COLOR, colours[i]);
      }
      break;
    }
    case 2:
      PlaceColourGraph(page, DPAGE_PLANE_GRAPH, "COLOR PLANE", 18, 6, 222, 236, CBF_Graph2D, help::Graph2D);
      PlaceColourGraph(page, DPAGE_INTENSITY_GRAPH, "INTENSITY", 18, 252, 222, 236, CBF_Graph2D, help::Graph2D);
      // The band of the row in No. and the cursor at half height on the intensity axis.
      SetAxisScalingMode(page, DPAGE_INTENSITY_GRAPH, VAL_XAXIS, VAL_MANUAL, 0.0, 4096.0);
      SetAxisScalingMode(page, DPAGE_INTENSITY_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, 100.0);
      SetGraphCursor(page, DPAGE_INTENSITY_GRAPH, 1, 0.0, 50.0);
      break;
    case 3:
      PlaceColourGraph(page, DPAGE_XY_GRAPH, "X/Y", 18, 6, 138, 236, CBF_Graph3D, help::Graph3D);
      PlaceColourGraph(page, DPAGE_XINT_GRAPH, "X/INT", 18, 252, 138, 236, CBF_Graph3D, help::Graph3D);
      PlaceColourGraph(page, DPAGE_YINT_GRAPH, "Y/INT", 174, 6, 138, 236, CBF_Graph3D, help::Graph3D);
      PlaceStripChart(page, DPAGE_RGB_CHART, "RED GREEN BLUE", 174, 252, 138, 236, CBF_Graph3D, help::Graph3D, 3);
      RgbTraces(page, DPAGE_RGB_CHART);
      break;
    default:
      break;
  }
}

void BuildGraphpControls(int panel) {
  Place(panel, GRAPHP_SIGNAL, CTRL_RING, "SIGNAL", 18, 8, 22, 110, CBF_EditSignal);
  SetHelp(panel, GRAPHP_SIGNAL, help::EditSignal);
  const char* const signals[7] = {"RED", "GREEN", "BLUE", "X", "Y", "INT", "TEMP"};
  for (int i = 0; i < 7; ++i) InsertListItem(panel, GRAPHP_SIGNAL, -1, signals[i], static_cast<double>(i));
  Place(panel, GRAPHP_CLOSE, CTRL_COMMAND_BUTTON, "CLOSE", 16, 418, 24, 78, CBF_ButtonGpClose);
  SetHelp(panel, GRAPHP_CLOSE, help::ButtonGpClose);

  // The seven graphs lie on one another; the ring shows one of them.
  const char* const titles[7] = {"RED", "GREEN", "BLUE", "X (s)", "Y (i)", "INT (M)", "TEMP"};
  for (int i = 0; i < 7; ++i) {
    const int id = GRAPHP_GRAPH_RED + i;
    Place(panel, id, CTRL_GRAPH, titles[i], 64, 6, 336, 492, CBF_PanelGraphGraph);
    SetHelp(panel, id, help::PanelGraphGraph);
    SetCtrlAttribute(panel, id, ATTR_PLOT_BGCOLOR, kPlotBackground);
    SetCtrlAttribute(panel, id, ATTR_NUM_CURSORS, 0);
    SetAxisScalingMode(panel, id, VAL_XAXIS, VAL_AUTOSCALE, 0.0, 0.0);
    SetAxisScalingMode(panel, id, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0.0, 0.0);
    SetCtrlAttribute(panel, id, ATTR_VISIBLE, i == 0 ? 1 : 0);
  }
  for (int i = 0; i < 7; ++i) {
    PlaceDisplay(panel, GRAPHP_VALUE0 + i, signals[i], 430, 8 + 70 * i, 62, CBF_DispHelpOnly);
    SetHelp(panel, GRAPHP_VALUE0 + i, kValueHelp);
  }
}
