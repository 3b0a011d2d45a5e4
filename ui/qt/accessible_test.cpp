// The controls as the accessibility bus sees them: names, help texts, and
// actions that do what the mouse does. Also: Qt's wake-up ends the program's wait.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <poll.h>

#include <thread>

#include "ui/face.h"
#include "ui/model.h"
#include "ui/qt/accessible.h"
#include "ui/qt/popups.h"
#include "ui/qt/qt_test_support.h"
#include "ui/qt/tab_strip.h"

namespace {

using qt_test::Entry;
using qt_test::Log;

class Accessible : public qt_test::QtFaceTest {
 protected:
  void SetUp() override {
    QtFaceTest::SetUp();
    panel = NewPanel(0, "MAIN", 50, 50, 300, 460);
    send = NewCtrlWithId(panel, 1, CTRL_COMMAND_BUTTON, "SEND", 10, 10, 24, 70);
    SetCtrlAttribute(panel, send, ATTR_TOOLTIP_TEXT, "Send it. \n\nShortcut Key: F9. ");
    gain = NewCtrlWithId(panel, 2, CTRL_NUMERIC, "GAIN\nFACTOR", 60, 10, 22, 80);
    ring = NewCtrlWithId(panel, 3, CTRL_RING, "MODE", 100, 10, 22, 100);
    for (const char* item : {"CONT", "SELF", "EXTERN"}) InsertListItem(panel, ring, -1, item, 0.0);
    ram = NewCtrlWithId(panel, 4, CTRL_TOGGLE_BUTTON, "RAM", 140, 10, 22, 50);
    band = NewCtrlWithId(panel, 5, CTRL_DECORATION, "", 180, 10, 10, 100);
    id = NewCtrlWithId(panel, 6, CTRL_STRING, "ID", 200, 10, 22, 120);
    tab = NewCtrlWithId(panel, 7, CTRL_TAB, "", 10, 220, 150, 220);
    for (const char* label : {"COM", "PARA", "OFFSET"}) InsertTabPage(panel, tab, -1, label);
    for (int c : {send, gain, ring, ram, id, tab}) SetCtrlCallback(panel, c, qt_test::LogCtrl, nullptr);
    DisplayPanel(panel);
    Show();
  }

  QAccessibleInterface* Iface(int control) {
    return QAccessible::queryAccessibleInterface(ui::qt::ControlWidget(panel, control));
  }
  QTabWidget* Tabs() { return ui::qt::TabsOf(ui::qt::ControlWidget(panel, tab)); }
  QAbstractButton* TabButton(int index) { return ui::qt::StripOf(ui::qt::ControlWidget(panel, tab))->ButtonOf(index); }
  int CheckedTabs() {
    int n = 0;
    for (int i = 0; i < 3; ++i) n += TabButton(i)->isChecked() ? 1 : 0;
    return n;
  }
  double Num(int control) {
    double v = 0;
    GetCtrlVal(panel, control, &v);
    return v;
  }

  int panel = 0, send = 0, gain = 0, ring = 0, ram = 0, band = 0, id = 0, tab = 0;
};

TEST_F(Accessible, ControlsCarryTheirLabelsOnOneLineAndTheirHelpTexts) {
  QAccessibleInterface* s = Iface(send);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->text(QAccessible::Name), "SEND");
  EXPECT_EQ(s->text(QAccessible::Description), "Send it. \n\nShortcut Key: F9. ");
  EXPECT_EQ(Iface(gain)->text(QAccessible::Name), "GAIN FACTOR");
  EXPECT_EQ(Iface(ring)->role(), QAccessible::ComboBox);
  EXPECT_EQ(Iface(ring)->text(QAccessible::Name), "MODE");
  // Without a label the control still has a name, and a later label replaces it.
  EXPECT_EQ(Iface(band)->text(QAccessible::Name), "Decoration 5");
  SetCtrlAttribute(panel, band, ATTR_LABEL_TEXT, "BAND");
  SetCtrlAttribute(panel, send, ATTR_TOOLTIP_TEXT, "Other help.");
  Show();
  EXPECT_EQ(Iface(band)->text(QAccessible::Name), "BAND");
  EXPECT_EQ(Iface(send)->text(QAccessible::Description), "Other help.");
  // Tabs are page tabs named as shown, and the pages are named after them.
  QAccessibleInterface* t = QAccessible::queryAccessibleInterface(TabButton(1));
  EXPECT_EQ(t->role(), QAccessible::PageTab);
  EXPECT_EQ(t->text(QAccessible::Name), "PARA");
  // Only the strip's tabs are in the tree; the tab widget's own bar stays hidden.
  QAccessibleInterface* pages = QAccessible::queryAccessibleInterface(Tabs());
  for (int i = 0; i < pages->childCount(); ++i) EXPECT_NE(pages->child(i)->role(), QAccessible::PageTabList);
  int page = 0;
  GetPanelHandleFromTabPage(panel, tab, 2, &page);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(ui::qt::PanelWidgetOf(page))->text(QAccessible::Name), "OFFSET");
}

TEST_F(Accessible, PressingAButtonCommitsItAsAClickDoes) {
  QAccessibleInterface* s = Iface(send);
  ASSERT_TRUE(s->actionInterface());
  s->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(DispatchUntil([] { return !Log().empty(); }));
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(send, EVENT_COMMIT)}));

  // A dimmed button offers no action and does nothing.
  Log().clear();
  SetCtrlAttribute(panel, send, ATTR_DIMMED, 1);
  Show();
  EXPECT_TRUE(s->actionInterface()->actionNames().isEmpty());
  s->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  Settle();
  Dispatch();
  EXPECT_TRUE(Log().empty());
}

TEST_F(Accessible, TogglingAToggleButtonFlipsItsValue) {
  QAccessibleInterface* r = Iface(ram);
  r->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  Dispatch();
  EXPECT_EQ(Num(ram), 1);
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(ram, EVENT_VAL_CHANGED), Entry(ram, EVENT_COMMIT)}));
  Show();
  EXPECT_TRUE(r->state().checked);
  r->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  Dispatch();
  Show();
  EXPECT_EQ(Num(ram), 0);
  EXPECT_FALSE(r->state().checked);
}

TEST_F(Accessible, SelectingATabShowsItsPageAndOnlyItsTabIsSelected) {
  for (const QString& action : {QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction()}) {
    SetActiveTabPage(panel, tab, 0);
    Show();
    Log().clear();
    QAccessibleInterface* t = QAccessible::queryAccessibleInterface(TabButton(2));
    t->actionInterface()->doAction(action);
    Dispatch();
    Show();
    int active = -1;
    GetActiveTabPage(panel, tab, &active);
    EXPECT_EQ(active, 2) << action.toStdString();
    EXPECT_EQ(Tabs()->currentIndex(), 2);
    EXPECT_EQ(CheckedTabs(), 1);
    EXPECT_TRUE(t->state().selected);
    EXPECT_EQ(Log(), (std::vector<std::string>{Entry(tab, EVENT_ACTIVE_TAB_CHANGE, 0, 2)}));
  }
}

TEST_F(Accessible, TogglingTheTabInFrontKeepsItsPage) {
  SetActiveTabPage(panel, tab, 1);
  Show();
  Log().clear();
  // Qt's own button action unchecks a checked button: the page in front stays selected.
  TabButton(1)->toggle();
  Dispatch();
  Show();
  EXPECT_TRUE(TabButton(1)->isChecked());
  EXPECT_EQ(CheckedTabs(), 1);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Accessible, ARingChoosesItsItemThroughTheValueInterface) {
  QAccessibleInterface* r = Iface(ring);
  ASSERT_TRUE(r->valueInterface());
  EXPECT_EQ(r->valueInterface()->maximumValue().toInt(), 2);
  r->valueInterface()->setCurrentValue(2);
  Dispatch();
  int index = -1;
  GetCtrlIndex(panel, ring, &index);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(ring, EVENT_VAL_CHANGED), Entry(ring, EVENT_COMMIT)}));
  Show();
  EXPECT_EQ(r->text(QAccessible::Value), "EXTERN");
  EXPECT_EQ(r->valueInterface()->currentValue().toInt(), 2);

  // Out of range, or dimmed: nothing happens.
  Log().clear();
  r->valueInterface()->setCurrentValue(3);
  SetCtrlAttribute(panel, ring, ATTR_DIMMED, 1);
  Show();
  r->valueInterface()->setCurrentValue(0);
  Dispatch();
  GetCtrlIndex(panel, ring, &index);
  EXPECT_EQ(index, 2);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Accessible, AFieldTakesANewValueSetOverTheBus) {
  QAccessibleInterface* g = Iface(gain);
  ASSERT_TRUE(g->editableTextInterface());
  g->editableTextInterface()->replaceText(0, g->textInterface()->characterCount(), "42");
  Dispatch();
  EXPECT_EQ(Num(gain), 42);
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(gain, EVENT_VAL_CHANGED), Entry(gain, EVENT_COMMIT)}));

  // Not a number: the model keeps its value and the field shows it again.
  Log().clear();
  g->editableTextInterface()->replaceText(0, g->textInterface()->characterCount(), "x");
  Dispatch();
  Show();
  EXPECT_EQ(Num(gain), 42);
  EXPECT_EQ(static_cast<QLineEdit*>(ui::qt::ControlWidget(panel, gain))->text(), "42");
  EXPECT_TRUE(Log().empty());

  QAccessibleInterface* i = Iface(id);
  i->editableTextInterface()->replaceText(0, 0, "S1");
  Dispatch();
  std::string text;
  GetCtrlVal(panel, id, &text);
  EXPECT_EQ(text, "S1");
}

TEST_F(Accessible, TheModelsOwnChangesAreNoOperatorInput) {
  SetCtrlVal(panel, gain, 7.0);
  SetCtrlVal(panel, id, "ABC");
  SetCtrlIndex(panel, ring, 1);
  SetCtrlVal(panel, ram, 1);
  SetActiveTabPage(panel, tab, 2);
  Show();
  Dispatch();
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(static_cast<QLineEdit*>(ui::qt::ControlWidget(panel, gain))->text(), "7");
}

TEST_F(Accessible, DisplaysLampsAndSwitchesTellTheirState) {
  int shown = NewCtrlWithId(panel, 8, CTRL_NUMERIC, "X", 230, 10, 20, 60);
  SetCtrlAttribute(panel, shown, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetCtrlAttribute(panel, shown, ATTR_PRECISION, 1);
  SetCtrlVal(panel, shown, 12.5);
  int lamp = NewCtrlWithId(panel, 9, CTRL_LED, "TRIGGER", 230, 90, 16, 16);
  int sw = NewCtrlWithId(panel, 10, CTRL_BINARY_SWITCH, "COLOR GROUP", 260, 10, 22, 60);
  SetCtrlCallback(panel, sw, qt_test::LogCtrl, nullptr);
  Show();
  EXPECT_EQ(Iface(shown)->text(QAccessible::Name), "X");
  EXPECT_EQ(Iface(shown)->text(QAccessible::Value), "12.5");
  ASSERT_TRUE(Iface(shown)->textInterface());
  EXPECT_EQ(Iface(shown)->textInterface()->text(0, Iface(shown)->textInterface()->characterCount()), "12.5");
  EXPECT_EQ(Iface(lamp)->text(QAccessible::Value), "off");
  SetCtrlVal(panel, lamp, 1);
  SetCtrlVal(panel, shown, 3.0);
  Show();
  EXPECT_EQ(Iface(lamp)->text(QAccessible::Value), "on");
  EXPECT_EQ(Iface(shown)->text(QAccessible::Value), "3.0");
  SetCtrlCallback(panel, shown, qt_test::LogCtrl, nullptr);
  Iface(shown)->actionInterface()->doAction("Double click");
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(shown, EVENT_LEFT_DOUBLE_CLICK)}));
  Log().clear();

  QAccessibleInterface* s = Iface(sw);
  EXPECT_FALSE(s->state().checked);
  s->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  Dispatch();
  Show();
  EXPECT_EQ(Num(sw), 1);
  EXPECT_TRUE(s->state().checked);
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(sw, EVENT_VAL_CHANGED), Entry(sw, EVENT_COMMIT)}));
}

// Another thread posting a Qt event (as the accessibility bus connection does)
// ends a blocked wait at once. On the test clock the wait may block for 30 s
// of real time; a wait that ran out would have moved the clock to its end.
TEST_F(Accessible, QtsWakeUpEndsTheWait) {
  ui::headless::UseTestClock(100.0, 30.0);
  ui::qt::SyncNow();
  for (int i = 0; i < 5; ++i) ProcessSystemEvents();
  std::vector<pollfd> fds;
  ui::CurrentFace().AddWaitDescriptors(fds);
  ASSERT_FALSE(fds.empty()) << "no descriptor of Qt's own wake-up";
  // Nothing is ready once Qt has had its turn, so what follows wakes for the post alone.
  bool quiet = false;
  for (int i = 0; i < 50 && !quiet; ++i) {
    ui::qt::PumpNow();
    quiet = poll(fds.data(), fds.size(), 0) == 0;
  }
  ASSERT_TRUE(quiet);

  QObject receiver;
  std::thread poster([&receiver] { QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User)); });
  poster.join();
  WaitForEvents(Timer() + 60.0);
  EXPECT_LT(Timer(), 160.0) << "the wait ran to its end";
  ui::headless::UseRealClock();
}

}  // namespace
