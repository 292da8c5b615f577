#include "adapter/AdapterInfoCmdsProcessor.h"

#include <cstddef>

namespace {

constexpr const char* kClass = "AdapterInfoCmdsProcessor";
using Cls = AdapterInfoCmdsProcessor;
using kxinv::PciIdentity;

constexpr size_t kBlockSize = 4096;

const StatusMessage kMessages[] = {
    kxmsg::Common(6), kxmsg::Common(14), kxmsg::Common(19), kxmsg::Common(21), kxmsg::Common(42),
};

constexpr const char* kTypeNames[] = {
    "Unknown",   "Ethernet Adapter", "Fibre Channel Adapter", "iSCSI Adapter", "Calypso CNA",
    "Ethernet CNA", "FCoE CNA",     "iSCSI CNA",             "RDMA CNA",
};

const char* TypeName(uint32_t code) { return code < std::size(kTypeNames) ? kTypeNames[code] : kTypeNames[0]; }

bool GroupsABC(const PciIdentity& pci) {
  return kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) || kxinv::IsDeviceGroupC(pci);
}

bool GroupsEABC(const PciIdentity& pci) { return kxinv::IsDeviceGroupE(pci) || GroupsABC(pci); }

// A flash component shown on the report, and on which adapters.
struct ComponentLine {
  size_t offset;  // of the version triple in KXAPI_FLASH_COMPONENT_VERSION
  const char* label;
  bool (*shown)(const PciIdentity&);  // null: always shown
};

const ComponentLine kComponents[] = {
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, PreloadFirmware), "Flash Preload Firmware Area Version", nullptr},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, FcBoardConfig), "Flash FC Board Config Version", nullptr},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, MpiFirmware), "Flash MPI Firmware Version", GroupsABC},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepFirmware), "Flash PEP Firmware Version", GroupsABC},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepBoardConfig), "Flash PEP Board Config Version", GroupsABC},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepSoftRom), "Flash PEP SoftROM Version", GroupsABC},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, MpiSoftRom), "Flash MPI SoftROM Version", kxinv::IsDeviceGroupC},
    {offsetof(KXAPI_FLASH_COMPONENT_VERSION, PcieSerdes), "Flash PCIE Serdes Version", kxinv::IsDeviceGroupC},
};

// Text fields of the adapter entry that show "NA" when empty, in report order.
struct TextLine {
  size_t offset;
  size_t room;
  const char* label;
};

const TextLine kIdentityTexts[] = {
    {kxrec::kAdapterModel, kxrec::kAdapterModelLen, "Model"},
    {kxrec::kAdapterSerial, kxrec::kAdapterSerialLen, "Serial Number"},
};

const TextLine kVersionTexts[] = {
    {kxrec::kAdapterMultibootVersion, kxrec::kAdapterVersionLen, "Multiboot Version"},
    {kxrec::kAdapterFlashFirmwareVersion, kxrec::kAdapterVersionLen, "Flash Firmware Version"},
    {kxrec::kAdapterFlashBiosVersion, kxrec::kAdapterVersionLen, "Flash BIOS Version"},
    {kxrec::kAdapterFlashFcodeVersion, kxrec::kAdapterVersionLen, "Flash FCode Version"},
    {kxrec::kAdapterFlashEfiVersion, kxrec::kAdapterVersionLen, "Flash EFI Version"},
};

void AddVersion(ReportBlock& block, const char* label, const uint8_t* v, bool ffIsAbsent) {
  const bool zero = v[0] == 0 && v[1] == 0 && v[2] == 0;
  const bool ff = v[0] == 0xFF && v[1] == 0xFF && v[2] == 0xFF;
  if (zero || (ffIsAbsent && ff))
    block.Add("      %s: %s\n", label, kxkey::kNA);
  else
    block.Add("      %s: %hhu.%02hhu.%02hhu\n", label, v[0], v[1], v[2]);
}

void AddText(ReportBlock& block, const kxinv::AdapterRef& adapter, const TextLine& line) {
  const std::string text = adapter.Text(line.offset, line.room);
  block.Add("      %s: %s\n", line.label, text.empty() ? kxkey::kNA : text.c_str());
}

constexpr StructDecl kElement{"GeneralParametersList", kxdecl::kDataField};
const ErrorDocument kDocument{"AdapterInformation", kMessages, {}, {EmptyField::List("General Parameters", &kElement)}};

}  // namespace

AdapterInfoCmdsProcessor::AdapterInfoCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Adapter info", "info", "-s", "use this command to get Kaltex Adapter info",
                            parent) {}

void AdapterInfoCmdsProcessor::RegisterCommands() {
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex Adapter information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kAdapterOnly, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"getcli", "get Kaltex Adapter information", 2, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [adapter identifier]\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t AdapterInfoCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  AdapterLookup found;
  if (const uint32_t status = AdapterCmdsProcessor::ResolveAdapter(*this, fn, words, found)) {
    return DisplayError(status, mode);
  }
  KXAPI_FLASH_COMPONENT_VERSION versions{};
  KXAPI_FLASH_MEMO_BLOCK memo{};
  const bool called = WithLibraryOutput(fn, [&] {
    if (const uint32_t rc = KXAPI_GetFlashComponentVersion(found.fcEntry.Handle(), &versions)) {
      TraceFn(kTraceError, fn, "Get Flash Component Version failed err=%d", static_cast<int>(rc));
      versions = KXAPI_FLASH_COMPONENT_VERSION{};
    }
    if (GroupsEABC(found.fcEntry.Pci())) {
      if (const uint32_t rc = KXAPI_GetAdapterFlashMemoBlock(found.fcEntry.Handle(), &memo)) {
        TraceFn(kTraceError, fn, "Get Flash Memo Block failed err=%d", static_cast<int>(rc));
        memo = KXAPI_FLASH_MEMO_BLOCK{};
      }
    }
  });
  if (!called) return DisplayError(kxstatus::kFileNotFound, mode);
  ShowReportDocument(mode, kDocument, AdapterInfoText(found, versions, memo));
  TraceExiting(fn);
  return 0;
}

std::string AdapterInfoCmdsProcessor::AdapterInfoText(const AdapterLookup& found,
                                                      const KXAPI_FLASH_COMPONENT_VERSION& versions,
                                                      const KXAPI_FLASH_MEMO_BLOCK& memo) {
  const kxinv::AdapterRef& adapter = found.adapter;
  const PciIdentity pci = found.fcEntry.Pci();
  ReportBlock block(kBlockSize, std::string(kClass) + "::DisplayAdapterInfo: ");

  block.Add("%s: %s\n", "Manufacturer",
            adapter.Text(kxrec::kAdapterManufacturer, kxrec::kAdapterManufacturerLen).c_str());
  for (const TextLine& line : kIdentityTexts) AddText(block, adapter, line);
  const struct {
    const char* label;
    unsigned value;
  } ids[] = {
      {"Vendor ID", adapter.Field<uint16_t>(kxrec::kAdapterVendorId)},
      {"Device ID", pci.device},
      {"Subsystem Device ID", adapter.Field<uint16_t>(kxrec::kAdapterSubsystemDeviceId)},
      {"Subsystem Vendor ID", adapter.Field<uint16_t>(kxrec::kAdapterSubsystemVendorId)},
      {"PCI Bus ID", adapter.Field<uint16_t>(kxrec::kAdapterPciBusId)},
  };
  for (const auto& id : ids) block.Add("      %s: 0x%x\n", id.label, id.value);
  block.Add("      %s: %u\n", "Chip Revision", adapter.Field<uint32_t>(kxrec::kAdapterChipRevision));
  block.Add("      %s: %s\n", "Type", TypeName(adapter.Field<uint32_t>(kxrec::kAdapterType)));
  for (const TextLine& line : kVersionTexts) AddText(block, adapter, line);

  const auto* raw = reinterpret_cast<const uint8_t*>(&versions);
  for (const ComponentLine& line : kComponents) {
    if (line.shown && !line.shown(pci)) continue;
    AddVersion(block, line.label, raw + line.offset, line.shown != nullptr);
  }

  const uint8_t* family = memo.FamilyFirmwareVersion;
  if (GroupsEABC(pci) && memo.Signature == KXAPI_FLASH_MEMO_SIGNATURE && (family[0] || family[1] || family[2]))
    block.Add("      %s: %hhu.%02hhu.%02hhu\n", "Family Firmware Version", family[0], family[1], family[2]);
  return block.Text();
}

uint32_t AdapterInfoCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
