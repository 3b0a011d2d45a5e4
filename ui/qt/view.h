// The view: one widget per model panel and control, kept in step with the model.
//
// Internal to ui/qt. The view never calls program callbacks; operator input
// goes through ui/operate.h, and the runtime runs it at the next dispatch.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/model.h"
#include "ui/qt/scale.h"

class QApplication;
class QMenu;

namespace ui::qt {

class PanelWidget;

// Attributes shared by all kinds, as last applied to the widgets.
struct Shown {
  QRect geometry;            // body geometry in the panel widget
  int visible = -1;          // 0/1, -1 = never applied
  int dimmed = -1;           // 0/1
  int textColor = -1;        // 0xRRGGBB
  int bgColor = -1;          // 0xRRGGBB or VAL_TRANSPARENT
  int frameColor = -1;       // 0xRRGGBB
  int buttonColor = -1;      // 0xRRGGBB
  int onColor = -1;          // 0xRRGGBB
  int offColor = -1;         // 0xRRGGBB
  std::string font;          // font name
  int pointSize = -1;        // points, 0 = default
  int bold = -1;             // 0/1
  int italic = -1;           // 0/1
  std::string label;         // caption or button text
  std::string tooltip;       // hover hint
  int captionWidth = -1;     // width the caption was sized to
  double scale = 0;          // factor of the window the font and geometry were applied at
  QSize pictureSize;         // device pixels a picture's image was scaled to
  std::string accessibleName;         // name given to the accessibility bus
  std::string accessibleDescription;  // help text given as accessible description
};

struct CtrlView {
  int panel = 0;                      // panel handle
  int id = 0;                         // control id
  const Control* source = nullptr;    // model control the widgets were built for
  CtrlKind kind = CTRL_TEXT_MSG;      // kind the widgets were built as
  int variant = 0;                    // widget variant within the kind (VariantOf)
  QPointer<QWidget> body;             // the control's widget
  QPointer<QLabel> caption;           // label outside the body, or null
  uint64_t rev = 0;                   // control rev last shown; 0 = show everything again
  Shown shown;                        // common attributes as applied
  std::string text;                   // text value as shown (fields, text boxes)
  double num = 0;                     // number as shown
  bool numShown = false;              // `num` holds what the widget shows
  std::vector<std::string> items;     // list item labels as shown
  int topRowApplied = 0;              // table top row last scrolled to
  TableCell activeApplied{0, 0};      // table active cell last made current
  uint64_t valueSets = 0;             // the model's valueSets when the value was last shown
  // Commits what the operator typed but has not committed yet (fields, text boxes, a table's
  // open cell editor); empty for kinds that commit at once.
  std::function<void()> commitPending;
};

struct PanelView {
  int handle = 0;                              // panel handle
  const Panel* source = nullptr;               // model panel the widget was built for
  QPointer<PanelWidget> widget;                // the panel's widget
  uint64_t rev = 0;                            // panel rev last shown
  bool topLevel = false;                       // a window of its own
  bool tabPage = false;                        // a page of a tab control
  int popup = -1;                              // modality last applied (0/1)
  int visible = -1;                            // visibility last applied
  int zoom = -1;                               // window zoom last applied
  int backColor = -1;                          // back colour last applied
  QRect geometry;                              // geometry last applied
  std::string title;                           // window title last applied
  std::vector<std::unique_ptr<CtrlView>> controls;  // index = control id
};

class View {
 public:
  ~View();
  // Rebuilds widgets on a structure change and updates what changed since the last sync.
  void Sync();
  // Whether the model or a refused input asks for a sync.
  bool NeedsSync() const;
  // Drops every widget (a new model, or shutdown).
  void Clear();
  // Shows the model's state of a control again at the next sync (after operator input
  // that the runtime may refuse or change).
  void MarkStale(int panel, int control);
  long SyncCount() const { return syncCount_; }

  PanelView* FindPanelView(int handle);
  CtrlView* FindCtrlView(int panel, int control);
  // The control a widget belongs to (its body, a child of the body, or its caption).
  CtrlView* CtrlOf(const QWidget* w);
  // The panel widget nearest above `w` inside its window, or nullptr.
  static PanelWidget* PanelOf(const QWidget* w);
  // Shows a control's context menu at a global position.
  void ShowMenu(const CtrlView& v, const QPoint& globalPos);
  // Commits the pending text of the control that holds the keyboard focus.
  void CommitFocusedEdit();
  // Works out the factor of a window from its size and lays everything in it out again
  // when the factor or the centring changed (scale.h). The window's widget calls it on
  // every resize.
  void Rescale(int topLevelPanel);
  // How a panel's units become pixels in its widget (factor 1 before it has one).
  Scale UnitsOf(int panel);

 private:
  void Reconcile();
  void DropPanel(PanelView& pv);
  void DropControl(CtrlView& cv);
  void BuildPanel(const Panel& p);
  void BuildControl(PanelView& pv, const Control& c);
  void ApplyPanel(PanelView& pv, const Panel& p);
  void ApplyTopLevel(PanelView& pv, const Panel& p);
  void PlaceChildPanel(PanelView& pv, const Panel& p);

  std::vector<std::unique_ptr<PanelView>> panels_;  // index = panel handle
  uint64_t syncedRev_ = 0;                          // model rev at the last sync
  uint64_t syncedStructure_ = 0;                    // model structureRev at the last sync
  bool stale_ = false;                              // some control was marked stale
  long syncCount_ = 0;                              // syncs that found a change
  QMenu* menu_ = nullptr;                           // the one context menu, reused
};

View& TheView();

// [SECTION] Per-kind widgets (controls.cpp, controls_lists.cpp)
// Widget variant of a control: rebuilding is needed when it changes.
int VariantOf(const Control& c);
// Creates the body (and caption) of a control inside `panelWidget`.
void CreateControlWidgets(CtrlView& v, const Control& c, QWidget* panelWidget);
// Applies geometry, colours, font, label, visibility and the value.
void ApplyControl(CtrlView& v, const Control& c);
// Applies what depends on the window's scale: font, geometry, caption and the sizes
// inside tables, slides, tab strips and pictures (part of ApplyControl).
void ApplyControlLayout(CtrlView& v, const Control& c);
// Lists, rings, combo boxes, list boxes and tab controls.
QWidget* CreateListBody(CtrlView& v, const Control& c, QWidget* parent);
void ApplyListValue(CtrlView& v, const Control& c);
// Tab controls: pages, labels, visibility of pages, the active page.
void ApplyTabPages(CtrlView& v, const Control& c);
// Colour pickers.
QWidget* CreateColourBody(CtrlView& v, const Control& c, QWidget* parent);
// Tables (table.cpp), graphs and strip charts (graph_widget.cpp, strip_chart.cpp).
QWidget* CreateTableBody(CtrlView& v, const Control& c, QWidget* parent);
void ApplyTable(CtrlView& v, const Control& c);
// Row heights and column widths at the window's factor.
void LayoutTable(CtrlView& v, const Control& c, double factor);
QWidget* CreateGraphBody(CtrlView& v, const Control& c, QWidget* parent);
QWidget* CreateStripChartBody(CtrlView& v, const Control& c, QWidget* parent);
// Graphs and strip charts read the model when they paint; a change only asks for a repaint.
void ApplyPlotArea(CtrlView& v, const Control& c);

// Posts the operator input that `post` makes after the pending text of whatever control
// holds the focus, as one queued group. Every action that does not move the focus (F9 to
// F12, a press over the accessibility bus, a menu entry) then acts on what the screen
// shows, and a popup that the field's own commit opens comes before the action.
void Act(const std::function<void()>& post);

// The focusable widgets of a panel and everything inside it, in the reading order of the
// layout (focus_order.cpp); Tab and Shift+Tab move through them.
std::vector<QWidget*> ReadingOrder(int panel);
// Moves the focus of the window of `panel` to the next (or previous) usable widget in
// reading order; false when there is none.
bool MoveFocusInReadingOrder(int panel, bool next);

// Turns presses, context menus and function keys into operator events (input.cpp).
void InstallInputFilter(QApplication* app);

// The handle of the top-level panel whose window shows `panel` (the panel itself when it is one).
int TopLevelOf(int panel);

// [SECTION] Helpers (controls.cpp)
QString QStr(const std::string& bytes);  // UTF-8, or Latin-1 where the bytes are not UTF-8
std::string StdStr(const QString& s);     // UTF-8
QColor Rgb(int rgb);
QString FormatNumber(double v, int precision);
// Parses what the operator typed into a number field ("1.5", or "1,5" in a comma locale).
bool ParseNumber(const QString& text, double* out);
// A control's font as laid out (panel units); Scale::Font makes it the window's size.
QFont FontOf(const Control& c, const QFont& base);
// Sets a palette role for the active and inactive groups and a greyed form for the disabled group.
void SetRole(QPalette& pal, QPalette::ColorRole role, int rgb);

}  // namespace ui::qt
