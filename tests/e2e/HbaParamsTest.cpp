// The hbaparams port sub-mode: display per adapter class, staging across
// runs of the tool, the cross-checks and the safety of the cache file.
#include <filesystem>
#include <utility>
#include <vector>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:70:00:00";       // group C, speeds 8/16/32
const std::string kPort64 = "FC_21:00:00:c8:a1:70:00:01";     // group C, 64 Gbps capable
const std::string kPortI = "FC_21:00:00:c8:a1:71:00:00";      // group I
const std::string kPortF = "FC_21:00:00:c8:a1:72:00:00";      // group F
const std::string kPortK = "FC_21:00:00:c8:a1:73:00:00";      // group K
const std::string kVport = "FC_21:00:00:c8:a1:70:00:80";
const std::string kCacheDir = "/opt/OrvtFcEsxcliPlugin/tmp";

// The adapter values of kPort as the stand-in's factory record holds them.
const Fields kPortFields = {
    {"Connection Options", "Loop_Preferred_Otherwise_Point_To_Point"}, {"Data Rate", "Auto"},
    {"Operation Mode", "Interrupt_For_Every_I/O_Completion"}, {"Frame Size", "2048"},
    {"Enable Hard Loop Id", "false"}, {"Hard Loop Id", "0"}, {"Loop Reset Delay In Seconds", "5"},
    {"Interrupt Delay Timer In 100us", "0"}, {"Execution Throttle", "65535"}, {"Login Retry Count", "12"},
    {"Port Down Retry Count", "30"}, {"Link Down Timeout In Seconds", "30"}, {"Luns Per Target", "128"},
    {"Enable LR", "false"}, {"Enable Host Hba Bios", "false"}, {"Enable Fc Tape Support", "false"},
    {"Enable Lip Full Login", "true"}, {"Enable Target Reset", "true"}, {"Enable Fabric Assigned WWN", "false"},
    {"Enable USCM", "true"}, {"Virtual Lane", "false"},
};

Fields With(Fields fields, const Fields& changes) {
  for (const auto& [label, value] : changes) {
    bool found = false;
    for (auto& field : fields) if (field.first == label) field.second = value, found = true;
    EXPECT_TRUE(found) << label;
  }
  return fields;
}

// reboot: "" for none, else the "Reboot Required" value.
std::string Text(const Fields& fields, const std::string& reboot = "") {
  Doc doc = {"HBAParametersInfo", {{"Message", "Success"}}, "HBAParameters", "HBAParametersList", {fields}};
  if (!reboot.empty()) doc.fields.push_back({"Reboot Required", reboot});
  return doc.Text();
}

std::string Error(const std::string& message, const std::string& reboot = "") {
  return ListError("HBAParametersInfo", "HBAParameters", message, reboot).Text();
}

// Every key of the cache file, in the order the file is written.
std::string CacheFile(const Fields& values) {
  std::string out;
  for (const auto& [key, value] : values) out += key + "=" + value + "\n";
  return out;
}

const Fields kPortFile = {
    {"Connection_Options", "2"}, {"Data_Rate", "2"}, {"Disable_BIOS", "1"}, {"Disable_SCM", "0"},
    {"Enable_Fabric_Assign_WWN", "0"}, {"Enable_Fibre_Channel_Tape_Support", "0"}, {"Enable_Hard_Loop_Id", "0"},
    {"Enable_LR", "0"}, {"Enable_Lip_Full_Login", "1"}, {"Enable_Receive_Out_Of_Order_Frames", "0"},
    {"Enable_Target_Reset", "1"}, {"Enable_Virtual_Lane", "0"}, {"Execution_Throttle", "65535"},
    {"Frame_Size", "2048"}, {"Hard_Loop_ID", "0"}, {"Interrupt_Delay_Timer", "0"}, {"Link_Down_Timeout", "30"},
    {"Login_Retry_Count", "12"}, {"Loop_Reset_Delay", "5"}, {"Luns_Per_Target", "128"}, {"Operation_Mode", "0"},
    {"Port_Down_Retry_Count", "30"},
};

const std::vector<std::string> kHba = {"-t", "port", "-s", "hbaparams"};
const std::string kLoopOnly =
    Error("Failed, Connection Options value Loop_Only not supported for data rate value 16 Gbps and above");
const std::string kEveryIoTimer = Error("Failed, Interrupt Delay Timer value > 0 not supported for Operation Mode value "
                                        "Interrupt_For_Every_I/O_Completion");
const std::string kInvalidSetFile = Error("Failed, Invalid parameter") + "Usage: setFile\r\n";
const std::string kUpdate = "KXAPI_UpdateHBAParameters";

class HbaParams : public ::testing::Test {
 protected:
  void SetUp() override { box.UseFixture("portcfg-basic.json"); }
  Result Hba(std::vector<std::string> words) {
    words.insert(words.begin(), {"-t", "port", "-s", "hbaparams"});
    return box.Run(words);
  }
  std::string Cache(const std::string& port = kPort) const { return box.HostPath(kCacheDir + "/HBAParams_" + port); }

  Sandbox box;
};

TEST_F(HbaParams, StagingAcrossRunsThenSet) {
  // 1. Stage a rate and a frame size: the file starts from the adapter's values.
  Result r = Hba({"setFilecli", kPort, "-d", "16_Gbps", "--FRAME-SIZE", "1024"});
  EXPECT_EQ(r.out, Text(With(kPortFields, {{"Data Rate", "16_Gbps"}, {"Frame Size", "1024"}})));
  const std::string staged1 = CacheFile(With(kPortFile, {{"Data_Rate", "5"}, {"Frame_Size", "1024"}}));
  EXPECT_EQ(ReadFile(Cache()), staged1);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_UpdateHBAParameters").empty());

  // 2. Loop_Only conflicts with the staged 16 Gbps, and a delay timer needs an operation mode other
  // than the staged 0: refused, file as it was.
  RunCases(box, kHba,
           {{{"setFilecli", kPort, "-c", "Loop_Only"}, kLoopOnly}, {{"setFilecli", kPort, "-e", "10"}, kEveryIoTimer}});
  EXPECT_EQ(ReadFile(Cache()), staged1);
  // 3. A later run stages the mode; then the timer is accepted, with the BIOS switched on.
  Hba({"setFilecli", kPort, "-m", "Interrupt_When_Interrupt_Delay_Timer_Expires"});
  r = Hba({"setFilecli", kPort, "-e", "10", "--enable-bios", "TRUE"});
  const Fields staged = With(kPortFields, {{"Data Rate", "16_Gbps"},
                                           {"Frame Size", "1024"},
                                           {"Operation Mode", "Interrupt_When_Interrupt_Delay_Timer_Expires"},
                                           {"Interrupt Delay Timer In 100us", "10"},
                                           {"Enable Host Hba Bios", "true"}});
  EXPECT_EQ(r.out, Text(staged));
  EXPECT_EQ(ReadFile(Cache()), CacheFile(With(kPortFile, {{"Data_Rate", "5"},
                                                              {"Frame_Size", "1024"}, {"Operation_Mode", "5"},
                                                              {"Interrupt_Delay_Timer", "10"},
                                                              {"Disable_BIOS", "0"}})));

  // 4. get shows the adapter, untouched by staging; set applies exactly the staged fields
  // (bytes: DataRate (0) 2->5, FrameSize (24) 2048->1024, OperationMode (68) 0->5, InterruptDelayTimer (72)
  // 0->10, DisableBIOS (100) 1->0; nothing else) and removes the file; set again sends nothing.
  RunCases(box, kHba,
           {{{"getcli", kPort}, Text(kPortFields)},
            {{"setcli", kPort}, Text(staged, "true"), -1, kUpdate,
             {kUpdate + " port=21:00:00:c8:a1:70:00:00 changed=0:02>05,25:08>04,68:00>05,72:00>0a,100:01>00"}},
            {{"getcli", kPort}, Text(staged)},
            {{"setcli", kPort}, Error("Failed, File not found", "false"), -1, kUpdate}});
  EXPECT_FALSE(FileExists(Cache()));
}

TEST_F(HbaParams, OperationModeEveryIoAlsoStagesAZeroTimer) {
  RunCases(box, kHba,
           {{{"setFilecli", kPort, "-m", "Interrupt_When_Interrupt_Delay_Timer_Expires", "-e", "20"}, kAnyOutput},
            {{"setFilecli", kPort, "-m", "interrupt_for_every_i/o_completion"}, Text(kPortFields)},
            // The same command with a non-zero timer is refused.
            {{"setFilecli", kPort, "-m", "Interrupt_For_Every_I/O_Completion", "-e", "3"}, kEveryIoTimer}});
  EXPECT_EQ(ReadFile(Cache()), CacheFile(kPortFile));
}

TEST_F(HbaParams, SupportedSpeedMaskAndLoopOnlyOn64G) {
  std::vector<Case> cases;
  for (const char* rate : {"64_Gbps", "1_Gbps", "4_Gbps", "10_Gbps", "fast"})
    cases.push_back({{"setFilecli", kPort, "-d", rate}, kInvalidSetFile, 6});
  RunCases(box, kHba, cases);
  EXPECT_FALSE(FileExists(Cache())) << "a refused first setFile creates no file";
  RunCases(box, kHba,
           {{{"setFilecli", kPort, "-d", "32_Gbps"}, Text(With(kPortFields, {{"Data Rate", "32_Gbps"}}))},
            {{"setFilecli", kPort, "-d", "auto"}, Text(kPortFields)},
            {{"setFilecli", kPort64, "-c", "Loop_Only"}, kLoopOnly},
            {{"setFilecli", kPort, "-c", "Loop_Only"}, kAnyOutput}});
  EXPECT_EQ(ReadFile(Cache()), CacheFile(With(kPortFile, {{"Connection_Options", "0"}})));
  RunCases(box, kHba,
           {// The data-rate check reads the staged connection option ...
            {{"setFilecli", kPort, "-d", "16_Gbps"}, kLoopOnly},
            // ... unless the same command gives a point-to-point option.
            {{"setFilecli", kPort, "-c", "Point_To_Point_Only", "-d", "16_Gbps"},
             Text(With(kPortFields, {{"Connection Options", "Point_To_Point_Only"}, {"Data Rate", "16_Gbps"}}))},
            // The connection check reads the staged 16 Gbps, not the 8 Gbps of the same command.
            {{"setFilecli", kPort, "-c", "Loop_Only", "-d", "8_Gbps"}, kLoopOnly}});
}

TEST_F(HbaParams, RestrictedAdapterClasses) {
  // Group I: the data rate is read-only, hard loop settings are not there.
  const Fields groupI = {
      {"Connection Options", "Loop_Preferred_Otherwise_Point_To_Point"}, {"Data Rate", "8_Gbps"},
      {"Operation Mode", "Interrupt_For_Every_I/O_Completion"}, {"Frame Size", "2048"}, {"Enable Hard Loop Id", "NA"},
      {"Hard Loop Id", "0"}, {"Loop Reset Delay In Seconds", "5"}, {"Interrupt Delay Timer In 100us", "0"},
      {"Execution Throttle", "65535"}, {"Login Retry Count", "8"}, {"Port Down Retry Count", "30"},
      {"Link Down Timeout In Seconds", "30"}, {"Luns Per Target", "128"}, {"Enable LR", "true"},
      {"Enable Host Hba Bios", "false"}, {"Enable Fc Tape Support", "false"}, {"Enable Lip Full Login", "NA"},
      {"Enable Target Reset", "true"}, {"Enable Fabric Assigned WWN", "NA"}, {"Enable USCM", "NA"},
      {"Virtual Lane", "NA"},
  };
  const std::string notHere = Error("Failed, Feature not supported for this adapter");
  std::vector<Case> cases = {
      {{"getcli", kPortI}, Text(groupI)},
      {{"setFilecli", kPortI, "-d", "8_Gbps"}, Error("Failed, Read-Only parameter")},
      // The throttle is there on group I, not on group C.
      {{"setFilecli", kPort, "-x", "8"}, notHere},
      // Group F: a rate code 5 reads 10 Gbps and the throttle is not shown.
      {{"getcli", kPortF},
       Text(With(groupI, {{"Connection Options", "Unknown"}, {"Data Rate", "10_Gbps"},
                          {"Operation Mode", "Interrupt_When_Interrupt_Delay_Timer_Expires_Or_No_Active_I/O"},
                          {"Execution Throttle", "0"}, {"Enable LR", "false"}}))},
      // Group K: no operation mode nor delay timer, no LR.
      {{"getcli", kPortK},
       Text(With(groupI, {{"Data Rate", "Unknown"}, {"Operation Mode", "NA"}, {"Enable Hard Loop Id", "false"},
                          {"Enable LR", "NA"}, {"Enable Lip Full Login", "true"}, {"Enable Fabric Assigned WWN", "false"}}))}};
  for (const auto& [option, value] : Fields{{"-l", "5"}, {"-p", "true"}, {"-g", "false"}, {"-n", "true"}, {"-q", "true"},
                                            {"-j", "true"}})
    cases.push_back({{"setFilecli", kPortI, option, value}, notHere});
  for (const auto& [option, value] : Fields{{"-m", "Interrupt_When_Interrupt_Delay_Timer_Expires"}, {"-e", "0"}, {"-k", "true"}})
    cases.push_back({{"setFilecli", kPortK, option, value}, notHere});
  RunCases(box, kHba, cases);
  EXPECT_FALSE(FileExists(Cache()));
}

TEST_F(HbaParams, InvertedKeysAndValueChecks) {
  Result r = Hba({"setFilecli", kPort, "--enable-bios", "true", "--enable-uscm", "false", "-j", "true", "-z", "512"});
  EXPECT_EQ(r.out, Text(With(kPortFields, {{"Enable Host Hba Bios", "true"},
                                           {"Enable USCM", "false"}, {"Virtual Lane", "true"},
                                           {"Frame Size", "512"}})));
  const std::string file = CacheFile(With(
      kPortFile, {{"Disable_BIOS", "0"}, {"Disable_SCM", "1"}, {"Enable_Virtual_Lane", "1"}, {"Frame_Size", "512"}}));
  EXPECT_EQ(ReadFile(Cache()), file);

  // Each bad value is refused and leaves the file exactly as it was.
  std::vector<Case> cases;
  for (const auto& [option, value] : Fields{{"-z", "2112"}, {"-z", "4096"}, {"-r", "256"}, {"-u", "256"}, {"-w", "300"},
                                            {"-o", "241"}, {"-y", "257"}, {"-b", "yes"}, {"-c", "Loop"}, {"-m", "6"},
                                            {"-o", "abc"}, {"-y", "99999999999999999999"}})
    cases.push_back({{"setFilecli", kPort, "-a", "false", option, value}, kInvalidSetFile, 6});
  RunCases(box, kHba, cases);
  EXPECT_EQ(ReadFile(Cache()), file);
}

TEST_F(HbaParams, HandEditedInvalidValueFailsSetAndSetFile) {
  Hba({"setFilecli", kPort, "-d", "8_Gbps"});
  WriteFile(Cache(), CacheFile(With(kPortFile, {{"Data_Rate", "9"}})));
  const std::string invalid = Error("Failed, Invalid parameter") + "Usage: set\r\n";
  RunCases(box, kHba, {{{"setcli", kPort}, invalid, 6, kUpdate}, {{"setFilecli", kPort, "-u", "3"}, kInvalidSetFile}});
  EXPECT_TRUE(FileExists(Cache())) << "a file that could not be applied stays";
  // An operation mode outside 0, 5 and 6 never reaches the adapter either.
  WriteFile(Cache(), CacheFile(With(kPortFile, {{"Operation_Mode", "7"}})));
  RunCases(box, kHba, {{{"setcli", kPort}, invalid, 6, kUpdate}});
  // A file whose lock cannot be taken is left as it was.
  const std::string before = ReadFile(Cache());
  std::filesystem::create_directories(Cache() + ".lock");
  RunCases(box, kHba, {{{"setFilecli", kPort, "-d", "16_Gbps"}, Error("Failed, File not found")}});
  EXPECT_EQ(ReadFile(Cache()), before);
}

TEST_F(HbaParams, FailedUpdateKeepsTheStagedFile) {
  box.UseFixtureText(R"({"adapters": [{"pci": {"device": "0x2232"}, "ports": [{"entries": [
                         {"wwpn": "21:00:00:c8:a1:70:00:00", "supportedSpeeds": "0x70"}]}]}],
                        "calls": [{"call": "KXAPI_UpdateHBAParameters", "rc": 150},
                                  {"call": "KXAPI_RestoreDefaultNVRAM", "rc": 4}]})");
  RunCases(box, kHba,
           {{{"setFilecli", kPort, "-d", "8_Gbps"}, kAnyOutput},
            {{"setcli", kPort}, Error("Failed, Command not supported when adapter port in maintenance mode", "false")},
            {{"restoreDefaultscli", kPort},
             Doc({"RestoreDefaultsInfo", {{"Reboot Required", "false"}, {"Message", "Failed, NVRAM update failed"}}}).Text()}});
  EXPECT_TRUE(FileExists(Cache()));
}

TEST_F(HbaParams, RestoreDefaultsAndSave) {
  const std::string saved = box.File("nvram.bin");
  RunCases(box, kHba,
           {{{"setFilecli", kPort, "-y", "64"}, kAnyOutput},
            {{"setcli", kPort}, kAnyOutput},
            {{"restoreDefaults", kPort}, Doc({"RestoreDefaultsInfo", {{"Message", "Success"}, {"Reboot Required", Bool(true)}}}).Xml()},
            {{"getcli", kPort}, Text(kPortFields)},
            {{"savecli", kPort, saved}, MessageDoc("HBAParametersSave", "Success").Text()},
            {{"savecli", kPort}, MessageDoc("HBAParametersSave", "Failed, Invalid parameter").Text() + "Usage: save\r\n"},
            // The usage lines: none for the XML command.
            {{"setFilecli", "?"}, "Usage: setFile\r\n"}, {{"setFile", "?"}, ""}});
  EXPECT_EQ(ReadFile(saved).size(), 512u);
}

TEST_F(HbaParams, VirtualPortIsRefusedByEveryCommand) {
  const std::string virt = "Failed, Feature not supported for virtual port";
  const std::string xml = ListError("HBAParametersInfo", "HBAParameters", virt).Xml();
  RunCases(box, kHba,
           {{{"get", kVport}, xml, -1, "", {}, "PhysicalPortHBAParamsCmdsProcessor::CmdGetCommon: Entered"},
            {{"getcli", "help"}, Error("Failed, Unknown") + "Usage: get\r\n", 5},
            {{"setFile", kVport, "-d", "8_Gbps"}, xml}, {{"set", kVport}, xml, -1, "KXAPI_UpdateHBAParameters"},
            {{"restoreDefaultscli", kVport}, MessageDoc("RestoreDefaultsInfo", virt).Text(), -1, "KXAPI_RestoreDefaultNVRAM"},
            {{"savecli", kVport, box.File("x")}, MessageDoc("HBAParametersSave", virt).Text(), -1,
             "KXAPI_SaveSingleAdapterNVRAMToFile"}});
}

TEST_F(HbaParams, OemVariantRestrictions) {
  // One port per board; every port could run 8 to 64 Gbps.
  box.UseFixtureText(R"({"adapters": [
    {"pci": {"device": "0x2350", "subDevice": "0x0C01"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0c:00", "supportedSpeeds": "0xf0"}]}]},
    {"pci": {"device": "0x2350", "subVendor": "0xCB05", "subDevice": "0x0C02"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0a:00", "supportedSpeeds": "0x70"}]}]},
    {"pci": {"device": "0x2350", "subVendor": "0xCB05", "subDevice": "0x0D01"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0d:00", "supportedSpeeds": "0xf0"}]}]},
    {"pci": {"device": "0x2031", "subDevice": "0x0E01"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0e:00", "supportedSpeeds": "0xf0"}]}]},
    {"pci": {"device": "0x2031", "subDevice": "0x0F01"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0f:00", "supportedSpeeds": "0xf0"}]}]},
    {"pci": {"device": "0x2238", "subDevice": "0x0201"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0b:00", "supportedSpeeds": "0x70"}]}]},
    {"pci": {"device": "0x2232", "subDevice": "0x0111"}, "ports": [{"entries": [{"wwpn": "21:00:00:00:00:00:0a:0a", "supportedSpeeds": "0x70"}]}]}
  ]})");
  const std::string invalid = Error("Failed, Invalid parameter") + "Usage: setFile\r\n";
  const std::string loopOnly =
      Error("Failed, Connection Options value Loop_Only not supported for data rate value 16 Gbps and above");
  // kAnyOutput: accepted, and the port's file staged.
  const std::vector<std::pair<const char*, Case>> cases = {
      {"0c:00", {{"-d", "32_Gbps"}, invalid}},  // C: Auto, 8, 16 only
      {"0c:00", {{"-d", "16_Gbps"}, kAnyOutput, 0}},
      {"0a:00", {{"-c", "Loop_Only"}, invalid}},  // G: point to point only
      {"0a:00", {{"-c", "Loop_Preferred_Otherwise_Point_To_Point"}, invalid}},
      {"0a:00", {{"-c", "Point_To_Point_Only"}, kAnyOutput, 0}},
      {"0d:00", {{"-d", "Auto"}, Error("Failed, Read-Only parameter")}},  // D
      {"0e:00", {{"-d", "8_Gbps"}, invalid}},  // E: Auto, 16, 32 only
      {"0e:00", {{"-d", "32_Gbps"}, kAnyOutput, 0}},
      {"0f:00", {{"-d", "32_Gbps"}, invalid}},  // F: Auto, 16 only
      {"0f:00", {{"-d", "16_Gbps"}, kAnyOutput, 0}},
      {"0b:00", {{"-z", "2112"}, kAnyOutput, 0}},  // B: the encryption board takes 2112
      {"0a:0a", {{"-z", "2112"}, invalid}},
      {"0a:0a", {{"-c", "Loop_Only"}, loopOnly}},  // A: no loop at all
  };
  for (auto [port, c] : cases) {
    const std::string id = "FC_21:00:00:00:00:00:" + std::string(port);
    c.words.insert(c.words.begin(), {"setFilecli", id});
    RunCases(box, kHba, {c});
    EXPECT_EQ(FileExists(Cache(id)), c.out == kAnyOutput) << id;
  }
}

}  // namespace
