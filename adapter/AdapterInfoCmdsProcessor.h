// The adapter sub-mode "info": identity, PCI identifiers, type and the
// versions of the images in the adapter's flash, as one report block.
#pragma once

#include "adapter/AdapterCmdsProcessor.h"

class AdapterInfoCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit AdapterInfoCmdsProcessor(CmdProcessor* parent);


  // The report text of one adapter (pure: no I/O besides tracing).
  static std::string AdapterInfoText(const AdapterLookup& found, const KXAPI_FLASH_COMPONENT_VERSION& versions,
                                     const KXAPI_FLASH_MEMO_BLOCK& memo);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
