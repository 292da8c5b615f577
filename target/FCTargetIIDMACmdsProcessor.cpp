#include "target/FCTargetIIDMACmdsProcessor.h"

#include <array>

#include "target/FCTargetCmdsProcessor.h"

namespace {

constexpr const char* kClass = "FCTargetIIDMACmdsProcessor";
constexpr size_t kBlockSize = 4096;
constexpr uint32_t kReadOnlyAdapter = 8;
constexpr uint32_t kSpeedNotSupported = 44;

enum Index : uint32_t { kGet = 0, kSet = 1, kHelp = 2, kGetCli = 3, kSetCli = 4 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    {kReadOnlyAdapter, "Failed, Read-Only feature for this adapter"},
    {kxstatus::kReadFailed, "Failed, IIDMA read failed"},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {kxstatus::kUpdateFailed, "Failed, IIDMA set failed"},
    kxmsg::Common(42),
    {kSpeedNotSupported, "Failed, Speed not supported for this adapter"},
    kxmsg::Common(51),
};

// Speed codes: the hexadecimal digits read as Gbps. 10 Gbps has no rank.
struct Speed {
  uint32_t code;
  const char* word;
  uint32_t rank;
};
const Speed kSpeeds[] = {
    {0x01, "1_Gbps", 1}, {0x02, "2_Gbps", 2},   {0x04, "4_Gbps", 3},   {0x08, "8_Gbps", 4},
    {0x10, "10_Gbps", 0}, {0x16, "16_Gbps", 5}, {0x32, "32_Gbps", 6}, {0x64, "64_Gbps", 7},
};

// The words "set" accepts. Any other word is refused rather than read as
// 1 Gbps, so that a typo never slows a target down.
const Speed kSettable[] = {
    {0x64, "64_Gbps", 7}, {0x32, "32_Gbps", 6}, {0x16, "16_Gbps", 5}, {0x08, "8_Gbps", 4},
    {0x04, "4_Gbps", 3},  {0x02, "2_Gbps", 2},  {0x01, "1_Gbps", 1},
};

// Supported-speed mask bits and the rank each allows, highest first; 0x04 (10 Gbps) does not count.
const std::array<std::pair<uint8_t, uint32_t>, 7> kMaskRanks = {{
    {0x80, 7}, {0x40, 6}, {0x20, 5}, {0x10, 4}, {0x08, 3}, {0x02, 2}, {0x01, 1},
}};
constexpr uint8_t kMask64Gbps = 0x80;

const Speed* SpeedOfCode(uint32_t code) {
  for (const Speed& s : kSpeeds)
    if (s.code == code) return &s;
  return nullptr;
}

const Speed* SpeedOfRank(uint32_t rank) {
  for (const Speed& s : kSpeeds)
    if (s.rank == rank && rank != 0) return &s;
  return nullptr;
}

constexpr StructDecl kElement{"TargetIIDMAInfoList", kxdecl::kDataField};
const ErrorDocument kDocument{"TargetIIDMAInformation", kMessages, {}, {EmptyField::List("Target IIDMA Info", &kElement)}};
constexpr ParamDef kSetParams[] = {
    kxparam::kTarget,
    {"speed", nullptr, nullptr, ValueType::kString, true,
     "Maximum link speed: 1_Gbps, 2_Gbps, 4_Gbps, 8_Gbps, 16_Gbps, 32_Gbps or 64_Gbps", "16_Gbps"},
};

}  // namespace

FCTargetIIDMACmdsProcessor::FCTargetIIDMACmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Target IIDMA", "iidma", "-v",
                            "use this command to get/set Kaltex FC Target's Maximum Link Speed", parent) {}

void FCTargetIIDMACmdsProcessor::RegisterCommands() {
  using Cls = FCTargetIIDMACmdsProcessor;
  static const CommandDef<Cls> kTable[] = {
      {"get", "get Kaltex FC Target IIDMA Speed", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kTargetOnly, &kDocument}},
      {"set", "set Kaltex FC Target IIDMA Speed", kSet, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet", nullptr,
       {kSetParams, &kDocument}},
      {"help", "list of available commands", kHelp, CommandKind::kHelp},
      {"getcli", "get Kaltex FC Target IIDMA Speed", kGetCli, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [port identifier]\r\n"},
      {"setcli", "set Kaltex FC Target IIDMA Speed", kSetCli, CommandKind::kText, &Cls::CmdSetCommon, "CmdSetCli", "Usage: set [port identifier]\r\n"},
  };
  AddCommands(this, kTable);
}

uint32_t FCTargetIIDMACmdsProcessor::PortMaxRank(uint8_t supportedSpeeds) {
  for (const auto& [bit, rank] : kMaskRanks)
    if ((supportedSpeeds & bit) != 0) return rank;
  return 0;
}

uint32_t FCTargetIIDMACmdsProcessor::LimitToPort(uint32_t code, uint8_t supportedSpeeds) {
  if ((supportedSpeeds & kMask64Gbps) != 0) return code;
  const Speed* speed = SpeedOfCode(code);
  const uint32_t maxRank = PortMaxRank(supportedSpeeds);
  if (!speed || speed->rank == 0 || speed->rank <= maxRank) return code;
  TraceLevel(kTraceInfo, "%s::CmdGetCommon: Got TgtSpeed %d > MaxSpeed %d", kClass, static_cast<int>(speed->rank),
             static_cast<int>(maxRank));
  const Speed* limit = SpeedOfRank(maxRank);
  return limit ? limit->code : 0;
}

uint32_t FCTargetIIDMACmdsProcessor::Resolve(const char* fn, Words& args, uint32_t mode, kxinv::PortEntryRef& entry,
                                             kxinv::TargetRef& target) {
  if (const uint32_t status = FCTargetCmdsProcessor::ResolveTarget(*this, fn, args, entry, target))
    return DisplayError(status, mode);
  if (entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode);
  }
  return 0;
}

uint32_t FCTargetIIDMACmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  if (const uint32_t status = Resolve(fn, args, mode, entry, target)) return status;

  uint32_t code = 0;
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetTargetLinkSpeed(entry.Handle(), target.TargetNumber(), &code); }))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Link Speed failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::kReadFailed, mode);
  }
  DisplayTargetIIDMA(target, LimitToPort(code, entry.SupportedSpeeds()), mode);
  TraceExiting(fn);
  return 0;
}

uint32_t FCTargetIIDMACmdsProcessor::CmdSetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  TraceEntered(fn);
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  if (const uint32_t status = Resolve(fn, args, mode, entry, target)) return status;
  if (kxinv::IsDeviceGroupI(entry.Pci())) {
    TraceFn(kTraceError, fn, "Command not supported for this adapter");
    return DisplayError(kReadOnlyAdapter, mode);
  }
  if (args.size() < 2) {
    TraceFn(kTraceError, fn, "Speed not given");
    return DisplayError(kxstatus::kInvalidParameter, mode);
  }

  const std::string& word = args[1];
  const Speed* requested = nullptr;
  for (const Speed& s : kSettable)
    if (EqualsNoCase(word, s.word)) requested = &s;
  const bool tenGbps = EqualsNoCase(word, "10_Gbps");
  if ((!requested && !tenGbps) || args.size() > 2) {
    TraceFn(kTraceError, fn, "speed %s not supported", args[args.size() > 2 ? 2 : 1].c_str());
    return DisplayError(kxstatus::kInvalidParameter, mode);
  }
  if (tenGbps || PortMaxRank(entry.SupportedSpeeds()) < requested->rank) {
    TraceFn(kTraceError, fn, "speed not supported for this adapter");
    return DisplayError(kSpeedNotSupported, mode);
  }

  uint32_t current = 0;
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetTargetLinkSpeed(entry.Handle(), target.TargetNumber(), &current); }))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Link Speed failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::kReadFailed, mode);
  }
  if (current != requested->code) {
    if (!WithLibraryOutput(fn, [&] {
          rc = KXAPI_SetTargetLinkSpeed(entry.Handle(), target.TargetNumber(), requested->code);
        }))
      return DisplayError(kxstatus::kFileNotFound, mode);
    if (rc != 0) {
      TraceFn(kTraceError, fn, "Set Link Speed failed err=%d", static_cast<int>(rc));
      return DisplayError(kxstatus::kUpdateFailed, mode);
    }
  }
  DisplayTargetIIDMA(target, requested->code, mode);
  TraceExiting(fn);
  return 0;
}

void FCTargetIIDMACmdsProcessor::DisplayTargetIIDMA(const kxinv::TargetRef& t, uint32_t code, uint32_t mode) {
  TraceEntered("DisplayTargetIIDMA");
  ReportBlock block(kBlockSize, std::string(kClass) + "::DisplayTargetIIDMA: ");
  const std::array<uint8_t, 3> id = t.PortId();
  const Speed* speed = SpeedOfCode(code);
  block.Add("%s: %s\n", "Node Name", kxinv::FormatWwn(t.NodeName()).c_str());
  block.Add("      %s: %s\n", "Port Name", kxinv::FormatWwn(t.WWPN()).c_str());
  block.Add("      %s: %02hhx:%02hhx:%02hhx\n", "Port Id", id[0], id[1], id[2]);
  block.Add("      %s: %u\n", "Target Number", t.TargetNumber());
  block.Add("      %s: %s\n", "Target Maximum Link Speed", speed ? speed->word : kxkey::kUnknown);
  ShowReportDocument(mode, kDocument, block.Text());
}

uint32_t FCTargetIIDMACmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
