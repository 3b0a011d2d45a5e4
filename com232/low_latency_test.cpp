// The low-latency request of a serial opening, on a pseudo-terminal with a fake
// adapter tree in place of /sys and a fake driver behind the serial-flag calls.
#include "com232/low_latency.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/file_bytes_test.h"
#include "com232/port_map.h"
#include "com232/rs232.h"

namespace fs = std::filesystem;

namespace {

using testfiles::FileBytes;

// The driver behind the fake serial-flag calls.
struct FakeDriver {
  int getError = 0;                  // errno of TIOCGSERIAL, 0 = it answers
  int setError = 0;                  // errno of TIOCSSERIAL, 0 = it takes the flags
  serial_struct info{};              // the driver's settings
  std::vector<serial_struct> sets;   // every TIOCSSERIAL, in order
};
FakeDriver g_driver;

int FakeFlagsCall(int, unsigned long request, serial_struct* info) {
  if (request == TIOCGSERIAL) {
    if (g_driver.getError) return errno = g_driver.getError, -1;
    *info = g_driver.info;
    return 0;
  }
  if (request == TIOCSSERIAL) {
    if (g_driver.setError) return errno = g_driver.setError, -1;
    g_driver.sets.push_back(*info);
    g_driver.info = *info;
    return 0;
  }
  return errno = ENOTTY, -1;
}

std::string Notice(const std::string& device, int ms) {
  return "ATTENTION!!! THE USB ADAPTER OF " + device + " HOLDS EVERY ANSWER BACK FOR " + std::to_string(ms) +
         " MS!\nSEE README: LOW LATENCY.\n\n";
}

class LowLatency : public ::testing::Test {
 protected:
  void SetUp() override {
    g_driver = FakeDriver{};
    g_driver.getError = ENOTTY;
    SetSerialFlagsCall(FakeFlagsCall);
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slave_ = ptsname(master_);
    char tmpl[] = "/tmp/low-latency-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    // The adapter's attribute, under the name of the node the slave path leads to.
    timer_ = root_ / "sys" / "class" / "tty" / fs::path(slave_).filename() / "device" / "latency_timer";
    fs::create_directories(timer_.parent_path());
    std::ofstream(timer_) << "16\n";
    SetComPortSearchDirectories("", (root_ / "sys").string());
    SetComPortDevice(1, slave_);
  }
  void TearDown() override {
    CloseCom(1);
    ClearComPortDevices();
    SetComPortSearchDirectories("", "");
    SetSerialFlagsCall(nullptr);
    if (master_ >= 0) close(master_);
    fs::remove_all(root_);
  }
  int Open() { return OpenComConfig(1, "", 115200, 0, 8, 1, 1024, 1024); }

  int master_ = -1;
  std::string slave_;
  fs::path root_, timer_;
};

TEST_F(LowLatency, TheTimerIsOneWhileThePortIsOpenAndItsOldValueAfter) {
  // Opened through a stable link, as /dev/serial/by-id names an adapter.
  const fs::path link = root_ / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  fs::create_symlink(slave_, link);
  ASSERT_EQ(OpenComConfig(1, link.c_str(), 115200, 0, 8, 1, 1024, 1024), 0);
  EXPECT_EQ(FileBytes(timer_), "1");
  EXPECT_EQ(TakeComLatencyNotice(1), "");
  ASSERT_EQ(CloseCom(1), 0);
  EXPECT_EQ(FileBytes(timer_), "16");
  // Every opening asks again; reopening an open port puts the old value back first.
  ASSERT_EQ(Open(), 0);
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(FileBytes(timer_), "1");
  CloseCom(1);
  EXPECT_EQ(FileBytes(timer_), "16");
  // A timer already at 1 is neither written nor named.
  std::ofstream(timer_) << "1\n";
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(TakeComLatencyNotice(1), "");
  CloseCom(1);
  EXPECT_EQ(FileBytes(timer_), "1\n");
}

TEST_F(LowLatency, SerialFlagsGetLowLatencyAndTheirOriginalsBack) {
  g_driver.getError = 0;
  g_driver.info.type = PORT_16550A;
  g_driver.info.flags = ASYNC_SKIP_TEST | ASYNC_SPD_HI;
  g_driver.info.baud_base = 24000000;
  g_driver.info.custom_divisor = 7;
  g_driver.info.xmit_fifo_size = 64;
  const serial_struct original = g_driver.info;
  ASSERT_EQ(Open(), 0);
  ASSERT_EQ(g_driver.sets.size(), 1u);
  serial_struct wanted = original;
  wanted.flags |= ASYNC_LOW_LATENCY;
  EXPECT_EQ(std::memcmp(&g_driver.sets[0], &wanted, sizeof wanted), 0);
  CloseCom(1);
  ASSERT_EQ(g_driver.sets.size(), 2u);
  EXPECT_EQ(std::memcmp(&g_driver.sets[1], &original, sizeof original), 0);

  // A driver already at low latency is not touched, on opening or closing.
  g_driver.info.flags |= ASYNC_LOW_LATENCY;
  g_driver.sets.clear();
  ASSERT_EQ(Open(), 0);
  CloseCom(1);
  EXPECT_EQ(g_driver.sets.size(), 0u);
}

TEST_F(LowLatency, DriversWithoutSerialFlagsAreSilentAndThePortWorks) {
  for (int error : {ENOTTY, EINVAL}) {
    g_driver.getError = error;
    ASSERT_EQ(Open(), 0);
    EXPECT_EQ(TakeComLatencyNotice(1), "");
    ASSERT_EQ(ComWrt(1, "U", 1), 1);
    char c = 0;
    for (int i = 0; i < 200 && read(master_, &c, 1) != 1; ++i) usleep(1000);
    EXPECT_EQ(c, 'U');
    CloseCom(1);
    EXPECT_TRUE(g_driver.sets.empty());
  }
  // A driver that refuses the new flags gets nothing put back either.
  g_driver.getError = 0;
  g_driver.setError = EPERM;
  ASSERT_EQ(Open(), 0);
  CloseCom(1);
  EXPECT_TRUE(g_driver.sets.empty());
}

// Opens twice as the unprivileged user `uid` (root writes any file, whatever its mode) and
// reports each opening's two takes of the notice and the timer while open, each ended by '#'.
std::string OpenAsUser(uid_t uid, const std::string& timer) {
  int out[2];
  if (pipe(out) != 0) return "pipe failed";
  pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    std::string report;
    const bool unprivileged = setgid(uid) == 0 && setuid(uid) == 0;
    if (!unprivileged) report = "setuid failed";
    for (int round = 0; round < 2 && unprivileged; ++round) {
      if (OpenComConfig(1, "", 115200, 0, 8, 1, 1024, 1024) != 0) report += "open failed";
      const std::string first = TakeComLatencyNotice(1);
      const std::string second = TakeComLatencyNotice(1);
      report += first + "|" + second + "|" + FileBytes(timer) + "#";
      CloseCom(1);
    }
    [[maybe_unused]] ssize_t n = write(out[1], report.data(), report.size());
    _exit(0);  // without the exit handlers, which belong to the parent's ports
  }
  close(out[1]);
  std::string report;
  char buf[512];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) report.append(buf, n);
  close(out[0]);
  waitpid(child, nullptr, 0);
  return report;
}

TEST_F(LowLatency, ATimerThatCannotBeWrittenIsLeftAndNamedOncePerOpening) {
  const std::string once = Notice(slave_, 16) + "||16\n#";
  if (geteuid() == 0) {
    // The tree and the slave are open to all; the timer stays root's own, as in /sys.
    for (fs::path p = timer_.parent_path(); p != root_.parent_path(); p = p.parent_path()) chmod(p.c_str(), 0755);
    chmod(timer_.c_str(), 0644);
    chmod(slave_.c_str(), 0666);
    EXPECT_EQ(OpenAsUser(65534, timer_.string()), once + once);
  } else {
    chmod(timer_.c_str(), 0444);
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(Open(), 0);
      EXPECT_EQ(TakeComLatencyNotice(1), Notice(slave_, 16));
      EXPECT_EQ(TakeComLatencyNotice(1), "");
      CloseCom(1);
    }
    EXPECT_EQ(FileBytes(timer_), "16\n");
  }

  // A timer that is no file at all is left as it is and taken at the driver's default.
  fs::remove(timer_);
  fs::create_directory(timer_);
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(TakeComLatencyNotice(1), Notice(slave_, 16));
  CloseCom(1);
  EXPECT_TRUE(fs::is_directory(timer_));
  EXPECT_TRUE(fs::is_empty(timer_));
}

TEST_F(LowLatency, APseudoTerminalOnTheRealSystemOpensWithoutANotice) {
  SetSerialFlagsCall(nullptr);
  SetComPortSearchDirectories("", "");
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(TakeComLatencyNotice(1), "");
  ASSERT_EQ(write(master_, "ok", 2), 2);
  char buf[2] = {};
  ASSERT_EQ(SetComTime(1, 2.0), 0);
  EXPECT_EQ(ComRd(1, buf, 2), 2);
  EXPECT_EQ(std::string(buf, 2), "ok");
}

}  // namespace
