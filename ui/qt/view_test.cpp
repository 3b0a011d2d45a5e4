// The view follows the model: what a sync shows, what it costs, what it renders.
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <filesystem>

#include "ui/face.h"
#include "ui/model.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/qt_test_support.h"

namespace {

using qt_test::QtFaceTest;

QString ShownText(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return {};
}

// The caption Qt shows above a control: the label sibling at the control's left edge.
QString CaptionAbove(QWidget* body) {
  for (QLabel* l : body->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (l != body && l->geometry().bottom() < body->geometry().top() + 1 && l->x() == body->x()) return l->text();
  }
  return {};
}

// A panel with one control of most kinds, as the program's panels mix them.
struct DemoPanel {
  int panel, go, run, gain, shown, id, mode, lamp, sw, title, box, table, graph, strip, tab, page0, page1, deco, color;

  DemoPanel() {
    panel = NewPanel(0, "CHROMIK4 demo", 60, 60, 420, 640);
    deco = NewCtrlWithId(panel, 1, CTRL_DECORATION, "", 0, 0, 40, 640);
    SetCtrlAttribute(panel, deco, ATTR_FRAME_COLOR, 0x0080FF);
    title = NewCtrlWithId(panel, 2, CTRL_TEXT_MSG, "CHROMIK4-ANA-Scope V1.2", 8, 300, 0, 0);
    SetCtrlAttribute(panel, title, ATTR_TEXT_FONT, "NIDialogMetaFont");
    SetCtrlAttribute(panel, title, ATTR_TEXT_POINT_SIZE, 16);
    SetCtrlAttribute(panel, title, ATTR_TEXT_COLOR, 0xFFFFFF);
    go = NewCtrlWithId(panel, 3, CTRL_COMMAND_BUTTON, "GO", 50, 10, 24, 70);
    run = NewCtrlWithId(panel, 4, CTRL_TOGGLE_BUTTON, "RAM", 50, 90, 24, 60);
    SetCtrlVal(panel, run, 1);
    gain = NewCtrlWithId(panel, 5, CTRL_NUMERIC, "GAIN", 100, 10, 22, 80);
    SetCtrlAttribute(panel, gain, ATTR_PRECISION, 2);
    SetCtrlVal(panel, gain, 1.5);
    shown = NewCtrlWithId(panel, 6, CTRL_NUMERIC, "X", 100, 100, 22, 70);
    SetCtrlAttribute(panel, shown, ATTR_CTRL_MODE, VAL_INDICATOR);
    SetCtrlVal(panel, shown, 1234);
    id = NewCtrlWithId(panel, 7, CTRL_STRING, "SENSOR ID", 145, 10, 22, 160);
    SetCtrlVal(panel, id, "line 3");
    mode = NewCtrlWithId(panel, 8, CTRL_RING, "MODE", 190, 10, 22, 160);
    for (const char* item : {"CONT", "SELF", "EXT1"}) InsertListItem(panel, mode, -1, item, 0.0 + Count(mode));
    lamp = NewCtrlWithId(panel, 9, CTRL_LED, "TRIGGER", 230, 10, 16, 16);
    SetCtrlVal(panel, lamp, 1);
    sw = NewCtrlWithId(panel, 10, CTRL_BINARY_SWITCH, "AUTO", 230, 100, 20, 44);
    box = NewCtrlWithId(panel, 11, CTRL_TEXT_BOX, "MESSAGES", 275, 10, 120, 170);
    AppendTextBox(panel, box, "Connected.\nSensor: CHROMIK4 ANA\n");
    table = NewCtrlWithId(panel, 12, CTRL_TABLE, "TEACH TABLE", 65, 200, 140, 200);
    SetTableSize(panel, table, 5, 3);
    for (int r = 1; r <= 5; ++r) {
      for (int c = 1; c <= 3; ++c) SetTableCellVal(panel, table, {r, c}, r * 100.0 + c);
    }
    SetTableCellAttribute(panel, table, {2, 3}, ATTR_TEXT_BGCOLOR, 0xFF8080);
    SetTableColumnAttribute(panel, table, 1, ATTR_LABEL_TEXT, "CELL 0");
    SetTableColumnAttribute(panel, table, 3, ATTR_COLUMN_IN_USE, 0);
    SetTableRowAttribute(panel, table, 1, ATTR_ROW_LABEL_COLOR, 0x00A000);
    graph = NewCtrlWithId(panel, 13, CTRL_GRAPH, "X/Y", 225, 200, 170, 200);
    PlotOval(panel, graph, 100, 100, 500, 400, 0x00FF00, VAL_TRANSPARENT);
    PlotRectangle(panel, graph, 600, 0, 700, 300, 0x408080, 0x408080);
    PlotPoint(panel, graph, 300, 250, VAL_SOLID_SQUARE, 0xFF0000);
    SetGraphCursor(panel, graph, 1, 300, 250);
    strip = NewCtrlWithId(panel, 14, CTRL_STRIP_CHART, "RGB", 65, 420, 140, 210);
    SetStripChartTraces(panel, strip, 3);
    double v[300];
    for (int i = 0; i < 100; ++i) {
      v[3 * i] = 2000 + 800 * ((i / 10) % 2);
      v[3 * i + 1] = 1000 + 10 * i;
      v[3 * i + 2] = 3000 - 15 * i;
    }
    SetTraceAttribute(panel, strip, 2, ATTR_TRACE_COLOR, 0x00FF00);
    SetTraceAttribute(panel, strip, 3, ATTR_TRACE_COLOR, 0x4080FF);
    PlotStripChart(panel, strip, v, 300);
    tab = NewCtrlWithId(panel, 15, CTRL_TAB, "", 225, 420, 170, 210);
    InsertTabPage(panel, tab, -1, "COM");
    InsertTabPage(panel, tab, -1, "PARA");
    GetPanelHandleFromTabPage(panel, tab, 0, &page0);
    GetPanelHandleFromTabPage(panel, tab, 1, &page1);
    NewCtrlWithId(page0, 1, CTRL_COMMAND_BUTTON, "TRY TO CONNECT", 30, 10, 24, 130);
    NewCtrlWithId(page1, 1, CTRL_NUMERIC, "POWER", 30, 10, 22, 80);
    color = NewCtrlWithId(panel, 16, CTRL_COLOR_NUMERIC, "", 50, 160, 24, 34);
    SetCtrlVal(panel, color, 0x00C000);
  }
  int Count(int ring) {
    int n = 0;
    GetNumListItems(panel, ring, &n);
    return n;
  }
};

TEST_F(QtFaceTest, ModelChangesShowOnlyAfterASync) {
  DemoPanel d;
  DisplayPanel(d.panel);
  Show();
  QWidget* gain = ui::qt::ControlWidget(d.panel, d.gain);
  ASSERT_NE(gain, nullptr);
  EXPECT_EQ(ShownText(gain), "1.50");
  EXPECT_EQ(CaptionAbove(gain), "GAIN");
  EXPECT_EQ(ui::qt::PanelWidgetOf(d.panel)->windowTitle(), "CHROMIK4 demo");

  SetCtrlVal(d.panel, d.gain, 2.25);
  SetCtrlAttribute(d.panel, d.gain, ATTR_LABEL_TEXT, "OFFSET");
  SetCtrlAttribute(d.panel, d.go, ATTR_DIMMED, 1);
  SetCtrlAttribute(d.panel, d.id, ATTR_VISIBLE, 0);
  SetCtrlAttribute(d.panel, d.go, ATTR_CMD_BUTTON_COLOR, 0xFF0000);
  Settle();
  EXPECT_EQ(ShownText(gain), "1.50");  // nothing is painted at once
  Show();
  EXPECT_EQ(ShownText(gain), "2.25");
  EXPECT_EQ(CaptionAbove(gain), "OFFSET");
  QWidget* go = ui::qt::ControlWidget(d.panel, d.go);
  EXPECT_FALSE(go->isEnabled());
  EXPECT_EQ(go->palette().color(QPalette::Active, QPalette::Button), QColor(0xFF, 0, 0));
  EXPECT_FALSE(ui::qt::ControlWidget(d.panel, d.id)->isVisible());
}

TEST_F(QtFaceTest, RingItemsTableCellsAndTabPagesFollowTheModel) {
  DemoPanel d;
  DisplayPanel(d.panel);
  Show();
  auto* ring = qobject_cast<QComboBox*>(ui::qt::ControlWidget(d.panel, d.mode));
  ASSERT_NE(ring, nullptr);
  EXPECT_EQ(ring->count(), 3);
  InsertListItem(d.panel, d.mode, 1, "TRANS", 7.0);
  SetCtrlVal(d.panel, d.mode, 7.0);
  ReplaceListItem(d.panel, d.mode, 0, "CONTINUOUS", 0.0);
  SetTableCellVal(d.panel, d.table, {4, 2}, 42.0);
  SetTableCellAttribute(d.panel, d.table, {4, 2}, ATTR_TEXT_BGCOLOR, 0x00FF00);
  SetTabPageAttribute(d.panel, d.tab, 0, ATTR_VISIBLE, 0);
  SetActiveTabPage(d.panel, d.tab, 1);
  Show();
  EXPECT_EQ(ring->count(), 4);
  EXPECT_EQ(ring->itemText(0), "CONTINUOUS");
  EXPECT_EQ(ring->currentText(), "TRANS");
  auto* table = qobject_cast<QTableView*>(ui::qt::ControlWidget(d.panel, d.table));
  ASSERT_NE(table, nullptr);
  QModelIndex cell = table->model()->index(3, 1);
  EXPECT_EQ(cell.data().toString(), "42");
  EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QColor>(), QColor(0, 0xFF, 0));
  EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), "CELL 0");
  EXPECT_EQ(table->model()->headerData(0, Qt::Vertical, Qt::ForegroundRole).value<QColor>(), QColor(0, 0xA0, 0));
  // An unused column is greyed and cannot be edited.
  QModelIndex unused = table->model()->index(0, 2);
  EXPECT_FALSE(table->model()->flags(unused) & Qt::ItemIsEditable);
  QTabWidget* tabs = ui::qt::TabsOf(ui::qt::ControlWidget(d.panel, d.tab));
  ASSERT_NE(tabs, nullptr);
  EXPECT_FALSE(tabs->isTabVisible(0));
  EXPECT_EQ(tabs->currentIndex(), 1);
  EXPECT_EQ(tabs->currentWidget(), ui::qt::PanelWidgetOf(d.page1));
  // Changes the program makes are not operator input: no event came back.
  ProcessSystemEvents();
  EXPECT_TRUE(qt_test::Log().empty());
}

TEST_F(QtFaceTest, ChildPanelsSitInsideTheirParentAndFollowItsVisibility) {
  DemoPanel d;
  int child = NewPanel(d.panel, "", 63, 286, 100, 200);
  int msg = NewCtrlWithId(child, 1, CTRL_TEXT_MSG, "inside", 10, 10, 0, 0);
  SetCtrlAttribute(child, msg, ATTR_TEXT_BGCOLOR, 0xFFFF00);
  DisplayPanel(d.panel);
  Show();
  QWidget* cw = ui::qt::PanelWidgetOf(child);
  ASSERT_NE(cw, nullptr);
  EXPECT_EQ(cw->parentWidget(), ui::qt::PanelWidgetOf(d.panel));
  EXPECT_FALSE(cw->isVisible());
  DisplayPanel(child);
  Show();
  EXPECT_TRUE(cw->isVisible());
  EXPECT_EQ(cw->geometry(), QRect(286, 63, 200, 100));
  // A text message shows its value, and its colour.
  SetCtrlVal(child, msg, "new text");
  Show();
  auto* label = qobject_cast<QLabel*>(ui::qt::ControlWidget(child, msg));
  EXPECT_EQ(label->text(), "new text");
  EXPECT_TRUE(label->autoFillBackground());
  DiscardPanel(child);
  Show();
  EXPECT_EQ(ui::qt::PanelWidgetOf(child), nullptr);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(QtFaceTest, AHundredValuesInOneFrameCostOneRepaint) {
  DemoPanel d;
  DisplayPanel(d.panel);
  Show();
  QWidget* display = ui::qt::ControlWidget(d.panel, d.shown);
  PaintCounter counter;
  display->installEventFilter(&counter);
  long syncs = ui::qt::SyncCount();
  for (int i = 0; i < 100; ++i) SetCtrlVal(d.panel, d.shown, i);
  Settle();
  EXPECT_EQ(counter.paints, 0);
  Show();
  QElapsedTimer bound;  // the repaint comes on the platform's timer
  bound.start();
  while (counter.paints == 0 && bound.elapsed() < 1000) Settle(5);
  Settle(60);
  EXPECT_EQ(counter.paints, 1);
  EXPECT_EQ(ui::qt::SyncCount(), syncs + 1);
  // A sync that finds nothing changed repaints nothing.
  Show();
  Settle(60);
  EXPECT_EQ(counter.paints, 1);
  EXPECT_EQ(ui::qt::SyncCount(), syncs + 1);
}

TEST_F(QtFaceTest, RefusedOperatorEditShowsTheModelValueAgain) {
  DemoPanel d;
  DisplayPanel(d.panel);
  Show();
  auto* gain = qobject_cast<QLineEdit*>(ui::qt::ControlWidget(d.panel, d.gain));
  gain->setFocus();
  gain->setText("7.5");
  gain->setModified(true);
  SetCtrlAttribute(d.panel, d.gain, ATTR_DIMMED, 1);  // the program dims it before the edit is dispatched
  emit gain->editingFinished();
  Dispatch();
  Show();
  double v = 0;
  GetCtrlVal(d.panel, d.gain, &v);
  EXPECT_EQ(v, 1.5);
  EXPECT_EQ(gain->text(), "1.50");
}

TEST_F(QtFaceTest, SavePanelImageRendersPanelsAndTabPages) {
  DemoPanel d;
  auto dir = std::filesystem::temp_directory_path() / "chromik_ui_qt_test";
  std::filesystem::create_directories(dir);
  if (const char* keep = std::getenv("CHROMIK_PANEL_IMAGES")) dir = keep;
  for (int panel : {d.panel, d.page1}) {
    std::string path = (dir / ("panel" + std::to_string(panel) + ".png")).string();
    ASSERT_TRUE(ui::qt::SavePanelImage(panel, path));
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 100);
    QRgb first = image.pixel(0, 0);
    bool varied = false;
    for (int y = 0; y < image.height() && !varied; y += 3) {
      for (int x = 0; x < image.width() && !varied; x += 3) varied = image.pixel(x, y) != first;
    }
    EXPECT_TRUE(varied) << path;
  }
  EXPECT_FALSE(ui::qt::SavePanelImage(999, (dir / "none.png").string()));
}

// The wait wakes on the display connection where there is one, and on Qt's own wake-up.
TEST_F(QtFaceTest, TheWaitWakesOnTheDisplayAndOnQtsOwnWakeUp) {
  std::vector<pollfd> fds;
  ui::CurrentFace().AddWaitDescriptors(fds);
  bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
  ASSERT_GE(fds.size(), x11 ? 2u : 1u);
  for (const pollfd& p : fds) {
    EXPECT_GE(p.fd, 0);
    EXPECT_TRUE(p.events & POLLIN);
  }
}

// Runs in a child process: exits 0 when Start reports that there is no display.
void StartWithoutDisplay() {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("DISPLAY");
  static int argc = 1;
  static char name[] = "no_display";
  static char* argv[] = {name, nullptr};
  std::exit(ui::qt::Start(argc, argv) ? 1 : 0);
}

// Qt aborts the process when its platform cannot start; Start must find out first.
TEST(QtStart, WithoutADisplayStartFailsInsteadOfAborting) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, without a QApplication yet
  EXPECT_EXIT(StartWithoutDisplay(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
