// The teach page of MAINP: the TEACH TABLE (31 rows, CELL 0..4 in columns 1..5 and
// the row colour in column 6), No. with its auto increment, teaching the current
// measurement into a row, the resets of the teach, group and hold tables, the
// teach table's context menu and the rearrangement between 2D and 3D modes.
#pragma once

#include <cstdint>
#include <string>

#include "parameters/parameter_set.h"

// Evaluation and calculation mode codes the teach operations tell apart.
constexpr int EVAL_FIRST_HIT = 0;
constexpr int EVAL_BEST_HIT = 1;
constexpr int EVAL_MIN_DIST = 2;
constexpr int EVAL_COL2 = 3;
constexpr int EVAL_THD_RED_GREEN = 4;
constexpr int EVAL_THD_RED_BLUE = 5;
constexpr int EVAL_THD_GREEN_BLUE = 6;
constexpr int POWER_MODE_DYN = 1;

constexpr int TEACH_COLUMNS = 6;         // CELL 0..4 and the row colour
constexpr int TEACH_VALUE_COLUMNS = 5;   // columns 1..5 hold CELL 0..4
constexpr int TEACH_RESET_VALUE = 1;     // every teach cell after a reset

// Default tolerances written by teaching in EVALUATION MODE 0..3: the first goes to the
// colour tolerance (CTO / siTO in 2D, TOL in 3D), the second to CELL 4 (ITO / MTO in 2D, 1 in 3D).
struct DefaultTolerance {
  std::uint16_t first;
  std::uint16_t second;
};
DefaultTolerance DefaultTolerances(int evalMode, int calcMode, int powerMode);

// The measurement that teaching takes over.
struct TeachInput {
  std::uint16_t X, Y, Int;         // X Y INT or s i M
  std::uint16_t Red, Green, Blue;  // for the THD modes
};
// Writes `in` into `rows` as teaching does: row `row` in EVALUATION MODE 0..3 (without
// tolerances when `toleranceOff`), CELL 0 of rows 0 and 1 in the THD modes.
void TeachIntoRows(TeachVector rows[TEACH_VECTOR_COUNT], int row, const TeachInput& in, int evalMode, int calcMode,
                   int powerMode, bool toleranceOff);
// One row rearranged for a change between a 2D and a 3D mode (`to3D` the direction).
void ConvertTeachRow(TeachVector* row, bool to3D);
// Reads an operator's integer: optional blanks and sign, decimal digits, optional blanks.
bool ReadInteger(const std::string& text, long* value);

// [SECTION] Operations on the panel
// "TEACH DATA TO": the DATAP values into the row in No. (or rows 0 and 1 in the THD modes).
void TeachCurrentValues();
// The same from `in` in place of DATAP's values: tolerances, auto increment, row colour, replot.
void TeachValues(const TeachInput& in);
// No. := 0, every teach cell := 1, the region graphs emptied. ParameterSet follows later.
void ResetTeachTable();
// The value of a control of the parameter page, as the panel shows it now.
int ParameterValue(int control);
// Every group := 0 on white.
void ResetGroupTable();
// All 32 hold cells, HOLD FAIL included, := the hold reset value.
void ResetHoldTable();
// The selection operations of the context menu; nothing happens without a selection.
void SetSelectionTo();
void IncrementSelectionWith();
void ResetSelection();
// Rearranges the TEACH TABLE when CALCULATION MODE moved between 2D and 3D; runs before
// the new mode reaches ParameterSet, which still holds the mode in effect before.
void ConvertTeachTable();
// Hides the tables' built-in menu entries and gives the TEACH TABLE its own menu.
void InstallTableMenus();

// [SECTION] Callbacks of the teach and group/hold pages
#define TEACH_CALLBACK_ARGS int panel, int control, int event, void* callbackData, int eventData1, int eventData2
int CBF_GridCtt(TEACH_CALLBACK_ARGS);
int CBF_EditNo(TEACH_CALLBACK_ARGS);
int CBF_ButtonTeachDataTo(TEACH_CALLBACK_ARGS);
int CBF_ButtonResetTable(TEACH_CALLBACK_ARGS);
int CBF_ButtonResetGroupTable(TEACH_CALLBACK_ARGS);
int CBF_ButtonResetHoldTable(TEACH_CALLBACK_ARGS);
// The two teach panels' buttons (teach/mean_teach.cpp, teach/recorded_teach.cpp).
int CBF_ButtonTeachMeanVal(TEACH_CALLBACK_ARGS);
int CBF_ButtonTeachRecVal(TEACH_CALLBACK_ARGS);
#undef TEACH_CALLBACK_ARGS

// Help texts of the teach page's controls.
namespace help {
constexpr const char* ButtonTeachDataTo =
    "Current measured values (X,Y,INT respectively s,i,M) are assigned \nto the TEACH TABLE row selected in the No.: "
    "function field.";
constexpr const char* EditNo = "Select the current number of a row in the TEACH TABLE for TEACH DATA TO.";
constexpr const char* AutoIncrement = "Auto increment of Edit Field No.:";
constexpr const char* ButtonResetTable = "Reset the TEACH TABLE. \nAll cells are set to 1.";
constexpr const char* ButtonResetGroupTable = "Reset the GROUP TABLE. \nAll cells are set to 0.";
constexpr const char* ButtonResetHoldTable = "Reset the HOLD TABLE. \nAll cells are set the value \nin the Edit Box.";
constexpr const char* ButtonTeachMeanVal = "Opens a panel to teach mean values. ";
constexpr const char* TeachTableMenu =
    "Change cell value with a left double click or with F2. \n\nSelect a range of cells by holding down the left "
    "mouse button and dragging the mouse over the cells to select. \n\nSet selection to: Set the selection to an "
    "adjustable value. \nIncrement selection with: Selected cells will be incremented with an adjustable value "
    "beginning with the first cell. \nReset selection: Reset the selected range.\nTeach tolerance off: Tolerance "
    "will not be changed. \nTeach tolerance on: Tolerance will be set automatically to a default value.";
}  // namespace help
