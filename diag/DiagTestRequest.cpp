#include "diag/DiagTestRequest.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace diagtest {
namespace {

constexpr uint32_t kPatternCustom = 4;
constexpr uint32_t kPatternFixed = 5;

struct Named {
  const char* word;
  uint32_t value;
};
constexpr Named kStopModes[] = {{"Ignore", 0}, {"Stop", kStopOnError}, {"Loop", 2}};
constexpr Named kLoopbackTypes[] = {{"Internal", 4}, {"FCoE_Echo", 3}, {"External", 2}, {"Internal_10bit", 0}};
constexpr Named kPatterns[] = {{"Random", 0}, {"CRPAT", 1}, {"CJTPAT", 2}, {"CSPAT", 3}, {"Custom", kPatternCustom}};
constexpr const char* kFixedPatterns[] = {"00000000", "01010101", "01011010", "10100101", "10101010", "11111111"};

// The value of a word of the table; an absent word gives 0, any other word
// none: a typo must not run a test other than the one typed.
std::optional<uint32_t> Lookup(std::span<const Named> table, const std::string& word) {
  if (word.empty()) return 0;
  for (const Named& row : table)
    if (EqualsNoCase(word, row.word)) return row.value;
  return std::nullopt;
}

std::string WordAt(const Words& args, size_t index) { return index < args.size() ? args[index] : std::string(); }

// A custom pattern reads "c-c-c-c-c-c-c-c": hyphens at the even places of
// its first 15 characters. Nothing past the value's end is looked at.
bool CustomPattern(const std::string& value, uint8_t (&chars)[kxdiag::kRequestPatternSize]) {
  if (value.size() < 15) return false;
  for (size_t i = 1; i < 15; i += 2)
    if (value[i] != '-') return false;
  for (size_t i = 0; i < kxdiag::kRequestPatternSize; ++i) chars[i] = static_cast<uint8_t>(value[2 * i]);
  return true;
}

constexpr OptionName kDataPattern = {"-d", "--data-pattern"};

}  // namespace

void Request::Put32(size_t offset, uint32_t value) { memcpy(bytes.data() + offset, &value, sizeof value); }

bool Tally::Count(const char* cls, const char* fn, const char* test, bool success, uint32_t stopMode) {
  if (success) {
    TraceLevel(kTraceInfo, "%s::%s: %s Test Successful for TestIteration=%u", cls, fn, test, iterations);
    ++passed;
  } else {
    TraceLevel(kTraceError, "%s::%s: %s Test Failed for TestIteration=%u", cls, fn, test, iterations);
    ++failed;
    if (stopMode == kStopOnError) return false;
  }
  ++iterations;
  return true;
}

bool InMaintenanceMode(const kxinv::PortEntryRef& entry) {
  return (entry.DriverCapabilities() & 0x4) != 0 && (entry.FirmwareState() & 0x1) != 0;
}

uint32_t ParseRun(const char* cls, const char* fn, const Words& args, const Limits& limits, Request& out,
                  const std::function<uint32_t(uint32_t)>& checkType) {
  auto invalid = [&](const char* what) {
    TraceLevel(kTraceError, "%s::%s: Invalid %s", cls, fn, what);
    return kxstatus::kInvalidParameter;
  };
  // Positional words by place; the pattern option follows them.
  const std::string countWord = WordAt(args, 1);
  const std::string incrementWord = WordAt(args, 2);
  const std::string sizeWord = WordAt(args, 3);
  const std::string stopWord = WordAt(args, 4);
  const std::string typeWord = limits.loopbackType ? WordAt(args, 5) : std::string();
  const std::string patternWord = WordAt(args, limits.loopbackType ? 6 : 5);

  TraceLevel(kTraceInfo, "%s::%s: Got test count string %s", cls, fn, countWord.c_str());
  const auto count = ParseNumber(countWord, 1, limits.maxCount);
  if (!count) return invalid("test count");
  out.Put32(kxdiag::kRequestCount, static_cast<uint32_t>(*count));
  out.Put32(kxdiag::kRequestCountCopy, static_cast<uint32_t>(*count));

  TraceLevel(kTraceInfo, "%s::%s: Got test increment string %s", cls, fn, incrementWord.c_str());
  const auto increment = ParseNumber(incrementWord, 1, limits.maxIncrement);
  if (!increment) return invalid("test increment");
  out.increment = static_cast<uint32_t>(*increment);

  TraceLevel(kTraceInfo, "%s::%s: Got data size string %s", cls, fn, sizeWord.c_str());
  const auto size = ParseNumber(sizeWord, 1, UINT32_MAX);
  if (!size || std::find(limits.dataSizes.begin(), limits.dataSizes.end(), *size) == limits.dataSizes.end())
    return invalid("data size");
  out.Put32(kxdiag::kRequestDataSize, static_cast<uint32_t>(*size));

  TraceLevel(kTraceInfo, "%s::%s: Got stop-on-error %s", cls, fn, stopWord.c_str());
  const std::optional<uint32_t> stopMode = Lookup(kStopModes, stopWord);
  if (!stopMode) return invalid("stop-on-error");
  out.stopMode = *stopMode;
  out.Put32(kxdiag::kRequestStopMode, out.stopMode);

  if (limits.loopbackType) {
    TraceLevel(kTraceInfo, "%s::%s: Got loopback type %s", cls, fn, typeWord.c_str());
    const std::optional<uint32_t> loopbackType = Lookup(kLoopbackTypes, typeWord);
    if (!loopbackType) return invalid("loopback type");
    out.loopbackType = *loopbackType;
    out.Put32(kxdiag::kRequestLoopbackType, out.loopbackType);
    if (checkType)
      if (const uint32_t status = checkType(out.loopbackType)) return status;
  }

  TraceLevel(kTraceInfo, "%s::%s: Got data pattern %s", cls, fn, patternWord.c_str());
  uint8_t* pattern = out.bytes.data() + kxdiag::kRequestPattern;
  std::optional<uint32_t> type = Lookup(kPatterns, patternWord);
  for (const char* fixed : kFixedPatterns)
    if (patternWord == fixed) {
      type = kPatternFixed;
      memcpy(pattern, fixed, kxdiag::kRequestPatternSize);
    }
  if (!type) return invalid("data pattern");
  out.Put32(kxdiag::kRequestPatternType, *type);

  // The option and its value may follow the positional words; any other
  // option word, or an "--option=value" form, is not understood.
  const size_t positional = limits.loopbackType ? 7 : 6;
  bool given = false;
  std::string value;
  for (size_t i = positional; i < args.size(); ++i) {
    if (OptionWords::IsNamed(args[i], kDataPattern) && !given) {
      if (i + 1 == args.size()) return invalid("data pattern option: no value");
      given = true;
      value = WordAt(args, i + 1);
      ++i;
    } else if (!args[i].empty() && args[i][0] == '-') {
      TraceLevel(kTraceError, "%s::%s: Unknown option %s", cls, fn, args[i].c_str());
      return kxstatus::kInvalidParameter;
    }
  }
  if (*type == kPatternCustom && given) {
    uint8_t chars[kxdiag::kRequestPatternSize];
    if (!CustomPattern(value, chars)) {
      TraceLevel(kTraceError, "%s::%s: Custom data is not '-' (hifen) separated", cls, fn);
      return kStatusCustomData;
    }
    memcpy(pattern, chars, sizeof chars);
    TraceLevel(kTraceInfo, "%s::%s: Custom Pattern=%.8s", cls, fn, reinterpret_cast<const char*>(pattern));
  }
  return 0;
}

}  // namespace diagtest
