// The transceiver decoder on module images built here byte by byte.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "sfp/SfpDecoder.h"
#include "shell/KxApi.h"

using namespace sfp;

namespace {

struct Image {
  std::array<uint8_t, kSfpImageSize> b{};

  Image() { b[0] = 3; }  // an SFP unless a case says otherwise
  Image& Set(size_t at, std::initializer_list<int> bytes) {
    for (int v : bytes) b.at(at++) = static_cast<uint8_t>(v);
    return *this;
  }
  // Digital diagnostics present: the monitoring table is printed.
  Image& Diag() { return Set(92, {0x40}); }
};

std::string Decode(const Image& image, size_t capacity = kDmiTextSize) {
  std::vector<char> block(capacity + 64, '\x5a');
  const size_t length = DecodeSfpImage(image.b.data(), image.b.size(), block.data(), capacity);
  // Nothing past the block is touched.
  for (size_t i = capacity; i < block.size(); ++i) EXPECT_EQ(block[i], '\x5a') << "byte " << i << " past the block";
  EXPECT_LT(length, capacity > 0 ? capacity : 1);
  return capacity > 0 ? std::string(block.data(), length) : std::string();
}

// The label as the decoder writes it: right-aligned in 30 columns, a colon and a blank.
std::string Label(const std::string& name) { return std::string(30 - name.size(), ' ') + name + ": "; }

// The first line that starts with the label, without its line end; "" when none.
std::string LineOf(const std::string& text, const std::string& name, size_t from = 0) {
  const std::string label = Label(name);
  size_t at = text.find("\n" + label, from);
  if (at == std::string::npos) return "";
  at += 1;
  return text.substr(at, text.find('\n', at) - at);
}

// The words of a monitoring-table row ("Status", "Value", ...).
std::vector<std::string> RowWords(const std::string& text, const std::string& title) {
  std::vector<std::string> words;
  const size_t at = text.find("\n" + std::string(14 - title.size() - 1, ' ') + title + " ");
  if (at == std::string::npos) return words;
  std::istringstream in(text.substr(at + 1, text.find('\n', at + 1) - at - 1));
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

TEST(SfpDecoder, The6400RuleAndTheValuesItExcludes) {
  struct Case {
    int compliance;  // byte 94
    int extended;    // byte 36
    int speed2;      // byte 62
    const char* media;
    const char* speed;
  };
  const Case cases[] = {
      {8, 81, 0, "6400-M5-SN-I", "6400 MBytes/Sec 800 MBytes/Sec "},
      {8, 82, 0, "6400-M5-SN-I", "6400 MBytes/Sec 800 MBytes/Sec "},
      {0, 128, 0, "6400-M5-SN-I", "6400 MBytes/Sec 800 MBytes/Sec "},
      // Revision 12.4 and later, and codes that only look alike, keep the FC speed.
      {9, 81, 0, "800-M5-SN-I", "800 MBytes/Sec "}, {8, 0x81, 0, "800-M5-SN-I", "800 MBytes/Sec "},
      {8, 0x7F, 0, "800-M5-SN-I", "800 MBytes/Sec "}, {8, 80, 0, "800-M5-SN-I", "800 MBytes/Sec "},
      {8, 83, 0, "800-M5-SN-I", "800 MBytes/Sec "},
      // FC speed 2 takes precedence over the rule.
      {8, 81, 0x02, "12800-M5-SN-I", "12800 MBytes/Sec 800 MBytes/Sec "},
  };
  for (const Case& c : cases) {
    Image image;
    image.Set(7, {0x20, 0x40, 0x04, 0x40}).Set(94, {c.compliance}).Set(36, {c.extended}).Set(62, {c.speed2});
    const std::string text = Decode(image);
    SCOPED_TRACE(testing::Message() << c.compliance << "/" << c.extended << "/" << c.speed2);
    EXPECT_EQ(LineOf(text, "Media Type"), Label("Media Type") + c.media);
    EXPECT_EQ(LineOf(text, "Speed"), Label("Speed") + c.speed);
  }
}

TEST(SfpDecoder, MediaTypeTakesTheHighestMaskOfEachByte) {
  struct Case { int link, transmitter, media, speed, speed2; const char* expected; };
  const Case cases[] = {
      {0x20, 0x40, 0x04, 0x48, 0, "800-M5-SN-I"},   // 3200 and 800: 800 has the higher mask
      {0x20, 0x40, 0x04, 0x88, 0, "1200-M5-SN-I"}, {0x20, 0x40, 0x04, 0x15, 0, "400-M5-SN-I"},
      {0x20, 0x40, 0x04, 0x40, 0x03, "12800-M5-SN-I"}, {0x60, 0x41, 0x05, 0x40, 0, "800-M5-SN-S"},
      {0x20, 0x01, 0x04, 0x40, 0, "800-M5--I"},     // the blank short name leaves nothing
      {0x00, 0x00, 0x00, 0x40, 0, "800---"}, {0x20, 0x40, 0x04, 0x00, 0, "-M5-SN-I"},
  };
  for (const Case& c : cases) {
    Image image;
    image.Set(7, {c.link, c.transmitter, c.media, c.speed}).Set(62, {c.speed2});
    EXPECT_EQ(LineOf(Decode(image), "Media Type"), Label("Media Type") + c.expected) << c.expected;
  }
  Image both;
  both.Set(10, {0x48});
  EXPECT_EQ(LineOf(Decode(both), "Speed"), Label("Speed") + "3200 MBytes/Sec 800 MBytes/Sec ");
}

TEST(SfpDecoder, QsfpSpeedFallsBackFromRatesToEthernetCodes) {
  struct Case { int nominal, ethernet, extended, extendedRate; const char* speed; };
  const Case cases[] = {
      {0, 0, 0, 103, "100 Gbits/Sec"},   // 103 x 250 Mb/s
      {0x67, 0, 0, 0, "40 Gbits/Sec"},   // 103 x 100 Mb/s
      {0, 0x10, 0, 0, "10 Gbits/Sec "}, {0, 0x12, 0, 0, "10 Gbits/Sec "}, {0, 0x80, 12, 0, "25 Gbit/Sec "},
      {0, 0, 16, 0, "40 Gbit/Sec "}, {0, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    Image image;
    image.Set(0, {12}).Set(140, {c.nominal}).Set(131, {c.ethernet}).Set(192, {c.extended}).Set(222, {c.extendedRate});
    const std::string text = Decode(image);
    EXPECT_EQ(LineOf(text, "Speed"), Label("Speed") + c.speed) << c.speed;
  }
}

TEST(SfpDecoder, SlopesJoinTheirBytesAsDecimals) {
  const struct {
    uint8_t m, l;
    float slope;
  } cases[] = {{1, 0, 1.0f}, {0, 128, 0.128f}, {0, 5, 0.5f}, {2, 25, 2.25f}, {0, 0, 0.0f}, {255, 255, 255.255f}};
  for (const auto& c : cases) EXPECT_EQ(buildSlope(c.m, c.l), c.slope) << int(c.m) << "." << int(c.l);

  Image image;
  image.Diag().Set(340, {0, 128}).Set(352, {100, 0}).Set(344, {0, 50}).Set(354, {0x80, 0xe8});
  image.Set(336, {0, 50}).Set(358, {0x13, 0x88});  // Tx power 0.5 mW at slope 0.5
  const std::string text = Decode(image);
  EXPECT_EQ(slopeArray[0], 0.128f);
  EXPECT_EQ(slopeArray[1], 0.50f);
  EXPECT_EQ(RowWords(text, "Value"), (std::vector<std::string>{"Value", "12.80", "1.65", "0.00", "0.2500", "0.0000"}));
}

TEST(SfpDecoder, TemperatureThresholdRule) {
  const struct { uint8_t first, second; bool high; float value; } cases[] = {
      {0x50, 0x00, true, 80.0f},    {0xf6, 0x00, false, -10.0f}, {0xfb, 0x00, false, -5.0f},
      {0x7f, 0x00, false, 127.0f},  {0x80, 0x00, false, -128.0f}, {0x01, 0x00, false, 1.0f},
      {0x00, 0x01, true, -128.0f},  {0x00, 0x01, false, -256.0f}, {0xf6, 0x00, true, 246.0f},
      {0x4b, 0x80, true, -32693.0f}, {0x4b, 0x80, false, -33205.0f},
  };
  for (const auto& c : cases) EXPECT_EQ(TemperatureThreshold(c.first, c.second, c.high), c.value)
        << int(c.first) << " " << int(c.second) << (c.high ? " high" : " low");
}

TEST(SfpDecoder, ThresholdsAreCalibratedLikeTheValues) {
  Image image;
  image.Diag().Set(256, {0x50, 0x00, 0xf6, 0x00, 0x4b, 0x00, 0xfb, 0x00});
  image.Set(264, {0x8c, 0xa0, 0x75, 0x30, 0x88, 0xb8, 0x79, 0x18});  // 3.6, 3.0, 3.5, 3.1 V
  image.Set(272, {0x3a, 0x98});                                      // 30 mA
  image.Set(340, {2, 0, 0x01, 0x00}).Set(344, {0, 50}).Set(332, {2, 0, 0x00, 0x01});
  const std::string text = Decode(image);
  EXPECT_EQ(RowWords(text, "High Alarm"),
            (std::vector<std::string>{"High", "Alarm", "161.00", "1.80", "61.00", "0.0000", "0.0000"}));
  EXPECT_EQ(RowWords(text, "Low Alarm"),
            (std::vector<std::string>{"Low", "Alarm", "-19.00", "1.50", "1.00", "0.0000", "0.0000"}));
}

TEST(SfpDecoder, RxPowerPolynomialMultipliesEachCoefficientByTheReading) {
  const struct {
    std::vector<int> coefficients;  // Rx_PWR(4) ... Rx_PWR(0), big-endian singles
    const char* value;
    const char* highAlarm;
  } cases[] = {
      {std::vector<int>(20, 0), "2.0000", "8.0000"},  // all zero: four times the reading
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3f, 0x80, 0, 0, 0, 0, 0, 0}, "0.5000", "2.0000"},
      {{0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3e, 0x80, 0, 0}, "1.2500", "4.2500"},
      {{0x3f, 0x80, 0, 0, 0x3f, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "1.0000", "4.0000"},
  };
  for (const auto& c : cases) {
    Image image;
    image.Diag().Set(360, {0x13, 0x88}).Set(288, {0x4e, 0x20});
    for (size_t i = 0; i < c.coefficients.size(); ++i) image.b[312 + i] = static_cast<uint8_t>(c.coefficients[i]);
    const std::string text = Decode(image);
    EXPECT_EQ(RowWords(text, "Value").back(), c.value);
    EXPECT_EQ(RowWords(text, "High Alarm").back(), c.highAlarm);
  }
  const struct { uint8_t bytes[4]; float value; } floats[] = {{{0x3f, 0x80, 0, 0}, 1.0f},
                {{0xc0, 0x20, 0, 0}, -2.5f}, {{0, 0, 0, 1}, 1.4012985e-45f}, {{0x7f, 0x80, 0, 0}, 3.4028235e38f},
                {{0xff, 0xc0, 0, 1}, -3.4028235e38f}};
  for (const auto& f : floats) EXPECT_EQ(DecodeRxPowerCoefficient(f.bytes), f.value);
}

TEST(SfpDecoder, StatusComparesCalibratedValuesWithCalibratedThresholds) {
  const struct {
    std::initializer_list<int> temperature;  // bytes 352, 353
    std::initializer_list<int> slope;        // bytes 340, 341
    const char* status;
  } cases[] = {
      {{50, 0}, {1, 0}, "Normal"},
      {{50, 0}, {2, 0}, "Normal"},  // 100 against a calibrated 160 alarm
      {{80, 0}, {2, 0}, "Fault"},   // exactly the high alarm
      {{75, 0}, {2, 0}, "Warning"}, // exactly the high warning
      {{77, 0x80}, {0, 0}, "Warning"}, {{0xfb, 0}, {1, 0}, "Warning"}, {{0xf9, 0}, {1, 0}, "Warning"},
      {{0xf6, 0}, {1, 0}, "Fault"},  // exactly the low alarm
      {{0xf0, 0}, {1, 0}, "Fault"}, {{90, 0}, {0, 0}, "Fault"},
  };
  for (const auto& c : cases) {
    Image image;
    image.Diag().Set(256, {0x50, 0x00, 0xf6, 0x00, 0x4b, 0x00, 0xfb, 0x00});
    image.Set(352, c.temperature).Set(340, c.slope);
    EXPECT_EQ(RowWords(Decode(image), "Status").at(1), c.status) << *c.temperature.begin();
  }
  // A negative Rx coefficient turns the order around: the reading passes the alarm.
  Image rx;
  rx.Diag().Set(360, {0x13, 0x88}).Set(288, {0x4e, 0x20, 0x00, 0x0a, 0x3e, 0x80, 0x00, 0x14});
  EXPECT_EQ(RowWords(Decode(rx), "Status").back(), "Normal");
  rx.Set(324, {0xbf, 0x80, 0, 0});
  EXPECT_EQ(RowWords(Decode(rx), "Status").back(), "Fault");

}

TEST(SfpDecoder, PiecesThatDoNotFitAreDroppedWhole) {
  Image image;
  const std::string rule = "\n---------------------------------------------------------------------------------\n";
  // The first rule fits; every later piece but the 12-byte heading is too long for the rest.
  EXPECT_EQ(Decode(image, 100), rule + "\nAddress A0\n");
  EXPECT_EQ(Decode(image, 1), "");
  EXPECT_EQ(Decode(image, 0), "");

  image.Diag().Set(96, {1, 2, 3});
  const std::string full = Decode(image);
  const std::string last = Label("Debug MCU Version") + "0x00 \n";
  ASSERT_EQ(full.substr(full.size() - last.size()), last);
  EXPECT_EQ(Decode(image, full.size() + 1), full);
  EXPECT_EQ(Decode(image, full.size()), full.substr(0, full.size() - last.size()));
}
