// Splits the byte stream from the PC into order frames, checking both
// checksums. Pure: bytes in, frames out, no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

enum class FrameCheck {
  Ok,            // both checksums right
  BadHeader,     // header checksum wrong (the start byte was 0x55)
  BadData,       // header right, data checksum wrong
  TooLong,       // header right but announcing more than 2040 data bytes
  Incomplete,    // bytes of a frame that stopped arriving
  BaudMismatch,  // bytes sent at another baud rate than the simulator's (serial only)
};

const char* FrameCheckName(FrameCheck check);

struct OrderFrame {
  FrameCheck check = FrameCheck::Ok;  // what the checks found
  std::uint8_t order = 0;             // order number (byte 1; meaningless unless the header passed)
  std::uint16_t param = 0;            // order parameter
  std::uint16_t length = 0;           // announced data length
  std::vector<std::uint8_t> data;     // the data bytes (Ok and BadData only)
  std::vector<std::uint8_t> raw;      // every byte of the frame as received
};

class FrameReader {
 public:
  void Feed(const std::uint8_t* bytes, std::size_t count);
  // Takes the next complete frame, good or bad; false when more bytes are needed.
  // Bytes before a start byte 0x55 are dropped. After a bad header the rest of
  // the buffered bytes go with it, as its length cannot be trusted.
  bool Next(OrderFrame* out);
  // Bytes of an unfinished frame are buffered.
  bool Pending() const { return !buffer_.empty(); }
  // The unfinished bytes as an Incomplete frame; empties the buffer.
  OrderFrame TakeIncomplete();
  void Reset() { buffer_.clear(); }

 private:
  std::vector<std::uint8_t> buffer_;  // received, not yet taken
};

}  // namespace sim
