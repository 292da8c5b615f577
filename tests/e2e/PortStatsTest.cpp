// Port FC statistics: the driver and firmware counters, and their reset.
#include <sstream>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kMaintenancePort = "FC_21:00:00:c8:a1:30:01:01";
const std::string kRefusingPort = "FC_21:00:00:c8:a1:30:01:02";

const std::vector<std::string> kDriverLabels = {"Controller Error Count", "Device Error Count", "IO Count",
                                                "Mega Bytes Count", "LIP Reset Count", "Interrupt Count"};
const std::vector<std::string> kFirmwareLabels = {"Link Failure Count", "Loss Of Sync Count", "Loss Of Signal Count",
                                                  "Primitive Sequence Protocol Error Count",
                                                  "Invalid Transmission Word Count", "Invalid CRC Count"};
const std::string kDriverBlock = Block(kDriverLabels, "1|2|4294967295|123456|0|98765");
const std::string kFirmwareBlock = Block(kFirmwareLabels, "3|17|5|0|4294967295|12");
const std::string kClearedFirmwareBlock = Block(kFirmwareLabels, "0|0|0|0|0|0");

Doc Stats(const std::string& block) { return Report("FCStatistics", "FCStats", "FCStatsList", block); }
Doc StatsError(const std::string& message) { return ListError("FCStatistics", "FCStats", message); }
Doc Reset(const std::string& message) { return MessageDoc("ResetFCStatistics", message); }

const std::string kGetUsage = "Usage: get [port identifier]\r\n";
const std::string kResetUsage = "Usage: reset [port identifier]\r\n";
const std::vector<std::string> kStats = {"-t", "port", "-s", "stats"};
const std::string kReset = "KXAPI_ResetDeviceStats";

}  // namespace

TEST(PortStats, GetShowsTheChosenCounterSet) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  const std::string invalid = StatsError("Failed, Invalid parameter").Text() + kGetUsage;
  const std::vector<Case> cases = {
      {{"getcli", kPort, "Driver"}, Stats(kDriverBlock).Text(), 0},
      {{"getcli", kPort, "driver"}, Stats(kDriverBlock).Text()},
      {{"getcli", kPort, "DRIVER"}, Stats(kDriverBlock).Text()},
      {{"getcli", kPort, "Firmware"}, Stats(kFirmwareBlock).Text()},
      {{"getcli", kPort, "fIRMWARE"}, Stats(kFirmwareBlock).Text()},
      // A virtual port shows its own counters.
      {{"getcli", kVirtual, "Driver"}, Stats(Block(kDriverLabels, "10|20|30|40|50|60")).Text()},
      {{"getcli", kVirtual, "Firmware"}, Stats(Block(kFirmwareLabels, "70|80|90|100|110|120")).Text()},
      {{"getcli", kPort, "Drivers"}, invalid, 6},
      {{"getcli", kPort}, invalid, 6},
      {{"getcli", "FC_21:00:00:c8:a1:30:01:99", "Driver"}, invalid, 6},
      {{"getcli", "-h", "Driver"}, StatsError("Failed, Unknown").Text() + kGetUsage, 5},
      {{"get", kPort, "Firmware"}, Stats(kFirmwareBlock).Xml()},
      {{"get", kPort, "both"}, StatsError("Failed, Invalid parameter").Xml()},
  };
  RunCases(box, kStats, cases);
  // The counters come with the inventory; nothing else is asked of the library.
  std::istringstream calls(box.Run({"-t", "port", "-s", "stats", "getcli", kPort, "Firmware"}).calls);
  for (std::string line; std::getline(calls, line);) {
    const std::string name = line.substr(0, line.find(' '));
    EXPECT_TRUE(name == "KXAPI_Initialize" || name == "KXAPI_SetToolID" || name == "KXAPI_SetToolVersion" ||
                name == "KXAPI_GetAdapterList" || name == "KXAPI_Uninitialize")
        << line;
  }
}
TEST(PortStats, ResetClearsTheFirmwareCountersOnly) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  const std::string invalid = Reset("Failed, Invalid parameter").Text() + kResetUsage;
  RunCases(box, kStats,
           {// The driver's counters cannot be reset: refused before the library is asked.
            {{"resetcli", kPort, "Driver"}, invalid, 6, kReset},
            {{"resetcli", kPort}, invalid, 6, kReset},
            {{"resetcli", "FC_21:00:00:C8:A1:30:01:00", "Firmware"}, invalid, 6, kReset},
            {{"resetcli", "?"}, kResetUsage, -1, kReset},
            {{"resetcli", kMaintenancePort, "Firmware"},
             Reset("Failed, Command not supported when adapter port in maintenance mode").Text(), -1, kReset,
             {kReset + " port=21:00:00:c8:a1:30:01:01"}},
            {{"resetcli", kRefusingPort, "Firmware"}, Reset("Failed, Statistics clear error").Text(), -1, kReset,
             {kReset + " port=21:00:00:c8:a1:30:01:02"}},
            // A refused reset leaves the counters as they were.
            {{"getcli", kRefusingPort, "Firmware"}, Stats(Block(kFirmwareLabels, "9|0|0|0|0|0")).Text()},
            {{"resetcli", kPort, "firmware"}, Reset("Success").Text(), 0, kReset, {kReset + " port=21:00:00:c8:a1:30:01:00"}},
            // Later runs read the cleared counters; the driver's are untouched, and so is the other port.
            {{"getcli", kPort, "Firmware"}, Stats(kClearedFirmwareBlock).Text()},
            {{"getcli", kPort, "Driver"}, Stats(kDriverBlock).Text()},
            {{"getcli", kVirtual, "Firmware"}, Stats(Block(kFirmwareLabels, "70|80|90|100|110|120")).Text()},
            {{"reset", kPort, "Firmware"}, Reset("Success").Xml()}});
  // In one prompt session the reset shows at once.
  Sandbox prompt("PortStatsPrompt");
  prompt.UseFixture("port-stats.json");
  EXPECT_EQ(prompt.Run({}, "-t port -s stats resetcli " + kPort + " Firmware\n-t port -s stats getcli " + kPort +
                               " Firmware\nq\n").out,
            "$>" + Reset("Success").Text() + "$>" + Stats(kClearedFirmwareBlock).Text() + "$>");
}
