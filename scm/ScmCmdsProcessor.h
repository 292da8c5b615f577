// What the SAN congestion-management families of ports and targets share: the
// checks every command makes before it asks the library for SCM data, the
// statistics list the library lends, and the shape of their documents.
#pragma once

#include "scm/ScmReport.h"
#include "shell/CmdProcessor.h"
#include "shell/Inventory.h"

// Statuses of the SCM families.
namespace kxscm {
inline constexpr uint32_t kMutuallyExclusive = 37;
inline constexpr uint32_t kStatisticsRead = 38;
inline constexpr uint32_t kStatisticsClear = 39;
inline constexpr uint32_t kDriverFirmwareNoSupport = 45;
inline constexpr uint32_t kUnmappedFailure = 50;
inline constexpr uint32_t kFeatureDisabled = 52;
}  // namespace kxscm


class ScmCmdsProcessor : public MultipleCmdsProcessor {
 public:
  using MultipleCmdsProcessor::MultipleCmdsProcessor;

 protected:
  // What a command needs of the port before it asks for SCM data.
  struct Gate {
    uint32_t capabilities;      // any of these capability bits
    bool virtualFirst = false;  // refuse a virtual port before looking at the capabilities
    bool askFeature = true;     // the library must say USCM is enabled on the port
  };
  // 0, or the status of the first failed check (traced, not shown): adapter
  // group 35, capability 45, virtual port 51, then the feature query
  // (19 no output log, 60 maintenance mode, 13 failed, 52 disabled).
  uint32_t Admit(const char* fn, const kxinv::PortEntryRef& entry, const Gate& gate);

  // A statistics list lent by the library, given back on every path: by
  // Release where its result counts, else when this goes out of scope.
  class StatsList {
   public:
    StatsList() = default;
    ~StatsList() { Release(); }
    StatsList(const StatsList&) = delete;
    StatsList& operator=(const StatsList&) = delete;
    const void* Get() const { return list_; }
    // The library's result of giving the list back; 0 when there was none.
    uint32_t Release();

   private:
    friend class ScmCmdsProcessor;
    void* list_ = nullptr;
  };
  // Asks for the port's statistics list: 0 with a list, or 19, 60 or 38 (traced).
  uint32_t FetchStatsList(const char* fn, const kxinv::PortEntryRef& entry, StatsList& list);
  // Gives the list back after its report was shown; 39 (traced) when that fails.
  uint32_t ReleaseStatsList(const char* fn, StatsList& list);

  uint32_t ShowError(uint32_t status, uint32_t mode, const ErrorDocument& doc) {
    return ShowErrorDocument("DisplayError", status, mode, doc);
  }
  void ShowReport(uint32_t mode, const ErrorDocument& doc, const std::string& block) {
    ShowReportDocument(mode, doc, block);
  }
  // "<Class>::<fn>: ": what each traced report line starts with.
  std::string TracePrefix(const char* fn) const { return std::string(ClassName()) + "::" + fn + ": "; }
};
