// The D-Port report straight from record bytes, laid out as the library
// writes them (offsets and byte order written out here, not taken from the
// shared header).
#include <gtest/gtest.h>

#include "diag/PhysicalPortDPortDiagCmdsProcessor.h"

namespace {

struct Patch { size_t offset; std::vector<uint8_t> bytes; };

// Latency 0x01020304 ns and distance 85 m (big-endian), HBA value 0x1f (host order),
// powers (big-endian, 0.1 uW): remote Rx 100, remote Tx 1, local Rx 10, local Tx 1000.
std::string Text(std::vector<Patch> patches, bool second = true) {
  const std::vector<Patch> base = {{8, {1, 2, 3, 4}}, {12, {0, 0, 0, 0x55}}, {52, {0x1f, 0, 0, 0}}, {196, {0, 100}},
                                   {198, {0, 1}},     {202, {0, 10}},       {204, {0x03, 0xe8}}};
  patches.insert(patches.begin(), base.begin(), base.end());
  DPortRecord record{};
  for (const Patch& p : patches) std::copy(p.bytes.begin(), p.bytes.end(), record.begin() + p.offset);
  return DPortResultText(record, second);
}

}  // namespace

TEST(DPortReport, DecodesTheRecord) {
  struct Row {
    const char* situation;
    std::vector<Patch> patches;
    std::string expected;  // a run of lines the report holds
  } rows[] = {
      {"byte order", {{56, {1}}, {192, {0x34, 0x12}}, {194, {0x02, 0}}},
       "      HBA Port Value: 0x1f\n      HBA Port Status: 1\n      HBA Port Result: Passed\n"},
      {"powers and mailbox", {{56, {1}}, {192, {0x34, 0x12}}, {194, {0x02, 0}}},
       "      Tx Power: 0x3e8\n      Rx Power: 0xa\n      Mbx1: 0x1234\n      Mbx2: 0x2\n"
       "      Roundtrip Link Latency: 16909060 ns\n      Cable Link Distance: 85 meters\n"},
      {"zero local Rx reads 0 dBm", {{56, {1}}, {202, {0, 0}}}, "Ingress Power: Tx: -40.000000 dBm, Rx: 0.000000 dBm"},
      {"reason above 6", {{56, {3}}, {192, {0x02, 0}}, {194, {0x09, 0}}},
       "      Reason: Unknown\n      Roundtrip Link Latency: 16909060 ns\n      Cable Link Distance: 85 meters\n"
       "      Allowable Power Loss: 0\n      Egress Power: Tx: 0.000000 dBm, Rx: 0.000000 dBm"},
      {"no reason unless Mbx1 says so", {{56, {3}}, {192, {0x01, 0}}, {194, {0x05, 0}}},
       "      Rx Power: 0xa\n      Roundtrip Link Latency: 16909060 ns\n"},
  };
  for (const Row& row : rows)
    EXPECT_NE(Text(row.patches).find(row.expected), std::string::npos) << row.situation << "\n" << Text(row.patches);
}

TEST(DPortReport, FirstInterfaceShowsTheTestsOnly) {
  const std::string text = Text({{56, {1}}, {64, {'a', '\n'}}, {128, {'b', '\n'}}}, false);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 14);
  EXPECT_EQ(text.rfind("      Link Traffic Result: Not Started\n"), text.size() - 39);
}
