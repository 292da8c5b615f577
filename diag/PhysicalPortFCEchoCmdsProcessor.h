// The "fcecho" port sub-mode: FC-LS ECHO requests from a port to a discovered
// target or to the fabric, one library call per request, each result listed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "port/PhysicalPortCmdsProcessor.h"

using EchoRecord = std::array<uint8_t, kxdiag::kEchoRecordSize>;

// "%6.2f (ms)" of the record's response time.
std::string EchoResponseTime(const EchoRecord& record);

class PhysicalPortFCEchoCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortFCEchoCmdsProcessor(CmdProcessor* parent);

  // "run <port> <wwpn> <count> <stop-on-error>"
  uint32_t CmdRunCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  // kEchoToFabric when the WWPN is the port's fabric name, kEchoToTarget
  // when it is a discovered target's; 28 when neither.
  uint32_t ChooseDestination(const char* fn, const kxinv::PortEntryRef& entry, const std::string& wwpn,
                             uint16_t& type);
  void DisplayFCEchoResult(const std::string& destination, const std::vector<EchoRecord>& results, uint32_t status,
                           uint32_t mode);
  uint32_t DisplayError(uint32_t status, uint32_t mode);
};
