// The data recorder: measured frames into the record file, one line per frame,
// and the growing line graphs of the recorded values on GRAPHP (the RecordGraph).
//
// Record file: bytes, CR LF line ends, TAB between fields, only ever appended to.
//   LF "RECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2" CR LF
//   ["PANEL ID: " id CR LF]              only with an identification
//   CR LF
//   DATE TAB TIME TAB RED ... TEMP CR LF  the 13 column titles
//   MM-DD-YYYY TAB HH:MM:SS TAB 11 values CR LF, one line per frame;
//   delta C signed, every other value unsigned.
#pragma once

#include <cstdint>
#include <string>

#include "measurement/measured_values.h"

enum RecordModeCode : std::uint16_t { RECORD_COUNTED = 0, RECORD_CONTINUOUS = 1, RECORD_MANUAL = 2, RECORD_TRIGGERED = 3 };

constexpr double RECORD_MIN_INTERVAL = 0.25;  // seconds

struct RecorderState {
  std::uint16_t RecordMode = 0;     // value of the mode ring when last read
  double RecordInterval = 1.0;      // seconds between polls, never below RECORD_MIN_INTERVAL
  std::uint16_t RecordCount = 1;    // frames a counted recording takes
  std::uint16_t RecordedCount = 0;  // counted: frames so far; manual: records since manual was chosen
  double FrameCounter = 0.0;        // cycles (continuous) or received frames (triggered) of this run
  double CycleStart = 0.0;          // Timer() at the start of the current polling cycle
  long long LinesWritten = 0;       // lines of this run that reached the file
  long long LinesLost = 0;          // lines of this run that could not be written
  double TriggeredLimit = 0.0;      // a triggered run ends after this many frames; 0 = at STOP only (the window)
};

// The last two points of each RecordGraph line: x, Red, Green, Blue, X, Y, Int, Temp.
struct RecordGraphState {
  std::uint16_t RecordPointIndex = 0;
  std::uint16_t Previous[8] = {};
  std::uint16_t Current[8] = {};
};

extern RecorderState Recorder;
extern RecordGraphState RecordGraph;

// [SECTION] Record file (no user interface)
constexpr int RECORD_COLUMNS = 13;
// The column titles of the record file: "DATE", "TIME", then the eleven values.
extern const char* const RecordColumnTitles[RECORD_COLUMNS];
// The eleven values of a record line (RED .. TEMP), `separator` between them, none after the last:
// delta C signed, every other value unsigned, no padding. The record file and the command line's
// watch both write them through here.
void AppendRecordValues(std::string* out, const MeasuredValuesRecord& m, char separator);
// The header bytes for a PanelId (empty: no PANEL ID line).
std::string RecordHeaderText(const std::string& panelId);
// One record line of `m` with the given date and time strings, CR LF included.
std::string RecordLineText(const MeasuredValuesRecord& m, const std::string& date, const std::string& time);
// Appends the header to RecordFilePath; 1, or -1 when the file cannot be written.
int WriteRecordHeader();
// Appends one line of the current MeasuredValues, dated now; 1, or -1 when it could not be
// written (counted in Recorder.LinesLost, written lines in LinesWritten).
int AppendRecordLine();

// [SECTION] Operations
// Reads interval and VALUES, enforces the minimum interval, shows the recording time.
void ComputeRecordTime();
// Shows the controls of the current mode ring value and hides the others.
void ShowRecordControls();
// The file dialog with its three outcomes.
void SelectRecordFile();
// Counted and continuous recording (start button).
void RunTimedRecording();
// Waits until RecordInterval has passed since CycleStart, or GoRunning is cleared.
void WaitRecordInterval();
// Triggered recording (triggered-start button).
void RunTriggeredRecording();
// Manual mode: writes the MeasuredValues as they stand.
void RecordManualFrame();
// Empties the seven RecordGraph graphs and starts the lines at the current values.
void ClearRecordGraph();
// The current MeasuredValues as the next point of the seven lines.
void PlotRecordedValues();
// What a recorded frame does after it was decoded: the RecordGraph, the live displays and
// charts, the record file. Shared by the timed and the triggered loop (and the benchmark).
void TakeRecordedFrame();
// The end of a run: "File has been saved!", or how many frames were lost and where.
void ReportRecordResult();

// [SECTION] The record page seen from elsewhere
// The record file path in the page's path display.
void ShowRecordFilePath();
// The sensor identification in the page's PanelId display.
void ShowPanelIdOnRecorderPage();
// The page becomes active: its mode's controls, and the recording time in counted mode.
// (Declared with the shell callbacks in app/Chromik4ANAv12.h: void ArrangeRecorderPage().)
// The recorder page's share of SetButtonsDimmed: mode ring, start, triggered start, file selection.
void DimRecorderButtons(int dimmed);

// [SECTION] Page set-up (called by the panel builders)
void BuildRecorderPageControls(int page);
