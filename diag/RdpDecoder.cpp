#include "diag/RdpDecoder.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <span>

#include "shell/CmdProcessor.h"

namespace rdp {
namespace {

using Values = std::span<const uint32_t>;

constexpr const char* kRule = "---------------------------------";  // 33 hyphens
constexpr size_t kLineSize = 256;

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint32_t High16(uint32_t word) { return word >> 16; }
uint32_t Low16(uint32_t word) { return word & 0xFFFF; }
int AsInt(uint32_t word) { return static_cast<int>(word); }

// The report: each line is formatted into a line buffer of its own and ends at
// its first NUL, as the C text it becomes; the block takes whole lines only.
class Report {
 public:
  Report() : block_(kReportSize) {}
  void Line(const char* format, ...) KX_PRINTF(2, 3) {
    char line[kLineSize] = {};
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    block_.AddText(std::string(line, strnlen(line, sizeof line)));
  }
  std::string Text() const { return block_.Text(); }

 private:
  ReportBlock block_;
};

// Unit rules of the SFP and optical element values (single precision).
float Power(uint32_t v) { return static_cast<float>(v * 0.1 * 0.001); }       // 0.1 uW -> mW
float Bias(uint32_t v) { return static_cast<float>(2.0 * v * 0.001); }        // 2 uA -> mA
float Voltage(uint32_t v) { return static_cast<float>(v * 100 * 0.000001); }  // 100 uV -> V
float TemperatureHigh(uint32_t v) {
  return (v & 0x100) ? static_cast<float>(v * 0.5 - 256) : static_cast<float>(v & 0xFF);
}
float TemperatureLow(uint32_t v) {
  const uint32_t b = v & 0xFF;
  return b == 0 ? 0.0f : static_cast<float>(static_cast<int>(b) - 256);
}

// Speeds of bits 6 to 15 of a 16-bit speed value, in Gbps.
constexpr int kSpeedOfBit[10] = {256, 128, 64, 32, 16, 8, 10, 4, 2, 1};

std::string SpeedCapabilities(uint32_t value) {
  std::string text;
  for (int bit = 6; bit <= 15; ++bit)
    if (value & (1u << bit)) text += std::to_string(kSpeedOfBit[bit - 6]) + " ";
  return text + "Gbps";
}

int OperatingSpeed(uint32_t value) {
  for (int bit = 0; bit <= 15; ++bit)
    if (value & (1u << bit)) return bit >= 6 ? kSpeedOfBit[bit - 6] : 0;
  return 0;
}

const char* PhysicalType(uint32_t word) {
  switch (word >> 30) {
    case 0: return "\tNo information about Phy Type provided";
    case 1: return "\tThe sending VN_Port uses an FC-FS-3 PN_Port or PF Port";
    case 2: return "\tThe sending VN_Port uses a lossless Ethernet MAC";
    default: return nullptr;
  }
}

void SfpFlags(Report& r, uint32_t f) {
  if ((f & 0xF) == 1) {
    r.Line("\tPort Tx Type: Short Wave Laser\n");
  } else if (f & 0x2) {
    r.Line("\tPort Tx Type: Long Wave Laser LC 1310 nm\n");
  }
  r.Line("\tConnector Type: %s\n", (f & 0x50) == 0x50 ? "SFP+" : "Other");
  r.Line("\tOptical Port: %s\n", (f & 0x10) ? "On" : "Off");
  r.Line("\tSFP Diagnostics Parameters not valid: %s\n", (f & 0x20) ? "On" : "Off");
  if (!(f & 0x80)) r.Line("\tConnector Type: %s\n", (f & 0x40) ? "SFP+" : "Other");
  if (f & 0x8000) {
    r.Line("\tFEC Active Port: %s\n", "On");
  } else {
    r.Line("\tFEC Active: %s\n", "Off");
  }
}

// Bytes of value words first..first+count-1 in descriptor order; words the
// reply did not carry read as zero.
template <size_t N>
std::array<uint8_t, N> WordBytes(Values w, size_t first) {
  std::array<uint8_t, N> bytes{};
  for (size_t i = 0; i < N; ++i) {
    const size_t word = first + i / 4;
    if (word < w.size()) bytes[i] = static_cast<uint8_t>(w[word] >> (24 - 8 * (i % 4)));
  }
  return bytes;
}
uint32_t WordOr0(Values w, size_t i) { return i < w.size() ? w[i] : 0; }

void LinkServiceRequest(Report& r, uint32_t length, Values w) {
  r.Line("Descriptor Tag: %s\n", "Link Service Request Information");
  r.Line("Descriptor Len: %d Bytes\n", AsInt(length));
  for (uint32_t v : w) r.Line("Descriptor Value: 0x%08X\n", v);
}

void PortSpeed(Report& r, uint32_t, Values w) {
  for (uint32_t v : w) {
    r.Line("Port Speed Capabilities: %s\n", SpeedCapabilities(High16(v)).c_str());
    r.Line("Port Operating Speed: %d Gbps\n", OperatingSpeed(Low16(v)));
  }
}

void LinkErrorStatus(Report& r, uint32_t, Values w) {
  static const char* const kCounters[6] = {"Link Failure Count",          "Loss Of Sync Count",
                                           "Loss Of Signal Count",        "Primary Sequence Error Count",
                                           "Invalid Transmit Word Count", "Invalid CRC Count"};
  for (size_t i = 0; i < w.size(); ++i) {
    if (i < 6) {
      r.Line("%s: %d\n", kCounters[i], AsInt(w[i]));
    } else if (i == 6) {
      r.Line("PN Port Physical Type: 0x%08X\n", w[i]);
      if (const char* type = PhysicalType(w[i])) r.Line("%s\n", type);
    } else {
      r.Line("Link Error Status Block Value: 0x%08X\n", w[i]);
    }
  }
}

void PortName(Report& r, uint32_t, Values w) {
  for (size_t i = 4; i < w.size(); ++i) r.Line("Descriptor Value (%d): 0x%08X\n", static_cast<int>(i), w[i]);
  const auto node = WordBytes<8>(w, 0);
  const auto port = WordBytes<8>(w, 2);
  const std::array<uint8_t, 8> zero{};
  if (node != zero)
    r.Line("Node WWN: %02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x\n", node[0], node[1], node[2], node[3], node[4], node[5],
           node[6], node[7]);
  if (port != zero)
    r.Line("Port WWN: %02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x\n", port[0], port[1], port[2], port[3], port[4], port[5],
           port[6], port[7]);
}

void SfpDiagnostics(Report& r, uint32_t, Values w) {
  for (size_t i = 0; i < w.size(); ++i) {
    const uint32_t v = w[i];
    if (i == 0) {
      r.Line("Temperature: %d (C)\n", static_cast<int>(static_cast<int8_t>(v >> 24)));
      r.Line("Vcc: %.09f V\n", Voltage(Low16(v)));
    } else if (i == 1) {
      r.Line("Tx Bias: %.09f mA\n", Bias(High16(v)));
      r.Line("Tx Power: %.09f mW\n", Power(Low16(v)));
    } else if (i == 2) {
      r.Line("Rx Power: %.09f mW\n", Power(High16(v)));
      r.Line("SFP Flag: 0x%04X\n", Low16(v));
      SfpFlags(r, Low16(v));
    } else {
      r.Line("Descriptor Value: 0x%08X\n", v);
    }
  }
}

void FecStatus(Report& r, uint32_t, Values w) {
  for (size_t i = 0; i < w.size(); ++i) {
    if (i == 0) {
      r.Line("Correctable Blocks: %d\n", AsInt(w[i]));
    } else if (i == 1) {
      r.Line("UnCorreatable Blocks: %d\n", AsInt(w[i]));
    } else {
      r.Line("FEC Status Block Value: %d\n", AsInt(w[i]));
    }
  }
}

void BufferCredits(Report& r, uint32_t, Values w) {
  for (size_t i = 0; i < w.size(); ++i) {
    if (i == 0) {
      r.Line("FC Port Buffer To Buffer Credits: %d\n", AsInt(w[i]));
    } else if (i == 1) {
      r.Line("Attached FC Port Buffer To Buffer Credits: %d\n", AsInt(w[i]));
    } else if (i == 2) {
      r.Line("Nominal FC Port RTT: %d ns\n", AsInt(w[i]));
    } else {
      r.Line("Buffer Credits Status Value: 0x%08X\n", w[i]);
    }
  }
}

// Threshold lines of an optical element, by its type word.
struct ElementKind {
  uint32_t type;
  const char* name;
  float (*high)(uint32_t);
  float (*low)(uint32_t);
  bool twoDecimals;
};
const ElementKind kElementKinds[] = {
    {0x10000000, "Temperature", TemperatureHigh, TemperatureLow, true},
    {0x20000000, "Voltage", Voltage, Voltage, false},
    {0x30000000, "Tx Bias", Bias, Bias, false},
    {0x40000000, "Tx Power", Power, Power, false},
    {0x50000000, "Rx Power", Power, Power, false},
};

void OpticalElement(Report& r, uint32_t, Values w) {
  for (size_t i = 3; i < w.size(); ++i) r.Line("Optical Element Data Descriptor Value: 0x%08X\n", w[i]);
  const uint32_t alarms = WordOr0(w, 0);
  const uint32_t warnings = WordOr0(w, 1);
  const uint32_t type = WordOr0(w, 2);
  const uint32_t thresholds[4] = {High16(alarms), Low16(alarms), High16(warnings), Low16(warnings)};
  const char* const names[4] = {"High Alarm", "Low Alarm", "High Warning", "Low Warning"};
  for (const ElementKind& kind : kElementKinds) {
    if (kind.type != type) continue;
    for (int t = 0; t < 4; ++t) {
      const float value = (t % 2 == 0 ? kind.high : kind.low)(thresholds[t]);
      if (kind.twoDecimals) {
        r.Line("%s %s: %.02f\n", kind.name, names[t], value);
      } else {
        r.Line("%s %s: %.09f\n", kind.name, names[t], value);
      }
    }
    return;
  }
  // Any other element: its flag byte and the raw thresholds.
  const uint32_t flag = type >> 24;
  r.Line("Optical Element Function Flag [0x%02x]: 0x%02x\n", flag, type & 0xFF);
  for (int t = 0; t < 4; ++t)
    r.Line("Optical Element Function Flag [0x%02x] %s: 0x%02x\n", flag, names[t], thresholds[t]);
}

void OpticalProduct(Report& r, uint32_t, Values w) {
  for (size_t i = 15; i < w.size(); ++i) r.Line("Optical Product Data Descriptor Value: 0x%08X\n", w[i]);
  const auto vendor = WordBytes<16>(w, 0);
  const auto part = WordBytes<16>(w, 4);
  const auto serial = WordBytes<16>(w, 8);
  const auto revision = WordBytes<4>(w, 12);
  const auto date = WordBytes<8>(w, 13);
  auto sixteen = [&r](const char* label, const std::array<uint8_t, 16>& c) {
    r.Line("%s: %c%c%c%c%c%c%c%c%c%c%c%c%c%c%c%c\n", label, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9],
           c[10], c[11], c[12], c[13], c[14], c[15]);
  };
  sixteen("Vendor Name", vendor);
  sixteen("Part Number", part);
  sixteen("Serial Number", serial);
  r.Line("Revision: %c%c%c%c", revision[0], revision[1], revision[2], revision[3]);
  r.Line("\nDate: %c%c%c%c%c%c%c%c\n", date[0], date[1], date[2], date[3], date[4], date[5], date[6], date[7]);
}

struct DescriptorKind {
  uint32_t tag;
  const char* header;
  void (*decode)(Report&, uint32_t length, Values words);
};
const DescriptorKind kDescriptors[] = {
    {0x00000001, "Diagnostics Parameters Information", LinkServiceRequest},
    {0x00010000, "SFP Diagnostics Param Information", SfpDiagnostics},
    {0x00010001, "Port Speed Information", PortSpeed},
    {0x00010002, "Link Error Status Block Information", LinkErrorStatus},
    {0x00010003, "Port Name Information", PortName},
    {0x00010005, "FEC Status Information", FecStatus},
    {0x00010006, "Buffer Credits Status Information", BufferCredits},
    {0x00010007, "Optical Element Data Information", OpticalElement},
    {0x00010008, "Optical Product Data Information", OpticalProduct},
};

const DescriptorKind* KindOf(uint32_t tag) {
  for (const DescriptorKind& kind : kDescriptors)
    if (kind.tag == tag) return &kind;
  return nullptr;
}

std::string Format(const char* format, uint64_t a, uint64_t b = 0) {
  char text[128];
  snprintf(text, sizeof text, format, static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
  return text;
}

}  // namespace

std::string DecodeRdpReply(const uint8_t* data, size_t size, std::vector<std::string>* notes) {
  auto note = [notes](std::string text) {
    if (notes) notes->push_back(std::move(text));
  };
  if (!data) {
    note("pBuffer is NULL");
    return {};
  }
  Report report;
  if (size < 4) {
    note(Format("RDP reply of %llu bytes has no list length", size));
    return report.Text();
  }
  const uint32_t listLength = BigEndian32(data);
  note(Format("Diagnostics Parameters Descriptor List Length=0x%04llx", listLength));
  if (listLength > size) note(Format("List length %llu exceeds the %llu bytes returned", listLength, size));

  size_t offset = 4;
  while (offset < listLength && offset + 4 <= size) {
    const uint32_t tag = BigEndian32(data + offset);
    const DescriptorKind* kind = KindOf(tag);
    if (!kind) {
      note(Format("Unknown Descriptor Tag/Value 0x%08llX", tag));
      offset += 4;
      continue;
    }
    if (offset + 8 > size) {
      note(Format("Descriptor 0x%08llX has no length word", tag));
      break;
    }
    const uint32_t length = BigEndian32(data + offset + 4);
    const size_t declared = length / 4;
    std::vector<uint32_t> words(std::min(declared, (size - offset - 8) / 4));
    for (size_t i = 0; i < words.size(); ++i) words[i] = BigEndian32(data + offset + 8 + 4 * i);
    if (words.size() < declared)
      note(Format("Descriptor 0x%08llX cut short after %llu value words", tag, words.size()));

    report.Line(kind == &kDescriptors[0] ? "\n%s\n" : "%s\n", kRule);
    report.Line("%s\n", kind->header);
    report.Line("%s\n", kRule);
    kind->decode(report, length, words);
    report.Line("\n");
    offset += 8 + 4 * declared;
  }
  return report.Text();
}

}  // namespace rdp
