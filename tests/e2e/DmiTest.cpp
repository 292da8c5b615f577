// The "dmi" port sub-mode against the stand-in: decoded and raw transceiver
// data, saving it, and the module firmware update with its checks.
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "tests/MiniXml.h"
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
  std::string zero8 = "0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 ";
  std::string pad(32, ' ');
  char nominalHex[8];
  snprintf(nominalHex, sizeof nominalHex, "0x%02x ", nominal);
  return kRule + "Media Information" + kRule + Label("Vendor") + vendorField + "\n" + Label("Connector") +
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
         BitList("Options 2:", {{"Tx Squelch implemented", 0}, {"Tx Squelch Disable implemented", 0},
                                {"Rx Output Disable capable", 0}, {"Rx Squelch Disable implemented", 0},
                                {"Rx CDR Loss of Lock Flag implemented", 0},
                                {"Tx CDR Loss of Lock Flag implemented", 0}, {"Rx CDR On/Off Control implemented", 0},
                                {"Tx CDR On/Off Control implemented", 0}}) +
         BitList("Options 3:", {{"Tx Loss of Signal implemented", 0}, {"Tx Squelch implemented", 0},
                                {"TX_FAULT signal implemented", 0},
                                {"TX_DISABLE implemented and disables serial o/p", 0}, {"RATE_SELECT implemented", 0},
                                {"Memory Page 01h provided", 0}, {"Memory Page 02h provided", 0}}) +
         Label("Vendor SN") + serialField + " \n" + Label("Date code") + date + " \n" +
         BitList("Diag Monitoring Type:",
                 {{"Transmitter Power Measurement", diagBits}, {"Received Power Measurement", diagBits}}) +
         BitList("Enhanced Options:", {{"Application Select Table Declaration", 0}, {"Rate Selection Declaration", 0},
                                       {"Initialization Complete Flag implemented", 0}}) +
         Label("BR, Nominal") + nominalHex + "\n" + Label("CC_EXT") + "0x00 \n" + Label("Vendor Specific") + zero8 +
         "\n" + pad + zero8 + "\n" + pad + zero8 + "\n" + pad + zero8 + "\n";
}

Doc DmiError(const std::string& message) { return ListError("DMIInformation", "Dmi Info", message); }
Doc Dmi(const std::string& field, const std::string& data) {
  return {"DMIInformation", {{"Message", "Success"}}, "Dmi Info", "DMIInfoList", {{{field, data}}}};
}
Doc Save(const std::string& message) { return MessageDoc("SaveSFPData", message); }
Doc Update(const std::string& message) { return MessageDoc("SFPFirmwareUpdate", message); }

const std::string kUsageGet = "Usage: get [port identifier]\r\n";
const std::string kUsageSave = "Usage: save [port identifier] [sfpfile] [mode]\r\n";
const std::string kUsageUpdate = "Usage: update [port identifier]\r\n";
const std::vector<std::string> kDmi = {"-t", "port", "-s", "dmi"};
const std::string kRead = "KXAPI_GetSFPDataEx";
const std::string kSaves = "KXAPI_SaveSFPDataToFile,KXAPI_SaveSFPDataToTextFile";
const std::string kFlash = "KXAPI_SfpModuleFirmwareUpdate";

}  // namespace

TEST(Dmi, HelpWordsAndUnknownPorts) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  const std::string unknown = "FC_21:00:00:c8:a1:30:01:99";
  RunCases(box, kDmi,
           {// A help word for the identifier is status 5: the document with "Failed, Unknown", then the usage line.
            {{"getrawcli", "help"}, DmiError("Failed, Unknown").Text() + "Usage: getraw [port identifier]\r\n", 5},
            {{"updatecli", "help"}, Update("Failed, Unknown").Text() + kUsageUpdate, 5},
            {{"getcli", unknown}, DmiError("Failed, Invalid parameter").Text() + kUsageGet, 6, kRead},
            {{"getcli"}, DmiError("Failed, Invalid parameter").Text() + kUsageGet, 6},
            {{"savecli", unknown, "f", "binary"}, Save("Failed, Invalid parameter").Text() + kUsageSave, 6, kSaves}});
}

TEST(Dmi, GetDecodesAQsfpModuleAndRefreshReadsItAgain) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  const std::string text = QsfpText("KALTEX          ", "KX-QSFP28-SR4   ", "KQ9900000005    ", "26010100",
                                    "LC (Lucent Connector)", "100 Gbits/Sec\n", "800 MBytes/Sec ", 1, 1, 0x67);
  // The re-read module answers with another image: identifier and vendor only.
  const std::string reread = Dmi("Dmi Data", QsfpText("REREAD", "0", "0", "0", "Unknown or unspecified", "\n", "0x0", 0, 0, 0)).Text();
  const std::string port = "port=21:00:00:c8:a1:30:01:01 flag=";
  const std::string invalid = DmiError("Failed, Invalid parameter").Text() + kUsageGet;
  RunCases(box, kDmi,
           {{{"getcli", kQsfpPort}, Dmi("Dmi Data", text).Text(), 0, kRead, {kRead + " " + port + "0 reserved=0"}},
            {{"get", kQsfpPort}, Dmi("Dmi Data", text).Xml()},
            {{"getcli", kQsfpPort, "--REFRESH", "True"}, reread, 0, kRead, {kRead + " " + port + "1 reserved=0"}},
            // "false" reads without refresh.
            {{"getcli", kQsfpPort, "-r", "false"}, Dmi("Dmi Data", text).Text(), 0, kRead, {kRead + " " + port + "0 reserved=0"}},
            // Another refresh value, an option word without its value, or a word after the option's
            // is an invalid parameter.
            {{"getcli", kQsfpPort, "--refresh", "true", "extra"}, invalid, 6, kRead},
            {{"getcli", kQsfpPort, "-r"}, invalid, 6, kRead},
            {{"getcli", kSfpPort, "-r", "maybe"}, invalid, 6, kRead},
            {{"get", kSfpPort, "--refresh", "yes"}, DmiError("Failed, Invalid parameter").Xml(), 6},
            // An all-zero image is "Data not available" with status zero.
            {{"getcli", kEmptyPort}, DmiError("Failed, Data not available").Text(), 0},
            {{"getrawcli", kEmptyPort}, DmiError("Failed, Data not available").Text(), 0}});
}

TEST(Dmi, GetRawShowsBothPagesAsHex) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  // Page A0 of the QSFP28 module: identifier, upper page 00h fields, text fields.
  std::string a0(256, '\0'), a0Hex, a2Hex;
  for (const auto& [at, bytes] : std::vector<std::pair<size_t, std::string>>{
           {0, "\x11"}, {128, "\x11"}, {130, "\x07"}, {138, "\x40"}, {193, "\x08"}, {220, "\x0c"}, {222, "\x67"},
           {148, "KALTEX          "}, {168, "KX-QSFP28-SR4   "}, {184, "B2"}, {196, "KQ9900000005    "}, {212, "26010100"}})
    a0.replace(at, bytes.size(), bytes);
  for (const unsigned char b : a0) {
    a0Hex += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15], ' '};
    a2Hex += "00 ";
  }
  const Doc raw = {"DMIInformation", {{"Message", "Success"}}, "Dmi Info", "DMIInfoList",
                   {{{"Dmi A0Data In Hex", a0Hex}, {"Dmi A2Data In Hex", a2Hex}}}};
  RunCases(box, kDmi, {{{"getrawcli", kQsfpPort}, raw.Text(), 0, kRead,
                        {kRead + " port=21:00:00:c8:a1:30:01:01 flag=3 reserved=0"}}});
}

TEST(Dmi, SaveInBothFormsAndInAnyCase) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  const std::string binary = box.File("sfp.bin"), text = box.File("sfp.txt"), other = box.File("sfp.out");
  const std::string failed = Save("Failed, SFP DMI data read failed").Text();
  RunCases(box, kDmi,
           {{{"savecli", kSfpPort, binary, "binary"}, Save("Success").Text(), 0, kSaves,
             {"KXAPI_SaveSFPDataToFile port=21:00:00:c8:a1:30:01:00 path=" + binary}},
            {{"save", kSfpPort, text, "TEXT"}, Save("Success").Xml(), 0, kSaves,
             {"KXAPI_SaveSFPDataToTextFile port=21:00:00:c8:a1:30:01:00 path=" + text}},
            // A bad form word, or none, fails as a read failure.
            {{"savecli", kSfpPort, other, "hex"}, failed, 13, kSaves},
            {{"savecli", kSfpPort, other}, failed, 13, kSaves},
            {{"savecli", kSfpPort}, failed, 13, kSaves},
            {{"save", kSfpPort}, Save("Failed, SFP DMI data read failed").Xml(), 13, kSaves, {},
             "PhysicalPortDMICmdsProcessor::CmdSaveCommon: Entered"}});
  const std::string bytes = ReadFile(binary);
  ASSERT_EQ(bytes.size(), 512u);
  EXPECT_EQ(bytes.substr(0, 3), std::string("\x03\x04\x07", 3));
  EXPECT_EQ(bytes.substr(20, 13), "KALTEX-OPTICS");
  EXPECT_TRUE(FileExists(text));
  EXPECT_FALSE(FileExists(other));
}

TEST(Dmi, UpdateIsRefusedInTheOrderOfItsChecks) {
  Sandbox box;
  box.UseFixture("sfp-basic.json");
  const std::string image = box.File("sfp-fw.bin");
  WriteFile(image, "firmware");
  const std::string missing = box.File("no-such-fw.bin");
  const std::string vendor = "Failed, SFP FW update not supported for this SFP vendor";
  RunCases(box, kDmi,
           {// The file is checked first, then the vendor, the adapter and the driver.
            {{"updatecli", kOtherPort, missing, "AVAGO"}, Update("Failed, File not found").Text(), 19, kFlash},
            {{"updatecli", kOtherPort, image, "AVAGO"}, Update(vendor).Text(), 58, kFlash},
            {{"updatecli", kOtherPort, image, "wtd"}, Update("Failed, Feature not supported for this adapter").Text(), 35, kFlash},
            {{"updatecli", kQsfpPort, image, "WTD"}, Update("Failed, Feature not supported by driver").Text(), 45, kFlash},
            {{"updatecli", kSfpPort, box.Root(), "WTD"}, Update("Failed, File not found").Text(), 19, kFlash},  // a directory
            // Missing words fail the checks in their order: no vendor, then no image file.
            {{"updatecli", kSfpPort, image}, Update(vendor).Text(), 58, kFlash},
            {{"updatecli", kSfpPort}, Update("Failed, File not found").Text(), 19, kFlash},
            {{"update", kSfpPort, image, "WTD"}, Update("Success").Xml(), 0, kFlash,
             {kFlash + " port=21:00:00:c8:a1:30:01:00 file=" + image + " option=2"}}});
}

TEST(Dmi, LibraryResultsOfSaveAndUpdate) {
  Sandbox box;
  const std::string image = box.File("fw.bin");
  WriteFile(image, "fw");
  const std::string save = "KXAPI_SaveSFPDataToTextFile", update = "KXAPI_SfpModuleFirmwareUpdate";
  const std::vector<std::pair<std::string, Fields>> rows = {
      {save, {{"3", "Failed, File not found"}, {"40", "Failed, Memory Error"},
              {"100", "Failed, Feature not supported for virtual port"}, {"101", "Failed, File Open Error"},
              {"113", "Failed, Feature not supported for this adapter"},
              {"121", "Failed, Feature not supported for this adapter"}, {"114", "Failed, Adapter not found"},
              {"7", "Failed, SFP DMI data read failed"}}},
      {update, {{"101", "Failed, File Open Error"}, {"107", "Failed, Checksum Error"},
                {"113", "Failed, Feature not supported for this adapter"}, {"114", "Failed, Adapter not found"},
                {"118", "Failed, Feature not supported by driver"}, {"144", "Failed, SFP FW update failed"},
                {"145", "Failed, SFP FW update not supported for this SFP vendor"},
                {"146", "Failed, SFP FW file not supported for this SFP"}, {"3", "Failed, Unknown"}}}};
  for (const auto& [call, results] : rows)
    for (const auto& [rc, message] : results) {
      box.UseFixtureText(WithCalls(Fixture("sfp-basic.json"), "{\"call\": \"" + call + "\", \"rc\": " + rc + "}"));
      RunCases(box, kDmi,
               {call == save ? Case{{"savecli", kSfpPort, box.File("x.txt"), "Text"}, Save(message).Text()}
                             : Case{{"updatecli", kSfpPort, image, "WTD"}, Update(message).Text()}});
    }
}

TEST(Dmi, MaintenanceModeInEveryCall) {
  Sandbox box;
  box.UseFixtureText(WithCalls(Fixture("sfp-basic.json"),
      R"({"call": "KXAPI_GetSFPDataEx", "port": "21:00:00:c8:a1:30:01:00", "rc": 150},
         {"call": "KXAPI_SaveSFPDataToFile", "rc": 150},
         {"call": "KXAPI_SfpModuleFirmwareUpdate", "rc": 150},
         {"call": "KXAPI_GetSFPDataEx", "port": "21:00:00:c8:a1:30:01:01", "rc": 12})"));
  const std::string image = box.File("fw.bin");
  WriteFile(image, "fw");
  const std::string message = "Failed, Command not supported when adapter port in maintenance mode";
  RunCases(box, kDmi,
           {{{"getcli", kSfpPort}, DmiError(message).Text()},
            {{"getraw", kSfpPort}, DmiError(message).Xml()},
            {{"savecli", kSfpPort, box.File("s.bin"), "Binary"}, Save(message).Text()},
            {{"updatecli", kSfpPort, image, "WTD"}, Update(message).Text()},
            // Any other failed read is a read failure.
            {{"getcli", kQsfpPort}, DmiError("Failed, SFP DMI data read failed").Text()}});
}

TEST(Dmi, ModuleTextIsPrintedAsItStandsAndTheDocumentReadsItBack) {
  Sandbox box;
  // Rows: the module's A0 bytes from byte 0, its text fields by offset, and lines the text form holds.
  const std::vector<std::tuple<std::string, std::string, std::vector<std::string>>> rows = {
      {"03", R"("20": "100%s%n%x", "40": "%%PN")",
       {"\n" + Label("Vendor") + "100%s%n%x\n" + Label("Connector") + "Unknown or unspecified\n",
        "\n" + Label("Vendor PN") + "%%PN \n"}},
      // Rate identifier 0x06 and a part number with '&', '<' and '>'.
      {"03 00 00 00 00 00 00 00 00 00 00 00 00 06", R"("40": "KX&SFP<8G>")",
       {"\n" + Label("Part Number") + "KX&SFP<8G>\n",
        "\n" + Label("Rate Identifier") + "SFF-8431 (8/4/2G Independent Rx & Tx Rate_select)\n" +
            Label("Kaltex SFP Installed"),
        "\n" + Label("Vendor PN") + "KX&SFP<8G> \n"}}};
  const std::string head = kStars + "DMIInformation:\nMessage: Success\nDmi Info: DMIInfoList:\nDmi Data: ";
  for (const auto& [a0, text, lines] : rows) {
    box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": "0x2230"},
      "ports": [{"number": 0, "entries": [{"wwpn": "21:00:00:c8:a1:30:01:00",
        "sfp": {"a0": ")" + a0 + R"(", "text": {)" + text + "}}}]}]}]}");
    const std::string cli = box.Run({"-t", "port", "-s", "dmi", "getcli", kSfpPort}).out;
    for (const std::string& line : lines) EXPECT_NE(cli.find(line), std::string::npos) << line;
    ASSERT_TRUE(cli.starts_with(head) && cli.ends_with(Label("Debug MCU Version") + "0x00 \n" + kStars)) << cli;
    // The document parses, and its "Dmi Data" string is the decoded text byte for byte.
    const std::string decoded = cli.substr(head.size(), cli.size() - head.size() - kStars.size());
    const std::string xml = box.Run({"-t", "port", "-s", "dmi", "get", kSfpPort}).out;
    try {
      const auto doc = minixml::Parse(xml);
      const auto* data = doc->Child("structure")->All("field").back()->Child("list")->Child("structure");
      EXPECT_EQ(data->Child("field")->Attr("name"), "Dmi Data");
      EXPECT_EQ(data->Child("field")->Child("string")->text, decoded);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what() << "\n" << xml;
    }
  }
}
