#include "boot/BootStaging.h"

#include <cstdio>
#include <vector>

#include "runtime/Paths.h"
#include "runtime/Trace.h"
#include "shell/CmdProcessor.h"
#include "shell/Status.h"

namespace bootcfg {

namespace {

using kxinv::Bytes8;

constexpr size_t kValueSize = 512;

// The flag keys of the boot device record, in the order the file is read.
struct FlagKey {
  const char* key;
  size_t offset;
  bool byteWide;
  const char* name;  // as traced: "<name>=<value> invalid"
  bool extOnly;
};

const FlagKey kFlagKeys[] = {
    {"Disable_BIOS", kxboot::kDisableBIOS, false, "disable-bios", false},
    {"Fabric_Assigned_Boot_Lun", kxboot::kEnableFabricAssignBootLun, false, "fabric-assigned-boot-lun", false},
    {"Selectable_Boot", kxboot::kEnableSelectableBoot, false, "selectable-boot", false},
    {"Selective_Login", kxboot::kEnableSelectiveLogin, false, "selective-login", false},
    {"Selective_LUN_Login", kxboot::kEnableSelectiveLUN, false, "selective-lun-login", false},
    {"World_Login", kxboot::kForceWorldLogin, false, "world-login", false},
    {"NVMe_Enable", kxboot::kNVMeEnable, true, "fc-nvme", true},
};

uint32_t FlagOf(const BootRecord& r, const FlagKey& f) {
  return f.byteWide ? r.Get<uint8_t>(f.offset) : r.Get<uint32_t>(f.offset);
}

std::string U(uint64_t v) { return std::to_string(v); }

// Reads one key; true when found.
bool Lookup(const KeyValueFile& file, const std::string& key, std::string& value) {
  char text[kValueSize] = "";
  if (file.Get(key.c_str(), text, sizeof text) <= 0) return false;
  value = text;
  return true;
}

}  // namespace

template <size_t N>
void Record<N>::PutText(size_t offset, size_t room, const std::string& text) {
  if (Text(offset, room) == text) return;
  std::memset(bytes.data() + offset, 0, room);
  std::memcpy(bytes.data() + offset, text.data(), std::min(text.size(), room - 1));
}
template struct Record<kxboot::kRecordSize>;
template struct Record<kxboot::kNvmeRecordSize>;

bool IsUefiBootAdapter(const kxinv::PciIdentity& p) {
  return kxinv::IsDeviceGroupB(p) || kxinv::IsDeviceGroupA(p) || kxinv::IsDeviceGroupC(p);
}

bool IsLegacyBootAdapter(const kxinv::PciIdentity& p) {
  return kxinv::IsDeviceGroupG(p) || kxinv::IsDeviceGroupH(p) || kxinv::IsDeviceGroupI(p);
}

std::string CachePath(const FileLayout& layout, const std::string& identifier) {
  return kxpaths::Resolve(kxpaths::kCacheDir) + "/" + layout.prefix + identifier;
}

std::string BootModeValue(const FileLayout& layout, uint8_t view) {
  if (layout.ext) return U(view);
  return view == kxboot::kModeUefi ? "1" : "0";
}

std::optional<uint8_t> BootModeFromValue(const FileLayout& layout, const std::string& value) {
  const std::optional<uint64_t> v = ParseNumber(value, 0, 4);
  if (!v) return std::nullopt;
  if (!layout.ext) return *v == 1 ? kxboot::kModeUefi : kxboot::kModeBios;
  if (*v == kxboot::kModeBios || *v == kxboot::kModeUefi || *v == kxboot::kModeNvme) return static_cast<uint8_t>(*v);
  return std::nullopt;
}

std::string DriveWwpnKey(unsigned n) {
  return n == 0 ? "Primary_Boot_Target_WWPN" : "Alternate_Boot_Target_" + U(n) + "_WWPN";
}
std::string DriveLunKey(unsigned n) {
  return n == 0 ? "Primary_Boot_Target_LUN" : "Alternate_Boot_Target_" + U(n) + "_LUN";
}
std::string NvmeKey(unsigned n, const char* field) { return "NVME_" + U(n) + "_" + field; }

std::map<std::string, std::string> RecordKeys(const FileLayout& layout, uint8_t view, const BootRecord& record,
                                              const NvmeRecord* nvme) {
  std::map<std::string, std::string> keys;
  keys["Boot_Mode"] = BootModeValue(layout, view);
  for (const FlagKey& f : kFlagKeys)
    if (layout.ext || !f.extOnly) keys[f.key] = U(FlagOf(record, f));
  for (unsigned n = 0; n < 8; ++n) {
    const size_t at = kxboot::BootPortNameOffset(n);
    keys[DriveWwpnKey(n)] = kxinv::FormatWwn(record.Wwn(at));
    keys[DriveLunKey(n)] = U(record.Get<uint16_t>(at + kxboot::kLunAfterName));
  }
  if (layout.ext && nvme) {
    for (unsigned n = 0; n < kxboot::kNvmeEntries; ++n) {
      const size_t e = EntryOffset(n);
      keys[NvmeKey(n, "Enable")] = U(nvme->Get<uint8_t>(e + kxboot::kTargetFlags));
      keys[NvmeKey(n, "WWNN")] = kxinv::FormatWwn(nvme->Wwn(e + kxboot::kTargetWWNN));
      keys[NvmeKey(n, "WWPN")] = kxinv::FormatWwn(nvme->Wwn(e + kxboot::kTargetWWPN));
      keys[NvmeKey(n, "NQN")] = nvme->Text(e + kxboot::kTargetNQN, kxboot::kNqnSize);
      keys[NvmeKey(n, "ControllerID")] = U(nvme->Get<uint16_t>(e + kxboot::kTargetCtrlID));
      keys[NvmeKey(n, "NamespaceID")] = U(nvme->Get<uint32_t>(e + kxboot::kTargetNSID));
    }
  }
  return keys;
}

uint32_t ReadBootMode(const FileLayout& layout, const KeyValueFile& file, uint8_t& view) {
  std::string value;
  view = kxboot::kModeBios;
  if (!Lookup(file, "Boot_Mode", value)) return 0;
  const std::optional<uint8_t> v = BootModeFromValue(layout, value);
  if (!v) return kxstatus::kInvalidParameter;
  view = *v;
  return 0;
}

uint32_t ReadBootConfigFromFile(const char* cls, const FileLayout& layout, const KeyValueFile& file,
                                BootRecord& record, uint8_t& view, NvmeRecord* nvme) {
  constexpr const char* fn = "ReadBootConfigFromFile";
  std::string value;
  auto get = [&](const std::string& key) { return Lookup(file, key, value); };
  auto invalid = [&](const std::string& key) {
    TraceLevel(kTraceError, "%s::%s: %s=%s invalid", cls, fn, key.c_str(), value.c_str());
    return kxstatus::kInvalidParameter;
  };
  if (get("Boot_Mode")) {
    const std::optional<uint8_t> v = BootModeFromValue(layout, value);
    if (!v) return invalid("Boot_Mode");
    view = *v;
  }
  for (const FlagKey& f : kFlagKeys) {
    if ((f.extOnly && !layout.ext) || !get(f.key)) continue;
    const std::optional<uint64_t> v = ParseNumber(value, 0, 1);
    if (!v) {
      TraceLevel(kTraceError, "%s::%s: %s=%s invalid", cls, fn, f.name, value.c_str());
      return kxstatus::kInvalidParameter;
    }
    if (f.byteWide) record.Put<uint8_t>(f.offset, static_cast<uint8_t>(*v));
    else record.Put<uint32_t>(f.offset, static_cast<uint32_t>(*v));
  }
  for (unsigned n = 0; n < 8; ++n) {
    const size_t at = kxboot::BootPortNameOffset(n);
    if (get(DriveWwpnKey(n))) {
      const std::optional<Bytes8> wwn = ParseWwpn(value);
      if (!wwn) return invalid(DriveWwpnKey(n));
      record.Put(at, *wwn);
    }
    if (get(DriveLunKey(n))) {
      const std::optional<uint64_t> lun = ParseNumber(value, 0, UINT16_MAX);
      if (!lun) return invalid(DriveLunKey(n));
      record.Put<uint16_t>(at + kxboot::kLunAfterName, static_cast<uint16_t>(*lun));
    }
  }
  if (layout.ext && nvme) {
    for (unsigned n = 0; n < kxboot::kNvmeEntries; ++n) {
      const size_t e = EntryOffset(n);
      if (get(NvmeKey(n, "Enable"))) {
        const std::optional<uint64_t> v = ParseNumber(value, 0, UINT32_MAX);
        if (!v) return invalid(NvmeKey(n, "Enable"));
        if (*v <= 1) nvme->Put<uint8_t>(e + kxboot::kTargetFlags, static_cast<uint8_t>(*v));
      }
      for (const auto& [field, offset] : {std::pair{"WWNN", kxboot::kTargetWWNN}, {"WWPN", kxboot::kTargetWWPN}}) {
        if (!get(NvmeKey(n, field))) continue;
        const std::optional<Bytes8> wwn = ParseWwpn(value);
        if (!wwn) return invalid(NvmeKey(n, field));
        nvme->Put(e + offset, *wwn);
      }
      if (get(NvmeKey(n, "NQN"))) {
        if (value.size() >= kxboot::kNqnSize) return invalid(NvmeKey(n, "NQN"));
        nvme->PutText(e + kxboot::kTargetNQN, kxboot::kNqnSize, value);
      }
      if (get(NvmeKey(n, "ControllerID"))) {
        const std::optional<uint64_t> v = ParseNumber(value, 0, UINT16_MAX);
        if (!v) return invalid(NvmeKey(n, "ControllerID"));
        nvme->Put<uint16_t>(e + kxboot::kTargetCtrlID, static_cast<uint16_t>(*v));
      }
      if (get(NvmeKey(n, "NamespaceID"))) {
        const std::optional<uint64_t> v = ParseNumber(value, 0, UINT32_MAX);
        if (!v) return invalid(NvmeKey(n, "NamespaceID"));
        nvme->Put<uint32_t>(e + kxboot::kTargetNSID, static_cast<uint32_t>(*v));
      }
    }
  }
  return 0;
}

std::optional<Bytes8> ParseWwpn(const std::string& text) {
  Bytes8 wwn{};
  size_t pos = 0;
  for (size_t i = 0; i < wwn.size(); ++i) {
    const size_t end = i + 1 < wwn.size() ? text.find(':', pos) : text.size();
    if (end == std::string::npos || end - pos > 2) return std::nullopt;
    const std::string part = text.substr(pos, end - pos);
    if (part.size() > 1 && (part[1] == 'x' || part[1] == 'X')) return std::nullopt;  // one or two digits, no prefix
    const std::optional<uint64_t> byte = ParseNumber(part, 0, 0xFF, 16);
    if (!byte) return std::nullopt;
    wwn[i] = static_cast<uint8_t>(*byte);
    pos = end + 1;
  }
  return wwn;
}

kxinv::TargetRef FindTarget(kxinv::PortEntryRef entry, const Bytes8& wwpn) {
  for (kxinv::TargetRef t = entry.FirstTarget(); t; t = t.Next())
    if (t.WWPN() == wwpn) return t;
  return kxinv::TargetRef(nullptr);
}

bool HasLun(kxinv::TargetRef target, uint32_t lun) {
  for (kxinv::LunRef l = target.FirstLun(); l; l = l.Next())
    if (l.Number() == lun) return true;
  return false;
}

uint32_t FlagValue(const char* cls, const std::string& value, const FlagOption& option,
                   std::map<std::string, std::string>& staged) {
  const bool on = EqualsNoCase(value, "true");
  if (!on && !EqualsNoCase(value, "false")) {
    TraceLevel(kTraceError, "%s::UpdateBootConfigInFile: %s=%s not supported", cls, option.name, value.c_str());
    return kxstatus::kInvalidParameter;
  }
  staged[option.key] = on != option.inverted ? "1" : "0";
  return 0;
}

std::string BootConfigText(const char* tracePrefix, size_t capacity, uint8_t view, bool legacy,
                           const BootRecord& r, const NvmeRecord* nvme) {
  ReportBlock block(capacity, tracePrefix);
  auto flag = [&](const char* label, size_t offset) {
    block.Add("      %s: %s\n", label, r.Get<uint32_t>(offset) ? kxkey::kTrue : kxkey::kFalse);
  };
  auto wwn = [&](const std::string& label, const Bytes8& w) {
    block.Add("      %s: %02hhx:%02hhx:%02hhx:%02hhx:%02hhx:%02hhx:%02hhx:%02hhx\n", label.c_str(), w[0], w[1], w[2],
              w[3], w[4], w[5], w[6], w[7]);
  };
  const char* enabled = r.Get<uint32_t>(kxboot::kDisableBIOS) == 0 ? kxkey::kTrue : kxkey::kFalse;
  unsigned drives = 0;
  if (view == kxboot::kModeBios) {
    block.Add("%s: %s\n", "Adapter BIOS", enabled);
    flag("Selectable Boot", kxboot::kEnableSelectableBoot);
    if (!legacy) flag("Fabric Assigned Boot LUN", kxboot::kEnableFabricAssignBootLun);
    drives = 4;
  } else {
    block.Add("%s: %s\n", "Adapter Driver", enabled);
    flag("Selective Login", kxboot::kEnableSelectiveLogin);
    flag("Selective LUN Login", kxboot::kEnableSelectiveLUN);
    flag("World Login", kxboot::kForceWorldLogin);
    flag("Fabric Assigned Boot LUN", kxboot::kEnableFabricAssignBootLun);
    drives = view == kxboot::kModeNvme ? 0 : 8;
  }
  for (unsigned n = 0; n < drives; ++n) {
    const size_t at = kxboot::BootPortNameOffset(n);
    wwn("Drive " + U(n) + " WWPN", r.Wwn(at));
    block.Add("      %s: %u\n", ("Drive " + U(n) + " LUN").c_str(), r.Get<uint16_t>(at + kxboot::kLunAfterName));
  }
  if (view != kxboot::kModeNvme || !nvme) return block.Text();
  block.Add("      %s: %s\n", "FC NVMe", r.Get<uint8_t>(kxboot::kNVMeEnable) ? kxkey::kTrue : kxkey::kFalse);
  block.Add("      %s: %s\n", "Host NQN", nvme->Text(kxboot::kHostNQN, kxboot::kNqnSize).c_str());
  const auto id = nvme->Get<std::array<uint8_t, kxboot::kHostIDSize>>(kxboot::kHostID);
  block.Add("      %s: %02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx%02hhx\n",
            "Host ID", id[0], id[1], id[2], id[3], id[4], id[5], id[6], id[7], id[8], id[9], id[10], id[11], id[12],
            id[13], id[14], id[15]);
  for (unsigned n = 0; n < kxboot::kNvmeEntries; ++n) {
    const size_t e = EntryOffset(n);
    block.Add("      %s %u: %s\n", "Storage", n, nvme->Get<uint8_t>(e + kxboot::kTargetFlags) ? kxkey::kTrue : kxkey::kFalse);
    for (const auto& [field, offset] : {std::pair{"WWNN", kxboot::kTargetWWNN}, {"WWPN", kxboot::kTargetWWPN}}) {
      const Bytes8 w = nvme->Wwn(e + offset);
      block.Add("      %s %u %s: %02hhx:%02hhx:%02hhx:%02hhx:%02hhx:%02hhx:%02hhx:%02hhx\n", "Storage", n, field, w[0],
                w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
    }
    block.Add("      %s %u %s: %s\n", "Storage", n, "NQN", nvme->Text(e + kxboot::kTargetNQN, kxboot::kNqnSize).c_str());
    block.Add("      %s %u %s: 0x%x\n", "Storage", n, "ControllerID", nvme->Get<uint16_t>(e + kxboot::kTargetCtrlID));
    block.Add("      %s %u %s: %u\n", "Storage", n, "NamespaceID", nvme->Get<uint32_t>(e + kxboot::kTargetNSID));
  }
  return block.Text();
}

}  // namespace bootcfg
