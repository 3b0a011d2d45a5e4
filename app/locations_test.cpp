// Where the settings go: beside a program whose folder is writable, else into the
// user's configuration folder; and where the program finds its own data.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/locations.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

TEST(FilePlaces, AWritableProgramFolderKeepsEverythingBesideTheProgram) {
  const FilePlaces p = ChooseFilePlaces("/opt/scope", true, "/home/ann/.cfg", "/home/ann");
  EXPECT_EQ(p.project, "/opt/scope");
  EXPECT_EQ(p.records, "/opt/scope");
}

TEST(FilePlaces, AReadOnlyProgramFolderMovesSettingsToTheConfigurationFolderAndRecordsHome) {
  FilePlaces p = ChooseFilePlaces("/usr/bin", false, "/home/ann/.cfg/", "/home/ann");
  EXPECT_EQ(p.project, "/home/ann/.cfg/chromik4-ana-scope");
  EXPECT_EQ(p.records, "/home/ann");
  // Unset, empty or relative XDG_CONFIG_HOME: ~/.config.
  for (const char* xdg : {"", "relative/cfg"}) {
    p = ChooseFilePlaces("/usr/bin", false, xdg, "/home/ann");
    EXPECT_EQ(p.project, "/home/ann/.config/chromik4-ana-scope") << xdg;
    EXPECT_EQ(p.records, "/home/ann") << xdg;
  }
  // No home at all: the configuration folder still takes the records.
  p = ChooseFilePlaces("/usr/bin", false, "/etc/xdg-user", "");
  EXPECT_EQ(p.project, "/etc/xdg-user/chromik4-ana-scope");
  EXPECT_EQ(p.records, "/etc/xdg-user/chromik4-ana-scope");
  p = ChooseFilePlaces("/usr/bin", false, "", "");
  EXPECT_EQ(p.project, "/usr/bin");  // nowhere else: the failed write is reported then
}

// A scratch folder removed with everything below it.
struct TempDir {
  TempDir() {
    char tmpl[] = "/tmp/chromik-places-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { (void)std::system(("chmod -R u+w '" + path + "' 2>/dev/null; rm -rf '" + path + "'").c_str()); }
  std::string path;
};

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST(ProgramData, FoundBesideTheProgramFirstThenInTheInstalledDataFolder) {
  TempDir t;
  const std::string bin = t.path + "/bin";
  const std::string data = t.path + "/share/chromik4-ana-scope";
  ASSERT_TRUE(MakeDirectories(bin));
  ASSERT_TRUE(MakeDirectories(data));
  SetProgramDirectory(bin);
  EXPECT_EQ(ProgramDataFile("logo.png"), bin + "/logo.png");  // neither: names the first place
  Touch(data + "/logo.png");
  EXPECT_EQ(ProgramDataFile("logo.png"), bin + "/../share/chromik4-ana-scope/logo.png");
  Touch(bin + "/logo.png");
  EXPECT_EQ(ProgramDataFile("logo.png"), bin + "/logo.png");  // the build folder's copy wins
  SetProgramDirectory("");
}

TEST(ProgramData, MakeDirectoriesCreatesParentsAndRefusesAFileInTheWay) {
  TempDir t;
  EXPECT_TRUE(MakeDirectories(t.path + "/a/b/c"));
  EXPECT_TRUE(MakeDirectories(t.path + "/a/b/c"));  // already there
  struct stat st {};
  ASSERT_EQ(stat((t.path + "/a/b/c").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  Touch(t.path + "/file");
  EXPECT_FALSE(MakeDirectories(t.path + "/file/sub"));
}

// The whole program headless, with $XDG_CONFIG_HOME and $HOME in a scratch folder.
class SettingsPlace : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    dir_ = scratch_->Dir();
    config_ = user_.path + "/config";
    home_ = user_.path + "/home";
    ASSERT_TRUE(MakeDirectories(home_));
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    setenv("HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    scratch_.reset();
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  // Starts, sets the identification as the operator would and closes the main window.
  static void RunOnceWithId(const std::string& id) {
    if (LoadPanelSet() != 1) std::abort();
    InitializeGui();
    ui::op::SetText(Panels.Page[PAGE_CONNECTION], COM_EDIT_ID, id);
    ProcessSystemEvents();
    ui::op::ClosePanel(Panels.Mainp);
    ProcessSystemEvents();
    ShutdownProgram();
  }
  // Starts again on a fresh runtime and reads what the settings gave.
  static void StartAgain() {
    ui::headless::Reset();
    RegisterPanelResources();
    ui::headless::UseTestClock(1000.0, 0.02);
    if (LoadPanelSet() != 1) std::abort();
    InitializeGui();
  }
  std::string ConfigFolder() const { return config_ + "/chromik4-ana-scope"; }

  std::unique_ptr<harness::Scratch> scratch_;
  TempDir user_;
  std::string dir_, config_, home_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(SettingsPlace, AWritableProgramFolderHoldsTheSettingsAndTheDefaults) {
  RunOnceWithId("beside");
  EXPECT_NE(FileBytes(dir_ + "/PanelSettings.cfg").find("PANEL ID: = \"beside\""), std::string::npos);
  struct stat st {};
  EXPECT_NE(stat(config_.c_str(), &st), 0) << "configuration folder made although not needed";
  StartAgain();
  EXPECT_EQ(State.PanelId, "beside");
  EXPECT_EQ(State.PanelSettingsPath, dir_ + "/PanelSettings.cfg");
  EXPECT_EQ(State.ParameterFilePath, dir_ + "/Parameter.ini");
}

// Makes `dir` unwritable for this process, also for root: a read-only bind mount in a
// mount namespace of its own, or else the rights of the unprivileged user "nobody".
// The caller has opened the scratch folders to that user.
bool MakeUnwritable(const std::string& dir) {
  if (geteuid() != 0) return chmod(dir.c_str(), 0555) == 0 && access(dir.c_str(), W_OK) != 0;
  if (unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
      mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
      mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0 &&
      access(dir.c_str(), W_OK) != 0) {
    return true;
  }
  return chmod(dir.c_str(), 0555) == 0 && setgid(65534) == 0 && setuid(65534) == 0 &&
         access(dir.c_str(), W_OK) != 0;
}

TEST_F(SettingsPlace, AReadOnlyProgramFolderKeepsTheSettingsInTheConfigurationFolder) {
  // A settings file already beside the program is not what this program reads any more.
  std::ofstream(dir_ + "/PanelSettings.cfg") << "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
                                                "PANEL ID: = \"old\"\r\n\r\n";
  const std::string before = FileBytes(dir_ + "/PanelSettings.cfg");
  chmod(user_.path.c_str(), 0777);
  chmod(home_.c_str(), 0777);
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child runs the program twice on the unwritable folder and reports what it saw.
    close(report[0]);
    if (!MakeUnwritable(dir_)) _exit(77);
    RunOnceWithId("kept");
    StartAgain();
    const std::string seen = State.PanelId + "\n" + State.PanelSettingsPath + "\n" + State.ParameterFilePath +
                             "\n" + State.TableAttributesPath + "\n" + State.HardwareFilePath + "\n" +
                             State.RecordFilePath + "\n";
    ShutdownProgram();
    _exit(write(report[1], seen.data(), seen.size()) == static_cast<ssize_t>(seen.size()) ? 0 : 3);
  }
  close(report[1]);
  std::string seen;
  char buf[512];
  for (ssize_t n; (n = read(report[0], buf, sizeof buf)) > 0;) seen.append(buf, static_cast<std::size_t>(n));
  close(report[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  chmod(dir_.c_str(), 0700);  // a non-root run changed the folder's mode itself
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no way to make a folder unwritable here";
  ASSERT_EQ(WEXITSTATUS(status), 0);

  const std::string folder = ConfigFolder();
  EXPECT_EQ(seen, "kept\n" + folder + "/PanelSettings.cfg\n" + folder + "/Parameter.ini\n" + folder +
                      "/TableAttributes.ini\n" + folder + "/HardwareInitialFile.ini\n" + home_ + "/RecordFile.dat\n");
  const std::string written = FileBytes(folder + "/PanelSettings.cfg");
  EXPECT_NE(written.find("PANEL ID: = \"kept\""), std::string::npos);
  EXPECT_NE(written.find("RECORDER FILE = \"" + home_ + "/RecordFile.dat\""), std::string::npos);
  EXPECT_EQ(FileBytes(dir_ + "/PanelSettings.cfg"), before);  // the program's folder untouched
}

TEST_F(SettingsPlace, AFailedWriteAtCloseIsReportedWithThePath) {
  // A regular file where the configuration folder should be: nobody, root included, can write there.
  Touch(config_);
  if (LoadPanelSet() != 1) std::abort();
  InitializeGui();
  State.PanelSettingsPath = config_ + "/chromik4-ana-scope/PanelSettings.cfg";
  testing::internal::CaptureStderr();
  ASSERT_TRUE(ui::op::ClosePanel(Panels.Mainp));
  ProcessSystemEvents();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("chromik4-ana-scope: the panel settings could not be written to " + State.PanelSettingsPath +
                     ": "),
            std::string::npos)
      << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

}  // namespace
