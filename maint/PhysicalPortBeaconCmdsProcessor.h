// Port sub-mode "beacon": reads and switches the identification beacon of the
// adapter that owns a port.
#pragma once

#include <cstdint>

#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortBeaconCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortBeaconCmdsProcessor(CmdProcessor* parent);

  // "get <port>"
  uint32_t CmdGetCommon(Words& args, uint32_t mode);
  // "set <port> ON|OFF"
  uint32_t CmdSetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  // Resolves the port and refuses virtual ports, mezzanine adapters and
  // adapters without a beacon; 0 when the beacon may be used.
  uint32_t ResolveEligiblePort(const char* fn, Words& args, PortLookup& port);
  void DisplayBeaconInfo(uint32_t state, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
