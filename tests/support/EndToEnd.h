#pragma once
// Pieces shared by the end-to-end tests: the program's banner and the report
// and console texts that every conversion writes, put together from their
// fixed wording, and the checks every written JEDEC file must pass.

#include <string>

#include "driver/Version.h"
#include "support/ExpectedJedec.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

// Maker, program name, version text (with its own blanks) and build date;
// then the rights notice and an empty line.
inline std::string Banner(const std::string& programName = "fusecvt") {
  return std::string(kMakerName) + " " + programName + " " + kReleaseVersionText + kBuildDate + "\n" + kRightsNotice + "\n\n";
}
// The conversion line: the target name, package and pin count run together.
inline std::string ConversionLine(const std::string& source, const std::string& targetPackagePins) {
  return "  " + source + " --> " + targetPackagePins + "\n";
}
// The file names as the console and as the report show them, with the empty line after them.
inline std::string ConsoleFileNames(const std::string& in, const std::string& out, const std::string& report) {
  return "Input file      \t: " + in + "\nOutput file     \t: " + out + "\nConversion Report file\t: " + report + "\n\n";
}
inline std::string ReportFileNames(const std::string& in, const std::string& out, const std::string& report) {
  return "Input file                : " + in + "\nOutput file               : " + out +
         "\nConversion Report file    : " + report + "\n\n";
}
// The warning for targets that might be low-voltage parts.
inline std::string LowVoltageWarning() {
  return "WARNING:  If conversion is for a low voltage device,\n   please use the -power_reset option.\n\n";
}
// The elapsed time of an in-process run.
inline std::string TimingLine(const std::string& programName = "fusecvt") {
  return programName + " processed 0 seconds\n";
}
inline std::string StarLine(int n) { return std::string(static_cast<std::size_t>(n), '*') + "\n"; }
// The refusal of a power-down pin (pd "PD1" or "PD2") that the design uses:
// 67 stars on the console, 68 in the report.
inline std::string PowerDownRefusal(const std::string& pd, const std::string& pin, bool console) {
  const int n = console ? 67 : 68;
  return StarLine(n) + "-" + pd + ": Error! Pin " + pin + " for " + pd + " is used in your logic function.\n" +
         "             " + pd + " option cannot be enabled.\n" + StarLine(n);
}

// The notice for a target word given with a file to convert: it names the
// family word that matched.
inline std::string TargetWordNotice(const std::string& word) {
  return "NOTE : You should not use " + word + " option here when converting a file.\n       Ignore " + word +
         " option.\n\n";
}
// The refusal of a QPL6000 device word for a 7032S source.
inline constexpr char k7032SRefusal[] = "ERROR:  Invalid Device type specified. Target\n    device for 7032S is 6032ES\n\n";

inline constexpr char kPtClockLine[] = "**** There are PT-Clock converted to Pin Clock ****\n";
inline constexpr char kCompleted[] = "Conversion is completed\n";

// The settings summary of the QPL6032ES/6064ES/6128ES family: an empty line,
// the heading (none when empty), then one line per option with these value
// texts. Defaults: those of a 7032S source converted without options.
struct BlockSummary {
  std::string heading = "Options :  (6032 only)";
  std::string powerdown = "OFF", security = "AUTO", slew = "AUTO", pinClk = "OFF", raceCoverage = "ON";
  std::string pinKeeper = "OFF", mcLowPower = "AUTO", powerReset = "ALWAYS", itd1 = "ON", itd2 = "ON", itd3 = "ON";
  std::string openCollector = "AUTO", jtag = "AUTO", tdiPullup = "OFF", tmsPullup = "OFF";
  std::string Text() const;
};

// The settings summary of the QPL6000 family. Defaults: a plain 7032 source
// converted to the QPL6000E without options. An empty pinKeeper leaves the
// Pin Keeper line out (the plain QPL6000 and other device words).
struct Qpl6000Summary {
  std::string heading = "Options :  (6000E only)";
  std::string powerdown = "OFF", security = "AUTO", slew = "FAST", pinClk = "OFF", raceCoverage = "ON", pinKeeper = "OFF";
  std::string Text() const;
};

// The JEDEC file at `path` parses with the test reader with no errors, holds
// `fuseCount` fuses and a matching checksum, and (when fuseCount fits)
// jedutil accepts it; a missing jedutil fails only when it is required.
void ExpectSoundJedec(const std::string& path, long fuseCount);

}  // namespace fusecvt::test

// Byte-for-byte comparison that reports only where the texts part.
#define EXPECT_SAME_TEXT(expected, actual) \
  EXPECT_TRUE((expected) == (actual)) << ::fusecvt::test::FirstDifference(expected, actual)
