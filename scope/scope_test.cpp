// The scope's computations, its page and SCOPEP offline, the CSV file and the report.
#include "scope/scope.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "scope/scope_report.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/runtime_internal.h"
#include "ui/ui.h"

namespace {

TEST(ScopeUnroll, SingleShotKeepsBufferOrderAndIgnoresTheStartIndex) {
  std::uint16_t words[129];
  for (int i = 0; i < 128; ++i) words[i] = static_cast<std::uint16_t>(1000 + i);
  words[128] = 17;
  std::uint16_t trace[128];
  UnrollScopeBlock(words, 0, 20, trace);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(trace[i], 1000 + i) << i;
}

TEST(ScopeUnroll, TriggeredModesPutTheTriggerSampleAtThePreTriggerIndex) {
  std::uint16_t words[129];
  for (int i = 0; i < 128; ++i) words[i] = static_cast<std::uint16_t>(i);
  words[128] = 5;
  std::uint16_t trace[128];
  UnrollScopeBlock(words, 1, 20, trace);
  EXPECT_EQ(trace[0], 113);
  EXPECT_EQ(trace[14], 127);
  EXPECT_EQ(trace[15], 0);  // wraps at the end of the buffer
  EXPECT_EQ(trace[20], 5);
  EXPECT_EQ(trace[127], 112);
  // A pre-trigger count larger than the buffer still stays inside it (unsigned arithmetic).
  UnrollScopeBlock(words, 4, 300, trace);
  EXPECT_EQ(trace[0], static_cast<std::uint16_t>(128 - 300 + 5) & 127);
}

TEST(ScopeCycleTime, FrequencyAndPrecisionFollowTheCounts) {
  double f = ScanFrequency(120, 800);
  EXPECT_DOUBLE_EQ(f, 15.0);
  int fd = -1, cd = -1;
  CycleTimePrecision(f, &fd, &cd);
  EXPECT_EQ(fd, 1);
  EXPECT_EQ(cd, 3);
  CycleTimePrecision(1.0, &fd, &cd);  // exactly 1.0 is not above 1.0
  EXPECT_EQ(fd, 2);
  EXPECT_EQ(cd, 0);
  CycleTimePrecision(5000.0, &fd, &cd);
  EXPECT_EQ(fd, 0);
  EXPECT_EQ(cd, 3);
  CycleTimePrecision(12500.0, &fd, &cd);
  EXPECT_EQ(fd, 0);
  EXPECT_EQ(cd, 6);
  EXPECT_EQ(ScanFrequency(120, 0), 0.0);  // no division by zero
  EXPECT_EQ(DeltaXPrecision(1.0), 6);
  EXPECT_EQ(DeltaXPrecision(2.0), 3);
  EXPECT_EQ(DeltaXPrecision(1000.5), 0);
  EXPECT_EQ(FrequencyText(0.0), "");
  EXPECT_EQ(FrequencyText(2.0), "500.000");
  EXPECT_EQ(FrequencyText(0.5), "2000");
}

// The program offline: its panels loaded, no sensor.
class ScopeOffline : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
    Scope = ScopeState{};
    page_ = Panels.Page[PAGE_SCOPE];
    scopep_ = Panels.Scopep;
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_SCOPE));
    ProcessSystemEvents();
  }
  void TearDown() override { SetReportPrinting(ReportPrinting{}); }
  static double Val(int panel, int id) {
    double v = 0;
    GetCtrlVal(panel, id, &v);
    return v;
  }
  static int Attr(int panel, int id, Attr a) {
    int v = 0;
    GetCtrlAttribute(panel, id, a, &v);
    return v;
  }
  void Do(bool posted) {
    ASSERT_TRUE(posted);
    ProcessSystemEvents();
  }
  std::unique_ptr<harness::Scratch> scratch_;
  int page_ = 0, scopep_ = 0;
};

TEST_F(ScopeOffline, DeltasFollowTheCursorsCycleTimeAndScanRate) {
  Scope.CycleTimeMs = 0.02;
  SetCtrlVal(page_, SCOPE_SCAN_RATE, 5);
  Do(ui::op::MoveCursor(scopep_, SCOPEP_GRAPH, 1, 10.0, 2048.4, false));
  Do(ui::op::MoveCursor(scopep_, SCOPEP_GRAPH, 2, 30.7, 1024.9, true));
  EXPECT_DOUBLE_EQ(Val(scopep_, SCOPEP_DELTA_X), 2.0);
  EXPECT_EQ(Attr(scopep_, SCOPEP_DELTA_X, ATTR_PRECISION), 3);
  EXPECT_EQ(Val(scopep_, SCOPEP_DELTA_Y), 1024);
  EXPECT_DOUBLE_EQ(Val(scopep_, SCOPEP_DELTA_VOLTS), 2.5);
  std::string hz;
  GetCtrlVal(scopep_, SCOPEP_FREQUENCY, &hz);
  EXPECT_EQ(hz, "500.000");
  // The binary-trace cursors stand at the same samples.
  double x = 0, y = 1;
  GetGraphCursor(scopep_, SCOPEP_BINARY_GRAPH, 2, &x, &y);
  EXPECT_DOUBLE_EQ(x, 30.7);
  EXPECT_EQ(y, 0.0);
  // Ten samples apart: exactly 1.0 keeps six decimals.
  Do(ui::op::MoveCursor(scopep_, SCOPEP_GRAPH, 2, 20.0, 1024.0, true));
  EXPECT_DOUBLE_EQ(Val(scopep_, SCOPEP_DELTA_X), 1.0);
  EXPECT_EQ(Attr(scopep_, SCOPEP_DELTA_X, ATTR_PRECISION), 6);
  // A new scan rate is taken at once.
  Do(ui::op::SetValue(page_, SCOPE_SCAN_RATE, 1));
  EXPECT_DOUBLE_EQ(Val(scopep_, SCOPEP_DELTA_X), 0.2);
  // Without a cycle time there is no frequency.
  Scope.CycleTimeMs = 0.0;
  UpdateScopeDeltas();
  GetCtrlVal(scopep_, SCOPEP_FREQUENCY, &hz);
  EXPECT_EQ(hz, "");
}

TEST_F(ScopeOffline, YRangeIsWideOnlyForRecordedSignalOneInSiMModes) {
  const int para = Panels.Page[PAGE_PARAMETER];
  struct Case {
    int calcMode, signal;
    double yMax;
  } cases[] = {{1, 1, 10000}, {3, 1, 10000}, {0, 1, 4100}, {2, 1, 4100}, {1, 0, 4100}, {3, 2, 4100}};
  for (const Case& c : cases) {
    SetCtrlVal(para, PARA_CALC_MODE_RING, c.calcMode);
    SetCtrlVal(page_, SCOPE_REC_SIGNAL, c.signal);
    Do(ui::op::Press(scopep_, SCOPEP_ZOOM11));
    int mode = -1;
    double lo = -1, hi = -1;
    GetAxisScalingMode(scopep_, SCOPEP_GRAPH, VAL_LEFT_YAXIS, &mode, &lo, &hi);
    EXPECT_EQ(mode, VAL_MANUAL);
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, c.yMax) << c.calcMode << " " << c.signal;
    GetAxisScalingMode(scopep_, SCOPEP_GRAPH, VAL_XAXIS, &mode, &lo, &hi);
    EXPECT_EQ(hi, 128.0);
  }
}

TEST_F(ScopeOffline, TriggerModeDimsItsFieldsAndSignalTwoShowsVolts) {
  // Modes 0, 1, 2, 3, 4 -> trigger level dimmed, pre-trigger dimmed.
  const int level[] = {1, 0, 0, 1, 1};
  const int pre[] = {1, 0, 0, 0, 0};
  for (int mode : {1, 0, 2, 3, 4}) {
    Do(ui::op::PickIndex(page_, SCOPE_TRIGGER_MODE, mode));
    EXPECT_EQ(Attr(page_, SCOPE_TRIGGER_LEVEL, ATTR_DIMMED), level[mode]) << mode;
    EXPECT_EQ(Attr(page_, SCOPE_PRE_TRIGGER, ATTR_DIMMED), pre[mode]) << mode;
  }
  EXPECT_EQ(Attr(scopep_, SCOPEP_DELTA_VOLTS, ATTR_VISIBLE), 0);
  Do(ui::op::PickIndex(page_, SCOPE_REC_SIGNAL, 2));
  EXPECT_EQ(Attr(scopep_, SCOPEP_DELTA_VOLTS, ATTR_VISIBLE), 1);
  Do(ui::op::PickIndex(page_, SCOPE_REC_SIGNAL, 1));
  EXPECT_EQ(Attr(scopep_, SCOPEP_DELTA_VOLTS, ATTR_VISIBLE), 0);
}

TEST_F(ScopeOffline, HelpTextsAndCommentBox) {
  auto& popups = ui::headless::Popups();
  struct Case {
    int panel, id;
    const char* text;
  } cases[] = {
      {page_, SCOPE_GET_CYCLE_TIME, "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen press the button."},
      {page_, SCOPE_SCAN, "Start data recording and display the result in the graph."},
      {page_, SCOPE_BREAK, "Break data recording."},
      {page_, SCOPE_PRE_TRIGGER, "Number of recorded values \nwhich are stored before trigger occured."},
      {page_, SCOPE_SCAN_RATE, "Record a value every SCAN RATE scan."},
      {scopep_, SCOPEP_CLOSE, "Close PANEL and return to MAIN PANEL. "},
      {scopep_, SCOPEP_PRINT, "Print settings,scope graph and comment."},
      {scopep_, SCOPEP_ZOOM11, "Zoom in: <Ctrl>+Left Mouse Button (drag to select).\nZoom out: Press ZOOM 1:1."},
      {scopep_, SCOPEP_DELTA_X, "Show delta X in [ms]. \nThe calculation is based on the cycle time shown\nin the display [ms] and the value of ScanRate."},
  };
  for (const Case& c : cases) {
    popups.clear();
    Do(ui::op::RightClick(c.panel, c.id));
    ASSERT_EQ(popups.size(), 1u) << c.text;
    EXPECT_EQ(popups[0].title, "INFO!");
    EXPECT_EQ(popups[0].text, c.text);
  }
  // The comment box has no help; a right double click clears it.
  SetCtrlVal(page_, SCOPE_COMMENT, "line one\nline two");
  popups.clear();
  Do(ui::op::RightClick(page_, SCOPE_COMMENT));
  EXPECT_TRUE(popups.empty());
  Do(ui::op::RightDoubleClick(page_, SCOPE_COMMENT));
  std::string text = "x";
  GetCtrlVal(page_, SCOPE_COMMENT, &text);
  EXPECT_EQ(text, "");
}

TEST_F(ScopeOffline, SignalRingRedrawsTheChosenLinesOnly) {
  for (int i = 0; i < 128; ++i) {
    Scope.Plotted[0][i] = 100;
    Scope.Plotted[1][i] = 200;
    Scope.Plotted[2][i] = 300;
  }
  const ui::Control* graph = ui::FindControl(scopep_, SCOPEP_GRAPH);
  Do(ui::op::PickIndex(scopep_, SCOPEP_SIGNAL, 2));
  ASSERT_EQ(graph->graph->plots.size(), 1u);
  EXPECT_EQ(graph->graph->plots[0].color, 0x00FF00);
  EXPECT_EQ(graph->graph->plots[0].y[5], 200);
  Do(ui::op::PickIndex(scopep_, SCOPEP_SIGNAL, 0));
  ASSERT_EQ(graph->graph->plots.size(), 3u);
  EXPECT_EQ(graph->graph->plots[2].color, 0x0000FF);
}

// [SECTION] CSV

std::vector<std::vector<std::string>> ReadCsv(const std::string& path, std::string* raw) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  *raw = ss.str();
  std::vector<std::vector<std::string>> rows;
  std::size_t at = 0;
  while (at < raw->size()) {
    std::size_t end = raw->find("\r\n", at);
    if (end == std::string::npos) break;
    std::vector<std::string> cells;
    std::stringstream line(raw->substr(at, end - at));
    std::string cell;
    while (std::getline(line, cell, ',')) cells.push_back(cell);
    rows.push_back(cells);
    at = end + 2;
  }
  return rows;
}

TEST_F(ScopeOffline, CsvSavedThroughTheDialogReadsBackAsShown) {
  Scope.CycleTimeMs = 0.4;
  Scope.Captured.ScanRate = 3;
  for (int i = 0; i < 128; ++i) {
    Scope.Plotted[0][i] = static_cast<std::uint16_t>(i * 3);
    Scope.Plotted[1][i] = static_cast<std::uint16_t>(4095 - i);
    Scope.Plotted[2][i] = static_cast<std::uint16_t>(i * i % 4096);
    Scope.Upper[i] = static_cast<std::uint16_t>(2 + (i & 1));
    Scope.Lower[i] = static_cast<std::uint16_t>((i >> 1) & 1);
  }
  const std::string path = scratch_->Dir() + "/capture.csv";
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, path);
  Do(ui::op::Press(scopep_, SCOPEP_SAVE_CSV));
  std::string raw;
  auto rows = ReadCsv(path, &raw);
  ASSERT_EQ(rows.size(), 129u);
  EXPECT_EQ(rows[0].size(), 7u);
  EXPECT_EQ(raw.find('\n'), raw.find("\r\n") + 1);  // CR LF line ends
  for (int i = 0; i < 128; ++i) {
    const auto& r = rows[i + 1];
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(std::stoi(r[0]), i);
    double t = -1;
    std::from_chars(r[1].data(), r[1].data() + r[1].size(), t);
    EXPECT_NEAR(t, i * 1.2, 1e-6);
    EXPECT_EQ(std::stoi(r[2]), Scope.Plotted[0][i]);
    EXPECT_EQ(std::stoi(r[3]), Scope.Plotted[1][i]);
    EXPECT_EQ(std::stoi(r[4]), Scope.Plotted[2][i]);
    EXPECT_EQ(std::stoi(r[5]), Scope.Upper[i]);
    EXPECT_EQ(std::stoi(r[6]), Scope.Lower[i]);
  }
  // A file that cannot be written is reported.
  ui::headless::Popups().clear();
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, scratch_->Dir() + "/no/such/dir/capture.csv");
  Do(ui::op::Press(scopep_, SCOPEP_SAVE_CSV));
  ASSERT_EQ(ui::headless::Popups().size(), 2u);  // the dialog, then the message
  EXPECT_EQ(ui::headless::Popups()[1].title, "ATTENTION!");
}

// [SECTION] Report

struct FakePrinter {
  static inline int savedPanel = 0;
  static inline int choose = 1;
  static inline int result = 0;
  static inline std::vector<ScopeReport> printed;
  static inline std::string printerName;
  static void Install() {
    savedPanel = 0;
    printed.clear();
    ReportPrinting p;
    p.savePanelPicture = [](int panel, const std::string&) {
      savedPanel = panel;
      return 1;
    };
    p.choosePrinter = [](std::string* name) {
      if (choose) *name = "Office";
      return choose;
    };
    p.print = [](const ScopeReport& r, const std::string& name) {
      printed.push_back(r);
      printerName = name;
      return result;
    };
    SetReportPrinting(p);
  }
};

std::vector<std::string> Texts(const ScopeReport& r) {
  std::vector<std::string> out;
  for (const ReportItem& item : r.items) {
    out.push_back(item.kind == ReportItem::Line ? item.text : item.kind == ReportItem::EmptyLine ? "<empty>" : "<picture " + item.text + ">");
  }
  return out;
}

TEST(ScopeReportModel, LinesInOrderWithAndWithoutPanelIdAndComment) {
  ScopeReport bare = BuildScopeReport("", "", "/tmp/p.png");
  EXPECT_EQ(Texts(bare), (std::vector<std::string>{"Scope Screen Shot", "CHROMIK4-ANA-Scope V1.2", "<empty>", "<picture Panel>"}));
  EXPECT_EQ(bare.pageTexts, (std::vector<std::string>{"<shortdate>", "<time>", "<pagenofm>"}));
  EXPECT_EQ(bare.items[0].size, 20.0);
  EXPECT_EQ(bare.items[0].font, "Arial");
  EXPECT_EQ(bare.items[1].size, 10.0);
  EXPECT_EQ(bare.items[3].imagePath, "/tmp/p.png");
  ScopeReport full = BuildScopeReport("LINE 4", "first\nsecond", "p.png");
  EXPECT_EQ(Texts(full), (std::vector<std::string>{"Scope Screen Shot", "CHROMIK4-ANA-Scope V1.2", "PANEL ID: LINE 4",
                                                   "<empty>", "COMMENT:", "first\nsecond", "<empty>", "<picture Panel>"}));
}

TEST_F(ScopeOffline, PrintButtonReportsTheResultAndACancelPrintsNothing) {
  auto& popups = ui::headless::Popups();
  // No printing service: the report cannot be made.
  popups.clear();
  Do(ui::op::Press(scopep_, SCOPEP_PRINT));
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].title, "ERROR");
  EXPECT_EQ(popups[0].text, "Could not initialize NI Reports...");

  FakePrinter::Install();
  State.PanelId = "CELL 7";
  SetCtrlVal(page_, SCOPE_COMMENT, "checked at night");
  FakePrinter::choose = 0;
  popups.clear();
  Do(ui::op::Press(scopep_, SCOPEP_PRINT));
  EXPECT_TRUE(FakePrinter::printed.empty());
  EXPECT_TRUE(popups.empty());

  FakePrinter::choose = 1;
  FakePrinter::result = 0;
  Do(ui::op::Press(scopep_, SCOPEP_PRINT));
  ASSERT_EQ(FakePrinter::printed.size(), 1u);
  EXPECT_EQ(FakePrinter::savedPanel, scopep_);
  EXPECT_EQ(FakePrinter::printerName, "Office");
  auto texts = Texts(FakePrinter::printed[0]);
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[2], "PANEL ID: CELL 7");
  EXPECT_EQ(texts[5], "checked at night");
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].title, "Info!");
  EXPECT_EQ(popups[0].text, "Print successful!");

  FakePrinter::result = -3;
  popups.clear();
  Do(ui::op::Press(scopep_, SCOPEP_PRINT));
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].text, "Print error ");
  State.PanelId.clear();
}

}  // namespace
