#include "scm/PhysicalPortSCMStatsCmdsProcessor.h"

#include "port/PhysicalPortCmdsProcessor.h"

namespace {

using Cls = PhysicalPortSCMStatsCmdsProcessor;

enum Index : uint32_t { kGet = 0, kClear = 1, kHelp = 2, kGetCli = 3, kClearCli = 4 };

const StatusMessage kMessages[] = {
    {0, kxkey::kSuccess},
    kxmsg::Common(6),
    {kxstatus::kReadFailed, "Failed, USCM settings read error"},
    kxmsg::Common(14),
    kxmsg::Common(15),
    kxmsg::Common(19),
    kxmsg::Common(21),
    kxmsg::Common(35),
    kxmsg::Common(38),
    {kxscm::kStatisticsClear, "Failed, Statistics list clear error"},
    kxmsg::Common(42),
    kxmsg::Common(43),
    kxmsg::Common(45),
    kxmsg::Common(51),
    kxmsg::Common(52),
    kxmsg::Common(60),
};

constexpr StructDecl kStatsElement{"PortUSCMStatsList", kxdecl::kDataField};
const ErrorDocument kStats{"PortUSCMStatistics", kMessages, {}, {EmptyField::List("Port USCM Stats", &kStatsElement)}};
const ErrorDocument kClearDocument{"USCMStatisticsClear", kMessages};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex Physical Port SCM statistics", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr, {kxparam::kPortOnly, &kStats}},
    {"clear", "clear SCM statistics of all targets connected to Kaltex Physical Port", kClear, CommandKind::kXml,
     &Cls::CmdClearCommon, "CmdClear", nullptr, {kxparam::kPortOnly, &kClearDocument}},
    {"help", "list of available commands", kHelp, CommandKind::kHelp},
    {"getcli", "get Kaltex Physical Port SCM information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon,
     "CmdGetCli", "Usage: get [port identifier]\r\n"},
    {"clearcli", "clear SCM statistics of all targets connected to Kaltex Physical Port", kClearCli,
     CommandKind::kText, &Cls::CmdClearCommon, "CmdClearCli", "Usage: clear [port identifier]\r\n"},
};

// The status of a failed reset, by the library's result.
uint32_t ResetStatus(uint32_t rc) {
  switch (rc) {
    case 118: return kxscm::kDriverFirmwareNoSupport;
    case kxstatus::kLibMaintenanceMode: return kxstatus::kMaintenanceMode;
    case 40: return kxstatus::kMemoryError;
    default: return kxscm::kUnmappedFailure;
  }
}

}  // namespace

PhysicalPortSCMStatsCmdsProcessor::PhysicalPortSCMStatsCmdsProcessor(CmdProcessor* parent)
    : ScmCmdsProcessor("PhysicalPortSCMStatsCmdsProcessor", "SCM Stats", "scmstats", "-s",
                       "use this command to get Kaltex Fibre Channel Port's Universal SAN Congestion Mitigation "
                       "(USCM) Statistics",
                       parent) {}

void PhysicalPortSCMStatsCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortSCMStatsCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) return ShowError(st, mode, kStats);
  const Gate gate{kxrec::kCapScmPhase1 | kxrec::kCapScmPhase2};
  if (const uint32_t st = Admit(fn, port.entry, gate)) return ShowError(st, mode, kStats);

  const std::string prefix = TracePrefix("DisplaySCMStats");
  if (!(port.entry.CapabilityFlags() & kxrec::kCapScmPhase2)) {
    TraceFn(kTraceInfo, fn, "Phase 1 supported");
    ShowReport(mode, kStats, kxscm::PortPhase1(port.entry.Raw(), prefix));
    TraceExiting(fn);
    return 0;
  }
  TraceFn(kTraceInfo, fn, "Phase 2 supported");
  StatsList list;
  if (const uint32_t st = FetchStatsList(fn, port.entry, list)) return ShowError(st, mode, kStats);
  const uint8_t* record = kxscm::FindPortRecord(list.Get());
  if (!record) TraceFn(kTraceError, fn, "No matching physical port found in SCM V2 stats");
  ShowReport(mode, kStats, kxscm::PortPhase2(port.entry.Raw(), record, prefix));
  if (const uint32_t st = ReleaseStatsList(fn, list)) return ShowError(st, mode, kStats);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortSCMStatsCmdsProcessor::CmdClearCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdClearCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) return DisplayClear(st, mode);
  if (const uint32_t st = Admit(fn, port.entry, Gate{kxrec::kCapScmPhase2})) return DisplayClear(st, mode);

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_SANCongMgmtResetStatistics(port.entry.Handle()); }))
    return DisplayClear(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get SCM Reset Statistics failed err=%d", static_cast<int>(rc));
    return DisplayClear(ResetStatus(rc), mode);
  }
  DisplayClear(0, mode);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortSCMStatsCmdsProcessor::DisplayClear(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayClear", status, mode, kClearDocument);
}
