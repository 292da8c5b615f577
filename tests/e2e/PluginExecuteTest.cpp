// Every command of the built descriptor, run the way esxcli runs it: its
// execute line with the parameters substituted, against the stand-in's default
// inventory. The printed document must have the structures and fields, with
// their types, that the command's output-spec declares.
#include <map>

#include "tests/e2e/Described.h"

namespace {

using minixml::Node;

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
  e2e::Sandbox sandbox;  // one for the whole run: setFile stages what set applies
  e2e::Sandbox noInventory("PluginExecuteNoInventory");
  noInventory.UseFixtureText("{\"adapters\": 7}");
  for (const e2e::DescribedCommand& d : e2e::DescribedCommands()) {
    const kxplugin::XmlCommand& c = d.command;
    SCOPED_TRACE(d.path);
    ASSERT_TRUE(d.declared);
    const Node& spec = *d.declared->Child("output-spec");
    std::string message;
    const e2e::Result ok = sandbox.Run(d.Words(sandbox));
    const bool succeeds = !kNoSuccess.count(d.path);
    const std::string messageField = c.spec->document ? c.spec->document->messageField : "Message";
    EXPECT_EQ(CheckDocument(ok.out, spec, succeeds, messageField, message), "");
    EXPECT_TRUE(c.spec->listOf || message == (succeeds ? "Success" : kNoSuccess.at(d.path))) << message;

    if (c.spec->params.empty()) {
      // A list without an inventory prints no document at all.
      EXPECT_EQ(noInventory.Run(d.Words(noInventory)).out, "");
      continue;
    }
    const e2e::Result failed = sandbox.Run(d.Words(sandbox, {{c.spec->params.front().name, "Bogus_identifier"}}));
    message.clear();
    EXPECT_EQ(CheckDocument(failed.out, spec, false, messageField, message), "");
    EXPECT_EQ(message, "Failed, Invalid parameter");
  }
}

}  // namespace
