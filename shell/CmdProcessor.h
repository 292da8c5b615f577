// The command tree: entries (CmdProcessor), modes with their tables
// (MultipleCmdsProcessor), lookup of command words and the run protocol.
//
// A command family is a MultipleCmdsProcessor subclass that supplies its class
// name, its table of commands (RegisterCommands with a CommandDef list), its
// Usage printer and its Cmd...Common handlers. The framework writes the Entered
// traces of the CmdX / CmdXCli pair, the help listing, the error document and
// the report document, so a family holds only what is particular to it.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "shell/CommandSpec.h"
#include "shell/Inventory.h"
#include "shell/Serializer.h"
#include "shell/Status.h"
#include "shell/Words.h"

// How a table entry runs: the XML command, its text twin, or the family help.
// Entries of the root table (q, log, ...) are shell commands.
enum class CommandKind { kXml, kText, kHelp, kShell };

class CmdProcessor : public Serializer {
 public:
  using ExecuteHandler = std::function<uint32_t(Words&)>;
  using UsageHandler = std::function<uint32_t(Words&, uint32_t)>;

  CmdProcessor(std::string name, std::string switchText, std::string help, CmdProcessor* owner,
               uint32_t index = 0, bool unlisted = false);

  virtual CmdProcessor* GetParent() { return owner_; }
  virtual uint32_t Initialize(Words&) { return 0; }
  virtual uint32_t Finish(Words&) { return 0; }
  // Non-zero means the entry is unavailable.
  virtual uint32_t CheckAvailable(Words&) { return 0; }
  virtual bool IsCommand() const { return true; }
  virtual bool IsUnlisted() const { return unlisted_; }
  virtual const std::string& GetName() const { return name_; }
  virtual const std::string& GetSwitch() const { return switch_; }
  virtual uint32_t GetIndex() const { return index_; }
  virtual const std::string& GetHelp() const { return help_; }
  virtual uint32_t GetHiddenFlags() const { return hiddenFlags_; }
  virtual uint32_t Usage(Words& words, uint32_t index);
  virtual uint32_t Execute(Words& words);
  virtual uint32_t ListCommands(Words&) { return 1; }

  void SetExecute(ExecuteHandler handler) { execute_ = std::move(handler); }
  void SetUsage(UsageHandler handler) { usage_ = std::move(handler); }
  void SetKind(CommandKind kind, const CommandSpec* spec) {
    kind_ = kind;
    spec_ = spec;
  }
  CommandKind Kind() const { return kind_; }
  // The esxcli declaration of an XML command; null for every other entry.
  const CommandSpec* Spec() const { return spec_; }

  // Engineering-only entries are hidden unless the program runs with "-eng".
  bool IsHidden() const;

 private:
  std::string name_;
  std::string switch_;
  std::string help_;
  uint32_t unlisted_;
  uint32_t index_;
  uint32_t hiddenFlags_ = 0;
  ExecuteHandler execute_;
  UsageHandler usage_;
  CmdProcessor* owner_;
  CommandKind kind_ = CommandKind::kShell;
  const CommandSpec* spec_ = nullptr;
};

// One row of a family's command table.
template <class Family>
struct CommandDef {
  const char* name;
  const char* help;
  uint32_t index;
  CommandKind kind;
  uint32_t (Family::*common)(Words&, uint32_t mode) = nullptr;  // CmdXCommon; none for help
  const char* handler = nullptr;                                // "CmdList", "CmdListCli": traced on entry
  // What the family's Usage prints for this row's index; a help row without
  // one prints the family help listing.
  const char* usage = nullptr;
  // XML rows: the words esxcli passes and the document the command prints.
  CommandSpec spec = {};
};

// A field written in its empty form by an error document.
struct EmptyField {
  enum class Kind { kList, kString, kBool, kInt };
  Kind kind;
  const char* name;
  const char* text = "";
  bool flag = false;
  const StructDecl* element = nullptr;  // a list's element structure

  static EmptyField List(const char* name, const StructDecl* element) {
    return {Kind::kList, name, "", false, element};
  }
  static EmptyField String(const char* name, const char* text) { return {Kind::kString, name, text}; }
  static EmptyField Bool(const char* name, bool flag) { return {Kind::kBool, name, "", flag}; }
  // An int field with no value element (kind 5 of WriteIntField).
  static EmptyField Int(const char* name) { return {Kind::kInt, name}; }
};

// The shape of a family's result document: the top structure, the fields
// written before "Message" and those after it. A family whose outcome text
// has another name (the diagnostic tests' "Test Result") names it last.
struct ErrorDocument {
  const char* structure;
  MessageTable messages;
  std::initializer_list<EmptyField> before = {};
  std::initializer_list<EmptyField> after = {};
  const char* messageField = kxkey::kMessage;
};

// The identifier word of a command: its first word, empty when there is none.
// A help word in its place is status 5, traced as "<cls>::<fn>: Invoking Help".
uint32_t IdentifierWord(const char* cls, const char* fn, const Words& words, std::string& identifier);

class MultipleCmdsProcessor : public CmdProcessor {
 public:
  // className names the family in traces ("AdapterCmdsProcessor"); modeTitle
  // names it in the help header ("Adapter" for "... in the Adapter command mode.").
  MultipleCmdsProcessor(const char* className, const char* modeTitle, std::string name, std::string switchText,
                        std::string help, CmdProcessor* parent);
  ~MultipleCmdsProcessor() override;

  bool IsCommand() const override { return false; }
  // The family's usage printer: the usage text of the table row with this
  // index, or the help listing for a help row; 2 for any other index.
  uint32_t Usage(Words& words, uint32_t index) override;
  uint32_t Execute(Words&) override { return 2; }
  // The table listing used by the root "help": skips unlisted entries.
  uint32_t ListCommands(Words& words) override;

  // The table, built once on first request.
  const std::vector<CmdProcessor*>& GetCommands();
  virtual uint32_t RunCommand(CmdProcessor* entry, Words& words);
  virtual CmdProcessor* FindCommand(CmdProcessor* parent, Words& words);

  const char* ClassName() const { return className_; }
  const std::string& ModeTitle() const { return modeTitle_; }
  // The usage text of the table row with this index; null when it has none.
  const char* UsageText(uint32_t index) const;

  // The family help listing: header, then every entry including text twins and sub-modes.
  uint32_t FamilyHelp(Words& words);

  // Ends the constructor timing trace; called by whoever created the processor.
  void ConstructionDone() { constructionTimer_.reset(); }

 protected:
  // Appends the family's leaf commands; sub-modes follow them automatically.
  virtual void RegisterCommands() {}

  template <class Family>
  void AddCommands(Family* self, std::span<const CommandDef<Family>> defs);
  template <class Family, size_t N>
  void AddCommands(Family* self, const CommandDef<Family> (&defs)[N]) {
    AddCommands(self, std::span<const CommandDef<Family>>(defs, N));
  }
  // Adds a leaf entry with its handlers.
  void AddEntry(const char* name, const char* help, uint32_t index, ExecuteHandler execute, bool withUsage);
  void AddEntry(std::unique_ptr<CmdProcessor> entry) { entries_.push_back(std::move(entry)); }
  // Adds a sub-mode; the table lists it after the leaf commands.
  template <class Sub>
  Sub* AddSubMode(std::unique_ptr<Sub> sub) {
    Sub* raw = sub.get();
    raw->ConstructionDone();
    subModes_.push_back(std::move(sub));
    return raw;
  }
  void ClearSubModes();

  // Trace lines of this family: "<Class>::<fn>: Entered" etc.
  void TraceEntered(const char* fn) const;
  void TraceExiting(const char* fn) const;
  void TraceFn(unsigned long mask, const char* fn, const char* format, ...) const KX_PRINTF(4, 5);

  // Writes the family's result document for a failure: the fields before
  // "Message", "Message" with the table's text, then the fields after it in
  // their empty form. Returns the status it was given. A document whose
  // fields are all scalars also serves for success (status 0 in its table).
  uint32_t ShowErrorDocument(const char* fn, uint32_t status, uint32_t mode, const ErrorDocument& doc);

  // The start of every "list" command: a help word is status 5; without an
  // inventory it is 14 (nothing is printed). Traces the list's count.
  uint32_t OpenInventory(const char* fn, const Words& words, kxinv::AdapterListRef& list) const;
  // The document of a "list": one structure per identifier, each holding it in
  // one string field, as the elements of a structure list. The walk hands each
  // identifier to the sink as it forms it, and the element is written at once:
  // a list of any length is never held in memory.
  using IdentifierSink = std::function<void(const char* identifier)>;
  void ShowIdentifierList(const char* fn, uint32_t mode, const StructDecl& element,
                          const std::function<void(const IdentifierSink&)>& walk);

  // Writes a report block as the one field ("Data" or as the element declares)
  // of a one-element list: structure / "Message" Success / list field [ element
  // { Data } ], the list field being the first list among the document's fields
  // after "Message". A reboot flag, when given, follows "Message" as "Reboot Required".
  void ShowReportDocument(uint32_t mode, const ErrorDocument& doc, const std::string& block,
                          const bool* reboot = nullptr);

  // Asks the library whether the change just made needs a reboot; when it
  // cannot tell, the answer is yes ("Get Reboot Required failed err=<n>").
  // With redirected, the call's standard output goes to the library output
  // log, and a log that cannot be opened counts as a failed call (19).
  bool RebootRequired(const char* fn, bool redirected = false);

  // Makes one or more library calls with standard output on the library
  // output log. False when the log cannot be opened: the calls are not made
  // and the failure is traced as "<Class>::<fn>: Failed to open
  // /var/tmp/kxapi-output.log file" followed by `when` (" before set") if given.
  template <class Calls>
  bool WithLibraryOutput(const char* fn, Calls&& calls, const char* when = "");

 private:
  // Timing traces of constructor and destructor. Declared first so that the
  // destructor's timer ends last, after the sub-modes are gone.
  std::string destructorName_;
  std::unique_ptr<FunctionTimer> destructionTimer_;
  std::string constructorName_;
  std::unique_ptr<FunctionTimer> constructionTimer_;
  const char* className_;
  std::string modeTitle_;
  bool built_ = false;
  struct UsageRow {
    uint32_t index;
    bool help;
    const char* text;
  };
  std::vector<UsageRow> usages_;
  std::vector<std::unique_ptr<CmdProcessor>> entries_;
  std::vector<std::unique_ptr<MultipleCmdsProcessor>> subModes_;
  std::vector<CmdProcessor*> table_;
};

template <class Family>
void MultipleCmdsProcessor::AddCommands(Family* self, std::span<const CommandDef<Family>> defs) {
  for (const CommandDef<Family>& def : defs) {
    ExecuteHandler execute;
    if (def.kind == CommandKind::kHelp) {
      execute = [this](Words& words) { return FamilyHelp(words); };
    } else {
      const uint32_t mode = def.kind == CommandKind::kXml ? kModeXml : kModeText;
      execute = [this, self, def, mode](Words& words) {
        TraceEntered(def.handler);
        return (self->*def.common)(words, mode);
      };
    }
    AddEntry(def.name, def.help, def.index, std::move(execute), def.kind != CommandKind::kXml);
    entries_.back()->SetKind(def.kind, def.kind == CommandKind::kXml ? &def.spec : nullptr);
    usages_.push_back({def.index, def.kind == CommandKind::kHelp, def.usage});
  }
}

// Keeps standard output on the library output log while in scope, so that
// whatever the vendor library prints stays out of the command's document.
class LibraryOutput {
 public:
  LibraryOutput();
  ~LibraryOutput();
  LibraryOutput(const LibraryOutput&) = delete;
  LibraryOutput& operator=(const LibraryOutput&) = delete;

  // False when the log could not be opened; standard output is then unchanged.
  explicit operator bool() const { return log_ != nullptr; }
  // Closes the log and puts the kept stream back (also done on destruction).
  void Restore();

 private:
  FILE* kept_ = nullptr;
  FILE* log_ = nullptr;
};

template <class Calls>
bool MultipleCmdsProcessor::WithLibraryOutput(const char* fn, Calls&& calls, const char* when) {
  LibraryOutput out;
  if (!out) {
    TraceFn(kTraceError, fn, "Failed to open /var/tmp/kxapi-output.log file%s", when);
    return false;
  }
  std::forward<Calls>(calls)();
  return true;
}

// Fixed-size report text: a line is appended whole when it fits together with
// the terminating NUL, and left out whole when it does not.
class ReportBlock {
 public:
  // tracePrefix, when given, is written before each traced line ("Class::fn: ").
  explicit ReportBlock(size_t capacity, std::string tracePrefix = "");
  // Formats one line; returns true when it was appended.
  bool Add(const char* format, ...) KX_PRINTF(2, 3);
  bool AddText(const std::string& line);
  const std::string& Text() const { return text_; }
  size_t Capacity() const { return capacity_; }

 private:
  size_t capacity_;
  std::string tracePrefix_;
  std::string text_;
};
