// A window made larger than its panel's design: everything in it grows by one factor,
// input lands where it is seen, and the model keeps its design units.
#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <vector>

#include "ui/model.h"
#include "ui/qt/qt_test_support.h"

namespace {

using qt_test::Entry;
using qt_test::Log;

// A panel of the main window's design size with one control of each kind whose size
// matters, a tab page and a child panel, as MAINP holds them.
class Scaled : public qt_test::QtFaceTest {
 protected:
  void SetUp() override {
    qt_test::UseLargeOffscreenScreen(CHROMIK_LARGE_SCREEN);
    QtFaceTest::SetUp();
    panel = NewPanel(0, "MAIN", 40, 10, 548, 790);
    go = NewCtrlWithId(panel, 1, CTRL_COMMAND_BUTTON, "GO", 63, 144, 24, 66);
    id = NewCtrlWithId(panel, 2, CTRL_STRING, "SENSOR ID", 130, 10, 22, 160);
    SetCtrlAttribute(panel, id, ATTR_TEXT_ITALIC, 1);  // a changed value, marked
    SetCtrlAttribute(panel, id, ATTR_TEXT_BOLD, 1);
    table = NewCtrlWithId(panel, 3, CTRL_TABLE, "TEACH TABLE", 180, 10, 200, 260);
    SetTableSize(panel, table, 8, 3);
    SetTableColumnAttribute(panel, table, 1, ATTR_COLUMN_WIDTH, 50);
    for (int r = 1; r <= 8; ++r) SetTableCellVal(panel, table, {r, 1}, 10.0 * r);
    tab = NewCtrlWithId(panel, 4, CTRL_TAB, "", 400, 10, 140, 260);
    InsertTabPage(panel, tab, -1, "PARA");
    GetPanelHandleFromTabPage(panel, tab, 0, &page);
    gain = NewCtrlWithId(page, 1, CTRL_NUMERIC, "GAIN", 30, 20, 22, 80);
    child = NewPanel(panel, "DATAP", 63, 286, 485, 504);
    strip = NewCtrlWithId(child, 1, CTRL_STRIP_CHART, "RGB", 20, 10, 200, 480);
    SetStripChartTraces(child, strip, 1);
    SetTraceAttribute(child, strip, 1, ATTR_TRACE_COLOR, 0xFF0000);
    SetAxisScalingMode(child, strip, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 100);
    std::vector<double> flat(50, 50.0);  // a level line across the chart
    PlotStripChart(child, strip, flat.data(), 50);
    graph = NewCtrlWithId(child, 2, CTRL_GRAPH, "X/Y", 250, 10, 220, 300);
    SetAxisScalingMode(child, graph, VAL_XAXIS, VAL_MANUAL, 0, 1000);
    SetAxisScalingMode(child, graph, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 1000);
    for (int c : {go, id, table}) SetCtrlCallback(panel, c, qt_test::LogCtrl, nullptr);
    SetCtrlCallback(child, graph, qt_test::LogCtrl, nullptr);
    DisplayPanel(child);
    DisplayPanel(panel);
    Show();
    window = ui::qt::PanelWidgetOf(panel);
    ASSERT_NE(window, nullptr);
    designFont = QApplication::font().pointSizeF();
  }
  // Sizes the window as the operator or the window manager does.
  void SizeWindow(int width, int height) {
    window->resize(width, height);
    Settle();
    Dispatch();
    Show();
  }
  QWidget* W(int p, int c) { return ui::qt::ControlWidget(p, c); }
  // The height of the red line at the middle column of the strip chart, in pixels.
  int TraceThickness() {
    QImage image = W(child, strip)->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) n += (image.pixel(image.width() / 2, y) & 0xFFFFFF) == 0xFF0000;
    return n;
  }
  // Where a control's body lies in the window.
  QRect InWindow(QWidget* w) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); }

  int panel = 0, go = 0, id = 0, table = 0, tab = 0, page = 0, gain = 0, child = 0, strip = 0, graph = 0;
  QWidget* window = nullptr;
  double designFont = 0;  // points of the application's font
};

TEST_F(Scaled, TwiceTheDesignSizeDoublesEverythingInTheWindow) {
  const int thinLine = TraceThickness();
  const QRect goExtent = QAccessible::queryAccessibleInterface(W(panel, go))->rect();
  SizeWindow(1580, 1096);

  EXPECT_EQ(W(panel, go)->geometry(), QRect(288, 126, 132, 48));
  EXPECT_DOUBLE_EQ(W(panel, go)->font().pointSizeF(), 2 * designFont);
  // The marks of a changed value stay on the larger font.
  QFont idFont = W(panel, id)->font();
  EXPECT_DOUBLE_EQ(idFont.pointSizeF(), 2 * designFont);
  EXPECT_TRUE(idFont.italic());
  EXPECT_TRUE(idFont.bold());
  // Tab pages and child panels scale with their window, each inside its parent.
  EXPECT_EQ(InWindow(W(page, gain)).size(), QSize(160, 44));
  EXPECT_EQ(ui::qt::PanelWidgetOf(child)->geometry(), QRect(572, 126, 1008, 970));
  EXPECT_EQ(W(child, strip)->geometry(), QRect(20, 40, 960, 400));

  auto* view = qobject_cast<QTableView*>(W(panel, table));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->rowHeight(0), 40);
  EXPECT_EQ(view->rowHeight(7), 40);
  EXPECT_EQ(view->columnWidth(0), 100);
  EXPECT_EQ(view->columnWidth(1), 128);  // a column without a width of its own

  EXPECT_EQ(thinLine, 1);
  EXPECT_EQ(TraceThickness(), 2);

  // The accessibility bus sees the button where it is drawn, twice as large.
  const QRect extent = QAccessible::queryAccessibleInterface(W(panel, go))->rect();
  EXPECT_EQ(extent.size(), 2 * goExtent.size());
  EXPECT_EQ(extent.topLeft() - window->mapToGlobal(QPoint(0, 0)), QPoint(288, 126));
}

TEST_F(Scaled, TheModelKeepsItsDesignAndTheWindowItsOwnSize) {
  SizeWindow(1580, 1096);
  int left = 0, top = 0, width = 0, height = 0;
  GetCtrlAttribute(panel, go, ATTR_LEFT, &left);
  GetCtrlAttribute(panel, go, ATTR_TOP, &top);
  GetCtrlAttribute(panel, go, ATTR_WIDTH, &width);
  GetCtrlAttribute(panel, go, ATTR_HEIGHT, &height);
  EXPECT_EQ(QRect(left, top, width, height), QRect(144, 63, 66, 24));
  GetCtrlAttribute(child, strip, ATTR_WIDTH, &width);
  EXPECT_EQ(width, 480);
  GetPanelAttribute(panel, ATTR_WIDTH, &width);
  GetPanelAttribute(panel, ATTR_HEIGHT, &height);
  EXPECT_EQ(QSize(width, height), QSize(1580, 1096));
  GetPanelAttribute(child, ATTR_WIDTH, &width);
  EXPECT_EQ(width, 504);  // a child panel's size is units of its parent
}

TEST_F(Scaled, ClicksAndRightClicksLandOnWhatIsSeen) {
  SizeWindow(1580, 1096);
  // Through the window, as the window system delivers it: Qt finds the widget under the point.
  QWindow* handle = window->windowHandle();
  ASSERT_NE(handle, nullptr);
  QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(288 + 66, 126 + 24));
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(go, EVENT_LEFT_CLICK), Entry(go, EVENT_COMMIT)}));
  // The field lies at (20, 260) and is 320 x 44 now; outside its design rectangle.
  Log().clear();
  QTest::mouseClick(handle, Qt::RightButton, {}, QPoint(20 + 300, 260 + 30));
  Dispatch();
  EXPECT_EQ(Log(), std::vector<std::string>{Entry(id, EVENT_RIGHT_CLICK)});
}

TEST_F(Scaled, ACursorDraggedOnAScaledGraphLandsOnTheSameData) {
  QWidget* w = W(child, graph);
  // Drags to the same place of the graph as the operator sees it, in a fraction of its size.
  auto dragTo = [&](double fx, double fy) {
    SetGraphCursor(child, graph, 1, 100, 100);
    Show();
    w->repaint();
    const QPoint from(w->width() / 2, w->height() / 2);
    const QPoint to(static_cast<int>(w->width() * fx), static_cast<int>(w->height() * fy));
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
    Dispatch();
    double x = 0, y = 0;
    GetGraphCursor(child, graph, 1, &x, &y);
    return QPointF(x, y);
  };
  const QPointF atOne = dragTo(0.7, 0.3);
  SizeWindow(1580, 1096);
  ASSERT_EQ(w->width(), 600);
  const QPointF atTwo = dragTo(0.7, 0.3);
  EXPECT_NEAR(atTwo.x(), atOne.x(), 8);  // within two pixels of the design size
  EXPECT_NEAR(atTwo.y(), atOne.y(), 8);

  // A snapping cursor takes the same recorded point.
  SetCtrlAttribute(child, graph, ATTR_CURSOR_SNAP, 1);
  for (double x : {200.0, 650.0, 900.0}) PlotPoint(child, graph, x, 1000 - x, VAL_SOLID_SQUARE, 0xFF0000);
  EXPECT_EQ(dragTo(0.62, 0.45), QPointF(650, 350));
  SizeWindow(790, 548);
  EXPECT_EQ(dragTo(0.62, 0.45), QPointF(650, 350));
}

TEST_F(Scaled, ATableCellIsEditedAtOneAndAHalf) {
  SizeWindow(1185, 822);
  auto* view = qobject_cast<QTableView*>(W(panel, table));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->rowHeight(2), 30);
  window->activateWindow();
  Settle();
  const QRect cell = view->visualRect(view->model()->index(2, 0));
  const QPoint at = cell.center();
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
  auto* editor = view->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_DOUBLE_EQ(editor->font().pointSizeF(), 1.5 * designFont);
  EXPECT_TRUE(cell.contains(editor->geometry()));  // the editor opens over the cell as seen
  EXPECT_GE(editor->height(), 28);
  editor->selectAll();
  QTest::keyClicks(editor, "345");
  QTest::keyClick(editor, Qt::Key_Return);
  Dispatch();
  double v = 0;
  GetTableCellVal(panel, table, {3, 1}, &v);
  EXPECT_EQ(v, 345);
}

TEST_F(Scaled, ASmallerWindowShowsTheDesignAndALongerOneCentresIt) {
  SizeWindow(600, 400);
  EXPECT_EQ(W(panel, go)->geometry(), QRect(144, 63, 66, 24));
  EXPECT_DOUBLE_EQ(W(panel, go)->font().pointSizeF(), designFont);
  EXPECT_EQ(ui::qt::PanelWidgetOf(child)->geometry(), QRect(286, 63, 504, 485));
  EXPECT_EQ(TraceThickness(), 1);
  // Wider only: the factor stays 1 and the layout lies in the middle.
  SizeWindow(1000, 548);
  EXPECT_EQ(W(panel, go)->geometry(), QRect(144 + 105, 63, 66, 24));
  EXPECT_EQ(ui::qt::PanelWidgetOf(child)->geometry(), QRect(286 + 105, 63, 504, 485));
  EXPECT_EQ(W(page, gain)->geometry().size(), QSize(80, 22));
  // Twice as wide and one and a half times as high: one and a half, centred across.
  SizeWindow(1580, 822);
  EXPECT_EQ(W(panel, go)->geometry(), QRect(216 + 197, 95, 99, 36));
}

}  // namespace
