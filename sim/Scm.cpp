// SAN congestion management: the SCM fields of port and target entries, the
// USCM feature byte, the lent statistics list and the profile record.
#include <cstdlib>
#include <cstring>
#include <set>

#include "sim/SimCore.h"

using namespace sim;

namespace {

constexpr uint32_t kRcBadArgument = 2;
constexpr uint32_t kRcUnknownList = 3;

const FieldSpec kEntryFields[] = {
    {"scmNotifications", kxrec::kEntryScmNotifications, FieldType::kU16, 2},
    {"scmLinkEventType", kxrec::kEntryScmLinkEventType, FieldType::kU16, 2},
    {"scmLinkEventThreshold", kxrec::kEntryScmLinkEventThreshold, FieldType::kU32, 4},
    {"scmDeliveryEventType", kxrec::kEntryScmDeliveryEventType, FieldType::kU16, 2},
    {"scmCongestionEventType", kxrec::kEntryScmCongestionEventType, FieldType::kU16, 2},
    {"scmCongestionPeriod", kxrec::kEntryScmCongestionPeriod, FieldType::kU32, 4},
    {"scmSeverity", kxrec::kEntryScmSeverity, FieldType::kU8, 1},
    {"scmFabricFlags", kxrec::kEntryScmFabricFlags, FieldType::kU8, 1},
    {"scmCongestionState", kxrec::kEntryScmCongestionState, FieldType::kU8, 1},
    {"scmVirtualLane", kxrec::kEntryScmVirtualLane, FieldType::kU8, 1},
    {"scmSecondsSinceEvent", kxrec::kEntryScmSecondsSinceEvent, FieldType::kU32, 4},
    {"scmLinkIntegrityEvents", kxrec::kEntryScmLinkIntegrityEvents, FieldType::kU8, 1},
    {"scmDeliveryEvents", kxrec::kEntryScmDeliveryEvents, FieldType::kU8, 1},
    {"scmIoThrottling", kxrec::kEntryScmIoThrottling, FieldType::kU8, 1},
};
const FieldRegistrar kEntryRegistrar(RecordKind::kPortEntry, kEntryFields);

const FieldSpec kTargetFields[] = {
    {"scmNotifications", kxrec::kTargetScmNotifications, FieldType::kU16, 2},
    {"scmLinkEventType", kxrec::kTargetScmLinkEventType, FieldType::kU16, 2},
    {"scmLinkEventThreshold", kxrec::kTargetScmLinkEventThreshold, FieldType::kU32, 4},
    {"scmDeliveryEventType", kxrec::kTargetScmDeliveryEventType, FieldType::kU16, 2},
    {"scmPeerEventType", kxrec::kTargetScmPeerEventType, FieldType::kU16, 2},
    {"scmPeerPeriod", kxrec::kTargetScmPeerPeriod, FieldType::kU32, 4},
    {"scmLinkIntegrityEvents", kxrec::kTargetScmLinkIntegrityEvents, FieldType::kU8, 1},
    {"scmSecondsSinceEvent", kxrec::kTargetScmSecondsSinceEvent, FieldType::kU32, 4},
};
const FieldRegistrar kTargetRegistrar(RecordKind::kTarget, kTargetFields);

template <class T>
void Put(uint8_t* record, size_t offset, T value) {
  memcpy(record + offset, &value, sizeof value);
}

// The 64-bit alarm and warning counts.
void FinishEntry(const json& port, uint8_t* entry) {
  if (!port.is_object()) return;
  Put<uint64_t>(entry, kxrec::kEntryScmAlarmCount, Number(port.value("scmAlarmCount", json(0))));
  Put<uint64_t>(entry, kxrec::kEntryScmWarningCount, Number(port.value("scmWarningCount", json(0))));
}
const FinisherRegistrar kEntryFinisher(RecordKind::kPortEntry, FinishEntry);

// A value the call hands back: the scripted one, else the port's fixture key.
const json* ValueOf(const json* script, KXAPI_PORT_HANDLE port, const char* key) {
  if (script && script->contains(key)) return &(*script)[key];
  const json& object = PortJson(port);
  return object.contains(key) ? &object[key] : nullptr;
}

// Lists handed out and not yet given back; any left at exit are logged.
struct Lent {
  std::set<void*> lists;
  ~Lent() {
    if (!lists.empty()) LogCall("kxsim: SCMR statistics lists never freed: " + std::to_string(lists.size()));
  }
};
Lent& Outstanding() {
  static Lent lent;
  return lent;
}

void* BuildRecord(const json& spec) {
  auto* r = static_cast<uint8_t*>(calloc(1, kxrec::kScmrRecordSize));
  if (!r) throw std::runtime_error("out of memory");
  try {
    Put<uint32_t>(r, kxrec::kScmrKind, static_cast<uint32_t>(Number(spec.value("kind", json(0)))));
    if (spec.contains("wwnn")) HexBytes(spec["wwnn"], r + kxrec::kScmrNames, 8);
    if (spec.contains("wwpn")) HexBytes(spec["wwpn"], r + kxrec::kScmrNames + 8, 8);
    const json counters = spec.value("counters", json::array());
    if (counters.is_array()) {
      for (size_t i = 0; i < counters.size() && i < kxrec::kScmrCounterCount; ++i)
        Put<uint64_t>(r, kxrec::ScmrCounter(i), Number(counters[i]));
    } else {
      for (auto it = counters.begin(); it != counters.end(); ++it) {
        const size_t i = static_cast<size_t>(Number(json(it.key())));
        if (i >= kxrec::kScmrCounterCount) throw std::runtime_error("counter index " + it.key() + " out of range");
        Put<uint64_t>(r, kxrec::ScmrCounter(i), Number(it.value()));
      }
    }
    Put<uint64_t>(r, kxrec::kScmrUncorrectableFec, Number(spec.value("fecUncorrectable", json(0))));
  } catch (...) {
    free(r);
    throw;
  }
  return r;
}

void FreeRecords(void* list) {
  for (auto* r = static_cast<uint8_t*>(list); r;) {
    uint8_t* next;
    memcpy(&next, r + kxrec::kScmrNext, sizeof next);
    free(r);
    r = next;
  }
}

// The list of the records described: linked in order; null for none.
void* BuildList(const json& records) {
  void* head = nullptr;
  uint8_t* last = nullptr;
  try {
    for (const json& spec : records) {
      void* r = BuildRecord(spec);
      if (last) Put(last, kxrec::kScmrNext, r);
      else head = r;
      last = static_cast<uint8_t*>(r);
    }
  } catch (...) {
    FreeRecords(head);
    throw;
  }
  return head;
}

size_t CountRecords(const void* list) {
  size_t n = 0;
  for (auto* r = static_cast<const uint8_t*>(list); r; ++n) memcpy(&r, r + kxrec::kScmrNext, sizeof r);
  return n;
}

// The profile the port has now: the last one set, else the fixture's; by
// default bytes 3-15 carry 0xA5 ^ offset, so a byte not passed back shows up.
void CurrentProfile(KXAPI_PORT_HANDLE port, const std::string& key, uint8_t* record) {
  for (size_t i = 0; i < kxrec::kScmrProfileSize; ++i) record[i] = i < 3 ? 0 : static_cast<uint8_t>(0xA5 ^ i);
  const json& saved = PortState(key);
  if (saved.contains("scmProfile")) HexBytes(saved["scmProfile"], record, kxrec::kScmrProfileSize);
  else if (const json* fixture = ValueOf(nullptr, port, "scmProfile")) HexBytes(*fixture, record, kxrec::kScmrProfileSize);
}

}  // namespace

extern "C" {

uint32_t KXAPI_IsUSCMFeatureEnabled(KXAPI_PORT_HANDLE port, uint8_t* enabled) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_IsUSCMFeatureEnabled port=" + key);
  if (!port || !enabled) return kRcBadArgument;
  return GuardFixture("KXAPI_IsUSCMFeatureEnabled", [&] {
    const json* script = Script("KXAPI_IsUSCMFeatureEnabled", key);
    if (const uint32_t rc = ScriptedResult("KXAPI_IsUSCMFeatureEnabled", key)) return rc;
    const json* value = ValueOf(script && script->contains("enabled") ? script : nullptr, port,
                                script && script->contains("enabled") ? "enabled" : "uscmEnabled");
    *enabled = static_cast<uint8_t>(value ? Number(*value) : 1);
    return 0u;
  });
}

uint32_t KXAPI_GetSCMRStatisticsList(KXAPI_PORT_HANDLE port, void** list) {
  const std::string key = PortKey(port);
  const json* script = Script("KXAPI_GetSCMRStatisticsList", key);
  const json* records = ValueOf(script, port, "scmrStats");
  const size_t count = records && records->is_array() ? records->size() : 0;
  LogCall("KXAPI_GetSCMRStatisticsList port=" + key + " records=" + std::to_string(count));
  if (!port || !list) return kRcBadArgument;
  return GuardFixture("KXAPI_GetSCMRStatisticsList", [&] {
    *list = nullptr;
    // A failing library may still have built the list; a script naming both hands it back.
    const uint32_t rc = ScriptedResult("KXAPI_GetSCMRStatisticsList", key);
    const bool handBack = rc == 0 || (script && script->contains("scmrStats"));
    if (handBack && count > 0) {
      *list = BuildList(*records);
      Outstanding().lists.insert(*list);
    }
    return rc;
  });
}

uint32_t KXAPI_FreeSCMRStatisticsList(void* list) {
  LogCall("KXAPI_FreeSCMRStatisticsList records=" + std::to_string(CountRecords(list)));
  if (!list || Outstanding().lists.erase(list) == 0) return kRcUnknownList;
  FreeRecords(list);
  // The memory goes back either way; the script only decides what the caller hears.
  return ScriptedResult("KXAPI_FreeSCMRStatisticsList");
}

uint32_t KXAPI_SANCongMgmtResetStatistics(KXAPI_PORT_HANDLE port) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_SANCongMgmtResetStatistics port=" + key);
  if (!port) return kRcBadArgument;
  return ScriptedResult("KXAPI_SANCongMgmtResetStatistics", key);
}

uint32_t KXAPI_GetSCMRProfile(KXAPI_PORT_HANDLE port, uint8_t* record) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetSCMRProfile port=" + key);
  if (!port || !record) return kRcBadArgument;
  return GuardFixture("KXAPI_GetSCMRProfile", [&] {
    if (const uint32_t rc = ScriptedResult("KXAPI_GetSCMRProfile", key)) return rc;
    CurrentProfile(port, key, record);
    return 0u;
  });
}

uint32_t KXAPI_SetSCMRProfile(KXAPI_PORT_HANDLE port, uint8_t* record) {
  const std::string key = PortKey(port);
  const std::string hex = record ? ToHex(record, kxrec::kScmrProfileSize) : "null";
  LogCall("KXAPI_SetSCMRProfile port=" + key + " record=" + hex);
  if (!port || !record) return kRcBadArgument;
  if (const uint32_t rc = ScriptedResult("KXAPI_SetSCMRProfile", key)) return rc;
  PortState(key)["scmProfile"] = hex;
  SaveState();
  return 0;
}

}  // extern "C"
