#include "scm/PhysicalPortSCMProfileCmdsProcessor.h"

#include <array>

#include "port/PhysicalPortCmdsProcessor.h"

namespace {

using Cls = PhysicalPortSCMProfileCmdsProcessor;
using Record = std::array<uint8_t, kxrec::kScmrProfileSize>;

enum Index : uint32_t { kGet = 0, kSet = 1, kHelp = 2, kGetCli = 3, kSetCli = 4 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    {kxstatus::kReadFailed, "Failed, NVRAM read failed"},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {kxstatus::kUpdateFailed, "Failed, NVRAM update failed"},
    kxmsg::Common(21),
    kxmsg::Common(35),
    {kxscm::kMutuallyExclusive, "Failed, Restore and Activation command-line options are mutually exclusive"},
    kxmsg::Common(42),
    kxmsg::Common(45),
    {47, "Failed, Read-Only parameter"},
    kxmsg::Common(51),
    kxmsg::Common(60),
};

constexpr StructDecl kProfileElement{"CongestionProfileList", kxdecl::kDataField};
const ErrorDocument kProfile{"PortUSCMProfile", kMessages, {}, {EmptyField::List("Congestion Profile", &kProfileElement)}};
constexpr ParamDef kSetParams[] = {
    kxparam::kPort,
    {"restore", "--restore", "-r", ValueType::kString, false,
     "Driver_Settings: the driver's settings manage the profile again", nullptr},
    {"activation", "--activation", "-a", ValueType::kString, false,
     "The profile to activate: Monitor_Only, Conservative, Moderate, Aggressive or Defensive", "Moderate"},
};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex Physical Port USCM Profile information", kGet, CommandKind::kXml, &Cls::CmdGetCommon,
     "CmdGet", nullptr, {kxparam::kPortOnly, &kProfile}},
    {"set", "set Kaltex Physical Port USCM Profile information", kSet, CommandKind::kXml, &Cls::CmdSetCommon,
     "CmdSet", nullptr, {kSetParams, &kProfile}},
    {"help", "list of available commands", kHelp, CommandKind::kHelp},
    {"getcli", "get Kaltex Physical Port USCM Profile information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon,
     "CmdGetCli", "Usage: get\r\n"},
    {"setcli", "set Kaltex Physical Port USCM Profile information", kSetCli, CommandKind::kText, &Cls::CmdSetCommon,
     "CmdSetCli", "Usage: set\r\n"},
};

// The option words of "set", each followed by its value.
constexpr OptionName kRestore = {"-r", "--restore"};
constexpr OptionName kActivation = {"-a", "--activation"};
constexpr OptionName kOptionNames[] = {kRestore, kActivation};

}  // namespace

PhysicalPortSCMProfileCmdsProcessor::PhysicalPortSCMProfileCmdsProcessor(CmdProcessor* parent)
    : ScmCmdsProcessor("PhysicalPortSCMProfileCmdsProcessor", "SCM Profile", "scmprofile", "-s",
                       "use this command to check Kaltex Fibre Channel Port's Universal SAN Congestion Mitigation "
                       "(USCM) Profile",
                       parent) {}

void PhysicalPortSCMProfileCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortSCMProfileCmdsProcessor::Open(const char* fn, Words& args, PortLookup& port, uint8_t* record) {
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) return st;
  if (const uint32_t st = Admit(fn, port.entry, Gate{kxrec::kCapScmPhase2, true, false})) return st;
  return ReadProfile(fn, port.entry, record, "Get SCMR Profile failed");
}

uint32_t PhysicalPortSCMProfileCmdsProcessor::ReadProfile(const char* fn, const kxinv::PortEntryRef& entry,
                                                          uint8_t* record, const char* what) {
  std::fill_n(record, kxrec::kScmrProfileSize, 0);
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetSCMRProfile(entry.Handle(), record); })) return kxstatus::kFileNotFound;
  if (rc == 0) return 0;
  TraceFn(kTraceError, fn, "%s err=%d", what, static_cast<int>(rc));
  return kxstatus::FromPortCall(rc, kxstatus::kReadFailed);
}

uint32_t PhysicalPortSCMProfileCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  Record record{};
  if (const uint32_t st = Open(fn, args, port, record.data())) return ShowError(st, mode, kProfile);
  ShowReport(mode, kProfile, kxscm::Profile(port.entry.Raw(), record.data(), TracePrefix("DisplayProfile")));
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortSCMProfileCmdsProcessor::ApplyOptions(const Words& options, uint8_t* record,
                                                           std::string& problem) {
  OptionWords given;
  std::string offending;
  if (!given.Read(options, kOptionNames, offending)) {
    // A known option word out of place is one left without its value.
    const bool named = OptionWords::IsNamed(offending, kRestore) || OptionWords::IsNamed(offending, kActivation);
    problem = (named ? "no value for " : "unknown option ") + offending;
    return kxstatus::kInvalidParameter;
  }
  std::string restoreWord, activationWord;
  const bool restore = given.Get(kRestore, restoreWord);
  const bool activation = given.Get(kActivation, activationWord);
  if (restore && !EqualsNoCase(restoreWord, kxscm::kDriverSettings)) {
    problem = "restore=" + restoreWord + " not supported";
    return kxstatus::kInvalidParameter;
  }
  const kxscm::Word* profile = nullptr;
  if (activation) {
    for (const kxscm::Word& w : kxscm::kActivationProfiles)
      if (EqualsNoCase(activationWord, w.text)) profile = &w;
    if (!profile) {
      problem = "activation=" + activationWord + " not supported";
      return kxstatus::kInvalidParameter;
    }
    if (restore) {
      problem = "Mutually exclusive parameters";
      return kxscm::kMutuallyExclusive;
    }
  }
  // Only the bytes the options own change; the rest goes back as read.
  if (restore) record[kxrec::kProfileManagement] = 0;
  if (profile) {
    record[kxrec::kProfileManagement] = 1;
    record[kxrec::kProfileActivation] = static_cast<uint8_t>(profile->value);
  }
  return 0;
}

uint32_t PhysicalPortSCMProfileCmdsProcessor::CmdSetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  TraceEntered(fn);
  PortLookup port;
  Record record{};
  if (const uint32_t st = Open(fn, args, port, record.data())) return ShowError(st, mode, kProfile);

  std::string problem;
  const Words options = args.size() > 1 ? Words(args.begin() + 1, args.end()) : Words();
  if (const uint32_t bad = ApplyOptions(options, record.data(), problem)) {
    TraceFn(kTraceError, fn, "%s", problem.c_str());
    return ShowError(bad, mode, kProfile);
  }
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_SetSCMRProfile(port.entry.Handle(), record.data()); }, " before set"))
    return ShowError(kxstatus::kFileNotFound, mode, kProfile);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Update SCMR Profile failed err=%d", static_cast<int>(rc));
    return ShowError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, kProfile);
  }
  if (const uint32_t again = ReadProfile(fn, port.entry, record.data(), "Get SCMR Profile failed after set"))
    return ShowError(again, mode, kProfile);
  ShowReport(mode, kProfile, kxscm::Profile(port.entry.Raw(), record.data(), TracePrefix("DisplayProfile")));
  TraceExiting(fn);
  return 0;
}
