#include "scm/FCTargetSCMStatsCmdsProcessor.h"

#include <array>
#include <cstring>

#include "target/FCTargetCmdsProcessor.h"

namespace {

using Cls = FCTargetSCMStatsCmdsProcessor;

enum Index : uint32_t { kGet = 0, kHelp = 1, kGetCli = 2 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),  {kxstatus::kReadFailed, "Failed, USCM settings read error"},
    kxmsg::Common(14), kxmsg::Common(15), kxmsg::Common(19), kxmsg::Common(21), kxmsg::Common(35),
    kxmsg::Common(38), {kxscm::kStatisticsClear, "Failed, Statistics list clear error"},
    kxmsg::Common(42), kxmsg::Common(45), kxmsg::Common(51), kxmsg::Common(52), kxmsg::Common(60),
};

constexpr StructDecl kStatsElement{"TargetUSCMStatsList", kxdecl::kDataField};
const ErrorDocument kStats{"TargetUSCMStatistics", kMessages, {}, {EmptyField::List("Target USCM Stats", &kStatsElement)}};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex FC Target information", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr, {kxparam::kTargetOnly, &kStats}},
    {"help", "list of available commands", kHelp, CommandKind::kHelp},
    {"getcli", "get Kaltex FC Target information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli",
     "Usage: get [port identifier]\r\n"},
};

}  // namespace

FCTargetSCMStatsCmdsProcessor::FCTargetSCMStatsCmdsProcessor(CmdProcessor* parent)
    : ScmCmdsProcessor("FCTargetSCMStatsCmdsProcessor", "Target SCM Stats", "scmstats", "-v",
                       "use this command to get Kaltex FC Target SCM Statistics", parent) {}

void FCTargetSCMStatsCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t FCTargetSCMStatsCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  if (const uint32_t st = FCTargetCmdsProcessor::ResolveTarget(*this, fn, args, entry, target))
    return ShowError(st, mode, kStats);
  if (const uint32_t st = Admit(fn, entry, Gate{kxrec::kCapScmPhase1 | kxrec::kCapScmPhase2}))
    return ShowError(st, mode, kStats);

  const std::string prefix = TracePrefix("DisplayTargetSCMStats");
  if (!(entry.CapabilityFlags() & kxrec::kCapScmPhase2)) {
    // The target is named by its port name in the record itself.
    std::array<uint8_t, kxrec::kStatsRecordSize> statistics{};
    const kxinv::Bytes8 name = target.WWPN();
    std::memcpy(statistics.data(), name.data(), name.size());
    uint32_t address = 0;
    uint32_t rc = 0;
    if (!WithLibraryOutput(fn, [&] {
          rc = KXAPI_GetPortStatisticsFC(entry.HandleNumber(), 0, &address, statistics.data());
        }))
      return ShowError(kxstatus::kFileNotFound, mode, kStats);
    if (rc != 0) {
      TraceFn(kTraceError, fn, "Get Port Stats FC failed err=%d", static_cast<int>(rc));
      return ShowError(kxstatus::FromPortCall(rc, kxscm::kStatisticsRead), mode, kStats);
    }
    ShowReport(mode, kStats, kxscm::TargetPhase1(target.Raw(), statistics.data(), prefix));
    TraceExiting(fn);
    return 0;
  }

  StatsList list;
  if (const uint32_t st = FetchStatsList(fn, entry, list)) return ShowError(st, mode, kStats);
  const uint8_t* record = kxscm::FindTargetRecord(list.Get(), target.Raw());
  if (!record) TraceFn(kTraceError, fn, "No matching target found in SCM V2 stats");
  ShowReport(mode, kStats, kxscm::TargetPhase2(target.Raw(), record, prefix));
  if (const uint32_t st = ReleaseStatsList(fn, list)) return ShowError(st, mode, kStats);
  TraceExiting(fn);
  return 0;
}
