// The bbcr, fec and vpd port sub-modes on the port-configuration fixture: live
// values, staging across runs and apply, the shown FEC status by adapter and
// speed, switching and the counter reset, and the VPD keywords.
#include <filesystem>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:70:00:00";      // group C, BBCR on, online; FEC: 0x32, library says off
const std::string kOffline = "FC_21:00:00:c8:a1:70:00:01";   // BBCR offline with a reason; FEC: library says on
const std::string kPort2 = "FC_21:00:00:c8:a1:70:00:02";     // BBCR offline without a reason; FEC: 0x08, on
const std::string k16G = "FC_21:00:00:c8:a1:70:00:03";       // online, 0x16, library says off
const std::string kMezz = "FC_10:00:00:c8:a1:74:00:00";      // mezzanine, 0x16, library says off
const std::string kGroupK = "FC_21:00:00:c8:a1:73:00:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:70:00:80";
const std::string kMaintenance = "Failed, Command not supported when adapter port in maintenance mode";
const std::string kNotForAdapter = "Failed, Feature not supported for this adapter";

// reboot: "" for none, else the "Reboot Required" value.
std::string Bbcr(const std::vector<std::string>& lines, const std::string& reboot = "") {
  e2e::Doc doc = Report("BBCRInfo", "BBCR", "BBCRList", Lines(lines));
  if (!reboot.empty()) doc.fields.push_back({"Reboot Required", reboot});
  return doc.Text();
}
std::string BbcrError(const std::string& message, const std::string& reboot = "") {
  return ListError("BBCRInfo", "BBCR", message, reboot).Text();
}
// The port's BBCR lines with the given status and count.
std::vector<std::string> Online(const std::string& status, const std::string& count) {
  return {"BBCR Status: " + status, "BBCR Configured: " + count, "BBCR State: Online", "BBCR Negotiated: 6"};
}

e2e::Doc FecDoc(const std::string& status, const std::string& correctable, const std::string& uncorrectable,
                const std::string& reboot = "") {
  e2e::Doc doc = {"FECInfo", {{"Message", "Success"}}, "FEC", "FECList",
                  {{{"FEC_Status", status}, {"Correctable FEC errors", Int(correctable)},
                    {"Uncorrectable FEC errors", Int(uncorrectable)}}}};
  if (!reboot.empty()) doc.fields.push_back({"Reboot Required", reboot});
  return doc;
}
std::string Fec(const std::string& status, const std::string& correctable, const std::string& uncorrectable,
                const std::string& reboot = "") {
  return FecDoc(status, correctable, uncorrectable, reboot).Text();
}
std::string FecError(const std::string& message, const std::string& reboot = "") {
  return ListError("FECInfo", "FEC", message, reboot).Text();
}

Doc Vpd(const std::vector<std::pair<std::string, std::string>>& tags) {
  Doc doc = {"VPDInformation", {{"Message", "Success"}}, "VPD Data", "TagList"};
  for (const auto& [tag, value] : tags) doc.items.push_back({{"Tag", tag}, {"Value", value}});
  return doc;
}
Doc VpdError(const std::string& message) { return ListError("VPDInformation", "VPD Data", message); }

const std::vector<std::string> kBbcr = {"-t", "port", "-s", "bbcr"}, kFec = {"-t", "port", "-s", "fec"},
                               kVpd = {"-t", "port", "-s", "vpd"};
const std::string kBbcrSet = "KXAPI_FCSetBBCSupportInfo";
const std::string kSet = "KXAPI_FCSetFECSupportInfo", kReset = "KXAPI_ResetFECCounters";
const std::string kStats = "KXAPI_GetFWPrivateStats", kMezzCheck = "KXAPI_IsMezzAdapter";

// The call-log line of a call on the port (its identifier without "FC_").
std::string Call(const std::string& call, const std::string& port, const std::string& more = "") {
  return call + " port=" + port.substr(3) + more;
}

class PortCfg : public ::testing::Test {
 protected:
  void SetUp() override { box.UseFixture("portcfg-basic.json"); }
  std::string Cache(const std::string& port = kPort) const {
    return box.HostPath("/opt/OrvtFcEsxcliPlugin/tmp/BBCR_" + port);
  }
  Sandbox box;
};

TEST_F(PortCfg, BbcrLiveValuesStagingAndApply) {
  const std::string invalid = BbcrError("Failed, Invalid parameter") + "Usage: setFile\r\n";
  RunCases(box, kBbcr,
           {{{"getcli", kPort}, Bbcr(Online("true", "8")), -1, "", {}, "PhysicalPortBBCRCmdsProcessor::CmdGetCommon: Entered"},
            {{"get", kPort}, Report("BBCRInfo", "BBCR", "BBCRList", Lines(Online("true", "8"))).Xml()},
            {{"getcli", kOffline},
             Bbcr({"BBCR Status: false", "BBCR Configured: 0", "BBCR State: Offline", "BBCR Offline Reason Code: Port offline"})},
            // Offline without a reason: three lines only.
            {{"getcli", kPort2}, Bbcr({"BBCR Status: false", "BBCR Configured: 3", "BBCR State: Offline"})},
            {{"getcli", kGroupK}, BbcrError(kNotForAdapter)},
            {{"setcli", kGroupK}, BbcrError(kNotForAdapter, "false")},
            {{"getcli", kVirtual}, BbcrError("Failed, Feature not supported for virtual port")},
            {{"setFilecli", kPort, "-b", "on"}, invalid},
            // A help word for the identifier: the document with "Failed, Unknown", then the usage line.
            {{"getcli", "-H"}, BbcrError("Failed, Unknown") + "Usage: get\r\n", 5}});
  EXPECT_FALSE(FileExists(Cache())) << "a refused first setFile creates no file";
  RunCases(box, kBbcr, {{{"setFilecli", kPort, "-b", "FALSE"}, Bbcr(Online("false", "8"))}});
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=8\nBBCR_Status=0\n");
  // An invalid count is refused and leaves the staged file as it was.
  RunCases(box, kBbcr, {{{"setFilecli", kPort, "--bbcr-configured", "16"}, invalid}});
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=8\nBBCR_Status=0\n");
  // The adapter keeps its values until set.
  RunCases(box, kBbcr,
           {{{"setFilecli", kPort, "-c", "15"}, kAnyOutput, -1, kBbcrSet}, {{"getcli", kPort}, Bbcr(Online("true", "8"))}});
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=15\nBBCR_Status=0\n");
  RunCases(box, kBbcr,
           {{{"setcli", kPort}, Bbcr(Online("false", "15"), "true"), -1, kBbcrSet,
             {"KXAPI_FCSetBBCSupportInfo port=21:00:00:c8:a1:70:00:00 status=0 configured=15"}},
            {{"getcli", kPort}, Bbcr(Online("false", "15"))},
            {{"setcli", kPort}, BbcrError("Failed, File not found", "false"), -1, kBbcrSet}});
  EXPECT_FALSE(FileExists(Cache()));

  // A bad staged value is refused and the file stays.
  WriteFile(Cache(), "BBCR_Count=2\nBBCR_Status=3\n");
  RunCases(box, kBbcr,
           {{{"setcli", kPort}, BbcrError("Failed, Invalid parameter", "false") + "Usage: set\r\n", -1, kBbcrSet}});
  EXPECT_TRUE(FileExists(Cache()));
  // A staged file that cannot be rewritten stays as it was.
  WriteFile(Cache(), "BBCR_Count=2\nBBCR_Status=1\n");
  std::filesystem::create_directories(Cache() + ".lock");
  RunCases(box, kBbcr, {{{"setFilecli", kPort, "-c", "9"}, BbcrError("Failed, File not found")}});
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=2\nBBCR_Status=1\n");
}

TEST_F(PortCfg, BbcrLibraryFailures) {
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:70:00:00"}, {"wwpn": "21:00:00:c8:a1:70:00:01"}]}]}],
    "calls": [{"call": "KXAPI_FCGetBBCSupportInfoEx", "port": "21:00:00:c8:a1:70:00:01", "rc": 150},
              {"call": "KXAPI_FCSetBBCSupportInfo", "rc": 9}]})");
  RunCases(box, kBbcr,
           {{{"getcli", kOffline}, BbcrError(kMaintenance)},
            {{"setFilecli", kPort, "-b", "true"}, kAnyOutput},
            {{"setcli", kPort}, BbcrError("Failed, NVRAM update failed", "false")}});
  EXPECT_TRUE(FileExists(Cache())) << "a failed set keeps the staged values";
}

TEST_F(PortCfg, FecShownStatusBySpeedAndMezzanine) {
  RunCases(box, kFec,
           {{{"getcli", kPort}, Fec("true", "1234", "5"), -1, "", {}, "PhysicalPortFECCmdsProcessor::CmdGetCommon: Entered"},
            {{"get", kPort}, FecDoc("true", "1234", "5").Xml()},
            {{"getcli", kPort2}, Fec("false", "0", "0")},
            {{"getcli", kOffline}, Fec("true", "7", "0")},
            {{"getcli", k16G}, Fec("false", "99", "3")},
            // get asks for the mezzanine check before the statistics.
            {{"getcli", kMezz}, Fec("true", "11", "2"), -1, kMezzCheck + "," + kStats,
             {Call(kMezzCheck, kMezz), Call(kStats, kMezz)}},
            {{"getcli", "FC_21:00:00:c8:a1:71:00:00"}, FecError(kNotForAdapter)},
            {{"setcli", kVirtual}, FecError("Failed, Feature not supported for virtual port", "false")},
            {{"getcli", "help"}, FecError("Failed, Unknown") + "Usage: get\r\n", 5}});
}

TEST_F(PortCfg, FecSetReadOnlyByAdapterAndSpeedSwitchAndReset) {
  const std::string calls = kStats + "," + kMezzCheck + "," + kSet + "," + kReset;
  const std::string readOnly = FecError("Failed, Read-Only parameter for non 16Gbps or Unknown speed or mezz adapter", "false");
  const std::string invalid = FecError("Failed, Invalid parameter", "false") + "Usage: set\r\n";
  RunCases(box, kFec,
           {// Which ports are read-only is the rules' unit test; here the refusal's document, and no call.
            {{"setcli", kPort, "-f", "false"}, readOnly, -1, kSet},
            // Not online: the switch may be changed.
            {{"setcli", kOffline, "--fec-status", "FALSE"}, Fec("false", "7", "0", "true"), -1, kSet,
             {Call(kSet, kOffline, " enable=0")}},
            {{"getcli", kOffline}, Fec("false", "7", "0")},
            // Bad words change nothing.
            {{"setcli", k16G, "-r", "clear"}, invalid, -1, kReset},
            {{"getcli", k16G}, Fec("false", "99", "3")},
            // The status switch comes first; a bad reset word after it still fails the
            // command, and the counters stay as they were.
            {{"setcli", k16G, "-f", "true", "-r", "clear"}, invalid, -1, kSet + "," + kReset,
             {Call(kSet, k16G, " enable=1")}},
            {{"getcli", k16G}, Fec("true", "99", "3")},
            // The counters shown are those read before the reset; set reads them before the mezzanine check.
            {{"setcli", k16G, "-f", "false", "-r", "RESET"}, Fec("false", "99", "3", "true"), -1, calls,
             {Call(kStats, k16G), Call(kMezzCheck, k16G), Call(kSet, k16G, " enable=0"), Call(kReset, k16G)}},
            {{"getcli", k16G}, Fec("false", "0", "0")},
            // Only a reset: no reboot needed.
            {{"setcli", kPort, "--reset", "reset"}, Fec("true", "1234", "5", "false")},
            {{"getcli", kPort}, Fec("true", "0", "0")},
            // Neither option: the current values, nothing changed.
            {{"setcli", kPort2}, Fec("false", "0", "0", "false"), -1, kSet + "," + kReset}});
}

TEST_F(PortCfg, FecLibraryFailures) {
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:70:00:00", "portState": 3},
      {"wwpn": "21:00:00:c8:a1:70:00:01", "portState": 3},
      {"wwpn": "21:00:00:c8:a1:70:00:02", "portState": 3},
      {"wwpn": "21:00:00:c8:a1:70:00:03", "portState": 3}]}]}],
    "calls": [{"call": "KXAPI_FCGetFECSupportInfo", "port": "21:00:00:c8:a1:70:00:00", "rc": 150},
              {"call": "KXAPI_IsMezzAdapter", "port": "21:00:00:c8:a1:70:00:01", "rc": 150},
              {"call": "KXAPI_GetFWPrivateStats", "port": "21:00:00:c8:a1:70:00:02", "rc": 8},
              {"call": "KXAPI_FCSetFECSupportInfo", "rc": 150},
              {"call": "KXAPI_ResetFECCounters", "rc": 5}]})");
  RunCases(box, kFec,
           {{{"getcli", kPort}, FecError(kMaintenance)},
            {{"getcli", kOffline}, FecError("Failed, FEC read failed")},  // the mezzanine check maps to 13
            {{"getcli", kPort2}, FecError("Failed, FEC read failed")},
            {{"setcli", k16G, "-f", "true"}, FecError(kMaintenance, "false")},
            {{"setcli", k16G, "-r", "reset"}, FecError("Failed, FEC update failed", "false")}});
}

TEST_F(PortCfg, VpdKeywordsShownInKeywordOrderWithTheirNames) {
  // YA, V2, RV and RW are parsed but have no name; RM and V9 share theirs.
  const Doc all = Vpd({{"Engineering Date Code", "B02"}, {"Manufacturing Id", "1CA1E"},
                       {"Product Identifier", "KX3232 Dual Port"}, {"Part Number", "KX3232-01"},
                       {"Multi Boot Version", "RM-1"}, {"Serial Number", "SN0001"}, {"Miscellaneous Info", "misc"},
                       {"Efi Driver Version", "efi 1.2"}, {"Firmware Version", "fw 9.1"}, {"Bios Version", "bios 3"},
                       {"FCode Version", "fcode 1"}, {"Multi Boot Version", "MB-9"}});
  // The serial number's length runs past the 1024-byte image: it is left out and the walk ends there.
  const Doc cut = Vpd({{"Product Identifier", "KXID"}, {"Part Number", "P123"}});
  RunCases(box, kVpd,
           {{{"getcli", kPort}, all.Text(), 0, "KXAPI_GetVpd", {"KXAPI_GetVpd handle=1 reserved=0 size=1024"},
             "PhysicalPortVPDCmdsProcessor::CmdGetCommon: Entered"},
            {{"get", kOffline}, cut.Xml()}});
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:70:00:00"}, {"wwpn": "21:00:00:c8:a1:70:00:01"}]}]}],
    "calls": [{"call": "KXAPI_GetVpd", "port": "21:00:00:c8:a1:70:00:00", "rc": 150},
              {"call": "KXAPI_GetVpd", "port": "21:00:00:c8:a1:70:00:01", "rc": 3}]})");
  RunCases(box, kVpd,
           {{{"getcli", kPort}, VpdError(kMaintenance).Text()},
            {{"getcli", kOffline}, VpdError("Failed, VPD failed").Text()},
            {{"getcli", "FC_21:00:00:c8:a1:70:00:09"}, VpdError("Failed, Invalid parameter").Text() + "Usage: get\r\n", 6},
            {{"getcli", "-H"}, VpdError("Failed, Unknown").Text() + "Usage: get\r\n", 5}});
}

}  // namespace
