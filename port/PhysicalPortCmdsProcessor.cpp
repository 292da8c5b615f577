#include "port/PhysicalPortCmdsProcessor.h"

#include "maint/PhysicalPortBeaconCmdsProcessor.h"
#include "maint/PhysicalPortFwDumpCmdsProcessor.h"
#include "port/PhysicalPortFCStatsCmdsProcessor.h"
#include "port/PhysicalPortInfoCmdsProcessor.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "sfp/PhysicalPortDMICmdsProcessor.h"

#include "portcfg/PhysicalPortBBCRCmdsProcessor.h"
#include "portcfg/PhysicalPortFECCmdsProcessor.h"
#include "portcfg/PhysicalPortHBAParamsCmdsProcessor.h"
#include "portcfg/PhysicalPortVPDCmdsProcessor.h"

namespace {

constexpr const char* kClass = "PhysicalPortCmdsProcessor";

// A port family whose commands are not built yet: the sub-mode exists with its
// help line so that the table and listings are complete.
std::unique_ptr<MultipleCmdsProcessor> Pending(CmdProcessor* parent, const char* className, const char* title,
                                               const char* name, const char* help) {
  return std::make_unique<MultipleCmdsProcessor>(className, title, name, "-s", help, parent);
}

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

  AddSubMode(Pending(this, "PhysicalPortBootConfigCmdsProcessor", "Boot Config", "bootconfig",
                     "use this command to get/set Kaltex Fibre Channel Port's Boot Config info"));

  AddSubMode(Pending(this, "PhysicalPortBootConfigExtCmdsProcessor", "Boot Config Ext", "bootconfigext",
                     "use this command to get/set Kaltex Fibre Channel Port's Boot Config info"));

  AddSubMode(std::make_unique<PhysicalPortFwDumpCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortBeaconCmdsProcessor>(this));

  AddSubMode(Pending(this, "PhysicalPortSCMStatsCmdsProcessor", "SCM Stats", "scmstats",
                     "use this command to get Kaltex Fibre Channel Port's Universal SAN Congestion Mitigation "
                     "(USCM) Statistics"));

  AddSubMode(Pending(this, "PhysicalPortSCMChkCmdsProcessor", "SCM Check", "scmchk",
                     "use this command to check Kaltex Fibre Channel Port's Universal SAN Congestion Mitigation "
                     "(USCM) Status"));

  AddSubMode(Pending(this, "PhysicalPortSCMProfileCmdsProcessor", "SCM Profile", "scmprofile",
                     "use this command to check Kaltex Fibre Channel Port's Universal SAN Congestion Mitigation "
                     "(USCM) Profile"));

  AddSubMode(Pending(this, "PhysicalPortDPortDiagCmdsProcessor", "DPortDiag", "dportdiag",
                     "use this command to get/set/run Diagnostic Port (DPort) on Kaltex Fibre Channel Port"));

  AddSubMode(Pending(this, "PhysicalPortCTDiagCmdsProcessor", "CTDiag", "ctdiag",
                     "use this command to run CT diagnostic through Kaltex Fibre Channel Port"));

  AddSubMode(Pending(this, "PhysicalPortFCPingCmdsProcessor", "FCPing", "fcping",
                     "use this command to run FC Ping diagnostic through Kaltex Fibre Channel Port"));

  AddSubMode(Pending(this, "PhysicalPortFCEchoCmdsProcessor", "FCEcho", "fcecho",
                     "use this command to run FC Echo ELS diagnostic through Kaltex Fibre Channel Port"));

  AddSubMode(Pending(this, "PhysicalPortRDPCmdsProcessor", "RDP", "rdp",
                     "use this command to get Read Diagnostic Parameters ELS info through Kaltex Fibre Channel "
                     "Port"));

  AddSubMode(Pending(this, "PhysicalPortLoopbackCmdsProcessor", "LoopbackTest", "loopback",
                     "use this command to run loopback diagnostic test through Kaltex Fibre Channel Port"));

  AddSubMode(Pending(this, "PhysicalPortRWBufferCmdsProcessor", "RWBuffer", "rwbuffer",
                     "use this command to run Read/Write Buffer Diagnostic test through Kaltex Fibre Channel Port"));
}

void PhysicalPortCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"list", "Discover list of Kaltex physical ports", 0, CommandKind::kXml, &Cls::CmdListCommon, "CmdList"},
      {"updatenvram", "Update NVRAM of Kaltex physical port", 1, CommandKind::kXml, &Cls::CmdUpdateNvramCommon,
       "CmdUpdateNvram"},
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

  ShowIdentifierList(fn, mode, "PortList", "Ports", [&](const IdentifierSink& add) {
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
  // The file is the library's business; all the tool checks is that it is there.
  const std::string path = args.size() > 1 ? args[1] : std::string();
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0) {
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

  uint8_t flag = 0;
  bool rebootRequired = true;  // when the library cannot tell, the safe answer is to reboot
  if (const uint32_t r = KXAPI_IsRebootRequired(&flag); r != 0) {
    TraceFn(kTraceError, fn, "Get Reboot Required failed err=%d", static_cast<int>(r));
  } else {
    rebootRequired = flag == 1;
  }
  DisplayUpdateNvram(0, mode, rebootRequired);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortCmdsProcessor::DisplayUpdateNvram(uint32_t status, uint32_t mode, bool rebootRequired) {
  static const StatusMessage kMessages[] = {
      {0, kxkey::kSuccess},
      kxmsg::Common(6),
      kxmsg::Common(14),
      kxmsg::Common(19),
      {20, "Failed, NVRAM update failed"},
      kxmsg::Common(51),
      kxmsg::Common(60),
  };
  const char* message = LookupMessage(kMessages, status);
  Begin(mode);
  BeginStructure("UpdateNVRAM");
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
