// Graphs: the model's plots and cursors painted with QPainter.
//
// Plots are painted into a cached image of the plot area. The model only ever
// appends plots (handles grow), so when the spans and size are unchanged and
// the plots already painted are still the first ones of the list, only the
// new plots are painted onto the image: a graph that receives one point per
// frame costs one point per frame, however many it holds. When the image must
// be painted again (a new range, a resize) the plots come from a compact
// mirror kept beside it, not from the model's scattered plot objects. Cursors,
// the zoom rectangle and the frame are painted over it on every repaint.
#pragma once

#include <QImage>

#include <vector>

#include "ui/qt/plot_widget.h"

namespace ui::qt {

// Pixel patterns of the point styles, written straight into a graph's image. At a size
// of 1 (design size, one device pixel per pixel) a square is 3 x 3 pixels, a circle 5
// across, a cross 5 x 5 and a dot one pixel; larger sizes grow them alike.
struct Markers {
  struct Offset {
    short dx, dy;  // device pixels from the marker's centre
  };
  double size = 0;                                  // device pixels per design pixel
  std::vector<Offset> square, circle, dot, cross;   // the patterns at `size`
  void Make(double size);
};

// The graph's compact segment chains (ui/qt/segment_paint.cpp).
void PaintSegmentChains(QPainter& p, const GraphData& g, const PlotMap& map, qreal lineWidth);

class GraphWidget : public PlotWidget {
 public:
  GraphWidget(int panel, int id, const Control* source, QWidget* parent);
  // Plots painted into the cache since the widget was made (tests watch the caching with it).
  long PlotsPainted() const { return plotsPainted_; }
  // Whether the operator zoomed in (Ctrl+drag) and the view shows less than the axes.
  bool Zoomed() const { return zoomed_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  // A compact copy of one plot: points and two-point segments (nearly all plots
  // of a busy graph) carry their data, so repainting them walks one array
  // instead of 60000 scattered model objects.
  struct Mark {
    double x0 = 0, y0 = 0;        // the point, or the segment's start
    double x1 = 0, y1 = 0;        // the segment's end
    int color = 0;                // 0xRRGGBB
    short kind = 0;               // kPoint, kSegment, or kOther: read the model's plot
    short style = 0;              // point style
  };
  // The plots seen so far, mirrored in order, with the extent of their data.
  struct Mirror {
    std::vector<Mark> marks;      // plots[0 .. marks.size()) as marks
    int firstHandle = 0;          // handle of plots[0] when mirrored
    int lastHandle = 0;           // handle of the last mirrored plot
    long generation = 0;          // raised whenever the mirror starts over
    double xlo = 0, xhi = 0;      // data extent across
    double ylo = 0, yhi = 0;      // data extent up
    bool any = false;             // some finite value was seen
  };
  struct Cache {
    QImage image;                 // plot area at device pixels, transparent where nothing is painted
    double scale = 0;             // window factor it was painted at
    AxisSpan x, y;                // spans it was painted for
    std::size_t count = 0;        // marks painted into it
    long generation = -1;         // mirror generation it was painted from
  };
  void GrowMirror(const GraphData& g);
  void Spans(const GraphData& g, AxisSpan* x, AxisSpan* y);
  void UpdateCache(const GraphData& g, const PlotMap& map);
  void PaintPlots(const GraphData& g, std::size_t from, const PlotMap& local);
  void PaintCursors(QPainter& p, const GraphData& g, const PlotMap& map);
  int CursorNear(const GraphData& g, QPointF at) const;
  void MoveCursorTo(QPointF at, bool release);
  // The plotted point nearest to `at` on the screen; false when the graph has none.
  bool NearestMark(QPointF at, double* x, double* y) const;

  Mirror mirror_;               // the plots seen, and their extent for autoscaling
  Cache cache_;                 // painted plots
  Markers markers_;             // point patterns at the cache's size
  PlotMap lastMap_;             // mapping of the last paint, for the mouse
  long plotsPainted_ = 0;       // plots painted into the cache so far
  int dragCursor_ = 0;          // cursor being dragged (1-based), 0 = none
  bool zooming_ = false;        // a Ctrl+drag is in progress
  QPoint zoomFrom_, zoomTo_;    // the zoom rectangle's corners in pixels
  bool zoomed_ = false;         // the view shows zoomX_, zoomY_
  AxisSpan zoomX_, zoomY_;      // spans of the zoomed view
  uint64_t zoomedAxisSets_ = 0;  // the model's axis count when zoomed; the program setting an axis ends the zoom
};

}  // namespace ui::qt
