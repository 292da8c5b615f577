// Port sub-mode "stats": the driver's and the firmware's counters of an FC
// port, and the reset of the firmware counters.
#pragma once

#include <cstdint>
#include <string>

#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortFCStatsCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortFCStatsCmdsProcessor(CmdProcessor* parent);

  // "get <port> Driver|Firmware"
  uint32_t CmdGetCommon(Words& args, uint32_t mode);
  // "reset <port> Firmware"
  uint32_t CmdResetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayFCDriverStats(const PortLookup& port, uint32_t mode);
  void DisplayFCFWStats(const PortLookup& port, uint32_t mode);
  void DisplayCounters(const char* fn, const PortLookup& port, size_t firstCounter, const char* const* labels,
                       uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
  uint32_t DisplayResetError(uint32_t status, uint32_t mode);
};
