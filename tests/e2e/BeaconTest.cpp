// Beacon: reading and switching an adapter's identification beacon.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kSameAdapterPort = "FC_21:00:00:c8:a1:30:01:01";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kMezzanine = "FC_21:00:00:c8:a1:20:31:00";
const std::string kMezzCheckFails = "FC_21:00:00:c8:a1:20:31:01";
const std::string kNoBeaconGroup = "FC_21:00:00:c8:a1:27:00:01";
const std::string kStateTwo = "FC_21:00:00:c8:a1:24:00:01";
const std::string kGroupH = "FC_21:00:00:c8:a1:25:11:01";
const std::string kIgnoresSet = "FC_21:00:00:c8:a1:25:11:02";
const std::string kMaintenance = "FC_21:00:00:c8:a1:21:41:01";
const std::string kReadFails = "FC_21:00:00:c8:a1:21:41:02";
const std::string kUpdateMaintenance = "FC_10:00:00:c8:a1:16:42:07";
const std::string kUpdateFails = "FC_10:00:00:c8:a1:16:42:08";
const std::string kReadBackFails = "FC_10:00:00:c8:a1:16:42:09";

Doc BeaconDoc(const std::string& message, const std::string& state) {
  return {"BeaconInfo", {{"Message", message}, {"Beacon State", state}}};
}
std::string Beacon(const std::string& message, const std::string& state) { return BeaconDoc(message, state).Text(); }
std::string Failed(const std::string& message) { return Beacon(message, "Unknown"); }

const std::string kNotForAdapter = "Failed, Feature not supported for this adapter";
const std::string kMaintenanceMessage = "Failed, Command not supported when adapter port in maintenance mode";

Result BeaconRun(const Sandbox& box, const std::vector<std::string>& words) {
  std::vector<std::string> args = {"-t", "port", "-s", "beacon"};
  args.insert(args.end(), words.begin(), words.end());
  return box.Run(args);
}

size_t BeaconCalls(const Result& r) {
  return CallsNamed(r, "KXAPI_GetAdapterBeaconStatus").size() + CallsNamed(r, "KXAPI_UpdateAdapterBeaconStatus").size();
}

}  // namespace

TEST(Beacon, GetShowsTheStateOrTheRefusal) {
  Sandbox box;
  box.UseFixture("beacon-basic.json");
  struct Case {
    std::string port;
    std::string expected;
    size_t mezzChecks;
    size_t beaconCalls;
  };
  const std::vector<Case> cases = {
      {kPort, Beacon("Success", "OFF"), 1, 1},
      {kGroupH, Beacon("Success", "ON"), 1, 1},
      {kStateTwo, Beacon("Success", "Unknown"), 1, 1},
      // Refusals come before any beacon call.
      {kVirtual, Failed("Failed, Feature not supported for virtual port"), 0, 0},
      {kMezzanine, Failed(kNotForAdapter), 1, 0},
      {kNoBeaconGroup, Failed(kNotForAdapter), 1, 0},
      {kMezzCheckFails, Failed("Failed, Beacon read failed"), 1, 0},
      {kMaintenance, Failed(kMaintenanceMessage), 1, 1},
      {kReadFails, Failed("Failed, Beacon read failed"), 1, 1},
      {"FC_21:00:00:c8:a1:99:99:99", Failed("Failed, Invalid parameter") + "Usage: get\r\n", 0, 0},
      {"help", Failed("Failed, Unknown") + "Usage: get\r\n", 0, 0},
  };
  for (const Case& c : cases) {
    Result r = BeaconRun(box, {"getcli", c.port});
    EXPECT_EQ(r.out, c.expected) << c.port;
    EXPECT_EQ(CallsNamed(r, "KXAPI_IsMezzAdapter").size(), c.mezzChecks) << c.port;
    EXPECT_EQ(BeaconCalls(r), c.beaconCalls) << c.port;
  }

  EXPECT_EQ(BeaconRun(box, {"get", kGroupH}).out,
            BeaconDoc("Success", "ON").Xml());
  EXPECT_EQ(BeaconRun(box, {"get", kMezzanine}).out,
            BeaconDoc(kNotForAdapter, "Unknown").Xml());
}

TEST(Beacon, SetSwitchesTheAdapterAndShowsTheStateReadBack) {
  Sandbox box;
  box.UseFixture("beacon-basic.json");
  Result r = BeaconRun(box, {"setcli", kPort, "on"});
  EXPECT_EQ(r.out, Beacon("Success", "ON"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_UpdateAdapterBeaconStatus"),
            std::vector<std::string>{"KXAPI_UpdateAdapterBeaconStatus port=21:00:00:c8:a1:30:01:00 state=1"});
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterBeaconStatus").size(), 1u);

  // The beacon is the adapter's: its other port sees it on too.
  EXPECT_EQ(BeaconRun(box, {"getcli", kSameAdapterPort}).out, Beacon("Success", "ON"));
  EXPECT_EQ(BeaconRun(box, {"getcli", kGroupH}).out, Beacon("Success", "ON"));

  EXPECT_EQ(BeaconRun(box, {"set", kSameAdapterPort, "OFF"}).out,
            BeaconDoc("Success", "OFF").Xml());
  EXPECT_EQ(BeaconRun(box, {"getcli", kPort}).out, Beacon("Success", "OFF"));

  // What the adapter reports after the change is what is shown.
  EXPECT_EQ(BeaconRun(box, {"setcli", kIgnoresSet, "On"}).out, Beacon("Success", "OFF"));
}

TEST(Beacon, SetRefusals) {
  Sandbox box;
  box.UseFixture("beacon-basic.json");
  const std::string usage = "Usage: set\r\n";
  struct Case {
    std::vector<std::string> words;
    std::string expected;
    size_t updates;
    size_t reads;
  };
  const std::vector<Case> cases = {
      {{kPort, "blink"}, Failed("Failed, Invalid parameter") + usage, 0, 0},
      {{kPort, "1"}, Failed("Failed, Invalid parameter") + usage, 0, 0},
      {{kPort}, Failed("Failed, Invalid parameter") + usage, 0, 0},
      {{kMezzanine, "on"}, Failed(kNotForAdapter), 0, 0},
      {{kNoBeaconGroup, "off"}, Failed(kNotForAdapter), 0, 0},
      {{kVirtual, "on"}, Failed("Failed, Feature not supported for virtual port"), 0, 0},
      {{kUpdateMaintenance, "on"}, Failed(kMaintenanceMessage), 1, 0},
      {{kUpdateFails, "on"}, Failed("Failed, Beacon update failed"), 1, 0},
      {{kReadBackFails, "on"}, Failed("Failed, Beacon read failed"), 1, 1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words = {"setcli"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    Result r = BeaconRun(box, words);
    EXPECT_EQ(r.out, c.expected) << c.words[0] << " " << c.words.back();
    EXPECT_EQ(CallsNamed(r, "KXAPI_UpdateAdapterBeaconStatus").size(), c.updates) << c.words[0];
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterBeaconStatus").size(), c.reads) << c.words[0];
  }
  // The XML command prints no usage after a bad word.
  EXPECT_EQ(BeaconRun(box, {"set", kPort, "blink"}).out,
            BeaconDoc("Failed, Invalid parameter", "Unknown").Xml());
}

TEST(Beacon, HelpAndUsage) {
  Sandbox box;
  EXPECT_EQ(BeaconRun(box, {"help"}).out,
            "\r\nFollowing is the list of available commands in the Beacon command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "get         : get Kaltex adapter's Beacon information\r\n"
            "set         : set Kaltex adapter's Beacon information\r\n"
            "help        : list of available commands\r\n"
            "getcli      : get Kaltex adapter's Beacon information\r\n"
            "setcli      : set Kaltex adapter's Beacon information\r\n");
  EXPECT_EQ(BeaconRun(box, {"getcli", "?"}).out, "Usage: get\r\n");
  EXPECT_EQ(BeaconRun(box, {"setcli", "?"}).out, "Usage: set\r\n");
  EXPECT_EQ(BeaconRun(box, {"set", "?"}).out, "");
}
