#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include "support/Jedutil.h"

namespace fusecvt::test {

namespace {

using Lines = std::vector<std::pair<const char*, const std::string*>>;

// The lines both families share.
template <typename Summary>
Lines Common(const Summary& s) {
  return {{"Powerdown :\t\t", &s.powerdown}, {"Security Bit :\t", &s.security}, {"Slew Rate :\t\t", &s.slew},
          {"PinClk :\t\t", &s.pinClk},       {"Race Coverage :\t", &s.raceCoverage}, {"Pin Keeper :\t\t", &s.pinKeeper}};
}

// An empty line, the heading (when not empty), then a line for each option
// whose value is not empty.
std::string SummaryText(const std::string& heading, const Lines& lines) {
  std::string s = "\n" + (heading.empty() ? "" : heading + "\n");
  for (const auto& [label, value] : lines) s += value->empty() ? "" : "   " + std::string(label) + *value + "\n";
  return s;
}

}  // namespace

std::string BlockSummary::Text() const {
  Lines lines = Common(*this);
  lines.insert(lines.end(), {{"Macrocell Low Power:\t", &mcLowPower}, {"Power Reset :\t", &powerReset},
                             {"ITD on GCLK1 :\t", &itd1}, {"ITD on GCLK2 :\t", &itd2}, {"ITD on GCLK3 :\t", &itd3},
                             {"Open Collector :\t", &openCollector}, {"JTAG mode :\t\t", &jtag},
                             {"TDI Pullup :\t\t", &tdiPullup}, {"TMS Pullup :\t\t", &tmsPullup}});
  return SummaryText(heading, lines);
}

std::string Qpl6000Summary::Text() const { return SummaryText(heading, Common(*this)); }

void ExpectSoundJedec(const std::string& path, long fuseCount) {
  const JedecReadResult r = ReadJedecFile(path);
  EXPECT_TRUE(r.ok()) << path << ":\n" << r.ErrorText();
  EXPECT_EQ(r.fuseCount, fuseCount) << path;
  EXPECT_TRUE(r.hasChecksum) << path;
  EXPECT_EQ(r.fileChecksum, r.computedChecksum) << path;
  // JedutilAccepts fails when jedutil is missing: that is, when it is required.
  if (fuseCount <= kJedutilMaxFuses && (JedutilAvailable() || JedutilRequired())) {
    EXPECT_TRUE(JedutilAccepts(path));
  }
}

}  // namespace fusecvt::test
