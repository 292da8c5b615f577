#include "boot/PhysicalPortBootConfigExtCmdsProcessor.h"

using namespace bootcfg;

namespace {

using Cls = PhysicalPortBootConfigExtCmdsProcessor;
using Staged = std::map<std::string, std::string>;

constexpr const char* kClass = "PhysicalPortBootConfigExtCmdsProcessor";
// Room for the eight NVMe entries with NQNs of full length.
constexpr size_t kTextSize = 4096;

const StatusMessage kMessages[] = {
    {4, "Failed, Boot parameter requires valid boot mode option"},
    kxmsg::Common(6),
    {8, "Failed, UEFI/NVME boot mode not supported for this adapter"},
    {13, "Failed, Boot Config read failed"},
    kxmsg::Common(14),
    {17, "Failed, NVMe Boot Config not present"},
    {18, "Failed, Boot parameter not supported with UEFI boot mode option"},
    kxmsg::Common(19),
    {20, "Failed, Boot Config update failed"},
    kxmsg::Common(21),
    kxmsg::Common(35),
    kxmsg::Common(36),
    kxmsg::Common(42),
    {47, "Failed, Read-Only parameter"},
    kxmsg::Common(51),
    kxmsg::Common(53),
    kxmsg::Common(54),
    {55, "Failed, Tgt Num, Tgt WWPN, Disk Num required for FCP targets"},
    {56, "Failed, Tgt Num, Tgt WWPN, Disk Num, Tgt Enable required for NVMe targets"},
    kxmsg::Common(60),
};

// The result document: "set" adds "Reboot Required"; the "BootConfig" list
// holds one "BootConfigList" structure with the text block in "Data".
const ErrorDocument kDocument{"BootConfigInfo", kMessages, {}, {EmptyField::List("BootConfig", &BootConfigFamily::kElement)}};
const ErrorDocument kSetDocument{"BootConfigInfo", kMessages, {EmptyField::Bool(kxkey::kRebootRequired, false)},
                                 {EmptyField::List("BootConfig", &BootConfigFamily::kElement)}};

constexpr ParamDef kGetParams[] = {
    kxparam::kPort,
    {"mode", nullptr, nullptr, ValueType::kString, true, "The view: BIOS, UEFI or NVMe", "BIOS"},
};
constexpr ParamDef kSetFileParams[] = {
    kxparam::kPort,
    {"mode", nullptr, nullptr, ValueType::kString, true, "The view: BIOS, UEFI or NVMe", "BIOS"},
    {"enable-bfs", "--enable-bfs", "-a", ValueType::kBool, false, "Boot code enabled (true) or disabled (false)", nullptr},
    {"fabric-assigned-boot-lun", "--fabric-assigned-boot-lun", "-f", ValueType::kBool, false, "Fabric-assigned boot LUN: true or false", nullptr},
    {"selectable-boot", "--selectable-boot", "-d", ValueType::kBool, false, "Selectable boot: true or false (BIOS view only)", nullptr},
    {"selective-login", "--selective-login", "-e", ValueType::kBool, false, "Selective login: true or false (UEFI view only)", nullptr},
    {"selective-lun-login", "--selective-lun-login", "-c", ValueType::kBool, false, "Selective LUN login: true or false (UEFI view only)", nullptr},
    {"world-login", "--world-login", "-g", ValueType::kBool, false, "World login: true or false (UEFI view only)", nullptr},
    {"fc-nvme", "--fc-nvme", "-m", ValueType::kBool, false, "FC-NVMe boot: true or false (NVMe view only)", nullptr},
    {"boot-target-num", "--boot-target-num", "-n", ValueType::kInt, false, "Boot entry number, 0 to 7", nullptr},
    {"boot-target-wwpn", "--boot-target-wwpn", "-p", ValueType::kString, false, "Target WWPN of the boot entry", nullptr},
    {"boot-disk-num", "--boot-disk-num", "-o", ValueType::kInt, false, "LUN (FCP) or namespace ID (NVMe) of the boot entry", nullptr},
    {"boot-target-enable", "--boot-target-enable", "-l", ValueType::kBool, false, "Boot entry enabled: true or false (NVMe targets)", nullptr},
};

const CommandDef<Cls> kCommands[] = {
    {"get", "get Kaltex HBA Boot Config information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr, {kGetParams, &kDocument}},
    {"setFile", "set Kaltex HBA Boot Config information in a local cache file", 1, CommandKind::kXml,
     &Cls::CmdSetFileCommon, "CmdSetFile", nullptr, {kSetFileParams, &kDocument}},
    {"set", "set Kaltex HBA Boot Config information", 2, CommandKind::kXml, &Cls::CmdSetCommon, "CmdSet", nullptr, {kxparam::kPortOnly, &kSetDocument}},
    {"help", "list of available commands", 3, CommandKind::kHelp},
    {"getcli", "get Kaltex HBA Boot Config information", 4, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli",
     "Usage: get\r\n"},
    {"setFilecli", "set Kaltex HBA Boot Config information in a local cache file", 5, CommandKind::kText,
     &Cls::CmdSetFileCommon, "CmdSetFileCli", "Usage: setFile\r\n"},
    {"setcli", "set Kaltex HBA Boot Config information", 6, CommandKind::kText, &Cls::CmdSetCommon, "CmdSetCli",
     "Usage: set\r\n"},
};

// The boot mode word of get and setFile.
const struct {
  const char* word;
  uint8_t view;
} kModeWords[] = {{"BIOS", kxboot::kModeBios}, {"UEFI", kxboot::kModeUefi}, {"NVME", kxboot::kModeNvme}};

const FlagOption kEnableBfs = {{"-a", "--enable-bfs"}, "Disable_BIOS", "enable-bios", true};
const FlagOption kFabricLun = {{"-f", "--fabric-assigned-boot-lun"}, "Fabric_Assigned_Boot_Lun",
                               "fabric-assigned-boot-lun", false};
const FlagOption kSelectableBoot = {{"-d", "--selectable-boot"}, "Selectable_Boot", "selectable-boot", false};
const FlagOption kUefiFlags[] = {
    {{"-e", "--selective-login"}, "Selective_Login", "selective-login", false},
    {{"-c", "--selective-lun-login"}, "Selective_LUN_Login", "selective-lun-login", false},
    {{"-g", "--world-login"}, "World_Login", "world-login", false},
};
const FlagOption kFcNvme = {{"-m", "--fc-nvme"}, "NVMe_Enable", "fc-nvme", false};
const FlagOption kTargetEnable = {{"-l", "--boot-target-enable"}, "Enable", "boot-target-enable", false};

}  // namespace

PhysicalPortBootConfigExtCmdsProcessor::PhysicalPortBootConfigExtCmdsProcessor(CmdProcessor* parent)
    : BootConfigFamily(kClass, "Boot Config", "bootconfigext", kDocument, kSetDocument, FileLayout{"BootConfigExt_", true},
                       kTextSize, kGetParams, kSetFileParams, parent) {}

void PhysicalPortBootConfigExtCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortBootConfigExtCmdsProcessor::UserMode(const char* fn, const Words& words, Context& c) {
  if (words.size() < 2) {
    TraceFn(kTraceError, fn, "boot-mode not given");
    return kxstatus::kInvalidParameter;
  }
  const std::string& word = words[1];
  for (const auto& m : kModeWords) {
    if (!EqualsNoCase(word, m.word)) continue;
    if (m.view != kxboot::kModeBios && !c.uefiAdapter) {
      TraceRefusal(fn, "boot-mode=%s not supported for this adapter", word.c_str());
      return kModeNotSupported;
    }
    c.view = m.view;
    TraceFn(kTraceInfo, fn, "uUserMode=%d", c.view);
    return 0;
  }
  TraceRefusal(fn, "boot-mode=%s not supported", word.c_str());
  return kxstatus::kInvalidParameter;
}

uint32_t PhysicalPortBootConfigExtCmdsProcessor::StageOptions(const Context& c, Staged& staged) {
  constexpr const char* fn = "UpdateBootConfigInFile";
  const OptionWords& options = c.options;
  auto none = [](const std::string&) { return 0u; };
  if (const uint32_t st = StageFlag(kClass, options, kEnableBfs, none, staged)) return st;
  auto legacy = [&](const std::string& v) {
    if (!IsLegacyBootAdapter(c.pci)) return 0u;
    TraceRefusal(fn, "fabric-assigned-boot-lun=%s is not supported for this adapters", v.c_str());
    return kxstatus::kNotSupportedForAdapter;
  };
  if (const uint32_t st = StageFlag(kClass, options, kFabricLun, legacy, staged)) return st;
  auto biosOnly = [&](const std::string&) {
    if (c.view == kxboot::kModeBios) return 0u;
    TraceRefusal(fn, "boot-mode=%s required", "BIOS");
    return kNotWithUefi;
  };
  if (const uint32_t st = StageFlag(kClass, options, kSelectableBoot, biosOnly, staged)) return st;
  for (const FlagOption& option : kUefiFlags) {
    auto notBios = [&](const std::string& v) {
      if (!c.uefiAdapter) {
        TraceRefusal(fn, (std::string(option.name) + "=%s not supported").c_str(), v.c_str());
        return kxstatus::kNotSupportedForAdapter;
      }
      if (c.view != kxboot::kModeBios) return 0u;
      TraceRefusal(fn, "boot-mode=%s not supported", "BIOS");
      return kNeedsBootMode;
    };
    if (const uint32_t st = StageFlag(kClass, options, option, notBios, staged)) return st;
  }
  auto nvmeOnly = [&](const std::string& v) {
    if (!c.uefiAdapter) {
      TraceRefusal(fn, "fc-nvme=%s not supported", v.c_str());
      return kxstatus::kNotSupportedForAdapter;
    }
    if (c.view == kxboot::kModeNvme) return 0u;
    TraceRefusal(fn, "boot-mode=%s required", "NVME");
    return kNeedsBootMode;
  };
  if (const uint32_t st = StageFlag(kClass, options, kFcNvme, nvmeOnly, staged)) return st;
  return StageSlot(c, staged);
}

uint32_t PhysicalPortBootConfigExtCmdsProcessor::StageSlot(const Context& c, Staged& staged) {
  constexpr const char* fn = "UpdateBootConfigInFile";
  auto option = [&](const char* shortName, const char* longName, std::string& value) {
    return c.options.Get({shortName, longName}, value);
  };
  auto invalid = [&](const char* what, const std::string& value) {
    TraceRefusal(fn, (std::string(what) + "=%s invalid").c_str(), value.c_str());
    return kxstatus::kInvalidParameter;
  };
  const bool nvmeMode = c.view == kxboot::kModeNvme;
  std::string numText, wwpnText, diskText, enableText;
  std::optional<uint64_t> num, disk;
  std::optional<kxinv::Bytes8> wwpn;
  kxinv::TargetRef target(nullptr);
  const bool hasNum = option("-n", "--boot-target-num", numText);
  if (hasNum) {
    num = ParseNumber(numText, 0, 7);
    if (!num) return invalid("boot-target-num", numText);
    if (c.view == kxboot::kModeBios && *num > 3) {
      TraceFn(kTraceError, fn, "target number 0-3 supported in BIOS mode");
      return kNeedsBootMode;
    }
    if (!c.uefiAdapter && *num > 3) {
      TraceFn(kTraceError, fn, "target number 0-3 supported for older adapters");
      return kNeedsBootMode;
    }
  }
  const bool hasWwpn = option("-p", "--boot-target-wwpn", wwpnText);
  if (hasWwpn) {
    wwpn = ParseWwpn(wwpnText);
    if (!wwpn) return invalid("boot-target-wwpn", wwpnText);
    if (!kxinv::IsZero(*wwpn)) {
      target = FindTarget(c.port.entry, *wwpn);
      if (!target) {
        TraceRefusal(fn, "Target WWPN=%s not present", wwpnText.c_str());
        return kxstatus::kInvalidParameter;
      }
    }
  }
  const bool hasDisk = option("-o", "--boot-disk-num", diskText);
  if (hasDisk) {
    disk = ParseNumber(diskText, 0, nvmeMode ? UINT32_MAX : UINT16_MAX);
    if (!disk) return invalid("boot-disk-num", diskText);
  }
  Staged enable;
  const bool hasEnable = option("-l", "--boot-target-enable", enableText);
  if (hasEnable)
    if (const uint32_t st = FlagValue(kClass, enableText, kTargetEnable, enable)) return st;

  if (!nvmeMode && (hasNum || hasWwpn || hasDisk) && !(hasNum && hasWwpn && hasDisk)) {
    TraceFn(kTraceError, fn, "all boot parameters not present");
    return kFcpIncomplete;
  }
  if (nvmeMode && (hasNum || hasWwpn || hasDisk || hasEnable) && !(hasNum && hasWwpn && hasDisk && hasEnable)) {
    TraceFn(kTraceError, fn, "all required boot parameters not provided");
    return kNvmeIncomplete;
  }
  if (!hasNum) return 0;
  const unsigned n = static_cast<unsigned>(*num);
  const bool cleared = !target;
  if (nvmeMode) {
    if (target && !target.IsNvme()) {
      TraceFn(kTraceError, fn, "FCP target provided for NVMe boot mode");
      return kxstatus::kInvalidParameter;
    }
    staged[NvmeKey(n, "Enable")] = enable["Enable"];
    staged[NvmeKey(n, "WWPN")] = kxinv::FormatWwn(*wwpn);
    staged[NvmeKey(n, "NamespaceID")] = cleared ? "0" : std::to_string(*disk);
    staged[NvmeKey(n, "WWNN")] = kxinv::FormatWwn(cleared ? kxinv::Bytes8{} : target.NodeName());
    staged[NvmeKey(n, "NQN")] = cleared ? "" : target.NvmeSubsystemNqn();
    staged[NvmeKey(n, "ControllerID")] = cleared ? "0" : std::to_string(target.NvmeControllerId());
    return 0;
  }
  if (target && target.IsNvme()) {
    TraceFn(kTraceError, fn, "NVMe target provided for non-NVMe boot mode");
    return kxstatus::kInvalidParameter;
  }
  if (target && !HasLun(target, static_cast<uint32_t>(*disk))) {
    TraceFn(kTraceError, fn, "LUN/Namespace disk not found");
    return kxstatus::kInvalidParameter;
  }
  staged[DriveWwpnKey(n)] = kxinv::FormatWwn(*wwpn);
  staged[DriveLunKey(n)] = cleared ? "0" : std::to_string(*disk);
  return 0;
}
