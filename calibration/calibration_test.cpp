// White calibration: the factor arithmetic, and the page against the simulated sensor.
#include "calibration/calibration.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "measurement/measured_values.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

namespace hl = ui::headless;

TEST(CalibrationFactors, SetValueOverEachAverage) {
  const std::uint16_t averages[4] = {2048, 1024, 4096, 10};
  std::uint16_t f[3] = {1, 2, 3};
  ASSERT_EQ(CalibrationFactorsFor(averages, 2048, 100, f), FACTORS_COMPUTED);
  EXPECT_EQ(f[0], 1024);
  EXPECT_EQ(f[1], 2048);
  EXPECT_EQ(f[2], 512);
}

TEST(CalibrationFactors, AFactorAbove4096ChangesNoFactor) {
  std::uint16_t f[3] = {1111, 2222, 3333};
  const std::uint16_t eightTimes[4] = {256, 2048, 2048, 0};  // red would be 8192
  EXPECT_EQ(CalibrationFactorsFor(eightTimes, 2048, 100, f), FACTORS_OUT_OF_RANGE);
  const std::uint16_t wraps16[4] = {2048, 2048, 32, 0};  // blue 65536: out of range, not 0
  EXPECT_EQ(CalibrationFactorsFor(wraps16, 2048, 100, f), FACTORS_OUT_OF_RANGE);
  EXPECT_EQ(f[0], 1111);
  EXPECT_EQ(f[1], 2222);
  EXPECT_EQ(f[2], 3333);
  const std::uint16_t edge[4] = {512, 2048, 2048, 0};  // exactly 4096 passes
  EXPECT_EQ(CalibrationFactorsFor(edge, 2048, 100, f), FACTORS_COMPUTED);
  EXPECT_EQ(f[0], 4096);
}

TEST(CalibrationFactors, DeltaEqualToTheMaximumPassesAboveFails) {
  std::uint16_t f[3] = {7, 7, 7};
  const std::uint16_t above[4] = {2000, 2000, 2000, 301};
  EXPECT_EQ(CalibrationFactorsFor(above, 2048, 300, f), FACTORS_DELTA_TOO_HIGH);
  EXPECT_EQ(f[0], 7);
  const std::uint16_t equal[4] = {2000, 2000, 2000, 300};
  EXPECT_EQ(CalibrationFactorsFor(equal, 2048, 300, f), FACTORS_COMPUTED);
  EXPECT_EQ(f[0], 1048);
}

TEST(CalibrationFactors, AnAverageOfZeroCountsAsOne) {
  std::uint16_t f[3] = {};
  const std::uint16_t zero[4] = {0, 4, 4, 0};
  ASSERT_EQ(CalibrationFactorsFor(zero, 4, 10, f), FACTORS_COMPUTED);
  EXPECT_EQ(f[0], 4096);
  EXPECT_EQ(f[1], 1024);
  EXPECT_EQ(CalibrationFactorsFor(zero, 5, 10, f), FACTORS_OUT_OF_RANGE);  // 5120, not a division by 0
}

TEST(CalibrationFactors, RawDeltaIsPeakToPeak) {
  EXPECT_EQ(RawDelta(100, 900, 400), 800);
  EXPECT_EQ(RawDelta(4095, 0, 4095), 4095);
  EXPECT_EQ(RawDelta(7, 7, 7), 0);
}

// [SECTION] Against the simulated sensor

int Val(int panel, int control) {
  int v = -1;
  GetCtrlVal(panel, control, &v);
  return v;
}

class CalibrationPage : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Options options;
    options.sim.target.noise = 6;
    program_ = std::make_unique<harness::Program>(options);
    // Three channels of different sensitivity and a white target in front of them.
    Sim().WithState([](sim::SensorState& s) { s.calibration.gain = {870, 1024, 1210}; return 0; });
    sim::TargetConfig white;
    white.colours = {sim::Rgb{2500, 2500, 2500}};
    white.noise = 6;
    Sim().SetTarget(white);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_CALIBRATION);
    Sim().ClearLog();
    hl::Popups().clear();
  }
  void TearDown() override { hl::SetWaitHook(nullptr); }
  sim::SensorSim& Sim() { return program_->Sim(); }
  int Page() const { return Panels.Page[PAGE_CALIBRATION]; }
  std::vector<int> SentOrders() {
    std::vector<int> out;
    for (const auto& o : Sim().Orders()) out.push_back(o.order);
    return out;
  }
  // Presses `control` and lets GO run after the factors went out until `moreFrames`
  // measured frames followed them; then STOP as the operator would.
  void PressAndStopGoAfter(int control, int moreFrames) {
    std::thread stopper([this, moreFrames] {
      for (int turn = 0; turn < 2000; ++turn) {
        int after = -1;
        for (const auto& o : Sim().Orders()) {
          if (o.order == 101) after = 0;
          else if (after >= 0 && o.order == 8) ++after;
        }
        if (after >= moreFrames) break;
        Sim().WaitForOrders(Sim().OrderCount() + 1, std::chrono::milliseconds(20));
      }
      ui::op::Press(Panels.Mainp, MAINP_STOP);
    });
    ASSERT_TRUE(ui::op::Press(Page(), control));
    ProcessSystemEvents();
    stopper.join();
    EXPECT_EQ(State.GoRunning, 0);
  }
  std::unique_ptr<harness::Program> program_;
};

TEST_F(CalibrationPage, PcCalibrationOnWhiteEqualisesTheChannels) {
  // Answers take their serial line time, so the program waits for every poll and the
  // button's colour can be seen in each of its phases.
  Sim().SetWireTiming(true);
  std::vector<int> phases;
  hl::SetWaitHook([&](double) {
    int c = 0;
    GetCtrlAttribute(Page(), CAL_CALC_CF, ATTR_CMD_BUTTON_COLOR, &c);
    if (phases.empty() || phases.back() != c) phases.push_back(c);
  });
  hl::AnswerConfirm(1);  // SEND POWER
  hl::AnswerConfirm(1);  // CONFIRM CALCULATION!
  PressAndStopGoAfter(CAL_CALC_CF, 5);
  hl::SetWaitHook(nullptr);
  Sim().SetWireTiming(false);

  const std::vector<int> orders = SentOrders();
  ASSERT_GE(orders.size(), 106u);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(orders[i], 8) << i;
  EXPECT_EQ(orders[100], 101);
  // Red and grey ten times each, red first; GO then runs with the button grey.
  ASSERT_GE(phases.size(), 20u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(phases[i], i % 2 == 0 ? 0xFF0000 : 0xE0E0E0) << "phase " << i;
  EXPECT_EQ(phases.size(), 20u);
  int last = 0;
  GetCtrlAttribute(Page(), CAL_CALC_CF, ATTR_CMD_BUTTON_COLOR, &last);
  EXPECT_EQ(last, 0xE0E0E0);

  ASSERT_GE(hl::Popups().size(), 3u);
  EXPECT_EQ(hl::Popups()[0].title, "SEND POWER");
  EXPECT_EQ(hl::Popups()[1].title, "CONFIRM CALCULATION!");
  EXPECT_EQ(hl::Popups()[2].title, "CALIBRATION PASSED!");
  EXPECT_EQ(hl::Popups()[2].text,
            "Calibration successful! \nCalibration factors were sent to the EEPROM of the sensor. \nGO mode will be "
            "activated. ");
  // The sensor took the factors of the edit boxes, and now reports white at the set value.
  const sim::Calibration cal = Sim().CalibrationFactors();
  EXPECT_EQ(cal.factor[0], Val(Page(), CAL_CF_RED));
  EXPECT_EQ(cal.factor[1], Val(Page(), CAL_CF_GREEN));
  EXPECT_EQ(cal.factor[2], Val(Page(), CAL_CF_BLUE));
  EXPECT_LT(cal.factor[0], 1024);  // the least sensitive channel gets the largest factor
  EXPECT_GT(cal.factor[0], cal.factor[1]);
  EXPECT_GT(cal.factor[1], cal.factor[2]);
  const MeasuredValuesRecord& m = MeasuredValues;
  EXPECT_NEAR(m.Red, 2048, 12);
  EXPECT_NEAR(m.Green, 2048, 12);
  EXPECT_NEAR(m.Blue, 2048, 12);
  EXPECT_GT(RawDelta(m.RawRed, m.RawGreen, m.RawBlue), 600);  // the raw channels still differ
  // The page shows the last frame: raw, delta and calibrated values.
  EXPECT_EQ(Val(Page(), CAL_RAW_RED), m.RawRed);
  EXPECT_EQ(Val(Page(), CAL_RAW_BLUE), m.RawBlue);
  EXPECT_EQ(Val(Page(), CAL_RAW_DELTA), RawDelta(m.RawRed, m.RawGreen, m.RawBlue));
  EXPECT_EQ(Val(Page(), CAL_CAL_RED), m.Red);
  EXPECT_EQ(Val(Page(), CAL_CAL_GREEN), m.Green);
  EXPECT_EQ(Val(Page(), CAL_CAL_BLUE), m.Blue);
  int bars = 0;
  GetNumGraphPlots(Page(), CAL_CAL_BARS, &bars);
  EXPECT_EQ(bars, 3);
  EXPECT_FALSE(program_->Dimmed(Page(), CAL_SEND_CF));
}

TEST_F(CalibrationPage, NoInConfirmCalculationStillSendsTheBoxesAndStartsGo) {
  SetCtrlVal(Page(), CAL_CF_RED, 1111);
  SetCtrlVal(Page(), CAL_CF_GREEN, 1222);
  SetCtrlVal(Page(), CAL_CF_BLUE, 1333);
  hl::AnswerConfirm(1);
  hl::AnswerConfirm(0);
  PressAndStopGoAfter(CAL_CALC_CF, 2);
  const std::vector<int> orders = SentOrders();
  ASSERT_GE(orders.size(), 3u);
  EXPECT_EQ(orders[0], 101);  // no poll before the send
  EXPECT_EQ(orders[1], 8);
  const std::vector<std::uint8_t> data = Sim().Orders()[0].data;
  EXPECT_EQ(data, (std::vector<std::uint8_t>{0x57, 0x04, 0xC6, 0x04, 0x35, 0x05}));
  EXPECT_EQ(Sim().CalibrationFactors().factor[2], 1333);
  ASSERT_GE(hl::Popups().size(), 3u);
  EXPECT_EQ(hl::Popups()[2].title, "INFO!");
  EXPECT_EQ(hl::Popups()[2].text, "Please insert the right values and press \n CALCULATE CALIBRATION FACTORS again.");
}

TEST_F(CalibrationPage, AFactorOutOfRangeKeepsAndResendsTheOldFactors) {
  Sim().SetTargetColour(sim::Rgb{200, 200, 200});  // far too dark for the set value 2048
  hl::AnswerConfirm(1);
  hl::AnswerConfirm(1);
  PressAndStopGoAfter(CAL_CALC_CF, 1);
  ASSERT_GE(hl::Popups().size(), 3u);
  EXPECT_EQ(hl::Popups()[2].title, "ATTENTION!");
  EXPECT_EQ(hl::Popups()[2].text,
            "One of the calibration factor is out of range. \nCalibration is not possible. \nVerify, that the senor "
            "shines on a WHITE target! \nChoose a proper POWER value. ");
  EXPECT_EQ(Val(Page(), CAL_CF_RED), 1024);
  EXPECT_EQ(Sim().CalibrationFactors().factor, (std::array<std::uint16_t, 3>{1024, 1024, 1024}));
}

TEST_F(CalibrationPage, TooLargeASpreadIsRefused) {
  SetCtrlVal(Page(), CAL_MAX_DELTA, 100);
  hl::AnswerConfirm(1);
  hl::AnswerConfirm(1);
  PressAndStopGoAfter(CAL_CALC_CF, 1);
  ASSERT_GE(hl::Popups().size(), 3u);
  EXPECT_EQ(hl::Popups()[2].text,
            "The maximum delta of the raw data values RED,GREEN and BLUE is to high. \nCalibration is not possible. "
            "\nVerify, that the sensor shines on a WHITE target! \nIncrease MAXIMUM DELTA OF RAW DATAS! ");
  EXPECT_EQ(Val(Page(), CAL_CF_GREEN), 1024);
}

TEST_F(CalibrationPage, SelfCalibrationFillsFiveValuesAndWaitsForSendCf) {
  bool dimmedDuringPopup = false;
  hl::SetPopupHook([&](const hl::PopupRecord& p) {
    if (p.text == "Confirm calibration factors with SEND CF.") {
      dimmedDuringPopup = program_->Dimmed(Page(), CAL_GET_CF) && program_->Dimmed(Page(), CAL_SELF_CALIBRATION) &&
                          program_->Dimmed(Panels.Page[PAGE_OFFSET], OFS_CALC) &&
                          program_->Dimmed(Panels.Page[PAGE_OFFSET], OFS_SEND);
    }
  });
  hl::AnswerConfirm(1);
  ASSERT_TRUE(ui::op::Press(Page(), CAL_SELF_CALIBRATION));
  ProcessSystemEvents();
  hl::SetPopupHook(nullptr);
  ASSERT_EQ(hl::Popups().size(), 2u);
  EXPECT_EQ(hl::Popups()[0].title, "SEND POWER");
  EXPECT_EQ(hl::Popups()[1].title, "ATTENTION!");
  EXPECT_TRUE(dimmedDuringPopup);
  EXPECT_FALSE(program_->Dimmed(Page(), CAL_GET_CF));
  EXPECT_FALSE(program_->Dimmed(Panels.Page[PAGE_OFFSET], OFS_CALC));
  EXPECT_EQ(Val(Page(), CAL_SET_VALUE), 3200);
  EXPECT_EQ(Val(Page(), CAL_MAX_DELTA), 800);
  // 3200 * 1024 over about 2124, 2500 and 2954.
  EXPECT_NEAR(Val(Page(), CAL_CF_RED), 1542, 8);
  EXPECT_NEAR(Val(Page(), CAL_CF_GREEN), 1310, 8);
  EXPECT_NEAR(Val(Page(), CAL_CF_BLUE), 1109, 8);
  EXPECT_EQ(Sim().CalibrationFactors().factor[0], 1024);  // not stored yet
  ASSERT_TRUE(ui::op::Press(Page(), CAL_SEND_CF));
  ProcessSystemEvents();
  EXPECT_EQ(Sim().CalibrationFactors().factor[0], Val(Page(), CAL_CF_RED));
  EXPECT_EQ(Sim().CalibrationFactors().factor[2], Val(Page(), CAL_CF_BLUE));
}

TEST_F(CalibrationPage, SelfCalibrationAnsweredNoSendsNothing) {
  hl::AnswerConfirm(0);
  ASSERT_TRUE(ui::op::Press(Page(), CAL_SELF_CALIBRATION));
  ProcessSystemEvents();
  EXPECT_EQ(Sim().OrderCount(), 0u);
  EXPECT_EQ(Val(Page(), CAL_SET_VALUE), 2048);
}

TEST_F(CalibrationPage, GetCfFillsTheFactorsHereAndTheOffsetsOnPageEight) {
  Sim().WithState([](sim::SensorState& s) {
    s.calibration.factor = {900, 1000, 1100};
    s.calibration.offset = {11, 22, 33};
    return 0;
  });
  ASSERT_TRUE(ui::op::Press(Page(), CAL_GET_CF));
  ProcessSystemEvents();
  EXPECT_EQ(Val(Page(), CAL_CF_RED), 900);
  EXPECT_EQ(Val(Page(), CAL_CF_BLUE), 1100);
  const int ofs = Panels.Page[PAGE_OFFSET];
  EXPECT_EQ(Val(ofs, OFS_EDIT_RED), 11);
  EXPECT_EQ(Val(ofs, OFS_EDIT_BLUE), 33);
  EXPECT_EQ(Val(ofs, OFS_DISP_RED), 0);  // the displays show only measurements

  // Offsets are 16-bit words: a sensor's value above the 12-bit scale is shown, not cut.
  Sim().WithState([](sim::SensorState& s) {
    s.calibration.offset = {4096, 40000, 65535};
    return 0;
  });
  ASSERT_TRUE(ui::op::Press(Page(), CAL_GET_CF));
  ProcessSystemEvents();
  EXPECT_EQ(Val(ofs, OFS_EDIT_RED), 4096);
  EXPECT_EQ(Val(ofs, OFS_EDIT_GREEN), 40000);
  EXPECT_EQ(Val(ofs, OFS_EDIT_BLUE), 65535);
}

TEST_F(CalibrationPage, ShortAnswerToGetCfIsRefused) {
  Sim().AddFault(sim::FaultRule{102, sim::FaultKind::ShortBlock, 0, 4});
  SetCtrlVal(Page(), CAL_CF_RED, 1500);
  ASSERT_TRUE(ui::op::Press(Page(), CAL_GET_CF));
  ProcessSystemEvents();
  EXPECT_EQ(Val(Page(), CAL_CF_RED), 1500);
  EXPECT_EQ(State.SensorConnected, 0);
}

TEST_F(CalibrationPage, ControlsExplainThemselves) {
  const std::pair<int, const char*> helped[] = {
      {CAL_CF_GREEN, " Edit Box for the calibration factor.\n Default value is 1024. \nMinimum value is 0. Maximum value is 4096."},
      {CAL_SET_VALUE, "Choose the setvalue for RED,GREEN and BLUE. "},
      {CAL_RAW_BARS, "Displays the RAW values of RED, GREEN and BLUE."},
      {CAL_CAL_BLUE, "Displays the calibrated values of RED, GREEN and BLUE. \nFormula: CALIBRATED DATA = (RAW DATA * CF) / 1024 "},
      {CAL_SELF_CALIBRATION, " Sensor calculates the calibration factors for RED, GREEN and BLUE. "},
  };
  for (auto [control, text] : helped) {
    hl::Popups().clear();
    ASSERT_TRUE(ui::op::RightClick(Page(), control));
    ProcessSystemEvents();
    ASSERT_EQ(hl::Popups().size(), 1u) << control;
    EXPECT_EQ(hl::Popups()[0].title, "INFO!");
    EXPECT_EQ(hl::Popups()[0].text, text);
  }
  hl::Popups().clear();
  ui::op::RightClick(Page(), CAL_DECO_HIDDEN);  // the hidden decoration has no help
  ProcessSystemEvents();
  EXPECT_TRUE(hl::Popups().empty());
}

}  // namespace
