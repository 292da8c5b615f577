// The "port" mode: the port identifier and its resolver, used by every port
// family, and the 21 port sub-modes.
#pragma once

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

// The inventory entries of one resolved port.
struct PortLookup {
  kxinv::AdapterRef adapter{nullptr};
  kxinv::PhyPortRef phyPort{nullptr};
  kxinv::PortEntryRef entry{nullptr};
};

class PhysicalPortCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortCmdsProcessor(CmdProcessor* parent);

  // Resolves "FC_" + WWPN (exact, case-sensitive) to its entries, virtual
  // ports included. Reads only the first word. Returns 0 found, 5 help word,
  // 6 invalid or unknown identifier, 14 no inventory; out is set only on 0.
  static uint32_t GetPhyPortFromPortString(const Words& args, PortLookup& out);

 protected:
  void RegisterCommands() override;
};
