#include "sim/frame_reader.h"

#include <algorithm>

#include "com232/frame_format.h"

namespace sim {

const char* FrameCheckName(FrameCheck check) {
  switch (check) {
    case FrameCheck::Ok: return "ok";
    case FrameCheck::BadHeader: return "bad header checksum";
    case FrameCheck::BadData: return "bad data checksum";
    case FrameCheck::TooLong: return "data length above 2040";
    case FrameCheck::Incomplete: return "incomplete";
    case FrameCheck::BaudMismatch: return "baud rate mismatch";
  }
  return "?";
}

void FrameReader::Feed(const std::uint8_t* bytes, std::size_t count) {
  buffer_.insert(buffer_.end(), bytes, bytes + count);
}

bool FrameReader::Next(OrderFrame* out) {
  auto start = std::find(buffer_.begin(), buffer_.end(), frame::START_BYTE);
  buffer_.erase(buffer_.begin(), start);
  if (buffer_.size() < frame::HEADER_SIZE) return false;

  const frame::HeaderFields h = frame::DecodeHeader(buffer_.data());
  *out = OrderFrame{};
  out->order = h.order;
  out->param = h.word;
  out->length = h.length;
  if (!frame::HeaderValid(buffer_.data()) || h.length > frame::MAX_DATA_LENGTH) {
    out->check = frame::HeaderValid(buffer_.data()) ? FrameCheck::TooLong : FrameCheck::BadHeader;
    out->raw.swap(buffer_);
    buffer_.clear();
    return true;
  }
  const std::size_t total = frame::HEADER_SIZE + h.length;
  if (buffer_.size() < total) return false;

  out->raw.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
  out->data.assign(out->raw.begin() + frame::HEADER_SIZE, out->raw.end());
  const std::uint8_t crc = h.length ? frame::FrameCrc8(out->data.data(), 0, h.length) : frame::CRC_START;
  out->check = crc == h.dataCrc ? FrameCheck::Ok : FrameCheck::BadData;
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
  return true;
}

OrderFrame FrameReader::TakeIncomplete() {
  OrderFrame f;
  f.check = FrameCheck::Incomplete;
  if (buffer_.size() >= 2) f.order = buffer_[1];
  f.raw.swap(buffer_);
  buffer_.clear();
  return f;
}

}  // namespace sim
