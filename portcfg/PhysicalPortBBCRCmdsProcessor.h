// The "bbcr" port sub-mode: buffer-to-buffer credit recovery, shown live,
// staged in a per-port cache file (setFile) and applied from it (set).
#pragma once

#include <cstdint>
#include <string>

#include "port/PhysicalPortCmdsProcessor.h"

// BBCR values as the library reports them.
struct BbcrInfo {
  uint8_t status = 0;      // 1 enabled
  uint8_t configured = 0;  // 0-15
  uint8_t state = 0;       // 0 offline
  uint8_t negotiated = 0;
  char reason[64] = {};
};

// The "Data" text of a BBCR document.
std::string BbcrText(const BbcrInfo& info);

class PhysicalPortBBCRCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortBBCRCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t CmdSetFileCommon(Words& words, uint32_t mode);
  uint32_t CmdSetCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  // Resolution, the adapter checks and the live read shared by all commands.
  uint32_t Start(const char* fn, Words& words, uint32_t mode, bool showReboot, PortLookup& port, BbcrInfo& info);
  uint32_t DisplayError(uint32_t status, uint32_t mode, bool showReboot);
  void DisplayBBCRInfo(const BbcrInfo& info, uint32_t mode, bool showReboot, bool reboot);
};
