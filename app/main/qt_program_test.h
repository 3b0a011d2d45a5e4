// Test support: the whole program with its Qt face on the offscreen platform, against the
// in-process simulator, and an operator who reads and closes every message box.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/harness_test.h"
#include "ui/qt/qt_face.h"

namespace qt_program {

// Starts the Qt face and then the program (panels, start-up, connection); null when Qt
// cannot start.
inline std::unique_ptr<harness::Program> Start(harness::Options options = {}) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  auto program = std::make_unique<harness::Program>(options);
  static int argc = 1;
  static char name[] = "chromik_qt_program_test";
  static char* argv[] = {name, nullptr};
  if (!ui::qt::Start(argc, argv)) return nullptr;
  program->Start();
  ui::qt::SyncNow();
  return program;
}

// Notes "title|text" of every message box that opens and closes it, as long as it lives.
class MessageBoxReader {
 public:
  MessageBoxReader() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        read.push_back(box->windowTitle().toStdString() + "|" + box->text().toStdString());
        box->done(0);
      }
    });
    timer_.start(10);
  }
  std::vector<std::string> read;

 private:
  QTimer timer_;
};

}  // namespace qt_program
