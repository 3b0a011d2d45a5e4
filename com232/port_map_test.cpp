// Port numbering on a fake /dev and /sys tree.
#include "com232/port_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class FakeDevTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/port-map-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    dev_ = root_ / "dev";
    sys_ = root_ / "sys";
    fs::create_directories(dev_ / "serial" / "by-id");
  }
  void TearDown() override {
    ClearComPortDevices();
    SetComPortSearchDirectories("", "");
    fs::remove_all(root_);
  }
  void Node(const std::string& name) { std::ofstream(dev_ / name).put('\0'); }
  void UartType(const std::string& name, int type) {
    fs::create_directories(sys_ / "class" / "tty" / name);
    std::ofstream(sys_ / "class" / "tty" / name / "type") << type << "\n";
  }
  void ById(const std::string& link, const std::string& target) {
    fs::create_symlink(target, dev_ / "serial" / "by-id" / link);
  }
  std::vector<ComPortInfo> List() { return ListComPortsIn(dev_.string(), sys_.string()); }

  fs::path root_, dev_, sys_;
};

TEST_F(FakeDevTree, UsbAdaptersComeFirstInNumericOrderThenOnBoardPorts) {
  for (const char* n : {"ttyS10", "ttyS2", "ttyS0", "ttyS1", "ttyUSB10", "ttyACM0", "ttyUSB2", "tty0", "ttyUSB",
                        "ttyS0.lock", "ttySAC0", "console"})
    Node(n);
  UartType("ttyS0", 4);
  UartType("ttyS1", 0);  // node without a UART behind it
  UartType("ttyS2", 4);

  std::vector<ComPortInfo> ports = List();
  std::vector<std::string> names;
  for (const ComPortInfo& p : ports) names.push_back(fs::path(p.device).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS2", "ttyS10"}));
  for (size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(ports[i].port, static_cast<int>(i) + 1);
  EXPECT_EQ(ports[0].device, (dev_ / "ttyUSB2").string());
}

TEST_F(FakeDevTree, StableNamesFollowTheByIdLinks) {
  Node("ttyUSB0");
  Node("ttyUSB1");
  Node("ttyS0");
  ById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "../../ttyUSB1");
  ById("usb-Prolific_PL2303-if00-port0", (dev_ / "ttyUSB0").string());  // absolute link
  ById("usb-dangling-if00", "../../ttyUSB7");

  std::vector<ComPortInfo> ports = List();
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].stableName, "usb-Prolific_PL2303-if00-port0");
  EXPECT_EQ(ports[1].stableName, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  EXPECT_EQ(ports[2].stableName, "");
  EXPECT_EQ(ports[1].displayText,
            "COM2: " + (dev_ / "ttyUSB1").string() + " (usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0)");
  EXPECT_EQ(ports[2].displayText, "COM3: " + (dev_ / "ttyS0").string());
}

TEST_F(FakeDevTree, EmptyOrMissingTreeHasNoPorts) {
  EXPECT_TRUE(List().empty());
  EXPECT_TRUE(ListComPortsIn((root_ / "nowhere").string(), sys_.string()).empty());
}

TEST_F(FakeDevTree, TestMappingReplacesThePortsDevice) {
  SetComPortDevice(1, "/dev/pts/42");
  SetComPortDevice(200, "/dev/pts/43");
  EXPECT_EQ(ComPortDevice(1), "/dev/pts/42");
  std::vector<ComPortInfo> ports = ListComPorts();
  ASSERT_FALSE(ports.empty());
  EXPECT_EQ(ports.front().port, 1);
  EXPECT_EQ(ports.front().displayText, "COM1: /dev/pts/42");
  EXPECT_EQ(ports.back().port, 200);

  SetComPortDevice(1, "");
  EXPECT_NE(ComPortDevice(1), "/dev/pts/42");
  EXPECT_EQ(ComPortDevice(0), "");
}

TEST_F(FakeDevTree, TheMachinesListComesFromTheDirectoriesSetAndTakesTheMappings) {
  Node("ttyUSB0");
  Node("ttyUSB3");
  SetComPortSearchDirectories(dev_.string(), sys_.string());
  SetComPortDevice(2, "/dev/pts/42");
  std::vector<ComPortInfo> ports = ListComPorts();
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].device, (dev_ / "ttyUSB0").string());
  EXPECT_EQ(ports[1].displayText, "COM2: /dev/pts/42");
  EXPECT_EQ(ComPortDevice(1), (dev_ / "ttyUSB0").string());
  EXPECT_EQ(ComPortDevice(3), "");

  SetComPortSearchDirectories((root_ / "nowhere").string(), sys_.string());
  SetComPortDevice(2, "");
  EXPECT_TRUE(ListComPorts().empty());
}

}  // namespace
