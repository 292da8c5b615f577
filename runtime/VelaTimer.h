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

  const std::string& StartText() const { return mstrTimeStart; }
  const std::string& StopText() const { return mstrTimeStop; }

 private:
  timeval mStartTime{};
  timeval mStopTime{};  // zero while running
  std::string mstrTimeStart;
  std::string mstrTimeStop;
  std::string mstrTimeElapsed;
};
