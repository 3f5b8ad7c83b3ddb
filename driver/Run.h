#pragma once
// One conversion from the command line to the JEDEC file and the report.

#include <ctime>
#include <string>
#include <vector>

#include "driver/Conversion.h"

namespace fusecvt {

class TargetDevice;

// args[0] is the program path as started. Returns the process exit status.
// --help or --version among the arguments answers first, with status 0.
int RunConversion(std::vector<std::string> args, Conversion& run);

// The run after the POF was read (loadResult: 0 read to its end, 1 stopped
// early): option defaults, device word, file names, the report and its
// header, the target choice and FinishConversion. `startSeconds` is the clock
// reading taken before the read. A report that cannot be opened, or written
// and closed whole, is named on run.error and ends the run with status 1.
// RunConversion ends with this call; it is also the entry for runs whose
// source image was installed directly.
int ConvertLoadedPof(Conversion& run, int loadResult, std::time_t startSeconds);

// The run once a target exists: the six stages in order, the security step
// (left out when `plainQpl6000`), the JEDEC file, the closing lines and the
// settings summary. Writes to run.console and run.report().
int FinishConversion(Conversion& run, TargetDevice& target, bool plainQpl6000, int loadResult,
                     std::time_t startSeconds);

}  // namespace fusecvt
