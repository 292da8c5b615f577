#include "portcfg/PhysicalPortBBCRCmdsProcessor.h"

#include <map>

#include "runtime/FileOps.h"
#include "runtime/Paths.h"

namespace {

using Cls = PhysicalPortBBCRCmdsProcessor;

constexpr const char* kStatusKey = "BBCR_Status";
constexpr const char* kCountKey = "BBCR_Count";
constexpr uint32_t kMaxConfigured = 15;
constexpr size_t kTextSize = 1024;

const StatusMessage kMessages[] = {
    kxmsg::Common(6),  {13, "Failed, NVRAM read failed"}, kxmsg::Common(14), kxmsg::Common(19),
    {20, "Failed, NVRAM update failed"}, kxmsg::Common(21), kxmsg::Common(35), kxmsg::Common(42),
    {47, "Failed, Read-Only parameter"}, kxmsg::Common(51), kxmsg::Common(60),
};

constexpr StructDecl kElement{"BBCRList", kxdecl::kDataField};
const ErrorDocument kDocument{"BBCRInfo", kMessages, {}, {EmptyField::List("BBCR", &kElement)}};
const ErrorDocument kSetDocument{"BBCRInfo", kMessages, {EmptyField::Bool(kxkey::kRebootRequired, false)},
                                 {EmptyField::List("BBCR", &kElement)}};
constexpr ParamDef kSetFileParams[] = {
    kxparam::kPort,
    {"bbcr-status", "--bbcr-status", "-b", ValueType::kBool, false, "Enable (true) or disable (false) BBCR",
     "true"},
    {"bbcr-configured", "--bbcr-configured", "-c", ValueType::kInt, false, "BB credit recovery count, 0-15", "8"},
};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex adapter's Buffer-to-Buffer Credit information", 0, CommandKind::kXml, &Cls::CmdGetCommon,
     "CmdGet", nullptr, {kxparam::kPortOnly, &kDocument}},
    {"setFile", "set Kaltex adapter's Buffer-to-Buffer Credit information in a local cache file", 1,
     CommandKind::kXml, &Cls::CmdSetFileCommon, "CmdSetFile", nullptr, {kSetFileParams, &kDocument}},
    {"set", "set Kaltex adapter's Buffer-to-Buffer Credit information", 2, CommandKind::kXml, &Cls::CmdSetCommon,
     "CmdSet", nullptr, {kxparam::kPortOnly, &kSetDocument}},
    {"help", "list of available commands", 3, CommandKind::kHelp},
    {"getcli", "get Kaltex adapter's Buffer-to-Buffer Credit information", 4, CommandKind::kText, &Cls::CmdGetCommon,
     "CmdGetCli", "Usage: get\r\n"},
    {"setFilecli", "set Kaltex adapter's Buffer-to-Buffer Credit information in a local cache file", 5,
     CommandKind::kText, &Cls::CmdSetFileCommon, "CmdSetFileCli", "Usage: setFile\r\n"},
    {"setcli", "set Kaltex adapter's Buffer-to-Buffer Credit information", 6, CommandKind::kText, &Cls::CmdSetCommon,
     "CmdSetCli", "Usage: set\r\n"},
};

std::string CachePath(const std::string& identifier) {
  return kxpaths::Resolve(kxpaths::kCacheDir) + "/BBCR_" + identifier;
}

constexpr OptionName kStatusOption{"-b", "--bbcr-status"};
constexpr OptionName kCountOption{"-c", "--bbcr-configured"};
constexpr OptionName kOptions[] = {kStatusOption, kCountOption};

// Checks the options and collects the accepted values by key; 0 or 6.
uint32_t CheckOptions(const Words& words, std::map<std::string, std::string>& accepted) {
  constexpr const char* fn = "UpdateBBCRInFile";
  OptionWords options;
  std::string value;
  if (!options.Read(words, kOptions, value)) {
    TraceLevel(kTraceError, "PhysicalPortBBCRCmdsProcessor::%s: option %s not supported", fn, value.c_str());
    return kxstatus::kInvalidParameter;
  }
  if (options.Get(kStatusOption, value)) {
    const bool on = EqualsNoCase(value, "true");
    if (!on && !EqualsNoCase(value, "false")) {
      TraceLevel(kTraceError, "PhysicalPortBBCRCmdsProcessor::%s: bbcr-status=%s not supported", fn, value.c_str());
      return kxstatus::kInvalidParameter;
    }
    accepted[kStatusKey] = on ? "1" : "0";
  }
  if (options.Get(kCountOption, value)) {
    const std::optional<uint64_t> count = ParseNumber(value, 0, kMaxConfigured);
    if (!count) {
      TraceLevel(kTraceError, "PhysicalPortBBCRCmdsProcessor::%s: bbcr-count=%s not supported", fn, value.c_str());
      return kxstatus::kInvalidParameter;
    }
    accepted[kCountKey] = std::to_string(*count);
  }
  return 0;
}

// Overlays the staged values on info, which holds the adapter's; 6 for a
// value out of range that is not the adapter's own.
uint32_t ReadBBCRFromFile(const KeyValueFile& file, BbcrInfo& info) {
  constexpr const char* fn = "ReadBBCRFromFile";
  const struct {
    const char* key;
    uint8_t* member;
    uint32_t max;
  } keys[] = {{kStatusKey, &info.status, 1}, {kCountKey, &info.configured, kMaxConfigured}};
  for (const auto& k : keys) {
    char text[512] = "";
    if (file.Get(k.key, text, sizeof text) != 1) continue;
    const std::optional<uint64_t> v = ParseNumber(text, 0, UINT8_MAX);
    if (!v || (*v > k.max && *v != *k.member)) {
      TraceLevel(kTraceError, "PhysicalPortBBCRCmdsProcessor::%s: %s=%s invalid", fn, k.key, text);
      return kxstatus::kInvalidParameter;
    }
    *k.member = static_cast<uint8_t>(*v);
  }
  return 0;
}

}  // namespace

std::string BbcrText(const BbcrInfo& info) {
  ReportBlock block(kTextSize, "PhysicalPortBBCRCmdsProcessor::DisplayBBCRInfo: ");
  block.Add("%s: %s\n", "BBCR Status", info.status ? kxkey::kTrue : kxkey::kFalse);
  block.Add("      %s: %u\n", "BBCR Configured", info.configured);
  if (info.state == 0) {
    block.Add("      %s: %s\n", "BBCR State", kxkey::kOffline);
    if (info.reason[0] != '\0') block.Add("      %s: %s\n", "BBCR Offline Reason Code", info.reason);
  } else {
    block.Add("      %s: %s\n", "BBCR State", kxkey::kOnline);
    block.Add("      %s: %u\n", "BBCR Negotiated", info.negotiated);
  }
  return block.Text();
}

PhysicalPortBBCRCmdsProcessor::PhysicalPortBBCRCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("PhysicalPortBBCRCmdsProcessor", "BBCR", "bbcr", "-s",
                            "use this command to get/set Kaltex Fibre Channel Port's BBCR info", parent) {}

void PhysicalPortBBCRCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortBBCRCmdsProcessor::DisplayError(uint32_t status, uint32_t mode, bool showReboot) {
  return ShowErrorDocument("DisplayError", status, mode, showReboot ? kSetDocument : kDocument);
}

void PhysicalPortBBCRCmdsProcessor::DisplayBBCRInfo(const BbcrInfo& info, uint32_t mode, bool showReboot, bool reboot) {
  const std::string text = BbcrText(info);
  Begin(mode);
  BeginStructure(kDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  if (showReboot) WriteBoolField(kxkey::kRebootRequired, reboot);
  BeginField(kDocument.after.begin()->name);
  BeginList(kListStructure);
  BeginStructure(kElement.typeName);
  BeginField(kxkey::kData);
  WriteFormatted(kTextSize, "%s", text.c_str());
  EndField();
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
}

uint32_t PhysicalPortBBCRCmdsProcessor::Start(const char* fn, Words& words, uint32_t mode, bool showReboot,
                                              PortLookup& port, BbcrInfo& info) {
  TraceEntered(fn);
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, words, port)) {
    return DisplayError(st, mode, showReboot);
  }
  if (port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode, showReboot);
  }
  const kxinv::PciIdentity pci = port.entry.Pci();
  if (!kxinv::IsDeviceGroupA(pci) && !kxinv::IsDeviceGroupB(pci) && !kxinv::IsDeviceGroupC(pci)) {
    TraceFn(kTraceError, fn, "Command not supported for this adapter");
    return DisplayError(kxstatus::kNotSupportedForAdapter, mode, showReboot);
  }
  info = BbcrInfo{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] {
        rc = KXAPI_FCGetBBCSupportInfoEx(port.entry.Handle(), &info.status, &info.configured, &info.state,
                                         &info.negotiated, info.reason, sizeof info.reason);
      }))
    return DisplayError(kxstatus::kFileNotFound, mode, showReboot);
  info.reason[sizeof info.reason - 1] = '\0';
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get BBCR Info failed err=%u", rc);
    return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kReadFailed), mode, showReboot);
  }
  return 0;
}

uint32_t PhysicalPortBBCRCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  PortLookup port;
  BbcrInfo info;
  if (const uint32_t st = Start(fn, words, mode, false, port, info)) return st;
  DisplayBBCRInfo(info, mode, false, false);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortBBCRCmdsProcessor::CmdSetFileCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetFileCommon";
  PortLookup port;
  BbcrInfo info;
  if (const uint32_t st = Start(fn, words, mode, false, port, info)) return st;

  std::map<std::string, std::string> accepted;
  if (const uint32_t st = CheckOptions(Words(words.begin() + 1, words.end()), accepted))
    return DisplayError(st, mode, false);

  const std::string dir = kxpaths::Resolve(kxpaths::kCacheDir);
  if (!kxpaths::MakeDirs(dir)) {
    TraceFn(kTraceError, fn, "cannot create %s", dir.c_str());
    return DisplayError(kxstatus::kFileNotFound, mode, false);
  }
  // One read-modify-write under the file's lock; written only once it all passed.
  KeyValueFile file(CachePath(words.front()));
  if (const uint32_t st = file.Load()) return DisplayError(st, mode, false);
  KeyValuePairs pairs;
  if (file.Exists()) {
    TraceFn(kTraceInfo, fn, "%s file present", file.Path().c_str());
  } else {
    // The file starts from the live values, in key order, in the same rewrite
    // as the options.
    pairs = {{kCountKey, std::to_string(info.configured)}, {kStatusKey, std::to_string(info.status)}};
  }
  pairs.insert(pairs.end(), accepted.begin(), accepted.end());
  file.Update(pairs);
  if (const uint32_t st = ReadBBCRFromFile(file, info)) return DisplayError(st, mode, false);
  if (const uint32_t st = file.Commit()) {
    TraceFn(kTraceError, fn, "file ops failed");
    return DisplayError(st, mode, false);
  }
  DisplayBBCRInfo(info, mode, false, false);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortBBCRCmdsProcessor::CmdSetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  PortLookup port;
  BbcrInfo info;
  if (const uint32_t st = Start(fn, words, mode, true, port, info)) return st;

  // Held until the file is gone, so no setFile lands between read and removal.
  KeyValueFile file(CachePath(words.front()));
  if (const uint32_t st = file.Load()) return DisplayError(st, mode, true);
  if (!file.Exists()) {
    TraceFn(kTraceError, fn, "%s file not present", file.Path().c_str());
    return DisplayError(kxstatus::kFileNotFound, mode, true);
  }
  if (const uint32_t st = ReadBBCRFromFile(file, info)) return DisplayError(st, mode, true);
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn,
                         [&] { rc = KXAPI_FCSetBBCSupportInfo(port.entry.Handle(), info.status, info.configured); }))
    return DisplayError(kxstatus::kFileNotFound, mode, true);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Update BBCR failed err=%u", rc);
    return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, true);
  }
  DisplayBBCRInfo(info, mode, true, true);
  if (file.Remove() != 0) TraceFn(kTraceError, fn, "cannot remove %s", file.Path().c_str());
  TraceExiting(fn);
  return 0;
}
