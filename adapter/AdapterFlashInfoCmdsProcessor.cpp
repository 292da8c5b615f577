#include "adapter/AdapterFlashInfoCmdsProcessor.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr const char* kClass = "AdapterFlashInfoCmdsProcessor";
using Cls = AdapterFlashInfoCmdsProcessor;

constexpr size_t kBlockSize = 1024;

const StatusMessage kMessages[] = {
    kxmsg::Common(6),  {13, "Failed, Flash Info read failed"},
    kxmsg::Common(14), kxmsg::Common(19),
    kxmsg::Common(21), kxmsg::Common(31),
    kxmsg::Common(35), kxmsg::Common(42),
};

// The Kaltex tools that write adapter flash, by the code they leave in the memo.
struct FlashTool {
  const char* code;
  const char* name;
};
constexpr FlashTool kFlashTools[] = {
    {"KXFL", "Kaltex Flash Utility"},
    {"KXUP", "Kaltex Online Update Utility"},
    {"HXVW", "Hexaview"},
    {"HXCL", "Hexaview CLI"},
    {"ESXC", "Kaltex FC ESXCLI Plugin"},
    {"VCPL", "Kaltex vCenter Plugin"},
    {"UEFI", "Kaltex UEFI Flash Utility"},
    {"BIOS", "Kaltex BIOS Flash Utility"},
    {"KXOB", "Kaltex Offline Boot Utility"},
    {"WMIP", "Kaltex WMI Provider"},
    {"CIMP", "Kaltex CIM Provider"},
    {"KXDU", "Kaltex Driver Update Utility"},
    {"MFGT", "Kaltex Manufacturing Tool"},
    {"KXSM", "Kaltex Systems Manager"},
};

bool Supported(const kxinv::PciIdentity& pci) {
  return kxinv::IsDeviceGroupE(pci) || kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) ||
         kxinv::IsDeviceGroupC(pci);
}

// Formats one line and appends what fits of it; a character 0 in the memo ends
// the line there.
void AddLine(ReportBlock& block, const char* format, ...) KX_PRINTF(2, 3);
void AddLine(ReportBlock& block, const char* format, ...) {
  char line[256] = {};
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::string text(line);
  const size_t room = block.Capacity() - 1 - block.Text().size();
  if (text.size() > room) text.resize(room);
  block.AddText(text);
}

constexpr StructDecl kElement{"FlashInfoList", kxdecl::kDataField};
const ErrorDocument kDocument{"AdapterFlashInformation", kMessages, {}, {EmptyField::List("Flash Info", &kElement)}};

}  // namespace

AdapterFlashInfoCmdsProcessor::AdapterFlashInfoCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Adapter flashinfo", "flashinfo", "-s",
                            "use this command to get Kaltex Adapter flash information", parent) {}

void AdapterFlashInfoCmdsProcessor::RegisterCommands() {
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex Adapter information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kAdapterOnly, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"getcli", "get Kaltex Adapter information", 2, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [adapter identifier]\r\n"},
  };
  AddCommands(this, kCommands);
}

const char* AdapterFlashInfoCmdsProcessor::FlashToolName(const char (&code)[4]) {
  const std::string text(code, sizeof code);
  for (const FlashTool& tool : kFlashTools)
    if (EqualsNoCase(text, tool.code)) return tool.name;
  return kxkey::kUnknown;
}

uint32_t AdapterFlashInfoCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  AdapterLookup found;
  if (const uint32_t status = AdapterCmdsProcessor::ResolveAdapter(*this, fn, words, found)) {
    return DisplayError(status, mode);
  }
  if (!Supported(found.fcEntry.Pci())) {
    TraceFn(kTraceError, fn, "Command not supported for this adapter");
    return DisplayError(kxstatus::kNotSupportedForAdapter, mode);
  }
  KXAPI_FLASH_MEMO_BLOCK memo{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetAdapterFlashMemoBlock(found.fcEntry.Handle(), &memo); }))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Flash Memo Block failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::kReadFailed, mode);
  }
  if (memo.Signature != KXAPI_FLASH_MEMO_SIGNATURE) {
    TraceFn(kTraceError, fn, "Get FMB signature failed err=%d", 0);
    return DisplayError(31, mode);
  }
  ShowReportDocument(mode, kDocument, FlashInfoText(memo));
  TraceExiting(fn);
  return 0;
}

std::string AdapterFlashInfoCmdsProcessor::FlashInfoText(const KXAPI_FLASH_MEMO_BLOCK& memo) {
  ReportBlock block(kBlockSize, std::string(kClass) + "::DisplayFlashInfo: ");
  const uint8_t* mbi = memo.MbiVersion;
  const char* d = memo.MbiBuildDate;
  const uint8_t* tool = memo.FlashToolVersion;
  AddLine(block, "%s: %02hhu.%02hhu.%02hhu\n", "MBI Version", mbi[0], mbi[1], mbi[2]);
  AddLine(block, "      %s: %c%c%c%c-%c%c-%c%c\n", "MBI Build Date", d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
  AddLine(block, "      %s: %s\n", "Flash Tool ID", FlashToolName(memo.FlashToolCode));
  AddLine(block, "      %s: %02hhu.%02hhu.%02hhu.%02hhu\n", "Flash Tool Version", tool[0], tool[1], tool[2], tool[3]);
  AddLine(block, "      %s: %04hu-%02hhu-%02hhu %02hhu:%02hhu:%02hhu\n", "Last Update Time", memo.LastUpdateYear,
          memo.LastUpdateMonth, memo.LastUpdateDay, memo.LastUpdateHour, memo.LastUpdateMinute,
          memo.LastUpdateSecond);
  const uint8_t* family = memo.FamilyFirmwareVersion;
  if (family[0] || family[1] || family[2])
    AddLine(block, "      %s: %02hhu.%02hhu.%02hhu\n", "Family Firmware Version", family[0], family[1], family[2]);
  return block.Text();
}

uint32_t AdapterFlashInfoCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
