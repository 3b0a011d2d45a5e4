// A tab control whose tabs wrap into further rows when they do not fit, so a
// narrow tab control with many pages still shows every page at once.
#pragma once

#include <QTabWidget>
#include <QToolButton>
#include <QWidget>
#include <vector>

namespace ui::qt {

// The row(s) of tab buttons above the pages.
class TabStrip : public QWidget {
 public:
  explicit TabStrip(QTabWidget* tabs, QWidget* parent);
  // Matches the buttons to the tabs: texts, visibility, dimming and the current page.
  void Sync();
  QToolButton* ButtonOf(int index) const;  // nullptr when there is none

 protected:
  void resizeEvent(QResizeEvent* e) override;
  // The strip takes the focus as a whole: Left and Right choose the page, and the page in
  // front is outlined while the strip has the focus.
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void Arrange();
  QTabWidget* tabs_;                   // the pages; its own tab bar stays hidden
  std::vector<QToolButton*> buttons_;  // one per tab, in tab order
};

// The container a tab control's body is: the strip above a QTabWidget.
QWidget* MakeTabBox(QWidget* parent, QTabWidget** tabs, TabStrip** strip);
// The QTabWidget and the strip inside a tab control's body.
QTabWidget* TabsOf(QWidget* body);
TabStrip* StripOf(QWidget* body);

}  // namespace ui::qt
