// Port FC statistics: the driver and firmware counters, and their reset.
#include <sstream>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kMaintenancePort = "FC_21:00:00:c8:a1:30:01:01";
const std::string kRefusingPort = "FC_21:00:00:c8:a1:30:01:02";

const std::string kDriverBlock =
    "Controller Error Count: 1\n"
    "      Device Error Count: 2\n"
    "      IO Count: 4294967295\n"
    "      Mega Bytes Count: 123456\n"
    "      LIP Reset Count: 0\n"
    "      Interrupt Count: 98765\n";

const std::string kFirmwareBlock =
    "Link Failure Count: 3\n"
    "      Loss Of Sync Count: 17\n"
    "      Loss Of Signal Count: 5\n"
    "      Primitive Sequence Protocol Error Count: 0\n"
    "      Invalid Transmission Word Count: 4294967295\n"
    "      Invalid CRC Count: 12\n";

const std::string kClearedFirmwareBlock =
    "Link Failure Count: 0\n"
    "      Loss Of Sync Count: 0\n"
    "      Loss Of Signal Count: 0\n"
    "      Primitive Sequence Protocol Error Count: 0\n"
    "      Invalid Transmission Word Count: 0\n"
    "      Invalid CRC Count: 0\n";

std::string Stats(const std::string& block) {
  return kStars + "FCStatistics:\nMessage: Success\nFCStats: FCStatsList:\nData: " + block + kStars;
}

std::string StatsError(const std::string& message) {
  return kStars + "FCStatistics:\nMessage: " + message + "\nFCStats: " + kStars;
}

std::string Reset(const std::string& message) { return kStars + "ResetFCStatistics:\nMessage: " + message + "\n" + kStars; }

const std::string kGetUsage = "Usage: get [port identifier]\r\n";
const std::string kResetUsage = "Usage: reset [port identifier]\r\n";

Result Stats(const Sandbox& box, const std::vector<std::string>& words) {
  std::vector<std::string> args = {"-t", "port", "-s", "stats"};
  args.insert(args.end(), words.begin(), words.end());
  return box.Run(args);
}

}  // namespace

TEST(PortStats, GetShowsTheChosenCounterSet) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  struct Case {
    std::vector<std::string> words;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{"getcli", kPort, "Driver"}, Stats(kDriverBlock)},
      {{"getcli", kPort, "driver"}, Stats(kDriverBlock)},
      {{"getcli", kPort, "DRIVER"}, Stats(kDriverBlock)},
      {{"getcli", kPort, "Firmware"}, Stats(kFirmwareBlock)},
      {{"getcli", kPort, "fIRMWARE"}, Stats(kFirmwareBlock)},
      // A virtual port shows its own counters.
      {{"getcli", kVirtual, "Driver"},
       Stats("Controller Error Count: 10\n      Device Error Count: 20\n      IO Count: 30\n"
             "      Mega Bytes Count: 40\n      LIP Reset Count: 50\n      Interrupt Count: 60\n")},
      {{"getcli", kVirtual, "Firmware"},
       Stats("Link Failure Count: 70\n      Loss Of Sync Count: 80\n      Loss Of Signal Count: 90\n"
             "      Primitive Sequence Protocol Error Count: 100\n      Invalid Transmission Word Count: 110\n"
             "      Invalid CRC Count: 120\n")},
      {{"getcli", kPort, "Drivers"}, StatsError("Failed, Invalid parameter") + kGetUsage},
      {{"getcli", kPort}, StatsError("Failed, Invalid parameter") + kGetUsage},
      {{"getcli", "FC_21:00:00:c8:a1:30:01:99", "Driver"}, StatsError("Failed, Invalid parameter") + kGetUsage},
      {{"getcli", "-h", "Driver"}, StatsError("Failed, Unknown") + kGetUsage},
      {{"get", kPort, "Firmware"},
       kXmlHead +
           "<structure typeName=\"FCStatistics\">\n<field name=\"Message\">\n<string>Success</string></field>\n"
           "<field name=\"FCStats\">\n<list type=\"structure\">\n<structure typeName=\"FCStatsList\">\n"
           "<field name=\"Data\">\n<string>" +
           kFirmwareBlock + "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n"},
      {{"get", kPort, "both"},
       kXmlHead +
           "<structure typeName=\"FCStatistics\">\n"
           "<field name=\"Message\">\n<string>Failed, Invalid parameter</string></field>\n"
           "<field name=\"FCStats\">\n<list type=\"structure\">\n</list>\n</field>\n</structure>\n</output>\n"},
  };
  for (const Case& c : cases) {
    Result r = Stats(box, c.words);
    EXPECT_EQ(r.out, c.expected) << c.words[0] << " " << c.words[1] << " " << c.words.back();
    // The counters come with the inventory; nothing else is asked of the library.
    std::istringstream calls(r.calls);
    for (std::string line; std::getline(calls, line);) {
      const std::string name = line.substr(0, line.find(' '));
      EXPECT_TRUE(name == "KXAPI_Initialize" || name == "KXAPI_SetToolID" || name == "KXAPI_SetToolVersion" ||
                  name == "KXAPI_GetAdapterList" || name == "KXAPI_Uninitialize")
          << line;
    }
  }
}

TEST(PortStats, ResetClearsTheFirmwareCountersOnly) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  Result r = Stats(box, {"resetcli", kPort, "firmware"});
  EXPECT_EQ(r.out, Reset("Success"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_ResetDeviceStats"),
            std::vector<std::string>{"KXAPI_ResetDeviceStats port=21:00:00:c8:a1:30:01:00"});

  // Later runs read the cleared counters; the driver's are untouched, and so
  // is the other port of the same adapter.
  EXPECT_EQ(Stats(box, {"getcli", kPort, "Firmware"}).out, Stats(kClearedFirmwareBlock));
  EXPECT_EQ(Stats(box, {"getcli", kPort, "Driver"}).out, Stats(kDriverBlock));
  EXPECT_NE(Stats(box, {"getcli", kVirtual, "Firmware"}).out.find("Data: Link Failure Count: 70\n"), std::string::npos);

  EXPECT_EQ(Stats(box, {"reset", kPort, "Firmware"}).out,
            kXmlHead + "<structure typeName=\"ResetFCStatistics\">\n"
                       "<field name=\"Message\">\n<string>Success</string></field>\n</structure>\n</output>\n");
}

TEST(PortStats, ResetInOnePromptSessionShowsAtOnce) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  Result r = box.Run({}, "-t port -s stats resetcli " + kPort + " Firmware\n-t port -s stats getcli " + kPort +
                             " Firmware\nq\n");
  EXPECT_EQ(r.out, "$>" + Reset("Success") + "$>" + Stats(kClearedFirmwareBlock) + "$>");
}

TEST(PortStats, ResetFailures) {
  Sandbox box;
  box.UseFixture("port-stats.json");
  struct Case {
    std::vector<std::string> words;
    std::string expected;
    size_t resetCalls;
  };
  const std::vector<Case> cases = {
      // The driver's counters cannot be reset: refused before the library is asked.
      {{kPort, "Driver"}, Reset("Failed, Invalid parameter") + kResetUsage, 0},
      {{kPort}, Reset("Failed, Invalid parameter") + kResetUsage, 0},
      {{"FC_21:00:00:C8:A1:30:01:00", "Firmware"}, Reset("Failed, Invalid parameter") + kResetUsage, 0},
      {{"?"}, "Usage: reset [port identifier]\r\n", 0},
      {{kMaintenancePort, "Firmware"},
       Reset("Failed, Command not supported when adapter port in maintenance mode"), 1},
      {{kRefusingPort, "Firmware"}, Reset("Failed, Statistics clear error"), 1},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words = {"resetcli"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    Result r = Stats(box, words);
    EXPECT_EQ(r.out, c.expected) << c.words[0];
    EXPECT_EQ(CallsNamed(r, "KXAPI_ResetDeviceStats").size(), c.resetCalls) << c.words[0];
  }
  // A refused reset leaves the counters as they were.
  EXPECT_EQ(Stats(box, {"getcli", kRefusingPort, "Firmware"}).out,
            Stats("Link Failure Count: 9\n      Loss Of Sync Count: 0\n      Loss Of Signal Count: 0\n"
                  "      Primitive Sequence Protocol Error Count: 0\n      Invalid Transmission Word Count: 0\n"
                  "      Invalid CRC Count: 0\n"));
}
