// String values in an XML document, whatever their bytes: the document the
// serializer writes parses, each value reads back as one string, and
// printable ASCII other than '&' and '<' reads back unchanged (and, without
// "]]>", stands in the document as it is).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "shell/Serializer.h"
#include "tests/MiniXml.h"

namespace {

// The first value as a string field, every value in a string list, the first
// as a formatted string and the last in a one-field structure.
std::string Document(const std::vector<std::string>& values) {
  char* bytes = nullptr;
  size_t size = 0;
  FILE* kept = stdout;
  stdout = open_memstream(&bytes, &size);
  kxfuzz::Check(stdout != nullptr, "a memory stream");
  Serializer s;
  s.Begin(kModeXml);
  s.BeginStructure("Values");
  s.WriteStringField("First", values.front().c_str());
  s.BeginField("All");
  s.BeginList(kListString);
  s.WriteStringList(values);
  s.EndList();
  s.EndField();
  s.BeginField("Formatted");
  s.WriteFormatted(values.front().size(), "%s", values.front().c_str());
  s.EndField();
  s.WriteStringStructure("Element", "Last", values.back().c_str());
  s.EndStructure();
  s.End();
  fclose(stdout);
  stdout = kept;
  std::string document(bytes, size);
  free(bytes);
  return document;
}

bool PrintableAscii(const std::string& s) {
  for (const char c : s)
    if (c < 0x20 || c > 0x7E || c == '&' || c == '<') return false;
  return true;
}

const std::string& StringOf(const minixml::Node* field) {
  kxfuzz::Check(field && field->Child("string"), "a field holds a string");
  return field->Child("string")->text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> values = kxfuzz::Split(data, size);
  const std::string document = Document(values);
  std::unique_ptr<minixml::Node> root;
  try {
    root = minixml::Parse(document);
  } catch (const std::exception& e) {
    fprintf(stderr, "%s\n", e.what());
    kxfuzz::Check(false, "the document parses");
  }
  const minixml::Node* top = root->Child("structure");
  kxfuzz::Check(top && top->All("field").size() == 3, "three fields in the structure");
  const auto fields = top->All("field");
  const minixml::Node* list = fields[1]->Child("list");
  kxfuzz::Check(list && list->All("string").size() == values.size(), "one list element per value");
  const minixml::Node* element = top->Child("structure");
  kxfuzz::Check(element != nullptr, "the element structure");
  std::vector<std::pair<std::string, std::string>> readBack = {{values.front(), StringOf(fields[0])},
                                                               {values.front(), StringOf(fields[2])},
                                                               {values.back(), StringOf(element->Child("field"))}};
  for (size_t i = 0; i < values.size(); ++i) readBack.emplace_back(values[i], list->All("string")[i]->text);
  for (const auto& [value, text] : readBack) {
    if (!PrintableAscii(value)) continue;
    kxfuzz::Check(text == value, "printable ASCII reads back unchanged");
    kxfuzz::Check(value.find("]]>") != std::string::npos || document.find(">" + value + "</string>") != std::string::npos,
                  "printable ASCII stands in the document as it is");
  }
  return 0;
}
