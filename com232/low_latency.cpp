// Low latency on a serial port; see low_latency.h.
#include "com232/low_latency.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

// An adapter's timer that is there but cannot be read is taken at the driver's default.
constexpr int kDefaultTimerMs = 16;

int SystemSerialFlagsCall(int fd, unsigned long request, serial_struct* info) { return ioctl(fd, request, info); }

SerialFlagsCall& FlagsCall() {
  static SerialFlagsCall call = SystemSerialFlagsCall;
  return call;
}

// The name of the device node `device` leads to: "/dev/serial/by-id/usb-..." gives "ttyUSB0".
std::string DeviceNodeName(const std::string& device) {
  char resolved[PATH_MAX];
  std::string path = realpath(device.c_str(), resolved) ? resolved : device;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The timer in ms, -1 when it cannot be read.
int ReadTimer(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  char text[32];
  ssize_t n = read(fd, text, sizeof text - 1);
  close(fd);
  if (n <= 0) return -1;
  text[n] = '\0';
  char* end = nullptr;
  long ms = std::strtol(text, &end, 10);
  if (end == text || ms < 0 || ms > 255) return -1;
  return static_cast<int>(ms);
}

// Whether `ms` could be written; the attribute takes a decimal number.
bool WriteTimer(const std::string& path, int ms) {
  int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  const std::string text = std::to_string(ms);
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return close(fd) == 0 && written;
}

}  // namespace

void SetSerialFlagsCall(SerialFlagsCall call) { FlagsCall() = call ? call : SystemSerialFlagsCall; }

LowLatencyRecord RequestLowLatency(int fd, const std::string& device, const std::string& sysDir) {
  LowLatencyRecord r;
  // A driver without serial flags (ENOTTY, EINVAL) or one that refuses them is left as it is.
  serial_struct info{};
  if (FlagsCall()(fd, TIOCGSERIAL, &info) == 0 && !(info.flags & ASYNC_LOW_LATENCY)) {
    r.original = info;
    info.flags |= ASYNC_LOW_LATENCY;
    r.flagsChanged = FlagsCall()(fd, TIOCSSERIAL, &info) == 0;
  }

  const std::string path = sysDir + "/class/tty/" + DeviceNodeName(device) + "/device/latency_timer";
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return r;  // no adapter timer: an on-board port, a pseudo-terminal
  r.timerPath = path;
  // ftdi_sio already shows 1 here once the low-latency flag is set.
  const int before = ReadTimer(path);
  r.timerNow = before < 0 ? kDefaultTimerMs : before;
  // What cannot be read cannot be put back: such a timer is left as it is. A refused write
  // leaves it too, and the operator is told how to allow it.
  if (r.timerNow <= 1 || before < 0 || !WriteTimer(path, 1)) return r;
  r.timerBefore = before;
  const int after = ReadTimer(path);
  r.timerNow = after < 0 ? 1 : after;
  return r;
}

void ReleaseLowLatency(int fd, const LowLatencyRecord& record) {
  if (record.timerBefore >= 0) WriteTimer(record.timerPath, record.timerBefore);
  if (record.flagsChanged) {
    serial_struct original = record.original;
    FlagsCall()(fd, TIOCSSERIAL, &original);
  }
}

std::string LowLatencyNotice(const std::string& device, const LowLatencyRecord& record) {
  if (record.timerNow <= 1) return "";
  return "ATTENTION!!! THE USB ADAPTER OF " + device + " HOLDS EVERY ANSWER BACK FOR " +
         std::to_string(record.timerNow) + " MS!\nSEE README: LOW LATENCY.\n\n";
}
