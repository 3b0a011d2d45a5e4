// Axis scaling, ticks, mapping and decimation.
#include "ui/qt/graph_scale.h"

#include <algorithm>
#include <cmath>

namespace ui::qt {
namespace {

// Pixel coordinates far outside the widget are clamped: QPainter misdraws huge values.
constexpr double kPixelLimit = 1e6;

double ClampPixel(double p) { return std::clamp(p, -kPixelLimit, kPixelLimit); }

double NiceStep(double span, int maxTicks) {
  double raw = span / std::max(1, maxTicks - 1);
  double mag = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * mag >= raw * (1 - 1e-9)) return m * mag;
  }
  return 10 * mag;
}

}  // namespace

Ticks NiceTicks(AxisSpan span, int maxTicks) {
  Ticks t;
  maxTicks = std::max(2, maxTicks);
  double range = span.max - span.min;
  if (!(range > 0) || !std::isfinite(range)) return t;
  // A short axis still gets two labelled ticks: a finer step where the nice one leaves only one.
  for (int asked = maxTicks; asked <= maxTicks + 3; ++asked) {
    t.step = NiceStep(range, asked);
    t.first = std::ceil(span.min / t.step - 1e-9) * t.step;
    t.count = static_cast<int>(std::floor((span.max - t.first) / t.step + 1e-9)) + 1;
    if (t.count >= 2) break;
  }
  t.count = std::clamp(t.count, 0, maxTicks + 1);
  t.decimals = t.step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(t.step) - 1e-9));
  t.decimals = std::clamp(t.decimals, 0, 10);
  return t;
}

AxisSpan AutoSpan(double lo, double hi, int maxTicks) {
  if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) return AxisSpan{0, 10};
  if (hi - lo < 1e-12 * std::max(1.0, std::fabs(hi))) {
    double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
    lo -= pad;
    hi += pad;
  }
  // Rounded to a tenth of the extent, finer than the ticks: a tight view that still
  // changes only every few percent of growth.
  double step = NiceStep(hi - lo, std::max(10, maxTicks));
  AxisSpan s{std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step};
  if (!(s.max > s.min)) s.max = s.min + step;
  return s;
}

double PlotMap::X(double v) const {
  return ClampPixel(area.left() + (v - x.min) / (x.max - x.min) * (area.width() - 1));
}

double PlotMap::Y(double v) const {
  return ClampPixel(area.top() + (area.height() - 1) - (v - y.min) / (y.max - y.min) * (area.height() - 1));
}

double PlotMap::DataX(double px) const {
  return x.min + (px - area.left()) / std::max(1.0, area.width() - 1) * (x.max - x.min);
}

double PlotMap::DataY(double py) const {
  return y.min + (area.top() + area.height() - 1 - py) / std::max(1.0, area.height() - 1) * (y.max - y.min);
}

bool NonDecreasing(const double* x, std::size_t n) {
  for (std::size_t i = 1; i < n; ++i) {
    if (x[i] < x[i - 1]) return false;
  }
  return true;
}

void DecimateMinMax(const double* x, const double* y, std::size_t n, const PlotMap& map, std::vector<QPointF>* out) {
  out->clear();
  if (n == 0) return;
  auto xAt = [x](std::size_t i) { return x ? x[i] : static_cast<double>(i); };
  // The visible index range, one point beyond each end so lines leave the area correctly.
  std::size_t begin = 0, end = n;
  if (x) {
    begin = static_cast<std::size_t>(std::lower_bound(x, x + n, map.x.min) - x);
    end = static_cast<std::size_t>(std::upper_bound(x, x + n, map.x.max) - x);
  } else {
    begin = map.x.min <= 0 ? 0 : static_cast<std::size_t>(std::min<double>(n, std::floor(map.x.min)));
    end = map.x.max < 0 ? 0 : static_cast<std::size_t>(std::min<double>(n, std::floor(map.x.max) + 1));
  }
  if (begin > 0) --begin;
  if (end < n) ++end;
  out->reserve(std::min<std::size_t>(end - begin, static_cast<std::size_t>(map.area.width()) * 4 + 8));

  long column = 0;
  std::size_t first = 0, last = 0, lowest = 0, highest = 0;
  bool open = false;
  auto flush = [&] {
    std::size_t idx[4] = {first, lowest, highest, last};
    std::sort(idx, idx + 4);
    std::size_t prev = n;
    for (std::size_t i : idx) {
      if (i == prev) continue;
      out->emplace_back(map.X(xAt(i)), map.Y(y[i]));
      prev = i;
    }
  };
  for (std::size_t i = begin; i < end; ++i) {
    if (!std::isfinite(y[i])) continue;
    long c = static_cast<long>(std::floor(map.X(xAt(i))));
    if (!open || c != column) {
      if (open) flush();
      open = true;
      column = c;
      first = last = lowest = highest = i;
      continue;
    }
    last = i;
    if (y[i] < y[lowest]) lowest = i;
    if (y[i] > y[highest]) highest = i;
  }
  if (open) flush();
}

}  // namespace ui::qt
