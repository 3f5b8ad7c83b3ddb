// Stage 1 of QPL6064: where the source columns land, which pins and
// dedicated inputs they record, and how the plain 7064 names its picks.

#include <gtest/gtest.h>

#include "Stage6064.h"

namespace fusecvt::test {
namespace {

TEST(Qpl6064ReadProductTerms, ColumnsKeepTheirPolarityOnOddLines) {
  for (SourceKind kind : kAll6064Kinds) {
    Stage6064 s(kind);
    s.Pick(0, 0, 0);    // row 0 feeds line 0
    s.Pick(0, 18, 0);   // row 18 feeds line 1 (odd)
    s.Pick(0, 35, 0);   // row 35 feeds line 37 (odd)
    s.Pick(1, 17, 0);   // row 17 feeds line 36
    s.Connect(0, 0, 0);    // row 0 true -> fuse 0
    s.Connect(0, 1, 37);   // row 18 complement -> fuse 3 (not 2 as with a swap)
    s.Connect(0, 2, 36);   // row 18 true -> fuse 2
    s.Connect(0, 3, 71);   // row 35 complement -> fuse 75
    s.Connect(0, 4, 80);   // expander of MC 9 -> foldback fuse 8
    s.Connect(16, 0, 35);  // block B, row 17 complement -> fuse 73
    s.Run(1);
    const char* name = SourceKindName(kind);
    EXPECT_EQ(s.Inputs(0, 0), OnesWithZeros(80, {0})) << name;
    EXPECT_EQ(s.Inputs(0, 1), OnesWithZeros(80, {3})) << name;
    EXPECT_EQ(s.Inputs(0, 2), OnesWithZeros(80, {2})) << name;
    EXPECT_EQ(s.Inputs(0, 3), OnesWithZeros(80, {75})) << name;
    EXPECT_EQ(s.Inputs(0, 4), std::string(80, '1')) << name;
    EXPECT_EQ(s.Foldbacks(0, 4), OnesWithZeros(16, {8})) << name;
    EXPECT_EQ(s.Inputs(16, 0), OnesWithZeros(80, {73})) << name;
    EXPECT_EQ(s.Foldbacks(0, 0), std::string(16, '1')) << name;
  }
}

TEST(Qpl6064ReadProductTerms, AllZeroTermsAreDisabledWhole) {
  Stage6064 s(SourceKind::Max7064AE);
  for (int c = 0; c < 88; ++c) s.Connect(63, 2, c);
  s.Run(1);
  EXPECT_EQ(s.Inputs(63, 2), std::string(80, '0'));
  EXPECT_EQ(s.Foldbacks(63, 2), std::string(16, '0'));
  EXPECT_EQ(s.Uses(), "00000000000") << "a disabled term records nothing";
}

TEST(Qpl6064ReadProductTerms, PinsOfTheJtagMacrocellsSetTheirFlags) {
  // Flag order of Uses(): pd1 pd2 tdi tms tck tdo gclk1 gclk1~ gclk2 gclk2~ gclk3.
  const struct {
    int row, pick;
    const char* uses;
  } cases[] = {
      {31, 4, "00100000000"},  // P8: TDI
      {1, 5, "00010000000"},   // P32: TMS
      {0, 4, "00001000000"},   // P48: TCK
      {27, 7, "00000100000"},  // P56: TDO
      {11, 3, "00000000000"},  // F8: the feedback of MC 8 is no pin
      {18, 3, "00000000000"},  // P1
      {22, 4, "00000000000"},  // P4: the QPL6032 TDI macrocell means nothing here
  };
  for (SourceKind kind : kAll6064Kinds) {
    for (const auto& c : cases) {
      for (int odd : {0, 1}) {
        Stage6064 s(kind);
        s.Pick(2, c.row, c.pick);
        s.Connect(40, 1, 2 * c.row + odd);
        s.Run(1);
        EXPECT_EQ(s.Uses(), c.uses) << SourceKindName(kind) << " row " << c.row << " pick "
                                    << c.pick << " odd " << odd;
      }
    }
  }
}

TEST(Qpl6064ReadProductTerms, DedicatedClockInputsByColumnParity) {
  const struct {
    int row, pick, column;
    const char* uses;       // 7064S, 7064AE, 3064A
    const char* plainUses;  // the plain 7064 records no GCLK2 use
  } cases[] = {
      {33, 3, 66, "00000010000", "00000010000"},  // -5 true
      {33, 3, 67, "00000001000", "00000001000"},  // -5 complement
      {35, 3, 70, "00000010000", "00000010000"},
      {6, 3, 12, "00000000100", "00000000000"},   // -2 true
      {8, 3, 17, "00000000010", "00000000000"},   // -2 complement
      {9, 3, 18, "00000000001", "00000000001"},   // P64: GCLK3
      {31, 3, 63, "00000000001", "00000000001"},  // F64 counts too
      {15, 3, 30, "00000000000", "00000000000"},  // -6
      {24, 3, 48, "00000000000", "00000000000"},  // -1
      {33, 0, 66, "00000000000", "00000000000"},  // F15 on a clock row
  };
  for (SourceKind kind : kAll6064Kinds) {
    for (const auto& c : cases) {
      Stage6064 s(kind);
      s.Pick(3, c.row, c.pick);
      s.Connect(50, 3, c.column);
      s.Run(1);
      EXPECT_EQ(s.Uses(), kind == SourceKind::Max7064 ? c.plainUses : c.uses)
          << SourceKindName(kind) << " column " << c.column << " pick " << c.pick;
    }
  }
}

TEST(Qpl6064ReadProductTerms, AColumnOfAnUnpickedRowSetsItsFuseAndNoFlag) {
  Stage6064 s(SourceKind::Max7064S);  // row 33 erased: no pick
  s.Connect(0, 3, 66);
  s.Connect(0, 3, 63);  // row 31 complement
  s.Run(1);
  EXPECT_EQ(s.Inputs(0, 3), OnesWithZeros(80, {66, 59}));
  EXPECT_EQ(s.Uses(), "00000000000");
}

TEST(Qpl6064ReadProductTerms, ThePlain7064ReadsThreeBitCodes) {
  // An erased row reads "111", pick 7: row 33 then carries P56 (TDO), row 0 P9.
  Stage6064 e(SourceKind::Max7064);
  e.Connect(0, 0, 67);
  e.Run(1);
  EXPECT_EQ(e.Uses(), "00000100000");
  EXPECT_EQ(e.Inputs(0, 0), OnesWithZeros(80, {67}));

  // "011" is pick 3 (GCLK1 on row 33), "100" pick 4 (P18).
  Stage6064 s(SourceKind::Max7064);
  s.Pick(0, 33, 3);
  EXPECT_EQ(std::string(s.src->pia.row(0, 33), 3), "011");
  s.Connect(0, 3, 66);
  s.Run(1);
  EXPECT_EQ(s.Uses(), "00000010000");
  Stage6064 t(SourceKind::Max7064);
  t.Pick(0, 33, 4);
  EXPECT_EQ(std::string(t.src->pia.row(0, 33), 3), "100");
  t.Connect(0, 3, 66);
  t.Run(1);
  EXPECT_EQ(t.Uses(), "00000000000");
}

}  // namespace
}  // namespace fusecvt::test
