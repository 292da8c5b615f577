// The adapter report texts read straight from library records laid out byte by
// byte, so that a field read at the wrong offset shows.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "adapter/AdapterFlashInfoCmdsProcessor.h"
#include "adapter/AdapterInfoCmdsProcessor.h"

namespace {

struct Record {
  explicit Record(size_t size) : bytes(size, 0) {}
  void Text(size_t at, const char* text) { std::memcpy(bytes.data() + at, text, std::strlen(text)); }
  void U16(size_t at, uint16_t v) { std::memcpy(bytes.data() + at, &v, 2); }
  void U32(size_t at, uint32_t v) { std::memcpy(bytes.data() + at, &v, 4); }
  void Bytes(size_t at, std::initializer_list<uint8_t> v) { std::copy(v.begin(), v.end(), bytes.begin() + at); }
  std::vector<uint8_t> bytes;
};

template <class T> T As(const Record& r) {
  T value;
  std::memcpy(&value, r.bytes.data(), sizeof value);
  return value;
}

}  // namespace

TEST(AdapterReport, InfoReadsEveryAdapterFieldAtItsOffset) {
  Record adapter(400);
  adapter.Text(0, "SER-0");
  adapter.U32(32, 7);
  adapter.Text(36, "Maker");
  adapter.U16(116, 0x1116);
  adapter.U16(118, 0x1118);
  adapter.U16(120, 0x1120);
  adapter.U16(122, 0x22);
  adapter.Text(156, "MODEL-156");
  adapter.Text(188, "bios-188");
  adapter.Text(220, "fcode-220");
  adapter.Text(252, "efi-252");
  adapter.Text(284, "fw-284");
  adapter.Text(316, "mb-316");
  adapter.U32(348, 348);
  Record entry(2688);
  entry.U16(28, 0xCA1E);
  entry.U16(30, 0x2230);  // group C: every version line
  entry.U16(34, 0x0101);

  Record versions(252);
  // Every sixth byte from 19: major and minor name the record offset (1.09 is at 19).
  for (size_t at = 19; at <= 61; at += 6) versions.Bytes(at, {static_cast<uint8_t>(at / 10), static_cast<uint8_t>(at % 10), 0});
  Record memo(48);
  memo.Text(0, "FMBS");
  memo.Bytes(16, {16, 17, 18});

  AdapterLookup found;
  found.adapter = kxinv::AdapterRef(adapter.bytes.data());
  found.fcEntry = kxinv::PortEntryRef(entry.bytes.data());
  EXPECT_EQ(AdapterInfoCmdsProcessor::AdapterInfoText(found, As<KXAPI_FLASH_COMPONENT_VERSION>(versions),
                                                      As<KXAPI_FLASH_MEMO_BLOCK>(memo)), "Manufacturer: Maker\n"
            "      Model: MODEL-156\n"
            "      Serial Number: SER-0\n"
            "      Vendor ID: 0x1116\n"
            "      Device ID: 0x2230\n"
            "      Subsystem Device ID: 0x1120\n"
            "      Subsystem Vendor ID: 0x1118\n"
            "      PCI Bus ID: 0x22\n"
            "      Chip Revision: 348\n"
            "      Type: iSCSI CNA\n"
            "      Multiboot Version: mb-316\n"
            "      Flash Firmware Version: fw-284\n"
            "      Flash BIOS Version: bios-188\n"
            "      Flash FCode Version: fcode-220\n"
            "      Flash EFI Version: efi-252\n"
            "      Flash Preload Firmware Area Version: 3.07.00\n"
            "      Flash FC Board Config Version: 4.03.00\n"
            "      Flash MPI Firmware Version: 4.09.00\n"
            "      Flash PEP Firmware Version: 1.09.00\n"
            "      Flash PEP Board Config Version: 3.01.00\n"
            "      Flash PEP SoftROM Version: 2.05.00\n"
            "      Flash MPI SoftROM Version: 5.05.00\n"
            "      Flash PCIE Serdes Version: 6.01.00\n"
            "      Family Firmware Version: 16.17.18\n");
}

TEST(AdapterReport, FlashInfoReadsEveryMemoFieldAtItsOffset) {
  Record memo(48);
  memo.Text(0, "FMBS");
  memo.Bytes(16, {0, 0, 9});
  memo.Bytes(20, {20, 21, 22});
  memo.Text(24, "20311224");
  memo.Text(32, "esxc");
  memo.U16(36, 2036);
  memo.Bytes(38, {1, 2, 3, 4, 5});
  memo.Bytes(44, {44, 45, 46, 47});
  EXPECT_EQ(AdapterFlashInfoCmdsProcessor::FlashInfoText(As<KXAPI_FLASH_MEMO_BLOCK>(memo)), "MBI Version: 20.21.22\n"
            "      MBI Build Date: 2031-12-24\n"
            "      Flash Tool ID: Kaltex FC ESXCLI Plugin\n"
            "      Flash Tool Version: 44.45.46.47\n"
            "      Last Update Time: 2036-01-02 03:04:05\n"
            "      Family Firmware Version: 00.00.09\n");
}

TEST(AdapterReport, FlashToolCodesCompareWholeFourCharacters) {
  const struct { char code[4]; const char* name; } rows[] = {
      {{'K', 'X', 'F', 'L'}, "Kaltex Flash Utility"}, {{'k', 'x', 'f', 'l'}, "Kaltex Flash Utility"},
      {{'K', 'X', 'F', '\0'}, "Unknown"}, {{'K', 'X', 'F', 'M'}, "Unknown"}};
  for (const auto& [code, name] : rows) EXPECT_STREQ(AdapterFlashInfoCmdsProcessor::FlashToolName(code), name);
}
