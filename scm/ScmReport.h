// SAN congestion-management reports of ports and targets, built from the
// inventory records and the library's statistics as plain text blocks. Pure:
// no library calls, no output; the families show what these return.
#pragma once

#include <cstdint>
#include <string>

#include "shell/Inventory.h"

namespace kxscm {

inline constexpr size_t kStatsBlockSize = 8192;
inline constexpr size_t kStatusBlockSize = 4096;
inline constexpr size_t kProfileBlockSize = 1024;

// A value word: value -> text, the fallback for any other value.
struct Word {
  uint32_t value;
  const char* text;
};

// The five activation profiles, by their number in the profile record.
extern const Word kActivationProfiles[5];
inline constexpr const char* kDriverSettings = "Driver_Settings";

// The first record of the list whose kind is the physical port's own; null when none.
const uint8_t* FindPortRecord(const void* list);
// The first record after the head carrying the target's node and port names; null when none.
const uint8_t* FindTargetRecord(const void* list, const uint8_t* target);

// The statistics of a port: phase 1 from its protocol entry; phase 2 from its
// SCMR record (null: the identity lines only). tracePrefix precedes each traced line.
std::string PortPhase1(const uint8_t* entry, const std::string& tracePrefix);
std::string PortPhase2(const uint8_t* entry, const uint8_t* record, const std::string& tracePrefix);
// The statistics of a target: phase 1 from its entry and its FC statistics
// record; phase 2 from its SCMR record (null: the identity lines only).
std::string TargetPhase1(const uint8_t* target, const uint8_t* statistics, const std::string& tracePrefix);
std::string TargetPhase2(const uint8_t* target, const uint8_t* record, const std::string& tracePrefix);

// Where the adapter stands, for the status words that depend on it.
struct AdapterKind {
  bool groupABC;      // IsDeviceGroupA, B or C
  bool groupC;        // IsDeviceGroupC
  uint32_t capabilities;  // the port's capability flags
};
// What the port of a protocol entry sits on.
AdapterKind KindOf(const kxinv::PortEntryRef& entry);

// The current SCM status of a port (from its protocol entry) and of a target.
std::string PortStatus(const uint8_t* entry, const AdapterKind& adapter, const std::string& tracePrefix);
std::string TargetStatus(const uint8_t* target, const AdapterKind& adapter, const std::string& tracePrefix);

// The profile record of a port, shown with the port's identity.
std::string Profile(const uint8_t* entry, const uint8_t* record, const std::string& tracePrefix);

// Words that depend on more than one value.
const char* FabricConnectionWord(uint8_t flags);
const char* PortVirtualLaneWord(const AdapterKind& adapter, uint8_t lane);
const char* TargetVirtualLaneWord(const AdapterKind& adapter, uint8_t lane);
// The same words for a port and for a target: what the adapter reports for
// the value, else "Disabled" when the port has throttling switched off.
const char* IoThrottlingWord(const AdapterKind& adapter, uint8_t throttling);

}  // namespace kxscm
