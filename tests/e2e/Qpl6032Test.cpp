// 7032S, 7032AE, 3032A and plain 7032 POFs converted to the QPL6032ES(L).
// Every design starts from idle macrocells (mcConfig[7] = '0'); the kinds
// with global clock bits get code "001" (clock code 1), so no "Illegal GCLK".
#include <regex>
#include <utility>

#include "E2e.h"
#include "jedec/BlockTarget.h"

namespace fusecvt::test {
namespace {

// S0..S23 of an idle macrocell, S0 first: output select VCC, S6 = mc[7] = '0',
// S15 = NOT mc[6], S20 = NOT open-drain bit, S21 '1' (no term in use). The
// plain 7032 also has S8 = NOT mc[11] = '0', S20 at its default and S22 '0'
// (slew FAST). An erased macrocell (mc[7] = '1') puts PT 2 in use: S21 '0'.
constexpr char kIdleS[] = "111111011111111011110111";
constexpr char kIdlePlain[] = "111111010111111011110101";
constexpr char kErasedS[] = "111111111111111011110011";
constexpr char kUsedS[] = "111111011111111011110011";

// The image expected of an idle design of the kind; rows state their changes.
struct Expected {
  explicit Expected(SourceKind kind) {
    img.uimMux.fill('1');
    img.goeMux.fill('1');
    for (auto [g, f] : {std::pair{0, 0}, {1, 1}, {2, 0}, {3, 0}, {4, 1}, {5, 0}}) img.goeMux.at(g, f) = '0';
    img.configBits.fill('1');
    for (int i : {9, 10, 11, 14, 20, 21, 22, 23, 24, 25, 26, 27, 31}) img.configBits.at(i) = '0';
    img.uesBits.fill('1');
    img.jtagBit = '0';
    img.ptInputFuses.fill('0');  // no product term in use: all disabled
    img.ptFoldbackFuses.fill('0');
    const bool plain = kind == SourceKind::Max7032;
    for (int m = 0; m < 32; ++m) S(m, plain ? kIdlePlain : kIdleS);
    for (int b = 0; b < 2; ++b) {
      for (int u : {9, 19, 29, 39}) Uim(b, u, "10111");  // lines no PIA row feeds
      // An erased plain 7032 reads code "11" (pick 3) on every row: the choice on the row's line.
      static const int kPick3Choice[9] = {3, 3, 2, 0, 1, 0, 0, 0, 0};
      for (int r = 0; r < 36 && plain; ++r) {
        const int line = r < 9 ? 30 + r : r < 18 ? 11 + r : r < 27 ? r - 8 : r - 27;
        for (int i = 0; i < 5; ++i) img.uimMux.at(b, line, i) = i == kPick3Choice[r % 9] ? '0' : '1';
      }
    }
    if (plain) return;
    for (int i = 0; i < 6; ++i) img.configBits.at(15 + i) = "010110"[i];  // clock code 1
    img.jtagBit = '1';  // source JTAG on, jtag AUTO: TMS, TCK, TDI (MC 9, 25, 4) drive nothing
    for (int m : {8, 24, 3}) Sel(m, "000");
    if (kind != SourceKind::Max7032S) img.configBits.at(6) = '0';  // low-voltage target
    if (kind == SourceKind::Max3032A) Sel(11, "000"), Sel(21, "000");
  }
  void S(int m, const char* bits) { std::copy(bits, bits + 24, img.mcBits.row(m)); }
  void Sel(int m, const char* s0s2) { std::copy(s0s2, s0s2 + 3, img.mcBits.row(m)); }
  // PT k of macrocell m in use: all '1' but the listed input and foldback fuses.
  void Term(int m, int k, std::initializer_list<int> inputs, std::initializer_list<int> foldbacks = {}) {
    for (int i = 0; i < 80; ++i) img.ptInputFuses.at(m, k, i) = '1';
    for (int i = 0; i < 16; ++i) img.ptFoldbackFuses.at(m, k, i) = '1';
    for (int i : inputs) img.ptInputFuses.at(m, k, i) = '0';
    for (int i : foldbacks) img.ptFoldbackFuses.at(m, k, i) = '0';
  }
  void Uim(int b, int u, const char* five) { std::copy(five, five + 5, &img.uimMux.at(b, u, 0)); }
  void Goe(int e, const char* five) { std::copy(five, five + 5, &img.goeMux.at(e, 0)); }
  Qpl6032 img;
};

std::string JtagPort(const char* port) {
  return std::string("Warning!! Jtag port ") + port + " is used as\nInput or bidirectional port.\nJtag disabled.\n\n";
}
std::string JtagOn(const char* blank) {
  return std::string("WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n   this design.  If these ") +
         "pins are used for I/O in the design, use the " + blank + "\n   -JTAG OFF option.\n\n";
}
std::string PdBox(int n) {
  return StarLine(n) + "-PD1: Error! Pin 11 for PD1 is used in your logic function.\n" +
         "             PD1 option cannot be enabled.\n" + StarLine(n);
}
ExpectedHeader H(const char* package, bool secure = false, std::vector<std::string> vectors = {}) {
  return {package, 44, kTestTimeText, secure, vectors};
}
template <class F>
std::string Summary(F change) {
  BlockSummary s;
  change(s);
  return s.Text();
}

TEST(ConvertTo6032, DesignsKindsAndOptions) {
  const std::string s = BlockSummary{}.Text(), ae = Summary([](BlockSummary& b) { b.powerReset = "ONCE"; });
  const std::string jtag = JtagPort("TDI MC 4") + JtagPort("TDO MC 20");
  const char* plcc = "QPL6032ESPLCC44";
  // MC 5 of the kinds: S9 = mc[0] = '0' routes PT 1, S13 = mc[1] = '1' with
  // S6 = mc[7] = '1' PT 2, S16 = mc[2] = '0' PT 3; its I/O record is the kind's own.
  auto kind = [](const char* mc, const char* io) {
    return [=](Design& d) {
      Design::Row(d.s.mcConfig, 4, mc);
      Design::Row(d.s.kind() == SourceKind::Max7032 ? d.s.outputEnable : d.s.ioConfig, 4, io);
    };
  };
  auto mc5 = [](const char* bits, bool plain) {
    return [=](Expected& e) {
      e.S(4, bits);
      for (int t : {0, 1, 2}) e.Term(4, t, {});
      if (plain) e.Goe(4, "01111");  // some macrocell selects OE1
    };
  };
  // The source has JTAG off; the TDI (MC 4) and TDO (MC 20) pins are used.
  auto jtagDesign = [](Design& d) { d.s.jtagBit = '0', d.s.mcConfig.at(3, 7) = d.s.mcConfig.at(19, 7) = '1'; };
  auto jtagExpected = [](bool on) {
    return [=](Expected& e) {
      for (int m : {3, 19}) e.S(m, kErasedS), e.Term(m, 1, {});
      for (int m : {8, 24}) e.S(m, kIdleS);
      e.img.jtagBit = on ? '1' : '0';
      for (int m : {8, 24, 3}) if (on) e.Sel(m, "000");  // TDO keeps its output
    };
  };
  struct Case {
    const char* device;
    std::vector<std::string> options;
    std::function<void(Design&)> design;
    std::function<void(Expected&)> expect;
    ExpectedHeader h;
    Texts t;
  } cases[] = {
      // 7032S: S0 io0, S1 io1, S2 = io0 == io2, S4 io4, S20 = NOT io5, S22 io3.
      {"EPM7032SLC44-10", {}, kind("0101011110100", "011010"), mc5("010111100010110001101001", false),
       H("PLCC"), {plcc, true, "", "", s}},
      // 7032AE: S0 io6, S1 io5, S2 = io6 == io4, S4 io1, S20 = NOT io2, S22 io0.
      {"EPM7032AETC44-10", {}, kind("01010111101001", "1010011"), mc5("110101100010110001100011", false),
       H("TQFP"), {"QPL6032ESLTQFP44", false, "", "", ae}},
      // 3032A: S0 io5, S1 io4, S2 = io5 == io3, S4 '1', S20 = NOT io1, S22 io0.
      {"EPM3032ALC44-10", {}, kind("01010111101001", "001010"), mc5("011111100010110001101001", false),
       H("PLCC"), {"QPL6032ESLPLCC44", false, "", "", Summary([](BlockSummary& b) { b.powerReset = "ONCE", b.heading = ""; })}},
      // Plain 7032: OE1 "10" -> 101, S4 = S7 = S19 = '1', S8 = NOT mc11, S22 '0'.
      {"EPM7032LC44-15", {"-device", "6032es"}, kind("010101111010", "10"), mc5("101111111010110001110001", true),
       H("PLCC"), {"6032esPLCC44", false, "", "", [] { Qpl6000Summary q; q.heading = q.pinKeeper = ""; return q.Text(); }()}},
      // UIM lines (true: even fuse, complement: odd), parking of lines no term
      // reads, foldbacks, output enables and the global OE rows, UES, vectors
      // and the POF's own security word.
      {"EPM7032SLC44-10", {},
       [](Design& d) {
         d.Pick(0, 0, 0), d.Pick(0, 9, 2), d.Pick(0, 1, 0), d.Pick(1, 18, 1), d.Pick(1, 1, 2), d.Pick(1, 3, 1);
         for (auto [m, k, c] : {std::tuple{0, 0, 0}, {0, 0, 19}, {16, 1, 37}, {17, 2, 7}, {1, 0, 77}}) d.Connect(m, k, c);
         Design::Row(d.s.ioConfig, 0, "000"), Design::Row(d.s.ioConfig, 1, "101");
         Design::Row(d.s.oePia, 0, "10111"), Design::Row(d.s.oePia, 1, "11110"), Design::Row(d.s.oePia, 2, "11100");
         Design::Flat(d.s.ues, "0011010100001111");
         d.pof.Vectors({"0101HL", "1X0Z"}).Security(1);
       },
       [](Expected& e) {
         e.Term(0, 0, {60, 41}), e.Term(1, 0, {}, {5}), e.Term(16, 1, {21}), e.Term(17, 2, {66});
         e.S(0, "001111011111111011110011"), e.S(1, "101111011111111011110011"), e.S(16, kUsedS), e.S(17, kUsedS);
         e.Uim(0, 30, "10111"), e.Uim(0, 20, "01111"), e.Uim(0, 31, "11101");
         e.Uim(1, 10, "11110"), e.Uim(1, 31, "11101"), e.Uim(1, 33, "10111");
         e.Goe(4, "01111"), e.Goe(1, "11111"), e.Goe(0, "11101");
         e.img.configBits.at(26) = e.img.configBits.at(27) = '1';
         for (int i = 0; i < 16; ++i) e.img.uesBits.at(i) = "0011010100001111"[i];
       },
       H("PLCC", true, {"0101HL", "1X0Z"}), {plcc, true, "", "", s}},
      {"EPM7032SLC44-10", {}, jtagDesign, jtagExpected(false), H("PLCC"), {plcc, true, jtag, "", s}},
      {"EPM7032SLC44-10", {"-jtag", "on"}, jtagDesign, jtagExpected(true), H("PLCC"),
       {plcc, true, jtag + JtagOn(""), JtagOn(" "), Summary([](BlockSummary& b) { b.jtag = "ON"; })}},
      // MC 8 (the PD1 pin) is used, MC 32 (PD2) is not; MC 1 PT 1 reads GCLK2
      // complemented (row 0 pick 1: line 30, fuse 61), GCLK1 is unused.
      {"EPM7032SLC44-10",
       {"-pd1", "-pd2", "-pin_keep", "-secure", "-power_reset", "-gclk1_itd", "-gclk2_itd", "-race_cover_off", "-verbose"},
       [](Design& d) { d.s.mcConfig.at(7, 7) = '1', d.Pick(0, 0, 1), d.Connect(0, 0, 1); },
       [](Expected& e) {
         e.S(7, kErasedS), e.Term(7, 1, {}), e.S(0, kUsedS), e.Term(0, 0, {61}), e.Uim(0, 30, "11110");
         e.Sel(31, "000");  // PD2 accepted: MC 32 never drives its pin
         for (auto [i, c] : {std::pair{28, '0'}, {30, '0'}, {6, '0'}, {11, '1'}}) e.img.configBits.at(i) = c;
       },
       H("PLCC", true),
       {plcc, false,
        " ITD Disabled, activity on GCLK1 dose not cause a part wake-up\n\nGCLK2 ITD setting override: (ignore user "
        "request to disable)\nGCLK2 pin is used as a logic input so ITD wake-up enable is required\n\n" + PdBox(67),
        PdBox(68), Summary([](BlockSummary& b) {
          b.powerdown = "PD2", b.security = "ON", b.raceCoverage = "OFF", b.pinKeeper = "ON", b.powerReset = "ONCE";
          b.itd1 = "OFF";
        })}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.device) + (k.options.empty() ? "" : " " + k.options[0]));
    Design d(k.device, true);
    if (d.s.kind() != SourceKind::Max7032) Design::Flat(d.s.globalClocks, "001");
    k.design(d);
    Expected e(d.s.kind());
    k.expect(e);
    ConvertAndCompare(d.pof, k.options, ExpectedJedecFile(e.img, k.h), 16808, k.t);
  }
}

// The built program: the name after the path's last backslash without the
// extension, real output streams and the real date; a QPL6000 word with a
// 7032S source is refused with status 1 and no JEDEC file.
TEST(ConvertTo6032, BuiltProgramConvertsAndRefusesQpl6000Words) {
  ScratchDir dir;
  Design d("EPM7032SLC44-10", true);
  Design::Flat(d.s.globalClocks, "001");
  d.s.mcConfig.at(19, 7) = '1';  // the TDO pin is used; JTAG is on: no warning
  d.pof.WriteTo(dir.File("design.pof"));
  const std::string line = ConversionLine("EPM7032SLC44-10", "6000ePLCC44"), txt = dir.File("design.txt");
  const std::string inConsole = ConsoleFileNames("design.pof", "design.jed", "design.txt"),
                    inReport = ReportFileNames("design.pof", "design.jed", "design.txt");
  const std::string refusal = "ERROR:  Invalid Device type specified. Target\n    device for 7032S is 6032ES\n\n";
  RunResult r = RunBinary({"fusecvt", "-device", "6000E", "design.pof"}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_SAME_TEXT(Banner() + line + inConsole + refusal, r.out);
  EXPECT_SAME_TEXT(Banner() + line + inReport + refusal, ReadFile(txt));
  EXPECT_FALSE(FileExists(dir.File("design.jed")));

  r = RunBinary({"C:\\bin\\FuseCvt.exe", "-6032es", "design.pof"}, dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string conv = ConversionLine("EPM7032SLC44-10", "QPL6032ESPLCC44");
  EXPECT_SAME_TEXT(Banner("FuseCvt") + "NOTE : You should not use -6128es option here when converting a file.\n"
                       "       Ignore -6128es option.\n\n" + conv + inConsole +
                       LowVoltageWarning() + TimingLine("FuseCvt") + kCompleted,
                   std::regex_replace(r.out, std::regex("processed 1 seconds"), "processed 0 seconds"));
  const std::string jed = ReadFile(dir.File("design.jed"));
  const std::size_t at = jed.find("\r\nCreated on: ");
  const std::string date = at == std::string::npos ? "" : jed.substr(at + 14, 24);
  EXPECT_TRUE(std::regex_match(date, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] 20[0-9]{2}"))) << date;
  Expected e(SourceKind::Max7032S);
  e.S(19, kErasedS), e.Term(19, 1, {});
  EXPECT_SAME_TEXT(ExpectedJedecFile(e.img, ExpectedHeader{"PLCC", 44, date, false, {}}), jed);
  ExpectSoundJedec(dir.File("design.jed"), 16808);
  EXPECT_SAME_TEXT(Banner("FuseCvt") + conv + inReport + LowVoltageWarning() + kCompleted + BlockSummary{}.Text(),
                   ReadFile(txt));
}

}  // namespace
}  // namespace fusecvt::test
