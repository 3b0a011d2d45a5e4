// Window events of panels become the model's operator events.
#include "ui/qt/panel_widget.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>

#include "ui/model.h"
#include "ui/operate.h"
#include "ui/qt/view.h"

namespace ui::qt {

PanelWidget::PanelWidget(int handle, bool topLevel, QWidget* parent)
    : QWidget(parent, topLevel ? Qt::Window : Qt::Widget), handle_(handle), topLevel_(topLevel) {
  setAutoFillBackground(true);
  setFocusPolicy(Qt::ClickFocus);  // keys pressed on the background still reach the panel
}

bool PanelWidget::NormalWindow() const {
  return topLevel_ && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

bool PanelWidget::focusNextPrevChild(bool next) {
  if (!topLevel_) return QWidget::focusNextPrevChild(next);  // the window decides
  return MoveFocusInReadingOrder(handle_, next);
}

// The program decides whether a window closes: it hides or discards the panel.
void PanelWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (topLevel_) Act([&] { op::ClosePanel(handle_); });
}

// A window's contents follow its size at once, whoever changed it. Only a size the
// model does not hold yet is the operator's; maximised and minimised sizes are the
// window manager's and reach the model as a zoom change.
void PanelWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (topLevel_) TheView().Rescale(handle_);
  if (!NormalWindow() || !isVisible()) return;
  const Panel* p = FindPanel(handle_);
  if (!p) return;
  QSize s = e->size();
  if (s == applied_.size() || (s.height() == p->height && s.width() == p->width)) return;
  op::ResizePanel(handle_, s.height(), s.width());
}

void PanelWidget::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  if (!NormalWindow() || !isVisible()) return;
  const Panel* p = FindPanel(handle_);
  if (!p) return;
  QPoint at = geometry().topLeft();  // the client area, as the model places panels
  if (at == applied_.topLeft() || (at.y() == p->top && at.x() == p->left)) return;
  op::MovePanel(handle_, at.y(), at.x());
}

void PanelWidget::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (!topLevel_ || e->type() != QEvent::WindowStateChange) return;
  const Panel* p = FindPanel(handle_);
  if (!p) return;
  Qt::WindowStates s = windowState();
  int zoom = (s & Qt::WindowMinimized) ? VAL_MINIMIZE : (s & Qt::WindowMaximized) ? VAL_MAXIMIZE : VAL_NO_ZOOM;
  if (zoom != p->windowZoom) op::SetWindowZoom(handle_, zoom);
}

}  // namespace ui::qt
