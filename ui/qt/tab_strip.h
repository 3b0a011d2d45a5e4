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
  // Borders, corners, padding and gaps at the window's factor, and the control's font.
  // The font is set on every button: a widget under a style sheet keeps the font it was
  // polished with and no longer follows its parent's.
  void SetLook(double factor, const QFont& font);

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
  double scale_ = 0;                   // factor the style sheet was made for
  int gap_ = 1;                        // pixels between buttons and rows
  std::vector<QToolButton*> buttons_;  // one per tab, in tab order
};

// The container a tab control's body is: the strip above a QTabWidget.
QWidget* MakeTabBox(QWidget* parent, QTabWidget** tabs, TabStrip** strip);
// The QTabWidget and the strip inside a tab control's body.
QTabWidget* TabsOf(QWidget* body);
TabStrip* StripOf(QWidget* body);

}  // namespace ui::qt
