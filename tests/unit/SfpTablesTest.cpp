// The built QSFP extended-identifier table.
#include <gtest/gtest.h>

#include <string>

#include "sfp/SfpTables.h"

using namespace sfp;

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
    for (const DataTable& row : kQsfpExtendedIdentifierCodes) if (row.Value == value) found = &row;
    ASSERT_NE(found, nullptr) << value;
    EXPECT_STREQ(found->text, text) << value;
  }
  // Ascending values: 0-31, then the multiples of 4 from 64, then the terminator; nothing else has a row.
  ASSERT_EQ(kQsfpExtendedIdentifierCodes.size(), 81u);
  for (size_t i = 0; i < 80; ++i) EXPECT_EQ(kQsfpExtendedIdentifierCodes[i].Value, i < 32 ? i : 64 + 4 * (i - 32)) << i;
  EXPECT_EQ(kQsfpExtendedIdentifierCodes[80].Value, kEndValue);
}
