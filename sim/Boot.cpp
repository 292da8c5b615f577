// Boot configuration calls: the library's BFS configuration mode, the boot
// device record of each view and the NVMe boot entry record of each port.
#include <cstring>
#include <string>
#include <vector>

#include "sim/SimCore.h"

using namespace sim;

namespace {

using Record = std::vector<uint8_t>;

// Boot device record fields, by their record names.
const FieldSpec kBootFields[] = {
    {"DisableBIOS", kxboot::kDisableBIOS, FieldType::kU32, 4},
    {"EnableSelectableBoot", kxboot::kEnableSelectableBoot, FieldType::kU32, 4},
    {"BootPortName", kxboot::BootPortNameOffset(0), FieldType::kBytes, 8},
    {"BootLunNumber", kxboot::BootPortNameOffset(0) + 8, FieldType::kU16, 2},
    {"EnableSelectiveLogin", kxboot::kEnableSelectiveLogin, FieldType::kU32, 4},
    {"EnableSelectiveLUN", kxboot::kEnableSelectiveLUN, FieldType::kU32, 4},
    {"ForceWorldLogin", kxboot::kForceWorldLogin, FieldType::kU32, 4},
    {"Alt1BootPortName", kxboot::BootPortNameOffset(1), FieldType::kBytes, 8},
    {"Alt1BootLunNumber", kxboot::BootPortNameOffset(1) + 8, FieldType::kU16, 2},
    {"Alt2BootPortName", kxboot::BootPortNameOffset(2), FieldType::kBytes, 8},
    {"Alt2BootLunNumber", kxboot::BootPortNameOffset(2) + 8, FieldType::kU16, 2},
    {"Alt3BootPortName", kxboot::BootPortNameOffset(3), FieldType::kBytes, 8},
    {"Alt3BootLunNumber", kxboot::BootPortNameOffset(3) + 8, FieldType::kU16, 2},
    {"EnableFabricAssignBootLun", kxboot::kEnableFabricAssignBootLun, FieldType::kU32, 4},
    {"NVMeEnable", kxboot::kNVMeEnable, FieldType::kU8, 1},
    {"Alt4BootPortName", kxboot::BootPortNameOffset(4), FieldType::kBytes, 8},
    {"Alt4BootLunNumber", kxboot::BootPortNameOffset(4) + 8, FieldType::kU16, 2},
    {"Alt5BootPortName", kxboot::BootPortNameOffset(5), FieldType::kBytes, 8},
    {"Alt5BootLunNumber", kxboot::BootPortNameOffset(5) + 8, FieldType::kU16, 2},
    {"Alt6BootPortName", kxboot::BootPortNameOffset(6), FieldType::kBytes, 8},
    {"Alt6BootLunNumber", kxboot::BootPortNameOffset(6) + 8, FieldType::kU16, 2},
    {"Alt7BootPortName", kxboot::BootPortNameOffset(7), FieldType::kBytes, 8},
    {"Alt7BootLunNumber", kxboot::BootPortNameOffset(7) + 8, FieldType::kU16, 2},
};

// NVMe boot entry fields, offsets within the entry.
const FieldSpec kEntryFields[] = {
    {"TargetWWPN", kxboot::kTargetWWPN, FieldType::kBytes, 8},
    {"TargetWWNN", kxboot::kTargetWWNN, FieldType::kBytes, 8},
    {"TargetNSID", kxboot::kTargetNSID, FieldType::kU32, 4},
    {"TargetCtrlID", kxboot::kTargetCtrlID, FieldType::kU16, 2},
    {"TargetFlags", kxboot::kTargetFlags, FieldType::kU8, 1},
    {"TargetNQN", kxboot::kTargetNQN, FieldType::kText, kxboot::kNqnSize},
};
const FieldSpec kHostFields[] = {
    {"HostNQN", kxboot::kHostNQN, FieldType::kText, kxboot::kNqnSize},
    {"HostID", kxboot::kHostID, FieldType::kBytes, kxboot::kHostIDSize},
};

// Every byte outside the fields carries a pattern (its own per view), so that
// a byte the tool fails to pass back, or a record written to the wrong view,
// shows up; the fields start at zero.
template <size_t N>
void Pattern(Record& r, uint8_t seed, const FieldSpec (&fields)[N], size_t base = 0, size_t stride = 0,
             size_t count = 1) {
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(seed ^ i);
  for (size_t k = 0; k < count; ++k)
    for (const FieldSpec& f : fields) memset(&r[base + k * stride + f.offset], 0, f.size);
}

const char* ViewName(uint8_t mode) { return mode == kxboot::kModeBios ? "bios" : "uefi"; }

uint8_t CurrentMode() {
  const json& state = State();
  if (state.contains("bfsMode")) return static_cast<uint8_t>(Number(state["bfsMode"]));
  return static_cast<uint8_t>(Number(Fixture().value("bfsMode", json(1))));
}

Record FactoryBoot(KXAPI_PORT_HANDLE port, const char* view) {
  Record r(kxboot::kRecordSize);
  Pattern(r, std::strcmp(view, "bios") == 0 ? 0xB1 : 0xE2, kBootFields);
  const json fixture = PortJson(port).value("bootConfig", json::object()).value(view, json::object());
  ApplyFields(fixture, r.data(), r.size(), kBootFields, std::size(kBootFields));
  return r;
}

Record FactoryNvme(KXAPI_PORT_HANDLE port) {
  Record r(kxboot::kNvmeRecordSize);
  Pattern(r, 0x3C, kEntryFields, kxboot::kBootEntry, kxboot::kBootEntrySize, kxboot::kNvmeEntries);
  for (const FieldSpec& f : kHostFields) memset(&r[f.offset], 0, f.size);
  const json fixture = PortJson(port).value("nvmeBoot", json::object());
  ApplyFields(fixture, r.data(), r.size(), kHostFields, std::size(kHostFields));
  const json entries = fixture.value("entries", json::array());
  for (size_t i = 0; i < entries.size() && i < kxboot::kNvmeEntries; ++i)
    ApplyFields(entries[i], &r[kxboot::kBootEntry + i * kxboot::kBootEntrySize], kxboot::kBootEntrySize, kEntryFields,
                std::size(kEntryFields));
  return r;
}

// The record kept in the port's state under key, else the factory one.
Record Current(KXAPI_PORT_HANDLE port, const std::string& key, Record factory) {
  const json& saved = PortState(PortKey(port));
  if (saved.contains(key)) HexBytes(saved[key], factory.data(), factory.size());
  return factory;
}

std::string BootKey(uint8_t mode) { return std::string("boot.") + ViewName(mode); }

uint32_t Store(KXAPI_PORT_HANDLE port, const char* call, const std::string& key, const Record& before,
               const void* record, const std::string& what) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  LogCall(std::string(call) + " port=" + PortKey(port) + what + " changed=" +
          ByteDiff(before.data(), bytes, before.size()));
  if (const uint32_t rc = ScriptedResult(call, PortKey(port))) return rc;
  PortState(PortKey(port))[key] = ToHex(bytes, before.size());
  State()["rebootRequired"] = true;
  SaveState();
  return 0;
}

}  // namespace

extern "C" {

uint8_t KXAPI_GetBfsConfigMode(void) {
  const json* script = Script("KXAPI_GetBfsConfigMode");
  const uint8_t mode = script && script->contains("mode") ? static_cast<uint8_t>(Number((*script)["mode"])) : CurrentMode();
  LogCall("KXAPI_GetBfsConfigMode mode=" + std::to_string(mode));
  return mode;
}

uint32_t KXAPI_SetBfsConfigMode(uint8_t mode) {
  LogCall("KXAPI_SetBfsConfigMode mode=" + std::to_string(mode));
  if (const uint32_t rc = ScriptedResult("KXAPI_SetBfsConfigMode")) return rc;
  if (mode != kxboot::kModeBios && mode != kxboot::kModeUefi && mode != kxboot::kModeNvme) return 1;
  State()["bfsMode"] = mode;
  SaveState();
  return 0;
}

uint32_t KXAPI_GetBootDeviceInfo(KXAPI_PORT_HANDLE port, void* record, uint32_t flags) {
  const uint8_t mode = CurrentMode();
  LogCall("KXAPI_GetBootDeviceInfo port=" + PortKey(port) + " view=" + ViewName(mode) +
          " flags=" + std::to_string(flags));
  if (const uint32_t rc = ScriptedResult("KXAPI_GetBootDeviceInfo", PortKey(port))) return rc;
  const Record r = Current(port, BootKey(mode), FactoryBoot(port, ViewName(mode)));
  memcpy(record, r.data(), r.size());
  return 0;
}

uint32_t KXAPI_SetBootDeviceInfo(KXAPI_PORT_HANDLE port, void* record) {
  const uint8_t mode = CurrentMode();
  const Record before = Current(port, BootKey(mode), FactoryBoot(port, ViewName(mode)));
  return Store(port, "KXAPI_SetBootDeviceInfo", BootKey(mode), before, record, std::string(" view=") + ViewName(mode));
}

uint32_t KXAPI_GetNVMeBootDeviceEntries(KXAPI_PORT_HANDLE port, void* record) {
  LogCall("KXAPI_GetNVMeBootDeviceEntries port=" + PortKey(port));
  if (const uint32_t rc = ScriptedResult("KXAPI_GetNVMeBootDeviceEntries", PortKey(port))) return rc;
  const Record r = Current(port, "nvmeBoot", FactoryNvme(port));
  memcpy(record, r.data(), r.size());
  return 0;
}

uint32_t KXAPI_SetNVMeBootDeviceEntries(KXAPI_PORT_HANDLE port, void* record) {
  const Record before = Current(port, "nvmeBoot", FactoryNvme(port));
  return Store(port, "KXAPI_SetNVMeBootDeviceEntries", "nvmeBoot", before, record, "");
}

}  // extern "C"
