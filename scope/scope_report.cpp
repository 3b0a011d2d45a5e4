// The scope report and the print button.
#include "scope/scope_report.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstring>

#include "app/program_state.h"
#include "app/uir.h"
#include "ui/ui.h"

namespace {

ReportPrinting g_printing;

ReportItem TextLine(const std::string& text, double size) {
  ReportItem item;
  item.kind = ReportItem::Line;
  item.text = text;
  item.font = "Arial";
  item.size = size;
  return item;
}

ReportItem Empty() {
  ReportItem item;
  item.kind = ReportItem::EmptyLine;
  return item;
}

// A fresh file name in the system's temporary directory; "" when none can be made.
std::string TemporaryPictureName() {
  const char* dir = getenv("TMPDIR");
  std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/chromik4-scope-XXXXXX.png";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemps(name.data(), 4);
  if (fd < 0) return "";
  close(fd);
  return std::string(name.data());
}

}  // namespace

void SetReportPrinting(const ReportPrinting& printing) { g_printing = printing; }

ScopeReport BuildScopeReport(const std::string& panelId, const std::string& comment, const std::string& picturePath) {
  ScopeReport r;
  r.pageTexts = {"<shortdate>", "<time>", "<pagenofm>"};
  r.items.push_back(TextLine("Scope Screen Shot", 20.0));
  r.items.push_back(TextLine("CHROMIK4-ANA-Scope V1.2", 10.0));
  if (!panelId.empty()) r.items.push_back(TextLine("PANEL ID: " + panelId, 10.0));
  r.items.push_back(Empty());
  if (!comment.empty()) {
    r.items.push_back(TextLine("COMMENT:", 10.0));
    r.items.push_back(TextLine(comment, 10.0));
    r.items.push_back(Empty());
  }
  ReportItem picture;
  picture.kind = ReportItem::Picture;
  picture.text = "Panel";
  picture.imagePath = picturePath;
  r.items.push_back(picture);
  return r;
}

void PrintScopeReport() {
  if (!g_printing.choosePrinter || !g_printing.print) {
    MessagePopup("ERROR", "Could not initialize NI Reports...");
    return;
  }
  char comment[1024];
  std::memset(comment, 0, sizeof comment);
  GetCtrlVal(Panels.Page[PAGE_SCOPE], SCOPE_COMMENT, comment, sizeof comment);
  const std::string picture = TemporaryPictureName();
  if (!picture.empty() && g_printing.savePanelPicture) g_printing.savePanelPicture(Panels.Scopep, picture);
  ScopeReport report = BuildScopeReport(State.PanelId, comment, picture);
  std::string printer;
  if (g_printing.choosePrinter(&printer) != 1) printer.clear();
  if (!printer.empty()) {
    if (g_printing.print(report, printer) == 0) {
      MessagePopup("Info!", "Print successful!");
    } else {
      MessagePopup("Info!", "Print error ");
    }
  }
  if (!picture.empty()) unlink(picture.c_str());
}
