// The retained model: values, attributes, items, tables, graphs, tab pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

class Model : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Reset();
    panel = NewPanel(0, "P", 0, 0, 300, 400);
    ASSERT_GT(panel, 0);
  }
  int panel = 0;
};

TEST_F(Model, NumericValuesAreCoercedIntoTheirRange) {
  int n = NewCtrlWithId(panel, 3, CTRL_NUMERIC, "N", 0, 0, 0, 0);
  ASSERT_EQ(n, 3);
  SetCtrlAttribute(panel, n, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(panel, n, ATTR_MAX_VALUE, 1000.0);
  SetCtrlVal(panel, n, 65535);
  int v = 0;
  GetCtrlVal(panel, n, &v);
  EXPECT_EQ(v, 1000);
  SetCtrlVal(panel, n, -5);
  unsigned short u = 7;
  GetCtrlVal(panel, n, &u);
  EXPECT_EQ(u, 0);
  // A string does not go into a number field, and nothing changes.
  EXPECT_LT(SetCtrlVal(panel, n, "12"), 0);
  GetCtrlVal(panel, n, &v);
  EXPECT_EQ(v, 0);
}

TEST_F(Model, StringFieldsHonourMaximumLengthAndBuffersStayTerminated) {
  int s = NewCtrl(panel, CTRL_STRING, "S", 0, 0);
  SetCtrlAttribute(panel, s, ATTR_MAX_ENTRY_LENGTH, 5);
  SetCtrlVal(panel, s, "abcdefgh");
  std::string text;
  GetCtrlVal(panel, s, &text);
  EXPECT_EQ(text, "abcde");
  char small[3];
  GetCtrlVal(panel, s, small, sizeof small);
  EXPECT_STREQ(small, "ab");
}

TEST_F(Model, RingsSelectByValueAndKeepTheSelectionAcrossEdits) {
  int r = NewCtrl(panel, CTRL_RING, "R", 0, 0);
  InsertListItem(panel, r, -1, "CONT", 0.0);
  InsertListItem(panel, r, -1, "SELF", 1.0);
  int count = 0, index = -2;
  GetCtrlIndex(panel, r, &index);
  EXPECT_EQ(index, 0);  // the first item is selected as soon as there is one
  const char* labels[] = {"EXT1", "EXT2", "EXT3", "TRANS", "PARA"};
  for (int i = 0; i < 5; ++i) InsertListItem(panel, r, i + 2, labels[i], 2.0 + i);
  GetNumListItems(panel, r, &count);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(SetCtrlVal(panel, r, 6), 0);
  double v = 0;
  GetCtrlVal(panel, r, &v);
  EXPECT_EQ(v, 6.0);
  EXPECT_LT(SetCtrlVal(panel, r, 9), 0);  // no such value: selection unchanged
  GetCtrlVal(panel, r, &v);
  EXPECT_EQ(v, 6.0);
  // Deleting from the third item on leaves CONT and SELF and a valid selection.
  DeleteListItem(panel, r, 2, -1);
  GetNumListItems(panel, r, &count);
  EXPECT_EQ(count, 2);
  GetCtrlIndex(panel, r, &index);
  EXPECT_GE(index, 0);
  EXPECT_LT(index, 2);
  ReplaceListItem(panel, r, 1, "SELF!", 1.0);
  std::string label;
  GetLabelFromIndex(panel, r, 1, &label);
  EXPECT_EQ(label, "SELF!");
}

TEST_F(Model, ComboListHoldsTextItemsBesideItsFreeText) {
  int s = NewCtrl(panel, CTRL_STRING, "Server", 0, 0);
  EXPECT_LT(InsertListItem(panel, s, 0, "a", "a"), 0);  // not a combo yet
  MakeStringCombo(panel, s);
  InsertListItem(panel, s, 0, "host-a", "host-a");
  InsertListItem(panel, s, 0, "host-b", "host-b");
  SetCtrlVal(panel, s, "typed");
  std::string text, first;
  GetCtrlVal(panel, s, &text);
  GetValueFromIndex(panel, s, 0, &first);
  EXPECT_EQ(text, "typed");
  EXPECT_EQ(first, "host-b");
}

TEST_F(Model, TablesHoldCellsColoursSelectionAndTitles) {
  int t = NewCtrl(panel, CTRL_TABLE, "T", 0, 0);
  ASSERT_EQ(SetTableSize(panel, t, 31, 6), 0);
  SetTableColumnAttribute(panel, t, 1, ATTR_MAX_VALUE, 65535.0);
  SetTableColumnAttribute(panel, t, 1, ATTR_MIN_VALUE, 0.0);
  SetTableCellVal(panel, t, {31, 1}, 70000.0);
  unsigned short u = 0;
  GetTableCellVal(panel, t, {31, 1}, &u);
  EXPECT_EQ(u, 65535);
  EXPECT_LT(SetTableCellVal(panel, t, {32, 1}, 1.0), 0);
  EXPECT_LT(SetTableCellVal(panel, t, {1, 7}, 1.0), 0);
  SetTableCellAttribute(panel, t, {5, 6}, ATTR_TEXT_BGCOLOR, 0xFF0000);
  int colour = 0;
  GetTableCellAttribute(panel, t, {5, 6}, ATTR_TEXT_BGCOLOR, &colour);
  EXPECT_EQ(colour, 0xFF0000);
  SetTableColumnAttribute(panel, t, 3, ATTR_LABEL_TEXT, "CTO");
  std::string title;
  GetTableColumnAttribute(panel, t, 3, ATTR_LABEL_TEXT, &title);
  EXPECT_EQ(title, "CTO");
  SetTableRowAttribute(panel, t, 2, ATTR_ROW_LABEL_COLOR, 0x008000);
  GetTableRowAttribute(panel, t, 2, ATTR_ROW_LABEL_COLOR, &colour);
  EXPECT_EQ(colour, 0x008000);
  // A selection running past the table is clipped; an empty one reads as none.
  SetTableSelection(panel, t, {30, 5, 5, 5});
  TableRect sel{};
  GetTableSelection(panel, t, &sel);
  EXPECT_EQ(sel.height, 2);
  EXPECT_EQ(sel.width, 2);
  SetTableSelection(panel, t, {0, 0, 0, 0});
  GetTableSelection(panel, t, &sel);
  EXPECT_EQ(sel.top, 0);
  // A string column takes text only.
  SetTableColumnAttribute(panel, t, 2, ATTR_CELL_TYPE, VAL_CELL_STRING);
  EXPECT_EQ(SetTableCellVal(panel, t, {1, 2}, "text"), 0);
  EXPECT_LT(SetTableCellVal(panel, t, {1, 2}, 3.0), 0);
}

TEST_F(Model, GraphsKeepPlotsAxesAndCursors) {
  int g = NewCtrl(panel, CTRL_GRAPH, "G", 0, 0);
  int a = PlotOval(panel, g, -70, 0, 130, 200, 0xFF0000, VAL_TRANSPARENT);
  int b = PlotRectangle(panel, g, 0, 0, 140, 100, 0x408080, 0x408080);
  int c = PlotPoint(panel, g, 5, 6, VAL_SOLID_SQUARE, 0xFF0000);
  EXPECT_GT(a, 0);
  EXPECT_NE(a, b);
  int n = 0;
  GetNumGraphPlots(panel, g, &n);
  EXPECT_EQ(n, 3);
  DeleteGraphPlot(panel, g, b);
  GetNumGraphPlots(panel, g, &n);
  EXPECT_EQ(n, 2);
  DeleteGraphPlot(panel, g, -1);
  GetNumGraphPlots(panel, g, &n);
  EXPECT_EQ(n, 0);
  (void)c;
  EXPECT_LT(SetAxisScalingMode(panel, g, VAL_XAXIS, VAL_MANUAL, 10, 10), 0);  // empty range refused
  SetAxisScalingMode(panel, g, VAL_XAXIS, VAL_MANUAL, 975, 1525);
  int mode = -1;
  double lo = 0, hi = 0;
  GetAxisScalingMode(panel, g, VAL_XAXIS, &mode, &lo, &hi);
  EXPECT_EQ(mode, VAL_MANUAL);
  EXPECT_EQ(lo, 975);
  EXPECT_EQ(hi, 1525);
  SetGraphCursor(panel, g, 1, 1200, 50);
  double x = 0, y = 0;
  GetGraphCursor(panel, g, 1, &x, &y);
  EXPECT_EQ(x, 1200);
  EXPECT_EQ(y, 50);
}

TEST_F(Model, LineSegmentsThatJoinFormOneCompactChain) {
  int g = NewCtrlWithId(panel, 4, CTRL_GRAPH, "G", 0, 0, 100, 100);
  const int h = PlotLineSegment(panel, g, 0, 5, 0, 5, 0xFF0000);  // a first point without a slope
  ASSERT_GT(h, 0);
  EXPECT_EQ(PlotLineSegment(panel, g, 0, 5, 1, 9, 0xFF0000), h);
  EXPECT_EQ(PlotLineSegment(panel, g, 1, 9, 2, 3, 0xFF0000), h);
  // Another colour, or a start away from the chain's end, begins a new chain.
  const int other = PlotLineSegment(panel, g, 2, 3, 3, 4, 0x00FF00);
  EXPECT_NE(other, h);
  EXPECT_NE(PlotLineSegment(panel, g, 7, 7, 8, 8, 0x00FF00), other);
  const ui::GraphData& data = *ui::FindControl(panel, g)->graph;
  ASSERT_EQ(data.chains.size(), 3u);
  EXPECT_EQ(data.chains[0].segments, 3u);
  EXPECT_EQ(data.chains[0].xy, (std::vector<float>{0, 5, 0, 5, 1, 9, 2, 3}));
  int count = 0;
  GetNumGraphPlots(panel, g, &count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(DeleteGraphPlot(panel, g, other), 0);
  GetNumGraphPlots(panel, g, &count);
  EXPECT_EQ(count, 2);
  PlotPoint(panel, g, 1, 1, VAL_SOLID_SQUARE, 0xFF0000);
  EXPECT_EQ(DeleteGraphPlot(panel, g, -1), 0);
  GetNumGraphPlots(panel, g, &count);
  EXPECT_EQ(count, 0);
  EXPECT_LT(PlotLineSegment(panel, g, 0, NAN, 1, 1, 0xFF0000), 0);
}

TEST_F(Model, AMillionSegmentsStayBoundedWithTheirExtremesAndNewestPointsExact) {
  int g = NewCtrlWithId(panel, 4, CTRL_GRAPH, "G", 0, 0, 100, 100);
  // The recorder's x wraps at 65536; one spike early on must survive the thinning.
  std::uint16_t x = 0;
  double y = 100;
  for (int i = 0; i < 1000000; ++i) {
    const std::uint16_t nx = static_cast<std::uint16_t>(x + 1);
    const double ny = i == 1000 ? 4000 : (i == 1001 ? 3 : 100 + i % 7);
    ASSERT_GT(PlotLineSegment(panel, g, x, y, nx, ny, 0xFF0000), 0);
    x = nx;
    y = ny;
  }
  const ui::GraphData& data = *ui::FindControl(panel, g)->graph;
  ASSERT_EQ(data.chains.size(), 1u);
  const ui::SegmentChain& c = data.chains[0];
  EXPECT_EQ(c.segments, 1000000u);
  EXPECT_LE(c.Points(), ui::SEGMENT_CHAIN_POINT_LIMIT);
  EXPECT_GT(c.thinned, 0);
  EXPECT_EQ(c.yhi, 4000);
  EXPECT_EQ(c.ylo, 3);
  float top = 0, bottom = 1e9f;
  for (std::size_t i = 0; i < c.Points(); ++i) {
    top = std::max(top, c.xy[2 * i + 1]);
    bottom = std::min(bottom, c.xy[2 * i + 1]);
  }
  EXPECT_EQ(top, 4000.0f);
  EXPECT_EQ(bottom, 3.0f);
  // The newest points are the last segments as plotted.
  EXPECT_EQ(c.xy[c.xy.size() - 2], static_cast<float>(x));
  EXPECT_EQ(c.xy[c.xy.size() - 1], static_cast<float>(y));
  EXPECT_EQ(c.xy[c.xy.size() - 3], static_cast<float>(100 + 999998 % 7));
}

TEST_F(Model, LinesThatKeepStartingOverStayBoundedAsAWhole) {
  int g = NewCtrlWithId(panel, 4, CTRL_GRAPH, "G", 0, 0, 100, 100);
  // As the recorder draws when its x wraps: each pass starts a new chain at the new value.
  double y = 0;
  for (int i = 0; i < 1000000; ++i) {
    const double x = i % 65536;
    const double ny = 100 + (i * 13) % 977;
    if (x == 0) {
      PlotLineSegment(panel, g, 65535, ny, 0, ny, 0xFF0000);
    } else {
      PlotLineSegment(panel, g, x - 1, y, x, ny, 0xFF0000);
    }
    y = ny;
  }
  const ui::GraphData& data = *ui::FindControl(panel, g)->graph;
  std::size_t total = 0;
  for (const auto& chain : data.chains) total += chain.Points();
  EXPECT_EQ(data.chains.size(), 16u);  // one per pass
  EXPECT_LE(total, ui::SEGMENT_GRAPH_POINT_LIMIT);
  EXPECT_EQ(data.chains.back().xy.back(), static_cast<float>(y));
  // Thinned chains give their memory back: each pass had a megabyte of floats reserved.
  std::size_t reserved = 0;
  for (const auto& chain : data.chains) reserved += chain.xy.capacity();
  EXPECT_LE(reserved, 4 * ui::SEGMENT_GRAPH_POINT_LIMIT);
}

TEST_F(Model, ALineStartedOverAndOverKeepsABoundedNumberOfChainsTheNewestWhole) {
  int g = NewCtrlWithId(panel, 4, CTRL_GRAPH, "G", 0, 0, 100, 100);
  const std::size_t passes = ui::SEGMENT_GRAPH_CHAIN_LIMIT + 44;
  for (std::size_t pass = 0; pass < passes; ++pass) {
    const double y = static_cast<double>(pass);
    for (int x = 0; x < 20; ++x) PlotLineSegment(panel, g, x, y, x + 1, y, 0xFF0000);
  }
  const ui::GraphData& data = *ui::FindControl(panel, g)->graph;
  ASSERT_EQ(data.chains.size(), ui::SEGMENT_GRAPH_CHAIN_LIMIT);
  // The oldest passes went; the ones kept are the newest, in order, the last one whole.
  EXPECT_EQ(data.chains.front().xy[1], static_cast<float>(passes - ui::SEGMENT_GRAPH_CHAIN_LIMIT));
  EXPECT_EQ(data.chains.back().xy[1], static_cast<float>(passes - 1));
  EXPECT_EQ(data.chains.back().Points(), 21u);
  int count = 0;
  GetNumGraphPlots(panel, g, &count);
  EXPECT_EQ(count, static_cast<int>(ui::SEGMENT_GRAPH_CHAIN_LIMIT));
}

TEST_F(Model, StripChartsInterleaveTracesAndKeepOneScreen) {
  int s = NewCtrl(panel, CTRL_STRIP_CHART, "S", 0, 0);
  SetStripChartTraces(panel, s, 3);
  SetCtrlAttribute(panel, s, ATTR_POINTS_PER_SCREEN, 101);
  std::vector<double> rgb(300);
  for (int i = 0; i < 300; ++i) rgb[i] = i;
  ClearStripChart(panel, s);
  PlotStripChart(panel, s, rgb.data(), 300);
  const ui::GraphData& g = *ui::FindControl(panel, s)->graph;
  ASSERT_EQ(g.traces[1].points.size(), 100u);
  EXPECT_EQ(g.traces[1].points.front(), 1);   // trace 2 takes every third value from the second
  EXPECT_EQ(g.traces[2].points.back(), 299);
  EXPECT_LT(PlotStripChart(panel, s, rgb.data(), 299), 0);  // not a multiple of the trace count
  // More points than a screen: only the newest stay.
  SetCtrlAttribute(panel, s, ATTR_POINTS_PER_SCREEN, 10);
  EXPECT_EQ(g.traces[0].points.size(), 10u);
  EXPECT_EQ(g.traces[0].points.back(), 297);
}

TEST_F(Model, TabPagesArePanelsWithVisibilityAndAnActivePage) {
  int tab = NewCtrl(panel, CTRL_TAB, "", 0, 0);
  for (int i = 0; i < 9; ++i) InsertTabPage(panel, tab, -1, ("page" + std::to_string(i)).c_str());
  int count = 0;
  GetNumTabPages(panel, tab, &count);
  EXPECT_EQ(count, 9);
  int page3 = 0, page4 = 0;
  GetPanelHandleFromTabPage(panel, tab, 3, &page3);
  GetPanelHandleFromTabPage(panel, tab, 4, &page4);
  EXPECT_NE(page3, page4);
  SetActiveTabPage(panel, tab, 3);
  SetTabPageAttribute(panel, tab, 8, ATTR_VISIBLE, 0);
  int visible = 1, active = -1;
  GetTabPageAttribute(panel, tab, 8, ATTR_VISIBLE, &visible);
  GetActiveTabPage(panel, tab, &active);
  EXPECT_EQ(visible, 0);
  EXPECT_EQ(active, 3);
  DisplayPanel(panel);
  EXPECT_TRUE(ui::PanelOperable(page3));
  EXPECT_FALSE(ui::PanelOperable(page4));  // a page in the back cannot be reached
  // Discarding the owner takes its pages and child panels with it.
  int child = NewPanel(panel, "child", 0, 0, 10, 10);
  DiscardPanel(panel);
  EXPECT_EQ(ui::FindPanel(page3), nullptr);
  EXPECT_EQ(ui::FindPanel(child), nullptr);
}

TEST_F(Model, ChangesRaiseRevisionsOnlyWhenSomethingChanged) {
  int n = NewCtrl(panel, CTRL_NUMERIC, "N", 0, 0);
  SetCtrlAttribute(panel, n, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetCtrlVal(panel, n, 5);
  std::uint64_t before = ui::TheModel().rev;
  SetCtrlVal(panel, n, 5);
  SetCtrlAttribute(panel, n, ATTR_DIMMED, 0);
  EXPECT_EQ(ui::TheModel().rev, before);
  SetCtrlVal(panel, n, 6);
  EXPECT_GT(ui::TheModel().rev, before);
  EXPECT_EQ(ui::FindControl(panel, n)->rev, ui::TheModel().rev);
}

TEST_F(Model, ProgramSetsOfAnEditableValueAreCountedEvenWhenTheValueStays) {
  // A face drops what the operator typed when the program sets the control, same value or not.
  int n = NewCtrl(panel, CTRL_NUMERIC, "N", 0, 0);
  int table = NewCtrl(panel, CTRL_TABLE, "T", 0, 0);
  SetTableSize(panel, table, 2, 2);
  SetCtrlVal(panel, n, 5);
  SetTableCellVal(panel, table, {2, 1}, 7.0);
  const ui::Control* c = ui::FindControl(panel, n);
  const std::uint64_t sets = c->valueSets, rev = ui::TheModel().rev;
  const std::uint64_t cellSets = ui::FindControl(panel, table)->table->Cell(2, 1).valueSets;
  SetCtrlVal(panel, n, 5);
  SetTableCellVal(panel, table, {2, 1}, 7.0);
  EXPECT_EQ(c->valueSets, sets + 1);
  EXPECT_GT(ui::TheModel().rev, rev);
  EXPECT_EQ(ui::FindControl(panel, table)->table->Cell(2, 1).valueSets, cellSets + 1);
  EXPECT_EQ(ui::FindControl(panel, table)->table->Cell(1, 1).valueSets, 0u);
  // The operator's own entry is not the program's.
  DisplayPanel(panel);
  ASSERT_TRUE(ui::op::SetValue(panel, n, 9));
  ProcessSystemEvents();
  EXPECT_EQ(c->num, 9);
  EXPECT_EQ(c->valueSets, sets + 1);
}

TEST_F(Model, BadHandlesAreRefusedWithoutHarm) {
  EXPECT_LT(SetCtrlVal(999, 1, 1), 0);
  EXPECT_LT(SetCtrlVal(panel, 999, 1), 0);
  EXPECT_LT(SetCtrlAttribute(panel, -1, ATTR_DIMMED, 1), 0);
  EXPECT_LT(LoadPanel(0, "none.uir", 42), 0);
  EXPECT_LT(DisplayPanel(0), 0);
  std::string s;
  EXPECT_LT(GetCtrlVal(panel, 0, &s), 0);
}

int BuildTwoButtons(int panel) {
  NewCtrlWithId(panel, 2, CTRL_COMMAND_BUTTON, "A", 0, 0, 0, 0);
  return NewCtrlWithId(panel, 3, CTRL_COMMAND_BUTTON, "B", 30, 0, 0, 0);
}
int BuildFails(int) { return -1; }

TEST_F(Model, ResourcesBuildPanelsByNumber) {
  RegisterPanelResource("test.uir", 5, BuildTwoButtons);
  RegisterPanelResource("test.uir", 6, BuildFails);
  int p = LoadPanel(0, "test.uir", 5);
  ASSERT_GT(p, 0);
  EXPECT_NE(ui::FindControl(p, 3), nullptr);
  EXPECT_LT(LoadPanel(0, "test.uir", 6), 0);
  EXPECT_LT(LoadPanel(0, "other.uir", 5), 0);
}

TEST(Utility, DateTimeAndPaths) {
  EXPECT_EQ(DateStr().size(), 10u);
  EXPECT_EQ(DateStr()[2], '-');
  EXPECT_EQ(TimeStr().size(), 8u);
  EXPECT_EQ(TimeStr()[5], ':');
  std::string drive, dir, name;
  SplitPath("/tmp/x/Parameter.ini", &drive, &dir, &name);
  EXPECT_EQ(drive, "");
  EXPECT_EQ(dir, "/tmp/x/");
  EXPECT_EQ(name, "Parameter.ini");
  SplitPath("Parameter.ini", &drive, &dir, &name);
  EXPECT_EQ(dir, "");
  EXPECT_EQ(name, "Parameter.ini");
  SetProgramDirectory("/tmp/somewhere/");
  EXPECT_EQ(ProgramDirectory(), "/tmp/somewhere");
  EXPECT_FALSE(FileExists("/tmp", nullptr));  // a directory is not a file
}

}  // namespace
