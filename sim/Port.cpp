// Calls of the port families: NVRAM update, temperature, lockdown, flash
// component versions and the reset of the firmware counters.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "sim/SimCore.h"

using namespace sim;

namespace {

const FieldSpec kPortFields[] = {
    {"pciBus", kxrec::kEntryPciBusNumber, FieldType::kU8, 1},
    {"pciDevice", kxrec::kEntryPciDeviceNumber, FieldType::kU8, 1},
    {"pciFunction", kxrec::kEntryPciFunctionNumber, FieldType::kU8, 1},
    // Driver counters.
    {"controllerErrors", kxrec::kEntryDriverCounters + 0, FieldType::kU32, 4},
    {"deviceErrors", kxrec::kEntryDriverCounters + 4, FieldType::kU32, 4},
    {"ioCount", kxrec::kEntryDriverCounters + 8, FieldType::kU32, 4},
    {"megaBytes", kxrec::kEntryDriverCounters + 12, FieldType::kU32, 4},
    {"lipResets", kxrec::kEntryDriverCounters + 16, FieldType::kU32, 4},
    {"interrupts", kxrec::kEntryDriverCounters + 20, FieldType::kU32, 4},
    // Firmware link error counters.
    {"linkFailures", kxrec::kEntryFirmwareCounters + 0, FieldType::kU32, 4},
    {"lossOfSync", kxrec::kEntryFirmwareCounters + 4, FieldType::kU32, 4},
    {"lossOfSignal", kxrec::kEntryFirmwareCounters + 8, FieldType::kU32, 4},
    {"primitiveSequenceErrors", kxrec::kEntryFirmwareCounters + 12, FieldType::kU32, 4},
    {"invalidTransmissionWords", kxrec::kEntryFirmwareCounters + 16, FieldType::kU32, 4},
    {"invalidCrcs", kxrec::kEntryFirmwareCounters + 20, FieldType::kU32, 4},
};
FieldRegistrar registrar(RecordKind::kPortEntry, kPortFields);

constexpr const char* kCountersReset = "firmwareCountersReset";

void ClearFirmwareCounters(uint8_t* entry) {
  memset(entry + kxrec::kEntryFirmwareCounters, 0, 4 * kxrec::kEntryCounterCount);
}

// Counters cleared by an earlier run stay cleared.
void ApplyCountersState(const json& /*port*/, uint8_t* entry) {
  const json& ports = State().contains("ports") ? State()["ports"] : json::object();
  const std::string key = PortKey(entry + kxrec::kEntryPortHandle);
  if (ports.contains(key) && ports[key].value(kCountersReset, false)) ClearFirmwareCounters(entry);
}
const FinisherRegistrar kCountersFinisher(RecordKind::kPortEntry, &ApplyCountersState);

// A value the call hands back: the scripted one, else the port's fixture key.
const json* ValueOf(const json* script, KXAPI_PORT_HANDLE port, const char* key) {
  if (script && script->contains(key)) return &(*script)[key];
  const json& fixture = PortJson(port);
  return fixture.contains(key) ? &fixture[key] : nullptr;
}

struct LockdownSlot {
  const char* key;
  size_t flag;
  size_t status;
};
const LockdownSlot kLockdownSlots[] = {
    {"config", kxrec::kLockdownConfigFlag, kxrec::kLockdownConfigStatus},
    {"firmwareUpdate", kxrec::kLockdownFirmwareUpdateFlag, kxrec::kLockdownFirmwareUpdateStatus},
    {"mpi", kxrec::kLockdownMpiFlag, kxrec::kLockdownMpiStatus},
};

}  // namespace

extern "C" {

uint32_t KXAPI_UpdateAdapterNVRAMFromFile(KXAPI_PORT_HANDLE port, const char* path) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_UpdateAdapterNVRAMFromFile port=" + key + " path=" + (path ? path : ""));
  if (const uint32_t rc = ScriptedResult("KXAPI_UpdateAdapterNVRAMFromFile", key)) return rc;
  struct stat info {};
  if (!path || stat(path, &info) != 0) return 2;
  PortState(key)["nvramImage"] = path;
  State()["rebootRequired"] = true;
  SaveState();
  return 0;
}

uint32_t KXAPI_GetAdapterAsicBoardTemperature(KXAPI_PORT_HANDLE port, void* record) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetAdapterAsicBoardTemperature port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_GetAdapterAsicBoardTemperature", key)) return rc;
  return GuardFixture("KXAPI_GetAdapterAsicBoardTemperature", [&]() -> uint32_t {
    const json* value = ValueOf(Script("KXAPI_GetAdapterAsicBoardTemperature", key), port, "temperature");
    const int16_t celsius = value ? static_cast<int16_t>(Number(*value)) : 0;
    memcpy(static_cast<uint8_t*>(record) + kxrec::kTemperatureCelsius, &celsius, sizeof celsius);
    return 0;
  });
}

uint32_t KXAPI_GetLockdownStatus(KXAPI_PORT_HANDLE port, void* record) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetLockdownStatus port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_GetLockdownStatus", key)) return rc;
  return GuardFixture("KXAPI_GetLockdownStatus", [&]() -> uint32_t {
    const json* lockdown = ValueOf(Script("KXAPI_GetLockdownStatus", key), port, "lockdown");
    if (!lockdown) return 0;
    auto* bytes = static_cast<uint8_t*>(record);
    for (const LockdownSlot& slot : kLockdownSlots) {
      if (!lockdown->contains(slot.key)) continue;
      const json& item = (*lockdown)[slot.key];
      bytes[slot.flag] = static_cast<uint8_t>(Number(item.value("flag", json(0))));
      const uint32_t status = static_cast<uint32_t>(Number(item.value("status", json(0))));
      memcpy(bytes + slot.status, &status, sizeof status);
    }
    return 0;
  });
}

uint32_t KXAPI_ResetDeviceStats(KXAPI_PORT_HANDLE port) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_ResetDeviceStats port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_ResetDeviceStats", key)) return rc;
  ClearFirmwareCounters(EntryOf(port));
  PortState(key)[kCountersReset] = true;
  SaveState();
  return 0;
}

}  // extern "C"
