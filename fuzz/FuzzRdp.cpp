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
  return 0;
}
