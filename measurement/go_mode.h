// GO mode: measured frames one after another, shown everywhere and kept in histories.
#pragma once

#include <cstdint>

constexpr int HISTORY_SAMPLES = 100;

extern double RgbHistory[3 * HISTORY_SAMPLES];  // Red, Green, Blue interleaved, oldest first
extern double XHistory[HISTORY_SAMPLES];        // X (or s), newest last
extern double YHistory[HISTORY_SAMPLES];        // Y (or i)
extern double IntHistory[HISTORY_SAMPLES];      // INT (or M)
extern std::int32_t CurrentColor;               // 0xRRGGBB of the last frame: Red/16, Green/16, Blue/16

// Polls order 8 until GoRunning is cleared, serving SEND and GET requests between frames.
void RunGoLoop();
// One turn's exchange of the GO loop: order 8, its answer into ReceiveWords and
// MeasuredValues. 1, or -1 (reported; a status answer is reported once).
int ExchangeMeasuredFrame();
// The current MeasuredValues on every display, then AppendHistory.
void ShowMeasuredValues();
// Shifts the histories by one sample and appends the current values.
void AppendHistory();
