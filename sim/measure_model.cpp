#include "sim/measure_model.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

constexpr int kFull = 4095;

std::uint16_t Clamp12(long v) { return static_cast<std::uint16_t>(std::clamp<long>(v, 0, kFull)); }

std::int16_t DeltaWord(double d) { return static_cast<std::int16_t>(std::min(std::lround(d), 32767L)); }

const std::uint16_t* Row(const TeachBlock& teach, std::size_t r) { return &teach[r * TEACH_ROW_WORDS]; }

bool Is3D(std::uint16_t calcMode) { return calcMode >= 2; }

// Colour distance of `pos` to the row's centre: 2D in the colour plane,
// 3D including the intensity.
double Distance(const std::uint16_t* row, Position pos, bool d3) {
  double da = double(pos.a) - row[CELL0];
  double db = double(pos.b) - row[CELL1];
  double dc = d3 ? double(pos.c) - row[CELL2] : 0.0;
  return std::sqrt(da * da + db * db + dc * dc);
}

bool IntensityInBand(const std::uint16_t* row, Position pos) {
  return std::abs(long(pos.c) - long(row[CELL3])) <= long(row[CELL4]);
}

bool Hit(const std::uint16_t* row, Position pos, bool d3) {
  if (d3) return Distance(row, pos, true) <= row[CELL3];
  return Distance(row, pos, false) <= row[CELL2] && IntensityInBand(row, pos);
}

Evaluation Failure(std::int16_t deltaC = -1) { return Evaluation{deltaC, 255, 255}; }

// FIRST HIT, BEST HIT and MIN DIST: a row number or 255.
Evaluation EvaluateRows(const ParameterBlock& para, const TeachBlock& teach, Position pos) {
  const bool d3 = Is3D(para[CALCULATION_MODE]);
  const std::size_t rows = std::clamp<std::size_t>(para[MAX_VEC_NO], 1, TEACH_ROWS);
  const std::uint16_t mode = para[EVALUATION_MODE];
  int best = -1;
  double bestDist = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::uint16_t* row = Row(teach, r);
    bool candidate = mode == EVAL_MIN_DIST ? (d3 || IntensityInBand(row, pos)) : Hit(row, pos, d3);
    if (!candidate) continue;
    double d = Distance(row, pos, d3);
    if (best < 0 || d < bestDist) {
      best = static_cast<int>(r);
      bestDist = d;
    }
    if (mode == EVAL_FIRST_HIT) break;
  }
  if (best < 0) {
    if (mode == EVAL_FIRST_HIT) return Failure(DeltaWord(Distance(Row(teach, rows - 1), pos, d3)));
    return Failure();
  }
  const std::uint16_t* row = Row(teach, static_cast<std::size_t>(best));
  auto no = static_cast<std::uint16_t>(best);
  return Evaluation{DeltaWord(bestDist), no, para[COLOR_GROUP] ? row[GROUP] : no};
}

// COL2 and the THD modes: OUT0 in bit 0, OUT1 in bit 1.
Evaluation EvaluateOutputs(const ParameterBlock& para, const TeachBlock& teach, Position pos, Rgb cal) {
  const std::uint16_t mode = para[EVALUATION_MODE];
  bool out0 = false, out1 = false;
  std::int16_t deltaC = -1;
  if (mode == EVAL_COL2) {
    const bool d3 = Is3D(para[CALCULATION_MODE]);
    double nearest = -1;
    for (std::size_t r = 0; r < 2; ++r) {
      if (!Hit(Row(teach, r), pos, d3)) continue;
      (r == 0 ? out0 : out1) = true;
      double d = Distance(Row(teach, r), pos, d3);
      if (nearest < 0 || d < nearest) nearest = d;
    }
    if (nearest >= 0) deltaC = DeltaWord(nearest);
  } else {
    std::uint16_t first = mode == EVAL_THD_GREEN_BLUE ? cal.g : cal.r;
    std::uint16_t second = mode == EVAL_THD_RED_GREEN ? cal.g : cal.b;
    out0 = first > Row(teach, 0)[CELL0];
    out1 = second > Row(teach, 1)[CELL0];
  }
  auto bits = static_cast<std::uint16_t>((out0 ? 1 : 0) | (out1 ? 2 : 0));
  return Evaluation{deltaC, bits, bits};
}

}  // namespace

const std::vector<Rgb>& DefaultPalette() {
  static const std::vector<Rgb> palette = {
      {2000, 1500, 1000},  // beige
      {3000, 800, 600},    // red
      {900, 2600, 1100},   // green
      {700, 1000, 2800},   // blue
  };
  return palette;
}

Position ColourPosition(Rgb c, std::uint16_t calcMode) {
  const long sum = long(c.r) + c.g + c.b;
  if (calcMode == 0 || calcMode == 2) {
    if (sum == 0) return Position{0, 0, 0};
    return Position{static_cast<std::uint16_t>(kFull * long(c.r) / sum),
                    static_cast<std::uint16_t>(kFull * long(c.g) / sum), static_cast<std::uint16_t>(sum / 3)};
  }
  const long mx = std::max({long(c.r), long(c.g), long(c.b)});
  const long mn = std::min({long(c.r), long(c.g), long(c.b)});
  const auto m = static_cast<std::uint16_t>(1200 * sum / (3 * kFull));
  if (mx == 0 || mx == mn) return Position{0, 0, m};
  const long span = mx - mn;
  // Hue in 1/1000 degree, 0..360000.
  long hue;
  if (mx == c.r) {
    hue = 60000 * (long(c.g) - c.b) / span;
    if (hue < 0) hue += 360000;
  } else if (mx == c.g) {
    hue = 120000 + 60000 * (long(c.b) - c.r) / span;
  } else {
    hue = 240000 + 60000 * (long(c.r) - c.g) / span;
  }
  return Position{static_cast<std::uint16_t>(10000 * span / mx), static_cast<std::uint16_t>(hue * 5000 / 360000), m};
}

Evaluation EvaluateColour(const ParameterBlock& para, const TeachBlock& teach, Position pos, Rgb calibrated) {
  if (pos.c < para[INTLIM]) return Failure();
  if (para[EVALUATION_MODE] <= EVAL_MIN_DIST) return EvaluateRows(para, teach, pos);
  return EvaluateOutputs(para, teach, pos, calibrated);
}

// [SECTION] Target

MeasureModel::MeasureModel(std::uint32_t seed, TargetConfig target) : target_(std::move(target)), rng_(0) {
  SetTarget(target_);
  Reseed(seed);
}

void MeasureModel::SetTarget(TargetConfig target) {
  if (target.colours.empty()) target.colours = DefaultPalette();
  target.period = std::max(target.period, 1);
  target.noise = std::clamp(target.noise, 0, kFull);
  target_ = std::move(target);
}

void MeasureModel::Reseed(std::uint32_t seed) {
  rng_ = 0x9E3779B97F4A7C15ull ^ (std::uint64_t(seed) * 0xBF58476D1CE4E5B9ull);
  if (rng_ == 0) rng_ = 1;
  frame_ = 0;
  recentCount_ = 0;
  lastIn0_ = false;
  simRef_ = Position{};
}

int MeasureModel::Noise() {
  rng_ ^= rng_ << 13;
  rng_ ^= rng_ >> 7;
  rng_ ^= rng_ << 17;
  if (target_.noise == 0) return 0;
  const auto span = static_cast<std::uint64_t>(2 * target_.noise + 1);
  return static_cast<int>(rng_ % span) - target_.noise;
}

Rgb MeasureModel::TargetColour() const {
  const auto& cs = target_.colours;
  const std::uint64_t n = cs.size();
  const auto period = static_cast<std::uint64_t>(target_.period);
  switch (target_.motion) {
    case Motion::Fixed:
      return cs[0];
    case Motion::Step:
      return cs[(frame_ / period) % n];
    case Motion::Drift: {
      const std::uint64_t t = frame_ % (n * period);
      const Rgb& from = cs[t / period];
      const Rgb& to = cs[(t / period + 1) % n];
      const auto k = static_cast<long>(t % period);
      const auto p = static_cast<long>(period);
      auto mix = [&](long x, long y) { return Clamp12(x + (y - x) * k / p); };
      return Rgb{mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
    }
  }
  return cs[0];
}

// The receiver's signal: the target lit at POWER (500 = the target as set),
// only noise when the light source is off or, with TRIGGER TRANS, IN0 is low.
Rgb MeasureModel::RawColour(const ParameterBlock& para, const Calibration& cal, bool in0) {
  const bool dark = para[LED_MODE] == LED_MODE_OFF || (para[TRIGGER] == TRIGGER_TRANS && !in0);
  const Rgb t = TargetColour();
  // Dynamic power regulation holds the signal where the target puts it.
  const long power = para[POWER_MODE] == 1 ? 500 : para[POWER];
  auto channel = [&](std::uint16_t v, int k) {
    const int n = Noise();
    const long base = long(cal.dark[k]) - long(cal.offset[k]);
    if (dark) return Clamp12(base + std::abs(n));
    return Clamp12(long(v) * power / 500 * cal.gain[k] / 1024 + base + n);
  };
  std::uint16_t r = channel(t.r, 0);
  std::uint16_t g = channel(t.g, 1);
  std::uint16_t b = channel(t.b, 2);
  return Rgb{r, g, b};
}

// [SECTION] Record

std::vector<std::uint16_t> MeasureModel::NextRecord(const ParaSet& active, const Calibration& cal, bool in0,
                                                     std::size_t words) {
  const ParameterBlock& para = active.para;
  std::vector<std::uint16_t> w(std::max(words, MEASURED_WORDS), 0);
  const Rgb raw = RawColour(para, cal, in0);
  const Rgb c{Clamp12(long(raw.r) * cal.factor[0] / 1024), Clamp12(long(raw.g) * cal.factor[1] / 1024),
              Clamp12(long(raw.b) * cal.factor[2] / 1024)};
  const Position pos = ColourPosition(c, para[CALCULATION_MODE]);
  const Evaluation ev = EvaluateColour(para, active.teach, pos, c);

  if (frame_ == 0 || (in0 && !lastIn0_)) simRef_ = ColourPosition(c, 1);
  lastIn0_ = in0;
  recent_[frame_ % recent_.size()] = c;
  recentCount_ = std::min(recentCount_ + 1, recent_.size());
  Rgb lo = c, hi = c;
  for (std::size_t i = 0; i < recentCount_; ++i) {
    const Rgb& x = recent_[i];
    lo = Rgb{std::min(lo.r, x.r), std::min(lo.g, x.g), std::min(lo.b, x.b)};
    hi = Rgb{std::max(hi.r, x.r), std::max(hi.g, x.g), std::max(hi.b, x.b)};
  }

  const bool triggered = para[TRIGGER] == TRIGGER_SELF ? ev.colorNo != 0 : in0;
  const std::uint16_t values[MEASURED_WORDS] = {
      c.r, c.g, c.b, pos.a, pos.b, pos.c,
      static_cast<std::uint16_t>(ev.deltaC), ev.colorNo, ev.groupNo,
      static_cast<std::uint16_t>(triggered ? 1 : 0),
      static_cast<std::uint16_t>(34 + (frame_ / 256) % 3),  // degrees Celsius, slowly wandering
      raw.r, raw.g, raw.b,
      lo.r, hi.r, lo.g, hi.g, lo.b, hi.b,
      simRef_.a, simRef_.b, simRef_.c,
  };
  std::copy(values, values + MEASURED_WORDS, w.begin());
  ++frame_;
  return w;
}

}  // namespace sim
