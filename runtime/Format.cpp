#include "runtime/Format.h"

#include <cstdio>

std::string FormatV(const char* format, va_list args) {
  char text[512];
  va_list again;
  va_copy(again, args);
  const int needed = vsnprintf(text, sizeof text, format, args);
  std::string out;
  if (needed > 0 && static_cast<size_t>(needed) < sizeof text) {
    out.assign(text, static_cast<size_t>(needed));
  } else if (needed > 0) {
    out.resize(static_cast<size_t>(needed));
    vsnprintf(out.data(), out.size() + 1, format, again);
  }
  va_end(again);
  return out;
}
