// The connection page driven as an operator would, against the simulator.
#include "com232/connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/link.h"
#include "com232/port_map.h"
#include "com232/rs232.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using sim::FaultKind;

constexpr const char* kTimeout =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT AGAIN!";

int Com() { return Panels.Page[PAGE_CONNECTION]; }

std::vector<int> OrderNumbers(const sim::SensorSim& s) {
  std::vector<int> out;
  for (const auto& o : s.Orders()) out.push_back(o.order);
  return out;
}

bool Visible(int panel, int control) {
  int v = 0;
  GetCtrlAttribute(panel, control, ATTR_VISIBLE, &v);
  return v != 0;
}

TEST(Connection, StartUpWithoutASensorShowsTheConnectionPage) {
  harness::Options options;
  options.serial = true;
  options.sim.faults.push_back(sim::FaultRule{sim::ANY_ORDER, FaultKind::NoAnswer, 0, -1});
  harness::Program p(options);
  p.Start();
  EXPECT_EQ(p.ActiveMainPage(), PAGE_CONNECTION);
  EXPECT_EQ(p.MessageBox(), std::string("TRY TO CONNECT!\n") + kTimeout + "\n\n");
  EXPECT_EQ(p.StatusLine(), "TIMEOUT!");
  EXPECT_TRUE(p.ConnectedButtonsDimmed());
  EXPECT_FALSE(p.Dimmed(Com(), COM_TRY_CONNECT));
  EXPECT_FALSE(p.Dimmed(Panels.Mainp, MAINP_GO));
  EXPECT_EQ(State.SensorConnected, 0);
}

TEST(Connection, StartUpWithNothingListeningReportsTheConnectError) {
  harness::Options options;
  options.sensorPresent = false;
  harness::Program p(options);
  p.Start();
  EXPECT_EQ(p.MessageBox(), "TRY TO CONNECT!\nFailedToConnect\n\n");
  EXPECT_EQ(SensorLink.TcpConnected, 0);
  EXPECT_EQ(p.ActiveMainPage(), PAGE_CONNECTION);
}

class Connected : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    options.sim.idText = "CHROMIK4 ANA TEST SENSOR FW 7.1";
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
  }
  harness::Program& P() { return *program_; }
  // The operator goes to the connection page (which dims the buttons needing a sensor).
  void ToConnectionPage() {
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION));
    ProcessSystemEvents();
  }
  std::unique_ptr<harness::Program> program_;
};

TEST_P(Connected, IdentificationShowsTheTextAndEnablesTheButtons) {
  EXPECT_EQ(P().ActiveMainPage(), PAGE_PARAMETER);
  EXPECT_EQ(P().StatusLine(), "CHROMIK4 ANA TEST SENSOR FW 7.1");
  EXPECT_EQ(P().MessageBox(), "TRY TO CONNECT!\nCHROMIK4 ANA TEST SENSOR FW 7.1\n\n");
  EXPECT_EQ(std::string(FirmwareVersion), "CHROMIK4 ANA TEST SENSOR FW 7.1");
  EXPECT_TRUE(P().ConnectedButtonsEnabled());
  EXPECT_EQ(State.SensorConnected, 1);
  // Identification, then the parameter set of ParaSet0: both blocks from RAM.
  EXPECT_EQ(OrderNumbers(P().Sim()), (std::vector<int>{7, 2, 2}));
  auto orders = P().Sim().Orders();
  EXPECT_EQ(orders[1].param, 0);
  EXPECT_EQ(orders[2].param, 2);
}

TEST_P(Connected, ALongIdentificationTextIsCutAt111Characters) {
  std::string text(300, 'x');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('A' + i % 26);
  P().Sim().SetIdText(text, false);
  ToConnectionPage();
  ASSERT_TRUE(ui::op::Press(Com(), COM_TRY_CONNECT));
  ProcessSystemEvents();
  EXPECT_EQ(P().StatusLine(), text.substr(0, 111));
  EXPECT_EQ(std::string(FirmwareVersion), text.substr(0, 71));
  EXPECT_EQ(State.SensorConnected, 1);
}

TEST_P(Connected, AFailureWhileReadingTheParametersLeavesTheButtonsDimmed) {
  sim::FaultRule rule{2, FaultKind::NoAnswer, 2, -1};  // the second block does not come
  P().Sim().AddFault(rule);
  ToConnectionPage();
  ASSERT_TRUE(ui::op::Press(Com(), COM_TRY_CONNECT));
  ProcessSystemEvents();
  EXPECT_NE(P().MessageBox().find("CHROMIK4 ANA TEST SENSOR FW 7.1\n\n"), std::string::npos);
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_TRUE(P().ConnectedButtonsDimmed());
  EXPECT_FALSE(P().Dimmed(Com(), COM_TRY_CONNECT));
}

TEST_P(Connected, AStatusAnswerToTheIdentificationIsNoConnection) {
  P().Sim().AddFault(sim::FaultRule{7, FaultKind::Status1, 0, -1});
  P().Sim().ClearLog();
  ToConnectionPage();
  ASSERT_TRUE(ui::op::Press(Com(), COM_TRY_CONNECT));
  ProcessSystemEvents();
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_TRUE(P().ConnectedButtonsDimmed());
  EXPECT_EQ(OrderNumbers(P().Sim()), std::vector<int>{7});  // no parameter read follows
}

TEST_P(Connected, EveryHelpTextShowsUnderInfoAlsoWhileAnExchangeWaits) {
  struct Case {
    int panel;
    int control;
    const char* text;
  };
  const std::vector<Case> cases = {
      {Com(), COM_TRY_CONNECT, "Try to connect sensor."},
      {Com(), COM_ACCEPT, "Accept settings for communication \nand switch to parapanel. "},
      {Com(), COM_GEN_HW_FILE, "Save Hardware Initial File to disk. \nSend this file to your supplier for assistance."},
      {Com(), COM_PROTOCOL, "Select RS232 or TCP/IP Interface. "},
      {Com(), COM_EDIT_ID, "Insert sensor identification. \nThis ID will be displayed in some panels of the software."},
      {Panels.Mainp, MAINP_GO, "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. "},
      {Panels.Mainp, MAINP_STOP, "Stops data transfer from sensor to PC. \n\nShortcut Key: F12. "},
      {Panels.Mainp, MAINP_EEPROM, "Select source respectively the target for the parameter transfer."},
      {Panels.Mainp, MAINP_PARASET1, "Select parameter set which should be transfered."},
      {Panels.Mainp, MAINP_TAB, "Select TAB-window."},
      {Panels.Datap, DATAP_TAB, "Select TAB-window."},
  };
  ToConnectionPage();
  // The clicks land while the identification waits for its answer.
  P().Sim().AddFault(sim::FaultRule{7, FaultKind::LateAnswer, 0, 100});
  bool clicked = false;
  ui::headless::SetWaitHook([&](double) {
    if (clicked) return;
    clicked = true;
    for (const Case& c : cases) EXPECT_TRUE(ui::op::RightClick(c.panel, c.control)) << c.text;
  });
  ui::headless::Popups().clear();
  ui::op::Press(Com(), COM_TRY_CONNECT);
  ProcessSystemEvents();
  ui::headless::SetWaitHook(nullptr);
  ASSERT_TRUE(clicked);
  const auto& popups = ui::headless::Popups();
  ASSERT_EQ(popups.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(popups[i].title, "INFO!");
    EXPECT_EQ(popups[i].text, cases[i].text);
  }
  EXPECT_EQ(State.SensorConnected, 1);  // the late answer still arrived in time
}

TEST_P(Connected, ControlsWithHelpShowItAsTheirTooltip) {
  // Every control carries a help text, except those that have none: the teach table (its help is
  // in its menu), the group table, the message box, the row specification table and the hidden
  // decoration of the calibration page, and the scope page's comment box.
  const std::vector<std::pair<int, int>> without = {{Com(), COM_STATUS},
                                                    {Panels.Page[PAGE_SCOPE], SCOPE_COMMENT},
                                                    {Panels.Page[PAGE_TEACH], TEACH_TABLE},
                                                    {Panels.Page[PAGE_GROUP_HOLD], GROUP_TABLE},
                                                    {Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE},
                                                    {Panels.Page[PAGE_CALIBRATION], CAL_DECO_HIDDEN}};
  std::vector<int> panels = {Panels.Mainp, Panels.Datap, Panels.Teachp1};
  for (int page : Panels.Page) panels.push_back(page);
  for (int page : Panels.DataPage) panels.push_back(page);
  for (int panel : panels) {
    for (const auto& c : ui::FindPanel(panel)->controls) {
      if (!c || !c->alive) continue;
      if (c->kind == CTRL_TEXT_MSG || c->kind == CTRL_PICTURE || c->kind == CTRL_TAB) continue;
      if (c->kind == CTRL_DECORATION && !c->callback) continue;  // the band and the hidden decoration
      if (std::find(without.begin(), without.end(), std::make_pair(panel, c->id)) != without.end()) continue;
      EXPECT_FALSE(c->tooltip.empty()) << "panel " << panel << " control " << c->id << " " << c->label;
      EXPECT_NE(c->callback, nullptr) << "panel " << panel << " control " << c->id << " " << c->label;
    }
  }
}

TEST_P(Connected, SwitchingTheTransportShowsItsSelectorsAndDimsAccept) {
  const int com = Com();
  ToConnectionPage();
  UndimConnectedButtons();
  const int other = GetParam() ? 1 : 0;
  ASSERT_TRUE(ui::op::PickIndex(com, COM_PROTOCOL, other));
  ProcessSystemEvents();
  const bool serial = other == 0;
  EXPECT_EQ(Visible(com, COM_PORT), serial);
  EXPECT_EQ(Visible(com, COM_BAUDRATE), serial);
  EXPECT_EQ(Visible(com, COM_CHANGE_BAUDRATE), serial);
  EXPECT_EQ(Visible(com, COM_IP_ADRESS), !serial);
  EXPECT_EQ(Visible(com, COM_PORT_NUMBER), !serial);
  EXPECT_TRUE(P().Dimmed(com, COM_ACCEPT));
  EXPECT_EQ(State.SensorConnected, 1);  // a changed setting does not close the connection
}

TEST_P(Connected, RecentServersMoveToTheTopAndStayAtTen) {
  const int com = Com();
  ToConnectionPage();
  if (GetParam()) {
    ASSERT_TRUE(ui::op::PickIndex(com, COM_PROTOCOL, 1));
    ProcessSystemEvents();
  }
  auto list = [&] {
    std::vector<std::string> out;
    int n = 0;
    GetNumListItems(com, COM_IP_ADRESS, &n);
    for (int i = 0; i < n; ++i) {
      std::string s;
      GetValueFromIndex(com, COM_IP_ADRESS, i, &s);
      out.push_back(s);
    }
    return out;
  };
  for (int i = 1; i <= 12; ++i) ui::op::SetText(com, COM_IP_ADRESS, "host" + std::to_string(i));
  ProcessSystemEvents();
  auto l = list();
  ASSERT_EQ(l.size(), 10u);
  EXPECT_EQ(l.front(), "host12");
  EXPECT_EQ(l.back(), "host3");
  ui::op::SetText(com, COM_IP_ADRESS, l[4]);  // the fifth entry
  ProcessSystemEvents();
  auto m = list();
  ASSERT_EQ(m.size(), 10u);
  EXPECT_EQ(m.front(), l[4]);
  EXPECT_EQ(m[4], l[3]);
  EXPECT_EQ(m[5], l[5]);
}

INSTANTIATE_TEST_SUITE_P(Transports, Connected, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

// [SECTION] A USB adapter with a latency timer (the simulator's fake sysfs tree)

class LatencyTimer : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = true;
    options.deviceLink = true;  // opened under a name of its own, as /dev/serial/by-id gives one
    options.sim.adapterLatency = 16;
    program_ = std::make_unique<harness::Program>(options);
    SetComPortSearchDirectories("", P().Sim().AdapterTree());
    const std::string name = P().Sim().SlavePath().substr(P().Sim().SlavePath().rfind('/') + 1);
    timer_ = P().Sim().AdapterTree() + "/class/tty/" + name + "/device/latency_timer";
  }
  void TearDown() override {
    program_.reset();
    SetComPortSearchDirectories("", "");
  }
  harness::Program& P() { return *program_; }
  std::string TimerText() {
    std::string text;
    std::getline(std::ifstream(timer_), text);
    return text;
  }
  std::unique_ptr<harness::Program> program_;
  std::string timer_;
};

TEST_F(LatencyTimer, TheProgramLowersItWhileConnectedAndPutsItBack) {
  P().Start();
  ASSERT_EQ(State.SensorConnected, 1) << P().MessageBox();
  EXPECT_EQ(P().MessageBox(), "TRY TO CONNECT!\nCHROMIK4 ANA SENSOR SIMULATOR V1.0\n\n");
  EXPECT_EQ(TimerText(), "1");
  EXPECT_EQ(P().Sim().AdapterHeldFrames(), 0u);
  CloseSensorLink();
  EXPECT_EQ(TimerText(), "16");
}

TEST_F(LatencyTimer, ATimerThatCannotBeLoweredIsNamedOncePerOpening) {
  std::filesystem::remove(timer_);
  std::filesystem::create_directory(timer_);
  P().Start();
  ASSERT_EQ(State.SensorConnected, 1) << P().MessageBox();
  const std::string notice = std::string("ATTENTION!!! THE USB ADAPTER OF ") + LastComOpenDevice() +
                             " HOLDS EVERY ANSWER BACK FOR 16 MS!\nSEE README: LOW LATENCY.\n\n";
  EXPECT_EQ(P().MessageBox(), "TRY TO CONNECT!\n" + notice + "CHROMIK4 ANA SENSOR SIMULATOR V1.0\n\n");
  EXPECT_GT(P().Sim().AdapterHeldFrames(), 0u);
  TryToConnect();
  EXPECT_EQ(P().MessageBox(), "TRY TO CONNECT!\n" + notice + "CHROMIK4 ANA SENSOR SIMULATOR V1.0\n\n" +
                                  "TRY TO CONNECT!\n" + notice + "CHROMIK4 ANA SENSOR SIMULATOR V1.0\n\n");
}

// [SECTION] Baud-rate change (serial only)

class BaudRate : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = true;
    options.baudIndex = 4;
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);
    ProcessSystemEvents();
    program_->Sim().ClearLog();
  }
  harness::Program& P() { return *program_; }
  void Change(int index) {
    ASSERT_TRUE(ui::op::PickIndex(Com(), COM_BAUDRATE, index));
    ProcessSystemEvents();
    UndimConnectedButtons();
    ASSERT_TRUE(ui::op::Press(Com(), COM_CHANGE_BAUDRATE));
    ProcessSystemEvents();
  }
  std::unique_ptr<harness::Program> program_;
};

TEST_F(BaudRate, ChangeSendsTheNewIndexAtTheOldRateAndReconnects) {
  const std::string before = P().MessageBox();
  Change(2);
  auto orders = P().Sim().Orders();
  ASSERT_GE(orders.size(), 4u);
  EXPECT_EQ(orders[0].order, 190);
  EXPECT_EQ(orders[0].param, 2);
  EXPECT_EQ(OrderNumbers(P().Sim()), (std::vector<int>{190, 7, 2, 2}));
  EXPECT_EQ(P().Sim().BaudIndex(), 2);
  EXPECT_EQ(SensorLink.BaudIndex, 2);
  EXPECT_EQ(P().MessageBox(), before + "TRY TO CHANGE BAUDRATE!\nSUCCESS!\nTRY TO CONNECT!\n"
                                        "CHROMIK4 ANA SENSOR SIMULATOR V1.0\n\n"
                                        "ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
  EXPECT_TRUE(P().ConnectedButtonsEnabled());
}

TEST_F(BaudRate, TheRateInUseIsChangedAsWell) {
  Change(4);
  EXPECT_EQ(OrderNumbers(P().Sim()), (std::vector<int>{190, 7, 2, 2}));
  EXPECT_NE(P().MessageBox().find("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n"), std::string::npos);
}

TEST_F(BaudRate, ARefusedChangeKeepsTheOldRate) {
  // The control unit refuses the order: reported, and no reconnect at a rate the sensor does not use.
  P().Sim().AddFault(sim::FaultRule{190, FaultKind::Status2, 0, -1});
  const std::string before = P().MessageBox();
  Change(1);
  EXPECT_EQ(P().MessageBox(), before + "TRY TO CHANGE BAUDRATE!\n"
                                        "COMMUNICATION ERROR ON CONTROL UNIT!\nYOU MAY HAVE TO REDUCE THE BAUDRATE!\n\n");
  EXPECT_EQ(OrderNumbers(P().Sim()), std::vector<int>{190});
  EXPECT_EQ(P().Sim().BaudIndex(), 4);
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_TRUE(P().ConnectedButtonsDimmed());
  EXPECT_FALSE(P().Dimmed(Com(), COM_TRY_CONNECT));
  // Back at the rate the sensor still uses, the operator connects again.
  ui::op::PickIndex(Com(), COM_BAUDRATE, 4);
  ui::op::Press(Com(), COM_TRY_CONNECT);
  ProcessSystemEvents();
  EXPECT_EQ(State.SensorConnected, 1);
}

TEST_F(BaudRate, NoAnswerToTheChangeStopsBeforeTheReconnect) {
  P().Sim().AddFault(sim::FaultRule{190, FaultKind::NoAnswer, 0, -1});
  const std::string before = P().MessageBox();
  Change(1);
  EXPECT_EQ(P().MessageBox(), before + "TRY TO CHANGE BAUDRATE!\n" + kTimeout + "\n\n");
  EXPECT_EQ(OrderNumbers(P().Sim()), std::vector<int>{190});
  EXPECT_EQ(SensorLink.BaudIndex, 1);  // the port stays open at the old rate until the next connect
  EXPECT_EQ(State.SensorConnected, 0);
}

// [SECTION] Dimming

TEST(Dimming, EachVariantTouchesItsControls) {
  harness::Options options;
  options.sensorPresent = false;
  harness::Program p(options);
  p.Start();
  const int m = Panels.Mainp, com = Com(), cal = Panels.Page[PAGE_CALIBRATION];
  const std::vector<std::pair<int, int>> transfer = {
      {m, MAINP_SEND}, {m, MAINP_GET}, {m, MAINP_RAM}, {m, MAINP_EEPROM}, {m, MAINP_FILE}};
  const std::vector<std::pair<int, int>> always = {{m, MAINP_GO},       {com, COM_TRY_CONNECT}, {com, COM_BAUDRATE},
                                                   {cal, CAL_SEND_CF},  {cal, CAL_GET_CF},      {cal, CAL_CALC_CF},
                                                   {cal, CAL_SELF_CALIBRATION}};
  SetButtonsDimmed(1, 1);  // GO: transfers stay usable
  for (auto [pn, c] : transfer) EXPECT_FALSE(p.Dimmed(pn, c)) << c;
  for (auto [pn, c] : always) EXPECT_TRUE(p.Dimmed(pn, c)) << c;
  EXPECT_TRUE(p.Dimmed(com, COM_CHANGE_BAUDRATE));
  EXPECT_FALSE(p.Dimmed(m, MAINP_STOP));
  SetButtonsDimmed(0, 0);
  for (auto [pn, c] : transfer) EXPECT_FALSE(p.Dimmed(pn, c)) << c;
  for (auto [pn, c] : always) EXPECT_FALSE(p.Dimmed(pn, c)) << c;
  EXPECT_TRUE(p.Dimmed(com, COM_CHANGE_BAUDRATE));  // only an identification brings it back
  EXPECT_TRUE(p.Dimmed(com, COM_GEN_HW_FILE));
  SetButtonsDimmed(0, 1);
  for (auto [pn, c] : transfer) EXPECT_TRUE(p.Dimmed(pn, c)) << c;
  for (auto [pn, c] : always) EXPECT_TRUE(p.Dimmed(pn, c)) << c;
  EXPECT_FALSE(p.Dimmed(m, MAINP_STOP));
}

}  // namespace
