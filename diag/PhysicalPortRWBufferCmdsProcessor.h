// Port sub-mode "rwbuffer": runs the read/write buffer diagnostic towards the
// remote ports a given number of times and lists the last run's result per
// remote port.
#pragma once

#include <cstdint>

#include "diag/DiagTestRequest.h"
#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortRWBufferCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortRWBufferCmdsProcessor(CmdProcessor* parent);

  // "run <port> <count> <increment> <size> <stop> <pattern> [-d c-c-c-c-c-c-c-c]"
  uint32_t CmdRunCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayRWBufferTestResult(const uint8_t* list, const diagtest::Tally& tally, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
