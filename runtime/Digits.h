// Number and WWN texts written without the printf family, for the paths that
// run once per inventory record or trace line (lists, lookups, the serializer,
// time stamps). Each writes exactly what the printf conversion named beside it
// would.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kxdigits {

// Room for any 64-bit number in decimal, with its sign.
inline constexpr size_t kRoom = 24;

// Writes the digits so that they end at `end`; returns where they start.
inline char* Unsigned(char* end, uint64_t value) {  // "%llu"
  do {
    *--end = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return end;
}

inline char* Signed(char* end, int64_t value) {  // "%lld"
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char* start = Unsigned(end, magnitude);
  if (value < 0) *--start = '-';
  return start;
}

// "%0<width>d": zeros between the sign and the digits up to the width.
inline char* SignedPadded(char* end, int64_t value, int width) {
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char* start = Unsigned(end, magnitude);
  const int room = width - (value < 0 ? 1 : 0);
  while (end - start < room) *--start = '0';
  if (value < 0) *--start = '-';
  return start;
}

inline char* Hex(char* end, uint64_t value) {  // "%llx"
  do {
    *--end = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  return end;
}

inline void AppendUnsigned(std::string& out, uint64_t value) {
  char room[kRoom];
  char* end = room + sizeof room;
  char* start = Unsigned(end, value);
  out.append(start, end);
}

// "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x" of eight bytes: 23 characters.
inline constexpr size_t kWwnLength = 23;
inline void Wwn(char* out, const std::array<uint8_t, 8>& wwn) {
  for (size_t i = 0; i < wwn.size(); ++i) {
    if (i != 0) *out++ = ':';
    *out++ = "0123456789abcdef"[wwn[i] >> 4];
    *out++ = "0123456789abcdef"[wwn[i] & 0xF];
  }
}

inline void AppendWwn(std::string& out, const std::array<uint8_t, 8>& wwn) {
  char text[kWwnLength];
  Wwn(text, wwn);
  out.append(text, sizeof text);
}

}  // namespace kxdigits
