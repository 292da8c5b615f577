// Which FEC status a port shows and when it may be switched, at the speed boundaries.
#include <gtest/gtest.h>

#include "portcfg/PhysicalPortFECCmdsProcessor.h"

namespace {

TEST(FecRules, StatusAndWritabilityAtTheBoundaries) {
  constexpr uint8_t kOnline = 1;
  constexpr uint8_t kOffline = 3;
  struct Case { bool mezz; uint8_t state; uint32_t speed; uint32_t library; bool shown; bool writable; };
  const Case cases[] = {
      {false, kOnline, 0x08, 1, false, false},  // below 16 Gbps: off whatever the library says
      {false, kOnline, 0x10, 1, false, false},  // 10 Gbps
      {false, kOnline, 0x15, 1, false, false},
      {false, kOnline, 0x16, 0, false, true},   // 16 Gbps: the library's word
      {false, kOnline, 0x16, 1, true, true}, {false, kOnline, 0x31, 1, true, true},
      {false, kOnline, 0x32, 0, true, false},   // 32 Gbps and above: on
      {false, kOnline, 0x64, 0, true, false},
      {false, kOffline, 0x08, 0, false, true},  // not online: the library's word, switchable
      {false, kOffline, 0x32, 1, true, true}, {false, 0, 0, 7, true, true},
      {true, kOnline, 0x16, 0, true, false},    // mezzanine: always on, never switchable
      {true, kOffline, 0x00, 0, true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EffectiveFecStatus(c.mezz, c.state, c.speed, c.library), c.shown)
        << "mezz=" << c.mezz << " state=" << int(c.state) << " speed=0x" << std::hex << c.speed;
    EXPECT_EQ(FecStatusWritable(c.mezz, c.state, c.speed), c.writable)
        << "mezz=" << c.mezz << " state=" << int(c.state) << " speed=0x" << std::hex << c.speed;
  }
}

}  // namespace
