// The access code and the offset page against the simulated sensor.
#include <gtest/gtest.h>

#include <memory>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "calibration/calibration.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

namespace hl = ui::headless;

int Val(int panel, int control) {
  int v = -1;
  GetCtrlVal(panel, control, &v);
  return v;
}

class OffsetPage : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<harness::Program>();
    Sim().WithState([](sim::SensorState& s) {
      s.calibration.dark = {40, 55, 30};
      s.calibration.factor = {1000, 1010, 1020};
      return 0;
    });
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    hl::Popups().clear();
  }
  sim::SensorSim& Sim() { return program_->Sim(); }
  int Page() const { return Panels.Page[PAGE_OFFSET]; }
  bool PageVisible() const {
    int visible = -1;
    GetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, &visible);
    return visible == 1;
  }
  // The operator's road: right double click on the calibration page's decoration, then the code.
  void EnterCode(const char* code) {
    ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CALIBRATION);
    ProcessSystemEvents();
    ASSERT_TRUE(ui::op::RightDoubleClick(Panels.Page[PAGE_CALIBRATION], CAL_DECO_HIDDEN));
    ProcessSystemEvents();
    ASSERT_EQ(GetActivePopup(), Panels.Passwordp);
    ui::op::SetText(Panels.Passwordp, PASSWORDP_STRING, code);
    ProcessSystemEvents();
  }
  void Open() {
    EnterCode("quartz");
    ASSERT_TRUE(PageVisible());
    Sim().ClearLog();
    hl::Popups().clear();
  }
  std::unique_ptr<harness::Program> program_;
};

TEST_F(OffsetPage, AccessCodeShowsThePageAndCloseHidesItUntilTheNextCode) {
  EXPECT_FALSE(PageVisible());
  EnterCode("Quartz");
  ASSERT_EQ(hl::Popups().size(), 1u);
  EXPECT_EQ(hl::Popups()[0].title, "ATTENTION!");
  EXPECT_EQ(hl::Popups()[0].text, "Wrong password. \nPlease try again.");
  EXPECT_EQ(GetActivePopup(), Panels.Passwordp);
  EXPECT_FALSE(PageVisible());
  ui::op::SetText(Panels.Passwordp, PASSWORDP_STRING, "quartz");
  ProcessSystemEvents();
  EXPECT_EQ(GetActivePopup(), 0);
  EXPECT_TRUE(PageVisible());
  EXPECT_EQ(program_->ActiveMainPage(), PAGE_OFFSET);

  ASSERT_TRUE(ui::op::Press(Page(), OFS_CLOSE));
  ProcessSystemEvents();
  EXPECT_FALSE(PageVisible());
  EXPECT_EQ(program_->ActiveMainPage(), PAGE_PARAMETER);
  EXPECT_FALSE(ui::op::Press(Page(), OFS_GET));  // a hidden page cannot be operated
  // Back only through the code: the popup closed without it leaves the page hidden.
  ui::op::RightDoubleClick(Panels.Page[PAGE_CALIBRATION], CAL_DECO_HIDDEN);
  ProcessSystemEvents();
  ui::op::ClosePanel(Panels.Passwordp);
  ProcessSystemEvents();
  EXPECT_FALSE(PageVisible());
  EnterCode("quartz");
  EXPECT_TRUE(PageVisible());
}

TEST_F(OffsetPage, CalculateAnsweredNoSendsNothing) {
  Open();
  hl::AnswerConfirm(0);
  ASSERT_TRUE(ui::op::Press(Page(), OFS_CALC));
  ProcessSystemEvents();
  ASSERT_EQ(hl::Popups().size(), 1u);
  EXPECT_EQ(hl::Popups()[0].title, "CALCULATE OFFSET");
  EXPECT_EQ(hl::Popups()[0].text, "Make sure, that the receiver of the sensor is covered!");
  EXPECT_EQ(Sim().OrderCount(), 0u);
}

TEST_F(OffsetPage, CalculateFillsBoxesDisplaysAndTheFactorBoxes) {
  Open();
  const std::uint16_t rawBefore = Sim().WithState([](sim::SensorState& s) {
    return s.model.NextRecord(s.ram[0], s.calibration, false)[sim::MV_RAW_GREEN];
  });
  bool dimmed = false;
  Sim().HoldAnswersAfter(0);  // the program certainly waits for order 100
  // The first wait is the one for order 100's answer; it is released there at once.
  hl::SetWaitHook([&](double) {
    dimmed = program_->Dimmed(Page(), OFS_SEND) && program_->Dimmed(Page(), OFS_GET) &&
             program_->Dimmed(Panels.Page[PAGE_CALIBRATION], CAL_SEND_CF);
    Sim().ReleaseAnswers();
    hl::SetWaitHook(nullptr);
  });
  hl::AnswerConfirm(1);
  ASSERT_TRUE(ui::op::Press(Page(), OFS_CALC));
  ProcessSystemEvents();
  hl::SetWaitHook(nullptr);
  const auto orders = Sim().Orders();
  ASSERT_EQ(orders.size(), 2u);
  EXPECT_EQ(orders[0].order, 100);
  EXPECT_EQ(orders[0].param, 1);
  EXPECT_EQ(orders[1].order, 102);
  const int boxes[3] = {OFS_EDIT_RED, OFS_EDIT_GREEN, OFS_EDIT_BLUE};
  const int shown[3] = {OFS_DISP_RED, OFS_DISP_GREEN, OFS_DISP_BLUE};
  const int want[3] = {40, 55, 30};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(Val(Page(), boxes[k]), want[k]);
    EXPECT_EQ(Val(Page(), shown[k]), want[k]);
  }
  const int cal = Panels.Page[PAGE_CALIBRATION];
  EXPECT_EQ(Val(cal, CAL_CF_RED), 1000);
  EXPECT_EQ(Val(cal, CAL_CF_BLUE), 1020);
  // The sensor compensates from now on: its raw values drop by the offsets.
  const std::uint16_t rawAfter = Sim().WithState([](sim::SensorState& s) {
    return s.model.NextRecord(s.ram[0], s.calibration, false)[sim::MV_RAW_GREEN];
  });
  EXPECT_NEAR(int(rawBefore) - int(rawAfter), 55, 14);
  EXPECT_TRUE(dimmed);
  EXPECT_FALSE(program_->Dimmed(Page(), OFS_SEND));
}

TEST_F(OffsetPage, GetFillsTheBoxesOnly) {
  Open();
  SetCtrlVal(Page(), OFS_DISP_GREEN, 99);
  Sim().WithState([](sim::SensorState& s) {
    s.calibration.offset = {7, 8, 9};
    return 0;
  });
  ASSERT_TRUE(ui::op::Press(Page(), OFS_GET));
  ProcessSystemEvents();
  EXPECT_EQ(Val(Page(), OFS_EDIT_RED), 7);
  EXPECT_EQ(Val(Page(), OFS_EDIT_GREEN), 8);
  EXPECT_EQ(Val(Page(), OFS_EDIT_BLUE), 9);
  EXPECT_EQ(Val(Page(), OFS_DISP_GREEN), 99);
  EXPECT_EQ(Val(Page(), OFS_DISP_RED), 0);
}

TEST_F(OffsetPage, SendWritesTheBoxesAndReportsReplacedValues) {
  Open();
  SetCtrlVal(Page(), OFS_EDIT_RED, 11);
  SetCtrlVal(Page(), OFS_EDIT_GREEN, 12);
  SetCtrlVal(Page(), OFS_EDIT_BLUE, 13);
  ASSERT_TRUE(ui::op::Press(Page(), OFS_SEND));
  ProcessSystemEvents();
  ASSERT_EQ(Sim().Orders().size(), 1u);
  EXPECT_EQ(Sim().Orders()[0].param, 1);
  EXPECT_EQ(Sim().Orders()[0].data, (std::vector<std::uint8_t>{11, 0, 12, 0, 13, 0}));
  EXPECT_EQ(Sim().CalibrationFactors().offset, (std::array<std::uint16_t, 3>{11, 12, 13}));
  EXPECT_EQ(State.SensorConnected, 1);

  SetCtrlVal(Page(), OFS_EDIT_BLUE, 2000);  // more than the sensor accepts
  ASSERT_TRUE(ui::op::Press(Page(), OFS_SEND));
  ProcessSystemEvents();
  EXPECT_EQ(Sim().CalibrationFactors().offset[2], 0);
  EXPECT_NE(program_->MessageBox().find(
                "INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!"),
            std::string::npos)
      << program_->MessageBox();
  EXPECT_EQ(State.SensorConnected, 0);
}

}  // namespace
