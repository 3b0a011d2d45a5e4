// Operator input: queued, then checked and carried out at dispatch.
#include "ui/operate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "ui/model.h"
#include "ui/runtime_internal.h"

namespace ui::op {
namespace {

// Work collected by the open Group of this thread, or null.
thread_local std::vector<std::function<void()>>* Collecting = nullptr;
thread_local int GroupDepth = 0;

// Operator input goes to the queue, or into the open group.
void Queue(std::function<void()> work) {
  if (Collecting) Collecting->push_back(std::move(work));
  else PostWork(std::move(work), true);
}

// What an operation needs of its target.
enum class Need { Click, Help, Change };

bool Reachable(int panel, int control, Need need) {
  const Control* c = FindControl(panel, control);
  if (!c || !c->visible || !PanelOperable(panel)) return false;
  if (need == Need::Help) return true;  // help stays reachable on a dimmed control
  if (c->dimmed) return false;
  return need != Need::Change || c->mode != VAL_INDICATOR;
}

// Posts `work` when the target is reachable now (off the UI thread the model is
// not read; the dispatch-time check decides alone).
bool Post(int panel, int control, Need need, std::function<void()> work) {
  if (OnUiThread() && !Reachable(panel, control, need)) return false;
  Queue([panel, control, need, work = std::move(work)] {
    if (Reachable(panel, control, need)) work();
    else if (Control* c = FindControl(panel, control)) Touch(*c);  // let the face show the refused state
  });
  return true;
}

bool PostPanel(int panel, std::function<void()> work) {
  if (OnUiThread() && !PanelOperable(panel)) return false;
  Queue([panel, work = std::move(work)] {
    if (PanelOperable(panel)) work();
  });
  return true;
}

void Fire(int panel, int control, int event, int d1 = 0, int d2 = 0) {
  CallCtrlCallback(panel, control, event, d1, d2);
}

void ChangedAndCommit(int panel, int control, int d1 = 0, int d2 = 0) {
  Fire(panel, control, EVENT_VAL_CHANGED, d1, d2);
  if (FindControl(panel, control)) Fire(panel, control, EVENT_COMMIT, d1, d2);
}

// Carries out the operator's own change of a value: it does not count as a value the
// program set (that would drop what the operator goes on typing in the same control).
int OperatorSets(int panel, int control, const std::function<int()>& set) {
  Control* c = FindControl(panel, control);
  const std::uint64_t before = c ? c->valueSets : 0;
  const int r = set();
  if (c) c->valueSets = before;
  return r;
}

bool IsList(const Control* c) {
  return c && (c->kind == CTRL_RING || c->kind == CTRL_LIST_BOX || (c->kind == CTRL_STRING && c->combo));
}

// Nearest plotted point of a graph to (x, y), for cursors that snap.
void Snap(const GraphData& g, double* x, double* y) {
  double best = std::numeric_limits<double>::infinity();
  double bx = *x, by = *y;
  auto consider = [&](double px, double py) {
    double d = (px - *x) * (px - *x) + (py - *y) * (py - *y);
    if (d < best) {
      best = d;
      bx = px;
      by = py;
    }
  };
  for (const PlotData& p : g.plots) {
    if (p.kind == PLOT_POINT) consider(p.x[0], p.y[0]);
    else if (p.kind == PLOT_XY) for (std::size_t i = 0; i < p.x.size(); ++i) consider(p.x[i], p.y[i]);
    else if (p.kind == PLOT_Y) for (std::size_t i = 0; i < p.y.size(); ++i) consider(static_cast<double>(i), p.y[i]);
  }
  *x = bx;
  *y = by;
}

// The top-level window a panel belongs to.
int TopLevelOf(int panel) {
  const Panel* p = FindPanel(panel);
  for (int guard = 0; p && p->parent && guard < 64; ++guard) p = FindPanel(p->parent);
  return p ? p->handle : 0;
}

}  // namespace

bool Press(int panel, int control) {
  return Post(panel, control, Need::Click, [panel, control] {
    Control* c = FindControl(panel, control);
    if (c->kind == CTRL_TOGGLE_BUTTON || c->kind == CTRL_BINARY_SWITCH) {
      if (c->mode == VAL_INDICATOR) return;
      c->num = c->num != 0 ? 0 : 1;
      Touch(*c);
      ChangedAndCommit(panel, control);
    } else {
      Fire(panel, control, EVENT_COMMIT);
    }
  });
}

bool SetValue(int panel, int control, double value) {
  return Post(panel, control, Need::Change, [panel, control, value] {
    if (OperatorSets(panel, control, [&] { return SetCtrlVal(panel, control, value); }) < 0) return;
    ChangedAndCommit(panel, control);
  });
}

bool SetText(int panel, int control, const std::string& text) {
  return Post(panel, control, Need::Change, [panel, control, text] {
    if (OperatorSets(panel, control, [&] { return SetCtrlVal(panel, control, text.c_str()); }) < 0) return;
    ChangedAndCommit(panel, control);
  });
}

bool PickIndex(int panel, int control, int index) {
  const Control* c = OnUiThread() ? FindControl(panel, control) : nullptr;
  if (OnUiThread() && (!IsList(c) || index < 0 || index >= static_cast<int>(c->items.size()))) return false;
  return Post(panel, control, Need::Change, [panel, control, index] {
    if (!IsList(FindControl(panel, control))) return;
    if (OperatorSets(panel, control, [&] { return SetCtrlIndex(panel, control, index); }) < 0) return;
    ChangedAndCommit(panel, control);
  });
}

namespace {
bool EditCellWith(int panel, int control, TableCell cell, std::function<int()> apply) {
  auto editable = [panel, control, cell] {
    const Control* c = FindControl(panel, control);
    if (!c || !c->table) return false;
    const TableData& t = *c->table;
    if (cell.row < 1 || cell.row > t.rows || cell.column < 1 || cell.column > t.columns) return false;
    return !t.columnInfo[cell.column - 1].indicator;
  };
  if (OnUiThread() && !editable()) return false;
  return Post(panel, control, Need::Change, [=] {
    if (!editable() || OperatorSets(panel, control, apply) < 0) return;
    SetActiveTableCell(panel, control, cell);
    ChangedAndCommit(panel, control, cell.row, cell.column);
  });
}
}  // namespace

bool EditCell(int panel, int control, TableCell cell, double value) {
  return EditCellWith(panel, control, cell, [=] { return SetTableCellVal(panel, control, cell, value); });
}

bool EditCell(int panel, int control, TableCell cell, const std::string& text) {
  return EditCellWith(panel, control, cell, [=] { return SetTableCellVal(panel, control, cell, text.c_str()); });
}

bool SelectCells(int panel, int control, TableRect range) {
  return Post(panel, control, Need::Click, [=] { SetTableSelection(panel, control, range); });
}

bool Click(int panel, int control) {
  return Post(panel, control, Need::Click, [=] { Fire(panel, control, EVENT_LEFT_CLICK); });
}

bool DoubleClick(int panel, int control) {
  return Post(panel, control, Need::Click, [=] { Fire(panel, control, EVENT_LEFT_DOUBLE_CLICK); });
}

bool RightClick(int panel, int control) {
  return Post(panel, control, Need::Help, [=] { Fire(panel, control, EVENT_RIGHT_CLICK); });
}

bool RightDoubleClick(int panel, int control) {
  return Post(panel, control, Need::Help, [=] { Fire(panel, control, EVENT_RIGHT_DOUBLE_CLICK); });
}

bool MoveCursor(int panel, int control, int cursor, double x, double y, bool release) {
  return Post(panel, control, Need::Change, [=] {
    Control* c = FindControl(panel, control);
    if (!c->graph) return;
    double cx = x, cy = y;
    if (c->graph->cursorSnap) Snap(*c->graph, &cx, &cy);
    if (SetGraphCursor(panel, control, cursor, cx, cy) < 0) return;
    Fire(panel, control, release ? EVENT_COMMIT : EVENT_VAL_CHANGED, cursor, 0);
  });
}

bool ChooseMenuItem(int panel, int control, const std::string& label) {
  return Post(panel, control, Need::Help, [=] {
    Control* c = FindControl(panel, control);
    for (const MenuItemData& item : c->menu) {
      if (item.separator || item.label != label) continue;
      if (item.dimmed || !item.callback) return;
      MenuItemCallbackPtr cb = item.callback;
      void* data = item.callbackData;
      int id = item.id;
      cb(panel, control, id, data);
      return;
    }
  });
}

bool ChangeTab(int panel, int tabControl, int pageIndex) {
  auto allowed = [=] {
    const Control* c = FindControl(panel, tabControl);
    if (!c || c->kind != CTRL_TAB) return false;
    if (pageIndex < 0 || pageIndex >= static_cast<int>(c->pages.size())) return false;
    return c->pages[pageIndex].visible && !c->pages[pageIndex].dimmed;
  };
  if (OnUiThread() && !allowed()) return false;
  return Post(panel, tabControl, Need::Click, [=] {
    if (!allowed()) return;
    Control* c = FindControl(panel, tabControl);
    int old = c->activePage;
    if (old == pageIndex) return;
    SetActiveTabPage(panel, tabControl, pageIndex);
    Fire(panel, tabControl, EVENT_ACTIVE_TAB_CHANGE, old, pageIndex);
  });
}

bool ClosePanel(int panel) {
  return PostPanel(panel, [panel] { CallPanelCallback(panel, EVENT_CLOSE, 0, 0); });
}

bool ResizePanel(int panel, int height, int width) {
  return PostPanel(panel, [=] {
    SetPanelSize(panel, height, width);
    CallPanelCallback(panel, EVENT_PANEL_SIZE, 0, 0);
  });
}

bool MovePanel(int panel, int top, int left) {
  return PostPanel(panel, [=] { SetPanelPos(panel, top, left); });
}

bool SetWindowZoom(int panel, int zoom) {
  return PostPanel(panel, [=] {
    Panel* p = FindPanel(panel);
    if (p->windowZoom == zoom) return;
    SetPanelAttribute(panel, ATTR_WINDOW_ZOOM, zoom);
    CallPanelCallback(panel, EVENT_PANEL_SIZE, 0, 0);
  });
}

bool PanelRightClick(int panel) {
  return PostPanel(panel, [panel] { CallPanelCallback(panel, EVENT_RIGHT_CLICK, 0, 0); });
}

bool PanelRightDoubleClick(int panel) {
  return PostPanel(panel, [panel] { CallPanelCallback(panel, EVENT_RIGHT_DOUBLE_CLICK, 0, 0); });
}

bool Key(int panel, int key) {
  if (OnUiThread() && !PanelOperable(panel)) return false;
  Queue([panel, key] {
        if (!PanelOperable(panel)) return;
        // Every panel of the same window counts: the window itself, its child panels and tab pages.
        int top = TopLevelOf(panel);
        Model& m = TheModel();
        for (auto& p : m.panels) {
          if (!p || !p->alive || TopLevelOf(p->handle) != top) continue;
          for (auto& c : p->controls) {
            if (!c || !c->alive || c->shortcutKey != key) continue;
            int ph = p->handle, id = c->id;
            if (!CtrlOperable(ph, id)) continue;
            Fire(ph, id, EVENT_COMMIT);
            return;
          }
        }
      });
  return true;
}

Group::Group() {
  if (GroupDepth++ == 0) Collecting = new std::vector<std::function<void()>>;
}

Group::~Group() {
  if (--GroupDepth > 0) return;
  std::unique_ptr<std::vector<std::function<void()>>> items(Collecting);
  Collecting = nullptr;
  if (items->empty()) return;
  PostWork(
      [items = std::shared_ptr<std::vector<std::function<void()>>>(std::move(items))] {
        for (auto& work : *items) work();
      },
      true);
}

void PostPanelEvent(int panel, int event) {
  PostWork([panel, event] { CallPanelCallback(panel, event, 0, 0); }, false);
}

}  // namespace ui::op
