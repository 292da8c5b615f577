// The transceiver field and value tables: sizes, terminators and the built
// QSFP extended-identifier table.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "sfp/SfpTables.h"

using namespace sfp;

namespace {

template <size_t N>
std::span<const DataTable> All(const DataTable (&table)[N]) {
  return {table, N};
}

// Rows before the terminator; -1 when the table has no terminator row at its end.
int RowCount(std::span<const DataTable> table) {
  if (table.empty() || table.back().Value != kEndValue) return -1;
  for (size_t i = 0; i + 1 < table.size(); ++i)
    if (table[i].Value == kEndValue) return -1;
  return static_cast<int>(table.size()) - 1;
}

}  // namespace

TEST(SfpTables, ValueTablesHaveTheirRowCountsAndATerminator) {
  struct Case {
    const char* name;
    std::span<const DataTable> table;
    int rows;
  };
  const Case cases[] = {
      {"identifier", All(kIdentifierCodes), 25},
      {"sfp extended identifier", All(kSfpExtendedIdentifierCodes), 8},
      {"qsfp extended identifier", kQsfpExtendedIdentifierCodes, 80},
      {"connector", All(kConnectorCodes), 23},
      {"sfp ethernet speed", All(kSfpEthernetSpeedWords), 4},
      {"sfp encoding", All(kSfpEncodingCodes), 9},
      {"qsfp encoding", All(kQsfpEncodingCodes), 9},
      {"rate identifier", All(kRateIdentifierCodes), 19},
      {"extended compliance", All(kExtendedComplianceCodes), 4},
      {"sff-8472 compliance", All(kSff8472ComplianceCodes), 10},
      {"extended ethernet speed", All(kExtendedEthernetSpeedCodes), 28},
      {"fc link length", All(kFcLinkLengthBits), 8},
      {"fc transmitter", All(kFcTransmitterTechBits), 8},
      {"fc media", All(kFcTransmissionMediaBits), 7},
      {"fc speed", All(kFcSpeedBits), 7},
      {"fc speed 2", All(kFcSpeed2Bits), 2},
      {"signals 64", All(kTransceiverSignals64Bits), 8},
      {"signals 65", All(kTransceiverSignals65Bits), 7},
      {"sfp diag type", All(kSfpDiagMonitoringTypeBits), 6},
      {"sfp enhanced", All(kSfpEnhancedOptionsBits), 7},
      {"qsfp options 1", All(kQsfpOptions1Bits), 4},
      {"qsfp options 2", All(kQsfpOptions2Bits), 8},
      {"qsfp options 3", All(kQsfpOptions3Bits), 7},
      {"qsfp diag type", All(kQsfpDiagMonitoringTypeBits), 2},
      {"qsfp enhanced", All(kQsfpEnhancedOptionsBits), 3},
      {"status/control", All(kStatusControlBits), 7},
      {"wrap control", All(kWrapControlBits), 4},
      {"alarm 368", All(kAlarmFlags368), 8},
      {"alarm 369", All(kAlarmFlags369), 2},
      {"warning 372", All(kWarningFlags372), 8},
      {"warning 373", All(kWarningFlags373), 8},
      {"extended module control", All(kExtendedModuleControlBits), 8},
      {"extended status", All(kExtendedStatusBits), 7},
      {"ewrap", All(kEwrapBits), 2},
      {"owrap", All(kOwrapBits), 2},
      {"lsn control", All(kLsnControlBits), 8},
      {"media speed numbers", All(kMediaSpeedNumbers), 7},
      {"media speed 2 numbers", All(kMediaSpeed2Numbers), 2},
      {"qsfp ethernet speed", All(kQsfpEthernetSpeedBits), 8},
      {"media short names", All(kMediaShortNames), 8},
      {"transmitter short names", All(kTransmitterShortNames), 8},
      {"link length short names", All(kLinkLengthShortNames), 8},
  };
  for (const Case& c : cases) EXPECT_EQ(RowCount(c.table), c.rows) << c.name;
}

TEST(SfpTables, FieldTablesHaveTheirEntryCountsAndEndInTheTerminator) {
  struct Case {
    const char* name;
    std::span<const IndxTbl> table;
    size_t entries;  // without the terminator
  };
  const Case cases[] = {{"sfp", kSfpFieldTable, 123}, {"qsfp", kQsfpFieldTable, 40}};
  for (const Case& c : cases) {
    ASSERT_EQ(c.table.size(), c.entries + 1) << c.name;
    const IndxTbl& end = c.table.back();
    EXPECT_EQ(end.Offset, kEndOffset) << c.name;
    EXPECT_STREQ(end.name, "") << c.name;
    EXPECT_EQ(end.data, nullptr) << c.name;
    EXPECT_EQ(end.size, 0) << c.name;
    EXPECT_EQ(end.type, SFP_FIELD_HEX_DUMP) << c.name;
    for (size_t i = 0; i + 1 < c.table.size(); ++i) {
      const IndxTbl& e = c.table[i];
      EXPECT_NE(e.Offset, kEndOffset) << c.name << " entry " << i;
      // Every field lies inside the 512-byte image (a QSFP one inside page 00h).
      if (e.Offset != kHeadingOffset) {
        EXPECT_LE(e.Offset + e.size, c.name[0] == 'q' ? 256 : 512) << e.name;
      }
      // A bit list without a table would print a label with no line end.
      if (e.type == SFP_FIELD_BIT_LIST) {
        EXPECT_NE(e.data, nullptr) << c.name << " entry " << i;
      }
    }
  }
}

TEST(SfpTables, QsfpExtendedIdentifierRowsFollowTheirRule) {
  const struct {
    uint16_t value;
    const char* text;
  } cases[] = {
      {0, "Power Class 1"},
      {1, "Power Class 5"},
      {2, "Power Class 6"},
      {3, "Power Class 7"},
      {4, "CDR in Rx, Power Class 1"},
      {8, "CDR in Tx, Power Class 1"},
      {12, "CDR in Rx, CDR in Tx, Power Class 1"},
      {16, "CLEI code, Power Class 1"},
      {31, "CLEI code, CDR in Rx, CDR in Tx, Power Class 7"},
      {64, "Power Class 2"},
      {96, "Power Class 2"},
      {128, "Power Class 3"},
      {160, "Power Class 3"},
      {196, "CDR in Rx, Power Class 4"},
      {252, "CLEI code, CDR in Rx, CDR in Tx, Power Class 4"},
  };
  for (const auto& c : cases) {
    const DataTable* found = nullptr;
    for (const DataTable& row : kQsfpExtendedIdentifierCodes)
      if (row.Value == c.value) found = &row;
    ASSERT_NE(found, nullptr) << c.value;
    EXPECT_STREQ(found->text, c.text) << c.value;
  }
  // Ascending values: 0-31, then the multiples of 4 from 64; nothing else has a row.
  for (size_t i = 0; i < 80; ++i) {
    const uint16_t expected = static_cast<uint16_t>(i < 32 ? i : 64 + 4 * (i - 32));
    EXPECT_EQ(kQsfpExtendedIdentifierCodes[i].Value, expected) << i;
  }
  for (uint16_t missing : {32, 63, 65, 66, 67, 253, 255})
    for (size_t i = 0; i < 80; ++i) EXPECT_NE(kQsfpExtendedIdentifierCodes[i].Value, missing);
}

TEST(SfpTables, EachFamilyPointsItsFieldsAtItsOwnValueTables) {
  auto find = [](std::span<const IndxTbl> table, uint16_t offset) -> const IndxTbl& {
    for (const IndxTbl& e : table)
      if (e.Offset == offset) return e;
    return table.back();
  };
  EXPECT_EQ(find(kSfpFieldTable, 1).data, kSfpExtendedIdentifierCodes);
  EXPECT_EQ(find(kQsfpFieldTable, 129).data, kQsfpExtendedIdentifierCodes.data());
  EXPECT_EQ(find(kSfpFieldTable, 11).data, kSfpEncodingCodes);
  EXPECT_EQ(find(kQsfpFieldTable, 139).data, kQsfpEncodingCodes);
  EXPECT_EQ(find(kSfpFieldTable, 3).data, kSfpEthernetSpeedWords);
  EXPECT_EQ(find(kQsfpFieldTable, 131).data, nullptr);
  EXPECT_EQ(find(kSfpFieldTable, 65).data, kTransceiverSignals65Bits);
  EXPECT_EQ(find(kSfpFieldTable, 373).data, kWarningFlags373);
  EXPECT_EQ(find(kQsfpFieldTable, 220).data, kQsfpDiagMonitoringTypeBits);
  EXPECT_EQ(find(kSfpFieldTable, 92).data, kSfpDiagMonitoringTypeBits);
}
