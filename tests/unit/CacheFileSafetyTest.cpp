// The safety of cache-file rewrites and the strict reading of option words.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "runtime/FileOps.h"
#include "shell/Words.h"

namespace {

namespace fs = std::filesystem;

std::string Dir(const char* name) {
  const std::string dir = std::string(KXFC_TEST_WORK_DIR) + "/CacheFileSafety." + name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(CacheFileSafety, StaleTemporariesGoWithTheNextRewriteAndNothingElse) {
  const std::string dir = Dir("Stale");
  const std::string f = dir + "/HBAParams_FC_1";
  for (const char* name : {"HBAParams_FC_1_tmp", "HBAParams_FC_1_tmp.a1B2c3", "HBAParams_FC_1_tmpfile",
                           "HBAParams_FC_2_tmp.a1B2c3", "HBAParams_FC_1.lock"})
    std::ofstream(dir + "/" + name) << "x\n";
  ASSERT_EQ(FileOps::UpdateKeyValueInFile(f.c_str(), "Data_Rate", "5"), 0u);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  // The lock file is the holder's to remove: a stale one goes when released.
  EXPECT_EQ(names, (std::vector<std::string>{"HBAParams_FC_1", "HBAParams_FC_1_tmpfile", "HBAParams_FC_2_tmp.a1B2c3"}));
  EXPECT_EQ(Read(f), "Data_Rate=5\n");
}

TEST(CacheFileSafety, NothingReachesTheFileBeforeCommitAndALockIsExclusive) {
  const std::string f = Dir("Commit") + "/BBCR_FC_1";
  std::ofstream(f) << "BBCR_Count=8\n";
  std::optional<KeyValueFile> file(std::in_place, f);
  ASSERT_EQ(file->Load(), 0u);
  file->Update({{"BBCR_Count", "3"}, {"BBCR_Status", "1"}});
  char value[8] = "";
  EXPECT_EQ(file->Get("bbcr_count", value, sizeof value), 1);
  EXPECT_STREQ(value, "3");
  EXPECT_EQ(Read(f), "BBCR_Count=8\n");
  // Another process waits for the lock until this one lets go of it.
  const pid_t child = fork();
  if (child == 0) _exit(FileOps::UpdateKeyValueInFile(f.c_str(), "BBCR_Status", "0") == 0 ? 0 : 1);
  usleep(100000);
  EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "the other process must still wait";
  EXPECT_EQ(file->Commit(), 0u);
  EXPECT_EQ(Read(f), "BBCR_Count=3\nBBCR_Status=1\n");
  file.reset();
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Read(f), "BBCR_Count=3\nBBCR_Status=0\n");
  EXPECT_FALSE(fs::exists(f + ".lock"));
}

TEST(CacheFileSafety, OptionWordsAreReadStrictly) {
  const OptionName names[] = {{"-r", "--refresh"}, {"-c", "--count"}};
  struct Case {
    Words words;
    bool ok;
    const char* offending;
    const char* refresh;  // value of -r, "" when not given
  };
  const Case cases[] = {
      {{}, true, "", ""},
      {{"-R", "true", "--COUNT", "3"}, true, "", "true"},
      {{"-r", "a", "--refresh", "b"}, true, "", "a"},  // the first occurrence wins
      {{"--refresh=true"}, false, "--refresh=true", ""},
      {{"-r", "true", "extra"}, false, "extra", ""},
      {{"-c"}, false, "-c", ""},
      {{"-x", "1"}, false, "-x", ""},
  };
  for (const Case& c : cases) {
    OptionWords options;
    std::string offending;
    EXPECT_EQ(options.Read(c.words, names, offending), c.ok) << c.offending;
    if (!c.ok) {
      EXPECT_EQ(offending, c.offending);
      continue;
    }
    std::string value;
    EXPECT_EQ(options.Get(names[0], value), *c.refresh != '\0');
    if (*c.refresh) {
      EXPECT_EQ(value, c.refresh);
    }
  }
  EXPECT_EQ(ParseStoredNumber("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseStoredNumber("-2147483648"), 0x80000000u);
  EXPECT_EQ(ParseStoredNumber("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseStoredNumber("4294967296"), std::nullopt);
  EXPECT_EQ(ParseStoredNumber("-2147483649"), std::nullopt);
  EXPECT_EQ(ParseStoredNumber("12 "), std::nullopt);
  EXPECT_EQ(ParseStoredNumber("-"), std::nullopt);
}

}  // namespace
