// Firmware dump: fetched from the library and written to the user's file unchanged.
#include <cstdio>
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

const std::vector<std::string> kFwDump = {"-t", "port", "-s", "fwdump"};
const std::string kCall = "KXAPI_SDGetFwDump2";

}  // namespace

TEST(FwDump, FileHoldsTheDumpByteForByte) {
  Sandbox box;
  box.UseFixture("fwdump-basic.json");
  const std::string path = box.File("dump.bin"), small = box.File("virtual.bin");
  // An older, longer file at the path is replaced, not partly overwritten.
  WriteFile(path, std::string(100000, 'x'));
  RunCases(box, kFwDump,
           {// The dump is asked for by the port's handle number.
            {{"getcli", kPort, path}, kSuccess, -1, kCall, {kCall + " instance=7 port=21:00:00:c8:a1:30:01:00 reserved=0"},
             "PhysicalPortFwDumpCmdsProcessor::CmdGetCommon: Entered"},
            // Virtual ports are not refused.
            {{"get", kVirtual, small}, MessageDoc("FwDumpInfo", "Success").Xml()}});
  EXPECT_EQ(ReadFile(path), PatternDump(70000));
  // Line ends, NUL and percent signs pass unchanged.
  EXPECT_EQ(ReadFile(small), std::string("\x00\x0a\x0d\x25\x73\xff\x1a", 7));
}

TEST(FwDump, LibraryFailuresMapToStatuses) {
  Sandbox box;
  box.UseFixture("fwdump-basic.json");
  const std::string readFailed = Failed("Failed, FW Dump read failed");
  // Ports 02:00 to 02:0a answer 0x20000063, ...64, ...65, ...71 (a buffer handed back), ...72, ...73,
  // ...74, ...7A, ...7B, ...7C and 1.
  const std::string expected[] = {readFailed, Failed("Failed, Invalid parameter") + kUsage, readFailed, readFailed,
                                  Failed("Failed, Memory Error"), Failed("Failed, Parameter Error") + kUsage,
                                  readFailed, readFailed, Failed("Failed, FW Dump Not Available"), readFailed,
                                  readFailed, Failed("Failed, FW Dump Not Available")};
  std::vector<Case> cases;
  for (int i = 0; i < 12; ++i) {
    char port[8];
    snprintf(port, sizeof port, "02:%02x", i);
    const std::string id = i < 11 ? "FC_21:00:00:c8:a1:30:" + std::string(port) : kNoDump;
    cases.push_back({{"getcli", id, box.File("dump" + std::to_string(i))}, expected[i], -1, kCall,
                     {kCall + " instance=" + std::to_string(i < 11 ? 20 + i : 9) + " port=" + id.substr(3) + " reserved=0"}});
  }
  RunCases(box, kFwDump, cases);
  for (int i = 0; i < 12; ++i) EXPECT_FALSE(FileExists(box.File("dump" + std::to_string(i)))) << i;
}

TEST(FwDump, ArgumentAndFileProblems) {
  Sandbox box;
  box.UseFixture("fwdump-basic.json");
  const std::string a = box.File("a.bin");
  RunCases(box, kFwDump,
           {// A path in a missing directory: the dump was read, the file cannot be made.
            {{"getcli", kPort, box.File("no-such-dir/dump.bin")}, Failed("Failed, File not found"), -1, kCall,
             {kCall + " instance=7 port=21:00:00:c8:a1:30:01:00 reserved=0"}},
            // Without a file name, or with a bad identifier or a help word, the dump is not fetched.
            {{"getcli", kPort}, Failed("Failed, Parameter Error") + kUsage, -1, kCall},
            {{"get", kPort}, MessageDoc("FwDumpInfo", "Failed, Parameter Error").Xml(), -1, kCall},
            {{"getcli", "FC_21:00:00:c8:a1:30:01:0", a}, Failed("Failed, Invalid parameter") + kUsage, -1, kCall},
            {{"getcli", "help", a}, Failed("Failed, Unknown") + kUsage, -1, kCall}});
  EXPECT_FALSE(std::filesystem::exists(box.File("no-such-dir")));
  EXPECT_FALSE(FileExists(a));
}
