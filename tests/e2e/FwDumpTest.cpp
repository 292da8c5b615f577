// Firmware dump: fetched from the library and written to the user's file unchanged.
#include <filesystem>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kVirtual = "FC_21:00:00:c8:a1:30:01:80";
const std::string kNoDump = "FC_21:00:00:c8:a1:30:01:01";

const std::string kSuccess = MessageDoc("FwDumpInfo", "Success").Text();
std::string Failed(const std::string& message) { return MessageDoc("FwDumpInfo", message).Text(); }
const std::string kUsage = "Usage: get\r\n";

// The stand-in's {"size": n} dump: byte i is (i * 37 + 11) mod 256.
std::string PatternDump(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  return bytes;
}

Result Dump(const Sandbox& box, const std::vector<std::string>& words) {
  std::vector<std::string> args = {"-t", "port", "-s", "fwdump"};
  args.insert(args.end(), words.begin(), words.end());
  return box.Run(args);
}

}  // namespace

TEST(FwDump, FileHoldsTheDumpByteForByte) {
  Sandbox box;
  box.UseFixture("fwdump-basic.json");
  const std::string path = box.File("dump.bin");
  // An older, longer file at the path is replaced, not partly overwritten.
  WriteFile(path, std::string(100000, 'x'));

  Result r = Dump(box, {"getcli", kPort, path});
  EXPECT_EQ(r.out, kSuccess);
  EXPECT_EQ(ReadFile(path), PatternDump(70000));
  // The dump is asked for by the port's handle number.
  EXPECT_EQ(CallsNamed(r, "KXAPI_SDGetFwDump2"),
            std::vector<std::string>{"KXAPI_SDGetFwDump2 instance=7 port=21:00:00:c8:a1:30:01:00 reserved=0"});

  // Virtual ports are not refused; line ends, NUL and percent signs pass unchanged.
  const std::string small = box.File("virtual.bin");
  r = Dump(box, {"get", kVirtual, small});
  EXPECT_EQ(r.out, MessageDoc("FwDumpInfo", "Success").Xml());
  EXPECT_EQ(ReadFile(small), std::string("\x00\x0a\x0d\x25\x73\xff\x1a", 7));
}

TEST(FwDump, LibraryFailuresMapToStatuses) {
  Sandbox box;
  box.UseFixture("fwdump-basic.json");
  const std::string readFailed = Failed("Failed, FW Dump read failed");
  struct Case {
    std::string port;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"FC_21:00:00:c8:a1:30:02:00", readFailed},                               // 0x20000063: outside the table
      {"FC_21:00:00:c8:a1:30:02:01", Failed("Failed, Invalid parameter") + kUsage},  // 0x20000064
      {"FC_21:00:00:c8:a1:30:02:02", readFailed},                               // 0x20000065
      {"FC_21:00:00:c8:a1:30:02:03", readFailed},                               // 0x20000071, buffer handed back
      {"FC_21:00:00:c8:a1:30:02:04", Failed("Failed, Memory Error")},           // 0x20000072
      {"FC_21:00:00:c8:a1:30:02:05", Failed("Failed, Parameter Error") + kUsage},  // 0x20000073
      {"FC_21:00:00:c8:a1:30:02:06", readFailed},                               // 0x20000074
      {"FC_21:00:00:c8:a1:30:02:07", readFailed},                               // 0x2000007A
      {"FC_21:00:00:c8:a1:30:02:08", Failed("Failed, FW Dump Not Available")},  // 0x2000007B
      {"FC_21:00:00:c8:a1:30:02:09", readFailed},                               // 0x2000007C
      {"FC_21:00:00:c8:a1:30:02:0a", readFailed},                               // 1
      {kNoDump, Failed("Failed, FW Dump Not Available")},
  };
  for (const Case& c : cases) {
    const std::string path = box.File("dump-" + c.port.substr(c.port.size() - 5, 2) + c.port.substr(c.port.size() - 2));
    Result r = Dump(box, {"getcli", c.port, path});
    EXPECT_EQ(r.out, c.expected) << c.port;
    EXPECT_EQ(CallsNamed(r, "KXAPI_SDGetFwDump2").size(), 1u) << c.port;
    EXPECT_FALSE(FileExists(path)) << c.port;
  }
}

TEST(FwDump, ArgumentAndFileProblems) {
  Sandbox box;
  box.UseFixture("fwdump-basic.json");

  // A path in a missing directory: the dump was read, the file cannot be made.
  const std::string inMissingDir = box.File("no-such-dir/dump.bin");
  Result r = Dump(box, {"getcli", kPort, inMissingDir});
  EXPECT_EQ(r.out, Failed("Failed, File not found"));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SDGetFwDump2").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(box.File("no-such-dir")));

  // Without a file name the dump is not fetched.
  r = Dump(box, {"getcli", kPort});
  EXPECT_EQ(r.out, Failed("Failed, Parameter Error") + kUsage);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SDGetFwDump2").empty());

  struct Case {
    std::vector<std::string> words;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{"getcli", "FC_21:00:00:c8:a1:30:01:0", box.File("a.bin")}, Failed("Failed, Invalid parameter") + kUsage},
      {{"getcli", "?"}, kUsage},
      {{"getcli", "help", box.File("a.bin")}, Failed("Failed, Unknown") + kUsage},
      {{"get", kPort},
       MessageDoc("FwDumpInfo", "Failed, Parameter Error").Xml()},
      {{"help"},
       "\r\nFollowing is the list of available commands in the Firmware Dump command mode.\r\n"
       "For detailed information of each command, please type 'command ?'\r\n"
       "All commands are case insensitive.\r\n\r\n"
       "get         : get Kaltex Firmware Dump information\r\n"
       "help        : list of available commands\r\n"
       "getcli      : get Kaltex Firmware Dump information\r\n"},
  };
  for (const Case& c : cases) {
    r = Dump(box, c.words);
    EXPECT_EQ(r.out, c.expected) << c.words[0] << " " << c.words.back();
    EXPECT_TRUE(CallsNamed(r, "KXAPI_SDGetFwDump2").empty());
  }
  EXPECT_FALSE(FileExists(box.File("a.bin")));
}
