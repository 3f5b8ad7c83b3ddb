// Whole conversions to the QPL6064: a POF of each source kind (the plain 7064
// in its 44-, 68-, 84- and 100-pin packages) made by the test POF builder and
// converted by the real run. The JEDEC file and the report must match, byte
// for byte, what the translation rules make of the design: the expected
// target image is set up here by hand, field by field, and written out by the
// writer tests' own model of the fuse map.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Stage6064.h"
#include "driver/Version.h"
#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// ---------------------------------------------------------------------------
// The expected target image

// S0..S23 of a macrocell whose only source bit set is mc[7] = '0' (S6 '0':
// no product term is routed): VCC select, S15 = !mc6 = '0', S21 '1' (unused).
// The select kinds: S4 '1', S8 mc11 '1', S20 !io '0', S22 io '1'.
constexpr char kIdle[] = "111" "111011" "11111101" "1110" "111";
// The plain 7064 with slew AUTO and open_out OFF: S8 = S22 = !mc11 = '0',
// S20 '0'.
constexpr char kIdlePlain[] = "111" "111010" "11111101" "1110" "101";

struct Expected {
  explicit Expected(const char* idle) : image(std::make_unique<Qpl6064>()) {
    for (int m = 0; m < 64; ++m) {
      std::memcpy(image->mcBits.row(m), idle, 24);
      for (int k = 0; k < 5; ++k) Term(m + 1, k + 1, '0');
    }
    for (int b = 0; b < 4; ++b) {
      for (int u : {18, 19, 38, 39}) Uim(b, u, 1);
    }
  }
  // S bits of MC n (1..64), all 24 or only S0..S2.
  void Bits(int n, const char* bits) { std::memcpy(image->mcBits.row(n - 1), bits, 24); }
  void Sel(int n, const char* sel) { std::memcpy(image->mcBits.row(n - 1), sel, 3); }
  // All 96 fuses of PT p (1..5) of MC n.
  void Term(int n, int p, char c) {
    std::memset(image->ptInputFuses.row(n - 1, p - 1), c, 80);
    std::memset(image->ptFoldbackFuses.row(n - 1, p - 1), c, 16);
  }
  void Input(int n, int p, int fuse) { image->ptInputFuses.at(n - 1, p - 1, fuse) = '0'; }
  void Foldback(int n, int p, int fuse) { image->ptFoldbackFuses.at(n - 1, p - 1, fuse) = '0'; }
  // UIM line u of block b selects with fuse f.
  void Uim(int b, int u, int f) {
    std::memset(image->uimMux.row(b, u), '1', 9);
    image->uimMux.at(b, u, f) = '0';
  }
  void Goe(int g, int f) {
    std::memset(image->goeMux.row(g), '1', 9);
    image->goeMux.at(g, f) = '0';
  }
  void Config(int i, char c) { image->configBits.at(i) = c; }
  void Clocks(const char* bits15to20) {
    for (int i = 0; i < 6; ++i) Config(15 + i, bits15to20[i]);
  }
  void Ues(const char* bits) { std::memcpy(image->uesBits.data(), bits, 16); }

  std::unique_ptr<Qpl6064> image;
};

// ---------------------------------------------------------------------------
// The expected report

std::string Banner() {
  return std::string(kMakerName) + " fusecvt " + kVersionText + kBuildDate + "\n" + kRightsNotice +
         "\n\n";
}

struct Files {
  explicit Files(const ScratchDir& dir, const std::string& stem)
      : pof(dir.File(stem + ".pof")), jed(dir.File(stem + ".jed")), txt(dir.File(stem + ".txt")) {}
  std::string pof, jed, txt;
};

std::string Header(const std::string& conversion, const Files& f, bool lowVoltageWarning) {
  std::string r = "  " + conversion + "\n" + "Input file                : " + f.pof + "\n" +
                  "Output file               : " + f.jed + "\n" +
                  "Conversion Report file    : " + f.txt + "\n\n";
  if (lowVoltageWarning) {
    r += "WARNING:  If conversion is for a low voltage device,\n"
         "   please use the -power_reset option.\n\n";
  }
  return r;
}

struct Summary {
  const char* heading = "Options :  (6064 only)";  // null: none
  const char* powerdown = "OFF";
  const char* pinClk = "OFF";
  const char* powerReset = "ALWAYS";
  const char* itd2 = "ON";
  const char* openCollector = "AUTO";
  const char* jtag = "AUTO";
  const char* tdiPullup = "OFF";

  std::string Text() const {
    std::string s = "\n";
    if (heading) s += std::string(heading) + "\n";
    s += std::string("   Powerdown :\t\t") + powerdown + "\n";
    s += "   Security Bit :\tAUTO\n";
    s += "   Slew Rate :\t\tAUTO\n";
    s += std::string("   PinClk :\t\t") + pinClk + "\n";
    s += "   Race Coverage :\tON\n";
    s += "   Pin Keeper :\t\tOFF\n";
    s += "   Macrocell Low Power:\tAUTO\n";
    s += std::string("   Power Reset :\t") + powerReset + "\n";
    s += "   ITD on GCLK1 :\tON\n";
    s += std::string("   ITD on GCLK2 :\t") + itd2 + "\n";
    s += "   ITD on GCLK3 :\tON\n";
    s += std::string("   Open Collector :\t") + openCollector + "\n";
    s += std::string("   JTAG mode :\t\t") + jtag + "\n";
    s += std::string("   TDI Pullup :\t\t") + tdiPullup + "\n";
    s += "   TMS Pullup :\t\tOFF\n";
    return s;
  }
};

std::string PdBox(int stars, const char* name, const std::string& pin) {
  return Stars(stars) + "-" + name + ": Error! Pin " + pin + " for " + name +
         " is used in your logic function.\n" + "             " + name +
         " option cannot be enabled.\n" + Stars(stars);
}

std::string ErrorBox(int stars) {
  return Stars(stars) + "Error! POF Conversion may not be correct.\n" +
         "       Some source settings have no counterpart on the target device.\n" +
         "       Please check the design, or ask your device supplier for help.\n" + Stars(stars);
}

std::string PullupBox(const char* name) {
  return Stars(79) + "-" + name +
         ": Error! Some or all four JTAG pins are used in your logic function.\n" +
         "                    " + name + " option cannot be enabled.\n" + Stars(79);
}

// ---------------------------------------------------------------------------

// Runs the conversion of `b` with `options` and checks status, JEDEC file and
// report; the JEDEC file must also pass the test reader and jedutil.
void ConvertAndCheck(const PofBuilder& b, const Files& f, std::vector<std::string> options,
                     const Expected& want, const char* package, int pins,
                     const std::string& report) {
  b.WriteTo(f.pof);
  std::vector<std::string> args{"fusecvt"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(f.pof);
  const RunResult r = RunInProcess(args);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");

  ExpectedHeader h;
  h.packageName = package;
  h.pinCount = pins;
  h.createdOn = kTestTimeText;
  const std::string jed = ReadFile(f.jed);
  const std::string expected = ExpectedJedecFile(*want.image, h);
  EXPECT_TRUE(jed == expected) << FirstDifference(expected, jed);
  const std::string txt = ReadFile(f.txt);
  EXPECT_TRUE(txt == report) << FirstDifference(report, txt);

  const JedecReadResult read = ReadJedec(jed);
  EXPECT_TRUE(read.ok()) << read.ErrorText();
  EXPECT_EQ(read.fuseCount, 34192);
  EXPECT_EQ(read.computedChecksum, read.fileChecksum);
  if (!JedutilAvailable() && !JedutilRequired()) return;
  EXPECT_TRUE(JedutilAccepts(f.jed));
}

void IdleAll(SourceImage& s) {
  for (int m = 0; m < 64; ++m) s.mcConfig.at(m, 7) = '0';
}

void SetRow(FuseArray& field, int row, const char* text) {
  for (int i = 0; text[i]; ++i) field.at(row, i) = text[i];
}

void SetFlat(FuseArray& field, const char* text) {
  for (int i = 0; text[i]; ++i) field.at(i) = text[i];
}

constexpr char kUes[] = "0011010100001111";

TEST(Qpl6064EndToEnd, A7064SDesignWithPowerDownAndOePolarity) {
  ScratchDir dir;
  const Files f(dir, "s44");
  PofBuilder b("EPM7064SLC44-10");
  SourceImage& s = b.image();
  ASSERT_EQ(s.kind(), SourceKind::Max7064S);
  IdleAll(s);
  SetRow(s.mcConfig, 0, "0110100110101");  // MC 1
  SetRow(s.ioConfig, 0, "101010");          // select 101: OE1
  s.logicArray.at(0, 0, 0) = '0';           // PT 1: row 0 true
  s.logicArray.at(0, 0, 77) = '0';          //       expander of MC 6
  s.pia.at(0, 0, 0) = '0';                  // block A row 0 pick 0: F40, line 0
  s.pia.at(0, 18, 3) = '0';                 // block A row 18 pick 3: P1, line 1, read by nothing
  SetRow(s.oePia, 0, "110110110");          // '0' at 2 and 5: pick 5 (P24); polarity on
  SetFlat(s.globalClocks, "001");
  SetFlat(s.ues, kUes);

  Expected want(kIdle);
  // MC 1: OE1 -> 001; S3..S8 mc10 io4 mc5 mc7 mc12 mc11 = 1 1 0 1 1 0; S9..S16
  // mc0 mc8 mc9 mc3 mc1 mc4 !mc6 mc2 = 0 1 0 0 1 1 1 1; S17 1, S18 mc10 1,
  // S19 mc12 1, S20 !io5 1; S21 0, S22 io3 0, S23 1.
  want.Bits(1, "001" "110110" "01001111" "1111" "001");
  want.Term(1, 1, '1');
  want.Input(1, 1, 0);
  want.Foldback(1, 1, 5);
  want.Term(1, 2, '1');  // S13 '1' with S6 '1' routes PT 2
  want.Term(1, 4, '1');  // S12 '0' routes PT 4
  want.Uim(0, 0, 3);     // F40 is fuse 3 of line 0
  want.Uim(0, 1, 8);     // line 1 parked
  want.Goe(0, 4);        // P24 is fuse 4 of GOE 0
  want.Config(27, '1');  // OE PIA row 0 polarity
  want.Clocks("010110");
  want.Sel(3, "000");    // PD1 on MC 3
  want.Config(29, '0');
  want.image->jtagBit = '1';  // the source's JTAG bit, erased '1'
  for (int n : {32, 48, 8}) want.Sel(n, "000");
  want.Ues(kUes);

  Summary summary;
  summary.powerdown = "PD1";
  const std::string report = Banner() + Header("EPM7064SLC44-10 --> QPL6064ESPLCC44", f, true) +
                             "Conversion is completed\n" + summary.Text();
  ConvertAndCheck(b, f, {"-pd1"}, want, "PLCC", 44, report);
}

TEST(Qpl6064EndToEnd, A7064AEDesignWithPinClockRefusalAndUnsupportedBits) {
  ScratchDir dir;
  const Files f(dir, "ae100");
  PofBuilder b("EPM7064AETC100-10");
  SourceImage& s = b.image();
  ASSERT_EQ(s.kind(), SourceKind::Max7064AE);
  IdleAll(s);
  s.ioConfig.at(2, 6) = '0';  // MC 3 select io6 io5 io4 = 001: GND, the pin is in use
  s.ioConfig.at(2, 5) = '0';
  s.mcConfig.at(16, 7) = '1';   // MC 17: every bit erased but mc10
  s.mcConfig.at(16, 10) = '0';  // S3 '0'
  s.pia.at(1, 33, 3) = '0';     // block B row 33 pick 3: GCLK1
  s.logicArray.at(16, 3, 66) = '0';  // PT 4 reads GCLK1, true
  SetFlat(s.globalClocks, "001");
  s.unknownBits.at(0) = '0';
  SetFlat(s.ues, kUes);
  for (int i = 16; i < 32; ++i) s.ues.at(i) = '0';  // past the 16 the target takes

  Expected want(kIdle);
  want.Sel(3, "000");
  // MC 17 after the pin-clock conversion (code 1, GCLK1 true: first line):
  // S3 0, S4 io1 1, S5 0, S6 1, S7 1, S8 1; S9..S11 1, S12 0, S13 1, S14 1,
  // S15 0, S16 1; S17 1, S18 mc10 0, S19 1, S20 !io2 0; S21 0, S22 1, S23 1.
  want.Bits(17, "111" "010111" "11101101" "1010" "011");
  want.Term(17, 2, '1');  // routed by S13 and S6; PT 4 stays all '0'
  want.Uim(1, 33, 8);     // the converted term no longer reads line 33: parked
  want.Clocks("010110");
  want.Config(6, '0');    // low-voltage target: large power-up reset hysteresis
  want.image->jtagBit = '1';
  for (int n : {32, 48, 8}) want.Sel(n, "000");
  want.Ues(kUes);

  Summary summary;
  summary.pinClk = "ON";
  summary.powerReset = "ONCE";
  const std::string report = Banner() +
                             Header("EPM7064AETC100-10 --> QPL6064ESLTQFP100", f, false) +
                             PdBox(68, "PD1", "14") + ErrorBox(62) +
                             "**** There are PT-Clock converted to Pin Clock ****\n"
                             "Conversion is completed\n" +
                             summary.Text();
  ConvertAndCheck(b, f, {"-pd1", "-pinclk"}, want, "TQFP", 100, report);
}

TEST(Qpl6064EndToEnd, A3064ADesignWithGoeRoutingAndAPullupRefusal) {
  ScratchDir dir;
  const Files f(dir, "a44");
  PofBuilder b("EPM3064ATC44-10");
  SourceImage& s = b.image();
  ASSERT_EQ(s.kind(), SourceKind::Max3064A);
  IdleAll(s);
  s.jtagBit = '0';
  // Selects at io5 io4 io3: MC 48 GND (001), MC 5 OE2 (011), MC 12 OE1 (101).
  SetRow(s.ioConfig, 47, "111100");
  SetRow(s.ioConfig, 4, "111110");
  SetRow(s.ioConfig, 11, "111101");
  SetRow(s.oePia, 1, "011111111");  // pick 0: F51 on GOE 2
  s.mcConfig.at(19, 2) = '0';       // MC 20: S16 '0' routes PT 3
  s.pia.at(1, 24, 3) = '0';         // block B row 24 pick 3: -1, line 13
  s.logicArray.at(19, 2, 49) = '0'; // PT 3 reads it complemented
  SetFlat(s.globalClocks, "100");
  SetFlat(s.ues, kUes);

  Expected want(kIdle);
  want.Sel(48, "000");
  want.Sel(5, "011");   // OE2 travels on GOE 2
  want.Sel(12, "001");  // kept: MC 12 and MC 22 are not cleared for this kind
  want.Bits(20, "111" "111011" "11111100" "1110" "011");
  want.Term(20, 3, '1');
  want.Input(20, 3, 27);  // line 13, complement: fuse 2*13+1
  want.Uim(1, 13, 0);     // -1 is fuse 0 of line 13
  want.Goe(2, 0);
  want.Clocks("010111");  // code 4
  want.Config(6, '0');
  want.Ues(kUes);
  // The source's JTAG bit is '0': the TCK pin (MC 48) counts as used and
  // the TDI pull-up is refused; the port stays off.

  Summary summary;
  summary.heading = nullptr;
  summary.powerReset = "ONCE";
  const std::string report = Banner() + Header("EPM3064ATC44-10 --> QPL6064ESLTQFP44", f, false) +
                             PullupBox("TDI_pullup") + "Conversion is completed\n" +
                             summary.Text();
  ConvertAndCheck(b, f, {"-tdi_pullup"}, want, "TQFP", 44, report);
}

struct PlainCase {
  const char* name;
  const char* package;
  int pins;
  int records;       // output-enable records of the package
  int mcOfRecord1;   // macrocells that take records 1 and 2
  int mcOfRecord2;
  std::vector<std::string> options;
  const char* pd1Pin;  // refusal text, or null: no PD1 requested
  bool pd2;            // PD2 requested (and accepted)
  const char* powerdown;
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }

class Qpl6064EndToEndPlain : public ::testing::TestWithParam<PlainCase> {};

TEST_P(Qpl6064EndToEndPlain, OutputEnableRecordsFollowThePackage) {
  const PlainCase& c = GetParam();
  ScratchDir dir;
  const Files f(dir, "plain");
  PofBuilder b(c.name);
  ASSERT_EQ(b.pinCount(), c.pins);
  SourceImage& s = b.image();
  ASSERT_EQ(s.kind(), SourceKind::Max7064);
  IdleAll(s);
  SetRow(s.outputEnable, 0, "10");              // OE1
  SetRow(s.outputEnable, 1, "00");              // GND
  SetRow(s.outputEnable, 2, "00");
  SetRow(s.outputEnable, c.records - 1, "01");  // OE2
  s.mcConfig.at(0, 0) = '0';                    // MC 1: S9 '0' routes PT 1
  s.pia.at(0, 33, 0) = '0';                     // block A row 33 code 011: GCLK1, line 33
  s.logicArray.at(0, 0, 66) = '0';

  Expected want(kIdlePlain);
  want.Bits(1, "001" "111010" "01111101" "1110" "001");
  want.Term(1, 1, '1');
  want.Input(1, 1, 66);
  want.Sel(c.mcOfRecord1, "000");
  want.Sel(c.mcOfRecord2, "000");
  want.Sel(64, "010");
  want.Goe(0, 0);  // OE1 seen: -1
  want.Goe(1, 0);  // OE2 seen: -2
  // Every erased three-bit code picks 7; all fed lines but the one read are parked.
  for (int bl = 0; bl < 4; ++bl) {
    for (int u = 0; u < 40; ++u) {
      if (!Unfed(u)) want.Uim(bl, u, ParkFuse(u));
    }
  }
  want.Uim(0, 33, 0);      // -5 is fuse 0 of line 33
  want.Config(10, '1');    // -gclk2_itd: GCLK2 is never recorded as used
  if (c.pd2) {
    want.Sel(35, "000");
    want.Config(28, '0');
  }

  Summary summary;
  summary.powerdown = c.powerdown;
  summary.itd2 = "OFF";
  summary.openCollector = "OFF";
  summary.jtag = "OFF";
  std::string report = Banner() +
                       Header(std::string(c.name) + " --> QPL6064ES" + c.package +
                                  std::to_string(c.pins),
                              f, true);
  if (c.pd1Pin) report += PdBox(68, "PD1", c.pd1Pin);
  report += "Conversion is completed\n" + summary.Text();
  std::vector<std::string> options = c.options;
  options.push_back("-gclk2_itd");
  ConvertAndCheck(b, f, options, want, c.package, c.pins, report);
}

INSTANTIATE_TEST_SUITE_P(
    Packages, Qpl6064EndToEndPlain,
    ::testing::Values(
        // 44 pins: MC 2 has no pin, so records 1 and 2 go to MC 3 and MC 4.
        PlainCase{"EPM7064LC44-10", "PLCC", 44, 32, 3, 4, {"-pd1"}, "11", false, "OFF"},
        PlainCase{"EPM7064LC68-10", "PLCC", 68, 48, 3, 4, {"-pd1", "-pd2"}, "17", true, "PD2"},
        PlainCase{"EPM7064LC84-10", "PLCC", 84, 64, 2, 3, {"-pd2"}, nullptr, true, "PD2"},
        PlainCase{"EPM7064TC100-10", "TQFP", 100, 64, 2, 3, {"-pd1"}, "14", false, "OFF"}));

}  // namespace
}  // namespace fusecvt::test
