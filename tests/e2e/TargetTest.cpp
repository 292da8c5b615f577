// The "target" and "lun" modes and their sub-modes, run against the stand-in.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kT1 = "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:10:01";   // FCP, group C adapter
const std::string kT2 = "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:20:01";   // NVMe
const std::string kT3 = "FC_21:00:00:c8:a1:30:01:80_Target_50:00:c8:a1:00:00:10:02";   // through a virtual port
const std::string kT1b = "FC_21:00:00:c8:a1:30:01:01_Target_50:00:c8:a1:00:00:10:01";  // T1 through port 1
const std::string kT4 = "FC_10:00:00:c8:a1:16:42:07_Target_50:00:c8:a1:00:00:30:01";   // 16 Gbps port, group E
const std::string kT5 = "FC_10:00:00:c8:a1:26:00:01_Target_50:00:c8:a1:00:00:40:01";   // read-only adapter

const std::string kInfoUsage = "Usage: get [port identifier]\r\n";
const std::string kSetUsage = "Usage: set [port identifier]\r\n";
const std::vector<std::string> kInfo = {"-t", "target", "-v", "info"};
const std::vector<std::string> kStats = {"-t", "target", "-v", "stats"};
const std::vector<std::string> kIidma = {"-t", "target", "-v", "iidma"};

const std::vector<std::string> kFcpLabels = {
    "Target Node Name", "Target Port Name", "Target Port ID", "Target Number", "Vendor ID", "Product ID",
    "Product Revision", "Product Type", "Serial Number", "Lun Count", "Luns",
    "Remote Type", "Session State", "Secure Mode", "Congestion Current State", "Virtual Lane", "I/O Throttling",
    "Status"};
const std::vector<std::string> kStatsLabels = {
    "Node Name", "Port Name", "Port Id", "Target Number", "Link Failure Count", "Loss Of Sync Count",
    "Loss Of Signal Count", "Primitive Sequence Protocol Error Count", "Invalid Transmission Word Count",
    "Invalid CRC Count"};
const std::vector<std::string> kIidmaLabels = {"Node Name", "Port Name", "Port Id", "Target Number",
                                               "Target Maximum Link Speed"};

Doc Info(const std::string& values) {
  return Report("TargetInformation", "TargetInfo", "TargetInfoList", Block(kFcpLabels, values));
}
Doc InfoError(const std::string& message) { return ListError("TargetInformation", "TargetInfo", message); }
Doc Stats(const std::string& values) {
  return Report("TargetStatistics", "Target Stats", "TargetStatsList", Block(kStatsLabels, values));
}
Doc StatsError(const std::string& message) { return ListError("TargetStatistics", "Target Stats", message); }
// The IIDMA block of T1 with the given speed.
Doc Iidma(const std::string& speed, const std::string& head = "50:00:c8:a1:00:00:10:00|50:00:c8:a1:00:00:10:01|01:0a:00|3|") {
  return Report("TargetIIDMAInformation", "Target IIDMA Info", "TargetIIDMAInfoList", Block(kIidmaLabels, head + speed));
}
Doc IidmaError(const std::string& message) {
  return ListError("TargetIIDMAInformation", "Target IIDMA Info", message);
}

const std::string kT1Info =
    "50:00:c8:a1:00:00:10:00|50:00:c8:a1:00:00:10:01|01:0a:00|3|KALTEXST|FLASHARRAY-X9000|9.1A|FCP Disk|"
    "SN0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCD|3|LUN_0, LUN_1, LUN_2|"
    "Initiator-Target|Auth Complete|Enabled|Congested|Normal|Active|Online";

// A one-target inventory on a group C adapter; entry and target carry the extra keys.
std::string OneTarget(const std::string& entryExtra, const std::string& targetExtra) {
  return R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": "0x2230"}, "ports": [{"entries": [
    {"wwpn": "21:00:00:c8:a1:30:01:00")" + entryExtra + R"(, "targets": [
      {"wwpn": "50:00:c8:a1:00:00:10:01", "wwnn": "50:00:c8:a1:00:00:10:00", "portId": "01:0a:00",
       "targetNumber": 3, "luns": [0])" + targetExtra + "}]}]}]}]}";
}

const std::vector<std::string> kLunInfo = {"-t", "lun", "-v", "info"};

// A LUN block (six values) or a namespace block (five values).
Doc Lun(const std::string& values) {
  const bool ns = std::count(values.begin(), values.end(), '|') == 4;
  return Report("LunInformation", "LunInfo", "LunInfoList",
                Block(ns ? std::vector<std::string>{"Vendor ID", "Product ID", "Product Revision", "Namespace ID",
                                                    "Namespace Size In MB"}
                         : std::vector<std::string>{"Vendor ID", "Product ID", "Product Revision", "Lun Number",
                                                    "Lun Size In MB", "Lun Worldwide Unique ID"},
                      values));
}
Doc LunError(const std::string& message) { return ListError("LunInformation", "LunInfo", message); }

}  // namespace

TEST(TargetList, EveryTargetAndLunOfEveryFcPortInWalkOrder) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  const std::vector<std::string> ids = {kT1, kT2, kT3, kT1b, kT4, kT5};
  // The NVMe target lists all three entries although its count says 2; the
  // namespace-flagged LUN of an FCP target is still a "_LUN_".
  const std::vector<std::string> luns = {
      kT1 + "_LUN_0",  kT1 + "_LUN_1",  kT1 + "_LUN_2",  kT2 + "_NSID_1", kT2 + "_NSID_2", kT2 + "_NSID_3",
      kT3 + "_LUN_0",  kT1b + "_LUN_4", kT4 + "_LUN_0",  kT4 + "_LUN_5",  kT4 + "_LUN_7",  kT4 + "_LUN_9", };
  RunCases(box, {},
           {{{"-t", "target", "listcli"}, ListText("TargetList", "Targets", ids), 0, "", {},
             "FCTargetCmdsProcessor::CmdListCommon: Going for adapter list"},
            {{"-t", "target", "list"}, ListXml("TargetList", "Targets", ids)},
            {{"-t", "target", "listcli", "-h"}, "Usage: list\r\n", 5},
            // Sub-modes are selected with "-v" only.
            {{"-t", "target", "-s", "info", "getcli", kT1}, "Unknown command or invalid target identifier!\r\n"},
            {{"-t", "lun", "listcli"}, ListText("LunList", "LUNs/Namespaces", luns), 0, "", {},
             "FCLunCmdsProcessor::CmdListCommon: Going for adapter list"},
            {{"-t", "lun", "list"}, ListXml("LunList", "LUNs/Namespaces", luns)},
            {{"-t", "lun", "listcli", "help"}, "Usage: list\r\n", 5}});
  box.UseFixtureText(R"({"adapters": [{"model": "KX", "serial": "S", "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:00:01"},
    {"wwpn": "21:00:00:00:00:00:00:02", "targets": [{"wwpn": "50:00:00:00:00:00:00:01"}]}]}]}]})");
  RunCases(box, {}, {{{"-t", "target", "listcli"}, ListText("TargetList", "Targets",
                                                             {"FC_21:00:00:00:00:00:00:02_Target_50:00:00:00:00:00:00:01"}), 0},
                     {{"-t", "lun", "listcli"}, ListText("", "", {}), 0}});
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, {},
           {{{"-t", "target", "listcli"}, "", 14},
            {{"-t", "target", "-v", "info", "getcli", kT1}, InfoError("Failed, Host not found").Text(), 14},
            {{"-t", "lun", "list"}, "", 14},
            {{"-t", "lun", "-v", "info", "getcli", kT1 + "_LUN_0"}, LunError("Failed, Host not found").Text(), 14}});
}

TEST(TargetIdentifier, OnlyTheExactTextResolves) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "5");
  const std::string invalid = InfoError("Failed, Invalid parameter").Text() + kInfoUsage;
  std::vector<Case> cases;
  for (const std::string& id : std::vector<std::string>{"FC_21:00:00:C8:A1:30:01:00_Target_50:00:c8:a1:00:00:10:01",
                                "FC_21:00:00:c8:a1:30:01:00_Target_50:00:C8:A1:00:00:10:01",
                                "fc_21:00:00:c8:a1:30:01:00_target_50:00:c8:a1:00:00:10:01",
                                "FC_21:00:00:c8:a1:30:01:00",
                                "FX_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:10:01",
                                "FC_21:00:00:c8:a1:30:01:00_Tgt_50:00:c8:a1:00:00:10:01", kT1 + "_LUN_0",
                                "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:99:99"})
    cases.push_back({{"getcli", id}, invalid, 6});
  cases.push_back({{"getcli", "help"}, InfoError("Failed, Unknown").Text() + kInfoUsage, 5});
  cases.push_back({{"getcli"}, invalid, 6});
  // The XML form shows the same failure without the usage text.
  cases.push_back({{"get", "FC_21:00:00:c8:a1:30:01:00"}, InfoError("Failed, Invalid parameter").Xml(), 6, "", {},
                   "FCTargetCmdsProcessor::GetTargetFromTargetString: Invalid Tgt identifier FC_21:00:00:c8:a1:30:01:00"});
  RunCases(box, kInfo, cases);
}

TEST(TargetInfo, EveryKindOfTargetAndAdapterGroup) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  // Everything comes from the inventory: the library is asked for nothing else.
  const Result r = box.Run({"-t", "target", "-v", "info", "getcli", kT1});
  EXPECT_EQ(r.calls,
            "KXAPI_Initialize traceLevel=0 reserved=0\nKXAPI_SetToolID id=11\nKXAPI_SetToolVersion version=1.7.4.0\n"
            "KXAPI_GetAdapterList\nKXAPI_Uninitialize\n");
  const std::vector<std::string> nvme = {
      "Target Node Name", "Target Port Name", "Target Port ID", "Target Number", "Vendor ID", "Product ID",
      "Product Revision", "Product Type", "Serial Number", "Storage NQN", "Storage Controller ID", "Namespace Count",
      "Namespaces", "Remote Type", "Session State", "Secure Mode", "Congestion Current State", "Virtual Lane",
      "I/O Throttling", "Status"};
  RunCases(box, kInfo,
           {{{"getcli", kT1}, Info(kT1Info).Text(), 0, "", {}, "FCTargetInfoCmdsProcessor::CmdGetCommon: Entered"},
            // NVMe: namespaces up to the count.
            {{"getcli", kT2},
             Report("TargetInformation", "TargetInfo", "TargetInfoList",
                    Block(nvme, "50:00:c8:a1:00:00:20:00|50:00:c8:a1:00:00:20:01|01:0b:00|4|KALTEX|NVME-ARRAY|NV12.0AB|"
                                "NVMe Disk|NVSER42|nqn.2014-08.com.kaltex:nvme:array1|0x1f|2|NSID_1, NSID_2|Target|"
                                "Auth Complete|Enabled|Unknown|Non-Operational|None|Unconfigured")) .Text()},
            // Group E adapter: lanes and throttling are not reported; device type 2 is a plain device.
            {{"getcli", kT4},
             Info("50:00:c8:a1:00:00:30:00|50:00:c8:a1:00:00:30:01|02:1c:ef|7||||Device||4|LUN_0, LUN_5, LUN_7, LUN_9|"
                  "Unknown|NA|Disabled|Healthy|NA|None|Offline") .Text()},
            // Remote-port record 1 matches the target but the port does not keep it.
            {{"getcli", kT1b},
             Info("00:00:00:00:00:00:00:00|50:00:c8:a1:00:00:10:01|00:00:00|1||||FCP Disk||1|LUN_4|"
                  "Unknown|NA|Disabled|Healthy|NA|None|Offline") .Text()}});
}

TEST(TargetInfo, SecurityLanesThrottlingAndStatus) {
  const std::string rp1 = R"(, "driverCapabilities": 1)";
  // The entry's and the target's extra keys, the shown Remote Type .. Status.
  const std::string rows[][3] = {
      {rp1, R"(, "remotePort1": {"flags": 2, "authState": 3})", "Target|Auth Failed|Disabled|Healthy|NA|None|Offline"},
      {rp1, R"(, "remotePort1": {"flags": 1, "authState": 6})",
       "Initiator|Auth Unknown|Disabled|Healthy|NA|None|Offline"},
      {rp1, R"(, "remotePort1": {"flags": 16, "authState": 5})",
       "Unknown|Auth Terminate|Enabled|Healthy|NA|None|Offline"},
      {rp1, R"(, "remotePort1": {"flags": 2, "authState": 4, "portId": "01:0a:01"})",
       "Unknown|NA|Disabled|Healthy|NA|None|Offline"},
      {rp1, R"(, "remotePort1": {"flags": 2, "wwpn": "50:00:c8:a1:00:00:10:02"}, "remotePort2": {"role": 2, "authState": 5})",
       "Initiator|Auth Pending|Disabled|Healthy|NA|None|Offline"},
      {"", R"(, "remotePort2": {"role": 3, "authState": 1})", "Initiator-Target|NA|Disabled|Healthy|NA|None|Offline"},
      {"", R"(, "remotePort2": {"role": 9, "authState": 6})", "Unknown|Auth Failed|Disabled|Healthy|NA|None|Offline"},
      {"", R"(, "remotePort2": {"role": 1, "security": 1, "authState": 6})",
       "Target|Auth Unknown|Disabled|Healthy|NA|None|Offline"},
      {"", R"(, "remotePort2": {"role": 1, "security": 2})", "Target|Auth Unknown|Disabled|Healthy|NA|None|Offline"},
      {"", R"(, "remotePort2": {"role": 1, "portId": "00:0a:00"})", "Unknown|NA|Disabled|Healthy|NA|None|Offline"},
      {"", R"(, "virtualLane": 1, "ioThrottling": 1)", "Unknown|NA|Disabled|Healthy|Slow|None|Offline"},
      {"", R"(, "virtualLane": 3)", "Unknown|NA|Disabled|Healthy|Fast|None|Offline"},
      {R"(, "capabilityFlags": "0x80000000")", R"(, "ioThrottling": 0)",
       "Unknown|NA|Disabled|Healthy|NA|Disabled|Offline"},
      {"", R"(, "sessionFlags": 1, "configFlags": "0x40")", "Unknown|NA|Disabled|Healthy|NA|None|Unconfigured"},
      {"", R"(, "online": true, "configFlags": "0x40", "congestion": 0)", "Unknown|NA|Disabled|Healthy|NA|None|Online"},
  };
  Sandbox box;
  for (const auto& [entry, target, tail] : rows) {
    box.UseFixtureText(OneTarget(entry, target));
    RunCases(box, kInfo,
             {{{"getcli", kT1}, Info("50:00:c8:a1:00:00:10:00|50:00:c8:a1:00:00:10:01|01:0a:00|3||||FCP Disk||1|LUN_0|" + tail).Text()}});
  }
}

TEST(TargetInfo, LunListThatDoesNotFitIsLeftOutWholeAtTheExactBound) {
  // Lines before the list, and after it, of a target with no other fields set.
  const std::string head = Block({kFcpLabels.begin(), kFcpLabels.begin() + 9},
                                 "00:00:00:00:00:00:00:00|50:00:c8:a1:00:00:10:01|00:00:00|0||||FCP Disk|");
  const std::string tail =
      "      " + Block({kFcpLabels.begin() + 11, kFcpLabels.end()}, "Unknown|NA|Disabled|Healthy|NA|None|Offline");
  // LUN numbers whose list line is exactly lineLength bytes long, newline included:
  // a first item of 9 characters, then items of 6 + digits, the last two chosen to land exactly.
  auto numbersFor = [](size_t lineLength, std::string& line) {
    auto power = [](size_t digits) {
      unsigned n = 1;
      while (--digits > 0) n *= 10;
      return n;
    };
    std::vector<unsigned> numbers = {10000};
    size_t left = lineLength - std::string("      Luns: LUN_10000\n").size();
    while (left > 22) {
      const size_t cost = (left == 23 || left == 24) ? left - 14 : 11;
      numbers.push_back(power(cost - 6));
      left -= cost;
    }
    const size_t d1 = std::min<size_t>(5, left - 13);
    numbers.push_back(power(d1));
    numbers.push_back(power(left - 12 - d1));
    line = "      Luns: ";
    for (size_t i = 0; i < numbers.size(); ++i) line += (i ? ", LUN_" : "LUN_") + std::to_string(numbers[i]);
    line += "\n";
    return numbers;
  };
  for (const bool fits : {true, false}) {
    const std::string countLine = "      Lun Count: 400\n";
    const size_t room = 4095 - head.size() - countLine.size();  // the list may end the block, NUL after it
    std::string line;
    const std::vector<unsigned> numbers = numbersFor(fits ? room : room + 1, line);
    ASSERT_EQ(line.size(), fits ? room : room + 1);
    std::string luns;
    for (unsigned n : numbers) luns += (luns.empty() ? "" : ", ") + std::to_string(n);
    Sandbox box(std::string("TargetInfoBound") + (fits ? "Fits" : "Over"));
    box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:30:01:00", "targets": [{"wwpn": "50:00:c8:a1:00:00:10:01", "lunCount": 400,
       "luns": [)" + luns + "]}]}]}]}]}");
    // When the list fills the block to its last byte nothing after it fits; one byte more and
    // the list is dropped with its label while the lines after it still appear.
    const std::string block = fits ? head + countLine + line : head + countLine + tail;
    EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT1}).out,
              Report("TargetInformation", "TargetInfo", "TargetInfoList", block).Text()) << (fits ? "fits" : "over");
  }
}

TEST(TargetStats, CountersOfTheTargetNamedByPortNameAndTheReadError) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  const std::string t1 = "50:00:c8:a1:00:00:10:00|50:00:c8:a1:00:00:10:01|01:0a:00|3|1|22|333|4444|55555|4294967295";
  const std::string call = "KXAPI_GetPortStatisticsFC";
  const std::string failed = "Failed, Statistics read error";
  RunCases(box, kStats,
           {{{"getcli", kT1}, Stats(t1).Text(), 0, call,
             {call + " port=21:00:00:c8:a1:30:01:00 handle=1 reserved=0 by=address target=50:00:c8:a1:00:00:10:01"},
             "FCTargetStatsCmdsProcessor::CmdGetCommon: Entered"},
            // Virtual ports are served; a target without counters shows zeros.
            {{"getcli", kT3}, Stats("00:00:00:00:00:00:00:00|50:00:c8:a1:00:00:10:02|00:00:00|1|0|0|0|0|0|0").Text(), 0,
             call, {call + " port=21:00:00:c8:a1:30:01:80 handle=2 reserved=0 by=address target=50:00:c8:a1:00:00:10:02"}},
            // The library answers 150 (maintenance mode); this family reports every failure as a read error.
            {{"getcli", kT4}, StatsError(failed).Text(), 38, call,
             {call + " port=10:00:00:c8:a1:16:42:07 handle=5 reserved=0 by=address target=50:00:c8:a1:00:00:30:01"}},
            {{"getcli", "/?"}, StatsError("Failed, Unknown").Text() + kInfoUsage, 5}});
}

TEST(TargetIidma, GetSetAndRefusals) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  const std::string get = "KXAPI_GetTargetLinkSpeed", set = "KXAPI_SetTargetLinkSpeed", both = get + "," + set;
  const std::string getT1 = get + " port=21:00:00:c8:a1:30:01:00 target=3";
  const std::string setT1 = set + " port=21:00:00:c8:a1:30:01:00 target=3 speed=";
  const std::string tooFast = "Failed, Speed not supported for this adapter";
  const std::string virtualPort = "Failed, Feature not supported for virtual port";
  const std::string invalid = IidmaError("Failed, Invalid parameter").Text() + kSetUsage;
  RunCases(box, kIidma,
           {{{"getcli", kT1}, Iidma("16_Gbps").Text(), 0, get, {getT1}, "FCTargetIIDMACmdsProcessor::CmdGetCommon: Entered"},
            // The target reports 32 Gbps; its port tops out at 16 Gbps.
            {{"getcli", kT4}, Iidma("16_Gbps", "50:00:c8:a1:00:00:30:00|50:00:c8:a1:00:00:30:01|02:1c:ef|7|").Text()},
            // Virtual ports and every refusal come before the library is asked about the target.
            {{"getcli", kT3}, IidmaError(virtualPort).Text(), 51, both},
            {{"setcli", kT4, "32_Gbps"}, IidmaError(tooFast).Text(), 44, both},
            {{"setcli", kT1, "10_GBPS"}, IidmaError(tooFast).Text(), 44, both},
            {{"setcli", kT5, "8_Gbps"}, IidmaError("Failed, Read-Only feature for this adapter").Text(), 8, both},
            {{"setcli", kT3, "8_Gbps"}, IidmaError(virtualPort).Text(), 51, both},
            {{"setcli", kT1}, invalid, 6, both}, {{"setcli", kT1 + "x", "8_Gbps"}, invalid, 6, both},
            {{"set", kT4, "64_Gbps"}, IidmaError(tooFast).Xml(), 44, both},
            // Accepted, kept, and an equal speed is not set again.
            {{"setcli", kT1, "8_gbps"}, Iidma("8_Gbps").Text(), 0, both, {getT1, setT1 + "0x8"}},
            {{"getcli", kT1}, Iidma("8_Gbps").Text()},
            {{"set", kT1, "8_Gbps"}, Iidma("8_Gbps").Xml(), 0, both, {getT1}},
            // "1_Gbps" sets 1 Gbps.
            {{"setcli", kT1, "1_GBPS"}, Iidma("1_Gbps").Text(), 0, set, {setT1 + "0x1"}}});
}

TEST(TargetIidma, GetSpeedWordsAndLimits) {
  const char* rows[][3] = {
      {"0xf0", "0x64", "64_Gbps"}, {"0x70", "0x64", "32_Gbps"}, {"0x30", "0x32", "16_Gbps"},
      {"0x08", "0x16", "4_Gbps"},  {"0x03", "0x08", "2_Gbps"},  {"0x01", "0x02", "1_Gbps"},
      {"0x04", "0x08", "Unknown"}, {"0x04", "0x10", "10_Gbps"}, {"0x01", "0x10", "10_Gbps"},
      {"0x70", "0x33", "Unknown"}, {"0x70", "0x00", "Unknown"}, {"0x10", "0x08", "8_Gbps"},
  };
  Sandbox box;
  for (const auto& [mask, code, shown] : rows) {
    box.UseFixtureText(OneTarget(std::string(R"(, "supportedSpeeds": ")") + mask + "\"",
                                 std::string(R"(, "iidmaSpeed": ")") + code + "\""));
    RunCases(box, kIidma, {{{"getcli", kT1}, Iidma(shown).Text()}});
  }
}

TEST(TargetIidma, LibraryFailures) {
  Sandbox box;
  const std::string fixture = OneTarget(R"(, "supportedSpeeds": "0x70")", "");
  box.UseFixtureText(WithCalls(fixture, R"({"call": "KXAPI_GetTargetLinkSpeed", "rc": 150})"));
  RunCases(box, kIidma,
           {{{"getcli", kT1}, IidmaError("Failed, IIDMA read failed").Text(), 13},
            {{"setcli", kT1, "16_Gbps"}, IidmaError("Failed, IIDMA read failed").Text(), 13}});
  box.UseFixtureText(WithCalls(fixture, R"({"call": "KXAPI_SetTargetLinkSpeed", "rc": 7})"));
  RunCases(box, kIidma,
           {{{"setcli", kT1, "16_Gbps"}, IidmaError("Failed, IIDMA set failed").Text(), 20, "KXAPI_SetTargetLinkSpeed",
             {"KXAPI_SetTargetLinkSpeed port=21:00:00:c8:a1:30:01:00 target=3 speed=0x16"}}});
}

TEST(LunIdentifier, KindWordAndExactText) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "5");
  const std::string invalid = LunError("Failed, Invalid parameter").Text() + kInfoUsage;
  std::vector<Case> cases;
  for (const std::string& id : std::vector<std::string>{kT2 + "_LUN_1",  // a namespace named as a LUN
                                kT1 + "_NSID_1",  // a LUN named as a namespace
                                kT1 + "_lun_1",   // the word passes, the text does not
                                kT1 + "_LUN_3", kT1 + "_LUN_01",
                                "FC_21:00:00:C8:A1:30:01:00_Target_50:00:c8:a1:00:00:10:01_LUN_1", kT1})
    cases.push_back({{"getcli", id}, invalid, 6});
  const std::string tgt = "FC_21:00:00:c8:a1:30:01:00_Tgt_50:00:c8:a1:00:00:10:01_LUN_1";
  cases.push_back({{"getcli", tgt}, invalid, 6, "", {}, "FCLunCmdsProcessor::GetLunFromLunString: Invalid Tgt identifier " + tgt});
  cases.push_back({{"getcli", kT1 + "_DISK_1"}, invalid, 6, "", {},
                   "FCLunCmdsProcessor::GetLunFromLunString: Invalid LUN/NSID identifier " + kT1 + "_DISK_1"});
  cases.push_back({{"getcli", "-help"}, LunError("Failed, Unknown").Text() + kInfoUsage, 5});
  RunCases(box, kLunInfo, cases);
}

TEST(LunInfo, SizesUniqueIdsAndTheEntrysOwnKind) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  RunCases(box, kLunInfo,
           {// Full-width character fields; 2048 blocks of 512 bytes are 1 MB.
            {{"getcli", kT4 + "_LUN_0"},
             Lun("KALTEXVD|VIRTUAL-DISK-016|1.0a|0|1|60:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:16:17:18").Text(), 0, "", {},
             "FCLunInfoCmdsProcessor::CmdGetCommon: Entered"},
            // 2^33 blocks of 512 bytes: 4 TiB, beyond 32 bits; an all-zero ID is "NA" whatever its length.
            {{"getcli", kT4 + "_LUN_5"}, Lun("KALTEX|BIGDISK|2|5|4194304|NA").Text()},
            // Less than one MB rounds down; a non-zero ID of length 0 is empty.
            {{"getcli", kT4 + "_LUN_7"}, Lun("|||7|0|").Text()},
            // The entry's namespace flag chooses the namespace lines under an FCP target.
            {{"getcli", kT4 + "_LUN_9"}, Lun("KALTEX|NSDISK|NVREV001|9|16").Text()},
            {{"get", kT4 + "_LUN_9"}, Lun("KALTEX|NSDISK|NVREV001|9|16").Xml()},
            // A namespace of an NVMe target whose entry lacks the flag is shown as a LUN.
            {{"getcli", kT2 + "_NSID_3"}, Lun("|||3|0|NA").Text()},
            // LUNs seen through a virtual port resolve too.
            {{"getcli", kT3 + "_LUN_0"}, Lun("|||0|0|NA").Text()}});
  box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
    {"wwpn": "21:00:00:c8:a1:30:01:00", "targets": [{"wwpn": "50:00:c8:a1:00:00:20:01", "nvme": true,
     "luns": [{"number": 65535, "namespace": true, "nvmeRevision": "1", "blocks": "0xFFFFFFFFFFFFFFFF", "blockSize": 4096},
              {"number": 2, "uniqueId": "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20",
               "uniqueIdLength": 200}]}]}]}]}]})");
  RunCases(box, kLunInfo,
           {// (2^64 - 1) >> 10, times 4096, wraps in 64 bits before the last shift.
            {{"getcli", kT2 + "_NSID_65535"}, Lun("||1|65535|18014398509481980").Text()},
            // A length byte above 32 shows the 32 bytes there are.
            {{"getcli", kT2 + "_NSID_2"},
             Lun("|||2|0|01:02:03:04:05:06:07:08:09:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:16:17:18:19:1a:1b:1c:1d:1e:1f:20")
                 .Text()}});
}

