// The identifier resolvers of adapters, ports, targets and LUNs over any
// first word, against the stand-in's default inventory: each answers with one
// of its statuses and never reads past the words it was given.
#include <cstdlib>

#include "adapter/AdapterCmdsProcessor.h"
#include "fuzz/FuzzTarget.h"
#include "port/PhysicalPortCmdsProcessor.h"
#include "shell/KxApi.h"
#include "target/FCLunCmdsProcessor.h"
#include "target/FCTargetCmdsProcessor.h"

namespace {

bool Known(uint32_t status) { return status == 0 || status == 5 || status == 6 || status == 14; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  unsetenv("KXSIM_FIXTURE");
  unsetenv("KXSIM_CALLLOG");
  KXAPI_Initialize(0, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int initialized = LLVMFuzzerInitialize(nullptr, nullptr);
  (void)initialized;
  // Only the words given: a resolver that reads a second word reads past them.
  const Words words = kxfuzz::Split(data, size);
  AdapterLookup adapter;
  kxfuzz::Check(Known(AdapterCmdsProcessor::GetPhyPortFromAdapterString(words, adapter)), "adapter status");
  PortLookup port;
  kxfuzz::Check(Known(PhysicalPortCmdsProcessor::GetPhyPortFromPortString(words, port)), "port status");
  kxinv::PortEntryRef entry(nullptr);
  kxinv::TargetRef target(nullptr);
  kxfuzz::Check(Known(FCTargetCmdsProcessor::GetTargetFromTargetString(words, entry, target)), "target status");
  kxinv::LunRef lun(nullptr);
  kxfuzz::Check(Known(FCLunCmdsProcessor::GetLunFromLunString(words, lun)), "LUN status");
  return 0;
}
