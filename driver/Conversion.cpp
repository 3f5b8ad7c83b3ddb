#include "driver/Conversion.h"

#include <utility>

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
    : Messages(consoleStream, errorStream), clock(std::move(runClock)) {}

StageContext Conversion::Stages() {
  return StageContext{*sources.image(), pof.device, options, outcome, *this};
}

JedecJob Conversion::Jedec() {
  const std::tm now = clock.localTime ? clock.localTime() : Clock::System().localTime();
  return JedecJob{options, pof.device, sources, outcome.securitySet, now, *this};
}

}  // namespace fusecvt
