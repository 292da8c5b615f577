// The "fec" port sub-mode: forward error correction status and counters,
// switched and reset on the adapter directly.
#pragma once

#include <cstdint>

#include "port/PhysicalPortCmdsProcessor.h"

// The FEC status shown for a port: a mezzanine adapter always uses FEC; an
// online port below 16 Gbps never does and one at 32 Gbps or faster always
// does; otherwise the library's word holds.
bool EffectiveFecStatus(bool mezz, uint8_t portState, uint32_t speedCode, uint32_t libraryStatus);

// Whether the FEC switch may be changed: not on mezzanine adapters, and on an
// online port only at 16 Gbps.
bool FecStatusWritable(bool mezz, uint8_t portState, uint32_t speedCode);

class PhysicalPortFECCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortFECCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t CmdSetCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  struct Reading;
  uint32_t Read(const char* fn, Words& words, uint32_t mode, bool forSet, PortLookup& port, Reading& reading);
  uint32_t DisplayError(uint32_t status, uint32_t mode, bool showReboot);
  void DisplayFECInfo(bool status, const uint8_t* stats, uint32_t mode, bool showReboot, bool reboot);
};
