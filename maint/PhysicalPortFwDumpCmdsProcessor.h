// Port sub-mode "fwdump": writes the firmware dump the adapter keeps for a
// port, unchanged, to a file named by the user.
#pragma once

#include <cstdint>

#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortFwDumpCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortFwDumpCmdsProcessor(CmdProcessor* parent);

  // "get <port> <file>"
  uint32_t CmdGetCommon(Words& args, uint32_t mode);

  // The status for a failed dump call's library result.
  static uint32_t DumpFailureStatus(uint32_t rc);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayFwDumpInfo(uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
