#include "portcfg/PhysicalPortFECCmdsProcessor.h"

#include <cstdlib>
#include <memory>

namespace {

using Cls = PhysicalPortFECCmdsProcessor;

constexpr uint8_t kPortOnline = 1;
constexpr uint32_t kSpeed16G = 0x16;
constexpr uint32_t kSpeedBelow32G = 0x31;
constexpr uint32_t kReadOnlyForSpeed = 47;

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    {13, "Failed, FEC read failed"},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {20, "Failed, FEC update failed"},
    kxmsg::Common(21),
    kxmsg::Common(35),
    {47, "Failed, Read-Only parameter for non 16Gbps or Unknown speed or mezz adapter"},
    kxmsg::Common(51),
    kxmsg::Common(60),
};

constexpr FieldDecl kFecFields[] = {
    {"FEC_Status", ValueType::kString},
    {"Correctable FEC errors", ValueType::kInt},
    {"Uncorrectable FEC errors", ValueType::kInt},
};
constexpr StructDecl kElement{"FECList", kFecFields};
const ErrorDocument kDocument{"FECInfo", kMessages, {}, {EmptyField::List("FEC", &kElement)}};
const ErrorDocument kSetDocument{"FECInfo", kMessages, {EmptyField::Bool(kxkey::kRebootRequired, false)},
                                 {EmptyField::List("FEC", &kElement)}};
constexpr ParamDef kSetParams[] = {
    kxparam::kPort,
    {"fec-status", "--fec-status", "-f", ValueType::kBool, false, "Switch FEC on (true) or off (false); only at 16 Gbps",
     nullptr},
    {"reset", "--reset", "-r", ValueType::kString, false, "The word reset: clears the FEC error counters", "reset"},
};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex adapter's FEC information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
     {kxparam::kPortOnly, &kDocument}},
    {"set", "set Kaltex adapter's FEC information", 1, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet", nullptr,
     {kSetParams, &kSetDocument}},
    {"help", "list of available commands", 2, CommandKind::kHelp},
    {"getcli", "get Kaltex adapter's FEC information", 3, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get\r\n"},
    {"setcli", "set Kaltex adapter's FEC information", 4, CommandKind::kText, &Cls::CmdSetCommon, "CmdSetCli", "Usage: set\r\n"},
};

struct FreeDeleter {
  void operator()(void* p) const { free(p); }
};

}  // namespace

bool EffectiveFecStatus(bool mezz, uint8_t portState, uint32_t speedCode, uint32_t libraryStatus) {
  if (mezz) return true;
  if (portState == kPortOnline && speedCode < kSpeed16G) return false;
  if (portState == kPortOnline && speedCode > kSpeedBelow32G) return true;
  return libraryStatus != 0;
}

bool FecStatusWritable(bool mezz, uint8_t portState, uint32_t speedCode) {
  if (mezz) return false;
  return portState != kPortOnline || (speedCode >= kSpeed16G && speedCode <= kSpeedBelow32G);
}

// What get and set read before they act.
struct PhysicalPortFECCmdsProcessor::Reading {
  uint32_t libraryStatus = 0;
  bool mezz = false;
  std::unique_ptr<uint8_t, FreeDeleter> stats;
};

PhysicalPortFECCmdsProcessor::PhysicalPortFECCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("PhysicalPortFECCmdsProcessor", "FEC", "fec", "-s",
                            "use this command to get/set Kaltex Fibre Channel Port's FEC info", parent) {}

void PhysicalPortFECCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortFECCmdsProcessor::DisplayError(uint32_t status, uint32_t mode, bool showReboot) {
  return ShowErrorDocument("DisplayError", status, mode, showReboot ? kSetDocument : kDocument);
}

void PhysicalPortFECCmdsProcessor::DisplayFECInfo(bool status, const uint8_t* stats, uint32_t mode, bool showReboot,
                                                  bool reboot) {
  constexpr const char* fn = "DisplayFECInfo";
  const uint64_t correctable = kxinv::ReadAt<uint64_t>(stats, kxfec::kCorrectableErrors);
  const uint64_t uncorrectable = kxinv::ReadAt<uint64_t>(stats, kxfec::kUncorrectableErrors);
  Begin(mode);
  BeginStructure(kDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  if (showReboot) WriteBoolField(kxkey::kRebootRequired, reboot);
  BeginField(kDocument.after.begin()->name);
  BeginList(kListStructure);
  BeginStructure(kElement.typeName);
  WriteStringField(kFecFields[0].name, status ? kxkey::kTrue : kxkey::kFalse);
  WriteIntField(kFecFields[1].name, correctable, kIntUnsigned64);
  WriteIntField(kFecFields[2].name, uncorrectable, kIntUnsigned64);
  TraceFn(kTraceInfo, fn, "FEC_Status=%s Correctable=%llu Uncorrectable=%llu", status ? "true" : "false",
          static_cast<unsigned long long>(correctable), static_cast<unsigned long long>(uncorrectable));
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
}

uint32_t PhysicalPortFECCmdsProcessor::Read(const char* fn, Words& words, uint32_t mode, bool forSet, PortLookup& port,
                                            Reading& reading) {
  TraceEntered(fn);
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, words, port)) {
    return DisplayError(st, mode, forSet);
  }
  if (port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode, forSet);
  }
  const kxinv::PciIdentity pci = port.entry.Pci();
  if (!kxinv::IsDeviceGroupE(pci) && !kxinv::IsDeviceGroupA(pci) && !kxinv::IsDeviceGroupB(pci) &&
      !kxinv::IsDeviceGroupC(pci)) {
    TraceFn(kTraceError, fn, "Command not supported for this adapter");
    return DisplayError(kxstatus::kNotSupportedForAdapter, mode, forSet);
  }
  const KXAPI_PORT_HANDLE handle = port.entry.Handle();

  // Each step: the library call under the output log, its failure trace and status.
  auto step = [&](const char* stage, auto call, const char* failure, uint32_t status, bool maintenance) -> uint32_t {
    uint32_t rc = 0;
    if (!WithLibraryOutput(fn, [&] { rc = call(); }, stage)) return kxstatus::kFileNotFound;
    if (rc == 0) return 0;
    TraceFn(kTraceError, fn, "%s err=%u", failure, rc);
    return maintenance ? kxstatus::FromPortCall(rc, status) : status;
  };
  auto mezz = [&]() {
    uint8_t flag = 0;
    return step(" before Mezz adapter check", [&] {
      const uint32_t rc = KXAPI_IsMezzAdapter(handle, &flag);
      reading.mezz = flag == 1;
      return rc;
    }, "Mezz adapter check failed", kxstatus::kReadFailed, false);
  };
  auto stats = [&]() {
    void* block = nullptr;
    uint32_t length = 0;
    const uint32_t st = step(" before FW Priv Stats read",
                             [&] { return KXAPI_GetFWPrivateStats(handle, &block, &length); },
                             "Get FW Private stats failed", kxstatus::kReadFailed, true);
    reading.stats.reset(static_cast<uint8_t*>(block));
    if (st == 0 && (!block || length < kxfec::kPrivateStatsMinSize)) {
      // The counters lie at fixed offsets; a shorter block does not hold them.
      TraceFn(kTraceError, fn, "FW Private stats block too short: %u bytes", length);
      return kxstatus::kReadFailed;
    }
    return st;
  };

  uint32_t st = step(" before FEC read", [&] { return KXAPI_FCGetFECSupportInfo(handle, &reading.libraryStatus); },
                     "Get FEC Info failed", kxstatus::kReadFailed, true);
  if (st == 0) st = forSet ? stats() : mezz();
  if (st == 0) st = forSet ? mezz() : stats();
  return st == 0 ? 0 : DisplayError(st, mode, forSet);
}

uint32_t PhysicalPortFECCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  PortLookup port;
  Reading reading;
  if (const uint32_t st = Read(fn, words, mode, false, port, reading)) return st;
  const bool status = EffectiveFecStatus(reading.mezz, port.entry.PortState(), port.entry.CurrentSpeed(),
                                         reading.libraryStatus);
  DisplayFECInfo(status, reading.stats.get(), mode, false, false);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortFECCmdsProcessor::CmdSetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  PortLookup port;
  Reading reading;
  if (const uint32_t st = Read(fn, words, mode, true, port, reading)) return st;
  bool status = EffectiveFecStatus(reading.mezz, port.entry.PortState(), port.entry.CurrentSpeed(),
                                   reading.libraryStatus);

  // Both option words are checked before anything changes on the adapter.
  static constexpr OptionName kFecStatus{"-f", "--fec-status"};
  static constexpr OptionName kReset{"-r", "--reset"};
  static constexpr OptionName kOptions[] = {kFecStatus, kReset};
  OptionWords options;
  std::string fecWord;
  std::string resetWord;
  if (!options.Read(Words(words.begin() + 1, words.end()), kOptions, fecWord)) {
    TraceFn(kTraceError, fn, "option %s not supported", fecWord.c_str());
    return DisplayError(kxstatus::kInvalidParameter, mode, true);
  }
  const bool setStatus = options.Get(kFecStatus, fecWord);
  const bool reset = options.Get(kReset, resetWord);
  const bool enable = EqualsNoCase(fecWord, "true");
  if (setStatus) {
    if (!FecStatusWritable(reading.mezz, port.entry.PortState(), port.entry.CurrentSpeed())) {
      TraceFn(kTraceError, fn,
              "Modification of fec-status is supported at 16Gbps and Unknown speed for non-mezz adapters only");
      return DisplayError(kReadOnlyForSpeed, mode, true);
    }
    if (!enable && !EqualsNoCase(fecWord, "false")) {
      TraceFn(kTraceError, fn, "fec-status=%s not supported", fecWord.c_str());
      return DisplayError(kxstatus::kInvalidParameter, mode, true);
    }
  }
  const KXAPI_PORT_HANDLE handle = port.entry.Handle();
  auto change = [&](const char* stage, auto call, const char* failure) -> uint32_t {
    uint32_t rc = 0;
    if (!WithLibraryOutput(fn, [&] { rc = call(); }, stage)) return kxstatus::kFileNotFound;
    if (rc == 0) return 0;
    TraceFn(kTraceError, fn, "%s err=%u", failure, rc);
    return kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed);
  };
  bool reboot = false;
  if (setStatus) {
    const uint32_t st = change(" before FEC set", [&] { return KXAPI_FCSetFECSupportInfo(handle, enable ? 1 : 0); },
                               "Update FEC failed");
    if (st != 0) return DisplayError(st, mode, true);
    status = enable;
    reboot = true;
  }
  if (reset) {
    // The reset word is looked at only once the status switch is done.
    if (!EqualsNoCase(resetWord, "reset")) {
      TraceFn(kTraceError, fn, "reset=%s not supported", resetWord.c_str());
      return DisplayError(kxstatus::kInvalidParameter, mode, true);
    }
    const uint32_t st = change(" before FEC counter reset", [&] { return KXAPI_ResetFECCounters(handle); },
                               "Reset FEC counters failed");
    if (st != 0) return DisplayError(st, mode, true);
  }
  DisplayFECInfo(status, reading.stats.get(), mode, true, reboot);
  TraceExiting(fn);
  return 0;
}
