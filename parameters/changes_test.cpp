// What the panel holds that its source does not: marks, count, list, and the question
// before closing, headless against the simulator.
#include "parameters/changes.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "parameters/parameter_panel.h"
#include "parameters/transfer.h"
#include "sim/faults.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

namespace hl = ui::headless;

class ChangesSinceGet : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<harness::Program>();
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    para = Panels.Page[PAGE_PARAMETER];
    teach = Panels.Page[PAGE_TEACH];
    hl::Popups().clear();
  }
  void Do(bool posted) {
    ASSERT_TRUE(posted);
    program_->Settle();
  }
  static int Italic(int panel, int control) {
    int on = -1;
    GetCtrlAttribute(panel, control, ATTR_TEXT_ITALIC, &on);
    return on;
  }
  static int ItalicCell(int panel, int control, TableCell cell) {
    int on = -1;
    GetTableCellAttribute(panel, control, cell, ATTR_TEXT_ITALIC, &on);
    return on;
  }
  static std::string Shown() {
    std::string text;
    GetCtrlVal(Panels.Mainp, MAINP_CHANGES_TEXT, &text);
    return text;
  }
  static int ListDimmed() {
    int dimmed = -1;
    GetCtrlAttribute(Panels.Mainp, MAINP_CHANGES, ATTR_DIMMED, &dimmed);
    return dimmed;
  }
  std::unique_ptr<harness::Program> program_;
  int para = 0, teach = 0;
};

TEST_F(ChangesSinceGet, AfterTheGetOfIdentificationNothingIsMarked) {
  EXPECT_EQ(Changes.Source, REFERENCE_GET);
  EXPECT_EQ(Changes.Count, 0);
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(ListDimmed(), 1);
  EXPECT_EQ(Italic(para, PARA_AVERAGE_NUM), 0);
}

TEST_F(ChangesSinceGet, TypingTeachingRulesAndResetsAreMarkedAndCounted) {
  // A typed value.
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 77));
  EXPECT_EQ(Italic(para, PARA_AVERAGE_NUM), 1);
  EXPECT_EQ(Changes.Count, 1);
  EXPECT_EQ(Shown(), "1 CHANGE SINCE GET");
  EXPECT_EQ(ListDimmed(), 0);
  // Typed back to what the sensor holds: no longer a change.
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, Changes.Reference.ParameterBlock[PARA_AVERAGE]));
  EXPECT_EQ(Italic(para, PARA_AVERAGE_NUM), 0);
  EXPECT_EQ(Shown(), "");

  // A taught row: the teach page writes the measured colour into row 5.
  SetCtrlVal(para, PARA_DIG_OUTMODE_RING, DIGITAL_OUTMODE_BINARY);
  Do(ui::op::PickIndex(para, PARA_DIG_OUTMODE_RING, 1));  // BINARY, through the operator's ring
  const int before = Changes.Count;
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
  SetCtrlVal(Panels.Datap, DATAP_X, 1234);
  SetCtrlVal(Panels.Datap, DATAP_Y, 2345);
  SetCtrlVal(Panels.Datap, DATAP_INT, 3456);
  SetCtrlVal(teach, TEACH_NO, 5);
  Do(ui::op::Press(teach, TEACH_DATA_TO));
  EXPECT_EQ(ItalicCell(teach, TEACH_TABLE, {6, 1}), 1);
  EXPECT_EQ(ItalicCell(teach, TEACH_TABLE, {6, 2}), 1);
  EXPECT_EQ(ItalicCell(teach, TEACH_TABLE, {7, 1}), 0);
  EXPECT_GT(Changes.Count, before);

  // A value the rules force: DIRECT LO allows two rows, so MAX VEC NO 3 comes down to 2.
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  Do(ui::op::SetValue(para, PARA_MAX_VEC_NO_NUM, 3));
  int forced = 0;
  Do(ui::op::PickIndex(para, PARA_DIG_OUTMODE_RING, 2));  // DIRECT LO
  GetCtrlVal(para, PARA_MAX_VEC_NO_NUM, &forced);
  ASSERT_EQ(forced, 2);
  EXPECT_EQ(Italic(para, PARA_MAX_VEC_NO_NUM), forced != Changes.Reference.ParameterBlock[PARA_MAX_VEC_NO]);

  // A reset of the hold table: every hold that differs from the sensor's is marked.
  hl::AnswerConfirm(1);
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_GROUP_HOLD);
  const int group = Panels.Page[PAGE_GROUP_HOLD];
  SetCtrlVal(group, HOLD_RESET_VALUE, 77);
  Do(ui::op::Press(group, HOLD_RESET));
  for (int row = 0; row < TEACH_VECTOR_COUNT; ++row) {
    EXPECT_EQ(ItalicCell(group, HOLD_TABLE, {row + 2, 1}), Changes.Reference.TeachBlock[row].Hold != 77) << row;
  }
  EXPECT_EQ(Shown(), std::to_string(Changes.Count) + " CHANGES SINCE GET");
}

TEST_F(ChangesSinceGet, ASendClearsThemAndAFailedSendKeepsThem) {
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 77));
  Do(ui::op::Press(Panels.Mainp, MAINP_SEND));
  EXPECT_EQ(Changes.Source, REFERENCE_SEND);
  EXPECT_EQ(Changes.Count, 0);
  EXPECT_EQ(Italic(para, PARA_AVERAGE_NUM), 0);
  EXPECT_EQ(Shown(), "");

  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 78));
  program_->Sim().AddFault({1, sim::FaultKind::NoAnswer, 0, -1});
  Do(ui::op::Press(Panels.Mainp, MAINP_SEND));
  ASSERT_EQ(State.SensorConnected, 0);  // the time-out was reported
  EXPECT_EQ(Changes.Source, REFERENCE_SEND);
  EXPECT_EQ(Shown(), "1 CHANGE SINCE SEND");
  EXPECT_EQ(Italic(para, PARA_AVERAGE_NUM), 1);
}

TEST_F(ChangesSinceGet, ValuesTheSensorReplacedAreToldUntilTheNextGet) {
  // The simulated sensor takes AVERAGE 1..32768 and replaces anything else by 1.
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 40000));
  Do(ui::op::Press(Panels.Mainp, MAINP_SEND));
  EXPECT_EQ(Shown(), "SENSOR REPLACED VALUES: GET TO SEE THEM");
  EXPECT_EQ(Changes.Count, 0);
  program_->Sim().ClearFaults();
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_CONNECTION], COM_TRY_CONNECT));
  program_->Settle();
  ASSERT_EQ(State.SensorConnected, 1);
  int average = 0;
  GetCtrlVal(para, PARA_AVERAGE_NUM, &average);
  EXPECT_EQ(average, 1);  // the identification's GET showed the sensor's value
  EXPECT_EQ(Shown(), "");
}

TEST_F(ChangesSinceGet, TheListNamesKeyReferenceAndPanelValue) {
  const int average = Changes.Reference.ParameterBlock[PARA_AVERAGE];
  const int cell = Changes.Reference.TeachBlock[4].Cell[1];
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, average + 5));
  SetTableCellVal(teach, TEACH_TABLE, {5, 2}, static_cast<double>(cell + 9));
  UpdateChangeMarks();
  hl::Popups().clear();
  Do(ui::op::Press(Panels.Mainp, MAINP_CHANGES));
  ASSERT_EQ(hl::Popups().size(), 1u);
  EXPECT_EQ(hl::Popups()[0].title, "CHANGES SINCE GET");
  EXPECT_EQ(hl::Popups()[0].text, "AVERAGE: " + std::to_string(average) + " -> " + std::to_string(average + 5) +
                                      "\nTEACH VECTOR 4 CELL 1: " + std::to_string(cell) + " -> " +
                                      std::to_string(cell + 9) + "\n");
}

TEST_F(ChangesSinceGet, AFileWrittenOrReadIsTheReference) {
  const std::string file = program_->Dir() + "/Setup.ini";
  Do(ui::op::Press(Panels.Mainp, MAINP_FILE));
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 55));
  hl::AnswerFile(VAL_NEW_FILE_SELECTED, file);
  Do(ui::op::Press(Panels.Mainp, MAINP_SEND));
  EXPECT_EQ(Changes.Source, REFERENCE_FILE);
  EXPECT_EQ(Changes.Count, 0);
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 56));
  EXPECT_EQ(Shown(), "1 CHANGE SINCE FILE");
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, file);
  Do(ui::op::Press(Panels.Mainp, MAINP_GET));
  EXPECT_EQ(Changes.Source, REFERENCE_FILE);
  EXPECT_EQ(Changes.Count, 0);
  // A refused file leaves the reference as it was.
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 57));
  std::ofstream(file, std::ios::trunc) << "[GENERAL INFO]\r\nFILE TYPE: = \"Something Else\"\r\n\r\n";
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, file);
  hl::AnswerConfirm(0);
  Do(ui::op::Press(Panels.Mainp, MAINP_GET));
  EXPECT_EQ(Changes.Reference.ParameterBlock[PARA_AVERAGE], 55);
}

TEST_F(ChangesSinceGet, ClosingAsksBeforeChangesAreLostAndNoKeepsTheProgram) {
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 77));
  hl::Popups().clear();
  Do(ui::op::ClosePanel(Panels.Mainp));  // no answer scripted: the default, No
  ASSERT_EQ(hl::Popups().size(), 1u);
  EXPECT_EQ(hl::Popups()[0].title, "ATTENTION!");
  EXPECT_EQ(hl::Popups()[0].text, "1 CHANGE SINCE GET WILL BE LOST! \nQUIT ANYWAY?");
  EXPECT_TRUE(hl::Popups()[0].noIsDefault);
  EXPECT_FALSE(QuitRequested());
  std::remove(State.PanelSettingsPath.c_str());
  hl::AnswerConfirm(1);
  Do(ui::op::ClosePanel(Panels.Mainp));
  EXPECT_TRUE(QuitRequested());
  EXPECT_TRUE(std::ifstream(State.PanelSettingsPath).good());
}

TEST_F(ChangesSinceGet, ATerminationSignalClosesWithoutAQuestion) {
  InstallTerminationHandler(OnTerminationSignal);
  Do(ui::op::SetValue(para, PARA_AVERAGE_NUM, 77));
  ASSERT_EQ(Changes.Count, 1);
  std::remove(State.PanelSettingsPath.c_str());
  hl::Popups().clear();
  ASSERT_EQ(raise(SIGTERM), 0);
  EXPECT_TRUE(program_->RunUntil([] { return QuitRequested(); }));
  EXPECT_TRUE(hl::Popups().empty());
  EXPECT_TRUE(std::ifstream(State.PanelSettingsPath).good());
}

TEST_F(ChangesSinceGet, NothingIsComparedDuringGoFrames) {
  const std::size_t start = program_->Sim().OrderCount();
  long atFrame3 = -1, atFrame60 = -1;
  hl::SetWaitHook([&](double) {
    if (!State.GoRunning) return;
    const std::size_t frames = program_->Sim().OrderCount() - start;
    if (atFrame3 < 0 && frames >= 3) atFrame3 = Changes.Comparisons;
    if (atFrame60 < 0 && frames >= 60) {
      atFrame60 = Changes.Comparisons;
      ui::op::Press(Panels.Mainp, MAINP_STOP);
    }
  });
  program_->Sim().SetWireTiming(true);
  Do(ui::op::Press(Panels.Mainp, MAINP_GO));
  hl::SetWaitHook(nullptr);
  ASSERT_GE(atFrame3, 0);
  EXPECT_EQ(atFrame60, atFrame3);
}

TEST(ChangesWithoutASensor, NothingIsMarkedAndNothingAsked) {
  harness::Options options;
  options.sensorPresent = false;
  harness::Program program(options);
  program.Start();
  EXPECT_EQ(Changes.Source, REFERENCE_NONE);
  const int para = Panels.Page[PAGE_PARAMETER];
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  ASSERT_TRUE(ui::op::SetValue(para, PARA_AVERAGE_NUM, 77));
  program.Settle();
  int italic = -1;
  GetCtrlAttribute(para, PARA_AVERAGE_NUM, ATTR_TEXT_ITALIC, &italic);
  EXPECT_EQ(italic, 0);
  std::string shown = "x";
  GetCtrlVal(Panels.Mainp, MAINP_CHANGES_TEXT, &shown);
  EXPECT_EQ(shown, "");
  hl::Popups().clear();
  ASSERT_TRUE(ui::op::ClosePanel(Panels.Mainp));
  program.Settle();
  EXPECT_TRUE(hl::Popups().empty());
  EXPECT_TRUE(QuitRequested());
}

}  // namespace
