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

const std::vector<std::string> kBeacon = {"-t", "port", "-s", "beacon"};
const std::string kGet = "KXAPI_GetAdapterBeaconStatus", kUpdate = "KXAPI_UpdateAdapterBeaconStatus";
const std::string kGetCalls = "KXAPI_IsMezzAdapter," + kGet + "," + kUpdate, kSetCalls = kUpdate + "," + kGet;

// The call-log lines naming the port (its identifier without "FC_").
std::vector<std::string> On(const std::string& port, const std::vector<std::string>& calls) {
  std::vector<std::string> lines;
  for (const std::string& call : calls) lines.push_back(call + " port=" + port.substr(3) + (call == kUpdate ? " state=1" : ""));
  return lines;
}

}  // namespace

TEST(Beacon, GetShowsTheStateOrTheRefusal) {
  Sandbox box;
  box.UseFixture("beacon-basic.json");
  const std::string mezz = "KXAPI_IsMezzAdapter";
  RunCases(box, kBeacon,
           {{{"getcli", kPort}, Beacon("Success", "OFF"), -1, kGetCalls, On(kPort, {mezz, kGet})},
            {{"getcli", kGroupH}, Beacon("Success", "ON"), -1, kGetCalls, On(kGroupH, {mezz, kGet})},
            {{"getcli", kStateTwo}, Beacon("Success", "Unknown"), -1, kGetCalls, On(kStateTwo, {mezz, kGet})},
            // Refusals come before any beacon call.
            {{"getcli", kVirtual}, Failed("Failed, Feature not supported for virtual port"), -1, kGetCalls},
            {{"getcli", kMezzanine}, Failed(kNotForAdapter), -1, kGetCalls, On(kMezzanine, {mezz})},
            {{"getcli", kNoBeaconGroup}, Failed(kNotForAdapter), -1, kGetCalls, On(kNoBeaconGroup, {mezz})},
            {{"getcli", kMezzCheckFails}, Failed("Failed, Beacon read failed"), -1, kGetCalls, On(kMezzCheckFails, {mezz})},
            {{"getcli", kMaintenance}, Failed(kMaintenanceMessage), -1, kGetCalls, On(kMaintenance, {mezz, kGet})},
            {{"getcli", kReadFails}, Failed("Failed, Beacon read failed"), -1, kGetCalls, On(kReadFails, {mezz, kGet})},
            {{"getcli", "FC_21:00:00:c8:a1:99:99:99"}, Failed("Failed, Invalid parameter") + "Usage: get\r\n", -1, kGetCalls},
            {{"getcli", "help"}, Failed("Failed, Unknown") + "Usage: get\r\n", -1, kGetCalls}});
}

TEST(Beacon, SetSwitchesTheAdapterAndShowsTheStateReadBack) {
  Sandbox box;
  box.UseFixture("beacon-basic.json");
  const std::string invalid = Failed("Failed, Invalid parameter") + "Usage: set\r\n";
  RunCases(box, kBeacon,
           {{{"setcli", kPort, "on"}, Beacon("Success", "ON"), -1, kSetCalls, On(kPort, {kUpdate, kGet})},
            // The beacon is the adapter's: its other port sees it on too.
            {{"getcli", kSameAdapterPort}, Beacon("Success", "ON")},
            {{"getcli", kGroupH}, Beacon("Success", "ON")},
            {{"set", kSameAdapterPort, "OFF"}, BeaconDoc("Success", "OFF").Xml()},
            {{"getcli", kPort}, Beacon("Success", "OFF")},
            // What the adapter reports after the change is what is shown.
            {{"setcli", kIgnoresSet, "On"}, Beacon("Success", "OFF")},
            // Refusals, and failures of the update and of the read back.
            {{"setcli", kPort, "1"}, invalid, -1, kSetCalls},
            {{"setcli", kPort}, invalid, -1, kSetCalls},
            {{"set", kPort, "blink"}, BeaconDoc("Failed, Invalid parameter", "Unknown").Xml()},
            {{"setcli", kMezzanine, "on"}, Failed(kNotForAdapter), -1, kSetCalls},
            {{"setcli", kNoBeaconGroup, "off"}, Failed(kNotForAdapter), -1, kSetCalls},
            {{"setcli", kVirtual, "on"}, Failed("Failed, Feature not supported for virtual port"), -1, kSetCalls},
            {{"setcli", kUpdateMaintenance, "on"}, Failed(kMaintenanceMessage), -1, kSetCalls, On(kUpdateMaintenance, {kUpdate})},
            {{"setcli", kUpdateFails, "on"}, Failed("Failed, Beacon update failed"), -1, kSetCalls, On(kUpdateFails, {kUpdate})},
            {{"setcli", kReadBackFails, "on"}, Failed("Failed, Beacon read failed"), -1, kSetCalls,
             On(kReadBackFails, {kUpdate, kGet})}});
}
