// The "dmi" port sub-mode against the stand-in: decoded and raw transceiver
// data, saving it, and the module firmware update with its checks.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kSfpPort = "FC_21:00:00:c8:a1:30:01:00";     // SFP, group-C adapter, driver can update
const std::string kQsfpPort = "FC_21:00:00:c8:a1:30:01:01";    // QSFP28, driver cannot update
const std::string kEmptyPort = "FC_21:00:00:c8:a1:30:01:02";   // the module returns zeros
const std::string kOtherPort = "FC_10:00:00:c8:a1:16:42:07";   // adapter outside group C

const std::string kRule = "\n---------------------------------------------------------------------------------\n";

std::string Label(const std::string& name) { return std::string(30 - name.size(), ' ') + name + ": "; }

// A bit list: the name right-aligned in 31 columns, then each row with its bit.
std::string BitList(const std::string& name, const std::vector<std::pair<std::string, int>>& rows) {
  std::string text = std::string(31 - name.size(), ' ') + name;
  for (size_t i = 0; i < rows.size(); ++i)
    text += (i ? "\n" + std::string(31, ' ') : "") + " -" + rows[i].first + ": 0x" + std::to_string(rows[i].second);
  return text + "\n";
}

// The decoded text of the fixture's QSFP28 module with the given vendor name field.
std::string QsfpText(const std::string& vendorField, const std::string& partField, const std::string& serialField,
                     const std::string& date, const std::string& connector, const std::string& speed,
                     const std::string& fcSpeed, int options1Bit3, int diagBits, int nominal) {
  auto trimmed = [](std::string s) { return s; };
  std::string zero8 = "0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 ";
  std::string pad(32, ' ');
  char nominalHex[8];
  snprintf(nominalHex, sizeof nominalHex, "0x%02x ", nominal);
  return kRule + "Media Information" + kRule + Label("Vendor") + trimmed(vendorField) + "\n" + Label("Connector") +
         connector + "\n" + Label("Media Type") + "\n\n" + Label("Part Number") + partField + "\n" + Label("Speed") +
         speed + "\n" + Label("Revision") + (partField == "0" ? "0" : "B2") + "\n" + Label("Serial Number") +
         serialField + "\n" + Label("Identifier") + "QSFP28\n" + Label("") + "\n" + Label("") + "\n" +
         Label("Kaltex SFP Installed") + "No\n" + kRule +
         "\nOptical Transceiver Digital Diagnostic Data:\n"
         "\nAddress A0\n" +
         Label("Identifier") + "QSFP28\n" + Label("Extended Identifier") + "Power Class 1\n" + Label("Connector") +
         connector + "\n" + Label("Ethernet Speed") + "\n" + Label("Compliance") + "0x00 0x00 0x00 \n" +
         Label("FC Link Length") + "0x0\n" + Label("FC Transmitter Tech") + "0x0\n" + Label("FC Transmission Media") +
         "0x0\n" + Label("FC Speed") + fcSpeed + "\n" + Label("Encoding") + "Unspecified\n" + Label("BR, Nominal") +
         "0x00 \n" + Label("Length (SMF) - km") + "0x00 \n" + Label("Length (OM3 50um)") + "0x00 \n" +
         Label("Length (OM2 50um)") + "0x00 \n" + Label("Length (OM1 62.5um)") + "0x00 \n" + Label("Length (Copper)") +
         "0x00 \n" + Label("Vendor name") + vendorField + " \n" + Label("Vendor OUI") + "0x00 0x00 0x00 \n" +
         Label("Vendor PN") + partField + " \n" + Label("Vendor rev") + (partField == "0" ? "0" : "B2") + " \n" +
         Label("Wavelength") + "0x0000\n" + Label("CC_BASE") + "0x00 \n" + Label("Extended Ethernet Speed") +
         "Unspecified\n" +
         BitList("Options 1:", {{"Rx Output Amplitude Fixed Programmable Settings", 0},
                                {"Rx Output Emphasis Fixed Programmable Settings", 0},
                                {"Tx Input Equalization Fixed Programmable Settings", 0},
                                {"Tx Input Equalization Auto Adaptive Capable", options1Bit3}}) +
         BitList("Options 2:", {{"Tx Squelch implemented", 0},
                                {"Tx Squelch Disable implemented", 0},
                                {"Rx Output Disable capable", 0},
                                {"Rx Squelch Disable implemented", 0},
                                {"Rx CDR Loss of Lock Flag implemented", 0},
                                {"Tx CDR Loss of Lock Flag implemented", 0},
                                {"Rx CDR On/Off Control implemented", 0},
                                {"Tx CDR On/Off Control implemented", 0}}) +
         BitList("Options 3:", {{"Tx Loss of Signal implemented", 0},
                                {"Tx Squelch implemented", 0},
                                {"TX_FAULT signal implemented", 0},
                                {"TX_DISABLE implemented and disables serial o/p", 0},
                                {"RATE_SELECT implemented", 0},
                                {"Memory Page 01h provided", 0},
                                {"Memory Page 02h provided", 0}}) +
         Label("Vendor SN") + serialField + " \n" + Label("Date code") + date + " \n" +
         BitList("Diag Monitoring Type:",
                 {{"Transmitter Power Measurement", diagBits}, {"Received Power Measurement", diagBits}}) +
         BitList("Enhanced Options:", {{"Application Select Table Declaration", 0},
                                       {"Rate Selection Declaration", 0},
                                       {"Initialization Complete Flag implemented", 0}}) +
         Label("BR, Nominal") + nominalHex + "\n" + Label("CC_EXT") + "0x00 \n" + Label("Vendor Specific") + zero8 +
         "\n" + pad + zero8 + "\n" + pad + zero8 + "\n" + pad + zero8 + "\n";
}

std::string TextDocument(const std::string& body) { return kStars + body + kStars; }

std::string DmiError(const std::string& message) {
  return TextDocument("DMIInformation:\nMessage: " + message + "\nDmi Info: ");
}

std::string DmiErrorXml(const std::string& message) {
  return kXmlHead + "<structure typeName=\"DMIInformation\">\n<field name=\"Message\">\n<string>" + message +
         "</string></field>\n<field name=\"Dmi Info\">\n<list type=\"structure\">\n</list>\n</field>\n</structure>\n"
         "</output>\n";
}

std::string Document(const std::string& structure, const std::string& message) {
  return TextDocument(structure + ":\nMessage: " + message + "\n");
}

// The status the command returned, from the trace log's last exit line.
std::string ExitStatus(const Sandbox& box) {
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  const std::string marker = "main: Program Exit Code: (";
  const size_t at = log.rfind(marker);
  if (at == std::string::npos) return "none";
  return log.substr(at + marker.size(), log.find(')', at) - at - marker.size());
}

// The basic fixture with scripted calls appended.
std::string FixtureWithCalls(const std::string& calls) {
  std::string text = ReadFile(std::string(KXFC_FIXTURE_DIR) + "/sfp-basic.json");
  const size_t end = text.rfind('}');
  return text.substr(0, end) + ", \"calls\": [" + calls + "]\n}\n";
}

const std::string kUsageGet = "Usage: get [port identifier]\r\n";
const std::string kUsageSave = "Usage: save [port identifier] [sfpfile] [mode]\r\n";
const std::string kUsageUpdate = "Usage: update [port identifier]\r\n";

}  // namespace

TEST(Dmi, HelpListsTheCommandsInTableOrder) {
  Sandbox box;
  Result r = box.Run({"-t", "port", "-s", "dmi", "help"});
  EXPECT_EQ(r.out,
            "\r\nFollowing is the list of available commands in the DMI command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "get         : Get Kaltex Physical Port SFP DMI information\r\n"
            "getraw      : Get Kaltex Physical Port SFP DMI information as raw hex data\r\n"
            "update      : Update Kaltex Physical Port SFP DMI Firmware\r\n"
            "save        : Save Kaltex Physical Port SFP DMI information in a file\r\n"
            "help        : List of available commands\r\n"
            "getcli      : Get Kaltex Physical Port SFP DMI information\r\n"
            "getrawcli   : Get Kaltex Physical Port SFP DMI information as raw hex data\r\n"
            "updatecli   : Update Kaltex Physical Port SFP DMI Firmware\r\n"
            "savecli     : Save Kaltex Physical Port SFP DMI information in a file\r\n");
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "savecli", "?"}).out, kUsageSave);
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "save", "?"}).out, "");
  // A help word for the identifier is status 5: the document with "Failed, Unknown", then the usage line.
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "getrawcli", "help"}).out,
            DmiError("Failed, Unknown") + "Usage: getraw [port identifier]\r\n");
}

TEST(Dmi, GetDecodesAQsfpModule) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  Result r = box.Run({"-t", "port", "-s", "dmi", "getcli", kQsfpPort});
  const std::string text = QsfpText("KALTEX          ", "KX-QSFP28-SR4   ", "KQ9900000005    ", "26010100",
                                    "LC (Lucent Connector)", "100 Gbits/Sec\n", "800 MBytes/Sec ", 1, 1, 0x67);
  EXPECT_EQ(r.out, TextDocument("DMIInformation:\nMessage: Success\nDmi Info: DMIInfoList:\nDmi Data: " + text));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetSFPDataEx"),
            std::vector<std::string>{"KXAPI_GetSFPDataEx port=21:00:00:c8:a1:30:01:01 flag=0 reserved=0"});
  EXPECT_EQ(ExitStatus(box), "0");

  r = box.Run({"-t", "port", "-s", "dmi", "get", kQsfpPort});
  EXPECT_EQ(r.out, kXmlHead +
                       "<structure typeName=\"DMIInformation\">\n<field name=\"Message\">\n<string>Success</string>"
                       "</field>\n<field name=\"Dmi Info\">\n<list type=\"structure\">\n"
                       "<structure typeName=\"DMIInfoList\">\n<field name=\"Dmi Data\">\n<string>" +
                       text + "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n");
}

TEST(Dmi, RefreshReadsTheModuleAgain) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  // The re-read module answers with another image: identifier and vendor only.
  const std::string reread =
      QsfpText("REREAD", "0", "0", "0", "Unknown or unspecified", "\n", "0x0", 0, 0, 0);
  for (const std::vector<std::string>& option :
       {std::vector<std::string>{"-r", "true"}, {"--REFRESH", "True"}}) {
    std::vector<std::string> args = {"-t", "port", "-s", "dmi", "getcli", kQsfpPort};
    args.insert(args.end(), option.begin(), option.end());
    Result r = box.Run(args);
    EXPECT_EQ(r.out, TextDocument("DMIInformation:\nMessage: Success\nDmi Info: DMIInfoList:\nDmi Data: " + reread))
        << option[0];
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetSFPDataEx").at(0), "KXAPI_GetSFPDataEx port=21:00:00:c8:a1:30:01:01 flag=1 reserved=0");
  }
  // "false" reads without refresh.
  for (const std::vector<std::string>& option : {std::vector<std::string>{"-r", "false"}}) {
    std::vector<std::string> args = {"-t", "port", "-s", "dmi", "getcli", kQsfpPort};
    args.insert(args.end(), option.begin(), option.end());
    Result r = box.Run(args);
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetSFPDataEx").at(0), "KXAPI_GetSFPDataEx port=21:00:00:c8:a1:30:01:01 flag=0 reserved=0");
  }
}

TEST(Dmi, RefreshWithAnotherValueIsAnInvalidParameter) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  Result r = box.Run({"-t", "port", "-s", "dmi", "getcli", kSfpPort, "-r", "maybe"});
  EXPECT_EQ(r.out, DmiError("Failed, Invalid parameter") + kUsageGet);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_GetSFPDataEx").empty());
  EXPECT_EQ(ExitStatus(box), "6");
  r = box.Run({"-t", "port", "-s", "dmi", "get", kSfpPort, "--refresh", "yes"});
  EXPECT_EQ(r.out, DmiErrorXml("Failed, Invalid parameter"));
  // So is an option word without its value, or a word after the option's.
  for (const std::vector<std::string>& extra : {std::vector<std::string>{"-r"}, {"--refresh", "true", "extra"}}) {
    std::vector<std::string> args = {"-t", "port", "-s", "dmi", "getcli", kSfpPort};
    args.insert(args.end(), extra.begin(), extra.end());
    r = box.Run(args);
    EXPECT_EQ(r.out, DmiError("Failed, Invalid parameter") + kUsageGet);
    EXPECT_TRUE(CallsNamed(r, "KXAPI_GetSFPDataEx").empty());
  }
}

TEST(Dmi, AnAllZeroImageIsDataNotAvailableWithStatusZero) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  Result r = box.Run({"-t", "port", "-s", "dmi", "getcli", kEmptyPort});
  EXPECT_EQ(r.out, DmiError("Failed, Data not available"));
  EXPECT_EQ(ExitStatus(box), "0");
  r = box.Run({"-t", "port", "-s", "dmi", "get", kEmptyPort});
  EXPECT_EQ(r.out, DmiErrorXml("Failed, Data not available"));
  r = box.Run({"-t", "port", "-s", "dmi", "getrawcli", kEmptyPort});
  EXPECT_EQ(r.out, DmiError("Failed, Data not available"));
  EXPECT_EQ(ExitStatus(box), "0");
}

TEST(Dmi, UnknownPortAndHelpWord) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  Result r = box.Run({"-t", "port", "-s", "dmi", "getcli", "FC_21:00:00:c8:a1:30:01:99"});
  EXPECT_EQ(r.out, DmiError("Failed, Invalid parameter") + kUsageGet);
  r = box.Run({"-t", "port", "-s", "dmi", "getcli"});
  EXPECT_EQ(r.out, DmiError("Failed, Invalid parameter") + kUsageGet);
  r = box.Run({"-t", "port", "-s", "dmi", "updatecli", "help"});
  EXPECT_EQ(r.out, Document("SFPFirmwareUpdate", "Failed, Unknown") + kUsageUpdate);
  r = box.Run({"-t", "port", "-s", "dmi", "update", "?"});
  EXPECT_EQ(r.out, "") << "the XML command has no usage";
  r = box.Run({"-t", "port", "-s", "dmi", "savecli", "FC_21:00:00:c8:a1:30:01:99", "f", "binary"});
  EXPECT_EQ(r.out, Document("SaveSFPData", "Failed, Invalid parameter") + kUsageSave);
}

TEST(Dmi, GetRawShowsBothPagesAsHex) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  Result r = box.Run({"-t", "port", "-s", "dmi", "getrawcli", kQsfpPort});
  // Page A0 of the QSFP28 module: identifier, upper page 00h fields, text fields.
  std::vector<int> a0(256, 0);
  a0[0] = 0x11;
  a0[128] = 0x11;
  a0[130] = 0x07;
  a0[138] = 0x40;
  a0[193] = 0x08;
  a0[220] = 0x0c;
  a0[222] = 0x67;
  auto put = [&a0](size_t at, const std::string& text) {
    for (char c : text) a0[at++] = static_cast<unsigned char>(c);
  };
  put(148, "KALTEX          ");
  put(168, "KX-QSFP28-SR4   ");
  put(184, "B2");
  put(196, "KQ9900000005    ");
  put(212, "26010100");
  std::string a0Hex;
  for (int b : a0) {
    char digits[4];
    snprintf(digits, sizeof digits, "%02x ", b);
    a0Hex += digits;
  }
  std::string a2Hex;
  for (int i = 0; i < 256; ++i) a2Hex += "00 ";
  EXPECT_EQ(r.out, TextDocument("DMIInformation:\nMessage: Success\nDmi Info: DMIInfoList:\nDmi A0Data In Hex: " +
                                a0Hex + "\nDmi A2Data In Hex: " + a2Hex + "\n"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_GetSFPDataEx"),
            std::vector<std::string>{"KXAPI_GetSFPDataEx port=21:00:00:c8:a1:30:01:01 flag=3 reserved=0"});
}

TEST(Dmi, SaveInBothFormsAndInAnyCase) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  const std::string binary = box.File("sfp.bin");
  Result r = box.Run({"-t", "port", "-s", "dmi", "savecli", kSfpPort, binary, "binary"});
  EXPECT_EQ(r.out, Document("SaveSFPData", "Success"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SaveSFPDataToFile"),
            std::vector<std::string>{"KXAPI_SaveSFPDataToFile port=21:00:00:c8:a1:30:01:00 path=" + binary});
  const std::string bytes = ReadFile(binary);
  ASSERT_EQ(bytes.size(), 512u);
  EXPECT_EQ(bytes.substr(0, 3), std::string("\x03\x04\x07", 3));
  EXPECT_EQ(bytes.substr(20, 13), "KALTEX-OPTICS");

  const std::string text = box.File("sfp.txt");
  r = box.Run({"-t", "port", "-s", "dmi", "save", kSfpPort, text, "TEXT"});
  EXPECT_EQ(r.out, kXmlHead + "<structure typeName=\"SaveSFPData\">\n<field name=\"Message\">\n<string>Success</string>"
                              "</field>\n</structure>\n</output>\n");
  EXPECT_EQ(CallsNamed(r, "KXAPI_SaveSFPDataToTextFile"),
            std::vector<std::string>{"KXAPI_SaveSFPDataToTextFile port=21:00:00:c8:a1:30:01:00 path=" + text});
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SaveSFPDataToFile").empty());
  EXPECT_TRUE(FileExists(text));
}

TEST(Dmi, SaveWithABadFormWordOrTooFewWords) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  const std::string path = box.File("sfp.out");
  Result r = box.Run({"-t", "port", "-s", "dmi", "savecli", kSfpPort, path, "hex"});
  EXPECT_EQ(r.out, Document("SaveSFPData", "Failed, SFP DMI data read failed"));
  EXPECT_EQ(ExitStatus(box), "13");
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SaveSFP").empty());
  EXPECT_FALSE(FileExists(path));

  // No form word fails as an unknown one does.
  r = box.Run({"-t", "port", "-s", "dmi", "savecli", kSfpPort, path});
  EXPECT_EQ(r.out, Document("SaveSFPData", "Failed, SFP DMI data read failed"));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SaveSFP").empty());
  r = box.Run({"-t", "port", "-s", "dmi", "savecli", kSfpPort});
  EXPECT_EQ(r.out, Document("SaveSFPData", "Failed, SFP DMI data read failed"));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SaveSFP").empty());
}

TEST(Dmi, SaveMapsLibraryResults) {
  const struct {
    int rc;
    const char* message;
  } cases[] = {
      {3, "Failed, File not found"},       {40, "Failed, Memory Error"},
      {100, "Failed, Feature not supported for virtual port"},
      {101, "Failed, File Open Error"},    {113, "Failed, Feature not supported for this adapter"},
      {121, "Failed, Feature not supported for this adapter"},
      {114, "Failed, Adapter not found"},  {7, "Failed, SFP DMI data read failed"},
  };
  for (const auto& c : cases) {
    Sandbox box;
    box.UseFixtureText(FixtureWithCalls(R"({"call": "KXAPI_SaveSFPDataToTextFile", "rc": )" + std::to_string(c.rc) + "}"));
    Result r = box.Run({"-t", "port", "-s", "dmi", "savecli", kSfpPort, box.File("x.txt"), "Text"});
    EXPECT_EQ(r.out, Document("SaveSFPData", c.message)) << c.rc;
  }
}

TEST(Dmi, UpdateIsRefusedInTheOrderOfItsChecks) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  const std::string image = box.File("sfp-fw.bin");
  WriteFile(image, "firmware");
  const std::string missing = box.File("no-such-fw.bin");
  const struct {
    std::string port, file, vendor, message, status;
  } cases[] = {
      // The file is checked first, then the vendor, the adapter and the driver.
      {kOtherPort, missing, "AVAGO", "Failed, File not found", "19"},
      {kOtherPort, image, "AVAGO", "Failed, SFP FW update not supported for this SFP vendor", "58"},
      {kOtherPort, image, "wtd", "Failed, Feature not supported for this adapter", "35"},
      {kQsfpPort, image, "WTD", "Failed, Feature not supported by driver", "45"},
      {kSfpPort, box.Root(), "WTD", "Failed, File not found", "19"},  // a directory is no image
  };
  for (const auto& c : cases) {
    Result r = box.Run({"-t", "port", "-s", "dmi", "updatecli", c.port, c.file, c.vendor});
    EXPECT_EQ(r.out, Document("SFPFirmwareUpdate", c.message)) << c.status;
    EXPECT_EQ(ExitStatus(box), c.status);
    EXPECT_TRUE(CallsNamed(r, "KXAPI_SfpModuleFirmwareUpdate").empty()) << c.status;
  }
  Result r = box.Run({"-t", "port", "-s", "dmi", "update", kSfpPort, image, "WTD"});
  EXPECT_EQ(r.out, kXmlHead + "<structure typeName=\"SFPFirmwareUpdate\">\n<field name=\"Message\">\n"
                              "<string>Success</string></field>\n</structure>\n</output>\n");
  EXPECT_EQ(CallsNamed(r, "KXAPI_SfpModuleFirmwareUpdate"),
            std::vector<std::string>{"KXAPI_SfpModuleFirmwareUpdate port=21:00:00:c8:a1:30:01:00 file=" + image +
                                     " option=2"});
  // Missing words fail the checks in their order: no vendor, then no image file.
  r = box.Run({"-t", "port", "-s", "dmi", "updatecli", kSfpPort, image});
  EXPECT_EQ(r.out, Document("SFPFirmwareUpdate", "Failed, SFP FW update not supported for this SFP vendor"));
  r = box.Run({"-t", "port", "-s", "dmi", "updatecli", kSfpPort});
  EXPECT_EQ(r.out, Document("SFPFirmwareUpdate", "Failed, File not found"));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SfpModuleFirmwareUpdate").empty());
}

TEST(Dmi, UpdateMapsLibraryResults) {
  const struct {
    int rc;
    const char* message;
  } cases[] = {
      {101, "Failed, File Open Error"},
      {107, "Failed, Checksum Error"},
      {113, "Failed, Feature not supported for this adapter"},
      {114, "Failed, Adapter not found"},
      {118, "Failed, Feature not supported by driver"},
      {144, "Failed, SFP FW update failed"},
      {145, "Failed, SFP FW update not supported for this SFP vendor"},
      {146, "Failed, SFP FW file not supported for this SFP"},
      {3, "Failed, Unknown"},
  };
  for (const auto& c : cases) {
    Sandbox box;
    box.UseFixtureText(FixtureWithCalls(R"({"call": "KXAPI_SfpModuleFirmwareUpdate", "rc": )" + std::to_string(c.rc) + "}"));
    const std::string image = box.File("fw.bin");
    WriteFile(image, "fw");
    Result r = box.Run({"-t", "port", "-s", "dmi", "updatecli", kSfpPort, image, "WTD"});
    EXPECT_EQ(r.out, Document("SFPFirmwareUpdate", c.message)) << c.rc;
  }
}

TEST(Dmi, MaintenanceModeInEveryCall) {
  Sandbox box;
  box.UseFixtureText(FixtureWithCalls(
      R"({"call": "KXAPI_GetSFPDataEx", "port": "21:00:00:c8:a1:30:01:00", "rc": 150},
         {"call": "KXAPI_SaveSFPDataToFile", "rc": 150},
         {"call": "KXAPI_SfpModuleFirmwareUpdate", "rc": 150},
         {"call": "KXAPI_GetSFPDataEx", "port": "21:00:00:c8:a1:30:01:01", "rc": 12})"));
  const std::string image = box.File("fw.bin");
  WriteFile(image, "fw");
  const std::string message = "Failed, Command not supported when adapter port in maintenance mode";
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "getcli", kSfpPort}).out, DmiError(message));
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "getraw", kSfpPort}).out, DmiErrorXml(message));
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "savecli", kSfpPort, box.File("s.bin"), "Binary"}).out,
            Document("SaveSFPData", message));
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "updatecli", kSfpPort, image, "WTD"}).out,
            Document("SFPFirmwareUpdate", message));
  // Any other failed read is a read failure.
  EXPECT_EQ(box.Run({"-t", "port", "-s", "dmi", "getcli", kQsfpPort}).out,
            DmiError("Failed, SFP DMI data read failed"));
}

TEST(Dmi, PercentSignsInModuleTextArePrintedAsTheyStand) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": "0x2230"},
    "ports": [{"number": 0, "entries": [{"wwpn": "21:00:00:c8:a1:30:01:00",
      "sfp": {"a0": "03", "text": {"20": "100%s%n%x", "40": "%%PN"}}}]}]}]})");
  Result r = box.Run({"-t", "port", "-s", "dmi", "getcli", kSfpPort});
  EXPECT_NE(r.out.find("\n" + Label("Vendor") + "100%s%n%x\n" + Label("Connector") + "Unknown or unspecified\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("\n" + Label("Vendor PN") + "%%PN \n"), std::string::npos);
  EXPECT_EQ(r.out.substr(r.out.size() - kStars.size() - 38), Label("Debug MCU Version") + "0x00 \n" + kStars);
}
