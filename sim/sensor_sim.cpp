#include "sim/sensor_sim.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "com232/frame_format.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

// An order whose bytes stop arriving is given up after this long.
constexpr auto kInterByteTimeout = std::chrono::milliseconds(100);
// How often a pseudo-terminal without an open slave is looked at again.
constexpr auto kHangupRetry = std::chrono::milliseconds(10);
// A line with wire timing is watched this long after an answer without sleeping: a sensor's
// receiver takes the next order's bytes as they come, where a wake-up from poll() would add
// tens of microseconds to the order's line time.
constexpr auto kListenAfterAnswer = std::chrono::microseconds(300);
// Sleeps end this long before their deadline and spin the rest.
constexpr auto kSpinBeforeDeadline = std::chrono::microseconds(150);

std::string ErrnoText(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

speed_t SpeedForIndex(int index) {
  switch (BaudRateForIndex(index)) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    default: return B115200;
  }
}

std::chrono::microseconds LineTime(std::size_t bytes, int baudIndex) {
  return std::chrono::microseconds(std::int64_t(bytes) * 10 * 1000000 / BaudRateForIndex(baudIndex));
}

// The data bytes of one USB packet of the common adapters (64 bytes with 2 of status).
constexpr std::size_t kAdapterPacket = 62;

std::size_t PlanBytes(const AnswerPlan& plan) {
  std::size_t n = 0;
  for (const WriteStep& s : plan.steps) n += s.bytes.size();
  return n;
}

}  // namespace

SensorSim::SensorSim(SimConfig config) : config_(std::move(config)) {
  state_.idText = config_.idText;
  state_.idZeroByte = config_.idZeroByte;
  state_.measuredWords = config_.measuredWords;
  state_.baudIndex = config_.baudIndex;
  state_.triggered.rate = config_.triggerRate;
  state_.model = MeasureModel(config_.seed, config_.target);
  for (const FaultRule& r : config_.faults) faults_.Add(r);
  wireTiming_ = config_.wireTiming;
  splitRng_ = 0x2545F4914F6CDD1Dull ^ config_.seed;
  if (config_.baudCheck < 0) config_.baudCheck = config_.transport == Transport::Pty ? 1 : 0;
}

SensorSim::~SensorSim() { Stop(); }

// [SECTION] Start and stop

bool SensorSim::Start(std::string* error) {
  if (started_ || stopping_) {
    if (error) *error = "the simulator was already started";
    return false;
  }
  if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    if (error) *error = ErrnoText("pipe");
    return false;
  }
  bool ok = config_.transport == Transport::Tcp ? OpenTcp(error) : OpenPty(error);
  if (ok && config_.transport == Transport::Pty && config_.adapterLatency > 0) ok = MakeAdapterTree(error);
  if (!ok) return false;
  t0_ = Clock::now();
  started_ = true;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void SensorSim::Stop() {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stopping_ = true;
  }
  stopCv_.notify_all();
  if (wake_[1] >= 0) {
    char c = 1;
    [[maybe_unused]] ssize_t n = write(wake_[1], &c, 1);
  }
  if (thread_.joinable()) thread_.join();
  for (int* fd : {&listenFd_, &masterFd_, &wake_[0], &wake_[1]}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  if (removeAdapterTree_) {
    std::error_code ec;
    std::filesystem::remove_all(adapterTree_, ec);
    removeAdapterTree_ = false;
  }
}

bool SensorSim::MakeAdapterTree(std::string* error) {
  namespace fs = std::filesystem;
  adapterTree_ = config_.adapterTree;
  if (adapterTree_.empty()) {
    char tmpl[] = "/tmp/chromik-adapter-XXXXXX";
    if (!mkdtemp(tmpl)) {
      if (error) *error = ErrnoText("adapter tree");
      return false;
    }
    adapterTree_ = tmpl;
    removeAdapterTree_ = true;
  }
  // The program finds the attribute under the name of the node its device path leads to.
  const fs::path dir = fs::path(adapterTree_) / "class" / "tty" / fs::path(slavePath_).filename() / "device";
  std::error_code ec;
  fs::create_directories(dir, ec);
  adapterTimer_ = (dir / "latency_timer").string();
  std::ofstream(adapterTimer_) << config_.adapterLatency << "\n";
  if (ec || !fs::is_regular_file(adapterTimer_)) {
    if (error) *error = "cannot write " + adapterTimer_;
    return false;
  }
  return true;
}

void SensorSim::AddAdapterLatency(AnswerPlan* plan) {
  if (adapterTimer_.empty() || plan->steps.empty() || PlanBytes(*plan) >= kAdapterPacket) return;
  // The timer is read for every frame: the program may lower it while the simulator serves.
  int ms = -1;
  std::ifstream(adapterTimer_) >> ms;
  if (ms == 1) return;
  if (ms < 0) ms = config_.adapterLatency;  // unreadable: the timer the adapter came with
  plan->steps[0].pauseBefore += std::chrono::milliseconds(ms);
  ++adapterHeld_;
}

bool SensorSim::OpenTcp(std::string* error) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0) {
    if (error) *error = ErrnoText("socket");
    return false;
  }
  int one = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(config_.port);
  if (inet_pton(AF_INET, config_.address.c_str(), &a.sin_addr) != 1) {
    if (error) *error = "not an IPv4 address: " + config_.address;
    return false;
  }
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listenFd_, 4) != 0) {
    if (error) *error = ErrnoText(("listen on " + config_.address + ":" + std::to_string(config_.port)).c_str());
    return false;
  }
  socklen_t len = sizeof a;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
  port_ = ntohs(a.sin_port);
  return true;
}

bool SensorSim::OpenPty(std::string* error) {
  masterFd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (masterFd_ < 0 || grantpt(masterFd_) != 0 || unlockpt(masterFd_) != 0) {
    if (error) *error = ErrnoText("pseudo-terminal");
    return false;
  }
  char name[128];
  if (ptsname_r(masterFd_, name, sizeof name) != 0) {
    if (error) *error = ErrnoText("ptsname");
    return false;
  }
  slavePath_ = name;
  // Termios calls on the master act on the slave: raw 8N1 at the simulator's rate.
  termios t{};
  tcgetattr(masterFd_, &t);
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  cfsetspeed(&t, SpeedForIndex(config_.baudIndex));
  tcsetattr(masterFd_, TCSANOW, &t);
  return true;
}

// [SECTION] Serving

void SensorSim::Serve() {
  prctl(PR_SET_TIMERSLACK, 1UL);  // wire timing needs sleeps that end on time
  if (config_.transport == Transport::Tcp) {
    ServeTcp();
  } else {
    ServePty();
  }
}

void SensorSim::ServeTcp() {
  while (!stopping_) {
    pollfd p[2] = {{listenFd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(p, 2, -1) < 0 && errno != EINTR) return;
    if (stopping_) return;
    if (!(p[0].revents & POLLIN)) continue;
    int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) continue;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ++connections_;
    if (config_.verbose) std::fprintf(stderr, "[sim] client %d connected\n", connections_.load());
    bool more = ServeLink(fd, false);
    close(fd);
    if (config_.verbose) std::fprintf(stderr, "[sim] client disconnected\n");
    if (!more) return;
  }
}

void SensorSim::ServePty() {
  while (ServeLink(masterFd_, true)) {
  }
}

bool SensorSim::BaudMatches(int fd) {
  if (!config_.baudCheck) return true;
  termios t{};
  if (tcgetattr(fd, &t) != 0) return true;
  return cfgetospeed(&t) == SpeedForIndex(BaudIndex());
}

bool SensorSim::ServeLink(int fd, bool pty) {
  FrameReader reader;
  Clock::time_point lastByte = Clock::now();
  std::uint8_t buf[4096];
  bool triggering = false;            // order 30 frames are being paced
  Clock::time_point nextTrigger{};     // time of the next trigger event
  Clock::time_point listenUntil{};     // until then the next order is looked for without sleeping
  bool wire = false;                   // answers held back by their line time
  while (!stopping_) {
    int timeout = -1;
    if (reader.Pending()) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(lastByte + kInterByteTimeout - Clock::now());
      timeout = static_cast<int>(std::max<std::int64_t>(left.count(), 0)) + 1;
    }
    bool due;
    std::chrono::duration<double> period;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      wire = wireTiming_;
      due = TriggeredFrameDue(state_);
      period = std::chrono::duration<double>(TriggerPeriod(state_));
    }
    const auto step = std::chrono::duration_cast<Clock::duration>(period);
    if (due && !triggering) nextTrigger = Clock::now() + step;
    triggering = due;
    if (triggering) {
      const auto now = Clock::now();
      if (now >= nextTrigger) {
        if (!SendTriggeredFrame(fd)) {
          if (stopping_) return false;
          if (!pty) return true;
        }
        // Events that fell due while a frame was held go out back to back, as a sensor's
        // queue would send them; a backlog of more than a second is dropped.
        nextTrigger += step;
        if (nextTrigger + std::chrono::seconds(1) < now) nextTrigger = now + step;
        continue;
      }
      auto left = std::chrono::duration_cast<std::chrono::microseconds>(nextTrigger - now).count();
      const int ms = static_cast<int>((left + 999) / 1000);
      timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    pollfd p[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    const bool listening = !reader.Pending() && Clock::now() < listenUntil;
    int r = poll(p, 2, listening ? 0 : timeout);
    if (stopping_) return false;
    if (r < 0) {
      if (errno == EINTR) continue;
      return true;
    }
    if (r == 0 && listening) {
      sched_yield();
      continue;
    }
    if (r == 0 && reader.Pending()) {
      if (!Respond(fd, pty, reader.TakeIncomplete(), Clock::now())) return true;
      continue;
    }
    if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    ssize_t n = -1;
    bool hangup = true;
    if (p[0].revents & POLLIN) {
      n = read(fd, buf, sizeof buf);
      hangup = n < 0 && errno != EAGAIN && errno != EINTR;
    }
    if (n == 0 || (hangup && !pty)) return true;  // TCP: the client closed or failed
    if (hangup) {
      // The slave is closed (EIO, hang-up): drop what was half received and
      // look again shortly, until the program opens it again.
      reader.Reset();
      if (!SleepUntil(Clock::now() + kHangupRetry)) return false;
      continue;
    }
    if (n < 0) continue;
    const auto now = Clock::now();
    lastByte = now;
    if (pty && !BaudMatches(fd)) {
      reader.Reset();
      OrderFrame garbage;
      garbage.check = FrameCheck::BaudMismatch;
      garbage.raw.assign(buf, buf + n);
      Respond(fd, pty, garbage, now);
      continue;
    }
    reader.Feed(buf, static_cast<std::size_t>(n));
    OrderFrame f;
    while (reader.Next(&f)) {
      if (!Respond(fd, pty, f, now)) return true;
      if (pty && wire) listenUntil = Clock::now() + kListenAfterAnswer;
    }
  }
  return false;
}

bool SensorSim::Respond(int fd, bool pty, const OrderFrame& f, Clock::time_point received) {
  std::vector<std::uint8_t> answer;
  std::vector<std::vector<std::uint8_t>> later;
  FaultRule rule;
  bool faulted = false;
  int baudIndex;
  bool wire;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    baudIndex = state_.baudIndex;  // the answer goes out at the rate in force when the order came
    wire = wireTiming_;
    if (f.check == FrameCheck::Ok) {
      faulted = faults_.Match(f.order, &rule);
      if (faulted && (rule.kind == FaultKind::Status1 || rule.kind == FaultKind::Status2)) {
        answer = BuildStatusAnswer(rule.kind == FaultKind::Status1 ? frame::STATUS_INVALID_ORDER
                                                                   : frame::STATUS_CONTROL_UNIT_ERROR);
      } else {
        Answer a = ExecuteOrder(state_, f.order, f.param, f.data);
        answer = std::move(a.bytes);
        later = std::move(a.later);
        if (a.newBaudIndex >= 0) state_.baudIndex = a.newBaudIndex;
      }
    } else if (f.check != FrameCheck::BaudMismatch) {
      answer = BuildStatusAnswer(frame::STATUS_CONTROL_UNIT_ERROR);
    }
    Log(f, faulted ? FaultRuleText(rule) : std::string());
  }
  if (answer.empty()) return true;
  if (!AwaitAnswerAllowance()) return pty;
  const bool statusFault = faulted && (rule.kind == FaultKind::Status1 || rule.kind == FaultKind::Status2);
  AnswerPlan plan = PlanAnswer(answer, faulted && !statusFault ? &rule : nullptr, splitRng_);
  if (wire && !plan.steps.empty()) plan.steps[0].pauseBefore += LineTime(f.raw.size() + PlanBytes(plan), baudIndex);
  AddAdapterLatency(&plan);
  // A pseudo-terminal cannot be closed on the program: a close fault ends in silence.
  if (!Deliver(fd, plan, received)) return pty;
  if (plan.closeAfter) return pty;
  // Frames the order set off (scope blocks) follow, each in its own write and held like answers.
  for (const auto& frameBytes : later) {
    if (!AwaitAnswerAllowance()) return pty;
    AnswerPlan next = PlanAnswer(frameBytes, nullptr, splitRng_);
    if (wire) next.steps[0].pauseBefore += LineTime(frameBytes.size(), baudIndex);
    AddAdapterLatency(&next);
    if (!Deliver(fd, next, Clock::now())) return pty;
  }
  return true;
}

bool SensorSim::SendTriggeredFrame(int fd) {
  std::vector<std::uint8_t> bytes;
  int baudIndex;
  bool wire;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bytes = NextTriggeredFrame(state_);
    baudIndex = state_.baudIndex;
    wire = wireTiming_;
  }
  if (!AwaitAnswerAllowance()) return false;
  AnswerPlan plan = PlanAnswer(bytes, nullptr, splitRng_);
  if (wire) plan.steps[0].pauseBefore += LineTime(bytes.size(), baudIndex);
  AddAdapterLatency(&plan);
  return Deliver(fd, plan, Clock::now());
}

void SensorSim::SetTriggerRate(double eventsPerSecond, int limit) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.triggered.rate = eventsPerSecond;
  state_.triggered.limit = limit;
}

bool SensorSim::Deliver(int fd, const AnswerPlan& plan, Clock::time_point start) {
  Clock::time_point t = start;
  for (const WriteStep& step : plan.steps) {
    t += step.pauseBefore;
    if (t > Clock::now() && !SleepUntil(t)) return false;
    if (!WriteAll(fd, step.bytes)) return false;
  }
  return true;
}

bool SensorSim::WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = fd == masterFd_ ? write(fd, bytes.data() + done, bytes.size() - done)
                                : send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    // The peer is not reading: wait for room, but not past a stop.
    pollfd p[2] = {{fd, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
    poll(p, 2, 100);
    if (stopping_) return false;
  }
  return true;
}

void SensorSim::HoldAnswersAfter(std::size_t count) {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    answerAllowance_ = count;
  }
  stopCv_.notify_all();  // a held answer may go now
}

void SensorSim::ReleaseAnswers() {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    answerAllowance_ = SIZE_MAX;
  }
  stopCv_.notify_all();
}

bool SensorSim::AwaitAnswerAllowance() {
  std::unique_lock<std::mutex> lock(stopMutex_);
  stopCv_.wait(lock, [this] { return stopping_.load() || answerAllowance_ > 0; });
  if (stopping_) return false;
  if (answerAllowance_ != SIZE_MAX) --answerAllowance_;
  return true;
}

bool SensorSim::SleepUntil(Clock::time_point t) {
  {
    std::unique_lock<std::mutex> lock(stopMutex_);
    if (stopCv_.wait_until(lock, t - kSpinBeforeDeadline, [this] { return stopping_.load(); })) return false;
  }
  // The last stretch is spun: a wake-up from sleep can come late by more
  // than the line time of a few bytes.
  while (Clock::now() < t) {
    if (stopping_) return false;
  }
  return true;
}

}  // namespace sim
