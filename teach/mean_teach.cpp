#include "teach/mean_teach.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "measurement/go_mode.h"
#include "measurement/measured_values.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "teach/teach_labels.h"
#include "teach/teach_table.h"
#include "ui/ui.h"

std::uint16_t MeanValues[TP1_COLUMNS] = {};

namespace {

constexpr int kRed = 0xFF0000;
constexpr int kButtonGrey = 0xE0E0E0;
constexpr int kLastTeachRow = TEACH_VECTOR_COUNT - 1;

int P1() { return Panels.Teachp1; }

int IntValue(int panel, int control) {
  int v = 0;
  GetCtrlVal(panel, control, &v);
  return v;
}

int Counter() { return std::clamp(IntValue(P1(), TP1_COUNTER), 0, TP1_ROWS); }

bool Is3D(int calcMode) { return calcMode >= 2; }

// The captured frames as the values table holds them (the operator may have edited them).
int ReadCaptured(std::uint16_t rows[TP1_ROWS][TP1_COLUMNS]) {
  const int n = Counter();
  for (int k = 0; k < n; ++k) {
    for (int c = 0; c < TP1_COLUMNS; ++c) GetTableCellVal(P1(), TP1_VALUES, {k + 1, c + 1}, &rows[k][c]);
  }
  return n;
}

void ShowDistances(int colour, int intensity) {
  SetCtrlVal(P1(), TP1_MAX_DELTA_XY, colour);
  SetCtrlVal(P1(), TP1_MAX_DELTA_INT, intensity);
}

void ShowMeans() {
  for (int c = 0; c < TP1_COLUMNS; ++c) SetTableCellVal(P1(), TP1_MEAN, {1, c + 1}, static_cast<double>(MeanValues[c]));
}

}  // namespace

// [SECTION] Computations

void MeanOfFrames(const std::uint16_t rows[][TP1_COLUMNS], int n, std::uint16_t mean[TP1_COLUMNS]) {
  for (int c = 0; c < TP1_COLUMNS; ++c) {
    // 100 frames of at most 65535 fit 32 bits; a 16-bit sum would wrap after two bright frames.
    std::uint32_t sum = 0;
    for (int k = 0; k < n; ++k) sum += rows[k][c];
    mean[c] = n > 0 ? static_cast<std::uint16_t>(sum / static_cast<std::uint32_t>(n)) : 0;
  }
}

MaxDistances MaxDistancesToMean(const std::uint16_t rows[][TP1_COLUMNS], int n, const std::uint16_t mean[TP1_COLUMNS],
                                bool threeD) {
  MaxDistances d{0, 0};
  for (int k = 0; k < n; ++k) {
    const std::int64_t dx = std::int64_t{rows[k][3]} - mean[3];
    const std::int64_t dy = std::int64_t{rows[k][4]} - mean[4];
    const std::int64_t di = std::llabs(std::int64_t{rows[k][5]} - mean[5]);
    d.intensity = std::max(d.intensity, static_cast<int>(di));
    std::int64_t square = dx * dx + dy * dy + (threeD ? di * di : 0);
    d.colour = std::max(d.colour, static_cast<int>(std::sqrt(static_cast<double>(square))));
  }
  return d;
}

int ChooseTolerance(int choice, int value, int distance, int rowTolerance) {
  int t = rowTolerance;
  switch (choice) {
    case TOL_VALUE: t = value; break;
    case TOL_DISTANCE: t = distance; break;
    case TOL_DISTANCE_PLUS_VALUE: t = distance + value; break;
    default: break;  // TOL_KEEP
  }
  return std::clamp(t, 0, 65535);
}

void TeachMeanIntoRow(TeachVector* row, const MeanTeach& in, int calcMode, int evalMode) {
  std::uint16_t* cell = row->Cell;
  const bool threeD = Is3D(calcMode);
  // TOL_KEEP takes the row's own tolerances: CTO and ITO in 2D, TOL for both in 3D.
  const int ct = ChooseTolerance(in.colourChoice, in.colourValue, in.colourDistance, cell[threeD ? 3 : 2]);
  const int it = ChooseTolerance(in.intensityChoice, in.intensityValue, in.intensityDistance, cell[threeD ? 3 : 4]);
  const auto colourTolerance = static_cast<std::uint16_t>(evalMode == EVAL_MIN_DIST ? MIN_DIST_TOLERANCE : ct);
  cell[0] = in.X;
  cell[1] = in.Y;
  if (threeD) {
    cell[2] = in.Int;
    cell[3] = colourTolerance;
  } else {
    cell[2] = colourTolerance;
    cell[3] = in.Int;
    cell[4] = static_cast<std::uint16_t>(it);
  }
}

// [SECTION] Operations on TEACHP1

void CaptureFrame() {
  const int n = std::min(Counter(), TP1_ROWS - 1) + 1;  // a capture beyond 100 replaces frame 100
  SetCtrlVal(P1(), TP1_COUNTER, n);
  SetTableTopRow(P1(), TP1_VALUES, n);
  const MeasuredValuesRecord& m = MeasuredValues;
  const std::uint16_t frame[TP1_COLUMNS] = {m.Red, m.Green, m.Blue, m.X, m.Y, m.Int};
  for (int c = 0; c < TP1_COLUMNS; ++c) SetTableCellVal(P1(), TP1_VALUES, {n, c + 1}, static_cast<double>(frame[c]));
  ComputeMeanValues();
}

void UndoCapture() {
  int n = Counter();
  if (n > 0) n -= 1;
  SetCtrlVal(P1(), TP1_COUNTER, n);
  SetTableTopRow(P1(), TP1_VALUES, n < 6 ? 1 : n - 5);
  if (n + 1 <= TP1_ROWS) {
    for (int c = 1; c <= TP1_COLUMNS; ++c) SetTableCellVal(P1(), TP1_VALUES, {n + 1, c}, 0.0);
  }
  ComputeMeanValues();
}

void ResetCapture() {
  SetCtrlAttribute(P1(), TP1_RESET, ATTR_CMD_BUTTON_COLOR, kRed);
  const bool confirmed = ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?") == 1;
  SetCtrlAttribute(P1(), TP1_RESET, ATTR_CMD_BUTTON_COLOR, kButtonGrey);
  if (!confirmed) return;
  SetCtrlVal(P1(), TP1_COUNTER, 0);
  for (int r = 1; r <= TP1_ROWS; ++r) {
    for (int c = 1; c <= TP1_COLUMNS; ++c) SetTableCellVal(P1(), TP1_VALUES, {r, c}, 0.0);
  }
  SetTableTopRow(P1(), TP1_VALUES, 1);
  std::fill(std::begin(MeanValues), std::end(MeanValues), std::uint16_t{0});
  ShowMeans();
  ShowDistances(0, 0);
}

void ComputeMeanValues() {
  static std::uint16_t rows[TP1_ROWS][TP1_COLUMNS];
  const int n = ReadCaptured(rows);
  MeanOfFrames(rows, n, MeanValues);
  ShowMeans();
  if (n == 0) {
    ShowDistances(0, 0);
    return;
  }
  ComputeMaxDistances();
}

void ComputeMaxDistances() {
  static std::uint16_t rows[TP1_ROWS][TP1_COLUMNS];
  const int n = ReadCaptured(rows);
  const MaxDistances d = MaxDistancesToMean(rows, n, MeanValues, Is3D(IntValue(Panels.Page[PAGE_PARAMETER], PARA_CALC_MODE_RING)));
  ShowDistances(d.colour, d.intensity);
}

void TeachMeanValues() {
  const int para = Panels.Page[PAGE_PARAMETER];
  const int teach = Panels.Page[PAGE_TEACH];
  const int calc = IntValue(para, PARA_CALC_MODE_RING);
  const int eval = IntValue(para, PARA_EVAL_MODE_RING);
  unsigned short mean[3] = {};
  for (int i = 0; i < 3; ++i) GetTableCellVal(P1(), TP1_MEAN, {1, 4 + i}, &mean[i]);
  int colourChoice = 0, intensityChoice = 0;
  GetCtrlIndex(P1(), TP1_TEACH_CTO_WITH, &colourChoice);
  GetCtrlIndex(P1(), TP1_TEACH_ITO_WITH, &intensityChoice);
  const MeanTeach in{mean[0],
                     mean[1],
                     mean[2],
                     colourChoice,
                     intensityChoice,
                     IntValue(P1(), TP1_VALUE_CTO),
                     IntValue(P1(), TP1_VALUE_ITO),
                     IntValue(P1(), TP1_MAX_DELTA_XY),
                     IntValue(P1(), TP1_MAX_DELTA_INT)};
  const int r = std::clamp(IntValue(teach, TEACH_NO), 0, kLastTeachRow);
  TeachVector row{};
  for (int j = 0; j < TEACH_VALUE_COLUMNS; ++j) GetTableCellVal(teach, TEACH_TABLE, {r + 1, j + 1}, &row.Cell[j]);
  TeachMeanIntoRow(&row, in, calc, eval);
  for (int j = 0; j < TEACH_VALUE_COLUMNS; ++j) {
    SetTableCellVal(teach, TEACH_TABLE, {r + 1, j + 1}, static_cast<double>(row.Cell[j]));
  }
  if (IntValue(teach, TEACH_AUTO_INC) && r < kLastTeachRow) SetCtrlVal(teach, TEACH_NO, r + 1);
  ReadParametersFromPanel();
  PlotTeachRegions();
}

// [SECTION] Callbacks

int CBF_ButtonTeachMeanVal(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    ShowChildPanel(Panels.Teachp1);
    LabelTeachPanels();
    // A running GO loop keeps feeding the panel; otherwise the panel runs its own.
    if (State.GoRunning == 0) {
      SetButtonsDimmed(0, 1);
      PlotTeachRegions();
      RunGoLoop();
      SetButtonsDimmed(0, 0);
    }
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonCloseTeachPanel(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    State.GoRunning = 0;
    ShowChildPanel(Panels.Datap);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_GridTP1Values(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED) ComputeMeanValues();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP1Capture(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) CaptureFrame();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP1Undo(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) UndoCapture();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP1ResetTable(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ResetCapture();
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonTP1Teach(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) TeachMeanValues();
  return HelpOnRightClick(panel, control, event);
}

// Displays, lists and value fields only explain themselves; teaching reads them.
int CBF_DispTP1Counter(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_GridTP1Mean(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispTP1MaxDeltaXY(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_DispTP1MaxDeltaInt(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditTP1TeachCtoWith(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditTP1TeachItoWith(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditTP1ValueCto(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
int CBF_EditTP1ValueIto(int panel, int control, int event, void*, int, int) { return HelpOnRightClick(panel, control, event); }
