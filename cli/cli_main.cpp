// chromik4-ana-cli: the command-line companion of the window, on the same program logic.
#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "com232/link.h"

#ifndef CHROMIK_VERSION
#define CHROMIK_VERSION "1.2"
#endif

namespace {

int RunCommand(const cli::CliOptions& o) {
  using cli::Command;
  switch (o.command) {
    case Command::Identify: return cli::RunIdentify(o);
    case Command::Get: return cli::RunGet(o);
    case Command::Send: return cli::RunSend(o);
    case Command::Verify: return cli::RunVerify(o);
    case Command::Watch: return cli::RunWatch(o);
    case Command::Record: return cli::RunRecord(o);
    case Command::Scope: return cli::RunScope(o);
    case Command::CycleTime: return cli::RunCycleTime(o);
    case Command::Baud: return cli::RunBaud(o);
    case Command::HardwareFile: return cli::RunHardwareFile(o);
    case Command::None: break;
  }
  return cli::EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv) {
  cli::CliOptions options;
  std::string error;
  if (cli::ParseCommandLine(argc, argv, &options, &error) != cli::EXIT_DONE) {
    std::fprintf(stderr, "chromik4-ana-cli: %s\n%s\n", error.c_str(), cli::UsageLine(options.command).c_str());
    return cli::EXIT_USAGE;
  }
  if (options.help) {
    std::fputs(cli::CommandHelp(options.command).c_str(), stdout);
    return cli::EXIT_DONE;
  }
  if (options.version) {
    std::printf("chromik4-ana-cli %s (CHROMIK4-ANA-Scope V1.2)\n", CHROMIK_VERSION);
    return cli::EXIT_DONE;
  }
  int status = cli::StartProgram(cli::Answers{});
  if (status == cli::EXIT_DONE) status = cli::SetConnection(options);
  if (status == cli::EXIT_DONE) status = RunCommand(options);
  // An interruption is what ended the run, whatever the command made of it; a file that could
  // not be written is still said.
  if (cli::Interrupted() && status != cli::EXIT_FILE) status = cli::InterruptedStatus();
  // Closing the serial port gives the driver back the settings its opening changed.
  CloseSensorLink();
  std::fflush(stdout);
  return status;
}
