// The program's panels on the accessibility bus: every control of every panel
// is found by a name and carries its help text, and the main window's tabs
// show their pages when chosen over the bus.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QTabWidget>

#include <cstdlib>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "parameters/mode_rules.h"
#include "ui/model.h"
#include "ui/qt/accessible.h"
#include "ui/qt/qt_face.h"
#include "ui/qt/tab_strip.h"
#include "ui/ui.h"

namespace {

class ProgramAccessible : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    program = std::make_unique<harness::Program>();
    static int argc = 1;
    static char name[] = "accessible_program_test";
    static char* argv[] = {name, nullptr};
    ASSERT_TRUE(ui::qt::Start(argc, argv));
    program->Start();
    ui::qt::SyncNow();
  }
  void TearDown() override {
    program.reset();
    ui::qt::SyncNow();
  }
  static QString Name(int panel, int control) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(ui::qt::ControlWidget(panel, control));
    return i ? i->text(QAccessible::Name) : QString();
  }
  std::unique_ptr<harness::Program> program;
};

TEST_F(ProgramAccessible, EveryControlOfEveryPanelHasANameAndItsHelpText) {
  int controls = 0, panels = 0;
  for (const auto& p : ui::TheModel().panels) {
    if (!p || !p->alive) continue;
    ++panels;
    for (const auto& c : p->controls) {
      if (!c || !c->alive) continue;
      ++controls;
      const std::string where = "panel " + std::to_string(p->handle) + " (" + p->title + ") control " +
                                std::to_string(c->id) + " \"" + c->label + "\"";
      QWidget* w = ui::qt::ControlWidget(p->handle, c->id);
      ASSERT_NE(w, nullptr) << where;
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
      ASSERT_TRUE(iface && iface->isValid()) << where;
      const QString name = iface->text(QAccessible::Name);
      EXPECT_FALSE(name.trimmed().isEmpty()) << where;
      EXPECT_FALSE(name.contains('\n')) << where;
      EXPECT_EQ(name.toStdString(), ui::qt::AccessibleName(*p, *c)) << where;
      // A control that shows no label gets a name of ours, not the bare kind and number.
      if (c->label.empty()) {
        EXPECT_FALSE(name.endsWith(QStringLiteral(" %1").arg(c->id))) << where;
      }
      EXPECT_EQ(iface->text(QAccessible::Description).toStdString(), c->tooltip) << where;
    }
  }
  EXPECT_GE(panels, 9);
  EXPECT_GT(controls, 90);
  // Our own names where the panels show no label.
  EXPECT_EQ(Name(Panels.Colbigp, COLBIGP_NUMBER), "C-No display");
  EXPECT_EQ(Name(Panels.Grpbigp, GRPBIGP_NUMBER), "GROUP display");
  EXPECT_EQ(Name(Panels.Mainp, MAINP_TAB), "Main tabs");
  EXPECT_EQ(Name(Panels.Page[PAGE_CALIBRATION], CAL_DECO_HIDDEN), "Calibration band");
  EXPECT_EQ(Name(Panels.Mainp, MAINP_SEND), "SEND");
}

// The first control of a name and role in reading order (depth first), as a desktop
// tool that searches by name finds it.
QAccessibleInterface* FirstNamed(QAccessibleInterface* node, QAccessible::Role role, const QString& name) {
  if (!node) return nullptr;
  if (node->role() == role && node->text(QAccessible::Name) == name) return node;
  for (int i = 0; i < node->childCount(); ++i) {
    if (QAccessibleInterface* found = FirstNamed(node->child(i), role, name)) return found;
  }
  return nullptr;
}

TEST_F(ProgramAccessible, ASearchByNameMeetsTheMainButtonsFirstAndCanKeepToAChildPanel) {
  // The recorder page has a STOP of its own; the main window's STOP comes first.
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(ui::qt::PanelWidgetOf(Panels.Mainp));
  QAccessibleInterface* stop = FirstNamed(window, QAccessible::Button, QStringLiteral("STOP"));
  ASSERT_NE(stop, nullptr);
  EXPECT_EQ(stop->object(), ui::qt::ControlWidget(Panels.Mainp, MAINP_STOP));
  EXPECT_NE(ui::qt::ControlWidget(Panels.Page[PAGE_RECORDER], REC_STOP), nullptr);
  // The child panels carry their names, so that a search can stay inside the one shown.
  const std::pair<int, const char*> children[] = {{Panels.Datap, "DATAP"},     {Panels.Graphp, "GRAPHP"},
                                                  {Panels.Scopep, "SCOPEP"},   {Panels.Teachp1, "TEACHP1"},
                                                  {Panels.Teachp2, "TEACHP2"}};
  for (const auto& [panel, name] : children) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(ui::qt::PanelWidgetOf(panel));
    ASSERT_NE(i, nullptr) << name;
    EXPECT_EQ(i->text(QAccessible::Name).toStdString(), name);
  }
}

TEST_F(ProgramAccessible, AMainTabChosenOverTheBusShowsItsPage) {
  QWidget* body = ui::qt::ControlWidget(Panels.Mainp, MAINP_TAB);
  QTabWidget* tabs = ui::qt::TabsOf(body);
  ui::qt::TabStrip* strip = ui::qt::StripOf(body);
  ASSERT_TRUE(tabs && strip);
  QAccessibleInterface* cal = QAccessible::queryAccessibleInterface(strip->ButtonOf(PAGE_CALIBRATION));
  ASSERT_TRUE(cal && cal->actionInterface());
  cal->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  ASSERT_TRUE(program->RunUntil([] {
    int active = -1;
    GetActiveTabPage(Panels.Mainp, MAINP_TAB, &active);
    return active == PAGE_CALIBRATION;
  }));
  ui::qt::SyncNow();
  EXPECT_EQ(tabs->currentWidget(), ui::qt::PanelWidgetOf(Panels.Page[PAGE_CALIBRATION]));
  int selected = 0;
  for (int i = 0; i < tabs->count(); ++i) selected += strip->ButtonOf(i)->isChecked() ? 1 : 0;
  EXPECT_EQ(selected, 1);
  EXPECT_TRUE(cal->state().selected);
}

TEST_F(ProgramAccessible, TheCNoDisplaysDoubleClickOverTheBusOpensTheBigDisplay) {
  // C-No is shown while colours are evaluated.
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_DIG_OUTMODE_RING, 2);
  ApplyModeRules();
  ui::qt::SyncNow();
  QAccessibleInterface* cno = QAccessible::queryAccessibleInterface(ui::qt::ControlWidget(Panels.Datap, DATAP_COL));
  ASSERT_TRUE(cno && cno->actionInterface());
  DisplayPanel(Panels.Datap);
  cno->actionInterface()->doAction("Double click");
  EXPECT_TRUE(program->RunUntil([] {
    int visible = 0;
    GetPanelAttribute(Panels.Colbigp, ATTR_VISIBLE, &visible);
    return visible != 0;
  }));
}

}  // namespace
