// The "dmi" port sub-mode: the port's pluggable transceiver, decoded or as raw
// hex, saved to a file, and its module firmware updated from an image file.
#pragma once

#include <cstdint>

#include "port/PhysicalPortCmdsProcessor.h"
#include "shell/CmdProcessor.h"

class PhysicalPortDMICmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortDMICmdsProcessor(CmdProcessor* parent);


  uint32_t CmdGetCommon(Words& args, uint32_t mode);
  uint32_t CmdGetRawCommon(Words& args, uint32_t mode);
  uint32_t CmdUpdateCommon(Words& args, uint32_t mode);
  uint32_t CmdSaveCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  // Reads the module image into image; 0, or the status of the failure (not yet shown).
  uint32_t ReadImage(const char* fn, const PortLookup& port, uint32_t flag, uint8_t* image);

  uint32_t DisplayError(uint32_t status, uint32_t mode);
  uint32_t DisplaySfpSave(uint32_t status, uint32_t mode);
  uint32_t DisplaySfpUpdate(uint32_t status, uint32_t mode);
  void DisplayDMIInfo(uint32_t mode, const uint8_t* image);
  void DisplayRawDMIInfo(uint32_t mode, const uint8_t* image);
};
