// The scope report on paper: the system's print dialog and a painter that lays
// the report out on the chosen printer's pages.
#pragma once

#include <string>

#include "scope/scope_report.h"

class QPrinter;

// Installs the printing service of the print button (the three functions below); call after
// the Qt face has started.
void InstallQtReportPrinting();

// The service's parts. The picture of a panel; 1 or -1.
int SaveReportPicture(int panel, const std::string& path);
// The system's print dialog: 1 with the chosen printer's name (a PDF file's name when the
// operator prints to a file), 0 when cancelled.
int ChooseReportPrinter(std::string* printerName);
// Prints the report on the named printer: the one the dialog configured, or a print queue
// chosen by its name, which then prints on its own default page size. 0, or -1 when the
// print system has no such queue or the printer cannot be painted on.
int PrintReportOn(const ScopeReport& report, const std::string& printerName);

// The printer the print dialog configures; it keeps the operator's choices between two prints.
// It starts on the system's default print queue (or the first there is) with that queue's
// default page size.
QPrinter& ReportPrinter();

// Lays the report out on the printer's pages (the running texts at the foot of each page) and
// paints it: 0, or -1 when the printer cannot be painted on (a file that cannot be written, say).
int PaintScopeReport(const ScopeReport& report, QPrinter& printer);
