// Parsing the command line of chromik4-ana-cli, and its help texts.
#include "cli/cli_options.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace cli {
namespace {

constexpr unsigned Bit(Command c) { return 1u << static_cast<unsigned>(c); }
constexpr unsigned kAll = ~0u;
constexpr unsigned kTransfer = Bit(Command::Get) | Bit(Command::Send) | Bit(Command::Verify);

struct OptionEntry {
  const char* name;    // as typed, "--count"
  bool takesValue;
  unsigned commands;   // the commands it belongs to
};

constexpr OptionEntry kOptions[] = {
    {"--help", false, kAll},
    {"--version", false, kAll},
    {"--tcp", true, kAll},
    {"--serial", true, kAll},
    {"--baud", true, kAll},
    {"--ram", false, kTransfer},
    {"--eeprom", false, kTransfer},
    {"--set", true, kTransfer},
    {"--dry-run", false, Bit(Command::Send)},
    {"--yes", false, Bit(Command::Send) | Bit(Command::Verify)},
    {"-o", true, Bit(Command::Get) | Bit(Command::Scope)},
    {"--count", true, Bit(Command::Watch) | Bit(Command::Record)},
    {"--seconds", true, Bit(Command::Watch) | Bit(Command::Scope)},
    {"--format", true, Bit(Command::Watch)},
    {"--triggered", false, Bit(Command::Record)},
    {"--interval", true, Bit(Command::Record)},
    {"--panel-id", true, Bit(Command::Record)},
    {"--append", false, Bit(Command::Record)},
    {"--overwrite", false, Bit(Command::Record)},
    {"--trigger", true, Bit(Command::Scope)},
    {"--pre-trigger", true, Bit(Command::Scope)},
    {"--level", true, Bit(Command::Scope)},
    {"--scan-rate", true, Bit(Command::Scope)},
    {"--signal", true, Bit(Command::Scope)},
};

struct CommandEntry {
  Command command;
  const char* name;
  int positionals;  // FILE or RATE arguments it takes
};

constexpr CommandEntry kCommands[] = {
    {Command::Identify, "identify", 0}, {Command::Get, "get", 0},
    {Command::Send, "send", 1},         {Command::Verify, "verify", 1},
    {Command::Watch, "watch", 0},       {Command::Record, "record", 1},
    {Command::Scope, "scope", 0},       {Command::CycleTime, "cycle-time", 0},
    {Command::Baud, "baud", 1},         {Command::HardwareFile, "hardware-file", 1},
};

const OptionEntry* FindOption(std::string_view name) {
  if (name == "--output") name = "-o";
  for (const OptionEntry& o : kOptions) {
    if (name == o.name) return &o;
  }
  return nullptr;
}

const CommandEntry* FindCommand(std::string_view name) {
  for (const CommandEntry& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

bool ToLong(std::string_view s, long* out) {
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

bool ToDouble(std::string_view s, double* out) {
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size() && std::isfinite(*out);
}

// "HOST", "HOST:PORT", "[ADDRESS]" or "[ADDRESS]:PORT"; an address with several colons and
// no brackets is an IPv6 address without a port.
bool ParseTcp(std::string_view text, CliOptions* o) {
  std::string_view host = text, port;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return false;
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      port = rest.substr(1);
      if (port.empty()) return false;
    }
  } else if (const std::size_t colon = text.find(':');
             colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    if (port.empty()) return false;
  }
  if (host.empty()) return false;
  o->host = std::string(host);
  if (!port.empty()) {
    long n = 0;
    if (!ToLong(port, &n) || n < 1 || n > 65535) return false;
    o->tcpPort = std::to_string(n);
  }
  return true;
}

// COMn (any letter case) or a device path.
bool ParseSerial(std::string_view text, CliOptions* o) {
  if (text.empty()) return false;
  if (text.size() > 3 && (text[0] == 'C' || text[0] == 'c') && (text[1] == 'O' || text[1] == 'o') &&
      (text[2] == 'M' || text[2] == 'm')) {
    long n = 0;
    if (ToLong(text.substr(3), &n)) {
      if (n < 1 || n > 255) return false;
      o->comPort = static_cast<int>(n);
      o->device.clear();
      return true;
    }
  }
  o->device = std::string(text);
  o->comPort = 0;
  return true;
}

int TriggerCode(std::string_view name) {
  const char* const names[] = {"single", "rising", "falling", "internal", "external"};
  for (int i = 0; i < 5; ++i) {
    if (name == names[i]) return i;
  }
  return -1;
}

// One option with its value into *o; false with the reason in *error.
bool Apply(const OptionEntry& entry, std::string_view value, CliOptions* o, std::string* error) {
  const std::string_view name = entry.name;
  const std::string shown = std::string(name == "-o" ? "-o" : name) + " " + std::string(value);
  long n = 0;
  double d = 0;
  auto bad = [&](const char* what) {
    *error = "invalid value: " + shown + " (" + what + ")";
    return false;
  };
  if (name == "--help") o->help = true;
  else if (name == "--version") o->version = true;
  else if (name == "--tcp") {
    if (!ParseTcp(value, o)) return bad("HOST or HOST:PORT, port 1..65535");
    o->tcp = true;
  } else if (name == "--serial") {
    if (!ParseSerial(value, o)) return bad("a device path or COM1..COM255");
    o->serial = true;
  } else if (name == "--baud") {
    if (!ToLong(value, &n) || BaudIndexOfRate(n) < 0) return bad("9600, 19200, 38400, 57600 or 115200");
    o->baudIndex = BaudIndexOfRate(n);
  } else if (name == "--ram") o->memory = 1;
  else if (name == "--eeprom") o->memory = 2;
  else if (name == "--set") {
    if (value != "0" && value != "1") return bad("0 or 1");
    o->parameterSet = value == "1" ? 1 : 0;
  } else if (name == "--dry-run") o->dryRun = true;
  else if (name == "--yes") o->yes = true;
  else if (name == "-o") {
    if (value.empty()) return bad("a file name");
    o->file = std::string(value);
  } else if (name == "--count") {
    if (!ToLong(value, &n) || n < 1) return bad("a whole number of at least 1");
    o->count = n;
  } else if (name == "--seconds") {
    if (!ToDouble(value, &d) || d <= 0) return bad("seconds, more than 0");
    o->seconds = d;
  } else if (name == "--format") {
    if (value == "tsv") o->format = WatchFormat::Tsv;
    else if (value == "csv") o->format = WatchFormat::Csv;
    else if (value == "jsonl") o->format = WatchFormat::Jsonl;
    else return bad("tsv, csv or jsonl");
  } else if (name == "--triggered") o->triggered = true;
  else if (name == "--interval") {
    if (!ToDouble(value, &d)) return bad("seconds");
    o->interval = d;
  } else if (name == "--panel-id") o->panelId = std::string(value);
  else if (name == "--append") o->append = true;
  else if (name == "--overwrite") o->overwrite = true;
  else if (name == "--trigger") {
    const int code = TriggerCode(value);
    if (code < 0) return bad("single, rising, falling, internal or external");
    o->trigger = code;
  } else if (name == "--signal") {
    if (!ToLong(value, &n) || n < 0 || n > 2) return bad("0, 1 or 2");
    o->signal = static_cast<int>(n);
  } else if (name == "--pre-trigger" || name == "--level" || name == "--scan-rate") {
    if (!ToLong(value, &n) || n < -1000000 || n > 1000000) return bad("a whole number");
    (name == "--pre-trigger" ? o->preTrigger : name == "--level" ? o->level : o->scanRate) = static_cast<int>(n);
  }
  return true;
}

// What the options say together; "" when they fit.
std::string CheckCombination(const CliOptions& o, const std::vector<std::string_view>& given) {
  auto has = [&](std::string_view name) {
    for (std::string_view g : given) {
      if (g == name) return true;
    }
    return false;
  };
  if (o.tcp && o.serial) return "--tcp and --serial exclude each other";
  if (o.baudIndex && !o.serial) return "--baud goes with --serial";
  if (has("--ram") && has("--eeprom")) return "--ram and --eeprom exclude each other";
  switch (o.command) {
    case Command::Watch:
      if (o.count && o.seconds) return "watch takes --count or --seconds, not both";
      break;
    case Command::Record:
      if (o.append && o.overwrite) return "--append and --overwrite exclude each other";
      if (o.triggered && o.interval) return "--interval does not go with --triggered";
      if (!o.triggered && !o.count) return "record needs --count N (or --triggered)";
      break;
    case Command::Scope:
      if (o.file.empty()) return "scope needs -o FILE.csv";
      break;
    case Command::Baud:
      if (o.tcp) return "baud changes the rate of a serial line: not over TCP/IP";
      break;
    default:
      break;
  }
  return "";
}

}  // namespace

int BaudIndexOfRate(long rate) {
  const long rates[] = {9600, 19200, 38400, 57600, 115200};
  for (int i = 0; i < 5; ++i) {
    if (rates[i] == rate) return i;
  }
  return -1;
}

const char* CommandName(Command command) {
  for (const CommandEntry& c : kCommands) {
    if (c.command == command) return c.name;
  }
  return "";
}

int ParseCommandLine(int argc, char** argv, CliOptions* out, std::string* error) {
  // Filled as far as it got, so that a usage error can show the command's usage line.
  CliOptions& o = *out;
  o = CliOptions{};
  struct Given {
    const OptionEntry* entry;
    std::string_view value;
  };
  std::vector<Given> options;
  std::vector<std::string_view> names, positionals;
  bool onlyPositionals = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!onlyPositionals && arg == "--") {
      onlyPositionals = true;
      continue;
    }
    if (onlyPositionals || arg.size() < 2 || arg[0] != '-') {
      if (o.command == Command::None) {
        const CommandEntry* c = FindCommand(arg);
        if (!c) {
          *error = "unknown command '" + std::string(arg) + "'";
          return EXIT_USAGE;
        }
        o.command = c->command;
      } else {
        positionals.push_back(arg);
      }
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const OptionEntry* entry = FindOption(name);
    if (!entry) {
      *error = "unknown option '" + std::string(name) + "'";
      return EXIT_USAGE;
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
      if (!entry->takesValue) {
        *error = "option " + std::string(entry->name) + " takes no value";
        return EXIT_USAGE;
      }
      value = arg.substr(equals + 1);
    } else if (entry->takesValue) {
      if (i + 1 >= argc) {
        *error = "option " + std::string(entry->name) + " needs a value";
        return EXIT_USAGE;
      }
      value = argv[++i];
    }
    options.push_back(Given{entry, value});
    names.push_back(entry->name);
  }
  for (const Given& g : options) {
    if (g.entry->commands != kAll && o.command != Command::None && !(g.entry->commands & Bit(o.command))) {
      *error = "option " + std::string(g.entry->name) + " does not belong to " + CommandName(o.command);
      return EXIT_USAGE;
    }
    if (!Apply(*g.entry, g.value, &o, error)) return EXIT_USAGE;
  }
  if (o.help || o.version) return EXIT_DONE;
  if (o.command == Command::None) {
    *error = "no command given";
    return EXIT_USAGE;
  }
  const CommandEntry* command = FindCommand(CommandName(o.command));
  if (static_cast<int>(positionals.size()) != command->positionals) {
    if (positionals.size() > static_cast<std::size_t>(command->positionals)) {
      *error = "unexpected argument '" + std::string(positionals[command->positionals]) + "'";
    } else {
      *error = std::string(command->name) + (o.command == Command::Baud ? " needs RATE" : " needs FILE");
    }
    return EXIT_USAGE;
  }
  if (o.command == Command::Baud) {
    long rate = 0;
    if (!ToLong(positionals[0], &rate) || BaudIndexOfRate(rate) < 0) {
      *error = "invalid baud rate " + std::string(positionals[0]) + " (9600, 19200, 38400, 57600 or 115200)";
      return EXIT_USAGE;
    }
    o.newBaudIndex = BaudIndexOfRate(rate);
  } else if (command->positionals == 1) {
    o.file = std::string(positionals[0]);
  }
  const std::string combination = CheckCombination(o, names);
  if (!combination.empty()) {
    *error = combination;
    return EXIT_USAGE;
  }
  return EXIT_DONE;
}

}  // namespace cli
