// The RDP decoder over replies of any length: it reads nothing past the bytes
// it is given, and its report stays inside the report block.
#include <vector>

#include "diag/RdpDecoder.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A heap block of the input's exact size, so a read past it is caught.
  const std::vector<uint8_t> reply(data, data + size);
  const std::string report = rdp::DecodeRdpReply(reply.data(), reply.size());
  kxfuzz::Check(report.size() < rdp::kReportSize, "the report fits its block");
  // Whatever follows the reply cannot change the report, even where no
  // sanitizer watches the reads.
  std::vector<uint8_t> longer(reply);
  for (size_t i = 0; i < 64; ++i) longer.push_back(static_cast<uint8_t>(0xA5 ^ i));
  kxfuzz::Check(rdp::DecodeRdpReply(longer.data(), size) == report, "the bytes after the reply are not read");
  return 0;
}
