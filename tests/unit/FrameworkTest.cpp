#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/Paths.h"
#include "shell/CmdProcessor.h"
#include "shell/RunFlags.h"
#include "shell/Words.h"
#include "tests/unit/Capture.h"

namespace {

class SubFamily : public MultipleCmdsProcessor {
 public:
  explicit SubFamily(CmdProcessor* parent)
      : MultipleCmdsProcessor("SubFamily", "Sub", "sub", "-s", "sub help", parent) {}
  uint32_t CmdGetCommon(Words&, uint32_t) { return 0; }

 protected:
  void RegisterCommands() override {
    static const CommandDef<SubFamily> kTable[] = {
        {"get", "get it", 0, CommandKind::kXml, &SubFamily::CmdGetCommon, "CmdGet"},
    };
    AddCommands(this, kTable);
  }
};

class Family : public MultipleCmdsProcessor {
 public:
  explicit Family(CmdProcessor* parent)
      : MultipleCmdsProcessor("Family", "Test", "fam", "-t", "family help", parent) {
    sub = AddSubMode(std::make_unique<SubFamily>(this));
  }
  SubFamily* sub;
  uint32_t CmdListCommon(Words&, uint32_t) { return 0; }

 protected:
  void RegisterCommands() override {
    static const CommandDef<Family> kTable[] = {
        {"list", "list things", 0, CommandKind::kXml, &Family::CmdListCommon, "CmdList"},
        {"help", "list of available commands", 1, CommandKind::kHelp},
        {"listcli", "list things", 2, CommandKind::kText, &Family::CmdListCommon, "CmdListCli", "Usage: list\r\n"},
    };
    AddCommands(this, kTable);
  }
};

class Root : public MultipleCmdsProcessor {
 public:
  Root() : MultipleCmdsProcessor("Root", "main", "main", "", "root", nullptr) {
    fam = AddSubMode(std::make_unique<Family>(this));
  }
  Family* fam;
};

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override { RunFlags = RUN_ONE_SHOT; }
  void TearDown() override { RunFlags = 0; }

  // The entry the words select and the words left for it.
  std::pair<CmdProcessor*, Words> Find(Words words) {
    CmdProcessor* entry = root.FindCommand(&root, words);
    return {entry, words};
  }
  Root root;
};

}  // namespace

TEST_F(FrameworkTest, SelectorPairsStandAnywhereButTheLeafComesFirst) {
  struct Row {
    Words words;
    const char* entry;  // nullptr: nothing found
    Words left;
  } rows[] = {
      {{"-t", "fam", "listcli"}, "listcli", {}}, {{"listcli", "-t", "fam"}, "listcli", {}},
      {{"-t", "FAM", "LISTCLI", "x", "y"}, "listcli", {"x", "y"}},
      {{"-t", "fam", "xyz", "listcli"}, nullptr, {}}, {{"-t", "fam"}, nullptr, {}},
      {{"get", "-s", "sub", "id", "-t", "fam"}, "get", {"id"}},
      {{"-s", "sub", "-t", "fam", "get"}, "get", {}},
      {{"-t", "sub", "get"}, nullptr, {}},  // a sub-mode pair needs its own switch
      {{"-t", "fam", "get"}, nullptr, {}},  // and its mode pair
      {{"fam", "listcli"}, nullptr, {}},    // a mode with a switch needs the pair
  };
  for (const Row& row : rows) {
    auto [entry, left] = Find(row.words);
    std::string label;
    for (const auto& w : row.words) label += w + " ";
    if (!row.entry) {
      EXPECT_EQ(entry, nullptr) << label;
      continue;
    }
    ASSERT_NE(entry, nullptr) << label;
    EXPECT_EQ(entry->GetName(), row.entry) << label;
    EXPECT_EQ(left, row.left) << label;
  }
}

TEST_F(FrameworkTest, FamilyHelpListsTwinsAndSubModesRootListingSkipsUnlisted) {
  auto [entry, left] = Find({"-t", "fam", "help"});
  CaptureStdout capture;
  EXPECT_EQ(root.RunCommand(entry, left), 0u);
  EXPECT_EQ(root.fam->Usage(left, 1), 0u);  // the help row's usage is the same listing
  const std::string listing = "\r\nFollowing is the list of available commands in the Test command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "list        : list things\r\n"
            "help        : list of available commands\r\n"
            "listcli     : list things\r\n"
            "sub         : sub help\r\n";
  EXPECT_EQ(capture.Text(), listing + listing);
}

TEST(Words, TokenizeQuotingRules) {
  struct Row { const char* line; std::optional<Words> words; } rows[] = {
      {"  a \t b\r\n", Words{"a", "b"}}, {"", Words{}}, {" \t ", Words{}}, {"ab\"c d\"e", Words{"abc de"}},
      {"x \"\" y", Words{"x", "", "y"}}, {"\"a b\" c", Words{"a b", "c"}},
      {"a\\ b", Words{"a\\", "b"}},  // no escape character
      {"one \"two", std::nullopt}, {"\"", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(Tokenize(row.line), row.words) << row.line;
}

TEST(Words, HelpWordsDigitsAndCase) {
  for (const char* w : {"help", "HELP", "/h", "/Help", "-h", "-help", "/?", "?"}) EXPECT_TRUE(IsHelpRequest(w)) << w;
  for (const char* w : {"", "h", "--help", "helpme", "??"}) EXPECT_FALSE(IsHelpRequest(w)) << w;
  EXPECT_TRUE(IsAllDigits("") && IsAllDigits("0123"));
  EXPECT_FALSE(IsAllDigits("12a") || IsAllDigits("-1"));
  EXPECT_TRUE(EqualsNoCase("Adapter_M", "aDAPTER_m"));
  EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4"));  // only A-Z fold
}

TEST(Words, ParseNumberIsWholeWordAndRanged) {
  struct Row { const char* word; uint64_t min, max; int base; std::optional<uint64_t> expected; } rows[] = {
      {"12", 0, 100, 10, 12},       {"12abc", 0, 100, 10, std::nullopt}, {"", 0, 100, 10, std::nullopt},
      {"101", 0, 100, 10, std::nullopt}, {"0", 1, 100, 10, std::nullopt}, {"4294967297", 0, 0xFFFFFFFF, 10, std::nullopt},
      {"-1", 0, 100, 10, std::nullopt}, {"0x0F", 0, 255, 10, std::nullopt}, {"0x0F", 0, 255, 16, 15},
      {"ff", 0, 255, 16, 255},      {"0x", 0, 255, 16, std::nullopt},    {"99999999999999999999", 0, UINT64_MAX, 10, std::nullopt},
      {"18446744073709551615", 0, UINT64_MAX, 10, UINT64_MAX},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseNumber(row.word, row.min, row.max, row.base), row.expected) << row.word;
}

TEST(Words, OptionWordsAreReadStrictly) {
  const OptionName names[] = {{"-r", "--refresh"}, {"-c", "--count"}};
  struct Case {
    Words words;
    bool ok;
    const char* offending;
    const char* refresh;  // value of -r, "" when not given
  };
  const Case cases[] = {
      {{}, true, "", ""}, {{"-R", "true", "--COUNT", "3"}, true, "", "true"},
      {{"-r", "a", "--refresh", "b"}, true, "", "a"},  // the first occurrence wins
      {{"--refresh=true"}, false, "--refresh=true", ""}, {{"-r", "true", "extra"}, false, "extra", ""},
      {{"-c"}, false, "-c", ""}, {{"-x", "1"}, false, "-x", ""},
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

namespace {

class LibraryCallFamily : public MultipleCmdsProcessor {
 public:
  LibraryCallFamily() : MultipleCmdsProcessor("LibraryCallFamily", "Calls", "c", "-t", "c help", nullptr) {}
  using MultipleCmdsProcessor::WithLibraryOutput;
};

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TEST(LibraryOutputHelper, CallsPrintIntoTheLogAndStandardOutputComesBack) {
  namespace fs = std::filesystem;
  // A root of its own, so that parallel tests never share the log.
  const std::string root = std::string(KXFC_TEST_WORK_DIR) + "/LibraryOutputHelper";
  fs::remove_all(root);
  setenv("KXFC_SANDBOX_ROOT", root.c_str(), 1);
  const std::string log = kxpaths::Resolve(kxpaths::kOutputLog);
  fs::remove(log);  // when an earlier test in this process fixed the root
  LibraryCallFamily family;
  int calls = 0;
  {
    CaptureStdout capture;
    printf("before\n");
    EXPECT_TRUE(family.WithLibraryOutput("CmdGetCommon", [&] {
      ++calls;
      printf("from the library\n");
    }));
    printf("after\n");
    EXPECT_EQ(capture.Text(), "before\nafter\n");
  }
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(FileText(log), "from the library\n");
}
