// One run of the command line: the window's program logic started headless (its panels live
// in the runtime's model and are never shown), the connection as the options or the window's
// saved settings say, the identification, and the interruption by SIGINT.
#pragma once

#include <string>

#include "cli/cli_face.h"
#include "cli/cli_options.h"

namespace cli {

// Loads the window's panels and sets the program state as the window's start-up does before
// it connects (flags, tab pages, the parameter set from the controls, the mode rules); the
// command line's face answers as `answers` say; SIGINT and SIGTERM are caught.
// EXIT_DONE, or EXIT_COMMUNICATION when the panels could not be built (reported).
int StartProgram(const Answers& answers);

// The connection into the connection page's controls: from --tcp or --serial, or the window's
// saved communication settings. EXIT_DONE, or EXIT_USAGE (reported) when there are none.
int SetConnection(const CliOptions& options);
// Opens the transport as TRY TO CONNECT does and sends order 7 alone. EXIT_DONE, or
// EXIT_COMMUNICATION with the program's message on standard error.
int Connect();
// Whether the connection page's transport selector says TCP/IP.
bool ConnectionIsTcp();

// A value for a numeric control lies within the control's range: EXIT_DONE, or EXIT_USAGE
// with the reason and the usage line.
int CheckRange(Command command, int panel, int control, double value, const char* option);
// The reason and the usage line on standard error; EXIT_USAGE.
int UsageError(Command command, const std::string& reason);

// A communication failure was reported since the identification (the logic cleared
// SensorConnected): EXIT_COMMUNICATION, with the message box relayed; else EXIT_DONE.
int CommunicationStatus();

// SIGINT or SIGTERM arrived (seen at the next dispatch of events).
bool Interrupted();
// 130 after SIGINT, 143 after SIGTERM.
int InterruptedStatus();

}  // namespace cli
