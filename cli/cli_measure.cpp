// watch and record: measured frames to standard output and into the record file.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/panel_settings.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "cli/watch_lines.h"
#include "measurement/go_mode.h"
#include "measurement/measured_values.h"
#include "recorder/recorder.h"
#include "ui/ui.h"

namespace cli {
namespace {

// [SECTION] watch

LineOutput* g_watchOutput = nullptr;  // the running watch's standard output

// Lines that waited long enough go out while the loop waits for a slow sensor too.
void WatchTurn() {
  if (g_watchOutput && g_watchOutput->Due(Timer())) g_watchOutput->Flush();
}

// A failed write to standard output: a reader that went away (watch | head) ends the watch
// as done; anything else is a file error.
int OutputFailed() {
  if (errno == EPIPE) return EXIT_DONE;
  Say(std::string("cannot write to standard output: ") + std::strerror(errno));
  return EXIT_FILE;
}

// [SECTION] record

constexpr const char* kRightFile = "Are you sure, that you have selected the right file name?";
constexpr const char* kExistingFile = "File already exist! \nDo you want to select existing file?";
constexpr const char* kSaveWarning =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be saved.";

double g_progressDrawn = -1.0;  // Timer() of the last progress line

// SIGINT is the recording's STOP button; the progress line follows the record page's counters.
void RecordTurn() {
  if (Interrupted()) State.GoRunning = 0;
  const double now = Timer();
  if (now - g_progressDrawn < 0.2) return;
  g_progressDrawn = now;
  char text[96];
  if (Recorder.RecordMode == RECORD_TRIGGERED) {
    std::snprintf(text, sizeof text, "RECORDED FRAMES: %.0f", Recorder.FrameCounter);
  } else {
    std::snprintf(text, sizeof text, "RECORDED VALUES: %u   REMAINING: %d", static_cast<unsigned>(Recorder.RecordedCount),
                  static_cast<int>(Recorder.RecordCount) - Recorder.RecordedCount);
  }
  ShowProgress(text);
}

// The record file as the record page would be given it: a new file through the dialog (with
// its header), an existing one replaced through the dialog's Yes, or appended to as the window
// does with a path from its settings. EXIT_DONE, or EXIT_FILE (reported).
int ChooseRecordFile(const CliOptions& o, bool existing) {
  if (existing && o.append) {
    State.RecordFilePath = o.file;
    ShowRecordFilePath();
    return EXIT_DONE;
  }
  FaceAnswers().file = o.file;
  FaceAnswers().known.emplace_back(kExistingFile, 1);  // only reached with --overwrite
  SelectRecordFile();
  long long size = 0;
  if (State.RecordFilePath == o.file && FileExists(o.file, &size) && size > 0) return EXIT_DONE;
  // The recorder writes silently; the reason comes from trying the same open once more.
  const int fd = open(o.file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  const std::string reason = fd < 0 ? std::strerror(errno) : "the header could not be written";
  if (fd >= 0) close(fd);
  Say("cannot write the record file " + o.file + ": " + reason);
  return EXIT_FILE;
}

}  // namespace

int RunWatch(const CliOptions& o) {
  if (const int status = Connect(); status != EXIT_DONE) return status;
  LineOutput out(STDOUT_FILENO);
  g_watchOutput = &out;
  SetDispatchTurn(WatchTurn);
  if (out.Add(WatchHeader(o.format), Timer()) != 1) return OutputFailed();
  IsoClock clock;
  const double end = o.seconds ? Timer() + *o.seconds : 0.0;
  std::string line;
  long frames = 0;
  while (!Interrupted() && (!o.count || frames < *o.count) && (!o.seconds || Timer() < end)) {
    if (ExchangeMeasuredFrame() != 1) {
      out.Flush();
      RelayMessageBox();
      return EXIT_COMMUNICATION;
    }
    line.clear();
    AppendWatchLine(&line, o.format, clock.Text(std::chrono::system_clock::now()), MeasuredValues);
    ++frames;
    if (out.Add(line, Timer()) != 1) return OutputFailed();
  }
  if (out.Flush() != 1) return OutputFailed();
  return Interrupted() ? InterruptedStatus() : EXIT_DONE;
}

int RunRecord(const CliOptions& o) {
  const int page = Panels.Page[PAGE_RECORDER];
  if (!o.triggered) {
    if (const int s = CheckRange(o.command, page, REC_VALUES, static_cast<double>(*o.count), "--count"); s != EXIT_DONE) {
      return s;
    }
    if (o.interval) {
      if (const int s = CheckRange(o.command, page, REC_INTERVAL, *o.interval, "--interval"); s != EXIT_DONE) return s;
    }
  }
  if (o.panelId && o.panelId->size() > static_cast<std::size_t>(PANEL_ID_LIMIT)) {
    return UsageError(o.command, "--panel-id holds at most " + std::to_string(PANEL_ID_LIMIT) + " characters");
  }
  const bool existing = FileExists(o.file, nullptr);
  if (existing && !o.append && !o.overwrite) {
    Say(o.file + " exists: --append adds lines to it, --overwrite replaces it");
    return EXIT_FILE;
  }
  // The recorder would find out line by line, after the whole recording.
  if (existing && access(o.file.c_str(), W_OK) != 0) {
    Say("cannot write the record file " + o.file + ": " + std::strerror(errno));
    return EXIT_FILE;
  }
  if (const int status = Connect(); status != EXIT_DONE) return status;

  // The record page as an operator would set it.
  State.PanelId = o.panelId.value_or("");
  ShowPanelId();
  SetCtrlVal(page, REC_MODE, static_cast<int>(o.triggered ? RECORD_TRIGGERED : RECORD_COUNTED));
  Recorder.RecordMode = o.triggered ? RECORD_TRIGGERED : RECORD_COUNTED;
  ShowRecordControls();
  if (!o.triggered) {
    SetCtrlVal(page, REC_VALUES, static_cast<double>(*o.count));
    if (o.interval) SetCtrlVal(page, REC_INTERVAL, *o.interval);
    ComputeRecordTime();
    if (o.interval && *o.interval < Recorder.RecordInterval) {
      char text[96];
      std::snprintf(text, sizeof text, "an interval of %g s is below the shortest: recording every %g s", *o.interval,
                    Recorder.RecordInterval);
      Say(text);
    }
  }
  FaceAnswers().known.emplace_back(kRightFile, 1);  // the file was named on the command line
  FaceAnswers().quiet.emplace_back(kSaveWarning);
  if (const int status = ChooseRecordFile(o, existing); status != EXIT_DONE) return status;
  if (Interrupted()) return InterruptedStatus();

  SetDispatchTurn(RecordTurn);
  if (o.triggered) {
    Recorder.TriggeredLimit = o.count ? static_cast<double>(*o.count) : 0.0;
    RunTriggeredRecording();
  } else {
    ClearRecordGraph();
    RunTimedRecording();
  }
  SetDispatchTurn(nullptr);
  ShowProgress("");
  RelayMessageBox();
  if (Recorder.LinesLost > 0) return EXIT_FILE;
  if (Interrupted()) return InterruptedStatus();
  return State.SensorConnected == 1 ? EXIT_DONE : EXIT_COMMUNICATION;
}

}  // namespace cli
