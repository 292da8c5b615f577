// The port mode: the list of FC ports, the port identifier, the NVRAM update, and
// the info and stats sub-modes.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPhysical = "FC_21:00:00:c8:a1:30:01:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kFcoe = "FC_21:00:00:c8:a1:30:01:01";
const std::string kMaintenancePort = "FC_10:00:00:c8:a1:16:42:07";
const std::vector<std::string> kPortMode = {"-t", "port"};
const std::string kTemperature = "KXAPI_GetAdapterAsicBoardTemperature";
const std::string kNvram = "KXAPI_UpdateAdapterNVRAMFromFile", kReboot = "KXAPI_IsRebootRequired";

Doc InfoError(const std::string& message) { return ListError("PortInformation", "PortInfo", message); }
Doc Nvram(bool reboot, const std::string& message) {
  return {"UpdateNVRAM", {{"Reboot Required", Bool(reboot)}, {"Message", message}}};
}

Doc Info(const std::string& block) { return Report("PortInformation", "PortInfo", "PortInfoList", block); }

// A group-C adapter: every flash component line, lockdown, no temperature.
const std::string kGroupCReport = Lines({
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
const std::string kUngroupedVirtualReport = Lines({
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
const std::string kGroupAReport = Lines({
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
const std::string kFailedReadsReport = Lines({
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
const std::string kGroupEReport = Lines({
        "Model: KX1642", "Port Number: 0", "PCI Bus Number: 0x0", "PCI Device Number: 0x0", "PCI Function Number: 0x0",
        "PCI Bus Max Width: Unknown", "PCI Bus Negotiated Width: Unknown", "PCI Bus Max Speed: Unknown",
        "PCI Bus Negotiated Speed: Unknown", "Driver Version: ", "Node Name: 00:00:00:00:00:00:00:00",
        "Port Name: 10:00:00:c8:a1:16:42:07", "Principal Fabric WWN: 00:00:00:00:00:00:00:00",
        "Adjacent Fabric WWN: 00:00:00:00:00:00:00:00", "Maximum Speed: 16 Gbps", "Supported Speeds: 4 8 16 Gbps",
        "Port Interface Type: Physical Port", "Protocol Type: FC", "Port Type: Unknown", "Port State: Unknown",
        "Port Connection Mode: Unknown", "Port Speed: 16 Gbps", "Port ID: 00:00:00", "Temperature In Celsius: 39",
        "Flash Firmware Version: NA", "Flash BIOS Version: NA", "Flash FCode Version: NA", "Flash EFI Version: NA",
        "Flash Preload Firmware Area Version: NA", "Flash FC Board Config Version: NA", "Running Firmware Version: NA"});


const std::string kRefusingPort = "FC_21:00:00:c8:a1:30:01:02";

const std::vector<std::string> kDriverLabels = {"Controller Error Count", "Device Error Count", "IO Count",
                                                "Mega Bytes Count", "LIP Reset Count", "Interrupt Count"};
const std::vector<std::string> kFirmwareLabels = {"Link Failure Count", "Loss Of Sync Count", "Loss Of Signal Count",
                                                  "Primitive Sequence Protocol Error Count",
                                                  "Invalid Transmission Word Count", "Invalid CRC Count"};
const std::string kDriverBlock = Block(kDriverLabels, "1|2|4294967295|123456|0|98765");
const std::string kFirmwareBlock = Block(kFirmwareLabels, "3|17|5|0|4294967295|12");
const std::string kClearedFirmwareBlock = Block(kFirmwareLabels, "0|0|0|0|0|0");

Doc Stats(const std::string& block) { return Report("FCStatistics", "FCStats", "FCStatsList", block); }
Doc StatsError(const std::string& message) { return ListError("FCStatistics", "FCStats", message); }
Doc Reset(const std::string& message) { return MessageDoc("ResetFCStatistics", message); }

const std::string kGetUsage = "Usage: get [port identifier]\r\n";
const std::string kResetUsage = "Usage: reset [port identifier]\r\n";
const std::vector<std::string> kStats = {"-t", "port", "-s", "stats"};
const std::string kReset = "KXAPI_ResetDeviceStats";

}  // namespace

TEST(PortMode, ListAndHelp) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::vector<std::string> ports = {kPhysical, kVirtual, kFcoe, kMaintenancePort};
  RunCases(box, kPortMode,
           {{{"listcli"}, ListText("PortList", "Ports", ports), 0, "", {},
             "PhysicalPortCmdsProcessor::CmdListCommon: Going for adapter list"},
            {{"list"}, ListXml("PortList", "Ports", ports)},
            // A help word asks for the usage and lists nothing; further words are ignored.
            {{"listcli", "-h"}, "Usage: list\r\n", 5}, {{"list", "help"}, ""},
            {{"listcli", "extra"}, ListText("PortList", "Ports", ports)},
            // "?" after a text twin prints its usage; after the XML command nothing.
            {{"listcli", "?"}, "Usage: list\r\n"}, {{"list", "?"}, ""}});
  // A command name longer than its column pushes the help text along.
  EXPECT_NE(box.Run({"-t", "port", "help"}).out.find("\r\nupdatenvramcli: Update NVRAM of Kaltex physical port\r\n"),
            std::string::npos);
  box.UseFixtureText(R"({"adapters": [{"model": "KX0800", "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:00:01", "protocol": 2}]}]}]})");
  RunCases(box, kPortMode, {{{"listcli"}, ListText("", "", {}), 0}, {{"list"}, ListXml("", "", {})}});
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, kPortMode,
           {{{"listcli"}, "", 14},
            {{"list"}, "", 14},
            {{"-s", "info", "getcli", kPhysical}, InfoError("Failed, Host not found").Text(), 14},
            // A malformed identifier is refused before the inventory is asked for.
            {{"-s", "info", "getcli", "WWPN_21:00:00:c8:a1:30:01:00"},
             InfoError("Failed, Invalid parameter").Text() + "Usage: get [port identifier]\r\n", 6}});
}

TEST(PortMode, IdentifierMatchesOnlyTheExactLowerCaseText) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string invalid = InfoError("Failed, Invalid parameter").Text() + "Usage: get [port identifier]\r\n";
  std::vector<Case> cases;
  for (const char* id : {"FC_21:00:00:C8:A1:30:01:00",    // upper-case hex
                         "fc_21:00:00:c8:a1:30:01:00",    // lower-case prefix
                         "FC_21:00:00:c8:a1:30:01",       // a byte missing
                         "FC_21:00:00:c8:a1:30:01:00:",   // trailing text
                         "FC_21:0:00:c8:a1:30:01:00",     // one digit
                         "FC_21:00:00:c8:a1:30:01:90",    // not an FC entry
                         "WWPN_21:00:00:c8:a1:30:01:00", "FC'21:00:00:c8:a1:30:01:00"})
    cases.push_back({{"getcli", id}, invalid, 6, kTemperature});
  cases.push_back({{"getcli"}, invalid, 6, kTemperature});
  for (const char* help : {"help", "/?"})
    cases.push_back({{"getcli", help}, InfoError("Failed, Unknown").Text() + "Usage: get [port identifier]\r\n", 5, kTemperature});
  // The FCoE entry and the virtual port are addressable ports.
  for (const std::string& id : {kFcoe, kVirtual})
    cases.push_back({{"getcli", id}, kAnyOutput, 0, kTemperature, {kTemperature + " port=" + id.substr(3)}});
  RunCases(box, {"-t", "port", "-s", "info"}, cases);
}

TEST(PortMode, UpdateNvram) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string image = box.File("nvram.bin");
  WriteFile(image, "NVRAM image");
  const std::string missing = box.File("no-such-image.bin");
  const std::string both = kNvram + "," + kReboot;
  auto load = [&](const std::string& id) { return kNvram + " port=" + id.substr(3) + " path=" + image; };
  RunCases(box, kPortMode,
           {{{"updatenvramcli", kPhysical, image}, Nvram(false, "Success").Text(), 0, both,
             {load(kPhysical), kReboot}},
            {{"updatenvram", kFcoe, image}, Nvram(false, "Failed, NVRAM update failed").Xml(), -1, both, {load(kFcoe)}},
            // A virtual port is refused before the file is even looked at.
            {{"updatenvramcli", kVirtual, missing}, Nvram(false, "Failed, Feature not supported for virtual port").Text(), -1, both},
            {{"updatenvramcli", kPhysical, missing}, Nvram(false, "Failed, File not found").Text(), -1, both},
            {{"updatenvramcli", kPhysical}, Nvram(false, "Failed, File not found").Text(), -1, both},
            {{"updatenvramcli", "help", image}, Nvram(false, "Failed, Unknown").Text(), 5, both},
            // Library result 150: the port is in maintenance mode.
            {{"updatenvramcli", kMaintenancePort, image},
             Nvram(false, "Failed, Command not supported when adapter port in maintenance mode").Text(), -1, both,
             {load(kMaintenancePort)}},
            {{"updatenvramcli", kFcoe, image}, Nvram(false, "Failed, NVRAM update failed").Text(), -1, both, {load(kFcoe)}}});
  // A reboot is assumed when the flag cannot be read.
  const std::string one = R"({"adapters": [{"model": "KX3262", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00"}]}]}]})";
  box.UseFixtureText(WithCalls(one, R"({"call": "KXAPI_IsRebootRequired", "rc": 3})"));
  RunCases(box, kPortMode, {{{"updatenvramcli", kPhysical, image}, Nvram(true, "Success").Text()}});
  box.UseFixtureText(WithCalls(one, R"({"call": "KXAPI_IsRebootRequired", "flag": 1})"));
  RunCases(box, kPortMode, {{{"updatenvramcli", kPhysical, image}, Nvram(true, "Success").Text()}});
}

TEST(PortInfo, ReportInBothFormsAndTheRecordsAskedFor) {
  Sandbox box;
  box.UseFixture("port-info.json");
  std::vector<Case> cases;
  for (const auto& [wwpn, report] : {std::pair{"21:00:00:c8:a1:30:01:00", kGroupCReport},
                                     {"21:00:00:c8:a1:27:00:81", kUngroupedVirtualReport},
                                     {"21:00:00:c8:a1:20:31:00", kGroupAReport},
                                     {"21:00:00:c8:a1:20:31:01", kFailedReadsReport},
                                     {"10:00:00:c8:a1:16:42:07", kGroupEReport}}) {
    cases.push_back({{"getcli", std::string("FC_") + wwpn}, Info(report).Text(), 0, "", {},
                     "PhysicalPortInfoCmdsProcessor::CmdGetCommon: Entered"});
  }
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

TEST(PortStats, GetShowsTheChosenCounterSet) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  const std::string invalid = StatsError("Failed, Invalid parameter").Text() + kGetUsage;
  const std::vector<Case> cases = {
      {{"getcli", kPhysical, "Driver"}, Stats(kDriverBlock).Text(), 0, "", {},
       "PhysicalPortFCStatsCmdsProcessor::CmdGetCommon: Entered"},
      {{"getcli", kPhysical, "driver"}, Stats(kDriverBlock).Text()},
      {{"getcli", kPhysical, "DRIVER"}, Stats(kDriverBlock).Text()},
      {{"getcli", kPhysical, "Firmware"}, Stats(kFirmwareBlock).Text()},
      {{"getcli", kPhysical, "fIRMWARE"}, Stats(kFirmwareBlock).Text()},
      // A virtual port shows its own counters.
      {{"getcli", kVirtual, "Driver"}, Stats(Block(kDriverLabels, "10|20|30|40|50|60")).Text()},
      {{"getcli", kVirtual, "Firmware"}, Stats(Block(kFirmwareLabels, "70|80|90|100|110|120")).Text()},
      {{"getcli", kPhysical, "Drivers"}, invalid, 6}, {{"getcli", kPhysical}, invalid, 6},
      {{"getcli", "FC_21:00:00:c8:a1:30:01:99", "Driver"}, invalid, 6},
      {{"getcli", "-h", "Driver"}, StatsError("Failed, Unknown").Text() + kGetUsage, 5},
      {{"get", kPhysical, "Firmware"}, Stats(kFirmwareBlock).Xml()},
  };
  RunCases(box, kStats, cases);
  // The counters come with the inventory; nothing else is asked of the library.
  EXPECT_EQ(box.Run({"-t", "port", "-s", "stats", "getcli", kPhysical, "Firmware"}).calls,
            "KXAPI_Initialize traceLevel=0 reserved=0\nKXAPI_SetToolID id=11\nKXAPI_SetToolVersion version=1.7.4.0\n"
            "KXAPI_GetAdapterList\nKXAPI_Uninitialize\n");
}

TEST(PortStats, ResetClearsTheFirmwareCountersOnly) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  const std::string invalid = Reset("Failed, Invalid parameter").Text() + kResetUsage;
  RunCases(box, kStats,
           {// The driver's counters cannot be reset: refused before the library is asked.
            {{"resetcli", kPhysical, "Driver"}, invalid, 6, kReset}, {{"resetcli", kPhysical}, invalid, 6, kReset},
            {{"resetcli", "FC_21:00:00:C8:A1:30:01:00", "Firmware"}, invalid, 6, kReset},
            {{"resetcli", "?"}, kResetUsage, -1, kReset},
            {{"resetcli", kFcoe, "Firmware"},
             Reset("Failed, Command not supported when adapter port in maintenance mode").Text(), -1, kReset,
             {kReset + " port=21:00:00:c8:a1:30:01:01"}},
            {{"resetcli", kRefusingPort, "Firmware"}, Reset("Failed, Statistics clear error").Text(), -1, kReset,
             {kReset + " port=21:00:00:c8:a1:30:01:02"}},
            // A refused reset leaves the counters as they were.
            {{"getcli", kRefusingPort, "Firmware"}, Stats(Block(kFirmwareLabels, "9|0|0|0|0|0")).Text()},
            {{"resetcli", kPhysical, "firmware"}, Reset("Success").Text(), 0, kReset, {kReset + " port=21:00:00:c8:a1:30:01:00"}},
            // Later runs read the cleared counters; the driver's are untouched, and so is the other port.
            {{"getcli", kPhysical, "Firmware"}, Stats(kClearedFirmwareBlock).Text()},
            {{"getcli", kPhysical, "Driver"}, Stats(kDriverBlock).Text()},
            {{"getcli", kVirtual, "Firmware"}, Stats(Block(kFirmwareLabels, "70|80|90|100|110|120")).Text()},
            {{"reset", kPhysical, "Firmware"}, Reset("Success").Xml()}});
  // In one prompt session the reset shows at once.
  Sandbox prompt("PortStatsPrompt");
  prompt.UseFixture("port-stats.json");
  EXPECT_EQ(prompt.Run({}, "-t port -s stats resetcli " + kPhysical + " Firmware\n-t port -s stats getcli " + kPhysical +
                               " Firmware\nq\n").out,
            "$>" + Reset("Success").Text() + "$>" + Stats(kClearedFirmwareBlock).Text() + "$>");
}
