// The record page against the simulator: modes, the recording time, the file dialog and lost lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/frame_format.h"
#include "recorder/recorder.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

// Record lines behind the header (every line after the column titles).
int RecordLines(const std::string& bytes) {
  const std::string header = RecordHeaderText(State.PanelId);
  if (bytes.compare(0, header.size(), header) != 0) return -1;
  return static_cast<int>(std::count(bytes.begin() + static_cast<std::ptrdiff_t>(header.size()), bytes.end(), '\n'));
}

bool SawPopup(const std::string& title, const std::string& text) {
  for (const auto& p : ui::headless::Popups()) {
    if (p.title == title && p.text == text) return true;
  }
  return false;
}

class Recording : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    options.realWait = 1.0;
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    Recorder = RecorderState{};
    page_ = Panels.Page[PAGE_RECORDER];
    path_ = program_->Dir() + "/RecordFile.dat";
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_RECORDER));
    ProcessSystemEvents();
    Sim().ClearLog();
  }
  void TearDown() override { ui::headless::SetWaitHook(nullptr); }
  sim::SensorSim& Sim() { return program_->Sim(); }
  void ChooseMode(int mode) {
    ASSERT_TRUE(ui::op::PickIndex(page_, REC_MODE, mode));
    ProcessSystemEvents();
  }
  void ChooseNewFile() {
    ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, path_);
    ASSERT_TRUE(ui::op::Press(page_, REC_SELECT_FILE));
    ProcessSystemEvents();
  }
  // Presses `button` with "yes" ready for the file-name question; returns once its run ended.
  void Run(int button) {
    ui::headless::AnswerConfirm(1);
    ASSERT_TRUE(ui::op::Press(page_, button));
    ProcessSystemEvents();
  }
  // Presses STOP from inside the running loop once `frames` frames were counted.
  void StopAfter(double frames) {
    ui::headless::SetWaitHook([this, frames](double) {
      if (Recorder.FrameCounter >= frames && !stopPressed_) stopPressed_ = ui::op::Press(page_, REC_STOP);
    });
  }
  std::vector<sim::OrderRecord> OrdersOf(int order) {
    std::vector<sim::OrderRecord> out;
    for (const auto& o : Sim().Orders()) {
      if (o.order == order) out.push_back(o);
    }
    return out;
  }
  double Num(int id) {
    double v = 0;
    GetCtrlVal(page_, id, &v);
    return v;
  }
  bool Visible(int id) {
    int v = 0;
    GetCtrlAttribute(page_, id, ATTR_VISIBLE, &v);
    return v == 1;
  }
  std::unique_ptr<harness::Program> program_;
  int page_ = 0;
  std::string path_;
  bool stopPressed_ = false;
};

// [SECTION] Recording time and page

TEST_P(Recording, RecordingTimeIsSplitIntoDaysHoursMinutesAndSeconds) {
  ASSERT_TRUE(ui::op::SetValue(page_, REC_INTERVAL, 0.25));
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 1000));
  ProcessSystemEvents();
  EXPECT_EQ(Num(REC_TIME_DAYS), 0);
  EXPECT_EQ(Num(REC_TIME_HOURS), 0);
  EXPECT_EQ(Num(REC_TIME_MINUTES), 4);
  EXPECT_DOUBLE_EQ(Num(REC_TIME_SECONDS), 10.0);
  EXPECT_EQ(Num(REC_REMAINING), 1000);
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 60000));
  ASSERT_TRUE(ui::op::SetValue(page_, REC_INTERVAL, 1.5));
  ProcessSystemEvents();
  EXPECT_EQ(Num(REC_TIME_DAYS), 1);
  EXPECT_EQ(Num(REC_TIME_HOURS), 1);
  EXPECT_EQ(Num(REC_TIME_MINUTES), 0);
  EXPECT_DOUBLE_EQ(Num(REC_TIME_SECONDS), 0.0);
  // VALUES takes at least one frame.
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 0));
  ProcessSystemEvents();
  EXPECT_EQ(Num(REC_VALUES), 1);
  EXPECT_EQ(Recorder.RecordCount, 1);
}

TEST_P(Recording, AnIntervalBelowAQuarterSecondBecomesAQuarterSecondWhereverItIsRead) {
  auto expectQuarter = [this](const char* where) {
    EXPECT_DOUBLE_EQ(Num(REC_INTERVAL), 0.25) << where;
    EXPECT_DOUBLE_EQ(Recorder.RecordInterval, 0.25) << where;
  };
  ASSERT_TRUE(ui::op::SetValue(page_, REC_INTERVAL, 0.0));
  ProcessSystemEvents();
  expectQuarter("interval edited");
  SetCtrlVal(page_, REC_INTERVAL, 0.1);
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 20));
  ProcessSystemEvents();
  expectQuarter("VALUES edited");
  ChooseMode(RECORD_CONTINUOUS);
  SetCtrlVal(page_, REC_INTERVAL, 0.1);
  ChooseMode(RECORD_COUNTED);
  expectQuarter("counted mode chosen");
  SetCtrlVal(page_, REC_INTERVAL, 0.1);
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER));
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_RECORDER));
  ProcessSystemEvents();
  expectQuarter("page shown in counted mode");
  // Continuous mode: only the start reads the interval again.
  ChooseMode(RECORD_CONTINUOUS);
  SetCtrlVal(page_, REC_INTERVAL, 0.0);
  ChooseNewFile();
  StopAfter(2);
  Run(REC_START);
  expectQuarter("continuous start");
  // Cycles were 0.25 s apart on the test clock, so the sensor was not polled faster.
  const auto polls = OrdersOf(frame::ORDER_MEASURED_VALUES);
  ASSERT_GE(polls.size(), 2u);
}

TEST_P(Recording, EachModeShowsExactlyItsControls) {
  const int ids[] = {REC_INTERVAL,  REC_VALUES,        REC_TIME_DAYS, REC_TIME_SECONDS, REC_RECORDED,  REC_REMAINING,
                     REC_FRAME_COUNTER, REC_START,     REC_STOP,      REC_MANUAL,       REC_START_TRIG};
  const bool shown[4][11] = {
      {true, true, true, true, true, true, false, true, true, false, false},
      {true, false, false, false, false, false, true, true, true, false, false},
      {false, false, false, false, true, false, false, false, false, true, false},
      {false, false, false, false, false, false, true, false, true, false, true},
  };
  for (int mode = 3; mode >= 0; --mode) {
    ChooseMode(mode);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(Visible(ids[i]), shown[mode][i]) << "mode " << mode << " control " << ids[i];
    for (int id : {REC_MODE, REC_SELECT_FILE, REC_FILE_PATH, REC_PANEL_ID}) EXPECT_TRUE(Visible(id));
  }
  // The ring set by the program (no event): the page arranges itself when it comes to the front.
  SetCtrlVal(page_, REC_MODE, 2);
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER));
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_RECORDER));
  ProcessSystemEvents();
  EXPECT_TRUE(Visible(REC_MANUAL));
  EXPECT_FALSE(Visible(REC_START));
}

TEST_P(Recording, OnlyChoosingManualModeResetsTheRecordedCount) {
  Recorder.RecordedCount = 7;
  ChooseMode(RECORD_CONTINUOUS);
  EXPECT_EQ(Recorder.RecordedCount, 7);
  ChooseMode(RECORD_TRIGGERED);
  EXPECT_EQ(Recorder.RecordedCount, 7);
  ChooseMode(RECORD_MANUAL);
  EXPECT_EQ(Recorder.RecordedCount, 0);
  EXPECT_EQ(Num(REC_RECORDED), 0);
}

// [SECTION] File dialog

TEST_P(Recording, AnExistingFileIsEmptiedOnlyWhenTheOperatorSaysYes) {
  std::ofstream(path_, std::ios::binary) << "old lines\r\n";
  SetCtrlVal(page_, REC_FILE_PATH, "earlier.dat");
  State.RecordFilePath = program_->Dir() + "/earlier.dat";
  ui::headless::AnswerFile(VAL_EXISTING_FILE_SELECTED, path_);
  ui::headless::AnswerConfirm(0);
  ASSERT_TRUE(ui::op::Press(page_, REC_SELECT_FILE));
  ProcessSystemEvents();
  EXPECT_EQ(FileBytes(path_), "old lines\r\n");
  std::string shown;
  GetCtrlVal(page_, REC_FILE_PATH, &shown);
  EXPECT_EQ(shown, "earlier.dat");
  EXPECT_TRUE(SawPopup("ATTENTION!", "File already exist! \nDo you want to select existing file?"));

  State.PanelId = "Line 4";
  ui::headless::AnswerFile(VAL_EXISTING_FILE_SELECTED, path_);
  ui::headless::AnswerConfirm(1);
  ASSERT_TRUE(ui::op::Press(page_, REC_SELECT_FILE));
  ProcessSystemEvents();
  EXPECT_EQ(FileBytes(path_), RecordHeaderText("Line 4"));
  GetCtrlVal(page_, REC_FILE_PATH, &shown);
  EXPECT_EQ(shown, path_);
  EXPECT_EQ(State.RecordFilePath, path_);
  EXPECT_TRUE(SawPopup("ATTENTION!",
                       " Make sure, that the file is not opened by any other program. \n Otherwise it can not be saved."));
}

TEST_P(Recording, ANewFileStartsWithItsHeaderAndACancelledDialogChangesNothing) {
  State.PanelId = "";
  ChooseNewFile();
  EXPECT_EQ(FileBytes(path_), RecordHeaderText(""));
  ASSERT_EQ(FileBytes(path_)[0], '\n');
  ui::headless::AnswerFile(VAL_NO_FILE_SELECTED, "");
  ASSERT_TRUE(ui::op::Press(page_, REC_SELECT_FILE));
  ProcessSystemEvents();
  EXPECT_TRUE(SawPopup("ATTENTION!", "No filename was selected! \nRecording will not be done! "));
  EXPECT_EQ(State.RecordFilePath, path_);
}

// [SECTION] Timed recordings

TEST_P(Recording, ACountedRecordingWritesItsFramesAndStopsByItself) {
  ChooseNewFile();
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 5));
  ASSERT_TRUE(ui::op::SetValue(page_, REC_INTERVAL, 0.25));
  ProcessSystemEvents();
  bool dimmingSeen = false;
  ui::headless::SetWaitHook([&](double) {
    if (State.GoRunning != 1 || dimmingSeen) return;
    dimmingSeen = program_->Dimmed(page_, REC_MODE) && program_->Dimmed(page_, REC_START_TRIG) &&
                  program_->Dimmed(page_, REC_SELECT_FILE) && program_->Dimmed(Panels.Mainp, MAINP_SEND) &&
                  !program_->Dimmed(page_, REC_STOP) && !program_->Dimmed(page_, REC_MANUAL);
    int mode = -1, colour = 0;
    GetCtrlAttribute(page_, REC_INTERVAL, ATTR_CTRL_MODE, &mode);
    GetCtrlAttribute(page_, REC_START, ATTR_CMD_BUTTON_COLOR, &colour);
    dimmingSeen = dimmingSeen && mode == VAL_INDICATOR && colour == 0xFF0000;
  });
  Run(REC_START);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(Recorder.RecordedCount, 5);
  EXPECT_EQ(Num(REC_REMAINING), 0);
  EXPECT_EQ(Num(REC_RECORDED), 5);
  EXPECT_EQ(RecordLines(FileBytes(path_)), 5);
  EXPECT_EQ(OrdersOf(frame::ORDER_MEASURED_VALUES).size(), 5u);
  EXPECT_TRUE(SawPopup("INFO!", "File has been saved!"));
  EXPECT_TRUE(dimmingSeen);
  EXPECT_FALSE(program_->Dimmed(page_, REC_START));
  EXPECT_FALSE(program_->Dimmed(page_, REC_MODE));
  int mode = -1;
  GetCtrlAttribute(page_, REC_INTERVAL, ATTR_CTRL_MODE, &mode);
  EXPECT_EQ(mode, VAL_NORMAL);
}

TEST_P(Recording, AShortFrameEndsTheRecordingWithoutALineOfItsOwn) {
  ChooseNewFile();
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 5));
  ProcessSystemEvents();
  Sim().AddFault(sim::FaultRule{8, sim::FaultKind::ShortBlock, 3, 20});
  Run(REC_START);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(OrdersOf(frame::ORDER_MEASURED_VALUES).size(), 3u);
  EXPECT_EQ(RecordLines(FileBytes(path_)), 2);
  EXPECT_NE(program_->MessageBox().find("ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!"), std::string::npos);
}

TEST_P(Recording, AnsweringNoToTheFileQuestionRecordsNothing) {
  ChooseNewFile();
  ui::headless::AnswerConfirm(0);
  ASSERT_TRUE(ui::op::Press(page_, REC_START));
  ProcessSystemEvents();
  EXPECT_TRUE(OrdersOf(frame::ORDER_MEASURED_VALUES).empty());
  EXPECT_EQ(RecordLines(FileBytes(path_)), 0);
  EXPECT_FALSE(program_->Dimmed(page_, REC_START));
}

TEST_P(Recording, AContinuousRecordingRunsUntilStop) {
  ChooseMode(RECORD_CONTINUOUS);
  ChooseNewFile();
  StopAfter(4);
  Run(REC_START);
  EXPECT_TRUE(stopPressed_);
  EXPECT_GE(Recorder.FrameCounter, 4.0);
  EXPECT_EQ(Num(REC_FRAME_COUNTER), Recorder.FrameCounter);
  EXPECT_EQ(RecordLines(FileBytes(path_)), static_cast<int>(Recorder.FrameCounter));
  EXPECT_EQ(OrdersOf(frame::ORDER_MEASURED_VALUES).size(), static_cast<std::size_t>(Recorder.FrameCounter));
  EXPECT_TRUE(SawPopup("INFO!", "File has been saved!"));
}

TEST_P(Recording, LinesThatCouldNotBeWrittenAreReportedInsteadOfSaved) {
  std::ofstream(program_->Dir() + "/plain") << "x";
  State.RecordFilePath = program_->Dir() + "/plain/RecordFile.dat";
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 3));
  ProcessSystemEvents();
  Run(REC_START);
  EXPECT_EQ(Recorder.RecordedCount, 3);
  EXPECT_FALSE(SawPopup("INFO!", "File has been saved!"));
  EXPECT_TRUE(SawPopup("ATTENTION!", "3 OF 3 DATA FRAMES COULD NOT BE SAVED! \nRECORD FILE: " + State.RecordFilePath));
}

TEST_P(Recording, AFailedPollEndsTheRecordingWithItsMessage) {
  ChooseMode(RECORD_CONTINUOUS);
  ChooseNewFile();
  Sim().AddFault(sim::FaultRule{frame::ORDER_MEASURED_VALUES, sim::FaultKind::BadDataCrc, 3, -1});
  Run(REC_START);
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_NE(program_->MessageBox().find("RECEIVED DATA FRAME IS INCORRECT!"), std::string::npos);
  // The cycle of the failure still counts, as the counters advance whatever the exchange gave.
  EXPECT_EQ(Recorder.FrameCounter, 3.0);
  EXPECT_EQ(RecordLines(FileBytes(path_)), 2);
  EXPECT_FALSE(program_->Dimmed(page_, REC_START));
}

// [SECTION] Manual and triggered recordings

TEST_P(Recording, AManualRecordWithoutAnyFrameWritesZeros) {
  MeasuredValues = MeasuredValuesRecord{};
  ChooseMode(RECORD_MANUAL);
  ChooseNewFile();
  ASSERT_TRUE(ui::op::Press(page_, REC_MANUAL));
  ProcessSystemEvents();
  ASSERT_TRUE(ui::op::Press(page_, REC_MANUAL));
  ProcessSystemEvents();
  const std::string bytes = FileBytes(path_);
  ASSERT_EQ(RecordLines(bytes), 2);
  const std::string line = bytes.substr(RecordHeaderText(State.PanelId).size(), bytes.size() / 2);
  EXPECT_EQ(line.substr(20, 23), "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n");
  EXPECT_EQ(Recorder.RecordedCount, 2);
  EXPECT_EQ(Num(REC_RECORDED), 2);
  EXPECT_TRUE(Sim().Orders().empty());  // nothing was asked of the sensor
  EXPECT_FALSE(program_->Dimmed(page_, REC_MANUAL));
}

TEST_P(Recording, ATriggeredRecordingTakesTheSensorsFramesUntilStop) {
  Sim().SetTriggerRate(200.0);
  ChooseMode(RECORD_TRIGGERED);
  ChooseNewFile();
  StopAfter(5);
  Run(REC_START_TRIG);
  EXPECT_TRUE(stopPressed_);
  EXPECT_GE(Recorder.FrameCounter, 5.0);
  EXPECT_EQ(RecordLines(FileBytes(path_)), static_cast<int>(Recorder.FrameCounter));
  const auto orders = Sim().Orders();
  ASSERT_EQ(orders.size(), 2u);  // no polling: the sensor sends by itself
  EXPECT_EQ(orders.front().order, frame::ORDER_TRIGGER_RECORD);
  EXPECT_EQ(orders.front().param, 1);
  EXPECT_EQ(orders.back().order, frame::ORDER_TRIGGER_RECORD);
  EXPECT_EQ(orders.back().param, 0);
  EXPECT_EQ(State.SensorConnected, 1);
  EXPECT_TRUE(SawPopup("INFO!", "File has been saved!"));
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_SEND));
  EXPECT_FALSE(program_->Dimmed(page_, REC_START_TRIG));
  int colour = 0;
  GetCtrlAttribute(page_, REC_START_TRIG, ATTR_CMD_BUTTON_COLOR, &colour);
  EXPECT_EQ(colour, 0xE0E0E0);
}

TEST_P(Recording, AStopPressedWhileTheSensorAnswersTheTriggeredStartEndsTheRecording) {
  // The start's answer is held until STOP was pressed; the recording must not wait for frames then.
  Sim().SetTriggerRate(200.0, 3);
  ChooseMode(RECORD_TRIGGERED);
  ChooseNewFile();
  Sim().HoldAnswersAfter(0);
  ui::headless::SetWaitHook([this](double) {
    if (stopPressed_) return;
    stopPressed_ = ui::op::Press(page_, REC_STOP);
    Sim().ReleaseAnswers();
  });
  Run(REC_START_TRIG);
  EXPECT_TRUE(stopPressed_);
  EXPECT_EQ(Recorder.FrameCounter, 0.0);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(State.SensorConnected, 1) << program_->MessageBox();
  const auto starts = OrdersOf(frame::ORDER_TRIGGER_RECORD);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts.back().param, 0);
  EXPECT_FALSE(program_->Dimmed(page_, REC_START_TRIG));
}

TEST_P(Recording, EveryTriggeredFrameIsTakenEvenWhenTheyArriveTogether) {
  // Frames sent faster than the loop turns arrive several in one read over TCP/IP.
  // The first frame is held back while further events fall due; released, they go out
  // back to back and the program reads several at once.
  Sim().SetTriggerRate(2000.0, 40);
  ChooseMode(RECORD_TRIGGERED);
  ChooseNewFile();
  Sim().HoldAnswersAfter(1);
  int waits = 0;
  ui::headless::SetWaitHook([&](double) {
    if (++waits == 30) Sim().ReleaseAnswers();
    if (Recorder.FrameCounter >= 40 && !stopPressed_) stopPressed_ = ui::op::Press(page_, REC_STOP);
  });
  Run(REC_START_TRIG);
  EXPECT_EQ(Recorder.FrameCounter, 40.0);
  EXPECT_EQ(State.SensorConnected, 1) << program_->MessageBox();
  EXPECT_EQ(RecordLines(FileBytes(path_)), 40);
}

TEST_P(Recording, ABadTriggeredFrameEndsTheRecordingAndStillStopsTheSensor) {
  Sim().SetTriggerRate(200.0);
  Sim().WithState([](sim::SensorState& s) { s.triggered.badFrame = 2; });
  ChooseMode(RECORD_TRIGGERED);
  ChooseNewFile();
  Run(REC_START_TRIG);
  EXPECT_NE(program_->MessageBox().find("RECEIVED DATA FRAME IS INCORRECT!"), std::string::npos);
  EXPECT_EQ(Recorder.FrameCounter, 2.0);
  EXPECT_EQ(RecordLines(FileBytes(path_)), 2);
  const auto orders = Sim().Orders();
  ASSERT_FALSE(orders.empty());
  EXPECT_EQ(orders.back().order, frame::ORDER_TRIGGER_RECORD);
  EXPECT_EQ(orders.back().param, 0);
  EXPECT_EQ(Sim().WithState([](sim::SensorState& s) { return s.triggered.stops; }), 1);
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_SEND));
}

// [SECTION] RecordGraph

TEST_P(Recording, TheRecordGraphGrowsOneSegmentPerFrameAndAStartClearsIt) {
  const ui::Control* red = ui::FindControl(Panels.Graphp, GRAPHP_GRAPH_RED);
  if (!red || !red->graph) GTEST_SKIP() << "GRAPHP has no graphs in this build";
  ChooseNewFile();
  ASSERT_TRUE(ui::op::SetValue(page_, REC_VALUES, 5));
  ASSERT_TRUE(ui::op::SetValue(page_, REC_INTERVAL, 0.25));
  ProcessSystemEvents();
  Run(REC_START);
  const int colours[7] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000, 0x00FF00, 0x008080, 0x008080};
  const std::uint16_t last[7] = {MeasuredValues.Red, MeasuredValues.Green, MeasuredValues.Blue, MeasuredValues.X,
                                 MeasuredValues.Y,   MeasuredValues.Int,   MeasuredValues.Temp};
  for (int i = 0; i < 7; ++i) {
    const ui::GraphData& g = *ui::FindControl(Panels.Graphp, GRAPHP_GRAPH_RED + i)->graph;
    ASSERT_EQ(g.chains.size(), 1u) << i;
    const ui::SegmentChain& c = g.chains[0];
    EXPECT_EQ(c.color, colours[i]);
    EXPECT_EQ(c.segments, 5u);
    // The first point draws no slope: (0, v0) twice, then one point per frame up to x = 4.
    ASSERT_EQ(c.Points(), 6u);
    EXPECT_EQ(c.xy[0], 0.0f);
    EXPECT_EQ(c.xy[1], c.xy[3]);
    EXPECT_EQ(c.xy[2 * 5], 4.0f);
    EXPECT_EQ(c.xy[2 * 5 + 1], static_cast<float>(last[i]));
    double shown = -1;
    GetCtrlVal(Panels.Graphp, GRAPHP_VALUE0 + i, &shown);
    EXPECT_EQ(shown, last[i]);
  }
  EXPECT_EQ(RecordGraph.RecordPointIndex, 5);
  // A new start begins the lines again; the triggered start goes on where they end.
  Run(REC_START);
  EXPECT_EQ(ui::FindControl(Panels.Graphp, GRAPHP_GRAPH_RED)->graph->chains[0].segments, 5u);
  Sim().SetTriggerRate(200.0, 3);
  ChooseMode(RECORD_TRIGGERED);  // the ring clears the graph too
  StopAfter(3);
  Run(REC_START_TRIG);
  // The hook counts this run's frames only (the counter of the last run still reads 3).
  stopPressed_ = false;
  Recorder.FrameCounter = 0.0;
  Run(REC_START_TRIG);
  const ui::GraphData& temp = *ui::FindControl(Panels.Graphp, GRAPHP_GRAPH_TEMP)->graph;
  ASSERT_EQ(temp.chains.size(), 1u);
  EXPECT_EQ(temp.chains[0].segments, 6u);
  EXPECT_EQ(RecordGraph.RecordPointIndex, 6);
}

INSTANTIATE_TEST_SUITE_P(Transports, Recording, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

}  // namespace
