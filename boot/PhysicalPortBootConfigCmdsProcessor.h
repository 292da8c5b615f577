// The "bootconfig" port sub-mode: the boot-from-SAN settings of the BIOS or
// UEFI view of a port, shown live, staged in a per-port cache file (setFile)
// and applied from it (set).
#pragma once

#include "boot/BootConfigFamily.h"

class PhysicalPortBootConfigCmdsProcessor : public BootConfigFamily {
 public:
  explicit PhysicalPortBootConfigCmdsProcessor(CmdProcessor* parent);

 protected:
  void RegisterCommands() override;
  uint32_t UserMode(const char* fn, const Words& words, Context& c) override;
  size_t FirstOption() const override { return 1; }
  uint32_t StageOptions(const Context& c, std::map<std::string, std::string>& staged) override;

 private:
  uint32_t StageDrive(const Context& c, unsigned n, std::map<std::string, std::string>& staged);
};
