// Status codes, shared keywords and shared failure messages.
//
// Every command returns one of these codes; the families' DisplayError tables
// turn the ones that reach the user into a "Failed, ..." message.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

namespace kxstatus {

inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kModeWithoutCommand = 2;
inline constexpr uint32_t kStartupFailed = 3;
inline constexpr uint32_t kWrongParameter = 4;
inline constexpr uint32_t kHelpRequest = 5;
inline constexpr uint32_t kInvalidParameter = 6;
inline constexpr uint32_t kUnknownCommand = 7;
inline constexpr uint32_t kQuit = 10;
inline constexpr uint32_t kBadMode = 12;
inline constexpr uint32_t kReadFailed = 13;
inline constexpr uint32_t kNoInventory = 14;
inline constexpr uint32_t kFileNotFound = 19;
inline constexpr uint32_t kUpdateFailed = 20;
inline constexpr uint32_t kAdapterNotFound = 21;
inline constexpr uint32_t kTargetNotFound = 28;
inline constexpr uint32_t kNotSupportedForAdapter = 35;
inline constexpr uint32_t kMemoryError = 42;
inline constexpr uint32_t kVirtualPort = 51;
inline constexpr uint32_t kMaintenanceMode = 60;
// Port diagnostics.
inline constexpr uint32_t kMailboxFailed = 33;
inline constexpr uint32_t kDiagnosticFailed = 34;
inline constexpr uint32_t kBootFromSan = 40;
inline constexpr uint32_t kLinkDown = 43;
inline constexpr uint32_t kNeeds16Gbps = 44;
inline constexpr uint32_t kNotDiagMode = 48;

// Library error that any port-level call returns while the port is in maintenance mode.
inline constexpr uint32_t kLibMaintenanceMode = 150;

// The status of a failed port-level library call: maintenance mode, or the
// family's own status for the failure.
constexpr uint32_t FromPortCall(uint32_t libraryResult, uint32_t otherwise) {
  return libraryResult == kLibMaintenanceMode ? kMaintenanceMode : otherwise;
}

}  // namespace kxstatus

namespace kxkey {

inline constexpr const char* kMessage = "Message";
inline constexpr const char* kRebootRequired = "Reboot Required";
inline constexpr const char* kData = "Data";
inline constexpr const char* kSuccess = "Success";
inline constexpr const char* kFailed = "Failed";
inline constexpr const char* kUnknown = "Unknown";
inline constexpr const char* kNA = "NA";
inline constexpr const char* kNone = "None";
inline constexpr const char* kReserved = "Reserved";
inline constexpr const char* kEnabled = "Enabled";
inline constexpr const char* kDisabled = "Disabled";
inline constexpr const char* kWarning = "Warning";
inline constexpr const char* kAlarm = "Alarm";
inline constexpr const char* kError = "Error";
inline constexpr const char* kActive = "Active";
inline constexpr const char* kYes = "Yes";
inline constexpr const char* kNo = "No";
inline constexpr const char* kTrue = "true";
inline constexpr const char* kFalse = "false";
inline constexpr const char* kOnline = "Online";
inline constexpr const char* kOffline = "Offline";

}  // namespace kxkey

namespace kxmsg {

inline constexpr const char* kAdapterNotFound = "Failed, Adapter not found";
inline constexpr const char* kHostNotFound = "Failed, Host not found";
inline constexpr const char* kInvalidParameter = "Failed, Invalid parameter";
inline constexpr const char* kInvalidRequest = "Failed, Invalid Request";
inline constexpr const char* kMemoryError = "Failed, Memory Error";
inline constexpr const char* kFileNotFound = "Failed, File not found";
inline constexpr const char* kFileOpenError = "Failed, File Open Error";
inline constexpr const char* kFileReadError = "Failed, File read Error";
inline constexpr const char* kFileNotValid = "Failed, File not Valid";
inline constexpr const char* kCorruptedFile = "Failed, Corrupted File";
inline constexpr const char* kInvalidFileSize = "Failed, Invalid File Size";
inline constexpr const char* kInvalidSsid = "Failed, Invalid SSID";
inline constexpr const char* kChecksumError = "Failed, Checksum Error";
inline constexpr const char* kInvalidSignature = "Failed, Invalid Signature";
inline constexpr const char* kFlashUpdateError = "Failed, Flash Update Error";
inline constexpr const char* kFlashLockdown = "Failed, Flash Update disabled as FW lockdown mode enabled";
inline constexpr const char* kFlashValidation = "Failed, Flash Image Components Validation Error";
inline constexpr const char* kPersonalityNotAllowed = "Failed, Personality change not allowed for user";
inline constexpr const char* kNotSupportedAdapter = "Failed, Feature not supported for this adapter";
inline constexpr const char* kNotSupportedVport = "Failed, Feature not supported for virtual port";
inline constexpr const char* kNotSupportedSwitch = "Failed, Feature not supported by switch";
inline constexpr const char* kNotSupportedNvme = "Failed, Feature not supported for NVMe target";
inline constexpr const char* kNotSupportedBfs = "Failed, Feature not supported in Boot-From-SAN mode";
inline constexpr const char* kFeatureDisabled = "Failed, Feature disabled on the port";
inline constexpr const char* kRequiresLinkUp = "Failed, Feature requires link up";
inline constexpr const char* kStatisticsRead = "Failed, Statistics read error";
inline constexpr const char* kNoRomBios = "Failed, Adapter does not have ROM BIOS";
inline constexpr const char* kNoRomUefi = "Failed, Adapter does not have ROM UEFI";
inline constexpr const char* kTargetNotFound = "Failed, Target not found";
inline constexpr const char* kDiagnosticFailed = "Failed, Diagnostic test failed";
inline constexpr const char* kNotDiagMode = "Failed, Port not in diagnostics mode";
inline constexpr const char* kFirmwareNotReady = "Failed, Firmware not ready to execute requested command";
inline constexpr const char* kCustomData = "Failed, Custom Data should be of 8 chars separated by '-' (hifen)";
inline constexpr const char* kSfpNoWrap = "Failed, SFP does not support WRAP capability";
inline constexpr const char* kSfpFwUpdate = "Failed, SFP FW update failed";
inline constexpr const char* kSfpVendor = "Failed, SFP FW update not supported for this SFP vendor";
inline constexpr const char* kSfpFile = "Failed, SFP FW file not supported for this SFP";
inline constexpr const char* kMaintenanceMode = "Failed, Command not supported when adapter port in maintenance mode";
inline constexpr const char* kImageSetValidation = "Failed, Image set validation error";
inline constexpr const char* kImageSetConfig = "Failed, Image set config error";
inline constexpr const char* kUnknown = "Failed, Unknown";
inline constexpr const char* kDriverFirmwareNoSupport = "Failed, Driver/Firmware does not support this feature";
// The port diagnostics' texts for statuses 13, 20 and 44.
inline constexpr const char* kDiagReadFailed = "Failed, DPortDiag read failed";
inline constexpr const char* kDiagUpdateFailed = "Failed, DPortDiag update failed";
inline constexpr const char* kDiagNeeds16Gbps = "Failed, Feature supported for speeds 16 Gbps and above";

}  // namespace kxmsg

// One row of a family's status-to-message table.
struct StatusMessage {
  uint32_t status;
  const char* message;
};

using MessageTable = std::span<const StatusMessage>;

// The table's message for the status; "Failed, Unknown" when the table has none.
const char* LookupMessage(MessageTable table, uint32_t status);

// The codes that carry the same message in every family that handles them.
// A family table picks the ones it accepts, e.g. {kxmsg::Common(6), kxmsg::Common(51), {13, "..."}}.
namespace kxmsg {
const StatusMessage& Common(uint32_t status);
// The outcome texts of the port diagnostic tests (FC ping, CT, RDP), "Success" for 0.
MessageTable Diagnostic();
}
