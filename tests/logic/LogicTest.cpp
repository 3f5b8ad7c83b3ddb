// The logic check end to end: small designs stated in image fields are
// converted with --verify, listed with --equations, and their written JEDEC
// files are planted with single-fuse faults that --check must name.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "jedec/JedecReader.h"
#include "support/JedecReader.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// A PIA row and the pick that feeds a product-term column.
struct Pick {
  int row, pick;
};

// One target and the small design of MC 3 that the tests use on it:
//   PT 1 = pinA & /feedbackB & GCLK1, PT 2 = expander of MC 6, PT 3 = pinC,
//   registered, clocked by global clock line 1 (GCLK1), its output enabled by OE1, whose
//   OE PIA row picks oePick (the plain 7032: the dedicated OE1 input).
struct Case {
  const char* device;   // POF device name
  const char* word;     // -device word ("" for the default target)
  Pick pinA, feedbackB, gclk1, pinC;
  const char* pt1;       // PT 1 as the listing writes it
  const char* pt2;       // PT 2 as the target's listing writes it
  const char* pt3;       // PT 3 (pinC) as the listing writes it
  const char* pinCName;  // pinC as the check names it
  const char* target;    // the target's name in its listing
  long productTermsEnd;  // end of the product-term fuses in the file
  int ioRecord;          // I/O record of MC 3
  int oePick;            // pick of OE PIA row 0
  const char* oe;        // the output enable as the listing writes it
};

const Case kCases[] = {
    {"EPM7032SLC44-10", "", {33, 3}, {2, 0}, {27, 1}, {20, 3}, "pin 24 & /MC 20 & GCLK1", "exp 6", "pin 4",
     "input pin of MC 4", "QPL6032", 15360, 2, 2, "pin 2"},
    {"EPM7064SLC44-10", "", {0, 3}, {1, 1}, {33, 3}, {2, 4}, "pin 60 & /MC 38 & GCLK1", "exp 6", "pin 59",
     "input pin of MC 59", "QPL6064", 30720, 2, 4, "pin 3"},
    {"EPM7128SLC84-15", "", {0, 8}, {1, 1}, {27, 7}, {2, 7}, "pin 91 & /MC 102 & GCLK1", "exp 6", "pin 124",
     "input pin of MC 124", "QPL6128", 61440, 1, 9, "pin 24"},
    {"EPM7032LC44-10", "6000", {33, 3}, {2, 0}, {27, 1}, {20, 3}, "pin 24 & /MC 20 & GCLK1", "exp 6|19", "pin 4",
     "input pin of MC 4", "QPL6000", 24320, 2, 0, "OE1"},
    {"EPM7032LC44-10", "6000e", {33, 3}, {2, 0}, {27, 1}, {20, 3}, "pin 24 & /MC 20 & GCLK1", "exp 6|19", "pin 4",
     "input pin of MC 4", "QPL6000E", 24320, 2, 0, "OE1"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.target; }

constexpr int kMc = 2;  // MC 3

// Sets the pick of PIA row r of LAB 0 in the encoding of the source kind.
void SetPick(SourceImage& image, Pick p) {
  switch (image.kind()) {
    case SourceKind::Max7032:  // two characters, the code in base two
      image.pia.at(0, p.row, 0) = p.pick & 2 ? '1' : '0';
      image.pia.at(0, p.row, 1) = p.pick & 1 ? '1' : '0';
      break;
    default:  // one-hot: the first '0'
      image.pia.at(0, p.row, p.pick) = '0';
      break;
  }
}

struct Design {
  bool pinC = true;         // PT 3 reads pinC
  bool expander = true;     // PT 2 reads the expander of MC 6
  bool ptClock = false;     // clock from PT 4 instead of global clock 1
  bool oePick = true;       // OE PIA row 0 picks its signal
  bool oeAlways = false;    // output always enabled instead of by OE1
};

PofBuilder Build(const Case& c, const Design& d) {
  PofBuilder b(c.device);
  SourceImage& image = b.image();
  for (Pick p : {c.pinA, c.feedbackB, c.gclk1, c.pinC}) SetPick(image, p);
  image.logicArray.at(kMc, 0, 2 * c.pinA.row) = '0';
  image.logicArray.at(kMc, 0, 2 * c.feedbackB.row + 1) = '0';
  image.logicArray.at(kMc, 0, 2 * c.gclk1.row) = '0';
  if (d.expander) image.logicArray.at(kMc, 1, 72 + 5) = '0';
  if (d.pinC) image.logicArray.at(kMc, 2, 2 * c.pinC.row) = '0';
  char* mc = image.mcConfig.row(kMc);
  mc[10] = '0';                    // registered
  mc[5] = d.ptClock ? '1' : '0';   // clock: PT 4 or global clock line 1
  // Global clock code 1: line 1 GCLK1, line 2 GCLK2 (the plain 7032 has no code).
  FuseArray& code = image.kind() == SourceKind::Max7128S ? image.unknownBits : image.globalClocks;
  if (code.size() >= 3) code.at(0) = code.at(1) = '0';
  mc[3] = '0';                     // PT 4 left as it is
  mc[1] = '0';                     // PT 2 and PT 3 kept even without literals
  mc[2] = '0';
  // Output enable: OE1 (select 101; the plain 7032's code 10), or always (111; 11).
  if (image.kind() == SourceKind::Max7032) {
    image.outputEnable.at(kMc, 1) = d.oeAlways ? '1' : '0';
  } else {
    image.ioConfig.at(c.ioRecord, 1) = d.oeAlways ? '1' : '0';
    if (d.oePick) image.oePia.at(0, c.oePick) = '0';
  }
  return b;
}

std::vector<std::string> Args(const Case& c, std::vector<std::string> args) {
  if (*c.word) args.insert(args.begin() + 2, {"-device", c.word});
  return args;
}

// Converts a design and returns the fuses of its JEDEC file.
std::string Convert(const Case& c, const Design& d, const ScratchDir& dir, const std::string& name) {
  Build(c, d).WriteTo(dir.File(name + ".pof"));
  const RunResult r = RunInProcess(Args(c, {"fusecvt", "--verify", dir.File(name + ".pof")}));
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  const JedecReadResult jed = ReadJedecFile(dir.File(name + ".jed"));
  EXPECT_TRUE(jed.ok()) << jed.ErrorText();
  return jed.fuses;
}

// A complete JEDEC file holding these fuses, with their checksum.
std::string JedecOf(const std::string& fuses) {
  char checksum[8];
  std::snprintf(checksum, sizeof checksum, "C%04X", JedecChecksumOf(fuses));
  return "\x02planted fault*\nQF" + std::to_string(fuses.size()) + "*\nF0*\nL0 " + fuses + "*\n" + checksum +
         "*\n\x03" "0000";
}

std::vector<long> Differences(const std::string& a, const std::string& b, long from, long to) {
  std::vector<long> at;
  for (long i = from; i < to && i < static_cast<long>(a.size()); ++i) {
    if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)]) at.push_back(i);
  }
  return at;
}

std::string Listing(const Case& c, const std::string& device, const std::string& pt2) {
  const int n = device.find("32") != std::string::npos || device.find("6000") != std::string::npos ? 32
                : device.find("64") != std::string::npos                                           ? 64
                                                                                                   : 128;
  return "Design: " + device + ", " + std::to_string(n) + " macrocells, 1 in use\n"
         "Names: pin n = I/O pin of MC n, MC n = feedback of MC n, exp n = expander of MC n, / = complement\n"
         "\n"
         "MC 3: registered, clock GCLK1, output enable " + c.oe + "\n"
         "  PT 1 = " + std::string(c.pt1) + "\n"
         "  PT 2 = " + pt2 + "\n"
         "  PT 3 = " + c.pt3 + "\n";
}

// The account's lines about macrocells.
std::string MacrocellLines(const std::string& out) {
  std::string lines;
  for (std::size_t p = 0; (p = out.find("Logic check: MC ", p)) != std::string::npos; ++p) {
    lines += out.substr(p, out.find('\n', p) + 1 - p);
  }
  return lines;
}

class LogicCheck : public ::testing::TestWithParam<Case> {};

TEST_P(LogicCheck, VerifiedConversionListsTheSameEquationsOnBothSides) {
  const Case& c = GetParam();
  ScratchDir dir;
  Build(c, {}).WriteTo(dir.File("d.pof"));
  const RunResult v = RunInProcess(Args(c, {"fusecvt", "--verify", dir.File("d.pof")}));
  ASSERT_EQ(v.status, 0) << v.out << v.err;
  const std::string account = "Logic check: " + std::to_string(c.productTermsEnd / (*c.word ? 760 : 480)) +
                              " macrocells, ";
  EXPECT_NE(v.out.find(account), std::string::npos) << v.out;
  EXPECT_NE(v.out.find(" literals compared; no difference\n"), std::string::npos) << v.out;
  // The report ends with the same account as the console.
  const std::string report = ReadFile(dir.File("d.txt"));
  EXPECT_EQ(report.substr(report.find("Logic check: ")), v.out.substr(v.out.find("Logic check: "))) << report;

  std::string sourceName = c.device + 3;  // "7032SLC44-10" -> "7032S"
  sourceName = sourceName.substr(0, sourceName.find_first_of("LT"));
  const RunResult pof = RunInProcess({"fusecvt", "--equations", dir.File("d.pof")});
  EXPECT_EQ(pof.status, 0) << pof.err;
  EXPECT_EQ(pof.out, Listing(c, sourceName, "exp 6"));
  const RunResult jed = RunInProcess({"fusecvt", "--equations", dir.File("d.jed")});
  EXPECT_EQ(jed.status, 0) << jed.err;
  EXPECT_EQ(jed.out, Listing(c, c.target, c.pt2));
}

TEST_P(LogicCheck, PlantedSingleFuseFaultsAreNamed) {
  const Case& c = GetParam();
  ScratchDir dir;
  const std::string good = Convert(c, {}, dir, "good");
  // The fuses that carry a feature: where a design without it differs.
  const std::string noPinC = Convert(c, {false, true, false, true, false}, dir, "nopin");
  const std::string noExpander = Convert(c, {true, false, false, true, false}, dir, "noexp");
  const std::string ptClock = Convert(c, {true, true, true, true, false}, dir, "ptclk");
  const std::string noOePick = Convert(c, {true, true, false, false, false}, dir, "nooepick");
  const std::string oeAlways = Convert(c, {true, true, false, true, true}, dir, "oealways");
  const bool blocks = std::string(c.target).find("6000") == std::string::npos;
  const long end = static_cast<long>(good.size());

  struct Fault {
    const char* what;
    std::vector<long> fuses;  // flipped
    std::vector<std::string> lines;
  };
  const std::vector<long> input = Differences(good, noPinC, 0, c.productTermsEnd);
  const std::vector<long> foldback = Differences(good, noExpander, 0, c.productTermsEnd);
  const std::vector<long> clock = Differences(good, ptClock, c.productTermsEnd, end);
  ASSERT_EQ(input.size(), 1u);
  ASSERT_EQ(foldback.size(), 1u);
  ASSERT_EQ(clock.size(), 1u);
  // The output-enable select bits (S0..S2; bits 9 and 10 on the QPL6000)
  // that differ between OE1 and always.
  const std::vector<long> oeSelect = Differences(good, oeAlways, c.productTermsEnd, end);
  ASSERT_TRUE(oeSelect.size() == 1 || oeSelect.size() == 2) << oeSelect.size();
  std::vector<Fault> faults = {
      {"PT input fuse", input, {"MC 3 PT 3: " + std::string(c.pinCName) + " (true) missing in the target"}},
      {"foldback fuse", foldback,
       {"MC 3 PT 2: " +
        std::string(c.pt2 == std::string("exp 6") ? "expander of MC 6" : "foldback column of MC 6 and MC 19") +
        " (true) missing in the target"}},
      {"clock bit", clock, {"MC 3: clock GCLK1 in the source, PT 4 in the target"}},
      {"output-enable select", oeSelect,
       {"MC 3: output enable " + std::string(c.oe) + " in the source, always in the target"}},
  };
  // Block targets: the select fuse of the global OE multiplexer that OE1 reaches.
  for (long f : Differences(good, noOePick, c.productTermsEnd, end)) {
    if (good[static_cast<std::size_t>(f)] == '0') {
      faults.push_back({"GOE select fuse", {f},
                        {"MC 3: output enable " + std::string(c.oe) + " in the source, no signal in the target"}});
    }
  }
  // Block targets: the select fuse of the UIM line that PT 3 reads.
  for (long f : Differences(good, noPinC, c.productTermsEnd, end)) {
    if (good[static_cast<std::size_t>(f)] == '0' && blocks) {
      faults.push_back({"UIM select fuse", {f},
                        {"MC 3 PT 3: " + std::string(c.pinCName) + " (true) missing in the target",
                         "MC 3 PT 3: a line with no select (true) extra in the target"}});
    }
  }
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.what);
    std::string fuses = good;
    for (long f : fault.fuses) fuses[static_cast<std::size_t>(f)] = fuses[static_cast<std::size_t>(f)] == '0' ? '1' : '0';
    WriteFile(dir.File("bad.jed"), JedecOf(fuses));
    const RunResult r = RunInProcess({"fusecvt", "--check", dir.File("good.pof"), dir.File("bad.jed")});
    EXPECT_EQ(r.status, 3) << r.out << r.err;
    std::string expected;
    for (const std::string& l : fault.lines) expected += "Logic check: " + l + "\n";
    EXPECT_EQ(MacrocellLines(r.out), expected) << r.out;
  }
  EXPECT_EQ(faults.size(), blocks ? 6u : 4u);
}

INSTANTIATE_TEST_SUITE_P(Targets, LogicCheck, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.target); });

// Changes the conversion makes on purpose are counted by name; changes it is
// known to make are listed as known, with status 3.
TEST(LogicCheckNames, DeliberateAndKnownChanges) {
  struct Row {
    const char* name;
    const char* device;
    std::vector<std::string> options;
    void (*design)(SourceImage&);
    int status;
    const char* line;  // a line the account holds
  };
  const Row rows[] = {
      {"PT 4 = GCLK1 becomes the pin clock", "EPM7032SLC44-10", {"-pinclk"},
       [](SourceImage& im) {
         im.pia.at(0, 27, 1) = '0';          // row 27 picks GCLK1
         im.logicArray.at(2, 3, 54) = '0';   // MC 3 PT 4 = GCLK1
         im.mcConfig.at(2, 10) = '0';        // registered, clocked by PT 4
         im.globalClocks.at(0) = im.globalClocks.at(1) = '0';  // clock lines GCLK1, GCLK2
       },
       0, "1 product-term clocks turned into pin clocks"},
      {"PT 4 = /GCLK1 becomes clock line 1, /GCLK1 under clock code 2", "EPM7032SLC44-10", {"-pinclk"},
       [](SourceImage& im) {
         im.pia.at(0, 27, 1) = '0';
         im.logicArray.at(2, 3, 55) = '0';   // MC 3 PT 4 = /GCLK1
         im.mcConfig.at(2, 10) = '0';
         im.globalClocks.at(0) = im.globalClocks.at(2) = '0';  // code 2: /GCLK1, /GCLK2
       },
       0, "1 product-term clocks turned into pin clocks"},
      {"the same on the QPL6000", "EPM7032LC44-10", {"-device", "6000", "-pinclk"},
       [](SourceImage& im) {
         im.pia.at(0, 27, 0) = '0';  // row 27 code 01: GCLK1
         im.logicArray.at(2, 3, 54) = '0';
         im.mcConfig.at(2, 10) = '0';
       },
       0, "1 product-term clocks turned into pin clocks"},
      {"a combinational latch gets a race-coverage term", "EPM7032LC44-10", {"-device", "6000"},
       [](SourceImage& im) {
         im.pia.at(0, 3, 0) = '0';  // row 3 code 01: feedback of MC 3
         im.logicArray.at(2, 2, 6) = im.logicArray.at(2, 2, 40) = '0';   // PT 3 = MC 3 & pin 4 (rows 3, 20)
         im.logicArray.at(2, 1, 41) = im.logicArray.at(2, 1, 66) = '0';  // PT 2 = /pin 4 & pin 24 (rows 20, 33)
         im.mcConfig.at(2, 8) = im.mcConfig.at(2, 9) = '0';
       },
       0, "1 race-coverage terms added"},
      {"own feedback read through the pin on the QPL6000", "EPM7032LC44-10", {"-device", "6000"},
       [](SourceImage& im) {
         im.pia.at(0, 0, 0) = im.pia.at(0, 1, 0) = '0';  // rows 0 and 1 code 01: pin 5, feedback of MC 2
         im.mcConfig.at(1, 0) = '0';                      // MC 2: PT 1 kept, output always enabled
         im.logicArray.at(1, 0, 0) = im.logicArray.at(1, 0, 3) = '0';  // PT 1 = pin 5 & /MC 2
       },
       0, "1 own feedback read as own pin (pin feedback)"},
      {"a row served by its pair row in the mirror LAB", "EPM7128SLC84-15", {},
       [](SourceImage& im) {
         im.pia.at(1, 19, 13) = '0';  // LAB 1 row 19 is served by row 27 of LAB 6,
         im.pia.at(6, 27, 7) = '0';   // which picks GCLK1
         im.logicArray.at(20, 0, 38) = '0';  // MC 21 PT 1 reads LAB 1 row 19
         im.mcConfig.at(20, 0) = '0';
       },
       0, "; no difference"},
      {"a row read in both polarities parks its line", "EPM7032SLC44-10", {},
       [](SourceImage& im) {
         im.pia.at(0, 0, 0) = '0';  // row 0 picks F4
         im.logicArray.at(2, 0, 0) = im.logicArray.at(2, 0, 1) = '0';
       },
       0, "1 constant-false terms reading parked lines"},
      {"a none pick lands on a feedback column of the QPL6000", "EPM7032LC44-10", {"-device", "6000"},
       [](SourceImage& im) {
         im.logicArray.at(2, 0, 0) = '0';  // row 0 keeps code 11: none
         im.mcConfig.at(2, 10) = '0';
       },
       3, "Logic check: MC 3 PT 1: known: none pick (true) reads feedback of MC 3 (complement) in the target"},
      {"two expanders of one QPL6000 foldback column", "EPM7032LC44-10", {"-device", "6000"},
       [](SourceImage& im) {
         im.logicArray.at(2, 0, 72 + 5) = '0';   // MC 3 reads the expander of MC 6
         im.logicArray.at(16, 0, 72 + 2) = '0';  // MC 17 reads the expander of MC 19
         im.mcConfig.at(2, 10) = im.mcConfig.at(16, 10) = '0';
       },
       3, "Logic check: MC 3 PT 1: known: the expanders of MC 6 and MC 19 are both read but share one foldback column in the target"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir dir;
    PofBuilder b(row.device);
    row.design(b.image());
    b.WriteTo(dir.File("d.pof"));
    std::vector<std::string> args{"fusecvt", "--verify"};
    args.insert(args.end(), row.options.begin(), row.options.end());
    args.push_back(dir.File("d.pof"));
    const RunResult r = RunInProcess(args);
    EXPECT_EQ(r.status, row.status) << r.out << r.err;
    EXPECT_NE(r.out.find(row.line), std::string::npos) << r.out;
    const std::string lines = MacrocellLines(r.out);
    for (std::size_t p = 0, e; (e = lines.find('\n', p)) != std::string::npos; p = e + 1) {
      EXPECT_NE(lines.substr(p, e - p).find(": known: "), std::string::npos) << lines.substr(p, e - p);
    }
  }
}

// A QPL6000 term that read its own feedback reads its pin instead (pin
// feedback, no difference); a file that lost the literal altogether is a
// difference, and --check names it.
TEST(LogicCheckNames, LostOwnFeedbackIsNoPinFeedback) {
  ScratchDir dir;
  for (const char* name : {"fb", "nofb"}) {
    PofBuilder b("EPM7032LC44-10");
    SourceImage& im = b.image();
    im.pia.at(0, 0, 0) = im.pia.at(0, 1, 0) = '0';  // rows 0 and 1 code 01: pin 5, feedback of MC 2
    im.mcConfig.at(1, 0) = '0';                      // MC 2: PT 1 kept, output always enabled
    im.logicArray.at(1, 0, 0) = '0';                 // PT 1 = pin 5 (& /MC 2 in "fb")
    if (name == std::string("fb")) im.logicArray.at(1, 0, 3) = '0';
    b.WriteTo(dir.File(std::string(name) + ".pof"));
    ASSERT_EQ(RunInProcess({"fusecvt", "-device", "6000", dir.File(std::string(name) + ".pof")}).status, 0);
  }
  // The file of "fb" without the product-term fuse that carries the literal.
  std::string fuses = ReadJedecFile(dir.File("fb.jed")).fuses;
  const std::string without = ReadJedecFile(dir.File("nofb.jed")).fuses;
  const std::vector<long> literal = Differences(fuses, without, 0, 24320);
  ASSERT_EQ(literal.size(), 1u);
  fuses[static_cast<std::size_t>(literal[0])] = without[static_cast<std::size_t>(literal[0])];
  WriteFile(dir.File("bad.jed"), JedecOf(fuses));
  const RunResult r = RunInProcess({"fusecvt", "--check", dir.File("fb.pof"), dir.File("bad.jed")});
  EXPECT_EQ(r.status, 3) << r.out;
  EXPECT_NE(MacrocellLines(r.out).find("Logic check: MC 2 PT 1: "), std::string::npos) << r.out;
}

// The product's JEDEC reader: fields, F default, L lists, C checksum.
TEST(ProductJedecReader, ReadsFusesAndRefusesBrokenFiles) {
  struct Row {
    const char* bytes;
    const char* fuses;  // expected fuses, or nullptr when the file is refused
    const char* error;  // part of the reason
  };
  const Row rows[] = {
      {"\x02head*\r\nQF8*F1*L2 00*C00F3*\x03" "0000", "11001111", ""},  // words LSB first: 0xF3
      {"*QF4* L0 1 0\r\n10*", "1010", ""},                               // no STX, no F: all listed
      {"*QF4*F0*N note * with words*L1 1*", "0100", ""},                   // notes are passed over
      {"*QF4*L0 10*", nullptr, "fuse 2 is not listed"},
      {"*QF4*F0*L3 10*", nullptr, "runs past the fuse count"},
      {"*QF4*F0*L0 1x10*", nullptr, "bad character"},
      {"*F0*L0 1*", nullptr, "no fuse count"},
      {"*QF4*F0*L0 1111*C000E*", nullptr, "does not match the fuses (C000F)"},
      {"*QF4*F2*", nullptr, "bad fuse default"},
      {"*QF4*F0*C12*", nullptr, "bad fuse checksum field"},
      {"no fields", nullptr, "no JEDEC fields"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    const JedecFuses f = ParseJedec(row.bytes);
    if (row.fuses) {
      EXPECT_TRUE(f.ok()) << f.error;
      EXPECT_EQ(f.fuses, row.fuses);
    } else {
      EXPECT_NE(f.error.find(row.error), std::string::npos) << f.error;
    }
  }
}

// --check and --equations on files that cannot be read, and the check of an
// unchanged file.
TEST(LogicCheckFiles, UnreadableFilesEndWithStatusOneAndTheReason) {
  ScratchDir dir;
  const Case& c = kCases[0];
  const std::string fuses = Convert(c, {}, dir, "d");
  std::string badChecksum = JedecOf(fuses);
  badChecksum[badChecksum.find("*\nC") + 3] ^= 1;
  WriteFile(dir.File("sum.jed"), badChecksum);
  WriteFile(dir.File("count.jed"), JedecOf(fuses + "0"));
  WriteFile(dir.File("nofields.jed"), "no fields here");
  struct Row {
    std::vector<std::string> args;
    int status;
    const char* reason;  // part of standard error; "" for none
  };
  const std::vector<Row> rows = {
      {{"--check", dir.File("d.pof"), dir.File("d.jed")}, 0, ""},
      {{"--check", dir.File("d.pof"), dir.File("sum.jed")}, 1, "does not match the fuses"},
      {{"--check", dir.File("d.pof"), dir.File("count.jed")}, 1, "is not that of a QPL target"},
      {{"--check", dir.File("d.pof"), dir.File("nofields.jed")}, 1, "no JEDEC fields"},
      {{"--check", dir.File("d.pof"), dir.File("missing.jed")}, 1, "cannot open"},
      {{"--check", dir.File("missing.pof"), dir.File("d.jed")}, 1, "cannot read the POF"},
      {{"--check", dir.File("d.pof")}, 1, "usage: --check design.pof file.jed"},
      {{"--equations", dir.File("count.jed")}, 1, "is not that of a QPL target"},
      {{"--equations", "--json"}, 1, "usage: --equations [--json] file"},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args{"fusecvt"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const RunResult r = RunInProcess(args);
    EXPECT_EQ(r.status, row.status) << row.args[0] << " " << row.args.back() << "\n" << r.out << r.err;
    EXPECT_NE(r.err.find(row.reason), std::string::npos) << r.err;
    if (row.status == 0) {
      EXPECT_NE(r.out.find("; no difference\n"), std::string::npos) << r.out;
    }
  }
}

TEST(LogicCheckFiles, JsonListingNamesEveryTermOfTheMacrocells) {
  ScratchDir dir;
  Convert(kCases[0], {}, dir, "d");
  const RunResult r = RunBinary({"fusecvt", "--equations", "--json", dir.File("d.jed")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("{\"device\": \"QPL6032\", \"macrocells\": [\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("{\"mc\": 3, \"registered\": true, \"clock\": \"GCLK1\", \"outputEnable\": \"pin 2\", \"terms\": ["
                       "{\"pt\": 1, \"state\": \"literals\", \"literals\": [{\"signal\": \"pin 24\", \"complement\": false}, "
                       "{\"signal\": \"MC 20\", \"complement\": true}, {\"signal\": \"GCLK1\", \"complement\": false}]}, "
                       "{\"pt\": 2, \"state\": \"literals\", \"literals\": [{\"signal\": \"exp 6\", \"complement\": false}]}, "
                       "{\"pt\": 3, \"state\": \"literals\", \"literals\": [{\"signal\": \"pin 4\", \"complement\": false}]}, "
                       "{\"pt\": 4, \"state\": \"literals\", \"literals\": []}, "
                       "{\"pt\": 5, \"state\": \"disabled\", \"literals\": []}]}"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.substr(r.out.size() - 4), "\n]}\n");
}

// The equation listing of plain 7064 POFs in 84 and 100 pins, end to end:
// every macrocell of these packages has a pin, so macrocell m reads its
// output enable from output-enable record m ("00" never, "01" GCLK2, "10"
// OE1, "11" always).
struct OeRow {
  int mc;             // index, MC mc + 1
  const char* code;   // the two output-enable characters of record mc
  const char* named;  // as the listing names it
};

const OeRow kOeRows[] = {
    {0, "10", "OE1"}, {2, "00", "never"}, {17, "01", "GCLK2"}, {39, "10", "OE1"}, {63, "11", "always"},
};

TEST(SourceListing, EveryMacrocellOfThePlain7064In84And100PinsHasItsOwnOutputEnable) {
  for (const char* device : {"EPM7064LC84-15", "EPM7064QC100-15"}) {
    SCOPED_TRACE(device);
    ScratchDir dir;
    PofBuilder b(device);
    SourceImage& s = b.image();
    for (const OeRow& row : kOeRows) {
      s.logicArray.at(row.mc, 2, 72 + 5) = '0';  // PT 3 reads the expander of MC 6 of its LAB
      s.outputEnable.at(row.mc, 0) = row.code[0];
      s.outputEnable.at(row.mc, 1) = row.code[1];
    }
    b.WriteTo(dir.File("d.pof"));
    const RunResult r = RunBinary({"fusecvt", "--equations", dir.File("d.pof")});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const OeRow& row : kOeRows) {
      const std::string line =
          "\nMC " + std::to_string(row.mc + 1) + ": combinational, output enable " + row.named + "\n";
      EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
