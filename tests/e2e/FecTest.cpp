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
  e2e::Doc doc = ListError("FECInfo", "FEC", message);
  if (!reboot.empty()) doc.fields.insert(doc.fields.begin(), {"Reboot Required", reboot});
  return doc.Text();
}

const std::string kRebootTrue = "true";
const std::string kRebootFalse = "false";
const std::string kReadOnly = "Failed, Read-Only parameter for non 16Gbps or Unknown speed or mezz adapter";

class Fec : public ::testing::Test {
 protected:
  void SetUp() override { box.UseFixture("portcfg-basic.json"); }
  Result Run(std::vector<std::string> words) {
    words.insert(words.begin(), {"-t", "port", "-s", "fec"});
    return box.Run(words);
  }
  Sandbox box;
};

TEST_F(Fec, ShownStatusBySpeedAndMezzanine) {
  EXPECT_EQ(Run({"getcli", k32G}).out, Doc("true", "1234", "5"));
  EXPECT_EQ(Run({"getcli", k8G}).out, Doc("false", "0", "0"));
  EXPECT_EQ(Run({"getcli", kOffline}).out, Doc("true", "7", "0"));
  EXPECT_EQ(Run({"getcli", k16G}).out, Doc("false", "99", "3"));
  Result r = Run({"getcli", kMezz});
  EXPECT_EQ(r.out, Doc("true", "11", "2"));
  // get asks for the mezzanine check before the statistics.
  EXPECT_LT(r.calls.find("KXAPI_IsMezzAdapter"), r.calls.find("KXAPI_GetFWPrivateStats"));

  r = Run({"get", k32G});
  EXPECT_EQ(r.out, FecDoc("true", "1234", "5").Xml());
}

TEST_F(Fec, ReadOnlyByAdapterAndSpeed) {
  for (const std::string& port : {kMezz, k32G, k8G}) {
    Result r = Run({"setcli", port, "-f", "false"});
    EXPECT_EQ(r.out, Error(kReadOnly, kRebootFalse)) << port;
    EXPECT_TRUE(CallsNamed(r, "KXAPI_FCSetFECSupportInfo").empty()) << port;
  }
  // Not online: the switch may be changed.
  Result r = Run({"setcli", kOffline, "--fec-status", "FALSE"});
  EXPECT_EQ(r.out, Doc("false", "7", "0", kRebootTrue));
  EXPECT_EQ(CallsNamed(r, "KXAPI_FCSetFECSupportInfo").at(0),
            "KXAPI_FCSetFECSupportInfo port=21:00:00:c8:a1:70:00:01 enable=0");
  EXPECT_EQ(Run({"getcli", kOffline}).out, Doc("false", "7", "0"));
}

TEST_F(Fec, SwitchAndResetInOneCommand) {
  Result r = Run({"setcli", k16G, "-f", "true", "-r", "RESET"});
  // The counters shown are those read before the reset; set reads them before the mezzanine check.
  EXPECT_EQ(r.out, Doc("true", "99", "3", kRebootTrue));
  EXPECT_LT(r.calls.find("KXAPI_GetFWPrivateStats"), r.calls.find("KXAPI_IsMezzAdapter"));
  EXPECT_LT(r.calls.find("KXAPI_FCSetFECSupportInfo"), r.calls.find("KXAPI_ResetFECCounters"));
  EXPECT_EQ(Run({"getcli", k16G}).out, Doc("true", "0", "0"));

  // Only a reset: no reboot needed.
  r = Run({"setcli", k32G, "--reset", "reset"});
  EXPECT_EQ(r.out, Doc("true", "1234", "5", kRebootFalse));
  EXPECT_EQ(Run({"getcli", k32G}).out, Doc("true", "0", "0"));

  // Neither option: the current values, nothing changed.
  r = Run({"setcli", k8G});
  EXPECT_EQ(r.out, Doc("false", "0", "0", kRebootFalse));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_FCSetFECSupportInfo").empty());
  EXPECT_TRUE(CallsNamed(r, "KXAPI_ResetFECCounters").empty());
}

TEST_F(Fec, BadWords) {
  const std::string invalid = Error("Failed, Invalid parameter", kRebootFalse) + "Usage: set\r\n";
  Result r = Run({"setcli", k16G, "-r", "clear"});
  EXPECT_EQ(r.out, invalid);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_ResetFECCounters").empty());
  EXPECT_EQ(Run({"setcli", k16G, "-f", "on"}).out, invalid);
  EXPECT_EQ(Run({"getcli", k16G}).out, Doc("false", "99", "3"));
  // The status switch comes first; a bad reset word after it still fails the
  // command, and the counters stay as they were.
  r = Run({"setcli", k16G, "-f", "true", "-r", "clear"});
  EXPECT_EQ(r.out, invalid);
  EXPECT_EQ(CallsNamed(r, "KXAPI_FCSetFECSupportInfo").size(), 1u);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_ResetFECCounters").empty());
  EXPECT_EQ(Run({"getcli", k16G}).out, Doc("true", "99", "3"));
}

TEST_F(Fec, RefusalsAndLibraryFailures) {
  EXPECT_EQ(Run({"getcli", "FC_21:00:00:c8:a1:71:00:00"}).out, Error("Failed, Feature not supported for this adapter"));
  EXPECT_EQ(Run({"setcli", "FC_21:00:00:c8:a1:70:00:80"}).out,
            Error("Failed, Feature not supported for virtual port", kRebootFalse));

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
  EXPECT_EQ(Run({"getcli", k32G}).out, Error("Failed, Command not supported when adapter port in maintenance mode"));
  EXPECT_EQ(Run({"getcli", kOffline}).out, Error("Failed, FEC read failed")) << "the mezzanine check maps to 13";
  EXPECT_EQ(Run({"getcli", k8G}).out, Error("Failed, FEC read failed"));
  EXPECT_EQ(Run({"setcli", k16G, "-f", "true"}).out,
            Error("Failed, Command not supported when adapter port in maintenance mode", kRebootFalse));
  EXPECT_EQ(Run({"setcli", k16G, "-r", "reset"}).out, Error("Failed, FEC update failed", kRebootFalse));
}

}  // namespace
