// Axis scaling, tick placement, data-to-pixel mapping and min/max decimation
// for the graph and strip-chart widgets. No widgets here: plain functions.
#pragma once

#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <vector>

namespace ui::qt {

struct AxisSpan {
  double min = 0;  // data value at the low end
  double max = 1;  // data value at the high end (> min)
};

struct Ticks {
  double first = 0;  // first tick value, >= the span's min
  double step = 1;   // distance between ticks: 1, 2 or 5 times a power of ten
  int count = 0;     // ticks inside the span
  int decimals = 0;  // digits after the point that tell the ticks apart
};

// Ticks for `span`, at most `maxTicks` of them (at least 2 are asked for).
Ticks NiceTicks(AxisSpan span, int maxTicks);

// The span an autoscaled axis shows for data from `lo` to `hi`: rounded out to
// a step of about a tenth of the extent (or finer when more ticks are asked
// for), so that it changes only when data crosses such a step, not on every new
// point; a flat or empty extent is widened.
AxisSpan AutoSpan(double lo, double hi, int maxTicks);

// Maps data coordinates into a pixel rectangle (y grows upwards in data).
struct PlotMap {
  AxisSpan x;      // data span across
  AxisSpan y;      // data span up
  QRectF area;     // pixel rectangle the spans fill
  double X(double v) const;
  double Y(double v) const;
  double DataX(double px) const;
  double DataY(double py) const;
};

// Reduces a polyline to at most four points per pixel column (the first, lowest,
// highest and last of the column, in their order), which draws the same picture
// as the full line. `x` may be null: then x is the index. x must not decrease.
// Only the part inside the map's x span (and one point beyond each end) is kept.
void DecimateMinMax(const double* x, const double* y, std::size_t n, const PlotMap& map, std::vector<QPointF>* out);

// Whether x never decreases (decimation needs it).
bool NonDecreasing(const double* x, std::size_t n);

}  // namespace ui::qt
