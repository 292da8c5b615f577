// Read Diagnostic Parameters, loopback and read/write buffer tests: whole
// documents in both forms, check order, run loops and the release of every
// result list, against the stand-in's sequences.
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

// One field of a result element: a string, an unsigned int, or a text block.
struct Field {
  enum Kind { kString, kInt, kBlock } kind;
  std::string name;
  std::string value;
};
Field S(const std::string& n, const std::string& v) { return {Field::kString, n, v}; }
Field I(const std::string& n, unsigned v) { return {Field::kInt, n, std::to_string(v)}; }
using Element = std::vector<Field>;

// structure { Message, listField [ element {...} ... ] } in either form.
std::string Doc(bool xml, const std::string& structure, const std::string& message, const std::string& listField,
                const std::string& elementType, const std::vector<Element>& elements) {
  auto field = [xml](const Field& f) {
    if (!xml) return f.name + ": " + f.value + (f.kind == Field::kBlock ? "" : "\n");
    const char* tag = f.kind == Field::kInt ? "int" : "string";
    return "<field name=\"" + f.name + "\">\n<" + tag + ">" + f.value + "</" + tag + "></field>\n";
  };
  std::string out = xml ? kXmlHead + "<structure typeName=\"" + structure + "\">\n" : kStars + structure + ":\n";
  out += field(S("Message", message));
  out += xml ? "<field name=\"" + listField + "\">\n<list type=\"structure\">\n" : listField + ": ";
  for (const Element& e : elements) {
    out += xml ? "<structure typeName=\"" + elementType + "\">\n" : elementType + ":\n";
    for (const Field& f : e) out += field(f);
    if (xml) out += "</structure>\n";
  }
  out += xml ? "</list>\n</field>\n</structure>\n</output>\n" : kStars;
  return out;
}

Result PortRun(const Sandbox& box, const std::string& mode, const std::vector<std::string>& words) {
  std::vector<std::string> args = {"-t", "port", "-s", mode};
  args.insert(args.end(), words.begin(), words.end());
  return box.Run(args);
}

const std::string kRule = "---------------------------------\n";
const std::string kRdpReport =
    kRule + "Port Speed Information\n" + kRule + "Port Speed Capabilities: 16 Gbps\nPort Operating Speed: 0 Gbps\n\n";
const std::string kFecReport =
    kRule + "FEC Status Information\n" + kRule + "Correctable Blocks: 10\nUnCorreatable Blocks: 2\n\n";

std::string Rdp(bool xml, const std::string& message, const std::string* report = nullptr) {
  std::vector<Element> elements;
  if (report) elements.push_back({{Field::kBlock, "RDPInfo", *report}});
  return Doc(xml, "RDPInformation", message, "Read Diagnostics Parameters Data", "RDPDataList", elements);
}

}  // namespace

TEST(Rdp, ReportsAndFailures) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  const std::string full = kRdpReport + kFecReport;
  const std::string cut = kRdpReport;  // 16 bytes returned: the first descriptor only
  const std::string empty;
  struct Case {
    std::string port;
    std::string message;
    const std::string* report;
    size_t calls;
  };
  const std::vector<Case> cases = {
      {kPort, "Success", &full, 1},
      {kGroupG, "Success", &cut, 1},
      {kOversize, "Success", &empty, 1},  // believed only as far as the buffer goes
      {kVirtual, "Failed, Feature not supported for virtual port", nullptr, 0},
      {kLinkDown, "Failed, Feature requires link up", nullptr, 0},
      {kMaintenance, "Failed, Command not supported when adapter port in maintenance mode", nullptr, 1},
      {kGroupF, "Failed, Diagnostic test failed", nullptr, 1},
      {kUnknownPort, "Failed, Invalid parameter", nullptr, 0},
  };
  for (const Case& c : cases) {
    for (bool xml : {true, false}) {
      Result r = PortRun(box, "rdp", {xml ? "get" : "runcli", c.port});
      EXPECT_EQ(r.out, Rdp(xml, c.message, c.report)) << c.port << (xml ? " xml" : " text");
      EXPECT_EQ(CallsNamed(r, "KXAPI_DiagnosticsRDPTest").size(), c.calls) << c.port;
    }
  }
  EXPECT_EQ(CallsNamed(PortRun(box, "rdp", {"get", kPort}), "KXAPI_DiagnosticsRDPTest"),
            std::vector<std::string>{"KXAPI_DiagnosticsRDPTest port=21:00:00:c8:a1:30:09:00 size=508"});
  EXPECT_EQ(PortRun(box, "rdp", {"getcli", kPort}).out, "Unknown command or invalid target identifier!\r\n");
}

namespace {

std::string Loopback(bool xml, const std::string& message, const std::vector<Element>& elements = {}) {
  return Doc(xml, "LoopbackTestInfo", message, "LoopbackTestResult", "LoopbackTestResultList", elements);
}
Element LoopbackResult(const std::string& status, unsigned crc, unsigned disparity, unsigned frame, unsigned it,
                       unsigned ok, unsigned failed) {
  return {S("Test Status", status),       I("Crc Error", crc),     I("Disparity Error", disparity),
          I("Frame Length Error", frame), I("Test Iteration", it), I("Success Count", ok),
          I("Failure Count", failed)};
}

}  // namespace

TEST(Loopback, RunsUnderEachStopModeAndPassesTheRequest) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  // The port's runs: Success, Success, Failed (crc 3, disparity 1, frame length 2), Success.
  const Element failedThird = LoopbackResult("Failed", 3, 1, 2, 3, 2, 1);
  struct Case {
    std::vector<std::string> words;
    Element shown;
    std::string request;  // the request fields of every call
    size_t calls;
  };
  const std::string base = "count=10 count2=10 ";
  const std::vector<Case> cases = {
      {{kPort, "10", "3", "2048", "Ignore", "Internal", "CRPAT"},
       failedThird,
       base + "stop=0 pattern=1 type=4 size=2048 bytes=0000000000000000 connection=2",
       3},
      // Stop: the failed run ends the loop and is not counted as an iteration.
      {{kPort, "10", "4", "8", "stop", "External", "cjtpat"},
       LoopbackResult("Failed", 3, 1, 2, 2, 2, 1),
       base + "stop=1 pattern=2 type=2 size=8 bytes=0000000000000000 connection=2",
       3},
      {{kPort, "10", "4", "65535", "LOOP", "Internal", "01011010"},
       LoopbackResult("Success", 0, 0, 0, 4, 3, 1),
       base + "stop=2 pattern=5 type=4 size=65535 bytes=3031303131303130 connection=2",
       4},
      {{kPort, "10", "1", "16", "Ignore", "Internal", "Custom", "-d", "1-2-3-4-5-6-7-8"},
       LoopbackResult("Success", 0, 0, 0, 1, 1, 0),
       base + "stop=0 pattern=4 type=4 size=16 bytes=3132333435363738 connection=2",
       1},
      {{kPort, "10", "1", "16", "Ignore", "Internal", "Custom"},
       LoopbackResult("Success", 0, 0, 0, 1, 1, 0),
       base + "stop=0 pattern=4 type=4 size=16 bytes=0000000000000000 connection=2",
       1},
      // An unknown stop word is 0; group G runs the 10-bit internal loopback, an unknown type word.
      {{kGroupG, "65535", "1", "32", "Sometimes", "Wrap", "CSPAT"},
       LoopbackResult("Success", 0, 0, 0, 1, 1, 0),
       "count=65535 count2=65535 stop=0 pattern=3 type=0 size=32 bytes=0000000000000000 connection=1",
       1},
      {{kGroupF, "1", "1", "32", "Ignore", "FCoE_Echo", "Random", "--DATA-PATTERN", "a-b-c-d-e-f-g-h"},
       LoopbackResult("Success", 0, 0, 0, 1, 1, 0),
       "count=1 count2=1 stop=0 pattern=0 type=3 size=32 bytes=0000000000000000 connection=0",
       1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words = {"runcli"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    Result r = PortRun(box, "loopback", words);
    EXPECT_EQ(r.out, Loopback(false, "Success", {c.shown})) << c.words[4] << " " << c.words[6];
    const std::vector<std::string> calls = CallsNamed(r, "KXAPI_DiagnosticsLoopBackTest");
    ASSERT_EQ(calls.size(), c.calls) << c.words[4];
    for (size_t i = 0; i < calls.size(); ++i)
      EXPECT_EQ(calls[i], "KXAPI_DiagnosticsLoopBackTest port=" + c.words[0].substr(3) + " run=" + std::to_string(i) +
                              " " + c.request);
  }
  EXPECT_EQ(PortRun(box, "loopback", {"run", kPort, "1", "3", "8", "Ignore", "Internal", "Random"}).out,
            Loopback(true, "Success", {failedThird}));
}

TEST(Loopback, RefusalsComeInCheckOrderWithoutARun) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  const std::string invalid = "Failed, Invalid parameter";
  const std::string typeRefused = "Failed, Loopback type not supported for this adapter";
  struct Case {
    std::vector<std::string> words;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{kUnknownPort, "1", "1", "8", "Ignore", "Internal", "Random"}, invalid},
      {{kVirtual, "0", "1", "8", "Ignore", "Internal", "Random"}, "Failed, Feature not supported for virtual port"},
      {{kPort, "0", "1", "8", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "65536", "1", "8", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "12abc", "1", "8", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "1", "0", "8", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "1", "99999999999999999999", "8", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "1", "1", "65536", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "1", "1", "100", "Ignore", "Internal", "Random"}, invalid},
      {{kPort, "1", "1"}, invalid},
      {{kPort, "1", "1", "8", "Ignore", "Internal_10bit", "Random"}, typeRefused},
      {{kPort, "1", "1", "8", "Ignore", "FCoE_Echo", "Custom", "-d", "12345678"}, typeRefused},
      {{kGroupG, "1", "1", "8", "Ignore", "FCoE_Echo", "Random"}, typeRefused},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "-d", "12345678"},
       "Failed, Custom Data should be of 8 chars separated by '-' (hifen)"},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "-d", "1-2-3-4-5-6-7-"},
       "Failed, Custom Data should be of 8 chars separated by '-' (hifen)"},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "-d"},
       "Failed, Custom Data should be of 8 chars separated by '-' (hifen)"},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Custom", "--data-pattern=1-2-3-4-5-6-7-8"}, invalid},
      {{kPort, "1", "1", "8", "Ignore", "Internal", "Random", "-x", "1"}, invalid},
      {{kMaintenance, "1", "1", "8", "Ignore", "Internal", "Random"},
       "Failed, Command not supported when adapter port in maintenance mode"},
      {{kMaintenance, "1", "1", "8", "Ignore", "Internal", "Custom", "-d", "1-2"},
       "Failed, Custom Data should be of 8 chars separated by '-' (hifen)"},
  };
  for (const Case& c : cases) {
    for (bool xml : {true, false}) {
      std::vector<std::string> words = {xml ? "run" : "runcli"};
      words.insert(words.end(), c.words.begin(), c.words.end());
      Result r = PortRun(box, "loopback", words);
      EXPECT_EQ(r.out, Loopback(xml, c.message)) << c.words[0] << " " << (c.words.size() > 1 ? c.words[1] : "");
      EXPECT_TRUE(CallsNamed(r, "KXAPI_DiagnosticsLoopBackTest").empty()) << c.words[0];
    }
  }
}

namespace {

std::string RwBuffer(bool xml, const std::string& message, const std::vector<Element>& elements = {}) {
  return Doc(xml, "RWBufferTestInfo", message, "RWBufferTestResult", "RWBufferTestResultList", elements);
}
Element RwResult(const std::string& status, const std::string& portId, std::vector<unsigned> counters, unsigned it,
                 unsigned ok, unsigned failed) {
  return {S("Test Status", status),       S("Port ID", portId),           I("Data Miscompare", counters[0]),
          I("Link Failure", counters[1]), I("Loss Of Sync", counters[2]), I("Loss Of Signal", counters[3]),
          I("Invalid CRC", counters[4]),  I("Test Iteration", it),        I("Success Count", ok),
          I("Failure Count", failed)};
}

// The list calls of a run, in order: each run's list and each release.
std::vector<std::string> ListCalls(const Result& r) {
  std::vector<std::string> calls;
  std::string line;
  for (char ch : r.calls) {
    if (ch != '\n') {
      line += ch;
      continue;
    }
    if (line.rfind("KXAPI_FreeRWBufferTestResultList", 0) == 0) calls.push_back(line.substr(33));
    const size_t list = line.find(" list=");
    if (line.rfind("KXAPI_DiagnosticsReadWriteBufferTest", 0) == 0) calls.push_back("got " + line.substr(list + 6));
    line.clear();
  }
  return calls;
}

}  // namespace

TEST(RwBuffer, EveryListIsReleasedAndTheLastIsShown) {
  Sandbox box;
  box.UseFixture("diag-rdp-loopback.json");
  const std::vector<unsigned> zero = {0, 0, 0, 0, 0};
  // The port's lists: [Success], [Failed, Success], [Success, Success, Failed].
  // Each list is released once the next run has handed back its own.
  struct Case {
    std::vector<std::string> words;
    std::string message;
    std::vector<Element> shown;
    std::vector<std::string> lists;
  };
  const std::vector<Case> cases = {
      {{kPort, "10000", "3", "128", "Ignore", "Random"},
       "Success",
       {RwResult("Success", "01:0a:00", {1, 2, 3, 4, 5}, 3, 2, 1), RwResult("Success", "01:0b:00", zero, 3, 2, 1),
        RwResult("Failed", "ef:0c:ff", {0, 0, 0, 0, 4294967295u}, 3, 2, 1)},
       {"got 1", "got 2", "list=1", "got 3", "list=2", "list=3"}},
      {{kPort, "1", "5", "8", "Stop", "Custom", "-d", "a-b-c-d-e-f-g-h"},
       "Success",
       {RwResult("Failed", "01:0a:00", {4, 0, 0, 0, 0}, 1, 1, 1), RwResult("Success", "01:0b:00", zero, 1, 1, 1)},
       {"got 1", "got 2", "list=1", "list=2"}},
      // The second run hands back no list: the first is still released.
      {{kGroupG, "1", "3", "8", "Ignore", "Random"},
       "Failed, Response data not available",
       {},
       {"got 1", "got null", "list=1"}},
      {{kPort, "10001", "1", "8", "Ignore", "Random"}, "Failed, Invalid parameter", {}, {}},
      {{kPort, "1", "10001", "8", "Ignore", "Random"}, "Failed, Invalid parameter", {}, {}},
      {{kPort, "1", "1", "256", "Ignore", "Random"}, "Failed, Invalid parameter", {}, {}},
      {{kPort, "1", "1", "8", "Ignore", "Custom", "-d", "1-2-3"},
       "Failed, Custom Data should be of 8 chars separated by '-' (hifen)",
       {},
       {}},
      {{kVirtual, "1", "1", "8", "Ignore", "Random"}, "Failed, Feature not supported for virtual port", {}, {}},
      {{kMaintenance, "1", "1", "8", "Ignore", "Random"},
       "Failed, Command not supported when adapter port in maintenance mode",
       {},
       {}},
  };
  for (const Case& c : cases) {
    for (bool xml : {true, false}) {
      std::vector<std::string> words = {xml ? "run" : "runcli"};
      words.insert(words.end(), c.words.begin(), c.words.end());
      Result r = PortRun(box, "rwbuffer", words);
      EXPECT_EQ(r.out, RwBuffer(xml, c.message, c.shown)) << c.words[0] << " " << c.words[1];
      EXPECT_EQ(ListCalls(r), c.lists) << c.words[0] << " " << c.words[1];
    }
  }
  EXPECT_EQ(CallsNamed(PortRun(box, "rwbuffer", {"run", kPort, "7", "1", "64", "Loop", "10101010"}),
                       "KXAPI_DiagnosticsReadWriteBufferTest"),
            std::vector<std::string>{"KXAPI_DiagnosticsReadWriteBufferTest port=21:00:00:c8:a1:30:09:00 run=0 count=7 "
                                     "count2=7 stop=2 pattern=5 type=0 size=64 bytes=3130313031303130 connection=0 "
                                     "list=1"});
}
