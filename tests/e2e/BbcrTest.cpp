// The bbcr port sub-mode: live values, staging across runs and apply.
#include <filesystem>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:70:00:00";         // group C, BBCR on, online
const std::string kOffline = "FC_21:00:00:c8:a1:70:00:01";      // offline with a reason
const std::string kOfflineNoReason = "FC_21:00:00:c8:a1:70:00:02";
const std::string kGroupK = "FC_21:00:00:c8:a1:73:00:00";

// reboot: "" for none, else the "Reboot Required" value.
std::string Doc(const std::string& data, const std::string& reboot = "") {
  e2e::Doc doc = Report("BBCRInfo", "BBCR", "BBCRList", data);
  if (!reboot.empty()) doc.fields.push_back({"Reboot Required", reboot});
  return doc.Text();
}

std::string Error(const std::string& message, const std::string& reboot = "") {
  e2e::Doc doc = ListError("BBCRInfo", "BBCR", message);
  if (!reboot.empty()) doc.fields.insert(doc.fields.begin(), {"Reboot Required", reboot});
  return doc.Text();
}

class Bbcr : public ::testing::Test {
 protected:
  void SetUp() override { box.UseFixture("portcfg-basic.json"); }
  Result Run(std::vector<std::string> words) {
    words.insert(words.begin(), {"-t", "port", "-s", "bbcr"});
    return box.Run(words);
  }
  std::string Cache(const std::string& port = kPort) const {
    return box.HostPath("/opt/OrvtFcEsxcliPlugin/tmp/BBCR_" + port);
  }
  Sandbox box;
};

TEST_F(Bbcr, GetShowsTheLiveValues) {
  EXPECT_EQ(Run({"getcli", kPort}).out, Doc("BBCR Status: true\n"
                                            "      BBCR Configured: 8\n"
                                            "      BBCR State: Online\n"
                                            "      BBCR Negotiated: 6\n"));
  EXPECT_EQ(Run({"getcli", kOffline}).out, Doc("BBCR Status: false\n"
                                               "      BBCR Configured: 0\n"
                                               "      BBCR State: Offline\n"
                                               "      BBCR Offline Reason Code: Port offline\n"));
  // Offline without a reason: three lines only.
  EXPECT_EQ(Run({"getcli", kOfflineNoReason}).out, Doc("BBCR Status: false\n"
                                                       "      BBCR Configured: 3\n"
                                                       "      BBCR State: Offline\n"));
  Result r = Run({"get", kPort});
  EXPECT_EQ(r.out, Report("BBCRInfo", "BBCR", "BBCRList",
                          "BBCR Status: true\n      BBCR Configured: 8\n      BBCR State: Online\n      BBCR Negotiated: 6\n")
                       .Xml());
}

TEST_F(Bbcr, StageAcrossRunsThenApply) {
  Result r = Run({"setFilecli", kPort, "-b", "FALSE"});
  EXPECT_EQ(r.out, Doc("BBCR Status: false\n      BBCR Configured: 8\n      BBCR State: Online\n"
                       "      BBCR Negotiated: 6\n"));
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=8\nBBCR_Status=0\n");

  // An invalid count is refused and leaves the staged file as it was.
  r = Run({"setFilecli", kPort, "--bbcr-configured", "16"});
  EXPECT_EQ(r.out, Error("Failed, Invalid parameter") + "Usage: setFile\r\n");
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=8\nBBCR_Status=0\n");

  r = Run({"setFilecli", kPort, "-c", "15"});
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=15\nBBCR_Status=0\n");
  EXPECT_TRUE(CallsNamed(r, "KXAPI_FCSetBBCSupportInfo").empty());
  // The adapter keeps its values until set.
  EXPECT_NE(Run({"getcli", kPort}).out.find("BBCR Status: true\n      BBCR Configured: 8\n"), std::string::npos);

  r = Run({"setcli", kPort});
  EXPECT_EQ(r.out, Doc("BBCR Status: false\n      BBCR Configured: 15\n      BBCR State: Online\n"
                       "      BBCR Negotiated: 6\n",
                       "true"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_FCSetBBCSupportInfo").at(0),
            "KXAPI_FCSetBBCSupportInfo port=21:00:00:c8:a1:70:00:00 status=0 configured=15");
  EXPECT_FALSE(FileExists(Cache()));
  EXPECT_EQ(Run({"getcli", kPort}).out, Doc("BBCR Status: false\n      BBCR Configured: 15\n      BBCR State: Online\n"
                                            "      BBCR Negotiated: 6\n"));

  r = Run({"setcli", kPort});
  EXPECT_EQ(r.out, Error("Failed, File not found", "false"));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_FCSetBBCSupportInfo").empty());
}

TEST_F(Bbcr, RefusalsAndBadStagedValues) {
  EXPECT_EQ(Run({"getcli", kGroupK}).out, Error("Failed, Feature not supported for this adapter"));
  EXPECT_EQ(Run({"setcli", kGroupK}).out,
            Error("Failed, Feature not supported for this adapter", "false"));
  EXPECT_EQ(Run({"getcli", "FC_21:00:00:c8:a1:70:00:80"}).out, Error("Failed, Feature not supported for virtual port"));
  EXPECT_EQ(Run({"setFilecli", kPort, "-b", "on"}).out, Error("Failed, Invalid parameter") + "Usage: setFile\r\n");
  EXPECT_FALSE(FileExists(Cache())) << "a refused first setFile creates no file";

  Run({"setFilecli", kPort, "-c", "2"});
  WriteFile(Cache(), "BBCR_Count=2\nBBCR_Status=3\n");
  Result r = Run({"setcli", kPort});
  EXPECT_EQ(r.out, Error("Failed, Invalid parameter", "false") + "Usage: set\r\n");
  EXPECT_TRUE(CallsNamed(r, "KXAPI_FCSetBBCSupportInfo").empty());
  EXPECT_TRUE(FileExists(Cache()));

  // A staged file that cannot be rewritten stays as it was.
  WriteFile(Cache(), "BBCR_Count=2\nBBCR_Status=1\n");
  std::filesystem::create_directories(Cache() + ".lock");
  EXPECT_EQ(Run({"setFilecli", kPort, "-c", "9"}).out, Error("Failed, File not found"));
  EXPECT_EQ(ReadFile(Cache()), "BBCR_Count=2\nBBCR_Status=1\n");
}

TEST_F(Bbcr, LibraryFailures) {
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
      {"wwpn": "21:00:00:c8:a1:70:00:00"}, {"wwpn": "21:00:00:c8:a1:70:00:01"}]}]}],
    "calls": [{"call": "KXAPI_FCGetBBCSupportInfoEx", "port": "21:00:00:c8:a1:70:00:01", "rc": 150},
              {"call": "KXAPI_FCSetBBCSupportInfo", "rc": 9}]})");
  EXPECT_EQ(Run({"getcli", kOffline}).out,
            Error("Failed, Command not supported when adapter port in maintenance mode"));
  Run({"setFilecli", kPort, "-b", "true"});
  Result r = Run({"setcli", kPort});
  EXPECT_EQ(r.out, Error("Failed, NVRAM update failed", "false"));
  EXPECT_TRUE(FileExists(Cache())) << "a failed set keeps the staged values";
}

}  // namespace
