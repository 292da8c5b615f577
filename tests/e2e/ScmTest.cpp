// SAN congestion management: port and target statistics, status words,
// the profile and the clearing of statistics, each row on a fixture of its own.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:50:00:01";
const std::string kTarget = kPort + "_Target_50:00:c8:a1:00:00:50:01";
const std::string kTargetNames = R"("wwnn": "20:00:00:c8:a1:00:50:01", "wwpn": "50:00:c8:a1:00:00:50:01")";
const std::string kPhase1 = R"("capabilityFlags": "0x00800000")";
const std::string kPhase2 = R"("capabilityFlags": "0x04000000")";
const std::string kGroupA = "0x2031";
const std::string kGroupB = "0x2141";
const std::string kGroupE = "0x2350";

const std::string kMaintenance = "Failed, Command not supported when adapter port in maintenance mode";
const std::string kNoSupport = "Failed, Driver/Firmware does not support this feature";
const std::string kReadError = "Failed, Statistics read error";
const std::string kDivider = "      -----------------------------------\n";

// One adapter, one port, one target; each row adds its own fields and calls.
struct ScmFixture {
  std::string port = "";
  std::string target = "";
  std::string calls = "";
  std::string device = "0x2230";  // group C
  bool virtualPort = false;
};

std::string Join(const std::string& a, const std::string& b) { return b.empty() ? a : a + ", " + b; }

Result RunOn(Sandbox& box, const ScmFixture& s, const std::vector<std::string>& words) {
  const std::string target = Join(kTargetNames + R"(, "portId": "0a:0b:0c", "targetNumber": 7)", s.target);
  const std::string port =
      Join(R"("wwpn": "21:00:00:c8:a1:50:00:01", "wwnn": "20:00:00:c8:a1:50:00:01", "portId": "01:02:03",)"
           R"( "portState": 1)" + std::string(s.virtualPort ? R"(, "interface": 3)" : ""),
           s.port);
  box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": ")" + s.device +
                     R"(", "subDevice": "0x0101"}, "ports": [{"entries": [{)" + port + R"(, "targets": [{)" + target +
                     "}]}]}]}], \"calls\": [" + s.calls + "]}");
  return box.Run(words);
}

std::vector<std::string> Words(const std::string& mode, const std::string& sub, const std::string& command,
                               const std::string& id) {
  return {"-t", mode, mode == "port" ? "-s" : "-v", sub, command, id};
}

const std::string kPortIdentity =
    "Node Name: 20:00:00:c8:a1:50:00:01\n      Port Name: 21:00:00:c8:a1:50:00:01\n"
    "      Port Id: 01:02:03\n      Port State: Online\n";
const std::string kTargetIdentity =
    "Node Name: 20:00:00:c8:a1:00:50:01\n      Port Name: 50:00:c8:a1:00:00:50:01\n"
    "      Port Id: 0a:0b:0c\n      Target Number: 7\n";

std::string PairLines(const std::vector<std::pair<std::string, std::string>>& lines) {
  std::string text;
  for (const auto& [label, value] : lines) text += "      " + label + ": " + value + "\n";
  return text;
}

// A record of the statistics list: counter i is base + i, but for the overrides.
std::string Record(int kind, const std::string& names, int base, const std::string& extra = "") {
  std::string counters;
  for (int i = 0; i < 26; ++i) counters += (i ? ", " : "") + std::to_string(base + i);
  return "{\"kind\": " + std::to_string(kind) + (names.empty() ? "" : ", " + names) + ", \"counters\": [" + counters +
         "]" + (extra.empty() ? "" : ", " + extra) + "}";
}

const std::string kOtherNames = R"("wwnn": "20:00:00:c8:a1:00:60:01", "wwpn": "50:00:c8:a1:00:00:60:01")";

struct ScmDoc {
  const char* structure;
  const char* list;
  const char* element;
};
const ScmDoc kPortStats = {"PortUSCMStatistics", "Port USCM Stats", "PortUSCMStatsList"};
const ScmDoc kTargetStats = {"TargetUSCMStatistics", "Target USCM Stats", "TargetUSCMStatsList"};
const ScmDoc kPortStatus = {"PortUSCMInformation", "Port USCM Status", "PortUSCMStatusList"};
const ScmDoc kTargetStatus = {"TargetUSCMInformation", "Target USCM Status", "TargetUSCMStatusList"};
const ScmDoc kProfile = {"PortUSCMProfile", "Congestion Profile", "CongestionProfileList"};

std::string Text(const ScmDoc& d, const std::string& block) { return Report(d.structure, d.list, d.element, block).Text(); }
std::string Xml(const ScmDoc& d, const std::string& block) { return Report(d.structure, d.list, d.element, block).Xml(); }
std::string Error(const ScmDoc& d, const std::string& message) { return ListError(d.structure, d.list, message).Text(); }

}  // namespace

TEST(ScmStats, PortAndTargetReportsInBothForms) {
  Sandbox box;
  struct Case {
    const char* situation;
    ScmFixture setup;
    bool target;
    std::string block;
  };
  const std::vector<Case> cases = {
      {"port phase 1: trailing comma of two words, 32-bit alarm count",
       {Join(kPhase1, R"("scmNotifications": 3, "scmLinkEventType": 15, "scmLinkEventThreshold": 250,
                      "linkFailures": 1, "lossOfSync": 2, "lossOfSignal": 3, "primitiveSequenceErrors": 4,
                      "invalidTransmissionWords": 5, "invalidCrcs": 6, "scmDeliveryEventType": 15,
                      "scmCongestionEventType": 7, "scmCongestionPeriod": 1000, "scmSeverity": "0xF7",
                      "scmAlarmCount": 4294967301, "scmWarningCount": 9)")},
       false,
       kPortIdentity + "      Congestion Notification: Congestion, Delivery, \n" +
           PairLines({{"Link Event Type", "Device Specific"}, {"Link Event Threshold", "250 (ms)"},
                  {"Link Failure Count", "1"}, {"Loss Of Sync Count", "2"}, {"Loss Of Signal Count", "3"},
                  {"Primitive Sequence Protocol Error Count", "4"}, {"Invalid Transmission Word Count", "5"},
                  {"Invalid CRC Count", "6"}, {"Delivery Notification", "Device Specific"},
                  {"Congestion Event Type", "Reserved"}, {"Congestion Event Period", "1000 (ms)"},
                  {"Congestion Severity", "Alarm"}, {"Congestion Alarm Count", "5"},
                  {"Congestion Warning Count", "9"}})},
      {"port phase 2: the port's record comes third, 64-bit counters",
       {Join(kPhase2, "\"scmrStats\": [" + Record(2, kTargetNames, 900) + ", " + Record(1, kOtherNames, 800) +
                          ", " + Record(128, "", 10, R"("fecUncorrectable": 77)") + "]")},
       false,
       kPortIdentity + kDivider + "      Congestion Mitigation\n" + kDivider +
           PairLines({{"Congestion Alarm Count", "10"}, {"Congestion Warning Count", "11"},
                  {"Cleared Congestion Count", "12"}, {"Throttled Up Count", "14"}, {"Throttled Down Count", "13"},
                  {"Bottomed Out Count", "16"}, {"Returned Busy Count", "15"}}) +
           kDivider + "      Rx Fabric Performance Impact \n      Notifications\n" + kDivider +
           PairLines({{"Link Failure Count", "17"}, {"Link Unknown Event Count", "18"}, {"Loss Of Sync Count", "19"},
                  {"Loss Of Signal Count", "20"}, {"Link Device Specific Event Count", "24"},
                  {"Primitive Sequence Protocol Error Count", "21"}, {"Invalid Transmission Word Count", "22"},
                  {"Invalid CRC Count", "23"}, {"Link Uncorrectable FEC Count", "77"},
                  {"Delivery Failure Unknown Count", "25"}, {"Delivery Timeout Count", "26"},
                  {"Delivery Unable To Route Count", "27"}, {"Delivery Failure Device Specific Count", "28"},
                  {"Congestion Clear Count", "29"}, {"Congestion Lost Credit Count", "30"},
                  {"Congestion Credit Stall Count", "31"}, {"Congestion Oversubscription Count", "32"},
                  {"Congestion Device Specific Count", "33"}}) +
           kDivider},
      {"port phase 2 without the port's record: identity only",
       {Join(kPhase2, "\"scmrStats\": [" + Record(2, kTargetNames, 900) + "]")}, false, kPortIdentity},
      {"target phase 1: counters of the FC statistics record, target delivery words",
       {kPhase1,
        R"("scmNotifications": "0x0E", "scmLinkEventType": 3, "scmLinkEventThreshold": 100,
           "scmDeliveryEventType": 15, "scmPeerEventType": 2, "scmPeerPeriod": 500,
           "linkStats": {"linkFailure": 1, "lossOfSync": 2, "lossOfSignal": 3, "primitiveSeqError": 4,
                         "invalidTxWord": 5, "invalidCrc": 6, "0x30": 7, "0x34": 8, "0x38": 9, "0x3c": 10,
                         "0x40": 11, "0x44": 12, "0x48": 13, "0x4c": 14, "0x50": 15, "0x68": 16, "0x6c": 17})"},
       true,
       kTargetIdentity + "      Congestion Notification: Delivery, Link Integrity, Peer Congestion\n" +
           PairLines({{"Link Event Type", "Loss Of Signal"}, {"Link Event Threshold", "100 (ms)"},
                  {"Link Failure Count", "1"}, {"Link Unknown Event Count", "16"}, {"Loss Of Sync Count", "2"},
                  {"Loss Of Signal Count", "3"}, {"Link Device Specific Event Count", "17"},
                  {"Primitive Sequence Protocol Error Count", "4"}, {"Invalid Transmission Word Count", "5"},
                  {"Invalid CRC Count", "6"}, {"Delivery Notification", "Reserved"},
                  {"Delivery Failure Unknown Count", "7"}, {"Delivery Timeout Count", "8"},
                  {"Delivery Unable To Route Count", "9"}, {"Delivery Failure Device Specific Count", "10"},
                  {"Peer Congestion Event Type", "Credit Stall"}, {"Peer Congestion Event Period", "500 (ms)"},
                  {"Peer Congestion Clear Count", "11"}, {"Peer Congestion Lost Credit Count", "12"},
                  {"Peer Congestion Credit Stall Count", "13"}, {"Peer Congestion Oversubscription Count", "14"},
                  {"Peer Congestion Device Specific Count", "15"}})},
      {"target phase 2: the head carries the target's names but is not searched",
       {Join(kPhase2, "\"scmrStats\": [" + Record(2, kTargetNames, 900) + ", " + Record(128, "", 800) + ", " +
                          Record(2, kTargetNames, 100, R"("fecUncorrectable": 99)") + "]")},
       true,
       kTargetIdentity + kDivider + "      Congestion Mitigation\n" + kDivider +
           PairLines({{"Cleared Congestion Count", "102"}, {"Throttled Up Count", "104"},
                  {"Throttled Down Count", "103"}, {"Bottomed Out Count", "106"}, {"Returned Busy Count", "105"}}) +
           kDivider + "      Rx Fabric Performance Impact \n      Notifications\n" + kDivider +
           PairLines({{"Link Failure Count", "107"}, {"Link Unknown Event Count", "108"}, {"Loss Of Sync Count", "109"},
                  {"Loss Of Signal Count", "110"}, {"Link Device Specific Event Count", "114"},
                  {"Primitive Sequence Protocol Error Count", "111"}, {"Invalid Transmission Word Count", "112"},
                  {"Invalid CRC Count", "113"}, {"Link Uncorrectable FEC Count", "99"},
                  {"Congestion Clear Count", "119"}, {"Congestion Lost Credit Count", "120"},
                  {"Congestion Credit Stall Count", "121"}, {"Congestion Oversubscription Count", "122"},
                  {"Congestion Device Specific Count", "123"}, {"PUN Count", "125"}})},
      {"target phase 2, target only in the head: identity only",
       {Join(kPhase2, "\"scmrStats\": [" + Record(2, kTargetNames, 900) + ", " + Record(128, "", 800) + "]")},
       true, kTargetIdentity},
  };
  for (const Case& c : cases) {
    const ScmDoc& doc = c.target ? kTargetStats : kPortStats;
    const std::string mode = c.target ? "target" : "port";
    const std::string id = c.target ? kTarget : kPort;
    Result text = RunOn(box, c.setup, Words(mode, "scmstats", "getcli", id));
    EXPECT_EQ(text.out, Text(doc, c.block)) << c.situation;
    EXPECT_EQ(RunOn(box, c.setup, Words(mode, "scmstats", "get", id)).out, Xml(doc, c.block)) << c.situation;
    // Every list handed out is given back.
    EXPECT_EQ(CallsNamed(text, "KXAPI_FreeSCMRStatisticsList").size(),
              CallsNamed(text, "KXAPI_GetSCMRStatisticsList").size()) << c.situation;
    EXPECT_EQ(text.calls.find("never freed"), std::string::npos) << c.situation;
  }
}

TEST(ScmStats, TargetPhaseOneNamesTheTargetInTheRecord) {
  Sandbox box;
  Result r = RunOn(box, {kPhase1}, Words("target", "scmstats", "getcli", kTarget));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetPortStatisticsFC"),
            std::vector<std::string>{"KXAPI_GetPortStatisticsFC port=21:00:00:c8:a1:50:00:01 handle=1 reserved=0 "
                                     "by=record target=50:00:c8:a1:00:00:50:01"});
}

TEST(ScmStats, RefusalsAndFailures) {
  Sandbox box;
  const std::string disabled = "Failed, Feature disabled on the port";
  const std::string list = "\"scmrStats\": [" + Record(128, "", 0) + "]";
  struct Case {
    const char* situation;
    ScmFixture setup;
    std::string message;
    size_t featureQueries;
    size_t frees;
  };
  const std::vector<Case> cases = {
      {"adapter outside groups A-C", {kPhase2, "", "", kGroupE}, "Failed, Feature not supported for this adapter", 0, 0},
      {"no SCM capability", {R"("capabilityFlags": "0x40000000")"}, kNoSupport, 0, 0},
      {"virtual port", {kPhase2, "", "", "0x2230", true}, "Failed, Feature not supported for virtual port", 0, 0},
      {"feature disabled", {Join(kPhase2, R"("uscmEnabled": 0)")}, disabled, 1, 0},
      {"feature query in maintenance mode",
       {kPhase2, "", R"({"call": "KXAPI_IsUSCMFeatureEnabled", "rc": 150})"}, kMaintenance, 1, 0},
      {"feature query fails",
       {kPhase2, "", R"({"call": "KXAPI_IsUSCMFeatureEnabled", "rc": 9})"}, "Failed, USCM settings read error", 1, 0},
      {"no statistics list", {kPhase2}, kReadError, 1, 0},
      {"list call in maintenance mode",
       {Join(kPhase2, list), "", R"({"call": "KXAPI_GetSCMRStatisticsList", "rc": 150})"}, kMaintenance, 1, 0},
      {"list call fails yet hands a list back",
       {kPhase2, "", R"({"call": "KXAPI_GetSCMRStatisticsList", "rc": 5, )" + list + "}"}, kReadError, 1, 1},
  };
  for (const bool target : {false, true}) {
    const ScmDoc& doc = target ? kTargetStats : kPortStats;
    for (const Case& c : cases) {
      Result r = RunOn(box, c.setup, Words(target ? "target" : "port", "scmstats", "getcli", target ? kTarget : kPort));
      EXPECT_EQ(r.out, Error(doc, c.message)) << c.situation << (target ? " (target)" : "");
      EXPECT_EQ(CallsNamed(r, "KXAPI_IsUSCMFeatureEnabled").size(), c.featureQueries) << c.situation;
      EXPECT_EQ(CallsNamed(r, "KXAPI_FreeSCMRStatisticsList").size(), c.frees) << c.situation;
      EXPECT_EQ(r.calls.find("never freed"), std::string::npos) << c.situation;
    }
  }
  EXPECT_EQ(RunOn(box, {Join(kPhase2, R"("uscmEnabled": 0)")}, Words("port", "scmstats", "get", kPort)).out,
            ListError("PortUSCMStatistics", "Port USCM Stats", disabled).Xml());

  // Phase 1 of a target reads its FC statistics.
  const ScmFixture statsFail = {kPhase1, "", R"({"call": "KXAPI_GetPortStatisticsFC", "rc": 150})"};
  EXPECT_EQ(RunOn(box, statsFail, Words("target", "scmstats", "getcli", kTarget)).out, Error(kTargetStats, kMaintenance));

  // A list that cannot be given back: the statistics, then the failure.
  const ScmFixture freeFails = {Join(kPhase2, "\"scmrStats\": [" + Record(128, "", 0) + "]"), "",
                           R"({"call": "KXAPI_FreeSCMRStatisticsList", "rc": 4})"};
  Result r = RunOn(box, freeFails, Words("port", "scmstats", "getcli", kPort));
  EXPECT_EQ(r.out.substr(r.out.find(kStars, 1) + kStars.size()),
            Error(kPortStats, "Failed, Statistics list clear error"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_FreeSCMRStatisticsList"), std::vector<std::string>{"KXAPI_FreeSCMRStatisticsList records=1"});
  r = RunOn(box, {Join(kPhase2, "\"scmrStats\": [" + Record(2, kOtherNames, 0) + "]"), "", freeFails.calls},
          Words("target", "scmstats", "get", kTarget));
  EXPECT_EQ(r.out, Xml(kTargetStats, kTargetIdentity) +
                       ListError("TargetUSCMStatistics", "Target USCM Stats", "Failed, Statistics list clear error").Xml());
}

TEST(ScmChk, StatusWordsPerDeviceGroup) {
  Sandbox box;
  struct Case {
    const char* situation;
    ScmFixture setup;
    bool target;
    std::string tail;
  };
  const std::vector<Case> cases = {
      {"group C, Brocade, operational lane, throttling active",
       {Join(kPhase2, R"("scmCongestionState": 1, "scmSeverity": "0xF1", "scmLinkIntegrityEvents": 1,
                      "scmSecondsSinceEvent": 42, "scmFabricFlags": 3, "scmVirtualLane": 1, "scmIoThrottling": 2)")},
       false,
       PairLines({{"Congestion Current State", "Congested"}, {"Congestion Severity", "Warning"},
              {"Link Integrity Events", "Yes"}, {"Delivery Notification Events", "No"},
              {"Seconds Since Last Event", "42"}, {"Fabric Connection Flags", "RDF Completed (Brocade)"},
              {"Virtual Lane", "Operational"}, {"I/O Throttling", "Active"}})},
      {"group C, Cisco, non-operational lane, no throttling even with it switched off",
       {Join(R"("capabilityFlags": "0x84000000")", R"("scmCongestionState": 2, "scmDeliveryEvents": 5,
                      "scmFabricFlags": 5, "scmVirtualLane": 2, "scmIoThrottling": 1)")},
       false,
       PairLines({{"Congestion Current State", "Unknown"}, {"Congestion Severity", "None"},
              {"Link Integrity Events", "No"}, {"Delivery Notification Events", "Yes"},
              {"Seconds Since Last Event", "0"}, {"Fabric Connection Flags", "RDF Completed (Cisco)"},
              {"Virtual Lane", "Non-Operational"}, {"I/O Throttling", "None"}})},
      {"group C, rejected registration, lane off, throttling switched off",
       {Join(R"("capabilityFlags": "0x84000000")", R"("scmSeverity": 16, "scmFabricFlags": 2)")},
       false,
       PairLines({{"Congestion Current State", "Healthy"}, {"Congestion Severity", "Reserved"},
              {"Link Integrity Events", "No"}, {"Delivery Notification Events", "No"},
              {"Seconds Since Last Event", "0"}, {"Fabric Connection Flags", "RDF Reject"},
              {"Virtual Lane", "Disabled"}, {"I/O Throttling", "Disabled"}})},
      {"group A: no lanes; throttling value 0 without the switch-off bit",
       {Join(kPhase2, R"("scmFabricFlags": 1, "scmVirtualLane": 1)"), "", "", kGroupA},
       false,
       PairLines({{"Congestion Current State", "Healthy"}, {"Congestion Severity", "None"},
              {"Link Integrity Events", "No"}, {"Delivery Notification Events", "No"},
              {"Seconds Since Last Event", "0"}, {"Fabric Connection Flags", "RDF Completed"},
              {"Virtual Lane", "Disabled"}, {"I/O Throttling", "None"}})},
      {"target, group C with lanes: unknown lane value, throttling active",
       {R"("capabilityFlags": "0x44000000")",
        R"("congestion": 1, "scmLinkIntegrityEvents": 3, "scmSecondsSinceEvent": 9, "ioThrottling": 2)"},
       true,
       PairLines({{"Congestion Current State", "Congested"}, {"Link Integrity Events", "Yes"},
              {"Seconds Since Last Event", "9"}, {"Virtual Lane", "Non-Operational"}, {"I/O Throttling", "Active"}})},
      {"target, group C without lanes bit: fast lane; throttling switched off",
       {R"("capabilityFlags": "0x84000000")", R"("virtualLane": 3)"},
       true,
       PairLines({{"Congestion Current State", "Healthy"}, {"Link Integrity Events", "No"},
              {"Seconds Since Last Event", "0"}, {"Virtual Lane", "Fast"}, {"I/O Throttling", "Disabled"}})},
      {"target, group C: slow lane; value 1 reads None as on the port",
       {R"("capabilityFlags": "0x84000000")", R"("virtualLane": 1, "ioThrottling": 1, "congestion": 4)"},
       true,
       PairLines({{"Congestion Current State", "Unknown"}, {"Link Integrity Events", "No"},
              {"Seconds Since Last Event", "0"}, {"Virtual Lane", "Slow"}, {"I/O Throttling", "None"}})},
      {"target, group B: no lanes, unknown lane value without lanes bit",
       {kPhase2, R"("virtualLane": 2)", "", kGroupB},
       true,
       PairLines({{"Congestion Current State", "Healthy"}, {"Link Integrity Events", "No"},
              {"Seconds Since Last Event", "0"}, {"Virtual Lane", "NA"}, {"I/O Throttling", "None"}})},
  };
  for (const Case& c : cases) {
    const ScmDoc& doc = c.target ? kTargetStatus : kPortStatus;
    const std::string block = (c.target ? kTargetIdentity : kPortIdentity) + c.tail;
    const std::string mode = c.target ? "target" : "port";
    const std::string id = c.target ? kTarget : kPort;
    EXPECT_EQ(RunOn(box, c.setup, Words(mode, "scmchk", "getcli", id)).out, Text(doc, block)) << c.situation;
    EXPECT_EQ(RunOn(box, c.setup, Words(mode, "scmchk", "get", id)).out, Xml(doc, block)) << c.situation;
  }
  // The status needs phase 2.
  EXPECT_EQ(RunOn(box, {kPhase1}, Words("port", "scmchk", "getcli", kPort)).out, Error(kPortStatus, kNoSupport));
  EXPECT_EQ(RunOn(box, {kPhase1}, Words("target", "scmchk", "getcli", kTarget)).out, Error(kTargetStatus, kNoSupport));
  EXPECT_EQ(RunOn(box, {Join(kPhase2, R"("uscmEnabled": 0)")}, Words("target", "scmchk", "getcli", kTarget)).out,
            Error(kTargetStatus, "Failed, Feature disabled on the port"));
}

TEST(ScmProfile, GetAndSetKeepEveryByteTheOptionsDoNotOwn) {
  // Bytes 3-15 of the stand-in's record carry 0xA5 ^ offset.
  const std::string tail = "a6a1a0a3a2adacafaea9a8abaa";
  // A bad value is also shown with the usage text.
  const std::string kInvalid = "Failed, Invalid parameter";
  const std::string fromNvram = R"("scmProfile": "01 01 02")";
  struct Case {
    const char* situation;
    std::string profile;
    std::vector<std::string> words;
    std::string calls;
    std::string expected;  // the block, or the failure message
    std::string written;   // the record set, "" when nothing is written
    bool failed = false;
  };
  auto shown = [](const char* configured, const char* management, const char* activation) {
    return kPortIdentity + PairLines({{"USCM Configuration Status", configured}, {"USCM Profile Management", management},
                                  {"USCM Profile Activation", activation}});
  };
  const std::vector<Case> cases = {
      {"get", "", {"getcli"}, "", shown("true", "Driver_Settings", "Monitor_Only"), ""},
      {"get an unknown profile", R"("scmProfile": "01 01 07")", {"getcli"}, "", shown("false", "NVRAM", "Unknown"), ""},
      {"activation", "", {"setcli", "-a", "aggressive"}, "", shown("true", "NVRAM", "Aggressive"), "000103" + tail},
      {"activation, long option", "", {"setcli", "--ACTIVATION", "Defensive"}, "", shown("true", "NVRAM", "Defensive"),
       "000104" + tail},
      {"restore", fromNvram, {"setcli", "-r", "driver_settings"}, "", shown("false", "Driver_Settings", "Moderate"),
       "010002" + tail},
      {"neither option writes the record back", fromNvram, {"setcli"}, "", shown("false", "NVRAM", "Moderate"),
       "010102" + tail},
      {"both options", "", {"setcli", "-r", "Driver_Settings", "-a", "Moderate"}, "",
       "Failed, Restore and Activation command-line options are mutually exclusive", "", true},
      {"restore to NVRAM", "", {"setcli", "-r", "NVRAM"}, "", kInvalid, "", true},
      {"unknown profile", "", {"setcli", "--activation", "Fast"}, "", kInvalid, "", true},
      {"unknown option", "", {"setcli", "-x", "1"}, "", kInvalid, "", true},
      {"option=value form", "", {"setcli", "--activation=Moderate"}, "", kInvalid, "", true},
      {"option without a value", "", {"setcli", "-a"}, "", kInvalid, "", true},
      {"read in maintenance mode", "", {"getcli"}, R"({"call": "KXAPI_GetSCMRProfile", "rc": 150})", kMaintenance, "",
       true},
      {"read fails", "", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_GetSCMRProfile", "rc": 3})",
       "Failed, NVRAM read failed", "", true},
      {"write in maintenance mode", "", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_SetSCMRProfile", "rc": 150})",
       kMaintenance, "000102" + tail, true},
      {"write fails", "", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_SetSCMRProfile", "rc": 5})",
       "Failed, NVRAM update failed", "000102" + tail, true},
      {"re-read after the write fails", "", {"setcli", "-a", "Moderate"},
       R"({"call": "KXAPI_GetSCMRProfile", "nth": 2, "rc": 6})", "Failed, NVRAM read failed", "000102" + tail, true},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    Sandbox box(::testing::UnitTest::GetInstance()->current_test_info()->name() + std::to_string(i));
    std::vector<std::string> words = {"-t", "port", "-s", "scmprofile", c.words[0], kPort};
    words.insert(words.end(), c.words.begin() + 1, c.words.end());
    Result r = RunOn(box, {Join(kPhase2, c.profile), "", c.calls}, words);
    EXPECT_EQ(r.out, c.failed ? Error(kProfile, c.expected) + (c.expected == kInvalid ? "Usage: set\r\n" : "")
                              : Text(kProfile, c.expected))
        << c.situation;
    const std::vector<std::string> written = CallsNamed(r, "KXAPI_SetSCMRProfile");
    EXPECT_EQ(written, c.written.empty() ? std::vector<std::string>{}
                                         : std::vector<std::string>{"KXAPI_SetSCMRProfile port=21:00:00:c8:a1:50:00:01 "
                                                                    "record=" + c.written})
        << c.situation;
  }

  Sandbox box;
  EXPECT_EQ(RunOn(box, {kPhase2}, {"-t", "port", "-s", "scmprofile", "get", kPort}).out,
            Xml(kProfile, shown("true", "Driver_Settings", "Monitor_Only")));
  // Refused before the library is asked: phase 1 only, and a virtual port even without the capability.
  Result r = RunOn(box, {kPhase1}, {"-t", "port", "-s", "scmprofile", "setcli", kPort, "-a", "Moderate"});
  EXPECT_EQ(r.out, Error(kProfile, kNoSupport));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_GetSCMRProfile").empty());
  EXPECT_EQ(RunOn(box, {"", "", "", "0x2230", true}, {"-t", "port", "-s", "scmprofile", "getcli", kPort}).out,
            Error(kProfile, "Failed, Feature not supported for virtual port"));
}

TEST(ScmStats, ClearMapsTheLibraryResult) {
  Sandbox box;
  auto text = [](const std::string& message) {
    return kStars + "USCMStatisticsClear:\nMessage: " + message + "\n" + kStars;
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"0", "Success"},
      {"118", kNoSupport},
      {"150", kMaintenance},
      {"40", "Failed, Memory Error"},
      {"9", "Failed, Unknown"},
  };
  for (const auto& [rc, message] : cases) {
    const ScmFixture s = {kPhase2, "", R"({"call": "KXAPI_SANCongMgmtResetStatistics", "rc": )" + rc + "}"};
    Result r = RunOn(box, s, Words("port", "scmstats", "clearcli", kPort));
    EXPECT_EQ(r.out, text(message)) << rc;
    EXPECT_EQ(CallsNamed(r, "KXAPI_SANCongMgmtResetStatistics"),
              std::vector<std::string>{"KXAPI_SANCongMgmtResetStatistics port=21:00:00:c8:a1:50:00:01"});
  }
  EXPECT_EQ(RunOn(box, {kPhase2}, Words("port", "scmstats", "clear", kPort)).out,
            MessageDoc("USCMStatisticsClear", "Success").Xml());
  // Clearing needs phase 2.
  Result r = RunOn(box, {kPhase1}, Words("port", "scmstats", "clearcli", kPort));
  EXPECT_EQ(r.out, text(kNoSupport));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SANCongMgmtResetStatistics").empty());
}
