// Accessible names and descriptions of the controls, and the interfaces of the
// widgets whose standard ones would act differently from the mouse.
#include "ui/qt/accessible.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QTabBar>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

#include <algorithm>
#include <vector>

#include "ui/operate.h"
#include "ui/qt/custom_widgets.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

// [SECTION] Names

const char* KindWord(CtrlKind k) {
  switch (k) {
    case CTRL_COMMAND_BUTTON: return "Button";
    case CTRL_TOGGLE_BUTTON: return "Toggle button";
    case CTRL_BINARY_SWITCH: return "Switch";
    case CTRL_NUMERIC: return "Number";
    case CTRL_SLIDE: return "Slider";
    case CTRL_STRING: return "Text field";
    case CTRL_TEXT_BOX: return "Text box";
    case CTRL_RING: return "Ring";
    case CTRL_LIST_BOX: return "List";
    case CTRL_LED: return "Lamp";
    case CTRL_TEXT_MSG: return "Text";
    case CTRL_DECORATION: return "Decoration";
    case CTRL_PICTURE: return "Picture";
    case CTRL_COLOR_NUMERIC: return "Colour";
    case CTRL_TABLE: return "Table";
    case CTRL_GRAPH: return "Graph";
    case CTRL_STRIP_CHART: return "Strip chart";
    case CTRL_TAB: return "Tabs";
    default: return "Control";
  }
}

// A label on one line: line breaks and runs of blanks become one blank.
std::string OneLine(const std::string& text) {
  std::string out;
  bool blank = false;
  for (char ch : text) {
    if (ch == '\n' || ch == '\r' || ch == '\t' || ch == ' ') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += ch;
  }
  return out;
}

// [SECTION] Interfaces

// The body's inner widget that takes the operator's input, where the body is a container.
QWidget* InputWidgetOf(const CtrlView& v) {
  QWidget* body = v.body;
  if (!body) return nullptr;
  if (v.kind == CTRL_SLIDE) return body->findChild<QSlider*>();
  if (v.kind == CTRL_TAB) return TabsOf(body);
  return nullptr;
}

// A ring or combo box: a drop-down list whose item the operator chooses. Qt's
// own combo box interface offers no way to choose an item; this one has the
// value interface (the item's index) and chooses as a pick with the mouse does.
class RingAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit RingAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Box()->currentText();
    return QAccessibleWidget::text(t);
  }

  // The drop-down list and, when the box is editable, its text field, as in Qt's own combo box.
  int childCount() const override { return Box()->lineEdit() ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(Box()->view());
    if (index == 1 && Box()->lineEdit()) return QAccessible::queryAccessibleInterface(Box()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    if (child->object() == Box()->view()) return 0;
    return Box()->lineEdit() && child->object() == Box()->lineEdit() ? 1 : -1;
  }

  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << showMenuAction() << pressAction();
    return names;
  }
  void doAction(const QString& name) override {
    if (!widget()->isEnabled()) return;
    if (name == showMenuAction() || name == pressAction()) Box()->showPopup();
  }

  QVariant currentValue() const override { return Box()->currentIndex(); }
  void setCurrentValue(const QVariant& value) override {
    QComboBox* box = Box();
    bool ok = false;
    int index = value.toInt(&ok);
    if (!ok || !box->isEnabled() || index < 0 || index >= box->count()) return;
    // What a pick from the list does: the item becomes current and is activated.
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  QVariant maximumValue() const override { return std::max(0, Box()->count() - 1); }
  QVariant minimumValue() const override { return 0; }
  QVariant minimumStepSize() const override { return 1; }

 private:
  QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

// A tab of a tab control: a page tab, selected when its page is in front;
// pressing or toggling it brings its page to the front as a click does.
class TabButtonAccessible : public QAccessibleWidget {
 public:
  explicit TabButtonAccessible(QAbstractButton* b) : QAccessibleWidget(b, QAccessible::PageTab) {}

  QString text(QAccessible::Text t) const override {
    QString s = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && s.isEmpty()) s = Button()->text();
    return s;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = Button()->isChecked();
    return s;
  }
  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << pressAction() << toggleAction();
    return names;
  }
  void doAction(const QString& name) override {
    if (!widget()->isEnabled() || !widget()->isVisible()) return;
    if (name == pressAction() || name == toggleAction()) Button()->click();
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

// A value display: read by its name, its value is the text it shows. (No change
// events: the displays change with every measured frame.)
class DisplayAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit DisplayAccessible(DisplayWidget* d) : QAccessibleWidget(d, QAccessible::StaticText) {}
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Shown();
    return QAccessibleWidget::text(t);
  }
  // A double click is all the mouse does on a display (C-No and GROUP open their big displays).
  QStringList actionNames() const override { return widget()->isEnabled() ? QStringList{DoubleClick()} : QStringList(); }
  void doAction(const QString& name) override {
    if (name != DoubleClick() || !widget()->isEnabled()) return;
    if (const CtrlView* v = TheView().CtrlOf(widget())) Act([&] { op::DoubleClick(v->panel, v->id); });
  }
  static QString DoubleClick() { return QStringLiteral("Double click"); }
  // Read-only text: what the display shows, without selection or cursor.
  QString text(int start, int end) const override { return Shown().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(Shown().size()); }
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return QString();
  }

 private:
  QString Shown() const { return static_cast<DisplayWidget*>(widget())->Text(); }
};

// A lamp: an indicator that is lit or dark.
class LedAccessible : public QAccessibleWidget {
 public:
  explicit LedAccessible(LedWidget* l) : QAccessibleWidget(l, QAccessible::Indicator) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Lamp()->Lit() ? QStringLiteral("on") : QStringLiteral("off");
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checked = Lamp()->Lit();
    return s;
  }

 private:
  LedWidget* Lamp() const { return static_cast<LedWidget*>(widget()); }
};

// An on/off switch: checked when on; pressing or toggling it flips it as a click does.
class SwitchAccessible : public QAccessibleWidget {
 public:
  explicit SwitchAccessible(SwitchWidget* s) : QAccessibleWidget(s, QAccessible::CheckBox) {}
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = Switch()->On();
    return s;
  }
  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << toggleAction() << pressAction();
    return names;
  }
  void doAction(const QString& name) override {
    if (widget()->isEnabled() && (name == toggleAction() || name == pressAction())) Switch()->click();
  }

 private:
  SwitchWidget* Switch() const { return static_cast<SwitchWidget*>(widget()); }
};

// The pages of a tab control without the tab widget's own tab bar, which stays
// hidden behind the strip: a tool looking for a tab by its name finds the strip's.
class PagesAccessible : public QAccessibleWidget {
 public:
  explicit PagesAccessible(QTabWidget* tabs) : QAccessibleWidget(tabs) {}
  int childCount() const override { return static_cast<int>(Children().size()); }
  QAccessibleInterface* child(int index) const override {
    std::vector<QWidget*> c = Children();
    return index >= 0 && index < static_cast<int>(c.size()) ? QAccessible::queryAccessibleInterface(c[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    std::vector<QWidget*> c = Children();
    for (std::size_t i = 0; child && i < c.size(); ++i) {
      if (c[i] == child->object()) return static_cast<int>(i);
    }
    return -1;
  }

 private:
  std::vector<QWidget*> Children() const {
    std::vector<QWidget*> c;
    auto* tabs = static_cast<QTabWidget*>(widget());
    for (QObject* o : tabs->children()) {
      auto* w = qobject_cast<QWidget*>(o);
      if (w && !w->isWindow() && w != tabs->tabBar()) c.push_back(w);
    }
    return c;
  }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* w = static_cast<QWidget*>(object);
  if (className == QLatin1String("QComboBox")) {
    // Decided when the box is made: its parent is already the panel widget then.
    return View::PanelOf(w) ? new RingAccessible(static_cast<QComboBox*>(w)) : nullptr;
  }
  if (className == QLatin1String("QToolButton") && dynamic_cast<TabStrip*>(w->parentWidget())) {
    return new TabButtonAccessible(static_cast<QAbstractButton*>(w));
  }
  if (className == QLatin1String("QTabWidget") && w->parentWidget() && StripOf(w->parentWidget())) {
    return new PagesAccessible(static_cast<QTabWidget*>(w));
  }
  if (className == QLatin1String("QWidget")) {
    if (dynamic_cast<TabStrip*>(w)) return new QAccessibleWidget(w, QAccessible::PageTabList);
    if (auto* d = dynamic_cast<DisplayWidget*>(w)) return new DisplayAccessible(d);
    if (auto* l = dynamic_cast<LedWidget*>(w)) return new LedAccessible(l);
  }
  if (className == QLatin1String("QAbstractButton")) {
    if (auto* sw = dynamic_cast<SwitchWidget*>(w)) return new SwitchAccessible(sw);
  }
  return nullptr;
}

void SetNames(QWidget* w, const QString& name, const QString& description) {
  if (!w) return;
  if (w->accessibleName() != name) w->setAccessibleName(name);
  if (w->accessibleDescription() != description) w->setAccessibleDescription(description);
}

}  // namespace

void ApplyAccessibleChildPanel(QWidget* panel, const Panel& p) {
  if (panel && !p.accessibleName.empty()) SetNames(panel, QStr(p.accessibleName), QString());
}

bool HasOwnAccessibleName(const Panel&, const Control& c) {
  return !OneLine(c.label).empty() || !c.accessibleName.empty();
}

std::string AccessibleName(const Panel&, const Control& c) {
  std::string name = OneLine(c.label);
  if (!name.empty()) return name;
  if (!c.accessibleName.empty()) return c.accessibleName;
  return std::string(KindWord(c.kind)) + " " + std::to_string(c.id);
}

void ApplyAccessible(CtrlView& v, const Control& c) {
  const Panel* p = FindPanel(v.panel);
  if (!p || !v.body) return;
  std::string name = AccessibleName(*p, c);
  if (v.shown.accessibleName == name && v.shown.accessibleDescription == c.tooltip) return;
  const QString qname = QStr(name), description = QStr(c.tooltip);
  SetNames(v.body, qname, description);
  SetNames(InputWidgetOf(v), qname, description);
  // A combo box's drop-down list, and its text field where there is one.
  if (auto* box = qobject_cast<QComboBox*>(v.body.data())) {
    SetNames(box->view(), qname, QString());
    if (box->lineEdit()) SetNames(box->lineEdit(), qname, description);
  }
  if (v.kind == CTRL_TAB) SetNames(StripOf(v.body), qname, QString());
  v.shown.accessibleName = name;
  v.shown.accessibleDescription = c.tooltip;
}

void ApplyAccessiblePage(QWidget* page, const std::string& label) {
  if (page) SetNames(page, QStr(OneLine(label)), QString());
}

void InstallAccessibleFactory() { QAccessible::installFactory(Factory); }

}  // namespace ui::qt
