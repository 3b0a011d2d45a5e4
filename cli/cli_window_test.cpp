// Each command of chromik4-ana-cli beside the same operation of the window (headless, driven
// as an operator would), each against a simulator of its own over TCP or a pseudo-terminal:
// the orders on the wire with their data bytes, and the files they write.
#include <gtest/gtest.h>

#include <thread>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "cli/cli_test_support.h"
#include "recorder/recorder.h"
#include "scope/scope.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using namespace clitest;

struct Wire {
  int order;
  int param;
  std::vector<std::uint8_t> data;
  bool operator==(const Wire&) const = default;
};

void PrintTo(const Wire& w, std::ostream* os) { *os << "{" << w.order << "/" << w.param << ", " << w.data.size() << " bytes}"; }

std::vector<Wire> WireOf(const sim::SensorSim& s) {
  std::vector<Wire> out;
  for (const auto& o : s.Orders()) out.push_back(Wire{o.order, o.param, o.data});
  return out;
}

// A record file with the date and time of every record line blanked out.
std::string WithoutDates(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  std::string out;
  for (std::string& line : lines) {
    if (line.size() > 20 && line[2] == '-' && line[10] == '\t') line.replace(0, 19, 19, '#');
    out += line + "\n";
  }
  return out;
}

class BesideWindow : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    options.realWait = 1.0;
    window_ = std::make_unique<harness::Program>(options);
    window_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << window_->MessageBox();
    cliSim_ = StartSim(GetParam());
    // Both sensors see the same colour, without noise: the same frames and captures.
    for (sim::SensorSim* s : {&window_->Sim(), cliSim_.get()}) s->SetTargetColour(sim::Rgb{2000, 1500, 1000});
  }
  void TearDown() override {
    if (stopper_.joinable()) stopper_.join();
    ui::headless::SetWaitHook(nullptr);
  }
  // Runs the command line; its orders after the identification (order 7, checked here).
  std::vector<Wire> Cli(const std::vector<std::string>& args, CliResult* result = nullptr) {
    cliSim_->ClearLog();
    CliResult r = RunCli(Join(args, Reach(*cliSim_, GetParam())));
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<Wire> orders = WireOf(*cliSim_);
    EXPECT_FALSE(orders.empty());
    if (!orders.empty()) {
      EXPECT_EQ(orders.front(), (Wire{7, 0, {}}));
      orders.erase(orders.begin());
    }
    if (result) *result = r;
    return orders;
  }
  // What the window sent since the last call.
  std::vector<Wire> WindowSent() {
    std::vector<Wire> orders = WireOf(window_->Sim());
    window_->Sim().ClearLog();
    return orders;
  }
  void Press(int panel, int control) {
    ASSERT_TRUE(ui::op::Press(panel, control)) << control;
    ProcessSystemEvents();
  }
  void Tab(int page) {
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, page));
    ProcessSystemEvents();
  }
  // GET with FILE selected, the dialog answered with `path`.
  void FileGet(const std::string& path) {
    Press(Panels.Mainp, MAINP_FILE);
    ui::headless::AnswerFile(VAL_EXISTING_FILE_SELECTED, path);
    Press(Panels.Mainp, MAINP_GET);
  }
  std::unique_ptr<harness::Program> window_;
  std::unique_ptr<sim::SensorSim> cliSim_;
  std::thread stopper_;
  TempDir dir_;
};

TEST_P(BesideWindow, IdentifyIsTheWindowsIdentificationWithoutItsGet) {
  EXPECT_EQ(WindowSent(), (std::vector<Wire>{{7, 0, {}}, {2, 0, {}}, {2, 2, {}}}));
  CliResult r;
  EXPECT_TRUE(Cli({"identify"}, &r).empty());
  EXPECT_EQ(r.out, window_->StatusLine() + "\n");
}

TEST_P(BesideWindow, GetFromEepromSendsTheWindowsOrdersAndWritesItsFileSendFile) {
  WindowSent();
  const std::string cliFile = dir_ / "cli.ini", windowFile = dir_ / "window.ini";
  CliResult r;
  const std::vector<Wire> cli = Cli({"get", "--eeprom", "-o", cliFile}, &r);
  Press(Panels.Mainp, MAINP_EEPROM);
  Press(Panels.Mainp, MAINP_GET);
  EXPECT_EQ(cli, WindowSent());
  EXPECT_EQ(cli, (std::vector<Wire>{{4, 0, {}}, {2, 0, {}}, {2, 2, {}}}));
  Press(Panels.Mainp, MAINP_FILE);
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, windowFile);
  Press(Panels.Mainp, MAINP_SEND);
  EXPECT_EQ(FileBytes(cliFile), FileBytes(windowFile));
  EXPECT_EQ(Lines(FileBytes(cliFile)).size(), 305u);
}

TEST_P(BesideWindow, AFileThePanelCorrectsIsSentAsTheWindowSendsIt) {
  // Written by the window, then given modes and a power its controls do not take as they are.
  const std::string file = dir_ / "Parameter.ini";
  Press(Panels.Mainp, MAINP_FILE);
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, file);
  Press(Panels.Mainp, MAINP_SEND);
  std::string ini = SetItem(FileBytes(file), "DIGITAL OUTMODE", "0");
  ini = SetItem(SetItem(ini, "TRIGGER", "3"), "POWER", "2000");
  WriteFile(file, ini);
  CliResult r;
  const std::vector<Wire> cli = Cli({"send", file}, &r);
  ui::headless::Popups().clear();
  WindowSent();
  FileGet(file);
  Press(Panels.Mainp, MAINP_RAM);
  Press(Panels.Mainp, MAINP_SEND);
  EXPECT_EQ(cli, WindowSent());
  ASSERT_EQ(cli.size(), 2u);
  EXPECT_EQ(cli[0].data.size(), 40u);
  EXPECT_EQ(cli[0].data[0] | cli[0].data[1] << 8, 1000);  // the slider's end
  // What the window told the operator, the command line told on standard error.
  ASSERT_FALSE(ui::headless::Popups().empty());
  for (const auto& popup : ui::headless::Popups()) {
    if (popup.kind == "file") continue;
    EXPECT_NE(r.err.find(popup.text), std::string::npos) << popup.text << "\n--- stderr:\n" << r.err;
  }
}

TEST_P(BesideWindow, SendToTheEepromOfSetOneSendsTheWindowsThreeOrders) {
  const std::string file = dir_ / "Parameter.ini";
  Press(Panels.Mainp, MAINP_FILE);
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, file);
  Press(Panels.Mainp, MAINP_SEND);
  // TRIGGER PARA, with the digital outputs on (off, they take the trigger with them): ParaSet1 may be chosen.
  WriteFile(file, SetItem(SetItem(SetItem(FileBytes(file), "DIGITAL OUTMODE", "2"), "TRIGGER", "6"), "POWER", "612"));
  const std::vector<Wire> cli = Cli({"send", file, "--eeprom", "--set", "1"});
  WindowSent();
  FileGet(file);
  Press(Panels.Mainp, MAINP_PARASET1);
  Press(Panels.Mainp, MAINP_EEPROM);
  Press(Panels.Mainp, MAINP_SEND);
  const std::vector<Wire> window = WindowSent();
  EXPECT_EQ(cli, window);
  ASSERT_EQ(cli.size(), 3u);
  EXPECT_EQ((std::vector<int>{cli[0].param, cli[1].param, cli[2].order}), (std::vector<int>{1, 3, 3}));
  EXPECT_EQ(cliSim_->EepromSet(1).para[sim::POWER], 612);
}

TEST_P(BesideWindow, WatchAndCycleTimeSendTheWindowsOrders) {
  WindowSent();
  EXPECT_EQ(Cli({"watch", "--count", "3"}), (std::vector<Wire>(3, Wire{8, 0, {}})));
  stopper_ = std::thread([this] {
    window_->Sim().WaitForOrders(3, std::chrono::seconds(10));
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  Press(Panels.Mainp, MAINP_GO);
  stopper_.join();
  const std::vector<Wire> go = WindowSent();
  EXPECT_GE(go.size(), 3u);
  for (const Wire& w : go) EXPECT_EQ(w, (Wire{8, 0, {}}));

  CliResult r;
  EXPECT_EQ(Cli({"cycle-time"}, &r), (std::vector<Wire>{{105, 0, {}}}));
  Tab(PAGE_SCOPE);
  Press(Panels.Page[PAGE_SCOPE], SCOPE_GET_CYCLE_TIME);
  EXPECT_EQ(WindowSent(), (std::vector<Wire>{{105, 0, {}}}));
  double frequency = 0, cycle = 0;
  int frequencyDigits = 0, cycleDigits = 0;
  GetCtrlVal(Panels.Page[PAGE_SCOPE], SCOPE_SCAN_FREQ, &frequency);
  GetCtrlVal(Panels.Page[PAGE_SCOPE], SCOPE_CYCLE_TIME, &cycle);
  GetCtrlAttribute(Panels.Page[PAGE_SCOPE], SCOPE_SCAN_FREQ, ATTR_PRECISION, &frequencyDigits);
  GetCtrlAttribute(Panels.Page[PAGE_SCOPE], SCOPE_CYCLE_TIME, ATTR_PRECISION, &cycleDigits);
  char shown[200];
  std::snprintf(shown, sizeof shown, "SCAN FREQ. [Hz]: %.*f\nCYCLE TIME [ms]: %.*f\n", frequencyDigits, frequency,
                cycleDigits, cycle);
  EXPECT_EQ(r.out, shown);
}

TEST_P(BesideWindow, RecordCountFiveWritesTheWindowsFileDatesAside) {
  const std::string cliFile = dir_ / "cli.dat", windowFile = dir_ / "window.dat";
  const std::vector<Wire> cli = Cli({"record", cliFile, "--count", "5", "--interval", "0.25", "--panel-id", "LINE 4"});
  EXPECT_EQ(cli, (std::vector<Wire>(5, Wire{8, 0, {}})));
  const int page = Panels.Page[PAGE_RECORDER];
  Tab(PAGE_RECORDER);
  State.PanelId = "LINE 4";
  ASSERT_TRUE(ui::op::SetValue(page, REC_VALUES, 5));
  ASSERT_TRUE(ui::op::SetValue(page, REC_INTERVAL, 0.25));
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, windowFile);
  Press(page, REC_SELECT_FILE);
  WindowSent();
  ui::headless::AnswerConfirm(1);
  Press(page, REC_START);
  EXPECT_EQ(WindowSent(), cli);
  EXPECT_EQ(WithoutDates(FileBytes(cliFile)), WithoutDates(FileBytes(windowFile)));
  EXPECT_EQ(Lines(FileBytes(cliFile)).size(), 5u + 5u);  // LF, title, PANEL ID, empty line, titles; five frames
}

TEST_P(BesideWindow, ATriggeredRecordingStartsAndStopsAsTheWindows) {
  const std::string cliFile = dir_ / "cli.dat", windowFile = dir_ / "window.dat";
  const std::vector<Wire> cli = Cli({"record", cliFile, "--triggered", "--count", "3"});
  EXPECT_EQ(cli, (std::vector<Wire>{{30, 1, {}}, {30, 0, {}}}));
  const int page = Panels.Page[PAGE_RECORDER];
  Tab(PAGE_RECORDER);
  ASSERT_TRUE(ui::op::PickIndex(page, REC_MODE, RECORD_TRIGGERED));
  ProcessSystemEvents();
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, windowFile);
  Press(page, REC_SELECT_FILE);
  WindowSent();
  bool stopped = false;
  ui::headless::SetWaitHook([&](double) {
    if (Recorder.FrameCounter >= 3 && !stopped) stopped = ui::op::Press(page, REC_STOP);
  });
  ui::headless::AnswerConfirm(1);
  Press(page, REC_START_TRIG);
  EXPECT_EQ(WindowSent(), cli);
  EXPECT_EQ(WithoutDates(FileBytes(cliFile)), WithoutDates(FileBytes(windowFile)));
}

TEST_P(BesideWindow, TheScopeCsvIsSaveCsvsForTheSameCapture) {
  const std::string cliFile = dir_ / "cli.csv", windowFile = dir_ / "window.csv";
  const std::vector<Wire> cli = Cli({"scope", "-o", cliFile, "--trigger", "rising", "--pre-trigger", "20", "--level",
                                     "1800", "--scan-rate", "2", "--signal", "1"});
  const int page = Panels.Page[PAGE_SCOPE];
  Tab(PAGE_SCOPE);
  SetCtrlVal(page, SCOPE_TRIGGER_MODE, 1);
  SetCtrlVal(page, SCOPE_PRE_TRIGGER, 20);
  SetCtrlVal(page, SCOPE_TRIGGER_LEVEL, 1800);
  SetCtrlVal(page, SCOPE_SCAN_RATE, 2);
  SetCtrlVal(page, SCOPE_REC_SIGNAL, 1);
  WindowSent();
  Press(page, SCOPE_GET_CYCLE_TIME);
  Press(page, SCOPE_SCAN);
  EXPECT_EQ(WindowSent(), cli);
  ASSERT_EQ(cli.size(), 2u);
  EXPECT_EQ(cli[1], (Wire{110, 1, {1, 0, 20, 0, 0x08, 0x07, 2, 0, 1, 0}}));
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, windowFile);
  Press(Panels.Scopep, SCOPEP_SAVE_CSV);
  EXPECT_EQ(FileBytes(cliFile), FileBytes(windowFile));
  EXPECT_EQ(Lines(FileBytes(cliFile)).size(), 129u);
}

TEST_P(BesideWindow, TheHardwareFileIsTheWindows) {
  const std::string cliFile = dir_ / "cli.ini", windowFile = dir_ / "window.ini";
  const std::vector<Wire> cli = Cli({"hardware-file", cliFile});
  EXPECT_EQ(cli, (std::vector<Wire>{{2, 0, {}}, {2, 2, {}}, {102, 0, {}}, {194, 0x4C7E, {}}}));
  Tab(PAGE_CONNECTION);
  UndimConnectedButtons();  // showing the page dims them until the next identification
  WindowSent();
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, windowFile);
  Press(Panels.Page[PAGE_CONNECTION], COM_GEN_HW_FILE);
  EXPECT_EQ(WindowSent(), cli);
  EXPECT_EQ(FileBytes(cliFile), FileBytes(windowFile));
}

INSTANTIATE_TEST_SUITE_P(Transports, BesideWindow, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

// The baud-rate change is the window's up to its reconnection, which identifies and no more.
TEST(BaudBesideWindow, OrderOneNinetyThenTheIdentificationAtTheNewRate) {
  harness::Options options;
  options.serial = true;
  harness::Program window(options);
  window.Start();
  ASSERT_EQ(State.SensorConnected, 1);
  const int com = Panels.Page[PAGE_CONNECTION];
  ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION));
  ProcessSystemEvents();
  ASSERT_TRUE(ui::op::PickIndex(com, COM_BAUDRATE, 2));
  ProcessSystemEvents();
  UndimConnectedButtons();
  window.Sim().ClearLog();
  ASSERT_TRUE(ui::op::Press(com, COM_CHANGE_BAUDRATE));
  ProcessSystemEvents();
  const std::vector<Wire> windowSent = WireOf(window.Sim());

  auto cliSim = StartSim(true);
  CliResult r = RunCli({"baud", "38400", "--serial", cliSim->SlavePath()});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<Wire> cli = WireOf(*cliSim);
  ASSERT_EQ(cli.size(), 3u);
  EXPECT_EQ(cli[0], (Wire{7, 0, {}}));
  EXPECT_EQ(std::vector<Wire>(cli.begin() + 1, cli.end()), std::vector<Wire>(windowSent.begin(), windowSent.begin() + 2));
  EXPECT_EQ(cli[1], (Wire{190, 2, {}}));
  EXPECT_EQ(cliSim->BaudIndex(), 2);
  EXPECT_NE(r.err.find("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!"), std::string::npos) << r.err;
}

}  // namespace
