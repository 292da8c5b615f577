#include "port/PhysicalPortInfoCmdsProcessor.h"

#include <array>
#include <cstdio>
#include <span>

namespace {

constexpr const char* kClass = "PhysicalPortInfoCmdsProcessor";
constexpr size_t kBlockSize = 4096;

struct CodeText {
  uint32_t code;
  const char* text;
};

const char* TextOf(std::span<const CodeText> table, uint32_t code) {
  for (const CodeText& row : table)
    if (row.code == code) return row.text;
  return kxkey::kUnknown;
}

// PCI link capability and status: bits 0-3 speed code, bits 4-9 width.
const CodeText kPciWidths[] = {{1, "x1"}, {2, "x2"}, {4, "x4"}, {8, "x8"}, {16, "x16"}, {32, "x32"}};
const CodeText kPciSpeeds[] = {{1, "2.5 Gtps"}, {2, "5 Gtps"}, {3, "8 Gtps"}, {4, "16 Gtps"}, {8, "32 Gtps"}};
uint32_t PciWidth(uint16_t link) { return (link >> 4) & 0x3F; }
uint32_t PciSpeed(uint16_t link) { return link & 0x0F; }

// Supported speed mask: the fastest set bit names the maximum; 10 Gbps ranks
// above 8 Gbps although its bit is lower.
const CodeText kMaximumSpeeds[] = {{0x80, "64 Gbps"}, {0x40, "32 Gbps"}, {0x20, "16 Gbps"},
                                   {0x04, "10 Gbps"}, {0x10, "8 Gbps"},  {0x08, "4 Gbps"}};
const CodeText kSupportedSpeeds[] = {{0x01, "1 "},  {0x02, "2 "},  {0x08, "4 "},  {0x10, "8 "},
                                     {0x04, "10 "}, {0x20, "16 "}, {0x40, "32 "}, {0x80, "64 "}};

const CodeText kInterfaceTypes[] = {{1, "Physical Port"}, {3, "NPIV Virtual Port"}};
const CodeText kProtocolTypes[] = {{0, "FC"}, {1, "FCoE"}};
const CodeText kPortTypes[] = {{1, "Node Port"},         {2, "Loop Port"},           {3, "Fabric Private Loop Port"},
                               {4, "Node Or Loop Port"}, {5, "Fabric Port"},         {6, "Fabric Public Loop Port"},
                               {7, "Loop Transport Port"}, {8, "Expansion Port"},    {9, "Bridge Port"}};
const CodeText kPortStates[] = {{1, kxkey::kOnline}, {3, kxkey::kOffline}};
const CodeText kConnectionModes[] = {{1, "Point to Point"}, {2, "Loop"}};
// Speed codes read as Gbps in hexadecimal digits.
const CodeText kPortSpeeds[] = {{0x01, "1 Gbps"},  {0x02, "2 Gbps"},  {0x04, "4 Gbps"},  {0x08, "8 Gbps"},
                                {0x10, "10 Gbps"}, {0x16, "16 Gbps"}, {0x32, "32 Gbps"}, {0x64, "64 Gbps"}};

struct FlashComponent {
  size_t offset;
  const char* label;
};
// Shown for device groups A, B and C.
const FlashComponent kMpiPepComponents[] = {
    {kxrec::kFlashMpiFirmware, "Flash MPI Firmware Version"},
    {kxrec::kFlashPepFirmware, "Flash PEP Firmware Version"},
    {kxrec::kFlashPepBoardConfig, "Flash PEP Board Config Version"},
    {kxrec::kFlashPepSoftRom, "Flash PEP SoftROM Version"},
};
// Shown for device group C only.
const FlashComponent kGroupCComponents[] = {
    {kxrec::kFlashMpiSoftRom, "Flash MPI SoftROM Version"},
    {kxrec::kFlashPcieSerdes, "Flash PCIE Serdes Version"},
};

struct LockdownLine {
  size_t flag;
  size_t status;
  const char* label;
};
const LockdownLine kLockdowns[] = {
    {kxrec::kLockdownConfigFlag, kxrec::kLockdownConfigStatus, "Config Lockdown"},
    {kxrec::kLockdownFirmwareUpdateFlag, kxrec::kLockdownFirmwareUpdateStatus, "Firmware Update Lockdown"},
    {kxrec::kLockdownMpiFlag, kxrec::kLockdownMpiStatus, "MPI Lockdown"},
};

const char* LockdownText(const uint8_t* record, const LockdownLine& line) {
  switch (kxinv::ReadAt<uint32_t>(record, line.status)) {
    case kxrec::kLockdownValid: return record[line.flag] != 0 ? kxkey::kTrue : kxkey::kFalse;
    case kxrec::kLockdownNoDriverSupport: return "Unsupported Driver";
    case kxrec::kLockdownNoFirmwareSupport: return "Unsupported Firmware";
    default: return kxkey::kUnknown;
  }
}

// "major.minor.sub", or "NA" for an absent version: all zero, or (where the
// component may be unprogrammed flash) all 0xFF.
std::string Version3(const uint8_t* v, bool erasedIsAbsent) {
  if ((v[0] | v[1] | v[2]) == 0) return kxkey::kNA;
  if (erasedIsAbsent && (v[0] & v[1] & v[2]) == 0xFF) return kxkey::kNA;
  char text[16];
  snprintf(text, sizeof text, "%hhu.%02hhu.%02hhu", v[0], v[1], v[2]);
  return text;
}

std::string Version2(const uint8_t* v) {
  if ((v[0] | v[1]) == 0) return kxkey::kNA;
  char text[16];
  snprintf(text, sizeof text, "%hhu.%02hhu", v[0], v[1]);
  return text;
}

std::string OrNA(const std::string& text) { return text.empty() ? kxkey::kNA : text; }

std::string HostId(const std::array<uint8_t, 16>& id) {
  std::string text;
  char digits[3];
  bool any = false;
  for (uint8_t b : id) {
    any = any || b != 0;
    snprintf(digits, sizeof digits, "%02hhx", b);
    text += digits;
  }
  return any ? text : kxkey::kNA;
}

}  // namespace

std::string ComposePortInfo(const PortLookup& port, const PortInfoRecords& records, const std::string& tracePrefix) {
  const kxinv::PortEntryRef& e = port.entry;
  const kxinv::PciIdentity pci = e.Pci();
  const bool groupABC = kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) || kxinv::IsDeviceGroupC(pci);
  const bool groupC = kxinv::IsDeviceGroupC(pci);
  const bool hasTemperature = kxinv::IsDeviceGroupD(pci) || kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci);

  ReportBlock block(kBlockSize, tracePrefix);
  auto text = [&block](const char* label, const std::string& value) {
    block.Add("      %s: %s\n", label, value.c_str());
  };
  auto bytes = [&e](size_t offset) { return e.Raw() + offset; };

  block.Add("%s: %s\n", "Model", OrNA(port.adapter.Model()).c_str());
  block.Add("      %s: %hhu\n", "Port Number", static_cast<unsigned char>(port.phyPort.PortNumber()));
  block.Add("      %s: 0x%hhx\n", "PCI Bus Number", e.ByteAt(kxrec::kEntryPciBusNumber));
  block.Add("      %s: 0x%hhx\n", "PCI Device Number", e.ByteAt(kxrec::kEntryPciDeviceNumber));
  block.Add("      %s: 0x%hhx\n", "PCI Function Number", e.ByteAt(kxrec::kEntryPciFunctionNumber));
  text("PCI Bus Max Width", TextOf(kPciWidths, PciWidth(e.PciLinkCapability())));
  text("PCI Bus Negotiated Width", TextOf(kPciWidths, PciWidth(e.PciLinkStatus())));
  text("PCI Bus Max Speed", TextOf(kPciSpeeds, PciSpeed(e.PciLinkCapability())));
  text("PCI Bus Negotiated Speed", TextOf(kPciSpeeds, PciSpeed(e.PciLinkStatus())));
  text("Driver Version", e.DriverVersion());
  if (groupABC) {
    text("Host NQN", OrNA(e.NvmeHostNqn()));
    text("Host ID", HostId(e.NvmeHostId()));
  }
  text("Node Name", kxinv::FormatWwn(e.NodeName()));
  text("Port Name", kxinv::FormatWwn(e.WWPN()));
  text("Principal Fabric WWN", kxinv::FormatWwn(e.PrincipalFabricWWN()));
  text("Adjacent Fabric WWN", kxinv::FormatWwn(e.AdjacentFabricWWN()));

  const uint8_t mask = e.SupportedSpeeds();
  const char* maximum = kxkey::kUnknown;
  for (const CodeText& row : kMaximumSpeeds) {
    if (mask & row.code) {
      maximum = row.text;
      break;
    }
  }
  text("Maximum Speed", maximum);
  std::string supported = "      Supported Speeds: ";
  for (const CodeText& row : kSupportedSpeeds)
    if (mask & row.code) supported += row.text;
  block.AddText(supported + "Gbps\n");

  text("Port Interface Type", TextOf(kInterfaceTypes, e.PortInterfaceType()));
  text("Protocol Type", TextOf(kProtocolTypes, e.ProtocolType()));
  text("Port Type", TextOf(kPortTypes, e.PortType()));
  text("Port State", TextOf(kPortStates, e.PortState()));
  text("Port Connection Mode", TextOf(kConnectionModes, e.ConnectionMode()));
  text("Port Speed", TextOf(kPortSpeeds, e.CurrentSpeed()));
  const std::array<uint8_t, 3> id = e.PortId();
  block.Add("      %s: %02x:%02x:%02x\n", "Port ID", id[0], id[1], id[2]);
  if (hasTemperature) {
    block.Add("      %s: %d\n", "Temperature In Celsius",
              kxinv::ReadAt<int16_t>(records.temperature, kxrec::kTemperatureCelsius));
  }

  text("Flash Firmware Version", Version3(bytes(kxrec::kEntryFlashFirmwareVersion), false));
  text("Flash BIOS Version", OrNA(e.FlashBiosVersion()));
  text("Flash FCode Version", Version2(bytes(kxrec::kEntryFlashFCodeVersion)));
  text("Flash EFI Version", Version2(bytes(kxrec::kEntryFlashEfiVersion)));
  text("Flash Preload Firmware Area Version", Version3(records.flashVersions + kxrec::kFlashPreloadArea, false));
  text("Flash FC Board Config Version", Version3(records.flashVersions + kxrec::kFlashFcBoardConfig, false));
  if (groupABC) {
    for (const FlashComponent& c : kMpiPepComponents) text(c.label, Version3(records.flashVersions + c.offset, true));
  }
  if (groupC) {
    for (const FlashComponent& c : kGroupCComponents) text(c.label, Version3(records.flashVersions + c.offset, true));
  }
  text("Running Firmware Version", OrNA(e.RunningFirmwareVersion()));
  if (groupABC) {
    text("Running MPI Firmware Version", Version3(bytes(kxrec::kEntryRunningMpiVersion), true));
    text("Running PEP Firmware Version", Version3(bytes(kxrec::kEntryRunningPepVersion), true));
    for (const LockdownLine& line : kLockdowns) text(line.label, LockdownText(records.lockdown, line));
  }
  return block.Text();
}

namespace {

const StatusMessage kMessages[] = {
    kxmsg::Common(6), kxmsg::Common(14), kxmsg::Common(19), kxmsg::Common(42),
};
constexpr StructDecl kElement{"PortInfoList", kxdecl::kDataField};
const ErrorDocument kDocument{"PortInformation", kMessages, {}, {EmptyField::List("PortInfo", &kElement)}};

}  // namespace

PhysicalPortInfoCmdsProcessor::PhysicalPortInfoCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Port info", "info", "-s", "use this command to get Kaltex Fibre Channel Port's info",
                            parent) {}

void PhysicalPortInfoCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortInfoCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex Physical Port information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kPortOnly, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"getcli", "get Kaltex Physical Port information", 2, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [port identifier]\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortInfoCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) {
    return DisplayError(status, mode);
  }

  // A record the library could not fill is shown as it stands (zero-filled).
  PortInfoRecords records;
  const bool called = WithLibraryOutput(fn, [&] {
    KXAPI_PORT_HANDLE handle = port.entry.Handle();
    if (const uint32_t rc = KXAPI_GetAdapterAsicBoardTemperature(handle, records.temperature); rc != 0)
      TraceFn(kTraceError, fn, "Get phy port temperature failed err=%d", static_cast<int>(rc));
    if (const uint32_t rc = KXAPI_GetLockdownStatus(handle, records.lockdown); rc != 0)
      TraceFn(kTraceError, fn, "Get Lockdown status failed err=%d", static_cast<int>(rc));
    if (const uint32_t rc = KXAPI_GetFlashComponentVersion(handle, reinterpret_cast<KXAPI_FLASH_COMPONENT_VERSION*>(records.flashVersions)); rc != 0)
      TraceFn(kTraceError, fn, "Get Flash Component Version failed err=%d", static_cast<int>(rc));
  });
  if (!called) return DisplayError(kxstatus::kFileNotFound, mode);

  DisplayPortInfo(port, records, mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortInfoCmdsProcessor::DisplayPortInfo(const PortLookup& port, const PortInfoRecords& records,
                                                    uint32_t mode) {
  const std::string block = ComposePortInfo(port, records, std::string(kClass) + "::DisplayPortInfo: ");
  ShowReportDocument(mode, kDocument, block);
}

uint32_t PhysicalPortInfoCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
