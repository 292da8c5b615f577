// Port sub-mode "loopback": runs the adapter's frame loopback test on a port
// a given number of times and shows the counts and the last run's counters.
#pragma once

#include <cstdint>

#include "diag/DiagTestRequest.h"
#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortLoopbackCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortLoopbackCmdsProcessor(CmdProcessor* parent);

  // "run <port> <count> <increment> <size> <stop> <type> <pattern> [-d c-c-c-c-c-c-c-c]"
  uint32_t CmdRunCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayLoopbackTestResult(const uint8_t* result, const diagtest::Tally& tally, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
