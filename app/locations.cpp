// Settings folder and data folder of the program.
#include "app/locations.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "ui/ui.h"

#ifndef CHROMIK_DATA_FROM_BIN
#define CHROMIK_DATA_FROM_BIN "../share/chromik4-ana-scope"  // installed data, relative to the executable
#endif

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string HomeDirectory() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  const passwd* pw = getpwuid(getuid());
  return pw && pw->pw_dir ? std::string(pw->pw_dir) : std::string();
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

FilePlaces ChooseFilePlaces(const std::string& programDir, bool programDirWritable, const std::string& xdgConfigHome,
                            const std::string& home) {
  if (programDirWritable) return {programDir, programDir};
  // A relative $XDG_CONFIG_HOME is invalid and is ignored, as the base directory rules say.
  std::string config;
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') config = xdgConfigHome;
  else if (!home.empty()) config = home + "/.config";
  if (config.empty()) return {programDir, programDir};  // nowhere better: a failed write is reported
  while (config.size() > 1 && config.back() == '/') config.pop_back();
  FilePlaces places;
  places.project = config + "/" + CONFIG_FOLDER_NAME;
  places.records = home.empty() ? places.project : home;
  return places;
}

FilePlaces FindFilePlaces() {
  const std::string dir = ProgramDirectory();
  // access() also says no for a read-only mount, where root could otherwise write anything.
  const bool writable = access(dir.c_str(), W_OK) == 0;
  return ChooseFilePlaces(dir, writable, Env("XDG_CONFIG_HOME"), HomeDirectory());
}

FilePlaces CurrentFilePlaces() {
  FilePlaces places = FindFilePlaces();
  if (places.project != ProgramDirectory()) MakeDirectories(places.project);
  return places;
}

std::string ProgramDataFile(const std::string& name) {
  const std::string dir = ProgramDirectory();
  const std::string beside = dir + "/" + name;
  if (FileExists(beside, nullptr)) return beside;
  const std::string installed = dir + "/" + CHROMIK_DATA_FROM_BIN + "/" + name;
  if (FileExists(installed, nullptr)) return installed;
  return beside;
}

bool MakeDirectories(const std::string& path) {
  if (path.empty()) return false;
  if (IsDirectory(path)) return true;
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(path));
}
