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

// The stand-in's built-in inventory (no fixture): port handle 1 sees target 50:00:c8:a1:00:00:10:01.
TEST(StandInLinkStatistics, RemotePortNamedByAddressOrByRecord) {
  const uint8_t known[8] = {0x50, 0x00, 0xc8, 0xa1, 0x00, 0x00, 0x10, 0x01};
  const uint8_t unknown[8] = {0x50, 0x00, 0xc8, 0xa1, 0x00, 0x00, 0x99, 0x99};
  ASSERT_NE(KXAPI_GetAdapterList(), nullptr);

  auto byAddress = [](const uint8_t* name) {
    std::array<uint8_t, kxrec::kRemoteAddrSize> address{};
    std::array<uint8_t, kxrec::kStatsRecordSize> stats{};
    const uint16_t type = kxrec::kRemoteAddrByPortName;
    std::memcpy(address.data() + kxrec::kRemoteAddrType, &type, sizeof type);
    std::memcpy(address.data() + kxrec::kRemoteAddrName, name, 8);
    return KXAPI_GetPortStatisticsFC(1, 0, address.data(), stats.data());
  };
  auto byRecord = [](const uint8_t* name) {
    uint32_t unused = 0;
    std::array<uint8_t, kxrec::kStatsRecordSize> stats{};
    std::memcpy(stats.data(), name, 8);
    return KXAPI_GetPortStatisticsFC(1, 0, &unused, stats.data());
  };
  EXPECT_EQ(byAddress(known), 0u);
  EXPECT_NE(byAddress(unknown), 0u);
  EXPECT_EQ(byRecord(known), 0u);
  EXPECT_NE(byRecord(unknown), 0u);
  // An address record of another type falls back to the name in the record.
  std::array<uint8_t, kxrec::kRemoteAddrSize> address{};
  std::array<uint8_t, kxrec::kStatsRecordSize> stats{};
  std::memcpy(address.data() + kxrec::kRemoteAddrName, known, 8);
  std::memcpy(stats.data(), unknown, 8);
  EXPECT_NE(KXAPI_GetPortStatisticsFC(1, 0, address.data(), stats.data()), 0u);
  // A handle number no port has.
  EXPECT_NE(KXAPI_GetPortStatisticsFC(9999, 0, address.data(), stats.data()), 0u);
}
