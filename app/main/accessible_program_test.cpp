// The program's panels on the accessibility bus: every control of every panel
// is found by a name and carries its help text, and the main window's tabs
// show their pages when chosen over the bus.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPrinter>
#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/main/qt_program_test.h"
#include "app/program_state.h"
#include "parameters/parameter_panel.h"
#include "scope/qt/scope_print.h"
#include "scope/scope_report.h"
#include "ui/headless.h"
#include "ui/operate.h"
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
    program = qt_program::Start();
    ASSERT_TRUE(program);
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

// [SECTION] Presses over the bus right after typing, with no focus change between

// The press action of a button, as a screen reader or a voice control gives it.
void PressOverTheBus(int panel, int control) {
  ui::qt::SyncNow();  // the screen shows the button as the program has it now
  ASSERT_TRUE(ui::qt::ControlWidget(panel, control)->isEnabled());
  QAccessibleInterface* i = QAccessible::queryAccessibleInterface(ui::qt::ControlWidget(panel, control));
  ASSERT_TRUE(i && i->actionInterface());
  i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

void TypeInto(QWidget* w, const QString& text) {
  ASSERT_TRUE(w->isVisible() && w->isEnabled());
  QWidget* window = w->window();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  w->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), w);
  if (auto* field = qobject_cast<QLineEdit*>(w)) field->selectAll();
  QTest::keyClicks(w, text);
}

std::vector<std::string> g_printedLines;  // the report's lines as the PDF printer got them

int ChoosePdf(std::string* printer) {
  *printer = "PDF";
  return 1;
}

int PrintToPdf(const ScopeReport& report, const std::string&) {
  g_printedLines.clear();
  for (const ReportItem& item : report.items) g_printedLines.push_back(item.text);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QDir::temp().filePath(QStringLiteral("accessible_program_test.pdf")));
  return PaintScopeReport(report, printer);
}

TEST_F(ProgramAccessible, SendGoAndPrintPressedOverTheBusTakeWhatWasJustTyped) {
  const int para = Panels.Page[PAGE_PARAMETER];
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  ui::qt::SyncNow();
  // SEND: the typed AVERAGE reaches the sensor.
  TypeInto(ui::qt::ControlWidget(para, PARA_AVERAGE_NUM), "321");
  PressOverTheBus(Panels.Mainp, MAINP_SEND);
  EXPECT_TRUE(program->RunUntil([&] {
    return program->Sim().WithState([](sim::SensorState& s) { return s.ram[0].para[PARA_AVERAGE]; }) == 321 &&
           !program->Dimmed(Panels.Mainp, MAINP_GO);  // the SEND is over
  }));

  // GO: the typed INTEGRAL is in the record the GO loop works with.
  TypeInto(ui::qt::ControlWidget(para, PARA_INTEGRAL_NUM), "44");
  std::uint16_t integralInGo = 0;
  bool stopped = false;
  ui::headless::SetWaitHook([&](double) {
    if (!State.GoRunning || stopped) return;
    integralInGo = ParameterSet.ParameterBlock[PARA_INTEGRAL];
    stopped = true;
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  program->Sim().SetWireTiming(true);
  PressOverTheBus(Panels.Mainp, MAINP_GO);
  EXPECT_TRUE(program->RunUntil([&] { return stopped && !State.GoRunning; }));
  ui::headless::SetWaitHook(nullptr);
  EXPECT_EQ(integralInGo, 44);

  // PRINT, with the PDF printer chosen: the comment just typed is printed.
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_SCOPE));
  program->Settle();
  ui::qt::SyncNow();
  ReportPrinting printing;
  printing.savePanelPicture = [](int panel, const std::string& path) { return ui::qt::SavePanelImage(panel, path) ? 1 : -1; };
  printing.choosePrinter = ChoosePdf;
  printing.print = PrintToPdf;
  SetReportPrinting(printing);
  qt_program::MessageBoxReader operatorReads;  // "Print successful!" is read and closed
  TypeInto(ui::qt::ControlWidget(Panels.Page[PAGE_SCOPE], SCOPE_COMMENT), "belt 2");
  g_printedLines.clear();
  PressOverTheBus(Panels.Scopep, SCOPEP_PRINT);
  EXPECT_TRUE(program->RunUntil([] { return !g_printedLines.empty(); }));
  SetReportPrinting({});
  bool commented = false;
  for (std::size_t i = 0; i + 1 < g_printedLines.size(); ++i) {
    commented = commented || (g_printedLines[i] == "COMMENT:" && g_printedLines[i + 1].find("belt 2") != std::string::npos);
  }
  EXPECT_TRUE(commented);
}

}  // namespace
