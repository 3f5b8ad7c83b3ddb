// Which product terms a macrocell uses when its array has no connection, end
// to end: the macrocell's configuration bits alone decide, by the rule of the
// block targets (S bits of the target, taken from the source macrocell bits
// mc[] and the I/O bit io[4] of the S-family sources):
//   PT 1: S9 '0', or S9, S6, S11 '1' and S10 '0'
//   PT 2: S13 '0' and (S3 '0' or S4 '1'), or S13 '1' and (S6 '1' or S10 '0' and S11 '1')
//   PT 3: S16 '0'
//   PT 4: S12 '0', or S5 and S3 '0'
// A term in use is written to the JEDEC file (all '1'), one not in use is
// cleared and left out; S21 is '0' when any term is in use, and a macrocell
// with none has its always-on output select ("111") cleared to "000".
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/DesignRun.h"

namespace fusecvt::test {
namespace {

// Source bits: mc[0] S9, mc[1] S13, mc[2] S16, mc[3] S12, mc[4] S14, mc[5] S5,
// mc[7] S6, mc[8] S10, mc[9] S11, mc[10] S3; io[4] S4.
struct Row {
  std::vector<std::pair<int, char>> mc;  // changes to the erased bits (mc[7] starts at '0')
  char io4;                               // S4
  std::string terms;                      // PT numbers written, e.g. "12"
  char s21;
  const char* why;
};

const Row kRows[] = {
    {{}, '1', "", '1', "S9 S13 S16 S12 '1', S6 '0', S10 '1': nothing routed"},
    {{{0, '0'}}, '1', "1", '0', "S9 '0'"},
    {{{7, '1'}, {8, '0'}}, '1', "12", '0', "S6 '1' S10 '0' S11 '1': PT 1; S13 '1' with S6 '1': PT 2"},
    {{{7, '1'}}, '1', "2", '0', "S13 '1' with S6 '1'; PT 1 needs S10 '0'"},
    {{{8, '0'}}, '1', "2", '0', "S13 '1', S6 '0', S10 '0', S11 '1'"},
    {{{8, '0'}, {9, '0'}}, '1', "", '1', "S13 '1', S6 '0', S10 '0' but S11 '0'"},
    {{{1, '0'}, {10, '0'}}, '1', "2", '0', "S13 '0' with S3 '0' (S14 '1')"},
    {{{4, '0'}, {10, '0'}}, '1', "", '1', "S14 '0' and S3 '0' but S13 '1', S6 '0', S10 '1'"},
    {{{1, '0'}}, '0', "", '1', "S13 '0', S3 '1', S4 '0'"},
    {{{1, '0'}}, '1', "2", '0', "S13 '0', S4 '1'"},
    {{{1, '0'}, {7, '1'}}, '0', "", '1', "S13 '0', S3 '1', S4 '0': S6 '1' does not count (S14 '1')"},
    {{{2, '0'}}, '1', "3", '0', "S16 '0'"},
    {{{3, '0'}}, '1', "4", '0', "S12 '0'"},
    {{{3, '0'}, {5, '0'}}, '1', "4", '0', "S12 '0', S5 '0'"},
    // S21 is settled before the clock-term clean-up turns S12 to '0' and clears PT 4.
    {{{5, '0'}}, '1', "", '1', "S5 '0', S12 '1', S3 '1': PT 4 is a clock term without connections"},
    {{{5, '0'}, {10, '0'}}, '1', "", '0', "S12 '1' with S5 and S3 '0': PT 4 in use, then cleared"},
};

TEST(TermUse, ConfigurationBitsAloneDecideWhichTermsAreInUse) {
  for (const char* device : {"EPM7032SLC44-10", "EPM7064SLC44-10"}) {
    for (const Row& row : kRows) {
      SCOPED_TRACE(std::string(device) + ": " + row.why);
      const Converted c(device, [&row](SourceImage& s) {
        for (int m = 0; m < s.macrocells(); ++m) s.mcConfig.at(m, 7) = '0';
        for (const auto& [i, bit] : row.mc) s.mcConfig.at(4, i) = bit;
        s.ioConfig.at(4, 4) = row.io4;
        s.mcConfig.at(20, 2) = '0';  // MC 21 uses PT 3: never a blank part
      }, {"-jtag", "off"});
      ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
      std::string written;
      for (int pt = 1; pt <= 5; ++pt) {
        if (c.jedec.PtWritten(5, pt)) written += std::to_string(pt);
      }
      EXPECT_EQ(written, row.terms);
      const std::string s = c.jedec.S(5);
      EXPECT_EQ(s[21], row.s21) << s;
      EXPECT_EQ(s.substr(0, 3), row.s21 == '0' ? "111" : "000") << s;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
