// Random and mutated RDP replies through the decoder. Replies are heap blocks
// of their exact size, so that the sanitizer build catches any read past the
// bytes returned; and the report of a reply must not change when the bytes
// after its end do.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "diag/RdpDecoder.h"

namespace {

// A reply with one descriptor of each kind, the seed of the mutations.
std::vector<uint8_t> SeedReply() {
  std::vector<uint32_t> words = {0};
  const uint32_t tags[] = {0x1, 0x10000, 0x10001, 0x10002, 0x10003, 0x10005, 0x10006, 0x10007, 0x10008};
  for (uint32_t tag : tags) {
    const uint32_t count = tag == 0x10008 ? 15 : tag == 0x10002 ? 8 : 3;
    words.insert(words.end(), {tag, 4 * count});
    for (uint32_t i = 0; i < count; ++i) words.push_back(0x4B580051u + i * 0x01010000u);
  }
  words[0] = 508;
  std::vector<uint8_t> bytes;
  for (uint32_t w : words)
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(w >> shift));
  bytes.resize(508, 'K');
  return bytes;
}

}  // namespace

TEST(RdpDecoderFuzz, RandomAndMutatedRepliesStayInsideTheirBytes) {
  std::mt19937 rng(20261206);
  const std::vector<uint8_t> seed = SeedReply();
  const uint32_t tags[] = {0x1, 0x10000, 0x10001, 0x10002, 0x10003, 0x10005, 0x10006, 0x10007, 0x10008};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  size_t runs = 0;
  while (std::chrono::steady_clock::now() < deadline && runs < 20000) {
    std::vector<uint8_t> reply = seed;
    switch (runs % 3) {
      case 0:  // every byte random
        for (uint8_t& b : reply) b = static_cast<uint8_t>(rng());
        break;
      case 1: {  // the seed with a few bytes changed
        const int changes = 1 + static_cast<int>(rng() % 16);
        for (int i = 0; i < changes; ++i) reply[rng() % reply.size()] = static_cast<uint8_t>(rng());
        break;
      }
      default:  // known tags with random lengths at word boundaries
        for (size_t at = 4; at + 8 <= reply.size(); at += 4 * (1 + rng() % 6)) {
          const uint32_t tag = tags[rng() % std::size(tags)];
          const uint32_t length = rng() % 4 == 0 ? static_cast<uint32_t>(rng()) : 4 * (rng() % 20);
          for (int b = 0; b < 4; ++b) {
            reply[at + b] = static_cast<uint8_t>(tag >> (24 - 8 * b));
            reply[at + 4 + b] = static_cast<uint8_t>(length >> (24 - 8 * b));
          }
        }
        break;
    }
    const size_t returned = rng() % 4 == 0 ? rng() % (reply.size() + 1) : reply.size();
    const std::vector<uint8_t> exact(reply.begin(), reply.begin() + static_cast<long>(returned));
    const std::string report = rdp::DecodeRdpReply(exact.data(), exact.size());
    ASSERT_LT(report.size(), rdp::kReportSize) << "run " << runs;
    // Whatever follows the returned bytes cannot change the report.
    std::vector<uint8_t> longer = exact;
    for (int i = 0; i < 64; ++i) longer.push_back(static_cast<uint8_t>(rng()));
    ASSERT_EQ(rdp::DecodeRdpReply(longer.data(), exact.size()), report) << "run " << runs;
    ++runs;
  }
  EXPECT_GT(runs, 100u);
}
