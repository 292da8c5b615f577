// The "target" mode.
#pragma once

#include "shell/CmdProcessor.h"

class FCTargetCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCTargetCmdsProcessor(CmdProcessor* parent);
};
