// Target and LUN entries from the fixture, remote-port link statistics and
// the per-target iIDMA speed.
#include <cstdio>
#include <cstring>

#include "sim/SimCore.h"

using namespace sim;

namespace {

// Library results of this family's calls.
constexpr uint32_t kRcBadArgument = 2;
constexpr uint32_t kRcNoSuchTarget = 3;

const FieldSpec kTargetFields[] = {
    {"wwnn", kxrec::kTargetNodeName, FieldType::kBytes, 8},
    {"portId", kxrec::kTargetPortId, FieldType::kBytes, 3},
    {"targetNumber", kxrec::kTargetNumber, FieldType::kU16, 2},
    {"congestion", kxrec::kTargetCongestionState, FieldType::kU8, 1},
    {"virtualLane", kxrec::kTargetVirtualLane, FieldType::kU8, 1},
    {"ioThrottling", kxrec::kTargetIoThrottling, FieldType::kU8, 1},
    {"configFlags", kxrec::kTargetConfigFlags, FieldType::kU8, 1},
    {"loginFlags", kxrec::kTargetLoginFlags, FieldType::kU8, 1},
    {"sessionFlags", kxrec::kTargetSessionFlags, FieldType::kU8, 1},
    {"deviceType", kxrec::kTargetDeviceType, FieldType::kU32, 4},
    {"controllerId", kxrec::kTargetNvmeControllerId, FieldType::kU16, 2},
};
const FieldRegistrar kTargetRegistrar(RecordKind::kTarget, kTargetFields);

const FieldSpec kLunFields[] = {
    {"uniqueIdLength", kxrec::kLunUniqueIdLength, FieldType::kU8, 1},
    {"blockSize", kxrec::kLunBlockSize, FieldType::kU32, 4},
    {"flags", kxrec::kLunFlags, FieldType::kU8, 1},
};
const FieldRegistrar kLunRegistrar(RecordKind::kLun, kLunFields);

template <class T>
void Put(uint8_t* record, size_t offset, T value) {
  memcpy(record + offset, &value, sizeof value);
}

template <class T>
T Get(const uint8_t* record, size_t offset) {
  T value;
  memcpy(&value, record + offset, sizeof value);
  return value;
}

// Fixed-width character fields: the text may fill the whole width, without a NUL.
struct CharField {
  const char* key;
  size_t offset;
  size_t width;
};

void PutChars(const json& object, uint8_t* record, const CharField& field) {
  auto it = object.find(field.key);
  if (it == object.end()) return;
  if (!it->is_string()) throw std::runtime_error(std::string("field \"") + field.key + "\": expected text");
  const std::string text = it->get<std::string>();
  if (text.size() > field.width)
    throw std::runtime_error(std::string("field \"") + field.key + "\": longer than " + std::to_string(field.width) +
                             " characters");
  memcpy(record + field.offset, text.data(), text.size());
}

const CharField kTargetChars[] = {
    {"vendor", kxrec::kTargetVendorId, kxrec::kTargetVendorIdSize},
    {"product", kxrec::kTargetProductId, kxrec::kTargetProductIdSize},
    {"revision", kxrec::kTargetProductRevision, kxrec::kTargetProductRevisionSize},
    {"serial", kxrec::kTargetSerialNumber, kxrec::kTargetSerialNumberSize},
    {"nvmeRevision", kxrec::kTargetNvmeRevision, kxrec::kTargetNvmeRevisionSize},
    {"nqn", kxrec::kTargetNvmeSubsystemNqn, kxrec::kTargetNvmeSubsystemNqnSize},
};

const CharField kLunChars[] = {
    {"vendor", kxrec::kLunVendorId, kxrec::kLunVendorIdSize},
    {"product", kxrec::kLunProductId, kxrec::kLunProductIdSize},
    {"revision", kxrec::kLunProductRevision, kxrec::kLunProductRevisionSize},
    {"nvmeRevision", kxrec::kLunNvmeRevision, kxrec::kLunNvmeRevisionSize},
};

// A remote-port record names the target itself unless the fixture says otherwise.
struct RemotePortNaming {
  uint32_t portIdWord;
  uint8_t name[8];
};

RemotePortNaming NamingOf(const json& rport, const uint8_t* target) {
  RemotePortNaming naming{};
  uint8_t portId[3];
  memcpy(portId, target + kxrec::kTargetPortId, sizeof portId);
  if (rport.contains("portId")) HexBytes(rport["portId"], portId, sizeof portId);
  naming.portIdWord = KxPortIdWord(portId);
  memcpy(naming.name, target + kxrec::kTargetWWPN, sizeof naming.name);
  if (rport.contains("wwpn")) HexBytes(rport["wwpn"], naming.name, sizeof naming.name);
  return naming;
}

void PutRemotePorts(const json& target, uint8_t* record) {
  if (auto it = target.find("remotePort1"); it != target.end()) {
    if (!it->is_object()) throw std::runtime_error("\"remotePort1\" must be an object");
    const RemotePortNaming naming = NamingOf(*it, record);
    Put<uint32_t>(record, kxrec::kTargetRport1Id, naming.portIdWord);
    memcpy(record + kxrec::kTargetRport1Name, naming.name, sizeof naming.name);
    Put<uint8_t>(record, kxrec::kTargetRport1Flags, static_cast<uint8_t>(Number(it->value("flags", json(0)))));
    Put<uint32_t>(record, kxrec::kTargetRport1AuthState,
                  static_cast<uint32_t>(Number(it->value("authState", json(0)))));
  }
  if (auto it = target.find("remotePort2"); it != target.end()) {
    if (!it->is_object()) throw std::runtime_error("\"remotePort2\" must be an object");
    const RemotePortNaming naming = NamingOf(*it, record);
    Put<uint32_t>(record, kxrec::kTargetRport2Id, naming.portIdWord);
    memcpy(record + kxrec::kTargetRport2Name, naming.name, sizeof naming.name);
    Put<uint8_t>(record, kxrec::kTargetRport2Role, static_cast<uint8_t>(Number(it->value("role", json(0)))));
    Put<uint8_t>(record, kxrec::kTargetRport2Security, static_cast<uint8_t>(Number(it->value("security", json(0)))));
    Put<uint8_t>(record, kxrec::kTargetRport2AuthState, static_cast<uint8_t>(Number(it->value("authState", json(0)))));
  }
}

void FinishTarget(const json& target, uint8_t* record) {
  for (const CharField& field : kTargetChars) PutChars(target, record, field);
  const json& luns = target.contains("luns") ? target["luns"] : json::array();
  Put<uint32_t>(record, kxrec::kTargetLunCount,
                static_cast<uint32_t>(Number(target.value("lunCount", json(luns.size())))));
  if (target.value("online", false)) {
    record[kxrec::kTargetLoginFlags] |= kxrec::kTargetLoginLoggedIn;
    record[kxrec::kTargetSessionFlags] |= kxrec::kTargetSessionUp;
  }
  PutRemotePorts(target, record);
}
const FinisherRegistrar kTargetFinisher(RecordKind::kTarget, FinishTarget);

void FinishLun(const json& lun, uint8_t* record) {
  if (!lun.is_object()) return;
  for (const CharField& field : kLunChars) PutChars(lun, record, field);
  if (lun.contains("blocks")) Put<uint64_t>(record, kxrec::kLunBlockCount, Number(lun["blocks"]));
  if (lun.contains("uniqueId")) {
    const size_t n = HexBytes(lun["uniqueId"], record + kxrec::kLunUniqueId, kxrec::kLunUniqueIdSize);
    if (!lun.contains("uniqueIdLength")) record[kxrec::kLunUniqueIdLength] = static_cast<uint8_t>(n);
  }
  if (lun.value("namespace", false)) record[kxrec::kLunFlags] |= kxrec::kLunFlagNamespace;
}
const FinisherRegistrar kLunFinisher(RecordKind::kLun, FinishLun);

// ---- calls ----

std::string Hex(const uint8_t* bytes, size_t n) {
  std::string text;
  char buf[4];
  for (size_t i = 0; i < n; ++i) {
    snprintf(buf, sizeof buf, i == 0 ? "%02x" : ":%02x", bytes[i]);
    text += buf;
  }
  return text;
}

// A target of the port and its fixture object.
struct FoundTarget {
  const uint8_t* record = nullptr;
  const json* object = nullptr;
};

template <class Match>
FoundTarget FindTarget(KXAPI_PORT_HANDLE handle, Match match) {
  static const json kNone = json::object();
  const uint8_t* entry = EntryOf(handle);
  if (!entry) return {};
  const json& port = PortJson(handle);
  const json* targets = port.contains("targets") && port["targets"].is_array() ? &port["targets"] : nullptr;
  size_t index = 0;
  for (const uint8_t* t = Get<const uint8_t*>(entry, kxrec::kEntryFirstTarget); t;
       t = Get<const uint8_t*>(t, kxrec::kTargetNext), ++index) {
    if (match(t)) return {t, targets && index < targets->size() ? &(*targets)[index] : &kNone};
  }
  return {};
}

struct StatsCounter {
  const char* key;
  size_t offset;
};
const StatsCounter kStatsCounters[] = {
    {"linkFailure", kxrec::kStatsLinkFailure},      {"lossOfSync", kxrec::kStatsLossOfSync},
    {"lossOfSignal", kxrec::kStatsLossOfSignal},    {"primitiveSeqError", kxrec::kStatsPrimitiveSeqError},
    {"invalidTxWord", kxrec::kStatsInvalidTxWord},  {"invalidCrc", kxrec::kStatsInvalidCrc},
};

// "linkStats": named counters, or any u32 of the record by its offset ("0x30": 7).
void FillStatistics(const json& stats, uint8_t* record) {
  if (!stats.is_object()) return;
  for (auto it = stats.begin(); it != stats.end(); ++it) {
    size_t offset = kxrec::kStatsRecordSize;
    for (const StatsCounter& c : kStatsCounters)
      if (it.key() == c.key) offset = c.offset;
    if (offset == kxrec::kStatsRecordSize) offset = static_cast<size_t>(Number(json(it.key())));
    if (offset + 4 > kxrec::kStatsRecordSize) continue;
    Put<uint32_t>(record, offset, static_cast<uint32_t>(Number(it.value())));
  }
}

std::string SpeedText(uint32_t code) {
  char buf[16];
  snprintf(buf, sizeof buf, "0x%x", code);
  return buf;
}

}  // namespace

extern "C" {

uint32_t KXAPI_GetPortStatisticsFC(uint32_t portNumber, uint32_t reserved, void* remotePort, void* statistics) {
  KXAPI_PORT_HANDLE handle = HandleByNumber(portNumber);
  auto* record = static_cast<uint8_t*>(statistics);
  uint8_t name[8] = {};
  const char* namedBy = "record";
  if (remotePort && Get<uint16_t>(static_cast<const uint8_t*>(remotePort), kxrec::kRemoteAddrType) ==
                        kxrec::kRemoteAddrByPortName) {
    memcpy(name, static_cast<const uint8_t*>(remotePort) + kxrec::kRemoteAddrName, sizeof name);
    namedBy = "address";
  } else if (record) {
    memcpy(name, record, sizeof name);
  }
  const std::string key = PortKey(handle);
  LogCall("KXAPI_GetPortStatisticsFC port=" + key + " handle=" + std::to_string(portNumber) +
          " reserved=" + std::to_string(reserved) + " by=" + namedBy + " target=" + Hex(name, sizeof name));
  if (!handle || !record) return kRcBadArgument;
  if (const uint32_t rc = ScriptedResult("KXAPI_GetPortStatisticsFC", key)) return rc;
  const FoundTarget found =
      FindTarget(handle, [&](const uint8_t* t) { return memcmp(t + kxrec::kTargetWWPN, name, sizeof name) == 0; });
  if (!found.record) return kRcNoSuchTarget;
  FillStatistics(found.object->value("linkStats", json::object()), record);
  return 0;
}

uint32_t KXAPI_GetTargetLinkSpeed(KXAPI_PORT_HANDLE port, uint32_t targetNumber, uint32_t* speed) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetTargetLinkSpeed port=" + key + " target=" + std::to_string(targetNumber));
  if (!port || !speed) return kRcBadArgument;
  if (const uint32_t rc = ScriptedResult("KXAPI_GetTargetLinkSpeed", key)) return rc;
  const FoundTarget found =
      FindTarget(port, [&](const uint8_t* t) { return Get<uint16_t>(t, kxrec::kTargetNumber) == targetNumber; });
  if (!found.record) return kRcNoSuchTarget;

  // What "set" stored wins; then the script, the target's fixture value, the port's own speed.
  const json ports = State().contains("ports") ? State()["ports"] : json::object();
  const json saved = ports.contains(key) ? ports[key].value("iidma", json::object()) : json::object();
  const json* script = Script("KXAPI_GetTargetLinkSpeed", key);
  const std::string number = std::to_string(targetNumber);
  if (saved.is_object() && saved.contains(number))
    *speed = static_cast<uint32_t>(Number(saved[number]));
  else if (script && script->contains("speed"))
    *speed = static_cast<uint32_t>(Number((*script)["speed"]));
  else if (found.object->contains("iidmaSpeed"))
    *speed = static_cast<uint32_t>(Number((*found.object)["iidmaSpeed"]));
  else
    *speed = Get<uint32_t>(EntryOf(port), kxrec::kEntryCurrentSpeed);
  return 0;
}

uint32_t KXAPI_SetTargetLinkSpeed(KXAPI_PORT_HANDLE port, uint32_t targetNumber, uint32_t speed) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_SetTargetLinkSpeed port=" + key + " target=" + std::to_string(targetNumber) +
          " speed=" + SpeedText(speed));
  if (!port) return kRcBadArgument;
  if (const uint32_t rc = ScriptedResult("KXAPI_SetTargetLinkSpeed", key)) return rc;
  const FoundTarget found =
      FindTarget(port, [&](const uint8_t* t) { return Get<uint16_t>(t, kxrec::kTargetNumber) == targetNumber; });
  if (!found.record) return kRcNoSuchTarget;
  json& saved = PortState(key)["iidma"];
  if (!saved.is_object()) saved = json::object();
  saved[std::to_string(targetNumber)] = speed;
  SaveState();
  return 0;
}

}  // extern "C"
