// The "adapter" mode.
#pragma once

#include "shell/CmdProcessor.h"

class AdapterCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit AdapterCmdsProcessor(CmdProcessor* parent);
};
