// Mouse clicks, context menus and function keys become the model's operator events.
//
// One application-wide event filter sees every press before the widget does.
// Only spontaneous events count: when Qt hands an unaccepted press on to a
// parent it sends a non-spontaneous copy, which must not post a second event.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/operate.h"
#include "ui/qt/panel_widget.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

int FunctionKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_F9: return VAL_F9_VKEY;
    case Qt::Key_F10: return VAL_F10_VKEY;
    case Qt::Key_F11: return VAL_F11_VKEY;
    case Qt::Key_F12: return VAL_F12_VKEY;
    default: return 0;
  }
}

bool OnControlPress(const CtrlView& v, const QMouseEvent* e, bool twice) {
  const int panel = v.panel, id = v.id;
  if (e->button() == Qt::LeftButton) {
    Act([&] {
      if (twice) op::DoubleClick(panel, id);
      else op::Click(panel, id);
    });
    // An indicator ring or combo box does not open its list: it only shows a value.
    const Control* c = FindControl(panel, id);
    bool list = v.kind == CTRL_RING || (v.kind == CTRL_STRING && v.variant == 2);
    return list && c && c->mode == VAL_INDICATOR;
  }
  if (e->button() == Qt::RightButton) {
    if (twice) {
      op::RightDoubleClick(panel, id);
    } else {
      op::RightClick(panel, id);
      TheView().ShowMenu(v, e->globalPosition().toPoint());
    }
    return true;  // no widget's own right-button handling (table selection, menus)
  }
  return false;
}

class InputFilter : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* obj, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        return Press(obj, static_cast<QMouseEvent*>(e), e->type() == QEvent::MouseButtonDblClick);
      case QEvent::ContextMenu:
        // Line edits, spin boxes and text boxes have menus of their own; the program's
        // right-click event (and the control's own menu) take their place.
        return obj->isWidgetType() && TheView().CtrlOf(static_cast<QWidget*>(obj)) != nullptr;
      case QEvent::KeyPress: return Key(obj, static_cast<QKeyEvent*>(e));
      default: return false;
    }
  }

 private:
  static bool Press(QObject* obj, QMouseEvent* e, bool twice) {
    if (!e->spontaneous() || !obj->isWidgetType()) return false;
    QWidget* w = static_cast<QWidget*>(obj);
    if (CtrlView* v = TheView().CtrlOf(w)) return OnControlPress(*v, e, twice);
    auto* panel = dynamic_cast<PanelWidget*>(w);
    if (panel && e->button() == Qt::RightButton) {
      if (twice) op::PanelRightDoubleClick(panel->Handle());
      else op::PanelRightClick(panel->Handle());
    }
    return false;
  }

  // F9 to F12 anywhere in a window go to the panel that holds the focus; the
  // runtime finds the control that carries the key.
  static bool Key(QObject* obj, QKeyEvent* e) {
    int key = FunctionKey(e->key());
    if (!key || !obj->isWidgetType() || e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    PanelWidget* panel = View::PanelOf(static_cast<QWidget*>(obj));
    if (!panel) return false;
    Act([&] { op::Key(panel->Handle(), key); });
    return true;
  }
};

}  // namespace

void InstallInputFilter(QApplication* app) { app->installEventFilter(new InputFilter(app)); }

}  // namespace ui::qt
