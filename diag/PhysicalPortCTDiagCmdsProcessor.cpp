#include "diag/PhysicalPortCTDiagCmdsProcessor.h"

#include "diag/PhysicalPortFCPingCmdsProcessor.h"

namespace {

constexpr const char* kClass = "PhysicalPortCTDiagCmdsProcessor";
constexpr const char* kTestField = "Diagnostic Test";
constexpr const char* kResultField = "Test Result";

// The document's shape: the test name, then the outcome in "Test Result".
const ErrorDocument kDocument{"CTDiagResult", kxmsg::Diagnostic(), {EmptyField::String(kTestField, "")}, {}, kResultField};
constexpr ParamDef kRunParams[] = {
    kxparam::kPort,
    {"type", nullptr, nullptr, ValueType::kString, true, "CTPing or CTFCTraceRoute", "CTPing"},
    {"wwpn", nullptr, nullptr, ValueType::kString, true, "WWPN of a discovered target (eight colon-separated hex bytes)", "50:00:c8:a1:00:00:10:01"},
    {"count", nullptr, nullptr, ValueType::kInt, true, "Number of requests, 1 to 65535", "1"},
    {"stop-on-error", nullptr, nullptr, ValueType::kString, false, "true: stop at the first failed request", nullptr},
};

// The test types: the word a user types (any case) and the spelling shown.
struct TestType {
  uint32_t code;
  const char* word;
};
const TestType kTypes[] = {{kxdiag::kCTPing, "CTPing"}, {kxdiag::kCTFCTraceRoute, "CTFCTraceRoute"}};

const char* TypeWord(uint32_t code) {
  for (const TestType& t : kTypes)
    if (t.code == code) return t.word;
  return kxkey::kUnknown;
}

}  // namespace

PhysicalPortCTDiagCmdsProcessor::PhysicalPortCTDiagCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "CTDiag", "ctdiag", "-s",
                            "use this command to run CT diagnostic through Kaltex Fibre Channel Port", parent) {}

void PhysicalPortCTDiagCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortCTDiagCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"run", "run CTDiag test on Kaltex adapter port", 0, CommandKind::kXml, &Cls::CmdRunCommon, "CmdRun", nullptr,
       {kRunParams, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"runcli", "run CTDiag Test on Kaltex adapter port", 2, CommandKind::kText, &Cls::CmdRunCommon, "CmdRunCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortCTDiagCmdsProcessor::CmdRunCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdRunCommon";
  TraceEntered(fn);
  // The type is checked before the port is looked at.
  const std::string word = words.size() > 1 ? words[1] : std::string();
  TraceFn(kTraceInfo, fn, "Got test type %s", word.c_str());
  uint32_t type = 0;
  for (const TestType& t : kTypes)
    if (EqualsNoCase(word, t.word)) type = t.code;
  uint32_t status = kxstatus::kInvalidParameter;
  if (type == 0) {
    TraceFn(kTraceError, fn, "Invalid test type");
  } else {
    status = Run(fn, words, type);
  }
  DisplayCTDiagResult(type, status, mode);
  TraceExiting(fn);
  return status;
}

uint32_t PhysicalPortCTDiagCmdsProcessor::Run(const char* fn, const Words& words, uint32_t type) {
  PortLookup port;
  PingRequest request;
  if (const uint32_t status = PhysicalPortFCPingCmdsProcessor::PrepareSeries(*this, fn, words, 2, port, request))
    return status;

  const auto text = request.Text();
  uint32_t resultCount = 0;
  std::array<uint8_t, kxdiag::kResultAreaSize> area{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] {
        rc = KXAPI_DiagnosticsCTCommand(port.entry.Handle(), text.data(), request.count, request.stopOnError,
                                        &resultCount, area.data(), static_cast<uint32_t>(area.size()), type);
      }, " before CTDiag"))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "CTDiag Failed for iCTDiagType=%d", static_cast<int>(type));
    return kxstatus::FromPortCall(rc, kxstatus::kDiagnosticFailed);
  }
  TraceFn(kTraceInfo, fn, "CTDiag Successful for iCTDiagType=%d", static_cast<int>(type));
  return 0;
}

void PhysicalPortCTDiagCmdsProcessor::DisplayCTDiagResult(uint32_t type, uint32_t status, uint32_t mode) {
  constexpr const char* fn = "DisplayCTDiagResult";
  const char* word = TypeWord(type);
  ShowErrorDocument(fn, status, mode,
                    {"CTDiagResult", kxmsg::Diagnostic(), {EmptyField::String(kTestField, word)}, {}, kResultField});
  TraceFn(kTraceInfo, fn, "CTDiagType=%s", word);
}
