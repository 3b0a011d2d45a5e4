// TEACHP2, the recorded-value teach panel: the panel polls the sensor and draws
// every measured (X, Y, INT) into three projection graphs (X/Y, X/INT, Y/INT),
// keeping up to 60000 points; the operator moves a graph cursor onto a point,
// the three cursors follow it, and "TEACH" teaches it into the row in No. the
// way "TEACH DATA TO" does.
#pragma once

constexpr int RECORDED_POINTS_MAX = 60000;
constexpr int RECORDED_POINT_COLOR = 0xFF0000;

// One recorded point: the unsigned 16-bit measured values, held as doubles as the graphs take them.
struct RecordedPoint {
  double X, Y, Int;  // X Y INT or s i M
};

// The points since the last reset. Entries at and above RecordedPointCount may hold
// older points: a reset only sets the count back.
extern RecordedPoint RecordedPoints[RECORDED_POINTS_MAX];
extern int RecordedPointCount;  // N: valid entries, and the index of the next one

// Which pair of a point a graph shows: 0 = (X, Y), 1 = (X, INT), 2 = (Y, INT).
void ProjectRecordedPoint(const RecordedPoint& p, int projection, double* h, double* v);
// The first of points[0 .. count) whose pair in `projection` equals (h, v) exactly; -1 when none.
int FindRecordedPoint(const RecordedPoint* points, int count, int projection, double h, double v);

// [SECTION] Operations on TEACHP2
// Polls measured frames until GoRunning is cleared or the store is full; nothing else is shown.
void TeachRecording();
// The current MeasuredValues into the displays, the three graphs and their cursors, and the store.
void AddRecordedPoint();
// Asks first; then the three graphs are emptied and the count starts at 0 again.
void ResetRecordedPoints();
// The point under cursor 1 of `graph` (TP2_GRAPH_XY, _XINT or _YINT), shown and followed by the other cursors.
void SelectRecordedPoint(int graph);
// Teaches the three value displays into the row in No. (TeachValues of the teach page).
void TeachRecordedPoint();
// TEACHP2's start follows the other buttons that start an exchange.
void DimTeachp2StartButton(int dimmed);

// [SECTION] Callbacks
#define TP2_CALLBACK_ARGS int panel, int control, int event, void* callbackData, int eventData1, int eventData2
int CBF_GraphXYTP2(TP2_CALLBACK_ARGS);
int CBF_GraphXIntTP2(TP2_CALLBACK_ARGS);
int CBF_GraphYIntTP2(TP2_CALLBACK_ARGS);
int CBF_DispTP2Counter(TP2_CALLBACK_ARGS);
int CBF_ButtonTP2Start(TP2_CALLBACK_ARGS);
int CBF_ButtonTP2Reset(TP2_CALLBACK_ARGS);
int CBF_ButtonTP2Teach(TP2_CALLBACK_ARGS);
#undef TP2_CALLBACK_ARGS

namespace help {
constexpr const char* TP2Start = "Start recording of values \nand displaying in the graphs.";
constexpr const char* TP2Reset = "Reset graphs and counter.";
constexpr const char* TP2Graph =
    "Display for recorded values. \nMove cursor to select a position \nwhich should be teached to the table.";
constexpr const char* TP2Teach = "Teach cursor position to the \nTEACH TABLE row selected \nin the ROW No.: function field.";
constexpr const char* TP2Counter = "Displays the amount of recorded values. ";
}  // namespace help
