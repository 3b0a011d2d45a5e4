// The printed scope screen: a report of text lines and the picture of SCOPEP.
//
// The report is a plain model (what the print-out holds, in order, with its
// font sizes); a printing service of the platform renders it. Headless the
// service is whatever a test installs (none by default: no printer is ever
// chosen); the Qt face installs one with the system's print dialog.
#pragma once

#include <string>
#include <vector>

struct ReportItem {
  enum Kind { Line, EmptyLine, Picture } kind = Line;
  std::string text;       // the line (may hold line breaks), or the picture's caption
  std::string font;       // font name of a line
  double size = 10.0;     // font size of a line in points
  int plain = 1;          // the style attributes are 0: plain text
  std::string imagePath;  // picture file
};

struct ScopeReport {
  std::vector<std::string> pageTexts;  // running texts on every page, in order
  std::vector<ReportItem> items;       // the report from the top
};

struct ReportPrinting {
  // Writes a picture of the whole panel to `path`; 1 or -1.
  int (*savePanelPicture)(int panel, const std::string& path) = nullptr;
  // The print dialog: 1 with the printer's name when the operator confirmed, 0 when cancelled.
  int (*choosePrinter)(std::string* printerName) = nullptr;
  // Prints the report on the named printer: 0 on success.
  int (*print)(const ScopeReport& report, const std::string& printerName) = nullptr;
};

// Installs the printing service (all null = none, as at start).
void SetReportPrinting(const ReportPrinting& printing);

// The report for PanelId, the comment and a picture file, in print order.
ScopeReport BuildScopeReport(const std::string& panelId, const std::string& comment, const std::string& picturePath);
// The print button: builds the report, asks for a printer, prints and tells the result.
void PrintScopeReport();
