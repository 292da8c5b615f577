// The words of the loopback and read/write buffer "run" commands and the
// request record they fill: positional count, increment, data size,
// stop-on-error mode, (loopback type,) data pattern, and the custom pattern
// option "--data-pattern" / "-d".
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "shell/CmdProcessor.h"

namespace diagtest {

inline constexpr uint32_t kStatusCustomData = 12;
inline constexpr uint32_t kStopOnError = 1;

// What differs between the two tests.
struct Limits {
  uint64_t maxCount;
  uint64_t maxIncrement;
  std::span<const uint32_t> dataSizes;
  bool loopbackType;  // a loopback-type word stands before the pattern
};

struct Request {
  std::array<uint8_t, kxdiag::kRequestSize> bytes{};
  uint32_t increment = 0;
  uint32_t stopMode = 0;
  uint32_t loopbackType = 0;
  void Put32(size_t offset, uint32_t value);
};

// Runs made, passed and failed; a run that fails under the stop mode ends
// the loop without being counted as made.
struct Tally {
  uint32_t iterations = 0;
  uint32_t passed = 0;
  uint32_t failed = 0;
  // Counts one run, traced as "<cls>::<fn>: <test> Test Successful|Failed for
  // TestIteration=<n>"; false when the loop ends here.
  bool Count(const char* cls, const char* fn, const char* test, bool success, uint32_t stopMode);
};

// Reads the words after the port identifier in their order, tracing each as
// "<cls>::<fn>: Got ..."; checks the loopback type with checkType (which
// returns a status) before the pattern. Returns 0 or the failing status.
uint32_t ParseRun(const char* cls, const char* fn, const Words& args, const Limits& limits, Request& out,
                  const std::function<uint32_t(uint32_t)>& checkType = nullptr);

// The port is in maintenance mode (driver capability 4 and firmware state bit 1).
bool InMaintenanceMode(const kxinv::PortEntryRef& entry);

}  // namespace diagtest
