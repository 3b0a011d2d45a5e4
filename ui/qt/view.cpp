// The view's bookkeeping: widgets built from the model, and the sync that keeps
// them in step.
//
// A sync compares revisions only. The model raises `structureRev` when panels
// or controls come or go; then the widgets are reconciled (kept where the model
// object is the same, rebuilt where not) and every control is shown afresh.
// Otherwise only panels and controls whose `rev` differs from the one last
// shown are touched, so a frame that changed a hundred values costs one pass
// and one repaint of what changed.
#include "ui/qt/view.h"

#include <QApplication>

#include <algorithm>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>

#include "ui/operate.h"
#include "ui/qt/accessible.h"
#include "ui/qt/panel_widget.h"

namespace ui::qt {

View& TheView() {
  static View* view = new View;  // lives until Stop; widgets must go before the QApplication
  return *view;
}

View::~View() { Clear(); }

// [SECTION] Lookup

PanelView* View::FindPanelView(int handle) {
  if (handle <= 0 || handle >= static_cast<int>(panels_.size())) return nullptr;
  return panels_[handle].get();
}

CtrlView* View::FindCtrlView(int panel, int control) {
  PanelView* pv = FindPanelView(panel);
  if (!pv || control <= 0 || control >= static_cast<int>(pv->controls.size())) return nullptr;
  return pv->controls[control].get();
}

PanelWidget* View::PanelOf(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (auto* p = dynamic_cast<const PanelWidget*>(w)) return const_cast<PanelWidget*>(p);
    if (w->isWindow()) break;
  }
  return nullptr;
}

// Walks up from `w` to the nearest widget registered as a body or caption. The
// walk stops at the panel widget and at windows, so a combo box's drop-down list
// or a menu never counts as its control.
CtrlView* View::CtrlOf(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (dynamic_cast<const PanelWidget*>(w) || w->isWindow()) return nullptr;
    QVariant ref = w->property("chromikCtrl");
    if (ref.isValid()) {
      QPoint pc = ref.toPoint();  // x = panel, y = control
      return FindCtrlView(pc.x(), pc.y());
    }
  }
  return nullptr;
}

int TopLevelOf(int panel) {
  const Panel* p = FindPanel(panel);
  // Parents are older than their children, so the walk ends; the bound guards a broken model.
  for (int depth = 0; p && p->parent != 0 && depth < 64; ++depth) {
    const Panel* up = FindPanel(p->parent);
    if (!up) break;
    p = up;
  }
  return p ? p->handle : 0;
}

Scale View::UnitsOf(int panel) {
  PanelView* pv = FindPanelView(panel);
  return pv && pv->widget ? pv->widget->Units() : Scale{};
}

// [SECTION] Building and dropping widgets

void View::Clear() {
  for (auto it = panels_.rbegin(); it != panels_.rend(); ++it) {
    if (*it) DropPanel(**it);
  }
  panels_.clear();
  delete menu_;
  menu_ = nullptr;
  syncedRev_ = 0;
  syncedStructure_ = 0;
}

void View::DropControl(CtrlView& cv) {
  delete cv.body.data();
  delete cv.caption.data();
}

void View::DropPanel(PanelView& pv) {
  for (auto& cv : pv.controls) {
    if (cv) DropControl(*cv);
  }
  pv.controls.clear();
  delete pv.widget.data();
}

void View::BuildPanel(const Panel& p) {
  if (static_cast<int>(panels_.size()) <= p.handle) panels_.resize(p.handle + 1);
  auto pv = std::make_unique<PanelView>();
  pv->handle = p.handle;
  pv->source = &p;
  pv->tabPage = p.tabOwner != 0;
  pv->topLevel = p.parent == 0;
  QWidget* parent = nullptr;
  if (!pv->topLevel && !pv->tabPage) {
    PanelView* owner = FindPanelView(p.parent);
    parent = owner ? owner->widget.data() : nullptr;
  }
  // Tab pages start without a parent; ApplyTabPages puts them into their tab control.
  pv->widget = new PanelWidget(p.handle, pv->topLevel, parent);
  // A page or child panel built into a window that is already scaled takes its factor.
  if (!pv->topLevel) pv->widget->SetUnits(Scale{UnitsOf(TopLevelOf(p.handle)).factor, {}});
  if (!pv->topLevel && !pv->tabPage) {
    pv->widget->hide();  // child panels start hidden, as in the model
    ApplyAccessibleChildPanel(pv->widget, p);
  }
  panels_[p.handle] = std::move(pv);
}

void View::BuildControl(PanelView& pv, const Control& c) {
  if (static_cast<int>(pv.controls.size()) <= c.id) pv.controls.resize(c.id + 1);
  auto cv = std::make_unique<CtrlView>();
  cv->panel = pv.handle;
  cv->id = c.id;
  cv->source = &c;
  cv->kind = c.kind;
  cv->variant = VariantOf(c);
  CreateControlWidgets(*cv, c, pv.widget);
  QPoint ref(pv.handle, c.id);
  if (cv->body) cv->body->setProperty("chromikCtrl", ref);
  if (cv->caption) cv->caption->setProperty("chromikCtrl", ref);
  pv.controls[c.id] = std::move(cv);
}

// Keeps the widgets whose model object is still the same and rebuilds the rest.
// Panel handles grow and parents are older than their children, so building in
// handle order finds every parent widget already there.
void View::Reconcile() {
  Model& m = TheModel();
  for (int h = static_cast<int>(panels_.size()) - 1; h > 0; --h) {
    PanelView* pv = panels_[h].get();
    if (!pv) continue;
    const Panel* p = FindPanel(h);
    if (p != pv->source || !pv->widget) {
      DropPanel(*pv);
      panels_[h].reset();
    }
  }
  for (const auto& pp : m.panels) {
    if (!pp || !pp->alive) continue;
    if (PanelView* old = FindPanelView(pp->handle); old && !old->widget) {
      DropPanel(*old);  // its widget went with a dropped parent widget
      panels_[pp->handle].reset();
    }
    if (!FindPanelView(pp->handle)) BuildPanel(*pp);
    PanelView& pv = *panels_[pp->handle];
    for (int id = 1; id < static_cast<int>(pv.controls.size()); ++id) {
      CtrlView* cv = pv.controls[id].get();
      if (!cv) continue;
      const Control* c = FindControl(pp->handle, id);
      if (!c || c != cv->source || c->kind != cv->kind || VariantOf(*c) != cv->variant || !cv->body) {
        DropControl(*cv);
        pv.controls[id].reset();
      }
    }
    for (const auto& c : pp->controls) {
      if (c && c->alive && !FindCtrlView(pp->handle, c->id)) BuildControl(pv, *c);
    }
    // Show everything afresh: a reused object may carry values the widget never saw.
    pv.rev = 0;
    for (auto& cv : pv.controls) {
      if (cv) cv->rev = 0;
    }
  }
  // A tab control comes after its panel's other controls in the stacking order, which is
  // also the order of the accessible tree: a search by name meets a panel's own buttons
  // before their namesakes on its pages. No control of a panel lies under its tabs.
  // Child panels lie above their parent's controls, tabs included; parents come first in
  // handle order, so their tabs are raised before their children.
  for (auto& pvp : panels_) {
    if (!pvp) continue;
    for (auto& cv : pvp->controls) {
      if (cv && cv->kind == CTRL_TAB && cv->body) cv->body->raise();
    }
    if (pvp->widget && !pvp->topLevel && !pvp->tabPage) pvp->widget->raise();
  }
}

// [SECTION] Sync

bool View::NeedsSync() const {
  const Model& m = TheModel();
  return stale_ || m.rev != syncedRev_ || m.structureRev != syncedStructure_;
}

void View::MarkStale(int panel, int control) {
  if (CtrlView* cv = FindCtrlView(panel, control)) {
    cv->rev = 0;
    stale_ = true;
  }
}

void View::Sync() {
  Model& m = TheModel();
  if (!NeedsSync()) return;
  if (m.structureRev != syncedStructure_) {
    Reconcile();
    syncedStructure_ = m.structureRev;
  }
  // Controls whose rev moved; a variant change (an indicator made editable, a field
  // made a combo box) builds the control's widget anew first.
  for (auto& pvp : panels_) {
    if (!pvp) continue;
    const Panel* p = FindPanel(pvp->handle);
    if (!p) continue;
    for (int id = 1; id < static_cast<int>(pvp->controls.size()); ++id) {
      CtrlView* cv = pvp->controls[id].get();
      const Control* c = cv ? FindControl(p->handle, id) : nullptr;
      if (!c || c->rev == cv->rev) continue;
      if (VariantOf(*c) != cv->variant || !cv->body) {
        DropControl(*cv);
        pvp->controls[id].reset();
        BuildControl(*pvp, *c);
        cv = pvp->controls[id].get();
      }
      ApplyControl(*cv, *c);
      cv->rev = c->rev;
    }
  }
  // Panels after their controls, so that a window appears with its content current.
  for (auto& pvp : panels_) {
    if (!pvp) continue;
    const Panel* p = FindPanel(pvp->handle);
    if (p && p->rev != pvp->rev) {
      ApplyPanel(*pvp, *p);
      pvp->rev = p->rev;
    }
  }
  syncedRev_ = m.rev;
  stale_ = false;
  ++syncCount_;
}

void View::ApplyPanel(PanelView& pv, const Panel& p) {
  PanelWidget* w = pv.widget;
  if (!w) return;
  if (pv.backColor != p.backColor) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Rgb(p.backColor));
    w->setPalette(pal);
    pv.backColor = p.backColor;
  }
  if (pv.topLevel) {
    ApplyTopLevel(pv, p);
    return;
  }
  if (pv.tabPage) return;  // its tab control places and shows it
  ApplyAccessibleChildPanel(w, p);
  PlaceChildPanel(pv, p);
  if (pv.visible != p.visible) {
    if (p.visible) w->raise();  // child panels lie above their parent's controls
    w->setVisible(p.visible != 0);
    pv.visible = p.visible;
  }
}

// A child panel's place and size are units of its parent.
void View::PlaceChildPanel(PanelView& pv, const Panel& p) {
  QRect g = UnitsOf(p.parent).Rect(p.left, p.top, p.width, p.height);
  if (g != pv.geometry) {
    pv.widget->setGeometry(g);
    pv.geometry = g;
  }
}

void View::ApplyTopLevel(PanelView& pv, const Panel& p) {
  PanelWidget* w = pv.widget;
  if (pv.title != p.title) {
    w->setWindowTitle(QStr(p.title));
    pv.title = p.title;
  }
  QRect g(p.left, p.top, p.width, p.height);
  if (g != pv.geometry && p.windowZoom == VAL_NO_ZOOM) {
    w->NoteAppliedGeometry(g);
    w->setGeometry(g);
    pv.geometry = g;
    Rescale(pv.handle);  // a hidden window hears of its new size only when it is shown
  }
  int popup = p.popup ? 1 : 0;
  if (pv.popup != popup) {
    // Modality can only change while the window is hidden.
    bool wasShown = w->isVisible();
    if (wasShown) w->hide();
    w->setWindowModality(popup ? Qt::ApplicationModal : Qt::NonModal);
    pv.popup = popup;
    if (wasShown) pv.visible = -1;
  }
  bool zoomChanged = pv.zoom != p.windowZoom;
  if (pv.visible == p.visible && !(p.visible && zoomChanged)) return;
  if (!p.visible) {
    w->hide();
  } else if (p.windowZoom == VAL_MAXIMIZE) {
    w->showMaximized();
  } else if (p.windowZoom == VAL_MINIMIZE) {
    w->showMinimized();
  } else {
    w->showNormal();
    if (w->geometry() != g) w->setGeometry(g);
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();  // offscreen has no stacking
  }
  pv.visible = p.visible;
  pv.zoom = p.windowZoom;
}

// [SECTION] Scaling

void View::Rescale(int topLevelPanel) {
  PanelView* top = FindPanelView(topLevelPanel);
  const Panel* tp = FindPanel(topLevelPanel);
  if (!top || !top->widget || !top->topLevel || !tp || tp != top->source) return;
  const Scale s = ScaleFor(top->widget->size(), QSize(tp->designWidth, tp->designHeight));
  const Scale old = top->widget->Units();
  if (s == old) return;
  const bool factorChanged = s.factor != old.factor;
  top->widget->SetUnits(s);
  // Panels in handle order: a parent is placed before its children.
  for (auto& pvp : panels_) {
    if (!pvp || !pvp->widget) continue;
    PanelView& pv = *pvp;
    const Panel* p = FindPanel(pv.handle);
    if (!p || p != pv.source || TopLevelOf(pv.handle) != topLevelPanel) continue;
    const bool own = &pv == top;
    const bool child = !pv.topLevel && !pv.tabPage;
    // A new centring moves only what lies on the top-level panel itself.
    if (!factorChanged && !own && !(child && p->parent == topLevelPanel)) continue;
    if (!own) pv.widget->SetUnits(Scale{s.factor, {}});
    if (own || factorChanged) {
      for (int id = 1; id < static_cast<int>(pv.controls.size()); ++id) {
        CtrlView* cv = pv.controls[id].get();
        const Control* c = cv ? FindControl(pv.handle, id) : nullptr;
        // A control the model replaced since the last sync is built anew there, at this scale.
        if (!c || c != cv->source || c->kind != cv->kind || VariantOf(*c) != cv->variant || !cv->body) continue;
        ApplyControlLayout(*cv, *c);
      }
    }
    if (child) PlaceChildPanel(pv, *p);
  }
}

// [SECTION] Pending edits

// The focus widget of every window, not only of the active one: with no window manager, or
// when a screen reader presses a button, the window need not be active, and each window
// keeps its own focus widget, where typed text waits for its commit.
void View::CommitFocusedEdit() {
  std::vector<QWidget*> focused{QApplication::focusWidget()};
  for (const auto& pv : panels_) {
    if (pv && pv->topLevel && pv->widget) focused.push_back(pv->widget->focusWidget());
  }
  std::vector<CtrlView*> done;
  for (QWidget* w : focused) {
    CtrlView* v = w ? CtrlOf(w) : nullptr;
    if (!v || !v->commitPending || std::find(done.begin(), done.end(), v) != done.end()) continue;
    // A password is checked only when the operator confirms it with Enter, never on the way out.
    const Control* c = FindControl(v->panel, v->id);
    if (c && c->passwordMask) continue;
    done.push_back(v);
    v->commitPending();
  }
}

void Act(const std::function<void()>& post) {
  op::Group group;
  TheView().CommitFocusedEdit();
  post();
}

// [SECTION] Context menus

void View::ShowMenu(const CtrlView& v, const QPoint& globalPos) {
  const Control* c = FindControl(v.panel, v.id);
  if (!c || c->menu.empty()) return;
  if (!menu_) menu_ = new QMenu;
  menu_->clear();
  const int panel = v.panel, control = v.id;
  for (const MenuItemData& item : c->menu) {
    if (item.separator) {
      menu_->addSeparator();
      continue;
    }
    std::string label = item.label;
    QAction* a = menu_->addAction(QStr(label));
    a->setEnabled(!item.dimmed);
    QObject::connect(a, &QAction::triggered, [panel, control, label] {
      Act([&] { op::ChooseMenuItem(panel, control, label); });
    });
  }
  menu_->popup(globalPos);  // not exec(): the program's loop keeps running
}

}  // namespace ui::qt
