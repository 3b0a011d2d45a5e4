// A scaled window on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2): the charts
// are painted at device pixels, with both factors in their lines and markers, and the
// points stamped into a graph's image lie where the painter draws the cursor over them.
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>

#include "ui/model.h"
#include "ui/qt/qt_test_support.h"

namespace {

class HiDpi : public qt_test::QtFaceTest {
 protected:
  void SetUp() override {
    if (!QApplication::instance()) setenv("QT_SCALE_FACTOR", "2", 1);
    qt_test::UseLargeOffscreenScreen(CHROMIK_LARGE_SCREEN);
    QtFaceTest::SetUp();
    panel = NewPanel(0, "TEACHP2", 40, 40, 300, 400);
    graph = NewCtrlWithId(panel, 1, CTRL_GRAPH, "X/Y", 20, 10, 250, 380);
    SetAxisScalingMode(panel, graph, VAL_XAXIS, VAL_MANUAL, 0, 1000);
    SetAxisScalingMode(panel, graph, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 1000);
    PlotPoint(panel, graph, 400, 600, VAL_SOLID_SQUARE, 0xFF0000);
    SetGraphCursor(panel, graph, 1, 400, 600);  // yellow, over the point
    DisplayPanel(panel);
    Show();
    window = ui::qt::PanelWidgetOf(panel);
    window->resize(600, 450);  // one and a half times the design
    Settle();
    Show();
  }
  int panel = 0, graph = 0;
  QWidget* window = nullptr;
};

bool Yellow(QRgb c) { return (c & 0xFFFFFF) == 0xFFFF00; }
bool Red(QRgb c) { return (c & 0xFFFFFF) == 0xFF0000; }

TEST_F(HiDpi, GraphsArePaintedAtDevicePixelsWithBothFactors) {
  QWidget* w = ui::qt::ControlWidget(panel, graph);
  ASSERT_EQ(w->size(), QSize(570, 375));
  ASSERT_EQ(w->devicePixelRatioF(), 2);
  const QImage image = w->grab().toImage();
  ASSERT_EQ(image.size(), QSize(1140, 750));

  // The cursor's lines, 1.5 x 2 device pixels thick, away from where they cross.
  int left = -1, right = -1, top = -1, bottom = -1;
  const int row = image.height() / 5, column = image.width() / 4;
  for (int x = 0; x < image.width(); ++x) {
    if (!Yellow(image.pixel(x, row))) continue;
    if (left < 0) left = x;
    right = x;
  }
  for (int y = 0; y < image.height(); ++y) {
    if (!Yellow(image.pixel(column, y))) continue;
    if (top < 0) top = y;
    bottom = y;
  }
  ASSERT_GE(left, 0);
  ASSERT_GE(top, 0);
  EXPECT_EQ(right - left + 1, 3);
  EXPECT_EQ(bottom - top + 1, 3);

  // The marker: a square of 3 x 1.5 x 2 device pixels, centred on the cursor's cross
  // (the lines cover its middle; its corners show).
  QRect marker;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (Red(image.pixel(x, y))) marker |= QRect(x, y, 1, 1);
    }
  }
  ASSERT_FALSE(marker.isNull());
  EXPECT_EQ(marker.size(), QSize(9, 9));
  EXPECT_LE(std::abs(marker.center().x() - (left + right) / 2), 1);
  EXPECT_LE(std::abs(marker.center().y() - (top + bottom) / 2), 1);
}

}  // namespace
