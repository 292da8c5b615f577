#include "sim/SimCore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#ifndef KXSIM_DEFAULT_STATE
#define KXSIM_DEFAULT_STATE "/tmp/kxsim-state.json"
#endif

namespace sim {

extern const char* const kDefaultInventory;  // DefaultInventory.cpp
json GenerateInventory(const json& spec);     // Generator.cpp

namespace {

struct Loaded {
  json fixture = json::object();
  bool usable = false;
};

void Report(const std::string& source, const std::string& problem) {
  fprintf(stderr, "kxsim: fixture %s: %s\n", source.c_str(), problem.c_str());
}

Loaded Load() {
  Loaded loaded;
  const char* path = getenv("KXSIM_FIXTURE");
  std::string source = path && *path ? path : "(built-in default)";
  std::string text;
  if (path && *path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      Report(source, std::string("cannot be read: ") + strerror(errno));
      return loaded;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
  } else {
    text = kDefaultInventory;
  }
  try {
    loaded.fixture = json::parse(text);
    if (!loaded.fixture.is_object()) throw std::runtime_error("the top level must be an object");
    if (loaded.fixture.contains("generate")) {
      json generated = GenerateInventory(loaded.fixture["generate"]);
      json& adapters = loaded.fixture["adapters"];
      if (adapters.is_null()) adapters = json::array();
      for (json& adapter : generated) adapters.push_back(std::move(adapter));
    }
    loaded.usable = true;
  } catch (const std::exception& e) {
    Report(source, e.what());
    loaded.fixture = json::object();
  }
  return loaded;
}

Loaded& Current() {
  static Loaded loaded = Load();
  return loaded;
}

// ---- records ----

struct Records {
  std::vector<void*> blocks;
  uint8_t* list = nullptr;
  std::map<const uint8_t*, const json*> portJson;  // protocol entry -> its fixture object
  std::vector<uint8_t*> entries;
  bool built = false;
  bool failed = false;
};

Records& Recs() {
  static Records records;
  return records;
}

uint8_t* Allocate(size_t size) {
  auto* block = static_cast<uint8_t*>(CoreZMalloc(size));
  if (!block) throw std::runtime_error("out of memory");
  Recs().blocks.push_back(block);
  return block;
}

template <class T>
void Put(uint8_t* record, size_t offset, T value) {
  memcpy(record + offset, &value, sizeof value);
}

// Adapter entries get room beyond the fields the walk reads, for adapter info.
constexpr size_t kAdapterRecordSize = 4096;

const FieldSpec kAdapterFields[] = {
    {"serial", kxrec::kAdapterSerial, FieldType::kText, kxrec::kAdapterModel},
    {"model", kxrec::kAdapterModel, FieldType::kText, 64},
};

const FieldSpec kEntryFields[] = {
    {"wwnn", kxrec::kEntryNodeName, FieldType::kBytes, 8},
    {"wwpn", kxrec::kEntryWWPN, FieldType::kBytes, 8},
    {"handleNumber", kxrec::kEntryPortHandleNumber, FieldType::kU32, 4},
    {"pciLinkCapability", kxrec::kEntryPciLinkCapability, FieldType::kU16, 2},
    {"pciLinkStatus", kxrec::kEntryPciLinkStatus, FieldType::kU16, 2},
    {"driverVersion", kxrec::kEntryDriverVersion, FieldType::kText, kxrec::kEntryCapabilityFlags - kxrec::kEntryDriverVersion},
    {"capabilityFlags", kxrec::kEntryCapabilityFlags, FieldType::kU32, 4},
    {"firmwareAttributes", kxrec::kEntryFirmwareAttributes, FieldType::kU8, 1},
    {"driverCapabilities", kxrec::kEntryDriverCapabilities, FieldType::kU32, 4},
    {"firmwareState", kxrec::kEntryFirmwareState, FieldType::kU32, 4},
    {"runningFirmwareVersion", kxrec::kEntryRunningFirmwareVersion, FieldType::kText, 32},
    {"flashBiosVersion", kxrec::kEntryFlashBiosVersion, FieldType::kText, kxrec::kEntryPortInterfaceType - kxrec::kEntryFlashBiosVersion},
    {"interface", kxrec::kEntryPortInterfaceType, FieldType::kU16, 2},
    {"optionRomFlags", kxrec::kEntryOptionRomFlags, FieldType::kU32, 4},
    {"componentVersions", kxrec::kEntryComponentVersions, FieldType::kBytes, 19},
    {"portId", kxrec::kEntryPortId, FieldType::kBytes, 3},
    {"portType", kxrec::kEntryPortType, FieldType::kU8, 1},
    {"portState", kxrec::kEntryPortState, FieldType::kU8, 1},
    {"connectionMode", kxrec::kEntryConnectionMode, FieldType::kU8, 1},
    {"speed", kxrec::kEntryCurrentSpeed, FieldType::kU32, 4},
    {"supportedSpeeds", kxrec::kEntrySupportedSpeeds, FieldType::kU8, 1},
    {"principalFabricWwn", kxrec::kEntryPrincipalFabricWWN, FieldType::kBytes, 8},
    {"adjacentFabricWwn", kxrec::kEntryAdjacentFabricWWN, FieldType::kBytes, 8},
    {"nvmeHostId", kxrec::kEntryNvmeHostId, FieldType::kBytes, 16},
    {"nvmeHostNqn", kxrec::kEntryNvmeHostNqn, FieldType::kText, 256},
    {"protocol", kxrec::kEntryProtocolType, FieldType::kU32, 4},
};

const FieldSpec kTargetFields[] = {
    {"wwpn", kxrec::kTargetWWPN, FieldType::kBytes, 8},
    {"flags", kxrec::kTargetFlags, FieldType::kU8, 1},
};

struct Registered {
  const FieldSpec* spec;
  size_t count;
};

std::vector<Registered>& Extra(RecordKind kind) {
  static std::vector<Registered> extra[4];
  return extra[static_cast<size_t>(kind)];
}

std::vector<RecordFinisher>& Finishers(RecordKind kind) {
  static std::vector<RecordFinisher> finishers[4];
  return finishers[static_cast<size_t>(kind)];
}

// The core fields of a record kind, then every family's registered ones.
void ApplyAll(RecordKind kind, const json& object, uint8_t* record, size_t size, const FieldSpec* core, size_t count) {
  ApplyFields(object, record, size, core, count);
  for (const Registered& r : Extra(kind)) ApplyFields(object, record, size, r.spec, r.count);
}

void Finish(RecordKind kind, const json& object, uint8_t* record) {
  for (RecordFinisher finisher : Finishers(kind)) finisher(object, record);
}

void WritePci(const json& pci, uint8_t* entry) {
  const size_t at = kxrec::kEntryPciIdentity;
  Put<uint16_t>(entry, at, static_cast<uint16_t>(Number(pci.value("vendor", json(kxpci::AdapterVendorId)))));
  Put<uint16_t>(entry, at + 2, static_cast<uint16_t>(Number(pci.value("device", json(0)))));
  Put<uint16_t>(entry, at + 4, static_cast<uint16_t>(Number(pci.value("subVendor", json(kxpci::AdapterVendorId)))));
  Put<uint16_t>(entry, at + 6, static_cast<uint16_t>(Number(pci.value("subDevice", json(0)))));
}

uint8_t* BuildLun(const json& lun) {
  uint8_t* record = Allocate(kxrec::kLunEntrySize);
  if (lun.is_object()) {
    Put<uint16_t>(record, kxrec::kLunNumber, static_cast<uint16_t>(Number(lun.at("number"))));
    ApplyAll(RecordKind::kLun, lun, record, kxrec::kLunEntrySize, nullptr, 0);
  } else {
    Put<uint16_t>(record, kxrec::kLunNumber, static_cast<uint16_t>(Number(lun)));
  }
  Finish(RecordKind::kLun, lun, record);
  return record;
}

uint8_t* BuildTarget(const json& target) {
  uint8_t* record = Allocate(kxrec::kTargetEntrySize);
  ApplyAll(RecordKind::kTarget, target, record, kxrec::kTargetEntrySize, kTargetFields, std::size(kTargetFields));
  if (target.value("nvme", false)) record[kxrec::kTargetFlags] |= kxrec::kTargetFlagNvme;
  uint8_t* previous = nullptr;
  for (const json& lun : target.value("luns", json::array())) {
    uint8_t* built = BuildLun(lun);
    Put(previous ? previous : record, previous ? kxrec::kLunNext : kxrec::kTargetFirstLun, built);
    previous = built;
  }
  Finish(RecordKind::kTarget, target, record);
  return record;
}

uint8_t* BuildEntry(const json& port, const json& adapterPci, uint32_t& nextHandle) {
  uint8_t* entry = Allocate(kxrec::kProtocolEntrySize);
  Put<uint16_t>(entry, kxrec::kEntryPortInterfaceType, kxrec::kInterfacePhysical);
  Put<uint32_t>(entry, kxrec::kEntryPortHandleNumber, nextHandle++);
  WritePci(port.contains("pci") ? port["pci"] : adapterPci, entry);
  ApplyAll(RecordKind::kPortEntry, port, entry, kxrec::kProtocolEntrySize, kEntryFields, std::size(kEntryFields));
  Finish(RecordKind::kPortEntry, port, entry);
  uint32_t targets = 0;
  uint8_t* previous = nullptr;
  for (const json& target : port.value("targets", json::array())) {
    uint8_t* built = BuildTarget(target);
    Put(previous ? previous : entry, previous ? kxrec::kTargetNext : kxrec::kEntryFirstTarget, built);
    previous = built;
    ++targets;
  }
  Put<uint32_t>(entry, kxrec::kEntryTargetCount, targets);
  Recs().portJson[entry] = &port;
  Recs().entries.push_back(entry);
  return entry;
}

void Build() {
  Records& recs = Recs();
  recs.built = true;
  const Loaded& loaded = Current();
  if (!loaded.usable || loaded.fixture.value("noAdapterList", false)) return;
  const json& fixture = loaded.fixture;
  try {
    // Both branches must be lvalues: a temporary would make the conditional copy
    // the fixture, and PortJson would keep pointers into the copy.
    static const json kNoAdapters = json::array();
    static const json kAbsent;
    const json& adapters = fixture.contains("adapters") ? fixture.at("adapters") : kNoAdapters;
    if (!adapters.is_array()) throw std::runtime_error("\"adapters\" must be an array");
    recs.list = Allocate(kxrec::kAdapterListSize);
    uint32_t nextHandle = 1;
    uint8_t* previousAdapter = nullptr;
    for (const json& adapter : adapters) {
      uint8_t* a = Allocate(kAdapterRecordSize);
      ApplyAll(RecordKind::kAdapter, adapter, a, kAdapterRecordSize, kAdapterFields, std::size(kAdapterFields));
      Finish(RecordKind::kAdapter, adapter, a);
      const json pci = adapter.value("pci", json::object());
      const json& ports = adapter.contains("ports") ? adapter.at("ports") : kAbsent;
      if (ports.is_array()) {
        uint8_t* portList = Allocate(kxrec::kPhyPortListSize);
        Put(a, kxrec::kAdapterPhyPortList, portList);
        uint8_t* previousPort = nullptr;
        uint32_t number = 0;
        for (const json& phy : ports) {
          uint8_t* p = Allocate(kxrec::kPhyPortEntrySize);
          Put<uint32_t>(p, kxrec::kPhyPortNumber, static_cast<uint32_t>(Number(phy.value("number", json(number)))));
          ++number;
          Put(previousPort ? previousPort : portList, previousPort ? kxrec::kPhyPortNext : kxrec::kPhyPortListFirst, p);
          previousPort = p;
          const json& entries = phy.contains("entries") ? phy.at("entries") : kAbsent;
          if (!entries.is_array()) continue;
          uint8_t* protocolList = Allocate(kxrec::kProtocolListSize);
          Put(p, kxrec::kPhyPortProtocolList, protocolList);
          uint8_t* previousEntry = nullptr;
          for (const json& e : entries) {
            uint8_t* built = BuildEntry(e, pci, nextHandle);
            Put(previousEntry ? previousEntry : protocolList,
                previousEntry ? kxrec::kEntryNext : kxrec::kProtocolListFirst, built);
            previousEntry = built;
          }
        }
      }
      Put(previousAdapter ? previousAdapter : recs.list, previousAdapter ? kxrec::kAdapterNext : kxrec::kListFirstAdapter, a);
      previousAdapter = a;
    }
    uint32_t count = 0;
    for (const uint8_t* a = *reinterpret_cast<uint8_t* const*>(recs.list + kxrec::kListFirstAdapter); a;
         a = *reinterpret_cast<uint8_t* const*>(a + kxrec::kAdapterNext))
      ++count;
    Put<uint32_t>(recs.list, kxrec::kListCount, count);
  } catch (const std::exception& e) {
    const char* path = getenv("KXSIM_FIXTURE");
    Report(path && *path ? path : "(built-in default)", e.what());
    ReleaseRecords();
    recs.built = true;
    recs.list = nullptr;
  }
}

// ---- state ----

std::string StatePath() {
  const char* path = getenv("KXSIM_STATE");
  return path && *path ? path : KXSIM_DEFAULT_STATE;
}

json LoadState() {
  std::ifstream in(StatePath());
  if (!in) return json::object();
  try {
    json state = json::parse(in);
    if (state.is_object()) return state;
  } catch (const std::exception& e) {
    fprintf(stderr, "kxsim: state %s: %s; starting from an empty state\n", StatePath().c_str(), e.what());
  }
  return json::object();
}

}  // namespace

FieldRegistrar::FieldRegistrar(RecordKind kind, const FieldSpec* spec, size_t count) {
  Extra(kind).push_back({spec, count});
}

FinisherRegistrar::FinisherRegistrar(RecordKind kind, RecordFinisher finisher) { Finishers(kind).push_back(finisher); }

const json& Fixture() { return Current().fixture; }
bool FixtureUsable() { return Current().usable; }

void* AdapterList() {
  if (!Recs().built) Build();
  return Recs().list;
}

void ReleaseRecords() {
  Records& recs = Recs();
  for (void* block : recs.blocks) CoreFree(block);
  recs = Records{};
}

uint8_t* EntryOf(KXAPI_PORT_HANDLE handle) {
  return handle ? static_cast<uint8_t*>(handle) - kxrec::kEntryPortHandle : nullptr;
}

const json& PortJson(KXAPI_PORT_HANDLE handle) {
  static const json empty = json::object();
  auto it = Recs().portJson.find(EntryOf(handle));
  return it == Recs().portJson.end() ? empty : *it->second;
}

std::string PortKey(KXAPI_PORT_HANDLE handle) {
  const uint8_t* entry = EntryOf(handle);
  if (!entry) return "";
  char buf[32];
  const uint8_t* w = entry + kxrec::kEntryWWPN;
  snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
  return buf;
}

KXAPI_PORT_HANDLE HandleByNumber(uint32_t handleNumber) {
  AdapterList();
  for (uint8_t* entry : Recs().entries) {
    uint32_t number;
    memcpy(&number, entry + kxrec::kEntryPortHandleNumber, sizeof number);
    if (number == handleNumber) return entry + kxrec::kEntryPortHandle;
  }
  return nullptr;
}

namespace {
// Calls made so far in this run, by name, counted as they are logged.
std::map<std::string, uint64_t>& CallCounts() {
  static std::map<std::string, uint64_t> counts;
  return counts;
}
}  // namespace

const json* Script(const char* call, const std::string& portKey) {
  const json& fixture = Fixture();
  auto it = fixture.find("calls");
  if (it == fixture.end() || !it->is_array()) return nullptr;
  for (const json& entry : *it) {
    if (!entry.is_object() || entry.value("call", "") != call) continue;
    if (entry.contains("port") && entry["port"].get<std::string>() != portKey) continue;
    if (entry.contains("nth") && Number(entry["nth"]) != CallCounts()[call]) continue;
    return &entry;
  }
  return nullptr;
}

uint32_t ScriptedResult(const char* call, const std::string& portKey) {
  const json* script = Script(call, portKey);
  return script && script->contains("rc") ? static_cast<uint32_t>(Number((*script)["rc"])) : 0;
}

json& State() {
  static json state = LoadState();
  return state;
}

void SaveState() {
  const std::string path = StatePath();
  const std::string tmp = path + ".tmp";
  const std::string text = State().dump(2) + "\n";
  FILE* f = fopen(tmp.c_str(), "w");
  if (!f) {
    fprintf(stderr, "kxsim: state %s: cannot be written: %s\n", tmp.c_str(), strerror(errno));
    return;
  }
  const bool written = fwrite(text.data(), 1, text.size(), f) == text.size() && fflush(f) == 0 && fsync(fileno(f)) == 0;
  if (fclose(f) != 0 || !written || rename(tmp.c_str(), path.c_str()) != 0) {
    fprintf(stderr, "kxsim: state %s: cannot be saved: %s\n", path.c_str(), strerror(errno));
    remove(tmp.c_str());
  }
}

json& PortState(const std::string& portKey) {
  json& ports = State()["ports"];
  if (!ports.is_object()) ports = json::object();
  json& port = ports[portKey];
  if (!port.is_object()) port = json::object();
  return port;
}

void LogCall(const std::string& line) {
  ++CallCounts()[line.substr(0, line.find(' '))];
  const char* path = getenv("KXSIM_CALLLOG");
  if (!path || !*path) return;
  const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd < 0) return;
  const std::string text = line + "\n";
  if (write(fd, text.data(), text.size()) < 0) {
    // The call log is for tests; a failed write is not the library's failure.
  }
  close(fd);
}

uint64_t Number(const json& value, uint64_t fallback) {
  if (value.is_number_unsigned()) return value.get<uint64_t>();
  if (value.is_number_integer()) return static_cast<uint64_t>(value.get<int64_t>());
  if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    char* end = nullptr;
    const uint64_t parsed = strtoull(text.c_str(), &end, 0);
    if (end == text.c_str() || *end != '\0') throw std::runtime_error("\"" + text + "\" is not a number");
    return parsed;
  }
  if (value.is_null()) return fallback;
  throw std::runtime_error("expected a number, got " + value.dump());
}

std::string ToHex(const uint8_t* bytes, size_t size) {
  std::string text;
  char b[3];
  for (size_t i = 0; i < size; ++i) {
    snprintf(b, sizeof b, "%02x", bytes[i]);
    text += b;
  }
  return text;
}

std::string ByteDiff(const uint8_t* before, const uint8_t* after, size_t size) {
  std::string text;
  char b[32];
  for (size_t i = 0; i < size; ++i) {
    if (before[i] == after[i]) continue;
    snprintf(b, sizeof b, "%s%zu:%02x>%02x", text.empty() ? "" : ",", i, before[i], after[i]);
    text += b;
  }
  return text.empty() ? "none" : text;
}

size_t HexBytes(const json& value, uint8_t* out, size_t max) {
  if (value.is_array()) {
    size_t n = 0;
    for (const json& b : value) {
      if (n == max) throw std::runtime_error("too many bytes in " + value.dump().substr(0, 40));
      out[n++] = static_cast<uint8_t>(Number(b));
    }
    return n;
  }
  if (!value.is_string()) throw std::runtime_error("expected hex bytes, got " + value.dump());
  const std::string text = value.get<std::string>();
  size_t n = 0;
  int high = -1;
  for (char c : text) {
    if (c == ':' || c == ' ' || c == '-') continue;
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else throw std::runtime_error("\"" + text + "\" is not hex bytes");
    if (high < 0) {
      high = digit;
      continue;
    }
    if (n == max) throw std::runtime_error("\"" + text.substr(0, 40) + "\" has more than " + std::to_string(max) + " bytes");
    out[n++] = static_cast<uint8_t>(high << 4 | digit);
    high = -1;
  }
  if (high >= 0) throw std::runtime_error("\"" + text + "\" has an odd number of hex digits");
  return n;
}

void ApplyFields(const json& object, uint8_t* record, size_t recordSize, const FieldSpec* spec, size_t count) {
  if (!object.is_object()) throw std::runtime_error("expected an object, got " + object.dump().substr(0, 60));
  for (size_t i = 0; i < count; ++i) {
    const FieldSpec& f = spec[i];
    auto it = object.find(f.key);
    if (it == object.end()) continue;
    try {
      switch (f.type) {
        case FieldType::kU8: Put<uint8_t>(record, f.offset, static_cast<uint8_t>(Number(*it))); break;
        case FieldType::kU16: Put<uint16_t>(record, f.offset, static_cast<uint16_t>(Number(*it))); break;
        case FieldType::kU32: Put<uint32_t>(record, f.offset, static_cast<uint32_t>(Number(*it))); break;
        case FieldType::kText: {
          if (!it->is_string()) throw std::runtime_error("expected text");
          const std::string text = it->get<std::string>();
          memcpy(record + f.offset, text.data(), std::min(text.size(), f.size - 1));
          break;
        }
        case FieldType::kBytes: HexBytes(*it, record + f.offset, f.size); break;
      }
    } catch (const std::exception& e) {
      throw std::runtime_error(std::string("field \"") + f.key + "\": " + e.what());
    }
  }
  // "raw": {"611": "05", "0x1f0": [1, 2]} sets bytes at any offset.
  if (auto raw = object.find("raw"); raw != object.end()) {
    if (!raw->is_object()) throw std::runtime_error("\"raw\" must be an object of offset to bytes");
    for (auto it = raw->begin(); it != raw->end(); ++it) {
      const size_t offset = static_cast<size_t>(Number(json(it.key())));
      uint8_t bytes[4096];
      const size_t n = HexBytes(it.value(), bytes, sizeof bytes);
      if (offset > recordSize || n > recordSize - offset)
        throw std::runtime_error("\"raw\" offset " + it.key() + " runs past the record");
      memcpy(record + offset, bytes, n);
    }
  }
}

}  // namespace sim
