// The boundary with the vendor library: the callbacks it finds in the executable.
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
