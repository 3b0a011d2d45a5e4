// Opening the serial port and connecting to the TCP server, and the TCP read callback.
#include "com232/link.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/program_state.h"
#include "app/uir.h"
#include "com232/frame.h"
#include "com232/rs232.h"
#include "com232/tcp.h"
#include "ui/ui.h"

SensorLinkRecord SensorLink;

long BaudRateOfIndex(int baudIndex) {
  switch (baudIndex) {
    case 0: return 9600;
    case 1: return 19200;
    case 2: return 38400;
    case 3: return 57600;
    default: return 115200;
  }
}

std::int32_t TcpPortFromText(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  std::int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > 0x7FFFFFFF) return 0x7FFFFFFF;  // far out of range; the connect refuses it
  }
  return static_cast<std::int32_t>(value);
}

const char* SerialOpenErrorText(int code) {
  switch (code) {
    case -1: return "Unknown system error";
    case -2: return "Invalid port number";
    case -3: return "Port is not open";
    case -4: return "Unknown I/0 error";
    case -6: return "No serial port found";
    case -7: return "Cannot open port";
    case -14: return "Invalid Baudrate";
    case -99: return "Timeout";
    default: return "RS-232 error!";
  }
}

const char* TcpConnectErrorText(int code) {
  static const char* const kTexts[] = {
      "UnableToRegisterService",    "UnableToEstablishConnection", "ExistingServer",
      "FailedToConnect",            "ServerNotRegistered",         "TooManyConversations",
      "ReadFailed",                 "WriteFailed",                 "InvalidParameter",
      "OutOfMemory",                "TimeOutError",                "NoConnectionEstablished",
      "GeneralIOErr",               "ConnectionClosed",            "UnableToLoadWinsockDLL",
      "IncorrectWinsockDLLVersion", "NetworkSubsystemNotReady",    "ConnectionsStillOpen",
      "DisconnectPending",          "InfoNotAvailable"};
  if (code <= -1 && code >= -20) return kTexts[-code - 1];
  return "Connection to server failed";
}

void OpenSerialPort() {
  State.GoRunning = 0;
  CloseCom(SensorLink.ComPort);
  long baud = BaudRateOfIndex(SensorLink.BaudIndex);
  SensorLink.LinkOpenStatus = OpenComConfig(SensorLink.ComPort, "", baud, 0, 8, 1, 1024, 1024);
  if (SensorLink.LinkOpenStatus < 0) {
    // A refused permission also says which device it was and how to get access.
    std::string text = SerialOpenErrorText(SensorLink.LinkOpenStatus);
    if (LastComOpenPermissionDenied()) text += "\n" + ComOpenPermissionHint();
    SetCommMessage(text.c_str());
    ShowCommunicationError();
    return;
  }
  SetComTime(SensorLink.ComPort, SERIAL_TIME_LIMIT);
  FlushInQ(SensorLink.ComPort);
  FlushOutQ(SensorLink.ComPort);
  SetCTSMode(SensorLink.ComPort, 0);
  // A USB adapter that keeps its latency timer holds every short answer back: the operator
  // is told once per opening, beside the other connection messages.
  const std::string notice = TakeComLatencyNotice(SensorLink.ComPort);
  if (!notice.empty()) AppendTextBox(Panels.Page[PAGE_CONNECTION], COM_STATUS, notice.c_str());
}

void ConnectTcpServer() {
  if (SensorLink.TcpConnected == 1) {
    DisconnectFromTCPServer(SensorLink.TcpHandle);
    SensorLink.TcpConnected = 0;
    SensorLink.TcpHandle = 0;
  }
  SetWaitCursor(1);
  unsigned handle = 0;
  SensorLink.LinkOpenStatus = ConnectToTCPServer(&handle, SensorLink.TcpPortNumber, SensorLink.HostAddress,
                                                 TcpReadCallback, nullptr, TCP_CONNECT_TIME_LIMIT);
  SetWaitCursor(0);
  if (SensorLink.LinkOpenStatus < 0) {
    SetCommMessage(TcpConnectErrorText(SensorLink.LinkOpenStatus));
    ShowCommunicationError();
    SensorLink.TcpConnected = 0;
    SensorLink.TcpHandle = 0;
  } else {
    SensorLink.TcpHandle = handle;
    SensorLink.TcpConnected = 1;
  }
}

int TcpReadCallback(unsigned handle, int xType, int, void*) {
  if (xType == TCP_DATAREADY) {
    // Never past the end of ReceiveBuffer: what does not fit stays in the socket.
    int room = static_cast<int>(sizeof Frame.ReceiveBuffer) - SensorLink.TcpReceivedCount;
    if (room > 0) {
      int n = ClientTCPRead(handle, Frame.ReceiveBuffer + SensorLink.TcpReceivedCount, room, TCP_READ_TIME_LIMIT);
      if (n > 0) SensorLink.TcpReceivedCount += n;
    }
  } else if (xType == TCP_DISCONNECT) {
    SetCommMessage("SERVER HAS CLOSED CONNECTION!");
    ShowCommunicationError();
    SensorLink.TcpHandle = 0;
    SensorLink.TcpConnected = 0;
  }
  return 0;
}

void ResetLinkFlags() { SensorLink.TcpConnected = 0; }

void CloseSensorLink() {
  if (SensorLink.TcpConnected == 1) {
    DisconnectFromTCPServer(SensorLink.TcpHandle);
    SensorLink.TcpConnected = 0;
    SensorLink.TcpHandle = 0;
  }
  CloseCom(SensorLink.ComPort);
}
