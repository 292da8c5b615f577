#include "port/PhysicalPortCmdsProcessor.h"

#include "runtime/FileOps.h"

#include "maint/PhysicalPortBeaconCmdsProcessor.h"
#include "maint/PhysicalPortFwDumpCmdsProcessor.h"
#include "port/PhysicalPortFCStatsCmdsProcessor.h"
#include "port/PhysicalPortInfoCmdsProcessor.h"


#include <cstdio>
#include <vector>

#include "sfp/PhysicalPortDMICmdsProcessor.h"

#include "diag/PhysicalPortLoopbackCmdsProcessor.h"
#include "diag/PhysicalPortRDPCmdsProcessor.h"
#include "diag/PhysicalPortRWBufferCmdsProcessor.h"
#include "diag/PhysicalPortCTDiagCmdsProcessor.h"
#include "diag/PhysicalPortDPortDiagCmdsProcessor.h"
#include "diag/PhysicalPortFCEchoCmdsProcessor.h"
#include "diag/PhysicalPortFCPingCmdsProcessor.h"

#include "portcfg/PhysicalPortBBCRCmdsProcessor.h"
#include "portcfg/PhysicalPortFECCmdsProcessor.h"
#include "portcfg/PhysicalPortHBAParamsCmdsProcessor.h"
#include "portcfg/PhysicalPortVPDCmdsProcessor.h"

#include "boot/PhysicalPortBootConfigCmdsProcessor.h"
#include "boot/PhysicalPortBootConfigExtCmdsProcessor.h"
#include "scm/PhysicalPortSCMChkCmdsProcessor.h"
#include "scm/PhysicalPortSCMProfileCmdsProcessor.h"
#include "scm/PhysicalPortSCMStatsCmdsProcessor.h"

namespace {

constexpr const char* kClass = "PhysicalPortCmdsProcessor";

constexpr FieldDecl kListFields[] = {{"Ports", ValueType::kString}};
constexpr StructDecl kListElement{"PortList", kListFields};

const StatusMessage kNvramMessages[] = {
    {0, kxkey::kSuccess},
    kxmsg::Common(6),
    kxmsg::Common(14),
    kxmsg::Common(19),
    {20, "Failed, NVRAM update failed"},
    kxmsg::Common(51),
    kxmsg::Common(60),
};
const ErrorDocument kNvramDocument{"UpdateNVRAM", kNvramMessages, {EmptyField::Bool(kxkey::kRebootRequired, false)}};
constexpr ParamDef kNvramParams[] = {
    kxparam::kPort,
    {"file", nullptr, nullptr, ValueType::kString, true, "Path of the NVRAM image on the host", "/tmp/kxfc-nvram.bin"},
};

}  // namespace

PhysicalPortCmdsProcessor::PhysicalPortCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Port", "port", "-t", "use this command to get/set/list Kaltex Ports", parent) {
  // One line per sub-mode, in table order.
  AddSubMode(std::make_unique<PhysicalPortInfoCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortFCStatsCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortDMICmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortVPDCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortHBAParamsCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortBBCRCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortFECCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortBootConfigCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortBootConfigExtCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortFwDumpCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortBeaconCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortSCMStatsCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortSCMChkCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortSCMProfileCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortDPortDiagCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortCTDiagCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortFCPingCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortFCEchoCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortRDPCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortLoopbackCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortRWBufferCmdsProcessor>(this));
}

void PhysicalPortCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"list", "Discover list of Kaltex physical ports", 0, CommandKind::kXml, &Cls::CmdListCommon, "CmdList",
       nullptr, {{}, nullptr, &kListElement}},
      {"updatenvram", "Update NVRAM of Kaltex physical port", 1, CommandKind::kXml, &Cls::CmdUpdateNvramCommon,
       "CmdUpdateNvram", nullptr, {kNvramParams, &kNvramDocument}},
      {"help", "list of available commands", 2, CommandKind::kHelp},
      {"listcli", "Discover list of Kaltex physical ports", 3, CommandKind::kText, &Cls::CmdListCommon,
       "CmdListCli", "Usage: list\r\n"},
      {"updatenvramcli", "Update NVRAM of Kaltex physical port", 4, CommandKind::kText,
       &Cls::CmdUpdateNvramCommon, "CmdUpdateNvramCli"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortCmdsProcessor::CmdListCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdListCommon";
  TraceEntered(fn);
  kxinv::AdapterListRef list{nullptr};
  if (const uint32_t status = OpenInventory(fn, args, list)) return status;

  ShowIdentifierList(fn, mode, kListElement, [&](const IdentifierSink& add) {
    kxinv::ForEachFcPort(list, [&](const kxinv::PortVisit& visit) {
      add(visit.entry.Identifier().c_str());
      return true;
    });
  });
  return 0;
}

uint32_t PhysicalPortCmdsProcessor::CmdUpdateNvramCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdUpdateNvramCommon";
  TraceEntered(fn);
  auto fail = [&](uint32_t status) {
    DisplayUpdateNvram(status, mode, false);
    return status;
  };

  PortLookup port;
  if (const uint32_t status = ResolvePort(*this, fn, args, port)) {
    return fail(status);
  }
  if (port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return fail(kxstatus::kVirtualPort);
  }
  // The content is the library's business; the tool checks only that it is a
  // readable, non-empty regular file, before anything could block on it.
  const std::string path = args.size() > 1 ? args[1] : std::string();
  if (!FileOps::IsUsableImage(path.c_str())) {
    TraceFn(kTraceError, fn, "NVRAM file [%s] does not exist", path.c_str());
    return fail(kxstatus::kFileNotFound);
  }

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_UpdateAdapterNVRAMFromFile(port.entry.Handle(), path.c_str()); }))
    return fail(kxstatus::kFileNotFound);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Update NVRAM from File failed err=%d", static_cast<int>(rc));
    return fail(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed));
  }

  DisplayUpdateNvram(0, mode, RebootRequired(fn));
  TraceExiting(fn);
  return 0;
}

void PhysicalPortCmdsProcessor::DisplayUpdateNvram(uint32_t status, uint32_t mode, bool rebootRequired) {
  const char* message = LookupMessage(kNvramMessages, status);
  Begin(mode);
  BeginStructure(kNvramDocument.structure);
  WriteBoolField(kxkey::kRebootRequired, rebootRequired);
  WriteStringField(kxkey::kMessage, message);
  EndStructure();
  End();
  TraceFn(kTraceInfo, "DisplayUpdateNvram", "%s=%s", kxkey::kMessage, message);
}

uint32_t PhysicalPortCmdsProcessor::GetPhyPortFromPortString(const Words& args, PortLookup& out) {
  constexpr const char* fn = "GetPhyPortFromPortString";
  TraceLevel(kTraceInfo, "%s::%s: Entered", kClass, fn);
  std::string identifier;
  if (const uint32_t status = IdentifierWord(kClass, fn, args, identifier)) return status;

  char prefix[16] = {};
  unsigned char ignored[8];
  const int fields = sscanf(identifier.c_str(), "%15[^'_']_%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx", prefix,
                            &ignored[0], &ignored[1], &ignored[2], &ignored[3], &ignored[4], &ignored[5],
                            &ignored[6], &ignored[7]);
  if (fields < 1 || !EqualsNoCase(prefix, "FC")) {
    TraceLevel(kTraceError, "%s::%s: Invalid Port identifier %s", kClass, fn, identifier.c_str());
    return kxstatus::kInvalidParameter;
  }

  TraceLevel(kTraceInfo, "%s::%s: Port Identifier=%s", kClass, fn, identifier.c_str());
  kxinv::AdapterListRef list = kxinv::GetAdapterList();
  if (!list) {
    TraceLevel(kTraceError, "%s::%s: Adapter List is NULL", kClass, fn);
    return kxstatus::kNoInventory;
  }

  uint32_t status = kxstatus::kInvalidParameter;
  kxinv::ForEachFcPort(list, [&](const kxinv::PortVisit& visit) {
    const std::string formed = visit.entry.Identifier();
    TraceLevel(kTraceInfo, "%s::%s: Got Port=%s", kClass, fn, formed.c_str());
    if (formed != identifier) return true;
    out = PortLookup{visit.adapter, visit.phyPort, visit.entry};
    TraceLevel(kTraceInfo, "%s::%s: Picked pPhyPortEntry %p", kClass, fn, static_cast<const void*>(visit.phyPort.Raw()));
    status = 0;
    return false;
  });
  return status;
}

uint32_t PhysicalPortCmdsProcessor::ResolvePort(const MultipleCmdsProcessor& family, const char* fn,
                                                const Words& args, PortLookup& out) {
  const uint32_t status = GetPhyPortFromPortString(args, out);
  if (status != 0)
    TraceLevel(kTraceError, "%s::%s: Get phy port failed err=%d", family.ClassName(), fn, static_cast<int>(status));
  return status;
}

uint32_t PhysicalPortCmdsProcessor::ResolveOnlinePort(const MultipleCmdsProcessor& family, const char* fn,
                                                      const Words& words, PortLookup& port) {
  if (const uint32_t status = ResolvePort(family, fn, words, port)) return status;
  if (port.entry.IsVirtual()) {
    TraceLevel(kTraceError, "%s::%s: Command not supported for vport", family.ClassName(), fn);
    return kxstatus::kVirtualPort;
  }
  if (port.entry.PortState() != 1) {
    TraceLevel(kTraceError, "%s::%s: Port is in Link Down state", family.ClassName(), fn);
    return kxstatus::kLinkDown;
  }
  return 0;
}

uint32_t PhysicalPortCmdsProcessor::ResolveFeaturePort(const MultipleCmdsProcessor& family, const char* fn,
                                                       const Words& args, PortLookup& out, AdapterTest eligible) {
  const char* cls = family.ClassName();
  if (const uint32_t status = ResolvePort(family, fn, args, out)) return status;
  if (out.entry.IsVirtual()) {
    TraceLevel(kTraceError, "%s::%s: Command not supported for vport", cls, fn);
    return kxstatus::kVirtualPort;
  }
  uint8_t isMezz = 0;
  LibraryOutput log;
  if (!log) {
    TraceLevel(kTraceError, "%s::%s: Failed to open /var/tmp/kxapi-output.log file before Mezz adapter check", cls, fn);
    return kxstatus::kFileNotFound;
  }
  const uint32_t rc = KXAPI_IsMezzAdapter(out.entry.Handle(), &isMezz);
  log.Restore();
  if (rc != 0) {
    TraceLevel(kTraceError, "%s::%s: Mezz adapter check failed err=%d", cls, fn, static_cast<int>(rc));
    return kxstatus::kReadFailed;
  }
  if (!eligible(out.entry.Pci(), isMezz == 1)) {
    TraceLevel(kTraceError, "%s::%s: Command not supported for this adapter", cls, fn);
    return kxstatus::kNotSupportedForAdapter;
  }
  return 0;
}
