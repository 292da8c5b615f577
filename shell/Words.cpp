#include "shell/Words.h"

#include <initializer_list>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool IsHelpRequest(const std::string& word) {
  for (const char* help : {"help", "/h", "/help", "-h", "-help", "/?", "?"})
    if (EqualsNoCase(word, help)) return true;
  return false;
}

bool IsAllDigits(const std::string& word) {
  for (char c : word)
    if (c < '0' || c > '9') return false;
  return true;
}

std::optional<uint64_t> ParseNumber(const std::string& word, uint64_t min, uint64_t max, int base) {
  size_t i = 0;
  if (base == 16 && word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) i = 2;
  if (i == word.size()) return std::nullopt;
  uint64_t value = 0;
  for (; i < word.size(); ++i) {
    const char c = word[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    if (value > (UINT64_MAX - digit) / static_cast<uint64_t>(base)) return std::nullopt;
    value = value * base + digit;
  }
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::optional<uint32_t> ParseStoredNumber(const std::string& word) {
  if (!word.empty() && word[0] == '-') {
    const std::optional<uint64_t> magnitude = ParseNumber(word.substr(1), 1, 0x80000000u);
    if (!magnitude) return std::nullopt;
    return static_cast<uint32_t>(0x100000000ull - *magnitude);
  }
  const std::optional<uint64_t> value = ParseNumber(word, 0, UINT32_MAX);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<Words> Tokenize(const std::string& line) {
  Words words;
  std::string current;
  bool inWord = false;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;  // a quote starts or continues a word, so "" is an empty word
    } else if (!quoted && IsSeparator(c)) {
      if (inWord) words.push_back(current);
      current.clear();
      inWord = false;
    } else {
      current += c;
      inWord = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words.push_back(current);
  return words;
}

bool OptionWords::IsNamed(const std::string& word, const OptionName& name) {
  return (name.shortName && *name.shortName && EqualsNoCase(word, name.shortName)) ||
         (name.longName && *name.longName && EqualsNoCase(word, name.longName));
}

bool OptionWords::Read(const Words& words, std::span<const OptionName> names, std::string& offending) {
  names_.clear();
  values_.clear();
  for (size_t i = 0; i < words.size(); i += 2) {
    bool known = false;
    for (const OptionName& name : names) known = known || IsNamed(words[i], name);
    if (!known || i + 1 == words.size()) {
      offending = words[i];
      return false;
    }
    names_.push_back(words[i]);
    values_.push_back(words[i + 1]);
  }
  return true;
}

bool OptionWords::Get(const OptionName& name, std::string& value) const {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (IsNamed(names_[i], name)) {
      value = values_[i];
      return true;
    }
  }
  return false;
}

std::vector<OptionName> OptionNamesOf(std::span<const ParamDef> declared) {
  std::vector<OptionName> names;
  for (const ParamDef& p : declared)
    if (p.option || p.shortOption) names.push_back({p.shortOption, p.option});
  return names;
}
