// A tiny client for the simulator tests: builds order frames and talks to
// the simulator over a loopback socket or a pseudo-terminal slave, with every
// wait bounded.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "com232/frame_format.h"

namespace simtest {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

inline Bytes Order(std::uint8_t order, std::uint16_t param, const Bytes& data = {}) {
  Bytes f(frame::HEADER_SIZE + data.size());
  std::copy(data.begin(), data.end(), f.begin() + frame::HEADER_SIZE);
  frame::EncodeHeader(f.data(), order, param, data.empty() ? nullptr : f.data() + frame::HEADER_SIZE,
                      static_cast<std::uint16_t>(data.size()));
  return f;
}

inline Bytes Words(const std::vector<std::uint16_t>& words) {
  Bytes b(words.size() * 2);
  for (std::size_t i = 0; i < words.size(); ++i) frame::PutWord(&b[2 * i], words[i]);
  return b;
}

inline std::uint16_t WordAt(const Bytes& answer, std::size_t word) {
  return frame::GetWord(&answer[frame::HEADER_SIZE + 2 * word]);
}

inline double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

class Client {
 public:
  Client() = default;
  explicit Client(int fd) : fd_(fd) {}
  Client(Client&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  Client& operator=(Client&& o) noexcept {
    std::swap(fd_, o.fd_);
    return *this;
  }
  ~Client() { Close(); }

  static Client Tcp(std::uint16_t port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      close(fd);
      return Client();
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return Client(fd);
  }

  // Opens a pseudo-terminal slave raw 8N1 at `speed`, as a serial port.
  static Client Serial(const std::string& path, speed_t speed) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Client();
    Client c(fd);
    c.SetSpeed(speed);
    return c;
  }

  void SetSpeed(speed_t speed) {
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, speed);
    tcsetattr(fd_, TCSANOW, &t);
  }

  bool Open() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  bool Send(const Bytes& b) { return write(fd_, b.data(), b.size()) == static_cast<ssize_t>(b.size()); }

  // Up to `n` bytes, waiting at most `boundMs` in all; fewer when time runs
  // out or the peer closes (then `eof` is set).
  Bytes Read(std::size_t n, int boundMs = 2000, bool* eof = nullptr) {
    Bytes out;
    auto end = Clock::now() + std::chrono::milliseconds(boundMs);
    while (out.size() < n) {
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, left) <= 0) break;
      std::uint8_t buf[4096];
      ssize_t got = read(fd_, buf, std::min(sizeof buf, n - out.size()));
      if (got <= 0) {
        if (eof) *eof = true;
        break;
      }
      out.insert(out.end(), buf, buf + got);
    }
    return out;
  }

  // One answer: the header and the data it announces.
  Bytes ReadAnswer(int boundMs = 2000) {
    Bytes a = Read(frame::HEADER_SIZE, boundMs);
    if (a.size() < frame::HEADER_SIZE) return a;
    Bytes d = Read(frame::DecodeHeader(a.data()).length, boundMs);
    a.insert(a.end(), d.begin(), d.end());
    return a;
  }

  Bytes Exchange(const Bytes& order, int boundMs = 2000) {
    Send(order);
    return ReadAnswer(boundMs);
  }

  // The peer closed the connection within `boundMs`, sending nothing more.
  bool ClosedByPeer(int boundMs = 2000) {
    bool eof = false;
    Bytes rest = Read(1, boundMs, &eof);
    return eof && rest.empty();
  }

 private:
  int fd_ = -1;
};

}  // namespace simtest
