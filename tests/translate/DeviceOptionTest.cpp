// Stage 4 of QPL6032: global clocks, ITD, OE polarity, power-down pins, pin
// keeper, JTAG mode and pull-ups, signature, with every refusal box.

#include <gtest/gtest.h>

#include "StageFixture.h"

namespace fusecvt::test {
namespace {

// Runs stage 4 alone on a fresh target.
void Apply(Stage6032& s) { s.target.ApplyDeviceOptions(s.run); }

std::string PdBox(int stars, const char* name, const std::string& pin) {
  return Stars(stars) + "-" + name + ": Error! Pin " + pin + " for " + name +
         " is used in your logic function.\n" + "             " + name +
         " option cannot be enabled.\n" + Stars(stars);
}

std::string PullupBox(const char* name) {
  return Stars(79) + "-" + name +
         ": Error! Some or all four JTAG pins are used in your logic function.\n" +
         "                    " + name + " option cannot be enabled.\n" + Stars(79);
}

const std::string kJtagWarningConsole =
    "WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n"
    "   this design.  If these pins are used for I/O in the design, use the \n"
    "   -JTAG OFF option.\n\n";
const std::string kJtagWarningReport =
    "WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n"
    "   this design.  If these pins are used for I/O in the design, use the  \n"
    "   -JTAG OFF option.\n\n";

TEST(Qpl6032ApplyDeviceOptions, PowerResetAndPinKeeperBits) {
  for (int reset : {0, 1}) {
    for (int keep : {0, 1}) {
      Stage6032 s(SourceKind::Max7032AE);
      s.run.options.powerResetBit = reset;
      s.run.options.pinKeep = keep;
      Apply(s);
      EXPECT_EQ(s.target.configBits.at(6), reset ? '1' : '0');
      EXPECT_EQ(s.target.configBits.at(30), keep ? '0' : '1');
    }
  }
}

TEST(Qpl6032ApplyDeviceOptions, GlobalClockCodes) {
  // configBits 15..20; the defaults are 1 1 1 1 1 0.
  const struct {
    const char* code;
    const char* bits;
  } cases[] = {{"001", "010110"}, {"010", "011111"}, {"011", "111110"},
               {"100", "010111"}, {"101", "011110"}, {"110", "010011"}};
  for (const auto& c : cases) {
    Stage6032 s(SourceKind::Max7032S);
    s.SetChars(s.src->globalClocks, c.code);
    Apply(s);
    EXPECT_EQ(s.Config(15, 6), c.bits) << c.code;
    EXPECT_EQ(s.console.str(), "");
  }
  for (const char* code : {"000", "111"}) {
    Stage6032 s(SourceKind::Max3032A);
    s.SetChars(s.src->globalClocks, code);
    Apply(s);
    EXPECT_EQ(s.Config(15, 6), "111110") << code;
    EXPECT_EQ(s.console.str(), "Illegal GCLK\n") << code;
    EXPECT_EQ(s.report.str(), "");
  }
  Stage6032 p(SourceKind::Max7032);
  Apply(p);
  EXPECT_EQ(p.Config(15, 6), "111110") << "the plain 7032 has no clock step";
  EXPECT_EQ(p.console.str(), "");
}

TEST(Qpl6032ApplyDeviceOptions, ItdOverrideAndDisable) {
  // GCLK1 read by the logic and -gclk1_itd: override notice, setting back to 1.
  Stage6032 s(SourceKind::Max7032S);
  s.SetChars(s.src->globalClocks, "001");
  s.target.pinUse.gclk1ComplementUsed = 1;
  s.run.options.gclk1Itd = 0;
  s.run.options.gclk2Itd = 0;  // GCLK2 not read: ITD disabled as asked
  s.run.options.gclk3Itd = 1;
  Apply(s);
  EXPECT_EQ(s.console.str(),
            "\nGCLK1 ITD setting override: (ignore user request to disable)\n"
            "GCLK1 pin is used as a logic input so ITD wake-up enable is required\n\n"
            " ITD Disabled, activity on GCLK2 dose not cause a part wake-up\n");
  EXPECT_EQ(s.report.str(), "");
  EXPECT_EQ(s.run.options.gclk1Itd, 1);
  EXPECT_EQ(s.run.options.gclk2Itd, 0);
  EXPECT_EQ(s.target.configBits.at(11), '0');
  EXPECT_EQ(s.target.configBits.at(10), '1');
  EXPECT_EQ(s.target.configBits.at(9), '0');

  Stage6032 g3(SourceKind::Max7032);
  g3.target.pinUse.gclk3Used = 1;
  g3.run.options.gclk3Itd = 0;
  Apply(g3);
  EXPECT_EQ(g3.console.str(),
            "\nGCLK3 ITD setting override: (ignore user request to disable)\n"
            "GCLK3 pin is used as a logic input so ITD wake-up enable is required\n\n");
  EXPECT_EQ(g3.run.options.gclk3Itd, 1);
  EXPECT_EQ(g3.target.configBits.at(9), '0');
}

TEST(Qpl6032ApplyDeviceOptions, OePolarityBitPerRow) {
  const int bit[6] = {23, 26, 27, 24, 25, 22};
  for (int r = 0; r < 6; ++r) {
    Stage6032 s(SourceKind::Max7032AE);
    s.src->oePia.at(r, 4) = '0';
    s.src->oePia.at((r + 1) % 6, 3) = '0';  // only the fifth character counts
    Apply(s);
    std::string expected = "000000";
    expected[static_cast<std::size_t>(bit[r] - 22)] = '1';
    EXPECT_EQ(s.Config(22, 6), expected) << "row " << r;
  }
  Stage6032 p(SourceKind::Max7032);
  Apply(p);
  EXPECT_EQ(p.Config(22, 6), "000000");
}

TEST(Qpl6032ApplyDeviceOptions, PowerDownRefusalNamesThePackagePin) {
  struct Case {
    SourceKind kind;
    const char* name;
    int pins;
    bool pd2;
    std::string pin;
  } cases[] = {
      {SourceKind::Max7032S, "EPM7032SLC44-10", 44, false, "11"},
      {SourceKind::Max7032S, "EPM7032STC44-10", 44, false, "5"},
      {SourceKind::Max7032AE, "EPM7032AELC44", 44, true, "25"},
      {SourceKind::Max3032A, "EPM3032ATC44", 44, true, "19"},
      {SourceKind::Max7032S, "EPM7032SQC44", 44, false, "?"},
      {SourceKind::Max7032AE, "EPM7032AETC68", 68, false, "?"},
      {SourceKind::Max7032, "EPM7032LC44", 44, false, "11"},
      {SourceKind::Max7032, "EPM7032LC68", 68, true, "37"},
      {SourceKind::Max7032, "EPM7032LC84", 84, false, "20"},
      {SourceKind::Max7032, "EPM7032QC100", 100, true, "44"},
      {SourceKind::Max7032, "EPM7032QC100", 100, false, "14"},
      {SourceKind::Max7032, "EPM7032", 160, false, "?"},
  };
  for (const Case& c : cases) {
    Stage6032 s(c.kind);
    if (!s.src->globalClocks.empty()) s.SetChars(s.src->globalClocks, "001");
    s.run.pof.sourceDeviceName = c.name;
    s.run.pof.pinCount = c.pins;
    (c.pd2 ? s.run.options.pd2 : s.run.options.pd1) = 1;
    (c.pd2 ? s.target.pinUse.pd2PinUsed : s.target.pinUse.pd1PinUsed) = 1;
    Apply(s);
    const char* name = c.pd2 ? "PD2" : "PD1";
    EXPECT_EQ(s.console.str(), PdBox(67, name, c.pin)) << c.name;
    EXPECT_EQ(s.report.str(), PdBox(68, name, c.pin)) << c.name;
    EXPECT_EQ(s.run.options.pd1, 0);
    EXPECT_EQ(s.run.options.pd2, 0);
    EXPECT_EQ(s.Sel(c.pd2 ? 31 : 7), "111") << "refused: fuses left";
    EXPECT_EQ(s.Config(28, 2), "11");
  }
}

TEST(Qpl6032ApplyDeviceOptions, PowerDownAccepted) {
  Stage6032 s(SourceKind::Max7032S);
  s.SetChars(s.src->globalClocks, "001");
  s.src->jtagBit = '0';
  s.run.options.pd1 = 1;
  s.run.options.pd2 = 1;
  Apply(s);
  EXPECT_EQ(s.Sel(7), "000");
  EXPECT_EQ(s.Sel(31), "000");
  EXPECT_EQ(s.Config(28, 2), "00");
  EXPECT_EQ(s.run.options.pd1, 1);
  EXPECT_EQ(s.run.options.pd2, 1);
  EXPECT_EQ(s.console.str() + s.report.str(), "");
  // One refused, the other accepted.
  Stage6032 t(SourceKind::Max7032S);
  t.SetChars(t.src->globalClocks, "001");
  t.run.options.pd1 = 1;
  t.run.options.pd2 = 1;
  t.target.pinUse.pd1PinUsed = 1;
  Apply(t);
  EXPECT_EQ(t.report.str(), PdBox(68, "PD1", "11"));
  EXPECT_EQ(t.Config(28, 2), "01");
  EXPECT_EQ(t.run.options.pd2, 1);
}

TEST(Qpl6032ApplyDeviceOptions, JtagModes) {
  struct Case {
    SourceKind kind;
    OptionState jtag;
    char sourceBit;
    bool tdoUsed;
    char jtagBit;
    bool warning;
  } cases[] = {
      {SourceKind::Max7032S, AUTO, '1', false, '1', false},
      {SourceKind::Max7032S, AUTO, '0', false, '0', false},
      {SourceKind::Max7032AE, ON, '0', true, '1', true},
      {SourceKind::Max3032A, ON, '0', false, '1', false},
      {SourceKind::Max7032S, OFF, '1', true, '0', false},
      {SourceKind::Max7032, UNSET, '1', false, '0', false},
      {SourceKind::Max7032, AUTO, '1', false, '0', false},
      {SourceKind::Max7032, ON, '1', true, '1', true},
  };
  for (const Case& c : cases) {
    Stage6032 s(c.kind);
    if (!s.src->globalClocks.empty()) s.SetChars(s.src->globalClocks, "001");
    s.run.options.jtag = c.jtag;
    s.src->jtagBit = c.sourceBit;
    s.target.pinUse.tdoPinUsed = c.tdoUsed;
    for (int m = 0; m < 32; ++m) s.target.mcBits.at(m, 1) = '0';  // S0..S2 = 101
    Apply(s);
    const std::string label = std::string(SourceKindName(c.kind)) + " " + std::to_string(c.jtag);
    EXPECT_EQ(s.target.jtagBit, c.jtagBit) << label;
    EXPECT_EQ(s.console.str(), c.warning ? kJtagWarningConsole : "") << label;
    EXPECT_EQ(s.report.str(), c.warning ? kJtagWarningReport : "") << label;
    // With the port on, the TMS, TCK and TDI pins serve it; TDO keeps its bits.
    for (int m : {8, 24, 3}) EXPECT_EQ(s.Sel(m), c.jtagBit == '1' ? "000" : "101") << label;
    EXPECT_EQ(s.Sel(19), "101") << label;
    EXPECT_EQ(s.Sel(0), "101") << label;
  }
}

TEST(Qpl6032ApplyDeviceOptions, PullupsSwitchJtagOnOrAreRefused) {
  {
    // -tdi_pullup without -jtag, no JTAG pin used: JTAG mode switched on silently.
    Stage6032 s(SourceKind::Max7032S);
    s.SetChars(s.src->globalClocks, "001");
    s.src->jtagBit = '0';
    s.run.options.tdiPullup = 1;
    Apply(s);
    EXPECT_EQ(s.Config(7, 2), "01");
    EXPECT_EQ(s.target.jtagBit, '1');
    EXPECT_EQ(s.run.options.jtag, ON);
    for (int m : {3, 8, 24}) EXPECT_EQ(s.Sel(m), "000");
    EXPECT_EQ(s.console.str() + s.report.str(), "");
  }
  {
    // Both pull-ups, TCK pin used, jtag not ON: two refusals, TDI first.
    Stage6032 s(SourceKind::Max7032AE);
    s.SetChars(s.src->globalClocks, "001");
    s.src->jtagBit = '0';
    s.run.options.tdiPullup = 1;
    s.run.options.tmsPullup = 1;
    s.target.pinUse.tckPinUsed = 1;
    Apply(s);
    const std::string boxes = PullupBox("TDI_pullup") + PullupBox("TMS_pullup");
    EXPECT_EQ(s.console.str(), boxes);
    EXPECT_EQ(s.report.str(), boxes);
    EXPECT_EQ(s.run.options.tdiPullup, 0);
    EXPECT_EQ(s.run.options.tmsPullup, 0);
    EXPECT_EQ(s.run.options.jtag, AUTO);
    EXPECT_EQ(s.target.jtagBit, '0');
    EXPECT_EQ(s.Config(7, 2), "11");
  }
  {
    // -jtag on: the pull-ups are set whatever the pins (after the warning).
    Stage6032 s(SourceKind::Max3032A);
    s.SetChars(s.src->globalClocks, "001");
    s.run.options.jtag = ON;
    s.run.options.tmsPullup = 1;
    s.target.pinUse.tmsPinUsed = 1;
    Apply(s);
    EXPECT_EQ(s.Config(7, 2), "10");
    EXPECT_EQ(s.console.str(), kJtagWarningConsole);
    EXPECT_EQ(s.run.options.tmsPullup, 1);
  }
  {
    // The plain 7032 (jtag UNSET) takes the same road as OFF.
    Stage6032 s(SourceKind::Max7032);
    s.run.options.tmsPullup = 1;
    s.target.pinUse.tdiPinUsed = 1;
    Apply(s);
    EXPECT_EQ(s.report.str(), PullupBox("TMS_pullup"));
    EXPECT_EQ(s.run.options.jtag, UNSET);
  }
}

TEST(Qpl6032ApplyDeviceOptions, SignatureCopiedFromTheSource) {
  Stage6032 s(SourceKind::Max7032AE);
  s.SetChars(s.src->globalClocks, "001");
  const char* ues = "0101001100001111";
  for (int i = 0; i < 16; ++i) s.src->ues.at(i) = ues[i];
  s.src->ues.at(16) = '0';  // past the 16 the target holds
  Apply(s);
  EXPECT_EQ(std::string(s.target.uesBits.data(), 16), ues);
}

}  // namespace
}  // namespace fusecvt::test
