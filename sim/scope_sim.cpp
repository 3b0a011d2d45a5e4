// The simulated sensor's cycle-time counts and scope captures.
//
// A capture is 128 samples taken every SCAN RATE measurements. The sensor
// writes them into a circular buffer of 128 words: in the triggered modes the
// trigger sample lands at the start index and the pre-trigger samples before
// it (wrapping), so the oldest sample sits at start - pre (mod 128); a single
// shot fills the buffer from position 0. Each block is 129 words: the buffer
// and the start index. Blocks 0..2 hold the three signals of the recorded
// signal group, block 3 a state word whose bit 0 and bit 1 follow the outputs.
//
// Triggers: SINGLE SHOT, the edges and C-No.0 fire at once (the simulated blue
// line is made to cross TRIGGER LEVEL at the trigger sample); EXTERNAL IN0
// fires only when IN0 is high as the capture is armed, otherwise the capture
// stays armed until order 110 with 0 breaks it.
#include <algorithm>
#include <cmath>

#include "com232/frame_format.h"
#include "sim/sensor_core.h"

namespace sim {
namespace {

enum : std::uint16_t { SINGLE_SHOT = 0, RISING_EDGE = 1, FALLING_EDGE = 2, INTERNAL_C0 = 3, EXTERNAL_IN0 = 4 };
constexpr std::uint16_t kCountB = 800;  // hundredths of a second the sensor counts scans for

void PutLong(std::uint8_t* out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

// The four signals of one sample for the recorded-signal value.
std::array<std::uint16_t, 4> Sample(const std::vector<std::uint16_t>& record, std::uint16_t signal,
                                    std::uint16_t evaluationMode, bool in0) {
  std::array<std::uint16_t, 4> out{};
  if (signal == 1) {
    out = {record[MV_X], record[MV_Y], record[MV_INT], 0};
  } else {
    out = {record[MV_RED], record[MV_GREEN], record[MV_BLUE], 0};  // 2: the analogue outputs follow R, G, B
  }
  const std::uint16_t colour = record[MV_COLOR_NO];
  if (evaluationMode > 2) {
    out[3] = colour & 3;  // OUT0, OUT1
  } else {
    out[3] = static_cast<std::uint16_t>((colour != 255 ? 1 : 0) | (in0 ? 2 : 0));
  }
  return out;
}

}  // namespace

Answer CycleTimeAnswer(const SensorState& s) {
  std::uint8_t bytes[8];
  const double a = std::llround(std::max(0.0, s.scope.scanFrequency) * kCountB * 0.01);
  PutLong(bytes, static_cast<std::int32_t>(std::min(a, 2147483647.0)));
  PutLong(bytes + 4, kCountB);
  return Answer{BuildAnswer(frame::ORDER_CYCLE_TIME, 0, bytes, sizeof bytes), -1};
}

std::vector<std::vector<std::uint8_t>> CaptureScopeBlocks(SensorState& s) {
  const auto& st = s.scope.settings;
  const std::uint16_t mode = st[0];
  const int pre = std::min<int>(st[1], 127);
  const std::uint16_t level = std::min<std::uint16_t>(st[2], 4095);
  const int rate = std::clamp<int>(st[3], 1, 64);
  const std::uint16_t signal = st[4];
  const std::uint16_t start = s.scope.startIndex & 127;
  const ParaSet& active = ActiveSet(s);
  auto& blocks = s.scope.lastBlocks;
  for (int k = 0; k < 128; ++k) {
    std::vector<std::uint16_t> record;
    for (int r = 0; r < rate; ++r) record = s.model.NextRecord(active, s.calibration, s.in0);
    std::array<std::uint16_t, 4> v = Sample(record, signal, active.para[EVALUATION_MODE], s.in0);
    if (mode == RISING_EDGE || mode == FALLING_EDGE) {
      const bool high = (k >= pre) == (mode == RISING_EDGE);
      v[2] = high ? static_cast<std::uint16_t>(std::max<int>(v[2], std::min(level + 100, 4095)))
                  : static_cast<std::uint16_t>(std::min<int>(v[2], std::max(level - 100, 0)));
    }
    const int pos = mode == SINGLE_SHOT ? k : (start - pre + k + 128) & 127;
    for (int b = 0; b < 4; ++b) blocks[b][pos] = v[b];
  }
  std::vector<std::vector<std::uint8_t>> frames;
  for (int b = 0; b < 4; ++b) {
    blocks[b][128] = start;
    std::uint8_t bytes[258];
    PutWords(bytes, blocks[b].data(), 129);
    const std::size_t length = b == s.scope.shortBlock ? sizeof bytes - 2 : sizeof bytes;
    std::vector<std::uint8_t> f = BuildAnswer(frame::ORDER_SCOPE, 0, bytes, length);
    if (b == s.scope.badBlock) {
      f[6] ^= 0xFF;
      f[7] = frame::FrameCrc8(f.data(), 0, 7);
    }
    frames.push_back(std::move(f));
  }
  ++s.scope.captures;
  return frames;
}

Answer ScopeOrder(SensorState& s, std::uint16_t param, const std::vector<std::uint8_t>& data) {
  if (param == 0) {
    s.scope.armed = false;
    return Answer{BuildAnswer(frame::ORDER_SCOPE, 0, nullptr, 0), -1};
  }
  if (param != 1 || data.size() != 10) return Answer{BuildStatusAnswer(frame::STATUS_INVALID_ORDER), -1};
  GetWords(s.scope.settings.data(), data.data(), 5);
  Answer a{BuildAnswer(frame::ORDER_SCOPE, 0, nullptr, 0), -1};
  s.scope.armed = true;
  if (s.scope.settings[0] != EXTERNAL_IN0 || s.in0) {
    a.later = CaptureScopeBlocks(s);
    s.scope.armed = false;
  }
  return a;
}

}  // namespace sim
