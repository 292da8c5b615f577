// Port info: the report block of one port, in both output forms.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

std::string TextDocument(const std::string& block) {
  return kStars + "PortInformation:\nMessage: Success\nPortInfo: PortInfoList:\nData: " + block + kStars;
}

std::string XmlDocument(const std::string& block) {
  return kXmlHead +
         "<structure typeName=\"PortInformation\">\n"
         "<field name=\"Message\">\n<string>Success</string></field>\n"
         "<field name=\"PortInfo\">\n<list type=\"structure\">\n<structure typeName=\"PortInfoList\">\n"
         "<field name=\"Data\">\n<string>" +
         block + "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n";
}

// A group-C adapter: every flash component line, lockdown, no temperature.
const std::string kGroupCReport =
    "Model: KX3262\n"
    "      Port Number: 0\n"
    "      PCI Bus Number: 0x3b\n"
    "      PCI Device Number: 0x0\n"
    "      PCI Function Number: 0x1\n"
    "      PCI Bus Max Width: x16\n"
    "      PCI Bus Negotiated Width: x8\n"
    "      PCI Bus Max Speed: 16 Gtps\n"
    "      PCI Bus Negotiated Speed: 8 Gtps\n"
    "      Driver Version: 10.4.2.0\n"
    "      Host NQN: nqn.2014-08.org.nvmexpress:uuid:kx3262-0001\n"
    "      Host ID: 0123456789abcdeffedcba9876543210\n"
    "      Node Name: 20:00:00:c8:a1:30:01:00\n"
    "      Port Name: 21:00:00:c8:a1:30:01:00\n"
    "      Principal Fabric WWN: 10:00:00:05:1e:aa:bb:cc\n"
    "      Adjacent Fabric WWN: 20:05:00:05:1e:aa:bb:cc\n"
    "      Maximum Speed: 32 Gbps\n"
    "      Supported Speeds: 8 10 16 32 Gbps\n"
    "      Port Interface Type: Physical Port\n"
    "      Protocol Type: FC\n"
    "      Port Type: Fabric Port\n"
    "      Port State: Online\n"
    "      Port Connection Mode: Point to Point\n"
    "      Port Speed: 32 Gbps\n"
    "      Port ID: 01:0a:00\n"
    "      Flash Firmware Version: 14.01.30\n"
    "      Flash BIOS Version: 3.63\n"
    "      Flash FCode Version: 4.02\n"
    "      Flash EFI Version: 7.12\n"
    "      Flash Preload Firmware Area Version: 255.255.255\n"
    "      Flash FC Board Config Version: 1.02.03\n"
    "      Flash MPI Firmware Version: NA\n"
    "      Flash PEP Firmware Version: 2.05.10\n"
    "      Flash PEP Board Config Version: NA\n"
    "      Flash PEP SoftROM Version: 1.00.00\n"
    "      Flash MPI SoftROM Version: 3.01.02\n"
    "      Flash PCIE Serdes Version: NA\n"
    "      Running Firmware Version: 14.1.30\n"
    "      Running MPI Firmware Version: 2.00.05\n"
    "      Running PEP Firmware Version: NA\n"
    "      Config Lockdown: true\n"
    "      Firmware Update Lockdown: Unsupported Driver\n"
    "      MPI Lockdown: Unsupported Firmware\n";

// An NPIV port (FCoE) of an adapter outside every device group.
const std::string kUngroupedVirtualReport =
    "Model: NA\n"
    "      Port Number: 1\n"
    "      PCI Bus Number: 0x82\n"
    "      PCI Device Number: 0x1f\n"
    "      PCI Function Number: 0x7\n"
    "      PCI Bus Max Width: Unknown\n"
    "      PCI Bus Negotiated Width: x1\n"
    "      PCI Bus Max Speed: Unknown\n"
    "      PCI Bus Negotiated Speed: 2.5 Gtps\n"
    "      Driver Version: \n"
    "      Node Name: 00:00:00:00:00:00:00:00\n"
    "      Port Name: 21:00:00:c8:a1:27:00:81\n"
    "      Principal Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Adjacent Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Maximum Speed: Unknown\n"
    "      Supported Speeds: 1 2 Gbps\n"
    "      Port Interface Type: NPIV Virtual Port\n"
    "      Protocol Type: FCoE\n"
    "      Port Type: Unknown\n"
    "      Port State: Offline\n"
    "      Port Connection Mode: Loop\n"
    "      Port Speed: Unknown\n"
    "      Port ID: ab:cd:ef\n"
    "      Flash Firmware Version: NA\n"
    "      Flash BIOS Version: NA\n"
    "      Flash FCode Version: NA\n"
    "      Flash EFI Version: NA\n"
    "      Flash Preload Firmware Area Version: 1.01.01\n"
    "      Flash FC Board Config Version: NA\n"
    "      Running Firmware Version: NA\n";

// A group-A adapter: temperature and the MPI/PEP lines, but not the group-C ones.
const std::string kGroupAReport =
    "Model: KX2031\n"
    "      Port Number: 0\n"
    "      PCI Bus Number: 0x0\n"
    "      PCI Device Number: 0x0\n"
    "      PCI Function Number: 0x0\n"
    "      PCI Bus Max Width: x32\n"
    "      PCI Bus Negotiated Width: x4\n"
    "      PCI Bus Max Speed: 32 Gtps\n"
    "      PCI Bus Negotiated Speed: 5 Gtps\n"
    "      Driver Version: 10.4.2.0\n"
    "      Host NQN: NA\n"
    "      Host ID: NA\n"
    "      Node Name: 20:00:00:c8:a1:20:31:00\n"
    "      Port Name: 21:00:00:c8:a1:20:31:00\n"
    "      Principal Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Adjacent Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Maximum Speed: 10 Gbps\n"
    "      Supported Speeds: 4 8 10 Gbps\n"
    "      Port Interface Type: Physical Port\n"
    "      Protocol Type: FC\n"
    "      Port Type: Bridge Port\n"
    "      Port State: Unknown\n"
    "      Port Connection Mode: Unknown\n"
    "      Port Speed: 16 Gbps\n"
    "      Port ID: 0a:0b:0c\n"
    "      Temperature In Celsius: -7\n"
    "      Flash Firmware Version: 0.00.01\n"
    "      Flash BIOS Version: NA\n"
    "      Flash FCode Version: NA\n"
    "      Flash EFI Version: 0.01\n"
    "      Flash Preload Firmware Area Version: NA\n"
    "      Flash FC Board Config Version: 0.00.01\n"
    "      Flash MPI Firmware Version: NA\n"
    "      Flash PEP Firmware Version: 255.255.254\n"
    "      Flash PEP Board Config Version: NA\n"
    "      Flash PEP SoftROM Version: 255.00.255\n"
    "      Running Firmware Version: NA\n"
    "      Running MPI Firmware Version: NA\n"
    "      Running PEP Firmware Version: 0.00.01\n"
    "      Config Lockdown: false\n"
    "      Firmware Update Lockdown: Unknown\n"
    "      MPI Lockdown: true\n";

// The same adapter's second port, whose three record reads all fail: the
// records are shown as the zero-filled blocks they were.
const std::string kFailedReadsReport =
    "Model: KX2031\n"
    "      Port Number: 1\n"
    "      PCI Bus Number: 0x0\n"
    "      PCI Device Number: 0x0\n"
    "      PCI Function Number: 0x0\n"
    "      PCI Bus Max Width: Unknown\n"
    "      PCI Bus Negotiated Width: Unknown\n"
    "      PCI Bus Max Speed: Unknown\n"
    "      PCI Bus Negotiated Speed: Unknown\n"
    "      Driver Version: \n"
    "      Host NQN: NA\n"
    "      Host ID: NA\n"
    "      Node Name: 00:00:00:00:00:00:00:00\n"
    "      Port Name: 21:00:00:c8:a1:20:31:01\n"
    "      Principal Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Adjacent Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Maximum Speed: 64 Gbps\n"
    "      Supported Speeds: 64 Gbps\n"
    "      Port Interface Type: Physical Port\n"
    "      Protocol Type: FC\n"
    "      Port Type: Unknown\n"
    "      Port State: Unknown\n"
    "      Port Connection Mode: Unknown\n"
    "      Port Speed: 64 Gbps\n"
    "      Port ID: 00:00:00\n"
    "      Temperature In Celsius: 0\n"
    "      Flash Firmware Version: NA\n"
    "      Flash BIOS Version: NA\n"
    "      Flash FCode Version: NA\n"
    "      Flash EFI Version: NA\n"
    "      Flash Preload Firmware Area Version: NA\n"
    "      Flash FC Board Config Version: NA\n"
    "      Flash MPI Firmware Version: NA\n"
    "      Flash PEP Firmware Version: NA\n"
    "      Flash PEP Board Config Version: NA\n"
    "      Flash PEP SoftROM Version: NA\n"
    "      Running Firmware Version: NA\n"
    "      Running MPI Firmware Version: NA\n"
    "      Running PEP Firmware Version: NA\n"
    "      Config Lockdown: false\n"
    "      Firmware Update Lockdown: false\n"
    "      MPI Lockdown: false\n";

// A group-E adapter: temperature only among the model-dependent lines.
const std::string kGroupEReport =
    "Model: KX1642\n"
    "      Port Number: 0\n"
    "      PCI Bus Number: 0x0\n"
    "      PCI Device Number: 0x0\n"
    "      PCI Function Number: 0x0\n"
    "      PCI Bus Max Width: Unknown\n"
    "      PCI Bus Negotiated Width: Unknown\n"
    "      PCI Bus Max Speed: Unknown\n"
    "      PCI Bus Negotiated Speed: Unknown\n"
    "      Driver Version: \n"
    "      Node Name: 00:00:00:00:00:00:00:00\n"
    "      Port Name: 10:00:00:c8:a1:16:42:07\n"
    "      Principal Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Adjacent Fabric WWN: 00:00:00:00:00:00:00:00\n"
    "      Maximum Speed: 16 Gbps\n"
    "      Supported Speeds: 4 8 16 Gbps\n"
    "      Port Interface Type: Physical Port\n"
    "      Protocol Type: FC\n"
    "      Port Type: Unknown\n"
    "      Port State: Unknown\n"
    "      Port Connection Mode: Unknown\n"
    "      Port Speed: 16 Gbps\n"
    "      Port ID: 00:00:00\n"
    "      Temperature In Celsius: 39\n"
    "      Flash Firmware Version: NA\n"
    "      Flash BIOS Version: NA\n"
    "      Flash FCode Version: NA\n"
    "      Flash EFI Version: NA\n"
    "      Flash Preload Firmware Area Version: NA\n"
    "      Flash FC Board Config Version: NA\n"
    "      Running Firmware Version: NA\n";

std::vector<std::string> InfoArgs(const char* command, const std::string& wwpn) {
  return {"-t", "port", "-s", "info", command, "FC_" + wwpn};
}

}  // namespace

TEST(PortInfo, ReportInBothForms) {
  Sandbox box;
  box.UseFixture("port-info.json");
  struct Case {
    std::string wwpn;
    std::string report;
  };
  const std::vector<Case> cases = {
      {"21:00:00:c8:a1:30:01:00", kGroupCReport},
      {"21:00:00:c8:a1:27:00:81", kUngroupedVirtualReport},
      {"21:00:00:c8:a1:20:31:00", kGroupAReport},
      {"21:00:00:c8:a1:20:31:01", kFailedReadsReport},
      {"10:00:00:c8:a1:16:42:07", kGroupEReport},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(box.Run(InfoArgs("getcli", c.wwpn)).out, TextDocument(c.report)) << c.wwpn;
    EXPECT_EQ(box.Run(InfoArgs("get", c.wwpn)).out, XmlDocument(c.report)) << c.wwpn;
  }
}

TEST(PortInfo, AsksForTheThreeRecordsInOrderEvenWhenOneFails) {
  Sandbox box;
  box.UseFixture("port-info.json");
  Result r = box.Run(InfoArgs("getcli", "21:00:00:c8:a1:20:31:01"));
  EXPECT_EQ(r.calls,
            "KXAPI_Initialize traceLevel=0 reserved=0\n"
            "KXAPI_SetToolID id=11\n"
            "KXAPI_SetToolVersion version=1.7.4.0\n"
            "KXAPI_GetAdapterList\n"
            "KXAPI_GetAdapterAsicBoardTemperature port=21:00:00:c8:a1:20:31:01\n"
            "KXAPI_GetLockdownStatus port=21:00:00:c8:a1:20:31:01\n"
            "KXAPI_GetFlashComponentVersion port=21:00:00:c8:a1:20:31:01\n"
            "KXAPI_Uninitialize\n");
}

TEST(PortInfo, ErrorDocumentKeepsTheShape) {
  Sandbox box;
  box.UseFixture("port-info.json");
  EXPECT_EQ(box.Run(InfoArgs("get", "21:00:00:c8:a1:99:99:99")).out,
            kXmlHead +
                "<structure typeName=\"PortInformation\">\n"
                "<field name=\"Message\">\n<string>Failed, Invalid parameter</string></field>\n"
                "<field name=\"PortInfo\">\n<list type=\"structure\">\n</list>\n</field>\n"
                "</structure>\n</output>\n");
  EXPECT_EQ(box.Run({"-t", "port", "-s", "info", "getcli", "?"}).out, "Usage: get [port identifier]\r\n");
}
