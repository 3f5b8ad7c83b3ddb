#pragma once
// One conversion from the command line to the JEDEC file and the report.

#include <iosfwd>
#include <string>
#include <vector>

#include "driver/Conversion.h"

namespace fusecvt {

// args[0] is the program path as started. Returns the process exit status.
int RunConversion(std::vector<std::string> args, Conversion& run);

}  // namespace fusecvt
