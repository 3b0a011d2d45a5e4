// The mode rules as the operator meets them: against the simulated sensor, through GET
// and through the parameter controls.
#include "parameters/mode_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "parameters/parameter_panel.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

constexpr const char* kAnalogNotice =
    "ATTENTION! \nIf DIGITAL OUTMODE and ANALOG OUTMODE are enabled, \neither X Y INT or s i M can be calculated. "
    "\nANALOG OUTMODE will be set depending of CALCULATION MODE.";
constexpr const char* kMaxColNotice =
    "ATTENTION! \n\nMAXCOL-No. is too high. \n\nIf color group is disabled and OUMODE=DIRECT LO or \nDIRECT HI, "
    "the maximum number is 2. \nIf OUTMODE=BINARY, the maximum number is 3. \n\nIf color group is enabled, the "
    "maximum number is 31. \n\nMAXCOL-No. will be set to maximum value.";
constexpr const char* kGroupNotice =
    "ATTENTION! \nIf OUTMODE=DIRECT HI or DIRECT LO: \n2 groups are possible! GROUP 0 and 1. \nIf OUTMODE=BINARY: "
    "\n3 groups are possible. GROUP 0,1,2. \n\n Cell will be set to 0.";

class ModeRules : public ::testing::Test {
 protected:
  // Starts against a sensor whose RAM set 0 is the simulator's, changed by `edit`.
  void Start(void (*edit)(sim::ParaSet&) = nullptr) {
    sim::ParaSet set = P().Sim().RamSet(0);
    if (edit) edit(set);
    P().Sim().SetRamSet(0, set);
    P().Start();
    ASSERT_EQ(State.SensorConnected, 1) << P().MessageBox();
  }
  harness::Program& P() { return program_; }
  static int Para() { return Panels.Page[PAGE_PARAMETER]; }
  static int Group() { return Panels.Page[PAGE_GROUP_HOLD]; }
  static int Val(int panel, int control) {
    int v = -1;
    GetCtrlVal(panel, control, &v);
    return v;
  }
  static int AttrOf(int panel, int control, Attr attr) {
    int v = -1;
    GetCtrlAttribute(panel, control, attr, &v);
    return v;
  }
  static bool Shown(int panel, int control) { return AttrOf(panel, control, ATTR_VISIBLE) == 1; }
  static bool Dim(int panel, int control) { return AttrOf(panel, control, ATTR_DIMMED) == 1; }
  // The operator picks the ring entry holding `value`.
  static void Pick(int control, int value) {
    int index = -1;
    ASSERT_EQ(GetIndexFromValue(Para(), control, &index, value), 0) << "no entry " << value;
    ASSERT_TRUE(ui::op::PickIndex(Para(), control, index));
    ProcessSystemEvents();
  }
  static void Enter(int panel, int control, double value) {
    ASSERT_TRUE(ui::op::SetValue(panel, control, value));
    ProcessSystemEvents();
  }
  void Get() {
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_GET));
    ProcessSystemEvents();
  }
  // Texts of the message popups since the last call.
  static std::vector<std::string> Notices() {
    std::vector<std::string> out;
    for (const auto& p : ui::headless::Popups()) {
      if (p.kind == "message" && p.title == "INFO!") out.push_back(p.text);
    }
    ui::headless::Popups().clear();
    return out;
  }
  static int RowLabel(int panel, int table, int row) {
    int colour = -1;
    GetTableRowAttribute(panel, table, row, ATTR_ROW_LABEL_COLOR, &colour);
    return colour;
  }
  harness::Program program_;
};

using Texts = std::vector<std::string>;

TEST_F(ModeRules, GetOfConsistentSetsShowsNoPopup) {
  Start();  // the connection reads the sensor's default set
  EXPECT_EQ(Notices(), Texts{});
  EXPECT_FALSE(Shown(Para(), PARA_TRIGGER_RING));  // digital outputs off: nothing to evaluate
  int visible = 1;
  GetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_TEACH, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 0);

  // Colour evaluation with groups, X Y INT on the analogue output, PARA trigger, DYN power.
  sim::ParaSet set = P().Sim().RamSet(0);
  set.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_BINARY;
  set.para[sim::COLOR_GROUP] = 1;
  set.para[sim::MAX_VEC_NO] = 12;
  set.para[sim::ANALOG_OUTMODE] = 2;
  set.para[sim::TRIGGER] = sim::TRIGGER_PARA;
  set.para[sim::POWER_MODE] = 1;
  for (int r = 0; r < 31; ++r) set.teach[8 * r + sim::GROUP] = static_cast<std::uint16_t>(r % 3);
  P().Sim().SetRamSet(0, set);
  Get();
  Get();
  EXPECT_EQ(Notices(), Texts{});
  EXPECT_EQ(Val(Para(), PARA_MAX_VEC_NO_NUM), 12);
  EXPECT_EQ(Val(Para(), PARA_ANA_OUTMODE_RING), 2);
  EXPECT_EQ(Val(Para(), PARA_TRIGGER_RING), 6);
  EXPECT_FALSE(Dim(Panels.Mainp, MAINP_PARASET1));
  EXPECT_TRUE(Dim(Para(), PARA_SLIDE_POWER));
  EXPECT_FALSE(Dim(Para(), PARA_DYNWIN_LO_NUM));
  int bg = 0;
  GetTableCellAttribute(Group(), GROUP_TABLE, {3, 1}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0xFFFFFF);
}

TEST_F(ModeRules, AnalogueOutmodeFollowsTheCalculationModeWithOnePopup) {
  Start([](sim::ParaSet& s) {
    s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_DIRECT_LO;
    s.para[sim::CALCULATION_MODE] = 1;  // s i M - 2D
  });
  Pick(PARA_ANA_OUTMODE_RING, 2);  // X Y INT cannot go out while s i M is calculated
  EXPECT_EQ(Notices(), Texts{kAnalogNotice});
  EXPECT_EQ(Val(Para(), PARA_ANA_OUTMODE_RING), 3);
  EXPECT_TRUE(Shown(Para(), PARA_ANA_OUT_RING));
  EXPECT_FALSE(Shown(Para(), PARA_ANA_ZOOM_NUM));
  Pick(PARA_POWER_MODE_RING, 1);  // consistent now: another pass says nothing
  EXPECT_EQ(Notices(), Texts{});

  Pick(PARA_ANA_OUTMODE_RING, 5);  // siM REF fits s i M
  EXPECT_EQ(Notices(), Texts{});
  EXPECT_TRUE(Shown(Para(), PARA_ANA_ZOOM_NUM));
  EXPECT_TRUE(Shown(Panels.DataPage[1], DPAGE_SIMREF0));
  EXPECT_FALSE(Shown(Para(), PARA_ANA_OUT_RING));
  Pick(PARA_CALC_MODE_RING, 0);  // ... but not X Y INT
  EXPECT_EQ(Notices(), Texts{kAnalogNotice});
  EXPECT_EQ(Val(Para(), PARA_ANA_OUTMODE_RING), 2);
  EXPECT_FALSE(Shown(Panels.DataPage[1], DPAGE_SIMREF0));
  EXPECT_TRUE(Shown(Para(), PARA_ANA_OUT_RING));
}

TEST_F(ModeRules, MaxColLimitAndRowLabelColours) {
  Start([](sim::ParaSet& s) { s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_BINARY; });
  Enter(Para(), PARA_MAX_VEC_NO_NUM, 5);
  EXPECT_EQ(Notices(), Texts{kMaxColNotice});
  EXPECT_EQ(Val(Para(), PARA_MAX_VEC_NO_NUM), 3);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_MAX_VEC_NO], 3);
  EXPECT_EQ(P().ActiveMainPage(), PAGE_PARAMETER);
  const int teach = Panels.Page[PAGE_TEACH], attributes = Panels.Page[PAGE_TABLE_ATTR];
  for (int row = 1; row <= 31; ++row) {
    const int want = row <= 3 ? 0x008000 : 0xFF0000;
    EXPECT_EQ(RowLabel(teach, TEACH_TABLE, row), want) << row;
    EXPECT_EQ(RowLabel(attributes, ATTR_SPEC_TABLE, row), want) << row;
    EXPECT_EQ(RowLabel(Group(), GROUP_TABLE, row), want) << row;
    EXPECT_EQ(RowLabel(Group(), HOLD_TABLE, row + 1), want) << row;
  }
  EXPECT_EQ(RowLabel(Group(), HOLD_TABLE, 1), 0x008000);  // HOLD FAIL

  Pick(PARA_DIG_OUTMODE_RING, DIGITAL_OUTMODE_DIRECT_HI);  // two colours only
  EXPECT_EQ(Notices(), Texts{kMaxColNotice});
  EXPECT_EQ(Val(Para(), PARA_MAX_VEC_NO_NUM), 2);
  EXPECT_EQ(RowLabel(teach, TEACH_TABLE, 3), 0xFF0000);
}

TEST_F(ModeRules, GroupCellsAboveTheLimitAreResetWithOnePopup) {
  Start([](sim::ParaSet& s) {
    s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_DIRECT_LO;
    s.para[sim::COLOR_GROUP] = 1;
    s.para[sim::MAX_VEC_NO] = 31;  // groups lift the colour limit
    for (int r : {0, 4, 30}) s.teach[8 * r + sim::GROUP] = 2;
  });
  EXPECT_EQ(Notices(), Texts{kGroupNotice});
  EXPECT_EQ(P().ActiveMainPage(), PAGE_GROUP_HOLD);
  EXPECT_EQ(Val(Para(), PARA_MAX_VEC_NO_NUM), 31);
  for (int row : {1, 2, 5, 31}) {
    int group = -1, bg = -1;
    GetTableCellVal(Group(), GROUP_TABLE, {row, 1}, &group);
    GetTableCellAttribute(Group(), GROUP_TABLE, {row, 1}, ATTR_TEXT_BGCOLOR, &bg);
    EXPECT_EQ(bg, row == 2 ? 0xFFFFFF : 0xFF0000) << row;
    EXPECT_EQ(group, row == 2 ? 1 : 0) << row;
  }
  // An operator's edit runs the rules again and brings the group page back.
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_GROUP_HOLD);
  ASSERT_TRUE(ui::op::EditCell(Group(), GROUP_TABLE, {7, 1}, 2.0));
  ProcessSystemEvents();
  EXPECT_EQ(Notices(), Texts{kGroupNotice});
  int group = -1;
  GetTableCellVal(Group(), GROUP_TABLE, {7, 1}, &group);
  EXPECT_EQ(group, 0);
}

TEST_F(ModeRules, ExternTeachAndTriggerShareIn0) {
  Start([](sim::ParaSet& s) { s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_BINARY; });
  int count = 0;
  Pick(PARA_EXTEACH_RING, 1);
  GetNumListItems(Para(), PARA_TRIGGER_RING, &count);
  EXPECT_EQ(count, 2);
  Pick(PARA_EXTEACH_RING, 0);
  GetNumListItems(Para(), PARA_TRIGGER_RING, &count);
  ASSERT_EQ(count, 7);
  std::string label;
  GetLabelFromIndex(Para(), PARA_TRIGGER_RING, 6, &label);
  EXPECT_EQ(label, "PARA");

  Pick(PARA_TRIGGER_RING, 2);  // EXT1
  EXPECT_TRUE(Dim(Para(), PARA_EXTEACH_RING));
  Pick(PARA_TRIGGER_RING, 6);  // PARA: both sets selectable
  EXPECT_FALSE(Dim(Panels.Mainp, MAINP_PARASET0));
  ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_PARASET1));
  ProcessSystemEvents();
  EXPECT_EQ(State.ParameterSetIndex, 1);
  Pick(PARA_TRIGGER_RING, 0);  // CONT: back to set 0, buttons dimmed
  EXPECT_TRUE(Dim(Panels.Mainp, MAINP_PARASET0));
  EXPECT_TRUE(Dim(Panels.Mainp, MAINP_PARASET1));
  EXPECT_EQ(Val(Panels.Mainp, MAINP_PARASET0), 1);
  EXPECT_EQ(Val(Panels.Mainp, MAINP_PARASET1), 0);
  EXPECT_EQ(State.ParameterSetIndex, 0);
  EXPECT_FALSE(Dim(Para(), PARA_EXTEACH_RING));
  EXPECT_EQ(Notices(), Texts{});
}

TEST_F(ModeRules, LedOffEndsDyn1AndThePower) {
  Start([](sim::ParaSet& s) {
    s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_BINARY;
    s.para[sim::EXTERN_TEACH] = 3;  // DYN1
  });
  EXPECT_TRUE(Dim(Para(), PARA_SLIDE_POWER));
  EXPECT_FALSE(Dim(Para(), PARA_DYNWIN_HI_NUM));
  Pick(PARA_LED_MODE_RING, LED_MODE_OFF);
  EXPECT_EQ(Val(Para(), PARA_EXTEACH_RING), 0);
  EXPECT_EQ(Val(Para(), PARA_SLIDE_POWER), 0);
  for (int id : {PARA_SLIDE_POWER, PARA_POWER_MODE_RING, PARA_DYNWIN_LO_NUM, PARA_DYNWIN_HI_NUM}) {
    EXPECT_TRUE(Dim(Para(), id)) << id;
  }
  Pick(PARA_LED_MODE_RING, LED_MODE_DC);  // STAT power again
  EXPECT_FALSE(Dim(Para(), PARA_SLIDE_POWER));
  EXPECT_FALSE(Dim(Para(), PARA_POWER_MODE_RING));
  EXPECT_TRUE(Dim(Para(), PARA_DYNWIN_LO_NUM));
}

TEST_F(ModeRules, Col2AndThdFixOutputsGroupsAndColumns) {
  Start([](sim::ParaSet& s) {
    s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_DIRECT_LO;
    s.para[sim::COLOR_GROUP] = 1;
    s.para[sim::MAX_VEC_NO] = 9;
    s.para[sim::INTLIM] = 200;
  });
  // The group table's reset button may not be built yet; the rules dim it all the same.
  if (CtrlKind kind; GetCtrlKind(Group(), GROUP_RESET, &kind) < 0) {
    NewCtrlWithId(Group(), GROUP_RESET, CTRL_COMMAND_BUTTON, "RESET", 30, 6, 22, 60);
  }
  Pick(PARA_EVAL_MODE_RING, 3);  // COL2
  EXPECT_EQ(Notices(), Texts{});  // BINARY allows three colours: 2 is fine
  EXPECT_EQ(Val(Para(), PARA_MAX_VEC_NO_NUM), 2);
  EXPECT_EQ(Val(Para(), PARA_DIG_OUTMODE_RING), DIGITAL_OUTMODE_BINARY);
  EXPECT_EQ(Val(Group(), GROUP_COLOR_GROUP), 0);
  for (int id : {GROUP_COLOR_GROUP, GROUP_TABLE, GROUP_RESET}) EXPECT_TRUE(Dim(Group(), id)) << id;
  EXPECT_TRUE(Dim(Para(), PARA_MAX_VEC_NO_NUM));
  EXPECT_TRUE(Shown(Panels.Datap, DATAP_OUT0));
  EXPECT_FALSE(Shown(Panels.Datap, DATAP_COL));
  EXPECT_FALSE(Shown(Panels.Datap, DATAP_GROUP));
  EXPECT_FALSE(Dim(Para(), PARA_CALC_MODE_RING));

  Pick(PARA_CALC_MODE_RING, 2);
  Pick(PARA_TRIGGER_RING, 1);
  Pick(PARA_EVAL_MODE_RING, 5);  // THD Red Blue
  EXPECT_EQ(Val(Para(), PARA_INTLIM_NUM), 0);
  EXPECT_TRUE(Dim(Para(), PARA_INTLIM_NUM));
  EXPECT_TRUE(Dim(Para(), PARA_CALC_MODE_RING));
  EXPECT_EQ(Val(Para(), PARA_CALC_MODE_RING), 0);  // ANALOG OUTMODE 1 wants X Y INT
  EXPECT_TRUE(Dim(Para(), PARA_TRIGGER_RING));
  std::string title;
  const char* const want[5] = {"THD", "", "", "", ""};
  for (int col = 1; col <= 5; ++col) {
    GetTableColumnAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, col, ATTR_LABEL_TEXT, &title);
    EXPECT_EQ(title, want[col - 1]) << col;
  }
  int page = 1;
  GetTabPageAttribute(Panels.Datap, DATAP_TAB, 2, ATTR_VISIBLE, &page);
  EXPECT_EQ(page, 0);

  Pick(PARA_EVAL_MODE_RING, 2);  // MIN DIST in X Y INT 2D: CTO unused
  int inUse = -1;
  GetTableColumnAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, 3, ATTR_COLUMN_IN_USE, &inUse);
  EXPECT_EQ(inUse, 0);
  for (int id : {GROUP_COLOR_GROUP, GROUP_TABLE, GROUP_RESET}) EXPECT_FALSE(Dim(Group(), id)) << id;
  EXPECT_FALSE(Dim(Para(), PARA_CALC_MODE_RING));
  EXPECT_EQ(Notices(), Texts{});
}

TEST_F(ModeRules, CalculationModeRetitlesTablesAndDisplays) {
  Start([](sim::ParaSet& s) { s.para[sim::DIGITAL_OUTMODE] = DIGITAL_OUTMODE_BINARY; });
  SetActiveTabPage(Panels.Datap, DATAP_TAB, 3);
  Pick(PARA_CALC_MODE_RING, 1);
  std::string title;
  GetCtrlAttribute(Panels.Datap, DATAP_X, ATTR_LABEL_TEXT, &title);
  EXPECT_EQ(title, "s");
  EXPECT_EQ(AttrOf(Panels.Datap, DATAP_Y, ATTR_TEXT_BGCOLOR), 0x80FFFF);
  EXPECT_EQ(AttrOf(Panels.Datap, DATAP_Y, ATTR_FRAME_COLOR), 0xFFFF00);
  GetTableColumnAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, 3, ATTR_LABEL_TEXT, &title);
  EXPECT_EQ(title, "siTO");
  int active = -1;
  GetActiveTabPage(Panels.Datap, DATAP_TAB, &active);
  EXPECT_EQ(active, 2);  // 2D plane instead of the 3D projections
  Pick(PARA_CALC_MODE_RING, 2);
  GetTableColumnAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, 4, ATTR_LABEL_TEXT, &title);
  EXPECT_EQ(title, "TOL");
  GetCtrlAttribute(Panels.Datap, DATAP_INT, ATTR_LABEL_TEXT, &title);
  EXPECT_EQ(title, "INT");
  GetActiveTabPage(Panels.Datap, DATAP_TAB, &active);
  EXPECT_EQ(active, 3);
}

}  // namespace
