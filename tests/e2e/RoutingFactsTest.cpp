// UIM routing facts of single signals, end to end: a design whose one product
// term reads one PIA row, converted by the built program; the UIM line the
// signal must reach and the extra fuses some signals set are stated from the
// target's routing rules.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/DesignRun.h"

namespace fusecvt::test {
namespace {

// A plain 7128 pick is a 4-bit code, most significant bit first.
void Pick4(SourceImage& s, int lab, int row, int pick) {
  for (int i = 0; i < 4; ++i) s.pia.at(lab, row, i) = (pick >> (3 - i)) & 1 ? '1' : '0';
}

// Plain 7128, LAB A or E: one PIA row with one pick, read (true column) by PT
// 1 of the LAB's first macrocell or by no term. The fuses that must then be
// '0' in UIM lines of that block:
// the signal's choice on the line it is routed to, and the extra fuse that
// some signals set on another line. Row 5 pick 10 is the pin of MC 64
// (line 38, whose choice 3 is that pin; extra fuse 23 of line 24); row 32
// pick 10 the pin of MC 65 (line 39 choice 3; extra fuse 3 of line 25); the
// "none" pick 12 of rows 6 and 33 sets fuse 9 of line 22 and fuse 26 of line
// 23; row 5 pick 4 (feedback of MC 53) takes the row's primary line 24 at
// choice 3. Fuse 12 of lines 36 and 37 is always set.
TEST(RoutingFacts, Plain7128SpecialRows) {
  struct Row {
    int row, pick;
    bool read;
    std::vector<std::pair<int, int>> zeros;  // (line, fuse)
  };
  const Row rows[] = {
      {5, 10, true, {{38, 3}, {24, 23}, {36, 12}, {37, 12}}},
      {32, 10, true, {{39, 3}, {25, 3}, {36, 12}, {37, 12}}},
      {6, 12, false, {{22, 9}, {36, 12}, {37, 12}}},
      {33, 12, false, {{23, 26}, {36, 12}, {37, 12}}},
      {5, 4, true, {{24, 3}, {36, 12}, {37, 12}}},
  };
  for (const int lab : {0, 4}) {
    for (const Row& row : rows) {
      SCOPED_TRACE("LAB " + std::to_string(lab) + " row " + std::to_string(row.row) + " pick " +
                   std::to_string(row.pick));
      const Converted c = ConvertDesign("EPM7128LC84-15", [&row, lab](SourceImage& s) {
        for (int m = 0; m < 128; ++m) s.mcConfig.at(m, 7) = '0';
        s.mcConfig.at(16 * lab, 0) = '0';  // S9 '0': PT 1 in use
        if (row.read) s.logicArray.at(16 * lab, 0, 2 * row.row) = '0';
        Pick4(s, lab, row.row, row.pick);
      }, {"-jtag", "off"});
      ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
      for (const auto& [line, fuse] : row.zeros) {
        const std::string uim = c.jedec.Uim(lab, line);
        ASSERT_EQ(uim.size(), 27u) << "line " << line;
        EXPECT_EQ(uim[static_cast<std::size_t>(fuse)], '0') << "line " << line << ": " << uim;
      }
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
