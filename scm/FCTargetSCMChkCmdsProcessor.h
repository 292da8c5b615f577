// Target sub-mode "scmchk": the current SAN congestion-management status of
// one remote target as seen through the local port.
#pragma once

#include "scm/ScmCmdsProcessor.h"

class FCTargetSCMChkCmdsProcessor : public ScmCmdsProcessor {
 public:
  explicit FCTargetSCMChkCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;
};
