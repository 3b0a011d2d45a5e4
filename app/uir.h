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
  MAINP_CHANGES_TEXT,    // "<n> CHANGES SINCE <source>": what the panel holds that its source does not
  MAINP_CHANGES,         // CBF_ButtonChanges: lists those values
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

// [SECTION] Parameter page (main tab page 1): one control per ParameterBlock word
enum ParaPageCtrl : int {
  PARA_SLIDE_POWER = 2,  // CBF_SlidePower
  PARA_POWER_MODE_RING,  // CBF_EditPmode
  PARA_AVERAGE_NUM,      // CBF_EditAverage
  PARA_EVAL_MODE_RING,   // CBF_EditEvalmode
  PARA_INTLIM_NUM,       // CBF_EditIntlim
  PARA_MAX_VEC_NO_NUM,   // CBF_EditVMaxVecNo
  PARA_DIG_OUTMODE_RING, // CBF_EditDigOutmode
  PARA_TRIGGER_RING,     // CBF_EditTrigger
  PARA_EXTEACH_RING,     // CBF_EditExteach
  PARA_CALC_MODE_RING,   // CBF_EditCalcmode
  PARA_DYNWIN_LO_NUM,    // CBF_EditDynWinLoHi
  PARA_DYNWIN_HI_NUM,    // CBF_EditDynWinLoHi
  PARA_LED_MODE_RING,    // CBF_EditLedMode
  PARA_GAIN_RING,        // CBF_EditGain
  PARA_INTEGRAL_NUM,     // CBF_EditIntegral
  PARA_ANA_OUTMODE_RING, // CBF_EditAnaOutmode
  PARA_ANA_OUT_RING,     // CBF_EditAnaOut
  PARA_ANA_ZOOM_NUM,     // CBF_EditAnaZoom
  PARA_CTRL_END
};

// [SECTION] Group/hold page (main tab page 2)
enum GroupPageCtrl : int {
  GROUP_TABLE = 2,       // CBF_EditGridGroups: 31 rows, column 1 group, column 2 row colour
  HOLD_TABLE,            // CBF_EditGridHold: 32 rows, row 1 HOLD FAIL, column 2 row colour
  GROUP_COLOR_GROUP,     // CBF_EditColorGroups: COLOR GROUP switch
  GROUP_RESET,           // CBF_ButtonResetGroupTable
  HOLD_RESET,            // CBF_ButtonResetHoldTable
  HOLD_RESET_VALUE,      // hold reset value edit box
  GROUP_CTRL_END
};

// [SECTION] Teach page (main tab page 3)
enum TeachPageCtrl : int {
  TEACH_TABLE = 2,       // CBF_GridCtt: 31 rows, columns 1..5 CELL 0..4, column 6 row colour
  TEACH_NO,              // CBF_EditNo: row 0..30 that teaching writes to
  TEACH_AUTO_INC,        // auto increment switch of No.
  TEACH_DATA_TO,         // CBF_ButtonTeachDataTo
  TEACH_RESET,           // CBF_ButtonResetTable
  TEACH_OPEN_TEACHP1,    // opens the mean-value teach panel
  TEACH_OPEN_TEACHP2,    // opens the recorded-value teach panel
  TEACH_CTRL_END
};

// [SECTION] Record page (main tab page 4)
enum RecPageCtrl : int {
  REC_MODE = 2,          // CBF_EditSelectDataRec: 0 counted, 1 continuous, 2 manual, 3 triggered
  REC_INTERVAL,          // CBF_EditInterval: seconds, at least 0.25
  REC_VALUES,            // CBF_EditRecVal: frames of a counted recording
  REC_TIME_DAYS,         // CBF_DispRecordTime: the four fields of the recording time
  REC_TIME_HOURS,
  REC_TIME_MINUTES,
  REC_TIME_SECONDS,
  REC_RECORDED,          // CBF_DispRecordedValues
  REC_REMAINING,         // CBF_DispRemaining
  REC_FRAME_COUNTER,     // frames of a continuous or triggered run
  REC_START,             // CBF_ButtonStartRecord
  REC_STOP,              // CBF_ButtonStopRecord
  REC_MANUAL,            // CBF_ButtonManualRecord
  REC_START_TRIG,        // CBF_ButtonStartTrigRec
  REC_SELECT_FILE,       // CBF_ButtonSelRecFile
  REC_FILE_PATH,         // CBF_DispRecFile
  REC_PANEL_ID,          // the sensor identification, read only
  REC_CTRL_END
};

// [SECTION] Table attributes page (main tab page 6)
enum AttrPageCtrl : int {
  ATTR_SPEC_TABLE = 2,   // 31 rows, column 1 row specification, column 2 row colour
  ATTR_TEMP,             // CBF_DispTemp: sensor temperature
  ATTR_PAGE_MODE,        // CBF_EditSetColor: 0 = manually, 1 = automatically
  ATTR_PAGE_ROW,         // CBF_EditRow: teach row 0..30 to be coloured
  ATTR_PAGE_COLOR,       // CBF_EditColorNumericRow: the colour picker
  ATTR_PAGE_SET,         // CBF_ButtonSetRowColor
  ATTR_PAGE_SAVE,        // CBF_ButtonSaveArray
  ATTR_PAGE_LOAD,        // CBF_ButtonGetArray
  ATTR_PAGE_RESET,       // CBF_ButtonTableAttrReset
  ATTR_CTRL_END
};

// [SECTION] Calibration page (main tab page 5)
enum CalPageCtrl : int {
  CAL_SEND_CF = 2,       // CBF_ButtonSendCF
  CAL_GET_CF,            // CBF_ButtonGetCF
  CAL_CALC_CF,           // CBF_ButtonCalcCF
  CAL_SELF_CALIBRATION,  // CBF_ButtonStartSelfCalibration
  CAL_DECO_HIDDEN,       // CBF_DecoCalibrate1: right double click opens the access-code popup
  CAL_CF_RED,            // CBF_EditCFR: factor 0..4096
  CAL_CF_GREEN,          // CBF_EditCFG
  CAL_CF_BLUE,           // CBF_EditCFB
  CAL_SET_VALUE,         // CBF_EditSetValue: CalibrationSetValue
  CAL_MAX_DELTA,         // CBF_EditMaxDelta: MaxRawDelta
  CAL_RAW_RED,           // CBF_DispBarsRAW: raw red, green, blue in numbers
  CAL_RAW_GREEN,
  CAL_RAW_BLUE,
  CAL_RAW_BARS,          // CBF_DispBarsRAW: the same as three bars
  CAL_RAW_DELTA,         // CBF_DispRawDelta
  CAL_CAL_RED,           // CBF_DispBars: calibrated red, green, blue in numbers
  CAL_CAL_GREEN,
  CAL_CAL_BLUE,
  CAL_CAL_BARS,          // CBF_DispBars: the same as three bars
  CAL_CTRL_END
};

// [SECTION] Offset page (main tab page 8, hidden until the access code is entered)
enum OffsetPageCtrl : int {
  OFS_EDIT_RED = 2,      // CBF_EditRedOffset: offsets to send, filled by every read
  OFS_EDIT_GREEN,        // CBF_EditGreenOffset
  OFS_EDIT_BLUE,         // CBF_EditBlueOffset
  OFS_DISP_RED,          // CBF_DispRedOffset: offsets of the last measurement
  OFS_DISP_GREEN,        // CBF_DispGreenOffset
  OFS_DISP_BLUE,         // CBF_DispBlueOffset
  OFS_SEND,              // CBF_ButtonSendOffset
  OFS_GET,               // CBF_ButtonGetOffset
  OFS_CALC,              // CBF_ButtonCalcOffset
  OFS_CLOSE,             // CBF_ButtonCloseOffsetCompensation
  OFS_CTRL_END
};

// [SECTION] Scope page (main tab page 7)
enum ScopePageCtrl : int {
  SCOPE_TRIGGER_MODE = 2,  // CBF_EditTriggerMode: 0..4 SINGLE SHOT ... EXTERNAL IN0
  SCOPE_PRE_TRIGGER,       // CBF_EditPreTrigVal
  SCOPE_TRIGGER_LEVEL,     // CBF_EditTriggerLevel
  SCOPE_SCAN_RATE,         // CBF_EditScanRate
  SCOPE_REC_SIGNAL,        // CBF_EditScopeRecSignal: 0 RGB, 1 X Y INT (s i M), 2 analogue
  SCOPE_SCAN_FREQ,         // CBF_DispScanFreq: Hz
  SCOPE_CYCLE_TIME,        // cycle time in ms
  SCOPE_GET_CYCLE_TIME,    // CBF_ButtonGetCycleTime
  SCOPE_SCAN,              // CBF_ButtonScan
  SCOPE_BREAK,             // CBF_ButtonBreakScan
  SCOPE_COMMENT,           // CBF_EditScopeComment: printed with the scope screen
  SCOPE_CTRL_END
};

// [SECTION] SCOPEP: the captured traces with two cursors
enum ScopepCtrl : int {
  SCOPEP_GRAPH = 2,        // CBF_GraphScope: three traces, 128 samples
  SCOPEP_BINARY_GRAPH,     // the two binary traces (levels 0..1 and 2..3)
  SCOPEP_SIGNAL,           // CBF_EditScopeSignal: 0 all, 1 red, 2 green, 3 blue
  SCOPEP_DELTA_X,          // CBF_DispDeltaX: ms between the cursors
  SCOPEP_FREQUENCY,        // 1 / delta X in Hz, blank while delta X is 0
  SCOPEP_DELTA_Y,          // CBF_DispDeltaY: digits
  SCOPEP_DELTA_VOLTS,      // delta Y in V (recorded signal 2 only)
  SCOPEP_SCANNING,         // scan-in-progress lamp
  SCOPEP_ZOOM11,           // CBF_ButtonZoom11
  SCOPEP_CLOSE,            // CBF_ButtonCloseSP
  SCOPEP_PRINT,            // CBF_ButtonPrintScopeGraph
  SCOPEP_SAVE_CSV,         // CBF_ButtonSaveScopeCsv
  SCOPEP_CTRL_END
};

// [SECTION] DATAP
enum DatapCtrl : int {
  DATAP_TAB = 2,         // CBF_TabDataP1, four pages
  DATAP_STATUS,          // sensor status line
  DATAP_PORT,            // serial port display (RS-232)
  DATAP_SERVER,          // server display (TCP/IP)
  DATAP_RED,             // CBF_DispRED
  DATAP_GREEN,           // CBF_DispGREEN
  DATAP_BLUE,            // CBF_DispBLUE
  DATAP_X,               // CBF_DispX: X or s
  DATAP_Y,               // CBF_DispY: Y or i
  DATAP_INT,             // CBF_DispINT: INT or M
  DATAP_DELTAC,          // CBF_DispDeltaC
  DATAP_COL,             // CBF_DispCOL: C-No; a left double click opens COLBIGP
  DATAP_GROUP,           // CBF_DispGroup; a left double click opens GRPBIGP
  DATAP_LEDTRIG,         // CBF_LedTrig
  DATAP_OUT0,            // OUT0 lamp (EVALUATION MODE above 2)
  DATAP_OUT1,            // OUT1 lamp
  DATAP_COLORBOX,        // the current colour
  DATAP_SHOW_GRAPH,      // CBF_ButtonShowGraph: opens GRAPHP
  DATAP_CTRL_END
};

// [SECTION] DATAP's tab pages (the same ids on every page that has the control)
enum DataPageCtrl : int {
  DPAGE_RED = 2,         // CBF_DispRGB (pages 0 to 2)
  DPAGE_GREEN,
  DPAGE_BLUE,
  DPAGE_MINMAX0,         // CBF_DispMinMaxRGB: six displays, page 0
  DPAGE_MINMAX5 = DPAGE_MINMAX0 + 5,
  DPAGE_SIMREF0,         // s, i, M reference displays, page 1
  DPAGE_SIMREF2 = DPAGE_SIMREF0 + 2,
  DPAGE_RGB_CHART,       // page 0: CBF_GraphRGB, three traces; page 3: the RGB strip chart (CBF_Graph3D)
  DPAGE_X_CHART,         // page 1: CBF_GraphINT1, X or s
  DPAGE_Y_CHART,         // page 1: Y or i
  DPAGE_INT_CHART,       // page 1: INT or M
  DPAGE_PLANE_GRAPH,     // page 2: CBF_Graph2D, colour plane X/Y
  DPAGE_INTENSITY_GRAPH, // page 2: CBF_Graph2D, intensity band and cursor
  DPAGE_XY_GRAPH,        // page 3: CBF_Graph3D, X/Y projection
  DPAGE_XINT_GRAPH,      // page 3: X/INT projection
  DPAGE_YINT_GRAPH,      // page 3: Y/INT projection
  DPAGE_CTRL_END
};

// [SECTION] Big displays and the access-code popup
enum ColbigpCtrl : int { COLBIGP_NUMBER = 2, COLBIGP_ID, COLBIGP_CTRL_END };
enum GrpbigpCtrl : int { GRPBIGP_NUMBER = 2, GRPBIGP_ID, GRPBIGP_CTRL_END };
enum PasswordpCtrl : int { PASSWORDP_STRING = 2, PASSWORDP_CTRL_END };

// [SECTION] GRAPHP: the recorder's per-signal graphs, one shown at a time
enum GraphpCtrl : int {
  GRAPHP_GRAPH_RED = 2,  // CBF_PanelGraphGraph; then GREEN, BLUE, X, Y, INT, TEMP in this order
  GRAPHP_GRAPH_TEMP = GRAPHP_GRAPH_RED + 6,
  GRAPHP_SIGNAL,         // CBF_EditSignal: 0..6 RED, GREEN, BLUE, X, Y, INT, TEMP
  GRAPHP_VALUE0,         // latest recorded values, in the order of the graphs
  GRAPHP_VALUE6 = GRAPHP_VALUE0 + 6,
  GRAPHP_CLOSE,          // CBF_ButtonGpClose
  GRAPHP_CTRL_END
};

// [SECTION] TEACHP1: the mean-value teach panel
enum Teachp1Ctrl : int {
  TP1_RED = 2,           // live colour of the last frame: RED, GREEN, BLUE (CBF_DispRGB)
  TP1_GREEN,
  TP1_BLUE,
  TP1_COUNTER,           // CBF_DispTP1Counter: frames captured, 0..100
  TP1_VALUES,            // CBF_GridTP1Values: 100 rows x Red, Green, Blue, X, Y, INT
  TP1_MEAN,              // CBF_GridTP1Mean: 1 row, the six means
  TP1_MAX_DELTA_XY,      // CBF_DispTP1MaxDeltaXY: "d (X/Y)"
  TP1_MAX_DELTA_INT,     // CBF_DispTP1MaxDeltaInt: "d INT"
  TP1_TEACH_CTO_WITH,    // CBF_EditTP1TeachCtoWith: colour tolerance choice 0..2
  TP1_TEACH_ITO_WITH,    // CBF_EditTP1TeachItoWith: intensity tolerance choice 0..2
  TP1_VALUE_CTO,         // CBF_EditTP1ValueCto
  TP1_VALUE_ITO,         // CBF_EditTP1ValueIto
  TP1_CAPTURE,           // CBF_ButtonTP1Capture
  TP1_UNDO,              // CBF_ButtonTP1Undo
  TP1_RESET,             // CBF_ButtonTP1ResetTable
  TP1_TEACH,             // CBF_ButtonTP1Teach
  TP1_CLOSE,             // CBF_ButtonCloseTeachPanel
  TP1_CTRL_END
};

// [SECTION] TEACHP2: the recorded-value teach panel
enum Teachp2Ctrl : int {
  TP2_GRAPH_XY = 2,      // CBF_GraphXYTP2: recorded (X, Y), cursor 1
  TP2_GRAPH_XINT,        // CBF_GraphXIntTP2: recorded (X, INT)
  TP2_GRAPH_YINT,        // CBF_GraphYIntTP2: recorded (Y, INT)
  TP2_X,                 // X (s) of the newest or the selected point
  TP2_Y,                 // Y (i)
  TP2_INT,               // INT (M)
  TP2_COUNTER,           // CBF_DispTP2Counter: points recorded
  TP2_START,             // CBF_ButtonTP2Start
  TP2_RESET,             // CBF_ButtonTP2Reset
  TP2_TEACH,             // CBF_ButtonTP2Teach
  TP2_CLOSE,             // CBF_ButtonCloseTeachPanel
  TP2_CTRL_END
};

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
