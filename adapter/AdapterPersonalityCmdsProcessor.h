// The adapter sub-mode "personality": whether a converged adapter presents
// itself as a plain FC adapter or as a converged network adapter.
#pragma once

#include "adapter/AdapterCmdsProcessor.h"

class AdapterPersonalityCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit AdapterPersonalityCmdsProcessor(CmdProcessor* parent);


 protected:
  void RegisterCommands() override;

 private:
  enum class Form { kGet, kSet };

  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t CmdSetCommon(Words& words, uint32_t mode);
  void DisplayAdapterPersonality(uint8_t personality, uint32_t mode, Form form, bool reboot);
  uint32_t DisplayError(uint32_t status, uint32_t mode, Form form);
};
