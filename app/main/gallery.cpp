// chromik4-gallery OUTDIR: renders every panel and tab page of the program into
// PNG files, offscreen, with the program connected to the in-process simulator
// and a few GO frames shown. The main window during GO, its RGB strip chart full of a
// target stepping through four colours, is the README's picture (mainp-go.png;
// `cmake --build build --target readme-picture` puts it into docs/). The main window
// during GO, DATAP's 3D page, SCOPEP with a capture and COLBIGP are also rendered in
// windows 1.0, 1.5 and 2.0 times their design size (*-1.0x.png ...), to check the
// scaled layout.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "measurement/measured_values.h"
#include "teach/mean_teach.h"
#include "teach/recorded_teach.h"
#include "teach/teach_labels.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

namespace {

int g_failures = 0;

constexpr int kStepFrames = 30;  // frames on each colour of the target
// Frames before the GO picture: the strip chart's 100 and more, the target in the middle of its
// first colour again (frames 120 to 149), which the sensor's teach table knows.
constexpr int kGoFrames = 135;

void Save(int panel, const std::string& path) {
  if (ui::qt::SavePanelImage(panel, path)) {
    std::printf("%s\n", path.c_str());
  } else {
    std::fprintf(stderr, "could not write %s\n", path.c_str());
    ++g_failures;
  }
}

constexpr double kScales[] = {1.0, 1.5, 2.0};  // window sizes over the design size

// A top-level panel's window at `scale` times the design size (as the operator would make it).
void SizeWindow(int panel, int designHeight, int designWidth, double scale) {
  SetPanelSize(panel, static_cast<int>(designHeight * scale + 0.5), static_cast<int>(designWidth * scale + 0.5));
}

std::string ScaledName(const std::string& out, const char* name, double scale) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "-%.1fx.png", scale);
  return out + "/" + name + suffix;
}

// The main window while GO runs: taken on the user-interface thread, inside the GO
// loop's dispatch, when the wake-up pipe becomes readable; then GO is stopped.
struct GoShot {
  std::string out;
  std::atomic<bool> taken{false};
};

void TakeGoShot(int fd, int, void* data) {
  auto* shot = static_cast<GoShot*>(data);
  char byte = 0;
  if (read(fd, &byte, 1) != 1 || shot->taken) return;
  Save(Panels.Mainp, shot->out + "/mainp-go.png");
  for (double scale : kScales) {
    SizeWindow(Panels.Mainp, 548, 790, scale);
    Save(Panels.Mainp, ScaledName(shot->out, "mainp-go", scale));
  }
  SizeWindow(Panels.Mainp, 548, 790, 1.0);
  shot->taken = true;
  ui::op::Press(Panels.Mainp, MAINP_STOP);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: chromik4-gallery OUTDIR\n");
    return 2;
  }
  const std::string out = argv[1];
  mkdir(out.c_str(), 0755);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  const std::string logo = ProgramDirectory() + "/logo.png";  // beside the executable
  harness::Program program;  // panels, settings and the simulator in a temporary directory
  if (!ui::qt::Start(argc, argv)) {
    std::fprintf(stderr, "chromik4-gallery: Qt could not start\n");
    return 1;
  }
  // The program looks for the logo in its directory.
  std::string copy = "cp '" + logo + "' '" + program.Dir() + "/'";
  if (std::system(copy.c_str()) != 0) std::fprintf(stderr, "no logo at %s\n", logo.c_str());
  // Colour evaluation in groups, so that every page and display is in use.
  sim::ParaSet set = program.Sim().RamSet(0);
  set.para[sim::DIGITAL_OUTMODE] = 2;
  set.para[sim::COLOR_GROUP] = 1;
  set.para[sim::MAX_VEC_NO] = 4;
  program.Sim().SetRamSet(0, set);
  // A target stepping from colour to colour (objects passing the sensor), so that the strip
  // charts show what they do.
  sim::TargetConfig target = program.Sim().Target();
  target.motion = sim::Motion::Step;
  target.colours.clear();  // the simulator's four colours
  target.period = kStepFrames;
  program.Sim().SetTarget(target);
  program.Start();
  ui::headless::UseRealClock();
  // Frames enough to fill the strip chart; the main window is taken while GO runs.
  int wake[2];
  if (pipe(wake) != 0) return 1;
  GoShot shot;
  shot.out = out;
  const int watch = WatchFd(wake[0], WATCH_READ, TakeGoShot, &shot);
  SetActiveTabPage(Panels.Datap, DATAP_TAB, 0);  // the RGB strip chart runs in the picture
  const std::size_t before = program.Sim().OrderCount();
  std::thread stopper([&] {
    program.Sim().WaitForOrders(before + kGoFrames, std::chrono::seconds(10));
    if (write(wake[1], "g", 1) != 1) ui::op::Press(Panels.Mainp, MAINP_STOP);
    // Should the picture never be taken, GO still ends.
    for (int i = 0; i < 1000 && !shot.taken; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!shot.taken) ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  ui::op::Press(Panels.Mainp, MAINP_GO);
  ProcessSystemEvents();
  stopper.join();
  UnwatchFd(watch);
  close(wake[0]);
  close(wake[1]);
  if (!shot.taken) {
    std::fprintf(stderr, "the main window was not taken during GO\n");
    ++g_failures;
  }

  const char* const mainPages[MAIN_PAGE_COUNT] = {"connection", "parameter", "group-hold", "teach", "recorder",
                                                  "calibration", "table-attributes", "scope", "offset"};
  SetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, 1);
  for (int i = 0; i < MAIN_PAGE_COUNT; ++i) {
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, i);
    Save(Panels.Mainp, out + "/mainp-" + std::to_string(i) + "-" + mainPages[i] + ".png");
  }
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  const char* const dataPages[4] = {"rgb", "xyint", "2d", "3d"};
  // The calculation mode hides one of the 2D and 3D pages; the gallery shows both.
  for (int i = 0; i < 4; ++i) SetTabPageAttribute(Panels.Datap, DATAP_TAB, i, ATTR_VISIBLE, 1);
  for (int i = 0; i < 4; ++i) {
    SetActiveTabPage(Panels.Datap, DATAP_TAB, i);
    Save(Panels.Datap, out + "/datap-" + std::to_string(i) + "-" + dataPages[i] + ".png");
  }
  // The teach panels with something in them: a few captured frames and a cloud of recorded points.
  const MeasuredValuesRecord measured = MeasuredValues;
  for (int k = 0; k < 8; ++k) {
    MeasuredValues.X = static_cast<std::uint16_t>(measured.X + k % 3);
    MeasuredValues.Int = static_cast<std::uint16_t>(measured.Int + 2 * (k % 4));
    CaptureFrame();
  }
  for (int k = 0; k < 3000; ++k) {
    MeasuredValues.X = static_cast<std::uint16_t>(measured.X + (k * 37) % 61 - 30);
    MeasuredValues.Y = static_cast<std::uint16_t>(measured.Y + (k * 53) % 41 - 20);
    MeasuredValues.Int = static_cast<std::uint16_t>(measured.Int + (k * 29) % 101 - 50);
    AddRecordedPoint();
  }
  MeasuredValues = measured;
  LabelTeachPanels();
  struct Named {
    int panel;
    const char* name;
  };
  for (Named n : {Named{Panels.Graphp, "graphp"}, Named{Panels.Teachp1, "teachp1"}, Named{Panels.Teachp2, "teachp2"},
                  Named{Panels.Scopep, "scopep"}, Named{Panels.Colbigp, "colbigp"}, Named{Panels.Grpbigp, "grpbigp"},
                  Named{Panels.Passwordp, "passwordp"}}) {
    Save(n.panel, out + "/" + n.name + ".png");
  }

  // The busiest pages and the big display in larger windows: DATAP's 3D page with its
  // taught regions, and SCOPEP with a capture from the simulator.
  SetActiveTabPage(Panels.Datap, DATAP_TAB, 3);
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_SCOPE);  // shows SCOPEP
  ProcessSystemEvents();
  ui::op::Press(Panels.Page[PAGE_SCOPE], SCOPE_SCAN);
  ProcessSystemEvents();
  for (double scale : kScales) {
    SizeWindow(Panels.Mainp, 548, 790, scale);
    SizeWindow(Panels.Colbigp, 190, 300, scale);
    Save(Panels.Datap, ScaledName(out, "datap-3d", scale));
    Save(Panels.Scopep, ScaledName(out, "scopep-capture", scale));
    Save(Panels.Colbigp, ScaledName(out, "colbigp", scale));
  }
  ShutdownProgram();
  ui::qt::Stop();
  return g_failures == 0 ? 0 : 1;
}
