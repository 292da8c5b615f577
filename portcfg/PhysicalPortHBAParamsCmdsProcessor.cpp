#include "portcfg/PhysicalPortHBAParamsCmdsProcessor.h"

#include "runtime/FileOps.h"
#include "runtime/Paths.h"

namespace {

using Cls = PhysicalPortHBAParamsCmdsProcessor;
using kxinv::PciIdentity;

const StatusMessage kParamsMessages[] = {
    kxmsg::Common(6),
    {13, "Failed, NVRAM read failed"},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {17, "Failed, Interrupt Delay Timer value > 0 not supported for Operation Mode value "
         "Interrupt_For_Every_I/O_Completion"},
    {18, "Failed, Connection Options value Loop_Only not supported for data rate value 16 Gbps and above"},
    {20, "Failed, NVRAM update failed"},
    kxmsg::Common(21),
    kxmsg::Common(35),
    {47, "Failed, Read-Only parameter"},
    kxmsg::Common(51),
    kxmsg::Common(60),
};

// restoreDefaults cannot meet the cross-checks of staging.
const StatusMessage kRestoreMessages[] = {
    kxmsg::Common(6),  {13, "Failed, NVRAM read failed"}, kxmsg::Common(14), {20, "Failed, NVRAM update failed"},
    kxmsg::Common(21), kxmsg::Common(35), {47, "Failed, Read-Only parameter"}, kxmsg::Common(51),
    kxmsg::Common(60),
};

// "set" with nothing staged: the one place a missing file is the user's to hear about.
const StatusMessage kNothingStaged[] = {kxmsg::Common(19)};

// The rows of the parameter list, in the order HbaParamsRows writes them.
constexpr FieldDecl kRows[] = {
    {"Connection Options", ValueType::kString},
    {"Data Rate", ValueType::kString},
    {"Operation Mode", ValueType::kString},
    {"Frame Size", ValueType::kInt},
    {"Enable Hard Loop Id", ValueType::kString},
    {"Hard Loop Id", ValueType::kInt},
    {"Loop Reset Delay In Seconds", ValueType::kInt},
    {"Interrupt Delay Timer In 100us", ValueType::kInt},
    {"Execution Throttle", ValueType::kInt},
    {"Login Retry Count", ValueType::kInt},
    {"Port Down Retry Count", ValueType::kInt},
    {"Link Down Timeout In Seconds", ValueType::kInt},
    {"Luns Per Target", ValueType::kInt},
    {"Enable LR", ValueType::kString},
    {"Enable Host Hba Bios", ValueType::kString},
    {"Enable Fc Tape Support", ValueType::kString},
    {"Enable Lip Full Login", ValueType::kString},
    {"Enable Target Reset", ValueType::kString},
    {"Enable Fabric Assigned WWN", ValueType::kString},
    {"Enable USCM", ValueType::kString},
    {"Virtual Lane", ValueType::kString},
};
constexpr StructDecl kElement{"HBAParametersList", kRows};
const EmptyField kNoReboot = EmptyField::Bool(kxkey::kRebootRequired, false);
const ErrorDocument kParamsDocument{"HBAParametersInfo", kParamsMessages, {}, {EmptyField::List("HBAParameters", &kElement)}};
const ErrorDocument kSetDocument{"HBAParametersInfo", kParamsMessages, {kNoReboot},
                                 {EmptyField::List("HBAParameters", &kElement)}};
const ErrorDocument kNothingStagedDocument{"HBAParametersInfo", kNothingStaged, {kNoReboot},
                                           {EmptyField::List("HBAParameters", &kElement)}};
const ErrorDocument kRestoreDocument{"RestoreDefaultsInfo", kRestoreMessages};
const ErrorDocument kRestoreRebootDocument{"RestoreDefaultsInfo", kRestoreMessages, {kNoReboot}};
const ErrorDocument kSaveDocument{"HBAParametersSave", kParamsMessages};
constexpr ParamDef kSaveParams[] = {
    kxparam::kPort,
    {"file", nullptr, nullptr, ValueType::kString, true, "Path of the text file to write on the host",
     "/tmp/kxfc-hbaparams.txt"},
};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex HBA Parameters information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
     {kxparam::kPortOnly, &kParamsDocument}},
    {"setFile", "set Kaltex HBA Parameters information in a local cache file", 1, CommandKind::kXml,
     &Cls::CmdSetFileCommon, "CmdSetFile", nullptr, {hbaparams::SetFileParams(), &kParamsDocument}},
    {"set", "set Kaltex HBA Parameters information", 2, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet", nullptr,
     {kxparam::kPortOnly, &kSetDocument}},
    {"restoreDefaults", "Restore default values of Kaltex HBA Parameters", 3, CommandKind::kXml,
     &Cls::CmdRestoreDefaultsCommon, "CmdRestoreDefaults", nullptr, {kxparam::kPortOnly, &kRestoreRebootDocument}},
    {"save", "save Kaltex HBA Parameters information in a text file", 4, CommandKind::kXml, &Cls::CmdSaveCommon,
     "CmdSave", nullptr, {kSaveParams, &kSaveDocument}},
    {"help", "list of available commands", 5, CommandKind::kHelp},
    {"getcli", "get Kaltex HBA Parameters information", 6, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get\r\n"},
    {"setFilecli", "set Kaltex HBA Parameters information in a local cache file", 7, CommandKind::kText,
     &Cls::CmdSetFileCommon, "CmdSetFileCli", "Usage: setFile\r\n"},
    {"setcli", "set Kaltex HBA Parameters information", 8, CommandKind::kText, &Cls::CmdSetCommon, "CmdSetCli", "Usage: set\r\n"},
    {"restoreDefaultscli", "Restore default values of Kaltex HBA Parameters", 9, CommandKind::kText,
     &Cls::CmdRestoreDefaultsCommon, "CmdRestoreDefaultsCli", "Usage: restoreDefaults\r\n"},
    {"savecli", "Save Kaltex HBA Parameters information in a file", 10, CommandKind::kText, &Cls::CmdSaveCommon,
     "CmdSaveCli", "Usage: save\r\n"},
};

const char* BoolText(uint32_t v) { return v ? kxkey::kTrue : kxkey::kFalse; }
const char* OrUnknown(const char* word) { return word ? word : kxkey::kUnknown; }

}  // namespace

std::vector<HbaParamsRow> HbaParamsRows(const PciIdentity& pci, const HbaParams& r) {
  using namespace kxinv;
  const bool groupI = IsDeviceGroupI(pci);
  const bool groupK = IsDeviceGroupK(pci);
  const bool groupG = IsDeviceGroupG(pci);
  const bool scmGroups = IsDeviceGroupA(pci) || IsDeviceGroupB(pci) || IsDeviceGroupC(pci);
  auto text = [](const char* label, const char* value) { return HbaParamsRow{label, false, value, 0}; };
  auto number = [](const char* label, uint32_t value) { return HbaParamsRow{label, true, "", value}; };
  auto flag = [&](const char* label, bool na, uint32_t value) { return text(label, na ? kxkey::kNA : BoolText(value)); };
  return {
      text("Connection Options", OrUnknown(hbaparams::ConnectionWord(r.U32(kxhba::kConnetionOptions)))),
      text("Data Rate", OrUnknown(hbaparams::DataRateWord(r.U32(kxhba::kDataRate), IsDeviceGroupF(pci)))),
      text("Operation Mode", groupK ? kxkey::kNA : OrUnknown(hbaparams::OperationModeWord(r.U32(kxhba::kOperationMode)))),
      number("Frame Size", r.U32(kxhba::kFrameSize)),
      flag("Enable Hard Loop Id", groupI, r.U32(kxhba::kEnableHardLoopId)),
      number("Hard Loop Id", groupI ? 0 : r.U32(kxhba::kHardLoopId)),
      number("Loop Reset Delay In Seconds", r.U32(kxhba::kLoopResetDelay)),
      number("Interrupt Delay Timer In 100us", groupK ? 0 : r.U32(kxhba::kInterruptDelayTimer)),
      number("Execution Throttle", IsDeviceGroupF(pci) ? 0 : r.U32(kxhba::kExecutionThrottle)),
      number("Login Retry Count", r.U32(kxhba::kLoginRetryCount)),
      number("Port Down Retry Count", r.U32(kxhba::kPortDownRetryCount)),
      number("Link Down Timeout In Seconds", r.U32(kxhba::kLinkDownTimeout)),
      number("Luns Per Target", r.U32(kxhba::kMaxLunsPerTarget)),
      flag("Enable LR", groupG || groupK, r.U32(kxhba::kEnableLRBit)),
      text("Enable Host Hba Bios", BoolText(r.U32(kxhba::kDisableBIOS) == 0)),
      flag("Enable Fc Tape Support", false, r.U32(kxhba::kEnableFibreChannelTapeSupport)),
      flag("Enable Lip Full Login", groupI, r.U32(kxhba::kEnableLipFullLogin)),
      flag("Enable Target Reset", false, r.U32(kxhba::kEnableTargetReset)),
      flag("Enable Fabric Assigned WWN", groupG || IsDeviceGroupH(pci) || groupI, r.U32(kxhba::kEnableFabricAssignWWN)),
      text("Enable USCM", scmGroups ? BoolText(r.U32(kxhba::kDisableSCM) == 0) : kxkey::kNA),
      flag("Virtual Lane", !IsDeviceGroupC(pci), r.U8(kxhba::kEnableVirtualLane)),
  };
}

PhysicalPortHBAParamsCmdsProcessor::PhysicalPortHBAParamsCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("PhysicalPortHBAParamsCmdsProcessor", "HBA Params", "hbaparams", "-s",
                            "use this command to get/set Kaltex Fibre Channel Port's HBA parameters", parent) {}

void PhysicalPortHBAParamsCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortHBAParamsCmdsProcessor::Fail(Doc doc, uint32_t status, uint32_t mode, Shown reboot) {
  // A failure never asks for a reboot: the documents declare the field false.
  switch (doc) {
    case Doc::kParams:
      return ShowErrorDocument("DisplayError", status, mode, reboot.showReboot ? kSetDocument : kParamsDocument);
    case Doc::kRestore:
      return ShowErrorDocument("DisplayRestoreDefaultsError", status, mode,
                               reboot.showReboot ? kRestoreRebootDocument : kRestoreDocument);
    case Doc::kSave:
      break;
  }
  return ShowErrorDocument("DisplaySaveError", status, mode, kSaveDocument);
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::Start(const char* fn, Words& words, uint32_t mode, Doc doc,
                                                   PortLookup& port) {
  TraceEntered(fn);
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, words, port)) {
    return Fail(doc, st, mode);
  }
  if (port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return Fail(doc, kxstatus::kVirtualPort, mode);
  }
  return 0;
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::ReadRecord(const char* fn, const PortLookup& port, HbaParams& record,
                                                        const char* openStage) {
  record = HbaParams{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetHBAParamsInfo(port.entry.Handle(), record.Data()); }, openStage))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get HBA Params Info failed err=%u", rc);
    return kxstatus::FromPortCall(rc, kxstatus::kReadFailed);
  }
  return 0;
}

void PhysicalPortHBAParamsCmdsProcessor::DisplayHBAParamsInfo(kxinv::PortEntryRef entry, uint32_t mode, Shown reboot,
                                                              const HbaParams& record) {
  constexpr const char* fn = "DisplayHBAParamsInfo";
  Begin(mode);
  BeginStructure(kParamsDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  if (reboot.showReboot) WriteBoolField(kxkey::kRebootRequired, reboot.reboot);
  BeginField(kParamsDocument.after.begin()->name);
  BeginList(kListStructure);
  BeginStructure(kElement.typeName);
  for (const HbaParamsRow& row : HbaParamsRows(entry.Pci(), record)) {
    if (row.isNumber) {
      WriteIntField(row.label, row.number, kIntUnsigned32);
      TraceFn(kTraceInfo, fn, "%s=%u", row.label, row.number);
    } else {
      WriteStringField(row.label, row.text.c_str());
      TraceFn(kTraceInfo, fn, "%s=%s", row.label, row.text.c_str());
    }
  }
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  PortLookup port;
  if (const uint32_t st = Start(fn, words, mode, Doc::kParams, port)) return st;
  HbaParams record;
  if (const uint32_t st = ReadRecord(fn, port, record, "")) return Fail(Doc::kParams, st, mode);
  DisplayHBAParamsInfo(port.entry, mode, Shown{false, false}, record);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::CmdSetFileCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetFileCommon";
  PortLookup port;
  if (const uint32_t st = Start(fn, words, mode, Doc::kParams, port)) return st;
  HbaParams record;
  if (const uint32_t st = ReadRecord(fn, port, record, "")) return Fail(Doc::kParams, st, mode);

  const std::string dir = kxpaths::Resolve(kxpaths::kCacheDir);
  if (!kxpaths::MakeDirs(dir)) {
    TraceFn(kTraceError, fn, "cannot create %s", dir.c_str());
    return Fail(Doc::kParams, kxstatus::kFileNotFound, mode);
  }
  // The whole read-modify-write holds the file's lock; the file changes only
  // once every option and every staged value has passed.
  KeyValueFile file(hbaparams::CachePath(words.front()));
  if (const uint32_t st = file.Load()) return Fail(Doc::kParams, st, mode);
  if (file.Exists()) TraceFn(kTraceInfo, fn, "%s file present", file.Path().c_str());

  const Words options(words.begin() + 1, words.end());
  if (const uint32_t st = hbaparams::UpdateHBAParamsInFile(options, file, port.entry, record)) {
    TraceFn(kTraceError, fn, "UpdateHBAParamsInFile failed with uRet=%u", st);
    return Fail(Doc::kParams, st, mode);
  }
  if (const uint32_t st = hbaparams::ReadHBAParamsFromFile(file, record)) {
    TraceFn(kTraceError, fn, "ReadHBAParamsFromFile failed");
    return Fail(Doc::kParams, st, mode);
  }
  if (const uint32_t st = file.Commit()) {
    TraceFn(kTraceError, fn, "file ops failed");
    return Fail(Doc::kParams, st, mode);
  }
  DisplayHBAParamsInfo(port.entry, mode, Shown{false, false}, record);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::CmdSetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  constexpr Shown kNoReboot{true, false};
  PortLookup port;
  if (const uint32_t st = Start(fn, words, mode, Doc::kParams, port)) return st;
  HbaParams record;
  if (const uint32_t st = ReadRecord(fn, port, record, " before read")) return Fail(Doc::kParams, st, mode);

  // Held until the file is gone, so no setFile lands between read and removal.
  KeyValueFile file(hbaparams::CachePath(words.front()));
  if (const uint32_t st = file.Load()) return Fail(Doc::kParams, st, mode);
  if (!file.Exists()) {
    TraceFn(kTraceError, fn, "%s file not present", file.Path().c_str());
    ShowErrorDocument("DisplayError", kxstatus::kFileNotFound, mode, kNothingStagedDocument);
    return kxstatus::kFileNotFound;
  }
  if (const uint32_t st = hbaparams::ReadHBAParamsFromFile(file, record)) return Fail(Doc::kParams, st, mode);

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_UpdateHBAParameters(port.entry.Handle(), record.Data()); },
                         " before set"))
    return Fail(Doc::kParams, kxstatus::kFileNotFound, mode, kNoReboot);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Update HBA Params failed err=%u", rc);
    return Fail(Doc::kParams, kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, kNoReboot);
  }
  DisplayHBAParamsInfo(port.entry, mode, {true, RebootRequired(fn, true)}, record);
  // The values are on the adapter now; a file that stays behind only repeats them.
  if (file.Remove() != 0) TraceFn(kTraceError, fn, "cannot remove %s", file.Path().c_str());
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::CmdRestoreDefaultsCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdRestoreDefaultsCommon";
  constexpr Shown kNoReboot{true, false};
  PortLookup port;
  if (const uint32_t st = Start(fn, words, mode, Doc::kRestore, port)) return st;
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_RestoreDefaultNVRAM(port.entry.Handle()); }))
    return Fail(Doc::kRestore, kxstatus::kFileNotFound, mode, kNoReboot);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Restore Default HBA Params failed err=%u", rc);
    return Fail(Doc::kRestore, kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, kNoReboot);
  }
  const bool reboot = RebootRequired(fn, true);
  Begin(mode);
  BeginStructure(kRestoreDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  WriteBoolField(kxkey::kRebootRequired, reboot);
  EndStructure();
  End();
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortHBAParamsCmdsProcessor::CmdSaveCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSaveCommon";
  PortLookup port;
  if (const uint32_t st = Start(fn, words, mode, Doc::kSave, port)) return st;
  if (words.size() < 2 || words[1].empty()) {
    TraceFn(kTraceError, fn, "file path not given");
    return Fail(Doc::kSave, kxstatus::kInvalidParameter, mode);
  }
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_SaveSingleAdapterNVRAMToFile(port.entry.Handle(), words[1].c_str()); }))
    return Fail(Doc::kSave, kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Save NVRAM to file failed err=%u", rc);
    return Fail(Doc::kSave, kxstatus::FromPortCall(rc, kxstatus::kReadFailed), mode);
  }
  Begin(mode);
  BeginStructure(kSaveDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  EndStructure();
  End();
  TraceExiting(fn);
  return 0;
}
