// Adapter personality: get and set, with the stand-in keeping the change.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::vector<std::string> kMode = {"-t", "adapter", "-s", "personality"};
const std::string kGetUsage = "Usage: get [adapter identifier]\r\n";
const std::string kSetUsage = "Usage: set [adapter identifier]\r\n";
const std::string kGet = "KXAPI_GetPersonalityType", kChange = "KXAPI_ChangePersonalityType";
const std::string kBoth = kGet + "," + kChange;

Doc Get(const std::string& message, const std::string& personality) {
  return {"AdapterPersonality", {{"Message", message}, {"Personality", personality}}};
}
Doc Set(bool reboot, const std::string& message, const std::string& personality) {
  return {"AdapterPersonality", {{"Reboot Required", Bool(reboot)}, {"Message", message}, {"Personality", personality}}};
}

}  // namespace

TEST(AdapterPersonality, GetAndSet) {
  Sandbox box;
  box.UseFixture("adapter-personality.json");
  const std::string id = "Adapter_KX2350_SE0001", port = " port=21:00:00:c8:a1:20:01:00";
  RunCases(box, kMode,
           {// Group D: the library tells; others are converged by device identifier, or FC.
            {{"getcli", id}, Get("Success", "FC").Text(), 0, kGet, {kGet + port}},
            {{"get", id}, Get("Success", "FC").Xml()},
            {{"getcli", "Adapter_KX2360_SF0001"}, Get("Success", "CNA").Text(), 0, kGet, {kGet + " port=21:00:00:c8:a1:20:02:00"}},
            {{"getcli", "Adapter_KX2600_SJ0001"}, Get("Success", "CNA").Text(), 0, kGet},
            {{"getcli", "Adapter_KX2700_SK0001"}, Get("Success", "CNA").Text(), 0, kGet},
            {{"getcli", "Adapter_KX2031_SA0001"}, Get("Success", "FC").Text(), 0, kGet},
            // Already FC: no change call, still a reboot.
            {{"setcli", id, "FC"}, Set(true, "Success", "FC").Text(), 0, kBoth, {kGet + port}},
            {{"set", id, "cna"}, Set(true, "Success", "CNA").Xml(), 0, kChange, {kChange + port + " personality=1"}},
            {{"getcli", id}, Get("Success", "CNA").Text()},
            {{"setcli", id, "fc"}, Set(true, "Success", "FC").Text(), 0, kChange, {kChange + port + " personality=0"}}});
}

TEST(AdapterPersonality, Refusals) {
  Sandbox box;
  box.UseFixture("adapter-personality.json");
  const struct {
    std::vector<std::string> words;  // after the command name
    int status;
    const char* message;
  } rows[] = {
      {{"Adapter_KX2031_SA0001", "CNA"}, 35, "Failed, Feature not supported for this adapter"},
      {{"Adapter_KX2600_SJ0001", "FC"}, 35, "Failed, Feature not supported for this adapter"},
      {{"Adapter_KX2351_SV0001", "CNA"}, 51, "Failed, Feature not supported for virtual port"},
      {{"Adapter_KX2352_SL0001", "CNA"}, 24, "Failed, Personality change not allowed for user"},
      {{"Adapter_KX2353_SM0001", "FC"}, 60, "Failed, Command not supported when adapter port in maintenance mode"},
      {{"Adapter_KX2354_SX0001", "CNA"}, 20, "Failed, Personality change failed"},
      {{"Adapter_KX2355_SR0001", "CNA"}, 13, "Failed, Personality read failed"},
      {{"Adapter_KX2355_SR0009", "CNA"}, 6, "Failed, Invalid parameter"},
      // The missing word is status 4, outside this family's table; it is looked
      // for only once the adapter may change at all.
      {{"Adapter_KX2350_SE0001"}, 4, "Failed, Unknown"},
      {{"Adapter_KX2600_SJ0001"}, 35, "Failed, Feature not supported for this adapter"},
  };
  std::vector<Case> cases;
  for (const auto& row : rows) {
    const bool usage = row.status == 4 || row.status == 6;
    std::vector<std::string> words = {"setcli"};
    words.insert(words.end(), row.words.begin(), row.words.end());
    cases.push_back({words, Set(false, row.message, "Unknown").Text() + (usage ? kSetUsage : ""), row.status});
    words[0] = "set";
    cases.push_back({words, Set(false, row.message, "Unknown").Xml()});
  }
  const std::string virt = "Failed, Feature not supported for virtual port";
  cases.push_back({{"getcli", "Adapter_KX2351_SV0001"}, Get(virt, "Unknown").Text(), 51, kGet});
  cases.push_back({{"get", "Adapter_KX2351_SV0001"}, Get(virt, "Unknown").Xml()});
  cases.push_back({{"getcli", "Adapter_KX2355_SR0001"}, Get("Failed, Personality read failed", "Unknown").Text(), 13});
  cases.push_back({{"getcli", "Card_KX2350_SE0001"}, Get("Failed, Invalid parameter", "Unknown").Text() + kGetUsage, 6});
  RunCases(box, kMode, cases);
  // Nothing was changed by any of them.
  EXPECT_EQ(ReadFile(box.StatePath()).find("personality"), std::string::npos);
}
