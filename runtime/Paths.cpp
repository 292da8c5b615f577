#include "runtime/Paths.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#ifndef KXFC_PATH_ROOT
#define KXFC_PATH_ROOT ""
#endif

namespace kxpaths {

const std::string& Root() {
  static const std::string root = [] {
    std::string r = KXFC_PATH_ROOT;
#ifdef KXFC_SANDBOX
    if (const char* env = std::getenv("KXFC_SANDBOX_ROOT"); env && *env) r = env;
    // A sandbox starts empty; give it the host directories the tool expects to exist.
    if (!r.empty()) MakeDirs(r + kVarTmp);
#endif
    return r;
  }();
  return root;
}

std::string Resolve(const char* fixedPath) { return Root() + fixedPath; }

bool MakeDirs(const std::string& path) {
  if (path.empty()) return false;
  std::string partial;
  size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    partial = path.substr(0, pos);
    if (partial.empty()) continue;
    if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace kxpaths
