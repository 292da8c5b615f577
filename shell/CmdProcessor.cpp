#include "shell/CmdProcessor.h"

#include <cstdarg>
#include <cstdio>

#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "shell/KxApi.h"
#include "shell/RunFlags.h"

// ---- CmdProcessor ----------------------------------------------------------

CmdProcessor::CmdProcessor(std::string name, std::string switchText, std::string help, CmdProcessor* owner,
                           uint32_t index, bool unlisted)
    : name_(std::move(name)),
      switch_(std::move(switchText)),
      help_(std::move(help)),
      unlisted_(unlisted),
      index_(index),
      owner_(owner) {}

uint32_t CmdProcessor::Usage(Words& words, uint32_t index) { return usage_ ? usage_(words, index) : 0; }

uint32_t CmdProcessor::Execute(Words& words) { return execute_ ? execute_(words) : 1; }

bool CmdProcessor::IsHidden() const {
  const uint32_t flags = GetHiddenFlags();
  return flags != 0 && ((flags & 1) == 0 || (RunFlags & RUN_ENGINEERING) == 0);
}

uint32_t IdentifierWord(const char* cls, const char* fn, const Words& words, std::string& identifier) {
  if (!words.empty() && IsHelpRequest(words.front())) {
    TraceLevel(kTraceInfo, "%s::%s: Invoking Help", cls, fn);
    return kxstatus::kHelpRequest;
  }
  identifier = words.empty() ? std::string() : words.front();
  return 0;
}

// ---- MultipleCmdsProcessor -------------------------------------------------

MultipleCmdsProcessor::MultipleCmdsProcessor(const char* className, const char* modeTitle, std::string name,
                                             std::string switchText, std::string help, CmdProcessor* parent)
    : CmdProcessor(std::move(name), std::move(switchText), std::move(help), parent),
      className_(className),
      modeTitle_(modeTitle) {
  // Timing that only a trace line would show is not taken without a debug level.
  if (DebugLevel() == 0) return;
  constructorName_ = std::string(className) + "::" + className + "()";
  constructionTimer_ = std::make_unique<FunctionTimer>(constructorName_.c_str());
}

MultipleCmdsProcessor::~MultipleCmdsProcessor() {
  if (DebugLevel() == 0) return;
  destructorName_ = std::string(className_) + "::~" + className_ + "()";
  destructionTimer_ = std::make_unique<FunctionTimer>(destructorName_.c_str());
}

const std::vector<CmdProcessor*>& MultipleCmdsProcessor::GetCommands() {
  if (!built_) {
    built_ = true;
    RegisterCommands();
    for (const auto& entry : entries_) table_.push_back(entry.get());
    for (const auto& sub : subModes_) table_.push_back(sub.get());
  }
  return table_;
}

void MultipleCmdsProcessor::AddEntry(const char* name, const char* help, uint32_t index, ExecuteHandler execute,
                                     bool withUsage) {
  auto entry = std::make_unique<CmdProcessor>(name, "", help, this, index);
  entry->SetExecute(std::move(execute));
  if (withUsage) entry->SetUsage([this](Words& words, uint32_t i) { return Usage(words, i); });
  entries_.push_back(std::move(entry));
}

void MultipleCmdsProcessor::ClearSubModes() {
  table_.clear();
  built_ = false;
  entries_.clear();
  for (auto& sub : subModes_) sub.reset();  // in the order they were added
  subModes_.clear();
}

CmdProcessor* MultipleCmdsProcessor::FindCommand(CmdProcessor* /*parent*/, Words& words) {
  const bool switchSyntax = (RunFlags & RUN_ONE_SHOT) != 0 || words.size() >= 2;

  // Removes the first (switch, name) pair; true when one was found.
  auto takePair = [&words](const std::string& sw, const std::string& name) {
    for (size_t i = 0; i + 1 < words.size(); ++i) {
      if (EqualsNoCase(words[i], sw) && EqualsNoCase(words[i + 1], name)) {
        words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 2);
        return true;
      }
    }
    return false;
  };
  auto takeFirst = [&words](const std::string& name) {
    if (words.empty() || !EqualsNoCase(words.front(), name)) return false;
    words.erase(words.begin());
    return true;
  };

  for (CmdProcessor* entry : GetCommands()) {
    if (!entry || entry->CheckAvailable(words) != 0) continue;
    const std::string& name = entry->GetName();
    const std::string& sw = entry->GetSwitch();
    if (entry->IsCommand()) {
      if (!switchSyntax || sw.empty()) {
        if (takeFirst(name)) return entry;
      } else if (takePair(sw, name)) {
        return entry;
      }
      continue;
    }
    auto* mode = static_cast<MultipleCmdsProcessor*>(entry);
    if (!switchSyntax) {
      if (takeFirst(name)) return mode;
      continue;
    }
    const bool selected = sw.empty() ? takeFirst(name) : takePair(sw, name);
    if (!selected) continue;
    if (CmdProcessor* found = mode->FindCommand(this, words)) return found;
  }
  return nullptr;
}

uint32_t MultipleCmdsProcessor::RunCommand(CmdProcessor* entry, Words& words) {
  if (!entry || entry->CheckAvailable(words) != 0) return kxstatus::kUnknownCommand;
  uint32_t status = entry->Initialize(words);
  if (status != 0) {
    entry->Finish(words);
    return status;
  }
  if (entry->IsHidden()) return entry->Finish(words);
  if (!words.empty() && words.front() == "?") {
    entry->Usage(words, entry->GetIndex());
    return entry->Finish(words);
  }
  status = entry->Execute(words);
  if (status == kxstatus::kWrongParameter || status == kxstatus::kHelpRequest ||
      status == kxstatus::kInvalidParameter) {
    entry->Usage(words, entry->GetIndex());
    entry->Finish(words);
    return status;
  }
  const uint32_t finish = entry->Finish(words);
  return status != 0 ? status : finish;
}

uint32_t MultipleCmdsProcessor::Usage(Words& words, uint32_t index) {
  TraceEntered("Usage");
  for (const UsageRow& row : usages_) {
    if (row.index != index) continue;
    if (row.text) {
      ConsolePrint(0, "%s", row.text);
      return 0;
    }
    if (row.help) return FamilyHelp(words);
  }
  return kxstatus::kModeWithoutCommand;
}

const char* MultipleCmdsProcessor::UsageText(uint32_t index) const {
  for (const UsageRow& row : usages_)
    if (row.index == index && row.text) return row.text;
  return nullptr;
}

uint32_t MultipleCmdsProcessor::ListCommands(Words& words) {
  for (CmdProcessor* entry : GetCommands()) {
    if (!entry || entry->CheckAvailable(words) != 0 || entry->IsUnlisted() || entry->IsHidden()) continue;
    ConsolePrint(0, "%-12s: ", entry->GetName().c_str());
    ConsolePrint(0, "%s\r\n", entry->GetHelp().c_str());
  }
  return 0;
}

uint32_t MultipleCmdsProcessor::FamilyHelp(Words& words) {
  ConsolePrint(0,
               "\r\nFollowing is the list of available commands in the %s command mode.\r\n"
               "For detailed information of each command, please type 'command ?'\r\n",
               modeTitle_.c_str());
  ConsolePrint(0, "All commands are case insensitive.\r\n\r\n");
  for (CmdProcessor* entry : GetCommands()) {
    if (!entry || entry->CheckAvailable(words) != 0 || entry->IsHidden()) continue;
    ConsolePrint(0, "%-12s: ", entry->GetName().c_str());
    ConsolePrint(0, "%s\r\n", entry->GetHelp().c_str());
  }
  return 0;
}

void MultipleCmdsProcessor::TraceEntered(const char* fn) const {
  TraceLevel(kTraceInfo, "%s::%s: Entered", className_, fn);
}

void MultipleCmdsProcessor::TraceExiting(const char* fn) const {
  TraceLevel(kTraceInfo, "%s::%s: Exiting", className_, fn);
}

void MultipleCmdsProcessor::TraceFn(unsigned long mask, const char* fn, const char* format, ...) const {
  if ((static_cast<unsigned long>(DebugLevel()) & mask) == 0) return;
  char message[4096];
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);
  TraceLevel(mask, "%s::%s: %s", className_, fn, message);
}

uint32_t MultipleCmdsProcessor::ShowErrorDocument(const char* fn, uint32_t status, uint32_t mode,
                                                  const ErrorDocument& doc) {
  TraceEntered(fn);
  auto writeEmpty = [this](const EmptyField& field) {
    switch (field.kind) {
      case EmptyField::Kind::kList:
        BeginField(field.name);
        BeginList(kListStructure);
        EndList();
        EndField();
        break;
      case EmptyField::Kind::kString:
        WriteStringField(field.name, field.text);
        break;
      case EmptyField::Kind::kBool:
        WriteBoolField(field.name, field.flag);
        break;
      case EmptyField::Kind::kInt:
        WriteIntField(field.name, 0, 5);
        break;
    }
  };
  const char* message = LookupMessage(doc.messages, status);
  Begin(mode);
  BeginStructure(doc.structure);
  for (const EmptyField& field : doc.before) writeEmpty(field);
  WriteStringField(doc.messageField, message);
  TraceLevel(kTraceInfo, "%s::%s: %s=%s", className_, fn, doc.messageField, message);
  for (const EmptyField& field : doc.after) writeEmpty(field);
  EndStructure();
  End();
  return status;
}

uint32_t MultipleCmdsProcessor::OpenInventory(const char* fn, const Words& words, kxinv::AdapterListRef& list) const {
  std::string ignored;
  if (const uint32_t status = IdentifierWord(className_, fn, words, ignored)) return status;
  TraceFn(kTraceInfo, fn, "Going for adapter list");
  list = kxinv::GetAdapterList();
  if (!list) {
    TraceFn(kTraceError, fn, "List is NULL");
    return kxstatus::kNoInventory;
  }
  TraceFn(kTraceInfo, fn, "Got adapter list with count = %d", static_cast<int>(list.Count()));
  return 0;
}

void MultipleCmdsProcessor::ShowIdentifierList(const char* fn, uint32_t mode, const StructDecl& element,
                                               const std::function<void(const IdentifierSink&)>& walk) {
  Begin(mode);
  BeginList(kListStructure);
  const char* field = element.fields.front().name;
  walk([&](const char* identifier) { WriteStringStructure(element.typeName, field, identifier); });
  EndList();
  End();
  TraceExiting(fn);
}

void MultipleCmdsProcessor::ShowReportDocument(uint32_t mode, const ErrorDocument& doc, const std::string& block,
                                               const bool* reboot) {
  const EmptyField* list = nullptr;
  for (const EmptyField& field : doc.after)
    if (!list && field.kind == EmptyField::Kind::kList) list = &field;
  Begin(mode);
  BeginStructure(doc.structure);
  WriteStringField(kxkey::kMessage, kxkey::kSuccess);
  if (reboot) WriteBoolField(kxkey::kRebootRequired, *reboot);
  BeginField(list->name);
  BeginList(kListStructure);
  BeginStructure(list->element->typeName);
  BeginField(list->element->fields.front().name);
  WriteFormatted(block.size(), "%s", block.c_str());
  EndField();
  EndStructure();
  EndList();
  EndField();
  EndStructure();
  End();
}

bool MultipleCmdsProcessor::RebootRequired(const char* fn, bool redirected) {
  uint8_t flag = 0;
  uint32_t rc = 0;
  if (redirected) {
    LibraryOutput out;
    rc = out ? KXAPI_IsRebootRequired(&flag) : kxstatus::kFileNotFound;
  } else {
    rc = KXAPI_IsRebootRequired(&flag);
  }
  if (rc != 0) {
    // When in doubt, tell the user to reboot.
    TraceFn(kTraceError, fn, "Get Reboot Required failed err=%d", static_cast<int>(rc));
    return true;
  }
  return flag == 1;
}

// ---- LibraryOutput -----------------------------------------------------------

LibraryOutput::LibraryOutput() {
  fflush(stdout);
  kept_ = stdout;
  log_ = fopen(kxpaths::Resolve(kxpaths::kOutputLog).c_str(), "a+");
  if (log_) stdout = log_;
}

LibraryOutput::~LibraryOutput() { Restore(); }

void LibraryOutput::Restore() {
  if (!log_) return;
  fclose(log_);
  log_ = nullptr;
  stdout = kept_;
}

// ---- ReportBlock -------------------------------------------------------------

ReportBlock::ReportBlock(size_t capacity, std::string tracePrefix)
    : capacity_(capacity), tracePrefix_(std::move(tracePrefix)) {}

bool ReportBlock::Add(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string line = FormatV(format, args);
  va_end(args);
  return AddText(line);
}

bool ReportBlock::AddText(const std::string& line) {
  TraceLevel(kTraceInfo, "%s%s", tracePrefix_.c_str(), line.c_str());
  if (text_.size() + line.size() + 1 > capacity_) return false;
  text_ += line;
  return true;
}
