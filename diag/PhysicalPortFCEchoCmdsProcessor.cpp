#include "diag/PhysicalPortFCEchoCmdsProcessor.h"

#include <cstdio>

#include "diag/PhysicalPortFCPingCmdsProcessor.h"

namespace {

constexpr const char* kClass = "PhysicalPortFCEchoCmdsProcessor";
constexpr const char* kStructure = "FCEchoResult";
constexpr const char* kResultsField = "FCEchoTestResults";
constexpr const char* kElement = "FCEchoTestResultList";
// The fields of one element, in the order they are written.
constexpr const char* kDestinationField = "Destination WWN";
constexpr const char* kSequenceField = "Ping Sequence Number";
constexpr const char* kFramesSentField = "Frame Sent";
constexpr const char* kFramesReceivedField = "Frame Received";
constexpr const char* kLengthField = "Response Length";
constexpr const char* kTimeField = "Response Time";
constexpr const char* kEchoStatusField = "Echo Status";

constexpr FieldDecl kElementFields[] = {
    {kDestinationField, ValueType::kString}, {kSequenceField, ValueType::kInt},   {kFramesSentField, ValueType::kInt},
    {kFramesReceivedField, ValueType::kInt}, {kLengthField, ValueType::kInt},     {kTimeField, ValueType::kString},
    {kEchoStatusField, ValueType::kString},
};
constexpr StructDecl kElementDecl{kElement, kElementFields};
constexpr ParamDef kRunParams[] = {
    kxparam::kPort,
    {"wwpn", nullptr, nullptr, ValueType::kString, true, "WWPN of a discovered target, or of the fabric", "50:00:c8:a1:00:00:10:01"},
    {"count", nullptr, nullptr, ValueType::kInt, true, "Number of requests, 1 to 65535", "1"},
    {"stop-on-error", nullptr, nullptr, ValueType::kString, false, "true: stop at the first failed request", nullptr},
};

// The diagnostic texts without 44, which an echo run never meets.
const StatusMessage kMessages[] = {
    {0, kxkey::kSuccess},
    kxmsg::Common(6),
    {13, kxmsg::kDiagReadFailed},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {20, kxmsg::kDiagUpdateFailed},
    kxmsg::Common(21),
    kxmsg::Common(28),
    kxmsg::Common(34),
    kxmsg::Common(35),
    kxmsg::Common(40),
    kxmsg::Common(43),
    kxmsg::Common(48),
    kxmsg::Common(51),
    kxmsg::Common(60),
};
const ErrorDocument kDocument{kStructure, kMessages, {}, {EmptyField::List(kResultsField, &kElementDecl)}};

uint32_t U32(const EchoRecord& record, size_t offset) { return kxinv::ReadAt<uint32_t>(record.data(), offset); }

}  // namespace

std::string EchoResponseTime(const EchoRecord& record) {
  char text[64];
  snprintf(text, sizeof text, "%6.2f (ms)", kxinv::ReadAt<float>(record.data(), kxdiag::kEchoResponseTime));
  return text;
}

PhysicalPortFCEchoCmdsProcessor::PhysicalPortFCEchoCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "FCEcho", "fcecho", "-s",
                            "use this command to run FC Echo ELS diagnostic through Kaltex Fibre Channel Port", parent) {}

void PhysicalPortFCEchoCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortFCEchoCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"run", "run FCEcho test on Kaltex adapter port", 0, CommandKind::kXml, &Cls::CmdRunCommon, "CmdRun", nullptr,
       {kRunParams, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"runcli", "run FCEcho Test on Kaltex adapter port", 2, CommandKind::kText, &Cls::CmdRunCommon, "CmdRunCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortFCEchoCmdsProcessor::ChooseDestination(const char* fn, const kxinv::PortEntryRef& entry,
                                                            const std::string& wwpn, uint16_t& type) {
  // A port that is not logged in to a fabric has no fabric name (all zeros).
  const kxinv::Bytes8 fabric = entry.PrincipalFabricWWN();
  if (!kxinv::IsZero(fabric) && kxinv::FormatWwn(fabric) == wwpn) {
    type = kxdiag::kEchoToFabric;
    return 0;
  }
  if (PhysicalPortFCPingCmdsProcessor::IsDiscoveredTarget(entry, wwpn)) {
    type = kxdiag::kEchoToTarget;
    return 0;
  }
  TraceFn(kTraceError, fn, "Target not found");
  return kxstatus::kTargetNotFound;
}

uint32_t PhysicalPortFCEchoCmdsProcessor::CmdRunCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdRunCommon";
  using Ping = PhysicalPortFCPingCmdsProcessor;
  TraceEntered(fn);
  PortLookup port;
  PingRequest request;
  uint16_t type = 0;
  uint32_t status = PhysicalPortCmdsProcessor::ResolveOnlinePort(*this, fn, words, port);
  if (status == 0) status = Ping::ReadRequest(*this, fn, words, 1, request);
  if (status == 0) status = ChooseDestination(fn, port.entry, request.wwpn, type);
  if (status != 0) return DisplayError(status, mode);

  // One record per request is all a run keeps: at most 65535 x 92 bytes.
  std::vector<EchoRecord> results;
  results.reserve(request.count);
  const auto text = request.Text();
  for (uint32_t n = 1; n <= request.count; ++n) {
    EchoRecord record{};
    uint32_t rc = 0;
    if (!WithLibraryOutput(fn, [&] {
          rc = KXAPI_DiagnosticsEchoElsTest(port.entry.Handle(), text.data(), 1, request.stopOnError, type,
                                            record.data());
        }, " before FCEcho")) {
      status = kxstatus::kFileNotFound;
      break;
    }
    if (rc != 0 || U32(record, kxdiag::kEchoError) != 0) {
      TraceFn(kTraceError, fn, "FCEcho Failed");
      status = rc != 0 ? kxstatus::FromPortCall(rc, kxstatus::kDiagnosticFailed) : kxstatus::kDiagnosticFailed;
    } else {
      TraceFn(kTraceInfo, fn, "FCEcho Successful");
      status = 0;
    }
    results.push_back(record);
    if (status != 0 && request.stopOnError) break;
  }
  DisplayFCEchoResult(request.wwpn, results, status, mode);
  TraceExiting(fn);
  return status;
}

void PhysicalPortFCEchoCmdsProcessor::DisplayFCEchoResult(const std::string& destination,
                                                          const std::vector<EchoRecord>& results, uint32_t status,
                                                          uint32_t mode) {
  constexpr const char* fn = "DisplayFCEchoResult";
  const char* message = LookupMessage(kMessages, status);
  Begin(mode);
  BeginStructure(kStructure);
  WriteStringField(kxkey::kMessage, message);
  TraceFn(kTraceInfo, fn, "%s=%s", kxkey::kMessage, message);
  BeginField(kResultsField);
  BeginList(kListStructure);
  uint32_t sequence = 0;
  for (const EchoRecord& record : results) {
    BeginStructure(kElement);
    WriteStringField(kDestinationField, destination.c_str());
    WriteIntField(kSequenceField, ++sequence, kIntUnsigned32);
    WriteIntField(kFramesSentField, U32(record, kxdiag::kEchoFramesSent), kIntUnsigned32);
    WriteIntField(kFramesReceivedField, U32(record, kxdiag::kEchoFramesReceived), kIntUnsigned32);
    WriteIntField(kLengthField, U32(record, kxdiag::kEchoResponseLength), kIntUnsigned32);
    WriteStringField(kTimeField, EchoResponseTime(record).c_str());
    const std::string echoStatus =
        kxinv::TextAt(record.data(), kxdiag::kEchoStatusText, kxdiag::kEchoStatusTextSize);
    WriteStringField(kEchoStatusField, echoStatus.c_str());
    EndStructure();
  }
  EndList();
  EndField();
  EndStructure();
  End();
}

uint32_t PhysicalPortFCEchoCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
