#include "shell/Serializer.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr const char* kAsterisks = "****************************************************";  // 52
}

uint32_t Serializer::Begin(uint32_t mode) {
  mode_ = mode;
  if (!Valid()) return 12;
  if (Xml())
    printf("<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n");
  else
    printf("%s\n", kAsterisks);
  return 0;
}

uint32_t Serializer::End() {
  if (!Valid()) return 12;
  if (Xml())
    printf("</output>\n");
  else
    printf("%s\n", kAsterisks);
  mode_ = 0;
  return 0;
}

uint32_t Serializer::BeginList(uint32_t type) {
  if (!Valid()) return 12;
  if (!Xml()) return 0;
  static const char* const kTypes[] = {"string", "int", "bool", "structure"};
  if (type > kListStructure) return 12;
  printf("<list type=\"%s\">\n", kTypes[type]);
  return 0;
}

uint32_t Serializer::EndList() {
  if (!Valid()) return 12;
  if (Xml()) printf("</list>\n");
  return 0;
}

uint32_t Serializer::WriteStringList(const std::vector<std::string>& values) {
  if (!Valid()) return 12;
  for (const std::string& v : values) printf(Xml() ? "<string>%s</string>" : "%s,", v.c_str());
  if (!Xml()) printf("\n");
  return 0;
}

uint32_t Serializer::WriteIntList(const std::vector<int32_t>& values) {
  if (!Valid()) return 12;
  for (int32_t v : values) printf(Xml() ? "<int>%d</int>" : "%d,", v);
  if (!Xml()) printf("\n");
  return 0;
}

uint32_t Serializer::WriteBoolList(const std::vector<bool>& values) {
  if (!Valid()) return 12;
  for (bool v : values) printf(Xml() ? "<bool>%s</bool>" : "%s,", v ? "true" : "false");
  if (!Xml()) printf("\n");
  return 0;
}

uint32_t Serializer::BeginStructure(const char* typeName) {
  if (!Valid()) return 12;
  printf(Xml() ? "<structure typeName=\"%s\">\n" : "%s:\n", typeName);
  return 0;
}

uint32_t Serializer::EndStructure() {
  if (!Valid()) return 12;
  if (Xml()) printf("</structure>\n");
  return 0;
}

uint32_t Serializer::BeginField(const char* name) {
  if (!Valid()) return 12;
  printf(Xml() ? "<field name=\"%s\">\n" : "%s: ", name);
  return 0;
}

uint32_t Serializer::EndField() {
  if (!Valid()) return 12;
  if (Xml()) printf("</field>\n");
  return 0;
}

uint32_t Serializer::WriteStringField(const char* name, const char* value) {
  if (!Valid()) return 12;
  if (Xml())
    printf("<field name=\"%s\">\n<string>%s</string></field>\n", name, value);
  else
    printf("%s: %s\n", name, value);
  return 0;
}

uint32_t Serializer::WriteIntField(const char* name, uint64_t value, uint32_t kind) {
  if (!Valid()) return 12;
  const bool xml = Xml();
  printf(xml ? "<field name=\"%s\">\n" : "%s: ", name);
  const char* open = xml ? "<int>" : "";
  const char* close = xml ? "</int>" : "\n";
  switch (kind) {
    case kIntSigned32:
      printf("%s%d%s", open, static_cast<int32_t>(value), close);
      break;
    case kIntUnsigned32:
      printf("%s%u%s", open, static_cast<uint32_t>(value), close);
      break;
    case kIntSigned64:
      printf("%s%lld%s", open, static_cast<long long>(value), close);
      break;
    case kIntUnsigned64:
      printf("%s%llu%s", open, static_cast<unsigned long long>(value), close);
      break;
    case kIntHexText:
      if (xml)
        printf("<int>%d</int>", static_cast<int32_t>(value));
      else
        printf("%x\n", static_cast<uint32_t>(value));
      break;
    default:
      break;  // only the field tags
  }
  if (xml) printf("</field>\n");
  return 0;
}

uint32_t Serializer::WriteBoolField(const char* name, uint64_t value) {
  if (!Valid()) return 12;
  const char* text = (value & 0xFF) ? "true" : "false";
  if (Xml())
    printf("<field name=\"%s\">\n<bool>%s</bool></field>\n", name, text);
  else
    printf("%s: %s\n", name, text);
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
  printf(Xml() ? "<string>%s</string>" : "%s", buffer);
  free(buffer);
  return 0;
}
