// Stages 3 and 5 of QPL6128: global OE multiplexers, UIM routing with the
// side rule and the special placements, the closing fuses of lines 36..39,
// and the unsupported-settings boxes.

#include <gtest/gtest.h>

#include <vector>

#include "Stage6128.h"

namespace fusecvt::test {
namespace {

// GOE defaults: fuse 10, 11, 13, 8, 11, 12 of GOE 0..5.
const int kGoeDefault[6] = {10, 11, 13, 8, 11, 12};

TEST(Qpl6128RouteGlobalOe, The7128SFamilyPicksTheLastZero) {
  struct Case {
    int row;
    const char* oe;  // 14 characters: picks 0..12, polarity
    int goe, fuse;   // fuse -1: the GOE keeps its default
  } cases[] = {
      {0, "11011111011111", 0, 0},   // '0' at 2 and 8: pick 8, D132
      {1, "01111111111111", 3, 9},   // pick 0: F115
      {5, "11111111111101", 5, 9},   // pick 12: P120
      {2, "11111101111110", 2, 0},   // pick 6: F24; the polarity '0' picks nothing
      {4, "11111111111110", 1, -1},  // no '0' among 0..12: no pick
      {3, "11111111011111", 4, 10},  // pick 8: P128
  };
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128AE, SourceKind::Max3128A}) {
    for (const Case& c : cases) {
      Stage6128 s(kind);
      s.SetRow(s.src->oePia, c.row, c.oe);
      s.Run(3);
      for (int e = 0; e < 6; ++e) {
        const int fuse = e == c.goe && c.fuse >= 0 ? c.fuse : kGoeDefault[e];
        EXPECT_EQ(s.Goe(e), Ones(14, {fuse})) << SourceKindName(kind) << " row " << c.row;
      }
    }
  }
}

TEST(Qpl6128RouteGlobalOe, The7128EReadsAFourBitCode) {
  struct Case {
    int row;
    const char* oe;  // code in characters 0..3, polarity in 4
    int goe, fuse;
  } cases[] = {
      {1, "10010", 3, 6},   // 9: P112
      {3, "10001", 4, 10},  // 8: P128
      {5, "01100", 5, 0},   // 6: F107
      {2, "00000", 2, 10},  // 0: F115
      {4, "11011", 1, -1},  // 13: no pick
      {0, "11111", 0, -1},  // 15: no pick
  };
  for (const Case& c : cases) {
    Stage6128 s(SourceKind::Max7128E);
    s.SetRow(s.src->oePia, c.row, c.oe);
    s.Run(3);
    const int fuse = c.fuse >= 0 ? c.fuse : kGoeDefault[c.goe];
    EXPECT_EQ(s.Goe(c.goe), Ones(14, {fuse})) << "row " << c.row << " " << c.oe;
  }
}

TEST(Qpl6128RouteGlobalOe, ThePlain7128ScansThePackagesIoCodes) {
  struct Case {
    int pinCount;
    int record;
    const char* code;
    int goe0, goe3;  // resulting fuse
  } cases[] = {
      {84, 63, "10", 0, 8},    // OE1 -> GOE 0 fuse 0 (D132)
      {84, 64, "10", 10, 8},   // past the 64 I/Os of the package
      {100, 79, "01", 10, 10},  // OE2 -> GOE 3 fuse 10 (D129)
      {100, 80, "01", 10, 8},
      {160, 95, "01", 10, 10},
      {160, 0, "11", 10, 8},   // VCC enables nothing
      {68, 0, "10", 10, 8},    // an unknown package: no record is read
  };
  for (const Case& c : cases) {
    Stage6128 s(SourceKind::Max7128, c.pinCount);
    s.SetRow(s.src->outputEnable, c.record, c.code);
    s.Run(3);
    EXPECT_EQ(s.Goe(0), Ones(14, {c.goe0})) << c.pinCount << " record " << c.record;
    EXPECT_EQ(s.Goe(3), Ones(14, {c.goe3})) << c.pinCount << " record " << c.record;
  }
}

// --- UIM routing ------------------------------------------------------------

struct UimCase {
  int lab, row;
  bool paired;
  int servingRow;
  int pick;
  int line;                  // line routed in LAB `lab`
  int matchFuse, parkFuse;   // when a product term reads the line / when none does
  int extraLine, extraFuse;  // -1: no extra fuse
};

void RunUimCase(SourceKind kind, const UimCase& c, bool read) {
  Stage6128 s(kind);
  if (c.paired) s.Pair(c.lab, c.row);
  s.Pick(c.paired ? 7 - c.lab : c.lab, c.servingRow, c.pick);
  if (read) s.Connect(c.lab * 16 + 4, 2, 2 * c.row + 1);
  s.Run(5);
  const std::string label = std::string(SourceKindName(kind)) + " LAB " + std::to_string(c.lab) +
                            " row " + std::to_string(c.row) + (read ? " read" : " unread");
  EXPECT_EQ(s.Uim(c.lab, c.line), Ones(27, {read ? c.matchFuse : c.parkFuse})) << label;
  if (c.extraLine >= 0) {
    EXPECT_EQ(s.Uim(c.lab, c.extraLine), Ones(27, {c.extraFuse})) << label;
  }
  // Lines 36..39 that nothing selected end on their "none" fuse.
  for (int u = 36; u < 40; ++u) {
    if (u == c.line) continue;
    EXPECT_EQ(s.Uim(c.lab, u), Ones(27, {u < 38 ? 12 : 2})) << label << " line " << u;
  }
}

TEST(Qpl6128RouteUim, TheSideRuleAndThePairRows) {
  const UimCase cases[] = {
      // F104 (pick 0 of row 0): choice 10 on line 34 (park 23) and on line 16 (park 2).
      {0, 0, false, 0, 0, 34, 10, 23, -1, -1},
      {7, 0, false, 0, 0, 16, 10, 2, -1, -1},
      // LAB 1 row 19 served by row 27 of LAB 6 (D130): secondary line 17, choice 11.
      {1, 19, true, 27, 7, 17, 11, 2, -1, -1},
      // LAB 6 row 18 served by row 27 of LAB 1: primary line 35.
      {6, 18, true, 27, 7, 35, 11, 23, -1, -1},
      // P64 on row 5 in the secondary case: line 6 as usual, no extra fuse.
      {4, 5, false, 5, 10, 6, 3, 0, -1, -1},
      // The none of row 10 in the primary case: line 16, its "none" is fuse 2.
      {0, 10, false, 10, 12, 16, 2, 2, -1, -1},
  };
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128E}) {
    for (const UimCase& c : cases) {
      RunUimCase(kind, c, true);
      RunUimCase(kind, c, false);
    }
  }
}

TEST(Qpl6128RouteUim, SpecialPlacementsRouteTheirLineAndSetAnExtraFuse) {
  const UimCase cases[] = {
      // P64 on row 5, primary case: line 38 (choice 3), fuse 23 of line 24.
      {0, 5, false, 5, 10, 38, 3, 12, 24, 23},
      {6, 15, true, 5, 10, 38, 3, 12, 24, 23},  // served from row 5 of LAB 1
      // P65 on row 32, primary case: line 39 (choice 3), fuse 3 of line 25.
      {3, 32, false, 32, 10, 39, 3, 12, 25, 3},
      {7, 24, true, 32, 10, 39, 3, 12, 25, 3},
      // P68 on row 34, secondary case: line 37 (choice 2), fuse 23 of line 3.
      {4, 34, false, 34, 10, 37, 2, 12, 3, 23},
      {1, 24, true, 34, 10, 37, 2, 12, 3, 23},
      // P61 on row 7, secondary case: line 36 (choice 2), fuse 23 of line 2.
      {5, 7, false, 7, 10, 36, 2, 12, 2, 23},
      {3, 15, true, 7, 10, 36, 2, 12, 2, 23},
      // The none of row 6: line 36, where the last "none" is fuse 23; the
      // extra fuse by the LAB's half.
      {0, 6, false, 6, 12, 36, 23, 12, 22, 9},
      {1, 16, true, 6, 12, 36, 23, 12, 22, 9},  // served from row 6 of LAB 6
      {4, 6, false, 6, 12, 36, 23, 12, 4, 8},
      // The none of row 33.
      {2, 33, false, 33, 12, 36, 23, 12, 23, 26},
      {7, 33, false, 33, 12, 36, 23, 12, 5, 8},
      // The none of rows 10 and 19, secondary case.
      {5, 10, false, 10, 12, 36, 23, 12, 30, 0},
      {2, 2, true, 10, 12, 36, 23, 12, 30, 0},
      {6, 19, false, 19, 12, 36, 23, 12, 31, 0},
      {2, 29, true, 19, 12, 36, 23, 12, 31, 0},
  };
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max3128A, SourceKind::Max7128E}) {
    for (const UimCase& c : cases) {
      RunUimCase(kind, c, true);
      RunUimCase(kind, c, false);
    }
  }
}

TEST(Qpl6128RouteUim, AFreshDesignEndsWithTheNoneFusesOfLines36To39) {
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128E, SourceKind::Max7128}) {
    Stage6128 s(kind);
    s.Run(5);
    for (int lab = 0; lab < 8; ++lab) {
      for (int u = 0; u < 36; ++u) {
        EXPECT_EQ(s.Uim(lab, u), Ones(27)) << SourceKindName(kind) << " no row has a pick";
      }
      EXPECT_EQ(s.Uim(lab, 36), Ones(27, {12})) << SourceKindName(kind);
      EXPECT_EQ(s.Uim(lab, 37), Ones(27, {12})) << SourceKindName(kind);
      EXPECT_EQ(s.Uim(lab, 38), Ones(27, {2})) << SourceKindName(kind);
      EXPECT_EQ(s.Uim(lab, 39), Ones(27, {2})) << SourceKindName(kind);
    }
  }
}

TEST(Qpl6128RouteUim, ThePlain7128Placements) {
  struct Case {
    int lab, row, code;
    int line, matchFuse, parkFuse;
    int extraLine, extraFuse;
  } cases[] = {
      {6, 5, 10, 38, 3, 12, 24, 23},   // P64 in any LAB
      {1, 32, 10, 39, 3, 12, 25, 3},   // P65
      {4, 0, 0, 34, 10, 23, -1, -1},   // F104: the primary line in an upper LAB too
      {5, 34, 10, 21, 2, 0, -1, -1},   // P68 keeps primary line 21
  };
  for (const Case& c : cases) {
    for (bool read : {true, false}) {
      Stage6128 s(SourceKind::Max7128);
      s.Pick(c.lab, c.row, c.code);
      if (read) s.Connect(c.lab * 16 + 1, 0, 2 * c.row);
      s.Run(5);
      EXPECT_EQ(s.Uim(c.lab, c.line), Ones(27, {read ? c.matchFuse : c.parkFuse}))
          << "row " << c.row << (read ? " read" : " unread");
      if (c.extraLine >= 0) {
        EXPECT_EQ(s.Uim(c.lab, c.extraLine), Ones(27, {c.extraFuse}));
      }
    }
  }
  // The none of rows 6 and 33: the product terms read line 39, stage 5 routes
  // line 36, which no product term reads: its park fuse 12. Line 39 then has
  // no '0' and takes fuse 2.
  struct NoneCase {
    int lab, row, extraLine, extraFuse;
  } nones[] = {{2, 6, 22, 9}, {7, 33, 23, 26}};
  for (const NoneCase& c : nones) {
    Stage6128 s(SourceKind::Max7128);
    s.Pick(c.lab, c.row, 12);
    s.Connect(c.lab * 16, 1, 2 * c.row);
    s.Run(5);
    EXPECT_EQ(s.Inputs(c.lab * 16, 1), Ones(80, {78}));
    EXPECT_EQ(s.Uim(c.lab, 36), Ones(27, {12})) << "row " << c.row;
    EXPECT_EQ(s.Uim(c.lab, 39), Ones(27, {2})) << "row " << c.row;
    EXPECT_EQ(s.Uim(c.lab, c.extraLine), Ones(27, {c.extraFuse})) << "row " << c.row;
  }
}

// --- Unsupported settings ---------------------------------------------------

TEST(Qpl6128RouteUim, UnsupportedSettingBoxesPerKind) {
  struct Case {
    SourceKind kind;
    std::vector<int> zeros;  // '0's in unknownBits
    int consoleBoxes, reportBoxes;
  } cases[] = {
      {SourceKind::Max7128S, {}, 0, 0},
      {SourceKind::Max7128S, {3}, 1, 1},
      {SourceKind::Max7128S, {4, 9}, 1, 1},     // one box however many
      {SourceKind::Max7128S, {10, 26}, 0, 0},   // outside 3..9 and 27
      {SourceKind::Max7128S, {27}, 1, 0},       // console only
      {SourceKind::Max7128AE, {5, 27}, 2, 1},
      {SourceKind::Max3128A, {9}, 1, 1},
      {SourceKind::Max7128E, {3, 7}, 2, 2},     // one box per '0'
      {SourceKind::Max7128E, {3, 4, 5, 6, 7, 8, 9}, 7, 7},
      {SourceKind::Max7128E, {0, 1, 2}, 0, 0},  // the clock code; illegal codes are silent here
  };
  for (const Case& c : cases) {
    Stage6128 s(c.kind);
    // A legal clock code, so that stage 4 prints nothing.
    s.SetFlat(c.kind == SourceKind::Max7128S || c.kind == SourceKind::Max7128E ? s.src->unknownBits
                                                                               : s.src->globalClocks,
              0, "001");
    for (int i : c.zeros) s.src->unknownBits.at(i) = '0';
    s.Run(5);
    std::string console, report;
    for (int i = 0; i < c.consoleBoxes; ++i) console += ErrorBox(63);
    for (int i = 0; i < c.reportBoxes; ++i) report += ErrorBox(62);
    EXPECT_EQ(s.console.str(), console) << SourceKindName(c.kind) << " " << c.zeros.size();
    EXPECT_EQ(s.report.str(), report) << SourceKindName(c.kind) << " " << c.zeros.size();
  }
  Stage6128 plain(SourceKind::Max7128);
  plain.Run(5);
  EXPECT_EQ(plain.console.str(), "");
  EXPECT_EQ(plain.report.str(), "");
}

}  // namespace
}  // namespace fusecvt::test
