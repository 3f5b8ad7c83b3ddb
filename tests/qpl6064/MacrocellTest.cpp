// Stage 2 of QPL6064: the S0 S1 S2 encoding of the output-enable selects, the
// plain 7064's pin records per package, the special pins found after the
// macrocell loop and the pin-clock conversions.

#include <gtest/gtest.h>

#include <set>

#include "Stage6064.h"
#include "translate/Qpl6064Stages.h"

namespace fusecvt::test {
namespace {

// Source select -> S0 S1 S2 on this target: 1 + the GOE that carries the
// signal (OE1..OE6 reach GOE 0, 2, 1, 4, 3, 5); 000 never, 111 always.
const struct {
  const char* select;
  const char* bits;
} kSelects[] = {{"001", "000"}, {"111", "111"}, {"101", "001"}, {"011", "011"},
                {"000", "010"}, {"100", "101"}, {"010", "100"}, {"110", "110"}};

TEST(Qpl6064TranslateMacrocells, OutputEnableSelectsEncodeTheirGoe) {
  for (SourceKind kind : kSelect6064Kinds) {
    Stage6064 s(kind);
    for (int i = 0; i < 8; ++i) {
      s.Select(i, kSelects[i].select);
      s.Select(56 + i, kSelects[i].select);
    }
    s.Run(2);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(s.Sel(i), kSelects[i].bits) << SourceKindName(kind) << " " << kSelects[i].select;
      EXPECT_EQ(s.Sel(56 + i), kSelects[i].bits) << SourceKindName(kind) << " MC " << 57 + i;
    }
  }
}

TEST(Qpl6064TranslateMacrocells, SBitsBesideTheSelectFollowTheSourceFamily) {
  // mc[0..13] = 0 1 1 0 1 0 0 1 1 0 1 0 1 0.
  Stage6064 ae(SourceKind::Max7064AE);
  ae.SetRow(ae.src->mcConfig, 5, "01101001101010");
  ae.SetRow(ae.src->ioConfig, 5, "1011001");
  ae.Run(2);
  // Select io6 io5 io4 = 100 (OE4) -> 101; S3 mc10=1, S4 io1=0, S5 mc5=0,
  // S6 mc7=1, S7 mc12=1, S8 mc11=0; S9..S16 = 0 1 0 0 1 1 1 1; S17 1,
  // S18 mc10=1, S19 mc12=1, S20 !io2=0; S21 0 (S9 '0' routes PT 1); S22 io0=1.
  EXPECT_EQ(ae.Bits(5), "101" "100110" "01001111" "1110" "011");

  Stage6064 s(SourceKind::Max7064S);
  s.SetRow(s.src->mcConfig, 5, "0110100110101");
  s.SetRow(s.src->ioConfig, 5, "101010");
  s.Run(2);
  // Select io0..io2 = 101 (OE1) -> 001; S4 io4=1, S20 !io5=1, S22 io3=0.
  EXPECT_EQ(s.Bits(5), "001" "110110" "01001111" "1111" "001");

  Stage6064 p(SourceKind::Max7064);
  p.SetRow(p.src->mcConfig, 5, "011010011010");
  p.SetRow(p.src->outputEnable, 5, "10");
  p.Run(2);
  // OE1 "10" -> 001; S4 1, S7 1, S8 !mc11=1, S19 1, S20 '0' (open_out OFF),
  // S22 !mc11=1 (slew AUTO).
  EXPECT_EQ(p.Bits(5), "001" "110111" "01001111" "1110" "011");
}

TEST(Qpl6064TranslateMacrocells, ThePlainTwoBitCodes) {
  // S0 = c0 AND c1, S1 = c1, S2 = c0: GND 00, OE2 01, OE1 10, VCC 11.
  for (int pins : {84, 100}) {
    Stage6064 s(SourceKind::Max7064, "EPM7064LC84", pins);
    const char* codes[4] = {"00", "01", "10", "11"};
    const char* bits[4] = {"000", "010", "001", "111"};
    for (int m = 0; m < 64; ++m) s.SetRow(s.src->outputEnable, m, codes[m % 4]);
    s.Run(2);
    for (int m = 0; m < 64; ++m) EXPECT_EQ(s.Sel(m), bits[m % 4]) << pins << " MC " << m + 1;
  }
}

TEST(Qpl6064TranslateMacrocells, SmallPackagesGiveRecordsToPinnedMacrocellsInOrder) {
  const std::set<int> pinned44 = {1,  3,  4,  5,  8,  11, 14, 16, 17, 19, 20,
                                  21, 24, 25, 30, 32, 33, 35, 36, 37, 40, 41,
                                  46, 48, 49, 51, 52, 53, 56, 57, 62, 64};
  // 68 pins: every block lacks the pins of its 2nd, 7th, 10th and 15th macrocell.
  auto pinned68 = [](int mc) {
    const int p = (mc - 1) % 16;
    return p != 1 && p != 6 && p != 9 && p != 14;
  };
  for (int pins : {44, 68}) {
    const int records = pins == 44 ? 32 : 48;
    Stage6064 s(SourceKind::Max7064, pins == 44 ? "EPM7064LC44" : "EPM7064LC68", pins);
    for (int i = 0; i < 64; ++i) s.SetRow(s.src->outputEnable, i, i < records ? "00" : "10");
    s.SetRow(s.src->outputEnable, 1, "10");            // second pinned macrocell: MC 3
    s.SetRow(s.src->outputEnable, records - 1, "01");  // last one: MC 64
    s.Run(2);
    for (int mc = 1; mc <= 64; ++mc) {
      const bool has = pins == 44 ? pinned44.count(mc) > 0 : pinned68(mc);
      std::string want = has ? "000" : "111";
      if (mc == 3) want = "001";
      if (mc == 64) want = "010";
      EXPECT_EQ(s.Sel(mc - 1), want) << pins << " pins, MC " << mc;
    }
  }
}

TEST(Qpl6064TranslateMacrocells, OtherPinCountsReadNoRecord) {
  Stage6064 s(SourceKind::Max7064, "EPM7064XX160", 160);
  for (int i = 0; i < 64; ++i) s.SetRow(s.src->outputEnable, i, "00");
  s.SetRow(s.src->mcConfig, 0, "011010011010");
  s.Run(2);
  for (int m = 0; m < 64; ++m) EXPECT_EQ(s.Sel(m), "111") << "MC " << m + 1;
  EXPECT_EQ(s.Bits(0).substr(3), "110111" "01001111" "1110" "011") << "the rest as usual";
}

TEST(Qpl6064TranslateMacrocells, PinRecordCounts) {
  EXPECT_EQ(qpl6064::PlainPinRecordsOf(44).count, 32);
  EXPECT_EQ(qpl6064::PlainPinRecordsOf(68).count, 48);
  EXPECT_EQ(qpl6064::PlainPinRecordsOf(84).count, 64);
  EXPECT_EQ(qpl6064::PlainPinRecordsOf(100).count, 64);
  EXPECT_EQ(qpl6064::PlainPinRecordsOf(160).count, 0);
  EXPECT_EQ(qpl6064::PlainPinRecordsOf(0).count, 0);
  // The special pins are bonded out in every package.
  for (int pins : {44, 68}) {
    const std::vector<int> index = qpl6064::PlainPinRecordsOf(pins).index;
    for (int mc : {3, 35, 8, 32, 48, 56}) {
      EXPECT_GE(index[static_cast<std::size_t>(mc - 1)], 0) << pins << " MC " << mc;
    }
  }
}

TEST(Qpl6064TranslateMacrocells, PowerDownPinsAreMc3AndMc35) {
  for (SourceKind kind : kSelect6064Kinds) {
    for (int mc : {3, 35, 8, 32}) {
      Stage6064 s(kind);
      s.IdleAll();
      s.Select(mc - 1, "001");  // GND: S0..S2 000, the pin is in use
      s.src->jtagBit = '1';
      s.Run(2);
      const std::string uses = s.Uses();
      EXPECT_EQ(uses[0], mc == 3 ? '1' : '0') << SourceKindName(kind) << " MC " << mc;
      EXPECT_EQ(uses[1], mc == 35 ? '1' : '0') << SourceKindName(kind) << " MC " << mc;
    }
  }
}

TEST(Qpl6064TranslateMacrocells, JtagFlagsFromThePinsWithoutWarnings) {
  // Each JTAG macrocell once driven (select GND) and once only read by the
  // logic through the PIA (stage 1 sets the flag, the pin itself is idle).
  const struct {
    int mc, row, pick;
    int flag;  // index in Uses()
  } pins[] = {{8, 31, 4, 2}, {32, 1, 5, 3}, {48, 0, 4, 4}, {56, 27, 7, 5}};
  for (SourceKind kind : kAll6064Kinds) {
    for (char jtagBit : {'0', '1'}) {
      // 7064S and plain 7064 always take the flags from the pins; 7064AE and
      // 3064A only when the source's JTAG bit is '0'.
      const bool recomputed =
          kind == SourceKind::Max7064S || kind == SourceKind::Max7064 || jtagBit == '0';
      for (const auto& p : pins) {
        for (bool driven : {true, false}) {
          Stage6064 s(kind);
          s.IdleAll();
          s.src->jtagBit = jtagBit;
          if (driven) {
            if (kind == SourceKind::Max7064) {
              s.SetRow(s.src->outputEnable, p.mc - 1, "00");
            } else {
              s.Select(p.mc - 1, "001");
            }
          } else {
            s.Pick(1, p.row, p.pick);
            s.Connect(20, 0, 2 * p.row);
          }
          s.Run(2);
          const char want = recomputed ? (driven ? '1' : '0') : (driven ? '0' : '1');
          EXPECT_EQ(s.Uses()[static_cast<std::size_t>(p.flag)], want)
              << SourceKindName(kind) << " jtagBit " << jtagBit << " MC " << p.mc
              << (driven ? " driven" : " read");
          EXPECT_EQ(s.console.str(), "");
        }
      }
    }
  }
}

TEST(Qpl6064TranslateMacrocells, The3064AKeepsTheSelectsOfMc12AndMc22) {
  Stage6064 s(SourceKind::Max3064A);
  s.Select(11, "101");
  s.Select(21, "011");
  s.Run(2);
  EXPECT_EQ(s.Sel(11), "001");
  EXPECT_EQ(s.Sel(21), "011");
}

// A macrocell whose PT 4 reads only column `column` through row `row` (pick
// `pick`), with S3 '0' and S5 '1' so that the conversion may act.
void ClockTerm(Stage6064& s, int m, int row, int pick, int column) {
  s.Pick(m / 16, row, pick);
  s.Connect(m, 3, column);
  s.src->mcConfig.at(m, 10) = '0';  // S3
  s.run.options.pinClock = 1;
}

struct Converted {
  bool converted;
  char x;  // S7 = S19 when converted
};

void ExpectClock(const Stage6064& s, int m, Converted want, const std::string& what) {
  const std::string b = s.Bits(m);
  if (want.converted) {
    EXPECT_EQ(b[12], '0') << what;
    EXPECT_EQ(b[5], '0') << what;
    EXPECT_EQ(b[7], want.x) << what;
    EXPECT_EQ(b[19], want.x) << what;
    EXPECT_EQ(s.Inputs(m, 3), std::string(80, '0')) << what;
    EXPECT_EQ(s.Foldbacks(m, 3), std::string(16, '0')) << what;
    EXPECT_EQ(s.run.options.ptClockConverted, 1) << what;
  } else {
    EXPECT_EQ(b[12], '1') << what;
    EXPECT_EQ(b[5], '1') << what;
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << what;
    EXPECT_NE(s.Inputs(m, 3), std::string(80, '0')) << what;
  }
}

TEST(Qpl6064TranslateMacrocells, PtClocksBecomePinClocksByTheClockCode) {
  const struct {
    int row, column;
    const char* code;
    Converted want;
  } cases[] = {
      {33, 66, "001", {true, '1'}},   // GCLK1 true, g 1
      {35, 70, "101", {true, '1'}},   // GCLK1 true, g 5
      {33, 66, "010", {false, 0}},    // GCLK1 true, g 2: no line carries it
      {33, 67, "011", {true, '0'}},   // GCLK1 complement, g 3: second line
      {35, 71, "100", {true, '1'}},   // GCLK1 complement, g 4
      {6, 12, "100", {true, '0'}},    // GCLK2 true, g 4
      {8, 16, "110", {true, '0'}},    // GCLK2 true, g 6
      {8, 17, "010", {true, '0'}},    // GCLK2 complement, g 2
      {6, 13, "110", {true, '1'}},    // GCLK2 complement, g 6
      {6, 13, "001", {false, 0}},     // GCLK2 complement, g 1
  };
  for (SourceKind kind : kSelect6064Kinds) {
    for (const auto& c : cases) {
      Stage6064 s(kind);
      ClockTerm(s, 17, c.row, 3, c.column);
      s.SetFlat(s.src->globalClocks, c.code);
      s.Run(2);
      ExpectClock(s, 17, c.want,
                  std::string(SourceKindName(kind)) + " column " + std::to_string(c.column) +
                      " code " + c.code);
    }
  }
}

TEST(Qpl6064TranslateMacrocells, PtClockConversionNeedsItsConditions) {
  // S3 '1', S5 '0', a second input and a pick other than the clock each stop it.
  for (int variant = 0; variant < 5; ++variant) {
    Stage6064 s(SourceKind::Max7064AE);
    ClockTerm(s, 2, 33, 3, 66);
    s.SetFlat(s.src->globalClocks, "001");
    if (variant == 1) s.src->mcConfig.at(2, 10) = '1';
    if (variant == 2) s.Connect(2, 3, 0);
    if (variant == 3) s.Pick(0, 33, 2);  // F61
    if (variant == 4) s.run.options.pinClock = 0;
    s.Run(2);
    ExpectClock(s, 2, {variant == 0, '1'}, "variant " + std::to_string(variant));
  }
}

TEST(Qpl6064TranslateMacrocells, ThePlain7064ConvertsGclk1Only) {
  const struct {
    int row, pick, column;
    Converted want;
  } cases[] = {
      {33, 3, 66, {true, '1'}},  // true mark
      {35, 3, 70, {true, '1'}},
      {33, 3, 67, {true, '0'}},  // complement mark
      {35, 3, 71, {true, '0'}},
      {33, 4, 66, {false, 0}},   // code 4 is P18, not GCLK1
      {8, 3, 16, {false, 0}},    // GCLK2 is never converted
      {6, 3, 13, {false, 0}},
  };
  for (const auto& c : cases) {
    Stage6064 s(SourceKind::Max7064);
    ClockTerm(s, 40, c.row, c.pick, c.column);
    s.Run(2);
    ExpectClock(s, 40, c.want, "column " + std::to_string(c.column));
  }
}

}  // namespace
}  // namespace fusecvt::test
