// The "fcping" port sub-mode: a series of FC ping requests from a port to one
// of its discovered targets. Its reading of the destination words and its
// target lookup serve the CT and FC echo sub-modes as well.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "port/PhysicalPortCmdsProcessor.h"

// "aa:bb:cc:dd:ee:ff:00:11" (lower case) from a WWPN as typed: up to eight
// colon-separated hexadecimal bytes. Missing bytes are 0; a group that is not
// a byte ends the reading there.
std::string NormalizeWwpn(const std::string& word);

// The destination and the series of a ping, CT or echo run.
struct PingRequest {
  std::string wwpn;  // normalized: the text the library is given
  uint32_t count = 0;
  uint32_t stopOnError = 0;

  // The WWPN text in the zero-filled buffer the library takes.
  std::array<char, kxdiag::kWwpnTextSize> Text() const;
};

class PhysicalPortFCPingCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortFCPingCmdsProcessor(CmdProcessor* parent);

  // "run <port> <wwpn> <count> <stop-on-error>"
  uint32_t CmdRunCommon(Words& words, uint32_t mode);

  // Reads WWPN, count and stop-on-error from words[first] on; a missing word
  // reads as empty. The count must be a whole decimal number from 1 to 65535
  // (else 6); stop-on-error is set only by "true".
  static uint32_t ReadRequest(const MultipleCmdsProcessor& family, const char* fn, const Words& words, size_t first,
                              PingRequest& request);
  // True when a discovered target of the port has the (normalized) WWPN.
  static bool IsDiscoveredTarget(const kxinv::PortEntryRef& entry, const std::string& wwpn);
  // Everything a ping or CT run checks before the library is called: the
  // port, the request words from words[first] on, and the target (28 when
  // the port has not discovered it).
  static uint32_t PrepareSeries(const MultipleCmdsProcessor& family, const char* fn, const Words& words, size_t first,
                                PortLookup& port, PingRequest& request);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t Run(const char* fn, const Words& words);
  void DisplayFCPingResult(uint32_t status, uint32_t mode);
};
