// The boundary with the vendor library: exported callbacks, fixtures the
// stand-in cannot use, and the state it keeps between runs.
#include <algorithm>
#include <cstdio>

#include "tests/e2e/Harness.h"

using namespace e2e;

TEST(Library, ExecutableExportsTheCallbacksUnderPlainNames) {
  FILE* pipe = popen("nm -D --defined-only " KXFCLI_PATH, "r");
  ASSERT_NE(pipe, nullptr);
  std::string symbols;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) symbols.append(buf, n);
  pclose(pipe);
  for (const char* name : {" T CoreMalloc\n", " T CoreZMalloc\n", " T CoreFree\n", " T CoreLogMessage\n",
                           " T TranslateMessageTypeToString\n", " B rxPowerArray\n", " B offsetArray\n",
                           " B slopeArray\n", " B valueArray\n"})
    EXPECT_NE(symbols.find(name), std::string::npos) << name;
}

TEST(Library, UnusableFixturesAreReportedInOneLineAndTheToolCarriesOn) {
  Sandbox box;
  struct Row {
    const char* name;
    std::string text;  // empty: the file does not exist
    std::string problem;
  } rows[] = {
      {"missing", "", "cannot be read: No such file or directory"},
      {"malformed", "{\"adapters\": [", "parse error"},
      {"wrongtype", R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [{"wwpn": 5}]}]}]})",
       "field \"wwpn\": expected hex bytes, got 5"},
      {"notanobject", "[1, 2]", "the top level must be an object"},
  };
  for (const Row& row : rows) {
    const std::string path = box.File(std::string(row.name) + ".json");
    if (!row.text.empty()) WriteFile(path, row.text);
    box.UseFixture(path);
    // Behaves as a library without an adapter list: lists print nothing,
    // commands naming an object report the missing host.
    Result r = box.Run({"-t", "target", "listcli"});
    EXPECT_EQ(r.out, "") << row.name;
    Result info = box.Run({"-t", "adapter", "-s", "info", "getcli", "Adapter_KX3262_KXA21350001"});
    EXPECT_EQ(info.out, ListError("AdapterInformation", "General Parameters", "Failed, Host not found").Text())
        << row.name;
    EXPECT_EQ(r.exitCode, 0) << row.name;
    EXPECT_EQ(r.signal, 0) << row.name;
    const std::string prefix = "kxsim: fixture " + path + ": ";
    EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << row.name << ": " << r.err;
    EXPECT_NE(r.err.find(row.problem), std::string::npos) << row.name << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << row.name << ": " << r.err;
    EXPECT_EQ(CallsNamed(r, "KXAPI_GetAdapterList").size(), 1u) << row.name;
  }
}
