// RS-232 ports over POSIX termios, with the names and results the program
// logic relies on.
//
// A port is opened raw (no echo, no line editing, no character translation),
// with CLOCAL|CREAD, no flow control unless SetCTSMode turns RTS/CTS on, and
// exclusive access so that a second program cannot share it. Reads and writes
// never block past the port's time limit (SetComTime, 10 s after opening).
//
// Results: 0 or more on success, a negative RS232E_ code on failure.
// Single-threaded, like the rest of the program logic.
#pragma once

#include <string>

// Error codes.
constexpr int RS232E_UNKNOWN_SYSTEM = -1;     // unexpected errno from open or ioctl
constexpr int RS232E_INVALID_PORT = -2;       // port number outside 1..RS232_MAX_PORT
constexpr int RS232E_PORT_NOT_OPEN = -3;
constexpr int RS232E_IO = -4;                 // read, write, flush or line setting failed
constexpr int RS232E_NO_SERIAL_PORT = -6;     // no device for the number, missing path, not a tty
constexpr int RS232E_CANNOT_OPEN = -7;        // device exists but is refused or in use
constexpr int RS232E_INVALID_PARAMETER = -11; // parity, data bits, stop bits or count out of range
constexpr int RS232E_INVALID_BAUD = -14;
constexpr int RS232E_TIMEOUT = -99;           // a write could not hand over a single byte in time

constexpr int RS232_MAX_PORT = 255;

// Line-error bits of GetComStat.
constexpr int COM_STAT_INPUT_LOST = 0x0001;  // the driver's receive buffer overflowed
constexpr int COM_STAT_PARITY = 0x0010;
constexpr int COM_STAT_OVERRUN = 0x0020;     // the UART's receive register overran
constexpr int COM_STAT_FRAMING = 0x0040;
constexpr int COM_STAT_BREAK = 0x0080;
constexpr int COM_STAT_HANGUP = 0x4000;      // the device is gone (adapter unplugged, far end closed)

// Opens `port` and sets the line, asking the driver for low latency (low_latency.h);
// CloseCom, and the end of the program, put back what that changed. `deviceName` empty: the device of the port
// number (port_map.h); otherwise that path. Parity 0 none, 1 odd, 2 even,
// 3 mark, 4 space; 5..8 data bits; 1 or 2 stop bits. The queue sizes are
// accepted for compatibility: the kernel's tty buffers serve as the queues.
// A port that is open is closed first.
int OpenComConfig(int port, const char* deviceName, long baud, int parity, int dataBits, int stopBits,
                  int inputQueueSize, int outputQueueSize);
int CloseCom(int port);  // 0 also when the port was not open
// The connection page's notice of the latest opening of `port` when its USB adapter still
// holds answers back for more than 1 ms ("ATTENTION!!! THE USB ADAPTER OF ..."); given once,
// empty afterwards and for every other port.
std::string TakeComLatencyNotice(int port);
int SetComTime(int port, double seconds);  // time limit of ComRd and ComWrt; 0 = no waiting
int SetCTSMode(int port, int mode);        // 0 = no handshake, otherwise RTS/CTS
int FlushInQ(int port);   // discards received bytes not yet read
int FlushOutQ(int port);  // discards bytes not yet sent
// Writes `count` bytes; the number written (fewer when the time limit ran out).
int ComWrt(int port, const void* bytes, int count);
// Reads up to `count` bytes, waiting at most the time limit; the number read.
int ComRd(int port, void* buffer, int count);
int GetInQLen(int port);  // received bytes waiting to be read
// Line errors (COM_STAT_ bits) since the previous call or the opening; 0 when
// none or when the driver keeps no counters (pseudo-terminals, many USB adapters).
// A line that hung up reports COM_STAT_HANGUP on every call.
int GetComStat(int port);
// Whether the line hung up, without touching the error counters.
bool ComLineHungUp(int port);

// The open port's descriptor, -1 when it is not open: lets a wait block in
// poll() until bytes arrive.
int ComPortDescriptor(int port);

// Device of the last OpenComConfig, and whether it failed for lack of permission.
const char* LastComOpenDevice();
bool LastComOpenPermissionDenied();
// Line to show under the open error when permission was refused, else empty:
// names the device's group and how to join it.
std::string ComOpenPermissionHint();

