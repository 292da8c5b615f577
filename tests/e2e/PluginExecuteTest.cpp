// Every command of the built descriptor, run the way esxcli runs it: its
// execute line with the parameters substituted, against the stand-in's default
// inventory. The printed document must have the structures and fields, with
// their types, that the command's output-spec declares.
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

// What a printed structure gets wrong against its declaration; `whole` asks for every declared field.
std::string Match(const Node& printed, const Node& declared, bool whole) {
  const std::string type = printed.Attr("typeName");
  if (type != declared.Attr("typeName")) return "structure " + type + ", declared " + declared.Attr("typeName") + "\n";
  std::map<std::string, const Node*> left;  // declared fields not printed yet, with their value element
  for (const Node* f : declared.All("field")) left[f->Attr("name")] = f->children.front().get();
  std::string errors;
  for (const Node* f : printed.All("field")) {
    const std::string at = type + "." + f->Attr("name");
    const auto want = left.extract(f->Attr("name"));
    const Node* got = f->children.size() == 1 ? f->children.front().get() : nullptr;
    if (!want) errors += at + ": not declared, or printed twice\n";
    else if (!got || got->name != want.mapped()->name) errors += at + ": not a single " + want.mapped()->name + "\n";
    else if (got->name == "list")
      for (const Node* s : got->All("structure")) errors += Match(*s, *want.mapped()->Child("structure"), whole);
  }
  if (whole) for (const auto& [name, f] : left) errors += type + "." + name + ": missing\n";
  return errors;
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
  if (want.name != "list") {
    for (const Node* f : top.All("field")) if (f->Attr("name") == messageField) message = f->children.front()->text;
    return Match(top, want, whole);
  }
  std::string errors = whole && top.All("structure").empty() ? "an empty list\n" : "";
  for (const Node* s : top.All("structure")) errors += Match(*s, *want.Child("structure"), whole);
  return errors;
}

// The one command no object of the default inventory can succeed at: no
// adapter there lets its personality be changed.
const std::map<std::string, std::string> kNoSuccess = {
    {"kxfc.adapter.personality.set", "Failed, Feature not supported for this adapter"},
};

TEST(PluginExecute, EveryDescriptorCommandPrintsItsOutputSpecOnSuccessAndFailure) {
  const auto plugin = minixml::Parse(e2e::ReadFile(KXFC_DESCRIPTOR_PATH));
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
