// The parameter set on the panel and its transfer to and from the simulated sensor.
#include "parameters/transfer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "parameters/parameter_panel.h"
#include "ui/headless.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Transfer : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    program_->Sim().ClearLog();
  }
  harness::Program& P() { return *program_; }
  sim::SensorSim& Sim() { return program_->Sim(); }
  std::vector<std::pair<int, int>> Sent() {
    std::vector<std::pair<int, int>> out;
    for (const auto& o : Sim().Orders()) out.emplace_back(o.order, o.param);
    return out;
  }
  void Select(int control) {
    ASSERT_TRUE(ui::op::Press(Panels.Mainp, control));
    ProcessSystemEvents();
  }
  std::unique_ptr<harness::Program> program_;
};

TEST_P(Transfer, DefaultControlsGiveTheDefaultBlock) {
  ReadParametersFromPanel();
  std::uint8_t bytes[PARAMETER_BLOCK_BYTES];
  ParameterBlockToBytes(ParameterSet, bytes);
  const Bytes want = {0xF4, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x0C, 0xE4, 0x0C, 0x00, 0x00, 0x00, 0x00,
                      0x05, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(Bytes(bytes, bytes + PARAMETER_BLOCK_BYTES), want);
}

TEST_P(Transfer, PanelRecordPanelRoundTripOfEveryControl) {
  ParameterSetRecord set{};
  const std::uint16_t block[PARAMETER_BLOCK_WORDS] = {734, 1, 17, 5, 250, 99, 12, 3, 1, 2,
                                                      3,   1000, 2000, 1, 3, 7, 250, 4, 1, 321};
  std::memcpy(set.ParameterBlock, block, sizeof block);
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    for (int j = 0; j < 5; ++j) set.TeachBlock[k].Cell[j] = static_cast<std::uint16_t>(100 * k + j + 1);
    set.TeachBlock[k].Group = static_cast<std::uint16_t>(k % 3);
    set.TeachBlock[k].Hold = static_cast<std::uint16_t>(1000 + k);
    set.TeachBlock[k].Reserved = static_cast<std::uint16_t>(0xA000 + k);
  }
  ParameterSet = set;
  WriteParametersToPanel();
  ParameterSet = ParameterSetRecord{};
  for (auto& row : ParameterSet.TeachBlock) row.Reserved = 0x5555;
  ReadParametersFromPanel();
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) EXPECT_EQ(ParameterSet.ParameterBlock[w], block[w]) << "word " << w;
  for (int k = 0; k < TEACH_VECTOR_COUNT; ++k) {
    for (int j = 0; j < 5; ++j) EXPECT_EQ(ParameterSet.TeachBlock[k].Cell[j], set.TeachBlock[k].Cell[j]);
    EXPECT_EQ(ParameterSet.TeachBlock[k].Group, set.TeachBlock[k].Group);
    EXPECT_EQ(ParameterSet.TeachBlock[k].Hold, set.TeachBlock[k].Hold);
    EXPECT_EQ(ParameterSet.TeachBlock[k].Reserved, 0x5555);  // the panel never touches word 7
  }
  // EXTERN TEACH STAT1 shrinks the TRIGGER list to CONT and SELF; it is set first, so SELF still shows.
  int trigger = -1;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_TRIGGER_RING, &trigger);
  EXPECT_EQ(trigger, 1);
}

TEST_P(Transfer, ExternTeachShrinksTheTriggerListAndTheLastRowIsHoldRow32) {
  ParameterSet.ParameterBlock[PARA_EXTERN_TEACH] = 1;
  WriteParametersToPanel();
  int count = 0;
  GetNumListItems(Panels.Page[PAGE_PARAMETER], PARA_TRIGGER_RING, &count);
  EXPECT_EQ(count, 2);
  ParameterSet.ParameterBlock[PARA_EXTERN_TEACH] = 0;
  ParameterSet.ParameterBlock[PARA_TRIGGER] = 6;
  WriteParametersToPanel();
  GetNumListItems(Panels.Page[PAGE_PARAMETER], PARA_TRIGGER_RING, &count);
  EXPECT_EQ(count, 7);
  int trigger = -1;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_TRIGGER_RING, &trigger);
  EXPECT_EQ(trigger, 6);

  SetTableCellVal(Panels.Page[PAGE_GROUP_HOLD], HOLD_TABLE, {32, 1}, 4321.0);
  ReadParametersFromPanel();
  EXPECT_EQ(ParameterSet.TeachBlock[30].Hold, 4321);
  std::uint8_t teach[TEACH_BLOCK_BYTES];
  TeachBlockToBytes(ParameterSet, teach);
  EXPECT_EQ(teach[480 + 12], 4321 & 0xFF);
  EXPECT_EQ(teach[480 + 13], 4321 >> 8);
}

TEST_P(Transfer, SendAndGetWithEepromSendExactlyTheirOrders) {
  Select(MAINP_EEPROM);
  EXPECT_EQ(State.MemorySelection, MEMORY_EEPROM);
  int ram = 1;
  GetCtrlVal(Panels.Mainp, MAINP_RAM, &ram);
  EXPECT_EQ(ram, 0);
  Select(MAINP_SEND);
  EXPECT_EQ(Sent(), (std::vector<std::pair<int, int>>{{1, 0}, {1, 2}, {3, 0}}));
  auto orders = Sim().Orders();
  EXPECT_EQ(orders[0].raw.size(), 48u);
  EXPECT_EQ(orders[1].raw.size(), 504u);
  Sim().ClearLog();
  Select(MAINP_GET);
  EXPECT_EQ(Sent(), (std::vector<std::pair<int, int>>{{4, 0}, {2, 0}, {2, 2}}));
  EXPECT_EQ(P().MessageBox().find("PLAUSIBILITY"), std::string::npos);
}

TEST_P(Transfer, ParaSet1UsesTheBlockNumbersOneAndThree) {
  // Set 1 switches by IN0 itself, so the GET leaves ParaSet1 selected for the SEND.
  sim::ParaSet set = Sim().RamSet(1);
  set.para[sim::DIGITAL_OUTMODE] = 2;
  set.para[sim::TRIGGER] = sim::TRIGGER_PARA;
  Sim().SetRamSet(1, set);
  State.ParameterSetIndex = 1;  // the selectors are dimmed unless TRIGGER is PARA; the index is what counts
  Select(MAINP_GET);
  EXPECT_EQ(State.ParameterSetIndex, 1);
  EXPECT_EQ(Sent(), (std::vector<std::pair<int, int>>{{2, 1}, {2, 3}}));
  Sim().ClearLog();
  Select(MAINP_SEND);
  EXPECT_EQ(Sent(), (std::vector<std::pair<int, int>>{{1, 1}, {1, 3}}));
}

TEST_P(Transfer, WordSevenSurvivesGetThenSend) {
  sim::ParaSet set = Sim().RamSet(0);
  for (std::size_t r = 0; r < 31; ++r) set.teach[r * 8 + 7] = static_cast<std::uint16_t>(0x1100 + r);
  Sim().SetRamSet(0, set);
  Select(MAINP_GET);
  Sim().ClearLog();
  Select(MAINP_SEND);
  auto orders = Sim().Orders();
  ASSERT_EQ(orders.size(), 2u);
  const Bytes& data = orders[1].data;
  ASSERT_EQ(data.size(), 496u);
  for (int r = 0; r < 31; ++r) {
    EXPECT_EQ(data[16 * r + 14] | (data[16 * r + 15] << 8), 0x1100 + r) << "row " << r;
  }
}

TEST_P(Transfer, PlausibilityNoticeOfThreeReplacedValues) {
  const int teach = Panels.Page[PAGE_TEACH];
  for (int row = 1; row <= 3; ++row) SetTableCellVal(teach, TEACH_TABLE, {row, 1}, 60000.0);
  const std::string before = P().MessageBox();
  Select(MAINP_SEND);
  EXPECT_EQ(P().MessageBox(),
            before + "INFO!\n3 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!\n\n");
  EXPECT_EQ(State.SensorConnected, 0);
  EXPECT_EQ(Sent().size(), 2u);  // the notice does not stop the transfer
}

TEST_P(Transfer, AShortBlockAnswerIsRefusedAndNothingIsTaken) {
  ParameterSet.ParameterBlock[PARA_POWER] = 777;
  ParameterSet.TeachBlock[0].Cell[0] = 4242;
  Sim().AddFault(sim::FaultRule{2, sim::FaultKind::ShortBlock, 1, 20});
  const std::string before = P().MessageBox();
  Select(MAINP_GET);
  EXPECT_EQ(P().MessageBox(), before + "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!\n\n");
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 777);
  EXPECT_EQ(ParameterSet.TeachBlock[0].Cell[0], 4242);
  EXPECT_EQ(Sent().size(), 1u);
  // A longer answer is taken from its first bytes.
  Sim().ClearFaults();
  Sim().AddFault(sim::FaultRule{2, sim::FaultKind::LongBlock, 0, 16});
  sim::ParaSet set = Sim().RamSet(0);
  set.para[PARA_POWER] = 612;
  Sim().SetRamSet(0, set);
  Select(MAINP_GET);
  EXPECT_EQ(ParameterSet.ParameterBlock[PARA_POWER], 612);
  int power = 0;
  GetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_SLIDE_POWER, &power);
  EXPECT_EQ(power, 612);
}

TEST_P(Transfer, GetThenSendReturnsValuesBeyondAnyControlLimitUnchanged) {
  sim::ParaSet set = Sim().RamSet(0);
  set.para[PARA_AVERAGE] = 300;
  set.para[PARA_INTLIM] = 5000;
  set.para[PARA_DYNWIN_LO] = 5000;
  set.para[PARA_DYNWIN_HI] = 6000;
  set.para[PARA_ANALOG_ZOOM] = 2000;
  Sim().SetRamSet(0, set);
  Select(MAINP_GET);
  Sim().ClearLog();
  Select(MAINP_SEND);
  auto orders = Sim().Orders();
  ASSERT_EQ(orders.size(), 2u);
  ASSERT_EQ(orders[0].order, 1);
  const Bytes& data = orders[0].data;
  ASSERT_EQ(data.size(), static_cast<std::size_t>(PARAMETER_BLOCK_BYTES));
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) {
    EXPECT_EQ(data[2 * w] | (data[2 * w + 1] << 8), set.para[w]) << "word " << w;
  }
  EXPECT_EQ(Sim().RamSet(0).para, set.para);  // nothing was implausible, nothing replaced
  EXPECT_EQ(State.SensorConnected, 1) << P().MessageBox();
}

TEST_P(Transfer, SelectorsAreMutuallyExclusive) {
  Select(MAINP_FILE);
  Select(MAINP_FILE);  // pressing the selected one again keeps it selected
  int ram = -1, eeprom = -1, file = -1;
  GetCtrlVal(Panels.Mainp, MAINP_RAM, &ram);
  GetCtrlVal(Panels.Mainp, MAINP_EEPROM, &eeprom);
  GetCtrlVal(Panels.Mainp, MAINP_FILE, &file);
  EXPECT_EQ(ram + eeprom + file, 1);
  EXPECT_EQ(file, 1);
  EXPECT_EQ(State.MemorySelection, MEMORY_FILE);
  Select(MAINP_SEND);  // the parameter file takes it: no order goes out
  EXPECT_TRUE(Sent().empty());
}

INSTANTIATE_TEST_SUITE_P(Transports, Transfer, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

}  // namespace
