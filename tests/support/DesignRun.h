#pragma once
// One conversion of a design by the built program: the design is an erased
// POF of `device` edited by a function, converted in a scratch folder as
// `fusecvt [options] design.pof`; the result holds the run, the JEDEC file's
// facts and the report.

#include <functional>
#include <string>
#include <vector>

#include "support/JedecFacts.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"

namespace fusecvt::test {

using DesignEdit = std::function<void(SourceImage&)>;

struct Converted {
  RunResult run;
  JedecFacts jedec;
  std::string report;
};

Converted ConvertDesign(const std::string& device, const DesignEdit& edit, std::vector<std::string> options = {});

}  // namespace fusecvt::test
