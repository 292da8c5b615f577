// The adapter mode: list, the adapter identifier, and flash updates.
#include <filesystem>

#include "tests/e2e/AdapterDocs.h"

using namespace e2e;
using namespace adapterdocs;

namespace {

const std::string kUpdateUsage = "Usage: [identifier] [flashfile]\r\n";
const std::string kFixtureDir = KXFC_FIXTURE_DIR;

// The update fixture with the given scripted calls.
std::string UpdateFixture(const std::string& calls) {
  std::string text = ReadFile(kFixtureDir + "/adapter-update.json");
  const std::string slot = "\"calls\": []";
  text.replace(text.find(slot), slot.size(), "\"calls\": [" + calls + "]");
  return text;
}

std::string Script(const std::string& call, const std::string& port, unsigned rc) {
  return "{\"call\": \"" + call + "\", \"port\": \"" + port + "\", \"rc\": " + std::to_string(rc) + "}";
}

}  // namespace

TEST(Adapter, ListShowsEveryAdapterIncludingOneWithoutPorts) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [
      {"model": "KX3262", "serial": "KXA21350001", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00"}]}]},
      {"model": "KX0800", "serial": "KXC00000042", "ports": null},
      {"model": "kx1642", "serial": "kxb16420007", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:02:00"}]}]}]})");
  EXPECT_EQ(box.Run({"-t", "adapter", "listcli"}).out,
            kStars +
                "AdapterList:\nAdapters: Adapter_KX3262_KXA21350001\n"
                "AdapterList:\nAdapters: Adapter_KX0800_KXC00000042\n"
                "AdapterList:\nAdapters: Adapter_kx1642_kxb16420007\n" +
                kStars);
  EXPECT_EQ(box.Run({"list", "-t", "adapter"}).out,
            kXmlHead +
                "<list type=\"structure\">\n"
                "<structure typeName=\"AdapterList\">\n<field name=\"Adapters\">\n"
                "<string>Adapter_KX3262_KXA21350001</string></field>\n</structure>\n"
                "<structure typeName=\"AdapterList\">\n<field name=\"Adapters\">\n"
                "<string>Adapter_KX0800_KXC00000042</string></field>\n</structure>\n"
                "<structure typeName=\"AdapterList\">\n<field name=\"Adapters\">\n"
                "<string>Adapter_kx1642_kxb16420007</string></field>\n</structure>\n"
                "</list>\n</output>\n");
}

TEST(Adapter, ListEdgeCases) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": []})");
  EXPECT_EQ(box.Run({"-t", "adapter", "listcli"}).out, kStars + kStars);
  EXPECT_EQ(box.Run({"-t", "adapter", "list"}).out, kXmlHead + "<list type=\"structure\">\n</list>\n</output>\n");

  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "listcli"}), 14);
  EXPECT_EQ(box.Run({"-t", "adapter", "listcli"}).out, "");
  // A help word: status 5 and the usage for the text form only.
  EXPECT_EQ(box.Run({"-t", "adapter", "listcli", "help"}).out, "Usage: list\r\n");
  EXPECT_EQ(box.Run({"-t", "adapter", "list", "/?"}).out, "");
  EXPECT_EQ(box.Run({"-t", "adapter", "listcli", "?"}).out, "Usage: list\r\n");
}

TEST(Adapter, HelpListsCommandsAndSubModes) {
  Sandbox box;
  const std::string listing =
      "\r\nFollowing is the list of available commands in the Adapter command mode.\r\n"
      "For detailed information of each command, please type 'command ?'\r\n"
      "All commands are case insensitive.\r\n\r\n"
      "list        : Discover list of Kaltex adapters\r\n"
      "update      : Update firmware on the Kaltex Adapter\r\n"
      "help        : List of available commands\r\n"
      "listcli     : Discover list of Kaltex adapters\r\n"
      "updatecli   : Update firmware on the Kaltex Adapter\r\n"
      "info        : use this command to get Kaltex Adapter info\r\n"
      "personality : use this command to get/set Kaltex Adapter personality\r\n"
      "flashinfo   : use this command to get Kaltex Adapter flash information\r\n";
  EXPECT_EQ(box.Run({"-t", "adapter", "help"}).out, listing);
  EXPECT_EQ(box.Run({"-t", "adapter", "help", "?"}).out, listing);
}

TEST(Adapter, IdentifierResolution) {
  Sandbox box;
  box.UseFixture("adapter-update.json");
  WriteFile(box.File("fw.bin"), "IMAGE");
  const std::string fw = box.File("fw.bin");
  const std::string invalid = UpdateText("false", "Failed, Invalid parameter") + kUpdateUsage;
  struct Case {
    const char* identifier;
    const char* port;  // the port the update goes to; null: refused with status 6
  } cases[] = {
      {"Adapter_KX3200_SA0001", "21:00:00:c8:a1:00:01:00"},  // lowest port number, not the first listed
      {"adapter_kx3200_sa0001", "21:00:00:c8:a1:00:01:00"},
      {"ADAPTER__KX3200___SA0001_extra", "21:00:00:c8:a1:00:01:00"},
      {"Adapter_KX9000_SP0001", "21:00:00:c8:a1:00:07:01"},  // port 0 has no FC entry
      {"Card_KX3200_SA0001", nullptr},
      {"Adapter_KX3200_SA0002", nullptr},
      {"Adapter_KX3200", nullptr},
      {"Adapter_KX0800_SN0001", nullptr},  // listed, but has no ports
      {"Adapter_KX9100_SQ0001", nullptr},  // no FC entry at all
      {"KX3200_SA0001", nullptr},
  };
  for (const Case& c : cases) {
    Result r;
    const int status = RunStatus(box, {"-t", "adapter", "updatecli", c.identifier, fw, "MBI"}, &r);
    const auto calls = CallsNamed(r, "KXAPI_doOptionROMUpdate");
    if (c.port) {
      EXPECT_EQ(status, 0) << c.identifier;
      ASSERT_EQ(calls.size(), 1u) << c.identifier;
      EXPECT_EQ(calls[0], "KXAPI_doOptionROMUpdate port=" + std::string(c.port) + " file=" + fw + " flags=0 bytes=5");
    } else {
      EXPECT_EQ(status, 6) << c.identifier;
      EXPECT_EQ(r.out, invalid) << c.identifier;
      EXPECT_TRUE(calls.empty()) << c.identifier;
    }
  }
  // The XML form prints no usage.
  EXPECT_EQ(box.Run({"-t", "adapter", "update", "Card_KX3200_SA0001", fw, "MBI"}).out,
            UpdateXml("false", "Failed, Invalid parameter"));
}

TEST(Adapter, UpdateArgumentsAndFiles) {
  Sandbox box;
  box.UseFixture("adapter-update.json");
  const std::string id = "Adapter_KX2400_SG0001";
  WriteFile(box.File("fw.bin"), "IMAGE");
  WriteFile(box.File("empty.bin"), "");
  std::filesystem::create_directories(box.File("adir"));

  Result r;
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", id}, &r), 4);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, Invalid Number of parameters") + kUpdateUsage);
  EXPECT_EQ(box.Run({"-t", "adapter", "update"}).out, UpdateXml("false", "Failed, Invalid Number of parameters"));

  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", "help", "x"}, &r), 5);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, Unknown") + kUpdateUsage);
  EXPECT_EQ(box.Run({"-t", "adapter", "updatecli", "?"}).out, kUpdateUsage);

  // A missing image fails before any library call.
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", id, box.File("none.bin"), "MBI"}, &r), 19);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, File not found"));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_doOptionROMUpdate").empty());

  // Images the library cannot use.
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", id, box.File("empty.bin"), "MBI"}, &r), 29);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, Invalid File Size"));
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", id, box.File("adir"), "MBI"}, &r), 25);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, File read Error"));

  // An unknown region calls nothing and fails as a flash update error.
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", id, box.File("fw.bin"), "NVRAM"}, &r), 11);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, Flash Update Error"));
  EXPECT_EQ(r.calls.find("KXAPI_do"), std::string::npos);
  EXPECT_EQ(r.calls.find("KXAPI_Update"), std::string::npos);

  // Without a region word the image is the adapter firmware.
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", id, box.File("fw.bin")}, &r), 0);
  EXPECT_EQ(r.out, UpdateText("true", "Success"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_doOptionROMUpdate").size(), 1u);
  // The region word is matched ignoring case; the written region is remembered by the stand-in.
  EXPECT_EQ(box.Run({"-t", "adapter", "updatecli", "Adapter_KX2350_SE0001", box.File("fw.bin"), "brdcfg"}).out,
            UpdateText("true", "Success"));
  EXPECT_NE(ReadFile(box.StatePath()).find("\"BrdCfg\""), std::string::npos);
}

TEST(Adapter, UpdateRegionsOnAllowedAndRefusedAdapters) {
  Sandbox box;
  box.UseFixture("adapter-update.json");
  WriteFile(box.File("fw.bin"), "IMAGE");
  const std::string fw = box.File("fw.bin");
  struct Case {
    const char* region;
    const char* adapter;
    const char* call;  // null: refused for this adapter
    const char* reboot;
  } cases[] = {
      {"MBI", "Adapter_KX3200_SA0001", "KXAPI_doOptionROMUpdate", "false"},  // group A
      {"MBI", "Adapter_KX2141_SB0001", "KXAPI_doOptionROMUpdate", "false"},  // group B
      {"MBI", "Adapter_KX2230_SC0001", "KXAPI_doOptionROMUpdate", "false"},  // group C
      {"MBI", "Adapter_KX2350_SE0001", "KXAPI_doOptionROMUpdate", "true"},
      {"MBI", "Adapter_KX2400_SG0001", "KXAPI_doOptionROMUpdate", "true"},
      {"BrdCfg", "Adapter_KX3200_SA0001", "KXAPI_UpdateSpecificFlashRegionFromFile", "true"},
      {"BrdCfg", "Adapter_KX2141_SB0001", "KXAPI_UpdateSpecificFlashRegionFromFile", "true"},
      {"BrdCfg", "Adapter_KX2350_SE0001", "KXAPI_UpdateSpecificFlashRegionFromFile", "true"},
      {"BrdCfg", "Adapter_KX2230_SC0001", nullptr, nullptr},
      {"BrdCfg", "Adapter_KX2510_SH0001", nullptr, nullptr},
      {"FWPreload", "Adapter_KX2510_SH0001", "KXAPI_UpdateAdapterFirmwareTableFromFile", "true"},
      {"FWPreload", "Adapter_KX2350_SE0001", "KXAPI_UpdateAdapterFirmwareTableFromFile", "true"},
      {"FWPreload", "Adapter_KX3200_SA0001", "KXAPI_UpdateAdapterFirmwareTableFromFile", "true"},
      {"FWPreload", "Adapter_KX2230_SC0001", nullptr, nullptr},
      {"FWPreload", "Adapter_KX2400_SG0001", nullptr, nullptr},
      {"PEPCfg", "Adapter_KX3200_SA0001", "KXAPI_UpdateAdapterPEPCfgFromFile", "true"},
      {"PEPCfg", "Adapter_KX2141_SB0001", "KXAPI_UpdateAdapterPEPCfgFromFile", "true"},
      {"PEPCfg", "Adapter_KX2350_SE0001", nullptr, nullptr},
      {"PEPCfg", "Adapter_KX2510_SH0001", nullptr, nullptr},
      {"PEPCfg", "Adapter_KX2230_SC0001", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.region) + " on " + c.adapter;
    Result r;
    const int status = RunStatus(box, {"-t", "adapter", "updatecli", c.adapter, fw, c.region}, &r);
    if (c.call) {
      EXPECT_EQ(status, 0) << what;
      EXPECT_EQ(r.out, UpdateText(c.reboot, "Success")) << what;
      EXPECT_EQ(CallsNamed(r, c.call).size(), 1u) << what;
    } else {
      EXPECT_EQ(status, 35) << what;
      EXPECT_EQ(r.out, UpdateText("false", "Failed, Feature not supported for this adapter")) << what;
      EXPECT_EQ(r.calls.find("FromFile"), std::string::npos) << what;
    }
  }
  EXPECT_EQ(box.Run({"-t", "adapter", "update", "Adapter_KX2230_SC0001", fw, "PEPCfg"}).out,
            UpdateXml("false", "Failed, Feature not supported for this adapter"));
  EXPECT_EQ(box.Run({"-t", "adapter", "update", "Adapter_KX2230_SC0001", fw, "MBI"}).out, UpdateXml("false", "Success"));
}

TEST(Adapter, UpdateSuccessCodesAndReboot) {
  Sandbox box;
  WriteFile(box.File("fw.bin"), "IMAGE");
  const std::string fw = box.File("fw.bin");
  const std::string a = "21:00:00:c8:a1:00:01:00";  // group A adapter
  const std::string e = "21:00:00:c8:a1:00:04:00";  // group E adapter
  struct Case {
    const char* call;
    const char* port;
    const char* adapter;
    const char* region;
    unsigned rc;
    const char* reboot;
  } cases[] = {
      {"KXAPI_doOptionROMUpdate", a.c_str(), "Adapter_KX3200_SA0001", "MBI", 201, "true"},
      {"KXAPI_doOptionROMUpdate", a.c_str(), "Adapter_KX3200_SA0001", "MBI", 205, "Cold Boot Required"},
      {"KXAPI_doOptionROMUpdate", e.c_str(), "Adapter_KX2350_SE0001", "mbi", 205, "Cold Boot Required"},
      {"KXAPI_UpdateSpecificFlashRegionFromFile", a.c_str(), "Adapter_KX3200_SA0001", "BrdCfg", 205, "true"},
      {"KXAPI_UpdateAdapterFirmwareTableFromFile", e.c_str(), "Adapter_KX2350_SE0001", "FWPreload", 201, "true"},
      {"KXAPI_UpdateAdapterPEPCfgFromFile", a.c_str(), "Adapter_KX3200_SA0001", "PEPCfg", 205, "true"},
  };
  for (const Case& c : cases) {
    box.UseFixtureText(UpdateFixture(Script(c.call, c.port, c.rc)));
    Result r;
    EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", c.adapter, fw, c.region}, &r), 0) << c.call << c.rc;
    EXPECT_EQ(r.out, UpdateText(c.reboot, "Success")) << c.call << " " << c.rc;
    EXPECT_EQ(box.Run({"-t", "adapter", "update", c.adapter, fw, c.region}).out, UpdateXml(c.reboot, "Success"))
        << c.call << " " << c.rc;
  }
}

TEST(Adapter, UpdateLibraryResultsMapToStatuses) {
  Sandbox box;
  WriteFile(box.File("fw.bin"), "IMAGE");
  const std::string fw = box.File("fw.bin");
  struct Case {
    unsigned rc;
    int status;
    const char* message;
  } cases[] = {
      {3, 19, "Failed, File not found"},
      {40, 42, "Failed, Memory Error"},
      {101, 22, "Failed, File Open Error"},
      {102, 25, "Failed, File read Error"},
      {103, 23, "Failed, File not Valid"},
      {104, 26, "Failed, Invalid SSID"},
      {105, 27, "Failed, Corrupted File"},
      {106, 29, "Failed, Invalid File Size"},
      {107, 30, "Failed, Checksum Error"},
      {108, 17, "Failed, Invalid data"},
      {110, 18, "Failed, Invalid Serial Number"},
      {111, 31, "Failed, Invalid Signature"},
      {113, 35, "Failed, Feature not supported for this adapter"},
      {121, 35, "Failed, Feature not supported for this adapter"},
      {114, 21, "Failed, Adapter not found"},
      {133, 32, "Failed, Flash Update disabled as FW lockdown mode enabled"},
      {150, 60, "Failed, Command not supported when adapter port in maintenance mode"},
      {152, 61, "Failed, Image set validation error"},
      {153, 62, "Failed, Image set config error"},
      {522, 16, "Failed, Flash Image Components Validation Error"},
      {109, 11, "Failed, Flash Update Error"},
      {200, 11, "Failed, Flash Update Error"},
      {0xFFFFFFFF, 11, "Failed, Flash Update Error"},
  };
  for (const Case& c : cases) {
    box.UseFixtureText(UpdateFixture(Script("KXAPI_UpdateAdapterPEPCfgFromFile", "21:00:00:c8:a1:00:02:00", c.rc)));
    Result r;
    EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", "Adapter_KX2141_SB0001", fw, "PEPCfg"}, &r), c.status)
        << c.rc;
    EXPECT_EQ(r.out, UpdateText("false", c.message)) << c.rc;
  }
  box.UseFixtureText(UpdateFixture(Script("KXAPI_doOptionROMUpdate", "21:00:00:c8:a1:00:01:00", 150)));
  EXPECT_EQ(box.Run({"-t", "adapter", "update", "Adapter_KX3200_SA0001", fw, "MBI"}).out,
            UpdateXml("false", "Failed, Command not supported when adapter port in maintenance mode"));
}

TEST(Adapter, UpdateWithoutInventory) {
  Sandbox box;
  box.UseFixtureText(R"({"noAdapterList": true})");
  WriteFile(box.File("fw.bin"), "IMAGE");
  Result r;
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "updatecli", "Adapter_A_B", box.File("fw.bin"), "MBI"}, &r), 14);
  EXPECT_EQ(r.out, UpdateText("false", "Failed, Host not found"));
}

TEST(Adapter, LaterAdapterOfTheSameNameWins) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [
      {"model": "KX3200", "serial": "S1", "pci": {"device": "0x2031"},
       "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:00:0a:00"}]}]},
      {"model": "kx3200", "serial": "s1", "pci": {"device": "0x2031"},
       "ports": [{"number": 0, "entries": [{"wwpn": "21:00:00:c8:a1:00:0b:00", "protocol": 2}]},
                 {"number": 1, "entries": [{"wwpn": "21:00:00:c8:a1:00:0b:01"}]}]}]})");
  WriteFile(box.File("fw.bin"), "IMAGE");
  Result r = box.Run({"-t", "adapter", "updatecli", "Adapter_KX3200_S1", box.File("fw.bin"), "MBI"});
  EXPECT_EQ(r.out, UpdateText("false", "Success"));
  const auto calls = CallsNamed(r, "KXAPI_doOptionROMUpdate");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].find("port=21:00:00:c8:a1:00:0b:01 "), std::string::npos);
}
