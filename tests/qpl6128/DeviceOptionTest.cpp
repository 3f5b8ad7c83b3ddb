// Stage 4 of QPL6128: global clock codes per kind, OE polarity, JTAG mode,
// power-down pins with their pin numbers, the signature.

#include <gtest/gtest.h>

#include "Stage6128.h"

namespace fusecvt::test {
namespace {

std::string PdBox(int stars, const char* name, const std::string& pin) {
  return Stars(stars) + "-" + name + ": Error! Pin " + pin + " for " + name +
         " is used in your logic function.\n" + "             " + name +
         " option cannot be enabled.\n" + Stars(stars);
}

// Where each kind keeps its global clock code.
FuseArray& ClockField(Stage6128& s) {
  const SourceKind k = s.src->kind();
  return k == SourceKind::Max7128AE || k == SourceKind::Max3128A ? s.src->globalClocks
                                                                 : s.src->unknownBits;
}

TEST(Qpl6128ApplyDeviceOptions, GlobalClockCodesPerKind) {
  struct Code {
    const char* bits;
    const char* config15to20;  // the defaults are 1 1 1 1 1 0
  } codes[] = {{"001", "010110"}, {"010", "011111"}, {"011", "111110"},
               {"100", "010111"}, {"101", "011110"}, {"110", "010011"},
               {"000", "111110"}, {"111", "111110"}};
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128AE, SourceKind::Max3128A,
                          SourceKind::Max7128E}) {
    for (const Code& c : codes) {
      Stage6128 s(kind);
      s.SetFlat(ClockField(s), 0, c.bits);
      s.Run(4);
      EXPECT_EQ(s.Config(15, 6), c.config15to20) << SourceKindName(kind) << " " << c.bits;
      const bool illegal = c.bits == std::string("000") || c.bits == std::string("111");
      const bool says = illegal && kind != SourceKind::Max7128E;
      EXPECT_EQ(s.console.str(), says ? "Illegal unknown bits\n" : "")
          << SourceKindName(kind) << " " << c.bits;
      EXPECT_EQ(s.report.str(), "");
    }
  }
  // The 7128AE and 3128A read globalClocks only; their unknownBits do not count.
  for (SourceKind kind : {SourceKind::Max7128AE, SourceKind::Max3128A}) {
    Stage6128 s(kind);
    s.SetFlat(s.src->unknownBits, 0, "001");
    s.Run(4);
    EXPECT_EQ(s.Config(15, 6), "111110") << SourceKindName(kind);
    EXPECT_EQ(s.console.str(), "Illegal unknown bits\n") << SourceKindName(kind);
  }
  // The plain 7128 has no clock step.
  Stage6128 p(SourceKind::Max7128);
  p.Run(4);
  EXPECT_EQ(p.Config(15, 6), "111110");
  EXPECT_EQ(p.console.str(), "");
}

TEST(Qpl6128ApplyDeviceOptions, ItdFusesOfTheThreeClockPins) {
  // Nothing reads a clock and no ITD request: all three fuses '0' (their
  // default on this target is '1').
  Stage6128 s(SourceKind::Max7128E);
  s.Run(4);
  EXPECT_EQ(s.Config(9, 3), "000");
  // GCLK1 read by the logic and asked to be disabled: override notice.
  Stage6128 t(SourceKind::Max7128E);
  t.Pick(3, 33, 7);
  t.Connect(48, 0, 66);
  t.run.options.gclk1Itd = 0;
  t.run.options.gclk3Itd = 0;
  t.Run(4);
  EXPECT_EQ(t.Config(9, 3), "100");
  EXPECT_EQ(t.run.options.gclk1Itd, 1);
  EXPECT_EQ(t.console.str(),
            "\nGCLK1 ITD setting override: (ignore user request to disable)\n"
            "GCLK1 pin is used as a logic input so ITD wake-up enable is required\n\n"
            " ITD Disabled, activity on GCLK3 dose not cause a part wake-up\n");
}

TEST(Qpl6128ApplyDeviceOptions, OutputEnablePolarity) {
  const int bitOf[6] = {27, 24, 25, 23, 26, 22};
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128AE, SourceKind::Max7128E}) {
    for (int r = 0; r < 6; ++r) {
      Stage6128 s(kind);
      s.SetFlat(ClockField(s), 0, "001");
      const int polarityChar = kind == SourceKind::Max7128E ? 4 : 13;
      s.src->oePia.at(r, polarityChar) = '0';
      s.Run(4);
      std::string expected = "000000";  // configBits 22..27 default '0'
      expected[static_cast<std::size_t>(bitOf[r] - 22)] = '1';
      EXPECT_EQ(s.Config(22, 6), expected) << SourceKindName(kind) << " row " << r;
    }
  }
  // Picks alone set no polarity.
  Stage6128 s(SourceKind::Max7128S);
  s.SetRow(s.src->oePia, 2, "01111111111111");
  s.Run(4);
  EXPECT_EQ(s.Config(22, 6), "000000");
}

TEST(Qpl6128ApplyDeviceOptions, JtagAutoPerKind) {
  struct Case {
    SourceKind kind;
    char unknown10;  // unknownBits[10], where the kind has it
    char jtagBit;    // the source's jtagBit field
    char expected;
  } cases[] = {
      {SourceKind::Max7128S, '1', '0', '1'},  // from unknownBits[10]
      {SourceKind::Max7128S, '0', '1', '0'},
      {SourceKind::Max7128AE, '0', '1', '1'},  // from jtagBit
      {SourceKind::Max3128A, '1', '0', '0'},
      {SourceKind::Max7128E, 0, '1', '0'},  // no AUTO step (10 unknownBits)
      {SourceKind::Max7128, 0, '1', '0'},
  };
  for (const Case& c : cases) {
    Stage6128 s(c.kind);
    s.run.options.jtag = AUTO;
    if (c.unknown10) s.src->unknownBits.at(10) = c.unknown10;
    s.src->jtagBit = c.jtagBit;
    s.Run(4);
    EXPECT_EQ(s.target.jtagBit, c.expected) << SourceKindName(c.kind) << " " << c.unknown10
                                            << c.jtagBit;
    // The JTAG port clears the output selects of MC 32, 48, 96; MC 112 keeps its own.
    const char* port = c.expected == '1' ? "000" : "111";
    for (int m : {31, 47, 95}) EXPECT_EQ(s.Sel(m), port) << SourceKindName(c.kind) << m;
    EXPECT_EQ(s.Sel(111), "111");
  }
}

TEST(Qpl6128ApplyDeviceOptions, PowerDownPinsAndTheirNumbers) {
  struct Case {
    int pinCount;
    const char* pd1;
    const char* pd2;
  } cases[] = {{84, "12", "45"}, {100, "3", "43"}, {160, "159", "63"}, {44, "?", "?"}};
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128E, SourceKind::Max7128}) {
    for (const Case& c : cases) {
      for (bool pd2 : {false, true}) {
        const char* name = pd2 ? "PD2" : "PD1";
        Stage6128 s(kind, c.pinCount);
        if (kind == SourceKind::Max7128S) s.SetFlat(s.src->unknownBits, 0, "001");
        // An erased macrocell uses its pin (PT 2 routed, S3 '1').
        (pd2 ? s.run.options.pd2 : s.run.options.pd1) = 1;
        s.Run(4);
        EXPECT_EQ(s.console.str(), PdBox(67, name, pd2 ? c.pd2 : c.pd1))
            << SourceKindName(kind) << " " << c.pinCount;
        EXPECT_EQ(s.report.str(), PdBox(68, name, pd2 ? c.pd2 : c.pd1));
        EXPECT_EQ(pd2 ? s.run.options.pd2 : s.run.options.pd1, 0);
        EXPECT_EQ(s.Config(28, 2), "11");
      }
    }
  }
  // Pins free: PD1 takes MC 3 and configBits[29], PD2 MC 67 and configBits[28].
  for (bool pd2 : {false, true}) {
    Stage6128 s(SourceKind::Max7128AE, 100);
    s.SetFlat(s.src->globalClocks, 0, "001");
    s.IdleAll();
    (pd2 ? s.run.options.pd2 : s.run.options.pd1) = 1;
    s.Run(4);
    EXPECT_EQ(s.console.str(), "");
    EXPECT_EQ(s.Sel(pd2 ? 66 : 2), "000");
    EXPECT_EQ(s.Sel(pd2 ? 2 : 66), "111");
    EXPECT_EQ(s.Config(28, 2), pd2 ? "01" : "10");
  }
}

TEST(Qpl6128ApplyDeviceOptions, TheSignatureComesFromTheKindsThatHaveOne) {
  Stage6128 ae(SourceKind::Max7128AE);
  ae.SetFlat(ae.src->ues, 0, "0101000011110000");
  ae.src->ues.at(16) = '0';  // past the 16 signature bits
  ae.Run(4);
  EXPECT_EQ(std::string(ae.target.uesBits.data(), 16), "0101000011110000");
  for (SourceKind kind : {SourceKind::Max7128S, SourceKind::Max7128E, SourceKind::Max7128}) {
    Stage6128 s(kind);
    s.Run(4);
    EXPECT_EQ(std::string(s.target.uesBits.data(), 16), Ones(16)) << SourceKindName(kind);
  }
}

}  // namespace
}  // namespace fusecvt::test
