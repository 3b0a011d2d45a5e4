// chromik4-sensor-sim: the simulated sensor for demos, on TCP or a
// pseudo-terminal, until SIGTERM or SIGINT.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "sim/sensor_sim.h"

#ifndef CHROMIK_VERSION
#define CHROMIK_VERSION "1.2"
#endif

namespace {

// Laid out as help2man reads it (the manual page is made from this text).
const char* const kUsage =
    "Usage: chromik4-sensor-sim [options]\n"
    "Simulates a CHROMIK4 ANA colour sensor on TCP (default 127.0.0.1:10001) or a pseudo-terminal.\n"
    "\n"
    "Options:\n"
    "  --address ADDR      IPv4 address to listen on (default 127.0.0.1)\n"
    "  --port N            TCP port (default 10001; 0 = any free port, printed on stdout)\n"
    "  --pty               serve on a pseudo-terminal instead; prints the slave path on stdout\n"
    "  --id-text TEXT      identification text answered to order 7\n"
    "  --id-zero           append a zero byte to the identification text\n"
    "  --baud-index N      initial baud-rate index 0..4 = 9600..115200 (default 4)\n"
    "  --wire-timing       hold each answer back by its serial line time at the current baud rate\n"
    "  --baud-check on|off\n"
    "                      ignore bytes sent at another speed than the simulator's\n"
    "                      (pseudo-terminal only; default on)\n"
    "  --seed N            seed of the target noise (default 1)\n"
    "  --target TARGET     R,G,B (a fixed colour, 0..4095 each), drift[:FRAMES] or step[:FRAMES];\n"
    "                      drift and step run through the taught colours, or through the colours\n"
    "                      given after a further colon: step:100:4000,0,0/0,4000,0\n"
    "  --noise N           noise of the target, +- N counts per channel (default 6)\n"
    "  --words N           words per measured-value record, at least 23 (default 23)\n"
    "  --adapter-latency MS\n"
    "                      (with --pty) the sensor sits behind a USB adapter whose latency timer\n"
    "                      holds every frame shorter than 62 bytes back by MS ms, unless the\n"
    "                      adapter's latency_timer in the fake sysfs tree reads 1; the tree's\n"
    "                      root is printed on a second line\n"
    "  --adapter-tree DIR  where that tree goes (default: a temporary folder, removed at the end)\n"
    "  --trigger-rate N    trigger events per second while order 30 sends frames (default 20)\n"
    "  --fault FAULT       ORDER:KIND[=VALUE][:NTH], ORDER a number or any; repeatable\n"
    "  --verbose           log every order on stderr\n"
    "  --help              show this text and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Fault kinds:\n";

bool ToInt(std::string_view s, long* out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

bool ParseColour(std::string_view s, sim::Rgb* c) {
  long v[3];
  for (int i = 0; i < 3; ++i) {
    std::size_t comma = i < 2 ? s.find(',') : s.size();
    if (comma == std::string_view::npos || !ToInt(s.substr(0, comma), &v[i]) || v[i] < 0 || v[i] > 4095) {
      return false;
    }
    s = i < 2 ? s.substr(comma + 1) : std::string_view();
  }
  *c = sim::Rgb{std::uint16_t(v[0]), std::uint16_t(v[1]), std::uint16_t(v[2])};
  return true;
}

bool ParseTarget(std::string_view text, sim::TargetConfig* t) {
  sim::Rgb c{};
  if (ParseColour(text, &c)) {
    t->motion = sim::Motion::Fixed;
    t->colours = {c};
    return true;
  }
  std::size_t colon = text.find(':');
  std::string_view motion = text.substr(0, colon);
  if (motion == "drift") {
    t->motion = sim::Motion::Drift;
  } else if (motion == "step") {
    t->motion = sim::Motion::Step;
  } else {
    return false;
  }
  if (colon == std::string_view::npos) return true;
  std::string_view rest = text.substr(colon + 1);
  std::size_t colon2 = rest.find(':');
  long frames;
  if (!ToInt(rest.substr(0, colon2), &frames) || frames < 1) return false;
  t->period = static_cast<int>(frames);
  if (colon2 == std::string_view::npos) return true;
  t->colours.clear();
  for (std::string_view list = rest.substr(colon2 + 1); !list.empty();) {
    std::size_t slash = list.find('/');
    if (!ParseColour(list.substr(0, slash), &c)) return false;
    t->colours.push_back(c);
    list = slash == std::string_view::npos ? std::string_view() : list.substr(slash + 1);
  }
  return !t->colours.empty();
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "chromik4-sensor-sim: %s (see --help)\n", why.c_str());
  return 2;
}

// Fills `cfg` from the command line; returns -1 to go on, else the exit code.
int ParseArgs(int argc, char** argv, sim::SimConfig* cfg) {
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    auto value = [&](std::string_view* v) {
      if (i + 1 >= argc) return false;
      *v = argv[++i];
      return true;
    };
    std::string_view v;
    long n = 0;
    if (a == "--help") {
      std::fputs(kUsage, stdout);
      std::fputs(sim::FaultKindHelp().c_str(), stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("chromik4-sensor-sim %s\n", CHROMIK_VERSION);
      return 0;
    } else if (a == "--pty") {
      cfg->transport = sim::Transport::Pty;
    } else if (a == "--id-zero") {
      cfg->idZeroByte = true;
    } else if (a == "--wire-timing") {
      cfg->wireTiming = true;
    } else if (a == "--verbose") {
      cfg->verbose = true;
    } else if (!value(&v)) {
      return Fail(std::string(a.substr(0, 2) == "--" ? "missing value for " : "unknown argument ") + std::string(a));
    } else if (a == "--address") {
      cfg->address = std::string(v);
    } else if (a == "--port") {
      if (!ToInt(v, &n) || n < 0 || n > 65535) return Fail("--port needs 0..65535");
      cfg->port = static_cast<std::uint16_t>(n);
    } else if (a == "--id-text") {
      cfg->idText = std::string(v);
    } else if (a == "--baud-index") {
      if (!ToInt(v, &n) || n < 0 || n > 65535) return Fail("--baud-index needs a number");
      cfg->baudIndex = static_cast<int>(n);
    } else if (a == "--baud-check") {
      if (v != "on" && v != "off") return Fail("--baud-check needs on or off");
      cfg->baudCheck = v == "on" ? 1 : 0;
    } else if (a == "--seed") {
      if (!ToInt(v, &n) || n < 0 || n > 0xFFFFFFFFL) return Fail("--seed needs a number");
      cfg->seed = static_cast<std::uint32_t>(n);
    } else if (a == "--target") {
      if (!ParseTarget(v, &cfg->target)) return Fail("bad --target " + std::string(v));
    } else if (a == "--noise") {
      if (!ToInt(v, &n) || n < 0 || n > 4095) return Fail("--noise needs 0..4095");
      cfg->target.noise = static_cast<int>(n);
    } else if (a == "--words") {
      if (!ToInt(v, &n) || n < 23 || n > 1020) return Fail("--words needs 23..1020");
      cfg->measuredWords = static_cast<std::size_t>(n);
    } else if (a == "--adapter-latency") {
      if (!ToInt(v, &n) || n < 1 || n > 255) return Fail("--adapter-latency needs 1..255");
      cfg->adapterLatency = static_cast<int>(n);
    } else if (a == "--adapter-tree") {
      cfg->adapterTree = std::string(v);
    } else if (a == "--trigger-rate") {
      if (!ToInt(v, &n) || n < 0 || n > 10000) return Fail("--trigger-rate needs 0..10000");
      cfg->triggerRate = static_cast<double>(n);
    } else if (a == "--fault") {
      sim::FaultRule rule;
      std::string error;
      if (!sim::ParseFaultRule(v, &rule, &error)) return Fail(error);
      cfg->faults.push_back(rule);
    } else {
      return Fail("unknown option " + std::string(a));
    }
  }
  if (cfg->adapterLatency > 0 && cfg->transport != sim::Transport::Pty) return Fail("--adapter-latency needs --pty");
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  sim::SimConfig cfg;
  cfg.logLimit = 0;  // nobody reads the log of a demo
  int code = ParseArgs(argc, argv, &cfg);
  if (code >= 0) return code;

  // The serving thread inherits the blocked signals; main takes them with sigwait.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  sim::SensorSim sensor(cfg);
  std::string error;
  if (!sensor.Start(&error)) {
    std::fprintf(stderr, "chromik4-sensor-sim: %s\n", error.c_str());
    return 1;
  }
  if (cfg.transport == sim::Transport::Pty) {
    std::printf("%s\n", sensor.SlavePath().c_str());
    if (cfg.adapterLatency > 0) std::printf("%s\n", sensor.AdapterTree().c_str());
  } else if (cfg.port == 0) {
    std::printf("%u\n", unsigned(sensor.Port()));
  }
  std::fflush(stdout);
  if (cfg.verbose) {
    if (cfg.transport == sim::Transport::Tcp) {
      std::fprintf(stderr, "[sim] listening on %s:%u\n", cfg.address.c_str(), unsigned(sensor.Port()));
    }
    for (const sim::FaultRule& r : cfg.faults) std::fprintf(stderr, "[sim] fault %s\n", sim::FaultRuleText(r).c_str());
  }

  int sig = 0;
  sigwait(&stopSignals, &sig);
  sensor.Stop();
  return 0;
}
