#include "shell/MainCmdsProcessor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adapter/AdapterCmdsProcessor.h"
#include "port/PhysicalPortCmdsProcessor.h"
#include "runtime/Paths.h"
#include "shell/KxApi.h"
#include "shell/RunFlags.h"
#include "target/FCLunCmdsProcessor.h"
#include "target/FCTargetCmdsProcessor.h"

namespace {

std::unique_ptr<MainCmdsProcessor> g_root;

constexpr const char* kHelpText = "list of available commands";

}  // namespace

MainCmdsProcessor::MainCmdsProcessor()
    : MultipleCmdsProcessor("MainCmdsProcessor", "main", "main", "", "the main commands processor", nullptr) {}

MainCmdsProcessor::~MainCmdsProcessor() {
  if (CommandLogFile >= 0) {
    close(CommandLogFile);
    CommandLogFile = -1;
  }
}

MainCmdsProcessor* MainCmdsProcessor::Get() {
  if (!g_root) {
    g_root = std::make_unique<MainCmdsProcessor>();
    g_root->ConstructionDone();
  }
  return g_root.get();
}

void MainCmdsProcessor::Destroy() { g_root.reset(); }

void MainCmdsProcessor::RegisterCommands() {
  struct RootCommand {
    const char* name;
    const char* help;
    uint32_t index;
    bool unlisted;
    uint32_t (MainCmdsProcessor::*handler)(Words&);
  };
  static const RootCommand kCommands[] = {
      {"q", "quit the program", 1, false, &MainCmdsProcessor::CmdQuit},
      {"log", "log all command input and output to a file", 2, false, &MainCmdsProcessor::CmdLog},
      {"version", "display version of this program", 3, false, &MainCmdsProcessor::CmdVersion},
      {"help", kHelpText, 0, false, &MainCmdsProcessor::CmdHelp},
      {"?", kHelpText, 0, true, &MainCmdsProcessor::CmdHelp},
      {"/h", kHelpText, 0, true, &MainCmdsProcessor::CmdHelp},
      {"/help", kHelpText, 0, true, &MainCmdsProcessor::CmdHelp},
      {"/?", kHelpText, 0, true, &MainCmdsProcessor::CmdHelp},
  };
  for (const RootCommand& c : kCommands) {
    auto entry = std::make_unique<CmdProcessor>(c.name, "", c.help, this, c.index, c.unlisted);
    entry->SetExecute([this, h = c.handler](Words& words) { return (this->*h)(words); });
    entry->SetUsage([this](Words& words, uint32_t index) { return RootUsage(words, index); });
    AddEntry(std::move(entry));
  }
}

uint32_t MainCmdsProcessor::Initialize(Words&) {
  const long level = [] {
    const char* value = std::getenv("KXFC_DEBUG_LEVEL");
    return value ? std::strtol(value, nullptr, 10) : 0L;
  }();
  const int libraryLevel = level == 65535 ? 31 : 0;
  {
    LibraryOutput out;
    if (!out) return kxstatus::kFileNotFound;
    printf("FC ESXCLI Debug level = %ld\n", level);
    printf("KXAPI Debug level = %d\n", libraryLevel);
    KXAPI_Initialize(libraryLevel, 0);
    KXAPI_SetToolID(11);
    KXAPI_SetToolVersion(1, 7, 4, 0);
  }
  AddModes();
  return 0;
}

void MainCmdsProcessor::AddModes() {
  AddSubMode(std::make_unique<AdapterCmdsProcessor>(this));
  AddSubMode(std::make_unique<PhysicalPortCmdsProcessor>(this));
  AddSubMode(std::make_unique<FCTargetCmdsProcessor>(this));
  AddSubMode(std::make_unique<FCLunCmdsProcessor>(this));
}

uint32_t MainCmdsProcessor::Finish(Words&) {
  KXAPI_Uninitialize();
  ClearSubModes();
  return 0;
}

uint32_t MainCmdsProcessor::Execute(Words& words) {
  if ((RunFlags & RUN_ONE_SHOT) == 0 && words.empty()) return RunPrompt();
  for (const std::string& word : words)
    if (EqualsNoCase(word, "version") || EqualsNoCase(word, "q")) return 0;
  return DispatchCommand(words);
}

uint32_t MainCmdsProcessor::DispatchCommand(Words& words) {
  CmdProcessor* entry = FindCommand(this, words);
  if (!entry) {
    ConsolePrint(0, "Unknown command or invalid target identifier!\r\n");
    return kxstatus::kUnknownCommand;
  }
  return RunCommand(entry, words);
}

namespace {

// After a read that filled the line buffer: true when the line ends there (a
// newline, taken, or the end of input); otherwise skips the rest of the line
// up to and including its newline and returns false.
bool AtLineEnd() {
  int c = getchar();
  if (c == '\n' || c == EOF) return true;
  while (c != '\n' && c != EOF) c = getchar();
  return false;
}

}  // namespace

uint32_t MainCmdsProcessor::RunPrompt() {
  char line[2048];
  for (;;) {
    RunFlags &= ~RUN_BREAK;
    ConsolePrint(0, "%s>", "$");
    fflush(stdout);
    if (!fgets(line, sizeof line, stdin)) {
      bool broken = false;
      for (int i = 0; i < 5 && !broken; ++i) {
        if (RunFlags & RUN_BREAK) {
          broken = true;
          break;
        }
        sleep(1);
      }
      if (broken || (RunFlags & RUN_BREAK)) {
        clearerr(stdin);
        continue;
      }
      ConsolePrint(0, "Unknown input problem!\r\nQuit...\r\n");
      return kxstatus::kWrongParameter;
    }
    size_t length = strlen(line);
    if (length == 0) continue;
    CommandLogWrite(line, length);
    if (length == sizeof line - 1 && line[length - 1] != '\n' && !AtLineEnd()) {
      // Longer than the line buffer: the whole line is refused, so that its
      // tail never runs as a command of its own.
      ConsolePrint(0, "Error parsing command input string!\n");
      continue;
    }
    if (line[length - 1] == '\n') line[--length] = '\0';
    if (length == 0) continue;
    std::optional<Words> words = Tokenize(line);
    if (!words) {
      ConsolePrint(0, "Error parsing command input string!\n");
      continue;
    }
    if (words->empty()) continue;
    const uint32_t status = DispatchCommand(*words);
    if (status == 9 || status == kxstatus::kQuit) return 0;
  }
}

uint32_t MainCmdsProcessor::Usage(Words&, uint32_t) {
  ConsolePrint(0, "Usage: legacy\r\n    legacy commands are supported in this mode.\r\n");
  return 0;
}

uint32_t MainCmdsProcessor::RootUsage(Words& words, uint32_t index) {
  switch (index) {
    case 0:
      return CmdHelp(words);
    case 1:
      ConsolePrint(0, "Usage: q\r\n    return to the parent prompt.\r\n");
      return 0;
    case 2:
      ConsolePrint(0,
                   "Usage: log [<filename>]\r\n    filename    : The file to log all the output to. \r\n"
                   "                    If no filename is supplied, the currently open log \r\n"
                   "                    file will be closed.\r\n");
      return 0;
    case 3:
      ConsolePrint(0, "Usage: version\r\n    display version of this program.\r\n");
      return 0;
    default:
      return 2;
  }
}

uint32_t MainCmdsProcessor::CmdQuit(Words& words) {
  if (!words.empty()) {
    ConsolePrint(0, "Command parameter Error!\r\n");
    return kxstatus::kWrongParameter;
  }
  Trace("Exiting the program...\r\n");
  return kxstatus::kQuit;
}

uint32_t MainCmdsProcessor::CmdLog(Words& words) {
  // A new log replaces the one already open, so no descriptor is left behind.
  if (CommandLogFile >= 0) {
    close(CommandLogFile);
    CommandLogFile = -1;
  }
  if (words.empty()) return 0;
  const int fd = open(words.front().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0200);
  if (fd < 0) {
    const int err = errno;
    Trace("open() %s failed %d (%s)\n", words.front().c_str(), err, strerror(err));
    ConsolePrint(0, "Failed to create file %s\n", words.front().c_str());
    return 0;
  }
  CommandLogFile = fd;
  return 0;
}

uint32_t MainCmdsProcessor::CmdVersion(Words& words) {
  if (!words.empty()) {
    ConsolePrint(0, "Command parameter Error!\r\n");
    return kxstatus::kWrongParameter;
  }
  ConsolePrint(0, "%s v%s\r\n", kProductName, kProductVersion);
  return 0;
}

uint32_t MainCmdsProcessor::CmdHelp(Words& words) {
  ConsolePrint(0,
               "\r\nFollowing is the list of available commands.\r\n"
               "For detailed information of each command, please type 'command ?'\r\n");
  ConsolePrint(0, "All commands are case insensitive.\r\n\r\n");
  const uint32_t status = ListCommands(words);
  if (RunFlags & RUN_ONE_SHOT)
    ConsolePrint(0, "\nFor a complete help. Please refer to ZFC_ESXCLI_Readme.txt in the same folder.\r\n");
  return status;
}
