#include "parameters/parameter_set.h"

namespace {

void PutWordLE(std::uint8_t* out, std::uint16_t w) {
  out[0] = static_cast<std::uint8_t>(w & 0xFF);
  out[1] = static_cast<std::uint8_t>(w >> 8);
}

std::uint16_t GetWordLE(const std::uint8_t* in) { return static_cast<std::uint16_t>(in[0] | (in[1] << 8)); }

// Word w (0..7) of a teach row, in the order of the TeachBlock image.
std::uint16_t* TeachWord(TeachVector* row, int w) {
  if (w < 5) return &row->Cell[w];
  if (w == 5) return &row->Group;
  if (w == 6) return &row->Hold;
  return &row->Reserved;
}

std::uint16_t TeachWord(const TeachVector& row, int w) {
  if (w < 5) return row.Cell[w];
  if (w == 5) return row.Group;
  return w == 6 ? row.Hold : row.Reserved;
}

}  // namespace

void ParameterBlockToBytes(const ParameterSetRecord& set, std::uint8_t out[PARAMETER_BLOCK_BYTES]) {
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) PutWordLE(out + 2 * w, set.ParameterBlock[w]);
}

void ParameterBlockFromBytes(const std::uint8_t in[PARAMETER_BLOCK_BYTES], ParameterSetRecord* set) {
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set->ParameterBlock[w] = GetWordLE(in + 2 * w);
}

void TeachBlockToBytes(const ParameterSetRecord& set, std::uint8_t out[TEACH_BLOCK_BYTES]) {
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int w = 0; w < TEACH_VECTOR_WORDS; ++w) {
      PutWordLE(out + 2 * (r * TEACH_VECTOR_WORDS + w), TeachWord(set.TeachBlock[r], w));
    }
  }
}

void TeachBlockFromBytes(const std::uint8_t in[TEACH_BLOCK_BYTES], ParameterSetRecord* set) {
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int w = 0; w < TEACH_VECTOR_WORDS; ++w) {
      *TeachWord(&set->TeachBlock[r], w) = GetWordLE(in + 2 * (r * TEACH_VECTOR_WORDS + w));
    }
  }
}

void ParameterBlockToWords(const ParameterSetRecord& set, std::uint16_t* words) {
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) words[w] = set.ParameterBlock[w];
}

void ParameterBlockFromWords(const std::uint16_t* words, ParameterSetRecord* set) {
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set->ParameterBlock[w] = words[w];
}

void TeachBlockToWords(const ParameterSetRecord& set, std::uint16_t* words) {
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int w = 0; w < TEACH_VECTOR_WORDS; ++w) words[r * TEACH_VECTOR_WORDS + w] = TeachWord(set.TeachBlock[r], w);
  }
}

void TeachBlockFromWords(const std::uint16_t* words, ParameterSetRecord* set) {
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int w = 0; w < TEACH_VECTOR_WORDS; ++w) *TeachWord(&set->TeachBlock[r], w) = words[r * TEACH_VECTOR_WORDS + w];
  }
}

std::vector<ParameterDifference> CompareParameterSets(const ParameterSetRecord& a, const ParameterSetRecord& b) {
  static const char* const kRowKeys[7] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3", "CELL 4", "GROUP", "HOLD"};
  std::vector<ParameterDifference> out;
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) {
    if (a.ParameterBlock[w] != b.ParameterBlock[w]) out.push_back({w, ParameterKeys[w], a.ParameterBlock[w], b.ParameterBlock[w]});
  }
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int w = 0; w < 7; ++w) {
      const std::uint16_t x = TeachWord(a.TeachBlock[r], w), y = TeachWord(b.TeachBlock[r], w);
      if (x != y) {
        out.push_back({PARAMETER_BLOCK_WORDS + TEACH_VECTOR_WORDS * r + w, "TEACH VECTOR " + std::to_string(r) + " " + kRowKeys[w],
                       x, y});
      }
    }
  }
  return out;
}
