// The help texts of chromik4-ana-cli: the program's (laid out as help2man reads it, the
// manual page is made from it) and each command's.
#include <string>

#include "cli/cli_options.h"

namespace cli {
namespace {

// help2man: "Usage:" first, describing lines, "Heading:" lines with indented text become
// sub-sections, "Options:" and "Files:" start their sections, two blanks part an option or
// a command from its text (a long one goes on a line of its own).
const char* const kProgramHelp =
    "Usage: chromik4-ana-cli COMMAND [OPTIONS]\n"
    "The command-line companion of chromik4-ana-scope for scripts and production lines.\n"
    "It talks to one CHROMIK4 ANA colour sensor through the window's own logic: the same\n"
    "orders on the wire, the same parameter, record, scope and hardware files. It needs no\n"
    "display. Every command identifies the sensor first (order 7 alone), then does the one\n"
    "operation it is named for. Results go to standard output, messages (the program's own\n"
    "texts) to standard error. COMMAND --help explains a command's options.\n"
    "\n"
    "Commands:\n"
    "  identify           print the sensor's identification text\n"
    "  get [--ram|--eeprom] [--set 0|1] [-o FILE]\n"
    "                     read the sensor's parameter set (GET) and write it as a parameter\n"
    "                     file (FILE SEND), to FILE or standard output\n"
    "  send FILE [--ram|--eeprom] [--set 0|1] [--dry-run] [--yes]\n"
    "                     send a parameter file to the sensor (FILE GET, then SEND)\n"
    "  verify FILE [--ram|--eeprom] [--set 0|1] [--yes]\n"
    "                     compare the sensor's parameter set with a parameter file\n"
    "  watch [--count N | --seconds S] [--format tsv|csv|jsonl]\n"
    "                     print one line per measured frame (the GO loop's order 8)\n"
    "  record FILE --count N [--interval S] | --triggered [--count N]\n"
    "                     record measured frames into a record file, counted or triggered,\n"
    "                     with [--panel-id TEXT] [--append|--overwrite]\n"
    "  scope -o FILE.csv [--trigger MODE] [--pre-trigger N] [--level N] [--scan-rate N]\n"
    "                     measure the cycle time, capture the scope and write its CSV file,\n"
    "                     with [--signal 0|1|2] [--seconds S]\n"
    "  cycle-time         print the scan frequency and the cycle time\n"
    "  baud RATE          change the sensor's baud rate (serial only)\n"
    "  hardware-file FILE\n"
    "                     write the hardware initial file for the supplier's service\n"
    "\n"
    "Exit status:\n"
    "  0    done\n"
    "  1    verify found values that differ\n"
    "  2    usage error (unknown command or option, a value out of range, baud over TCP/IP)\n"
    "  3    communication failure\n"
    "  4    file error (cannot read, cannot write, a file of another type or version)\n"
    "  5    the sensor replaced values in its plausibility check after a send\n"
    "  130  interrupted by SIGINT\n"
    "\n"
    "Options:\n"
    "  --tcp HOST[:PORT]  connect over TCP/IP (port 10001 when left out)\n"
    "  --serial DEVICE|COMn\n"
    "                     connect over a serial port: a device such as /dev/ttyUSB0 or a\n"
    "                     /dev/serial/by-id name, or COMn as the window numbers ports\n"
    "  --baud RATE        the serial line's rate: 9600, 19200, 38400, 57600 or 115200\n"
    "                     (default 115200)\n"
    "  --help             show this text; after a command, that command's options\n"
    "  --version          show the version and exit\n"
    "\n"
    "Without --tcp and --serial the communication settings the window saved last are used;\n"
    "they are read, never written.\n"
    "\n"
    "Files:\n"
    "  PanelSettings.cfg  the window's settings: beside the program when its folder is\n"
    "                     writable, otherwise in $XDG_CONFIG_HOME/chromik4-ana-scope/\n"
    "                     (~/.config/chromik4-ana-scope/)\n";

const char* const kConnection =
    "\n"
    "Connection (every command):\n"
    "  --tcp HOST[:PORT]  TCP/IP, port 10001 when left out\n"
    "  --serial DEVICE|COMn [--baud RATE]\n"
    "                     a serial port, 115200 baud when --baud is left out\n"
    "                     neither: the window's saved communication settings\n";

const char* const kTransferOptions =
    "  --ram              the sensor's RAM (default)\n"
    "  --eeprom           the sensor's EEPROM\n"
    "  --set 0|1          which of the sensor's two parameter sets (default 0)\n";

const char* const kEepromNote =
    "Reading the EEPROM sends order 4 first, which loads the EEPROM set into the sensor's\n"
    "RAM, as the window's GET does; the command says so on standard error.\n";

std::string Text(Command command) {
  switch (command) {
    case Command::Identify:
      return "Usage: chromik4-ana-cli identify\n"
             "Sends order 7 and prints the sensor's identification text.\n";
    case Command::Get:
      return std::string(
                 "Usage: chromik4-ana-cli get [--ram|--eeprom] [--set 0|1] [-o FILE]\n"
                 "Reads the sensor's parameter set as the window's GET does (orders 2 and 2) and\n"
                 "writes it as the window's FILE SEND writes a parameter file: to FILE (written\n"
                 "whole through a temporary file that then replaces it) or to standard output.\n") +
             kEepromNote + "\nOptions:\n" + kTransferOptions +
             "  -o FILE            the parameter file to write (default: standard output)\n";
    case Command::Send:
      return std::string(
                 "Usage: chromik4-ana-cli send FILE [--ram|--eeprom] [--set 0|1] [--dry-run] [--yes]\n"
                 "Reads the parameter file FILE as the window's FILE GET does (its reports on\n"
                 "standard error: items that took their defaults, values the window's controls\n"
                 "cannot hold) and sends the set as the window's SEND does: orders 1 and 1, and\n"
                 "order 3 for the EEPROM. Exit status 5 when the sensor replaced values in its\n"
                 "plausibility check.\n"
                 "With --dry-run it reads the sensor's set instead and prints what the send would\n"
                 "change, one line per value: KEY, the sensor's value and the value that would be\n"
                 "sent, parted by TABs. It sends no order 1 or 3 and exits 0 whatever it lists.\n") +
             kEepromNote + "\nOptions:\n" + kTransferOptions +
             "  --dry-run          list what the send would change; send nothing\n"
             "  --yes              take a file of another type or program version (refused\n"
             "                     otherwise, exit status 4)\n";
    case Command::Verify:
      return std::string(
                 "Usage: chromik4-ana-cli verify FILE [--ram|--eeprom] [--set 0|1] [--yes]\n"
                 "Reads the sensor's parameter set (as get) and compares it with the values\n"
                 "written in the parameter file FILE (an item the file lacks counts with its\n"
                 "default, as the window reads it), key by key. Prints one line per value that\n"
                 "differs: KEY, the sensor's value and the file's, parted by TABs. Exit status 1\n"
                 "when any differs.\n") +
             kEepromNote + "\nOptions:\n" + kTransferOptions +
             "  --yes              take a file of another type or program version\n";
    case Command::Watch:
      return "Usage: chromik4-ana-cli watch [--count N | --seconds S] [--format tsv|csv|jsonl]\n"
             "Sends the GO loop's order 8 again and again and prints one line per measured\n"
             "frame: the time (ISO 8601 with milliseconds and the offset from UTC) and the\n"
             "record file's eleven values, named by its column titles. tsv and csv begin with\n"
             "a header line; jsonl prints one JSON object per line. It runs until N frames,\n"
             "S seconds or SIGINT, which ends it after the current frame (exit status 130).\n"
             "\n"
             "Options:\n"
             "  --count N          stop after N frames\n"
             "  --seconds S        stop after S seconds\n"
             "  --format FORMAT    tsv (default), csv or jsonl\n";
    case Command::Record:
      return "Usage: chromik4-ana-cli record FILE --count N [--interval S] [--panel-id TEXT]\n"
             "                     [--append|--overwrite]\n"
             "       chromik4-ana-cli record FILE --triggered [--count N] [--panel-id TEXT]\n"
             "                     [--append|--overwrite]\n"
             "Records measured frames into the record file FILE exactly as the window's\n"
             "recorder does, one line appended per frame. Counted: order 8 every S seconds\n"
             "(at least 0.25; a shorter interval is taken as 0.25 with a note) until N frames.\n"
             "Triggered: order 30 with 1, then one line per frame the sensor sends on its own,\n"
             "until N frames or SIGINT; order 30 with 0 then stops the sensor.\n"
             "A new FILE gets the header. An existing FILE is refused (exit status 4) unless\n"
             "--overwrite (deleted, a new header) or --append (lines added, no header).\n"
             "While standard error is a terminal a progress line shows on it.\n"
             "\n"
             "Options:\n"
             "  --count N          frames to record: 1..65535 when counted\n"
             "  --interval S       seconds from one frame to the next (default 1)\n"
             "  --triggered        the sensor sends a frame for each trigger event\n"
             "  --panel-id TEXT    the sensor's identification for the header (99 characters)\n"
             "  --append           add lines to an existing FILE\n"
             "  --overwrite        replace an existing FILE\n";
    case Command::Scope:
      return "Usage: chromik4-ana-cli scope -o FILE.csv [--trigger MODE] [--pre-trigger N] [--level N]\n"
             "                     [--scan-rate N] [--signal 0|1|2] [--seconds S]\n"
             "Measures the cycle time (order 105, the time axis needs it), arms the capture\n"
             "(order 110 with the five settings words), waits for its four blocks and writes\n"
             "the CSV file the scope panel's SAVE CSV writes. An armed capture waits at most\n"
             "S seconds, then is broken off (order 110 with 0) with exit status 3; SIGINT\n"
             "breaks it off too (exit status 130). Fields left out keep the scope page's values.\n"
             "\n"
             "Options:\n"
             "  -o FILE.csv        the CSV file to write\n"
             "  --trigger MODE     single (default), rising, falling, internal or external\n"
             "  --pre-trigger N    samples kept from before the trigger, 0..127 (default 10)\n"
             "  --level N          the blue line's trigger level, 0..4095 (default 2000)\n"
             "  --scan-rate N      one sample every N scans, 1..1000 (default 1)\n"
             "  --signal 0|1|2     recorded signal: 0 R G B, 1 X Y INT (s i M), 2 analogue\n"
             "  --seconds S        the longest wait for the trigger (default: no limit)\n";
    case Command::CycleTime:
      return "Usage: chromik4-ana-cli cycle-time\n"
             "Sends order 105 and prints the scan frequency and the cycle time as the scope\n"
             "page shows them, one per line. Leave the sensor undisturbed for 8 seconds first.\n";
    case Command::Baud:
      return "Usage: chromik4-ana-cli baud RATE --serial DEVICE|COMn [--baud OLD]\n"
             "The window's baud-rate change: order 190 at the line's present rate, then order 7\n"
             "at RATE (9600, 19200, 38400, 57600 or 115200). As the window reminds, the sensor\n"
             "keeps the new rate only once a parameter set is sent to its EEPROM at that rate\n"
             "(send FILE --eeprom --baud RATE). Serial only: over TCP/IP it is a usage error.\n";
    case Command::HardwareFile:
      return "Usage: chromik4-ana-cli hardware-file FILE\n"
             "Writes the hardware initial file as the window does: the sensor's RAM parameter set\n"
             "(orders 2 and 2), its calibration factors and offsets (order 102) and its hardware\n"
             "words (order 194), written whole through a temporary file.\n";
    case Command::None:
      break;
  }
  return "";
}

}  // namespace

const char* ProgramHelp() { return kProgramHelp; }

std::string CommandHelp(Command command) {
  std::string text = Text(command);
  if (text.empty()) return kProgramHelp;
  return text + kConnection;
}

std::string UsageLine(Command command) {
  if (command == Command::None) return "Usage: chromik4-ana-cli COMMAND [OPTIONS]   (see chromik4-ana-cli --help)";
  const std::string text = Text(command);
  return text.substr(0, text.find('\n')) + "   (see chromik4-ana-cli " + CommandName(command) + " --help)";
}

}  // namespace cli
