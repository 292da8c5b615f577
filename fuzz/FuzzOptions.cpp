// Option words and numbers as a user types them: the strict option reader,
// ParseNumber in both bases and the cache file's stored numbers.
#include <algorithm>

#include "fuzz/FuzzTarget.h"
#include "shell/Words.h"

namespace {

constexpr OptionName kNames[] = {{"-r", "--loop-reset-delay"}, {"-d", "--data-rate"}, {"-b", ""}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Words words = kxfuzz::Split(data, size);
  OptionWords options;
  std::string offending;
  const bool ok = options.Read(words, kNames, offending);
  kxfuzz::Check(!ok || words.size() % 2 == 0, "accepted options come in pairs");
  std::string value;
  for (const OptionName& name : kNames) {
    if (!ok || !options.Get(name, value)) continue;
    bool given = false;
    for (size_t i = 0; i + 1 < words.size(); i += 2)
      if (!given && (EqualsNoCase(words[i], name.shortName) || EqualsNoCase(words[i], name.longName))) {
        kxfuzz::Check(value == words[i + 1], "the first occurrence wins");
        given = true;
      }
    kxfuzz::Check(given, "a value comes from a given option");
  }
  for (const std::string& w : words) {
    for (int base : {10, 16}) {
      const std::optional<uint64_t> n = ParseNumber(w, 3, 240, base);
      kxfuzz::Check(!n || (*n >= 3 && *n <= 240), "a parsed number lies in its range");
      if (n && base == 10) kxfuzz::Check(std::to_string(*n).size() <= w.size(), "decimal digits only");
    }
    if (const std::optional<uint32_t> stored = ParseStoredNumber(w)) {
      // Sign and leading zeros aside, the digits are the number's: nothing wrapped.
      const bool negative = w[0] == '-';
      const std::string digits = w.substr(negative ? 1 : 0);
      const std::string shown = negative ? std::to_string(-static_cast<int64_t>(static_cast<int32_t>(*stored)))
                                         : std::to_string(*stored);
      const size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
      kxfuzz::Check(digits.substr(first) == shown, "a stored number reads as written");
    }
  }
  return 0;
}
