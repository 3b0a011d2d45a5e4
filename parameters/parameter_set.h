// The ParameterSet record: the sensor's twenty parameters (ParameterBlock) followed
// by its teach table of 31 rows (TeachBlock), all unsigned 16-bit words.
//
// Byte images as they travel to and from the sensor, little-endian, no padding:
//
//   ParameterBlock  40 bytes   word w at byte 2*w (POWER = word 0 ... ANALOG ZOOM = word 19)
//   TeachBlock     496 bytes   row r at byte 16*r, 8 words per row:
//                              CELL 0..4, GROUP, HOLD, reserved
//
// The reserved word 7 of a row is never shown or filed; it keeps what the sensor
// sent last and goes back to it unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One row of the teach table, 8 words.
struct TeachVector {
  std::uint16_t Cell[5];   // CELL 0..4; meaning depends on CALCULATION / EVALUATION MODE
  std::uint16_t Group;     // colour group of the row
  std::uint16_t Hold;      // minimum pulse length of the digital outputs for this row
  std::uint16_t Reserved;  // word 7: last value from the sensor, sent back unchanged
};

constexpr int PARAMETER_BLOCK_WORDS = 20;  // words of the ParameterBlock
constexpr int TEACH_VECTOR_COUNT = 31;     // rows 0..30 of the TeachBlock
constexpr int TEACH_VECTOR_WORDS = 8;      // words per TeachVector
constexpr int TEACH_BLOCK_WORDS = TEACH_VECTOR_COUNT * TEACH_VECTOR_WORDS;     // 248
constexpr int PARAMETER_SET_WORDS = PARAMETER_BLOCK_WORDS + TEACH_BLOCK_WORDS;  // 268
constexpr std::size_t PARAMETER_BLOCK_BYTES = 2 * PARAMETER_BLOCK_WORDS;  // 40
constexpr std::size_t TEACH_BLOCK_BYTES = 2 * TEACH_BLOCK_WORDS;          // 496

// The PC's copy of one of the sensor's parameter sets; the two blocks are contiguous.
struct ParameterSetRecord {
  std::uint16_t ParameterBlock[PARAMETER_BLOCK_WORDS];  // indexed by the PARA_ constants
  TeachVector TeachBlock[TEACH_VECTOR_COUNT];           // teach rows 0..30
};

static_assert(sizeof(TeachVector) == 2 * TEACH_VECTOR_WORDS, "TeachVector must be 8 packed words");
static_assert(sizeof(ParameterSetRecord) == 2 * PARAMETER_SET_WORDS, "ParameterSet must be 268 packed words");
static_assert(offsetof(ParameterSetRecord, TeachBlock) == PARAMETER_BLOCK_BYTES, "TeachBlock follows at once");

// Word indices of the ParameterBlock, named as the parameter file keys.
constexpr int PARA_POWER = 0;
constexpr int PARA_POWER_MODE = 1;
constexpr int PARA_AVERAGE = 2;
constexpr int PARA_EVALUATION_MODE = 3;
constexpr int PARA_HOLD_FAIL = 4;
constexpr int PARA_INTLIM = 5;
constexpr int PARA_MAX_VEC_NO = 6;
constexpr int PARA_DIGITAL_OUTMODE = 7;
constexpr int PARA_TRIGGER = 8;
constexpr int PARA_EXTERN_TEACH = 9;
constexpr int PARA_CALCULATION_MODE = 10;
constexpr int PARA_DYNWIN_LO = 11;
constexpr int PARA_DYNWIN_HI = 12;
constexpr int PARA_COLOR_GROUP = 13;
constexpr int PARA_LED_MODE = 14;
constexpr int PARA_GAIN = 15;
constexpr int PARA_INTEGRAL = 16;
constexpr int PARA_ANALOG_OUTMODE = 17;
constexpr int PARA_ANALOG_OUT = 18;
constexpr int PARA_ANALOG_ZOOM = 19;

// Parameter file keys (section PARAMETER) in word order.
inline constexpr const char* ParameterKeys[PARAMETER_BLOCK_WORDS] = {
    "POWER",          "POWER MODE", "AVERAGE",   "EVALUATION MODE", "HOLD FAIL",
    "INTLIM",         "MAX VEC NO", "DIGITAL OUTMODE", "TRIGGER",   "EXTERN TEACH",
    "CALCULATION MODE", "DYNWIN LO", "DYNWIN HI", "COLOR GROUP",    "LED MODE",
    "GAIN",           "INTEGRAL",   "ANALOG OUTMODE", "ANALOG OUT", "ANALOG ZOOM"};

// Value the parameter file reader gives a parameter it cannot read, in word order.
inline constexpr std::uint16_t ParameterDefaults[PARAMETER_BLOCK_WORDS] = {
    500, 0, 1, 1, 10, 0, 1, 0, 0, 0, 0, 3200, 3300, 0, 0, 5, 1, 1, 0, 0};

// Values the parameter file reader gives teach row words it cannot read.
constexpr std::uint16_t TEACH_CELL_DEFAULT = 1;    // each of CELL 0..4
constexpr std::uint16_t TEACH_GROUP_DEFAULT = 0;   // GROUP
constexpr std::uint16_t TEACH_HOLD_DEFAULT = 10;   // HOLD

// ParameterBlock as its 40-byte little-endian image, and back.
void ParameterBlockToBytes(const ParameterSetRecord& set, std::uint8_t out[PARAMETER_BLOCK_BYTES]);
void ParameterBlockFromBytes(const std::uint8_t in[PARAMETER_BLOCK_BYTES], ParameterSetRecord* set);

// TeachBlock as its 496-byte little-endian image, and back (word 7 of each row included).
void TeachBlockToBytes(const ParameterSetRecord& set, std::uint8_t out[TEACH_BLOCK_BYTES]);
void TeachBlockFromBytes(const std::uint8_t in[TEACH_BLOCK_BYTES], ParameterSetRecord* set);

// ParameterBlock to and from the first 20 words of a word array such as SendWords.
void ParameterBlockToWords(const ParameterSetRecord& set, std::uint16_t* words);
void ParameterBlockFromWords(const std::uint16_t* words, ParameterSetRecord* set);

// TeachBlock to and from the first 248 words of a word array such as SendWords.
void TeachBlockToWords(const ParameterSetRecord& set, std::uint16_t* words);
void TeachBlockFromWords(const std::uint16_t* words, ParameterSetRecord* set);

// One value that differs between two parameter sets, named by its parameter file key:
// "POWER", "TEACH VECTOR 7 CELL 2", "TEACH VECTOR 7 GROUP", "TEACH VECTOR 7 HOLD".
struct ParameterDifference {
  int word;              // the word in the set: 0..19 the ParameterBlock, 20 + 8 * row + w a teach row's word w
  std::string key;
  std::uint16_t first;   // the value in the first set
  std::uint16_t second;  // the value in the second set
};

// The values of `a` and `b` that differ, in file order (the twenty parameters, then the teach
// rows' CELL 0..4, GROUP and HOLD); word 7 of the rows, which is never filed, is left out.
std::vector<ParameterDifference> CompareParameterSets(const ParameterSetRecord& a, const ParameterSetRecord& b);
