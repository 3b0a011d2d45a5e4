#include "com232/frame_format.h"

#include <array>

namespace frame {
namespace {

// Table of the reflected polynomial 0x8C: entry i is eight shift steps applied to i.
constexpr std::array<std::uint8_t, 256> MakeCrcTable() {
  std::array<std::uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    std::uint8_t c = static_cast<std::uint8_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      c = (c & 1) ? static_cast<std::uint8_t>((c >> 1) ^ 0x8C) : static_cast<std::uint8_t>(c >> 1);
    }
    t[i] = c;
  }
  return t;
}

constexpr std::array<std::uint8_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

std::uint8_t FrameCrc8(const std::uint8_t* buffer, std::size_t start, std::size_t count) {
  std::uint8_t c = CRC_START;
  for (std::size_t i = 0; i < count; ++i) c = kCrcTable[c ^ buffer[start + i]];
  return c;
}

void EncodeHeader(std::uint8_t* out, std::uint8_t order, std::uint16_t word, const std::uint8_t* data,
                  std::uint16_t length) {
  out[0] = START_BYTE;
  out[1] = order;
  PutWord(out + 2, word);
  PutWord(out + 4, length);
  out[6] = (length == 0 || data == nullptr) ? CRC_START : FrameCrc8(data, 0, length);
  out[7] = FrameCrc8(out, 0, 7);
}

HeaderFields DecodeHeader(const std::uint8_t* in) {
  return HeaderFields{in[0], in[1], GetWord(in + 2), GetWord(in + 4), in[6], in[7]};
}

bool HeaderValid(const std::uint8_t* in) { return in[0] == START_BYTE && FrameCrc8(in, 0, 8) == 0; }

}  // namespace frame
