// The esxcli plug-in descriptor and the command reference, both written from
// the command tree the tool runs and the declarations in its command tables.
#pragma once

#include <string>
#include <vector>

#include "shell/CmdProcessor.h"

namespace kxplugin {

inline constexpr const char* kNamespace = "kxfc";
inline constexpr const char* kInstalledExecutable = "/opt/OrvtFcEsxcliPlugin/bin/kxfcli";

// One XML command of the tree and the way to reach it.
struct XmlCommand {
  std::vector<std::string> modes;      // "port", "info"
  std::vector<std::string> selectors;  // "-t", "port", "-s", "info"
  const CmdProcessor* entry;
  const CommandSpec* spec;

  std::string Path() const;  // "port info get"
};

// Every XML command under root, in table order.
std::vector<XmlCommand> XmlCommands(MultipleCmdsProcessor& root);

// Declarations that cannot describe their command: one line per problem,
// naming the command ("port info get: ..."). Empty when all are complete.
std::vector<std::string> CheckDeclarations(MultipleCmdsProcessor& root);

// The fields of a structure document, its message field ("Message") included, in writing order.
std::vector<FieldDecl> DocumentFields(const ErrorDocument& doc);

// The execute line esxcli runs for the command.
std::string ExecuteLine(const XmlCommand& command, const std::string& executable);

std::string Descriptor(MultipleCmdsProcessor& root, const std::string& executable);
std::string Reference(MultipleCmdsProcessor& root);

}  // namespace kxplugin
