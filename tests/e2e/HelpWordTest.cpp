// A help word where a command expects its identifier is status 5: the
// command's own document with "Failed, Unknown", then the usage line of the
// text twin. The XML command prints the document alone.
#include "tests/e2e/Harness.h"

using namespace e2e;

TEST(HelpWord, InTheIdentifierPositionOfPortFamilies) {
  struct Case {
    const char* subMode;
    const char* command;
    const char* structure;
    const char* list;
    const char* usage;
  } cases[] = {
      {"vpd", "getcli", "VPDInformation", "VPD Data", "Usage: get\r\n"},
      {"hbaparams", "getcli", "HBAParametersInfo", "HBAParameters", "Usage: get\r\n"},
      {"bbcr", "getcli", "BBCRInfo", "BBCR", "Usage: get\r\n"},
      {"fec", "getcli", "FECInfo", "FEC", "Usage: get\r\n"},
      {"info", "getcli", "PortInformation", "PortInfo", "Usage: get [port identifier]\r\n"},
      {"dmi", "getcli", "DMIInformation", "Dmi Info", "Usage: get [port identifier]\r\n"},
  };
  Sandbox box;
  for (const Case& c : cases) {
    for (const char* help : {"help", "?", "-H"}) {
      // "?" right after the command is the framework's usage request instead.
      const bool usageOnly = std::string(help) == "?";
      Result r = box.Run({"-t", "port", "-s", c.subMode, c.command, help});
      EXPECT_EQ(r.out, usageOnly ? std::string(c.usage) : ListError(c.structure, c.list, "Failed, Unknown").Text() + c.usage)
          << c.subMode << " " << help;
    }
  }
}
