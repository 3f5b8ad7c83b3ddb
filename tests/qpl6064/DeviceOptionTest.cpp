// Stage 4 of QPL6064: the OE polarity bits, the power-down pins and their pin
// numbers per package, the JTAG pins, the signature, the global clocks and
// the plain 7064's ITD notice for GCLK2.

#include <gtest/gtest.h>

#include "Stage6064.h"

namespace fusecvt::test {
namespace {

void Apply(Stage6064& s) { s.target.ApplyDeviceOptions(s.run); }

std::string PdBox(int stars, const char* name, const std::string& pin) {
  return Stars(stars) + "-" + name + ": Error! Pin " + pin + " for " + name +
         " is used in your logic function.\n" + "             " + name +
         " option cannot be enabled.\n" + Stars(stars);
}

TEST(Qpl6064ApplyDeviceOptions, OePolarityFromTheNinthCharacter) {
  const int bit[6] = {27, 25, 26, 23, 24, 22};
  for (SourceKind kind : kSelect6064Kinds) {
    for (int r = 0; r < 6; ++r) {
      Stage6064 s(kind);
      s.LegalClocks();
      s.src->oePia.at(r, 8) = '0';
      s.src->oePia.at((r + 1) % 6, 4) = '0';  // a pick, not a polarity bit
      Apply(s);
      std::string expected = "000000";
      expected[static_cast<std::size_t>(bit[r] - 22)] = '1';
      EXPECT_EQ(s.Config(22, 6), expected) << SourceKindName(kind) << " row " << r;
    }
  }
  Stage6064 p(SourceKind::Max7064);
  Apply(p);
  EXPECT_EQ(p.Config(22, 6), "000000");
}

TEST(Qpl6064ApplyDeviceOptions, PowerDownRefusalNamesThePackagePin) {
  const struct {
    SourceKind kind;
    const char* name;
    int pins;
    bool pd2;
    const char* pin;
  } cases[] = {
      {SourceKind::Max7064S, "EPM7064SQC100-10", 100, false, "14"},
      {SourceKind::Max7064S, "EPM7064STC100", 100, true, "44"},
      {SourceKind::Max7064S, "EPM7064SLC44-5", 44, false, "11"},
      {SourceKind::Max7064AE, "EPM7064AETC44", 44, false, "5"},
      {SourceKind::Max3064A, "EPM3064ALC44", 44, true, "25"},
      {SourceKind::Max3064A, "EPM3064ATC44", 44, true, "19"},
      {SourceKind::Max7064AE, "EPM7064AEQC44", 44, false, "?"},
      {SourceKind::Max7064S, "EPM7064SLC84", 84, false, "?"},
      {SourceKind::Max7064AE, "EPM7064AETC68", 68, true, "?"},
      {SourceKind::Max7064, "EPM7064LC44", 44, false, "11"},
      {SourceKind::Max7064, "EPM7064TC44", 44, true, "19"},
      {SourceKind::Max7064, "EPM7064LC68", 68, false, "17"},
      {SourceKind::Max7064, "EPM7064LC68", 68, true, "37"},
      {SourceKind::Max7064, "EPM7064LC84", 84, false, "20"},
      {SourceKind::Max7064, "EPM7064LC84", 84, true, "46"},
      {SourceKind::Max7064, "EPM7064QC100", 100, false, "14"},
      {SourceKind::Max7064, "EPM7064QC100", 100, true, "44"},
      {SourceKind::Max7064, "EPM7064", 160, false, "?"},
  };
  for (const auto& c : cases) {
    Stage6064 s(c.kind, c.name, c.pins);
    s.LegalClocks();
    (c.pd2 ? s.run.options.pd2 : s.run.options.pd1) = 1;
    (c.pd2 ? s.target.pinUse.pd2PinUsed : s.target.pinUse.pd1PinUsed) = 1;
    Apply(s);
    const char* name = c.pd2 ? "PD2" : "PD1";
    EXPECT_EQ(s.console.str(), PdBox(67, name, c.pin)) << c.name << " " << name;
    EXPECT_EQ(s.report.str(), PdBox(68, name, c.pin)) << c.name << " " << name;
    EXPECT_EQ(s.run.options.pd1 + s.run.options.pd2, 0);
    EXPECT_EQ(s.Sel(c.pd2 ? 34 : 2), "111") << "refused: fuses left";
    EXPECT_EQ(s.Config(28, 2), "11");
  }
}

TEST(Qpl6064ApplyDeviceOptions, PowerDownActsOnMc3AndMc35) {
  for (SourceKind kind : kAll6064Kinds) {
    for (int which = 0; which < 3; ++which) {  // PD1, PD2, both
      Stage6064 s(kind);
      s.LegalClocks();
      s.src->jtagBit = '0';
      s.run.options.pd1 = which != 1;
      s.run.options.pd2 = which != 0;
      Apply(s);
      const std::string label = std::string(SourceKindName(kind)) + " " + std::to_string(which);
      EXPECT_EQ(s.Sel(2), which != 1 ? "000" : "111") << label;
      EXPECT_EQ(s.Sel(34), which != 0 ? "000" : "111") << label;
      EXPECT_EQ(s.Config(28, 2), which == 0 ? "10" : which == 1 ? "01" : "00") << label;
      for (int m : {7, 31}) EXPECT_EQ(s.Sel(m), "111") << label << " MC " << m + 1;
      EXPECT_EQ(s.console.str() + s.report.str(), "") << label;
    }
  }
}

TEST(Qpl6064ApplyDeviceOptions, JtagPortTakesMc32Mc48AndMc8) {
  const struct {
    SourceKind kind;
    OptionState jtag;
    char sourceBit;
    char jtagBit;
  } cases[] = {
      {SourceKind::Max7064S, AUTO, '1', '1'},  {SourceKind::Max7064AE, AUTO, '0', '0'},
      {SourceKind::Max3064A, ON, '0', '1'},    {SourceKind::Max7064S, OFF, '1', '0'},
      {SourceKind::Max7064, OFF, '1', '0'},    {SourceKind::Max7064, AUTO, '1', '0'},
      {SourceKind::Max7064, ON, '1', '1'},
  };
  for (const auto& c : cases) {
    Stage6064 s(c.kind);
    s.LegalClocks();
    s.run.options.jtag = c.jtag;
    s.src->jtagBit = c.sourceBit;
    for (int m = 0; m < 64; ++m) s.target.mcBits.at(m, 1) = '0';  // S0..S2 = 101
    Apply(s);
    const std::string label = std::string(SourceKindName(c.kind)) + " " + std::to_string(c.jtag);
    EXPECT_EQ(s.target.jtagBit, c.jtagBit) << label;
    for (int m : {31, 47, 7}) EXPECT_EQ(s.Sel(m), c.jtagBit == '1' ? "000" : "101") << label;
    // TDO (MC 56) and the QPL6032 JTAG macrocells keep their bits.
    for (int m : {55, 8, 24, 3}) EXPECT_EQ(s.Sel(m), "101") << label << " MC " << m + 1;
    EXPECT_EQ(s.console.str(), "") << label;
  }
}

TEST(Qpl6064ApplyDeviceOptions, SignatureFromTheFirstSixteenCharacters) {
  const char* ues = "0101001100001111";
  for (SourceKind kind : kSelect6064Kinds) {
    Stage6064 s(kind);
    s.LegalClocks();
    for (int i = 0; i < 16; ++i) s.src->ues.at(i) = ues[i];
    for (std::size_t i = 16; i < s.src->ues.size(); ++i) s.src->ues.at(static_cast<int>(i)) = '0';
    Apply(s);
    EXPECT_EQ(std::string(s.target.uesBits.data(), 16), ues) << SourceKindName(kind);
  }
  Stage6064 p(SourceKind::Max7064);
  Apply(p);
  EXPECT_EQ(std::string(p.target.uesBits.data(), 16), std::string(16, '1'));
}

TEST(Qpl6064ApplyDeviceOptions, GlobalClocksAsOnTheSmallerTarget) {
  const struct {
    const char* code;
    const char* bits;
  } cases[] = {{"001", "010110"}, {"010", "011111"}, {"011", "111110"},
               {"100", "010111"}, {"101", "011110"}, {"110", "010011"}};
  for (const auto& c : cases) {
    Stage6064 s(SourceKind::Max7064AE);
    s.SetFlat(s.src->globalClocks, c.code);
    Apply(s);
    EXPECT_EQ(s.Config(15, 6), c.bits) << c.code;
    EXPECT_EQ(s.console.str(), "");
  }
  Stage6064 bad(SourceKind::Max7064S);  // an erased source: "111"
  Apply(bad);
  EXPECT_EQ(bad.console.str(), "Illegal GCLK\n");
  EXPECT_EQ(bad.Config(15, 6), "111110");
  Stage6064 p(SourceKind::Max7064);
  Apply(p);
  EXPECT_EQ(p.console.str(), "") << "the plain 7064 has no clock step";
  EXPECT_EQ(p.Config(15, 6), "111110");
}

TEST(Qpl6064ApplyDeviceOptions, GclkItdFollowsWhatStageOneRecorded) {
  // The logic reads GCLK2 (row 6, pick 3) and GCLK1 (row 33, pick 3); the
  // user asks to disable ITD on both.
  const std::string override1 =
      "\nGCLK1 ITD setting override: (ignore user request to disable)\n"
      "GCLK1 pin is used as a logic input so ITD wake-up enable is required\n\n";
  const std::string override2 =
      "\nGCLK2 ITD setting override: (ignore user request to disable)\n"
      "GCLK2 pin is used as a logic input so ITD wake-up enable is required\n\n";
  for (SourceKind kind : {SourceKind::Max7064S, SourceKind::Max7064}) {
    Stage6064 s(kind);
    s.LegalClocks();
    s.IdleAll();
    s.Pick(0, 6, 3);
    s.Pick(0, 33, 3);
    s.Connect(0, 0, 12);
    s.Connect(1, 0, 67);
    s.run.options.gclk1Itd = 0;
    s.run.options.gclk2Itd = 0;
    s.Run(4);
    if (kind == SourceKind::Max7064) {
      // The plain 7064 records no GCLK2 use: the ITD-disabled notice.
      EXPECT_EQ(s.console.str(),
                override1 + " ITD Disabled, activity on GCLK2 dose not cause a part wake-up\n");
      EXPECT_EQ(s.target.configBits.at(10), '1');
      EXPECT_EQ(s.run.options.gclk2Itd, 0);
    } else {
      EXPECT_EQ(s.console.str(), override1 + override2);
      EXPECT_EQ(s.target.configBits.at(10), '0');
      EXPECT_EQ(s.run.options.gclk2Itd, 1);
    }
    EXPECT_EQ(s.target.configBits.at(11), '0') << SourceKindName(kind);
    EXPECT_EQ(s.run.options.gclk1Itd, 1);
  }
}

TEST(Qpl6064ClearUnusedProductTerms, AllSixtyFourMacrocells) {
  Stage6064 s(SourceKind::Max7064AE);
  s.LegalClocks();
  s.IdleAll();
  s.Pick(3, 0, 0);
  s.Connect(63, 1, 0);  // MC 64 PT 2 reads a line
  s.Run();
  for (int k = 0; k < 5; ++k) {
    const std::string want(80, k == 1 ? '1' : '0');
    EXPECT_EQ(s.Inputs(63, k).substr(1), want.substr(1)) << "PT " << k + 1;
    EXPECT_EQ(s.Foldbacks(63, k), std::string(16, k == 1 ? '1' : '0')) << "PT " << k + 1;
  }
  EXPECT_EQ(s.Inputs(63, 1)[0], '0');
  EXPECT_EQ(s.Inputs(47, 4), std::string(80, '0'));
}

}  // namespace
}  // namespace fusecvt::test
