#include "driver/Conversion.h"

#include "driver/Version.h"

#include <limits>
#include <utility>

namespace fusecvt {

namespace {

// The calendar time of t, local or UTC, through the platform's thread-safe
// calls; false when t lies beyond the calendar.
bool CalendarTime(std::time_t t, bool utc, std::tm& tm) {
#ifdef _WIN32
  return (utc ? gmtime_s(&tm, &t) : localtime_s(&tm, &t)) == 0;
#else
  return (utc ? gmtime_r(&t, &tm) : localtime_r(&t, &tm)) != nullptr;
#endif
}

}  // namespace

std::optional<std::time_t> ParseSourceDateEpoch(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  const std::time_t most = std::numeric_limits<std::time_t>::max();
  std::time_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    const int digit = *c - '0';
    if (value > (most - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  std::tm check{};
  if (!CalendarTime(value, true, check)) return std::nullopt;  // beyond the calendar
  return value;
}

Clock Clock::System(const char* sourceDateEpoch) {
  Clock c;
  c.seconds = [] { return std::time(nullptr); };
  if (const std::optional<std::time_t> fixed = ParseSourceDateEpoch(sourceDateEpoch)) {
    const std::time_t at = *fixed;
    c.localTime = [at] {
      std::tm tm{};
      CalendarTime(at, true, tm);
      return tm;
    };
    return c;
  }
  c.localTime = [] {
    std::tm tm{};
    CalendarTime(std::time(nullptr), false, tm);
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

Conversion::Conversion(TextOut& consoleOut, TextOut& errorOut, Clock runClock)
    : Messages(consoleOut, errorOut), clock(std::move(runClock)) {}

Conversion::Conversion(std::ostream& consoleStream, std::ostream& errorStream, Clock runClock)
    : Messages(consoleStream, errorStream), clock(std::move(runClock)) {}

StageContext Conversion::Stages() {
  return StageContext{*sources.image(), pof.device, options, outcome, *this};
}

JedecJob Conversion::Jedec() {
  const std::tm now = clock.localTime ? clock.localTime() : Clock::System().localTime();
  return JedecJob{options, pof.device, sources, outcome.securitySet, now, kVersionText, *this};
}

}  // namespace fusecvt
