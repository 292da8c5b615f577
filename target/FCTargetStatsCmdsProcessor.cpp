#include "target/FCTargetStatsCmdsProcessor.h"

#include <array>

#include "target/FCTargetCmdsProcessor.h"

namespace {

constexpr const char* kClass = "FCTargetStatsCmdsProcessor";
constexpr size_t kBlockSize = 2048;
constexpr uint32_t kStatsReadError = 38;

enum Index : uint32_t { kGet = 0, kHelp = 1, kGetCli = 2 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6), kxmsg::Common(14), kxmsg::Common(19), kxmsg::Common(38), kxmsg::Common(42),
};

struct Counter {
  size_t offset;
  const char* label;
};
const Counter kCounters[] = {
    {kxrec::kStatsLinkFailure, "Link Failure Count"},
    {kxrec::kStatsLossOfSync, "Loss Of Sync Count"},
    {kxrec::kStatsLossOfSignal, "Loss Of Signal Count"},
    {kxrec::kStatsPrimitiveSeqError, "Primitive Sequence Protocol Error Count"},
    {kxrec::kStatsInvalidTxWord, "Invalid Transmission Word Count"},
    {kxrec::kStatsInvalidCrc, "Invalid CRC Count"},
};

constexpr StructDecl kElement{"TargetStatsList", kxdecl::kDataField};
const ErrorDocument kDocument{"TargetStatistics", kMessages, {}, {EmptyField::List("Target Stats", &kElement)}};

}  // namespace

FCTargetStatsCmdsProcessor::FCTargetStatsCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Target stats", "stats", "-v",
                            "use this command to get Kaltex FC Target Link Statistics", parent) {}

void FCTargetStatsCmdsProcessor::RegisterCommands() {
  using Cls = FCTargetStatsCmdsProcessor;
  static const CommandDef<Cls> kTable[] = {
      {"get", "get Kaltex FC Target information", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kTargetOnly, &kDocument}},
      {"help", "list of available commands", kHelp, CommandKind::kHelp},
      {"getcli", "get Kaltex FC Target information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [port identifier]\r\n"},
  };
  AddCommands(this, kTable);
}

uint32_t FCTargetStatsCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  if (const uint32_t status = FCTargetCmdsProcessor::ResolveTarget(*this, fn, args, entry, target))
    return DisplayError(status, mode);

  // The remote port is named by its port name.
  std::array<uint8_t, kxrec::kRemoteAddrSize> address{};
  std::array<uint8_t, kxrec::kStatsRecordSize> statistics{};
  const uint16_t byName = kxrec::kRemoteAddrByPortName;
  const kxinv::Bytes8 name = target.WWPN();
  std::memcpy(address.data() + kxrec::kRemoteAddrType, &byName, sizeof byName);
  std::memcpy(address.data() + kxrec::kRemoteAddrName, name.data(), name.size());

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] {
        rc = KXAPI_GetPortStatisticsFC(entry.HandleNumber(), 0, address.data(), statistics.data());
      }))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Port Stats FC failed err=%d", static_cast<int>(rc));
    return DisplayError(kStatsReadError, mode);
  }
  TraceEntered("DisplayTargetStats");
  ShowReportDocument(mode, kDocument, StatsReport(target, statistics.data()));
  TraceExiting(fn);
  return 0;
}

std::string FCTargetStatsCmdsProcessor::StatsReport(const kxinv::TargetRef& t, const uint8_t* statistics) {
  ReportBlock block(kBlockSize, std::string(kClass) + "::DisplayTargetStats: ");
  const std::array<uint8_t, 3> id = t.PortId();
  block.Add("%s: %s\n", "Node Name", kxinv::FormatWwn(t.NodeName()).c_str());
  block.Add("      %s: %s\n", "Port Name", kxinv::FormatWwn(t.WWPN()).c_str());
  block.Add("      %s: %02hhx:%02hhx:%02hhx\n", "Port Id", id[0], id[1], id[2]);
  block.Add("      %s: %u\n", "Target Number", t.TargetNumber());
  for (const Counter& c : kCounters)
    block.Add("      %s: %u\n", c.label, kxinv::ReadAt<uint32_t>(statistics, c.offset));
  return block.Text();
}

uint32_t FCTargetStatsCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
