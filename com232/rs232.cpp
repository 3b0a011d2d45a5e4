// RS-232 ports over termios; see rs232.h.
//
// Ports are opened O_NONBLOCK and every wait is a poll() bounded by the
// port's time limit, so no call can hang on a silent or unplugged device.
#include "com232/rs232.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "com232/fd_wait.h"
#include "com232/low_latency.h"
#include "com232/port_map.h"

namespace {

struct ComPortState {
  int fd = -1;                     // open descriptor, -1 when closed
  double timeLimit = 10.0;         // seconds a read or write may wait (SetComTime)
  serial_icounter_struct counts{}; // line-error counters at the last GetComStat
  LowLatencyRecord latency;        // what the opening changed in the driver, put back on close
  std::string notice;              // the opening's latency notice until it is taken
};

struct Rs232State {
  ComPortState ports[RS232_MAX_PORT + 1];  // index = port number; 0 unused
  std::string lastOpenDevice;              // device of the last OpenComConfig
  bool lastOpenPermissionDenied = false;   // it failed with EACCES or EPERM
};

Rs232State& R() {
  static Rs232State state;
  return state;
}

constexpr double kDefaultTimeLimit = 10.0;  // seconds, until SetComTime

struct BaudEntry {
  long baud;
  speed_t speed;
};
constexpr BaudEntry kBaudRates[] = {
    {50, B50},          {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},        {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},      {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},  {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedForBaud(long baud, speed_t* speed) {
  for (const BaudEntry& e : kBaudRates) {
    if (e.baud == baud) {
      *speed = e.speed;
      return true;
    }
  }
  return false;
}

// Open port of a number, or nullptr. *code gets the error for the caller.
ComPortState* OpenPort(int port, int* code) {
  if (port < 1 || port > RS232_MAX_PORT) {
    *code = RS232E_INVALID_PORT;
    return nullptr;
  }
  ComPortState& p = R().ports[port];
  if (p.fd < 0) {
    *code = RS232E_PORT_NOT_OPEN;
    return nullptr;
  }
  return &p;
}

using fdwait::Now;
using fdwait::WaitReady;

int OpenErrorCode(int err) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return RS232E_NO_SERIAL_PORT;  // nothing (any more) behind the path
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
      return RS232E_CANNOT_OPEN;     // there, but refused or held by another program
    case EIO:
      return RS232E_IO;
    default:
      return RS232E_UNKNOWN_SYSTEM;
  }
}

// Raw line with the given framing; CLOCAL so that a missing DCD does not block.
int ConfigureLine(int fd, speed_t speed, int parity, int dataBits, int stopBits) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return RS232E_NO_SERIAL_PORT;
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
  tio.c_cflag |= CLOCAL | CREAD;
  constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  tio.c_cflag |= kSizes[dataBits - 5];
  if (stopBits == 2) tio.c_cflag |= CSTOPB;
  switch (parity) {
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (parity != 0) tio.c_iflag |= INPCK;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  // With O_NONBLOCK, VMIN 1 makes an empty read fail with EAGAIN, so that a
  // read of 0 bytes means only one thing: the line hung up.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return RS232E_INVALID_BAUD;
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return errno == EINVAL ? RS232E_INVALID_BAUD : RS232E_IO;
  // tcsetattr succeeds when any part was applied; a driver that cannot run at
  // the rate keeps its old one.
  termios back{};
  if (tcgetattr(fd, &back) != 0) return RS232E_IO;
  if (cfgetospeed(&back) != speed) return RS232E_INVALID_BAUD;
  return 0;
}

// Counters of the driver, all zero when it keeps none.
serial_icounter_struct LineCounters(int fd) {
  serial_icounter_struct c{};
  if (ioctl(fd, TIOCGICOUNT, &c) != 0) c = serial_icounter_struct{};
  return c;
}

// A pulled USB adapter or a closed pseudo-terminal master leaves the descriptor
// reporting a hang-up (or an error) for good; reads then fail at once.
bool HungUp(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// A pseudo-terminal keeps its tty, and with it the exclusive flag, while the
// far end is open: without clearing the flag, reopening would be refused.
void CloseDevice(int fd) {
  ioctl(fd, TIOCNXCL);
  close(fd);
}

// Opens the device and makes it ours alone; the descriptor or a negative code.
int OpenDevice(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    R().lastOpenPermissionDenied = (errno == EACCES || errno == EPERM);
    return OpenErrorCode(errno);
  }
  if (!isatty(fd)) {
    close(fd);
    return RS232E_NO_SERIAL_PORT;
  }
  // TIOCEXCL refuses later opens by others (except root); the lock also
  // catches root and programs that opened the port before us and lock it.
  // A failed lock means another holder, whose exclusive flag must stay.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    close(fd);
    return err == EWOULDBLOCK ? RS232E_CANNOT_OPEN : RS232E_UNKNOWN_SYSTEM;
  }
  if (ioctl(fd, TIOCEXCL) != 0) {
    close(fd);
    return RS232E_UNKNOWN_SYSTEM;
  }
  return fd;
}

// At the end of the program every port still open is closed, so that what the openings
// changed in the drivers goes back (a program that ends without CloseCom too).
void CloseAllPorts() {
  for (int port = 1; port <= RS232_MAX_PORT; ++port) CloseCom(port);
}

}  // namespace

int OpenComConfig(int port, const char* deviceName, long baud, int parity, int dataBits, int stopBits,
                  int inputQueueSize, int outputQueueSize) {
  Rs232State& r = R();
  r.lastOpenPermissionDenied = false;
  r.lastOpenDevice.clear();
  if (port < 1 || port > RS232_MAX_PORT) return RS232E_INVALID_PORT;
  CloseCom(port);
  r.lastOpenDevice = (deviceName && *deviceName) ? deviceName : ComPortDevice(port);

  speed_t speed;
  if (!SpeedForBaud(baud, &speed)) return RS232E_INVALID_BAUD;
  if (parity < 0 || parity > 4 || dataBits < 5 || dataBits > 8 || stopBits < 1 || stopBits > 2 ||
      inputQueueSize < 0 || outputQueueSize < 0)
    return RS232E_INVALID_PARAMETER;
  if (r.lastOpenDevice.empty()) return RS232E_NO_SERIAL_PORT;

  int fd = OpenDevice(r.lastOpenDevice);
  if (fd < 0) return fd;
  int code = ConfigureLine(fd, speed, parity, dataBits, stopBits);
  if (code < 0) {
    CloseDevice(fd);
    return code;
  }
  tcflush(fd, TCIOFLUSH);  // bytes from before the opening belong to nobody
  static const bool closedAtExit = std::atexit(CloseAllPorts) == 0;
  (void)closedAtExit;
  ComPortState& p = r.ports[port];
  p.fd = fd;
  p.timeLimit = kDefaultTimeLimit;
  p.counts = LineCounters(fd);
  p.latency = RequestLowLatency(fd, r.lastOpenDevice, ComPortSysDirectory());
  p.notice = LowLatencyNotice(r.lastOpenDevice, p.latency);
  return 0;
}

int CloseCom(int port) {
  if (port < 1 || port > RS232_MAX_PORT) return RS232E_INVALID_PORT;
  ComPortState& p = R().ports[port];
  if (p.fd >= 0) {
    ReleaseLowLatency(p.fd, p.latency);
    CloseDevice(p.fd);
  }
  p.fd = -1;
  p.latency = LowLatencyRecord{};
  p.notice.clear();
  return 0;
}

std::string TakeComLatencyNotice(int port) {
  if (port < 1 || port > RS232_MAX_PORT) return "";
  std::string notice;
  notice.swap(R().ports[port].notice);
  return notice;
}

int SetComTime(int port, double seconds) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  if (!(seconds >= 0)) return RS232E_INVALID_PARAMETER;
  p->timeLimit = seconds;
  return 0;
}

int SetCTSMode(int port, int mode) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  termios tio{};
  if (tcgetattr(p->fd, &tio) != 0) return RS232E_IO;
  if (mode)
    tio.c_cflag |= CRTSCTS;
  else
    tio.c_cflag &= ~CRTSCTS;
  return tcsetattr(p->fd, TCSANOW, &tio) == 0 ? 0 : RS232E_IO;
}

int FlushInQ(int port) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  return tcflush(p->fd, TCIFLUSH) == 0 ? 0 : RS232E_IO;
}

int FlushOutQ(int port) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  return tcflush(p->fd, TCOFLUSH) == 0 ? 0 : RS232E_IO;
}

int ComWrt(int port, const void* bytes, int count) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  if (count < 0 || (count > 0 && !bytes)) return RS232E_INVALID_PARAMETER;
  const char* src = static_cast<const char*>(bytes);
  double deadline = Now() + p->timeLimit;
  int written = 0;
  while (written < count) {
    ssize_t n = write(p->fd, src + written, count - written);
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return written > 0 ? written : RS232E_IO;
    // Output buffer full (flow control or a slow line): wait for room.
    short re = WaitReady(p->fd, POLLOUT, deadline);
    if (re == 0) return written > 0 ? written : RS232E_TIMEOUT;
    if (!(re & POLLOUT)) return written > 0 ? written : RS232E_IO;
  }
  return written;
}

int ComRd(int port, void* buffer, int count) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  if (count < 0 || (count > 0 && !buffer)) return RS232E_INVALID_PARAMETER;
  char* dst = static_cast<char*>(buffer);
  double deadline = Now() + p->timeLimit;
  int got = 0;
  while (got < count) {
    ssize_t n = read(p->fd, dst + got, count - got);
    if (n > 0) {
      got += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // 0 or EIO: the line hung up (an adapter unplugged, the far end of a
    // pseudo-terminal closed); waiting cannot bring more bytes.
    if (n == 0 || errno != EAGAIN) return got > 0 ? got : RS232E_IO;
    short re = WaitReady(p->fd, POLLIN, deadline);
    if (re == 0) break;  // time limit: return what has arrived
    if (!(re & POLLIN)) return got > 0 ? got : RS232E_IO;
  }
  return got;
}

int GetInQLen(int port) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  int n = 0;
  return ioctl(p->fd, TIOCINQ, &n) == 0 ? n : RS232E_IO;
}

int GetComStat(int port) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  if (!p) return code;
  serial_icounter_struct now = LineCounters(p->fd);
  const serial_icounter_struct& was = p->counts;
  int bits = 0;
  if (now.buf_overrun != was.buf_overrun) bits |= COM_STAT_INPUT_LOST;
  if (now.parity != was.parity) bits |= COM_STAT_PARITY;
  if (now.overrun != was.overrun) bits |= COM_STAT_OVERRUN;
  if (now.frame != was.frame) bits |= COM_STAT_FRAMING;
  if (now.brk != was.brk) bits |= COM_STAT_BREAK;
  p->counts = now;
  if (HungUp(p->fd)) bits |= COM_STAT_HANGUP;
  return bits;
}

bool ComLineHungUp(int port) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  return p && HungUp(p->fd);
}

int ComPortDescriptor(int port) {
  int code;
  ComPortState* p = OpenPort(port, &code);
  return p ? p->fd : -1;
}

const char* LastComOpenDevice() { return R().lastOpenDevice.c_str(); }

bool LastComOpenPermissionDenied() { return R().lastOpenPermissionDenied; }

std::string ComOpenPermissionHint() {
  const Rs232State& r = R();
  if (!r.lastOpenPermissionDenied) return "";
  // Serial devices belong to 'dialout' on Debian; other systems use 'uucp'
  // or 'serial', so name the group the device actually has.
  std::string groupName = "dialout";
  struct stat st {};
  if (stat(r.lastOpenDevice.c_str(), &st) == 0 && st.st_gid != 0) {
    if (const struct group* g = getgrgid(st.st_gid)) groupName = g->gr_name;
  }
  return "Access to " + r.lastOpenDevice + " was refused. Membership of the group '" + groupName +
         "' gives access (sudo usermod -aG " + groupName + " $USER, then log in again).";
}
