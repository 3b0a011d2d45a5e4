// Recorded-value teaching on TEACHP2 with the Qt view offscreen: the cost of a
// recorded point as the store fills to 60000, and a full repaint of the three
// graphs holding 60000 points each. Not a test: it prints figures from one run.
//
//   QT_QPA_PLATFORM=offscreen chromik-teach-bench
#include <QCoreApplication>
#include <QWidget>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "measurement/measured_values.h"
#include "teach/recorded_teach.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

namespace {

int g_argc = 1;
char g_name[] = "chromik-teach-bench";
char* g_argv[] = {g_name, nullptr};

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// CPU time of this thread: on a loaded machine wall time also counts other processes' turns.
double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

struct Timing {
  double wallMs, cpuMs;  // medians
};

template <typename F>
Timing MedianMs(int runs, F f) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    double start = Now(), cpuStart = CpuNow();
    f();
    cpu.push_back((CpuNow() - cpuStart) * 1e3);
    wall.push_back((Now() - start) * 1e3);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

unsigned g_seed = 1;
void NextFrame() {
  g_seed = g_seed * 1103515245u + 12345u;
  MeasuredValues.X = static_cast<std::uint16_t>(1000 + (g_seed >> 8) % 2000);
  MeasuredValues.Y = static_cast<std::uint16_t>(800 + (g_seed >> 12) % 1500);
  MeasuredValues.Int = static_cast<std::uint16_t>(200 + (g_seed >> 4) % 3500);
}

}  // namespace

int main() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  harness::Scratch scratch;  // panels in a temporary directory, no sensor behind them
  if (!ui::qt::Start(g_argc, g_argv)) return 1;
  if (LoadPanelSet() < 0) return 1;
  InitializeGui();
  ShowChildPanel(Panels.Teachp2);
  ui::qt::SyncNow();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  std::vector<QWidget*> graphs;
  for (int id : {TP2_GRAPH_XY, TP2_GRAPH_XINT, TP2_GRAPH_YINT}) graphs.push_back(ui::qt::ControlWidget(Panels.Teachp2, id));
  std::printf("graphs shown: %s\n", graphs[0] && graphs[0]->isVisible() ? "yes" : "NO");

  // Points as the recording loop adds them, dispatching after each (the exchange's wait
  // does): painting is coalesced to the screen rate and included here.
  RecordedPointCount = 0;
  const int block = 2000;
  std::vector<double> perPointUs;
  while (RecordedPointCount < RECORDED_POINTS_MAX) {
    double start = CpuNow();
    for (int k = 0; k < block && RecordedPointCount < RECORDED_POINTS_MAX; ++k) {
      NextFrame();
      AddRecordedPoint();
      ProcessSystemEvents();
    }
    perPointUs.push_back((CpuNow() - start) / block * 1e6);
  }
  std::printf("CPU per point (3 plots, 3 cursors, 4 displays, dispatch incl. coalesced repaints), by blocks of %d:\n ",
              block);
  for (double us : perPointUs) std::printf(" %.1f", us);
  std::printf(" us\n  first block %.1f us, last block %.1f us: ratio %.2f\n", perPointUs.front(), perPointUs.back(),
              perPointUs.back() / perPointUs.front());

  // One point and its repaint at 60000, the view caught up.
  RecordedPointCount = RECORDED_POINTS_MAX - 1;
  ui::qt::SyncNow();
  for (QWidget* w : graphs) w->repaint();
  Timing onePoint = MedianMs(1, [&] {
    NextFrame();
    AddRecordedPoint();
    ui::qt::SyncNow();
    for (QWidget* w : graphs) w->repaint();
  });
  std::printf("the 60000th point with an immediate repaint of the 3 graphs: %.3f ms (CPU %.3f ms)\n", onePoint.wallMs,
              onePoint.cpuMs);

  Timing warm = MedianMs(21, [&] {
    for (QWidget* w : graphs) w->repaint();
  });
  int step = 0;
  Timing cold = MedianMs(7, [&] {
    // A new range: every graph repaints its 60000 points from scratch.
    for (int id : {TP2_GRAPH_XY, TP2_GRAPH_XINT, TP2_GRAPH_YINT}) {
      SetAxisScalingMode(Panels.Teachp2, id, VAL_XAXIS, VAL_MANUAL, 0, 4096 + (++step % 5));
      SetAxisScalingMode(Panels.Teachp2, id, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 4096 + (step % 3));
    }
    ui::qt::SyncNow();
    for (QWidget* w : graphs) w->repaint();
  });
  std::printf("full repaint of the 3 graphs with 60000 points each: cached %.3f ms (CPU %.3f), from scratch %.3f ms "
              "(CPU %.3f)\n",
              warm.wallMs, warm.cpuMs, cold.wallMs, cold.cpuMs);
  ShutdownProgram();
  ui::qt::Stop();
  return 0;
}
