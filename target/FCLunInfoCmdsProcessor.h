// LUN sub-mode "info": one LUN or NVMe namespace.
#pragma once

#include <string>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

class FCLunInfoCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCLunInfoCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

  // Size in MB as the report shows it: blocks are scaled down before the
  // multiplication, so the product stays within 64 bits.
  static uint64_t SizeInMB(uint64_t blocks, uint32_t blockSize);
  // "NA" when all identifier bytes are zero, else the valid bytes as "aa:bb:..".
  static std::string UniqueIdText(const kxinv::LunRef& lun);
  // The report text (2048-byte block).
  static std::string LunReport(const kxinv::LunRef& lun);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
