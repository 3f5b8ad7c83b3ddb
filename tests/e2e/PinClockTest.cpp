// The pin-clock conversion of a plain 7032 converted to the QPL6032ES with
// -pinclk, end to end: a product term 4 whose one input is GCLK1 true (row 27,
// pick 1: flat code "01") becomes a clock from the first global clock line
// (S7 = S19 = '1', S5 = S12 = '0', the term cleared) when S3 is not '1' and S5
// is not '0'. The output-enable code of the macrocell (and so S0..S2) plays no
// part.
#include <gtest/gtest.h>

#include <string>

#include "support/DesignRun.h"

namespace fusecvt::test {
namespace {

TEST(PinClock, Plain7032TermFourBecomesAPinClock) {
  const struct {
    const char* oe;  // MC 1's output-enable code
    char s5;         // mc[5]
    bool converted;
  } rows[] = {{"00", '1', true}, {"11", '1', true}, {"10", '1', true}, {"11", '0', false}, {"00", '0', false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("oe ") + row.oe + ", S5 " + row.s5);
    const Converted c = ConvertDesign("EPM7032LC44-15", [&row](SourceImage& s) {
      for (int m = 0; m < 32; ++m) s.mcConfig.at(m, 7) = '0';
      s.mcConfig.at(0, 10) = '0';  // S3 '0'
      s.mcConfig.at(0, 5) = row.s5;
      s.outputEnable.at(0, 0) = row.oe[0];
      s.outputEnable.at(0, 1) = row.oe[1];
      s.logicArray.at(0, 3, 54) = '0';  // PT 4 reads row 27 true: GCLK1 with code "01"
      s.pia.at(0, 27, 0) = '0';
      s.pia.at(0, 27, 1) = '1';
    }, {"-device", "6032es", "-pinclk"});
    ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
    EXPECT_EQ(c.run.out.find("**** There are PT-Clock converted to Pin Clock ****\n") != std::string::npos,
              row.converted)
        << c.run.out;
    const std::string s = c.jedec.S(1);
    EXPECT_EQ(std::string() + s[5] + s[7] + s[12] + s[19], row.converted ? "0101" : std::string() + row.s5 + "111")
        << s;
    EXPECT_EQ(c.jedec.PtWritten(1, 4), !row.converted);
  }
}

}  // namespace
}  // namespace fusecvt::test
