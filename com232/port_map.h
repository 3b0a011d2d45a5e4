// Serial port numbers and the Linux devices behind them.
//
// The program knows serial ports only by number (port 1 is the first). The
// numbers are handed out over the serial devices present:
//   1. USB adapters /dev/ttyUSB<n>, then CDC devices /dev/ttyACM<n>,
//   2. then on-board ports /dev/ttyS<n> whose UART exists (sysfs type not 0),
// each group in numeric order of <n> (ttyUSB2 before ttyUSB10). A device with
// a /dev/serial/by-id link shows that stable name too, so the operator can
// tell two adapters apart when plugging changes the numbers.
//
// Tests map a number to any path (the slave of a pseudo-terminal) with
// SetComPortDevice; such a mapping wins over the devices found.
#pragma once

#include <string>
#include <vector>

struct ComPortInfo {
  int port = 0;             // number the program uses, 1-based
  std::string device;       // path opened for this number, e.g. "/dev/ttyUSB0"
  std::string stableName;   // name of its /dev/serial/by-id link, empty when none
  std::string displayText;  // line for the serial port selector
};

// Ports found under `devDir` (normally "/dev"), with sysfs at `sysDir`
// (normally "/sys") telling which ttyS ports have a UART. No overrides.
std::vector<ComPortInfo> ListComPortsIn(const std::string& devDir, const std::string& sysDir);

// Ports of this machine with the test mappings applied, ordered by number.
std::vector<ComPortInfo> ListComPorts();

// Device opened for `port` when no device name is given; empty when none.
std::string ComPortDevice(int port);

// Where ListComPorts and ComPortDevice look: "/dev" and "/sys" unless changed here
// (empty texts restore them). Tests and fuzz runs point them at a tree of their own.
void SetComPortSearchDirectories(const std::string& devDir, const std::string& sysDir);
// The sysfs root in use ("/sys" unless changed): the serial layer finds adapters' timers there.
const std::string& ComPortSysDirectory();

// Test mapping of a port number to a path; an empty path removes the mapping.
void SetComPortDevice(int port, const std::string& path);
void ClearComPortDevices();

// Selector text: "COM1: /dev/ttyUSB0 (usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0)".
std::string ComPortDisplayText(int port, const std::string& device, const std::string& stableName);
