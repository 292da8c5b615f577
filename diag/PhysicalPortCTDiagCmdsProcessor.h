// The "ctdiag" port sub-mode: a CT ping or FC trace route from a port to one
// of its discovered targets, read and checked as an FC ping with the test
// type in front.
#pragma once

#include <cstdint>

#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortCTDiagCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortCTDiagCmdsProcessor(CmdProcessor* parent);

  // "run <port> CTPing|CTFCTraceRoute <wwpn> <count> <stop-on-error>"
  uint32_t CmdRunCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t Run(const char* fn, const Words& words, uint32_t type);
  void DisplayCTDiagResult(uint32_t type, uint32_t status, uint32_t mode);
};
