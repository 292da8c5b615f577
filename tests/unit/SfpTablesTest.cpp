// The transceiver field tables and the built QSFP extended-identifier table.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "sfp/SfpTables.h"

using namespace sfp;

TEST(SfpTables, FieldTablesEndInTheTerminatorAndStayInsideTheImage) {
  for (const auto& [name, table] : {std::pair{"sfp", std::span<const IndxTbl>(kSfpFieldTable)},
                                    std::pair{"qsfp", std::span<const IndxTbl>(kQsfpFieldTable)}}) {
    const IndxTbl& end = table.back();
    EXPECT_EQ(end.Offset, kEndOffset) << name;
    EXPECT_EQ(end.data, nullptr) << name;
    for (size_t i = 0; i + 1 < table.size(); ++i) {
      const IndxTbl& e = table[i];
      EXPECT_NE(e.Offset, kEndOffset) << name << " entry " << i;
      // Every field lies inside the 512-byte image (a QSFP one inside page 00h).
      if (e.Offset != kHeadingOffset) {
        EXPECT_LE(e.Offset + e.size, name[0] == 'q' ? 256 : 512) << e.name;
      }
      // A bit list without a table would print a label with no line end.
      if (e.type == SFP_FIELD_BIT_LIST) {
        EXPECT_NE(e.data, nullptr) << name << " entry " << i;
      }
    }
  }
}

TEST(SfpTables, QsfpExtendedIdentifierRowsFollowTheirRule) {
  const std::pair<uint16_t, const char*> rows[] = {
      {0, "Power Class 1"},   {1, "Power Class 5"},   {2, "Power Class 6"},
      {3, "Power Class 7"},   {4, "CDR in Rx, Power Class 1"},
      {8, "CDR in Tx, Power Class 1"},                {12, "CDR in Rx, CDR in Tx, Power Class 1"},
      {16, "CLEI code, Power Class 1"},               {31, "CLEI code, CDR in Rx, CDR in Tx, Power Class 7"},
      {64, "Power Class 2"},  {96, "Power Class 2"},  {128, "Power Class 3"},
      {160, "Power Class 3"}, {196, "CDR in Rx, Power Class 4"},
      {252, "CLEI code, CDR in Rx, CDR in Tx, Power Class 4"},
  };
  for (const auto& [value, text] : rows) {
    const DataTable* found = nullptr;
    for (const DataTable& row : kQsfpExtendedIdentifierCodes)
      if (row.Value == value) found = &row;
    ASSERT_NE(found, nullptr) << value;
    EXPECT_STREQ(found->text, text) << value;
  }
  // Ascending values: 0-31, then the multiples of 4 from 64, then the terminator; nothing else has a row.
  ASSERT_EQ(kQsfpExtendedIdentifierCodes.size(), 81u);
  for (size_t i = 0; i < 80; ++i)
    EXPECT_EQ(kQsfpExtendedIdentifierCodes[i].Value, i < 32 ? i : 64 + 4 * (i - 32)) << i;
  EXPECT_EQ(kQsfpExtendedIdentifierCodes[80].Value, kEndValue);
}
