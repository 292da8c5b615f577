// Option words and numbers as a user types them: the strict option reader,
// ParseNumber in both bases and the cache file's stored numbers.
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
      const std::string back = std::to_string(static_cast<int32_t>(*stored));
      const std::string plain = std::to_string(*stored);
      const std::string trimmed = w.substr(w.find_first_not_of('0') == std::string::npos ? w.size() - 1
                                                                                          : w.find_first_not_of('0'));
      kxfuzz::Check(w[0] == '-' || trimmed == plain, "a stored number reads back as written");
      (void)back;
    }
  }
  return 0;
}
