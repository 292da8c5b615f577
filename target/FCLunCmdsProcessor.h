// The "lun" mode: the LUN identifier (TargetIdentifierForm) and its resolver, the list of every LUN
// or NVMe namespace, and the "info" sub-mode.
#pragma once

#include <functional>
#include <string>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

class FCLunCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCLunCmdsProcessor(CmdProcessor* parent);

  // Resolves a LUN identifier (exact, case-sensitive, whole text). Reads only
  // the first word. Returns 0 found, 5 help word, 6 invalid or unknown
  // identifier, 14 no inventory; lun is set only on 0.
  static uint32_t GetLunFromLunString(const Words& args, kxinv::LunRef& lun);

  uint32_t CmdListCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;
};
