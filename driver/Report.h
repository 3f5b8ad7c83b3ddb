#pragma once
// The banner and the two writers of the conversion report: the header (which
// also settles the target name and the low-voltage power-reset rule) and the
// closing summary of the device options.

#include <string>

#include "driver/ConversionOptions.h"
#include "pof/DeviceCatalogue.h"
#include "pof/TextOut.h"

namespace fusecvt {

struct Conversion;

// The two banner lines and an empty line, flushed.
void WriteBanner(TextOut& out, const std::string& programName);

// The target name the report gives: the device word when one was given, else
// the source's catalogue row ("QPL6000e" where the row leaves it to the word).
std::string ReportTargetName(const DeviceRecord& device, const ConversionOptions& options);

// Completes the options from the target name: the device word becomes
// "QPL6000e" where the report names that target without -device, and a
// low-voltage ("ESL") target takes the large power-reset hysteresis unless
// -power_reset was given.
void ResolveTargetDefaults(const DeviceRecord& device, ConversionOptions& options);

// The conversion line and file names (console and report, in their own
// layouts) and the low-voltage warning.
void WriteReportHeader(Conversion& run);

// The options in force at the end of the run, into the report. The security
// warning of the plain QPL6000 goes to the console.
void WriteSettingsSummary(Conversion& run);

}  // namespace fusecvt
