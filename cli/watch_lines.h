// The lines `watch` prints: one per measured frame, the record file's eleven values named
// by its column titles ("DATE" and "TIME" become one field "time", ISO 8601 with
// milliseconds and the offset from UTC), as TSV, CSV or JSON lines; and the buffer that
// hands only whole lines to standard output.
#pragma once

#include <chrono>
#include <string>

#include "cli/cli_options.h"
#include "measurement/measured_values.h"

namespace cli {

// The header line of tsv and csv ("" for jsonl), "\n" included.
std::string WatchHeader(WatchFormat format);
// One frame's line, "\n" included, appended to *out.
void AppendWatchLine(std::string* out, WatchFormat format, const std::string& time, const MeasuredValuesRecord& m);

// "2025-03-14T09:26:53.589+01:00": local time with milliseconds and its offset from UTC.
// The text of the second is kept and reused while the second lasts.
class IsoClock {
 public:
  std::string Text(std::chrono::system_clock::time_point t);

 private:
  long long second_ = -1;  // the second `prefix_` and `offset_` belong to
  std::string prefix_;     // "2025-03-14T09:26:53"
  std::string offset_;     // "+01:00"
};

// Collects whole lines and writes them to a descriptor: at once on a terminal, otherwise
// when 4 KB have gathered or the oldest line waited 50 ms (Due), so a pipe sees frames
// promptly and a fast sensor is not slowed by a write per frame. A line is never cut.
class LineOutput {
 public:
  explicit LineOutput(int fd);
  // Adds one or more whole lines; 1, or -1 when a write failed (errno says why).
  int Add(const std::string& lines, double now);
  // Whether waiting lines are old enough to go out now.
  bool Due(double now) const { return !pending_.empty() && now - since_ >= 0.05; }
  int Flush();

 private:
  int fd_;
  bool terminal_;
  std::string pending_;  // whole lines not yet written
  double since_ = 0;     // when the oldest of them was added
};

}  // namespace cli
