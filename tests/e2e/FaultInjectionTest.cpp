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

// Results a failing call hands back: a plain failure, maintenance mode, and
// one with every bit set.
const uint32_t kResults[] = {1, 150, 0xFFFFFFFFu};

// Calls whose result no command looks at.
const std::set<std::string> kUnexamined = {"KXAPI_Initialize", "KXAPI_SetToolID", "KXAPI_SetToolVersion",
                                           "KXAPI_Uninitialize", "KXAPI_GetAdapterList"};

struct Row {
  const char* name;
  std::vector<std::string> words;      // "%f": an image file in the sandbox; "%o": a file to write there
  std::vector<std::string> prepare{};  // run first, as it is (stages a cache file)
};

const Row kRows[] = {
    {"AdapterList", {"-t", "adapter", "list"}},
    {"AdapterUpdate", {"-t", "adapter", "update", kAdapter, "%f"}},
    {"AdapterInfo", {"-t", "adapter", "-s", "info", "get", kAdapter}},
    {"PersonalityGet", {"-t", "adapter", "-s", "personality", "get", kAdapter}},
    {"PersonalitySet", {"-t", "adapter", "-s", "personality", "set", kAdapter, "CNA"}},
    {"FlashInfo", {"-t", "adapter", "-s", "flashinfo", "get", kAdapter}},
    {"PortList", {"-t", "port", "list"}},
    {"UpdateNvram", {"-t", "port", "updatenvram", kPort, "%f"}},
    {"PortInfo", {"-t", "port", "-s", "info", "get", kPort}},
    {"PortStats", {"-t", "port", "-s", "stats", "get", kPort}},
    {"PortStatsReset", {"-t", "port", "-s", "stats", "reset", kPort}},
    {"DmiGet", {"-t", "port", "-s", "dmi", "get", kPort, "-r", "true"}},
    {"DmiGetRaw", {"-t", "port", "-s", "dmi", "getraw", kPort}},
    {"DmiSave", {"-t", "port", "-s", "dmi", "save", kPort, "%o", "Binary"}},
    {"DmiUpdate", {"-t", "port", "-s", "dmi", "update", kPort, "%f", "WTD"}},
    {"Vpd", {"-t", "port", "-s", "vpd", "get", kPort}},
    {"HbaGet", {"-t", "port", "-s", "hbaparams", "get", kPort}},
    {"HbaSetFile", {"-t", "port", "-s", "hbaparams", "setFile", kPort, "-r", "11"}},
    {"HbaSet", {"-t", "port", "-s", "hbaparams", "set", kPort}, {"-t", "port", "-s", "hbaparams", "setFile", kPort, "-r", "11"}},
    {"HbaRestore", {"-t", "port", "-s", "hbaparams", "restoreDefaults", kPort}},
    {"HbaSave", {"-t", "port", "-s", "hbaparams", "save", kPort, "%o"}},
    {"BbcrGet", {"-t", "port", "-s", "bbcr", "get", kPort}},
    {"BbcrSetFile", {"-t", "port", "-s", "bbcr", "setFile", kPort, "-c", "3"}},
    {"BbcrSet", {"-t", "port", "-s", "bbcr", "set", kPort}, {"-t", "port", "-s", "bbcr", "setFile", kPort, "-c", "3"}},
    {"FecGet", {"-t", "port", "-s", "fec", "get", kPort}},
    {"FecSet", {"-t", "port", "-s", "fec", "set", kPort, "-f", "true", "-r", "reset"}},
    {"BeaconGet", {"-t", "port", "-s", "beacon", "get", kPort}},
    {"BeaconSet", {"-t", "port", "-s", "beacon", "set", kPort, "on"}},
    {"FwDump", {"-t", "port", "-s", "fwdump", "get", kPort, "%o"}},
    {"TargetList", {"-t", "target", "list"}},
    {"TargetInfo", {"-t", "target", "-v", "info", "get", kTarget}},
    {"TargetStats", {"-t", "target", "-v", "stats", "get", kTarget}},
    {"IidmaGet", {"-t", "target", "-v", "iidma", "get", kTarget}},
    {"IidmaSet", {"-t", "target", "-v", "iidma", "set", kTarget, "8_Gbps"}},
    {"LunList", {"-t", "lun", "list"}},
    {"LunInfo", {"-t", "lun", "-v", "info", "get", kLun}},
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
  std::string line;
  while (std::getline(in, line)) {
    const std::string name = line.substr(0, line.find(' '));
    if (!kUnexamined.count(name) && std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(name);
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
  for (std::string& w : words)
    if (w == "%f" || w == "%o") w = box.File(w == "%f" ? "image.bin" : "out.bin");

  box.UseFixtureText(inventory);
  if (!row.prepare.empty()) box.Run(row.prepare);
  const Result plain = box.Run(words);
  ASSERT_EQ(plain.out.rfind(kXmlHead, 0), 0u) << plain.out;
  const std::vector<std::string> calls = CallNames(plain);
  ASSERT_FALSE(calls.empty()) << row.name << " makes no library call";

  const size_t close = inventory.rfind('}');
  for (const std::string& call : calls) {
    for (uint32_t rc : kResults) {
      SCOPED_TRACE(call + " rc=" + std::to_string(rc));
      box.UseFixtureText(inventory.substr(0, close) + ", \"calls\": [{\"call\": \"" + call +
                         "\", \"rc\": " + std::to_string(rc) + "}]}");
      if (!row.prepare.empty()) box.Run(row.prepare);
      const Result r = box.Run(words);
      EXPECT_EQ(r.signal, 0);
      EXPECT_EQ(r.exitCode, 0);
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(r.out.rfind(kXmlHead, 0), 0u) << r.out;
      const std::string tail = "</output>\n";
      EXPECT_TRUE(r.out.size() > tail.size() && r.out.compare(r.out.size() - tail.size(), tail.size(), tail) == 0)
          << r.out;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultInjection, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
