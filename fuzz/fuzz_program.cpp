#include "fuzz/fuzz_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/Chromik4ANAv12.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "com232/link.h"
#include "com232/port_map.h"
#include "fuzz/fake_link.h"
#include "scope/scope.h"
#include "ui/face.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace fuzzprog {
namespace {

std::string g_dir;
std::string g_fileAnswer;

class FuzzFace : public ui::Face {
 public:
  void PumpPlatformEvents() override {
    fakelink::ServiceTcp();
    if (fakelink::ScriptDone()) {
      // Nothing more will come: time limits run out at once, untimed waits are broken off
      // (also with part of a header waiting, which no time limit ends).
      ui::headless::AdvanceClock(10.0);
      Scope.Running = 0;
      State.GoRunning = 0;
    }
  }
  void MessagePopup(const std::string&, const std::string&) override {}
  int ConfirmPopup(const std::string&, const std::string&) override { return 1; }
  int PromptPopup(const std::string&, const std::string&, std::string*, int) override { return -1; }
  int FileSelectPopup(const ui::FileSelectRequest&, std::string* path) override {
    if (g_fileAnswer.empty()) return VAL_NO_FILE_SELECTED;
    *path = g_fileAnswer;
    return VAL_EXISTING_FILE_SELECTED;
  }
};

FuzzFace g_face;

}  // namespace

void StartProgram() {
  if (!g_dir.empty()) return;
  // Files are written for every input: in memory (tmpfs) where there is one, as a
  // disk's file system would flush each rewritten file.
  char shm[] = "/dev/shm/chromik-fuzz-XXXXXX";
  char tmp[] = "/tmp/chromik-fuzz-XXXXXX";
  const char* dir = mkdtemp(shm);
  if (!dir) dir = mkdtemp(tmp);
  if (!dir) std::abort();
  g_dir = dir;
  // This machine's serial devices are no input of any target: an empty folder stands
  // for /dev, so that reading the settings does not list /dev for every input.
  const std::string noDevices = g_dir + "/dev";
  if (mkdir(noDevices.c_str(), 0700) != 0) std::abort();
  SetComPortSearchDirectories(noDevices, noDevices);
  ui::headless::Reset();
  ui::SetFace(&g_face);
  SetProgramDirectory(g_dir);
  ui::headless::UseTestClock(1000.0, 0.0);
  ui::headless::SetWaitHook([](double) {
    if (fakelink::PushOnWait()) fakelink::SendNextAnswer();
  });
  RegisterPanelResources();
  if (LoadPanelSet() != 1) std::abort();
  fakelink::BeginScript(nullptr, 0);
  InitializeGui();
  std::atexit([] {
    const std::string cmd = "rm -rf '" + g_dir + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", g_dir.c_str());
  });
}

const std::string& ScratchDir() { return g_dir; }

void BeginRun(const std::uint8_t* script, std::size_t size) {
  // Recordings append to one record file in memory (tmpfs): start it again now and then.
  struct stat st;
  if (stat(State.RecordFilePath.c_str(), &st) == 0 && st.st_size > (64 << 20)) unlink(State.RecordFilePath.c_str());
  fakelink::BeginScript(script, size);
  State.GoRunning = 0;
  State.SendRequested = 0;
  State.GetRequested = 0;
  Scope.Running = 0;
  g_fileAnswer.clear();
  ResetTextBox(Panels.Page[PAGE_CONNECTION], COM_STATUS, "");
}

void UseTransport(int transport) {
  const int com = Panels.Page[PAGE_CONNECTION];
  SetCtrlVal(com, COM_PROTOCOL, transport);
  SensorLink.TransportKind = static_cast<std::uint16_t>(transport);
  if (transport == 0) {
    SensorLink.ComPort = 1;
    OpenSerialPort();
  } else {
    std::snprintf(SensorLink.HostAddress, sizeof SensorLink.HostAddress, "%s", "127.0.0.1");
    SensorLink.TcpPortNumber = 10001;
    if (!SensorLink.TcpConnected) ConnectTcpServer();
  }
  State.SensorConnected = 1;
}

void SetFileAnswer(const std::string& path) { g_fileAnswer = path; }

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace fuzzprog
