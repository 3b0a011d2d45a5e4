// The panel-and-control runtime the program logic talks to.
//
// It is a retained model: every panel and control exists as data (value,
// label, dimmed, visible, colours, items, table cells, graph plots, cursors,
// tab pages ...). The logic only calls the functions below; a face (headless
// for tests, Qt 6 for operators) shows the model and turns operator input into
// the events listed here. Nothing in this header depends on Qt.
//
// Conventions: panels and controls are addressed by (panel handle, control id).
// Functions that can fail return a negative value and change nothing; they
// never throw. Texts are UTF-8/Latin-1 bytes as the logic hands them in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// [SECTION] Events (the codes the program relies on)
constexpr int EVENT_NONE = 0;
constexpr int EVENT_COMMIT = 1;
constexpr int EVENT_VAL_CHANGED = 2;
constexpr int EVENT_LEFT_CLICK = 3;
constexpr int EVENT_LEFT_DOUBLE_CLICK = 4;
constexpr int EVENT_RIGHT_CLICK = 5;
constexpr int EVENT_RIGHT_DOUBLE_CLICK = 6;
constexpr int EVENT_KEYPRESS = 7;  // eventData1 = key code (VAL_F9_VKEY ...)
constexpr int EVENT_CLOSE = 11;
constexpr int EVENT_PANEL_SIZE = 12;
constexpr int EVENT_ACTIVE_TAB_CHANGE = 31;  // eventData1 = old page, eventData2 = new page

// Function keys bound as control shortcuts.
constexpr int VAL_F9_VKEY = 0x1009;
constexpr int VAL_F10_VKEY = 0x100A;
constexpr int VAL_F11_VKEY = 0x100B;
constexpr int VAL_F12_VKEY = 0x100C;

// Control callback: returns 0 so the default handling continues.
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
// Panel callback (close, size, right double click on the panel itself).
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1, int eventData2);
// Context-menu item callback.
using MenuItemCallbackPtr = void (*)(int panel, int control, int menuItem, void* callbackData);
// Panel builder of the resource code: creates the controls of one panel.
using PanelBuilderPtr = int (*)(int panel);

// [SECTION] Control kinds and attributes
enum CtrlKind : int {
  CTRL_COMMAND_BUTTON,  // push button: commit on click
  CTRL_TOGGLE_BUTTON,   // on/off button: value 0/1, value changed + commit on click
  CTRL_BINARY_SWITCH,   // on/off switch, same events as a toggle button
  CTRL_NUMERIC,         // number field (editable or indicator)
  CTRL_SLIDE,           // horizontal slider holding a number
  CTRL_STRING,          // one-line text field (may carry a drop-down list: combo box)
  CTRL_TEXT_BOX,        // multi-line text
  CTRL_RING,            // drop-down list of items with values
  CTRL_LIST_BOX,        // list of items with values
  CTRL_LED,             // lamp: value 0 dark, non-zero lit
  CTRL_TEXT_MSG,        // static text
  CTRL_DECORATION,      // frame or filled area
  CTRL_PICTURE,         // image from a file
  CTRL_COLOR_NUMERIC,   // colour picker holding 0xRRGGBB
  CTRL_TABLE,           // grid of cells
  CTRL_GRAPH,           // x/y graph with plots and cursors
  CTRL_STRIP_CHART,     // scrolling chart with interleaved traces
  CTRL_TAB,             // tab control: each page is a panel
  CTRL_KIND_COUNT
};

enum CtrlMode : int { VAL_NORMAL = 0, VAL_INDICATOR = 1, VAL_HOT = 2 };

enum Attr : int {
  // controls and panels
  ATTR_DIMMED,          // int 0/1
  ATTR_VISIBLE,         // int 0/1
  ATTR_LABEL_TEXT,      // string: control label, graph title, table column title
  ATTR_TEXT_COLOR,      // int 0xRRGGBB
  ATTR_TEXT_BGCOLOR,    // int 0xRRGGBB, or VAL_TRANSPARENT
  ATTR_FRAME_COLOR,     // int 0xRRGGBB: frame, decoration fill, second colour of displays
  ATTR_CMD_BUTTON_COLOR,// int 0xRRGGBB
  ATTR_ON_COLOR,        // int: LED lit colour, switch on colour
  ATTR_OFF_COLOR,       // int: LED dark colour
  ATTR_CTRL_MODE,       // CtrlMode
  ATTR_PRECISION,       // int: digits after the point
  ATTR_MIN_VALUE,       // double
  ATTR_MAX_VALUE,       // double
  ATTR_TOP,             // int pixels
  ATTR_LEFT,            // int pixels
  ATTR_WIDTH,           // int pixels
  ATTR_HEIGHT,          // int pixels
  ATTR_TEXT_FONT,       // string
  ATTR_TEXT_POINT_SIZE, // int
  ATTR_TEXT_BOLD,       // int 0/1
  ATTR_TEXT_ITALIC,     // int 0/1 (controls and table cells)
  ATTR_MAX_ENTRY_LENGTH,// int characters (0 = unlimited)
  ATTR_PASSWORD_MASK,   // int: mask character, 0 = none
  ATTR_SHORTCUT_KEY,    // int: VAL_F9_VKEY ...; pressing it commits the control
  ATTR_TOOLTIP_TEXT,    // string
  ATTR_ACCESSIBLE_NAME, // string: what assistive tools call a control or panel that shows no label
  // panels only
  ATTR_TITLE,           // string
  ATTR_WINDOW_ZOOM,     // int: VAL_NO_ZOOM, VAL_MINIMIZE, VAL_MAXIMIZE
  ATTR_BACKCOLOR,       // int 0xRRGGBB
  // tables
  ATTR_NUM_ROWS,        // int (read only)
  ATTR_NUM_COLUMNS,     // int (read only)
  ATTR_ROW_LABEL_COLOR, // int: text colour of a row label (table row attribute)
  ATTR_COLUMN_IN_USE,   // int 0/1 (table column attribute): unused columns are greyed
  ATTR_CELL_TYPE,       // int: VAL_CELL_NUMERIC / VAL_CELL_STRING (column attribute)
  ATTR_COLUMN_WIDTH,    // int pixels (column attribute)
  // graphs and strip charts
  ATTR_POINTS_PER_SCREEN, // int (strip chart)
  ATTR_NUM_TRACES,      // int (strip chart, read only)
  ATTR_TRACE_COLOR,     // int (trace attribute)
  ATTR_TRACE_VISIBLE,   // int 0/1 (trace attribute)
  ATTR_TRACE_LABEL,     // string (trace attribute)
  ATTR_ENABLE_ZOOM,     // int 0/1: Ctrl+drag zooms the graph
  ATTR_CURSOR_SNAP,     // int 0/1: cursors snap to the nearest plotted point
  ATTR_NUM_CURSORS,     // int
  ATTR_XNAME,           // string: x axis name
  ATTR_YNAME,           // string: y axis name
  ATTR_PLOT_BGCOLOR,    // int
  ATTR_COUNT
};

constexpr int VAL_TRANSPARENT = 0x1000000;
constexpr int VAL_NO_ZOOM = 0;
constexpr int VAL_MINIMIZE = 1;
constexpr int VAL_MAXIMIZE = 2;
constexpr int VAL_CELL_NUMERIC = 0;
constexpr int VAL_CELL_STRING = 1;

// Axis scaling
constexpr int VAL_XAXIS = 0;
constexpr int VAL_LEFT_YAXIS = 1;
constexpr int VAL_MANUAL = 0;
constexpr int VAL_AUTOSCALE = 1;

// Point styles of PlotPoint (10 = small solid marker, as the program asks for it)
constexpr int VAL_SOLID_SQUARE = 10;
constexpr int VAL_SOLID_CIRCLE = 11;
constexpr int VAL_SIMPLE_DOT = 12;
constexpr int VAL_CROSS = 13;

// Popup results
constexpr int VAL_NO_FILE_SELECTED = 0;
constexpr int VAL_EXISTING_FILE_SELECTED = 1;
constexpr int VAL_NEW_FILE_SELECTED = 2;
constexpr int VAL_LOAD_BUTTON = 0;
constexpr int VAL_SAVE_BUTTON = 1;
constexpr int VAL_OK_BUTTON = 2;  // as the save button (any file), labelled OK
constexpr int VAL_USER_CANCEL = -1;

// Return codes
constexpr int UI_OK = 0;
constexpr int UIE_BAD_HANDLE = -4;
constexpr int UIE_BAD_CONTROL = -5;
constexpr int UIE_BAD_ATTRIBUTE = -6;
constexpr int UIE_BAD_INDEX = -7;
constexpr int UIE_NO_RESOURCE = -8;

struct TableCell {
  int row;     // 1-based
  int column;  // 1-based
};
struct TableRect {
  int top;     // 1-based row, 0 = no selection
  int left;    // 1-based column, 0 = no selection
  int height;
  int width;
};

// [SECTION] Resource: panels defined in code, keyed by resource number
// The resource code registers a builder per resource number; LoadPanel runs it.
void RegisterPanelResource(const char* resourceFile, int resourceId, PanelBuilderPtr builder);

// [SECTION] Panels
int LoadPanel(int parentPanel, const char* resourceFile, int resourceId);  // handle > 0, negative on failure
int NewPanel(int parentPanel, const char* title, int top, int left, int height, int width);
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);  // discards the panel with its child panels
int InstallPopup(int panel);  // shows the panel modally: other panels get no operator events
int RemovePopup(int panel);   // 0 = the topmost popup
int SetPanelCallback(int panel, PanelCallbackPtr callback, void* callbackData);
int SetPanelAttribute(int panel, Attr attr, int value);
int SetPanelAttribute(int panel, Attr attr, const char* value);
int GetPanelAttribute(int panel, Attr attr, int* value);
int GetPanelAttribute(int panel, Attr attr, std::string* value);
int SetPanelPos(int panel, int top, int left);
int SetPanelSize(int panel, int height, int width);
int GetActivePopup();  // topmost modal popup, 0 when none

// [SECTION] Tab controls
int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pagePanel);
int InsertTabPage(int panel, int tabControl, int pageIndex, const char* label);  // builder use; -1 = end
int GetActiveTabPage(int panel, int tabControl, int* pageIndex);
int SetActiveTabPage(int panel, int tabControl, int pageIndex);  // no event is sent
int GetNumTabPages(int panel, int tabControl, int* count);
int SetTabPageAttribute(int panel, int tabControl, int pageIndex, Attr attr, int value);
int SetTabPageAttribute(int panel, int tabControl, int pageIndex, Attr attr, const char* value);
int GetTabPageAttribute(int panel, int tabControl, int pageIndex, Attr attr, int* value);

// [SECTION] Controls
// NewCtrl places a control at (top, left) with a label; builders also use it.
int NewCtrl(int panel, CtrlKind kind, const char* label, int top, int left);  // control id, negative on failure
// NewCtrlWithId is the builder's form: the resource code fixes the ids.
int NewCtrlWithId(int panel, int controlId, CtrlKind kind, const char* label, int top, int left, int height,
                  int width);
int DiscardCtrl(int panel, int control);
int SetCtrlCallback(int panel, int control, CtrlCallbackPtr callback, void* callbackData);
int GetCtrlKind(int panel, int control, CtrlKind* kind);
// Runs a control's or panel's callback as if the event had come from the operator.
int CallCtrlCallback(int panel, int control, int event, int eventData1, int eventData2);
int CallPanelCallback(int panel, int event, int eventData1, int eventData2);

int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, unsigned value);
int SetCtrlVal(int panel, int control, const char* value);
int SetCtrlVal(int panel, int control, const std::string& value);
int GetCtrlVal(int panel, int control, double* value);
int GetCtrlVal(int panel, int control, int* value);
int GetCtrlVal(int panel, int control, unsigned short* value);
int GetCtrlVal(int panel, int control, short* value);
int GetCtrlVal(int panel, int control, std::string* value);
int GetCtrlVal(int panel, int control, char* buffer, std::size_t bufferSize);  // always terminated

int SetCtrlAttribute(int panel, int control, Attr attr, int value);
int SetCtrlAttribute(int panel, int control, Attr attr, double value);
int SetCtrlAttribute(int panel, int control, Attr attr, const char* value);
int GetCtrlAttribute(int panel, int control, Attr attr, int* value);
int GetCtrlAttribute(int panel, int control, Attr attr, double* value);
int GetCtrlAttribute(int panel, int control, Attr attr, std::string* value);

// Text boxes keep their text; these append or clear it.
int AppendTextBox(int panel, int control, const char* text);
int ResetTextBox(int panel, int control, const char* text);

// Pictures
int DisplayImageFile(int panel, int control, const char* path);

// [SECTION] Lists and rings (also the drop-down list of a string control)
int InsertListItem(int panel, int control, int index, const char* label, double value);  // -1 = end
int InsertListItem(int panel, int control, int index, const char* label, const char* value);
int ReplaceListItem(int panel, int control, int index, const char* label, double value);
int ReplaceListItem(int panel, int control, int index, const char* label, const char* value);
int DeleteListItem(int panel, int control, int index, int count);  // count -1 = to the end
int ClearListCtrl(int panel, int control);
int GetNumListItems(int panel, int control, int* count);
int GetCtrlIndex(int panel, int control, int* index);  // -1 when empty
int SetCtrlIndex(int panel, int control, int index);
int GetLabelFromIndex(int panel, int control, int index, std::string* label);
int GetValueFromIndex(int panel, int control, int index, double* value);
int GetValueFromIndex(int panel, int control, int index, std::string* value);
int GetIndexFromValue(int panel, int control, int* index, double value);
// Turns a string control into a combo box: the field keeps free text and gets a drop-down list.
int MakeStringCombo(int panel, int control);

// [SECTION] Tables
int SetTableSize(int panel, int control, int rows, int columns);  // builder use
int SetTableCellVal(int panel, int control, TableCell cell, double value);
int SetTableCellVal(int panel, int control, TableCell cell, const char* value);
int GetTableCellVal(int panel, int control, TableCell cell, double* value);
int GetTableCellVal(int panel, int control, TableCell cell, int* value);
int GetTableCellVal(int panel, int control, TableCell cell, unsigned short* value);
int GetTableCellVal(int panel, int control, TableCell cell, std::string* value);
int SetTableCellAttribute(int panel, int control, TableCell cell, Attr attr, int value);
int GetTableCellAttribute(int panel, int control, TableCell cell, Attr attr, int* value);
int SetTableCellRangeAttribute(int panel, int control, TableRect range, Attr attr, int value);
int SetTableColumnAttribute(int panel, int control, int column, Attr attr, int value);
int SetTableColumnAttribute(int panel, int control, int column, Attr attr, const char* value);
int SetTableColumnAttribute(int panel, int control, int column, Attr attr, double value);  // min/max
int GetTableColumnAttribute(int panel, int control, int column, Attr attr, int* value);
int GetTableColumnAttribute(int panel, int control, int column, Attr attr, std::string* value);
int SetTableRowAttribute(int panel, int control, int row, Attr attr, int value);
int GetTableRowAttribute(int panel, int control, int row, Attr attr, int* value);
int SetActiveTableCell(int panel, int control, TableCell cell);
int GetActiveTableCell(int panel, int control, TableCell* cell);
int SetTableSelection(int panel, int control, TableRect range);
int GetTableSelection(int panel, int control, TableRect* range);
int SetTableTopRow(int panel, int control, int row);  // scrolls the view
int GetTableTopRow(int panel, int control, int* row);

// [SECTION] Graphs and strip charts
// Plot handles are positive; -1 as a handle to DeletePlot deletes all plots.
int PlotY(int panel, int control, const double* y, int count, int color);
int PlotXY(int panel, int control, const double* x, const double* y, int count, int color);
int PlotPoint(int panel, int control, double x, double y, int pointStyle, int color);
int PlotOval(int panel, int control, double x1, double y1, double x2, double y2, int color, int fillColor);
int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color, int fillColor);
// A two-point line (connected points, no marker, solid) kept compactly: a segment of the
// colour of the last chain that starts where that chain ends extends it, so a line that
// grows by one segment per frame costs a few bytes per frame (see ui/model.h). The
// handle is the chain's; DeleteGraphPlot removes chains as it removes plots.
int PlotLineSegment(int panel, int control, double x1, double y1, double x2, double y2, int color);
int DeleteGraphPlot(int panel, int control, int plotHandle);
int GetNumGraphPlots(int panel, int control, int* count);  // plots and segment chains
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);
int GetAxisScalingMode(int panel, int control, int axis, int* mode, double* min, double* max);
int SetGraphCursor(int panel, int control, int cursorNumber, double x, double y);  // cursors 1-based
int GetGraphCursor(int panel, int control, int cursorNumber, double* x, double* y);
// Strip charts: values hold `count` points of every trace, interleaved trace by trace.
int SetStripChartTraces(int panel, int control, int traces);  // builder use
int PlotStripChart(int panel, int control, const double* values, int count);
int ClearStripChart(int panel, int control);
int SetTraceAttribute(int panel, int control, int trace, Attr attr, int value);  // traces 1-based
int SetTraceAttribute(int panel, int control, int trace, Attr attr, const char* value);
int GetTraceAttribute(int panel, int control, int trace, Attr attr, int* value);

// [SECTION] Context menus of controls
int NewCtrlMenuItem(int panel, int control, const char* label, MenuItemCallbackPtr callback, void* callbackData);
int NewCtrlMenuSeparator(int panel, int control);
int SetCtrlMenuItemDimmed(int panel, int control, int menuItem, int dimmed);
int GetCtrlMenuItemDimmed(int panel, int control, int menuItem, int* dimmed);
int HideBuiltInCtrlMenuItems(int panel, int control);  // the platform's own table entries

// [SECTION] Popups (modal; the face shows them, tests answer them from a script)
int MessagePopup(const char* title, const char* message);
int ConfirmPopup(const char* title, const char* message);  // 1 = yes, 0 = no
// A question whose Yes destroys work: No is the default, so Return and Escape keep the work.
int ConfirmPopupNoDefault(const char* title, const char* message);
// 0 with the text in `response` (at most maxLength characters), VAL_USER_CANCEL when cancelled.
int PromptPopup(const char* title, const char* message, std::string* response, int maxLength);
// Result VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED or VAL_NEW_FILE_SELECTED; the path in `path`.
int FileSelectPopup(const char* directory, const char* defaultName, const char* filter, const char* title,
                    int buttonKind, int allowMakeDirectory, std::string* path);

// [SECTION] Event loop
int RunUserInterface();             // returns the code given to QuitUserInterface
int QuitUserInterface(int code);    // the loop ends when the running callback returns
int ProcessSystemEvents();          // dispatches what is pending now; callbacks may run nested
// Blocks until an event or watched descriptor is ready, or until Timer() reaches `untilTime`
// (bounded to about 10 ms of real time). The wait loops call it when nothing is pending.
void WaitForEvents(double untilTime);
// The same, also waking when `extraFd` becomes readable (a serial port waiting for its first byte).
void WaitForEvents(double untilTime, int extraFd);
bool EventsPending();
// Whether QuitUserInterface was called and the loop has not ended yet; modal loops of a face end then too.
bool QuitRequested();
// SIGTERM and SIGINT reach `handler` on the user-interface thread, during dispatch.
void InstallTerminationHandler(void (*handler)(int signalNumber));
// Runs `function(data)` at the next dispatch, on the user-interface thread, whatever popup is shown.
void PostDeferredCall(void (*function)(void* data), void* data);
// `callback` runs after each operator input has been carried out (a press, a typed value, a
// menu entry ...), so that the program can follow what the operator changed; null = none.
void SetInputDoneCallback(void (*callback)());

// Descriptor watches: readiness and hang-up reach the callback during dispatch.
constexpr int WATCH_READ = 1;
constexpr int WATCH_HANGUP = 2;
using FdCallbackPtr = void (*)(int fd, int readyMask, void* callbackData);
int WatchFd(int fd, int mask, FdCallbackPtr callback, void* callbackData);  // watch id > 0
int UnwatchFd(int watchId);

// [SECTION] Utility
double Timer();                          // seconds, monotonic
std::string DateStr();                   // "MM-DD-YYYY"
std::string TimeStr();                   // "HH:MM:SS"
std::string ProgramDirectory();          // directory of the executable, without trailing separator
void SetProgramDirectory(const std::string& directory);  // start-up and tests
// Splits "dir/name" into drive (empty on this platform), directory (with trailing '/') and file name.
void SplitPath(const std::string& path, std::string* drive, std::string* directory, std::string* fileName);
bool FileExists(const std::string& path, long long* size);
int DeleteFileAtPath(const std::string& path);  // 0, or negative when it could not be deleted
void SetWaitCursor(int on);
int GetWaitCursor();
void GetScreenSize(int* height, int* width);  // of the usable area
// The usable area of the screen (without desktop bars), in screen coordinates.
void GetScreenUsableArea(int* top, int* left, int* height, int* width);
