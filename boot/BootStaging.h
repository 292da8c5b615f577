// Boot configuration shared by "bootconfig" and "bootconfigext": the boot
// device and NVMe boot entry records, the per-port cache file that "setFile"
// fills and "set" applies, the boot-device values a user types and the text
// block both families show.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "runtime/FileOps.h"
#include "shell/Inventory.h"
#include "shell/KxApi.h"
#include "shell/Words.h"

namespace bootcfg {

// A fixed-size record exchanged with the library. It is always read from the
// adapter first and handed back whole: only the named fields are changed.
template <size_t N>
struct Record {
  std::array<uint8_t, N> bytes{};

  template <class T>
  T Get(size_t offset) const { return kxinv::ReadAt<T>(bytes.data(), offset); }
  template <class T>
  void Put(size_t offset, T value) { std::memcpy(bytes.data() + offset, &value, sizeof value); }
  kxinv::Bytes8 Wwn(size_t offset) const { return Get<kxinv::Bytes8>(offset); }
  std::string Text(size_t offset, size_t room) const { return kxinv::TextAt(bytes.data(), offset, room); }
  // Changes the text field only when its text differs, so that an unchanged
  // field keeps every byte the library had behind its NUL.
  void PutText(size_t offset, size_t room, const std::string& text);
  void* Data() { return bytes.data(); }
};
using BootRecord = Record<kxboot::kRecordSize>;
using NvmeRecord = Record<kxboot::kNvmeRecordSize>;

inline size_t EntryOffset(unsigned i) { return kxboot::kBootEntry + i * kxboot::kBootEntrySize; }

// Adapters whose UEFI view can be selected, and those without a fabric-assigned boot LUN.
bool IsUefiBootAdapter(const kxinv::PciIdentity& pci);
bool IsLegacyBootAdapter(const kxinv::PciIdentity& pci);

// Statuses particular to boot configuration.
inline constexpr uint32_t kNeedsBootMode = 4;
inline constexpr uint32_t kModeNotSupported = 8;
inline constexpr uint32_t kNvmeNotPresent = 17;
inline constexpr uint32_t kNotWithUefi = 18;
inline constexpr uint32_t kNvmeTarget = 36;
inline constexpr uint32_t kNoRomBios = 53;
inline constexpr uint32_t kNoRomUefi = 54;
inline constexpr uint32_t kFcpIncomplete = 55;
inline constexpr uint32_t kNvmeIncomplete = 56;

// What a family keeps in its cache file beyond the common keys.
struct FileLayout {
  const char* prefix;  // "BootConfig_" or "BootConfigExt_"
  bool ext;            // "Boot_Mode" holds the user mode; NVMe_Enable and the NVMe entry keys
};

std::string CachePath(const FileLayout& layout, const std::string& identifier);

// "Boot_Mode" as written for a library view (1, 2 or 4), and back; nullopt
// for a value the family does not write.
std::string BootModeValue(const FileLayout& layout, uint8_t view);
std::optional<uint8_t> BootModeFromValue(const FileLayout& layout, const std::string& value);

// Every key of the cache file from the records, in key order: the content of
// a new cache file. nvme is used only when given (UEFI-capable adapters).
std::map<std::string, std::string> RecordKeys(const FileLayout& layout, uint8_t view, const BootRecord& record,
                                              const NvmeRecord* nvme);

// The view named by the loaded cache file; 6 for a value the family does not
// write. An absent key is the BIOS view.
uint32_t ReadBootMode(const FileLayout& layout, const KeyValueFile& file, uint8_t& view);

// Overlays the keys found in the loaded cache file (as changed so far) onto
// the records (nvme only when given) and sets view from "Boot_Mode" when
// present. 6 for an invalid value (traced under cls).
uint32_t ReadBootConfigFromFile(const char* cls, const FileLayout& layout, const KeyValueFile& file,
                                BootRecord& record, uint8_t& view, NvmeRecord* nvme);

// The cache-file keys of boot device n (0 primary, 1-7 alternates).
std::string DriveWwpnKey(unsigned n);
std::string DriveLunKey(unsigned n);
// "NVME_<n>_<field>".
std::string NvmeKey(unsigned n, const char* field);

// Eight hexadecimal bytes joined by colons, each of one or two digits.
std::optional<kxinv::Bytes8> ParseWwpn(const std::string& text);
// The first discovered target of the port with that WWPN; empty when none.
kxinv::TargetRef FindTarget(kxinv::PortEntryRef entry, const kxinv::Bytes8& wwpn);
bool HasLun(kxinv::TargetRef target, uint32_t lun);

// One true/false option that stages a flag key.
struct FlagOption {
  OptionName option;
  const char* key;
  const char* name;  // as traced: "<name>=<value> not supported"
  bool inverted;     // "true" stages 0
};

// Stages the flag when the option is given: refusal() first (non-zero ends
// the check with that status), then "true" / "false"; any other value is 6.
template <class Refusal>
uint32_t StageFlag(const char* cls, const OptionWords& options, const FlagOption& option, Refusal refusal,
                   std::map<std::string, std::string>& staged);
uint32_t FlagValue(const char* cls, const std::string& value, const FlagOption& option,
                   std::map<std::string, std::string>& staged);

template <class Refusal>
uint32_t StageFlag(const char* cls, const OptionWords& options, const FlagOption& option, Refusal refusal,
                   std::map<std::string, std::string>& staged) {
  std::string value;
  if (!options.Get(option.option, value)) return 0;
  if (const uint32_t st = refusal(value)) return st;
  return FlagValue(cls, value, option, staged);
}

// The text block of a document: BIOS lines (view 1), UEFI lines (view 2) or
// UEFI and NVMe lines (view 4, nvme given).
std::string BootConfigText(const char* tracePrefix, size_t capacity, uint8_t view, bool legacy,
                           const BootRecord& record, const NvmeRecord* nvme);

}  // namespace bootcfg
