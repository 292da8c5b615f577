// The vpd port sub-mode against the stand-in's VPD images.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:70:00:00";

std::string Tag(const std::string& name, const std::string& value) {
  return "TagList:\nTag: " + name + "\nValue: " + value + "\n";
}

TEST(Vpd, KeywordsShownInKeywordOrderWithTheirNames) {
  Sandbox box;
  box.UseFixture("portcfg-basic.json");
  Result r = box.Run({"-t", "port", "-s", "vpd", "getcli", kPort});
  // YA, V2, RV and RW are parsed but have no name; RM and V9 share theirs.
  EXPECT_EQ(r.out, kStars + "VPDInformation:\nMessage: Success\nVPD Data: " + Tag("Engineering Date Code", "B02") +
                       Tag("Manufacturing Id", "1CA1E") + Tag("Product Identifier", "KX3232 Dual Port") +
                       Tag("Part Number", "KX3232-01") + Tag("Multi Boot Version", "RM-1") +
                       Tag("Serial Number", "SN0001") + Tag("Miscellaneous Info", "misc") +
                       Tag("Efi Driver Version", "efi 1.2") + Tag("Firmware Version", "fw 9.1") +
                       Tag("Bios Version", "bios 3") + Tag("FCode Version", "fcode 1") +
                       Tag("Multi Boot Version", "MB-9") + kStars);
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetVpd").at(0), "KXAPI_GetVpd handle=1 reserved=0 size=1024");
}

TEST(Vpd, XmlDocument) {
  Sandbox box;
  box.UseFixture("portcfg-basic.json");
  Result r = box.Run({"-t", "port", "-s", "vpd", "get", "FC_21:00:00:c8:a1:70:00:01"});
  auto tag = [](const std::string& name, const std::string& value) {
    return "<structure typeName=\"TagList\">\n<field name=\"Tag\">\n<string>" + name +
           "</string></field>\n<field name=\"Value\">\n<string>" + value + "</string></field>\n</structure>\n";
  };
  // The serial number's length runs past the 1024-byte image: it is left out
  // and the walk ends there.
  EXPECT_EQ(r.out, kXmlHead + "<structure typeName=\"VPDInformation\">\n" +
                       "<field name=\"Message\">\n<string>Success</string></field>\n" +
                       "<field name=\"VPD Data\">\n<list type=\"structure\">\n" + tag("Product Identifier", "KXID") +
                       tag("Part Number", "P123") + "</list>\n</field>\n</structure>\n</output>\n");
}

TEST(Vpd, Failures) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:70:00:00"}, {"wwpn": "21:00:00:c8:a1:70:00:01"}]}]}],
    "calls": [{"call": "KXAPI_GetVpd", "port": "21:00:00:c8:a1:70:00:00", "rc": 150},
              {"call": "KXAPI_GetVpd", "port": "21:00:00:c8:a1:70:00:01", "rc": 3}]})");
  auto error = [](const std::string& message) {
    return kStars + "VPDInformation:\nMessage: " + message + "\nVPD Data: " + kStars;
  };
  EXPECT_EQ(box.Run({"-t", "port", "-s", "vpd", "getcli", kPort}).out,
            error("Failed, Command not supported when adapter port in maintenance mode"));
  EXPECT_EQ(box.Run({"-t", "port", "-s", "vpd", "getcli", "FC_21:00:00:c8:a1:70:00:01"}).out,
            error("Failed, VPD failed"));
  EXPECT_EQ(box.Run({"-t", "port", "-s", "vpd", "getcli", "FC_21:00:00:c8:a1:70:00:09"}).out,
            error("Failed, Invalid parameter") + "Usage: get\r\n");
  EXPECT_EQ(box.Run({"-t", "port", "-s", "vpd", "getcli", "?"}).out, "Usage: get\r\n");
}

TEST(Vpd, HelpListing) {
  Sandbox box;
  EXPECT_EQ(box.Run({"-t", "port", "-s", "vpd", "help"}).out,
            "\r\nFollowing is the list of available commands in the VPD command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "get         : get Kaltex VPD information\r\n"
            "help        : list of available commands\r\n"
            "getcli      : get Kaltex VPD information\r\n");
}

}  // namespace
