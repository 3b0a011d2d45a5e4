// Offset compensation on the hidden page 8: the sensor's offsets measured,
// read, edited and written back.
#include <algorithm>
#include <cstdio>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "calibration/calibration.h"
#include "com232/frame.h"
#include "ui/ui.h"

namespace {

constexpr const char* kRamNotice = " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
constexpr int kEditBoxes[3] = {OFS_EDIT_RED, OFS_EDIT_GREEN, OFS_EDIT_BLUE};
constexpr int kDisplays[3] = {OFS_DISP_RED, OFS_DISP_GREEN, OFS_DISP_BLUE};

int OffsetPage() { return Panels.Page[PAGE_OFFSET]; }

// An action button of the page: dimmed around its exchange.
template <void (*Operation)()>
int Wrapped(int panel, int control, int event) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    Operation();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

void GetOffsets() { GetCalibrationData(); }

}  // namespace

void SendOffsets() {
  const int page = OffsetPage();
  for (int k = 0; k < 3; ++k) {
    int v = 0;
    GetCtrlVal(page, kEditBoxes[k], &v);
    Frame.SendWords[k] = static_cast<std::uint16_t>(std::clamp(v, 0, 0xFFFF));
  }
  BuildOrderFrame(frame::ORDER_WRITE_CALIBRATION, 20, 1, 6);
  if (ExchangeOrder(14) == 1 && Frame.ResponseStatus != 0) {
    char text[256];
    std::snprintf(text, sizeof text, "INFO!\n%d%s", Frame.ResponseStatus, kRamNotice);
    SetCommMessage(text);
    ShowCommunicationError();
  }
}

void MeasureOffsets() {
  BuildOrderFrame(frame::ORDER_OFFSET_COMPENSATION, 0, 1, 0);
  if (ExchangeOrder(8) != 1) return;
  if (GetCalibrationData() != 1) return;
  for (int k = 0; k < 3; ++k) SetCtrlVal(OffsetPage(), kDisplays[k], static_cast<int>(CalibrationValues.SensorOffsets[k]));
}

void CloseOffsetPage() {
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  SetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, 0);
}

void DimOffsetButtons(int dimmed) {
  for (int id : {OFS_SEND, OFS_GET, OFS_CALC}) SetCtrlAttribute(OffsetPage(), id, ATTR_DIMMED, dimmed);
}

// [SECTION] Callbacks

int CBF_ButtonSendOffset(int panel, int control, int event, void*, int, int) {
  return Wrapped<SendOffsets>(panel, control, event);
}

int CBF_ButtonGetOffset(int panel, int control, int event, void*, int, int) {
  return Wrapped<GetOffsets>(panel, control, event);
}

int CBF_ButtonCalcOffset(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT &&
      ConfirmPopup("CALCULATE OFFSET", "Make sure, that the receiver of the sensor is covered!") == 1) {
    SetButtonsDimmed(0, 1);
    MeasureOffsets();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonCloseOffsetCompensation(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) CloseOffsetPage();
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditRedOffset(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditGreenOffset(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditBlueOffset(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispRedOffset(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispGreenOffset(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispBlueOffset(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
