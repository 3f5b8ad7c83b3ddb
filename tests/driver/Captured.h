#pragma once
// A run context whose console, error and report channels are captured.

#include <sstream>
#include <string>
#include <vector>

#include "driver/Conversion.h"
#include "support/RunHarness.h"

namespace fusecvt::test {

struct Captured {
  std::ostringstream out;
  std::ostringstream err;
  std::ostringstream report;
  Conversion run{out, err, Clock::Fixed(TestTime())};

  Captured() { run.SetReport(&report); }
};

}  // namespace fusecvt::test
