// The whole decoded text of one SFP module with digital diagnostics, written
// line by line from the module's bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "sfp/SfpDecoder.h"

using namespace sfp;

namespace {

std::vector<uint8_t> ModuleImage() {
  std::vector<uint8_t> image(kSfpImageSize, 0);
  auto set = [&image](size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes) image[at++] = static_cast<uint8_t>(b);
  };
  auto text = [&image](size_t at, const char* t) { memcpy(image.data() + at, t, strlen(t)); };
  set(0, {0x03, 0x04, 0x07, 0x00, 0x00, 0x00, 0x00, 0x20, 0x40, 0x04, 0x54, 0x01, 0x55, 0x0c, 0x00, 0x00, 0x03,
          0x01, 0x0f, 0x07});
  text(20, "KALTEX-OPTICS   ");
  set(37, {0x00, 0xc8, 0xa1});
  text(40, "KX-SFP64-SW     ");
  text(56, "A1  ");
  set(60, {0x03, 0x52, 0x00, 0x7a, 0x00, 0x1a});
  text(68, "KS2345000017    ");
  text(84, "26052100");
  set(92, {0x68, 0xf0, 0x08, 0x9c});
  text(96, "Kaltex");
  set(149, {0x01, 0x02});
  set(256, {0x50, 0x00, 0xf6, 0x00, 0x4b, 0x00, 0xfb, 0x00, 0x8c, 0xa0, 0x75, 0x30, 0x88, 0xb8, 0x79, 0x18});
  set(272, {0x3a, 0x98, 0x00, 0x00, 0x32, 0xc8, 0x01, 0xf4, 0x4e, 0x20, 0x00, 0x64, 0x3e, 0x80, 0x00, 0xc8});
  set(288, {0x4e, 0x20, 0x00, 0x0a, 0x3e, 0x80, 0x00, 0x14});
  set(324, {0x3f, 0x80, 0x00, 0x00});
  set(332, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00});
  set(351, {0x5d, 0x21, 0x80, 0x80, 0xe8, 0x1b, 0x58, 0x13, 0x88, 0x0f, 0xa0});
  set(366, {0x02});
  set(369, {0x40});
  set(373, {0x40});
  return image;
}

std::string Label(const std::string& name) { return std::string(30 - name.size(), ' ') + name + ": "; }
std::string Line(const std::string& name, const std::string& value) { return Label(name) + value + "\n"; }
std::string Byte(const std::string& name, int value) {
  char hex[8];
  snprintf(hex, sizeof hex, "0x%02x ", value);
  return Line(name, hex);
}
std::string BitList(const std::string& name, const std::vector<std::pair<const char*, int>>& rows) {
  std::string text = std::string(31 - name.size(), ' ') + name;
  for (size_t i = 0; i < rows.size(); ++i)
    text += (i ? "\n" + std::string(31, ' ') : "") + " -" + rows[i].first + ": 0x" + std::to_string(rows[i].second);
  return text + "\n";
}
std::string Row(const char* title, double t, double v, double bias, double tx, double rx) {
  char row[128];
  snprintf(row, sizeof row, "\n%14s%10.2f%13.2f%12.2f%12.4f%12.4f\n", title, t, v, bias, tx, rx);
  return row;
}

const std::string kRule = "\n---------------------------------------------------------------------------------\n";
const std::string kZero8 = "0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 ";

std::string Expected() {
  const std::string pad(32, ' ');
  std::string t = kRule + "Media Information" + kRule;
  t += Line("Vendor", "KALTEX-OPTICS   ") + Line("Connector", "LC (Lucent Connector)") +
       Line("Media Type", "800-M5-SN-I") + Line("Part Number", "KX-SFP64-SW     ") +
       Line("Speed", "200 MBytes/Sec 400 MBytes/Sec 800 MBytes/Sec ") + Line("Revision", "A1  ") +
       Line("Serial Number", "KS2345000017    ") + Line("Identifier", "SFP/SFP+/SFP28 and later") +
       Line("Extended Compliance Codes", "Unspecified") +
       Line("Rate Identifier", "FC-PI-6 (32/16/8G Independent Rx, Tx Rate_Select)") +
       Line("Kaltex SFP Installed", "Yes") + kRule;
  t += "\n                 Temperature   Voltage     Tx Bias    Tx Power    Rx Power\n"
       "\n                     (C)         (V)        (mA)        (mW)        (mW)\n"
       "\n              --------------   -------     -------    --------    --------\n";
  t += Row("Value ", 33.5, 3.3, 14.0, 0.5, 0.4);
  t += "\n       Status     Normal       Normal      Normal      Normal      Normal\n";
  t += Row("High Alarm ", 80, 3.6, 30, 2.0, 2.0) + Row("High Warning ", 75, 3.5, 26, 1.6, 1.6) +
       Row("Low Warning ", -5, 3.1, 1, 0.02, 0.002) + Row("Low Alarm ", -10, 3.0, 0, 0.01, 0.001);

  t += "\nOptical Transceiver Digital Diagnostic Data:\n\nAddress A0\n";
  t += Line("Identifier", "SFP/SFP+/SFP28 and later") + Line("Extended Identifier", "GBIC/SFP defined by serial ID only") +
       Line("Connector", "LC (Lucent Connector)") + Line("Ethernet Speed", "") + Line("Compliance", "0x00 0x00 0x00 ") +
       Line("FC Link Length", "Intermediate Distance (I) ") + Line("FC Transmitter Tech", "Shortwave Laser w/o OFC (SN) ") +
       Line("FC Transmission Media", "Multi-mode 50m (M5) ") +
       Line("FC Speed", "200 MBytes/Sec 400 MBytes/Sec 800 MBytes/Sec ") + Line("Encoding", "8B10B") +
       Byte("BR, Nominal", 0x55) + Line("Rate Identifier", "FC-PI-6 (32/16/8G Independent Rx, Tx Rate_Select)") +
       Byte("Length (9um) - km", 0) + Byte("Length (9um)", 0) + Byte("Length (50um,OM2)", 3) +
       Byte("Length (62.5um,OM1)", 1) + Byte("Length (50um,OM4,Copper)", 0x0f) + Byte("Length (50um,OM3,Copper)", 7) +
       Line("Vendor name", "KALTEX-OPTICS    ") + Line("Extended Compliance Codes", "Unspecified") +
       Line("Vendor OUI", "0x00 0xc8 0xa1 ") + Line("Vendor PN", "KX-SFP64-SW      ") + Line("Vendor rev", "A1   ") +
       Line("Wavelength", "0x0352") + Line("FC Speed 2", "0x0") + Byte("CC_BASE", 0x7a);
  t += BitList("Optional Transceiver Signals:", {{"Linear Receiver Output Implemented", 0},
                                                 {"Power Level Declaration", 0}, {"Cooled Transceiver Declaration", 0},
                                                 {"Retimer or CDR indicator", 0}, {"Paging implemented indicator", 0},
                                                 {"High Power Level Declaration by bit 1", 0},
                                                 {"High Power Level Declaration by bits 1 and 5", 0},
                                                 {"Reserved", 0}});
  t += BitList("", {{"Signal Loss, as defined in SFP MSA", 1}, {"Signal Loss, inverted from SFP MSA", 0},
                    {"TX_FAULT signal implemented", 1}, {"TX_DISABLE implemented and disables serial o/p", 1},
                    {"RATE_SELECT implemented", 0}, {"Tunable transmitter technology", 0},
                    {"Receiver decision threshold implemented", 0}});
  t += Byte("Signaling Rate Max", 0) + Byte("Signaling Rate Min", 0) + Line("Vendor SN", "KS2345000017     ") +
       Line("Date code", "26052100 ");
  t += BitList("Diag Monitoring Type:", {{"Address change required", 0}, {"Power Measurement", 1},
                                         {"Externally Calibrated", 0}, {"Internally Calibrated", 1},
                                         {"Digital diag monitoring", 1}, {"Legacy diagnostic", 0}});
  t += BitList("Enhanced Options:", {{"Optional Soft Rate Select ctrl per SFF-8431", 0},
                                     {"Optional Application Select ctrl per SFF-8079", 0},
                                     {"Optional Soft RATE_SELECT ctrl and monitoring", 0},
                                     {"Optional Soft RX_LOS monitoring", 1}, {"Optional Soft TX_FAULT monitoring", 1},
                                     {"Optional Soft TX_DISABLE ctrl and monitoring", 1},
                                     {"Optional Alarm/warning flags", 1}});
  t += Line("SFF-8472 Compliance", "Includes functionality described in Rev 12.3 of SFF-8472") + Byte("CC_EXT", 0x9c);
  t += Label("Vendor Specific") + "0x4b 0x61 0x6c 0x74 0x65 0x78 0x00 0x00 \n" + pad + kZero8 + "\n" + pad + kZero8 +
       "\n" + pad + kZero8 + "\n";
  t += Line("SFP Firmware Version", "0x01 0x02 ") + Line("MCU Firmware Version", "0x00 0x00 ") +
       Line("DSP Firmware Version", "0x00 0x00 0x00 ");

  t += "\nAddress A2\n";
  const std::pair<const char*, const char*> thresholds[] = {
      {"Temp High Alarm", "0x5000"},           {"Temp Low Alarm", "0xf600"},
      {"Temp High Warning", "0x4b00"},         {"Temp Low Warning", "0xfb00"},
      {"Voltage High Alarm", "0x8ca0"},        {"Voltage Low Alarm", "0x7530"},
      {"Voltage High Warning", "0x88b8"},      {"Voltage Low Warning", "0x7918"},
      {"Bias High Alarm", "0x3a98"},           {"Bias Low Alarm", "0x0000"},
      {"Bias High Warning", "0x32c8"},         {"Bias Low Warning", "0x01f4"},
      {"TX Signal Power High Alarm", "0x4e20"}, {"TX Signal Power Low Alarm", "0x0064"},
      {"TX Signal Power High Warning", "0x3e80"}, {"TX Signal Power Low Warning", "0x00c8"},
      {"RX Signal Power High Alarm", "0x4e20"}, {"RX Signal Power Low Alarm", "0x000a"},
      {"RX Signal Power High Warning", "0x3e80"}, {"RX Signal Power Low Warning", "0x0014"},
      {"Rx_PWR(4)", "0x00000000"},             {"Rx_PWR(3)", "0x00000000"},
      {"Rx_PWR(2)", "0x00000000"},             {"Rx_PWR(1)", "0x3f800000"},
      {"Rx_PWR(0)", "0x00000000"},             {"Tx_I(Slope)", "0x0100"},
      {"Tx_I(Offset)", "0x0000"},              {"Tx_PWR(Slope)", "0x0100"},
      {"Tx_PWR(Offset)", "0x0000"},            {"T(Slope)", "0x0100"},
      {"T(Offset)", "0x0000"},                 {"V(Slope)", "0x0100"},
      {"V(Offset)", "0x0000"},
  };
  for (const auto& [name, value] : thresholds) t += Line(name, value);
  const std::pair<const char*, int> live[] = {
      {"Checksum", 0x5d},     {"Temperature MSB", 0x21}, {"Temperature LSB", 0x80}, {"Vcc MSB", 0x80},
      {"Vcc LSB", 0xe8},      {"TX Bias MSB", 0x1b},     {"TX Bias LSB", 0x58},     {"TX Power MSB", 0x13},
      {"TX Power LSB", 0x88}, {"RX Power MSB", 0x0f},    {"RX Power LSB", 0xa0},    {"Reserved MSB", 0},
      {"Reserved LSB", 0},    {"Reserved MSB", 0},       {"Reserved LSB", 0},
  };
  for (const auto& [name, value] : live) t += Byte(name, value);
  t += BitList("Status/Control Bits:", {{"Data_Ready_Bar", 0}, {"LOS", 1}, {"TX Fault", 0},
                                        {"Soft RX Rate Select", 0}, {"RX Rate Select State", 0},
                                        {"Soft TX Disable", 0}, {"TX Disable State", 0}});
  t += BitList("", {{"EWRAP Control Bit", 0}, {"EWRAP FORWARD Control Bit", 0}, {"OWRAP Control Bit", 0},
                    {"OWRAP FORWARD Control Bit", 0}});
  t += BitList("", {{"TX Signal Power Low Alarm", 0}, {"TX Signal Power High Alarm", 0}, {"TX Bias Low Alarm", 0},
                    {"TX Bias High Alarm", 0}, {"Vcc Low Alarm", 0}, {"Vcc High Alarm", 0}, {"Temp Low Alarm", 0},
                    {"Temp High Alarm", 0}});
  t += BitList("", {{"RX Signal Power Low Alarm", 1}, {"RX Signal Power High Alarm", 0}});
  t += BitList("", {{"TX Signal Power Low Warning", 0}, {"TX Signal Power High Warning", 0},
                    {"TX Bias Low Warning", 0}, {"TX Bias High Warning", 0}, {"Vcc Low Warning", 0},
                    {"Vcc High Warning", 0}, {"Temp Low Warning", 0}, {"Temp High Warning", 0}});
  t += BitList("", {{"Reserved Warning", 0}, {"Reserved Warning", 0}, {"Reserved Warning", 0},
                    {"Reserved Warning", 0}, {"Reserved Warning", 0}, {"Reserved Warning", 0},
                    {"RX Signal Power Low Warning", 1}, {"RX Signal Power High Warning", 0}});
  t += BitList("Extended Module Control:", {{"Optional Power Level Select", 0},
                                            {"Optional Power Level Operation State", 0}, {"Power Level 4 Enable", 0},
                                            {"Soft RS(1) Select", 0}, {"Adaptive Input EQ Fail Flag", 0},
                                            {"Reserved", 0}, {"Reserved", 0}, {"Reserved", 0}});
  t += BitList("Extended Status Bytes:", {{"Optional Tx CDR Unlocked", 0}, {"64GFC Mode", 0},
                                          {"PAM4 Mode Rx Configured", 0}, {"PAM4 Mode Tx Configured", 0},
                                          {"Reserved", 0}, {"Reserved", 0}, {"Reserved", 0}});
  t += Line("Vendor Specific", kZero8);
  t += BitList("TP1 to TP4 EWRAP Control:", {{"EWRAP Disable", 0}, {"EWRAP Enable", 0}});
  t += BitList("TP3 to TP2 OWRAP Control:", {{"OWRAP Disable", 0}, {"OWRAP Enable", 0}});
  for (const char* name : {"Electrical Output Tx Tap Pre3", "Electrical Output Tx Tap Pre2",
                           "Electrical Output Tx Tap Pre1", "Electrical Output Tx Tap Main",
                           "Electrical Output Tx Tap Post1", "DSP Status Timing Control", "DSP Control",
                           "FC 64G Mode Control"}) t += Byte(name, 0);
  t += BitList("LSN Control:", {{"Train 64G", 0}, {"Train 32G", 0}, {"Fixed Speed Switch to 64G", 0}, {"Reserved", 0},
                                {"Reserved", 0}, {"Reserved", 0}, {"Client Rx Adaptation Reset", 0},
                                {"LSN Mode", 0}});
  t += Line("CDR Firmware Version", "0x00 0x00 0x00 ");
  for (const char* name :
       {"Laser Version", "TIA Version", "CDR Version", "HW Version", "MCU Version", "PLP API Version", "Debug MCU Version"})
    t += Byte(name, 0);
  return t;
}

}  // namespace

TEST(SfpDecoderText, AnSfpWithDigitalDiagnosticsDecodesInFull) {
  const std::vector<uint8_t> image = ModuleImage();
  std::vector<char> block(kDmiTextSize);
  const size_t length = DecodeSfpImage(image.data(), image.size(), block.data(), block.size());
  const std::string expected = Expected();
  const std::string text(block.data(), length);
  // Line by line first, so that a difference names its line.
  size_t a = 0, b = 0;
  while (a < expected.size() && b < text.size()) {
    const size_t ea = expected.find('\n', a), tb = text.find('\n', b);
    ASSERT_EQ(text.substr(b, tb - b), expected.substr(a, ea - a)) << "at byte " << b;
    if (ea == std::string::npos || tb == std::string::npos) break;
    a = ea + 1;
    b = tb + 1;
  }
  EXPECT_EQ(text, expected);
}
