// Trace lines written from a signal handler. The handler may interrupt the
// main line anywhere, also inside malloc or stdio or while it holds a lock,
// so the line is formatted on the stack and written with open, write and
// close only: no lock, no allocation, no stdio. PrepareSignalTrace computes
// beforehand what the line needs (the log path, the local time offset).
#pragma once

// Called once at start-up, before the handlers are installed.
void PrepareSignalTrace();

// The plain trace line of message, as Trace writes it; async-signal-safe.
void SignalTrace(const char* message);
