// Field and value tables of the transceiver decoder: one field table per
// module family (SFP pages A0 and A2, QSFP upper page 00h) naming every byte
// range of the 512-byte module image and how it is shown, and the value tables
// that turn its codes or bits into words. Constant data, read like SFF-8472 and
// SFF-8636 read; the texts are the ones this tool has always printed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace sfp {

// How a field is shown.
enum SfpFieldType : uint16_t {
  SFP_FIELD_BIT_NAMES = 92,   // label, the texts of all set bits ("0x0" for 0)
  SFP_FIELD_HEADER = 93,      // the name alone (a heading)
  SFP_FIELD_SKIP = 94,        // reserved bytes, not shown
  SFP_FIELD_BIT_LIST = 95,    // every bit of the table on a line of its own, 0 or 1
  SFP_FIELD_BYTE_CODE = 96,   // label, the text of the row equal to the byte
  SFP_FIELD_HEX4 = 97,        // label, 0x and 8 hex digits
  SFP_FIELD_HEX2 = 98,        // label, 0x and 4 hex digits
  SFP_FIELD_HEX_DUMP = 99,    // label, 0xNN per byte, 8 a line
  SFP_FIELD_STRING = 100,     // label, the bytes as text
};

inline constexpr uint16_t kHeadingOffset = 0xFFFE;  // a heading entry, no data
inline constexpr uint16_t kEndOffset = 0xFFFF;      // ends a field table
inline constexpr uint16_t kEndValue = 0xFFFF;       // ends a value table

// A code (byte-code fields) or a bit mask (bit fields) and its text.
struct DataTable {
  uint16_t Value;
  const char* text;
};

// One field of a module's image.
struct IndxTbl {
  uint16_t Offset;
  const char* name;
  const DataTable* data;
  uint16_t size;
  uint16_t type;
};

inline constexpr DataTable kEnd = {kEndValue, ""};

// ---- value tables ------------------------------------------------------------------

inline constexpr DataTable kIdentifierCodes[] = {
    {0, "Unknown or unspecified"}, {1, "GBIC"}, {2, "Module/connector soldered to motherboard"},
    {3, "SFP/SFP+/SFP28 and later"}, {4, "300 pin XBI"}, {5, "XENPAK"}, {6, "XFP"}, {7, "XFF"},
    {8, "XFP-E"}, {9, "XPAK"}, {10, "X2"}, {11, "DWDM-SFP/SFP+"}, {12, "QSFP"}, {13, "QSFP+"},
    {14, "CXP"}, {15, "Shielded Mini Multilane HD 4X"}, {16, "Shielded Mini Multilane HD 8X"},
    {17, "QSFP28"}, {18, "CXP2"}, {19, "CDFP"}, {20, "Shielded Mini Multilane HD 4X Fanout Cable"},
    {21, "Shielded Mini Multilane HD 8X Fanout Cable"}, {22, "CDFP"}, {23, "microQSFP"},
    {24, "QSFP-DD Duoble Density 8X Pluggable Transceiver"}, kEnd,
};

inline constexpr DataTable kSfpExtendedIdentifierCodes[] = {
    {0, "GBIC definition is not specified"}, {1, "GBIC is compliant with MOD_DEF 1"},
    {2, "GBIC is compliant with MOD_DEF 2"}, {3, "GBIC is compliant with MOD_DEF 3"},
    {4, "GBIC/SFP defined by serial ID only"}, {5, "GBIC is compliant with MOD_DEF 5"},
    {6, "GBIC is compliant with MOD_DEF 6"}, {7, "GBIC is compliant with MOD_DEF 7"}, kEnd,
};

// QSFP extended identifier (SFF-8636 byte 129): a row for 0-31 and for every
// multiple of 4 from 64 to 252, its text composed from the bits.
namespace detail {

inline constexpr size_t kQsfpExtIdRows = 80;
struct QsfpExtIdText {
  char text[56];
};

constexpr uint16_t QsfpExtIdValue(size_t row) {
  return static_cast<uint16_t>(row < 32 ? row : 64 + 4 * (row - 32));
}

constexpr std::array<QsfpExtIdText, kQsfpExtIdRows> BuildQsfpExtIdTexts() {
  std::array<QsfpExtIdText, kQsfpExtIdRows> rows{};
  for (size_t i = 0; i < kQsfpExtIdRows; ++i) {
    const unsigned v = QsfpExtIdValue(i);
    char* out = rows[i].text;
    size_t n = 0;
    auto put = [&](const char* s) {
      while (*s) out[n++] = *s++;
    };
    if (v & 0x10) put("CLEI code, ");
    if (v & 0x04) put("CDR in Rx, ");
    if (v & 0x08) put("CDR in Tx, ");
    put("Power Class ");
    constexpr char kLowClass[] = {'1', '5', '6', '7'};
    constexpr char kHighClass[] = {'2', '3', '4'};
    const unsigned high = (v >> 6) & 3;
    out[n++] = high == 0 ? kLowClass[v & 3] : kHighClass[high - 1];
    out[n] = '\0';
  }
  return rows;
}

inline constexpr std::array<QsfpExtIdText, kQsfpExtIdRows> kQsfpExtIdTexts = BuildQsfpExtIdTexts();

constexpr std::array<DataTable, kQsfpExtIdRows + 1> BuildQsfpExtIdRows() {
  std::array<DataTable, kQsfpExtIdRows + 1> rows{};
  for (size_t i = 0; i < kQsfpExtIdRows; ++i) rows[i] = {QsfpExtIdValue(i), kQsfpExtIdTexts[i].text};
  rows[kQsfpExtIdRows] = kEnd;
  return rows;
}

}  // namespace detail

inline constexpr std::array<DataTable, detail::kQsfpExtIdRows + 1> kQsfpExtendedIdentifierCodes =
    detail::BuildQsfpExtIdRows();

inline constexpr DataTable kConnectorCodes[] = {
    {0x00, "Unknown or unspecified"}, {0x01, "SC (Subscriber Connector)"},
    {0x02, "Fibre Channel Style 1 copper connector"}, {0x03, "Fibre Channel Style 2 copper connector"},
    {0x04, "BNC/TNC"}, {0x05, "Fibre Channel coaxial headers"}, {0x06, "FibreJack"},
    {0x07, "LC (Lucent Connector)"}, {0x08, "MT-RJ"}, {0x09, "MU"}, {0x0A, "SG"}, {0x0B, "Optical pigtail"},
    {0x0C, "MPO 1x12"}, {0x0D, "MPO 2x16"}, {0x20, "HSSDC II"}, {0x21, "Copper Pigtail"}, {0x22, "RJ45"},
    {0x23, "No separable connector"}, {0x24, "MXC 2x16"}, {0x25, "CS optical connector"},
    {0x26, "SN optical connector"}, {0x27, "MPO 2x12"}, {0x28, "MPO 1x16"}, kEnd,
};

inline constexpr DataTable kSfpEthernetSpeedWords[] = {
    {0x10, "10 Gbits/Sec"}, {0x20, "10 Gbits/Sec"}, {0x40, "10 Gbits/Sec"}, {0x80, "10 Gbits/Sec"}, kEnd,
};

inline constexpr DataTable kSfpEncodingCodes[] = {
    {0, "Unspecified"}, {1, "8B10B"}, {2, "4B5B"}, {3, "NRZ"}, {4, "Manchester"},
    {5, "SONET Scrambled"}, {6, "64B66B"}, {7, "256B257B"}, {8, "PAM4"}, kEnd,
};

inline constexpr DataTable kQsfpEncodingCodes[] = {
    {0, "Unspecified"}, {1, "8B10B"}, {2, "4B5B"}, {3, "NRZ"}, {4, "SONET Scrambled"},
    {5, "64B66B"}, {6, "Manchester"}, {7, "256B257B"}, {8, "PAM4"}, kEnd,
};

inline constexpr DataTable kRateIdentifierCodes[] = {
    {0x00, "Unspecified"},
    {0x01, "SFF-8079 (4/2/1G Rate_Select & AS0/AS1)"},
    {0x02, "SFF-8431 (8/4/2G Rx Rate_Select only)"},
    {0x03, "Unspecified"},
    {0x04, "SFF-8431 (8/4/2G Tx Rate_Select only)"},
    {0x05, "Unspecified"},
    {0x06, "SFF-8431 (8/4/2G Independent Rx & Tx Rate_select)"},
    {0x07, "Unspecified"},
    {0x08, "FC-PI-5 (16/8/4G Rx Rate_select only)"},
    {0x09, "Unspecified"},
    {0x0A, "FC-PI-5 (16/8/4G Independent Rx, Tx Rate_select"},
    {0x0B, "Unspecified"},
    {0x0C, "FC-PI-6 (32/16/8G Independent Rx, Tx Rate_Select)"},
    {0x0D, "Unspecified"},
    {0x0E, "10/8G Rx and Tx Rate_Select"},
    {0x0F, "Unspecified"},
    {0x10, "FC-PI-7 (64/32/16G Independent Rx, Tx Rate Select)"},
    {0x11, "Unspecified"},
    {0x20, "Rate select based on PMDs as defined by A0h, byte 36 and A2h, byte 67 (Rx, Tx Rate Select)"},
    kEnd,
};

inline constexpr DataTable kExtendedComplianceCodes[] = {
    {0x00, "Unspecified"}, {0x7F, "256GFC-SW4 (FC-PI-7P)"}, {0x80, "64GFC (FC-PI-7)"}, {0x81, "128GFC (FC-PI-8)"},
    kEnd,
};

inline constexpr DataTable kSff8472ComplianceCodes[] = {
    {0, "Digital diag not included or undefined"},
    {1, "Includes functionality described in Rev 9.3 of SFF-8472"},
    {2, "Includes functionality described in Rev 9.5 of SFF-8472"},
    {3, "Includes functionality described in Rev 10.2 of SFF-8472"},
    {4, "Includes functionality described in Rev 10.4 of SFF-8472"},
    {5, "Includes functionality described in Rev 11.0 of SFF-8472"},
    {6, "Includes functionality described in Rev 11.3 of SFF-8472"},
    {7, "Includes functionality described in Rev 11.4 of SFF-8472"},
    {8, "Includes functionality described in Rev 12.3 of SFF-8472"},
    {9, "Includes functionality described in Rev 12.4 of SFF-8472"},
    kEnd,
};

inline constexpr DataTable kExtendedEthernetSpeedCodes[] = {
    {0, "Unspecified"}, {1, "100 Gbit/Sec or 25 Gbit/Sec"}, {2, "100 Gbit/Sec or 25 Gbit/Sec"},
    {3, "100 Gbit/Sec or 25 Gbit/Sec"}, {4, "100 Gbit/Sec or 25 Gbit/Sec"}, {5, "100 Gbit/Sec"},
    {6, "100 Gbit/Sec"}, {7, "100 Gbit/Sec"}, {8, "100 Gbit/Sec"}, {9, "Obsolete"}, {10, "Reserved"},
    {11, "100 Gbit/Sec or 25 Gbit/Sec"}, {12, "25 Gbit/Sec"}, {13, "25 Gbit/Sec"}, {14, "Reserved"},
    {15, "Reserved"}, {16, "40 Gbit/Sec"}, {17, "10 Gbit/Sec"}, {18, "40 Gbit/Sec"}, {19, "G959.1"},
    {20, "G959.1"}, {21, "G959.1"}, {22, "10 Gbit/Sec"}, {23, "100 Gbit/Sec"}, {24, "100 Gbit/Sec"},
    {25, "100 Gbit/Sec"}, {26, "100 Gbit/Sec"}, {27, "Reserved"}, kEnd,
};

inline constexpr DataTable kFcLinkLengthBits[] = {
    {0x01, "Electrical-InterEnclosure (EL)"}, {0x02, "Longwave Laser (LS)"},
    {0x04, "Shortwave Laser, linear Rx (SA)"}, {0x08, "Medium distance (M))"}, {0x10, "Long Distance (L)"},
    {0x20, "Intermediate Distance (I)"}, {0x40, "Short Distance (S)"}, {0x80, "Very Long Distance (V)"}, kEnd,
};

inline constexpr DataTable kFcTransmitterTechBits[] = {
    {0x01, " "}, {0x02, "Copper FC-BaseT (LR1/LR2/LR3)"}, {0x04, "Copper Passive (IR1/IR2)"},
    {0x08, "Copper Active (SR1/SR2)"}, {0x10, "Longwave Laser (LL)"}, {0x20, "Shortwave Laser w/ OFC (SL)"},
    {0x40, "Shortwave Laser w/o OFC (SN)"}, {0x80, "Electrical Intra-Enclosure (EL)"}, kEnd,
};

inline constexpr DataTable kFcTransmissionMediaBits[] = {
    {0x01, "Single Mode (SM)"}, {0x04, "Multi-mode 50m (M5)"}, {0x08, "Multi-mode 62.5m (M6)"},
    {0x10, "Video Coax (TV)"}, {0x20, "Minimiature Coax (MI)"}, {0x40, "Shielded Twisted Pair (TP)"},
    {0x80, "Twin Axial Pair (TW)"}, kEnd,
};

inline constexpr DataTable kFcSpeedBits[] = {
    {0x01, "100 MBytes/Sec"}, {0x04, "200 MBytes/Sec"}, {0x08, "3200 MBytes/Sec"}, {0x10, "400 MBytes/Sec"},
    {0x20, "1600 MBytes/Sec"}, {0x40, "800 MBytes/Sec"}, {0x80, "1200 MBytes/Sec"}, kEnd,
};

inline constexpr DataTable kFcSpeed2Bits[] = {
    {0x01, "6400 MBytes/Sec"}, {0x02, "12800 MBytes/Sec"}, kEnd,
};

inline constexpr DataTable kTransceiverSignals64Bits[] = {
    {0x01, "Linear Receiver Output Implemented"}, {0x02, "Power Level Declaration"},
    {0x04, "Cooled Transceiver Declaration"}, {0x08, "Retimer or CDR indicator"},
    {0x10, "Paging implemented indicator"}, {0x20, "High Power Level Declaration by bit 1"},
    {0x40, "High Power Level Declaration by bits 1 and 5"}, {0x80, "Reserved"}, kEnd,
};

inline constexpr DataTable kTransceiverSignals65Bits[] = {
    {0x02, "Signal Loss, as defined in SFP MSA"}, {0x04, "Signal Loss, inverted from SFP MSA"},
    {0x08, "TX_FAULT signal implemented"}, {0x10, "TX_DISABLE implemented and disables serial o/p"},
    {0x20, "RATE_SELECT implemented"}, {0x40, "Tunable transmitter technology"},
    {0x80, "Receiver decision threshold implemented"}, kEnd,
};

inline constexpr DataTable kSfpDiagMonitoringTypeBits[] = {
    {0x04, "Address change required"}, {0x08, "Power Measurement"}, {0x10, "Externally Calibrated"},
    {0x20, "Internally Calibrated"}, {0x40, "Digital diag monitoring"}, {0x80, "Legacy diagnostic"}, kEnd,
};

inline constexpr DataTable kSfpEnhancedOptionsBits[] = {
    {0x02, "Optional Soft Rate Select ctrl per SFF-8431"}, {0x04, "Optional Application Select ctrl per SFF-8079"},
    {0x08, "Optional Soft RATE_SELECT ctrl and monitoring"}, {0x10, "Optional Soft RX_LOS monitoring"},
    {0x20, "Optional Soft TX_FAULT monitoring"}, {0x40, "Optional Soft TX_DISABLE ctrl and monitoring"},
    {0x80, "Optional Alarm/warning flags"}, kEnd,
};

inline constexpr DataTable kQsfpOptions1Bits[] = {
    {0x01, "Rx Output Amplitude Fixed Programmable Settings"}, {0x02, "Rx Output Emphasis Fixed Programmable Settings"},
    {0x04, "Tx Input Equalization Fixed Programmable Settings"}, {0x08, "Tx Input Equalization Auto Adaptive Capable"},
    kEnd,
};

inline constexpr DataTable kQsfpOptions2Bits[] = {
    {0x01, "Tx Squelch implemented"}, {0x02, "Tx Squelch Disable implemented"}, {0x04, "Rx Output Disable capable"},
    {0x08, "Rx Squelch Disable implemented"}, {0x10, "Rx CDR Loss of Lock Flag implemented"},
    {0x20, "Tx CDR Loss of Lock Flag implemented"}, {0x40, "Rx CDR On/Off Control implemented"},
    {0x80, "Tx CDR On/Off Control implemented"}, kEnd,
};

inline constexpr DataTable kQsfpOptions3Bits[] = {
    {0x02, "Tx Loss of Signal implemented"}, {0x04, "Tx Squelch implemented"}, {0x08, "TX_FAULT signal implemented"},
    {0x10, "TX_DISABLE implemented and disables serial o/p"}, {0x20, "RATE_SELECT implemented"},
    {0x40, "Memory Page 01h provided"}, {0x80, "Memory Page 02h provided"}, kEnd,
};

inline constexpr DataTable kQsfpDiagMonitoringTypeBits[] = {
    {0x04, "Transmitter Power Measurement"}, {0x08, "Received Power Measurement"}, kEnd,
};

inline constexpr DataTable kQsfpEnhancedOptionsBits[] = {
    {0x04, "Application Select Table Declaration"}, {0x08, "Rate Selection Declaration"},
    {0x10, "Initialization Complete Flag implemented"}, kEnd,
};

inline constexpr DataTable kStatusControlBits[] = {
    {0x01, "Data_Ready_Bar"}, {0x02, "LOS"}, {0x04, "TX Fault"}, {0x08, "Soft RX Rate Select"},
    {0x10, "RX Rate Select State"}, {0x40, "Soft TX Disable"}, {0x80, "TX Disable State"}, kEnd,
};

inline constexpr DataTable kWrapControlBits[] = {
    {0x01, "EWRAP Control Bit"}, {0x02, "EWRAP FORWARD Control Bit"}, {0x04, "OWRAP Control Bit"},
    {0x08, "OWRAP FORWARD Control Bit"}, kEnd,
};

inline constexpr DataTable kAlarmFlags368[] = {
    {0x01, "TX Signal Power Low Alarm"}, {0x02, "TX Signal Power High Alarm"}, {0x04, "TX Bias Low Alarm"},
    {0x08, "TX Bias High Alarm"}, {0x10, "Vcc Low Alarm"}, {0x20, "Vcc High Alarm"}, {0x40, "Temp Low Alarm"},
    {0x80, "Temp High Alarm"}, kEnd,
};

inline constexpr DataTable kAlarmFlags369[] = {
    {0x40, "RX Signal Power Low Alarm"}, {0x80, "RX Signal Power High Alarm"}, kEnd,
};

inline constexpr DataTable kWarningFlags372[] = {
    {0x01, "TX Signal Power Low Warning"}, {0x02, "TX Signal Power High Warning"}, {0x04, "TX Bias Low Warning"},
    {0x08, "TX Bias High Warning"}, {0x10, "Vcc Low Warning"}, {0x20, "Vcc High Warning"},
    {0x40, "Temp Low Warning"}, {0x80, "Temp High Warning"}, kEnd,
};

inline constexpr DataTable kWarningFlags373[] = {
    {0x01, "Reserved Warning"}, {0x02, "Reserved Warning"}, {0x04, "Reserved Warning"}, {0x08, "Reserved Warning"},
    {0x10, "Reserved Warning"}, {0x20, "Reserved Warning"}, {0x40, "RX Signal Power Low Warning"},
    {0x80, "RX Signal Power High Warning"}, kEnd,
};

inline constexpr DataTable kExtendedModuleControlBits[] = {
    {0x01, "Optional Power Level Select"}, {0x02, "Optional Power Level Operation State"},
    {0x04, "Power Level 4 Enable"}, {0x08, "Soft RS(1) Select"}, {0x10, "Adaptive Input EQ Fail Flag"},
    {0x20, "Reserved"}, {0x40, "Reserved"}, {0x80, "Reserved"}, kEnd,
};

inline constexpr DataTable kExtendedStatusBits[] = {
    {0x02, "Optional Tx CDR Unlocked"}, {0x04, "64GFC Mode"}, {0x08, "PAM4 Mode Rx Configured"},
    {0x10, "PAM4 Mode Tx Configured"}, {0x20, "Reserved"}, {0x40, "Reserved"}, {0x80, "Reserved"}, kEnd,
};

inline constexpr DataTable kEwrapBits[] = {{0x01, "EWRAP Disable"}, {0x02, "EWRAP Enable"}, kEnd};
inline constexpr DataTable kOwrapBits[] = {{0x01, "OWRAP Disable"}, {0x02, "OWRAP Enable"}, kEnd};

inline constexpr DataTable kLsnControlBits[] = {
    {0x01, "Train 64G"}, {0x02, "Train 32G"}, {0x04, "Fixed Speed Switch to 64G"}, {0x08, "Reserved"},
    {0x10, "Reserved"}, {0x20, "Reserved"}, {0x40, "Client Rx Adaptation Reset"}, {0x80, "LSN Mode"}, kEnd,
};

// Used only by the "Media Information" summary.
inline constexpr DataTable kMediaSpeedNumbers[] = {
    {0x01, "100"}, {0x04, "200"}, {0x08, "3200"}, {0x10, "400"}, {0x20, "1600"}, {0x40, "800"}, {0x80, "1200"}, kEnd,
};

inline constexpr DataTable kMediaSpeed2Numbers[] = {{0x01, "6400"}, {0x02, "12800"}, kEnd};

inline constexpr DataTable kQsfpEthernetSpeedBits[] = {
    {0x01, "40 Gbits/Sec"}, {0x02, "40 Gbits/Sec"}, {0x04, "40 Gbits/Sec"}, {0x08, "40 Gbits/Sec"},
    {0x10, "10 Gbits/Sec"}, {0x20, "10 Gbits/Sec"}, {0x40, "10 Gbits/Sec"}, {0x80, "Extended"}, kEnd,
};

inline constexpr DataTable kMediaShortNames[] = {
    {0x01, "SM"}, {0x02, " "}, {0x04, "M5"}, {0x08, "M6"}, {0x10, "TV"}, {0x20, "MI"}, {0x40, "TP"}, {0x80, "TW"}, kEnd,
};

inline constexpr DataTable kTransmitterShortNames[] = {
    {0x01, " "}, {0x02, "LR"}, {0x04, "IR"}, {0x08, "SR"}, {0x10, "LL"}, {0x20, "SL"}, {0x40, "SN"}, {0x80, "EL"}, kEnd,
};

inline constexpr DataTable kLinkLengthShortNames[] = {
    {0x01, "EL"}, {0x02, "LS"}, {0x04, "SA"}, {0x08, "M"}, {0x10, "L"}, {0x20, "I"}, {0x40, "S"}, {0x80, "V"}, kEnd,
};

// ---- field tables ---------------------------------------------------------------------

inline constexpr IndxTbl kFieldEnd = {kEndOffset, "", nullptr, 0, SFP_FIELD_HEX_DUMP};

// SFP: page A0 in image bytes 0-255, page A2 in 256-511 (A2 byte n is image byte 256 + n).
inline constexpr IndxTbl kSfpFieldTable[] = {
    {kHeadingOffset, "\nOptical Transceiver Digital Diagnostic Data:", nullptr, 0, SFP_FIELD_HEADER},
    {kHeadingOffset, "\nAddress A0", nullptr, 0, SFP_FIELD_HEADER},
    {0, "Identifier", kIdentifierCodes, 1, SFP_FIELD_BYTE_CODE},
    {1, "Extended Identifier", kSfpExtendedIdentifierCodes, 1, SFP_FIELD_BYTE_CODE},
    {2, "Connector", kConnectorCodes, 1, SFP_FIELD_BYTE_CODE},
    {3, "Ethernet Speed", kSfpEthernetSpeedWords, 1, SFP_FIELD_BYTE_CODE},
    {4, "Compliance", nullptr, 3, SFP_FIELD_HEX_DUMP},
    {7, "FC Link Length", kFcLinkLengthBits, 1, SFP_FIELD_BIT_NAMES},
    {8, "FC Transmitter Tech", kFcTransmitterTechBits, 1, SFP_FIELD_BIT_NAMES},
    {9, "FC Transmission Media", kFcTransmissionMediaBits, 1, SFP_FIELD_BIT_NAMES},
    {10, "FC Speed", kFcSpeedBits, 1, SFP_FIELD_BIT_NAMES},
    {11, "Encoding", kSfpEncodingCodes, 1, SFP_FIELD_BYTE_CODE},
    {12, "BR, Nominal", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {13, "Rate Identifier", kRateIdentifierCodes, 1, SFP_FIELD_BYTE_CODE},
    {14, "Length (9um) - km", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {15, "Length (9um)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {16, "Length (50um,OM2)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {17, "Length (62.5um,OM1)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {18, "Length (50um,OM4,Copper)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {19, "Length (50um,OM3,Copper)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {20, "Vendor name", nullptr, 16, SFP_FIELD_STRING},
    {36, "Extended Compliance Codes", kExtendedComplianceCodes, 1, SFP_FIELD_BYTE_CODE},
    {37, "Vendor OUI", nullptr, 3, SFP_FIELD_HEX_DUMP},
    {40, "Vendor PN", nullptr, 16, SFP_FIELD_STRING},
    {56, "Vendor rev", nullptr, 4, SFP_FIELD_STRING},
    {60, "Wavelength", nullptr, 2, SFP_FIELD_HEX2},
    {62, "FC Speed 2", kFcSpeed2Bits, 1, SFP_FIELD_BIT_NAMES},
    {63, "CC_BASE", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {64, "Optional Transceiver Signals:", kTransceiverSignals64Bits, 1, SFP_FIELD_BIT_LIST},
    {65, "", kTransceiverSignals65Bits, 1, SFP_FIELD_BIT_LIST},
    {66, "Signaling Rate Max", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {67, "Signaling Rate Min", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {68, "Vendor SN", nullptr, 16, SFP_FIELD_STRING},
    {84, "Date code", nullptr, 8, SFP_FIELD_STRING},
    {92, "Diag Monitoring Type:", kSfpDiagMonitoringTypeBits, 1, SFP_FIELD_BIT_LIST},
    {93, "Enhanced Options:", kSfpEnhancedOptionsBits, 1, SFP_FIELD_BIT_LIST},
    {94, "SFF-8472 Compliance", kSff8472ComplianceCodes, 1, SFP_FIELD_BYTE_CODE},
    {95, "CC_EXT", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {96, "Vendor Specific", nullptr, 32, SFP_FIELD_HEX_DUMP},
    {149, "SFP Firmware Version", nullptr, 2, SFP_FIELD_HEX_DUMP},
    {249, "MCU Firmware Version", nullptr, 2, SFP_FIELD_HEX_DUMP},
    {251, "DSP Firmware Version", nullptr, 3, SFP_FIELD_HEX_DUMP},
    {kHeadingOffset, "\nAddress A2", nullptr, 0, SFP_FIELD_HEADER},
    {256, "Temp High Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {258, "Temp Low Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {260, "Temp High Warning", nullptr, 2, SFP_FIELD_HEX2},
    {262, "Temp Low Warning", nullptr, 2, SFP_FIELD_HEX2},
    {264, "Voltage High Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {266, "Voltage Low Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {268, "Voltage High Warning", nullptr, 2, SFP_FIELD_HEX2},
    {270, "Voltage Low Warning", nullptr, 2, SFP_FIELD_HEX2},
    {272, "Bias High Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {274, "Bias Low Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {276, "Bias High Warning", nullptr, 2, SFP_FIELD_HEX2},
    {278, "Bias Low Warning", nullptr, 2, SFP_FIELD_HEX2},
    {280, "TX Signal Power High Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {282, "TX Signal Power Low Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {284, "TX Signal Power High Warning", nullptr, 2, SFP_FIELD_HEX2},
    {286, "TX Signal Power Low Warning", nullptr, 2, SFP_FIELD_HEX2},
    {288, "RX Signal Power High Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {290, "RX Signal Power Low Alarm", nullptr, 2, SFP_FIELD_HEX2},
    {292, "RX Signal Power High Warning", nullptr, 2, SFP_FIELD_HEX2},
    {294, "RX Signal Power Low Warning", nullptr, 2, SFP_FIELD_HEX2},
    {296, "", nullptr, 16, SFP_FIELD_SKIP},
    {312, "Rx_PWR(4)", nullptr, 4, SFP_FIELD_HEX4},
    {316, "Rx_PWR(3)", nullptr, 4, SFP_FIELD_HEX4},
    {320, "Rx_PWR(2)", nullptr, 4, SFP_FIELD_HEX4},
    {324, "Rx_PWR(1)", nullptr, 4, SFP_FIELD_HEX4},
    {328, "Rx_PWR(0)", nullptr, 4, SFP_FIELD_HEX4},
    {332, "Tx_I(Slope)", nullptr, 2, SFP_FIELD_HEX2},
    {334, "Tx_I(Offset)", nullptr, 2, SFP_FIELD_HEX2},
    {336, "Tx_PWR(Slope)", nullptr, 2, SFP_FIELD_HEX2},
    {338, "Tx_PWR(Offset)", nullptr, 2, SFP_FIELD_HEX2},
    {340, "T(Slope)", nullptr, 2, SFP_FIELD_HEX2},
    {342, "T(Offset)", nullptr, 2, SFP_FIELD_HEX2},
    {344, "V(Slope)", nullptr, 2, SFP_FIELD_HEX2},
    {346, "V(Offset)", nullptr, 2, SFP_FIELD_HEX2},
    {348, "", nullptr, 3, SFP_FIELD_SKIP},
    {351, "Checksum", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {352, "Temperature MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {353, "Temperature LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {354, "Vcc MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {355, "Vcc LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {356, "TX Bias MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {357, "TX Bias LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {358, "TX Power MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {359, "TX Power LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {360, "RX Power MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {361, "RX Power LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {362, "Reserved MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {363, "Reserved LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {364, "Reserved MSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {365, "Reserved LSB", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {366, "Status/Control Bits:", kStatusControlBits, 1, SFP_FIELD_BIT_LIST},
    {367, "", kWrapControlBits, 1, SFP_FIELD_BIT_LIST},
    {368, "", kAlarmFlags368, 1, SFP_FIELD_BIT_LIST},
    {369, "", kAlarmFlags369, 1, SFP_FIELD_BIT_LIST},
    {370, "", nullptr, 1, SFP_FIELD_SKIP},
    {371, "", nullptr, 1, SFP_FIELD_SKIP},
    {372, "", kWarningFlags372, 1, SFP_FIELD_BIT_LIST},
    {373, "", kWarningFlags373, 1, SFP_FIELD_BIT_LIST},
    {374, "Extended Module Control:", kExtendedModuleControlBits, 1, SFP_FIELD_BIT_LIST},
    {375, "Extended Status Bytes:", kExtendedStatusBits, 1, SFP_FIELD_BIT_LIST},
    {376, "Vendor Specific", nullptr, 8, SFP_FIELD_HEX_DUMP},
    {386, "TP1 to TP4 EWRAP Control:", kEwrapBits, 1, SFP_FIELD_BIT_LIST},
    {389, "TP3 to TP2 OWRAP Control:", kOwrapBits, 1, SFP_FIELD_BIT_LIST},
    {480, "Electrical Output Tx Tap Pre3", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {481, "Electrical Output Tx Tap Pre2", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {482, "Electrical Output Tx Tap Pre1", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {483, "Electrical Output Tx Tap Main", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {484, "Electrical Output Tx Tap Post1", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {496, "DSP Status Timing Control", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {497, "DSP Control", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {500, "FC 64G Mode Control", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {501, "LSN Control:", kLsnControlBits, 1, SFP_FIELD_BIT_LIST},
    {502, "CDR Firmware Version", nullptr, 3, SFP_FIELD_HEX_DUMP},
    {505, "Laser Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {506, "TIA Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {507, "CDR Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {508, "HW Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {509, "MCU Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {510, "PLP API Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {511, "Debug MCU Version", nullptr, 1, SFP_FIELD_HEX_DUMP},
    kFieldEnd,
};

// QSFP: the serial-ID fields of upper page 00h, image bytes 128-255; no A2 page.
inline constexpr IndxTbl kQsfpFieldTable[] = {
    {kHeadingOffset, "\nOptical Transceiver Digital Diagnostic Data:", nullptr, 0, SFP_FIELD_HEADER},
    {kHeadingOffset, "\nAddress A0", nullptr, 0, SFP_FIELD_HEADER},
    {128, "Identifier", kIdentifierCodes, 1, SFP_FIELD_BYTE_CODE},
    {129, "Extended Identifier", kQsfpExtendedIdentifierCodes.data(), 1, SFP_FIELD_BYTE_CODE},
    {130, "Connector", kConnectorCodes, 1, SFP_FIELD_BYTE_CODE},
    {131, "Ethernet Speed", nullptr, 1, SFP_FIELD_BYTE_CODE},
    {132, "Compliance", nullptr, 3, SFP_FIELD_HEX_DUMP},
    {135, "FC Link Length", kFcLinkLengthBits, 1, SFP_FIELD_BIT_NAMES},
    {136, "FC Transmitter Tech", kFcTransmitterTechBits, 1, SFP_FIELD_BIT_NAMES},
    {137, "FC Transmission Media", kFcTransmissionMediaBits, 1, SFP_FIELD_BIT_NAMES},
    {138, "FC Speed", kFcSpeedBits, 1, SFP_FIELD_BIT_NAMES},
    {139, "Encoding", kQsfpEncodingCodes, 1, SFP_FIELD_BYTE_CODE},
    {140, "BR, Nominal", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {141, "", nullptr, 1, SFP_FIELD_SKIP},
    {142, "Length (SMF) - km", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {143, "Length (OM3 50um)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {144, "Length (OM2 50um)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {145, "Length (OM1 62.5um)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {146, "Length (Copper)", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {147, "", nullptr, 1, SFP_FIELD_SKIP},
    {148, "Vendor name", nullptr, 16, SFP_FIELD_STRING},
    {164, "", nullptr, 1, SFP_FIELD_SKIP},
    {165, "Vendor OUI", nullptr, 3, SFP_FIELD_HEX_DUMP},
    {168, "Vendor PN", nullptr, 16, SFP_FIELD_STRING},
    {184, "Vendor rev", nullptr, 2, SFP_FIELD_STRING},
    {186, "Wavelength", nullptr, 2, SFP_FIELD_HEX2},
    {188, "", nullptr, 2, SFP_FIELD_SKIP},
    {190, "", nullptr, 1, SFP_FIELD_SKIP},
    {191, "CC_BASE", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {192, "Extended Ethernet Speed", kExtendedEthernetSpeedCodes, 1, SFP_FIELD_BYTE_CODE},
    {193, "Options 1:", kQsfpOptions1Bits, 1, SFP_FIELD_BIT_LIST},
    {194, "Options 2:", kQsfpOptions2Bits, 1, SFP_FIELD_BIT_LIST},
    {195, "Options 3:", kQsfpOptions3Bits, 1, SFP_FIELD_BIT_LIST},
    {196, "Vendor SN", nullptr, 16, SFP_FIELD_STRING},
    {212, "Date code", nullptr, 8, SFP_FIELD_STRING},
    {220, "Diag Monitoring Type:", kQsfpDiagMonitoringTypeBits, 1, SFP_FIELD_BIT_LIST},
    {221, "Enhanced Options:", kQsfpEnhancedOptionsBits, 1, SFP_FIELD_BIT_LIST},
    {222, "BR, Nominal", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {223, "CC_EXT", nullptr, 1, SFP_FIELD_HEX_DUMP},
    {224, "Vendor Specific", nullptr, 32, SFP_FIELD_HEX_DUMP},
    kFieldEnd,
};

}  // namespace sfp
