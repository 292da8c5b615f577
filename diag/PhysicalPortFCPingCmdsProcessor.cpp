#include "diag/PhysicalPortFCPingCmdsProcessor.h"

#include <algorithm>

namespace {

constexpr const char* kClass = "PhysicalPortFCPingCmdsProcessor";
constexpr const char* kTestField = "Diagnostic Test";
constexpr const char* kResultField = "Test Result";

// The document's shape: the test name, then the outcome in "Test Result".
const ErrorDocument kDocument{"FCPingResult", kxmsg::Diagnostic(), {EmptyField::String(kTestField, "")}, {}, kResultField};
constexpr ParamDef kRunParams[] = {
    kxparam::kPort,
    {"wwpn", nullptr, nullptr, ValueType::kString, true, "WWPN of a discovered target (eight colon-separated hex bytes)", "50:00:c8:a1:00:00:10:01"},
    {"count", nullptr, nullptr, ValueType::kInt, true, "Number of requests, 1 to 65535", "1"},
    {"stop-on-error", nullptr, nullptr, ValueType::kString, false, "true: stop at the first failed request", nullptr},
};
constexpr uint64_t kMaxCount = 65535;

}  // namespace

std::string NormalizeWwpn(const std::string& word) {
  kxinv::Bytes8 bytes{};
  size_t start = 0;
  for (uint8_t& byte : bytes) {
    if (start > word.size()) break;
    const size_t end = std::min(word.find(':', start), word.size());
    const std::optional<uint64_t> value = ParseNumber(word.substr(start, end - start), 0, 0xFF, 16);
    if (!value) break;
    byte = static_cast<uint8_t>(*value);
    start = end + 1;
  }
  return kxinv::FormatWwn(bytes);
}

std::array<char, kxdiag::kWwpnTextSize> PingRequest::Text() const {
  std::array<char, kxdiag::kWwpnTextSize> text{};
  wwpn.copy(text.data(), text.size() - 1);
  return text;
}

PhysicalPortFCPingCmdsProcessor::PhysicalPortFCPingCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "FCPing", "fcping", "-s",
                            "use this command to run FC Ping diagnostic through Kaltex Fibre Channel Port", parent) {}

void PhysicalPortFCPingCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortFCPingCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"run", "run FCPing test on Kaltex adapter port", 0, CommandKind::kXml, &Cls::CmdRunCommon, "CmdRun", nullptr,
       {kRunParams, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"runcli", "run FCPing Test on Kaltex adapter port", 2, CommandKind::kText, &Cls::CmdRunCommon, "CmdRunCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortFCPingCmdsProcessor::ReadRequest(const MultipleCmdsProcessor& family, const char* fn,
                                                      const Words& words, size_t first, PingRequest& request) {
  auto word = [&words](size_t i) { return i < words.size() ? words[i] : std::string(); };
  const char* cls = family.ClassName();
  const std::string wwpn = word(first);
  TraceLevel(kTraceInfo, "%s::%s: Got target WWPN %s", cls, fn, wwpn.c_str());
  request.wwpn = NormalizeWwpn(wwpn);

  const std::string count = word(first + 1);
  TraceLevel(kTraceInfo, "%s::%s: Got test count string %s", cls, fn, count.c_str());
  const std::optional<uint64_t> parsed = ParseNumber(count, 1, kMaxCount, 10);
  if (!parsed) {
    TraceLevel(kTraceError, "%s::%s: Invalid test count", cls, fn);
    return kxstatus::kInvalidParameter;
  }
  request.count = static_cast<uint32_t>(*parsed);

  const std::string stop = word(first + 2);
  TraceLevel(kTraceInfo, "%s::%s: Got stop-on-error %s", cls, fn, stop.c_str());
  // An absent word does not stop; any word but "true" or "false" is refused.
  request.stopOnError = EqualsNoCase(stop, kxkey::kTrue) ? 1 : 0;
  if (request.stopOnError == 0 && !stop.empty() && !EqualsNoCase(stop, kxkey::kFalse)) {
    TraceLevel(kTraceError, "%s::%s: Invalid stop-on-error", cls, fn);
    return kxstatus::kInvalidParameter;
  }
  return 0;
}

bool PhysicalPortFCPingCmdsProcessor::IsDiscoveredTarget(const kxinv::PortEntryRef& entry, const std::string& wwpn) {
  for (kxinv::TargetRef t = entry.FirstTarget(); t; t = t.Next())
    if (kxinv::FormatWwn(t.WWPN()) == wwpn) return true;
  return false;
}

uint32_t PhysicalPortFCPingCmdsProcessor::PrepareSeries(const MultipleCmdsProcessor& family, const char* fn,
                                                        const Words& words, size_t first, PortLookup& port,
                                                        PingRequest& request) {
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolveOnlinePort(family, fn, words, port)) return status;
  if (const uint32_t status = ReadRequest(family, fn, words, first, request)) return status;
  if (!IsDiscoveredTarget(port.entry, request.wwpn)) {
    TraceLevel(kTraceError, "%s::%s: Target not found", family.ClassName(), fn);
    return kxstatus::kTargetNotFound;
  }
  return 0;
}

uint32_t PhysicalPortFCPingCmdsProcessor::CmdRunCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdRunCommon";
  TraceEntered(fn);
  const uint32_t status = Run(fn, words);
  DisplayFCPingResult(status, mode);
  TraceExiting(fn);
  return status;
}

uint32_t PhysicalPortFCPingCmdsProcessor::Run(const char* fn, const Words& words) {
  PortLookup port;
  PingRequest request;
  if (const uint32_t status = PrepareSeries(*this, fn, words, 1, port, request)) return status;

  const auto text = request.Text();
  uint32_t resultCount = 0;
  std::array<uint8_t, kxdiag::kResultAreaSize> area{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] {
        rc = KXAPI_DiagnosticsFCPingTest(port.entry.Handle(), text.data(), request.count, request.stopOnError,
                                         &resultCount, area.data(), static_cast<uint32_t>(area.size()));
      }, " before FCPing"))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "FCPing Failed");
    return kxstatus::FromPortCall(rc, kxstatus::kDiagnosticFailed);
  }
  TraceFn(kTraceInfo, fn, "FCPing Successful");
  return 0;
}

void PhysicalPortFCPingCmdsProcessor::DisplayFCPingResult(uint32_t status, uint32_t mode) {
  constexpr const char* fn = "DisplayFCPingResult";
  ShowErrorDocument(fn, status, mode,
                    {"FCPingResult", kxmsg::Diagnostic(), {EmptyField::String(kTestField, "FCPing")}, {}, kResultField});
  TraceFn(kTraceInfo, fn, "DiagTest=%s", "FCPing");
}
