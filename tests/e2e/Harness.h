// Runs the real kxfcli against the stand-in library, each test in a sandbox
// of its own (paths, stand-in state, call log), so tests run in parallel.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <utility>
#include <string>
#include <vector>

namespace e2e {

struct Result {
  std::string out;      // standard output
  std::string err;      // standard error
  std::string calls;    // the stand-in's call log
  int exitCode = -1;    // -1 when ended by a signal
  int signal = 0;
};

class Sandbox {
 public:
  // A fresh, empty sandbox named after the running test.
  Sandbox();
  explicit Sandbox(const std::string& name);

  // Runs kxfcli with the words; stdinText is fed on standard input (empty: /dev/null).
  Result Run(const std::vector<std::string>& args, const std::string& stdinText = "") const {
    return RunWithSignal(args, stdinText, 0, 0);
  }
  // As Run, sending the signal to the process after delayMs milliseconds.
  Result RunWithSignal(const std::vector<std::string>& args, const std::string& stdinText, int signal,
                       int delayMs) const;
  // Starts kxfcli without waiting: input from inPath, output to outPath, errors to errPath ("": outPath).
  pid_t Start(const std::vector<std::string>& args, const std::string& inPath, const std::string& outPath,
              const std::string& errPath = "") const;

  // Uses tests/fixtures/<name> (or an absolute path) as the stand-in's fixture.
  void UseFixture(const std::string& name);
  // Writes a fixture of the given JSON text into the sandbox and uses it.
  void UseFixtureText(const std::string& json);
  void SetEnv(const std::string& name, const std::string& value) { env_[name] = value; }
  // Sets the variable unless the test has set it.
  void SetEnvDefault(const std::string& name, const std::string& value) { env_.emplace(name, value); }

  const std::string& Root() const { return root_; }
  // A fixed host path as the tool sees it inside this sandbox.
  std::string HostPath(const std::string& fixedPath) const { return root_ + fixedPath; }
  std::string File(const std::string& name) const { return root_ + "/" + name; }
  std::string StatePath() const { return root_ + "/sim-state.json"; }

 private:
  std::string root_;
  std::map<std::string, std::string> env_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

// The wait status of the process, or -1 when it has not ended within ms (it is then killed).
int WaitFor(pid_t pid, int ms);

// Call-log lines that start with the given call name.
std::vector<std::string> CallsNamed(const Result& result, const std::string& call);

// The exit status from the trace log's last "Program Exit Code" line; -1 when there is none.
int LastStatus(const Sandbox& box);
// Whether the trace log holds the line ("Class::Function: text", as it follows the process id).
bool Traced(const Sandbox& box, const std::string& line);

// The text form's asterisk line.
inline const std::string kStars = "****************************************************\n";
inline const std::string kXmlHead = "<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n";

using Fields = std::vector<std::pair<std::string, std::string>>;

// A document of one structure: its fields in order, then optionally a list field of
// element structures (none: the empty list of an error document). A value ending in
// a line end is a block the tool writes as it stands ("Data"); a value made by Bool()
// or Int() is a bool or int field.
struct Doc {
  std::string structure;
  Fields fields;
  std::string list = "";          // "" for no list field
  std::string element = "";       // the elements' type name
  std::vector<Fields> items = {};  // the elements' fields
  std::string Text() const;
  std::string Xml() const;
};

// The list documents: one structure of one string field for each value.
std::string ListText(const std::string& structure, const std::string& field, const std::vector<std::string>& values);
std::string ListXml(const std::string& structure, const std::string& field, const std::vector<std::string>& values);

inline std::string Bool(bool value) { return std::string(1, '\x01') + (value ? "true" : "false"); }
inline std::string Int(const std::string& value) { return std::string(1, '\x02') + value; }

// A document holding only its message.
inline Doc MessageDoc(const std::string& structure, const std::string& message) {
  return {structure, {{"Message", message}}};
}
// A report: the message, then the list field with one element of one "Data" block.
inline Doc Report(const std::string& structure, const std::string& list, const std::string& element,
                  const std::string& block, const std::string& message = "Success") {
  return {structure, {{"Message", message}}, list, element, {{{"Data", block}}}};
}
// The error form of a list document: the message and an empty list; a "Reboot Required" value goes first.
inline Doc ListError(const std::string& structure, const std::string& list, const std::string& message,
                     const std::string& reboot = "") {
  Doc doc = {structure, {{"Message", message}}, list};
  if (!reboot.empty()) doc.fields.insert(doc.fields.begin(), {"Reboot Required", reboot});
  return doc;
}

// A "Data" block: the first "label: value" line, the others indented by six blanks;
// values are given in one text separated by '|'.
std::string Block(const std::vector<std::string>& labels, const std::string& values);

// A "Data" block of "label: value" lines, the first as it stands, the others indented by six blanks.
std::string Lines(const std::vector<std::string>& lines);

// One row of a table of runs: the words after the table's leading words, the whole
// expected standard output (kAnyOutput: not compared), and optionally the exit status, the call-log lines of
// the library calls named in `call` (comma-separated; an empty list: none is made) and a line the run
// traces ("Class::Function: text", as it follows the process id).
inline const std::string kAnyOutput = "\x01" "any output";
struct Case {
  std::vector<std::string> words;
  std::string out;
  int status = -1;
  std::string call = "";
  std::vector<std::string> calls = {};
  std::string trace = "";
};
// Runs every row in the box (tracing on unless set, so the status can be read), naming the row on failure.
void RunCases(Sandbox& box, const std::vector<std::string>& lead, const std::vector<Case>& cases);

// A fixture text with scripted library results added, e.g. {"call": "KXAPI_X", "rc": 7}.
std::string WithCalls(const std::string& fixtureText, const std::string& calls);
// A fixture of tests/fixtures by name.
std::string Fixture(const std::string& name);

}  // namespace e2e
