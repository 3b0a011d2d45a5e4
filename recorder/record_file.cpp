// The record file: its header, its lines and the dialog that chooses it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <string>
#include <string_view>

#include "app/program_state.h"
#include "recorder/recorder.h"
#include "ui/ui.h"

namespace {

constexpr const char* kSaveWarning =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be saved.";

// Appends `bytes` to `path`, opened and closed for this one write, so another program
// may read the file between lines. 1, or -1. A write that fails part way (a full disk)
// is taken back, so the file never holds half a line that the next line would run into;
// a line cut off by a killed program is closed first, so the next line starts whole.
int AppendBytes(const std::string& path, const std::string& bytes) {
  if (path.empty()) return -1;
  constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
  int fd = open(path.c_str(), O_RDWR | kFlags, 0644);
  const bool readable = fd >= 0;
  if (!readable) fd = open(path.c_str(), O_WRONLY | kFlags, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  const bool sized = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::string text;
  char last = '\n';
  if (readable && sized && st.st_size > 0 && pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') {
    text = "\r\n";
  }
  text += bytes;
  std::string_view rest = text;
  while (!rest.empty()) {
    const ssize_t n = write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  if (!rest.empty() && sized && ftruncate(fd, st.st_size) != 0) {
    // Nothing more can be done: the line is counted as lost either way.
  }
  const bool closed = close(fd) == 0;
  return rest.empty() && closed ? 1 : -1;
}

// Decimal, no padding, a "-" for negative values (to_chars: the C locale whatever the process's).
void AppendDecimal(std::string& out, int v) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

}  // namespace

const char* const RecordColumnTitles[RECORD_COLUMNS] = {"DATE",  "TIME",    "RED",   "GREEN",   "BLUE",
                                                         "X s",   "Y i",     "INT M", "delta C", "COLOR",
                                                         "GROUP", "TRIGGER", "TEMP"};

std::string RecordHeaderText(const std::string& panelId) {
  std::string h = "\nRECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2\r\n";
  if (!panelId.empty()) h += "PANEL ID: " + panelId + "\r\n";
  h += "\r\n";
  for (int i = 0; i < RECORD_COLUMNS; ++i) {
    if (i > 0) h += '\t';
    h += RecordColumnTitles[i];
  }
  h += "\r\n";
  return h;
}

void AppendRecordValues(std::string* out, const MeasuredValuesRecord& m, char separator) {
  std::string& line = *out;
  const int values[11] = {m.Red, m.Green, m.Blue, m.X, m.Y, m.Int, m.DeltaC, m.ColorNo, m.GroupNo, m.Trigger, m.Temp};
  for (int i = 0; i < 11; ++i) {
    if (i > 0) line += separator;
    AppendDecimal(line, values[i]);
  }
}

std::string RecordLineText(const MeasuredValuesRecord& m, const std::string& date, const std::string& time) {
  std::string line;
  line.reserve(96);
  line += date;
  line += '\t';
  line += time;
  line += '\t';
  AppendRecordValues(&line, m, '\t');
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
                                     VAL_OK_BUTTON, 1, &chosen);
  if (result <= VAL_NO_FILE_SELECTED) {
    // The previous path stays: the message says that nothing will be recorded into a new file.
    MessagePopup("ATTENTION!", "No filename was selected! \nRecording will not be done! ");
    return;
  }
  if (result == VAL_EXISTING_FILE_SELECTED) {
    if (ConfirmPopupNoDefault("ATTENTION!", "File already exist! \nDo you want to select existing file?") != 1) return;
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
