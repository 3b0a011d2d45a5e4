// Speed of the Qt face: the pump's idle cost, painting of point-heavy graphs,
// and a full repaint of a busy page, also in a window twice its design size.
// Prints measurements; not a test.
//
//   QT_QPA_PLATFORM=offscreen ./chromik_ui_qt_bench
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/face.h"
#include "ui/headless.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

namespace {

int g_argc = 1;                  // QApplication keeps a reference to argc
char g_name[] = "chromik_ui_qt_bench";
char* g_argv[] = {g_name, nullptr};

// Lets Qt map and expose freshly shown windows: until then repaint() paints nothing.
void Settle() {
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Median of `runs` timings of `f`, in milliseconds.
template <typename F>
double MedianMs(int runs, F f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    double start = Seconds();
    f();
    t.push_back((Seconds() - start) * 1e3);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

void BenchPump() {
  const int calls = 2000000;
  ui::headless::Reset();
  double start = Seconds();
  for (int i = 0; i < calls; ++i) ProcessSystemEvents();
  double headless = (Seconds() - start) / calls;
  ui::qt::Start(g_argc, g_argv);
  start = Seconds();
  for (int i = 0; i < calls; ++i) ProcessSystemEvents();
  double qt = (Seconds() - start) / calls;
  std::printf("ProcessSystemEvents with nothing to do: headless %.0f ns, Qt face %.0f ns per call\n", headless * 1e9,
              qt * 1e9);
}

// Three graphs receiving one point each per frame, as recorded-value teaching does.
void BenchPointGraphs() {
  int panel = NewPanel(0, "TEACHP2", 0, 0, 520, 780);
  int graphs[3];
  for (int i = 0; i < 3; ++i) {
    graphs[i] = NewCtrlWithId(panel, i + 1, CTRL_GRAPH, "X/Y", 20 + (i / 2) * 250, 10 + (i % 2) * 380, 230, 370);
    SetAxisScalingMode(panel, graphs[i], VAL_XAXIS, VAL_MANUAL, 0, 4096);
    SetAxisScalingMode(panel, graphs[i], VAL_LEFT_YAXIS, VAL_MANUAL, 0, 4096);
  }
  DisplayPanel(panel);
  ui::qt::SyncNow();
  Settle();
  QWidget* window = ui::qt::PanelWidgetOf(panel);
  std::vector<QWidget*> widgets;
  for (int g : graphs) widgets.push_back(ui::qt::ControlWidget(panel, g));
  unsigned seed = 1;
  auto frame = [&](int points) {
    for (int k = 0; k < points; ++k) {
      seed = seed * 1103515245u + 12345u;
      double x = (seed >> 8) % 4096, y = (seed >> 4) % 4096;
      for (int g : graphs) {
        PlotPoint(panel, g, x, y, VAL_SOLID_SQUARE, 0xFF0000);
        SetGraphCursor(panel, g, 1, x, y);
      }
    }
    ui::qt::SyncNow();
    for (QWidget* w : widgets) w->repaint();
  };
  std::printf("graphs painted: %s\n", window->isVisible() && widgets[0]->isVisible() ? "yes" : "NO (not shown)");
  double early = MedianMs(50, [&] { frame(1); });
  for (int i = 0; i < 59900 / 100; ++i) frame(100);
  double late = MedianMs(50, [&] { frame(1); });
  std::printf("one point in each of 3 graphs plus repaint: %.3f ms at 0 points, %.3f ms at 60000 (ratio %.2f)\n",
              early, late, late / early);
  double warm = MedianMs(20, [&] {
    for (QWidget* w : widgets) w->repaint();
  });
  double cold = MedianMs(5, [&] {
    for (int g : graphs) SetAxisScalingMode(panel, g, VAL_XAXIS, VAL_MANUAL, 0, 4096 + (seed++ % 7));
    ui::qt::SyncNow();
    for (QWidget* w : widgets) w->repaint();
  });
  std::printf("full repaint of the 3 graphs with 60000 points each: %.3f ms, after a range change %.3f ms\n", warm,
              cold);
}

// A page as busy as the program's: a 31-row table, strip charts, graphs with 124 ellipses, displays.
void BenchBusyPage() {
  int panel = NewPanel(0, "busy", 0, 0, 548, 790);
  int table = NewCtrlWithId(panel, 1, CTRL_TABLE, "TEACH TABLE", 20, 4, 400, 280);
  SetTableSize(panel, table, 31, 6);
  for (int r = 1; r <= 31; ++r) {
    for (int c = 1; c <= 6; ++c) SetTableCellVal(panel, table, {r, c}, r * 10.0 + c);
  }
  int strip = NewCtrlWithId(panel, 2, CTRL_STRIP_CHART, "RGB", 20, 290, 160, 240);
  SetStripChartTraces(panel, strip, 3);
  std::vector<double> rgb(300);
  for (int i = 0; i < 300; ++i) rgb[i] = 1000 + (i * 37) % 2000;
  PlotStripChart(panel, strip, rgb.data(), 300);
  for (int g = 0; g < 3; ++g) {
    int graph = NewCtrlWithId(panel, 3 + g, CTRL_GRAPH, "X/Y", 200 + (g / 2) * 170, 290 + (g % 2) * 250, 150, 240);
    for (int r = 0; r < 31; ++r) PlotOval(panel, graph, r * 100, r * 90, r * 100 + 400, r * 90 + 400, 0x00FF00 + r, VAL_TRANSPARENT);
  }
  for (int d = 0; d < 20; ++d) {
    int id = NewCtrlWithId(panel, 10 + d, CTRL_NUMERIC, "X", 430 + (d / 10) * 50, 4 + (d % 10) * 78, 22, 70);
    SetCtrlAttribute(panel, id, ATTR_CTRL_MODE, VAL_INDICATOR);
    SetCtrlVal(panel, id, d * 11);
  }
  DisplayPanel(panel);
  ui::qt::SyncNow();
  Settle();
  QWidget* window = ui::qt::PanelWidgetOf(panel);
  auto measure = [&](const char* what) {
    window->repaint();
    double full = MedianMs(30, [&] { window->repaint(); });
    double frame = MedianMs(30, [&] {
      for (int d = 0; d < 20; ++d) SetCtrlVal(panel, 10 + d, d * 11 + (rand() % 100));
      PlotStripChart(panel, strip, rgb.data(), 300);
      for (int g = 0; g < 3; ++g) SetGraphCursor(panel, 3 + g, 1, rand() % 3000, rand() % 3000);
      ui::qt::SyncNow();
      window->repaint();
    });
    std::printf("busy page %s: full repaint %.3f ms, one measuring frame (sync + repaint) %.3f ms\n", what, full,
                frame);
  };
  measure("at its design size");
  // The window made twice the design size: everything in it at twice the pixels.
  window->resize(2 * 790, 2 * 548);
  Settle();
  measure("at twice its design size");
  window->resize(790, 548);
  Settle();

  // Frames as the measuring loop makes them, dispatching after each: painting is
  // coalesced to the screen rate, so the model updates do not wait for it.
  auto loop = [&](double seconds) {
    long frames = 0;
    double end = Seconds() + seconds;
    while (Seconds() < end) {
      for (int d = 0; d < 20; ++d) SetCtrlVal(panel, 10 + d, static_cast<int>(frames % 4096));
      PlotStripChart(panel, strip, rgb.data(), 300);
      for (int g = 0; g < 3; ++g) SetGraphCursor(panel, 3 + g, 1, frames % 3000, frames % 2000);
      ProcessSystemEvents();
      ++frames;
    }
    return frames / seconds;
  };
  long syncs = ui::qt::SyncCount();
  double withQt = loop(1.0);
  std::printf("measuring frames with the Qt view: %.0f per second, %ld syncs\n", withQt, ui::qt::SyncCount() - syncs);
  ui::SetFace(nullptr);
  double headless = loop(1.0);
  std::printf("measuring frames headless: %.0f per second (Qt view at %.0f%%)\n", headless, 100 * withQt / headless);
  ui::qt::Start(g_argc, g_argv);
}

}  // namespace

int main() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  BenchPump();
  BenchPointGraphs();
  BenchBusyPage();
  ui::qt::Stop();
  return 0;
}
