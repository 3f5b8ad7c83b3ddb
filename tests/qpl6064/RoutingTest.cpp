// Stages 3 and 5 of QPL6064: the global OE multiplexers (last-'0' picks, the
// plain 7064's two OE inputs), the UIM multiplexers (fuse 8 - position,
// parking for every kind, the unfed lines) and the unsupported-bit check.

#include <gtest/gtest.h>

#include "Stage6064.h"

namespace fusecvt::test {
namespace {

TEST(Qpl6064RouteUim, APickSetsTheFuseOfItsPositionCountedFromEight) {
  const struct {
    int row, pick, line, fuse;
  } cases[] = {
      {0, 0, 0, 3},    // F40
      {18, 3, 1, 1},   // P1 (odd line)
      {6, 3, 12, 0},   // -2
      {33, 3, 33, 0},  // -5
      {27, 0, 21, 3},  // F25
      {35, 4, 37, 8},  // P8
      {1, 7, 2, 0},    // none
      {13, 7, 28, 1},  // none
      {22, 6, 9, 6},   // P51
  };
  for (SourceKind kind : kAll6064Kinds) {
    for (const auto& c : cases) {
      Stage6064 s(kind);
      s.LegalClocks();
      s.Pick(2, c.row, c.pick);
      s.Connect(35, 4, 2 * c.row + 1);  // block C reads the line (complement)
      s.Run(5);
      EXPECT_EQ(s.Uim(2, c.line), OnesWithZeros(9, {c.fuse}))
          << SourceKindName(kind) << " row " << c.row << " pick " << c.pick;
    }
  }
}

TEST(Qpl6064RouteUim, EveryKindParksLinesThatNoProductTermReads) {
  for (SourceKind kind : kAll6064Kinds) {
    Stage6064 s(kind);
    s.LegalClocks();
    s.Pick(0, 0, 0);   // line 0: F40 (fuse 3), park 8
    s.Pick(0, 35, 4);  // line 37: P8 (fuse 8), park 1
    s.Pick(0, 2, 0);   // line 4: F52 (fuse 1), park 0
    s.Pick(1, 2, 0);
    s.Connect(20, 0, 4);  // block B reads line 4; block A does not
    for (int c = 0; c < 2; ++c) s.Connect(3, 2, c);  // block A reads line 0 in both polarities
    s.Run(5);
    const char* name = SourceKindName(kind);
    EXPECT_EQ(s.Uim(0, 0), OnesWithZeros(9, {8})) << name << ": a \"00\" pair reads nothing";
    EXPECT_EQ(s.Uim(0, 37), OnesWithZeros(9, {1})) << name;
    EXPECT_EQ(s.Uim(0, 4), OnesWithZeros(9, {0})) << name;
    EXPECT_EQ(s.Uim(1, 4), OnesWithZeros(9, {1})) << name;
  }
}

TEST(Qpl6064RouteUim, AnErasedPlain7064ParksEveryFedLine) {
  // Erased three-bit codes read pick 7 on every row; nothing reads a line.
  Stage6064 s(SourceKind::Max7064);
  s.Run(5);
  for (int b = 0; b < 4; ++b) {
    for (int u = 0; u < 40; ++u) {
      EXPECT_EQ(s.Uim(b, u), OnesWithZeros(9, {Unfed(u) ? 1 : ParkFuse(u)}))
          << "block " << b << " line " << u;
    }
  }
}

TEST(Qpl6064RouteUim, LinesFedByNoRowTakeFuseOneAndUnpickedRowsStayErased) {
  for (SourceKind kind : kSelect6064Kinds) {
    Stage6064 s(kind);
    s.LegalClocks();
    s.Connect(0, 0, 0);  // read through row 0, which has no pick
    s.Run(5);
    for (int b = 0; b < 4; ++b) {
      for (int u = 0; u < 40; ++u) {
        EXPECT_EQ(s.Uim(b, u), Unfed(u) ? OnesWithZeros(9, {1}) : std::string(9, '1'))
            << SourceKindName(kind) << " block " << b << " line " << u;
      }
    }
  }
}

std::string Box(int stars) {
  return Stars(stars) + "Error! POF Conversion may not be correct.\n" +
         "       Some source settings have no counterpart on the target device.\n" +
         "       Please check the design, or ask your device supplier for help.\n" + Stars(stars);
}

TEST(Qpl6064RouteUim, UnsupportedBitsGiveOneBoxPerFieldOverAllFourBlocks) {
  const struct {
    SourceKind kind;
    int unknownZero, remainingZero;  // -1: field all '1'
    int boxes;
  } cases[] = {
      {SourceKind::Max7064S, -1, -1, 0}, {SourceKind::Max7064S, 6, -1, 1},
      {SourceKind::Max7064AE, -1, 0, 1}, {SourceKind::Max3064A, 2, 4, 2},
  };
  for (const auto& c : cases) {
    Stage6064 s(c.kind);
    s.LegalClocks();
    if (c.unknownZero >= 0) s.src->unknownBits.at(c.unknownZero) = '0';
    if (c.remainingZero >= 0) s.src->remainingBits.at(c.remainingZero) = '0';
    if (c.remainingZero >= 0) s.src->remainingBits.at(1) = '0';  // more zeros, one box
    s.Run();
    std::string console, report;
    for (int i = 0; i < c.boxes; ++i) {
      console += Box(63);
      report += Box(62);
    }
    EXPECT_EQ(s.console.str(), console) << SourceKindName(c.kind);
    EXPECT_EQ(s.report.str(), report) << SourceKindName(c.kind);
  }
}

TEST(Qpl6064RouteGlobalOe, TheLastZeroAmongEightPicks) {
  const struct {
    int row;
    const char* oe;  // nine characters, the ninth the polarity bit
    int goe;
    int fuse;  // -1: none set
  } cases[] = {
      {0, "110110111", 0, 4},  // '0' at 2 and 5: pick 5 (P24), not 2
      {0, "110111111", 0, 5},  // pick 2: F46
      {0, "111011111", 0, 0},  // pick 3: -1
      {1, "111110110", 2, 8},  // pick 5: P46 (the polarity bit is no pick)
      {1, "011111111", 2, 0},  // pick 0: F51
      {2, "111101111", 1, 0},  // pick 4: -2
      {2, "011111110", 1, 1},  // pick 0: F52
      {3, "111111101", 4, 7},  // pick 7: P16
      {4, "101111111", 3, 3},  // pick 1: F33
      {5, "000000001", 5, 6},  // pick 7: P53 wins over all before it
      {5, "011111111", 5, 3},  // pick 0: F25
  };
  for (SourceKind kind : kSelect6064Kinds) {
    for (const auto& c : cases) {
      Stage6064 s(kind);
      s.SetRow(s.src->oePia, c.row, c.oe);
      s.Run(3);
      EXPECT_EQ(s.Goe(c.goe), OnesWithZeros(9, {c.fuse}))
          << SourceKindName(kind) << " row " << c.row << " " << c.oe;
    }
  }
}

TEST(Qpl6064RouteGlobalOe, RowsWithoutAPickKeepTheDefaults) {
  // Defaults: GOE 0 fuse 8, GOE 1 and 2 fuse 2, GOE 3..5 fuse 0.
  const int defaults[6] = {8, 2, 2, 0, 0, 0};
  Stage6064 s(SourceKind::Max7064AE);
  for (int r = 0; r < 6; ++r) s.SetRow(s.src->oePia, r, "111111110");
  s.Run(3);
  for (int e = 0; e < 6; ++e) EXPECT_EQ(s.Goe(e), OnesWithZeros(9, {defaults[e]})) << e;
}

TEST(Qpl6064RouteGlobalOe, ThePlain7064ScansTheRecordsOfItsPackage) {
  const struct {
    int pins, record;
    const char* code;
    bool seen;
  } cases[] = {
      {44, 31, "10", true},  {44, 32, "10", false}, {68, 47, "01", true},
      {68, 48, "01", false}, {84, 63, "10", true},  {100, 0, "01", true},
      {160, 0, "10", false}, {84, 5, "00", false},
  };
  for (const auto& c : cases) {
    Stage6064 s(SourceKind::Max7064, "EPM7064LC", c.pins);
    s.SetRow(s.src->outputEnable, c.record, c.code);
    s.Run(3);
    const bool oe1 = c.seen && c.code[0] == '1';
    const bool oe2 = c.seen && c.code[1] == '1';
    EXPECT_EQ(s.Goe(0), OnesWithZeros(9, {oe1 ? 0 : 8})) << c.pins << " " << c.record;
    EXPECT_EQ(s.Goe(1), OnesWithZeros(9, {oe2 ? 0 : 2})) << c.pins << " " << c.record;
    for (int e = 2; e < 6; ++e) {
      EXPECT_EQ(s.Goe(e), OnesWithZeros(9, {e == 2 ? 2 : 0})) << e;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
