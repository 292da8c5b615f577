// D-Port, CT, FC ping and FC echo against the stand-in: one table per
// command, each row its words, the whole document and the library calls it
// must (or must not) make.
#include <csignal>
#include <cstdio>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kP0 = "FC_21:00:00:c8:a1:22:30:00";  // V2 D-Port, 32 Gbps, two targets, a fabric
const std::string kP1 = "FC_21:00:00:c8:a1:22:30:01";  // V1 D-Port, 16 Gbps
const std::string kDown = "FC_21:00:00:c8:a1:22:30:02";
const std::string k10G = "FC_21:00:00:c8:a1:22:30:03";
const std::string kOff = "FC_21:00:00:c8:a1:22:30:04";  // not in D-Port mode
const std::string kVport = "FC_21:00:00:c8:a1:22:30:80";
const std::string kMezz = "FC_21:00:00:c8:a1:20:31:00";
const std::string kGroupK = "FC_21:00:00:c8:a1:27:00:00";
const std::string kNoPort = "FC_21:00:00:c8:a1:99:99:99";
const std::string kT1 = "50:00:c8:a1:00:00:10:01";
const std::string kFabric = "10:00:00:c8:a1:ff:00:01";

const std::string kInvalid = "Failed, Invalid parameter";
const std::string kMaint = "Failed, Command not supported when adapter port in maintenance mode";
const std::string kNotAdapter = "Failed, Feature not supported for this adapter";
const std::string kVportMsg = "Failed, Feature not supported for virtual port";
const std::string kLinkDown = "Failed, Feature requires link up";
const std::string kDiagFailed = "Failed, Diagnostic test failed";
const std::string k16G = "Failed, Feature supported for speeds 16 Gbps and above";
const std::string kNotDiag = "Failed, Port not in diagnostics mode";

// n call-log lines "<call> port=<args>".
std::vector<std::string> Logged(const std::string& call, const std::string& args, int n = 1) {
  return std::vector<std::string>(n, call + " port=" + args);
}

// The words after "-t port -s <sub-mode>", the whole output, the watched call's lines, calls scripted in the fixture.
struct Row { std::vector<std::string> words; std::string out; std::vector<std::string> logged = {}; std::string script = ""; };

// Runs each row on the shared fixture with the row's scripted calls and a fresh stand-in state.
void RunRows(const std::string& subMode, const std::string& watched, const std::vector<Row>& rows) {
  Sandbox box;
  for (const Row& row : rows) {
    box.UseFixtureText(WithCalls(Fixture("diag-link.json"), row.script));
    std::remove(box.StatePath().c_str());
    RunCases(box, {"-t", "port", "-s", subMode}, {{row.words, row.out, -1, watched, row.logged}});
  }
}

// ---- D-Port ----

Doc Info(const std::string& message, bool on) {
  return {"DPortDiagInfo", {{"Message", message}, {"Diagnostics Port Status", Bool(on)}}};
}
Doc SetInfo(const std::string& message, bool on, bool reboot) {
  return {"DPortDiagInfo", {{"Message", message}, {"Reboot Required", Bool(reboot)}, {"Diagnostics Port Status", Bool(on)}}};
}
Doc RunFailed(const std::string& message) { return ListError("DPortDiagInfo", "DPortDiagResult", message); }
Doc Passed(const std::string& block) { return Report("DPortDiagInfo", "DPortDiagResult", "DPortDiagResultList", block); }
// The fourteen common lines of every record.
const std::vector<std::string> kTests = {
    "Start Time", "Stop Time", "HBA Port Value", "HBA Port Status", "HBA Port Result", "Electrical Loopback Value",
    "Electrical Loopback Status", "Electrical Loopback Result", "Optical Loopback Value", "Optical Loopback Status",
    "Optical Loopback Result", "Link Traffic Value", "Link Traffic Status", "Link Traffic Result"};
// Those of the port kP0 record, its HBA port test status given.
std::string Head0(const std::string& hba) {
  return Block(kTests, "2026-12-05 10:00:00|2026-12-05 10:00:42|0x1f|" + hba + "|0x2|1|Passed|0x0|2|Skipped|0x7|1|Passed");
}
const std::string kDistance = "      Roundtrip Link Latency: 1234 ns\n      Cable Link Distance: 85 meters\n";
// Powers (0.1 uW): local Tx 1000 = -10 dBm, local Rx 10 = -30, remote Rx 100 = -20, remote Tx 1 = -40.
const std::string kAfterTx = "      Rx Power: 0xa\n      Mbx1: 0x4000\n      Mbx2: 0x1\n" + kDistance +
                             "      Allowable Power Loss: 0.595000\n";
const std::string kIngress = "      Ingress Power: Tx: -40.000000 dBm, Rx: -30.000000 dBm, Diff: -10.000000 dBm\n";
std::string Passed0() {
  return Head0("1|Passed") + "      Tx Power: 0x3e8\n" + kAfterTx +
         "      Egress Power: Tx: -10.000000 dBm, Rx: -20.000000 dBm, Diff: 10.000000 dBm\n" + kIngress;
}
std::string FailedTail(const std::string& reason, const std::string& remoteRx, const std::string& remoteTx) {
  return "      Tx Power: 0x3e8\n      Rx Power: 0xa\n      Reason: " + reason + "\n" + kDistance +
         "      Allowable Power Loss: 0\n      Egress Power: Tx: 0.000000 dBm, Rx: " + remoteRx +
         " dBm, Diff: 0.000000 dBm\n      Ingress Power: Tx: " + remoteTx + " dBm, Rx: 0.000000 dBm, Diff: 0.000000 dBm\n";
}
std::string V2Script(const std::string& values) { return R"({"call": "KXAPI_DiagnosticDPortTestV2", )" + values + "}"; }

}  // namespace

TEST(DPortDiag, GetAndSet) {
  const std::string check = "KXAPI_CheckAdapterDPortOption";
  RunRows("dportdiag", check, {
      {{"getcli", kP0}, Info("Success", true).Text(), Logged(check, kP0.substr(3))},
      {{"get", kOff}, Info("Success", false).Xml(), Logged(check, kOff.substr(3))},
      {{"getcli", kMezz}, Info(kNotAdapter, false).Text()},  // mezzanine of a capable group
      {{"getcli", kGroupK}, Info(kNotAdapter, false).Text()},
      {{"getcli", kP0}, Info("Failed, DPortDiag read failed", false).Text(), {},
       R"({"call": "KXAPI_IsMezzAdapter", "rc": 5})"},
      {{"getcli", kNoPort}, Info(kInvalid, false).Text() + "Usage: get\r\n"},
      {{"getcli", "help"}, Info("Failed, Unknown", false).Text() + "Usage: get\r\n"},
  });
  const std::string set = "KXAPI_ConfigureAdapterDPortSettings";
  const std::vector<std::string> onP0 = Logged(set, kP0.substr(3) + " enable=1 reserved=0");
  const std::vector<std::string> offP0 = Logged(set, kP0.substr(3) + " enable=0 reserved=0");
  const std::vector<std::string> onOff = Logged(set, kOff.substr(3) + " enable=1 reserved=0");
  RunRows("dportdiag", set, {
      {{"setcli", kOff, "TRUE"}, SetInfo("Success", true, false).Text(), onOff},
      {{"set", kP0, "false"}, SetInfo("Success", false, false).Xml(), offP0},
      // The mode read back is shown.
      {{"setcli", kP0, "false"}, SetInfo("Success", true, true).Text(), offP0,
       R"({"call": "KXAPI_CheckAdapterDPortOption", "mode": 1}, {"call": "KXAPI_IsRebootRequired", "flag": 1})"},
      {{"setcli", kOff, "true"}, SetInfo("Success", true, true).Text(), onOff,  // reboot flag unreadable
       R"({"call": "KXAPI_IsRebootRequired", "rc": 4})"},
      {{"setcli", kP0, "1"}, SetInfo(kInvalid, false, false).Text() + "Usage: set\r\n"},
      {{"set", kP0}, SetInfo(kInvalid, false, false).Xml()},
      {{"setcli", kVport, "1"}, SetInfo(kVportMsg, false, false).Text()},  // before the mode
      {{"setcli", kP0, "true"}, SetInfo(kMaint, false, false).Text(), onP0, R"({"call": ")" + set + R"(", "rc": 150})"},
      {{"setcli", kP0, "true"}, SetInfo("Failed, DPortDiag update failed", false, false).Text(), onP0,
       R"({"call": ")" + set + R"(", "rc": 7})"},
  });
}

TEST(DPortDiag, SetIsKeptByTheAdapter) {
  Sandbox box;
  box.UseFixture("diag-link.json");
  box.Run({"-t", "port", "-s", "dportdiag", "set", kOff, "True"});
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dportdiag", "getcli", kOff}).out, Info("Success", true).Text());
}

TEST(DPortDiag, Run) {
  const std::string call = "KXAPI_DiagnosticDPortTestV2";
  const std::vector<std::string> v2 = Logged(call, kP0.substr(3));
  std::vector<Row> rows = {
      {{"runcli", kP0}, Passed(Passed0()).Text(), v2},
      {{"runcli", kP0},  // zero local Tx, zero remote Rx
       Passed(Head0("1|Passed") + "      Tx Power: 0x0\n" + kAfterTx +
              "      Egress Power: Tx: 0.000000 dBm, Rx: -inf dBm, Diff: inf dBm\n" + kIngress).Text(),
       v2, V2Script(R"("dportResult": {"localTxPower": 0, "remoteRxPower": 0})")},
      {{"runcli", kP0},  // reason 5 zeroes the remote powers
       Passed(Head0("3|Failed") + FailedTail("Dynamic mode not supported by attached switch", "0.000000", "0.000000"))
           .Text(),
       v2, V2Script(R"("dportResult": {"hbaStatus": 3, "mbx1": 2, "mbx2": "0x15"})")},
      {{"runcli", kP0}, Passed(Head0("3|Failed") + FailedTail("Test Timeout", "-20.000000", "-40.000000")).Text(), v2,
       V2Script(R"("dportResult": {"hbaStatus": 3, "mbx1": "0x12", "mbx2": 4})")},
      {{"runcli", kP0}, RunFailed("Failed, SFP does not support WRAP capability").Text(), v2,  // mailbox command failed
       V2Script(R"("dportResult": {"mbx1": "0x4005", "mbx2": "0x60"})")},
      {{"runcli", kOff}, RunFailed(kNotDiag).Text()}, {{"runcli", kDown}, RunFailed(kLinkDown).Text()},
      {{"runcli", k10G}, RunFailed(k16G).Text()}, {{"runcli", kVport}, RunFailed(kVportMsg).Text()},
      {{"runcli", kMezz}, RunFailed(kNotAdapter).Text()}, {{"runcli", "help"}, RunFailed("Failed, Unknown").Text()},
      {{"run", kP0, "extra"}, Passed(Passed0()).Xml(), v2}, {{"run", kDown}, RunFailed(kLinkDown).Xml()},
  };
  // What each library result of the test shows.
  for (const auto& [rc, message] : std::vector<std::pair<int, std::string>>{
           {2, kInvalid}, {29, kVportMsg}, {38, kNotAdapter}, {129, kNotDiag}, {130, kLinkDown}, {131, k16G},
           {132, "Failed, Feature not supported in Boot-From-SAN mode"}, {133, "Failed, Unknown"}, {150, kMaint}})
    rows.push_back({{"runcli", kP0}, RunFailed(message).Text(), v2, V2Script("\"rc\": " + std::to_string(rc))});
  RunRows("dportdiag", call, rows);
  // The first interface at 16 Gbps: the fourteen common lines, whatever the statuses.
  const std::vector<std::string> v1 = Logged("KXAPI_DiagnosticDPortTest", kP1.substr(3) + " work=zero");
  RunRows("dportdiag", "KXAPI_DiagnosticDPortTest", {
      {{"runcli", kP1},
       Passed(Block(kTests, "t0|t1|0x5|59|Timeout|0x0|115|Memory Error|0x0|200|Unknown|0x0|71|Failed")).Text(),
       v1},
      {{"runcli", kP1}, RunFailed("Failed, Unknown").Text(), v1,  // mailbox failed
       R"({"call": "KXAPI_DiagnosticDPortTest", "dportResult": {"mbx1": "0x4005", "mbx2": "0x99"}})"},
  });
}

// ---- FC ping and CT ----

namespace {
Doc TestDoc(const std::string& structure, const std::string& test, const std::string& result) {
  return {structure, {{"Diagnostic Test", test}, {"Test Result", result}}};
}
std::string Ping(const std::string& result) { return TestDoc("FCPingResult", "FCPing", result).Text(); }
std::string CT(const std::string& type, const std::string& result) { return TestDoc("CTDiagResult", type, result).Text(); }
const std::string kPingCall = "KXAPI_DiagnosticsFCPingTest";
const std::string kPingT1 = kP0.substr(3) + " wwpn=" + kT1;
}  // namespace

TEST(FCPing, Run) {
  const std::vector<std::string> once = Logged(kPingCall, kPingT1 + " count=1 stop=0 area=256");
  RunRows("fcping", kPingCall, {
      {{"runcli", kP0, kT1, "5", "TRUE"}, Ping("Success"), Logged(kPingCall, kPingT1 + " count=5 stop=1 area=256")},
      // Upper case, short bytes, 65535, a stop word that is not true.
      {{"run", kP0, "50:00:C8:A1:0:0:20:1", "65535", "False"}, TestDoc("FCPingResult", "FCPing", "Success").Xml(),
       Logged(kPingCall, kP0.substr(3) + " wwpn=50:00:c8:a1:00:00:20:01 count=65535 stop=0 area=256")},
      {{"runcli", kP0, kT1, "0"}, Ping(kInvalid)}, {{"runcli", kP0, kT1, "65536"}, Ping(kInvalid)},
      {{"runcli", kP0, kT1, "4294967297"}, Ping(kInvalid)},  // not 1
      {{"runcli", kP0, kT1, "12abc"}, Ping(kInvalid)}, {{"runcli", kP0, kT1}, Ping(kInvalid)},
      {{"runcli", kP0, kFabric, "1"}, Ping("Failed, Target not found")},  // the fabric is no target
      {{"runcli", kDown, kT1, "0"}, Ping(kLinkDown)},                    // link checked before the count
      {{"runcli", kVport, kT1, "1"}, Ping(kVportMsg)},
      {{"runcli", "-h"}, Ping("Failed, Unknown")},
      {{"runcli", kP0, kT1, "1"}, Ping(kMaint), once, R"({"call": "KXAPI_DiagnosticsFCPingTest", "rc": 150})"},
      {{"runcli", kP0, kT1, "1"}, Ping(kDiagFailed), once, R"({"call": "KXAPI_DiagnosticsFCPingTest", "rc": 9})"},
  });
}

TEST(CTDiag, Run) {
  const std::string call = "KXAPI_DiagnosticsCTCommand";
  const std::string once = kPingT1 + " count=1 stop=0 area=256 type=";
  RunRows("ctdiag", call, {
      {{"runcli", kP0, "ctping", kT1, "2"}, CT("CTPing", "Success"), Logged(call, kPingT1 + " count=2 stop=0 area=256 type=1")},
      {{"run", kP0, "CTFCTRACEROUTE", kT1, "1", "true"}, TestDoc("CTDiagResult", "CTFCTraceRoute", "Success").Xml(),
       Logged(call, kPingT1 + " count=1 stop=1 area=256 type=2")},
      {{"runcli", kNoPort, "ping", kT1, "1"}, CT("Unknown", kInvalid)},  // the type is checked before the port
      {{"run", kP0}, TestDoc("CTDiagResult", "Unknown", kInvalid).Xml()},
      {{"runcli", kDown, "CTPing", kT1, "70000"}, CT("CTPing", kLinkDown)},  // the port before the count
      {{"runcli", kP0, "CTPing", kT1, "70000"}, CT("CTPing", kInvalid)},
      {{"runcli", kP0, "CTPing", "50:00:c8:a1:00:00:30:01", "1"}, CT("CTPing", "Failed, Target not found")},
      {{"runcli", kP0, "CTPing", kT1, "1"}, CT("CTPing", kMaint), Logged(call, once + "1"),
       R"({"call": "KXAPI_DiagnosticsCTCommand", "rc": 150})"},
      {{"runcli", kP0, "CTFCTraceRoute", kT1, "1"}, CT("CTFCTraceRoute", kDiagFailed), Logged(call, once + "2"),
       R"({"call": "KXAPI_DiagnosticsCTCommand", "rc": 5})"},
  });
  Sandbox box;
  box.UseFixture("diag-link.json");
  EXPECT_EQ(CallsNamed(box.Run({"-t", "port", "-s", "ctdiag", "run", kP0, "ping"}), "KXAPI_GetAdapterList").size(), 0u);
}

// ---- FC echo ----

namespace {
// Frames sent and received, response length, time and status of one request.
using Echo = std::vector<std::string>;
const Echo kAcc = {"1", "1", "2112", "  1.50 (ms)", "ECHO ACC"};
const Echo kTimedOut = {"1", "0", "0", "30000.00 (ms)", "ECHO timed out"};
Doc EchoDoc(const std::string& message, const std::vector<Echo>& results = {}, const std::string& destination = kT1) {
  std::vector<Fields> items;
  for (const Echo& e : results)
    items.push_back({{"Destination WWN", destination}, {"Ping Sequence Number", Int(std::to_string(items.size() + 1))},
                     {"Frame Sent", Int(e[0])}, {"Frame Received", Int(e[1])}, {"Response Length", Int(e[2])},
                     {"Response Time", e[3]}, {"Echo Status", e[4]}});
  return {"FCEchoResult", {{"Message", message}}, "FCEchoTestResults", "FCEchoTestResultList", items};
}
const std::string kEchoCall = "KXAPI_DiagnosticsEchoElsTest";
}  // namespace

TEST(FCEcho, Run) {
  const std::string toT1 = kPingT1 + " count=1 stop=";
  RunRows("fcecho", kEchoCall, {
      // The middle request fails: the run goes on, or stops; the last request decides the message.
      {{"runcli", kP0, kT1, "3", "false"}, EchoDoc("Success", {kAcc, kTimedOut, {"2", "2", "64", "  0.75 (ms)", "ECHO ACC"}}).Text(),
       Logged(kEchoCall, toT1 + "0 type=2", 3)},
      {{"runcli", kP0, kT1, "3", "TRUE"}, EchoDoc(kDiagFailed, {kAcc, kTimedOut}).Text(), Logged(kEchoCall, toT1 + "1 type=2", 2)},
      {{"runcli", kP0, kT1, "2"}, EchoDoc(kDiagFailed, {kAcc, kTimedOut}).Text(), Logged(kEchoCall, toT1 + "0 type=2", 2)},
      {{"runcli", kP0, kT1, "3", "true"}, EchoDoc(kMaint, {kAcc}).Text(), Logged(kEchoCall, toT1 + "1 type=2"),
       R"({"call": "KXAPI_DiagnosticsEchoElsTest", "rc": 150})"},
      {{"runcli", kP1, kT1, "1"}, EchoDoc(kDiagFailed, {{"1", "0", "0", "  0.00 (ms)", "LS_RJT"}}).Text(),  // error indication
       Logged(kEchoCall, kP1.substr(3) + " wwpn=" + kT1 + " count=1 stop=0 type=2")},
      {{"run", kP0, "10:00:00:C8:A1:FF:00:01", "1"}, EchoDoc("Success", {kAcc}, kFabric).Xml(),
       Logged(kEchoCall, kP0.substr(3) + " wwpn=" + kFabric + " count=1 stop=0 type=3")},
      // Without a fabric a zero WWPN is no destination.
      {{"runcli", kP1, "0:0:0:0:0:0:0:0", "1"}, EchoDoc("Failed, Target not found").Text()},
      {{"runcli", kP0, "50:00:c8:a1:00:00:30:01", "1"}, EchoDoc("Failed, Target not found").Text()},
      {{"runcli", kVport, kT1, "1"}, EchoDoc(kVportMsg).Text()},
      {{"run", kDown, kT1, "1"}, EchoDoc(kLinkDown).Xml()},
  });
}

TEST(FCEcho, LongRunEndsOnSigint) {
  Sandbox box;
  box.UseFixture("diag-link.json");
  // 65535 requests of at least a millisecond each; SIGINT ends the run.
  const Result r = box.RunWithSignal({"-t", "port", "-s", "fcecho", "run", kP0, kT1, "65535"}, "", SIGINT, 1000);
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_EQ(r.out, "");
  const size_t made = CallsNamed(r, kEchoCall).size();
  EXPECT_GT(made, 0u);
  EXPECT_LT(made, 65535u);
}
