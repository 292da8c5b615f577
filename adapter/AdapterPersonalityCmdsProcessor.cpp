#include "adapter/AdapterPersonalityCmdsProcessor.h"

// These handlers call the library without redirecting standard output: the
// personality calls print nothing.

namespace {

constexpr const char* kClass = "AdapterPersonalityCmdsProcessor";
using Cls = AdapterPersonalityCmdsProcessor;

constexpr uint8_t kPersonalityFC = 0;
constexpr uint8_t kPersonalityCNA = 1;
constexpr const char* kPersonalityNames[] = {"FC", "CNA"};

const char* PersonalityName(uint8_t personality) {
  return personality < std::size(kPersonalityNames) ? kPersonalityNames[personality] : kxkey::kUnknown;
}

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    {13, "Failed, Personality read failed"},
    kxmsg::Common(14),
    {20, "Failed, Personality change failed"},
    kxmsg::Common(21),
    kxmsg::Common(24),
    kxmsg::Common(35),
    kxmsg::Common(51),
    kxmsg::Common(60),
};

constexpr uint32_t kChangeAllowed = 1;

const EmptyField kPersonality = EmptyField::String("Personality", kxkey::kUnknown);
const ErrorDocument kGetDocument{"AdapterPersonality", kMessages, {}, {kPersonality}};
const ErrorDocument kSetDocument{"AdapterPersonality", kMessages, {EmptyField::Bool(kxkey::kRebootRequired, false)},
                                 {kPersonality}};
constexpr ParamDef kSetParams[] = {
    kxparam::kAdapter,
    {"personality", nullptr, nullptr, ValueType::kString, true, "The personality to change to: FC or CNA", "FC"},
};

}  // namespace

AdapterPersonalityCmdsProcessor::AdapterPersonalityCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Adapter personality", "personality", "-s",
                            "use this command to get/set Kaltex Adapter personality", parent) {}

void AdapterPersonalityCmdsProcessor::RegisterCommands() {
  static const CommandDef<Cls> kCommands[] = {
      {"get", "Get Kaltex Adapter Personality", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kAdapterOnly, &kGetDocument}},
      {"set", "Set Kaltex Adapter Personality", 1, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet", nullptr,
       {kSetParams, &kSetDocument}},
      {"help", "List of available commands", 2, CommandKind::kHelp},
      {"getcli", "Get Kaltex Adapter Personality", 3, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [adapter identifier]\r\n"},
      {"setcli", "Set Kaltex Adapter Personality", 4, CommandKind::kText, &Cls::CmdSetCommon, "CmdSetCli", "Usage: set [adapter identifier]\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t AdapterPersonalityCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  AdapterLookup found;
  if (const uint32_t status = AdapterCmdsProcessor::ResolveAdapter(*this, fn, words, found)) {
    return DisplayError(status, mode, Form::kGet);
  }
  if (found.fcEntry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode, Form::kGet);
  }
  const kxinv::PciIdentity pci = found.fcEntry.Pci();
  uint8_t personality = kPersonalityFC;
  if (kxinv::IsDeviceGroupD(pci)) {
    if (KXAPI_GetPersonalityType(found.fcEntry.Handle(), &personality) != 0) {
      TraceFn(kTraceError, fn, "failed to read personality");
      return DisplayError(kxstatus::kReadFailed, mode, Form::kGet);
    }
  } else if (kxinv::IsDeviceGroupJ(pci) || kxinv::IsDeviceGroupK(pci)) {
    personality = kPersonalityCNA;
  }
  DisplayAdapterPersonality(personality, mode, Form::kGet, false);
  TraceExiting(fn);
  return 0;
}

uint32_t AdapterPersonalityCmdsProcessor::CmdSetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  TraceEntered(fn);
  AdapterLookup found;
  if (const uint32_t status = AdapterCmdsProcessor::ResolveAdapter(*this, fn, words, found)) {
    return DisplayError(status, mode, Form::kSet);
  }
  const KXAPI_PORT_HANDLE handle = found.fcEntry.Handle();
  if (!kxinv::IsDeviceGroupD(found.fcEntry.Pci())) {
    TraceFn(kTraceError, fn, "feature not supported for this adapter");
    return DisplayError(kxstatus::kNotSupportedForAdapter, mode, Form::kSet);
  }
  if (found.fcEntry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode, Form::kSet);
  }
  if (KXAPI_CheckOttarPersonalityChangeOption(handle) != kChangeAllowed) {
    TraceFn(kTraceError, fn, "personality change by user not supported");
    return DisplayError(24, mode, Form::kSet);
  }
  // Changing the personality is not something to do by default: the word must be given.
  if (words.size() < 2) {
    TraceFn(kTraceError, fn, "personality not given");
    return DisplayError(kxstatus::kWrongParameter, mode, Form::kSet);
  }
  // A misspelt word must not switch the adapter to FC.
  if (!EqualsNoCase(words[1], "FC") && !EqualsNoCase(words[1], "CNA")) {
    TraceFn(kTraceError, fn, "personality=%s not supported", words[1].c_str());
    return DisplayError(kxstatus::kInvalidParameter, mode, Form::kSet);
  }
  const uint8_t target = EqualsNoCase(words[1], "CNA") ? kPersonalityCNA : kPersonalityFC;
  uint8_t current = kPersonalityFC;
  if (KXAPI_GetPersonalityType(handle, &current) != 0) {
    TraceFn(kTraceError, fn, "failed to read personality");
    return DisplayError(kxstatus::kReadFailed, mode, Form::kSet);
  }
  if ((current != 0) != (target != 0)) {
    const uint32_t rc = KXAPI_ChangePersonalityType(handle, target);
    if (rc != 0) {
      TraceFn(kTraceError, fn, "failed to change personality");
      return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed),
                          mode, Form::kSet);
    }
  }
  DisplayAdapterPersonality(target, mode, Form::kSet, true);
  TraceExiting(fn);
  return 0;
}

void AdapterPersonalityCmdsProcessor::DisplayAdapterPersonality(uint8_t personality, uint32_t mode, Form form,
                                                                bool reboot) {
  constexpr const char* fn = "DisplayAdapterPersonality";
  const char* name = PersonalityName(personality);
  Begin(mode);
  BeginStructure("AdapterPersonality");
  if (form == Form::kSet) WriteBoolField(kxkey::kRebootRequired, reboot);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  WriteStringField("Personality", name);
  TraceLevel(kTraceInfo, "%s::%s: %s=%s", kClass, fn, "Personality", name);
  EndStructure();
  End();
}

uint32_t AdapterPersonalityCmdsProcessor::DisplayError(uint32_t status, uint32_t mode, Form form) {
  return ShowErrorDocument("DisplayError", status, mode, form == Form::kSet ? kSetDocument : kGetDocument);
}
