// The port mode: the list of FC ports, the port identifier and the NVRAM update.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPhysical = "FC_21:00:00:c8:a1:30:01:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kFcoe = "FC_21:00:00:c8:a1:30:01:01";
const std::string kMaintenancePort = "FC_10:00:00:c8:a1:16:42:07";

std::string InfoError(const std::string& message) {
  return kStars + "PortInformation:\nMessage: " + message + "\nPortInfo: " + kStars;
}

std::string NvramText(bool reboot, const std::string& message) {
  return kStars + "UpdateNVRAM:\nReboot Required: " + (reboot ? "true" : "false") + "\nMessage: " + message + "\n" +
         kStars;
}

}  // namespace

TEST(PortMode, ListShowsPhysicalAndVirtualPortsAndSkipsOtherProtocols) {
  Sandbox box;
  box.UseFixture("port-list.json");
  Result r = box.Run({"-t", "port", "listcli"});
  EXPECT_EQ(r.out, kStars +
                       "PortList:\nPorts: FC_21:00:00:c8:a1:30:01:00\n"
                       "PortList:\nPorts: FC_21:00:00:c8:a1:30:01:80\n"
                       "PortList:\nPorts: FC_21:00:00:c8:a1:30:01:01\n"
                       "PortList:\nPorts: FC_10:00:00:c8:a1:16:42:07\n" +
                       kStars);

  r = box.Run({"-t", "port", "list"});
  auto element = [](const std::string& id) {
    return "<structure typeName=\"PortList\">\n<field name=\"Ports\">\n<string>" + id + "</string></field>\n</structure>\n";
  };
  EXPECT_EQ(r.out, kXmlHead + "<list type=\"structure\">\n" + element("FC_21:00:00:c8:a1:30:01:00") +
                       element("FC_21:00:00:c8:a1:30:01:80") + element("FC_21:00:00:c8:a1:30:01:01") +
                       element("FC_10:00:00:c8:a1:16:42:07") + "</list>\n</output>\n");
}

TEST(PortMode, ListWithoutPortsOrWithoutInventory) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"model": "KX0800", "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:00:01", "protocol": 2}]}]}]})");
  EXPECT_EQ(box.Run({"-t", "port", "listcli"}).out, kStars + kStars);
  EXPECT_EQ(box.Run({"-t", "port", "list"}).out, kXmlHead + "<list type=\"structure\">\n</list>\n</output>\n");

  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(box.Run({"-t", "port", "listcli"}).out, "");
  EXPECT_EQ(box.Run({"-t", "port", "list"}).out, "");

  // A help word asks for the usage and lists nothing; further words are ignored.
  box.UseFixture("port-list.json");
  EXPECT_EQ(box.Run({"-t", "port", "listcli", "-h"}).out, "Usage: list\r\n");
  EXPECT_EQ(box.Run({"-t", "port", "list", "help"}).out, "");
  EXPECT_EQ(box.Run({"-t", "port", "listcli", "extra"}).out.substr(0, kStars.size() + 9), kStars + "PortList:");
}

TEST(PortMode, IdentifierMatchesOnlyTheExactLowerCaseText) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string usage = "Usage: get [port identifier]\r\n";
  struct Case {
    std::vector<std::string> words;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{"FC_21:00:00:C8:A1:30:01:00"}, InfoError("Failed, Invalid parameter") + usage},  // upper-case hex
      {{"fc_21:00:00:c8:a1:30:01:00"}, InfoError("Failed, Invalid parameter") + usage},  // lower-case prefix
      {{"FC_21:00:00:c8:a1:30:01"}, InfoError("Failed, Invalid parameter") + usage},     // a byte missing
      {{"FC_21:00:00:c8:a1:30:01:00:"}, InfoError("Failed, Invalid parameter") + usage}, // trailing text
      {{"FC_21:0:00:c8:a1:30:01:00"}, InfoError("Failed, Invalid parameter") + usage},   // one digit
      {{"FC_21:00:00:c8:a1:30:01:90"}, InfoError("Failed, Invalid parameter") + usage},  // not an FC entry
      {{"WWPN_21:00:00:c8:a1:30:01:00"}, InfoError("Failed, Invalid parameter") + usage},
      {{"FC'21:00:00:c8:a1:30:01:00"}, InfoError("Failed, Invalid parameter") + usage},
      {{}, InfoError("Failed, Invalid parameter") + usage},
      {{"help"}, InfoError("Failed, Unknown") + usage},
      {{"/?"}, InfoError("Failed, Unknown") + usage},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"-t", "port", "-s", "info", "getcli"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    Result r = box.Run(args);
    EXPECT_EQ(r.out, c.expected) << (c.words.empty() ? "(none)" : c.words[0]);
    EXPECT_TRUE(CallsNamed(r, "KXAPI_GetAdapterAsicBoardTemperature").empty());
  }

  // The FCoE entry and the virtual port are addressable ports.
  for (const std::string& id : {kFcoe, kVirtual}) {
    Result r = box.Run({"-t", "port", "-s", "info", "getcli", id});
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterAsicBoardTemperature"),
              std::vector<std::string>{"KXAPI_GetAdapterAsicBoardTemperature port=" + id.substr(3)});
  }

  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(box.Run({"-t", "port", "-s", "info", "getcli", kPhysical}).out, InfoError("Failed, Host not found"));
}

TEST(PortMode, UpdateNvramLoadsTheFileAndReportsTheRebootFlag) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string image = box.File("nvram.bin");
  WriteFile(image, "NVRAM image");

  Result r = box.Run({"-t", "port", "updatenvramcli", kPhysical, image});
  EXPECT_EQ(r.out, NvramText(false, "Success"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_UpdateAdapterNVRAMFromFile"),
            std::vector<std::string>{"KXAPI_UpdateAdapterNVRAMFromFile port=21:00:00:c8:a1:30:01:00 path=" + image});
  EXPECT_EQ(CallsNamed(r, "KXAPI_IsRebootRequired").size(), 1u);

  r = box.Run({"-t", "port", "updatenvram", kFcoe, image});
  EXPECT_EQ(r.out, kXmlHead +
                       "<structure typeName=\"UpdateNVRAM\">\n"
                       "<field name=\"Reboot Required\">\n<bool>false</bool></field>\n"
                       "<field name=\"Message\">\n<string>Failed, NVRAM update failed</string></field>\n"
                       "</structure>\n</output>\n");
}

TEST(PortMode, UpdateNvramFailures) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string image = box.File("nvram.bin");
  WriteFile(image, "NVRAM image");
  const std::string missing = box.File("no-such-image.bin");
  struct Case {
    std::vector<std::string> words;
    std::string expected;
    bool libraryCalled;
  };
  const std::vector<Case> cases = {
      // A virtual port is refused before the file is even looked at.
      {{kVirtual, missing}, NvramText(false, "Failed, Feature not supported for virtual port"), false},
      {{kPhysical, missing}, NvramText(false, "Failed, File not found"), false},
      {{kPhysical}, NvramText(false, "Failed, File not found"), false},
      {{"FC_21:00:00:c8:a1:30:01:90", image}, NvramText(false, "Failed, Invalid parameter"), false},
      {{"help", image}, NvramText(false, "Failed, Unknown"), false},
      // Library result 150: the port is in maintenance mode.
      {{kMaintenancePort, image},
       NvramText(false, "Failed, Command not supported when adapter port in maintenance mode"), true},
      {{kFcoe, image}, NvramText(false, "Failed, NVRAM update failed"), true},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"-t", "port", "updatenvramcli"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    Result r = box.Run(args);
    EXPECT_EQ(r.out, c.expected) << c.words[0];
    EXPECT_EQ(CallsNamed(r, "KXAPI_UpdateAdapterNVRAMFromFile").size(), c.libraryCalled ? 1u : 0u) << c.words[0];
    EXPECT_TRUE(CallsNamed(r, "KXAPI_IsRebootRequired").empty()) << c.words[0];
  }
}

TEST(PortMode, UpdateNvramAssumesARebootWhenTheFlagCannotBeRead) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00"}]}]}],
                         "calls": [{"call": "KXAPI_IsRebootRequired", "rc": 3}]})");
  const std::string image = box.File("nvram.bin");
  WriteFile(image, "x");
  EXPECT_EQ(box.Run({"-t", "port", "updatenvramcli", kPhysical, image}).out, NvramText(true, "Success"));

  box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00"}]}]}],
                         "calls": [{"call": "KXAPI_IsRebootRequired", "flag": 1}]})");
  EXPECT_EQ(box.Run({"-t", "port", "updatenvramcli", kPhysical, image}).out, NvramText(true, "Success"));
}

TEST(PortMode, HelpListsCommandsAndSubModes) {
  Sandbox box;
  Result r = box.Run({"-t", "port", "help"});
  const std::string head =
      "\r\nFollowing is the list of available commands in the Port command mode.\r\n"
      "For detailed information of each command, please type 'command ?'\r\n"
      "All commands are case insensitive.\r\n\r\n"
      "list        : Discover list of Kaltex physical ports\r\n"
      "updatenvram : Update NVRAM of Kaltex physical port\r\n"
      "help        : list of available commands\r\n"
      "listcli     : Discover list of Kaltex physical ports\r\n"
      "updatenvramcli: Update NVRAM of Kaltex physical port\r\n"
      "info        : use this command to get Kaltex Fibre Channel Port's info\r\n"
      "stats       : use this command to get Kaltex Fibre Chanel Port Statistics\r\n";
  EXPECT_EQ(r.out.substr(0, head.size()), head);
  EXPECT_NE(r.out.find("fwdump      : use this command to get Kaltex Fibre Channel Port's Firmware Dump info\r\n"
                       "beacon      : use this command to get/set Kaltex Fibre Channel Port's Beacon info\r\n"),
            std::string::npos);
  // "?" after a text twin prints its usage; after the XML command nothing.
  EXPECT_EQ(box.Run({"-t", "port", "listcli", "?"}).out, "Usage: list\r\n");
  EXPECT_EQ(box.Run({"-t", "port", "list", "?"}).out, "");
  EXPECT_EQ(box.Run({"-t", "port", "updatenvramcli", "?"}).out, "");
}
