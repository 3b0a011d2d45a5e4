// Utility functions of the runtime: dates, paths, files, busy cursor.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <ctime>

#include "ui/face.h"
#include "ui/model.h"

namespace {

std::string& ProgramDir() {
  static std::string dir;
  return dir;
}

std::tm LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

std::string DateStr() {
  std::tm tm = LocalNow();
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
  return buf;
}

std::string TimeStr() {
  std::tm tm = LocalNow();
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

std::string ProgramDirectory() {
  std::string& dir = ProgramDir();
  if (dir.empty()) {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
      buf[n] = '\0';
      std::string exe(buf);
      std::size_t slash = exe.rfind('/');
      if (slash == std::string::npos) dir.assign(1, '.');
      else if (slash == 0) dir.assign(1, '/');
      else dir = exe.substr(0, slash);
    } else {
      dir.assign(1, '.');
    }
  }
  return dir;
}

void SetProgramDirectory(const std::string& directory) {
  std::string dir = directory;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  ProgramDir() = dir;
}

void SplitPath(const std::string& path, std::string* drive, std::string* directory, std::string* fileName) {
  std::size_t slash = path.rfind('/');
  if (drive) drive->clear();
  if (directory) *directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  if (fileName) *fileName = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FileExists(const std::string& path, long long* size) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    if (size) *size = -1;
    return false;
  }
  if (size) *size = static_cast<long long>(st.st_size);
  return true;
}

int DeleteFileAtPath(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : -1; }

void SetWaitCursor(int on) {
  ui::TheModel().waitCursor = on ? 1 : 0;
  ui::CurrentFace().WaitCursorChanged(on ? 1 : 0);
}

int GetWaitCursor() { return ui::TheModel().waitCursor; }

void GetScreenSize(int* height, int* width) {
  const ui::ScreenArea a = ui::CurrentFace().UsableArea();
  if (height) *height = a.height;
  if (width) *width = a.width;
}

void GetScreenUsableArea(int* top, int* left, int* height, int* width) {
  const ui::ScreenArea a = ui::CurrentFace().UsableArea();
  if (top) *top = a.top;
  if (left) *left = a.left;
  if (height) *height = a.height;
  if (width) *width = a.width;
}
