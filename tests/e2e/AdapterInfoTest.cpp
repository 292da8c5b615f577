// Adapter info and flash info: report blocks of an adapter's identity, flash versions and memo.
#include <algorithm>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

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

std::string Help(const std::string& mode, const std::string& what) {
  return "\r\nFollowing is the list of available commands in the Adapter " + mode + " command mode.\r\n"
         "For detailed information of each command, please type 'command ?'\r\n"
         "All commands are case insensitive.\r\n\r\n"
         "get         : get Kaltex Adapter " + what + "\r\n"
         "help        : list of available commands\r\n"
         "getcli      : get Kaltex Adapter " + what + "\r\n";
}

}  // namespace

TEST(AdapterInfo, ReportsAndNaRules) {
  Sandbox box;
  box.UseFixture("adapter-info.json");
  // Group C: every version line; ff.ff.ff is NA only for the conditional lines.
  const Doc c = Info("Kaltex Corporation|KX2230|SC0001|0xca1e|0x2232|0x111|0xcb05|0x3b|3|Fibre Channel Adapter|"
                     "14.2.455.0|14.2.455.3|14.0.499.0|NA|14.0.500.1|255.255.255|1.02.03|NA|2.10.07|NA|3.00.01|"
                     "4.05.06|NA|14.02.00");
  // Empty model and serial, type code 9, a group without conditional lines or memo.
  const Doc bare = Info("|NA|NA|0x0|0x2400|0x0|0x0|0x0|0|Unknown|NA|NA|NA|NA|NA|5.06.07|NA");
  // The version query fails: every version is NA; a memo with a wrong signature shows no family line.
  const Doc failed = Info("Kaltex|KX2031|SA0001|0x0|0x2031|0x0|0x0|0x0|0|FCoE CNA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA");
  // Group E: memo read, but family version 0.0.0 is not shown; no conditional versions.
  const Doc e = Info("|KX2350|SE0001|0x0|0x2350|0x0|0x0|0x0|0|Ethernet Adapter|NA|NA|NA|NA|NA|1.00.00|0.00.01");
  const std::string versions = "KXAPI_GetFlashComponentVersion";
  RunCases(box, kInfo,
           {{{"getcli", "Adapter_KX2230_SC0001"}, c.Text(), 0, versions + "," + kMemo,
             {versions + " port=21:00:00:c8:a1:10:01:00", kMemo + " port=21:00:00:c8:a1:10:01:00"}},
            {{"getcli", "Adapter"}, bare.Text(), 0, kMemo},
            {{"get", "Adapter"}, bare.Xml()},
            {{"getcli", "Adapter_KX2031_SA0001"}, failed.Text(), 0, kMemo, {kMemo + " port=21:00:00:c8:a1:10:03:00"}},
            {{"get", "Adapter_KX2031_SA0001"}, failed.Xml()},
            {{"getcli", "Adapter_KX2350_SE0001"}, e.Text(), 0, kMemo, {kMemo + " port=21:00:00:c8:a1:10:04:00"}},
            {{"get", "Adapter_KX2350_SE0001"}, e.Xml()},
            {{"getcli", "Adapter_KX2230_NOPE"}, InfoError("Failed, Invalid parameter").Text() + kUsage, 6},
            {{"get", "Adapter_KX2230_NOPE"}, InfoError("Failed, Invalid parameter").Xml()},
            {{"getcli", "-h"}, InfoError("Failed, Unknown").Text() + kUsage, 5},
            {{"getcli", "?"}, kUsage},
            {{"help"}, Help("info", "information")}});
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
                                         "Kaltex Flash Utility|00.00.00.00|0000-00-00 00:00:00|00.00.01"))
                            .Text();
  const std::string memo = kMemo + " port=21:00:00:c8:a1:";
  RunCases(box, kFlash,
           {{{"getcli", "Adapter_KX2031_SA0001"}, a.Text(), 0, kMemo, {memo + "30:01:00"}},
            {{"get", "Adapter_KX2031_SA0001"}, a.Xml()},
            {{"getcli", "Adapter_KX2230_SC0001"}, c.Text(), 0},
            {{"get", "Adapter_KX2230_SC0001"}, c.Xml()},
            {{"getcli", "Adapter_KX2350_SE0001"}, e},
            // Outside the supported device groups: refused before any library call.
            {{"getcli", "Adapter_KX2400_SG0001"}, FlashError("Failed, Feature not supported for this adapter").Text(), 35, kMemo},
            {{"getcli", "Adapter_KX2141_SB0001"}, FlashError("Failed, Flash Info read failed").Text(), 13},
            {{"get", "Adapter_KX2141_SB0001"}, FlashError("Failed, Flash Info read failed").Xml()},
            {{"getcli", "Adapter_KX2141"}, FlashError("Failed, Invalid parameter").Text() + kUsage, 6},
            {{"getcli", "help"}, FlashError("Failed, Unknown").Text() + kUsage, 5},
            {{"getcli", "?"}, kUsage},
            {{"help"}, Help("flashinfo", "information")}});
  // The signature must match in every byte.
  for (const char* signature : {"XMBS", "FXBS", "FMXS", "FMBX", "fmbs"}) {
    box.UseFixtureText(std::string(R"({"adapters": [{"model": "KX2031", "serial": "SA0001", "pci": {"device": "0x2031"},
        "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00", "flashMemo": {"signature": ")") +
                       signature + R"(", "toolCode": "KXFL"}}]}]}]})");
    RunCases(box, kFlash,
             {{{"getcli", "Adapter_KX2031_SA0001"}, FlashError("Failed, Invalid Signature").Text(), 31},
              {{"get", "Adapter_KX2031_SA0001"}, FlashError("Failed, Invalid Signature").Xml()}});
  }
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, kFlash, {{{"get", "Adapter_A_B"}, FlashError("Failed, Host not found").Xml(), 14}});
}
