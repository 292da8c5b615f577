#include "scm/ScmReport.h"

#include <cstring>
#include <initializer_list>
#include <span>

#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"
#include "shell/KxApi.h"

namespace kxscm {

namespace {

using kxinv::ReadAt;

// ---- words ----

struct WordTable {
  std::span<const Word> words;
  const char* other;
  const char* Of(uint32_t value) const {
    for (const Word& w : words)
      if (w.value == value) return w.text;
    return other;
  }
};

constexpr Word kPortStateWords[] = {{1, kxkey::kOnline}, {3, kxkey::kOffline}};
constexpr Word kLinkEventWords[] = {
    {0, "Unknown"},           {1, "Link Failure"},    {2, "Loss Of Sync"},
    {3, "Loss Of Signal"},    {4, "Primitive Sequence Protocol Error"},
    {5, "Invalid Transmission Word"}, {6, "Invalid CRC"}, {15, "Device Specific"},
};
constexpr Word kPortDeliveryWords[] = {{0, "Unknown"}, {1, "Timeout"}, {2, "Unable To Route"}, {15, "Device Specific"}};
constexpr Word kTargetDeliveryWords[] = {{1, "Timeout"}, {2, "Unable To Route"}, {0, "Unknown"}};
constexpr Word kCongestionEventWords[] = {
    {0, "Clear"}, {1, "Lost Credit"}, {2, "Credit Stall"}, {3, "Oversubscription"}, {15, "Device Specific"},
};
constexpr Word kSeverityWords[] = {{0xF1, kxkey::kWarning}, {0xF7, kxkey::kAlarm}, {0, kxkey::kNone}};
constexpr Word kCongestionStateWords[] = {{0, "Healthy"}, {1, "Congested"}};
constexpr Word kNoWords[] = {{0, kxkey::kNo}};
constexpr Word kConfiguredWords[] = {{0, kxkey::kTrue}};
constexpr Word kManagementWords[] = {{0, kDriverSettings}};
// Notification kinds: one word per bit, joined in this order.
constexpr Word kPortNotificationBits[] = {{0x1, "Congestion, "}, {0x2, "Delivery, "}, {0x4, "Link Integrity"}};
constexpr Word kTargetNotificationBits[] = {{0x2, "Delivery, "}, {0x4, "Link Integrity, "}, {0x8, "Peer Congestion"}};

constexpr WordTable kPortState{kPortStateWords, kxkey::kUnknown};
constexpr WordTable kLinkEvent{kLinkEventWords, kxkey::kReserved};
constexpr WordTable kPortDelivery{kPortDeliveryWords, kxkey::kReserved};
constexpr WordTable kTargetDelivery{kTargetDeliveryWords, kxkey::kReserved};
constexpr WordTable kCongestionEvent{kCongestionEventWords, kxkey::kReserved};
constexpr WordTable kSeverity{kSeverityWords, kxkey::kReserved};
constexpr WordTable kCongestionState{kCongestionStateWords, kxkey::kUnknown};
constexpr WordTable kYesNo{kNoWords, kxkey::kYes};
constexpr WordTable kConfigured{kConfiguredWords, kxkey::kFalse};
constexpr WordTable kManagement{kManagementWords, "NVRAM"};
constexpr WordTable kActivation{kActivationProfiles, kxkey::kUnknown};
constexpr WordTable kPortNotifications{kPortNotificationBits, kxkey::kNone};
constexpr WordTable kTargetNotifications{kTargetNotificationBits, kxkey::kNone};

// ---- lines ----

// How a line shows its value.
enum class Show {
  kNodeName,  // "%s: " and eight bytes, the block's first line
  kName,      // indented, eight bytes
  kPortId,    // three bytes
  kNumber,    // "%u": 32-bit counters, and the low 32 bits of wider ones
  kMs,        // "%u (ms)"
  kCount,     // "%llu": 64-bit counters
  kWord,      // the value's word
  kBits,      // the words of the set bits joined, or the fallback
  kText,      // the label itself
};
enum class Width { k8, k16, k32, k64 };
// Which record a line reads: the port or target entry, or the statistics
// (FC statistics record, SCMR record or profile record).
enum class From { kSubject, kStats };

struct Line {
  Show show;
  const char* label;
  From from = From::kSubject;
  size_t offset = 0;
  Width width = Width::k32;
  const WordTable* words = nullptr;
};

constexpr Line Text(const char* text) { return {Show::kText, text}; }
constexpr Line Number(const char* label, From from, size_t offset, Width width = Width::k32) {
  return {Show::kNumber, label, from, offset, width};
}
constexpr Line Ms(const char* label, size_t offset) { return {Show::kMs, label, From::kSubject, offset}; }
constexpr Line Word8(const char* label, From from, size_t offset, const WordTable& words) {
  return {Show::kWord, label, from, offset, Width::k8, &words};
}
constexpr Line Word16(const char* label, size_t offset, const WordTable& words) {
  return {Show::kWord, label, From::kSubject, offset, Width::k16, &words};
}
constexpr Line Bits(const char* label, size_t offset, const WordTable& words) {
  return {Show::kBits, label, From::kSubject, offset, Width::k16, &words};
}
constexpr Line Scmr(const char* label, size_t index) {
  return {Show::kCount, label, From::kStats, kxrec::ScmrCounter(index), Width::k64};
}
constexpr Line Stat(const char* label, size_t offset) { return Number(label, From::kStats, offset); }

constexpr const char* kDivider = "      -----------------------------------\n";

constexpr Line kPortIdentity[] = {
    {Show::kNodeName, "Node Name", From::kSubject, kxrec::kEntryNodeName},
    {Show::kName, "Port Name", From::kSubject, kxrec::kEntryWWPN},
    {Show::kPortId, "Port Id", From::kSubject, kxrec::kEntryPortId},
    Word8("Port State", From::kSubject, kxrec::kEntryPortState, kPortState),
};
constexpr Line kTargetIdentity[] = {
    {Show::kNodeName, "Node Name", From::kSubject, kxrec::kTargetNodeName},
    {Show::kName, "Port Name", From::kSubject, kxrec::kTargetWWPN},
    {Show::kPortId, "Port Id", From::kSubject, kxrec::kTargetPortId},
    Number("Target Number", From::kSubject, kxrec::kTargetNumber, Width::k16),
};

constexpr size_t FirmwareCounter(size_t i) { return kxrec::kEntryFirmwareCounters + 4 * i; }
constexpr Line kPortPhase1[] = {
    Bits("Congestion Notification", kxrec::kEntryScmNotifications, kPortNotifications),
    Word16("Link Event Type", kxrec::kEntryScmLinkEventType, kLinkEvent),
    Ms("Link Event Threshold", kxrec::kEntryScmLinkEventThreshold),
    Number("Link Failure Count", From::kSubject, FirmwareCounter(0)),
    Number("Loss Of Sync Count", From::kSubject, FirmwareCounter(1)),
    Number("Loss Of Signal Count", From::kSubject, FirmwareCounter(2)),
    Number("Primitive Sequence Protocol Error Count", From::kSubject, FirmwareCounter(3)),
    Number("Invalid Transmission Word Count", From::kSubject, FirmwareCounter(4)),
    Number("Invalid CRC Count", From::kSubject, FirmwareCounter(5)),
    Word16("Delivery Notification", kxrec::kEntryScmDeliveryEventType, kPortDelivery),
    Word16("Congestion Event Type", kxrec::kEntryScmCongestionEventType, kCongestionEvent),
    Ms("Congestion Event Period", kxrec::kEntryScmCongestionPeriod),
    Word8("Congestion Severity", From::kSubject, kxrec::kEntryScmSeverity, kSeverity),
    Number("Congestion Alarm Count", From::kSubject, kxrec::kEntryScmAlarmCount, Width::k64),
    Number("Congestion Warning Count", From::kSubject, kxrec::kEntryScmWarningCount, Width::k64),
};

constexpr Line kTargetPhase1[] = {
    Bits("Congestion Notification", kxrec::kTargetScmNotifications, kTargetNotifications),
    Word16("Link Event Type", kxrec::kTargetScmLinkEventType, kLinkEvent),
    Ms("Link Event Threshold", kxrec::kTargetScmLinkEventThreshold),
    Stat("Link Failure Count", kxrec::kStatsLinkFailure),
    Stat("Link Unknown Event Count", kxrec::kStatsLinkUnknownEvent),
    Stat("Loss Of Sync Count", kxrec::kStatsLossOfSync),
    Stat("Loss Of Signal Count", kxrec::kStatsLossOfSignal),
    Stat("Link Device Specific Event Count", kxrec::kStatsLinkDeviceSpecific),
    Stat("Primitive Sequence Protocol Error Count", kxrec::kStatsPrimitiveSeqError),
    Stat("Invalid Transmission Word Count", kxrec::kStatsInvalidTxWord),
    Stat("Invalid CRC Count", kxrec::kStatsInvalidCrc),
    Word16("Delivery Notification", kxrec::kTargetScmDeliveryEventType, kTargetDelivery),
    Stat("Delivery Failure Unknown Count", kxrec::kStatsDeliveryUnknown),
    Stat("Delivery Timeout Count", kxrec::kStatsDeliveryTimeout),
    Stat("Delivery Unable To Route Count", kxrec::kStatsDeliveryUnroutable),
    Stat("Delivery Failure Device Specific Count", kxrec::kStatsDeliveryDeviceSpecific),
    Word16("Peer Congestion Event Type", kxrec::kTargetScmPeerEventType, kCongestionEvent),
    Ms("Peer Congestion Event Period", kxrec::kTargetScmPeerPeriod),
    Stat("Peer Congestion Clear Count", kxrec::kStatsPeerClear),
    Stat("Peer Congestion Lost Credit Count", kxrec::kStatsPeerLostCredit),
    Stat("Peer Congestion Credit Stall Count", kxrec::kStatsPeerCreditStall),
    Stat("Peer Congestion Oversubscription Count", kxrec::kStatsPeerOversubscription),
    Stat("Peer Congestion Device Specific Count", kxrec::kStatsPeerDeviceSpecific),
};

// Phase 2: pieces of the SCMR record's report, in the order each report takes them.
constexpr Line kMitigationHead[] = {Text(kDivider), Text("      Congestion Mitigation\n"), Text(kDivider)};
constexpr Line kAlarmWarning[] = {Scmr("Congestion Alarm Count", 0), Scmr("Congestion Warning Count", 1)};
constexpr Line kMitigation[] = {
    Scmr("Cleared Congestion Count", 2), Scmr("Throttled Up Count", 4), Scmr("Throttled Down Count", 3),
    Scmr("Bottomed Out Count", 6),       Scmr("Returned Busy Count", 5),
};
constexpr Line kNotificationHead[] = {
    Text(kDivider), Text("      Rx Fabric Performance Impact \n"), Text("      Notifications\n"), Text(kDivider),
};
constexpr Line kLinkCounters[] = {
    Scmr("Link Failure Count", 7),
    Scmr("Link Unknown Event Count", 8),
    Scmr("Loss Of Sync Count", 9),
    Scmr("Loss Of Signal Count", 10),
    Scmr("Link Device Specific Event Count", 14),
    Scmr("Primitive Sequence Protocol Error Count", 11),
    Scmr("Invalid Transmission Word Count", 12),
    Scmr("Invalid CRC Count", 13),
    {Show::kCount, "Link Uncorrectable FEC Count", From::kStats, kxrec::kScmrUncorrectableFec, Width::k64},
};
constexpr Line kDeliveryCounters[] = {
    Scmr("Delivery Failure Unknown Count", 15), Scmr("Delivery Timeout Count", 16),
    Scmr("Delivery Unable To Route Count", 17), Scmr("Delivery Failure Device Specific Count", 18),
};
constexpr Line kCongestionCounters[] = {
    Scmr("Congestion Clear Count", 19),        Scmr("Congestion Lost Credit Count", 20),
    Scmr("Congestion Credit Stall Count", 21), Scmr("Congestion Oversubscription Count", 22),
    Scmr("Congestion Device Specific Count", 23),
};
constexpr Line kPortTrailer[] = {Text(kDivider)};
constexpr Line kPunCounter[] = {Scmr("PUN Count", 25)};

constexpr Line kPortStatus[] = {
    Word8("Congestion Current State", From::kSubject, kxrec::kEntryScmCongestionState, kCongestionState),
    Word8("Congestion Severity", From::kSubject, kxrec::kEntryScmSeverity, kSeverity),
    Word8("Link Integrity Events", From::kSubject, kxrec::kEntryScmLinkIntegrityEvents, kYesNo),
    Word8("Delivery Notification Events", From::kSubject, kxrec::kEntryScmDeliveryEvents, kYesNo),
    Number("Seconds Since Last Event", From::kSubject, kxrec::kEntryScmSecondsSinceEvent),
};
constexpr Line kTargetStatus[] = {
    Word8("Congestion Current State", From::kSubject, kxrec::kTargetCongestionState, kCongestionState),
    Word8("Link Integrity Events", From::kSubject, kxrec::kTargetScmLinkIntegrityEvents, kYesNo),
    Number("Seconds Since Last Event", From::kSubject, kxrec::kTargetScmSecondsSinceEvent),
};
constexpr Line kProfile[] = {
    Word8("USCM Configuration Status", From::kStats, kxrec::kProfileConfigured, kConfigured),
    Word8("USCM Profile Management", From::kStats, kxrec::kProfileManagement, kManagement),
    Word8("USCM Profile Activation", From::kStats, kxrec::kProfileActivation, kActivation),
};

uint64_t Read(const uint8_t* record, size_t offset, Width width) {
  switch (width) {
    case Width::k8: return ReadAt<uint8_t>(record, offset);
    case Width::k16: return ReadAt<uint16_t>(record, offset);
    case Width::k32: return ReadAt<uint32_t>(record, offset);
    case Width::k64: return ReadAt<uint64_t>(record, offset);
  }
  return 0;
}

// Appends the lines of each part in turn, reading subject and stats records.
void AddLines(ReportBlock& block, std::initializer_list<std::span<const Line>> parts, const uint8_t* subject,
              const uint8_t* stats) {
  for (std::span<const Line> part : parts) {
    for (const Line& l : part) {
      const uint8_t* record = l.from == From::kSubject ? subject : stats;
      const uint8_t* b = record + l.offset;
      switch (l.show) {
        case Show::kNodeName:
        case Show::kName:
          block.Add(l.show == Show::kNodeName ? "%s: %02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x\n"
                                              : "      %s: %02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x\n",
                    l.label, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
          break;
        case Show::kPortId: block.Add("      %s: %02x:%02x:%02x\n", l.label, b[0], b[1], b[2]); break;
        case Show::kNumber:
          block.Add("      %s: %u\n", l.label, static_cast<uint32_t>(Read(record, l.offset, l.width)));
          break;
        case Show::kMs:
          block.Add("      %s: %u (ms)\n", l.label, static_cast<uint32_t>(Read(record, l.offset, l.width)));
          break;
        case Show::kCount:
          block.Add("      %s: %llu\n", l.label, static_cast<unsigned long long>(Read(record, l.offset, l.width)));
          break;
        case Show::kWord:
          block.Add("      %s: %s\n", l.label, l.words->Of(static_cast<uint32_t>(Read(record, l.offset, l.width))));
          break;
        case Show::kBits: {
          const uint64_t bits = Read(record, l.offset, l.width);
          std::string joined;
          for (const Word& w : l.words->words)
            if (bits & w.value) joined += w.text;
          block.Add("      %s: %s", l.label, joined.empty() ? l.words->other : joined.c_str());
          block.Add("\n");
          break;
        }
        case Show::kText: block.Add("%s", l.label); break;
      }
    }
  }
}

std::string Build(size_t capacity, const std::string& tracePrefix,
                  std::initializer_list<std::span<const Line>> parts, const uint8_t* subject, const uint8_t* stats) {
  ReportBlock block(capacity, tracePrefix);
  AddLines(block, parts, subject, stats);
  return block.Text();
}

const uint8_t* NextRecord(const uint8_t* record) { return kxinv::PointerAt(record, kxrec::kScmrNext); }

}  // namespace

const Word kActivationProfiles[5] = {
    {0, "Monitor_Only"}, {1, "Conservative"}, {2, "Moderate"}, {3, "Aggressive"}, {4, "Defensive"},
};

const uint8_t* FindPortRecord(const void* list) {
  for (auto r = static_cast<const uint8_t*>(list); r; r = NextRecord(r))
    if (ReadAt<uint32_t>(r, kxrec::kScmrKind) == kxrec::kScmrKindPhysicalPort) return r;
  return nullptr;
}

const uint8_t* FindTargetRecord(const void* list, const uint8_t* target) {
  // Node name and port name lie side by side in both records.
  static_assert(kxrec::kTargetWWPN == kxrec::kTargetNodeName + 8);
  const auto* head = static_cast<const uint8_t*>(list);
  for (const uint8_t* r = head ? NextRecord(head) : nullptr; r; r = NextRecord(r))
    if (std::memcmp(r + kxrec::kScmrNames, target + kxrec::kTargetNodeName, kxrec::kScmrNamesSize) == 0) return r;
  return nullptr;
}

std::string PortPhase1(const uint8_t* entry, const std::string& tracePrefix) {
  return Build(kStatsBlockSize, tracePrefix, {kPortIdentity, kPortPhase1}, entry, nullptr);
}

std::string PortPhase2(const uint8_t* entry, const uint8_t* record, const std::string& tracePrefix) {
  if (!record) return Build(kStatsBlockSize, tracePrefix, {kPortIdentity}, entry, nullptr);
  return Build(kStatsBlockSize, tracePrefix,
               {kPortIdentity, kMitigationHead, kAlarmWarning, kMitigation, kNotificationHead, kLinkCounters,
                kDeliveryCounters, kCongestionCounters, kPortTrailer},
               entry, record);
}

std::string TargetPhase1(const uint8_t* target, const uint8_t* statistics, const std::string& tracePrefix) {
  return Build(kStatsBlockSize, tracePrefix, {kTargetIdentity, kTargetPhase1}, target, statistics);
}

std::string TargetPhase2(const uint8_t* target, const uint8_t* record, const std::string& tracePrefix) {
  if (!record) return Build(kStatsBlockSize, tracePrefix, {kTargetIdentity}, target, nullptr);
  return Build(kStatsBlockSize, tracePrefix,
               {kTargetIdentity, kMitigationHead, kMitigation, kNotificationHead, kLinkCounters,
                kCongestionCounters, kPunCounter},
               target, record);
}

const char* FabricConnectionWord(uint8_t flags) {
  if (!(flags & 0x01)) return "RDF Reject";
  if (flags & 0x02) return "RDF Completed (Brocade)";
  if (flags & 0x04) return "RDF Completed (Cisco)";
  return "RDF Completed";
}

AdapterKind KindOf(const kxinv::PortEntryRef& entry) {
  const kxinv::PciIdentity pci = entry.Pci();
  return {kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) || kxinv::IsDeviceGroupC(pci),
          kxinv::IsDeviceGroupC(pci), entry.CapabilityFlags()};
}

const char* PortVirtualLaneWord(const AdapterKind& adapter, uint8_t lane) {
  if (!adapter.groupC) return kxkey::kDisabled;
  if (lane == 1) return "Operational";
  if (lane == 2) return "Non-Operational";
  return kxkey::kDisabled;
}

const char* TargetVirtualLaneWord(const AdapterKind& adapter, uint8_t lane) {
  static constexpr Word kLanes[] = {{2, "Normal"}, {3, "Fast"}, {1, "Slow"}};
  if (!adapter.groupC) return kxkey::kNA;
  const char* other = (adapter.capabilities & kxrec::kCapVirtualLane) ? "Non-Operational" : kxkey::kNA;
  return WordTable{kLanes, other}.Of(lane);
}

const char* IoThrottlingWord(const AdapterKind& adapter, uint8_t throttling) {
  if (!adapter.groupABC) return kxkey::kNA;
  if (throttling == 2) return kxkey::kActive;
  if (throttling == 1) return kxkey::kNone;
  return (adapter.capabilities & kxrec::kCapIoThrottlingDisabled) ? kxkey::kDisabled : kxkey::kNone;
}

std::string PortStatus(const uint8_t* entry, const AdapterKind& adapter, const std::string& tracePrefix) {
  ReportBlock block(kStatusBlockSize, tracePrefix);
  AddLines(block, {kPortIdentity, kPortStatus}, entry, nullptr);
  block.Add("      %s: %s\n", "Fabric Connection Flags",
            FabricConnectionWord(ReadAt<uint8_t>(entry, kxrec::kEntryScmFabricFlags)));
  block.Add("      %s: %s\n", "Virtual Lane",
            PortVirtualLaneWord(adapter, ReadAt<uint8_t>(entry, kxrec::kEntryScmVirtualLane)));
  block.Add("      %s: %s\n", "I/O Throttling",
            IoThrottlingWord(adapter, ReadAt<uint8_t>(entry, kxrec::kEntryScmIoThrottling)));
  return block.Text();
}

std::string TargetStatus(const uint8_t* target, const AdapterKind& adapter, const std::string& tracePrefix) {
  ReportBlock block(kStatusBlockSize, tracePrefix);
  AddLines(block, {kTargetIdentity, kTargetStatus}, target, nullptr);
  block.Add("      %s: %s\n", "Virtual Lane",
            TargetVirtualLaneWord(adapter, ReadAt<uint8_t>(target, kxrec::kTargetVirtualLane)));
  block.Add("      %s: %s\n", "I/O Throttling",
            IoThrottlingWord(adapter, ReadAt<uint8_t>(target, kxrec::kTargetIoThrottling)));
  return block.Text();
}

std::string Profile(const uint8_t* entry, const uint8_t* record, const std::string& tracePrefix) {
  return Build(kProfileBlockSize, tracePrefix, {kPortIdentity, kProfile}, entry, record);
}

}  // namespace kxscm
