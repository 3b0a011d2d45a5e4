// What the simulated sensor does with an order: its state and the answer
// bytes it sends back. No I/O; the serving thread in sensor_sim.cpp writes
// the answers and applies faults.
//
// Orders served:
//   1   write block p to RAM (p 0/1: ParameterBlock of set p, 40 bytes;
//       p 2/3: TeachBlock of set p-2, 496 bytes); status = words replaced by
//       the plausibility check; header only
//   2   read block p from RAM: DataFrame of 40 or 496 bytes
//   3   store the RAM of both sets into EEPROM; header only
//   4   load EEPROM of both sets into RAM with the plausibility check;
//       status = words replaced
//   7   identification text as DataFrame
//   8   one measured-value record
//   100 p 1: offset compensation: the stored offsets become the channels'
//       dark readings (the sensor measures them with its LED off); header only
//   101 p 0 factors, p 1 offsets, 3 words: stored after the plausibility
//       check (factors 0..4096, default 1024; offsets 0..1023, default 0);
//       status = values replaced; header only
//   102 factors and offsets, 6 words
//   103 self-calibration on the target in front: 5 words, the factors that
//       bring its averaged raw values to the set value, the set value and
//       the maximum delta; the sensor's own factors stay as they are
//   194 p 0x4C7E: the 256 hardware words
//       (100 to 103 and 194 in sim/calibration_sim.cpp)
//   105 cycle-time counts A and B (two signed 32-bit words, 8 bytes)
//   110 p 1 with the five scope settings (10 bytes): arms a capture; header
//       only, followed by the four blocks of 129 words once the simulated
//       trigger fired (see sim/scope_sim.cpp); p 0: breaks; header only
//   30  p 1: header only, then a measured frame on its own for every
//       simulated trigger event until p 0 (see sim/record_sim.cpp); p 0: header only
//   190 header only, sent at the old rate; then the baud index is p
// A block number above 3, or data of another length than the block's, is
// answered like an unknown order: a status answer with code 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/measure_model.h"
#include "sim/sensor_data.h"

namespace sim {

constexpr const char* DEFAULT_ID_TEXT = "CHROMIK4 ANA SENSOR SIMULATOR V1.0";

// The scope inside the sensor: the cycle time it reports and its captures.
struct ScopeState {
  double scanFrequency = 2500.0;          // Hz; order 105 reports A = f * B / 100 with B = 800
  bool armed = false;                     // order 110 p 1 came and no capture went out yet
  std::array<std::uint16_t, 5> settings{};  // trigger mode, pre-trigger, level, scan rate, signal
  std::uint16_t startIndex = 37;          // buffer position of the trigger sample (word 128)
  int badBlock = -1;                      // 0..3: that block goes out with a wrong data checksum
  int shortBlock = -1;                    // 0..3: that block goes out with its 128 samples only (no start index)
  std::array<std::array<std::uint16_t, 129>, 4> lastBlocks{};  // the payloads of the last capture
  int captures = 0;                       // captures sent since start
};

// Triggered sending of order 30: frames on their own, one per simulated trigger event.
struct TriggeredState {
  bool sending = false;   // order 30 p 1 came and p 0 not yet
  double rate = 20.0;     // trigger events per second while sending (0 = none)
  int limit = -1;         // frames a start sends at most; -1 = no limit
  int badFrame = -1;      // 0..: that frame of a start goes out with a wrong data checksum
  int sent = 0;           // frames sent since the last start
  int starts = 0;         // order 30 p 1 received
  int stops = 0;          // order 30 p 0 received
};

struct SensorState {
  std::array<ParaSet, 2> ram;               // the parameter sets the sensor works with
  std::array<ParaSet, 2> eeprom;            // what order 3 stored and order 4 loads
  Calibration calibration;                  // white calibration factors
  std::string idText = DEFAULT_ID_TEXT;     // DataFrame of order 7
  bool idZeroByte = false;                  // order 7 appends a terminating zero byte
  std::size_t measuredWords = MEASURED_WORDS;  // words per measured-value record (>= 23)
  int baudIndex = 4;                        // baud-rate index as last set (any value; see BaudRateForIndex)
  bool in0 = false;                         // trigger input IN0
  MeasureModel model;                       // the simulated target
  ScopeState scope;                         // cycle time and scope captures
  std::uint16_t selfSetValue = 3200;        // set value of the self-calibration (order 103)
  std::uint16_t selfMaxDelta = 800;         // maximum delta reported with it
  std::array<std::uint16_t, 256> hardware{};  // hardware words of order 194
  TriggeredState triggered;                 // order 30

  SensorState();
};

struct Answer {
  std::vector<std::uint8_t> bytes;  // HeaderFrame followed by its DataFrame
  int newBaudIndex = -1;            // 0 or more: switch to this index once the answer is out
  std::vector<std::vector<std::uint8_t>> later = {};  // frames that follow the answer, one write each
};

// 0..4 = 9600, 19200, 38400, 57600, 115200; any other index = 115200.
int BaudRateForIndex(int index);

std::vector<std::uint8_t> BuildAnswer(std::uint8_t order, std::uint16_t status, const std::uint8_t* data,
                                      std::size_t length);
// Order echo 0, the code in the status word, no data.
std::vector<std::uint8_t> BuildStatusAnswer(std::uint16_t code);

// The parameter set the sensor measures with: set 0, or set 1 while set 0
// has TRIGGER PARA and IN0 is high.
const ParaSet& ActiveSet(const SensorState& s);

// Orders 105 and 110 (sim/scope_sim.cpp).
Answer CycleTimeAnswer(const SensorState& s);
Answer ScopeOrder(SensorState& s, std::uint16_t param, const std::vector<std::uint8_t>& data);
// The four blocks of a capture with the current settings; also kept in s.scope.lastBlocks.
std::vector<std::vector<std::uint8_t>> CaptureScopeBlocks(SensorState& s);

// Orders 100 to 103 and 194 (sim/calibration_sim.cpp).
Answer CalibrationOrder(SensorState& s, std::uint8_t order, std::uint16_t param, const std::vector<std::uint8_t>& data);
// The hardware words a simulated sensor starts with.
std::array<std::uint16_t, 256> StartupHardwareWords();
// Order 8: one measured-value record as answer.
Answer Measure(SensorState& s);
// Order 30 and its frames (sim/record_sim.cpp).
Answer TriggerRecordOrder(SensorState& s, std::uint16_t param);
// Whether a started triggered sending has frames left to send.
bool TriggeredFrameDue(const SensorState& s);
// The frame of the next trigger event (a measured-value record); counts it as sent.
std::vector<std::uint8_t> NextTriggeredFrame(SensorState& s);
// Seconds between two trigger events; 0 when none are sent.
double TriggerPeriod(const SensorState& s);

Answer ExecuteOrder(SensorState& s, std::uint8_t order, std::uint16_t param, const std::vector<std::uint8_t>& data);

}  // namespace sim
