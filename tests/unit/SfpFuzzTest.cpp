// Random and mutated module images through the decoder. Images and text blocks
// are heap blocks of their exact size, so that the sanitizer build catches any
// read outside the image or write past the block.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "sfp/SfpDecoder.h"

using namespace sfp;

namespace {

// A plausible SFP with digital diagnostics, the seed of the mutations.
std::vector<uint8_t> SeedImage() {
  std::vector<uint8_t> image(kSfpImageSize, 0);
  const uint8_t a0[] = {0x03, 0x04, 0x07, 0x00, 0x00, 0x00, 0x00, 0x20, 0x40, 0x04, 0x54, 0x01, 0x55, 0x0c};
  memcpy(image.data(), a0, sizeof a0);
  memcpy(image.data() + 20, "KALTEX-OPTICS   KX", 18);
  image[92] = 0x68;
  image[94] = 0x08;
  memcpy(image.data() + 96, "Kaltex", 6);
  const uint8_t a2[] = {0x50, 0x00, 0xf6, 0x00, 0x4b, 0x00, 0xfb, 0x00, 0x8c, 0xa0, 0x75, 0x30, 0x88, 0xb8, 0x79, 0x18};
  memcpy(image.data() + 256, a2, sizeof a2);
  const uint8_t live[] = {0x21, 0x80, 0x80, 0xe8, 0x1b, 0x58, 0x13, 0x88, 0x0f, 0xa0};
  memcpy(image.data() + 352, live, sizeof live);
  return image;
}

void DecodeChecked(const std::vector<uint8_t>& source, size_t length, size_t capacity) {
  // Exact-size copies: one byte past either is outside its heap block.
  std::vector<uint8_t> image(source.begin(), source.begin() + static_cast<long>(length));
  std::vector<char> block(capacity);
  const size_t written = DecodeSfpImage(image.data(), image.size(), block.data(), block.size());
  if (capacity == 0) {
    ASSERT_EQ(written, 0u);
    return;
  }
  ASSERT_LT(written, capacity);
  ASSERT_EQ(block[written], '\0');
  ASSERT_EQ(strlen(block.data()), written);
}

}  // namespace

TEST(SfpDecoderFuzz, RandomAndMutatedImagesStayInsideTheirBuffers) {
  std::mt19937 rng(20261205);
  const std::vector<uint8_t> seed = SeedImage();
  const uint8_t identifiers[] = {3, 12, 13, 17, 18, 0, 0xff};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  size_t runs = 0;
  while (std::chrono::steady_clock::now() < deadline && runs < 20000) {
    std::vector<uint8_t> image(kSfpImageSize);
    switch (runs % 3) {
      case 0:  // every byte random
        for (uint8_t& b : image) b = static_cast<uint8_t>(rng());
        break;
      case 1: {  // the seed with a few bytes changed
        image = seed;
        const int changes = 1 + static_cast<int>(rng() % 24);
        for (int i = 0; i < changes; ++i) image[rng() % kSfpImageSize] = static_cast<uint8_t>(rng());
        break;
      }
      default:  // random bytes under a module identifier, to reach both tables
        for (uint8_t& b : image) b = static_cast<uint8_t>(rng() % 4 == 0 ? 0xff : rng());
        image[0] = identifiers[rng() % std::size(identifiers)];
        break;
    }
    // Mostly the real sizes; sometimes a short image or a small block.
    const size_t length = rng() % 8 == 0 ? rng() % (kSfpImageSize + 1) : kSfpImageSize;
    const size_t capacity = rng() % 4 == 0 ? rng() % 2048 : kDmiTextSize;
    DecodeChecked(image, length, capacity);
    if (HasFatalFailure()) {
      ADD_FAILURE() << "run " << runs << " length " << length << " capacity " << capacity;
      return;
    }
    ++runs;
  }
  EXPECT_GT(runs, 100u);
}
