// The real window against the simulator: what the operator typed is what the actions
// take, whatever starts them (function keys, Return, a menu entry); what the program
// sets replaces a stale edit; Tab follows the reading order of the layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/main/qt_program_test.h"
#include "app/program_state.h"
#include "parameters/changes.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "parameters/transfer.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/qt/qt_face.h"
#include "ui/qt/view.h"
#include "ui/ui.h"

namespace {

namespace hl = ui::headless;

class OperatorInput : public ::testing::Test {
 protected:
  void SetUp() override {
    program = qt_program::Start();
    ASSERT_TRUE(program);
    para = Panels.Page[PAGE_PARAMETER];
    // Colour evaluation on (BINARY): every parameter control and the teach pages are shown.
    SetCtrlVal(para, PARA_DIG_OUTMODE_RING, DIGITAL_OUTMODE_BINARY);
    ApplyModeRules();
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
    ui::qt::SyncNow();
    QWidget* window = ui::qt::PanelWidgetOf(Panels.Mainp);
    window->activateWindow();
    QApplication::setActiveWindow(window);
  }
  void TearDown() override {
    hl::SetWaitHook(nullptr);
    program.reset();
    ui::qt::SyncNow();
  }

  static QLineEdit* Field(int panel, int control) {
    return qobject_cast<QLineEdit*>(ui::qt::ControlWidget(panel, control));
  }
  // Types `text` over what the field shows, without Enter or Tab.
  static void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    ASSERT_TRUE(field->isModified());
  }
  static void PressKey(int key) { QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key)); }
  // Whether the transfer buttons are back: the SEND or GET is over.
  bool TransferOver() { return !program->Dimmed(Panels.Mainp, MAINP_SEND); }
  std::uint16_t SensorWord(int word) {
    return program->Sim().WithState([word](sim::SensorState& s) { return s.ram[0].para[word]; });
  }

  std::unique_ptr<harness::Program> program;
  int para = 0;
};

TEST_F(OperatorInput, FunctionKeysSendWhatTheFieldsShowClampedAsOnAFocusChange) {
  Type(Field(para, PARA_AVERAGE_NUM), "77");
  PressKey(Qt::Key_F9);
  ASSERT_TRUE(program->RunUntil([&] { return SensorWord(PARA_AVERAGE) == 77 && TransferOver(); }));
  EXPECT_EQ(Field(para, PARA_AVERAGE_NUM)->text(), "77");
  EXPECT_FALSE(Field(para, PARA_AVERAGE_NUM)->isModified());

  // Beyond the field's range: taken as the largest value, as when the focus leaves.
  Type(Field(para, PARA_INTLIM_NUM), "70000");
  PressKey(Qt::Key_F9);
  ASSERT_TRUE(program->RunUntil([&] { return SensorWord(PARA_INTLIM) == 65535 && TransferOver(); }));
  ui::qt::SyncNow();
  EXPECT_EQ(Field(para, PARA_INTLIM_NUM)->text(), "65535");

  // Not a number: refused as on a focus change; the field shows the value again.
  Type(Field(para, PARA_AVERAGE_NUM), "abc");
  const std::size_t before = program->Sim().OrderCount();
  PressKey(Qt::Key_F9);
  ASSERT_TRUE(program->RunUntil([&] { return program->Sim().OrderCount() >= before + 2 && TransferOver(); }));
  program->Settle();
  EXPECT_EQ(SensorWord(PARA_AVERAGE), 77);
  ui::qt::SyncNow();
  EXPECT_EQ(Field(para, PARA_AVERAGE_NUM)->text(), "77");
}

TEST_F(OperatorInput, ATeachCellBeingEditedIsSentByF9) {
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
  ui::qt::SyncNow();
  auto* table = qobject_cast<QTableView*>(ui::qt::ControlWidget(Panels.Page[PAGE_TEACH], TEACH_TABLE));
  ASSERT_NE(table, nullptr);
  table->setFocus();
  const QModelIndex cell = table->model()->index(0, 0);
  table->setCurrentIndex(cell);
  table->edit(cell);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "150");
  PressKey(Qt::Key_F9);
  ASSERT_TRUE(program->RunUntil(
      [&] { return program->Sim().WithState([](sim::SensorState& s) { return s.ram[0].teach[0]; }) == 150; }));
  EXPECT_EQ(ParameterSet.TeachBlock[0].Cell[0], 150);
}

TEST_F(OperatorInput, ANoticeOfTheFieldsOwnCommitComesBeforeTheAction) {
  // MAX VEC NO 5 with BINARY and no colour groups: the rules bring it down to 3 with a notice;
  // the SEND of F9 comes after the notice and sends the 3.
  qt_program::MessageBoxReader operatorReads;
  Type(Field(para, PARA_MAX_VEC_NO_NUM), "5");
  PressKey(Qt::Key_F9);
  ASSERT_TRUE(program->RunUntil([&] { return SensorWord(PARA_MAX_VEC_NO) == 3; }));
  ASSERT_EQ(operatorReads.read.size(), 1u);
  EXPECT_NE(operatorReads.read[0].find("MAXCOL-No. is too high."), std::string::npos);
}

TEST_F(OperatorInput, GoTakesTheTypedValueAndAnEditSurvivesAHundredFrames) {
  Type(Field(para, PARA_INTLIM_NUM), "33");
  // F11 starts GO with the typed INTLIM in the record; a hundred frames later the operator
  // is typing into AVERAGE, and the displays' updates leave that edit alone.
  program->Sim().SetWireTiming(true);  // frames at a sensor's pace, so the screen is redrawn between them
  const std::size_t start = program->Sim().OrderCount();
  std::uint16_t intlimInGo = 0;
  long syncsDuringEdit = 0;
  bool typed = false, stopped = false;
  QString shownAfterFrames;
  bool modifiedAfterFrames = false;
  hl::SetWaitHook([&](double) {
    if (!State.GoRunning || stopped) return;
    const std::size_t frames = program->Sim().OrderCount() - start;
    if (!typed && frames >= 3) {
      intlimInGo = ParameterSet.ParameterBlock[PARA_INTLIM];
      Type(Field(para, PARA_AVERAGE_NUM), "3");
      syncsDuringEdit = ui::qt::TheView().SyncCount();
      typed = true;
    } else if (typed && frames < 103) {
      ui::qt::SyncNow();  // the screen is redrawn with the frames' values meanwhile
    } else if (typed) {
      ui::qt::SyncNow();
      syncsDuringEdit = ui::qt::TheView().SyncCount() - syncsDuringEdit;
      shownAfterFrames = Field(para, PARA_AVERAGE_NUM)->text();
      modifiedAfterFrames = Field(para, PARA_AVERAGE_NUM)->isModified();
      stopped = true;
      ui::op::Press(Panels.Mainp, MAINP_STOP);
    }
  });
  PressKey(Qt::Key_F11);
  ASSERT_TRUE(program->RunUntil([&] { return stopped && !State.GoRunning; }, 20));
  EXPECT_EQ(intlimInGo, 33);
  EXPECT_GT(syncsDuringEdit, 20);
  EXPECT_EQ(shownAfterFrames, "3");
  EXPECT_TRUE(modifiedAfterFrames);
  // Return commits it at last.
  hl::SetWaitHook(nullptr);
  Field(para, PARA_AVERAGE_NUM)->setFocus();
  QTest::keyClick(Field(para, PARA_AVERAGE_NUM), Qt::Key_Return);
  ASSERT_TRUE(program->RunUntil([] {
    int v = 0;
    GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_AVERAGE_NUM, &v);
    return v == 3;
  }));
}

TEST_F(OperatorInput, AGetReplacesWhatWasTypedButNotCommitted) {
  program->Sim().WithState([](sim::SensorState& s) { s.ram[0].para[PARA_AVERAGE] = 4; });
  Type(Field(para, PARA_AVERAGE_NUM), "3");
  // The GO loop serves a GET between two frames without the field's commit.
  GetParameters();
  ui::qt::SyncNow();
  EXPECT_EQ(Field(para, PARA_AVERAGE_NUM)->text(), "4");
  EXPECT_FALSE(Field(para, PARA_AVERAGE_NUM)->isModified());
  // Leaving the field now commits nothing.
  QTest::keyClick(Field(para, PARA_AVERAGE_NUM), Qt::Key_Return);
  program->Settle();
  int v = 0;
  GetCtrlVal(para, PARA_AVERAGE_NUM, &v);
  EXPECT_EQ(v, 4);
}

TEST_F(OperatorInput, ChangedValuesShowInItalicsAndClosingAsksWithNoAsItsDefault) {
  UpdateChangeMarks();
  const int base = Changes.Count;  // the fixture's own choice of DIGITAL OUTMODE and what follows from it
  QLineEdit* average = Field(para, PARA_AVERAGE_NUM);
  Type(average, "77");
  QTest::keyClick(average, Qt::Key_Return);
  ASSERT_TRUE(program->RunUntil([&] { return Changes.Count == base + 1; }));
  ui::qt::SyncNow();
  EXPECT_TRUE(average->font().italic());
  EXPECT_EQ(average->accessibleName(), "AVERAGE");  // the mark leaves the name alone
  EXPECT_FALSE(Field(para, PARA_INTLIM_NUM)->font().italic());
  auto* table = qobject_cast<QTableView*>(ui::qt::ControlWidget(Panels.Page[PAGE_TEACH], TEACH_TABLE));
  SetTableCellVal(Panels.Page[PAGE_TEACH], TEACH_TABLE, {3, 2}, 4000.0);
  UpdateChangeMarks();
  ui::qt::SyncNow();
  EXPECT_TRUE(table->model()->index(2, 1).data(Qt::FontRole).value<QFont>().italic());
  EXPECT_FALSE(table->model()->index(2, 2).data(Qt::FontRole).value<QFont>().italic());

  // The window's close button: Return and Escape keep the program, Yes quits.
  QWidget* window = ui::qt::PanelWidgetOf(Panels.Mainp);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    std::string asked;
    QTimer::singleShot(0, [&] {
      auto* timer = new QTimer;
      QObject::connect(timer, &QTimer::timeout, [&asked, timer, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->deleteLater();
        timer->stop();
        asked = box->text().toStdString();
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, key);
      });
      timer->start(10);
    });
    window->close();
    ASSERT_TRUE(program->RunUntil([&] { return !asked.empty() && QApplication::activeModalWidget() == nullptr; }));
    program->Settle();
    EXPECT_EQ(asked, std::to_string(base + 2) + " CHANGES SINCE GET WILL BE LOST! \nQUIT ANYWAY?");
    EXPECT_FALSE(QuitRequested());
  }
  QTimer yes;
  QObject::connect(&yes, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Yes)->click();
  });
  yes.start(10);
  window->close();
  EXPECT_TRUE(program->RunUntil([] { return QuitRequested(); }));
}

// The labels of the controls the focus visits, from `first` on, `count` presses of Tab.
std::vector<std::string> TabWalk(QWidget* first, int count, bool backwards = false) {
  first->setFocus(Qt::TabFocusReason);
  std::vector<std::string> seen;
  for (int i = 0; i < count; ++i) {
    QWidget* f = QApplication::focusWidget();
    const ui::qt::CtrlView* v = f ? ui::qt::TheView().CtrlOf(f) : nullptr;
    const ui::Control* c = v ? ui::FindControl(v->panel, v->id) : nullptr;
    seen.push_back(c ? c->label : std::string("?"));
    QTest::keyClick(f, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
  }
  return seen;
}

TEST_F(OperatorInput, TabGoesDownTheLeftColumnOfTheParameterPageFirstAndSkipsHiddenAndDimmed) {
  QWidget* power = ui::qt::ControlWidget(para, PARA_SLIDE_POWER)->findChild<QSlider*>();
  ASSERT_NE(power, nullptr);
  // POWER MODE STAT dims DYNWIN LO and HI; ANALOG OUTMODE 1 hides ANALOG ZOOM.
  const std::vector<std::string> expected = {"POWER", "POWER MODE", "LED MODE", "GAIN", "AVERAGE", "INTEGRAL",
                                             "INTLIM", "EVALUATION MODE", "CALCULATION MODE", "MAX VEC NO",
                                             "DIGITAL OUTMODE", "TRIGGER", "EXTERN TEACH", "ANALOG OUTMODE",
                                             "ANALOG OUT"};
  std::vector<std::string> seen = TabWalk(power, static_cast<int>(expected.size()));
  EXPECT_EQ(seen, expected);
  // Shift+Tab walks back the same way.
  QWidget* last = ui::qt::ControlWidget(para, PARA_ANA_OUT_RING);
  std::vector<std::string> back = TabWalk(last, static_cast<int>(expected.size()), true);
  EXPECT_EQ(back, std::vector<std::string>(expected.rbegin(), expected.rend()));

  // POWER MODE DYN: DYNWIN LO and HI come after INTEGRAL, and POWER (dimmed) is left out.
  SetCtrlVal(para, PARA_POWER_MODE_RING, 1);
  ApplyModeRules();
  ui::qt::SyncNow();
  seen = TabWalk(ui::qt::ControlWidget(para, PARA_POWER_MODE_RING), 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"POWER MODE", "LED MODE", "GAIN", "AVERAGE", "INTEGRAL", "DYNWIN LO",
                                            "DYNWIN HI"}));
}

TEST_F(OperatorInput, TabOnEveryPageVisitsEachUsableControlOnceAndNeverAHiddenOrDimmedOne) {
  QWidget* window = ui::qt::PanelWidgetOf(Panels.Mainp);
  for (int page = 0; page < 8; ++page) {
    SCOPED_TRACE(page);
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, page);
    ui::qt::SyncNow();
    std::vector<QWidget*> order = ui::qt::ReadingOrder(Panels.Mainp);
    std::vector<QWidget*> usable;
    for (QWidget* w : order) {
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) usable.push_back(w);
    }
    ASSERT_GT(usable.size(), 5u);
    std::vector<const ui::qt::CtrlView*> expected;
    for (QWidget* w : usable) expected.push_back(ui::qt::TheView().CtrlOf(w));
    usable.front()->setFocus(Qt::TabFocusReason);
    std::vector<const ui::qt::CtrlView*> visited;
    for (std::size_t i = 0; i <= usable.size(); ++i) {
      QWidget* f = QApplication::focusWidget();
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->window(), window);
      EXPECT_TRUE(f->isVisible() && f->isEnabled());
      const ui::qt::CtrlView* v = ui::qt::TheView().CtrlOf(f);
      ASSERT_NE(v, nullptr) << "the focus is on no control";
      EXPECT_TRUE(ui::CtrlOperable(v->panel, v->id)) << ui::FindControl(v->panel, v->id)->label;
      visited.push_back(v);
      QTest::keyClick(f, Qt::Key_Tab);
    }
    expected.push_back(expected.front());  // round the window and back to the first
    EXPECT_EQ(visited, expected);
  }
}

}  // namespace
