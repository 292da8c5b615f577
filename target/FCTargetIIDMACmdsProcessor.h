// Target sub-mode "iidma": the maximum link speed a local port uses towards
// one target, limited to what the local port supports.
#pragma once

#include <string>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

class FCTargetIIDMACmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCTargetIIDMACmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);
  uint32_t CmdSetCommon(Words& args, uint32_t mode);

  // The highest speed rank a supported-speed mask allows (0 when none).
  static uint32_t PortMaxRank(uint8_t supportedSpeeds);
  // The code "get" shows for a library code on a port with that mask.
  static uint32_t LimitToPort(uint32_t code, uint8_t supportedSpeeds);

 protected:
  void RegisterCommands() override;

 private:
  // Resolves the target and refuses virtual ports; 0 or the status shown.
  uint32_t Resolve(const char* fn, Words& args, uint32_t mode, kxinv::PortEntryRef& entry, kxinv::TargetRef& target);
  void DisplayTargetIIDMA(const kxinv::TargetRef& target, uint32_t code, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
