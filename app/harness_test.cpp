#include "app/harness_test.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "app/Chromik4ANAv12.h"
#include "com232/port_map.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace harness {

Scratch::Scratch() {
  ui::headless::Reset();
  char tmpl[] = "/tmp/chromik-scratch-XXXXXX";
  dir_ = mkdtemp(tmpl);
  SetProgramDirectory(dir_);
  RegisterPanelResources();
  SetComPortDevice(1, dir_ + "/no-such-port");
  ui::headless::UseTestClock(1000.0, 0.02);
}

Scratch::~Scratch() {
  ClearComPortDevices();
  ui::headless::Reset();
  std::string cmd = "rm -rf '" + dir_ + "'";
  (void)std::system(cmd.c_str());
}

Program::Program(Options options) : options_(std::move(options)) {
  ui::headless::Reset();
  char tmpl[] = "/tmp/chromik-program-XXXXXX";
  dir_ = mkdtemp(tmpl);
  SetProgramDirectory(dir_);
  RegisterPanelResources();
  StartSimulator(0);
  const std::string device = SerialDevice();
  // The settings file points the program at the simulator, or at nothing.
  std::ofstream f(dir_ + "/PanelSettings.cfg", std::ios::binary);
  f << "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n[COMMUNICATION SETTINGS]\r\n";
  if (options_.serial) {
    SetComPortDevice(1, options_.sensorPresent ? device : dir_ + "/no-port");
    f << "COMPROTOCOL = 0\r\nCOMPORT = 1\r\nBAUDRATE = " << options_.baudIndex << "\r\n";
  } else {
    int port = options_.sensorPresent ? sim_->Port() : 1;  // nothing listens on port 1
    f << "COMPROTOCOL = 1\r\nIP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" << port << "\"\r\n";
  }
  f << "\r\n";
  f.close();
  ui::headless::UseTestClock(1000.0, options_.realWait);
}

Program::~Program() {
  if (Panels.Mainp > 0) ShutdownProgram();
  sim_->Stop();
  ClearComPortDevices();
  ui::headless::Reset();
  std::string cmd = "rm -rf '" + dir_ + "'";
  (void)std::system(cmd.c_str());
}

void Program::Unplug() { sim_->Stop(); }

void Program::Replug() {
  const std::uint16_t port = options_.serial ? 0 : sim_->Port();
  sim_->Stop();
  StartSimulator(port);
  if (options_.serial) SetComPortDevice(1, SerialDevice());
}

void Program::StartSimulator(std::uint16_t port) {
  sim::SimConfig config = options_.sim;
  config.transport = options_.serial ? sim::Transport::Pty : sim::Transport::Tcp;
  config.port = port;
  config.baudIndex = options_.baudIndex;
  sim_ = std::make_unique<sim::SensorSim>(config);
  if (!sim_->Start()) std::abort();
}

std::string Program::SerialDevice() {
  if (!options_.serial || !options_.deviceLink) return sim_->SlavePath();
  const std::string link = dir_ + "/ttyUSB-sensor";
  unlink(link.c_str());
  if (symlink(sim_->SlavePath().c_str(), link.c_str()) != 0) std::abort();
  return link;
}

void Program::Start() {
  if (LoadPanelSet() != 1) std::abort();
  InitializeGui();
}

std::string Program::MessageBox() const {
  std::string text;
  GetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_STATUS, &text);
  return text;
}

std::string Program::StatusLine() const {
  std::string text;
  GetCtrlVal(Panels.Datap, DATAP_STATUS, &text);
  return text;
}

int Program::ActiveMainPage() const {
  int page = -1;
  GetActiveTabPage(Panels.Mainp, MAINP_TAB, &page);
  return page;
}

bool Program::Dimmed(int panel, int control) const {
  int dimmed = 0;
  GetCtrlAttribute(panel, control, ATTR_DIMMED, &dimmed);
  return dimmed != 0;
}

bool Program::ConnectedButtonsDimmed() const {
  const int com = Panels.Page[PAGE_CONNECTION];
  return Dimmed(com, COM_ACCEPT) && Dimmed(com, COM_CHANGE_BAUDRATE) && Dimmed(com, COM_GEN_HW_FILE);
}

bool Program::ConnectedButtonsEnabled() const {
  const int com = Panels.Page[PAGE_CONNECTION];
  return !Dimmed(com, COM_ACCEPT) && !Dimmed(com, COM_CHANGE_BAUDRATE) && !Dimmed(com, COM_GEN_HW_FILE);
}

bool Program::RunUntil(const std::function<bool()>& done, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    ProcessSystemEvents();
    usleep(200);
  }
  return true;
}

void Program::Settle() {
  for (int i = 0; i < 5; ++i) ProcessSystemEvents();
}

}  // namespace harness
