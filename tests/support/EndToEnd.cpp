#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include "driver/Version.h"
#include "support/JedecReader.h"

namespace fusecvt::test {

std::string Banner(const std::string& programName) {
  // Maker, program name, version text (with its own blanks) and build date;
  // then the rights notice and an empty line.
  return std::string(kMakerName) + " " + programName + " " + kVersionText + kBuildDate + "\n" +
         kRightsNotice + "\n\n";
}

std::string ConversionLine(const std::string& source, const std::string& targetPackagePins) {
  return "  " + source + " --> " + targetPackagePins + "\n";
}

std::string ConsoleFileNames(const std::string& in, const std::string& out, const std::string& report) {
  return "Input file      \t: " + in + "\nOutput file     \t: " + out +
         "\nConversion Report file\t: " + report + "\n\n";
}

std::string ReportFileNames(const std::string& in, const std::string& out, const std::string& report) {
  return "Input file                : " + in + "\nOutput file               : " + out +
         "\nConversion Report file    : " + report + "\n\n";
}

std::string LowVoltageWarning() {
  return "WARNING:  If conversion is for a low voltage device,\n"
         "   please use the -power_reset option.\n\n";
}

std::string TimingLine(const std::string& programName) { return programName + " processed 0 seconds\n"; }

std::string StarLine(int n) { return std::string(static_cast<std::size_t>(n), '*') + "\n"; }

std::string BlockSummary::Text() const {
  std::string s = "\n";
  if (!heading.empty()) s += heading + "\n";
  s += "   Powerdown :\t\t" + powerdown + "\n";
  s += "   Security Bit :\t" + security + "\n";
  s += "   Slew Rate :\t\t" + slew + "\n";
  s += "   PinClk :\t\t" + pinClk + "\n";
  s += "   Race Coverage :\t" + raceCoverage + "\n";
  s += "   Pin Keeper :\t\t" + pinKeeper + "\n";
  s += "   Macrocell Low Power:\t" + mcLowPower + "\n";
  s += "   Power Reset :\t" + powerReset + "\n";
  s += "   ITD on GCLK1 :\t" + itd1 + "\n";
  s += "   ITD on GCLK2 :\t" + itd2 + "\n";
  s += "   ITD on GCLK3 :\t" + itd3 + "\n";
  s += "   Open Collector :\t" + openCollector + "\n";
  s += "   JTAG mode :\t\t" + jtag + "\n";
  s += "   TDI Pullup :\t\t" + tdiPullup + "\n";
  s += "   TMS Pullup :\t\t" + tmsPullup + "\n";
  return s;
}

std::string Qpl6000Summary::Text() const {
  std::string s = "\n";
  if (!heading.empty()) s += heading + "\n";
  s += "   Powerdown :\t\t" + powerdown + "\n";
  s += "   Security Bit :\t" + security + "\n";
  s += "   Slew Rate :\t\t" + slew + "\n";
  s += "   PinClk :\t\t" + pinClk + "\n";
  s += "   Race Coverage :\t" + raceCoverage + "\n";
  if (!pinKeeper.empty()) s += "   Pin Keeper :\t\t" + pinKeeper + "\n";
  return s;
}

void ExpectSoundJedec(const std::string& path, long fuseCount) {
  const JedecReadResult r = ReadJedecFile(path);
  EXPECT_TRUE(r.ok()) << path << ":\n" << r.ErrorText();
  EXPECT_EQ(r.fuseCount, fuseCount) << path;
  EXPECT_TRUE(r.hasChecksum) << path;
  EXPECT_EQ(r.fileChecksum, r.computedChecksum) << path;
  if (fuseCount > kJedutilMaxFuses) return;
  if (JedutilAvailable()) {
    EXPECT_TRUE(JedutilAccepts(path));
  } else if (JedutilRequired()) {
    ADD_FAILURE() << "jedutil is not on PATH but FUSECVT_REQUIRE_JEDUTIL is set";
  }
}

}  // namespace fusecvt::test
