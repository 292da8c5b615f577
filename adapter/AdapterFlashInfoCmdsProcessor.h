// The adapter sub-mode "flashinfo": the flash memo block (multi-boot image
// version and date, the tool that last wrote the flash, its version and when).
#pragma once

#include "adapter/AdapterCmdsProcessor.h"

class AdapterFlashInfoCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit AdapterFlashInfoCmdsProcessor(CmdProcessor* parent);


  // The display name of a four-character flash tool code; "Unknown" when unlisted.
  static const char* FlashToolName(const char (&code)[4]);
  // The report text of a memo block (pure: no I/O besides tracing).
  static std::string FlashInfoText(const KXAPI_FLASH_MEMO_BLOCK& memo);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
