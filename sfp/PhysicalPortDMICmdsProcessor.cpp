#include "sfp/PhysicalPortDMICmdsProcessor.h"

#include "runtime/FileOps.h"


#include <algorithm>
#include <string>

#include "sfp/SfpDecoder.h"
#include "shell/Inventory.h"
#include "shell/KxApi.h"

namespace {

using Cls = PhysicalPortDMICmdsProcessor;


// Usage lines by command; the text twins share their command's line.

constexpr const char* kStructure = "DMIInformation";
constexpr const char* kDmiInfo = "Dmi Info";
constexpr const char* kDmiInfoList = "DMIInfoList";

constexpr uint32_t kDataNotAvailable = 8;
constexpr uint32_t kFileOpenError = 22;
constexpr uint32_t kChecksumError = 30;
constexpr uint32_t kDriverNoSupport = 45;
constexpr uint32_t kUnknownFailure = 50;
constexpr uint32_t kSfpFileNotSupported = 57;
constexpr uint32_t kSfpVendorNotSupported = 58;
constexpr uint32_t kSfpUpdateFailed = 59;

constexpr const char* kDataNotAvailableText = "Failed, Data not available";
constexpr const char* kReadFailedText = "Failed, SFP DMI data read failed";

const StatusMessage kErrorMessages[] = {
    kxmsg::Common(6),  {kDataNotAvailable, kDataNotAvailableText}, {kxstatus::kReadFailed, kReadFailedText},
    kxmsg::Common(14), kxmsg::Common(19), kxmsg::Common(21), kxmsg::Common(35), kxmsg::Common(60),
};

const StatusMessage kSaveMessages[] = {
    {0, kxkey::kSuccess},
    kxmsg::Common(6),
    {kDataNotAvailable, kDataNotAvailableText},
    {kxstatus::kReadFailed, kReadFailedText},
    kxmsg::Common(14),
    kxmsg::Common(19),
    kxmsg::Common(21),
    {kFileOpenError, kxmsg::kFileOpenError},
    kxmsg::Common(35),
    kxmsg::Common(42),
    kxmsg::Common(51),
    kxmsg::Common(60),
};

// This family's own text for 45 (not the shared driver/firmware one).
const StatusMessage kUpdateMessages[] = {
    {0, kxkey::kSuccess},
    kxmsg::Common(6),
    {kDataNotAvailable, kDataNotAvailableText},
    kxmsg::Common(14),
    kxmsg::Common(19),
    kxmsg::Common(21),
    {kFileOpenError, kxmsg::kFileOpenError},
    {kChecksumError, kxmsg::kChecksumError},
    kxmsg::Common(35),
    {kDriverNoSupport, "Failed, Feature not supported by driver"},
    {kSfpFileNotSupported, kxmsg::kSfpFile},
    {kSfpVendorNotSupported, kxmsg::kSfpVendor},
    {kSfpUpdateFailed, kxmsg::kSfpFwUpdate},
    kxmsg::Common(60),
};

// Library results of the save calls and the statuses they show as.
struct ResultMap {
  uint32_t result;
  uint32_t status;
};
constexpr ResultMap kSaveResults[] = {
    {3, kxstatus::kFileNotFound},   {40, kxstatus::kMemoryError},     {100, kxstatus::kVirtualPort},
    {101, kFileOpenError},          {113, kxstatus::kNotSupportedForAdapter},
    {121, kxstatus::kNotSupportedForAdapter}, {114, kxstatus::kAdapterNotFound},
    {kxstatus::kLibMaintenanceMode, kxstatus::kMaintenanceMode},
};
constexpr ResultMap kUpdateResults[] = {
    {101, kFileOpenError},          {107, kChecksumError},           {113, kxstatus::kNotSupportedForAdapter},
    {114, kxstatus::kAdapterNotFound}, {118, kDriverNoSupport},     {144, kSfpUpdateFailed},
    {145, kSfpVendorNotSupported},  {146, kSfpFileNotSupported},
    {kxstatus::kLibMaintenanceMode, kxstatus::kMaintenanceMode},
};

template <size_t N>
uint32_t MapResult(const ResultMap (&table)[N], uint32_t result, uint32_t otherwise) {
  if (result == 0) return 0;
  for (const ResultMap& row : table)
    if (row.result == result) return row.status;
  return otherwise;
}

// The flags of KXAPI_GetSFPDataEx.
constexpr uint32_t kReadCached = 0;
constexpr uint32_t kReadRefresh = 1;
constexpr uint32_t kReadRaw = 3;
constexpr uint32_t kFirmwareUpdateOption = 2;

constexpr uint32_t kDriverSfpFirmwareUpdate = 0x02;
constexpr const char* kSupportedSfpVendor = "WTD";

constexpr FieldDecl kDecodedFields[] = {{"Dmi Data", ValueType::kString}};
constexpr StructDecl kDecodedElement{kDmiInfoList, kDecodedFields};
constexpr FieldDecl kRawFields[] = {{"Dmi A0Data In Hex", ValueType::kString}, {"Dmi A2Data In Hex", ValueType::kString}};
constexpr StructDecl kRawElement{kDmiInfoList, kRawFields};
const ErrorDocument kGetDocument{kStructure, kErrorMessages, {}, {EmptyField::List(kDmiInfo, &kDecodedElement)}};
const ErrorDocument kRawDocument{kStructure, kErrorMessages, {}, {EmptyField::List(kDmiInfo, &kRawElement)}};
const ErrorDocument kSaveDocument{"SaveSFPData", kSaveMessages};
const ErrorDocument kUpdateDocument{"SFPFirmwareUpdate", kUpdateMessages};

constexpr ParamDef kGetParams[] = {
    kxparam::kPort,
    {"refresh", "--refresh", "-r", ValueType::kBool, false, "Read the module again instead of the cached data",
     "true"},
};
constexpr ParamDef kSaveParams[] = {
    kxparam::kPort,
    {"file", nullptr, nullptr, ValueType::kString, true, "Path of the file to write on the host",
     "/tmp/kxfc-sfp.txt"},
    {"format", nullptr, nullptr, ValueType::kString, true, "Binary (the raw pages) or Text (decoded)", "Text"},
};
constexpr ParamDef kUpdateParams[] = {
    kxparam::kPort,
    {"file", nullptr, nullptr, ValueType::kString, true, "Path of the module firmware image on the host",
     "/tmp/kxfc-sfp-firmware.bin"},
    {"vendor", nullptr, nullptr, ValueType::kString, true, "Module vendor; only WTD modules take an update", "WTD"},
};

const CommandDef<Cls> kCommands[] = {
    {"get", "Get Kaltex Physical Port SFP DMI information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
     {kGetParams, &kGetDocument}},
    {"getraw", "Get Kaltex Physical Port SFP DMI information as raw hex data", 1, CommandKind::kXml,
     &Cls::CmdGetRawCommon, "CmdGetRaw", nullptr, {kxparam::kPortOnly, &kRawDocument}},
    {"update", "Update Kaltex Physical Port SFP DMI Firmware", 2, CommandKind::kXml, &Cls::CmdUpdateCommon,
     "CmdUpdate", nullptr, {kUpdateParams, &kUpdateDocument}},
    {"save", "Save Kaltex Physical Port SFP DMI information in a file", 3, CommandKind::kXml, &Cls::CmdSaveCommon,
     "CmdSave", nullptr, {kSaveParams, &kSaveDocument}},
    {"help", "List of available commands", 4, CommandKind::kHelp},
    {"getcli", "Get Kaltex Physical Port SFP DMI information", 5, CommandKind::kText, &Cls::CmdGetCommon,
     "CmdGetCli", "Usage: get [port identifier]\r\n"},
    {"getrawcli", "Get Kaltex Physical Port SFP DMI information as raw hex data", 6, CommandKind::kText,
     &Cls::CmdGetRawCommon, "CmdGetRawCli", "Usage: getraw [port identifier]\r\n"},
    {"updatecli", "Update Kaltex Physical Port SFP DMI Firmware", 7, CommandKind::kText, &Cls::CmdUpdateCommon,
     "CmdUpdateCli", "Usage: update [port identifier]\r\n"},
    {"savecli", "Save Kaltex Physical Port SFP DMI information in a file", 8, CommandKind::kText, &Cls::CmdSaveCommon,
     "CmdSaveCli", "Usage: save [port identifier] [sfpfile] [mode]\r\n"},
};

bool AllZero(const uint8_t* image) {
  return std::all_of(image, image + KXAPI_SFP_IMAGE_SIZE, [](uint8_t b) { return b == 0; });
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
  std::string text;
  char digits[4];
  for (size_t i = 0; i < count; ++i) {
    snprintf(digits, sizeof digits, "%02hhx ", bytes[i]);
    text += digits;
  }
  return text;
}

}  // namespace

PhysicalPortDMICmdsProcessor::PhysicalPortDMICmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("PhysicalPortDMICmdsProcessor", "DMI", "dmi", "-s",
                            "use this command to get Kaltex Fibre Channel Port's SFP DMI info", parent) {}

void PhysicalPortDMICmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortDMICmdsProcessor::ReadImage(const char* fn, const PortLookup& port, uint32_t flag,
                                                 uint8_t* image) {
  std::fill(image, image + KXAPI_SFP_IMAGE_SIZE, 0);
  uint32_t result = 0;
  if (!WithLibraryOutput(fn, [&] { result = KXAPI_GetSFPDataEx(port.entry.Handle(), image, flag, 0); }))
    return kxstatus::kFileNotFound;
  if (result == 0) return 0;
  TraceFn(kTraceError, fn, "Get phy port DMI Data failed err=%d", static_cast<int>(result));
  return kxstatus::FromPortCall(result, kxstatus::kReadFailed);
}

uint32_t PhysicalPortDMICmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port);
  if (status != 0) return DisplayError(status, mode);

  // After the identifier only the refresh option and its value may follow.
  static constexpr OptionName kRefresh[] = {{"-r", "--refresh"}};
  uint32_t flag = kReadCached;
  OptionWords options;
  std::string refresh;
  if (!options.Read(Words(args.begin() + 1, args.end()), kRefresh, refresh)) {
    TraceFn(kTraceError, fn, "option %s not supported", refresh.c_str());
    return DisplayError(kxstatus::kInvalidParameter, mode);
  }
  if (options.Get(kRefresh[0], refresh)) {
    if (EqualsNoCase(refresh, kxkey::kTrue)) {
      flag = kReadRefresh;
    } else if (!EqualsNoCase(refresh, kxkey::kFalse)) {
      TraceFn(kTraceError, fn, "refresh=%s not supported", refresh.c_str());
      return DisplayError(kxstatus::kInvalidParameter, mode);
    }
  }

  uint8_t image[KXAPI_SFP_IMAGE_SIZE];
  status = ReadImage(fn, port, flag, image);
  if (status != 0) return DisplayError(status, mode);
  DisplayDMIInfo(mode, image);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortDMICmdsProcessor::CmdGetRawCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetRawCommon";
  TraceEntered(fn);
  PortLookup port;
  uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port);
  if (status != 0) return DisplayError(status, mode);
  uint8_t image[KXAPI_SFP_IMAGE_SIZE];
  status = ReadImage(fn, port, kReadRaw, image);
  if (status != 0) return DisplayError(status, mode);
  DisplayRawDMIInfo(mode, image);
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortDMICmdsProcessor::CmdSaveCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdSaveCommon";
  TraceEntered(fn);
  PortLookup port;
  uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port);
  if (status != 0) return DisplaySfpSave(status, mode);
  // Missing words read as empty: no form word fails as an unknown one does.
  const std::string path = args.size() > 1 ? args[1] : "";
  const std::string saveMode = args.size() > 2 ? args[2] : "";

  // The form word: 0 binary image, 1 text, -1 neither. An unopenable log is
  // reported before an unknown form.
  const int form = EqualsNoCase(saveMode, "Binary") ? 0 : EqualsNoCase(saveMode, "Text") ? 1 : -1;
  uint32_t result = 0;
  const bool called = WithLibraryOutput(fn, [&] {
    if (form < 0) return;
    result = form == 0 ? KXAPI_SaveSFPDataToFile(port.entry.Handle(), path.c_str())
                       : KXAPI_SaveSFPDataToTextFile(port.entry.Handle(), path.c_str());
  });
  if (!called) return DisplaySfpSave(kxstatus::kFileNotFound, mode);
  if (form < 0) {
    TraceFn(kTraceError, fn, "Invalid mode %d", form);
    return DisplaySfpSave(kxstatus::kReadFailed, mode);
  }
  status = MapResult(kSaveResults, result, kxstatus::kReadFailed);
  if (status != 0) TraceFn(kTraceError, fn, "Save SFP data failed err=%d", static_cast<int>(result));
  DisplaySfpSave(status, mode);
  if (status == 0) TraceExiting(fn);
  return status;
}

uint32_t PhysicalPortDMICmdsProcessor::CmdUpdateCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdUpdateCommon";
  TraceEntered(fn);
  PortLookup port;
  uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port);
  if (status != 0) return DisplaySfpUpdate(status, mode);
  // Missing words read as empty, and fail the checks below in their order:
  // no image file, then no supported vendor.
  const std::string image = args.size() > 1 ? args[1] : "";
  const std::string vendor = args.size() > 2 ? args[2] : "";
  TraceFn(kTraceInfo, fn, "Got Identifier = %s", args[0].c_str());
  TraceFn(kTraceInfo, fn, "Got Image file = %s", image.c_str());
  TraceFn(kTraceInfo, fn, "Got SFP Vendor = %s", vendor.c_str());

  if (!FileOps::IsUsableImage(image.c_str())) {
    TraceFn(kTraceError, fn, "SFP Image file [%s] does not exist", image.c_str());
    return DisplaySfpUpdate(kxstatus::kFileNotFound, mode);
  }
  if (!EqualsNoCase(vendor, kSupportedSfpVendor)) {
    TraceFn(kTraceError, fn, "SFP Firmware update not supported for this vendor");
    return DisplaySfpUpdate(kSfpVendorNotSupported, mode);
  }
  if (!kxinv::IsDeviceGroupC(port.entry.Pci())) {
    TraceFn(kTraceError, fn, "SFP Firmware update not supported for this adapter");
    return DisplaySfpUpdate(kxstatus::kNotSupportedForAdapter, mode);
  }
  if ((port.entry.DriverCapabilities() & kDriverSfpFirmwareUpdate) == 0) {
    TraceFn(kTraceError, fn, "SFP Firmware update not supported by the driver");
    return DisplaySfpUpdate(kDriverNoSupport, mode);
  }

  uint32_t result = 0;
  if (!WithLibraryOutput(fn, [&] {
        result = KXAPI_SfpModuleFirmwareUpdate(port.entry.Handle(), image.c_str(), kFirmwareUpdateOption);
      }))
    return DisplaySfpUpdate(kxstatus::kFileNotFound, mode);
  status = MapResult(kUpdateResults, result, kUnknownFailure);
  if (status != 0) TraceFn(kTraceError, fn, "SFP Firmware update failed err=%d", static_cast<int>(result));
  DisplaySfpUpdate(status, mode);
  if (status == 0) TraceExiting(fn);
  return status;
}

// ---- displays ----------------------------------------------------------------------------

uint32_t PhysicalPortDMICmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kGetDocument);
}

uint32_t PhysicalPortDMICmdsProcessor::DisplaySfpSave(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplaySfpSave", status, mode, kSaveDocument);
}

uint32_t PhysicalPortDMICmdsProcessor::DisplaySfpUpdate(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplaySfpUpdate", status, mode, kUpdateDocument);
}

void PhysicalPortDMICmdsProcessor::DisplayDMIInfo(uint32_t mode, const uint8_t* image) {
  constexpr const char* fn = "DisplayDMIInfo";
  TraceEntered(fn);
  if (AllZero(image)) {
    TraceFn(kTraceError, fn, "Got all 0's data");
    DisplayError(kDataNotAvailable, mode);
    return;
  }
  Begin(mode);
  BeginStructure(kStructure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  BeginField(kDmiInfo);
  BeginList(kListStructure);
  BeginStructure(kDecodedElement.typeName);
  BeginField(kDecodedFields[0].name);
  if (char* text = static_cast<char*>(CoreZMalloc(sfp::kDmiTextSize))) {
    sfp::DecodeSfpImage(image, KXAPI_SFP_IMAGE_SIZE, text, sfp::kDmiTextSize);
    TraceFn(kTraceSfp, fn, "Dmi Data=%s", text);
    WriteFormatted(sfp::kDmiTextSize, "%s", text);
    CoreFree(text);
  } else {
    TraceFn(kTraceError, fn, "No memory for the decoded text");
  }
  EndField();
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
}

void PhysicalPortDMICmdsProcessor::DisplayRawDMIInfo(uint32_t mode, const uint8_t* image) {
  constexpr const char* fn = "DisplayRawDMIInfo";
  TraceEntered(fn);
  if (AllZero(image)) {
    TraceFn(kTraceError, fn, "Got all 0's data");
    DisplayError(kDataNotAvailable, mode);
    return;
  }
  constexpr size_t kPage = KXAPI_SFP_IMAGE_SIZE / 2;
  const std::string a0 = HexBytes(image, kPage);
  const std::string a2 = HexBytes(image + kPage, kPage);
  TraceFn(kTraceSfp, fn, "Dmi A0Data In Hex=%s", a0.c_str());
  TraceFn(kTraceSfp, fn, "Dmi A2Data In Hex=%s", a2.c_str());
  Begin(mode);
  BeginStructure(kStructure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  BeginField(kDmiInfo);
  BeginList(kListStructure);
  BeginStructure(kRawElement.typeName);
  WriteStringField(kRawFields[0].name, a0.c_str());
  WriteStringField(kRawFields[1].name, a2.c_str());
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
}
