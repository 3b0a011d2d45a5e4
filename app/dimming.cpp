#include "app/dimming.h"

#include "teach/recorded_teach.h"
#include "recorder/recorder.h"
#include "app/uir.h"
#include "calibration/calibration.h"
#include "scope/scope.h"
#include "ui/ui.h"

void SetButtonsDimmed(int goMode, int dimmed) {
  const int m = Panels.Mainp;
  const int com = Panels.Page[PAGE_CONNECTION];
  // 1. The transfer controls, unless GO starts (GO serves Send and Get itself).
  if (goMode == 0) {
    for (int id : {MAINP_SEND, MAINP_GET, MAINP_RAM, MAINP_EEPROM, MAINP_FILE}) SetCtrlAttribute(m, id, ATTR_DIMMED, dimmed);
  }
  // 2.
  SetCtrlAttribute(m, MAINP_GO, ATTR_DIMMED, dimmed);
  // 3.
  SetCtrlAttribute(com, COM_TRY_CONNECT, ATTR_DIMMED, dimmed);
  SetCtrlAttribute(com, COM_BAUDRATE, ATTR_DIMMED, dimmed);
  // 4. Only a successful identification brings these back.
  if (dimmed == 1) {
    SetCtrlAttribute(com, COM_CHANGE_BAUDRATE, ATTR_DIMMED, 1);
    SetCtrlAttribute(com, COM_GEN_HW_FILE, ATTR_DIMMED, 1);
  }
  // 5. The calibration page's four action buttons.
  const int cal = Panels.Page[PAGE_CALIBRATION];
  for (int id : {CAL_SEND_CF, CAL_GET_CF, CAL_CALC_CF, CAL_SELF_CALIBRATION}) SetCtrlAttribute(cal, id, ATTR_DIMMED, dimmed);
  // 6. to 9.
  DimOffsetButtons(dimmed);
  DimRecorderButtons(dimmed);
  DimScopeButtons(dimmed);
  DimTeachp2StartButton(dimmed);
  // 10. Let the new state show before the long operation begins.
  ProcessSystemEvents();
}

void DimConnectedButtons() {
  const int com = Panels.Page[PAGE_CONNECTION];
  for (int id : {COM_ACCEPT, COM_CHANGE_BAUDRATE, COM_GEN_HW_FILE}) SetCtrlAttribute(com, id, ATTR_DIMMED, 1);
}

void UndimConnectedButtons() {
  const int com = Panels.Page[PAGE_CONNECTION];
  for (int id : {COM_ACCEPT, COM_CHANGE_BAUDRATE, COM_GEN_HW_FILE}) SetCtrlAttribute(com, id, ATTR_DIMMED, 0);
}
