#include "sim/sensor_core.h"

#include <algorithm>

#include "com232/frame_format.h"

namespace sim {
namespace {

std::uint16_t CountWord(int n) { return static_cast<std::uint16_t>(std::min(n, 0xFFFF)); }

Answer Reply(std::uint8_t order, std::uint16_t status, const std::uint8_t* data = nullptr, std::size_t length = 0) {
  return Answer{BuildAnswer(order, status, data, length), -1};
}

Answer Invalid() { return Answer{BuildStatusAnswer(frame::STATUS_INVALID_ORDER), -1}; }

Answer WriteBlock(SensorState& s, std::uint16_t p, const std::vector<std::uint8_t>& data) {
  if (p > 3) return Invalid();
  ParaSet& set = s.ram[p & 1];
  int replaced;
  if (p < 2) {
    if (data.size() != PARA_BYTES) return Invalid();
    GetWords(set.para.data(), data.data(), PARA_WORDS);
    replaced = CheckPlausibility(set.para);
  } else {
    if (data.size() != TEACH_BYTES) return Invalid();
    GetWords(set.teach.data(), data.data(), TEACH_WORDS);
    replaced = CheckPlausibility(set.teach);
  }
  return Reply(frame::ORDER_WRITE_PARA_BLOCK, CountWord(replaced));
}

Answer ReadBlock(const SensorState& s, std::uint16_t p) {
  if (p > 3) return Invalid();
  const ParaSet& set = s.ram[p & 1];
  std::uint8_t bytes[TEACH_BYTES];
  if (p < 2) {
    PutWords(bytes, set.para.data(), PARA_WORDS);
    return Reply(frame::ORDER_READ_PARA_BLOCK, 0, bytes, PARA_BYTES);
  }
  PutWords(bytes, set.teach.data(), TEACH_WORDS);
  return Reply(frame::ORDER_READ_PARA_BLOCK, 0, bytes, TEACH_BYTES);
}

Answer LoadEeprom(SensorState& s) {
  int replaced = 0;
  // The check runs on the RAM copy; the EEPROM keeps what was stored until
  // the next order 3.
  for (std::size_t i = 0; i < 2; ++i) {
    s.ram[i] = s.eeprom[i];
    replaced += CheckPlausibility(s.ram[i]);
  }
  return Reply(frame::ORDER_LOAD_EEPROM, CountWord(replaced));
}

Answer Identify(const SensorState& s) {
  std::vector<std::uint8_t> text(s.idText.begin(), s.idText.end());
  if (s.idZeroByte) text.push_back(0);
  text.resize(std::min(text.size(), frame::MAX_DATA_LENGTH));
  return Reply(frame::ORDER_IDENTIFY, 0, text.data(), text.size());
}

}  // namespace

Answer Measure(SensorState& s) {
  const std::size_t words = std::clamp(s.measuredWords, MEASURED_WORDS, frame::MAX_DATA_LENGTH / 2);
  std::vector<std::uint16_t> record = s.model.NextRecord(ActiveSet(s), s.calibration, s.in0, words);
  std::vector<std::uint8_t> bytes(record.size() * 2);
  PutWords(bytes.data(), record.data(), record.size());
  return Reply(frame::ORDER_MEASURED_VALUES, 0, bytes.data(), bytes.size());
}

SensorState::SensorState() {
  ram[0] = ram[1] = StartupParaSet();
  eeprom = ram;
  hardware = StartupHardwareWords();
}

int BaudRateForIndex(int index) {
  static constexpr int kRates[] = {9600, 19200, 38400, 57600, 115200};
  return index >= 0 && index < 5 ? kRates[index] : 115200;
}

std::vector<std::uint8_t> BuildAnswer(std::uint8_t order, std::uint16_t status, const std::uint8_t* data,
                                      std::size_t length) {
  std::vector<std::uint8_t> out(frame::HEADER_SIZE + length);
  if (length) std::copy(data, data + length, out.begin() + frame::HEADER_SIZE);
  frame::EncodeHeader(out.data(), order, status, length ? out.data() + frame::HEADER_SIZE : nullptr,
                      static_cast<std::uint16_t>(length));
  return out;
}

std::vector<std::uint8_t> BuildStatusAnswer(std::uint16_t code) {
  return BuildAnswer(frame::ORDER_STATUS_ANSWER, code, nullptr, 0);
}

const ParaSet& ActiveSet(const SensorState& s) {
  return s.ram[0].para[TRIGGER] == TRIGGER_PARA && s.in0 ? s.ram[1] : s.ram[0];
}

Answer ExecuteOrder(SensorState& s, std::uint8_t order, std::uint16_t param, const std::vector<std::uint8_t>& data) {
  switch (order) {
    case frame::ORDER_WRITE_PARA_BLOCK:
      return WriteBlock(s, param, data);
    case frame::ORDER_READ_PARA_BLOCK:
      return ReadBlock(s, param);
    case frame::ORDER_STORE_EEPROM:
      s.eeprom = s.ram;
      return Reply(frame::ORDER_STORE_EEPROM, 0);
    case frame::ORDER_LOAD_EEPROM:
      return LoadEeprom(s);
    case frame::ORDER_IDENTIFY:
      return Identify(s);
    case frame::ORDER_MEASURED_VALUES:
      return Measure(s);
    case frame::ORDER_OFFSET_COMPENSATION:
    case frame::ORDER_WRITE_CALIBRATION:
    case frame::ORDER_READ_CALIBRATION:
    case frame::ORDER_SELF_CALIBRATION:
    case frame::ORDER_HARDWARE_DATA:
      return CalibrationOrder(s, order, param, data);
    case frame::ORDER_TRIGGER_RECORD:
      return TriggerRecordOrder(s, param);
    case frame::ORDER_CYCLE_TIME:
      return CycleTimeAnswer(s);
    case frame::ORDER_SCOPE:
      return ScopeOrder(s, param, data);
    case frame::ORDER_CHANGE_BAUDRATE:
      return Answer{BuildAnswer(frame::ORDER_CHANGE_BAUDRATE, 0, nullptr, 0), param};
    default:
      return Invalid();
  }
}

}  // namespace sim
