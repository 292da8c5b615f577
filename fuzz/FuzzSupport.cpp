#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTarget.h"

namespace kxfuzz {

void Check(bool condition, const char* what) {
  if (condition) return;
  fprintf(stderr, "fuzz invariant broken: %s\n", what);
  abort();
}

std::vector<std::string> Split(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      pieces.emplace_back();
    else
      pieces.back() += static_cast<char>(data[i]);
  }
  return pieces;
}

}  // namespace kxfuzz
