// The "bootconfigext" port sub-mode: the boot configuration with a third boot
// mode, NVMe, whose FC-NVMe boot entries live in a record of their own.
#pragma once

#include "boot/BootConfigFamily.h"

class PhysicalPortBootConfigExtCmdsProcessor : public BootConfigFamily {
 public:
  explicit PhysicalPortBootConfigExtCmdsProcessor(CmdProcessor* parent);

 protected:
  void RegisterCommands() override;
  uint32_t UserMode(const char* fn, const Words& words, Context& c) override;
  size_t FirstOption() const override { return 2; }
  uint32_t StageOptions(const Context& c, std::map<std::string, std::string>& staged) override;

 private:
  // The boot target options: which slot, which target, which disk.
  uint32_t StageSlot(const Context& c, std::map<std::string, std::string>& staged);
};
