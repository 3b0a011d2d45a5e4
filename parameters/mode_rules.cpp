// The mode consistency rules. Every pass derives the whole presentation from the
// control values; the rules keep no state of their own, so their order decides
// where two of them touch the same control.
#include "parameters/mode_rules.h"

#include <cstdint>

#include "app/Chromik4ANAv12.h"
#include "teach/teach_labels.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "parameters/parameter_panel.h"
#include "ui/ui.h"

namespace {

// [SECTION] Texts

constexpr const char* kAnalogOutmodeNotice =
    "ATTENTION! \nIf DIGITAL OUTMODE and ANALOG OUTMODE are enabled, \neither X Y INT or s i M can be calculated. "
    "\nANALOG OUTMODE will be set depending of CALCULATION MODE.";
constexpr const char* kMaxColNotice =
    "ATTENTION! \n\nMAXCOL-No. is too high. \n\nIf color group is disabled and OUMODE=DIRECT LO or \nDIRECT HI, "
    "the maximum number is 2. \nIf OUTMODE=BINARY, the maximum number is 3. \n\nIf color group is enabled, the "
    "maximum number is 31. \n\nMAXCOL-No. will be set to maximum value.";
constexpr const char* kGroupNotice =
    "ATTENTION! \nIf OUTMODE=DIRECT HI or DIRECT LO: \n2 groups are possible! GROUP 0 and 1. \nIf OUTMODE=BINARY: "
    "\n3 groups are possible. GROUP 0,1,2. \n\n Cell will be set to 0.";

// Teach table column titles: calculation modes 0 to 3, then the THD modes.
constexpr const char* kColumnTitles[5][5] = {
    {"X", "Y", "CTO", "INT", "ITO"},
    {"s", "i", "siTO", "M", "MTO"},
    {"X", "Y", "INT", "TOL", ""},
    {"s", "i", "M", "TOL", ""},
    {"THD", "", "", "", ""},
};

constexpr int kGreen = 0x008000;  // label of a row the sensor checks
constexpr int kRed = 0xFF0000;    // label of a row it does not check, background of a reset group cell
constexpr int kWhite = 0xFFFFFF;

// [SECTION] Reading and forcing the mode controls

int ParaPage() { return Panels.Page[PAGE_PARAMETER]; }
int GroupPage() { return Panels.Page[PAGE_GROUP_HOLD]; }

struct Place {
  int panel;
  int control;
};

// Where the control of a ParameterBlock word lives (HOLD FAIL has none of its own).
Place ControlOf(int word) {
  switch (word) {
    case PARA_POWER: return {ParaPage(), PARA_SLIDE_POWER};
    case PARA_POWER_MODE: return {ParaPage(), PARA_POWER_MODE_RING};
    case PARA_EVALUATION_MODE: return {ParaPage(), PARA_EVAL_MODE_RING};
    case PARA_INTLIM: return {ParaPage(), PARA_INTLIM_NUM};
    case PARA_MAX_VEC_NO: return {ParaPage(), PARA_MAX_VEC_NO_NUM};
    case PARA_DIGITAL_OUTMODE: return {ParaPage(), PARA_DIG_OUTMODE_RING};
    case PARA_TRIGGER: return {ParaPage(), PARA_TRIGGER_RING};
    case PARA_EXTERN_TEACH: return {ParaPage(), PARA_EXTEACH_RING};
    case PARA_CALCULATION_MODE: return {ParaPage(), PARA_CALC_MODE_RING};
    case PARA_COLOR_GROUP: return {GroupPage(), GROUP_COLOR_GROUP};
    case PARA_LED_MODE: return {ParaPage(), PARA_LED_MODE_RING};
    case PARA_ANALOG_OUTMODE: return {ParaPage(), PARA_ANA_OUTMODE_RING};
    case PARA_ANALOG_OUT: return {ParaPage(), PARA_ANA_OUT_RING};
    default: return {0, 0};
  }
}

// The control's value, also kept in ParameterSet (a CALCULATION MODE change compares against it).
int Read(int word) {
  const Place at = ControlOf(word);
  int value = 0;
  GetCtrlVal(at.panel, at.control, &value);
  ParameterSet.ParameterBlock[word] = static_cast<std::uint16_t>(value);
  return value;
}

void Force(int word, int value) {
  const Place at = ControlOf(word);
  SetCtrlVal(at.panel, at.control, value);
  ParameterSet.ParameterBlock[word] = static_cast<std::uint16_t>(value);
}

void Dim(int panel, int control, bool dimmed) { SetCtrlAttribute(panel, control, ATTR_DIMMED, dimmed ? 1 : 0); }
void Show(int panel, int control, bool visible) { SetCtrlAttribute(panel, control, ATTR_VISIBLE, visible ? 1 : 0); }
void DimWord(int word, bool dimmed) {
  const Place at = ControlOf(word);
  Dim(at.panel, at.control, dimmed);
}
void ShowWord(int word, bool visible) {
  const Place at = ControlOf(word);
  Show(at.panel, at.control, visible);
}

void ForceAndDim(int word, int value) {
  Force(word, value);
  DimWord(word, true);
}

bool SiM(int calculationMode) { return calculationMode == 1 || calculationMode == 3; }

// [SECTION] Shared pieces

// ANALOG ZOOM and the s, i, M reference displays belong to siM REF.
void ShowSimReference(bool visible) {
  Show(ParaPage(), PARA_ANA_ZOOM_NUM, visible);
  for (int i = 0; i < 3; ++i) Show(Panels.DataPage[1], DPAGE_SIMREF0 + i, visible);
}

void ShowPanel(int panel, bool visible) {
  if (visible) {
    DisplayPanel(panel);
  } else {
    HidePanel(panel);
  }
}

bool Quiet = false;  // the start-up pass: corrections are made without a word

// A rule explains a correction: the page it concerns comes to the front (none for -1)
// and the notice pops up.
void Notice(int page, const char* text) {
  if (Quiet) return;
  if (page >= 0) SetActiveTabPage(Panels.Mainp, MAINP_TAB, page);
  MessagePopup("INFO!", text);
}

// A hidden tab page cannot stay in front: the tab control then shows `fallback`.
void LeaveHiddenPage(int panel, int tab, int fallback) {
  int active = 0, visible = 1;
  GetActiveTabPage(panel, tab, &active);
  GetTabPageAttribute(panel, tab, active, ATTR_VISIBLE, &visible);
  if (!visible) SetActiveTabPage(panel, tab, fallback);
}

// Strip charts of DATAP's second page: fixed Y ranges follow the calculation mode,
// but only while the operator has not switched the charts to automatic scaling.
void ApplyChartRanges() {
  const int page = Panels.DataPage[1];
  int mode = VAL_AUTOSCALE;
  if (GetAxisScalingMode(page, DPAGE_INT_CHART, VAL_LEFT_YAXIS, &mode, nullptr, nullptr) < 0) return;
  if (mode != VAL_MANUAL) return;
  const bool sim = SiM(Read(PARA_CALCULATION_MODE));
  const double top[3] = {sim ? 10000.0 : 4096.0, sim ? 5000.0 : 4096.0, sim ? 1200.0 : 4096.0};
  const int charts[3] = {DPAGE_X_CHART, DPAGE_Y_CHART, DPAGE_INT_CHART};
  for (int i = 0; i < 3; ++i) SetAxisScalingMode(page, charts[i], VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, top[i]);
}

// X/s, Y/i and INT/M titles of DATAP's displays and of GRAPHP's displays and signal ring.
void TitleDataDisplays() {
  const bool sim = SiM(Read(PARA_CALCULATION_MODE));
  const char* const titles[3] = {sim ? "s" : "X", sim ? "i" : "Y", sim ? "M" : "INT"};
  const int displays[3] = {DATAP_X, DATAP_Y, DATAP_INT};
  for (int i = 0; i < 3; ++i) {
    SetCtrlAttribute(Panels.Datap, displays[i], ATTR_LABEL_TEXT, titles[i]);
    SetCtrlAttribute(Panels.Graphp, GRAPHP_VALUE0 + 3 + i, ATTR_LABEL_TEXT, titles[i]);
    ReplaceListItem(Panels.Graphp, GRAPHP_SIGNAL, 3 + i, titles[i], 3.0 + i);
  }
  // First colour: the display's background; second colour: its frame.
  SetCtrlAttribute(Panels.Datap, DATAP_X, ATTR_TEXT_BGCOLOR, sim ? 0x00FF00 : 0xE0E0E0);
  SetCtrlAttribute(Panels.Datap, DATAP_X, ATTR_FRAME_COLOR, 0xFF0000);
  SetCtrlAttribute(Panels.Datap, DATAP_Y, ATTR_TEXT_BGCOLOR, sim ? 0x80FFFF : 0xE0E0E0);
  SetCtrlAttribute(Panels.Datap, DATAP_Y, ATTR_FRAME_COLOR, sim ? 0xFFFF00 : 0x00FF00);
}

// LED TRIG is shown whenever something can trigger the sensor.
void ShowLedTrig() {
  const int aom = Read(PARA_ANALOG_OUTMODE);
  const int dig = Read(PARA_DIGITAL_OUTMODE);
  const bool shown = aom == 4 || aom == 5 || Read(PARA_ANALOG_OUT) == 1 ||
                     (dig != 0 && (Read(PARA_EXTERN_TEACH) != 0 || Read(PARA_TRIGGER) != 0));
  Show(Panels.Datap, DATAP_LEDTRIG, shown);
}

// DATAP's pages: page 2 (2D plane) or page 3 (3D projections) by the calculation mode
// while colours are evaluated; page 1 and the X, Y, INT displays while they mean something.
void ShowDataPages() {
  const int tabPanel = Panels.Datap;
  const int dig = Read(PARA_DIGITAL_OUTMODE);
  const int eval = Read(PARA_EVALUATION_MODE);
  const int aom = Read(PARA_ANALOG_OUTMODE);
  const bool evaluating = dig != 0 && eval < 4;
  int active = 0;
  GetActiveTabPage(tabPanel, DATAP_TAB, &active);
  if (evaluating) {
    const bool threeD = Read(PARA_CALCULATION_MODE) >= 2;
    const int shown = threeD ? 3 : 2;
    SetTabPageAttribute(tabPanel, DATAP_TAB, shown, ATTR_VISIBLE, 1);
    SetTabPageAttribute(tabPanel, DATAP_TAB, threeD ? 2 : 3, ATTR_VISIBLE, 0);
    if (active == 2 || active == 3) SetActiveTabPage(tabPanel, DATAP_TAB, shown);
  } else {
    SetTabPageAttribute(tabPanel, DATAP_TAB, 2, ATTR_VISIBLE, 0);
    SetTabPageAttribute(tabPanel, DATAP_TAB, 3, ATTR_VISIBLE, 0);
  }
  const bool positions = aom == 2 || aom == 3 || aom == 5 || evaluating;
  SetTabPageAttribute(tabPanel, DATAP_TAB, 1, ATTR_VISIBLE, positions ? 1 : 0);
  for (int id : {DATAP_X, DATAP_Y, DATAP_INT}) Show(Panels.Datap, id, positions);
  LeaveHiddenPage(tabPanel, DATAP_TAB, 0);
}

// [SECTION] Rules 1 to 4: analogue output, digital output, power, trigger

void AnalogueOutputRule() {
  const int aom = Read(PARA_ANALOG_OUTMODE);
  const bool noAnalogOut = aom == 0 || aom == 4 || aom == 5;
  if (noAnalogOut) Force(PARA_ANALOG_OUT, 0);
  ShowWord(PARA_ANALOG_OUT, !noAnalogOut);
  ShowSimReference(aom == 5);

  const int ao = Read(PARA_ANALOG_OUT);
  const int eval = Read(PARA_EVALUATION_MODE);
  if (aom > 3 || ao == 1 || eval > 3) {
    ForceAndDim(PARA_TRIGGER, 0);
  } else {
    DimWord(PARA_TRIGGER, false);
  }
  if (ao == 1) {
    ForceAndDim(PARA_EXTERN_TEACH, 0);
  } else {
    DimWord(PARA_EXTERN_TEACH, false);
  }

  const int dig = Read(PARA_DIGITAL_OUTMODE);
  if (dig == 0 || eval > 3) {
    Force(PARA_CALCULATION_MODE, aom == 3 || aom == 5 ? 1 : 0);
    TitleDataDisplays();
  } else if (aom == 2 || aom == 3 || aom == 5) {
    // With colour evaluation on, the analogue output can carry only what is calculated.
    const int calc = Read(PARA_CALCULATION_MODE);
    int fitting = aom;
    if (SiM(calc) && aom == 2) fitting = 3;
    if (!SiM(calc) && (aom == 3 || aom == 5)) fitting = 2;
    if (fitting != aom) {
      Force(PARA_ANALOG_OUTMODE, fitting);
      Notice(-1, kAnalogOutmodeNotice);
      ShowSimReference(false);
      ShowWord(PARA_ANALOG_OUT, true);
    }
  }
  ApplyChartRanges();
  ShowLedTrig();
  ShowDataPages();
}

void DigitalOutputRule() {
  const bool on = Read(PARA_DIGITAL_OUTMODE) != 0;
  if (!on) {
    Force(PARA_TRIGGER, 0);
    Force(PARA_EXTERN_TEACH, 0);
  }
  SetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_GROUP_HOLD, ATTR_VISIBLE, on ? 1 : 0);
  SetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_TEACH, ATTR_VISIBLE, on ? 1 : 0);
  for (int word : {PARA_MAX_VEC_NO, PARA_INTLIM, PARA_EVALUATION_MODE, PARA_CALCULATION_MODE, PARA_EXTERN_TEACH,
                   PARA_TRIGGER}) {
    ShowWord(word, on);
  }
  if (!on) {
    for (int id : {DATAP_COL, DATAP_GROUP, DATAP_DELTAC, DATAP_OUT0, DATAP_OUT1}) Show(Panels.Datap, id, false);
    ShowPanel(Panels.Colbigp, false);
    ShowPanel(Panels.Grpbigp, false);
    LeaveHiddenPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  }
  ShowLedTrig();
  ShowDataPages();
}

void PowerRule() {
  const int p = ParaPage();
  if (Read(PARA_LED_MODE) == LED_MODE_OFF) {
    if (Read(PARA_EXTERN_TEACH) == 3) Force(PARA_EXTERN_TEACH, 0);  // DYN1 needs the light
    ForceAndDim(PARA_POWER_MODE, 0);
    ForceAndDim(PARA_POWER, 0);
    Dim(p, PARA_DYNWIN_LO_NUM, true);
    Dim(p, PARA_DYNWIN_HI_NUM, true);
    return;
  }
  const int ext = Read(PARA_EXTERN_TEACH);
  if (ext == 2) {  // STAT1 teaches at the slider's power
    ForceAndDim(PARA_POWER_MODE, 0);
    DimWord(PARA_POWER, false);
    Dim(p, PARA_DYNWIN_LO_NUM, true);
    Dim(p, PARA_DYNWIN_HI_NUM, true);
  } else if (ext == 3) {  // DYN1 adjusts the power itself
    ForceAndDim(PARA_POWER_MODE, 0);
    DimWord(PARA_POWER, true);
    Dim(p, PARA_DYNWIN_LO_NUM, false);
    Dim(p, PARA_DYNWIN_HI_NUM, false);
    return;
  } else {
    DimWord(PARA_POWER_MODE, false);
    DimWord(PARA_POWER, false);
  }
  const bool dynamic = Read(PARA_POWER_MODE) == 1;
  DimWord(PARA_POWER, dynamic);
  Dim(p, PARA_DYNWIN_LO_NUM, !dynamic);
  Dim(p, PARA_DYNWIN_HI_NUM, !dynamic);
}

void TriggerRule() {
  const int trigger = Read(PARA_TRIGGER);
  if (trigger == 1) {
    DimWord(PARA_EXTERN_TEACH, false);
  } else if (trigger >= 2) {  // IN0 is taken by the trigger
    ForceAndDim(PARA_EXTERN_TEACH, 0);
  } else {
    DimWord(PARA_EXTERN_TEACH, Read(PARA_ANALOG_OUT) == 1);
  }
  const bool para = trigger == 6;
  Dim(Panels.Mainp, MAINP_PARASET0, !para);
  Dim(Panels.Mainp, MAINP_PARASET1, !para);
  if (!para) {
    SetCtrlVal(Panels.Mainp, MAINP_PARASET0, 1);
    SetCtrlVal(Panels.Mainp, MAINP_PARASET1, 0);
    State.ParameterSetIndex = 0;
  }
  ShowLedTrig();
}

// [SECTION] Rules 6 to 11: only while colours are evaluated

void TeachLimitsRule();

void EvaluationRule() {
  const int g = GroupPage();
  const int t = Panels.Page[PAGE_TEACH];
  const int eval = Read(PARA_EVALUATION_MODE);
  const int calc = Read(PARA_CALCULATION_MODE);
  // MIN DIST leaves one tolerance column unused: CTO/siTO in 2D, TOL in 3D.
  SetTableColumnAttribute(t, TEACH_TABLE, 3, ATTR_COLUMN_IN_USE, eval == 2 && calc <= 1 ? 0 : 1);
  SetTableColumnAttribute(t, TEACH_TABLE, 4, ATTR_COLUMN_IN_USE, eval == 2 && calc >= 2 ? 0 : 1);

  if (eval <= 2) {
    Show(Panels.Datap, DATAP_OUT0, false);
    Show(Panels.Datap, DATAP_OUT1, false);
    Show(Panels.Datap, DATAP_DELTAC, true);
    Show(Panels.Datap, DATAP_COL, true);
    for (int word : {PARA_MAX_VEC_NO, PARA_INTLIM, PARA_CALCULATION_MODE, PARA_COLOR_GROUP}) DimWord(word, false);
    Dim(g, GROUP_TABLE, false);
    Dim(g, GROUP_RESET, false);
  } else {
    // COL2 and the THD modes drive both outputs directly.
    Show(Panels.Datap, DATAP_COL, false);
    Show(Panels.Datap, DATAP_DELTAC, false);
    Show(Panels.Datap, DATAP_OUT0, true);
    Show(Panels.Datap, DATAP_OUT1, true);
    ForceAndDim(PARA_COLOR_GROUP, 0);
    Dim(g, GROUP_TABLE, true);
    Dim(g, GROUP_RESET, true);
    Show(Panels.Datap, DATAP_GROUP, false);
    ShowPanel(Panels.Grpbigp, false);
    ForceAndDim(PARA_MAX_VEC_NO, 2);
    Force(PARA_DIGITAL_OUTMODE, DIGITAL_OUTMODE_BINARY);
    if (eval == 3) {
      DimWord(PARA_INTLIM, false);
      DimWord(PARA_CALCULATION_MODE, false);
    } else {
      ShowPanel(Panels.Colbigp, false);
      ForceAndDim(PARA_INTLIM, 0);
      DimWord(PARA_CALCULATION_MODE, true);
    }
    TeachLimitsRule();
  }
  TitleDataDisplays();
}

void ColumnTitleRule() {
  const int t = Panels.Page[PAGE_TEACH];
  const int calc = Read(PARA_CALCULATION_MODE);
  const int set = Read(PARA_EVALUATION_MODE) >= 4 ? 4 : calc & 3;
  for (int col = 1; col <= 5; ++col) {
    SetTableColumnAttribute(t, TEACH_TABLE, col, ATTR_LABEL_TEXT, kColumnTitles[set][col - 1]);
  }
  if (calc == 2 || calc == 3) {
    const bool sim = calc == 3;
    const int page = Panels.DataPage[3];
    SetCtrlAttribute(page, DPAGE_XY_GRAPH, ATTR_LABEL_TEXT, sim ? "s/i" : "X/Y");
    SetCtrlAttribute(page, DPAGE_XINT_GRAPH, ATTR_LABEL_TEXT, sim ? "s/M" : "X/INT");
    SetCtrlAttribute(page, DPAGE_YINT_GRAPH, ATTR_LABEL_TEXT, sim ? "i/M" : "Y/INT");
  }
  ApplyChartRanges();
  ShowDataPages();
}

// External teach needs IN0, so only CONT and SELF remain as triggers.
void TriggerListRule() {
  const int ext = Read(PARA_EXTERN_TEACH);
  if (ext != 0 && Read(PARA_TRIGGER) > 1) Force(PARA_TRIGGER, 0);
  AdjustTriggerList(ext);
}

void ColourGroupDisplayRule() {
  if (Read(PARA_COLOR_GROUP) == 0) {
    Show(Panels.Datap, DATAP_GROUP, false);
    ShowPanel(Panels.Grpbigp, false);
  } else {
    Show(Panels.Datap, DATAP_GROUP, true);
  }
}

void TeachLimitsRule() {
  const int g = GroupPage();
  const int dig = Read(PARA_DIGITAL_OUTMODE);
  const bool binary = dig == DIGITAL_OUTMODE_BINARY;
  if (Read(PARA_COLOR_GROUP) == 0) {
    // Without groups each taught colour needs its own output code.
    const int limit = binary ? 3 : 2;
    if (Read(PARA_MAX_VEC_NO) > limit) {
      Notice(PAGE_PARAMETER, kMaxColNotice);
      Force(PARA_MAX_VEC_NO, limit);
    }
  } else {
    const int highest = binary ? 2 : 1;
    bool reset = false;
    for (int row = 1; row <= TEACH_VECTOR_COUNT; ++row) {
      int group = 0;
      GetTableCellVal(g, GROUP_TABLE, {row, 1}, &group);
      const bool tooHigh = group > highest;
      if (tooHigh) SetTableCellVal(g, GROUP_TABLE, {row, 1}, 0.0);
      SetTableCellAttribute(g, GROUP_TABLE, {row, 1}, ATTR_TEXT_BGCOLOR, tooHigh ? kRed : kWhite);
      reset = reset || tooHigh;
    }
    if (reset) {
      Notice(PAGE_GROUP_HOLD, kGroupNotice);
    }
  }
  // Rows the sensor checks are labelled green in every table that shows rows, the others red.
  // HOLD TABLE row 1 is HOLD FAIL, so teach row r is its row r + 1.
  const int active = Read(PARA_MAX_VEC_NO);
  const int t = Panels.Page[PAGE_TEACH];
  const int a = Panels.Page[PAGE_TABLE_ATTR];
  for (int row = 1; row <= TEACH_VECTOR_COUNT; ++row) {
    const int colour = row <= active ? kGreen : kRed;
    SetTableRowAttribute(t, TEACH_TABLE, row, ATTR_ROW_LABEL_COLOR, colour);
    SetTableRowAttribute(a, ATTR_SPEC_TABLE, row, ATTR_ROW_LABEL_COLOR, colour);
    SetTableRowAttribute(g, GROUP_TABLE, row, ATTR_ROW_LABEL_COLOR, colour);
    SetTableRowAttribute(g, HOLD_TABLE, row + 1, ATTR_ROW_LABEL_COLOR, colour);
    if (row <= active) SetTableRowAttribute(g, HOLD_TABLE, row, ATTR_ROW_LABEL_COLOR, kGreen);
  }
}

}  // namespace

void ApplyModeRules() {
  AnalogueOutputRule();
  DigitalOutputRule();
  PowerRule();
  TriggerRule();
  if (Read(PARA_DIGITAL_OUTMODE) != 0) {
    EvaluationRule();
    ColumnTitleRule();
    TriggerListRule();
    ColourGroupDisplayRule();
    TeachLimitsRule();
  }
  // The teach panels follow the calculation mode, which the rules above may have forced.
  LabelTeachPanels();
}

void ApplyModeRulesQuietly() {
  Quiet = true;
  ApplyModeRules();
  Quiet = false;
}
