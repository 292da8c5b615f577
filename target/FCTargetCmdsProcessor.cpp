#include "target/FCTargetCmdsProcessor.h"

#include <algorithm>
#include <cstdio>

#include "runtime/Digits.h"
#include "scm/FCTargetSCMChkCmdsProcessor.h"
#include "scm/FCTargetSCMStatsCmdsProcessor.h"
#include "target/FCTargetIIDMACmdsProcessor.h"
#include "target/FCTargetInfoCmdsProcessor.h"
#include "target/FCTargetStatsCmdsProcessor.h"

namespace {

constexpr const char* kClass = "FCTargetCmdsProcessor";

enum Index : uint32_t { kList = 0, kHelp = 1, kListCli = 2 };

constexpr FieldDecl kListFields[] = {{"Targets", ValueType::kString}};
constexpr StructDecl kListElement{"TargetList", kListFields};

}  // namespace

FCTargetCmdsProcessor::FCTargetCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Target", "target", "-t",
                            "use this command to get/list targets detected by Kaltex adapters", parent) {
  AddSubMode(std::make_unique<FCTargetInfoCmdsProcessor>(this));
  AddSubMode(std::make_unique<FCTargetSCMStatsCmdsProcessor>(this));
  AddSubMode(std::make_unique<FCTargetSCMChkCmdsProcessor>(this));
  AddSubMode(std::make_unique<FCTargetIIDMACmdsProcessor>(this));
  AddSubMode(std::make_unique<FCTargetStatsCmdsProcessor>(this));
}

void FCTargetCmdsProcessor::RegisterCommands() {
  using Cls = FCTargetCmdsProcessor;
  static const CommandDef<Cls> kTable[] = {
      {"list", "Discover list of Kaltex FC Targets", kList, CommandKind::kXml, &Cls::CmdListCommon, "CmdList", nullptr,
       {{}, nullptr, &kListElement}},
      {"help", "list of available commands", kHelp, CommandKind::kHelp},
      {"listcli", "Discover list of Kaltex FC Targets", kListCli, CommandKind::kText, &Cls::CmdListCommon,
       "CmdListCli", "Usage: list\r\n"},
  };
  AddCommands(this, kTable);
}

void TargetIdentifierForm::SetPort(const kxinv::PortEntryRef& entry) {
  constexpr std::string_view kPort = "FC_", kTarget = "_Target_";
  char* at = std::copy(kPort.begin(), kPort.end(), text_);
  kxdigits::Wwn(at, entry.WWPN());
  at = std::copy(kTarget.begin(), kTarget.end(), at + kxdigits::kWwnLength);
  portEnd_ = static_cast<size_t>(at - text_);
}

std::string_view TargetIdentifierForm::Target(const kxinv::TargetRef& target) {
  kxdigits::Wwn(text_ + portEnd_, target.WWPN());
  targetEnd_ = portEnd_ + kxdigits::kWwnLength;
  text_[targetEnd_] = '\0';
  nvme_ = target.IsNvme();
  return {text_, targetEnd_};
}

std::string_view TargetIdentifierForm::Lun(const kxinv::LunRef& lun) {
  const std::string_view kind = nvme_ ? "_NSID_" : "_LUN_";
  char* at = std::copy(kind.begin(), kind.end(), text_ + targetEnd_);
  char digits[kxdigits::kRoom];
  char* end = digits + sizeof digits;
  const char* start = kxdigits::Unsigned(end, lun.Number());
  at = std::copy(start, static_cast<const char*>(end), at);
  *at = '\0';
  return {text_, static_cast<size_t>(at - text_)};
}

std::string FCTargetCmdsProcessor::TargetIdentifier(const kxinv::PortEntryRef& entry,
                                                    const kxinv::TargetRef& target) {
  TargetIdentifierForm form;
  form.SetPort(entry);
  return std::string(form.Target(target));
}

uint32_t FCTargetCmdsProcessor::GetTargetFromTargetString(const Words& args, kxinv::PortEntryRef& entry,
                                                          kxinv::TargetRef& target) {
  constexpr const char* fn = "GetTargetFromTargetString";
  TraceLevel(kTraceInfo, "%s::%s: Entered", kClass, fn);
  std::string identifier;
  if (const uint32_t status = IdentifierWord(kClass, fn, args, identifier)) return status;

  // Only the two words are checked here; the whole text is compared below.
  char portWord[16] = {};
  char targetWord[16] = {};
  unsigned char ignored[16];
  sscanf(identifier.c_str(),
         "%15[^'_']_%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx_%15[^'_']_%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx-%hhx",
         portWord, &ignored[0], &ignored[1], &ignored[2], &ignored[3], &ignored[4], &ignored[5], &ignored[6],
         &ignored[7], targetWord, &ignored[8], &ignored[9], &ignored[10], &ignored[11], &ignored[12], &ignored[13],
         &ignored[14], &ignored[15]);
  if (!EqualsNoCase(portWord, "FC")) {
    TraceLevel(kTraceError, "%s::%s: Invalid Port identifier %s", kClass, fn, identifier.c_str());
    return kxstatus::kInvalidParameter;
  }
  if (!EqualsNoCase(targetWord, "Target")) {
    TraceLevel(kTraceError, "%s::%s: Invalid Tgt identifier %s", kClass, fn, identifier.c_str());
    return kxstatus::kInvalidParameter;
  }

  TraceLevel(kTraceInfo, "%s::%s: Tgt Identifier=%s", kClass, fn, identifier.c_str());
  kxinv::AdapterListRef list = kxinv::GetAdapterList();
  if (!list) {
    TraceLevel(kTraceError, "%s::%s: Adapter List is NULL", kClass, fn);
    TraceLevel(kTraceInfo, "%s::%s: exiting", kClass, fn);
    return kxstatus::kNoInventory;
  }

  uint32_t status = kxstatus::kInvalidParameter;
  TargetIdentifierForm form;
  kxinv::ForEachFcPort(list, [&](const kxinv::PortVisit& visit) {
    form.SetPort(visit.entry);
    for (kxinv::TargetRef t = visit.entry.FirstTarget(); t; t = t.Next()) {
      const std::string_view formed = form.Target(t);
      if (formed != identifier) continue;
      TraceLevel(kTraceInfo, "%s::%s: Got matching Tgt=%s", kClass, fn, formed.data());
      entry = visit.entry;
      target = t;
      TraceLevel(kTraceInfo, "%s::%s: Picked pTargetEntry %p", kClass, fn, static_cast<const void*>(t.Raw()));
      status = 0;
      return false;
    }
    return true;
  });
  TraceLevel(kTraceInfo, "%s::%s: exiting", kClass, fn);
  return status;
}

uint32_t FCTargetCmdsProcessor::CmdListCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdListCommon";
  TraceEntered(fn);
  kxinv::AdapterListRef list{nullptr};
  if (const uint32_t status = OpenInventory(fn, args, list)) return status;

  ShowIdentifierList(fn, mode, kListElement, [&](const IdentifierSink& add) {
    TargetIdentifierForm form;
    kxinv::ForEachFcPort(list, [&](const kxinv::PortVisit& visit) {
      TraceFn(kTraceInfo, fn, "Got Tgt Count=%d", static_cast<int>(visit.entry.TargetCount()));
      form.SetPort(visit.entry);
      for (kxinv::TargetRef t = visit.entry.FirstTarget(); t; t = t.Next()) {
        const char* identifier = form.Target(t).data();
        add(identifier);
        TraceFn(kTraceInfo, fn, "Got Tgt=%s", identifier);
      }
      return true;
    });
  });
  return 0;
}

uint32_t FCTargetCmdsProcessor::ResolveTarget(const MultipleCmdsProcessor& family, const char* fn, const Words& args,
                                              kxinv::PortEntryRef& entry, kxinv::TargetRef& target) {
  const uint32_t status = GetTargetFromTargetString(args, entry, target);
  if (status != 0)
    TraceLevel(kTraceError, "%s::%s: Get target failed err=%d", family.ClassName(), fn, static_cast<int>(status));
  return status;
}
