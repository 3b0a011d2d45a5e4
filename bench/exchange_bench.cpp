// Exchange and GO-loop benchmarks against the simulator. Not a test: it prints
// rates side by side, measured in one run, and their ratios.
//
//   chromik-bench [seconds-per-measurement]
#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "com232/frame_format.h"
#include "com232/link.h"
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

#include <algorithm>
#include <vector>

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

// A bare client: order 8 out, wait busily for the 54-byte answer, again.
double BareLoopRate(std::uint16_t port, double seconds) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    std::perror("connect");
    std::exit(1);
  }
  std::uint8_t order[8];
  frame::EncodeHeader(order, frame::ORDER_MEASURED_VALUES, 0, nullptr, 0);
  std::uint8_t buf[2048];
  long count = 0;
  const auto start = Clock::now();
  while (Seconds(start, Clock::now()) < seconds) {
    if (send(fd, order, 8, 0) != 8) break;
    int have = 0, need = 8;
    while (have < need) {
      ssize_t n = recv(fd, buf + have, sizeof buf - have, MSG_DONTWAIT);
      if (n > 0) have += static_cast<int>(n);
      if (have >= 8) need = 8 + (buf[4] | (buf[5] << 8));
      if (n == 0) return 0;
    }
    ++count;
  }
  double rate = count / Seconds(start, Clock::now());
  close(fd);
  return rate;
}

// A bare client on a serial line (the simulator's pseudo-terminal): order 8 out, then poll()
// for the answer; the same wire timing applies as for the program.
double BareSerialRate(const std::string& device, double seconds) {
  int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    std::perror("open");
    std::exit(1);
  }
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  cfsetispeed(&t, B115200);
  cfsetospeed(&t, B115200);
  tcsetattr(fd, TCSANOW, &t);
  std::uint8_t order[8];
  frame::EncodeHeader(order, frame::ORDER_MEASURED_VALUES, 0, nullptr, 0);
  std::uint8_t buf[2048];
  long count = 0;
  const auto start = Clock::now();
  while (Seconds(start, Clock::now()) < seconds) {
    if (write(fd, order, 8) != 8) break;
    int have = 0, need = 8;
    while (have < need) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 1000) <= 0) return 0;
      ssize_t n = read(fd, buf + have, sizeof buf - have);
      if (n > 0) have += static_cast<int>(n);
      if (have >= 8) need = 8 + (buf[4] | (buf[5] << 8));
    }
    ++count;
  }
  double rate = count / Seconds(start, Clock::now());
  close(fd);
  return rate;
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

// GO and the bare loop by turns, twice each; frames per second of both.
void GoBesideBareLoop(harness::Program& p, double seconds, double* go, double* bare) {
  *go = *bare = 0;
  for (int round = 0; round < 2; ++round) {
    *go += GoLoopRate(p, seconds / 2, nullptr) / 2;
    CloseSensorLink();
    *bare += BareLoopRate(p.Sim().Port(), seconds / 2) / 2;
    ConnectTcpServer();
  }
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
  const double t = argc > 1 ? std::atof(argv[1]) : 2.0;
  std::printf("measurement time %.1f s each; simulator in-process, loopback TCP unless stated\n\n", t);

  {
    harness::Program p;
    Start(p);
    // Side by side: the bare loop needs the simulator's only connection, so the program steps aside.
    double program = 0, bare = 0;
    for (int round = 0; round < 2; ++round) {
      program += ProgramExchangeRate(t / 2);
      CloseSensorLink();
      bare += BareLoopRate(p.Sim().Port(), t / 2);
      ConnectTcpServer();
    }
    program /= 2;
    bare /= 2;
    std::printf("exchange (order 8):  program %8.0f /s   bare busy loop %8.0f /s   ratio %.2f\n", program, bare,
                program / bare);

    double cpu = 0;
    double go = GoLoopRate(p, t, &cpu);
    CloseSensorLink();
    double bare2 = BareLoopRate(p.Sim().Port(), t);
    ConnectTcpServer();
    std::printf("GO loop, headless:   program %8.0f /s   bare busy loop %8.0f /s   ratio %.2f\n", go, bare2,
                go / bare2);

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

  {
    // GO with every chart and graph updated per frame, DATAP's busiest page in front.
    harness::Program p;
    ChooseBusiestPage(p);
    Start(p);
    ShowChildPanel(Panels.Datap);
    SetActiveTabPage(Panels.Datap, DATAP_TAB, 3);
    double go = 0, bare = 0;
    GoBesideBareLoop(p, t, &go, &bare);
    std::printf("GO + charts, 3D page, headless: program %8.0f /s   bare busy loop %8.0f /s   ratio %.2f\n", go, bare,
                go / bare);
  }

#ifdef CHROMIK_BENCH_QT
  {
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
      double go = 0, bare = 0;
      GoBesideBareLoop(p, t, &go, &bare);
      std::printf("GO + charts, 3D page, Qt view:  program %8.0f /s   bare busy loop %8.0f /s   ratio %.2f\n", go, bare,
                  go / bare);
      QWidget* page = ui::qt::PanelWidgetOf(Panels.DataPage[3]);
      int ellipses = 0;
      for (int g : {DPAGE_XY_GRAPH, DPAGE_XINT_GRAPH, DPAGE_YINT_GRAPH}) {
        int n = 0;
        GetNumGraphPlots(Panels.DataPage[3], g, &n);
        ellipses += n;
      }
      auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
      };
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
                  ellipses, median(warm), median(cold), page && page->isVisible() ? "shown" : "NOT SHOWN");
      ShutdownProgram();
      ui::qt::Stop();
    }
  }
  {
    // The same GO loop with the Qt view offscreen: every frame's values reach the widgets.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    harness::Program p;
    if (ui::qt::Start(argc, argv)) {
      Start(p);
      ShowChildPanel(Panels.Datap);
      double go = GoLoopRate(p, t, nullptr);
      CloseSensorLink();
      double bare = BareLoopRate(p.Sim().Port(), t);
      ConnectTcpServer();
      std::printf("GO loop, Qt view:    program %8.0f /s   bare busy loop %8.0f /s   ratio %.2f   (%ld view syncs)\n",
                  go, bare, go / bare, ui::qt::SyncCount());
      ShutdownProgram();
      ui::qt::Stop();
    }
  }
#endif

  {
    // Serial at 115200 baud with wire timing: 8 bytes out and 54 back take 62 x 10 bits.
    harness::Options o;
    o.serial = true;
    o.sim.wireTiming = true;
    harness::Program p(o);
    Start(p);
    const double limit = 115200.0 / (62 * 10);
    double go = GoLoopRate(p, t, nullptr);
    CloseSensorLink();
    double bare = BareSerialRate(p.Sim().SlavePath(), t);
    std::printf("GO at 115200 baud:   program %8.1f /s   wire limit %8.1f /s   ratio %.3f\n", go, limit, go / limit);
    std::printf("                     bare loop on the same pseudo-terminal %8.1f /s   program/bare %.3f\n", bare,
                go / bare);
  }
  return 0;
}
