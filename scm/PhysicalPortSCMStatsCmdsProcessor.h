// Port sub-mode "scmstats": a port's SAN congestion-management statistics,
// and clearing the SCM statistics of the port's targets.
#pragma once

#include "scm/ScmCmdsProcessor.h"

class PhysicalPortSCMStatsCmdsProcessor : public ScmCmdsProcessor {
 public:
  explicit PhysicalPortSCMStatsCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);
  uint32_t CmdClearCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t DisplayClear(uint32_t status, uint32_t mode);
};
