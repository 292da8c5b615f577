// Target sub-mode "stats": link error counters of a remote target port.
#pragma once

#include <string>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

class FCTargetStatsCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCTargetStatsCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

  // The report text (2048-byte block) from the target and a statistics record.
  static std::string StatsReport(const kxinv::TargetRef& target, const uint8_t* statistics);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
