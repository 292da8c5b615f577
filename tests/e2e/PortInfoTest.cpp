// Port info: the report block of one port, in both output forms.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

Doc Info(const std::string& block) { return Report("PortInformation", "PortInfo", "PortInfoList", block); }

// A group-C adapter: every flash component line, lockdown, no temperature.
const std::string kGroupCReport =
    Lines({
        "Model: KX3262", "Port Number: 0", "PCI Bus Number: 0x3b", "PCI Device Number: 0x0", "PCI Function Number: 0x1",
        "PCI Bus Max Width: x16", "PCI Bus Negotiated Width: x8", "PCI Bus Max Speed: 16 Gtps",
        "PCI Bus Negotiated Speed: 8 Gtps", "Driver Version: 10.4.2.0",
        "Host NQN: nqn.2014-08.org.nvmexpress:uuid:kx3262-0001", "Host ID: 0123456789abcdeffedcba9876543210",
        "Node Name: 20:00:00:c8:a1:30:01:00", "Port Name: 21:00:00:c8:a1:30:01:00",
        "Principal Fabric WWN: 10:00:00:05:1e:aa:bb:cc", "Adjacent Fabric WWN: 20:05:00:05:1e:aa:bb:cc",
        "Maximum Speed: 32 Gbps", "Supported Speeds: 8 10 16 32 Gbps", "Port Interface Type: Physical Port",
        "Protocol Type: FC", "Port Type: Fabric Port", "Port State: Online", "Port Connection Mode: Point to Point",
        "Port Speed: 32 Gbps", "Port ID: 01:0a:00", "Flash Firmware Version: 14.01.30", "Flash BIOS Version: 3.63",
        "Flash FCode Version: 4.02", "Flash EFI Version: 7.12", "Flash Preload Firmware Area Version: 255.255.255",
        "Flash FC Board Config Version: 1.02.03", "Flash MPI Firmware Version: NA",
        "Flash PEP Firmware Version: 2.05.10", "Flash PEP Board Config Version: NA",
        "Flash PEP SoftROM Version: 1.00.00", "Flash MPI SoftROM Version: 3.01.02", "Flash PCIE Serdes Version: NA",
        "Running Firmware Version: 14.1.30", "Running MPI Firmware Version: 2.00.05", "Running PEP Firmware Version: NA",
        "Config Lockdown: true", "Firmware Update Lockdown: Unsupported Driver", "MPI Lockdown: Unsupported Firmware"});

// An NPIV port (FCoE) of an adapter outside every device group.
const std::string kUngroupedVirtualReport =
    Lines({
        "Model: NA", "Port Number: 1", "PCI Bus Number: 0x82", "PCI Device Number: 0x1f", "PCI Function Number: 0x7",
        "PCI Bus Max Width: Unknown", "PCI Bus Negotiated Width: x1", "PCI Bus Max Speed: Unknown",
        "PCI Bus Negotiated Speed: 2.5 Gtps", "Driver Version: ", "Node Name: 00:00:00:00:00:00:00:00",
        "Port Name: 21:00:00:c8:a1:27:00:81", "Principal Fabric WWN: 00:00:00:00:00:00:00:00",
        "Adjacent Fabric WWN: 00:00:00:00:00:00:00:00", "Maximum Speed: Unknown", "Supported Speeds: 1 2 Gbps",
        "Port Interface Type: NPIV Virtual Port", "Protocol Type: FCoE", "Port Type: Unknown", "Port State: Offline",
        "Port Connection Mode: Loop", "Port Speed: Unknown", "Port ID: ab:cd:ef", "Flash Firmware Version: NA",
        "Flash BIOS Version: NA", "Flash FCode Version: NA", "Flash EFI Version: NA",
        "Flash Preload Firmware Area Version: 1.01.01", "Flash FC Board Config Version: NA",
        "Running Firmware Version: NA"});

// A group-A adapter: temperature and the MPI/PEP lines, but not the group-C ones.
const std::string kGroupAReport =
    Lines({
        "Model: KX2031", "Port Number: 0", "PCI Bus Number: 0x0", "PCI Device Number: 0x0", "PCI Function Number: 0x0",
        "PCI Bus Max Width: x32", "PCI Bus Negotiated Width: x4", "PCI Bus Max Speed: 32 Gtps",
        "PCI Bus Negotiated Speed: 5 Gtps", "Driver Version: 10.4.2.0", "Host NQN: NA", "Host ID: NA",
        "Node Name: 20:00:00:c8:a1:20:31:00", "Port Name: 21:00:00:c8:a1:20:31:00",
        "Principal Fabric WWN: 00:00:00:00:00:00:00:00", "Adjacent Fabric WWN: 00:00:00:00:00:00:00:00",
        "Maximum Speed: 10 Gbps", "Supported Speeds: 4 8 10 Gbps", "Port Interface Type: Physical Port",
        "Protocol Type: FC", "Port Type: Bridge Port", "Port State: Unknown", "Port Connection Mode: Unknown",
        "Port Speed: 16 Gbps", "Port ID: 0a:0b:0c", "Temperature In Celsius: -7", "Flash Firmware Version: 0.00.01",
        "Flash BIOS Version: NA", "Flash FCode Version: NA", "Flash EFI Version: 0.01",
        "Flash Preload Firmware Area Version: NA", "Flash FC Board Config Version: 0.00.01",
        "Flash MPI Firmware Version: NA", "Flash PEP Firmware Version: 255.255.254",
        "Flash PEP Board Config Version: NA", "Flash PEP SoftROM Version: 255.00.255", "Running Firmware Version: NA",
        "Running MPI Firmware Version: NA", "Running PEP Firmware Version: 0.00.01", "Config Lockdown: false",
        "Firmware Update Lockdown: Unknown", "MPI Lockdown: true"});

// The same adapter's second port, whose three record reads all fail: the
// records are shown as the zero-filled blocks they were.
const std::string kFailedReadsReport =
    Lines({
        "Model: KX2031", "Port Number: 1", "PCI Bus Number: 0x0", "PCI Device Number: 0x0", "PCI Function Number: 0x0",
        "PCI Bus Max Width: Unknown", "PCI Bus Negotiated Width: Unknown", "PCI Bus Max Speed: Unknown",
        "PCI Bus Negotiated Speed: Unknown", "Driver Version: ", "Host NQN: NA", "Host ID: NA",
        "Node Name: 00:00:00:00:00:00:00:00", "Port Name: 21:00:00:c8:a1:20:31:01",
        "Principal Fabric WWN: 00:00:00:00:00:00:00:00", "Adjacent Fabric WWN: 00:00:00:00:00:00:00:00",
        "Maximum Speed: 64 Gbps", "Supported Speeds: 64 Gbps", "Port Interface Type: Physical Port", "Protocol Type: FC",
        "Port Type: Unknown", "Port State: Unknown", "Port Connection Mode: Unknown", "Port Speed: 64 Gbps",
        "Port ID: 00:00:00", "Temperature In Celsius: 0", "Flash Firmware Version: NA", "Flash BIOS Version: NA",
        "Flash FCode Version: NA", "Flash EFI Version: NA", "Flash Preload Firmware Area Version: NA",
        "Flash FC Board Config Version: NA", "Flash MPI Firmware Version: NA", "Flash PEP Firmware Version: NA",
        "Flash PEP Board Config Version: NA", "Flash PEP SoftROM Version: NA", "Running Firmware Version: NA",
        "Running MPI Firmware Version: NA", "Running PEP Firmware Version: NA", "Config Lockdown: false",
        "Firmware Update Lockdown: false", "MPI Lockdown: false"});

// A group-E adapter: temperature only among the model-dependent lines.
const std::string kGroupEReport =
    Lines({
        "Model: KX1642", "Port Number: 0", "PCI Bus Number: 0x0", "PCI Device Number: 0x0", "PCI Function Number: 0x0",
        "PCI Bus Max Width: Unknown", "PCI Bus Negotiated Width: Unknown", "PCI Bus Max Speed: Unknown",
        "PCI Bus Negotiated Speed: Unknown", "Driver Version: ", "Node Name: 00:00:00:00:00:00:00:00",
        "Port Name: 10:00:00:c8:a1:16:42:07", "Principal Fabric WWN: 00:00:00:00:00:00:00:00",
        "Adjacent Fabric WWN: 00:00:00:00:00:00:00:00", "Maximum Speed: 16 Gbps", "Supported Speeds: 4 8 16 Gbps",
        "Port Interface Type: Physical Port", "Protocol Type: FC", "Port Type: Unknown", "Port State: Unknown",
        "Port Connection Mode: Unknown", "Port Speed: 16 Gbps", "Port ID: 00:00:00", "Temperature In Celsius: 39",
        "Flash Firmware Version: NA", "Flash BIOS Version: NA", "Flash FCode Version: NA", "Flash EFI Version: NA",
        "Flash Preload Firmware Area Version: NA", "Flash FC Board Config Version: NA", "Running Firmware Version: NA"});

}  // namespace

TEST(PortInfo, ReportInBothFormsAndTheRecordsAskedFor) {
  Sandbox box;
  box.UseFixture("port-info.json");
  std::vector<Case> cases;
  for (const auto& [wwpn, report] : {std::pair{"21:00:00:c8:a1:30:01:00", kGroupCReport},
                                     {"21:00:00:c8:a1:27:00:81", kUngroupedVirtualReport},
                                     {"21:00:00:c8:a1:20:31:00", kGroupAReport},
                                     {"21:00:00:c8:a1:20:31:01", kFailedReadsReport},
                                     {"10:00:00:c8:a1:16:42:07", kGroupEReport}}) {
    cases.push_back({{"getcli", std::string("FC_") + wwpn}, Info(report).Text(), 0});
    cases.push_back({{"get", std::string("FC_") + wwpn}, Info(report).Xml()});
  }
  cases.push_back({{"get", "FC_21:00:00:c8:a1:99:99:99"}, ListError("PortInformation", "PortInfo", "Failed, Invalid parameter").Xml(), 6});
  cases.push_back({{"getcli", "?"}, "Usage: get [port identifier]\r\n"});
  RunCases(box, {"-t", "port", "-s", "info"}, cases);
  // The three records are asked for in order even when one fails.
  EXPECT_EQ(box.Run({"-t", "port", "-s", "info", "getcli", "FC_21:00:00:c8:a1:20:31:01"}).calls,
            "KXAPI_Initialize traceLevel=0 reserved=0\n"
            "KXAPI_SetToolID id=11\n"
            "KXAPI_SetToolVersion version=1.7.4.0\n"
            "KXAPI_GetAdapterList\n"
            "KXAPI_GetAdapterAsicBoardTemperature port=21:00:00:c8:a1:20:31:01\n"
            "KXAPI_GetLockdownStatus port=21:00:00:c8:a1:20:31:01\n"
            "KXAPI_GetFlashComponentVersion port=21:00:00:c8:a1:20:31:01\n"
            "KXAPI_Uninitialize\n");
}
