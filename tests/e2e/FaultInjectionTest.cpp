// Every library call a command makes, failing with a few results (150 among
// them), for every command in the table: the command always prints its whole
// document and ends normally. The calls are found by running the command once
// as it is; each is then failed through the stand-in's scripted results.
#include <algorithm>
#include <set>
#include <sstream>

#include "tests/e2e/Described.h"

using namespace e2e;

namespace {

// Results a failing call hands back: a plain failure, maintenance mode, and
// one with every bit set.
const uint32_t kResults[] = {1, 150, 0xFFFFFFFFu};

// Calls whose result no command looks at.
const std::set<std::string> kUnexamined = {"KXAPI_Initialize", "KXAPI_SetToolID", "KXAPI_SetToolVersion",
                                           "KXAPI_Uninitialize"};
// The inventory call hands back a list, not a result: it fails by having none.
const std::string kInventory = "KXAPI_GetAdapterList";

// What a command needs staged first in its mode: setFile before set, set before run.
std::vector<std::string> Staging(const DescribedCommand& d, const Sandbox& box) {
  const std::string name = d.command.entry->GetName();
  const std::string stager = name == "set" ? "setFile" : name == "run" ? "set" : "";
  for (const DescribedCommand& e : DescribedCommands())
    if (e.command.modes == d.command.modes && e.command.entry->GetName() == stager) return e.Words(box);
  return {};
}

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

class FaultInjection : public ::testing::TestWithParam<DescribedCommand> {};

TEST_P(FaultInjection, EveryFailingCallStillPrintsTheWholeDocument) {
  const DescribedCommand& command = GetParam();
  const bool listsInventory = command.command.spec->params.empty();  // without one a list prints nothing
  Sandbox box;
  const std::string inventory = DefaultInventory();
  ASSERT_GT(inventory.size(), 100u);
  const std::vector<std::string> words = command.Words(box), prepare = Staging(command, box);

  box.UseFixtureText(inventory);
  if (!prepare.empty()) box.Run(prepare);
  const Result plain = box.Run(words);
  ASSERT_TRUE(plain.out.starts_with(kXmlHead)) << plain.out;
  const std::vector<std::string> calls = CallNames(plain);
  ASSERT_FALSE(calls.empty()) << command.path << " makes no library call";

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
      if (!listsInventory) expectDocument(r);
      else EXPECT_TRUE(r.out.empty() && r.signal == 0) << r.out;
      continue;
    }
    for (uint32_t rc : kResults) {
      SCOPED_TRACE(call + " rc=" + std::to_string(rc));
      box.UseFixtureText(inventory.substr(0, close) + ", \"calls\": [{\"call\": \"" + call +
                         "\", \"rc\": " + std::to_string(rc) + "}]}");
      if (!prepare.empty()) box.Run(prepare);
      expectDocument(box.Run(words));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultInjection, ::testing::ValuesIn(DescribedCommands()),
                         [](const ::testing::TestParamInfo<DescribedCommand>& info) {
                           std::string name = info.param.path.substr(info.param.path.find('.') + 1);
                           for (char& c : name) if (c == '.') c = '_';
                           return name;
                         });

}  // namespace
