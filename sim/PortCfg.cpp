// Port configuration calls: VPD, HBA parameters (with NVRAM save and factory
// defaults), buffer-to-buffer credit recovery and forward error correction.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sim/SimCore.h"

using namespace sim;

namespace {

// ---- VPD ----

// The image of a port: "vpd" is hex text, or a list of pieces (hex text, a
// number for one byte, {"text": "..."} or {"zeros": n}); without it a small
// default image.
std::vector<uint8_t> VpdImage(const json& port) {
  std::vector<uint8_t> image;
  auto hex = [&image](const json& value) {
    uint8_t bytes[4096];
    const size_t n = HexBytes(value, bytes, sizeof bytes);
    image.insert(image.end(), bytes, bytes + n);
  };
  auto it = port.find("vpd");
  if (it == port.end()) {
    auto text = [&image](const char* kw, const std::string& data) {
      image.push_back(static_cast<uint8_t>(kw[0]));
      image.push_back(static_cast<uint8_t>(kw[1]));
      image.push_back(static_cast<uint8_t>(data.size()));
      image.insert(image.end(), data.begin(), data.end());
    };
    const std::string id = "Kaltex Fibre Channel Adapter";
    image = {0x82, static_cast<uint8_t>(id.size()), 0x00};
    image.insert(image.end(), id.begin(), id.end());
    image.insert(image.end(), {0x90, 0x00, 0x00});
    text("PN", "KX3262-0001");
    text("SN", "KXA21350001");
    text("EC", "A01");
    text("MN", "1CA1E");
    text("V3", "9.12.01");
    image.insert(image.end(), {'R', 'V', 0x01, 0x5a, 0x78});
    return image;
  }
  if (it->is_array()) {
    for (const json& piece : *it) {
      if (piece.is_object() && piece.contains("zeros")) {
        image.resize(image.size() + Number(piece["zeros"]));
      } else if (piece.is_object()) {
        const std::string text = piece.at("text").get<std::string>();
        image.insert(image.end(), text.begin(), text.end());
      } else if (piece.is_number()) {
        image.push_back(static_cast<uint8_t>(Number(piece)));
      } else {
        hex(piece);
      }
    }
  } else {
    hex(*it);
  }
  return image;
}

// ---- HBA parameters ----

struct HbaMember {
  const char* name;
  size_t offset;
  size_t width;
};

const HbaMember kHbaMembers[] = {
    {"DataRate", kxhba::kDataRate, 4},
    {"ConnetionOptions", kxhba::kConnetionOptions, 4},
    {"EnableFibreChannelTapeSupport", kxhba::kEnableFibreChannelTapeSupport, 4},
    {"MaxLunsPerTarget", kxhba::kMaxLunsPerTarget, 4},
    {"EnableHardLoopId", kxhba::kEnableHardLoopId, 4},
    {"HardLoopId", kxhba::kHardLoopId, 4},
    {"FrameSize", kxhba::kFrameSize, 4},
    {"EnableLipFullLogin", kxhba::kEnableLipFullLogin, 4},
    {"EnableTargetReset", kxhba::kEnableTargetReset, 4},
    {"LoopResetDelay", kxhba::kLoopResetDelay, 4},
    {"LoginRetryCount", kxhba::kLoginRetryCount, 4},
    {"PortDownRetryCount", kxhba::kPortDownRetryCount, 4},
    {"ExecutionThrottle", kxhba::kExecutionThrottle, 4},
    {"OperationMode", kxhba::kOperationMode, 4},
    {"InterruptDelayTimer", kxhba::kInterruptDelayTimer, 4},
    {"LinkDownTimeout", kxhba::kLinkDownTimeout, 4},
    {"DisableBIOS", kxhba::kDisableBIOS, 4},
    {"RecvOutOfOrderDataBit", kxhba::kRecvOutOfOrderDataBit, 4},
    {"EnableLRBit", kxhba::kEnableLRBit, 4},
    {"EnableFabricAssignWWN", kxhba::kEnableFabricAssignWWN, 4},
    {"DisableSCM", kxhba::kDisableSCM, 4},
    {"EnableVirtualLane", kxhba::kEnableVirtualLane, 1},
};

using Record = std::vector<uint8_t>;

void PutMember(Record& r, const HbaMember& m, uint64_t value) {
  const uint32_t v32 = static_cast<uint32_t>(value);
  if (m.width == 1) r[m.offset] = static_cast<uint8_t>(value);
  else memcpy(&r[m.offset], &v32, 4);
}

// The factory record: every byte the tool does not interpret carries a
// pattern, so that a test sees any byte the tool fails to pass back.
Record FactoryRecord(const json& port) {
  Record r(kxhba::kRecordSize);
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(0xA5 ^ i);
  const std::pair<const char*, uint64_t> defaults[] = {
      {"DataRate", 2},          {"ConnetionOptions", 2},     {"EnableFibreChannelTapeSupport", 0},
      {"MaxLunsPerTarget", 128}, {"EnableHardLoopId", 0},     {"HardLoopId", 0},
      {"FrameSize", 2048},      {"EnableLipFullLogin", 1},   {"EnableTargetReset", 1},
      {"LoopResetDelay", 5},    {"LoginRetryCount", 8},      {"PortDownRetryCount", 30},
      {"ExecutionThrottle", 65535}, {"OperationMode", 0},    {"InterruptDelayTimer", 0},
      {"LinkDownTimeout", 30},  {"DisableBIOS", 1},          {"RecvOutOfOrderDataBit", 0},
      {"EnableLRBit", 0},       {"EnableFabricAssignWWN", 0}, {"DisableSCM", 0},
      {"EnableVirtualLane", 0},
  };
  const json fixture = port.value("hbaParams", json::object());
  for (const HbaMember& m : kHbaMembers) {
    uint64_t value = 0;
    for (const auto& [name, v] : defaults)
      if (strcmp(name, m.name) == 0) value = v;
    if (fixture.contains(m.name)) value = Number(fixture[m.name]);
    PutMember(r, m, value);
  }
  if (auto raw = fixture.find("raw"); raw != fixture.end()) ApplyFields(fixture, r.data(), r.size(), nullptr, 0);
  return r;
}

Record CurrentRecord(KXAPI_PORT_HANDLE port) {
  const json& state = PortState(PortKey(port));
  if (state.contains("hbaParams")) {
    Record r(kxhba::kRecordSize);
    HexBytes(state["hbaParams"], r.data(), r.size());
    return r;
  }
  return FactoryRecord(PortJson(port));
}

void StoreRecord(KXAPI_PORT_HANDLE port, const Record& r) {
  PortState(PortKey(port))["hbaParams"] = ToHex(r.data(), r.size());
  State()["rebootRequired"] = true;
  SaveState();
}

// ---- BBCR / FEC ----

const json& Section(KXAPI_PORT_HANDLE port, const char* name) {
  static const json empty = json::object();
  const json& p = PortJson(port);
  auto it = p.find(name);
  return it != p.end() && it->is_object() ? *it : empty;
}

std::string Port(KXAPI_PORT_HANDLE port) { return " port=" + PortKey(port); }

}  // namespace

extern "C" {

uint32_t KXAPI_GetVpd(uint32_t handleNumber, uint32_t reserved, uint8_t* buffer, uint32_t* size) {
  KXAPI_PORT_HANDLE port = HandleByNumber(handleNumber);
  LogCall("KXAPI_GetVpd handle=" + std::to_string(handleNumber) + " reserved=" + std::to_string(reserved) +
          " size=" + std::to_string(size ? *size : 0));
  if (!port || !buffer || !size) return 1;
  if (const uint32_t rc = ScriptedResult("KXAPI_GetVpd", PortKey(port))) return rc;
  const std::vector<uint8_t> image = VpdImage(PortJson(port));
  memcpy(buffer, image.data(), std::min<size_t>(image.size(), *size));
  return 0;
}

uint32_t KXAPI_GetHBAParamsInfo(KXAPI_PORT_HANDLE port, void* record) {
  LogCall("KXAPI_GetHBAParamsInfo" + Port(port));
  if (const uint32_t rc = ScriptedResult("KXAPI_GetHBAParamsInfo", PortKey(port))) return rc;
  const Record r = CurrentRecord(port);
  memcpy(record, r.data(), r.size());
  return 0;
}

uint32_t KXAPI_UpdateHBAParameters(KXAPI_PORT_HANDLE port, void* record) {
  const Record before = CurrentRecord(port);
  const auto* bytes = static_cast<const uint8_t*>(record);
  const Record after(bytes, bytes + kxhba::kRecordSize);
  LogCall("KXAPI_UpdateHBAParameters" + Port(port) + " changed=" + ByteDiff(before.data(), after.data(), before.size()));
  if (const uint32_t rc = ScriptedResult("KXAPI_UpdateHBAParameters", PortKey(port))) return rc;
  StoreRecord(port, after);
  return 0;
}

uint32_t KXAPI_RestoreDefaultNVRAM(KXAPI_PORT_HANDLE port) {
  LogCall("KXAPI_RestoreDefaultNVRAM" + Port(port));
  if (const uint32_t rc = ScriptedResult("KXAPI_RestoreDefaultNVRAM", PortKey(port))) return rc;
  StoreRecord(port, FactoryRecord(PortJson(port)));
  return 0;
}

uint32_t KXAPI_SaveSingleAdapterNVRAMToFile(KXAPI_PORT_HANDLE port, const char* path) {
  LogCall("KXAPI_SaveSingleAdapterNVRAMToFile" + Port(port) + " path=" + (path ? path : ""));
  if (const uint32_t rc = ScriptedResult("KXAPI_SaveSingleAdapterNVRAMToFile", PortKey(port))) return rc;
  if (!path) return 1;
  const Record r = CurrentRecord(port);
  FILE* f = fopen(path, "wb");
  if (!f) return 2;
  const bool ok = fwrite(r.data(), 1, r.size(), f) == r.size();
  return fclose(f) == 0 && ok ? 0 : 2;
}

uint32_t KXAPI_FCGetBBCSupportInfoEx(KXAPI_PORT_HANDLE port, uint8_t* status, uint8_t* configured, uint8_t* state,
                                     uint8_t* negotiated, char* reason, uint32_t reasonSize) {
  LogCall("KXAPI_FCGetBBCSupportInfoEx" + Port(port) + " reasonSize=" + std::to_string(reasonSize));
  if (const uint32_t rc = ScriptedResult("KXAPI_FCGetBBCSupportInfoEx", PortKey(port))) return rc;
  const json& fixture = Section(port, "bbcr");
  const json& saved = PortState(PortKey(port)).value("bbcr", json::object());
  *status = static_cast<uint8_t>(Number(saved.value("status", fixture.value("status", json(0)))));
  *configured = static_cast<uint8_t>(Number(saved.value("configured", fixture.value("configured", json(0)))));
  *state = static_cast<uint8_t>(Number(fixture.value("state", json(0))));
  *negotiated = static_cast<uint8_t>(Number(fixture.value("negotiated", json(0))));
  if (reason && reasonSize) snprintf(reason, reasonSize, "%s", fixture.value("reason", std::string()).c_str());
  return 0;
}

uint32_t KXAPI_FCSetBBCSupportInfo(KXAPI_PORT_HANDLE port, uint8_t status, uint8_t configured) {
  LogCall("KXAPI_FCSetBBCSupportInfo" + Port(port) + " status=" + std::to_string(status) +
          " configured=" + std::to_string(configured));
  if (const uint32_t rc = ScriptedResult("KXAPI_FCSetBBCSupportInfo", PortKey(port))) return rc;
  PortState(PortKey(port))["bbcr"] = {{"status", status}, {"configured", configured}};
  SaveState();
  return 0;
}

uint32_t KXAPI_FCGetFECSupportInfo(KXAPI_PORT_HANDLE port, uint32_t* status) {
  LogCall("KXAPI_FCGetFECSupportInfo" + Port(port));
  if (const uint32_t rc = ScriptedResult("KXAPI_FCGetFECSupportInfo", PortKey(port))) return rc;
  const json& saved = PortState(PortKey(port)).value("fec", json::object());
  *status = static_cast<uint32_t>(Number(saved.value("status", Section(port, "fec").value("status", json(0)))));
  return 0;
}

uint32_t KXAPI_GetFWPrivateStats(KXAPI_PORT_HANDLE port, void** block, uint32_t* length) {
  LogCall("KXAPI_GetFWPrivateStats" + Port(port));
  if (const uint32_t rc = ScriptedResult("KXAPI_GetFWPrivateStats", PortKey(port))) return rc;
  constexpr uint32_t kSize = 1024;
  auto* stats = static_cast<uint8_t*>(CoreMalloc(kSize));
  if (!stats) return 3;
  memset(stats, 0xEE, kSize);
  const json& fixture = Section(port, "fec");
  const bool reset = PortState(PortKey(port)).value("fec", json::object()).value("countersReset", false);
  const uint64_t correctable = reset ? 0 : Number(fixture.value("correctable", json(0)));
  const uint64_t uncorrectable = reset ? 0 : Number(fixture.value("uncorrectable", json(0)));
  memcpy(stats + kxfec::kCorrectableErrors, &correctable, 8);
  memcpy(stats + kxfec::kUncorrectableErrors, &uncorrectable, 8);
  *block = stats;
  *length = kSize;
  return 0;
}

uint32_t KXAPI_FCSetFECSupportInfo(KXAPI_PORT_HANDLE port, uint32_t enable) {
  LogCall("KXAPI_FCSetFECSupportInfo" + Port(port) + " enable=" + std::to_string(enable));
  if (const uint32_t rc = ScriptedResult("KXAPI_FCSetFECSupportInfo", PortKey(port))) return rc;
  PortState(PortKey(port))["fec"]["status"] = enable;
  State()["rebootRequired"] = true;
  SaveState();
  return 0;
}

uint32_t KXAPI_ResetFECCounters(KXAPI_PORT_HANDLE port) {
  LogCall("KXAPI_ResetFECCounters" + Port(port));
  if (const uint32_t rc = ScriptedResult("KXAPI_ResetFECCounters", PortKey(port))) return rc;
  PortState(PortKey(port))["fec"]["countersReset"] = true;
  SaveState();
  return 0;
}

}  // extern "C"
