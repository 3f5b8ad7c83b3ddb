// Stages 3 and 5 of QPL6032: global OE and UIM multiplexers, and the
// unsupported-bit check.

#include <gtest/gtest.h>

#include "StageFixture.h"
#include "translate/BlockTranslation.h"

namespace fusecvt::test {
namespace {

TEST(Qpl6032RouteUim, The7032SParksLinesThatNoProductTermReads) {
  // Row 0 feeds line 30; pick 0 is F4, choice 1 there; the park choice is 3.
  for (bool read : {false, true}) {
    Stage6032 s(SourceKind::Max7032S);
    s.Pick(0, 0, 0);
    s.Pick(1, 0, 0);
    if (read) s.Connect(3, 1, 1);  // block A reads line 30 (complement)
    s.Run(5);
    EXPECT_EQ(s.Uim(0, 30), read ? "10111" : "11101");
    EXPECT_EQ(s.Uim(1, 30), "11101") << "block B reads nothing";
  }
}

TEST(Qpl6032RouteUim, OtherKindsRouteEveryPickWithoutTheUseTest) {
  for (SourceKind kind : {SourceKind::Max7032AE, SourceKind::Max3032A, SourceKind::Max7032}) {
    Stage6032 s(kind);
    s.Pick(0, 0, 0);   // F4 -> line 30 choice 1
    s.Pick(1, 12, 3);  // P16 -> line 23 choice 0
    s.Pick(0, 35, 1);  // -5 -> line 8 choice 4
    s.Run(5);
    EXPECT_EQ(s.Uim(0, 30), "10111") << SourceKindName(kind);
    EXPECT_EQ(s.Uim(1, 23), "01111") << SourceKindName(kind);
    EXPECT_EQ(s.Uim(0, 8), "11110") << SourceKindName(kind);
    // An erased flat row reads "11", pick 3 (none on row 0: choice 3); an
    // erased one-hot row has no pick and leaves its line erased.
    EXPECT_EQ(s.Uim(1, 30), kind == SourceKind::Max7032 ? "11101" : "11111");
  }
}

TEST(Qpl6032RouteUim, NonePicksMatchTheNoneChoiceAndUnpickedRowsStayErased) {
  Stage6032 s(SourceKind::Max7032AE);
  s.Pick(0, 0, 3);   // none -> line 30 choice 3 ("none", kind 0)
  s.Pick(0, 10, 3);  // none -> line 21 choice 3
  s.Run(5);
  EXPECT_EQ(s.Uim(0, 30), "11101");
  EXPECT_EQ(s.Uim(0, 21), "11101");
  EXPECT_EQ(s.Uim(0, 31), "11111") << "row 1 has no pick";
}

TEST(Qpl6032RouteUim, LinesFedByNoRowAlwaysTakeChoiceOne) {
  for (SourceKind kind : {SourceKind::Max7032S, SourceKind::Max7032AE, SourceKind::Max3032A,
                          SourceKind::Max7032}) {
    Stage6032 s(kind);
    s.Run(5);
    for (int b = 0; b < 2; ++b) {
      for (int u : {9, 19, 29, 39}) EXPECT_EQ(s.Uim(b, u), "10111") << b << " " << u;
      EXPECT_EQ(s.Uim(b, 0), kind == SourceKind::Max7032 ? "11101" : "11111")
          << "flat rows of an erased image read \"11\", pick 3";
    }
  }
}

TEST(Qpl6032RouteUim, MatchingKeepsTheLastEqualChoice) {
  const Signal line[5] = {{22, 0}, {-4, 0}, {-1, -1}, {-4, 0}, {-5, 0}};
  EXPECT_EQ(MatchChoice(line, 5, Signal{-4, 0}), 3);
  EXPECT_EQ(MatchChoice(line, 5, Signal{22, 2}), -1) << "kind must match too";
  EXPECT_EQ(MatchChoice(line, 5, Signal{-1, 0}), -1) << "a -1* choice matches nothing";
}

TEST(Qpl6032RouteGlobalOe, FirstZeroPicksTheSignalOfTheRow) {
  struct Case {
    int row;
    const char* oe;
    int goe;
    const char* fuses;
  } cases[] = {
      {0, "10111", 4, "01111"},  // pick 1: -1, choice 4 -> fuse 0
      {0, "11101", 4, "11110"},  // pick 3: P18, choice 0 -> fuse 4
      {0, "01111", 4, "11011"},  // pick 0: F10, choice 2 -> fuse 2
      {0, "11110", 4, "11111"},  // pick 4: no fuse
      {0, "10011", 4, "01111"},  // the first '0' decides
      {2, "10110", 0, "11110"},  // pick 1: F1, choice 0 -> fuse 4
      {5, "11011", 5, "11011"},  // pick 2: P7, choice 2 -> fuse 2
      {1, "01110", 1, "11011"},  // pick 0: F19, choice 2
  };
  for (const Case& c : cases) {
    Stage6032 s(SourceKind::Max7032S);
    s.SetField(s.src->oePia, c.row, c.oe);
    s.Run(3);
    EXPECT_EQ(s.Goe(c.goe), c.fuses) << "row " << c.row << " " << c.oe;
  }
  // Rows without '0' keep the defaults: GOE 0..5 = 01111 10111 01111 01111 10111 01111.
  Stage6032 s(SourceKind::Max7032AE);
  s.Run(3);
  const char* defaults[6] = {"01111", "10111", "01111", "01111", "10111", "01111"};
  for (int e = 0; e < 6; ++e) EXPECT_EQ(s.Goe(e), defaults[e]) << e;
}

TEST(Qpl6032RouteGlobalOe, ThePlain7032UsesTheTwoOeInputs) {
  struct Case {
    const char* a;
    const char* b;
    const char* goe1;
    const char* goe4;
  } cases[] = {
      {"01", "11", "01111", "10111"},  // OE2 only: GOE 1 = -2, GOE 4 default
      {"10", "00", "10111", "01111"},  // OE1 only: GOE 4 = -1
      {"10", "01", "01111", "01111"},
      {"11", "00", "10111", "10111"},
  };
  for (const Case& c : cases) {
    Stage6032 s(SourceKind::Max7032);
    s.SetField(s.src->outputEnable, 3, c.a);
    s.SetField(s.src->outputEnable, 31, c.b);
    s.Run(3);
    EXPECT_EQ(s.Goe(1), c.goe1) << c.a << c.b;
    EXPECT_EQ(s.Goe(4), c.goe4) << c.a << c.b;
    EXPECT_EQ(s.Goe(0), "01111");
  }
}

std::string Box(int stars) {
  return Stars(stars) + "Error! POF Conversion may not be correct.\n" +
         "       Some source settings have no counterpart on the target device.\n" +
         "       Please check the design, or ask your device supplier for help.\n" + Stars(stars);
}

TEST(Qpl6032RouteUim, UnsupportedBitsGiveOneBoxPerFieldHoldingAZero) {
  struct Case {
    SourceKind kind;
    int unknownZero, remainingZero;  // -1: field all '1'
    int boxes;
  } cases[] = {
      {SourceKind::Max7032S, -1, -1, 0}, {SourceKind::Max7032S, -1, 6, 1},
      {SourceKind::Max7032AE, 0, -1, 1}, {SourceKind::Max3032A, 3, 0, 2},
  };
  for (const Case& c : cases) {
    Stage6032 s(c.kind);
    s.SetChars(s.src->globalClocks, "001");  // a legal clock code: no other console text
    if (c.unknownZero >= 0) s.src->unknownBits.at(c.unknownZero) = '0';
    if (c.remainingZero >= 0) s.src->remainingBits.at(c.remainingZero) = '0';
    // Many zeros in one field still give one box.
    if (c.unknownZero >= 0) s.src->unknownBits.at(6) = '0';
    s.Run();
    std::string console, report;
    for (int i = 0; i < c.boxes; ++i) {
      console += Box(63);
      report += Box(62);
    }
    EXPECT_EQ(s.console.str(), console);
    EXPECT_EQ(s.report.str(), report);
  }
}

TEST(Qpl6032RouteUim, ThePullupRefusalComesBeforeTheErrorBox) {
  Stage6032 s(SourceKind::Max7032S);
  s.SetChars(s.src->globalClocks, "001");
  s.src->unknownBits.at(2) = '0';
  s.run.options.tdiPullup = 1;
  s.target.pinUse.tckPinUsed = 1;
  s.src->jtagBit = '1';
  s.Run();
  // jtagBit '1' keeps the stage-1 flags: the TCK flag set above stays.
  const std::string refusal =
      Stars(79) + "-TDI_pullup: Error! Some or all four JTAG pins are used in your logic function.\n" +
      "                    TDI_pullup option cannot be enabled.\n" + Stars(79);
  EXPECT_EQ(s.report.str(), refusal + Box(62));
}

}  // namespace
}  // namespace fusecvt::test
