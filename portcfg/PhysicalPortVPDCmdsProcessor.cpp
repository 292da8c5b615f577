#include "portcfg/PhysicalPortVPDCmdsProcessor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "port/PhysicalPortCmdsProcessor.h"

namespace {

using Cls = PhysicalPortVPDCmdsProcessor;

constexpr uint8_t kTagIdentifier = 0x82;
constexpr uint8_t kTagReadOnly = 0x90;
constexpr uint8_t kTagReadWrite = 0x91;
constexpr uint8_t kTagEnd = 0x78;
constexpr size_t kFieldHeader = 3;  // tag or keyword, then the length

struct KeywordName {
  const char* keyword;
  const char* name;
};

const KeywordName kKeywordNames[] = {
    {"PI", "Product Identifier"}, {"PN", "Part Number"},           {"SN", "Serial Number"},
    {"MN", "Manufacturing Id"},   {"EC", "Engineering Date Code"}, {"RM", "Multi Boot Version"},
    {"V0", "Miscellaneous Info"}, {"V1", "Efi Driver Version"},    {"V3", "Firmware Version"},
    {"V4", "Bios Version"},       {"V5", "FCode Version"},         {"V9", "Multi Boot Version"},
    {"", ""},
};

const StatusMessage kMessages[] = {
    {4, "Failed, PF-Number not provided"},
    kxmsg::Common(6),
    kxmsg::Common(14),
    kxmsg::Common(19),
    kxmsg::Common(21),
    kxmsg::Common(35),
    {41, "Failed, VPD failed"},
    kxmsg::Common(60),
};

constexpr FieldDecl kTagFields[] = {{"Tag", ValueType::kString}, {"Value", ValueType::kString}};
constexpr StructDecl kElement{"TagList", kTagFields};
const ErrorDocument kDocument{"VPDInformation", kMessages, {}, {EmptyField::List("VPD Data", &kElement)}};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex VPD information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
     {kxparam::kPortOnly, &kDocument}},
    {"help", "list of available commands", 1, CommandKind::kHelp},
    {"getcli", "get Kaltex VPD information", 2, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get\r\n"},
};

struct FreeDeleter {
  void operator()(uint8_t* p) const { free(p); }
};

}  // namespace

const char* VpdKeywordName(const std::string& keyword) {
  for (const KeywordName& k : kKeywordNames)
    if (*k.keyword && keyword == k.keyword) return k.name;
  return nullptr;
}

VpdMap MapVpdData(const uint8_t* image, size_t size) {
  VpdMap map;
  size_t p = 0;
  while (p < size) {
    const uint8_t tag = image[p];
    if (tag == kTagEnd) break;
    if (tag == kTagReadOnly || tag == kTagReadWrite) {
      p += kFieldHeader;
      continue;
    }
    if (p + kFieldHeader > size) break;
    size_t length = image[p + 2];
    if (tag == kTagIdentifier) length = image[p + 1] + 256u * image[p + 2];
    const size_t data = p + kFieldHeader;
    if (length > size - data) break;  // the length points past the image
    const char* text = reinterpret_cast<const char*>(image + data);
    if (tag == kTagIdentifier) {
      map["PI"] = std::string(text, strnlen(text, length));
    } else {
      const std::string keyword(reinterpret_cast<const char*>(image + p), 2);
      if (keyword == "RV" || keyword == "RW") {
        char hex[3] = "";
        if (length > 0) snprintf(hex, sizeof hex, "%02x", image[data]);
        map[keyword] = hex;
      } else {
        map[keyword] = std::string(text, strnlen(text, length));
      }
    }
    p = data + length;
  }
  return map;
}

PhysicalPortVPDCmdsProcessor::PhysicalPortVPDCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("PhysicalPortVPDCmdsProcessor", "VPD", "vpd", "-s",
                            "use this command to get Kaltex Fibre Channel Port's VPD info", parent) {}

void PhysicalPortVPDCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortVPDCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}

uint32_t PhysicalPortVPDCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, words, port)) {
    return DisplayError(st, mode);
  }
  std::unique_ptr<uint8_t, FreeDeleter> vpd(static_cast<uint8_t*>(malloc(kxvpd::kImageSize)));
  if (!vpd) {
    TraceFn(kTraceError, fn, "pVpd malloc failed");
    return DisplayError(kxstatus::kMemoryError, mode);
  }
  uint32_t rc = 0;
  const bool called = WithLibraryOutput(fn, [&] {
    memset(vpd.get(), 0, kxvpd::kImageSize);
    uint32_t size = kxvpd::kImageSize;
    rc = KXAPI_GetVpd(port.entry.HandleNumber(), 0, vpd.get(), &size);
  });
  if (!called) return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get VPD Data failed err=%u", rc);
    return DisplayError(kxstatus::FromPortCall(rc, 41), mode);
  }
  DisplayVPDInfo(MapVpdData(vpd.get(), kxvpd::kImageSize), mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortVPDCmdsProcessor::DisplayVPDInfo(const VpdMap& map, uint32_t mode) {
  constexpr const char* fn = "DisplayVPDInfo";
  Begin(mode);
  BeginStructure(kDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  BeginField(kDocument.after.begin()->name);
  BeginList(kListStructure);
  for (const auto& [keyword, value] : map) {
    const char* name = VpdKeywordName(keyword);
    if (!name) continue;
    BeginStructure(kElement.typeName);
    WriteStringField(kTagFields[0].name, name);
    WriteStringField(kTagFields[1].name, value.c_str());
    TraceFn(kTraceInfo, fn, "%s=%s", name, value.c_str());
    EndStructure();
  }
  EndList();
  EndField();
  EndStructure();
  End();
}
