// The adapter mode: list, the adapter identifier, flash updates, and the info and
// flashinfo sub-modes.
#include <algorithm>
#include <filesystem>
#include <tuple>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kUpdateUsage = "Usage: [identifier] [flashfile]\r\n";
const std::vector<std::string> kAdapter = {"-t", "adapter"};
const std::string kRom = "KXAPI_doOptionROMUpdate";
const std::string kFlashCalls = "KXAPI_doOptionROMUpdate,KXAPI_UpdateSpecificFlashRegionFromFile,"
                                "KXAPI_UpdateAdapterFirmwareTableFromFile,KXAPI_UpdateAdapterPEPCfgFromFile";

Doc Update(const std::string& reboot, const std::string& message) {
  return {"FlashUpdate", {{"Reboot Required", reboot}, {"Message", message}}};
}

// The update fixture with one scripted call.
std::string UpdateFixture(const std::string& call, const std::string& port, unsigned rc) {
  return WithCalls(Fixture("adapter-update.json"),
                   "{\"call\": \"" + call + "\", \"port\": \"" + port + "\", \"rc\": " + std::to_string(rc) + "}");
}

// The call-log line of a flash call on the adapter whose port 0 ends in the given byte.
std::string Flash(const std::string& call, const std::string& portByte, const std::string& file) {
  return call + " port=21:00:00:c8:a1:00:" + portByte + ":00 file=" + file + (call == kRom ? " flags=0" : "") + " bytes=5";
}

const std::vector<std::string> kInfo = {"-t", "adapter", "-s", "info"};
const std::vector<std::string> kFlash = {"-t", "adapter", "-s", "flashinfo"};
const std::string kUsage = "Usage: get [adapter identifier]\r\n";
const std::string kMemo = "KXAPI_GetAdapterFlashMemoBlock";

// The info block: as many of these lines as values are given.
Doc Info(const std::string& values) {
  static const std::vector<std::string> labels = {
      "Manufacturer", "Model", "Serial Number", "Vendor ID", "Device ID", "Subsystem Device ID",
      "Subsystem Vendor ID", "PCI Bus ID", "Chip Revision", "Type", "Multiboot Version", "Flash Firmware Version",
      "Flash BIOS Version", "Flash FCode Version", "Flash EFI Version", "Flash Preload Firmware Area Version",
      "Flash FC Board Config Version", "Flash MPI Firmware Version", "Flash PEP Firmware Version",
      "Flash PEP Board Config Version", "Flash PEP SoftROM Version", "Flash MPI SoftROM Version",
      "Flash PCIE Serdes Version", "Family Firmware Version"};
  const size_t n = std::count(values.begin(), values.end(), '|') + 1;
  return Report("AdapterInformation", "General Parameters", "GeneralParametersList",
                Block({labels.begin(), labels.begin() + n}, values));
}
Doc InfoError(const std::string& message) { return ListError("AdapterInformation", "General Parameters", message); }
Doc Flash(const std::string& values) {
  static const std::vector<std::string> labels = {"MBI Version", "MBI Build Date", "Flash Tool ID",
                                                  "Flash Tool Version", "Last Update Time", "Family Firmware Version"};
  const size_t n = std::count(values.begin(), values.end(), '|') + 1;
  return Report("AdapterFlashInformation", "Flash Info", "FlashInfoList", Block({labels.begin(), labels.begin() + n}, values));
}
Doc FlashError(const std::string& message) { return ListError("AdapterFlashInformation", "Flash Info", message); }

}  // namespace

TEST(Adapter, ListAndHelp) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [
      {"model": "KX3262", "serial": "KXA21350001", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00"}]}]},
      {"model": "KX0800", "serial": "KXC00000042", "ports": null},
      {"model": "kx1642", "serial": "kxb16420007", "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:02:00"}]}]}]})");
  const std::vector<std::string> ids = {"Adapter_KX3262_KXA21350001", "Adapter_KX0800_KXC00000042",
                                        "Adapter_kx1642_kxb16420007"};
  RunCases(box, {},
           {{{"-t", "adapter", "listcli"}, ListText("AdapterList", "Adapters", ids), 0, "", {},
             "AdapterCmdsProcessor::CmdListCommon: Going for adapter list"},
            {{"list", "-t", "adapter"}, ListXml("AdapterList", "Adapters", ids)},
            // A help word: status 5 and the usage for the text form only.
            {{"-t", "adapter", "listcli", "help"}, "Usage: list\r\n", 5},
            // The help command's usage is its listing.
            {{"-t", "adapter", "help", "?"}, box.Run({"-t", "adapter", "help"}).out}});
  box.UseFixtureText(R"({"adapters": []})");
  RunCases(box, kAdapter, {{{"listcli"}, ListText("", "", {}), 0}, {{"list"}, ListXml("", "", {})}});
  box.UseFixtureText(R"({"noAdapterList": true})");
  WriteFile(box.File("fw.bin"), "IMAGE");
  RunCases(box, kAdapter,
           {{{"listcli"}, "", 14},
            {{"updatecli", "Adapter_A_B", box.File("fw.bin"), "MBI"}, Update("false", "Failed, Host not found").Text(), 14}});
}

TEST(Adapter, IdentifierResolution) {
  Sandbox box;
  box.UseFixture("adapter-update.json");
  const std::string fw = box.File("fw.bin");
  WriteFile(fw, "IMAGE");
  const std::string invalid = Update("false", "Failed, Invalid parameter").Text() + kUpdateUsage;
  const std::string ok = Update("false", "Success").Text();
  const std::string sa = Flash(kRom, "01", fw);  // the lowest port number, not the first listed
  std::vector<Case> cases = {
      {{"updatecli", "Adapter_KX3200_SA0001", fw, "MBI"}, ok, 0, kRom, {sa}},
      {{"updatecli", "adapter_kx3200_sa0001", fw, "MBI"}, ok, 0, kRom, {sa}},
      {{"updatecli", "ADAPTER__KX3200___SA0001_extra", fw, "MBI"}, ok, 0, kRom, {sa}},
      // Port 0 has no FC entry.
      {{"updatecli", "Adapter_KX9000_SP0001", fw, "MBI"}, ok, 0, kRom,
       {kRom + " port=21:00:00:c8:a1:00:07:01 file=" + fw + " flags=0 bytes=5"}},
      // The XML form prints no usage.
      {{"update", "Card_KX3200_SA0001", fw, "MBI"}, Update("false", "Failed, Invalid parameter").Xml(), 6, kRom}};
  for (const char* id : {"Card_KX3200_SA0001", "Adapter_KX3200_SA0002", "Adapter_KX3200",
                         "Adapter_KX0800_SN0001" /* no ports */, "Adapter_KX9100_SQ0001" /* no FC entry */, "KX3200_SA0001"})
    cases.push_back({{"updatecli", id, fw, "MBI"}, invalid, 6, kRom});
  RunCases(box, kAdapter, cases);
}

TEST(Adapter, LaterAdapterOfTheSameNameWins) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [
      {"model": "KX3200", "serial": "S1", "pci": {"device": "0x2031"},
       "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:00:0a:00"}]}]},
      {"model": "kx3200", "serial": "s1", "pci": {"device": "0x2031"},
       "ports": [{"number": 0, "entries": [{"wwpn": "21:00:00:c8:a1:00:0b:00", "protocol": 2}]},
                 {"number": 1, "entries": [{"wwpn": "21:00:00:c8:a1:00:0b:01"}]}]}]})");
  const std::string fw = box.File("fw.bin");
  WriteFile(fw, "IMAGE");
  RunCases(box, kAdapter, {{{"updatecli", "Adapter_KX3200_S1", fw, "MBI"}, Update("false", "Success").Text(), 0, kRom,
                            {kRom + " port=21:00:00:c8:a1:00:0b:01 file=" + fw + " flags=0 bytes=5"}}});
}

TEST(Adapter, UpdateArgumentsAndFiles) {
  Sandbox box;
  box.UseFixture("adapter-update.json");
  const std::string id = "Adapter_KX2400_SG0001";
  const std::string fw = box.File("fw.bin");
  WriteFile(fw, "IMAGE");
  WriteFile(box.File("empty.bin"), "");
  std::filesystem::create_directories(box.File("adir"));
  const std::string count = "Failed, Invalid Number of parameters";
  RunCases(box, kAdapter,
           {{{"updatecli", id}, Update("false", count).Text() + kUpdateUsage, 4},
            {{"update"}, Update("false", count).Xml()},
            {{"updatecli", "help", "x"}, Update("false", "Failed, Unknown").Text() + kUpdateUsage, 5},
            // A missing image fails before any library call; then images the library cannot use.
            {{"updatecli", id, box.File("none.bin"), "MBI"}, Update("false", "Failed, File not found").Text(), 19, kFlashCalls},
            {{"updatecli", id, box.File("empty.bin"), "MBI"}, Update("false", "Failed, Invalid File Size").Text(), 29},
            {{"updatecli", id, box.File("adir"), "MBI"}, Update("false", "Failed, File read Error").Text(), 25},
            // Without a region word the image is the adapter firmware.
            {{"updatecli", id, fw}, Update("true", "Success").Text(), 0, kFlashCalls, {Flash(kRom, "06", fw)}},
            // The region word is matched ignoring case; the written region is remembered by the stand-in.
            {{"updatecli", "Adapter_KX2350_SE0001", fw, "brdcfg"}, Update("true", "Success").Text(), 0}});
  EXPECT_NE(ReadFile(box.StatePath()).find("\"BrdCfg\""), std::string::npos);
}

TEST(Adapter, UpdateRegionsOnAllowedAndRefusedAdapters) {
  Sandbox box;
  box.UseFixture("adapter-update.json");
  const std::string fw = box.File("fw.bin");
  WriteFile(fw, "IMAGE");
  const std::string rom = kRom, brd = "KXAPI_UpdateSpecificFlashRegionFromFile",
                    table = "KXAPI_UpdateAdapterFirmwareTableFromFile", pep = "KXAPI_UpdateAdapterPEPCfgFromFile";
  const std::string refused = Update("false", "Failed, Feature not supported for this adapter").Text();
  // Adapters by the port byte of their port 0: 01 group A, 02 group B, 03 group C, 04 E, 05 H, 06 G.
  const std::map<std::string, std::string> adapter = {
      {"01", "Adapter_KX3200_SA0001"}, {"02", "Adapter_KX2141_SB0001"}, {"03", "Adapter_KX2230_SC0001"},
      {"04", "Adapter_KX2350_SE0001"}, {"05", "Adapter_KX2510_SH0001"}, {"06", "Adapter_KX2400_SG0001"}};
  // Region, the port byte, the call ("" refused for this adapter), the reboot.
  const std::tuple<const char*, const char*, std::string, const char*> rows[] = {
      {"MBI", "01", rom, "false"},        {"MBI", "02", rom, "false"},     {"MBI", "03", rom, "false"},
      {"MBI", "04", rom, "true"},         {"MBI", "06", rom, "true"},      {"BrdCfg", "01", brd, "true"},
      {"BrdCfg", "02", brd, "true"},      {"BrdCfg", "04", brd, "true"},   {"BrdCfg", "03", "", ""},
      {"BrdCfg", "05", "", ""},           {"FWPreload", "05", table, "true"}, {"FWPreload", "04", table, "true"},
      {"FWPreload", "01", table, "true"}, {"FWPreload", "03", "", ""},     {"FWPreload", "06", "", ""},
      {"PEPCfg", "01", pep, "true"},      {"PEPCfg", "02", pep, "true"},   {"PEPCfg", "04", "", ""},
      {"PEPCfg", "05", "", ""},           {"PEPCfg", "03", "", ""},
  };
  std::vector<Case> cases;
  for (const auto& [region, port, call, reboot] : rows)
    cases.push_back({{"updatecli", adapter.at(port), fw, region}, call.empty() ? refused : Update(reboot, "Success").Text(),
                     call.empty() ? 35 : 0, kFlashCalls,
                     call.empty() ? std::vector<std::string>{} : std::vector<std::string>{Flash(call, port, fw)}});
  cases.push_back({{"update", "Adapter_KX2230_SC0001", fw, "PEPCfg"},
                   Update("false", "Failed, Feature not supported for this adapter").Xml(), 35});
  cases.push_back({{"update", "Adapter_KX2230_SC0001", fw, "MBI"}, Update("false", "Success").Xml(), 0});
  RunCases(box, kAdapter, cases);
}

TEST(Adapter, UpdateLibraryResults) {
  Sandbox box;
  const std::string fw = box.File("fw.bin");
  WriteFile(fw, "IMAGE");
  const std::string a = "21:00:00:c8:a1:00:01:00", e = "21:00:00:c8:a1:00:04:00";  // group A and E adapters
  const std::string pep = "KXAPI_UpdateAdapterPEPCfgFromFile";
  // Results that are a success, with the reboot they ask for: call, port, adapter, region, result, reboot.
  const std::tuple<std::string, std::string, const char*, const char*, unsigned, const char*> done[] = {
      {kRom, a, "Adapter_KX3200_SA0001", "MBI", 201, "true"},
      {kRom, a, "Adapter_KX3200_SA0001", "MBI", 205, "Cold Boot Required"},
      {kRom, e, "Adapter_KX2350_SE0001", "mbi", 205, "Cold Boot Required"},
      {"KXAPI_UpdateSpecificFlashRegionFromFile", a, "Adapter_KX3200_SA0001", "BrdCfg", 205, "true"},
      {"KXAPI_UpdateAdapterFirmwareTableFromFile", e, "Adapter_KX2350_SE0001", "FWPreload", 201, "true"},
      {pep, a, "Adapter_KX3200_SA0001", "PEPCfg", 205, "true"},
  };
  for (const auto& [call, port, id, region, rc, reboot] : done) {
    box.UseFixtureText(UpdateFixture(call, port, rc));
    RunCases(box, kAdapter,
             {{{"updatecli", id, fw, region}, Update(reboot, "Success").Text(), 0}});
  }
  // Failures: the result, the status, the message.
  const std::tuple<unsigned, int, const char*> failed[] = {
      {3, 19, "Failed, File not found"}, {40, 42, "Failed, Memory Error"}, {101, 22, "Failed, File Open Error"},
      {102, 25, "Failed, File read Error"}, {103, 23, "Failed, File not Valid"}, {104, 26, "Failed, Invalid SSID"},
      {105, 27, "Failed, Corrupted File"}, {106, 29, "Failed, Invalid File Size"}, {107, 30, "Failed, Checksum Error"},
      {108, 17, "Failed, Invalid data"}, {110, 18, "Failed, Invalid Serial Number"},
      {111, 31, "Failed, Invalid Signature"},
      {113, 35, "Failed, Feature not supported for this adapter"},
      {121, 35, "Failed, Feature not supported for this adapter"},
      {114, 21, "Failed, Adapter not found"},
      {133, 32, "Failed, Flash Update disabled as FW lockdown mode enabled"},
      {150, 60, "Failed, Command not supported when adapter port in maintenance mode"},
      {152, 61, "Failed, Image set validation error"}, {153, 62, "Failed, Image set config error"},
      {522, 16, "Failed, Flash Image Components Validation Error"},
      {109, 11, "Failed, Flash Update Error"}, {200, 11, "Failed, Flash Update Error"},
      {0xFFFFFFFF, 11, "Failed, Flash Update Error"},
  };
  for (const auto& [rc, status, message] : failed) {
    box.UseFixtureText(UpdateFixture(pep, "21:00:00:c8:a1:00:02:00", rc));
    RunCases(box, kAdapter, {{{"updatecli", "Adapter_KX2141_SB0001", fw, "PEPCfg"}, Update("false", message).Text(), status}});
  }
  box.UseFixtureText(UpdateFixture(kRom, a, 150));
  RunCases(box, kAdapter,
           {{{"update", "Adapter_KX3200_SA0001", fw, "MBI"},
             Update("false", "Failed, Command not supported when adapter port in maintenance mode").Xml()}});
}

TEST(AdapterInfo, ReportsAndNaRules) {
  Sandbox box;
  box.UseFixture("adapter-info.json");
  // Group C: every version line; ff.ff.ff is NA only for the conditional lines.
  const Doc c = Info("Kaltex Corporation|KX2230|SC0001|0xca1e|0x2232|0x111|0xcb05|0x3b|3|Fibre Channel Adapter|"
                     "14.2.455.0|14.2.455.3|14.0.499.0|NA|14.0.500.1|255.255.255|1.02.03|NA|2.10.07|NA|3.00.01|"
                     "4.05.06|NA|14.02.07");
  // Empty model and serial, type code 9, a group without conditional lines or memo.
  const Doc bare = Info("|NA|NA|0x0|0x2400|0x0|0x0|0x0|0|Unknown|NA|NA|NA|NA|NA|5.06.07|NA");
  // The version query fails: every version is NA; a memo with a wrong signature shows no family line.
  const Doc failed = Info("Kaltex|KX2031|SA0001|0x0|0x2031|0x0|0x0|0x0|0|FCoE CNA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA");
  // Group E: memo read, but family version 0.0.0 is not shown; no conditional versions.
  const Doc e = Info("|KX2350|SE0001|0x0|0x2350|0x0|0x0|0x0|0|Ethernet Adapter|NA|NA|NA|NA|NA|1.00.00|0.00.01");
  const std::string versions = "KXAPI_GetFlashComponentVersion";
  RunCases(box, kInfo,
           {{{"getcli", "Adapter_KX2230_SC0001"}, c.Text(), 0, versions + "," + kMemo,
             {versions + " port=21:00:00:c8:a1:10:01:00", kMemo + " port=21:00:00:c8:a1:10:01:00"},
             "AdapterCmdsProcessor::GetPhyPortFromAdapterString: Entered"},
            {{"getcli", "Adapter"}, bare.Text(), 0, kMemo, {}, "AdapterInfoCmdsProcessor::CmdGetCommon: Entered"},
            {{"getcli", "Adapter_KX2031_SA0001"}, failed.Text(), 0, kMemo, {kMemo + " port=21:00:00:c8:a1:10:03:00"}},
            {{"getcli", "Adapter_KX2350_SE0001"}, e.Text(), 0, kMemo, {kMemo + " port=21:00:00:c8:a1:10:04:00"}},
            {{"getcli", "Adapter_KX2230_NOPE"}, InfoError("Failed, Invalid parameter").Text() + kUsage, 6},
            {{"getcli", "-h"}, InfoError("Failed, Unknown").Text() + kUsage, 5}});
  EXPECT_EQ(box.Run({"-s", "info", "get", "adapter_kx2230_sc0001", "-t", "adapter"}).out, c.Xml());
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, kInfo, {{{"getcli", "Adapter_A_B"}, InfoError("Failed, Host not found").Text(), 14}});
}

TEST(AdapterFlashInfo, ReportsAndFailures) {
  Sandbox box;
  box.UseFixture("adapter-flashinfo.json");
  // The tool code is matched ignoring case.
  const Doc a = Flash("03.01.20|2024-01-31|Hexaview|01.02.03.04|2024-05-06 07:08:09|12.00.05");
  // An unknown tool, no family version.
  const Doc c = Flash("14.00.02|1999-12-31|Unknown|00.00.00.10|1999-12-31 23:59:58");
  // An unset build date is eight zero characters: the first ends that line's text,
  // newline included, so the next line follows directly.
  const std::string e = Report("AdapterFlashInformation", "Flash Info", "FlashInfoList",
                               "MBI Version: 00.00.00\n      MBI Build Date:       " +
                                   Block({"Flash Tool ID", "Flash Tool Version", "Last Update Time", "Family Firmware Version"},
                                         "Kaltex Flash Utility|00.00.00.00|0000-00-00 00:00:00|00.00.01")) .Text();
  const std::string memo = kMemo + " port=21:00:00:c8:a1:";
  RunCases(box, kFlash,
           {{{"getcli", "Adapter_KX2031_SA0001"}, a.Text(), 0, kMemo, {memo + "30:01:00"},
             "AdapterFlashInfoCmdsProcessor::CmdGetCommon: Entered"},
            {{"get", "Adapter_KX2031_SA0001"}, a.Xml()}, {{"getcli", "Adapter_KX2230_SC0001"}, c.Text(), 0},
            {{"getcli", "Adapter_KX2350_SE0001"}, e},
            // Outside the supported device groups: refused before any library call.
            {{"getcli", "Adapter_KX2400_SG0001"}, FlashError("Failed, Feature not supported for this adapter").Text(), 35, kMemo},
            {{"getcli", "Adapter_KX2141_SB0001"}, FlashError("Failed, Flash Info read failed").Text(), 13},
            {{"getcli", "Adapter_KX2141"}, FlashError("Failed, Invalid parameter").Text() + kUsage, 6},
            {{"getcli", "help"}, FlashError("Failed, Unknown").Text() + kUsage, 5}});
  // The signature must match in every byte.
  for (const char* signature : {"XMBS", "FXBS", "FMXS", "FMBX", "fmbs"}) {
    box.UseFixtureText(std::string(R"({"adapters": [{"model": "KX2031", "serial": "SA0001", "pci": {"device": "0x2031"},
        "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00", "flashMemo": {"signature": ")") +
                       signature + R"(", "toolCode": "KXFL"}}]}]}]})");
    RunCases(box, kFlash, {{{"getcli", "Adapter_KX2031_SA0001"}, FlashError("Failed, Invalid Signature").Text(), 31}});
  }
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, kFlash, {{{"get", "Adapter_A_B"}, FlashError("Failed, Host not found").Xml(), 14}});
}
