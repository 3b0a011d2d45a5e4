// Shared set-up of the Qt face tests: a fresh model, the Qt face on the
// offscreen platform, a callback log, and bounded waits for Qt to settle.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ui/headless.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

namespace qt_test {

inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// Logs "control:event:data1:data2".
inline int LogCtrl(int, int control, int event, void*, int d1, int d2) {
  Log().push_back(std::to_string(control) + ":" + std::to_string(event) + ":" + std::to_string(d1) + ":" +
                  std::to_string(d2));
  return 0;
}

inline int LogPanel(int panel, int event, void*, int, int) {
  Log().push_back("panel" + std::to_string(panel) + ":" + std::to_string(event));
  return 0;
}

inline std::string Entry(int control, int event, int d1 = 0, int d2 = 0) {
  return std::to_string(control) + ":" + std::to_string(event) + ":" + std::to_string(d1) + ":" + std::to_string(d2);
}

inline bool Logged(const std::string& entry) {
  for (const auto& e : Log()) {
    if (e == entry) return true;
  }
  return false;
}

// Lets the QApplication, when it is made, open an offscreen screen of 3000 x 2000 pixels
// (large_screen.json): larger windows than the platform's default screen holds, and a
// maximised window several times the program's design sizes. Only the first start of Qt
// in a process reads it, so a test binary that needs it calls this before every start.
inline void UseLargeOffscreenScreen(const std::string& config) {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
}

class QtFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ui::headless::Reset();
    static int argc = 1;
    static char name[] = "chromik_ui_qt_test";
    static char* argv[] = {name, nullptr};
    ASSERT_TRUE(ui::qt::Start(argc, argv));
    Log().clear();
  }
  void TearDown() override {
    ui::headless::Reset();
    ui::qt::SyncNow();  // drops the widgets of the old model
  }

  // Syncs the widgets and lets Qt deliver what that posted (layouts, repaints).
  static void Show() {
    ui::qt::SyncNow();
    Settle();
  }
  // Runs Qt's queue for a short while: repaints on the offscreen platform come on a timer.
  static void Settle(int ms = 30) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  // Dispatches the runtime (and through it Qt) until `done` holds or about a second passed.
  static bool DispatchUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
      if (t.elapsed() > 1000) return false;
      ProcessSystemEvents();
      WaitForEvents(Timer() + 0.002);
    }
    return true;
  }
  // Dispatches what input queued (the runtime carries operator input out at dispatch).
  static void Dispatch() {
    for (int i = 0; i < 3; ++i) ProcessSystemEvents();
  }
};

}  // namespace qt_test
