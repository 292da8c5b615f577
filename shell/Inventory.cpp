#include "shell/Inventory.h"

#include "runtime/Digits.h"

namespace kxinv {

std::string TextAt(const uint8_t* record, size_t offset, size_t maxLen) {
  const char* text = reinterpret_cast<const char*>(record + offset);
  return std::string(text, strnlen(text, maxLen));
}

std::string FormatWwn(const Bytes8& w) {
  std::string text;
  kxdigits::AppendWwn(text, w);
  return text;
}

std::string PortEntryRef::Identifier() const {
  std::string text = "FC_";
  kxdigits::AppendWwn(text, WWPN());
  return text;
}

PciIdentity PortEntryRef::Pci() const {
  PciIdentity pci;
  pci.vendor = ReadAt<uint16_t>(p_, kxrec::kEntryPciIdentity);
  pci.device = ReadAt<uint16_t>(p_, kxrec::kEntryPciIdentity + 2);
  pci.subVendor = ReadAt<uint16_t>(p_, kxrec::kEntryPciIdentity + 4);
  pci.subDevice = ReadAt<uint16_t>(p_, kxrec::kEntryPciIdentity + 6);
  return pci;
}

PortEntryRef PhyPortRef::FirstEntry() const {
  const uint8_t* list = PointerAt(p_, kxrec::kPhyPortProtocolList);
  return PortEntryRef(list ? PointerAt(list, kxrec::kProtocolListFirst) : nullptr);
}

PhyPortRef AdapterRef::FirstPort() const {
  const uint8_t* list = PointerAt(p_, kxrec::kAdapterPhyPortList);
  return PhyPortRef(list ? PointerAt(list, kxrec::kPhyPortListFirst) : nullptr);
}

AdapterListRef GetAdapterList() { return AdapterListRef(KXAPI_GetAdapterList()); }

void ForEachFcPort(AdapterListRef list, const std::function<bool(const PortVisit&)>& visit) {
  if (!list) return;
  for (AdapterRef adapter = list.FirstAdapter(); adapter; adapter = adapter.Next()) {
    if (!adapter.HasPorts()) continue;
    for (PhyPortRef port = adapter.FirstPort(); port; port = port.Next()) {
      for (PortEntryRef entry = port.FirstEntry(); entry; entry = entry.Next()) {
        if (!entry.IsFibreChannel()) continue;
        if (!visit(PortVisit{adapter, port, entry})) return;
      }
    }
  }
}

// ---- classification ----

namespace {

using namespace kxpci;

bool Kaltex(const PciIdentity& pci) { return pci.vendor == AdapterVendorId; }

bool InBoardList(const OemBoardList& list, uint16_t sub) {
  for (uint16_t i = 0; i < list.count; ++i)
    if (list.sub[i] == sub) return true;
  return false;
}

}  // namespace

bool IsDeviceGroupA(const PciIdentity& p) {
  return Kaltex(p) && ((p.device & 0xF7FF) == kGroupAFamily || p.device == kGroupAExtra);
}

bool IsDeviceGroupB(const PciIdentity& p) {
  return Kaltex(p) && ((p.device & 0xFDFF) == kGroupB1 || (p.device & 0xFEFF) == kGroupB2);
}

bool IsDeviceGroupC(const PciIdentity& p) {
  if (!Kaltex(p)) return false;
  for (uint16_t id : kGroupC)
    if ((p.device & 0xFEF7) == id) return true;
  return false;
}

bool IsDeviceGroupD(const PciIdentity& p) { return IsDeviceGroupE(p) || IsDeviceGroupF(p); }
bool IsDeviceGroupE(const PciIdentity& p) { return Kaltex(p) && (p.device & 0xF7FF) == kGroupE; }
bool IsDeviceGroupF(const PciIdentity& p) { return Kaltex(p) && (p.device & 0xF7FF) == kGroupF; }

bool IsDeviceGroupG(const PciIdentity& p) {
  return Kaltex(p) && ((p.device & 0xFFEF) == kGroupG[0] || (p.device & 0xFFEF) == kGroupG[1]);
}

bool IsDeviceGroupH(const PciIdentity& p) {
  return Kaltex(p) && (p.device == kGroupH || p.device == kGroupH + 1);
}

bool IsDeviceGroupI(const PciIdentity& p) {
  return Kaltex(p) && ((p.device & 0xFFDF) == kGroupJ || IsDeviceGroupF(p));
}

bool IsDeviceGroupJ(const PciIdentity& p) { return Kaltex(p) && p.device == kGroupJ; }
bool IsDeviceGroupK(const PciIdentity& p) { return Kaltex(p) && p.device == kGroupK; }

bool IsOemVariantA(const PciIdentity& p) {
  if (!Kaltex(p)) return false;
  for (const OemBoardList& list : kOemVariantA)
    if (list.device == p.device && InBoardList(list, p.subDevice)) return true;
  return false;
}

bool IsOemVariantB(const PciIdentity& p) {
  if (!Kaltex(p)) return false;
  for (const OemBoardList& list : kOemVariantB) {
    if (list.device != p.device) continue;
    return (p.subVendor == AdapterVendorId && InBoardList(list, p.subDevice)) || p.Subsys() == kOemBOutsideBoard;
  }
  return p.device == kOemVariantBThirdDevice && p.Subsys() == kOemBThirdBoard;
}

bool IsOemVariantC(const PciIdentity& p) {
  return Kaltex(p) && p.device == kGroupE && (p.Subsys() == kOemCKaltexBoard || p.Subsys() == kOemCOutsideBoard);
}

bool IsOemVariantD(const PciIdentity& p) {
  return Kaltex(p) && p.device == kGroupE && p.Subsys() == kOemDOutsideBoard;
}

bool IsOemVariantE(const PciIdentity& p) {
  return Kaltex(p) && p.device == kGroupAFamily && p.Subsys() == kOemEBoard;
}

bool IsOemVariantF(const PciIdentity& p) {
  return Kaltex(p) && p.device == kGroupAFamily && p.Subsys() == kOemFBoard;
}

bool IsOemVariantG(const PciIdentity& p) {
  return Kaltex(p) && p.device == kGroupE && p.Subsys() == kOemGBoard;
}

}  // namespace kxinv
