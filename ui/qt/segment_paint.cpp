// The compact segment chains of a graph (PlotLineSegment), painted decimated.
#include <QPainter>

#include <climits>
#include <cmath>
#include <vector>

#include "ui/qt/graph_widget.h"
#include "ui/qt/view.h"

namespace ui::qt {

// Each chain is one polyline. Consecutive points in one pixel column become that
// column's first, lowest, highest and last point, so a chain of 100000 points
// costs at most four points per column of the plot area.
void PaintSegmentChains(QPainter& p, const GraphData& g, const PlotMap& map, qreal lineWidth) {
  p.setRenderHint(QPainter::Antialiasing, false);
  std::vector<QPointF> pts;
  for (const SegmentChain& chain : g.chains) {
    const std::size_t n = chain.Points();
    if (n == 0) continue;
    p.setPen(QPen(Rgb(chain.color), lineWidth));
    pts.clear();
    long column = LONG_MIN;
    QPointF first, low, high, last;
    std::size_t lowAt = 0, highAt = 0;
    auto flush = [&] {
      if (column == LONG_MIN) return;
      pts.push_back(first);
      if (lowAt < highAt) {
        pts.push_back(low);
        pts.push_back(high);
      } else {
        pts.push_back(high);
        pts.push_back(low);
      }
      pts.push_back(last);
    };
    for (std::size_t i = 0; i < n; ++i) {
      const QPointF at(map.X(chain.xy[2 * i]), map.Y(chain.xy[2 * i + 1]));
      const long col = static_cast<long>(std::floor(at.x()));
      if (col != column) {
        flush();
        column = col;
        first = low = high = last = at;
        lowAt = highAt = i;
        continue;
      }
      if (at.y() < low.y()) {
        low = at;
        lowAt = i;
      }
      if (at.y() > high.y()) {
        high = at;
        highAt = i;
      }
      last = at;
    }
    flush();
    p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
  }
}

}  // namespace ui::qt
