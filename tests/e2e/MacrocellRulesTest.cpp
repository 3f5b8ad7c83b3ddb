// Macrocell bits and product-term fuses end to end, on designs made with the
// POF builder, for rules a random design seldom reaches:
//  - which product terms a macrocell uses when its array has no connection:
//    the macrocell's configuration bits alone decide (below);
//  - S18 is the source macrocell bit mc[10] (as S3 is), for every source kind;
//  - a source term with all 88 columns connected becomes a target term with
//    all 96 fuses '0'; any other term is copied column by column.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/DesignRun.h"

namespace fusecvt::test {
namespace {

// The product terms in use, by the rule of the block targets (S bits of the
// target, taken from the source macrocell bits mc[] and the I/O bit io[4] of
// the S-family sources):
//   PT 1: S9 '0', or S9, S6, S11 '1' and S10 '0'
//   PT 2: S13 '0' and (S3 '0' or S4 '1'), or S13 '1' and (S6 '1' or S10 '0' and S11 '1')
//   PT 3: S16 '0'
//   PT 4: S12 '0', or S5 and S3 '0'
// A term in use is written to the JEDEC file (all '1'), one not in use is
// cleared and left out; S21 is '0' when any term is in use, and a macrocell
// with none has its always-on output select ("111") cleared to "000".
// Source bits: mc[0] S9, mc[1] S13, mc[2] S16, mc[3] S12, mc[4] S14, mc[5] S5,
// mc[7] S6, mc[8] S10, mc[9] S11, mc[10] S3; io[4] S4.
struct TermUseRow {
  std::vector<std::pair<int, char>> mc;  // changes to the erased bits (mc[7] starts at '0')
  char io4;                               // S4
  std::string terms;                      // PT numbers written, e.g. "12"
  char s21;
  const char* why;
};

const TermUseRow kTermUseRows[] = {
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
    for (const TermUseRow& row : kTermUseRows) {
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

// S3 and S18 both come from mc[10]; mc[1] is S13 (plain, S, AE and 3000A
// sources; the plain 7032 to the QPL6032 too).
struct BitTenRow {
  char mc10, mc1;
  const char* why;
};

const BitTenRow kBitTenRows[] = {
    {'0', '1', "mc[10] '0', mc[1] '1'"},
    {'1', '0', "mc[10] '1', mc[1] '0'"},
    {'0', '0', "both '0'"},
    {'1', '1', "both '1'"},
};

TEST(FixUp, S18IsMacrocellBitTen) {
  for (const std::string device : {"EPM7064LC84-15", "EPM7064LC68-15", "EPM7128LC84-15", "EPM7032SLC44-10",
                                   "EPM7032AETC44-10", "EPM7064AETC44-10", "EPM7128AETC100-10", "EPM7032LC44-15",
                                   "EPM3032ALC44-10", "EPM3064ATC44-10"}) {
    for (const BitTenRow& row : kBitTenRows) {
      SCOPED_TRACE(device + ": " + row.why);
      const Converted c(device, [&row](SourceImage& s) {
        s.mcConfig.at(4, 10) = row.mc10;
        s.mcConfig.at(4, 1) = row.mc1;
        s.mcConfig.at(20, 2) = '0';  // MC 21 uses PT 3: never a blank part
      }, device == "EPM7032LC44-15" ? std::vector<std::string>{"-device", "6032es"} : std::vector<std::string>{});
      ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
      const std::string s = c.jedec.S(5);
      ASSERT_EQ(s.size(), 24U);
      EXPECT_EQ(s[18], row.mc10) << s;
      EXPECT_EQ(s[3], row.mc10) << s;
      EXPECT_EQ(s[13], row.mc1) << s;
      EXPECT_EQ(s[12], '1') << s;  // mc[3], left erased
    }
  }
}

// PT 3 of MC 5 (S16 '0' keeps it in use) with the columns listed connected;
// the expected target term as foldback fuses and UIM-column fuses that are '0'.
// Source column 72 + e is foldback fuse e.
struct TermRow {
  std::vector<int> columns;  // {-1}: all 88
  std::vector<int> foldbackZeros;
  bool allZero;  // then the term is all '0' and left out of the file
  const char* why;
};

const TermRow kTermRows[] = {
    {{}, {}, false, "no column connected"},
    {{76}, {4}, false, "one expander column"},
    {{72, 80, 87}, {0, 8, 15}, false, "three expander columns"},
    {{-1}, {}, true, "every column connected"},
};

TEST(FixUp, OnlyAFullyConnectedTermBecomesAllZero) {
  for (const char* device : {"EPM7032SLC44-10", "EPM7064SLC44-10", "EPM7128SLC84-15"}) {
    for (const TermRow& row : kTermRows) {
      SCOPED_TRACE(std::string(device) + ": " + row.why);
      const Converted c(device, [&row](SourceImage& s) {
        s.mcConfig.at(4, 2) = '0';
        for (int col : row.columns) {
          if (col >= 0) {
            s.logicArray.at(4, 2, col) = '0';
          } else {
            for (int all = 0; all < 88; ++all) s.logicArray.at(4, 2, all) = '0';
          }
        }
      }, {"-jtag", "off"});
      ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
      std::string expected(96, row.allZero ? '0' : '1');
      for (int e : row.foldbackZeros) expected[static_cast<std::size_t>(e)] = '0';
      EXPECT_EQ(c.jedec.Term(5, 3), expected);
      EXPECT_EQ(c.jedec.PtWritten(5, 3), !row.allZero);
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
