// The program's entry, the prompt loop and the root commands, seen from outside.
#include <csignal>
#include <filesystem>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPrompt = "$>";
const std::string kVersionLine = "Orvanta Kaltex Hexaview FC ESXCLI Plugin v1.7.4\r\n";
const std::string kHelpHead = "\r\nFollowing is the list of available commands.\r\n"
    "For detailed information of each command, please type 'command ?'\r\n"
    "All commands are case insensitive.\r\n\r\n";
const std::string kRootListing = "q           : quit the program\r\n"
    "log         : log all command input and output to a file\r\n"
    "version     : display version of this program\r\n"
    "help        : list of available commands\r\n"
    "adapter     : use this command to get/set/list Kaltex adapters\r\n"
    "port        : use this command to get/set/list Kaltex Ports\r\n"
    "target      : use this command to get/list targets detected by Kaltex adapters\r\n"
    "lun         : use this command to get/list LUNs detected by Kaltex adapters\r\n";
const std::string kReadmeLine = "\nFor a complete help. Please refer to ZFC_ESXCLI_Readme.txt in the same folder.\r\n";
const std::string kUnknown = "Unknown command or invalid target identifier!\r\n";

}  // namespace

TEST(Shell, CommandLinesAndPromptSessions) {
  const std::string help = kHelpHead + kRootListing + kReadmeLine;
  const std::string paramError = "Command parameter Error!\r\n";
  const std::string versionUsage = "Usage: version\r\n    display version of this program.\r\n";
  const struct {
    std::vector<std::string> args;
    std::string input;  // on standard input
    std::string out;
  } rows[] = {
      {{}, "version\nhelp\nq\n", kPrompt + kVersionLine + kPrompt + kHelpHead + kRootListing + kPrompt},
      // One-shot help ends with the readme line; the hidden aliases are not listed.
      {{"help"}, "", help}, {{"?"}, "", help}, {{"/h"}, "", help}, {{"/HELP"}, "", help}, {{"/?"}, "", help},
      // Start-up switches are consumed in any case and order; after the first other word
      // a switch is an ordinary command word.
      {{"-eng", "-DEBUG", "-Eng", "help"}, "", help}, {{"help", "-debug"}, "", help},
      // "version" or "q" anywhere on the command line runs nothing.
      {{"-t", "adapter", "list", "version"}, "", ""}, {{"version"}, "", ""}, {{"Q"}, "", ""},
      {{"-t", "port", "q", "list"}, "", ""}, {{"-t", "adapter"}, "", kUnknown}, {{"frobnicate"}, "", kUnknown},
      {{"-t", "nosuchmode", "list"}, "", kUnknown},
      // A mode alone runs nothing; two words without a switch name no command;
      // a line of blanks and an empty line just prompt again.
      {{}, "adapter\nadapter list\n   \n\nq\n", kPrompt + kPrompt + kUnknown + kPrompt + kPrompt + kPrompt},
      {{}, "q now\nq\n", kPrompt + paramError + "Usage: q\r\n    return to the parent prompt.\r\n" + kPrompt},
      {{}, "version 2\nlog ?\nversion ?\nq\n", kPrompt + paramError + versionUsage + kPrompt +
           "Usage: log [<filename>]\r\n    filename    : The file to log all the output to. \r\n"
           "                    If no filename is supplied, the currently open log \r\n"
           "                    file will be closed.\r\n" + kPrompt + versionUsage + kPrompt},
      {{}, "version \"abc\nq\n", kPrompt + "Error parsing command input string!\n" + kPrompt},
      // "version" with one (empty) quoted word is a parameter error, not a bare version.
      {{}, "version \"\"\nq\n", kPrompt + paramError + versionUsage + kPrompt},
      // End of input without a break quits.
      {{}, "", kPrompt + "Unknown input problem!\r\nQuit...\r\n"},
      {{}, "log /nonexistent-dir/x.log\nq\n", kPrompt + "Failed to create file /nonexistent-dir/x.log\n" + kPrompt},
  };
  Sandbox box;
  for (const auto& row : rows) {
    const Result r = box.Run(row.args, row.input);
    EXPECT_EQ(r.out, row.out) << (row.args.empty() ? row.input : row.args[0]);
    EXPECT_EQ(r.exitCode, 0) << (row.args.empty() ? row.input : row.args[0]);
  }
}

TEST(Shell, SigquitAtEndOfInputReturnsToThePrompt) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  Result r = box.RunWithSignal({}, "", SIGQUIT, 1500);
  EXPECT_EQ(r.out, kPrompt + kPrompt + "Unknown input problem!\r\nQuit...\r\n");
  EXPECT_NE(ReadFile(box.HostPath("/var/tmp/kxfcli.log")).find("Breaking..."), std::string::npos);
}

TEST(Shell, SigintEndsTheProcessAfterTracingClosing) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  Result r = box.RunWithSignal({}, "", SIGINT, 1000);
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_EQ(r.out, kPrompt);
  EXPECT_NE(ReadFile(box.HostPath("/var/tmp/kxfcli.log")).find("\r\nClosing...\r\n"), std::string::npos);
}

TEST(Shell, LogCopiesInputAndConsoleOutput) {
  Sandbox box;
  const std::string logPath = box.File("session.log");
  Result r = box.Run({}, "log " + logPath + "\nversion\nlog\nversion\nq\n");
  EXPECT_EQ(r.out, kPrompt + kPrompt + kVersionLine + kPrompt + kPrompt + kVersionLine + kPrompt);
  // What follows "log <file>": the prompt, then input lines and console text until "log" closes it.
  EXPECT_EQ(ReadFile(logPath), kPrompt + "version\n" + kVersionLine + kPrompt + "log\n");
}

TEST(Shell, OutputLogThatCannotBeOpenedStopsStartup) {
  Sandbox box;
  // A directory where the library output log should be: start-up fails, nothing runs.
  std::filesystem::create_directories(box.HostPath("/var/tmp/kxapi-output.log"));
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  Result r = box.Run({"help"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(ReadFile(box.HostPath("/var/tmp/kxfcli.log")).find("main: Program Exit Code: (3)"), std::string::npos);
}

TEST(Shell, LibraryIsStartedWithToolIdentityAndTraceLevelAndStoppedOnce) {
  Sandbox box;
  EXPECT_EQ(box.Run({"help"}).calls, "KXAPI_Initialize traceLevel=0 reserved=0\nKXAPI_SetToolID id=11\n"
                                     "KXAPI_SetToolVersion version=1.7.4.0\nKXAPI_Uninitialize\n");
  const std::string log = box.HostPath("/var/tmp/kxapi-output.log");
  EXPECT_NE(ReadFile(log).find("FC ESXCLI Debug level = 0\nKXAPI Debug level = 0\n"), std::string::npos);
  box.SetEnv("KXFC_DEBUG_LEVEL", "65535");
  EXPECT_EQ(CallsNamed(box.Run({"help"}), "KXAPI_Initialize").at(0), "KXAPI_Initialize traceLevel=31 reserved=0");
  // The library's own messages reach the log through the exported CoreLogMessage.
  EXPECT_NE(ReadFile(log).find("FC ESXCLI Debug level = 65535\nKXAPI Debug level = 31\n"), std::string::npos);
  EXPECT_NE(ReadFile(log).find("Info: KXAPI stand-in initialized (trace level 31)\r\n"), std::string::npos);
}

TEST(Shell, TraceLogIsGatedByTheDebugLevel) {
  Sandbox box;
  const std::string traceLog = box.HostPath("/var/tmp/kxfcli.log");
  box.Run({"help"});
  EXPECT_FALSE(FileExists(traceLog)) << "level unset writes no trace";

  box.SetEnv("KXFC_DEBUG_LEVEL", "4");
  box.Run({"help"});
  std::string log = ReadFile(traceLog);
  EXPECT_NE(log.find("STARTING MainCmdsProcessor::MainCmdsProcessor()"), std::string::npos);
  EXPECT_NE(log.find("main: Program Exit Code: (0)"), std::string::npos);
  EXPECT_EQ(log.find("INFORMATION"), std::string::npos);
}

TEST(Shell, ModeTreeIsBuiltAndTornDownInOrder) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  box.Run({"help"});
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  auto at = [&](const std::string& step, const std::string& mode, bool dtor = false) {
    return log.find(step + " " + mode + "::" + (dtor ? "~" : "") + mode + "()");
  };
  ASSERT_NE(at("STARTING", "AdapterCmdsProcessor"), std::string::npos);
  // Construction nests: a sub-mode starts and returns inside its mode.
  EXPECT_LT(at("STARTING", "PhysicalPortCmdsProcessor"), at("STARTING", "PhysicalPortInfoCmdsProcessor"));
  EXPECT_LT(at("RETURNING", "PhysicalPortRWBufferCmdsProcessor"), at("RETURNING", "PhysicalPortCmdsProcessor"));
  // Destruction: adapter, port, target, lun.
  const char* order[] = {"AdapterCmdsProcessor", "PhysicalPortCmdsProcessor", "FCTargetCmdsProcessor", "FCLunCmdsProcessor"};
  for (int i = 1; i < 4; ++i) EXPECT_LT(at("STARTING", order[i - 1], true), at("STARTING", order[i], true)) << order[i];
}
