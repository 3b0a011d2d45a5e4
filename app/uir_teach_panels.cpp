// The controls of TEACHP1 (mean values) and TEACHP2 (recorded values). The texts
// that follow the calculation mode are set again by LabelTeachPanels.
#include "app/Chromik4ANAv12.h"
#include "app/help.h"
#include "app/uir.h"
#include "app/uir_build.h"
#include "teach/mean_teach.h"
#include "teach/recorded_teach.h"
#include "teach/teach_labels.h"
#include "ui/ui.h"

namespace {

constexpr int kTableColumnWidth = 44;

void HelpedButton(int panel, int id, const char* label, int top, int left, int width, CtrlCallbackPtr callback,
                  const char* help) {
  Place(panel, id, CTRL_COMMAND_BUTTON, label, top, left, 24, width, callback);
  SetHelp(panel, id, help);
}

void FrameTable(int panel, int id, int rows, bool editable) {
  const char* const titles[TP1_COLUMNS] = {"Red", "Green", "Blue", "X", "Y", "INT"};
  SetTableSize(panel, id, rows, TP1_COLUMNS);
  for (int col = 1; col <= TP1_COLUMNS; ++col) {
    SetTableColumnAttribute(panel, id, col, ATTR_LABEL_TEXT, titles[col - 1]);
    SetTableColumnAttribute(panel, id, col, ATTR_COLUMN_WIDTH, kTableColumnWidth);
    SetTableColumnAttribute(panel, id, col, ATTR_MIN_VALUE, 0.0);
    SetTableColumnAttribute(panel, id, col, ATTR_MAX_VALUE, 65535.0);
    if (!editable) SetTableColumnAttribute(panel, id, col, ATTR_CTRL_MODE, VAL_INDICATOR);
  }
}

void ToleranceList(int panel, int id, const char* label, int top, int left, CtrlCallbackPtr callback,
                   const char* const items[3]) {
  Place(panel, id, CTRL_RING, label, top, left, 20, 170, callback);
  for (int i = 0; i < 3; ++i) InsertListItem(panel, id, -1, items[i], static_cast<double>(i));
  SetCtrlIndex(panel, id, TOL_DISTANCE_PLUS_VALUE);
  SetHelp(panel, id, help::TP1TeachWith);
}

void ValueField(int panel, int id, const char* label, int top, int left, CtrlCallbackPtr callback, const char* help) {
  Place(panel, id, CTRL_NUMERIC, label, top, left, 20, 70, callback);
  SetCtrlAttribute(panel, id, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(panel, id, ATTR_MAX_VALUE, 65535.0);
  SetCtrlVal(panel, id, 20);
  SetHelp(panel, id, help);
}

}  // namespace

void BuildTeachp1Controls(int panel) {
  const TeachPanelTexts& t = TeachPanelTextsOf(0);
  Place(panel, TP1_VALUES, CTRL_TABLE, "CAPTURED FRAMES", 20, 6, 318, 316, CBF_GridTP1Values);
  FrameTable(panel, TP1_VALUES, TP1_ROWS, true);
  SetHelp(panel, TP1_VALUES, help::TP1Values);
  Place(panel, TP1_MEAN, CTRL_TABLE, "MEAN VALUES", 358, 6, 46, 316, CBF_GridTP1Mean);
  FrameTable(panel, TP1_MEAN, 1, false);
  SetHelp(panel, TP1_MEAN, help::TP1Mean);

  const int right = 330;
  PlaceDisplay(panel, TP1_COUNTER, "COUNTER", 20, right, 70, CBF_DispTP1Counter);
  SetHelp(panel, TP1_COUNTER, help::TP1Counter);
  PlaceDisplay(panel, TP1_MAX_DELTA_XY, t.distance, 60, right, 70, CBF_DispTP1MaxDeltaXY);
  SetHelp(panel, TP1_MAX_DELTA_XY, help::TP1MaxDeltaXY);
  PlaceDisplay(panel, TP1_MAX_DELTA_INT, t.intensityDistance, 60, right + 100, 70, CBF_DispTP1MaxDeltaInt);
  SetHelp(panel, TP1_MAX_DELTA_INT, help::TP1MaxDeltaInt);
  ToleranceList(panel, TP1_TEACH_CTO_WITH, t.colourList, 100, right, CBF_EditTP1TeachCtoWith, t.colourItems);
  ValueField(panel, TP1_VALUE_CTO, t.colourValue, 140, right, CBF_EditTP1ValueCto, help::TP1ValueCto);
  ToleranceList(panel, TP1_TEACH_ITO_WITH, t.intensityList, 180, right, CBF_EditTP1TeachItoWith, t.intensityItems);
  ValueField(panel, TP1_VALUE_ITO, t.intensityValue, 220, right, CBF_EditTP1ValueIto, help::TP1ValueIto);

  HelpedButton(panel, TP1_CAPTURE, "CAPTURE", 258, right, 170, CBF_ButtonTP1Capture, help::TP1Capture);
  HelpedButton(panel, TP1_UNDO, "UNDO", 288, right, 170, CBF_ButtonTP1Undo, help::TP1Undo);
  HelpedButton(panel, TP1_RESET, "RESET", 318, right, 170, CBF_ButtonTP1ResetTable, help::TP1Reset);
  HelpedButton(panel, TP1_TEACH, "TEACH", 358, right, 170, CBF_ButtonTP1Teach, help::TP1Teach);
  HelpedButton(panel, TP1_CLOSE, "CLOSE", 438, right, 170, CBF_ButtonCloseTeachPanel, help::CloseTeachPanel);

  const char* const names[3] = {"RED", "GREEN", "BLUE"};
  for (int i = 0; i < 3; ++i) {
    PlaceDisplay(panel, TP1_RED + i, names[i], 440, 8 + 66 * i, 58, CBF_DispRGB);
    SetHelp(panel, TP1_RED + i, help::DispRGB);
  }
}

void BuildTeachp2Controls(int panel) {
  const TeachPanelTexts& t = TeachPanelTextsOf(0);
  const CtrlCallbackPtr graphCallbacks[3] = {CBF_GraphXYTP2, CBF_GraphXIntTP2, CBF_GraphYIntTP2};
  const int tops[3] = {20, 20, 262}, lefts[3] = {6, 256, 6};
  for (int i = 0; i < 3; ++i) {
    const int id = TP2_GRAPH_XY + i;
    Place(panel, id, CTRL_GRAPH, t.graphs[i], tops[i], lefts[i], 218, 242, graphCallbacks[i]);
    SetHelp(panel, id, help::TP2Graph);
    // Cursors land on recorded points, so the exact search finds the point pointed at.
    SetCtrlAttribute(panel, id, ATTR_CURSOR_SNAP, 1);
    SetCtrlAttribute(panel, id, ATTR_ENABLE_ZOOM, 1);
  }
  for (int i = 0; i < 3; ++i) {
    PlaceDisplay(panel, TP2_X + i, t.values[i], 280, 262 + 80 * i, 70, CBF_DispHelpOnly);
    SetHelp(panel, TP2_X + i, help::TP2Graph);
  }
  for (int i = 0; i < 2; ++i) {
    SetCtrlAttribute(panel, TP2_X + i, ATTR_TEXT_BGCOLOR, t.valueBackground[i]);
    SetCtrlAttribute(panel, TP2_X + i, ATTR_FRAME_COLOR, t.valueFrame[i]);
  }
  PlaceDisplay(panel, TP2_COUNTER, "COUNTER", 322, 262, 70, CBF_DispTP2Counter);
  SetHelp(panel, TP2_COUNTER, help::TP2Counter);
  HelpedButton(panel, TP2_START, "START", 362, 262, 110, CBF_ButtonTP2Start, help::TP2Start);
  HelpedButton(panel, TP2_RESET, "RESET", 362, 382, 110, CBF_ButtonTP2Reset, help::TP2Reset);
  HelpedButton(panel, TP2_TEACH, "TEACH", 402, 262, 110, CBF_ButtonTP2Teach, help::TP2Teach);
  HelpedButton(panel, TP2_CLOSE, "CLOSE", 442, 382, 110, CBF_ButtonCloseTeachPanel, help::CloseTeachPanel);
}
