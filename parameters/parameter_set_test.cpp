#include "parameters/parameter_set.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A distinct word for every position of the record, so misplaced words show.
std::uint16_t Pattern(int word) { return static_cast<std::uint16_t>(0x0101 * (word + 1) + 0x8000 * (word & 1)); }

ParameterSetRecord PatternRecord() {
  ParameterSetRecord set;
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set.ParameterBlock[w] = Pattern(w);
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    TeachVector& row = set.TeachBlock[r];
    const int base = PARAMETER_BLOCK_WORDS + r * TEACH_VECTOR_WORDS;
    for (int c = 0; c < 5; ++c) row.Cell[c] = Pattern(base + c);
    row.Group = Pattern(base + 5);
    row.Hold = Pattern(base + 6);
    row.Reserved = Pattern(base + 7);
  }
  return set;
}

}  // namespace

TEST(ParameterBlockImage, DefaultsGiveTheKnownFortyBytes) {
  const std::uint8_t expected[PARAMETER_BLOCK_BYTES] = {
      0xF4, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x0C, 0xE4, 0x0C, 0x00, 0x00, 0x00, 0x00,
      0x05, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  ParameterSetRecord set{};
  std::memcpy(set.ParameterBlock, ParameterDefaults, sizeof set.ParameterBlock);
  std::uint8_t bytes[PARAMETER_BLOCK_BYTES];
  ParameterBlockToBytes(set, bytes);
  EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);

  ParameterSetRecord back{};
  ParameterBlockFromBytes(expected, &back);
  EXPECT_EQ(back.ParameterBlock[PARA_POWER], 500);
  EXPECT_EQ(back.ParameterBlock[PARA_DYNWIN_HI], 3300);
  EXPECT_EQ(std::memcmp(back.ParameterBlock, ParameterDefaults, sizeof back.ParameterBlock), 0);
}

TEST(TeachBlockImage, RowsAreSixteenBytesLowByteFirst) {
  const ParameterSetRecord set = PatternRecord();
  std::uint8_t bytes[TEACH_BLOCK_BYTES];
  TeachBlockToBytes(set, bytes);
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int w = 0; w < TEACH_VECTOR_WORDS; ++w) {
      const std::uint16_t word = Pattern(PARAMETER_BLOCK_WORDS + r * TEACH_VECTOR_WORDS + w);
      ASSERT_EQ(bytes[16 * r + 2 * w], word & 0xFF) << "row " << r << " word " << w;
      ASSERT_EQ(bytes[16 * r + 2 * w + 1], word >> 8) << "row " << r << " word " << w;
    }
  }
  // TeachVector 30 is the last 16 bytes, 480..495: HOLD at 492, reserved at 494.
  EXPECT_EQ(bytes[492] | (bytes[493] << 8), set.TeachBlock[30].Hold);
  EXPECT_EQ(bytes[494] | (bytes[495] << 8), set.TeachBlock[30].Reserved);
}

TEST(TeachBlockImage, ReservedWordSurvivesBytesToRecordToBytes) {
  std::uint8_t in[TEACH_BLOCK_BYTES];
  for (std::size_t i = 0; i < sizeof in; ++i) in[i] = static_cast<std::uint8_t>(i * 7 + 3);
  ParameterSetRecord set{};
  TeachBlockFromBytes(in, &set);
  EXPECT_EQ(set.TeachBlock[0].Reserved, in[14] | (in[15] << 8));
  EXPECT_EQ(set.TeachBlock[30].Cell[0], in[480] | (in[481] << 8));
  std::uint8_t out[TEACH_BLOCK_BYTES];
  TeachBlockToBytes(set, out);
  EXPECT_EQ(std::memcmp(in, out, sizeof in), 0);
}

TEST(ParameterSetWords, WordArraysCarryTheSameWordsAsTheImages) {
  const ParameterSetRecord set = PatternRecord();
  std::uint16_t words[1024] = {};
  ParameterBlockToWords(set, words);
  TeachBlockToWords(set, words + PARAMETER_BLOCK_WORDS);
  // The record is the two blocks back to back, so the words follow the record's layout.
  EXPECT_EQ(std::memcmp(words, &set, sizeof set), 0);
  EXPECT_EQ(words[PARAMETER_SET_WORDS], 0);  // nothing written past the blocks

  ParameterSetRecord back{};
  ParameterBlockFromWords(words, &back);
  TeachBlockFromWords(words + PARAMETER_BLOCK_WORDS, &back);
  EXPECT_EQ(std::memcmp(&back, &set, sizeof set), 0);
  EXPECT_EQ(back.TeachBlock[17].Reserved, Pattern(PARAMETER_BLOCK_WORDS + 17 * 8 + 7));
}
