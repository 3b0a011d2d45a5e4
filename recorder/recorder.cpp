// Recording modes, the recording time and the RecordGraph.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/dimming.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "com232/frame.h"
#include "com232/link.h"
#include "com232/rs232.h"
#include "measurement/go_mode.h"
#include "measurement/live_graphs.h"
#include "recorder/recorder.h"
#include "ui/ui.h"

RecorderState Recorder;
RecordGraphState RecordGraph;

namespace {

constexpr int kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kTeal = 0x008080, kGrey = 0xE0E0E0;
constexpr const char* kSaveWarning =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be saved.";
constexpr const char* kRightFile = "Are you sure, that you have selected the right file name?";

int Page() { return Panels.Page[PAGE_RECORDER]; }

std::uint16_t ReadRecordMode() {
  std::uint16_t mode = 0;
  GetCtrlVal(Page(), REC_MODE, &mode);
  Recorder.RecordMode = mode;
  return mode;
}

// Over TCP/IP the callback may already have read bytes of the next frame behind the one
// just taken; they move to the front of the buffer instead of being dropped.
void KeepBytesBehindFrame() {
  const int used = static_cast<int>(frame::HEADER_SIZE) + Frame.ResponseLength;
  const int surplus = SensorLink.TcpReceivedCount - used;
  if (surplus > 0 && used < static_cast<int>(sizeof Frame.ReceiveBuffer)) {
    std::memmove(Frame.ReceiveBuffer, Frame.ReceiveBuffer + used, static_cast<std::size_t>(surplus));
    std::memset(Frame.ReceiveBuffer + surplus, 0, sizeof Frame.ReceiveBuffer - static_cast<std::size_t>(surplus));
    SensorLink.TcpReceivedCount = surplus;
  } else {
    std::memset(Frame.ReceiveBuffer, 0, sizeof Frame.ReceiveBuffer);
    SensorLink.TcpReceivedCount = 0;
  }
}

// Waits without a time limit for the 8 header bytes of the next triggered frame:
// 1 when they are in the receive buffer, 0 on a stop, -1 after a reported line error.
int WaitTriggeredHeader() {
  if (SensorLink.TransportKind == 0) return WaitSerialHeaderUntimed(State.GoRunning);
  return WaitTcpBytesUntimed(8, State.GoRunning);
}

void SetTimedControlsOperable(int operable) {
  const int mode = operable ? VAL_NORMAL : VAL_INDICATOR;
  for (int id : {REC_INTERVAL, REC_VALUES, REC_START}) SetCtrlAttribute(Page(), id, ATTR_CTRL_MODE, mode);
  SetCtrlAttribute(Page(), REC_START, ATTR_CMD_BUTTON_COLOR, operable ? kGrey : kRed);
}

}  // namespace

// [SECTION] Recording time and page arrangement

void ComputeRecordTime() {
  const int page = Page();
  GetCtrlVal(page, REC_INTERVAL, &Recorder.RecordInterval);
  GetCtrlVal(page, REC_VALUES, &Recorder.RecordCount);
  SetCtrlVal(page, REC_RECORDED, 0);
  SetCtrlVal(page, REC_REMAINING, static_cast<int>(Recorder.RecordCount));
  if (Recorder.RecordInterval < RECORD_MIN_INTERVAL) {
    Recorder.RecordInterval = RECORD_MIN_INTERVAL;
    SetCtrlVal(page, REC_INTERVAL, RECORD_MIN_INTERVAL);
  }
  double total = Recorder.RecordInterval * Recorder.RecordCount;
  const auto days = static_cast<std::uint16_t>(total / 86400);
  total -= days * 86400.0;
  const int hours = static_cast<int>(total / 3600);
  total -= hours * 3600.0;
  const int minutes = static_cast<int>(total / 60);
  total -= minutes * 60.0;
  SetCtrlVal(page, REC_TIME_DAYS, static_cast<int>(days));
  SetCtrlVal(page, REC_TIME_HOURS, hours);
  SetCtrlVal(page, REC_TIME_MINUTES, minutes);
  SetCtrlVal(page, REC_TIME_SECONDS, total);
}

void ShowRecordControls() {
  const std::uint16_t mode = ReadRecordMode();
  struct Row {
    int id;
    bool shown[4];  // counted, continuous, manual, triggered
  };
  static const Row rows[] = {
      {REC_INTERVAL, {true, true, false, false}},       {REC_VALUES, {true, false, false, false}},
      {REC_TIME_DAYS, {true, false, false, false}},     {REC_TIME_HOURS, {true, false, false, false}},
      {REC_TIME_MINUTES, {true, false, false, false}},  {REC_TIME_SECONDS, {true, false, false, false}},
      {REC_RECORDED, {true, false, true, false}},       {REC_REMAINING, {true, false, false, false}},
      {REC_FRAME_COUNTER, {false, true, false, true}},  {REC_START, {true, true, false, false}},
      {REC_STOP, {true, true, false, true}},            {REC_MANUAL, {false, false, true, false}},
      {REC_START_TRIG, {false, false, false, true}},
  };
  const int m = mode < 4 ? mode : 0;
  for (const Row& r : rows) SetCtrlAttribute(Page(), r.id, ATTR_VISIBLE, r.shown[m] ? 1 : 0);
}

void ArrangeRecorderPage() {
  ShowRecordControls();
  if (Recorder.RecordMode == RECORD_COUNTED) ComputeRecordTime();
}

void ShowRecordFilePath() {
  SetCtrlVal(Page(), REC_FILE_PATH, "");
  SetCtrlVal(Page(), REC_FILE_PATH, State.RecordFilePath);
}

void ShowPanelIdOnRecorderPage() { SetCtrlVal(Page(), REC_PANEL_ID, State.PanelId); }

void DimRecorderButtons(int dimmed) {
  for (int id : {REC_MODE, REC_START, REC_START_TRIG, REC_SELECT_FILE}) SetCtrlAttribute(Page(), id, ATTR_DIMMED, dimmed);
}

// [SECTION] Recording

void TakeRecordedFrame() {
  PlotRecordedValues();
  ShowMeasuredValues();
  UpdateLiveGraphs();
  AppendRecordLine();
}

void ReportRecordResult() {
  if (Recorder.LinesLost == 0) {
    MessagePopup("INFO!", "File has been saved!");
    return;
  }
  char text[400];
  std::snprintf(text, sizeof text, "%lld OF %lld DATA FRAMES COULD NOT BE SAVED! \nRECORD FILE: %s",
                Recorder.LinesLost, Recorder.LinesLost + Recorder.LinesWritten, State.RecordFilePath.c_str());
  MessagePopup("ATTENTION!", text);
}

void WaitRecordInterval() {
  double elapsed = 0.0;
  while (Recorder.RecordInterval > elapsed) {
    ProcessSystemEvents();
    elapsed = Timer() - Recorder.CycleStart;
    if (State.GoRunning == 0) return;
    if (Recorder.RecordInterval > elapsed) WaitForEvents(Recorder.CycleStart + Recorder.RecordInterval);
  }
}

void RunTimedRecording() {
  if (ConfirmPopup("ATTENTION!", kRightFile) != 1) return;
  MessagePopup("ATTENTION!", kSaveWarning);
  SetTimedControlsOperable(0);
  State.GoRunning = 1;
  Recorder.RecordedCount = 0;
  ComputeRecordTime();
  Recorder.FrameCounter = 0.0;
  Recorder.LinesWritten = Recorder.LinesLost = 0;
  const int page = Page();
  while (State.GoRunning == 1) {
    Recorder.CycleStart = Timer();
    BuildOrderFrame(frame::ORDER_MEASURED_VALUES, 0, 0, 0);
    // A status answer passes the exchange but has been reported (and carries no frame).
    if (ExchangeOrder(8) == 1 && State.SensorConnected == 1 && TakeMeasuredFrame() == 1) TakeRecordedFrame();
    const std::uint16_t mode = ReadRecordMode();
    if (mode == RECORD_COUNTED) {
      ++Recorder.RecordedCount;
      SetCtrlVal(page, REC_RECORDED, static_cast<int>(Recorder.RecordedCount));
      SetCtrlVal(page, REC_REMAINING, static_cast<int>(Recorder.RecordCount) - Recorder.RecordedCount);
      if (Recorder.RecordedCount == Recorder.RecordCount) State.GoRunning = 0;
    } else if (mode == RECORD_CONTINUOUS) {
      Recorder.FrameCounter += 1.0;
      SetCtrlVal(page, REC_FRAME_COUNTER, Recorder.FrameCounter);
    }
    WaitRecordInterval();
  }
  ReportRecordResult();
  SetTimedControlsOperable(1);
}

void RunTriggeredRecording() {
  if (ConfirmPopup("ATTENTION!", kRightFile) != 1) return;
  SetButtonsDimmed(0, 1);
  MessagePopup("ATTENTION!", kSaveWarning);
  const int page = Page();
  SetCtrlAttribute(page, REC_START_TRIG, ATTR_CMD_BUTTON_COLOR, kRed);
  Recorder.LinesWritten = Recorder.LinesLost = 0;
  // Running before the start is exchanged: a STOP pressed while the sensor answers the
  // start ends the recording instead of being overwritten after the answer.
  Recorder.FrameCounter = 0.0;
  State.GoRunning = 1;
  BuildOrderFrame(frame::ORDER_TRIGGER_RECORD, 0, 1, 0);
  if (ExchangeOrder(8) == 1 && State.SensorConnected == 1 && State.GoRunning == 1) {
    SensorLink.LineStatus = 0;
    if (SensorLink.TransportKind != 0) KeepBytesBehindFrame();
    while (State.GoRunning == 1) {
      if (WaitTriggeredHeader() != 1) break;
      int ok = CheckHeaderFrame();
      if (ok == 1 && Frame.ResponseLength > 0) {
        ok = ReceiveDataFrame();
        if (ok == 1 && TakeMeasuredFrame() == 1) {
          TakeRecordedFrame();
          Recorder.FrameCounter += 1.0;
          SetCtrlVal(page, REC_FRAME_COUNTER, Recorder.FrameCounter);
          if (Recorder.TriggeredLimit > 0.0 && Recorder.FrameCounter >= Recorder.TriggeredLimit) State.GoRunning = 0;
        }
      }
      if (SensorLink.TransportKind != 0) KeepBytesBehindFrame();
    }
  }
  State.GoRunning = 0;
  // The sensor stops sending whatever ended the loop, unless it is gone (an adapter
  // pulled, the server closed): then the order could only fail and report a second error.
  const bool linkGone = SensorLink.TransportKind == 0 ? ComLineHungUp(SensorLink.ComPort) : SensorLink.TcpConnected == 0;
  if (!linkGone) {
    BuildOrderFrame(frame::ORDER_TRIGGER_RECORD, 0, 0, 0);
    ExchangeOrder(8);
  }
  ReportRecordResult();
  SetCtrlAttribute(page, REC_START_TRIG, ATTR_CMD_BUTTON_COLOR, kGrey);
  SetButtonsDimmed(0, 0);
}

void RecordManualFrame() {
  PlotRecordedValues();
  Recorder.LinesWritten = Recorder.LinesLost = 0;
  AppendRecordLine();
  ++Recorder.RecordedCount;
  SetCtrlVal(Page(), REC_RECORDED, static_cast<int>(Recorder.RecordedCount));
  if (Recorder.LinesLost > 0) ReportRecordResult();
}

// [SECTION] RecordGraph

namespace {

constexpr int kRecordGraphs[7] = {GRAPHP_GRAPH_RED,     GRAPHP_GRAPH_RED + 1, GRAPHP_GRAPH_RED + 2,
                                  GRAPHP_GRAPH_RED + 3, GRAPHP_GRAPH_RED + 4, GRAPHP_GRAPH_RED + 5,
                                  GRAPHP_GRAPH_TEMP};
constexpr int kRecordColours[7] = {kRed, kGreen, kBlue, kRed, kGreen, kTeal, kTeal};

void CurrentRecordValues(std::uint16_t v[7]) {
  const MeasuredValuesRecord& m = MeasuredValues;
  const std::uint16_t values[7] = {m.Red, m.Green, m.Blue, m.X, m.Y, m.Int, m.Temp};
  std::memcpy(v, values, sizeof values);
}

}  // namespace

void ClearRecordGraph() {
  RecordGraph.RecordPointIndex = 0;
  for (int id : kRecordGraphs) DeleteGraphPlot(Panels.Graphp, id, -1);
  std::uint16_t v[7];
  CurrentRecordValues(v);
  RecordGraph.Previous[0] = RecordGraph.Current[0] = 0;
  for (int i = 0; i < 7; ++i) RecordGraph.Previous[i + 1] = RecordGraph.Current[i + 1] = v[i];
}

void PlotRecordedValues() {
  std::uint16_t v[7];
  CurrentRecordValues(v);
  for (int i = 0; i < 7; ++i) SetCtrlVal(Panels.Graphp, GRAPHP_VALUE0 + i, static_cast<int>(v[i]));
  RecordGraphState& g = RecordGraph;
  std::memcpy(g.Previous, g.Current, sizeof g.Current);
  g.Current[0] = g.RecordPointIndex;
  for (int i = 0; i < 7; ++i) g.Current[i + 1] = v[i];
  if (g.RecordPointIndex == 0) {
    for (int i = 1; i < 8; ++i) g.Previous[i] = g.Current[i];
  }
  for (int i = 0; i < 7; ++i) {
    PlotLineSegment(Panels.Graphp, kRecordGraphs[i], g.Previous[0], g.Previous[i + 1], g.Current[0], g.Current[i + 1],
                    kRecordColours[i]);
  }
  ++g.RecordPointIndex;
}
