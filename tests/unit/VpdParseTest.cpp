// The walk over a PCI VPD image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "portcfg/PhysicalPortVPDCmdsProcessor.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Field(const char* kw, const std::string& data) {
  return Cat({{static_cast<uint8_t>(kw[0]), static_cast<uint8_t>(kw[1]), static_cast<uint8_t>(data.size())}, Text(data)});
}

TEST(VpdParse, Images) {
  struct Case { const char* name; Bytes image; VpdMap expected; };
  const Case cases[] = {
      {"identifier string of 16 characters", Cat({{0x82, 0x10, 0x00}, Text("KX3262 Dual Port"), {0x78}}),
       {{"PI", "KX3262 Dual Port"}}},
      {"read-only and read-write areas, RV and RW as hex",
       Cat({{0x82, 0x02, 0x00}, Text("ID"), {0x90, 0x20, 0x00}, Field("PN", "P-1"), Field("RV", "\x5a"),
            {0x91, 0x10, 0x00}, Field("RW", "\x07\x01"), {0x78}}),
       {{"PI", "ID"}, {"PN", "P-1"}, {"RV", "5a"}, {"RW", "07"}}},
      {"a later keyword replaces an earlier one",
       Cat({{0x90, 0, 0}, Field("SN", "first"), Field("SN", "second"), {0x78}}),
       {{"SN", "second"}}},
      {"the end tag stops the walk", Cat({{0x90, 0, 0}, Field("EC", "A1"), {0x78}, Field("PN", "after")}),
       {{"EC", "A1"}}},
      {"a keyword length past the image ends the walk, earlier fields stay",
       Cat({{0x90, 0, 0}, Field("PN", "P-1"), {'S', 'N', 0xFF}, Text("short")}),
       {{"PN", "P-1"}}},
      {"an identifier length past the image", Cat({{0x82, 0xFF, 0xFF}, Text("abc")}), {}},
      {"a field header cut by the image end", Cat({{0x90, 0, 0}, Field("PN", "P"), {'S', 'N'}}), {{"PN", "P"}}},
      {"an area tag at the very end", Cat({{0x90, 0, 0}, Field("V0", "x"), {0x91}}), {{"V0", "x"}}},
      {"data stops at a NUL", Cat({{0x90, 0, 0}, Field("MN", std::string("ab\0cd", 5))}), {{"MN", "ab"}}},
  };
  for (const Case& c : cases) {
    // The vector is exactly the image, so a read past it is a sanitizer finding.
    EXPECT_EQ(MapVpdData(c.image.data(), c.image.size()), c.expected) << c.name;
  }
}

// The names themselves show in the end-to-end VPD report; here only what it cannot show.
TEST(VpdParse, KeywordNamesMatchExactly) {
  EXPECT_STREQ(VpdKeywordName("PN"), "Part Number");
  for (const char* unnamed : {"", "pn", "P"}) EXPECT_EQ(VpdKeywordName(unnamed), nullptr) << unnamed;
}

}  // namespace
