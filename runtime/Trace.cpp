#include "runtime/Trace.h"

#include <dlfcn.h>
#include <pthread.h>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/Paths.h"
#include "runtime/Sync.h"

int CommandLogFile = -1;

namespace {

long g_debugLevel = 0;

CCriticalSection& LogLock() {
  static CCriticalSection lock;
  return lock;
}

// Trace messages are formatted into one shared buffer, under the log lock.
// It is never filled beforehand: its pages are touched only as far as a
// message reaches, so a run that traces little pays for little of it.
constexpr size_t kMessageBufferSize = 2 * 1024 * 1024;

char* MessageBuffer() {
  static char buffer[kMessageBufferSize];
  return buffer;
}

const char* LevelWord(unsigned long mask) {
  if (mask & 0x01) return "INFORMATION";
  if (mask & 0x02) return "WARNING    ";
  if (mask & 0x04) return "DEBUG      ";
  if (mask & 0x10) return "DIAG_ERROR ";
  return "";
}

void AppendLine(const char* levelWord, const char* format, va_list args) {
  // The signal handlers trace too: keep them out while this thread holds the
  // lock and the shared buffer, or a handler could wait on its own thread.
  sigset_t all, kept;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &kept);
  LogLock().Lock(CMutex::kInfinite);
  char* message = MessageBuffer();
  vsnprintf(message, kMessageBufferSize, format, args);
  std::string line = "CIM Provider ";
  if (levelWord) {
    line += levelWord;
    line += ' ';
  }
  line += std::to_string(static_cast<unsigned long>(getpid()));
  line += ": ";
  line += message;
  line += "\r\n";
  if (FILE* f = fopen(TraceLogPath().c_str(), "a+")) {
    timeval now{};
    gettimeofday(&now, nullptr);
    fprintf(f, "%s %s", VelaTimer::FormatTimestamp(now).c_str(), line.c_str());
    fclose(f);
  }
  LogLock().Unlock();
  pthread_sigmask(SIG_SETMASK, &kept, nullptr);
}

}  // namespace

long ReadDebugLevel() {
  const char* value = std::getenv("KXFC_DEBUG_LEVEL");
  g_debugLevel = value ? std::strtol(value, nullptr, 10) : 0;
  return g_debugLevel;
}

long DebugLevel() { return g_debugLevel; }
void SetDebugLevel(long level) { g_debugLevel = level; }

void Trace(const char* format, ...) {
  if (g_debugLevel == 0 || !format || !*format) return;
  va_list args;
  va_start(args, format);
  AppendLine(nullptr, format, args);
  va_end(args);
}

void TraceLevel(unsigned long mask, const char* format, ...) {
  if ((static_cast<unsigned long>(g_debugLevel) & mask) == 0 || !format || !*format) return;
  va_list args;
  va_start(args, format);
  AppendLine(LevelWord(mask), format, args);
  va_end(args);
}

std::string TraceLogNameFor(const char* modulePath) {
  const char* slash = modulePath ? strrchr(modulePath, '/') : nullptr;
  if (!slash) return "/veduzudn";
  std::string name = slash;  // keeps the leading "/"
  if (size_t so = name.find(".so"); so != std::string::npos) name.erase(so);
  return name;
}

const std::string& TraceLogPath() {
  static const std::string path = [] {
    Dl_info info{};
    const char* module = nullptr;
    if (dladdr(reinterpret_cast<void*>(&TraceLogNameFor), &info) != 0) module = info.dli_fname;
    return kxpaths::Resolve(kxpaths::kVarTmp) + TraceLogNameFor(module) + ".log";
  }();
  return path;
}

void CommandLogWrite(const char* text, size_t length) {
  if (CommandLogFile < 0 || length == 0) return;
  if (write(CommandLogFile, text, length) < 0) {
    // The command log is a copy for the user; a failed write changes nothing else.
  }
}

void ConsolePrint(int level, const char* format, ...) {
  va_list args;
  if (level != 65535) {
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
  }
  char buffer[4096] = {};
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  CommandLogWrite(buffer, strlen(buffer));
}

FunctionTimer::FunctionTimer(const char* name) : name_(name) {
  timer_.Start();
  Trace("STARTING %s", name_);
}

FunctionTimer::~FunctionTimer() {
  timer_.Stop();
  if (DebugLevel() == 0) return;  // no line will be written: no elapsed text either
  if (timer_.ElapsedMilliseconds() >= 300)
    Trace("RETURNING %s ... elapsed %s", name_, timer_.ElapsedText().c_str());
  else
    Trace("RETURNING %s", name_);
}
