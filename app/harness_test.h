// Test harness: the whole program, headless, against an in-process simulator
// reached over a real loopback socket or a real pseudo-terminal.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sim/sensor_sim.h"

namespace harness {

struct Options {
  bool serial = false;          // pseudo-terminal on port 1 instead of TCP
  bool sensorPresent = true;    // false: the program finds nothing at its settings
  int baudIndex = 4;            // baud index in the settings file (and of the simulator)
  double realWait = 0.3;        // seconds a test-clock wait may block for real
  sim::SimConfig sim;           // simulator settings (transport and port are set here)
  bool deviceLink = false;      // serial: port 1 is a symbolic link to the slave, as a udev name is
};

// A fresh runtime and program directory with no sensor behind serial port 1
// (start-up fails at once), on the test clock; removed again on destruction.
class Scratch {
 public:
  Scratch();
  ~Scratch();
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
};

class Program {
 public:
  explicit Program(Options options = {});
  ~Program();

  // Loads the panels and runs the start-up, which connects once.
  void Start();
  sim::SensorSim& Sim() { return *sim_; }
  // The sensor goes away: the simulator ends and closes its pseudo-terminal master or its
  // server and connection, as when a USB adapter is pulled or the server is killed.
  void Unplug();
  // A new simulator behind the same name: the same TCP port, or the device link pointed at
  // a new pseudo-terminal (a replugged adapter comes back under its udev name).
  void Replug();
  const std::string& Dir() const { return dir_; }

  // Operator-side looks at the program.
  std::string MessageBox() const;        // the connection page's message box
  std::string StatusLine() const;        // DATAP's status line
  int ActiveMainPage() const;
  bool Dimmed(int panel, int control) const;
  // The three connection page buttons that need a sensor.
  bool ConnectedButtonsDimmed() const;
  bool ConnectedButtonsEnabled() const;
  // Dispatches until `done` holds or `seconds` of real time passed; whether it held.
  bool RunUntil(const std::function<bool()>& done, double seconds = 5.0);
  // Dispatches what is pending a few times.
  void Settle();

 private:
  // A new simulator as the options say, on `port` over TCP (0 = any free port).
  void StartSimulator(std::uint16_t port);
  // The device name port 1 stands for: the slave, or the device link pointed at it.
  std::string SerialDevice();
  Options options_;
  std::string dir_;
  std::unique_ptr<sim::SensorSim> sim_;
};

}  // namespace harness
