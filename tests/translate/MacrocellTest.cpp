// Stage 2 of QPL6032: S0..S23 per source kind, the option overrides, the
// foldback and clock-term fix-ups, the pin-clock conversion and the special
// pins found after the macrocell loop.

#include <gtest/gtest.h>

#include "StageFixture.h"

namespace fusecvt::test {
namespace {

// mc[0..13] = 0 1 1 0 1 0 0 1 1 0 1 0 1 0 (the plain 7032 takes the first 12).
const char* const kMc = "01101001101010";

TEST(Qpl6032TranslateMacrocells, SBitsOf7032S) {
  Stage6032 s(SourceKind::Max7032S);
  s.SetField(s.src->mcConfig, 0, "0110100110101");
  s.SetField(s.src->ioConfig, 0, "101010");
  s.Run(2);
  // S0..S2 OE1 101 -> 101; S3 mc10=1, S4 io4=1, S5 mc5=0, S6 mc7=1, S7 mc12=1,
  // S8 mc11=0; S9..S16 mc0 mc8 mc9 mc3 mc1 mc4 !mc6 mc2 = 0 1 0 0 1 1 1 1;
  // S17 1, S18 mc10=1, S19 mc12=1, S20 !io5=1; S21 0 (S9 = '0' routes PT 1);
  // S22 io3=0, S23 1.
  EXPECT_EQ(s.Bits(0), "101" "110110" "01001111" "1111" "001");
}

TEST(Qpl6032TranslateMacrocells, SBitsOf7032AEAnd3032A) {
  for (SourceKind kind : {SourceKind::Max7032AE, SourceKind::Max3032A}) {
    Stage6032 s(kind);
    s.SetField(s.src->mcConfig, 0, kMc);
    s.SetField(s.src->ioConfig, 0, "1011001");
    s.Run(2);
    if (kind == SourceKind::Max7032AE) {
      // Select io6 io5 io4 = 100 (OE4) -> 100; S4 io1=0; S20 !io2=0; S22 io0=1.
      EXPECT_EQ(s.Bits(0), "100" "100110" "01001111" "1110" "011");
    } else {
      // Select io5 io4 io3 = 001 (GND) -> 000; S4 '1'; S20 !io1=1; S22 io0=1.
      EXPECT_EQ(s.Bits(0), "000" "110110" "01001111" "1111" "011");
    }
  }
}

TEST(Qpl6032TranslateMacrocells, SBitsOfThePlain7032) {
  Stage6032 s(SourceKind::Max7032);
  s.run.options.slew = AUTO;
  s.run.options.openOut = AUTO;
  s.SetField(s.src->mcConfig, 0, "011010011010");
  s.SetField(s.src->outputEnable, 0, "10");
  s.Run(2);
  // OE1 "10" -> 101; S4 1, S7 1, S8 !mc11=1, S19 1, S20 AUTO '0', S22 !mc11=1.
  EXPECT_EQ(s.Bits(0), "101" "110111" "01001111" "1110" "011");
}

TEST(Qpl6032TranslateMacrocells, OutputEnableSelectEncodings) {
  // Source select -> S0 S1 S2: GND 001 -> 000, VCC 111 -> 111, OE1 101 -> 101,
  // OE2 011 -> 010, OE3 000 -> 001, OE4 100 -> 100, OE5 010 -> 011, OE6 110 -> 110.
  const char* select[8] = {"001", "111", "101", "011", "000", "100", "010", "110"};
  const char* expected[8] = {"000", "111", "101", "010", "001", "100", "011", "110"};
  // The select bits sit at io[0..2] (7032S), io[6] io[5] io[4] (7032AE) and
  // io[5] io[4] io[3] (3032A).
  struct Kind {
    SourceKind kind;
    int pos[3];
  } kinds[] = {{SourceKind::Max7032S, {0, 1, 2}},
               {SourceKind::Max7032AE, {6, 5, 4}},
               {SourceKind::Max3032A, {5, 4, 3}}};
  for (const Kind& k : kinds) {
    Stage6032 s(k.kind);
    for (int i = 0; i < 8; ++i) {
      for (int b = 0; b < 3; ++b) s.src->ioConfig.at(i, k.pos[b]) = select[i][b];
    }
    s.Run(2);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(s.Sel(i), expected[i]) << SourceKindName(k.kind) << " select " << select[i];
    }
  }
  // The plain 7032's two-bit code: 00 -> 000, 01 -> 010, 10 -> 101, 11 -> 111;
  // another character leaves the defaults (111).
  Stage6032 p(SourceKind::Max7032);
  const char* codes[5] = {"00", "01", "10", "11", "0x"};
  const char* sel[5] = {"000", "010", "101", "111", "111"};
  for (int i = 0; i < 5; ++i) p.SetField(p.src->outputEnable, i, codes[i]);
  p.IdleAll();
  p.Run(2);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(p.Sel(i), sel[i]) << codes[i];
}

TEST(Qpl6032TranslateMacrocells, OptionsOverrideS8S20S22) {
  struct Case {
    OptionState mcPower, openOut, slew;
    char s8, s20, s22;
  } cases[] = {
      // AUTO: mc11 = '0' -> S8 '0'; io5 = '0' -> S20 '1'; io3 = '0' -> S22 '0'.
      {AUTO, AUTO, AUTO, '0', '1', '0'},
      {ON, ON, SLOW, '1', '1', '1'},
      {OFF, OFF, FAST, '0', '0', '0'},
      // A value the option does not list leaves the default (S20 '0', S22 '1').
      {AUTO, UNSET, UNSET, '0', '0', '1'},
  };
  for (const Case& c : cases) {
    Stage6032 s(SourceKind::Max7032S);
    s.run.options.mcPower = c.mcPower;
    s.run.options.openOut = c.openOut;
    s.run.options.slew = c.slew;
    for (int m = 0; m < 32; ++m) {
      s.src->mcConfig.at(m, 11) = '0';
      s.src->ioConfig.at(m, 5) = '0';
      s.src->ioConfig.at(m, 3) = '0';
    }
    s.Run(2);
    for (int m : {0, 17, 31}) {
      const std::string b = s.Bits(m);
      EXPECT_EQ(b[8], c.s8) << m;
      EXPECT_EQ(b[20], c.s20) << m;
      EXPECT_EQ(b[22], c.s22) << m;
    }
  }
  // The plain 7032: mcPower and slew AUTO read !mc11; openOut UNSET keeps S20.
  Stage6032 p(SourceKind::Max7032);
  p.run.options.slew = AUTO;
  p.run.options.openOut = ON;
  p.src->mcConfig.at(3, 11) = '0';
  p.Run(2);
  EXPECT_EQ(p.Bits(3)[8], '1');
  EXPECT_EQ(p.Bits(3)[22], '1');
  EXPECT_EQ(p.Bits(2)[8], '0');
  EXPECT_EQ(p.Bits(2)[22], '0');
  EXPECT_EQ(p.Bits(2)[20], '1');
}

TEST(Qpl6032TranslateMacrocells, S18CopiesOnlyBinaryCharacters) {
  Stage6032 s(SourceKind::Max7032S);
  s.src->mcConfig.at(0, 10) = '0';
  s.src->mcConfig.at(1, 10) = 'x';
  s.Run(2);
  EXPECT_EQ(s.Bits(0)[18], '0');
  EXPECT_EQ(s.Bits(0)[3], '0');
  EXPECT_EQ(s.Bits(1)[18], '1') << "default kept";
  EXPECT_EQ(s.Bits(1)[3], 'x') << "S3 copies whatever it finds";
}

TEST(Qpl6032TranslateMacrocells, S21MarksAMacrocellWithATermInUse) {
  Stage6032 s(SourceKind::Max7032S);
  s.IdleAll();
  s.Connect(6, 4, 80);  // MC 7: only PT 5, through an expander column
  s.Run(2);
  EXPECT_EQ(s.Bits(6)[21], '0');
  EXPECT_EQ(s.Bits(5)[21], '1');
}

TEST(Qpl6032TranslateMacrocells, FoldbackFixUpClearsS11) {
  // MC 6 (index 5) with S6 = mc7 = '1', S10 = mc8 = '0', S11 = mc9 = '1'.
  auto run = [](bool sameBlock, bool disabledReader, char s6) {
    Stage6032 s(SourceKind::Max7032AE);
    s.src->mcConfig.at(5, 7) = s6;
    s.src->mcConfig.at(5, 8) = '0';
    const int reader = sameBlock ? 12 : 28;
    s.Connect(reader, 2, 72 + 5);  // reads the foldback term of the LAB's 6th macrocell
    if (disabledReader) {
      s.Connect(reader, 2, 72);
      s.Connect(reader, 2, 73);
    }
    s.Run(2);
    return s.Bits(5)[11];
  };
  EXPECT_EQ(run(true, false, '1'), '0');
  EXPECT_EQ(run(true, true, '1'), '1') << "a term with foldback fuses 0 and 1 '0' does not count";
  EXPECT_EQ(run(false, false, '1'), '1') << "another block";
  EXPECT_EQ(run(true, false, '0'), '1') << "S6 = '0'";
}

TEST(Qpl6032TranslateMacrocells, ClockTermCleanUp) {
  Stage6032 s(SourceKind::Max7032S);
  // S5 = mc5 = '0', S12 = mc3 = '1', PT 4 unconnected: cleaned.
  s.src->mcConfig.at(2, 5) = '0';
  // The same with a PT 4 connection: kept.
  s.src->mcConfig.at(3, 5) = '0';
  s.Connect(3, 3, 86);
  s.Run(2);
  EXPECT_EQ(s.Bits(2)[12], '0');
  EXPECT_EQ(s.Inputs(2, 3), std::string(80, '0'));
  EXPECT_EQ(s.Foldbacks(2, 3), std::string(16, '0'));
  EXPECT_EQ(s.Bits(3)[12], '1');
  EXPECT_EQ(s.Foldbacks(3, 3), std::string(14, '1') + "01");
}

TEST(Qpl6032TranslateMacrocells, SpecialPinsAfterTheLoop) {
  Stage6032 s(SourceKind::Max3032A);
  s.IdleAll();
  s.SetField(s.src->ioConfig, 7, "1111011");   // MC 8: select io5 io4 io3 = 101 (OE1)
  s.SetField(s.src->ioConfig, 11, "1111011");  // MC 12
  s.Run(2);
  EXPECT_EQ(s.target.pinUse.pd1PinUsed, 1);
  EXPECT_EQ(s.target.pinUse.pd2PinUsed, 0);
  EXPECT_EQ(s.Sel(11), "000") << "3032A clears MC 12 and MC 22";
  EXPECT_EQ(s.Sel(21), "000");
  EXPECT_EQ(s.Sel(10), "111");

  Stage6032 ae(SourceKind::Max7032AE);
  ae.IdleAll();
  ae.SetField(ae.src->ioConfig, 11, "1111011");
  ae.Run(2);
  EXPECT_EQ(ae.Sel(11), "110") << "only the 3032A (io6 io5 io4 = 110, OE6)";
  EXPECT_EQ(ae.Sel(21), "111");
}

TEST(Qpl6032TranslateMacrocells, JtagPinWarningsWhenTheSourceHasJtagOff) {
  const std::string kTdi =
      "Warning!! Jtag port TDI MC 4 is used as\nInput or bidirectional port.\nJtag disabled.\n\n";
  const std::string kTdo =
      "Warning!! Jtag port TDO MC 20 is used as\nInput or bidirectional port.\nJtag disabled.\n\n";
  for (SourceKind kind : {SourceKind::Max7032S, SourceKind::Max7032AE, SourceKind::Max7032}) {
    for (char jtag : {'0', '1'}) {
      Stage6032 s(kind);
      s.IdleAll();
      s.src->jtagBit = jtag;
      // MC 4 and MC 20 drive their pins (output enable not 111); MC 9 has no
      // pin use although stage 1 saw its pin read by the logic.
      for (int m : {3, 19}) {
        if (kind == SourceKind::Max7032) {
          s.SetField(s.src->outputEnable, m, "10");
        } else {
          s.src->ioConfig.at(m, kind == SourceKind::Max7032S ? 1 : 5) = '0';
        }
      }
      s.Pick(0, 6, 3);  // P9
      s.Connect(0, 4, 12);
      s.Run(2);
      const PinUseFlags& f = s.target.pinUse;
      const bool recompute = kind == SourceKind::Max7032 || jtag == '0';
      EXPECT_EQ(f.tdiPinUsed, recompute ? 1 : 0);
      EXPECT_EQ(f.tdoPinUsed, recompute ? 1 : 0);
      EXPECT_EQ(f.tmsPinUsed, recompute ? 0 : 1) << "stage-1 value kept unless recomputed";
      EXPECT_EQ(f.tckPinUsed, 0);
      const bool warn = kind != SourceKind::Max7032 && jtag == '0';
      EXPECT_EQ(s.console.str(), warn ? kTdi + kTdo : "") << SourceKindName(kind) << jtag;
      EXPECT_EQ(s.report.str(), "");
    }
  }
}

// --- Pin clock ------------------------------------------------------------

struct ClockCase {
  SourceKind kind;
  int row;           // the row whose pick 1 carries the clock
  int column;        // PT 4 column used
  const char* gclk;  // globalClocks
  bool converted;
  char value;        // S7 = S19 when converted
};

void RunClockCase(const ClockCase& c) {
  Stage6032 s(c.kind);
  s.run.options.pinClock = 1;
  const int m = 21;  // MC 22, block B
  s.src->mcConfig.at(m, 10) = '0';  // S3 = '0'
  s.Pick(1, c.row, 1);
  s.Connect(m, 3, c.column);
  if (c.gclk) s.SetChars(s.src->globalClocks, c.gclk);
  s.Run(2);
  const std::string b = s.Bits(m);
  const std::string label = std::string(SourceKindName(c.kind)) + " row " +
                            std::to_string(c.row) + " column " + std::to_string(c.column) +
                            " code " + (c.gclk ? c.gclk : "-");
  EXPECT_EQ(s.run.options.ptClockConverted, c.converted ? 1 : 0) << label;
  if (c.converted) {
    EXPECT_EQ(b[5], '0') << label;
    EXPECT_EQ(b[12], '0') << label;
    EXPECT_EQ(b[7], c.value) << label;
    EXPECT_EQ(b[19], c.value) << label;
    EXPECT_EQ(s.Inputs(m, 3), std::string(80, '0')) << label;
    EXPECT_EQ(s.Foldbacks(m, 3), std::string(16, '0')) << label;
  } else {
    EXPECT_EQ(b[5], '1') << label;
    EXPECT_EQ(b[12], '1') << label;
    EXPECT_EQ(std::string(s.target.ptInputFuses.row(m, 3), 80).find('0') != std::string::npos,
              true)
        << label;
  }
}

TEST(Qpl6032PinClock, EachClockCodeCase) {
  // g = 4*c0 + 2*c1 + c2; the two clock lines per code: 1 = GCLK1, GCLK2;
  // 2 = !GCLK1, !GCLK2; 3 = GCLK1, !GCLK1; 4 = !GCLK1, GCLK2; 5 = GCLK1, !GCLK2;
  // 6 = !GCLK2, GCLK2. '1' selects the first line, '0' the second.
  const ClockCase cases[] = {
      // GCLK1 true (row 27 column 54, row 35 column 70).
      {SourceKind::Max7032S, 27, 54, "001", true, '1'},
      {SourceKind::Max7032S, 35, 70, "011", true, '1'},
      {SourceKind::Max7032S, 27, 54, "101", true, '1'},
      {SourceKind::Max7032S, 27, 54, "010", false, 0},
      {SourceKind::Max7032S, 27, 54, "100", false, 0},
      {SourceKind::Max7032S, 27, 54, "110", false, 0},
      // GCLK1 complement.
      {SourceKind::Max7032AE, 27, 55, "010", true, '1'},
      {SourceKind::Max7032AE, 35, 71, "011", true, '0'},
      {SourceKind::Max7032AE, 27, 55, "100", true, '1'},
      {SourceKind::Max7032AE, 27, 55, "001", false, 0},
      {SourceKind::Max7032AE, 27, 55, "101", false, 0},
      // GCLK2 true (row 0 column 0, row 8 column 16).
      {SourceKind::Max3032A, 0, 0, "001", true, '0'},
      {SourceKind::Max3032A, 8, 16, "100", true, '0'},
      {SourceKind::Max3032A, 0, 0, "110", true, '0'},
      {SourceKind::Max3032A, 0, 0, "010", false, 0},
      {SourceKind::Max3032A, 0, 0, "011", false, 0},
      // GCLK2 complement.
      {SourceKind::Max7032S, 0, 1, "010", true, '0'},
      {SourceKind::Max7032S, 8, 17, "101", true, '0'},
      {SourceKind::Max7032S, 0, 1, "110", true, '1'},
      {SourceKind::Max7032S, 0, 1, "001", false, 0},
      // Codes 0 and 7 convert nothing.
      {SourceKind::Max7032S, 27, 54, "000", false, 0},
      {SourceKind::Max7032S, 27, 54, "111", false, 0},
      // The plain 7032: GCLK1 only, true '1', complement '0', no clock code.
      {SourceKind::Max7032, 27, 54, nullptr, true, '1'},
      {SourceKind::Max7032, 35, 71, nullptr, true, '0'},
      {SourceKind::Max7032, 0, 0, nullptr, false, 0},
      {SourceKind::Max7032, 8, 17, nullptr, false, 0},
  };
  for (const ClockCase& c : cases) RunClockCase(c);
}

TEST(Qpl6032PinClock, ConditionsThatBlockTheConversion) {
  auto base = [](Stage6032& s) {
    s.run.options.pinClock = 1;
    s.src->mcConfig.at(0, 10) = '0';
    s.Pick(0, 27, 1);
    s.Connect(0, 3, 54);
    if (!s.src->globalClocks.empty()) s.SetChars(s.src->globalClocks, "001");
  };
  {
    Stage6032 s(SourceKind::Max7032S);
    base(s);
    s.run.options.pinClock = 0;
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "no -pinclk";
  }
  {
    Stage6032 s(SourceKind::Max7032S);
    base(s);
    s.src->mcConfig.at(0, 10) = '1';
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "S3 = '1'";
  }
  {
    Stage6032 s(SourceKind::Max7032S);
    base(s);
    s.Connect(0, 3, 87);
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "two inputs on PT 4";
  }
  {
    Stage6032 s(SourceKind::Max7032S);
    base(s);
    s.Pick(0, 27, 0);  // F29: column 54 is no clock
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "row 27 picks feedback";
  }
  {
    // The plain 7032 tests the complement column only when the true one is not
    // '0'; with both connected PT 4 has two inputs and nothing converts either.
    Stage6032 s(SourceKind::Max7032);
    base(s);
    s.Connect(0, 3, 55);
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0);
  }
}

}  // namespace
}  // namespace fusecvt::test
