// The simulator on a real pseudo-terminal, opened as a serial port would be.
#include <gtest/gtest.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sim/sensor_sim.h"
#include "sim/test_client.h"

namespace {

using namespace simtest;

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

class SimPty : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SimConfig cfg;
    cfg.transport = sim::Transport::Pty;
    sensor_ = std::make_unique<sim::SensorSim>(cfg);
    std::string error;
    ASSERT_TRUE(sensor_->Start(&error)) << error;
    ASSERT_FALSE(sensor_->SlavePath().empty());
  }

  Client OpenSlave(speed_t speed = B115200) {
    Client c = Client::Serial(sensor_->SlavePath(), speed);
    EXPECT_TRUE(c.Open());
    return c;
  }

  std::unique_ptr<sim::SensorSim> sensor_;
};

TEST_F(SimPty, SurvivesTheSlaveBeingClosedAndReopened) {
  Client port = OpenSlave();
  Bytes a = port.Exchange(Order(7, 0));
  ASSERT_GE(a.size(), 8u);
  EXPECT_EQ(a[1], 7);
  EXPECT_TRUE(frame::HeaderValid(a.data()));
  port.Close();

  // While nobody holds the slave the master hangs up; the simulator must wait, not spin.
  const double cpu = CpuMs();
  timespec pause{0, 30 * 1000 * 1000};
  nanosleep(&pause, nullptr);
  EXPECT_LT(CpuMs() - cpu, 10.0);

  for (int i = 0; i < 3; ++i) {
    port = OpenSlave();
    EXPECT_EQ(port.Exchange(Order(8, 0)).size(), 8u + 46u) << "reopen " << i;
    port.Close();
  }
  EXPECT_EQ(sensor_->OrderCount(), 4u);
}

TEST_F(SimPty, BytesAtAnotherSpeedAreGarbageUntilTheSpeedsAgree) {
  Client port = OpenSlave(B9600);
  port.Send(Order(7, 0));
  ASSERT_TRUE(sensor_->WaitForOrders(1, std::chrono::milliseconds(2000)));
  EXPECT_EQ(sensor_->Orders()[0].check, sim::FrameCheck::BaudMismatch);
  EXPECT_EQ(sensor_->Orders()[0].raw, Order(7, 0));

  port.SetSpeed(B115200);
  EXPECT_EQ(port.Exchange(Order(8, 0))[1], 8);  // nothing was answered to the garbage
}

TEST_F(SimPty, BaudChangeTakesEffectOnceTheAnswerIsOut) {
  Client port = OpenSlave(B115200);
  EXPECT_EQ(port.Exchange(Order(190, 1)), Order(190, 0));
  EXPECT_EQ(sensor_->BaudIndex(), 1);

  port.Send(Order(7, 0));
  ASSERT_TRUE(sensor_->WaitForOrders(2, std::chrono::milliseconds(2000)));
  EXPECT_EQ(sensor_->Orders()[1].check, sim::FrameCheck::BaudMismatch);

  port.Close();
  port = OpenSlave(B19200);
  EXPECT_EQ(port.Exchange(Order(7, 0))[1], 7);
}

TEST(SimPtyOptions, BaudCheckCanBeSwitchedOff) {
  sim::SimConfig cfg;
  cfg.transport = sim::Transport::Pty;
  cfg.baudCheck = 0;
  sim::SensorSim sensor(cfg);
  ASSERT_TRUE(sensor.Start());
  Client port = Client::Serial(sensor.SlavePath(), B9600);
  EXPECT_EQ(port.Exchange(Order(7, 0))[1], 7);
}

TEST(SimPtyOptions, AnAdapterHoldsShortFramesUntilItsTimerReadsOne) {
  sim::SimConfig cfg;
  cfg.transport = sim::Transport::Pty;
  cfg.adapterLatency = 16;
  sim::SensorSim sensor(cfg);
  ASSERT_TRUE(sensor.Start());
  // The attribute sits where the program looks for the device node of the slave.
  const std::string name = sensor.SlavePath().substr(sensor.SlavePath().rfind('/') + 1);
  const std::string timer = sensor.AdapterTree() + "/class/tty/" + name + "/device/latency_timer";
  std::string text;
  std::getline(std::ifstream(timer), text);
  EXPECT_EQ(text, "16");

  Client port = Client::Serial(sensor.SlavePath(), B115200);
  EXPECT_EQ(port.Exchange(Order(8, 0)).size(), 8u + 46u);
  EXPECT_EQ(sensor.AdapterHeldFrames(), 1u);
  std::ofstream(timer) << "1\n";
  EXPECT_EQ(port.Exchange(Order(8, 0)).size(), 8u + 46u);
  EXPECT_EQ(port.Exchange(Order(7, 0))[1], 7);
  EXPECT_EQ(sensor.AdapterHeldFrames(), 1u);
  std::ofstream(timer) << "2\n";
  EXPECT_EQ(port.Exchange(Order(7, 0))[1], 7);
  EXPECT_EQ(sensor.AdapterHeldFrames(), 2u);

  // A temporary tree goes with the simulator.
  const std::string tree = sensor.AdapterTree();
  sensor.Stop();
  EXPECT_FALSE(std::filesystem::exists(tree));
}

}  // namespace
