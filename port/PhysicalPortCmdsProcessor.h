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

  // The first step of every port family's command: resolves the identifier and
  // traces a failure as "<family>::<fn>: Get phy port failed err=<status>".
  // The caller shows any non-zero status (a help word's 5 included) in its document.
  static uint32_t ResolvePort(const MultipleCmdsProcessor& family, const char* fn, const Words& args,
                              PortLookup& out);
  // The first checks of the link diagnostics (ping, CT, echo, RDP): resolves
  // the port and refuses a virtual port (51) and a port whose link is down (43).
  static uint32_t ResolveOnlinePort(const MultipleCmdsProcessor& family, const char* fn, const Words& words,
                                    PortLookup& port);
  // The start of a command on a feature of the adapter behind a port (beacon,
  // D-Port): resolves the port, refuses a virtual port (51), asks the library
  // whether the adapter is a mezzanine one (19 when the output log cannot be
  // opened, 13 when the question fails) and refuses an adapter that eligible
  // does not accept (35).
  using AdapterTest = bool (*)(const kxinv::PciIdentity& pci, bool mezzanine);
  static uint32_t ResolveFeaturePort(const MultipleCmdsProcessor& family, const char* fn, const Words& args,
                                     PortLookup& out, AdapterTest eligible);


  // "list": every FC port of every adapter, virtual ports included.
  uint32_t CmdListCommon(Words& args, uint32_t mode);
  // "updatenvram <port> <file>": loads the port's NVRAM from the file.
  uint32_t CmdUpdateNvramCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayUpdateNvram(uint32_t status, uint32_t mode, bool rebootRequired);
};
