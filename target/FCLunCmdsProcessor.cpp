#include "target/FCLunCmdsProcessor.h"

#include <cstdio>

#include "target/FCLunInfoCmdsProcessor.h"
#include "target/FCTargetCmdsProcessor.h"

namespace {

constexpr const char* kClass = "FCLunCmdsProcessor";

enum Index : uint32_t { kList = 0, kHelp = 1, kListCli = 2 };

// Every LUN entry of every target of every FC port, in list order, with its
// identifier (NUL-terminated). The targets' LUN counts are not consulted. A
// target that `wanted` turns down (given its identifier) is passed over; the
// walk stops when visit returns false.
void ForEachLun(kxinv::AdapterListRef list, const std::function<bool(std::string_view target)>& wanted,
                const std::function<bool(std::string_view identifier, const kxinv::LunRef&)>& visit) {
  TargetIdentifierForm form;
  kxinv::ForEachFcPort(list, [&](const kxinv::PortVisit& port) {
    form.SetPort(port.entry);
    for (kxinv::TargetRef t = port.entry.FirstTarget(); t; t = t.Next()) {
      if (const std::string_view target = form.Target(t); wanted && !wanted(target)) continue;
      for (kxinv::LunRef lun = t.FirstLun(); lun; lun = lun.Next())
        if (!visit(form.Lun(lun), lun)) return false;
    }
    return true;
  });
}

constexpr FieldDecl kListFields[] = {{"LUNs/Namespaces", ValueType::kString}};
constexpr StructDecl kListElement{"LunList", kListFields};

}  // namespace

FCLunCmdsProcessor::FCLunCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "LUN", "lun", "-t", "use this command to get/list LUNs detected by Kaltex adapters",
                            parent) {
  AddSubMode(std::make_unique<FCLunInfoCmdsProcessor>(this));
}

void FCLunCmdsProcessor::RegisterCommands() {
  using Cls = FCLunCmdsProcessor;
  static const CommandDef<Cls> kTable[] = {
      {"list", "Discover list of Kaltex FC LUNs", kList, CommandKind::kXml, &Cls::CmdListCommon, "CmdList", nullptr,
       {{}, nullptr, &kListElement}},
      {"help", "list of available commands", kHelp, CommandKind::kHelp},
      {"listcli", "Discover list of Kaltex FC LUNs", kListCli, CommandKind::kText, &Cls::CmdListCommon, "CmdListCli", "Usage: list\r\n"},
  };
  AddCommands(this, kTable);
}

uint32_t FCLunCmdsProcessor::GetLunFromLunString(const Words& args, kxinv::LunRef& lun) {
  constexpr const char* fn = "GetLunFromLunString";
  TraceLevel(kTraceInfo, "%s::%s: Entered", kClass, fn);
  std::string identifier;
  if (const uint32_t status = IdentifierWord(kClass, fn, args, identifier)) return status;

  // Only the three words are checked here; the whole text is compared below.
  char portWord[16] = {};
  char targetWord[16] = {};
  char lunWord[9] = {};
  unsigned char ignored[16];
  unsigned number = 0;
  sscanf(identifier.c_str(),
         "%15[^'_']_%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx_%15[^'_']_%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx:%hhx_%8[^'_']_%u",
         portWord, &ignored[0], &ignored[1], &ignored[2], &ignored[3], &ignored[4], &ignored[5], &ignored[6],
         &ignored[7], targetWord, &ignored[8], &ignored[9], &ignored[10], &ignored[11], &ignored[12], &ignored[13],
         &ignored[14], &ignored[15], lunWord, &number);
  if (!EqualsNoCase(portWord, "FC")) {
    TraceLevel(kTraceError, "%s::%s: Invalid Port identifier %s", kClass, fn, identifier.c_str());
    return kxstatus::kInvalidParameter;
  }
  if (!EqualsNoCase(targetWord, "Target")) {
    TraceLevel(kTraceError, "%s::%s: Invalid Tgt identifier %s", kClass, fn, identifier.c_str());
    return kxstatus::kInvalidParameter;
  }
  if (!EqualsNoCase(lunWord, "LUN") && !EqualsNoCase(lunWord, "NSID")) {
    TraceLevel(kTraceError, "%s::%s: Invalid LUN/NSID identifier %s", kClass, fn, identifier.c_str());
    return kxstatus::kInvalidParameter;
  }

  TraceLevel(kTraceInfo, "%s::%s: LUN/NSID Identifier=%s", kClass, fn, identifier.c_str());
  kxinv::AdapterListRef list = kxinv::GetAdapterList();
  if (!list) {
    TraceLevel(kTraceError, "%s::%s: Adapter List is NULL", kClass, fn);
    return kxstatus::kNoInventory;
  }
  uint32_t status = kxstatus::kInvalidParameter;
  // Only a target whose identifier begins the text can hold the LUN; when
  // every LUN's identifier is traced, each one is still formed.
  std::function<bool(std::string_view)> wanted;
  if ((DebugLevel() & kTraceInfo) == 0)
    wanted = [&identifier](std::string_view target) { return identifier.starts_with(target); };
  ForEachLun(list, wanted, [&](std::string_view formed, const kxinv::LunRef& l) {
    TraceLevel(kTraceInfo, "%s::%s: Got LUN/NSID=%s", kClass, fn, formed.data());
    if (formed != identifier) return true;
    TraceLevel(kTraceInfo, "%s::%s: Got matching LUN/NSID=%s", kClass, fn, formed.data());
    TraceLevel(kTraceInfo, "%s::%s: Picked pLunEntry %p", kClass, fn, static_cast<const void*>(l.Raw()));
    lun = l;
    status = 0;
    return false;
  });
  return status;
}

uint32_t FCLunCmdsProcessor::CmdListCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdListCommon";
  TraceEntered(fn);
  kxinv::AdapterListRef list{nullptr};
  if (const uint32_t status = OpenInventory(fn, args, list)) return status;
  ShowIdentifierList(fn, mode, kListElement, [&](const IdentifierSink& add) {
    ForEachLun(list, nullptr, [&add](std::string_view identifier, const kxinv::LunRef&) {
      add(identifier.data());
      return true;
    });
  });
  return 0;
}
