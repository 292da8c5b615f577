#include "sfp/SfpDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/Format.h"
#include "runtime/Trace.h"
#include "shell/KxApi.h"

namespace sfp {

namespace {

std::string Format(const char* format, ...) KX_PRINTF(1, 2);
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  return text;
}

// Every read of the image goes through here: outside the image reads as 0.
uint8_t At(const uint8_t* image, size_t length, size_t offset) { return offset < length ? image[offset] : 0; }

uint16_t BE16(const uint8_t* image, size_t length, size_t offset) {
  return static_cast<uint16_t>(At(image, length, offset) << 8 | At(image, length, offset + 1));
}

int16_t Int16(uint16_t pattern) { return static_cast<int16_t>(pattern); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (Lower(*a) != Lower(*b)) return false;
  return *a == *b;
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i)
    if (i >= text.size() || Lower(text[i]) != Lower(prefix[i])) return false;
  return true;
}

std::string WithoutBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A string field: its bytes up to the first NUL; a text with no letter, digit
// or blank (nothing but NULs or punctuation) reads "0".
std::string StringText(const IndxTbl& entry, const uint8_t* image, size_t length) {
  std::string text;
  for (size_t i = 0; i < entry.size; ++i) {
    const char c = static_cast<char>(At(image, length, size_t{entry.Offset} + i));
    if (c == '\0') break;
    text += c;
  }
  for (char c : text)
    if (IsAlnum(c) || c == ' ') return text;
  return "0";
}

std::string HexDigits(const IndxTbl& entry, const uint8_t* image, size_t length, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += Format("%02x", At(image, length, size_t{entry.Offset} + i));
  return text;
}

std::string Label(const char* name) { return Format("%30s: ", name); }

const char* ByteCodeText(const DataTable* table, uint8_t byte) {
  if (!table) return "";
  for (const DataTable* row = table; row->Value != kEndValue; ++row)
    if (row->Value == byte) return row->text;
  return "";
}

// Rows that match contribute "text, "; then every comma goes, leaving each text followed by one blank.
std::string CollectRows(const IndxTbl& entry, const uint8_t* image, size_t length, const DataTable* table,
                        bool allBits, bool equality) {
  if (entry.Offset >= kHeadingOffset || !table) return "";
  const uint8_t byte = At(image, length, entry.Offset);
  if (byte == 0) return "";
  std::string out;
  for (const DataTable* row = table; row->Value != kEndValue; ++row) {
    const bool match = equality ? row->Value == byte : (byte & row->Value) != 0;
    if (!match) continue;
    const std::string piece = std::string(row->text) + ", ";
    out = allBits ? out + piece : piece;
  }
  std::erase(out, ',');
  return out;
}

std::string FieldPiece(const IndxTbl& entry, const uint8_t* image, size_t length) {
  const uint8_t byte = At(image, length, entry.Offset);
  switch (entry.type) {
    case SFP_FIELD_HEADER:
      return std::string(entry.name) + "\n";
    case SFP_FIELD_BIT_NAMES:
      return Label(entry.name) + (byte == 0 ? "0x0" : GetBitDataCodeTable(entry, image, length, entry.data, true)) +
             "\n";
    case SFP_FIELD_BIT_LIST: {
      std::string piece = Format("%31s", entry.name);
      if (!entry.data) return piece;
      for (const DataTable* row = entry.data; row->Value != kEndValue; ++row) {
        if (row != entry.data) piece += "\n" + std::string(31, ' ');
        piece += Format(" -%s: 0x%d", row->text, (byte & row->Value) != 0 ? 1 : 0);
      }
      return piece + "\n";
    }
    case SFP_FIELD_BYTE_CODE:
      return Label(entry.name) + ByteCodeText(entry.data, byte) + "\n";
    case SFP_FIELD_HEX4:
      return Label(entry.name) + "0x" + HexDigits(entry, image, length, 4) + "\n";
    case SFP_FIELD_HEX2:
      return Label(entry.name) + "0x" + HexDigits(entry, image, length, 2) + "\n";
    case SFP_FIELD_HEX_DUMP: {
      std::string piece = Label(entry.name);
      for (size_t i = 0; i < entry.size; ++i) {
        piece += Format("0x%02x ", At(image, length, size_t{entry.Offset} + i));
        if ((i + 1) % 8 == 0 && i + 1 != entry.size) piece += "\n" + std::string(32, ' ');
      }
      return piece + "\n";
    }
    case SFP_FIELD_STRING:
      return Label(entry.name) + StringText(entry, image, length) + " \n";
    case SFP_FIELD_SKIP:
      return "";
    default:
      return "Incorrect Data Type\n";
  }
}

const char* const kMediaRule =
    "\n---------------------------------------------------------------------------------\n";

// Image offsets of the summary's strings and of the module's serial-ID base.
struct MediaOffsets {
  uint16_t vendor, partNumber, revision, serial, base;
};
constexpr MediaOffsets kQsfpMedia = {148, 168, 184, 196, 128};
constexpr MediaOffsets kSfpMedia = {20, 40, 56, 68, 0};

// Extended compliance codes that mark a 64GFC module on an older SFF-8472 revision.
constexpr uint32_t k6400Compliance[] = {81, 82, 128};

std::string QsfpSpeed(const uint8_t* image, size_t length, const MediaOffsets& at) {
  uint32_t rate = At(image, length, at.base + 94u) * 250u;
  if (rate == 0) rate = At(image, length, at.base + 12u) * 100u;
  if (rate != 0) return Format("%u Gbits/Sec\n", 4 * (rate / 1024));
  std::string t =
      GetBitDataCodeTable(FindSfpField(image, length, "Ethernet Speed"), image, length, kQsfpEthernetSpeedBits, false);
  if (t.empty() || EqualsIgnoringCase(t.c_str(), "Unspecified") || StartsWithIgnoringCase(t, "Extended"))
    t = GetEqualDataCodeTable(FindSfpField(image, length, "Extended Ethernet Speed"), image, length,
                              kExtendedEthernetSpeedCodes);
  return t + "\n";
}

// The SFP speed and its media type, e.g. "800-M5-SN-I".
void SfpSpeedAndMedia(const uint8_t* image, size_t length, std::string& speed, std::string& media) {
  auto field = [&](const char* name) -> const IndxTbl& { return FindSfpField(image, length, name); };
  const std::string fcText = GetBitDataCodeTable(field("FC Speed"), image, length, kFcSpeedBits, true);
  std::string prefix;
  const uint32_t compliance = GetSfpFieldValue(image, length, "SFF-8472 Compliance");
  const uint32_t extended = GetSfpFieldValue(image, length, "Extended Compliance Codes");
  const bool is6400 = compliance < 9 && std::find(std::begin(k6400Compliance), std::end(k6400Compliance),
                                                  extended) != std::end(k6400Compliance);
  if (GetSfpFieldValue(image, length, "FC Speed 2") != 0) {
    prefix = GetBitDataCodeTable(field("FC Speed 2"), image, length, kMediaSpeed2Numbers, false) + "-";
    speed = GetBitDataCodeTable(field("FC Speed 2"), image, length, kFcSpeed2Bits, true) + fcText;
  } else if (is6400) {
    prefix = "6400-";
    speed = "6400 MBytes/Sec " + fcText;
  } else {
    prefix = GetBitDataCodeTable(field("FC Speed"), image, length, kMediaSpeedNumbers, false) + "-";
    speed = fcText;
  }
  media = WithoutBlanks(prefix) +
          WithoutBlanks(GetBitDataCodeTable(field("FC Transmission Media"), image, length, kMediaShortNames, false)) +
          "-" +
          WithoutBlanks(GetBitDataCodeTable(field("FC Transmitter Tech"), image, length, kTransmitterShortNames, false)) +
          "-" + WithoutBlanks(GetBitDataCodeTable(field("FC Link Length"), image, length, kLinkLengthShortNames, false));
}

void AppendDiagTable(const DmiCalibration& cal, DmiText& out) {
  out.Append(Format("\n%28s%10s%12s%12s%12s\n", "Temperature", "Voltage", "Tx Bias", "Tx Power", "Rx Power"));
  out.Append(Format("\n%24s%12s%12s%12s%12s\n", "(C)", "(V)", "(mA)", "(mW)", "(mW)"));
  out.Append(Format("\n%28s%10s%12s%12s%12s\n", "--------------", "-------", "-------", "--------", "--------"));
  float calibrated[5][5];
  for (int q = 0; q < 5; ++q)
    for (int c = 0; c < 5; ++c) calibrated[q][c] = GetCalibratedValue(cal, q, cal.value[q][c]);
  auto valueRow = [&](const char* title, int column) {
    out.Append(Format("\n%14s%10.2f%13.2f%12.2f%12.4f%12.4f\n", title, calibrated[0][column], calibrated[1][column],
                      calibrated[2][column], calibrated[3][column], calibrated[4][column]));
  };
  valueRow("Value ", kMeasured);
  const char* status[5];
  for (int q = 0; q < 5; ++q)
    status[q] = GetDiagStatus(calibrated[q][kMeasured], calibrated[q][kHighAlarm], calibrated[q][kHighWarning],
                              calibrated[q][kLowWarning], calibrated[q][kLowAlarm]);
  out.Append(Format("\n%14s%10s%13s%12s%12s%12s\n", "Status ", status[0], status[1], status[2], status[3], status[4]));
  valueRow("High Alarm ", kHighAlarm);
  valueRow("High Warning ", kHighWarning);
  valueRow("Low Warning ", kLowWarning);
  valueRow("Low Alarm ", kLowAlarm);
}

}  // namespace

// ---- DmiText ----------------------------------------------------------------------------

DmiText::DmiText(char* block, size_t capacity) : block_(block), capacity_(capacity) {
  if (capacity_ > 0) block_[0] = '\0';
}

bool DmiText::Append(std::string_view piece) {
  if (length_ + piece.size() + 1 > capacity_) return false;
  memcpy(block_ + length_, piece.data(), piece.size());
  length_ += piece.size();
  block_[length_] = '\0';
  return true;
}

// ---- lookups ------------------------------------------------------------------------------

bool IsQsfpIdentifier(uint8_t identifier) {
  return identifier == 12 || identifier == 13 || identifier == 17 || identifier == 18;
}

const IndxTbl* FieldTableFor(const uint8_t* image, size_t length) {
  return IsQsfpIdentifier(At(image, length, 0)) ? kQsfpFieldTable : kSfpFieldTable;
}

const IndxTbl& FindSfpField(const uint8_t* image, size_t length, const char* name) {
  const IndxTbl* entry = FieldTableFor(image, length);
  for (; entry->Offset != kEndOffset; ++entry)
    if (entry->name[0] != '\0' && entry->Offset < length && EqualsIgnoringCase(entry->name, name)) return *entry;
  return *entry;
}

uint32_t GetSfpFieldValue(const uint8_t* image, size_t length, const char* name) {
  const IndxTbl& entry = FindSfpField(image, length, name);
  if (entry.Offset == kEndOffset) return 0;
  return At(image, length, size_t{entry.Offset} + (entry.size > 0 ? entry.size - 1 : 0));
}

std::string GetSfpFieldText(const uint8_t* image, size_t length, uint16_t offset, uint16_t type) {
  const IndxTbl* entry = FieldTableFor(image, length);
  while (entry->Offset != kEndOffset && entry->Offset != offset) ++entry;
  if (entry->Offset == kEndOffset) return "";
  switch (type) {
    case SFP_FIELD_HEX4: return HexDigits(*entry, image, length, 4);
    case SFP_FIELD_HEX2: return HexDigits(*entry, image, length, 2);
    case SFP_FIELD_STRING: return StringText(*entry, image, length);
    default: return "";
  }
}

std::string GetBitDataCodeTable(const IndxTbl& entry, const uint8_t* image, size_t length, const DataTable* table,
                                bool allBits) {
  return CollectRows(entry, image, length, table, allBits, false);
}

std::string GetEqualDataCodeTable(const IndxTbl& entry, const uint8_t* image, size_t length, const DataTable* table) {
  return CollectRows(entry, image, length, table, false, true);
}

uint32_t GetSFPTableBitValue(const uint8_t* image, size_t length, const char* name, uint32_t mask) {
  const IndxTbl& entry = FindSfpField(image, length, name);
  return entry.data && (At(image, length, entry.Offset) & mask) != 0 ? 1 : 0;
}

uint32_t findbit(int32_t value, int bit, bool wide) {
  if (bit < 0 || bit > (wide ? 15 : 7)) return ~0u;
  return (static_cast<uint32_t>(value) >> bit) & 1u;
}

float buildSlope(uint8_t m, uint8_t l) {
  char text[16];
  snprintf(text, sizeof text, "%u.%u", unsigned{m}, unsigned{l});
  return strtof(text, nullptr);
}

float DecodeRxPowerCoefficient(const uint8_t* bytes) {
  const uint32_t bits = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
  const bool negative = (bits >> 31) != 0;
  const int exponent = static_cast<int>((bits >> 23) & 0xFF);
  const uint32_t mantissa = bits & 0x7FFFFF;
  double magnitude;
  if (exponent == 0) magnitude = std::ldexp(static_cast<double>(mantissa), -149);
  else if (exponent == 255) magnitude = 3.4028235e38;
  else magnitude = std::ldexp(static_cast<double>(mantissa + (1u << 23)), exponent - 150);
  return static_cast<float>(negative ? -magnitude : magnitude);
}

float TemperatureThreshold(uint8_t first, uint8_t second, bool high) {
  const int32_t s = Int16(static_cast<uint16_t>(second << 8 | first));
  if (high) return findbit(s, 8, true) == 1 ? static_cast<float>(s * 0.5 - 256) : static_cast<float>(s);
  const uint32_t u = static_cast<uint32_t>(s);
  const int h = u < 2 ? 0 : 31 - __builtin_clz(u);
  if (h < 8) return static_cast<float>(findbit(s, 7, true) == 1 ? s - 256 : s);
  return static_cast<float>(s - 512);
}

// ---- step C -------------------------------------------------------------------------------

bool ComputeDetailsDMIData(const uint8_t* image, size_t length, DmiCalibration& out) {
  if (IsQsfpIdentifier(At(image, length, 0))) return false;
  DmiCalibration cal;
  auto b = [&](size_t offset) { return At(image, length, offset); };
  auto be16 = [&](size_t offset) { return BE16(image, length, offset); };

  // Temperature: signed 1/256 degree; its thresholds follow their own rule.
  cal.value[kTemperature][kMeasured] = static_cast<float>(Int16(be16(352)) / 256.0);
  cal.value[kTemperature][kHighAlarm] = TemperatureThreshold(b(256), b(257), true);
  cal.value[kTemperature][kHighWarning] = TemperatureThreshold(b(260), b(261), true);
  cal.value[kTemperature][kLowWarning] = TemperatureThreshold(b(262), b(263), false);
  cal.value[kTemperature][kLowAlarm] = TemperatureThreshold(b(258), b(259), false);

  // Voltage in 100 uV, bias in 2 uA, powers in 0.1 uW: measured value, then HA, HW, LW, LA.
  struct Scaled {
    DmiQuantity quantity;
    size_t measured, thresholds[4];
    double scale;
  };
  const Scaled kScaled[] = {
      {kVoltage, 354, {264, 268, 270, 266}, 100 * 0.000001},
      {kTxBias, 356, {272, 276, 278, 274}, 2 * 0.001},
      {kTxPower, 358, {280, 284, 286, 282}, 0.1 * 0.001},
      {kRxPower, 360, {288, 292, 294, 290}, 0.1 * 0.001},
  };
  for (const Scaled& s : kScaled) {
    cal.value[s.quantity][kMeasured] = static_cast<float>(be16(s.measured) * s.scale);
    for (int i = 0; i < 4; ++i) cal.value[s.quantity][kHighAlarm + i] = static_cast<float>(be16(s.thresholds[i]) * s.scale);
  }

  // External calibration: slope bytes read as "M.L"; the temperature offset is stored byte-swapped.
  cal.slope[kTemperature] = buildSlope(b(340), b(341));
  cal.offset[kTemperature] = Int16(static_cast<uint16_t>(b(343) << 8 | b(342)));
  cal.slope[kVoltage] = buildSlope(b(344), b(345));
  cal.offset[kVoltage] = Int16(be16(346));
  cal.slope[kTxBias] = buildSlope(b(332), b(333));
  cal.offset[kTxBias] = Int16(be16(334));
  cal.slope[kTxPower] = buildSlope(b(336), b(337));
  cal.offset[kTxPower] = Int16(be16(338));

  // Rx_PWR(4) is stored first, Rx_PWR(0) last.
  for (int n = 0; n < 5; ++n) {
    const size_t at = 312 + 4 * static_cast<size_t>(4 - n);
    const uint8_t bytes[4] = {b(at), b(at + 1), b(at + 2), b(at + 3)};
    cal.rxPower[n] = DecodeRxPowerCoefficient(bytes);
  }
  out = cal;
  return true;
}

void CalculateDetailsDMIData(const uint8_t* image, size_t length) {
  DmiCalibration cal;
  if (!ComputeDetailsDMIData(image, length, cal)) return;
  memcpy(valueArray, cal.value, sizeof cal.value);
  memcpy(slopeArray, cal.slope, sizeof cal.slope);
  memcpy(offsetArray, cal.offset, sizeof cal.offset);
  memcpy(rxPowerArray, cal.rxPower, sizeof cal.rxPower);
}

DmiCalibration CalibrationFromArrays() {
  DmiCalibration cal;
  memcpy(cal.value, valueArray, sizeof cal.value);
  memcpy(cal.slope, slopeArray, sizeof cal.slope);
  memcpy(cal.offset, offsetArray, sizeof cal.offset);
  memcpy(cal.rxPower, rxPowerArray, sizeof cal.rxPower);
  return cal;
}

float GetCalibratedValue(const DmiCalibration& cal, int quantity, float v) {
  if (quantity >= kTemperature && quantity <= kTxPower) {
    const float slope = cal.slope[quantity];
    if (slope == 0.0f) return v;  // a NaN slope compares unequal and calibrates
    return v * slope + cal.offset[quantity];
  }
  const float* r = cal.rxPower;
  if (r[0] == 0.0f && r[1] == 0.0f && r[2] == 0.0f && r[3] == 0.0f && r[4] == 0.0f) return 4 * v;
  // Each coefficient multiplies the reading itself, not a power of it.
  return r[4] * v + r[3] * v + r[2] * v + r[1] * v + r[0];
}

const char* GetDiagStatus(float value, float highAlarm, float highWarning, float lowWarning, float lowAlarm) {
  if (value >= highAlarm || value <= lowAlarm) return "Fault";
  if (value >= highWarning || value <= lowWarning) return "Warning";
  return "Normal";
}

// ---- steps B, D and A ------------------------------------------------------------------------

void DisplayDiagMonitoringTable(const uint8_t* image, size_t length, bool showVendor, DmiText& out) {
  const bool qsfp = IsQsfpIdentifier(At(image, length, 0));
  const MediaOffsets& at = qsfp ? kQsfpMedia : kSfpMedia;
  out.Append(kMediaRule);
  out.Append("Media Information");
  out.Append(kMediaRule);

  const std::string vendor = GetSfpFieldText(image, length, at.vendor, SFP_FIELD_STRING).substr(0, 31);
  const std::string partNumber = GetSfpFieldText(image, length, at.partNumber, SFP_FIELD_STRING).substr(0, 31);
  const std::string revision = GetSfpFieldText(image, length, at.revision, SFP_FIELD_STRING);
  const std::string serial = GetSfpFieldText(image, length, at.serial, SFP_FIELD_STRING);
  std::string speed;
  std::string media;
  if (qsfp) {
    media = "\n";
    speed = QsfpSpeed(image, length, at);
  } else {
    SfpSpeedAndMedia(image, length, speed, media);
  }

  auto line = [&](const char* name, const std::string& value) {
    out.Append(Format("%30s: %s\n", name, value.c_str()));
  };
  // A name the module's table lacks finds the terminator: an empty label and nothing after it.
  auto codeLine = [&](const char* name) {
    const IndxTbl& entry = FindSfpField(image, length, name);
    out.Append(Label(entry.name) + ByteCodeText(entry.data, At(image, length, entry.Offset)) + "\n");
  };
  line("Vendor", vendor);
  codeLine("Connector");
  line("Media Type", media);
  line("Part Number", partNumber);
  line("Speed", speed);
  line("Revision", revision);
  line("Serial Number", serial);
  codeLine("Identifier");
  codeLine("Extended Compliance Codes");
  codeLine("Rate Identifier");
  if (showVendor) {
    bool kaltex = true;
    for (size_t i = 0; i < 6; ++i) kaltex = kaltex && At(image, length, at.base + 96u + i) == "Kaltex"[i];
    line("Kaltex SFP Installed", kaltex ? "Yes" : "No");
  }
  out.Append(kMediaRule);

  if (!qsfp && (At(image, length, 92) & 0x40) != 0) AppendDiagTable(CalibrationFromArrays(), out);
}

void DisplaySfpFields(const uint8_t* image, size_t length, DmiText& out) {
  for (const IndxTbl* entry = FieldTableFor(image, length); entry->Offset != kEndOffset; ++entry)
    out.Append(FieldPiece(*entry, image, length));
}

size_t DecodeSfpImage(const uint8_t* image, size_t length, char* block, size_t capacity) {
  DmiText text(block, capacity);
  CalculateDetailsDMIData(image, length);
  DisplayDiagMonitoringTable(image, length, true, text);
  DisplaySfpFields(image, length, text);
  return text.Length();
}

}  // namespace sfp
