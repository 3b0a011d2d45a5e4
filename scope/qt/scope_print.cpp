#include "scope/qt/scope_print.h"

#include <QApplication>
#include <QDate>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTime>

#include <memory>
#include <vector>

#include "ui/qt/popups.h"
#include "ui/qt/qt_face.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QFont ReportFont(const std::string& family, double points) {
  QFont font(family.empty() ? QStringLiteral("Arial") : Q(family));
  font.setStyleHint(QFont::SansSerif);  // Arial's stand-in where it is not installed
  font.setPointSizeF(points > 0 ? points : 10.0);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

// One piece of the laid-out report: a text line (wrapped to the page width), an empty line or
// the picture, with the height it takes on the page.
struct Block {
  enum Kind { Text, Gap, Image } kind = Text;
  QString text;
  QFont font;
  QImage image;
  QSizeF size;  // in printer pixels
};

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere;

std::vector<Block> LayOut(const ScopeReport& report, QPaintDevice* device, double width, double bodyHeight) {
  std::vector<Block> blocks;
  for (const ReportItem& item : report.items) {
    if (item.kind == ReportItem::Picture) {
      Block b;
      b.kind = Block::Image;
      if (!item.imagePath.empty()) b.image.load(Q(item.imagePath));
      if (b.image.isNull()) continue;  // no picture could be taken: the text is printed all the same
      const double scale = std::min(width / b.image.width(), bodyHeight / b.image.height());
      b.size = QSizeF(b.image.width() * scale, b.image.height() * scale);
      blocks.push_back(std::move(b));
      continue;
    }
    const QFont font = ReportFont(item.font, item.kind == ReportItem::EmptyLine ? 10.0 : item.size);
    const QFontMetricsF metrics(font, device);
    if (item.kind == ReportItem::EmptyLine) {
      blocks.push_back(Block{Block::Gap, {}, font, {}, QSizeF(width, metrics.lineSpacing())});
      continue;
    }
    // A text of several lines (a comment as typed) becomes one block per line, so it can break across pages.
    QString text = Q(item.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
      Block b{Block::Text, line, font, {}, {}};
      const double h = line.isEmpty() ? metrics.lineSpacing()
                                      : metrics.boundingRect(QRectF(0, 0, width, 1e9), kTextFlags, line).height();
      b.size = QSizeF(width, std::max(h, metrics.lineSpacing()));
      blocks.push_back(std::move(b));
    }
  }
  return blocks;
}

QString PageText(const std::string& placeholder, int page, int pages) {
  if (placeholder == "<shortdate>") return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
  if (placeholder == "<time>") return QLocale().toString(QTime::currentTime(), QLocale::ShortFormat);
  if (placeholder == "<pagenofm>") return QStringLiteral("Page %1 of %2").arg(page).arg(pages);
  return Q(placeholder);
}

// The printer's name for a PDF file the dialog did not name.
constexpr const char* kPrintToPdf = "Print to File (PDF)";

// Qt puts a printer on A4 (or keeps the size it had) when it is set to a print queue, whatever
// paper the queue holds; the queue's own default page size is what its owner set it up for.
// The print dialog does the same when the operator picks a printer there.
bool UsePrintQueue(QPrinter& printer, const QPrinterInfo& queue) {
  if (queue.isNull()) return false;
  if (!printer.outputFileName().isEmpty()) printer.setOutputFileName(QString());
  printer.setOutputFormat(QPrinter::NativeFormat);
  printer.setPrinterName(queue.printerName());
  if (printer.printerName() != queue.printerName()) return false;
  const QPageSize size = queue.defaultPageSize();
  if (size.isValid()) printer.setPageSize(size);
  return true;
}

}  // namespace

QPrinter& ReportPrinter() {
  static std::unique_ptr<QPrinter> printer;
  if (!printer) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("Scope Screen Shot"));
    printer->setCreator(QStringLiteral("CHROMIK4-ANA-Scope V1.2"));
    // Qt starts it on the default queue (or the first there is), on A4.
    UsePrintQueue(*printer, QPrinterInfo(*printer));
  }
  return *printer;
}

int SaveReportPicture(int panel, const std::string& path) { return ui::qt::SavePanelImage(panel, path) ? 1 : -1; }

int ChooseReportPrinter(std::string* printerName) {
  QPrinter& printer = ReportPrinter();
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  if (ui::qt::RunModalDialog(dialog) != QDialog::Accepted) return 0;
  QString name = printer.printerName();
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    name = printer.outputFileName().isEmpty() ? QString::fromLatin1(kPrintToPdf) : printer.outputFileName();
  }
  *printerName = name.toStdString();
  return printerName->empty() ? 0 : 1;
}

int PrintReportOn(const ScopeReport& report, const std::string& printerName) {
  QPrinter& printer = ReportPrinter();
  // The printer as the dialog left it (its page size the operator's), or the named queue.
  const bool configured = printer.outputFormat() == QPrinter::PdfFormat
                              ? printerName == printer.outputFileName().toStdString() ||
                                    (printer.outputFileName().isEmpty() && printerName == kPrintToPdf)
                              : printerName == printer.printerName().toStdString();
  if (!configured && !UsePrintQueue(printer, QPrinterInfo::printerInfo(Q(printerName)))) return -1;
  return PaintScopeReport(report, printer);
}

void InstallQtReportPrinting() {
  ReportPrinting printing;
  printing.savePanelPicture = SaveReportPicture;
  printing.choosePrinter = ChooseReportPrinter;
  printing.print = PrintReportOn;
  SetReportPrinting(printing);
}

int PaintScopeReport(const ScopeReport& report, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return -1;
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution()).toRectF().translated(
      -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
  const QFont footFont = ReportFont("Arial", 8.0);
  const double footHeight = QFontMetricsF(footFont, &printer).lineSpacing() * 2;
  const double bodyHeight = page.height() - footHeight;
  const std::vector<Block> blocks = LayOut(report, &printer, page.width(), bodyHeight);

  // Which block starts each page: a block that does not fit below the last one goes to the next page.
  std::vector<std::size_t> starts{0};
  double y = 0;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (y > 0 && y + blocks[i].size.height() > bodyHeight) {
      starts.push_back(i);
      y = 0;
    }
    y += blocks[i].size.height();
  }
  const int pages = static_cast<int>(starts.size());
  for (int p = 0; p < pages; ++p) {
    if (p > 0 && !printer.newPage()) {
      painter.end();
      return -1;
    }
    const std::size_t end = p + 1 < pages ? starts[p + 1] : blocks.size();
    y = 0;
    for (std::size_t i = starts[p]; i < end; ++i) {
      const Block& b = blocks[i];
      if (b.kind == Block::Text) {
        painter.setFont(b.font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y, page.width(), b.size.height()), kTextFlags, b.text);
      } else if (b.kind == Block::Image) {
        painter.drawImage(QRectF(QPointF(0, y), b.size), b.image);
      }
      y += b.size.height();
    }
    // The running texts at the foot: date left, time in the middle, page number right.
    painter.setFont(footFont);
    painter.setPen(Qt::black);
    const QRectF foot(0, page.height() - footHeight / 2, page.width(), footHeight / 2);
    const int align[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (std::size_t t = 0; t < report.pageTexts.size() && t < 3; ++t) {
      painter.drawText(foot, align[t] | Qt::AlignVCenter, PageText(report.pageTexts[t], p + 1, pages));
    }
  }
  return painter.end() ? 0 : -1;
}
