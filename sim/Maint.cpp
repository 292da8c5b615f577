// Calls of the maintenance families: mezzanine check, beacon, firmware dump.
#include <cstdio>
#include <cstring>

#include "sim/SimCore.h"

using namespace sim;

namespace {

const uint8_t* PointerAt(const uint8_t* record, size_t offset) {
  const uint8_t* p;
  memcpy(&p, record + offset, sizeof p);
  return p;
}

// The adapter a port belongs to: its position in the fixture's "adapters" and
// the key its adapter-wide state is kept under (the serial number).
struct Owner {
  const json* fixture = nullptr;
  std::string key;
};

Owner OwnerOf(KXAPI_PORT_HANDLE port) {
  const uint8_t* wanted = EntryOf(port);
  const auto* list = static_cast<const uint8_t*>(AdapterList());
  if (!list || !wanted) return {};
  size_t index = 0;
  for (const uint8_t* a = PointerAt(list, kxrec::kListFirstAdapter); a; a = PointerAt(a, kxrec::kAdapterNext), ++index) {
    const uint8_t* ports = PointerAt(a, kxrec::kAdapterPhyPortList);
    for (const uint8_t* p = ports ? PointerAt(ports, kxrec::kPhyPortListFirst) : nullptr; p;
         p = PointerAt(p, kxrec::kPhyPortNext)) {
      const uint8_t* entries = PointerAt(p, kxrec::kPhyPortProtocolList);
      for (const uint8_t* e = entries ? PointerAt(entries, kxrec::kProtocolListFirst) : nullptr; e;
           e = PointerAt(e, kxrec::kEntryNext)) {
        if (e != wanted) continue;
        Owner owner;
        auto adapters = Fixture().find("adapters");
        if (adapters != Fixture().end() && adapters->is_array() && index < adapters->size())
          owner.fixture = &(*adapters)[index];
        const char* serial = reinterpret_cast<const char*>(a + kxrec::kAdapterSerial);
        owner.key = serial[0] ? std::string(serial, strnlen(serial, kxrec::kAdapterModel)) : "#" + std::to_string(index);
        return owner;
      }
    }
  }
  return {};
}

// A value the call hands back: the scripted one, else the adapter's fixture key.
const json* ValueOf(const json* script, const Owner& owner, const char* key) {
  if (script && script->contains(key)) return &(*script)[key];
  return owner.fixture && owner.fixture->contains(key) ? &(*owner.fixture)[key] : nullptr;
}

json& BeaconState() {
  json& beacons = State()["beacons"];
  if (!beacons.is_object()) beacons = json::object();
  return beacons;
}

// Dump contents: hex text or an array of bytes, or {"size": n} for n bytes of
// a pattern that runs through every byte value.
std::string DumpBytes(const json& source) {
  if (source.is_object()) {
    const size_t size = static_cast<size_t>(Number(source.at("size")));
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    return bytes;
  }
  std::string bytes(1 << 20, '\0');
  bytes.resize(HexBytes(source, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()));
  return bytes;
}

// Library result for an instance that names no port.
constexpr uint32_t kNoSuchInstance = 0x20000064;

}  // namespace

extern "C" {

uint32_t KXAPI_IsMezzAdapter(KXAPI_PORT_HANDLE port, uint8_t* isMezz) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_IsMezzAdapter port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_IsMezzAdapter", key)) return rc;
  return GuardFixture("KXAPI_IsMezzAdapter", [&]() -> uint32_t {
    const json* value = ValueOf(Script("KXAPI_IsMezzAdapter", key), OwnerOf(port), "mezz");
    *isMezz = value ? static_cast<uint8_t>(Number(*value)) : 0;
    return 0;
  });
}

uint32_t KXAPI_GetAdapterBeaconStatus(KXAPI_PORT_HANDLE port, uint32_t* state) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetAdapterBeaconStatus port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_GetAdapterBeaconStatus", key)) return rc;
  return GuardFixture("KXAPI_GetAdapterBeaconStatus", [&]() -> uint32_t {
    const Owner owner = OwnerOf(port);
    const json* script = Script("KXAPI_GetAdapterBeaconStatus", key);
    const json& beacons = BeaconState();
    const json* value = script && script->contains("state") ? &(*script)["state"]
                        : beacons.contains(owner.key)         ? &beacons[owner.key]
                                                              : ValueOf(nullptr, owner, "beacon");
    *state = value ? static_cast<uint32_t>(Number(*value)) : 0;
    return 0;
  });
}

uint32_t KXAPI_UpdateAdapterBeaconStatus(KXAPI_PORT_HANDLE port, uint32_t state) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_UpdateAdapterBeaconStatus port=" + key + " state=" + std::to_string(state));
  if (const uint32_t rc = ScriptedResult("KXAPI_UpdateAdapterBeaconStatus", key)) return rc;
  BeaconState()[OwnerOf(port).key] = state;
  SaveState();
  return 0;
}

uint32_t KXAPI_SDGetFwDump2(uint32_t instance, uint32_t reserved, uint8_t** buffer, uint32_t* size) {
  KXAPI_PORT_HANDLE port = HandleByNumber(instance);
  const std::string key = PortKey(port);
  LogCall("KXAPI_SDGetFwDump2 instance=" + std::to_string(instance) + " port=" + key +
          " reserved=" + std::to_string(reserved));
  if (!port) return kNoSuchInstance;
  return GuardFixture("KXAPI_SDGetFwDump2", [&]() -> uint32_t {
    const json* script = Script("KXAPI_SDGetFwDump2", key);
    const uint32_t rc = ScriptedResult("KXAPI_SDGetFwDump2", key);
    // A failing call may still have allocated its buffer ("fwDump" in the script).
    const json* source = script && script->contains("fwDump") ? &(*script)["fwDump"]
                       : rc == 0 && PortJson(port).contains("fwDump") ? &PortJson(port)["fwDump"]
                                                                       : nullptr;
    const std::string bytes = source ? DumpBytes(*source) : std::string();
    if (source) {
      *buffer = static_cast<uint8_t*>(CoreMalloc(bytes.size()));
      if (*buffer) memcpy(*buffer, bytes.data(), bytes.size());
      *size = static_cast<uint32_t>(bytes.size());
    }
    if (rc == 0 && !source) return 0x2000007B;  // no dump kept for this port
    return rc;
  });
}

}  // extern "C"
