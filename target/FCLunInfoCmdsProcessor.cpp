#include "target/FCLunInfoCmdsProcessor.h"

#include <algorithm>
#include <cstdio>

#include "target/FCLunCmdsProcessor.h"

namespace {

constexpr const char* kClass = "FCLunInfoCmdsProcessor";
constexpr size_t kBlockSize = 2048;

enum Index : uint32_t { kGet = 0, kHelp = 1, kGetCli = 2 };

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    kxmsg::Common(14),
    kxmsg::Common(42),
};

constexpr StructDecl kElement{"LunInfoList", kxdecl::kDataField};
const ErrorDocument kDocument{"LunInformation", kMessages, {}, {EmptyField::List("LunInfo", &kElement)}};

}  // namespace

FCLunInfoCmdsProcessor::FCLunInfoCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "LUN info", "info", "-v", "use this command to get Kaltex FC LUN info", parent) {}

void FCLunInfoCmdsProcessor::RegisterCommands() {
  using Cls = FCLunInfoCmdsProcessor;
  static const CommandDef<Cls> kTable[] = {
      {"get", "get Kaltex FC LUN information", kGet, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kLunOnly, &kDocument}},
      {"help", "list of available commands", kHelp, CommandKind::kHelp},
      {"getcli", "get Kaltex FC LUN information", kGetCli, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [port identifier]\r\n"},
  };
  AddCommands(this, kTable);
}

uint32_t FCLunInfoCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  kxinv::LunRef lun(nullptr);
  const uint32_t status = FCLunCmdsProcessor::GetLunFromLunString(args, lun);
  if (status != 0) {
    TraceFn(kTraceError, fn, "Get LUN failed err=%d", static_cast<int>(status));
    return DisplayError(status, mode);
  }
  TraceEntered("DisplayLunInfo");
  ShowReportDocument(mode, kDocument, LunReport(lun));
  TraceExiting(fn);
  return 0;
}

uint64_t FCLunInfoCmdsProcessor::SizeInMB(uint64_t blocks, uint32_t blockSize) {
  return ((blocks >> 10) * blockSize) >> 10;
}

std::string FCLunInfoCmdsProcessor::UniqueIdText(const kxinv::LunRef& lun) {
  const auto id = lun.UniqueId();
  if (std::all_of(id.begin(), id.end(), [](uint8_t b) { return b == 0; })) return kxkey::kNA;
  const size_t n = std::min<size_t>(lun.UniqueIdLength(), id.size());
  std::string text;
  char hex[4];
  for (size_t i = 0; i < n; ++i) {
    snprintf(hex, sizeof hex, i == 0 ? "%02x" : ":%02x", id[i]);
    text += hex;
  }
  return text;
}

std::string FCLunInfoCmdsProcessor::LunReport(const kxinv::LunRef& lun) {
  ReportBlock block(kBlockSize, std::string(kClass) + "::DisplayLunInfo: ");
  const unsigned long long size = SizeInMB(lun.BlockCount(), lun.BlockSize());
  block.Add("%s: %s\n", "Vendor ID", lun.VendorId().c_str());
  block.Add("      %s: %s\n", "Product ID", lun.ProductId().c_str());
  if (lun.IsNamespace()) {
    block.Add("      %s: %s\n", "Product Revision", lun.NvmeRevision().c_str());
    block.Add("      %s: %u\n", "Namespace ID", lun.Number());
    block.Add("      %s: %llu\n", "Namespace Size In MB", size);
  } else {
    block.Add("      %s: %s\n", "Product Revision", lun.ProductRevision().c_str());
    block.Add("      %s: %u\n", "Lun Number", lun.Number());
    block.Add("      %s: %llu\n", "Lun Size In MB", size);
    block.Add("      %s: %s\n", "Lun Worldwide Unique ID", UniqueIdText(lun).c_str());
  }
  return block.Text();
}

uint32_t FCLunInfoCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
