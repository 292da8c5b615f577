// The "target" mode and its sub-modes info, stats and iidma, run against the stand-in.
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

// The status the command ended with, from the trace log's last exit line.
unsigned LastStatus(const Sandbox& box) {
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  const std::string mark = "main: Program Exit Code: (";
  const size_t at = log.rfind(mark);
  if (at == std::string::npos) return 9999;
  return static_cast<unsigned>(std::stoul(log.substr(at + mark.size())));
}

Sandbox TracedBox(const std::string& fixture) {
  Sandbox box;
  box.UseFixture(fixture);
  box.SetEnv("KXFC_DEBUG_LEVEL", "5");  // progress and error traces
  return box;
}

std::string TextReport(const std::string& structure, const std::string& listField, const std::string& element,
                       const std::string& block) {
  return kStars + structure + ":\nMessage: Success\n" + listField + ": " + element + ":\nData: " + block + kStars;
}

std::string TextError(const std::string& structure, const std::string& listField, const std::string& message) {
  return kStars + structure + ":\nMessage: " + message + "\n" + listField + ": " + kStars;
}

std::string XmlReport(const std::string& structure, const std::string& listField, const std::string& element,
                      const std::string& block) {
  return kXmlHead + "<structure typeName=\"" + structure + "\">\n<field name=\"Message\">\n<string>Success</string></field>\n" +
         "<field name=\"" + listField + "\">\n<list type=\"structure\">\n<structure typeName=\"" + element +
         "\">\n<field name=\"Data\">\n<string>" + block + "</string></field>\n</structure>\n</list>\n</field>\n" +
         "</structure>\n</output>\n";
}

std::string XmlError(const std::string& structure, const std::string& listField, const std::string& message) {
  return kXmlHead + "<structure typeName=\"" + structure + "\">\n<field name=\"Message\">\n<string>" + message +
         "</string></field>\n<field name=\"" + listField + "\">\n<list type=\"structure\">\n</list>\n</field>\n" +
         "</structure>\n</output>\n";
}

std::string InfoText(const std::string& block) { return TextReport("TargetInformation", "TargetInfo", "TargetInfoList", block); }
std::string InfoError(const std::string& message) { return TextError("TargetInformation", "TargetInfo", message); }
std::string IidmaText(const std::string& block) {
  return TextReport("TargetIIDMAInformation", "Target IIDMA Info", "TargetIIDMAInfoList", block);
}
std::string IidmaError(const std::string& message) {
  return TextError("TargetIIDMAInformation", "Target IIDMA Info", message);
}

const std::string kT1Info =
    "Target Node Name: 50:00:c8:a1:00:00:10:00\n"
    "      Target Port Name: 50:00:c8:a1:00:00:10:01\n"
    "      Target Port ID: 01:0a:00\n"
    "      Target Number: 3\n"
    "      Vendor ID: KALTEXST\n"
    "      Product ID: FLASHARRAY-X9000\n"
    "      Product Revision: 9.1A\n"
    "      Product Type: FCP Disk\n"
    "      Serial Number: SN0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCD\n"
    "      Lun Count: 3\n"
    "      Luns: LUN_0, LUN_1, LUN_2\n"
    "      Remote Type: Initiator-Target\n"
    "      Session State: Auth Complete\n"
    "      Secure Mode: Enabled\n"
    "      Congestion Current State: Congested\n"
    "      Virtual Lane: Normal\n"
    "      I/O Throttling: Active\n"
    "      Status: Online\n";

}  // namespace

TEST(TargetList, EveryTargetOfEveryFcPortInWalkOrder) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  const std::vector<std::string> ids = {kT1, kT2, kT3, kT1b, kT4, kT5};
  std::string text = kStars;
  std::string xml = kXmlHead + "<list type=\"structure\">\n";
  for (const std::string& id : ids) {
    text += "TargetList:\nTargets: " + id + "\n";
    xml += "<structure typeName=\"TargetList\">\n<field name=\"Targets\">\n<string>" + id + "</string></field>\n</structure>\n";
  }
  text += kStars;
  xml += "</list>\n</output>\n";
  EXPECT_EQ(box.Run({"-t", "target", "listcli"}).out, text);
  EXPECT_EQ(box.Run({"-t", "target", "list"}).out, xml);
}

TEST(TargetList, HelpWordsEmptyAndMissingInventory) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  box.UseFixture("target-basic.json");
  EXPECT_EQ(box.Run({"-t", "target", "listcli", "?"}).out, "Usage: list\r\n");
  EXPECT_EQ(box.Run({"-t", "target", "listcli", "-h"}).out, "Usage: list\r\n");
  EXPECT_EQ(LastStatus(box), 5u);
  EXPECT_EQ(box.Run({"-t", "target", "list", "?"}).out, "");

  box.UseFixtureText(R"({"adapters": [{"model": "KX", "serial": "S", "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:00:01"}]}]}]})");
  EXPECT_EQ(box.Run({"-t", "target", "listcli"}).out, kStars + kStars);
  EXPECT_EQ(LastStatus(box), 0u);

  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(box.Run({"-t", "target", "listcli"}).out, "");
  EXPECT_EQ(LastStatus(box), 14u);
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT1}).out, InfoError("Failed, Host not found"));
  EXPECT_EQ(LastStatus(box), 14u);
}

TEST(TargetMode, HelpListsCommandsThenSubModesInOrder) {
  Sandbox box;
  EXPECT_EQ(box.Run({"-t", "target", "help"}).out,
            "\r\nFollowing is the list of available commands in the Target command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "list        : Discover list of Kaltex FC Targets\r\n"
            "help        : list of available commands\r\n"
            "listcli     : Discover list of Kaltex FC Targets\r\n"
            "info        : use this command to get Kaltex FC Target info\r\n"
            "scmstats    : use this command to get Kaltex FC Target SCM Statistics\r\n"
            "scmchk      : use this command to get Kaltex FC Target SCM Status\r\n"
            "iidma       : use this command to get/set Kaltex FC Target's Maximum Link Speed\r\n"
            "stats       : use this command to get Kaltex FC Target Link Statistics\r\n");
  const std::string iidma = box.Run({"-t", "target", "-v", "iidma", "help"}).out;
  EXPECT_NE(iidma.find("get         : get Kaltex FC Target IIDMA Speed\r\n"
                       "set         : set Kaltex FC Target IIDMA Speed\r\n"
                       "help        : list of available commands\r\n"
                       "getcli      : get Kaltex FC Target IIDMA Speed\r\n"
                       "setcli      : set Kaltex FC Target IIDMA Speed\r\n"),
            std::string::npos)
      << iidma;
  // Sub-modes are selected with "-v" only.
  EXPECT_EQ(box.Run({"-t", "target", "-s", "info", "getcli", kT1}).out,
            "Unknown command or invalid target identifier!\r\n");
}

TEST(TargetIdentifier, OnlyTheExactTextResolves) {
  Sandbox box = TracedBox("target-basic.json");
  struct Case {
    std::string identifier;
    unsigned status;
    const char* message;
  };
  const Case cases[] = {
      {"FC_21:00:00:C8:A1:30:01:00_Target_50:00:c8:a1:00:00:10:01", 6, "Failed, Invalid parameter"},
      {"FC_21:00:00:c8:a1:30:01:00_Target_50:00:C8:A1:00:00:10:01", 6, "Failed, Invalid parameter"},
      {"fc_21:00:00:c8:a1:30:01:00_target_50:00:c8:a1:00:00:10:01", 6, "Failed, Invalid parameter"},
      {"FC_21:00:00:c8:a1:30:01:00", 6, "Failed, Invalid parameter"},
      {"FX_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:10:01", 6, "Failed, Invalid parameter"},
      {"FC_21:00:00:c8:a1:30:01:00_Tgt_50:00:c8:a1:00:00:10:01", 6, "Failed, Invalid parameter"},
      {kT1 + "_LUN_0", 6, "Failed, Invalid parameter"},
      {"FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:99:99", 6, "Failed, Invalid parameter"},
      {"help", 5, "Failed, Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", c.identifier}).out, InfoError(c.message) + kInfoUsage)
        << c.identifier;
    EXPECT_EQ(LastStatus(box), c.status) << c.identifier;
  }
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli"}).out, InfoError("Failed, Invalid parameter") + kInfoUsage);
  // The XML form shows the same failure without the usage text.
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "get", "FC_21:00:00:c8:a1:30:01:00"}).out,
            XmlError("TargetInformation", "TargetInfo", "Failed, Invalid parameter"));
  EXPECT_NE(ReadFile(box.HostPath("/var/tmp/kxfcli.log")).find("Invalid Tgt identifier FC_21:00:00:c8:a1:30:01:00"),
            std::string::npos);
}

TEST(TargetInfo, FcpTargetWithFullWidthFields) {
  Sandbox box = TracedBox("target-basic.json");
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT1}).out, InfoText(kT1Info));
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "get", kT1}).out,
            XmlReport("TargetInformation", "TargetInfo", "TargetInfoList", kT1Info));
  EXPECT_EQ(LastStatus(box), 0u);
  // Everything comes from the inventory: the library is asked for nothing else.
  const Result r = box.Run({"-t", "target", "-v", "info", "getcli", kT1});
  EXPECT_EQ(r.calls,
            "KXAPI_Initialize traceLevel=0 reserved=0\nKXAPI_SetToolID id=11\nKXAPI_SetToolVersion version=1.7.4.0\n"
            "KXAPI_GetAdapterList\nKXAPI_Uninitialize\n");
}

TEST(TargetInfo, NvmeTargetListsNamespacesUpToItsCount) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT2}).out,
            InfoText("Target Node Name: 50:00:c8:a1:00:00:20:00\n"
                     "      Target Port Name: 50:00:c8:a1:00:00:20:01\n"
                     "      Target Port ID: 01:0b:00\n"
                     "      Target Number: 4\n"
                     "      Vendor ID: KALTEX\n"
                     "      Product ID: NVME-ARRAY\n"
                     "      Product Revision: NV12.0AB\n"
                     "      Product Type: NVMe Disk\n"
                     "      Serial Number: NVSER42\n"
                     "      Storage NQN: nqn.2014-08.com.kaltex:nvme:array1\n"
                     "      Storage Controller ID: 0x1f\n"
                     "      Namespace Count: 2\n"
                     "      Namespaces: NSID_1, NSID_2\n"
                     "      Remote Type: Target\n"
                     "      Session State: Auth Complete\n"
                     "      Secure Mode: Enabled\n"
                     "      Congestion Current State: Unknown\n"
                     "      Virtual Lane: Non-Operational\n"
                     "      I/O Throttling: None\n"
                     "      Status: Unconfigured\n"));
}

TEST(TargetInfo, OtherAdapterGroupsAndUnmatchedRemotePorts) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  // Group E adapter: lanes and throttling are not reported; device type 2 is a plain device.
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT4}).out,
            InfoText("Target Node Name: 50:00:c8:a1:00:00:30:00\n"
                     "      Target Port Name: 50:00:c8:a1:00:00:30:01\n"
                     "      Target Port ID: 02:1c:ef\n"
                     "      Target Number: 7\n"
                     "      Vendor ID: \n"
                     "      Product ID: \n"
                     "      Product Revision: \n"
                     "      Product Type: Device\n"
                     "      Serial Number: \n"
                     "      Lun Count: 4\n"
                     "      Luns: LUN_0, LUN_5, LUN_7, LUN_9\n"
                     "      Remote Type: Unknown\n"
                     "      Session State: NA\n"
                     "      Secure Mode: Disabled\n"
                     "      Congestion Current State: Healthy\n"
                     "      Virtual Lane: NA\n"
                     "      I/O Throttling: None\n"
                     "      Status: Offline\n"));
  // Remote-port record 1 matches the target but the port does not keep it.
  EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT1b}).out,
            InfoText("Target Node Name: 00:00:00:00:00:00:00:00\n"
                     "      Target Port Name: 50:00:c8:a1:00:00:10:01\n"
                     "      Target Port ID: 00:00:00\n"
                     "      Target Number: 1\n"
                     "      Vendor ID: \n"
                     "      Product ID: \n"
                     "      Product Revision: \n"
                     "      Product Type: FCP Disk\n"
                     "      Serial Number: \n"
                     "      Lun Count: 1\n"
                     "      Luns: LUN_4\n"
                     "      Remote Type: Unknown\n"
                     "      Session State: NA\n"
                     "      Secure Mode: Disabled\n"
                     "      Congestion Current State: Healthy\n"
                     "      Virtual Lane: NA\n"
                     "      I/O Throttling: None\n"
                     "      Status: Offline\n"));
}

namespace {

// A one-target inventory on a group C adapter; entry and target carry the extra keys.
std::string OneTarget(const std::string& entryExtra, const std::string& targetExtra) {
  return R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": "0x2230"}, "ports": [{"entries": [
    {"wwpn": "21:00:00:c8:a1:30:01:00")" + entryExtra + R"(, "targets": [
      {"wwpn": "50:00:c8:a1:00:00:10:01", "wwnn": "50:00:c8:a1:00:00:10:00", "portId": "01:0a:00",
       "targetNumber": 3, "luns": [0])" + targetExtra + "}]}]}]}]}";
}

std::string OneTargetBlock(const std::string& tail) {
  return "Target Node Name: 50:00:c8:a1:00:00:10:00\n"
         "      Target Port Name: 50:00:c8:a1:00:00:10:01\n"
         "      Target Port ID: 01:0a:00\n"
         "      Target Number: 3\n"
         "      Vendor ID: \n"
         "      Product ID: \n"
         "      Product Revision: \n"
         "      Product Type: FCP Disk\n"
         "      Serial Number: \n"
         "      Lun Count: 1\n"
         "      Luns: LUN_0\n" +
         tail;
}

}  // namespace

TEST(TargetInfo, SecurityLanesThrottlingAndStatus) {
  struct Case {
    const char* name;
    std::string entry;
    std::string target;
    std::string lines;  // Remote Type .. Status
  };
  const std::string rp1 = R"(, "driverCapabilities": 1)";
  const Case cases[] = {
      {"record 1 target only, auth failed", rp1, R"(, "remotePort1": {"flags": 2, "authState": 3})",
       "Target\nAuth Failed\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 1 initiator, auth above 5", rp1, R"(, "remotePort1": {"flags": 1, "authState": 6})",
       "Initiator\nAuth Unknown\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 1 no role, terminate", rp1, R"(, "remotePort1": {"flags": 16, "authState": 5})",
       "Unknown\nAuth Terminate\nEnabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 1 other port ID", rp1, R"(, "remotePort1": {"flags": 2, "authState": 4, "portId": "01:0a:01"})",
       "Unknown\nNA\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 1 other name, record 2 pending", rp1,
       R"(, "remotePort1": {"flags": 2, "wwpn": "50:00:c8:a1:00:00:10:02"}, "remotePort2": {"role": 2, "authState": 5})",
       "Initiator\nAuth Pending\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 2 not secured, auth 1", "", R"(, "remotePort2": {"role": 3, "authState": 1})",
       "Initiator-Target\nNA\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 2 not secured, auth 6", "", R"(, "remotePort2": {"role": 9, "authState": 6})",
       "Unknown\nAuth Failed\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 2 secured, auth 6", "", R"(, "remotePort2": {"role": 1, "security": 1, "authState": 6})",
       "Target\nAuth Unknown\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 2 security 2", "", R"(, "remotePort2": {"role": 1, "security": 2})",
       "Target\nAuth Unknown\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"record 2 other port ID", "", R"(, "remotePort2": {"role": 1, "portId": "00:0a:00"})",
       "Unknown\nNA\nDisabled\nHealthy\nNA\nNone\nOffline\n"},
      {"lane slow, throttling none", "", R"(, "virtualLane": 1, "ioThrottling": 1)",
       "Unknown\nNA\nDisabled\nHealthy\nSlow\nNone\nOffline\n"},
      {"lane fast", "", R"(, "virtualLane": 3)", "Unknown\nNA\nDisabled\nHealthy\nFast\nNone\nOffline\n"},
      {"throttling disabled by the port", R"(, "capabilityFlags": "0x80000000")", R"(, "ioThrottling": 0)",
       "Unknown\nNA\nDisabled\nHealthy\nNA\nDisabled\nOffline\n"},
      {"session without login", "", R"(, "sessionFlags": 1, "configFlags": "0x40")",
       "Unknown\nNA\nDisabled\nHealthy\nNA\nNone\nUnconfigured\n"},
      {"online wins over unconfigured", "", R"(, "online": true, "configFlags": "0x40", "congestion": 0)",
       "Unknown\nNA\nDisabled\nHealthy\nNA\nNone\nOnline\n"},
  };
  const char* labels[] = {"Remote Type",  "Session State", "Secure Mode", "Congestion Current State",
                          "Virtual Lane", "I/O Throttling", "Status"};
  Sandbox box;
  for (const Case& c : cases) {
    box.UseFixtureText(OneTarget(c.entry, c.target));
    std::string tail;
    size_t from = 0;
    for (const char* label : labels) {
      const size_t end = c.lines.find('\n', from);
      tail += std::string("      ") + label + ": " + c.lines.substr(from, end - from) + "\n";
      from = end + 1;
    }
    EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT1}).out, InfoText(OneTargetBlock(tail))) << c.name;
  }
}

TEST(TargetInfo, LunListThatDoesNotFitIsLeftOutWholeAtTheExactBound) {
  // Lines before the list, and after it, of a target with no other fields set.
  const std::string head =
      "Target Node Name: 00:00:00:00:00:00:00:00\n"
      "      Target Port Name: 50:00:c8:a1:00:00:10:01\n"
      "      Target Port ID: 00:00:00\n"
      "      Target Number: 0\n"
      "      Vendor ID: \n"
      "      Product ID: \n"
      "      Product Revision: \n"
      "      Product Type: FCP Disk\n"
      "      Serial Number: \n";
  const std::string tail =
      "      Remote Type: Unknown\n"
      "      Session State: NA\n"
      "      Secure Mode: Disabled\n"
      "      Congestion Current State: Healthy\n"
      "      Virtual Lane: NA\n"
      "      I/O Throttling: None\n"
      "      Status: Offline\n";
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
    ASSERT_LE(numbers.size(), 400u);
    std::string luns;
    for (unsigned n : numbers) luns += (luns.empty() ? "" : ", ") + std::to_string(n);
    Sandbox box(std::string("TargetInfoBound") + (fits ? "Fits" : "Over"));
    box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:30:01:00", "targets": [{"wwpn": "50:00:c8:a1:00:00:10:01", "lunCount": 400,
       "luns": [)" + luns + "]}]}]}]}]}");
    // When the list fills the block to its last byte nothing after it fits; one byte more and
    // the list is dropped with its label while the lines after it still appear.
    const std::string block = fits ? head + countLine + line : head + countLine + tail;
    EXPECT_EQ(box.Run({"-t", "target", "-v", "info", "getcli", kT1}).out, InfoText(block)) << (fits ? "fits" : "over");
  }
}

TEST(TargetStats, CountersOfTheTargetNamedByPortName) {
  Sandbox box = TracedBox("target-basic.json");
  const std::string block =
      "Node Name: 50:00:c8:a1:00:00:10:00\n"
      "      Port Name: 50:00:c8:a1:00:00:10:01\n"
      "      Port Id: 01:0a:00\n"
      "      Target Number: 3\n"
      "      Link Failure Count: 1\n"
      "      Loss Of Sync Count: 22\n"
      "      Loss Of Signal Count: 333\n"
      "      Primitive Sequence Protocol Error Count: 4444\n"
      "      Invalid Transmission Word Count: 55555\n"
      "      Invalid CRC Count: 4294967295\n";
  Result r = box.Run({"-t", "target", "-v", "stats", "getcli", kT1});
  EXPECT_EQ(r.out, TextReport("TargetStatistics", "Target Stats", "TargetStatsList", block));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetPortStatisticsFC"),
            std::vector<std::string>{"KXAPI_GetPortStatisticsFC port=21:00:00:c8:a1:30:01:00 handle=1 reserved=0 "
                                     "by=address target=50:00:c8:a1:00:00:10:01"});
  EXPECT_EQ(box.Run({"-t", "target", "-v", "stats", "get", kT1}).out,
            XmlReport("TargetStatistics", "Target Stats", "TargetStatsList", block));

  // Virtual ports are served; a target without counters shows zeros.
  r = box.Run({"-t", "target", "-v", "stats", "getcli", kT3});
  EXPECT_EQ(r.out, TextReport("TargetStatistics", "Target Stats", "TargetStatsList",
                              "Node Name: 00:00:00:00:00:00:00:00\n"
                              "      Port Name: 50:00:c8:a1:00:00:10:02\n"
                              "      Port Id: 00:00:00\n"
                              "      Target Number: 1\n"
                              "      Link Failure Count: 0\n"
                              "      Loss Of Sync Count: 0\n"
                              "      Loss Of Signal Count: 0\n"
                              "      Primitive Sequence Protocol Error Count: 0\n"
                              "      Invalid Transmission Word Count: 0\n"
                              "      Invalid CRC Count: 0\n"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetPortStatisticsFC").size(), 1u);
}

TEST(TargetStats, LibraryFailureIsAStatisticsReadError) {
  Sandbox box = TracedBox("target-basic.json");
  // The library answers 150 (maintenance mode); this family reports every failure as a read error.
  Result r = box.Run({"-t", "target", "-v", "stats", "getcli", kT4});
  EXPECT_EQ(r.out, TextError("TargetStatistics", "Target Stats", "Failed, Statistics read error"));
  EXPECT_EQ(LastStatus(box), 38u);
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetPortStatisticsFC").size(), 1u);
  EXPECT_EQ(box.Run({"-t", "target", "-v", "stats", "get", kT4}).out,
            XmlError("TargetStatistics", "Target Stats", "Failed, Statistics read error"));
  EXPECT_EQ(box.Run({"-t", "target", "-v", "stats", "getcli", "/?"}).out,
            TextError("TargetStatistics", "Target Stats", "Failed, Unknown") + kInfoUsage);
  EXPECT_EQ(LastStatus(box), 5u);
}

namespace {

std::string IidmaBlock(const std::string& node, const std::string& port, const std::string& id, unsigned number,
                       const std::string& speed) {
  return "Node Name: " + node + "\n      Port Name: " + port + "\n      Port Id: " + id +
         "\n      Target Number: " + std::to_string(number) + "\n      Target Maximum Link Speed: " + speed + "\n";
}

const std::string kT1Iidma16 = IidmaBlock("50:00:c8:a1:00:00:10:00", "50:00:c8:a1:00:00:10:01", "01:0a:00", 3, "16_Gbps");

}  // namespace

TEST(TargetIidma, GetShowsTheSpeedLimitedToThePort) {
  Sandbox box = TracedBox("target-basic.json");
  Result r = box.Run({"-t", "target", "-v", "iidma", "getcli", kT1});
  EXPECT_EQ(r.out, IidmaText(kT1Iidma16));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetTargetLinkSpeed"),
            std::vector<std::string>{"KXAPI_GetTargetLinkSpeed port=21:00:00:c8:a1:30:01:00 target=3"});
  EXPECT_EQ(box.Run({"-t", "target", "-v", "iidma", "get", kT1}).out,
            XmlReport("TargetIIDMAInformation", "Target IIDMA Info", "TargetIIDMAInfoList", kT1Iidma16));
  // The target reports 32 Gbps; its port tops out at 16 Gbps.
  EXPECT_EQ(box.Run({"-t", "target", "-v", "iidma", "getcli", kT4}).out,
            IidmaText(IidmaBlock("50:00:c8:a1:00:00:30:00", "50:00:c8:a1:00:00:30:01", "02:1c:ef", 7, "16_Gbps")));
  // Virtual ports are refused before the library is asked.
  r = box.Run({"-t", "target", "-v", "iidma", "getcli", kT3});
  EXPECT_EQ(r.out, IidmaError("Failed, Feature not supported for virtual port"));
  EXPECT_EQ(LastStatus(box), 51u);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_GetTargetLinkSpeed").empty());
}

TEST(TargetIidma, GetSpeedWordsAndLimits) {
  struct Case {
    const char* mask;
    const char* code;
    const char* shown;
  };
  const Case cases[] = {
      {"0xf0", "0x64", "64_Gbps"}, {"0x70", "0x64", "32_Gbps"}, {"0x30", "0x32", "16_Gbps"},
      {"0x08", "0x16", "4_Gbps"},  {"0x03", "0x08", "2_Gbps"},  {"0x01", "0x02", "1_Gbps"},
      {"0x04", "0x08", "Unknown"}, {"0x04", "0x10", "10_Gbps"}, {"0x01", "0x10", "10_Gbps"},
      {"0x70", "0x33", "Unknown"}, {"0x70", "0x00", "Unknown"}, {"0x10", "0x08", "8_Gbps"},
  };
  Sandbox box;
  for (const Case& c : cases) {
    box.UseFixtureText(OneTarget(std::string(R"(, "supportedSpeeds": ")") + c.mask + "\"",
                                 std::string(R"(, "iidmaSpeed": ")") + c.code + "\""));
    EXPECT_EQ(box.Run({"-t", "target", "-v", "iidma", "getcli", kT1}).out,
              IidmaText(IidmaBlock("50:00:c8:a1:00:00:10:00", "50:00:c8:a1:00:00:10:01", "01:0a:00", 3, c.shown)))
        << c.mask << " " << c.code;
  }
}

TEST(TargetIidma, SetAcceptedIsKeptAndEqualSpeedIsNotSetAgain) {
  Sandbox box = TracedBox("target-basic.json");
  Result r = box.Run({"-t", "target", "-v", "iidma", "setcli", kT1, "8_gbps"});
  EXPECT_EQ(r.out, IidmaText(IidmaBlock("50:00:c8:a1:00:00:10:00", "50:00:c8:a1:00:00:10:01", "01:0a:00", 3, "8_Gbps")));
  EXPECT_EQ(LastStatus(box), 0u);
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetTargetLinkSpeed").size(), 1u);
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetTargetLinkSpeed"),
            std::vector<std::string>{"KXAPI_SetTargetLinkSpeed port=21:00:00:c8:a1:30:01:00 target=3 speed=0x8"});

  r = box.Run({"-t", "target", "-v", "iidma", "getcli", kT1});
  EXPECT_EQ(r.out, IidmaText(IidmaBlock("50:00:c8:a1:00:00:10:00", "50:00:c8:a1:00:00:10:01", "01:0a:00", 3, "8_Gbps")));

  r = box.Run({"-t", "target", "-v", "iidma", "set", kT1, "8_Gbps"});
  EXPECT_EQ(r.out, XmlReport("TargetIIDMAInformation", "Target IIDMA Info", "TargetIIDMAInfoList",
                             IidmaBlock("50:00:c8:a1:00:00:10:00", "50:00:c8:a1:00:00:10:01", "01:0a:00", 3, "8_Gbps")));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetTargetLinkSpeed").size(), 1u);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SetTargetLinkSpeed").empty());

  // "1_Gbps" sets 1 Gbps; a word that names no speed it knows is refused.
  r = box.Run({"-t", "target", "-v", "iidma", "setcli", kT1, "1_GBPS"});
  EXPECT_EQ(r.out, IidmaText(IidmaBlock("50:00:c8:a1:00:00:10:00", "50:00:c8:a1:00:00:10:01", "01:0a:00", 3, "1_Gbps")));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetTargetLinkSpeed"),
            std::vector<std::string>{"KXAPI_SetTargetLinkSpeed port=21:00:00:c8:a1:30:01:00 target=3 speed=0x1"});
  r = box.Run({"-t", "target", "-v", "iidma", "set", kT1, "fast"});
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SetTargetLinkSpeed").empty());
}

TEST(TargetIidma, SetRefusals) {
  Sandbox box = TracedBox("target-basic.json");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    unsigned status;
    std::string out;
  };
  const std::string setUsage = "Usage: set [port identifier]\r\n";
  const Case cases[] = {
      {"above the port's maximum", {"setcli", kT4, "32_Gbps"}, 44,
       IidmaError("Failed, Speed not supported for this adapter")},
      {"10 Gbps", {"setcli", kT1, "10_GBPS"}, 44, IidmaError("Failed, Speed not supported for this adapter")},
      {"read-only adapter group", {"setcli", kT5, "8_Gbps"}, 8, IidmaError("Failed, Read-Only feature for this adapter")},
      {"virtual port", {"setcli", kT3, "8_Gbps"}, 51, IidmaError("Failed, Feature not supported for virtual port")},
      {"no speed word", {"setcli", kT1}, 6, IidmaError("Failed, Invalid parameter") + setUsage},
      {"unknown target", {"setcli", kT1 + "x", "8_Gbps"}, 6, IidmaError("Failed, Invalid parameter") + setUsage},
      {"xml form", {"set", kT4, "64_Gbps"}, 44,
       XmlError("TargetIIDMAInformation", "Target IIDMA Info", "Failed, Speed not supported for this adapter")},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"-t", "target", "-v", "iidma"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Result r = box.Run(args);
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(LastStatus(box), c.status) << c.name;
    // Each is refused before the library is asked anything about the target.
    EXPECT_TRUE(CallsNamed(r, "KXAPI_GetTargetLinkSpeed").empty()) << c.name;
    EXPECT_TRUE(CallsNamed(r, "KXAPI_SetTargetLinkSpeed").empty()) << c.name;
  }
}

TEST(TargetIidma, LibraryFailures) {
  Sandbox box = TracedBox("target-basic.json");
  box.UseFixtureText(OneTarget(R"(, "supportedSpeeds": "0x70")", "") + "");
  const std::string fixture = ReadFile(box.File("fixture.json"));
  auto scripted = [&](const std::string& call, int rc) {
    std::string text = fixture;
    text.insert(text.rfind('}'), ", \"calls\": [{\"call\": \"" + call + "\", \"rc\": " + std::to_string(rc) + "}]");
    box.UseFixtureText(text);
  };
  scripted("KXAPI_GetTargetLinkSpeed", 150);
  EXPECT_EQ(box.Run({"-t", "target", "-v", "iidma", "getcli", kT1}).out, IidmaError("Failed, IIDMA read failed"));
  EXPECT_EQ(LastStatus(box), 13u);
  EXPECT_EQ(box.Run({"-t", "target", "-v", "iidma", "setcli", kT1, "16_Gbps"}).out,
            IidmaError("Failed, IIDMA read failed"));
  EXPECT_EQ(LastStatus(box), 13u);
  scripted("KXAPI_SetTargetLinkSpeed", 7);
  Result r = box.Run({"-t", "target", "-v", "iidma", "setcli", kT1, "16_Gbps"});
  EXPECT_EQ(r.out, IidmaError("Failed, IIDMA set failed"));
  EXPECT_EQ(LastStatus(box), 20u);
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetTargetLinkSpeed").size(), 1u);
}
