// The two teach panels and their labelling, driven as an operator would on the
// headless runtime: capturing frames, their means and distances, teaching them,
// recorded points selected with a graph cursor, and the texts of every mode.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "measurement/measured_values.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "teach/mean_teach.h"
#include "teach/recorded_teach.h"
#include "teach/teach_labels.h"
#include "teach/teach_table.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using Cells = std::vector<int>;

// [SECTION] Computations

TEST(MeanTeach, MeansTruncateAndDistancesFollowTheCalculationMode) {
  const std::uint16_t frames[2][TP1_COLUMNS] = {{10, 20, 30, 100, 100, 1000}, {11, 21, 31, 103, 104, 1010}};
  std::uint16_t mean[TP1_COLUMNS] = {};
  MeanOfFrames(frames, 2, mean);
  EXPECT_EQ(std::vector<int>(mean, mean + 6), (std::vector<int>{10, 20, 30, 101, 102, 1005}));
  // sqrt(5) = 2.23 and sqrt(8) = 2.82 both truncate to 2; INT differs by 5.
  MaxDistances d2 = MaxDistancesToMean(frames, 2, mean, false);
  EXPECT_EQ(d2.colour, 2);
  EXPECT_EQ(d2.intensity, 5);
  // In 3D the intensity joins: truncate(sqrt(4 + 4 + 25)) = 5.
  EXPECT_EQ(MaxDistancesToMean(frames, 2, mean, true).colour, 5);

  // Bright frames: a 16-bit sum would wrap after the second one.
  const std::uint16_t bright[3][TP1_COLUMNS] = {{40000, 0, 0, 65535, 0, 0}, {40000, 0, 0, 65535, 0, 0},
                                                {40001, 0, 0, 65535, 0, 0}};
  MeanOfFrames(bright, 3, mean);
  EXPECT_EQ(mean[0], 40000);
  EXPECT_EQ(mean[3], 65535);
  // Distances of far-apart frames do not overflow 32 bits either.
  const std::uint16_t apart[2][TP1_COLUMNS] = {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 65535, 65535, 65535}};
  MeanOfFrames(apart, 2, mean);
  EXPECT_EQ(MaxDistancesToMean(apart, 2, mean, true).colour, 56755);  // sqrt(3) * 32768, truncated
  MeanOfFrames(apart, 0, mean);
  EXPECT_EQ(mean[5], 0);
}

TEST(MeanTeach, ToleranceChoicesAndMinDist) {
  MeanTeach in{500, 600, 2000, TOL_DISTANCE_PLUS_VALUE, TOL_DISTANCE, 30, 25, 12, 7};
  TeachVector row{{1, 1, 1, 1, 1}, 0, 0, 0};
  TeachMeanIntoRow(&row, in, 0, EVAL_FIRST_HIT);
  EXPECT_EQ(Cells(row.Cell, row.Cell + 5), (Cells{500, 600, 42, 2000, 7}));
  TeachMeanIntoRow(&row, in, 1, EVAL_MIN_DIST);
  EXPECT_EQ(Cells(row.Cell, row.Cell + 5), (Cells{500, 600, 40, 2000, 7}));
  // 3D: INT into CELL 2, TOL into CELL 3, CELL 4 left alone.
  row = TeachVector{{1, 1, 1, 1, 77}, 0, 0, 0};
  in.colourChoice = TOL_VALUE;
  TeachMeanIntoRow(&row, in, 2, EVAL_BEST_HIT);
  EXPECT_EQ(Cells(row.Cell, row.Cell + 5), (Cells{500, 600, 2000, 30, 77}));
  TeachMeanIntoRow(&row, in, 3, EVAL_MIN_DIST);
  EXPECT_EQ(row.Cell[3], 40);
  // Keeping the row's tolerance, and sums beyond the cell range.
  row = TeachVector{{1, 1, 150, 1, 90}, 0, 0, 0};
  in = MeanTeach{1, 2, 3, TOL_KEEP, TOL_KEEP, 30, 25, 12, 7};
  TeachMeanIntoRow(&row, in, 0, EVAL_FIRST_HIT);
  EXPECT_EQ(Cells(row.Cell, row.Cell + 5), (Cells{1, 2, 150, 3, 90}));
  EXPECT_EQ(ChooseTolerance(TOL_DISTANCE_PLUS_VALUE, 65535, 100, 0), 65535);
}

TEST(RecordedTeach, ExactSearchTakesTheFirstMatchOfTheGraphsPair) {
  const RecordedPoint points[] = {{100, 200, 1000}, {300, 400, 1500}, {100, 200, 1800}};
  EXPECT_EQ(FindRecordedPoint(points, 3, 0, 100, 200), 0);   // X/Y cannot tell 0 and 2 apart
  EXPECT_EQ(FindRecordedPoint(points, 3, 1, 100, 1800), 2);  // X/INT can
  EXPECT_EQ(FindRecordedPoint(points, 3, 2, 400, 1500), 1);  // Y/INT
  EXPECT_EQ(FindRecordedPoint(points, 3, 0, 100.5, 200), -1);
  EXPECT_EQ(FindRecordedPoint(points, 2, 1, 100, 1800), -1);  // beyond the count is not searched
}

// [SECTION] On the panels

class TeachPanels : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    // Colour evaluation on (BINARY): the mode rules show the teach pages.
    SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_DIG_OUTMODE_RING, DIGITAL_OUTMODE_BINARY);
    ApplyModeRules();
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
    ui::headless::Popups().clear();
    teach = Panels.Page[PAGE_TEACH];
    para = Panels.Page[PAGE_PARAMETER];
    p1 = Panels.Teachp1;
    p2 = Panels.Teachp2;
    RecordedPointCount = 0;
    ShowChildPanel(p1);
  }
  void TearDown() override { ui::headless::SetPopupHook(nullptr); }
  void Modes(int eval, int calc) {
    SetCtrlVal(para, PARA_EVAL_MODE_RING, eval);
    SetCtrlVal(para, PARA_CALC_MODE_RING, calc);
    ReadParametersFromPanel();
  }
  void Do(bool posted) {
    ASSERT_TRUE(posted);
    ProcessSystemEvents();
  }
  void Frame(int x, int y, int intensity, int red = 0, int green = 0, int blue = 0) {
    MeasuredValues = MeasuredValuesRecord{};
    MeasuredValues.Red = red;
    MeasuredValues.Green = green;
    MeasuredValues.Blue = blue;
    MeasuredValues.X = x;
    MeasuredValues.Y = y;
    MeasuredValues.Int = intensity;
  }
  void Capture(int x, int y, int intensity, int red = 0) {
    Frame(x, y, intensity, red);
    Do(ui::op::Press(p1, TP1_CAPTURE));
  }
  int Value(int panel, int control) {
    int v = -1;
    GetCtrlVal(panel, control, &v);
    return v;
  }
  Cells ValuesRow(int row) {
    Cells out;
    for (int c = 1; c <= TP1_COLUMNS; ++c) {
      int v = 0;
      GetTableCellVal(p1, TP1_VALUES, {row, c}, &v);
      out.push_back(v);
    }
    return out;
  }
  Cells MeanRow() {
    Cells out;
    for (int c = 1; c <= TP1_COLUMNS; ++c) {
      int v = 0;
      GetTableCellVal(p1, TP1_MEAN, {1, c}, &v);
      out.push_back(v);
    }
    return out;
  }
  Cells TeachRow(int row) {
    Cells out;
    for (int j = 1; j <= 5; ++j) {
      int v = 0;
      GetTableCellVal(teach, TEACH_TABLE, {row + 1, j}, &v);
      out.push_back(v);
    }
    return out;
  }
  int TopRow() {
    int row = 0;
    GetTableTopRow(p1, TP1_VALUES, &row);
    return row;
  }
  std::string Label(int panel, int control) {
    std::string s;
    GetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, &s);
    return s;
  }
  std::vector<std::string> Items(int control) {
    std::vector<std::string> out;
    int n = 0;
    GetNumListItems(p1, control, &n);
    for (int i = 0; i < n; ++i) {
      std::string s;
      GetLabelFromIndex(p1, control, i, &s);
      double v = -1;
      GetValueFromIndex(p1, control, i, &v);
      EXPECT_EQ(v, i);  // the index is the value in every mode
      out.push_back(s);
    }
    return out;
  }
  bool Attr(int panel, int control, Attr attr) {
    int v = 0;
    GetCtrlAttribute(panel, control, attr, &v);
    return v != 0;
  }
  void Cursor(int graph, double* x, double* y) { GetGraphCursor(p2, graph, 1, x, y); }
  void Record(int x, int y, int intensity) {
    Frame(x, y, intensity);
    AddRecordedPoint();
  }
  std::unique_ptr<harness::Scratch> scratch_;
  int teach = 0, para = 0, p1 = 0, p2 = 0;
};

TEST_F(TeachPanels, CapturesFillTheTableAndTheHundredAndFirstReplacesRowHundred) {
  Modes(EVAL_FIRST_HIT, 0);
  Capture(100, 100, 1000, 7);
  Capture(103, 104, 1010, 9);
  EXPECT_EQ(Value(p1, TP1_COUNTER), 2);
  EXPECT_EQ(ValuesRow(2), (Cells{9, 0, 0, 103, 104, 1010}));
  EXPECT_EQ(MeanRow(), (Cells{8, 0, 0, 101, 102, 1005}));
  EXPECT_EQ(Value(p1, TP1_MAX_DELTA_XY), 2);
  EXPECT_EQ(Value(p1, TP1_MAX_DELTA_INT), 5);
  for (int k = 3; k <= 101; ++k) Capture(k, 2 * k, 3 * k);
  EXPECT_EQ(Value(p1, TP1_COUNTER), 100);
  EXPECT_EQ(ValuesRow(99), (Cells{0, 0, 0, 99, 198, 297}));
  EXPECT_EQ(ValuesRow(100), (Cells{0, 0, 0, 101, 202, 303}));  // the 101st frame, in place of the 100th
  EXPECT_EQ(TopRow(), 100);

  // An edited cell counts at once.
  Do(ui::op::EditCell(p1, TP1_VALUES, {1, 1}, 1007.0));
  EXPECT_EQ(MeanRow()[0], (1007 + 9) / 100);
}

TEST_F(TeachPanels, UndoCountsBackScrollsAndClearsTheRow) {
  for (int k = 1; k <= 7; ++k) Capture(100 + k, 200, 1000);
  Do(ui::op::Press(p1, TP1_UNDO));
  EXPECT_EQ(Value(p1, TP1_COUNTER), 6);
  EXPECT_EQ(TopRow(), 1);
  EXPECT_EQ(ValuesRow(7), (Cells{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(MeanRow()[3], (101 + 106) / 2);
  for (int k = 7; k <= 12; ++k) Capture(100 + k, 200, 1000);
  Do(ui::op::Press(p1, TP1_UNDO));
  EXPECT_EQ(Value(p1, TP1_COUNTER), 11);
  EXPECT_EQ(TopRow(), 6);
  for (int k = 0; k < 12; ++k) Do(ui::op::Press(p1, TP1_UNDO));
  EXPECT_EQ(Value(p1, TP1_COUNTER), 0);
  EXPECT_EQ(MeanRow(), (Cells{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Value(p1, TP1_MAX_DELTA_XY), 0);
}

TEST_F(TeachPanels, ResetAsksWithTheButtonRedAndClearsEverything) {
  Capture(100, 100, 1000);
  Capture(110, 100, 1000);
  int colourWhileAsking = 0;
  ui::headless::SetPopupHook([&](const ui::headless::PopupRecord&) {
    GetCtrlAttribute(p1, TP1_RESET, ATTR_CMD_BUTTON_COLOR, &colourWhileAsking);
  });
  ui::headless::AnswerConfirm(0);
  Do(ui::op::Press(p1, TP1_RESET));
  EXPECT_EQ(colourWhileAsking, 0xFF0000);
  ASSERT_FALSE(ui::headless::Popups().empty());
  EXPECT_EQ(ui::headless::Popups().back().title, "ATTENTION!");
  EXPECT_EQ(ui::headless::Popups().back().text, "Do you really want to reset the table?");
  EXPECT_EQ(Value(p1, TP1_COUNTER), 2);
  int colour = 0;
  GetCtrlAttribute(p1, TP1_RESET, ATTR_CMD_BUTTON_COLOR, &colour);
  EXPECT_EQ(colour, 0xE0E0E0);

  ui::headless::AnswerConfirm(1);
  Do(ui::op::Press(p1, TP1_RESET));
  EXPECT_EQ(Value(p1, TP1_COUNTER), 0);
  EXPECT_EQ(ValuesRow(2), (Cells{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(MeanRow(), (Cells{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Value(p1, TP1_MAX_DELTA_XY), 0);
  EXPECT_EQ(Value(p1, TP1_MAX_DELTA_INT), 0);
  GetCtrlAttribute(p1, TP1_RESET, ATTR_CMD_BUTTON_COLOR, &colour);
  EXPECT_EQ(colour, 0xE0E0E0);
}

TEST_F(TeachPanels, TeachWritesTheMeansWithTheChosenTolerances) {
  Modes(EVAL_FIRST_HIT, 0);
  // Means (112, 100, 1005), "d (X/Y)" 12, "d INT" 5.
  Capture(100, 100, 1000);
  Capture(124, 100, 1010);
  ASSERT_EQ(Value(p1, TP1_MAX_DELTA_XY), 12);
  Do(ui::op::PickIndex(p1, TP1_TEACH_CTO_WITH, TOL_DISTANCE_PLUS_VALUE));
  Do(ui::op::SetValue(p1, TP1_VALUE_CTO, 30));
  Do(ui::op::PickIndex(p1, TP1_TEACH_ITO_WITH, TOL_DISTANCE));
  SetCtrlVal(teach, TEACH_NO, 4);
  SetCtrlVal(teach, TEACH_AUTO_INC, 1);
  Do(ui::op::Press(p1, TP1_TEACH));
  EXPECT_EQ(TeachRow(4), (Cells{112, 100, 42, 1005, 5}));
  EXPECT_EQ(ParameterSet.TeachBlock[4].Cell[2], 42);
  EXPECT_EQ(Value(teach, TEACH_NO), 5);

  // MIN DIST: 40 whatever the list says; the list is dimmed, so it cannot be changed.
  Modes(EVAL_MIN_DIST, 0);
  LabelTeachPanels();
  EXPECT_FALSE(ui::op::PickIndex(p1, TP1_TEACH_CTO_WITH, TOL_VALUE));
  Do(ui::op::Press(p1, TP1_TEACH));
  EXPECT_EQ(TeachRow(5), (Cells{112, 100, 40, 1005, 5}));

  // Row 30 is taught and No. stays there.
  SetCtrlVal(teach, TEACH_NO, 30);
  Do(ui::op::Press(p1, TP1_TEACH));
  EXPECT_EQ(TeachRow(30)[0], 112);
  EXPECT_EQ(Value(teach, TEACH_NO), 30);
}

TEST_F(TeachPanels, TeachWithNothingCapturedWritesZeroMeans) {
  Modes(EVAL_BEST_HIT, 2);
  Do(ui::op::PickIndex(p1, TP1_TEACH_CTO_WITH, TOL_VALUE));
  Do(ui::op::SetValue(p1, TP1_VALUE_CTO, 55));
  SetTableCellVal(teach, TEACH_TABLE, {3, 5}, 9.0);
  SetCtrlVal(teach, TEACH_NO, 2);
  Do(ui::op::Press(p1, TP1_TEACH));
  EXPECT_EQ(TeachRow(2), (Cells{0, 0, 0, 55, 9}));  // 3D: CELL 4 stays
  // Frames captured before stay while the panel is away.
  Capture(10, 20, 30);
  ShowChildPanel(Panels.Datap);
  ShowChildPanel(p1);
  EXPECT_EQ(Value(p1, TP1_COUNTER), 1);
  EXPECT_EQ(ValuesRow(1), (Cells{0, 0, 0, 10, 20, 30}));
}

TEST_F(TeachPanels, LabelsFollowTheCalculationMode) {
  struct Expect {
    int calc;
    const char* column6;
    const char* distance;
    const char* intensityDistance;
    const char* colourList;
    std::vector<std::string> colourItems;
    bool intensityShown;
    const char* graph2;
    const char* value3;
    int secondBackground;
  };
  const Expect cases[] = {
      {0, "INT", "d (X/Y)", "d INT", "TEACH CTO WITH", {"VALUE CTO", "d (X/Y)", "d (X/Y)+VALUE CTO"}, true, "X/INT",
       "INT", 0x00FF00},
      {1, "M", "d (s/i)", "d M", "TEACH siTO WITH", {"VALUE siTO", "d (s/i)", "d (s/i)+VALUE siTO"}, true, "s/M", "M",
       0xFFFF00},
      // Mode 2 leaves the intensity texts of mode 1 and hides them.
      {2, "INT", "d (X/Y/INT)", "d M", "TEACH TOL WITH", {"VALUE TOL", "d (X/Y/INT)", "d (X/Y/INT)+VALUE TOL"}, false,
       "X/INT", "INT", 0x00FF00},
      {3, "M", "d (s/i/INT)", "d M", "TEACH TOL WITH", {"VALUE TOL", "d (s/i/INT)", "d (s/i/INT)+VALUE TOL"}, false,
       "s/M", "M", 0xFFFF00},
  };
  for (const Expect& e : cases) {
    SCOPED_TRACE(e.calc);
    Modes(EVAL_FIRST_HIT, e.calc);
    ShowChildPanel(Panels.Datap);
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
    Do(ui::op::Press(teach, TEACH_OPEN_TEACHP2));  // opening labels the panels
    std::string title;
    GetTableColumnAttribute(p1, TP1_VALUES, 6, ATTR_LABEL_TEXT, &title);
    EXPECT_EQ(title, e.column6);
    GetTableColumnAttribute(p1, TP1_MEAN, 6, ATTR_LABEL_TEXT, &title);
    EXPECT_EQ(title, e.column6);
    EXPECT_EQ(Label(p1, TP1_MAX_DELTA_XY), e.distance);
    EXPECT_EQ(Label(p1, TP1_MAX_DELTA_INT), e.intensityDistance);
    EXPECT_EQ(Label(p1, TP1_TEACH_CTO_WITH), e.colourList);
    EXPECT_EQ(Items(TP1_TEACH_CTO_WITH), e.colourItems);
    for (int id : {TP1_MAX_DELTA_INT, TP1_TEACH_ITO_WITH, TP1_VALUE_ITO}) {
      EXPECT_EQ(Attr(p1, id, ATTR_VISIBLE), e.intensityShown) << id;
    }
    EXPECT_EQ(Label(p2, TP2_GRAPH_XINT), e.graph2);
    EXPECT_EQ(Label(p2, TP2_INT), e.value3);
    int bg = 0;
    GetCtrlAttribute(p2, TP2_Y, ATTR_TEXT_BGCOLOR, &bg);
    EXPECT_EQ(bg, e.secondBackground);
  }
  // The intensity list of mode 1 reads in M.
  Modes(EVAL_FIRST_HIT, 1);
  LabelTeachPanels();
  EXPECT_EQ(Items(TP1_TEACH_ITO_WITH), (std::vector<std::string>{"VALUE MTO", "d M", "d M+VALUE MTO"}));
  EXPECT_EQ(Label(p1, TP1_VALUE_ITO), "VALUE MTO");
}

TEST_F(TeachPanels, MinDistDimsTheColourToleranceAndThresholdModesShutThePanelsOff) {
  // Through the parameter control, as the operator changes it: the mode rules label the panels.
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  Do(ui::op::PickIndex(para, PARA_DIG_OUTMODE_RING, 2));  // colours are evaluated
  Do(ui::op::PickIndex(para, PARA_CALC_MODE_RING, 1));
  Do(ui::op::PickIndex(para, PARA_EVAL_MODE_RING, EVAL_MIN_DIST));
  EXPECT_TRUE(Attr(p1, TP1_TEACH_CTO_WITH, ATTR_DIMMED));
  EXPECT_TRUE(Attr(p1, TP1_VALUE_CTO, ATTR_DIMMED));
  EXPECT_EQ(Label(p1, TP1_VALUE_CTO), "VALUE siTO");
  EXPECT_FALSE(Attr(p1, TP1_TEACH_ITO_WITH, ATTR_DIMMED));

  Do(ui::op::PickIndex(para, PARA_EVAL_MODE_RING, EVAL_THD_RED_BLUE));
  EXPECT_TRUE(Attr(teach, TEACH_OPEN_TEACHP1, ATTR_DIMMED));
  EXPECT_TRUE(Attr(teach, TEACH_OPEN_TEACHP2, ATTR_DIMMED));
  EXPECT_FALSE(Attr(teach, TEACH_NO, ATTR_VISIBLE));
  EXPECT_FALSE(Attr(teach, TEACH_AUTO_INC, ATTR_VISIBLE));
  EXPECT_EQ(Label(p1, TP1_VALUE_CTO), "VALUE siTO");  // the TEACHP1 texts stay as they were
  EXPECT_TRUE(Attr(p1, TP1_TEACH_CTO_WITH, ATTR_DIMMED));

  Do(ui::op::PickIndex(para, PARA_EVAL_MODE_RING, EVAL_BEST_HIT));
  EXPECT_FALSE(Attr(teach, TEACH_OPEN_TEACHP2, ATTR_DIMMED));
  EXPECT_TRUE(Attr(teach, TEACH_NO, ATTR_VISIBLE));
  EXPECT_FALSE(Attr(p1, TP1_TEACH_CTO_WITH, ATTR_DIMMED));
}

TEST_F(TeachPanels, SelectingARecordedPointMovesEveryCursorToIt) {
  ShowChildPanel(p2);
  Record(100, 200, 1000);
  Record(300, 400, 1500);
  Record(500, 600, 2000);
  EXPECT_EQ(Value(p2, TP2_COUNTER), 3);
  EXPECT_EQ(Value(p2, TP2_X), 500);
  double x = 0, y = 0;
  Cursor(TP2_GRAPH_YINT, &x, &y);
  EXPECT_EQ(x, 600);
  EXPECT_EQ(y, 2000);
  EXPECT_EQ(ui::FindControl(p2, TP2_GRAPH_XINT)->graph->plots.size(), 3u);

  // Released near the second point: the cursor snaps onto it and the others follow.
  Do(ui::op::MoveCursor(p2, TP2_GRAPH_XY, 1, 310, 390, true));
  EXPECT_EQ(Value(p2, TP2_X), 300);
  EXPECT_EQ(Value(p2, TP2_Y), 400);
  EXPECT_EQ(Value(p2, TP2_INT), 1500);
  Cursor(TP2_GRAPH_XINT, &x, &y);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 1500);
  Cursor(TP2_GRAPH_YINT, &x, &y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 1500);

  // Teaching takes the selected point as TEACH DATA TO would take DATAP's values.
  Modes(EVAL_BEST_HIT, 0);
  SetCtrlVal(teach, TEACH_NO, 7);
  Do(ui::op::Press(p2, TP2_TEACH));
  EXPECT_EQ(TeachRow(7), (Cells{300, 400, 200, 1500, 200}));
  EXPECT_EQ(ParameterSet.TeachBlock[7].Cell[3], 1500);

  // Switched to a threshold mode with the panel still open: the panel has no Red, Green
  // and Blue to give, so the thresholds in rows 0 and 1 are left alone.
  Modes(EVAL_THD_RED_GREEN, 0);
  const Cells row0 = TeachRow(0), row1 = TeachRow(1);
  Do(ui::op::Press(p2, TP2_TEACH));
  EXPECT_EQ(TeachRow(0), row0);
  EXPECT_EQ(TeachRow(1), row1);
  EXPECT_EQ(TeachRow(7), (Cells{300, 400, 200, 1500, 200}));
}

TEST_F(TeachPanels, PointsEqualInXAndYAreToldApartInXInt) {
  ShowChildPanel(p2);
  Record(100, 200, 1000);
  Record(100, 200, 3000);
  Do(ui::op::MoveCursor(p2, TP2_GRAPH_XY, 1, 100, 200, true));
  EXPECT_EQ(Value(p2, TP2_INT), 1000);  // X/Y always takes the earlier one
  Do(ui::op::MoveCursor(p2, TP2_GRAPH_XINT, 1, 100, 2990, true));
  EXPECT_EQ(Value(p2, TP2_INT), 3000);
  double x = 0, y = 0;
  Cursor(TP2_GRAPH_YINT, &x, &y);
  EXPECT_EQ(y, 3000);
}

TEST_F(TeachPanels, ACursorMovedWithNoPointChangesNothing) {
  ShowChildPanel(p2);
  Record(100, 200, 1000);
  Record(700, 800, 1900);
  ui::headless::AnswerConfirm(1);
  Do(ui::op::Press(p2, TP2_RESET));
  EXPECT_EQ(Value(p2, TP2_COUNTER), 0);
  EXPECT_EQ(RecordedPointCount, 0);
  int plots = -1;
  GetNumGraphPlots(p2, TP2_GRAPH_XY, &plots);
  EXPECT_EQ(plots, 0);
  // Entry 0 still holds the old point, yet nothing is taken from it.
  SetCtrlVal(p2, TP2_X, 11);
  Do(ui::op::MoveCursor(p2, TP2_GRAPH_XY, 1, 100, 200, true));
  EXPECT_EQ(Value(p2, TP2_X), 11);
  double x = 0, y = 0;
  Cursor(TP2_GRAPH_XINT, &x, &y);
  EXPECT_EQ(x, 700);  // where the last recorded point left it
  EXPECT_EQ(y, 1900);
}

TEST_F(TeachPanels, HelpTextsOfThePanels) {
  struct Case {
    int panel, control;
    const char* text;
  };
  const Case cases[] = {
      {p1, TP1_CAPTURE, "Get frame of R,G,B,X,Y,INT \nrespectively R,G,B,s,i,M \nand assign to table. "},
      {p1, TP1_CLOSE, "Close PANEL and return to MAIN PANEL. "},
      {p1, TP1_TEACH_ITO_WITH, "Choose to which value the tolerance \nshould be set in the TEACH TABLE."},
      {p1, TP1_MEAN, "Table to list the mean values. "},
      {p2, TP2_GRAPH_YINT,
       "Display for recorded values. \nMove cursor to select a position \nwhich should be teached to the table."},
      {p2, TP2_COUNTER, "Displays the amount of recorded values. "},
      {p2, TP2_TEACH, "Teach cursor position to the \nTEACH TABLE row selected \nin the ROW No.: function field."},
  };
  for (const Case& c : cases) {
    ShowChildPanel(c.panel);
    ui::headless::Popups().clear();
    Do(ui::op::RightClick(c.panel, c.control));
    ASSERT_EQ(ui::headless::Popups().size(), 1u) << c.control;
    EXPECT_EQ(ui::headless::Popups()[0].title, "INFO!");
    EXPECT_EQ(ui::headless::Popups()[0].text, c.text);
  }
}

}  // namespace
