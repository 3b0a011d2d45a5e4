// TCP client connections against a loopback listener held by the test, with
// events dispatched by the headless runtime.
#include "com232/tcp.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <netdb.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "ui/headless.h"
#include "ui/ui.h"

namespace {

double Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// What the callback saw, and how much it takes per data-ready event.
struct Events {
  std::vector<int> types;  // TCP_DATAREADY / TCP_DISCONNECT in order
  std::string received;
  int readLimit = 4096;    // bytes read per data-ready event (0 = leave all unread)
  unsigned handle = 0;
  int disconnectErr = 1;
};

int Record(unsigned handle, int xType, int errCode, void* data) {
  auto* ev = static_cast<Events*>(data);
  ev->types.push_back(xType);
  EXPECT_EQ(handle, ev->handle);
  if (xType == TCP_DATAREADY && ev->readLimit > 0) {
    char buf[4096];
    int n = ClientTCPRead(handle, buf, ev->readLimit, 5000);
    if (n > 0) ev->received.append(buf, n);
  }
  if (xType == TCP_DISCONNECT) ev->disconnectErr = errCode;
  return 0;
}

int Count(const Events& ev, int type) {
  int n = 0;
  for (int t : ev.types) n += (t == type);
  return n;
}

// Lets the runtime dispatch until `pred` holds or `seconds` pass.
template <class Pred>
bool DispatchUntil(Pred pred, double seconds = 2.0) {
  double end = Seconds() + seconds;
  while (!pred()) {
    if (Seconds() > end) return false;
    ProcessSystemEvents();
    WaitForEvents(Timer() + 0.01);
  }
  return true;
}

class TcpLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Reset();
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener_, 0);
    sockaddr_in a = Loopback(0);
    ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener_, 4), 0);
    socklen_t len = sizeof a;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
  void TearDown() override {
    if (ev_.handle) DisconnectFromTCPServer(ev_.handle);
    if (server_ >= 0) close(server_);
    close(listener_);
  }
  static sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
  }
  // Connects through the layer and accepts on the test's side.
  void Connect(const char* host = "127.0.0.1") {
    ASSERT_EQ(ConnectToTCPServer(&ev_.handle, port_, host, Record, &ev_, 5000), 0);
    ASSERT_NE(ev_.handle, 0u);
    pollfd pfd{listener_, POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 2000), 1);
    server_ = accept(listener_, nullptr, nullptr);
    ASSERT_GE(server_, 0);
  }
  void ServerSend(const std::string& bytes) {
    ASSERT_EQ(send(server_, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
  }
  // The client's socket, found as the descriptor whose address is the server's peer.
  int ClientFd() {
    sockaddr_in peer{}, mine{};
    socklen_t len = sizeof peer;
    getpeername(server_, reinterpret_cast<sockaddr*>(&peer), &len);
    for (int fd = 3; fd < 1024; ++fd) {
      len = sizeof mine;
      if (fd == server_ || getsockname(fd, reinterpret_cast<sockaddr*>(&mine), &len) != 0) continue;
      if (mine.sin_family == AF_INET && mine.sin_port == peer.sin_port) return fd;
    }
    return -1;
  }

  int listener_ = -1, server_ = -1, port_ = 0;
  Events ev_;
};

TEST_F(TcpLoopback, DataReachesTheCallbackOnlyWhileEventsAreDispatched) {
  Connect("localhost");
  int fd = ClientFd();
  ASSERT_GE(fd, 0);
  int nodelay = 0;
  socklen_t len = sizeof nodelay;
  ASSERT_EQ(getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &nodelay, &len), 0);
  EXPECT_NE(nodelay, 0);

  ServerSend("U\x07hello");
  pollfd pfd{fd, POLLIN, 0};
  ASSERT_EQ(poll(&pfd, 1, 2000), 1);  // arrived, yet no callback outside dispatch
  EXPECT_TRUE(ev_.types.empty());

  ASSERT_TRUE(DispatchUntil([&] { return ev_.received.size() == 7; }));
  EXPECT_EQ(ev_.received, "U\x07hello");

  // Nothing waiting: dispatching calls nobody.
  size_t calls = ev_.types.size();
  for (int i = 0; i < 5; ++i) ProcessSystemEvents();
  EXPECT_EQ(ev_.types.size(), calls);

  // And the other way.
  ASSERT_EQ(ClientTCPWrite(ev_.handle, "\x55\x08\0\0\0\0\xAA\x76", 8, 2000), 8);
  char buf[16];
  ASSERT_EQ(recv(server_, buf, sizeof buf, 0), 8);
  EXPECT_EQ(std::string(buf, 8), std::string("\x55\x08\0\0\0\0\xAA\x76", 8));
}

TEST_F(TcpLoopback, BytesLeftUnreadAreOfferedAgain) {
  Connect();
  // A callback whose buffer is full takes nothing; the bytes stay offered
  // and a live connection is not taken for a closed one.
  ev_.readLimit = 0;
  ServerSend("0123456789");
  ASSERT_TRUE(DispatchUntil([&] { return Count(ev_, TCP_DATAREADY) >= 3; }));
  EXPECT_EQ(Count(ev_, TCP_DISCONNECT), 0);

  ev_.readLimit = 3;
  ASSERT_TRUE(DispatchUntil([&] { return ev_.received.size() == 10; }));
  EXPECT_EQ(ev_.received, "0123456789");
  EXPECT_EQ(Count(ev_, TCP_DISCONNECT), 0);
}

TEST_F(TcpLoopback, ServerCloseGivesOneDisconnectAfterTheLastData) {
  Connect();
  ServerSend("last words");
  close(server_);
  server_ = -1;
  ASSERT_TRUE(DispatchUntil([&] { return Count(ev_, TCP_DISCONNECT) == 1; }));
  EXPECT_EQ(ev_.received, "last words");
  EXPECT_EQ(ev_.types.back(), TCP_DISCONNECT);
  EXPECT_EQ(ev_.types.front(), TCP_DATAREADY);
  EXPECT_EQ(ev_.disconnectErr, 0);

  // The handle is dead and the watch gone: no more events, calls refused.
  for (int i = 0; i < 5; ++i) ProcessSystemEvents();
  EXPECT_EQ(Count(ev_, TCP_DISCONNECT), 1);
  char buf[4];
  EXPECT_EQ(ClientTCPRead(ev_.handle, buf, 4, 100), TCPE_NO_CONNECTION_ESTABLISHED);
  EXPECT_EQ(ClientTCPWrite(ev_.handle, buf, 4, 100), TCPE_NO_CONNECTION_ESTABLISHED);
  EXPECT_EQ(DisconnectFromTCPServer(ev_.handle), TCPE_NO_CONNECTION_ESTABLISHED);
  ev_.handle = 0;
}

TEST_F(TcpLoopback, ServerCloseIsReportedEvenWhenTheCallbackStopsReading) {
  Connect();
  ev_.readLimit = 0;  // a full receive buffer: the program takes nothing more
  ServerSend("more than fits");
  close(server_);
  server_ = -1;
  ASSERT_TRUE(DispatchUntil([&] { return Count(ev_, TCP_DISCONNECT) == 1; }, 1.0));
  EXPECT_GE(Count(ev_, TCP_DATAREADY), 1);
  ev_.handle = 0;
}

TEST_F(TcpLoopback, ReadAndWriteLimitsAndAClosedPeer) {
  Connect();
  char buf[8];
  EXPECT_EQ(ClientTCPRead(ev_.handle, buf, 0, 100), 0);
  double t0 = Seconds();
  EXPECT_EQ(ClientTCPRead(ev_.handle, buf, 8, 150), TCPE_TIMEOUT);
  double took = Seconds() - t0;
  EXPECT_GE(took, 0.13);
  EXPECT_LT(took, 1.0);

  // A read takes what is there without waiting for the full size.
  ServerSend("abc");
  EXPECT_EQ(ClientTCPRead(ev_.handle, buf, 8, 2000), 3);

  // Writing to a server that has gone fails with a code instead of SIGPIPE.
  close(server_);
  server_ = -1;
  int result = 0;
  for (int i = 0; i < 50 && result >= 0; ++i) {
    result = ClientTCPWrite(ev_.handle, "12345678", 8, 200);
    usleep(2000);
  }
  EXPECT_EQ(result, TCPE_CONNECTION_CLOSED);
}

TEST_F(TcpLoopback, DisconnectClosesWithoutCallingBack) {
  Connect();
  ASSERT_EQ(DisconnectFromTCPServer(ev_.handle), 0);
  char buf[4];
  EXPECT_EQ(recv(server_, buf, sizeof buf, 0), 0);  // the server sees the close
  for (int i = 0; i < 5; ++i) ProcessSystemEvents();
  EXPECT_TRUE(ev_.types.empty());
  EXPECT_EQ(DisconnectFromTCPServer(ev_.handle), TCPE_NO_CONNECTION_ESTABLISHED);
  ev_.handle = 0;
}

TEST_F(TcpLoopback, RefusedAndInvalidConnectsFailAtOnce) {
  // A port nobody listens on: bound, then released.
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t len = sizeof a;
  getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
  close(probe);

  unsigned h = 77;
  double t0 = Seconds();
  EXPECT_EQ(ConnectToTCPServer(&h, ntohs(a.sin_port), "127.0.0.1", Record, &ev_, 5000), TCPE_FAILED_TO_CONNECT);
  EXPECT_LT(Seconds() - t0, 1.0);
  EXPECT_EQ(h, 77u);  // untouched on failure

  EXPECT_EQ(ConnectToTCPServer(&h, 0, "127.0.0.1", Record, &ev_, 5000), TCPE_INVALID_PARAMETER);
  EXPECT_EQ(ConnectToTCPServer(&h, 65536, "127.0.0.1", Record, &ev_, 5000), TCPE_INVALID_PARAMETER);
  EXPECT_EQ(ConnectToTCPServer(&h, port_, "", Record, &ev_, 5000), TCPE_INVALID_PARAMETER);
  EXPECT_EQ(ConnectToTCPServer(&h, port_, nullptr, Record, &ev_, 5000), TCPE_INVALID_PARAMETER);
}

TEST_F(TcpLoopback, ConnectGivesUpAtItsTimeLimit) {
  // A listener that never accepts: once its backlog is full the kernel drops
  // further SYNs, so a connect neither succeeds nor is refused.
  close(listener_);
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a = Loopback(0);
  ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(listen(listener_, 0), 0);
  socklen_t len = sizeof a;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
  std::vector<int> fillers;
  bool full = false;
  for (int i = 0; i < 8 && !full; ++i) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    pollfd pfd{s, POLLOUT, 0};
    full = poll(&pfd, 1, 100) == 0;
    fillers.push_back(s);
  }
  ASSERT_TRUE(full) << "backlog never filled";

  unsigned h = 0;
  double t0 = Seconds();
  EXPECT_EQ(ConnectToTCPServer(&h, ntohs(a.sin_port), "127.0.0.1", Record, &ev_, 200), TCPE_TIMEOUT);
  double took = Seconds() - t0;
  EXPECT_GE(took, 0.18);
  EXPECT_LT(took, 1.5);
  for (int s : fillers) close(s);
}

// [SECTION] Host-name lookup

// A name server that does not answer until the test lets it go. It outlives every
// test: a lookup given up on still returns on its own thread.
struct SilentNameServer {
  std::mutex mutex;
  std::condition_variable released;
  bool open = false;
  std::atomic<int> asked{0};
} silent;

int NeverAnswers(const char*, const char*, const addrinfo*, addrinfo**) {
  ++silent.asked;
  std::unique_lock<std::mutex> lock(silent.mutex);
  silent.released.wait(lock, [] { return silent.open; });
  return EAI_AGAIN;
}

// Any name is the loopback address.
int ResolvesToLoopback(const char*, const char* service, const addrinfo* hints, addrinfo** result) {
  return getaddrinfo("127.0.0.1", service, hints, result);
}

void CountReadable(int fd, int, void* data) {
  char buf[16];
  [[maybe_unused]] ssize_t n = read(fd, buf, sizeof buf);
  ++*static_cast<int*>(data);
}

TEST_F(TcpLoopback, AnUnansweredLookupEndsAtTheConnectLimitWhileEventsAreServed) {
  // An event is pending when the connect begins; only the connect's own wait can serve it.
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  int served = 0;
  int watch = WatchFd(pipeFds[0], WATCH_READ, CountReadable, &served);
  ASSERT_EQ(write(pipeFds[1], "x", 1), 1);
  SetTcpNameLookup(NeverAnswers);

  unsigned h = 0;
  double t0 = Seconds();
  EXPECT_EQ(ConnectToTCPServer(&h, port_, "sensor.example", Record, &ev_, 300), TCPE_TIMEOUT);
  double took = Seconds() - t0;
  EXPECT_GE(took, 0.28);
  EXPECT_LT(took, 2.0);
  EXPECT_EQ(served, 1);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(silent.asked.load(), 1);

  SetTcpNameLookup(nullptr);
  {
    std::lock_guard<std::mutex> lock(silent.mutex);
    silent.open = true;
  }
  silent.released.notify_all();
  UnwatchFd(watch);
  close(pipeFds[0]);
  close(pipeFds[1]);
  // A numeric address never asks the name server.
  SetTcpNameLookup(NeverAnswers);
  Connect("127.0.0.1");
  SetTcpNameLookup(nullptr);
  EXPECT_EQ(silent.asked.load(), 1);
}

int KnowsNoName(const char*, const char*, const addrinfo*, addrinfo**) { return EAI_NONAME; }

TEST_F(TcpLoopback, ANameNoServerKnowsIsAFailedConnection) {
  SetTcpNameLookup(KnowsNoName);
  unsigned h = 0;
  EXPECT_EQ(ConnectToTCPServer(&h, port_, "no-such-sensor.example", Record, &ev_, 2000), TCPE_CONNECTION_FAILED);
  SetTcpNameLookup(nullptr);
  EXPECT_EQ(h, 0u);
}

TEST_F(TcpLoopback, ANameIsConnectedToTheAddressItResolvesTo) {
  SetTcpNameLookup(ResolvesToLoopback);
  Connect("sensor.example");
  SetTcpNameLookup(nullptr);
  ServerSend("abc");
  EXPECT_TRUE(DispatchUntil([&] { return ev_.received == "abc"; }));
}

}  // namespace
