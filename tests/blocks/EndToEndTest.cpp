// Whole conversions to the QPL6032 and QPL6128: a design of each source kind
// built by the test POF builder, converted by the built program. The
// JEDEC file, the console and the report must match byte for byte what the
// translation rules make of the design: the expected target image is stated
// here fuse by fuse and laid out by the tests' own model of the fuse map.
// Macrocells, LABs and product terms are counted from 0.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Blocks.h"
#include "support/DesignRun.h"
#include "support/EndToEnd.h"
#include "support/ExpectedJedec.h"
#include "support/PofBuilder.h"

namespace fusecvt::test {
namespace {

// A source edit: characters into a field at (a, b, c), or a kind-aware write.
struct Src {
  enum Op { kPut, kCol, kPick, kPair, kSelect, kOe, kClock, kJtag } op;
  FuseArray SourceImage::*field;
  int a, b, c;
  const char* text;
};
Src Put(FuseArray SourceImage::*f, int a, int b, const char* t) { return {Src::kPut, f, a, b, 0, t}; }
Src Col(int m, int k, int c) { return {Src::kCol, nullptr, m, k, c, "0"}; }
Src Pk(int lab, int row, int p) { return {Src::kPick, nullptr, lab, row, p, nullptr}; }
Src Pair(int lab, int row) { return {Src::kPair, nullptr, lab, row, 0, nullptr}; }
Src Sel(int rec, const char* s) { return {Src::kSelect, nullptr, rec, 0, 0, s}; }
Src Oe(int row, int p, bool polarity) { return {Src::kOe, nullptr, row, p, polarity, nullptr}; }
Src Clk(const char* code) { return {Src::kClock, nullptr, 0, 0, 0, code}; }
Src Jtag(const char* bit) { return {Src::kJtag, nullptr, 0, 0, 0, bit}; }

// An edit of the expected image. Term: PT k of macrocell m in use, all '1'
// but input fuse a / foldback fuse b ('0'), and S21 '0'. Uim and Goe: the
// multiplexer refilled with '1' and one fuse '0'.
struct Tgt {
  enum Op { kPut, kTerm, kUim, kGoe, kJtag } op;
  FuseArray BlockTargetImage::*field;
  int m, a, b, c;
  const char* text;
};
Tgt Bits(int m, const char* s, int first = 0) { return {Tgt::kPut, &BlockTargetImage::mcBits, m, first, 0, 0, s}; }
Tgt Cfg(int i, const char* s) { return {Tgt::kPut, &BlockTargetImage::configBits, i, 0, 0, 0, s}; }
Tgt Ues(const char* s) { return {Tgt::kPut, &BlockTargetImage::uesBits, 0, 0, 0, 0, s}; }
Tgt Term(int m, int k, int fuse, int fb = -1) { return {Tgt::kTerm, nullptr, m, k, fuse, fb, nullptr}; }
Tgt Uim(int lab, int u, int f) { return {Tgt::kUim, nullptr, lab, u, f, 0, nullptr}; }
Tgt Goe(int g, int f) { return {Tgt::kGoe, nullptr, g, f, 0, 0, nullptr}; }
Tgt JtagOut(const char* bit) { return {Tgt::kJtag, nullptr, 0, 0, 0, 0, bit}; }
// The 7032S, 7032AE and 3032A with clock code 1 and JTAG on: TMS, TCK, TDI (MC 8, 24, 3) drive nothing.
const std::vector<Tgt> kOn32{Cfg(15, "010110"), JtagOut("1"), Bits(8, "000"), Bits(24, "000"), Bits(3, "000")};

struct Msg {
  enum Kind { kBox, kConsoleBox, kConsoleText, kReportText } kind;
  std::string text;  // the text of one stream
};

using SummaryField = std::pair<std::string BlockSummary::*, const char*>;

struct Case {
  const char* device;
  std::vector<std::string> options;
  const char* target;  // target, package and pins as the conversion line shows them
  const char* package;
  int pins;
  std::vector<Src> source;
  std::vector<Tgt> expected;
  std::vector<Msg> messages;
  bool ptClock;
  std::vector<SummaryField> summary;
};

void Write(FuseArray& f, int a, int b, int c, const std::string& text) {
  char* at = &f.at(a, b, c);
  ASSERT_LE(at - f.data() + static_cast<long>(text.size()), static_cast<long>(f.size()));
  std::memcpy(at, text.data(), text.size());
}

void Write(PackedFuseArray& f, int a, int b, int c, const std::string& text) {
  ASSERT_LE(c + static_cast<long>(text.size()), f.dim2());
  for (std::size_t i = 0; i < text.size(); ++i) f.at(a, b, c + static_cast<int>(i)) = text[i];
}

void BuildSource(SourceImage& s, const std::vector<Src>& edits) {
  IdleAll(s);
  for (const Src& e : edits) {
    switch (e.op) {
      case Src::kPut: Write(s.*e.field, e.a, e.b, e.c, e.text); break;
      case Src::kCol: s.logicArray.at(e.a, e.b, e.c) = '0'; break;
      case Src::kPick: WritePick(s, e.a, e.b, e.c); break;
      case Src::kPair: WritePair(s, e.a, e.b); break;
      case Src::kSelect: WriteSelect(s, e.a, e.text); break;
      case Src::kOe: WriteOePick(s, e.a, e.b, e.c != 0); break;
      case Src::kClock: WriteClockCode(s, e.text); break;
      case Src::kJtag: s.jtagBit = e.text[0]; break;
    }
  }
}

bool LowVoltage(const Case& c) { return std::strstr(c.target, "ESL") != nullptr; }

// A fresh target with every product term disabled, every macrocell idle,
// the ITD fuses on and the lines that no PIA row feeds on fuse 1; then the
// case's edits; then, on the QPL6128, lines 36..39 left without a '0' on
// their "none" fuse (the plain 7128 sets it on 36 and 37 in any case).
void BuildExpected(BlockTargetImage& t, const Case& c, K kind) {
  t.ptInputFuses.fill('0');
  t.ptFoldbackFuses.fill('0');
  const std::string idle = PickCodeWidth(kind) ? Ones(24, {6, 8, 15, 20, 22}) : Ones(24, {6, 15, 20});
  for (int m = 0; m < t.geometry().macrocells; ++m) std::memcpy(t.mcBits.row(m), idle.data(), 24);
  Write(t.configBits, 9, 0, 0, "000");
  if (LowVoltage(c)) t.configBits.at(6) = '0';
  const int w = t.geometry().uimWidth;
  for (int b = 0; b < t.geometry().blocks; ++b) {
    if (w == 5) for (int u : {9, 19, 29, 39}) t.uimMux.at(b, u, 1) = '0';
    if (w == 9) for (int u : {18, 19, 38, 39}) t.uimMux.at(b, u, 1) = '0';
  }
  for (const Tgt& e : c.expected) {
    switch (e.op) {
      case Tgt::kPut: Write(t.*e.field, e.m, e.a, e.b, e.text); break;
      case Tgt::kTerm:
        Write(t.ptInputFuses, e.m, e.a, 0, Ones(80, {e.b}));
        Write(t.ptFoldbackFuses, e.m, e.a, 0, Ones(16, {e.c}));
        t.mcBits.at(e.m, 21) = '0';
        break;
      case Tgt::kUim: Write(t.uimMux, e.m, e.a, 0, Ones(w, {e.b})); break;
      case Tgt::kGoe: Write(t.goeMux, e.m, 0, 0, Ones(t.geometry().goeWidth, {e.a})); break;
      case Tgt::kJtag: t.jtagBit = e.text[0]; break;
    }
  }
  // A macrocell without a term in use (S21 '1') whose output would be always
  // enabled (S0 S1 S2 111) ends with its output never enabled.
  for (int m = 0; m < t.geometry().macrocells; ++m) {
    if (std::string(t.mcBits.row(m), 3) == "111" && t.mcBits.at(m, 21) == '1') std::memcpy(t.mcBits.row(m), "000", 3);
  }
  if (w != 27) return;
  for (int lab = 0; lab < 8; ++lab) {
    for (int u = 36; u < 40; ++u) {
      const std::string line = t.uimMux.row(lab, u).Text();
      if (line == Ones(27) || (kind == K::Max7128 && u < 38)) t.uimMux.at(lab, u, u < 38 ? 12 : 2) = '0';
    }
  }
}

std::string Render(const std::vector<Msg>& messages, bool console) {
  std::string s;
  for (const Msg& m : messages) {
    if (m.kind == (console ? Msg::kConsoleText : Msg::kReportText)) {
      s += m.text;
    } else if (m.kind == Msg::kBox || (m.kind == Msg::kConsoleBox && console)) {
      s += ErrorBox(console ? 63 : 62);
    }
  }
  return s;
}

void RunCase(const Case& c) {
  SCOPED_TRACE(c.device);
  std::vector<std::string> args = c.options;
  args.push_back("a.pof");
  // The built program, its clock fixed by SOURCE_DATE_EPOCH (1700000000 s after 1970 in UTC).
  const Converted r(c.device, args, {[&c](SourceImage& s) { BuildSource(s, c.source); }, nullptr, 0,
                                     {"", {"SOURCE_DATE_EPOCH=1700000000"}}});
  ASSERT_EQ(r.run.status, 0) << r.run.out << r.run.err;
  EXPECT_EQ(r.run.err, "");

  const PofBuilder b(c.device);
  std::unique_ptr<BlockTargetImage> want = TargetFor(b.image());
  BuildExpected(*want, c, b.kind());
  EXPECT_SAME_TEXT(ExpectedJedecFile(*want, {c.package, c.pins, "Tue Nov 14 22:13:20 2023", false, {}}), ReadFile(r.dir.File("a.jed")));
  ExpectSoundJedec(r.dir.File("a.jed"), want->geometry().fuseCount);

  BlockSummary sum;
  const std::string word = std::string(c.target).substr(3, 4);
  sum.heading = c.device[3] == '3' ? "" : "Options :  (" + word + " only)";
  if (LowVoltage(c)) sum.powerReset = "ONCE";
  for (const SummaryField& f : c.summary) sum.*f.first = f.second;
  const std::string warning = c.target[0] == 'Q' && !LowVoltage(c) ? LowVoltageWarning() : "";
  const std::string clock = c.ptClock ? kPtClockLine : "";
  EXPECT_SAME_TEXT(Banner() + Head(true, c.device, c.target) + warning + Render(c.messages, true) + clock +
                       TimingLine() + kCompleted, r.run.out);
  EXPECT_SAME_TEXT(Banner() + Head(false, c.device, c.target) + warning + Render(c.messages, false) + clock +
                       kCompleted + sum.Text(), r.report);
}

const auto kMcCfg = &SourceImage::mcConfig;
const auto kIo = &SourceImage::ioConfig;
const auto kOut = &SourceImage::outputEnable;
const auto kUnknown = &SourceImage::unknownBits;

// --- QPL6032 ------------------------------------------------------------------

// S0..S23 of a macrocell whose pin is used (mc[7] = '1': PT 2 in use, S21 '0').
constexpr char kErasedS[] = "111111111111111011110011";

// MC 4 of the kinds: S9 = mc[0] = '0' routes PT 0, S13 = mc[1] = '1' with S6 =
// mc[7] = '1' PT 1, S16 = mc[2] = '0' PT 2; its I/O record is the kind's own.
Case Kind32(const char* device, const char* target, const char* package, const char* mc, const char* io,
            const char* bits) {
  Case c{device, {}, target, package, 44, {Put(kMcCfg, 4, 0, mc), Put(kIo, 4, 0, io)},
         {Term(4, 0, -1), Term(4, 1, -1), Term(4, 2, -1), Bits(4, bits)}, {}, false, {}};
  c.source.push_back(Clk("001"));
  c.expected.insert(c.expected.begin(), kOn32.begin(), kOn32.end());
  if (device[3] == '3') c.expected.insert(c.expected.end(), {Bits(11, "000"), Bits(21, "000")});
  return c;
}

// The 7032S with JTAG off; the TDI (MC 3) and TDO (MC 19) pins are used.
Case Jtag32(bool on) {
  Case c{"EPM7032SLC44-10", {}, "QPL6032ESPLCC44", "PLCC", 44,
         {Jtag("0"), Put(kMcCfg, 3, 7, "1"), Put(kMcCfg, 19, 7, "1"), Clk("001")},
         {Cfg(15, "010110"), Term(3, 1, -1), Term(19, 1, -1), Bits(3, kErasedS), Bits(19, kErasedS)},
         {{Msg::kConsoleText, JtagPort("TDI MC 4") + JtagPort("TDO MC 20")}}, false, {}};
  if (!on) return c;
  c.options = {"-jtag", "on"};
  c.expected.insert(c.expected.end(), kOn32.begin(), kOn32.end());  // TDO keeps its output
  c.messages.insert(c.messages.end(), {{Msg::kConsoleText, JtagOn("")}, {Msg::kReportText, JtagOn(" ")}});
  c.summary = {{&BlockSummary::jtag, "ON"}};
  return c;
}

TEST(BlocksEndToEnd, Qpl6032) {
  // 7032S: S0 io0, S1 io1, S2 = io0 == io2, S4 io4, S20 = NOT io5, S22 io3.
  RunCase(Kind32("EPM7032SLC44-10", "QPL6032ESPLCC44", "PLCC", "0101011110100", "011010", "010111100010110001101001"));
  // 7032AE: S0 io6, S1 io5, S2 = io6 == io4, S4 io1, S20 = NOT io2, S22 io0.
  RunCase(Kind32("EPM7032AETC44-10", "QPL6032ESLTQFP44", "TQFP", "01010111101001", "1010011",
                 "110101100010110001100011"));
  // 3032A: S0 io5, S1 io4, S2 = io5 == io3, S4 '1', S20 = NOT io1, S22 io0.
  RunCase(Kind32("EPM3032ALC44-10", "QPL6032ESLPLCC44", "PLCC", "01010111101001", "001010", "011111100010110001101001"));
  RunCase(Jtag32(false));
  RunCase(Jtag32(true));
}

// --- QPL6128 ------------------------------------------------------------------

struct PtIn {
  int mc, pt, column, fuse;  // source column of the PT, and the target fuse it lands on
};
struct Fuse {
  int lab, line, fuse;
};

// The paired kinds' design. Rows reached through their pair row: LAB 1 row 19
// (row 27 of LAB 6, secondary line 17), LAB 6 row 18 (row 27 of LAB 1,
// primary line 35), LAB 3 row 2 (row 10 of LAB 4: its "none", secondary).
// Special placements: P64 on row 5 (primary: line 38 and fuse 23 of line
// 24; secondary: line 6 as usual), P68 on row 34 (secondary: line 37), the
// "none" of row 6 (line 36, extra fuse by the LAB's half) and of row 10.
const Src kPairedPicks[] = {Pk(6, 27, 7), Pk(1, 27, 7), Pk(0, 5, 10), Pk(4, 34, 10), Pk(0, 6, 12),
                            Pk(4, 10, 12), Pk(0, 0, 0), Pk(5, 5, 10), Pair(1, 19), Pair(6, 18),
                            Pair(3, 2)};
const PtIn kPairedInputs[] = {{100, 1, 37, 71}, {4, 0, 10, 76}, {68, 4, 69, 75}, {5, 0, 12, 72},
                              {53, 0, 4, 72},   {7, 0, 0, 68},  {84, 0, 10, 12}};
const Fuse kPairedUim[] = {
    {6, 17, 2},  {6, 35, 11}, {1, 35, 23},               // D130: pair-read, own rows parked
    {0, 38, 3},  {0, 24, 23}, {4, 37, 2},  {4, 3, 23},   // P64, P68
    {0, 36, 23}, {0, 22, 9},  {3, 36, 23}, {3, 30, 0},   // "none" of rows 6 and 10
    {4, 36, 12}, {4, 30, 0},  {0, 34, 10}, {5, 6, 3}};   // row 10 unread, F104, P64 secondary

// The plain 7128: no pairing, the primary line everywhere; its product terms
// read the "none" of rows 6 and 33 on line 39 while line 36 is routed.
const Src kPlainPicks[] = {Pk(0, 5, 10), Pk(6, 5, 10), Pk(1, 32, 10), Pk(2, 6, 12),
                           Pk(7, 33, 12), Pk(4, 0, 0),  Pk(5, 34, 10), Pk(3, 27, 7)};
const PtIn kPlainInputs[] = {{4, 0, 10, 76},  {20, 0, 64, 78}, {36, 0, 13, 79},
                             {68, 1, 1, 69},  {84, 0, 68, 42}, {52, 3, 55, 71}};
const Fuse kPlainUim[] = {{0, 38, 3}, {0, 24, 23}, {6, 38, 12}, {6, 24, 23}, {1, 39, 3},
                          {1, 25, 3}, {2, 36, 12}, {2, 22, 9},  {7, 36, 12}, {7, 23, 26},
                          {4, 34, 10}, {5, 21, 2}, {3, 35, 11}};

template <std::size_t P, std::size_t I, std::size_t U>
void AddDesign(Case& c, const Src (&picks)[P], const PtIn (&inputs)[I], const Fuse (&uim)[U]) {
  c.source.insert(c.source.end(), picks, picks + P);
  for (const PtIn& in : inputs) {
    c.source.push_back(Col(in.mc, in.pt, in.column));
    c.expected.push_back(Term(in.mc, in.pt, in.fuse));
  }
  for (const Fuse& f : uim) c.expected.push_back(Uim(f.lab, f.line, f.fuse));
}

// Record `rec` selects OE2 and lands on MC 16 (S0..S2 100, GOE 3); OE PIA
// row 1 picks P112 (GOE 3 fuse 6) with its polarity bit, row 4 has only its
// polarity bit. With -pinclk, MC 20's PT 3 reads GCLK1 through LAB 1 row 19
// (code 1: first line, '1') and line 17 of LAB 1 is parked instead of read.
Case Paired(const char* device, const char* target, const char* package, int pins, bool pinClock,
            const char* code, const char* clockBits, const char* jtagIn, const char* jtagOut,
            std::vector<int> unknownZeros, std::vector<Msg> messages, int rec, const char* ues) {
  Case c{device, {}, target, package, pins, {Sel(rec, "011"), Oe(1, 9, true), Oe(4, -1, true), Clk(code), Jtag(jtagIn)},
         {Bits(16, "100"), Goe(3, 6), Cfg(24, "1"), Cfg(26, "1"), Cfg(15, clockBits), JtagOut(jtagOut)},
         messages, pinClock, {}};
  AddDesign(c, kPairedPicks, kPairedInputs, kPairedUim);
  for (int i : unknownZeros) c.source.push_back(Put(kUnknown, i, 0, "0"));
  if (ues) c.source.push_back(Put(&SourceImage::ues, 0, 0, ues));
  if (ues) c.expected.push_back(Ues(ues));
  if (jtagOut[0] == '1') c.expected.insert(c.expected.end(), {Bits(31, "000"), Bits(47, "000"), Bits(95, "000")});
  if (pinClock) {
    c.options.push_back("-pinclk");
    c.summary.push_back({&BlockSummary::pinClk, "ON"});
    c.source.insert(c.source.end(), {Col(20, 3, 38), Put(kMcCfg, 20, 10, "0")});
    c.expected.insert(c.expected.end(), {Bits(20, "111" "010011" "11101101" "1010" "011"), Uim(1, 17, 2)});
  } else {
    c.source.push_back(Col(20, 0, 38));
    c.expected.insert(c.expected.end(), {Term(20, 0, 34), Uim(1, 17, 11)});
  }
  if (std::strstr(device, "7128E")) {  // open_out and JTAG follow the POF on the others
    c.summary.insert(c.summary.end(), {{&BlockSummary::openCollector, "OFF"}, {&BlockSummary::jtag, "OFF"}});
  }
  return c;
}

TEST(BlocksEndToEnd, Qpl6128PairedKinds) {
  const Msg box{Msg::kBox, ""}, consoleBox{Msg::kConsoleBox, ""};
  // 7128S: JTAG AUTO from unknownBits[10]; a '0' among unknownBits 3..9 gives
  // a box on both streams, unknownBits[27] one more on the console.
  RunCase(Paired("EPM7128SLC84-15", "QPL6128ESPLCC84", "PLCC", 84, true, "001", "010110", "1", "1",
                 {4, 27}, {box, consoleBox}, 12, nullptr));
  RunCase(Paired("EPM7128AETC100-10", "QPL6128ESLTQFP100", "TQFP", 100, false, "101", "011110", "0",
                 "0", {}, {}, 12, "0110100111000010"));
  RunCase(Paired("EPM3128ATC100-10", "QPL6128ESLTQFP100", "TQFP", 100, false, "110", "010011", "1",
                 "1", {}, {}, 12, "1000000011111110"));
  // 7128E: code 000 is illegal and silent; one box per '0' of unknownBits 3..9;
  // the records follow the package.
  RunCase(Paired("EPM7128EQC160-15", "QPL6128ESPQFP160", "PQFP", 160, false, "000", "111110", "1",
                 "0", {3, 8}, {box, box}, 12, nullptr));
  RunCase(Paired("EPM7128ELC84-15", "QPL6128ESPLCC84", "PLCC", 84, false, "001", "010110", "1", "0",
                 {9}, {box}, 8, nullptr));
}

// The plain 7128 in the TQFP100 (the PLCC84's records: the 7128E row above):
// record 0 (OE1) goes to the first pinned macrocell, MC 0; MC 16 takes record
// 10 (OE2); GOE 0 takes D132, GOE 3 D129.
TEST(BlocksEndToEnd, Qpl6128Plain) {
  Case c{"EPM7128TC100-10", {}, "QPL6128ESTQFP100", "TQFP", 100, {Put(kOut, 10, 0, "0"), Put(kOut, 0, 1, "0")},
         {Bits(16, "100"), Bits(0, "001"), Goe(0, 0), Goe(3, 10)}, {}, false,
         {{&BlockSummary::openCollector, "OFF"}, {&BlockSummary::jtag, "OFF"}}};
  AddDesign(c, kPlainPicks, kPlainInputs, kPlainUim);
  RunCase(c);
}

}  // namespace
}  // namespace fusecvt::test
