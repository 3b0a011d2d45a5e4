// Builders of the main tab control's pages.
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/uir.h"
#include "app/help.h"
#include "app/uir_build.h"
#include "measurement/live_graphs.h"
#include "calibration/calibration.h"
#include "teach/table_attributes.h"
#include "scope/scope.h"
#include "teach/teach_table.h"
#include "ui/ui.h"

int BuildConnectionPage(int page) {
  Place(page, COM_PROTOCOL, CTRL_RING, "INTERFACE", 22, 10, 22, 120, CBF_EditCommunicationProtocol);
  SetHelp(page, COM_PROTOCOL, help::EditCommunicationProtocol);
  InsertListItem(page, COM_PROTOCOL, -1, "RS232", 0.0);
  InsertListItem(page, COM_PROTOCOL, -1, "TCP/IP", 1.0);
  Place(page, COM_EDIT_ID, CTRL_STRING, "SENSOR ID", 22, 142, 22, 126, CBF_EditID);
  SetHelp(page, COM_EDIT_ID, help::EditID);
  SetCtrlAttribute(page, COM_EDIT_ID, ATTR_MAX_ENTRY_LENGTH, 99);

  Place(page, COM_PORT, CTRL_RING, "COM-PORT", 64, 10, 22, 120, CBF_EditSelectComPort);
  SetHelp(page, COM_PORT, help::EditSelectComPort);
  Place(page, COM_BAUDRATE, CTRL_RING, "BAUDRATE", 64, 142, 22, 126, CBF_EditSelectBaudrate);
  SetHelp(page, COM_BAUDRATE, help::EditSelectBaudrate);
  const char* const rates[] = {"9600", "19200", "38400", "57600", "115200"};
  for (int i = 0; i < 5; ++i) InsertListItem(page, COM_BAUDRATE, -1, rates[i], static_cast<double>(i));
  SetCtrlVal(page, COM_BAUDRATE, 4);

  Place(page, COM_IP_ADRESS, CTRL_STRING, "SERVER (NAME OR IP)", 64, 10, 22, 180, CBF_StringIpAdress);
  SetHelp(page, COM_IP_ADRESS, help::StringIpAdress);
  SetCtrlAttribute(page, COM_IP_ADRESS, ATTR_MAX_ENTRY_LENGTH, 255);
  Place(page, COM_PORT_NUMBER, CTRL_STRING, "PORT", 64, 198, 22, 70, CBF_StringPortNumber);
  SetHelp(page, COM_PORT_NUMBER, help::StringPortNumber);
  SetCtrlAttribute(page, COM_PORT_NUMBER, ATTR_MAX_ENTRY_LENGTH, 31);
  SetCtrlVal(page, COM_PORT_NUMBER, "10001");

  Place(page, COM_TRY_CONNECT, CTRL_COMMAND_BUTTON, "TRY TO CONNECT", 100, 10, 24, 126, CBF_ButtonTryToConnect);
  SetHelp(page, COM_TRY_CONNECT, help::ButtonTryToConnect);
  Place(page, COM_ACCEPT, CTRL_COMMAND_BUTTON, "ACCEPT", 100, 142, 24, 126, CBF_ButtonAccept);
  SetHelp(page, COM_ACCEPT, help::ButtonAccept);
  Place(page, COM_CHANGE_BAUDRATE, CTRL_COMMAND_BUTTON, "CHANGE BAUDRATE", 130, 10, 24, 126, CBF_ButtonChangeBaudrate);
  SetHelp(page, COM_CHANGE_BAUDRATE, help::ButtonChangeBaudrate);
  Place(page, COM_GEN_HW_FILE, CTRL_COMMAND_BUTTON, "HARDWARE FILE", 130, 142, 24, 126, CBF_ButtonGenHwInfoFile);
  SetHelp(page, COM_GEN_HW_FILE, help::ButtonGenHwInfoFile);
  for (int id : {COM_ACCEPT, COM_CHANGE_BAUDRATE, COM_GEN_HW_FILE}) SetCtrlAttribute(page, id, ATTR_DIMMED, 1);

  Place(page, COM_STATUS, CTRL_TEXT_BOX, "MESSAGES", 180, 10, 186, 258, CBF_DispStatus);
  SetCtrlAttribute(page, COM_STATUS, ATTR_CTRL_MODE, VAL_INDICATOR);
  return 0;
}

int BuildCalibrationPage(int page) {
  BuildCalibrationPageControls(page);
  return 0;
}

int BuildOffsetPage(int page) {
  BuildOffsetPageControls(page);
  return 0;
}

namespace {

// A table of numeric cells 0..65535 with an indicator column (the row colour) on the right.
void PlaceRowTable(int page, int id, const char* label, int top, int left, int height, int width, int rows,
                   int columns, CtrlCallbackPtr callback) {
  Place(page, id, CTRL_TABLE, label, top, left, height, width, callback);
  SetTableSize(page, id, rows, columns);
  for (int col = 1; col < columns; ++col) {
    SetTableColumnAttribute(page, id, col, ATTR_MIN_VALUE, 0.0);
    SetTableColumnAttribute(page, id, col, ATTR_MAX_VALUE, 65535.0);
  }
  // The last column is the row colour: a cell without a value, shown by its background.
  SetTableColumnAttribute(page, id, columns, ATTR_CELL_TYPE, VAL_CELL_STRING);
  SetTableColumnAttribute(page, id, columns, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetTableColumnAttribute(page, id, columns, ATTR_LABEL_TEXT, "");
  SetTableColumnAttribute(page, id, columns, ATTR_COLUMN_WIDTH, 16);
}

}  // namespace

int BuildGroupHoldPage(int page) {
  // The COLOR GROUP switch and its label take the first row (parameters/parameter_panel.cpp).
  Place(page, GROUP_RESET, CTRL_COMMAND_BUTTON, "RESET", 56, 6, 24, 64, CBF_ButtonResetGroupTable);
  SetHelp(page, GROUP_RESET, help::ButtonResetGroupTable);
  Place(page, HOLD_RESET_VALUE, CTRL_NUMERIC, "RESET VALUE", 58, 142, 20, 60, CBF_DispHelpOnly);
  SetHelp(page, HOLD_RESET_VALUE, help::EditResetHold);
  SetCtrlAttribute(page, HOLD_RESET_VALUE, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(page, HOLD_RESET_VALUE, ATTR_MAX_VALUE, 65535.0);
  SetCtrlVal(page, HOLD_RESET_VALUE, 10);
  Place(page, HOLD_RESET, CTRL_COMMAND_BUTTON, "RESET", 56, 206, 24, 64, CBF_ButtonResetHoldTable);
  SetHelp(page, HOLD_RESET, help::ButtonResetHoldTable);
  PlaceRowTable(page, GROUP_TABLE, "GROUP TABLE", 100, 6, 266, 128, 31, 2, nullptr);
  SetTableColumnAttribute(page, GROUP_TABLE, 1, ATTR_LABEL_TEXT, "GROUP");
  PlaceRowTable(page, HOLD_TABLE, "HOLD TABLE", 100, 142, 266, 128, 32, 2, nullptr);
  SetTableColumnAttribute(page, HOLD_TABLE, 1, ATTR_LABEL_TEXT, "HOLD");
  return 0;
}

int BuildTeachPage(int page) {
  Place(page, TEACH_NO, CTRL_NUMERIC, "No.", 20, 6, 20, 44, CBF_EditNo);
  SetHelp(page, TEACH_NO, help::EditNo);
  SetCtrlAttribute(page, TEACH_NO, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(page, TEACH_NO, ATTR_MAX_VALUE, 30.0);
  Place(page, TEACH_AUTO_INC, CTRL_BINARY_SWITCH, "AUTO INC", 20, 56, 20, 36, CBF_DispHelpOnly);  // label on the right
  SetHelp(page, TEACH_AUTO_INC, help::AutoIncrement);
  Place(page, TEACH_DATA_TO, CTRL_COMMAND_BUTTON, "TEACH DATA TO", 18, 160, 24, 110, CBF_ButtonTeachDataTo);
  SetHelp(page, TEACH_DATA_TO, help::ButtonTeachDataTo);
  Place(page, TEACH_OPEN_TEACHP1, CTRL_COMMAND_BUTTON, "MEAN VALUES", 54, 6, 24, 94, CBF_ButtonTeachMeanVal);
  SetHelp(page, TEACH_OPEN_TEACHP1, help::ButtonTeachMeanVal);
  Place(page, TEACH_OPEN_TEACHP2, CTRL_COMMAND_BUTTON, "REC VALUES", 54, 106, 24, 94, CBF_ButtonTeachRecVal);
  SetHelp(page, TEACH_OPEN_TEACHP2, help::ButtonTeachRecVal);
  Place(page, TEACH_RESET, CTRL_COMMAND_BUTTON, "RESET", 54, 206, 24, 64, CBF_ButtonResetTable);
  SetHelp(page, TEACH_RESET, help::ButtonResetTable);

  PlaceRowTable(page, TEACH_TABLE, "TEACH TABLE", 100, 4, 266, 270, TEACH_VECTOR_COUNT, TEACH_COLUMNS, CBF_GridCtt);
  const char* const titles[] = {"X", "Y", "CTO", "INT", "ITO"};
  for (int col = 1; col <= TEACH_VALUE_COLUMNS; ++col) {
    SetTableColumnAttribute(page, TEACH_TABLE, col, ATTR_LABEL_TEXT, titles[col - 1]);
    SetTableColumnAttribute(page, TEACH_TABLE, col, ATTR_COLUMN_WIDTH, 40);
    for (int row = 1; row <= TEACH_VECTOR_COUNT; ++row) {
      SetTableCellVal(page, TEACH_TABLE, {row, col}, static_cast<double>(TEACH_RESET_VALUE));
    }
  }
  return 0;
}

int BuildTableAttributesPage(int page) {
  PlaceDisplay(page, ATTR_TEMP, "TEMPERATURE", 20, 6, 80, CBF_DispTemp);
  SetHelp(page, ATTR_TEMP, help::DispTemp);
  // Off: colours set by hand; on: each taught row takes the colour measured.
  Place(page, ATTR_PAGE_MODE, CTRL_BINARY_SWITCH, "AUTO COLORS", 20, 110, 20, 36, CBF_EditSetColor);  // label on the right
  SetHelp(page, ATTR_PAGE_MODE, help::EditSetColor);
  Place(page, ATTR_PAGE_ROW, CTRL_NUMERIC, "ROW", 64, 6, 20, 60, CBF_EditRow);
  SetHelp(page, ATTR_PAGE_ROW, help::EditRow);
  SetCtrlAttribute(page, ATTR_PAGE_ROW, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(page, ATTR_PAGE_ROW, ATTR_MAX_VALUE, 30.0);
  Place(page, ATTR_PAGE_COLOR, CTRL_COLOR_NUMERIC, "COLOR", 64, 80, 20, 60, CBF_EditColorNumericRow);
  SetHelp(page, ATTR_PAGE_COLOR, help::EditColorNumericRow);
  SetCtrlVal(page, ATTR_PAGE_COLOR, 0xFF0000);
  Place(page, ATTR_PAGE_SET, CTRL_COMMAND_BUTTON, "SET", 62, 154, 24, 70, CBF_ButtonSetRowColor);
  SetHelp(page, ATTR_PAGE_SET, help::ButtonSetRowColor);
  Place(page, ATTR_PAGE_SAVE, CTRL_COMMAND_BUTTON, "SAVE", 104, 6, 24, 80, CBF_ButtonSaveArray);
  SetHelp(page, ATTR_PAGE_SAVE, help::ButtonSaveArray);
  Place(page, ATTR_PAGE_LOAD, CTRL_COMMAND_BUTTON, "LOAD", 104, 96, 24, 80, CBF_ButtonGetArray);
  SetHelp(page, ATTR_PAGE_LOAD, help::ButtonGetArray);
  Place(page, ATTR_PAGE_RESET, CTRL_COMMAND_BUTTON, "RESET", 104, 186, 24, 80, CBF_ButtonTableAttrReset);
  SetHelp(page, ATTR_PAGE_RESET, help::ButtonTableAttrReset);
  Place(page, ATTR_SPEC_TABLE, CTRL_TABLE, "ROW SPECIFICATION", 150, 6, 216, 264);
  SetTableSize(page, ATTR_SPEC_TABLE, 31, 2);
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 1, ATTR_CELL_TYPE, VAL_CELL_STRING);
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 1, ATTR_LABEL_TEXT, "Row specification");
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 1, ATTR_COLUMN_WIDTH, 200);
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 2, ATTR_CELL_TYPE, VAL_CELL_STRING);
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 2, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 2, ATTR_LABEL_TEXT, "");
  SetTableColumnAttribute(page, ATTR_SPEC_TABLE, 2, ATTR_COLUMN_WIDTH, 16);
  return 0;
}

// [SECTION] DATAP's displays

namespace {
// Help of the displays whose texts are the program's own.
constexpr const char* kOutLampHelp0 =
    "Displays the state of the digital output OUT0 \nwhen EVALUATION MODE is COL2 or THD (lit = HI).";
constexpr const char* kOutLampHelp1 =
    "Displays the state of the digital output OUT1 \nwhen EVALUATION MODE is COL2 or THD (lit = HI).";
constexpr const char* kColorBoxHelp = "Displays the color currently arriving at the receiver.";
constexpr const char* kSimRefHelp = "Displays the reference values of s, i and M \nwhen ANALOG OUTMODE is siM REF.";

void PlaceHelpedDisplay(int panel, int id, const char* label, int top, int left, int width, CtrlCallbackPtr cb,
                        const char* text) {
  PlaceDisplay(panel, id, label, top, left, width, cb);
  SetHelp(panel, id, text);
}

void PlaceLamp(int panel, int id, const char* label, int top, int left, CtrlCallbackPtr cb, const char* text) {
  Place(panel, id, CTRL_LED, label, top, left, 18, 18, cb);
  SetHelp(panel, id, text);
}
}  // namespace

void BuildDatapDisplays(int panel) {
  PlaceHelpedDisplay(panel, DATAP_RED, "RED", 58, 8, 58, CBF_DispRED, help::DispRED);
  PlaceHelpedDisplay(panel, DATAP_GREEN, "GREEN", 58, 72, 58, CBF_DispGREEN, help::DispGREEN);
  PlaceHelpedDisplay(panel, DATAP_BLUE, "BLUE", 58, 136, 58, CBF_DispBLUE, help::DispBLUE);
  PlaceHelpedDisplay(panel, DATAP_X, "X", 58, 210, 58, CBF_DispX, help::DispX);
  PlaceHelpedDisplay(panel, DATAP_Y, "Y", 58, 274, 58, CBF_DispY, help::DispY);
  PlaceHelpedDisplay(panel, DATAP_INT, "INT", 58, 338, 58, CBF_DispINT, help::DispINT);
  Place(panel, DATAP_COLORBOX, CTRL_DECORATION, "COLOR", 58, 412, 32, 84, CBF_DispHelpOnly);
  SetHelp(panel, DATAP_COLORBOX, kColorBoxHelp);
  SetCtrlAttribute(panel, DATAP_COLORBOX, ATTR_FRAME_COLOR, 0x000000);
  SetCtrlAttribute(panel, DATAP_COLORBOX, ATTR_VISIBLE, 0);  // shown while rows are coloured automatically
  PlaceHelpedDisplay(panel, DATAP_DELTAC, "DELTA C", 98, 8, 58, CBF_DispDeltaC, help::DispDeltaC);
  PlaceHelpedDisplay(panel, DATAP_COL, "C-No", 98, 72, 58, CBF_DispCOL, help::DispCOL);
  PlaceHelpedDisplay(panel, DATAP_GROUP, "GROUP", 98, 136, 58, CBF_DispGroup, help::DispGroup);
  PlaceLamp(panel, DATAP_LEDTRIG, "LED TRIG", 100, 210, CBF_LedTrig, help::LedTrig);  // labels right of the lamps
  SetCtrlAttribute(panel, DATAP_LEDTRIG, ATTR_OFF_COLOR, 0x000000);
  SetCtrlAttribute(panel, DATAP_LEDTRIG, ATTR_ON_COLOR, 0x00C000);
  PlaceLamp(panel, DATAP_OUT0, "OUT0", 100, 296, CBF_DispHelpOnly, kOutLampHelp0);
  PlaceLamp(panel, DATAP_OUT1, "OUT1", 100, 356, CBF_DispHelpOnly, kOutLampHelp1);
  Place(panel, DATAP_SHOW_GRAPH, CTRL_COMMAND_BUTTON, "GRAPH", 96, 412, 24, 84, CBF_ButtonShowGraph);
  SetHelp(panel, DATAP_SHOW_GRAPH, help::ButtonShowGraph);
}

void BuildDataPage(int page, int index) {
  BuildDataPageCharts(page, index);
  if (index == 3) return;  // the projection graphs fill the fourth page
  const char* const names[3] = {"RED", "GREEN", "BLUE"};
  // Below the charts: the three strip charts of the second page need more room.
  const int row = index == 1 ? 290 : 262;
  for (int i = 0; i < 3; ++i) PlaceHelpedDisplay(page, DPAGE_RED + i, names[i], row, 8 + 66 * i, 58, CBF_DispRGB, help::DispRGB);
  if (index == 0) {
    const char* const minmax[6] = {"R MIN", "R MAX", "G MIN", "G MAX", "B MIN", "B MAX"};
    for (int i = 0; i < 6; ++i) {
      PlaceHelpedDisplay(page, DPAGE_MINMAX0 + i, minmax[i], 300, 8 + 66 * i, 58, CBF_DispMinMaxRGB, help::DispMinMaxRGB);
    }
  } else if (index == 1) {
    const char* const refs[3] = {"s REF", "i REF", "M REF"};
    for (int i = 0; i < 3; ++i) {
      PlaceHelpedDisplay(page, DPAGE_SIMREF0 + i, refs[i], row, 230 + 66 * i, 58, CBF_DispHelpOnly, kSimRefHelp);
    }
  }
}

int BuildScopePage(int page) {
  BuildScopePageControls(page);
  return 0;
}
