// A shift in fast motion: GO and continuous recordings, one after the other, against the
// simulator with a fault on about one answer in a hundred (every kind in turn) and
// TRY TO CONNECT after each communication error, until the given number of frames.
//
//   chromik-soak [frames] [--serial] [--rate R] [--seed N]
//
// Prints resident memory after the warm-up and at the end, frames shown and recorded,
// faults met, communication errors, reconnects, and the record file's lines against the
// frames recorded. Exits 1 when a recorded frame is missing from the file or the program
// could not reconnect.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "bench/bench_figures.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "recorder/recorder.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

struct KindPlan {
  sim::FaultKind kind;
  int value;  // -1: the kind's default
};

// Every kind; delays just beyond the soak's real wait, so a late answer is a time-out.
constexpr KindPlan kKinds[] = {
    {sim::FaultKind::NoAnswer, -1},     {sim::FaultKind::LateAnswer, 120},  {sim::FaultKind::BadHeaderCrc, -1},
    {sim::FaultKind::BadStartByte, -1}, {sim::FaultKind::BadDataCrc, -1},   {sim::FaultKind::Status1, -1},
    {sim::FaultKind::Status2, -1},      {sim::FaultKind::ShortData, -1},    {sim::FaultKind::ShortBlock, -1},
    {sim::FaultKind::LongBlock, -1},    {sim::FaultKind::OverlongData, -1}, {sim::FaultKind::HugeLength, -1},
    {sim::FaultKind::SplitWrites, 0},   {sim::FaultKind::CloseBeforeAnswer, -1},
    {sim::FaultKind::ClosePartial, -1}, {sim::FaultKind::DataDelay, 120},
};
constexpr int kKindCount = sizeof kKinds / sizeof kKinds[0];

struct Totals {
  long long framesServedRec = 0;  // order 8 answers the simulator sent while recording
  long long framesServedGo = 0;   // and during GO
  long long framesRecorded = 0;  // frames the recorder took (written or lost)
  long long linesWritten = 0;    // record lines the recorder reports as written
  long long linesLost = 0;
  long long faults = 0;          // answers the simulator changed
  long long errors = 0;          // runs ended by a communication error
  long long reconnects = 0;      // TRY TO CONNECT presses
  long long segments = 0;
};

}  // namespace

int main(int argc, char** argv) {
  long long frames = 1000000;
  bool serial = false;
  double rate = 0.01;
  unsigned seed = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--serial") == 0) {
      serial = true;
    } else if (std::strcmp(argv[i], "--rate") == 0 && i + 1 < argc) {
      rate = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      seed = static_cast<unsigned>(std::atol(argv[++i]));
    } else {
      frames = std::atoll(argv[i]);
    }
  }
  if (frames < 1 || rate <= 0.0 || rate > 1.0) {
    std::fprintf(stderr, "usage: chromik-soak [frames] [--serial] [--rate R] [--seed N]\n");
    return 2;
  }
  harness::Options options;
  options.serial = serial;
  options.realWait = 0.05;  // a missing answer costs 50 ms of real time, not the 3 s limit
  options.sim.logLimit = 100000;
  harness::Program p(options);
  p.Start();
  if (State.SensorConnected != 1) {
    std::fprintf(stderr, "no connection to the simulator: %s\n", p.MessageBox().c_str());
    return 1;
  }
  const int recPage = Panels.Page[PAGE_RECORDER];
  const int comPage = Panels.Page[PAGE_CONNECTION];
  const std::string recordFile = p.Dir() + "/RecordFile.dat";
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_RECORDER);
  ProcessSystemEvents();
  ui::op::PickIndex(recPage, REC_MODE, RECORD_CONTINUOUS);
  ProcessSystemEvents();
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, recordFile);
  ui::op::Press(recPage, REC_SELECT_FILE);
  ProcessSystemEvents();
  ui::op::SetValue(recPage, REC_INTERVAL, 0.25);
  ProcessSystemEvents();
  const std::string header = RecordHeaderText(State.PanelId);
  {
    std::ifstream in(recordFile, std::ios::binary);
    std::string first(header.size(), '\0');
    if (!in.read(first.data(), static_cast<std::streamsize>(first.size())) || first != header) {
      std::fprintf(stderr, "the record file was not chosen: %s\n", recordFile.c_str());
      return 1;
    }
  }

  std::mt19937 rng(seed);
  // The n-th answer of a segment gets the fault: uniform over 1..2/rate, one in 1/rate on average.
  std::uniform_int_distribution<int> nthOf(1, std::max(1, static_cast<int>(2.0 / rate) - 1));
  Totals t;
  long residentStart = -1;
  const long long warmUp = std::min<long long>(frames / 10, 20000);
  bool recording = false;
  std::size_t stopAt = 0;
  bool stopped = false;
  // STOP once the segment has run a little past its fault; the interval wait of a
  // recording costs no real time (the clock moves to its end at once).
  ui::headless::SetWaitHook([&](double until) {
    // A little past the end: the loop computes the elapsed time from the cycle start, and
    // (start + interval) - start can come out a hair below the interval.
    if (recording && until == Recorder.CycleStart + Recorder.RecordInterval) ui::headless::SetClock(until + 1e-6);
    if (!stopped && p.Sim().OrderCount() >= stopAt) {
      stopped = recording ? ui::op::Press(recPage, REC_STOP) : ui::op::Press(Panels.Mainp, MAINP_STOP);
    }
  });
  const auto begin = std::chrono::steady_clock::now();
  int kind = 0;
  while (t.framesServedRec + t.framesServedGo < frames) {
    const int nth = nthOf(rng);
    const KindPlan& plan = kKinds[kind++ % kKindCount];
    p.Sim().ClearFaults();
    p.Sim().ClearLog();
    p.Sim().AddFault(sim::FaultRule{8, plan.kind, nth, plan.value});
    stopAt = static_cast<std::size_t>(nth) + 20;
    stopped = false;
    recording = (t.segments & 1) != 0;
    Recorder.LinesWritten = Recorder.LinesLost = 0;
    if (recording) {
      ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_RECORDER);
      ui::headless::AnswerConfirm(1);
      ui::op::Press(recPage, REC_START);
    } else {
      ui::op::Press(Panels.Mainp, MAINP_GO);
    }
    ProcessSystemEvents();
    ++t.segments;
    if (recording) {
      t.linesWritten += Recorder.LinesWritten;
      t.linesLost += Recorder.LinesLost;
      t.framesRecorded += Recorder.LinesWritten + Recorder.LinesLost;
    }
    for (const sim::OrderRecord& o : p.Sim().Orders()) {
      if (o.order == 8) ++(recording ? t.framesServedRec : t.framesServedGo);
      if (!o.fault.empty()) ++t.faults;
    }
    ui::headless::Popups().clear();  // the headless face keeps every popup it answered
    if (State.SensorConnected != 1) {
      ++t.errors;
      int tries = 0;
      while (State.SensorConnected != 1 && tries < 20) {
        ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);
        ui::op::Press(comPage, COM_TRY_CONNECT);
        ProcessSystemEvents();
        ++t.reconnects;
        ++tries;
      }
      ui::headless::Popups().clear();
      if (State.SensorConnected != 1) {
        std::fprintf(stderr, "no reconnect after %d tries: %s\n", tries, p.MessageBox().c_str());
        return 1;
      }
    }
    if (residentStart < 0 && t.framesServedRec + t.framesServedGo >= warmUp) residentStart = bench::ResidentKilobytes();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const long residentEnd = bench::ResidentKilobytes();
  if (State.RecordFilePath != recordFile) std::printf("record file moved to %s\n", State.RecordFilePath.c_str());
  const long long lines = bench::CountLines(recordFile) - std::count(header.begin(), header.end(), '\n');
  const bool complete = lines == t.linesWritten && lines == t.framesRecorded && t.linesLost == 0;
  // A run ended by an error shows every frame served in it but the one that failed.
  std::printf("%s, %.1f s: %lld segments\n", serial ? "pseudo-terminal" : "TCP/IP", seconds, t.segments);
  const long long served = t.framesServedRec + t.framesServedGo;
  std::printf("frames served %lld (%lld in GO, %lld while recording), shown %lld (served less the failed ones), "
              "recorded %lld\n",
              served, t.framesServedGo, t.framesServedRec, served - t.errors, t.framesRecorded);
  std::printf("faults met %lld, communication errors %lld, reconnects %lld\n", t.faults, t.errors, t.reconnects);
  std::printf("resident memory %.1f MB after the warm-up (%lld frames), %.1f MB at the end (%+.1f MB)\n",
              residentStart / 1024.0, warmUp, residentEnd / 1024.0, (residentEnd - residentStart) / 1024.0);
  std::printf("record file: %lld lines, %lld frames written, %lld lost (%s)\n", lines, t.linesWritten, t.linesLost,
              complete ? "complete" : "INCOMPLETE");
  ui::headless::SetWaitHook(nullptr);
  ShutdownProgram();
  return complete ? 0 : 1;
}
