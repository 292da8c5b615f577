// The key=value cache-file helpers: read rules, the rewrite and its safety.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "runtime/FileOps.h"

namespace {

namespace fs = std::filesystem;

class FileOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::string(KXFC_TEST_WORK_DIR) + "/FileOps." +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_;
};

TEST_F(FileOpsTest, UpdateRules) {
  const std::string longPiece(511, 'x');
  struct Case {
    const char* name;
    std::optional<std::string> start;  // nullopt: no file
    const char* key;
    std::string expected;
  } cases[] = {
      // Substring and case-sensitive: "maxspeed" goes, "Speed" stays.
      {"every line holding the key", "speed=8\nmaxspeed=16\nport=3\nSpeed=1\n", "speed", "speed=4\nspeed=4\nport=3\nSpeed=1\n"},
      {"a missing file is created", std::nullopt, "Data_Rate", "Data_Rate=4\n"},
      {"a missing key is appended", "Data_Rate=5\n", "Frame_Size", "Data_Rate=5\nFrame_Size=4\n"},
      {"after a last line without its newline", "a=1", "b", "a=1\nb=4\n"},
      {"comments are kept", "# staged\n\n   \n", "speed", "# staged\n\n   \nspeed=4\n"},
      // The 511-character piece is copied; the rest of the line, holding the key, is replaced.
      {"long lines piece by piece", longPiece + "tail key=1\nother=2\n", "key", longPiece + "key=4\nother=2\n"},
  };
  for (const Case& c : cases) {
    const std::string f = Path("cache");
    fs::remove(f);
    if (c.start) Write(f, *c.start);
    EXPECT_EQ(FileOps::UpdateKeyValueInFile(f.c_str(), c.key, "4"), 0u) << c.name;
    EXPECT_EQ(Read(f), c.expected) << c.name;
    EXPECT_FALSE(fs::exists(f + "_tmp")) << c.name;
  }
}

TEST_F(FileOpsTest, ReadRules) {
  struct Case {
    const char* name;
    std::string content;
    const char* key;
    size_t valueSize;
    int result;
    const char* value;
  };
  const std::string longLine(1022, 'a');
  const Case cases[] = {
      {"blanks, case and trailing comment", "  Speed = 8  # comment\n", "speed", 512, 1, "8"},
      {"tabs and CRLF", "\tSPEED\t=\t7\r\n", "speed", 512, 1, "7"},
      {"comments and blank lines skipped", "# speed=3\n\n   \nspeed=5\n", "speed", 512, 1, "5"},
      {"whole key only", "maxspeed=16\nspeedy=2\nspeed=4\n", "speed", 512, 1, "4"},
      {"first line wins", "speed=1\nspeed=2\n", "speed", 512, 1, "1"},
      {"hash ends the value", "speed=12#34\n", "speed", 512, 1, "12"},
      {"blank ends the value", "speed=12 34\n", "speed", 512, 1, "12"},
      {"empty value", "speed=\n", "speed", 512, 1, ""}, {"no separator", "speed 8\n", "speed", 512, 0, ""},
      {"value cut to the buffer", "speed=123456\n", "speed", 4, 1, "123"},
      {"long line read in pieces", longLine + "speed=9\n", "speed", 512, 1, "9"},
      {"key not present", "a=1\nb=2\n", "speed", 512, 0, ""},
      {"comments only", "# staged values\n\n   \n#speed=3\n", "speed", 512, 0, ""},
  };
  for (const Case& c : cases) {
    const std::string f = Path("read");
    Write(f, c.content);
    char value[512] = "untouched";
    EXPECT_EQ(FileOps::GetKeyValueFromFile(f.c_str(), c.key, value, c.valueSize, '='), c.result) << c.name;
    EXPECT_STREQ(value, c.result == 1 ? c.value : "untouched") << c.name;
  }
}

TEST_F(FileOpsTest, ReadFailuresAreNotNotFound) {
  char value[16];
  EXPECT_EQ(FileOps::GetKeyValueFromFile(Path("missing").c_str(), "k", value, sizeof value, '='), -2);
  EXPECT_EQ(FileOps::GetKeyValueFromFile(dir_.c_str(), "k", value, sizeof value, '='), -2) << "a directory";
  EXPECT_EQ(FileOps::GetKeyValueFromFile(nullptr, "k", value, sizeof value, '='), -1);
  EXPECT_EQ(FileOps::GetKeyValueFromFile(dir_.c_str(), nullptr, value, sizeof value, '='), -1);
  EXPECT_EQ(FileOps::GetKeyValueFromFile(dir_.c_str(), "k", nullptr, sizeof value, '='), -1);
}

TEST_F(FileOpsTest, SeveralKeysInOneRewriteEqualSuccessiveUpdates) {
  const std::string a = Path("a");
  const std::string b = Path("b");
  const std::string start = "Data_Rate=2\n# note\nFrame_Size=2048\n";
  Write(a, start);
  Write(b, start);
  const KeyValuePairs pairs = {{"Frame_Size", "1024"}, {"Data_Rate", "5"}, {"Hard_Loop_ID", "3"}};
  EXPECT_EQ(FileOps::UpdateKeyValuesInFile(a, pairs), 0u);
  for (const auto& [k, v] : pairs) EXPECT_EQ(FileOps::UpdateKeyValueInFile(b.c_str(), k.c_str(), v.c_str()), 0u);
  EXPECT_EQ(Read(a), Read(b));
  EXPECT_EQ(Read(a), "Data_Rate=5\n# note\nFrame_Size=1024\nHard_Loop_ID=3\n");
}

TEST_F(FileOpsTest, LockOrFileThatCannotBeOpenedLosesNothing) {
  const std::string f = Path("staged");
  const std::string original = "Data_Rate=5\nFrame_Size=1024\n";
  Write(f, original);
  fs::create_directories(f + ".lock");  // the lock file's name is taken by a directory
  EXPECT_EQ(FileOps::UpdateKeyValueInFile(f.c_str(), "Data_Rate", "6"), 19u);
  EXPECT_EQ(Read(f), original);
  // A directory where the file should be is neither recreated nor replaced.
  fs::create_directories(Path("adir/inside"));
  EXPECT_EQ(FileOps::UpdateKeyValueInFile(Path("adir").c_str(), "k", "v"), 19u);
  EXPECT_TRUE(fs::is_directory(Path("adir/inside")));
}

TEST_F(FileOpsTest, TemporaryFileThatCannotBeWrittenLosesNothing) {
  const std::string f = Path("staged");
  std::string original;
  for (int i = 0; i < 40; ++i) original += "Key_" + std::to_string(i) + "=" + std::to_string(i * 1000) + "\n";
  Write(f, original);

  // Writes beyond 64 bytes fail (EFBIG) while the limit holds.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const uint32_t st = FileOps::UpdateKeyValueInFile(f.c_str(), "Key_3", "7");
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);

  EXPECT_EQ(st, 19u);
  EXPECT_EQ(Read(f), original);
  EXPECT_FALSE(fs::exists(f + "_tmp"));
}

TEST_F(FileOpsTest, PresenceAndRemoval) {
  const std::string f = Path("present");
  EXPECT_EQ(FileOps::IsFilePresent(f.c_str()), 0);
  Write(f, "k=v\n");
  EXPECT_EQ(FileOps::IsFilePresent(f.c_str()), 1);
  EXPECT_EQ(FileOps::IsFilePresent(dir_.c_str()), 0) << "a directory is not a file";
  EXPECT_EQ(FileOps::RemoveFile(f.c_str()), 0u);
  EXPECT_FALSE(fs::exists(f));
  EXPECT_EQ(FileOps::RemoveFile(f.c_str()), 0u) << "already gone";
  fs::create_directories(f + "/x");
  EXPECT_EQ(FileOps::RemoveFile(f.c_str()), 19u) << "a non-empty directory cannot be removed";
}

TEST_F(FileOpsTest, StaleTemporariesGoWithTheNextRewriteAndNothingElse) {
  const std::string f = Path("HBAParams_FC_1");
  for (const char* name : {"HBAParams_FC_1_tmp", "HBAParams_FC_1_tmp.a1B2c3", "HBAParams_FC_1_tmpfile",
                           "HBAParams_FC_2_tmp.a1B2c3", "HBAParams_FC_1.lock"}) Write(Path(name), "x\n");
  ASSERT_EQ(FileOps::UpdateKeyValueInFile(f.c_str(), "Data_Rate", "5"), 0u);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  // The lock file is the holder's to remove: a stale one goes when released.
  EXPECT_EQ(names, (std::vector<std::string>{"HBAParams_FC_1", "HBAParams_FC_1_tmpfile", "HBAParams_FC_2_tmp.a1B2c3"}));
  EXPECT_EQ(Read(f), "Data_Rate=5\n");
}

TEST_F(FileOpsTest, NothingReachesTheFileBeforeCommitAndALockIsExclusive) {
  const std::string f = Path("BBCR_FC_1");
  Write(f, "BBCR_Count=8\n");
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

}  // namespace
