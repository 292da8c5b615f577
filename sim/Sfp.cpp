// Stand-in transceiver calls: each port's module image comes from its fixture
// object ("sfp", and "sfpRefreshed" for a read that re-reads the module).
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/SimCore.h"

namespace {

using sim::json;

constexpr size_t kPage = KXAPI_SFP_IMAGE_SIZE / 2;
// Library codes the stand-in returns on its own.
constexpr uint32_t kNoPort = 114;
constexpr uint32_t kFileOpenError = 101;

// Builds an image from {"a0": hex, "a2": hex, "bytes": {offset: hex}, "text": {offset: ascii}}.
void BuildImage(const json& module, uint8_t* image) {
  memset(image, 0, KXAPI_SFP_IMAGE_SIZE);
  if (!module.is_object()) return;
  if (module.contains("a0")) sim::HexBytes(module["a0"], image, kPage);
  if (module.contains("a2")) sim::HexBytes(module["a2"], image + kPage, kPage);
  auto offsetOf = [](const std::string& key) {
    const size_t offset = static_cast<size_t>(sim::Number(json(key)));
    if (offset >= KXAPI_SFP_IMAGE_SIZE) throw std::runtime_error("sfp offset " + key + " is outside the image");
    return offset;
  };
  if (auto it = module.find("bytes"); it != module.end() && it->is_object()) {
    for (auto b = it->begin(); b != it->end(); ++b) {
      const size_t offset = offsetOf(b.key());
      sim::HexBytes(b.value(), image + offset, KXAPI_SFP_IMAGE_SIZE - offset);
    }
  }
  if (auto it = module.find("text"); it != module.end() && it->is_object()) {
    for (auto t = it->begin(); t != it->end(); ++t) {
      const size_t offset = offsetOf(t.key());
      const std::string text = t.value().get<std::string>();
      memcpy(image + offset, text.data(), std::min(text.size(), KXAPI_SFP_IMAGE_SIZE - offset));
    }
  }
}

// The image a read returns; a refreshing read serves "sfpRefreshed" when the port has one.
bool PortImage(KXAPI_PORT_HANDLE port, bool refreshed, uint8_t* image) {
  const json& portJson = sim::PortJson(port);
  if (!sim::EntryOf(port) || sim::PortKey(port).empty()) return false;
  const char* key = refreshed && portJson.contains("sfpRefreshed") ? "sfpRefreshed" : "sfp";
  try {
    BuildImage(portJson.value(key, json()), image);
  } catch (const std::exception& e) {
    fprintf(stderr, "kxsim: fixture: port %s: %s\n", sim::PortKey(port).c_str(), e.what());
    memset(image, 0, KXAPI_SFP_IMAGE_SIZE);
  }
  return true;
}

uint32_t Save(const char* call, KXAPI_PORT_HANDLE port, const char* path, bool text) {
  const std::string key = sim::PortKey(port);
  sim::LogCall(std::string(call) + " port=" + key + " path=" + (path ? path : ""));
  if (const uint32_t rc = sim::ScriptedResult(call, key)) return rc;
  uint8_t image[KXAPI_SFP_IMAGE_SIZE];
  if (!path || !PortImage(port, false, image)) return kNoPort;
  FILE* f = fopen(path, text ? "w" : "wb");
  if (!f) return kFileOpenError;
  bool ok = true;
  if (text) {
    for (size_t row = 0; row < KXAPI_SFP_IMAGE_SIZE; row += 16) {
      if (row % kPage == 0) ok = ok && fprintf(f, "%s\n", row == 0 ? "A0:" : "A2:") > 0;
      ok = ok && fprintf(f, "%03zx:", row % kPage) > 0;
      for (size_t i = 0; i < 16; ++i) ok = ok && fprintf(f, " %02x", image[row + i]) > 0;
      ok = ok && fputc('\n', f) != EOF;
    }
  } else {
    ok = fwrite(image, 1, sizeof image, f) == sizeof image;
  }
  return fclose(f) == 0 && ok ? 0 : kFileOpenError;
}

}  // namespace

extern "C" {

uint32_t KXAPI_GetSFPDataEx(KXAPI_PORT_HANDLE port, uint8_t* image, uint32_t flag, uint32_t reserved) {
  const std::string key = sim::PortKey(port);
  sim::LogCall("KXAPI_GetSFPDataEx port=" + key + " flag=" + std::to_string(flag) +
               " reserved=" + std::to_string(reserved));
  if (const uint32_t rc = sim::ScriptedResult("KXAPI_GetSFPDataEx", key)) return rc;
  if (!image || !PortImage(port, flag == 1, image)) return kNoPort;
  return 0;
}

uint32_t KXAPI_SaveSFPDataToFile(KXAPI_PORT_HANDLE port, const char* path) {
  return Save("KXAPI_SaveSFPDataToFile", port, path, false);
}

uint32_t KXAPI_SaveSFPDataToTextFile(KXAPI_PORT_HANDLE port, const char* path) {
  return Save("KXAPI_SaveSFPDataToTextFile", port, path, true);
}

uint32_t KXAPI_SfpModuleFirmwareUpdate(KXAPI_PORT_HANDLE port, const char* imagePath, uint32_t option) {
  const std::string key = sim::PortKey(port);
  sim::LogCall("KXAPI_SfpModuleFirmwareUpdate port=" + key + " file=" + (imagePath ? imagePath : "") +
               " option=" + std::to_string(option));
  if (const uint32_t rc = sim::ScriptedResult("KXAPI_SfpModuleFirmwareUpdate", key)) return rc;
  if (key.empty()) return kNoPort;
  FILE* f = imagePath ? fopen(imagePath, "rb") : nullptr;
  if (!f) return kFileOpenError;
  fclose(f);
  sim::PortState(key)["sfpFirmwareImage"] = imagePath;
  sim::SaveState();
  return 0;
}

}  // extern "C"
