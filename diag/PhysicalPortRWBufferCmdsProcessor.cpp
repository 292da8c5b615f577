#include "diag/PhysicalPortRWBufferCmdsProcessor.h"

#include <cstdio>
#include <string>

#include "diag/DiagTestRequest.h"

namespace {

constexpr const char* kClass = "PhysicalPortRWBufferCmdsProcessor";
constexpr const char* kStructure = "RWBufferTestInfo";
constexpr const char* kListField = "RWBufferTestResult";
constexpr const char* kElement = "RWBufferTestResultList";

constexpr FieldDecl kElementFields[] = {
    {"Test Status", ValueType::kString}, {"Port ID", ValueType::kString},
    {"Data Miscompare", ValueType::kInt}, {"Link Failure", ValueType::kInt}, {"Loss Of Sync", ValueType::kInt}, {"Loss Of Signal", ValueType::kInt}, {"Invalid CRC", ValueType::kInt}, {"Test Iteration", ValueType::kInt}, {"Success Count", ValueType::kInt}, {"Failure Count", ValueType::kInt},
};
constexpr StructDecl kElementDecl{kElement, kElementFields};
constexpr ParamDef kRunParams[] = {
    kxparam::kPort,
    {"count", nullptr, nullptr, ValueType::kInt, true, "Number of test runs", "1"},
    {"increment", nullptr, nullptr, ValueType::kInt, true, "Number of library runs per test run", "1"},
    {"size", nullptr, nullptr, ValueType::kInt, true, "Data size of each frame in bytes: 8, 16, 32, 64 or 128", "128"},
    {"stop-mode", nullptr, nullptr, ValueType::kString, true, "Ignore, Stop or Loop", "Ignore"},
    {"pattern", nullptr, nullptr, ValueType::kString, true, "Random, CRPAT, CJTPAT, CSPAT, Custom or one of the fixed bit patterns", "Random"},
    {"data-pattern", "--data-pattern", "-d", ValueType::kString, false, "The custom pattern c-c-c-c-c-c-c-c (with the pattern Custom)", nullptr},
};

constexpr uint32_t kDataSizes[] = {8, 16, 32, 64, 128};
constexpr diagtest::Limits kLimits{10000, 10000, kDataSizes, false};

constexpr uint32_t kStatusNoResponse = 46;

// A result list the library handed over, released when the holder lets go of it.
class ResultList {
 public:
  ResultList() = default;
  ~ResultList() { Reset(nullptr); }
  ResultList(const ResultList&) = delete;
  ResultList& operator=(const ResultList&) = delete;
  void Reset(void* list) {
    if (list_) KXAPI_FreeRWBufferTestResultList(list_);
    list_ = list;
  }
  const uint8_t* First() const { return static_cast<const uint8_t*>(list_); }

 private:
  void* list_ = nullptr;
};

std::string StatusOf(const uint8_t* element) {
  return kxinv::TextAt(element, kxdiag::kRwStatus, kxdiag::kRwStatusSize);
}

const StatusMessage kMessages[] = {
    {4, "Failed, RWBuffer type not supported for this adapter"},
    kxmsg::Common(6),
    {12, kxmsg::kCustomData},
    {13, kxmsg::kDiagReadFailed},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {20, kxmsg::kDiagUpdateFailed},
    kxmsg::Common(21),
    kxmsg::Common(35),
    kxmsg::Common(43),
    {44, kxmsg::kDiagNeeds16Gbps},
    {kStatusNoResponse, "Failed, Response data not available"},
    kxmsg::Common(48),
    kxmsg::Common(51),
    kxmsg::Common(60),
};
const ErrorDocument kDocument{kStructure, kMessages, {}, {EmptyField::List(kListField, &kElementDecl)}};

}  // namespace

PhysicalPortRWBufferCmdsProcessor::PhysicalPortRWBufferCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "RWBuffer", "rwbuffer", "-s",
                            "use this command to run Read/Write Buffer Diagnostic test through Kaltex Fibre Channel "
                            "Port",
                            parent) {}

void PhysicalPortRWBufferCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortRWBufferCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"run", "run Read Write Buffer test on Kaltex adapter port", 0, CommandKind::kXml, &Cls::CmdRunCommon, "CmdRun", nullptr,
       {kRunParams, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"runcli", "run Read Write Buffer Test on Kaltex adapter port", 2, CommandKind::kText, &Cls::CmdRunCommon,
       "CmdRunCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortRWBufferCmdsProcessor::CmdRunCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdRunCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port))
    return DisplayError(status, mode);
  if (port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode);
  }
  diagtest::Request request;
  if (const uint32_t status = diagtest::ParseRun(kClass, fn, args, kLimits, request)) return DisplayError(status, mode);
  if (diagtest::InMaintenanceMode(port.entry)) {
    TraceFn(kTraceError, fn, "command not supported in maintenance mode");
    return DisplayError(kxstatus::kMaintenanceMode, mode);
  }

  // Only the last run's list is shown; each earlier one is released as soon
  // as the next run has been made, and every one on a failure.
  ResultList last;
  diagtest::Tally tally;
  while (tally.iterations < request.increment) {
    void* list = nullptr;
    if (!WithLibraryOutput(
            fn, [&] { list = KXAPI_DiagnosticsReadWriteBufferTest(port.entry.Handle(), request.bytes.data()); },
            " before RWBufferTest read"))
      return DisplayError(kxstatus::kFileNotFound, mode);
    if (!list) {
      TraceFn(kTraceError, fn, "pResultList is NULL");
      return DisplayError(kStatusNoResponse, mode);
    }
    last.Reset(list);
    if (!tally.Count(kClass, fn, "RWBuffer", StatusOf(last.First()) == kxkey::kSuccess, request.stopMode)) break;
  }
  DisplayRWBufferTestResult(last.First(), tally, mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortRWBufferCmdsProcessor::DisplayRWBufferTestResult(const uint8_t* list, const diagtest::Tally& tally,
                                                                  uint32_t mode) {
  constexpr const char* fn = "DisplayRWBufferTestResult";
  TraceEntered(fn);
  Begin(mode);
  BeginStructure(kStructure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  BeginField(kListField);
  BeginList(kListStructure);
  for (const uint8_t* element = list; element; element = kxinv::PointerAt(element, kxdiag::kRwNext)) {
    const std::string status = StatusOf(element);
    char portId[16];
    snprintf(portId, sizeof portId, "%02hhx:%02hhx:%02hhx", element[kxdiag::kRwPortId], element[kxdiag::kRwPortId + 1],
             element[kxdiag::kRwPortId + 2]);
    const struct {
      const char* name;
      uint32_t value;
    } counters[] = {
        {"Data Miscompare", kxinv::ReadAt<uint32_t>(element, kxdiag::kRwDataMiscompare)},
        {"Link Failure", kxinv::ReadAt<uint32_t>(element, kxdiag::kRwLinkFailure)},
        {"Loss Of Sync", kxinv::ReadAt<uint32_t>(element, kxdiag::kRwLossOfSync)},
        {"Loss Of Signal", kxinv::ReadAt<uint32_t>(element, kxdiag::kRwLossOfSignal)},
        {"Invalid CRC", kxinv::ReadAt<uint32_t>(element, kxdiag::kRwInvalidCrc)},
        {"Test Iteration", tally.iterations},
        {"Success Count", tally.passed},
        {"Failure Count", tally.failed},
    };
    BeginStructure(kElement);
    WriteStringField("Test Status", status.c_str());
    WriteStringField("Port ID", portId);
    TraceFn(kTraceInfo, fn, "Test Status=%s Port ID=%s", status.c_str(), portId);
    for (const auto& counter : counters) {
      WriteIntField(counter.name, counter.value, 1);
      TraceFn(kTraceInfo, fn, "%s=%u", counter.name, counter.value);
    }
    EndStructure();
  }
  EndList();
  EndField();
  EndStructure();
  End();
  TraceExiting(fn);
}

uint32_t PhysicalPortRWBufferCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  ShowErrorDocument("DisplayError", status, mode, kDocument);
  TraceExiting("DisplayError");
  return status;
}
