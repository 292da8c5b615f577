// Adapter calls: flash updates from image files, flash component versions,
// the flash memo block and the adapter personality.
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/SimCore.h"

using namespace sim;

namespace {

// Adapter-entry fields read by adapter info.
const FieldSpec kAdapterInfoFields[] = {
    {"type", kxrec::kAdapterType, FieldType::kU32, 4},
    {"manufacturer", kxrec::kAdapterManufacturer, FieldType::kText, kxrec::kAdapterManufacturerLen},
    {"vendorId", kxrec::kAdapterVendorId, FieldType::kU16, 2},
    {"subVendorId", kxrec::kAdapterSubsystemVendorId, FieldType::kU16, 2},
    {"subDeviceId", kxrec::kAdapterSubsystemDeviceId, FieldType::kU16, 2},
    {"pciBusId", kxrec::kAdapterPciBusId, FieldType::kU16, 2},
    {"flashBiosVersion", kxrec::kAdapterFlashBiosVersion, FieldType::kText, kxrec::kAdapterVersionLen},
    {"flashFcodeVersion", kxrec::kAdapterFlashFcodeVersion, FieldType::kText, kxrec::kAdapterVersionLen},
    {"flashEfiVersion", kxrec::kAdapterFlashEfiVersion, FieldType::kText, kxrec::kAdapterVersionLen},
    {"flashFirmwareVersion", kxrec::kAdapterFlashFirmwareVersion, FieldType::kText, kxrec::kAdapterVersionLen},
    {"multibootVersion", kxrec::kAdapterMultibootVersion, FieldType::kText, kxrec::kAdapterVersionLen},
    {"chipRevision", kxrec::kAdapterChipRevision, FieldType::kU32, 4},
};
FieldRegistrar adapterInfoFields(RecordKind::kAdapter, kAdapterInfoFields);

// Library results of a flash update that cannot read its image.
constexpr uint32_t kRcFileOpen = 101;
constexpr uint32_t kRcFileRead = 102;
constexpr uint32_t kRcFileSize = 106;

// Reads the whole image, as the real library does before it touches the flash.
uint32_t ReadImage(const char* file, size_t& bytes) {
  bytes = 0;
  FILE* f = file ? fopen(file, "rb") : nullptr;
  if (!f) return kRcFileOpen;
  char buffer[65536];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes += n;
  const bool failed = ferror(f) != 0;
  fclose(f);
  if (failed) return kRcFileRead;
  return bytes == 0 ? kRcFileSize : 0;
}

// One flash update: log, read the image, then the scripted result (0 when none).
// A written region is remembered in the port's state.
uint32_t FlashFromFile(const char* call, const char* region, KXAPI_PORT_HANDLE port, const char* file,
                       const std::string& extra = "") {
  const std::string key = PortKey(port);
  size_t bytes = 0;
  const uint32_t read = ReadImage(file, bytes);
  LogCall(std::string(call) + " port=" + key + " file=" + (file ? file : "") + extra +
          " bytes=" + std::to_string(bytes));
  if (read != 0) return read;
  const uint32_t rc = ScriptedResult(call, key);
  constexpr uint32_t kUpdatedRebootLater = 201;
  constexpr uint32_t kUpdatedColdBoot = 205;
  if (rc == 0 || rc == kUpdatedRebootLater || rc == kUpdatedColdBoot) {
    PortState(key)["flash"][region] = {{"file", file}, {"bytes", bytes}};
    SaveState();
  }
  return rc;
}

// A version triple: [1, 2, 3] or "1.2.3".
void Triple(const json& value, uint8_t* out) {
  // An array of numbers or hex bytes ("01:02:03"), or a dotted decimal version ("1.2.3").
  if (value.is_array() || (value.is_string() && value.get<std::string>().find('.') == std::string::npos)) {
    HexBytes(value, out, 3);
    return;
  }
  unsigned a = 0, b = 0, c = 0;
  const std::string text = value.is_string() ? value.get<std::string>() : "";
  if (sscanf(text.c_str(), "%u.%u.%u", &a, &b, &c) != 3)
    throw std::runtime_error("version \"" + text + "\" is not major.minor.sub");
  out[0] = static_cast<uint8_t>(a);
  out[1] = static_cast<uint8_t>(b);
  out[2] = static_cast<uint8_t>(c);
}

struct Component {
  const char* key;
  size_t offset;
};
const Component kComponents[] = {
    {"pepFirmware", offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepFirmware)},
    {"pepSoftRom", offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepSoftRom)},
    {"pepBoardConfig", offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepBoardConfig)},
    {"preloadFirmware", offsetof(KXAPI_FLASH_COMPONENT_VERSION, PreloadFirmware)},
    {"fcBoardConfig", offsetof(KXAPI_FLASH_COMPONENT_VERSION, FcBoardConfig)},
    {"mpiFirmware", offsetof(KXAPI_FLASH_COMPONENT_VERSION, MpiFirmware)},
    {"mpiSoftRom", offsetof(KXAPI_FLASH_COMPONENT_VERSION, MpiSoftRom)},
    {"pcieSerdes", offsetof(KXAPI_FLASH_COMPONENT_VERSION, PcieSerdes)},
};

// Copies text into a fixed, unterminated character field.
void Chars(const json& object, const char* key, char* out, size_t size) {
  if (!object.contains(key)) return;
  const std::string text = object.at(key).get<std::string>();
  memcpy(out, text.data(), std::min(text.size(), size));
}

void FillMemo(const json& m, KXAPI_FLASH_MEMO_BLOCK& memo) {
  char signature[4] = {'F', 'M', 'B', 'S'};
  Chars(m, "signature", signature, sizeof signature);
  memcpy(&memo.Signature, signature, sizeof signature);
  if (m.contains("familyFirmware")) Triple(m["familyFirmware"], memo.FamilyFirmwareVersion);
  if (m.contains("mbiVersion")) Triple(m["mbiVersion"], memo.MbiVersion);
  Chars(m, "buildDate", memo.MbiBuildDate, sizeof memo.MbiBuildDate);
  Chars(m, "toolCode", memo.FlashToolCode, sizeof memo.FlashToolCode);
  if (m.contains("toolVersion")) HexBytes(m["toolVersion"], memo.FlashToolVersion, 4);
  if (m.contains("updated")) {
    uint8_t t[7] = {};
    const json& u = m["updated"];  // [year, month, day, hour, minute, second]
    if (!u.is_array() || u.size() != 6) throw std::runtime_error("\"updated\" must be [y, m, d, h, min, s]");
    memo.LastUpdateYear = static_cast<uint16_t>(Number(u[0]));
    for (size_t i = 1; i < 6; ++i) t[i] = static_cast<uint8_t>(Number(u[i]));
    memo.LastUpdateMonth = t[1];
    memo.LastUpdateDay = t[2];
    memo.LastUpdateHour = t[3];
    memo.LastUpdateMinute = t[4];
    memo.LastUpdateSecond = t[5];
  }
}

// The value a call hands back: the scripted one, else the port's fixture key.
const json* Value(const char* call, const std::string& key, const char* scriptKey, KXAPI_PORT_HANDLE port,
                  const char* fixtureKey) {
  const json* script = Script(call, key);
  if (script && script->contains(scriptKey)) return &(*script)[scriptKey];
  const json& p = PortJson(port);
  return p.contains(fixtureKey) ? &p[fixtureKey] : nullptr;
}

// A fixture value the call cannot use is reported like a broken fixture, and
// the call fails instead of throwing into the tool.
constexpr uint32_t kRcBadFixture = 0xFFFF;
template <class Fn>
uint32_t Guarded(const char* call, Fn fn) {
  try {
    return fn();
  } catch (const std::exception& e) {
    fprintf(stderr, "kxsim: fixture: %s: %s\n", call, e.what());
    return kRcBadFixture;
  }
}

}  // namespace

extern "C" {

uint32_t KXAPI_doOptionROMUpdate(KXAPI_PORT_HANDLE port, const char* file, uint32_t flags) {
  return FlashFromFile("KXAPI_doOptionROMUpdate", "MBI", port, file, " flags=" + std::to_string(flags));
}

uint32_t KXAPI_UpdateSpecificFlashRegionFromFile(KXAPI_PORT_HANDLE port, const char* file) {
  return FlashFromFile("KXAPI_UpdateSpecificFlashRegionFromFile", "BrdCfg", port, file);
}

uint32_t KXAPI_UpdateAdapterFirmwareTableFromFile(KXAPI_PORT_HANDLE port, const char* file) {
  return FlashFromFile("KXAPI_UpdateAdapterFirmwareTableFromFile", "FWPreload", port, file);
}

uint32_t KXAPI_UpdateAdapterPEPCfgFromFile(KXAPI_PORT_HANDLE port, const char* file) {
  return FlashFromFile("KXAPI_UpdateAdapterPEPCfgFromFile", "PEPCfg", port, file);
}

uint32_t KXAPI_GetFlashComponentVersion(KXAPI_PORT_HANDLE port, KXAPI_FLASH_COMPONENT_VERSION* versions) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetFlashComponentVersion port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_GetFlashComponentVersion", key)) return rc;
  const json* components = Value("KXAPI_GetFlashComponentVersion", key, "components", port, "flashComponents");
  if (!versions || !components) return 0;
  return Guarded("KXAPI_GetFlashComponentVersion", [&] {
    auto* raw = reinterpret_cast<uint8_t*>(versions);
    for (const Component& c : kComponents)
      if (components->contains(c.key)) Triple((*components)[c.key], raw + c.offset);
    return 0u;
  });
}

uint32_t KXAPI_GetAdapterFlashMemoBlock(KXAPI_PORT_HANDLE port, KXAPI_FLASH_MEMO_BLOCK* memo) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetAdapterFlashMemoBlock port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_GetAdapterFlashMemoBlock", key)) return rc;
  const json* m = Value("KXAPI_GetAdapterFlashMemoBlock", key, "memo", port, "flashMemo");
  if (!memo || !m) return 0;
  return Guarded("KXAPI_GetAdapterFlashMemoBlock", [&] {
    FillMemo(*m, *memo);
    return 0u;
  });
}

uint32_t KXAPI_GetPersonalityType(KXAPI_PORT_HANDLE port, uint8_t* personality) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_GetPersonalityType port=" + key);
  if (const uint32_t rc = ScriptedResult("KXAPI_GetPersonalityType", key)) return rc;
  return Guarded("KXAPI_GetPersonalityType", [&] {
    const json& state = PortState(key);
    uint64_t value = 0;
    if (state.contains("personality"))
      value = Number(state["personality"]);
    else if (const json* v = Value("KXAPI_GetPersonalityType", key, "personality", port, "personality"))
      value = Number(*v);
    if (personality) *personality = static_cast<uint8_t>(value);
    return 0u;
  });
}

uint32_t KXAPI_CheckOttarPersonalityChangeOption(KXAPI_PORT_HANDLE port) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_CheckOttarPersonalityChangeOption port=" + key);
  // This call answers 1 when the user may change the personality.
  const json* script = Script("KXAPI_CheckOttarPersonalityChangeOption", key);
  if (script && script->contains("rc")) return static_cast<uint32_t>(Number((*script)["rc"]));
  return PortJson(port).value("personalityChange", true) ? 1 : 0;
}

uint32_t KXAPI_ChangePersonalityType(KXAPI_PORT_HANDLE port, uint8_t personality) {
  const std::string key = PortKey(port);
  LogCall("KXAPI_ChangePersonalityType port=" + key + " personality=" + std::to_string(personality));
  if (const uint32_t rc = ScriptedResult("KXAPI_ChangePersonalityType", key)) return rc;
  PortState(key)["personality"] = personality;
  SaveState();
  return 0;
}

}  // extern "C"
