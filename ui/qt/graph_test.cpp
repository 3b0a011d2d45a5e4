// Graphs and strip charts: scaling, decimation, incremental painting, cursors and zoom.
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "ui/model.h"
#include "ui/qt/graph_scale.h"
#include "ui/qt/graph_widget.h"
#include "ui/qt/qt_test_support.h"

namespace {

using qt_test::Entry;
using qt_test::Log;
using ui::qt::AxisSpan;

// [SECTION] Scaling and decimation

TEST(GraphScale, TicksAreRoundStepsInsideTheSpan) {
  for (AxisSpan s : {AxisSpan{0, 4096}, AxisSpan{-25, 10025}, AxisSpan{0.001, 0.0042}, AxisSpan{975, 1525}}) {
    ui::qt::Ticks t = ui::qt::NiceTicks(s, 6);
    ASSERT_GE(t.count, 2) << s.min << ".." << s.max;
    EXPECT_LE(t.count, 7);
    EXPECT_GE(t.first, s.min - 1e-9);
    EXPECT_LE(t.first + (t.count - 1) * t.step, s.max + 1e-9);
    double mantissa = t.step / std::pow(10.0, std::floor(std::log10(t.step)));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9);
  }
  EXPECT_EQ(ui::qt::NiceTicks({0, 0.0009}, 6).decimals, 4);  // steps of 0.0002
  // A short axis asking for three ticks still gets two labels (a step of 5000 would leave only 0).
  ui::qt::Ticks shortAxis = ui::qt::NiceTicks({0, 4096}, 3);
  EXPECT_GE(shortAxis.count, 2);
  EXPECT_EQ(shortAxis.step, 2000);
}

TEST(GraphScale, AutoSpanHoldsTheDataAndDoesNotMoveWithEveryPoint) {
  AxisSpan s = ui::qt::AutoSpan(100, 700, 5);
  EXPECT_LE(s.min, 100);
  EXPECT_GE(s.max, 700);
  EXPECT_LT(s.max - s.min, 800);  // tight, not the next power of ten
  // A few more points near the end keep the same span, so cached plots stay valid.
  AxisSpan later = ui::qt::AutoSpan(100, 699.5, 5);
  EXPECT_EQ(later.min, s.min);
  EXPECT_EQ(later.max, s.max);
  AxisSpan flat = ui::qt::AutoSpan(50, 50, 5);
  EXPECT_LT(flat.min, 50);
  EXPECT_GT(flat.max, 50);
}

TEST(GraphScale, MinMaxDecimationKeepsTheExtremesInFewPoints) {
  const std::size_t n = 1000000;
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) y[i] = std::sin(i * 0.001);
  y[123457] = 50;   // single-sample spikes must survive
  y[876543] = -50;
  y[500000] = NAN;  // and gaps must not break it
  ui::qt::PlotMap map;
  map.x = {0, static_cast<double>(n - 1)};
  map.y = {-60, 60};
  map.area = QRectF(0, 0, 400, 200);
  std::vector<QPointF> out;
  ui::qt::DecimateMinMax(nullptr, y.data(), n, map, &out);
  EXPECT_LE(out.size(), 4u * 400 + 8);
  double top = 1e9, bottom = -1e9;
  for (std::size_t i = 1; i < out.size(); ++i) ASSERT_GE(out[i].x(), out[i - 1].x());
  for (const QPointF& p : out) {
    top = std::min(top, p.y());
    bottom = std::max(bottom, p.y());
  }
  EXPECT_NEAR(top, map.Y(50), 1e-6);
  EXPECT_NEAR(bottom, map.Y(-50), 1e-6);

  // With x given, only the visible part is walked.
  std::vector<double> x(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<double>(i);
  map.x = {1000, 2000};
  ui::qt::DecimateMinMax(x.data(), y.data(), n, map, &out);
  ASSERT_FALSE(out.empty());
  EXPECT_GE(out.front().x(), map.X(999) - 1e-6);
  EXPECT_LE(out.back().x(), map.X(2001) + 1e-6);
}

// [SECTION] Graph widgets

class Graphs : public qt_test::QtFaceTest {
 protected:
  void SetUp() override {
    QtFaceTest::SetUp();
    panel = NewPanel(0, "TEACHP2", 40, 40, 300, 400);
    graph = NewCtrlWithId(panel, 1, CTRL_GRAPH, "X/Y", 20, 10, 250, 380);
    SetCtrlCallback(panel, graph, qt_test::LogCtrl, nullptr);
    SetAxisScalingMode(panel, graph, VAL_XAXIS, VAL_MANUAL, 0, 1000);
    SetAxisScalingMode(panel, graph, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 1000);
    DisplayPanel(panel);
    Show();
    widget = dynamic_cast<ui::qt::GraphWidget*>(ui::qt::ControlWidget(panel, graph));
    ASSERT_NE(widget, nullptr);
  }
  // Repaints now, as a frame would.
  void Frame() {
    ui::qt::SyncNow();
    widget->repaint();
  }
  int panel = 0, graph = 0;
  ui::qt::GraphWidget* widget = nullptr;
};

TEST_F(Graphs, PointsAddedOneByOneArePaintedOnceEach) {
  for (int i = 0; i < 2000; ++i) PlotPoint(panel, graph, (i * 37) % 1000, (i * 91) % 1000, VAL_SOLID_SQUARE, 0xFF0000);
  Frame();
  long painted = widget->PlotsPainted();
  EXPECT_EQ(painted, 2000);
  for (int frame = 0; frame < 10; ++frame) {
    PlotPoint(panel, graph, 500, frame * 10, VAL_SOLID_SQUARE, 0xFF0000);
    SetGraphCursor(panel, graph, 1, 500, frame * 10);  // the cursor follows every point, as when teaching
    Frame();
  }
  EXPECT_EQ(widget->PlotsPainted(), painted + 10);
  // Deleting the plots starts over; a new range repaints what is there.
  DeleteGraphPlot(panel, graph, -1);
  PlotPoint(panel, graph, 1, 1, VAL_SOLID_SQUARE, 0xFF0000);
  Frame();
  EXPECT_EQ(widget->PlotsPainted(), painted + 11);
  SetAxisScalingMode(panel, graph, VAL_XAXIS, VAL_MANUAL, 0, 2000);
  Frame();
  EXPECT_EQ(widget->PlotsPainted(), painted + 12);
}

TEST_F(Graphs, SegmentChainsArePaintedWithTheirSpikesAndScaleTheAxes) {
  SetCtrlAttribute(panel, graph, ATTR_PLOT_BGCOLOR, 0x000000);
  SetAxisScalingMode(panel, graph, VAL_XAXIS, VAL_AUTOSCALE, 0, 0);
  SetAxisScalingMode(panel, graph, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0, 0);
  // A long flat line at 100 with one spike to 4000, well beyond what fits into the pixel columns.
  double x = 0, y = 100;
  for (int i = 0; i < 200000; ++i) {
    const double ny = i == 150000 ? 4000 : 100;
    PlotLineSegment(panel, graph, x, y, x + 1, ny, 0x008080);
    x += 1;
    y = ny;
  }
  Frame();
  QImage image = widget->grab().toImage();
  int teal = 0, topRow = image.height(), bottomRow = -1;
  for (int yy = 0; yy < image.height(); ++yy) {
    for (int xx = 0; xx < image.width(); ++xx) {
      if ((image.pixel(xx, yy) & 0xFFFFFF) != 0x008080) continue;
      ++teal;
      topRow = std::min(topRow, yy);
      bottomRow = std::max(bottomRow, yy);
    }
  }
  EXPECT_GT(teal, 300);                        // the line across the area
  EXPECT_GT(bottomRow - topRow, 150);          // and the spike, up to the top of the autoscaled span
  DeleteGraphPlot(panel, graph, -1);
  Frame();
  image = widget->grab().toImage();
  teal = 0;
  for (int yy = 0; yy < image.height(); ++yy) {
    for (int xx = 0; xx < image.width(); ++xx) teal += (image.pixel(xx, yy) & 0xFFFFFF) == 0x008080;
  }
  EXPECT_EQ(teal, 0);
}

TEST_F(Graphs, PlotsAreDrawnInTheirColours) {
  SetCtrlAttribute(panel, graph, ATTR_PLOT_BGCOLOR, 0x000000);
  PlotRectangle(panel, graph, 100, 100, 300, 300, 0x408080, 0x408080);
  PlotOval(panel, graph, 500, 500, 900, 900, 0x00FF00, VAL_TRANSPARENT);
  PlotPoint(panel, graph, 200, 700, VAL_SOLID_SQUARE, 0xFF0000);
  Frame();
  QImage image = widget->grab().toImage();
  int fill = 0, ring = 0, point = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = image.pixel(x, y) & 0xFFFFFF;
      fill += c == 0x408080;
      ring += qGreen(c) > 100 && qRed(c) < 60 && qBlue(c) < 60;  // antialiased outline
      point += c == 0xFF0000;
    }
  }
  EXPECT_GT(fill, 1000);  // a filled rectangle, not an outline
  EXPECT_GT(ring, 50);
  EXPECT_GE(point, 9);    // a small solid marker
}

TEST_F(Graphs, ATaughtRegionStandsOutInAnyColourOnAnyPlotArea) {
  // A black row on the black plot area, a white one on it, and a white one on a white area.
  const int cases[][2] = {{0x000000, 0x000000}, {0x000000, 0xFFFFFF}, {0xFFFFFF, 0xFFFFFF}};
  auto luma = [](QRgb c) { return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000; };
  for (const auto& [bg, row] : cases) {
    SCOPED_TRACE(row);
    DeleteGraphPlot(panel, graph, -1);
    SetCtrlAttribute(panel, graph, ATTR_PLOT_BGCOLOR, bg);
    Frame();
    const QImage empty = widget->grab().toImage();
    PlotOval(panel, graph, 300, 300, 700, 700, row, VAL_TRANSPARENT);
    Frame();
    const QImage drawn = widget->grab().toImage();
    ASSERT_EQ(empty.size(), drawn.size());
    int standingOut = 0;
    for (int y = 0; y < drawn.height(); ++y) {
      for (int x = 0; x < drawn.width(); ++x) {
        if (drawn.pixel(x, y) == empty.pixel(x, y)) continue;
        standingOut += std::abs(luma(drawn.pixel(x, y)) - luma(static_cast<QRgb>(bg))) > 60;
      }
    }
    EXPECT_GT(standingOut, 200);  // the outline all round, not a few stray pixels
  }
}

TEST_F(Graphs, CursorDragMovesItAndTheReleaseCommits) {
  SetGraphCursor(panel, graph, 1, 100, 100);
  Frame();
  QRect r = widget->rect();
  QPoint from(r.width() / 2, r.height() / 2), to(r.width() / 2 + 60, r.height() / 2 - 40);
  QTest::mousePress(widget, Qt::LeftButton, {}, from);
  QTest::mouseMove(widget, to);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
  Dispatch();
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log().back(), Entry(graph, EVENT_COMMIT, 1, 0));
  for (std::size_t i = 0; i + 1 < Log().size(); ++i) {
    bool move = Log()[i] == Entry(graph, EVENT_VAL_CHANGED, 1, 0) || Log()[i] == Entry(graph, EVENT_LEFT_CLICK);
    EXPECT_TRUE(move) << Log()[i];
  }
  double x = 0, y = 0;
  GetGraphCursor(panel, graph, 1, &x, &y);
  // Right of and above the middle of a 0..1000 square: the drag's direction, in data.
  EXPECT_GT(x, 560);
  EXPECT_LT(x, 800);
  EXPECT_GT(y, 560);
  EXPECT_LT(y, 800);
}

TEST_F(Graphs, AnIndicatorGraphsCursorStaysWhereTheProgramPutItWhenDragged) {
  SetCtrlAttribute(panel, graph, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetGraphCursor(panel, graph, 1, 500, 500);
  Frame();
  QRect r = widget->rect();
  QPoint from(r.width() / 2, r.height() / 2), to(r.width() / 2 + 60, r.height() / 2 - 40);
  QTest::mousePress(widget, Qt::LeftButton, {}, from);
  QTest::mouseMove(widget, to);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
  Dispatch();
  double x = 0, y = 0;
  GetGraphCursor(panel, graph, 1, &x, &y);
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 500);
  // The click itself still reaches the program (the charts scale on it).
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0], Entry(graph, EVENT_LEFT_CLICK));
}

TEST_F(Graphs, SnappingCursorLandsOnARecordedPoint) {
  SetCtrlAttribute(panel, graph, ATTR_CURSOR_SNAP, 1);
  PlotPoint(panel, graph, 250, 250, VAL_SOLID_SQUARE, 0xFF0000);
  PlotPoint(panel, graph, 740, 610, VAL_SOLID_SQUARE, 0xFF0000);
  Frame();
  QRect r = widget->rect();
  QPoint near(r.width() * 3 / 4, r.height() / 3);
  QTest::mouseClick(widget, Qt::LeftButton, {}, near);
  Dispatch();
  double x = 0, y = 0;
  GetGraphCursor(panel, graph, 1, &x, &y);
  EXPECT_EQ(x, 740);
  EXPECT_EQ(y, 610);
  EXPECT_EQ(Log().back(), Entry(graph, EVENT_COMMIT, 1, 0));
}

TEST_F(Graphs, SnappingTakesThePointNearestOnTheScreenWhateverTheAxesScales) {
  // Y runs over a million, X over a thousand: the point nearest in data is not the one
  // nearest to the mouse.
  SetAxisScalingMode(panel, graph, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 1000000);
  SetCtrlAttribute(panel, graph, ATTR_CURSOR_SNAP, 1);
  PlotPoint(panel, graph, 600, 500000, VAL_SOLID_SQUARE, 0xFF0000);  // 20% of the height below
  PlotPoint(panel, graph, 300, 700000, VAL_SOLID_SQUARE, 0xFF0000);  // 30% of the width to the left
  Frame();
  QRect r = widget->rect();
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(r.width() * 6 / 10, r.height() * 3 / 10));
  Dispatch();
  double x = 0, y = 0;
  GetGraphCursor(panel, graph, 1, &x, &y);
  EXPECT_EQ(x, 600);
  EXPECT_EQ(y, 500000);
}

TEST_F(Graphs, CtrlDragZoomsTheViewOnlyWhereZoomIsEnabled) {
  QRect r = widget->rect();
  QPoint a(r.width() / 3, r.height() / 3), b(r.width() / 2, r.height() / 2);
  auto drag = [&] {
    QTest::mousePress(widget, Qt::LeftButton, Qt::ControlModifier, a);
    QTest::mouseMove(widget, b);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::ControlModifier, b);
  };
  drag();
  EXPECT_FALSE(widget->Zoomed());
  SetCtrlAttribute(panel, graph, ATTR_ENABLE_ZOOM, 1);
  Frame();
  EXPECT_TRUE(widget->toolTip().contains("Ctrl+drag"));
  drag();
  EXPECT_TRUE(widget->Zoomed());
  int mode = -1;
  double lo = 0, hi = 0;
  GetAxisScalingMode(panel, graph, VAL_XAXIS, &mode, &lo, &hi);
  EXPECT_EQ(hi, 1000);  // the program's axes are untouched
  QTest::mouseDClick(widget, Qt::LeftButton, Qt::ControlModifier, a);
  EXPECT_FALSE(widget->Zoomed());
  // The program setting its axes again, even to the ranges they had (ZOOM 1:1), ends a zoom too.
  drag();
  ASSERT_TRUE(widget->Zoomed());
  SetAxisScalingMode(panel, graph, VAL_XAXIS, mode, lo, hi);
  Frame();
  EXPECT_FALSE(widget->Zoomed());
}

TEST_F(Graphs, StripChartShowsOnlyVisibleTraces) {
  int strip = NewCtrlWithId(panel, 2, CTRL_STRIP_CHART, "RGB", 20, 10, 120, 300);
  SetStripChartTraces(panel, strip, 3);
  SetTraceAttribute(panel, strip, 1, ATTR_TRACE_COLOR, 0xFF0000);
  SetTraceAttribute(panel, strip, 2, ATTR_TRACE_COLOR, 0x00FF00);
  SetTraceAttribute(panel, strip, 3, ATTR_TRACE_COLOR, 0x0000FF);
  SetCtrlAttribute(panel, strip, ATTR_POINTS_PER_SCREEN, 101);
  std::vector<double> values(300);  // 100 points of three traces, interleaved
  for (int i = 0; i < 100; ++i) {
    values[3 * i] = 1000 + 20 * i;
    values[3 * i + 1] = 2000;
    values[3 * i + 2] = 3000 - 20 * i;
  }
  PlotStripChart(panel, strip, values.data(), 300);
  Show();
  QWidget* w = ui::qt::ControlWidget(panel, strip);
  auto count = [w](QRgb colour) {
    QImage image = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
    }
    return n;
  };
  EXPECT_GT(count(0x00FF00), 50);
  SetTraceAttribute(panel, strip, 2, ATTR_TRACE_VISIBLE, 0);
  Show();
  EXPECT_EQ(count(0x00FF00), 0);
  EXPECT_GT(count(0xFF0000), 50);
}

}  // namespace
