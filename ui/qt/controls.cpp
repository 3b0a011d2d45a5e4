// Widgets of the simple control kinds and the attributes all kinds share.
//
// Every setter compares with what the widget shows already (CtrlView::shown),
// so a sync of a control whose value changed costs only that value's repaint.
// Operator input reaches the model through ui/operate.h; model-driven updates
// run under QSignalBlocker or use signals that only the operator triggers, so
// they never come back as operator events.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStringDecoder>

#include <cmath>

#include "ui/operate.h"
#include "ui/qt/accessible.h"
#include "ui/qt/custom_widgets.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/view.h"

namespace ui::qt {

// [SECTION] Helpers

QString QStr(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString s = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return s;
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string StdStr(const QString& s) { return s.toUtf8().toStdString(); }

QColor Rgb(int rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

QString FormatNumber(double v, int precision) {
  if (!std::isfinite(v)) return QStringLiteral("NaN");
  QString s = QString::number(v, 'f', std::clamp(precision, 0, 15));
  if (s.startsWith(QLatin1Char('-')) && s.count(QLatin1Char('0')) + s.count(QLatin1Char('.')) == s.size() - 1) {
    s.remove(0, 1);  // "-0.00" reads as 0
  }
  return s;
}

QFont FontOf(const Control& c, const QFont& base) {
  QFont f = base;
  // The platform's meta fonts ("NIDialogMetaFont" ...) stand for the desktop's dialog font.
  if (!c.font.empty() && c.font.rfind("NI", 0) != 0) f.setFamily(QStr(c.font));
  if (c.pointSize > 0) f.setPointSize(c.pointSize);
  f.setBold(c.bold != 0);
  f.setItalic(c.italic != 0);
  return f;
}

void SetRole(QPalette& pal, QPalette::ColorRole role, int rgb) {
  QColor c = Rgb(rgb);
  pal.setColor(QPalette::Active, role, c);
  pal.setColor(QPalette::Inactive, role, c);
  // Dimmed: the colour washed towards grey, so a dimmed control still shows its colour.
  QColor grey(0xA8, 0xA8, 0xA8);
  QColor dim((c.red() + grey.red() * 2) / 3, (c.green() + grey.green() * 2) / 3, (c.blue() + grey.blue() * 2) / 3);
  pal.setColor(QPalette::Disabled, role, dim);
}

// Parses what the operator typed into a number field ("1.5" or "1,5").
bool ParseNumber(const QString& text, double* out) {
  bool ok = false;
  QString t = text.trimmed();
  double d = QLocale::c().toDouble(t, &ok);
  if (!ok) d = QLocale::system().toDouble(t, &ok);
  if (ok && std::isfinite(d)) *out = d;
  return ok && std::isfinite(d);
}

namespace {

constexpr int kCaptionHeight = 15;  // the label strip above a control

bool IsIndicator(const Control& c) { return c.mode == VAL_INDICATOR; }

enum class CaptionPlace { None, Above, Right };

CaptionPlace CaptionOf(CtrlKind k) {
  switch (k) {
    case CTRL_COMMAND_BUTTON:
    case CTRL_TOGGLE_BUTTON:
    case CTRL_TEXT_MSG:
    case CTRL_DECORATION:
    case CTRL_PICTURE: return CaptionPlace::None;
    case CTRL_BINARY_SWITCH:
    case CTRL_LED: return CaptionPlace::Right;
    default: return CaptionPlace::Above;
  }
}

// Masked text for password fields: one mask character per character.
QString Masked(const Control& c, const QString& text) {
  if (!c.passwordMask) return text;
  return QString(text.size(), QChar(static_cast<char16_t>(c.passwordMask)));
}

// After operator input, refused or not, the widget shows the model's state at the next sync.
void ShowModelAgain(int panel, int id) { TheView().MarkStale(panel, id); }

QLineEdit* MakeField(CtrlView& v, const Control& c, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  const int panel = v.panel, id = v.id;
  const bool number = c.kind == CTRL_NUMERIC;
  if (number) e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto commit = [e, panel, id, number] {
    Act([&] {
      double d = 0;
      if (!number) op::SetText(panel, id, StdStr(e->text()));
      else if (ParseNumber(e->text(), &d)) op::SetValue(panel, id, d);
    });
    ShowModelAgain(panel, id);
  };
  auto commitTyped = [e, commit] {
    if (!e->isModified()) return;
    e->setModified(false);
    commit();
  };
  // Typed text is committed on Enter, when the focus leaves after a change, and before
  // any action that leaves the focus here.
  QObject::connect(e, &QLineEdit::editingFinished, e, commitTyped);
  v.commitPending = commitTyped;
  // Text set from outside (a new value over the accessibility bus) is committed at
  // once; typing marks the field modified, and the view sets its text under a blocker.
  QObject::connect(e, &QLineEdit::textChanged, e, [e, commit] {
    if (!e->isModified()) commit();
  });
  return e;
}

QWidget* MakeButton(CtrlView& v, const Control& c, QWidget* parent) {
  auto* b = new QPushButton(parent);
  b->setCheckable(c.kind == CTRL_TOGGLE_BUTTON);
  b->setAutoDefault(false);
  const int panel = v.panel, id = v.id;
  auto press = [panel, id] {
    Act([&] { op::Press(panel, id); });
    ShowModelAgain(panel, id);
  };
  // A toggle button flips on a click and on a toggle over the accessibility bus alike;
  // the view sets its state under a blocker.
  if (b->isCheckable()) QObject::connect(b, &QPushButton::toggled, b, press);
  else QObject::connect(b, &QPushButton::clicked, b, press);
  return b;
}

// The value a slider position stands for, in the control's range.
double SlideValue(const Control& c, int position) {
  double lo = c.minValue > -1e299 ? c.minValue : 0, hi = c.maxValue < 1e299 ? c.maxValue : 100;
  return lo + (hi - lo) * position / 1000.0;
}

QString SlideText(const Control& c, double value) { return QString::number(value, 'f', c.precision); }

// A slider with its value written beside it, so the operator sees the number while dragging.
QWidget* MakeSlide(CtrlView& v, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  auto* s = new SlideWidget(Qt::Horizontal, box);
  s->setRange(0, 1000);
  s->setFocusPolicy(Qt::StrongFocus);
  auto* shown = new QLabel(box);
  shown->setObjectName("slideValue");
  shown->setMinimumWidth(34);
  shown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  layout->addWidget(s, 1);
  layout->addWidget(shown);
  const int panel = v.panel, id = v.id;
  auto commit = [s, panel, id] {
    const Control* c = FindControl(panel, id);
    if (!c) return;
    const double value = SlideValue(*c, s->value());
    Act([&] { op::SetValue(panel, id, value); });
    ShowModelAgain(panel, id);
  };
  QObject::connect(s, &QSlider::sliderReleased, s, commit);
  QObject::connect(s, &QSlider::valueChanged, s, [s, shown, panel, id, commit] {
    if (const Control* c = FindControl(panel, id)) shown->setText(SlideText(*c, std::round(SlideValue(*c, s->value()))));
    if (!s->isSliderDown()) commit();  // keys and page clicks; a drag commits on release
  });
  return box;
}

QWidget* MakeBody(CtrlView& v, const Control& c, QWidget* parent) {
  const int panel = v.panel, id = v.id;
  switch (c.kind) {
    case CTRL_COMMAND_BUTTON:
    case CTRL_TOGGLE_BUTTON: return MakeButton(v, c, parent);
    case CTRL_BINARY_SWITCH: {
      auto* s = new SwitchWidget(parent);
      QObject::connect(s, &QAbstractButton::clicked, s, [panel, id] {
        Act([&] { op::Press(panel, id); });
        ShowModelAgain(panel, id);
      });
      return s;
    }
    case CTRL_NUMERIC:
    case CTRL_STRING:
      if (c.kind == CTRL_STRING && c.combo) return CreateListBody(v, c, parent);
      if (IsIndicator(c)) return new DisplayWidget(c.kind == CTRL_NUMERIC, parent);
      return MakeField(v, c, parent);
    case CTRL_SLIDE: return MakeSlide(v, parent);
    case CTRL_TEXT_BOX: {
      auto* t = new TextBoxWidget(parent);
      t->setTabChangesFocus(true);  // Tab moves on, as everywhere else
      t->committed = [panel, id](const QString& text) {
        Act([&] { op::SetText(panel, id, StdStr(text)); });
        ShowModelAgain(panel, id);
      };
      v.commitPending = [t] { t->CommitTyped(); };
      return t;
    }
    case CTRL_RING:
    case CTRL_LIST_BOX:
    case CTRL_TAB: return CreateListBody(v, c, parent);
    case CTRL_LED: return new LedWidget(parent);
    case CTRL_TEXT_MSG: {
      auto* l = new QLabel(parent);
      l->setTextFormat(Qt::PlainText);
      return l;
    }
    case CTRL_DECORATION: return new DecorationWidget(parent);
    case CTRL_PICTURE: {
      auto* l = new QLabel(parent);
      l->setAlignment(Qt::AlignCenter);
      return l;
    }
    case CTRL_COLOR_NUMERIC: return CreateColourBody(v, c, parent);
    case CTRL_TABLE: return CreateTableBody(v, c, parent);
    case CTRL_GRAPH: return CreateGraphBody(v, c, parent);
    case CTRL_STRIP_CHART: return CreateStripChartBody(v, c, parent);
    default: return new QWidget(parent);
  }
}

// [SECTION] Applying attributes

// Where the body lies: the model's rectangle in pixels, but a text message of
// width 0 fits its text, and no text is cut at the bottom.
QRect BodyGeometry(const CtrlView& v, const Control& c, const Scale& units) {
  QRect g = units.Rect(c.left, c.top, c.width, c.height);
  if (c.kind == CTRL_TEXT_MSG && v.body) {
    QSize hint = v.body->sizeHint();
    if (c.width <= 0) g.setWidth(hint.width());
    g.setHeight(std::max(g.height(), hint.height()));
  }
  return g;
}

void ApplyCaption(CtrlView& v, const Control& c, const QRect& body, const Scale& units) {
  CaptionPlace place = CaptionOf(c.kind);
  if (place == CaptionPlace::None) return;
  if (!v.caption) {
    v.caption = new QLabel(v.body->parentWidget());
    v.caption->setTextFormat(Qt::PlainText);
    v.caption->setProperty("chromikCtrl", QPoint(v.panel, v.id));
  }
  QLabel* cap = v.caption;
  if (v.shown.label != c.label) cap->setText(QStr(c.label));
  // Italics mark a changed value on the label too (a slider or a switch shows no text of its own).
  QFont font = QApplication::font();
  font.setItalic(c.italic != 0);
  font = units.Font(font);
  if (cap->font() != font) cap->setFont(font);
  const int height = units.Px(kCaptionHeight);
  int textWidth = cap->fontMetrics().horizontalAdvance(cap->text()) + units.Px(4);
  QRect g = place == CaptionPlace::Above
                ? QRect(body.left(), body.top() - height, std::max(body.width(), textWidth), height)
                : QRect(body.right() + units.Px(5), body.top() + (body.height() - height) / 2, textWidth, height);
  if (cap->geometry() != g) cap->setGeometry(g);
  cap->setEnabled(!c.dimmed);
  cap->setVisible(c.visible && !c.label.empty());
}

void ApplyPalette(CtrlView& v, const Control& c) {
  Shown& s = v.shown;
  if (s.textColor == c.textColor && s.bgColor == c.bgColor && s.buttonColor == c.buttonColor) return;
  QWidget* w = v.body;
  QPalette pal = w->palette();
  int bg = c.bgColor > 0xFFFFFF ? 0xFFFFFF : c.bgColor;
  switch (c.kind) {
    case CTRL_COMMAND_BUTTON:
    case CTRL_TOGGLE_BUTTON:
    case CTRL_COLOR_NUMERIC:
      SetRole(pal, QPalette::Button, c.buttonColor);
      SetRole(pal, QPalette::ButtonText, c.textColor);
      break;
    case CTRL_TEXT_MSG:
      SetRole(pal, QPalette::WindowText, c.textColor);
      w->setAutoFillBackground(c.bgColor <= 0xFFFFFF);
      if (c.bgColor <= 0xFFFFFF) SetRole(pal, QPalette::Window, c.bgColor);
      break;
    case CTRL_TAB:
    case CTRL_DECORATION:
    case CTRL_LED:
    case CTRL_BINARY_SWITCH:
    case CTRL_PICTURE:
    case CTRL_GRAPH:
    case CTRL_STRIP_CHART:
      break;  // painted from the model's colours, or in the desktop's
    default:
      SetRole(pal, QPalette::Base, bg);
      SetRole(pal, QPalette::Text, c.textColor);
      SetRole(pal, QPalette::Button, bg);
      SetRole(pal, QPalette::ButtonText, c.textColor);
      break;
  }
  w->setPalette(pal);
  s.textColor = c.textColor;
  s.bgColor = c.bgColor;
  s.buttonColor = c.buttonColor;
}

void ApplyFont(CtrlView& v, const Control& c, const Scale& units) {
  Shown& s = v.shown;
  if (s.font == c.font && s.pointSize == c.pointSize && s.bold == c.bold && s.italic == c.italic &&
      s.scale == units.factor) {
    return;
  }
  v.body->setFont(units.Font(FontOf(c, QApplication::font())));
  s.font = c.font;
  s.pointSize = c.pointSize;
  s.bold = c.bold;
  s.italic = c.italic;
}

void ApplyFieldValue(CtrlView& v, const Control& c) {
  QString text = c.kind == CTRL_NUMERIC ? FormatNumber(c.num, c.precision) : QStr(c.text);
  if (auto* d = dynamic_cast<DisplayWidget*>(v.body.data())) {
    d->SetColours(c.textColor, c.bgColor, c.frameColor);
    d->SetText(Masked(c, text));
    return;
  }
  auto* e = static_cast<QLineEdit*>(v.body.data());
  QSignalBlocker block(e);  // the model's own text is no operator input
  e->setMaxLength(c.maxEntryLength > 0 ? c.maxEntryLength : 32767);
  if (e->property("chromikMask").toInt() != c.passwordMask) {
    // The mask character is a style hint the line edit reads only when its style changes.
    e->setStyleSheet(c.passwordMask ? QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(c.passwordMask)
                                    : QString());
    e->setEchoMode(c.passwordMask ? QLineEdit::Password : QLineEdit::Normal);
    e->setProperty("chromikMask", c.passwordMask);
  }
  // What the operator typed stays until committed, unless the program set the value.
  const bool programSet = v.valueSets != c.valueSets;
  v.valueSets = c.valueSets;
  if (e->isModified() && !programSet) return;
  if (e->text() != text) e->setText(text);  // also ends the operator's edit
  e->setModified(false);
}

void ApplyTextBox(CtrlView& v, const Control& c) {
  auto* t = static_cast<TextBoxWidget*>(v.body.data());
  QSignalBlocker block(t);  // the model's own text is no operator input
  t->setReadOnly(IsIndicator(c));
  const bool programSet = v.valueSets != c.valueSets;
  v.valueSets = c.valueSets;
  if (t->document()->isModified() && !programSet) return;  // the operator's text waits for its commit
  if (v.text == c.text && !t->document()->isModified()) return;
  // Appending keeps the scroll position logic cheap for the growing message box.
  if (!v.text.empty() && c.text.size() > v.text.size() && c.text.compare(0, v.text.size(), v.text) == 0) {
    QTextCursor cur(t->document());
    cur.movePosition(QTextCursor::End);
    cur.insertText(QStr(c.text.substr(v.text.size())));
  } else {
    t->setPlainText(QStr(c.text));
  }
  t->document()->setModified(false);
  t->moveCursor(QTextCursor::End);
  t->ensureCursorVisible();
  v.text = c.text;
}

// The gap between a slider and its value, and the room for the value.
void LayoutSlide(CtrlView& v, const Scale& units) {
  if (auto* layout = qobject_cast<QHBoxLayout*>(v.body->layout())) layout->setSpacing(units.Px(4));
  if (auto* shown = v.body->findChild<QLabel*>("slideValue")) shown->setMinimumWidth(units.Px(34));
}

void ApplySlide(CtrlView& v, const Control& c) {
  auto* s = v.body->findChild<QSlider*>();
  auto* shown = v.body->findChild<QLabel*>("slideValue");
  if (!s || s->isSliderDown()) return;
  if (shown) shown->setText(SlideText(c, c.num));
  double lo = c.minValue > -1e299 ? c.minValue : 0, hi = c.maxValue < 1e299 ? c.maxValue : 100;
  int pos = hi > lo ? static_cast<int>(std::lround((c.num - lo) / (hi - lo) * 1000.0)) : 0;
  QSignalBlocker block(s);
  s->setValue(std::clamp(pos, 0, 1000));
}

// The image scaled once to the device pixels it covers, so that it stays sharp.
void ApplyPicture(CtrlView& v, const Control& c, const QSize& pixels) {
  const qreal dpr = v.body->devicePixelRatioF();
  const QSize device(std::max(1, static_cast<int>(pixels.width() * dpr)),
                     std::max(1, static_cast<int>(pixels.height() * dpr)));
  if (v.text == c.imagePath && v.shown.pictureSize == device) return;
  auto* l = static_cast<QLabel*>(v.body.data());
  QPixmap pm(QStr(c.imagePath));
  if (!pm.isNull()) {
    pm = pm.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pm.setDevicePixelRatio(dpr);
  }
  l->setPixmap(pm);
  v.text = c.imagePath;
  v.shown.pictureSize = device;
}

void ApplyValue(CtrlView& v, const Control& c) {
  switch (c.kind) {
    case CTRL_COMMAND_BUTTON:
    case CTRL_TOGGLE_BUTTON: {
      auto* b = static_cast<QPushButton*>(v.body.data());
      if (v.shown.label != c.label) b->setText(QStr(c.label));
      QSignalBlocker block(b);
      if (b->isCheckable()) b->setChecked(c.num != 0);
      break;
    }
    case CTRL_BINARY_SWITCH: static_cast<SwitchWidget*>(v.body.data())->SetState(c.num != 0, c.onColor); break;
    case CTRL_LED: static_cast<LedWidget*>(v.body.data())->SetState(c.num != 0, c.onColor, c.offColor); break;
    case CTRL_NUMERIC:
    case CTRL_STRING:
      if (c.combo) ApplyListValue(v, c);
      else ApplyFieldValue(v, c);
      break;
    case CTRL_TEXT_BOX: ApplyTextBox(v, c); break;
    case CTRL_SLIDE: ApplySlide(v, c); break;
    case CTRL_TEXT_MSG:
      if (v.shown.label != c.label) static_cast<QLabel*>(v.body.data())->setText(QStr(c.label));
      break;
    case CTRL_DECORATION: static_cast<DecorationWidget*>(v.body.data())->SetColour(c.frameColor); break;
    case CTRL_PICTURE: break;  // sized with the layout
    case CTRL_COLOR_NUMERIC: static_cast<SwatchButton*>(v.body.data())->SetColour(static_cast<int>(c.num)); break;
    case CTRL_RING:
    case CTRL_LIST_BOX: ApplyListValue(v, c); break;
    case CTRL_TAB: ApplyTabPages(v, c); break;
    case CTRL_TABLE: ApplyTable(v, c); break;
    case CTRL_GRAPH:
    case CTRL_STRIP_CHART: ApplyPlotArea(v, c); break;
    default: break;
  }
}

}  // namespace

int VariantOf(const Control& c) {
  if (c.kind == CTRL_STRING && c.combo) return 2;
  if (c.kind == CTRL_NUMERIC || c.kind == CTRL_STRING) return IsIndicator(c) ? 1 : 0;
  return 0;
}

void CreateControlWidgets(CtrlView& v, const Control& c, QWidget* panelWidget) {
  v.body = MakeBody(v, c, panelWidget);
  v.body->setAttribute(Qt::WA_NoMousePropagation);  // a click on a control is not also the panel's
  v.body->setContextMenuPolicy(Qt::PreventContextMenu);
  if (c.kind == CTRL_DECORATION) v.body->lower();  // areas lie behind the controls drawn on them
  v.body->hide();
}

void ApplyControlLayout(CtrlView& v, const Control& c) {
  if (!v.body) return;
  QWidget* w = v.body;
  Shown& s = v.shown;
  const Scale units = TheView().UnitsOf(v.panel);
  ApplyFont(v, c, units);
  switch (c.kind) {
    case CTRL_TABLE: LayoutTable(v, c, units.factor); break;
    case CTRL_SLIDE: LayoutSlide(v, units); break;
    case CTRL_TAB:
      if (TabStrip* strip = StripOf(w)) strip->SetLook(units.factor, w->font());
      break;
    default: break;
  }
  QRect g = BodyGeometry(v, c, units);  // after the value: a text message sizes itself to its text
  if (c.kind == CTRL_PICTURE) ApplyPicture(v, c, g.size());
  if (g != w->geometry()) w->setGeometry(g);
  ApplyCaption(v, c, g, units);
  s.geometry = QRect(c.left, c.top, c.width, c.height);
  s.scale = units.factor;
}

void ApplyControl(CtrlView& v, const Control& c) {
  if (!v.body) return;
  QWidget* w = v.body;
  Shown& s = v.shown;
  ApplyPalette(v, c);
  ApplyValue(v, c);
  ApplyControlLayout(v, c);
  s.label = c.label;
  if (c.kind != CTRL_GRAPH && s.tooltip != c.tooltip) {
    w->setToolTip(QStr(c.tooltip));
    if (v.caption) v.caption->setToolTip(QStr(c.tooltip));
    s.tooltip = c.tooltip;
  }
  ApplyAccessible(v, c);
  if (s.dimmed != c.dimmed) {
    w->setEnabled(!c.dimmed);
    s.dimmed = c.dimmed;
  }
  // Indicators take no keyboard focus: the operator cannot change them.
  bool focusable = !IsIndicator(c) && c.kind != CTRL_TEXT_MSG && c.kind != CTRL_DECORATION &&
                   c.kind != CTRL_PICTURE && c.kind != CTRL_LED;
  Qt::FocusPolicy policy = focusable ? Qt::StrongFocus : Qt::NoFocus;
  // A text box (the message box too) and a table take the focus for reading and scrolling.
  if (c.kind == CTRL_TEXT_BOX || c.kind == CTRL_TABLE) policy = Qt::StrongFocus;
  // A graph takes the focus from a click only: its cursors are dragged, and Tab passes it by.
  if (c.kind == CTRL_GRAPH) policy = Qt::ClickFocus;
  if (c.kind == CTRL_STRIP_CHART) policy = Qt::NoFocus;  // nothing on it to operate
  // A slide and a tab control are containers: their slider and their strip take the focus.
  if (c.kind == CTRL_SLIDE || c.kind == CTRL_TAB) policy = Qt::NoFocus;
  if (w->focusPolicy() != policy) w->setFocusPolicy(policy);
  if (s.visible != c.visible) {
    w->setVisible(c.visible != 0);
    s.visible = c.visible;
  }
}

}  // namespace ui::qt
