#include "diag/PhysicalPortLoopbackCmdsProcessor.h"

#include <array>
#include <cstring>
#include <string>

#include "diag/DiagTestRequest.h"

namespace {

constexpr const char* kClass = "PhysicalPortLoopbackCmdsProcessor";
constexpr const char* kStructure = "LoopbackTestInfo";
constexpr const char* kListField = "LoopbackTestResult";
constexpr const char* kElement = "LoopbackTestResultList";

constexpr FieldDecl kElementFields[] = {
    {"Test Status", ValueType::kString}, {"Crc Error", ValueType::kInt}, {"Disparity Error", ValueType::kInt},
    {"Frame Length Error", ValueType::kInt}, {"Test Iteration", ValueType::kInt}, {"Success Count", ValueType::kInt},
    {"Failure Count", ValueType::kInt},
};
constexpr StructDecl kElementDecl{kElement, kElementFields};
constexpr ParamDef kRunParams[] = {
    kxparam::kPort,
    {"count", nullptr, nullptr, ValueType::kInt, true, "Number of test runs", "1"},
    {"increment", nullptr, nullptr, ValueType::kInt, true, "Number of library runs per test run", "1"},
    {"size", nullptr, nullptr, ValueType::kInt, true, "Data size of each frame in bytes", "512"},
    {"stop-mode", nullptr, nullptr, ValueType::kString, true, "Ignore, Stop or Loop", "Ignore"},
    {"loopback-type", nullptr, nullptr, ValueType::kString, true, "Internal, External, Internal_10bit or FCoE_Echo", "Internal"},
    {"pattern", nullptr, nullptr, ValueType::kString, true, "Random, CRPAT, CJTPAT, CSPAT, Custom or one of the fixed bit patterns", "Random"},
    {"data-pattern", "--data-pattern", "-d", ValueType::kString, false, "The custom pattern c-c-c-c-c-c-c-c (with the pattern Custom)", nullptr},
};

constexpr uint32_t kDataSizes[] = {8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65535};
constexpr diagtest::Limits kLimits{65535, 65535, kDataSizes, true};

constexpr uint32_t kTypeFcoeEcho = 3;
constexpr uint32_t kTypeInternal10Bit = 0;

const StatusMessage kMessages[] = {
    {4, "Failed, Loopback type not supported for this adapter"},
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
    kxmsg::Common(48),
    kxmsg::Common(51),
    kxmsg::Common(60),
};
const ErrorDocument kDocument{kStructure, kMessages, {}, {EmptyField::List(kListField, &kElementDecl)}};

}  // namespace

PhysicalPortLoopbackCmdsProcessor::PhysicalPortLoopbackCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "LoopbackTest", "loopback", "-s",
                            "use this command to run loopback diagnostic test through Kaltex Fibre Channel Port",
                            parent) {}

void PhysicalPortLoopbackCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortLoopbackCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"run", "run Loopback test on Kaltex adapter port", 0, CommandKind::kXml, &Cls::CmdRunCommon, "CmdRun", nullptr,
       {kRunParams, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"runcli", "run Loopback Test on Kaltex adapter port", 2, CommandKind::kText, &Cls::CmdRunCommon, "CmdRunCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortLoopbackCmdsProcessor::CmdRunCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdRunCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port))
    return DisplayError(status, mode);
  if (port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return DisplayError(kxstatus::kVirtualPort, mode);
  }

  const kxinv::PciIdentity pci = port.entry.Pci();
  auto checkType = [&](uint32_t type) -> uint32_t {
    if (type == kTypeFcoeEcho && !kxinv::IsDeviceGroupF(pci)) {
      TraceFn(kTraceError, fn, "Option not supported for FC adapter");
      return kxstatus::kWrongParameter;
    }
    if (type == kTypeInternal10Bit && !kxinv::IsDeviceGroupG(pci) && !kxinv::IsDeviceGroupH(pci)) {
      TraceFn(kTraceError, fn, "Option not supported for this adapter");
      return kxstatus::kWrongParameter;
    }
    return 0;
  };
  diagtest::Request request;
  if (const uint32_t status = diagtest::ParseRun(kClass, fn, args, kLimits, request, checkType))
    return DisplayError(status, mode);
  if (diagtest::InMaintenanceMode(port.entry)) {
    TraceFn(kTraceError, fn, "command not supported in maintenance mode");
    return DisplayError(kxstatus::kMaintenanceMode, mode);
  }
  request.bytes[kxdiag::kRequestConnectionMode] = port.entry.ConnectionMode();

  std::array<uint8_t, kxdiag::kLoopbackResultSize> result{};
  diagtest::Tally tally;
  while (tally.iterations < request.increment) {
    result.fill(0);
    if (!WithLibraryOutput(
            fn, [&] { KXAPI_DiagnosticsLoopBackTest(result.data(), port.entry.Handle(), request.bytes.data()); },
            " before LoopbackTest read"))
      return DisplayError(kxstatus::kFileNotFound, mode);
    const bool passed =
        kxinv::TextAt(result.data(), kxdiag::kLoopbackStatus, kxdiag::kLoopbackStatusSize) == kxkey::kSuccess;
    if (!tally.Count(kClass, fn, "Loopback", passed, request.stopMode)) break;
  }
  DisplayLoopbackTestResult(result.data(), tally, mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortLoopbackCmdsProcessor::DisplayLoopbackTestResult(const uint8_t* result, const diagtest::Tally& tally,
                                                                  uint32_t mode) {
  constexpr const char* fn = "DisplayLoopbackTestResult";
  TraceEntered(fn);
  const std::string status = kxinv::TextAt(result, kxdiag::kLoopbackStatus, kxdiag::kLoopbackStatusSize);
  const struct {
    const char* name;
    uint32_t value;
  } counters[] = {
      {"Crc Error", kxinv::ReadAt<uint32_t>(result, kxdiag::kLoopbackCrcErrors)},
      {"Disparity Error", kxinv::ReadAt<uint32_t>(result, kxdiag::kLoopbackDisparityErrors)},
      {"Frame Length Error", kxinv::ReadAt<uint32_t>(result, kxdiag::kLoopbackFrameLengthErrors)},
      {"Test Iteration", tally.iterations},
      {"Success Count", tally.passed},
      {"Failure Count", tally.failed},
  };
  Begin(mode);
  BeginStructure(kStructure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  BeginField(kListField);
  BeginList(kListStructure);
  BeginStructure(kElement);
  WriteStringField("Test Status", status.c_str());
  TraceFn(kTraceInfo, fn, "%s=%s", "Test Status", status.c_str());
  for (const auto& counter : counters) {
    WriteIntField(counter.name, counter.value, 1);
    TraceFn(kTraceInfo, fn, "%s=%u", counter.name, counter.value);
  }
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
  TraceExiting(fn);
}

uint32_t PhysicalPortLoopbackCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  ShowErrorDocument("DisplayError", status, mode, kDocument);
  TraceExiting("DisplayError");
  return status;
}
