// Every command that changes an adapter or runs a test refuses a misspelt
// word, or a value outside its list, before it writes or runs anything.
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// Every library call that changes an adapter, the library's view or runs a test.
const std::string kWrites =
    "KXAPI_ChangePersonalityType,KXAPI_ConfigureAdapterDPortSettings,KXAPI_DiagnosticDPortTest,"
    "KXAPI_DiagnosticDPortTestV2,KXAPI_DiagnosticsCTCommand,KXAPI_DiagnosticsEchoElsTest,KXAPI_DiagnosticsFCPingTest,"
    "KXAPI_DiagnosticsLoopBackTest,KXAPI_DiagnosticsRDPTest,KXAPI_DiagnosticsReadWriteBufferTest,"
    "KXAPI_FCSetBBCSupportInfo,KXAPI_FCSetFECSupportInfo,KXAPI_ResetFECCounters,KXAPI_RestoreDefaultNVRAM,"
    "KXAPI_SetBfsConfigMode,KXAPI_SetBootDeviceInfo,KXAPI_SetNVMeBootDeviceEntries,KXAPI_SetSCMRProfile,"
    "KXAPI_SetTargetLinkSpeed,KXAPI_SfpModuleFirmwareUpdate,KXAPI_UpdateAdapterBeaconStatus,"
    "KXAPI_UpdateAdapterFirmwareTableFromFile,KXAPI_UpdateAdapterNVRAMFromFile,KXAPI_UpdateAdapterPEPCfgFromFile,"
    "KXAPI_UpdateHBAParameters,KXAPI_UpdateSpecificFlashRegionFromFile,KXAPI_doOptionROMUpdate";

const std::string kInvalid = "Failed, Invalid parameter";
const std::string kBoot = "FC_21:00:00:c8:a1:b0:00:00";
const std::string kDiag = "FC_21:00:00:c8:a1:22:30:00";
const std::string kLoop = "FC_21:00:00:c8:a1:30:09:00";
const std::string kT1 = "50:00:c8:a1:00:00:10:01";
const std::string kScmFixture =
    R"({"adapters": [{"model": "KX3262", "serial": "S1", "pci": {"device": "0x2230", "subDevice": "0x0101"},)"
    R"( "ports": [{"entries": [{"wwpn": "21:00:00:c8:a1:50:00:01", "portState": 1, "capabilityFlags": "0x04000000"}]}]}]})";

std::string Usage(const std::string& text) { return "Usage: " + text + "\r\n"; }
std::string Refused(const std::string& structure, const std::string& list, const std::string& usage = "",
                    const std::string& reboot = "") {
  return ListError(structure, list, kInvalid, reboot).Text() + usage;
}

struct Row {
  std::string fixture;  // a fixture name, or its JSON text
  std::vector<std::string> words;
  std::string out;
  int status = 6;
};

TEST(Refusal, AMisspeltWordChangesAndRunsNothing) {
  const std::string loopback = Refused("LoopbackTestInfo", "LoopbackTestResult");
  const std::string boot = Refused("BootConfigInfo", "BootConfig", Usage("setFile"));
  const std::string ping = Doc{"FCPingResult", {{"Diagnostic Test", "FCPing"}, {"Test Result", kInvalid}}}.Text();
  const std::vector<Row> rows = {
      {"adapter-update.json", {"-t", "adapter", "updatecli", "Adapter_KX3200_SA0001", "@image", "NVRAM"},
       Doc{"FlashUpdate", {{"Reboot Required", Bool(false)}, {"Message", kInvalid}}}.Text() +
           Usage("[identifier] [flashfile]")},
      {"adapter-personality.json", {"-t", "adapter", "-s", "personality", "setcli", "Adapter_KX2350_SE0001", "CAN"},
       Doc{"AdapterPersonality", {{"Reboot Required", Bool(false)}, {"Message", kInvalid}, {"Personality", "Unknown"}}}
               .Text() + Usage("set [adapter identifier]")},
      {"port-list.json", {"-t", "port", "updatenvramcli", "FC_21:00:00:c8:a1:30:01:90", "@image"},
       Doc{"UpdateNVRAM", {{"Reboot Required", Bool(false)}, {"Message", kInvalid}}}.Text()},
      {"beacon-basic.json", {"-t", "port", "-s", "beacon", "setcli", "FC_21:00:00:c8:a1:30:01:00", "blink"},
       Doc{"BeaconInfo", {{"Message", kInvalid}, {"Beacon State", "Unknown"}}}.Text() + Usage("set")},
      {"portcfg-basic.json", {"-t", "port", "-s", "hbaparams", "setFilecli", "FC_21:00:00:c8:a1:70:00:00", "-d", "9_Gbps"},
       Refused("HBAParametersInfo", "HBAParameters", Usage("setFile"))},
      {"portcfg-basic.json", {"-t", "port", "-s", "bbcr", "setFilecli", "FC_21:00:00:c8:a1:70:00:00", "-b", "on"},
       Refused("BBCRInfo", "BBCR", Usage("setFile"))},
      {"portcfg-basic.json", {"-t", "port", "-s", "fec", "setcli", "FC_21:00:00:c8:a1:70:00:03", "-f", "on"},
       Refused("FECInfo", "FEC", Usage("set"), "false")},
      {"boot-basic.json", {"-t", "port", "-s", "bootconfig", "setFilecli", kBoot, "-b", "UEFI", "-g", "yes"}, boot},
      {"boot-basic.json", {"-t", "port", "-s", "bootconfig", "setFilecli", kBoot, "-b", "UEFl"}, boot},
      {"boot-basic.json", {"-t", "port", "-s", "bootconfig", "setFilecli", kBoot, "-a"}, boot},
      {"boot-basic.json", {"-t", "port", "-s", "bootconfigext", "setFilecli", kBoot, "NVMe", "-l", "ture"}, boot},
      {"boot-basic.json", {"-t", "port", "-s", "bootconfigext", "setFilecli", kBoot, "UEFl", "-g", "true"}, boot},
      {"diag-link.json", {"-t", "port", "-s", "dportdiag", "setcli", kDiag, "yes"},
       Doc{"DPortDiagInfo", {{"Message", kInvalid}, {"Reboot Required", Bool(false)}, {"Diagnostics Port Status", Bool(false)}}}
               .Text() + Usage("set")},
      {kScmFixture, {"-t", "port", "-s", "scmprofile", "setcli", "FC_21:00:00:c8:a1:50:00:01", "--activation", "Fast"},
       Refused("PortUSCMProfile", "Congestion Profile", Usage("set"))},
      {"target-basic.json", {"-t", "target", "-v", "iidma", "setcli", "FC_21:00:00:c8:a1:30:01:00_Target_" + kT1, "fast"},
       Refused("TargetIIDMAInformation", "Target IIDMA Info", Usage("set [port identifier]"))},
      {"sfp-basic.json", {"-t", "port", "-s", "dmi", "updatecli", "FC_21:00:00:c8:a1:30:01:00", "@image", "AVAGO"},
       MessageDoc("SFPFirmwareUpdate", "Failed, SFP FW update not supported for this SFP vendor").Text(), 58},
      {"diag-link.json", {"-t", "port", "-s", "ctdiag", "runcli", kDiag, "CTPong", kT1, "1"},
       Doc{"CTDiagResult", {{"Diagnostic Test", "Unknown"}, {"Test Result", kInvalid}}}.Text()},
      {"diag-link.json", {"-t", "port", "-s", "ctdiag", "runcli", kDiag, "ctping", kT1, "1", "yes"},
       Doc{"CTDiagResult", {{"Diagnostic Test", "CTPing"}, {"Test Result", kInvalid}}}.Text()},
      {"diag-link.json", {"-t", "port", "-s", "fcping", "runcli", kDiag, kT1, "1", "yes"}, ping},
      {"diag-link.json", {"-t", "port", "-s", "fcecho", "runcli", kDiag, kT1, "2", "stop"},
       Refused("FCEchoResult", "FCEchoTestResults")},
      {"diag-rdp-loopback.json", {"-t", "port", "-s", "loopback", "runcli", kLoop, "1", "1", "8", "Stopp", "Internal", "Random"},
       loopback},
      {"diag-rdp-loopback.json", {"-t", "port", "-s", "loopback", "runcli", kLoop, "1", "1", "8", "Stop", "Externl", "Random"},
       loopback},
      {"diag-rdp-loopback.json", {"-t", "port", "-s", "loopback", "runcli", kLoop, "1", "1", "8", "Stop", "Internal", "CRPATT"},
       loopback},
      {"diag-rdp-loopback.json", {"-t", "port", "-s", "loopback", "runcli", kLoop, "1", "1", "8", "Stop", "Internal", "00000001"},
       loopback},
      {"diag-rdp-loopback.json", {"-t", "port", "-s", "rwbuffer", "runcli", kLoop, "1", "1", "8", "Ignore", "Randm"},
       Refused("RWBufferTestInfo", "RWBufferTestResult")},
      {"diag-rdp-loopback.json", {"-t", "port", "-s", "rwbuffer", "runcli", kLoop, "1", "1", "8", "Ignore", "Custom", "-d"},
       Refused("RWBufferTestInfo", "RWBufferTestResult")},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    Sandbox box("refusal-" + std::to_string(i));
    if (rows[i].fixture.front() == '{') box.UseFixtureText(rows[i].fixture);
    else box.UseFixture(rows[i].fixture);
    const std::string image = box.File("image.bin");
    WriteFile(image, "IMAGE");
    Case c{rows[i].words, rows[i].out, rows[i].status, kWrites, {}};
    for (std::string& word : c.words)
      if (word == "@image") word = image;
    RunCases(box, {}, {c});
  }
}

}  // namespace
