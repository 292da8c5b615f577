#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/Inventory.h"

using namespace kxinv;

namespace {

PciIdentity Pci(uint16_t device, uint16_t subVendor = kxpci::AdapterVendorId, uint16_t subDevice = 0,
                uint16_t vendor = kxpci::AdapterVendorId) {
  return PciIdentity{vendor, device, subVendor, subDevice};
}

using Classifier = bool (*)(const PciIdentity&);
struct Named { const char* name; Classifier test; };
const Named kAllTests[] = {
    {"A", IsDeviceGroupA}, {"B", IsDeviceGroupB}, {"C", IsDeviceGroupC}, {"D", IsDeviceGroupD},
    {"E", IsDeviceGroupE}, {"F", IsDeviceGroupF}, {"G", IsDeviceGroupG}, {"H", IsDeviceGroupH},
    {"I", IsDeviceGroupI}, {"J", IsDeviceGroupJ}, {"K", IsDeviceGroupK}, {"OemA", IsOemVariantA},
    {"OemB", IsOemVariantB}, {"OemC", IsOemVariantC}, {"OemD", IsOemVariantD}, {"OemE", IsOemVariantE},
    {"OemF", IsOemVariantF}, {"OemG", IsOemVariantG},
};

}  // namespace

TEST(Classification, GroupCHoldsTwelveDeviceIdentifiers) {
  int count = 0;
  for (uint32_t dev = 0; dev <= 0xFFFF; ++dev) count += IsDeviceGroupC(Pci(static_cast<uint16_t>(dev)));
  EXPECT_EQ(count, 12);
  for (uint16_t id : kxpci::kGroupC) for (uint16_t bits : {0x000, 0x008, 0x100, 0x108})
      EXPECT_TRUE(IsDeviceGroupC(Pci(static_cast<uint16_t>(id | bits)))) << std::hex << (id | bits);
}

TEST(Classification, MasksAndSharedIdentifiers) {
  struct Row {
    uint16_t device;
    const char* groups;  // the device groups A-K that hold it
  } rows[] = {
      {kxpci::kGroupAFamily, "A"},
      {static_cast<uint16_t>(kxpci::kGroupAFamily | 0x800), "A"},
      {kxpci::kGroupAExtra, "A"}, {kxpci::kGroupB1, "B"}, {static_cast<uint16_t>(kxpci::kGroupB1 | 0x200), "B"},
      {static_cast<uint16_t>(kxpci::kGroupB2 | 0x100), "B"}, {kxpci::kGroupE, "DE"},
      {static_cast<uint16_t>(kxpci::kGroupE | 0x800), "DE"}, {kxpci::kGroupF, "DFI"}, {kxpci::kGroupG[1], "G"},
      {static_cast<uint16_t>(kxpci::kGroupG[0] | 0x10), "G"}, {kxpci::kGroupH, "H"},
      {static_cast<uint16_t>(kxpci::kGroupH + 1), "H"}, {static_cast<uint16_t>(kxpci::kGroupH + 2), ""},
      {kxpci::kGroupJ, "IJ"}, {static_cast<uint16_t>(kxpci::kGroupJ | 0x20), "I"}, {kxpci::kGroupK, "K"}, {0x1234, ""},
  };
  const Classifier groups[] = {IsDeviceGroupA, IsDeviceGroupB, IsDeviceGroupC, IsDeviceGroupD, IsDeviceGroupE, IsDeviceGroupF,
                         IsDeviceGroupG, IsDeviceGroupH, IsDeviceGroupI, IsDeviceGroupJ, IsDeviceGroupK};
  for (const Row& row : rows) {
    std::string held;
    for (int g = 0; g < 11; ++g) if (groups[g](Pci(row.device))) held += static_cast<char>('A' + g);
    EXPECT_EQ(held, row.groups) << std::hex << row.device;
  }
}

TEST(Classification, OemVariantsPairDevicesWithBoards) {
  using namespace kxpci;
  const uint16_t outside = OutsideMakerVendorId;
  auto sub = [](uint32_t subsys) { return static_cast<uint16_t>(subsys >> 16); };
  auto ven = [](uint32_t subsys) { return static_cast<uint16_t>(subsys & 0xFFFF); };
  struct Row { PciIdentity pci; const char* which; } rows[] = {
      {Pci(0x2230, AdapterVendorId, 0x0101), "OemA"},
      {Pci(0x2230, AdapterVendorId, 0x0111), ""},  // another identifier's board
      {Pci(0x2238, outside, 0x0137), "OemA"},      // A looks at sub only
      {Pci(0x2238, AdapterVendorId, 0x0201), "OemB"},
      {Pci(0x2238, outside, 0x0201), ""},          // B wants the Kaltex vendor for listed boards
      {Pci(0x223A, ven(kOemBOutsideBoard), sub(kOemBOutsideBoard)), "OemB"},
      {Pci(0x223C, ven(kOemBThirdBoard), sub(kOemBThirdBoard)), "OemB"},
      {Pci(0x223C, ven(kOemBOutsideBoard), sub(kOemBOutsideBoard)), ""},
      {Pci(kGroupE, ven(kOemCKaltexBoard), sub(kOemCKaltexBoard)), "OemC"},
      {Pci(kGroupE, ven(kOemCOutsideBoard), sub(kOemCOutsideBoard)), "OemC OemG"},
      {Pci(kGroupE, ven(kOemDOutsideBoard), sub(kOemDOutsideBoard)), "OemD"},
      {Pci(kGroupE | 0x800, ven(kOemDOutsideBoard), sub(kOemDOutsideBoard)), ""},  // exact device only
      {Pci(kGroupAFamily, ven(kOemEBoard), sub(kOemEBoard)), "OemE"},
      {Pci(kGroupAFamily, ven(kOemFBoard), sub(kOemFBoard)), "OemF"},
  };
  for (const Row& row : rows) {
    std::string held;
    for (const Named& t : kAllTests) {
      if (std::string(t.name).rfind("Oem", 0) != 0 || !t.test(row.pci)) continue;
      held += (held.empty() ? "" : " ") + std::string(t.name);
    }
    EXPECT_EQ(held, row.which) << std::hex << row.pci.device << " " << row.pci.subVendor << " " << row.pci.subDevice;
  }
}

TEST(Classification, EveryTestIsFalseForAForeignVendor) {
  for (uint32_t dev = 0; dev <= 0xFFFF; ++dev) for (const Named& t : kAllTests) {
      for (uint16_t subDevice : {0x0101, 0x0131, 0x0201, 0x0C01, 0x0C02})
        ASSERT_FALSE(t.test(Pci(static_cast<uint16_t>(dev), kxpci::AdapterVendorId, subDevice, 0x1234)))
            << t.name << " " << std::hex << dev;
    }
}

TEST(Records, AccessorsReadWhatTheLibraryLaidOut) {
  setenv("KXSIM_FIXTURE", KXFC_FIXTURE_DIR "/inventory-layout.json", 1);
  AdapterListRef list = GetAdapterList();
  ASSERT_TRUE(list);
  EXPECT_EQ(list.Count(), 2u);
  AdapterRef first = list.FirstAdapter();
  EXPECT_EQ(first.Model(), "KX3262");
  EXPECT_EQ(first.SerialNumber(), "SER-ONE");
  AdapterRef second = first.Next();
  EXPECT_EQ(second.SerialNumber(), "SER-TWO");
  EXPECT_FALSE(second.HasPorts());
  EXPECT_FALSE(second.Next());

  PhyPortRef port = first.FirstPort();
  EXPECT_EQ(port.PortNumber(), 1u);
  EXPECT_EQ(port.Next().PortNumber(), 0u);
  EXPECT_FALSE(port.Next().FirstEntry());

  PortEntryRef entry = port.FirstEntry();
  EXPECT_EQ(entry.Identifier(), "FC_21:00:00:c8:a1:00:00:01");
  EXPECT_EQ(FormatWwn(entry.NodeName()), "20:00:00:c8:a1:00:00:01");
  EXPECT_EQ(entry.HandleNumber(), 77u);
  EXPECT_EQ(entry.Handle(), static_cast<void*>(const_cast<uint8_t*>(entry.Raw() + 16)));
  EXPECT_EQ(entry.Pci().device, 0x2238);
  EXPECT_EQ(entry.Pci().subDevice, 0x0131);
  EXPECT_TRUE(IsOemVariantA(entry.Pci()));
  EXPECT_EQ(entry.CurrentSpeed(), 0x32u);
  EXPECT_EQ(entry.SupportedSpeeds(), 0x70);
  EXPECT_EQ(entry.PortId(), (std::array<uint8_t, 3>{0x0a, 0x0b, 0x0c}));
  EXPECT_EQ(entry.PortState(), 3);
  // A text that fills its room up to the next field is read whole.
  EXPECT_EQ(entry.DriverVersion(), "10.4.2.0-kaltex-esxi8.0u3-build.2026.12.05-01234567");
  EXPECT_EQ(entry.DriverVersion().size(), kxrec::kEntryCapabilityFlags - kxrec::kEntryDriverVersion - 1);
  EXPECT_EQ(entry.NvmeHostNqn(), "nqn.2026-01.com.kaltex:host");
  EXPECT_EQ(entry.PortInterfaceType(), 1);
  EXPECT_EQ(entry.TargetCount(), 2u);

  TargetRef target = entry.FirstTarget();
  EXPECT_EQ(FormatWwn(target.WWPN()), "50:00:00:00:00:00:00:01");
  EXPECT_TRUE(target.IsNvme());
  EXPECT_EQ(target.FirstLun().Number(), 7);
  EXPECT_EQ(target.FirstLun().Next().Number(), 65535);
  EXPECT_FALSE(target.FirstLun().Next().Next());
  EXPECT_FALSE(target.Next().IsNvme());
  EXPECT_FALSE(target.Next().FirstLun());

  PortEntryRef vport = entry.Next();
  EXPECT_TRUE(vport.IsVirtual());
  EXPECT_EQ(vport.Next().ProtocolType(), 2u);

  // The walk: FC entries only, in list order, and it stops when asked.
  std::vector<std::string> seen;
  ForEachFcPort(list, [&](const PortVisit& v) {
    seen.push_back(v.entry.Identifier() + "@" + v.adapter.SerialNumber() + "/" + std::to_string(v.phyPort.PortNumber()));
    return true;
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"FC_21:00:00:c8:a1:00:00:01@SER-ONE/1", "FC_21:00:00:c8:a1:00:00:02@SER-ONE/1"}));
  int visits = 0;
  ForEachFcPort(list, [&](const PortVisit&) { return ++visits < 1; });
  EXPECT_EQ(visits, 1);
  KXAPI_Uninitialize();
}

TEST(Exports, CallbacksBehaveAsTheLibraryExpects) {
  EXPECT_EQ(CoreMalloc(0), nullptr);
  EXPECT_EQ(CoreZMalloc(0), nullptr);
  auto* block = static_cast<unsigned char*>(CoreZMalloc(64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], 0);
  CoreFree(block);
  CoreFree(nullptr);
  for (const auto& [type, text] : {std::pair{1, "Info"}, {2, "Warning"}, {3, "Error"}, {100, "Debug"}, {4, "Unknown"}})
    EXPECT_STREQ(TranslateMessageTypeToString(type), text);
}
