// Plain 7032 POFs converted to the QPL6000E and QPL6000, and the QPL6000 rules
// intricate enough for tables of their own: the macrocell bits and the clean-up
// of unused terms, the combinational-latch pass, and the JEDEC writer's header,
// fuse section and vector numbering.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "driver/Conversion.h"
#include "qpl6000/Qpl6000.h"
#include "support/EndToEnd.h"
#include "support/ExpectedQpl6000.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// MC 1 sits at pin 4: feedback F = 25, F' = 24, pin input T = 41, T' = 40;
// A = pin 5 (true 42, complement 43), B = pin 6 (true 45, complement 44).
using Cols = std::vector<int>;
constexpr int F = 25, Fc = 24, T = 41, NotT = 40, A = 42, NotA = 43, B = 45, NotB = 44;
const Cols E{-1};  // a term with every column connected

struct Term { int mc, pt; Cols cols; };

void Set(Qpl6000& q, const Term& t) {
  for (int c = 0; c < 152; ++c) q.ptFuses.at(t.mc, t.pt, c) = t.cols == E ? '0' : '1';
  for (int c : t.cols) {
    if (c >= 0) q.ptFuses.at(t.mc, t.pt, c) = '0';
  }
}
Cols Zeros(const Qpl6000& q, int mc, int pt) {
  Cols out;
  for (int c = 0; c < 152; ++c) if (q.ptFuses.at(mc, pt, c) == '0') out.push_back(c);
  return out.size() == 152 ? E : out;
}
std::string Bits(const Qpl6000& q, int mc) { return std::string(q.mcBits.row(mc), 16); }
void SetBits(Qpl6000& q, int mc, const std::string& b) { std::copy(b.begin(), b.end(), q.mcBits.row(mc)); }

// Pick p of PIA row `row` of a plain 7032: a two-character code, high bit first.
void Pick(SourceImage& s, int lab, int row, int p) {
  for (int i = 0; i < 2; ++i) s.pia.at(lab, row, i) = (p >> (1 - i)) & 1 ? '1' : '0';
}

// A whole QPL6000(E) file: `head` runs from the device line to the line before
// '*'; vectors are numbered V001 on.
std::string Qpl6000File(const Qpl6000& q, const std::string& head, bool secure, bool extended, int pd1, int pinKeep,
                        const std::vector<std::string>& vectors) {
  std::string f = std::string("\x02") + "fusecvt " + kReleaseVersionText + "\n" + head + "*\n" + (secure ? "G1*\n" : "") +
                  Qpl6000FuseSection(q, extended, pd1, pinKeep) + "QV" + std::to_string(vectors.size()) + "* X0*\n";
  for (std::size_t i = 0; i < vectors.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    f += "V" + std::string(n.size() < 3 ? 3 - n.size() : 0, '0') + n + " " + vectors[i] + "*\n";
  }
  return CrLf(f + "\x03" "0000\n");
}

// Combinational output, PT 1 in the sum, bits 3 and 4 on, output enable 0 1 1;
// and the output switched off.
const std::string L = "1111111110111111", Off(16, '1');
// The notice: 'P' pin feedback, 'U' pin in use, 'S' coverage term stored
// (ringing the bell on the console), ' ' none.
std::string Notice(char kind, int mc, bool console) {
  const std::string n = "Combinatorial Latch Detected at Macrocell " + std::to_string(mc) + " from POF file";
  const char* bell = console ? "\a" : "";
  return kind == 'P'   ? n + " (pf)\n - Implemented Pin feedback.\n"
         : kind == 'U' ? n + "\n"
         : kind == 'S' ? n + bell + "\n\t- Added race coverage product term" + bell + "\n"
                       : "";
}

// Combinational macrocells whose terms feed back their own output (bit 0
// '1' keeps PT 1 counted):
//   MC 1: A.B + F./B, PT 3..5 empty, bits 3 and 4 on: the consensus term A.F
//         goes into PT 3;
//   MC 2: A./F2 with output enable VCC: the feedback moves to the pin (-verbose
//         tells);
//   MC 3: A./F3 with output enable GND, but pin 6 is read (by MC 4 and by
//         every disabled term): only the notice.
void LatchDesign(SourceImage& s) {
  for (auto [row, code] : {std::pair{0, 1}, {1, 1}, {2, 1}, {3, 2}, {7, 1}, {22, 2}}) Pick(s, 0, row, code);
  for (auto [m, i] : {std::pair{0, 0}, {0, 8}, {0, 9}, {1, 0}, {2, 0}}) s.mcConfig.at(m, i) = '0';
  s.outputEnable.at(2, 0) = s.outputEnable.at(2, 1) = '0';
  // MC 1: A (pin 2), B (pin 29); F, /B. MC 2: /F2, A. MC 3: /F3, A. MC 4: pin 6.
  for (auto [m, p, i] : {std::tuple{0, 0, 0}, {0, 0, 6}, {0, 1, 4}, {0, 1, 7}, {1, 0, 3}, {1, 0, 0}, {2, 0, 15},
                         {2, 0, 0}, {3, 0, 44}}) {
    s.logicArray.at(m, p, i) = '0';
  }
}
void LatchExpected(Qpl6000& q) {
  SetBits(q, 0, "1001100100111101");  // bit 5 '0': PT 3 enabled
  SetBits(q, 1, "1000110100111101");
  SetBits(q, 2, "1000110101111101");
  // MC 2's /F2 moved to pin 5 (column 43).
  for (const Term& t : std::vector<Term>{{0, 0, {53, 101}}, {0, 1, {25, 100}}, {0, 2, {25, 53}}, {1, 0, {43, 53}},
                                         {2, 0, {28, 53}}, {3, 0, {45}}}) {
    Set(q, t);
  }
}

TEST(ConvertPlain7032, DesignsDeviceWordsAndOptions) {
  const std::string noSecurity = "Warning! This device does not support Security Bit, Igoring command line option.\n";
  const std::string pinKeep =
      "***********************************************\nNOTE : This option is included in 6000E only.\n"
      "       Ignore -pin_keep option.\n***********************************************\n";
  const std::vector<std::string> v{"0101", "10HL"};
  auto summary = [](const char* heading, const char* security, const char* keeper, const char* slew = "FAST") {
    Qpl6000Summary s;
    s.heading = heading, s.security = security, s.pinKeeper = keeper, s.slew = slew;
    return s.Text();
  };
  const char *e6000 = "Options :  (6000E only)", *p6000 = "Options :  (6000 only)";
  const std::string plain = summary(e6000, "AUTO", "OFF");
  const std::string slow = [] { Qpl6000Summary s; s.powerdown = "ON", s.slew = "SLOW", s.raceCoverage = "OFF", s.pinKeeper = "ON"; return s.Text(); }();
  const std::string pinClk = [] { Qpl6000Summary s; s.pinClk = "ON"; return s.Text(); }();
  // Designs: 'L' the latch design; 'N' MC 6 keeps PT 1 (c0 '0'), MC 11 has c11
  // '0' (read by slew AUTO only); 'C' MC 17 registered, its clock term reads
  // only pin 43 (PIA row 35 of block 2, code 1), which -pinclk makes a pin clock.
  struct Case {
    std::vector<std::string> options;
    const char* target;  // of the conversion line; the low-voltage warning when it starts "QPL"
    bool extended, secure;
    std::string summary, before = "", after = "";  // console lines around the rest
    char design = 'N';
    char slew = 'F';  // bit 14: 'F' all '0', 'S' all '1', 'A' only MC 11 '1'
    int pofSecurity = 0, pd1 = 0, pinKeep = 0;
    const char* device = "EPM7032LC44-15";
  } cases[] = {
      {{}, "QPL6000ePLCC44", true, false, plain, "", "", 'L'},
      {{"-verbose"}, "QPL6000ePLCC44", true, false, plain, "", "", 'L'},
      {{}, "QPL6000ePLCC44", true, false, plain},
      {{"-device", "p6000"}, "p6000PLCC44", false, false, summary(p6000, "AUTO", "")},
      {{"-device", "p6000", "-secure"}, "p6000PLCC44", false, false,
       summary(p6000, "OFF (Warning! This device does not support Security Bit!)", ""), "", noSecurity},
      {{"-device", "P6000E", "-secure"}, "p6000ePLCC44", true, true, summary(e6000, "ON", "OFF")},
      // A word that is neither the QPL6000E nor the part without security bit.
      {{"-device", "6000", "-secure"}, "6000PLCC44", false, true, summary("", "ON", "")},
      {{"-pin_keep", "-powerdown", "-slew", "slow", "-race_cover_off"}, "QPL6000ePLCC44", true, false, slow, "", "",
       'N', 'S', 0, 1, 1},
      // The pin keeper is refused when the device word is exactly 6000e.
      {{"-device", "6000e", "-pin_keep"}, "6000ePLCC44", true, false, plain, pinKeep},
      {{"-slew", "AUTO"}, "QPL6000ePLCC44", true, false, summary(e6000, "AUTO", "OFF", "AUTO"), "", "", 'N', 'A'},
      {{}, "QPL6000eTQFP44", true, false, plain, "", "", 'N', 'F', 0, 0, 0, "EPM7032QC44-10"},
      // A POF that asks for the security bit gets it without -secure.
      {{}, "QPL6000ePLCC44", true, true, plain, "", "", 'N', 'F', 1},
      {{"-pinclk"}, "QPL6000ePLCC44", true, false, pinClk, "", "", 'C'},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.target) + (k.options.empty() ? "" : " " + k.options.back()));
    PofBuilder pof(k.device);
    SourceImage& s = pof.image();
    Qpl6000 q;
    q.ptFuses.fill('0');
    for (int m = 0; m < 32; ++m) SetBits(q, m, "0000110100111101");
    const bool verbose = !k.options.empty() && k.options[0] == "-verbose";
    std::string notices, console;
    if (k.design == 'L') {
      LatchDesign(s);
      LatchExpected(q);
      const std::string pf = verbose ? Notice('P', 2, false) : "", inUse = Notice('U', 3, false);
      notices = Notice('S', 1, false) + pf + inUse, console = Notice('S', 1, true) + pf + inUse;
    } else if (k.design == 'C') {
      s.mcConfig.at(16, 10) = s.logicArray.at(16, 3, 70) = '0';
      Pick(s, 1, 35, 1);
      SetBits(q, 16, "0000110010111001");  // bit 8: the pin clock; PT 4 cleared
      console = kPtClockLine;
    } else {
      s.mcConfig.at(5, 0) = s.mcConfig.at(10, 11) = '0';
      pof.Vectors(v).Security(static_cast<std::uint16_t>(k.pofSecurity));
      for (int m = 0; m < 32; ++m) q.mcBits.at(m, 14) = k.slew == 'S' || (k.slew == 'A' && m == 10) ? '1' : '0';
      q.mcBits.at(5, 0) = '1';
      Set(q, {5, 0, {}});
    }
    const std::vector<std::string> vectors = k.design == 'N' ? v : std::vector<std::string>{};
    const std::string head = std::string("Device ") + (k.extended ? "QPL6000E" : "QPL6000") + " (" +
                             (k.device[7] == 'Q' ? "TQFP" : "PLCC") + ")\nCreated on: " + kTestTimeText +
                             "\n\nPofBuilder\nUntitled\n" + notices;
    ScratchDir dir;
    const std::string in = dir.File("design.pof"), jed = dir.File("design.jed"), txt = dir.File("design.txt");
    pof.WriteTo(in);
    std::vector<std::string> args{"fusecvt"};
    args.insert(args.end(), k.options.begin(), k.options.end());
    args.push_back(in);
    const RunResult r = RunInProcess(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_SAME_TEXT(Qpl6000File(q, head, k.secure, k.extended, k.pd1, k.pinKeep, vectors), ReadFile(jed));
    ExpectSoundJedec(jed, k.extended ? 24994 : 24993);
    const std::string line = ConversionLine(k.device, k.target), warn = k.target[0] == 'Q' ? LowVoltageWarning() : "";
    EXPECT_SAME_TEXT(Banner() + k.before + line + ConsoleFileNames(in, jed, txt) + warn + console + TimingLine() +
                         kCompleted + k.after, r.out);
    EXPECT_SAME_TEXT(Banner() + line + ReportFileNames(in, jed, txt) + warn + (k.design == 'C' ? console : "") +
                         kCompleted + k.summary, ReadFile(txt));
  }
}

struct RaceCase {
  std::string what, bits;
  std::vector<Term> before, after;  // `after`: the terms checked afterwards
  std::string bitsAfter;            // empty: unchanged
  char notice;
  int verbose = 1;
};

TEST(Qpl6000CoverRaces, CoverageTermPinFeedbackOrNothing) {
  std::vector<RaceCase> cases = {
      {"second block: own feedback 33", L, {{16, 0, {A, B}}, {16, 1, {33, NotB}}, {16, 2, E}}, {{16, 2, {33, A}}},
       "1111101110111111", 'S'},
      {"one recounted, copy differs", L, {{0, 0, {A, B}}, {0, 1, {F, A}}, {0, 2, E}},
       {{0, 0, {A, B}}, {0, 1, {T, A}}, {0, 2, E}}, "", 'P'},
      {"two recounted", L, {{0, 0, {A, B}}, {0, 1, {F, A}}, {0, 2, E}, {0, 3, {F, B}}},
       {{0, 1, {T, A}}, {0, 3, {T, B}}}, "", 'P'},
      {"two recounted, copy equals them", L, {{0, 0, {A}}, {0, 1, {F, A}}, {0, 2, E}, {0, 3, {F, A}}},
       {{0, 1, {T, A}}, {0, 3, {T, A}}}, "", 'P'},
      {"one recounted, copy equals it", L, {{0, 0, {A}}, {0, 1, {F, A}}, {0, 2, E}}, {{0, 1, {F, A}}, {0, 2, E}}, "", ' '},
      {"copy left with nothing", L, {{0, 0, {B}}, {0, 1, {F, NotB}}, {0, 2, E}}, {{0, 1, {T, NotB}}}, "", 'P'},
      {"literal without opposite", L, {{0, 0, {A}}, {0, 1, {F, 13}}, {0, 2, E}}, {{0, 1, {13, T}}}, "", 'P'},
      {"literal not in the copy", L, {{0, 0, {A}}, {0, 1, {F, NotB}}, {0, 2, E}}, {{0, 1, {T, NotB}}}, "", 'P'},
      {"no empty term", L, {{0, 0, {A, B}}, {0, 1, {F, NotB}}}, {{0, 1, {T, NotB}}}, "", 'P'},
      {"bit 3 off", "1110111110111111", {{0, 0, {A, B}}, {0, 1, {F, NotB}}, {0, 2, E}}, {{0, 1, {T, NotB}}, {0, 2, E}},
       "", 'P'},
      {"complement and wider terms move, quietly", L, {{0, 0, {F, A, B}}, {0, 1, {Fc, NotA}}, {0, 2, {NotB}}, {0, 3, E}},
       {{0, 0, {T, A, B}}, {0, 1, {NotT, NotA}}, {0, 2, {NotB}}, {0, 3, E}}, "", ' ', 0},
      {"output off, pin unused", Off, {{0, 0, {Fc, A}}}, {{0, 0, {NotT, A}}}, L, 'P'},
      {"output off, pin read by MC 6", Off, {{0, 0, {Fc, A}}, {5, 2, {T}}}, {{0, 0, {Fc, A}}}, "", 'U'},
      {"output off, pin complement read", Off, {{0, 0, {Fc, A}}, {5, 2, {NotT}}}, {{0, 0, {Fc, A}}}, "", 'U'},
      {"output off, an all-0 term reads the pin", Off, {{0, 0, {Fc, A}}, {5, 4, E}}, {{0, 0, {Fc, A}}}, "", 'U'},
      {"output enable 0 0 1", "1111111110011111", {{0, 0, {Fc, A}}, {0, 1, {F, B}}}, {{0, 0, {Fc, A}}, {0, 1, {F, B}}},
       "", ' '},
      {"output enable 0 1 0", "1111111110101111", {{0, 0, {Fc, A}}}, {{0, 0, {Fc, A}}}, "", ' '},
      {"registered", "1111111110111011", {{0, 0, {Fc, A}}}, {{0, 0, {Fc, A}}}, "", ' '},
      {"bit 15 off", "1111111110111110", {{0, 0, {Fc, A}}}, {{0, 0, {Fc, A}}}, "", ' '},
      {"set-aside PT 1 alone", "0111111110111111", {{0, 0, {F, A}}}, {{0, 0, {F, A}}}, "", ' '},
      {"set-aside PT 1 moves with another", "0111111110111111", {{0, 0, {F, A}}, {0, 1, {Fc, B}}},
       {{0, 0, {T, A}}, {0, 1, {NotT, B}}}, "", 'P'},
  };
  // A.B + F./B: the copy of A.B loses B and gains F and goes into the first
  // empty term (a later one stays empty), whose enable bit is switched on.
  const std::pair<int, char> enable[5] = {{0, '1'}, {1, '1'}, {5, '0'}, {7, '0'}, {12, '0'}};
  for (int e = 0; e < 5; ++e) {
    std::string bits = "1011111110111111";  // PT 2..5 not in the sum
    if (e == 0) bits[0] = '0';
    std::string after = bits;
    after[static_cast<std::size_t>(enable[e].first)] = enable[e].second;
    const int plain = (e + 1) % 5, latch = (e + 2) % 5, later = e < 2 ? e + 3 : -1;
    RaceCase c{"stored in PT " + std::to_string(e + 1), bits, {{0, e, E}, {0, plain, {A, B}}, {0, latch, {F, NotB}}},
               {{0, e, {F, A}}, {0, plain, {A, B}}, {0, latch, {F, NotB}}}, after, 'S', e % 2};
    if (later >= 0) c.before.push_back({0, later, E}), c.after.push_back({0, later, E});
    cases.push_back(c);
  }
  for (const RaceCase& k : cases) {
    SCOPED_TRACE(k.what);
    CapturedRun r;
    r.run.options.verbose = k.verbose;
    Qpl6000 q;
    const int mc = k.before[0].mc;
    SetBits(q, mc, k.bits);
    for (const Term& t : k.before) Set(q, t);
    r.run.options.raceCover = 1;
    r.run.sources.Adopt(MakeSourceImage(SourceKind::Max7032));
    q.CoverRaces(r.run.Stages());
    for (const Term& t : k.after) {
      Cols want = t.cols;
      std::sort(want.begin(), want.end());
      EXPECT_EQ(Zeros(q, t.mc, t.pt), want) << "PT " << t.pt + 1;
    }
    EXPECT_EQ(Bits(q, mc), k.bitsAfter.empty() ? k.bits : k.bitsAfter);
    EXPECT_EQ(q.raceNotes, Notice(k.notice, mc + 1, false));
    EXPECT_EQ(q.raceConsole, Notice(k.notice, mc + 1, true));  // shown once the file is open
  }
}

TEST(Qpl6000TranslateMacrocells, EachSourceBitReachesItsConfigurationBit) {
  // {mc, source config bit or -1, output enable bit or -1, bits 0..15}
  struct Case { int mc, config, oe; const char* bits; } cases[] = {
      {0, -1, -1, "0000110100111101"}, {1, 0, -1, "1000110100111101"}, {2, 1, -1, "0100110100111101"},
      {3, 2, -1, "0000100100111101"},
      {4, 3, -1, "0000110010111101"},   // bit 7 off with bit 13 on raises bit 8
      {5, 4, -1, "0000110100110101"},
      {6, 5, -1, "0000110010111101"},   // bits 7, 8 on and an open PT 4: PT 4 taken
      {7, 6, -1, "0000111100111101"}, {8, 7, -1, "0010110100111101"},
      {9, 8, -1, "0001010100111101"},   // expander 72+9 of MC 18 PT 1 erased
      {10, 9, -1, "0000010100111101"}, {11, 10, -1, "0000110100111001"}, {12, 11, -1, "0000110100111111"},
      {13, -1, 1, "0000110101011101"}, {14, -1, 0, "0000110100011101"},
      {15, 8, -1, "0001110100111101"},  // expander 72+15 programmed: bit 4 on
      {31, 8, -1, "0001010100111101"},  // second block: bit 4 stays
  };
  auto src = MakeSourceImage(SourceKind::Max7032);
  for (const Case& c : cases) {
    if (c.config >= 0) src->mcConfig.at(c.mc, c.config) = '0';
    if (c.oe >= 0) src->outputEnable.at(c.mc, c.oe) = '0';
  }
  src->logicArray.at(17, 0, 72 + 15) = '0';
  src->mcConfig.at(16, 10) = '0';  // MC 17 registered, its clock term reads only pin 43
  for (int pinClock : {1, 0}) {
    CapturedRun r;
    r.run.options.slew = AUTO;
    r.run.options.pinClock = pinClock;
    Qpl6000 q;
    for (const Term& t : std::vector<Term>{{16, 3, {58}}, {17, 3, {58}}, {18, 3, {58, 42}}, {19, 3, {59}}}) Set(q, t);
    q.TranslateMacrocells(StageContext{*src, r.run.pof.device, r.run.options, r.run.outcome, r.run});
    for (const Case& c : cases) EXPECT_EQ(Bits(q, c.mc), c.bits) << "MC " << c.mc + 1;
    EXPECT_EQ(Zeros(q, 6, 3), E);
    EXPECT_EQ(Zeros(q, 4, 3), Cols{});
    // Pin clock: a registered term turns into bit 8; a combinational one keeps
    // its bits; without -pinclk both terms stay.
    EXPECT_EQ(Bits(q, 16), pinClock ? "0000110010111001" : "0000110100111001");
    EXPECT_EQ(Bits(q, 17), "0000110100111101");
    for (int m : {16, 17}) EXPECT_EQ(Zeros(q, m, 3), pinClock ? E : Cols{58});
    EXPECT_EQ(Zeros(q, 18, 3), (Cols{42, 58}));
    EXPECT_EQ(Zeros(q, 19, 3), Cols{59});
    EXPECT_EQ(r.run.outcome.ptClockConverted, pinClock == 1);
  }
}

TEST(Qpl6000ClearUnusedTerms, OpenTermsAreKeptOnlyWhereTheirMacrocellUsesThem) {
  // 'K': the open term stays (all '1'); 'C': cleared to all '0'.
  struct Case { int mc; const char* before; const char* after; const char* terms; } cases[] = {
      {0, "1111111111111111", "1101111111111111", "KCCCC"},  // PT2 VCC reconfigured
      {1, "1111011111111111", "1111011111111111", "KKCCC"},  // bit 1 on, 2..4 = 110
      {2, "1111111111111110", "1111111111111110", "KCCCC"},  // bit 15 off, bit 13 on
      {3, "1111111111111000", "1101111111111000", "KCCKC"},  // bit 13 off: reconfigured
      {4, "1011011111111111", "1011011111111111", "KKCCC"},  // bit 1 off, 110
      {5, "1001111111111111", "1001111111111111", "KKCCC"},  // bit 1 off, 011
      {6, "1011111111111111", "1011111111111111", "KCCCC"},  // bit 1 off, 111
      {7, "1001011111111111", "1001011111111111", "KCCCC"},  // bit 1 off, 010
      {8, "1x11111111111111", "1x11111111111111", "KCCCC"},  // undefined bit 1
      {9, "0111111111111111", "0101111111111111", "CCCCC"},  // bit 0 off
      {10, "1111101111111111", "1101101111111111", "KCKCC"}, // bit 5 off keeps PT 3
      {11, "1111111011111111", "1101111011111111", "KCCKC"}, // bit 7 off keeps PT 4
      {12, "1111111111111011", "1101111111111011", "KCCKC"}, // 7, 8 on, 13 off
      {13, "1111111101111011", "1101111101111011", "KCCCC"}, // 8 off
      {14, "0000000000000000", "0000000000000000", "CCKKC"}, // PT 5 never kept
  };
  for (int verbose : {1, 0}) {
    CapturedRun r;
    r.run.options.verbose = verbose;
    Qpl6000 q;
    for (int m = 0; m < 32; ++m) SetBits(q, m, std::string(16, '0'));
    for (const Case& c : cases) SetBits(q, c.mc, c.before);
    Set(q, {15, 4, {3}});  // a connected term is always kept
    r.run.sources.Adopt(MakeSourceImage(SourceKind::Max7032));
    q.ClearUnusedProductTerms(r.run.Stages());
    std::string notices;
    for (const Case& c : cases) {
      EXPECT_EQ(Bits(q, c.mc), c.after) << "MC " << c.mc + 1;
      for (int p = 0; p < 5; ++p) EXPECT_EQ(Zeros(q, c.mc, p), c.terms[p] == 'K' ? Cols{} : E) << c.mc << p;
      if (c.before[2] != c.after[2]) notices += "Macrocell " + std::to_string(c.mc + 1) + " PT2 VCC is reconfigured\n";
    }
    EXPECT_EQ(Zeros(q, 15, 4), Cols{3});
    EXPECT_EQ(r.console.str(), verbose ? notices : "");
  }
}

}  // namespace
}  // namespace fusecvt::test
