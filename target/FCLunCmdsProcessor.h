// The "lun" mode.
#pragma once

#include "shell/CmdProcessor.h"

class FCLunCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCLunCmdsProcessor(CmdProcessor* parent);
};
