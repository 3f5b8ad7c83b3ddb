// Stage 2 of QPL6128: S bits per source kind, which macrocells take a pin
// record, the pin-clock conversions and the special-pin flags.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "Stage6128.h"

namespace fusecvt::test {
namespace {

// The output-enable selects as the source's notes name them, and the S0 S1 S2
// the target takes for each.
struct SelectCase {
  const char* name;
  const char* select;  // in the source's order of reading
  const char* s012;
};
const SelectCase kSelects[] = {
    {"GND", "001", "000"}, {"VCC", "111", "111"}, {"OE1", "101", "001"}, {"OE2", "011", "100"},
    {"OE3", "000", "011"}, {"OE4", "100", "101"}, {"OE5", "010", "010"}, {"OE6", "110", "110"},
};

// Positions of the select within the I/O record, in reading order.
std::vector<int> SelectPositions(SourceKind kind) {
  switch (kind) {
    case SourceKind::Max7128AE: return {6, 5, 4};
    case SourceKind::Max3128A: return {5, 4, 3};
    default: return {0, 1, 2};
  }
}

void WriteSelect(Stage6128& s, int record, const char* select) {
  const std::vector<int> pos = SelectPositions(s.src->kind());
  for (int i = 0; i < 3; ++i) s.src->ioConfig.at(record, pos[static_cast<std::size_t>(i)]) = select[i];
}

// The macrocells with a pin in a 7128E or plain 7128 package, from the
// positions per LAB group.
std::set<int> PinnedBy(int pinCount) {
  std::vector<int> outer, inner;  // LABs 0, 2, 5, 7 and LABs 1, 3, 4, 6
  if (pinCount == 84) {
    outer = {2, 4, 5, 7, 10, 12, 13, 15};
    inner = {0, 2, 4, 7, 8, 10, 12, 15};
  } else if (pinCount == 100) {
    outer = inner = {0, 2, 4, 5, 7, 8, 10, 12, 13, 15};
  } else if (pinCount == 160) {
    outer = inner = {0, 2, 3, 4, 5, 7, 8, 10, 11, 12, 13, 15};
  }
  std::set<int> pinned;
  for (int lab = 0; lab < 8; ++lab) {
    const bool isOuter = lab == 0 || lab == 2 || lab == 5 || lab == 7;
    for (int p : isOuter ? outer : inner) pinned.insert(lab * 16 + p);
  }
  return pinned;
}

TEST(Qpl6128TranslateMacrocells, OutputSelectsOfThe7128SFamily) {
  // LAB 0's pinned macrocells 0, 2, 3, 4, 5, 7, 8, 10 take records 0..7.
  const int pinnedMc[8] = {0, 2, 3, 4, 5, 7, 8, 10};
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128AE, SourceKind::Max3128A}) {
    Stage6128 s(kind);
    for (int i = 0; i < 8; ++i) WriteSelect(s, i, kSelects[i].select);
    s.Run(2);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(s.Sel(pinnedMc[i]), kSelects[i].s012) << SourceKindName(kind) << " " << kSelects[i].name;
    }
  }
}

TEST(Qpl6128TranslateMacrocells, The7128SFamilySkipsPositions1_6_9_14InEveryPackage) {
  for (int pinCount : {84, 100}) {
    Stage6128 s(SourceKind::Max7128S, pinCount);
    for (int r = 0; r < 96; ++r) WriteSelect(s, r, "001");  // GND -> 000
    WriteSelect(s, 11, "101");                              // the 12th record: MC 16
    WriteSelect(s, 12, "011");                              // the 13th: MC 17, LAB 1's first
    WriteSelect(s, 95, "000");                              // the last: MC 128
    s.Run(2);
    for (int m = 0; m < 128; ++m) {
      const int p = m % 16;
      const bool pinless = p == 1 || p == 6 || p == 9 || p == 14;
      std::string expected = pinless ? "111" : "000";
      if (m == 15) expected = "001";
      if (m == 16) expected = "100";
      if (m == 127) expected = "011";
      EXPECT_EQ(s.Sel(m), expected) << "MC " << m + 1 << " pins " << pinCount;
    }
  }
}

TEST(Qpl6128TranslateMacrocells, The7128SFamilyWritesNoIoBitsOnPinlessMacrocells) {
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128AE, SourceKind::Max3128A}) {
    Stage6128 s(kind);
    s.run.options.openOut = ON;
    s.run.options.slew = FAST;
    // Every record: select OE1, and S4 from a '0' where the kind reads it.
    for (int r = 0; r < 96; ++r) {
      WriteSelect(s, r, "101");
      if (kind == SourceKind::Max7128S) s.src->ioConfig.at(r, 4) = '0';
      if (kind == SourceKind::Max7128AE) s.src->ioConfig.at(r, 1) = '0';
    }
    s.Run(2);
    const char s4 = kind == SourceKind::Max3128A ? '1' : '0';
    for (int m : {0, 2, 18, 127}) {
      const std::string b = s.Bits(m);
      EXPECT_EQ(b.substr(0, 3), "001") << SourceKindName(kind) << " MC " << m + 1;
      EXPECT_EQ(b[4], s4) << SourceKindName(kind);
      EXPECT_EQ(b[20], '1') << "open_out ON";
      EXPECT_EQ(b[22], '0') << "slew FAST";
    }
    // Defaults S0..S2 "111", S4 '1', S20 '0', S22 '1' stay, options or not.
    for (int m : {1, 6, 9, 14, 17, 126}) {
      const std::string b = s.Bits(m);
      EXPECT_EQ(b.substr(0, 3), "111") << SourceKindName(kind) << " MC " << m + 1;
      EXPECT_EQ(b[4], '1');
      EXPECT_EQ(b[20], '0');
      EXPECT_EQ(b[22], '1');
    }
  }
}

TEST(Qpl6128TranslateMacrocells, IoBitPositionsPerKind) {
  // An erased record of 6 or 7 characters with a few '0's: the target bits
  // S4, S20, S22 of the kind read them as the record's layout says.
  struct Case {
    SourceKind kind;
    const char* io;
    const char* s012;
    char s4, s20, s22;
  } cases[] = {
      // 7128S: select io[0..2], S22 = io[3], S4 = io[4], S20 = NOT io[5].
      {SourceKind::Max7128S, "011001", "100", '0', '0', '0'},
      {SourceKind::Max7128S, "101110", "001", '1', '1', '1'},
      // 7128AE: select io[6], io[5], io[4]; S4 = io[1], S20 = NOT io[2], S22 = io[0].
      {SourceKind::Max7128AE, "0001101", "001", '0', '1', '0'},
      {SourceKind::Max7128AE, "1111000", "011", '1', '0', '1'},
      // 3128A: select io[5], io[4], io[3]; S4 '1', S20 = NOT io[1], S22 = io[0].
      {SourceKind::Max3128A, "0001101", "100", '1', '1', '0'},
  };
  for (const Case& c : cases) {
    Stage6128 s(c.kind);
    s.SetRow(s.src->ioConfig, 0, c.io);
    s.Run(2);
    const std::string b = s.Bits(0);
    EXPECT_EQ(b.substr(0, 3), c.s012) << SourceKindName(c.kind) << " " << c.io;
    EXPECT_EQ(b[4], c.s4) << SourceKindName(c.kind) << " " << c.io;
    EXPECT_EQ(b[20], c.s20) << SourceKindName(c.kind) << " " << c.io;
    EXPECT_EQ(b[22], c.s22) << SourceKindName(c.kind) << " " << c.io;
  }
}

TEST(Qpl6128TranslateMacrocells, The7128ESelectFormulas) {
  // S0 = (a AND NOT c) OR (b AND c); S1 = (NOT a AND NOT c) OR (a AND b);
  // S2 = (NOT b AND NOT c) OR (a AND c).
  for (int v = 0; v < 8; ++v) {
    const bool a = v & 4, b = v & 2, c = v & 1;
    const bool s0 = (a && !c) || (b && c);
    const bool s1 = (!a && !c) || (a && b);
    const bool s2 = (!b && !c) || (a && c);
    Stage6128 s(SourceKind::Max7128E, 160);
    const char rec[4] = {a ? '1' : '0', b ? '1' : '0', c ? '1' : '0', 0};
    s.SetRow(s.src->ioConfig, 0, rec);
    s.Run(2);
    const std::string expected = {s0 ? '1' : '0', s1 ? '1' : '0', s2 ? '1' : '0'};
    EXPECT_EQ(s.Sel(0), expected) << rec;
    // The same encoding as the 7128S table.
    for (const SelectCase& sc : kSelects) {
      if (std::string(sc.select) == rec) {
        EXPECT_EQ(expected, sc.s012) << sc.name;
      }
    }
  }
}

TEST(Qpl6128TranslateMacrocells, The7128EAndPlain7128TakeRecordsPerPackage) {
  struct Kind {
    SourceKind kind;
    const char* off;     // a record that gives 000
    const char* marked;  // a record that gives `markedSel`
    const char* markedSel;
  } kinds[] = {{SourceKind::Max7128E, "001", "101", "001"},
               {SourceKind::Max7128, "00", "01", "100"}};
  struct Case {
    int pinCount;
    int record;
    int mc;  // the macrocell that takes it
  } cases[] = {
      {84, 0, 2},  {84, 8, 16},   {84, 9, 18},  {84, 63, 127},
      {100, 0, 0}, {100, 10, 16}, {100, 79, 127},
      {160, 2, 3}, {160, 12, 16}, {160, 95, 127},
  };
  for (const Kind& k : kinds) {
    for (const Case& c : cases) {
      Stage6128 s(k.kind, c.pinCount);
      FuseArray& records = k.kind == SourceKind::Max7128 ? s.src->outputEnable : s.src->ioConfig;
      for (int r = 0; r < 96; ++r) s.SetRow(records, r, k.off);
      s.SetRow(records, c.record, k.marked);
      s.Run(2);
      const std::set<int> pinned = PinnedBy(c.pinCount);
      for (int m = 0; m < 128; ++m) {
        std::string expected = pinned.count(m) ? "000" : "111";
        if (m == c.mc) expected = k.markedSel;
        EXPECT_EQ(s.Sel(m), expected) << SourceKindName(k.kind) << " pins " << c.pinCount
                                      << " MC " << m + 1;
      }
    }
  }
  // Any other package: no macrocell takes a record.
  for (const Kind& k : kinds) {
    Stage6128 s(k.kind, 68);
    FuseArray& records = k.kind == SourceKind::Max7128 ? s.src->outputEnable : s.src->ioConfig;
    for (int r = 0; r < 96; ++r) s.SetRow(records, r, k.off);
    s.Run(2);
    for (int m = 0; m < 128; ++m) EXPECT_EQ(s.Sel(m), "111") << SourceKindName(k.kind) << m;
  }
}

TEST(Qpl6128TranslateMacrocells, ThePlain7128OutputEnableCodes) {
  struct Case {
    const char* code;
    const char* s012;
  } cases[] = {{"00", "000"}, {"10", "001"}, {"01", "100"}, {"11", "111"}};
  for (const Case& c : cases) {
    Stage6128 s(SourceKind::Max7128, 100);
    s.SetRow(s.src->outputEnable, 0, c.code);
    s.Run(2);
    EXPECT_EQ(s.Sel(0), c.s012) << c.code;
  }
}

TEST(Qpl6128TranslateMacrocells, The7128EAndPlain7128WriteS4S20S22OnEveryMacrocell) {
  // An erased 7128E or 7128 macrocell: S3..S23 from the tables with mc all
  // '1', open_out OFF, slew and mc_power AUTO.
  const std::string erased = "111110111111011110001";
  for (SourceKind kind : {SourceKind::Max7128E, SourceKind::Max7128}) {
    for (int m : {0, 1, 2, 127}) {  // MC 1 and 2 have no pin in the 84-pin package
      Stage6128 s(kind);
      s.Run(2);
      EXPECT_EQ(s.Bits(m).substr(3), erased) << SourceKindName(kind) << " MC " << m + 1;
    }
  }
  Stage6128 e(SourceKind::Max7128E);
  e.run.options.openOut = ON;
  e.run.options.slew = SLOW;
  e.run.options.mcPower = ON;
  e.src->mcConfig.at(1, 13) = '0';  // S4 of MC 2 (no pin)
  e.src->mcConfig.at(1, 12) = '0';  // S7 and S19
  e.Run(2);
  const std::string b = e.Bits(1);
  EXPECT_EQ(b.substr(0, 3), "111");
  EXPECT_EQ(b[4], '0');
  EXPECT_EQ(b[7], '0');
  EXPECT_EQ(b[19], '0');
  EXPECT_EQ(b[8], '1') << "mc_power ON";
  EXPECT_EQ(b[20], '1') << "open_out ON";
  EXPECT_EQ(b[22], '1') << "slew SLOW";

  Stage6128 p(SourceKind::Max7128);
  p.src->mcConfig.at(1, 11) = '0';  // S8 and S22 = NOT mc[11]; S4, S7, S19 '1' (12 bits, no mc[12])
  p.Run(2);
  const std::string pb = p.Bits(1);
  EXPECT_EQ(pb[4], '1');
  EXPECT_EQ(pb[7], '1');
  EXPECT_EQ(pb[19], '1');
  EXPECT_EQ(pb[8], '1');
  EXPECT_EQ(pb[22], '1');
}

TEST(Qpl6128TranslateMacrocells, AnErased7128SMacrocellWithAPin) {
  Stage6128 s(SourceKind::Max7128S);
  s.Run(2);
  // S0..S2 VCC, S8 = mc[11] (AUTO), S20 = NOT io[5], S22 = io[3].
  EXPECT_EQ(s.Bits(0), "111" "111111111111011110011");
}

// --- Pin-clock conversion ---------------------------------------------------

struct ClockSetup {
  SourceKind kind;
  int mc;
  int row;                  // the row PT 4 reads
  bool paired;
  int servingRow;           // its pair row when paired
  int column;               // source column of PT 4
  const char* clockCode;    // unknownBits[0..2] or globalClocks
  bool fromGlobalClocks;
  char converted;           // '1'/'0': converted with that value; 0: not converted
};

void SetUpClock(Stage6128& s, const ClockSetup& c) {
  const int lab = c.mc / 16;
  if (c.paired) s.Pair(lab, c.row);
  s.Pick(c.paired ? 7 - lab : lab, c.servingRow, 7);
  s.Connect(c.mc, 3, c.column);
  s.src->mcConfig.at(c.mc, 10) = '0';  // S3 = '0'
  s.SetFlat(c.fromGlobalClocks ? s.src->globalClocks : s.src->unknownBits, 0, c.clockCode);
  s.run.options.pinClock = 1;
}

TEST(Qpl6128ConvertPtClock, GlobalClocksReachedDirectlyOrThroughThePairRows) {
  const ClockSetup cases[] = {
      // GCLK1 (D130, pick 7 of rows 27 and 33), true column, code 1: value '1'.
      {SourceKind::Max7128S, 0, 27, false, 27, 54, "001", false, '1'},
      {SourceKind::Max7128S, 0, 27, false, 27, 54, "010", false, 0},  // code 2 takes no true GCLK1
      // LAB 2 row 19 served by row 27 of LAB 5; code 5.
      {SourceKind::Max7128S, 37, 19, true, 27, 38, "101", false, '1'},
      // LAB 5 row 23 served by row 33 of LAB 2, complement column; code 3 gives '0', 4 gives '1'.
      {SourceKind::Max7128S, 85, 23, true, 33, 47, "011", false, '0'},
      {SourceKind::Max7128S, 85, 23, true, 33, 47, "100", false, '1'},
      // LAB 1 row 25 and LAB 6 row 18 through row 33 / 27.
      {SourceKind::Max7128S, 30, 25, true, 33, 50, "001", false, '1'},
      {SourceKind::Max7128S, 110, 18, true, 27, 36, "011", false, '1'},
      // GCLK2 (D129, pick 7 of rows 0 and 6): LAB 1 row 10 via row 0 of LAB 6, code 4: '0'.
      {SourceKind::Max7128AE, 20, 10, true, 0, 20, "100", true, '0'},
      // LAB 6 row 14 via row 6 of LAB 1, complement; code 6 gives '1', code 5 '0'.
      {SourceKind::Max3128A, 100, 14, true, 6, 29, "110", true, '1'},
      {SourceKind::Max3128A, 100, 14, true, 6, 29, "101", true, '0'},
      // LAB 3 row 16 and LAB 4 row 9 through rows 6 and 0.
      {SourceKind::Max7128S, 50, 16, true, 6, 32, "001", false, '0'},
      {SourceKind::Max7128S, 70, 9, true, 0, 18, "110", false, '0'},
      // Rows 0 and 6 unpaired in an upper LAB.
      {SourceKind::Max7128S, 120, 6, false, 6, 12, "001", false, '0'},
      // The 7128AE reads its code from globalClocks, not from unknownBits.
      {SourceKind::Max7128AE, 0, 27, false, 27, 54, "111", true, 0},
      // 7128E: pair flag in character 4, 4-bit picks; LAB 3 row 25 via row 33 of LAB 4.
      {SourceKind::Max7128E, 50, 25, true, 33, 50, "001", false, '1'},
  };
  for (const ClockSetup& c : cases) {
    Stage6128 s(c.kind);
    SetUpClock(s, c);
    // For the 7128AE case above a legal code sits in unknownBits too: unused.
    if (c.kind == SourceKind::Max7128AE && c.converted == 0) s.SetFlat(s.src->unknownBits, 0, "001");
    s.Run(2);
    const std::string b = s.Bits(c.mc);
    const std::string label = std::string(SourceKindName(c.kind)) + " MC " +
                              std::to_string(c.mc + 1) + " code " + c.clockCode;
    if (c.converted) {
      EXPECT_EQ(b[5], '0') << label;
      EXPECT_EQ(b[12], '0') << label;
      EXPECT_EQ(b[7], c.converted) << label;
      EXPECT_EQ(b[19], c.converted) << label;
      EXPECT_EQ(s.Inputs(c.mc, 3), std::string(80, '0')) << label;
      EXPECT_EQ(s.Foldbacks(c.mc, 3), std::string(16, '0')) << label;
      EXPECT_EQ(s.run.options.ptClockConverted, 1) << label;
    } else {
      EXPECT_EQ(b[5], '1') << label;
      EXPECT_EQ(b[12], '1') << label;
      EXPECT_EQ(s.run.options.ptClockConverted, 0) << label;
    }
  }
}

TEST(Qpl6128ConvertPtClock, NoConversionWithoutTheConditions) {
  const ClockSetup base{SourceKind::Max7128S, 0, 27, false, 27, 54, "001", false, '1'};
  {
    Stage6128 s(base.kind);
    SetUpClock(s, base);
    s.src->mcConfig.at(0, 10) = '1';  // S3 = '1'
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "registered";
  }
  {
    Stage6128 s(base.kind);
    SetUpClock(s, base);
    s.Connect(0, 3, 80);  // a second input: no longer a bare clock
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "two inputs";
  }
  {
    Stage6128 s(base.kind);
    SetUpClock(s, base);
    s.run.options.pinClock = 0;
    s.Run(2);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "-pinclk not given";
  }
  {
    // LAB 2 row 19 unpaired reads its own pick 7 (P3), even with D130 on
    // row 27 of LAB 5.
    Stage6128 s(SourceKind::Max7128S);
    s.Pick(5, 27, 7);
    s.Pick(2, 19, 7);
    s.Connect(37, 3, 38);
    s.src->mcConfig.at(37, 10) = '0';
    s.SetFlat(s.src->unknownBits, 0, "001");
    s.Pick(0, 27, 7);
    s.Connect(1, 0, 54);  // GCLK1 used elsewhere, so a flag is set
    s.run.options.pinClock = 1;
    s.Run(2);
    EXPECT_EQ(s.target.pinUse.gclk1TrueUsed, 1);
    EXPECT_EQ(s.run.options.ptClockConverted, 0) << "unpaired row 19 is no clock row";
  }
}

TEST(Qpl6128ConvertPtClock, ThePlain7128ConvertsGclk1Only) {
  struct Case {
    int row, code, column;
    char converted;
  } cases[] = {
      {33, 7, 66, '1'}, {33, 7, 67, '0'}, {27, 7, 54, '1'}, {27, 7, 55, '0'},
      {33, 13, 66, 0},  // code 13: no pick
      {0, 7, 0, 0},     // GCLK2 is not converted
  };
  for (const Case& c : cases) {
    Stage6128 s(SourceKind::Max7128);
    const int m = 70;  // LAB 4
    s.Pick(4, c.row, c.code);
    s.Connect(m, 3, c.column);
    s.src->mcConfig.at(m, 10) = '0';
    s.run.options.pinClock = 1;
    s.Run(2);
    const std::string b = s.Bits(m);
    if (c.converted) {
      EXPECT_EQ(b[5], '0') << c.column;
      EXPECT_EQ(b[12], '0') << c.column;
      EXPECT_EQ(b[7], c.converted) << c.column;
      EXPECT_EQ(b[19], c.converted) << c.column;
      EXPECT_EQ(s.Inputs(m, 3), std::string(80, '0'));
    } else {
      EXPECT_EQ(s.run.options.ptClockConverted, 0) << c.row << " " << c.code;
    }
  }
}

// --- Special pins -----------------------------------------------------------

TEST(Qpl6128TranslateMacrocells, SpecialPinFlagsAreRecomputedForEveryKindWithoutWarnings) {
  struct Pin {
    int mc;  // index
    int PinUseFlags::*flag;
  } pins[] = {{2, &PinUseFlags::pd1PinUsed},   {66, &PinUseFlags::pd2PinUsed},
              {31, &PinUseFlags::tdiPinUsed},  {47, &PinUseFlags::tmsPinUsed},
              {95, &PinUseFlags::tckPinUsed},  {111, &PinUseFlags::tdoPinUsed}};
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128AE, SourceKind::Max3128A,
                          SourceKind::Max7128E, SourceKind::Max7128}) {
    for (const Pin& used : pins) {
      Stage6128 s(kind);
      s.IdleAll();
      s.src->mcConfig.at(used.mc, 7) = '1';  // S6 '1': PT 2 in use, S3 '1': the pin is used
      s.src->jtagBit = '1';
      // Stage 1 flags that stage 2 must overwrite.
      s.target.pinUse.tdoPinUsed = used.mc == 111 ? 0 : 1;
      s.Run(2);
      for (const Pin& p : pins) {
        EXPECT_EQ(s.target.pinUse.*p.flag, p.mc == used.mc ? 1 : 0)
            << SourceKindName(kind) << " used MC " << used.mc + 1 << " flag of MC " << p.mc + 1;
      }
      EXPECT_EQ(s.console.str(), "") << "no JTAG warnings on this target";
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
