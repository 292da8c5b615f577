// Target sub-mode "info": one remote target as seen through one local port.
#pragma once

#include <string>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

class FCTargetInfoCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCTargetInfoCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

  // The report text of a target, as written in the "Data" field (4096-byte block).
  static std::string TargetReport(const kxinv::PortEntryRef& entry, const kxinv::TargetRef& target);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayTargetInfo(const kxinv::PortEntryRef& entry, const kxinv::TargetRef& target, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
