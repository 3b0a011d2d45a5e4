// Writers killed at arbitrary moments and writers on a full disk: every settings file
// is afterwards either its complete old or its complete new self, the record file keeps
// every line that was completed, and a full disk is reported where the writer reports.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "calibration/calibration.h"
#include "parameters/ini.h"
#include "parameters/parameter_file.h"
#include "parameters/parameter_set.h"
#include "recorder/recorder.h"
#include "scope/scope.h"
#include "teach/row_colors.h"
#include "teach/table_attributes.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

namespace fs = std::filesystem;
namespace hl = ui::headless;

// Names in `dir` other than `keep`.
std::set<std::string> OthersIn(const std::string& dir, const std::set<std::string>& keep) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (!keep.count(name)) out.insert(name);
  }
  return out;
}

bool WriteFully(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string ReadAll(int fd) {
  std::string out;
  char buf[4096];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return out;
    out.append(buf, static_cast<std::size_t>(n));
  }
}

void PauseMicroseconds(long us) {
  timespec t{us / 1000000, (us % 1000000) * 1000};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

// A child that runs `step(0)`, `step(1)`, ... until it is killed, reporting each step
// that returned to the pipe (its number as 4 bytes). The parent waits for the first
// report, lets it run on for a random moment and kills it. Returns the reports.
std::vector<int> KillWhileLooping(const std::function<void(int)>& step, std::mt19937& rng) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    for (int i = 0;; ++i) {
      step(i);
      if (!WriteFully(fds[1], &i, sizeof i)) _exit(3);
    }
  }
  close(fds[1]);
  int first = -1;
  const bool started = read(fds[0], &first, sizeof first) == static_cast<ssize_t>(sizeof first);
  // Anywhere from at once to a few writes later; each moment must leave a sound file.
  PauseMicroseconds(std::uniform_int_distribution<long>(0, 3000)(rng));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  std::vector<int> reports;
  if (started) reports.push_back(first);
  const std::string rest = ReadAll(fds[0]);
  close(fds[0]);
  for (std::size_t at = 0; at + sizeof(int) <= rest.size(); at += sizeof(int)) {
    int n = 0;
    std::memcpy(&n, rest.data() + at, sizeof n);
    reports.push_back(n);
  }
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended by itself: " << status;
  return reports;
}

// Runs `body` in a forked child with files limited to `limitBytes` (SIGXFSZ ignored, so
// a write beyond it fails with EFBIG, as on a full disk). The child's report (what the
// writer showed the operator) comes back as text.
std::string OnFullDisk(rlim_t limitBytes, const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "<no pipe>";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = limitBytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    const std::string report = body();
    _exit(WriteFully(fds[1], report.data(), report.size()) ? 0 : 3);
  }
  close(fds[1]);
  const std::string report = ReadAll(fds[0]);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  return report;
}

std::string PopupsText() {
  std::string out;
  for (const auto& p : hl::Popups()) {
    if (p.kind != "file") out += p.title + "|" + p.text + "\n";
  }
  return out;
}

constexpr int kRounds = 100;

// The program started headless without a sensor, a settings writer at hand.
class FileSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    // In memory where there is such a file system: a kill is about what the process
    // leaves behind, the disk's flush time plays no part, and a busy disk does not slow
    // the hundreds of writes down.
    char tmpl[] = "/dev/shm/chromik-files-XXXXXX";
    if (mkdtemp(tmpl) != nullptr) {
      dir_ = tmpl;
      inMemory_ = true;
    } else {
      dir_ = scratch_->Dir() + "/files";
      fs::create_directory(dir_);
    }
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    hl::Popups().clear();
  }
  void TearDown() override {
    if (inMemory_) fs::remove_all(dir_);
    scratch_.reset();
  }

  // Writes the three states of `write` once each and keeps their bytes, leaves state 0
  // in place, then kills `write` (stepping through the states) kRounds times.
  void ExpectNeverTorn(const std::string& target, const std::function<void(int)>& write) {
    std::string states[3];
    for (int k : {1, 2, 0}) {
      write(k);
      states[k] = FileBytes(target);
    }
    ASSERT_FALSE(states[0].empty());
    ASSERT_TRUE(states[0] != states[1] && states[1] != states[2] && states[0] != states[2]);
    const std::string name = fs::path(target).filename().string();
    const std::string temporary = fs::path(IniTemporaryPath(target)).filename().string();
    std::mt19937 rng(20261209);
    int completed = 0, leftTemporary = 0, cutShort = 0;
    for (int round = 0; round < kRounds; ++round) {
      const std::vector<int> done = KillWhileLooping(write, rng);
      ASSERT_FALSE(done.empty()) << "round " << round << ": the child wrote nothing";
      const std::string now = FileBytes(target);
      // The last write that returned, or the next one if the kill came after its rename.
      const int last = done.back() % 3, next = (done.back() + 1) % 3;
      ASSERT_TRUE(now == states[last] || now == states[next])
          << "round " << round << ": " << now.size() << " bytes, neither the last written file nor the next";
      completed += static_cast<int>(done.size());
      // At most the one temporary, never a pile of them.
      const std::set<std::string> others = OthersIn(dir_, {name});
      ASSERT_TRUE(others.empty() || others == std::set<std::string>{temporary}) << *others.begin();
      leftTemporary += others.empty() ? 0 : 1;
      cutShort += now == states[last] ? 1 : 0;
      // A leftover temporary is neither read nor in the way of the next write.
      if (round % 10 == 9) {
        write(0);
        ASSERT_EQ(FileBytes(target), states[0]);
        ASSERT_TRUE(OthersIn(dir_, {name}).empty()) << "the next write takes the temporary over";
      }
    }
    std::printf("[ figures  ] %s: %d kills after %d completed writes; %d kills cut a write short, "
                "%d left the temporary\n",
                name.c_str(), kRounds, completed, cutShort, leftTemporary);
  }

  std::unique_ptr<harness::Scratch> scratch_;
  std::string dir_;  // the files under test, alone in it
  bool inMemory_ = false;
};

// [SECTION] Killed writers

TEST_F(FileSafety, KilledPanelSettingsWriterLeavesTheOldOrTheNewFile) {
  State.PanelSettingsPath = dir_ + "/PanelSettings.cfg";
  ExpectNeverTorn(State.PanelSettingsPath, [](int i) {
    static const char* const ids[3] = {"first", "second sorter", "third, with a longer text"};
    SetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_EDIT_ID, ids[i % 3]);
    WritePanelSettings();
  });
}

TEST_F(FileSafety, KilledParameterFileWriterLeavesTheOldOrTheNewFile) {
  const std::string target = dir_ + "/Parameter.ini";
  ExpectNeverTorn(target, [&](int i) {
    SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, 900 + i % 3);
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
    if (WriteParameterFile() != 1) _exit(4);
  });
}

TEST_F(FileSafety, KilledTableAttributesWriterLeavesTheOldOrTheNewFile) {
  const std::string target = dir_ + "/TableAttributes.ini";
  ExpectNeverTorn(target, [&](int i) {
    RowColors[3] = 0x123450 + i % 3;
    SetTableCellVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {4, 1}, std::string(static_cast<std::size_t>(i % 3) * 40, 'r').c_str());
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
    if (SaveTableAttributes() != 1) _exit(4);
  });
}

// WriteHardwareFile asks the sensor before it writes; what it writes is this document
// through the same file writer, which is what a kill can cut short.
TEST_F(FileSafety, KilledHardwareFileWriterLeavesTheOldOrTheNewFile) {
  const std::string target = dir_ + "/HardwareInitialFile.ini";
  ExpectNeverTorn(target, [&](int i) {
    HardwareFileContent content;
    content.FirmwareVersion = "FW " + std::to_string(i % 3);
    for (int w = 0; w < HARDWARE_WORDS; ++w) content.HardwareData[w] = static_cast<std::uint16_t>(w * (i % 3 + 1));
        if (IniWriteFile(HardwareFileDocument(content), target) != 1) _exit(4);
  });
}

// Fields of a record line, or empty when it is not one.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    out.push_back(line.substr(start, tab - start));
  }
  out.push_back(line.substr(start));
  return out;
}

TEST_F(FileSafety, KilledRecordingKeepsEveryCompletedLine) {
  State.RecordFilePath = dir_ + "/RecordFile.dat";
  std::mt19937 rng(7);
  long long linesSeen = 0;
  int cutLines = 0;
  for (int round = 0; round < kRounds; ++round) {
    fs::remove(State.RecordFilePath);
    ASSERT_EQ(WriteRecordHeader(), 1);
    const std::string header = FileBytes(State.RecordFilePath);
    const std::vector<int> done = KillWhileLooping(
        [](int i) {
          MeasuredValues = MeasuredValuesRecord{};
          MeasuredValues.Red = static_cast<std::uint16_t>(i);
          MeasuredValues.Temp = static_cast<std::uint16_t>(i + 1);
          if (AppendRecordLine() != 1) _exit(4);
        },
        rng);
    ASSERT_FALSE(done.empty());
    const std::string bytes = FileBytes(State.RecordFilePath);
    ASSERT_EQ(bytes.compare(0, header.size(), header), 0) << "the header stays";
    // Lines 0 .. done.back() were completed; a kill after the write but before the
    // report adds one more. A line cut off by the kill may only stand at the end.
    std::size_t at = header.size();
    int line = 0;
    for (std::size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2, ++line) {
      const std::vector<std::string> f = Fields(bytes.substr(at, end - at));
      ASSERT_EQ(f.size(), 13u) << "round " << round << " line " << line;
      EXPECT_EQ(f[2], std::to_string(line));
      EXPECT_EQ(f[12], std::to_string(line + 1));
    }
    EXPECT_GE(line, done.back() + 1) << "round " << round << ": a completed line is missing";
    EXPECT_LE(line, done.back() + 2);
    EXPECT_LT(bytes.size() - at, 100u);  // at most the start of one line after the last CR LF
    cutLines += at != bytes.size() ? 1 : 0;
    linesSeen += line;
    // Recording again: the next line starts on a line of its own, also after a cut one.
    MeasuredValues.Red = 9999;
    ASSERT_EQ(AppendRecordLine(), 1);
    const std::string after = FileBytes(State.RecordFilePath);
    ASSERT_EQ(after.compare(0, at, bytes, 0, at), 0);
    const std::size_t start = after.rfind("\r\n", after.size() - 3) + 2;
    EXPECT_GE(start, bytes.size());
    const std::vector<std::string> f = Fields(after.substr(start, after.size() - 2 - start));
    ASSERT_EQ(f.size(), 13u);
    EXPECT_EQ(f[2], "9999");
  }
  std::printf("[ figures  ] record file: %d kills, %lld complete lines, %d cut lines at the end\n", kRounds,
              linesSeen, cutLines);
}

// [SECTION] A full disk

// The old file, a full disk, the write: reported as `report`, old file unchanged, no temporary.
class FullDisk : public FileSafety {
 protected:
  void ExpectRefused(const std::string& target, const std::function<void()>& write, const std::string& report) {
    write();  // without a limit: the old file
    const std::string old = FileBytes(target);
    ASSERT_GT(old.size(), 600u);
    const std::string shown = OnFullDisk(512, [&] {
      hl::Popups().clear();
      write();
      return PopupsText();
    });
    EXPECT_EQ(shown, report);
    EXPECT_EQ(FileBytes(target), old);
    EXPECT_TRUE(OthersIn(dir_, {fs::path(target).filename().string()}).empty());
  }
};

TEST_F(FullDisk, PanelSettingsSayWhyOnStandardError) {
  State.PanelSettingsPath = dir_ + "/PanelSettings.cfg";
  const std::string said = scratch_->Dir() + "/stderr.txt";
  ExpectRefused(State.PanelSettingsPath, [&] {
    SetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_EDIT_ID, "new id");
    const int keep = dup(2);
    const int to = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(to, 2);
    close(to);
    WritePanelSettings();
    dup2(keep, 2);
    close(keep);
  }, "");
  EXPECT_EQ(FileBytes(said), "chromik4-ana-scope: the panel settings could not be written to " + State.PanelSettingsPath +
                             ": File too large\n");
}

TEST_F(FullDisk, TheParameterFileIsReportedNotSaved) {
  const std::string target = dir_ + "/Parameter.ini";
  int power = 100;
  ExpectRefused(target, [&] {
    SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, power++);
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
    WriteParameterFile();
  }, "ATTENTION!|The parameter file could not be written:\n" + target +
         "\n\nThe parameters were not saved; an existing file is unchanged.\n");
}

TEST_F(FullDisk, TheTableAttributesFileIsReportedNotSaved) {
  const std::string target = dir_ + "/TableAttributes.ini";
  ExpectRefused(target, [&] {
    ++RowColors[0];
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
    SaveTableAttributes();
  }, "ATTENTION!|The table attributes file could not be written:\n" + target +
         "\n\nThe table attributes were not saved; an existing file is unchanged.\n");
}

TEST_F(FullDisk, TheScopeCsvFileIsReportedNotSaved) {
  const std::string target = dir_ + "/ScopeCapture.csv";
  ExpectRefused(target, [&] {
    ++Scope.Plotted[0][0];
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
    SaveScopeCsv();
  }, "ATTENTION!|COULD NOT WRITE THE FILE!\n" + target + "\n");
}

TEST_F(FullDisk, RecordLinesBeyondTheLimitAreCountedAndNoHalfLineStays) {
  State.RecordFilePath = dir_ + "/RecordFile.dat";
  ASSERT_EQ(WriteRecordHeader(), 1);
  MeasuredValues = MeasuredValuesRecord{};
  ASSERT_EQ(AppendRecordLine(), 1);
  const std::string before = FileBytes(State.RecordFilePath);
  const std::size_t lineSize = before.size() - RecordHeaderText("").size();
  // Room for two more lines and a part of a third.
  const std::string shown = OnFullDisk(before.size() + 2 * lineSize + lineSize / 2, [] {
    Recorder.LinesWritten = Recorder.LinesLost = 0;
    for (int i = 0; i < 5; ++i) AppendRecordLine();
    ReportRecordResult();
    return PopupsText();
  });
  EXPECT_EQ(shown, "ATTENTION!|3 OF 5 DATA FRAMES COULD NOT BE SAVED! \nRECORD FILE: " + State.RecordFilePath + "\n");
  const std::string after = FileBytes(State.RecordFilePath);
  ASSERT_EQ(after.size(), before.size() + 2 * lineSize) << "two whole lines, no part of the third";
  EXPECT_EQ(after.compare(0, before.size(), before), 0);
  EXPECT_EQ(after.substr(after.size() - 2), "\r\n");
}

TEST_F(FileSafety, ALineCutOffEarlierIsClosedBeforeTheNextOne) {
  State.RecordFilePath = dir_ + "/RecordFile.dat";
  ASSERT_EQ(WriteRecordHeader(), 1);
  std::ofstream(State.RecordFilePath, std::ios::binary | std::ios::app) << "12-09-2026\t03:";
  const std::string cut = FileBytes(State.RecordFilePath);
  MeasuredValues = MeasuredValuesRecord{};
  MeasuredValues.Red = 77;
  ASSERT_EQ(AppendRecordLine(), 1);
  const std::string after = FileBytes(State.RecordFilePath);
  ASSERT_EQ(after.compare(0, cut.size() + 2, cut + "\r\n"), 0);
  const std::vector<std::string> f = Fields(after.substr(cut.size() + 2, after.size() - cut.size() - 4));
  ASSERT_EQ(f.size(), 13u);
  EXPECT_EQ(f[2], "77");
}

// The hardware file needs the sensor before it writes.
TEST(FullDiskHardwareFile, IsReportedInTheMessageBoxNotClaimedAsSaved) {
  harness::Program program;
  program.Start();
  const std::string target = program.Dir() + "/HardwareInitialFile.ini";
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
  ASSERT_EQ(WriteHardwareFile(), 1);
  const std::string old = FileBytes(target);
  ASSERT_GT(old.size(), 2000u);
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, 321);
  const std::string box = OnFullDisk(1024, [&] {
    const std::size_t known = program.MessageBox().size();
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
    const int result = WriteHardwareFile();
    return std::to_string(result) + "|" + program.MessageBox().substr(known);
  });
  EXPECT_EQ(box, "-1|ATTENTION!   HARDWARE INI FILE COULD NOT BE WRITTEN TO:\n" + target + "\n\n");
  EXPECT_EQ(FileBytes(target), old);
  EXPECT_FALSE(fs::exists(IniTemporaryPath(target)));
}

}  // namespace
