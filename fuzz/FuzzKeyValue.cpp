// The key=value reader over arbitrary text, and the rewrite: after an update
// of a plain key with a plain value, the reader finds that value.
#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz/FuzzTarget.h"
#include "runtime/FileOps.h"

namespace {

bool Plain(const std::string& s) {
  if (s.empty() || s.size() > 64 || s[0] == '#') return false;
  for (char c : s)
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '=' || c == '#') return false;
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return s;
}

size_t Count(const std::string& text, const std::string& key) {
  size_t n = 0;
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) ++n;
  return n;
}

// Lines the rewrite keeps whole (it works in pieces of 511 characters).
bool ShortLines(const std::string& text) {
  size_t run = 0;
  for (char c : text) {
    run = c == '\n' ? 0 : run + 1;
    if (run > 500) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> parts = kxfuzz::Split(data, size);
  const std::string& text = parts[0];
  const std::string key = parts.size() > 1 ? parts[1] : "Data_Rate";
  const std::string value = parts.size() > 2 ? parts[2] : "5";

  char found[16];
  const int r = FileOps::GetKeyValueFromText(text, key.c_str(), found, sizeof found, '=');
  kxfuzz::Check(r == 0 || r == 1, "the reader answers found or not found");
  if (r == 1) kxfuzz::Check(strlen(found) < sizeof found, "the value ends inside the buffer");

  const std::string updated = FileOps::ApplyKeyValues(text, {{key, value}});
  kxfuzz::Check(updated.size() > key.size() + value.size(), "the rewrite holds the new line");
  // The writer matches the key case-sensitively, the reader ignores case: a
  // line that spells the key otherwise is outside this check.
  if (!Plain(key) || !Plain(value) || !ShortLines(text) || Count(Lower(text), Lower(key)) != Count(text, key))
    return 0;
  char back[128] = "";
  kxfuzz::Check(FileOps::GetKeyValueFromText(updated, key.c_str(), back, sizeof back, '=') == 1 && value == back,
                "an update reads back");
  return 0;
}
