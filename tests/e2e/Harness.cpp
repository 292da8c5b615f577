#include "tests/e2e/Harness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
  for (char& c : name)
    if (c == '/') c = '_';
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

Result Sandbox::Run(const std::vector<std::string>& args, const std::string& stdinText) const {
  return RunWithSignal(args, stdinText, 0, 0);
}

Result Sandbox::RunWithSignal(const std::vector<std::string>& args, const std::string& stdinText, int signal,
                              int delayMs) const {
  const std::string inPath = File("stdin.txt");
  const std::string outPath = File("stdout.txt");
  const std::string errPath = File("stderr.txt");
  const std::string callPath = env_.at("KXSIM_CALLLOG");
  WriteFile(inPath, stdinText);
  fs::remove(callPath);

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    unsetenv("KXSIM_FIXTURE");
    unsetenv("KXFC_DEBUG_LEVEL");
    for (const auto& [key, value] : env_) setenv(key.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(KXFCLI_PATH));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(KXFCLI_PATH, argv.data());
    _exit(127);
  }
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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> CallsNamed(const Result& result, const std::string& call) {
  std::vector<std::string> lines;
  std::istringstream in(result.calls);
  std::string line;
  while (std::getline(in, line))
    if (line == call || line.rfind(call + " ", 0) == 0) lines.push_back(line);
  return lines;
}

}  // namespace e2e
