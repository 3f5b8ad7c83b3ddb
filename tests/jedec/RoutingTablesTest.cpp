// The routing tables against each other: every PIA pick must find its signal
// on the UIM line it feeds at the choice its table names, and every OE PIA
// pick on its GOE at the fuse the OE table names. A slip in any table shows.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "qpl6000/Qpl6000Tables.h"
#include "translate/RoutingTables.h"

namespace fusecvt {
namespace {

// Index of the one choice carrying s; -1 when none does, -2 when several do.
template <std::size_t N>
int Find(const Signal (&choices)[N], Signal s) {
  int at = -1;
  for (std::size_t j = 0; j < N; ++j) {
    if (choices[j] == s) at = at == -1 ? static_cast<int>(j) : -2;
  }
  return at;
}

TEST(RoutingTables, PicksFindTheirSignalWhereTheTablesSay) {
  for (int r = 0; r < 36; ++r) {
    SCOPED_TRACE("PIA row " + std::to_string(r));
    // QPL6032: rows 0..8 feed lines 30..38, 9..17 lines 20..28, and so on down.
    const int u32 = qpl6032::kPiaToUim[r];
    EXPECT_EQ(u32, (3 - r / 9) * 10 + r % 9);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(Find(qpl6032::kUimChoice[u32], qpl6032::kPiaSignal[r][p]), qpl6032::kPiaChoice[r][p]);
    // QPL6064: rows 0..17 feed the even lines 0..16 and 20..36, rows 18..35 the odd ones.
    const int u64 = qpl6064::kPiaToUim[r];
    EXPECT_EQ(u64, (r % 18 < 9 ? 2 * (r % 18) : 2 * (r % 18) + 2) + (r >= 18 ? 1 : 0));
    for (int p = 0; p < 8; ++p) EXPECT_EQ(Find(qpl6064::kUimChoice[u64], qpl6064::kPiaSignal[r][p]), 8 - qpl6064::kPiaFuse[r][p]);
  }
  for (int r = 0; r < 6; ++r) {
    SCOPED_TRACE("OE PIA row " + std::to_string(r));
    for (int p = 0; p < 5; ++p) {
      const int fuse = qpl6032::kOePiaFuse[r][p];
      EXPECT_EQ(Find(qpl6032::kGoeChoice[qpl6032::kOePiaToGoe[r]], qpl6032::kOePiaSignal[r][p]), fuse < 0 ? -1 : 4 - fuse);
    }
    for (int p = 0; p < 8; ++p) {
      EXPECT_EQ(Find(qpl6064::kGoeChoice[qpl6064::kOePiaToGoe[r]], qpl6064::kOePiaSignal[r][p]), 8 - qpl6064::kOePiaFuse[r][p]);
    }
    for (int p = 0; p < 13; ++p) {
      EXPECT_EQ(Find(qpl6128::kGoeChoice[qpl6128::kOePiaToGoe[r]], qpl6128::kOePiaSignal[r][p]), qpl6128::kOePiaFuse[r][p]);
    }
  }
  for (int u = 0; u < 40; ++u) EXPECT_TRUE(qpl6032::kUimPark[u] < 5 && qpl6128::kUimParkFuse[u] < 27) << u;
}

TEST(RoutingTables, Qpl6128PicksAppearOnBothLinesOfTheirRowExceptFixedPlacements) {
  // (row, line, pick) of signals placed on a fixed line of their own instead:
  // pick 10 is a placed pin signal, pick 12 "none".
  const std::set<std::tuple<int, int, int>> fixed = {
      {5, 24, 10}, {6, 22, 12}, {6, 4, 12},  {7, 2, 10},  {10, 30, 12},
      {19, 31, 12}, {32, 25, 10}, {33, 23, 12}, {33, 5, 12}, {34, 3, 10}};
  for (int r = 0; r < 36; ++r) {
    const qpl6128::PiaRow& row = qpl6128::kPia[r];
    EXPECT_EQ(qpl6128::kPia[row.pairRowLow].pairRowHigh, r) << "row " << r;
    EXPECT_EQ(qpl6128::kPia[row.pairRowHigh].pairRowLow, r) << "row " << r;
    for (int line : {row.primaryLine, row.secondaryLine}) {
      ASSERT_TRUE(line >= 0 && line < 36) << "row " << r;
      for (int p = 0; p < 13; ++p) {
        const int at = Find(qpl6128::kUimChoice[line], row.picks[p]);
        EXPECT_TRUE(fixed.count({r, line, p}) ? at == -1 : at >= 0) << "row " << r << " line " << line << " pick " << p;
      }
    }
  }
}

TEST(RoutingTables, Qpl6000ColumnsAreDistinctAndPinsExist) {
  std::set<int> used, pins;
  for (const auto& c : qpl6000::kPinColumns) {
    pins.insert(c.pin);
    if (c.pin == 0) continue;  // pin 0 only stands for undefined PIA picks
    for (int col : {c.pinTrue, c.pinComplement, c.feedbackTrue, c.feedbackComplement}) {
      EXPECT_TRUE(col < 0 || (col < 152 && used.insert(col).second)) << "column " << col;
    }
  }
  for (int m = 0; m < 32; ++m) EXPECT_TRUE(pins.count(qpl6000::kIoPin[m])) << "MC " << m + 1;
  for (const auto& row : qpl6000::kPiaTable) {
    for (const auto& s : row) EXPECT_TRUE(pins.count(s.pin)) << "pin " << s.pin;
  }
}

}  // namespace
}  // namespace fusecvt
