// GO mode against the simulator, and the display of single measured frames.
#include "measurement/go_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "measurement/measured_values.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "parameters/parameter_set.h"
#include "parameters/transfer.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/runtime_internal.h"
#include "ui/ui.h"

namespace {

int Value(int panel, int control) {
  int v = 0;
  GetCtrlVal(panel, control, &v);
  return v;
}

class Go : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Options options;
    options.sim.target.noise = 0;
    options.realWait = 2.0;  // answers held back on purpose (below) must not look like time-outs
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    Sim().ClearLog();
  }
  void TearDown() override {
    if (stopper_.joinable()) stopper_.join();
  }
  sim::SensorSim& Sim() { return program_->Sim(); }
  std::vector<int> Orders() {
    std::vector<int> out;
    for (const auto& o : Sim().Orders()) out.push_back(o.order);
    return out;
  }
  // Waits (bounded) until the sensor has received `count` orders with number `order`.
  void WaitForOrder(int order, int count) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      int n = 0;
      for (const auto& o : Sim().Orders()) n += o.order == order;
      if (n >= count) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  // Presses STOP from outside, as the operator would, once `count` orders have reached the sensor.
  void StopAfter(std::size_t count) {
    stopper_ = std::thread([this, count] {
      Sim().WaitForOrders(count, std::chrono::seconds(10));
      ui::op::Press(Panels.Mainp, MAINP_STOP);
    });
  }
  // Presses GO; returns when the loop has ended.
  void RunGo() {
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GO));
    ProcessSystemEvents();
  }
  std::unique_ptr<harness::Program> program_;
  std::thread stopper_;
};

TEST_F(Go, FramesStreamAndEveryDisplayFollows) {
  Sim().SetTargetColour(sim::Rgb{3200, 1600, 800});
  StopAfter(30);
  RunGo();
  EXPECT_EQ(State.GoRunning, 0);
  auto orders = Orders();
  ASSERT_GE(orders.size(), 30u);
  for (int o : orders) EXPECT_EQ(o, 8);
  const MeasuredValuesRecord& m = MeasuredValues;
  EXPECT_EQ(m.Red, 3200);
  EXPECT_EQ(m.Green, 1600);
  EXPECT_EQ(m.Blue, 800);
  EXPECT_EQ(Value(Panels.Datap, DATAP_RED), 3200);
  EXPECT_EQ(Value(Panels.Datap, DATAP_X), m.X);
  EXPECT_EQ(Value(Panels.Datap, DATAP_INT), m.Int);
  EXPECT_EQ(Value(Panels.Datap, DATAP_COL), m.ColorNo);
  for (int page = 0; page < 3; ++page) EXPECT_EQ(Value(Panels.DataPage[page], DPAGE_BLUE), 800) << page;
  EXPECT_EQ(Value(Panels.DataPage[0], DPAGE_MINMAX0 + 5), m.MinMaxRGB[5]);
  EXPECT_EQ(Value(Panels.DataPage[1], DPAGE_SIMREF0 + 2), m.SimRef[2]);
  EXPECT_EQ(Value(Panels.Page[PAGE_TABLE_ATTR], ATTR_TEMP), m.Temp);
  EXPECT_EQ(Value(Panels.Colbigp, COLBIGP_NUMBER), m.ColorNo);
  EXPECT_EQ(Value(Panels.Grpbigp, GRPBIGP_NUMBER), m.GroupNo);
  EXPECT_EQ(Value(Panels.Teachp1, TP1_GREEN), 1600);
  EXPECT_EQ(CurrentColor, (200 << 16) | (100 << 8) | 50);
  EXPECT_EQ(ui::FindControl(Panels.Datap, DATAP_COLORBOX)->frameColor, CurrentColor);
  EXPECT_EQ(XHistory[HISTORY_SAMPLES - 1], m.X);
  EXPECT_EQ(RgbHistory[3 * HISTORY_SAMPLES - 2], 1600);
  // After the loop the controls are usable again.
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_GO));
  EXPECT_FALSE(program_->Dimmed(Panels.Page[PAGE_CONNECTION], COM_TRY_CONNECT));
}

TEST_F(Go, DuringGoTheTransferControlsStayUsableAndGoIsDimmed) {
  // The third answer is held back until the test has looked: once the third order has
  // reached the sensor, the loop is certain to be waiting for its answer. The look runs
  // on the user-interface thread, at the loop's next dispatch.
  Sim().HoldAnswersAfter(2);
  std::atomic<bool> looked{false};
  stopper_ = std::thread([&] {
    if (!Sim().WaitForOrders(3, std::chrono::seconds(10))) return;
    ui::PostWork(
        [&] {
          looked = true;
          const int m = Panels.Mainp;
          for (int id : {MAINP_SEND, MAINP_GET, MAINP_RAM, MAINP_EEPROM, MAINP_FILE, MAINP_STOP}) {
            EXPECT_FALSE(program_->Dimmed(m, id)) << id;
          }
          EXPECT_TRUE(program_->Dimmed(m, MAINP_GO));
          EXPECT_FALSE(ui::op::Press(m, MAINP_GO));  // a second loop cannot start
          EXPECT_TRUE(ui::op::Key(Panels.Datap, VAL_F12_VKEY));  // F12 is STOP wherever the focus is
          Sim().ReleaseAnswers();
        },
        false);
  });
  RunGo();
  Sim().ReleaseAnswers();
  EXPECT_TRUE(looked);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(Orders().size(), 3u);  // the loop ends after the exchange in progress
}

TEST_F(Go, SendPressedTwiceInOneTurnSendsOnce) {
  // Both presses land while the second measurement waits; the next turn serves one send.
  Sim().AddFault(sim::FaultRule{8, sim::FaultKind::LateAnswer, 2, 500});
  stopper_ = std::thread([this] {
    Sim().WaitForOrders(2, std::chrono::seconds(10));
    ui::op::Press(Panels.Mainp, MAINP_SEND);
    ui::op::Press(Panels.Mainp, MAINP_SEND);
    WaitForOrder(1, 2);
    const std::size_t after = Sim().OrderCount();
    Sim().WaitForOrders(after + 3, std::chrono::seconds(10));  // a second send would have shown by now
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  RunGo();
  auto orders = Orders();
  // One send between two measurements, never interleaved with them.
  auto first = std::find(orders.begin(), orders.end(), 1);
  ASSERT_NE(first, orders.end());
  ASSERT_NE(first, orders.begin());
  ASSERT_GE(orders.end() - first, 3);
  EXPECT_EQ(*(first - 1), 8);
  EXPECT_EQ(*(first + 1), 1);
  EXPECT_EQ(*(first + 2), 8);
  int sends = 0;
  for (int o : orders) sends += o == 1;
  EXPECT_EQ(sends, 2);  // one send: two blocks
  EXPECT_EQ(State.SendRequested, 0);
}

TEST_F(Go, StopDuringARequestedSendLetsTheSendFinishAndEndsTheLoop) {
  Sim().AddFault(sim::FaultRule{8, sim::FaultKind::LateAnswer, 2, 500});
  Sim().AddFault(sim::FaultRule{1, sim::FaultKind::LateAnswer, 1, 500});
  stopper_ = std::thread([this] {
    Sim().WaitForOrders(2, std::chrono::seconds(10));
    ui::op::Press(Panels.Mainp, MAINP_SEND);
    Sim().WaitForOrders(3, std::chrono::seconds(10));  // the first block is on its way
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  RunGo();
  EXPECT_EQ(Orders(), (std::vector<int>{8, 8, 1, 1}));
  EXPECT_EQ(State.GoRunning, 0);
}

TEST_F(Go, ACommunicationErrorEndsGoAndUndimsTheControls) {
  Sim().AddFault(sim::FaultRule{8, sim::FaultKind::BadDataCrc, 5, -1});
  RunGo();
  EXPECT_EQ(Orders().size(), 5u);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_GO));
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_SEND));
  EXPECT_EQ(program_->ActiveMainPage(), PAGE_CONNECTION);
}

TEST_F(Go, AFrameShorterThanTheRecordIsRefusedAndEndsGo) {
  Sim().AddFault(sim::FaultRule{8, sim::FaultKind::ShortBlock, 3, 20});  // 10 of the 23 words
  RunGo();
  EXPECT_EQ(Orders().size(), 3u);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_NE(program_->MessageBox().find("ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!"), std::string::npos);
}

// A status answer has been reported by the frame layer; the answer it stands in for is
// missing, yet no second, wrong cause may be added to the message box.
TEST_F(Go, AStatusAnswerInPlaceOfAFrameOrABlockIsReportedOnce) {
  Sim().AddFault(sim::FaultRule{8, sim::FaultKind::Status1, 3, -1});
  std::string before = program_->MessageBox();
  RunGo();
  EXPECT_EQ(Orders().size(), 3u);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(program_->MessageBox().substr(before.size()), "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!\n\n");
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_GO));

  Sim().ClearFaults();
  Sim().AddFault(sim::FaultRule{2, sim::FaultKind::Status2, 1, -1});
  const std::uint16_t power = ParameterSet.ParameterBlock[PARA_POWER];
  before = program_->MessageBox();
  GetParameters();
  EXPECT_EQ(program_->MessageBox().substr(before.size()),
            "COMMUNICATION ERROR ON CONTROL UNIT!\nYOU MAY HAVE TO REDUCE THE BAUDRATE!\n\n");
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], power);  // nothing taken from the missing block
}

TEST_F(Go, GetRequestedDuringGoIsServedBetweenFrames) {
  sim::ParaSet set = Sim().RamSet(0);
  set.para[PARA_POWER] = 321;
  Sim().SetRamSet(0, set);
  stopper_ = std::thread([this] {
    Sim().WaitForOrders(2, std::chrono::seconds(10));
    ui::op::Press(Panels.Mainp, MAINP_GET);
    WaitForOrder(2, 2);
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  RunGo();
  auto orders = Orders();
  int gets = 0;
  for (int o : orders) gets += o == 2;
  EXPECT_EQ(gets, 2) << ::testing::PrintToString(orders);
  EXPECT_EQ(Value(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER), 321);
}

// [SECTION] Single frames

class Display : public Go {};

TEST_F(Display, OutLampsFollowColorNoAboveEvaluationModeTwo) {
  ParameterSet.ParameterBlock[PARA_EVALUATION_MODE] = 4;
  struct Case {
    int colorNo, out0, out1;
  };
  for (Case c : {Case{255, 1, 1}, Case{2, 0, 1}, Case{1, 1, 0}, Case{0, 0, 0}, Case{3, 1, 1}}) {
    MeasuredValues.ColorNo = static_cast<std::uint16_t>(c.colorNo);
    ShowMeasuredValues();
    EXPECT_EQ(Value(Panels.Datap, DATAP_OUT0), c.out0) << c.colorNo;
    EXPECT_EQ(Value(Panels.Datap, DATAP_OUT1), c.out1) << c.colorNo;
  }
  // Up to MIN DIST the lamps are left alone.
  ParameterSet.ParameterBlock[PARA_EVALUATION_MODE] = 2;
  MeasuredValues.ColorNo = 0;
  ShowMeasuredValues();
  EXPECT_EQ(Value(Panels.Datap, DATAP_OUT0), 1);
}

TEST_F(Display, DeltaCIsSignedAndTheColourPatchIsRgbOverSixteen) {
  MeasuredValues.DeltaC = static_cast<std::int16_t>(0xFFFF);
  MeasuredValues.Red = 4095;
  MeasuredValues.Green = 0;
  MeasuredValues.Blue = 16;
  ShowMeasuredValues();
  EXPECT_EQ(Value(Panels.Datap, DATAP_DELTAC), -1);
  EXPECT_EQ(CurrentColor, 0xFF0001);
}

TEST_F(Display, HistoriesFillFromTheEnd) {
  std::fill(std::begin(XHistory), std::end(XHistory), 0.0);
  for (int i = 1; i <= 99; ++i) {
    MeasuredValues.X = static_cast<std::uint16_t>(i);
    AppendHistory();
  }
  EXPECT_EQ(XHistory[0], 0.0);
  EXPECT_EQ(XHistory[99], 99.0);
  MeasuredValues.X = 100;
  AppendHistory();
  EXPECT_EQ(XHistory[0], 1.0);
  EXPECT_EQ(XHistory[99], 100.0);
}

TEST_F(Display, BigDisplaysOpenOnADoubleClickAndShowTheIdentification) {
  // C-No and group are shown while colours are evaluated in groups.
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_DIG_OUTMODE_RING, 2);
  SetCtrlVal(Panels.Page[PAGE_GROUP_HOLD], GROUP_COLOR_GROUP, 1);
  ApplyModeRules();
  EXPECT_TRUE(ui::op::DoubleClick(Panels.Datap, DATAP_COL));
  ProcessSystemEvents();
  EXPECT_TRUE(ui::PanelOperable(Panels.Colbigp));
  ui::op::RightClick(Panels.Colbigp, COLBIGP_NUMBER);
  ProcessSystemEvents();
  EXPECT_FALSE(ui::PanelOperable(Panels.Colbigp));
  ui::op::DoubleClick(Panels.Datap, DATAP_GROUP);
  ProcessSystemEvents();
  EXPECT_TRUE(ui::PanelOperable(Panels.Grpbigp));
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);
  ProcessSystemEvents();
  ASSERT_TRUE(ui::op::SetText(Panels.Page[PAGE_CONNECTION], COM_EDIT_ID, "Press 3"));
  ProcessSystemEvents();
  std::string col, grp;
  GetCtrlVal(Panels.Colbigp, COLBIGP_ID, &col);
  GetCtrlVal(Panels.Grpbigp, GRPBIGP_ID, &grp);
  EXPECT_EQ(col, "Press 3");
  EXPECT_EQ(grp, "Press 3");
  EXPECT_EQ(State.PanelId, "Press 3");
}

}  // namespace
