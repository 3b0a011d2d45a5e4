// The simulator's order log and what tests and the command line set and read of its state,
// all under its mutex.
#include <chrono>
#include <cstdio>
#include <mutex>

#include "sim/frame_reader.h"
#include "sim/sensor_sim.h"

namespace sim {

using Clock = std::chrono::steady_clock;

// [SECTION] Log

void SensorSim::Log(const OrderFrame& f, const std::string& fault) {
  ++orderCount_;
  if (config_.verbose) {
    std::fprintf(stderr, "[sim] order %u p=%u len=%u %s%s%s\n", unsigned(f.order), unsigned(f.param),
                 unsigned(f.length), FrameCheckName(f.check), fault.empty() ? "" : " fault ", fault.c_str());
  }
  if (config_.logLimit > 0) {
    if (log_.size() >= config_.logLimit) log_.pop_front();
    OrderRecord r;
    r.check = f.check;
    r.order = f.order;
    r.param = f.param;
    r.length = f.length;
    r.data = f.data;
    r.raw = f.raw;
    r.fault = fault;
    r.time = std::chrono::duration<double>(Clock::now() - t0_).count();
    log_.push_back(std::move(r));
  }
  logged_.notify_all();
}

std::vector<OrderRecord> SensorSim::Orders() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<OrderRecord>(log_.begin(), log_.end());
}

std::size_t SensorSim::OrderCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return orderCount_;
}

bool SensorSim::WaitForOrders(std::size_t count, std::chrono::milliseconds bound) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return logged_.wait_for(lock, bound, [&] { return orderCount_ >= count; });
}

void SensorSim::ClearLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
  orderCount_ = 0;
}

// [SECTION] State access

void SensorSim::AddFault(const FaultRule& rule) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.Add(rule);
}

void SensorSim::ClearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.Clear();
}

ParaSet SensorSim::RamSet(int set) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.ram[set & 1];
}

void SensorSim::SetRamSet(int set, const ParaSet& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.ram[set & 1] = value;
}

ParaSet SensorSim::EepromSet(int set) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.eeprom[set & 1];
}

void SensorSim::SetEepromSet(int set, const ParaSet& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.eeprom[set & 1] = value;
}

std::string SensorSim::IdText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.idText;
}

void SensorSim::SetIdText(const std::string& text, bool zeroByte) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.idText = text;
  state_.idZeroByte = zeroByte;
}

TargetConfig SensorSim::Target() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.model.Target();
}

void SensorSim::SetTarget(const TargetConfig& target) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.model.SetTarget(target);
}

void SensorSim::SetTargetColour(Rgb colour) {
  TargetConfig t;
  t.colours = {colour};
  t.noise = 0;
  SetTarget(t);
}

int SensorSim::BaudIndex() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.baudIndex;
}

void SensorSim::SetBaudIndex(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.baudIndex = index;
}

Calibration SensorSim::CalibrationFactors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.calibration;
}

void SensorSim::SetCalibrationFactors(const Calibration& cal) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.calibration = cal;
}

void SensorSim::SetTriggerInput(bool in0) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.in0 = in0;
}

void SensorSim::SetMeasuredWordCount(std::size_t words) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.measuredWords = words;
}

void SensorSim::SetWireTiming(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  wireTiming_ = on;
}

}  // namespace sim
