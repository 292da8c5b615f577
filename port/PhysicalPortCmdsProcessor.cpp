#include "port/PhysicalPortCmdsProcessor.h"

#include <cstdio>

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
  AddSubMode(Pending(this, "PhysicalPortInfoCmdsProcessor", "Port info", "info",
                     "use this command to get Kaltex Fibre Channel Port's info"));

  AddSubMode(Pending(this, "PhysicalPortFCStatsCmdsProcessor", "Port stats", "stats",
                     "use this command to get Kaltex Fibre Chanel Port Statistics"));

  AddSubMode(Pending(this, "PhysicalPortDMICmdsProcessor", "DMI", "dmi",
                     "use this command to get Kaltex Fibre Channel Port's SFP DMI info"));

  AddSubMode(std::make_unique<PhysicalPortVPDCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortHBAParamsCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortBBCRCmdsProcessor>(this));

  AddSubMode(std::make_unique<PhysicalPortFECCmdsProcessor>(this));

  AddSubMode(Pending(this, "PhysicalPortBootConfigCmdsProcessor", "Boot Config", "bootconfig",
                     "use this command to get/set Kaltex Fibre Channel Port's Boot Config info"));

  AddSubMode(Pending(this, "PhysicalPortBootConfigExtCmdsProcessor", "Boot Config Ext", "bootconfigext",
                     "use this command to get/set Kaltex Fibre Channel Port's Boot Config info"));

  AddSubMode(Pending(this, "PhysicalPortFwDumpCmdsProcessor", "Firmware Dump", "fwdump",
                     "use this command to get Kaltex Fibre Channel Port's Firmware Dump info"));

  AddSubMode(Pending(this, "PhysicalPortBeaconCmdsProcessor", "Beacon", "beacon",
                     "use this command to get/set Kaltex Fibre Channel Port's Beacon info"));

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

void PhysicalPortCmdsProcessor::RegisterCommands() {}

uint32_t PhysicalPortCmdsProcessor::GetPhyPortFromPortString(const Words& args, PortLookup& out) {
  constexpr const char* fn = "GetPhyPortFromPortString";
  TraceLevel(kTraceInfo, "%s::%s: Entered", kClass, fn);
  const std::string identifier = args.empty() ? std::string() : args.front();
  if (!args.empty() && IsHelpRequest(identifier)) {
    TraceLevel(kTraceInfo, "%s::%s: Invoking Help", kClass, fn);
    return kxstatus::kHelpRequest;
  }

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
