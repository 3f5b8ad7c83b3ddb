// Consistency of the routing tables with each other: every PIA pick must find
// its signal on the UIM line it feeds at the choice the pick table names, and
// every OE PIA pick on its GOE at the fuse the OE table names. A slip in any
// table shows up here.

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <utility>

#include "qpl6000/Qpl6000Tables.h"
#include "translate/RoutingTables.h"

namespace fusecvt {
namespace {

template <std::size_t N>
int CountMatches(const Signal (&choices)[N], Signal s, int* last) {
  int count = 0;
  for (std::size_t j = 0; j < N; ++j) {
    if (choices[j] == s) {
      ++count;
      *last = static_cast<int>(j);
    }
  }
  return count;
}

TEST(Qpl6032Tables, PiaPicksSelectTheirBracketedUimChoice) {
  for (int r = 0; r < 36; ++r) {
    const int u = qpl6032::kPiaToUim[r];
    // Rows 0..8 feed lines 30..38, 9..17 lines 20..28, 18..26 lines 10..18, 27..35 lines 0..8.
    EXPECT_EQ(u, (3 - r / 9) * 10 + r % 9) << "row " << r;
    for (int p = 0; p < 4; ++p) {
      int j = -1;
      EXPECT_EQ(CountMatches(qpl6032::kUimChoice[u], qpl6032::kPiaSignal[r][p], &j), 1)
          << "row " << r << " pick " << p;
      EXPECT_EQ(j, qpl6032::kPiaChoice[r][p]) << "row " << r << " pick " << p;
    }
  }
  for (int u = 0; u < 40; ++u) EXPECT_LT(qpl6032::kUimPark[u], 5);
}

TEST(Qpl6032Tables, OePiaPicksSetTheirGoeFuse) {
  for (int r = 0; r < 6; ++r) {
    const int e = qpl6032::kOePiaToGoe[r];
    for (int p = 0; p < 5; ++p) {
      int j = -1;
      const int n = CountMatches(qpl6032::kGoeChoice[e], qpl6032::kOePiaSignal[r][p], &j);
      if (qpl6032::kOePiaFuse[r][p] < 0) {
        EXPECT_EQ(n, 0) << "row " << r << " pick " << p;
      } else {
        EXPECT_EQ(n, 1) << "row " << r << " pick " << p;
        EXPECT_EQ(4 - j, qpl6032::kOePiaFuse[r][p]) << "row " << r << " pick " << p;
      }
    }
  }
}

TEST(Qpl6064Tables, PiaPicksSetTheirBracketedUimFuse) {
  std::set<int> fed;
  for (int r = 0; r < 36; ++r) {
    const int u = qpl6064::kPiaToUim[r];
    // Rows 0..17 feed the even lines 0..16 and 20..36, rows 18..35 the odd ones.
    const int k = r % 18;
    EXPECT_EQ(u, (k < 9 ? 2 * k : 2 * k + 2) + (r >= 18 ? 1 : 0)) << "row " << r;
    fed.insert(u);
    for (int p = 0; p < 8; ++p) {
      int i = -1;
      EXPECT_EQ(CountMatches(qpl6064::kUimChoice[u], qpl6064::kPiaSignal[r][p], &i), 1)
          << "row " << r << " pick " << p;
      EXPECT_EQ(8 - i, qpl6064::kPiaFuse[r][p]) << "row " << r << " pick " << p;
    }
  }
  EXPECT_EQ(fed.count(18) + fed.count(19) + fed.count(38) + fed.count(39), 0u);
  EXPECT_EQ(fed.size(), 36u);
}

TEST(Qpl6064Tables, OePiaPicksSetTheirGoeFuse) {
  for (int r = 0; r < 6; ++r) {
    const int e = qpl6064::kOePiaToGoe[r];
    for (int p = 0; p < 8; ++p) {
      int i = -1;
      EXPECT_EQ(CountMatches(qpl6064::kGoeChoice[e], qpl6064::kOePiaSignal[r][p], &i), 1)
          << "row " << r << " pick " << p;
      EXPECT_EQ(8 - i, qpl6064::kOePiaFuse[r][p]) << "row " << r << " pick " << p;
    }
  }
}

TEST(Qpl6128Tables, PiaPicksAppearOnBothLinesOfTheirRowExceptFixedPlacements) {
  // The signals that have a fixed placement of their own instead of the
  // row's line on that side.
  // (row, line, pick): pick 10 is a placed pin signal, pick 12 "none".
  const std::set<std::tuple<int, int, int>> fixedPlacement = {
      {5, 24, 10}, {6, 22, 12}, {6, 4, 12},  {7, 2, 10},  {10, 30, 12},
      {19, 31, 12}, {32, 25, 10}, {33, 23, 12}, {33, 5, 12}, {34, 3, 10}};
  for (int r = 0; r < 36; ++r) {
    const qpl6128::PiaRow& row = qpl6128::kPia[r];
    // Pairing is symmetric: the pair of the pair is the row itself, across halves.
    EXPECT_EQ(qpl6128::kPia[row.pairRowLow].pairRowHigh, r) << "row " << r;
    EXPECT_EQ(qpl6128::kPia[row.pairRowHigh].pairRowLow, r) << "row " << r;
    for (int line : {row.primaryLine, row.secondaryLine}) {
      ASSERT_GE(line, 0);
      ASSERT_LT(line, 36);
      for (int p = 0; p < 13; ++p) {
        int j = -1;
        const int n = CountMatches(qpl6128::kUimChoice[line], row.picks[p], &j);
        const bool special = fixedPlacement.count({r, line, p}) != 0;
        if (special) {
          EXPECT_EQ(n, 0) << "row " << r << " pick " << p << " line " << line;
        } else {
          EXPECT_EQ(n, 1) << "row " << r << " pick " << p << " line " << line;
        }
      }
    }
  }
}

TEST(Qpl6128Tables, OePiaPicksSetTheirGoeFuse) {
  for (int r = 0; r < 6; ++r) {
    const int e = qpl6128::kOePiaToGoe[r];
    for (int p = 0; p < 13; ++p) {
      int j = -1;
      EXPECT_EQ(CountMatches(qpl6128::kGoeChoice[e], qpl6128::kOePiaSignal[r][p], &j), 1)
          << "row " << r << " pick " << p;
      EXPECT_EQ(j, qpl6128::kOePiaFuse[r][p]) << "row " << r << " pick " << p;
    }
  }
  for (int u = 0; u < 40; ++u) EXPECT_LT(qpl6128::kUimParkFuse[u], 27);
}

TEST(Qpl6000Tables, ColumnsAreDistinctAndPairedAndPinsExist) {
  std::set<int> used;
  std::set<int> pins;
  for (const auto& c : qpl6000::kPinColumns) {
    pins.insert(c.pin);
    if (c.pin == 0) continue;  // pin 0 only stands for undefined PIA picks
    for (int col : {c.pinTrue, c.pinComplement, c.feedbackTrue, c.feedbackComplement}) {
      if (col < 0) continue;
      EXPECT_LT(col, 152);
      EXPECT_TRUE(used.insert(col).second) << "column " << col << " twice";
    }
  }
  // Every macrocell's I/O pin and every pin a PIA row names has a row.
  for (int m = 0; m < 32; ++m) EXPECT_TRUE(pins.count(qpl6000::kIoPin[m])) << "MC " << m + 1;
  for (const auto& row : qpl6000::kPiaTable) {
    for (const auto& s : row) EXPECT_TRUE(pins.count(s.pin)) << "pin " << s.pin;
  }
}

}  // namespace
}  // namespace fusecvt
