// Read-only views of the library's inventory records and the walk over them.
//
// Every resolver and family reads records through these views; none reads a
// raw offset of its own. The records belong to the library: views never change
// or free them and are only valid during the command that fetched the list.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "shell/KxApi.h"

namespace kxinv {

template <class T>
T ReadAt(const uint8_t* record, size_t offset) {
  T value{};
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

inline const uint8_t* PointerAt(const uint8_t* record, size_t offset) {
  return ReadAt<const uint8_t*>(record, offset);
}

using Bytes8 = std::array<uint8_t, 8>;

// An all-zero name: none given, or none known.
inline bool IsZero(const Bytes8& wwn) { return wwn == Bytes8{}; }

// Text field of at most maxLen bytes (stops at the first NUL).
std::string TextAt(const uint8_t* record, size_t offset, size_t maxLen);

// "aa:bb:cc:dd:ee:ff:00:11", lower-case.
std::string FormatWwn(const Bytes8& wwn);

// The first eight bytes of the PCI identity block.
struct PciIdentity {
  uint16_t vendor = 0;
  uint16_t device = 0;
  uint16_t subVendor = 0;
  uint16_t subDevice = 0;
  uint32_t Subsys() const { return kxpci::Subsys(subVendor, subDevice); }
};

class LunRef {
 public:
  explicit LunRef(const uint8_t* p) : p_(p) {}
  explicit operator bool() const { return p_ != nullptr; }
  const uint8_t* Raw() const { return p_; }
  uint16_t Number() const { return ReadAt<uint16_t>(p_, kxrec::kLunNumber); }
  std::string VendorId() const { return TextAt(p_, kxrec::kLunVendorId, kxrec::kLunVendorIdSize); }
  std::string ProductId() const { return TextAt(p_, kxrec::kLunProductId, kxrec::kLunProductIdSize); }
  std::string ProductRevision() const { return TextAt(p_, kxrec::kLunProductRevision, kxrec::kLunProductRevisionSize); }
  std::array<uint8_t, kxrec::kLunUniqueIdSize> UniqueId() const {
    return ReadAt<std::array<uint8_t, kxrec::kLunUniqueIdSize>>(p_, kxrec::kLunUniqueId);
  }
  uint8_t UniqueIdLength() const { return ReadAt<uint8_t>(p_, kxrec::kLunUniqueIdLength); }
  uint64_t BlockCount() const { return ReadAt<uint64_t>(p_, kxrec::kLunBlockCount); }
  uint32_t BlockSize() const { return ReadAt<uint32_t>(p_, kxrec::kLunBlockSize); }
  uint8_t Flags() const { return ReadAt<uint8_t>(p_, kxrec::kLunFlags); }
  bool IsNamespace() const { return (Flags() & kxrec::kLunFlagNamespace) != 0; }
  std::string NvmeRevision() const { return TextAt(p_, kxrec::kLunNvmeRevision, kxrec::kLunNvmeRevisionSize); }
  LunRef Next() const { return LunRef(PointerAt(p_, kxrec::kLunNext)); }

 private:
  const uint8_t* p_;
};

class TargetRef {
 public:
  explicit TargetRef(const uint8_t* p) : p_(p) {}
  explicit operator bool() const { return p_ != nullptr; }
  const uint8_t* Raw() const { return p_; }
  Bytes8 NodeName() const { return ReadAt<Bytes8>(p_, kxrec::kTargetNodeName); }
  Bytes8 WWPN() const { return ReadAt<Bytes8>(p_, kxrec::kTargetWWPN); }
  std::array<uint8_t, 3> PortId() const { return ReadAt<std::array<uint8_t, 3>>(p_, kxrec::kTargetPortId); }
  uint16_t TargetNumber() const { return ReadAt<uint16_t>(p_, kxrec::kTargetNumber); }
  uint8_t CongestionState() const { return ReadAt<uint8_t>(p_, kxrec::kTargetCongestionState); }
  uint8_t VirtualLane() const { return ReadAt<uint8_t>(p_, kxrec::kTargetVirtualLane); }
  uint8_t IoThrottling() const { return ReadAt<uint8_t>(p_, kxrec::kTargetIoThrottling); }
  std::string VendorId() const { return TextAt(p_, kxrec::kTargetVendorId, kxrec::kTargetVendorIdSize); }
  std::string ProductId() const { return TextAt(p_, kxrec::kTargetProductId, kxrec::kTargetProductIdSize); }
  std::string ProductRevision() const {
    return TextAt(p_, kxrec::kTargetProductRevision, kxrec::kTargetProductRevisionSize);
  }
  uint8_t ConfigFlags() const { return ReadAt<uint8_t>(p_, kxrec::kTargetConfigFlags); }
  uint8_t LoginFlags() const { return ReadAt<uint8_t>(p_, kxrec::kTargetLoginFlags); }
  uint8_t SessionFlags() const { return ReadAt<uint8_t>(p_, kxrec::kTargetSessionFlags); }
  uint8_t Flags() const { return ReadAt<uint8_t>(p_, kxrec::kTargetFlags); }
  bool IsNvme() const { return (Flags() & kxrec::kTargetFlagNvme) != 0; }
  uint32_t LunCount() const { return ReadAt<uint32_t>(p_, kxrec::kTargetLunCount); }
  LunRef FirstLun() const { return LunRef(PointerAt(p_, kxrec::kTargetFirstLun)); }
  uint32_t DeviceType() const { return ReadAt<uint32_t>(p_, kxrec::kTargetDeviceType); }
  std::string SerialNumber() const { return TextAt(p_, kxrec::kTargetSerialNumber, kxrec::kTargetSerialNumberSize); }
  uint32_t Rport1Id() const { return ReadAt<uint32_t>(p_, kxrec::kTargetRport1Id); }
  uint8_t Rport1Flags() const { return ReadAt<uint8_t>(p_, kxrec::kTargetRport1Flags); }
  Bytes8 Rport1Name() const { return ReadAt<Bytes8>(p_, kxrec::kTargetRport1Name); }
  uint32_t Rport1AuthState() const { return ReadAt<uint32_t>(p_, kxrec::kTargetRport1AuthState); }
  uint32_t Rport2Id() const { return ReadAt<uint32_t>(p_, kxrec::kTargetRport2Id); }
  Bytes8 Rport2Name() const { return ReadAt<Bytes8>(p_, kxrec::kTargetRport2Name); }
  uint8_t Rport2Role() const { return ReadAt<uint8_t>(p_, kxrec::kTargetRport2Role); }
  uint8_t Rport2Security() const { return ReadAt<uint8_t>(p_, kxrec::kTargetRport2Security); }
  uint8_t Rport2AuthState() const { return ReadAt<uint8_t>(p_, kxrec::kTargetRport2AuthState); }
  std::string NvmeRevision() const { return TextAt(p_, kxrec::kTargetNvmeRevision, kxrec::kTargetNvmeRevisionSize); }
  uint16_t NvmeControllerId() const { return ReadAt<uint16_t>(p_, kxrec::kTargetNvmeControllerId); }
  std::string NvmeSubsystemNqn() const {
    return TextAt(p_, kxrec::kTargetNvmeSubsystemNqn, kxrec::kTargetNvmeSubsystemNqnSize);
  }
  TargetRef Next() const { return TargetRef(PointerAt(p_, kxrec::kTargetNext)); }

 private:
  const uint8_t* p_;
};

// A protocol entry: one FC port, physical or NPIV virtual (pEntry).
class PortEntryRef {
 public:
  explicit PortEntryRef(const uint8_t* p) : p_(p) {}
  explicit operator bool() const { return p_ != nullptr; }
  const uint8_t* Raw() const { return p_; }

  // The block every port-level library call takes.
  KXAPI_PORT_HANDLE Handle() const { return const_cast<uint8_t*>(p_ + kxrec::kEntryPortHandle); }
  uint32_t HandleNumber() const { return ReadAt<uint32_t>(p_, kxrec::kEntryPortHandleNumber); }

  Bytes8 NodeName() const { return ReadAt<Bytes8>(p_, kxrec::kEntryNodeName); }
  Bytes8 WWPN() const { return ReadAt<Bytes8>(p_, kxrec::kEntryWWPN); }
  PciIdentity Pci() const;
  const uint8_t* PciIdentityBlock() const { return p_ + kxrec::kEntryPciIdentity; }
  uint16_t PciLinkCapability() const { return ReadAt<uint16_t>(p_, kxrec::kEntryPciLinkCapability); }
  uint16_t PciLinkStatus() const { return ReadAt<uint16_t>(p_, kxrec::kEntryPciLinkStatus); }
  // Texts are read up to their NUL, at most to the next field of the record.
  std::string DriverVersion() const {
    return TextAt(p_, kxrec::kEntryDriverVersion, kxrec::kEntryCapabilityFlags - kxrec::kEntryDriverVersion);
  }
  uint32_t CapabilityFlags() const { return ReadAt<uint32_t>(p_, kxrec::kEntryCapabilityFlags); }
  uint8_t FirmwareAttributes() const { return ReadAt<uint8_t>(p_, kxrec::kEntryFirmwareAttributes); }
  uint32_t DriverCapabilities() const { return ReadAt<uint32_t>(p_, kxrec::kEntryDriverCapabilities); }
  uint32_t FirmwareState() const { return ReadAt<uint32_t>(p_, kxrec::kEntryFirmwareState); }
  std::string RunningFirmwareVersion() const {
    return TextAt(p_, kxrec::kEntryRunningFirmwareVersion,
                  kxrec::kEntryFlashBiosVersion - kxrec::kEntryRunningFirmwareVersion);
  }
  std::string FlashBiosVersion() const {
    return TextAt(p_, kxrec::kEntryFlashBiosVersion, kxrec::kEntryPortInterfaceType - kxrec::kEntryFlashBiosVersion);
  }
  uint16_t PortInterfaceType() const { return ReadAt<uint16_t>(p_, kxrec::kEntryPortInterfaceType); }
  bool IsVirtual() const { return PortInterfaceType() == kxrec::kInterfaceVirtual; }
  uint32_t OptionRomFlags() const { return ReadAt<uint32_t>(p_, kxrec::kEntryOptionRomFlags); }
  // A byte of the flash and running component versions (offsets 476-494).
  uint8_t ByteAt(size_t offset) const { return ReadAt<uint8_t>(p_, offset); }
  std::array<uint8_t, 3> PortId() const { return ReadAt<std::array<uint8_t, 3>>(p_, kxrec::kEntryPortId); }
  uint8_t PortType() const { return ReadAt<uint8_t>(p_, kxrec::kEntryPortType); }
  uint8_t PortState() const { return ReadAt<uint8_t>(p_, kxrec::kEntryPortState); }
  uint8_t ConnectionMode() const { return ReadAt<uint8_t>(p_, kxrec::kEntryConnectionMode); }
  uint32_t CurrentSpeed() const { return ReadAt<uint32_t>(p_, kxrec::kEntryCurrentSpeed); }
  uint8_t SupportedSpeeds() const { return ReadAt<uint8_t>(p_, kxrec::kEntrySupportedSpeeds); }
  Bytes8 PrincipalFabricWWN() const { return ReadAt<Bytes8>(p_, kxrec::kEntryPrincipalFabricWWN); }
  Bytes8 AdjacentFabricWWN() const { return ReadAt<Bytes8>(p_, kxrec::kEntryAdjacentFabricWWN); }
  uint32_t TargetCount() const { return ReadAt<uint32_t>(p_, kxrec::kEntryTargetCount); }
  TargetRef FirstTarget() const { return TargetRef(PointerAt(p_, kxrec::kEntryFirstTarget)); }
  std::array<uint8_t, 16> NvmeHostId() const { return ReadAt<std::array<uint8_t, 16>>(p_, kxrec::kEntryNvmeHostId); }
  std::string NvmeHostNqn() const { return TextAt(p_, kxrec::kEntryNvmeHostNqn, 256); }
  uint32_t ProtocolType() const { return ReadAt<uint32_t>(p_, kxrec::kEntryProtocolType); }
  bool IsFibreChannel() const { return ProtocolType() <= 1; }
  PortEntryRef Next() const { return PortEntryRef(PointerAt(p_, kxrec::kEntryNext)); }

  // "FC_" and the WWPN: the port identifier.
  std::string Identifier() const;

 private:
  const uint8_t* p_;
};

class PhyPortRef {
 public:
  explicit PhyPortRef(const uint8_t* p) : p_(p) {}
  explicit operator bool() const { return p_ != nullptr; }
  const uint8_t* Raw() const { return p_; }
  uint32_t PortNumber() const { return ReadAt<uint32_t>(p_, kxrec::kPhyPortNumber); }
  PortEntryRef FirstEntry() const;
  PhyPortRef Next() const { return PhyPortRef(PointerAt(p_, kxrec::kPhyPortNext)); }

 private:
  const uint8_t* p_;
};

class AdapterRef {
 public:
  explicit AdapterRef(const uint8_t* p) : p_(p) {}
  explicit operator bool() const { return p_ != nullptr; }
  const uint8_t* Raw() const { return p_; }
  std::string SerialNumber() const { return TextAt(p_, kxrec::kAdapterSerial, kxrec::kAdapterModel); }
  std::string Model() const { return TextAt(p_, kxrec::kAdapterModel, kxrec::kAdapterPhyPortList - kxrec::kAdapterModel); }
  bool HasPorts() const { return PointerAt(p_, kxrec::kAdapterPhyPortList) != nullptr; }
  PhyPortRef FirstPort() const;
  AdapterRef Next() const { return AdapterRef(PointerAt(p_, kxrec::kAdapterNext)); }
  // A raw field of the adapter entry (adapter info reads further fields).
  template <class T>
  T Field(size_t offset) const { return ReadAt<T>(p_, offset); }
  std::string Text(size_t offset, size_t maxLen) const { return TextAt(p_, offset, maxLen); }

 private:
  const uint8_t* p_;
};

class AdapterListRef {
 public:
  explicit AdapterListRef(const void* p) : p_(static_cast<const uint8_t*>(p)) {}
  explicit operator bool() const { return p_ != nullptr; }
  uint32_t Count() const { return ReadAt<uint32_t>(p_, kxrec::kListCount); }
  AdapterRef FirstAdapter() const { return AdapterRef(PointerAt(p_, kxrec::kListFirstAdapter)); }

 private:
  const uint8_t* p_;
};

// Asks the library for the inventory (no output redirection).
AdapterListRef GetAdapterList();

// One FC port met by the walk.
struct PortVisit {
  AdapterRef adapter;
  PhyPortRef phyPort;
  PortEntryRef entry;
};

// Walks adapters, their physical ports and the protocol entries in list
// order, calling visit for each FC/FCoE entry (ProtocolType 0 or 1); the walk
// stops when visit returns false.
void ForEachFcPort(AdapterListRef list, const std::function<bool(const PortVisit&)>& visit);

// ---- Adapter classification by PCI identity ----

bool IsDeviceGroupA(const PciIdentity& pci);
bool IsDeviceGroupB(const PciIdentity& pci);
bool IsDeviceGroupC(const PciIdentity& pci);
bool IsDeviceGroupD(const PciIdentity& pci);
bool IsDeviceGroupE(const PciIdentity& pci);
bool IsDeviceGroupF(const PciIdentity& pci);
bool IsDeviceGroupG(const PciIdentity& pci);
bool IsDeviceGroupH(const PciIdentity& pci);
bool IsDeviceGroupI(const PciIdentity& pci);
bool IsDeviceGroupJ(const PciIdentity& pci);
bool IsDeviceGroupK(const PciIdentity& pci);
bool IsOemVariantA(const PciIdentity& pci);
bool IsOemVariantB(const PciIdentity& pci);
bool IsOemVariantC(const PciIdentity& pci);
bool IsOemVariantD(const PciIdentity& pci);
bool IsOemVariantE(const PciIdentity& pci);
bool IsOemVariantF(const PciIdentity& pci);
bool IsOemVariantG(const PciIdentity& pci);

}  // namespace kxinv
