// The parameter controls and the copies between the panel and ParameterSet.
#include "parameters/parameter_panel.h"

#include <cstdint>

#include "app/Chromik4ANAv12.h"
#include "app/help.h"
#include "app/uir_build.h"
#include "parameters/mode_rules.h"
#include "teach/region_plot.h"
#include "teach/teach_table.h"
#include "ui/ui.h"

ParameterSetRecord ParameterSet{};

namespace {

struct RingItem {
  const char* label;
  int code;
};

// One control per ParameterBlock word on the parameter page (HOLD FAIL lives in the
// hold table and COLOR GROUP on the group page). The PC checks no values: the sensor
// checks plausibility itself, so a numeric control spans the whole word unless the
// parameter has a fixed scale of its own (POWER, INTEGRAL, MAX VEC NO). A narrower
// control would clip what the sensor holds and write the clipped value back.
struct ParaControl {
  int word;                    // ParameterBlock word
  int control;                 // control id on the parameter page
  CtrlKind kind;               // slide, numeric or ring
  const char* label;           // the parameter's name
  CtrlCallbackPtr callback;
  const char* help;
  int min, max;                // numeric range
  const RingItem* items;       // ring entries in display order, null-terminated
  int column, row;             // place on the page: column 0 or 1, row 0..9
};

const RingItem kPowerMode[] = {{"STAT", 0}, {"DYN", 1}, {nullptr, 0}};
const RingItem kEvalMode[] = {{"FIRST HIT", 0}, {"BEST HIT", 1},      {"MIN DIST", 2},       {"COL2", 3},
                              {"THD Red Green", 4}, {"THD Red Blue", 5}, {"THD Green Blue", 6}, {nullptr, 0}};
const RingItem kDigOutmode[] = {{"OFF", DIGITAL_OUTMODE_OFF},
                                {"BINARY", DIGITAL_OUTMODE_BINARY},
                                {"DIRECT LO", DIGITAL_OUTMODE_DIRECT_LO},
                                {"DIRECT HI", DIGITAL_OUTMODE_DIRECT_HI},
                                {nullptr, 0}};
const RingItem kTrigger[] = {{"CONT", 0}, {"SELF", 1}, {nullptr, 0}};  // EXT1..PARA follow EXTERN TEACH
const RingItem kExteach[] = {{"OFF", 0}, {"ON", 1}, {"STAT1", 2}, {"DYN1", 3}, {nullptr, 0}};
const RingItem kCalcMode[] = {{"X Y INT - 2D", 0}, {"s i   M - 2D", 1}, {"X Y INT - 3D", 2},
                              {"s i   M - 3D", 3}, {nullptr, 0}};
const RingItem kLedMode[] = {{"DC", LED_MODE_DC}, {"AC", LED_MODE_AC}, {"PULSE", LED_MODE_PULSE},
                             {"OFF", LED_MODE_OFF}, {nullptr, 0}};
const RingItem kGain[] = {{"AMP1", 0}, {"AMP2", 1}, {"AMP3", 2}, {"AMP4", 3}, {"AMP5", 4},
                          {"AMP6", 5}, {"AMP7", 6}, {"AMP8", 7}, {nullptr, 0}};
const RingItem kAnaOutmode[] = {{"OFF", 0},    {"STANDARD", 1}, {"X Y INT", 2}, {"s i M", 3},
                                {"RGB MM", 4}, {"siM REF", 5},  {nullptr, 0}};
const RingItem kAnaOut[] = {{"CONT", 0}, {"IN0 L->H", 1}, {nullptr, 0}};

const ParaControl kControls[] = {
    {PARA_POWER, PARA_SLIDE_POWER, CTRL_SLIDE, "POWER", CBF_SlidePower, help::SlidePower, 0, 1000, nullptr, 0, 0},
    {PARA_POWER_MODE, PARA_POWER_MODE_RING, CTRL_RING, "POWER MODE", CBF_EditPmode, help::EditPmode, 0, 0, kPowerMode, 0, 1},
    {PARA_AVERAGE, PARA_AVERAGE_NUM, CTRL_NUMERIC, "AVERAGE", CBF_EditAverage, help::EditAverage, 0, 65535, nullptr, 0, 4},
    {PARA_EVALUATION_MODE, PARA_EVAL_MODE_RING, CTRL_RING, "EVALUATION MODE", CBF_EditEvalmode, help::EditEvalmode, 0, 0, kEvalMode, 1, 0},
    {PARA_INTLIM, PARA_INTLIM_NUM, CTRL_NUMERIC, "INTLIM", CBF_EditIntlim, help::EditIntlim, 0, 65535, nullptr, 0, 8},
    {PARA_MAX_VEC_NO, PARA_MAX_VEC_NO_NUM, CTRL_NUMERIC, "MAX VEC NO", CBF_EditVMaxVecNo, help::EditVMaxVecNo, 1, 31, nullptr, 1, 2},
    {PARA_DIGITAL_OUTMODE, PARA_DIG_OUTMODE_RING, CTRL_RING, "DIGITAL OUTMODE", CBF_EditDigOutmode, help::EditDigOutmode, 0, 0, kDigOutmode, 1, 3},
    {PARA_TRIGGER, PARA_TRIGGER_RING, CTRL_RING, "TRIGGER", CBF_EditTrigger, help::EditTrigger, 0, 0, kTrigger, 1, 4},
    {PARA_EXTERN_TEACH, PARA_EXTEACH_RING, CTRL_RING, "EXTERN TEACH", CBF_EditExteach, help::EditExteach, 0, 0, kExteach, 1, 5},
    {PARA_CALCULATION_MODE, PARA_CALC_MODE_RING, CTRL_RING, "CALCULATION MODE", CBF_EditCalcmode, help::EditCalcmode, 0, 0, kCalcMode, 1, 1},
    {PARA_DYNWIN_LO, PARA_DYNWIN_LO_NUM, CTRL_NUMERIC, "DYNWIN LO", CBF_EditDynWinLoHi, help::EditDynWinLoHi, 0, 65535, nullptr, 0, 6},
    {PARA_DYNWIN_HI, PARA_DYNWIN_HI_NUM, CTRL_NUMERIC, "DYNWIN HI", CBF_EditDynWinLoHi, help::EditDynWinLoHi, 0, 65535, nullptr, 0, 7},
    {PARA_LED_MODE, PARA_LED_MODE_RING, CTRL_RING, "LED MODE", CBF_EditLedMode, help::EditLedMode, 0, 0, kLedMode, 0, 2},
    {PARA_GAIN, PARA_GAIN_RING, CTRL_RING, "GAIN", CBF_EditGain, help::EditGain, 0, 0, kGain, 0, 3},
    {PARA_INTEGRAL, PARA_INTEGRAL_NUM, CTRL_NUMERIC, "INTEGRAL", CBF_EditIntegral, help::EditIntegral, 0, 250, nullptr, 0, 5},
    {PARA_ANALOG_OUTMODE, PARA_ANA_OUTMODE_RING, CTRL_RING, "ANALOG OUTMODE", CBF_EditAnaOutmode, help::EditAnaOutmode, 0, 0, kAnaOutmode, 1, 6},
    {PARA_ANALOG_OUT, PARA_ANA_OUT_RING, CTRL_RING, "ANALOG OUT", CBF_EditAnaOut, help::EditAnaOut, 0, 0, kAnaOut, 1, 7},
    {PARA_ANALOG_ZOOM, PARA_ANA_ZOOM_NUM, CTRL_NUMERIC, "ANALOG ZOOM", CBF_EditAnaZoom, help::EditAnaZoom, 0, 65535, nullptr, 0, 9},
};

constexpr int kRowPitch = 36;   // label above, control below
constexpr int kFirstTop = 18;
constexpr int kColumnLeft[2] = {6, 142};
constexpr int kColumnWidth = 128;

int ParaPage() { return Panels.Page[PAGE_PARAMETER]; }
int GroupPage() { return Panels.Page[PAGE_GROUP_HOLD]; }
int TeachPage() { return Panels.Page[PAGE_TEACH]; }

std::uint16_t ReadWord(int panel, int control) {
  unsigned short v = 0;
  GetCtrlVal(panel, control, &v);
  return v;
}

const char* const kTriggerExtras[] = {"EXT1", "EXT2", "EXT3", "TRANS", "PARA"};

}  // namespace

int BuildParameterPage(int page) {
  for (const ParaControl& c : kControls) {
    const int top = kFirstTop + c.row * kRowPitch;
    Place(page, c.control, c.kind, c.label, top, kColumnLeft[c.column], 20, kColumnWidth, c.callback);
    SetHelp(page, c.control, c.help);
    if (c.items) {
      for (const RingItem* item = c.items; item->label; ++item) {
        InsertListItem(page, c.control, -1, item->label, static_cast<double>(item->code));
      }
    } else {
      SetCtrlAttribute(page, c.control, ATTR_MIN_VALUE, static_cast<double>(c.min));
      SetCtrlAttribute(page, c.control, ATTR_MAX_VALUE, static_cast<double>(c.max));
    }
    SetCtrlVal(page, c.control, static_cast<int>(ParameterDefaults[c.word]));
  }
  // The program adds the external trigger modes to CONT and SELF.
  for (int i = 0; i < 5; ++i) InsertListItem(page, PARA_TRIGGER_RING, i + 2, kTriggerExtras[i], 2.0 + i);
  return 0;
}

bool ParameterCanShow(int word, int value) {
  if (value < 0 || value > 65535) return false;
  if (word == PARA_HOLD_FAIL) return true;  // a table cell of the whole word
  if (word == PARA_COLOR_GROUP) return value <= 1;
  if (word == PARA_TRIGGER) return value <= 6;  // CONT, SELF and the five external modes
  for (const ParaControl& c : kControls) {
    if (c.word != word) continue;
    if (!c.items) return value >= c.min && value <= c.max;
    for (const RingItem* item = c.items; item->label; ++item) {
      if (item->code == value) return true;
    }
    return false;
  }
  return false;
}

void BuildParameterControlsOfGroupPage(int page) {
  Place(page, GROUP_COLOR_GROUP, CTRL_BINARY_SWITCH, "COLOR GROUP", 20, 6, 22, 70, CBF_EditColorGroups);
  SetHelp(page, GROUP_COLOR_GROUP, help::EditColorGroups);
  SetCtrlVal(page, GROUP_COLOR_GROUP, static_cast<int>(ParameterDefaults[PARA_COLOR_GROUP]));
  SetHelp(page, HOLD_TABLE, help::EditGridHold);
  SetCtrlCallback(page, HOLD_TABLE, CBF_EditGridHold, nullptr);
  SetCtrlCallback(page, GROUP_TABLE, CBF_EditGridGroups, nullptr);
  SetTableCellVal(page, HOLD_TABLE, {1, 1}, static_cast<double>(ParameterDefaults[PARA_HOLD_FAIL]));
  for (int row = 2; row <= 32; ++row) SetTableCellVal(page, HOLD_TABLE, {row, 1}, TEACH_HOLD_DEFAULT);
  for (int row = 1; row <= 31; ++row) SetTableCellVal(page, GROUP_TABLE, {row, 1}, TEACH_GROUP_DEFAULT);
}

void AdjustTriggerList(int externTeach) {
  const int page = ParaPage();
  int count = 0;
  GetNumListItems(page, PARA_TRIGGER_RING, &count);
  if (externTeach != 0) {
    if (count > 2) DeleteListItem(page, PARA_TRIGGER_RING, 2, -1);
  } else if (count <= 2) {
    for (int i = 0; i < 5; ++i) InsertListItem(page, PARA_TRIGGER_RING, i + 2, kTriggerExtras[i], 2.0 + i);
  }
}

void ReadParametersFromPanel() { ReadPanelInto(&ParameterSet); }

void ReadPanelInto(ParameterSetRecord* set) {
  std::uint16_t* block = set->ParameterBlock;
  for (const ParaControl& c : kControls) block[c.word] = ReadWord(ParaPage(), c.control);
  block[PARA_COLOR_GROUP] = ReadWord(GroupPage(), GROUP_COLOR_GROUP);
  unsigned short v = 0;
  GetTableCellVal(GroupPage(), HOLD_TABLE, {1, 1}, &v);
  block[PARA_HOLD_FAIL] = v;
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    TeachVector& row = set->TeachBlock[k];
    GetTableCellVal(GroupPage(), GROUP_TABLE, {k + 1, 1}, &row.Group);
    GetTableCellVal(GroupPage(), HOLD_TABLE, {k + 2, 1}, &row.Hold);
    for (int j = 0; j < 5; ++j) GetTableCellVal(TeachPage(), TEACH_TABLE, {k + 1, j + 1}, &row.Cell[j]);
  }
}

ParameterPlace PlaceOfWord(int word) {
  if (word == PARA_HOLD_FAIL) return {GroupPage(), HOLD_TABLE, {1, 1}};
  if (word == PARA_COLOR_GROUP) return {GroupPage(), GROUP_COLOR_GROUP, {0, 0}};
  if (word < PARAMETER_BLOCK_WORDS) {
    for (const ParaControl& c : kControls) {
      if (c.word == word) return {ParaPage(), c.control, {0, 0}};
    }
    return {0, 0, {0, 0}};
  }
  const int row = (word - PARAMETER_BLOCK_WORDS) / TEACH_VECTOR_WORDS;
  const int w = (word - PARAMETER_BLOCK_WORDS) % TEACH_VECTOR_WORDS;
  if (w < 5) return {TeachPage(), TEACH_TABLE, {row + 1, w + 1}};
  if (w == 5) return {GroupPage(), GROUP_TABLE, {row + 1, 1}};
  if (w == 6) return {GroupPage(), HOLD_TABLE, {row + 2, 1}};
  return {0, 0, {0, 0}};  // word 7 is not shown
}

void WriteParametersToPanel() {
  const std::uint16_t* block = ParameterSet.ParameterBlock;
  // EXTERN TEACH first: a TRIGGER code of 2 to 6 can be shown only once the list holds it.
  SetCtrlVal(ParaPage(), PARA_EXTEACH_RING, static_cast<int>(block[PARA_EXTERN_TEACH]));
  AdjustTriggerList(block[PARA_EXTERN_TEACH]);
  for (int word = 0; word < PARAMETER_BLOCK_WORDS; ++word) {
    if (word == PARA_HOLD_FAIL) continue;
    if (word == PARA_COLOR_GROUP) {
      SetCtrlVal(GroupPage(), GROUP_COLOR_GROUP, static_cast<int>(block[word]));
      continue;
    }
    for (const ParaControl& c : kControls) {
      if (c.word == word) SetCtrlVal(ParaPage(), c.control, static_cast<int>(block[word]));
    }
  }
  SetTableCellVal(GroupPage(), HOLD_TABLE, {1, 1}, static_cast<double>(block[PARA_HOLD_FAIL]));
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    const TeachVector& row = ParameterSet.TeachBlock[k];
    SetTableCellVal(GroupPage(), GROUP_TABLE, {k + 1, 1}, static_cast<double>(row.Group));
    SetTableCellVal(GroupPage(), HOLD_TABLE, {k + 2, 1}, static_cast<double>(row.Hold));
    for (int j = 0; j < 5; ++j) SetTableCellVal(TeachPage(), TEACH_TABLE, {k + 1, j + 1}, static_cast<double>(row.Cell[j]));
  }
}

// [SECTION] Callbacks of the parameter controls

namespace {
int ModeRuleOnCommit(int panel, int control, int event) {
  if (event == EVENT_COMMIT) ApplyModeRules();
  return HelpOnRightClick(panel, control, event);
}
}  // namespace

// Controls that change no rule only explain themselves.
int CBF_SlidePower(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditAverage(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditIntlim(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditDynWinLoHi(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditGain(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditIntegral(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditAnaZoom(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditGridHold(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }

// Mode controls re-derive the presentation on commit.
int CBF_EditPmode(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditLedMode(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditAnaOutmode(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditAnaOut(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditDigOutmode(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditVMaxVecNo(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditEvalmode(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditExteach(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditTrigger(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }
int CBF_EditColorGroups(int panel, int control, int event, void*, int, int) { return ModeRuleOnCommit(panel, control, event); }

int CBF_EditCalcmode(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    ConvertTeachTable();
    ApplyModeRules();
    ReadParametersFromPanel();
    PlotTeachRegions();
  }
  return HelpOnRightClick(panel, control, event);
}

// The group table has no help of its own; a changed group re-derives the rules and shows its page again.
int CBF_EditGridGroups(int, int, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED) {
    ApplyModeRules();
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_GROUP_HOLD);
  }
  return 0;
}
