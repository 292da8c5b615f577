// Trace log, debug level and console output.
//
// Trace lines go to "/var/tmp<program>.log" when the debug level allows; the
// file is opened and closed per line so several processes may append to it.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/VelaTimer.h"

#define KX_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))

// Masks of the levelled trace.
inline constexpr unsigned long kTraceInfo = 0x01;   // Entered / Exiting / progress
inline constexpr unsigned long kTraceError = 0x04;  // failures
inline constexpr unsigned long kTraceSfp = 0x08;    // transceiver decoding detail

// Reads "KXFC_DEBUG_LEVEL" (decimal; absent means 0) into the process debug level.
long ReadDebugLevel();
long DebugLevel();
void SetDebugLevel(long level);

// Plain trace: written when the debug level is non-zero.
void Trace(const char* format, ...) KX_PRINTF(1, 2);
// Levelled trace: written when the debug level has a bit of the mask.
void TraceLevel(unsigned long mask, const char* format, ...) KX_PRINTF(2, 3);

// The trace log's path, computed once from the program file's name.
const std::string& TraceLogPath();
// The file part of the trace log name for a module path (exposed for tests).
std::string TraceLogNameFor(const char* modulePath);

// Prints to standard output (unless level is 65535) and copies the text to the
// command log opened by "log".
void ConsolePrint(int level, const char* format, ...) KX_PRINTF(2, 3);

// Descriptor of the command log opened by the "log" command; -1 when none.
extern int CommandLogFile;
// Writes raw bytes to the command log when one is open.
void CommandLogWrite(const char* text, size_t length);

// Traces "STARTING <name>" now and "RETURNING <name>" (with the elapsed time
// from 300 ms on) when it goes out of scope.
class FunctionTimer {
 public:
  explicit FunctionTimer(const char* name);
  ~FunctionTimer();
  FunctionTimer(const FunctionTimer&) = delete;
  FunctionTimer& operator=(const FunctionTimer&) = delete;

 private:
  const char* name_;
  VelaTimer timer_;
};
