// Graphs: the model's plots and cursors painted with QPainter.
//
// Plots are painted into a cached image of the plot area. The model only ever
// appends plots (handles grow), so when the spans and size are unchanged and
// the plots already painted are still the first ones of the list, only the
// new plots are painted onto the image: a graph that receives one point per
// frame costs one point per frame, however many it holds. Cursors, the zoom
// rectangle and the frame are painted over it on every repaint.
#pragma once

#include <QImage>

#include "ui/qt/plot_widget.h"

namespace ui::qt {

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
  // Bounding box of the data over a prefix of the plots, grown as plots come.
  struct Extent {
    std::size_t count = 0;        // plots counted
    int firstHandle = 0;          // handle of plots[0] when counted
    int lastHandle = 0;           // handle of plots[count - 1]
    double xlo = 0, xhi = 0;      // data extent across
    double ylo = 0, yhi = 0;      // data extent up
    bool any = false;             // some finite value was seen
  };
  struct Cache {
    QImage image;                 // plot area, transparent where nothing is painted
    AxisSpan x, y;                // spans it was painted for
    std::size_t count = 0;        // plots painted into it
    int firstHandle = 0;          // handle of plots[0] when painted
    int lastHandle = 0;           // handle of plots[count - 1]
  };
  void Spans(const GraphData& g, AxisSpan* x, AxisSpan* y);
  void GrowExtent(const GraphData& g);
  void UpdateCache(const GraphData& g, const PlotMap& map);
  void PaintPlots(const GraphData& g, std::size_t from, const PlotMap& local);
  void PaintCursors(QPainter& p, const GraphData& g, const PlotMap& map);
  int CursorNear(const GraphData& g, QPointF at) const;
  void MoveCursorTo(QPointF at, bool release);

  Extent extent_;               // autoscale extent
  Cache cache_;                 // painted plots
  PlotMap lastMap_;             // mapping of the last paint, for the mouse
  long plotsPainted_ = 0;       // plots painted into the cache so far
  int dragCursor_ = 0;          // cursor being dragged (1-based), 0 = none
  bool zooming_ = false;        // a Ctrl+drag is in progress
  QPoint zoomFrom_, zoomTo_;    // the zoom rectangle's corners in pixels
  bool zoomed_ = false;         // the view shows zoomX_, zoomY_
  AxisSpan zoomX_, zoomY_;      // spans of the zoomed view
  AxisData zoomedFromX_, zoomedFromY_;  // model axes when zoomed; a program change ends the zoom
};

}  // namespace ui::qt
