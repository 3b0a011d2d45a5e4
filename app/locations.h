// Where the program keeps its settings and looks for its own data.
//
// A copy run from a folder of its own keeps its settings beside the program.
// An installed copy cannot write there (/usr/bin, /opt/...), so it keeps them
// in the user's configuration folder instead, and records go to the home folder.
#pragma once

#include <string>

// Folder name below the user's configuration folder.
constexpr const char* CONFIG_FOLDER_NAME = "chromik4-ana-scope";

// The two folders the program writes to by default.
struct FilePlaces {
  std::string project;  // "PanelSettings.cfg"; default folder of parameter, table attributes, hardware files
  std::string records;  // default folder of the record file
};

// The decision on its own: the program's directory when it is writable, else
// xdgConfigHome (when absolute) or home + "/.config", below it CONFIG_FOLDER_NAME;
// records then go to home. Empty inputs count as unset.
FilePlaces ChooseFilePlaces(const std::string& programDir, bool programDirWritable, const std::string& xdgConfigHome,
                            const std::string& home);

// The decision for this process: ProgramDirectory(), its writability now,
// $XDG_CONFIG_HOME and $HOME (or the password database). The configuration
// folder is created when it is chosen and missing.
FilePlaces CurrentFilePlaces();
// The same decision without creating anything: where a reader looks (the command line
// reads the window's settings and never writes there).
FilePlaces FindFilePlaces();

// A data file of the program ("logo.png"): beside the executable in the build
// folder, or in the installed data folder relative to it; the first candidate
// when neither exists, so that a report names where it was looked for.
std::string ProgramDataFile(const std::string& name);

// Creates `path` and its missing parents (mode 0700, as for configuration folders); true when it is a directory afterwards.
bool MakeDirectories(const std::string& path);
