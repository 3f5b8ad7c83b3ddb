#pragma once
// Everything one conversion run reads and writes: the option record, what the
// POF reader filled, the run's outcome, the output channels and the clock. The
// driver owns one; tests build their own with captured streams and a fixed
// clock.

#include <ctime>
#include <functional>
#include <iosfwd>
#include <optional>

#include "driver/ConversionOptions.h"
#include "pof/Messages.h"
#include "pof/SourceData.h"
#include "translate/Outcome.h"
#include "translate/TargetDevice.h"

namespace fusecvt {

// A SOURCE_DATE_EPOCH text: a non-negative decimal integer that fits the
// clock's range gives that time; anything else gives nothing.
std::optional<std::time_t> ParseSourceDateEpoch(const char* text);

struct Clock {
  std::function<std::time_t()> seconds;  // whole seconds, for the elapsed-time line
  std::function<std::tm()> localTime;    // local calendar time, for JEDEC headers

  // The system's clock. A valid `sourceDateEpoch` text (the reproducible-build
  // convention) fixes the calendar time of JEDEC headers at that time in UTC.
  static Clock System(const char* sourceDateEpoch = nullptr);
  // Always answers the given calendar time, and `seconds` for the elapsed time.
  static Clock Fixed(const std::tm& localTime, std::time_t seconds = 0);
};

struct Conversion : SourceData, Messages {
  Conversion(TextOut& consoleOut, TextOut& errorOut, Clock runClock);
  Conversion(std::ostream& consoleStream, std::ostream& errorStream, Clock runClock);

  ConversionOptions options;
  Outcome outcome;
  Clock clock;

  // The stages' view of the run; needs the source image.
  StageContext Stages();
  // The writers' view of the run.
  JedecJob Jedec();
};

}  // namespace fusecvt
