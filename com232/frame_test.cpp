// The frame layer against the simulator, over loopback TCP and a pseudo-terminal.
#include "com232/frame.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "com232/link.h"
#include "com232/rs232.h"
#include "measurement/measured_values.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::FaultKind;

constexpr const char* kTimeout =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT AGAIN!";
constexpr const char* kHeaderIncorrect = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
constexpr const char* kDataIncorrect = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";

int Exchange(std::uint8_t order, std::uint16_t param = 0) {
  BuildOrderFrame(order, 0, param, 0);
  return ExchangeOrder(8);
}

sim::FaultRule Fault(int order, FaultKind kind, int value = -1) {
  sim::FaultRule rule;
  rule.order = order;
  rule.kind = kind;
  rule.value = value;
  return rule;
}

// Both transports run every case.
class Frames : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    harness::Options options;
    options.serial = GetParam();
    program_ = std::make_unique<harness::Program>(options);
    program_->Start();
    ASSERT_EQ(State.SensorConnected, 1) << program_->MessageBox();
    program_->Sim().ClearLog();
    boxBefore_ = program_->MessageBox();
  }
  void TearDown() override { program_.reset(); }
  sim::SensorSim& Sim() { return program_->Sim(); }
  // The message box gained exactly `text` and an empty line, and the program is in the not-connected state.
  void ExpectReported(const std::string& text) {
    EXPECT_EQ(program_->MessageBox(), boxBefore_ + text + "\n\n");
    EXPECT_EQ(program_->StatusLine(), "TIMEOUT!");
    EXPECT_EQ(State.SensorConnected, 0);
    EXPECT_EQ(State.GoRunning, 0);
    EXPECT_TRUE(program_->ConnectedButtonsDimmed());
    EXPECT_EQ(program_->ActiveMainPage(), PAGE_CONNECTION);
  }
  void MarkRunning() {
    State.GoRunning = 1;
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  }
  std::unique_ptr<harness::Program> program_;
  std::string boxBefore_;
};

TEST_P(Frames, OrdersGoOutByteForByte) {
  Exchange(7);
  Exchange(8);
  Exchange(190, 2);
  for (int i = 0; i < 3; ++i) Frame.SendWords[i] = 0x0400;
  BuildOrderFrame(101, 20, 0, 6);  // calibration writes pass 20 words but send three
  ExchangeOrder(14);
  ASSERT_TRUE(Sim().WaitForOrders(4, std::chrono::seconds(5)));
  auto orders = Sim().Orders();
  EXPECT_EQ(orders[0].raw, (Bytes{0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52}));
  EXPECT_EQ(orders[1].raw, (Bytes{0x55, 0x08, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x76}));
  EXPECT_EQ(orders[2].raw, (Bytes{0x55, 0xBE, 0x02, 0x00, 0x00, 0x00, 0xAA, 0x40}));
  EXPECT_EQ(orders[3].raw,
            (Bytes{0x55, 0x65, 0x00, 0x00, 0x06, 0x00, 0x73, 0xE5, 0x00, 0x04, 0x00, 0x04, 0x00, 0x04}));
}

TEST_P(Frames, CorrectExchangesWithAndWithoutData) {
  ASSERT_EQ(Exchange(8), 1);
  EXPECT_EQ(Frame.ResponseOrder, 8);
  EXPECT_GE(Frame.ResponseLength, 46);
  CopyResponseToReceiveWords();
  UnpackMeasuredValues();
  EXPECT_LE(MeasuredValues.Red, 4095);
  EXPECT_GT(MeasuredValues.Red + MeasuredValues.Green + MeasuredValues.Blue, 0);
  EXPECT_EQ(Exchange(3), 1);  // EEPROM store: a header without data ends the exchange
  EXPECT_EQ(Frame.ResponseOrder, 3);
  EXPECT_EQ(Frame.ResponseLength, 0);
  EXPECT_EQ(program_->MessageBox(), boxBefore_);
}

TEST_P(Frames, NoHeaderWithinTheTimeLimit) {
  Sim().AddFault(Fault(8, FaultKind::NoAnswer));
  MarkRunning();
  const double start = Timer();
  EXPECT_EQ(Exchange(8), -1);
  EXPECT_GT(Timer() - start, ResponseTimeout);
  ExpectReported(kTimeout);
}

TEST_P(Frames, DataIncompleteWithinTheTimeLimit) {
  Sim().AddFault(Fault(8, FaultKind::ShortData, 10));
  MarkRunning();
  EXPECT_EQ(Exchange(8), -1);
  ExpectReported(kTimeout);
}

TEST_P(Frames, WrongHeaderChecksumKeepsThePreviousFields) {
  ASSERT_EQ(Exchange(7), 1);
  const auto length = Frame.ResponseLength;
  Sim().AddFault(Fault(8, FaultKind::BadHeaderCrc));
  EXPECT_EQ(Exchange(8), -1);
  ExpectReported(kHeaderIncorrect);
  EXPECT_EQ(Frame.ResponseOrder, 7);
  EXPECT_EQ(Frame.ResponseLength, length);
}

TEST_P(Frames, WrongStartByte) {
  Sim().AddFault(Fault(8, FaultKind::BadStartByte));
  EXPECT_EQ(Exchange(8), -1);
  ExpectReported(kHeaderIncorrect);
}

TEST_P(Frames, StatusAnswersAreReportedWhileTheResultStaysOne) {
  Sim().AddFault(Fault(8, FaultKind::Status1));
  MarkRunning();
  EXPECT_EQ(Exchange(8), 1);
  ExpectReported("INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!");
  Sim().ClearFaults();
  Sim().AddFault(Fault(8, FaultKind::Status2));
  boxBefore_ = program_->MessageBox();
  EXPECT_EQ(Exchange(8), 1);
  ExpectReported("COMMUNICATION ERROR ON CONTROL UNIT!\nYOU MAY HAVE TO REDUCE THE BAUDRATE!");
  // An unknown order gets the same answer from the sensor itself.
  boxBefore_ = program_->MessageBox();
  EXPECT_EQ(Exchange(77), 1);
  ExpectReported("INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!");
}

TEST_P(Frames, WrongDataChecksum) {
  Sim().AddFault(Fault(8, FaultKind::BadDataCrc));
  EXPECT_EQ(Exchange(8), -1);
  ExpectReported(kDataIncorrect);
}

TEST_P(Frames, AHeaderAnnouncingMoreThanTheBufferIsRefused) {
  Sim().AddFault(Fault(8, FaultKind::HugeLength, 4096));
  EXPECT_EQ(Exchange(8), -1);
  ExpectReported(kDataIncorrect);
  EXPECT_LE(SensorLink.TcpReceivedCount, 2048);
  // Once the sensor has stopped sending, the next exchange starts clean: what is left of the
  // refused answer is dropped before the order goes out.
  Sim().ClearFaults();
  usleep(100000);
  EXPECT_EQ(Exchange(7), 1);
}

TEST_P(Frames, AnAnswerSplitOverManyWritesIsAccepted) {
  Sim().AddFault(Fault(8, FaultKind::SplitWrites, 1));
  EXPECT_EQ(Exchange(8), 1);
  EXPECT_EQ(program_->MessageBox(), boxBefore_);
  EXPECT_EQ(State.SensorConnected, 1);
}

TEST_P(Frames, AHeaderArrivingAsTheTimeRunsOutIsAccepted) {
  Sim().AddFault(Fault(7, FaultKind::LateAnswer, 50));
  // The first wait passes the time limit in test time while the answer arrives for real.
  bool moved = false;
  ui::headless::SetWaitHook([&](double until) {
    if (moved) return;
    moved = true;
    usleep(150000);
    ui::headless::SetClock(until + 0.5);
  });
  EXPECT_EQ(Exchange(7), 1);
  ui::headless::SetWaitHook(nullptr);
  EXPECT_TRUE(moved);
  EXPECT_EQ(program_->MessageBox(), boxBefore_);
}

TEST_P(Frames, ALateAnswerToAFailedOrderIsNotTakenForTheNext) {
  Sim().AddFault(Fault(8, FaultKind::LateAnswer, 100));
  // The wait runs out in test time at once, while the answer is still 100 ms away.
  ui::headless::SetWaitHook([](double until) { ui::headless::SetClock(until + 0.5); });
  EXPECT_EQ(Exchange(8), -1);
  ui::headless::SetWaitHook(nullptr);
  ASSERT_TRUE(Sim().WaitForOrders(1, std::chrono::seconds(2)));
  usleep(300000);  // the late answer has come in and waits in the port or the socket
  Sim().ClearFaults();
  EXPECT_EQ(Exchange(7), 1);
  EXPECT_EQ(Frame.ResponseOrder, 7);
  EXPECT_EQ(Exchange(8), 1);
  EXPECT_EQ(Frame.ResponseOrder, 8);
}

TEST_P(Frames, OddLengthsGiveWholeWordsAndTextIsTerminated) {
  Frame.ReceiveWords[3] = 0xBEEF;
  Sim().AddFault(Fault(8, FaultKind::ShortBlock, 7));
  ASSERT_EQ(Exchange(8), 1);
  EXPECT_EQ(Frame.ResponseLength, 7);
  CopyResponseToReceiveWords();
  EXPECT_EQ(Frame.ReceiveWords[3], 0xBEEF);  // three words taken; the seventh byte only counted in the checksum
  Sim().ClearFaults();
  Sim().SetIdText("ABCDEFG", false);
  ASSERT_EQ(Exchange(7), 1);
  EXPECT_EQ(Frame.ResponseLength, 7);
  EXPECT_STREQ(reinterpret_cast<const char*>(Frame.ReceiveBuffer + 8), "ABCDEFG");
}

INSTANTIATE_TEST_SUITE_P(Transports, Frames, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

// [SECTION] TCP only

class TcpFrames : public Frames {};

TEST_P(TcpFrames, ServerClosingMidAnswerIsReported) {
  Sim().AddFault(Fault(8, FaultKind::ClosePartial, 20));
  EXPECT_EQ(Exchange(8), -1);
  ProcessSystemEvents();
  const std::string box = program_->MessageBox();
  // The server's close, then the answer that did not come.
  const std::size_t closed = box.find("SERVER HAS CLOSED CONNECTION!\n\n");
  ASSERT_NE(closed, std::string::npos) << box;
  EXPECT_EQ(box.find("TIMEOUT! \nNO DATA RECEIVED!", closed), closed + 31) << box;
  EXPECT_EQ(SensorLink.TcpConnected, 0);
  EXPECT_EQ(SensorLink.TcpHandle, 0u);
  EXPECT_EQ(State.SensorConnected, 0);
}

TEST_P(TcpFrames, ReceivedCountNeverPassesTheBuffer) {
  Sim().AddFault(Fault(8, FaultKind::OverlongData, 3000));
  Exchange(8);
  for (int i = 0; i < 20; ++i) ProcessSystemEvents();
  EXPECT_LE(SensorLink.TcpReceivedCount, 2048);
}

TEST_P(TcpFrames, ConnectWhileConnectedClosesTheOldConnectionFirst) {
  const int before = Sim().ConnectionCount();
  ConnectTcpServer();
  ASSERT_EQ(SensorLink.TcpConnected, 1);
  // The simulator serves one client at a time: an answer proves the old one is gone.
  EXPECT_EQ(Exchange(7), 1);
  EXPECT_EQ(Sim().ConnectionCount(), before + 1);
}

TEST_P(TcpFrames, PortTextGivesThePortNumber) {
  EXPECT_EQ(TcpPortFromText(""), 0);
  EXPECT_EQ(TcpPortFromText("10001"), 10001);
  EXPECT_EQ(TcpPortFromText(" 80x"), 80);
  EXPECT_EQ(TcpPortFromText("abc"), 0);
  SensorLink.TcpPortNumber = 0;
  ConnectTcpServer();
  EXPECT_LT(SensorLink.LinkOpenStatus, 0);
  EXPECT_EQ(SensorLink.TcpConnected, 0);
  EXPECT_NE(program_->MessageBox().find("InvalidParameter\n\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Tcp, TcpFrames, ::testing::Values(false));

// [SECTION] Serial only

class SerialFrames : public Frames {};

TEST_P(SerialFrames, AnUnknownBaudIndexOpensAt115200) {
  SensorLink.BaudIndex = 7;
  OpenSerialPort();
  ASSERT_GE(SensorLink.LinkOpenStatus, 0);
  termios t{};
  ASSERT_EQ(tcgetattr(ComPortDescriptor(SensorLink.ComPort), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
  SensorLink.BaudIndex = 0;
  OpenSerialPort();
  ASSERT_EQ(tcgetattr(ComPortDescriptor(SensorLink.ComPort), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
}

TEST_P(SerialFrames, AMissingPortIsReportedWithItsMessage) {
  SensorLink.ComPort = 200;
  OpenSerialPort();
  EXPECT_LT(SensorLink.LinkOpenStatus, 0);
  ExpectReported(SerialOpenErrorText(SensorLink.LinkOpenStatus));
  EXPECT_EQ(std::string(SerialOpenErrorText(-6)), "No serial port found");
  EXPECT_EQ(std::string(SerialOpenErrorText(-5)), "RS-232 error!");
  EXPECT_EQ(std::string(TcpConnectErrorText(-21)), "Connection to server failed");
  EXPECT_EQ(std::string(TcpConnectErrorText(-11)), "TimeOutError");
}

// The wait learns when answers come and checks the port busily around that moment; an answer
// far later or far sooner than the last must be taken all the same, the sooner one as it
// arrives (no wait runs out, so test time stands still) rather than at the learned moment.
TEST_P(SerialFrames, AnswersFarLaterOrSoonerThanTheLastAreTakenAsTheyCome) {
  Sim().SetWireTiming(true);  // order 8 is answered after its 5.4 ms of line time
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Exchange(8), 1);
  Sim().AddFault(Fault(8, FaultKind::LateAnswer, 60));  // under the test clock's real wait
  ASSERT_EQ(Exchange(8), 1);
  EXPECT_EQ(Frame.ResponseOrder, 8);
  Sim().ClearFaults();
  const double before = Timer();
  ASSERT_EQ(Exchange(8), 1);
  EXPECT_EQ(Frame.ResponseOrder, 8);
  EXPECT_EQ(Timer(), before) << "the answer was taken at the learned moment, not as it came";
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Exchange(8), 1);
  EXPECT_EQ(program_->MessageBox(), boxBefore_);
  // A sensor that falls silent after slow answers is still given up at the time limit.
  Sim().AddFault(Fault(8, FaultKind::LateAnswer, 90));
  ASSERT_EQ(Exchange(8), 1);
  Sim().ClearFaults();
  Sim().AddFault(Fault(8, FaultKind::NoAnswer));
  MarkRunning();
  const double start = Timer();
  EXPECT_EQ(Exchange(8), -1);
  EXPECT_GT(Timer() - start, ResponseTimeout);
  EXPECT_LT(Timer() - start, ResponseTimeout + 0.5);
  ExpectReported(kTimeout);
}

INSTANTIATE_TEST_SUITE_P(Serial, SerialFrames, ::testing::Values(true));

}  // namespace
