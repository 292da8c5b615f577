#include "boot/BootConfigFamily.h"

#include "runtime/Paths.h"

using namespace bootcfg;

BootConfigFamily::BootConfigFamily(const char* className, const char* title, const char* name,
                                   const ErrorDocument& document, const ErrorDocument& setDocument, FileLayout layout,
                                   size_t textSize, std::span<const ParamDef> getParams,
                                   std::span<const ParamDef> setFileParams, CmdProcessor* parent)
    : MultipleCmdsProcessor(className, title, name, "-s",
                            "use this command to get/set Kaltex Fibre Channel Port's Boot Config info", parent),
      document_(document),
      setDocument_(setDocument),
      layout_(layout),
      textSize_(textSize),
      getNames_(OptionNamesOf(getParams)),
      setFileNames_(OptionNamesOf(setFileParams)) {}

uint32_t BootConfigFamily::DisplayError(uint32_t status, uint32_t mode, bool showReboot) {
  return ShowErrorDocument("DisplayError", status, mode, showReboot ? setDocument_ : document_);
}

void BootConfigFamily::TraceRefusal(const char* fn, const char* format, const char* value) const {
  TraceFn(kTraceError, fn, format, value);
}

void BootConfigFamily::DisplayBootConfigInfo(const Context& c, uint32_t mode, bool showReboot, bool reboot) {
  const std::string prefix = std::string(ClassName()) + "::DisplayBootConfigInfo: ";
  const std::string text = BootConfigText(prefix.c_str(), textSize_, c.view, IsLegacyBootAdapter(c.pci), c.record,
                                          NvmeView(c) ? &c.nvme : nullptr);
  ShowReportDocument(mode, showReboot ? setDocument_ : document_, text, showReboot ? &reboot : nullptr);
}

uint32_t BootConfigFamily::Start(const char* fn, Words& words, Context& c) {
  TraceEntered(fn);
  if (const uint32_t st = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, words, c.port)) return st;
  if (c.port.entry.IsVirtual()) {
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return kxstatus::kVirtualPort;
  }
  c.pci = c.port.entry.Pci();
  c.uefiAdapter = IsUefiBootAdapter(c.pci);
  return 0;
}

uint32_t BootConfigFamily::SwitchView(const char* fn, const Context& c) {
  if (!c.uefiAdapter) return 0;  // other adapters keep whatever view the library has
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] {
        if (KXAPI_GetBfsConfigMode() != c.view) rc = KXAPI_SetBfsConfigMode(c.view);
      }))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Set BFS Config Mode failed err=%u", rc);
    return kxstatus::FromPortCall(rc, kxstatus::kReadFailed);
  }
  return 0;
}

uint32_t BootConfigFamily::CheckRom(const char* fn, const Context& c) {
  const uint32_t rom = c.port.entry.OptionRomFlags();
  if (c.view != kxboot::kModeBios && (rom & kxboot::kRomUefi) == 0) {
    TraceFn(kTraceError, fn, "ROM UEFI not present");
    return kNoRomUefi;
  }
  if (c.view == kxboot::kModeBios && (rom & kxboot::kRomBios) == 0) {
    TraceFn(kTraceError, fn, "ROM BIOS not present");
    return kNoRomBios;
  }
  return 0;
}

uint32_t BootConfigFamily::ReadRecord(const char* fn, Context& c, const char* failure, const char* when) {
  c.record = BootRecord{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetBootDeviceInfo(c.port.entry.Handle(), c.record.Data(), 0); }, when))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, failure, rc);
    return kxstatus::FromPortCall(rc, kxstatus::kReadFailed);
  }
  return 0;
}

uint32_t BootConfigFamily::ReadNvme(const char* fn, Context& c) {
  c.nvme = NvmeRecord{};
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetNVMeBootDeviceEntries(c.port.entry.Handle(), c.nvme.Data()); }))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get NVMe Boot Params failed err=%u", rc);
    return kxstatus::FromPortCall(rc, kNvmeNotPresent);
  }
  c.withNvme = true;
  return 0;
}

uint32_t BootConfigFamily::ReadOptions(const char* fn, const Words& words, Context& c,
                                       const std::vector<OptionName>& names) {
  const Words options(words.begin() + static_cast<long>(std::min(FirstOption(), words.size())), words.end());
  std::string offending;
  if (c.options.Read(options, names, offending)) return 0;
  TraceFn(kTraceError, fn, "unknown option or option without value: %s", offending.c_str());
  return kxstatus::kInvalidParameter;
}

uint32_t BootConfigFamily::OpenView(const char* fn, Words& words, Context& c, const std::vector<OptionName>& names,
                                    const char* readFailure, std::map<std::string, std::string>* staged) {
  uint32_t st = Start(fn, words, c);
  if (st == 0) st = ReadOptions(fn, words, c, names);
  if (st == 0) st = UserMode(fn, words, c);
  if (st == 0) st = CheckRom(fn, c);
  // Every option is checked before the library's view changes.
  if (st == 0 && staged) {
    st = StageOptions(c, *staged);
    if (st != 0) TraceFn(kTraceError, fn, "UpdateBootConfigInFile failed with uRet=%u", st);
  }
  if (st == 0) st = SwitchView(fn, c);
  if (st == 0) st = ReadRecord(fn, c, readFailure, "");
  return st;
}

uint32_t BootConfigFamily::CmdGetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  Context c;
  uint32_t st = OpenView(fn, words, c, getNames_, "Get HBA Params Info failed err=%u", nullptr);
  if (st == 0 && NvmeView(c)) st = ReadNvme(fn, c);
  if (st != 0) return DisplayError(st, mode, false);
  DisplayBootConfigInfo(c, mode, false, false);
  TraceExiting(fn);
  return 0;
}

uint32_t BootConfigFamily::CmdSetFileCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetFileCommon";
  Context c;
  std::map<std::string, std::string> staged;
  uint32_t st = OpenView(fn, words, c, setFileNames_, "Get Boot Config failed err=%u", &staged);
  // The NVMe entries go into a new cache file too, so they are read before
  // it is created: "set" must never write entries the user did not name.
  if (st == 0 && layout_.ext && c.uefiAdapter) st = ReadNvme(fn, c);
  if (st != 0) return DisplayError(st, mode, false);

  staged["Boot_Mode"] = BootModeValue(layout_, c.view);
  TraceFn(kTraceInfo, fn, "Boot_Mode=%s", staged["Boot_Mode"].c_str());

  const std::string dir = kxpaths::Resolve(kxpaths::kCacheDir);
  if (!kxpaths::MakeDirs(dir)) {
    TraceFn(kTraceError, fn, "cannot create %s", dir.c_str());
    return DisplayError(kxstatus::kFileNotFound, mode, false);
  }
  const std::string path = CachePath(layout_, words.front());
  // Read, changed and written back under the file's lock; nothing reaches
  // the file unless every staged value reads back.
  KeyValueFile file(path);
  if (const uint32_t failed = file.Load()) {
    TraceFn(kTraceError, fn, "file ops failed");
    return DisplayError(failed, mode, false);
  }
  // A file staged for another view starts over from this view's record: one
  // set applies one view, and the other view's values must never reach this one.
  bool fresh = !file.Exists();
  if (!fresh) {
    uint8_t stagedView = c.view;
    fresh = ReadBootMode(layout_, file, stagedView) == 0 && stagedView != c.view;
    TraceFn(kTraceInfo, fn, fresh ? "%s file holds another boot mode, started over" : "%s file present", path.c_str());
    if (fresh) file.Clear();
  }
  KeyValuePairs pairs;
  if (fresh) {
    // A new file starts from the adapter's values, in key order, in the same
    // rewrite as the options: a refused or failed setFile leaves no file.
    const auto keys = RecordKeys(layout_, c.view, c.record, c.withNvme ? &c.nvme : nullptr);
    pairs.assign(keys.begin(), keys.end());
  }
  pairs.insert(pairs.end(), staged.begin(), staged.end());
  file.Update(pairs);
  if (const uint32_t bad = ReadBootConfigFromFile(ClassName(), layout_, file, c.record, c.view,
                                                  c.withNvme ? &c.nvme : nullptr)) {
    TraceFn(kTraceError, fn, "ReadBootConfigFromFile failed");
    return DisplayError(bad, mode, false);
  }
  if (const uint32_t failed = file.Commit()) {
    TraceFn(kTraceError, fn, "file ops failed");
    return DisplayError(failed, mode, false);
  }
  DisplayBootConfigInfo(c, mode, false, false);
  TraceExiting(fn);
  return 0;
}

uint32_t BootConfigFamily::CmdSetCommon(Words& words, uint32_t mode) {
  constexpr const char* fn = "CmdSetCommon";
  Context c;
  if (const uint32_t st = Start(fn, words, c)) return DisplayError(st, mode, true);
  const std::string path = CachePath(layout_, words.front());
  // Held from the read of the staged settings to the file's removal, so a
  // setFile running alongside cannot slip keys in that are then thrown away.
  KeyValueFile file(path);
  if (const uint32_t failed = file.Load()) return DisplayError(failed, mode, true);
  if (!file.Exists()) {
    TraceFn(kTraceError, fn, "%s file not present", path.c_str());
    return DisplayError(kxstatus::kFileNotFound, mode, true);
  }
  // The settings go to the view they were staged for, whatever view a
  // command run in between left the library in.
  uint32_t st = ReadBootMode(layout_, file, c.view);
  if (st == 0 && c.view != kxboot::kModeBios && !c.uefiAdapter) {
    TraceFn(kTraceError, fn, "staged boot mode not supported for this adapter");
    st = kModeNotSupported;
  }
  // The whole file is checked before anything changes, the library's view included.
  if (st == 0) {
    BootRecord record;
    NvmeRecord nvme;
    uint8_t view = c.view;
    st = ReadBootConfigFromFile(ClassName(), layout_, file, record, view, &nvme);
  }
  if (st == 0) st = SwitchView(fn, c);
  if (st == 0) st = ReadRecord(fn, c, "Get Boot Config failed err=%u", " before read");
  if (st == 0 && NvmeView(c)) st = ReadNvme(fn, c);
  if (st == 0) st = ReadBootConfigFromFile(ClassName(), layout_, file, c.record, c.view, c.withNvme ? &c.nvme : nullptr);
  if (st != 0) return DisplayError(st, mode, true);

  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_SetBootDeviceInfo(c.port.entry.Handle(), c.record.Data()); },
                         " before set"))
    return DisplayError(kxstatus::kFileNotFound, mode, true);
  if (rc != 0) {
    TraceFn(kTraceError, fn, layout_.ext ? "Update FCP Boot Config failed err=%u" : "Update Boot Config failed err=%u", rc);
    return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, true);
  }
  if (NvmeView(c)) {
    if (!WithLibraryOutput(fn, [&] { rc = KXAPI_SetNVMeBootDeviceEntries(c.port.entry.Handle(), c.nvme.Data()); },
                           " before NVMe set config"))
      return DisplayError(kxstatus::kFileNotFound, mode, true);
    if (rc != 0) {
      TraceFn(kTraceError, fn, "set BFS config mode failed err=%u", rc);
      return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, true);
    }
    if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetNVMeBootDeviceEntries(c.port.entry.Handle(), c.nvme.Data()); },
                           " before NVMe get config"))
      return DisplayError(kxstatus::kFileNotFound, mode, true);
    if (rc != 0) {
      TraceFn(kTraceError, fn, "Update NVMe Boot Config failed err=%u", rc);
      return DisplayError(kxstatus::FromPortCall(rc, kxstatus::kUpdateFailed), mode, true);
    }
  }
  DisplayBootConfigInfo(c, mode, true, RebootRequired(fn));
  if (file.Remove() != 0) TraceFn(kTraceError, fn, "cannot remove %s", path.c_str());
  TraceExiting(fn);
  return 0;
}
