// The scope report through a real print server. print_server_test.sh starts a cupsd of its
// own with one queue and runs this with CUPS_SERVER at that server's socket, the queue's name
// in CHROMIK_PRINT_QUEUE and the PANEL ID and comment to print; the script then checks what
// the queue wrote. Run on its own, it is skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/main/qt_program_test.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "scope/qt/scope_print.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The operator's choice of printer, by the queue's name, in place of the print dialog.
int ChooseTheQueue(std::string* printerName) {
  *printerName = Env("CHROMIK_PRINT_QUEUE");
  return 1;
}

TEST(PrintServer, ThePrintButtonPrintsTheReportOnTheQueueChosenByName) {
  const std::string queue = Env("CHROMIK_PRINT_QUEUE");
  if (queue.empty()) GTEST_SKIP() << "needs the print server of print_server_test.sh";
  auto program = qt_program::Start();
  ASSERT_TRUE(program);

  SetReportPrinting(ReportPrinting{SaveReportPicture, ChooseTheQueue, PrintReportOn});
  State.PanelId = Env("CHROMIK_PRINT_PANEL_ID");
  SetCtrlVal(Panels.Page[PAGE_SCOPE], SCOPE_COMMENT, Env("CHROMIK_PRINT_COMMENT").c_str());
  DisplayPanel(Panels.Scopep);
  std::vector<std::string> messages;
  {
    qt_program::MessageBoxReader operatorReads;
    CallCtrlCallback(Panels.Scopep, SCOPEP_PRINT, EVENT_COMMIT, 0, 0);
    messages = operatorReads.read;
  }

  EXPECT_EQ(messages, std::vector<std::string>{"Info!|Print successful!"});
  EXPECT_EQ(ReportPrinter().printerName().toStdString(), queue);
  EXPECT_EQ(ReportPrinter().outputFormat(), QPrinter::NativeFormat);
  SetReportPrinting({});
  program.reset();
  ui::qt::SyncNow();
}

}  // namespace
