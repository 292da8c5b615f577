#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "runtime/Sync.h"
#include "runtime/Trace.h"
#include "runtime/VelaTimer.h"

TEST(VelaTimer, DurationTexts) {
  struct Row { uint64_t ms; const char* text; } rows[] = {
      {0, "00:00:00.000"}, {1500, "00:00:01.500"}, {300, "00:00:00.300"}, {86399999, "23:59:59.999"},
      {26ull * 3600 * 1000, "1 days 02:00:00.000"}, {3ull * 86400000 + 61001, "3 days 00:01:01.001"},
  };
  for (const Row& row : rows) EXPECT_EQ(VelaTimer::FormatDuration(row.ms), row.text) << row.ms;
}

TEST(CMutex, RecursiveOwnershipAndForeignUnlock) {
  CCriticalSection mutex;
  ASSERT_EQ(mutex.Lock(), 1);
  ASSERT_EQ(mutex.Lock(), 1);
  EXPECT_EQ(mutex.LockCount(), 2u);

  std::atomic<int> otherLock{-1}, otherUnlock{-1};
  std::thread([&] {
    otherUnlock = mutex.Unlock();  // not the owner
    CMutex& plain = mutex;
    otherLock = plain.CMutex::Lock(0);  // busy: fails at once
  }).join();
  EXPECT_EQ(otherUnlock, 0);
  EXPECT_EQ(otherLock, 0);
  EXPECT_EQ(mutex.LockCount(), 2u);

  EXPECT_EQ(mutex.Unlock(), 1);
  std::thread([&] { otherLock = static_cast<CMutex&>(mutex).CMutex::Lock(0); }).join();
  EXPECT_EQ(otherLock, 0) << "still held once";
  EXPECT_EQ(mutex.Unlock(), 1);
  std::thread([&] {
    otherLock = static_cast<CMutex&>(mutex).CMutex::Lock(50);
    if (otherLock) mutex.Unlock();
  }).join();
  EXPECT_EQ(otherLock, 1) << "released after the second unlock";
  EXPECT_EQ(mutex.Unlock(), 0) << "nothing left to unlock";
}

TEST(CMutex, FiniteTimeoutWaitsForTheOwner) {
  CMutex mutex(true);
  ASSERT_EQ(mutex.Lock(CMutex::kInfinite), 1);
  std::atomic<int> got{-1};
  std::thread waiter([&] { got = mutex.Lock(2000); if (got) mutex.Unlock(); });
  usleep(30000);
  mutex.Unlock();
  waiter.join();
  EXPECT_EQ(got, 1);
}

TEST(Trace, LogNameFromTheModulePath) {
  EXPECT_EQ(TraceLogNameFor("/usr/lib/vmware/esxcli/ext/kxfcli"), "/kxfcli");
  EXPECT_EQ(TraceLogNameFor("/opt/x/libkxplugin.so.1"), "/libkxplugin");
  EXPECT_EQ(TraceLogNameFor("kxfcli"), "/veduzudn");
  EXPECT_EQ(TraceLogNameFor(nullptr), "/veduzudn");
}

namespace {

std::string Appended(const std::function<void()>& write) {
  const std::string path = TraceLogPath();
  auto size = [&] {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return 0L;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fclose(f);
    return n;
  };
  const long before = size();
  write();
  std::string text;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    fseek(f, before, SEEK_SET);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
  }
  return text;
}

}  // namespace

TEST(Trace, LevelsGateLinesAndNameTheirLevel) {
  const long kept = DebugLevel();
  const std::string pid = std::to_string(getpid());
  struct Row { long level; bool info, error, sfp, plain; } rows[] = {
      {0, false, false, false, false}, {1, true, false, false, true}, {4, false, true, false, true},
      {8, false, false, true, true}, {13, true, true, true, true},
  };
  for (const Row& row : rows) {
    SetDebugLevel(row.level);
    const std::string text = Appended([] {
      TraceLevel(kTraceInfo, "X::Fn: %s", "Entered");
      TraceLevel(kTraceError, "X::Fn: failed err=%d", 7);
      TraceLevel(kTraceSfp, "decode %d", 1);
      Trace("STARTING %s", "X::X()");
      Trace("%s", "");  // an empty message is never written
    });
    auto has = [&](const std::string& s) { return text.find(s) != std::string::npos; };
    EXPECT_EQ(has("CIM Provider INFORMATION " + pid + ": X::Fn: Entered\r\n"), row.info) << row.level;
    EXPECT_EQ(has("CIM Provider DEBUG       " + pid + ": X::Fn: failed err=7\r\n"), row.error) << row.level;
    EXPECT_EQ(has("CIM Provider  " + pid + ": decode 1\r\n"), row.sfp) << row.level;
    EXPECT_EQ(has("CIM Provider " + pid + ": STARTING X::X()\r\n"), row.plain) << row.level;
  }
  SetDebugLevel(kept);
}

TEST(Trace, FunctionTimerReportsElapsedFrom300Milliseconds) {
  const long kept = DebugLevel();
  SetDebugLevel(1);
  const std::string fast = Appended([] { FunctionTimer t("Fast::Fast()"); });
  const std::string slow = Appended([] {
    FunctionTimer t("Slow::Slow()");
    usleep(310000);
  });
  SetDebugLevel(kept);
  EXPECT_NE(fast.find("STARTING Fast::Fast()\r\n"), std::string::npos);
  EXPECT_NE(fast.find("RETURNING Fast::Fast()\r\n"), std::string::npos);
  EXPECT_NE(slow.find("RETURNING Slow::Slow() ... elapsed 00:00:00.3"), std::string::npos);
}
