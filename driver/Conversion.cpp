#include "driver/Conversion.h"

namespace fusecvt {

namespace {

// The local calendar time of t, through the platform's thread-safe call.
std::tm LocalCalendarTime(std::time_t t) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return tm;
}

}  // namespace

Clock Clock::System() {
  Clock c;
  c.seconds = [] { return std::time(nullptr); };
  c.localTime = [] { return LocalCalendarTime(std::time(nullptr)); };
  return c;
}

Clock Clock::Fixed(const std::tm& localTime, std::time_t seconds) {
  Clock c;
  c.seconds = [seconds] { return seconds; };
  c.localTime = [localTime] { return localTime; };
  return c;
}

Conversion::Conversion(std::ostream& consoleStream, std::ostream& errorStream, Clock runClock)
    : console(consoleStream), error(errorStream), clock(std::move(runClock)) {}

}  // namespace fusecvt
