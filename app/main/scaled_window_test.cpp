// The main window at other sizes than its design: maximised from the settings file,
// the size the operator left it at kept for the next start, and the right double click
// bringing the design size back, each with the contents at the window's scale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/panel_settings.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/qt/qt_face.h"
#include "ui/qt/qt_test_support.h"
#include "ui/ui.h"

namespace {

const char* const kHeader = "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n";

class ScaledWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    qt_test::UseLargeOffscreenScreen(CHROMIK_LARGE_SCREEN);
    scratch_ = std::make_unique<harness::Scratch>();
    ASSERT_TRUE(ui::qt::Start(argc_, argv_));
  }
  void TearDown() override {
    scratch_.reset();
    ui::qt::SyncNow();  // drops the widgets of the old model
  }
  std::string SettingsPath() const { return scratch_->Dir() + "/PanelSettings.cfg"; }
  void WriteSettings(const std::string& text) { std::ofstream(SettingsPath(), std::ios::binary) << kHeader << text; }
  std::string ReadSettings() const { return testfiles::FileBytes(SettingsPath()); }
  void Start() {
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    Show();
    window = ui::qt::PanelWidgetOf(Panels.Mainp);
    ASSERT_NE(window, nullptr);
  }
  // Syncs the view and lets Qt deliver what that posted.
  static void Show() {
    ui::qt::SyncNow();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 40) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ui::qt::SyncNow();
  }
  // A control's design rectangle (what the model holds) and where the window shows it.
  static QRect Design(int panel, int control) {
    int left = 0, top = 0, width = 0, height = 0;
    GetCtrlAttribute(panel, control, ATTR_LEFT, &left);
    GetCtrlAttribute(panel, control, ATTR_TOP, &top);
    GetCtrlAttribute(panel, control, ATTR_WIDTH, &width);
    GetCtrlAttribute(panel, control, ATTR_HEIGHT, &height);
    return QRect(left, top, width, height);
  }
  QRect Shown(int panel, int control) const {
    QWidget* w = ui::qt::ControlWidget(panel, control);
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
  }
  // Whether `shown` is `design` at `factor`, the layout starting at `origin`, to a pixel.
  static bool Near(const QRect& shown, const QRect& design, double factor, QPointF origin = {}) {
    auto near = [](double a, double b) { return std::fabs(a - b) <= 1; };
    return near(shown.x(), origin.x() + design.x() * factor) && near(shown.y(), origin.y() + design.y() * factor) &&
           near(shown.width(), design.width() * factor) && near(shown.height(), design.height() * factor);
  }

  static inline int argc_ = 1;
  static inline char name_[] = "scaled_window_test";
  static inline char* argv_[] = {name_, nullptr};
  std::unique_ptr<harness::Scratch> scratch_;
  QWidget* window = nullptr;
};

TEST_F(ScaledWindow, FullscreenTwoStartsMaximisedAndScaled) {
  WriteSettings("[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 2\r\n\r\n");
  Start();
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  const QSize size = window->size();
  const double factor = std::min(size.width() / 790.0, size.height() / 548.0);
  ASSERT_GT(factor, 2.5);  // the large screen's maximised window
  // The layout is as large as fits, centred across the wider side.
  const QPointF origin((size.width() - 790 * factor) / 2, (size.height() - 548 * factor) / 2);
  EXPECT_TRUE(Near(Shown(Panels.Mainp, MAINP_SEND), Design(Panels.Mainp, MAINP_SEND), factor, origin))
      << Shown(Panels.Mainp, MAINP_SEND).x() << "," << Shown(Panels.Mainp, MAINP_SEND).y();
  // DATAP, the child panel in front, and its control inside it.
  const QPointF datap = origin + QPointF(286, 63) * factor;
  EXPECT_TRUE(Near(Shown(Panels.Datap, DATAP_STATUS), Design(Panels.Datap, DATAP_STATUS), factor, datap));
  EXPECT_NEAR(ui::qt::ControlWidget(Panels.Mainp, MAINP_SEND)->font().pointSizeF(),
              QApplication::font().pointSizeF() * factor, 1e-9);
}

TEST_F(ScaledWindow, TheRightDoubleClickBringsTheDesignSizeBack) {
  WriteSettings("[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 2\r\n\r\n");
  Start();
  ASSERT_GT(ui::qt::ControlWidget(Panels.Mainp, MAINP_SEND)->width(), 2 * 66);
  ASSERT_TRUE(ui::op::PanelRightDoubleClick(Panels.Mainp));
  ProcessSystemEvents();
  Show();
  EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(window->size(), QSize(790, 548));
  EXPECT_EQ(Shown(Panels.Mainp, MAINP_SEND), Design(Panels.Mainp, MAINP_SEND));
  EXPECT_EQ(Shown(Panels.Datap, DATAP_STATUS), Design(Panels.Datap, DATAP_STATUS).translated(286, 63));
  EXPECT_EQ(ui::qt::ControlWidget(Panels.Mainp, MAINP_SEND)->font().pointSizeF(), QApplication::font().pointSizeF());
}

TEST_F(ScaledWindow, TheSizeLeftIsWrittenAndTheNextStartShowsTheSameScale) {
  Start();
  EXPECT_EQ(Shown(Panels.Mainp, MAINP_SEND), Design(Panels.Mainp, MAINP_SEND));
  window->resize(1580, 1096);  // the operator
  Show();
  ProcessSystemEvents();
  WritePanelSettings();
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("MAINPANEL FULLSCREEN = 0"), std::string::npos);
  EXPECT_NE(saved.find("MAINPANEL WIDTH = 1580"), std::string::npos);
  EXPECT_NE(saved.find("MAINPANEL HEIGHT = 1096"), std::string::npos);

  // The next start of the program, on the file just written.
  ui::headless::Reset();
  RegisterPanelResources();
  ui::headless::UseTestClock(1000.0, 0.02);
  ASSERT_TRUE(ui::qt::Start(argc_, argv_));
  Start();
  EXPECT_EQ(window->size(), QSize(1580, 1096));
  EXPECT_TRUE(Near(Shown(Panels.Mainp, MAINP_SEND), Design(Panels.Mainp, MAINP_SEND), 2.0));
  EXPECT_TRUE(Near(Shown(Panels.Datap, DATAP_STATUS), Design(Panels.Datap, DATAP_STATUS), 2.0, QPointF(572, 126)));
}

}  // namespace
