// kxfc-plugin-gen: writes the esxcli plug-in descriptor and the command
// reference from the command tree, or fails naming every command whose
// declarations cannot describe it.
//
//   kxfc-plugin-gen [--descriptor FILE] [--reference FILE] [--executable PATH]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "plugin/PluginDocs.h"
#include "shell/MainCmdsProcessor.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  fprintf(stderr, "kxfc-plugin-gen: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string descriptor;
  std::string reference;
  std::string executable = kxplugin::kInstalledExecutable;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (hasValue && strcmp(argv[i], "--descriptor") == 0) {
      descriptor = argv[++i];
    } else if (hasValue && strcmp(argv[i], "--reference") == 0) {
      reference = argv[++i];
    } else if (hasValue && strcmp(argv[i], "--executable") == 0) {
      executable = argv[++i];
    } else {
      fprintf(stderr, "usage: kxfc-plugin-gen [--descriptor FILE] [--reference FILE] [--executable PATH]\n");
      return 2;
    }
  }
  MainCmdsProcessor* root = MainCmdsProcessor::Get();
  root->AddModes();
  const std::vector<std::string> problems = kxplugin::CheckDeclarations(*root);
  for (const std::string& p : problems) fprintf(stderr, "kxfc-plugin-gen: %s\n", p.c_str());
  bool ok = problems.empty();
  if (ok && !descriptor.empty()) ok = WriteFile(descriptor, kxplugin::Descriptor(*root, executable));
  if (ok && !reference.empty()) ok = WriteFile(reference, kxplugin::Reference(*root));
  MainCmdsProcessor::Destroy();
  return ok ? 0 : 1;
}
