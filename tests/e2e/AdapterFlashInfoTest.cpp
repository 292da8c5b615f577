// Adapter flash info: the flash memo block as a report.
#include "tests/e2e/AdapterDocs.h"

using namespace e2e;
using namespace adapterdocs;

namespace {

const std::string kUsage = "Usage: get [adapter identifier]\r\n";

std::string Report(uint32_t mode, const std::string& block) {
  return mode == 1 ? ReportXml("AdapterFlashInformation", "Flash Info", "FlashInfoList", block)
                   : ReportText("AdapterFlashInformation", "Flash Info", "FlashInfoList", block);
}

std::string Error(uint32_t mode, const std::string& message) {
  return mode == 1 ? ReportErrorXml("AdapterFlashInformation", "Flash Info", message)
                   : ReportErrorText("AdapterFlashInformation", "Flash Info", message);
}

std::vector<std::string> Cmd(const std::string& command, const std::string& identifier) {
  return {"-t", "adapter", "-s", "flashinfo", command, identifier};
}

}  // namespace

TEST(AdapterFlashInfo, Reports) {
  Sandbox box;
  box.UseFixture("adapter-flashinfo.json");
  struct Case {
    const char* identifier;
    const char* block;
  } cases[] = {
      {"Adapter_KX2031_SA0001",  // tool code matched ignoring case
       "MBI Version: 03.01.20\n"
       "      MBI Build Date: 2024-01-31\n"
       "      Flash Tool ID: Hexaview\n"
       "      Flash Tool Version: 01.02.03.04\n"
       "      Last Update Time: 2024-05-06 07:08:09\n"
       "      Family Firmware Version: 12.00.05\n"},
      {"Adapter_KX2230_SC0001",  // unknown tool, no family version
       "MBI Version: 14.00.02\n"
       "      MBI Build Date: 1999-12-31\n"
       "      Flash Tool ID: Unknown\n"
       "      Flash Tool Version: 00.00.00.10\n"
       "      Last Update Time: 1999-12-31 23:59:58\n"},
  };
  for (const Case& c : cases) {
    Result r = box.Run(Cmd("getcli", c.identifier));
    EXPECT_EQ(r.out, Report(2, c.block)) << c.identifier;
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterFlashMemoBlock").size(), 1u);
    EXPECT_EQ(box.Run(Cmd("get", c.identifier)).out, Report(1, c.block)) << c.identifier;
  }
}

TEST(AdapterFlashInfo, MemoWithOnlyToolAndFamilyVersion) {
  Sandbox box;
  box.UseFixture("adapter-flashinfo.json");
  // An unset build date is eight zero characters: the first ends that line's
  // text, newline included, so the next line follows directly.
  Result r = box.Run(Cmd("getcli", "Adapter_KX2350_SE0001"));
  EXPECT_EQ(r.out, Report(2,
                          "MBI Version: 00.00.00\n"
                          "      MBI Build Date: "
                          "      Flash Tool ID: Kaltex Flash Utility\n"
                          "      Flash Tool Version: 00.00.00.00\n"
                          "      Last Update Time: 0000-00-00 00:00:00\n"
                          "      Family Firmware Version: 00.00.01\n"));
}

TEST(AdapterFlashInfo, SignatureMustMatchInEveryByte) {
  Sandbox box;
  for (const char* signature : {"XMBS", "FXBS", "FMXS", "FMBX", "fmbs"}) {
    box.UseFixtureText(std::string(R"({"adapters": [{"model": "KX2031", "serial": "SA0001", "pci": {"device": "0x2031"},
        "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:30:01:00", "flashMemo": {"signature": ")") +
                       signature + R"(", "toolCode": "KXFL"}}]}]}]})");
    Result r;
    EXPECT_EQ(RunStatus(box, Cmd("getcli", "Adapter_KX2031_SA0001"), &r), 31) << signature;
    EXPECT_EQ(r.out, Error(2, "Failed, Invalid Signature")) << signature;
    EXPECT_EQ(box.Run(Cmd("get", "Adapter_KX2031_SA0001")).out, Error(1, "Failed, Invalid Signature"));
  }
}

TEST(AdapterFlashInfo, Failures) {
  Sandbox box;
  box.UseFixture("adapter-flashinfo.json");
  Result r;
  // Outside the supported device groups: refused before any library call.
  EXPECT_EQ(RunStatus(box, Cmd("getcli", "Adapter_KX2400_SG0001"), &r), 35);
  EXPECT_EQ(r.out, Error(2, "Failed, Feature not supported for this adapter"));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_GetAdapterFlashMemoBlock").empty());

  EXPECT_EQ(RunStatus(box, Cmd("getcli", "Adapter_KX2141_SB0001"), &r), 13);
  EXPECT_EQ(r.out, Error(2, "Failed, Flash Info read failed"));
  EXPECT_EQ(box.Run(Cmd("get", "Adapter_KX2141_SB0001")).out, Error(1, "Failed, Flash Info read failed"));

  EXPECT_EQ(RunStatus(box, Cmd("getcli", "Adapter_KX2141"), &r), 6);
  EXPECT_EQ(r.out, Error(2, "Failed, Invalid parameter") + kUsage);
  EXPECT_EQ(RunStatus(box, Cmd("getcli", "help"), &r), 5);
  EXPECT_EQ(r.out, Error(2, "Failed, Unknown") + kUsage);
  EXPECT_EQ(box.Run(Cmd("getcli", "?")).out, kUsage);

  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(RunStatus(box, Cmd("get", "Adapter_A_B"), &r), 14);
  EXPECT_EQ(r.out, Error(1, "Failed, Host not found"));
}

TEST(AdapterFlashInfo, Help) {
  Sandbox box;
  EXPECT_EQ(box.Run({"-t", "adapter", "-s", "flashinfo", "help"}).out,
            "\r\nFollowing is the list of available commands in the Adapter flashinfo command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "get         : get Kaltex Adapter information\r\n"
            "help        : list of available commands\r\n"
            "getcli      : get Kaltex Adapter information\r\n");
}
