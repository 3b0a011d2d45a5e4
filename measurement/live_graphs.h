// The live charts of DATAP's four pages and the graph panel GRAPHP.
//
// After every frame the strip charts take the whole histories (the last 100
// samples) and the colour graphs are framed around the taught regions and the
// current point, with cursor 1 on that point.
#pragma once

// [SECTION] Framing
// The interval of one coordinate that holds the taught extent lo..hi and the current value v.
struct FramedAxis {
  int span;
  int centre;
};
FramedAxis FrameCoordinate(int lo, int hi, int v);

// The square view of one graph from its horizontal and vertical coordinate:
// both axes get the larger span, with a margin of 25 on every side.
struct GraphFrame {
  int xMin, xMax;
  int yMin, yMax;
};
GraphFrame FrameGraph(FramedAxis a, FramedAxis b);

// Where cursor 1 of the intensity graph stands for the intensity `value`: in the
// s i M 2D mode (1) M is shown at most at 1200.
double IntensityCursorPosition(int calcMode, int value);

// [SECTION] Refresh after each frame
// The strip charts of pages 0 and 1 take the histories; the colour graphs of page 2
// (2D modes) or page 3 (3D modes) are framed and get their cursors.
void UpdateLiveGraphs();
void FramePlaneGraphs();
void FrameProjectionGraphs();
// Shows the one RecordGraph graph of GRAPHP that the signal ring chooses.
void SelectRecordGraphSignal();
// A size change of MAINP shows the nine strip-chart traces again.
void ReapplyStripChartTraces();

// [SECTION] Builders (the panel resource places these controls)
void BuildGraphpControls(int panel);
void BuildDataPageCharts(int page, int index);

// [SECTION] Callbacks
int CBF_GraphRGB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_GraphINT1(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_Graph2D(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_Graph3D(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_ButtonShowGraph(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_ButtonGpClose(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_EditSignal(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CBF_PanelGraphGraph(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
