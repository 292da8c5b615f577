// The walk over a PCI VPD image: never reads past the image, and every
// keyword it keeps is two characters long.
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "portcfg/PhysicalPortVPDCmdsProcessor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> image(data, data + size);  // exact size: a read past it is caught
  const VpdMap fields = MapVpdData(image.data(), image.size());
  size_t total = 0;
  for (const auto& [keyword, value] : fields) {
    kxfuzz::Check(keyword.size() == 2, "keywords are two characters");
    VpdKeywordName(keyword);
    total += value.size();
  }
  kxfuzz::Check(total <= size, "values come from the image");
  return 0;
}
