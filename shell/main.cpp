// Program entry: start-up switches, signals, and one command or the prompt.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "runtime/SignalTrace.h"
#include "runtime/Trace.h"
#include "shell/MainCmdsProcessor.h"
#include "shell/RunFlags.h"

namespace {

// Only async-signal-safe work here: the handler may have interrupted the main
// line inside malloc, stdio or the trace lock.
void OnSignal(int signalNumber) {
  if (signalNumber == SIGQUIT) {
    RunFlags |= RUN_BREAK;
    SignalTrace("\r\nBreaking...\r\n");
    return;
  }
  SignalTrace("\r\nClosing...\r\n");
  signal(SIGINT, SIG_DFL);
  kill(getpid(), SIGINT);
}

void InstallSignalHandlers() {
  PrepareSignalTrace();
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a SIGQUIT must interrupt the wait for input.
  for (int sig : {SIGINT, SIGABRT, SIGTERM, SIGQUIT}) sigaction(sig, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // A caller that reads the document from a pipe or a file gets it in 64 KiB
  // writes rather than 4 KiB ones: a list of a large inventory is tens of MiB.
  static char outputBuffer[64 * 1024];
  if (!isatty(STDOUT_FILENO)) setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  ReadDebugLevel();
  srand(static_cast<unsigned>(time(nullptr)));

  int first = 1;
  for (; first < argc; ++first) {
    if (EqualsNoCase(argv[first], "-debug"))
      RunFlags |= RUN_DEBUG;
    else if (EqualsNoCase(argv[first], "-eng"))
      RunFlags |= RUN_ENGINEERING;
    else
      break;
  }
  InstallSignalHandlers();

  MainCmdsProcessor* root = MainCmdsProcessor::Get();
  if (!root) {
    Trace("main: Program Exit Code: (%u)\n", 0u);
    return 0;
  }

  Words words(argv + first, argv + argc);
  if (!words.empty()) RunFlags |= RUN_ONE_SHOT;

  uint32_t status = root->Initialize(words);
  if (status != 0)
    status = kxstatus::kStartupFailed;
  else
    status = root->Execute(words);

  const uint32_t finish = root->Finish(words);
  if (finish != 0) Trace("main: Uninitialization failed: returncode = %u\n", finish);

  MainCmdsProcessor::Destroy();
  Trace("main: Program Exit Code: (%u)\n", status);
  return 0;
}
