// D-Port, CT, FC ping and FC echo against the stand-in: one table per
// command, each row a situation, its words, the whole document and the
// library calls it must (or must not) make.
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

std::string Doc(const std::string& body) { return kStars + body + kStars; }
std::string Lines(const std::string& call, const std::string& args, int n = 1) {
  std::string line = call + " port=" + args;
  return n == 1 ? line : line + "\n" + Lines(call, args, n - 1);
}

struct Row {
  std::string situation;
  std::vector<std::string> words;  // after "-t port -s <sub-mode>"
  std::string expected;            // the whole standard output
  std::string logged = "";         // call-log lines of the watched call, joined by "\n"
  std::string calls = "";          // scripted calls added to the fixture
};

// Runs each row on the shared fixture (with the row's scripted calls and a
// fresh stand-in state).
void RunRows(const std::string& subMode, const std::string& watched, const std::vector<Row>& rows) {
  Sandbox box;
  const std::string base = ReadFile(std::string(KXFC_FIXTURE_DIR) + "/diag-link.json");
  for (const Row& row : rows) {
    std::string fixture = base;
    fixture.replace(fixture.find("\"calls\": ["), 10, "\"calls\": [" + row.calls);
    box.UseFixtureText(fixture);
    std::remove(box.StatePath().c_str());
    std::vector<std::string> args = {"-t", "port", "-s", subMode};
    args.insert(args.end(), row.words.begin(), row.words.end());
    const Result r = box.Run(args);
    EXPECT_EQ(r.out, row.expected) << row.situation;
    std::string logged;
    for (const std::string& line : CallsNamed(r, watched)) logged += (logged.empty() ? "" : "\n") + line;
    EXPECT_EQ(logged, row.logged) << row.situation;
  }
}

// ---- D-Port ----

std::string Info(const std::string& message, const std::string& on, const std::string& reboot = "") {
  return Doc("DPortDiagInfo:\nMessage: " + message + "\n" + (reboot.empty() ? "" : "Reboot Required: " + reboot + "\n") +
             "Diagnostics Port Status: " + on + "\n");
}
std::string RunFailed(const std::string& message) {
  return Doc("DPortDiagInfo:\nMessage: " + message + "\nDPortDiagResult: ");
}
std::string Report(const std::string& block) {
  return Doc("DPortDiagInfo:\nMessage: Success\nDPortDiagResult: DPortDiagResultList:\nData: " + block);
}
// The fourteen common lines of the port kP0 record, its HBA port test status given.
std::string Head0(const std::string& hbaStatus, const std::string& hbaResult) {
  return "Start Time: 2026-12-05 10:00:00\n      Stop Time: 2026-12-05 10:00:42\n"
         "      HBA Port Value: 0x1f\n      HBA Port Status: " + hbaStatus + "\n      HBA Port Result: " + hbaResult +
         "\n      Electrical Loopback Value: 0x2\n      Electrical Loopback Status: 1\n"
         "      Electrical Loopback Result: Passed\n      Optical Loopback Value: 0x0\n"
         "      Optical Loopback Status: 2\n      Optical Loopback Result: Skipped\n"
         "      Link Traffic Value: 0x7\n      Link Traffic Status: 1\n      Link Traffic Result: Passed\n";
}
const std::string kDistance = "      Roundtrip Link Latency: 1234 ns\n      Cable Link Distance: 85 meters\n";
// Powers (0.1 uW): local Tx 1000 = -10 dBm, local Rx 10 = -30, remote Rx 100 = -20, remote Tx 1 = -40.
const std::string kAfterTx = "      Rx Power: 0xa\n      Mbx1: 0x4000\n      Mbx2: 0x1\n" + kDistance +
                             "      Allowable Power Loss: 0.595000\n";
const std::string kPassedTail = "      Tx Power: 0x3e8\n" + kAfterTx;
const std::string kIngress = "      Ingress Power: Tx: -40.000000 dBm, Rx: -30.000000 dBm, Diff: -10.000000 dBm\n";
std::string FailedTail(const std::string& reason, const std::string& remoteRx, const std::string& remoteTx) {
  return "      Tx Power: 0x3e8\n      Rx Power: 0xa\n      Reason: " + reason + "\n" + kDistance +
         "      Allowable Power Loss: 0\n      Egress Power: Tx: 0.000000 dBm, Rx: " + remoteRx +
         " dBm, Diff: 0.000000 dBm\n      Ingress Power: Tx: " + remoteTx + " dBm, Rx: 0.000000 dBm, Diff: 0.000000 dBm\n";
}
std::string V2Script(const std::string& values) {
  return R"({"call": "KXAPI_DiagnosticDPortTestV2", )" + values + "}";
}

}  // namespace

TEST(DPortDiag, GetAndSet) {
  const std::string mezzFails = R"({"call": "KXAPI_IsMezzAdapter", "rc": 5})";
  RunRows("dportdiag", "KXAPI_CheckAdapterDPortOption",
          {
              {"on", {"getcli", kP0}, Info("Success", "true"), Lines("KXAPI_CheckAdapterDPortOption", kP0.substr(3))},
              {"off", {"get", kOff}, kXmlHead + "<structure typeName=\"DPortDiagInfo\">\n<field name=\"Message\">\n"
                  "<string>Success</string></field>\n<field name=\"Diagnostics Port Status\">\n<bool>false</bool>"
                  "</field>\n</structure>\n</output>\n", Lines("KXAPI_CheckAdapterDPortOption", kOff.substr(3))},
              {"virtual port, XML", {"get", kVport}, kXmlHead + "<structure typeName=\"DPortDiagInfo\">\n<field name=\"Message\">\n"
                  "<string>" + kVportMsg + "</string></field>\n<field name=\"Diagnostics Port Status\">\n<bool>false</bool>"
                  "</field>\n</structure>\n</output>\n"},
              {"mezzanine of a capable group", {"getcli", kMezz}, Info(kNotAdapter, "false")},
              {"group without D-Port", {"getcli", kGroupK}, Info(kNotAdapter, "false")},
              {"mezzanine check fails", {"getcli", kP0}, Info("Failed, DPortDiag read failed", "false"), "", mezzFails},
              {"unknown port", {"getcli", kNoPort}, Info(kInvalid, "false") + "Usage: get\r\n"},
              {"help word", {"getcli", "help"}, Info("Failed, Unknown", "false") + "Usage: get\r\n"},
          });
  const std::string on = "enable=1 reserved=0";
  RunRows("dportdiag", "KXAPI_ConfigureAdapterDPortSettings",
          {
              {"switch on", {"setcli", kOff, "TRUE"}, Info("Success", "true", "false"),
               Lines("KXAPI_ConfigureAdapterDPortSettings", kOff.substr(3) + " " + on)},
              {"switch off, XML", {"set", kP0, "false"}, kXmlHead + "<structure typeName=\"DPortDiagInfo\">\n"
                  "<field name=\"Message\">\n<string>Success</string></field>\n<field name=\"Reboot Required\">\n"
                  "<bool>false</bool></field>\n<field name=\"Diagnostics Port Status\">\n<bool>false</bool></field>\n"
                  "</structure>\n</output>\n",
               Lines("KXAPI_ConfigureAdapterDPortSettings", kP0.substr(3) + " enable=0 reserved=0")},
              {"the mode read back is shown", {"setcli", kP0, "false"}, Info("Success", "true", "true"),
               Lines("KXAPI_ConfigureAdapterDPortSettings", kP0.substr(3) + " enable=0 reserved=0"),
               R"({"call": "KXAPI_CheckAdapterDPortOption", "mode": 1}, {"call": "KXAPI_IsRebootRequired", "flag": 1})"},
              {"reboot flag unreadable", {"setcli", kOff, "true"}, Info("Success", "true", "true"),
               Lines("KXAPI_ConfigureAdapterDPortSettings", kOff.substr(3) + " " + on),
               R"({"call": "KXAPI_IsRebootRequired", "rc": 4})"},
              {"1 is not a mode", {"setcli", kP0, "1"}, Info(kInvalid, "false", "false") + "Usage: set\r\n"},
              {"no mode", {"setcli", kP0}, Info(kInvalid, "false", "false") + "Usage: set\r\n"},
              {"no mode, XML", {"set", kP0}, kXmlHead + "<structure typeName=\"DPortDiagInfo\">\n<field name=\"Message\">\n"
                  "<string>" + kInvalid + "</string></field>\n<field name=\"Reboot Required\">\n<bool>false</bool></field>\n"
                  "<field name=\"Diagnostics Port Status\">\n<bool>false</bool></field>\n</structure>\n</output>\n"},
              {"virtual port before the mode", {"setcli", kVport, "1"}, Info(kVportMsg, "false", "false")},
              {"maintenance mode", {"setcli", kP0, "true"}, Info(kMaint, "false", "false"),
               Lines("KXAPI_ConfigureAdapterDPortSettings", kP0.substr(3) + " " + on),
               R"({"call": "KXAPI_ConfigureAdapterDPortSettings", "rc": 150})"},
              {"update fails", {"setcli", kP0, "true"}, Info("Failed, DPortDiag update failed", "false", "false"),
               Lines("KXAPI_ConfigureAdapterDPortSettings", kP0.substr(3) + " " + on),
               R"({"call": "KXAPI_ConfigureAdapterDPortSettings", "rc": 7})"},
          });
}

TEST(DPortDiag, SetIsKeptByTheAdapter) {
  Sandbox box;
  box.UseFixture("diag-link.json");
  box.Run({"-t", "port", "-s", "dportdiag", "set", kOff, "True"});
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dportdiag", "getcli", kOff}).out, Info("Success", "true"));
}

TEST(DPortDiag, Run) {
  const std::string v2 = Lines("KXAPI_DiagnosticDPortTestV2", kP0.substr(3));
  const std::string egress = "      Egress Power: Tx: -10.000000 dBm, Rx: -20.000000 dBm, Diff: 10.000000 dBm\n";
  RunRows("dportdiag", "KXAPI_DiagnosticDPortTestV2",
          {
              {"second interface, passed", {"runcli", kP0}, Report(Head0("1", "Passed") + kPassedTail + egress + kIngress), v2},
              {"zero local Tx, zero remote Rx", {"runcli", kP0},
               Report(Head0("1", "Passed") + "      Tx Power: 0x0\n" + kAfterTx +
                      "      Egress Power: Tx: 0.000000 dBm, Rx: -inf dBm, Diff: inf dBm\n" + kIngress),
               v2, V2Script(R"("dportResult": {"localTxPower": 0, "remoteRxPower": 0})")},
              {"reason 5 zeroes the remote powers", {"runcli", kP0},
               Report(Head0("3", "Failed") + FailedTail("Dynamic mode not supported by attached switch", "0.000000",
                                                        "0.000000")),
               v2, V2Script(R"("dportResult": {"hbaStatus": 3, "mbx1": 2, "mbx2": "0x15"})")},
              {"reason 4 keeps them", {"runcli", kP0},
               Report(Head0("3", "Failed") + FailedTail("Test Timeout", "-20.000000", "-40.000000")), v2,
               V2Script(R"("dportResult": {"hbaStatus": 3, "mbx1": "0x12", "mbx2": 4})")},
              {"mailbox command failed", {"runcli", kP0}, RunFailed("Failed, SFP does not support WRAP capability"), v2,
               V2Script(R"("dportResult": {"mbx1": "0x4005", "mbx2": "0x60"})")},
              {"mode off", {"runcli", kOff}, RunFailed(kNotDiag)},
              {"link down", {"runcli", kDown}, RunFailed(kLinkDown)},
              {"10 Gbps", {"runcli", k10G}, RunFailed(k16G)},
              {"virtual port", {"runcli", kVport}, RunFailed(kVportMsg)},
              {"mezzanine", {"runcli", kMezz}, RunFailed(kNotAdapter)},
              {"help word", {"runcli", "help"}, RunFailed("Failed, Unknown")},
              {"XML", {"run", kP0, "extra"}, kXmlHead + "<structure typeName=\"DPortDiagInfo\">\n<field name=\"Message\">\n"
                  "<string>Success</string></field>\n<field name=\"DPortDiagResult\">\n<list type=\"structure\">\n"
                  "<structure typeName=\"DPortDiagResultList\">\n<field name=\"Data\">\n<string>" +
                  Head0("1", "Passed") + kPassedTail + egress + kIngress +
                  "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n", v2},
              {"XML failure", {"run", kDown}, kXmlHead + "<structure typeName=\"DPortDiagInfo\">\n<field name=\"Message\">\n"
                  "<string>" + kLinkDown + "</string></field>\n<field name=\"DPortDiagResult\">\n<list type=\"structure\">\n"
                  "</list>\n</field>\n</structure>\n</output>\n"},
          });
  // What each library result of the test shows.
  std::vector<Row> results;
  for (const auto& [rc, message] : std::vector<std::pair<int, std::string>>{
           {2, kInvalid}, {29, kVportMsg}, {38, kNotAdapter}, {129, kNotDiag}, {130, kLinkDown}, {131, k16G},
           {132, "Failed, Feature not supported in Boot-From-SAN mode"}, {133, "Failed, Unknown"}, {150, kMaint}})
    results.push_back({std::to_string(rc), {"runcli", kP0}, RunFailed(message), v2, V2Script("\"rc\": " + std::to_string(rc))});
  RunRows("dportdiag", "KXAPI_DiagnosticDPortTestV2", results);
  // The first interface at 16 Gbps: the fourteen common lines, whatever the statuses.
  const std::string v1 = Lines("KXAPI_DiagnosticDPortTest", kP1.substr(3) + " work=zero");
  RunRows("dportdiag", "KXAPI_DiagnosticDPortTest",
          {
              {"first interface", {"runcli", kP1},
               Report("Start Time: t0\n      Stop Time: t1\n      HBA Port Value: 0x5\n      HBA Port Status: 59\n"
                      "      HBA Port Result: Timeout\n      Electrical Loopback Value: 0x0\n"
                      "      Electrical Loopback Status: 115\n      Electrical Loopback Result: Memory Error\n"
                      "      Optical Loopback Value: 0x0\n      Optical Loopback Status: 200\n"
                      "      Optical Loopback Result: Unknown\n      Link Traffic Value: 0x0\n"
                      "      Link Traffic Status: 71\n      Link Traffic Result: Failed\n"),
               v1},
              {"first interface, mailbox failed", {"runcli", kP1}, RunFailed("Failed, Unknown"), v1,
               R"({"call": "KXAPI_DiagnosticDPortTest", "dportResult": {"mbx1": "0x4005", "mbx2": "0x99"}})"},
          });
}

// ---- FC ping and CT ----

namespace {
std::string Ping(const std::string& result) {
  return Doc("FCPingResult:\nDiagnostic Test: FCPing\nTest Result: " + result + "\n");
}
std::string CT(const std::string& type, const std::string& result) {
  return Doc("CTDiagResult:\nDiagnostic Test: " + type + "\nTest Result: " + result + "\n");
}
std::string Xml(const std::string& structure, const std::string& test, const std::string& result) {
  return kXmlHead + "<structure typeName=\"" + structure + "\">\n<field name=\"Diagnostic Test\">\n<string>" + test +
         "</string></field>\n<field name=\"Test Result\">\n<string>" + result + "</string></field>\n</structure>\n</output>\n";
}
const std::string kPingCall = "KXAPI_DiagnosticsFCPingTest";
const std::string kPingT1 = kP0.substr(3) + " wwpn=" + kT1;
}  // namespace

TEST(FCPing, Run) {
  RunRows("fcping", kPingCall,
          {
              {"passes", {"runcli", kP0, kT1, "5", "TRUE"}, Ping("Success"), Lines(kPingCall, kPingT1 + " count=5 stop=1 area=256")},
              {"upper case, short bytes, 65535, stop word not true", {"run", kP0, "50:00:C8:A1:0:0:20:1", "65535", "yes"},
               Xml("FCPingResult", "FCPing", "Success"),
               Lines(kPingCall, kP0.substr(3) + " wwpn=50:00:c8:a1:00:00:20:01 count=65535 stop=0 area=256")},
              {"count 0", {"runcli", kP0, kT1, "0"}, Ping(kInvalid)},
              {"count 65536", {"runcli", kP0, kT1, "65536"}, Ping(kInvalid)},
              {"count 2^32 + 1 is not 1", {"runcli", kP0, kT1, "4294967297"}, Ping(kInvalid)},
              {"trailing junk", {"runcli", kP0, kT1, "12abc"}, Ping(kInvalid)},
              {"no count", {"runcli", kP0, kT1}, Ping(kInvalid)},
              {"the fabric is no target", {"runcli", kP0, kFabric, "1"}, Ping("Failed, Target not found")},
              {"link checked before the count", {"runcli", kDown, kT1, "0"}, Ping(kLinkDown)},
              {"virtual port", {"runcli", kVport, kT1, "1"}, Ping(kVportMsg)},
              {"unknown port, XML", {"run", kNoPort, kT1, "1"}, Xml("FCPingResult", "FCPing", kInvalid)},
              {"help word", {"runcli", "-h"}, Ping("Failed, Unknown")},
              {"maintenance mode", {"runcli", kP0, kT1, "1"}, Ping(kMaint), Lines(kPingCall, kPingT1 + " count=1 stop=0 area=256"),
               R"({"call": "KXAPI_DiagnosticsFCPingTest", "rc": 150})"},
              {"ping fails", {"runcli", kP0, kT1, "1"}, Ping(kDiagFailed), Lines(kPingCall, kPingT1 + " count=1 stop=0 area=256"),
               R"({"call": "KXAPI_DiagnosticsFCPingTest", "rc": 9})"},
          });
}

TEST(CTDiag, Run) {
  const std::string call = "KXAPI_DiagnosticsCTCommand";
  RunRows("ctdiag", call,
          {
              {"ctping", {"runcli", kP0, "ctping", kT1, "2"}, CT("CTPing", "Success"),
               Lines(call, kPingT1 + " count=2 stop=0 area=256 type=1")},
              {"trace route, XML", {"run", kP0, "CTFCTRACEROUTE", kT1, "1", "true"},
               Xml("CTDiagResult", "CTFCTraceRoute", "Success"), Lines(call, kPingT1 + " count=1 stop=1 area=256 type=2")},
              {"ping is no type, before the port", {"runcli", kNoPort, "ping", kT1, "1"}, CT("Unknown", kInvalid)},
              {"no type, XML", {"run", kP0}, Xml("CTDiagResult", "Unknown", kInvalid)},
              {"port before count", {"runcli", kDown, "CTPing", kT1, "70000"}, CT("CTPing", kLinkDown)},
              {"count 70000", {"runcli", kP0, "CTPing", kT1, "70000"}, CT("CTPing", kInvalid)},
              {"no such target", {"runcli", kP0, "CTPing", "50:00:c8:a1:00:00:30:01", "1"}, CT("CTPing", "Failed, Target not found")},
              {"maintenance mode", {"runcli", kP0, "CTPing", kT1, "1"}, CT("CTPing", kMaint),
               Lines(call, kPingT1 + " count=1 stop=0 area=256 type=1"), R"({"call": "KXAPI_DiagnosticsCTCommand", "rc": 150})"},
              {"test fails", {"runcli", kP0, "CTFCTraceRoute", kT1, "1"}, CT("CTFCTraceRoute", kDiagFailed),
               Lines(call, kPingT1 + " count=1 stop=0 area=256 type=2"), R"({"call": "KXAPI_DiagnosticsCTCommand", "rc": 5})"},
          });
  Sandbox box;
  box.UseFixture("diag-link.json");
  EXPECT_EQ(CallsNamed(box.Run({"-t", "port", "-s", "ctdiag", "run", kP0, "ping"}), "KXAPI_GetAdapterList").size(), 0u);
}

// ---- FC echo ----

namespace {
struct Echo {
  std::string sent, received, length, time, status;
};
const Echo kAcc = {"1", "1", "2112", "  1.50 (ms)", "ECHO ACC"};
const Echo kTimedOut = {"1", "0", "0", "30000.00 (ms)", "ECHO timed out"};
const Echo kAcc2 = {"2", "2", "64", "  0.75 (ms)", "ECHO ACC"};
std::string EchoDoc(const std::string& message, const std::string& destination, const std::vector<Echo>& results) {
  std::string body = "FCEchoResult:\nMessage: " + message + "\nFCEchoTestResults: ";
  int n = 0;
  for (const Echo& e : results)
    body += "FCEchoTestResultList:\nDestination WWN: " + destination + "\nPing Sequence Number: " + std::to_string(++n) +
            "\nFrame Sent: " + e.sent + "\nFrame Received: " + e.received + "\nResponse Length: " + e.length +
            "\nResponse Time: " + e.time + "\nEcho Status: " + e.status + "\n";
  return Doc(body);
}
const std::string kEchoCall = "KXAPI_DiagnosticsEchoElsTest";
}  // namespace

TEST(FCEcho, Run) {
  const std::string toT1 = kPingT1 + " count=1 stop=";
  RunRows("fcecho", kEchoCall,
          {
              {"middle request fails, no stop", {"runcli", kP0, kT1, "3", "false"},
               EchoDoc("Success", kT1, {kAcc, kTimedOut, kAcc2}), Lines(kEchoCall, toT1 + "0 type=2", 3)},
              {"middle request fails, stop", {"runcli", kP0, kT1, "3", "TRUE"},
               EchoDoc(kDiagFailed, kT1, {kAcc, kTimedOut}), Lines(kEchoCall, toT1 + "1 type=2", 2)},
              {"the last request decides", {"runcli", kP0, kT1, "2"}, EchoDoc(kDiagFailed, kT1, {kAcc, kTimedOut}),
               Lines(kEchoCall, toT1 + "0 type=2", 2)},
              {"first fails in maintenance mode, stop", {"runcli", kP0, kT1, "3", "true"}, EchoDoc(kMaint, kT1, {kAcc}),
               Lines(kEchoCall, toT1 + "1 type=2"), R"({"call": "KXAPI_DiagnosticsEchoElsTest", "rc": 150})"},
              {"error indication", {"runcli", kP1, kT1, "1"},
               EchoDoc(kDiagFailed, kT1, {{"1", "0", "0", "  0.00 (ms)", "LS_RJT"}}),
               Lines(kEchoCall, kP1.substr(3) + " wwpn=" + kT1 + " count=1 stop=0 type=2")},
              {"fabric, XML", {"run", kP0, "10:00:00:C8:A1:FF:00:01", "1"},
               kXmlHead + "<structure typeName=\"FCEchoResult\">\n<field name=\"Message\">\n<string>Success</string></field>\n"
                   "<field name=\"FCEchoTestResults\">\n<list type=\"structure\">\n"
                   "<structure typeName=\"FCEchoTestResultList\">\n<field name=\"Destination WWN\">\n<string>" + kFabric +
                   "</string></field>\n<field name=\"Ping Sequence Number\">\n<int>1</int></field>\n"
                   "<field name=\"Frame Sent\">\n<int>1</int></field>\n<field name=\"Frame Received\">\n<int>1</int></field>\n"
                   "<field name=\"Response Length\">\n<int>2112</int></field>\n<field name=\"Response Time\">\n"
                   "<string>  1.50 (ms)</string></field>\n<field name=\"Echo Status\">\n<string>ECHO ACC</string></field>\n"
                   "</structure>\n</list>\n</field>\n</structure>\n</output>\n",
               Lines(kEchoCall, kP0.substr(3) + " wwpn=" + kFabric + " count=1 stop=0 type=3")},
              {"no fabric: a zero WWPN is no destination", {"runcli", kP1, "0:0:0:0:0:0:0:0", "1"},
               EchoDoc("Failed, Target not found", "", {})},
              {"unknown target", {"runcli", kP0, "50:00:c8:a1:00:00:30:01", "1"}, EchoDoc("Failed, Target not found", "", {})},
              {"count with junk", {"runcli", kP0, kT1, "3x"}, EchoDoc(kInvalid, "", {})},
              {"count 2^32 + 1", {"runcli", kP0, kT1, "4294967297"}, EchoDoc(kInvalid, "", {})},
              {"link down", {"runcli", kDown, kT1, "1"}, EchoDoc(kLinkDown, "", {})},
              {"virtual port", {"runcli", kVport, kT1, "1"}, EchoDoc(kVportMsg, "", {})},
              {"link down, XML", {"run", kDown, kT1, "1"}, kXmlHead + "<structure typeName=\"FCEchoResult\">\n"
                  "<field name=\"Message\">\n<string>" + kLinkDown + "</string></field>\n"
                  "<field name=\"FCEchoTestResults\">\n<list type=\"structure\">\n</list>\n</field>\n</structure>\n</output>\n"},
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
