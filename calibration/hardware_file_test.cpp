// The hardware initial file: its text, and its writing against the simulated sensor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "calibration/calibration.h"
#include "parameters/ini.h"
#include "parameters/parameter_set.h"
#include "parameters/transfer.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

namespace hl = ui::headless;

TEST(HardwareFileText, FourZeroPaddedDigitsPerWord) {
  std::uint16_t words[HARDWARE_WORDS] = {};
  words[0] = 1;
  words[1] = 4096;
  words[2] = 0xBEEF;
  words[255] = 0xFFFF;
  const std::string text = HardwareDataText(words, HARDWARE_WORDS);
  ASSERT_EQ(text.size(), 1024u);
  EXPECT_EQ(text.substr(0, 12), "00011000BEEF");
  EXPECT_EQ(text.substr(1020), "FFFF");
}

TEST(HardwareFileText, SectionsInOrderAndDataInEightyCharacterPieces) {
  HardwareFileContent c;
  c.FirmwareVersion = "FW \"7\"";
  for (int i = 0; i < HARDWARE_WORDS; ++i) c.HardwareData[i] = static_cast<std::uint16_t>(i);
  c.Factors[0] = 1000;
  c.Offsets[2] = 33;
  for (TeachVector& row : c.Parameters.TeachBlock) row = TeachVector{{1, 1, 1, 1, 1}, 0, 10, 0};
  c.Parameters.ParameterBlock[0] = 777;
  const std::string bytes = IniSerialize(HardwareFileDocument(c));
  EXPECT_EQ(bytes.substr(0, 120),
            std::string("[GENERAL INFO]\r\nFILE TYPE: = \"Hardware Initial File\"\r\nSCOPE VERSION: = "
                        "\"CHROMIK4-ANA-Scope V1.2\"\r\nFIRMWARE VERSION: = \"FW \\\"7\\\"\"\r\n\r\n")
                .substr(0, 120));
  const IniDocument doc = IniParse(bytes);
  ASSERT_EQ(doc.sections.size(), 4u + 1u + 31u);
  EXPECT_EQ(doc.sections[1].name, "HARDWARE INFO");
  EXPECT_EQ(doc.sections[2].name, "CALIBRATION FACTOR");
  EXPECT_EQ(doc.sections[3].name, "OFFSET");
  EXPECT_EQ(doc.sections[4].name, "PARAMETER");
  EXPECT_EQ(doc.sections[35].name, "TEACH VECTOR 30");
  const auto& pieces = doc.sections[1].items;
  ASSERT_EQ(pieces.size(), 13u);  // 12 of 80 characters and one of 64
  EXPECT_EQ(pieces[0].key, "DATA Line0001");
  EXPECT_EQ(pieces[0].value.size(), 80u);
  EXPECT_EQ(pieces[12].key, "DATA Line0013");
  EXPECT_EQ(pieces[12].value.size(), 64u);
  std::string data;
  ASSERT_TRUE(IniGetString(doc, "HARDWARE INFO", "DATA", &data));
  EXPECT_EQ(data, HardwareDataText(c.HardwareData, HARDWARE_WORDS));
  long v = 0;
  ASSERT_TRUE(IniGetInt(doc, "CALIBRATION FACTOR", "RED", &v));
  EXPECT_EQ(v, 1000);
  ASSERT_TRUE(IniGetInt(doc, "OFFSET", "BLUE", &v));
  EXPECT_EQ(v, 33);
  ASSERT_TRUE(IniGetInt(doc, "PARAMETER", "POWER", &v));
  EXPECT_EQ(v, 777);
  EXPECT_NE(bytes.find("[TEACH VECTOR 0]\r\nCELL 0 = 1\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("GROUP  = 0\r\nHOLD  = 10\r\n"), std::string::npos);
}

class HardwareFile : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<harness::Program>();
    sim::ParaSet ram = Sim().RamSet(0);
    ram.para[sim::POWER] = 777;
    Sim().SetRamSet(0, ram);
    sim::ParaSet eeprom = ram;
    eeprom.para[sim::POWER] = 333;
    Sim().SetEepromSet(0, eeprom);
    Sim().WithState([](sim::SensorState& s) {
      s.hardware[0] = 1;
      s.hardware[1] = 4096;
      s.calibration.factor = {901, 902, 903};
      s.calibration.offset = {4, 5, 6};
      return 0;
    });
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    ASSERT_FALSE(program_->Dimmed(Com(), COM_GEN_HW_FILE));
    Sim().ClearLog();
    path_ = program_->Dir() + "/hw.ini";
  }
  sim::SensorSim& Sim() { return program_->Sim(); }
  int Com() const { return Panels.Page[PAGE_CONNECTION]; }
  void Press() {
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);  // the operator is on the page already
    ASSERT_TRUE(ui::op::Press(Com(), COM_GEN_HW_FILE));
    ProcessSystemEvents();
  }
  std::unique_ptr<harness::Program> program_;
  std::string path_;
};

class HardwareFileMemory : public HardwareFile, public ::testing::WithParamInterface<int> {};

// One write per start: afterwards the button waits for the next identification, as after every exchange.
TEST_P(HardwareFileMemory, HoldsTheRamParametersWhateverMemoryIsSelected) {
  {
    const int memory = GetParam();
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, memory));
    ProcessSystemEvents();
    const std::uint16_t selection = State.MemorySelection;
    ASSERT_NE(selection, MEMORY_RAM);
    unlink(path_.c_str());
    hl::AnswerFile(VAL_NEW_FILE_SELECTED, path_);
    Press();
    EXPECT_EQ(State.MemorySelection, selection);
    EXPECT_EQ(hl::UnansweredPopups(), 0);  // no parameter-file dialog came up
    IniDocument doc;
    ASSERT_EQ(IniReadFile(path_, &doc), 1) << program_->MessageBox();
    long v = 0;
    ASSERT_TRUE(IniGetInt(doc, "PARAMETER", "POWER", &v));
    EXPECT_EQ(v, 777);
    std::string data;
    ASSERT_TRUE(IniGetString(doc, "HARDWARE INFO", "DATA", &data));
    EXPECT_EQ(data.substr(0, 8), "00011000");
    EXPECT_EQ(data.size(), 1024u);
    std::string text;
    ASSERT_TRUE(IniGetString(doc, "GENERAL INFO", "FIRMWARE VERSION:", &text));
    EXPECT_EQ(text, sim::DEFAULT_ID_TEXT);
    ASSERT_TRUE(IniGetInt(doc, "CALIBRATION FACTOR", "GREEN", &v));
    EXPECT_EQ(v, 902);
    ASSERT_TRUE(IniGetInt(doc, "OFFSET", "RED", &v));
    EXPECT_EQ(v, 4);
  }
  EXPECT_EQ(State.HardwareFilePath, path_);
  EXPECT_NE(program_->MessageBox().find("HARDWARE INI FILE HAS BEEN SAVED TO:\n" + path_ + "\n\n"), std::string::npos);
  bool order194 = false;
  for (const auto& o : Sim().Orders()) order194 = order194 || (o.order == 194 && o.param == 0x4C7E);
  EXPECT_TRUE(order194);
  EXPECT_FALSE(program_->Dimmed(Panels.Mainp, MAINP_SEND));
}

INSTANTIATE_TEST_SUITE_P(EepromAndFile, HardwareFileMemory, ::testing::Values(MAINP_EEPROM, MAINP_FILE));

TEST_F(HardwareFile, CancelledDialogWritesNothingButShowsWhatWasRead) {
  State.HardwareFilePath = program_->Dir() + "/old.ini";
  hl::AnswerFile(VAL_NO_FILE_SELECTED, "");
  Press();
  EXPECT_EQ(State.HardwareFilePath, program_->Dir() + "/old.ini");
  EXPECT_FALSE(FileExists(path_, nullptr));
  EXPECT_FALSE(FileExists(program_->Dir() + "/old.ini", nullptr));
  const std::string box = program_->MessageBox();
  EXPECT_NE(box.find("ATTENTION!   NO FILE WAS SELECTED!\n\n"), std::string::npos);
  EXPECT_EQ(box.find("HARDWARE INI FILE HAS BEEN SAVED"), std::string::npos);
  int v = 0;
  GetCtrlVal(Panels.Page[PAGE_CALIBRATION], CAL_CF_BLUE, &v);
  EXPECT_EQ(v, 903);
  GetCtrlVal(Panels.Page[PAGE_OFFSET], OFS_EDIT_GREEN, &v);
  EXPECT_EQ(v, 5);
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, &v);
  EXPECT_EQ(v, 777);
}

TEST_F(HardwareFile, AFailedWriteIsReportedNotClaimedAsSaved) {
  // A folder stands where the file should go: the new file cannot replace it.
  const std::string target = program_->Dir() + "/taken.ini";
  ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, target);
  Press();
  const std::string box = program_->MessageBox();
  EXPECT_EQ(box.find("HARDWARE INI FILE HAS BEEN SAVED"), std::string::npos);
  EXPECT_NE(box.find("ATTENTION!   HARDWARE INI FILE COULD NOT BE WRITTEN TO:\n" + target + "\n\n"), std::string::npos)
      << box;
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  // No temporary file is left behind beside it.
  std::string leftovers = "ls '" + program_->Dir() + "' | grep -c 'taken.ini.' > '" + program_->Dir() + "/count.txt'";
  (void)std::system(leftovers.c_str());
  FILE* f = std::fopen((program_->Dir() + "/count.txt").c_str(), "r");
  ASSERT_NE(f, nullptr);
  int count = -1;
  EXPECT_EQ(std::fscanf(f, "%d", &count), 1);
  std::fclose(f);
  EXPECT_EQ(count, 0);
}

TEST_F(HardwareFile, ACommunicationFailureWritesNothing) {
  Sim().AddFault(sim::FaultRule{194, sim::FaultKind::NoAnswer});
  Press();
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_FALSE(FileExists(path_, nullptr));
  EXPECT_EQ(hl::Popups().size(), 0u);  // no file dialog
}

}  // namespace
