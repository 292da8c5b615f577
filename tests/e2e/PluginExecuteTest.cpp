// Every command of the built descriptor, run the way esxcli runs it: its
// execute line with the parameters substituted, against the stand-in's default
// inventory. The printed document must have the structures and fields, with
// their types, that the command's output-spec declares.
#include <fstream>
#include <map>
#include <sstream>

#include "plugin/PluginDocs.h"
#include "shell/MainCmdsProcessor.h"
#include "tests/MiniXml.h"
#include "tests/e2e/Harness.h"

namespace {

using minixml::Node;

// Substitutes $val{name} and $if{name, text} as esxcli does; words split on spaces.
std::vector<std::string> Substitute(std::string line, const std::map<std::string, std::string>& values) {
  for (size_t at; (at = line.find("$if{")) != std::string::npos;) {
    const size_t comma = line.find(',', at);
    const size_t end = line.find('}', line.find('}', at) + 1);  // past the inner $val{...}
    const std::string name = line.substr(at + 4, comma - at - 4);
    line.replace(at, end + 1 - at, values.count(name) ? line.substr(comma + 2, end - comma - 2) : "");
  }
  for (size_t at; (at = line.find("$val{")) != std::string::npos;) {
    const size_t end = line.find('}', at);
    line.replace(at, end + 1 - at, values.at(line.substr(at + 5, end - at - 5)));
  }
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// Compares a printed structure with its declaration; `whole` asks for every declared field.
void Match(const Node& printed, const Node& declared, bool whole, const std::string& where,
           std::vector<std::string>& errors) {
  if (printed.Attr("typeName") != declared.Attr("typeName")) {
    errors.push_back(where + ": structure " + printed.Attr("typeName") + ", declared " + declared.Attr("typeName"));
    return;
  }
  std::map<std::string, const Node*> fields;
  for (const Node* f : declared.All("field")) fields[f->Attr("name")] = f;
  std::map<std::string, int> seen;
  for (const Node* f : printed.All("field")) {
    const std::string name = f->Attr("name");
    const std::string at = where + "/" + printed.Attr("typeName") + "." + name;
    if (++seen[name] > 1) errors.push_back(at + ": printed twice");
    if (!fields.count(name)) {
      errors.push_back(at + ": not declared");
      continue;
    }
    const Node* want = fields[name]->children.front().get();
    if (f->children.size() != 1 || f->children.front()->name != want->name) {
      errors.push_back(at + ": not a single " + want->name);
      continue;
    }
    if (want->name == "list")
      for (const Node* s : f->children.front()->All("structure"))
        Match(*s, *want->Child("structure"), whole, at, errors);
  }
  if (whole)
    for (const auto& [name, f] : fields)
      if (!seen.count(name)) errors.push_back(where + "/" + declared.Attr("typeName") + "." + name + ": missing");
}

// The document's top element against the output-spec's; "" when it matches.
std::string CheckDocument(const std::string& out, const Node& spec, bool whole, const std::string& messageField,
                          std::string& message) {
  std::unique_ptr<Node> doc;
  try {
    doc = minixml::Parse(out);
  } catch (const std::exception& e) {
    return std::string("not a document: ") + e.what() + "\n" + out;
  }
  const Node& want = *spec.children.front();
  if (doc->name != "output" || doc->children.size() != 1 || doc->children.front()->name != want.name)
    return "top element is not a single " + want.name + "\n" + out;
  const Node& top = *doc->children.front();
  std::vector<std::string> errors;
  if (want.name == "list") {
    for (const Node* s : top.All("structure")) Match(*s, *want.Child("structure"), whole, "", errors);
    if (whole && top.All("structure").empty()) errors.push_back("an empty list");
  } else {
    Match(top, want, whole, "", errors);
    for (const Node* f : top.All("field"))
      if (f->Attr("name") == messageField) message = f->children.front()->text;
  }
  std::string text;
  for (const std::string& e : errors) text += e + "\n";
  return text;
}

// The one command no object of the default inventory can succeed at: no
// adapter there lets its personality be changed.
const std::map<std::string, std::string> kNoSuccess = {
    {"kxfc.adapter.personality.set", "Failed, Feature not supported for this adapter"},
};

TEST(PluginExecute, EveryDescriptorCommandPrintsItsOutputSpecOnSuccessAndFailure) {
  std::ifstream in(KXFC_DESCRIPTOR_PATH);
  std::stringstream text;
  text << in.rdbuf();
  const auto plugin = minixml::Parse(text.str());
  std::map<std::string, const Node*> described;
  for (const Node* c : plugin->Child("commands")->All("command")) described[c->Attr("path")] = c;

  MainCmdsProcessor root;
  root.AddModes();
  e2e::Sandbox sandbox;  // one for the whole run: setFile stages what set applies
  e2e::Sandbox noInventory("PluginExecuteNoInventory");
  noInventory.UseFixtureText("{\"adapters\": 7}");
  for (const kxplugin::XmlCommand& c : kxplugin::XmlCommands(root)) {
    std::string path = std::string(kxplugin::kNamespace);
    for (const std::string& m : c.modes) path += "." + m;
    path += "." + c.entry->GetName();
    SCOPED_TRACE(path);
    ASSERT_TRUE(described.count(path));
    const Node& spec = *described[path]->Child("output-spec");
    std::string execute = described[path]->Child("execute")->text;
    ASSERT_EQ(execute.rfind(kxplugin::kInstalledExecutable, 0), 0u);
    execute.erase(0, std::string(kxplugin::kInstalledExecutable).size());  // the sandbox runs the built tool

    std::map<std::string, std::string> values;
    for (const ParamDef& p : c.spec->params) {
      if (std::string(p.name) == "file") {
        values[p.name] = sandbox.File(c.entry->GetName() + std::string("-") + c.modes.back() + ".bin");
        e2e::WriteFile(values[p.name], std::string(64, '\x5a'));
      } else if (p.example) {
        values[p.name] = p.example;
      }
    }
    std::string message;
    const e2e::Result ok = sandbox.Run(Substitute(execute, values));
    const bool succeeds = !kNoSuccess.count(path);
    const std::string messageField = c.spec->document ? c.spec->document->messageField : "Message";
    EXPECT_EQ(CheckDocument(ok.out, spec, succeeds, messageField, message), "");
    EXPECT_TRUE(c.spec->listOf || message == (succeeds ? "Success" : kNoSuccess.at(path))) << message;

    if (c.spec->params.empty()) {
      // A list without an inventory prints no document at all.
      EXPECT_EQ(noInventory.Run(Substitute(execute, values)).out, "");
      continue;
    }
    values[c.spec->params.front().name] = "Bogus_identifier";
    const e2e::Result failed = sandbox.Run(Substitute(execute, values));
    message.clear();
    EXPECT_EQ(CheckDocument(failed.out, spec, false, messageField, message), "");
    EXPECT_EQ(message, "Failed, Invalid parameter");
  }
}

}  // namespace
