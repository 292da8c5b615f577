// The ways the tool and the stand-in name a remote port for link statistics.
#include <gtest/gtest.h>

#include "shell/KxApi.h"

TEST(RemotePortId, LowTwentyFourBitsAgainstDomainAreaPort) {
  const uint8_t id[3] = {0x01, 0x0a, 0xef};
  EXPECT_EQ(KxPortIdWord(id), 0x010aefu);
  EXPECT_TRUE(KxSameRemotePortId(0x010aefu, id));
  EXPECT_TRUE(KxSameRemotePortId(0xff010aefu, id));  // the high byte is not part of the ID
  EXPECT_FALSE(KxSameRemotePortId(0xef0a01u, id));   // byte order matters
  EXPECT_FALSE(KxSameRemotePortId(0x010aeeu, id));
}
