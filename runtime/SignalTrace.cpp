#include "runtime/SignalTrace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "runtime/Trace.h"

namespace {

char g_path[512];
long g_utcOffset = 0;  // seconds east of UTC at start-up

// A small writer into a fixed buffer; it drops what does not fit.
struct Line {
  char text[1024];
  size_t length = 0;

  void Add(const char* s) {
    while (*s && length < sizeof text) text[length++] = *s++;
  }
  void Number(unsigned long value, int width = 0) {
    char digits[24];
    int n = 0;
    do {
      digits[n++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (n < width) digits[n++] = '0';
    while (n > 0 && length < sizeof text) text[length++] = digits[--n];
  }
};

// Civil date of a day count since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(long days, long& year, unsigned& month, unsigned& day) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<long>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

void PrepareSignalTrace() {
  const std::string& path = TraceLogPath();
  const size_t n = path.size() < sizeof g_path - 1 ? path.size() : sizeof g_path - 1;
  memcpy(g_path, path.data(), n);
  g_path[n] = '\0';
  const time_t now = time(nullptr);
  tm local{};
  if (localtime_r(&now, &local)) g_utcOffset = local.tm_gmtoff;
}

void SignalTrace(const char* message) {
  if (DebugLevel() == 0 || g_path[0] == '\0') return;
  const int savedErrno = errno;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const long seconds = static_cast<long>(now.tv_sec) + g_utcOffset;
  long days = seconds / 86400;
  long inDay = seconds % 86400;
  if (inDay < 0) {
    inDay += 86400;
    --days;
  }
  long year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);

  // "%d/%d/%d %02d:%02d:%02d.%03d", a blank, then the plain trace line.
  Line line;
  line.Number(month);
  line.Add("/");
  line.Number(day);
  line.Add("/");
  line.Number(static_cast<unsigned long>(year));
  line.Add(" ");
  line.Number(static_cast<unsigned long>(inDay / 3600), 2);
  line.Add(":");
  line.Number(static_cast<unsigned long>(inDay / 60 % 60), 2);
  line.Add(":");
  line.Number(static_cast<unsigned long>(inDay % 60), 2);
  line.Add(".");
  line.Number(static_cast<unsigned long>(now.tv_nsec / 1000000), 3);
  line.Add(" CIM Provider ");
  line.Number(static_cast<unsigned long>(getpid()));
  line.Add(": ");
  line.Add(message);
  line.Add("\r\n");

  const int fd = open(g_path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) {
    if (write(fd, line.text, line.length) < 0) {
      // Nothing to do: a lost trace line changes nothing else.
    }
    close(fd);
  }
  errno = savedErrno;
}
