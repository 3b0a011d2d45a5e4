// Event dispatch, descriptor watches, the wait, the clock and the popups.
//
// One user-interface thread runs everything. Operator input and program work
// arrive in a queue (any thread may post; an eventfd wakes a blocked wait).
// ProcessSystemEvents pumps the face, services the descriptor watches and runs
// what was queued; callbacks may call it again, so dispatch nests.
#include <fcntl.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>

#include "ui/face.h"
#include "ui/model.h"
#include "ui/runtime_internal.h"

namespace ui {
namespace {

struct Watch {
  int id;              // watch id given to the caller
  int fd;              // watched descriptor
  int mask;            // WATCH_READ | WATCH_HANGUP
  FdCallbackPtr callback;
  void* callbackData;
  bool alive;
};

struct QueuedWork {
  std::function<void()> work;  // runs on the user-interface thread
  bool operatorInput;          // dropped while a popup is shown
};

struct DispatchState {
  std::mutex queueMutex;                 // guards `queue`
  std::deque<QueuedWork> queue;          // posted work, oldest first
  std::atomic<int> queued{0};            // size of `queue`, readable without the lock
  int wakeFd = -1;                       // eventfd written on every post
  std::vector<Watch> watches;            // descriptor watches, in creation order
  std::vector<pollfd> pollSet;           // pollfds of the live watches, rebuilt on change
  std::vector<int> pollOwners;           // index into `watches` per pollSet entry
  std::vector<pollfd> waitSet;           // scratch of WaitForEvents, kept to avoid an allocation per wait
  bool pollSetDirty = true;              // watches changed since pollSet was built
  int nextWatchId = 1;
  int depth = 0;                         // nesting of ProcessSystemEvents
  int popupDepth = 0;                    // popups the face is showing
  bool quitRequested = false;
  int quitCode = 0;
  std::thread::id uiThread = std::this_thread::get_id();
  // clock
  bool testClock = false;                // Timer() returns testNow
  double testNow = 0;                    // seconds
  double testRealWait = 0.1;             // real seconds a test-clock wait may block
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // termination signals
  int signalPipe[2] = {-1, -1};
  void (*terminationHandler)(int) = nullptr;
  void (*inputDone)() = nullptr;         // SetInputDoneCallback
};

DispatchState& D() {
  static DispatchState state;
  return state;
}

constexpr int kMaxDispatchDepth = 48;  // deeper nesting only services the watches

int WakeFd() {
  DispatchState& d = D();
  if (d.wakeFd < 0) d.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  return d.wakeFd;
}

void DrainWake() {
  std::uint64_t v;
  if (D().wakeFd >= 0) {
    while (read(D().wakeFd, &v, sizeof v) == static_cast<ssize_t>(sizeof v)) {
    }
  }
}

short PollEvents(int watchMask) {
  short events = 0;
  if (watchMask & WATCH_READ) events |= POLLIN;
  if (watchMask & WATCH_HANGUP) events |= POLLRDHUP;
  return events;
}

// WATCH_ bits of a poll() result for a watch of `watchMask`; a hang-up is always told.
int ReadyMask(short revents, int watchMask) {
  int mask = 0;
  if (revents & POLLIN) mask |= WATCH_READ;
  if (revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL)) mask |= WATCH_HANGUP;
  return mask & (watchMask | WATCH_HANGUP);
}

const Watch* FindWatch(int id) {
  for (const Watch& w : D().watches) {
    if (w.id == id && w.alive) return &w;
  }
  return nullptr;
}

void RebuildPollSet() {
  DispatchState& d = D();
  d.watches.erase(std::remove_if(d.watches.begin(), d.watches.end(), [](const Watch& w) { return !w.alive; }),
                  d.watches.end());
  d.pollSet.clear();
  d.pollOwners.clear();
  for (std::size_t i = 0; i < d.watches.size(); ++i) {
    const Watch& w = d.watches[i];
    d.pollSet.push_back(pollfd{w.fd, PollEvents(w.mask), 0});
    d.pollOwners.push_back(static_cast<int>(i));
  }
  d.pollSetDirty = false;
}

// Polls the watches without waiting and runs the callbacks of the ready ones.
void ServiceWatches() {
  DispatchState& d = D();
  if (d.pollSetDirty) RebuildPollSet();
  if (d.pollSet.empty()) return;
  int n = poll(d.pollSet.data(), d.pollSet.size(), 0);
  if (n <= 0) return;
  // Copy the ready set first: callbacks may add or remove watches.
  struct Ready {
    int id, fd, mask;
    FdCallbackPtr cb;
    void* data;
  };
  Ready ready[64];
  int count = 0;
  for (std::size_t i = 0; i < d.pollSet.size() && count < 64; ++i) {
    short re = d.pollSet[i].revents;
    if (!re) continue;
    const Watch& w = d.watches[d.pollOwners[i]];
    int mask = ReadyMask(re, w.mask);
    if (mask) ready[count++] = Ready{w.id, w.fd, mask, w.callback, w.callbackData};
  }
  bool calledBack = false;
  for (int i = 0; i < count; ++i) {
    // Skip a watch that an earlier callback removed.
    const Watch* w = FindWatch(ready[i].id);
    if (!w || !ready[i].cb) continue;
    // An earlier callback may have read this descriptor (through a nested dispatch or an
    // exchange of its own): its readiness is looked at again, so that a callback is told of
    // bytes only while they are there. The first callback of a pass needs no second look.
    if (calledBack) {
      pollfd again{ready[i].fd, PollEvents(w->mask), 0};
      if (poll(&again, 1, 0) <= 0) continue;
      ready[i].mask = ReadyMask(again.revents, w->mask);
      if (!ready[i].mask) continue;
    }
    ready[i].cb(ready[i].fd, ready[i].mask, ready[i].data);
    calledBack = true;
  }
}

void RunQueued() {
  DispatchState& d = D();
  int budget = d.queued.load();  // what is pending now; work posted meanwhile waits for the next call
  while (budget-- > 0) {
    QueuedWork item;
    {
      std::lock_guard<std::mutex> lock(d.queueMutex);
      if (d.queue.empty()) break;
      item = std::move(d.queue.front());
      d.queue.pop_front();
      d.queued = static_cast<int>(d.queue.size());
    }
    if (item.operatorInput && d.popupDepth > 0) continue;
    if (item.work) item.work();
    if (item.operatorInput && d.inputDone) d.inputDone();
  }
}

void OnSignal(int sig) {
  int saved = errno;
  unsigned char b = static_cast<unsigned char>(sig);
  if (D().signalPipe[1] >= 0) {
    ssize_t ignored = write(D().signalPipe[1], &b, 1);
    (void)ignored;
  }
  errno = saved;
}

void SignalReadable(int fd, int, void*) {
  unsigned char b = 0;
  while (read(fd, &b, 1) == 1) {
    if (D().terminationHandler) D().terminationHandler(b);
  }
}

// Popup calls go through here so that operator input queued meanwhile is dropped.
struct PopupScope {
  PopupScope() { ++D().popupDepth; }
  ~PopupScope() { --D().popupDepth; }
};

}  // namespace

void PostWork(std::function<void()> work, bool operatorInput) {
  DispatchState& d = D();
  {
    std::lock_guard<std::mutex> lock(d.queueMutex);
    d.queue.push_back(QueuedWork{std::move(work), operatorInput});
    d.queued = static_cast<int>(d.queue.size());
  }
  std::uint64_t one = 1;
  ssize_t ignored = write(WakeFd(), &one, sizeof one);
  (void)ignored;
}

bool OnUiThread() { return std::this_thread::get_id() == D().uiThread; }
int PopupDepth() { return D().popupDepth; }

void ResetDispatch() {
  DispatchState& d = D();
  {
    std::lock_guard<std::mutex> lock(d.queueMutex);
    d.queue.clear();
    d.queued = 0;
  }
  DrainWake();
  d.watches.clear();
  d.pollSetDirty = true;
  d.quitRequested = false;
  d.quitCode = 0;
  d.popupDepth = 0;
  d.uiThread = std::this_thread::get_id();
  d.testClock = false;
  d.inputDone = nullptr;
}

bool TestClockActive() { return D().testClock; }
void SetTestClockState(bool active, double now, double realWait) {
  D().testClock = active;
  D().testNow = now;
  D().testRealWait = realWait;
}
double TestClockRealWait() { return D().testRealWait; }
void MoveTestClock(double now) { D().testNow = std::max(D().testNow, now); }

// [SECTION] Operability

namespace {
bool PanelShown(const Panel* p) {
  for (int guard = 0; p && guard < 64; ++guard) {
    if (p->tabOwner) {
      const Control* tab = FindControl(p->parent, p->tabOwner);
      if (!tab || !tab->visible || tab->activePage != p->tabIndex) return false;
      if (p->tabIndex < 0 || p->tabIndex >= static_cast<int>(tab->pages.size())) return false;
      if (!tab->pages[p->tabIndex].visible) return false;
    } else if (!p->visible) {
      return false;
    }
    if (p->parent == 0) return true;
    p = FindPanel(p->parent);
  }
  return false;
}

bool InsideTopPopup(const Panel* p) {
  const Model& m = TheModel();
  if (m.popupStack.empty()) return true;
  int top = m.popupStack.back();
  for (int guard = 0; p && guard < 64; ++guard) {
    if (p->handle == top) return true;
    p = p->parent ? FindPanel(p->parent) : nullptr;
  }
  return false;
}
}  // namespace

bool PanelOperable(int panel) {
  const Panel* p = FindPanel(panel);
  return p && PanelShown(p) && InsideTopPopup(p);
}

bool CtrlVisibleOnScreen(int panel, int control) {
  const Control* c = FindControl(panel, control);
  return c && c->visible && PanelShown(FindPanel(panel));
}

bool CtrlOperable(int panel, int control) {
  const Control* c = FindControl(panel, control);
  return c && c->visible && !c->dimmed && PanelOperable(panel);
}

}  // namespace ui

using namespace ui;

// [SECTION] Event loop

bool EventsPending() { return D().queued.load() > 0; }
bool QuitRequested() { return D().quitRequested; }

int ProcessSystemEvents() {
  DispatchState& d = D();
  if (d.depth >= kMaxDispatchDepth) {
    ServiceWatches();
    return 0;
  }
  ++d.depth;
  CurrentFace().PumpPlatformEvents();
  ServiceWatches();
  if (d.queued.load() > 0) {
    DrainWake();
    RunQueued();
  }
  --d.depth;
  return 0;
}

void WaitForEvents(double untilTime) { WaitForEvents(untilTime, -1); }

void WaitForEvents(double untilTime, int extraFd) {
  DispatchState& d = D();
  if (d.queued.load() > 0) return;
  RunWaitHook(untilTime);
  if (d.queued.load() > 0 || (d.testClock && Timer() >= untilTime)) return;
  if (d.pollSetDirty) RebuildPollSet();
  std::vector<pollfd>& fds = d.waitSet;
  fds.assign(d.pollSet.begin(), d.pollSet.end());
  fds.push_back(pollfd{WakeFd(), POLLIN, 0});
  if (extraFd >= 0) fds.push_back(pollfd{extraFd, POLLIN, 0});
  CurrentFace().AddWaitDescriptors(fds);
  double bound;
  if (d.testClock) {
    // Long waits cost at most testRealWait of real time; short ones (bytes still coming
    // in on a serial line) take their own length, so the far end can keep sending.
    bound = std::clamp(untilTime - Timer(), 0.0, d.testRealWait);
  } else {
    bound = std::clamp(untilTime - Timer(), 0.0, 0.010);
  }
  timespec ts;
  ts.tv_sec = static_cast<time_t>(bound);
  ts.tv_nsec = static_cast<long>((bound - static_cast<double>(ts.tv_sec)) * 1e9);
  int n = ppoll(fds.data(), fds.size(), &ts, nullptr);
  if (n > 0) CurrentFace().WaitReturned(fds);
  if (d.testClock && n == 0 && d.queued.load() == 0) MoveTestClock(untilTime);
}

int RunUserInterface() {
  DispatchState& d = D();
  d.uiThread = std::this_thread::get_id();
  // A quit asked for before the loop started (a signal during start-up) ends it at once.
  while (!d.quitRequested) {
    ProcessSystemEvents();
    if (d.quitRequested) break;
    if (!EventsPending()) RunIdle();
  }
  d.quitRequested = false;
  return d.quitCode;
}

int QuitUserInterface(int code) {
  D().quitRequested = true;
  D().quitCode = code;
  std::uint64_t one = 1;
  ssize_t ignored = write(WakeFd(), &one, sizeof one);
  (void)ignored;
  return 0;
}

// [SECTION] Descriptor watches

int WatchFd(int fd, int mask, FdCallbackPtr callback, void* callbackData) {
  if (fd < 0 || !callback) return -1;
  DispatchState& d = D();
  Watch w{d.nextWatchId++, fd, mask, callback, callbackData, true};
  d.watches.push_back(w);
  d.pollSetDirty = true;
  return w.id;
}

int UnwatchFd(int watchId) {
  DispatchState& d = D();
  for (auto& w : d.watches) {
    if (w.id == watchId && w.alive) {
      w.alive = false;
      d.pollSetDirty = true;
      return 0;
    }
  }
  return -1;
}

void PostDeferredCall(void (*function)(void* data), void* data) {
  if (function) PostWork([function, data] { function(data); }, false);
}

void SetInputDoneCallback(void (*callback)()) { D().inputDone = callback; }

void InstallTerminationHandler(void (*handler)(int signalNumber)) {
  DispatchState& d = D();
  d.terminationHandler = handler;
  if (d.signalPipe[0] < 0) {
    if (pipe2(d.signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
  }
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  WatchFd(d.signalPipe[0], WATCH_READ, SignalReadable, nullptr);
}

// [SECTION] Clock

double Timer() {
  DispatchState& d = D();
  if (d.testClock) return d.testNow;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - d.start).count();
}

// [SECTION] Popups

int MessagePopup(const char* title, const char* message) {
  PopupScope scope;
  CurrentFace().MessagePopup(title ? title : "", message ? message : "");
  return 0;
}

int ConfirmPopup(const char* title, const char* message) {
  PopupScope scope;
  return CurrentFace().ConfirmPopup(title ? title : "", message ? message : "") == 1 ? 1 : 0;
}

int ConfirmPopupNoDefault(const char* title, const char* message) {
  PopupScope scope;
  return CurrentFace().ConfirmPopupNoDefault(title ? title : "", message ? message : "") == 1 ? 1 : 0;
}

int PromptPopup(const char* title, const char* message, std::string* response, int maxLength) {
  PopupScope scope;
  std::string text;
  int r = CurrentFace().PromptPopup(title ? title : "", message ? message : "", &text, maxLength);
  if (r < 0) return VAL_USER_CANCEL;
  if (maxLength > 0 && static_cast<int>(text.size()) > maxLength) text.resize(maxLength);
  if (response) *response = text;
  return 0;
}

int FileSelectPopup(const char* directory, const char* defaultName, const char* filter, const char* title,
                    int buttonKind, int allowMakeDirectory, std::string* path) {
  PopupScope scope;
  FileSelectRequest req;
  req.directory = directory ? directory : "";
  req.defaultName = defaultName ? defaultName : "";
  req.filter = filter ? filter : "";
  req.title = title ? title : "";
  req.buttonKind = buttonKind;
  req.allowMakeDirectory = allowMakeDirectory;
  std::string chosen;
  int r = CurrentFace().FileSelectPopup(req, &chosen);
  if (r != VAL_EXISTING_FILE_SELECTED && r != VAL_NEW_FILE_SELECTED) r = VAL_NO_FILE_SELECTED;
  if (path) *path = r == VAL_NO_FILE_SELECTED ? std::string() : chosen;
  return r;
}
