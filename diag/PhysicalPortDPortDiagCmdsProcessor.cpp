#include "diag/PhysicalPortDPortDiagCmdsProcessor.h"

#include <cmath>

namespace {

constexpr const char* kClass = "PhysicalPortDPortDiagCmdsProcessor";
constexpr const char* kStructure = "DPortDiagInfo";
constexpr const char* kPortStatusField = "Diagnostics Port Status";
constexpr const char* kResultField = "DPortDiagResult";
constexpr const char* kResultElement = "DPortDiagResultList";
constexpr StructDecl kResultDecl{kResultElement, kxdecl::kDataField};
constexpr size_t kBlockSize = 2048;

// The library failed the test for a reason it does not name.
constexpr uint32_t kTestFailed = 50;
// Above 0x15: the codes of 16 Gbps and faster.
constexpr uint32_t kSpeedCode16Gbps = 0x16;

const StatusMessage kMessages[] = {
    {0, kxkey::kSuccess},
    kxmsg::Common(6),
    {13, kxmsg::kDiagReadFailed},
    kxmsg::Common(14),
    kxmsg::Common(19),
    {20, kxmsg::kDiagUpdateFailed},
    kxmsg::Common(21),
    kxmsg::Common(35),
    kxmsg::Common(40),
    kxmsg::Common(43),
    {44, kxmsg::kDiagNeeds16Gbps},
    kxmsg::Common(48),
    kxmsg::Common(51),
    kxmsg::Common(60),
};

// Texts of the mailbox status of a failed firmware mailbox command.
const StatusMessage kMailboxMessages[] = {
    {0x0007, kxmsg::kFirmwareNotReady},
    {0x0015, kxmsg::kInvalidRequest},
    {0x003A, "Failed, Mailbox command IOCB not allowed for this command"},
    {0x0047, "Failed, Incorrect state for this command"},
    {0x0060, kxmsg::kSfpNoWrap},
    {0x8061, "Failed, Command not supported with Current Switch"},
};

// The shapes of the documents: mode (get), mode after a change (set), test result (run).
const ErrorDocument kGetDocument{kStructure, kMessages, {}, {EmptyField::Bool(kPortStatusField, false)}};
const ErrorDocument kSetDocument{kStructure, kMessages, {},
                                 {EmptyField::Bool(kxkey::kRebootRequired, false), EmptyField::Bool(kPortStatusField, false)}};
const ErrorDocument kRunDocument{kStructure, kMessages, {}, {EmptyField::List(kResultField, &kResultDecl)}};
constexpr ParamDef kSetParams[] = {
    kxparam::kPort,
    {"enable", nullptr, nullptr, ValueType::kString, true, "true switches D-Port mode on, false switches it off", "true"},
};

// Results of the second test interface.
struct LibraryResult {
  uint32_t rc;
  const char* trace;
  uint32_t status;
};
const LibraryResult kTestResults[] = {
    {0, "KXAPI: success", 0},
    {2, "KXAPI: invalid parameter", kxstatus::kInvalidParameter},
    {29, "KXAPI: Command not supported for vport", kxstatus::kVirtualPort},
    {38, "KXAPI: Command not supported for this adapter", kxstatus::kNotSupportedForAdapter},
    {129, "KXAPI: Port is not in DPortDiag mode", kxstatus::kNotDiagMode},
    {130, "KXAPI: Port is in Link Down state", kxstatus::kLinkDown},
    {131, "KXAPI: Supported for 16 Gbps and above speed", kxstatus::kNeeds16Gbps},
    {132, "KXAPI: Command not allowed in BFS mode", kxstatus::kBootFromSan},
    {kxstatus::kLibMaintenanceMode, "KXAPI: Command not allowed in port maintenance mode", kxstatus::kMaintenanceMode},
};
constexpr LibraryResult kOtherResult = {0, "KXAPI: failed", kTestFailed};

// ---- result record ----

// Status codes of the four tests.
const StatusMessage kTestStatus[] = {
    {0, "Not Started"},   {1, "Passed"},           {2, "Skipped"},          {3, "Failed"},
    {4, "Running"},       {5, "Remote Port"},      {6, "Stopped"},          {56, "Unexpected Reject"},
    {57, "Unexpected Phase"}, {58, "Retry Exceeded"}, {59, "Timeout"},      {71, "Failed"},
    {78, "Not Supported"}, {79, "Not Supported"},  {115, "Memory Error"},
};
constexpr uint8_t kTestPassed = 1;

const char* TestStatusText(uint8_t code) {
  for (const StatusMessage& row : kTestStatus)
    if (row.status == code) return row.message;
  return kxkey::kUnknown;
}

// Failure reasons (low four bits of Mbx2, when the low four bits of Mbx1 are 2).
const char* const kReasons[] = {
    "Reserved",       "Unexpected Reject Code", "Unexpected Phase", "Retry Exceeded", "Test Timeout",
    "Dynamic mode not supported by attached switch", "Test stopped by user",
};
constexpr uint16_t kMbx1ReasonGiven = 2;
// Reasons after which the remote powers mean nothing.
bool ZeroesRemotePower(uint16_t reason) { return reason == 5 || reason >= 7; }

struct TestFields {
  const char* name;
  size_t value;
  size_t status;
  bool wide;  // a u32 value; the others are one byte
};
const TestFields kTests[] = {
    {"HBA Port", kxdiag::kDPortHbaValue, kxdiag::kDPortHbaStatus, true},
    {"Electrical Loopback", kxdiag::kDPortElectricalValue, kxdiag::kDPortElectricalValue + 1, false},
    {"Optical Loopback", kxdiag::kDPortOpticalValue, kxdiag::kDPortOpticalValue + 1, false},
    {"Link Traffic", kxdiag::kDPortTrafficValue, kxdiag::kDPortTrafficValue + 1, false},
};

uint32_t Be32(const DPortRecord& r, size_t at) {
  return uint32_t{r[at]} << 24 | uint32_t{r[at + 1]} << 16 | uint32_t{r[at + 2]} << 8 | r[at + 3];
}
uint16_t Be16(const DPortRecord& r, size_t at) { return static_cast<uint16_t>(r[at] << 8 | r[at + 1]); }
template <class T>
T Host(const DPortRecord& r, size_t at) {
  return kxinv::ReadAt<T>(r.data(), at);
}

// 0.1 uW to dBm, in single precision.
float PowerDbm(uint16_t raw) { return 10.0f * std::log10(static_cast<float>(raw) * 0.1f * 0.001f); }

void AddPowerLine(ReportBlock& block, const char* label, float tx, float rx, float diff) {
  block.Add("      %s: Tx: %lf dBm, Rx: %lf dBm, Diff: %lf dBm\n", label, static_cast<double>(tx),
            static_cast<double>(rx), static_cast<double>(diff));
}

}  // namespace

std::string DPortResultText(const DPortRecord& r, bool secondInterface) {
  ReportBlock block(kBlockSize, std::string(kClass) + "::DisplayDPortDiagResult: ");
  using namespace kxdiag;
  // The time texts carry their own line ends.
  block.Add("%s: %s", "Start Time", kxinv::TextAt(r.data(), kDPortStartTime, kDPortTimeSize).c_str());
  block.Add("      %s: %s", "Stop Time", kxinv::TextAt(r.data(), kDPortStopTime, kDPortTimeSize).c_str());
  for (const TestFields& t : kTests) {
    const uint32_t value = t.wide ? Host<uint32_t>(r, t.value) : r[t.value];
    const uint8_t status = r[t.status];
    block.Add("      %s Value: 0x%x\n", t.name, value);
    block.Add("      %s Status: %u\n", t.name, status);
    block.Add("      %s Result: %s\n", t.name, TestStatusText(status));
  }
  if (!secondInterface) return block.Text();

  const uint16_t localTx = Be16(r, kDPortLocalTxPower);
  const uint16_t localRx = Be16(r, kDPortLocalRxPower);
  const uint16_t mbx1 = Host<uint16_t>(r, kDPortMbx1);
  const uint16_t mbx2 = Host<uint16_t>(r, kDPortMbx2);
  const uint32_t latency = Be32(r, kDPortLatency);
  const uint32_t distance = Be32(r, kDPortDistance);
  float remoteRx = PowerDbm(Be16(r, kDPortRemoteRxPower));
  float remoteTx = PowerDbm(Be16(r, kDPortRemoteTxPower));
  block.Add("      %s: 0x%x\n", "Tx Power", localTx);
  block.Add("      %s: 0x%x\n", "Rx Power", localRx);

  if (r[kDPortHbaStatus] == kTestPassed) {
    const float tx = localTx == 0 ? 0.0f : PowerDbm(localTx);
    const float rx = localRx == 0 ? 0.0f : PowerDbm(localRx);
    block.Add("      %s: 0x%x\n", "Mbx1", mbx1);
    block.Add("      %s: 0x%x\n", "Mbx2", mbx2);
    block.Add("      %s: %u ns\n", "Roundtrip Link Latency", latency);
    block.Add("      %s: %u meters\n", "Cable Link Distance", distance);
    block.Add("      %s: %lf\n", "Allowable Power Loss", distance * 0.001 * 3.0 * 2.3333333333333335);
    AddPowerLine(block, "Egress Power", tx, remoteRx, tx - remoteRx);
    AddPowerLine(block, "Ingress Power", remoteTx, rx, remoteTx - rx);
    return block.Text();
  }

  if ((mbx1 & 0xF) == kMbx1ReasonGiven) {
    const uint16_t reason = mbx2 & 0xF;
    block.Add("      %s: %s\n", "Reason", reason < std::size(kReasons) ? kReasons[reason] : kxkey::kUnknown);
    if (ZeroesRemotePower(reason)) remoteRx = remoteTx = 0.0f;
  }
  block.Add("      %s: %u ns\n", "Roundtrip Link Latency", latency);
  block.Add("      %s: %u meters\n", "Cable Link Distance", distance);
  block.Add("      %s: 0\n", "Allowable Power Loss");
  AddPowerLine(block, "Egress Power", 0.0f, remoteRx, 0.0f);
  AddPowerLine(block, "Ingress Power", remoteTx, 0.0f, 0.0f);
  return block.Text();
}

bool IsDPortAdapter(const kxinv::PciIdentity& pci, bool mezzanine) {
  return (kxinv::IsDeviceGroupE(pci) || kxinv::IsDeviceGroupA(pci) || kxinv::IsDeviceGroupB(pci) ||
          kxinv::IsDeviceGroupC(pci)) &&
         !mezzanine;
}

PhysicalPortDPortDiagCmdsProcessor::PhysicalPortDPortDiagCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "DPortDiag", "dportdiag", "-s",
                            "use this command to get/set/run Diagnostic Port (DPort) on Kaltex Fibre Channel Port",
                            parent) {}

void PhysicalPortDPortDiagCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortDPortDiagCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex adapter port's DPortDiag information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet",
       nullptr, {kxparam::kPortOnly, &kGetDocument}},
      {"set", "set Kaltex adapter port's DPortDiag information", 1, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet",
       nullptr, {kSetParams, &kSetDocument}},
      {"run", "run DPortDiag on Kaltex adapter port", 2, CommandKind::kXml, &Cls::CmdRunCommon, "CmdRun", nullptr,
       {kxparam::kPortOnly, &kRunDocument}},
      {"help", "list of available commands", 3, CommandKind::kHelp},
      {"getcli", "get Kaltex adapter port's DPortDiag information", 4, CommandKind::kText, &Cls::CmdGetCommon,
       "CmdGetCli", "Usage: get\r\n"},
      {"setcli", "set Kaltex adapter port's DPortDiag information", 5, CommandKind::kText, &Cls::CmdSetCommon,
       "CmdSetCli", "Usage: set\r\n"},
      {"runcli", "run DPortDiag on Kaltex adapter port", 6, CommandKind::kText, &Cls::CmdRunCommon, "CmdRunCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortDPortDiagCmdsProcessor::CommonChecks(const char* fn, const Words& words, PortLookup& port) {
  return PhysicalPortCmdsProcessor::ResolveFeaturePort(*this, fn, words, port, &IsDPortAdapter);
}

uint32_t PhysicalPortDPortDiagCmdsProcessor::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  uint32_t status = CommonChecks(fn, words, port);
  uint32_t enabled = 0;
  if (status == 0 &&
      !WithLibraryOutput(fn, [&] { enabled = KXAPI_CheckAdapterDPortOption(port.entry.Handle()); },
                         " before DPortDiag read"))
    status = kxstatus::kFileNotFound;
  DisplayDPortDiagInfo(status == 0 && enabled != 0, status, mode, false, false);
  TraceExiting(fn);
  return status;
}

uint32_t PhysicalPortDPortDiagCmdsProcessor::CmdSetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  TraceEntered(fn);
  auto fail = [&](uint32_t status) {
    DisplayDPortDiagInfo(false, status, mode, true, false);
    return status;
  };
  PortLookup port;
  if (const uint32_t status = CommonChecks(fn, words, port)) return fail(status);

  const std::string word = words.size() > 1 ? words[1] : std::string();
  TraceFn(kTraceInfo, fn, "DPortDiag User Mode=%s", word.c_str());
  uint32_t enable;
  if (EqualsNoCase(word, kxkey::kTrue)) {
    enable = 1;
  } else if (EqualsNoCase(word, kxkey::kFalse)) {
    enable = 0;
  } else {
    TraceFn(kTraceError, fn, "invalid parameter");
    return fail(kxstatus::kInvalidParameter);
  }

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_ConfigureAdapterDPortSettings(port.entry.Handle(), enable, 0); },
                         " before DPortDiag read"))
    return fail(kxstatus::kFileNotFound);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Set DPortDiag Info failed err=%d", static_cast<int>(rc));
    return fail(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed));
  }
  // Show the mode the adapter reports now, not the one asked for.
  uint32_t enabled = 0;
  if (!WithLibraryOutput(fn, [&] { enabled = KXAPI_CheckAdapterDPortOption(port.entry.Handle()); },
                         " before DPortDiag read"))
    return fail(kxstatus::kFileNotFound);

  DisplayDPortDiagInfo(enabled != 0, 0, mode, true, RebootRequired(fn));
  TraceExiting(fn);
  return 0;
}

uint32_t PhysicalPortDPortDiagCmdsProcessor::RunTest(const char* fn, const PortLookup& port, DPortRecord& record,
                                                     bool& secondInterface) {
  uint32_t enabled = 0;
  if (!WithLibraryOutput(fn, [&] { enabled = KXAPI_CheckAdapterDPortOption(port.entry.Handle()); },
                         " before DPortDiag read"))
    return kxstatus::kFileNotFound;
  if (enabled == 0) {
    TraceFn(kTraceError, fn, "Port is not in DPortDiag mode");
    return kxstatus::kNotDiagMode;
  }
  if (port.entry.PortState() != 1) {
    TraceFn(kTraceError, fn, "Port is in Link Down state");
    return kxstatus::kLinkDown;
  }
  if (port.entry.CurrentSpeed() < kSpeedCode16Gbps) {
    TraceFn(kTraceError, fn, "Supported for 16 Gbps and above speed");
    return kxstatus::kNeeds16Gbps;
  }

  record.fill(0);
  secondInterface = (port.entry.FirmwareAttributes() & kxdiag::kFirmwareDPortV2) != 0;
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] {
        if (secondInterface) {
          TraceFn(kTraceInfo, fn, "Using V2 interface.");
          rc = KXAPI_DiagnosticDPortTestV2(port.entry.Handle(), record.data());
        } else {
          TraceFn(kTraceInfo, fn, "Using V1 interface.");
          DPortRecord work{};
          KXAPI_DiagnosticDPortTest(record.data(), port.entry.Handle(), work.data());
        }
      }))
    return kxstatus::kFileNotFound;
  if (!secondInterface) return 0;
  LibraryResult result = kOtherResult;
  for (const LibraryResult& known : kTestResults)
    if (known.rc == rc) result = known;
  TraceFn(result.status == 0 ? kTraceInfo : kTraceError, fn, "%s", result.trace);
  return result.status;
}

uint32_t PhysicalPortDPortDiagCmdsProcessor::CmdRunCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdRunCommon";
  TraceEntered(fn);
  PortLookup port;
  DPortRecord record{};
  bool secondInterface = false;
  uint32_t status = CommonChecks(fn, words, port);
  if (status == 0) status = RunTest(fn, port, record, secondInterface);
  if (status != 0) {
    DisplayError(status, mode);
  } else if (kxinv::ReadAt<uint16_t>(record.data(), kxdiag::kDPortMbx1) == kxdiag::kDPortMailboxFailed) {
    TraceFn(kTraceError, fn, "Mailbox command failed.");
    DisplayMbxError(kxinv::ReadAt<uint16_t>(record.data(), kxdiag::kDPortMbx2), mode);
    status = kxstatus::kMailboxFailed;
  } else {
    ShowReportDocument(mode, kRunDocument, DPortResultText(record, secondInterface));
  }
  TraceExiting(fn);
  return status;
}

void PhysicalPortDPortDiagCmdsProcessor::DisplayDPortDiagInfo(bool enabled, uint32_t status, uint32_t mode,
                                                              bool showReboot, bool rebootRequired) {
  constexpr const char* fn = "DisplayDPortDiagInfo";
  if (showReboot)
    ShowErrorDocument(fn, status, mode,
                      {kStructure, kMessages, {},
                       {EmptyField::Bool(kxkey::kRebootRequired, rebootRequired),
                        EmptyField::Bool(kPortStatusField, enabled)}});
  else
    ShowErrorDocument(fn, status, mode, {kStructure, kMessages, {}, {EmptyField::Bool(kPortStatusField, enabled)}});
}

uint32_t PhysicalPortDPortDiagCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kRunDocument);
}

void PhysicalPortDPortDiagCmdsProcessor::DisplayMbxError(uint16_t mailboxStatus, uint32_t mode) {
  ShowErrorDocument("DisplayMbxError", mailboxStatus, mode,
                    {kStructure, kMailboxMessages, {}, {EmptyField::List(kResultField, &kResultDecl)}});
}
