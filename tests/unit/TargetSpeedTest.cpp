// Pure helpers of the target and LUN families, and the stand-in's ways of
// naming a remote port for link statistics.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "shell/KxApi.h"
#include "target/FCLunInfoCmdsProcessor.h"
#include "target/FCTargetIIDMACmdsProcessor.h"

TEST(TargetIidmaRanks, PortMaximumFromTheSupportedSpeedMask) {
  struct Case {
    uint8_t mask;
    uint32_t rank;
  };
  const Case cases[] = {
      {0x00, 0}, {0x04, 0}, {0x01, 1}, {0x05, 1}, {0x02, 2}, {0x03, 2}, {0x08, 3}, {0x0C, 3},
      {0x10, 4}, {0x20, 5}, {0x38, 5}, {0x40, 6}, {0x70, 6}, {0x80, 7}, {0xFF, 7},
  };
  for (const Case& c : cases) EXPECT_EQ(FCTargetIIDMACmdsProcessor::PortMaxRank(c.mask), c.rank) << int(c.mask);
}

TEST(TargetIidmaRanks, TargetSpeedIsLimitedToThePortsMaximum) {
  struct Case {
    uint32_t code;
    uint8_t mask;
    uint32_t shown;
  };
  const Case cases[] = {
      {0x32, 0x38, 0x16},  // 32 Gbps target behind a 16 Gbps port
      {0x16, 0x38, 0x16},  // equal rank stays
      {0x64, 0x70, 0x32},
      {0x64, 0xF0, 0x64},  // 64 Gbps ports are never limited
      {0x08, 0x04, 0x00},  // only 10 Gbps supported: rank 0, shown "Unknown"
      {0x10, 0x01, 0x10},  // 10 Gbps has no rank
      {0x33, 0x01, 0x33},  // unknown codes pass through
      {0x02, 0x01, 0x01},
      {0x04, 0x03, 0x02},
      {0x08, 0x08, 0x04},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FCTargetIIDMACmdsProcessor::LimitToPort(c.code, c.mask), c.shown) << std::hex << c.code << " " << int(c.mask);
}

TEST(LunSize, MegabytesIn64BitArithmetic) {
  struct Case {
    uint64_t blocks;
    uint32_t blockSize;
    uint64_t mb;
  };
  const Case cases[] = {
      {2048, 512, 1},
      {1ull << 33, 512, 4194304},
      {1023, 512, 0},
      {1024, 512, 0},  // scaled down first: 1 x 512 >> 10
      {2047, 512, 0},
      {1ull << 40, 4096, 1ull << 32},
      {0, 4096, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FCLunInfoCmdsProcessor::SizeInMB(c.blocks, c.blockSize), c.mb) << c.blocks;
}

TEST(RemotePortId, LowTwentyFourBitsAgainstDomainAreaPort) {
  const uint8_t id[3] = {0x01, 0x0a, 0xef};
  EXPECT_EQ(KxPortIdWord(id), 0x010aefu);
  EXPECT_TRUE(KxSameRemotePortId(0x010aefu, id));
  EXPECT_TRUE(KxSameRemotePortId(0xff010aefu, id));  // the high byte is not part of the ID
  EXPECT_FALSE(KxSameRemotePortId(0xef0a01u, id));   // byte order matters
  EXPECT_FALSE(KxSameRemotePortId(0x010aeeu, id));
}
