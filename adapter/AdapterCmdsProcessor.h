// The "adapter" mode: the adapter identifier and its resolver, used by every
// adapter family, the adapter list and the flash update.
#pragma once

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

// The inventory entries an adapter identifier resolves to. Only the adapter,
// its first physical port and an FC/FCoE protocol entry are ever set; the NIC
// and iSCSI entries stay null.
struct AdapterLookup {
  kxinv::AdapterRef adapter{nullptr};
  kxinv::PhyPortRef phyPort{nullptr};
  kxinv::PortEntryRef nicEntry{nullptr};
  kxinv::PortEntryRef fcEntry{nullptr};
  kxinv::PortEntryRef iscsiEntry{nullptr};
};

class AdapterCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit AdapterCmdsProcessor(CmdProcessor* parent);

  // Resolves "Adapter_<model>_<serial>" (case-insensitive) to the adapter, its
  // lowest-numbered physical port and that port's first FC/FCoE entry. Reads
  // only the first word. Returns 0 found, 5 help word, 6 invalid or unknown
  // identifier, 14 no inventory.
  static uint32_t GetPhyPortFromAdapterString(const Words& words, AdapterLookup& out);
  // The first step of every adapter family's command: resolves the identifier
  // and traces a failure as "<family>::<fn>: Get phy port failed err=<status>".
  static uint32_t ResolveAdapter(const MultipleCmdsProcessor& family, const char* fn, const Words& words,
                                 AdapterLookup& out);


 protected:
  void RegisterCommands() override;

 private:
  uint32_t CmdListCommon(Words& words, uint32_t mode);
  uint32_t CmdUpdateCommon(Words& words, uint32_t mode);
  // rebootKind: 0 none, 1 reboot, 2 cold boot.
  uint32_t DisplayUpdateInfo(uint32_t status, uint32_t mode, uint32_t rebootKind);
};
