// Fault injection: rules that change how an answer goes out on the wire.
//
// A rule matches an order number (or any order) and fires on every matching
// frame or only on the n-th one after it was added. Faults are applied to
// frames that passed both checksums; the order is carried out as usual
// except for the two status kinds, which stand for a sensor that refused it.
//
// Text form (command line): ORDER:KIND[=VALUE][:NTH], ORDER a number or "any",
// e.g. "8:late=3500", "any:split", "2:short-block=20:3".
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class FaultKind {
  NoAnswer,          // no-answer:      nothing is sent
  LateAnswer,        // late=MS:        the whole answer after MS ms (default 3500)
  BadHeaderCrc,      // bad-header-crc: header checksum inverted
  BadStartByte,      // bad-start:      start byte 0x56, header checksum made to match
  BadDataCrc,        // bad-data-crc:   data checksum in the header inverted, header checksum made to match
  Status1,           // status1:        status answer code 1 instead of the answer
  Status2,           // status2:        status answer code 2 instead of the answer
  ShortData,         // short-data=N:   header as normal, then only N data bytes (default half) and silence
  ShortBlock,        // short-block=N:  a correct frame with only the first N data bytes (default half)
  LongBlock,         // long-block=N:   a correct frame with N zero bytes appended to the data (default 16)
  OverlongData,      // over-long=N:    header as normal, data followed by N more bytes (default 16)
  HugeLength,        // huge-length=N:  correct frame announcing N data bytes (default 4096): the data, then zeros
  SplitWrites,       // split=MS:       the answer in writes of 1 to 3 bytes, MS ms apart (default 1)
  CloseBeforeAnswer, // close-before:   the connection is closed instead of answering (serial: no answer)
  ClosePartial,      // close-partial=N: N bytes of the answer (default 8, or half when shorter), then close
  DataDelay,         // data-delay=MS:  header at once, the DataFrame MS ms later (default 3500)
};

constexpr int ANY_ORDER = -1;

struct FaultRule {
  int order = ANY_ORDER;              // order number 0..255, or ANY_ORDER
  FaultKind kind = FaultKind::NoAnswer;  // what happens to the answer
  int nth = 0;                        // 0 = every matching frame; n = only the n-th matching frame
  int value = -1;                     // the kind's number (ms or bytes); -1 = the kind's default
};

const char* FaultKindName(FaultKind kind);
bool ParseFaultRule(std::string_view text, FaultRule* rule, std::string* error);
std::string FaultRuleText(const FaultRule& rule);
// One line per kind, for --help.
std::string FaultKindHelp();

// One write of an answer and the pause before it.
struct WriteStep {
  std::chrono::microseconds pauseBefore{0};  // waited before this write
  std::vector<std::uint8_t> bytes;           // written at once
};

struct AnswerPlan {
  std::vector<WriteStep> steps;  // the writes, in order (none = no answer)
  bool closeAfter = false;       // close the connection after the last step
};

// The writes of `answer` (header and data) under `rule` (null = none).
// `rng` feeds the piece sizes of split writes.
AnswerPlan PlanAnswer(const std::vector<std::uint8_t>& answer, const FaultRule* rule, std::uint64_t& rng);

// The rules in force and how many frames each has matched.
class FaultSet {
 public:
  void Add(const FaultRule& rule);
  void Clear() { rules_.clear(); }
  bool Empty() const { return rules_.empty(); }
  // Counts the frame against every rule for `order`; returns the first rule
  // that fires (copied into `fired`), false when none does.
  bool Match(std::uint8_t order, FaultRule* fired);

 private:
  struct Entry {
    FaultRule rule;  // as added
    int seen = 0;    // matching frames since it was added
  };
  std::vector<Entry> rules_;  // in the order they were added
};

}  // namespace sim
