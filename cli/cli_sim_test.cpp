// chromik4-ana-cli as a program: run as a child process against the simulator over TCP and
// over a pseudo-terminal, its exit statuses, standard output and error, files and orders.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <regex>
#include <thread>

#include "cli/cli_test_support.h"

namespace {

using namespace clitest;
using OrderList = std::vector<std::pair<int, int>>;

// The item `key` of section `section` set to `value`.
std::string SetItemIn(const std::string& ini, const std::string& section, const std::string& key,
                      const std::string& value) {
  const std::size_t at = ini.find("[" + section + "]\r\n");
  if (at == std::string::npos) return ini;
  return ini.substr(0, at) + SetItem(ini.substr(at), key, value);
}

// Waits until `done` holds, at most `seconds`.
template <class F>
bool Eventually(F done, double seconds = 10.0) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A simulator of the test's own, and the program run against it.
class WithSim {
 protected:
  void StartFor(bool serial) {
    serial_ = serial;
    sim_ = StartSim(serial);
  }
  std::vector<std::string> Reach() const { return clitest::Reach(*sim_, serial_); }
  CliResult Call(const std::vector<std::string>& args) { return RunCli(Join(args, Reach())); }
  bool serial_ = false;
  std::unique_ptr<sim::SensorSim> sim_;
  TempDir dir_;
};

class Cli : public ::testing::TestWithParam<bool>, public WithSim {
 protected:
  void SetUp() override { StartFor(GetParam()); }
};

TEST_P(Cli, GetSendVerifyRoundTripAndAChangedValueIsNamed) {
  const std::string file = dir_ / "Parameter.ini";
  CliResult get = Call({"get", "-o", file});
  ASSERT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "");
  EXPECT_EQ(Call({"get"}).out, FileBytes(file));  // standard output holds the same file
  CliResult same = Call({"verify", file});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "");

  WriteFile(file, SetItem(FileBytes(file), "POWER", "734"));
  CliResult differs = Call({"verify", file});
  EXPECT_EQ(differs.status, 1);
  EXPECT_EQ(differs.out, "POWER\t500\t734\n");
  EXPECT_TRUE(Contains(differs.err, "1 value differs")) << differs.err;

  sim_->ClearLog();
  CliResult send = Call({"send", file});
  EXPECT_EQ(send.status, 0) << send.err;
  EXPECT_EQ(Orders(*sim_), (OrderList{{7, 0}, {1, 0}, {1, 2}}));
  EXPECT_EQ(sim_->RamSet(0).para[sim::POWER], 734);
  EXPECT_EQ(Call({"verify", file}).status, 0);
}

TEST_P(Cli, DryRunListsExactlyTheChangedKeysAndSendsNothing) {
  const std::string file = dir_ / "Parameter.ini";
  ASSERT_EQ(Call({"get", "-o", file}).status, 0);
  const sim::ParaSet before = sim_->EepromSet(0);
  std::string ini = SetItem(FileBytes(file), "POWER", "734");
  ini = SetItemIn(ini, "TEACH VECTOR 3", "CELL 2", "777");
  WriteFile(file, ini);
  sim_->ClearLog();
  CliResult dry = Call({"send", file, "--dry-run", "--eeprom"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out, "POWER\t500\t734\nTEACH VECTOR 3 CELL 2\t" + std::to_string(before.teach[3 * 8 + 2]) + "\t777\n");
  EXPECT_TRUE(Contains(dry.err, "order 4 loads")) << dry.err;
  EXPECT_EQ(Orders(*sim_), (OrderList{{7, 0}, {4, 0}, {2, 0}, {2, 2}}));
  EXPECT_EQ(sim_->EepromSet(0).para, before.para);
}

TEST_P(Cli, AFileWithMissingItemsIsSentWithDefaultsAndTheListsOnStandardError) {
  sim::ParaSet set = sim_->RamSet(0);
  set.para[sim::GAIN] = 2;
  set.teach[5 * 8 + sim::CELL0] = 300;
  sim_->SetRamSet(0, set);
  const std::string file = dir_ / "Parameter.ini";
  ASSERT_EQ(Call({"get", "-o", file}).status, 0);
  std::string ini = FileBytes(file);
  for (const std::string line : {"GAIN = 2\r\n", "EXTERN TEACH = 0\r\n"}) ini.erase(ini.find(line), line.size());
  const std::size_t row = ini.find("[TEACH VECTOR 5]"), next = ini.find("[TEACH VECTOR 6]");
  ini.erase(row, next - row);
  WriteFile(file, ini);
  CliResult send = Call({"send", file});
  EXPECT_EQ(send.status, 0) << send.err;
  EXPECT_TRUE(Contains(send.err, "Following parameter could not be read \nand where set to default value:\n\nEXTEACH\nGAIN\n"))
      << send.err;
  EXPECT_TRUE(Contains(send.err, "Following teach vectors could not be read \nand where set to default value:\n\n"
                                 "TEACH VECTOR 5\n"))
      << send.err;
  const sim::ParaSet sent = sim_->RamSet(0);
  EXPECT_EQ(sent.para[sim::GAIN], 5);
  const std::vector<std::uint16_t> row5(sent.teach.begin() + 40, sent.teach.begin() + 47);
  EXPECT_EQ(row5, (std::vector<std::uint16_t>{1, 1, 1, 1, 1, 0, 10}));
}

TEST_P(Cli, AFileOfAnotherTypeIsRefusedUnlessYesAndAnUnreadableOneBeforeConnecting) {
  const std::string file = dir_ / "Other.ini";
  WriteFile(file, "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n");
  CliResult refused = Call({"send", file});
  EXPECT_EQ(refused.status, 4);
  EXPECT_TRUE(Contains(refused.err, "Selected file is not a parameter file! \nDo you want to proceed anyway?"));
  EXPECT_TRUE(Contains(refused.err, "No parameter where read!")) << refused.err;
  EXPECT_EQ(Call({"verify", file}).status, 4);
  EXPECT_EQ(Orders(*sim_), (OrderList{{7, 0}, {7, 0}, {2, 0}, {2, 2}}));

  sim_->ClearLog();
  CliResult taken = Call({"send", file, "--yes"});
  EXPECT_EQ(taken.status, 0) << taken.err;
  EXPECT_TRUE(Contains(taken.err, "Following teach vectors could not be read")) << taken.err;
  EXPECT_EQ(Orders(*sim_), (OrderList{{7, 0}, {1, 0}, {1, 2}}));

  sim_->ClearLog();
  CliResult missing = Call({"send", dir_ / "none.ini"});
  EXPECT_EQ(missing.status, 4);
  EXPECT_TRUE(Contains(missing.err, "none.ini")) << missing.err;
  EXPECT_EQ(sim_->OrderCount(), 0u);
}

TEST_P(Cli, ThePlausibilityNoticeAfterASendGivesFive) {
  const std::string file = dir_ / "Parameter.ini";
  ASSERT_EQ(Call({"get", "-o", file}).status, 0);
  std::string ini = FileBytes(file);
  for (int row = 0; row < 3; ++row) ini = SetItemIn(ini, "TEACH VECTOR " + std::to_string(row), "CELL 0", "60000");
  WriteFile(file, ini);
  CliResult send = Call({"send", file});
  EXPECT_EQ(send.status, 5);
  EXPECT_TRUE(Contains(send.err, "INFO!\n3 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!"))
      << send.err;
}

TEST_P(Cli, WatchLinesAreReadByPythonsJsonAndCsvModules) {
  const std::string script = dir_ / "read.py";
  WriteFile(script,
            "import csv, datetime, json, sys\n"
            "titles = ['RED', 'GREEN', 'BLUE', 'X s', 'Y i', 'INT M', 'delta C', 'COLOR', 'GROUP', 'TRIGGER', 'TEMP']\n"
            "kind, path = sys.argv[1], sys.argv[2]\n"
            "with open(path, newline='') as f:\n"
            "    rows = [json.loads(l) for l in f] if kind == 'jsonl' else list(csv.DictReader(f))\n"
            "assert len(rows) == 5, rows\n"
            "for r in rows:\n"
            "    assert list(r) == ['time'] + titles, list(r)\n"
            "    t = datetime.datetime.fromisoformat(r['time'])\n"
            "    assert t.utcoffset() is not None and len(r['time']) == 29, r['time']\n"
            "    assert all(int(r[k]) == float(r[k]) for k in titles)\n"
            "print('read', kind)\n");
  for (const std::string format : {"jsonl", "csv"}) {
    CliResult watch = Call({"watch", "--count", "5", "--format", format});
    ASSERT_EQ(watch.status, 0) << watch.err;
    WriteFile(dir_ / "frames", watch.out);
    CliProcess python({script, format, dir_ / "frames"}, {}, "/usr/bin/python3");
    CliResult read = python.Wait();
    EXPECT_EQ(read.status, 0) << read.err << watch.out;
    EXPECT_EQ(read.out, "read " + format + "\n");
  }
}

TEST_P(Cli, ASensorThatStopsAnsweringDuringWatchGivesThreeAndWholeLines) {
  // Over TCP the server closes the connection at the sixth frame; on the serial line the sixth
  // frame gets no answer (the 3 s time limit runs out).
  const sim::FaultKind kind = GetParam() ? sim::FaultKind::NoAnswer : sim::FaultKind::CloseBeforeAnswer;
  sim_->AddFault(sim::FaultRule{8, kind, 6, -1});
  CliResult watch = Call({"watch"});
  EXPECT_EQ(watch.status, 3);
  EXPECT_TRUE(Contains(watch.err, GetParam() ? "TIMEOUT! \nNO DATA RECEIVED!" : "SERVER HAS CLOSED CONNECTION!"))
      << watch.err;
  const std::vector<std::string> lines = Lines(watch.out);
  ASSERT_EQ(lines.size(), 6u) << watch.out;  // the header and five frames
  EXPECT_EQ(watch.out.back(), '\n');
  for (const std::string& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 11) << line;
}

TEST_P(Cli, SigintEndsWatchAfterItsFrame) {
  CliProcess watch(Join({"watch"}, Reach()));
  ASSERT_TRUE(sim_->WaitForOrders(50, std::chrono::seconds(10)));
  watch.Signal(SIGINT);
  CliResult r = watch.Wait();
  EXPECT_EQ(r.status, 130) << r.err;
  // Every frame that was asked for was printed, whole.
  std::size_t frames = 0;
  for (const auto& o : sim_->Orders()) frames += o.order == 8 ? 1 : 0;
  const std::vector<std::string> lines = Lines(r.out);
  EXPECT_EQ(lines.size(), frames + 1);
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(std::count(lines.back().begin(), lines.back().end(), '\t'), 11);
}

TEST_P(Cli, SigintStopsATriggeredRecordingWithOrderThirtyAndWholeLines) {
  sim_->SetTriggerRate(50.0);
  const std::string file = dir_ / "RecordFile.dat";
  CliProcess record(Join({"record", file, "--triggered", "--panel-id", "CABINET 7"}, Reach()));
  ASSERT_TRUE(Eventually([&] { return Lines(FileBytes(file)).size() >= 8; }));
  record.Signal(SIGINT);
  CliResult r = record.Wait();
  EXPECT_EQ(r.status, 130) << r.err;
  const OrderList orders = Orders(*sim_);
  EXPECT_EQ(orders, (OrderList{{7, 0}, {30, 1}, {30, 0}}));
  const std::string text = FileBytes(file);
  EXPECT_EQ(text.rfind("\nRECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2\r\nPANEL ID: CABINET 7\r\n\r\nDATE\t", 0), 0u);
  const std::vector<std::string> lines = Lines(text);
  for (std::size_t i = 4; i < lines.size(); ++i) {
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 12) << lines[i];
    EXPECT_EQ(lines[i].back(), '\r');
  }
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_P(Cli, AnArmedCaptureIsBrokenOffBySigintAndByItsTimeLimit) {
  const std::string file = dir_ / "capture.csv";
  CliProcess scope(Join({"scope", "-o", file, "--trigger", "external"}, Reach()));
  ASSERT_TRUE(Eventually([&] { return Orders(*sim_).size() >= 3; }));  // 7, 105, 110 with 1
  scope.Signal(SIGINT);
  CliResult interrupted = scope.Wait();
  EXPECT_EQ(interrupted.status, 130) << interrupted.err;
  EXPECT_EQ(Orders(*sim_), (OrderList{{7, 0}, {105, 0}, {110, 1}, {110, 0}}));
  EXPECT_FALSE(FileExists(file));

  sim_->ClearLog();
  CliResult late = Call({"scope", "-o", file, "--trigger", "external", "--seconds", "0.3"});
  EXPECT_EQ(late.status, 3);
  EXPECT_TRUE(Contains(late.err, "no trigger within 0.3 s")) << late.err;
  EXPECT_EQ(Orders(*sim_), (OrderList{{7, 0}, {105, 0}, {110, 1}, {110, 0}}));
  EXPECT_FALSE(FileExists(file));
}

INSTANTIATE_TEST_SUITE_P(Transports, Cli, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Tcp"; });

// [SECTION] Not for each transport

class CliTcp : public ::testing::Test, public WithSim {
 protected:
  void SetUp() override { StartFor(false); }
};

TEST_F(CliTcp, ARecordFileThatExistsNeedsAppendOrOverwrite) {
  const std::string file = dir_ / "RecordFile.dat";
  WriteFile(file, "OLD\r\n");
  CliResult refused = Call({"record", file, "--count", "2"});
  EXPECT_EQ(refused.status, 4);
  EXPECT_TRUE(Contains(refused.err, "--append")) << refused.err;
  EXPECT_EQ(FileBytes(file), "OLD\r\n");
  EXPECT_EQ(sim_->OrderCount(), 0u);  // refused before connecting

  CliResult appended = Call({"record", file, "--count", "2", "--interval", "0", "--append"});
  EXPECT_EQ(appended.status, 0) << appended.err;
  EXPECT_TRUE(Contains(appended.err, "an interval of 0 s is below the shortest: recording every 0.25 s"));
  std::vector<std::string> lines = Lines(FileBytes(file));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "OLD\r");
  EXPECT_EQ(std::count(lines[2].begin(), lines[2].end(), '\t'), 12);

  CliResult replaced = Call({"record", file, "--count", "1", "--overwrite"});
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  const std::string text = FileBytes(file);
  EXPECT_EQ(text.rfind("\nRECORD RESULTS OF: CHROMIK4-ANA-Scope V1.2\r\n\r\nDATE\tTIME\tRED\t", 0), 0u) << text;
  EXPECT_EQ(Lines(text).size(), 5u);
}

TEST_F(CliTcp, UsageErrorsGiveTwoWithOneLineAndTheUsageBeforeConnecting) {
  const std::vector<std::vector<std::string>> cases = {
      {"frobnicate"},
      {"identify", "--bogus"},
      {"watch", "--count", "0"},
      {"watch", "--count", "-1"},
      {"watch", "--format", "xml"},
      {"get", "--dry-run"},
      {"send"},
      {"scope"},
      {"baud", "38400", "--tcp", "127.0.0.1"},
      {"record", "f.dat", "--count", "70000"},
      {"scope", "-o", "f.csv", "--pre-trigger", "128"},
  };
  for (const auto& args : cases) {
    CliResult r = Call(args);
    EXPECT_EQ(r.status, 2) << args[0] << " " << r.err;
    EXPECT_EQ(r.out, "");
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 2u) << r.err;
    EXPECT_EQ(lines[0].rfind("chromik4-ana-cli: ", 0), 0u) << r.err;
    EXPECT_EQ(lines[1].rfind("Usage: chromik4-ana-cli ", 0), 0u) << r.err;
  }
  EXPECT_EQ(sim_->OrderCount(), 0u);
}

TEST_F(CliTcp, AnUnreachableSensorGivesThreeWithTheMessageWithinTheConnectLimit) {
  // A port nobody listens on: refused at once.
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
  close(s);
  CliResult refused = RunCli({"identify", "--tcp", "127.0.0.1:" + std::to_string(ntohs(a.sin_port))});
  EXPECT_EQ(refused.status, 3);
  EXPECT_TRUE(Contains(refused.err, "FailedToConnect")) << refused.err;
  // An address of the documentation range: no route, or no answer until the limit of 5 s.
  CliResult nowhere = RunCli({"identify", "--tcp", "192.0.2.1"});
  EXPECT_EQ(nowhere.status, 3);
  EXPECT_LT(nowhere.seconds, 8.0);
  EXPECT_TRUE(std::regex_search(nowhere.err, std::regex("TimeOutError|UnableToEstablishConnection|FailedToConnect")))
      << nowhere.err;
  CliResult noDevice = RunCli({"identify", "--serial", dir_ / "ttyUSB-none"});
  EXPECT_EQ(noDevice.status, 3);
  EXPECT_TRUE(Contains(noDevice.err, "No serial port found")) << noDevice.err;
}

TEST_F(CliTcp, ASecondSigintEndsAWaitThatCannotStopAtOnce) {
  sim_->HoldAnswersAfter(0);  // the identification waits for its answer, 3 s at most
  CliProcess identify(Join({"identify"}, Reach()));
  ASSERT_TRUE(sim_->WaitForOrders(1, std::chrono::seconds(10)));
  identify.Signal(SIGINT);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  identify.Signal(SIGINT);
  CliResult r = identify.Wait();
  EXPECT_EQ(r.status, 130);
  EXPECT_LT(r.seconds, 2.5);
  sim_->ReleaseAnswers();
}

TEST_F(CliTcp, TwoInstancesWorkAgainstTwoSimulatorsAtOnce) {
  auto serialSim = StartSim(true);
  const std::string file = dir_ / "RecordFile.dat";
  CliProcess watch(Join({"watch", "--seconds", "1"}, Reach()));
  CliProcess record(Join({"record", file, "--count", "4", "--interval", "0.25"}, clitest::Reach(*serialSim, true)));
  CliResult watched = watch.Wait(), recorded = record.Wait();
  EXPECT_EQ(watched.status, 0) << watched.err;
  EXPECT_EQ(recorded.status, 0) << recorded.err;
  EXPECT_EQ(Orders(*serialSim), (OrderList{{7, 0}, {8, 0}, {8, 0}, {8, 0}, {8, 0}}));
  EXPECT_EQ(Lines(FileBytes(file)).size(), 8u);
  EXPECT_EQ(Lines(watched.out).size(), sim_->OrderCount());  // the header, and a line per order 8
}

TEST_F(CliTcp, WithoutConnectionOptionsTheWindowsSavedSettingsAreReadNeverWritten) {
  // A copy of the program in a folder of its own: its settings file lies beside it.
  const std::string program = dir_ / "chromik4-ana-cli";
  ASSERT_EQ(std::system(("cp '" + std::string(CHROMIK_CLI_PATH) + "' '" + program + "'").c_str()), 0);
  CliProcess none({"identify"}, {}, program);
  CliResult missing = none.Wait();
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(Contains(missing.err, "no saved communication settings in " + dir_.Path() + "/PanelSettings.cfg"))
      << missing.err;

  const std::string settings = "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n[COMMUNICATION SETTINGS]\r\n"
                               "COMPROTOCOL = 1\r\nIP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" +
                               std::to_string(sim_->Port()) + "\"\r\n\r\n";
  WriteFile(dir_ / "PanelSettings.cfg", settings);
  CliProcess saved({"identify"}, {}, program);
  CliResult identified = saved.Wait();
  EXPECT_EQ(identified.status, 0) << identified.err;
  EXPECT_EQ(identified.out, std::string(sim::DEFAULT_ID_TEXT) + "\n");
  CliProcess baud({"baud", "9600"}, {}, program);
  EXPECT_EQ(baud.Wait().status, 2);  // the saved settings are TCP/IP
  EXPECT_EQ(FileBytes(dir_ / "PanelSettings.cfg"), settings);
}

}  // namespace
