#include "teach/teach_table.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "app/Chromik4ANAv12.h"
#include "measurement/live_graphs.h"
#include "app/help.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "measurement/go_mode.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "teach/row_colors.h"
#include "ui/ui.h"

namespace {

constexpr const char* kResetQuestion = "Do you really want to reset the table?";
constexpr int kPromptLength = 9;   // characters of a value typed into the selection prompts
constexpr int kLastRow = TEACH_VECTOR_COUNT - 1;
constexpr int kWhite = 0xFFFFFF;

int TeachPage() { return Panels.Page[PAGE_TEACH]; }
int GroupPage() { return Panels.Page[PAGE_GROUP_HOLD]; }

std::uint16_t DisplayWord(int control) {
  unsigned short v = 0;
  GetCtrlVal(Panels.Datap, control, &v);
  return v;
}

bool Is3D(int calcMode) { return calcMode >= 2; }

// Menu item ids of the two tolerance switches, which dim each other.
int g_toleranceOffItem = 0;
int g_toleranceOnItem = 0;

// A value cell holds CELL 0..4; the row colour column is an indicator the menu never writes.
bool IsValueCell(int column) {
  if (column < 1 || column > TEACH_COLUMNS) return false;
  int mode = VAL_NORMAL;
  GetTableColumnAttribute(TeachPage(), TEACH_TABLE, column, ATTR_CTRL_MODE, &mode);
  return mode != VAL_INDICATOR;
}

// The selection clipped to the table; false when there is none.
bool CurrentSelection(TableRect* sel) {
  if (GetTableSelection(TeachPage(), TEACH_TABLE, sel) < 0) return false;
  if (sel->top < 1 || sel->left < 1 || sel->height < 1 || sel->width < 1) return false;
  if (sel->top > TEACH_VECTOR_COUNT || sel->left > TEACH_COLUMNS) return false;
  sel->height = std::min(sel->height, TEACH_VECTOR_COUNT - sel->top + 1);
  sel->width = std::min(sel->width, TEACH_COLUMNS - sel->left + 1);
  return true;
}

// Visits the selection's value cells row by row from the top, left to right in a row.
template <typename Visit>
void ForEachSelectedValueCell(const TableRect& sel, Visit visit) {
  for (int row = sel.top; row < sel.top + sel.height; ++row) {
    for (int column = sel.left; column < sel.left + sel.width; ++column) {
      if (IsValueCell(column)) visit(TableCell{row, column});
    }
  }
}

// The value the selection prompts ask for; false when cancelled or not an integer.
bool PromptCellValue(long* value) {
  std::string text;
  if (PromptPopup("VALUE!", "Insert a cell value!", &text, kPromptLength) < 0) return false;
  return ReadInteger(text, value);
}

void AfterSelectionChange() {
  ReadParametersFromPanel();
  PlotTeachRegions();
  UpdateLiveGraphs();
}

void MenuHelp(int, int, int, void*) { MessagePopup("INFO!", help::TeachTableMenu); }
void MenuSetSelection(int, int, int, void*) { SetSelectionTo(); }
void MenuIncrementSelection(int, int, int, void*) { IncrementSelectionWith(); }
void MenuResetSelection(int, int, int, void*) { ResetSelection(); }

void SetToleranceOff(int off) {
  State.TeachToleranceOff = off;
  SetCtrlMenuItemDimmed(TeachPage(), TEACH_TABLE, g_toleranceOffItem, off);
  SetCtrlMenuItemDimmed(TeachPage(), TEACH_TABLE, g_toleranceOnItem, off ? 0 : 1);
}
void MenuToleranceOff(int, int, int, void*) { SetToleranceOff(1); }
void MenuToleranceOn(int, int, int, void*) { SetToleranceOff(0); }

bool Confirmed() { return ConfirmPopupNoDefault("ATTENTION!", kResetQuestion) == 1; }

}  // namespace

int ParameterValue(int control) {
  int v = 0;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], control, &v);
  return v;
}

// [SECTION] Pure rules

DefaultTolerance DefaultTolerances(int evalMode, int calcMode, int powerMode) {
  std::uint16_t first = 100, intensity = 100, intensityDyn = 50;  // FIRST HIT and COL2
  if (evalMode == EVAL_BEST_HIT) {
    first = 200;
    intensity = 200;
    intensityDyn = 100;
  } else if (evalMode == EVAL_MIN_DIST) {
    first = 40;
    intensity = 200;
    intensityDyn = 100;
  }
  if (Is3D(calcMode)) return {first, 1};
  if (calcMode == 1) return {first, 50};  // MTO does not follow POWER MODE
  return {first, powerMode == POWER_MODE_DYN ? intensityDyn : intensity};
}

void TeachIntoRows(TeachVector rows[TEACH_VECTOR_COUNT], int row, const TeachInput& in, int evalMode, int calcMode,
                   int powerMode, bool toleranceOff) {
  switch (evalMode) {
    case EVAL_THD_RED_GREEN:
      rows[0].Cell[0] = in.Red;
      rows[1].Cell[0] = in.Green;
      return;
    case EVAL_THD_RED_BLUE:
      rows[0].Cell[0] = in.Red;
      rows[1].Cell[0] = in.Blue;
      return;
    case EVAL_THD_GREEN_BLUE:
      rows[0].Cell[0] = in.Green;
      rows[1].Cell[0] = in.Blue;
      return;
    default:
      break;
  }
  if (row < 0 || row > kLastRow) return;
  TeachVector& v = rows[row];
  const bool threeD = Is3D(calcMode);
  v.Cell[0] = in.X;
  v.Cell[1] = in.Y;
  v.Cell[threeD ? 2 : 3] = in.Int;
  if (toleranceOff) return;
  const DefaultTolerance tol = DefaultTolerances(evalMode, calcMode, powerMode);
  v.Cell[threeD ? 3 : 2] = tol.first;
  v.Cell[4] = tol.second;
}

void ConvertTeachRow(TeachVector* row, bool to3D) {
  std::uint16_t* c = row->Cell;
  if (to3D) {
    // (X, Y, CTO, INT, ITO) -> (X, Y, INT, CTO, 1): ITO has no place in 3D.
    const std::uint16_t colourTolerance = c[2];
    c[2] = c[3];
    c[3] = colourTolerance;
    c[4] = 1;
  } else {
    // (X, Y, INT, TOL, any) -> (X, Y, TOL, INT, TOL): TOL serves both tolerances.
    const std::uint16_t intensity = c[2], tolerance = c[3];
    c[2] = tolerance;
    c[3] = intensity;
    c[4] = tolerance;
  }
}

bool ReadInteger(const std::string& text, long* value) {
  std::size_t i = 0, n = text.size();
  while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  std::size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = i;
  while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  if (i == digits) return false;
  std::size_t end = i;
  while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i != n) return false;
  *value = std::strtol(text.substr(start, end - start).c_str(), nullptr, 10);  // at most 9 characters: no overflow
  return true;
}

// [SECTION] Operations on the panel

void TeachCurrentValues() {
  TeachValues(TeachInput{DisplayWord(DATAP_X), DisplayWord(DATAP_Y), DisplayWord(DATAP_INT), DisplayWord(DATAP_RED),
                         DisplayWord(DATAP_GREEN), DisplayWord(DATAP_BLUE)});
}

void TeachValues(const TeachInput& in) {
  const int page = TeachPage();
  int row = 0;
  GetCtrlVal(page, TEACH_NO, &row);
  row = std::clamp(row, 0, kLastRow);
  const int calcMode = ParameterValue(PARA_CALC_MODE_RING);
  const int evalMode = ParameterValue(PARA_EVAL_MODE_RING);
  const int powerMode = ParameterValue(PARA_POWER_MODE_RING);

  // The table is the working copy: teach into its rows and write back what changed.
  TeachVector rows[TEACH_VECTOR_COUNT] = {};
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    for (int j = 0; j < TEACH_VALUE_COLUMNS; ++j) GetTableCellVal(page, TEACH_TABLE, {k + 1, j + 1}, &rows[k].Cell[j]);
  }
  TeachIntoRows(rows, row, in, evalMode, calcMode, powerMode, State.TeachToleranceOff == 1);
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    for (int j = 0; j < TEACH_VALUE_COLUMNS; ++j) SetTableCellVal(page, TEACH_TABLE, {k + 1, j + 1}, rows[k].Cell[j]);
  }
  if (evalMode < EVAL_THD_RED_GREEN) {
    int autoIncrement = 0;
    GetCtrlVal(page, TEACH_AUTO_INC, &autoIncrement);
    if (autoIncrement && row < kLastRow) SetCtrlVal(page, TEACH_NO, row + 1);
  }
  if (RowColorMode == 1) {
    PaintRow(row, CurrentColor);
    RowColors[row] = CurrentColor;
  }
  ReadParametersFromPanel();
  PlotTeachRegions();
}

void ResetTeachTable() {
  const int page = TeachPage();
  SetCtrlVal(page, TEACH_NO, 0);
  for (int row = 1; row <= TEACH_VECTOR_COUNT; ++row) {
    for (int column = 1; column <= TEACH_VALUE_COLUMNS; ++column) {
      SetTableCellVal(page, TEACH_TABLE, {row, column}, static_cast<double>(TEACH_RESET_VALUE));
    }
  }
  DeleteTeachRegionPlots();
}

void ResetGroupTable() {
  for (int row = 1; row <= TEACH_VECTOR_COUNT; ++row) {
    SetTableCellVal(GroupPage(), GROUP_TABLE, {row, 1}, 0.0);
    SetTableCellAttribute(GroupPage(), GROUP_TABLE, {row, 1}, ATTR_TEXT_BGCOLOR, kWhite);
  }
}

void ResetHoldTable() {
  double value = 0;
  GetCtrlVal(GroupPage(), HOLD_RESET_VALUE, &value);
  for (int row = 1; row <= TEACH_VECTOR_COUNT + 1; ++row) SetTableCellVal(GroupPage(), HOLD_TABLE, {row, 1}, value);
}

void SetSelectionTo() {
  TableRect sel{};
  if (!CurrentSelection(&sel)) return;
  long value = 0;
  if (!PromptCellValue(&value)) return;
  // The cells' range (0..65535) takes in what lies outside.
  ForEachSelectedValueCell(sel, [&](TableCell cell) {
    SetTableCellVal(TeachPage(), TEACH_TABLE, cell, static_cast<double>(value));
  });
  AfterSelectionChange();
}

void IncrementSelectionWith() {
  TableRect sel{};
  if (!CurrentSelection(&sel) || !IsValueCell(sel.left)) return;
  unsigned short start = 0;
  GetTableCellVal(TeachPage(), TEACH_TABLE, {sel.top, sel.left}, &start);
  long increment = 0;
  if (!PromptCellValue(&increment)) return;
  // Cells are 16-bit words: the sum wraps at 65536, a negative increment counts down.
  const auto step = static_cast<std::uint16_t>(increment);
  std::uint16_t value = start;
  bool first = true;
  ForEachSelectedValueCell(sel, [&](TableCell cell) {
    if (!first) value = static_cast<std::uint16_t>(value + step);
    first = false;
    SetTableCellVal(TeachPage(), TEACH_TABLE, cell, static_cast<double>(value));
  });
  AfterSelectionChange();
}

void ResetSelection() {
  TableRect sel{};
  if (!CurrentSelection(&sel)) return;
  ForEachSelectedValueCell(sel, [&](TableCell cell) {
    SetTableCellVal(TeachPage(), TEACH_TABLE, cell, static_cast<double>(TEACH_RESET_VALUE));
  });
  AfterSelectionChange();
}

void ConvertTeachTable() {
  const int before = ParameterSet.ParameterBlock[PARA_CALCULATION_MODE];
  ReadParametersFromPanel();
  const int now = ParameterSet.ParameterBlock[PARA_CALCULATION_MODE];
  if (Is3D(before) == Is3D(now)) return;
  const int page = TeachPage();
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    TeachVector& row = ParameterSet.TeachBlock[k];
    ConvertTeachRow(&row, Is3D(now));
    for (int j = 0; j < TEACH_VALUE_COLUMNS; ++j) SetTableCellVal(page, TEACH_TABLE, {k + 1, j + 1}, row.Cell[j]);
  }
}

void InstallTableMenus() {
  const int group = GroupPage(), teach = TeachPage();
  HideBuiltInCtrlMenuItems(group, GROUP_TABLE);
  HideBuiltInCtrlMenuItems(group, HOLD_TABLE);
  HideBuiltInCtrlMenuItems(teach, TEACH_TABLE);
  HideBuiltInCtrlMenuItems(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE);
  HideBuiltInCtrlMenuItems(Panels.Teachp1, TP1_VALUES);
  HideBuiltInCtrlMenuItems(Panels.Teachp1, TP1_MEAN);
  NewCtrlMenuItem(teach, TEACH_TABLE, "Help", MenuHelp, nullptr);
  NewCtrlMenuSeparator(teach, TEACH_TABLE);
  NewCtrlMenuItem(teach, TEACH_TABLE, "Set selection to", MenuSetSelection, nullptr);
  NewCtrlMenuItem(teach, TEACH_TABLE, "Increment selection with", MenuIncrementSelection, nullptr);
  NewCtrlMenuItem(teach, TEACH_TABLE, "Reset selection", MenuResetSelection, nullptr);
  NewCtrlMenuSeparator(teach, TEACH_TABLE);
  g_toleranceOffItem = NewCtrlMenuItem(teach, TEACH_TABLE, "Teach tolerance off", MenuToleranceOff, nullptr);
  g_toleranceOnItem = NewCtrlMenuItem(teach, TEACH_TABLE, "Teach tolerance on", MenuToleranceOn, nullptr);
  SetToleranceOff(State.TeachToleranceOff == 1 ? 1 : 0);
}

// [SECTION] Callbacks

// The teach table has no help popup: its menu's "Help" entry explains it.
int CBF_GridCtt(int, int, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED) {
    ReadParametersFromPanel();
    PlotTeachRegions();
    UpdateLiveGraphs();
  }
  return 0;
}

int CBF_EditNo(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) PlotRowIntensityBand();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTeachDataTo(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) TeachCurrentValues();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonResetTable(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT && Confirmed()) ResetTeachTable();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonResetGroupTable(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT && Confirmed()) ResetGroupTable();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonResetHoldTable(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT && Confirmed()) ResetHoldTable();
  return HelpOnRightClick(panel, control, event);
}

