// TCP client connections; see tcp.h.
#include "com232/tcp.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "com232/fd_wait.h"
#include "ui/ui.h"

namespace {

struct TcpConnection {
  int fd = -1;                      // connected socket, non-blocking
  int watchId = 0;                  // runtime watch delivering readiness and hang-up
  TcpCallbackPtr callback = nullptr;
  void* callbackData = nullptr;
};

struct TcpState {
  std::map<unsigned, TcpConnection> connections;  // open connections by handle
  unsigned nextHandle = 1;                        // handles are not reused, so a stale one stays dead
  TcpNameLookup lookup = nullptr;                 // nullptr: getaddrinfo
};

TcpState& T() {
  static TcpState state;
  return state;
}

TcpConnection* Find(unsigned handle) {
  auto it = T().connections.find(handle);
  return it == T().connections.end() ? nullptr : &it->second;
}

using fdwait::Now;
using fdwait::WaitReady;

int ConnectErrorCode(int err) {
  switch (err) {
    case ECONNREFUSED: return TCPE_FAILED_TO_CONNECT;
    case ETIMEDOUT: return TCPE_TIMEOUT;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case EADDRNOTAVAIL:
    case EACCES:
    case EPERM:
    case ECONNRESET: return TCPE_UNABLE_TO_ESTABLISH_CONNECTION;
    case ENETDOWN: return TCPE_NETWORK_NOT_READY;
    case EMFILE:
    case ENFILE: return TCPE_TOO_MANY_CONVERSATIONS;
    case ENOMEM:
    case ENOBUFS: return TCPE_OUT_OF_MEMORY;
    case EINVAL:
    case EAFNOSUPPORT: return TCPE_INVALID_PARAMETER;
    default: return TCPE_CONNECTION_FAILED;
  }
}

int ResolveErrorCode(int gaiError) {
  switch (gaiError) {
    // A name no server knows: the connection to that server failed, as the operator reads it.
    case EAI_NONAME:
    case EAI_NODATA: return TCPE_CONNECTION_FAILED;
    case EAI_SERVICE:
    case EAI_FAMILY:
    case EAI_ADDRFAMILY: return TCPE_INVALID_PARAMETER;
    case EAI_AGAIN:
    case EAI_FAIL: return TCPE_UNABLE_TO_ESTABLISH_CONNECTION;
    case EAI_MEMORY: return TCPE_OUT_OF_MEMORY;
    case EAI_SYSTEM: return ConnectErrorCode(errno);
    default: return TCPE_CONNECTION_FAILED;
  }
}

// A lookup in progress, shared by the asking thread and the looking one: whoever
// lets go last frees the result and the wake-up descriptor, so a lookup given up
// on can still finish safely.
struct PendingLookup {
  std::mutex mutex;
  bool done = false;
  int gai = 0;
  int err = 0;                 // errno of an EAI_SYSTEM failure
  addrinfo* result = nullptr;
  int wakeFd = -1;             // eventfd, readable once done
  ~PendingLookup() {
    if (result) freeaddrinfo(result);
    if (wakeFd >= 0) close(wakeFd);
  }
};

int LookupErrorCode(int gai, int err) {
  if (gai == EAI_SYSTEM) return ConnectErrorCode(err);
  return ResolveErrorCode(gai);
}

// Resolves serverName before `deadline` (seconds, Now()), serving events while a
// name server is asked. 0 with *list to be freed, or a negative code.
int ResolveHost(const char* serverName, const std::string& service, addrinfo** list, double deadline) {
  // No AI_ADDRCONFIG: on a machine whose only interface is loopback it would
  // hide the addresses of localhost.
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;

  addrinfo numeric = hints;
  numeric.ai_flags |= AI_NUMERICHOST;
  int gai = getaddrinfo(serverName, service.c_str(), &numeric, list);
  if (gai == 0) return 0;
  if (gai != EAI_NONAME) return LookupErrorCode(gai, errno);

  auto pending = std::make_shared<PendingLookup>();
  pending->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (pending->wakeFd < 0) return ConnectErrorCode(errno);
  TcpNameLookup lookup = T().lookup ? T().lookup : getaddrinfo;
  try {
    std::thread([pending, lookup, name = std::string(serverName), service, hints] {
      addrinfo* result = nullptr;
      int g = lookup(name.c_str(), service.c_str(), &hints, &result);
      int err = errno;
      std::lock_guard<std::mutex> lock(pending->mutex);
      pending->gai = g;
      pending->err = err;
      pending->result = g == 0 ? result : nullptr;
      pending->done = true;
      std::uint64_t one = 1;
      [[maybe_unused]] ssize_t n = write(pending->wakeFd, &one, sizeof one);
    }).detach();
  } catch (const std::system_error&) {
    return TCPE_TOO_MANY_CONVERSATIONS;  // no thread to be had
  }

  for (;;) {
    {
      std::lock_guard<std::mutex> lock(pending->mutex);
      if (pending->done) {
        if (pending->gai != 0) return LookupErrorCode(pending->gai, pending->err);
        *list = pending->result;
        pending->result = nullptr;
        return 0;
      }
    }
    double left = deadline - Now();
    if (left <= 0 || QuitRequested()) return TCPE_TIMEOUT;
    ProcessSystemEvents();
    WaitForEvents(Timer() + left, pending->wakeFd);
  }
}

// Non-blocking connect to one address, bounded by `deadline`; the socket or a
// negative code.
int ConnectOne(const addrinfo* ai, double deadline) {
  int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
  if (fd < 0) return ConnectErrorCode(errno);
  int err = 0;
  if (connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
    err = errno;
    if (err == EINPROGRESS || err == EINTR) {
      if (WaitReady(fd, POLLOUT, deadline) == 0) {
        close(fd);
        return TCPE_TIMEOUT;
      }
      socklen_t len = sizeof err;
      if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    }
  }
  if (err != 0) {
    close(fd);
    return ConnectErrorCode(err);
  }
  int one = 1;
  if (setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0) {
    close(fd);
    return TCPE_GENERAL_IO;
  }
  return fd;
}

// Tears a connection down: no more events, socket closed, handle dead.
void Release(unsigned handle) {
  TcpConnection* c = Find(handle);
  if (!c) return;
  UnwatchFd(c->watchId);
  close(c->fd);
  T().connections.erase(handle);
}

int WaitingBytes(int fd) {
  int n = 0;
  return ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}

// Whether the server has sent its FIN or the connection broke. The runtime's
// mask says hang-up too, but a fresh look also covers a FIN that arrived
// while a callback was reading.
bool PeerGone(int fd, int readyMask) {
  if (readyMask & WATCH_HANGUP) return true;
  pollfd pfd{fd, POLLRDHUP, 0};
  return poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

// Watch callback, during dispatch. Waiting bytes are offered first; the
// disconnect follows once nothing is left, or when the callback takes none of
// what the closed connection still holds (nobody will read it, and a
// readable socket that is never drained would wake every wait at once).
void OnSocketReady(int fd, int readyMask, void* data) {
  unsigned handle = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(data));
  TcpConnection* c = Find(handle);
  if (!c) return;
  // Readable without a hang-up: the dispatch has just seen bytes waiting (it looks again
  // when an earlier callback of the same pass may have taken them), so they are offered
  // without asking how many. An exchange pays for every system call on its way.
  if ((readyMask & WATCH_READ) && !(readyMask & WATCH_HANGUP)) {
    c->callback(handle, TCP_DATAREADY, 0, c->callbackData);
    return;
  }
  int waiting = WaitingBytes(fd);
  if (waiting > 0) {
    TcpCallbackPtr cb = c->callback;
    cb(handle, TCP_DATAREADY, 0, c->callbackData);
    c = Find(handle);  // the callback may have disconnected
    // After data the dispatch's own mask decides: a FIN that came during the read is seen at the
    // next dispatch, and the common case costs no further system call.
    if (!c || !(readyMask & WATCH_HANGUP) || WaitingBytes(fd) < waiting) return;
  } else if (!PeerGone(fd, readyMask)) {
    return;  // readiness already consumed by a read elsewhere
  }
  int err = 0;
  socklen_t len = sizeof err;
  getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
  int errCode = err == 0 ? 0 : (err == ECONNRESET || err == EPIPE ? TCPE_CONNECTION_CLOSED : TCPE_READ_FAILED);
  TcpCallbackPtr cb = c->callback;
  void* cbData = c->callbackData;
  Release(handle);  // before the callback, which may connect again
  cb(handle, TCP_DISCONNECT, errCode, cbData);
}

}  // namespace

int ConnectToTCPServer(unsigned* handle, int portNumber, const char* serverName, TcpCallbackPtr callback,
                       void* callbackData, int timeoutMs) {
  if (!handle || !serverName || !*serverName || !callback || portNumber < 1 || portNumber > 65535) {
    return TCPE_INVALID_PARAMETER;
  }
  if (timeoutMs <= 0) timeoutMs = TCP_DEFAULT_CONNECT_TIMEOUT_MS;
  double deadline = Now() + timeoutMs / 1000.0;

  addrinfo* list = nullptr;
  int resolved = ResolveHost(serverName, std::to_string(portNumber), &list, deadline);
  if (resolved < 0) return resolved;

  int result = TCPE_CONNECTION_FAILED;
  for (const addrinfo* ai = list; ai; ai = ai->ai_next) {
    result = ConnectOne(ai, deadline);
    if (result >= 0 || result == TCPE_TIMEOUT) break;
  }
  freeaddrinfo(list);
  if (result < 0) return result;

  int fd = result;
  unsigned h = T().nextHandle++;
  if (T().nextHandle == 0) T().nextHandle = 1;
  int watchId = WatchFd(fd, WATCH_READ | WATCH_HANGUP, OnSocketReady,
                        reinterpret_cast<void*>(static_cast<std::uintptr_t>(h)));
  if (watchId <= 0) {
    close(fd);
    return TCPE_GENERAL_IO;
  }
  T().connections[h] = TcpConnection{fd, watchId, callback, callbackData};
  *handle = h;
  return 0;
}

void SetTcpNameLookup(TcpNameLookup lookup) { T().lookup = lookup; }

int DisconnectFromTCPServer(unsigned handle) {
  if (!Find(handle)) return TCPE_NO_CONNECTION_ESTABLISHED;
  Release(handle);
  return 0;
}

int ClientTCPWrite(unsigned handle, const void* data, int size, int timeoutMs) {
  TcpConnection* c = Find(handle);
  if (!c) return TCPE_NO_CONNECTION_ESTABLISHED;
  if (size < 0 || (size > 0 && !data)) return TCPE_INVALID_PARAMETER;
  const char* src = static_cast<const char*>(data);
  double deadline = -1;  // taken at the first wait: a write that goes through reads no clock
  int sent = 0;
  while (sent < size) {
    // MSG_NOSIGNAL: a closed connection gives EPIPE, not a SIGPIPE that ends the program.
    ssize_t n = send(c->fd, src + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      if (sent > 0) return sent;
      return (errno == EPIPE || errno == ECONNRESET) ? TCPE_CONNECTION_CLOSED : TCPE_WRITE_FAILED;
    }
    if (deadline < 0) deadline = Now() + (timeoutMs > 0 ? timeoutMs / 1000.0 : 0.0);
    if (WaitReady(c->fd, POLLOUT, deadline) == 0) return sent > 0 ? sent : TCPE_TIMEOUT;
  }
  return sent;
}

int ClientTCPRead(unsigned handle, void* buffer, int size, int timeoutMs) {
  TcpConnection* c = Find(handle);
  if (!c) return TCPE_NO_CONNECTION_ESTABLISHED;
  if (size < 0 || (size > 0 && !buffer)) return TCPE_INVALID_PARAMETER;
  if (size == 0) return 0;
  double deadline = -1;  // taken at the first wait, as for writes
  for (;;) {
    ssize_t n = recv(c->fd, buffer, size, MSG_DONTWAIT);
    if (n > 0) return static_cast<int>(n);
    if (n == 0) return TCPE_CONNECTION_CLOSED;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return (errno == ECONNRESET || errno == EPIPE) ? TCPE_CONNECTION_CLOSED : TCPE_READ_FAILED;
    // No time to wait: the empty socket is the answer, without a poll() that could only say so again.
    if (timeoutMs <= 0) return TCPE_TIMEOUT;
    if (deadline < 0) deadline = Now() + timeoutMs / 1000.0;
    if (WaitReady(c->fd, POLLIN, deadline) == 0) return TCPE_TIMEOUT;
  }
}
