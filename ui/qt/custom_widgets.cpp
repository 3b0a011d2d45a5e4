// Painting of the small custom widgets.
#include "ui/qt/custom_widgets.h"

#include <QGridLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidgetAction>

#include <cmath>

#include "ui/qt/scale.h"

namespace ui::qt {
namespace {

QColor C(int rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Pixels of a length in panel units, in the window of `w`.
int Px(const QWidget* w, double units) { return static_cast<int>(std::lround(units * ScaleOf(w))); }

// The colours offered by a colour picker: greys and saturated hues in rows.
constexpr int kPalette[] = {
    0x000000, 0x404040, 0x808080, 0xA0A0A0, 0xC0C0C0, 0xE0E0E0, 0xF0F0F0, 0xFFFFFF,
    0x800000, 0xFF0000, 0xFF8080, 0x804000, 0xFF8000, 0xFFC080, 0x808000, 0xFFFF00,
    0x008000, 0x00FF00, 0x80FF80, 0x008080, 0x00FFFF, 0x80FFFF, 0x004080, 0x0080FF,
    0x000080, 0x0000FF, 0x8080FF, 0x400080, 0x8000FF, 0x800080, 0xFF00FF, 0xFF80FF,
};

// The palette grid inside the picker's menu.
class PaletteGrid : public QWidget {
 public:
  PaletteGrid(std::function<void(int)> pick, QMenu* menu) : pick_(std::move(pick)), menu_(menu) {
    setFixedSize(8 * kCell + 2, 4 * kCell + 2);
    setMouseTracking(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (int i = 0; i < 32; ++i) {
      QRect r(1 + (i % 8) * kCell, 1 + (i / 8) * kCell, kCell - 2, kCell - 2);
      p.fillRect(r, C(kPalette[i]));
      p.setPen(i == hover_ ? Qt::black : QColor(0x90, 0x90, 0x90));
      p.drawRect(r.adjusted(0, 0, -1, -1));
    }
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    hover_ = CellAt(e->position().toPoint());
    update();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    int i = CellAt(e->position().toPoint());
    if (i < 0) return;
    menu_->close();
    if (pick_) pick_(kPalette[i]);
  }

 private:
  static constexpr int kCell = 20;
  int CellAt(QPoint at) const {
    int col = (at.x() - 1) / kCell, row = (at.y() - 1) / kCell;
    return (col >= 0 && col < 8 && row >= 0 && row < 4) ? row * 8 + col : -1;
  }
  std::function<void(int)> pick_;
  QMenu* menu_;
  int hover_ = -1;
};

}  // namespace

// [SECTION] DisplayWidget

DisplayWidget::DisplayWidget(bool number, QWidget* parent) : QWidget(parent), number_(number) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // paints every pixel itself
}

void DisplayWidget::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void DisplayWidget::SetColours(int text, int background, int frame) {
  if (text == textRgb_ && background == bgRgb_ && frame == frameRgb_) return;
  textRgb_ = text;
  bgRgb_ = background;
  frameRgb_ = frame;
  update();
}

void DisplayWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  p.fillRect(r, C(frameRgb_));
  const int frame = Px(this, 2), edge = Px(this, 1);
  QRect inner = r.adjusted(frame, frame, -frame, -frame);
  // Transparent displays take the panel's colour, as a label would.
  QColor bg = bgRgb_ > 0xFFFFFF ? palette().color(QPalette::Window) : C(bgRgb_);
  p.fillRect(inner, bg);
  const QColor sunken = C(frameRgb_).darker(150);  // the sunken edge
  p.fillRect(QRect(inner.left(), inner.top(), inner.width(), edge), sunken);
  p.fillRect(QRect(inner.left(), inner.top(), edge, inner.height()), sunken);
  QColor fg = isEnabled() ? C(textRgb_) : QColor(0x90, 0x90, 0x90);
  p.setPen(fg);
  int align = (number_ ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
  p.drawText(inner.adjusted(Px(this, 3), 0, -Px(this, 3), 0), align, text_);
}

// [SECTION] LedWidget

void LedWidget::SetState(bool lit, int onRgb, int offRgb) {
  if (lit == lit_ && onRgb == onRgb_ && offRgb == offRgb_) return;
  lit_ = lit;
  onRgb_ = onRgb;
  offRgb_ = offRgb;
  update();
}

void LedWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal line = ScaleOf(this);
  qreal d = std::min(width(), height()) - 2 * line;
  QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
  QColor c = C(lit_ ? onRgb_ : offRgb_);
  if (!isEnabled()) c = c.lighter(140);
  p.setPen(QPen(QColor(0x50, 0x50, 0x50), line));
  p.setBrush(c);
  p.drawEllipse(r);
  if (lit_) {  // a highlight so a lit lamp reads as lit in any colour
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QRectF(r.x() + d * 0.22, r.y() + d * 0.18, d * 0.32, d * 0.26));
  }
}

// [SECTION] SwitchWidget

SwitchWidget::SwitchWidget(QWidget* parent) : QAbstractButton(parent) { setFocusPolicy(Qt::StrongFocus); }

void SwitchWidget::SetState(bool on, int onRgb) {
  if (on == on_ && onRgb == onRgb_) return;
  on_ = on;
  onRgb_ = onRgb;
  update();
}

void SwitchWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal line = ScaleOf(this);
  QRectF track = QRectF(rect()).adjusted(line, line, -line, -line);
  qreal radius = track.height() / 2;
  QColor fill = on_ ? C(onRgb_) : QColor(0xB0, 0xB0, 0xB0);
  if (!isEnabled()) fill = fill.lighter(130);
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), line));
  p.setBrush(fill);
  p.drawRoundedRect(track, radius, radius);
  qreal knob = track.height() - 4 * line;
  qreal x = on_ ? track.right() - knob - 2 * line : track.left() + 2 * line;
  p.setBrush(isDown() ? QColor(0xD0, 0xD0, 0xD0) : QColor(0xF8, 0xF8, 0xF8));
  p.drawEllipse(QRectF(x, track.top() + 2 * line, knob, knob));
  if (hasFocus()) {
    p.setPen(QPen(palette().color(QPalette::Highlight), line, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(track.adjusted(-0.5, -0.5, 0.5, 0.5), radius, radius);
  }
}

// [SECTION] Focus frames

namespace {
// The frame every focusable widget of ours draws round itself while it has the focus.
void DrawFocusFrame(QWidget* w, QPainter& p) {
  p.setPen(QPen(w->palette().color(QPalette::Highlight), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(w->rect()).adjusted(1, 1, -1, -1));
}
}  // namespace

void SlideWidget::paintEvent(QPaintEvent* e) {
  QSlider::paintEvent(e);
  if (!hasFocus()) return;
  QPainter p(this);
  DrawFocusFrame(this, p);
}

// [SECTION] DecorationWidget

void DecorationWidget::SetColour(int rgb) {
  if (rgb == rgb_) return;
  rgb_ = rgb;
  update();
}

void DecorationWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), C(rgb_));
}

// [SECTION] SwatchButton

SwatchButton::SwatchButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractButton::clicked, this, [this] { OpenPalette(); });
}

void SwatchButton::SetColour(int rgb) {
  if (rgb == rgb_) return;
  rgb_ = rgb;
  update();
}

void SwatchButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const double f = ScaleOf(this);
  const int line = Px(this, 1);
  QRect r = rect();
  p.fillRect(r, QColor(0x70, 0x70, 0x70));  // the border, `line` wide
  p.fillRect(r.adjusted(line, line, -line, -line), palette().color(QPalette::Button));
  int arrow = std::min(Px(this, 14), r.width() / 3);
  QRect swatch = r.adjusted(Px(this, 3), Px(this, 3), -Px(this, 3) - arrow, -Px(this, 2));
  p.fillRect(swatch, QColor(0x70, 0x70, 0x70));
  p.fillRect(swatch.adjusted(line, line, -line, -line), isEnabled() ? C(rgb_) : C(rgb_).lighter(130));
  // The drop-down arrow.
  QPointF c(r.right() - arrow / 2.0 - f, r.center().y() + 1.5 * f);
  const QPointF tri[3] = {c + QPointF(-3.5 * f, -2.5 * f), c + QPointF(3.5 * f, -2.5 * f), c + QPointF(0, 2.5 * f)};
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(isEnabled() ? QColor(0x30, 0x30, 0x30) : QColor(0xA0, 0xA0, 0xA0));
  p.setPen(Qt::NoPen);
  p.drawPolygon(tri, 3);
  if (hasFocus()) DrawFocusFrame(this, p);
}

// A menu, not a dialog: it is not modal and needs no loop of its own.
void SwatchButton::OpenPalette() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  auto* action = new QWidgetAction(menu);
  action->setDefaultWidget(new PaletteGrid([this](int rgb) {
    if (picked) picked(rgb);
  }, menu));
  menu->addAction(action);
  menu->popup(mapToGlobal(QPoint(0, height())));
}

// [SECTION] TextBoxWidget

TextBoxWidget::TextBoxWidget(QWidget* parent) : QPlainTextEdit(parent) {
  // Text changed while the box has no focus comes from outside (the accessibility
  // bus): committed at once. The view changes the text under a signal blocker.
  QObject::connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (hasFocus() || isReadOnly()) return;
    document()->setModified(false);
    if (committed) committed(toPlainText());
  });
}

void TextBoxWidget::focusOutEvent(QFocusEvent* e) {
  QPlainTextEdit::focusOutEvent(e);
  CommitTyped();
}

void TextBoxWidget::CommitTyped() {
  if (isReadOnly() || !document()->isModified()) return;
  document()->setModified(false);
  if (committed) committed(toPlainText());
}

}  // namespace ui::qt
