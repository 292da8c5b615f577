// The contract with the vendor adapter-management library libkxapifconly.so:
// the KXAPI_* prototypes, the byte layout of the inventory records, and the PCI
// identifiers of Kaltex adapters. The tool and the stand-in library under sim/
// both include this header, so they cannot drift apart.
//
// All record integers are little-endian; offsets are bytes from the record start.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Inventory record layout ---------------------------------------------------

namespace kxrec {

// Adapter list, returned by KXAPI_GetAdapterList().
inline constexpr size_t kListCount = 0;          // u32, traced only
inline constexpr size_t kListFirstAdapter = 8;   // pointer
inline constexpr size_t kAdapterListSize = 16;

// Adapter entry.
inline constexpr size_t kAdapterSerial = 0;          // NUL-terminated text
inline constexpr size_t kAdapterModel = 156;         // NUL-terminated text
inline constexpr size_t kAdapterPhyPortList = 384;   // pointer; null for an adapter without ports
inline constexpr size_t kAdapterNext = 392;          // pointer
inline constexpr size_t kAdapterEntrySize = 400;

// Physical-port list and entry.
inline constexpr size_t kPhyPortListFirst = 8;       // pointer
inline constexpr size_t kPhyPortListSize = 16;
inline constexpr size_t kPhyPortNumber = 0;          // u32, 0 for the first port
inline constexpr size_t kPhyPortProtocolList = 8;    // pointer
inline constexpr size_t kPhyPortNext = 16;           // pointer
inline constexpr size_t kPhyPortEntrySize = 24;

// Protocol list and protocol entry (one per FC port, NPIV virtual ports included).
inline constexpr size_t kProtocolListFirst = 8;      // pointer
inline constexpr size_t kProtocolListSize = 16;
inline constexpr size_t kEntryNodeName = 0;          // 8 bytes, most significant first
inline constexpr size_t kEntryWWPN = 8;              // 8 bytes, most significant first
inline constexpr size_t kEntryPortHandle = 16;       // start of the block every port-level call takes
inline constexpr size_t kEntryPortHandleNumber = 20; // u32 inside the handle block
inline constexpr size_t kEntryPciIdentity = 28;      // 80-byte block: vendor, device, subsys vendor, subsys device (u16 each)
inline constexpr size_t kEntryPciIdentitySize = 80;
inline constexpr size_t kEntryPciLinkCapability = 78;  // u16
inline constexpr size_t kEntryPciLinkStatus = 80;      // u16
inline constexpr size_t kEntryDriverVersion = 108;     // text
inline constexpr size_t kEntryCapabilityFlags = 160;   // u32: bit 23 SCM phase 1, 26 SCM phase 2, 30 VL capable, 31 throttling off
inline constexpr size_t kEntryFirmwareAttributes = 163;  // u8: 0x20 second D-Port test interface
inline constexpr size_t kEntryDriverCapabilities = 180;  // u32: 0x02 SFP firmware update, 0x04 maintenance mode (with 184 bit 1)
inline constexpr size_t kEntryFirmwareState = 184;       // u32
inline constexpr size_t kEntryRunningFirmwareVersion = 396;  // text
inline constexpr size_t kEntryFlashBiosVersion = 428;        // text
inline constexpr size_t kEntryPortInterfaceType = 462;       // u16: 1 physical, 3 NPIV virtual
inline constexpr size_t kEntryOptionRomFlags = 472;          // u32: 8 ROM BIOS, 2 ROM UEFI
inline constexpr size_t kEntryComponentVersions = 476;       // bytes 476-494
inline constexpr size_t kEntryPortId = 608;                  // 3 bytes: domain, area, port
inline constexpr size_t kEntryPortType = 611;                // u8
inline constexpr size_t kEntryPortState = 612;               // u8: 1 online, 3 offline
inline constexpr size_t kEntryConnectionMode = 613;          // u8
inline constexpr size_t kEntryCurrentSpeed = 652;            // u32 speed code
inline constexpr size_t kEntrySupportedSpeeds = 664;         // u8 mask
inline constexpr size_t kEntryPrincipalFabricWWN = 668;      // 8 bytes
inline constexpr size_t kEntryAdjacentFabricWWN = 676;       // 8 bytes
inline constexpr size_t kEntryScmNotification = 684;         // block up to 848
inline constexpr size_t kEntryTargetCount = 1992;            // u32, traced only
inline constexpr size_t kEntryFirstTarget = 2000;            // pointer
inline constexpr size_t kEntryNvmeHostId = 2160;             // 16 bytes
inline constexpr size_t kEntryNvmeHostNqn = 2176;            // text
inline constexpr size_t kEntryProtocolType = 2676;           // u32: 0 FC, 1 FCoE, 2+ not FC
inline constexpr size_t kEntryNext = 2680;                   // pointer
inline constexpr size_t kProtocolEntrySize = 2688;

inline constexpr uint16_t kInterfacePhysical = 1;
inline constexpr uint16_t kInterfaceVirtual = 3;

// Target entry (one per remote FC target seen by a port).
inline constexpr size_t kTargetWWPN = 8;              // 8 bytes
inline constexpr size_t kTargetFlags = 197;           // u8: 0x08 NVMe target
inline constexpr size_t kTargetFirstLun = 232;        // pointer
inline constexpr size_t kTargetNext = 1488;           // pointer
inline constexpr size_t kTargetEntrySize = 1496;
inline constexpr uint8_t kTargetFlagNvme = 0x08;

// LUN entry (a LUN, or an NVMe namespace).
inline constexpr size_t kLunNumber = 0;               // u16: LUN number or namespace ID
inline constexpr size_t kLunNext = 384;               // pointer
inline constexpr size_t kLunEntrySize = 392;

}  // namespace kxrec

// ---- PCI identifiers of Kaltex adapters ------------------------------------------
//
// Device identifiers of the chip families, board identifiers of OEM variants.
// The classification tests in shell/Inventory.h mask and compare against these.

namespace kxpci {

inline constexpr uint16_t AdapterVendorId = 0xCA1E;
inline constexpr uint16_t OutsideMakerVendorId = 0xCB05;  // the outside system maker's boards

inline constexpr uint16_t kGroupAFamily = 0x2031;   // bit 11 masked off
inline constexpr uint16_t kGroupAExtra = 0x2045;
inline constexpr uint16_t kGroupB1 = 0x2141;        // bit 9 masked off
inline constexpr uint16_t kGroupB2 = 0x2061;        // bit 8 masked off
inline constexpr uint16_t kGroupC[3] = {0x2230, 0x2232, 0x2234};  // bits 3 and 8 masked off
inline constexpr uint16_t kGroupE = 0x2350;         // bit 11 masked off
inline constexpr uint16_t kGroupF = 0x2360;         // bit 11 masked off
inline constexpr uint16_t kGroupG[2] = {0x2400, 0x2402};  // bit 4 masked off
inline constexpr uint16_t kGroupH = 0x2510;         // and kGroupH + 1
inline constexpr uint16_t kGroupJ = 0x2600;         // bit 5 masked off in group I
inline constexpr uint16_t kGroupK = 0x2700;

// OEM variant A: the three group-C identifiers and the same with bit 3 set,
// each with its own list of subsystem device identifiers.
struct OemBoardList {
  uint16_t device;
  uint16_t count;
  uint16_t sub[7];
};
inline constexpr OemBoardList kOemVariantA[6] = {
    {0x2230, 1, {0x0101}},
    {0x2232, 2, {0x0111, 0x0112}},
    {0x2234, 3, {0x0121, 0x0122, 0x0123}},
    {0x2238, 7, {0x0131, 0x0132, 0x0133, 0x0134, 0x0135, 0x0136, 0x0137}},
    {0x223A, 4, {0x0141, 0x0142, 0x0143, 0x0144}},
    {0x223C, 5, {0x0151, 0x0152, 0x0153, 0x0154, 0x0155}},
};
// OEM variant B: the bit-3 identifiers; the first two with Kaltex boards (or one
// outside maker board), the third with one subsystem value.
inline constexpr OemBoardList kOemVariantB[2] = {
    {0x2238, 4, {0x0201, 0x0202, 0x0203, 0x0204}},
    {0x223A, 5, {0x0211, 0x0212, 0x0213, 0x0214, 0x0215}},
};
inline constexpr uint16_t kOemVariantBThirdDevice = 0x223C;

// Subsystem values: subsystem vendor in the low half, subsystem device in the high half.
constexpr uint32_t Subsys(uint16_t vendor, uint16_t device) { return vendor | (uint32_t{device} << 16); }
inline constexpr uint32_t kOemBOutsideBoard = Subsys(OutsideMakerVendorId, 0x0B01);
inline constexpr uint32_t kOemBThirdBoard = Subsys(AdapterVendorId, 0x0B02);
inline constexpr uint32_t kOemCKaltexBoard = Subsys(AdapterVendorId, 0x0C01);
inline constexpr uint32_t kOemCOutsideBoard = Subsys(OutsideMakerVendorId, 0x0C02);
inline constexpr uint32_t kOemDOutsideBoard = Subsys(OutsideMakerVendorId, 0x0D01);
inline constexpr uint32_t kOemEBoard = Subsys(AdapterVendorId, 0x0E01);
inline constexpr uint32_t kOemFBoard = Subsys(AdapterVendorId, 0x0F01);
inline constexpr uint32_t kOemGBoard = kOemCOutsideBoard;

}  // namespace kxpci

// ---- Library calls -----------------------------------------------------------------
//
// Every call but the lifecycle ones returns 0 on success and a library error
// code otherwise. A port-level call takes the port handle: the address of the
// port handle block inside the port's protocol entry (entry + kEntryPortHandle).

typedef void* KXAPI_PORT_HANDLE;

extern "C" {

// Lifecycle.
uint32_t KXAPI_Initialize(int traceLevel, int reserved);
uint32_t KXAPI_SetToolID(uint32_t toolId);
uint32_t KXAPI_SetToolVersion(uint32_t major, uint32_t minor, uint32_t patch, uint32_t build);
uint32_t KXAPI_Uninitialize(void);

// Inventory: the records above, owned by the library; null when it has no list.
void* KXAPI_GetAdapterList(void);

// Reboot flag after an update: *flag is 1 when a reboot is needed.
uint32_t KXAPI_IsRebootRequired(uint8_t* flag);

// ---- adapter ----

// (end of adapter)

// ---- port ----

// (end of port)

// ---- sfp ----

// (end of sfp)

// ---- portcfg ----

// VPD: fills buffer (*size bytes, 1024) with the PCI VPD image of the adapter;
// takes the port handle number (offset 20 of the protocol entry).
uint32_t KXAPI_GetVpd(uint32_t handleNumber, uint32_t reserved, uint8_t* buffer, uint32_t* size);

// HBA parameters: a 512-byte record (layout in kxhba below).
uint32_t KXAPI_GetHBAParamsInfo(KXAPI_PORT_HANDLE port, void* record);
uint32_t KXAPI_UpdateHBAParameters(KXAPI_PORT_HANDLE port, void* record);
uint32_t KXAPI_RestoreDefaultNVRAM(KXAPI_PORT_HANDLE port);
uint32_t KXAPI_SaveSingleAdapterNVRAMToFile(KXAPI_PORT_HANDLE port, const char* path);

// Buffer-to-buffer credit recovery.
uint32_t KXAPI_FCGetBBCSupportInfoEx(KXAPI_PORT_HANDLE port, uint8_t* status, uint8_t* configured, uint8_t* state,
                                     uint8_t* negotiated, char* reason, uint32_t reasonSize);
uint32_t KXAPI_FCSetBBCSupportInfo(KXAPI_PORT_HANDLE port, uint8_t status, uint8_t configured);

// Forward error correction. The private statistics block is the caller's to free().
uint32_t KXAPI_FCGetFECSupportInfo(KXAPI_PORT_HANDLE port, uint32_t* status);
uint32_t KXAPI_IsMezzAdapter(KXAPI_PORT_HANDLE port, uint8_t* mezz);
uint32_t KXAPI_GetFWPrivateStats(KXAPI_PORT_HANDLE port, void** block, uint32_t* length);
uint32_t KXAPI_FCSetFECSupportInfo(KXAPI_PORT_HANDLE port, uint32_t enable);
uint32_t KXAPI_ResetFECCounters(KXAPI_PORT_HANDLE port);

// Record layouts of these calls (plain constexpr: internal linkage inside extern "C").
namespace kxhba {
constexpr size_t kRecordSize = 512;
constexpr size_t kDataRate = 0;                       // u32: 0 1G, 1 2G, 2 Auto, 3 4G, 4 8G, 5 16G (10G on group F), 6 32G, 7 64G
constexpr size_t kConnetionOptions = 4;               // u32: 0 loop only, 1 point to point only, 2 loop preferred
constexpr size_t kEnableFibreChannelTapeSupport = 8;  // u32 0/1
constexpr size_t kMaxLunsPerTarget = 12;              // u32 0-256
constexpr size_t kEnableHardLoopId = 16;              // u32 0/1
constexpr size_t kHardLoopId = 20;                    // u32 0-125
constexpr size_t kFrameSize = 24;                     // u32 bytes
constexpr size_t kEnableLipFullLogin = 32;            // u32 0/1
constexpr size_t kEnableTargetReset = 36;             // u32 0/1
constexpr size_t kLoopResetDelay = 44;                // u32 seconds
constexpr size_t kLoginRetryCount = 48;               // u32
constexpr size_t kPortDownRetryCount = 52;            // u32
constexpr size_t kExecutionThrottle = 56;             // u32
constexpr size_t kOperationMode = 68;                 // u32: 0, 5 or 6
constexpr size_t kInterruptDelayTimer = 72;           // u32, units of 100 us
constexpr size_t kLinkDownTimeout = 76;               // u32 seconds
constexpr size_t kDisableBIOS = 100;                  // u32: 1 = BIOS disabled
constexpr size_t kRecvOutOfOrderDataBit = 148;        // u32 0/1
constexpr size_t kEnableLRBit = 208;                  // u32 0/1
constexpr size_t kEnableFabricAssignWWN = 212;        // u32 0/1
constexpr size_t kDisableSCM = 236;                   // u32: 1 = SCM disabled
constexpr size_t kEnableVirtualLane = 286;            // u8 0/1
}  // namespace kxhba

namespace kxfec {
constexpr size_t kCorrectableErrors = 256;    // u64 in the firmware private statistics block
constexpr size_t kUncorrectableErrors = 520;  // u64
constexpr size_t kPrivateStatsMinSize = 528;
}  // namespace kxfec

namespace kxvpd {
constexpr uint32_t kImageSize = 1024;
}  // namespace kxvpd

// (end of portcfg)

// ---- target ----

// (end of target)

// ---- boot ----

// (end of boot)

// ---- diag ----

// (end of diag)

// ---- scm ----

// (end of scm)

// ---- maint ----

// (end of maint)


// Exported by the tool for the library.
void* CoreMalloc(size_t size);
void* CoreZMalloc(size_t size);
void CoreFree(void* ptr);
const char* TranslateMessageTypeToString(uint32_t type);
int CoreLogMessage(uint32_t type, const char* format, ...) __attribute__((format(printf, 2, 3)));
extern float rxPowerArray[5];
extern float offsetArray[5];
extern float slopeArray[5];
extern float valueArray[5][5];

}  // extern "C"
