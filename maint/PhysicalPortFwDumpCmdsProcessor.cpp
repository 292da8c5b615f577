#include "maint/PhysicalPortFwDumpCmdsProcessor.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr const char* kClass = "PhysicalPortFwDumpCmdsProcessor";

// Library results of the dump call, by range.
struct DumpFailure {
  uint32_t first;
  uint32_t last;
  uint32_t status;
};
const DumpFailure kDumpFailures[] = {
    {0x20000064, 0x20000064, kxstatus::kInvalidParameter},
    {0x20000065, 0x20000071, kxstatus::kReadFailed},
    {0x20000072, 0x20000072, kxstatus::kMemoryError},
    {0x20000073, 0x20000073, kxstatus::kWrongParameter},
    {0x20000074, 0x2000007A, kxstatus::kReadFailed},
    {0x2000007B, 0x2000007B, 46},
};

// The library hands the dump over as a CoreMalloc block.
struct FreeBlock {
  void operator()(uint8_t* p) const { free(p); }
};
using DumpBuffer = std::unique_ptr<uint8_t, FreeBlock>;

const StatusMessage kMessages[] = {
    {4, "Failed, Parameter Error"},
    kxmsg::Common(6),
    {13, "Failed, FW Dump read failed"},
    kxmsg::Common(14),
    kxmsg::Common(19),
    kxmsg::Common(21),
    kxmsg::Common(35),
    kxmsg::Common(42),
    {46, "Failed, FW Dump Not Available"},
};
const ErrorDocument kDocument{"FwDumpInfo", kMessages};
constexpr ParamDef kGetParams[] = {
    kxparam::kPort,
    {"file", nullptr, nullptr, ValueType::kString, true, "Path of the dump file to write on the host",
     "/tmp/kxfc-fwdump.bin"},
};

}  // namespace

uint32_t PhysicalPortFwDumpCmdsProcessor::DumpFailureStatus(uint32_t rc) {
  for (const DumpFailure& row : kDumpFailures)
    if (rc >= row.first && rc <= row.last) return row.status;
  return kxstatus::kReadFailed;
}

PhysicalPortFwDumpCmdsProcessor::PhysicalPortFwDumpCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor(kClass, "Firmware Dump", "fwdump", "-s",
                            "use this command to get Kaltex Fibre Channel Port's Firmware Dump info", parent) {}

void PhysicalPortFwDumpCmdsProcessor::RegisterCommands() {
  using Cls = PhysicalPortFwDumpCmdsProcessor;
  static const CommandDef<Cls> kCommands[] = {
      {"get", "get Kaltex Firmware Dump information", 0, CommandKind::kXml, &Cls::CmdGetCommon, "CmdGet", nullptr,
       {kGetParams, &kDocument}},
      {"help", "list of available commands", 1, CommandKind::kHelp},
      {"getcli", "get Kaltex Firmware Dump information", 2, CommandKind::kText, &Cls::CmdGetCommon, "CmdGetCli", "Usage: get\r\n"},
  };
  AddCommands(this, kCommands);
}

uint32_t PhysicalPortFwDumpCmdsProcessor::CmdGetCommon(Words& args, uint32_t mode) {
  constexpr const char* fn = "CmdGetCommon";
  TraceEntered(fn);
  PortLookup port;
  if (const uint32_t status = PhysicalPortCmdsProcessor::ResolvePort(*this, fn, args, port)) {
    return DisplayError(status, mode);
  }

  uint8_t* raw = nullptr;
  uint32_t size = 0;
  uint32_t rc = 0;
  std::string path;
  // Without a file to write to, the dump is not worth fetching; an unopenable
  // log is reported first all the same.
  const bool named = args.size() >= 2 && !args[1].empty();
  const bool called = WithLibraryOutput(fn, [&] {
    if (!named) return;
    path = args[1];
    rc = KXAPI_SDGetFwDump2(port.entry.HandleNumber(), 0, &raw, &size);
  });
  if (!called) return DisplayError(kxstatus::kFileNotFound, mode);
  if (!named) {
    TraceFn(kTraceError, fn, "Output file name missing");
    return DisplayError(kxstatus::kWrongParameter, mode);
  }
  const DumpBuffer buffer(raw);
  if (rc != 0) {
    TraceFn(kTraceError, fn, "Get Firmware Dump failed err=%d", static_cast<int>(rc));
    return DisplayError(DumpFailureStatus(rc), mode);
  }

  FILE* file = fopen(path.c_str(), "w");
  if (!file) {
    TraceFn(kTraceError, fn, "Failed to open %s file", path.c_str());
    return DisplayError(kxstatus::kFileNotFound, mode);
  }
  const bool written = size == 0 || (buffer && fwrite(buffer.get(), 1, size, file) == size);
  if (fclose(file) != 0 || !written) {
    // A short dump file would pass for a whole one; say it failed.
    TraceFn(kTraceError, fn, "Failed to write %s file", path.c_str());
    return DisplayError(kxstatus::kFileNotFound, mode);
  }
  DisplayFwDumpInfo(mode);
  TraceExiting(fn);
  return 0;
}

void PhysicalPortFwDumpCmdsProcessor::DisplayFwDumpInfo(uint32_t mode) {
  constexpr const char* fn = "DisplayFwDumpInfo";
  TraceEntered(fn);
  Begin(mode);
  BeginStructure(kDocument.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  TraceFn(kTraceInfo, fn, "%s=%s", kxkey::kMessage, kxkey::kSuccess);
  EndStructure();
  End();
  TraceExiting(fn);
}

uint32_t PhysicalPortFwDumpCmdsProcessor::DisplayError(uint32_t status, uint32_t mode) {
  return ShowErrorDocument("DisplayError", status, mode, kDocument);
}
