// The "hbaparams" port sub-mode: shows the per-port NVRAM settings, stages
// changes in a cache file (setFile), applies them (set), restores factory
// values and saves the NVRAM to a file.
#pragma once

#include <string>
#include <vector>

#include "port/PhysicalPortCmdsProcessor.h"
#include "portcfg/HbaParamsStaging.h"

// One field of "HBAParametersList": a string, or an unsigned 32-bit number.
struct HbaParamsRow {
  const char* label;
  bool isNumber;
  std::string text;
  uint32_t number;
};

// The fields shown for a record on the given adapter, in display order.
std::vector<HbaParamsRow> HbaParamsRows(const kxinv::PciIdentity& pci, const HbaParams& record);

class PhysicalPortHBAParamsCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortHBAParamsCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t CmdSetFileCommon(Words& words, uint32_t mode);
  uint32_t CmdSetCommon(Words& words, uint32_t mode);
  uint32_t CmdRestoreDefaultsCommon(Words& words, uint32_t mode);
  uint32_t CmdSaveCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  enum class Doc { kParams, kRestore, kSave };
  struct Shown {
    bool showReboot = false;
    bool reboot = false;
  };

  // Resolves the port and refuses virtual ports; failures are shown as doc.
  uint32_t Start(const char* fn, Words& words, uint32_t mode, Doc doc, PortLookup& port);
  uint32_t ReadRecord(const char* fn, const PortLookup& port, HbaParams& record, const char* openStage);

  void DisplayHBAParamsInfo(kxinv::PortEntryRef entry, uint32_t mode, Shown reboot, const HbaParams& record);
  uint32_t Fail(Doc doc, uint32_t status, uint32_t mode) { return Fail(doc, status, mode, Shown{false, false}); }
  uint32_t Fail(Doc doc, uint32_t status, uint32_t mode, Shown reboot);
};
