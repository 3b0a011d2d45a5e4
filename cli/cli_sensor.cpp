// identify, scope, cycle-time, baud and hardware-file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/program_state.h"
#include "calibration/calibration.h"
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "com232/connection.h"
#include "scope/scope.h"
#include "ui/ui.h"

namespace cli {
namespace {

// [SECTION] The armed capture's end: SIGINT, or the --seconds limit

struct CaptureWatch {
  bool waiting = false;    // RunScopeScan runs
  double limit = 0.0;      // seconds an armed capture may wait; 0 = no limit
  double armedAt = -1.0;   // Timer() when the capture was seen armed
  bool breakPosted = false;
  bool timedOut = false;   // broken off for the limit, not for a signal
};
CaptureWatch g_capture;

void BreakCapture(void*) { BreakScopeScan(); }

// The break button, pressed for the operator: once the capture is armed (an order 110 with 0
// before the sensor answered the start could cross it), as a callback at the next dispatch.
void ScopeTurn() {
  CaptureWatch& c = g_capture;
  if (!c.waiting || c.breakPosted || Scope.Running != 1) return;
  if (c.armedAt < 0) c.armedAt = Timer();
  const bool late = c.limit > 0 && Timer() - c.armedAt >= c.limit;
  if (!Interrupted() && !late) return;
  c.breakPosted = true;
  c.timedOut = !Interrupted();
  PostDeferredCall(BreakCapture, nullptr);
}

// "SCAN FREQ. [Hz]: 15.0": a display's label and its value with the digits it shows.
std::string Shown(int panel, int control) {
  std::string label;
  double value = 0;
  int digits = 0;
  GetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, &label);
  GetCtrlVal(panel, control, &value);
  GetCtrlAttribute(panel, control, ATTR_PRECISION, &digits);
  char text[160];
  std::snprintf(text, sizeof text, "%s: %.*f", label.c_str(), digits, value);
  return text;
}

}  // namespace

int RunIdentify(const CliOptions&) {
  if (const int status = Connect(); status != EXIT_DONE) return status;
  std::string text;
  GetCtrlVal(Panels.Datap, DATAP_STATUS, &text);  // the identification text as the window shows it
  std::printf("%s\n", text.c_str());
  return EXIT_DONE;
}

int RunCycleTime(const CliOptions&) {
  if (const int status = Connect(); status != EXIT_DONE) return status;
  MeasureCycleTime();
  UpdateScopeDeltas();
  if (const int status = CommunicationStatus(); status != EXIT_DONE) return status;
  const int page = Panels.Page[PAGE_SCOPE];
  std::printf("%s\n%s\n", Shown(page, SCOPE_SCAN_FREQ).c_str(), Shown(page, SCOPE_CYCLE_TIME).c_str());
  return EXIT_DONE;
}

int RunScope(const CliOptions& o) {
  const int page = Panels.Page[PAGE_SCOPE];
  const struct {
    const std::optional<int>& value;
    int control;
    const char* option;
  } fields[] = {{o.preTrigger, SCOPE_PRE_TRIGGER, "--pre-trigger"},
                {o.level, SCOPE_TRIGGER_LEVEL, "--level"},
                {o.scanRate, SCOPE_SCAN_RATE, "--scan-rate"}};
  for (const auto& f : fields) {
    if (!f.value) continue;
    if (const int s = CheckRange(o.command, page, f.control, *f.value, f.option); s != EXIT_DONE) return s;
  }
  if (const int status = Connect(); status != EXIT_DONE) return status;
  // The scope page as an operator would set it.
  if (o.trigger) SetCtrlVal(page, SCOPE_TRIGGER_MODE, *o.trigger);
  for (const auto& f : fields) {
    if (f.value) SetCtrlVal(page, f.control, *f.value);
  }
  if (o.signal) SetCtrlVal(page, SCOPE_REC_SIGNAL, *o.signal);

  // GET CYCLE TIME: the time axis of the CSV file needs it.
  MeasureCycleTime();
  UpdateScopeDeltas();
  if (const int status = CommunicationStatus(); status != EXIT_DONE) return status;
  if (Interrupted()) return InterruptedStatus();

  // SCAN, with SIGINT and the limit as its break button.
  g_capture = CaptureWatch{};
  g_capture.limit = o.seconds.value_or(0.0);
  g_capture.waiting = true;
  SetDispatchTurn(ScopeTurn);
  Scope.Running = 0;
  Scope.Drawn = 0;
  ResetScopeAxes();
  ShowChildPanel(Panels.Scopep);
  RunScopeScan();
  g_capture.waiting = false;
  SetDispatchTurn(nullptr);
  RelayMessageBox();

  if (Scope.Drawn == 1) {
    // SAVE CSV's writer, through a temporary file.
    if (WriteScopeCsv(o.file) != 1) {
      Say("cannot write " + o.file + ": " + std::strerror(errno));
      return EXIT_FILE;
    }
    if (Interrupted()) return InterruptedStatus();
    return State.SensorConnected == 1 ? EXIT_DONE : EXIT_COMMUNICATION;
  }
  if (g_capture.timedOut) {
    char text[128];
    std::snprintf(text, sizeof text, "no trigger within %g s: the capture was broken off", g_capture.limit);
    Say(text);
    return EXIT_COMMUNICATION;
  }
  if (Interrupted()) return InterruptedStatus();
  return EXIT_COMMUNICATION;
}

int RunBaud(const CliOptions& o) {
  if (ConnectionIsTcp()) return UsageError(o.command, "baud changes the rate of a serial line: not over TCP/IP");
  if (const int status = Connect(); status != EXIT_DONE) return status;
  SetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_BAUDRATE, o.newBaudIndex);
  const int changed = ChangeSensorBaudrate(false);
  RelayMessageBox();
  return changed == 1 ? EXIT_DONE : EXIT_COMMUNICATION;
}

int RunHardwareFile(const CliOptions& o) {
  FaceAnswers().file = o.file;
  if (const int status = Connect(); status != EXIT_DONE) return status;
  const int written = WriteHardwareFile();
  RelayMessageBox();
  if (written == 1) return EXIT_DONE;
  return State.SensorConnected == 1 ? EXIT_FILE : EXIT_COMMUNICATION;
}

}  // namespace cli
