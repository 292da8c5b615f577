// The prompt's line tokenizer and the word helpers applied to its words.
#include "fuzz/FuzzTarget.h"
#include "shell/Words.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::optional<Words> words = Tokenize(line);
  size_t quotes = 0;
  for (char c : line) quotes += c == '"';
  kxfuzz::Check(words.has_value() == (quotes % 2 == 0), "a line fails exactly when a quote is left open");
  if (!words) return 0;
  size_t kept = 0;
  for (const std::string& w : *words) {
    kept += w.size();
    if (quotes == 0) kxfuzz::Check(w.find_first_of(" \t\r\n") == std::string::npos, "no separator in a word");
    IsHelpRequest(w);
    IsAllDigits(w);
  }
  kxfuzz::Check(kept <= line.size() - quotes, "words hold only the line's characters");
  return 0;
}
