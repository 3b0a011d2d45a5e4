// The record file: its header, its lines and the dialog that chooses it.
#include <cstdio>
#include <string>

#include "app/program_state.h"
#include "recorder/recorder.h"
#include "ui/ui.h"

namespace {

constexpr const char* kSaveWarning =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be saved.";

// Appends `bytes` to `path` in binary mode, opened and closed for this one write,
// so another program may read the file between lines. 1, or -1.
int AppendBytes(const std::string& path, const std::string& bytes) {
  if (path.empty()) return -1;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return -1;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;  // a full disk may only show when the buffer goes out
  return written && closed ? 1 : -1;
}

void AppendUnsigned(std::string& out, unsigned v) {
  char buf[16];
  int n = std::snprintf(buf, sizeof buf, "%u", v);
  out.append(buf, static_cast<std::size_t>(n));
}

}  // namespace

std::string RecordHeaderText(const std::string& panelId) {
  std::string h = "\nRECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2\r\n";
  if (!panelId.empty()) h += "PANEL ID: " + panelId + "\r\n";
  h += "\r\n";
  h += "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\r\n";
  return h;
}

std::string RecordLineText(const MeasuredValuesRecord& m, const std::string& date, const std::string& time) {
  std::string line;
  line.reserve(96);
  line += date;
  line += '\t';
  line += time;
  line += '\t';
  const unsigned before[] = {m.Red, m.Green, m.Blue, m.X, m.Y, m.Int};
  for (unsigned v : before) {
    AppendUnsigned(line, v);
    line += '\t';
  }
  char buf[16];
  int n = std::snprintf(buf, sizeof buf, "%d", static_cast<int>(m.DeltaC));
  line.append(buf, static_cast<std::size_t>(n));
  line += '\t';
  const unsigned after[] = {m.ColorNo, m.GroupNo, m.Trigger};
  for (unsigned v : after) {
    AppendUnsigned(line, v);
    line += '\t';
  }
  AppendUnsigned(line, m.Temp);
  line += "\r\n";
  return line;
}

int WriteRecordHeader() { return AppendBytes(State.RecordFilePath, RecordHeaderText(State.PanelId)); }

int AppendRecordLine() {
  // The time string is taken first, as the line is written, not as the frame arrived.
  const std::string time = TimeStr();
  const std::string date = DateStr();
  if (AppendBytes(State.RecordFilePath, RecordLineText(MeasuredValues, date, time)) == 1) {
    ++Recorder.LinesWritten;
    return 1;
  }
  ++Recorder.LinesLost;
  return -1;
}

void SelectRecordFile() {
  std::string drive, directory, name;
  SplitPath(State.RecordFilePath, &drive, &directory, &name);
  std::string chosen;
  const int result = FileSelectPopup((drive + directory).c_str(), "RecordFile.dat", "*.dat", "FILENAME!",
                                     VAL_SAVE_BUTTON, 1, &chosen);
  if (result <= VAL_NO_FILE_SELECTED) {
    // The previous path stays: the message says that nothing will be recorded into a new file.
    MessagePopup("ATTENTION!", "No filename was selected! \nRecording will not be done! ");
    return;
  }
  if (result == VAL_EXISTING_FILE_SELECTED) {
    if (ConfirmPopup("ATTENTION!", "File already exist! \nDo you want to select existing file?") != 1) return;
    State.RecordFilePath = chosen;
    MessagePopup("ATTENTION!", kSaveWarning);
    ShowRecordFilePath();
    DeleteFileAtPath(State.RecordFilePath);
    WriteRecordHeader();
    return;
  }
  State.RecordFilePath = chosen;
  ShowRecordFilePath();
  WriteRecordHeader();
}
