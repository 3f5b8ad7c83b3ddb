#pragma once
// Pieces shared by the end-to-end tests: the program's banner and the report
// and console texts that every conversion writes, put together from their
// fixed wording, and the checks every written JEDEC file must pass.

#include <string>
#include <vector>

#include "support/ExpectedJedec.h"

namespace fusecvt::test {

// The two banner lines and the empty line after them.
std::string Banner(const std::string& programName = "fusecvt");

// The conversion line: two blanks, the source name, " --> ", the target name,
// package and pin count run together.
std::string ConversionLine(const std::string& source, const std::string& targetPackagePins);

// The file names as the console shows them (with the empty line after them).
std::string ConsoleFileNames(const std::string& in, const std::string& out, const std::string& report);
// The file names as the report shows them (with the empty line after them).
std::string ReportFileNames(const std::string& in, const std::string& out, const std::string& report);

// The two-line warning for targets that might be low-voltage parts.
std::string LowVoltageWarning();

// "fusecvt processed 0 seconds" of an in-process run.
std::string TimingLine(const std::string& programName = "fusecvt");

inline constexpr char kPtClockLine[] = "**** There are PT-Clock converted to Pin Clock ****\n";
inline constexpr char kCompleted[] = "Conversion is completed\n";

// A line of n '*' and its line end.
std::string StarLine(int n);

// The settings summary of the QPL6032ES/6064ES/6128ES family: an empty line,
// the heading (none when empty), then one line per option with these value
// texts. Defaults: those of a 7032S source converted without options.
struct BlockSummary {
  std::string heading = "Options :  (6032 only)";
  std::string powerdown = "OFF";
  std::string security = "AUTO";
  std::string slew = "AUTO";
  std::string pinClk = "OFF";
  std::string raceCoverage = "ON";
  std::string pinKeeper = "OFF";
  std::string mcLowPower = "AUTO";
  std::string powerReset = "ALWAYS";
  std::string itd1 = "ON";
  std::string itd2 = "ON";
  std::string itd3 = "ON";
  std::string openCollector = "AUTO";
  std::string jtag = "AUTO";
  std::string tdiPullup = "OFF";
  std::string tmsPullup = "OFF";
  std::string Text() const;
};

// The settings summary of the QPL6000 family. Defaults: a plain 7032 source
// converted to the QPL6000E without options. An empty pinKeeper leaves the
// Pin Keeper line out (the plain QPL6000 and other device words).
struct Qpl6000Summary {
  std::string heading = "Options :  (6000E only)";
  std::string powerdown = "OFF";
  std::string security = "AUTO";
  std::string slew = "FAST";
  std::string pinClk = "OFF";
  std::string raceCoverage = "ON";
  std::string pinKeeper = "OFF";
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
