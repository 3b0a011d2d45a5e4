// Bounded waits on one descriptor, shared by the serial and TCP layers.
#pragma once

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace fdwait {

// Seconds on the monotonic clock.
inline double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Waits until `fd` is ready for `events` or `deadline` (Now() seconds) passes.
// Returns the revents, 0 on time-out.
inline short WaitReady(int fd, short events, double deadline) {
  for (;;) {
    double left = deadline - Now();
    int ms = left <= 0 ? 0 : static_cast<int>(left * 1000.0 + 0.999);
    pollfd pfd{fd, events, 0};
    int n = poll(&pfd, 1, ms);
    if (n > 0) return pfd.revents;
    if (n == 0 || errno != EINTR) return 0;
  }
}

}  // namespace fdwait
