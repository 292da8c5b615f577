#include "port/PhysicalPortFCStatsCmdsProcessor.h"

namespace {

constexpr const char* kClass = "PhysicalPortFCStatsCmdsProcessor";
constexpr size_t kBlockSize = 2048;

constexpr const char* kDriverMode = "Driver";
constexpr const char* kFirmwareMode = "Firmware";

// Labels of the six u32 counters of each set, in the order the entry holds them.
const char* const kDriverLabels[kxrec::kEntryCounterCount] = {
    "Controller Error Count", "Device Error Count", "IO Count",
    "Mega Bytes Count",       "LIP Reset Count",    "Interrupt Count",
};
const char* const kFirmwareLabels[kxrec::kEntryCounterCount] = {
    "Link Failure Count",
    "Loss Of Sync Count",
    "Loss Of Signal Count",
    "Primitive Sequence Protocol Error Count",
    "Invalid Transmission Word Count",
    "Invalid CRC Count",
};

const StatusMessage kMessages[] = {
    kxmsg::Common(6),
    kxmsg::Common(14),
    kxmsg::Common(19),
    {39, "Failed, Statistics clear error"},
    kxmsg::Common(42),
    kxmsg::Common(60),
};

constexpr StructDecl kElement{"FCStatsList", kxdecl::kDataField};
const ErrorDocument kGetDocument{"FCStatistics", kMessages, {}, {EmptyField::List("FCStats", &kElement)}};
const ErrorDocument kResetDocument{"ResetFCStatistics", kMessages};
constexpr ParamDef kGetParams[] = {
    kxparam::kPort,
    {"type", nullptr, nullptr, ValueType::kString, true, "Counters to show: Driver or Firmware", "Driver"},
};
constexpr ParamDef kResetParams[] = {
    kxparam::kPort,
    {"type", nullptr, nullptr, ValueType::kString, true, "Counters to reset: Firmware (the only resettable ones)",
     "Firmware"},
};

}  // namespace

PhysicalPortFCStatsCmdsProcessor::PhysicalPortFCStatsCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Port stats", "stats", "-s",
                            "use this command to get Kaltex Fibre Chanel Port Statistics", parent) {}

void PhysicalPortFCStatsCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortFCStatsCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex Physical Port Statistics", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kGetParams, &kGetDocument}},
      {"reset", "reset Kaltex Physical Port Statistics", 1, CommandKind::kXml, &Cls::CmdResetCommon, "CmdReset",
       nullptr, {kResetParams, &kResetDocument}},
      {"help", "list of available commands", 2, CommandKind::kHelp},
      {"getcli", "get Kaltex Physical Port Statistics", 3, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get [port identifier]\r\n"},
      {"resetcli", "reset Kaltex Physical Port Statistics", 4, CommandKind::kText, &Cls::CmdResetCommon,
       "CmdResetCli", "Usage: reset [port identifier]\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortFCStatsCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) {
    return DisplayError(status, mode);
  }
  // The counters are the entry's own fields: nothing more to ask the library.
  const std::string word = args.size() > 1 ? args[1] : std::string();
  if (EqualsNoCase(word, kDriverMode)) {
    DisplayFCDriverStats(port, mode);
  } else if (EqualsNoCase(word, kFirmwareMode)) {
    DisplayFCFWStats(port, mode);
  } else {
    TraceFn(kTraceError, fn, "Invalid mode=%s", word.c_str());
    return DisplayError(kxstatus::kInvalidParameter, mode);
  }
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortFCStatsCmdsProcessor::CmdResetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdResetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) {
    return DisplayResetError(status, mode);
  }
  // Only the firmware keeps resettable counters.
  const std::string word = args.size() > 1 ? args[1] : std::string();
  if (!EqualsNoCase(word, kFirmwareMode)) {
    TraceFn(kTraceError, fn, "Invalid mode=%s", word.c_str());
    return DisplayResetError(kxstatus::kInvalidParameter, mode);
  }

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_ResetDeviceStats(port.entry.Handle()); }))
    return DisplayResetError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Reset device stats failed err=%d", static_cast<int>(rc));
    return DisplayResetError(kxstatus::FromPortCall(rc, 39), mode);
  }

  Begin(mode);
  BeginStructure(kResetDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  EndStructure();
  End();
  TraceExiting(fn);
  return 0;
}

void PhysicalPortFCStatsCmdsProcessor::DisplayFCDriverStats(const PortLookup& port, uint32_t mode) {
  DisplayCounters("DisplayFCDriverStats", port, kxrec::kEntryDriverCounters, kDriverLabels, mode);
}

void PhysicalPortFCStatsCmdsProcessor::DisplayFCFWStats(const PortLookup& port, uint32_t mode) {
  DisplayCounters("DisplayFCFWStats", port, kxrec::kEntryFirmwareCounters, kFirmwareLabels, mode);
}

void PhysicalPortFCStatsCmdsProcessor::DisplayCounters(const char* fn, const PortLookup& port, size_t firstCounter,
                                                       const char* const* labels, uint32_t mode) {
  TraceEntered(fn);
  ReportBlock block(kBlockSize, std::string(kClass) + "::" + fn + ": ");
  for (size_t i = 0; i < kxrec::kEntryCounterCount; ++i) {
    const uint32_t value = kxinv::ReadAt<uint32_t>(port.entry.Raw(), firstCounter + 4 * i);
    block.Add(i == 0 ? "%s: %u\n" : "      %s: %u\n", labels[i], value);
  }
  TraceFn(kTraceInfo, fn, "%s=%s", kxkey::kMessage, kxkey::kSuccess);
  ShowReportDocument(mode, kGetDocument, block.Text());
  TraceExiting(fn);
}

uint32_t PhysicalPortFCStatsCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kGetDocument);
}

uint32_t PhysicalPortFCStatsCmdsProcessor::DisplayResetError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayResetError", status, mode, kResetDocument);
}
