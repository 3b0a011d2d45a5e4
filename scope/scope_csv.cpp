// The capture on display as a CSV file: one line per sample, numbers in the C
// locale (to_chars does not follow the process locale), CR LF line ends.
#include <charconv>
#include <cstdio>
#include <string>

#include "app/uir.h"
#include "parameters/ini.h"
#include "scope/scope.h"
#include "ui/ui.h"

namespace {

constexpr const char* kHeader = "INDEX,TIME [ms],RED LINE,GREEN LINE,BLUE LINE,BINARY 0,BINARY 1\r\n";

void AppendNumber(std::string* out, double v, int digits) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, digits);
  out->append(buf, r.ptr);
}

void AppendNumber(std::string* out, long v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out->append(buf, r.ptr);
}

std::string LastCsvPath;  // the last file saved, start of the next dialog

}  // namespace

int WriteScopeCsv(const std::string& path) {
  std::string text = kHeader;
  const double step = Scope.CycleTimeMs * Scope.Captured.ScanRate;
  for (int i = 0; i < SCOPE_SAMPLES; ++i) {
    AppendNumber(&text, i);
    text += ',';
    AppendNumber(&text, i * step, 6);
    for (int b = 0; b < 3; ++b) {
      text += ',';
      AppendNumber(&text, Scope.Plotted[b][i]);
    }
    text += ',';
    AppendNumber(&text, Scope.Upper[i]);
    text += ',';
    AppendNumber(&text, Scope.Lower[i]);
    text += "\r\n";
  }
  // Through a temporary file: a full disk or a killed program leaves an older file whole.
  return ReplaceFileContents(path, text);
}

void SaveScopeCsv() {
  std::string directory = ProgramDirectory(), name = "ScopeCapture.csv";
  if (!LastCsvPath.empty()) {
    std::string drive;
    SplitPath(LastCsvPath, &drive, &directory, &name);
  }
  std::string path;
  const int r = FileSelectPopup(directory.c_str(), name.c_str(), "*.csv", "SAVE SCOPE DATA", VAL_SAVE_BUTTON, 1, &path);
  if (r != VAL_EXISTING_FILE_SELECTED && r != VAL_NEW_FILE_SELECTED) return;
  if (WriteScopeCsv(path) != 1) {
    MessagePopup("ATTENTION!", ("COULD NOT WRITE THE FILE!\n" + path).c_str());
    return;
  }
  LastCsvPath = path;
}
