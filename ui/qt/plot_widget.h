// The painted base of graphs and strip charts: the frame around the plot
// area, the axes with their ticks, tick labels and names.
//
// Plot widgets read the model when they paint; the view only asks them to
// repaint when their control's rev changed. The frame is kept as an image and
// painted again only when its size, spans, names or colours change.
//
// In a scaled window everything is painted at the window's factor: margins,
// fonts, tick spacing and line widths, so a chart twice the size shows the same
// picture with twice the pixels. Images are made at the screen's device pixels.
#pragma once

#include <QImage>
#include <QWidget>

#include <string>

#include "ui/model.h"
#include "ui/qt/graph_scale.h"

namespace ui::qt {

class PlotWidget : public QWidget {
 public:
  PlotWidget(int panel, int id, const Control* source, QWidget* parent);
  int Panel() const { return panel_; }
  int Id() const { return id_; }

 protected:
  // The model control, or nullptr when it is gone or replaced (then nothing is painted).
  const Control* Source() const;
  // Lays out the plot area for the spans and paints the frame (from its cache).
  PlotMap PaintFrame(QPainter& p, const Control& c, AxisSpan x, AxisSpan y);
  // The plot area for the current size, before spans are known (for the tick count).
  QRect RoughArea() const;
  int MaxTicks(bool vertical, int pixels) const;
  // Takes the window's factor; every paint starts with it.
  void TakeScale();
  // Pixels of a length given in panel units, and the width of plotted lines.
  int Px(double units) const;
  qreal LineWidth() const { return scale_; }

 private:
  struct FrameKey {
    QSize size;                 // widget size
    double x0 = 0, x1 = 0;      // x span
    double y0 = 0, y1 = 0;      // y span
    std::string xName, yName;   // axis names
    int frame = -1, text = -1;  // frame colour, text colour
    int plotBg = -1;            // plot background colour
    bool enabled = true;        // dimmed frames are drawn greyed
    double scale = 1;           // window factor
    qreal dpr = 1;              // device pixels per pixel
    bool operator==(const FrameKey&) const = default;
  };
  void RenderFrame(const FrameKey& key, const PlotMap& map);
  PlotMap Layout(const Control& c, AxisSpan x, AxisSpan y) const;

  int panel_;              // panel handle
  int id_;                 // control id
  const Control* source_;  // model control this widget shows
  FrameKey frameKey_;      // what frameImage_ was painted for
  QImage frameImage_;      // frame, axes and labels, without plots
  QFont axisFont_;         // tick labels and names, at the window's factor
  double scale_ = 0;       // window factor axisFont_ was made for
};

}  // namespace ui::qt
