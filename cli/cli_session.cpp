// Start-up, connection and interruption of one command-line run.
#include "cli/cli_session.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "app/Chromik4ANAv12.h"
#include "app/locations.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "com232/connection.h"
#include "com232/port_map.h"
#include "com232/rs232.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "ui/ui.h"

namespace cli {
namespace {

// The port number a device path given with --serial is opened under; the window's numbers
// of the machine's ports stay as they are below it.
constexpr int kDevicePort = RS232_MAX_PORT;

int g_signal = 0;  // the termination signal that arrived, seen at dispatch; 0 before

// Runs during dispatch, on the one thread, like a STOP button's callback.
void OnTerminationSignal(int signalNumber) { g_signal = signalNumber; }

struct sigaction g_runtimeAction[2];     // the runtime's handlers of SIGINT and SIGTERM
volatile sig_atomic_t g_signalsSeen = 0;  // signals received, counted in the handler itself

// The first signal goes to the runtime, which hands it to the dispatch; a second one ends the
// program at once, even in a wait that dispatches nothing (a TCP connect): the operator insists.
// Record lines and files written through a temporary file are whole whenever it ends.
void OnSignalReceived(int signalNumber) {
  if (g_signalsSeen > 0) _exit(128 + signalNumber);
  g_signalsSeen = 1;
  const struct sigaction& runtime = g_runtimeAction[signalNumber == SIGINT ? 0 : 1];
  if (runtime.sa_handler != SIG_DFL && runtime.sa_handler != SIG_IGN) runtime.sa_handler(signalNumber);
}

void CatchTerminationSignals() {
  InstallTerminationHandler(OnTerminationSignal);
  struct sigaction ours {};
  ours.sa_handler = OnSignalReceived;
  sigemptyset(&ours.sa_mask);
  ours.sa_flags = SA_RESTART;
  sigaction(SIGINT, &ours, &g_runtimeAction[0]);
  sigaction(SIGTERM, &ours, &g_runtimeAction[1]);
}

}  // namespace

int StartProgram(const Answers& answers) {
  InstallFace(answers);
  RegisterPanelResources();
  if (LoadPanelSet() != 1) {
    Say("the program's panels could not be built");
    return EXIT_COMMUNICATION;
  }
  InitializeProgramState();
  ReadParametersFromPanel();
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  ApplyModeRulesQuietly();
  CatchTerminationSignals();
  // A closed standard output (watch | head) shows as a failed write, not as the end of the program.
  signal(SIGPIPE, SIG_IGN);
  return EXIT_DONE;
}

int SetConnection(const CliOptions& o) {
  const int com = Panels.Page[PAGE_CONNECTION];
  if (o.tcp) {
    SetCtrlVal(com, COM_PROTOCOL, 1);
    SetCtrlVal(com, COM_IP_ADRESS, o.host.c_str());
    SetCtrlVal(com, COM_PORT_NUMBER, o.tcpPort.c_str());
  } else if (o.serial) {
    int port = o.comPort;
    if (!o.device.empty()) {
      port = kDevicePort;
      SetComPortDevice(port, o.device);
    }
    SetCtrlVal(com, COM_PROTOCOL, 0);
    FillComPortSelector();
    SelectComPort(port);
    SetCtrlVal(com, COM_BAUDRATE, o.baudIndex.value_or(4));
  } else {
    // The window's file, read as the window reads it at start-up; never written here.
    State.PanelSettingsPath = FindFilePlaces().project + "/PanelSettings.cfg";
    if (!FileExists(State.PanelSettingsPath, nullptr)) {
      return UsageError(o.command, "no saved communication settings in " + State.PanelSettingsPath +
                                       ": give --tcp HOST or --serial DEVICE");
    }
    ReadCommunicationSettings();
  }
  ShowTransportSelectors();
  return EXIT_DONE;
}

int Connect() {
  if (OpenTransportFromPage() == 1 && SendIdentification() == 1) {
    SkipMessageBox();  // the window's notes of a connection that worked
    return EXIT_DONE;
  }
  RelayMessageBox();
  return EXIT_COMMUNICATION;
}

bool ConnectionIsTcp() {
  int protocol = 0;
  GetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_PROTOCOL, &protocol);
  return protocol == 1;
}

int UsageError(Command command, const std::string& reason) {
  Say(reason);
  std::fprintf(stderr, "%s\n", UsageLine(command).c_str());
  return EXIT_USAGE;
}

int CheckRange(Command command, int panel, int control, double value, const char* option) {
  double low = 0, high = 0;
  GetCtrlAttribute(panel, control, ATTR_MIN_VALUE, &low);
  GetCtrlAttribute(panel, control, ATTR_MAX_VALUE, &high);
  if (value >= low && value <= high) return EXIT_DONE;
  char text[160];
  std::snprintf(text, sizeof text, "%s %g is out of range (%g..%g)", option, value, low, high);
  return UsageError(command, text);
}

int CommunicationStatus() {
  RelayMessageBox();
  return State.SensorConnected == 1 ? EXIT_DONE : EXIT_COMMUNICATION;
}

bool Interrupted() { return g_signal != 0; }

int InterruptedStatus() { return 128 + (g_signal != 0 ? g_signal : SIGINT); }

}  // namespace cli
