// Whole runs of the program on POFs of the five QPL6128 source kinds: the
// JEDEC file, the report and the console byte for byte. The expected fuse
// image is built here from the design, fuse by fuse as the translation rules
// place it, then laid out by the writer tests' address-by-address model.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "driver/Version.h"
#include "jedec/BlockTarget.h"
#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// --- The design ---------------------------------------------------------------

struct Pick {
  int lab, row, pick;
};
struct Pair {
  int lab, row;
};
// A product-term input: source column of PT `pt` of macrocell `mc`, and the
// target fuse (2u or 2u + 1 of the line read) it lands on.
struct Input {
  int mc, pt, column, fuse;
};
struct UimFuse {
  int lab, line, fuse;
};

// The design of the paired kinds (7128S family and 7128E). In brackets the
// serving row and the UIM line the rules give.
const Pick kPairedPicks[] = {
    {6, 27, 7},   // D130; also served to LAB 1 row 19
    {1, 27, 7},   // D130; also served to LAB 6 row 18
    {0, 5, 10},   // P64, primary case
    {1, 5, 10},   // P64, primary case; also served to LAB 6 row 15
    {3, 32, 10},  // P65, primary case
    {4, 34, 10},  // P68, secondary case
    {5, 7, 10},   // P61, secondary case
    {0, 6, 12},   // none, lower half
    {4, 6, 12},   // none, upper half
    {2, 33, 12},  // none, lower half
    {7, 33, 12},  // none, upper half
    {4, 10, 12},  // none, secondary; also served to LAB 3 row 2
    {6, 19, 12},  // none, secondary
    {0, 0, 0},    // F104
    {7, 0, 0},    // F104
    {5, 5, 10},   // P64, secondary case: no special placement
};
const Pair kPairedPairs[] = {{1, 19}, {6, 18}, {6, 15}, {3, 2}};

const Input kPairedInputs[] = {
    {20, 0, 38, 34},   // LAB 1 row 19 -> row 27 of LAB 6, secondary line 17
    {100, 1, 37, 71},  // LAB 6 row 18 -> row 27 of LAB 1, primary line 35 (complement)
    {4, 0, 10, 76},    // P64 -> line 38
    {101, 2, 31, 77},  // LAB 6 row 15 -> row 5 of LAB 1: P64, primary -> line 38
    {52, 0, 64, 78},   // P65 -> line 39
    {68, 4, 69, 75},   // P68 -> line 37
    {5, 0, 12, 72},    // none of row 6 -> line 36
    {36, 3, 67, 73},   // none of row 33 -> line 36
    {116, 0, 66, 72},  // none of row 33 -> line 36
    {53, 0, 4, 72},    // LAB 3 row 2 -> row 10 of LAB 4: none, secondary -> line 36
    {102, 0, 39, 73},  // none of row 19, secondary -> line 36
    {7, 0, 0, 68},     // F104, primary line 34
    {84, 0, 10, 12},   // P64 on the secondary side: line 6
};

// Every UIM fuse the design sets: matching choices of read lines, park fuses
// of lines no product term reads, the extra fuses of the special placements
// and the "none" fuses of lines 36..39 left without a '0'.
const UimFuse kPairedUim[] = {
    {1, 17, 11},  // D130 read on line 17 (the -pinclk run parks it: see below)
    {6, 17, 2},   // LAB 6's own row 27, secondary line 17, not read: park
    {6, 35, 11},  // D130 on line 35
    {1, 35, 23},  // LAB 1's own row 27, primary line 35, not read: park
    {0, 38, 3},  {0, 24, 23},   // P64
    {6, 38, 3},  {6, 24, 23},   // P64 through the pair row
    {1, 38, 12}, {1, 24, 23},   // LAB 1's own row 5: P64, not read
    {3, 39, 3},  {3, 25, 3},    // P65
    {4, 37, 2},  {4, 3, 23},    // P68
    {5, 36, 12}, {5, 2, 23},    // P61, not read
    {0, 36, 23}, {0, 22, 9},    // none of row 6, LAB 0..3: the last "none" of line 36
    {4, 36, 12}, {4, 4, 8},     // none of row 6, LAB 4..7, not read
    {2, 36, 23}, {2, 23, 26},   // none of row 33, LAB 0..3
    {7, 36, 23}, {7, 5, 8},     // none of row 33, LAB 4..7
    {3, 36, 23}, {3, 30, 0},    // none of row 10 through the pair row
    {4, 30, 0},                 // LAB 4's own row 10 (line 36, not read: park 12 above)
    {6, 36, 23}, {6, 31, 0},    // none of row 19
    {0, 34, 10},                // F104
    {7, 16, 2},                 // F104 in LAB 7, secondary line 16, not read
    {5, 6, 3},                  // P64, secondary case
    // Lines 36..39 still without a '0'.
    {0, 37, 12}, {0, 39, 2},
    {1, 36, 12}, {1, 37, 12}, {1, 39, 2},
    {2, 37, 12}, {2, 38, 2}, {2, 39, 2},
    {3, 37, 12}, {3, 38, 2},
    {4, 38, 2}, {4, 39, 2},
    {5, 37, 12}, {5, 38, 2}, {5, 39, 2},
    {6, 37, 12}, {6, 39, 2},
    {7, 37, 12}, {7, 38, 2}, {7, 39, 2},
};

// The plain 7128 design: no pairing, the primary line everywhere.
const Pick kPlainPicks[] = {
    {0, 5, 10},   // P64 -> line 38
    {6, 5, 10},   // P64 -> line 38, not read
    {1, 32, 10},  // P65 -> line 39
    {2, 6, 12},   // none: the terms read line 39, the multiplexer routed is line 36
    {7, 33, 12},  // none, not read
    {4, 0, 0},    // F104, primary line 34 in an upper LAB
    {5, 34, 10},  // P68: no special placement, line 21
    {3, 27, 7},   // D130, line 35
};
const Input kPlainInputs[] = {
    {4, 0, 10, 76}, {20, 0, 64, 78}, {36, 0, 13, 79},
    {68, 1, 1, 69}, {84, 0, 68, 42}, {52, 3, 55, 71},
};
const UimFuse kPlainUim[] = {
    {0, 38, 3},  {0, 24, 23},   // P64
    {6, 38, 12}, {6, 24, 23},   // P64, not read
    {1, 39, 3},  {1, 25, 3},    // P65
    {2, 36, 12}, {2, 22, 9},    // none of row 6: line 36 is read by nobody
    {7, 36, 12}, {7, 23, 26},   // none of row 33
    {4, 34, 10},                // F104
    {5, 21, 2},                 // P68
    {3, 35, 11},                // D130
    // Fuse 12 of lines 36 and 37 always; fuse 2 of lines 38, 39 without a '0'.
    {0, 36, 12}, {0, 37, 12}, {0, 39, 2},
    {1, 36, 12}, {1, 37, 12}, {1, 38, 2},
    {2, 37, 12}, {2, 38, 2}, {2, 39, 2},
    {3, 36, 12}, {3, 37, 12}, {3, 38, 2}, {3, 39, 2},
    {4, 36, 12}, {4, 37, 12}, {4, 38, 2}, {4, 39, 2},
    {5, 36, 12}, {5, 37, 12}, {5, 38, 2}, {5, 39, 2},
    {6, 36, 12}, {6, 37, 12}, {6, 39, 2},
    {7, 37, 12}, {7, 38, 2}, {7, 39, 2},
};

// --- One conversion case ------------------------------------------------------

struct Case {
  const char* deviceName;
  SourceKind kind;
  int pinCount;
  const char* package;    // JEDEC header
  const char* target;     // report's target name
  bool lowVoltage;        // an ESL target: power reset set silently
  bool pinClock;          // run with -pinclk (7128S case)
  const char* clockCode;  // unknownBits[0..2] or globalClocks; null: none
  const char* clockBits;  // configBits[15..20] it gives
  char jtagBit;           // the source's JTAG bit where the kind has one
  char jtagResult;        // the target's jtagBit
  std::vector<int> unknownZeros;
  int consoleBoxes, reportBoxes;
  int ioRecord;           // the record that lands on MC 17 (index 16)
  int firstPinned;        // the macrocell taking record 0 (plain 7128)
  const char* ues;        // the signature of the kinds that carry one
};

bool Plain(const Case& c) { return c.kind == SourceKind::Max7128; }
bool OneHot(SourceKind k) { return k != SourceKind::Max7128 && k != SourceKind::Max7128E; }

void SetPick(SourceImage& img, const Pick& p) {
  char* row = img.pia.row(p.lab, p.row);
  if (OneHot(img.kind())) {
    row[p.pick] = '0';
  } else {
    for (int i = 0; i < 4; ++i) row[i] = (p.pick >> (3 - i)) & 1 ? '1' : '0';
  }
}

std::string Banner() {
  return std::string(kMakerName) + " fusecvt " + kVersionText + kBuildDate + "\n" + kRightsNotice +
         "\n\n";
}

std::string Box(int stars) {
  const std::string line = std::string(static_cast<std::size_t>(stars), '*') + "\n";
  return line + "Error! POF Conversion may not be correct.\n" +
         "       Some source settings have no counterpart on the target device.\n" +
         "       Please check the design, or ask your device supplier for help.\n" + line;
}

// Builds the POF of the case's design.
PofBuilder BuildSource(const Case& c) {
  PofBuilder b(c.deviceName);
  SourceImage& img = b.image();
  EXPECT_EQ(img.kind(), c.kind);
  EXPECT_EQ(b.pinCount(), c.pinCount);
  // Every macrocell idle: S6 = '0' routes no product term.
  for (int m = 0; m < 128; ++m) img.mcConfig.at(m, 7) = '0';
  if (Plain(c)) {
    for (const Pick& p : kPlainPicks) SetPick(img, p);
    for (const Input& in : kPlainInputs) img.logicArray.at(in.mc, in.pt, in.column) = '0';
    img.outputEnable.at(c.ioRecord, 0) = '0';  // "01": OE2
    img.outputEnable.at(0, 1) = '0';           // "10": OE1
    return b;
  }
  for (const Pick& p : kPairedPicks) SetPick(img, p);
  for (const Pair& p : kPairedPairs) img.pia.at(p.lab, p.row, OneHot(c.kind) ? 13 : 4) = '0';
  for (const Input& in : kPairedInputs) {
    const int pt = c.pinClock && in.mc == 20 ? 3 : in.pt;  // PT 4: a bare clock term
    img.logicArray.at(in.mc, pt, in.column) = '0';
  }
  if (c.pinClock) img.mcConfig.at(20, 10) = '0';  // S3 = mc[10] = '0'
  // I/O record: select OE2 (011) in the kind's select positions.
  const std::vector<int> select = c.kind == SourceKind::Max7128AE  ? std::vector<int>{6, 5, 4}
                                  : c.kind == SourceKind::Max3128A ? std::vector<int>{5, 4, 3}
                                                                   : std::vector<int>{0, 1, 2};
  img.ioConfig.at(c.ioRecord, select[0]) = '0';
  // OE PIA: row 1 picks 9 (P112) with its polarity bit; row 4 only its polarity bit.
  if (OneHot(c.kind)) {
    img.oePia.at(1, 9) = '0';
    img.oePia.at(1, 13) = '0';
    img.oePia.at(4, 13) = '0';
  } else {
    img.oePia.at(1, 1) = '0';
    img.oePia.at(1, 2) = '0';  // code 1001 = 9
    img.oePia.at(1, 4) = '0';
    img.oePia.at(4, 4) = '0';
  }
  FuseArray& clock = c.kind == SourceKind::Max7128AE || c.kind == SourceKind::Max3128A
                         ? img.globalClocks
                         : img.unknownBits;
  for (int i = 0; i < 3; ++i) clock.at(i) = c.clockCode[i];
  for (int i : c.unknownZeros) img.unknownBits.at(i) = '0';
  img.jtagBit = c.jtagBit;
  if (c.ues) {
    for (int i = 0; i < 16; ++i) img.ues.at(i) = c.ues[i];
  }
  return b;
}

// The target image the rules give for the case's design.
void BuildExpected(const Case& c, Qpl6128& t) {
  // Product terms: every term nothing uses is disabled (all '0').
  t.ptInputFuses.fill('0');
  t.ptFoldbackFuses.fill('0');
  // An idle macrocell: mc all '1' but mc[7] (S6 '0'), I/O record erased:
  // S15 = NOT mc[6] '0', S20 '0' (NOT io, or open_out OFF), S21 '1' (no term
  // in use); the 7128E and plain 7128 take S8 and S22 = NOT mc[11] = '0'.
  std::string idle(24, '1');
  idle[6] = idle[15] = idle[20] = '0';
  if (!OneHot(c.kind)) idle[8] = idle[22] = '0';
  for (int m = 0; m < 128; ++m) std::copy(idle.begin(), idle.end(), t.mcBits.row(m));

  const std::vector<Input> inputs =
      Plain(c) ? std::vector<Input>(std::begin(kPlainInputs), std::end(kPlainInputs))
               : std::vector<Input>(std::begin(kPairedInputs), std::end(kPairedInputs));
  for (const Input& in : inputs) {
    t.mcBits.at(in.mc, 21) = '0';
    if (c.pinClock && in.mc == 20) continue;  // below
    char* fuses = t.ptInputFuses.row(in.mc, in.pt);
    std::fill(fuses, fuses + 80, '1');
    std::fill(t.ptFoldbackFuses.row(in.mc, in.pt), t.ptFoldbackFuses.row(in.mc, in.pt) + 16, '1');
    fuses[in.fuse] = '0';
  }
  if (c.pinClock) {
    // MC 21's PT 4 reads only GCLK1 (true), code 1: a pin clock on the first
    // global clock line; PT 4 stays disabled (all '0').
    char* s = t.mcBits.row(20);
    s[3] = s[18] = '0';  // from mc[10]
    s[5] = s[12] = '0';
    s[7] = s[19] = '1';
  }
  const std::vector<UimFuse> uim =
      Plain(c) ? std::vector<UimFuse>(std::begin(kPlainUim), std::end(kPlainUim))
               : std::vector<UimFuse>(std::begin(kPairedUim), std::end(kPairedUim));
  for (const UimFuse& u : uim) {
    if (c.pinClock && u.lab == 1 && u.line == 17) {
      t.uimMux.at(1, 17, 2) = '0';  // no term reads line 17 any more: park
      continue;
    }
    t.uimMux.at(u.lab, u.line, u.fuse) = '0';
  }

  // MC 17 takes the OE2 record: S0 S1 S2 = 100 (GOE 3).
  std::copy_n("100", 3, t.mcBits.row(16));
  // ITD: no request to disable: all three fuses '0'.
  t.configBits.at(9) = t.configBits.at(10) = t.configBits.at(11) = '0';
  if (c.lowVoltage) t.configBits.at(6) = '0';
  if (Plain(c)) {
    std::copy_n("001", 3, t.mcBits.row(c.firstPinned));  // OE1 record
    t.goeMux.fill('1');
    // GOE 0 fuse 0 (D132) for OE1, GOE 3 fuse 10 (D129) for OE2; the others
    // keep their defaults.
    const int fuse[6] = {0, 11, 13, 10, 11, 12};
    for (int g = 0; g < 6; ++g) t.goeMux.at(g, fuse[g]) = '0';
    return;
  }
  // OE PIA row 1 (GOE 3) picks P112: fuse 6. Polarity of rows 1 and 4.
  for (int f = 0; f < 14; ++f) t.goeMux.at(3, f) = f == 6 ? '0' : '1';
  t.configBits.at(24) = '1';
  t.configBits.at(26) = '1';
  for (int i = 0; i < 6; ++i) t.configBits.at(15 + i) = c.clockBits[i];
  t.jtagBit = c.jtagResult;
  if (c.jtagResult == '1') {
    for (int m : {31, 47, 95}) std::copy_n("000", 3, t.mcBits.row(m));
  }
  if (c.ues) {
    for (int i = 0; i < 16; ++i) t.uesBits.at(i) = c.ues[i];
  }
}

std::string Summary(const Case& c) {
  const bool follows = c.kind == SourceKind::Max7128S || c.kind == SourceKind::Max7128AE ||
                       c.kind == SourceKind::Max3128A;
  // open_out and JTAG follow the POF on the 7128S, 7128AE and 3128A, and are
  // off on the 7128E and plain 7128.
  const std::string pofFollows = follows ? "AUTO" : "OFF";
  return std::string("\n") + (c.kind == SourceKind::Max3128A ? "" : "Options :  (6128 only)\n") +
         "   Powerdown :\t\tOFF\n"
         "   Security Bit :\tAUTO\n"
         "   Slew Rate :\t\tAUTO\n"
         "   PinClk :\t\t" + (c.pinClock ? "ON" : "OFF") + "\n"
         "   Race Coverage :\tON\n"
         "   Pin Keeper :\t\tOFF\n"
         "   Macrocell Low Power:\tAUTO\n"
         "   Power Reset :\t" + (c.lowVoltage ? "ONCE" : "ALWAYS") + "\n"
         "   ITD on GCLK1 :\tON\n"
         "   ITD on GCLK2 :\tON\n"
         "   ITD on GCLK3 :\tON\n"
         "   Open Collector :\t" + pofFollows + "\n"
         "   JTAG mode :\t\t" + pofFollows + "\n"
         "   TDI Pullup :\t\tOFF\n"
         "   TMS Pullup :\t\tOFF\n";
}

void RunCase(const Case& c) {
  SCOPED_TRACE(c.deviceName);
  ScratchDir dir;
  const std::string pof = dir.File("design.pof");
  const std::string jed = dir.File("design.jed");
  const std::string txt = dir.File("design.txt");
  BuildSource(c).WriteTo(pof);
  std::vector<std::string> args = {"fusecvt"};
  if (c.pinClock) args.push_back("-pinclk");
  args.push_back(pof);
  const RunResult r = RunInProcess(args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");

  Qpl6128 expected;
  BuildExpected(c, expected);
  ExpectedHeader header;
  header.packageName = c.package;
  header.pinCount = c.pinCount;
  header.createdOn = kTestTimeText;
  const std::string jedec = ReadFile(jed);
  EXPECT_EQ(FirstDifference(ExpectedJedecFile(expected, header), jedec), "");
  const JedecReadResult read = ReadJedec(jedec);
  EXPECT_TRUE(read.ok()) << read.ErrorText();
  EXPECT_EQ(read.fuseCount, 74136);
  EXPECT_EQ(read.computedChecksum, read.fileChecksum);

  // Console and report.
  const std::string conversion =
      std::string("  ") + c.deviceName + " --> " + c.target + c.package + std::to_string(c.pinCount) + "\n";
  const std::string warning = c.lowVoltage ? ""
                                           : "WARNING:  If conversion is for a low voltage device,\n"
                                             "   please use the -power_reset option.\n\n";
  std::string consoleBoxes, reportBoxes;
  for (int i = 0; i < c.consoleBoxes; ++i) consoleBoxes += Box(63);
  for (int i = 0; i < c.reportBoxes; ++i) reportBoxes += Box(62);
  const std::string clockLine = c.pinClock ? "**** There are PT-Clock converted to Pin Clock ****\n" : "";
  EXPECT_EQ(r.out, Banner() + conversion + "Input file      \t: " + pof + "\n" +
                       "Output file     \t: " + jed + "\n" + "Conversion Report file\t: " + txt +
                       "\n\n" + warning + consoleBoxes + clockLine + "fusecvt processed 0 seconds\n" +
                       "Conversion is completed\n");
  EXPECT_EQ(ReadFile(txt), Banner() + conversion + "Input file                : " + pof + "\n" +
                               "Output file               : " + jed + "\n" +
                               "Conversion Report file    : " + txt + "\n\n" + warning + reportBoxes +
                               clockLine + "Conversion is completed\n" + Summary(c));
}

TEST(Qpl6128EndToEnd, A7128SWithAPinClock) {
  // Clock code 001 (g = 1); unknownBits[10] erased: JTAG on; a '0' among
  // unknownBits 3..9 gives one box on each stream, unknownBits[27] one more
  // on the console.
  RunCase({"EPM7128SLC84-15", SourceKind::Max7128S, 84, "PLCC", "QPL6128ES", false, true, "001",
           "010110", '1', '1', {4, 27}, 2, 1, 12, -1, nullptr});
}

TEST(Qpl6128EndToEnd, A7128AE) {
  RunCase({"EPM7128AETC100-10", SourceKind::Max7128AE, 100, "TQFP", "QPL6128ESL", true, false,
           "101", "011110", '0', '0', {}, 0, 0, 12, -1, "0110100111000010"});
}

TEST(Qpl6128EndToEnd, A3128A) {
  RunCase({"EPM3128ATC100-10", SourceKind::Max3128A, 100, "TQFP", "QPL6128ESL", true, false, "110",
           "010011", '1', '1', {}, 0, 0, 12, -1, "1000000011111110"});
}

TEST(Qpl6128EndToEnd, A7128EIn160And84PinPackages) {
  // Code 000 is illegal: the 7128E says nothing and keeps the defaults. Each
  // '0' among unknownBits 3..9 gives a box on both streams.
  RunCase({"EPM7128EQC160-15", SourceKind::Max7128E, 160, "PQFP", "QPL6128ES", false, false, "000",
           "111110", '1', '0', {3, 8}, 2, 2, 12, -1, nullptr});
  RunCase({"EPM7128ELC84-15", SourceKind::Max7128E, 84, "PLCC", "QPL6128ES", false, false, "001",
           "010110", '1', '0', {9}, 1, 1, 8, -1, nullptr});
}

TEST(Qpl6128EndToEnd, APlain7128In84And100PinPackages) {
  // Record 0 goes to the package's first macrocell with a pin: MC 3 (84 pins)
  // or MC 1 (100 pins); MC 17 takes record 8 or 10.
  RunCase({"EPM7128LC84-15", SourceKind::Max7128, 84, "PLCC", "QPL6128ES", false, false, nullptr,
           nullptr, '1', '0', {}, 0, 0, 8, 2, nullptr});
  RunCase({"EPM7128TC100-10", SourceKind::Max7128, 100, "TQFP", "QPL6128ES", false, false, nullptr,
           nullptr, '1', '0', {}, 0, 0, 10, 0, nullptr});
}

}  // namespace
}  // namespace fusecvt::test
