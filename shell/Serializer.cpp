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

// The length of the valid UTF-8 sequence that starts at s[at] (no overlong
// form, no surrogate, nothing past U+10FFFF), 0 when none starts there.
size_t Utf8Length(std::string_view s, size_t at) {
  const auto byte = [&](size_t k) { return at + k < s.size() ? static_cast<unsigned char>(s[at + k]) : 0u; };
  const unsigned lead = byte(0);
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if ((byte(k) & 0xC0) != 0x80) return 0;
  return length;
}

bool ControlCharacter(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// A string value as XML character data, so that whatever text the adapter
// hands back the document stays well-formed: '&' and '<' as references, the
// '>' of "]]>" as one, and each control character XML does not allow, each
// byte that is not part of valid UTF-8 and each of U+FFFE and U+FFFF as '?'.
// Any other '>' stays as it is. room holds the text when it had to change.
std::string_view XmlText(std::string_view s, std::string& room) {
  bool plain = s.find("]]>") == std::string_view::npos;
  for (size_t i = 0; plain && i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    plain = c != '&' && c != '<' && c < 0x80 && !ControlCharacter(c);
  }
  if (plain) return s;
  room.clear();
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t length = 1;
    if (c == '&') {
      room += "&amp;";
    } else if (c == '<') {
      room += "&lt;";
    } else if (c == '>' && room.ends_with("]]")) {
      room += "&gt;";
    } else if (c < 0x80) {
      room += ControlCharacter(c) ? '?' : static_cast<char>(c);
    } else if ((length = Utf8Length(s, i)) == 0) {
      room += '?';
      length = 1;
    } else if (s.substr(i, length) == "\xEF\xBF\xBE" || s.substr(i, length) == "\xEF\xBF\xBF") {
      room += '?';
    } else {
      room += s.substr(i, length);
    }
    i += length;
  }
  return room;
}

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
  std::string room;
  for (const std::string& v : values) {
    if (Xml())
      Put({"<string>", XmlText(Text(v.c_str()), room), "</string>"});
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
  std::string room;
  if (Xml())
    Put({"<field name=\"", Text(name), "\">\n<string>", XmlText(Text(value), room), "</string></field>\n"});
  else
    Put({Text(name), ": ", Text(value), "\n"});
  return 0;
}

uint32_t Serializer::WriteStringStructure(const char* typeName, const char* name, const char* value) {
  if (!Valid()) return 12;
  std::string room;
  if (Xml())
    Put({"<structure typeName=\"", Text(typeName), "\">\n<field name=\"", Text(name), "\">\n<string>",
         XmlText(Text(value), room),
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
  std::string room;
  if (Xml())
    Put({"<string>", XmlText(buffer, room), "</string>"});
  else
    Put({buffer});
  free(buffer);
  return 0;
}
