// get, send and verify: the parameter set between the sensor and a parameter file.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "app/program_state.h"
#include "app/uir.h"
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "parameters/changes.h"
#include "parameters/ini.h"
#include "parameters/parameter_file.h"
#include "parameters/parameter_panel.h"
#include "parameters/transfer.h"
#include "ui/ui.h"

namespace cli {
namespace {

// The memory and the parameter set the options ask for, as the selectors of the main window
// hold them. The window lets the operator pick ParaSet1 only while TRIGGER is PARA and its mode
// rules fall back to ParaSet0 otherwise; here the set is the one --set names, whatever the
// TRIGGER of the set just read or loaded: sending to another set than asked would overwrite it.
void SelectTransfer(const CliOptions& o) {
  State.MemorySelection = static_cast<std::uint16_t>(o.memory);
  State.ParameterSetIndex = static_cast<std::uint16_t>(o.parameterSet);
  SetCtrlVal(Panels.Mainp, MAINP_RAM, o.memory == MEMORY_RAM ? 1 : 0);
  SetCtrlVal(Panels.Mainp, MAINP_EEPROM, o.memory == MEMORY_EEPROM ? 1 : 0);
  SetCtrlVal(Panels.Mainp, MAINP_FILE, 0);
  SetCtrlVal(Panels.Mainp, MAINP_PARASET0, o.parameterSet == 0 ? 1 : 0);
  SetCtrlVal(Panels.Mainp, MAINP_PARASET1, o.parameterSet == 1 ? 1 : 0);
}

void SayEepromLoad(const CliOptions& o) {
  if (o.memory == MEMORY_EEPROM) Say("reading the EEPROM: order 4 loads its parameter set into the sensor's RAM first");
}

// EXIT_DONE when the file can be read; otherwise the reason and EXIT_FILE. The window's reader
// would take an unreadable file as an empty one and ask whether it is a parameter file.
int CheckReadable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (in) return EXIT_DONE;
  Say("cannot read " + path + ": " + std::strerror(errno));
  return EXIT_FILE;
}

// One line per value: KEY, the first set's value, the second's, parted by TABs.
void PrintDifferences(const std::vector<ParameterDifference>& differences) {
  for (const ParameterDifference& d : differences) {
    std::printf("%s\t%u\t%u\n", d.key.c_str(), static_cast<unsigned>(d.first), static_cast<unsigned>(d.second));
  }
  std::fflush(stdout);
}

// The sensor's set (orders 4 for the EEPROM, 2 and 2) without touching the panel.
int ReadSensorSet(const CliOptions& o, ParameterSetRecord* sensor) {
  SelectTransfer(o);
  SayEepromLoad(o);
  const int read = ReadParametersFromSensor();
  RelayMessageBox();
  if (read != 1) return EXIT_COMMUNICATION;
  *sensor = ParameterSet;
  return EXIT_DONE;
}

int WriteToStandardOutput(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Say(std::string("cannot write to standard output: ") + std::strerror(errno));
      return EXIT_FILE;
    }
    done += static_cast<std::size_t>(n);
  }
  return EXIT_DONE;
}

}  // namespace

int RunGet(const CliOptions& o) {
  FaceAnswers().file = o.file;
  if (const int status = Connect(); status != EXIT_DONE) return status;
  SelectTransfer(o);
  SayEepromLoad(o);
  const int got = GetParameters();
  RelayMessageBox();
  if (got != 1) return EXIT_COMMUNICATION;
  if (Interrupted()) return InterruptedStatus();
  if (o.file.empty()) {
    // What FILE SEND would write, byte for byte.
    ReadParametersFromPanel();
    return WriteToStandardOutput(IniSerialize(ParameterFileDocument(ParameterSet)));
  }
  // FILE SEND: its dialog takes the file from -o.
  return WriteParameterFile() == 1 ? EXIT_DONE : EXIT_FILE;
}

int RunSend(const CliOptions& o) {
  if (const int status = CheckReadable(o.file); status != EXIT_DONE) return status;
  FaceAnswers().file = o.file;
  FaceAnswers().yes = o.yes;
  if (const int status = Connect(); status != EXIT_DONE) return status;
  ParameterSetRecord sensor{};
  if (o.dryRun) {
    if (const int status = ReadSensorSet(o, &sensor); status != EXIT_DONE) return status;
  }
  // FILE GET: the file through the panel, its reports on standard error.
  SelectTransfer(o);
  if (ReadParameterFile() != 1) return EXIT_FILE;
  if (State.ParameterSetIndex != o.parameterSet) {
    Say("TRIGGER is not PARA after the mode rules, where the window selects ParaSet0; sending to parameter set 1 "
        "as --set 1 asks");
    SelectTransfer(o);
  }
  if (Interrupted()) return InterruptedStatus();
  if (o.dryRun) {
    ParameterSetRecord wouldSend = ParameterSet;
    ReadPanelInto(&wouldSend);
    PrintDifferences(CompareParameterSets(sensor, wouldSend));
    return EXIT_DONE;
  }
  const int sent = SendParameters();
  RelayMessageBox();
  if (sent != 1) return EXIT_COMMUNICATION;
  if (Changes.SensorReplaced) return EXIT_REPLACED;
  return Interrupted() ? InterruptedStatus() : EXIT_DONE;
}

int RunVerify(const CliOptions& o) {
  if (const int status = CheckReadable(o.file); status != EXIT_DONE) return status;
  FaceAnswers().yes = o.yes;
  if (const int status = Connect(); status != EXIT_DONE) return status;
  ParameterSetRecord sensor{};
  if (const int status = ReadSensorSet(o, &sensor); status != EXIT_DONE) return status;
  // The file's values as written in it, not as the panel could show them: the sensor holds the
  // file only when it holds those.
  if (LoadParameterFile(o.file) != 1) return EXIT_FILE;
  const std::vector<ParameterDifference> differences = CompareParameterSets(sensor, ParameterSet);
  PrintDifferences(differences);
  if (Interrupted()) return InterruptedStatus();
  if (differences.empty()) return EXIT_DONE;
  Say(std::to_string(differences.size()) + (differences.size() == 1 ? " value differs" : " values differ"));
  return EXIT_DIFFERENCES;
}

}  // namespace cli
