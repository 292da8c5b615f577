// Port sub-mode "scmchk": a port's current SAN congestion-management status.
#pragma once

#include "scm/ScmCmdsProcessor.h"

class PhysicalPortSCMChkCmdsProcessor : public ScmCmdsProcessor {
 public:
  explicit PhysicalPortSCMChkCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;
};
