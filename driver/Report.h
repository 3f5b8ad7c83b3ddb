#pragma once
// The banner and the two writers of the conversion report: the header (which
// also settles the target name and the low-voltage power-reset rule) and the
// closing summary of the device options.

#include <iosfwd>
#include <string>

namespace fusecvt {

struct Conversion;

// The two banner lines and an empty line, flushed.
void WriteBanner(std::ostream& out, const std::string& programName);

// The conversion line and file names (console and report, in their own
// layouts) and the low-voltage rule. May set options.targetDeviceName (to
// "QPL6000e" for a plain 7032 without -device) and options.powerResetBit.
void WriteReportHeader(Conversion& run);

// The options in force at the end of the run, into the report. The security
// warning of the plain QPL6000 goes to the console.
void WriteSettingsSummary(Conversion& run);

}  // namespace fusecvt
