#include "sim/faults.h"

#include <algorithm>
#include <charconv>

#include "com232/frame_format.h"
#include "sim/sensor_core.h"

namespace sim {
namespace {

struct KindInfo {
  FaultKind kind;
  const char* name;
  int defaultValue;  // -1: derived from the answer, or no value
  const char* help;
};

constexpr KindInfo kKinds[] = {
    {FaultKind::NoAnswer, "no-answer", -1, "nothing is sent"},
    {FaultKind::LateAnswer, "late", 3500, "=MS: the whole answer MS ms late (default 3500)"},
    {FaultKind::BadHeaderCrc, "bad-header-crc", -1, "header checksum inverted"},
    {FaultKind::BadStartByte, "bad-start", -1, "start byte 0x56 (header checksum made to match)"},
    {FaultKind::BadDataCrc, "bad-data-crc", -1, "data checksum in the header inverted"},
    {FaultKind::Status1, "status1", -1, "status answer code 1 instead of the answer"},
    {FaultKind::Status2, "status2", -1, "status answer code 2 instead of the answer"},
    {FaultKind::ShortData, "short-data", -1, "=N: only N of the announced data bytes (default half), then silence"},
    {FaultKind::ShortBlock, "short-block", -1, "=N: correct frame with only the first N data bytes (default half)"},
    {FaultKind::LongBlock, "long-block", 16, "=N: correct frame with N zero bytes more data (default 16)"},
    {FaultKind::OverlongData, "over-long", 16, "=N: N bytes more than the header announces (default 16)"},
    {FaultKind::HugeLength, "huge-length", 4096, "=N: correct frame announcing N data bytes (default 4096)"},
    {FaultKind::SplitWrites, "split", 1, "=MS: writes of 1 to 3 bytes, MS ms apart (default 1)"},
    {FaultKind::CloseBeforeAnswer, "close-before", -1, "close the connection instead of answering"},
    {FaultKind::ClosePartial, "close-partial", -1, "=N: N bytes of the answer (default 8), then close"},
    {FaultKind::DataDelay, "data-delay", 3500, "=MS: header at once, data MS ms later (default 3500)"},
};

const KindInfo& Info(FaultKind kind) {
  for (const KindInfo& k : kKinds)
    if (k.kind == kind) return k;
  return kKinds[0];
}

int ValueOr(const FaultRule& rule, int fallback) {
  if (rule.value >= 0) return rule.value;
  int def = Info(rule.kind).defaultValue;
  return def >= 0 ? def : fallback;
}

std::chrono::microseconds Ms(int ms) { return std::chrono::microseconds(std::int64_t(ms) * 1000); }

bool ParseInt(std::string_view s, int* out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && p == s.data() + s.size() && *out >= 0;
}

// A correct frame with the answer's order and status word around `data`.
std::vector<std::uint8_t> Reframe(const std::vector<std::uint8_t>& answer, std::vector<std::uint8_t> data) {
  data.resize(std::min<std::size_t>(data.size(), 0xFFFF));
  const frame::HeaderFields h = frame::DecodeHeader(answer.data());
  return BuildAnswer(h.order, h.word, data.data(), data.size());
}

void ResealHeader(std::vector<std::uint8_t>& bytes) { bytes[7] = frame::FrameCrc8(bytes.data(), 0, 7); }

std::uint64_t Step(std::uint64_t& rng) {
  rng ^= rng << 13;
  rng ^= rng >> 7;
  rng ^= rng << 17;
  return rng;
}

}  // namespace

const char* FaultKindName(FaultKind kind) { return Info(kind).name; }

std::string FaultKindHelp() {
  std::string out;
  for (const KindInfo& k : kKinds) {
    out += "    ";
    out += k.name;
    out += std::string(16 - std::min<std::size_t>(15, std::string_view(k.name).size()), ' ');
    out += k.help;
    out += '\n';
  }
  return out;
}

bool ParseFaultRule(std::string_view text, FaultRule* rule, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "fault \"" + std::string(text) + "\": " + why;
    return false;
  };
  FaultRule r;
  std::size_t c1 = text.find(':');
  if (c1 == std::string_view::npos) return fail("expected ORDER:KIND[=VALUE][:NTH]");
  std::string_view order = text.substr(0, c1);
  std::string_view rest = text.substr(c1 + 1);
  if (order == "any" || order == "*") {
    r.order = ANY_ORDER;
  } else if (!ParseInt(order, &r.order) || r.order > 255) {
    return fail("order must be 0..255 or any");
  }
  std::size_t c2 = rest.find(':');
  if (c2 != std::string_view::npos) {
    if (!ParseInt(rest.substr(c2 + 1), &r.nth)) return fail("NTH must be a number");
    rest = rest.substr(0, c2);
  }
  std::size_t eq = rest.find('=');
  std::string_view kind = rest.substr(0, eq);
  if (eq != std::string_view::npos && !ParseInt(rest.substr(eq + 1), &r.value)) return fail("VALUE must be a number");
  const KindInfo* found = nullptr;
  for (const KindInfo& k : kKinds)
    if (kind == k.name) found = &k;
  if (!found) return fail("unknown kind \"" + std::string(kind) + "\"");
  r.kind = found->kind;
  *rule = r;
  return true;
}

std::string FaultRuleText(const FaultRule& rule) {
  std::string s = rule.order == ANY_ORDER ? "any" : std::to_string(rule.order);
  s += ':';
  s += FaultKindName(rule.kind);
  if (rule.value >= 0) s += '=' + std::to_string(rule.value);
  if (rule.nth > 0) s += ':' + std::to_string(rule.nth);
  return s;
}

AnswerPlan PlanAnswer(const std::vector<std::uint8_t>& answer, const FaultRule* rule, std::uint64_t& rng) {
  AnswerPlan plan;
  if (!rule) {
    plan.steps.push_back({{}, answer});
    return plan;
  }
  const auto header = answer.begin() + frame::HEADER_SIZE;
  const std::vector<std::uint8_t> data(header, answer.end());
  std::vector<std::uint8_t> bytes = answer;
  switch (rule->kind) {
    case FaultKind::NoAnswer:
      return plan;
    case FaultKind::LateAnswer:
      plan.steps.push_back({Ms(ValueOr(*rule, 0)), bytes});
      return plan;
    case FaultKind::BadHeaderCrc:
      bytes[7] ^= 0xFF;
      break;
    case FaultKind::BadStartByte:
      bytes[0] = frame::START_BYTE + 1;
      ResealHeader(bytes);
      break;
    case FaultKind::BadDataCrc:
      bytes[6] ^= 0xFF;
      ResealHeader(bytes);
      break;
    case FaultKind::Status1:
      bytes = BuildStatusAnswer(frame::STATUS_INVALID_ORDER);
      break;
    case FaultKind::Status2:
      bytes = BuildStatusAnswer(frame::STATUS_CONTROL_UNIT_ERROR);
      break;
    case FaultKind::ShortData:
      bytes.resize(frame::HEADER_SIZE + std::min<std::size_t>(ValueOr(*rule, int(data.size() / 2)), data.size()));
      break;
    case FaultKind::ShortBlock:
      bytes = Reframe(answer, std::vector<std::uint8_t>(
                                  header, header + std::min<std::ptrdiff_t>(ValueOr(*rule, int(data.size() / 2)),
                                                                            std::ptrdiff_t(data.size()))));
      break;
    case FaultKind::LongBlock: {
      std::vector<std::uint8_t> longer = data;
      longer.resize(data.size() + ValueOr(*rule, 0), 0);
      bytes = Reframe(answer, longer);
      break;
    }
    case FaultKind::OverlongData:
      bytes.resize(bytes.size() + ValueOr(*rule, 0), 0);
      break;
    case FaultKind::HugeLength: {
      std::vector<std::uint8_t> huge = data;
      huge.resize(std::min(ValueOr(*rule, 0), 0xFFFF), 0);
      bytes = Reframe(answer, huge);
      break;
    }
    case FaultKind::SplitWrites: {
      const auto pause = Ms(ValueOr(*rule, 0));
      for (std::size_t at = 0; at < bytes.size();) {
        std::size_t n = std::min<std::size_t>(1 + Step(rng) % 3, bytes.size() - at);
        plan.steps.push_back({at ? pause : std::chrono::microseconds(0),
                              std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + n)});
        at += n;
      }
      return plan;
    }
    case FaultKind::CloseBeforeAnswer:
      plan.closeAfter = true;
      return plan;
    case FaultKind::ClosePartial: {
      const int fallback = bytes.size() > frame::HEADER_SIZE ? int(frame::HEADER_SIZE) : int(bytes.size() / 2);
      bytes.resize(std::min<std::size_t>(ValueOr(*rule, fallback), bytes.size()));
      plan.steps.push_back({{}, bytes});
      plan.closeAfter = true;
      return plan;
    }
    case FaultKind::DataDelay:
      plan.steps.push_back({{}, std::vector<std::uint8_t>(answer.begin(), header)});
      if (!data.empty()) plan.steps.push_back({Ms(ValueOr(*rule, 0)), data});
      return plan;
  }
  plan.steps.push_back({{}, bytes});
  return plan;
}

void FaultSet::Add(const FaultRule& rule) { rules_.push_back(Entry{rule, 0}); }

bool FaultSet::Match(std::uint8_t order, FaultRule* fired) {
  bool found = false;
  for (Entry& e : rules_) {
    if (e.rule.order != ANY_ORDER && e.rule.order != order) continue;
    ++e.seen;
    bool fires = e.rule.nth == 0 || e.seen == e.rule.nth;
    if (fires && !found) {
      *fired = e.rule;
      found = true;
    }
  }
  return found;
}

}  // namespace sim
