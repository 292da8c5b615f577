// Command words and the helpers that read them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "shell/CommandSpec.h"

using Words = std::vector<std::string>;

// ASCII case-insensitive equality (only A-Z are folded).
bool EqualsNoCase(const std::string& a, const std::string& b);

// "help", "/h", "/help", "-h", "-help", "/?" or "?".
bool IsHelpRequest(const std::string& word);

// True for an empty word or one of decimal digits only.
bool IsAllDigits(const std::string& word);

// A whole word read as an unsigned number in [min, max]: decimal digits only
// (base 10), or hexadecimal digits with an optional "0x" prefix (base 16).
// nullopt for an empty word, any other character, or a value out of range;
// never wraps. Every number a user types goes through here.
std::optional<uint64_t> ParseNumber(const std::string& word, uint64_t min, uint64_t max, int base = 10);

// A number as written into a cache file with "%d": ParseNumber's decimal
// form, or a minus sign before it for a value of 2^31 and above read back as
// the same 32 bits. nullopt for anything else.
std::optional<uint32_t> ParseStoredNumber(const std::string& word);

// Splits an input line into words; nullopt when the line ends inside quotes.
std::optional<Words> Tokenize(const std::string& line);

// The name pair of one option of a "set"-style command ("-r", "--refresh").
struct OptionName {
  const char* shortName;
  const char* longName;
};

// The options of a "set"-style command, read strictly: the words must be
// pairs of an option name the command knows (short or long, ignoring case)
// and its value. A word that is no known name ("--data-rate=8", a typo, a
// stray value) or a name left without its value makes the list invalid, so
// that a mistyped command changes nothing.
class OptionWords {
 public:
  // False when the words are not such pairs; offending is the first word
  // that is not in its place.
  bool Read(const Words& words, std::span<const OptionName> names, std::string& offending);
  // The value of the option's first occurrence; false when it was not given.
  bool Get(const OptionName& name, std::string& value) const;
  // The word is the option's short or long name (ignoring case).
  static bool IsNamed(const std::string& word, const OptionName& name);

 private:
  Words names_;
  Words values_;
};

// The option names of the declared parameters that have one (positional words have none).
std::vector<OptionName> OptionNamesOf(std::span<const ParamDef> declared);
