// Port families when the library output log cannot be opened: each command
// stops before its library call and reports "File not found".
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "diag/PhysicalPortLoopbackCmdsProcessor.h"
#include "diag/PhysicalPortRDPCmdsProcessor.h"
#include "diag/PhysicalPortRWBufferCmdsProcessor.h"
#include "maint/PhysicalPortBeaconCmdsProcessor.h"
#include "maint/PhysicalPortFwDumpCmdsProcessor.h"
#include "port/PhysicalPortCmdsProcessor.h"
#include "port/PhysicalPortFCStatsCmdsProcessor.h"
#include "port/PhysicalPortInfoCmdsProcessor.h"
#include "runtime/Paths.h"
#include "runtime/Trace.h"
#include "tests/unit/Capture.h"

namespace {

namespace fs = std::filesystem;

const std::string kStars = "****************************************************\n";
const std::string kPort = "FC_21:00:00:c8:a1:30:01:00";  // of the built-in inventory

}  // namespace

TEST(PortOutputLog, CommandsStopBeforeTheLibraryWhenTheLogCannotBeOpened) {
  const std::string root = std::string(KXFC_TEST_WORK_DIR) + "/PortOutputLog";
  fs::remove_all(root);
  setenv("KXFC_SANDBOX_ROOT", root.c_str(), 1);
  unsetenv("KXSIM_FIXTURE");
  if (kxpaths::Root() != root) GTEST_SKIP() << "paths were fixed by an earlier test in this process";
  // A directory where the log file should be: it cannot be opened for appending.
  fs::create_directories(root + "/var/tmp/kxapi-output.log");
  const std::string callLog = root + "/calls.log";
  setenv("KXSIM_CALLLOG", callLog.c_str(), 1);
  const std::string image = root + "/nvram.bin";
  std::ofstream(image) << "image";

  PortLookup lookup;
  if (PhysicalPortCmdsProcessor::GetPhyPortFromPortString({kPort}, lookup) != 0)
    GTEST_SKIP() << "the stand-in serves another inventory in this process";

  PhysicalPortCmdsProcessor port(nullptr);
  PhysicalPortInfoCmdsProcessor info(nullptr);
  PhysicalPortFCStatsCmdsProcessor stats(nullptr);
  PhysicalPortBeaconCmdsProcessor beacon(nullptr);
  PhysicalPortFwDumpCmdsProcessor fwdump(nullptr);
  PhysicalPortRDPCmdsProcessor rdp(nullptr);
  PhysicalPortLoopbackCmdsProcessor loopback(nullptr);
  PhysicalPortRWBufferCmdsProcessor rwbuffer(nullptr);
  Words testWords{kPort, "1", "2", "8", "Ignore", "Internal", "Random"};
  Words rwWords{kPort, "1", "2", "8", "Ignore", "Random"};
  struct Case {
    const char* name;
    std::function<uint32_t()> run;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"updatenvram", [&] { Words w{kPort, image}; return port.CmdUpdateNvramCommon(w, kModeText); },
       kStars + "UpdateNVRAM:\nReboot Required: false\nMessage: Failed, File not found\n" + kStars},
      {"info", [&] { Words w{kPort}; return info.CmdGetCommon(w, kModeText); },
       kStars + "PortInformation:\nMessage: Failed, File not found\nPortInfo: " + kStars},
      {"stats reset", [&] { Words w{kPort, "Firmware"}; return stats.CmdResetCommon(w, kModeText); },
       kStars + "ResetFCStatistics:\nMessage: Failed, File not found\n" + kStars},
      {"beacon get", [&] { Words w{kPort}; return beacon.CmdGetCommon(w, kModeText); },
       kStars + "BeaconInfo:\nMessage: Failed, File not found\nBeacon State: Unknown\n" + kStars},
      {"beacon set", [&] { Words w{kPort, "on"}; return beacon.CmdSetCommon(w, kModeText); },
       kStars + "BeaconInfo:\nMessage: Failed, File not found\nBeacon State: Unknown\n" + kStars},
      {"fwdump", [&] { Words w{kPort, root + "/dump.bin"}; return fwdump.CmdGetCommon(w, kModeText); },
       kStars + "FwDumpInfo:\nMessage: Failed, File not found\n" + kStars},
      {"rdp", [&] { return rdp.CmdGetCommon(testWords, kModeText); },
       kStars + "RDPInformation:\nMessage: Failed, File not found\nRead Diagnostics Parameters Data: " + kStars},
      {"loopback", [&] { return loopback.CmdRunCommon(testWords, kModeText); },
       kStars + "LoopbackTestInfo:\nMessage: Failed, File not found\nLoopbackTestResult: " + kStars},
      {"rwbuffer", [&] { return rwbuffer.CmdRunCommon(rwWords, kModeText); },
       kStars + "RWBufferTestInfo:\nMessage: Failed, File not found\nRWBufferTestResult: " + kStars},
  };
  const long level = DebugLevel();
  SetDebugLevel(kTraceError);
  for (const Case& c : cases) {
    fs::remove(callLog);
    CaptureStdout capture;
    EXPECT_EQ(c.run(), 19u) << c.name;
    EXPECT_EQ(capture.Text(), c.expected) << c.name;
    // Only the inventory was asked for.
    std::ifstream in(callLog);
    std::stringstream calls;
    calls << in.rdbuf();
    EXPECT_EQ(calls.str(), "KXAPI_GetAdapterList\n") << c.name;
  }
  SetDebugLevel(level);
  std::ifstream trace(TraceLogPath());
  std::stringstream traced;
  traced << trace.rdbuf();
  EXPECT_NE(traced.str().find(": PhysicalPortBeaconCmdsProcessor::CmdSetCommon: Failed to open "
                              "/var/tmp/kxapi-output.log file before Mezz adapter check\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(root + "/dump.bin"));
  unsetenv("KXSIM_CALLLOG");
}
