// The one transport to the sensor: RS-232 or TCP/IP, its settings and its state.
#pragma once

#include <cstdint>

struct SensorLinkRecord {
  std::uint16_t TransportKind = 0;     // 0 = RS-232, 1 = TCP/IP (key COMPROTOCOL)
  std::uint16_t ComPort = 1;           // serial port number, 1 = first port (key COMPORT)
  std::uint16_t BaudIndex = 4;         // index into the baud-rate table (key BAUDRATE)
  char HostAddress[256] = "";          // server name or IP address (key "IP ADRESS")
  char TcpPortText[32] = "10001";      // TCP port as typed (key "PORT NUMBER")
  std::int32_t TcpPortNumber = 0;      // decimal value of TcpPortText, taken at each connect
  unsigned TcpHandle = 0;              // handle of the open connection, 0 after the server closed it
  std::uint16_t TcpConnected = 0;      // 1 while a TCP connection is open
  std::int32_t LinkOpenStatus = 0;     // last open or connect: >= 0 success, negative error code
  std::int32_t LineStatus = 0;         // last serial line-error status (0 = none)
  std::int32_t TcpReceivedCount = 0;   // bytes the TCP callback put into ReceiveBuffer since the last reset
};

extern SensorLinkRecord SensorLink;

constexpr double SERIAL_TIME_LIMIT = 2.0;     // seconds, reads and writes
constexpr int TCP_CONNECT_TIME_LIMIT = 5000;  // ms
constexpr int TCP_WRITE_TIME_LIMIT = 2000;    // ms
constexpr int TCP_READ_TIME_LIMIT = 5000;     // ms

// Baud rate of an index: 0..4 = 9600, 19200, 38400, 57600, 115200; any other 115200.
long BaudRateOfIndex(int baudIndex);
// Decimal value of the leading digits of a port text; 0 when there are none.
std::int32_t TcpPortFromText(const char* text);
// Messages of the platform's open and connect error codes.
const char* SerialOpenErrorText(int code);
const char* TcpConnectErrorText(int code);

// (Re)opens the serial port ComPort at the rate of BaudIndex; failures are reported.
void OpenSerialPort();
// (Re)connects to HostAddress on TcpPortNumber; failures are reported; sets TcpConnected.
void ConnectTcpServer();
// TCP events of the open connection: data are appended to ReceiveBuffer, a close is reported.
int TcpReadCallback(unsigned handle, int xType, int errCode, void* callbackData);
// TcpConnected = 0 (start-up).
void ResetLinkFlags();
// Shutdown: the TCP connection if open, then the serial port.
void CloseSensorLink();
