// The command line's parsing and the lines watch prints, without a sensor.
#include "cli/cli_options.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "cli/watch_lines.h"
#include "recorder/recorder.h"

namespace {

using namespace cli;

int Parse(std::vector<std::string> args, CliOptions* o, std::string* error = nullptr) {
  std::vector<char*> argv{const_cast<char*>("chromik4-ana-cli")};
  for (std::string& a : args) argv.push_back(a.data());
  std::string ignored;
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), o, error ? error : &ignored);
}

TEST(CliOptions, ConnectionForms) {
  CliOptions o;
  ASSERT_EQ(Parse({"identify", "--tcp", "sensor-4.line"}, &o), EXIT_DONE);
  EXPECT_EQ(o.host, "sensor-4.line");
  EXPECT_EQ(o.tcpPort, "10001");
  ASSERT_EQ(Parse({"--tcp=10.0.0.7:4001", "identify"}, &o), EXIT_DONE);  // options also before the command
  EXPECT_EQ(o.host, "10.0.0.7");
  EXPECT_EQ(o.tcpPort, "4001");
  ASSERT_EQ(Parse({"identify", "--tcp", "[fe80::1]:10002"}, &o), EXIT_DONE);
  EXPECT_EQ(o.host, "fe80::1");
  EXPECT_EQ(o.tcpPort, "10002");
  ASSERT_EQ(Parse({"identify", "--tcp", "::1"}, &o), EXIT_DONE);
  EXPECT_EQ(o.host, "::1");
  ASSERT_EQ(Parse({"identify", "--serial", "com3", "--baud", "38400"}, &o), EXIT_DONE);
  EXPECT_EQ(o.comPort, 3);
  EXPECT_EQ(o.device, "");
  EXPECT_EQ(o.baudIndex, 2);
  ASSERT_EQ(Parse({"identify", "--serial", "/dev/serial/by-id/usb-FTDI-if00-port0"}, &o), EXIT_DONE);
  EXPECT_EQ(o.device, "/dev/serial/by-id/usb-FTDI-if00-port0");
  EXPECT_EQ(o.comPort, 0);
  EXPECT_FALSE(o.baudIndex);
}

TEST(CliOptions, CommandsTakeTheirOwnOptionsAndArguments) {
  CliOptions o;
  ASSERT_EQ(Parse({"send", "p.ini", "--eeprom", "--set", "1", "--dry-run", "--yes"}, &o), EXIT_DONE);
  EXPECT_EQ(o.command, Command::Send);
  EXPECT_EQ(o.file, "p.ini");
  EXPECT_EQ(o.memory, 2);
  EXPECT_EQ(o.parameterSet, 1);
  EXPECT_TRUE(o.dryRun && o.yes);
  ASSERT_EQ(Parse({"record", "r.dat", "--count", "60000", "--interval", "1.5", "--panel-id", "A B"}, &o), EXIT_DONE);
  EXPECT_EQ(*o.count, 60000);
  EXPECT_EQ(*o.interval, 1.5);
  EXPECT_EQ(*o.panelId, "A B");
  ASSERT_EQ(Parse({"scope", "-o", "s.csv", "--trigger", "falling", "--signal", "2", "--seconds", "2.5"}, &o), EXIT_DONE);
  EXPECT_EQ(*o.trigger, 2);
  EXPECT_EQ(*o.signal, 2);
  EXPECT_EQ(*o.seconds, 2.5);
  ASSERT_EQ(Parse({"baud", "57600", "--serial", "/dev/ttyUSB0"}, &o), EXIT_DONE);
  EXPECT_EQ(o.newBaudIndex, 3);
  ASSERT_EQ(Parse({"watch", "--format", "jsonl", "--count", "3"}, &o), EXIT_DONE);
  EXPECT_EQ(o.format, WatchFormat::Jsonl);
  // --help needs nothing else, and belongs to the command named.
  ASSERT_EQ(Parse({"record", "--help"}, &o), EXIT_DONE);
  EXPECT_TRUE(o.help);
  EXPECT_EQ(o.command, Command::Record);
}

TEST(CliOptions, UsageErrorsSayWhatIsWrong) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"identify", "--bogus=1"}, "unknown option '--bogus'"},
      {{"watch", "--count", "0"}, "invalid value: --count 0 (a whole number of at least 1)"},
      {{"watch", "--count", "-1"}, "invalid value: --count -1 (a whole number of at least 1)"},
      {{"watch", "--count", "3", "--seconds", "1"}, "watch takes --count or --seconds, not both"},
      {{"watch", "--seconds", "0"}, "invalid value: --seconds 0 (seconds, more than 0)"},
      {{"get", "--dry-run"}, "option --dry-run does not belong to get"},
      {{"get", "--ram", "--eeprom"}, "--ram and --eeprom exclude each other"},
      {{"identify", "--tcp", "a", "--serial", "COM1"}, "--tcp and --serial exclude each other"},
      {{"identify", "--baud", "9600"}, "--baud goes with --serial"},
      {{"identify", "--serial", "COM1", "--baud", "4800"}, "invalid value: --baud 4800 (9600, 19200, 38400, 57600 or 115200)"},
      {{"identify", "--tcp", "host:70000"}, "invalid value: --tcp host:70000 (HOST or HOST:PORT, port 1..65535)"},
      {{"baud", "38400", "--tcp", "host"}, "baud changes the rate of a serial line: not over TCP/IP"},
      {{"baud", "31250", "--serial", "COM1"}, "invalid baud rate 31250 (9600, 19200, 38400, 57600 or 115200)"},
      {{"send"}, "send needs FILE"},
      {{"verify", "a.ini", "b.ini"}, "unexpected argument 'b.ini'"},
      {{"record", "r.dat"}, "record needs --count N (or --triggered)"},
      {{"record", "r.dat", "--triggered", "--interval", "1"}, "--interval does not go with --triggered"},
      {{"record", "r.dat", "--count", "1", "--append", "--overwrite"}, "--append and --overwrite exclude each other"},
      {{"scope"}, "scope needs -o FILE.csv"},
      {{"scope", "-o", "s.csv", "--trigger", "sideways"},
       "invalid value: --trigger sideways (single, rising, falling, internal or external)"},
      {{"identify", "--tcp"}, "option --tcp needs a value"},
  };
  for (const auto& [args, reason] : cases) {
    CliOptions o;
    std::string error;
    EXPECT_EQ(Parse(args, &o, &error), EXIT_USAGE) << reason;
    EXPECT_EQ(error, reason);
  }
}

TEST(CliOptions, TheUsageLineIsTheCommandsFirstHelpLine) {
  EXPECT_EQ(UsageLine(Command::Get),
            "Usage: chromik4-ana-cli get [--ram|--eeprom] [--set 0|1] [-o FILE]   (see chromik4-ana-cli get --help)");
  for (Command c : {Command::Identify, Command::Get, Command::Send, Command::Verify, Command::Watch, Command::Record,
                    Command::Scope, Command::CycleTime, Command::Baud, Command::HardwareFile}) {
    EXPECT_NE(std::string(ProgramHelp()).find(std::string("  ") + CommandName(c)), std::string::npos) << CommandName(c);
    EXPECT_EQ(CommandHelp(c).rfind(std::string("Usage: chromik4-ana-cli ") + CommandName(c), 0), 0u);
  }
}

TEST(WatchLines, TheRecordFilesValuesUnderItsColumnTitles) {
  MeasuredValuesRecord m{};
  m.Red = 4095;
  m.Green = 17;
  m.Blue = 0;
  m.X = 1823;
  m.Y = 1364;
  m.Int = 1499;
  m.DeltaC = -1;
  m.ColorNo = 255;
  m.GroupNo = 3;
  m.Trigger = 1;
  m.Temp = 34;
  const std::string time = "2025-03-14T09:26:53.589+01:00";
  // The values exactly as the record line has them after its date and time.
  std::string record = RecordLineText(m, "03-14-2025", "09:26:53");
  record = record.substr(20, record.size() - 22);
  std::string tsv;
  AppendWatchLine(&tsv, WatchFormat::Tsv, time, m);
  EXPECT_EQ(tsv, time + "\t" + record + "\n");
  EXPECT_EQ(WatchHeader(WatchFormat::Tsv), "time\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\n");
  EXPECT_EQ(WatchHeader(WatchFormat::Csv), "time,RED,GREEN,BLUE,X s,Y i,INT M,delta C,COLOR,GROUP,TRIGGER,TEMP\n");
  EXPECT_EQ(WatchHeader(WatchFormat::Jsonl), "");
  std::string csv, json;
  AppendWatchLine(&csv, WatchFormat::Csv, time, m);
  EXPECT_EQ(csv, time + ",4095,17,0,1823,1364,1499,-1,255,3,1,34\n");
  AppendWatchLine(&json, WatchFormat::Jsonl, time, m);
  EXPECT_EQ(json, "{\"time\":\"" + time +
                      "\",\"RED\":4095,\"GREEN\":17,\"BLUE\":0,\"X s\":1823,\"Y i\":1364,\"INT M\":1499,"
                      "\"delta C\":-1,\"COLOR\":255,\"GROUP\":3,\"TRIGGER\":1,\"TEMP\":34}\n");
}

TEST(WatchLines, IsoTimeWithMillisecondsAndTheOffset) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  IsoClock clock;
  using namespace std::chrono;
  const system_clock::time_point winter{milliseconds(1700000000123LL)};  // 2023-11-14 22:13:20.123 UTC
  EXPECT_EQ(clock.Text(winter), "2023-11-14T23:13:20.123+01:00");
  EXPECT_EQ(clock.Text(winter + milliseconds(876)), "2023-11-14T23:13:20.999+01:00");
  EXPECT_EQ(clock.Text(winter + milliseconds(877)), "2023-11-14T23:13:21.000+01:00");
  const system_clock::time_point summer{milliseconds(1690000000005LL)};  // 2023-07-22 04:26:40.005 UTC
  EXPECT_EQ(clock.Text(summer), "2023-07-22T06:26:40.005+02:00");
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

TEST(WatchLines, OutputHandsOnlyWholeLinesOnAndWaitsAtMostFiftyMilliseconds) {
  signal(SIGPIPE, SIG_IGN);  // a write to a pipe without a reader fails with EPIPE
  int p[2];
  ASSERT_EQ(pipe(p), 0);
  LineOutput out(p[1]);
  ASSERT_EQ(out.Add("a\tb\n", 10.0), 1);
  EXPECT_FALSE(out.Due(10.04));
  EXPECT_TRUE(out.Due(10.05));
  ASSERT_EQ(out.Add("c\td\n", 10.06), 1);  // the oldest line is due: both go
  char buf[64] = {};
  EXPECT_EQ(read(p[0], buf, sizeof buf), 8);
  EXPECT_STREQ(buf, "a\tb\nc\td\n");
  close(p[0]);
  ASSERT_EQ(out.Add("e\n", 11.0), 1);
  EXPECT_EQ(out.Flush(), -1);  // the reader is gone
  close(p[1]);
}

}  // namespace
