// Against the simulator over a real socket: TEACHP1 runs GO while it is open and
// captures the sensor's frames; TEACHP2 records with order 8 until closed, until
// its store is full, and counts from 0 again after a reset.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/frame_format.h"
#include "measurement/measured_values.h"
#include "teach/mean_teach.h"
#include "teach/recorded_teach.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

class TeachPanelsAgainstSensor : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Options options;
    options.sim.target.noise = 0;
    program_ = std::make_unique<harness::Program>(options);
    sim::ParaSet set = program_->Sim().RamSet(0);
    set.para[sim::DIGITAL_OUTMODE] = 2;  // colours are evaluated: the teach page is shown
    program_->Sim().SetRamSet(0, set);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
    RecordedPointCount = 0;
    program_->Sim().SetTargetColour(sim::Rgb{2500, 1800, 900});
  }
  // Presses `control` of `panel` from another thread once `orders` more orders arrived.
  std::thread PressAfter(std::size_t orders, int panel, int control) {
    const std::size_t start = program_->Sim().OrderCount();
    return std::thread([=, this] {
      program_->Sim().WaitForOrders(start + orders, std::chrono::seconds(20));
      ui::op::Press(panel, control);
    });
  }
  int Value(int panel, int control) {
    int v = -1;
    GetCtrlVal(panel, control, &v);
    return v;
  }
  bool OnlyMeasuredValueOrders() {
    for (const sim::OrderRecord& r : program_->Sim().Orders()) {
      if (r.order != frame::ORDER_MEASURED_VALUES) return false;
    }
    return true;
  }
  std::unique_ptr<harness::Program> program_;
};

TEST_F(TeachPanelsAgainstSensor, MeanPanelRunsGoWhileOpenAndCapturesTheSensorsFrames) {
  const int p1 = Panels.Teachp1;
  ui::headless::AnswerConfirm(1);
  ResetCapture();
  program_->Sim().ClearLog();
  // Capture twice while GO runs, then close: the loop ends and DATAP comes back.
  std::thread operatorThread([&] {
    program_->Sim().WaitForOrders(3, std::chrono::seconds(20));
    ui::op::Press(p1, TP1_CAPTURE);
    program_->Sim().WaitForOrders(6, std::chrono::seconds(20));
    ui::op::Press(p1, TP1_CAPTURE);
    program_->Sim().WaitForOrders(9, std::chrono::seconds(20));
    ui::op::Press(p1, TP1_CLOSE);
  });
  // While the panel runs its own loop, SEND and GO are dimmed like any other exchange
  // (looked at while the second frame is waited for).
  program_->Sim().AddFault(sim::FaultRule{frame::ORDER_MEASURED_VALUES, sim::FaultKind::LateAnswer, 2, 50});
  bool sendDimmed = false, goDimmed = false;
  ui::headless::SetWaitHook([&](double) {
    if (State.GoRunning == 0) return;
    sendDimmed = program_->Dimmed(Panels.Mainp, MAINP_SEND);
    goDimmed = program_->Dimmed(Panels.Mainp, MAINP_GO);
  });
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_TEACH], TEACH_OPEN_TEACHP1));
  ProcessSystemEvents();
  operatorThread.join();
  ui::headless::SetWaitHook(nullptr);
  EXPECT_TRUE(sendDimmed);
  EXPECT_TRUE(goDimmed);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_TRUE(ui::FindPanel(Panels.Datap)->visible);
  EXPECT_FALSE(ui::FindPanel(p1)->visible);
  EXPECT_GE(program_->Sim().OrderCount(), 9u);
  EXPECT_TRUE(OnlyMeasuredValueOrders());
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_GO));
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_SEND));
  EXPECT_EQ(Value(p1, TP1_COUNTER), 2);
  int x = 0, red = 0;
  GetTableCellVal(p1, TP1_VALUES, {2, 4}, &x);
  GetTableCellVal(p1, TP1_VALUES, {2, 1}, &red);
  EXPECT_EQ(x, MeasuredValues.X);
  EXPECT_EQ(red, MeasuredValues.Red);
  EXPECT_EQ(Value(p1, TP1_RED), MeasuredValues.Red);  // the live displays follow GO
  int meanX = 0;
  GetTableCellVal(p1, TP1_MEAN, {1, 4}, &meanX);
  EXPECT_EQ(meanX, MeasuredValues.X);  // a steady target: both frames alike
  EXPECT_EQ(Value(p1, TP1_MAX_DELTA_XY), 0);
}

TEST_F(TeachPanelsAgainstSensor, RecordingPollsUntilClosedAndShowsNothingElse) {
  const int p2 = Panels.Teachp2;
  program_->Sim().ClearLog();
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_TEACH], TEACH_OPEN_TEACHP2));
  ProcessSystemEvents();
  EXPECT_EQ(program_->Sim().OrderCount(), 0u) << "opening does not poll";
  SetCtrlVal(Panels.Datap, DATAP_X, 4321);
  program_->Sim().ClearLog();
  std::thread closer = PressAfter(20, p2, TP2_CLOSE);
  ASSERT_TRUE(ui::op::Press(p2, TP2_START));
  ProcessSystemEvents();
  closer.join();
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_TRUE(ui::FindPanel(Panels.Datap)->visible);
  EXPECT_TRUE(OnlyMeasuredValueOrders());
  const int n = RecordedPointCount;
  EXPECT_GE(n, 20);
  EXPECT_EQ(static_cast<std::size_t>(n), program_->Sim().OrderCount());  // one point per answered order
  EXPECT_EQ(Value(p2, TP2_COUNTER), n);
  EXPECT_EQ(static_cast<int>(ui::FindControl(p2, TP2_GRAPH_YINT)->graph->plots.size()), n);
  EXPECT_EQ(RecordedPoints[n - 1].X, MeasuredValues.X);
  EXPECT_EQ(Value(p2, TP2_INT), MeasuredValues.Int);
  EXPECT_EQ(Value(Panels.Datap, DATAP_X), 4321);  // DATAP is not fed by recording
  EXPECT_FALSE(program_->Dimmed(p2, TP2_START));

  // Reset, then a new colour: recording starts again at entry 0.
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_TEACH], TEACH_OPEN_TEACHP2));
  ProcessSystemEvents();
  ui::headless::AnswerConfirm(1);
  ASSERT_TRUE(ui::op::Press(p2, TP2_RESET));
  ProcessSystemEvents();
  EXPECT_EQ(Value(p2, TP2_COUNTER), 0);
  program_->Sim().SetTargetColour(sim::Rgb{600, 2400, 3100});
  program_->Sim().ClearLog();
  std::thread closer2 = PressAfter(3, p2, TP2_CLOSE);
  ASSERT_TRUE(ui::op::Press(p2, TP2_START));
  ProcessSystemEvents();
  closer2.join();
  EXPECT_GE(RecordedPointCount, 3);
  EXPECT_EQ(static_cast<std::size_t>(RecordedPointCount), program_->Sim().OrderCount());  // counted from 0 again
  EXPECT_EQ(Value(p2, TP2_COUNTER), RecordedPointCount);
  EXPECT_EQ(RecordedPoints[0].X, MeasuredValues.X);  // the new colour is entry 0
  EXPECT_EQ(static_cast<int>(ui::FindControl(p2, TP2_GRAPH_XY)->graph->plots.size()), RecordedPointCount);
}

TEST_F(TeachPanelsAgainstSensor, TheSixtyThousandthPointEndsTheRecording) {
  const int p2 = Panels.Teachp2;
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_TEACH], TEACH_OPEN_TEACHP2));
  ProcessSystemEvents();
  RecordedPointCount = RECORDED_POINTS_MAX - 5;  // a store nearly full
  program_->Sim().ClearLog();
  ASSERT_TRUE(ui::op::Press(p2, TP2_START));
  ProcessSystemEvents();
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(program_->Sim().OrderCount(), 5u);
  EXPECT_EQ(RecordedPointCount, RECORDED_POINTS_MAX);
  EXPECT_EQ(Value(p2, TP2_COUNTER), 60000);
  EXPECT_EQ(RecordedPoints[RECORDED_POINTS_MAX - 1].Int, MeasuredValues.Int);
  EXPECT_FALSE(program_->Dimmed(p2, TP2_START));

  // Started again while full: nothing is asked and nothing stored.
  ASSERT_TRUE(ui::op::Press(p2, TP2_START));
  ProcessSystemEvents();
  EXPECT_EQ(program_->Sim().OrderCount(), 5u);
  EXPECT_EQ(RecordedPointCount, RECORDED_POINTS_MAX);
  EXPECT_EQ(State.GoRunning, 0);
}

}  // namespace
