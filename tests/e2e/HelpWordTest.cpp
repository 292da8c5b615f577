// A help word where a command expects its identifier is status 5: the
// command's own document with "Failed, Unknown", then the usage line of the
// text twin. The XML command prints the document alone.
#include "tests/e2e/Harness.h"

using namespace e2e;

TEST(HelpWord, InTheIdentifierPositionOfPortFamilies) {
  struct Case {
    const char* subMode;
    const char* command;
    std::string body;  // the text document between the asterisk lines
    const char* usage;
  } cases[] = {
      {"vpd", "getcli", "VPDInformation:\nMessage: Failed, Unknown\nVPD Data: ", "Usage: get\r\n"},
      {"hbaparams", "getcli", "HBAParametersInfo:\nMessage: Failed, Unknown\nHBAParameters: ", "Usage: get\r\n"},
      {"bbcr", "getcli", "BBCRInfo:\nMessage: Failed, Unknown\nBBCR: ", "Usage: get\r\n"},
      {"fec", "getcli", "FECInfo:\nMessage: Failed, Unknown\nFEC: ", "Usage: get\r\n"},
      {"info", "getcli", "PortInformation:\nMessage: Failed, Unknown\nPortInfo: ", "Usage: get [port identifier]\r\n"},
      {"dmi", "getcli", "DMIInformation:\nMessage: Failed, Unknown\nDmi Info: ", "Usage: get [port identifier]\r\n"},
  };
  Sandbox box;
  for (const Case& c : cases) {
    for (const char* help : {"help", "?", "-H"}) {
      // "?" right after the command is the framework's usage request instead.
      const bool usageOnly = std::string(help) == "?";
      Result r = box.Run({"-t", "port", "-s", c.subMode, c.command, help});
      EXPECT_EQ(r.out, usageOnly ? std::string(c.usage) : kStars + c.body + kStars + c.usage)
          << c.subMode << " " << help;
    }
  }
}
