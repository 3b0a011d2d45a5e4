// Wire format of the sensor protocol, shared by the program and the simulator.
//
// Every exchange is one order from the PC and one answer from the sensor.
// Both directions start with the same 8-byte header; all 16-bit fields are
// little-endian (low byte first):
//
//   offset  width  order (PC -> sensor)          answer (sensor -> PC)
//   0       1      start byte 0x55 ('U')          start byte 0x55
//   1       1      order number                   order echo (0 = status answer)
//   2       2      order parameter                status word
//   4       2      data length in bytes           data length in bytes (0 = no data)
//   6       1      FrameCrc8 over the data        FrameCrc8 over the data
//                  (0xAA when there is none)      (0xAA when there is none)
//   7       1      FrameCrc8 over bytes 0..6      FrameCrc8 over bytes 0..6
//   8       n      data: 16-bit words or text     data (the DataFrame)
//
// FrameCrc8: CRC-8 with the reflected polynomial 0x8C (x^8 + x^5 + x^4 + 1,
// the Dallas/Maxim 1-Wire table), least significant bit first, start value
// 0xAA, no final XOR. Running it over a whole correct header gives 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame {

constexpr std::uint8_t START_BYTE = 0x55;
constexpr std::uint8_t CRC_START = 0xAA;
constexpr std::size_t HEADER_SIZE = 8;
constexpr std::size_t BUFFER_SIZE = 2048;                     // order frame buffer and ReceiveBuffer
constexpr std::size_t MAX_DATA_LENGTH = BUFFER_SIZE - HEADER_SIZE;  // 2040 bytes

// Orders, as the order table names them.
constexpr std::uint8_t ORDER_STATUS_ANSWER = 0;       // order echo of a status answer
constexpr std::uint8_t ORDER_WRITE_PARA_BLOCK = 1;    // parameter block to RAM
constexpr std::uint8_t ORDER_READ_PARA_BLOCK = 2;     // parameter block from RAM
constexpr std::uint8_t ORDER_STORE_EEPROM = 3;        // RAM parameters to EEPROM
constexpr std::uint8_t ORDER_LOAD_EEPROM = 4;         // EEPROM parameters to RAM
constexpr std::uint8_t ORDER_IDENTIFY = 7;            // identification text
constexpr std::uint8_t ORDER_MEASURED_VALUES = 8;     // one measured-value record
constexpr std::uint8_t ORDER_TRIGGER_RECORD = 30;     // 1 = start, 0 = stop streamed frames
constexpr std::uint8_t ORDER_OFFSET_COMPENSATION = 100;
constexpr std::uint8_t ORDER_WRITE_CALIBRATION = 101; // 0 = factors, 1 = offsets
constexpr std::uint8_t ORDER_READ_CALIBRATION = 102;  // factors and offsets
constexpr std::uint8_t ORDER_SELF_CALIBRATION = 103;
constexpr std::uint8_t ORDER_CYCLE_TIME = 105;
constexpr std::uint8_t ORDER_SCOPE = 110;             // 1 = start, 0 = stop
constexpr std::uint8_t ORDER_CHANGE_BAUDRATE = 190;
constexpr std::uint8_t ORDER_HARDWARE_DATA = 194;
constexpr std::uint16_t HARDWARE_DATA_KEY = 0x4C7E;   // order parameter of order 194

// Status codes of a status answer (order echo 0).
constexpr std::uint16_t STATUS_INVALID_ORDER = 1;
constexpr std::uint16_t STATUS_CONTROL_UNIT_ERROR = 2;

// FrameCrc8 over `count` bytes of `buffer` from `start`.
std::uint8_t FrameCrc8(const std::uint8_t* buffer, std::size_t start, std::size_t count);

// Fields of a header, decoded without any check.
struct HeaderFields {
  std::uint8_t start;
  std::uint8_t order;
  std::uint16_t word;      // order parameter or status word
  std::uint16_t length;
  std::uint8_t dataCrc;
  std::uint8_t headerCrc;
};

// Writes an 8-byte header for `data` (may be null when length is 0) into `out`.
void EncodeHeader(std::uint8_t* out, std::uint8_t order, std::uint16_t word, const std::uint8_t* data,
                  std::uint16_t length);
HeaderFields DecodeHeader(const std::uint8_t* in);
// A header passes when its start byte is 0x55 and the CRC over all 8 bytes is 0.
bool HeaderValid(const std::uint8_t* in);

inline void PutWord(std::uint8_t* out, std::uint16_t w) {
  out[0] = static_cast<std::uint8_t>(w & 0xFF);
  out[1] = static_cast<std::uint8_t>(w >> 8);
}
inline std::uint16_t GetWord(const std::uint8_t* in) {
  return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

}  // namespace frame
