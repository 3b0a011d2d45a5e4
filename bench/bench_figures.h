// Figures the benchmarks print: memory of this process and lines of a file.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

// Peak resident memory of this process in kB.
inline long PeakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// Resident memory now, in kB.
inline long ResidentKilobytes() {
  std::ifstream in("/proc/self/statm");
  long pages = 0, resident = 0;
  in >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// LF bytes in the file; -1 when it cannot be read.
inline long long CountLines(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  long long n = 0;
  char buf[65536];
  std::size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    for (std::size_t i = 0; i < got; ++i) n += buf[i] == '\n';
  }
  std::fclose(f);
  return n;
}

}  // namespace bench
