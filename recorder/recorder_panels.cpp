// The record page's controls and their callbacks.
#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "app/uir_build.h"
#include "recorder/recorder.h"
#include "ui/ui.h"

namespace {

constexpr const char* kFrameCounterHelp = "Displays how many data frames are recorded \nsince START.";
constexpr const char* kPanelIdHelp = "Shows the identification of the sensor (PANEL ID), \nwritten into the record file.";

void PlaceHelped(int page, int id, CtrlKind kind, const char* label, int top, int left, int height, int width,
                 CtrlCallbackPtr cb, const char* text) {
  Place(page, id, kind, label, top, left, height, width, cb);
  SetHelp(page, id, text);
}

}  // namespace

void BuildRecorderPageControls(int page) {
  PlaceHelped(page, REC_MODE, CTRL_RING, "RECORD MODE", 22, 10, 22, 258, CBF_EditSelectDataRec, help::EditSelectDataRec);
  const char* const modes[] = {"COUNTED", "CONTINUOUS", "MANUAL", "TRIGGERED"};
  for (int i = 0; i < 4; ++i) InsertListItem(page, REC_MODE, -1, modes[i], static_cast<double>(i));

  PlaceHelped(page, REC_INTERVAL, CTRL_NUMERIC, "INTERVAL [s]", 64, 10, 22, 120, CBF_EditInterval, help::EditInterval);
  SetCtrlAttribute(page, REC_INTERVAL, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(page, REC_INTERVAL, ATTR_MAX_VALUE, 86400.0);
  SetCtrlAttribute(page, REC_INTERVAL, ATTR_PRECISION, 2);
  SetCtrlVal(page, REC_INTERVAL, 1.0);
  // At least one frame: with 0 a counted recording would only end when its counter wraps.
  PlaceHelped(page, REC_VALUES, CTRL_NUMERIC, "VALUES", 64, 148, 22, 120, CBF_EditRecVal, help::EditRecVal);
  SetCtrlAttribute(page, REC_VALUES, ATTR_MIN_VALUE, 1.0);
  SetCtrlAttribute(page, REC_VALUES, ATTR_MAX_VALUE, 65535.0);
  SetCtrlVal(page, REC_VALUES, 100);

  const char* const parts[4] = {"DAYS", "HOURS", "MINUTES", "SECONDS"};
  for (int i = 0; i < 4; ++i) {
    PlaceDisplay(page, REC_TIME_DAYS + i, parts[i], 106, 10 + 66 * i, 60, CBF_DispRecordTime);
    SetHelp(page, REC_TIME_DAYS + i, help::DispRecordTime);
  }
  SetCtrlAttribute(page, REC_TIME_SECONDS, ATTR_PRECISION, 2);

  PlaceDisplay(page, REC_RECORDED, "RECORDED VALUES", 148, 10, 120, CBF_DispRecordedValues);
  SetHelp(page, REC_RECORDED, help::DispRecordedValues);
  PlaceDisplay(page, REC_REMAINING, "REMAINING", 148, 148, 120, CBF_DispRemaining);
  SetHelp(page, REC_REMAINING, help::DispRemaining);
  // Continuous and triggered runs count their frames where the counted run shows its progress.
  PlaceDisplay(page, REC_FRAME_COUNTER, "RECORDED FRAMES", 148, 10, 120, CBF_DispHelpOnly);
  SetHelp(page, REC_FRAME_COUNTER, kFrameCounterHelp);

  PlaceHelped(page, REC_START, CTRL_COMMAND_BUTTON, "START", 186, 10, 24, 126, CBF_ButtonStartRecord,
              help::ButtonStartRecord);
  PlaceHelped(page, REC_MANUAL, CTRL_COMMAND_BUTTON, "RECORD FRAME", 186, 10, 24, 126, CBF_ButtonManualRecord,
              help::ButtonManualRecord);
  PlaceHelped(page, REC_START_TRIG, CTRL_COMMAND_BUTTON, "START TRIGGERED", 186, 10, 24, 126, CBF_ButtonStartTrigRec,
              help::ButtonStartTrigRec);
  PlaceHelped(page, REC_STOP, CTRL_COMMAND_BUTTON, "STOP", 186, 142, 24, 126, CBF_ButtonStopRecord,
              help::ButtonStopRecord);

  PlaceHelped(page, REC_SELECT_FILE, CTRL_COMMAND_BUTTON, "SELECT RECORD FILE", 232, 10, 24, 258, CBF_ButtonSelRecFile,
              help::ButtonSelRecFile);
  PlaceTextDisplay(page, REC_FILE_PATH, "RECORD FILE", 276, 10, 258, CBF_DispRecFile);
  SetHelp(page, REC_FILE_PATH, help::DispRecFile);
  PlaceTextDisplay(page, REC_PANEL_ID, "PANEL ID", 318, 10, 258, CBF_DispHelpOnly);
  SetHelp(page, REC_PANEL_ID, kPanelIdHelp);
  // The page opens in counted mode.
  for (int id : {REC_FRAME_COUNTER, REC_MANUAL, REC_START_TRIG}) SetCtrlAttribute(page, id, ATTR_VISIBLE, 0);
}

// [SECTION] Callbacks

int CBF_EditSelectDataRec(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    State.GoRunning = 0;
    GetCtrlVal(panel, REC_MODE, &Recorder.RecordMode);
    if (Recorder.RecordMode == RECORD_MANUAL) {
      Recorder.RecordedCount = 0;
      SetCtrlVal(panel, REC_RECORDED, 0);
    }
    if (Recorder.RecordMode == RECORD_COUNTED) ComputeRecordTime();
    ClearRecordGraph();
    ShowRecordControls();
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditInterval(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ComputeRecordTime();
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditRecVal(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ComputeRecordTime();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonStartRecord(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    ClearRecordGraph();
    RunTimedRecording();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonStopRecord(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) State.GoRunning = 0;
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonStartTrigRec(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) RunTriggeredRecording();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonManualRecord(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetCtrlAttribute(panel, control, ATTR_DIMMED, 1);
    RecordManualFrame();
    SetCtrlAttribute(panel, control, ATTR_DIMMED, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonSelRecFile(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) SelectRecordFile();
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispRecFile(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispRecordTime(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispRecordedValues(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}
int CBF_DispRemaining(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
