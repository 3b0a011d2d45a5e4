// A long continuous recording through the recorder's per-frame path: every frame is
// decoded, drawn into the seven RecordGraph lines, shown as GO shows it, fed to the
// live charts and appended to the record file. The interval wait and the exchange are
// left out (at the 0.25 s minimum a million frames would take three days).
//
//   chromik-record-bench [frames] [--qt]
// Prints the time per frame, the peak resident memory and whether every line is in the file.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "bench/bench_figures.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "com232/frame_format.h"
#include "recorder/recorder.h"
#include "ui/headless.h"
#include "ui/model.h"
#ifdef CHROMIK_BENCH_QT
#include "ui/qt/qt_face.h"
#endif
#include "ui/ui.h"

int main(int argc, char** argv) {
  long frames = 1000000;
  bool qt = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--qt") == 0) {
      qt = true;
    } else {
      frames = std::atol(argv[i]);
    }
  }
  harness::Program p;
#ifdef CHROMIK_BENCH_QT
  if (qt) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!ui::qt::Start(argc, argv)) return 1;
  }
#else
  if (qt) std::fprintf(stderr, "built without the Qt view; running headless\n");
  qt = false;
#endif
  p.Start();
  ui::headless::UseRealClock();
  if (State.SensorConnected != 1) {
    std::fprintf(stderr, "no connection to the simulator\n");
    return 1;
  }
  // One real frame from the simulator as the pattern of every recorded one.
  BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
  if (ExchangeOrder(8) != 1) return 1;
  CopyResponseToReceiveWords();
  State.RecordFilePath = p.Dir() + "/RecordFile.dat";
  State.PanelId = "bench";
  WriteRecordHeader();
  ShowChildPanel(Panels.Graphp);
  ClearRecordGraph();
  Recorder = RecorderState{};
  const int page = Panels.Page[PAGE_RECORDER];
  ProcessSystemEvents();
  const long before = bench::ResidentKilobytes();
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < frames; ++i) {
    UnpackMeasuredValues();
    // Values that move, so the lines have slopes and the thinning has work.
    MeasuredValues.Red = static_cast<std::uint16_t>(i % 4096);
    MeasuredValues.Green = static_cast<std::uint16_t>((i * 7) % 4096);
    MeasuredValues.Temp = static_cast<std::uint16_t>(300 + (i / 1000) % 50);
    TakeRecordedFrame();
    Recorder.FrameCounter += 1.0;
    SetCtrlVal(page, REC_FRAME_COUNTER, Recorder.FrameCounter);
    if ((i & 255) == 0) ProcessSystemEvents();
  }
  ProcessSystemEvents();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long after = bench::ResidentKilobytes();
  const long long lines = bench::CountLines(State.RecordFilePath) - 5;  // header: LF, title, PANEL ID, empty, titles
  std::size_t points = 0, chains = 0;
  for (int g = GRAPHP_GRAPH_RED; g <= GRAPHP_GRAPH_TEMP; ++g) {
    const ui::Control* c = ui::FindControl(Panels.Graphp, g);
    if (c && c->graph) {
      chains += c->graph->chains.size();
      for (const auto& chain : c->graph->chains) points += chain.Points();
    }
  }
  std::printf("%s: %ld frames in %.2f s, %.1f us per frame\n", qt ? "Qt view offscreen" : "headless", frames, seconds,
              1e6 * seconds / frames);
  std::printf("resident memory: %.1f MB before, %.1f MB after, peak %.1f MB\n", before / 1024.0, after / 1024.0,
              bench::PeakKilobytes() / 1024.0);
  std::printf("RecordGraph: %zu points kept in %zu chains\n", points, chains);
  std::printf("record file: %lld lines of %ld frames (%s), %lld lost\n", lines, frames,
              lines == frames ? "complete" : "INCOMPLETE", Recorder.LinesLost);
  ShutdownProgram();
#ifdef CHROMIK_BENCH_QT
  if (qt) ui::qt::Stop();
#endif
  return lines == frames ? 0 : 1;
}
