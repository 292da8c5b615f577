// The bootconfig and bootconfigext port sub-modes: the views, staging across
// runs, the records written back byte for byte, the checks and their order,
// and library failures.
#include <filesystem>
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

std::string Doc(const std::string& data, const std::string& reboot = "") {
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
std::string BiosText(bool fabricLine = true) {
  return std::string("Adapter BIOS: true\n") + Flag("Selectable Boot", true) +
         (fabricLine ? Flag("Fabric Assigned Boot LUN", false) : "") +
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
  Result Run(const char* family, std::vector<std::string> words) {
    words.insert(words.begin(), {"-t", "port", "-s", family});
    return box.Run(words);
  }
  Result Cfg(std::vector<std::string> words) { return Run("bootconfig", std::move(words)); }
  Result Ext(std::vector<std::string> words) { return Run("bootconfigext", std::move(words)); }
  std::string Cache(const std::string& prefix = "BootConfig_") const {
    return box.HostPath("/opt/OrvtFcEsxcliPlugin/tmp/" + prefix + kPort);
  }
  Sandbox box;
};

TEST_F(Boot, GetSwitchesToTheAskedView) {
  // The library starts in the UEFI view: a get without a mode switches it to BIOS.
  Result r = Cfg({"getcli", kPort});
  EXPECT_EQ(r.out, Doc(BiosText()));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBfsConfigMode"), std::vector<std::string>{"KXAPI_SetBfsConfigMode mode=1"});
  r = Cfg({"getcli", kPort, "--BOOT-MODE", "uefi"});
  EXPECT_EQ(r.out, Doc(UefiText(true, kUefiDrives)));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBfsConfigMode"), std::vector<std::string>{"KXAPI_SetBfsConfigMode mode=2"});
  // A legacy adapter has no fabric-assigned boot LUN line and no view switch.
  r = Cfg({"getcli", kLegacy});
  EXPECT_EQ(r.out, Doc("Adapter BIOS: true\n" + Flag("Selectable Boot", false) +
                       DriveLines({{kZero, 0}, {kZero, 0}, {kZero, 0}, {kZero, 0}})));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_GetBfsConfigMode").empty());
  EXPECT_EQ(Cfg({"get", kPort}).out,
            kXmlHead + "<structure typeName=\"BootConfigInfo\">\n<field name=\"Message\">\n<string>Success</string>"
                       "</field>\n<field name=\"BootConfig\">\n<list type=\"structure\">\n<structure typeName=\""
                       "BootConfigList\">\n<field name=\"Data\">\n<string>" + BiosText() +
                "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n");
}

TEST_F(Boot, StagedUefiSettingsLandInTheUefiViewOnly) {
  Result r = Cfg({"setFilecli", kPort, "-b", "UEFI", "-g", "false", "--drive-6", kFcp + "-1"});
  Drives staged = kUefiDrives;
  staged[6] = {kFcp, 1};
  EXPECT_EQ(r.out, Doc(UefiText(false, staged)));
  std::string file;
  for (unsigned n = 1; n <= 7; ++n) {
    const std::string wwpn = n == 5 || n == 6 ? kFcp : kZero;
    file += "Alternate_Boot_Target_" + std::to_string(n) + "_LUN=" + (n == 5 ? "5" : n == 6 ? "1" : "0") + "\n";
    file += "Alternate_Boot_Target_" + std::to_string(n) + "_WWPN=" + wwpn + "\n";
  }
  file += "Boot_Mode=1\nDisable_BIOS=1\nFabric_Assigned_Boot_Lun=0\nPrimary_Boot_Target_LUN=0\n"
          "Primary_Boot_Target_WWPN=" + kZero + "\nSelectable_Boot=0\nSelective_LUN_Login=0\nSelective_Login=0\n"
          "World_Login=0\n";
  EXPECT_EQ(ReadFile(Cache()), file);
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SetBootDeviceInfo").empty());

  // A get of the BIOS view in between leaves the library in that view.
  EXPECT_EQ(Cfg({"getcli", kPort}).out, Doc(BiosText()));
  r = Cfg({"setcli", kPort});
  EXPECT_EQ(r.out, Doc(UefiText(false, staged), kRebootTrue));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBfsConfigMode"), std::vector<std::string>{"KXAPI_SetBfsConfigMode mode=2"});
  // World login (144) off, drive 6 (264: WWPN, 272: LUN) set; nothing else.
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBootDeviceInfo"),
            std::vector<std::string>{"KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi "
                                     "changed=144:01>00,264:00>50,266:00>c8,267:00>a1,270:00>b0,271:00>01,272:00>01"});
  EXPECT_FALSE(FileExists(Cache()));
  EXPECT_EQ(Cfg({"getcli", kPort}).out, Doc(BiosText()));
  EXPECT_EQ(Cfg({"getcli", kPort, "-b", "uefi"}).out, Doc(UefiText(false, staged)));

  // Nothing staged: refused, and the adapter is not asked for anything.
  r = Cfg({"setcli", kPort});
  EXPECT_EQ(r.out, Error("Failed, File not found", kRebootFalse));
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SetBfsConfigMode").empty());
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SetBootDeviceInfo").empty());
}

TEST_F(Boot, StagedBiosSettingsAndAClearedSlot) {
  Cfg({"setFilecli", kPort, "--drive-2", "50:00:c8:a1:00:00:b0:01-5"});
  Result r = Cfg({"setFilecli", kPort, "-a", "false", "-j", "00:00:00:00:00:00:00:00-5", "-d", "False"});
  EXPECT_EQ(r.out, Doc("Adapter BIOS: false\n" + Flag("Selectable Boot", false) + Flag("Fabric Assigned Boot LUN", false) +
                       DriveLines({{kZero, 0}, {kZero, 0}, {kFcp, 5}, {kZero, 0}})));
  Cfg({"getcli", kPort, "-b", "UEFI"});
  r = Cfg({"setcli", kPort});
  // DisableBIOS (100), selectable boot (104), drive 0 cleared (116-123), drive 2 (180-188).
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBootDeviceInfo").at(0),
            "KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=bios changed=100:00>01,104:01>00,116:50>00,"
            "118:c8>00,119:a1>00,122:b0>00,123:01>00,180:00>50,182:00>c8,183:00>a1,186:00>b0,187:00>01,188:00>05");
}

struct Refusal {
  const char* family;
  std::vector<std::string> words;
  std::string out;
};

TEST_F(Boot, RefusalsInTheirOrderChangeNothing) {
  const std::string invalid = Error("Failed, Invalid parameter");
  const std::string usageSetFile = "Usage: setFile\r\n";
  const Refusal rows[] = {
      {"bootconfig", {"getcli", kVport, "-b", "legacy"}, Error("Failed, Feature not supported for virtual port")},
      {"bootconfig", {"getcli", kPort, "-b", "legacy"}, invalid + "Usage: get\r\n"},
      {"bootconfig", {"getcli", kLegacy, "-b", "UEFI"}, Error("Failed, UEFI boot mode not supported for this adapter")},
      {"bootconfig", {"getcli", kBiosRom, "-b", "UEFI"}, Error("Failed, Adapter does not have ROM UEFI")},
      {"bootconfig", {"getcli", kUefiRom}, Error("Failed, Adapter does not have ROM BIOS")},
      {"bootconfig", {"setFilecli", kBiosRom, "-b", "UEFI", "-g", "maybe"}, Error("Failed, Adapter does not have ROM UEFI")},
      {"bootconfig", {"setFilecli", kPort, "-b", "UEFI", "-d", "true", "-g", "maybe"},
       Error("Failed, Boot parameter not supported with UEFI boot mode option")},
      {"bootconfig", {"setFilecli", kPort, "-g", "true"}, Error("Failed, Boot parameter requires UEFI boot mode option") + usageSetFile},
      {"bootconfig", {"setFilecli", kPort, "--drive-5", kFcp + "-1"},
       Error("Failed, Boot parameter requires UEFI boot mode option") + usageSetFile},
      {"bootconfig", {"setFilecli", kOther, "-e", "true"}, Error("Failed, Feature not supported for this adapter")},
      {"bootconfig", {"setFilecli", kLegacy, "-f", "true"}, Error("Failed, Feature not supported for this adapter")},
      {"bootconfig", {"setFilecli", kLegacy, "--drive-4", kZero + "-0"}, Error("Failed, Feature not supported for this adapter")},
      {"bootconfig", {"setFilecli", kPort, "-j", "50:00:c8:a1:00:00:b0:09-0"}, invalid + usageSetFile},  // unknown WWPN
      {"bootconfig", {"setFilecli", kPort, "-j", kFcp + "-2"}, invalid + usageSetFile},                 // no such LUN
      {"bootconfig", {"setFilecli", kPort, "-k", kNvme + "-1"}, Error("Failed, Feature not supported for NVMe target")},
      {"bootconfig", {"setFilecli", kPort, "-j", kFcp + "-65536"}, invalid + usageSetFile},
      {"bootconfig", {"setFilecli", kPort, "-j", kFcp + "-1x"}, invalid + usageSetFile},
      {"bootconfig", {"setFilecli", kPort, "-j", "50:00:c8:a1:00:00:b0:101-1"}, invalid + usageSetFile},
      {"bootconfig", {"setFilecli", kPort, "-a", "yes"}, invalid + usageSetFile},
      {"bootconfig", {"setFilecli", kPort, "--enable-bfs=true"}, invalid + usageSetFile},
      {"bootconfigext", {"getcli", kPort}, invalid + "Usage: get\r\n"},
      {"bootconfigext", {"getcli", kLegacy, "nvme"}, Error("Failed, UEFI/NVME boot mode not supported for this adapter")},
      {"bootconfigext", {"setFilecli", kPort, "BIOS", "-n", "5", "-p", kFcp, "-o", "0"},
       Error("Failed, Boot parameter requires valid boot mode option") + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "BIOS", "-g", "true"},
       Error("Failed, Boot parameter requires valid boot mode option") + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "UEFI", "-m", "true"},
       Error("Failed, Boot parameter requires valid boot mode option") + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "UEFI", "-n", "1", "-p", kFcp},
       Error("Failed, Tgt Num, Tgt WWPN, Disk Num required for FCP targets")},
      {"bootconfigext", {"setFilecli", kPort, "NVME", "-n", "1", "-p", kNvme, "-o", "1"},
       Error("Failed, Tgt Num, Tgt WWPN, Disk Num, Tgt Enable required for NVMe targets")},
      {"bootconfigext", {"setFilecli", kPort, "NVME", "-n", "1", "-p", kFcp, "-o", "1", "-l", "true"}, invalid + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "UEFI", "-n", "1", "-p", kNvme, "-o", "1"}, invalid + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "UEFI", "-n", "1", "-p", kFcp, "-o", "2"}, invalid + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "UEFI", "-n", "8", "-p", kFcp, "-o", "1"}, invalid + usageSetFile},
      {"bootconfigext", {"setFilecli", kPort, "UEFI", "-n", "1", "-p", kFcp, "-o", "70000"}, invalid + usageSetFile},
      {"bootconfigext", {"setFilecli", kLegacy, "BIOS", "-n", "4", "-p", kZero, "-o", "0"},
       Error("Failed, Boot parameter requires valid boot mode option") + usageSetFile},
  };
  for (const Refusal& row : rows) {
    const Result r = Run(row.family, row.words);
    EXPECT_EQ(r.out, row.out) << row.family << " " << row.words[0] << " " << row.words.back();
  }
  EXPECT_FALSE(FileExists(Cache())) << "a refused first setFile creates no file";
  EXPECT_FALSE(FileExists(Cache("BootConfigExt_")));
}

TEST_F(Boot, BadStagedValuesAreRefusedBeforeAnyWrite) {
  for (const std::string line : {"World_Login=2", "Primary_Boot_Target_LUN=70000", "Boot_Mode=x",
                                  "Alternate_Boot_Target_3_WWPN=50:00"}) {
    Cfg({"setFilecli", kPort, "-a", "true"});
    WriteFile(Cache(), line + "\n" + ReadFile(Cache()));
    const Result r = Cfg({"setcli", kPort});
    EXPECT_EQ(r.out, Error("Failed, Invalid parameter", kRebootFalse) + "Usage: set\r\n") << line;
    EXPECT_TRUE(CallsNamed(r, "KXAPI_SetBootDeviceInfo").empty()) << line;
    EXPECT_TRUE(FileExists(Cache()));
  }
  // A setFile whose result would not read back, or that cannot rewrite the file, leaves it as it was.
  const std::string staged = ReadFile(Cache());
  EXPECT_EQ(Cfg({"setFilecli", kPort, "-a", "false"}).out, Error("Failed, Invalid parameter") + "Usage: setFile\r\n");
  EXPECT_EQ(ReadFile(Cache()), staged);
  std::filesystem::create_directories(Cache() + ".lock");
  EXPECT_EQ(Cfg({"setFilecli", kPort, "-a", "false"}).out, Error("Failed, File not found"));
  EXPECT_EQ(ReadFile(Cache()), staged);
}

TEST_F(Boot, NvmeEntryStagedAlongsideUntouchedOnes) {
  Result r = Ext({"setFilecli", kPort, "nvme", "-n", "1", "-p", kNvme, "-o", "1", "-l", "true"});
  const std::string entry1 = "      Storage 1: true\n      Storage 1 WWNN: 20:00:c8:a1:00:00:b0:02\n"
                             "      Storage 1 WWPN: " + kNvme + "\n      Storage 1 NQN: nqn.x\n"
                             "      Storage 1 ControllerID: 0x21\n      Storage 1 NamespaceID: 1\n";
  std::string head = "Adapter Driver: false\n" + Flag("Selective Login", false) + Flag("Selective LUN Login", false) +
                     Flag("World Login", true) + Flag("Fabric Assigned Boot LUN", false) + Flag("FC NVMe", true) +
                     "      Host NQN: nqn.2014-08.org.nvmexpress:host1\n"
                     "      Host ID: 00112233445566778899aabbccddeeff\n"
                     "      Storage 0: true\n      Storage 0 WWNN: 20:00:c8:a1:00:00:b0:07\n"
                     "      Storage 0 WWPN: 50:00:c8:a1:00:00:b0:07\n      Storage 0 NQN: nqn.2026-01.com.kaltex:boot\n"
                     "      Storage 0 ControllerID: 0x102\n      Storage 0 NamespaceID: 7\n";
  std::string rest;
  for (unsigned n = 2; n < 8; ++n) {
    const std::string s = "      Storage " + std::to_string(n);
    rest += s + ": false\n" + s + " WWNN: " + kZero + "\n" + s + " WWPN: " + kZero + "\n" + s + " NQN: \n" + s +
            " ControllerID: 0x0\n" + s + " NamespaceID: 0\n";
  }
  EXPECT_EQ(r.out, Doc(head + entry1 + rest));
  const std::string file = ReadFile(Cache("BootConfigExt_"));
  for (const char* line : {"Boot_Mode=4\n", "NVMe_Enable=1\n", "NVME_0_NQN=nqn.2026-01.com.kaltex:boot\n",
                           "NVME_0_ControllerID=258\n", "NVME_1_Enable=1\n", "NVME_1_NamespaceID=1\n", "NVME_7_NQN=\n"})
    EXPECT_NE(file.find(line), std::string::npos) << line;

  Ext({"getcli", kPort, "UEFI"});
  r = Ext({"setcli", kPort});
  EXPECT_EQ(r.out, Doc(head + entry1 + rest, kRebootTrue));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBfsConfigMode"), std::vector<std::string>{"KXAPI_SetBfsConfigMode mode=4"});
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBootDeviceInfo").at(0),
            "KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi changed=none");
  // Entry 1 starts at 300: WWPN, WWNN, NSID (316), controller (320), flags (324), NQN (328). Entry 0,
  // the host NQN and ID and every pattern byte stay as they were.
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetNVMeBootDeviceEntries").at(0),
            "KXAPI_SetNVMeBootDeviceEntries port=21:00:00:c8:a1:b0:00:00 changed=300:00>50,302:00>c8,303:00>a1,"
            "306:00>b0,307:00>02,308:00>20,310:00>c8,311:00>a1,314:00>b0,315:00>02,316:00>01,320:00>21,324:00>01,"
            "328:00>6e,329:00>71,330:00>6e,331:00>2e,332:00>78");
  EXPECT_EQ(Ext({"getcli", kPort, "nvme"}).out, Doc(head + entry1 + rest));
}

TEST_F(Boot, ExtendedFcpSlotInTheUefiView) {
  Ext({"setFilecli", kPort, "uefi", "--boot-target-num", "2", "--boot-target-wwpn", kFcp, "--boot-disk-num", "5"});
  Ext({"getcli", kPort, "BIOS"});
  Result r = Ext({"setcli", kPort});
  Drives staged = kUefiDrives;
  staged[2] = {kFcp, 5};
  EXPECT_EQ(r.out, Doc(UefiText(true, staged), kRebootTrue));
  EXPECT_EQ(CallsNamed(r, "KXAPI_SetBootDeviceInfo").at(0),
            "KXAPI_SetBootDeviceInfo port=21:00:00:c8:a1:b0:00:00 view=uefi "
            "changed=180:00>50,182:00>c8,183:00>a1,186:00>b0,187:00>01,188:00>05");
  EXPECT_TRUE(CallsNamed(r, "KXAPI_SetNVMeBootDeviceEntries").empty());
}

struct Failure {
  const char* family;
  const char* call;
  int rc;
  std::vector<std::string> words;  // the identifier and mode are added
  std::string message;
  bool reboot;
};

TEST_F(Boot, LibraryFailures) {
  const Failure rows[] = {
      {"bootconfig", "KXAPI_GetBootDeviceInfo", 150, {"getcli"}, "Failed, Command not supported when adapter port in maintenance mode", false},
      {"bootconfig", "KXAPI_GetBootDeviceInfo", 7, {"getcli"}, "Failed, Boot Config read failed", false},
      {"bootconfig", "KXAPI_SetBfsConfigMode", 9, {"getcli"}, "Failed, Boot Config read failed", false},
      {"bootconfig", "KXAPI_SetBfsConfigMode", 150, {"setFilecli"}, "Failed, Command not supported when adapter port in maintenance mode", false},
      {"bootconfig", "KXAPI_SetBootDeviceInfo", 5, {"setcli"}, "Failed, Boot Config update failed", true},
      {"bootconfig", "KXAPI_SetBootDeviceInfo", 150, {"setcli"}, "Failed, Command not supported when adapter port in maintenance mode", true},
      {"bootconfigext", "KXAPI_GetNVMeBootDeviceEntries", 5, {"getcli", "NVME"}, "Failed, NVMe Boot Config not present", false},
      {"bootconfigext", "KXAPI_GetBootDeviceInfo", 150, {"getcli", "UEFI"}, "Failed, Command not supported when adapter port in maintenance mode", false},
      {"bootconfigext", "KXAPI_SetNVMeBootDeviceEntries", 5, {"setcli"}, "Failed, Boot Config update failed", true},
      {"bootconfigext", "KXAPI_SetBootDeviceInfo", 150, {"setcli"}, "Failed, Command not supported when adapter port in maintenance mode", true},
  };
  for (const Failure& row : rows) {
    Sandbox sandbox(std::string("boot-failure-") + row.call + std::to_string(row.rc) + row.words[0]);
    std::string fixture = ReadFile(std::string(KXFC_FIXTURE_DIR) + "/boot-basic.json");
    fixture.insert(fixture.find('{') + 1, std::string("\"calls\": [{\"call\": \"") + row.call + "\", \"rc\": " +
                                              std::to_string(row.rc) + "}],");
    sandbox.UseFixtureText(fixture);
    const bool ext = std::string(row.family) == "bootconfigext";
    std::filesystem::create_directories(sandbox.HostPath("/opt/OrvtFcEsxcliPlugin/tmp"));
    if (row.words[0] == "setcli")
      WriteFile(sandbox.HostPath("/opt/OrvtFcEsxcliPlugin/tmp/") + (ext ? "BootConfigExt_" : "BootConfig_") + kPort,
                ext ? "Boot_Mode=4\nNVME_1_Enable=1\n" : "Boot_Mode=0\nWorld_Login=1\n");
    std::vector<std::string> words = {"-t", "port", "-s", row.family, row.words[0], kPort};
    words.insert(words.end(), row.words.begin() + 1, row.words.end());
    EXPECT_EQ(sandbox.Run(words).out, Error(row.message, row.reboot ? kRebootFalse : ""))
        << row.family << " " << row.call << " " << row.rc;
  }
}

}  // namespace
