// The panel builders of "Chromik4ANAv12.uir", keyed by resource number.
//
// Positions are pixels from the panel's top left corner; a control's label is
// drawn in the 15 pixels above it.
#include "app/Chromik4ANAv12.h"
#include "app/uir.h"
#include "app/help.h"
#include "app/uir_build.h"
#include "measurement/live_graphs.h"
#include "parameters/changes.h"
#include "parameters/parameter_panel.h"
#include "recorder/recorder.h"
#include "scope/scope.h"
#include "ui/ui.h"

PanelSet Panels;

namespace {

constexpr int kChildWidth = 504;   // the five child panels fill MAINP right of the tab control
constexpr int kChildHeight = 485;

const char* const kMainPageLabels[MAIN_PAGE_COUNT] = {"COM",  "PARA", "GROUP", "TEACH", "REC",
                                                      "CAL",  "ATTR", "SCOPE", "OFFSET"};
const char* const kDataPageLabels[4] = {"RGB", "X Y INT", "2D", "3D"};

int BuildMainp(int panel) {
  SetPanelAttribute(panel, ATTR_TITLE, "CHROMIK4-ANA-Scope V1.2");
  SetPanelSize(panel, 548, 790);
  SetPanelPos(panel, 40, 10);
  Place(panel, MAINP_BAND, CTRL_DECORATION, "", 0, 0, 57, 790);
  Place(panel, MAINP_LOGO, CTRL_PICTURE, "", 6, 325, 22, 150);
  SetCtrlAttribute(panel, MAINP_LOGO, ATTR_VISIBLE, 0);

  Place(panel, MAINP_SEND, CTRL_COMMAND_BUTTON, "SEND", 63, 4, 24, 66, CBF_ButtonSend);
  Place(panel, MAINP_GET, CTRL_COMMAND_BUTTON, "GET", 63, 74, 24, 66, CBF_ButtonGet);
  Place(panel, MAINP_GO, CTRL_COMMAND_BUTTON, "GO", 63, 144, 24, 66, CBF_ButtonGo);
  Place(panel, MAINP_STOP, CTRL_COMMAND_BUTTON, "STOP", 63, 214, 24, 66, CBF_ButtonStop);
  SetHelp(panel, MAINP_SEND, help::ButtonSend);
  SetHelp(panel, MAINP_GET, help::ButtonGet);
  SetHelp(panel, MAINP_GO, help::ButtonGo);
  SetHelp(panel, MAINP_STOP, help::ButtonStop);
  SetCtrlAttribute(panel, MAINP_SEND, ATTR_SHORTCUT_KEY, VAL_F9_VKEY);
  SetCtrlAttribute(panel, MAINP_GET, ATTR_SHORTCUT_KEY, VAL_F10_VKEY);
  SetCtrlAttribute(panel, MAINP_GO, ATTR_SHORTCUT_KEY, VAL_F11_VKEY);
  SetCtrlAttribute(panel, MAINP_STOP, ATTR_SHORTCUT_KEY, VAL_F12_VKEY);

  Place(panel, MAINP_RAM, CTRL_TOGGLE_BUTTON, "RAM", 92, 4, 22, 50, CBF_SelectMem);
  Place(panel, MAINP_EEPROM, CTRL_TOGGLE_BUTTON, "EEPROM", 92, 56, 22, 62, CBF_SelectMem);
  Place(panel, MAINP_FILE, CTRL_TOGGLE_BUTTON, "FILE", 92, 120, 22, 46, CBF_SelectMem);
  Place(panel, MAINP_PARASET0, CTRL_TOGGLE_BUTTON, "ParaSet0", 92, 170, 22, 55, CBF_SelectParaSet);
  Place(panel, MAINP_PARASET1, CTRL_TOGGLE_BUTTON, "ParaSet1", 92, 227, 22, 55, CBF_SelectParaSet);
  for (int id : {MAINP_RAM, MAINP_EEPROM, MAINP_FILE}) SetHelp(panel, id, help::SelectMem);
  for (int id : {MAINP_PARASET0, MAINP_PARASET1}) SetHelp(panel, id, help::SelectParaSet);
  SetCtrlVal(panel, MAINP_RAM, 1);
  SetCtrlVal(panel, MAINP_PARASET0, 1);

  // What the panel holds that is not yet in the sensor or the file: the count and its list.
  Place(panel, MAINP_CHANGES_TEXT, CTRL_TEXT_MSG, "", 119, 6, 16, 200);
  SetCtrlAttribute(panel, MAINP_CHANGES_TEXT, ATTR_TEXT_POINT_SIZE, 8);
  SetCtrlAttribute(panel, MAINP_CHANGES_TEXT, ATTR_TEXT_COLOR, 0x0000A0);
  Place(panel, MAINP_CHANGES, CTRL_COMMAND_BUTTON, "CHANGES", 117, 212, 18, 70, CBF_ButtonChanges);
  SetCtrlAttribute(panel, MAINP_CHANGES, ATTR_TEXT_POINT_SIZE, 8);
  SetCtrlAttribute(panel, MAINP_CHANGES, ATTR_DIMMED, 1);
  SetHelp(panel, MAINP_CHANGES, help::ButtonChanges);

  Place(panel, MAINP_TAB, CTRL_TAB, "", 136, 2, 410, 282, CBF_TabMain1);
  SetHelp(panel, MAINP_TAB, help::TabMain1);
  for (int i = 0; i < MAIN_PAGE_COUNT; ++i) {
    if (InsertTabPage(panel, MAINP_TAB, -1, kMainPageLabels[i]) < 0) return -1;
  }
  int page = 0;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_CONNECTION, &page);
  if (BuildConnectionPage(page) < 0) return -1;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_CALIBRATION, &page);
  if (BuildCalibrationPage(page) < 0) return -1;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_OFFSET, &page);
  if (BuildOffsetPage(page) < 0) return -1;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_GROUP_HOLD, &page);
  if (BuildGroupHoldPage(page) < 0) return -1;
  BuildParameterControlsOfGroupPage(page);
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_PARAMETER, &page);
  if (BuildParameterPage(page) < 0) return -1;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_TEACH, &page);
  if (BuildTeachPage(page) < 0) return -1;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_RECORDER, &page);
  BuildRecorderPageControls(page);
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_TABLE_ATTR, &page);
  if (BuildTableAttributesPage(page) < 0) return -1;
  GetPanelHandleFromTabPage(panel, MAINP_TAB, PAGE_SCOPE, &page);
  if (BuildScopePage(page) < 0) return -1;
  SetPanelCallback(panel, CBF_MAINP, nullptr);
  return 0;
}

int BuildDatap(int panel) {
  SetPanelSize(panel, kChildHeight, kChildWidth);
  // Help of these three displays is the program's own.
  PlaceTextDisplay(panel, DATAP_STATUS, "SENSOR STATUS", 18, 8, 300, CBF_DispHelpOnly);
  SetHelp(panel, DATAP_STATUS, "Displays the state of the connection \nor the identification of the connected sensor.");
  PlaceDisplay(panel, DATAP_PORT, "COM-PORT", 18, 320, 70, CBF_DispHelpOnly);
  SetHelp(panel, DATAP_PORT, "Displays the serial COM-PORT of the sensor.");
  PlaceTextDisplay(panel, DATAP_SERVER, "SERVER", 18, 320, 176, CBF_DispHelpOnly);
  SetHelp(panel, DATAP_SERVER, "Displays the server of the sensor (name or IP address).");
  BuildDatapDisplays(panel);
  Place(panel, DATAP_TAB, CTRL_TAB, "", 130, 4, 350, 496, CBF_TabDataP1);
  SetHelp(panel, DATAP_TAB, help::TabDataP1);
  for (int i = 0; i < 4; ++i) {
    if (InsertTabPage(panel, DATAP_TAB, -1, kDataPageLabels[i]) < 0) return -1;
    int page = 0;
    GetPanelHandleFromTabPage(panel, DATAP_TAB, i, &page);
    BuildDataPage(page, i);
  }
  SetPanelCallback(panel, CBF_DATAP, nullptr);
  return 0;
}

int BuildEmptyChild(int panel, PanelCallbackPtr callback) {
  SetPanelSize(panel, kChildHeight, kChildWidth);
  SetPanelCallback(panel, callback, nullptr);
  return 0;
}

int BuildGraphp(int panel) {
  BuildEmptyChild(panel, CBF_GRAPHP);
  BuildGraphpControls(panel);
  return 0;
}
int BuildTeachp1(int panel) {
  BuildEmptyChild(panel, CBF_TEACHP1);
  BuildTeachp1Controls(panel);
  return 0;
}
int BuildTeachp2(int panel) {
  BuildEmptyChild(panel, CBF_TEACHP2);
  BuildTeachp2Controls(panel);
  return 0;
}
int BuildScopep(int panel) {
  BuildEmptyChild(panel, CBF_SCOPEP);
  BuildScopepControls(panel);
  return 0;
}

int BuildBigDisplay(int panel, int numberId, int idText, const char* title, PanelCallbackPtr callback) {
  SetPanelAttribute(panel, ATTR_TITLE, title);
  SetPanelSize(panel, 190, 300);
  SetPanelPos(panel, 120, 120);
  PlaceDisplay(panel, numberId, "", 14, 20, 260, CBF_BigDisplayPart);
  SetCtrlAttribute(panel, numberId, ATTR_HEIGHT, 120);
  SetCtrlAttribute(panel, numberId, ATTR_TEXT_POINT_SIZE, 72);
  SetCtrlAttribute(panel, numberId, ATTR_TEXT_BOLD, 1);
  Place(panel, idText, CTRL_TEXT_MSG, "", 150, 20, 20, 260, CBF_BigDisplayPart);
  SetPanelCallback(panel, callback, nullptr);
  return 0;
}

int BuildColbigp(int panel) { return BuildBigDisplay(panel, COLBIGP_NUMBER, COLBIGP_ID, "C-No", CBF_COLBIGP); }
int BuildGrpbigp(int panel) { return BuildBigDisplay(panel, GRPBIGP_NUMBER, GRPBIGP_ID, "GROUP", CBF_GRPBIGP); }

int BuildPasswordp(int panel) {
  SetPanelAttribute(panel, ATTR_TITLE, "ACCESS CODE");
  SetPanelSize(panel, 80, 260);
  SetPanelPos(panel, 200, 260);
  Place(panel, PASSWORDP_STRING, CTRL_STRING, "ENTER ACCESS CODE", 30, 20, 22, 220, CBF_StringEnterPW);
  SetPanelCallback(panel, CBF_PASSWORDP, nullptr);
  return 0;
}

}  // namespace

void RegisterPanelResources() {
  RegisterPanelResource(UIR_FILE, MAINP, BuildMainp);
  RegisterPanelResource(UIR_FILE, DATAP, BuildDatap);
  RegisterPanelResource(UIR_FILE, GRAPHP, BuildGraphp);
  RegisterPanelResource(UIR_FILE, TEACHP1, BuildTeachp1);
  RegisterPanelResource(UIR_FILE, TEACHP2, BuildTeachp2);
  RegisterPanelResource(UIR_FILE, SCOPEP, BuildScopep);
  RegisterPanelResource(UIR_FILE, COLBIGP, BuildColbigp);
  RegisterPanelResource(UIR_FILE, GRPBIGP, BuildGrpbigp);
  RegisterPanelResource(UIR_FILE, PASSWORDP, BuildPasswordp);
}
