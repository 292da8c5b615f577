#include "diag/PhysicalPortRDPCmdsProcessor.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "diag/RdpDecoder.h"

namespace {

constexpr const char* kClass = "PhysicalPortRDPCmdsProcessor";
constexpr const char* kStructure = "RDPInformation";
constexpr const char* kListField = "Read Diagnostics Parameters Data";
constexpr const char* kElement = "RDPDataList";
constexpr const char* kReportField = "RDPInfo";
constexpr FieldDecl kReportFields[] = {{kReportField, ValueType::kString}};
constexpr StructDecl kElementDecl{kElement, kReportFields};

constexpr uint32_t kStatusDiagFailed = 34;

const StatusMessage kMessages[] = {
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
    {44, kxmsg::kDiagNeeds16Gbps},
    kxmsg::Common(48),
    kxmsg::Common(51),
    kxmsg::Common(60),
};
const ErrorDocument kDocument{kStructure, kMessages, {}, {EmptyField::List(kListField, &kElementDecl)}};

}  // namespace

PhysicalPortRDPCmdsProcessor::PhysicalPortRDPCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "RDP", "rdp", "-s",
                            "use this command to get Read Diagnostic Parameters ELS info through Kaltex Fibre Channel "
                            "Port",
                            parent) {}

void PhysicalPortRDPCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortRDPCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"get", "Read Diagnostic Parameters on Kaltex adapter port", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kxparam::kPortOnly, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"runcli", "Read Diagnostic Parameters on Kaltex adapter port", 2, CommandKind::kText, &Cls::CmdGetCommon,
       "CmdGetCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortRDPCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolveOnlinePort(*this, fn, args, port))
    return DisplayError(status, mode);

  std::unique_ptr<uint8_t[]> reply(new (std::nothrow) uint8_t[kxdiag::kRdpBufferSize]());
  if (!reply) {
    TraceFn(kTraceError, fn, "pRdpData malloc failed");
    return DisplayError(kxstatus::kMemoryError, mode);
  }
  uint32_t size = kxdiag::kRdpBufferSize;
  uint32_t rc = 0;
  if (!WithLibraryOutput(
          fn, [&] { rc = KXAPI_DiagnosticsRDPTest(port.entry.Handle(), reply.get(), &size); }, " before RDP"))
    return DisplayError(kxstatus::kFileNotFound, mode);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "RDP Test Failed err=%d", static_cast<int>(rc));
    return DisplayError(kxstatus::FromPortCall(rc, kStatusDiagFailed), mode);
  }
  // The library's size word is believed only as far as the buffer goes.
  DisplayRDPInfo(reply.get(), std::min(size, kxdiag::kRdpBufferSize), mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortRDPCmdsProcessor::DisplayRDPInfo(const uint8_t* reply, uint32_t size, uint32_t mode) {
  constexpr const char* fn = "DisplayRDPInfo";
  TraceEntered(fn);
  std::vector<std::string> notes;
  const std::string report = rdp::DecodeRdpReply(reply, size, &notes);
  for (const std::string& note : notes) TraceFn(kTraceInfo, "ParseRDPDataBuffer", "%s", note.c_str());
  ShowReportDocument(mode, kDocument, report);
  TraceExiting(fn);
}

uint32_t PhysicalPortRDPCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  ShowErrorDocument("DisplayError", status, mode, kDocument);
  TraceExiting("DisplayError");
  return status;
}
