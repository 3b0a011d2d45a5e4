// The sensor going away in the middle of an exchange: a USB adapter pulled (the
// pseudo-terminal's master closed) or the sensor's server killed, and then coming back.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "recorder/recorder.h"
#include "scope/scope.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/runtime_internal.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

int Occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class PulledCable : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    options.deviceLink = true;
    options.realWait = 1.0;
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    ui::headless::Popups().clear();
  }
  void TearDown() override { ui::headless::SetWaitHook(nullptr); }
  bool Serial() const { return GetParam(); }
  // Pulls the cable from inside the program's wait once `ready` holds.
  void UnplugWhen(std::function<bool()> ready) {
    unplugged_ = false;
    ui::headless::SetWaitHook([this, ready](double) {
      if (unplugged_ || !ready()) return;
      unplugged_ = true;
      program_->Unplug();
    });
  }
  // What a pulled cable must leave behind: the error shown once, GO and the recorder at
  // rest, the connection page in front with the sensor's buttons dimmed.
  void ExpectCommunicationError() {
    EXPECT_TRUE(unplugged_);
    EXPECT_EQ(State.GoRunning, 0);
    EXPECT_EQ(State.SensorConnected, 0);
    EXPECT_EQ(program_->ActiveMainPage(), PAGE_CONNECTION);
    EXPECT_TRUE(program_->ConnectedButtonsDimmed());
    // One report for one loss; over TCP the server's close, followed by the time-out of
    // an answer that was being waited for, if one was.
    const std::string message = program_->MessageBox();
    if (Serial()) {
      EXPECT_EQ(Occurrences(message, "COMMUNICATION ERROR!"), 1) << message;
    } else {
      EXPECT_EQ(Occurrences(message, "SERVER HAS CLOSED CONNECTION!"), 1) << message;
      EXPECT_LE(Occurrences(message, "TIMEOUT!"), 1) << message;
      const std::size_t timeout = message.find("TIMEOUT!");
      if (timeout != std::string::npos) {
        EXPECT_GT(timeout, message.find("SERVER HAS CLOSED CONNECTION!")) << message;
      }
    }
    int errors = 0;
    for (const auto& p : ui::headless::Popups()) errors += p.text.find("ERROR") != std::string::npos;
    EXPECT_LE(errors, 1);
    EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_GO));
  }
  // The device comes back; TRY TO CONNECT finds it and GO runs again.
  void ExpectReconnect() {
    ui::headless::SetWaitHook(nullptr);
    program_->Replug();
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION));
    ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_CONNECTION], COM_TRY_CONNECT));
    ProcessSystemEvents();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    EXPECT_TRUE(program_->ConnectedButtonsEnabled());
    program_->Sim().ClearLog();
    ui::headless::SetWaitHook([this](double) {
      if (program_->Sim().OrderCount() >= 3) ui::op::Press(Panels.Mainp, MAINP_STOP);
    });
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GO));
    ProcessSystemEvents();
    EXPECT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    EXPECT_GE(program_->Sim().OrderCount(), 3u);
  }
  std::unique_ptr<harness::Program> program_;
  bool unplugged_ = false;
};

TEST_P(PulledCable, DuringGo) {
  UnplugWhen([this] { return program_->Sim().OrderCount() >= 10; });
  ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GO));
  ProcessSystemEvents();
  ExpectCommunicationError();
  ExpectReconnect();
}

// The recorder: every frame counted before the cable went is a line of the file.
class PulledCableRecording : public PulledCable {
 protected:
  void SetUp() override {
    PulledCable::SetUp();
    if (HasFatalFailure()) return;
    page_ = Panels.Page[PAGE_RECORDER];
    path_ = program_->Dir() + "/RecordFile.dat";
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_RECORDER));
    ProcessSystemEvents();
  }
  void Start(int mode, int button) {
    ASSERT_TRUE(ui::op::PickIndex(page_, REC_MODE, mode));
    ProcessSystemEvents();
    ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, path_);
    ASSERT_TRUE(ui::op::Press(page_, REC_SELECT_FILE));
    ProcessSystemEvents();
    ui::headless::AnswerConfirm(1);
    ASSERT_TRUE(ui::op::Press(page_, button));
    ProcessSystemEvents();
  }
  // Lines behind the header.
  long Lines() {
    const std::string bytes = FileBytes(path_);
    const std::string header = RecordHeaderText(State.PanelId);
    if (bytes.compare(0, header.size(), header) != 0) return -1;
    return std::count(bytes.begin() + static_cast<std::ptrdiff_t>(header.size()), bytes.end(), '\n');
  }
  int page_ = 0;
  std::string path_;
};

TEST_P(PulledCableRecording, DuringAContinuousRecording) {
  SetCtrlVal(page_, REC_INTERVAL, 0.25);
  UnplugWhen([] { return Recorder.FrameCounter >= 3; });
  Start(RECORD_CONTINUOUS, REC_START);
  ExpectCommunicationError();
  // The counter also counts a poll that failed (the loop ends after it), so it may be one ahead.
  const long counted = static_cast<long>(Recorder.FrameCounter);
  EXPECT_GE(Lines(), 3);
  EXPECT_TRUE(Lines() == counted || Lines() == counted - 1) << Lines() << " lines, " << counted << " counted";
  EXPECT_FALSE(program_->Dimmed(page_, REC_START));
  ExpectReconnect();
}

TEST_P(PulledCableRecording, WhileATriggeredRecordingWaitsForTheSensor) {
  program_->Sim().SetTriggerRate(200.0, 4);  // four frames, then the wait has no end of its own
  UnplugWhen([] { return Recorder.FrameCounter >= 4; });
  Start(RECORD_TRIGGERED, REC_START_TRIG);
  ExpectCommunicationError();
  // On the serial line the lost device is a line error of the wait without a time limit.
  if (Serial()) {
    EXPECT_NE(program_->MessageBox().find("TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. "
                                          "\nTRY TO CONNECT AGAIN!"),
              std::string::npos)
        << program_->MessageBox();
  }
  EXPECT_EQ(Recorder.FrameCounter, 4.0);
  EXPECT_EQ(Lines(), 4);
  EXPECT_FALSE(program_->Dimmed(page_, REC_START_TRIG));
  ExpectReconnect();
}

// The scope: the capture is armed and waits without a time limit when the cable goes.
TEST_P(PulledCable, WhileAScopeCaptureIsArmed) {
  const int page = Panels.Page[PAGE_SCOPE];
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_SCOPE));
  ProcessSystemEvents();
  program_->Sim().SetTriggerInput(false);
  SetCtrlVal(page, SCOPE_TRIGGER_MODE, 4);  // EXTERNAL IN0 stays armed while IN0 is low
  Scope = ScopeState{};
  UnplugWhen([] { return Scope.Running == 1; });
  ASSERT_TRUE(ui::op::Press(page, SCOPE_SCAN));
  ProcessSystemEvents();
  ExpectCommunicationError();
  EXPECT_EQ(Scope.Drawn, 0);
  ExpectReconnect();
}

// The link breaks in the middle of an answer: half a header arrives, then the server
// closes the connection (TCP/IP) or the adapter is pulled (serial). While the sensor is
// still away, TRY TO CONNECT fails with its message and leaves the program as it was.
TEST_P(PulledCable, InTheMiddleOfAnAnswer) {
  program_->Sim().AddFault(sim::FaultRule{8, sim::FaultKind::ClosePartial, 6, 4});
  if (Serial()) {
    UnplugWhen([this] { return program_->Sim().OrderCount() >= 6; });
  } else {
    unplugged_ = true;  // the server itself closes the connection mid-answer
  }
  ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GO));
  ProcessSystemEvents();
  ExpectCommunicationError();
  program_->Unplug();
  ui::headless::SetWaitHook(nullptr);
  ui::headless::Popups().clear();
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_CONNECTION], COM_TRY_CONNECT));
  ProcessSystemEvents();
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_TRUE(program_->ConnectedButtonsDimmed());
  EXPECT_FALSE(program_->Dimmed(Panels.Page[PAGE_CONNECTION], COM_TRY_CONNECT));
  EXPECT_LE(ui::headless::Popups().size(), 1u);
  ExpectReconnect();
}

INSTANTIATE_TEST_SUITE_P(Transports, PulledCableRecording, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });
INSTANTIATE_TEST_SUITE_P(Transports, PulledCable, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

}  // namespace
