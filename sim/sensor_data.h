// The simulated sensor's memory: two parameter sets, each in RAM and EEPROM,
// and the plausibility check the sensor runs on every block it takes over.
//
// A parameter set is the 20-word ParameterBlock followed by the TeachBlock of
// 31 rows of 8 words; on the wire both are little-endian words, 40 and 496
// bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace sim {

constexpr std::size_t PARA_WORDS = 20;
constexpr std::size_t TEACH_ROWS = 31;
constexpr std::size_t TEACH_ROW_WORDS = 8;
constexpr std::size_t TEACH_WORDS = TEACH_ROWS * TEACH_ROW_WORDS;  // 248
constexpr std::size_t PARA_BYTES = PARA_WORDS * 2;                 // 40
constexpr std::size_t TEACH_BYTES = TEACH_WORDS * 2;               // 496

// Word indexes of the ParameterBlock, named as the parameter file keys.
enum ParaWord : std::size_t {
  POWER = 0,
  POWER_MODE = 1,
  AVERAGE = 2,
  EVALUATION_MODE = 3,
  HOLD_FAIL = 4,
  INTLIM = 5,
  MAX_VEC_NO = 6,
  DIGITAL_OUTMODE = 7,
  TRIGGER = 8,
  EXTERN_TEACH = 9,
  CALCULATION_MODE = 10,
  DYNWIN_LO = 11,
  DYNWIN_HI = 12,
  COLOR_GROUP = 13,
  LED_MODE = 14,
  GAIN = 15,
  INTEGRAL = 16,
  ANALOG_OUTMODE = 17,
  ANALOG_OUT = 18,
  ANALOG_ZOOM = 19,
};

// Word indexes inside one teach row.
enum TeachWord : std::size_t {
  CELL0 = 0,
  CELL1 = 1,
  CELL2 = 2,
  CELL3 = 3,
  CELL4 = 4,
  GROUP = 5,
  HOLD = 6,
  RESERVED = 7,  // not interpreted; kept and echoed
};

// Codes of the mode words the simulator acts on.
enum EvaluationMode : std::uint16_t {
  EVAL_FIRST_HIT = 0,
  EVAL_BEST_HIT = 1,
  EVAL_MIN_DIST = 2,
  EVAL_COL2 = 3,
  EVAL_THD_RED_GREEN = 4,
  EVAL_THD_RED_BLUE = 5,
  EVAL_THD_GREEN_BLUE = 6,
};
enum TriggerMode : std::uint16_t {
  TRIGGER_CONT = 0,
  TRIGGER_SELF = 1,
  TRIGGER_TRANS = 5,
  TRIGGER_PARA = 6,
};
constexpr std::uint16_t LED_MODE_OFF = 2;

using ParameterBlock = std::array<std::uint16_t, PARA_WORDS>;
using TeachBlock = std::array<std::uint16_t, TEACH_WORDS>;

struct ParaSet {
  ParameterBlock para;  // POWER .. ANALOG ZOOM
  TeachBlock teach;     // row r at words 8r .. 8r+7
};

// Inclusive range of a word and the default that replaces a value outside it.
struct WordRange {
  std::uint16_t min;
  std::uint16_t max;
  std::uint16_t def;
};

// The plausibility table of the ParameterBlock, one entry per word.
extern const std::array<WordRange, PARA_WORDS> kParaRanges;
// The plausibility table of one teach row, one entry per word of the row.
extern const std::array<WordRange, TEACH_ROW_WORDS> kTeachRowRanges;

ParameterBlock DefaultParameterBlock();
// A teach table with a few taught colours (rows 0..3, see measure_model.h);
// the other rows hold the reset value 1.
TeachBlock StartupTeachBlock();
ParaSet StartupParaSet();

// Replace every out-of-range word by its default; returns how many were replaced.
int CheckPlausibility(ParameterBlock& block);
int CheckPlausibility(TeachBlock& block);
int CheckPlausibility(ParaSet& set);

// Byte images, little-endian words.
void PutWords(std::uint8_t* out, const std::uint16_t* words, std::size_t count);
void GetWords(std::uint16_t* words, const std::uint8_t* in, std::size_t count);

}  // namespace sim
