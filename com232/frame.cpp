// Send-and-wait of one order, the checks of the answer and the failure report.
#include "com232/frame.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <sched.h>

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
constexpr const char* kLineError =
    "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT AGAIN!";
constexpr double kUntimedTurn = 0.01;  // seconds an untimed wait blocks at most per turn

// Right after an order went out the answer may come within microseconds; for this
// short moment the wait keeps checking instead of sleeping (a scheduler wake-up
// costs more than the whole exchange with a sensor that answers at once).
constexpr auto kSpinAfterOrder = std::chrono::microseconds(200);
std::chrono::steady_clock::time_point g_spinUntil;

// A serial answer comes when the line has carried the order and the answer, so it takes about
// as long as the last answer to the same order took. Around that moment the wait checks instead
// of sleeping: a wake-up from poll() costs tens of microseconds, which at 115200 baud is a few
// per cent of every frame. Before the moment and after it the wait blocks as usual, so a slow
// or silent sensor costs no processor time. While checking on a serial line the wait gives the
// processor way on every turn: the kernel worker that carries the order to the port, and
// whatever sends the answer, may be waiting for this very processor.
constexpr auto kSpinBeforeAnswer = std::chrono::microseconds(300);
constexpr auto kSpinAfterAnswer = std::chrono::microseconds(500);
std::array<std::chrono::steady_clock::duration, 256> g_answerTime{};  // per order byte, zero: not seen yet
std::chrono::steady_clock::time_point g_spinFrom, g_spinEnd;

// Handle of the TCP connection whose last exchange took its answer whole with a read that
// left the connection empty, 0 when none: no byte of an earlier answer can wait there.
unsigned g_tcpLeftEmpty = 0;

bool Serial() { return SensorLink.TransportKind == 0; }

// One idle turn of a wait: block until data, an event or the deadline. A serial
// wait reads what arrives as it comes, so the port's queue is empty and a blocked
// poll() wakes with the next byte; the TCP socket is watched by the runtime.
void IdleTurn(double deadline) {
  const auto now = std::chrono::steady_clock::now();
  if (now < g_spinUntil || (now >= g_spinFrom && now < g_spinEnd)) {
    if (Serial()) sched_yield();
    return;
  }
  // Before the expected answer the wait blocks until the data or the start of the checking.
  if (now < g_spinFrom) {
    deadline = std::min(deadline, Timer() + std::chrono::duration<double>(g_spinFrom - now).count());
  }
  WaitForEvents(deadline, Serial() ? ComPortDescriptor(SensorLink.ComPort) : -1);
}

// Serial: moves what has arrived, at most up to `needed`, into ReceiveBuffer at `offset + *have`.
void TakeSerialBytes(int offset, int needed, int* have) {
  int waiting = GetInQLen(SensorLink.ComPort);
  int take = std::min(waiting, needed - *have);
  if (take <= 0) return;
  int n = ComRd(SensorLink.ComPort, Frame.ReceiveBuffer + offset + *have, take);
  if (n > 0) *have += n;
}

// How a wait for answer bytes ended.
enum class WaitEnd { Complete, TimedOut };

// Waits, dispatching events on every turn, until `needed` bytes are there or the
// time limit has passed. Serial bytes land in ReceiveBuffer from `offset`; TCP bytes
// are counted from byte 0. With `countFirst` the bytes are counted before the first
// dispatch: a DataFrame that came with its header completes its wait without one.
WaitEnd WaitForAnswerBytes(int offset, int needed, bool countFirst) {
  int have = 0;
  auto count = [&] {
    if (!Serial()) return SensorLink.TcpReceivedCount;
    TakeSerialBytes(offset, needed, &have);
    return have;
  };
  if (countFirst && count() >= needed) return WaitEnd::Complete;
  const bool tcpOpen = !Serial() && SensorLink.TcpConnected;
  const double start = Timer();
  const double deadline = start + ResponseTimeout + 1e-6;
  for (;;) {
    ProcessSystemEvents();
    // Bytes that are all there complete the wait, also when the time has just run out.
    if (count() >= needed) return WaitEnd::Complete;
    if (Timer() - start > ResponseTimeout) break;
    // A line that hung up brings no more bytes: fail now instead of turning until the limit.
    if (Serial() && ComLineHungUp(SensorLink.ComPort)) break;
    // The server closed the connection (its callback reported that): no answer can come,
    // so the wait ends now as timed out instead of turning until the limit.
    if (tcpOpen && !SensorLink.TcpConnected) return WaitEnd::TimedOut;
    IdleTurn(deadline);
  }
  // Bytes that arrived as the time ran out still count.
  return count() >= needed ? WaitEnd::Complete : WaitEnd::TimedOut;
}

// Over TCP, bytes still on their way from an earlier answer would be taken for the
// next one; they are dropped before an order goes out, as the serial queues are flushed.
// After an answer taken whole from an emptied connection there is nothing to drop, and
// the order goes out without the look (each system call costs about a twentieth of an
// exchange with a sensor that answers at once). Bytes read since then that filled the
// buffer may have left more behind: the look is taken then.
void DrainTcp() {
  const bool lastReadShort = SensorLink.TcpReceivedCount < static_cast<int>(sizeof Frame.ReceiveBuffer);
  if (g_tcpLeftEmpty != 0 && g_tcpLeftEmpty == SensorLink.TcpHandle && lastReadShort) return;
  std::uint8_t scratch[512];
  for (int i = 0; i < 64; ++i) {
    int n = ClientTCPRead(SensorLink.TcpHandle, scratch, sizeof scratch, 0);
    if (n <= 0) break;
  }
}

// The callback reads all it has room for, so a count short of the buffer means its last
// read found nothing more; an answer of exactly its announced length then left nothing behind.
void NoteTcpAnswerTaken(int result) {
  const int whole = static_cast<int>(frame::HEADER_SIZE) + Frame.ResponseLength;
  const bool empty = result == 1 && SensorLink.TcpConnected && SensorLink.TcpReceivedCount == whole &&
                     whole < static_cast<int>(sizeof Frame.ReceiveBuffer);
  g_tcpLeftEmpty = empty ? SensorLink.TcpHandle : 0;
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
    if (SensorLink.TcpConnected) DrainTcp();
    g_tcpLeftEmpty = 0;
    SensorLink.TcpReceivedCount = 0;
    ClientTCPWrite(SensorLink.TcpHandle, Frame.OrderFrame, byteCount, TCP_WRITE_TIME_LIMIT);
  }
  // A failed write shows as a missing answer.
  const auto sent = std::chrono::steady_clock::now();
  const std::uint8_t order = Frame.OrderFrame[1];
  const auto expected = g_answerTime[order];
  g_spinUntil = sent + kSpinAfterOrder;
  g_spinFrom = g_spinEnd = {};
  if (Serial() && expected.count() > 0) {
    g_spinFrom = sent + expected - kSpinBeforeAnswer;
    g_spinEnd = sent + expected + kSpinAfterAnswer;
  }
  int result = ReceiveHeaderFrame();
  if (result == 1 && Frame.ResponseLength > 0) result = ReceiveDataFrame();
  if (!Serial()) NoteTcpAnswerTaken(result);
  if (Serial() && result == 1) {
    // A quicker answer is taken at once, a slower one by an eighth: one late wake-up does not
    // move the checking past the answers that come on time.
    const auto took = std::chrono::steady_clock::now() - sent;
    auto& estimate = g_answerTime[order];
    estimate = estimate.count() == 0 || took < estimate ? took : estimate + (took - estimate) / 8;
  }
  g_spinFrom = g_spinEnd = {};
  return result;
}

int ReceiveHeaderFrame() {
  const WaitEnd end = WaitForAnswerBytes(0, frame::HEADER_SIZE, false);
  const bool timedOut = end == WaitEnd::TimedOut;
  if (Serial()) SensorLink.LineStatus = GetComStat(SensorLink.ComPort);
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

int WaitSerialHeaderUntimed(const std::uint16_t& running) {
  const int port = SensorLink.ComPort;
  SensorLink.LineStatus = 0;
  for (;;) {
    ProcessSystemEvents();
    if (running == 0) return 0;
    const int queued = GetInQLen(port);
    SensorLink.LineStatus = GetComStat(port);
    if (SensorLink.LineStatus > 0 || queued >= 8) break;
    WaitForEvents(Timer() + kUntimedTurn, ComPortDescriptor(port));
  }
  if (SensorLink.LineStatus > 0) {
    SetCommMessage(kLineError);
    ShowCommunicationError();
    return -1;
  }
  std::memset(Frame.ReceiveBuffer, 0, sizeof Frame.ReceiveBuffer);
  ComRd(port, Frame.ReceiveBuffer, 8);
  return 1;
}

int WaitTcpBytesUntimed(int needed, const std::uint16_t& running) {
  g_tcpLeftEmpty = 0;  // frames the sensor sends on its own may follow
  while (SensorLink.TcpReceivedCount < needed) {
    ProcessSystemEvents();
    if (running == 0) return 0;
    if (SensorLink.TcpConnected == 0) return -1;  // the server closed it: reported by the callback
    if (SensorLink.TcpReceivedCount >= needed) break;
    WaitForEvents(Timer() + kUntimedTurn);
  }
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
  // Over TCP the callback keeps appending behind the header; on a serial line the data follow at byte 8.
  const WaitEnd end = WaitForAnswerBytes(frame::HEADER_SIZE,
                                         Serial() ? length : length + static_cast<int>(frame::HEADER_SIZE), true);
  const bool timedOut = end == WaitEnd::TimedOut;
  if (Serial()) SensorLink.LineStatus = GetComStat(SensorLink.ComPort);
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

bool StatusAnswerReported() {
  return Frame.ResponseOrder == frame::ORDER_STATUS_ANSWER &&
         (Frame.ResponseStatus == frame::STATUS_INVALID_ORDER ||
          Frame.ResponseStatus == frame::STATUS_CONTROL_UNIT_ERROR);
}

int RefuseShortAnswer() {
  if (!StatusAnswerReported()) {
    SetCommMessage(kDataIncorrect);
    ShowCommunicationError();
  }
  return -1;
}

int TakeMeasuredFrame() {
  if (Frame.ResponseLength < MEASURED_VALUE_WORDS * 2) return RefuseShortAnswer();
  CopyResponseToReceiveWords();
  UnpackMeasuredValues();
  return 1;
}

void CopyResponseToSendWords() { CopyResponseWords(Frame.SendWords); }
void CopyResponseToReceiveWords() { CopyResponseWords(Frame.ReceiveWords); }
