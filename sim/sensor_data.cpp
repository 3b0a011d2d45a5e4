#include "sim/sensor_data.h"

#include "com232/frame_format.h"
#include "sim/measure_model.h"

namespace sim {

// Ranges follow the value meanings of the parameters: a ring's codes, a fixed scale,
// or the whole word where the value has no bound of its own. Every value accepted
// here is one the PC program can show.
const std::array<WordRange, PARA_WORDS> kParaRanges = {{
    {0, 1000, 500},     // POWER: 0 = no intensity .. 1000 = full intensity
    {0, 1, 0},          // POWER MODE: STAT, DYN
    {1, 32768, 1},      // AVERAGE: scanning values averaged
    {0, 6, 1},          // EVALUATION MODE: FIRST HIT .. THD Green Blue
    {0, 10000, 10},     // HOLD FAIL: minimum failure pulse length
    {0, 65535, 0},      // INTLIM
    {1, 31, 1},         // MAX VEC NO: rows checked
    {0, 3, 0},          // DIGITAL OUTMODE: OFF, DIRECT LO, BINARY, DIRECT HI
    {0, 6, 0},          // TRIGGER: CONT .. PARA
    {0, 3, 0},          // EXTERN TEACH: OFF, ON, STAT1, DYN1
    {0, 3, 0},          // CALCULATION MODE: XYINT 2D, siM 2D, XYINT 3D, siM 3D
    {0, 65535, 3200},   // DYNWIN LO
    {0, 65535, 3300},   // DYNWIN HI
    {0, 1, 0},          // COLOR GROUP: off, on
    {0, 3, 0},          // LED MODE: DC, AC, OFF, PULSE
    {0, 7, 5},          // GAIN: AMP1..AMP8 as codes 0..7
    {0, 250, 1},        // INTEGRAL
    {0, 5, 1},          // ANALOG OUTMODE: off .. siM REF
    {0, 1, 0},          // ANALOG OUT: CONT, IN0 L->H
    {0, 65535, 0},      // ANALOG ZOOM
}};

const std::array<WordRange, TEACH_ROW_WORDS> kTeachRowRanges = {{
    {0, 10000, 1},   // CELL 0: X (0..4095) or s (0..10000), or a threshold
    {0, 10000, 1},   // CELL 1
    {0, 10000, 1},   // CELL 2
    {0, 10000, 1},   // CELL 3
    {0, 10000, 1},   // CELL 4
    {0, 30, 0},      // GROUP
    {0, 10000, 10},  // HOLD
    {0, 65535, 0},   // reserved: any value
}};

ParameterBlock DefaultParameterBlock() {
  ParameterBlock b{};
  for (std::size_t i = 0; i < PARA_WORDS; ++i) b[i] = kParaRanges[i].def;
  return b;
}

TeachBlock StartupTeachBlock() {
  TeachBlock t{};
  for (std::size_t r = 0; r < TEACH_ROWS; ++r) {
    std::uint16_t* row = &t[r * TEACH_ROW_WORDS];
    for (std::size_t c = CELL0; c <= CELL4; ++c) row[c] = 1;
    row[GROUP] = 0;
    row[HOLD] = 10;
    row[RESERVED] = 0;
  }
  // Rows 0..3 hold the palette colours in the default calculation mode
  // (X Y INT - 2D): X, Y, CTO, INT, ITO.
  const auto& palette = DefaultPalette();
  for (std::size_t r = 0; r < palette.size() && r < TEACH_ROWS; ++r) {
    Position p = ColourPosition(palette[r], 0);
    std::uint16_t* row = &t[r * TEACH_ROW_WORDS];
    row[CELL0] = p.a;
    row[CELL1] = p.b;
    row[CELL2] = 100;
    row[CELL3] = p.c;
    row[CELL4] = 100;
    row[GROUP] = static_cast<std::uint16_t>(r % 2);
  }
  return t;
}

ParaSet StartupParaSet() { return ParaSet{DefaultParameterBlock(), StartupTeachBlock()}; }

int CheckPlausibility(ParameterBlock& block) {
  int replaced = 0;
  for (std::size_t i = 0; i < PARA_WORDS; ++i) {
    const WordRange& r = kParaRanges[i];
    if (block[i] < r.min || block[i] > r.max) {
      block[i] = r.def;
      ++replaced;
    }
  }
  return replaced;
}

int CheckPlausibility(TeachBlock& block) {
  int replaced = 0;
  for (std::size_t i = 0; i < TEACH_WORDS; ++i) {
    const WordRange& r = kTeachRowRanges[i % TEACH_ROW_WORDS];
    if (block[i] < r.min || block[i] > r.max) {
      block[i] = r.def;
      ++replaced;
    }
  }
  return replaced;
}

int CheckPlausibility(ParaSet& set) { return CheckPlausibility(set.para) + CheckPlausibility(set.teach); }

void PutWords(std::uint8_t* out, const std::uint16_t* words, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) frame::PutWord(out + 2 * i, words[i]);
}

void GetWords(std::uint16_t* words, const std::uint8_t* in, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) words[i] = frame::GetWord(in + 2 * i);
}

}  // namespace sim
