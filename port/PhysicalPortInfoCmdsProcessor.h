// Port sub-mode "info": everything known about one FC port, as one report block.
#pragma once

#include <cstdint>
#include <string>

#include "port/PhysicalPortCmdsProcessor.h"

// The three records the library fills for the report, zero-filled before the calls.
struct PortInfoRecords {
  uint8_t temperature[kxrec::kTemperatureRecordSize] = {};
  uint8_t lockdown[kxrec::kLockdownRecordSize] = {};
  uint8_t flashVersions[kxrec::kFlashVersionRecordSize] = {};
};

// The report text of a port, without any output: one line per value, the
// first unindented, and device-group-dependent lines only where they apply.
// Lines that no longer fit into the 4096-byte block are left out.
std::string ComposePortInfo(const PortLookup& port, const PortInfoRecords& records, const std::string& tracePrefix);

class PhysicalPortInfoCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortInfoCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  void DisplayPortInfo(const PortLookup& port, const PortInfoRecords& records, uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
