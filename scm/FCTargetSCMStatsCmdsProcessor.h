// Target sub-mode "scmstats": SAN congestion-management statistics of one
// remote target as seen through the local port.
#pragma once

#include "scm/ScmCmdsProcessor.h"

class FCTargetSCMStatsCmdsProcessor : public ScmCmdsProcessor {
 public:
  explicit FCTargetSCMStatsCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;
};
