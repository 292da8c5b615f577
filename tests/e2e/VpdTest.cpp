// The vpd port sub-mode against the stand-in's VPD images.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:70:00:00";
const std::vector<std::string> kVpd = {"-t", "port", "-s", "vpd"};

Doc Vpd(const std::vector<std::pair<std::string, std::string>>& tags) {
  Doc doc = {"VPDInformation", {{"Message", "Success"}}, "VPD Data", "TagList"};
  for (const auto& [tag, value] : tags) doc.items.push_back({{"Tag", tag}, {"Value", value}});
  return doc;
}
Doc VpdError(const std::string& message) { return ListError("VPDInformation", "VPD Data", message); }

}  // namespace

TEST(Vpd, KeywordsShownInKeywordOrderWithTheirNames) {
  Sandbox box;
  box.UseFixture("portcfg-basic.json");
  // YA, V2, RV and RW are parsed but have no name; RM and V9 share theirs.
  const Doc all = Vpd({{"Engineering Date Code", "B02"}, {"Manufacturing Id", "1CA1E"},
                       {"Product Identifier", "KX3232 Dual Port"}, {"Part Number", "KX3232-01"},
                       {"Multi Boot Version", "RM-1"}, {"Serial Number", "SN0001"}, {"Miscellaneous Info", "misc"},
                       {"Efi Driver Version", "efi 1.2"}, {"Firmware Version", "fw 9.1"}, {"Bios Version", "bios 3"},
                       {"FCode Version", "fcode 1"}, {"Multi Boot Version", "MB-9"}});
  // The serial number's length runs past the 1024-byte image: it is left out and the walk ends there.
  const Doc cut = Vpd({{"Product Identifier", "KXID"}, {"Part Number", "P123"}});
  RunCases(box, kVpd,
           {{{"getcli", kPort}, all.Text(), 0, "KXAPI_GetVpd", {"KXAPI_GetVpd handle=1 reserved=0 size=1024"}},
            {{"get", "FC_21:00:00:c8:a1:70:00:01"}, cut.Xml()},
            {{"help"},
             "\r\nFollowing is the list of available commands in the VPD command mode.\r\n"
             "For detailed information of each command, please type 'command ?'\r\n"
             "All commands are case insensitive.\r\n\r\n"
             "get         : get Kaltex VPD information\r\n"
             "help        : list of available commands\r\n"
             "getcli      : get Kaltex VPD information\r\n"}});
}

TEST(Vpd, Failures) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:70:00:00"}, {"wwpn": "21:00:00:c8:a1:70:00:01"}]}]}],
    "calls": [{"call": "KXAPI_GetVpd", "port": "21:00:00:c8:a1:70:00:00", "rc": 150},
              {"call": "KXAPI_GetVpd", "port": "21:00:00:c8:a1:70:00:01", "rc": 3}]})");
  RunCases(box, kVpd,
           {{{"getcli", kPort}, VpdError("Failed, Command not supported when adapter port in maintenance mode").Text()},
            {{"getcli", "FC_21:00:00:c8:a1:70:00:01"}, VpdError("Failed, VPD failed").Text()},
            {{"getcli", "FC_21:00:00:c8:a1:70:00:09"}, VpdError("Failed, Invalid parameter").Text() + "Usage: get\r\n", 6},
            {{"getcli", "?"}, "Usage: get\r\n"}});
}
