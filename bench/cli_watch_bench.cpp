// chromik4-ana-cli watch against the simulator beside a bare request/answer loop over the
// same link, measured by turns in one run. Not a test: it prints rates and their ratios.
//
//   chromik-cli-bench [seconds-per-measurement]
//
// TCP: the simulator answers at once; watch against a bare busy-waiting loop.
// Serial: a pseudo-terminal at 115200 baud with the simulator's wire timing; watch against
// the wire limit (62 bytes of 10 bits per exchange) and a bare loop on the same line.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/harness_test.h"
#include "bench/bare_loops.h"
#include "app/program_state.h"
#include "cli/cli_test_support.h"
#include "com232/frame.h"
#include "com232/frame_format.h"
#include "com232/link.h"
#include "measurement/go_mode.h"
#include "ui/headless.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// The window's GO loop exchange (order 8 and its frame), in this process: what watch runs per frame.
double WindowExchangeRate(double seconds) {
  long count = 0;
  const auto start = Clock::now();
  while (Seconds(start, Clock::now()) < seconds) {
    if (ExchangeMeasuredFrame() != 1) {
      std::fprintf(stderr, "exchange failed: %s\n", Frame.CommMessage);
      std::exit(1);
    }
    ++count;
  }
  return count / Seconds(start, Clock::now());
}

// Seconds of the day of a watch line's time field ("2025-03-14T09:26:53.589+01:00").
double TimeOfDay(const std::string& line) {
  if (line.size() < 23) return -1;
  return std::atoi(line.substr(11, 2).c_str()) * 3600.0 + std::atoi(line.substr(14, 2).c_str()) * 60.0 +
         std::atof(line.substr(17, 6).c_str());
}

// Frames per second of `watch` as its own lines tell: from the first frame's time to the
// last's, so the program's start and identification are not counted.
// Its output goes into a file, read afterwards: a reader taking the lines as they come would
// be a third busy thread on the machine beside the program and the simulator.
double WatchRate(const std::vector<std::string>& reach, double seconds) {
  char path[] = "/tmp/chromik-cli-bench-XXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  const std::vector<std::string> shell = {"-c", "exec \"$0\" \"$@\" > " + std::string(path), CHROMIK_CLI_PATH};
  clitest::CliProcess watch(clitest::Join(shell, clitest::Join({"watch", "--seconds", std::to_string(seconds)}, reach)),
                            {}, "/bin/sh");
  const clitest::CliResult r = watch.Wait(seconds + 30);
  const std::vector<std::string> lines = clitest::Lines(clitest::FileBytes(path));
  unlink(path);
  if (r.status != 0 || lines.size() < 3) {
    std::fprintf(stderr, "watch failed (%d): %s\n", r.status, r.err.c_str());
    std::exit(1);
  }
  double first = TimeOfDay(lines[1]), last = TimeOfDay(lines.back());
  if (last < first) last += 86400.0;  // past midnight
  return (lines.size() - 2) / (last - first);
}

void PrintLoad(const char* when) {
  double load[3] = {};
  getloadavg(load, 3);
  std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

}  // namespace

int main(int argc, char** argv) {
  const double t = argc > 1 ? std::atof(argv[1]) : 3.0;
  PrintLoad("at the start");
  {
    // The simulator of a headless window: the window's exchange, the bare loop and watch by
    // turns, twice each (the simulator serves one connection at a time).
    harness::Program window;
    window.Start();
    ui::headless::UseRealClock();
    if (State.SensorConnected != 1) {
      std::fprintf(stderr, "no connection to the simulator\n");
      return 1;
    }
    const std::vector<std::string> reach = clitest::Reach(window.Sim(), false);
    double exchange = 0, bare = 0, watch = 0;
    for (int round = 0; round < 2; ++round) {
      exchange += WindowExchangeRate(t) / 2;
      CloseSensorLink();
      bare += BareLoopRate(window.Sim().Port(), t) / 2;
      watch += WatchRate(reach, t) / 2;
      ConnectTcpServer();
    }
    std::printf("watch, loopback TCP, unthrottled: watch %8.0f /s   bare busy loop %8.0f /s   ratio %.2f\n", watch,
                bare, watch / bare);
    std::printf("                                  the window's exchange %8.0f /s (ratio to bare %.2f); watch/exchange %.2f\n",
                exchange, exchange / bare, watch / exchange);
  }
  {
    sim::SimConfig config;
    config.wireTiming = true;
    auto sim = clitest::StartSim(true, config);
    const std::vector<std::string> reach = clitest::Reach(*sim, true);
    const double wire = 115200.0 / 10.0 / 62.0;
    const double bare = BareSerialRate(sim->SlavePath(), t);
    const double watch = WatchRate(reach, t);
    std::printf("watch, 115200 baud wire timing:   watch %8.1f /s   wire limit %6.1f /s   ratio %.3f   "
                "(bare loop %6.1f /s, ratio %.3f)\n",
                watch, wire, watch / wire, bare, watch / bare);
  }
  PrintLoad("at the end");
  return 0;
}
