// Stopwatch behind the constructor and destructor timing trace.
#pragma once

#include <sys/time.h>

#include <cstdint>
#include <string>

class VelaTimer {
 public:
  void Start();
  void Stop();
  uint64_t ElapsedMilliseconds() const;
  // "HH:MM:SS.mmm" under one day, "D days HH:MM:SS.mmm" from one day on.
  const std::string& ElapsedText();

  static std::string FormatDuration(uint64_t milliseconds);
  // Local time as "month/day/year HH:MM:SS.mmm".
  static std::string FormatTimestamp(const timeval& tv);

  // The local-time texts of the start and the stop, formatted when first
  // asked for: a timer nobody reads never pays for local time.
  const std::string& StartText() const;
  const std::string& StopText() const;

 private:
  timeval mStartTime{};
  timeval mStopTime{};  // zero while running
  mutable std::string mstrTimeStart;
  mutable std::string mstrTimeStop;
  std::string mstrTimeElapsed;
};
