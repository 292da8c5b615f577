// Read Diagnostic Parameters, loopback and read/write buffer tests: whole
// documents, check order, run loops and the release of every result list,
// against the stand-in's sequences.
#include <sstream>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:30:09:00";  // group C; all sequences
const std::string kVirtual = "FC_21:00:00:c8:a1:30:09:80";
const std::string kLinkDown = "FC_21:00:00:c8:a1:30:09:01";
const std::string kMaintenance = "FC_21:00:00:c8:a1:30:09:02";  // RDP answers 150
const std::string kGroupG = "FC_21:00:00:c8:a1:24:00:09";       // RDP returns 16 bytes; a null list
const std::string kGroupF = "FC_21:00:00:c8:a1:23:60:09";       // RDP fails with 9
const std::string kOversize = "FC_21:00:00:c8:a1:23:60:0a";     // RDP claims 600 bytes
const std::string kUnknownPort = "FC_21:00:00:c8:a1:99:99:99";

const std::string kInvalid = "Failed, Invalid parameter";
const std::string kVirtualMsg = "Failed, Feature not supported for virtual port";
const std::string kMaintMsg = "Failed, Command not supported when adapter port in maintenance mode";
const std::string kCustom = "Failed, Custom Data should be of 8 chars separated by '-' (hifen)";

// A result element: its leading string fields, then the named unsigned counters.
Fields Counted(Fields head, const std::vector<const char*>& names, const std::vector<unsigned>& values) {
  for (size_t i = 0; i < names.size(); ++i) head.push_back({names[i], Int(std::to_string(values[i]))});
  return head;
}

const std::string kRule = "---------------------------------\n";
const std::string kRdpReport =
    kRule + "Port Speed Information\n" + kRule + "Port Speed Capabilities: 16 Gbps\nPort Operating Speed: 0 Gbps\n\n";
const std::string kFecReport =
    kRule + "FEC Status Information\n" + kRule + "Correctable Blocks: 10\nUnCorreatable Blocks: 2\n\n";

Doc Rdp(const std::string& report) {
  return {"RDPInformation", {{"Message", "Success"}}, "Read Diagnostics Parameters Data", "RDPDataList",
          {{{"RDPInfo", report}}}};
}
std::string RdpError(const std::string& message) {
  return ListError("RDPInformation", "Read Diagnostics Parameters Data", message).Text();
}
std::vector<std::string> RdpCall(const std::string& port) {
  return {"KXAPI_DiagnosticsRDPTest port=" + port.substr(3) + " size=508"};
}

}  // namespace

TEST(Rdp, ReportsAndFailures) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  const std::string call = "KXAPI_DiagnosticsRDPTest";
  RunCases(box, {"-t", "port", "-s", "rdp"}, {
      {{"get", kPort}, Rdp(kRdpReport + kFecReport).Xml(), -1, call, RdpCall(kPort)},
      {{"runcli", kPort}, Rdp(kRdpReport + kFecReport).Text(), -1, call, RdpCall(kPort)},
      // 16 bytes returned: the first descriptor only; a claimed 600 is believed as far as the buffer goes.
      {{"runcli", kGroupG}, Rdp(kRdpReport).Text(), -1, call, RdpCall(kGroupG)},
      {{"get", kOversize}, Rdp("").Xml(), -1, call, RdpCall(kOversize)},
      {{"runcli", kVirtual}, RdpError(kVirtualMsg), -1, call, {}},
      {{"get", kLinkDown}, ListError("RDPInformation", "Read Diagnostics Parameters Data",
                                     "Failed, Feature requires link up").Xml(), -1, call, {}},
      {{"runcli", kMaintenance}, RdpError(kMaintMsg), -1, call, RdpCall(kMaintenance)},
      {{"runcli", kGroupF}, RdpError("Failed, Diagnostic test failed"), -1, call, RdpCall(kGroupF)},
      {{"runcli", kUnknownPort}, RdpError(kInvalid), -1, call, {}},
      {{"getcli", kPort}, "Unknown command or invalid target identifier!\r\n"},
  });
}

namespace {

Doc Loopback(const std::string& message, const std::vector<Fields>& items = {}) {
  return {"LoopbackTestInfo", {{"Message", message}}, "LoopbackTestResult", "LoopbackTestResultList", items};
}
// Crc, disparity and frame length errors, iteration, success and failure counts.
Doc LoopbackRun(const std::string& status, const std::vector<unsigned>& v) {
  return Loopback("Success", {Counted({{"Test Status", status}}, {"Crc Error", "Disparity Error", "Frame Length Error",
                                      "Test Iteration", "Success Count", "Failure Count"}, v)});
}
// One call a run, each with the same request fields.
std::vector<std::string> LoopCalls(const std::string& port, const std::string& request, size_t runs) {
  std::vector<std::string> calls;
  for (size_t i = 0; i < runs; ++i)
    calls.push_back("KXAPI_DiagnosticsLoopBackTest port=" + port.substr(3) + " run=" + std::to_string(i) + " " + request);
  return calls;
}
const std::string kLoopCall = "KXAPI_DiagnosticsLoopBackTest";

}  // namespace

TEST(Loopback, RunsUnderEachStopModeAndPassesTheRequest) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  // The port's runs: Success, Success, Failed (crc 3, disparity 1, frame length 2), Success.
  const std::string b = "count=10 count2=10 ";
  const std::string none = " bytes=0000000000000000 connection=";
  const std::vector<unsigned> once = {0, 0, 0, 1, 1, 0};
  RunCases(box, {"-t", "port", "-s", "loopback"}, {
      {{"runcli", kPort, "10", "3", "2048", "Ignore", "Internal", "CRPAT"}, LoopbackRun("Failed", {3, 1, 2, 3, 2, 1}).Text(),
       -1, kLoopCall, LoopCalls(kPort, b + "stop=0 pattern=1 type=4 size=2048" + none + "2", 3)},
      // Stop: the failed run ends the loop and is not counted as an iteration.
      {{"runcli", kPort, "10", "4", "8", "stop", "External", "cjtpat"}, LoopbackRun("Failed", {3, 1, 2, 2, 2, 1}).Text(),
       -1, kLoopCall, LoopCalls(kPort, b + "stop=1 pattern=2 type=2 size=8" + none + "2", 3)},
      {{"runcli", kPort, "10", "4", "65535", "LOOP", "Internal", "01011010"},
       LoopbackRun("Success", {0, 0, 0, 4, 3, 1}).Text(), -1, kLoopCall,
       LoopCalls(kPort, b + "stop=2 pattern=5 type=4 size=65535 bytes=3031303131303130 connection=2", 4)},
      {{"runcli", kPort, "10", "1", "16", "Ignore", "Internal", "Custom", "-d", "1-2-3-4-5-6-7-8"},
       LoopbackRun("Success", once).Text(), -1, kLoopCall,
       LoopCalls(kPort, b + "stop=0 pattern=4 type=4 size=16 bytes=3132333435363738 connection=2", 1)},
      {{"runcli", kPort, "10", "1", "16", "Ignore", "Internal", "Custom"}, LoopbackRun("Success", once).Text(), -1,
       kLoopCall, LoopCalls(kPort, b + "stop=0 pattern=4 type=4 size=16" + none + "2", 1)},
      // Group G runs the 10-bit internal loopback.
      {{"runcli", kGroupG, "65535", "1", "32", "ignore", "internal_10BIT", "CSPAT"}, LoopbackRun("Success", once).Text(), -1,
       kLoopCall, LoopCalls(kGroupG, "count=65535 count2=65535 stop=0 pattern=3 type=0 size=32" + none + "1", 1)},
      {{"runcli", kGroupF, "1", "1", "32", "Ignore", "FCoE_Echo", "Random", "--DATA-PATTERN", "a-b-c-d-e-f-g-h"},
       LoopbackRun("Success", once).Text(), -1, kLoopCall,
       LoopCalls(kGroupF, "count=1 count2=1 stop=0 pattern=0 type=3 size=32" + none + "0", 1)},
      {{"run", kPort, "1", "3", "8", "Ignore", "Internal", "Random"}, LoopbackRun("Failed", {3, 1, 2, 3, 2, 1}).Xml()},
  });
}

TEST(Loopback, RefusalsComeInCheckOrderWithoutARun) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  const std::string type = "Failed, Loopback type not supported for this adapter";
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
      {{kVirtual, "0", "1", "8", "Ignore", "Internal", "Random"}, kVirtualMsg},
      {{kPort, "0", "1", "8", "Ignore", "Internal", "Random"}, kInvalid},
      {{kPort, "65536", "1", "8", "Ignore", "Internal", "Random"}, kInvalid},
      {{kPort, "1", "0", "8", "Ignore", "Internal", "Random"}, kInvalid},
      {{kPort, "1", "1", "65536", "Ignore", "Internal", "Random"}, kInvalid},
      {{kPort, "1", "1", "100", "Ignore", "Internal", "Random"}, kInvalid}, {{kPort, "1", "1"}, kInvalid},
      {{kPort, "1", "1", "8", "Ignore", "Internal_10bit", "Random"}, type},
      {{kPort, "1", "1", "8", "Ignore", "FCoE_Echo", "Custom", "-d", "12345678"}, type},
      {{kGroupG, "1", "1", "8", "Ignore", "FCoE_Echo", "Random"}, type},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "-d", "12345678"}, kCustom},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "-d", "1-2-3-4-5-6-7-"}, kCustom},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "-d"}, kInvalid},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "--data-pattern=1-2-3-4-5-6-7-8"}, kInvalid},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Random", "-x", "1"}, kInvalid},
      {{kMaintenance, "1", "1", "8", "Ignore", "Internal", "Random"}, kMaintMsg},
      {{kMaintenance, "1", "1", "8", "Ignore", "Internal", "Custom", "-d", "1-2"}, kCustom},
  };
  std::vector<Case> cases = {{{"run", kUnknownPort, "1", "1", "8", "Ignore", "Internal", "Random"},
                              Loopback(kInvalid).Xml(), -1, kLoopCall, {}}};
  for (const auto& [words, message] : rows) {
    cases.push_back({{"runcli"}, Loopback(message).Text(), -1, kLoopCall, {}});
    cases.back().words.insert(cases.back().words.end(), words.begin(), words.end());
  }
  RunCases(box, {"-t", "port", "-s", "loopback"}, cases);
}

namespace {

Fields RwResult(const std::string& status, const std::string& portId, const std::vector<unsigned>& v) {
  return Counted({{"Test Status", status}, {"Port ID", portId}},
                 {"Data Miscompare", "Link Failure", "Loss Of Sync", "Loss Of Signal", "Invalid CRC", "Test Iteration",
                  "Success Count", "Failure Count"}, v);
}

// The list calls of a run, in order: each run's list and each release.
std::vector<std::string> ListCalls(const Result& r) {
  std::vector<std::string> calls;
  std::istringstream log(r.calls);
  for (std::string line; std::getline(log, line);) {
    if (line.starts_with("KXAPI_FreeRWBufferTestResultList")) calls.push_back(line.substr(33));
    if (line.starts_with("KXAPI_DiagnosticsReadWriteBufferTest")) calls.push_back("got " + line.substr(line.find(" list=") + 6));
  }
  return calls;
}

}  // namespace

TEST(RwBuffer, EveryListIsReleasedAndTheLastIsShown) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  // The port's lists: [Success], [Failed, Success], [Success, Success, Failed].
  // Each list is released once the next run has handed back its own.
  struct Row { std::vector<std::string> words; std::string message; std::vector<Fields> shown; std::vector<std::string> lists; bool xml = false; };
  const std::vector<Row> rows = {
      {{kPort, "10000", "3", "128", "Ignore", "Random"}, "Success",
       {RwResult("Success", "01:0a:00", {1, 2, 3, 4, 5, 3, 2, 1}), RwResult("Success", "01:0b:00", {0, 0, 0, 0, 0, 3, 2, 1}),
        RwResult("Failed", "ef:0c:ff", {0, 0, 0, 0, 4294967295u, 3, 2, 1})},
       {"got 1", "got 2", "list=1", "got 3", "list=2", "list=3"}, true},
      {{kPort, "1", "5", "8", "Stop", "Custom", "-d", "a-b-c-d-e-f-g-h"}, "Success",
       {RwResult("Failed", "01:0a:00", {4, 0, 0, 0, 0, 1, 1, 1}), RwResult("Success", "01:0b:00", {0, 0, 0, 0, 0, 1, 1, 1})},
       {"got 1", "got 2", "list=1", "list=2"}},
      // The second run hands back no list: the first is still released.
      {{kGroupG, "1", "3", "8", "Ignore", "Random"}, "Failed, Response data not available", {}, {"got 1", "got null", "list=1"}},
      {{kPort, "10001", "1", "8", "Ignore", "Random"}, kInvalid, {}, {}, true},
      {{kPort, "1", "10001", "8", "Ignore", "Random"}, kInvalid, {}, {}},
      {{kPort, "1", "1", "256", "Ignore", "Random"}, kInvalid, {}, {}},
      {{kPort, "1", "1", "8", "Ignore", "Custom", "-d", "1-2-3"}, kCustom, {}, {}},
      {{kVirtual, "1", "1", "8", "Ignore", "Random"}, kVirtualMsg, {}, {}},
      {{kMaintenance, "1", "1", "8", "Ignore", "Random"}, kMaintMsg, {}, {}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> words = {"-t", "port", "-s", "rwbuffer", row.xml ? "run" : "runcli"};
    words.insert(words.end(), row.words.begin(), row.words.end());
    const Result r = box.Run(words);
    const Doc doc = {"RWBufferTestInfo", {{"Message", row.message}}, "RWBufferTestResult", "RWBufferTestResultList", row.shown};
    EXPECT_EQ(r.out, row.xml ? doc.Xml() : doc.Text()) << row.words[0] << " " << row.words[1];
    EXPECT_EQ(ListCalls(r), row.lists) << row.words[0] << " " << row.words[1];
  }
  EXPECT_EQ(CallsNamed(box.Run({"-t", "port", "-s", "rwbuffer", "run", kPort, "7", "1", "64", "Loop", "10101010"}),
                       "KXAPI_DiagnosticsReadWriteBufferTest"),
            std::vector<std::string>{"KXAPI_DiagnosticsReadWriteBufferTest port=21:00:00:c8:a1:30:09:00 run=0 count=7 "
                                     "count2=7 stop=2 pattern=5 type=0 size=64 bytes=3130313031303130 connection=0 "
                                     "list=1"});
}
