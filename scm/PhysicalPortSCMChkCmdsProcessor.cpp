#include "scm/PhysicalPortSCMChkCmdsProcessor.h"

#include "port/PhysicalPortCmdsProcessor.h"

namespace {

using Cls = PhysicalPortSCMChkCmdsProcessor;

enum Index : uint32_t { kGet = 0, kHelp = 1, kGetCli = 2 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),  {kxstatus::kReadFailed, "Failed, USCM settings read error"},
    kxmsg::Common(14), kxmsg::Common(15), kxmsg::Common(19), kxmsg::Common(21), kxmsg::Common(35),
    kxmsg::Common(42), kxmsg::Common(43), kxmsg::Common(45), kxmsg::Common(51), kxmsg::Common(52),
    kxmsg::Common(60),
};

constexpr StructDecl kStatusElement{"PortUSCMStatusList", kxdecl::kDataField};
const ErrorDocument kStatus{"PortUSCMInformation", kMessages, {}, {EmptyField::List("Port USCM Status", &kStatusElement)}};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex Physical Port SAN Congetstion information", kGet, CommandKind::kXml, &Cls::CmdGetCommon,
     "CmdGet", nullptr, {kxparam::kPortOnly, &kStatus}},
    {"help", "list of available commands", kHelp, CommandKind::kHelp},
    {"getcli", "get Kaltex Physical Port SCM information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon,
     "CmdGetCli", "Usage: get [port identifier]\r\n"},
};

}  // namespace

PhysicalPortSCMChkCmdsProcessor::PhysicalPortSCMChkCmdsProcessor(CmdProcessor* parent)
    : ScmCmdsProcessor("PhysicalPortSCMChkCmdsProcessor", "SCM Check", "scmchk", "-s",
                       "use this command to check Kaltex Fibre Channel Port's Universal SAN Congestion Mitigation "
                       "(USCM) Status",
                       parent) {}

void PhysicalPortSCMChkCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortSCMChkCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) return ShowError(st, mode, kStatus);
  if (const uint32_t st = Admit(fn, port.entry, Gate{kxrec::kCapScmPhase2})) return ShowError(st, mode, kStatus);
  ShowReport(mode, kStatus,
             kxscm::PortStatus(port.entry.Raw(), kxscm::KindOf(port.entry), TracePrefix("DisplaySCMStatus")));
  TraceExiting(fn);
  return 0;
}
