// The simulator over a real loopback TCP socket, byte for byte.
#include <gtest/gtest.h>

#include "sim/sensor_sim.h"
#include "sim/test_client.h"

namespace {

using namespace simtest;
using sim::FaultKind;
using sim::FaultRule;

class SimTcp : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SimConfig cfg;
    cfg.port = 0;
    sensor_ = std::make_unique<sim::SensorSim>(cfg);
    std::string error;
    ASSERT_TRUE(sensor_->Start(&error)) << error;
    sensor_->SetTargetColour({3000, 1500, 500});
    client_ = Client::Tcp(sensor_->Port());
    ASSERT_TRUE(client_.Open());
  }

  void Fault(int order, FaultKind kind, int value = -1, int nth = 0) {
    sensor_->AddFault(FaultRule{order, kind, nth, value});
  }

  std::unique_ptr<sim::SensorSim> sensor_;
  Client client_;
};

bool ChecksumsHold(const Bytes& a) {
  if (a.size() < frame::HEADER_SIZE || !frame::HeaderValid(a.data())) return false;
  frame::HeaderFields h = frame::DecodeHeader(a.data());
  if (a.size() != frame::HEADER_SIZE + h.length) return false;
  return h.dataCrc == (h.length ? frame::FrameCrc8(a.data(), frame::HEADER_SIZE, h.length) : frame::CRC_START);
}

Bytes Status(std::uint16_t code) { return Order(0, code); }  // same layout as a status answer

// [SECTION] Answers

TEST_F(SimTcp, IdentificationIsTheTextWithBothChecksums) {
  Bytes a = client_.Exchange(Order(7, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  const std::string text = sim::DEFAULT_ID_TEXT;
  EXPECT_EQ(a[1], 7);
  EXPECT_EQ(frame::DecodeHeader(a.data()).word, 0);
  EXPECT_EQ(std::string(a.begin() + 8, a.end()), text);  // no zero byte of its own

  sensor_->SetIdText("SENSOR 2", true);
  a = client_.Exchange(Order(7, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), (Bytes{'S', 'E', 'N', 'S', 'O', 'R', ' ', '2', 0}));
}

TEST_F(SimTcp, RefusedFramesGetStatusAnswersAndTheNextOrderIsServed) {
  EXPECT_EQ(client_.Exchange(Order(99, 0)), Status(1));
  EXPECT_EQ(client_.Exchange(Order(2, 4)), Status(1));                  // no block 4
  EXPECT_EQ(client_.Exchange(Order(1, 0, Bytes(38, 0))), Status(1));    // block of the wrong size

  Bytes badHeader = Order(7, 0);
  badHeader[7] ^= 0x01;
  EXPECT_EQ(client_.Exchange(badHeader), Status(2));

  const sim::ParaSet before = sensor_->RamSet(0);
  Bytes badData = Order(1, 0, Words(std::vector<std::uint16_t>(20, 1)));
  badData[20] ^= 0x01;
  EXPECT_EQ(client_.Exchange(badData), Status(2));
  EXPECT_EQ(sensor_->RamSet(0).para, before.para);

  Bytes tooLong = Order(1, 0);
  frame::PutWord(&tooLong[4], 2041);
  tooLong[7] = frame::FrameCrc8(tooLong.data(), 0, 7);
  EXPECT_EQ(client_.Exchange(tooLong), Status(2));

  // A header that stops half-way is given up after a short silence.
  Bytes half = Order(7, 0);
  half.resize(5);
  EXPECT_EQ(client_.Exchange(half), Status(2));

  EXPECT_EQ(client_.Exchange(Order(7, 0))[1], 7);
  std::vector<sim::OrderRecord> log = sensor_->Orders();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ(log[3].check, sim::FrameCheck::BadHeader);
  EXPECT_EQ(log[4].check, sim::FrameCheck::BadData);
  EXPECT_EQ(log[5].check, sim::FrameCheck::TooLong);
  EXPECT_EQ(log[6].check, sim::FrameCheck::Incomplete);
  EXPECT_EQ(log[6].raw, half);
}

TEST_F(SimTcp, ParameterBlocksRoundTripPerSet) {
  const Bytes defaults = {0xF4, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x0C, 0xE4, 0x0C, 0x00, 0x00, 0x00, 0x00,
                          0x05, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  Bytes a = client_.Exchange(Order(2, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), defaults);

  const Bytes block = Words({1000, 1, 16, 2, 50, 100, 5, 2, 6, 1, 3, 100, 4000, 1, 3, 0, 250, 5, 1, 7});
  EXPECT_EQ(client_.Exchange(Order(1, 1, block)), Order(1, 0));  // header only, status 0
  a = client_.Exchange(Order(2, 1));
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), block);
  a = client_.Exchange(Order(2, 0));
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), defaults);

  std::vector<std::uint16_t> teach(248);
  for (std::size_t i = 0; i < teach.size(); ++i) teach[i] = static_cast<std::uint16_t>(i % 8 == 5 ? i % 31 : 3 * i);
  teach[7] = 0xBEEF;        // reserved word of row 0
  teach[30 * 8 + 7] = 0x1234;  // and of row 30
  EXPECT_EQ(client_.Exchange(Order(1, 3, Words(teach))), Order(1, 0));
  a = client_.Exchange(Order(2, 3));
  ASSERT_EQ(a.size(), 8u + 496u);
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), Words(teach));
  EXPECT_NE(sensor_->RamSet(0).teach[7], 0xBEEF);
}

TEST_F(SimTcp, GainCodesAreAmp1ToAmp8AsZeroToSeven) {
  const sim::ParameterBlock ram = sensor_->RamSet(0).para;
  std::vector<std::uint16_t> para(ram.begin(), ram.end());
  para[sim::GAIN] = 7;  // AMP8
  EXPECT_EQ(client_.Exchange(Order(1, 0, Words(para))), Order(1, 0));
  EXPECT_EQ(sensor_->RamSet(0).para[sim::GAIN], 7);
  para[sim::GAIN] = 8;  // no such amplification: replaced by the default AMP6
  EXPECT_EQ(client_.Exchange(Order(1, 0, Words(para))), Order(1, 1));
  EXPECT_EQ(sensor_->RamSet(0).para[sim::GAIN], 5);
}

TEST_F(SimTcp, PlausibilityCountsReplacedWordsAfterWriteAndEepromLoad) {
  std::vector<std::uint16_t> para = {1001, 0, 1, 7, 10, 0, 0, 0, 0, 0, 0, 3200, 3300, 0, 0, 5, 251, 1, 0, 0};
  EXPECT_EQ(client_.Exchange(Order(1, 0, Words(para))), Order(1, 4));
  sim::ParameterBlock ram = sensor_->RamSet(0).para;
  EXPECT_EQ(ram[sim::POWER], 500);
  EXPECT_EQ(ram[sim::EVALUATION_MODE], 1);
  EXPECT_EQ(ram[sim::MAX_VEC_NO], 1);
  EXPECT_EQ(ram[sim::INTEGRAL], 1);
  EXPECT_EQ(ram[sim::DYNWIN_LO], 3200);

  std::vector<std::uint16_t> teach(248, 1);
  teach[2 * 8 + sim::GROUP] = 31;
  teach[5 * 8 + sim::CELL0] = 20000;
  EXPECT_EQ(client_.Exchange(Order(1, 2, Words(teach))), Order(1, 2));

  // Order 3 stores both sets; a clean EEPROM loads without replacements.
  EXPECT_EQ(client_.Exchange(Order(3, 0)), Order(3, 0));
  EXPECT_EQ(sensor_->EepromSet(0).para, sensor_->RamSet(0).para);
  EXPECT_EQ(client_.Exchange(Order(4, 0)), Order(4, 0));

  sim::ParaSet bad = sensor_->EepromSet(1);
  bad.para[sim::TRIGGER] = 7;
  bad.para[sim::CALCULATION_MODE] = 4;
  bad.teach[30 * 8 + sim::HOLD] = 60000;
  sensor_->SetEepromSet(1, bad);
  EXPECT_EQ(client_.Exchange(Order(4, 0)), Order(4, 3));
  EXPECT_EQ(sensor_->RamSet(1).para[sim::TRIGGER], 0);
  EXPECT_EQ(sensor_->RamSet(1).teach[30 * 8 + sim::HOLD], 10);
  EXPECT_EQ(client_.Exchange(Order(4, 0)), Order(4, 3));  // the EEPROM itself is not repaired
}

TEST_F(SimTcp, BaudChangeAnswersAtTheOldRateThenSwitches) {
  sensor_->SetBaudIndex(0);
  sensor_->SetWireTiming(true);
  auto t = Clock::now();
  EXPECT_EQ(client_.Exchange(Order(190, 3)), Order(190, 0));
  EXPECT_GE(MsSince(t), 16.0);  // 16 bytes at 9600 baud; at 57600 it would be 2.8 ms
  EXPECT_EQ(sensor_->BaudIndex(), 3);

  t = Clock::now();
  EXPECT_EQ(client_.Exchange(Order(8, 0)).size(), 54u);
  EXPECT_GE(MsSince(t), 10.7);  // 62 bytes at 57600 baud

  EXPECT_EQ(client_.Exchange(Order(190, 9)), Order(190, 0));
  EXPECT_EQ(sensor_->BaudIndex(), 9);  // kept as sent; runs at 115200
}

// [SECTION] Measured values

TEST_F(SimTcp, MeasuredFramesFollowTheCalculationMode) {
  Bytes a = client_.Exchange(Order(8, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  ASSERT_EQ(a.size(), 8u + 46u);
  EXPECT_EQ(WordAt(a, 0), 3000);
  EXPECT_EQ(WordAt(a, 1), 1500);
  EXPECT_EQ(WordAt(a, 2), 500);
  EXPECT_EQ(WordAt(a, 3), 2457);  // X = 4095 * 3000 / 5000
  EXPECT_EQ(WordAt(a, 4), 1228);  // Y
  EXPECT_EQ(WordAt(a, 5), 1666);  // INT
  EXPECT_EQ(WordAt(a, 7), 255);   // the red is far from taught row 0
  EXPECT_EQ(WordAt(a, 11), 3000);

  const sim::ParameterBlock defaults = sim::DefaultParameterBlock();
  std::vector<std::uint16_t> para(defaults.begin(), defaults.end());
  para[sim::CALCULATION_MODE] = 1;
  ASSERT_EQ(client_.Exchange(Order(1, 0, Words(para))), Order(1, 0));
  sensor_->SetCalibrationFactors({{2048, 1024, 512}});
  sensor_->SetMeasuredWordCount(30);
  a = client_.Exchange(Order(8, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  ASSERT_EQ(a.size(), 8u + 60u);
  EXPECT_EQ(WordAt(a, 0), 4095);  // 6000 clipped
  EXPECT_EQ(WordAt(a, 1), 1500);
  EXPECT_EQ(WordAt(a, 2), 250);
  EXPECT_EQ(WordAt(a, 3), 10000 * (4095 - 250) / 4095);  // s
  EXPECT_EQ(WordAt(a, 4), 60000 * (1500 - 250) / (4095 - 250) * 5000 / 360000);  // i: hue
  EXPECT_EQ(WordAt(a, 5), 1200 * (4095 + 1500 + 250) / (3 * 4095));              // M
  EXPECT_EQ(WordAt(a, 11), 3000);  // raw stays raw
  EXPECT_EQ(WordAt(a, 29), 0);
}

// [SECTION] Faults

TEST_F(SimTcp, ChecksumFaultsSpoilExactlyTheirByte) {
  const Bytes good = client_.Exchange(Order(7, 0));
  Fault(7, FaultKind::BadHeaderCrc, -1, 1);
  Fault(7, FaultKind::BadStartByte, -1, 2);
  Fault(7, FaultKind::BadDataCrc, -1, 3);

  Bytes a = client_.Exchange(Order(7, 0));
  Bytes expected = good;
  expected[7] ^= 0xFF;
  EXPECT_EQ(a, expected);

  a = client_.Exchange(Order(7, 0));
  EXPECT_EQ(a[0], 0x56);
  EXPECT_EQ(frame::FrameCrc8(a.data(), 0, 8), 0);
  EXPECT_EQ(Bytes(a.begin() + 1, a.begin() + 6), Bytes(good.begin() + 1, good.begin() + 6));

  a = client_.Exchange(Order(7, 0));
  EXPECT_TRUE(frame::HeaderValid(a.data()));
  EXPECT_NE(a[6], good[6]);
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), Bytes(good.begin() + 8, good.end()));

  EXPECT_EQ(client_.Exchange(Order(7, 0)), good);  // each rule fired once
}

TEST_F(SimTcp, LengthFaultsSendTheBytesTheyAnnounceOrNot) {
  const Bytes block = client_.Exchange(Order(2, 0));
  Fault(2, FaultKind::ShortBlock, 20, 1);
  Fault(2, FaultKind::LongBlock, 4, 2);
  Fault(2, FaultKind::OverlongData, 5, 3);
  Fault(2, FaultKind::HugeLength, 3000, 4);
  Fault(2, FaultKind::ShortData, 10, 5);

  Bytes a = client_.Exchange(Order(2, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  EXPECT_EQ(Bytes(a.begin() + 8, a.end()), Bytes(block.begin() + 8, block.begin() + 28));

  a = client_.Exchange(Order(2, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  EXPECT_EQ(a.size(), block.size() + 4);

  client_.Send(Order(2, 0));
  a = client_.Read(block.size() + 5);
  EXPECT_EQ(Bytes(a.begin(), a.begin() + 48), block);
  EXPECT_EQ(Bytes(a.begin() + 48, a.end()), Bytes(5, 0));

  a = client_.Exchange(Order(2, 0));
  ASSERT_TRUE(ChecksumsHold(a));
  EXPECT_EQ(frame::DecodeHeader(a.data()).length, 3000);
  EXPECT_EQ(Bytes(a.begin() + 8, a.begin() + 48), Bytes(block.begin() + 8, block.end()));

  // Header announcing 40, ten bytes, silence: the next bytes are the next answer.
  client_.Send(Order(2, 0));
  a = client_.Read(18);
  EXPECT_EQ(Bytes(a.begin(), a.begin() + 8), Bytes(block.begin(), block.begin() + 8));
  EXPECT_EQ(client_.Exchange(Order(7, 0))[1], 7);
}

TEST_F(SimTcp, StatusFaultsRefuseTheOrder) {
  Fault(1, FaultKind::Status1, -1, 1);
  Fault(1, FaultKind::Status2, -1, 2);
  const Bytes block = Words({900, 0, 1, 1, 10, 0, 1, 0, 0, 0, 0, 3200, 3300, 0, 0, 5, 1, 1, 0, 0});
  EXPECT_EQ(client_.Exchange(Order(1, 0, block)), Status(1));
  EXPECT_EQ(client_.Exchange(Order(1, 0, block)), Status(2));
  EXPECT_EQ(sensor_->RamSet(0).para[sim::POWER], 500);
  EXPECT_EQ(client_.Exchange(Order(1, 0, block)), Order(1, 0));
  EXPECT_EQ(sensor_->RamSet(0).para[sim::POWER], 900);
}

TEST_F(SimTcp, NthRuleSilencesOnlyThatFrame) {
  Fault(7, FaultKind::NoAnswer, -1, 2);
  EXPECT_EQ(client_.Exchange(Order(7, 0))[1], 7);
  client_.Send(Order(7, 0));
  EXPECT_EQ(client_.Exchange(Order(8, 0))[1], 8);  // the first bytes back belong to order 8
  EXPECT_EQ(client_.Exchange(Order(7, 0))[1], 7);
  std::vector<sim::OrderRecord> log = sensor_->Orders();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[1].fault, "7:no-answer:2");
  EXPECT_EQ(log[3].fault, "");
}

TEST_F(SimTcp, TimingFaultsHoldBytesBack) {
  const Bytes good = client_.Exchange(Order(7, 0));
  Fault(sim::ANY_ORDER, FaultKind::SplitWrites, 1, 1);
  Fault(sim::ANY_ORDER, FaultKind::LateAnswer, 30, 2);
  Fault(sim::ANY_ORDER, FaultKind::DataDelay, 30, 3);

  auto t = Clock::now();
  EXPECT_EQ(client_.Exchange(Order(7, 0)), good);
  EXPECT_GE(MsSince(t), 10.0);  // at least 14 pieces, 1 ms apart

  t = Clock::now();
  EXPECT_EQ(client_.Exchange(Order(7, 0)), good);
  EXPECT_GE(MsSince(t), 30.0);

  client_.Send(Order(7, 0));
  EXPECT_EQ(client_.Read(8), Bytes(good.begin(), good.begin() + 8));
  t = Clock::now();
  EXPECT_EQ(client_.Read(good.size() - 8), Bytes(good.begin() + 8, good.end()));
  EXPECT_GE(MsSince(t), 20.0);
}

TEST_F(SimTcp, CloseFaultsEndTheConnectionAndTheNextClientIsServed) {
  Fault(8, FaultKind::ClosePartial, 8, 1);
  Fault(7, FaultKind::CloseBeforeAnswer, -1, 1);

  client_.Send(Order(8, 0));
  Bytes a = client_.Read(100, 500);
  EXPECT_EQ(a.size(), 8u);
  EXPECT_TRUE(client_.ClosedByPeer());

  client_ = Client::Tcp(sensor_->Port());
  client_.Send(Order(7, 0));
  EXPECT_TRUE(client_.ClosedByPeer());

  client_ = Client::Tcp(sensor_->Port());
  EXPECT_EQ(client_.Exchange(Order(7, 0))[1], 7);
  EXPECT_EQ(sensor_->ConnectionCount(), 3);

  // A client that simply goes away is followed by the next one, too.
  client_ = Client::Tcp(sensor_->Port());
  EXPECT_EQ(client_.Exchange(Order(8, 0))[1], 8);
}

TEST_F(SimTcp, ClearedFaultsLeaveNormalAnswers) {
  Fault(sim::ANY_ORDER, FaultKind::NoAnswer);
  client_.Send(Order(7, 0));
  ASSERT_TRUE(sensor_->WaitForOrders(1, std::chrono::milliseconds(2000)));
  sensor_->ClearFaults();
  EXPECT_EQ(client_.Exchange(Order(8, 0))[1], 8);
}

// [SECTION] Log

TEST_F(SimTcp, LogKeepsTheRawBytesOfEveryOrder) {
  std::vector<std::uint16_t> teach(248);
  for (std::size_t i = 0; i < teach.size(); ++i) teach[i] = static_cast<std::uint16_t>(i % 8 == 5 ? 1 : i + 1);
  const Bytes order = Order(1, 3, Words(teach));
  client_.Send(order);
  client_.Send(Order(8, 0));
  ASSERT_TRUE(sensor_->WaitForOrders(2, std::chrono::milliseconds(2000)));
  std::vector<sim::OrderRecord> log = sensor_->Orders();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].order, 1);
  EXPECT_EQ(log[0].param, 3);
  EXPECT_EQ(log[0].length, 496);
  EXPECT_EQ(log[0].raw, order);
  EXPECT_EQ(log[0].data, Words(teach));
  EXPECT_EQ(log[1].raw, (Bytes{0x55, 0x08, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x76}));
  EXPECT_LE(log[0].time, log[1].time);

  EXPECT_FALSE(sensor_->WaitForOrders(3, std::chrono::milliseconds(5)));
  sensor_->ClearLog();
  EXPECT_EQ(sensor_->OrderCount(), 0u);
  EXPECT_TRUE(sensor_->Orders().empty());
}

}  // namespace
