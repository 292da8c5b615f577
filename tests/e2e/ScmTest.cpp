// SAN congestion management: port and target statistics, status words,
// the profile and the clearing of statistics, each row on a fixture of its own.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:50:00:01";
const std::string kTarget = kPort + "_Target_50:00:c8:a1:00:00:50:01";
const std::string kTargetNames = R"("wwnn": "20:00:00:c8:a1:00:50:01", "wwpn": "50:00:c8:a1:00:00:50:01")";
const std::string kOtherNames = R"("wwnn": "20:00:00:c8:a1:00:60:01", "wwpn": "50:00:c8:a1:00:00:60:01")";
const std::string kPhase1 = R"("capabilityFlags": "0x00800000")";
const std::string kPhase2 = R"("capabilityFlags": "0x04000000")";
const std::string kNoThrottle = R"("capabilityFlags": "0x84000000")";  // phase 2, throttling switched off

const std::string kMaintenance = "Failed, Command not supported when adapter port in maintenance mode";
const std::string kNoSupport = "Failed, Driver/Firmware does not support this feature";
const std::string kReadError = "Failed, Statistics read error";
const std::string kDisabled = "Failed, Feature disabled on the port";
const std::string kVirtualMsg = "Failed, Feature not supported for virtual port";
const std::string kDivider = "      -----------------------------------\n";

// One adapter, one port, one target; each row adds its own fields and calls.
struct ScmFixture {
  std::string port = "", target = "", calls = "", device = "0x2230";  // group C
  bool virtualPort = false;
};

std::string Join(const std::string& a, const std::string& b) { return b.empty() ? a : a + ", " + b; }

Result RunOn(Sandbox& box, const ScmFixture& s, const std::vector<std::string>& words) {
  const std::string target = Join(kTargetNames + R"(, "portId": "0a:0b:0c", "targetNumber": 7)", s.target);
  const std::string port =
      Join(R"("wwpn": "21:00:00:c8:a1:50:00:01", "wwnn": "20:00:00:c8:a1:50:00:01", "portId": "01:02:03",)"
           R"( "portState": 1)" + std::string(s.virtualPort ? R"(, "interface": 3)" : ""), s.port);
  box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": ")" + s.device +
                     R"(", "subDevice": "0x0101"}, "ports": [{"entries": [{)" + port + R"(, "targets": [{)" + target +
                     "}]}]}]}], \"calls\": [" + s.calls + "]}");
  return box.Run(words);
}

std::vector<std::string> Words(bool target, const std::string& sub, const std::string& command) {
  return {"-t", target ? "target" : "port", target ? "-v" : "-s", sub, command, target ? kTarget : kPort};
}

const std::string kPortIdentity = "Node Name: 20:00:00:c8:a1:50:00:01\n      Port Name: 21:00:00:c8:a1:50:00:01\n"
    "      Port Id: 01:02:03\n      Port State: Online\n";
const std::string kTargetIdentity = "Node Name: 20:00:00:c8:a1:00:50:01\n      Port Name: 50:00:c8:a1:00:00:50:01\n"
    "      Port Id: 0a:0b:0c\n      Target Number: 7\n";

using Labels = std::vector<std::string>;
Labels operator+(Labels a, const Labels& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
// Indented "label: value" lines, the values separated by '|'.
std::string Tail(const Labels& labels, const std::string& values) { return "      " + Block(labels, values); }

const Labels kLink = {"Link Failure Count", "Link Unknown Event Count", "Loss Of Sync Count", "Loss Of Signal Count",
                      "Link Device Specific Event Count", "Primitive Sequence Protocol Error Count",
                      "Invalid Transmission Word Count", "Invalid CRC Count"};
const Labels kDelivery = {"Delivery Failure Unknown Count", "Delivery Timeout Count", "Delivery Unable To Route Count",
                          "Delivery Failure Device Specific Count"};
const Labels kCongestion = {"Congestion Clear Count", "Congestion Lost Credit Count", "Congestion Credit Stall Count",
                            "Congestion Oversubscription Count", "Congestion Device Specific Count"};
const Labels kMitigation = {"Cleared Congestion Count", "Throttled Up Count", "Throttled Down Count",
                            "Bottomed Out Count", "Returned Busy Count"};
// The phase 2 block: the mitigation counters, then the notification counters.
std::string Phase2(const std::string& identity, const Labels& mitigation, const std::string& m, const Labels& notes,
                   const std::string& n) {
  return identity + kDivider + "      Congestion Mitigation\n" + kDivider + Tail(mitigation, m) + kDivider +
         "      Rx Fabric Performance Impact \n      Notifications\n" + kDivider + Tail(notes, n);
}

// A record of the statistics list: counter i is base + i, but for the overrides.
std::string Record(int kind, const std::string& names, int base, const std::string& extra = "") {
  std::string counters;
  for (int i = 0; i < 26; ++i) counters += (i ? ", " : "") + std::to_string(base + i);
  return "{\"kind\": " + std::to_string(kind) + (names.empty() ? "" : ", " + names) + ", \"counters\": [" + counters +
         "]" + (extra.empty() ? "" : ", " + extra) + "}";
}
std::string Stats(const std::vector<std::string>& records) {
  std::string list;
  for (const std::string& r : records) list += (list.empty() ? "" : ", ") + r;
  return Join(kPhase2, "\"scmrStats\": [" + list + "]");
}

struct ScmDoc {
  const char *structure, *list, *element;
  Doc Of(const std::string& block) const { return Report(structure, list, element, block); }
  std::string Error(const std::string& message) const { return ListError(structure, list, message).Text(); }
};
const ScmDoc kPortStats = {"PortUSCMStatistics", "Port USCM Stats", "PortUSCMStatsList"};
const ScmDoc kTargetStats = {"TargetUSCMStatistics", "Target USCM Stats", "TargetUSCMStatsList"};
const ScmDoc kPortStatus = {"PortUSCMInformation", "Port USCM Status", "PortUSCMStatusList"};
const ScmDoc kTargetStatus = {"TargetUSCMInformation", "Target USCM Status", "TargetUSCMStatusList"};
const ScmDoc kProfile = {"PortUSCMProfile", "Congestion Profile", "CongestionProfileList"};

}  // namespace

TEST(ScmStats, PortAndTargetReportsInBothForms) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  struct Case { ScmFixture setup; bool target; std::string block; };
  const std::vector<Case> cases = {
      // Port phase 1: trailing comma of two words, 32-bit alarm count.
      {{Join(kPhase1, R"("scmNotifications": 3, "scmLinkEventType": 15, "scmLinkEventThreshold": 250,
                      "linkFailures": 1, "lossOfSync": 2, "lossOfSignal": 3, "primitiveSequenceErrors": 4,
                      "invalidTransmissionWords": 5, "invalidCrcs": 6, "scmDeliveryEventType": 15,
                      "scmCongestionEventType": 7, "scmCongestionPeriod": 1000, "scmSeverity": "0xF7",
                      "scmAlarmCount": 4294967301, "scmWarningCount": 9)")},
       false, kPortIdentity + Tail(Labels{"Congestion Notification", "Link Event Type", "Link Event Threshold",
                                   "Link Failure Count", "Loss Of Sync Count", "Loss Of Signal Count",
                                   "Primitive Sequence Protocol Error Count", "Invalid Transmission Word Count",
                                   "Invalid CRC Count", "Delivery Notification", "Congestion Event Type",
                                   "Congestion Event Period", "Congestion Severity", "Congestion Alarm Count",
                                   "Congestion Warning Count"},
                            "Congestion, Delivery, |Device Specific|250 (ms)|1|2|3|4|5|6|Device Specific|Reserved|"
                            "1000 (ms)|Alarm|5|9")},
      // Port phase 2: the port's record comes third, 64-bit counters.
      {{Stats({Record(2, kTargetNames, 900), Record(1, kOtherNames, 800), Record(128, "", 10, R"("fecUncorrectable": 77)")})},
       false, Phase2(kPortIdentity, Labels{"Congestion Alarm Count", "Congestion Warning Count"} + kMitigation,
              "10|11|12|14|13|16|15", kLink + Labels{"Link Uncorrectable FEC Count"} + kDelivery + kCongestion,
              "17|18|19|20|24|21|22|23|77|25|26|27|28|29|30|31|32|33") + kDivider},
      {{Stats({Record(2, kTargetNames, 900)})}, false, kPortIdentity},  // without the port's record: identity only
      // Target phase 1: counters of the FC statistics record, target delivery words.
      {{kPhase1,
        R"("scmNotifications": "0x0E", "scmLinkEventType": 3, "scmLinkEventThreshold": 100,
           "scmDeliveryEventType": 15, "scmPeerEventType": 2, "scmPeerPeriod": 500,
           "linkStats": {"linkFailure": 1, "lossOfSync": 2, "lossOfSignal": 3, "primitiveSeqError": 4,
                         "invalidTxWord": 5, "invalidCrc": 6, "0x30": 7, "0x34": 8, "0x38": 9, "0x3c": 10,
                         "0x40": 11, "0x44": 12, "0x48": 13, "0x4c": 14, "0x50": 15, "0x68": 16, "0x6c": 17})"},
       true,
       kTargetIdentity + Tail(Labels{"Congestion Notification", "Link Event Type", "Link Event Threshold"} + kLink +
                                  Labels{"Delivery Notification"} + kDelivery +
                                  Labels{"Peer Congestion Event Type", "Peer Congestion Event Period",
                                         "Peer Congestion Clear Count", "Peer Congestion Lost Credit Count",
                                         "Peer Congestion Credit Stall Count", "Peer Congestion Oversubscription Count",
                                         "Peer Congestion Device Specific Count"},
                              "Delivery, Link Integrity, Peer Congestion|Loss Of Signal|100 (ms)|1|16|2|3|17|4|5|6|"
                              "Reserved|7|8|9|10|Credit Stall|500 (ms)|11|12|13|14|15")},
      // Target phase 2: the head carries the target's names but is not searched.
      {{Stats({Record(2, kTargetNames, 900), Record(128, "", 800), Record(2, kTargetNames, 100, R"("fecUncorrectable": 99)")})},
       true, Phase2(kTargetIdentity, kMitigation, "102|104|103|106|105",
              kLink + Labels{"Link Uncorrectable FEC Count"} + kCongestion + Labels{"PUN Count"},
              "107|108|109|110|114|111|112|113|99|119|120|121|122|123|125")},
      {{Stats({Record(2, kTargetNames, 900), Record(128, "", 800)})}, true, kTargetIdentity},  // only in the head
  };
  for (const Case& c : cases) {
    const ScmDoc& doc = c.target ? kTargetStats : kPortStats;
    Result text = RunOn(box, c.setup, Words(c.target, "scmstats", "getcli"));
    EXPECT_EQ(text.out, doc.Of(c.block).Text()) << c.block;
    // Every list handed out is given back.
    EXPECT_EQ(CallsNamed(text, "KXAPI_FreeSCMRStatisticsList").size(),
              CallsNamed(text, "KXAPI_GetSCMRStatisticsList").size()) << c.block;
    EXPECT_EQ(text.calls.find("never freed"), std::string::npos) << c.block;
  }
  for (const char* family : {"PhysicalPortSCMStatsCmdsProcessor", "FCTargetSCMStatsCmdsProcessor"})
    EXPECT_TRUE(Traced(box, family + std::string("::CmdGetCommon: Entered"))) << family;
  // The port's other delivery words.
  for (const auto& [type, word] : std::vector<std::pair<std::string, std::string>>{{"1", "Timeout"},
                                                                                    {"2", "Unable To Route"}}) {
    const Result r =
        RunOn(box, {Join(kPhase1, R"("scmDeliveryEventType": )" + type)}, Words(false, "scmstats", "getcli"));
    EXPECT_NE(r.out.find("      Delivery Notification: " + word + "\n"), std::string::npos) << type;
  }
  // Phase 1 of a target names the target in the FC statistics record.
  EXPECT_EQ(CallsNamed(RunOn(box, {kPhase1}, Words(true, "scmstats", "getcli")), "KXAPI_GetPortStatisticsFC"),
            std::vector<std::string>{"KXAPI_GetPortStatisticsFC port=21:00:00:c8:a1:50:00:01 handle=1 reserved=0 "
                                     "by=record target=50:00:c8:a1:00:00:50:01"});
}

TEST(ScmStats, RefusalsAndFailures) {
  Sandbox box;
  const std::string list = "\"scmrStats\": [" + Record(128, "", 0) + "]";
  struct Case { ScmFixture setup; std::string message; size_t featureQueries, frees; };
  const std::vector<Case> cases = {
      {{kPhase2, "", "", "0x2350"}, "Failed, Feature not supported for this adapter", 0, 0},  // group E
      {{R"("capabilityFlags": "0x40000000")"}, kNoSupport, 0, 0},
      {{kPhase2, "", "", "0x2230", true}, kVirtualMsg, 0, 0}, {{Join(kPhase2, R"("uscmEnabled": 0)")}, kDisabled, 1, 0},
      {{kPhase2, "", R"({"call": "KXAPI_IsUSCMFeatureEnabled", "rc": 150})"}, kMaintenance, 1, 0},
      {{kPhase2, "", R"({"call": "KXAPI_IsUSCMFeatureEnabled", "rc": 9})"}, "Failed, USCM settings read error", 1, 0},
      {{kPhase2}, kReadError, 1, 0},  // no statistics list
      {{Join(kPhase2, list), "", R"({"call": "KXAPI_GetSCMRStatisticsList", "rc": 150})"}, kMaintenance, 1, 0},
      // The list call fails yet hands a list back.
      {{kPhase2, "", R"({"call": "KXAPI_GetSCMRStatisticsList", "rc": 5, )" + list + "}"}, kReadError, 1, 1},
  };
  for (const bool target : {false, true}) {
    for (const Case& c : cases) {
      Result r = RunOn(box, c.setup, Words(target, "scmstats", "getcli"));
      EXPECT_EQ(r.out, (target ? kTargetStats : kPortStats).Error(c.message)) << c.message << target;
      EXPECT_EQ(CallsNamed(r, "KXAPI_IsUSCMFeatureEnabled").size(), c.featureQueries) << c.message;
      EXPECT_EQ(CallsNamed(r, "KXAPI_FreeSCMRStatisticsList").size(), c.frees) << c.message;
      EXPECT_EQ(r.calls.find("never freed"), std::string::npos) << c.message;
    }
  }
  // Phase 1 of a target reads its FC statistics.
  const ScmFixture statsFail = {kPhase1, "", R"({"call": "KXAPI_GetPortStatisticsFC", "rc": 150})"};
  EXPECT_EQ(RunOn(box, statsFail, Words(true, "scmstats", "getcli")).out, kTargetStats.Error(kMaintenance));

  // A list that cannot be given back: the statistics, then the failure.
  const std::string freeFails = R"({"call": "KXAPI_FreeSCMRStatisticsList", "rc": 4})";
  Result r = RunOn(box, {Stats({Record(128, "", 0)}), "", freeFails}, Words(false, "scmstats", "getcli"));
  EXPECT_EQ(r.out.substr(r.out.find(kStars, 1) + kStars.size()), kPortStats.Error("Failed, Statistics list clear error"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_FreeSCMRStatisticsList"), std::vector<std::string>{"KXAPI_FreeSCMRStatisticsList records=1"});
  r = RunOn(box, {Stats({Record(2, kOtherNames, 0)}), "", freeFails}, Words(true, "scmstats", "get"));
  EXPECT_EQ(r.out, kTargetStats.Of(kTargetIdentity).Xml() +
                       ListError("TargetUSCMStatistics", "Target USCM Stats", "Failed, Statistics list clear error").Xml());
}

TEST(ScmChk, StatusWordsPerDeviceGroup) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  const Labels port = {"Congestion Current State", "Congestion Severity", "Link Integrity Events",
                       "Delivery Notification Events", "Seconds Since Last Event", "Fabric Connection Flags",
                       "Virtual Lane", "I/O Throttling"};
  const Labels target = {"Congestion Current State", "Link Integrity Events", "Seconds Since Last Event", "Virtual Lane",
                         "I/O Throttling"};
  struct Case { ScmFixture setup; bool target; std::string values; };
  const std::vector<Case> cases = {
      // Group C, Brocade, operational lane, throttling active.
      {{Join(kPhase2, R"("scmCongestionState": 1, "scmSeverity": "0xF1", "scmLinkIntegrityEvents": 1,
                      "scmSecondsSinceEvent": 42, "scmFabricFlags": 3, "scmVirtualLane": 1, "scmIoThrottling": 2)")},
       false, "Congested|Warning|Yes|No|42|RDF Completed (Brocade)|Operational|Active"},
      // Group C, Cisco, non-operational lane, no throttling even with it switched off.
      {{Join(kNoThrottle, R"("scmCongestionState": 2, "scmDeliveryEvents": 5, "scmFabricFlags": 5, "scmVirtualLane": 2,
                            "scmIoThrottling": 1)")},
       false, "Unknown|None|No|Yes|0|RDF Completed (Cisco)|Non-Operational|None"},
      // Group C, rejected registration, lane off, throttling switched off.
      {{Join(kNoThrottle, R"("scmSeverity": 16, "scmFabricFlags": 2)")}, false,
       "Healthy|Reserved|No|No|0|RDF Reject|Disabled|Disabled"},
      // Group A: no lanes; throttling value 0 without the switch-off bit.
      {{Join(kPhase2, R"("scmFabricFlags": 1, "scmVirtualLane": 1)"), "", "", "0x2031"}, false,
       "Healthy|None|No|No|0|RDF Completed|Disabled|None"},
      // Target, group C with lanes: unknown lane value, throttling active.
      {{R"("capabilityFlags": "0x44000000")",
        R"("congestion": 1, "scmLinkIntegrityEvents": 3, "scmSecondsSinceEvent": 9, "ioThrottling": 2)"},
       true, "Congested|Yes|9|Non-Operational|Active"},
      // Target, group C without lanes bit: fast lane; throttling switched off.
      {{kNoThrottle, R"("virtualLane": 3)"}, true, "Healthy|No|0|Fast|Disabled"},
      // Target, group C: slow lane; value 1 reads None as on the port.
      {{kNoThrottle, R"("virtualLane": 1, "ioThrottling": 1, "congestion": 4)"}, true, "Unknown|No|0|Slow|None"},
      // Target, group B: no lanes, unknown lane value without lanes bit.
      {{kPhase2, R"("virtualLane": 2)", "", "0x2141"}, true, "Healthy|No|0|NA|None"},
  };
  for (const Case& c : cases) {
    const Doc doc = (c.target ? kTargetStatus : kPortStatus)
                        .Of((c.target ? kTargetIdentity : kPortIdentity) + Tail(c.target ? target : port, c.values));
    EXPECT_EQ(RunOn(box, c.setup, Words(c.target, "scmchk", "getcli")).out, doc.Text()) << c.values;
  }
  for (const char* family : {"PhysicalPortSCMChkCmdsProcessor", "FCTargetSCMChkCmdsProcessor"})
    EXPECT_TRUE(Traced(box, family + std::string("::CmdGetCommon: Entered"))) << family;
  // The status needs phase 2.
  EXPECT_EQ(RunOn(box, {kPhase1}, Words(false, "scmchk", "getcli")).out, kPortStatus.Error(kNoSupport));
  EXPECT_EQ(RunOn(box, {kPhase1}, Words(true, "scmchk", "getcli")).out, kTargetStatus.Error(kNoSupport));
  EXPECT_EQ(RunOn(box, {Join(kPhase2, R"("uscmEnabled": 0)")}, Words(true, "scmchk", "getcli")).out,
            kTargetStatus.Error(kDisabled));
}

TEST(ScmProfile, GetAndSetKeepEveryByteTheOptionsDoNotOwn) {
  // Bytes 3-15 of the stand-in's record carry 0xA5 ^ offset.
  const std::string tail = "a6a1a0a3a2adacafaea9a8abaa";
  const std::string kInvalid = "Failed, Invalid parameter";  // shown with the usage text
  const std::string fromNvram = R"("scmProfile": "01 01 02")";
  // Expected: the configuration, management and activation shown, or the failure message; written: the
  // record set ("" when nothing is written).
  struct Case { std::string profile; std::vector<std::string> words; std::string calls, expected, written; bool failed = false; };
  const std::vector<Case> cases = {
      {"", {"getcli"}, "", "true|Driver_Settings|Monitor_Only", ""},
      {R"("scmProfile": "01 01 07")", {"getcli"}, "", "false|NVRAM|Unknown", ""},
      {"", {"setcli", "-a", "aggressive"}, "", "true|NVRAM|Aggressive", "000103" + tail},
      {"", {"setcli", "--ACTIVATION", "Defensive"}, "", "true|NVRAM|Defensive", "000104" + tail},
      {fromNvram, {"setcli", "-r", "driver_settings"}, "", "false|Driver_Settings|Moderate", "010002" + tail},
      {fromNvram, {"setcli"}, "", "false|NVRAM|Moderate", "010102" + tail},  // neither option writes the record back
      {"", {"setcli", "-r", "Driver_Settings", "-a", "Moderate"}, "",
       "Failed, Restore and Activation command-line options are mutually exclusive", "", true},
      {"", {"setcli", "-r", "NVRAM"}, "", kInvalid, "", true},
      {"", {"getcli"}, R"({"call": "KXAPI_GetSCMRProfile", "rc": 150})", kMaintenance, "", true},
      {"", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_GetSCMRProfile", "rc": 3})", "Failed, NVRAM read failed", "",
       true},
      {"", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_SetSCMRProfile", "rc": 150})", kMaintenance, "000102" + tail,
       true},
      {"", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_SetSCMRProfile", "rc": 5})", "Failed, NVRAM update failed",
       "000102" + tail, true},
      // The re-read after the write fails.
      {"", {"setcli", "-a", "Moderate"}, R"({"call": "KXAPI_GetSCMRProfile", "nth": 2, "rc": 6})",
       "Failed, NVRAM read failed", "000102" + tail, true},
  };
  const Labels shown = {"USCM Configuration Status", "USCM Profile Management", "USCM Profile Activation"};
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    Sandbox box(::testing::UnitTest::GetInstance()->current_test_info()->name() + std::to_string(i));
    std::vector<std::string> words = {"-t", "port", "-s", "scmprofile", c.words[0], kPort};
    words.insert(words.end(), c.words.begin() + 1, c.words.end());
    Result r = RunOn(box, {Join(kPhase2, c.profile), "", c.calls}, words);
    EXPECT_EQ(r.out, c.failed ? kProfile.Error(c.expected) + (c.expected == kInvalid ? "Usage: set\r\n" : "")
                              : kProfile.Of(kPortIdentity + Tail(shown, c.expected)).Text()) << i;
    EXPECT_EQ(CallsNamed(r, "KXAPI_SetSCMRProfile"), c.written.empty() ? std::vector<std::string>{}
                                : std::vector<std::string>{"KXAPI_SetSCMRProfile port=21:00:00:c8:a1:50:00:01 record=" +
                                                           c.written}) << i;
  }

  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  EXPECT_EQ(RunOn(box, {kPhase2}, {"-t", "port", "-s", "scmprofile", "get", kPort}).out,
            kProfile.Of(kPortIdentity + Tail(shown, "true|Driver_Settings|Monitor_Only")).Xml());
  EXPECT_TRUE(Traced(box, "PhysicalPortSCMProfileCmdsProcessor::CmdGetCommon: Entered"));
  // Refused before the library is asked: phase 1 only, and a virtual port even without the capability.
  Result r = RunOn(box, {kPhase1}, {"-t", "port", "-s", "scmprofile", "setcli", kPort, "-a", "Moderate"});
  EXPECT_EQ(r.out, kProfile.Error(kNoSupport));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_GetSCMRProfile").empty());
  EXPECT_EQ(RunOn(box, {"", "", "", "0x2230", true}, {"-t", "port", "-s", "scmprofile", "getcli", kPort}).out,
            kProfile.Error(kVirtualMsg));
}

TEST(ScmStats, ClearMapsTheLibraryResult) {
  Sandbox box;
  const std::string reset = "KXAPI_SANCongMgmtResetStatistics";
  const std::vector<std::string> called = {reset + " port=21:00:00:c8:a1:50:00:01"};
  for (const auto& [rc, message] : std::vector<std::pair<std::string, std::string>>{
           {"0", "Success"}, {"118", kNoSupport}, {"150", kMaintenance}, {"40", "Failed, Memory Error"},
           {"9", "Failed, Unknown"}}) {
    Result r = RunOn(box, {kPhase2, "", R"({"call": ")" + reset + R"(", "rc": )" + rc + "}"},
                     Words(false, "scmstats", "clearcli"));
    EXPECT_EQ(r.out, MessageDoc("USCMStatisticsClear", message).Text()) << rc;
    EXPECT_EQ(CallsNamed(r, reset), called);
  }
  EXPECT_EQ(RunOn(box, {kPhase2}, Words(false, "scmstats", "clear")).out, MessageDoc("USCMStatisticsClear", "Success").Xml());
  // Clearing needs phase 2.
  Result r = RunOn(box, {kPhase1}, Words(false, "scmstats", "clearcli"));
  EXPECT_EQ(r.out, MessageDoc("USCMStatisticsClear", kNoSupport).Text());
  EXPECT_TRUE(CallsNamed(r, reset).empty());
}
