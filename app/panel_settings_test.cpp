// The panel settings file read at start-up and written on close and accept.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "com232/link.h"
#include "com232/port_map.h"
#include "parameters/ini.h"
#include "teach/row_colors.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

class PanelSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    dir_ = scratch_->Dir();
  }
  void TearDown() override { scratch_.reset(); }
  std::string Path() const { return dir_ + "/PanelSettings.cfg"; }
  // Writes a settings file of the given lines (CR LF added).
  void WriteFile(const std::vector<std::string>& lines) {
    std::ofstream f(Path(), std::ios::binary);
    for (const auto& l : lines) f << l << "\r\n";
  }
  std::string ReadFile() const { return testfiles::FileBytes(Path()); }
  void Start() {
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
  }
  std::vector<std::string> Servers() {
    std::vector<std::string> out;
    int count = 0;
    GetNumListItems(Panels.Page[PAGE_CONNECTION], COM_IP_ADRESS, &count);
    for (int i = 0; i < count; ++i) {
      std::string s;
      GetValueFromIndex(Panels.Page[PAGE_CONNECTION], COM_IP_ADRESS, i, &s);
      out.push_back(s);
    }
    return out;
  }
  int PanelInt(Attr attr) {
    int v = 0;
    GetPanelAttribute(Panels.Mainp, attr, &v);
    return v;
  }
  std::unique_ptr<harness::Scratch> scratch_;
  std::string dir_;
};

const std::vector<std::string> kHeader = {"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"",
                                          "PANEL ID: = \"Line 4 sorter\"", ""};

TEST_F(PanelSettings, MaximisedStateIgnoresThePositionKeys) {
  auto lines = kHeader;
  lines.insert(lines.end(), {"[PANEL POSITION]", "MAINPANEL FULLSCREEN = 2", "MAINPANEL LEFT = 300",
                             "MAINPANEL TOP = 200", "MAINPANEL WIDTH = 1000", "MAINPANEL HEIGHT = 700", ""});
  WriteFile(lines);
  Start();
  EXPECT_EQ(PanelInt(ATTR_WINDOW_ZOOM), VAL_MAXIMIZE);
  EXPECT_EQ(PanelInt(ATTR_LEFT), 10);
  EXPECT_EQ(PanelInt(ATTR_WIDTH), 790);
  EXPECT_EQ(State.PanelId, "Line 4 sorter");
  std::string shown;
  GetCtrlVal(Panels.Colbigp, COLBIGP_ID, &shown);
  EXPECT_EQ(shown, "Line 4 sorter");
}

TEST_F(PanelSettings, PositionIsTakenOnlyWithTheFullscreenKey) {
  auto lines = kHeader;
  lines.insert(lines.end(), {"[PANEL POSITION]", "MAINPANEL LEFT = 300", "MAINPANEL TOP = 200", ""});
  WriteFile(lines);
  Start();
  EXPECT_EQ(PanelInt(ATTR_LEFT), 10);  // where the panel layout puts it
  EXPECT_EQ(PanelInt(ATTR_TOP), 40);

  ui::headless::Reset();
  RegisterPanelResources();
  ui::headless::UseTestClock(1000.0, 0.02);
  lines = kHeader;
  lines.insert(lines.end(), {"[PANEL POSITION]", "MAINPANEL FULLSCREEN = 0", "MAINPANEL LEFT = 300",
                             "MAINPANEL TOP = 200", "MAINPANEL HEIGHT = 600", ""});
  WriteFile(lines);
  Start();
  EXPECT_EQ(PanelInt(ATTR_LEFT), 300);
  EXPECT_EQ(PanelInt(ATTR_TOP), 200);
  EXPECT_EQ(PanelInt(ATTR_HEIGHT), 600);
  EXPECT_EQ(PanelInt(ATTR_WIDTH), 790);  // missing key: its default
}

TEST_F(PanelSettings, RecentServersAreReadUpToTenInTheirSavedOrder) {
  auto lines = kHeader;
  lines.push_back("[IP ADDRESSES]");
  lines.push_back("LIST ITEMS = 15");
  for (int i = 1; i <= 12; ++i) lines.push_back("IP ADDR " + std::to_string(i) + " = \"host" + std::to_string(i) + "\"");
  lines.push_back("");
  WriteFile(lines);
  Start();
  auto servers = Servers();
  ASSERT_EQ(servers.size(), 10u);
  EXPECT_EQ(servers.front(), "host1");
  EXPECT_EQ(servers.back(), "host10");
}

TEST_F(PanelSettings, MissingListKeysAreSkipped) {
  auto lines = kHeader;
  lines.insert(lines.end(), {"[IP ADDRESSES]", "LIST ITEMS = 3", "IP ADDR 1 = \"first\"", "IP ADDR 3 = \"third\"", ""});
  WriteFile(lines);
  Start();
  EXPECT_EQ(Servers(), (std::vector<std::string>{"first", "third"}));
}

TEST_F(PanelSettings, AFileOfAnotherTypeIsIgnoredCompletely) {
  WriteFile({"[GENERAL INFO]", "FILE TYPE: = \"panel settings\"", "PANEL ID: = \"x\"", "",
             "[COMMUNICATION SETTINGS]", "COMPROTOCOL = 1", "IP ADRESS = \"10.0.0.9\"", "",
             "[DIRECTORIES]", "PARAMETER FILE = \"/elsewhere\"", ""});
  Start();
  EXPECT_EQ(State.PanelId, "");
  EXPECT_EQ(SensorLink.TransportKind, 0);
  EXPECT_EQ(std::string(SensorLink.HostAddress), "");
  EXPECT_EQ(State.ParameterFilePath, dir_ + "/Parameter.ini");
}

TEST_F(PanelSettings, MissingDirectoryKeysGiveTheDirectoryExceptForTheRecordFile) {
  WriteFile(kHeader);
  Start();
  EXPECT_EQ(State.ParameterFilePath, dir_);
  EXPECT_EQ(State.HardwareFilePath, dir_);
  EXPECT_EQ(State.TableAttributesPath, dir_);
  EXPECT_EQ(State.RecordFilePath, dir_ + "/RecordFile.dat");
}

TEST_F(PanelSettings, TextsEndAtTheirFirstZeroByte) {
  // The identification line of a damaged file (raw zero bytes before the quoted text) and
  // a path with an escaped zero byte: what the controls and file names can take is kept.
  WriteFile({"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"",
             std::string("PANEL ID: = \0\0\0\0\0\0\0\0\"LINE 3 SENSOR\"", 35), "",
             "[DIRECTORIES]", "PARAMETER FILE = \"/data/Parameter.ini\\x00.bak\"", "",
             "[COMMUNICATION SETTINGS]", "COMPROTOCOL = 1", "PORT NUMBER = \"100\\x0001\"", ""});
  Start();
  EXPECT_EQ(State.PanelId, "");
  EXPECT_EQ(State.ParameterFilePath, "/data/Parameter.ini");
  EXPECT_EQ(std::string(SensorLink.TcpPortText), "100");
  // Written and read again, the settings stay as they were read.
  WritePanelSettings();
  ui::headless::Reset();
  RegisterPanelResources();
  ui::headless::UseTestClock(1000.0, 0.02);
  Start();
  EXPECT_EQ(State.PanelId, "");
  EXPECT_EQ(State.ParameterFilePath, "/data/Parameter.ini");
}

TEST_F(PanelSettings, CommunicationSettingsReachTheConnectionPage) {
  auto lines = kHeader;
  lines.insert(lines.end(), {"[COMMUNICATION SETTINGS]", "COMPROTOCOL = 1", "COMPORT = 3", "BAUDRATE = 2",
                             "IP ADRESS = \"127.0.0.1\"", "PORT NUMBER = \"1\"", ""});
  WriteFile(lines);
  Start();
  const int com = Panels.Page[PAGE_CONNECTION];
  int protocol = -1, port = -1, baud = -1, visible = -1;
  std::string host, portText;
  GetCtrlVal(com, COM_PROTOCOL, &protocol);
  GetCtrlVal(com, COM_PORT, &port);
  GetCtrlVal(com, COM_BAUDRATE, &baud);
  GetCtrlVal(com, COM_IP_ADRESS, &host);
  GetCtrlVal(com, COM_PORT_NUMBER, &portText);
  EXPECT_EQ(protocol, 1);
  EXPECT_EQ(port, 3);  // kept selectable although this machine may have no third port
  EXPECT_EQ(baud, 2);
  EXPECT_EQ(host, "127.0.0.1");
  EXPECT_EQ(portText, "1");
  GetCtrlAttribute(com, COM_PORT, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 0);  // TCP/IP selected: the serial selectors are hidden
}

TEST_F(PanelSettings, CloseWithoutAFileWritesEverySectionWithTheDefaults) {
  Start();
  ASSERT_TRUE(ui::op::ClosePanel(Panels.Mainp));
  ProcessSystemEvents();
  const std::string text = ReadFile();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.rfind("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
                       "SCOPE VERSION: = \"CHROMIK4-ANA-Scope V1.2\"\r\nPANEL ID: = \"\"\r\n\r\n"
                       "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 0\r\nMAINPANEL LEFT = 10\r\n",
                       0),
            0u);
  for (const char* part :
       {"[DIRECTORIES]\r\n", "RECORDER FILE = \"", "[IP ADDRESSES]\r\nLIST ITEMS = 0\r\n\r\n",
        "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = 1\r\nBAUDRATE = 4\r\nIP ADRESS = \"\"\r\n"
        "PORT NUMBER = \"10001\"\r\n\r\n",
        "[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = 16711680\r\nRow specification = \"\"\r\n\r\n",
        "[TABLE ATTR OF TEACH VECTOR 3]\r\nRow color = 0\r\n"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
  EXPECT_NE(text.find("PARAMETER FILE = \"" + dir_ + "/Parameter.ini\""), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
  EXPECT_NE(text.find("[TABLE ATTR OF TEACH VECTOR 30]"), std::string::npos);
}

TEST_F(PanelSettings, WhatIsWrittenComesBackAtTheNextStart) {
  Start();
  const int com = Panels.Page[PAGE_CONNECTION];
  ui::op::SetText(com, COM_EDIT_ID, "Sensor A");
  ASSERT_TRUE(ui::op::PickIndex(com, COM_PROTOCOL, 1));  // TCP/IP shows the server fields
  ProcessSystemEvents();
  ui::op::SetText(com, COM_IP_ADRESS, "192.168.0.7");
  ui::op::SetText(com, COM_IP_ADRESS, "sensor.local");
  ui::op::SetText(com, COM_PORT_NUMBER, "10002");
  ProcessSystemEvents();
  SetTableCellVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {8, 1}, "blue cap \"B\"");
  PaintRow(7, 0x123456);
  WritePanelSettings();

  ui::headless::Reset();
  RegisterPanelResources();
  ui::headless::UseTestClock(1000.0, 0.02);
  Start();
  EXPECT_EQ(State.PanelId, "Sensor A");
  EXPECT_EQ(Servers(), (std::vector<std::string>{"sensor.local", "192.168.0.7"}));
  EXPECT_EQ(std::string(SensorLink.TcpPortText), "10002");
  EXPECT_EQ(RowColors[7], 0x123456);
  std::string rowText;
  GetTableCellVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {8, 1}, &rowText);
  EXPECT_EQ(rowText, "blue cap \"B\"");
  int bg = 0;
  GetTableCellAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, {8, 6}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0x123456);
  GetTableCellAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, {4, 1}, ATTR_TEXT_BGCOLOR, &bg);
  EXPECT_EQ(bg, 0xE0E0E0);  // teach rows 4 to 31 start light grey
}

TEST_F(PanelSettings, AFailedWriteLeavesTheOldFileAsItWas) {
  WriteFile(kHeader);
  const std::string before = ReadFile();
  Start();
  // A file-size limit below the new file's size makes the write fail, even for root.
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit tight = old;
  tight.rlim_cur = 512;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  WritePanelSettings();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(ReadFile(), before);
  std::string leftovers = "ls '" + dir_ + "' | grep -v -x PanelSettings.cfg | wc -l";
  FILE* p = popen(leftovers.c_str(), "r");
  int count = -1;
  ASSERT_EQ(fscanf(p, "%d", &count), 1);
  pclose(p);
  EXPECT_EQ(count, 0);  // no temporary file left behind
}

TEST_F(PanelSettings, JunkFilesLoadWithDefaults) {
  {
    std::ofstream f(Path(), std::ios::binary);
    std::string junk(300000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131) % 256);
    f << "[GENERAL INFO]\rFILE TYPE: = \"Panel Settings\"\r[IP ADDRESSES]\rLIST ITEMS = -4\r" << junk;
  }
  Start();
  EXPECT_TRUE(Servers().empty());
  EXPECT_EQ(RowColors[0], 0xFF0000);
}

}  // namespace

namespace {

TEST_F(PanelSettings, RowColourSectionsReportMissingColoursOnlyWhenAsked) {
  Start();
  IniDocument doc;
  WriteTableAttributeSections(&doc);
  ASSERT_EQ(doc.sections.size(), 31u);
  EXPECT_EQ(doc.sections[7].name, "TABLE ATTR OF TEACH VECTOR 7");
  // Row 7 loses its colour; a long row specification comes back cut to 99 characters.
  doc.sections[7].items.erase(doc.sections[7].items.begin());
  IniPutString(&doc, "TABLE ATTR OF TEACH VECTOR 2", "Row specification", std::string(120, 'q'));
  IniPutInt(&doc, "TABLE ATTR OF TEACH VECTOR 2", "Row color", 0x00FF00);
  RowColors[7] = 0x123456;
  ui::headless::Popups().clear();
  ReadTableAttributeSections(doc, false);
  EXPECT_TRUE(ui::headless::Popups().empty());
  EXPECT_EQ(RowColors[7], 0x800080);
  EXPECT_EQ(RowColors[2], 0x00FF00);
  std::string rowText;
  GetTableCellVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {3, 1}, &rowText);
  EXPECT_EQ(rowText, std::string(99, 'q'));
  ReadTableAttributeSections(doc, true);
  ASSERT_EQ(ui::headless::Popups().size(), 1u);
  EXPECT_EQ(ui::headless::Popups()[0].title, "Attention!");
  EXPECT_EQ(ui::headless::Popups()[0].text,
            "Following teach vectors could not be read \nand where set to default value:\n\nTABLE ATTR OF TEACH VECTOR 7\n");
}

}  // namespace
