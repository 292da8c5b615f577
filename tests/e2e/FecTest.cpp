// The fec port sub-mode: the shown status by adapter and speed, switching
// and the counter reset.
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string k32G = "FC_21:00:00:c8:a1:70:00:00";      // online, 0x32, library says off
const std::string kOffline = "FC_21:00:00:c8:a1:70:00:01";  // offline, library says on
const std::string k8G = "FC_21:00:00:c8:a1:70:00:02";       // online, 0x08, library says on
const std::string k16G = "FC_21:00:00:c8:a1:70:00:03";      // online, 0x16, library says off
const std::string kMezz = "FC_10:00:00:c8:a1:74:00:00";     // mezzanine, 0x16, library says off

// reboot: "" for none, else the "Reboot Required" value.
e2e::Doc FecDoc(const std::string& status, const std::string& correctable, const std::string& uncorrectable,
             const std::string& reboot = "") {
  e2e::Doc doc = {"FECInfo", {{"Message", "Success"}}, "FEC", "FECList",
                  {{{"FEC_Status", status}, {"Correctable FEC errors", Int(correctable)},
                    {"Uncorrectable FEC errors", Int(uncorrectable)}}}};
  if (!reboot.empty()) doc.fields.push_back({"Reboot Required", reboot});
  return doc;
}
std::string Doc(const std::string& status, const std::string& correctable, const std::string& uncorrectable,
                const std::string& reboot = "") {
  return FecDoc(status, correctable, uncorrectable, reboot).Text();
}

std::string Error(const std::string& message, const std::string& reboot = "") {
  return ListError("FECInfo", "FEC", message, reboot).Text();
}

const std::string kReadOnly = "Failed, Read-Only parameter for non 16Gbps or Unknown speed or mezz adapter";

const std::vector<std::string> kFec = {"-t", "port", "-s", "fec"};
const std::string kSet = "KXAPI_FCSetFECSupportInfo", kReset = "KXAPI_ResetFECCounters";
const std::string kStats = "KXAPI_GetFWPrivateStats", kMezzCheck = "KXAPI_IsMezzAdapter";

// The call-log line of a call on the port (its identifier without "FC_").
std::string Call(const std::string& call, const std::string& port, const std::string& more = "") {
  return call + " port=" + port.substr(3) + more;
}

class Fec : public ::testing::Test {
 protected:
  void SetUp() override { box.UseFixture("portcfg-basic.json"); }
  Sandbox box;
};

TEST_F(Fec, ShownStatusBySpeedAndMezzanine) {
  RunCases(box, kFec,
           {{{"getcli", k32G}, Doc("true", "1234", "5")},
            {{"get", k32G}, FecDoc("true", "1234", "5").Xml()},
            {{"getcli", k8G}, Doc("false", "0", "0")},
            {{"getcli", kOffline}, Doc("true", "7", "0")},
            {{"getcli", k16G}, Doc("false", "99", "3")},
            // get asks for the mezzanine check before the statistics.
            {{"getcli", kMezz}, Doc("true", "11", "2"), -1, kMezzCheck + "," + kStats,
             {Call(kMezzCheck, kMezz), Call(kStats, kMezz)}}});
}

TEST_F(Fec, SetReadOnlyByAdapterAndSpeedSwitchAndReset) {
  const std::string calls = kStats + "," + kMezzCheck + "," + kSet + "," + kReset;
  const std::string readOnly = Error(kReadOnly, "false");
  const std::string invalid = Error("Failed, Invalid parameter", "false") + "Usage: set\r\n";
  RunCases(box, kFec,
           {// Which ports are read-only is the rules' unit test; here the refusal's document, and no call.
            {{"setcli", k32G, "-f", "false"}, readOnly, -1, kSet},
            // Not online: the switch may be changed.
            {{"setcli", kOffline, "--fec-status", "FALSE"}, Doc("false", "7", "0", "true"), -1, kSet,
             {Call(kSet, kOffline, " enable=0")}},
            {{"getcli", kOffline}, Doc("false", "7", "0")},
            // Bad words change nothing.
            {{"setcli", k16G, "-r", "clear"}, invalid, -1, kReset},
            {{"getcli", k16G}, Doc("false", "99", "3")},
            // The status switch comes first; a bad reset word after it still fails the
            // command, and the counters stay as they were.
            {{"setcli", k16G, "-f", "true", "-r", "clear"}, invalid, -1, kSet + "," + kReset,
             {Call(kSet, k16G, " enable=1")}},
            {{"getcli", k16G}, Doc("true", "99", "3")},
            // The counters shown are those read before the reset; set reads them before the mezzanine check.
            {{"setcli", k16G, "-f", "false", "-r", "RESET"}, Doc("false", "99", "3", "true"), -1, calls,
             {Call(kStats, k16G), Call(kMezzCheck, k16G), Call(kSet, k16G, " enable=0"), Call(kReset, k16G)}},
            {{"getcli", k16G}, Doc("false", "0", "0")},
            // Only a reset: no reboot needed.
            {{"setcli", k32G, "--reset", "reset"}, Doc("true", "1234", "5", "false")},
            {{"getcli", k32G}, Doc("true", "0", "0")},
            // Neither option: the current values, nothing changed.
            {{"setcli", k8G}, Doc("false", "0", "0", "false"), -1, kSet + "," + kReset}});
}

TEST_F(Fec, RefusalsAndLibraryFailures) {
  RunCases(box, kFec,
           {{{"getcli", "FC_21:00:00:c8:a1:71:00:00"}, Error("Failed, Feature not supported for this adapter")},
            {{"setcli", "FC_21:00:00:c8:a1:70:00:80"}, Error("Failed, Feature not supported for virtual port", "false")}});
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
  const std::string maintenance = "Failed, Command not supported when adapter port in maintenance mode";
  RunCases(box, kFec,
           {{{"getcli", k32G}, Error(maintenance)},
            {{"getcli", kOffline}, Error("Failed, FEC read failed")},  // the mezzanine check maps to 13
            {{"getcli", k8G}, Error("Failed, FEC read failed")},
            {{"setcli", k16G, "-f", "true"}, Error(maintenance, "false")},
            {{"setcli", k16G, "-r", "reset"}, Error("Failed, FEC update failed", "false")}});
}

}  // namespace
