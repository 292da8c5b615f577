// The XML commands of the built plug-in descriptor, each run as esxcli runs it.
#pragma once

#include "plugin/PluginDocs.h"
#include "tests/MiniXml.h"
#include "tests/e2e/Harness.h"

namespace e2e {

// An XML command of the built descriptor, run as esxcli runs it: its execute line with each
// parameter's declared example (a "file" parameter names a file of 64 bytes in the sandbox).
struct DescribedCommand {
  std::string path;  // "kxfc.port.info.get"
  kxplugin::XmlCommand command;
  const minixml::Node* declared;  // the descriptor's <command> element
  std::string execute;            // the execute line after the installed executable's path
  // The words, with the values in `values` in place of the examples.
  std::vector<std::string> Words(const Sandbox& box, const std::map<std::string, std::string>& values = {}) const;
};
// Every XML command of the tool's tree, in table order.
const std::vector<DescribedCommand>& DescribedCommands();

inline void PrintTo(const DescribedCommand& command, std::ostream* os) { *os << command.path; }

}  // namespace e2e
