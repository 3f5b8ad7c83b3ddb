#include "driver/Conversion.h"

namespace fusecvt {

Clock Clock::System() {
  Clock c;
  c.seconds = [] { return std::time(nullptr); };
  c.localTime = [] {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
  };
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
