// The program's user-interface resource "Chromik4ANAv12.uir": panel resource
// numbers, control ids per panel and tab page, and the handles of the loaded set.
//
// The panels are built in code (app/uir_*.cpp); each control id is fixed here so
// that the logic can name the controls as the resource does.
#pragma once

constexpr const char* UIR_FILE = "Chromik4ANAv12.uir";

// Resource numbers of the nine panels.
constexpr int COLBIGP = 1;
constexpr int DATAP = 2;
constexpr int GRAPHP = 3;
constexpr int GRPBIGP = 4;
constexpr int MAINP = 5;
constexpr int PASSWORDP = 6;
constexpr int SCOPEP = 7;
constexpr int TEACHP1 = 8;
constexpr int TEACHP2 = 9;

// Pages of the main tab control.
enum MainPage : int {
  PAGE_CONNECTION = 0,
  PAGE_PARAMETER = 1,
  PAGE_GROUP_HOLD = 2,
  PAGE_TEACH = 3,
  PAGE_RECORDER = 4,
  PAGE_CALIBRATION = 5,
  PAGE_TABLE_ATTR = 6,
  PAGE_SCOPE = 7,
  PAGE_OFFSET = 8,
  MAIN_PAGE_COUNT = 9
};

// [SECTION] MAINP
enum MainpCtrl : int {
  MAINP_BAND = 2,        // coloured top band (decoration)
  MAINP_LOGO,            // supplier logo picture
  MAINP_TAB,             // main tab control, nine pages
  MAINP_SEND,            // CBF_ButtonSend, F9
  MAINP_GET,             // CBF_ButtonGet, F10
  MAINP_GO,              // CBF_ButtonGo, F11
  MAINP_STOP,            // CBF_ButtonStop, F12
  MAINP_RAM,             // CBF_SelectMem
  MAINP_EEPROM,          // CBF_SelectMem
  MAINP_FILE,            // CBF_SelectMem
  MAINP_PARASET0,        // CBF_SelectParaSet
  MAINP_PARASET1,        // CBF_SelectParaSet
  MAINP_CTRL_END
};

// [SECTION] Connection page (main tab page 0)
enum ComPageCtrl : int {
  COM_PROTOCOL = 2,      // CBF_EditCommunicationProtocol: RS232 = 0, TCP/IP = 1
  COM_PORT,              // CBF_EditSelectComPort: serial port numbers
  COM_BAUDRATE,          // CBF_EditSelectBaudrate: indexes 0..4
  COM_IP_ADRESS,         // CBF_StringIpAdress: server, a combo box of recent entries
  COM_PORT_NUMBER,       // CBF_StringPortNumber: TCP port text
  COM_TRY_CONNECT,       // CBF_ButtonTryToConnect
  COM_ACCEPT,            // CBF_ButtonAccept
  COM_CHANGE_BAUDRATE,   // CBF_ButtonChangeBaudrate
  COM_GEN_HW_FILE,       // CBF_ButtonGenHwInfoFile
  COM_STATUS,            // CBF_DispStatus: message box
  COM_EDIT_ID,           // CBF_EditID: sensor identification text
  COM_CTRL_END
};

// [SECTION] Group/hold page (main tab page 2)
enum GroupPageCtrl : int {
  GROUP_TABLE = 2,       // CBF_EditGridGroups: 31 rows, column 1 group, column 2 row colour
  HOLD_TABLE,            // CBF_EditGridHold: 32 rows, row 1 HOLD FAIL, column 2 row colour
  GROUP_CTRL_END
};

// [SECTION] Teach page (main tab page 3)
enum TeachPageCtrl : int {
  TEACH_TABLE = 2,       // CBF_GridCtt: 31 rows, columns 1..5 CELL 0..4, column 6 row colour
  TEACH_CTRL_END
};

// [SECTION] Table attributes page (main tab page 6)
enum AttrPageCtrl : int {
  ATTR_SPEC_TABLE = 2,   // 31 rows, column 1 row specification, column 2 row colour
  ATTR_CTRL_END
};

// [SECTION] Calibration page (main tab page 5): the buttons dimmed around exchanges
enum CalPageCtrl : int {
  CAL_SEND_CF = 2,       // CBF_ButtonSendCF
  CAL_GET_CF,            // CBF_ButtonGetCF
  CAL_CALC_CF,           // CBF_ButtonCalcCF
  CAL_SELF_CALIBRATION,  // CBF_ButtonStartSelfCalibration
  CAL_DECO_HIDDEN,       // CBF_DecoCalibrate1: right double click opens the access-code popup
  CAL_CTRL_END
};

// [SECTION] DATAP
enum DatapCtrl : int {
  DATAP_TAB = 2,         // CBF_TabDataP1, four pages
  DATAP_STATUS,          // sensor status line
  DATAP_PORT,            // serial port display (RS-232)
  DATAP_SERVER,          // server display (TCP/IP)
  DATAP_CTRL_END
};

// [SECTION] Big displays and the access-code popup
enum ColbigpCtrl : int { COLBIGP_NUMBER = 2, COLBIGP_ID, COLBIGP_CTRL_END };
enum GrpbigpCtrl : int { GRPBIGP_NUMBER = 2, GRPBIGP_ID, GRPBIGP_CTRL_END };
enum PasswordpCtrl : int { PASSWORDP_STRING = 2, PASSWORDP_CTRL_END };

// Handles of the loaded panel set and of the tab pages.
struct PanelSet {
  int Mainp = 0;                       // main window
  int Datap = 0;                       // live values, child of MAINP
  int Graphp = 0;                      // graph panel, child of MAINP
  int Teachp1 = 0;                     // mean-value teach panel, child of MAINP
  int Teachp2 = 0;                     // recorded-value teach panel, child of MAINP
  int Scopep = 0;                      // scope display, child of MAINP
  int Colbigp = 0;                     // big colour-number display
  int Grpbigp = 0;                     // big group-number display
  int Passwordp = 0;                   // access-code popup
  int Page[MAIN_PAGE_COUNT] = {};      // panels of the main tab control's pages
  int DataPage[4] = {};                // panels of DATAP's tab pages
};

extern PanelSet Panels;

// Registers the panel builders of the resource with the runtime.
void RegisterPanelResources();
