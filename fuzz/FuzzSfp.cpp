// The transceiver decoder over module images of any length, into a text
// block of any size: it stays inside both and always ends the text.
#include <cstring>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "sfp/SfpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the block size; the rest is the image, copied to a
  // heap block of its exact size so a read past it is caught.
  const size_t capacity = static_cast<size_t>(data[0]) * 64;
  const std::vector<uint8_t> image(data + 1, data + size);
  std::vector<char> block(capacity);
  const size_t written = sfp::DecodeSfpImage(image.data(), image.size(), block.data(), block.size());
  if (capacity == 0) {
    kxfuzz::Check(written == 0, "nothing is written into no room");
    return 0;
  }
  kxfuzz::Check(written < capacity && block[written] == '\0' && strlen(block.data()) == written,
                "the text ends inside its block");
  return 0;
}
