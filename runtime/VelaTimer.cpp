#include "runtime/VelaTimer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "runtime/Digits.h"

namespace {
bool IsSet(const timeval& tv) { return tv.tv_sec != 0 || tv.tv_usec != 0; }
}  // namespace

void VelaTimer::Start() {
  gettimeofday(&mStartTime, nullptr);
  mStopTime = timeval{};
  mstrTimeStart.clear();
  mstrTimeStop.clear();
}

void VelaTimer::Stop() {
  if (!IsSet(mStartTime) || IsSet(mStopTime)) return;
  gettimeofday(&mStopTime, nullptr);
}

const std::string& VelaTimer::StartText() const {
  if (mstrTimeStart.empty() && IsSet(mStartTime)) mstrTimeStart = FormatTimestamp(mStartTime);
  return mstrTimeStart;
}

const std::string& VelaTimer::StopText() const {
  if (mstrTimeStop.empty() && IsSet(mStopTime)) mstrTimeStop = FormatTimestamp(mStopTime);
  return mstrTimeStop;
}

uint64_t VelaTimer::ElapsedMilliseconds() const {
  if (mStartTime.tv_sec == 0 && mStartTime.tv_usec == 0) return 0;
  timeval end = mStopTime;
  if (end.tv_sec == 0 && end.tv_usec == 0) gettimeofday(&end, nullptr);
  const int64_t us = (static_cast<int64_t>(end.tv_sec) - mStartTime.tv_sec) * 1000000 +
                     (static_cast<int64_t>(end.tv_usec) - mStartTime.tv_usec);
  return us <= 0 ? 0 : static_cast<uint64_t>(us / 1000);
}

const std::string& VelaTimer::ElapsedText() {
  mstrTimeElapsed = FormatDuration(ElapsedMilliseconds());
  return mstrTimeElapsed;
}

std::string VelaTimer::FormatDuration(uint64_t ms) {
  const uint64_t msPerDay = 24ull * 3600 * 1000;
  const int days = static_cast<int>(ms / msPerDay);
  ms %= msPerDay;
  const int hours = static_cast<int>(ms / 3600000);
  const int minutes = static_cast<int>(ms / 60000 % 60);
  const int seconds = static_cast<int>(ms / 1000 % 60);
  const int millis = static_cast<int>(ms % 1000);
  char buf[64];
  if (days == 0)
    snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", hours, minutes, seconds, millis);
  else
    snprintf(buf, sizeof buf, "%d days %02d:%02d:%02d.%03d", days, hours, minutes, seconds, millis);
  return buf;
}

std::string VelaTimer::FormatTimestamp(const timeval& tv) {
  // Every trace line is stamped: the local time of a second is worked out
  // once, and the lines within that second only add their milliseconds.
  // Trivially destructible: a thread_local with a destructor needs a C
  // runtime hook that older hosts' C libraries lack.
  struct Second {
    bool known;
    time_t secs;
    unsigned char length;
    char text[40];  // "%d/%d/%d %02d:%02d:%02d"
  };
  thread_local Second last{};
  if (!last.known || last.secs != tv.tv_sec) {
    tm t{};
    const time_t secs = tv.tv_sec;
    localtime_r(&secs, &t);
    const struct {
      int value;
      int width;
      char after;
    } parts[] = {{t.tm_mon + 1, 0, '/'}, {t.tm_mday, 0, '/'}, {t.tm_year + 1900, 0, ' '},
                 {t.tm_hour, 2, ':'},    {t.tm_min, 2, ':'},  {t.tm_sec, 2, '\0'}};
    std::string text;
    for (const auto& part : parts) {
      char room[kxdigits::kRoom];
      char* end = room + sizeof room;
      text.append(kxdigits::SignedPadded(end, part.value, part.width), end);
      if (part.after) text += part.after;
    }
    last.length = static_cast<unsigned char>(std::min(text.size(), sizeof last.text));
    memcpy(last.text, text.data(), last.length);
    last.known = true;
    last.secs = tv.tv_sec;
  }
  char room[kxdigits::kRoom];
  char* end = room + sizeof room;
  char* millis = kxdigits::SignedPadded(end, static_cast<int>(tv.tv_usec / 1000), 3);
  *--millis = '.';
  std::string text(last.text, last.length);
  text.append(millis, end);
  return text;
}
