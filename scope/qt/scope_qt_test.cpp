// SCOPEP in the Qt face: the report printed through Qt (a PDF from the painter,
// the print button's whole road through the system's print dialog) and the
// operator's zoom, offscreen.
#include "scope/qt/scope_print.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/main/qt_program_test.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "ui/qt/graph_widget.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

namespace {

struct PdfFacts {
  int pages = 0;
  int images = 0;
};

PdfFacts ReadPdf(const std::string& path) {
  QFile f(QString::fromStdString(path));
  PdfFacts facts;
  if (!f.open(QIODevice::ReadOnly)) return facts;
  const QByteArray pdf = f.readAll();
  // The page tree's count (Qt writes one page tree).
  const qsizetype at = pdf.indexOf("/Count ");
  if (at >= 0) facts.pages = pdf.mid(at + 7, 8).split('\n').front().trimmed().toInt();
  facts.images = static_cast<int>(pdf.count("/Subtype /Image"));
  return facts;
}

class ScopePrint : public ::testing::Test {
 protected:
  void SetUp() override {
    program = qt_program::Start();
    ASSERT_TRUE(program);
    dir = program->Dir();
  }
  void TearDown() override {
    SetReportPrinting({});
    program.reset();
    ui::qt::SyncNow();
  }
  // Answers the dialogs that open while the print button runs: the print dialog with
  // `accept`, every message box by noting its text and closing it.
  void AnswerDialogs(bool accept) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [this, accept] {
      QWidget* w = QApplication::activeModalWidget();
      if (auto* print = qobject_cast<QPrintDialog*>(w)) {
        ++printDialogs;
        accept ? print->accept() : print->reject();
      } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
        messages.push_back(box->windowTitle().toStdString() + "|" + box->text().toStdString());
        box->done(0);
      }
    });
    timer->start(20);
    answerer.reset(timer);
  }
  std::unique_ptr<harness::Program> program;
  std::unique_ptr<QTimer> answerer;
  std::string dir;
  int printDialogs = 0;
  std::vector<std::string> messages;
};

TEST_F(ScopePrint, TheReportIsOnePdfPageWithThePanelPictureAndALongCommentBreaksAcrossPages) {
  const std::string picture = dir + "/scopep.png";
  ASSERT_TRUE(ui::qt::SavePanelImage(Panels.Scopep, picture));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = dir + "/report.pdf";
  printer.setOutputFileName(QString::fromStdString(pdf));
  ASSERT_EQ(PaintScopeReport(BuildScopeReport("4711", "first line\nsecond line", picture), printer), 0);
  PdfFacts facts = ReadPdf(pdf);
  EXPECT_EQ(facts.pages, 1);
  EXPECT_GE(facts.images, 1);

  std::string comment;
  for (int i = 0; i < 200; ++i) comment += "comment line " + std::to_string(i) + "\n";
  const std::string longPdf = dir + "/long.pdf";
  printer.setOutputFileName(QString::fromStdString(longPdf));
  ASSERT_EQ(PaintScopeReport(BuildScopeReport("", comment, picture), printer), 0);
  facts = ReadPdf(longPdf);
  EXPECT_GE(facts.pages, 3);  // 200 lines of 10 pt, then the picture on a page of its own
  EXPECT_GE(facts.images, 1);
}

TEST_F(ScopePrint, AFileThatCannotBeWrittenIsAPrintError) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir + "/no such folder/report.pdf"));
  EXPECT_EQ(PaintScopeReport(BuildScopeReport("", "", ""), printer), -1);
}

TEST_F(ScopePrint, ThePrintButtonPrintsThroughTheDialogAndSaysSo) {
  InstallQtReportPrinting();
  const std::string pdf = dir + "/button.pdf";
  ReportPrinter().setOutputFileName(QString::fromStdString(pdf));
  State.PanelId = "LINE 3";
  SetCtrlVal(Panels.Page[PAGE_SCOPE], SCOPE_COMMENT, "belt speed 2 m/s");
  DisplayPanel(Panels.Scopep);
  AnswerDialogs(true);
  CallCtrlCallback(Panels.Scopep, SCOPEP_PRINT, EVENT_COMMIT, 0, 0);
  EXPECT_EQ(printDialogs, 1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Info!|Print successful!");
  const PdfFacts facts = ReadPdf(pdf);
  EXPECT_EQ(facts.pages, 1);
  EXPECT_GE(facts.images, 1);
}

TEST_F(ScopePrint, ACancelledDialogPrintsNothingAndSaysNothing) {
  InstallQtReportPrinting();
  const std::string pdf = dir + "/cancelled.pdf";
  ReportPrinter().setOutputFileName(QString::fromStdString(pdf));
  AnswerDialogs(false);
  CallCtrlCallback(Panels.Scopep, SCOPEP_PRINT, EVENT_COMMIT, 0, 0);
  EXPECT_EQ(printDialogs, 1);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
}

TEST_F(ScopePrint, APrinterNameThePrintSystemDoesNotKnowIsAPrintError) {
  const auto chooseUnknown = [](std::string* printerName) {
    *printerName = "no such queue";
    return 1;
  };
  SetReportPrinting(ReportPrinting{SaveReportPicture, chooseUnknown, PrintReportOn});
  AnswerDialogs(true);
  CallCtrlCallback(Panels.Scopep, SCOPEP_PRINT, EVENT_COMMIT, 0, 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Info!|Print error ");
}

TEST_F(ScopePrint, ZoomOneToOneShowsTheWholeCaptureAfterACtrlDrag) {
  DisplayPanel(Panels.Scopep);
  ui::qt::SyncNow();
  auto* graph = dynamic_cast<ui::qt::GraphWidget*>(ui::qt::ControlWidget(Panels.Scopep, SCOPEP_GRAPH));
  ASSERT_NE(graph, nullptr);
  graph->repaint();
  const QRect r = graph->rect();
  const QPoint from(r.width() / 3, r.height() / 3), to(r.width() / 2, r.height() / 2);
  QTest::mousePress(graph, Qt::LeftButton, Qt::ControlModifier, from);
  QTest::mouseMove(graph, to);
  QTest::mouseRelease(graph, Qt::LeftButton, Qt::ControlModifier, to);
  ASSERT_TRUE(graph->Zoomed());
  // The axes the button sets are those the graph has: the zoom ends all the same.
  CallCtrlCallback(Panels.Scopep, SCOPEP_ZOOM11, EVENT_COMMIT, 0, 0);
  ui::qt::SyncNow();
  graph->repaint();
  EXPECT_FALSE(graph->Zoomed());
}

}  // namespace
