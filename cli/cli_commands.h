// The commands of chromik4-ana-cli. Each runs after the program was started and the
// connection set (cli_session.h): it checks what it can without the sensor, connects and
// identifies (order 7 alone), then does what the window does for the same operation, through
// the same functions. Each returns the program's exit status (cli_options.h).
#pragma once

#include "cli/cli_options.h"

namespace cli {

int RunIdentify(const CliOptions& options);
int RunGet(const CliOptions& options);
int RunSend(const CliOptions& options);
int RunVerify(const CliOptions& options);
int RunWatch(const CliOptions& options);
int RunRecord(const CliOptions& options);
int RunScope(const CliOptions& options);
int RunCycleTime(const CliOptions& options);
int RunBaud(const CliOptions& options);
int RunHardwareFile(const CliOptions& options);

}  // namespace cli
