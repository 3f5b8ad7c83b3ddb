// Stage 1 of QPL6128: pair resolution through the mirror LAB, the side rule,
// the special placements, pick codes and the clock flags; and stage 6.

#include <gtest/gtest.h>

#include "Stage6128.h"

namespace fusecvt::test {
namespace {

const std::string k80 = Ones(80);

TEST(Qpl6128ReadProductTerms, UnpairedRowsFeedThePrimaryLineInLabs0To3AndTheSecondaryIn4To7) {
  Stage6128 s(SourceKind::Max7128S);
  // Row 0: lines 34 (primary) and 16 (secondary).
  s.Pick(0, 0, 0);
  s.Connect(0, 0, 0);   // LAB 0 true -> fuse 68
  s.Connect(0, 1, 1);   // complement -> 69
  s.Pick(7, 0, 0);
  s.Connect(112, 0, 0);  // LAB 7 true -> fuse 32
  s.Connect(127, 2, 1);  // complement -> 33
  // Row 18: lines 15 and 35; an odd line keeps the true column first.
  s.Pick(3, 18, 2);
  s.Connect(48, 3, 36);  // -> fuse 30
  s.Connect(48, 4, 37);  // -> fuse 31
  // Column 72 + e is the expander of the LAB's macrocell e.
  s.Connect(5, 2, 83);
  s.Run(1);
  EXPECT_EQ(s.Inputs(0, 0), Ones(80, {68}));
  EXPECT_EQ(s.Inputs(0, 1), Ones(80, {69}));
  EXPECT_EQ(s.Inputs(112, 0), Ones(80, {32}));
  EXPECT_EQ(s.Inputs(127, 2), Ones(80, {33}));
  EXPECT_EQ(s.Inputs(48, 3), Ones(80, {30}));
  EXPECT_EQ(s.Inputs(48, 4), Ones(80, {31}));
  EXPECT_EQ(s.Foldbacks(5, 2), Ones(16, {11}));
  EXPECT_EQ(s.Inputs(5, 2), k80);
  EXPECT_EQ(s.Foldbacks(0, 0), Ones(16));
}

TEST(Qpl6128ReadProductTerms, APairedRowIsReadFromItsPairRowInTheMirrorLab) {
  struct Case {
    SourceKind kind;
    int lab, row;      // the row the product term reads
    int mirror, pair;  // LAB 7 - lab and the pair row of this half
    int column;
    int fuse;          // on the side line of the pair row
    int PinUseFlags::*flag;
  } cases[] = {
      // LAB 1 row 19 -> row 27 of LAB 6 (D130); 0 XOR 1: secondary line 17.
      {SourceKind::Max7128S, 1, 19, 6, 27, 38, 34, &PinUseFlags::gclk1TrueUsed},
      // LAB 6 row 18 -> row 27 of LAB 1; 1 XOR 1: primary line 35.
      {SourceKind::Max7128AE, 6, 18, 1, 27, 37, 71, &PinUseFlags::gclk1ComplementUsed},
      // LAB 2 row 10 -> row 0 of LAB 5 (D129), secondary line 16.
      {SourceKind::Max3128A, 2, 10, 5, 0, 20, 32, &PinUseFlags::gclk2TrueUsed},
      // LAB 4 row 14 -> row 6 of LAB 3 (D129), primary line 22.
      {SourceKind::Max7128E, 4, 14, 3, 6, 29, 45, &PinUseFlags::gclk2ComplementUsed},
  };
  for (const Case& c : cases) {
    Stage6128 s(c.kind);
    const int m = c.lab * 16 + 5;
    s.Pair(c.lab, c.row);
    s.Pick(c.mirror, c.pair, 7);
    // The LAB's own copy of the pair row, and the row itself, pick otherwise.
    s.Pick(c.lab, c.pair, 0);
    s.Pick(c.lab, c.row, 7);
    s.Connect(m, 2, c.column);
    s.Run(1);
    EXPECT_EQ(s.Inputs(m, 2), Ones(80, {c.fuse})) << SourceKindName(c.kind) << " LAB " << c.lab;
    EXPECT_EQ(s.target.pinUse.*c.flag, 1) << SourceKindName(c.kind) << " LAB " << c.lab;
  }
}

TEST(Qpl6128ReadProductTerms, APairFlagOtherThanZeroLeavesTheRowAsIs) {
  for (char flag : {'1', 'x'}) {
    Stage6128 s(SourceKind::Max7128S);
    s.PairFlag(1, 19, flag);
    s.Pick(6, 27, 7);  // D130 on the pair row: not read
    s.Pick(1, 19, 7);  // P3 on the row itself
    s.Connect(17, 0, 38);
    s.Run(1);
    EXPECT_EQ(s.Inputs(17, 0), Ones(80, {34})) << "primary line 17 of row 19, flag " << flag;
    EXPECT_EQ(s.target.pinUse.gclk1TrueUsed, 0) << flag;
  }
}

TEST(Qpl6128ReadProductTerms, SpecialPlacementsOfThePairedKinds) {
  struct Case {
    int lab, row;
    bool paired;
    int servingRow;  // the pair row when paired
    int pick;
    int fuse;        // true column -> 2u of the line read
  } cases[] = {
      // P64 (pick 10) on row 5: line 38 where the primary line (24) applies.
      {0, 5, false, 5, 10, 76},
      {4, 5, false, 5, 10, 12},   // secondary: line 6 as usual
      {6, 15, true, 5, 10, 76},   // row 15 of an upper LAB serves from row 5, primary
      {2, 13, true, 5, 10, 12},   // row 13 of a lower LAB serves from row 5, secondary
      // P65 on row 32: line 39 on the primary side.
      {3, 32, false, 32, 10, 78},
      {5, 32, false, 32, 10, 14},  // secondary line 7
      {7, 24, true, 32, 10, 78},
      // P68 on row 34: line 37 on the secondary side.
      {4, 34, false, 34, 10, 74},
      {0, 34, false, 34, 10, 42},  // primary line 21
      {1, 24, true, 34, 10, 74},
      // P61 on row 7: line 36 on the secondary side.
      {5, 7, false, 7, 10, 72},
      {2, 7, false, 7, 10, 40},  // primary line 20
      {3, 15, true, 7, 10, 72},
      // The none pick (12) of rows 6 and 33: line 36 on either side.
      {0, 6, false, 6, 12, 72},
      {4, 6, false, 6, 12, 72},
      {1, 33, false, 33, 12, 72},
      {7, 33, false, 33, 12, 72},
      // The none pick of rows 10 and 19: line 36 on the secondary side only.
      {0, 10, false, 10, 12, 32},  // primary line 16
      {4, 10, false, 10, 12, 72},
      {2, 2, true, 10, 12, 72},
      {1, 19, false, 19, 12, 34},  // primary line 17
      {6, 19, false, 19, 12, 72},
      // A none pick elsewhere stays on its line: row 0, primary line 34.
      {0, 0, false, 0, 12, 68},
      // Another pick of a special row stays on its line: row 5 pick 9 (P91).
      {0, 5, false, 5, 9, 48},
  };
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128E}) {
    for (const Case& c : cases) {
      Stage6128 s(kind);
      const int serving = c.paired ? 7 - c.lab : c.lab;
      if (c.paired) s.Pair(c.lab, c.row);
      s.Pick(serving, c.servingRow, c.pick);
      const int m = c.lab * 16 + 9;
      s.Connect(m, 1, 2 * c.row);
      s.Connect(m, 4, 2 * c.row + 1);
      s.Run(1);
      EXPECT_EQ(s.Inputs(m, 1), Ones(80, {c.fuse}))
          << SourceKindName(kind) << " LAB " << c.lab << " row " << c.row;
      EXPECT_EQ(s.Inputs(m, 4), Ones(80, {c.fuse + 1}))
          << SourceKindName(kind) << " LAB " << c.lab << " row " << c.row;
    }
  }
}

TEST(Qpl6128ReadProductTerms, ARowWithoutPickUsesTheSideLineWithNoSpecialCase) {
  struct Case {
    SourceKind kind;
    int lab, row, code;  // code: the 4-bit pick of the kinds that code it
    int fuse;
  } cases[] = {
      {SourceKind::Max7128S, 0, 6, -1, 44},   // all '1': primary line 22 (not 36)
      {SourceKind::Max7128S, 4, 6, -1, 8},    // secondary line 4
      {SourceKind::Max7128AE, 4, 34, -1, 6},  // secondary line 3 (not 37)
      {SourceKind::Max7128E, 0, 27, 13, 70},  // codes 13..15 name no pick: line 35
      {SourceKind::Max7128E, 5, 27, 14, 34},  // line 17
      {SourceKind::Max7128, 4, 27, 15, 70},   // plain: primary line 35 in every LAB
      {SourceKind::Max7128, 0, 6, 13, 44},    // plain: line 22 (a none pick would read 39)
  };
  for (const Case& c : cases) {
    Stage6128 s(c.kind);
    if (c.code >= 0) s.Pick(c.lab, c.row, c.code);
    const int m = c.lab * 16;
    s.Connect(m, 3, 2 * c.row);
    s.Run(1);
    EXPECT_EQ(s.Inputs(m, 3), Ones(80, {c.fuse})) << SourceKindName(c.kind) << " row " << c.row;
    const PinUseFlags& f = s.target.pinUse;
    EXPECT_EQ(f.gclk1TrueUsed + f.gclk1ComplementUsed + f.gclk2TrueUsed + f.gclk2ComplementUsed +
                  f.gclk3Used,
              0)
        << "no pick, no flag";
  }
}

TEST(Qpl6128ReadProductTerms, ThePlain7128HasNoPairingAndItsOwnPlacements) {
  struct Case {
    int lab, row, code;
    int fuse;
  } cases[] = {
      {4, 0, 0, 68},    // F104 on row 0: primary line 34 in an upper LAB too
      {0, 5, 10, 76},   // P64 on row 5 -> line 38
      {6, 5, 10, 76},
      {1, 32, 10, 78},  // P65 on row 32 -> line 39
      {5, 32, 10, 78},
      {2, 6, 12, 78},   // none on rows 6 and 33 -> line 39
      {7, 33, 12, 78},
      {4, 10, 12, 32},  // none on row 10 keeps primary line 16
      {4, 34, 10, 42},  // P68 keeps primary line 21
      {5, 7, 10, 40},   // P61 keeps primary line 20
  };
  for (const Case& c : cases) {
    Stage6128 s(SourceKind::Max7128);
    s.Pick(c.lab, c.row, c.code);
    const int m = c.lab * 16 + 3;
    s.Connect(m, 0, 2 * c.row);
    s.Run(1);
    EXPECT_EQ(s.Inputs(m, 0), Ones(80, {c.fuse})) << "LAB " << c.lab << " row " << c.row;
  }
}

TEST(Qpl6128ReadProductTerms, ClockFlagsByKindAndColumn) {
  struct Case {
    int row, pick, column;
    int PinUseFlags::*flag;      // on the paired kinds
    int PinUseFlags::*plainFlag; // on the plain 7128 (null: none)
  } cases[] = {
      {27, 7, 54, &PinUseFlags::gclk1TrueUsed, &PinUseFlags::gclk1TrueUsed},        // D130
      {33, 7, 67, &PinUseFlags::gclk1ComplementUsed, &PinUseFlags::gclk1TrueUsed},  // D130
      {0, 7, 0, &PinUseFlags::gclk2TrueUsed, nullptr},                               // D129
      {6, 7, 13, &PinUseFlags::gclk2ComplementUsed, nullptr},                        // D129
      {31, 6, 63, &PinUseFlags::gclk3Used, &PinUseFlags::gclk3Used},                 // F128
      {11, 7, 22, &PinUseFlags::gclk3Used, &PinUseFlags::gclk3Used},                 // P128
  };
  for (const Case& c : cases) {
    for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128E, SourceKind::Max7128}) {
      Stage6128 s(kind);
      s.Pick(2, c.row, c.pick);
      s.Connect(40, 4, c.column);
      s.Run(1);
      int PinUseFlags::*expected = kind == SourceKind::Max7128 ? c.plainFlag : c.flag;
      const PinUseFlags& f = s.target.pinUse;
      int PinUseFlags::*all[] = {&PinUseFlags::gclk1TrueUsed, &PinUseFlags::gclk1ComplementUsed,
                                 &PinUseFlags::gclk2TrueUsed, &PinUseFlags::gclk2ComplementUsed,
                                 &PinUseFlags::gclk3Used};
      for (int PinUseFlags::*flag : all) {
        EXPECT_EQ(f.*flag, flag == expected ? 1 : 0)
            << SourceKindName(kind) << " row " << c.row << " column " << c.column;
      }
    }
  }
}

TEST(Qpl6128ReadProductTerms, AnAllZeroTermStaysDisabled) {
  Stage6128 s(SourceKind::Max3128A);
  s.Pick(0, 27, 7);
  for (int c = 0; c < 88; ++c) s.Connect(3, 1, c);
  s.Run(1);
  EXPECT_EQ(s.Inputs(3, 1), std::string(80, '0'));
  EXPECT_EQ(s.Foldbacks(3, 1), std::string(16, '0'));
  EXPECT_EQ(s.target.pinUse.gclk1TrueUsed, 0) << "a disabled term reads no clock";
}

TEST(Qpl6128ClearUnusedProductTerms, TermsThatNothingUsesBecomeAllZero) {
  Stage6128 s(SourceKind::Max7128S);
  s.IdleAll();
  s.Pick(4, 1, 0);
  s.Connect(70, 4, 2);  // PT 5 of MC 71 reads row 1 (secondary line 14)
  s.Run();
  EXPECT_EQ(s.Inputs(70, 4), Ones(80, {28}));
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s.Inputs(70, k), std::string(80, '0')) << k;
    EXPECT_EQ(s.Foldbacks(70, k), std::string(16, '0')) << k;
  }
  EXPECT_EQ(s.Bits(70)[21], '0') << "a used term marks the macrocell used";
  EXPECT_EQ(s.Inputs(127, 0), std::string(80, '0'));
}

}  // namespace
}  // namespace fusecvt::test
