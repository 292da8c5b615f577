#include "boot/PhysicalPortBootConfigCmdsProcessor.h"

using namespace bootcfg;

namespace {

using Cls = PhysicalPortBootConfigCmdsProcessor;
using Staged = std::map<std::string, std::string>;

constexpr const char* kClass = "PhysicalPortBootConfigCmdsProcessor";
constexpr size_t kTextSize = 2048;

const StatusMessage kMessages[] = {
    {4, "Failed, Boot parameter requires UEFI boot mode option"},
    kxmsg::Common(6),
    {8, "Failed, UEFI boot mode not supported for this adapter"},
    {13, "Failed, Boot Config read failed"},
    kxmsg::Common(14),
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
    kxmsg::Common(60),
};

// The result document: "set" adds "Reboot Required"; the "BootConfig" list
// holds one "BootConfigList" structure with the text block in "Data".
const ErrorDocument kDocument{"BootConfigInfo", kMessages, {}, {EmptyField::List("BootConfig", &BootConfigFamily::kElement)}};
const ErrorDocument kSetDocument{"BootConfigInfo", kMessages, {EmptyField::Bool(kxkey::kRebootRequired, false)},
                                 {EmptyField::List("BootConfig", &BootConfigFamily::kElement)}};

constexpr ParamDef kGetParams[] = {
    kxparam::kPort,
    {"boot-mode", "--boot-mode", "-b", ValueType::kString, false, "The view: BIOS (the default) or UEFI", nullptr},
};
constexpr ParamDef kSetFileParams[] = {
    kxparam::kPort,
    {"boot-mode", "--boot-mode", "-b", ValueType::kString, false, "The view: BIOS (the default) or UEFI", nullptr},
    {"enable-bfs", "--enable-bfs", "-a", ValueType::kBool, false, "Boot code enabled (true) or disabled (false)", nullptr},
    {"fabric-assigned-boot-lun", "--fabric-assigned-boot-lun", "-f", ValueType::kBool, false, "Fabric-assigned boot LUN: true or false", nullptr},
    {"selectable-boot", "--selectable-boot", "-d", ValueType::kBool, false, "Selectable boot: true or false (BIOS view only)", nullptr},
    {"selective-login", "--selective-login", "-e", ValueType::kBool, false, "Selective login: true or false (UEFI view only)", nullptr},
    {"selective-lun-login", "--selective-lun-login", "-c", ValueType::kBool, false, "Selective LUN login: true or false (UEFI view only)", nullptr},
    {"world-login", "--world-login", "-g", ValueType::kBool, false, "World login: true or false (UEFI view only)", nullptr},
    {"drive-0", "--drive-0", "-j", ValueType::kString, false, "Boot device 0 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-1", "--drive-1", "-k", ValueType::kString, false, "Boot device 1 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-2", "--drive-2", "-l", ValueType::kString, false, "Boot device 2 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-3", "--drive-3", "-m", ValueType::kString, false, "Boot device 3 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-4", "--drive-4", "-n", ValueType::kString, false, "Boot device 4 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-5", "--drive-5", "-o", ValueType::kString, false, "Boot device 5 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-6", "--drive-6", "-p", ValueType::kString, false, "Boot device 6 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
    {"drive-7", "--drive-7", "-q", ValueType::kString, false, "Boot device 7 as WWPN-LUN (drives 4 to 7: UEFI view only)", nullptr},
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

const FlagOption kEnableBfs = {{"-a", "--enable-bfs"}, "Disable_BIOS", "enable-bios", true};
const FlagOption kFabricLun = {{"-f", "--fabric-assigned-boot-lun"}, "Fabric_Assigned_Boot_Lun",
                               "fabric-assigned-boot-lun", false};
const FlagOption kSelectableBoot = {{"-d", "--selectable-boot"}, "Selectable_Boot", "selectable-boot", false};
// The login options of the UEFI view, in the order they are checked.
const FlagOption kUefiFlags[] = {
    {{"-e", "--selective-login"}, "Selective_Login", "selective-login", false},
    {{"-c", "--selective-lun-login"}, "Selective_LUN_Login", "selective-lun-login", false},
    {{"-g", "--world-login"}, "World_Login", "world-login", false},
};
// "--drive-0" to "--drive-7".
const char* const kDriveShort[8] = {"-j", "-k", "-l", "-m", "-n", "-o", "-p", "-q"};

}  // namespace

PhysicalPortBootConfigCmdsProcessor::PhysicalPortBootConfigCmdsProcessor(CmdProcessor* parent)
    : BootConfigFamily(kClass, "Boot Config", "bootconfig", kDocument, kSetDocument, FileLayout{"BootConfig_", false}, kTextSize,
                       kGetParams, kSetFileParams, parent) {}

void PhysicalPortBootConfigCmdsProcessor::RegisterCommands() { AddCommands(this, kCommands); }

uint32_t PhysicalPortBootConfigCmdsProcessor::UserMode(const char* fn, const Words&, Context& c) {
  std::string value;
  c.view = kxboot::kModeBios;
  if (c.options.Get({"-b", "--boot-mode"}, value)) {
    if (EqualsNoCase(value, "UEFI")) {
      if (!c.uefiAdapter) {
        TraceRefusal(fn, "boot-mode=%s not supported for this adapter", value.c_str());
        return kModeNotSupported;
      }
      c.view = kxboot::kModeUefi;
    } else if (!EqualsNoCase(value, "BIOS")) {
      TraceRefusal(fn, "boot-mode=%s not supported", value.c_str());
      return kxstatus::kInvalidParameter;
    }
  }
  TraceFn(kTraceInfo, fn, "bUEFI=%d", c.view == kxboot::kModeUefi ? 1 : 0);
  return 0;
}

uint32_t PhysicalPortBootConfigCmdsProcessor::StageOptions(const Context& c, Staged& staged) {
  constexpr const char* fn = "UpdateBootConfigInFile";
  const OptionWords& options = c.options;
  const bool uefi = c.view == kxboot::kModeUefi;
  auto none = [](const std::string&) { return 0u; };
  if (const uint32_t st = StageFlag(kClass, options, kEnableBfs, none, staged)) return st;
  auto legacy = [&](const std::string& v) {
    if (!IsLegacyBootAdapter(c.pci)) return 0u;
    TraceRefusal(fn, "fabric-assigned-boot-lun=%s is not supported for this adapters", v.c_str());
    return kxstatus::kNotSupportedForAdapter;
  };
  if (const uint32_t st = StageFlag(kClass, options, kFabricLun, legacy, staged)) return st;
  auto biosOnly = [&](const std::string&) {
    if (!uefi) return 0u;
    TraceRefusal(fn, "boot-mode=%s required", "BIOS");
    return kNotWithUefi;
  };
  if (const uint32_t st = StageFlag(kClass, options, kSelectableBoot, biosOnly, staged)) return st;
  for (const FlagOption& option : kUefiFlags) {
    auto uefiOnly = [&](const std::string& v) {
      if (!c.uefiAdapter) {
        TraceRefusal(fn, (std::string(option.name) + "=%s not supported").c_str(), v.c_str());
        return kxstatus::kNotSupportedForAdapter;
      }
      if (uefi) return 0u;
      TraceRefusal(fn, "boot-mode=%s required", "UEFI");
      return kNeedsBootMode;
    };
    if (const uint32_t st = StageFlag(kClass, options, option, uefiOnly, staged)) return st;
  }
  for (unsigned n = 0; n < 8; ++n)
    if (const uint32_t st = StageDrive(c, n, staged)) return st;
  return 0;
}

uint32_t PhysicalPortBootConfigCmdsProcessor::StageDrive(const Context& c, unsigned n, Staged& staged) {
  constexpr const char* fn = "UpdateBootConfigInFile";
  const std::string longName = "--drive-" + std::to_string(n);
  std::string value;
  if (!c.options.Get({kDriveShort[n], longName.c_str()}, value)) return 0;
  const std::string drive = "drive-" + std::to_string(n) + "=%s";
  if (n >= 4) {
    if (!c.uefiAdapter) {
      TraceRefusal(fn, (drive + " not supported").c_str(), value.c_str());
      return kxstatus::kNotSupportedForAdapter;
    }
    if (c.view != kxboot::kModeUefi) {
      TraceRefusal(fn, "boot-mode=%s required", "UEFI");
      return kNeedsBootMode;
    }
  }
  const size_t dash = value.find('-');
  const std::optional<kxinv::Bytes8> wwpn = ParseWwpn(value.substr(0, dash));
  const std::optional<uint64_t> lun =
      dash == std::string::npos ? std::nullopt : ParseNumber(value.substr(dash + 1), 0, UINT16_MAX);
  if (!wwpn || !lun) {
    TraceRefusal(fn, (drive + " invalid").c_str(), value.c_str());
    return kxstatus::kInvalidParameter;
  }
  if (kxinv::IsZero(*wwpn)) {
    staged[DriveWwpnKey(n)] = kxinv::FormatWwn(*wwpn);
    staged[DriveLunKey(n)] = "0";
    return 0;
  }
  const kxinv::TargetRef target = FindTarget(c.port.entry, *wwpn);
  if (!target || !HasLun(target, static_cast<uint32_t>(*lun))) {
    TraceRefusal(fn, (drive + " not present").c_str(), value.c_str());
    return kxstatus::kInvalidParameter;
  }
  if (target.IsNvme()) {
    TraceRefusal(fn, (drive + " not supported for NVMe target").c_str(), value.c_str());
    return kNvmeTarget;
  }
  staged[DriveWwpnKey(n)] = kxinv::FormatWwn(*wwpn);
  staged[DriveLunKey(n)] = std::to_string(*lun);
  return 0;
}
