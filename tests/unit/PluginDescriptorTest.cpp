// The descriptor the build installs describes exactly the tree the tool runs.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "plugin/PluginDocs.h"
#include "shell/MainCmdsProcessor.h"
#include "tests/MiniXml.h"

namespace {

std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class PluginDescriptor : public ::testing::Test {
 protected:
  void SetUp() override { root_.AddModes(); }
  MainCmdsProcessor root_;
};

// A merged family whose XML rows lack their declarations fails here, one line per command.
TEST_F(PluginDescriptor, EveryXmlCommandDeclaresItsWordsAndDocument) {
  std::string problems;
  for (const std::string& p : kxplugin::CheckDeclarations(root_)) problems += p + "\n";
  EXPECT_EQ(problems, "");
}

TEST_F(PluginDescriptor, BuiltDescriptorHasOneCommandPerXmlCommandAndNoOther) {
  const std::string text = ReadAll(KXFC_DESCRIPTOR_PATH);
  ASSERT_FALSE(text.empty()) << KXFC_DESCRIPTOR_PATH;
  // The build product is the generator's output for this very tree.
  EXPECT_EQ(text, kxplugin::Descriptor(root_, kxplugin::kInstalledExecutable));

  const auto plugin = minixml::Parse(text);
  ASSERT_EQ(plugin->name, "plugin");
  EXPECT_EQ(plugin->Attr("xmlns"), "http://www.vmware.com/Products/ESX/5.0/esxcli/");
  std::multiset<std::string> described;
  for (const minixml::Node* c : plugin->Child("commands")->All("command")) {
    described.insert(c->Attr("path"));
    std::vector<std::string> order;
    for (const auto& child : c->children) order.push_back(child->name);
    EXPECT_EQ(order, (std::vector<std::string>{"description", "input-spec", "output-spec", "format-parameters",
                                               "execute"})) << c->Attr("path");
  }
  std::multiset<std::string> expected;
  std::set<std::string> namespaces{"kxfc"};
  for (const kxplugin::XmlCommand& c : kxplugin::XmlCommands(root_)) {
    std::string path = "kxfc";
    for (const std::string& m : c.modes) namespaces.insert(path += "." + m);
    expected.insert(path + "." + c.entry->GetName());
  }
  EXPECT_EQ(described, expected);
  for (const std::string& path : described) {
    const std::string leaf = path.substr(path.rfind('.') + 1);
    EXPECT_TRUE(leaf != "help" && (leaf.size() < 3 || leaf.compare(leaf.size() - 3, 3, "cli") != 0)) << path;
  }
  std::set<std::string> declaredNamespaces;
  for (const minixml::Node* n : plugin->Child("namespaces")->All("namespace"))
    EXPECT_TRUE(declaredNamespaces.insert(n->Attr("path")).second) << n->Attr("path");
  for (const std::string& n : namespaces) EXPECT_EQ(declaredNamespaces.count(n), 1u) << n;
}

// A family merged without its declarations: the generator refuses it, naming each command.
class UndeclaredFamily : public MultipleCmdsProcessor {
 public:
  explicit UndeclaredFamily(CmdProcessor* parent)
      : MultipleCmdsProcessor("UndeclaredCmdsProcessor", "Undeclared", "undeclared", "-s", "a new family", parent) {}
  uint32_t Cmd(Words&, uint32_t) { return 0; }

 protected:
  void RegisterCommands() override {
    using Cls = UndeclaredFamily;
    static const ErrorDocument kListWithoutElement{"Doc", {}, {}, {EmptyField::List("Rows", nullptr)}};
    static constexpr ParamDef kNoExample[] = {{"port", nullptr, nullptr, ValueType::kString, true, "Port", nullptr},
                                              {"drive", "--drive", "j", ValueType::kString, false, "Drive", nullptr},
                                              {"mode", "--mode", "-j", ValueType::kString, false, "Mode", nullptr},
                                              {"other", "--other", "-j", ValueType::kString, false, "Other", nullptr}};
    static const CommandDef<Cls> kCommands[] = {
        {"get", "get", 0, CommandKind::kXml, &Cls::Cmd, "CmdGet"},
        {"set", "set", 1, CommandKind::kXml, &Cls::Cmd, "CmdSet", nullptr, {kNoExample, &kListWithoutElement}},
        {"getcli", "get", 2, CommandKind::kText, &Cls::Cmd, "CmdGetCli", "Usage: get\r\n"},
    };
    AddCommands(this, kCommands);
  }
};

class TreeWithUndeclaredFamily : public MultipleCmdsProcessor {
 public:
  TreeWithUndeclaredFamily() : MultipleCmdsProcessor("Root", "main", "main", "", "root", nullptr) {
    AddSubMode(std::make_unique<UndeclaredFamily>(this));
  }
};

TEST(PluginDeclarations, MissingDeclarationsAreNamedPerCommand) {
  TreeWithUndeclaredFamily root;
  EXPECT_EQ(kxplugin::CheckDeclarations(root),
            (std::vector<std::string>{"undeclared get: declares no output (CommandDef spec: document or listOf)",
                                      "undeclared set: list field 'Rows' declares no element structure",
                                      "undeclared set: required parameter 'port' has no example",
                                      "undeclared set: parameter 'drive' has a short option that is not '-' and one letter",
                                      "undeclared set: short option '-j' declared twice"}));
}

}  // namespace
