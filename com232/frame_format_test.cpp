#include "com232/frame_format.h"

#include <gtest/gtest.h>

#include <cstring>

using frame::FrameCrc8;

TEST(FrameCrc8, KnownAnswers) {
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(FrameCrc8(abc, 0, 3), 0xDE);
  EXPECT_EQ(FrameCrc8(abc, 0, 0), 0xAA);
  // The start offset is honoured: "bc" after "a" differs from "abc".
  EXPECT_NE(FrameCrc8(abc, 1, 2), 0xDE);
}

TEST(FrameCrc8, MatchesBitwiseDefinition) {
  // The table must give what the bit-serial definition gives, for every byte value.
  for (int b = 0; b < 256; ++b) {
    std::uint8_t c = 0xAA ^ static_cast<std::uint8_t>(b);
    for (int i = 0; i < 8; ++i) c = (c & 1) ? static_cast<std::uint8_t>((c >> 1) ^ 0x8C) : c >> 1;
    const std::uint8_t one = static_cast<std::uint8_t>(b);
    ASSERT_EQ(FrameCrc8(&one, 0, 1), c) << "byte " << b;
  }
}

TEST(FrameHeader, OrderHeadersOnTheWire) {
  std::uint8_t h[8];
  frame::EncodeHeader(h, 7, 0, nullptr, 0);
  const std::uint8_t identify[] = {0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52};
  EXPECT_EQ(std::memcmp(h, identify, 8), 0);
  frame::EncodeHeader(h, 8, 0, nullptr, 0);
  const std::uint8_t measure[] = {0x55, 0x08, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x76};
  EXPECT_EQ(std::memcmp(h, measure, 8), 0);
  frame::EncodeHeader(h, 190, 2, nullptr, 0);
  const std::uint8_t baud[] = {0x55, 0xBE, 0x02, 0x00, 0x00, 0x00, 0xAA, 0x40};
  EXPECT_EQ(std::memcmp(h, baud, 8), 0);
}

TEST(FrameHeader, ValidHeaderChecksumsToZeroAndCorruptionIsCaught) {
  std::uint8_t h[8];
  const std::uint8_t data[] = {0x00, 0x04, 0x00, 0x04, 0x00, 0x04};
  frame::EncodeHeader(h, 101, 0, data, 6);
  EXPECT_EQ(h[6], 0x73);
  EXPECT_EQ(h[7], 0xE5);
  EXPECT_TRUE(frame::HeaderValid(h));
  for (int i = 0; i < 8; ++i) {
    std::uint8_t bad[8];
    std::memcpy(bad, h, 8);
    bad[i] ^= 0x10;
    EXPECT_FALSE(frame::HeaderValid(bad)) << "flipped byte " << i;
  }
  auto f = frame::DecodeHeader(h);
  EXPECT_EQ(f.order, 101);
  EXPECT_EQ(f.length, 6);
}
