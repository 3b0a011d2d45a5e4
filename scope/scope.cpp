// Cycle time, capture and display of the scope.
#include "scope/scope.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/uir.h"
#include "com232/frame.h"
#include "com232/link.h"
#include "com232/rs232.h"
#include "ui/ui.h"

ScopeState Scope;

namespace {

constexpr int kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080;
constexpr const char* kHeaderIncorrect = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
constexpr const char* kDataIncorrect = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";

int Page() { return Panels.Page[PAGE_SCOPE]; }

std::int32_t GetLong(const std::uint8_t* b) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(b[i]) << (8 * i);
  return static_cast<std::int32_t>(u);
}

ScopeSettings ReadScopeSettings() {
  ScopeSettings s;
  GetCtrlVal(Page(), SCOPE_TRIGGER_MODE, &s.TriggerMode);
  GetCtrlVal(Page(), SCOPE_PRE_TRIGGER, &s.PreTrigger);
  GetCtrlVal(Page(), SCOPE_TRIGGER_LEVEL, &s.TriggerLevel);
  GetCtrlVal(Page(), SCOPE_SCAN_RATE, &s.ScanRate);
  GetCtrlVal(Page(), SCOPE_REC_SIGNAL, &s.RecordedSignal);
  return s;
}

void PlotTrace(int panel, int control, const std::uint16_t* samples, int color) {
  double y[SCOPE_SAMPLES];
  for (int i = 0; i < SCOPE_SAMPLES; ++i) y[i] = samples[i];
  PlotY(panel, control, y, SCOPE_SAMPLES, color);
}

// The words now in ReceiveWords become block `block` of the capture.
void TakeBlock(int block, const ScopeSettings& s) {
  UnrollScopeBlock(Frame.ReceiveWords, s.TriggerMode, s.PreTrigger, Scope.Traces[block]);
  ++Scope.BlocksTaken;
}

// The received blocks become the capture on display: plotted, and kept as plotted, so a
// later capture that fails half-way never mixes into what is shown, redrawn or saved.
void DrawCapture() {
  std::copy(&Scope.Traces[0][0], &Scope.Traces[0][0] + 3 * SCOPE_SAMPLES, &Scope.Plotted[0][0]);
  for (int i = 0; i < SCOPE_SAMPLES; ++i) {
    Scope.Upper[i] = static_cast<std::uint16_t>((Scope.Traces[3][i] & 1) + 2);
    Scope.Lower[i] = static_cast<std::uint16_t>((Scope.Traces[3][i] & 2) / 2);
  }
  const int p = Panels.Scopep;
  DeleteGraphPlot(p, SCOPEP_GRAPH, -1);
  PlotTrace(p, SCOPEP_GRAPH, Scope.Plotted[0], kRed);
  PlotTrace(p, SCOPEP_GRAPH, Scope.Plotted[1], kGreen);
  PlotTrace(p, SCOPEP_GRAPH, Scope.Plotted[2], kBlue);
  DeleteGraphPlot(p, SCOPEP_BINARY_GRAPH, -1);
  PlotTrace(p, SCOPEP_BINARY_GRAPH, Scope.Upper, kGrey);
  PlotTrace(p, SCOPEP_BINARY_GRAPH, Scope.Lower, kGrey);
  Scope.Drawn = 1;
}

// Serial: the four blocks come one after the other; a bad one is skipped. 1 when they
// were all waited for, 0 on a break or a line error.
int ReceiveBlocksSerial(const ScopeSettings& s) {
  for (int block = 0; block < 4; ++block) {
    if (WaitSerialHeaderUntimed(Scope.Running) != 1) return 0;  // a break, or a line error reported
    int ok = CheckHeaderFrame();
    if (ok == 1 && Frame.ResponseLength > 0 && ReceiveDataFrame() == 1) {
      // A block without its 129 words would take the missing ones, the start index
      // among them, from an earlier answer: it is skipped as a bad one.
      if (Frame.ResponseLength < 2 * SCOPE_BLOCK_WORDS) {
        SetCommMessage(kDataIncorrect);
        ShowCommunicationError();
        continue;
      }
      CopyResponseToReceiveWords();
      TakeBlock(block, s);
    }
  }
  return 1;
}

// TCP: all four blocks are gathered first; a bad one ends the capture. 1 when all four
// were taken.
int ReceiveBlocksTcp(const ScopeSettings& s) {
  constexpr int kAll = 8 + 4 * SCOPE_BLOCK_BYTES;  // the bare reply header, then the blocks
  if (WaitTcpBytesUntimed(kAll, Scope.Running) != 1) return 0;
  std::uint8_t blocks[4 * SCOPE_BLOCK_BYTES];
  std::memcpy(blocks, Frame.ReceiveBuffer + 8, sizeof blocks);
  for (int block = 0; block < 4; ++block) {
    std::memset(Frame.ReceiveBuffer, 0, sizeof Frame.ReceiveBuffer);
    std::memcpy(Frame.ReceiveBuffer, blocks + block * SCOPE_BLOCK_BYTES, SCOPE_BLOCK_BYTES);
    // A header that fails its check has been reported by the check; the capture reports
    // the bad block header on top, as it does for an empty one.
    if (CheckHeaderFrame() != 1 || Frame.ResponseLength == 0) {
      SetCommMessage(kHeaderIncorrect);
      ShowCommunicationError();
      return 0;
    }
    // A block fills its place in the stream exactly: longer cannot be, and a shorter one
    // would take the missing words, the start index among them, from an earlier answer.
    if (Frame.ResponseLength != SCOPE_BLOCK_BYTES - 8 ||
        frame::FrameCrc8(Frame.ReceiveBuffer, frame::HEADER_SIZE, Frame.ResponseLength) != Frame.ResponseDataCrc) {
      SetCommMessage(kDataIncorrect);
      ShowCommunicationError();
      return 0;
    }
    CopyResponseToReceiveWords();
    TakeBlock(block, s);
  }
  return 1;
}

}  // namespace

// [SECTION] Computations

double ScanFrequency(std::int32_t countA, std::int32_t countB) {
  if (countB == 0) return 0.0;
  return countA / (countB * 0.01);
}

void CycleTimePrecision(double f, int* frequencyDigits, int* cycleDigits) {
  *frequencyDigits = 2;
  *cycleDigits = 0;
  if (f > 1.0) {
    *frequencyDigits = 1;
    *cycleDigits = 3;
  }
  if (f > 1000.0) *frequencyDigits = 0;
  if (f > 10000.0) *cycleDigits = 6;
}

int DeltaXPrecision(double deltaX) {
  if (deltaX > 1000.0) return 0;
  if (deltaX > 1.0) return 3;
  return 6;
}

void UnrollScopeBlock(const std::uint16_t* words, std::uint16_t triggerMode, std::uint16_t preTrigger,
                      std::uint16_t* trace) {
  std::uint16_t p = 0;
  if (triggerMode != 0) p = static_cast<std::uint16_t>(128 - preTrigger + words[128]);
  for (int i = 0; i < SCOPE_SAMPLES; ++i) {
    p &= 127;
    trace[i] = words[p];
    ++p;
  }
}

std::string FrequencyText(double deltaXMs) {
  if (!(deltaXMs > 0.0)) return "";
  const double hz = 1000.0 / deltaXMs;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, hz, std::chars_format::fixed, hz > 1000.0 ? 0 : 3);
  return std::string(buf, r.ptr);
}

// [SECTION] Operations

void MeasureCycleTime() {
  BuildOrderFrame(frame::ORDER_CYCLE_TIME, 0, 0, 0);
  double f = 0.0;
  // Fewer than the two counts is no measurement.
  if (ExchangeOrder(8) == 1 && Frame.ResponseLength >= 8) {
    f = ScanFrequency(GetLong(Frame.ReceiveBuffer + 8), GetLong(Frame.ReceiveBuffer + 12));
  }
  int fDigits = 0, cDigits = 0;
  CycleTimePrecision(f, &fDigits, &cDigits);
  SetCtrlAttribute(Page(), SCOPE_SCAN_FREQ, ATTR_PRECISION, fDigits);
  SetCtrlAttribute(Page(), SCOPE_CYCLE_TIME, ATTR_PRECISION, cDigits);
  SetCtrlVal(Page(), SCOPE_SCAN_FREQ, f);
  Scope.CycleTimeMs = f > 0.0 ? 1000.0 / f : 0.0;
  SetCtrlVal(Page(), SCOPE_CYCLE_TIME, Scope.CycleTimeMs);
}

void ResetScopeAxes() {
  int calcMode = 0;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_CALC_MODE_RING, &calcMode);
  std::uint16_t signal = 0;
  GetCtrlVal(Page(), SCOPE_REC_SIGNAL, &signal);
  const double yMax = signal == 1 && (calcMode == 1 || calcMode == 3) ? 10000.0 : 4100.0;
  SetAxisScalingMode(Panels.Scopep, SCOPEP_GRAPH, VAL_XAXIS, VAL_MANUAL, 0.0, 128.0);
  SetAxisScalingMode(Panels.Scopep, SCOPEP_GRAPH, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, yMax);
  UpdateScopeDeltas();
}

void UpdateScopeDeltas() {
  std::uint16_t scanRate = 0;
  GetCtrlVal(Page(), SCOPE_SCAN_RATE, &scanRate);
  const int p = Panels.Scopep;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  GetGraphCursor(p, SCOPEP_GRAPH, 1, &x1, &y1);
  GetGraphCursor(p, SCOPEP_GRAPH, 2, &x2, &y2);
  SetGraphCursor(p, SCOPEP_BINARY_GRAPH, 1, x1, 0.0);
  SetGraphCursor(p, SCOPEP_BINARY_GRAPH, 2, x2, 0.0);
  const int samples = static_cast<int>(std::fabs(x1 - x2));
  const double deltaX = samples * Scope.CycleTimeMs * scanRate;
  const int digits = std::abs(static_cast<int>(y1) - static_cast<int>(y2));
  const double volts = digits * 10.0 / 4096.0;
  SetCtrlAttribute(p, SCOPEP_DELTA_X, ATTR_PRECISION, DeltaXPrecision(deltaX));
  SetCtrlVal(p, SCOPEP_DELTA_X, deltaX);
  SetCtrlVal(p, SCOPEP_DELTA_Y, digits);
  SetCtrlVal(p, SCOPEP_DELTA_VOLTS, volts);
  SetCtrlVal(p, SCOPEP_FREQUENCY, FrequencyText(deltaX));
}

void RunScopeScan() {
  const ScopeSettings s = ReadScopeSettings();
  Frame.SendWords[0] = s.TriggerMode;
  Frame.SendWords[1] = s.PreTrigger;
  Frame.SendWords[2] = s.TriggerLevel;
  Frame.SendWords[3] = s.ScanRate;
  Frame.SendWords[4] = s.RecordedSignal;
  BuildOrderFrame(frame::ORDER_SCOPE, 5, 1, 10);
  if (ExchangeOrder(18) != 1) return;
  SetCtrlAttribute(Page(), SCOPE_BREAK, ATTR_DIMMED, 0);
  Scope.Running = 1;
  Scope.BlocksTaken = 0;
  const int complete = SensorLink.TransportKind == 0 ? ReceiveBlocksSerial(s) : ReceiveBlocksTcp(s);
  if (!complete) return;
  Scope.Captured = s;
  DrawCapture();
}

void BreakScopeScan() {
  BuildOrderFrame(frame::ORDER_SCOPE, 0, 0, 0);
  ExchangeOrder(8);
  Scope.Running = 0;
}

void DrawScopeSignals() {
  int shown = 0;
  GetCtrlVal(Panels.Scopep, SCOPEP_SIGNAL, &shown);
  const int p = Panels.Scopep;
  DeleteGraphPlot(p, SCOPEP_GRAPH, -1);
  const int colors[3] = {kRed, kGreen, kBlue};
  for (int b = 0; b < 3; ++b) {
    if (shown == 0 || shown == b + 1) PlotTrace(p, SCOPEP_GRAPH, Scope.Plotted[b], colors[b]);
  }
}

void DimScopeButtons(int dimmed) {
  for (int id : {SCOPE_GET_CYCLE_TIME, SCOPE_SCAN, SCOPE_BREAK}) SetCtrlAttribute(Page(), id, ATTR_DIMMED, dimmed);
}
