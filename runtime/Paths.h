// Where the tool reads and writes on the host.
//
// The installed tool uses the fixed host paths below as they stand. Development
// and test builds put every one of them under a root inside the build tree, so
// that nothing a test does reaches the host's /var/tmp or /opt. The root is
// chosen in one place: the KXFC_PATH_ROOT definition of the build, and (only in
// sandboxed builds) the KXFC_SANDBOX_ROOT environment variable, which lets tests
// running in parallel each use a root of their own.
#pragma once

#include <string>

namespace kxpaths {

inline constexpr const char* kVarTmp = "/var/tmp";
inline constexpr const char* kOutputLog = "/var/tmp/kxapi-output.log";
inline constexpr const char* kCacheDir = "/opt/OrvtFcEsxcliPlugin/tmp";

// The root every fixed path is placed under; empty for the installed tool.
const std::string& Root();

// A fixed host path as this build sees it.
std::string Resolve(const char* fixedPath);

// Creates a directory and its parents (like mkdir -p); true when it exists afterwards.
bool MakeDirs(const std::string& path);

}  // namespace kxpaths
