#pragma once
// Everything one conversion run reads and writes: the option record, the POF
// values, the source image set, the output channels and the clock. The driver
// owns one; tests build their own with captured streams and a fixed clock.

#include <ctime>
#include <functional>
#include <iosfwd>
#include <optional>
#include <ostream>

#include "driver/ConversionOptions.h"
#include "pof/PofValues.h"
#include "pof/SourceImage.h"

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

struct Conversion {
  Conversion(std::ostream& consoleStream, std::ostream& errorStream, Clock runClock);
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  ConversionOptions options;
  PofValues pof;
  SourceImageSet sources;

  std::ostream& console;  // standard output
  std::ostream& error;    // standard error
  Clock clock;

  // The report stream: a sink that discards everything until the driver (or a
  // test) points it at a real stream.
  std::ostream& report() { return report_ ? *report_ : nullSink_; }
  void SetReport(std::ostream* stream) { report_ = stream; }

 private:
  std::ostream* report_ = nullptr;
  std::ostream nullSink_{nullptr};
};

}  // namespace fusecvt
