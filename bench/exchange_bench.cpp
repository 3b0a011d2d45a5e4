// Exchange and GO-loop benchmarks against the simulator. Not a test: it prints
// rates side by side, measured in one run, and their ratios.
//
//   chromik-bench [seconds-per-measurement] [rounds] [serial]   ("serial": the serial-line figures only)
//
// Each pair (the program and a bare loop over the same socket or pseudo-terminal)
// runs by turns, `rounds` times (at least 5); the figures are the medians of the
// rounds, with the bare loop's spread beside them. A machine whose 1-minute load
// average was above 0.5 at the start makes the run "machine busy, figures not
// comparable": the bare loop then slows down with the program and hides what the
// program itself costs.
#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "bench/bare_loops.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "com232/frame_format.h"
#include "com232/link.h"
#include "com232/port_map.h"
#include "measurement/go_mode.h"
#include "measurement/live_graphs.h"
#include "measurement/measured_values.h"
#include "teach/region_plot.h"
#include "sim/sensor_data.h"
#include "ui/headless.h"
#include "ui/operate.h"
#ifdef CHROMIK_BENCH_QT
#include <QCoreApplication>
#include <QWidget>

#include "ui/qt/qt_face.h"
#endif
#include "ui/ui.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

// The program's own exchange of order 8, with its waits and event dispatch.
double ProgramExchangeRate(double seconds) {
  long count = 0;
  const auto start = Clock::now();
  while (Seconds(start, Clock::now()) < seconds) {
    BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
    if (ExchangeOrder(8) != 1) {
      std::fprintf(stderr, "exchange failed: %s\n", Frame.CommMessage);
      std::exit(1);
    }
    ++count;
  }
  return count / Seconds(start, Clock::now());
}

// Runs GO for `seconds` (STOP is pressed from another thread, as by the operator); frames per second.
double GoLoopRate(harness::Program& program, double seconds, double* cpuShare) {
  const std::size_t before = program.Sim().OrderCount();
  std::thread stopper([seconds] {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  const double cpu0 = CpuSeconds();
  const auto start = Clock::now();
  if (!ui::op::Press(Panels.Mainp, MAINP_GO)) {
    std::fprintf(stderr, "GO cannot be pressed\n");
    std::exit(1);
  }
  ProcessSystemEvents();
  const double wall = Seconds(start, Clock::now());
  stopper.join();
  if (cpuShare) *cpuShare = (CpuSeconds() - cpu0) / wall;
  return (program.Sim().OrderCount() - before) / wall;
}

// The busiest DATAP page: colours evaluated in X Y INT 3D, so the fourth page with its
// three projection graphs (31 taught ellipses each, cursors) and RGB strip chart is in use.
void ChooseBusiestPage(harness::Program& p) {
  sim::ParaSet set = p.Sim().RamSet(0);
  set.para[sim::DIGITAL_OUTMODE] = 2;
  set.para[sim::CALCULATION_MODE] = 2;
  p.Sim().SetRamSet(0, set);
}

// [SECTION] Rounds and their medians

constexpr double kQuietLoad = 0.5;  // 1-minute load average above which figures are not comparable

double OneMinuteLoad() {
  std::ifstream in("/proc/loadavg");
  double load = -1;
  in >> load;
  return load;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Rates of the program and of its reference, measured by turns, and their ratio per round.
struct Rounds {
  std::vector<double> program, reference, ratio;
};

// Runs `program` and `reference` `rounds` times by turns, the one starting that went second
// the round before, so that a drift of the machine weighs on both alike.
Rounds ByTurns(int rounds, const std::function<double()>& program, const std::function<double()>& reference) {
  Rounds r;
  for (int i = 0; i < rounds; ++i) {
    double a, b;
    if (i % 2 == 0) {
      a = program();
      b = reference();
    } else {
      b = reference();
      a = program();
    }
    r.program.push_back(a);
    r.reference.push_back(b);
    r.ratio.push_back(b > 0 ? a / b : 0);
  }
  return r;
}

// "program N /s   bare busy loop M /s   ratio R   (bare loop lo..hi /s, spread S %)"
void PrintRounds(const char* what, const Rounds& r, const char* reference = "bare busy loop") {
  const double bare = Median(r.reference);
  const auto [lo, hi] = std::minmax_element(r.reference.begin(), r.reference.end());
  std::printf("%-32s program %8.0f /s   %s %8.0f /s   ratio %.3f   (%s %.0f..%.0f /s, spread %.1f %%)\n", what,
              Median(r.program), reference, bare, Median(r.ratio), reference, *lo, *hi,
              bare > 0 ? 100 * (*hi - *lo) / bare : 0.0);
}

// GO and the bare loop over the simulator's socket, by turns: the bare loop needs the
// simulator's only connection, so the program steps aside for it.
Rounds GoBesideBareLoop(harness::Program& p, double seconds, int rounds) {
  return ByTurns(
      rounds, [&] { return GoLoopRate(p, seconds, nullptr); },
      [&] {
        CloseSensorLink();
        const double bare = BareLoopRate(p.Sim().Port(), seconds);
        ConnectTcpServer();
        return bare;
      });
}

void Start(harness::Program& p) {
  p.Start();
  ui::headless::UseRealClock();
  if (State.SensorConnected != 1) {
    std::fprintf(stderr, "no connection to the simulator\n");
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double t = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int rounds = std::max(5, argc > 2 ? std::atoi(argv[2]) : 5);
  // "serial" as third argument: only the figures of the serial line.
  const bool serialOnly = argc > 3 && std::string(argv[3]) == "serial";
  const double load = OneMinuteLoad();
  const bool busy = load > kQuietLoad;
  const std::string verdict =
      busy ? "machine busy, figures not comparable" : "quiet machine (1-minute load average 0.5 or less)";
  std::printf("1-minute load average at the start %.2f: %s\n", load, verdict.c_str());
  std::printf("measurement time %.1f s each, %d rounds by turns, medians of the rounds;\n"
              "simulator in-process, loopback TCP unless stated\n\n",
              t, rounds);

  if (!serialOnly) {
    harness::Program p;
    Start(p);
    const Rounds exchange = ByTurns(
        rounds, [&] { return ProgramExchangeRate(t); },
        [&] {
          CloseSensorLink();
          const double bare = BareLoopRate(p.Sim().Port(), t);
          ConnectTcpServer();
          return bare;
        });
    PrintRounds("exchange (order 8):", exchange);
    PrintRounds("GO loop, headless:", GoBesideBareLoop(p, t, rounds));

    // A sensor that takes 50 ms to answer: processor time while waiting.
    sim::FaultRule late{frame::ORDER_MEASURED_VALUES, sim::FaultKind::LateAnswer, 0, 50};
    p.Sim().AddFault(late);
    const double cpu0 = CpuSeconds();
    const auto start = Clock::now();
    int n = 0;
    while (Seconds(start, Clock::now()) < t) {
      BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
      ExchangeOrder(8);
      ++n;
    }
    const double share = (CpuSeconds() - cpu0) / Seconds(start, Clock::now());
    std::printf("50 ms answers:       %d exchanges, %.2f %% of one core while waiting (simulator thread included)\n",
                n, 100 * share);
    double goCpu = 0;
    double goSlow = GoLoopRate(p, t, &goCpu);
    std::printf("GO with 50 ms answers: %.1f frames/s, %.2f %% of one core\n", goSlow, 100 * goCpu);
    p.Sim().ClearFaults();
  }

  if (!serialOnly) {
    // GO with every chart and graph updated per frame, DATAP's busiest page in front.
    harness::Program p;
    ChooseBusiestPage(p);
    Start(p);
    ShowChildPanel(Panels.Datap);
    SetActiveTabPage(Panels.Datap, DATAP_TAB, 3);
    PrintRounds("GO + charts, 3D page, headless:", GoBesideBareLoop(p, t, rounds));
  }

#ifdef CHROMIK_BENCH_QT
  if (!serialOnly) {
    // The same with the Qt view offscreen, then one full repaint of that page.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    harness::Program p;
    ChooseBusiestPage(p);
    if (ui::qt::Start(argc, argv)) {
      Start(p);
      ShowChildPanel(Panels.Datap);
      SetActiveTabPage(Panels.Datap, DATAP_TAB, 3);
      ui::qt::SyncNow();
      for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      PrintRounds("GO + charts, 3D page, Qt view:", GoBesideBareLoop(p, t, rounds));
      QWidget* page = ui::qt::PanelWidgetOf(Panels.DataPage[3]);
      int ellipses = 0;
      for (int g : {DPAGE_XY_GRAPH, DPAGE_XINT_GRAPH, DPAGE_YINT_GRAPH}) {
        int n = 0;
        GetNumGraphPlots(Panels.DataPage[3], g, &n);
        ellipses += n;
      }
      // Warm: a new frame's cursors and chart; cold: every graph's range changed, so the
      // ellipses are drawn anew as well.
      std::vector<double> warm, cold;
      for (int run = 0; run < 41; ++run) {
        MeasuredValues.X = static_cast<std::uint16_t>(MeasuredValues.X + 1);
        AppendHistory();
        if (run % 2) TeachRegionExtents.XHigh += 7;  // the frame grows: new axis ranges
        UpdateLiveGraphs();
        ui::qt::SyncNow();
        const auto a = Clock::now();
        page->repaint();
        (run % 2 ? cold : warm).push_back(Seconds(a, Clock::now()) * 1e3);
      }
      std::printf("3D page repaint (%d ellipses, 3 cursors, 300-value chart): %.3f ms, after new ranges %.3f ms "
                  "(page %s)\n",
                  ellipses, Median(warm), Median(cold), page && page->isVisible() ? "shown" : "NOT SHOWN");
      ShutdownProgram();
      ui::qt::Stop();
    }
  }
  if (!serialOnly) {
    // The same GO loop with the Qt view offscreen: every frame's values reach the widgets.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    harness::Program p;
    if (ui::qt::Start(argc, argv)) {
      Start(p);
      ShowChildPanel(Panels.Datap);
      const long syncs = ui::qt::SyncCount();
      PrintRounds("GO loop, Qt view:", GoBesideBareLoop(p, t, rounds));
      std::printf("%-32s (%ld view syncs)\n", "", ui::qt::SyncCount() - syncs);
      ShutdownProgram();
      ui::qt::Stop();
    }
  }
#endif

  // Serial at 115200 baud with wire timing: 8 bytes out and 54 back take 62 x 10 bits.
  const double limit = 115200.0 / (62 * 10);
  {
    harness::Options o;
    o.serial = true;
    o.sim.wireTiming = true;
    harness::Program p(o);
    Start(p);
    const std::string slave = p.Sim().SlavePath();
    const Rounds serial = ByTurns(
        rounds,
        [&] {
          OpenSerialPort();
          const double go = GoLoopRate(p, t, nullptr);
          CloseSensorLink();
          return go;
        },
        [&] { return BareSerialRate(slave, t); });
    std::vector<double> ofLimit;
    for (double go : serial.program) ofLimit.push_back(go / limit);
    std::printf("GO at 115200 baud:   program %8.1f /s   wire limit %8.1f /s   ratio %.3f\n", Median(serial.program),
                limit, Median(ofLimit));
    PrintRounds("", serial, "bare loop on the same pseudo-terminal");
  }
  {
    // The same behind a USB adapter with a 16 ms latency timer: the program either cannot see
    // the adapter's timer (an empty sysfs tree) or lowers it as it opens the port.
    harness::Options o;
    o.serial = true;
    o.sim.wireTiming = true;
    o.sim.adapterLatency = 16;
    harness::Program p(o);
    const std::string nothing = p.Dir() + "/no-adapter-tree";
    std::filesystem::create_directories(nothing);
    SetComPortSearchDirectories("", nothing);
    Start(p);
    auto goWith = [&](const std::string& sysDir) {
      SetComPortSearchDirectories("", sysDir);
      OpenSerialPort();
      const double go = GoLoopRate(p, t, nullptr);
      CloseSensorLink();  // the timer goes back to 16 ms
      return go;
    };
    const Rounds adapter = ByTurns(
        rounds, [&] { return goWith(p.Sim().AdapterTree()); }, [&] { return goWith(nothing); });
    std::vector<double> lowered, kept;
    for (double go : adapter.program) lowered.push_back(go / limit);
    for (double go : adapter.reference) kept.push_back(go / limit);
    std::printf("GO at 115200 baud behind a USB adapter with a 16 ms latency timer:\n");
    std::printf("  without the low-latency request %8.1f /s   of the wire limit %.3f\n", Median(adapter.reference),
                Median(kept));
    std::printf("  with the low-latency request    %8.1f /s   of the wire limit %.3f\n", Median(adapter.program),
                Median(lowered));
    SetComPortSearchDirectories("", "");
  }

  std::printf("\n1-minute load average at the start %.2f, at the end %.2f: %s\n", load, OneMinuteLoad(),
              verdict.c_str());
  return 0;
}
