#include "tests/e2e/Harness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>


namespace e2e {

namespace fs = std::filesystem;

namespace {

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-test";
  for (char& c : name) if (c == '/') c = '_';
  return name;
}

}  // namespace

Sandbox::Sandbox() : Sandbox(TestName()) {}

Sandbox::Sandbox(const std::string& name) : root_(std::string(KXFC_TEST_WORK_DIR) + "/" + name) {
  fs::remove_all(root_);
  fs::create_directories(root_ + "/var/tmp");
  env_["KXFC_SANDBOX_ROOT"] = root_;
  env_["KXSIM_STATE"] = StatePath();
  env_["KXSIM_CALLLOG"] = root_ + "/calls.log";
}

void Sandbox::UseFixture(const std::string& name) {
  env_["KXSIM_FIXTURE"] = name.front() == '/' ? name : std::string(KXFC_FIXTURE_DIR) + "/" + name;
}

void Sandbox::UseFixtureText(const std::string& json) {
  WriteFile(File("fixture.json"), json);
  env_["KXSIM_FIXTURE"] = File("fixture.json");
}

pid_t Sandbox::Start(const std::vector<std::string>& args, const std::string& inPath, const std::string& outPath,
                     const std::string& errPath) const {
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open(inPath.c_str(), O_RDONLY), 0);
    dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(errPath.empty() ? 1 : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    unsetenv("KXSIM_FIXTURE");
    unsetenv("KXFC_DEBUG_LEVEL");
    for (const auto& [key, value] : env_) setenv(key.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(KXFCLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(KXFCLI_PATH, argv.data());
    _exit(127);
  }
  return pid;
}

Result Sandbox::RunWithSignal(const std::vector<std::string>& args, const std::string& stdinText, int signal,
                              int delayMs) const {
  const std::string outPath = File("stdout.txt"), errPath = File("stderr.txt"), callPath = env_.at("KXSIM_CALLLOG");
  WriteFile(File("stdin.txt"), stdinText);
  fs::remove(callPath);
  const pid_t pid = Start(args, File("stdin.txt"), outPath, errPath);
  if (signal != 0) {
    usleep(static_cast<useconds_t>(delayMs) * 1000);
    kill(pid, signal);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  Result result;
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  result.calls = FileExists(callPath) ? ReadFile(callPath) : "";
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

int WaitFor(pid_t pid, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(1000);
  }
  return status;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

// Whether the call-log line is one of the call.
bool OfCall(const std::string& line, const std::string& call) { return line == call || line.starts_with(call + " "); }

std::vector<std::string> CallsNamed(const Result& result, const std::string& call) {
  std::vector<std::string> lines;
  std::istringstream in(result.calls);
  for (std::string line; std::getline(in, line);) if (OfCall(line, call)) lines.push_back(line);
  return lines;
}

int LastStatus(const Sandbox& box) {
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  const std::string mark = "main: Program Exit Code: (";
  const size_t at = log.rfind(mark);
  return at == std::string::npos ? -1 : std::stoi(log.substr(at + mark.size()));
}

bool Traced(const Sandbox& box, const std::string& line) {
  return ReadFile(box.HostPath("/var/tmp/kxfcli.log")).find(": " + line + "\r\n") != std::string::npos;
}

std::string Doc::Text() const {
  auto lines = [](const Fields& fs) {
    std::string t;
    for (const auto& [name, value] : fs) {
      const bool typed = value.starts_with('\x01') || value.starts_with('\x02');
      const std::string v = typed ? value.substr(1) : value;
      t += name + ": " + v + (v.ends_with('\n') ? "" : "\n");
    }
    return t;
  };
  std::string t = kStars + structure + ":\n" + lines(fields);
  if (!list.empty()) t += list + ": ";
  for (const Fields& item : items) t += element + ":\n" + lines(item);
  return t + kStars;
}

std::string Doc::Xml() const {
  auto xml = [](const Fields& fs) {
    std::string t;
    for (const auto& [name, value] : fs) {
      const std::string type = value.starts_with('\x01') ? "bool" : value.starts_with('\x02') ? "int" : "";
      t += "<field name=\"" + name + "\">\n" +
           (type.empty() ? "<string>" + value + "</string>" : "<" + type + ">" + value.substr(1) + "</" + type + ">") +
           "</field>\n";
    }
    return t;
  };
  std::string t = kXmlHead + "<structure typeName=\"" + structure + "\">\n" + xml(fields);
  if (!list.empty()) {
    t += "<field name=\"" + list + "\">\n<list type=\"structure\">\n";
    for (const Fields& item : items) t += "<structure typeName=\"" + element + "\">\n" + xml(item) + "</structure>\n";
    t += "</list>\n</field>\n";
  }
  return t + "</structure>\n</output>\n";
}

std::string ListText(const std::string& structure, const std::string& field, const std::vector<std::string>& values) {
  std::string t = kStars;
  for (const std::string& v : values) t += structure + ":\n" + field + ": " + v + "\n";
  return t + kStars;
}

std::string ListXml(const std::string& structure, const std::string& field, const std::vector<std::string>& values) {
  std::string t = kXmlHead + "<list type=\"structure\">\n";
  for (const std::string& v : values)
    t += "<structure typeName=\"" + structure + "\">\n<field name=\"" + field + "\">\n<string>" + v +
         "</string></field>\n</structure>\n";
  return t + "</list>\n</output>\n";
}

std::string Block(const std::vector<std::string>& labels, const std::string& values) {
  std::vector<std::string> parts;
  std::istringstream in(values);
  for (std::string v; std::getline(in, v, '|');) parts.push_back(v);
  if (values.ends_with('|')) parts.push_back("");
  EXPECT_EQ(parts.size(), labels.size()) << values;
  std::string t;
  for (size_t i = 0; i < labels.size() && i < parts.size(); ++i)
    t += (i ? "      " : "") + labels[i] + ": " + parts[i] + "\n";
  return t;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string t;
  for (const std::string& line : lines) t += (t.empty() ? "" : "      ") + line + "\n";
  return t;
}

void RunCases(Sandbox& box, const std::vector<std::string>& lead, const std::vector<Case>& cases) {
  box.SetEnvDefault("KXFC_DEBUG_LEVEL", "1");
  for (const Case& c : cases) {
    std::vector<std::string> args = lead;
    args.insert(args.end(), c.words.begin(), c.words.end());
    std::string name;
    for (const std::string& w : c.words) name += " " + w;
    const std::string traceLog = box.HostPath("/var/tmp/kxfcli.log");
    const size_t traced = c.trace.empty() ? 0 : ReadFile(traceLog).size();
    const Result r = box.Run(args);
    if (!c.trace.empty()) {
      EXPECT_NE(ReadFile(traceLog).find(": " + c.trace + "\r\n", traced), std::string::npos) << name << ": " << c.trace;
    }
    if (c.out != kAnyOutput) {
      EXPECT_EQ(r.out, c.out) << name;
    }
    if (c.status >= 0) {
      EXPECT_EQ(LastStatus(box), c.status) << name;
    }
    if (c.call.empty()) continue;
    std::vector<std::string> lines;
    std::istringstream log(r.calls);
    for (std::string line; std::getline(log, line);) {
      std::istringstream names(c.call);
      for (std::string n; std::getline(names, n, ',');) if (OfCall(line, n)) lines.push_back(line);
    }
    EXPECT_EQ(lines, c.calls) << name;
  }
}

std::string WithCalls(const std::string& fixtureText, const std::string& calls) {
  std::string text = fixtureText;
  const std::string slot = "\"calls\": []";
  const size_t at = text.find(slot);
  if (at != std::string::npos) return text.replace(at, slot.size(), "\"calls\": [" + calls + "]");
  return text.insert(text.rfind('}'), ", \"calls\": [" + calls + "]");
}

std::string Fixture(const std::string& name) { return ReadFile(std::string(KXFC_FIXTURE_DIR) + "/" + name); }
}  // namespace e2e
