// The scope report on paper: the system's print dialog and a painter that lays
// the report out on the chosen printer's pages.
#pragma once

#include "scope/scope_report.h"

class QPrinter;

// Installs the printing service of the print button; call after the Qt face has started.
void InstallQtReportPrinting();

// The printer the print dialog configures; it keeps the operator's choices between two prints.
QPrinter& ReportPrinter();

// Lays the report out on the printer's pages (the running texts at the foot of each page) and
// paints it: 0, or -1 when the printer cannot be painted on (a file that cannot be written, say).
int PaintScopeReport(const ScopeReport& report, QPrinter& printer);
