// The simulated sensor's white calibration, offset compensation and hardware words.
//
// The self-calibration averages the raw values of 16 measurements of what the
// sensor sees (the operator puts a white target in front of it) and computes
// factor = set value * 1024 / average per channel, at most 4096.
#include <algorithm>

#include "com232/frame_format.h"
#include "sim/sensor_core.h"

namespace sim {
namespace {

constexpr std::uint16_t kFactorMax = 4096;
constexpr std::uint16_t kFactorDefault = 1024;
constexpr std::uint16_t kOffsetMax = 1023;
constexpr int kSelfCalibrationFrames = 16;

Answer Reply(std::uint8_t order, std::uint16_t status, const std::uint16_t* words = nullptr, std::size_t count = 0) {
  std::vector<std::uint8_t> bytes(count * 2);
  if (count) PutWords(bytes.data(), words, count);
  return Answer{BuildAnswer(order, status, bytes.data(), bytes.size()), -1};
}

Answer Invalid() { return Answer{BuildStatusAnswer(frame::STATUS_INVALID_ORDER), -1}; }

Answer WriteCalibration(SensorState& s, std::uint16_t param, const std::vector<std::uint8_t>& data) {
  if (param > 1 || data.size() != 6) return Invalid();
  std::uint16_t words[3];
  GetWords(words, data.data(), 3);
  auto& target = param == 0 ? s.calibration.factor : s.calibration.offset;
  const std::uint16_t max = param == 0 ? kFactorMax : kOffsetMax;
  const std::uint16_t def = param == 0 ? kFactorDefault : 0;
  std::uint16_t replaced = 0;
  for (int k = 0; k < 3; ++k) {
    if (words[k] > max) {
      words[k] = def;
      ++replaced;
    }
    target[k] = words[k];
  }
  return Reply(frame::ORDER_WRITE_CALIBRATION, replaced);
}

Answer SelfCalibration(SensorState& s) {
  long sums[3] = {0, 0, 0};
  for (int i = 0; i < kSelfCalibrationFrames; ++i) {
    const std::vector<std::uint16_t> r = s.model.NextRecord(ActiveSet(s), s.calibration, s.in0);
    for (int k = 0; k < 3; ++k) sums[k] += r[MV_RAW_RED + k];
  }
  std::uint16_t words[5];
  for (int k = 0; k < 3; ++k) {
    const long average = std::max(1L, sums[k] / kSelfCalibrationFrames);
    words[k] = static_cast<std::uint16_t>(std::min<long>(long(s.selfSetValue) * 1024 / average, kFactorMax));
  }
  words[3] = s.selfSetValue;
  words[4] = s.selfMaxDelta;
  return Reply(frame::ORDER_SELF_CALIBRATION, 0, words, 5);
}

}  // namespace

std::array<std::uint16_t, 256> StartupHardwareWords() {
  std::array<std::uint16_t, 256> w{};
  std::uint32_t x = 0x4C7E1234u;  // a fixed pattern, the same on every start
  for (auto& word : w) {
    x = x * 1103515245u + 12345u;
    word = static_cast<std::uint16_t>(x >> 16);
  }
  w[0] = 0x0412;  // board revision and the like: readable at the start of the block
  w[1] = 0x0001;
  return w;
}

Answer CalibrationOrder(SensorState& s, std::uint8_t order, std::uint16_t param, const std::vector<std::uint8_t>& data) {
  switch (order) {
    case frame::ORDER_OFFSET_COMPENSATION:
      if (param != 1 || !data.empty()) return Invalid();
      s.calibration.offset = s.calibration.dark;
      return Reply(frame::ORDER_OFFSET_COMPENSATION, 0);
    case frame::ORDER_WRITE_CALIBRATION:
      return WriteCalibration(s, param, data);
    case frame::ORDER_READ_CALIBRATION: {
      const Calibration& c = s.calibration;
      const std::uint16_t words[6] = {c.factor[0], c.factor[1], c.factor[2], c.offset[0], c.offset[1], c.offset[2]};
      return Reply(frame::ORDER_READ_CALIBRATION, 0, words, 6);
    }
    case frame::ORDER_SELF_CALIBRATION:
      return SelfCalibration(s);
    case frame::ORDER_HARDWARE_DATA:
      if (param != frame::HARDWARE_DATA_KEY) return Invalid();
      return Reply(frame::ORDER_HARDWARE_DATA, 0, s.hardware.data(), s.hardware.size());
    default:
      return Invalid();
  }
}

}  // namespace sim
