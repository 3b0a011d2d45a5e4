// The widget of a panel: a window of its own, a child panel or a tab page.
#pragma once

#include <QWidget>

#include "ui/qt/scale.h"

namespace ui::qt {

class PanelWidget : public QWidget {
 public:
  PanelWidget(int handle, bool topLevel, QWidget* parent);
  int Handle() const { return handle_; }
  // The view sets the geometry it applies, so that the window manager's echo of
  // a model-driven change is not taken for the operator's.
  void NoteAppliedGeometry(const QRect& r) { applied_ = r; }
  // How panel units of this panel become its pixels; the view sets it for every
  // panel of a window when the window's size changes.
  const Scale& Units() const { return units_; }
  void SetUnits(const Scale& s) { units_ = s; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void changeEvent(QEvent* e) override;
  // Tab and Shift+Tab: the window's controls in the reading order of its layout.
  bool focusNextPrevChild(bool next) override;

 private:
  bool NormalWindow() const;
  int handle_;      // model panel handle
  bool topLevel_;   // a window of its own
  QRect applied_;   // client geometry the view applied last
  Scale units_;     // panel units to pixels, the window's factor
};

}  // namespace ui::qt
