// Small painted widgets for kinds Qt has no close match for: value displays,
// lamps, switches, decorations and colour pickers.
#pragma once

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QSlider>
#include <QWidget>

#include <functional>

namespace ui::qt {

// A read-only value display: sunken field in the control's colours with a
// frame in its second colour. Cheaper to repaint than a line edit, which
// matters for the displays the measuring loop updates every frame.
class DisplayWidget : public QWidget {
 public:
  explicit DisplayWidget(bool number, QWidget* parent);
  void SetText(const QString& text);
  const QString& Text() const { return text_; }
  void SetColours(int text, int background, int frame);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString text_;     // what is shown
  bool number_;      // numbers are right-aligned
  int textRgb_ = 0;  // 0xRRGGBB
  int bgRgb_ = 0xFFFFFF;
  int frameRgb_ = 0xC0C0C0;
};

// A round lamp: lit in its on colour, dark in its off colour.
class LedWidget : public QWidget {
 public:
  explicit LedWidget(QWidget* parent) : QWidget(parent) {}
  void SetState(bool lit, int onRgb, int offRgb);
  bool Lit() const { return lit_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  bool lit_ = false;
  int onRgb_ = 0x00FF00;
  int offRgb_ = 0x202020;
};

// An on/off slide switch. Not checkable: the model holds the state and the
// view sets it; a click only reports itself.
class SwitchWidget : public QAbstractButton {
 public:
  explicit SwitchWidget(QWidget* parent);
  void SetState(bool on, int onRgb);
  bool On() const { return on_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  bool on_ = false;
  int onRgb_ = 0x00FF00;
};

// A decoration: a filled area in the frame colour.
class DecorationWidget : public QWidget {
 public:
  explicit DecorationWidget(QWidget* parent) : QWidget(parent) {}
  void SetColour(int rgb);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int rgb_ = 0xC0C0C0;
};

// A colour picker: a swatch that opens a palette of colours on a click.
class SwatchButton : public QAbstractButton {
 public:
  explicit SwatchButton(QWidget* parent);
  void SetColour(int rgb);
  // Called with 0xRRGGBB when the operator picks a colour from the palette.
  std::function<void(int)> picked;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void OpenPalette();
  int rgb_ = 0;
};

// A slider that outlines itself while it has the keyboard focus (the desktop style shows
// a slider's focus too faintly to be found).
class SlideWidget : public QSlider {
 public:
  using QSlider::QSlider;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

// A text box that commits its text when the focus leaves after an edit.
class TextBoxWidget : public QPlainTextEdit {
 public:
  explicit TextBoxWidget(QWidget* parent);
  std::function<void(const QString&)> committed;
  // Commits the operator's edit, if there is one.
  void CommitTyped();

 protected:
  void focusOutEvent(QFocusEvent* e) override;
};

}  // namespace ui::qt
