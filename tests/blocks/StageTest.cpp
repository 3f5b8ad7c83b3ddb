// The intricate rules of the block-target stages, one table over the three
// targets: where a PIA row's pick and columns land (pair rows, side rule,
// special placements, parking), which pins and clocks stage 1 records, the
// pin-clock conversion, the global OE picks, the S bits per source family,
// the JTAG, pull-up, power-down and clock options, and the unsupported-bit
// boxes. Macrocells, LABs and product terms are counted from 0.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Blocks.h"
#include "driver/CommandLine.h"
#include "support/ExpectedJedec.h"
#include "translate/BlockTranslation.h"

namespace fusecvt::test {
namespace {

const std::vector<K> k6064All{K::Max7064S, K::Max7064AE, K::Max3064A, K::Max7064};
const std::vector<K> kAll{K::Max7032S, K::Max7032AE, K::Max3032A, K::Max7064S, K::Max7064AE, K::Max3064A, K::Max7128S,
                          K::Max7128AE, K::Max3128A, K::Max7032, K::Max7064, K::Max7128, K::Max7128E};

// PT 2 of macrocell lab*16+4 reads the row's complement column (or not).
struct RouteRow {
  std::vector<K> kinds;
  int lab, row, serving;  // serving: the pair row of LAB 7 - lab; -1: unpaired
  int pick;               // -1: none written
  int ptFuse;             // where the complement column lands
  int line, fuse;         // the line routed and its fuse when read (-1: erased)
  int park = -1;          // its fuse when no term reads it (-1: no parking)
  int extraLine = -1, extraFuse = -1;
};

TEST(BlocksRouting, PicksAndColumnsReachTheirLineAndFuse) {
  const std::vector<K> k32{K::Max7032AE, K::Max3032A, K::Max7032}, kSE{K::Max7128S, K::Max7128E},
      kSp{K::Max7128S, K::Max3128A, K::Max7128E}, kP{K::Max7128};
  const RouteRow rows[] = {
      // QPL6032: only the 7032S parks; odd lines take the complement at 2u.
      {{K::Max7032S}, 0, 0, -1, 0, 61, 30, 1, 3}, {k32, 1, 12, -1, 3, 46, 23, 0, -1}, {k32, 0, 35, -1, 1, 17, 8, 4, -1},
      {{K::Max7032AE}, 0, 10, -1, 3, 42, 21, 3, -1}, {{K::Max7032S, K::Max7032AE}, 0, 27, -1, -1, 1, 0, -1, -1},
      // QPL6064: fuse 8 - position, every kind parks.
      {k6064All, 2, 0, -1, 0, 1, 0, 3, 8},   {k6064All, 2, 18, -1, 3, 3, 1, 1, 8}, {k6064All, 2, 6, -1, 3, 25, 12, 0, 8},
      {k6064All, 2, 35, -1, 4, 75, 37, 8, 1}, {k6064All, 2, 22, -1, 6, 19, 9, 6, 1},
      {{K::Max7064S, K::Max3064A}, 2, 0, -1, -1, 1, 0, -1, -1},
      // QPL6128: primary line in LABs 0..3, secondary in 4..7, swapped by a pair row.
      {kSE, 0, 0, -1, 0, 69, 34, 10, 23}, {kSE, 7, 0, -1, 0, 33, 16, 10, 2}, {kSE, 1, 19, 27, 7, 35, 17, 11, 2},
      {kSE, 6, 18, 27, 7, 71, 35, 11, 23}, {kSE, 4, 5, -1, 10, 13, 6, 3, 0},
      // Special placements: their own line and one extra fuse.
      {kSp, 0, 5, -1, 10, 77, 38, 3, 12, 24, 23},  {kSp, 6, 15, 5, 10, 77, 38, 3, 12, 24, 23},
      {kSp, 3, 32, -1, 10, 79, 39, 3, 12, 25, 3},  {kSp, 1, 24, 34, 10, 75, 37, 2, 12, 3, 23},
      {kSp, 5, 7, -1, 10, 73, 36, 2, 12, 2, 23},   {kSp, 0, 6, -1, 12, 73, 36, 23, 12, 22, 9},
      {kSp, 4, 6, -1, 12, 73, 36, 23, 12, 4, 8},   {kSp, 7, 33, -1, 12, 73, 36, 23, 12, 5, 8},   {kSp, 3, 33, -1, 12, 73, 36, 23, 12, 23, 26},
      {kSp, 2, 15, 7, 10, 73, 36, 2, 12, 2, 23},   {kSp, 2, 2, 10, 12, 73, 36, 23, 12, 30, 0},  {kSp, 6, 19, -1, 12, 73, 36, 23, 12, 31, 0},
      {{K::Max7128S}, 0, 6, -1, -1, 45, 22, -1}, {{K::Max7128E}, 0, 27, -1, 13, 71, 35, -1},
      // The plain 7128: no pairing; its terms read the "none" of row 6 on
      // line 39 while line 36 is routed (and, read by nobody, parked).
      {kP, 6, 5, -1, 10, 77, 38, 3, 12, 24, 23}, {kP, 1, 32, -1, 10, 79, 39, 3, 12, 25, 3}, {kP, 5, 32, -1, 10, 79, 39, 3, 12, 25, 3},
      {kP, 4, 0, -1, 0, 69, 34, 10, 23},         {kP, 5, 34, -1, 10, 43, 21, 2, 0},
      {kP, 2, 6, -1, 12, 79, 36, 12, 12, 22, 9}, {kP, 4, 27, -1, 15, 71, 35, -1},
      {kP, 0, 5, -1, 4, 49, 24, 3, 23}, {kP, 4, 33, -1, 12, 79, 36, 12, 12, 23, 26},
  };
  for (const RouteRow& r : rows) {
    for (K kind : r.kinds) {
      for (bool read : {true, false}) {
        SCOPED_TRACE(std::string(SourceKindName(kind)) + " LAB " + std::to_string(r.lab) + " row " +
                     std::to_string(r.row) + (read ? " read" : " unread"));
        Stage s(kind);
        if (r.pick >= 0) s.PickVia(r.lab, r.row, r.serving, r.pick);
        const int m = r.lab * 16 + 4;
        if (read) s.Col(m, 2, 2 * r.row + 1);
        s.Run({kTerms, kMacrocells, kUim});
        if (read) {
          EXPECT_EQ(s.Inputs(m, 2), Ones(80, {r.ptFuse}));
        }
        const int w = s.t->geometry().uimWidth;
        EXPECT_EQ(s.Uim(r.lab, r.line), Ones(w, {read || r.park < 0 ? r.fuse : r.park}));
        if (r.extraLine >= 0) {
          EXPECT_EQ(s.Uim(r.lab, r.extraLine), Ones(w, {r.extraFuse}));
        }
      }
    }
  }
}

// Stage 1 records the JTAG pins and the dedicated clock inputs read through a
// picked row (by column parity where the kind tells the polarities apart).
TEST(BlocksProductTerms, PinAndClockUseFlags) {
  using F = int PinUseFlags::*;
  const std::vector<K> k32{K::Max7032S, K::Max7032}, kSE{K::Max7128S, K::Max7128E};
  const F tdi = &PinUseFlags::tdiPinUsed, tdo = &PinUseFlags::tdoPinUsed, g1 = &PinUseFlags::gclk1TrueUsed,
          g1c = &PinUseFlags::gclk1ComplementUsed, g2 = &PinUseFlags::gclk2TrueUsed,
          g2c = &PinUseFlags::gclk2ComplementUsed, g3 = &PinUseFlags::gclk3Used;
  const struct {
    std::vector<K> kinds;
    int lab, row, serving, pick, column;
    F flag;  // null: none
  } rows[] = {
      {k32, 1, 20, -1, 3, 40, tdi}, {k32, 1, 27, -1, 1, 54, g1}, {k32, 1, 35, -1, 1, 71, g1c}, {k32, 1, 0, -1, 1, 0, g2},
      {k32, 1, 8, -1, 1, 17, g2c}, {k32, 1, 7, -1, 0, 14, g3},
      {{K::Max7032S}, 0, 0, -1, 0, 0, nullptr},  // F4: a JTAG macrocell's feedback
      {k6064All, 2, 31, -1, 4, 62, tdi}, {k6064All, 2, 27, -1, 7, 55, tdo}, {k6064All, 2, 11, -1, 3, 22, nullptr},
      {k6064All, 2, 33, -1, 3, 67, g1c}, {{K::Max7064S, K::Max3064A}, 3, 8, -1, 3, 17, g2c},
      {{K::Max7064}, 3, 8, -1, 3, 17, nullptr}, {k6064All, 3, 9, -1, 3, 18, g3}, {k6064All, 3, 15, -1, 3, 30, nullptr},
      {kSE, 2, 33, -1, 7, 67, g1c}, {{K::Max7128}, 2, 33, -1, 7, 67, g1}, {kSE, 2, 0, -1, 7, 0, g2},
      {{K::Max7128}, 2, 0, -1, 7, 0, nullptr}, {{K::Max7128S, K::Max7128}, 2, 31, -1, 6, 63, g3},
      {{K::Max7128AE}, 1, 19, 27, 7, 38, g1}, {{K::Max7128E}, 4, 14, 6, 7, 29, g2c},
  };
  const F all[] = {&PinUseFlags::pd1PinUsed, &PinUseFlags::pd2PinUsed, tdi, &PinUseFlags::tmsPinUsed,
                   &PinUseFlags::tckPinUsed, tdo, g1, g1c, g2, g2c, g3};
  for (const auto& r : rows) {
    for (K kind : r.kinds) {
      SCOPED_TRACE(std::string(SourceKindName(kind)) + " row " + std::to_string(r.row));
      Stage s(kind);
      s.PickVia(r.lab, r.row, r.serving, r.pick);
      s.Col(r.lab * 16 + 5, 1, r.column);
      s.Run({kTerms});
      for (F f : all) EXPECT_EQ(s.t->pinUse.*f, f == r.flag ? 1 : 0);
    }
  }
}

// PT 3 of macrocell lab*16+5 reads one clock column (S3 '0'); with -pinclk it
// becomes a pin clock on the line the clock code gives ('1' first, '0'
// second), or stays. `other`: row, pick and column through which macrocell
// lab*16+6 reads GCLK1, so that a clock flag is set whatever PT 3 reads.
TEST(BlocksPinClock, ProductTermClocksBecomePinClocks) {
  const struct {
    K kind;
    int lab, row, serving, pick, column;
    const char* code;  // null: the kind has none
    char value;        // 0: no conversion
    int other[3];
  } rows[] = {
      {K::Max7032S, 1, 27, -1, 1, 54, "001", '1', {}}, {K::Max7032S, 1, 27, -1, 1, 54, "010", 0, {}},
      {K::Max7032AE, 1, 35, -1, 1, 71, "011", '0', {}}, {K::Max7032AE, 1, 27, -1, 1, 55, "100", '1', {}},
      {K::Max3032A, 1, 8, -1, 1, 16, "110", '0', {}},  {K::Max7032S, 1, 0, -1, 1, 1, "110", '1', {}},
      {K::Max7032S, 1, 27, -1, 1, 54, "111", 0, {}},   {K::Max7032S, 1, 27, -1, 0, 54, "001", 0, {35, 1, 70}},
      {K::Max7032, 1, 35, -1, 1, 71, nullptr, '0', {}}, {K::Max7032, 1, 0, -1, 1, 0, nullptr, 0, {}},
      {K::Max7064S, 1, 35, -1, 3, 71, "100", '1', {}}, {K::Max7064AE, 1, 6, -1, 3, 12, "100", '0', {}},
      {K::Max3064A, 1, 6, -1, 3, 13, "110", '1', {}},  {K::Max7064AE, 1, 6, -1, 3, 13, "001", 0, {}},
      {K::Max7064AE, 1, 33, -1, 2, 66, "001", 0, {35, 3, 70}}, {K::Max7064, 1, 33, -1, 3, 67, nullptr, '0', {}},
      {K::Max7064, 1, 8, -1, 3, 16, nullptr, 0, {}},   {K::Max7128S, 2, 19, 27, 7, 38, "101", '1', {}},
      {K::Max7128S, 5, 23, 33, 7, 47, "011", '0', {}}, {K::Max7128S, 6, 18, 27, 7, 36, "011", '1', {}},
      {K::Max7128AE, 1, 10, 0, 7, 20, "100", '0', {}}, {K::Max3128A, 6, 14, 6, 7, 29, "110", '1', {}},
      {K::Max7128S, 4, 9, 0, 7, 18, "110", '0', {}},   {K::Max7128E, 3, 25, 33, 7, 50, "001", '1', {}},
      {K::Max7128S, 2, 19, -1, 7, 38, "001", 0, {27, 7, 54}}, {K::Max7128, 4, 27, -1, 7, 55, nullptr, '0', {}},
      {K::Max7128, 4, 0, -1, 7, 0, nullptr, 0, {}},     {K::Max7128, 4, 33, -1, 7, 67, nullptr, '0', {}},
      // GCLK1 through row 35 in the upper QPL6064 LABs and on the plain 7064;
      // GCLK2 through its own row 6 in either half of the QPL6128, and
      // through row 8 in the lower QPL6032 LAB.
      {K::Max7064S, 3, 35, -1, 3, 71, "100", '1', {}}, {K::Max7064, 2, 35, -1, 3, 70, nullptr, '1', {}},
      {K::Max7128S, 1, 6, -1, 7, 12, "100", '0', {}},  {K::Max7128S, 5, 6, -1, 7, 12, "001", '0', {}},
      {K::Max7032S, 0, 8, -1, 1, 16, "001", '0', {}},
  };
  for (const auto& r : rows) {
    for (int variant = 0; variant < (r.value ? 5 : 1); ++variant) {  // then S3 '1', two inputs, no -pinclk, S5 '0'
      SCOPED_TRACE(std::string(SourceKindName(r.kind)) + " row " + std::to_string(r.row) + " code " +
                   (r.code ? r.code : "-") + " variant " + std::to_string(variant));
      Stage s(r.kind);
      const int m = r.lab * 16 + 5;
      s.PickVia(r.lab, r.row, r.serving, r.pick);
      s.Col(m, 3, r.column);
      s.src->mcConfig.at(m, 10) = variant == 1 ? '1' : '0';
      if (variant == 2) s.Col(m, 3, 80);
      if (variant == 4) s.src->mcConfig.at(m, 5) = '0';
      if (r.other[2]) {
        s.Pick(r.lab, r.other[0], r.other[1]);
        s.Col(m + 1, 0, r.other[2]);
      }
      if (r.code) WriteClockCode(*s.src, r.code);
      s.run.options.pinClock = variant == 3 ? 0 : 1;
      s.Run({kTerms, kMacrocells});
      const bool converted = r.value && variant == 0;
      EXPECT_EQ(s.run.outcome.ptClockConverted, converted);
      const std::string b = s.Bits(m);
      EXPECT_EQ(std::string() + b[5] + b[12], converted ? "00" : variant == 4 ? "01" : "11");
      if (converted) {
        EXPECT_EQ(std::string() + b[7] + b[19], std::string(2, r.value));
      }
      EXPECT_EQ(s.Inputs(m, 3) == std::string(80, '0'), converted);
    }
  }
}

// Stage 3: an OE PIA pick (or, on the plain kinds, an output-enable code of
// one of the package's records) refills one GOE with one fuse; the others
// keep the fresh target's defaults.
TEST(BlocksGlobalOe, PicksAndPlainCodesSetTheirGoe) {
  const struct {
    K kind;
    int pins, record;
    const char* text;
    int goe, fuse;  // goe -1: nothing changes; fuse -1: the GOE is refilled only
  } rows[] = {
      {K::Max7032S, 44, 0, "10111", 4, 0},      {K::Max7032S, 44, 0, "11101", 4, 4},
      {K::Max7032S, 44, 0, "10011", 4, 0},      {K::Max7032AE, 44, 2, "10110", 0, 4},
      {K::Max3032A, 44, 5, "11011", 5, 2},      {K::Max7032S, 44, 0, "11110", 4, -1},
      {K::Max7032, 44, 3, "01", 1, 0},          {K::Max7032, 44, 31, "10", 4, 0},
      {K::Max7064S, 44, 0, "110110111", 0, 4},  {K::Max7064AE, 44, 1, "111110110", 2, 8},
      {K::Max3064A, 44, 3, "111111101", 4, 7},  {K::Max7064S, 44, 5, "000000001", 5, 6},
      {K::Max7064AE, 44, 4, "111111110", -1, 0}, {K::Max7064, 44, 31, "10", 0, 0},
      {K::Max7064, 44, 32, "10", -1, 0},        {K::Max7064, 68, 47, "01", 1, 0},
      {K::Max7064, 68, 48, "01", -1, 0},        {K::Max7064, 160, 0, "10", -1, 0},
      {K::Max7128S, 84, 0, "11011111011111", 0, 0}, {K::Max7128AE, 84, 1, "01111111111111", 3, 9},
      {K::Max3128A, 84, 5, "11111111111101", 5, 9}, {K::Max7128S, 84, 4, "11111111111110", -1, 0},
      {K::Max7128E, 84, 1, "10010", 3, 6},      {K::Max7128E, 84, 4, "11011", -1, 0},
      {K::Max7128, 84, 63, "10", 0, 0},         {K::Max7128, 84, 64, "10", -1, 0},
      {K::Max7128, 100, 79, "01", 3, 10},       {K::Max7128, 68, 0, "10", -1, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(SourceKindName(r.kind)) + " " + std::to_string(r.pins) + " " + r.text);
    Stage s(r.kind, r.pins);
    const bool plain = PickCodeWidth(r.kind) && r.kind != K::Max7128E;
    s.Set(plain ? s.src->outputEnable : s.src->oePia, r.record, r.text);
    const std::unique_ptr<BlockTargetImage> fresh = TargetFor(*s.src);
    s.Run({kGlobalOe});
    for (int e = 0; e < 6; ++e) {
      const int w = fresh->geometry().goeWidth;
      EXPECT_EQ(s.Goe(e), e == r.goe ? Ones(w, {r.fuse}) : std::string(fresh->goeMux.row(e), w)) << e;
    }
  }
}

// Stage 4's clock code and stage 5's unsupported bits: one box per field
// holding a '0' (the 7128E: per '0'; unknownBits[27]: the console only).
TEST(BlocksUnsupportedBits, BoxesAndClockCodeTexts) {
  const struct {
    K kind;
    const char* code;  // null: no clock step
    std::vector<int> unknownZeros, remainingZeros;
    int consoleBoxes, reportBoxes;
    const char* clockBits;
    const char* text;  // console text of stage 4
  } rows[] = {
      {K::Max7032S, "001", {}, {}, 0, 0, "010110", ""},
      {K::Max7032S, "011", {}, {6}, 1, 1, "111110", ""},
      {K::Max7032AE, "000", {0, 6}, {}, 1, 1, "111110", "Illegal GCLK\n"},
      {K::Max3032A, "010", {3}, {0}, 2, 2, "011111", ""},
      {K::Max7064AE, "111", {}, {0, 1}, 1, 1, "111110", "Illegal GCLK\n"},
      {K::Max3064A, "100", {2}, {4}, 2, 2, "010111", ""},
      {K::Max7128S, "101", {4, 9}, {}, 1, 1, "011110", ""},
      {K::Max7128S, "110", {10, 26}, {}, 0, 0, "010011", ""},
      {K::Max7128S, "111", {27}, {}, 1, 0, "111110", "Illegal unknown bits\n"},
      {K::Max7128AE, "001", {5, 27}, {}, 2, 1, "010110", ""},
      {K::Max7128E, "000", {3, 7}, {}, 2, 2, "111110", ""},
      {K::Max7128, nullptr, {}, {}, 0, 0, "111110", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(SourceKindName(r.kind)) + " " + (r.code ? r.code : "-"));
    Stage s(r.kind, 84);
    if (r.code) WriteClockCode(*s.src, r.code);
    for (int i : r.unknownZeros) s.src->unknownBits.at(i) = '0';
    for (int i : r.remainingZeros) s.src->remainingBits.at(i) = '0';
    s.Run({kTerms, kOptions, kUim});
    std::string console = r.text, report;
    for (int i = 0; i < r.consoleBoxes; ++i) console += ErrorBox(63);
    for (int i = 0; i < r.reportBoxes; ++i) report += ErrorBox(62);
    EXPECT_EQ(s.console.str(), console);
    EXPECT_EQ(s.report.str(), report);
    EXPECT_EQ(s.Config(15, 6), r.clockBits);
  }
}

// Stage 2's fix-ups of MC 21 (mcConfig 0..9 as given): S11 drops to '0' when
// S6 '1', S10 '0' and a term of its block reads its foldback other than with
// foldbacks 0 and 1 together; a clock term that S5 '0' and S12 '1' leave
// empty is switched off (S12 '0', PT 3 all '0').
TEST(BlocksMacrocells, FoldbackAndClockTermFixUps) {
  const struct {
    const char* mc;
    int reader, pt;
    std::vector<int> columns;
    char s11, s12;
  } rows[] = {
      {"1111111101", 18, 1, {77}, '0', '1'}, {"1111111101", 18, 1, {72, 73, 77}, '1', '1'},
      {"1111111101", 21, 4, {72, 77}, '0', '1'}, {"1111111101", 2, 1, {77}, '1', '1'},
      {"1111111111", 18, 1, {77}, '1', '1'}, {"1111111001", 18, 1, {77}, '1', '1'},
      {"1111101010", -1, 0, {}, '0', '0'}, {"1111101010", 21, 3, {80}, '0', '1'}, {"1111111010", -1, 0, {}, '0', '1'},
      {"1111111100", 18, 1, {77}, '0', '1'}};
  for (K kind : kAll) {
    for (const auto& r : rows) {
      SCOPED_TRACE(std::string(SourceKindName(kind)) + " " + r.mc + " reader " + std::to_string(r.reader));
      Stage s(kind);
      IdleAll(*s.src);
      s.Set(s.src->mcConfig, 21, r.mc);
      for (int c : r.columns) s.Col(r.reader, r.pt, c);
      s.Run({kTerms, kMacrocells});
      EXPECT_EQ(std::string() + s.Bits(21)[11] + s.Bits(21)[12], std::string() + r.s11 + r.s12);
      EXPECT_EQ(s.Inputs(21, 3), std::string(80, r.s12 == '0' ? '0' : '1'));  // cleared with S12
    }
  }
}

// The device options from the command line, over every kind of an idle
// erased source: S8 S20 S22 of MC 0 (null: left to the source), configBits
// 6..11 and 28..30, the JTAG bit, whether the TMS macrocell lost its output
// and the console. `used`: a pin flag raised before stage 4.
TEST(BlocksDeviceOptions, OptionsSetTheirBits) {
  const struct {
    std::vector<std::string> args;
    int PinUseFlags::*used;
    const char *s, *cfg;
    char jtag;
    std::string text;
  } rows[] = {
      {{"-mc_power", "off", "-open_out", "on", "-slew", "slow", "-jtag", "off"}, nullptr, "011", "111000111", '0', ""},
      {{"-mc_power", "on", "-open_out", "off", "-slew", "fast", "-jtag", "on"}, nullptr, "100", "111000111", '1', ""},
      {{"-power_reset", "-pin_keep", "-gclk1_itd", "-gclk2_itd", "-gclk3_itd", "-jtag", "off"},
       nullptr, nullptr, "011111110", '0', ItdOff(1) + ItdOff(2) + ItdOff(3)},
      {{"-gclk2_itd", "-jtag", "off"}, &PinUseFlags::gclk2ComplementUsed, nullptr, "111000111", '0',
       kGclk2ItdKept},
      {{"-tdi_pullup", "-tms_pullup", "-jtag", "off"}, nullptr, nullptr, "100000111", '1', ""},
      {{"-tdi_pullup", "-tms_pullup", "-jtag", "off"}, &PinUseFlags::tckPinUsed, nullptr,
       "111000111", '0', PullupRefusal("TDI") + PullupRefusal("TMS")},
      {{"-tms_pullup", "-jtag", "on"}, &PinUseFlags::tdoPinUsed, nullptr, "110000111", '1', JtagOn("")},
  };
  for (const auto& r : rows) {
    for (K kind : kAll) {
      SCOPED_TRACE(std::string(SourceKindName(kind)) + " row " + std::to_string(&r - rows));
      Stage s(kind, kind == K::Max7128 || kind == K::Max7128E ? 84 : 44);
      IdleAll(*s.src);
      if (!PickCodeWidth(kind) || kind == K::Max7128E) WriteClockCode(*s.src, "001");
      std::vector<std::string> args{"fusecvt"};
      args.insert(args.end(), r.args.begin(), r.args.end());
      args.push_back("design.pof");
      ASSERT_EQ(ParseCommandLine(args, s.run), CONTINUE);
      s.Run({kTerms, kMacrocells});
      if (r.used) s.t->pinUse.*r.used = 1;
      s.t->ApplyDeviceOptions(s.run.Stages());
      const std::string b = s.Bits(0);
      EXPECT_EQ(r.s ? std::string() + b[8] + b[20] + b[22] : "", r.s ? r.s : "");
      EXPECT_EQ(s.Config(6, 6) + s.Config(28, 3), r.cfg);
      EXPECT_EQ(s.t->jtagBit, r.jtag);
      const int tms = s.src->macrocells() == 32 ? 8 : s.src->macrocells() == 64 ? 31 : 47;
      EXPECT_EQ(s.Bits(tms).substr(0, 3), r.jtag == '1' ? "000" : "111");
      EXPECT_EQ(s.console.str(), r.text);
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
