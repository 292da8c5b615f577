#include "maint/PhysicalPortBeaconCmdsProcessor.h"

#include <string>

namespace {

constexpr const char* kClass = "PhysicalPortBeaconCmdsProcessor";
constexpr const char* kStateField = "Beacon State";

constexpr uint32_t kBeaconOff = 0;
constexpr uint32_t kBeaconOn = 1;

const char* StateText(uint32_t state) {
  switch (state) {
    case kBeaconOff: return "OFF";
    case kBeaconOn: return "ON";
    default: return kxkey::kUnknown;
  }
}

// Adapters whose beacon the library can drive.
bool HasBeacon(const kxinv::PciIdentity& pci) {
  return kxinv::IsDeviceGroupG(pci) || kxinv::IsDeviceGroupH(pci) || kxinv::IsDeviceGroupE(pci) ||
         kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) || kxinv::IsDeviceGroupC(pci);
}

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    {13, "Failed, Beacon read failed"},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {20, "Failed, Beacon update failed"},
    kxmsg::Common(21),
    kxmsg::Common(35),
    kxmsg::Common(51),
    kxmsg::Common(60),
};
const ErrorDocument kDocument{"BeaconInfo", kMessages, {}, {EmptyField::String(kStateField, kxkey::kUnknown)}};
constexpr ParamDef kSetParams[] = {
    kxparam::kPort,
    {"state", nullptr, nullptr, ValueType::kString, true, "Beacon state to set: ON or OFF", "ON"},
};

}  // namespace

PhysicalPortBeaconCmdsProcessor::PhysicalPortBeaconCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Beacon", "beacon", "-s",
                            "use this command to get/set Kaltex Fibre Channel Port's Beacon info", parent) {}

void PhysicalPortBeaconCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortBeaconCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex adapter's Beacon information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kPortOnly, &kDocument}},
      {"set", "set Kaltex adapter's Beacon information", 1, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet", nullptr,
       {kSetParams, &kDocument}},
      {"help", "list of available commands", 2, CommandKind::kHelp},
      {"getcli", "get Kaltex adapter's Beacon information", 3, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get\r\n"},
      {"setcli", "set Kaltex adapter's Beacon information", 4, CommandKind::kText, &Cls::CmdSetCommon, "CmdSetCli", "Usage: set\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortBeaconCmdsProcessor::ResolveEligiblePort(const char* fn, Words& args, PortLookup& port) {
  return PhysicalPortCmdsProcessor::ResolveFeaturePort(*this, fn, args, port, [](const kxinv::PciIdentity& pci, bool mezz) {
    return !mezz && HasBeacon(pci);
  });
}

uint32_t PhysicalPortBeaconCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = ResolveEligiblePort(fn, args, port); status != 0) return DisplayError(status, mode);

  uint32_t state = 0;
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetAdapterBeaconStatus(port.entry.Handle(), &state); },
                         " before Beacon read"))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Beacon Info failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kReadFailed), mode);
  }
  DisplayBeaconInfo(state, mode);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortBeaconCmdsProcessor::CmdSetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = ResolveEligiblePort(fn, args, port); status != 0) return DisplayError(status, mode);

  const std::string word = args.size() > 1 ? args[1] : std::string();
  TraceFn(kTraceInfo, fn, "Beacon_Status=%s", word.c_str());
  uint32_t wanted;
  if (EqualsNoCase(word, "ON")) {
    wanted = kBeaconOn;
  } else if (EqualsNoCase(word, "OFF")) {
    wanted = kBeaconOff;
  } else {
    TraceFn(kTraceError, fn, "invalid parameter");
    return DisplayError(kxstatus::kInvalidParameter, mode);
  }

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_UpdateAdapterBeaconStatus(port.entry.Handle(), wanted); },
                         " before Beacon read"))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Beacon Info failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode);
  }

  // Show what the adapter reports now, not what was asked for.
  uint32_t state = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetAdapterBeaconStatus(port.entry.Handle(), &state); },
                         " before Beacon read"))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Beacon Info read failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kReadFailed), mode);
  }
  DisplayBeaconInfo(state, mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortBeaconCmdsProcessor::DisplayBeaconInfo(uint32_t state, uint32_t mode) {
  constexpr const char* fn = "DisplayBeaconInfo";
  TraceEntered(fn);
  const char* text = StateText(state);
  Begin(mode);
  BeginStructure(kDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  TraceFn(kTraceInfo, fn, "%s=%s", kxkey::kMessage, kxkey::kSuccess);
  WriteStringField(kStateField, text);
  TraceFn(kTraceInfo, fn, "%s=%s", kStateField, text);
  EndStructure();
  End();
  TraceExiting(fn);
}

uint32_t PhysicalPortBeaconCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  ShowErrorDocument("DisplayError", status, mode, kDocument);
  TraceFn(kTraceInfo, "DisplayError", "%s=%s", kStateField, kxkey::kUnknown);
  TraceExiting("DisplayError");
  return status;
}
