#include "portcfg/HbaParamsStaging.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <utility>
#include <map>
#include <vector>

#include "runtime/FileOps.h"
#include "runtime/Paths.h"
#include "runtime/Trace.h"
#include "shell/Status.h"

namespace hbaparams {

namespace {

using kxinv::PciIdentity;

constexpr const char* kClass = "PhysicalPortHBAParamsCmdsProcessor";
constexpr size_t kValueSize = 512;

struct Word {
  const char* word;
  uint32_t code;
  uint8_t speedBit;  // bit of the supported-speed mask; 0xFF: always supported
};

const Word kConnectionWords[] = {
    {"Loop_Only", 0, 0}, {"Point_To_Point_Only", 1, 0}, {"Loop_Preferred_Otherwise_Point_To_Point", 2, 0}};

const Word kDataRateWords[] = {
    {"1_Gbps", 0, 0}, {"2_Gbps", 1, 1}, {"Auto", 2, 0xFF}, {"4_Gbps", 3, 3},
    {"8_Gbps", 4, 4}, {"16_Gbps", 5, 5}, {"32_Gbps", 6, 6}, {"64_Gbps", 7, 7}};

const Word kOperationModeWords[] = {{"Interrupt_For_Every_I/O_Completion", 0, 0},
                                    {"Interrupt_When_Interrupt_Delay_Timer_Expires", 5, 0},
                                    {"Interrupt_When_Interrupt_Delay_Timer_Expires_Or_No_Active_I/O", 6, 0}};

constexpr uint32_t kLoopOnly = 0;
constexpr uint32_t kRate8G = 4;
constexpr uint32_t kEveryIoMode = 0;
constexpr uint8_t kSpeedMask64G = 0x80;

enum class Kind { kConnection, kDataRate, kOperationMode, kFrameSize, kNumber, kBool, kInvertedBool, kFileOnly };

using ClassTest = bool (*)(const PciIdentity&);

// One staged parameter, in the order options are checked and keys are read.
struct Param {
  const char* key;
  const char* longOption;
  const char* shortOption;
  size_t offset;
  bool byteWide;
  const char* member;  // record member, as traced
  const char* option;  // option name, as traced
  Kind kind;
  uint32_t max;
  ClassTest unavailable;  // adapters without the parameter (status 35)
};

bool NotAorBorC(const PciIdentity& p) {
  return !kxinv::IsDeviceGroupA(p) && !kxinv::IsDeviceGroupB(p) && !kxinv::IsDeviceGroupC(p);
}
bool NotC(const PciIdentity& p) { return !kxinv::IsDeviceGroupC(p); }
bool DorAorBorC(const PciIdentity& p) { return kxinv::IsDeviceGroupD(p) || !NotAorBorC(p); }
bool GorK(const PciIdentity& p) { return kxinv::IsDeviceGroupG(p) || kxinv::IsDeviceGroupK(p); }
bool GorHorI(const PciIdentity& p) {
  return kxinv::IsDeviceGroupG(p) || kxinv::IsDeviceGroupH(p) || kxinv::IsDeviceGroupI(p);
}
// The adapters on which Loop_Only is refused at 16 Gbps and above.
bool LoopRateChecked(const PciIdentity& p) { return kxinv::IsDeviceGroupE(p) || !NotAorBorC(p); }

const Param kParams[] = {
    {"Connection_Options", "--connection-options", "-c", kxhba::kConnetionOptions, false, "ConnetionOptions",
     "connection-options", Kind::kConnection, 2, nullptr},
    {"Data_Rate", "--data-rate", "-d", kxhba::kDataRate, false, "DataRate", "data-rate", Kind::kDataRate, 7, nullptr},
    {"Operation_Mode", "--operation-mode", "-m", kxhba::kOperationMode, false, "OperationMode", "operation-mode",
     Kind::kOperationMode, 6, kxinv::IsDeviceGroupK},
    {"Frame_Size", "--frame-size", "-z", kxhba::kFrameSize, false, "FrameSize", "frame-size", Kind::kFrameSize, 2112,
     nullptr},
    {"Hard_Loop_ID", "--hard-loop-id", "-l", kxhba::kHardLoopId, false, "HardLoopId", "hard-loop-id", Kind::kNumber,
     125, kxinv::IsDeviceGroupI},
    {"Loop_Reset_Delay", "--loop-reset-delay", "-r", kxhba::kLoopResetDelay, false, "LoopResetDelay",
     "loop-reset-delay", Kind::kNumber, 255, nullptr},
    {"Interrupt_Delay_Timer", "--interrupt-delay-timer", "-e", kxhba::kInterruptDelayTimer, false,
     "InterruptDelayTimer", "interrupt-delay-timer", Kind::kNumber, 255, kxinv::IsDeviceGroupK},
    {"Execution_Throttle", "--execution-throttle", "-x", kxhba::kExecutionThrottle, false, "ExecutionThrottle",
     "execution-throttle", Kind::kNumber, 65535, DorAorBorC},
    {"Login_Retry_Count", "--login-retry-count", "-u", kxhba::kLoginRetryCount, false, "LoginRetryCount",
     "login-retry-count", Kind::kNumber, 255, nullptr},
    {"Port_Down_Retry_Count", "--port-down-retry-count", "-w", kxhba::kPortDownRetryCount, false,
     "PortDownRetryCount", "port-down-retry-count", Kind::kNumber, 255, nullptr},
    {"Link_Down_Timeout", "--link-down-timeout", "-o", kxhba::kLinkDownTimeout, false, "LinkDownTimeout",
     "link-down-timeout", Kind::kNumber, 240, nullptr},
    {"Luns_Per_Target", "--luns-per-target", "-y", kxhba::kMaxLunsPerTarget, false, "MaxLunsPerTarget",
     "luns-per-target", Kind::kNumber, 256, nullptr},
    {"Disable_BIOS", "--enable-bios", "-b", kxhba::kDisableBIOS, false, "DisableBIOS", "enable-bios",
     Kind::kInvertedBool, 1, nullptr},
    {"Enable_Hard_Loop_Id", "--enable-hard-loop-id", "-p", kxhba::kEnableHardLoopId, false, "EnableHardLoopId",
     "enable-hard-loop-id", Kind::kBool, 1, kxinv::IsDeviceGroupI},
    {"Enable_Fibre_Channel_Tape_Support", "--enable-fc-tape", "-f", kxhba::kEnableFibreChannelTapeSupport, false,
     "EnableFibreChannelTapeSupport", "enable-fc-tape", Kind::kBool, 1, nullptr},
    {"Enable_Lip_Full_Login", "--enable-lip-full-login", "-g", kxhba::kEnableLipFullLogin, false,
     "EnableLipFullLogin", "enable-lip-full-login", Kind::kBool, 1, kxinv::IsDeviceGroupI},
    {"Enable_Target_Reset", "--enable-target-reset", "-a", kxhba::kEnableTargetReset, false, "EnableTargetReset",
     "enable-target-reset", Kind::kBool, 1, nullptr},
    {"Enable_Receive_Out_Of_Order_Frames", "", "", kxhba::kRecvOutOfOrderDataBit, false, "RecvOutOfOrderDataBit",
     "receive-out-of-order-frames", Kind::kFileOnly, 1, nullptr},
    {"Enable_LR", "--enable-lr", "-k", kxhba::kEnableLRBit, false, "EnableLRBit", "enable-lr", Kind::kBool, 1, GorK},
    {"Enable_Fabric_Assign_WWN", "--enable-fabric-assigned-wwn", "-n", kxhba::kEnableFabricAssignWWN, false,
     "EnableFabricAssignWWN", "enable-fabric-assigned-wwn", Kind::kBool, 1, GorHorI},
    {"Disable_SCM", "--enable-uscm", "-q", kxhba::kDisableSCM, false, "DisableSCM", "enable-uscm",
     Kind::kInvertedBool, 1, NotAorBorC},
    {"Enable_Virtual_Lane", "--virtual-lane", "-j", kxhba::kEnableVirtualLane, true, "EnableVirtualLane",
     "virtual-lane", Kind::kBool, 1, NotC},
};

const Param& ParamByKey(const char* key) {
  for (const Param& p : kParams)
    if (std::string(p.key) == key) return p;
  return kParams[0];
}

uint32_t Member(const HbaParams& record, const Param& p) {
  return p.byteWide ? record.U8(p.offset) : record.U32(p.offset);
}

template <size_t N>
const Word* FindWord(const Word (&table)[N], const std::string& word) {
  for (const Word& w : table)
    if (EqualsNoCase(word, w.word)) return &w;
  return nullptr;
}

template <size_t N>
const char* WordFor(const Word (&table)[N], uint32_t code) {
  for (const Word& w : table)
    if (w.code == code) return w.word;
  return nullptr;
}

bool InRange(const Param& p, uint64_t v) {
  switch (p.kind) {
    case Kind::kOperationMode: return v == 0 || v == 5 || v == 6;
    case Kind::kFrameSize: return v == 512 || v == 1024 || v == 2048 || v == 2112;
    default: return v <= p.max;
  }
}

// "<option>=<word> <reason>", the trace of a refused option.
void Refuse(const char* fn, const char* option, const char* word, const char* reason) {
  TraceLevel(kTraceError, "%s::%s: %s=%s %s", kClass, fn, option, word, reason);
}

// The staged value of a key: the file's when it exists (absent key, or a
// value out of range, which can only have come from the adapter: found
// false), the adapter's while there is no file yet.
struct Staged {
  bool found = false;
  uint32_t value = 0;
};

Staged StagedValue(const KeyValueFile& file, const HbaParams& current, const char* key) {
  const Param& p = ParamByKey(key);
  if (!file.Exists()) return Staged{true, Member(current, p)};
  char text[kValueSize] = "";
  if (file.Get(key, text, sizeof text) != 1) return Staged{};
  const std::optional<uint32_t> v = ParseStoredNumber(text);
  if (!v || !InRange(p, *v)) return Staged{};
  return Staged{true, *v};
}

// The option names setFile knows.
std::vector<OptionName> OptionNames() {
  std::vector<OptionName> names;
  for (const Param& p : kParams)
    if (p.kind != Kind::kFileOnly) names.push_back({p.shortOption, p.longOption});
  return names;
}

std::string Decimal(uint32_t v) { return std::to_string(static_cast<int32_t>(v)); }

}  // namespace

std::string CachePath(const std::string& identifier) {
  return kxpaths::Resolve(kxpaths::kCacheDir) + "/HBAParams_" + identifier;
}

const char* ConnectionWord(uint32_t code) { return WordFor(kConnectionWords, code); }
const char* DataRateWord(uint32_t code, bool groupF) {
  if (code == 5 && groupF) return "10_Gbps";
  return WordFor(kDataRateWords, code);
}
const char* OperationModeWord(uint32_t code) { return WordFor(kOperationModeWords, code); }

uint32_t UpdateHBAParamsInFile(const Words& words, KeyValueFile& file, kxinv::PortEntryRef entry,
                               const HbaParams& current) {
  constexpr const char* fn = "UpdateHBAParamsInFile";
  const PciIdentity pci = entry.Pci();
  const bool fileExists = file.Exists();
  OptionWords options;
  std::string offending;
  if (!options.Read(words, OptionNames(), offending)) {
    Refuse(fn, "option", offending.c_str(), "not supported");
    return kxstatus::kInvalidParameter;
  }
  std::map<std::string, std::string> accepted;
  bool connectionGiven = false;
  uint32_t connection = 0;
  bool modeGiven = false;
  uint32_t mode = 0;

  for (const Param& p : kParams) {
    if (p.kind == Kind::kFileOnly) continue;
    std::string word;
    if (!options.Get({p.shortOption, p.longOption}, word)) continue;
    const char* w = word.c_str();
    uint32_t value = 0;
    if (p.unavailable && p.unavailable(pci)) {
      Refuse(fn, p.option, w, "not supported for this adapter");
      return kxstatus::kNotSupportedForAdapter;
    }
    switch (p.kind) {
      case Kind::kConnection: {
        const Word* found = FindWord(kConnectionWords, word);
        if (kxinv::IsOemVariantG(pci) && (!found || found->code != 1)) {
          Refuse(fn, p.option, w, "not supported for Morwen adapter");
          return kxstatus::kInvalidParameter;
        }
        if (!found) {
          Refuse(fn, p.option, w, "not supported");
          return kxstatus::kInvalidParameter;
        }
        value = found->code;
        if (value == kLoopOnly) {
          if ((entry.SupportedSpeeds() & kSpeedMask64G) != 0 || kxinv::IsOemVariantA(pci)) {
            Refuse(fn, p.option, w, "not supported for 64G adapters");
            return kLoopOnlyAtHighRate;
          }
          if (LoopRateChecked(pci)) {
            const Staged rate = StagedValue(file, current, "Data_Rate");
            if (rate.found && rate.value > kRate8G) {
              Refuse(fn, p.option, w, "not supported for data rate 16 Gbps and above");
              return kLoopOnlyAtHighRate;
            }
          }
        }
        connectionGiven = true;
        connection = value;
        break;
      }
      case Kind::kDataRate: {
        if (kxinv::IsDeviceGroupI(pci) || kxinv::IsOemVariantD(pci)) {
          Refuse(fn, p.option, w, "read-only parameter for this adapter");
          return kReadOnly;
        }
        const Word* found = FindWord(kDataRateWords, word);
        if (!found) {
          Refuse(fn, p.option, w, "not supported");
          return kxstatus::kInvalidParameter;
        }
        value = found->code;
        struct Variant {
          ClassTest test;
          std::initializer_list<uint32_t> allowed;
          const char* reason;
        };
        const Variant variants[] = {
            {kxinv::IsOemVariantC, {2, 4, 5}, "not supported for Ottar mezz adapters"},
            {kxinv::IsOemVariantE, {2, 5, 6}, "not supported for Dastrel 32G Mezz adapters"},
            {kxinv::IsOemVariantF, {2, 5}, "not supported for Dastrel 16G Mezz adapters"},
        };
        for (const Variant& v : variants) {
          if (!v.test(pci)) continue;
          bool allowed = false;
          for (uint32_t code : v.allowed) allowed = allowed || code == value;
          if (!allowed) {
            Refuse(fn, p.option, w, v.reason);
            return kxstatus::kInvalidParameter;
          }
        }
        if (found->speedBit != 0xFF && (entry.SupportedSpeeds() & (1u << found->speedBit)) == 0) {
          Refuse(fn, p.option, w, "not in the supported speeds of the port");
          return kxstatus::kInvalidParameter;
        }
        if (value > kRate8G && LoopRateChecked(pci)) {
          uint32_t staged = connection;
          bool known = connectionGiven;
          if (!known) {
            const Staged s = StagedValue(file, current, "Connection_Options");
            known = s.found;
            staged = s.value;
          }
          if (known && staged == kLoopOnly) {
            Refuse(fn, p.option, w, "not supported with connection option Loop_Only");
            return kLoopOnlyAtHighRate;
          }
        }
        break;
      }
      case Kind::kOperationMode: {
        const Word* found = FindWord(kOperationModeWords, word);
        if (!found) {
          Refuse(fn, p.option, w, "not supported");
          return kxstatus::kInvalidParameter;
        }
        value = found->code;
        if (value == kEveryIoMode) accepted["Interrupt_Delay_Timer"] = "0";
        modeGiven = true;
        mode = value;
        break;
      }
      case Kind::kFrameSize:
      case Kind::kNumber: {
        const std::optional<uint64_t> v = ParseNumber(word, 0, p.max);
        if (!v || !InRange(p, *v)) {
          Refuse(fn, p.option, w, "not supported");
          return kxstatus::kInvalidParameter;
        }
        value = static_cast<uint32_t>(*v);
        if (p.kind == Kind::kFrameSize && value == 2112 && !kxinv::IsOemVariantB(pci)) {
          Refuse(fn, p.option, w, "not supported for non-encryption adapter");
          return kxstatus::kInvalidParameter;
        }
        if (p.offset == kxhba::kInterruptDelayTimer && value != 0) {
          uint32_t staged = mode;
          bool known = modeGiven;
          if (!known) {
            const Staged s = StagedValue(file, current, "Operation_Mode");
            known = s.found;
            staged = s.value;
          }
          if (known && staged == kEveryIoMode) {
            Refuse(fn, p.option, w, "not supported for operation mode Interrupt_For_Every_I/O_Completion");
            return kIdtWithEveryIoMode;
          }
        }
        break;
      }
      case Kind::kBool:
      case Kind::kInvertedBool: {
        const bool isTrue = EqualsNoCase(word, "true");
        if (!isTrue && !EqualsNoCase(word, "false")) {
          Refuse(fn, p.option, w, "not supported");
          return kxstatus::kInvalidParameter;
        }
        value = isTrue == (p.kind == Kind::kBool) ? 1 : 0;
        break;
      }
      case Kind::kFileOnly:
        break;
    }
    accepted[p.key] = Decimal(value);
  }

  // A first setFile starts the file from the adapter's values; the accepted
  // options follow in the same rewrite, so the file never holds half of them.
  KeyValuePairs pairs;
  if (!fileExists) {
    std::map<std::string, std::string> all;
    for (const Param& p : kParams) all[p.key] = Decimal(Member(current, p));
    pairs.assign(all.begin(), all.end());
  }
  pairs.insert(pairs.end(), accepted.begin(), accepted.end());
  file.Update(pairs);
  return 0;
}

uint32_t ReadHBAParamsFromFile(const KeyValueFile& file, HbaParams& record) {
  constexpr const char* fn = "ReadHBAParamsFromFile";
  for (const Param& p : kParams) {
    char text[kValueSize] = "";
    if (file.Get(p.key, text, sizeof text) != 1) continue;
    const std::optional<uint32_t> v = ParseStoredNumber(text);
    // A value the adapter itself holds goes back to it unchanged, even when
    // it lies outside what a user may stage.
    if (!v || (!InRange(p, *v) && *v != Member(record, p))) {
      TraceLevel(kTraceError, "%s::%s: %s=%s invalid", kClass, fn, p.option, text);
      return kxstatus::kInvalidParameter;
    }
    if (p.byteWide) record.bytes[p.offset] = static_cast<uint8_t>(*v);
    else record.SetU32(p.offset, *v);
    TraceLevel(kTraceInfo, "%s::%s: params.%s=%d", kClass, fn, p.member, static_cast<int>(*v));
  }
  return 0;
}


std::span<const ParamDef> SetFileParams() {
  struct Table {
    std::deque<std::string> texts;  // stable addresses for the descriptions
    std::vector<ParamDef> params{kxparam::kPort};
  };
  static const Table table = [] {
    Table t;
    for (const Param& p : kParams) {
      if (p.kind == Kind::kFileOnly) continue;
      // What the option means to the user who types it: "Disable_BIOS" is
      // --enable-bios, so its text reads "Enable BIOS".
      std::string text = p.key;
      if (p.kind == Kind::kInvertedBool && text.starts_with("Disable_")) text.replace(0, 7, "Enable");
      std::replace(text.begin(), text.end(), '_', ' ');
      ValueType type = ValueType::kString;
      auto words = [&](const char* (*word)(uint32_t)) {
        const char* sep = ": ";
        for (uint32_t code = 0; code <= p.max; ++code)
          if (const char* w = word(code)) text += std::exchange(sep, ", ") + std::string(w);
      };
      switch (p.kind) {
        case Kind::kConnection: words(ConnectionWord); break;
        case Kind::kDataRate: words([](uint32_t code) { return DataRateWord(code, false); }); break;
        case Kind::kOperationMode: words(OperationModeWord); break;
        case Kind::kFrameSize: text += ": 512, 1024, 2048 or 2112"; type = ValueType::kInt; break;
        case Kind::kNumber: text += ": 0-" + std::to_string(p.max); type = ValueType::kInt; break;
        default: text += ": true or false"; type = ValueType::kBool; break;
      }
      t.texts.push_back(text);
      t.params.push_back({p.option, p.longOption, p.shortOption, type, false, t.texts.back().c_str(), nullptr});
    }
    return t;
  }();
  return table.params;
}

}  // namespace hbaparams
