// White calibration: the factors read, written, computed on the PC from 100
// frames or by the sensor itself, and the raw and calibrated values on page 5.
#include "calibration/calibration.h"

#include <algorithm>
#include <cstdio>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "com232/link.h"
#include "com232/rs232.h"
#include "measurement/go_mode.h"
#include "measurement/measured_values.h"
#include "ui/ui.h"

CalibrationRecord CalibrationValues;

namespace {

constexpr const char* kSendPowerQuestion =
    "Make sure, that the sensor shines on a WHITE target! \nSelect a proper POWER value that the RAW DATAS are within "
    "the dynamic range.  \nRepeat as long as the intensity for the RAW DATAS is NOT OK.";
constexpr const char* kRamNotice = " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
constexpr int kBarColours[3] = {0xFF0000, 0x00A000, 0x0000FF};

int CalPage() { return Panels.Page[PAGE_CALIBRATION]; }
int OffsetPage() { return Panels.Page[PAGE_OFFSET]; }

std::uint16_t ReadWord(int panel, int control) {
  int v = 0;
  GetCtrlVal(panel, control, &v);
  return static_cast<std::uint16_t>(std::clamp(v, 0, 0xFFFF));
}

// Three bars on a graph scaled 0..4095.
void ShowBars(int panel, int graph, std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
  const std::uint16_t v[3] = {red, green, blue};
  DeleteGraphPlot(panel, graph, -1);
  for (int k = 0; k < 3; ++k) PlotRectangle(panel, graph, k + 0.2, 0.0, k + 0.8, v[k], kBarColours[k], kBarColours[k]);
}

}  // namespace

// [SECTION] Computations

std::uint16_t RawDelta(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
  return static_cast<std::uint16_t>(std::max({red, green, blue}) - std::min({red, green, blue}));
}

FactorOutcome CalibrationFactorsFor(const std::uint16_t averages[4], std::uint16_t setValue, std::uint16_t maxDelta,
                                    std::uint16_t factors[3]) {
  if (averages[3] > maxDelta) return FACTORS_DELTA_TOO_HIGH;
  std::uint16_t computed[3];
  for (int k = 0; k < 3; ++k) {
    const std::uint32_t average = averages[k] == 0 ? 1u : averages[k];
    const std::uint32_t factor = (std::uint32_t{setValue} * 1024u) / average;
    if (factor > CALIBRATION_FACTOR_MAX) return FACTORS_OUT_OF_RANGE;
    computed[k] = static_cast<std::uint16_t>(factor);
  }
  std::copy(computed, computed + 3, factors);
  return FACTORS_COMPUTED;
}

int BlinkColourAtPoll(int i) { return (i / 5) % 2 == 0 ? BUTTON_RED : BUTTON_GREY; }

// [SECTION] Operations

void SendCalibrationFactors() {
  const int page = CalPage();
  Frame.SendWords[0] = ReadWord(page, CAL_CF_RED);
  Frame.SendWords[1] = ReadWord(page, CAL_CF_GREEN);
  Frame.SendWords[2] = ReadWord(page, CAL_CF_BLUE);
  BuildOrderFrame(frame::ORDER_WRITE_CALIBRATION, 20, 0, 6);
  if (ExchangeOrder(14) == 1 && Frame.ResponseStatus != 0) {
    char text[256];
    std::snprintf(text, sizeof text, "INFO!\n%d%s", Frame.ResponseStatus, kRamNotice);
    SetCommMessage(text);
    ShowCommunicationError();
  }
}

int GetCalibrationData() {
  BuildOrderFrame(frame::ORDER_READ_CALIBRATION, 0, 0, 0);
  if (ExchangeOrder(8) != 1) return -1;
  // A short answer would show the zeros of the cleared buffer as the sensor's values.
  if (Frame.ResponseLength < 12) return RefuseShortAnswer();
  CopyResponseToSendWords();
  CalibrationRecord& c = CalibrationValues;
  for (int k = 0; k < 3; ++k) {
    c.CalibrationFactors[k] = Frame.SendWords[k];
    c.SensorOffsets[k] = Frame.SendWords[3 + k];
  }
  const int cal = CalPage();
  const int ofs = OffsetPage();
  const int factorBoxes[3] = {CAL_CF_RED, CAL_CF_GREEN, CAL_CF_BLUE};
  const int offsetBoxes[3] = {OFS_EDIT_RED, OFS_EDIT_GREEN, OFS_EDIT_BLUE};
  for (int k = 0; k < 3; ++k) {
    SetCtrlVal(cal, factorBoxes[k], static_cast<int>(c.CalibrationFactors[k]));
    SetCtrlVal(ofs, offsetBoxes[k], static_cast<int>(c.SensorOffsets[k]));
  }
  return 1;
}

void AverageRawValues() {
  State.GoRunning = 0;
  if (SensorLink.TransportKind == 0) {
    FlushInQ(SensorLink.ComPort);
    FlushOutQ(SensorLink.ComPort);
  }
  if (ConfirmPopup("CONFIRM CALCULATION!", "Are you sure, that you have selected the right calibration parameters? ") != 1) {
    MessagePopup("INFO!", "Please insert the right values and press \n CALCULATE CALIBRATION FACTORS again.");
    return;
  }
  const int page = CalPage();
  std::uint32_t sums[4] = {0, 0, 0, 0};
  for (int i = 0; i < CALIBRATION_POLLS; ++i) {
    if (i % 5 == 0) SetCtrlAttribute(page, CAL_CALC_CF, ATTR_CMD_BUTTON_COLOR, BlinkColourAtPoll(i));
    BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
    if (ExchangeOrder(8) != 1 || TakeMeasuredFrame() != 1) continue;  // reported; the poll still counts
    ShowRawValues();
    const MeasuredValuesRecord& m = MeasuredValues;
    sums[0] += m.RawRed;
    sums[1] += m.RawGreen;
    sums[2] += m.RawBlue;
    sums[3] += RawDelta(m.RawRed, m.RawGreen, m.RawBlue);
  }
  SetCtrlAttribute(page, CAL_CALC_CF, ATTR_CMD_BUTTON_COLOR, BUTTON_GREY);
  for (int k = 0; k < 4; ++k) CalibrationValues.Averages[k] = static_cast<std::uint16_t>(sums[k] / CALIBRATION_POLLS);
  ComputeCalibrationFactors();
}

void ComputeCalibrationFactors() {
  const int page = CalPage();
  CalibrationRecord& c = CalibrationValues;
  c.CalibrationSetValue = ReadWord(page, CAL_SET_VALUE);
  c.MaxRawDelta = ReadWord(page, CAL_MAX_DELTA);
  switch (CalibrationFactorsFor(c.Averages, c.CalibrationSetValue, c.MaxRawDelta, c.CalibrationFactors)) {
    case FACTORS_DELTA_TOO_HIGH:
      MessagePopup("ATTENTION!",
                   "The maximum delta of the raw data values RED,GREEN and BLUE is to high. \nCalibration is not "
                   "possible. \nVerify, that the sensor shines on a WHITE target! \nIncrease MAXIMUM DELTA OF RAW DATAS! ");
      return;
    case FACTORS_OUT_OF_RANGE:
      MessagePopup("ATTENTION!",
                   "One of the calibration factor is out of range. \nCalibration is not possible. \nVerify, that the "
                   "senor shines on a WHITE target! \nChoose a proper POWER value. ");
      return;
    case FACTORS_COMPUTED:
      break;
  }
  SetCtrlVal(page, CAL_CF_RED, static_cast<int>(c.CalibrationFactors[0]));
  SetCtrlVal(page, CAL_CF_GREEN, static_cast<int>(c.CalibrationFactors[1]));
  SetCtrlVal(page, CAL_CF_BLUE, static_cast<int>(c.CalibrationFactors[2]));
  MessagePopup("CALIBRATION PASSED!",
               "Calibration successful! \nCalibration factors were sent to the EEPROM of the sensor. \nGO mode will be "
               "activated. ");
}

void StartSelfCalibration() {
  if (ConfirmPopup("SEND POWER", kSendPowerQuestion) != 1) return;
  SetButtonsDimmed(0, 1);
  State.SensorConnected = 1;
  BuildOrderFrame(frame::ORDER_SELF_CALIBRATION, 0, 0, 0);
  if (ExchangeOrder(8) == 1 && State.SensorConnected == 1) {
    if (Frame.ResponseLength < 10) {
      RefuseShortAnswer();
    } else {
      CopyResponseToSendWords();
      CalibrationRecord& c = CalibrationValues;
      for (int k = 0; k < 3; ++k) c.CalibrationFactors[k] = Frame.SendWords[k];
      c.CalibrationSetValue = Frame.SendWords[3];
      c.MaxRawDelta = Frame.SendWords[4];
      const int page = CalPage();
      SetCtrlVal(page, CAL_CF_RED, static_cast<int>(c.CalibrationFactors[0]));
      SetCtrlVal(page, CAL_CF_GREEN, static_cast<int>(c.CalibrationFactors[1]));
      SetCtrlVal(page, CAL_CF_BLUE, static_cast<int>(c.CalibrationFactors[2]));
      SetCtrlVal(page, CAL_SET_VALUE, static_cast<int>(c.CalibrationSetValue));
      SetCtrlVal(page, CAL_MAX_DELTA, static_cast<int>(c.MaxRawDelta));
      MessagePopup("ATTENTION!", "Confirm calibration factors with SEND CF.");
    }
  }
  SetButtonsDimmed(0, 0);
}

void ShowRawValues() {
  const MeasuredValuesRecord& m = MeasuredValues;
  const int page = CalPage();
  SetCtrlVal(page, CAL_RAW_RED, static_cast<int>(m.RawRed));
  SetCtrlVal(page, CAL_RAW_GREEN, static_cast<int>(m.RawGreen));
  SetCtrlVal(page, CAL_RAW_BLUE, static_cast<int>(m.RawBlue));
  ShowBars(page, CAL_RAW_BARS, m.RawRed, m.RawGreen, m.RawBlue);
  SetCtrlVal(page, CAL_RAW_DELTA, static_cast<int>(RawDelta(m.RawRed, m.RawGreen, m.RawBlue)));
}

void ShowCalibratedValues() {
  const MeasuredValuesRecord& m = MeasuredValues;
  const int page = CalPage();
  SetCtrlVal(page, CAL_CAL_RED, static_cast<int>(m.Red));
  SetCtrlVal(page, CAL_CAL_GREEN, static_cast<int>(m.Green));
  SetCtrlVal(page, CAL_CAL_BLUE, static_cast<int>(m.Blue));
  ShowBars(page, CAL_CAL_BARS, m.Red, m.Green, m.Blue);
}

// [SECTION] Callbacks

int CBF_ButtonSendCF(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    SendCalibrationFactors();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonGetCF(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    GetCalibrationData();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonCalcCF(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT && ConfirmPopup("SEND POWER", kSendPowerQuestion) == 1) {
    SetButtonsDimmed(0, 1);
    AverageRawValues();
    SendCalibrationFactors();
    RunGoLoop();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonStartSelfCalibration(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) StartSelfCalibration();
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditCFR(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditCFG(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditCFB(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditSetValue(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditMaxDelta(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispBarsRAW(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispRawDelta(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispBars(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
