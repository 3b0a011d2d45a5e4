// The simulated target and the sensor's colour evaluation.
//
// The target is a colour on the 12-bit scale (0..4095 per channel) that stays,
// drifts between colours or steps between them, frame by frame, with uniform
// noise from a seeded generator: the same seed and the same order of calls
// give the same records.
//
// Colour position per CALCULATION MODE (from the calibrated colour):
//   X Y INT: X = 4095 R / (R+G+B), Y = 4095 G / (R+G+B), INT = (R+G+B) / 3
//   s i M:   s = 10000 (max-min) / max      (saturation, 0..10000)
//            i = hue in degrees * 5000/360  (0..5000, red = 0)
//            M = 1200 (R+G+B) / (3*4095)    (0..1200)
//
// Evaluation over the first MAX VEC NO teach rows (2D modes: centre CELL 0/1,
// colour radius CELL 2, intensity CELL 3 +- CELL 4; 3D modes: centre
// CELL 0/1/2, radius CELL 3):
//   FIRST HIT  first row hit; none: 255 and delta C = distance to the last
//              enabled row
//   BEST HIT   the hit row with the shortest distance; none: 255, delta C -1
//   MIN DIST   the nearest centre among the rows whose intensity band holds
//              the intensity (3D: among all rows); none: 255, delta C -1
//   COL2       rows 0 and 1 tested on their own: OUT0 = row 0 hit (bit 0),
//              OUT1 = row 1 hit (bit 1); delta C = the nearer hit, or -1
//   THD x y    OUT0 = channel x > CELL 0 of row 0, OUT1 = channel y > CELL 0
//              of row 1 (calibrated channels); delta C -1
// An intensity below INTLIM gives colour 255, group 255, delta C -1 in every
// mode. Group: GROUP of the hit row with COLOR GROUP on, else the colour
// number; with EVALUATION MODE above 2 the group is the colour number.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/sensor_data.h"

namespace sim {

struct Rgb {
  std::uint16_t r;  // 0..4095
  std::uint16_t g;
  std::uint16_t b;
};
inline bool operator==(const Rgb& x, const Rgb& y) { return x.r == y.r && x.g == y.g && x.b == y.b; }

// X, Y, INT or s, i, M.
struct Position {
  std::uint16_t a;
  std::uint16_t b;
  std::uint16_t c;
};

// The colours the start-up teach table knows (rows 0..3): a neutral beige,
// a red, a green and a blue.
const std::vector<Rgb>& DefaultPalette();

// Colour position of `colour` in CALCULATION MODE `calcMode` (0..3).
Position ColourPosition(Rgb colour, std::uint16_t calcMode);

struct Evaluation {
  std::int16_t deltaC;   // distance to the colour hit, -1 when none
  std::uint16_t colorNo; // row hit, 255 = failure; above EVALUATION MODE 2: OUT0 | OUT1 << 1
  std::uint16_t groupNo; // group hit, 255 = failure
};

// Teach-table evaluation of one measurement (position and calibrated colour).
Evaluation EvaluateColour(const ParameterBlock& para, const TeachBlock& teach, Position pos, Rgb calibrated);

enum class Motion {
  Fixed,  // colours[0] all the time
  Drift,  // linear from each colour to the next in `period` frames, cyclic
  Step,   // each colour for `period` frames, cyclic
};

struct TargetConfig {
  Motion motion = Motion::Fixed;  // how the colour moves
  std::vector<Rgb> colours;       // empty = DefaultPalette()
  int period = 200;               // frames per step or per drift leg (>= 1)
  int noise = 6;                  // uniform noise, +- counts per channel
};

// The receiver channels and what the sensor does about them. A channel reads
// light * gain / 1024 + dark; the sensor reports raw = reading - offset (its
// stored offset compensation) and calibrated = raw * factor / 1024.
struct Calibration {
  std::array<std::uint16_t, 3> factor{1024, 1024, 1024};  // white-calibration factors
  std::array<std::uint16_t, 3> offset{0, 0, 0};           // stored offsets (orders 100, 101 p 1)
  std::array<std::uint16_t, 3> gain{1024, 1024, 1024};    // channel sensitivity, 1024 = 1.0
  std::array<std::uint16_t, 3> dark{0, 0, 0};             // reading without light
};

constexpr std::size_t MEASURED_WORDS = 23;

// Word indexes of a measured-value record.
enum MeasuredWord : std::size_t {
  MV_RED = 0,
  MV_GREEN = 1,
  MV_BLUE = 2,
  MV_X = 3,
  MV_Y = 4,
  MV_INT = 5,
  MV_DELTA_C = 6,
  MV_COLOR_NO = 7,
  MV_GROUP_NO = 8,
  MV_TRIGGER = 9,
  MV_TEMP = 10,
  MV_RAW_RED = 11,
  MV_RAW_GREEN = 12,
  MV_RAW_BLUE = 13,
  MV_MINMAX = 14,  // min R, max R, min G, max G, min B, max B over the last 32 frames
  MV_SIMREF = 20,  // s, i, M taken at the first frame and at each rising edge of IN0
};

class MeasureModel {
 public:
  explicit MeasureModel(std::uint32_t seed = 1, TargetConfig target = {});

  void SetTarget(TargetConfig target);
  const TargetConfig& Target() const { return target_; }
  // Restarts the noise generator and the frame count.
  void Reseed(std::uint32_t seed);
  // The target's colour at the current frame, before noise.
  Rgb TargetColour() const;

  // One record of `words` words (at least 23; the words after 22 are 0) from
  // the active parameter set; advances the target by one frame.
  std::vector<std::uint16_t> NextRecord(const ParaSet& active, const Calibration& cal, bool in0,
                                        std::size_t words = MEASURED_WORDS);
  std::uint64_t FrameCount() const { return frame_; }

 private:
  int Noise();
  Rgb RawColour(const ParameterBlock& para, const Calibration& cal, bool in0);

  TargetConfig target_;              // colours, motion and noise
  std::uint64_t rng_;                // xorshift64 state
  std::uint64_t frame_ = 0;          // records produced since the last reseed
  std::array<Rgb, 32> recent_{};     // calibrated colours of the last 32 frames (ring)
  std::size_t recentCount_ = 0;      // valid entries in recent_
  bool lastIn0_ = false;             // IN0 at the previous frame
  Position simRef_{};                // s, i, M reference
};

}  // namespace sim
