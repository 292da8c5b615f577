// Random and mutated module images and RDP replies through their decoders.
// Inputs and text blocks are heap blocks of their exact size, so that the
// sanitizer build catches any read outside the input or write past the block.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "diag/RdpDecoder.h"
#include "sfp/SfpDecoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Three kinds of input in turn: every byte random, the seed with a few bytes
// changed, and the decoder's own kind of structured noise; mostly whole, now
// and then cut short. `check` gets an exact-size copy.
void Fuzz(uint32_t rngSeed, const Bytes& seed, const std::function<void(std::mt19937&, Bytes&)>& structured,
          const std::function<void(std::mt19937&, const Bytes&)>& check) {
  std::mt19937 rng(rngSeed);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  size_t runs = 0;
  for (; std::chrono::steady_clock::now() < deadline && runs < 20000; ++runs) {
    Bytes input = seed;
    if (runs % 3 == 0) {
      for (uint8_t& b : input) b = static_cast<uint8_t>(rng());
    } else if (runs % 3 == 1) {
      for (int i = 1 + static_cast<int>(rng() % 20); i > 0; --i) input[rng() % input.size()] = static_cast<uint8_t>(rng());
    } else {
      structured(rng, input);
    }
    const size_t length = rng() % 6 == 0 ? rng() % (input.size() + 1) : input.size();
    check(rng, Bytes(input.begin(), input.begin() + static_cast<long>(length)));
    if (testing::Test::HasFatalFailure()) {
      ADD_FAILURE() << "run " << runs << " length " << length;
      return;
    }
  }
  EXPECT_GT(runs, 100u);
}

void Put(Bytes& image, size_t at, std::initializer_list<uint8_t> bytes) { std::copy(bytes.begin(), bytes.end(), image.begin() + at); }

}  // namespace

TEST(DecoderFuzz, ModuleImagesStayInsideTheirBuffers) {
  // A plausible SFP with digital diagnostics.
  Bytes seed(sfp::kSfpImageSize, 0);
  Put(seed, 0, {0x03, 0x04, 0x07, 0x00, 0x00, 0x00, 0x00, 0x20, 0x40, 0x04, 0x54, 0x01, 0x55, 0x0c});
  memcpy(seed.data() + 20, "KALTEX-OPTICS   KX", 18);
  Put(seed, 92, {0x68, 0, 0x08, 0, 'K', 'a', 'l', 't', 'e', 'x'});
  Put(seed, 256, {0x50, 0x00, 0xf6, 0x00, 0x4b, 0x00, 0xfb, 0x00, 0x8c, 0xa0, 0x75, 0x30, 0x88, 0xb8, 0x79, 0x18});
  Put(seed, 352, {0x21, 0x80, 0x80, 0xe8, 0x1b, 0x58, 0x13, 0x88, 0x0f, 0xa0});
  const uint8_t identifiers[] = {3, 12, 13, 17, 18, 0, 0xff};
  auto underIdentifier = [&](std::mt19937& rng, Bytes& image) {  // to reach both tables
    for (uint8_t& b : image) b = static_cast<uint8_t>(rng() % 4 == 0 ? 0xff : rng());
    image[0] = identifiers[rng() % std::size(identifiers)];
  };
  Fuzz(20261205, seed, underIdentifier, [](std::mt19937& rng, const Bytes& image) {
    const size_t capacity = rng() % 4 == 0 ? rng() % 2048 : sfp::kDmiTextSize;
    std::vector<char> block(capacity);
    const size_t written = sfp::DecodeSfpImage(image.data(), image.size(), block.data(), block.size());
    if (capacity == 0) {
      ASSERT_EQ(written, 0u);
      return;
    }
    ASSERT_LT(written, capacity);
    ASSERT_EQ(block[written], '\0');
    ASSERT_EQ(strlen(block.data()), written);
  });
}

TEST(DecoderFuzz, RdpRepliesStayInsideTheirBytes) {
  // A reply with one descriptor of each kind.
  const uint32_t tags[] = {0x1, 0x10000, 0x10001, 0x10002, 0x10003, 0x10005, 0x10006, 0x10007, 0x10008};
  std::vector<uint32_t> words = {508};
  for (uint32_t tag : tags) {
    const uint32_t count = tag == 0x10008 ? 15 : tag == 0x10002 ? 8 : 3;
    words.insert(words.end(), {tag, 4 * count});
    for (uint32_t i = 0; i < count; ++i) words.push_back(0x4B580051u + i * 0x01010000u);
  }
  Bytes seed;
  for (uint32_t w : words)
    for (int shift = 24; shift >= 0; shift -= 8) seed.push_back(static_cast<uint8_t>(w >> shift));
  seed.resize(508, 'K');
  auto knownTags = [&](std::mt19937& rng, Bytes& reply) {  // random lengths at word boundaries
    for (size_t at = 4; at + 8 <= reply.size(); at += 4 * (1 + rng() % 6)) {
      const uint32_t tag = tags[rng() % std::size(tags)];
      const uint32_t length = rng() % 4 == 0 ? static_cast<uint32_t>(rng()) : 4 * (rng() % 20);
      for (int b = 0; b < 4; ++b) {
        reply[at + b] = static_cast<uint8_t>(tag >> (24 - 8 * b));
        reply[at + 4 + b] = static_cast<uint8_t>(length >> (24 - 8 * b));
      }
    }
  };
  Fuzz(20261206, seed, knownTags, [](std::mt19937& rng, const Bytes& reply) {
    const std::string report = rdp::DecodeRdpReply(reply.data(), reply.size());
    ASSERT_LT(report.size(), rdp::kReportSize);
    // Whatever follows the returned bytes cannot change the report.
    Bytes longer = reply;
    for (int i = 0; i < 64; ++i) longer.push_back(static_cast<uint8_t>(rng()));
    ASSERT_EQ(rdp::DecodeRdpReply(longer.data(), reply.size()), report);
  });
}
