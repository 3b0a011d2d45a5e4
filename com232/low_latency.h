// Low latency on a serial port: what the port is asked for when it opens, and
// put back when it closes.
//
// Most RS-232 adapters are USB adapters; the common FTDI family holds received
// bytes back for its latency timer (16 ms by default) unless its 62-byte packet
// fills, so a request/answer exchange waits for the timer on every short answer.
// On opening, the port
//   1. sets ASYNC_LOW_LATENCY in the driver's serial flags (TIOCGSERIAL,
//      TIOCSSERIAL); ENOTTY and EINVAL (a pseudo-terminal, a driver without
//      the flags) are silent;
//   2. writes 1 to <sys>/class/tty/<name>/device/latency_timer (ms) when that
//      attribute exists and reads more than 1; <name> is the device node the
//      opened path leads to (a /dev/serial/by-id link resolves to ttyUSB<n>).
//      A refused write (EACCES, EPERM, EROFS, EISDIR) leaves the timer alone:
//      the write is tried, the mode bits are not judged.
// Closing writes the old timer back and then the original flags. A timer still
// above 1 ms is named once per opening by LowLatencyNotice.
//
// Single-threaded, like the rest of the serial layer.
#pragma once

#include <linux/serial.h>

#include <string>

// The two serial-flag calls, with ioctl()'s results and errno. Tests put a fake
// driver in place; nullptr restores ioctl().
using SerialFlagsCall = int (*)(int fd, unsigned long request, serial_struct* info);
void SetSerialFlagsCall(SerialFlagsCall call);

// What an opening changed, to be put back by ReleaseLowLatency.
struct LowLatencyRecord {
  bool flagsChanged = false;     // ASYNC_LOW_LATENCY was set here; `original` goes back on close
  serial_struct original{};      // the driver's serial settings before
  std::string timerPath;         // the adapter's latency_timer, empty when it has none
  int timerBefore = -1;          // ms written back on close, -1 when nothing was written
  int timerNow = -1;             // ms in force after the request, -1 when there is no timer
};

// Asks the driver of `fd` (opened from `device`) for low latency, with sysfs at `sysDir`.
LowLatencyRecord RequestLowLatency(int fd, const std::string& device, const std::string& sysDir);
// Puts back what RequestLowLatency changed; failures are left alone.
void ReleaseLowLatency(int fd, const LowLatencyRecord& record);
// The connection page's line for an adapter whose timer stayed above 1 ms, else empty.
std::string LowLatencyNotice(const std::string& device, const LowLatencyRecord& record);
