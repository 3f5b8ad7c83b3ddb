// 7032AE, 3032A and plain 7032 POFs converted to the QPL6032ES(L), and the
// S-bit table of each source kind, by the whole program.

#include "Conversion6032.h"

namespace fusecvt::test {
namespace {

TEST(ConvertEachKind, SBitTablesOfTheFourKinds) {
  // MC 5 has the same macrocell bits in every kind (S9 = mc[0] = '0' routes
  // PT 1, S13 = mc[1] = '1' with S6 = mc[7] = '1' PT 2, S16 = mc[2] = '0'
  // PT 3) and an I/O record of the kind's own layout.
  struct Case {
    const char* device;
    SourceKind kind;
    const char* mc;
    const char* io;       // ioConfig, or the outputEnable code of the plain 7032
    const char* s;        // S0..S23 expected of MC 5
    std::vector<std::string> options;
    const char* target;   // target, package and pins of the conversion line
    const char* package;  // of the JEDEC header
    bool warning;         // the low-voltage warning
    std::string summary;
  };
  BlockSummary sSummary;
  BlockSummary aeSummary;
  aeSummary.powerReset = "ONCE";
  BlockSummary a3Summary = aeSummary;
  a3Summary.heading = "";
  Qpl6000Summary plainSummary;
  plainSummary.heading = "";
  plainSummary.pinKeeper = "";
  const Case cases[] = {
      // 7032S: S0 io0, S1 io1, S2 = io0 == io2 (OE2 011 -> 010), S4 io4,
      // S20 = BitNot(io5), S22 io3.
      {"EPM7032SLC44-10", SourceKind::Max7032S, "0101011110100", "011010",
       "010111100010110001101001", {}, "QPL6032ESPLCC44", "PLCC", true, sSummary.Text()},
      // 7032AE: S0 io6, S1 io5, S2 = io6 == io4 (OE6 110 -> 110), S4 io1,
      // S20 = BitNot(io2), S22 io0.
      {"EPM7032AETC44-10", SourceKind::Max7032AE, "01010111101001", "1010011",
       "110101100010110001100011", {}, "QPL6032ESLTQFP44", "TQFP", false, aeSummary.Text()},
      // 3032A: S0 io5, S1 io4, S2 = io5 == io3 (OE5 010 -> 011), S4 '1',
      // S20 = BitNot(io1), S22 io0.
      {"EPM3032ALC44-10", SourceKind::Max3032A, "01010111101001", "001010",
       "011111100010110001101001", {}, "QPL6032ESLPLCC44", "PLCC", false, a3Summary.Text()},
      // Plain 7032: output enable OE1 "10" -> 101, S4 = S7 = S19 = '1',
      // S8 = BitNot(mc11), S20 default, S22 '0' (slew FAST).
      {"EPM7032LC44-15", SourceKind::Max7032, "010101111010", "10", "101111111010110001110001",
       {"-device", "6032es"}, "6032esPLCC44", "PLCC", false, plainSummary.Text()},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.device);
    Design6032 d(k.device);
    d.Mc(4, k.mc);
    if (k.kind == SourceKind::Max7032) {
      d.Oe(4, k.io);
    } else {
      d.Io(4, k.io);
    }
    Converted c(d.pof);
    const RunResult& r = c.Run(k.options);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");

    Expected6032 e(k.kind);
    e.S(4, k.s);
    for (int t : {0, 1, 2}) e.Term(4, t, {});
    if (k.kind == SourceKind::Max7032) e.Goe(4, "01111");  // some macrocell selects OE1
    const ExpectedHeader h{k.package, 44, kTestTimeText, false, {}};
    const std::string expected = ExpectedJedecFile(e.img, h);
    const std::string jed = c.Jedec();
    EXPECT_SAME_TEXT(expected, jed);
    ExpectSoundJedec(c.jedPath, 16808);

    const std::string warning = k.warning ? LowVoltageWarning() : "";
    const std::string console = c.ConsoleHead(k.target) + warning + TimingLine() + kCompleted;
    EXPECT_SAME_TEXT(console, r.out);
    const std::string report = c.ReportHead(k.target) + warning + kCompleted + k.summary;
    EXPECT_SAME_TEXT(report, c.Report());
  }
}

TEST(Convert7032AE, FoldbackFixUpClockTermCleanUpAndNoParking) {
  Design6032 d("EPM7032AETC44-10");
  // MC 6: S6 = '1', S10 = mc[8] = '0', S11 = '1'; MC 3 PT 1 reads its
  // foldback term (expander column 72 + 5): S11 becomes '0', and PT 1 of MC 6
  // is no longer routed.
  d.Erase(5);
  d.src().mcConfig.at(5, 8) = '0';
  d.Connect(2, 0, 77);
  // MC 22 likewise in LAB B, but the term that reads its foldback also reads
  // foldbacks 0 and 1: no fix-up.
  d.Erase(21);
  d.src().mcConfig.at(21, 8) = '0';
  for (int col : {72, 73, 77}) d.Connect(18, 0, col);
  // MC 7: S5 = mc[5] = '0' with an empty PT 4: S12 becomes '0', PT 4 disabled.
  d.Erase(6);
  d.src().mcConfig.at(6, 5) = '0';
  // MC 10: the same, but its PT 4 reads P10 (row 4 pick 3, true: line 34,
  // fuse 68): no clean-up.
  d.Erase(9);
  d.src().mcConfig.at(9, 5) = '0';
  d.Pick(0, 4, 3);
  d.Connect(9, 3, 8);
  // Row 1 picks F20 and nothing reads it: the 7032AE routes it all the same.
  d.Pick(0, 1, 0);

  Converted c(d.pof);
  const RunResult& r = c.Run();
  EXPECT_EQ(r.status, 0);
  Expected6032 e(SourceKind::Max7032AE);
  e.S(2, "111111011111111011110011");
  e.Term(2, 0, {}, {5});
  e.S(5, "111111111100111011110011");
  e.Term(5, 1, {});
  e.S(21, "111111111101111011110011");
  e.Term(21, 0, {});
  e.Term(21, 1, {});
  e.S(18, "111111011111111011110011");
  e.Term(18, 0, {}, {0, 1, 5});
  e.S(6, "111110111111011011110011");
  e.Term(6, 1, {});
  e.S(9, "111110111111111011110011");
  e.Term(9, 1, {});
  e.Term(9, 3, {68});
  e.Uim(0, 34, "10111");  // P10 is choice 1 of line 34
  e.Uim(0, 31, "11110");  // F20 is choice 4 of line 31
  const ExpectedHeader h{"TQFP", 44, kTestTimeText, false, {}};
  const std::string expected = ExpectedJedecFile(e.img, h);
  const std::string jed = c.Jedec();
  EXPECT_SAME_TEXT(expected, jed);
  ExpectSoundJedec(c.jedPath, 16808);
  const char* target = "QPL6032ESLTQFP44";
  EXPECT_EQ(r.out, c.ConsoleHead(target) + TimingLine() + kCompleted);
  BlockSummary s;
  s.powerReset = "ONCE";
  const std::string report = c.ReportHead(target) + kCompleted + s.Text();
  EXPECT_SAME_TEXT(report, c.Report());
}

}  // namespace
}  // namespace fusecvt::test
