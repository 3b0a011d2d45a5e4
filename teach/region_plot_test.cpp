// The taught regions in DATAP's graphs: the cells each mode draws from, the extents
// that frame the live graphs, and the intensity band of the row in No.
#include "teach/region_plot.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "parameters/parameter_panel.h"
#include "teach/row_colors.h"
#include "teach/teach_table.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace {

TeachVector Row(std::uint16_t c0, std::uint16_t c1, std::uint16_t c2, std::uint16_t c3, std::uint16_t c4) {
  return TeachVector{{c0, c1, c2, c3, c4}, 0, 10, 0};
}

void ResetRows(TeachVector rows[TEACH_VECTOR_COUNT]) {
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) rows[k] = Row(1, 1, 1, 1, 1);
}

TEST(RegionExtents, NoRowCountingGivesTheFullRangeOnEveryAxis) {
  TeachVector rows[TEACH_VECTOR_COUNT];
  ResetRows(rows);
  rows[4] = Row(10, 10, 500, 900, 400);  // both X and Y at most 10: still a reset row
  for (int mode = 0; mode < 4; ++mode) {
    RegionExtents e = ComputeRegionExtents(rows, mode);
    EXPECT_EQ(e.XLow, 0) << mode;
    EXPECT_EQ(e.XHigh, 10000);
    EXPECT_EQ(e.YLow, 0);
    EXPECT_EQ(e.YHigh, 10000);
    EXPECT_EQ(e.IntLow, 0);
    EXPECT_EQ(e.IntHigh, 10000);
  }
}

TEST(RegionExtents, KeepNegativeEdgesAndCountARowWithOnlyOneSmallCoordinate) {
  TeachVector rows[TEACH_VECTOR_COUNT];
  ResetRows(rows);
  rows[0] = Row(30, 2000, 100, 500, 600);  // 2D: t = 100, I = 500, ti = 600
  rows[30] = Row(5, 300, 20, 3000, 50);     // X <= 10 but Y > 10: counts
  RegionExtents e = ComputeRegionExtents(rows, 0);
  EXPECT_EQ(e.XLow, -70);
  EXPECT_EQ(e.XHigh, 130);
  EXPECT_EQ(e.YLow, 280);
  EXPECT_EQ(e.YHigh, 2100);
  EXPECT_EQ(e.IntLow, -100);
  EXPECT_EQ(e.IntHigh, 3050);
  // 3D: I = CELL 2, TOL = CELL 3 for both radii.
  e = ComputeRegionExtents(rows, 3);
  EXPECT_EQ(e.XLow, 5 - 3000);
  EXPECT_EQ(e.XHigh, 5 + 3000);
  EXPECT_EQ(e.YLow, 300 - 3000);
  EXPECT_EQ(e.IntLow, 20 - 3000);
  EXPECT_EQ(e.IntHigh, 20 + 3000);
}

TEST(IntensityBand, IsClippedToTheIntensityRange) {
  int low = -1, high = -1;
  IntensityBand(4000, 200, &low, &high);
  EXPECT_EQ(low, 3800);
  EXPECT_EQ(high, 4096);
  IntensityBand(40, 100, &low, &high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 140);
}

// The program offline, with the five region graphs present on DATAP's pages.
class RegionPlot : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    for (int id : {DPAGE_PLANE_GRAPH, DPAGE_INTENSITY_GRAPH}) EnsureGraph(Panels.DataPage[2], id);
    for (int id : {DPAGE_XY_GRAPH, DPAGE_XINT_GRAPH, DPAGE_YINT_GRAPH}) EnsureGraph(Panels.DataPage[3], id);
  }
  static void EnsureGraph(int page, int id) {
    if (!ui::FindControl(page, id)) NewCtrlWithId(page, id, CTRL_GRAPH, "", 0, 0, 100, 100);
  }
  static const std::vector<ui::PlotData>& Plots(int page, int id) { return ui::FindControl(page, id)->graph->plots; }
  static void SetRow(int row, std::initializer_list<double> cells) {
    int column = 1;
    for (double v : cells) SetTableCellVal(Panels.Page[PAGE_TEACH], TEACH_TABLE, {row + 1, column++}, v);
  }
  std::unique_ptr<harness::Scratch> scratch_;
};

TEST_F(RegionPlot, EveryRowDrawsFourEllipsesInItsColourAndOldPlotsGo) {
  const int plane = Panels.DataPage[2], proj = Panels.DataPage[3];
  SetGraphCursor(plane, DPAGE_PLANE_GRAPH, 1, 5, 5);
  PlotPoint(plane, DPAGE_PLANE_GRAPH, 1, 1, VAL_SOLID_SQUARE, 0);
  SetRow(7, {1000, 2000, 100, 3000, 50});  // 2D: X, Y, CTO, INT, ITO
  RowColors[7] = 0x123456;
  ReadParametersFromPanel();
  PlotTeachRegions();
  for (int id : {DPAGE_XY_GRAPH, DPAGE_XINT_GRAPH, DPAGE_YINT_GRAPH}) ASSERT_EQ(Plots(proj, id).size(), 31u);
  ASSERT_EQ(Plots(plane, DPAGE_PLANE_GRAPH).size(), 31u);  // the old point went, the cursor stayed
  EXPECT_EQ(ui::FindControl(plane, DPAGE_PLANE_GRAPH)->graph->cursors.size(), 1u);
  auto corners = [](const ui::PlotData& p) { return std::vector<double>{p.x[0], p.y[0], p.x[1], p.y[1]}; };
  const ui::PlotData& xy = Plots(plane, DPAGE_PLANE_GRAPH)[7];
  EXPECT_EQ(xy.kind, ui::PLOT_OVAL);
  EXPECT_EQ(xy.color, 0x123456);
  EXPECT_EQ(xy.fillColor, VAL_TRANSPARENT);
  EXPECT_EQ(corners(xy), (std::vector<double>{900, 1900, 1100, 2100}));
  EXPECT_EQ(corners(Plots(proj, DPAGE_XY_GRAPH)[7]), (std::vector<double>{900, 1900, 1100, 2100}));
  EXPECT_EQ(corners(Plots(proj, DPAGE_XINT_GRAPH)[7]), (std::vector<double>{900, 2950, 1100, 3050}));
  EXPECT_EQ(corners(Plots(proj, DPAGE_YINT_GRAPH)[7]), (std::vector<double>{1900, 2950, 2100, 3050}));
  EXPECT_EQ(Plots(proj, DPAGE_YINT_GRAPH)[0].color, DefaultRowColors[0]);
  EXPECT_EQ(TeachRegionExtents.XLow, 900);
  EXPECT_EQ(TeachRegionExtents.IntHigh, 3050);

  // After a reset every row is a circle of radius 1 around (1, 1) and nothing counts.
  ResetTeachTable();
  ReadParametersFromPanel();
  PlotTeachRegions();
  EXPECT_EQ(corners(Plots(plane, DPAGE_PLANE_GRAPH)[7]), (std::vector<double>{0, 0, 2, 2}));
  EXPECT_EQ(TeachRegionExtents.XLow, 0);
  EXPECT_EQ(TeachRegionExtents.XHigh, 10000);
  EXPECT_EQ(TeachRegionExtents.IntHigh, 10000);
}

TEST_F(RegionPlot, BandFollowsTheRowInNoAndItsModeColumns) {
  const int teach = Panels.Page[PAGE_TEACH], plane = Panels.DataPage[2];
  SetRow(3, {1, 1, 200, 4000, 300});
  SetCtrlVal(teach, TEACH_NO, 3);
  CallCtrlCallback(teach, TEACH_NO, EVENT_COMMIT, 0, 0);
  CallCtrlCallback(teach, TEACH_NO, EVENT_COMMIT, 0, 0);  // the band is replaced, not added
  ASSERT_EQ(Plots(plane, DPAGE_INTENSITY_GRAPH).size(), 1u);
  const ui::PlotData& band = Plots(plane, DPAGE_INTENSITY_GRAPH)[0];
  EXPECT_EQ(band.kind, ui::PLOT_RECT);
  EXPECT_EQ(band.color, 0x408080);
  EXPECT_EQ(band.fillColor, 0x408080);
  EXPECT_EQ((std::vector<double>{band.x[0], band.y[0], band.x[1], band.y[1]}), (std::vector<double>{3700, 0, 4096, 100}));
  // In 3D the band is CELL 2 +- CELL 3.
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_CALC_MODE_RING, 2);
  PlotRowIntensityBand();
  const ui::PlotData& band3d = Plots(plane, DPAGE_INTENSITY_GRAPH)[0];
  EXPECT_EQ(band3d.x[0], 0);
  EXPECT_EQ(band3d.x[1], 4096);
}

}  // namespace
