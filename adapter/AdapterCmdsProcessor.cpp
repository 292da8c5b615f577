#include "adapter/AdapterCmdsProcessor.h"

#include "runtime/FileOps.h"


#include <algorithm>
#include <string>

#include "adapter/AdapterFlashInfoCmdsProcessor.h"
#include "adapter/AdapterInfoCmdsProcessor.h"
#include "adapter/AdapterPersonalityCmdsProcessor.h"

namespace {

constexpr const char* kClass = "AdapterCmdsProcessor";
using Cls = AdapterCmdsProcessor;

constexpr uint32_t kNoResult = 0xFFFFFFFFu;

// The parts of an adapter identifier, cut to the room the parser keeps.
struct ParsedIdentifier {
  std::string keyword;  // up to 15
  std::string model;    // up to 63
  std::string serial;   // up to 127
};

ParsedIdentifier ParseIdentifier(const std::string& word) {
  ParsedIdentifier parsed;
  std::string* parts[] = {&parsed.keyword, &parsed.model, &parsed.serial};
  constexpr size_t kRoom[] = {15, 63, 127};
  size_t used = 0;
  size_t at = 0;
  while (at < word.size() && used < 3) {
    const size_t end = word.find('_', at);
    const size_t stop = end == std::string::npos ? word.size() : end;
    if (stop > at) {  // runs of underscores count as one
      *parts[used] = word.substr(at, std::min(stop - at, kRoom[used]));
      ++used;
    }
    at = stop + 1;
  }
  return parsed;
}

// A flash region "update" can write, and the adapters that take it.
struct Region {
  const char* keyword;
  bool (*allowed)(const kxinv::PciIdentity&);
  uint32_t (*update)(KXAPI_PORT_HANDLE, const char*);
  const char* via;      // traced before the call
  const char* refused;  // traced when the adapter does not take the region
  const char* what;      // names the region in the outcome traces
};

bool GroupsDAB(const kxinv::PciIdentity& pci) {
  return kxinv::IsDeviceGroupD(pci) || kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci);
}

const Region kRegions[] = {
    {"MBI", [](const kxinv::PciIdentity&) { return true; },
     [](KXAPI_PORT_HANDLE port, const char* file) { return KXAPI_doOptionROMUpdate(port, file, 0); },
     "Flash update via FC protocol", "", "flash"},
    {"BrdCfg", GroupsDAB, KXAPI_UpdateSpecificFlashRegionFromFile, "Board Config update via FC protocol",
     "Board Config update not supported for this adapter", "Board Config"},
    {"FWPreload", [](const kxinv::PciIdentity& pci) { return kxinv::IsDeviceGroupH(pci) || GroupsDAB(pci); },
     KXAPI_UpdateAdapterFirmwareTableFromFile, "FW Preload Table update via FC protocol",
     "FW Preload table update not supported for this adapter", "FW Preload Table"},
    {"PEPCfg", [](const kxinv::PciIdentity& pci) { return kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci); },
     KXAPI_UpdateAdapterPEPCfgFromFile, "PEP Config update via FC protocol",
     "PEP Config update not supported for this adapter", "PEP Config"},
};

// Library results of a failed update and the status each one shows.
struct ResultStatus {
  uint32_t result;
  uint32_t status;
};
constexpr ResultStatus kUpdateResults[] = {
    {3, 19},   {40, 42},  {101, 22}, {102, 25}, {103, 23}, {104, 26}, {105, 27},
    {106, 29}, {107, 30}, {108, 17}, {110, 18}, {111, 31}, {113, 35}, {121, 35},
    {114, 21}, {133, 32}, {150, 60}, {152, 61}, {153, 62}, {522, 16},
};
constexpr uint32_t kUpdateFailed = 11;
constexpr uint32_t kFileOpenError = 22;
constexpr uint32_t kFileReadError = 25;
constexpr uint32_t kInvalidFileSize = 29;

uint32_t UpdateStatus(uint32_t result) {
  for (const ResultStatus& row : kUpdateResults)
    if (row.result == result) return row.status;
  return kUpdateFailed;
}

const StatusMessage kUpdateMessages[] = {
    {0, kxkey::kSuccess},
    {4, "Failed, Invalid Number of parameters"},
    {6, kxmsg::kInvalidParameter},
    {11, kxmsg::kFlashUpdateError},
    {14, kxmsg::kHostNotFound},
    {16, kxmsg::kFlashValidation},
    {17, "Failed, Invalid data"},
    {18, "Failed, Invalid Serial Number"},
    {19, kxmsg::kFileNotFound},
    {21, kxmsg::kAdapterNotFound},
    {22, kxmsg::kFileOpenError},
    {23, kxmsg::kFileNotValid},
    {25, kxmsg::kFileReadError},
    {26, kxmsg::kInvalidSsid},
    {27, kxmsg::kCorruptedFile},
    {29, kxmsg::kInvalidFileSize},
    {30, kxmsg::kChecksumError},
    {31, kxmsg::kInvalidSignature},
    {32, kxmsg::kFlashLockdown},
    {35, kxmsg::kNotSupportedAdapter},
    {113, kxmsg::kNotSupportedAdapter},
    {42, kxmsg::kMemoryError},
    {60, kxmsg::kMaintenanceMode},
    {61, kxmsg::kImageSetValidation},
    {62, kxmsg::kImageSetConfig},
};

constexpr const char* kRebootValues[] = {kxkey::kFalse, kxkey::kTrue, "Cold Boot Required"};

constexpr FieldDecl kListFields[] = {{"Adapters", ValueType::kString}};
constexpr StructDecl kListElement{"AdapterList", kListFields};
const ErrorDocument kUpdateDocument{"FlashUpdate", kUpdateMessages, {EmptyField::String(kxkey::kRebootRequired, kxkey::kFalse)}};
constexpr ParamDef kUpdateParams[] = {
    kxparam::kAdapter,
    {"file", nullptr, nullptr, ValueType::kString, true, "Path of the firmware or flash region image on the host",
     "/tmp/kxfc-firmware.bin"},
    {"region", nullptr, nullptr, ValueType::kString, false,
     "Flash region the image is for: MBI (default), BrdCfg, FWPreload or PEPCfg", "MBI"},
};

}  // namespace

AdapterCmdsProcessor::AdapterCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Adapter", "adapter", "-t", "use this command to get/set/list Kaltex adapters",
                            parent) {
  AddSubMode(std::make_unique<AdapterInfoCmdsProcessor>(this));
  AddSubMode(std::make_unique<AdapterPersonalityCmdsProcessor>(this));
  AddSubMode(std::make_unique<AdapterFlashInfoCmdsProcessor>(this));
}

void AdapterCmdsProcessor::RegisterCommands() {
  static const CommandDef<Cls> kCommands[] = {
      {"list", "Discover list of Kaltex adapters", 0, CommandKind::kXml, &Cls::CmdListCommon, "CmdList", nullptr,
       {{}, nullptr, &kListElement}},
      {"update", "Update firmware on the Kaltex Adapter", 1, CommandKind::kXml, &Cls::CmdUpdateCommon, "CmdUpdate",
       nullptr, {kUpdateParams, &kUpdateDocument}},
      {"help", "List of available commands", 2, CommandKind::kHelp},
      {"listcli", "Discover list of Kaltex adapters", 3, CommandKind::kText, &Cls::CmdListCommon, "CmdListCli", "Usage: list\r\n"},
      {"updatecli", "Update firmware on the Kaltex Adapter", 4, CommandKind::kText, &Cls::CmdUpdateCommon,
       "CmdUpdateCli", "Usage: [identifier] [flashfile]\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t AdapterCmdsProcessor::GetPhyPortFromAdapterString(const Words& words, AdapterLookup& out) {
  constexpr const char* fn = "GetPhyPortFromAdapterString";
  TraceLevel(kTraceInfo, "%s::%s: Entered", kClass, fn);
  out = AdapterLookup{};
  std::string word;
  if (const uint32_t status = IdentifierWord(kClass, fn, words, word)) return status;
  const ParsedIdentifier id = ParseIdentifier(word);
  TraceLevel(kTraceInfo, "%s::%s: Parsed szAdapterStr is %s", kClass, fn, id.keyword.c_str());
  TraceLevel(kTraceInfo, "%s::%s: Parsed szModel is %s", kClass, fn, id.model.c_str());
  TraceLevel(kTraceInfo, "%s::%s: Parsed szSerialNum is %s", kClass, fn, id.serial.c_str());
  if (!EqualsNoCase(id.keyword, "Adapter")) {
    TraceLevel(kTraceError, "AdapterDefaultCfgCmdsProcessor::%s: Invalid Adapter identifier %s", fn, word.c_str());
    return kxstatus::kInvalidParameter;
  }
  kxinv::AdapterListRef list = kxinv::GetAdapterList();
  if (!list) {
    TraceLevel(kTraceError, "%s::%s: Adapter List is NULL", kClass, fn);
    return kxstatus::kNoInventory;
  }

  for (kxinv::AdapterRef adapter = list.FirstAdapter(); adapter; adapter = adapter.Next()) {
    if (!adapter.HasPorts() || !EqualsNoCase(adapter.Model(), id.model) ||
        !EqualsNoCase(adapter.SerialNumber(), id.serial))
      continue;
    // A later adapter of the same name replaces an earlier one entirely.
    out = AdapterLookup{};
    out.adapter = adapter;
    out.phyPort = adapter.FirstPort();
    for (kxinv::PhyPortRef port = adapter.FirstPort(); port; port = port.Next()) {
      for (kxinv::PortEntryRef entry = port.FirstEntry(); entry; entry = entry.Next()) {
        if (!entry.IsFibreChannel()) continue;
        if (!out.fcEntry) out.fcEntry = entry;
        if (port.PortNumber() < out.phyPort.PortNumber()) {
          out.phyPort = port;
          out.fcEntry = entry;
        }
      }
    }
  }
  if (!out.adapter || !out.phyPort || (!out.nicEntry && !out.fcEntry && !out.iscsiEntry))
    return kxstatus::kInvalidParameter;
  return 0;
}

uint32_t AdapterCmdsProcessor::CmdListCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdListCommon";
  TraceEntered(fn);
  kxinv::AdapterListRef list{nullptr};
  if (const uint32_t status = OpenInventory(fn, words, list)) return status;
  ShowIdentifierList(fn, mode, kListElement, [&](const IdentifierSink& add) {
    for (kxinv::AdapterRef adapter = list.FirstAdapter(); adapter; adapter = adapter.Next()) {
      const std::string identifier = "Adapter_" + adapter.Model() + "_" + adapter.SerialNumber();
      TraceFn(kTraceInfo, fn, "Got Adapter=%s", identifier.c_str());
      add(identifier.c_str());
    }
  });
  return 0;
}

uint32_t AdapterCmdsProcessor::CmdUpdateCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdUpdateCommon";
  TraceEntered(fn);
  if (words.size() < 2) {
    TraceFn(kTraceError, fn, "Invalid number of arguments");
    return DisplayUpdateInfo(kxstatus::kWrongParameter, mode, 0);
  }
  AdapterLookup found;
  if (const uint32_t status = GetPhyPortFromAdapterString(words, found)) {
    TraceFn(kTraceError, fn, "GetPhyPortFromAdapterString failed with error=%d", static_cast<int>(status));
    return DisplayUpdateInfo(status, mode, 0);
  }
  const std::string& identifier = words[0];
  const std::string& file = words[1];
  // The usage names two words: without a region word the image is the adapter firmware.
  const std::string region = words.size() > 2 ? words[2] : "MBI";
  TraceFn(kTraceInfo, fn, "pAdapterEntry=%p pPhyPortEntry=%p pNicProtocolEntry=%p pFCProtocolEntry=%p "
          "piSCSIProtocolEntry=%p", static_cast<const void*>(found.adapter.Raw()),
          static_cast<const void*>(found.phyPort.Raw()), static_cast<const void*>(found.nicEntry.Raw()),
          static_cast<const void*>(found.fcEntry.Raw()), static_cast<const void*>(found.iscsiEntry.Raw()));
  TraceFn(kTraceInfo, fn, "Got Identifier = %s", identifier.c_str());
  TraceFn(kTraceInfo, fn, "Got Firmware file  = %s", file.c_str());
  const Region* chosen = nullptr;
  for (const Region& r : kRegions)
    if (EqualsNoCase(region, r.keyword)) chosen = &r;
  // A misspelt region must not write the image anywhere.
  if (!chosen) {
    TraceFn(kTraceError, fn, "region=%s not supported", region.c_str());
    return DisplayUpdateInfo(kxstatus::kInvalidParameter, mode, 0);
  }

  // A regular, readable, non-empty file, checked before anything can block
  // on it; each other kind of file has its own status.
  switch (FileOps::CheckImage(file.c_str())) {
    case FileOps::Image::kUsable:
      break;
    case FileOps::Image::kMissing:
      TraceFn(kTraceError, fn, "Firmware file [%s] does not exist", file.c_str());
      return DisplayUpdateInfo(kxstatus::kFileNotFound, mode, 0);
    case FileOps::Image::kNotRegular:
      TraceFn(kTraceError, fn, "Firmware file [%s] is not a regular file", file.c_str());
      return DisplayUpdateInfo(kFileReadError, mode, 0);
    case FileOps::Image::kUnreadable:
      TraceFn(kTraceError, fn, "Firmware file [%s] cannot be opened", file.c_str());
      return DisplayUpdateInfo(kFileOpenError, mode, 0);
    case FileOps::Image::kEmpty:
      TraceFn(kTraceError, fn, "Firmware file [%s] is empty", file.c_str());
      return DisplayUpdateInfo(kInvalidFileSize, mode, 0);
  }
  uint32_t result = kNoResult;
  const kxinv::PciIdentity pci = found.fcEntry ? found.fcEntry.Pci() : kxinv::PciIdentity{};
  bool refused = false;
  const bool called = WithLibraryOutput(fn, [&] {
    TraceFn(kTraceInfo, fn, "Firmware file [%s] exists", file.c_str());
    if (!found.fcEntry) return;
    if (!chosen->allowed(pci)) {
      TraceFn(kTraceError, fn, "%s", chosen->refused);
      refused = true;
      return;
    }
    TraceFn(kTraceInfo, fn, "%s", chosen->via);
    result = chosen->update(found.fcEntry.Handle(), file.c_str());
    if (result == 0)
      TraceFn(kTraceInfo, fn, "Successfully updated %s on adapter with identifier [%s]", chosen->what,
              identifier.c_str());
    else
      TraceFn(kTraceError, fn, "Error %s update on adapter with identifier [%s]", chosen->what, identifier.c_str());
  });
  if (!called) return DisplayUpdateInfo(kxstatus::kFileNotFound, mode, 0);
  if (refused) return DisplayUpdateInfo(kxstatus::kNotSupportedForAdapter, mode, 0);

  constexpr uint32_t kUpdatedRebootLater = 201;  // 0xC9
  constexpr uint32_t kUpdatedColdBoot = 205;     // 0xCD
  if (result == 0 || result == kUpdatedRebootLater || result == kUpdatedColdBoot) {
    TraceFn(kTraceInfo, fn, "Update operation successful");
    const bool mbi = chosen == &kRegions[0];
    uint32_t reboot = 1;
    if (result == 0 && mbi && (kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) || kxinv::IsDeviceGroupC(pci)))
      reboot = 0;
    else if (result == kUpdatedColdBoot && mbi)
      reboot = 2;
    DisplayUpdateInfo(0, mode, reboot);
    TraceExiting(fn);
    return 0;
  }
  TraceFn(kTraceError, fn, "Update operation failed. uReturnCode=%d", static_cast<int>(result));
  return DisplayUpdateInfo(UpdateStatus(result), mode, 0);
}

uint32_t AdapterCmdsProcessor::DisplayUpdateInfo(uint32_t status, uint32_t mode, uint32_t rebootKind) {
  constexpr const char* fn = "DisplayUpdateInfo";
  TraceEntered(fn);
  const char* message = LookupMessage(kUpdateMessages, status);
  Begin(mode);
  BeginStructure("FlashUpdate");
  WriteStringField(kxkey::kRebootRequired, kRebootValues[rebootKind < 3 ? rebootKind : 0]);
  WriteStringField(kxkey::kMessage, message);
  TraceLevel(kTraceInfo, "%s::%s: %s=%s", kClass, fn, kxkey::kMessage, message);
  EndStructure();
  End();
  TraceExiting(fn);
  return status;
}

uint32_t AdapterCmdsProcessor::ResolveAdapter(const MultipleCmdsProcessor& family, const char* fn, const Words& words,
                                              AdapterLookup& out) {
  const uint32_t status = GetPhyPortFromAdapterString(words, out);
  if (status != 0)
    TraceLevel(kTraceError, "%s::%s: Get phy port failed err=%d", family.ClassName(), fn, static_cast<int>(status));
  return status;
}
