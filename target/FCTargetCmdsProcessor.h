// The "target" mode: the target identifier and its resolver, used by every
// target family, the target list and the five target sub-modes.
#pragma once

#include <string>
#include <string_view>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

// Forms target identifiers and, after them, their LUNs' identifiers in one
// buffer: the port's part once per port, the target's once per target, and
// each LUN only adds its kind word and number. A returned text is
// NUL-terminated and valid until the next call.
class TargetIdentifierForm {
 public:
  // "FC_<local WWPN>_Target_" of the port whose targets follow.
  void SetPort(const kxinv::PortEntryRef& entry);
  // "FC_<local WWPN>_Target_<target WWPN>", lower-case hexadecimal.
  std::string_view Target(const kxinv::TargetRef& target);
  // The last target's identifier and "_LUN_<n>", or "_NSID_<n>" for an NVMe target.
  std::string_view Lun(const kxinv::LunRef& lun);

 private:
  // "FC_" 23 "_Target_" 23 "_NSID_" and at most 5 digits, NUL-terminated.
  char text_[96] = {};
  size_t portEnd_ = 0;
  size_t targetEnd_ = 0;
  bool nvme_ = false;
};

class FCTargetCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit FCTargetCmdsProcessor(CmdProcessor* parent);

  // "FC_<local WWPN>_Target_<target WWPN>", lower-case hexadecimal.
  static std::string TargetIdentifier(const kxinv::PortEntryRef& entry, const kxinv::TargetRef& target);

  // Resolves a target identifier (exact, case-sensitive, whole text) to the
  // local port's protocol entry and the target entry; targets seen through
  // virtual ports included. Reads only the first word. Returns 0 found, 5 help
  // word, 6 invalid or unknown identifier, 14 no inventory; the out-parameters
  // are set only on 0.
  // The first step of every target family's command: resolves the identifier
  // and traces a failure as "<family>::<fn>: Get target failed err=<status>".
  static uint32_t ResolveTarget(const MultipleCmdsProcessor& family, const char* fn, const Words& args,
                                kxinv::PortEntryRef& entry, kxinv::TargetRef& target);
  static uint32_t GetTargetFromTargetString(const Words& args, kxinv::PortEntryRef& entry,
                                            kxinv::TargetRef& target);

  uint32_t CmdListCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;
};
