#include "scm/ScmCmdsProcessor.h"

uint32_t ScmCmdsProcessor::Admit(const char* fn, const kxinv::PortEntryRef& entry, const Gate& gate) {
  const kxscm::AdapterKind kind = kxscm::KindOf(entry);
  if (!kind.groupABC) {
    TraceFn(kTraceError, fn, "SCM feature not supported for this adapter.");
    return kxstatus::kNotSupportedForAdapter;
  }
  auto capable = [&]() -> uint32_t {
    if (kind.capabilities & gate.capabilities) return 0;
    TraceFn(kTraceError, fn, "Driver/Firmware does not support SCM.");
    return kxscm::kDriverFirmwareNoSupport;
  };
  auto physical = [&]() -> uint32_t {
    if (!entry.IsVirtual()) return 0;
    TraceFn(kTraceError, fn, "Command not supported for vport");
    return kxstatus::kVirtualPort;
  };
  if (const uint32_t st = gate.virtualFirst ? physical() : capable()) return st;
  if (const uint32_t st = gate.virtualFirst ? capable() : physical()) return st;
  if (!gate.askFeature) return 0;

  uint8_t enabled = 0;
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_IsUSCMFeatureEnabled(entry.Handle(), &enabled); }))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get USCM Feature Enabled failed err=%d", static_cast<int>(rc));
    return kxstatus::FromPortCall(rc, kxstatus::kReadFailed);
  }
  if (enabled == 0) {
    TraceFn(kTraceError, fn, "USCM feature is disabled");
    return kxscm::kFeatureDisabled;
  }
  return 0;
}

uint32_t ScmCmdsProcessor::StatsList::Release() {
  if (!list_) return 0;
  void* list = list_;
  list_ = nullptr;
  // Given back even when the output log cannot be opened.
  LibraryOutput out;
  return KXAPI_FreeSCMRStatisticsList(list);
}

uint32_t ScmCmdsProcessor::FetchStatsList(const char* fn, const kxinv::PortEntryRef& entry, StatsList& list) {
  uint32_t rc = 0;
  if (!WithLibraryOutput(fn, [&] { rc = KXAPI_GetSCMRStatisticsList(entry.Handle(), &list.list_); }))
    return kxstatus::kFileNotFound;
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get SCMR Statistics failed err=%d", static_cast<int>(rc));
    return kxstatus::FromPortCall(rc, kxscm::kStatisticsRead);
  }
  if (!list.Get()) {
    TraceFn(kTraceError, fn, "SCMR Statistics list is empty");
    return kxscm::kStatisticsRead;
  }
  return 0;
}

uint32_t ScmCmdsProcessor::ReleaseStatsList(const char* fn, StatsList& list) {
  const uint32_t rc = list.Release();
  if (rc == 0) return 0;
  TraceFn(kTraceError, fn, "Free SCMR Statistics failed err=%d", static_cast<int>(rc));
  return kxscm::kStatisticsClear;
}

