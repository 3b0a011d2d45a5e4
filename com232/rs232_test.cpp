// The serial layer against a real pseudo-terminal: the test holds the master
// (the sensor's end), port 1 is mapped to the slave.
#include "com232/rs232.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "com232/port_map.h"

namespace {

double Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Bytes written on one side of a pty arrive a little later on the other.
template <class Pred>
bool WaitFor(Pred pred, double seconds = 2.0) {
  double end = Seconds() + seconds;
  while (!pred()) {
    if (Seconds() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

class SerialPty : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slave_ = ptsname(master_);
    SetComPortDevice(1, slave_);
  }
  void TearDown() override {
    CloseCom(1);
    CloseCom(2);
    ClearComPortDevices();
    if (master_ >= 0) close(master_);
  }
  int Open() { return OpenComConfig(1, "", 115200, 0, 8, 1, 1024, 1024); }
  void MasterWrite(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Everything the master receives within `seconds`, until `expected` bytes came.
  std::string MasterRead(size_t expected, double seconds = 2.0) {
    std::string got;
    double end = Seconds() + seconds;
    while (got.size() < expected && Seconds() < end) {
      pollfd pfd{master_, POLLIN, 0};
      if (poll(&pfd, 1, 10) <= 0) continue;
      char buf[256];
      ssize_t n = read(master_, buf, sizeof buf);
      if (n > 0) got.append(buf, n);
    }
    return got;
  }

  int master_ = -1;
  std::string slave_;
};

TEST_F(SerialPty, OpensRawEightNoneOneWithoutHandshake) {
  ASSERT_EQ(Open(), 0);
  termios tio{};
  ASSERT_EQ(tcgetattr(ComPortDescriptor(1), &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B115200);
  EXPECT_EQ(cfgetispeed(&tio), B115200);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
  EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP));
  EXPECT_FALSE(tio.c_oflag & OPOST);

  ASSERT_EQ(SetCTSMode(1, 1), 0);
  ASSERT_EQ(tcgetattr(ComPortDescriptor(1), &tio), 0);
  EXPECT_TRUE(tio.c_cflag & CRTSCTS);
  ASSERT_EQ(SetCTSMode(1, 0), 0);
  ASSERT_EQ(tcgetattr(ComPortDescriptor(1), &tio), 0);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);

  // A pty forces CS8 without parity, so only the rate and stop bits can be seen here.
  ASSERT_EQ(OpenComConfig(1, "", 9600, 0, 8, 2, 1024, 1024), 0);
  ASSERT_EQ(tcgetattr(ComPortDescriptor(1), &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B9600);
  EXPECT_TRUE(tio.c_cflag & CSTOPB);
}

TEST_F(SerialPty, EveryByteValueTravelsUnchangedBothWays) {
  ASSERT_EQ(Open(), 0);
  // CR, LF, XON/XOFF, ^C, DEL and 0xFF would be translated or eaten by a cooked line.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));

  MasterWrite(all);
  ASSERT_TRUE(WaitFor([] { return GetInQLen(1) == 256; }));
  char buf[300];
  ASSERT_EQ(SetComTime(1, 2.0), 0);
  ASSERT_EQ(ComRd(1, buf, 200), 200);
  EXPECT_EQ(GetInQLen(1), 56);
  ASSERT_EQ(ComRd(1, buf + 200, 56), 56);
  EXPECT_EQ(std::string(buf, 256), all);
  EXPECT_EQ(GetInQLen(1), 0);

  ASSERT_EQ(ComWrt(1, all.data(), 256), 256);
  EXPECT_EQ(MasterRead(256), all);
  EXPECT_EQ(GetComStat(1), 0);  // a pty keeps no line-error counters
}

TEST_F(SerialPty, ComRdWaitsForLateBytesAndStopsAtItsTimeLimit) {
  ASSERT_EQ(Open(), 0);
  ASSERT_EQ(SetComTime(1, 0.3), 0);
  char buf[16];

  // Bytes that come in pieces within the limit are collected into one read.
  MasterWrite("abc");
  std::thread late([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    MasterWrite("defgh");
  });
  double t0 = Seconds();
  EXPECT_EQ(ComRd(1, buf, 8), 8);
  late.join();
  EXPECT_LT(Seconds() - t0, 0.25);
  EXPECT_EQ(std::string(buf, 8), "abcdefgh");

  // Too few bytes: the read returns what came once the limit has passed.
  MasterWrite("xyz");
  t0 = Seconds();
  EXPECT_EQ(ComRd(1, buf, 8), 3);
  double took = Seconds() - t0;
  EXPECT_GE(took, 0.28);
  EXPECT_LT(took, 1.5);
  EXPECT_EQ(std::string(buf, 3), "xyz");

  ASSERT_EQ(SetComTime(1, 0.0), 0);
  EXPECT_EQ(ComRd(1, buf, 8), 0);
}

TEST_F(SerialPty, ReadFailsAtOnceWhenTheFarEndHasClosed) {
  ASSERT_EQ(Open(), 0);
  ASSERT_EQ(SetComTime(1, 2.0), 0);
  close(master_);
  master_ = -1;
  char buf[8];
  double t0 = Seconds();
  EXPECT_LT(ComRd(1, buf, 8), 0);
  EXPECT_LT(Seconds() - t0, 0.5);
}

TEST_F(SerialPty, FlushInQDiscardsWaitingBytes) {
  ASSERT_EQ(Open(), 0);
  MasterWrite("stale answer");
  ASSERT_TRUE(WaitFor([] { return GetInQLen(1) == 12; }));
  ASSERT_EQ(FlushInQ(1), 0);
  EXPECT_EQ(GetInQLen(1), 0);
  EXPECT_EQ(FlushOutQ(1), 0);
  MasterWrite("new");
  ASSERT_TRUE(WaitFor([] { return GetInQLen(1) == 3; }));
  char buf[8];
  EXPECT_EQ(ComRd(1, buf, 3), 3);
  EXPECT_EQ(std::string(buf, 3), "new");
}

TEST_F(SerialPty, ReopeningClosesFirstAndTheDeviceIsNotShared) {
  ASSERT_EQ(Open(), 0);
  ASSERT_EQ(Open(), 0);  // the port's own earlier descriptor does not block it
  ASSERT_EQ(SetComTime(1, 1.0), 0);
  MasterWrite("ok");
  char buf[4];
  EXPECT_EQ(ComRd(1, buf, 2), 2);

  // Another port number on the same device, as a second program would be.
  EXPECT_EQ(OpenComConfig(2, slave_.c_str(), 115200, 0, 8, 1, 1024, 1024), RS232E_CANNOT_OPEN);
  EXPECT_EQ(GetInQLen(2), RS232E_PORT_NOT_OPEN);
  int excl = 0;
  ASSERT_EQ(ioctl(ComPortDescriptor(1), TIOCGEXCL, &excl), 0);
  EXPECT_EQ(excl, 1);
  ASSERT_EQ(CloseCom(1), 0);
  // The pty's tty outlives the close; a flag left set would refuse the next
  // open to anyone but root.
  int fd = open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ioctl(fd, TIOCGEXCL, &excl), 0);
  EXPECT_EQ(excl, 0);
  close(fd);
  EXPECT_EQ(OpenComConfig(2, slave_.c_str(), 115200, 0, 8, 1, 1024, 1024), 0);
  EXPECT_EQ(CloseCom(1), 0);  // closing a closed port is harmless
  EXPECT_EQ(GetInQLen(1), RS232E_PORT_NOT_OPEN);
}

TEST_F(SerialPty, FailuresGiveTheirCodes) {
  char buf[4];
  EXPECT_EQ(OpenComConfig(0, "", 115200, 0, 8, 1, 1024, 1024), RS232E_INVALID_PORT);
  EXPECT_EQ(OpenComConfig(RS232_MAX_PORT + 1, "", 115200, 0, 8, 1, 1024, 1024), RS232E_INVALID_PORT);
  EXPECT_EQ(ComRd(-1, buf, 1), RS232E_INVALID_PORT);
  EXPECT_EQ(ComRd(1, buf, 1), RS232E_PORT_NOT_OPEN);
  EXPECT_EQ(ComWrt(1, buf, 1), RS232E_PORT_NOT_OPEN);
  EXPECT_EQ(SetComTime(1, 2.0), RS232E_PORT_NOT_OPEN);
  EXPECT_EQ(GetComStat(1), RS232E_PORT_NOT_OPEN);

  EXPECT_EQ(OpenComConfig(1, "/dev/ttyUSB-not-there", 115200, 0, 8, 1, 1024, 1024), RS232E_NO_SERIAL_PORT);
  EXPECT_STREQ(LastComOpenDevice(), "/dev/ttyUSB-not-there");
  EXPECT_EQ(OpenComConfig(1, "/dev/null", 115200, 0, 8, 1, 1024, 1024), RS232E_NO_SERIAL_PORT);
  EXPECT_EQ(OpenComConfig(RS232_MAX_PORT, "", 115200, 0, 8, 1, 1024, 1024), RS232E_NO_SERIAL_PORT);
  EXPECT_EQ(OpenComConfig(1, "", 12345, 0, 8, 1, 1024, 1024), RS232E_INVALID_BAUD);
  EXPECT_EQ(OpenComConfig(1, "", 115200, 5, 8, 1, 1024, 1024), RS232E_INVALID_PARAMETER);
  EXPECT_EQ(GetInQLen(1), RS232E_PORT_NOT_OPEN);  // a failed open leaves the port closed
  EXPECT_FALSE(LastComOpenPermissionDenied());
  EXPECT_EQ(ComOpenPermissionHint(), "");
}

TEST(SerialPermission, RefusedDeviceIsNamedWithTheWayToGetAccess) {
  if (geteuid() == 0) GTEST_SKIP() << "root is never refused";
  char dir[] = "/tmp/rs232-perm-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string path = std::string(dir) + "/ttyUSB0";
  std::ofstream(path).put('x');
  chmod(path.c_str(), 0);
  EXPECT_EQ(OpenComConfig(1, path.c_str(), 115200, 0, 8, 1, 1024, 1024), RS232E_CANNOT_OPEN);
  EXPECT_TRUE(LastComOpenPermissionDenied());
  std::string hint = ComOpenPermissionHint();
  EXPECT_NE(hint.find("Access to " + path + " was refused."), std::string::npos) << hint;
  EXPECT_NE(hint.find("sudo usermod -aG"), std::string::npos) << hint;
  unlink(path.c_str());
  rmdir(dir);
}

}  // namespace
