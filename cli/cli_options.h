// The command line of chromik4-ana-cli: its commands, their options, the help texts.
//
// Parsing is pure: it checks the form of the arguments (known command, known option of
// that command, numbers, exclusive options). Ranges that a control of the window sets
// (record interval and count, the scope's fields) are checked against those controls
// once the panels are loaded (cli_session.h), so they cannot drift from the window's.
#pragma once

#include <optional>
#include <string>

namespace cli {

enum class Command { None, Identify, Get, Send, Verify, Watch, Record, Scope, CycleTime, Baud, HardwareFile };

enum class WatchFormat { Tsv, Csv, Jsonl };

struct CliOptions {
  Command command = Command::None;
  bool help = false;     // --help: of the program, or of the command when one was named
  bool version = false;  // --version

  // [SECTION] Connection (every command); neither --tcp nor --serial: the window's saved settings
  bool tcp = false;             // --tcp HOST[:PORT]
  std::string host;             // its host name or address
  std::string tcpPort = "10001";  // its port, as the window's port field holds it
  bool serial = false;          // --serial DEVICE|COMn
  std::string device;           // a device path, or empty when a port number was given
  int comPort = 0;              // the n of COMn (the window's numbering), 0 with a path
  std::optional<int> baudIndex;  // --baud RATE as an index 0..4

  // [SECTION] Parameter transfer (get, send, verify)
  int memory = 1;               // 1 = --ram (default), 2 = --eeprom
  int parameterSet = 0;         // --set 0|1
  bool dryRun = false;          // send --dry-run
  bool yes = false;             // send, verify --yes: take a file of another type or version

  // [SECTION] Files and counts
  std::string file;             // FILE of send, verify, record, hardware-file; -o of get and scope
  std::optional<long> count;    // watch, record --count N (at least 1)
  std::optional<double> seconds;  // watch --seconds, scope --seconds (more than 0)
  WatchFormat format = WatchFormat::Tsv;

  // [SECTION] Recording
  bool triggered = false;       // record --triggered
  std::optional<double> interval;  // record --interval S
  std::optional<std::string> panelId;  // record --panel-id TEXT
  bool append = false;          // record --append
  bool overwrite = false;       // record --overwrite

  // [SECTION] Scope: unset fields keep the scope page's initial values
  std::optional<int> trigger;      // --trigger: 0 single .. 4 external
  std::optional<int> preTrigger;   // --pre-trigger
  std::optional<int> level;        // --level
  std::optional<int> scanRate;     // --scan-rate
  std::optional<int> signal;       // --signal

  // [SECTION] Baud-rate change
  int newBaudIndex = -1;        // baud RATE as an index 0..4
};

// Exit statuses of the program.
enum ExitStatus : int {
  EXIT_DONE = 0,
  EXIT_DIFFERENCES = 1,     // verify found values that differ
  EXIT_USAGE = 2,           // unknown command or option, a value out of range, baud over TCP/IP
  EXIT_COMMUNICATION = 3,   // the sensor could not be reached or stopped answering
  EXIT_FILE = 4,            // a file could not be read or written, or was refused
  EXIT_REPLACED = 5,        // the sensor replaced values in its plausibility check after a send
  EXIT_INTERRUPTED = 130,   // SIGINT
};

// Fills *out from the arguments: EXIT_DONE, or EXIT_USAGE with a one-line reason in *error.
int ParseCommandLine(int argc, char** argv, CliOptions* out, std::string* error);

// The index of a baud rate of the window's table (9600 .. 115200), -1 for any other.
int BaudIndexOfRate(long rate);
// The name a command is called by ("hardware-file"); "" for None.
const char* CommandName(Command command);
// --help of the program (laid out for help2man), and of one command.
const char* ProgramHelp();
std::string CommandHelp(Command command);
// The usage line shown under a usage error: the command's, or the program's.
std::string UsageLine(Command command);

}  // namespace cli
