// chromik4-ana-scope: the program with its Qt 6 face.
#include <cstdio>
#include <cstring>

#include "app/Chromik4ANAv12.h"
#include "scope/qt/scope_print.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

#ifndef CHROMIK_VERSION
#define CHROMIK_VERSION "1.2"
#endif

namespace {

// Laid out as help2man reads it (the manual page is made from this text): the lines after
// "Usage:" describe, "Options:" and "Files:" start their sections, two blanks part an
// option from its text.
const char* const kHelp =
    "Usage: chromik4-ana-scope [--help | --version]\n"
    "The operator and configuration program for the CHROMIK4 ANA colour sensor.\n"
    "Everything is set in its window; there are no other options of its own.\n"
    "Qt's common options (such as -platform offscreen or -style Fusion) go to Qt.\n"
    "\n"
    "Keys: F9 Send, F10 Get, F11 GO, F12 STOP.\n"
    "A simulated sensor for trying it out: chromik4-sensor-sim --help.\n"
    "\n"
    "Options:\n"
    "  --help       show this text and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Files:\n"
    "  PanelSettings.cfg  the settings: beside the program when its folder is writable,\n"
    "                     otherwise in $XDG_CONFIG_HOME/chromik4-ana-scope/\n"
    "                     (~/.config/chromik4-ana-scope/)\n";

// The common options of every Qt program (see qt6options(7)), left to Qt: those that
// take a value, as "-option value" or "-option=value", and those that stand alone.
// Qt takes them with one dash or two.
constexpr const char* kQtValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                           "display", "geometry", "style", "stylesheet", "qmljsdebugger",
                                           "dialogs", "fontengine", "name", "title", "visual"};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// How many arguments from argv[i] on are a Qt option (0: none).
int QtOptionLength(int argc, char** argv, int i) {
  const char* arg = argv[i];
  if (arg[0] != '-') return 0;
  const char* name = arg[1] == '-' ? arg + 2 : arg + 1;
  const char* equals = std::strchr(name, '=');
  const std::size_t length = equals ? static_cast<std::size_t>(equals - name) : std::strlen(name);
  for (const char* option : kQtValueOptions) {
    if (std::strlen(option) != length || std::strncmp(name, option, length) != 0) continue;
    return equals || i + 1 >= argc ? 1 : 2;
  }
  for (const char* flag : kQtFlags) {
    if (!equals && std::strcmp(name, flag) == 0) return 1;
  }
  return 0;
}

// Handles the command line before any display is opened; -1 to go on, else the exit status.
int TakeCommandLine(int argc, char** argv) {
  bool help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0) {
      help = true;
    } else if (std::strcmp(arg, "--version") == 0) {
      version = true;
    } else if (const int qt = QtOptionLength(argc, argv, i); qt > 0) {
      i += qt - 1;  // Qt's own, taken by Qt when the display opens
    } else {
      std::fprintf(stderr, "chromik4-ana-scope: %s '%s' (try --help)\n",
                   arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
      return 2;
    }
  }
  if (help) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (version) {
    std::printf("chromik4-ana-scope %s (CHROMIK4-ANA-Scope V1.2)\n", CHROMIK_VERSION);
    return 0;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = TakeCommandLine(argc, argv);
  if (status >= 0) return status;
  if (!ui::qt::Start(argc, argv)) {
    std::fprintf(stderr, "chromik4-ana-scope: no display could be opened\n");
    return -1;
  }
  InstallQtReportPrinting();
  InstallTerminationHandler(OnTerminationSignal);
  const int result = RunProgram();
  ui::qt::Stop();
  return result;
}
