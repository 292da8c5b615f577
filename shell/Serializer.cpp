#include "shell/Serializer.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "runtime/Digits.h"

namespace {

constexpr std::string_view kAsterisks = "****************************************************\n";  // 52

// A name or value as "%s" prints it.
std::string_view Text(const char* s) { return s ? std::string_view(s) : std::string_view("(null)"); }

// Writes the pieces to standard output, gathered into one stream write when
// they fit the buffer together, as an element of a document does.
template <size_t N>
void Put(const std::string_view (&pieces)[N]) {
  size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  char buffer[512];
  if (total > sizeof buffer) {
    for (std::string_view piece : pieces) fwrite_unlocked(piece.data(), 1, piece.size(), stdout);
    return;
  }
  char* at = buffer;
  for (std::string_view piece : pieces) {
    memcpy(at, piece.data(), piece.size());
    at += piece.size();
  }
  fwrite_unlocked(buffer, 1, total, stdout);
}

// The value of WriteIntField in the form its kind asks for ("%d", "%u",
// "%lld", "%llu", or "%x" of the low 32 bits in text).
std::string_view IntText(char* end, uint64_t value, uint32_t kind, bool xml) {
  switch (kind) {
    case kIntSigned32: return {kxdigits::Signed(end, static_cast<int32_t>(value)), end};
    case kIntUnsigned32: return {kxdigits::Unsigned(end, static_cast<uint32_t>(value)), end};
    case kIntSigned64: return {kxdigits::Signed(end, static_cast<int64_t>(value)), end};
    case kIntUnsigned64: return {kxdigits::Unsigned(end, value), end};
    case kIntHexText:
      if (xml) return {kxdigits::Signed(end, static_cast<int32_t>(value)), end};
      return {kxdigits::Hex(end, static_cast<uint32_t>(value)), end};
    default: return {};
  }
}

}  // namespace

uint32_t Serializer::Begin(uint32_t mode) {
  mode_ = mode;
  if (!Valid()) return 12;
  Put({Xml() ? "<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n" : kAsterisks});
  return 0;
}

uint32_t Serializer::End() {
  if (!Valid()) return 12;
  Put({Xml() ? "</output>\n" : kAsterisks});
  mode_ = 0;
  return 0;
}

uint32_t Serializer::BeginList(uint32_t type) {
  if (!Valid()) return 12;
  if (!Xml()) return 0;
  static const char* const kTypes[] = {"string", "int", "bool", "structure"};
  if (type > kListStructure) return 12;
  Put({"<list type=\"", kTypes[type], "\">\n"});
  return 0;
}

uint32_t Serializer::EndList() {
  if (!Valid()) return 12;
  if (Xml()) Put({"</list>\n"});
  return 0;
}

uint32_t Serializer::WriteStringList(const std::vector<std::string>& values) {
  if (!Valid()) return 12;
  for (const std::string& v : values) {
    if (Xml())
      Put({"<string>", Text(v.c_str()), "</string>"});
    else
      Put({Text(v.c_str()), ","});
  }
  if (!Xml()) Put({"\n"});
  return 0;
}

uint32_t Serializer::WriteIntList(const std::vector<int32_t>& values) {
  if (!Valid()) return 12;
  char room[kxdigits::kRoom];
  char* end = room + sizeof room;
  for (int32_t v : values) {
    const std::string_view digits(kxdigits::Signed(end, v), end);
    if (Xml())
      Put({"<int>", digits, "</int>"});
    else
      Put({digits, ","});
  }
  if (!Xml()) Put({"\n"});
  return 0;
}

uint32_t Serializer::WriteBoolList(const std::vector<bool>& values) {
  if (!Valid()) return 12;
  for (bool v : values) {
    const std::string_view text = v ? "true" : "false";
    if (Xml())
      Put({"<bool>", text, "</bool>"});
    else
      Put({text, ","});
  }
  if (!Xml()) Put({"\n"});
  return 0;
}

uint32_t Serializer::BeginStructure(const char* typeName) {
  if (!Valid()) return 12;
  if (Xml())
    Put({"<structure typeName=\"", Text(typeName), "\">\n"});
  else
    Put({Text(typeName), ":\n"});
  return 0;
}

uint32_t Serializer::EndStructure() {
  if (!Valid()) return 12;
  if (Xml()) Put({"</structure>\n"});
  return 0;
}

uint32_t Serializer::BeginField(const char* name) {
  if (!Valid()) return 12;
  if (Xml())
    Put({"<field name=\"", Text(name), "\">\n"});
  else
    Put({Text(name), ": "});
  return 0;
}

uint32_t Serializer::EndField() {
  if (!Valid()) return 12;
  if (Xml()) Put({"</field>\n"});
  return 0;
}

uint32_t Serializer::WriteStringField(const char* name, const char* value) {
  if (!Valid()) return 12;
  if (Xml())
    Put({"<field name=\"", Text(name), "\">\n<string>", Text(value), "</string></field>\n"});
  else
    Put({Text(name), ": ", Text(value), "\n"});
  return 0;
}

uint32_t Serializer::WriteStringStructure(const char* typeName, const char* name, const char* value) {
  if (!Valid()) return 12;
  if (Xml())
    Put({"<structure typeName=\"", Text(typeName), "\">\n<field name=\"", Text(name), "\">\n<string>", Text(value),
         "</string></field>\n</structure>\n"});
  else
    Put({Text(typeName), ":\n", Text(name), ": ", Text(value), "\n"});
  return 0;
}

uint32_t Serializer::WriteIntField(const char* name, uint64_t value, uint32_t kind) {
  if (!Valid()) return 12;
  char room[kxdigits::kRoom];
  const std::string_view digits = IntText(room + sizeof room, value, kind, Xml());
  if (Xml()) {
    if (kind <= kIntHexText)
      Put({"<field name=\"", Text(name), "\">\n<int>", digits, "</int></field>\n"});
    else
      Put({"<field name=\"", Text(name), "\">\n</field>\n"});  // only the field tags
  } else {
    if (kind <= kIntHexText)
      Put({Text(name), ": ", digits, "\n"});
    else
      Put({Text(name), ": "});
  }
  return 0;
}

uint32_t Serializer::WriteBoolField(const char* name, uint64_t value) {
  if (!Valid()) return 12;
  const std::string_view text = (value & 0xFF) ? "true" : "false";
  if (Xml())
    Put({"<field name=\"", Text(name), "\">\n<bool>", text, "</bool></field>\n"});
  else
    Put({Text(name), ": ", text, "\n"});
  return 0;
}

uint32_t Serializer::WriteFormatted(size_t maxLen, const char* format, ...) {
  if (!Valid()) return 12;
  char* buffer = static_cast<char*>(calloc(maxLen + 1, 1));
  if (!buffer) return 42;
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, maxLen + 1, format, args);
  va_end(args);
  if (Xml())
    Put({"<string>", buffer, "</string>"});
  else
    Put({buffer});
  free(buffer);
  return 0;
}
