// Files that other tools wrote or damaged, through each reader of the program: the
// corpus in app/malformed (made by make_corpus.py) plus a 1 MB line made here. Every
// file loads, with the defaults and the reports of its reader, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/locations.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "com232/link.h"
#include "parameters/ini.h"
#include "parameters/parameter_file.h"
#include "parameters/parameter_panel.h"
#include "parameters/parameter_set.h"
#include "teach/row_colors.h"
#include "teach/table_attributes.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

using testfiles::FileBytes;

namespace fs = std::filesystem;
namespace hl = ui::headless;
using namespace std::string_literals;

const fs::path kCorpus = CHROMIK_MALFORMED_DIR;

// `bytes` with `line` put in before its line `at` (0: before the first).
std::string Inserted(std::string bytes, std::size_t at, const std::string& line) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < at; ++i) pos = bytes.find("\r\n", pos) + 2;
  return bytes.insert(pos, line + "\r\n");
}

// The sound corpus file of a reader with `line` put in before its line `at`.
std::string WithLine(const std::string& reader, const std::string& ext, std::size_t at, const std::string& line) {
  return Inserted(FileBytes(kCorpus / reader / ("good" + ext)), at, line);
}

// Every case of a reader's corpus folder, by name; a file without an expectation fails.
std::vector<std::string> Cases(const std::string& reader) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(kCorpus / reader)) out.push_back(e.path().stem().string());
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> Shown() {
  std::vector<std::string> out;
  for (const auto& p : hl::Popups()) {
    if (p.kind != "file") out.push_back(p.title + "|" + p.text);
  }
  return out;
}

// [SECTION] The INI reader

TEST(MalformedIni, LineEndsAndAByteOrderMarkDoNotChangeWhatIsRead) {
  for (const auto& [reader, ext] : {std::pair{"panel_settings"s, ".cfg"s}, {"parameter_file"s, ".ini"s},
                                    {"table_attributes"s, ".ini"s}}) {
    SCOPED_TRACE(reader);
    IniDocument good;
    ASSERT_EQ(IniReadFile((kCorpus / reader / ("good" + ext)).string(), &good), 1);
    ASSERT_GT(good.sections.size(), 4u);
    for (const std::string& name : Cases(reader)) {
      IniDocument doc;
      EXPECT_EQ(IniReadFile((kCorpus / reader / (name + ext)).string(), &doc), 1) << name;
      if (name == "cr_only" || name == "lf_only" || name == "byte_order_mark") {
        EXPECT_EQ(IniSerialize(doc), IniSerialize(good)) << name;
      }
    }
  }
}

// [SECTION] Panel settings

// What the program took from a panel settings file.
struct Settings {
  std::string panelId;
  std::vector<int> window;  // left, top, width, height
  std::vector<std::string> paths;  // parameter, record, hardware, table attributes
  std::vector<std::string> servers;
  std::vector<int> link;  // protocol, port, baud index
  std::string host, portText;
  int firstRowColor = 0;
  std::string firstRowText;
  bool operator==(const Settings&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Settings& s) {
  os << "id '" << s.panelId << "' window";
  for (int v : s.window) os << ' ' << v;
  for (const auto& p : s.paths) os << " path " << p;
  for (const auto& p : s.servers) os << " server " << p;
  for (int v : s.link) os << " link " << v;
  return os << " host " << s.host << " port " << s.portText << " row0 " << s.firstRowColor << " '" << s.firstRowText
            << "'";
}

class MalformedPanelSettings : public ::testing::Test {
 protected:
  void SetUp() override { scratch_ = std::make_unique<harness::Scratch>(); }
  void TearDown() override { scratch_.reset(); }

  Settings Load(const std::string& bytes) {
    std::ofstream(scratch_->Dir() + "/PanelSettings.cfg", std::ios::binary) << bytes;
    EXPECT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    Settings s;
    s.panelId = State.PanelId;
    for (Attr a : {ATTR_LEFT, ATTR_TOP, ATTR_WIDTH, ATTR_HEIGHT}) {
      int v = 0;
      GetPanelAttribute(Panels.Mainp, a, &v);
      s.window.push_back(v);
    }
    s.paths = {State.ParameterFilePath, State.RecordFilePath, State.HardwareFilePath, State.TableAttributesPath};
    const int com = Panels.Page[PAGE_CONNECTION];
    int count = 0;
    GetNumListItems(com, COM_IP_ADRESS, &count);
    for (int i = 0; i < count; ++i) {
      std::string server;
      GetValueFromIndex(com, COM_IP_ADRESS, i, &server);
      s.servers.push_back(server);
    }
    s.link = {SensorLink.TransportKind, SensorLink.ComPort, SensorLink.BaudIndex};
    for (int id : {COM_PROTOCOL, COM_PORT, COM_BAUDRATE}) {
      int v = -1;
      GetCtrlVal(com, id, &v);
      s.link.push_back(v);
    }
    s.host = SensorLink.HostAddress;
    s.portText = SensorLink.TcpPortText;
    s.firstRowColor = RowColors[0];
    GetTableCellVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {1, 1}, &s.firstRowText);
    return s;
  }

  std::unique_ptr<harness::Scratch> scratch_;
};

TEST_F(MalformedPanelSettings, EveryFileLoadsWithItsOwnValuesOrTheDefaults) {
  // Where the program is placed without a file (its layout) and what it starts with,
  // in the program folder of the case at hand.
  const std::vector<int> layout = Load("").window;
  auto defaults = [&] {
    const FilePlaces places = CurrentFilePlaces();
    return Settings{"", layout,
                    {places.project + "/Parameter.ini", places.records + "/RecordFile.dat",
                     places.project + "/HardwareInitialFile.ini", places.project + "/TableAttributes.ini"},
                    {}, {0, 1, 4, 0, 1, 4}, "", "10001", DefaultRowColors[0], ""};
  };
  const Settings good{"Line 4",
                      {30, 60, 800, 600},
                      {"/data/P.ini", "/data/R.dat", "/data/H.ini", "/data/T.ini"},
                      {"10.0.0.5", "sensor.local"},
                      {1, 2, 3, 1, 2, 3},
                      "127.0.0.1",
                      "1",
                      255,
                      "red cap"};
  std::map<std::string, std::function<Settings()>> expected = {
      {"good", [&] { return good; }},
      {"cr_only", [&] { return good; }},
      {"lf_only", [&] { return good; }},
      {"byte_order_mark", [&] { return good; }},
      {"other_letter_case", [&] { return good; }},
      {"duplicated_sections", [&] { return good; }},  // the first section and key win
      {"empty", defaults},
      {"binary", defaults},
      {"latin1", [&] { Settings s = good; s.panelId = "Linie 4 Gr\xF6\xDF" "e"; return s; }},
      {"missing_sections",
       [&] {
         Settings s = defaults();
         s.panelId = "Line 4";
         const FilePlaces places = CurrentFilePlaces();  // a present file without the keys:
         s.paths = {places.project, places.records + "/RecordFile.dat", places.project, places.project};
         return s;
       }},
      {"wrong_types",
       [&] {
         Settings s = good;
         s.window[0] = 10;  // MAINPANEL LEFT = 0x1E
         s.servers.clear();  // LIST ITEMS = all
         s.link = {1, 1, 4, 1, 1, 4};
         return s;
       }},
      {"beyond_16_bits",
       [&] {
         Settings s = good;
         s.link = {0, 1, 4, 0, 1, 4};  // not the low 16 bits of what the file says
         s.firstRowColor = DefaultRowColors[0];  // a colour has 24 bits
         return s;
       }},
  };
  for (const std::string& name : Cases("panel_settings")) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(expected.count(name)) << "a corpus file without an expectation";
    TearDown();
    SetUp();
    EXPECT_EQ(Load(FileBytes(kCorpus / "panel_settings" / (name + ".cfg"))), expected[name]());
  }
}

TEST_F(MalformedPanelSettings, AMegabyteLineIsCutOrSkippedAndTheRestIsRead) {
  const std::string mega(1u << 20, 'x');
  // A 1 MB identification is cut to its length limit.
  Settings s = Load(WithLine("panel_settings", ".cfg", 3, "PANEL ID: = \"" + mega + "\""));
  EXPECT_EQ(s.panelId, std::string(PANEL_ID_LIMIT, 'x'));
  EXPECT_EQ(s.link, (std::vector<int>{1, 2, 3, 1, 2, 3}));
  // A 1 MB line of junk is skipped.
  TearDown();
  SetUp();
  s = Load(WithLine("panel_settings", ".cfg", 12, mega));
  EXPECT_EQ(s.panelId, "Line 4");
  EXPECT_EQ(s.paths[0], "/data/P.ini");
  EXPECT_EQ(s.servers, (std::vector<std::string>{"10.0.0.5", "sensor.local"}));
}

// [SECTION] Parameter file

class MalformedParameterFile : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    hl::Popups().clear();
  }
  void TearDown() override { scratch_.reset(); }

  // Reads `bytes` as the operator would, agreeing to read a file of another kind.
  void Load(const std::string& bytes) {
    const std::string path = scratch_->Dir() + "/Parameter.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ParameterSet = ParameterSetRecord{};
    hl::Popups().clear();
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, path);
    hl::AnswerConfirm(1);
    hl::AnswerConfirm(1);
    ReadParameterFile();
  }
  std::unique_ptr<harness::Scratch> scratch_;
};

constexpr const char* kParameterList = "Attention!|Following parameter could not be read \nand where set to default value:\n\n";
constexpr const char* kTeachList = "Attention!|Following teach vectors could not be read \nand where set to default value:\n\n";
constexpr const char* kNotParameterFile = "ATTENTION!|Selected file is not a parameter file! \nDo you want to proceed anyway?";
constexpr const char* kOtherVersion = "ATTENTION!|Selected file and scope version do not match! \nDo you want to proceed anyway?";

// The set of the sound corpus file with the words in `defaulted` (parameter words 0..19,
// teach words as 100 + 7 * row + k) at their defaults. The file holds 100 + w in word w,
// except in the words whose controls have a narrow range (rings, MAX VEC NO, COLOR GROUP),
// which hold their defaults.
ParameterSetRecord CorpusSet(const std::set<int>& defaulted) {
  static const std::uint16_t kRowDefaults[7] = {1, 1, 1, 1, 1, 0, 10};
  static const std::set<int> kSelectors = {1, 3, 6, 7, 8, 9, 10, 13, 14, 15, 17, 18};
  ParameterSetRecord s{};
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) {
    const bool fromFile = !defaulted.count(w) && !kSelectors.count(w);
    s.ParameterBlock[w] = fromFile ? static_cast<std::uint16_t>(100 + w) : ParameterDefaults[w];
  }
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    std::uint16_t* words[7] = {&s.TeachBlock[r].Cell[0], &s.TeachBlock[r].Cell[1], &s.TeachBlock[r].Cell[2],
                               &s.TeachBlock[r].Cell[3], &s.TeachBlock[r].Cell[4], &s.TeachBlock[r].Group,
                               &s.TeachBlock[r].Hold};
    const std::uint16_t file[7] = {static_cast<std::uint16_t>(1000 + 10 * r), static_cast<std::uint16_t>(1001 + 10 * r),
                                   static_cast<std::uint16_t>(1002 + 10 * r), static_cast<std::uint16_t>(1003 + 10 * r),
                                   static_cast<std::uint16_t>(1004 + 10 * r), static_cast<std::uint16_t>(r % 8),
                                   static_cast<std::uint16_t>(20 + r)};
    for (int k = 0; k < 7; ++k) *words[k] = defaulted.count(100 + 7 * r + k) ? kRowDefaults[k] : file[k];
  }
  return s;
}

std::set<int> AllWords() {
  std::set<int> all;
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) all.insert(w);
  for (int i = 0; i < 7 * TEACH_VECTOR_COUNT; ++i) all.insert(100 + i);
  return all;
}

std::string ParameterNames(const std::vector<int>& words) {
  std::string out;
  for (int w : words) out += (w == PARA_EXTERN_TEACH ? "EXTEACH"s : ParameterKeys[w]) + "\n";
  return out;
}

std::string Rows(int from, int to) {
  std::string out;
  for (int r = from; r <= to; ++r) out += "TEACH VECTOR " + std::to_string(r) + "\n";
  return out;
}

void ExpectSet(const ParameterSetRecord& want) {
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) EXPECT_EQ(ParameterSet.ParameterBlock[w], want.ParameterBlock[w]) << ParameterKeys[w];
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    const TeachVector& got = ParameterSet.TeachBlock[r];
    const TeachVector& exp = want.TeachBlock[r];
    EXPECT_EQ(std::vector<int>({got.Cell[0], got.Cell[1], got.Cell[2], got.Cell[3], got.Cell[4], got.Group, got.Hold}),
              std::vector<int>({exp.Cell[0], exp.Cell[1], exp.Cell[2], exp.Cell[3], exp.Cell[4], exp.Group, exp.Hold}))
        << "row " << r;
  }
}

TEST_F(MalformedParameterFile, EveryFileLoadsWithItsValuesTheDefaultsAndTheLists) {
  struct Outcome {
    std::set<int> defaulted;
    std::vector<std::string> popups;
  };
  std::vector<int> allParameters;
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) allParameters.push_back(w);
  std::set<int> rows29and30, row2cell0 = {100 + 7 * 2}, row7cell2 = {100 + 7 * 7 + 2};
  for (int i = 100 + 7 * 29; i < 100 + 7 * 31; ++i) rows29and30.insert(i);
  std::set<int> missing = rows29and30;
  for (int w : allParameters) missing.insert(w);
  const Outcome foreign{AllWords(),
                        {kNotParameterFile, kOtherVersion, kParameterList + ParameterNames(allParameters),
                         kTeachList + Rows(0, 30)}};
  std::map<std::string, Outcome> expected = {
      {"good", {}},
      {"cr_only", {}},
      {"lf_only", {}},
      {"byte_order_mark", {}},
      {"other_letter_case", {}},
      {"latin1", {}},
      {"duplicated_sections", {}},  // the first section and key win
      {"empty", foreign},
      {"binary", foreign},
      {"missing_sections", {missing, {kParameterList + ParameterNames(allParameters), kTeachList + Rows(29, 30)}}},
      {"wrong_types",
       {{PARA_POWER, PARA_GAIN, 100 + 7 * 7 + 2},
        {kParameterList + ParameterNames({PARA_POWER, PARA_GAIN}), kTeachList + Rows(7, 7)}}},
      {"beyond_16_bits", {}},  // taken as their low 16 bits, below
  };
  for (const std::string& name : Cases("parameter_file")) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(expected.count(name)) << "a corpus file without an expectation";
    Load(FileBytes(kCorpus / "parameter_file" / (name + ".ini")));
    EXPECT_EQ(Shown(), expected[name].popups);
    ParameterSetRecord want = CorpusSet(expected[name].defaulted);
    if (name == "beyond_16_bits") {
      // Integers a word cannot hold are not range-checked: POWER = 65536, AVERAGE = -1, CELL 0 = 70000.
      want.ParameterBlock[PARA_POWER] = 0;
      want.ParameterBlock[PARA_AVERAGE] = 0xFFFF;
      want.TeachBlock[2].Cell[0] = 70000 & 0xFFFF;
    }
    ExpectSet(want);
  }
}

TEST_F(MalformedParameterFile, AMegabyteNumberIsNotANumber) {
  Load(WithLine("parameter_file", ".ini", 5, "POWER = " + std::string(1u << 20, '9')));
  EXPECT_EQ(Shown(), (std::vector<std::string>{kParameterList + ParameterNames({PARA_POWER})}));
  ExpectSet(CorpusSet({PARA_POWER}));
}

// [SECTION] Table attributes file

class MalformedTableAttributes : public MalformedParameterFile {
 protected:
  void LoadAttributes(const std::string& bytes) {
    const std::string path = scratch_->Dir() + "/TableAttributes.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    for (int r = 0; r < TEACH_ROWS; ++r) RowColors[r] = 0x777777;
    hl::Popups().clear();
    hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, path);
    hl::AnswerConfirm(1);
    hl::AnswerConfirm(1);
    LoadTableAttributes();
  }
  std::vector<int> Colors() { return std::vector<int>(RowColors, RowColors + TEACH_ROWS); }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (int r = 0; r < TEACH_ROWS; ++r) {
      std::string t;
      GetTableCellVal(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {r + 1, 1}, &t);
      out.push_back(t);
    }
    return out;
  }
};

TEST_F(MalformedTableAttributes, EveryFileLoadsWithItsColoursTheDefaultsAndTheList) {
  constexpr const char* kNotAttributes =
      "ATTENTION!|Selected file is not a table attributes file! \nDo you want to proceed anyway?";
  auto rows = [](std::set<int> r) {
    std::string out = kTeachList;
    for (int n : r) out += "TABLE ATTR OF TEACH VECTOR " + std::to_string(n) + "\n";
    return out;
  };
  struct Outcome {
    std::set<int> defaulted;  // rows at their default colour
    std::set<int> noText;     // rows without a row text
    std::vector<std::string> popups;
    std::map<int, std::string> texts = {};  // other texts than "row r"
  };
  std::set<int> all, first11;
  for (int r = 0; r < TEACH_ROWS; ++r) all.insert(r);
  for (int r = 0; r <= 10; ++r) first11.insert(r);
  const Outcome foreign{all, all, {kNotAttributes, kOtherVersion, rows(all)}};
  std::map<std::string, Outcome> expected = {
      {"good", {}},
      {"cr_only", {}},
      {"lf_only", {}},
      {"byte_order_mark", {}},
      {"other_letter_case", {}},
      {"duplicated_sections", {}},
      {"latin1", {{}, {}, {}, {{5, "gr\xFCn, \xBD Deckel"}}}},
      {"empty", foreign},
      {"binary", foreign},
      {"missing_sections", {first11, first11, {rows(first11)}}},
      {"wrong_types", {{3, 5}, {}, {rows({3, 5})}}},
      {"beyond_16_bits", {{1, 2}, {}, {rows({1, 2})}}},  // a colour has 24 bits; -1 is none either
  };
  for (const std::string& name : Cases("table_attributes")) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(expected.count(name)) << "a corpus file without an expectation";
    LoadAttributes(FileBytes(kCorpus / "table_attributes" / (name + ".ini")));
    const Outcome& want = expected[name];
    EXPECT_EQ(Shown(), want.popups);
    std::vector<int> colors;
    std::vector<std::string> texts;
    for (int r = 0; r < TEACH_ROWS; ++r) {
      colors.push_back(want.defaulted.count(r) ? DefaultRowColors[r] : 0x010101 * (r + 1));
      texts.push_back(want.noText.count(r) ? "" : want.texts.count(r) ? want.texts.at(r) : "row " + std::to_string(r));
    }
    EXPECT_EQ(Colors(), colors);
    EXPECT_EQ(Texts(), texts);
  }
}

TEST_F(MalformedTableAttributes, AMegabyteRowTextIsCut) {
  LoadAttributes(WithLine("table_attributes", ".ini", 6, "Row specification = \"" + std::string(1u << 20, 's') + "\""));
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Texts()[0], std::string(ROW_TEXT_LIMIT, 's'));
  EXPECT_EQ(Colors()[0], 0x010101);
}

}  // namespace
