// TEACHP1, the mean-value teach panel: while GO streams frames the operator
// captures up to 100 of them (Red, Green, Blue, X, Y, INT) into the values
// table; their means and largest distances to the mean give the colour that
// "TEACH" writes into the teach row in No., with tolerances from fixed values,
// from the distances or from both.
#pragma once

#include <cstdint>

#include "parameters/parameter_set.h"

constexpr int TP1_ROWS = 100;     // frames the values table holds
constexpr int TP1_COLUMNS = 6;    // Red, Green, Blue, X, Y, INT (s, i, M)
constexpr int MIN_DIST_TOLERANCE = 40;  // colour tolerance taught in MIN DIST whatever the list says

// Tolerance choices of the two lists (their item values).
constexpr int TOL_VALUE = 0;               // the VALUE field
constexpr int TOL_DISTANCE = 1;            // the distance display
constexpr int TOL_DISTANCE_PLUS_VALUE = 2; // both added
constexpr int TOL_KEEP = 3;                // what the teach row holds already

// The six means of the last ComputeMeanValues, kept for ComputeMaxDistances.
extern std::uint16_t MeanValues[TP1_COLUMNS];

// [SECTION] Computations
// Means of rows[0 .. n) per column: 32-bit sums, truncating division; all 0 when n is 0.
void MeanOfFrames(const std::uint16_t rows[][TP1_COLUMNS], int n, std::uint16_t mean[TP1_COLUMNS]);
struct MaxDistances {
  int colour;     // largest distance in X/Y (2D) or X/Y/INT (3D), truncated
  int intensity;  // largest |INT - mean INT|
};
// Largest distances of rows[0 .. n) to the mean, columns 4..6 (X, Y, INT).
MaxDistances MaxDistancesToMean(const std::uint16_t rows[][TP1_COLUMNS], int n, const std::uint16_t mean[TP1_COLUMNS],
                                bool threeD);
// The tolerance of a list choice, held to the 16-bit cell range.
int ChooseTolerance(int choice, int value, int distance, int rowTolerance);
// What TeachMeanValues writes into a row: the mean X, Y, INT and the tolerances.
struct MeanTeach {
  std::uint16_t X, Y, Int;   // mean X, Y, INT (s, i, M)
  int colourChoice, intensityChoice;
  int colourValue, intensityValue;        // VALUE CTO, VALUE ITO
  int colourDistance, intensityDistance;  // "d (X/Y)", "d INT"
};
void TeachMeanIntoRow(TeachVector* row, const MeanTeach& in, int calcMode, int evalMode);

// [SECTION] Operations on TEACHP1
void CaptureFrame();
void UndoCapture();
// Asks first; the button is red while the question is open.
void ResetCapture();
void ComputeMeanValues();
void ComputeMaxDistances();
void TeachMeanValues();

// [SECTION] Callbacks
#define TP1_CALLBACK_ARGS int panel, int control, int event, void* callbackData, int eventData1, int eventData2
int CBF_ButtonCloseTeachPanel(TP1_CALLBACK_ARGS);
int CBF_DispTP1Counter(TP1_CALLBACK_ARGS);
int CBF_GridTP1Values(TP1_CALLBACK_ARGS);
int CBF_GridTP1Mean(TP1_CALLBACK_ARGS);
int CBF_DispTP1MaxDeltaXY(TP1_CALLBACK_ARGS);
int CBF_DispTP1MaxDeltaInt(TP1_CALLBACK_ARGS);
int CBF_EditTP1TeachCtoWith(TP1_CALLBACK_ARGS);
int CBF_EditTP1TeachItoWith(TP1_CALLBACK_ARGS);
int CBF_EditTP1ValueCto(TP1_CALLBACK_ARGS);
int CBF_EditTP1ValueIto(TP1_CALLBACK_ARGS);
int CBF_ButtonTP1Capture(TP1_CALLBACK_ARGS);
int CBF_ButtonTP1Undo(TP1_CALLBACK_ARGS);
int CBF_ButtonTP1ResetTable(TP1_CALLBACK_ARGS);
int CBF_ButtonTP1Teach(TP1_CALLBACK_ARGS);
#undef TP1_CALLBACK_ARGS

namespace help {
constexpr const char* TP1Capture = "Get frame of R,G,B,X,Y,INT \nrespectively R,G,B,s,i,M \nand assign to table. ";
constexpr const char* TP1Undo = "Remove the last frame from table. ";
constexpr const char* TP1Reset = "Set all table cells to 0.";
constexpr const char* TP1Teach =
    "Mean values are assigned to the \nTEACH TABLE row selected \nin the ROW No.: function field.";
constexpr const char* CloseTeachPanel = "Close PANEL and return to MAIN PANEL. ";
constexpr const char* TP1Values = "Table to list the captured values. ";
constexpr const char* TP1Mean = "Table to list the mean values. ";
constexpr const char* TP1Counter = "Displays the amount of captured frames. ";
constexpr const char* TP1MaxDeltaXY = "Displays the maximum distance to the mean values.";
constexpr const char* TP1MaxDeltaInt = "Displays the maximum intensity distance to mean value.";
constexpr const char* TP1TeachWith = "Choose to which value the tolerance \nshould be set in the TEACH TABLE.";
constexpr const char* TP1ValueCto = "Select CTO respectively siTO respectively TOL. ";
constexpr const char* TP1ValueIto = "Select ITO respectively MTO. ";
}  // namespace help
