// Macrocell bits and product-term fuses that depend on rules a random design
// seldom reaches, end to end on designs made with the POF builder:
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
