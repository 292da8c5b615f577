// The tool as administrators' scripts use it: two setFile runs at once, a
// kill in the middle of a rewrite, signal storms with tracing on, input that
// must be refused whole, adapter values outside the user's range, and image
// files that are no regular files.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <regex>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

namespace fs = std::filesystem;

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kTarget = kPort + "_Target_50:00:c8:a1:00:00:10:01";
const std::string kCacheDir = "/opt/OrvtFcEsxcliPlugin/tmp";

// Starts kxfcli in the sandbox without waiting for it.
pid_t Spawn(const Sandbox& box, const std::vector<std::string>& args, const std::string& outPath,
            const std::string& inPath = "/dev/null", const char* debugLevel = nullptr) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    unsetenv("KXSIM_FIXTURE");
    unsetenv("KXSIM_CALLLOG");
    unsetenv("KXFC_DEBUG_LEVEL");
    if (debugLevel) setenv("KXFC_DEBUG_LEVEL", debugLevel, 1);
    setenv("KXFC_SANDBOX_ROOT", box.Root().c_str(), 1);
    setenv("KXSIM_STATE", box.StatePath().c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(KXFCLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(KXFCLI_PATH, argv.data());
    _exit(127);
  }
  return pid;
}

// The wait status, or -1 when the process has not ended within ms (it is then killed).
int WaitFor(pid_t pid, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(1000);
  }
  return status;
}

std::vector<std::string> Port(const char* family, std::vector<std::string> words) {
  words.insert(words.begin(), {"-t", "port", "-s", family});
  return words;
}

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// Names in the cache directory other than the cache files themselves.
std::vector<std::string> Leftovers(const Sandbox& box) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(box.HostPath(kCacheDir))) {
    const std::string name = e.path().filename();
    if (name.find("_tmp") != std::string::npos || name.find(".lock") != std::string::npos) names.push_back(name);
  }
  return names;
}

TEST(Reliability, TwoSetFileRunsAtOnceKeepBothKeys) {
  Sandbox box;
  struct Family {
    const char* name;
    const char* file;
    std::vector<std::string> first, second;
    const char* firstLine;
    const char* secondLine;
  };
  const Family families[] = {
      {"hbaparams", "HBAParams_", {"-r", "11"}, {"-u", "22"}, "Loop_Reset_Delay=11", "Login_Retry_Count=22"},
      {"bbcr", "BBCR_", {"-b", "true"}, {"-c", "7"}, "BBCR_Status=1", "BBCR_Count=7"},
  };
  for (int trial = 0; trial < 20; ++trial) {
    const Family& f = families[trial % 2];
    SCOPED_TRACE(std::string(f.name) + " trial " + std::to_string(trial));
    const std::string cache = box.HostPath(kCacheDir + "/" + f.file + kPort);
    fs::remove(cache);
    std::vector<std::string> a = Port(f.name, {"setFilecli", kPort});
    std::vector<std::string> b = a;
    a.insert(a.end(), f.first.begin(), f.first.end());
    b.insert(b.end(), f.second.begin(), f.second.end());
    const pid_t pa = Spawn(box, a, box.File("a.out"));
    const pid_t pb = Spawn(box, b, box.File("b.out"));
    ASSERT_EQ(WaitFor(pa, 10000), 0);
    ASSERT_EQ(WaitFor(pb, 10000), 0);
    EXPECT_TRUE(HasLine(ReadFile(box.File("a.out")), "Message: Success"));
    EXPECT_TRUE(HasLine(ReadFile(box.File("b.out")), "Message: Success"));
    const std::string staged = ReadFile(cache);
    EXPECT_TRUE(HasLine(staged, f.firstLine)) << staged;
    EXPECT_TRUE(HasLine(staged, f.secondLine)) << staged;
  }
  EXPECT_EQ(Leftovers(box), std::vector<std::string>{});
}

TEST(Reliability, AKillDuringSetFileLeavesTheOldOrTheNewFile) {
  Sandbox box;
  const std::string cache = box.HostPath(kCacheDir + "/HBAParams_" + kPort);
  ASSERT_TRUE(HasLine(box.Run(Port("hbaparams", {"setFilecli", kPort, "-r", "11"})).out, "Message: Success"));
  const std::string before = ReadFile(cache);
  ASSERT_TRUE(HasLine(before, "Loop_Reset_Delay=11"));
  std::string after = before;
  after.replace(after.find("Loop_Reset_Delay=11"), 19, "Loop_Reset_Delay=12");

  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(WaitFor(Spawn(box, Port("hbaparams", {"setFilecli", kPort, "-r", "12"}), box.File("out")), 10000), 0);
  const auto runUs = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  ASSERT_EQ(ReadFile(cache), after);

  std::mt19937 rng(18);
  int old = 0, replaced = 0;
  for (int trial = 0; trial < 50; ++trial) {
    WriteFile(cache, before);
    const pid_t pid = Spawn(box, Port("hbaparams", {"setFilecli", kPort, "-r", "12"}), box.File("out"));
    usleep(static_cast<useconds_t>(rng() % (runUs.count() + 1)));
    kill(pid, SIGKILL);
    WaitFor(pid, 10000);
    const std::string now = ReadFile(cache);
    ASSERT_TRUE(now == before || now == after) << "trial " << trial << ":\n" << now;
    (now == before ? old : replaced)++;
  }
  // What a killed run left behind goes with the next rewrite.
  ASSERT_TRUE(HasLine(box.Run(Port("hbaparams", {"setFilecli", kPort, "-u", "9"})).out, "Message: Success"));
  EXPECT_EQ(Leftovers(box), std::vector<std::string>{});
  RecordProperty("old", old);
  RecordProperty("new", replaced);
}

TEST(Reliability, SignalStormsWithTracingOnEndWithinSeconds) {
  Sandbox box;
  std::string commands;
  for (int i = 0; i < 50; ++i) commands += "-t adapter listcli\n";
  // No "q": at the end of its input the prompt waits, so the process is
  // still there for the last signal however fast it ran the commands.
  WriteFile(box.File("in"), commands);
  const std::string log = box.HostPath("/var/tmp/kxfcli.log");
  const std::regex closing(R"(\d{1,2}/\d{1,2}/\d{4} \d\d:\d\d:\d\d\.\d{3} CIM Provider \d+: \r\nClosing\.\.\.\r\n\r\n)");
  std::mt19937 rng(2);
  for (int storm = 0; storm < 5; ++storm) {
    SCOPED_TRACE("storm " + std::to_string(storm));
    fs::remove(log);
    const pid_t pid = Spawn(box, {}, box.File("out"), box.File("in"), "1");
    // The first trace line comes after the handlers are in place; a signal
    // before them would meet the default action.
    for (int i = 0; i < 5000 && !fs::exists(log); ++i) usleep(1000);
    for (int i = 0; i < 300; ++i) {
      kill(pid, SIGQUIT);
      usleep(static_cast<useconds_t>(rng() % 400));
    }
    kill(pid, storm % 2 ? SIGINT : SIGTERM);
    const int status = WaitFor(pid, 5000);
    ASSERT_NE(status, -1) << "still running after 5 s";
    // The handler traces the closing line and ends the process with SIGINT.
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    const std::string trace = ReadFile(log);
    EXPECT_TRUE(std::regex_search(trace, closing)) << trace.substr(trace.size() > 400 ? trace.size() - 400 : 0);
    EXPECT_NE(trace.find("\r\nBreaking...\r\n"), std::string::npos);
  }
}

// Input that a user mistyped is refused whole: status 6 with the usage text,
// and neither the cache file nor the adapter changes.
TEST(Reliability, MistypedWordsAreRefusedAndChangeNothing) {
  Sandbox box;
  const std::string hbaError = kStars + "HBAParametersInfo:\nMessage: Failed, Invalid parameter\nHBAParameters: " +
                               kStars + "Usage: setFile\r\n";
  const std::string bbcrError = kStars + "BBCRInfo:\nMessage: Failed, Invalid parameter\nBBCR: " + kStars +
                                "Usage: setFile\r\n";
  const std::string iidmaError = kStars + "TargetIIDMAInformation:\nMessage: Failed, Invalid parameter\n" +
                                 "Target IIDMA Info: " + kStars + "Usage: set [port identifier]\r\n";
  const std::string fecError = kStars + "FECInfo:\nReboot Required: false\nMessage: Failed, Invalid parameter\n" +
                               "FEC: " + kStars + "Usage: set\r\n";
  struct Case {
    const char* name;
    std::vector<std::string> words;
    std::string expected;
    const char* forbiddenCall;
  };
  const Case cases[] = {
      {"option=value form", Port("hbaparams", {"setFilecli", kPort, "-r", "11", "--data-rate=8"}), hbaError, ""},
      {"unknown option word", Port("hbaparams", {"setFilecli", kPort, "--speed", "8", "-r", "11"}), hbaError, ""},
      {"stray word", Port("hbaparams", {"setFilecli", kPort, "-r", "11", "now"}), hbaError, ""},
      {"option without value", Port("hbaparams", {"setFilecli", kPort, "-u", "9", "-r"}), hbaError, ""},
      {"trailing junk", Port("hbaparams", {"setFilecli", kPort, "-r", "11s"}), hbaError, ""},
      {"out of range", Port("hbaparams", {"setFilecli", kPort, "-o", "241"}), hbaError, ""},
      {"huge number", Port("hbaparams", {"setFilecli", kPort, "-w", "18446744073709551617"}), hbaError, ""},
      {"hexadecimal count", Port("bbcr", {"setFilecli", kPort, "-c", "0x0F"}), bbcrError, ""},
      {"signed count", Port("bbcr", {"setFilecli", kPort, "-c", "-1"}), bbcrError, ""},
      {"speed typo", {"-t", "target", "-v", "iidma", "setcli", kTarget, "16Gbps"}, iidmaError,
       "KXAPI_GetTargetLinkSpeed"},
      {"word after speed", {"-t", "target", "-v", "iidma", "setcli", kTarget, "8_Gbps", "now"}, iidmaError,
       "KXAPI_GetTargetLinkSpeed"},
      {"fec stray word", Port("fec", {"setcli", kPort, "-f", "true", "now"}), fecError, "KXAPI_FCSetFECSupportInfo"},
  };
  const std::string cache = box.HostPath(kCacheDir + "/HBAParams_" + kPort);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result r = box.Run(c.words);
    EXPECT_EQ(r.out, c.expected);
    EXPECT_FALSE(fs::exists(cache) || fs::exists(box.HostPath(kCacheDir + "/BBCR_" + kPort))) << "nothing staged";
    if (*c.forbiddenCall) {
      EXPECT_EQ(CallsNamed(r, c.forbiddenCall).size(), 0u);
    }
  }
  // A failed setFile leaves a staged file exactly as it was.
  ASSERT_TRUE(HasLine(box.Run(Port("hbaparams", {"setFilecli", kPort, "-r", "11"})).out, "Message: Success"));
  const std::string staged = ReadFile(cache);
  EXPECT_EQ(box.Run(Port("hbaparams", {"setFilecli", kPort, "-u", "9", "-z", "4096"})).out, hbaError);
  EXPECT_EQ(ReadFile(cache), staged);
  // "1_Gbps" itself is still a speed.
  const Result one = box.Run({"-t", "target", "-v", "iidma", "setcli", kTarget, "1_gbps"});
  EXPECT_EQ(CallsNamed(one, "KXAPI_SetTargetLinkSpeed").size(), 1u);
  EXPECT_TRUE(HasLine(one.out, "      Target Maximum Link Speed: 1_Gbps")) << one.out;
}

TEST(Reliability, AnOverLongPromptLineIsRefusedWhole) {
  Sandbox box;
  // The tail of the long line would be a valid command on its own.
  const std::string longLine = std::string(2047 - 7, ' ') + "version" + " q\n";
  const std::string exact = std::string(2047 - 7, ' ') + "version\n";
  const Result r = box.Run({}, longLine + exact + "q\n");
  EXPECT_EQ(r.out, "$>Error parsing command input string!\n$>Orvanta Kaltex Hexaview FC ESXCLI Plugin v1.7.4\r\n$>");
}

TEST(Reliability, AdapterValuesOutsideTheUserRangeGoBackUnchanged) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"model": "KX3262", "serial": "S1",
    "pci": {"device": "0x2230", "subDevice": "0x0101"},
    "ports": [{"number": 0, "entries": [{"wwpn": "21:00:00:c8:a1:30:01:00",
      "hbaParams": {"LinkDownTimeout": 255, "LoopResetDelay": 5},
      "bbcr": {"status": 1, "configured": 20, "state": 1, "negotiated": 4}}]}]}]})");
  Result r = box.Run(Port("hbaparams", {"setFilecli", kPort, "-r", "9"}));
  EXPECT_TRUE(HasLine(r.out, "Message: Success")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "Link Down Timeout In Seconds: 255"));
  EXPECT_TRUE(HasLine(r.out, "Loop Reset Delay In Seconds: 9"));
  r = box.Run(Port("hbaparams", {"setcli", kPort}));
  EXPECT_TRUE(HasLine(r.out, "Message: Success")) << r.out;
  EXPECT_TRUE(HasLine(box.Run(Port("hbaparams", {"getcli", kPort})).out, "Link Down Timeout In Seconds: 255"));
  EXPECT_TRUE(HasLine(box.Run(Port("hbaparams", {"getcli", kPort})).out, "Loop Reset Delay In Seconds: 9"));

  r = box.Run(Port("bbcr", {"setFilecli", kPort, "-b", "false"}));
  EXPECT_TRUE(HasLine(r.out, "Message: Success")) << r.out;
  r = box.Run(Port("bbcr", {"setcli", kPort}));
  EXPECT_EQ(CallsNamed(r, "KXAPI_FCSetBBCSupportInfo"),
            std::vector<std::string>{"KXAPI_FCSetBBCSupportInfo port=21:00:00:c8:a1:30:01:00 status=0 configured=20"});
}

TEST(Reliability, ImagesMustBeRegularReadableNonEmptyFiles) {
  Sandbox box;
  const std::string fifo = box.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directories(box.File("dir"));
  WriteFile(box.File("empty"), "");
  const std::string nvramError = kStars + "UpdateNVRAM:\nReboot Required: false\nMessage: Failed, File not found\n" +
                                 kStars;
  // The adapter's update has a status for each kind of file; NVRAM and SFP
  // images have the one file status.
  const std::pair<std::string, const char*> images[] = {{fifo, "Failed, File read Error"},
                                                        {box.File("dir"), "Failed, File read Error"},
                                                        {box.File("empty"), "Failed, Invalid File Size"},
                                                        {box.File("missing"), "Failed, File not found"}};
  for (const auto& [image, adapterMessage] : images) {
    SCOPED_TRACE(image);
    const struct {
      std::vector<std::string> words;
      std::string message;
    } commands[] = {
        {{"-t", "adapter", "updatecli", "Adapter_KX3262_KXA21350001", image}, std::string("Message: ") + adapterMessage},
        {{"-t", "port", "updatenvramcli", kPort, image}, "Message: Failed, File not found"},
        {Port("dmi", {"updatecli", kPort, image, "WTD"}), "Message: Failed, File not found"},
    };
    for (const auto& c : commands) {
      const pid_t pid = Spawn(box, c.words, box.File("out"));
      ASSERT_EQ(WaitFor(pid, 10000), 0) << "blocked on " << image;
      const std::string out = ReadFile(box.File("out"));
      EXPECT_TRUE(HasLine(out, c.message)) << out;
    }
    const Result r = box.Run({"-t", "port", "updatenvramcli", kPort, image});
    EXPECT_EQ(r.out, nvramError);
    EXPECT_TRUE(CallsNamed(r, "KXAPI_UpdateAdapterNVRAMFromFile").empty());
  }
}

}  // namespace
