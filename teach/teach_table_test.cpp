// The teach page driven as an operator would: teaching, resets, the context menu's
// selection operations and the rearrangement between 2D and 3D modes.
#include "teach/teach_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "measurement/go_mode.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "teach/row_colors.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using Cells = std::vector<int>;

TEST(DefaultTolerances, FollowEvaluationCalculationAndPowerMode) {
  struct Case {
    int eval, calc, power, first, second;
  };
  const Case cases[] = {
      {0, 0, 0, 100, 100}, {0, 0, 1, 100, 50}, {0, 1, 0, 100, 50}, {0, 1, 1, 100, 50}, {0, 2, 1, 100, 1},
      {3, 0, 0, 100, 100}, {3, 0, 1, 100, 50}, {3, 3, 0, 100, 1},  {1, 0, 0, 200, 200}, {1, 0, 1, 200, 100},
      {1, 1, 1, 200, 50},  {1, 3, 0, 200, 1},  {2, 0, 0, 40, 200}, {2, 0, 1, 40, 100},  {2, 1, 0, 40, 50},
      {2, 1, 1, 40, 50},   {2, 2, 0, 40, 1},   {2, 3, 1, 40, 1},
  };
  for (const Case& c : cases) {
    DefaultTolerance t = DefaultTolerances(c.eval, c.calc, c.power);
    EXPECT_EQ(t.first, c.first) << c.eval << "/" << c.calc << "/" << c.power;
    EXPECT_EQ(t.second, c.second) << c.eval << "/" << c.calc << "/" << c.power;
  }
}

TEST(ReadInteger, TakesSignedDecimalsWithBlanksOnly) {
  long v = 0;
  EXPECT_TRUE(ReadInteger(" -20 ", &v));
  EXPECT_EQ(v, -20);
  EXPECT_TRUE(ReadInteger("+7", &v));
  EXPECT_EQ(v, 7);
  for (const char* bad : {"", " ", "12a", "0x10", "-", "1 2"}) EXPECT_FALSE(ReadInteger(bad, &v)) << bad;
}

class TeachPage : public ::testing::Test {
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
    group = Panels.Page[PAGE_GROUP_HOLD];
    para = Panels.Page[PAGE_PARAMETER];
  }
  void Measured(int x, int y, int intensity, int red = 0, int green = 0, int blue = 0) {
    const int d = Panels.Datap;
    SetCtrlVal(d, DATAP_X, x);
    SetCtrlVal(d, DATAP_Y, y);
    SetCtrlVal(d, DATAP_INT, intensity);
    SetCtrlVal(d, DATAP_RED, red);
    SetCtrlVal(d, DATAP_GREEN, green);
    SetCtrlVal(d, DATAP_BLUE, blue);
  }
  void Modes(int eval, int calc, int power) {
    SetCtrlVal(para, PARA_EVAL_MODE_RING, eval);
    SetCtrlVal(para, PARA_CALC_MODE_RING, calc);
    SetCtrlVal(para, PARA_POWER_MODE_RING, power);
    ReadParametersFromPanel();
  }
  void SetRow(int row, const Cells& cells) {
    for (int j = 0; j < 5; ++j) SetTableCellVal(teach, TEACH_TABLE, {row + 1, j + 1}, static_cast<double>(cells[j]));
  }
  Cells RowCells(int row) {
    Cells out;
    for (int j = 1; j <= 5; ++j) {
      int v = 0;
      GetTableCellVal(teach, TEACH_TABLE, {row + 1, j}, &v);
      out.push_back(v);
    }
    return out;
  }
  int No() {
    int v = -1;
    GetCtrlVal(teach, TEACH_NO, &v);
    return v;
  }
  void Do(bool posted) {
    ASSERT_TRUE(posted);
    ProcessSystemEvents();
  }
  void Select(TableRect r) { Do(ui::op::SelectCells(teach, TEACH_TABLE, r)); }
  void Menu(const char* label) { Do(ui::op::ChooseMenuItem(teach, TEACH_TABLE, label)); }
  std::unique_ptr<harness::Scratch> scratch_;
  int teach = 0, group = 0, para = 0;
};

TEST_F(TeachPage, TeachDataToWritesTheRowWithDefaultsAndReachesTheParameterSet) {
  Modes(EVAL_MIN_DIST, 0, POWER_MODE_DYN);
  Measured(1234, 2345, 3456);
  SetCtrlVal(teach, TEACH_NO, 5);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  EXPECT_EQ(RowCells(5), (Cells{1234, 2345, 40, 3456, 100}));
  EXPECT_EQ(ParameterSet.TeachBlock[5].Cell[2], 40);
  EXPECT_EQ(No(), 5);  // auto increment is off
  EXPECT_EQ(TeachRegionExtents.XLow, 1234 - 40);

  // 3D: INT into CELL 2, TOL into CELL 3, 1 into CELL 4; auto increment moves No. on.
  Modes(EVAL_BEST_HIT, 3, 0);
  SetCtrlVal(teach, TEACH_AUTO_INC, 1);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  EXPECT_EQ(RowCells(5), (Cells{1234, 2345, 3456, 200, 1}));
  EXPECT_EQ(No(), 6);
}

TEST_F(TeachPage, RowThirtyIsTaughtAndNoStaysThere) {
  Modes(EVAL_FIRST_HIT, 0, 0);
  Measured(700, 800, 900);
  SetCtrlVal(teach, TEACH_AUTO_INC, 1);
  SetCtrlVal(teach, TEACH_NO, 30);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  EXPECT_EQ(RowCells(30), (Cells{700, 800, 100, 900, 100}));
  EXPECT_EQ(No(), 30);
  EXPECT_EQ(RowCells(29), (Cells{1, 1, 1, 1, 1}));
}

TEST_F(TeachPage, ToleranceOffTouchesOnlyPositionAndIntensityAndTheItemsDimEachOther) {
  const ui::Control* table = ui::FindControl(teach, TEACH_TABLE);
  auto dimmed = [&](const char* label) {
    for (const auto& item : table->menu) {
      if (item.label == label) return item.dimmed;
    }
    return -1;
  };
  EXPECT_EQ(dimmed("Teach tolerance on"), 1);
  EXPECT_EQ(dimmed("Teach tolerance off"), 0);
  Modes(EVAL_FIRST_HIT, 0, 0);
  SetRow(2, {9, 9, 9, 9, 9});
  Measured(500, 600, 700);
  SetCtrlVal(teach, TEACH_NO, 2);
  Menu("Teach tolerance off");
  EXPECT_EQ(State.TeachToleranceOff, 1);
  EXPECT_EQ(dimmed("Teach tolerance off"), 1);
  EXPECT_EQ(dimmed("Teach tolerance on"), 0);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  EXPECT_EQ(RowCells(2), (Cells{500, 600, 9, 700, 9}));
  Menu("Teach tolerance on");
  EXPECT_EQ(State.TeachToleranceOff, 0);
  EXPECT_EQ(dimmed("Teach tolerance on"), 1);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  EXPECT_EQ(RowCells(2), (Cells{500, 600, 100, 700, 100}));
}

TEST_F(TeachPage, ThresholdModesWriteCellZeroOfRowsZeroAndOneWhateverNoSays) {
  struct Case {
    int eval, row0, row1;
  };
  for (const Case& c : {Case{EVAL_THD_RED_GREEN, 11, 22}, Case{EVAL_THD_RED_BLUE, 11, 33}, Case{EVAL_THD_GREEN_BLUE, 22, 33}}) {
    for (int r = 0; r < 3; ++r) SetRow(r, {5, 5, 5, 5, 5});
    Modes(c.eval, 0, 0);
    Measured(700, 800, 900, 11, 22, 33);
    SetCtrlVal(teach, TEACH_AUTO_INC, 1);
    SetCtrlVal(teach, TEACH_NO, 2);
    Do(ui::op::Press(teach, TEACH_DATA_TO));
    EXPECT_EQ(RowCells(0), (Cells{c.row0, 5, 5, 5, 5})) << c.eval;
    EXPECT_EQ(RowCells(1), (Cells{c.row1, 5, 5, 5, 5})) << c.eval;
    EXPECT_EQ(RowCells(2), (Cells{5, 5, 5, 5, 5})) << c.eval;
    EXPECT_EQ(No(), 2) << c.eval;
  }
}

TEST_F(TeachPage, AutomaticRowColourPaintsTheRowInAllFourTables) {
  Modes(EVAL_FIRST_HIT, 0, 0);
  Measured(700, 800, 900);
  CurrentColor = 0x336699;
  SetCtrlVal(teach, TEACH_NO, 4);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  int bg = 0;
  GetTableCellAttribute(teach, TEACH_TABLE, {5, 6}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, DefaultRowColors[4]);  // by hand: taught rows keep their colour
  RowColorMode = 1;
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  RowColorMode = 0;
  EXPECT_EQ(RowColors[4], 0x336699);
  GetTableCellAttribute(teach, TEACH_TABLE, {5, 6}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0x336699);
  GetTableCellAttribute(group, HOLD_TABLE, {6, 2}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0x336699);
  GetTableCellAttribute(group, GROUP_TABLE, {5, 2}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0x336699);
  GetTableCellAttribute(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {5, 2}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0x336699);
}

TEST_F(TeachPage, CalculationModeBetween2DAnd3DRearrangesEveryRow) {
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  SetCtrlVal(para, PARA_DIG_OUTMODE_RING, 2);  // the calculation mode is free only while colours are evaluated
  SetRow(0, {500, 600, 100, 2000, 150});
  SetRow(30, {500, 600, 100, 2000, 150});
  SetTableCellVal(group, GROUP_TABLE, {1, 1}, 3.0);
  int index = -1;
  GetIndexFromValue(para, PARA_CALC_MODE_RING, &index, 1.0);
  Do(ui::op::PickIndex(para, PARA_CALC_MODE_RING, index));  // within 2D: nothing moves
  EXPECT_EQ(RowCells(0), (Cells{500, 600, 100, 2000, 150}));
  GetIndexFromValue(para, PARA_CALC_MODE_RING, &index, 3.0);
  Do(ui::op::PickIndex(para, PARA_CALC_MODE_RING, index));
  EXPECT_EQ(RowCells(0), (Cells{500, 600, 2000, 100, 1}));
  EXPECT_EQ(RowCells(30), (Cells{500, 600, 2000, 100, 1}));
  EXPECT_EQ(ParameterSet.TeachBlock[30].Cell[2], 2000);
  GetIndexFromValue(para, PARA_CALC_MODE_RING, &index, 0.0);
  Do(ui::op::PickIndex(para, PARA_CALC_MODE_RING, index));
  EXPECT_EQ(RowCells(0), (Cells{500, 600, 100, 2000, 100}));
  EXPECT_EQ(ParameterSet.TeachBlock[0].Group, 3);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_CALCULATION_MODE], 0);
}

TEST_F(TeachPage, IncrementSelectionCountsOnInSixteenBitsOverValueCellsOnly) {
  SetRow(0, {100, 7, 7, 7, 7});
  Select({1, 1, 2, 2});
  ui::headless::AnswerPrompt("20");
  Menu("Increment selection with");
  EXPECT_EQ(RowCells(0), (Cells{100, 120, 7, 7, 7}));
  EXPECT_EQ(RowCells(1), (Cells{140, 160, 1, 1, 1}));
  EXPECT_EQ(ParameterSet.TeachBlock[1].Cell[1], 160);
  ASSERT_EQ(ui::headless::Popups().back().title, "VALUE!");
  EXPECT_EQ(ui::headless::Popups().back().text, "Insert a cell value!");

  // The indicator column is skipped and the sum wraps at 65536.
  SetRow(2, {0, 0, 0, 0, 65530});
  Select({3, 5, 2, 2});
  ui::headless::AnswerPrompt("10");
  Menu("Increment selection with");
  EXPECT_EQ(RowCells(2)[4], 65530);
  EXPECT_EQ(RowCells(3)[4], 4);

  // A top-left indicator cell, a cancelled prompt or a non-number change nothing.
  const size_t popups = ui::headless::Popups().size();
  Select({1, 6, 2, 1});
  Menu("Increment selection with");
  EXPECT_EQ(ui::headless::Popups().size(), popups);  // not even asked
  Select({1, 1, 1, 5});
  ui::headless::AnswerPrompt(std::nullopt);
  Menu("Increment selection with");
  ui::headless::AnswerPrompt("2x");
  Menu("Set selection to");
  EXPECT_EQ(RowCells(0), (Cells{100, 120, 7, 7, 7}));
}

TEST_F(TeachPage, SetAndResetSelectionNeverWriteTheIndicatorColumn) {
  const int colourBefore = ui::FindControl(teach, TEACH_TABLE)->table->Cell(2, 6).bgColor;
  Select({1, 4, 2, 3});
  ui::headless::AnswerPrompt("777");
  Menu("Set selection to");
  EXPECT_EQ(RowCells(0), (Cells{1, 1, 1, 777, 777}));
  EXPECT_EQ(RowCells(1), (Cells{1, 1, 1, 777, 777}));
  EXPECT_EQ(ui::FindControl(teach, TEACH_TABLE)->table->Cell(2, 6).bgColor, colourBefore);
  Select({2, 5, 1, 2});
  Menu("Reset selection");
  EXPECT_EQ(RowCells(1), (Cells{1, 1, 1, 777, 1}));
  EXPECT_EQ(ParameterSet.TeachBlock[1].Cell[4], 1);
  // Without a selection nothing is asked and nothing changes.
  Select({0, 0, 0, 0});
  const size_t popups = ui::headless::Popups().size();
  Menu("Set selection to");
  Menu("Reset selection");
  EXPECT_EQ(ui::headless::Popups().size(), popups);
  EXPECT_EQ(RowCells(0), (Cells{1, 1, 1, 777, 777}));
}

TEST_F(TeachPage, MenuHoldsTheProgramsEntriesInOrderAndHelpExplainsThem) {
  std::vector<std::string> labels;
  for (const auto& item : ui::FindControl(teach, TEACH_TABLE)->menu) labels.push_back(item.separator ? "-" : item.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Help", "-", "Set selection to", "Increment selection with",
                                              "Reset selection", "-", "Teach tolerance off", "Teach tolerance on"}));
  for (int id : {GROUP_TABLE, HOLD_TABLE}) EXPECT_TRUE(ui::FindControl(group, id)->builtInMenuHidden);
  EXPECT_TRUE(ui::FindControl(teach, TEACH_TABLE)->builtInMenuHidden);
  EXPECT_TRUE(ui::FindControl(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE)->builtInMenuHidden);
  Menu("Help");
  ASSERT_EQ(ui::headless::Popups().size(), 1u);
  EXPECT_EQ(ui::headless::Popups()[0].title, "INFO!");
  EXPECT_EQ(ui::headless::Popups()[0].text.substr(0, 55), "Change cell value with a left double click or with F2. ");
}

TEST_F(TeachPage, ResetsAskFirstAndDoNothingOnNo) {
  SetRow(3, {9, 9, 9, 9, 9});
  ReadParametersFromPanel();
  SetCtrlVal(teach, TEACH_NO, 3);
  ui::headless::AnswerConfirm(0);
  Do(ui::op::Press(teach, TEACH_RESET));
  EXPECT_EQ(RowCells(3), (Cells{9, 9, 9, 9, 9}));
  ASSERT_EQ(ui::headless::Popups().size(), 1u);
  EXPECT_EQ(ui::headless::Popups()[0].title, "ATTENTION!");
  EXPECT_EQ(ui::headless::Popups()[0].text, "Do you really want to reset the table?");
  ui::headless::AnswerConfirm(1);
  Do(ui::op::Press(teach, TEACH_RESET));
  EXPECT_EQ(RowCells(3), (Cells{1, 1, 1, 1, 1}));
  EXPECT_EQ(No(), 0);
  EXPECT_EQ(ParameterSet.TeachBlock[3].Cell[0], 9);  // the set follows at the next copy

  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_GROUP_HOLD);
  SetTableCellVal(group, GROUP_TABLE, {31, 1}, 4.0);
  SetTableCellAttribute(group, GROUP_TABLE, {31, 1}, ATTR_TEXT_BGCOLOR, 0xFF0000);
  ui::headless::AnswerConfirm(1);
  Do(ui::op::Press(group, GROUP_RESET));
  int v = -1, bg = 0;
  GetTableCellVal(group, GROUP_TABLE, {31, 1}, &v);
  GetTableCellAttribute(group, GROUP_TABLE, {31, 1}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(bg, 0xFFFFFF);

  SetCtrlVal(group, HOLD_RESET_VALUE, 250);
  ui::headless::AnswerConfirm(1);
  Do(ui::op::Press(group, HOLD_RESET));
  for (int row : {1, 2, 32}) {
    GetTableCellVal(group, HOLD_TABLE, {row, 1}, &v);
    EXPECT_EQ(v, 250) << row;  // the HOLD FAIL row included
  }
}

TEST_F(TeachPage, CellEditReachesTheSetAndTheTeachPanelButtonsOpenTheirPanels) {
  ui::FindControl(Panels.DataPage[2], DPAGE_PLANE_GRAPH) ||
      NewCtrlWithId(Panels.DataPage[2], DPAGE_PLANE_GRAPH, CTRL_GRAPH, "", 0, 0, 100, 100);
  Do(ui::op::EditCell(teach, TEACH_TABLE, {9, 1}, 4321.0));
  EXPECT_EQ(ParameterSet.TeachBlock[8].Cell[0], 4321);
  EXPECT_EQ(ui::FindControl(Panels.DataPage[2], DPAGE_PLANE_GRAPH)->graph->plots[8].x[1], 4322);
  EXPECT_FALSE(ui::op::EditCell(teach, TEACH_TABLE, {9, 6}, 5.0));  // the row colour is not a value

  Do(ui::op::Press(teach, TEACH_OPEN_TEACHP1));
  EXPECT_TRUE(ui::FindPanel(Panels.Teachp1)->visible);
  EXPECT_FALSE(ui::FindPanel(Panels.Datap)->visible);
  // TEACHP1 started GO, which found no sensor and brought the connection page to the front.
  EXPECT_EQ(State.GoRunning, 0);
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
  Do(ui::op::Press(teach, TEACH_OPEN_TEACHP2));
  EXPECT_TRUE(ui::FindPanel(Panels.Teachp2)->visible);
  EXPECT_FALSE(ui::FindPanel(Panels.Teachp1)->visible);
}

}  // namespace
