// The scope: a triggered capture of 128 samples inside the sensor, the
// sensor's cycle time, and the display of a capture on SCOPEP with two
// cursors reading time and amplitude differences.
//
// Wire: order 105 answers two signed 32-bit counts A and B (scan frequency
// f = A / (B x 0.01) Hz). Order 110 with 1 and the five ScopeSettings words
// arms a capture (the answer is a bare header); once the sensor's trigger
// fired, four blocks follow, each a HeaderFrame and 129 words: the circular
// buffer 0..127 and in word 128 the buffer position of the trigger sample.
// Order 110 with 0 breaks an armed capture.
#pragma once

#include <cstdint>
#include <string>

constexpr int SCOPE_SAMPLES = 128;
constexpr int SCOPE_BLOCK_WORDS = 129;
constexpr int SCOPE_BLOCK_BYTES = 8 + 2 * SCOPE_BLOCK_WORDS;  // 266 on the wire

struct ScopeSettings {
  std::uint16_t TriggerMode = 0;    // 0 SINGLE SHOT, 1 RISING EDGE, 2 FALLING EDGE, 3 INTERNAL C-No.0, 4 EXTERNAL IN0
  std::uint16_t PreTrigger = 0;     // samples kept from before the trigger
  std::uint16_t TriggerLevel = 0;   // level the blue line crosses in the edge modes
  std::uint16_t ScanRate = 1;       // one sample every ScanRate scans
  std::uint16_t RecordedSignal = 0; // 0 R G B, 1 X Y INT (or s i M), 2 analogue outputs
};

struct ScopeState {
  std::uint16_t Traces[4][SCOPE_SAMPLES] = {};  // blocks as received, display order: red, green, blue line, state word
  std::uint16_t Plotted[3][SCOPE_SAMPLES] = {}; // the three lines as last plotted: what the graph redraws and SAVE CSV writes
  std::uint16_t Upper[SCOPE_SAMPLES] = {};      // plotted: bit 0 of the state word + 2 (levels 2..3)
  std::uint16_t Lower[SCOPE_SAMPLES] = {};      // plotted: bit 1 of the state word (levels 0..1)
  std::uint16_t Running = 0;                    // ScopeRunning: the capture loop may go on
  double CycleTimeMs = 0.0;                     // sensor cycle time; 0.0 until measured or after a failure
  ScopeSettings Captured;                       // the settings of the capture on display
  int Drawn = 0;                                // 1 once a capture was drawn
  int BlocksTaken = 0;                          // blocks unrolled during the last capture
};

extern ScopeState Scope;

// [SECTION] Computations (no user interface)
// Scan frequency in Hz of the counts of order 105; 0.0 when B is 0.
double ScanFrequency(std::int32_t countA, std::int32_t countB);
// Digits after the point of the scan-frequency and cycle-time displays for f.
void CycleTimePrecision(double frequency, int* frequencyDigits, int* cycleDigits);
// Digits after the point of the delta-X display.
int DeltaXPrecision(double deltaX);
// Display order of one block: trace[i] = words[p & 127] from p = 0 (single shot)
// or p = 128 - preTrigger + words[128] (the triggered modes, unsigned 16-bit).
void UnrollScopeBlock(const std::uint16_t* words, std::uint16_t triggerMode, std::uint16_t preTrigger,
                      std::uint16_t* trace);
// 1000 / deltaX (ms) as display text; "" while deltaX is 0.
std::string FrequencyText(double deltaXMs);

// [SECTION] Operations
// Order 105: the scan-frequency and cycle-time displays and CycleTimeMs.
void MeasureCycleTime();
// Zoom 1:1: the scope graph's fixed ranges for the recorded signal and calculation mode.
void ResetScopeAxes();
// The binary-trace cursors follow the scope cursors; deltaX, digits, volts and frequency.
void UpdateScopeDeltas();
// Arms a capture, waits for the four blocks and draws them; returns at once on a break.
void RunScopeScan();
// Order 110 with 0, and the waiting capture ends without drawing.
void BreakScopeScan();
// The scope graph after the displayed-signal ring: all three lines or one.
void DrawScopeSignals();
// Dims or undims the scope page's cycle-time, scan and break buttons.
void DimScopeButtons(int dimmed);

// [SECTION] Page set-up (called by the panel builders)
void BuildScopePageControls(int page);
void BuildScopepControls(int panel);

// [SECTION] CSV file of a capture
// Writes the capture on display (as last plotted): a header line, then one line per sample. 1, or -1 when
// the file cannot be written (not reported here).
int WriteScopeCsv(const std::string& path);
// The save button: the file dialog, then WriteScopeCsv; a failed write is reported.
void SaveScopeCsv();
