// The bootconfig and bootconfigext port sub-modes: the views, staging across
// runs, the records written back byte for byte, the checks and their order,
// and library failures.
#include <filesystem>
#include <tuple>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kPort = "FC_21:00:00:c8:a1:b0:00:00";        // group C, ROM BIOS and UEFI
const std::string kBiosRom = "FC_21:00:00:c8:a1:b0:00:01";     // ROM BIOS only
const std::string kUefiRom = "FC_21:00:00:c8:a1:b0:00:02";     // ROM UEFI only
const std::string kVport = "FC_21:00:00:c8:a1:b0:00:80";
const std::string kLegacy = "FC_21:00:00:c8:a1:b1:00:00";      // group G
const std::string kOther = "FC_21:00:00:c8:a1:b2:00:00";       // group E: neither set
const std::string kFcp = "50:00:c8:a1:00:00:b0:01";            // LUNs 0, 1, 5
const std::string kNvme = "50:00:c8:a1:00:00:b0:02";           // NVMe, namespace 1
const std::string kZero = "00:00:00:00:00:00:00:00";
const std::string kRebootTrue = "Reboot Required: true\n";
const std::string kRebootFalse = "Reboot Required: false\n";

std::string Shown(const std::string& data, const std::string& reboot = "") {
  return kStars + "BootConfigInfo:\nMessage: Success\n" + reboot + "BootConfig: BootConfigList:\nData: " + data + kStars;
}
std::string Error(const std::string& message, const std::string& reboot = "") {
  return kStars + "BootConfigInfo:\n" + reboot + "Message: " + message + "\nBootConfig: " + kStars;
}

using Drives = std::vector<std::pair<std::string, unsigned>>;

std::string DriveLines(const Drives& drives) {
  std::string out;
  for (size_t n = 0; n < drives.size(); ++n)
    out += "      Drive " + std::to_string(n) + " WWPN: " + drives[n].first + "\n      Drive " + std::to_string(n) +
           " LUN: " + std::to_string(drives[n].second) + "\n";
  return out;
}

std::string Flag(const char* label, bool on) { return std::string("      ") + label + ": " + (on ? "true" : "false") + "\n"; }

// The fixture's BIOS view of kPort.
std::string BiosText() {
  return "Adapter BIOS: true\n" + Flag("Selectable Boot", true) + Flag("Fabric Assigned Boot LUN", false) +
         DriveLines({{kFcp, 0}, {kZero, 0}, {kZero, 0}, {kZero, 0}});
}

// The UEFI view of kPort, with what a test changed.
std::string UefiText(bool world, const Drives& drives) {
  return std::string("Adapter Driver: false\n") + Flag("Selective Login", false) + Flag("Selective LUN Login", false) +
         Flag("World Login", world) + Flag("Fabric Assigned Boot LUN", false) + DriveLines(drives);
}
const Drives kUefiDrives = {{kZero, 0}, {kZero, 0}, {kZero, 0}, {kZero, 0},
                            {kZero, 0}, {kFcp, 5},  {kZero, 0}, {kZero, 0}};

class Boot : public ::testing::Test {
 protected:
  void SetUp() override { box.UseFixture("boot-basic.json"); }
  Result Cfg(std::vector<std::string> words, const char* family = "bootconfig") {
    words.insert(words.begin(), {"-t", "port", "-s", family});
    return box.Run(words);
  }
  std::string Cache(const std::string& prefix = "BootConfig_") const {
    return box.HostPath("/opt/OrvtFcEsxcliPlugin/tmp/" + prefix + kPort);
  }
  Sandbox box;
};

TEST_F(Boot, GetSwitchesToTheAskedView) {
  // The library starts in the UEFI view: a get without a mode switches it to BIOS. A legacy adapter has
  // no fabric-assigned boot LUN line and no view switch.
  const std::string mode = "KXAPI_SetBfsConfigMode";
  RunCases(box, {"-t", "port", "-s", "bootconfig"}, {
      {{"getcli", kPort}, Shown(BiosText()), -1, mode, {mode + " mode=1"}},
      {{"getcli", kPort, "--BOOT-MODE", "uefi"}, Shown(UefiText(true, kUefiDrives)), -1, mode, {mode + " mode=2"}},
      {{"getcli", kLegacy},
       Shown("Adapter BIOS: true\n" + Flag("Selectable Boot", false) +
             DriveLines({{kZero, 0}, {kZero, 0}, {kZero, 0}, {kZero, 0}})),
       -1, "KXAPI_GetBfsConfigMode", {}},
      {{"get", kPort},
       Doc{"BootConfigInfo", {{"Message", "Success"}}, "BootConfig", "BootConfigList", {{{"Data", BiosText()}}}}.Xml()},
  });
}

TEST_F(Boot, StagedUefiSettingsLandInTheUefiViewOnly) {
  const std::vector<std::string> lead = {"-t", "port", "-s", "bootconfig"};
  const std::string set = "KXAPI_SetBfsConfigMode,KXAPI_SetBootDeviceInfo";
  Drives staged = kUefiDrives;
  staged[6] = {kFcp, 1};
  RunCases(box, lead, {{{"setFilecli", kPort, "-b", "UEFI", "-g", "false", "--drive-6", kFcp + "-1"},
                        Shown(UefiText(false, staged)), -1, "KXAPI_SetBootDeviceInfo", {}}});
  std::string file;
  for (unsigned n = 1; n <= 7; ++n)
    file += "Alternate_Boot_Target_" + std::to_string(n) + "_LUN=" + (n == 5 ? "5" : n == 6 ? "1" : "0") + "\n" +
            "Alternate_Boot_Target_" + std::to_string(n) + "_WWPN=" + (n == 5 || n == 6 ? kFcp : kZero) + "\n";
  file += "Boot_Mode=1\nDisable_BIOS=1\nFabric_Assigned_Boot_Lun=0\nPrimary_Boot_Target_LUN=0\n"
          "Primary_Boot_Target_WWPN=" + kZero + "\nSelectable_Boot=0\nSelective_LUN_Login=0\nSelective_Login=0\n"
          "World_Login=0\n";
  EXPECT_EQ(ReadFile(Cache()), file);
  // A get of the BIOS view in between leaves the library in that view. The set writes world login (144)
  // off and drive 6 (264: WWPN, 272: LUN), nothing else. Nothing staged: refused, the adapter not asked.
  RunCases(box, lead, {
      {{"getcli", kPort}, Shown(BiosText())},
      {{"setcli", kPort}, Shown(UefiText(false, staged), kRebootTrue), -1, set,
       {"KXAPI_SetBfsConfigMode mode=2", "KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi "
        "changed=144:01>00,264:00>50,266:00>c8,267:00>a1,270:00>b0,271:00>01,272:00>01"}},
      {{"getcli", kPort}, Shown(BiosText())},
      {{"getcli", kPort, "-b", "uefi"}, Shown(UefiText(false, staged))},
      {{"setcli", kPort}, Error("Failed, File not found", kRebootFalse), -1, set, {}},
  });
  EXPECT_FALSE(FileExists(Cache()));
}

TEST_F(Boot, StagedBiosSettingsAndAClearedSlot) {
  Cfg({"setFilecli", kPort, "--drive-2", "50:00:c8:a1:00:00:b0:01-5"});
  EXPECT_EQ(Cfg({"setFilecli", kPort, "-a", "false", "-j", "00:00:00:00:00:00:00:00-5", "-d", "False"}).out,
            Shown("Adapter BIOS: false\n" + Flag("Selectable Boot", false) + Flag("Fabric Assigned Boot LUN", false) +
                  DriveLines({{kZero, 0}, {kZero, 0}, {kFcp, 5}, {kZero, 0}})));
  Cfg({"getcli", kPort, "-b", "UEFI"});
  // A hand-added ninth drive is no slot of the record.
  WriteFile(Cache(), ReadFile(Cache()) + "Alternate_Boot_Target_8_WWPN=" + kFcp + "\nAlternate_Boot_Target_8_LUN=1\n");
  // DisableBIOS (100), selectable boot (104), drive 0 cleared (116-123), drive 2 (180-188).
  EXPECT_EQ(CallsNamed(Cfg({"setcli", kPort}), "KXAPI_SetBootDeviceInfo").at(0),
            "KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=bios changed=100:00>01,104:01>00,116:50>00,"
            "118:c8>00,119:a1>00,122:b0>00,123:01>00,180:00>50,182:00>c8,183:00>a1,186:00>b0,187:00>01,188:00>05");
}

TEST_F(Boot, ASetFileForAnotherViewStartsOver) {
  // Staged in one view, then setFile in the other: set writes the last view's options into that view's
  // record only; the other view's record keeps every byte.
  const std::string writes = "KXAPI_SetBfsConfigMode,KXAPI_SetBootDeviceInfo";
  const std::string biosOff = "Adapter BIOS: true\n" + Flag("Selectable Boot", false) +
                              Flag("Fabric Assigned Boot LUN", false) + DriveLines({{kFcp, 0}, {kZero, 0}, {kZero, 0}, {kZero, 0}});
  RunCases(box, {"-t", "port", "-s", "bootconfig"}, {
      {{"setFilecli", kPort, "-b", "UEFI", "-g", "false", "-q", kFcp + "-1"}, kAnyOutput},
      {{"setFilecli", kPort, "-d", "false"}, Shown(biosOff)},
      {{"setcli", kPort}, Shown(biosOff, kRebootTrue), -1, writes,
       {"KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=bios changed=104:01>00"}},
      {{"getcli", kPort, "-b", "UEFI"}, Shown(UefiText(true, kUefiDrives))},
  });
  const std::string uefiOff = UefiText(false, kUefiDrives);
  RunCases(box, {"-t", "port", "-s", "bootconfigext"}, {
      {{"setFilecli", kPort, "BIOS", "-a", "false", "-n", "1", "-p", kFcp, "-o", "1"}, kAnyOutput},
      {{"setFilecli", kPort, "uefi", "-g", "false"}, Shown(uefiOff)},
      {{"setcli", kPort}, Shown(uefiOff, kRebootTrue), -1, writes,
       {"KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi changed=144:01>00"}},
      {{"getcli", kPort, "bios"}, Shown(biosOff)},
  });
}

TEST_F(Boot, RefusalsInTheirOrderChangeNothing) {
  const std::string invalid = Error("Failed, Invalid parameter");
  const std::string usage = "Usage: setFile\r\n";
  const std::string needsUefi = Error("Failed, Boot parameter requires UEFI boot mode option") + usage;
  const std::string needsMode = Error("Failed, Boot parameter requires valid boot mode option") + usage;
  const std::string notAdapter = Error("Failed, Feature not supported for this adapter");
  RunCases(box, {"-t", "port", "-s", "bootconfig"}, {
      {{"getcli", kVport, "-b", "legacy"}, Error("Failed, Feature not supported for virtual port")},
      {{"getcli", kPort, "-b", "legacy"}, invalid + "Usage: get\r\n"},
      {{"getcli", kLegacy, "-b", "UEFI"}, Error("Failed, UEFI boot mode not supported for this adapter")},
      {{"getcli", kBiosRom, "-b", "UEFI"}, Error("Failed, Adapter does not have ROM UEFI")},
      {{"getcli", kUefiRom}, Error("Failed, Adapter does not have ROM BIOS")},
      {{"setFilecli", kBiosRom, "-b", "UEFI", "-g", "maybe"}, Error("Failed, Adapter does not have ROM UEFI")},
      {{"setFilecli", kPort, "-b", "UEFI", "-d", "true", "-g", "maybe"},
       Error("Failed, Boot parameter not supported with UEFI boot mode option")},
      {{"setFilecli", kPort, "-g", "true"}, needsUefi},
      {{"setFilecli", kPort, "--drive-5", kFcp + "-1"}, needsUefi},
      {{"setFilecli", kOther, "-e", "true"}, notAdapter}, {{"setFilecli", kLegacy, "-f", "true"}, notAdapter},
      {{"setFilecli", kLegacy, "--drive-4", kZero + "-0"}, notAdapter},
      {{"setFilecli", kPort, "-j", "50:00:c8:a1:00:00:b0:09-0"}, invalid + usage},  // unknown WWPN
      {{"setFilecli", kPort, "-j", kFcp + "-2"}, invalid + usage},  // no such LUN
      {{"setFilecli", kPort, "-k", kNvme + "-1"}, Error("Failed, Feature not supported for NVMe target")},
      {{"setFilecli", kPort, "-j", kFcp + "-65536"}, invalid + usage},
      {{"setFilecli", kPort, "-j", kFcp + "-1x"}, invalid + usage},
      {{"setFilecli", kPort, "-j", "50:00:c8:a1:00:00:b0:101-1"}, invalid + usage},
      {{"setFilecli", kPort, "--enable-bfs=true"}, invalid + usage},
  });
  RunCases(box, {"-t", "port", "-s", "bootconfigext"}, {
      {{"getcli", kPort}, invalid + "Usage: get\r\n"},
      {{"getcli", kLegacy, "nvme"}, Error("Failed, UEFI/NVME boot mode not supported for this adapter")},
      {{"setFilecli", kPort, "BIOS", "-n", "5", "-p", kFcp, "-o", "0"}, needsMode},
      {{"setFilecli", kPort, "BIOS", "-g", "true"}, needsMode},
      {{"setFilecli", kPort, "UEFI", "-m", "true"}, needsMode},
      {{"setFilecli", kPort, "UEFI", "-n", "1", "-p", kFcp},
       Error("Failed, Tgt Num, Tgt WWPN, Disk Num required for FCP targets")},
      {{"setFilecli", kPort, "NVME", "-n", "1", "-p", kNvme, "-o", "1"},
       Error("Failed, Tgt Num, Tgt WWPN, Disk Num, Tgt Enable required for NVMe targets")},
      {{"setFilecli", kPort, "NVME", "-n", "1", "-p", kFcp, "-o", "1", "-l", "true"}, invalid + usage},
      {{"setFilecli", kPort, "UEFI", "-n", "1", "-p", kNvme, "-o", "1"}, invalid + usage},
      {{"setFilecli", kPort, "UEFI", "-n", "1", "-p", kFcp, "-o", "2"}, invalid + usage},
      {{"setFilecli", kPort, "UEFI", "-n", "8", "-p", kFcp, "-o", "1"}, invalid + usage},
      {{"setFilecli", kPort, "UEFI", "-n", "1", "-p", kFcp, "-o", "70000"}, invalid + usage},
      {{"setFilecli", kLegacy, "BIOS", "-n", "4", "-p", kZero, "-o", "0"}, needsMode},
  });
  EXPECT_FALSE(FileExists(Cache())) << "a refused first setFile creates no file";
  EXPECT_FALSE(FileExists(Cache("BootConfigExt_")));
}

TEST_F(Boot, BadStagedValuesAreRefusedBeforeAnyWrite) {
  // Staged for UEFI while the library is left in BIOS: a refused file does not even switch the view.
  for (const std::string line : {"World_Login=2", "Primary_Boot_Target_LUN=70000", "Boot_Mode=x",
                                  "Alternate_Boot_Target_3_WWPN=50:00"}) {
    Cfg({"setFilecli", kPort, "-b", "UEFI", "-a", "true"});
    Cfg({"getcli", kPort});
    WriteFile(Cache(), line + "\n" + ReadFile(Cache()));
    const Result r = Cfg({"setcli", kPort});
    EXPECT_EQ(r.out, Error("Failed, Invalid parameter", kRebootFalse) + "Usage: set\r\n") << line;
    EXPECT_TRUE(CallsNamed(r, "KXAPI_SetBootDeviceInfo").empty()) << line;
    EXPECT_TRUE(CallsNamed(r, "KXAPI_SetBfsConfigMode").empty()) << line;
    EXPECT_TRUE(FileExists(Cache()));
  }
  // A setFile whose result would not read back, or that cannot rewrite the file, leaves it as it was.
  const std::string staged = ReadFile(Cache());
  EXPECT_EQ(Cfg({"setFilecli", kPort, "-b", "uefi", "-a", "false"}).out,
            Error("Failed, Invalid parameter") + "Usage: setFile\r\n");
  EXPECT_EQ(ReadFile(Cache()), staged);
  std::filesystem::create_directories(Cache() + ".lock");
  EXPECT_EQ(Cfg({"setFilecli", kPort, "-a", "false"}).out, Error("Failed, File not found"));
  EXPECT_EQ(ReadFile(Cache()), staged);
}

TEST_F(Boot, NvmeEntryStagedAlongsideUntouchedOnes) {
  // An NVMe entry's six lines, its values separated by '|'.
  auto storage = [](unsigned n, const std::string& values) {
    const std::string s = "Storage " + std::to_string(n);
    return "      " + Block({s, s + " WWNN", s + " WWPN", s + " NQN", s + " ControllerID", s + " NamespaceID"}, values);
  };
  std::string view = "Adapter Driver: false\n" + Flag("Selective Login", false) + Flag("Selective LUN Login", false) +
                     Flag("World Login", true) + Flag("Fabric Assigned Boot LUN", false) + Flag("FC NVMe", true) +
                     "      Host NQN: nqn.2014-08.org.nvmexpress:host1\n      Host ID: 00112233445566778899aabbccddeeff\n" +
                     storage(0, "true|20:00:c8:a1:00:00:b0:07|50:00:c8:a1:00:00:b0:07|nqn.2026-01.com.kaltex:boot|0x102|7") +
                     storage(1, "true|20:00:c8:a1:00:00:b0:02|" + kNvme + "|nqn.x|0x21|1");
  for (unsigned n = 2; n < 8; ++n) view += storage(n, "false|" + kZero + "|" + kZero + "||0x0|0");
  const Result r = Cfg({"setFilecli", kPort, "nvme", "-n", "1", "-p", kNvme, "-o", "1", "-l", "true"}, "bootconfigext");
  EXPECT_EQ(r.out, Shown(view));
  const std::string file = ReadFile(Cache("BootConfigExt_"));
  for (const char* line : {"Boot_Mode=4\n", "NVMe_Enable=1\n", "NVME_0_NQN=nqn.2026-01.com.kaltex:boot\n",
                           "NVME_0_ControllerID=258\n", "NVME_1_Enable=1\n", "NVME_1_NamespaceID=1\n", "NVME_7_NQN=\n"})
    EXPECT_NE(file.find(line), std::string::npos) << line;

  // Entry 1 starts at 300: WWPN, WWNN, NSID (316), controller (320), flags (324), NQN (328). Entry 0,
  // the host NQN and ID and every pattern byte stay as they were.
  const std::string calls = "KXAPI_SetBfsConfigMode,KXAPI_SetBootDeviceInfo,KXAPI_SetNVMeBootDeviceEntries";
  RunCases(box, {"-t", "port", "-s", "bootconfigext"}, {
      {{"getcli", kPort, "UEFI"}, kAnyOutput},
      {{"setcli", kPort}, Shown(view, kRebootTrue), -1, calls,
       {"KXAPI_SetBfsConfigMode mode=4", "KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi changed=none",
        "KXAPI_SetNVMeBootDeviceEntries port=21:00:00:c8:a1:b0:00:00 changed=300:00>50,302:00>c8,303:00>a1,"
        "306:00>b0,307:00>02,308:00>20,310:00>c8,311:00>a1,314:00>b0,315:00>02,316:00>01,320:00>21,324:00>01,"
        "328:00>6e,329:00>71,330:00>6e,331:00>2e,332:00>78"}},
      {{"getcli", kPort, "nvme"}, Shown(view)},
  });
}

TEST_F(Boot, ExtendedFcpSlotInTheUefiView) {
  Drives staged = kUefiDrives;
  staged[2] = {kFcp, 5};
  RunCases(box, {"-t", "port", "-s", "bootconfigext"}, {
      {{"setFilecli", kPort, "uefi", "--boot-target-num", "2", "--boot-target-wwpn", kFcp, "--boot-disk-num", "5"},
       kAnyOutput},
      {{"getcli", kPort, "BIOS"}, kAnyOutput},
      {{"setcli", kPort}, Shown(UefiText(true, staged), kRebootTrue), -1,
       "KXAPI_SetBootDeviceInfo,KXAPI_SetNVMeBootDeviceEntries",
       {"KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi "
        "changed=180:00>50,182:00>c8,183:00>a1,186:00>b0,187:00>01,188:00>05"}},
  });
}

TEST_F(Boot, LibraryFailures) {
  const std::string maint = "Failed, Command not supported when adapter port in maintenance mode";
  const std::string readFailed = "Failed, Boot Config read failed", updateFailed = "Failed, Boot Config update failed";
  // The words after the family; a set runs on a staged file and shows the reboot flag.
  const std::vector<std::tuple<std::string, std::string, int, std::vector<std::string>, std::string>> rows = {
      {"bootconfig", "KXAPI_GetBootDeviceInfo", 150, {"getcli"}, maint},
      {"bootconfig", "KXAPI_GetBootDeviceInfo", 7, {"getcli"}, readFailed},
      {"bootconfig", "KXAPI_SetBfsConfigMode", 9, {"getcli"}, readFailed},
      {"bootconfig", "KXAPI_SetBfsConfigMode", 150, {"setFilecli"}, maint},
      {"bootconfig", "KXAPI_SetBootDeviceInfo", 5, {"setcli"}, updateFailed},
      {"bootconfig", "KXAPI_SetBootDeviceInfo", 150, {"setcli"}, maint},
      {"bootconfigext", "KXAPI_GetNVMeBootDeviceEntries", 5, {"getcli", "NVME"}, "Failed, NVMe Boot Config not present"},
      {"bootconfigext", "KXAPI_GetBootDeviceInfo", 150, {"getcli", "UEFI"}, maint},
      {"bootconfigext", "KXAPI_SetNVMeBootDeviceEntries", 5, {"setcli"}, updateFailed},
      {"bootconfigext", "KXAPI_SetBootDeviceInfo", 150, {"setcli"}, maint},
  };
  for (const auto& [family, call, rc, words, message] : rows) {
    Sandbox sandbox("boot-failure-" + call + std::to_string(rc) + words[0]);
    sandbox.UseFixtureText(WithCalls(Fixture("boot-basic.json"), R"({"call": ")" + call + R"(", "rc": )" + std::to_string(rc) + "}"));
    const bool ext = family == "bootconfigext", set = words[0] == "setcli";
    std::filesystem::create_directories(sandbox.HostPath("/opt/OrvtFcEsxcliPlugin/tmp"));
    if (set)
      WriteFile(sandbox.HostPath("/opt/OrvtFcEsxcliPlugin/tmp/") + (ext ? "BootConfigExt_" : "BootConfig_") + kPort,
                ext ? "Boot_Mode=4\nNVME_1_Enable=1\n" : "Boot_Mode=0\nWorld_Login=1\n");
    std::vector<std::string> args = {"-t", "port", "-s", family, words[0], kPort};
    args.insert(args.end(), words.begin() + 1, words.end());
    EXPECT_EQ(sandbox.Run(args).out, Error(message, set ? kRebootFalse : "")) << family << " " << call << " " << rc;
  }
}

}  // namespace
