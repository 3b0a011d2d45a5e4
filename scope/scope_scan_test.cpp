// Captures and cycle time against the simulator, over TCP/IP and over a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>
#include <memory>
#include <thread>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "scope/scope.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/runtime_internal.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

class ScopeScan : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    options.realWait = 2.0;
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    Scope = ScopeState{};
    page_ = Panels.Page[PAGE_SCOPE];
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_SCOPE));
    ProcessSystemEvents();
    Sim().ClearLog();
  }
  void TearDown() override {
    if (helper_.joinable()) helper_.join();
  }
  sim::SensorSim& Sim() { return program_->Sim(); }
  sim::ScopeState SimScope() {
    return Sim().WithState([](sim::SensorState& s) { return s.scope; });
  }
  void Settings(int mode, int pre, int level, int rate, int signal) {
    SetCtrlVal(page_, SCOPE_TRIGGER_MODE, mode);
    SetCtrlVal(page_, SCOPE_PRE_TRIGGER, pre);
    SetCtrlVal(page_, SCOPE_TRIGGER_LEVEL, level);
    SetCtrlVal(page_, SCOPE_SCAN_RATE, rate);
    SetCtrlVal(page_, SCOPE_REC_SIGNAL, signal);
  }
  void Scan() {
    ASSERT_TRUE(ui::op::Press(page_, SCOPE_SCAN));
    ProcessSystemEvents();
  }
  // Runs on the user-interface thread at every dispatch until BREAK is undimmed.
  void PressBreakWhenArmed() {
    ui::PostWork(
        [this] {
          if (program_->Dimmed(page_, SCOPE_BREAK) || Scope.Running == 0) return PressBreakWhenArmed();
          armedSeen_ = true;
          ui::op::Press(page_, SCOPE_BREAK);
        },
        false);
  }
  static std::size_t Plots(int id) { return ui::FindControl(Panels.Scopep, id)->graph->plots.size(); }
  std::unique_ptr<harness::Program> program_;
  std::thread helper_;
  int page_ = 0;
  bool armedSeen_ = false;
};

TEST_P(ScopeScan, SingleShotShowsTheBufferInItsOwnOrder) {
  Sim().WithState([](sim::SensorState& s) { s.scope.startIndex = 17; });
  Settings(0, 20, 2000, 2, 0);
  Scan();
  const sim::ScopeState sim = SimScope();
  ASSERT_EQ(sim.captures, 1);
  // The five settings went out in their order.
  EXPECT_EQ(sim.settings, (std::array<std::uint16_t, 5>{0, 20, 2000, 2, 0}));
  for (int b = 0; b < 4; ++b) {
    for (int i = 0; i < 128; ++i) ASSERT_EQ(Scope.Traces[b][i], sim.lastBlocks[b][i]) << b << " " << i;
  }
  EXPECT_EQ(Plots(SCOPEP_GRAPH), 3u);
  EXPECT_EQ(Plots(SCOPEP_BINARY_GRAPH), 2u);
  const auto& plots = ui::FindControl(Panels.Scopep, SCOPEP_BINARY_GRAPH)->graph->plots;
  for (int i = 0; i < 128; ++i) {
    ASSERT_EQ(plots[0].y[i], (sim.lastBlocks[3][i] & 1) + 2);
    ASSERT_EQ(plots[1].y[i], (sim.lastBlocks[3][i] & 2) / 2);
  }
  EXPECT_TRUE(ui::PanelOperable(Panels.Scopep));
  EXPECT_FALSE(program_->Dimmed(page_, SCOPE_SCAN));
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_SEND));
}

TEST_P(ScopeScan, RisingEdgeShowsThePreTriggerSamplesFirst) {
  Sim().WithState([](sim::SensorState& s) { s.scope.startIndex = 5; });
  Settings(1, 20, 1500, 1, 0);
  Scan();
  const sim::ScopeState sim = SimScope();
  ASSERT_EQ(sim.captures, 1);
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(Scope.Traces[b][0], sim.lastBlocks[b][113]);
    EXPECT_EQ(Scope.Traces[b][20], sim.lastBlocks[b][5]);
    EXPECT_EQ(Scope.Traces[b][127], sim.lastBlocks[b][112]);
  }
  // The blue line crosses the level at the trigger sample.
  EXPECT_LT(Scope.Traces[2][19], 1500);
  EXPECT_GT(Scope.Traces[2][20], 1500);
}

TEST_P(ScopeScan, ABadBlockIsSkippedOnTheSerialLineAndEndsTheCaptureOverTcp) {
  for (int i = 0; i < 128; ++i) Scope.Traces[1][i] = 7777;  // the previous capture's green line
  Sim().WithState([](sim::SensorState& s) { s.scope.badBlock = 1; });
  Settings(0, 0, 0, 1, 0);
  Scan();
  const sim::ScopeState sim = SimScope();
  ASSERT_EQ(sim.captures, 1);
  EXPECT_NE(program_->MessageBox().find("ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!"), std::string::npos);
  if (GetParam()) {
    EXPECT_EQ(Scope.BlocksTaken, 3);
    EXPECT_EQ(Plots(SCOPEP_GRAPH), 3u);
    EXPECT_EQ(Scope.Traces[1][9], 7777);
    EXPECT_EQ(Scope.Traces[2][9], sim.lastBlocks[2][9]);
    EXPECT_EQ(Scope.Traces[3][100], sim.lastBlocks[3][100]);
  } else {
    EXPECT_EQ(Scope.BlocksTaken, 1);
    EXPECT_EQ(Plots(SCOPEP_GRAPH), 0u);
    EXPECT_EQ(Scope.Drawn, 0);
  }
  EXPECT_EQ(State.SensorConnected, 0);
}

TEST_P(ScopeScan, TheFileAndTheRedrawHoldTheCaptureAsPlottedAfterABadBlock) {
  Settings(0, 0, 0, 1, 0);
  Scan();
  ASSERT_EQ(Scope.Drawn, 1);
  const std::string first = program_->Dir() + "/first.csv", second = program_->Dir() + "/second.csv";
  ASSERT_EQ(WriteScopeCsv(first), 1);
  std::vector<double> green(ui::FindControl(Panels.Scopep, SCOPEP_GRAPH)->graph->plots[1].y);
  // The next capture goes wrong at its second block.
  Sim().WithState([](sim::SensorState& s) { s.scope.badBlock = 1; });
  Scan();
  ASSERT_EQ(SimScope().captures, 2);
  ASSERT_EQ(WriteScopeCsv(second), 1);
  const ui::GraphData& graph = *ui::FindControl(Panels.Scopep, SCOPEP_GRAPH)->graph;
  if (GetParam()) {
    // The serial line skips the bad block and plots the rest: the file holds what is plotted.
    ASSERT_EQ(graph.plots.size(), 3u);
    std::istringstream lines(FileBytes(second));
    std::string line;
    std::getline(lines, line);  // the column titles
    for (int i = 0; i < SCOPE_SAMPLES; ++i) {
      ASSERT_TRUE(std::getline(lines, line));
      std::vector<std::string> cells;
      std::stringstream fields(line);
      for (std::string cell; std::getline(fields, cell, ',');) cells.push_back(cell);
      ASSERT_EQ(cells.size(), 7u);
      for (int b = 0; b < 3; ++b) ASSERT_EQ(std::stod(cells[2 + b]), graph.plots[b].y[i]) << i;
    }
  } else {
    // Over TCP/IP the capture ends unplotted: the file and a redraw keep the previous capture.
    EXPECT_EQ(FileBytes(second), FileBytes(first));
    ASSERT_TRUE(ui::op::PickIndex(Panels.Scopep, SCOPEP_SIGNAL, 2));
    ProcessSystemEvents();
    ASSERT_EQ(graph.plots.size(), 1u);
    EXPECT_EQ(graph.plots[0].y, green);
  }
}

TEST_P(ScopeScan, ABlockWithoutItsStartIndexIsSkippedOnTheSerialLine) {
  // Over TCP/IP a short block leaves the stream short of its four places: the capture
  // waits for BREAK as for any block that does not come.
  if (!GetParam()) GTEST_SKIP() << "serial line only";
  for (int i = 0; i < 128; ++i) Scope.Traces[2][i] = 7777;  // the previous capture's blue line
  Sim().WithState([](sim::SensorState& s) {
    s.scope.shortBlock = 2;
    s.scope.startIndex = 5;
  });
  Settings(1, 20, 1500, 1, 0);
  Scan();
  const sim::ScopeState sim = SimScope();
  ASSERT_EQ(sim.captures, 1);
  EXPECT_NE(program_->MessageBox().find("ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!"), std::string::npos);
  EXPECT_EQ(Scope.BlocksTaken, 3);
  EXPECT_EQ(Scope.Traces[2][20], 7777);
  EXPECT_EQ(Scope.Traces[3][20], sim.lastBlocks[3][5]);
}

TEST_P(ScopeScan, BreakWhileArmedDrawsNothing) {
  Sim().SetTriggerInput(false);
  Settings(4, 10, 0, 1, 1);  // EXTERNAL IN0 stays armed while IN0 is low
  // The operator presses BREAK as soon as it can be pressed, that is once the capture is armed.
  armedSeen_ = false;
  PressBreakWhenArmed();
  Scan();
  EXPECT_TRUE(armedSeen_);
  const auto orders = Sim().Orders();
  ASSERT_EQ(orders.size(), 2u);
  EXPECT_EQ(orders[0].order, 110);
  EXPECT_EQ(orders[0].param, 1);
  EXPECT_EQ(orders[0].data.size(), 10u);
  EXPECT_EQ(orders[1].order, 110);
  EXPECT_EQ(orders[1].param, 0);
  EXPECT_EQ(orders[1].data.size(), 0u);
  EXPECT_EQ(SimScope().captures, 0);
  EXPECT_EQ(Scope.Running, 0);
  EXPECT_EQ(Scope.Drawn, 0);
  EXPECT_EQ(Plots(SCOPEP_GRAPH), 0u);
  EXPECT_EQ(State.SensorConnected, 1);
  for (int id : {SCOPE_SCAN, SCOPE_BREAK, SCOPE_GET_CYCLE_TIME}) EXPECT_FALSE(program_->Dimmed(page_, id));
}

TEST_P(ScopeScan, CycleTimeFromTheCountsAndZeroOnFailure) {
  Sim().WithState([](sim::SensorState& s) { s.scope.scanFrequency = 15.0; });
  ASSERT_TRUE(ui::op::Press(page_, SCOPE_GET_CYCLE_TIME));
  ProcessSystemEvents();
  double f = 0, t = 0;
  int fd = -1, td = -1;
  GetCtrlVal(page_, SCOPE_SCAN_FREQ, &f);
  GetCtrlVal(page_, SCOPE_CYCLE_TIME, &t);
  GetCtrlAttribute(page_, SCOPE_SCAN_FREQ, ATTR_PRECISION, &fd);
  GetCtrlAttribute(page_, SCOPE_CYCLE_TIME, ATTR_PRECISION, &td);
  EXPECT_DOUBLE_EQ(f, 15.0);
  EXPECT_NEAR(t, 66.667, 0.001);
  EXPECT_EQ(fd, 1);
  EXPECT_EQ(td, 3);
  EXPECT_NEAR(Scope.CycleTimeMs, 66.667, 0.001);

  Sim().AddFault(sim::FaultRule{105, sim::FaultKind::Status1, 0, -1});
  ASSERT_TRUE(ui::op::Press(page_, SCOPE_GET_CYCLE_TIME));
  ProcessSystemEvents();
  GetCtrlVal(page_, SCOPE_SCAN_FREQ, &f);
  GetCtrlVal(page_, SCOPE_CYCLE_TIME, &t);
  GetCtrlAttribute(page_, SCOPE_SCAN_FREQ, ATTR_PRECISION, &fd);
  EXPECT_EQ(f, 0.0);
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(fd, 2);
  EXPECT_EQ(Scope.CycleTimeMs, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Transports, ScopeScan, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

}  // namespace
