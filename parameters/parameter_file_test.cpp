// The parameter file behind SEND and GET with FILE selected, against files on disk.
#include "parameters/parameter_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "parameters/parameter_panel.h"
#include "parameters/transfer.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

namespace hl = ui::headless;

void Spill(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2) {
    lines.push_back(bytes.substr(start, at - start));
  }
  EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
  return lines;
}

// A written file with `from` replaced by `to` (the first occurrence).
std::string Edited(std::string bytes, const std::string& from, const std::string& to) {
  std::size_t at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) bytes.replace(at, from.size(), to);
  return bytes;
}

class ParameterFile : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<harness::Program>();
    program_->Start();
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, MAINP_FILE));
    ProcessSystemEvents();
    ASSERT_EQ(State.MemorySelection, MEMORY_FILE);
    file_ = program_->Dir() + "/Setup.ini";
    hl::Popups().clear();
  }
  void Press(int control) {
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, control));
    ProcessSystemEvents();
  }
  void Save(const std::string& path) {
    hl::AnswerFile(VAL_NEW_FILE_SELECTED, path);
    Press(MAINP_SEND);
  }
  void Load(const std::string& path) {
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, path);
    Press(MAINP_GET);
  }
  // Titles and texts of the popups after the file dialog.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (const auto& p : hl::Popups()) {
      if (p.kind != "file") out.push_back(p.title + "|" + p.text);
    }
    return out;
  }
  int Control(int page, int control) {
    int v = -1;
    GetCtrlVal(Panels.Page[page], control, &v);
    return v;
  }
  std::unique_ptr<harness::Program> program_;
  std::string file_;
};

TEST_F(ParameterFile, SendWritesTheWholeSetIn305Lines) {
  const int para = Panels.Page[PAGE_PARAMETER];
  SetCtrlVal(para, PARA_AVERAGE_NUM, 300);
  SetTableCellVal(Panels.Page[PAGE_TEACH], TEACH_TABLE, {31, 3}, 4321.0);
  Save(file_);
  ASSERT_EQ(hl::Popups().size(), 1u);
  EXPECT_EQ(hl::Popups()[0].title, "Parameter");
  EXPECT_EQ(hl::Popups()[0].text, program_->Dir() + "/|Parameter.ini|*.ini");
  EXPECT_EQ(State.ParameterFilePath, file_);

  const std::vector<std::string> lines = Lines(FileBytes(file_));
  ASSERT_EQ(lines.size(), 305u);
  EXPECT_EQ(lines[0], "[GENERAL INFO]");
  EXPECT_EQ(lines[1], "FILE TYPE: = \"Parameter File\"");
  EXPECT_EQ(lines[2], "SCOPE VERSION: = \"CHROMIK4-ANA-Scope V1.2\"");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "[PARAMETER]");
  EXPECT_EQ(lines[5], "POWER = 500");
  EXPECT_EQ(lines[7], "AVERAGE = 300");
  EXPECT_EQ(lines[24], "ANALOG ZOOM = 0");
  EXPECT_EQ(lines[26], "[TEACH VECTOR 0]");
  EXPECT_EQ(lines[32], "GROUP  = 0");
  EXPECT_EQ(lines[33], "HOLD  = 10");
  EXPECT_EQ(lines[296], "[TEACH VECTOR 30]");
  EXPECT_EQ(lines[299], "CELL 2 = 4321");
  EXPECT_EQ(lines[304], "");
  // The dialog starts where the last file was chosen.
  Save(program_->Dir() + "/Other.ini");
  EXPECT_EQ(hl::Popups().back().text, program_->Dir() + "/|Parameter.ini|*.ini");
}

TEST_F(ParameterFile, ReadingAndWritingAgainGivesTheSameBytes) {
  // The rings keep their defaults (a consistent set the mode rules leave alone); the numeric
  // words and the teach rows take values across the whole word.
  ParameterSetRecord set{};
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set.ParameterBlock[w] = ParameterDefaults[w];
  set.ParameterBlock[PARA_POWER] = 1000;
  set.ParameterBlock[PARA_AVERAGE] = 65535;
  set.ParameterBlock[PARA_HOLD_FAIL] = 40000;
  set.ParameterBlock[PARA_INTLIM] = 5000;
  set.ParameterBlock[PARA_MAX_VEC_NO] = 31;
  set.ParameterBlock[PARA_DYNWIN_LO] = 0;
  set.ParameterBlock[PARA_DYNWIN_HI] = 65000;
  set.ParameterBlock[PARA_INTEGRAL] = 250;
  set.ParameterBlock[PARA_ANALOG_ZOOM] = 2000;
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    for (int k = 0; k < 5; ++k) set.TeachBlock[r].Cell[k] = static_cast<std::uint16_t>(2000 * r + 7 * k);
    set.TeachBlock[r].Group = static_cast<std::uint16_t>(r % 2);
    set.TeachBlock[r].Hold = static_cast<std::uint16_t>(60000 + r);
  }
  const std::string bytes = IniSerialize(ParameterFileDocument(set));
  Spill(file_, bytes);
  Load(file_);
  const std::string again = program_->Dir() + "/Again.ini";
  Save(again);
  EXPECT_EQ(FileBytes(again), bytes);
}

TEST_F(ParameterFile, WordSevenIsNotStoredAndKeptOnRead) {
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) ParameterSet.TeachBlock[r].Reserved = static_cast<std::uint16_t>(0x4400 + r);
  Spill(file_, IniSerialize(ParameterFileDocument(ParameterSetRecord{})));
  Load(file_);
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) EXPECT_EQ(ParameterSet.TeachBlock[r].Reserved, 0x4400 + r);
  EXPECT_EQ(FileBytes(file_).find("Reserved"), std::string::npos);
}

TEST_F(ParameterFile, MissingItemsTakeTheirDefaultsAndAreListed) {
  ParameterSetRecord set{};
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set.ParameterBlock[w] = ParameterDefaults[w];
  set.ParameterBlock[PARA_POWER] = 2;
  set.ParameterBlock[PARA_GAIN] = 2;
  std::string bytes = IniSerialize(ParameterFileDocument(set));
  bytes = Edited(bytes, "EXTERN TEACH = 0\r\n", "");
  bytes = Edited(bytes, "GAIN = 2\r\n", "GAIN = five\r\n");
  bytes = Edited(bytes, "[TEACH VECTOR 4]", "[TEACH VECTOR FOUR]");
  bytes = Edited(bytes, "[TEACH VECTOR 9]\r\nCELL 0 = 0", "[TEACH VECTOR 9]\r\nCELL 0 = 70000");
  ParameterSet.ParameterBlock[PARA_EXTERN_TEACH] = 3;
  Spill(file_, bytes);
  Load(file_);
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "Attention!|Following parameter could not be read \nand where set to default value:\n\nEXTEACH\nGAIN\n",
                         "Attention!|Following teach vectors could not be read \nand where set to default value:\n\n"
                         "TEACH VECTOR 4\n"}));
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_GAIN], 5);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_EXTERN_TEACH], 0);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 2);
  const TeachVector& row = ParameterSet.TeachBlock[4];
  EXPECT_EQ(std::vector<int>({row.Cell[0], row.Cell[1], row.Cell[2], row.Cell[3], row.Cell[4], row.Group, row.Hold}),
            std::vector<int>({1, 1, 1, 1, 1, 0, 10}));
  // Values are not range-checked: 70000 is an integer and is taken as its low 16 bits.
  EXPECT_EQ(ParameterSet.TeachBlock[9].Cell[0], 70000 & 0xFFFF);
  // The panel shows what was read.
  EXPECT_EQ(Control(PAGE_PARAMETER, PARA_GAIN_RING), 5);
  EXPECT_EQ(Control(PAGE_PARAMETER, PARA_SLIDE_POWER), 2);
  double cell = 0;
  GetTableCellVal(Panels.Page[PAGE_TEACH], TEACH_TABLE, {10, 1}, &cell);
  EXPECT_EQ(cell, 70000 & 0xFFFF);
}

TEST_F(ParameterFile, ValuesTheControlsCannotHoldAreNamedAndTheSendTakesWhatThePanelShows) {
  ParameterSetRecord set{};
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set.ParameterBlock[w] = ParameterDefaults[w];
  set.ParameterBlock[PARA_EVALUATION_MODE] = 9;  // the ring has no such item
  set.ParameterBlock[PARA_POWER] = 2000;         // beyond the slider's 1000
  set.ParameterBlock[PARA_AVERAGE] = 30000;      // within its field: shown as read
  Spill(file_, IniSerialize(ParameterFileDocument(set)));
  Load(file_);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Attention!|Following parameter could not be shown as read:\n"
                                               "POWER: read 2000, taken 1000\n"
                                               "EVALUATION MODE: read 9, taken 1\n"}));
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 1000);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_EVALUATION_MODE], 1);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_AVERAGE], 30000);
  // SEND to the sensor's RAM: the values the panel shows.
  Press(MAINP_RAM);
  program_->Sim().ClearLog();
  Press(MAINP_SEND);
  const auto sent = program_->Sim().WithState([](sim::SensorState& s) { return s.ram[0].para; });
  EXPECT_EQ(sent[PARA_POWER], 1000);
  EXPECT_EQ(sent[PARA_EVALUATION_MODE], 1);
  EXPECT_EQ(sent[PARA_AVERAGE], 30000);
  const std::vector<sim::OrderRecord> orders = program_->Sim().Orders();
  ASSERT_EQ(orders.size(), 2u);
  EXPECT_EQ(orders[0].data[2 * PARA_POWER] | orders[0].data[2 * PARA_POWER + 1] << 8, 1000);
  EXPECT_EQ(orders[0].data[2 * PARA_AVERAGE] | orders[0].data[2 * PARA_AVERAGE + 1] << 8, 30000);

  // A file whose values the controls can all hold is read without the report.
  set.ParameterBlock[PARA_EVALUATION_MODE] = 2;
  set.ParameterBlock[PARA_POWER] = 999;
  Spill(file_, IniSerialize(ParameterFileDocument(set)));
  Press(MAINP_FILE);
  hl::Popups().clear();
  Load(file_);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ParameterFile, AnotherVersionIsRefusedUnlessTheOperatorAgrees) {
  ParameterSetRecord set{};
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) set.ParameterBlock[w] = ParameterDefaults[w];
  set.ParameterBlock[PARA_POWER] = 123;
  Spill(file_, Edited(IniSerialize(ParameterFileDocument(set)), "Scope V1.2", "Scope V1.1"));
  // The operator changed POWER on the panel before: a refused file shows the set as it was.
  ParameterSet.ParameterBlock[PARA_POWER] = 777;
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, 50);
  hl::AnswerConfirm(0);
  Load(file_);
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "ATTENTION!|Selected file and scope version do not match! \nDo you want to proceed anyway?",
                         "ATTENTION!|No parameter where read!"}));
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 777);
  EXPECT_EQ(Control(PAGE_PARAMETER, PARA_SLIDE_POWER), 777);

  hl::Popups().clear();
  hl::AnswerConfirm(1);
  Load(file_);
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 123);
}

TEST_F(ParameterFile, AForeignFileReadAnywayGivesDefaultsAndBothLists) {
  Spill(file_, "[Something Else]\r\nPOWER = 900\r\n\r\n");
  hl::AnswerConfirm(1);
  hl::AnswerConfirm(1);
  Load(file_);
  std::vector<std::string> shown = Shown();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], "ATTENTION!|Selected file is not a parameter file! \nDo you want to proceed anyway?");
  EXPECT_EQ(shown[1], "ATTENTION!|Selected file and scope version do not match! \nDo you want to proceed anyway?");
  EXPECT_NE(shown[2].find("POWER\nPOWER MODE\nAVERAGE\n"), std::string::npos);
  EXPECT_NE(shown[3].find("\n\nTEACH VECTOR 0\nTEACH VECTOR 1\n"), std::string::npos);
  EXPECT_NE(shown[3].find("TEACH VECTOR 30\n"), std::string::npos);
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) EXPECT_EQ(ParameterSet.ParameterBlock[w], ParameterDefaults[w]);
  // A file that cannot be opened at all is refused at the first question.
  hl::Popups().clear();
  hl::AnswerConfirm(0);
  Load(program_->Dir() + "/gone.ini");
  EXPECT_EQ(Shown().front(), "ATTENTION!|Selected file is not a parameter file! \nDo you want to proceed anyway?");
}

TEST_F(ParameterFile, NoFileChosenChangesNothing) {
  const std::string before = State.ParameterFilePath;
  ParameterSet.ParameterBlock[PARA_POWER] = 444;
  hl::AnswerFile(VAL_NO_FILE_SELECTED, "");
  Press(MAINP_GET);
  hl::AnswerFile(VAL_NO_FILE_SELECTED, "");
  Press(MAINP_SEND);
  // A name typed into the load dialog that no file has is no file either.
  hl::AnswerFile(VAL_NEW_FILE_SELECTED, program_->Dir() + "/typed.ini");
  Press(MAINP_GET);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"ATTENTION!|No file was selected!", "ATTENTION!|No file was selected!",
                                               "ATTENTION!|No file was selected!"}));
  EXPECT_EQ(State.ParameterFilePath, before);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 444);
}

TEST_F(ParameterFile, AFailedWriteIsReportedAndTheOldFileStays) {
  Save(file_);
  const std::string old = FileBytes(file_);
  ASSERT_EQ(Lines(old).size(), 305u);
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, 999);

  // A full disk: no file may grow beyond 100 bytes (the limit binds root as well).
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  hl::Popups().clear();
  Save(file_);
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].rfind("ATTENTION!|", 0), 0u);
  EXPECT_NE(Shown()[0].find(file_), std::string::npos);
  EXPECT_EQ(FileBytes(file_), old);

  // A folder that vanished.
  hl::Popups().clear();
  const std::string lost = program_->Dir() + "/gone/Setup.ini";
  Save(lost);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].find(lost), std::string::npos);
}

}  // namespace
