// Triggered sending for the data recorder: after order 30 with 1 the sensor
// sends, on its own, one measured frame (header and record, as order 8 answers)
// for every trigger event, until order 30 with 0. The serving thread paces the
// events at TriggeredState::rate; a limit and a frame with a wrong data checksum
// can be set for tests.
#include "com232/frame_format.h"
#include "sim/sensor_core.h"

namespace sim {

Answer TriggerRecordOrder(SensorState& s, std::uint16_t param) {
  if (param > 1) return Answer{BuildStatusAnswer(frame::STATUS_INVALID_ORDER), -1};
  TriggeredState& t = s.triggered;
  if (param == 1) {
    t.sending = true;
    t.sent = 0;
    ++t.starts;
  } else {
    t.sending = false;
    ++t.stops;
  }
  return Answer{BuildAnswer(frame::ORDER_TRIGGER_RECORD, 0, nullptr, 0), -1};
}

bool TriggeredFrameDue(const SensorState& s) {
  const TriggeredState& t = s.triggered;
  return t.sending && t.rate > 0.0 && (t.limit < 0 || t.sent < t.limit);
}

double TriggerPeriod(const SensorState& s) { return s.triggered.rate > 0.0 ? 1.0 / s.triggered.rate : 0.0; }

std::vector<std::uint8_t> NextTriggeredFrame(SensorState& s) {
  std::vector<std::uint8_t> f = Measure(s).bytes;
  if (s.triggered.sent == s.triggered.badFrame && f.size() > frame::HEADER_SIZE) {
    f[6] ^= 0xFF;
    f[7] = frame::FrameCrc8(f.data(), 0, 7);
  }
  ++s.triggered.sent;
  return f;
}

}  // namespace sim
