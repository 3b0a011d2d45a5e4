#include "bench/bare_loops.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "com232/frame_format.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Order 8 out with `send`, its answer in with `receive` (bytes read, 0 none yet, -1 the link is
// gone), again, for `seconds`; exchanges per second, 0 when the link went.
template <typename Send, typename Receive>
double ExchangeRate(double seconds, Send send, Receive receive) {
  std::uint8_t order[8];
  frame::EncodeHeader(order, frame::ORDER_MEASURED_VALUES, 0, nullptr, 0);
  std::uint8_t buf[2048];
  long count = 0;
  const auto start = Clock::now();
  while (Seconds(start, Clock::now()) < seconds) {
    if (!send(order)) break;
    int have = 0, need = 8;
    while (have < need) {
      const int n = receive(buf + have, sizeof buf - have);
      if (n < 0) return 0;
      have += n;
      if (have >= 8) need = 8 + (buf[4] | (buf[5] << 8));
    }
    ++count;
  }
  return count / Seconds(start, Clock::now());
}

}  // namespace

// A bare client: order 8 out, wait busily for the 54-byte answer, again.
double BareLoopRate(std::uint16_t port, double seconds) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    std::perror("connect");
    std::exit(1);
  }
  const double rate = ExchangeRate(
      seconds, [fd](const std::uint8_t* order) { return send(fd, order, 8, 0) == 8; },
      [fd](std::uint8_t* into, std::size_t room) {
        const ssize_t n = recv(fd, into, room, MSG_DONTWAIT);
        return n == 0 ? -1 : n < 0 ? 0 : static_cast<int>(n);
      });
  close(fd);
  return rate;
}

// A bare client on a serial line (the simulator's pseudo-terminal): order 8 out, then poll()
// for the answer; the same wire timing applies as for the program.
double BareSerialRate(const std::string& device, double seconds) {
  int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    std::perror("open");
    std::exit(1);
  }
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  cfsetispeed(&t, B115200);
  cfsetospeed(&t, B115200);
  tcsetattr(fd, TCSANOW, &t);
  const double rate = ExchangeRate(
      seconds, [fd](const std::uint8_t* order) { return write(fd, order, 8) == 8; },
      [fd](std::uint8_t* into, std::size_t room) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0) return -1;
        const ssize_t n = read(fd, into, room);
        return n < 0 ? 0 : static_cast<int>(n);
      });
  close(fd);
  return rate;
}

