// The live charts and the graph panel: framing, cursors, scaling by click, the
// signal ring, and GO against the simulator filling them.
#include "measurement/live_graphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "measurement/go_mode.h"
#include "measurement/measured_values.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

const ui::GraphData& Graph(int panel, int id) { return *ui::FindControl(panel, id)->graph; }

std::vector<double> Trace(int panel, int id, int trace) {
  const auto& points = Graph(panel, id).traces.at(trace).points;
  return {points.begin(), points.end()};
}

struct Range {
  double min, max;
  bool operator==(const Range&) const = default;
};
Range AxisOf(int panel, int id, int axis) {
  int mode = -1;
  Range r{};
  GetAxisScalingMode(panel, id, axis, &mode, &r.min, &r.max);
  EXPECT_EQ(mode, VAL_MANUAL);
  return r;
}
int ScalingOf(int panel, int id) {
  int mode = -1;
  GetAxisScalingMode(panel, id, VAL_LEFT_YAXIS, &mode, nullptr, nullptr);
  return mode;
}
std::pair<double, double> CursorOf(int panel, int id) {
  double x = 0, y = 0;
  GetGraphCursor(panel, id, 1, &x, &y);
  return {x, y};
}

// [SECTION] Framing arithmetic

TEST(Framing, TheTwoWorkedExamplesAndAPointBelowTheRegions) {
  // Nothing taught (0..10000 everywhere), the point inside: -25 .. 10025 on both axes.
  GraphFrame f = FrameGraph(FrameCoordinate(0, 10000, 2000), FrameCoordinate(0, 10000, 2000));
  EXPECT_EQ((std::vector<int>{f.xMin, f.xMax, f.yMin, f.yMax}), (std::vector<int>{-25, 10025, -25, 10025}));

  // X 1000..1400 with the point at 1500 above it, Y 900..1000 around 950.
  FramedAxis x = FrameCoordinate(1000, 1400, 1500), y = FrameCoordinate(900, 1000, 950);
  EXPECT_EQ(x.span, 500);
  EXPECT_EQ(x.centre, 1250);
  EXPECT_EQ(y.span, 100);
  EXPECT_EQ(y.centre, 950);
  f = FrameGraph(x, y);
  EXPECT_EQ((std::vector<int>{f.xMin, f.xMax, f.yMin, f.yMax}), (std::vector<int>{975, 1525, 675, 1225}));

  // Below the regions, odd spans truncate: span 1400 - 333 = 1067, centre 333 + 533.
  x = FrameCoordinate(1000, 1400, 333);
  EXPECT_EQ(x.span, 1067);
  EXPECT_EQ(x.centre, 866);
  // Regions reaching below zero: the centre truncates toward zero, half of 101 is 50.
  x = FrameCoordinate(-101, 0, -50);
  EXPECT_EQ(x.centre, -51);
  f = FrameGraph(x, FrameCoordinate(0, 1, 0));
  EXPECT_EQ(f.xMin, -51 - 50 - 25);
  EXPECT_EQ(f.yMax, 0 + 50 + 25);
}

TEST(Framing, IntensityCursorStopsAt1200OnlyInSiM2D) {
  EXPECT_EQ(IntensityCursorPosition(1, 3000), 1200.0);
  EXPECT_EQ(IntensityCursorPosition(1, 800), 800.0);
  EXPECT_EQ(IntensityCursorPosition(1, 1200), 1200.0);
  EXPECT_EQ(IntensityCursorPosition(0, 3000), 3000.0);
}

// [SECTION] The program offline

class LiveGraphs : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    // Colour evaluation on (BINARY): the mode rules show the data pages of the colour plane.
    SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_DIG_OUTMODE_RING, DIGITAL_OUTMODE_BINARY);
    ApplyModeRules();
    std::fill(std::begin(RgbHistory), std::end(RgbHistory), 0.0);
    for (double* h : {XHistory, YHistory, IntHistory}) std::fill(h, h + HISTORY_SAMPLES, 0.0);
    ShowChildPanel(Panels.Datap);
  }
  static void ShowDataPage(int index) { SetActiveTabPage(Panels.Datap, DATAP_TAB, index); }
  static void SetCalcMode(int mode) { SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_CALC_MODE_RING, mode); }
  static void Frame(int x, int y, int intensity) {
    MeasuredValues.X = static_cast<std::uint16_t>(x);
    MeasuredValues.Y = static_cast<std::uint16_t>(y);
    MeasuredValues.Int = static_cast<std::uint16_t>(intensity);
  }
  std::unique_ptr<harness::Scratch> scratch_;
};

TEST_F(LiveGraphs, PlaneGraphsFrameTheRegionsAndThePointWithTheCursorsOnIt) {
  const int page = Panels.DataPage[2];
  SetCalcMode(0);
  TeachRegionExtents = RegionExtents{1000, 1400, 900, 1000, 0, 10000};
  Frame(1500, 950, 3000);
  UpdateLiveGraphs();
  EXPECT_EQ(AxisOf(page, DPAGE_PLANE_GRAPH, VAL_XAXIS), (Range{975, 1525}));
  EXPECT_EQ(AxisOf(page, DPAGE_PLANE_GRAPH, VAL_LEFT_YAXIS), (Range{675, 1225}));
  EXPECT_EQ(CursorOf(page, DPAGE_PLANE_GRAPH), std::make_pair(1500.0, 950.0));
  EXPECT_EQ(CursorOf(page, DPAGE_INTENSITY_GRAPH), std::make_pair(3000.0, 50.0));
  const Range intensityAxis = AxisOf(page, DPAGE_INTENSITY_GRAPH, VAL_XAXIS);

  SetCalcMode(1);
  UpdateLiveGraphs();
  EXPECT_EQ(CursorOf(page, DPAGE_INTENSITY_GRAPH), std::make_pair(1200.0, 50.0));
  Frame(1500, 950, 800);
  UpdateLiveGraphs();
  EXPECT_EQ(CursorOf(page, DPAGE_INTENSITY_GRAPH), std::make_pair(800.0, 50.0));
  EXPECT_EQ(AxisOf(page, DPAGE_INTENSITY_GRAPH, VAL_XAXIS), intensityAxis);  // its axes stay

  // Teach regions drawn on the same graph stay with the cursor.
  PlotTeachRegions();
  UpdateLiveGraphs();
  EXPECT_EQ(Graph(page, DPAGE_PLANE_GRAPH).plots.size(), 31u);
  EXPECT_EQ(Graph(page, DPAGE_PLANE_GRAPH).cursors.size(), 1u);
}

TEST_F(LiveGraphs, ProjectionGraphsFrameEachPairByItsOwnSpans) {
  const int page = Panels.DataPage[3];
  SetCalcMode(2);
  TeachRegionExtents = RegionExtents{1000, 1400, 900, 1000, 2000, 2200};
  Frame(1500, 950, 2100);
  for (int i = 0; i < HISTORY_SAMPLES; ++i) {
    MeasuredValues.Red = static_cast<std::uint16_t>(i);
    MeasuredValues.Green = static_cast<std::uint16_t>(1000 + i);
    MeasuredValues.Blue = static_cast<std::uint16_t>(2000 + i);
    AppendHistory();
  }
  const Range planeBefore = AxisOf(Panels.DataPage[2], DPAGE_PLANE_GRAPH, VAL_XAXIS);
  UpdateLiveGraphs();
  // X: span 500 centre 1250; Y: 100, 950; INT: 200, 2100.
  EXPECT_EQ(AxisOf(page, DPAGE_XY_GRAPH, VAL_XAXIS), (Range{975, 1525}));
  EXPECT_EQ(AxisOf(page, DPAGE_XY_GRAPH, VAL_LEFT_YAXIS), (Range{675, 1225}));
  EXPECT_EQ(AxisOf(page, DPAGE_XINT_GRAPH, VAL_XAXIS), (Range{975, 1525}));
  EXPECT_EQ(AxisOf(page, DPAGE_XINT_GRAPH, VAL_LEFT_YAXIS), (Range{1825, 2375}));
  EXPECT_EQ(AxisOf(page, DPAGE_YINT_GRAPH, VAL_XAXIS), (Range{825, 1075}));  // half = 200 / 2
  EXPECT_EQ(AxisOf(page, DPAGE_YINT_GRAPH, VAL_LEFT_YAXIS), (Range{1975, 2225}));
  EXPECT_EQ(CursorOf(page, DPAGE_XY_GRAPH), std::make_pair(1500.0, 950.0));
  EXPECT_EQ(CursorOf(page, DPAGE_XINT_GRAPH), std::make_pair(1500.0, 2100.0));
  EXPECT_EQ(CursorOf(page, DPAGE_YINT_GRAPH), std::make_pair(950.0, 2100.0));
  // The plane graph of the 2D modes is left alone.
  EXPECT_EQ(AxisOf(Panels.DataPage[2], DPAGE_PLANE_GRAPH, VAL_XAXIS), planeBefore);
  // The fourth page's RGB chart holds the history, trace by trace.
  EXPECT_EQ(Graph(page, DPAGE_RGB_CHART).pointsPerScreen, 101);
  for (int t = 0; t < 3; ++t) {
    std::vector<double> v = Trace(page, DPAGE_RGB_CHART, t);
    ASSERT_EQ(v.size(), 100u);
    EXPECT_EQ(v.front(), 1000.0 * t);
    EXPECT_EQ(v.back(), 1000.0 * t + 99);
  }
}

TEST_F(LiveGraphs, StripChartsAreReplacedNotAppendedEveryFrame) {
  for (int frame = 0; frame < 3; ++frame) {
    MeasuredValues.X = static_cast<std::uint16_t>(100 + frame);
    AppendHistory();
    UpdateLiveGraphs();
  }
  for (int chart : {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART}) {
    EXPECT_EQ(Graph(Panels.DataPage[1], chart).pointsPerScreen, 101);
    EXPECT_EQ(Trace(Panels.DataPage[1], chart, 0).size(), 100u);
  }
  std::vector<double> x = Trace(Panels.DataPage[1], DPAGE_X_CHART, 0);
  EXPECT_EQ((std::vector<double>(x.end() - 4, x.end())), (std::vector<double>{0, 100, 101, 102}));
  for (int t = 0; t < 3; ++t) EXPECT_EQ(Trace(Panels.DataPage[0], DPAGE_RGB_CHART, t).size(), 100u);
}

TEST_F(LiveGraphs, ClickFixesAndDoubleClickAutoscalesTheFirstTwoPages) {
  const int rgb = Panels.DataPage[0], xyi = Panels.DataPage[1];
  ShowDataPage(0);
  // The operator's double click comes after the click of its first press.
  ASSERT_TRUE(ui::op::Click(rgb, DPAGE_RGB_CHART));
  ASSERT_TRUE(ui::op::DoubleClick(rgb, DPAGE_RGB_CHART));
  ProcessSystemEvents();
  EXPECT_EQ(ScalingOf(rgb, DPAGE_RGB_CHART), VAL_AUTOSCALE);
  ASSERT_TRUE(ui::op::Click(rgb, DPAGE_RGB_CHART));
  ProcessSystemEvents();
  EXPECT_EQ(AxisOf(rgb, DPAGE_RGB_CHART, VAL_LEFT_YAXIS), (Range{0, 4096}));

  const int charts[3] = {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART};
  ShowDataPage(1);
  ASSERT_TRUE(ui::op::DoubleClick(xyi, DPAGE_Y_CHART));
  ProcessSystemEvents();
  for (int chart : charts) EXPECT_EQ(ScalingOf(xyi, chart), VAL_AUTOSCALE) << chart;
  // The page-0 chart is not touched by the page-1 charts.
  EXPECT_EQ(ScalingOf(rgb, DPAGE_RGB_CHART), VAL_MANUAL);

  SetCalcMode(3);
  ASSERT_TRUE(ui::op::Click(xyi, DPAGE_INT_CHART));
  ProcessSystemEvents();
  const double sim[3] = {10000, 5000, 1200};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(AxisOf(xyi, charts[i], VAL_LEFT_YAXIS), (Range{0, sim[i]}));
  SetCalcMode(0);
  ASSERT_TRUE(ui::op::Click(xyi, DPAGE_X_CHART));
  ProcessSystemEvents();
  for (int chart : charts) EXPECT_EQ(AxisOf(xyi, chart, VAL_LEFT_YAXIS), (Range{0, 4096}));
}

TEST_F(LiveGraphs, TheLiveCursorsCannotBeDraggedAway) {
  const int page = Panels.DataPage[2];
  ShowDataPage(2);
  SetGraphCursor(page, DPAGE_PLANE_GRAPH, 1, 10, 20);
  ui::headless::Popups().clear();
  ASSERT_TRUE(ui::op::RightClick(page, DPAGE_PLANE_GRAPH));  // the graph itself is within reach
  ProcessSystemEvents();
  ASSERT_EQ(ui::headless::Popups().size(), 1u);
  EXPECT_EQ(ui::headless::Popups()[0].title, "INFO!");
  EXPECT_EQ(ui::headless::Popups()[0].text, "The two graphs diplay the color and the intensity.");
  EXPECT_FALSE(ui::op::MoveCursor(page, DPAGE_PLANE_GRAPH, 1, 500, 500, true));
  ProcessSystemEvents();
  EXPECT_EQ(CursorOf(page, DPAGE_PLANE_GRAPH), std::make_pair(10.0, 20.0));
}

TEST_F(LiveGraphs, SignalRingShowsExactlyOneRecordGraph) {
  const int g = Panels.Graphp;
  ShowChildPanel(g);
  int items = 0;
  GetNumListItems(g, GRAPHP_SIGNAL, &items);
  ASSERT_EQ(items, 7);
  auto shown = [g] {
    std::vector<int> ids;
    for (int id = GRAPHP_GRAPH_RED; id <= GRAPHP_GRAPH_TEMP; ++id) {
      int visible = 0;
      GetCtrlAttribute(g, id, ATTR_VISIBLE, &visible);
      if (visible) ids.push_back(id);
    }
    return ids;
  };
  EXPECT_EQ(shown(), (std::vector<int>{GRAPHP_GRAPH_RED}));
  for (int index : {6, 3, 1, 5, 2, 4}) {
    ASSERT_TRUE(ui::op::PickIndex(g, GRAPHP_SIGNAL, index));
    ProcessSystemEvents();
    EXPECT_EQ(shown(), (std::vector<int>{GRAPHP_GRAPH_RED + index})) << index;
  }
  // A value outside 1..6 shows the red graph.
  InsertListItem(g, GRAPHP_SIGNAL, -1, "OTHER", 7.0);
  ASSERT_TRUE(ui::op::PickIndex(g, GRAPHP_SIGNAL, 7));
  ProcessSystemEvents();
  EXPECT_EQ(shown(), (std::vector<int>{GRAPHP_GRAPH_RED}));
  // A hidden graph still takes plots.
  EXPECT_GT(PlotXY(g, GRAPHP_GRAPH_TEMP, std::vector<double>{0, 1}.data(), std::vector<double>{2, 3}.data(), 2, 0), 0);
}

TEST_F(LiveGraphs, GraphButtonOpensGraphpAndCloseReturnsToDatap) {
  ShowChildPanel(Panels.Datap);
  auto visible = [](int panel) {
    int v = 0;
    GetPanelAttribute(panel, ATTR_VISIBLE, &v);
    return v;
  };
  ASSERT_TRUE(ui::op::Press(Panels.Datap, DATAP_SHOW_GRAPH));
  ProcessSystemEvents();
  EXPECT_EQ(visible(Panels.Graphp), 1);
  EXPECT_EQ(visible(Panels.Datap), 0);
  ASSERT_TRUE(ui::op::Press(Panels.Graphp, GRAPHP_CLOSE));
  ProcessSystemEvents();
  EXPECT_EQ(visible(Panels.Graphp), 0);
  EXPECT_EQ(visible(Panels.Datap), 1);
}

TEST_F(LiveGraphs, ResizingTheMainWindowShowsTheNineTracesAgain) {
  struct TraceRef {
    int page, chart, trace;
  };
  std::vector<TraceRef> nine;
  for (int t = 1; t <= 3; ++t) nine.push_back({0, DPAGE_RGB_CHART, t});
  for (int chart : {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART}) nine.push_back({1, chart, 1});
  for (int t = 1; t <= 3; ++t) nine.push_back({3, DPAGE_RGB_CHART, t});
  for (const TraceRef& r : nine) SetTraceAttribute(Panels.DataPage[r.page], r.chart, r.trace, ATTR_TRACE_VISIBLE, 0);
  ASSERT_TRUE(ui::op::ResizePanel(Panels.Mainp, 600, 900));
  ProcessSystemEvents();
  for (const TraceRef& r : nine) {
    int v = 0;
    GetTraceAttribute(Panels.DataPage[r.page], r.chart, r.trace, ATTR_TRACE_VISIBLE, &v);
    EXPECT_EQ(v, 1) << r.page << " " << r.chart << " " << r.trace;
  }
}

// [SECTION] Against the simulator

// GO in a colour-evaluation mode, stopped from outside after `orders` orders.
void RunGoFor(harness::Program& program, std::size_t orders) {
  program.Sim().ClearLog();
  std::thread stopper([&] {
    program.Sim().WaitForOrders(orders, std::chrono::seconds(20));
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GO));
  ProcessSystemEvents();
  stopper.join();
  ASSERT_EQ(State.GoRunning, 0);
}

TEST(LiveGraphsAgainstSensor, StripChartsHoldTheLast100SamplesOfGo) {
  harness::Options options;
  options.sim.target.noise = 0;
  options.sim.target.motion = sim::Motion::Step;
  options.sim.target.period = 7;
  options.sim.target.colours = {sim::Rgb{3000, 1500, 700}, sim::Rgb{1200, 2500, 900}, sim::Rgb{800, 900, 3100}};
  harness::Program program(options);
  sim::ParaSet set = program.Sim().RamSet(0);
  set.para[sim::DIGITAL_OUTMODE] = 2;
  program.Sim().SetRamSet(0, set);
  program.Start();
  ASSERT_EQ(State.SensorConnected, 1) << program.MessageBox();
  RunGoFor(program, 160);

  const int rgb = Panels.DataPage[0];
  std::vector<double> red = Trace(rgb, DPAGE_RGB_CHART, 0), green = Trace(rgb, DPAGE_RGB_CHART, 1),
                      blue = Trace(rgb, DPAGE_RGB_CHART, 2);
  ASSERT_EQ(red.size(), 100u);
  ASSERT_EQ(green.size(), 100u);
  ASSERT_EQ(blue.size(), 100u);
  // Every sample is one of the target's colours, channel by channel (none of the
  // zeros the charts started with), the newest is on the displays, and the colour
  // steps every 7 frames.
  const std::set<std::vector<double>> colours = {{3000, 1500, 700}, {1200, 2500, 900}, {800, 900, 3100}};
  int changes = 0;
  for (std::size_t i = 0; i < 100; ++i) {
    EXPECT_TRUE(colours.count({red[i], green[i], blue[i]})) << i << ": " << red[i] << " " << green[i] << " " << blue[i];
    if (i > 0 && red[i] != red[i - 1]) ++changes;
  }
  EXPECT_GE(changes, 100 / 7 - 1);
  EXPECT_LE(changes, 100 / 7 + 1);
  EXPECT_EQ(red.back(), MeasuredValues.Red);
  EXPECT_EQ(blue.back(), MeasuredValues.Blue);
  const int xyi = Panels.DataPage[1];
  std::vector<double> x = Trace(xyi, DPAGE_X_CHART, 0), intensity = Trace(xyi, DPAGE_INT_CHART, 0);
  ASSERT_EQ(x.size(), 100u);
  ASSERT_EQ(intensity.size(), 100u);
  EXPECT_EQ(x.back(), MeasuredValues.X);
  EXPECT_EQ(Trace(xyi, DPAGE_Y_CHART, 0).back(), MeasuredValues.Y);
  EXPECT_EQ(intensity.back(), MeasuredValues.Int);
  // X follows the colour steps in the same places as red.
  for (std::size_t i = 1; i < 100; ++i) EXPECT_EQ(x[i] != x[i - 1], red[i] != red[i - 1]) << i;
}

TEST(LiveGraphsAgainstSensor, GoShowsTheLivePointInsideItsTaughtCircle) {
  harness::Options options;
  options.sim.target.noise = 0;
  harness::Program program(options);
  sim::ParaSet set = program.Sim().RamSet(0);
  set.para[sim::DIGITAL_OUTMODE] = 2;
  set.para[sim::CALCULATION_MODE] = 0;
  program.Sim().SetRamSet(0, set);
  program.Start();
  ASSERT_EQ(State.SensorConnected, 1) << program.MessageBox();
  program.Sim().SetTargetColour(sim::Rgb{2600, 1400, 900});
  RunGoFor(program, 5);
  ASSERT_GT(MeasuredValues.X + MeasuredValues.Y, 20);

  // Teach the colour into row 4, then GO again: the cursor stands in the row's circle.
  const int teach = Panels.Page[PAGE_TEACH];
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
  SetCtrlVal(teach, TEACH_NO, 4);
  ASSERT_TRUE(ui::op::Press(teach, TEACH_DATA_TO));
  ProcessSystemEvents();
  RunGoFor(program, 5);

  const int page = Panels.DataPage[2];
  const ui::GraphData& plane = Graph(page, DPAGE_PLANE_GRAPH);
  ASSERT_EQ(plane.plots.size(), 31u);
  const ui::PlotData& circle = plane.plots[4];
  ASSERT_EQ(circle.kind, ui::PLOT_OVAL);
  const auto [cx, cy] = CursorOf(page, DPAGE_PLANE_GRAPH);
  EXPECT_EQ(cx, MeasuredValues.X);
  EXPECT_EQ(cy, MeasuredValues.Y);
  const double mx = (circle.x[0] + circle.x[1]) / 2, my = (circle.y[0] + circle.y[1]) / 2;
  const double rx = (circle.x[1] - circle.x[0]) / 2, ry = (circle.y[1] - circle.y[0]) / 2;
  ASSERT_GT(rx, 0);
  ASSERT_GT(ry, 0);
  const double d = (cx - mx) * (cx - mx) / (rx * rx) + (cy - my) * (cy - my) / (ry * ry);
  EXPECT_LE(d, 1.0) << "cursor (" << cx << ", " << cy << ") circle centre (" << mx << ", " << my << ")";
  // The view holds both the circle and the point.
  const Range xs = AxisOf(page, DPAGE_PLANE_GRAPH, VAL_XAXIS), ys = AxisOf(page, DPAGE_PLANE_GRAPH, VAL_LEFT_YAXIS);
  EXPECT_LE(xs.min, circle.x[0]);
  EXPECT_GE(xs.max, circle.x[1]);
  EXPECT_LE(ys.min, circle.y[0]);
  EXPECT_GE(ys.max, circle.y[1]);
  EXPECT_EQ(xs.max - xs.min, ys.max - ys.min);  // square
}

}  // namespace
