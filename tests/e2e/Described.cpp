#include "tests/e2e/Described.h"

#include <sstream>

#include "shell/MainCmdsProcessor.h"

namespace e2e {

std::vector<std::string> DescribedCommand::Words(const Sandbox& box,
                                                 const std::map<std::string, std::string>& values) const {
  const std::string file = box.File(command.entry->GetName() + "-" + command.modes.back() + ".bin");
  bool takesFile = false;
  for (const ParamDef& p : command.spec->params) takesFile |= std::string(p.name) == "file";
  if (takesFile) WriteFile(file, std::string(64, '\x5a'));
  auto value = [&](const std::string& name) {
    if (values.count(name)) return values.at(name);
    if (name == "file") return file;
    for (const ParamDef& p : command.spec->params) if (p.example && name == p.name) return std::string(p.example);
    return std::string();
  };
  // $if{name, text} keeps the text when the parameter has a value; $val{name} is the value.
  std::string line = execute;
  for (size_t at; (at = line.find("$if{")) != std::string::npos;) {
    const size_t comma = line.find(',', at);
    const size_t end = line.find('}', line.find('}', at) + 1);  // past the inner $val{...}
    const std::string kept = value(line.substr(at + 4, comma - at - 4)).empty() ? "" : line.substr(comma + 2, end - comma - 2);
    line.replace(at, end + 1 - at, kept);
  }
  for (size_t at; (at = line.find("$val{")) != std::string::npos;) {
    const size_t end = line.find('}', at);
    line.replace(at, end + 1 - at, value(line.substr(at + 5, end - at - 5)));
  }
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

const std::vector<DescribedCommand>& DescribedCommands() {
  static MainCmdsProcessor root;
  static const auto plugin = minixml::Parse(ReadFile(KXFC_DESCRIPTOR_PATH));
  static const std::vector<DescribedCommand> commands = [] {
    root.AddModes();
    std::map<std::string, const minixml::Node*> described;
    for (const minixml::Node* c : plugin->Child("commands")->All("command")) described[c->Attr("path")] = c;
    std::vector<DescribedCommand> all;
    for (const kxplugin::XmlCommand& c : kxplugin::XmlCommands(root)) {
      std::string path = kxplugin::kNamespace;
      for (const std::string& m : c.modes) path += "." + m;
      path += "." + c.entry->GetName();
      const minixml::Node* declared = described.count(path) ? described[path] : nullptr;
      EXPECT_TRUE(declared) << path << " is not in the descriptor";
      std::string execute = declared ? declared->Child("execute")->text : "";
      EXPECT_EQ(execute.rfind(kxplugin::kInstalledExecutable, 0), 0u) << execute;
      execute.erase(0, std::string(kxplugin::kInstalledExecutable).size());  // the sandbox runs the built tool
      all.push_back({path, c, declared, execute});
    }
    return all;
  }();
  return commands;
}

}  // namespace e2e
