// The port mode: the list of FC ports, the port identifier and the NVRAM update.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPhysical = "FC_21:00:00:c8:a1:30:01:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kFcoe = "FC_21:00:00:c8:a1:30:01:01";
const std::string kMaintenancePort = "FC_10:00:00:c8:a1:16:42:07";
const std::vector<std::string> kPortMode = {"-t", "port"};
const std::string kTemperature = "KXAPI_GetAdapterAsicBoardTemperature";
const std::string kNvram = "KXAPI_UpdateAdapterNVRAMFromFile", kReboot = "KXAPI_IsRebootRequired";

Doc InfoError(const std::string& message) { return ListError("PortInformation", "PortInfo", message); }
Doc Nvram(bool reboot, const std::string& message) {
  return {"UpdateNVRAM", {{"Reboot Required", Bool(reboot)}, {"Message", message}}};
}

}  // namespace

TEST(PortMode, ListAndHelp) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::vector<std::string> ports = {kPhysical, kVirtual, kFcoe, kMaintenancePort};
  RunCases(box, kPortMode,
           {{{"listcli"}, ListText("PortList", "Ports", ports), 0},
            {{"list"}, ListXml("PortList", "Ports", ports)},
            // A help word asks for the usage and lists nothing; further words are ignored.
            {{"listcli", "-h"}, "Usage: list\r\n", 5},
            {{"list", "help"}, ""},
            {{"listcli", "extra"}, ListText("PortList", "Ports", ports)},
            // "?" after a text twin prints its usage; after the XML command nothing.
            {{"listcli", "?"}, "Usage: list\r\n"},
            {{"list", "?"}, ""},
            {{"updatenvramcli", "?"}, ""}});
  const std::string help = box.Run({"-t", "port", "help"}).out;
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
  EXPECT_EQ(help.substr(0, head.size()), head);
  EXPECT_NE(help.find("fwdump      : use this command to get Kaltex Fibre Channel Port's Firmware Dump info\r\n"
                      "beacon      : use this command to get/set Kaltex Fibre Channel Port's Beacon info\r\n"),
            std::string::npos);
  box.UseFixtureText(R"({"adapters": [{"model": "KX0800", "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:00:01", "protocol": 2}]}]}]})");
  RunCases(box, kPortMode, {{{"listcli"}, ListText("", "", {}), 0}, {{"list"}, ListXml("", "", {})}});
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, kPortMode,
           {{{"listcli"}, "", 14},
            {{"list"}, "", 14},
            {{"-s", "info", "getcli", kPhysical}, InfoError("Failed, Host not found").Text(), 14},
            // A malformed identifier is refused before the inventory is asked for.
            {{"-s", "info", "getcli", "WWPN_21:00:00:c8:a1:30:01:00"},
             InfoError("Failed, Invalid parameter").Text() + "Usage: get [port identifier]\r\n", 6}});
}

TEST(PortMode, IdentifierMatchesOnlyTheExactLowerCaseText) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string invalid = InfoError("Failed, Invalid parameter").Text() + "Usage: get [port identifier]\r\n";
  std::vector<Case> cases;
  for (const char* id : {"FC_21:00:00:C8:A1:30:01:00",    // upper-case hex
                         "fc_21:00:00:c8:a1:30:01:00",    // lower-case prefix
                         "FC_21:00:00:c8:a1:30:01",       // a byte missing
                         "FC_21:00:00:c8:a1:30:01:00:",   // trailing text
                         "FC_21:0:00:c8:a1:30:01:00",     // one digit
                         "FC_21:00:00:c8:a1:30:01:90",    // not an FC entry
                         "WWPN_21:00:00:c8:a1:30:01:00", "FC'21:00:00:c8:a1:30:01:00"})
    cases.push_back({{"getcli", id}, invalid, 6, kTemperature});
  cases.push_back({{"getcli"}, invalid, 6, kTemperature});
  for (const char* help : {"help", "/?"})
    cases.push_back({{"getcli", help}, InfoError("Failed, Unknown").Text() + "Usage: get [port identifier]\r\n", 5, kTemperature});
  // The FCoE entry and the virtual port are addressable ports.
  for (const std::string& id : {kFcoe, kVirtual})
    cases.push_back({{"getcli", id}, kAnyOutput, 0, kTemperature, {kTemperature + " port=" + id.substr(3)}});
  RunCases(box, {"-t", "port", "-s", "info"}, cases);
}

TEST(PortMode, UpdateNvram) {
  Sandbox box;
  box.UseFixture("port-list.json");
  const std::string image = box.File("nvram.bin");
  WriteFile(image, "NVRAM image");
  const std::string missing = box.File("no-such-image.bin");
  const std::string both = kNvram + "," + kReboot;
  auto load = [&](const std::string& id) { return kNvram + " port=" + id.substr(3) + " path=" + image; };
  RunCases(box, kPortMode,
           {{{"updatenvramcli", kPhysical, image}, Nvram(false, "Success").Text(), 0, both,
             {load(kPhysical), kReboot}},
            {{"updatenvram", kFcoe, image}, Nvram(false, "Failed, NVRAM update failed").Xml(), -1, both, {load(kFcoe)}},
            // A virtual port is refused before the file is even looked at.
            {{"updatenvramcli", kVirtual, missing}, Nvram(false, "Failed, Feature not supported for virtual port").Text(), -1, both},
            {{"updatenvramcli", kPhysical, missing}, Nvram(false, "Failed, File not found").Text(), -1, both},
            {{"updatenvramcli", kPhysical}, Nvram(false, "Failed, File not found").Text(), -1, both},
            {{"updatenvramcli", "help", image}, Nvram(false, "Failed, Unknown").Text(), 5, both},
            // Library result 150: the port is in maintenance mode.
            {{"updatenvramcli", kMaintenancePort, image},
             Nvram(false, "Failed, Command not supported when adapter port in maintenance mode").Text(), -1, both,
             {load(kMaintenancePort)}},
            {{"updatenvramcli", kFcoe, image}, Nvram(false, "Failed, NVRAM update failed").Text(), -1, both, {load(kFcoe)}}});
  // A reboot is assumed when the flag cannot be read.
  const std::string one = R"({"adapters": [{"model": "KX3262", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00"}]}]}]})";
  box.UseFixtureText(WithCalls(one, R"({"call": "KXAPI_IsRebootRequired", "rc": 3})"));
  RunCases(box, kPortMode, {{{"updatenvramcli", kPhysical, image}, Nvram(true, "Success").Text()}});
  box.UseFixtureText(WithCalls(one, R"({"call": "KXAPI_IsRebootRequired", "flag": 1})"));
  RunCases(box, kPortMode, {{{"updatenvramcli", kPhysical, image}, Nvram(true, "Success").Text()}});
}
