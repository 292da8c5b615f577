// The tool as administrators' scripts use it: two setFile runs at once, signal
// storms with tracing on, input that must be refused whole, adapter values
// outside the user's range, and image files that are no regular files.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <regex>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

namespace fs = std::filesystem;

const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";
const std::string kCacheDir = "/opt/OrvtFcEsxcliPlugin/tmp";

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
    std::vector<std::string> a, b;
    const char* firstLine;
    const char* secondLine;
  };
  const Family families[] = {
      {"hbaparams", "HBAParams_", Port("hbaparams", {"setFilecli", kPort, "-r", "11"}),
       Port("hbaparams", {"setFilecli", kPort, "-u", "22"}), "Loop_Reset_Delay=11", "Login_Retry_Count=22"},
      {"bbcr", "BBCR_", Port("bbcr", {"setFilecli", kPort, "-b", "true"}), Port("bbcr", {"setFilecli", kPort, "-c", "7"}),
       "BBCR_Status=1", "BBCR_Count=7"},
  };
  for (int trial = 0; trial < 20; ++trial) {
    const Family& f = families[trial % 2];
    SCOPED_TRACE(std::string(f.name) + " trial " + std::to_string(trial));
    const std::string cache = box.HostPath(kCacheDir + "/" + f.file + kPort);
    fs::remove(cache);
    const pid_t pa = box.Start(f.a, "/dev/null", box.File("a.out"));
    const pid_t pb = box.Start(f.b, "/dev/null", box.File("b.out"));
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

TEST(Reliability, SignalStormsWithTracingOnEndWithinSeconds) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
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
    const pid_t pid = box.Start({}, box.File("in"), box.File("out"));
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
    for (const auto& [words, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"-t", "adapter", "updatecli", "Adapter_KX3262_KXA21350001", image}, adapterMessage},
             {{"-t", "port", "updatenvramcli", kPort, image}, "Failed, File not found"},
             {Port("dmi", {"updatecli", kPort, image, "WTD"}), "Failed, File not found"}}) {
      ASSERT_EQ(WaitFor(box.Start(words, "/dev/null", box.File("out")), 10000), 0) << "blocked on " << image;
      EXPECT_TRUE(HasLine(ReadFile(box.File("out")), "Message: " + message)) << ReadFile(box.File("out"));
    }
    const Result r = box.Run({"-t", "port", "updatenvramcli", kPort, image});
    EXPECT_EQ(r.out, nvramError);
    EXPECT_TRUE(CallsNamed(r, "KXAPI_UpdateAdapterNVRAMFromFile").empty());
  }
}

}  // namespace
