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

// Further adapter-entry fields, read by adapter info. Text fields are
// NUL-terminated within the room given.
inline constexpr size_t kAdapterSerialLen = 32;
inline constexpr size_t kAdapterType = 32;                   // u32 code: 2 Fibre Channel Adapter, ...
inline constexpr size_t kAdapterManufacturer = 36;           // text
inline constexpr size_t kAdapterManufacturerLen = 80;
inline constexpr size_t kAdapterVendorId = 116;              // u16
inline constexpr size_t kAdapterSubsystemVendorId = 118;     // u16
inline constexpr size_t kAdapterSubsystemDeviceId = 120;     // u16
inline constexpr size_t kAdapterPciBusId = 122;              // u16
inline constexpr size_t kAdapterModelLen = 32;
inline constexpr size_t kAdapterFlashBiosVersion = 188;      // text
inline constexpr size_t kAdapterFlashFcodeVersion = 220;     // text
inline constexpr size_t kAdapterFlashEfiVersion = 252;       // text
inline constexpr size_t kAdapterFlashFirmwareVersion = 284;  // text
inline constexpr size_t kAdapterMultibootVersion = 316;      // text
inline constexpr size_t kAdapterVersionLen = 32;             // room of each version text
inline constexpr size_t kAdapterChipRevision = 348;          // u32

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

// Target entry (one per remote FC target seen by a port). Character fields
// are fixed-width and need not end in a NUL.
inline constexpr size_t kTargetNodeName = 0;          // 8 bytes
inline constexpr size_t kTargetWWPN = 8;              // 8 bytes
inline constexpr size_t kTargetPortId = 16;           // 3 bytes: domain, area, port
inline constexpr size_t kTargetNumber = 22;           // u16; names the target to the library
inline constexpr size_t kTargetCongestionState = 48;  // u8: 0 healthy, 1 congested
inline constexpr size_t kTargetVirtualLane = 50;      // u8: 1 slow, 2 normal, 3 fast
inline constexpr size_t kTargetIoThrottling = 51;     // u8: 1 none, 2 active
inline constexpr size_t kTargetVendorId = 164;        // 8 characters
inline constexpr size_t kTargetVendorIdSize = 8;
inline constexpr size_t kTargetProductId = 172;       // 16 characters
inline constexpr size_t kTargetProductIdSize = 16;
inline constexpr size_t kTargetProductRevision = 188; // 4 characters
inline constexpr size_t kTargetProductRevisionSize = 4;
inline constexpr size_t kTargetConfigFlags = 192;     // u8: 0x40 unconfigured
inline constexpr size_t kTargetLoginFlags = 194;      // u8: 0x02 logged in (online with 196 bit 0x01)
inline constexpr size_t kTargetSessionFlags = 196;    // u8: 0x01 session up
inline constexpr size_t kTargetFlags = 197;           // u8: 0x08 NVMe target
inline constexpr size_t kTargetLunCount = 224;        // u32: LUNs (FCP) or namespaces (NVMe)
inline constexpr size_t kTargetFirstLun = 232;        // pointer
inline constexpr size_t kTargetDeviceType = 248;      // u32 SCSI peripheral device type
inline constexpr size_t kTargetSerialNumber = 260;    // 64 characters
inline constexpr size_t kTargetSerialNumberSize = 64;
// Remote-port record 2.
inline constexpr size_t kTargetRport2Id = 328;        // u32, port ID in the low 24 bits
inline constexpr size_t kTargetRport2Name = 332;      // 8 bytes
inline constexpr size_t kTargetRport2Role = 340;      // u8: 1 target, 2 initiator, 3 both
inline constexpr size_t kTargetRport2Security = 341;  // u8: 0 not secured, 1 secured
inline constexpr size_t kTargetRport2AuthState = 342; // u8
// Remote-port record 1 (present when the port's driver capabilities have kDriverCapRemotePortInfo).
inline constexpr size_t kTargetRport1Id = 400;        // u32, port ID in the low 24 bits
inline constexpr size_t kTargetRport1Flags = 404;     // u8: 0x01 initiator, 0x02 target, 0x10 secure mode
inline constexpr size_t kTargetRport1Name = 408;      // 8 bytes
inline constexpr size_t kTargetRport1AuthState = 432; // u32
inline constexpr size_t kTargetNvmeRevision = 528;    // 8 characters
inline constexpr size_t kTargetNvmeRevisionSize = 8;
inline constexpr size_t kTargetNvmeControllerId = 542;  // u16
inline constexpr size_t kTargetNvmeSubsystemNqn = 560;  // 256 characters
inline constexpr size_t kTargetNvmeSubsystemNqnSize = 256;
inline constexpr size_t kTargetNext = 1488;           // pointer
inline constexpr size_t kTargetEntrySize = 1496;
inline constexpr uint8_t kTargetFlagNvme = 0x08;
inline constexpr uint8_t kTargetConfigUnconfigured = 0x40;
inline constexpr uint8_t kTargetLoginLoggedIn = 0x02;
inline constexpr uint8_t kTargetSessionUp = 0x01;
inline constexpr uint8_t kRport1Initiator = 0x01;
inline constexpr uint8_t kRport1Target = 0x02;
inline constexpr uint8_t kRport1SecureMode = 0x10;
// Protocol-entry bits the target reports read.
inline constexpr uint32_t kDriverCapRemotePortInfo = 0x01;       // offset 180: remote-port record 1 is kept
inline constexpr uint32_t kCapVirtualLane = 1u << 30;             // offset 160
inline constexpr uint32_t kCapIoThrottlingDisabled = 1u << 31;    // offset 160

// LUN entry (a LUN, or an NVMe namespace). Character fields are fixed-width.
inline constexpr size_t kLunNumber = 0;               // u16: LUN number or namespace ID
inline constexpr size_t kLunVendorId = 14;            // 8 characters
inline constexpr size_t kLunVendorIdSize = 8;
inline constexpr size_t kLunProductId = 22;           // 16 characters
inline constexpr size_t kLunProductIdSize = 16;
inline constexpr size_t kLunProductRevision = 38;     // 4 characters
inline constexpr size_t kLunProductRevisionSize = 4;
inline constexpr size_t kLunUniqueId = 43;            // 32 bytes, worldwide unique ID
inline constexpr size_t kLunUniqueIdSize = 32;
inline constexpr size_t kLunUniqueIdLength = 75;      // u8: valid bytes of the unique ID
inline constexpr size_t kLunBlockCount = 80;          // u64
inline constexpr size_t kLunBlockSize = 88;           // u32, bytes
inline constexpr size_t kLunFlags = 364;              // u8: 0x01 NVMe namespace
inline constexpr size_t kLunNvmeRevision = 365;       // 8 characters
inline constexpr size_t kLunNvmeRevisionSize = 8;
inline constexpr size_t kLunNext = 384;               // pointer
inline constexpr size_t kLunEntrySize = 392;
inline constexpr uint8_t kLunFlagNamespace = 0x01;

// Remote port address, built by the caller of KXAPI_GetPortStatisticsFC (12 bytes).
inline constexpr size_t kRemoteAddrType = 0;          // u16
inline constexpr size_t kRemoteAddrName = 2;          // 8 bytes, port name
inline constexpr size_t kRemoteAddrSize = 12;
inline constexpr uint16_t kRemoteAddrByPortName = 2;

// Port statistics record filled by KXAPI_GetPortStatisticsFC (184 bytes, u32 counters).
inline constexpr size_t kStatsRecordSize = 184;
inline constexpr size_t kStatsLinkFailure = 24;
inline constexpr size_t kStatsLossOfSync = 28;
inline constexpr size_t kStatsLossOfSignal = 32;
inline constexpr size_t kStatsPrimitiveSeqError = 36;
inline constexpr size_t kStatsInvalidTxWord = 40;
inline constexpr size_t kStatsInvalidCrc = 44;

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

// Adapter flash updates: the image is read from the named file.
uint32_t KXAPI_doOptionROMUpdate(KXAPI_PORT_HANDLE port, const char* file, uint32_t flags);
uint32_t KXAPI_UpdateSpecificFlashRegionFromFile(KXAPI_PORT_HANDLE port, const char* file);
uint32_t KXAPI_UpdateAdapterFirmwareTableFromFile(KXAPI_PORT_HANDLE port, const char* file);
uint32_t KXAPI_UpdateAdapterPEPCfgFromFile(KXAPI_PORT_HANDLE port, const char* file);

// Versions of the images in an adapter's flash: one (major, minor, sub) triple
// per component. The caller zero-fills the record; a component the adapter does
// not have stays 0.0.0 (some report ff.ff.ff).
struct KXAPI_FLASH_COMPONENT_VERSION {
  uint8_t Reserved0[19];
  uint8_t PepFirmware[3];      // 19
  uint8_t Reserved1[3];
  uint8_t PepSoftRom[3];       // 25
  uint8_t Reserved2[3];
  uint8_t PepBoardConfig[3];   // 31
  uint8_t Reserved3[3];
  uint8_t PreloadFirmware[3];  // 37
  uint8_t Reserved4[3];
  uint8_t FcBoardConfig[3];    // 43
  uint8_t Reserved5[3];
  uint8_t MpiFirmware[3];      // 49
  uint8_t Reserved6[3];
  uint8_t MpiSoftRom[3];       // 55
  uint8_t Reserved7[3];
  uint8_t PcieSerdes[3];       // 61
  uint8_t Reserved8[188];
};
static_assert(sizeof(KXAPI_FLASH_COMPONENT_VERSION) == 252);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepFirmware) == 19);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepSoftRom) == 25);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PepBoardConfig) == 31);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PreloadFirmware) == 37);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, FcBoardConfig) == 43);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, MpiFirmware) == 49);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, MpiSoftRom) == 55);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PcieSerdes) == 61);
uint32_t KXAPI_GetFlashComponentVersion(KXAPI_PORT_HANDLE port, KXAPI_FLASH_COMPONENT_VERSION* versions);

// The flash memo block: who last wrote the adapter's flash, and when.
inline constexpr uint32_t KXAPI_FLASH_MEMO_SIGNATURE = 0x53424D46;  // "FMBS" read as a little-endian u32
struct KXAPI_FLASH_MEMO_BLOCK {
  uint32_t Signature;               // 0
  uint8_t Reserved0[12];
  uint8_t FamilyFirmwareVersion[3]; // 16: major, minor, sub
  uint8_t Reserved1;
  uint8_t MbiVersion[3];            // 20
  uint8_t Reserved2;
  char MbiBuildDate[8];             // 24: YYYYMMDD, not terminated
  char FlashToolCode[4];            // 32: not terminated
  uint16_t LastUpdateYear;          // 36
  uint8_t LastUpdateMonth;          // 38
  uint8_t LastUpdateDay;
  uint8_t LastUpdateHour;
  uint8_t LastUpdateMinute;
  uint8_t LastUpdateSecond;
  uint8_t Reserved3;
  uint8_t FlashToolVersion[4];      // 44
};
static_assert(sizeof(KXAPI_FLASH_MEMO_BLOCK) == 48);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, FamilyFirmwareVersion) == 16);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, MbiVersion) == 20);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, MbiBuildDate) == 24);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, FlashToolCode) == 32);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, LastUpdateYear) == 36);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, LastUpdateMonth) == 38);
static_assert(offsetof(KXAPI_FLASH_MEMO_BLOCK, FlashToolVersion) == 44);
uint32_t KXAPI_GetAdapterFlashMemoBlock(KXAPI_PORT_HANDLE port, KXAPI_FLASH_MEMO_BLOCK* memo);

// Adapter personality: 0 FC, 1 CNA.
uint32_t KXAPI_GetPersonalityType(KXAPI_PORT_HANDLE port, uint8_t* personality);
// 1 when the user may change the personality.
uint32_t KXAPI_CheckOttarPersonalityChangeOption(KXAPI_PORT_HANDLE port);
uint32_t KXAPI_ChangePersonalityType(KXAPI_PORT_HANDLE port, uint8_t personality);

// (end of adapter)

// ---- port ----

// Records of the port families. Plain constexpr (internal linkage), so the
// extern "C" block around them does not matter.
namespace kxrec {

// Protocol-entry fields read only by the port families.
constexpr size_t kEntryFlashFirmwareVersion = 476;   // 3 bytes: major, minor, sub
constexpr size_t kEntryFlashEfiVersion = 480;        // 2 bytes: major, minor
constexpr size_t kEntryFlashFCodeVersion = 484;      // 2 bytes: major, minor
constexpr size_t kEntryRunningMpiVersion = 488;      // 3 bytes
constexpr size_t kEntryRunningPepVersion = 492;      // 3 bytes
constexpr size_t kEntryDriverCounters = 752;         // six u32: controller errors .. interrupts
constexpr size_t kEntryFirmwareCounters = 776;       // six u32: link failures .. invalid CRCs
constexpr size_t kEntryCounterCount = 6;
constexpr size_t kEntryPciBusNumber = 2672;          // u8
constexpr size_t kEntryPciDeviceNumber = 2673;       // u8
constexpr size_t kEntryPciFunctionNumber = 2674;     // u8

// Temperature record filled by KXAPI_GetAdapterAsicBoardTemperature.
constexpr size_t kTemperatureRecordSize = 64;
constexpr size_t kTemperatureCelsius = 0;            // i16

// Lockdown record filled by KXAPI_GetLockdownStatus: a flag byte and the
// status of its query (0 valid, 0x76 driver lacks it, 0x86 firmware lacks it).
constexpr size_t kLockdownRecordSize = 36;
constexpr size_t kLockdownConfigFlag = 0;            // u8
constexpr size_t kLockdownFirmwareUpdateFlag = 1;    // u8
constexpr size_t kLockdownMpiFlag = 2;               // u8
constexpr size_t kLockdownConfigStatus = 4;          // u32
constexpr size_t kLockdownFirmwareUpdateStatus = 8;  // u32
constexpr size_t kLockdownMpiStatus = 12;            // u32
constexpr uint32_t kLockdownValid = 0;
constexpr uint32_t kLockdownNoDriverSupport = 0x76;
constexpr uint32_t kLockdownNoFirmwareSupport = 0x86;

// Flash component version record filled by KXAPI_GetFlashComponentVersion:
// one version triple (major, minor, sub; a byte each) per component.
constexpr size_t kFlashVersionRecordSize = 252;
constexpr size_t kFlashPepFirmware = 19;
constexpr size_t kFlashPepSoftRom = 25;
constexpr size_t kFlashPepBoardConfig = 31;
constexpr size_t kFlashPreloadArea = 37;
constexpr size_t kFlashFcBoardConfig = 43;
constexpr size_t kFlashMpiFirmware = 49;
constexpr size_t kFlashMpiSoftRom = 55;
constexpr size_t kFlashPcieSerdes = 61;

}  // namespace kxrec

// Loads the port's NVRAM from an image file.
uint32_t KXAPI_UpdateAdapterNVRAMFromFile(KXAPI_PORT_HANDLE port, const char* path);
// Fills a zero-filled kTemperatureRecordSize record.
uint32_t KXAPI_GetAdapterAsicBoardTemperature(KXAPI_PORT_HANDLE port, void* record);
// Fills a zero-filled kLockdownRecordSize record.
uint32_t KXAPI_GetLockdownStatus(KXAPI_PORT_HANDLE port, void* record);
// KXAPI_GetFlashComponentVersion (adapter section) fills the flash version record
// port info reads at the kFlash* offsets above.
static_assert(sizeof(KXAPI_FLASH_COMPONENT_VERSION) == kxrec::kFlashVersionRecordSize);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PreloadFirmware) == kxrec::kFlashPreloadArea);
static_assert(offsetof(KXAPI_FLASH_COMPONENT_VERSION, PcieSerdes) == kxrec::kFlashPcieSerdes);
// Clears the firmware link error counters of the port.
uint32_t KXAPI_ResetDeviceStats(KXAPI_PORT_HANDLE port);

// (end of port)

// ---- sfp ----

// The transceiver's 512-byte image: page A0 in bytes 0-255, page A2 in 256-511.
inline constexpr size_t KXAPI_SFP_IMAGE_SIZE = 512;
// Fills image (KXAPI_SFP_IMAGE_SIZE bytes). flag: 0 cached read, 1 re-read the
// module first, 3 raw read; reserved is 0.
uint32_t KXAPI_GetSFPDataEx(KXAPI_PORT_HANDLE port, uint8_t* image, uint32_t flag, uint32_t reserved);
// Write the module's image to a file, as the binary image or as text.
uint32_t KXAPI_SaveSFPDataToFile(KXAPI_PORT_HANDLE port, const char* path);
uint32_t KXAPI_SaveSFPDataToTextFile(KXAPI_PORT_HANDLE port, const char* path);
// Loads a firmware image file into the module; option is 2.
uint32_t KXAPI_SfpModuleFirmwareUpdate(KXAPI_PORT_HANDLE port, const char* imagePath, uint32_t option);

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

// A remote port ID as the remote-port records keep it: the low 24 bits of a
// 32-bit word, domain in bits 16-23, area in 8-15, port in 0-7. A record's
// 3-byte port ID holds domain, area and port in that order.
static inline uint32_t KxPortIdWord(const uint8_t* portId) {
  return (uint32_t{portId[0]} << 16) | (uint32_t{portId[1]} << 8) | portId[2];
}
static inline bool KxSameRemotePortId(uint32_t word, const uint8_t* portId) {
  return (word & 0xFFFFFFu) == KxPortIdWord(portId);
}

// Link error counters of a remote port seen through the local port whose
// handle number (entry offset 20) is given; reserved is 0. The remote port is
// named either by remotePort, an address record (kRemoteAddr*) of type
// kRemoteAddrByPortName, or, when remotePort holds any other type, by the port
// name in the first 8 bytes of statistics. statistics: kStatsRecordSize bytes.
uint32_t KXAPI_GetPortStatisticsFC(uint32_t portNumber, uint32_t reserved, void* remotePort, void* statistics);
// The iIDMA speed code (0x01 ... 0x64, as the port speed) towards one target,
// named by its target number (target entry offset 22).
uint32_t KXAPI_GetTargetLinkSpeed(KXAPI_PORT_HANDLE port, uint32_t targetNumber, uint32_t* speed);
uint32_t KXAPI_SetTargetLinkSpeed(KXAPI_PORT_HANDLE port, uint32_t targetNumber, uint32_t speed);

// (end of target)

// ---- boot ----

// The library's BFS configuration mode, the view the boot-device calls work
// on: 1 BIOS, 2 UEFI (4 NVMe, the UEFI view with its NVMe boot entries).
uint8_t KXAPI_GetBfsConfigMode(void);
uint32_t KXAPI_SetBfsConfigMode(uint8_t mode);
// The 512-byte boot device record of the current view (layout in kxboot);
// flags is 0.
uint32_t KXAPI_GetBootDeviceInfo(KXAPI_PORT_HANDLE port, void* record, uint32_t flags);
uint32_t KXAPI_SetBootDeviceInfo(KXAPI_PORT_HANDLE port, void* record);
// The 2560-byte FC-NVMe boot entry record (layout in kxboot).
uint32_t KXAPI_GetNVMeBootDeviceEntries(KXAPI_PORT_HANDLE port, void* record);
uint32_t KXAPI_SetNVMeBootDeviceEntries(KXAPI_PORT_HANDLE port, void* record);

namespace kxboot {
constexpr uint8_t kModeBios = 1;
constexpr uint8_t kModeUefi = 2;
constexpr uint8_t kModeNvme = 4;
// Option-ROM flags of the protocol entry (kEntryOptionRomFlags).
constexpr uint32_t kRomUefi = 2;
constexpr uint32_t kRomBios = 8;
// Boot device record; integers little-endian, WWPNs byte 0 first.
constexpr size_t kRecordSize = 512;
constexpr size_t kDisableBIOS = 100;                // u32: 1 = boot code disabled
constexpr size_t kEnableSelectableBoot = 104;       // u32 0/1 (BIOS view)
constexpr size_t kBootPortName = 116;               // 8 bytes, boot device 0
constexpr size_t kBootLunNumber = 124;              // u16
constexpr size_t kEnableSelectiveLogin = 128;       // u32 0/1 (UEFI view)
constexpr size_t kEnableSelectiveLUN = 140;         // u32 0/1 (UEFI view)
constexpr size_t kForceWorldLogin = 144;            // u32 0/1 (UEFI view)
constexpr size_t kAlt1BootPortName = 168;           // devices 1-3: 12-byte slots (WWPN, u16 LUN, 2 unused)
constexpr size_t kAltSlotSize = 12;
constexpr size_t kEnableFabricAssignBootLun = 216;  // u32 0/1
constexpr size_t kNVMeEnable = 240;                 // u8 0/1
constexpr size_t kAlt4BootPortName = 244;           // devices 4-7: packed 10-byte slots (WWPN, u16 LUN)
constexpr size_t kPackedSlotSize = 10;
constexpr size_t kLunAfterName = 8;                 // a slot's LUN follows its WWPN
// Boot device n (0 primary, 1-7 alternates): offset of its WWPN.
constexpr size_t BootPortNameOffset(unsigned n) {
  return n == 0 ? kBootPortName
                : n < 4 ? kAlt1BootPortName + (n - 1) * kAltSlotSize : kAlt4BootPortName + (n - 4) * kPackedSlotSize;
}
// NVMe boot entry record.
constexpr size_t kNvmeRecordSize = 2560;
constexpr size_t kNvmeEntries = 8;
constexpr size_t kBootEntry = 16;  // entry i at kBootEntry + i * kBootEntrySize
constexpr size_t kBootEntrySize = 284;
constexpr size_t kTargetWWPN = 0;    // 8 bytes
constexpr size_t kTargetWWNN = 8;    // 8 bytes
constexpr size_t kTargetNSID = 16;   // u32
constexpr size_t kTargetCtrlID = 20; // u16
constexpr size_t kTargetFlags = 24;  // u8: 1 entry enabled
constexpr size_t kTargetNQN = 28;    // text, 256 bytes
constexpr size_t kNqnSize = 256;
constexpr size_t kHostNQN = 2288;    // text, 256 bytes
constexpr size_t kHostID = 2544;     // 16 bytes
constexpr size_t kHostIDSize = 16;
}  // namespace kxboot

// (end of boot)

// ---- diag ----

// Read Diagnostic Parameters, loopback and read/write buffer tests.
namespace kxdiag {
// RDP reply: big-endian words; a 4-byte list length, then descriptors of a
// tag word, a length word (bytes) and length / 4 value words.
inline constexpr uint32_t kRdpBufferSize = 508;

// Test request of the loopback and read/write buffer tests (zeroed, u32 fields).
inline constexpr size_t kRequestSize = 144;
inline constexpr size_t kRequestCount = 4;
inline constexpr size_t kRequestStopMode = 12;       // 0 ignore, 1 stop, 2 loop
inline constexpr size_t kRequestCountCopy = 20;
inline constexpr size_t kRequestPatternType = 24;    // 0 random ... 4 custom, 5 fixed word
inline constexpr size_t kRequestLoopbackType = 28;   // 4 internal, 2 external, 0 internal 10-bit, 3 FCoE echo
inline constexpr size_t kRequestDataSize = 32;       // bytes per frame
inline constexpr size_t kRequestPattern = 40;        // 8 characters
inline constexpr size_t kRequestPatternSize = 8;
inline constexpr size_t kRequestConnectionMode = 123;  // u8, loopback only

// One loopback run's result, filled by the library.
inline constexpr size_t kLoopbackResultSize = 420;
inline constexpr size_t kLoopbackStatus = 4;          // NUL-terminated text, "Success" when passed
inline constexpr size_t kLoopbackStatusSize = 64;
inline constexpr size_t kLoopbackCrcErrors = 68;      // i32
inline constexpr size_t kLoopbackDisparityErrors = 72;
inline constexpr size_t kLoopbackFrameLengthErrors = 76;

// One element of a read/write buffer result list (one per remote port).
inline constexpr size_t kRwStatus = 4;                // NUL-terminated text
inline constexpr size_t kRwStatusSize = 260;
inline constexpr size_t kRwPortId = 264;              // 3 bytes: domain, area, port
inline constexpr size_t kRwDataMiscompare = 268;      // i32 counters
inline constexpr size_t kRwLinkFailure = 272;
inline constexpr size_t kRwLossOfSync = 276;
inline constexpr size_t kRwLossOfSignal = 280;
inline constexpr size_t kRwInvalidCrc = 284;
inline constexpr size_t kRwNext = 4736;               // pointer, null at the end
inline constexpr size_t kRwElementSize = 4744;
}  // namespace kxdiag

// Sends an RDP request to the attached port. *size is the buffer's size on
// entry and the number of valid reply bytes on return.
uint32_t KXAPI_DiagnosticsRDPTest(KXAPI_PORT_HANDLE port, uint8_t* buffer, uint32_t* size);
// One loopback run; fills result (kLoopbackResultSize bytes). No status value.
void KXAPI_DiagnosticsLoopBackTest(void* result, KXAPI_PORT_HANDLE port, void* request);
// One read/write buffer run: the result list (owned by the library, released
// with KXAPI_FreeRWBufferTestResultList), or null.
void* KXAPI_DiagnosticsReadWriteBufferTest(KXAPI_PORT_HANDLE port, void* request);
void KXAPI_FreeRWBufferTestResultList(void* list);
// D-Port, CT pass-through, FC ping and FC echo.
namespace kxdiag {

// D-Port test result, filled by both test interfaces. Fields marked BE are
// stored most significant byte first; the others are in host order.
constexpr size_t kDPortRecordSize = 240;
constexpr size_t kDPortLatency = 8;            // u32 BE, roundtrip link latency, ns
constexpr size_t kDPortDistance = 12;          // u32 BE, cable link distance, metres
constexpr size_t kDPortHbaValue = 52;          // u32
constexpr size_t kDPortHbaStatus = 56;         // u8 test status code
constexpr size_t kDPortElectricalValue = 57;   // u8, then its status byte
constexpr size_t kDPortOpticalValue = 59;      // u8, then its status byte
constexpr size_t kDPortTrafficValue = 61;      // u8, then its status byte
constexpr size_t kDPortStartTime = 64;         // text
constexpr size_t kDPortStopTime = 128;         // text
constexpr size_t kDPortTimeSize = 64;
constexpr size_t kDPortMbx1 = 192;             // u16
constexpr size_t kDPortMbx2 = 194;             // u16: the mailbox status when Mbx1 is kDPortMailboxFailed
constexpr size_t kDPortRemoteRxPower = 196;    // u16 BE, units of 0.1 uW
constexpr size_t kDPortRemoteTxPower = 198;    // u16 BE
constexpr size_t kDPortLocalRxPower = 202;     // u16 BE
constexpr size_t kDPortLocalTxPower = 204;     // u16 BE
constexpr uint16_t kDPortMailboxFailed = 0x4005;
constexpr uint8_t kFirmwareDPortV2 = 0x20;     // protocol entry kEntryFirmwareAttributes

// FC ping and CT: the destination WWPN as "aa:bb:..:hh" text in a buffer of
// kWwpnTextSize bytes; the library's result area (not shown) has kResultAreaSize.
constexpr size_t kWwpnTextSize = 32;
constexpr size_t kResultAreaSize = 256;
constexpr uint32_t kCTPing = 1;
constexpr uint32_t kCTFCTraceRoute = 2;

// FC echo: one result record per request.
constexpr size_t kEchoRecordSize = 92;
constexpr size_t kEchoFramesSent = 0;          // u32
constexpr size_t kEchoFramesReceived = 4;      // u32
constexpr size_t kEchoResponseLength = 8;      // u32, bytes
constexpr size_t kEchoError = 12;              // u32, non-zero: the echo failed
constexpr size_t kEchoStatusText = 16;         // text, NUL-terminated within the room
constexpr size_t kEchoStatusTextSize = 72;
constexpr size_t kEchoResponseTime = 88;       // f32, milliseconds
constexpr uint16_t kEchoToTarget = 2;
constexpr uint16_t kEchoToFabric = 3;

}  // namespace kxdiag

// Non-zero when the port is in D-Port mode.
uint32_t KXAPI_CheckAdapterDPortOption(KXAPI_PORT_HANDLE port);
// Switches D-Port mode on (1) or off (0); reserved is 0.
uint32_t KXAPI_ConfigureAdapterDPortSettings(KXAPI_PORT_HANDLE port, uint32_t enable, uint32_t reserved);
// Runs the D-Port test and fills result (kDPortRecordSize bytes).
uint32_t KXAPI_DiagnosticDPortTestV2(KXAPI_PORT_HANDLE port, void* result);
// The first test interface: no status; the result record is written to out,
// work is a zeroed scratch area of the same size.
void KXAPI_DiagnosticDPortTest(void* out, KXAPI_PORT_HANDLE port, void* work);
// count requests (1-65535) to a discovered target; *resultCount and the
// result area (areaSize bytes) are the library's.
uint32_t KXAPI_DiagnosticsFCPingTest(KXAPI_PORT_HANDLE port, const char* wwpnText, uint32_t count,
                                     uint32_t stopOnError, uint32_t* resultCount, void* resultArea, uint32_t areaSize);
// As the ping, for a CT test type (kCTPing, kCTFCTraceRoute).
uint32_t KXAPI_DiagnosticsCTCommand(KXAPI_PORT_HANDLE port, const char* wwpnText, uint32_t count, uint32_t stopOnError,
                                    uint32_t* resultCount, void* resultArea, uint32_t areaSize, uint32_t testType);
// One echo request (count 1) to a target (kEchoToTarget) or the fabric
// (kEchoToFabric); fills record (kEchoRecordSize bytes), also when it fails.
uint32_t KXAPI_DiagnosticsEchoElsTest(KXAPI_PORT_HANDLE port, const char* wwpnText, uint32_t count,
                                      uint32_t stopOnError, uint16_t destinationType, void* record);

// (end of diag)

// ---- scm ----

// Records of SAN congestion management (plain constexpr: internal linkage).
namespace kxrec {

// Protocol-entry fields of fabric notifications and congestion (offsets into the entry).
constexpr size_t kEntryScmNotifications = 684;        // u16: bit 0 congestion, 1 delivery, 2 link integrity
constexpr size_t kEntryScmLinkEventType = 686;        // u16
constexpr size_t kEntryScmLinkEventThreshold = 688;   // u32, ms
constexpr size_t kEntryScmDeliveryEventType = 692;    // u16
constexpr size_t kEntryScmCongestionEventType = 694;  // u16
constexpr size_t kEntryScmCongestionPeriod = 696;     // u32, ms
constexpr size_t kEntryScmSeverity = 700;             // u8: 0xF1 warning, 0xF7 alarm, 0 none
constexpr size_t kEntryScmFabricFlags = 701;          // u8: bit 0 RDF accepted, 1 first switch kind, 2 second
constexpr size_t kEntryScmCongestionState = 702;      // u8: 0 healthy, 1 congested
constexpr size_t kEntryScmVirtualLane = 703;          // u8: 1 operational, 2 non-operational
constexpr size_t kEntryScmSecondsSinceEvent = 704;    // u32
constexpr size_t kEntryScmLinkIntegrityEvents = 708;  // u8, non-zero when received
constexpr size_t kEntryScmDeliveryEvents = 709;       // u8, non-zero when received
constexpr size_t kEntryScmIoThrottling = 710;         // u8: 1 none, 2 active
constexpr size_t kEntryScmAlarmCount = 840;           // u64
constexpr size_t kEntryScmWarningCount = 848;         // u64
constexpr uint32_t kCapScmPhase1 = 1u << 23;          // capability flags (offset 160)
constexpr uint32_t kCapScmPhase2 = 1u << 26;

// Target-entry fields (offsets into the target entry); congestion state,
// virtual lane and I/O throttling are kTargetCongestionState & co. above.
constexpr size_t kTargetScmNotifications = 30;        // u16: bit 1 delivery, 2 link integrity, 3 peer congestion
constexpr size_t kTargetScmLinkEventType = 32;        // u16
constexpr size_t kTargetScmLinkEventThreshold = 36;   // u32, ms
constexpr size_t kTargetScmDeliveryEventType = 40;    // u16
constexpr size_t kTargetScmPeerEventType = 42;        // u16
constexpr size_t kTargetScmPeerPeriod = 44;           // u32, ms
constexpr size_t kTargetScmLinkIntegrityEvents = 49;  // u8, non-zero when received
constexpr size_t kTargetScmSecondsSinceEvent = 52;    // u32

// Further u32 counters of the KXAPI_GetPortStatisticsFC record, for a target.
constexpr size_t kStatsDeliveryUnknown = 0x30;
constexpr size_t kStatsDeliveryTimeout = 0x34;
constexpr size_t kStatsDeliveryUnroutable = 0x38;
constexpr size_t kStatsDeliveryDeviceSpecific = 0x3C;
constexpr size_t kStatsPeerClear = 0x40;
constexpr size_t kStatsPeerLostCredit = 0x44;
constexpr size_t kStatsPeerCreditStall = 0x48;
constexpr size_t kStatsPeerOversubscription = 0x4C;
constexpr size_t kStatsPeerDeviceSpecific = 0x50;
constexpr size_t kStatsLinkUnknownEvent = 0x68;
constexpr size_t kStatsLinkDeviceSpecific = 0x6C;

// SCMR statistics list: records linked by kScmrNext, owned by the library.
constexpr size_t kScmrNames = 0;             // 16 bytes: node name, then port name
constexpr size_t kScmrNamesSize = 16;
constexpr size_t kScmrKind = 16;             // u32
constexpr size_t kScmrCounters = 48;         // u64 counters, counter i at kScmrCounters + 8 * i
constexpr size_t kScmrCounterCount = 26;
constexpr size_t kScmrUncorrectableFec = 256;  // u64
constexpr size_t kScmrNext = 968;            // pointer; null ends the list
constexpr size_t kScmrRecordSize = 976;
constexpr uint32_t kScmrKindPhysicalPort = 128;  // any other kind is a remote target's record
constexpr size_t ScmrCounter(size_t index) { return kScmrCounters + 8 * index; }

// SCMR profile record (16 bytes); bytes 3-15 are the library's.
constexpr size_t kScmrProfileSize = 16;
constexpr size_t kProfileConfigured = 0;     // u8: 0 USCM on
constexpr size_t kProfileManagement = 1;     // u8: 0 driver settings, 1 NVRAM
constexpr size_t kProfileActivation = 2;     // u8: 0 Monitor_Only .. 4 Defensive

}  // namespace kxrec

// *enabled is non-zero when USCM is enabled on the port.
uint32_t KXAPI_IsUSCMFeatureEnabled(KXAPI_PORT_HANDLE port, uint8_t* enabled);
// *list: the first SCMR statistics record, or null; returned with KXAPI_FreeSCMRStatisticsList.
uint32_t KXAPI_GetSCMRStatisticsList(KXAPI_PORT_HANDLE port, void** list);
uint32_t KXAPI_FreeSCMRStatisticsList(void* list);
// Clears the SCM statistics of every target of the port.
uint32_t KXAPI_SANCongMgmtResetStatistics(KXAPI_PORT_HANDLE port);
// The kScmrProfileSize-byte profile record.
uint32_t KXAPI_GetSCMRProfile(KXAPI_PORT_HANDLE port, uint8_t* record);
uint32_t KXAPI_SetSCMRProfile(KXAPI_PORT_HANDLE port, uint8_t* record);

// (end of scm)

// ---- maint ----

// *isMezz is 1 for a mezzanine adapter.
uint32_t KXAPI_IsMezzAdapter(KXAPI_PORT_HANDLE port, uint8_t* isMezz);
// Beacon state of the adapter owning the port: 0 off, 1 on.
uint32_t KXAPI_GetAdapterBeaconStatus(KXAPI_PORT_HANDLE port, uint32_t* state);
uint32_t KXAPI_UpdateAdapterBeaconStatus(KXAPI_PORT_HANDLE port, uint32_t state);
// Firmware dump of the port whose handle number (entry offset 20) is instance.
// On success *buffer is a CoreMalloc block of *size bytes the caller frees.
uint32_t KXAPI_SDGetFwDump2(uint32_t instance, uint32_t reserved, uint8_t** buffer, uint32_t* size);

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
