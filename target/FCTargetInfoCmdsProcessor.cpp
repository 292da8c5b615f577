#include "target/FCTargetInfoCmdsProcessor.h"

#include <span>

#include "scm/ScmReport.h"
#include "target/FCTargetCmdsProcessor.h"

namespace {

// One value of a record field and the word shown for it.
struct ValueWord {
  uint32_t value;
  const char* word;
};

// The table's word for the value; fallback when the table has none.
const char* WordFor(std::span<const ValueWord> table, uint32_t value, const char* fallback) {
  for (const ValueWord& row : table)
    if (row.value == value) return row.word;
  return fallback;
}

constexpr const char* kClass = "FCTargetInfoCmdsProcessor";
constexpr size_t kBlockSize = 4096;

enum Index : uint32_t { kGet = 0, kHelp = 1, kGetCli = 2 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    kxmsg::Common(14),
    kxmsg::Common(42),
};

const ValueWord kDeviceTypes[] = {
    {1, "Tape"}, {4, "Optical"}, {5, "CDROM"}, {8, "Changer"}, {12, "RAID"}, {13, "SAF-TE"},
};
const ValueWord kRport1Sessions[] = {
    {0, "NA"}, {1, "NA"}, {2, "Auth Pending"}, {3, "Auth Failed"}, {4, "Auth Complete"}, {5, "Auth Terminate"},
};
const ValueWord kRport2Roles[] = {{1, "Target"}, {2, "Initiator"}, {3, "Initiator-Target"}};
const ValueWord kCongestion[] = {{0, "Healthy"}, {1, "Congested"}};

struct Security {
  const char* remoteType;
  const char* session;
  const char* secureMode;
};

// Remote-port record 2: session state and secure mode from the security code
// and the authentication state.
Security FromRecord2(const kxinv::TargetRef& t) {
  Security s{WordFor(kRport2Roles, t.Rport2Role(), "Unknown"), "Auth Unknown", kxkey::kDisabled};
  const uint8_t auth = t.Rport2AuthState();
  if (t.Rport2Security() == 0) {
    s.session = auth <= 1 ? "NA" : auth <= 5 ? "Auth Pending" : "Auth Failed";
  } else if (t.Rport2Security() == 1 && auth <= 5) {
    s.session = "Auth Complete";
    s.secureMode = kxkey::kEnabled;
  }
  return s;
}

Security SecurityOf(const kxinv::PortEntryRef& entry, const kxinv::TargetRef& t, const std::string& tracePrefix) {
  const kxinv::Bytes8 name = t.WWPN();
  const std::array<uint8_t, 3> id = t.PortId();
  if ((entry.DriverCapabilities() & kxrec::kDriverCapRemotePortInfo) != 0 && t.Rport1Name() == name &&
      KxSameRemotePortId(t.Rport1Id(), id.data())) {
    TraceLevel(kTraceInfo, "%sGot Remote Port Info", tracePrefix.c_str());
    const uint8_t flags = t.Rport1Flags();
    const bool initiator = (flags & kxrec::kRport1Initiator) != 0;
    const bool target = (flags & kxrec::kRport1Target) != 0;
    const char* type = initiator && target ? "Initiator-Target"
                       : target            ? "Target"
                       : initiator         ? "Initiator"
                                           : "Unknown";
    return {type, WordFor(kRport1Sessions, t.Rport1AuthState(), "Auth Unknown"),
            (flags & kxrec::kRport1SecureMode) != 0 ? kxkey::kEnabled : kxkey::kDisabled};
  }
  if (t.Rport2Name() == name && KxSameRemotePortId(t.Rport2Id(), id.data())) return FromRecord2(t);
  return {"Unknown", kxkey::kNA, kxkey::kDisabled};
}

// The I/O throttling word as the target's SCM status shows it, but "None"
// where the adapter has no throttling.
const char* ThrottlingOf(const kxscm::AdapterKind& kind, const kxinv::TargetRef& t) {
  return kind.groupABC ? kxscm::IoThrottlingWord(kind, t.IoThrottling()) : kxkey::kNone;
}

const char* StatusOf(const kxinv::TargetRef& t) {
  if ((t.LoginFlags() & kxrec::kTargetLoginLoggedIn) != 0 && (t.SessionFlags() & kxrec::kTargetSessionUp) != 0)
    return kxkey::kOnline;
  if ((t.ConfigFlags() & kxrec::kTargetConfigUnconfigured) != 0) return "Unconfigured";
  return kxkey::kOffline;
}

constexpr StructDecl kElement{"TargetInfoList", kxdecl::kDataField};
const ErrorDocument kDocument{"TargetInformation", kMessages, {}, {EmptyField::List("TargetInfo", &kElement)}};

}  // namespace

FCTargetInfoCmdsProcessor::FCTargetInfoCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Target info", "info", "-v", "use this command to get Kaltex FC Target info",
                            parent) {}

void FCTargetInfoCmdsProcessor::RegisterCommands() {
  using Cls = FCTargetInfoCmdsProcessor;
  static const CommandDef<Cls> kTable[] = {
      {"get", "get Kaltex FC Target information", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kTargetOnly, &kDocument}},
      {"help", "list of available commands", kHelp, CommandKind::kHelp},
      {"getcli", "get Kaltex FC Target information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [port identifier]\r\n"},
  };
  AddCommands(this, kTable);
}

uint32_t FCTargetInfoCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  if (const uint32_t status = FCTargetCmdsProcessor::ResolveTarget(*this, fn, args, entry, target))
    return DisplayError(status, mode);
  DisplayTargetInfo(entry, target, mode);
  TraceExiting(fn);
  return 0;
}

std::string FCTargetInfoCmdsProcessor::TargetReport(const kxinv::PortEntryRef& entry, const kxinv::TargetRef& t) {
  const std::string prefix = std::string(kClass) + "::DisplayTargetInfo: ";
  ReportBlock block(kBlockSize, prefix);
  const bool nvme = t.IsNvme();
  const std::array<uint8_t, 3> id = t.PortId();

  block.Add("%s: %s\n", "Target Node Name", kxinv::FormatWwn(t.NodeName()).c_str());
  block.Add("      %s: %s\n", "Target Port Name", kxinv::FormatWwn(t.WWPN()).c_str());
  block.Add("      %s: %02hhx:%02hhx:%02hhx\n", "Target Port ID", id[0], id[1], id[2]);
  block.Add("      %s: %u\n", "Target Number", t.TargetNumber());
  block.Add("      %s: %s\n", "Vendor ID", t.VendorId().c_str());
  block.Add("      %s: %s\n", "Product ID", t.ProductId().c_str());
  block.Add("      %s: %s\n", "Product Revision", (nvme ? t.NvmeRevision() : t.ProductRevision()).c_str());
  const char* disk = nvme ? "NVMe Disk" : "FCP Disk";
  const char* type = t.DeviceType() == 0 ? disk : WordFor(kDeviceTypes, t.DeviceType(), "Device");
  block.Add("      %s: %s\n", "Product Type", type);
  block.Add("      %s: %s\n", "Serial Number", t.SerialNumber().c_str());
  if (nvme) {
    block.Add("      %s: %s\n", "Storage NQN", t.NvmeSubsystemNqn().c_str());
    block.Add("      %s: 0x%x\n", "Storage Controller ID", t.NvmeControllerId());
    block.Add("      %s: %u\n", "Namespace Count", t.LunCount());
  } else {
    block.Add("      %s: %u\n", "Lun Count", t.LunCount());
  }

  // The whole list is one line: when it does not fit, it goes with its label.
  std::string list = std::string("      ") + (nvme ? "Namespaces" : "Luns") + ": ";
  uint32_t left = t.LunCount();
  for (kxinv::LunRef lun = t.FirstLun(); lun && left > 0; lun = lun.Next(), --left) {
    const std::string item = (nvme ? "NSID_" : "LUN_") + std::to_string(lun.Number());
    TraceLevel(kTraceInfo, "%sLun=%s", prefix.c_str(), item.c_str());
    if (left != t.LunCount()) list += ", ";
    list += item;
  }
  block.AddText(list + "\n");

  const Security security = SecurityOf(entry, t, prefix);
  block.Add("      %s: %s\n", "Remote Type", security.remoteType);
  block.Add("      %s: %s\n", "Session State", security.session);
  block.Add("      %s: %s\n", "Secure Mode", security.secureMode);
  block.Add("      %s: %s\n", "Congestion Current State", WordFor(kCongestion, t.CongestionState(), kxkey::kUnknown));
  const kxscm::AdapterKind kind = kxscm::KindOf(entry);
  block.Add("      %s: %s\n", "Virtual Lane", kxscm::TargetVirtualLaneWord(kind, t.VirtualLane()));
  block.Add("      %s: %s\n", "I/O Throttling", ThrottlingOf(kind, t));
  block.Add("      %s: %s\n", "Status", StatusOf(t));
  return block.Text();
}

void FCTargetInfoCmdsProcessor::DisplayTargetInfo(const kxinv::PortEntryRef& entry, const kxinv::TargetRef& target,
                                                  uint32_t mode) {
  TraceEntered("DisplayTargetInfo");
  ShowReportDocument(mode, kDocument, TargetReport(entry, target));
}

uint32_t FCTargetInfoCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
