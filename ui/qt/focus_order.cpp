// Tab and Shift+Tab follow the reading order of a window's layout.
//
// The order is worked out from the model's geometry (panel units) when a Tab key
// asks for it, so nothing has to be kept in step with the widgets. A panel is cut
// into columns where no control spans the gap between them, each column into rows
// where no control spans the gap, and so on down: a page laid out in two columns
// reads down the left column first, a row of buttons reads left to right. Tab
// controls read their strip, then their pages; child panels read as one block at
// their place in their parent.
#include <QApplication>
#include <QComboBox>
#include <QSlider>

#include <algorithm>
#include <vector>

#include "ui/qt/panel_widget.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

struct Item {
  QRect r;                        // panel units in the parent panel
  std::vector<QWidget*> widgets;  // in reading order
};

void Append(std::vector<QWidget*>* out, const Item& item) {
  out->insert(out->end(), item.widgets.begin(), item.widgets.end());
}

// Splits `items` where nothing overlaps along one axis (x for columns, y for rows).
std::vector<std::vector<const Item*>> Split(std::vector<const Item*> items, bool columns) {
  auto lo = [columns](const Item* i) { return columns ? i->r.left() : i->r.top(); };
  auto hi = [columns](const Item* i) { return columns ? i->r.left() + i->r.width() : i->r.top() + i->r.height(); };
  std::stable_sort(items.begin(), items.end(), [&](const Item* a, const Item* b) { return lo(a) < lo(b); });
  std::vector<std::vector<const Item*>> groups;
  int reach = 0;
  for (const Item* i : items) {
    if (groups.empty() || lo(i) >= reach) {
      groups.emplace_back();
      reach = hi(i);
    }
    groups.back().push_back(i);
    reach = std::max(reach, hi(i));
  }
  return groups;
}

void Cut(const std::vector<const Item*>& items, std::vector<QWidget*>* out) {
  if (items.size() == 1) {
    Append(out, *items.front());
    return;
  }
  for (bool columns : {true, false}) {
    auto groups = Split(items, columns);
    if (groups.size() < 2) continue;
    for (const auto& g : groups) Cut(g, out);
    return;
  }
  // Everything overlaps everything: top to bottom, then left to right.
  std::vector<const Item*> sorted = items;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Item* a, const Item* b) {
    return a->r.top() != b->r.top() ? a->r.top() < b->r.top() : a->r.left() < b->r.left();
  });
  for (const Item* i : sorted) Append(out, *i);
}

std::vector<QWidget*> PanelOrder(int handle);

// The widget that takes the focus for a control: the slider of a slide, the strip of a
// tab control, the body otherwise.
QWidget* Target(const CtrlView& v) {
  if (!v.body) return nullptr;
  if (v.kind == CTRL_SLIDE) return v.body->findChild<QSlider*>();
  if (v.kind == CTRL_TAB) return StripOf(v.body);
  return v.body;
}

std::vector<QWidget*> PanelOrder(int handle) {
  View& view = TheView();
  const Panel* p = FindPanel(handle);
  if (!p) return {};
  std::vector<Item> items;
  for (const auto& c : p->controls) {
    if (!c || !c->alive) continue;
    const CtrlView* v = view.FindCtrlView(handle, c->id);
    QWidget* w = v ? Target(*v) : nullptr;
    if (!w) continue;
    Item item{QRect(c->left, c->top, std::max(c->width, 1), std::max(c->height, 1)), {w}};
    if (c->kind == CTRL_TAB) {
      for (const TabPageData& page : c->pages) {
        std::vector<QWidget*> inner = PanelOrder(page.panel);
        item.widgets.insert(item.widgets.end(), inner.begin(), inner.end());
      }
    }
    items.push_back(std::move(item));
  }
  for (const auto& child : TheModel().panels) {
    if (!child || !child->alive || child->parent != handle || child->tabOwner) continue;
    items.push_back(Item{QRect(child->left, child->top, std::max(child->width, 1), std::max(child->height, 1)),
                         PanelOrder(child->handle)});
  }
  std::vector<const Item*> refs;
  for (const Item& i : items) refs.push_back(&i);
  std::vector<QWidget*> out;
  if (!refs.empty()) Cut(refs, &out);
  return out;
}

// Whether Tab may stop at `w`: shown, usable and taking the focus from the keyboard.
bool Stop(const QWidget* w) {
  return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

}  // namespace

std::vector<QWidget*> ReadingOrder(int panel) { return PanelOrder(panel); }

bool MoveFocusInReadingOrder(int panel, bool next) {
  std::vector<QWidget*> order = PanelOrder(panel);
  const int n = static_cast<int>(order.size());
  if (n == 0) return false;
  QWidget* focus = QApplication::focusWidget();
  int at = -1;
  for (int i = 0; i < n && focus; ++i) {
    if (order[i] == focus || order[i]->isAncestorOf(focus)) {
      at = i;
      break;
    }
  }
  for (int step = 1; step <= n; ++step) {
    int i = at < 0 ? (next ? step - 1 : n - step) : ((at + (next ? step : -step)) % n + n) % n;
    if (Stop(order[i])) {
      order[i]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return false;
}

}  // namespace ui::qt
