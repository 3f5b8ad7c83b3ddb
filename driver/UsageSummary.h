#pragma once
// The general command-line conventions: --help prints a usage summary and
// --version the program's version; both end the run with status 0 before
// anything else is read or written.

#include <string>
#include <vector>

#include "pof/TextOut.h"

namespace fusecvt {

enum class InfoRequest { None, Help, Version };

// The first of args[1..] whose lower-cased copy is exactly "--help" or
// "--version" decides; None when there is neither.
InfoRequest FindInfoRequest(const std::vector<std::string>& args);

// The usage summary: every option word, the device words, the output names
// and the exit statuses.
void ShowUsageSummary(TextOut& console);
// "fusecvt <version>" on one line.
void ShowVersion(TextOut& console);

}  // namespace fusecvt
