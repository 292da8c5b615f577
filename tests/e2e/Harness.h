// Runs the real kxfcli against the stand-in library, each test in a sandbox
// of its own (paths, stand-in state, call log), so tests run in parallel.
#pragma once

#include <gtest/gtest.h>

#include <map>
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
  Result Run(const std::vector<std::string>& args, const std::string& stdinText = "") const;
  // As Run, sending the signal to the process after delayMs milliseconds.
  Result RunWithSignal(const std::vector<std::string>& args, const std::string& stdinText, int signal,
                       int delayMs) const;

  // Uses tests/fixtures/<name> (or an absolute path) as the stand-in's fixture.
  void UseFixture(const std::string& name);
  // Writes a fixture of the given JSON text into the sandbox and uses it.
  void UseFixtureText(const std::string& json);
  void SetEnv(const std::string& name, const std::string& value) { env_[name] = value; }

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

// Call-log lines that start with the given call name.
std::vector<std::string> CallsNamed(const Result& result, const std::string& call);

// The text form's asterisk line.
inline const std::string kStars = "****************************************************\n";
inline const std::string kXmlHead = "<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n";

}  // namespace e2e
