// The retained model behind ui.h, as the faces see it.
//
// The logic never includes this header; faces read it to draw and call the
// operator functions of operate.h to feed input back. Every change to a
// control or panel raises its `rev` and the global model revision, so a face
// can repaint only what changed and at most at its own rate.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace ui {

struct ListItem {
  std::string label;
  double value = 0;        // numeric value (rings, lists)
  std::string textValue;   // string value (combo lists)
  bool hasText = false;
};

struct CellData {
  double num = 0;
  std::string text;
  int bgColor = 0xFFFFFF;
  int textColor = 0x000000;
  int italic = 0;          // the cell's text in italics
  uint64_t valueSets = 0;  // raised whenever the program sets the cell's value, changed or not
};

struct ColumnData {
  std::string title;
  int cellType = VAL_CELL_NUMERIC;
  int inUse = 1;
  int width = 0;          // 0 = face decides
  int indicator = 0;      // 1 = cells cannot be edited by the operator
  int precision = 0;
  double minValue = -1e300;  // numeric cells are coerced into [minValue, maxValue]
  double maxValue = 1e300;
};

struct TableData {
  int rows = 0;
  int columns = 0;
  std::vector<CellData> cells;            // row-major, rows * columns
  std::vector<ColumnData> columnInfo;     // columns
  std::vector<int> rowLabelColor;         // rows
  TableCell active{1, 1};
  TableRect selection{0, 0, 0, 0};
  int topRow = 1;
  CellData& Cell(int row, int column) { return cells[(row - 1) * columns + (column - 1)]; }
  const CellData& Cell(int row, int column) const { return cells[(row - 1) * columns + (column - 1)]; }
};

enum PlotKind : int { PLOT_Y, PLOT_XY, PLOT_POINT, PLOT_OVAL, PLOT_RECT };

struct PlotData {
  int handle = 0;
  PlotKind kind = PLOT_Y;
  std::vector<double> x;   // PLOT_XY; PLOT_POINT: 1 value; OVAL/RECT: x1, x2
  std::vector<double> y;   // PLOT_Y/XY; PLOT_POINT: 1 value; OVAL/RECT: y1, y2
  int color = 0xFF0000;
  int fillColor = VAL_TRANSPARENT;
  int pointStyle = VAL_SOLID_SQUARE;
};

// Two-point line segments of one colour that join end to start, kept as one
// polyline of float points (PlotLineSegment). A chain holds at most
// SEGMENT_CHAIN_POINT_LIMIT points: when it is full, its older half is thinned to
// the lowest and highest point of every four, so a chain of millions of segments
// stays about a megabyte while its newest half stays exact.
constexpr std::size_t SEGMENT_CHAIN_POINT_LIMIT = 131072;
// All chains of one graph together: a new chain that would pass this thins the older
// chains first, so a line that keeps starting over (the recorder's x wraps at 65536) stays bounded too.
constexpr std::size_t SEGMENT_GRAPH_POINT_LIMIT = 2 * SEGMENT_CHAIN_POINT_LIMIT;
// Chains of one graph: thinning leaves old chains a few points each, which are kept (the
// oldest part of the line) up to this many; a new chain beyond it takes the oldest away.
// At the recorder's one chain per 65536 frames that is 16 million frames.
constexpr std::size_t SEGMENT_GRAPH_CHAIN_LIMIT = 256;

struct SegmentChain {
  int handle = 0;               // plot handle of the chain
  int color = 0xFF0000;
  std::vector<float> xy;        // x0, y0, x1, y1 ... in drawing order, newest last
  std::uint64_t segments = 0;   // segments appended to the chain
  int thinned = 0;              // times the older half was thinned
  double xlo = 0, xhi = 0, ylo = 0, yhi = 0;  // extent of every point ever appended
  std::size_t Points() const { return xy.size() / 2; }
};

struct AxisData {
  int mode = VAL_AUTOSCALE;
  double min = 0;
  double max = 10;
  std::string name;
};

struct CursorData {
  double x = 0;
  double y = 0;
  int color = 0xFFFF00;
};

struct TraceData {
  // Newest last, at most pointsPerScreen kept. A vector: the GO loop refills its charts on
  // every frame, and a cleared vector keeps its room where a deque gives its blocks back.
  std::vector<double> points;
  int color = 0xFF0000;
  int visible = 1;
  std::string label;
};

struct GraphData {
  std::vector<PlotData> plots;   // in drawing order
  std::vector<SegmentChain> chains;  // compact line segments, drawn after the plots
  uint64_t chainRev = 0;         // raised on every change of the chains
  int nextPlotHandle = 1;
  AxisData xAxis;
  AxisData yAxis;
  uint64_t axisSets = 0;         // raised whenever an axis is set, even to the range it had
  std::vector<CursorData> cursors;
  int plotBgColor = 0x000000;
  int enableZoom = 0;
  int cursorSnap = 0;
  // strip chart
  int pointsPerScreen = 100;
  std::vector<TraceData> traces;
  uint64_t stripRev = 0;         // raised on every strip chart change
};

struct MenuItemData {
  int id = 0;
  std::string label;           // empty for a separator
  bool separator = false;
  int dimmed = 0;
  MenuItemCallbackPtr callback = nullptr;
  void* callbackData = nullptr;
};

struct TabPageData {
  std::string label;
  int panel = 0;     // the page's panel handle
  int visible = 1;
  int dimmed = 0;
};

struct Control {
  int id = 0;
  int panel = 0;
  CtrlKind kind = CTRL_TEXT_MSG;
  bool alive = false;
  std::string label;
  int top = 0, left = 0, width = 0, height = 0;
  int dimmed = 0;
  int visible = 1;
  int mode = VAL_NORMAL;
  int textColor = 0x000000;
  int bgColor = 0xFFFFFF;
  int frameColor = 0xC0C0C0;
  int buttonColor = 0xE0E0E0;
  int onColor = 0x00FF00;
  int offColor = 0x202020;
  int precision = 0;
  double minValue = -1e300;
  double maxValue = 1e300;
  std::string font;
  int pointSize = 0;            // 0 = face default
  int bold = 0;
  int italic = 0;               // value and label in italics
  int maxEntryLength = 0;
  int passwordMask = 0;
  int shortcutKey = 0;
  std::string tooltip;
  std::string accessibleName;   // the name of a control that shows no label
  bool combo = false;           // string control with a drop-down list
  // value
  double num = 0;
  std::string text;
  std::vector<ListItem> items;
  int index = -1;               // selected item of rings and lists
  std::string imagePath;
  // composite kinds
  std::unique_ptr<TableData> table;
  std::unique_ptr<GraphData> graph;
  std::vector<TabPageData> pages;
  int activePage = 0;
  std::vector<MenuItemData> menu;
  int nextMenuItemId = 1;
  bool builtInMenuHidden = false;
  CtrlCallbackPtr callback = nullptr;
  void* callbackData = nullptr;
  uint64_t rev = 1;
  // Raised whenever the program sets the value (a table: any cell), changed or not: a face
  // drops what the operator typed but did not commit when the program sets that control.
  uint64_t valueSets = 0;
};

struct Panel {
  int handle = 0;
  bool alive = false;
  int parent = 0;
  int resourceId = 0;
  int tabOwner = 0;            // control id of the tab control on the parent, when a tab page
  int tabIndex = -1;
  std::string title;
  std::string accessibleName;  // the name the program knows a child panel by (DATAP ...)
  int top = 0, left = 0, width = 400, height = 300;
  // The size the panel's layout was made for, as its resource (or NewPanel) gave it; a face
  // may show a larger window's contents larger from it. Panel units, never changed after.
  int designWidth = 400, designHeight = 300;
  int visible = 0;
  int windowZoom = VAL_NO_ZOOM;
  int backColor = 0xECECEC;
  bool popup = false;          // installed as a modal popup
  PanelCallbackPtr callback = nullptr;
  void* callbackData = nullptr;
  std::vector<std::unique_ptr<Control>> controls;   // index = control id
  uint64_t rev = 1;
};

struct Model {
  std::vector<std::unique_ptr<Panel>> panels;  // index = panel handle
  std::vector<int> popupStack;                  // modal popups, topmost last
  uint64_t rev = 1;                             // raised on every change
  uint64_t structureRev = 1;                    // raised when panels or controls come or go
  int waitCursor = 0;
};

Model& TheModel();
Panel* FindPanel(int handle);
Control* FindControl(int panel, int control);
// Marks a control (and the model) changed; faces repaint it later.
void Touch(Control& c);
void Touch(Panel& p);
// The program set the control's value: raises valueSets, and the rev of a control the
// operator can type into even when the value stayed, so a face shows it over an edit.
void ValueSet(Control& c);
void TouchStructure();
// Whether an operator can reach a panel: alive, visible, ancestors visible, not behind a modal popup.
bool PanelOperable(int panel);
// Whether an operator can operate a control: the panel is operable and the control is visible and not dimmed.
bool CtrlOperable(int panel, int control);
bool CtrlVisibleOnScreen(int panel, int control);

}  // namespace ui
