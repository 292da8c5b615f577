// Port sub-mode "rdp": sends a Read Diagnostic Parameters request to the
// attached port and shows the decoded reply.
#pragma once

#include <cstdint>

#include "port/PhysicalPortCmdsProcessor.h"

class PhysicalPortRDPCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortRDPCmdsProcessor(CmdProcessor* parent);

  // "get <port>" and its text twin "runcli <port>"
  uint32_t CmdGetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  // The report of the first `size` bytes of the reply.
  void DisplayRDPInfo(const uint8_t* reply, uint32_t size, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
