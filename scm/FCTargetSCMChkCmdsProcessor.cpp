#include "scm/FCTargetSCMChkCmdsProcessor.h"

#include "target/FCTargetCmdsProcessor.h"

namespace {

using Cls = FCTargetSCMChkCmdsProcessor;

enum Index : uint32_t { kGet = 0, kHelp = 1, kGetCli = 2 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),  {kxstatus::kReadFailed, "Failed, USCM settings read error"},
    kxmsg::Common(14), kxmsg::Common(15), kxmsg::Common(19), kxmsg::Common(21), kxmsg::Common(35),
    kxmsg::Common(42), kxmsg::Common(45), kxmsg::Common(51), kxmsg::Common(52), kxmsg::Common(60),
};

constexpr StructDecl kStatusElement{"TargetUSCMStatusList", kxdecl::kDataField};
const ErrorDocument kStatus{"TargetUSCMInformation", kMessages, {}, {EmptyField::List("Target USCM Status", &kStatusElement)}};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex FC Target information", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr, {kxparam::kTargetOnly, &kStatus}},
    {"help", "list of available commands", kHelp, CommandKind::kHelp},
    {"getcli", "get Kaltex FC Target information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli",
     "Usage: get [port identifier]\r\n"},
};

}  // namespace

FCTargetSCMChkCmdsProcessor::FCTargetSCMChkCmdsProcessor(CmdProcessor* parent)
    : ScmCmdsProcessor("FCTargetSCMChkCmdsProcessor", "Target SCM Check", "scmchk", "-v",
                       "use this command to get Kaltex FC Target SCM Status", parent) {}

void FCTargetSCMChkCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t FCTargetSCMChkCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  if (const uint32_t st = FCTargetCmdsProcessor::ResolveTarget(*this, fn, args, entry, target))
    return ShowError(st, mode, kStatus);
  if (const uint32_t st = Admit(fn, entry, Gate{kxrec::kCapScmPhase2})) return ShowError(st, mode, kStatus);
  ShowReport(mode, kStatus,
             kxscm::TargetStatus(target.Raw(), kxscm::KindOf(entry), TracePrefix("DisplayTargetSCMStatus")));
  TraceExiting(fn);
  return 0;
}
