// The GO loop and the display of measured values.
#include "measurement/go_mode.h"

#include <cstring>

#include "app/Chromik4ANAv12.h"
#include "measurement/live_graphs.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "calibration/calibration.h"
#include "com232/frame.h"
#include "measurement/measured_values.h"
#include "parameters/parameter_panel.h"
#include "parameters/transfer.h"
#include "teach/region_plot.h"
#include "ui/ui.h"

double RgbHistory[3 * HISTORY_SAMPLES] = {};
double XHistory[HISTORY_SAMPLES] = {};
double YHistory[HISTORY_SAMPLES] = {};
double IntHistory[HISTORY_SAMPLES] = {};
std::int32_t CurrentColor = 0;

namespace {

void ShowRgb(int panel, int red, int green, int blue) {
  const MeasuredValuesRecord& m = MeasuredValues;
  SetCtrlVal(panel, red, static_cast<int>(m.Red));
  SetCtrlVal(panel, green, static_cast<int>(m.Green));
  SetCtrlVal(panel, blue, static_cast<int>(m.Blue));
}

}  // namespace

void RunGoLoop() {
  State.GoRunning = 1;
  while (State.GoRunning == 1) {
    if (State.SendRequested) {
      SendParameters();
      if (State.GoRunning == 0) break;
    }
    if (State.GetRequested) {
      GetParameters();
      if (State.GoRunning == 0) break;
    }
    if (ExchangeMeasuredFrame() == 1) {
      ShowRawValues();
      ShowMeasuredValues();
      UpdateLiveGraphs();
    }
    // After a failure the frame layer has cleared GoRunning.
  }
}

int ExchangeMeasuredFrame() {
  BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
  return ExchangeOrder(8) == 1 && TakeMeasuredFrame() == 1 ? 1 : -1;
}

void ShowMeasuredValues() {
  const MeasuredValuesRecord& m = MeasuredValues;
  const int d = Panels.Datap;
  ShowRgb(Panels.DataPage[0], DPAGE_RED, DPAGE_GREEN, DPAGE_BLUE);
  ShowRgb(Panels.DataPage[1], DPAGE_RED, DPAGE_GREEN, DPAGE_BLUE);
  for (int i = 0; i < 3; ++i) SetCtrlVal(Panels.DataPage[1], DPAGE_SIMREF0 + i, static_cast<int>(m.SimRef[i]));
  ShowRgb(Panels.DataPage[2], DPAGE_RED, DPAGE_GREEN, DPAGE_BLUE);
  ShowRgb(d, DATAP_RED, DATAP_GREEN, DATAP_BLUE);
  SetCtrlVal(d, DATAP_X, static_cast<int>(m.X));
  SetCtrlVal(d, DATAP_Y, static_cast<int>(m.Y));
  SetCtrlVal(d, DATAP_INT, static_cast<int>(m.Int));
  SetCtrlVal(d, DATAP_DELTAC, static_cast<int>(m.DeltaC));  // signed: 0xFFFF shows -1
  SetCtrlVal(d, DATAP_COL, static_cast<int>(m.ColorNo));
  SetCtrlVal(d, DATAP_GROUP, static_cast<int>(m.GroupNo));
  SetCtrlVal(d, DATAP_LEDTRIG, m.Trigger != 0 ? 1 : 0);
  for (int i = 0; i < 6; ++i) SetCtrlVal(Panels.DataPage[0], DPAGE_MINMAX0 + i, static_cast<int>(m.MinMaxRGB[i]));
  SetCtrlVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_TEMP, static_cast<int>(m.Temp));
  SetCtrlVal(Panels.Colbigp, COLBIGP_NUMBER, static_cast<int>(m.ColorNo));
  SetCtrlVal(Panels.Grpbigp, GRPBIGP_NUMBER, static_cast<int>(m.GroupNo));
  ShowRgb(Panels.Teachp1, TP1_RED, TP1_GREEN, TP1_BLUE);
  ShowCalibratedValues();
  CurrentColor = ((m.Red / 16) << 16) | ((m.Green / 16) << 8) | (m.Blue / 16);
  SetCtrlAttribute(d, DATAP_COLORBOX, ATTR_FRAME_COLOR, CurrentColor);
  if (ParameterSet.ParameterBlock[PARA_EVALUATION_MODE] > 2) {
    int v = m.ColorNo;
    int out1 = 0;
    if (v >= 2) {
      out1 = 1;
      v -= 2;
    }
    SetCtrlVal(d, DATAP_OUT1, out1);
    SetCtrlVal(d, DATAP_OUT0, v >= 1 ? 1 : 0);
  }
  AppendHistory();
}

void AppendHistory() {
  const MeasuredValuesRecord& m = MeasuredValues;
  std::memmove(RgbHistory, RgbHistory + 3, sizeof(double) * 3 * (HISTORY_SAMPLES - 1));
  std::memmove(XHistory, XHistory + 1, sizeof(double) * (HISTORY_SAMPLES - 1));
  std::memmove(YHistory, YHistory + 1, sizeof(double) * (HISTORY_SAMPLES - 1));
  std::memmove(IntHistory, IntHistory + 1, sizeof(double) * (HISTORY_SAMPLES - 1));
  RgbHistory[3 * HISTORY_SAMPLES - 3] = m.Red;
  RgbHistory[3 * HISTORY_SAMPLES - 2] = m.Green;
  RgbHistory[3 * HISTORY_SAMPLES - 1] = m.Blue;
  XHistory[HISTORY_SAMPLES - 1] = m.X;
  YHistory[HISTORY_SAMPLES - 1] = m.Y;
  IntHistory[HISTORY_SAMPLES - 1] = m.Int;
}

// [SECTION] Callbacks

int CBF_ButtonGo(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(1, 1);
    ReadParametersFromPanel();
    ShowChildPanel(Panels.Datap);
    PlotTeachRegions();
    RunGoLoop();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonStop(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) State.GoRunning = 0;
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispCOL(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_LEFT_DOUBLE_CLICK) DisplayPanel(Panels.Colbigp);
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispGroup(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_LEFT_DOUBLE_CLICK) DisplayPanel(Panels.Grpbigp);
  return HelpOnRightClick(panel, control, event);
}

// The other displays only explain themselves.
int CBF_DispRED(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispGREEN(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispBLUE(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispRGB(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispMinMaxRGB(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispX(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispY(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispINT(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispDeltaC(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_LedTrig(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispTemp(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispHelpOnly(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
