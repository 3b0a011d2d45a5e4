// The sensor simulator as an object that serves on its own thread, either as
// a TCP server or on a pseudo-terminal. Tests run it in-process and talk to
// it byte for byte as the program would; the executable chromik4-sensor-sim
// wraps it for demos.
//
// TCP: one client at a time; when it disconnects the next one is accepted.
// Every answer goes out in one write with TCP_NODELAY.
// Pseudo-terminal: raw mode; the program may close and reopen the slave at
// any time (while it is closed the master reads EIO; the simulator waits).
// With the baud check on (the default on a pseudo-terminal) bytes that arrive
// while the slave's speed differs from the simulator's baud rate are garbage
// and get no answer, as on a real line.
// Wire timing: each answer is held back by the time its order and its own
// bytes take on a serial line at the current baud rate (10 bits per byte).
// Adapter latency (pseudo-terminal): the sensor sits behind a USB adapter whose
// latency timer holds a frame shorter than its 62-byte packet until the timer's
// milliseconds have passed since the frame's first byte came in; the simulator
// hands over a frame's bytes together, so the frame goes out that much later
// than it would have (after its line time with wire timing). The simulator keeps a
// fake sysfs tree with the adapter's latency_timer attribute for its slave
// (<tree>/class/tty/<name>/device/latency_timer); while that reads 1, because the
// program lowered it, nothing is held.
//
// All public members may be called from any thread while the simulator serves.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/faults.h"
#include "sim/frame_reader.h"
#include "sim/sensor_core.h"

namespace sim {

enum class Transport { Tcp, Pty };

struct SimConfig {
  Transport transport = Transport::Tcp;         // TCP server or pseudo-terminal
  std::string address = "127.0.0.1";            // TCP: address to listen on
  std::uint16_t port = 10001;                   // TCP: port; 0 = any free port (see Port())
  std::string idText = DEFAULT_ID_TEXT;         // answer of order 7
  bool idZeroByte = false;                      // order 7 appends a zero byte to the text
  std::size_t measuredWords = MEASURED_WORDS;   // words per measured-value record (>= 23)
  int baudIndex = 4;                            // initial baud-rate index
  bool wireTiming = false;                      // hold answers back by their serial line time
  int baudCheck = -1;                           // -1 = on for a pseudo-terminal only, 0 = off, 1 = on
  std::uint32_t seed = 1;                       // noise of the target and the split-write pieces
  TargetConfig target;                          // the simulated target
  std::vector<FaultRule> faults;                // faults in force from the start
  std::size_t logLimit = 10000;                 // orders kept in the log (oldest dropped first)
  bool verbose = false;                         // one line per order on stderr
  double triggerRate = 20.0;                    // trigger events per second after order 30 with 1
  int adapterLatency = 0;                       // pseudo-terminal: the adapter's latency timer in ms, 0 = none
  std::string adapterTree;                      // where the fake sysfs tree goes; empty = a temporary folder
};

// One received frame, as the log keeps it.
struct OrderRecord {
  FrameCheck check = FrameCheck::Ok;  // what the checks found
  std::uint8_t order = 0;             // order number
  std::uint16_t param = 0;            // order parameter
  std::uint16_t length = 0;           // announced data length
  std::vector<std::uint8_t> data;     // data bytes
  std::vector<std::uint8_t> raw;      // every byte as received
  std::string fault;                  // the fault rule applied to the answer ("" = none)
  double time = 0;                    // seconds since Start()
};

class SensorSim {
 public:
  explicit SensorSim(SimConfig config = {});
  ~SensorSim();
  SensorSim(const SensorSim&) = delete;
  SensorSim& operator=(const SensorSim&) = delete;

  // Opens the transport and starts serving; false with a reason on failure.
  // A simulator starts once.
  bool Start(std::string* error = nullptr);
  // Ends serving and closes everything; also done by the destructor.
  void Stop();

  std::uint16_t Port() const { return port_; }              // TCP port listened on
  const std::string& SlavePath() const { return slavePath_; }  // pseudo-terminal slave, e.g. /dev/pts/3
  // Root of the fake sysfs tree with the adapter's latency_timer; empty without adapter latency.
  const std::string& AdapterTree() const { return adapterTree_; }
  // Frames the adapter's timer held back so far.
  std::size_t AdapterHeldFrames() const { return adapterHeld_; }
  int ConnectionCount() const { return connections_; }      // TCP clients accepted so far

  // [SECTION] Order log
  std::vector<OrderRecord> Orders() const;
  // Frames received since the start or the last ClearLog (also those no longer kept).
  std::size_t OrderCount() const;
  // Waits until OrderCount() is at least `count`; false when `bound` ran out first.
  bool WaitForOrders(std::size_t count, std::chrono::milliseconds bound) const;
  void ClearLog();

  // [SECTION] Faults
  void AddFault(const FaultRule& rule);
  void ClearFaults();

  // [SECTION] Held answers
  // The next `count` answers go out as usual; later ones wait until ReleaseAnswers(). A test
  // can so look at the program while it is certain to wait for an answer.
  void HoldAnswersAfter(std::size_t count);
  void ReleaseAnswers();

  // [SECTION] Sensor state
  ParaSet RamSet(int set) const;
  void SetRamSet(int set, const ParaSet& value);
  ParaSet EepromSet(int set) const;
  void SetEepromSet(int set, const ParaSet& value);
  std::string IdText() const;
  void SetIdText(const std::string& text, bool zeroByte = false);
  TargetConfig Target() const;
  void SetTarget(const TargetConfig& target);
  // A fixed colour without noise.
  void SetTargetColour(Rgb colour);
  int BaudIndex() const;
  void SetBaudIndex(int index);
  Calibration CalibrationFactors() const;
  void SetCalibrationFactors(const Calibration& cal);
  void SetTriggerInput(bool in0);
  void SetMeasuredWordCount(std::size_t words);
  void SetWireTiming(bool on);
  // Trigger events per second while order 30 sends, and how many frames a start sends (-1 = any).
  void SetTriggerRate(double eventsPerSecond, int limit = -1);
  // Any other access to the state, under the simulator's lock.
  template <class F>
  auto WithState(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(state_);
  }

 private:
  bool OpenTcp(std::string* error);
  bool OpenPty(std::string* error);
  void Serve();
  void ServeTcp();
  void ServePty();
  // Serves one connection until it ends (true) or the simulator stops (false).
  bool ServeLink(int fd, bool pty);
  bool BaudMatches(int fd);
  // Answers one frame; false when the connection is to be closed.
  bool Respond(int fd, bool pty, const OrderFrame& f, std::chrono::steady_clock::time_point received);
  // One frame of a trigger event (order 30), held like answers; false when it could not go out.
  bool SendTriggeredFrame(int fd);
  bool Deliver(int fd, const AnswerPlan& plan, std::chrono::steady_clock::time_point start);
  // Creates the fake sysfs tree of the adapter; false with a reason on failure.
  bool MakeAdapterTree(std::string* error);
  // Holds a frame of `plan` back as the adapter's latency timer would.
  void AddAdapterLatency(AnswerPlan* plan);
  bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes);
  // Takes one answer from the allowance, waiting while it is used up; false on a stop.
  bool AwaitAnswerAllowance();
  // Sleeps until `t`; false when the simulator stops first.
  bool SleepUntil(std::chrono::steady_clock::time_point t);
  void Log(const OrderFrame& f, const std::string& fault);

  SimConfig config_;                         // as constructed
  mutable std::mutex mutex_;                 // guards everything below down to log_
  mutable std::condition_variable logged_;   // signalled on every new log entry
  SensorState state_;                        // the sensor itself
  FaultSet faults_;                          // faults in force
  bool wireTiming_ = false;                  // answers held back by their line time
  std::deque<OrderRecord> log_;              // the latest orders, at most config_.logLimit
  std::size_t orderCount_ = 0;               // frames received since start or ClearLog
  std::uint64_t splitRng_ = 1;               // piece sizes of split writes (serving thread only)

  std::thread thread_;                       // the serving thread
  std::mutex stopMutex_;                     // with stopCv_: interruptible sleeps
  std::condition_variable stopCv_;           // signalled by Stop()
  std::atomic<bool> stopping_{false};        // Stop() was called
  std::size_t answerAllowance_ = SIZE_MAX;   // answers still free to go out (under stopMutex_)
  bool started_ = false;                     // Start() succeeded
  int wake_[2] = {-1, -1};                   // pipe that wakes the serving thread's poll()
  int listenFd_ = -1;                        // TCP listening socket
  int masterFd_ = -1;                        // pseudo-terminal master
  std::uint16_t port_ = 0;                   // TCP port bound
  std::string slavePath_;                    // pseudo-terminal slave device
  std::string adapterTree_;                  // fake sysfs root with the adapter's timer, empty when none
  std::string adapterTimer_;                 // its latency_timer attribute
  bool removeAdapterTree_ = false;           // the tree is a temporary folder of ours
  std::atomic<std::size_t> adapterHeld_{0};  // frames held back by the adapter's timer
  std::atomic<int> connections_{0};          // TCP clients accepted
  std::chrono::steady_clock::time_point t0_; // Start() time, for OrderRecord::time
};

}  // namespace sim
