// Adapter info: the report block of an adapter's identity and flash versions.
#include "tests/e2e/AdapterDocs.h"

using namespace e2e;
using namespace adapterdocs;

namespace {

std::string Report(uint32_t mode, const std::string& block) {
  return mode == 1 ? ReportXml("AdapterInformation", "General Parameters", "GeneralParametersList", block)
                   : ReportText("AdapterInformation", "General Parameters", "GeneralParametersList", block);
}

std::string Error(uint32_t mode, const std::string& message) {
  return mode == 1 ? ReportErrorXml("AdapterInformation", "General Parameters", message)
                   : ReportErrorText("AdapterInformation", "General Parameters", message);
}

}  // namespace

TEST(AdapterInfo, GroupCAdapterShowsEveryVersionLine) {
  Sandbox box;
  box.UseFixture("adapter-info.json");
  const std::string block =
      "Manufacturer: Kaltex Corporation\n"
      "      Model: KX2230\n"
      "      Serial Number: SC0001\n"
      "      Vendor ID: 0xca1e\n"
      "      Device ID: 0x2232\n"
      "      Subsystem Device ID: 0x111\n"
      "      Subsystem Vendor ID: 0xcb05\n"
      "      PCI Bus ID: 0x3b\n"
      "      Chip Revision: 3\n"
      "      Type: Fibre Channel Adapter\n"
      "      Multiboot Version: 14.2.455.0\n"
      "      Flash Firmware Version: 14.2.455.3\n"
      "      Flash BIOS Version: 14.0.499.0\n"
      "      Flash FCode Version: NA\n"
      "      Flash EFI Version: 14.0.500.1\n"
      "      Flash Preload Firmware Area Version: 255.255.255\n"  // ff.ff.ff is NA only for the conditional lines
      "      Flash FC Board Config Version: 1.02.03\n"
      "      Flash MPI Firmware Version: NA\n"
      "      Flash PEP Firmware Version: 2.10.07\n"
      "      Flash PEP Board Config Version: NA\n"
      "      Flash PEP SoftROM Version: 3.00.01\n"
      "      Flash MPI SoftROM Version: 4.05.06\n"
      "      Flash PCIE Serdes Version: NA\n"
      "      Family Firmware Version: 14.02.00\n";
  Result r = box.Run({"-t", "adapter", "-s", "info", "getcli", "Adapter_KX2230_SC0001"});
  EXPECT_EQ(r.out, Report(2, block));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetFlashComponentVersion"),
            std::vector<std::string>{"KXAPI_GetFlashComponentVersion port=21:00:00:c8:a1:10:01:00"});
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterFlashMemoBlock").size(), 1u);
  EXPECT_EQ(box.Run({"-s", "info", "get", "adapter_kx2230_sc0001", "-t", "adapter"}).out, Report(1, block));
}

TEST(AdapterInfo, OtherAdaptersAndNaRules) {
  Sandbox box;
  box.UseFixture("adapter-info.json");
  struct Case {
    const char* identifier;
    const char* block;
    bool memoRead;
  } cases[] = {
      // Empty model and serial, type code 9, a group without conditional lines or memo.
      {"Adapter", 
       "Manufacturer: \n"
       "      Model: NA\n"
       "      Serial Number: NA\n"
       "      Vendor ID: 0x0\n"
       "      Device ID: 0x2400\n"
       "      Subsystem Device ID: 0x0\n"
       "      Subsystem Vendor ID: 0x0\n"
       "      PCI Bus ID: 0x0\n"
       "      Chip Revision: 0\n"
       "      Type: Unknown\n"
       "      Multiboot Version: NA\n"
       "      Flash Firmware Version: NA\n"
       "      Flash BIOS Version: NA\n"
       "      Flash FCode Version: NA\n"
       "      Flash EFI Version: NA\n"
       "      Flash Preload Firmware Area Version: 5.06.07\n"
       "      Flash FC Board Config Version: NA\n",
       false},
      // The version query fails: every version is NA; a memo with a wrong signature shows no family line.
      {"Adapter_KX2031_SA0001",
       "Manufacturer: Kaltex\n"
       "      Model: KX2031\n"
       "      Serial Number: SA0001\n"
       "      Vendor ID: 0x0\n"
       "      Device ID: 0x2031\n"
       "      Subsystem Device ID: 0x0\n"
       "      Subsystem Vendor ID: 0x0\n"
       "      PCI Bus ID: 0x0\n"
       "      Chip Revision: 0\n"
       "      Type: FCoE CNA\n"
       "      Multiboot Version: NA\n"
       "      Flash Firmware Version: NA\n"
       "      Flash BIOS Version: NA\n"
       "      Flash FCode Version: NA\n"
       "      Flash EFI Version: NA\n"
       "      Flash Preload Firmware Area Version: NA\n"
       "      Flash FC Board Config Version: NA\n"
       "      Flash MPI Firmware Version: NA\n"
       "      Flash PEP Firmware Version: NA\n"
       "      Flash PEP Board Config Version: NA\n"
       "      Flash PEP SoftROM Version: NA\n",
       true},
      // Group E: memo read, but family version 0.0.0 is not shown; no conditional versions.
      {"Adapter_KX2350_SE0001",
       "Manufacturer: \n"
       "      Model: KX2350\n"
       "      Serial Number: SE0001\n"
       "      Vendor ID: 0x0\n"
       "      Device ID: 0x2350\n"
       "      Subsystem Device ID: 0x0\n"
       "      Subsystem Vendor ID: 0x0\n"
       "      PCI Bus ID: 0x0\n"
       "      Chip Revision: 0\n"
       "      Type: Ethernet Adapter\n"
       "      Multiboot Version: NA\n"
       "      Flash Firmware Version: NA\n"
       "      Flash BIOS Version: NA\n"
       "      Flash FCode Version: NA\n"
       "      Flash EFI Version: NA\n"
       "      Flash Preload Firmware Area Version: 1.00.00\n"
       "      Flash FC Board Config Version: 0.00.01\n",
       true},
  };
  for (const Case& c : cases) {
    Result r = box.Run({"-t", "adapter", "-s", "info", "getcli", c.identifier});
    EXPECT_EQ(r.out, Report(2, c.block)) << c.identifier;
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterFlashMemoBlock").size(), c.memoRead ? 1u : 0u) << c.identifier;
    EXPECT_EQ(box.Run({"-t", "adapter", "-s", "info", "get", c.identifier}).out, Report(1, c.block)) << c.identifier;
  }
}

TEST(AdapterInfo, Failures) {
  Sandbox box;
  box.UseFixture("adapter-info.json");
  const std::string usage = "Usage: get [adapter identifier]\r\n";
  Result r;
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "-s", "info", "getcli", "Adapter_KX2230_NOPE"}, &r), 6);
  EXPECT_EQ(r.out, Error(2, "Failed, Invalid parameter") + usage);
  EXPECT_EQ(box.Run({"-t", "adapter", "-s", "info", "get", "Adapter_KX2230_NOPE"}).out,
            Error(1, "Failed, Invalid parameter"));
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "-s", "info", "getcli", "-h"}, &r), 5);
  EXPECT_EQ(r.out, Error(2, "Failed, Unknown") + usage);
  EXPECT_EQ(box.Run({"-t", "adapter", "-s", "info", "getcli", "?"}).out, usage);

  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(RunStatus(box, {"-t", "adapter", "-s", "info", "getcli", "Adapter_A_B"}, &r), 14);
  EXPECT_EQ(r.out, Error(2, "Failed, Host not found"));
}

TEST(AdapterInfo, Help) {
  Sandbox box;
  EXPECT_EQ(box.Run({"-t", "adapter", "-s", "info", "help"}).out,
            "\r\nFollowing is the list of available commands in the Adapter info command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "get         : get Kaltex Adapter information\r\n"
            "help        : list of available commands\r\n"
            "getcli      : get Kaltex Adapter information\r\n");
}
