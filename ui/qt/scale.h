// Panel units to widget pixels.
//
// The model keeps the design layout of every panel (panel units). A window made
// larger than the design size of its top-level panel shows everything in it
// larger by one factor: positions, sizes, fonts and line widths of the panel,
// its tab pages and its child panels alike. The layout keeps its shape and lies
// centred in the window; the rest is the panel's background. A window smaller
// than the design shows the layout at its design size from the top left corner.
//
// The factor of each window is worked out here and kept by its panel widgets;
// the view maps through it, and painted widgets ask for it with ScaleOf. Input
// needs no mapping back: widgets lie where they are seen, and graphs turn their
// own pixels into data. The device pixel ratio of the screen applies on top.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace ui::qt {

struct Scale {
  double factor = 1;  // widget pixels per panel unit, never below 1
  QPoint origin;      // where the layout's top left corner lies in the panel widget (top-level panels)

  // A length in panel units, in pixels.
  int Px(double units) const;
  // A rectangle in panel units, in pixels. Each edge is rounded on its own, so that
  // controls meeting in the layout meet on the screen too.
  QRect Rect(int left, int top, int width, int height) const;
  // A font of the design's size at the factor; family, bold and italic stay.
  QFont Font(QFont design) const;
  bool operator==(const Scale&) const = default;
};

// The scale of a window of size `window` whose top-level panel was laid out at `design`:
// the smaller of the two ratios, at least 1, and the layout centred in what is left over.
Scale ScaleFor(QSize window, QSize design);

// The factor of the window `w` lies in: 1 outside panels (popups, menus, dialogs).
double ScaleOf(const QWidget* w);

}  // namespace ui::qt
