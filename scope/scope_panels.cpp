// The scope page's and SCOPEP's controls and their callbacks.
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/uir_build.h"
#include "scope/scope.h"
#include "scope/scope_report.h"
#include "ui/ui.h"

namespace {

constexpr const char* kPrintHelp = "Print settings,scope graph and comment.";
constexpr const char* kFrequencyHelp =
    "Shows 1/deltaX in [Hz]: the frequency of a signal period \nplaced between the two cursors. \nEmpty while deltaX is 0.";
constexpr const char* kSaveCsvHelp =
    "Save the displayed samples to a CSV file \n(index, time [ms], the three lines and the two binary lines).";

// The pre-trigger and trigger-level fields apply only to the modes that use them.
void DimTriggerFields(int page) {
  int mode = 0;
  GetCtrlVal(page, SCOPE_TRIGGER_MODE, &mode);
  const int levelDimmed = mode == 1 || mode == 2 ? 0 : 1;
  const int preDimmed = mode == 0 ? 1 : 0;
  SetCtrlAttribute(page, SCOPE_TRIGGER_LEVEL, ATTR_DIMMED, levelDimmed);
  SetCtrlAttribute(page, SCOPE_PRE_TRIGGER, ATTR_DIMMED, preDimmed);
}

void ShowVoltsForSignal(int page) {
  int signal = 0;
  GetCtrlVal(page, SCOPE_REC_SIGNAL, &signal);
  SetCtrlAttribute(Panels.Scopep, SCOPEP_DELTA_VOLTS, ATTR_VISIBLE, signal == 2 ? 1 : 0);
}

void PlaceField(int page, int id, const char* label, int top, int left, double min, double max, double value,
                CtrlCallbackPtr cb, const char* help) {
  Place(page, id, CTRL_NUMERIC, label, top, left, 22, 120, cb);
  SetCtrlAttribute(page, id, ATTR_MIN_VALUE, min);
  SetCtrlAttribute(page, id, ATTR_MAX_VALUE, max);
  SetCtrlAttribute(page, id, ATTR_PRECISION, 0);
  SetCtrlVal(page, id, value);
  SetHelp(page, id, help);
}

}  // namespace

void BuildScopePageControls(int page) {
  Place(page, SCOPE_TRIGGER_MODE, CTRL_RING, "TRIGGER MODE", 22, 10, 22, 258, CBF_EditTriggerMode);
  const char* const modes[] = {"SINGLE SHOT", "RISING EDGE", "FALLING EDGE", "INTERNAL C-No.0", "EXTERNAL IN0"};
  for (int i = 0; i < 5; ++i) InsertListItem(page, SCOPE_TRIGGER_MODE, -1, modes[i], static_cast<double>(i));
  SetHelp(page, SCOPE_TRIGGER_MODE, help::EditTriggerMode);
  PlaceField(page, SCOPE_PRE_TRIGGER, "PRE TRIGGER", 64, 10, 0, 127, 10, CBF_EditPreTrigVal, help::EditPreTrigVal);
  PlaceField(page, SCOPE_TRIGGER_LEVEL, "TRIGGER LEVEL", 64, 148, 0, 4095, 2000, CBF_EditTriggerLevel,
             help::EditTriggerLevel);
  PlaceField(page, SCOPE_SCAN_RATE, "SCAN RATE", 106, 10, 1, 1000, 1, CBF_EditScanRate, help::EditScanRate);
  Place(page, SCOPE_REC_SIGNAL, CTRL_RING, "RECORDED SIGNAL", 106, 148, 22, 120, CBF_EditScopeRecSignal);
  const char* const signals[] = {"R G B", "X Y INT", "ANALOG"};
  for (int i = 0; i < 3; ++i) InsertListItem(page, SCOPE_REC_SIGNAL, -1, signals[i], static_cast<double>(i));
  SetHelp(page, SCOPE_REC_SIGNAL, help::EditScopeRecSignal);

  PlaceDisplay(page, SCOPE_SCAN_FREQ, "SCAN FREQ. [Hz]", 148, 10, 120, CBF_DispScanFreq);
  SetHelp(page, SCOPE_SCAN_FREQ, help::DispScanFreq);
  SetCtrlAttribute(page, SCOPE_SCAN_FREQ, ATTR_PRECISION, 2);
  PlaceDisplay(page, SCOPE_CYCLE_TIME, "CYCLE TIME [ms]", 148, 148, 120, CBF_DispScanFreq);
  SetHelp(page, SCOPE_CYCLE_TIME, help::DispScanFreq);
  SetCtrlAttribute(page, SCOPE_CYCLE_TIME, ATTR_PRECISION, 0);

  Place(page, SCOPE_GET_CYCLE_TIME, CTRL_COMMAND_BUTTON, "GET CYCLE TIME", 180, 10, 24, 258, CBF_ButtonGetCycleTime);
  SetHelp(page, SCOPE_GET_CYCLE_TIME, help::ButtonGetCycleTime);
  Place(page, SCOPE_SCAN, CTRL_COMMAND_BUTTON, "SCAN", 212, 10, 24, 126, CBF_ButtonScan);
  SetHelp(page, SCOPE_SCAN, help::ButtonScan);
  Place(page, SCOPE_BREAK, CTRL_COMMAND_BUTTON, "BREAK", 212, 142, 24, 126, CBF_ButtonBreakScan);
  SetHelp(page, SCOPE_BREAK, help::ButtonBreakScan);

  Place(page, SCOPE_COMMENT, CTRL_TEXT_BOX, "COMMENT", 262, 10, 100, 258, CBF_EditScopeComment);
  DimTriggerFields(page);
}

void BuildScopepControls(int panel) {
  Place(panel, SCOPEP_GRAPH, CTRL_GRAPH, "SCOPE", 18, 6, 250, 492, CBF_GraphScope);
  SetHelp(panel, SCOPEP_GRAPH, help::GraphScope);
  SetCtrlAttribute(panel, SCOPEP_GRAPH, ATTR_NUM_CURSORS, 2);
  SetCtrlAttribute(panel, SCOPEP_GRAPH, ATTR_ENABLE_ZOOM, 1);
  SetAxisScalingMode(panel, SCOPEP_GRAPH, VAL_XAXIS, VAL_MANUAL, 0.0, 128.0);
  SetAxisScalingMode(panel, SCOPEP_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, 4100.0);
  SetGraphCursor(panel, SCOPEP_GRAPH, 1, 20.0, 1000.0);
  SetGraphCursor(panel, SCOPEP_GRAPH, 2, 40.0, 3000.0);

  Place(panel, SCOPEP_BINARY_GRAPH, CTRL_GRAPH, "", 272, 6, 76, 492, CBF_DispHelpOnly);
  SetHelp(panel, SCOPEP_BINARY_GRAPH, "Displays bit 0 (upper line) and bit 1 (lower line) \nof the sensor state.");
  SetCtrlAttribute(panel, SCOPEP_BINARY_GRAPH, ATTR_NUM_CURSORS, 2);
  SetAxisScalingMode(panel, SCOPEP_BINARY_GRAPH, VAL_XAXIS, VAL_MANUAL, 0.0, 128.0);
  SetAxisScalingMode(panel, SCOPEP_BINARY_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, -0.5, 3.5);
  SetGraphCursor(panel, SCOPEP_BINARY_GRAPH, 1, 20.0, 0.0);
  SetGraphCursor(panel, SCOPEP_BINARY_GRAPH, 2, 40.0, 0.0);

  Place(panel, SCOPEP_SIGNAL, CTRL_RING, "DISPLAY", 368, 6, 22, 110, CBF_EditScopeSignal);
  const char* const shown[] = {"ALL", "RED LINE", "GREEN LINE", "BLUE LINE"};
  for (int i = 0; i < 4; ++i) InsertListItem(panel, SCOPEP_SIGNAL, -1, shown[i], static_cast<double>(i));
  SetHelp(panel, SCOPEP_SIGNAL, help::EditScopeSignal);
  PlaceDisplay(panel, SCOPEP_DELTA_X, "deltaX [ms]", 368, 124, 90, CBF_DispDeltaX);
  SetHelp(panel, SCOPEP_DELTA_X, help::DispDeltaX);
  PlaceTextDisplay(panel, SCOPEP_FREQUENCY, "1/deltaX [Hz]", 368, 220, 90, CBF_DispHelpOnly);
  SetHelp(panel, SCOPEP_FREQUENCY, kFrequencyHelp);
  PlaceDisplay(panel, SCOPEP_DELTA_Y, "deltaY [digit]", 368, 316, 86, CBF_DispDeltaY);
  SetHelp(panel, SCOPEP_DELTA_Y, help::DispDeltaY);
  SetCtrlAttribute(panel, SCOPEP_DELTA_Y, ATTR_PRECISION, 0);
  PlaceDisplay(panel, SCOPEP_DELTA_VOLTS, "deltaY [V]", 368, 408, 90, CBF_DispDeltaY);
  SetHelp(panel, SCOPEP_DELTA_VOLTS, help::DispDeltaY);
  SetCtrlAttribute(panel, SCOPEP_DELTA_VOLTS, ATTR_PRECISION, 3);
  SetCtrlAttribute(panel, SCOPEP_DELTA_VOLTS, ATTR_VISIBLE, 0);

  Place(panel, SCOPEP_SCANNING, CTRL_LED, "SCAN IN PROGRESS", 412, 6, 20, 20, CBF_DispHelpOnly);
  SetHelp(panel, SCOPEP_SCANNING, "Lit while the sensor waits for the trigger \nand sends the recorded data.");
  SetCtrlAttribute(panel, SCOPEP_SCANNING, ATTR_ON_COLOR, 0xFF0000);
  SetCtrlAttribute(panel, SCOPEP_SCANNING, ATTR_VISIBLE, 0);
  Place(panel, SCOPEP_ZOOM11, CTRL_COMMAND_BUTTON, "ZOOM 1:1", 448, 6, 24, 90, CBF_ButtonZoom11);
  SetHelp(panel, SCOPEP_ZOOM11, help::ButtonZoom11);
  Place(panel, SCOPEP_PRINT, CTRL_COMMAND_BUTTON, "PRINT", 448, 214, 24, 90, CBF_ButtonPrintScopeGraph);
  SetHelp(panel, SCOPEP_PRINT, kPrintHelp);
  Place(panel, SCOPEP_SAVE_CSV, CTRL_COMMAND_BUTTON, "SAVE CSV", 448, 310, 24, 90, CBF_ButtonSaveScopeCsv);
  SetHelp(panel, SCOPEP_SAVE_CSV, kSaveCsvHelp);
  Place(panel, SCOPEP_CLOSE, CTRL_COMMAND_BUTTON, "CLOSE", 448, 408, 24, 90, CBF_ButtonCloseSP);
  SetHelp(panel, SCOPEP_CLOSE, help::ButtonCloseSP);
}

// [SECTION] Scope page callbacks

int CBF_EditTriggerMode(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) DimTriggerFields(panel);
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditPreTrigVal(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditTriggerLevel(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditScanRate(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) UpdateScopeDeltas();
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditScopeRecSignal(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ShowVoltsForSignal(panel);
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispScanFreq(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonGetCycleTime(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    MeasureCycleTime();
    UpdateScopeDeltas();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonScan(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    ResetScopeAxes();
    SetCtrlAttribute(Panels.Scopep, SCOPEP_SCANNING, ATTR_VISIBLE, 1);
    SetCtrlVal(Panels.Scopep, SCOPEP_SCANNING, 1);
    ShowChildPanel(Panels.Scopep);
    RunScopeScan();
    SetCtrlVal(Panels.Scopep, SCOPEP_SCANNING, 0);
    SetCtrlAttribute(Panels.Scopep, SCOPEP_SCANNING, ATTR_VISIBLE, 0);
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonBreakScan(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    BreakScopeScan();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditScopeComment(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_RIGHT_DOUBLE_CLICK) ResetTextBox(panel, control, "");
  return 0;
}

// [SECTION] SCOPEP callbacks

int CBF_GraphScope(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED || event == EVENT_COMMIT) UpdateScopeDeltas();
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditScopeSignal(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) DrawScopeSignals();
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispDeltaX(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispDeltaY(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonZoom11(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ResetScopeAxes();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonCloseSP(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ShowChildPanel(Panels.Datap);
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonPrintScopeGraph(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) PrintScopeReport();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonSaveScopeCsv(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) SaveScopeCsv();
  return HelpOnRightClick(panel, control, event);
}
