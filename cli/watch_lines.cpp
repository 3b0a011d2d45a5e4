// Lines of measured frames for standard output.
#include "cli/watch_lines.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "recorder/recorder.h"

namespace cli {
namespace {

constexpr int kFirstValue = 2;  // RecordColumnTitles: DATE, TIME, then the values

char Separator(WatchFormat format) { return format == WatchFormat::Csv ? ',' : '\t'; }

}  // namespace

std::string WatchHeader(WatchFormat format) {
  if (format == WatchFormat::Jsonl) return "";
  std::string h = "time";
  for (int i = kFirstValue; i < RECORD_COLUMNS; ++i) {
    h += Separator(format);
    h += RecordColumnTitles[i];
  }
  h += '\n';
  return h;
}

void AppendWatchLine(std::string* out, WatchFormat format, const std::string& time, const MeasuredValuesRecord& m) {
  if (format != WatchFormat::Jsonl) {
    *out += time;
    *out += Separator(format);
    AppendRecordValues(out, m, Separator(format));
    *out += '\n';
    return;
  }
  // The record line's values, each under its column title.
  std::string values;
  AppendRecordValues(&values, m, '\t');
  *out += "{\"time\":\"";
  *out += time;
  *out += '"';
  std::string_view rest = values;
  for (int i = kFirstValue; i < RECORD_COLUMNS; ++i) {
    const std::size_t tab = rest.find('\t');
    *out += ",\"";
    *out += RecordColumnTitles[i];
    *out += "\":";
    *out += rest.substr(0, tab);
    rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
  }
  *out += "}\n";
}

std::string IsoClock::Text(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const long long ms = duration_cast<milliseconds>(t.time_since_epoch()).count();
  const long long second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
  if (second != second_) {
    const std::time_t s = static_cast<std::time_t>(second);
    std::tm local{};
    localtime_r(&s, &local);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
    prefix_ = buf;
    const long offset = local.tm_gmtoff;
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    std::snprintf(buf, sizeof buf, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    offset_ = buf;
    second_ = second;
  }
  char millis[8];
  std::snprintf(millis, sizeof millis, ".%03d", static_cast<int>(ms - second * 1000));
  return prefix_ + millis + offset_;
}

LineOutput::LineOutput(int fd) : fd_(fd), terminal_(isatty(fd) == 1) {}

int LineOutput::Add(const std::string& lines, double now) {
  if (pending_.empty()) since_ = now;
  pending_ += lines;
  if (terminal_ || pending_.size() >= 4096 || now - since_ >= 0.05) return Flush();
  return 1;
}

int LineOutput::Flush() {
  std::string_view rest = pending_;
  while (!rest.empty()) {
    const ssize_t n = write(fd_, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  pending_.clear();
  return 1;
}

}  // namespace cli
