// The texts written without printf must be the bytes printf wrote before.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ctime>
#include <string>

#include "runtime/Digits.h"
#include "runtime/VelaTimer.h"
#include "shell/Serializer.h"
#include "tests/unit/Capture.h"

namespace {

// A conversion written by hand, and the printf format it stands for.
struct Conversion {
  const char* format;  // takes a width, then a long long
  char* (*write)(char* end, long long value, int width);
};

const Conversion kConversions[] = {
    {"%*llu", [](char* e, long long v, int) { return kxdigits::Unsigned(e, static_cast<uint64_t>(v)); }},
    {"%*lld", [](char* e, long long v, int) { return kxdigits::Signed(e, v); }},
    {"%*llx", [](char* e, long long v, int) { return kxdigits::Hex(e, static_cast<uint64_t>(v)); }},
    {"%0*lld", [](char* e, long long v, int w) { return kxdigits::SignedPadded(e, v, w); }},
};

}  // namespace

TEST(Digits, AsPrintfWritesThem) {
  const long long values[] = {0, 1, 9, 10, 99, 255, 1000, 65535, -1, -9, -10, -255, INT_MIN, INT_MAX,
                              LLONG_MIN, LLONG_MAX};
  for (const Conversion& c : kConversions) {
    for (long long v : values) {
      for (int width : {0, 2, 3}) {
        if (width != 0 && c.format[1] != '0') continue;  // only the padded form takes a width
        char expected[64];
        snprintf(expected, sizeof expected, c.format, width, v);
        char room[kxdigits::kRoom];
        char* end = room + sizeof room;
        EXPECT_EQ(std::string(c.write(end, v, width), end), expected) << c.format << " " << v << " " << width;
      }
    }
  }
  const std::array<uint8_t, 8> wwns[] = {{0, 0, 0, 0, 0, 0, 0, 0}, {0x21, 0x00, 0x00, 0xc8, 0xa1, 0x30, 0x01, 0xff}};
  for (const auto& w : wwns) {
    std::string text = "FC_";
    kxdigits::AppendWwn(text, w);
    char expected[32];
    snprintf(expected, sizeof expected, "FC_%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", w[0], w[1], w[2], w[3], w[4],
             w[5], w[6], w[7]);
    EXPECT_EQ(text, expected);
  }
}

TEST(VelaTimer, TimestampAsPrintfWritesIt) {
  // Lines within one second share its local time; the next second is worked out anew.
  const timeval stamps[] = {{1765000000, 0}, {1765000000, 999999}, {1765000000, 5000}, {1765000001, 42000},
                            {946684799, 999000}, {946684800, 1000}, {0, 0}, {1765000000, 7000}};
  for (const timeval& tv : stamps) {
    tm t{};
    const time_t secs = tv.tv_sec;
    localtime_r(&secs, &t);
    char expected[64];
    snprintf(expected, sizeof expected, "%d/%d/%d %02d:%02d:%02d.%03d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900,
             t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(tv.tv_usec / 1000));
    EXPECT_EQ(VelaTimer::FormatTimestamp(tv), expected) << tv.tv_sec << "." << tv.tv_usec;
  }
}

TEST(Serializer, StringStructureIsTheThreeCallsInOne) {
  const std::string longValue(700, 'x');  // longer than one gathered write
  for (uint32_t mode : {kModeXml, kModeText}) {
    for (const char* value : {"FC_21:00:00:c8:a1:30:01:00", longValue.c_str(), static_cast<const char*>(nullptr)}) {
      Serializer s;
      std::string separate, combined;
      {
        CaptureStdout capture;
        s.Begin(mode);
        s.BeginStructure("LunList");
        s.WriteStringField("LUNs/Namespaces", value);
        s.EndStructure();
        s.End();
        separate = capture.Text();
      }
      {
        CaptureStdout capture;
        s.Begin(mode);
        EXPECT_EQ(s.WriteStringStructure("LunList", "LUNs/Namespaces", value), 0u);
        s.End();
        combined = capture.Text();
      }
      EXPECT_EQ(combined, separate) << mode;
      if (!value) {
        EXPECT_NE(combined.find("(null)"), std::string::npos);  // as "%s" printed a null
      }
    }
  }
  Serializer none;
  EXPECT_EQ(none.WriteStringStructure("a", "b", "c"), 12u);
}
