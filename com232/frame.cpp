// Send-and-wait of one order, the checks of the answer and the failure report.
#include "com232/frame.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/program_state.h"
#include "app/uir.h"
#include "com232/link.h"
#include "com232/rs232.h"
#include "com232/tcp.h"
#include "measurement/measured_values.h"
#include "ui/ui.h"

FrameLayerState Frame;

namespace {

constexpr const char* kTimeoutText =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT AGAIN!";
constexpr const char* kHeaderIncorrect = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
constexpr const char* kDataIncorrect = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";

// Right after an order went out the answer may come within microseconds; for this
// short moment the wait keeps checking instead of sleeping (a scheduler wake-up
// costs more than the whole exchange with a sensor that answers at once).
constexpr auto kSpinAfterOrder = std::chrono::microseconds(200);
std::chrono::steady_clock::time_point g_spinUntil;

bool Serial() { return SensorLink.TransportKind == 0; }

// Bytes received so far for the answer part being waited for.
int BytesWaiting() { return Serial() ? GetInQLen(SensorLink.ComPort) : SensorLink.TcpReceivedCount; }

// One idle turn of a wait that still needs `needed` bytes (`have` there).
void IdleTurn(double deadline, int needed, int have) {
  if (std::chrono::steady_clock::now() < g_spinUntil) return;
  double until = deadline;
  int extraFd = -1;
  if (Serial()) {
    if (have <= 0) {
      extraFd = ComPortDescriptor(SensorLink.ComPort);  // wake on the first byte
    } else {
      // Bytes are coming in: sleep about as long as the rest takes on the wire.
      double byteTime = 10.0 / static_cast<double>(BaudRateOfIndex(SensorLink.BaudIndex));
      until = std::min(deadline, Timer() + std::max(needed - have, 1) * byteTime);
    }
  }
  WaitForEvents(until, extraFd);  // the TCP socket is watched already
}

// Waits, dispatching events on every turn, until `needed` bytes are there or the
// time limit has passed; true when it timed out and the bytes are still short.
bool WaitForAnswerBytes(int needed) {
  const double start = Timer();
  const double deadline = start + ResponseTimeout + 1e-6;
  bool timedOut = false;
  for (;;) {
    ProcessSystemEvents();
    int have = BytesWaiting();
    if (Timer() - start > ResponseTimeout) {
      timedOut = true;
      break;
    }
    if (have >= needed) break;
    IdleTurn(deadline, needed, have);
  }
  // Bytes that arrived as the time ran out still count.
  if (BytesWaiting() >= needed) timedOut = false;
  return timedOut;
}

// Reads `count` serial bytes into ReceiveBuffer at `offset`; after a time-out only
// what is waiting, so the operator does not wait the port's own 2 s on top.
void ReadSerial(int offset, int count, bool timedOut) {
  if (timedOut) count = std::min(count, std::max(GetInQLen(SensorLink.ComPort), 0));
  if (count > 0) ComRd(SensorLink.ComPort, Frame.ReceiveBuffer + offset, count);
}

void CopyResponseWords(std::uint16_t* target) {
  int words = Frame.ResponseLength / 2;
  words = std::min<int>(words, static_cast<int>(frame::MAX_DATA_LENGTH / 2));
  for (int i = 0; i < words; ++i) target[i] = frame::GetWord(Frame.ReceiveBuffer + frame::HEADER_SIZE + 2 * i);
}

}  // namespace

void SetCommMessage(const char* text) {
  std::snprintf(Frame.CommMessage, sizeof Frame.CommMessage, "%s", text ? text : "");
}

std::uint8_t BuildOrderFrame(std::uint8_t order, std::uint16_t wordCount, std::uint16_t orderParameter,
                             std::uint16_t dataLength) {
  std::uint8_t* f = Frame.OrderFrame;
  // The buffer holds 2040 data bytes at most; nothing is ever written past it.
  dataLength = std::min<std::uint16_t>(dataLength, frame::MAX_DATA_LENGTH);
  f[0] = frame::START_BYTE;
  f[1] = order;
  frame::PutWord(f + 2, orderParameter);
  frame::PutWord(f + 4, dataLength);
  f[6] = frame::CRC_START;
  if (dataLength != 0) {
    int words = std::min<int>(wordCount, static_cast<int>(frame::MAX_DATA_LENGTH / 2));
    for (int i = 0; i < words; ++i) frame::PutWord(f + frame::HEADER_SIZE + 2 * i, Frame.SendWords[i]);
    f[6] = frame::FrameCrc8(f, frame::HEADER_SIZE, dataLength);
  }
  f[7] = frame::FrameCrc8(f, 0, 7);
  return f[7];
}

int ExchangeOrder(int byteCount) {
  byteCount = std::clamp(byteCount, 0, static_cast<int>(frame::BUFFER_SIZE));
  std::memset(Frame.ReceiveBuffer, 0, sizeof Frame.ReceiveBuffer);
  SensorLink.LineStatus = 0;
  if (Serial()) {
    FlushInQ(SensorLink.ComPort);
    FlushOutQ(SensorLink.ComPort);
    ComWrt(SensorLink.ComPort, Frame.OrderFrame, byteCount);
  } else {
    SensorLink.TcpReceivedCount = 0;
    ClientTCPWrite(SensorLink.TcpHandle, Frame.OrderFrame, byteCount, TCP_WRITE_TIME_LIMIT);
  }
  // A failed write shows as a missing answer.
  g_spinUntil = std::chrono::steady_clock::now() + kSpinAfterOrder;
  int result = ReceiveHeaderFrame();
  if (result == 1 && Frame.ResponseLength > 0) result = ReceiveDataFrame();
  return result;
}

int ReceiveHeaderFrame() {
  bool timedOut = WaitForAnswerBytes(frame::HEADER_SIZE);
  if (Serial()) {
    SensorLink.LineStatus = GetComStat(SensorLink.ComPort);
    ReadSerial(0, frame::HEADER_SIZE, timedOut);
  }
  if (timedOut || SensorLink.LineStatus > 0) {
    SetCommMessage(kTimeoutText);
    ShowCommunicationError();
    return -1;
  }
  if (CheckHeaderFrame() == -1) return -1;
  if (Frame.ResponseOrder == frame::ORDER_STATUS_ANSWER) {
    if (Frame.ResponseStatus == frame::STATUS_INVALID_ORDER) {
      SetCommMessage("INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!");
      ShowCommunicationError();
    } else if (Frame.ResponseStatus == frame::STATUS_CONTROL_UNIT_ERROR) {
      SetCommMessage("COMMUNICATION ERROR ON CONTROL UNIT!\nYOU MAY HAVE TO REDUCE THE BAUDRATE!");
      ShowCommunicationError();
    }
  }
  return 1;
}

int CheckHeaderFrame() {
  const std::uint8_t* b = Frame.ReceiveBuffer;
  if (frame::FrameCrc8(b, 0, frame::HEADER_SIZE) != 0 || b[0] != frame::START_BYTE) {
    SetCommMessage(kHeaderIncorrect);
    ShowCommunicationError();
    return -1;
  }
  Frame.ResponseOrder = b[1];
  Frame.ResponseStatus = frame::GetWord(b + 2);
  Frame.ResponseLength = frame::GetWord(b + 4);
  Frame.ResponseDataCrc = b[6];
  return 1;
}

int ReceiveDataFrame() {
  // More than the buffer holds cannot be a correct answer; nothing of it is read.
  if (Frame.ResponseLength > frame::MAX_DATA_LENGTH) {
    SetCommMessage(kDataIncorrect);
    ShowCommunicationError();
    return -1;
  }
  const int length = Frame.ResponseLength;
  // Over TCP the callback keeps appending behind the header; a serial port holds only the data now.
  bool timedOut = WaitForAnswerBytes(Serial() ? length : length + static_cast<int>(frame::HEADER_SIZE));
  if (Serial()) {
    SensorLink.LineStatus = GetComStat(SensorLink.ComPort);
    ReadSerial(frame::HEADER_SIZE, length, timedOut);
  }
  if (timedOut || SensorLink.LineStatus > 0) {
    SetCommMessage(kTimeoutText);
    ShowCommunicationError();
    return -1;
  }
  if (frame::FrameCrc8(Frame.ReceiveBuffer, frame::HEADER_SIZE, length) == Frame.ResponseDataCrc) return 1;
  SetCommMessage(kDataIncorrect);
  ShowCommunicationError();
  return -1;
}

void ShowCommunicationError() {
  State.GoRunning = 0;
  State.SensorConnected = 0;
  SetCtrlVal(Panels.Datap, DATAP_STATUS, "TIMEOUT!");
  const int com = Panels.Page[PAGE_CONNECTION];
  AppendTextBox(com, COM_STATUS, Frame.CommMessage);
  AppendTextBox(com, COM_STATUS, "\n\n");
  for (int id : {COM_ACCEPT, COM_CHANGE_BAUDRATE, COM_GEN_HW_FILE}) SetCtrlAttribute(com, id, ATTR_DIMMED, 1);
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);
}

void UnpackMeasuredValues() {
  std::uint16_t* v = reinterpret_cast<std::uint16_t*>(&MeasuredValues);
  std::memcpy(v, Frame.ReceiveWords, MEASURED_VALUE_WORDS * sizeof(std::uint16_t));
}

void CopyResponseToSendWords() { CopyResponseWords(Frame.SendWords); }
void CopyResponseToReceiveWords() { CopyResponseWords(Frame.ReceiveWords); }
