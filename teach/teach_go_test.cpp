// Against the simulator: a colour measured in GO mode, taught with TEACH DATA TO,
// appears as its region around the measured point, and GO redraws what was taught.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "measurement/measured_values.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "teach/teach_table.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

TEST(TeachAgainstSensor, ATaughtColourIsDrawnAroundTheMeasuredPoint) {
  harness::Options options;
  options.sim.target.noise = 0;
  harness::Program program(options);
  sim::ParaSet set = program.Sim().RamSet(0);
  set.para[sim::DIGITAL_OUTMODE] = 2;  // colours are evaluated: the teach page is shown
  program.Sim().SetRamSet(0, set);
  program.Start();
  ASSERT_EQ(State.SensorConnected, 1) << program.MessageBox();
  const int plane = Panels.DataPage[2];
  if (!ui::FindControl(plane, DPAGE_PLANE_GRAPH)) NewCtrlWithId(plane, DPAGE_PLANE_GRAPH, CTRL_GRAPH, "", 0, 0, 99, 99);
  program.Sim().SetTargetColour(sim::Rgb{3000, 1500, 700});

  // A few frames of GO, stopped from outside as the operator would.
  program.Sim().ClearLog();
  std::thread stopper([&] {
    program.Sim().WaitForOrders(5, std::chrono::seconds(10));
    ui::op::Press(Panels.Mainp, MAINP_STOP);
  });
  ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GO));
  ProcessSystemEvents();
  stopper.join();
  ASSERT_EQ(State.GoRunning, 0);
  const int x = MeasuredValues.X, y = MeasuredValues.Y;
  ASSERT_GT(x + y, 20);  // a real colour, not a reset row

  const int teach = Panels.Page[PAGE_TEACH];
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
  SetCtrlVal(teach, TEACH_NO, 6);
  ASSERT_TRUE(ui::op::Press(teach, TEACH_DATA_TO));
  ProcessSystemEvents();
  const int t = DefaultTolerances(ParameterSet.ParameterBlock[PARA_EVALUATION_MODE], 0, 0).first;
  EXPECT_EQ(ParameterSet.TeachBlock[6].Cell[0], x);
  EXPECT_EQ(ParameterSet.TeachBlock[6].Cell[1], y);
  EXPECT_EQ(ParameterSet.TeachBlock[6].Cell[2], t);
  const auto& plots = ui::FindControl(plane, DPAGE_PLANE_GRAPH)->graph->plots;
  ASSERT_EQ(plots.size(), 31u);
  EXPECT_EQ(plots[6].x, (std::vector<double>{double(x - t), double(x + t)}));
  EXPECT_EQ(plots[6].y, (std::vector<double>{double(y - t), double(y + t)}));
  // The sensor's own rows count as well: the extents take the taught region in.
  EXPECT_LE(TeachRegionExtents.XLow, x - t);
  EXPECT_GE(TeachRegionExtents.XHigh, x + t);
  EXPECT_LE(TeachRegionExtents.YLow, y - t);
  EXPECT_GE(TeachRegionExtents.YHigh, y + t);
}

}  // namespace
