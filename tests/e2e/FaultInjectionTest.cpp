// Every library call a command makes, failing with a few results (150 among
// them), for every command in the table: the command always prints its whole
// document and ends normally. The calls are found by running the command once
// as it is; each is then failed through the stand-in's scripted results.
#include <algorithm>
#include <set>
#include <sstream>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kAdapter = "Adapter_KX3262_KXA21350001";
const std::string kTarget = kPort + "_Target_50:00:c8:a1:00:00:10:01";
const std::string kLun = kTarget + "_LUN_1";
const std::string kWwpn = "50:00:c8:a1:00:00:10:01";

// Results a failing call hands back: a plain failure, maintenance mode, and
// one with every bit set.
const uint32_t kResults[] = {1, 150, 0xFFFFFFFFu};

// Calls whose result no command looks at.
const std::set<std::string> kUnexamined = {"KXAPI_Initialize", "KXAPI_SetToolID", "KXAPI_SetToolVersion",
                                           "KXAPI_Uninitialize"};
// The inventory call hands back a list, not a result: it fails by having none.
const std::string kInventory = "KXAPI_GetAdapterList";

struct Row {
  const char* name;
  bool listsInventory;                 // without an inventory a list prints nothing
  std::vector<std::string> words;      // "%f": an image file in the sandbox; "%o": a file to write there
  std::vector<std::string> prepare{};  // run first, as it is (stages a cache file)
};

const Row kRows[] = {
    {"AdapterList", true, {"-t", "adapter", "list"}},
    {"AdapterUpdate", false, {"-t", "adapter", "update", kAdapter, "%f"}},
    {"AdapterInfo", false, {"-t", "adapter", "-s", "info", "get", kAdapter}},
    {"PersonalityGet", false, {"-t", "adapter", "-s", "personality", "get", kAdapter}},
    {"PersonalitySet", false, {"-t", "adapter", "-s", "personality", "set", kAdapter, "CNA"}},
    {"FlashInfo", false, {"-t", "adapter", "-s", "flashinfo", "get", kAdapter}},
    {"PortList", true, {"-t", "port", "list"}},
    {"UpdateNvram", false, {"-t", "port", "updatenvram", kPort, "%f"}},
    {"PortInfo", false, {"-t", "port", "-s", "info", "get", kPort}},
    {"PortStats", false, {"-t", "port", "-s", "stats", "get", kPort}},
    {"PortStatsReset", false, {"-t", "port", "-s", "stats", "reset", kPort}},
    {"DmiGet", false, {"-t", "port", "-s", "dmi", "get", kPort, "-r", "true"}},
    {"DmiGetRaw", false, {"-t", "port", "-s", "dmi", "getraw", kPort}},
    {"DmiSave", false, {"-t", "port", "-s", "dmi", "save", kPort, "%o", "Binary"}},
    {"DmiUpdate", false, {"-t", "port", "-s", "dmi", "update", kPort, "%f", "WTD"}},
    {"Vpd", false, {"-t", "port", "-s", "vpd", "get", kPort}},
    {"HbaGet", false, {"-t", "port", "-s", "hbaparams", "get", kPort}},
    {"HbaSetFile", false, {"-t", "port", "-s", "hbaparams", "setFile", kPort, "-r", "11"}},
    {"HbaSet", false, {"-t", "port", "-s", "hbaparams", "set", kPort}, {"-t", "port", "-s", "hbaparams", "setFile", kPort, "-r", "11"}},
    {"HbaRestore", false, {"-t", "port", "-s", "hbaparams", "restoreDefaults", kPort}},
    {"HbaSave", false, {"-t", "port", "-s", "hbaparams", "save", kPort, "%o"}},
    {"BbcrGet", false, {"-t", "port", "-s", "bbcr", "get", kPort}},
    {"BbcrSetFile", false, {"-t", "port", "-s", "bbcr", "setFile", kPort, "-c", "3"}},
    {"BbcrSet", false, {"-t", "port", "-s", "bbcr", "set", kPort}, {"-t", "port", "-s", "bbcr", "setFile", kPort, "-c", "3"}},
    {"FecGet", false, {"-t", "port", "-s", "fec", "get", kPort}},
    {"FecSet", false, {"-t", "port", "-s", "fec", "set", kPort, "-f", "true", "-r", "reset"}},
    {"BeaconGet", false, {"-t", "port", "-s", "beacon", "get", kPort}},
    {"BeaconSet", false, {"-t", "port", "-s", "beacon", "set", kPort, "on"}},
    {"FwDump", false, {"-t", "port", "-s", "fwdump", "get", kPort, "%o"}},
    {"TargetList", true, {"-t", "target", "list"}},
    {"TargetInfo", false, {"-t", "target", "-v", "info", "get", kTarget}},
    {"TargetStats", false, {"-t", "target", "-v", "stats", "get", kTarget}},
    {"IidmaGet", false, {"-t", "target", "-v", "iidma", "get", kTarget}},
    {"IidmaSet", false, {"-t", "target", "-v", "iidma", "set", kTarget, "8_Gbps"}},
    {"LunList", true, {"-t", "lun", "list"}},
    {"LunInfo", false, {"-t", "lun", "-v", "info", "get", kLun}},
    {"BootGet", false, {"-t", "port", "-s", "bootconfig", "get", kPort}},
    {"BootSet", false, {"-t", "port", "-s", "bootconfig", "set", kPort}, {"-t", "port", "-s", "bootconfig", "setFile", kPort, "-a", "true"}},
    {"BootExtSet", false, {"-t", "port", "-s", "bootconfigext", "set", kPort}, {"-t", "port", "-s", "bootconfigext", "setFile", kPort, "BIOS", "-a", "true"}},
    {"DPortSet", false, {"-t", "port", "-s", "dportdiag", "set", kPort, "true"}},
    {"DPortRun", false, {"-t", "port", "-s", "dportdiag", "run", kPort}, {"-t", "port", "-s", "dportdiag", "set", kPort, "true"}},
    {"CtDiag", false, {"-t", "port", "-s", "ctdiag", "run", kPort, "CTPing", kWwpn, "2"}},
    {"FcPing", false, {"-t", "port", "-s", "fcping", "run", kPort, kWwpn, "2"}},
    {"FcEcho", false, {"-t", "port", "-s", "fcecho", "run", kPort, kWwpn, "3"}},
    {"Rdp", false, {"-t", "port", "-s", "rdp", "get", kPort}},
    {"Loopback", false, {"-t", "port", "-s", "loopback", "run", kPort, "2", "2", "512", "Ignore", "Internal", "Random"}},
    {"RwBuffer", false, {"-t", "port", "-s", "rwbuffer", "run", kPort, "2", "2", "128", "Ignore", "Random"}},
    {"ScmStats", false, {"-t", "port", "-s", "scmstats", "get", kPort}},
    {"ScmClear", false, {"-t", "port", "-s", "scmstats", "clear", kPort}},
    {"ScmChk", false, {"-t", "port", "-s", "scmchk", "get", kPort}},
    {"ScmProfileSet", false, {"-t", "port", "-s", "scmprofile", "set", kPort, "-a", "Moderate"}},
    {"TargetScmStats", false, {"-t", "target", "-v", "scmstats", "get", kTarget}},
    {"TargetScmChk", false, {"-t", "target", "-v", "scmchk", "get", kTarget}},
};

// The stand-in's default inventory, as its source states it.
std::string DefaultInventory() {
  const std::string source = ReadFile(std::string(KXFC_FIXTURE_DIR) + "/../../sim/DefaultInventory.cpp");
  const size_t begin = source.find("R\"json(") + 7;
  return source.substr(begin, source.find(")json\"") - begin);
}

std::vector<std::string> CallNames(const Result& r) {
  std::vector<std::string> names;
  std::istringstream in(r.calls);
  for (std::string line; std::getline(in, line);) {
    const std::string name = line.substr(0, line.find(' '));
    if (!kUnexamined.count(name) && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

class FaultInjection : public ::testing::TestWithParam<Row> {};

TEST_P(FaultInjection, EveryFailingCallStillPrintsTheWholeDocument) {
  const Row& row = GetParam();
  Sandbox box;
  const std::string inventory = DefaultInventory();
  ASSERT_GT(inventory.size(), 100u);
  WriteFile(box.File("image.bin"), "kaltex image");
  std::vector<std::string> words = row.words;
  for (std::string& w : words) if (w == "%f" || w == "%o") w = box.File(w == "%f" ? "image.bin" : "out.bin");

  box.UseFixtureText(inventory);
  if (!row.prepare.empty()) box.Run(row.prepare);
  const Result plain = box.Run(words);
  ASSERT_TRUE(plain.out.starts_with(kXmlHead)) << plain.out;
  const std::vector<std::string> calls = CallNames(plain);
  ASSERT_FALSE(calls.empty()) << row.name << " makes no library call";

  const size_t close = inventory.rfind('}');
  auto expectDocument = [&](const Result& r) {
    EXPECT_EQ(r.exitCode, 0);  // -1 when a signal ended it
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.starts_with(kXmlHead) && r.out.ends_with("</output>\n")) << r.out;
  };
  for (const std::string& call : calls) {
    if (call == kInventory) {
      SCOPED_TRACE("no inventory");
      box.UseFixtureText(inventory.substr(0, close) + ", \"noAdapterList\": true}");
      const Result r = box.Run(words);
      if (!row.listsInventory) expectDocument(r);
      else EXPECT_TRUE(r.out.empty() && r.signal == 0) << r.out;
      continue;
    }
    for (uint32_t rc : kResults) {
      SCOPED_TRACE(call + " rc=" + std::to_string(rc));
      box.UseFixtureText(inventory.substr(0, close) + ", \"calls\": [{\"call\": \"" + call +
                         "\", \"rc\": " + std::to_string(rc) + "}]}");
      if (!row.prepare.empty()) box.Run(row.prepare);
      expectDocument(box.Run(words));
    }
  }
}

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

INSTANTIATE_TEST_SUITE_P(Commands, FaultInjection, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
