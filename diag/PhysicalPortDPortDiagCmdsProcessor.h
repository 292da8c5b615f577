// The "dportdiag" port sub-mode: shows and switches a port's Diagnostic Port
// (D-Port) mode and runs the D-Port test against the switch port at the
// other end of the link.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "port/PhysicalPortCmdsProcessor.h"

using DPortRecord = std::array<uint8_t, kxdiag::kDPortRecordSize>;

// The report of a D-Port result record: start and stop time and the four
// tests; with the second test interface also the powers (converted from
// 0.1 uW to dBm), the mailbox words or the failure reason, the latency, the
// cable distance and the power budget.
std::string DPortResultText(const DPortRecord& record, bool secondInterface);

// D-Port-capable: device group E, A, B or C and not a mezzanine adapter.
bool IsDPortAdapter(const kxinv::PciIdentity& pci, bool mezzanine);

class PhysicalPortDPortDiagCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortDPortDiagCmdsProcessor(CmdProcessor* parent);

  // "get <port>"
  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  // "set <port> true|false"
  uint32_t CmdSetCommon(Words& words, uint32_t mode);
  // "run <port>"
  uint32_t CmdRunCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  // Resolution and the adapter checks of all three commands.
  uint32_t CommonChecks(const char* fn, const Words& words, PortLookup& port);
  // The test itself, from the D-Port mode check to the result record.
  uint32_t RunTest(const char* fn, const PortLookup& port, DPortRecord& record, bool& secondInterface);
  void DisplayDPortDiagInfo(bool enabled, uint32_t status, uint32_t mode, bool showReboot, bool rebootRequired);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
  void DisplayMbxError(uint16_t mailboxStatus, uint32_t mode);
};
