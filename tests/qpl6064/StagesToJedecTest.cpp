// The six QPL6064 stages followed by the JEDEC writer: the translated design
// must show at the fuse addresses of the QPL6064 map, the file must parse with
// the test reader, and jedutil must accept it (34,192 fuses).

#include <gtest/gtest.h>

#include "Stage6064.h"
#include "support/JedecReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// First fuse of PT k of macrocell m: 480-fuse slots for blocks A, B, D, C,
// each from its highest macrocell down; a slot at an even position of its
// block holds PT 5..PT 1, one at an odd position PT 1..PT 5.
long TermAddress(int m, int k) {
  const int order[4] = {0, 1, 3, 2};
  const int pos = 15 - m % 16;
  const long slot = order[m / 16] * 16 + pos;
  return 480 * slot + 96 * (pos % 2 == 0 ? 4 - k : k);
}
// The nine fuses of UIM line u of block b as the file shows them (fuse 8
// first): blocks A and D from 32640, B and C from 33360; for n = 0, 2, ...:
// (X, n), (Y, n+1), (Y, n), (X, n+1).
long UimAddress(int b, int u) {
  const bool firstPair = b == 0 || b == 3;
  const bool x = b == 0 || b == 1;
  const int n = u & ~1;
  const int idx = u == n ? (x ? 0 : 2) : (x ? 3 : 1);
  return (firstPair ? 32640 : 33360) + 9L * (4 * (n / 2) + idx);
}
long GoeAddress(int g) { return 34080 + 9L * g; }
long ConfigAddress(int i) { return 34134 + (31 - i); }
// S21 of macrocell m: group 3's second pair line (S8, S21), blocks A, B from
// 30720 and D, C from 31680, macrocells from the block's highest down.
long S21Address(int m) {
  const int b = m / 16;
  const long half = b < 2 ? 30720 : 31680;
  const int q = b == 0 || b == 3 ? 0 : 1;
  const int i = 15 - m % 16;
  return half + 2 * 160 + 80L * q + 48 + 2 * i + (i % 2 == 0 ? 1 : 0);
}

std::string At(const JedecReadResult& r, long address, std::size_t n) {
  return r.fuses.substr(static_cast<std::size_t>(address), n);
}

TEST(Qpl6064StagesToJedec, TranslatedDesignLandsOnTheFuseMap) {
  ScratchDir dir;
  Stage6064 s(SourceKind::Max7064S);
  s.run.options.outputFileName = dir.File("design.jed");
  s.run.options.jtag = OFF;
  s.run.options.pd2 = 1;
  s.IdleAll();
  s.LegalClocks();
  s.Pick(0, 0, 0);       // row 0 -> line 0: F40 (fuse 3)
  s.Connect(0, 0, 0);    // MC 1 PT 1 reads it, true
  s.Pick(0, 18, 3);      // row 18 -> line 1: P1, read by nothing: parked on fuse 8
  s.Pick(3, 33, 3);      // block D row 33 -> line 33: -5 (fuse 0)
  s.Connect(60, 2, 67);  // MC 61 PT 3 reads GCLK1 complemented
  s.SetRow(s.src->oePia, 2, "111101111");  // OE PIA row 2 pick 4: GOE 1 selects -2
  const char* ues = "0011010100001111";
  for (int i = 0; i < 16; ++i) s.src->ues.at(i) = ues[i];
  s.Run();
  ASSERT_EQ(s.target.WriteJedec(s.run), kJedecWritten) << s.error.str();

  const JedecReadResult r = ReadJedecFile(dir.File("design.jed"));
  ASSERT_TRUE(r.ok()) << r.ErrorText();
  ASSERT_EQ(r.fuseCount, 34192);
  EXPECT_EQ(r.computedChecksum, r.fileChecksum);

  // MC 1 sits at position 15 of block A's slots (odd: PT 1 first) at 7200.
  ASSERT_EQ(TermAddress(0, 0), 7200);
  EXPECT_EQ(At(r, 7200, 96), OnesWithZeros(96, {16}));
  for (int k = 1; k < 5; ++k) {
    EXPECT_FALSE(r.written[static_cast<std::size_t>(TermAddress(0, k))]) << "PT " << k + 1;
  }
  // MC 61 (block D, position 3, odd) PT 3: line 33 complement is fuse 67.
  EXPECT_EQ(At(r, TermAddress(60, 2), 96), OnesWithZeros(96, {16 + 67}));
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(S21Address(0))], '0');
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(S21Address(60))], '0');
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(S21Address(1))], '1') << "MC 2 uses nothing";

  EXPECT_EQ(At(r, UimAddress(0, 0), 9), "111110111");  // fuse 3
  EXPECT_EQ(At(r, UimAddress(0, 1), 9), "011111111");  // fuse 8
  EXPECT_EQ(At(r, UimAddress(3, 33), 9), "111111110");  // fuse 0
  for (int b = 0; b < 4; ++b) {
    for (int u : {18, 19, 38, 39}) EXPECT_EQ(At(r, UimAddress(b, u), 9), "111111101") << b << u;
  }
  EXPECT_EQ(At(r, GoeAddress(1), 9), "111111110") << "GOE 1 fuse 0";
  EXPECT_EQ(At(r, GoeAddress(0), 9), "011111111") << "default: fuse 8";
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(ConfigAddress(28))], '0') << "PD2 on";
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(ConfigAddress(29))], '1');
  EXPECT_EQ(At(r, ConfigAddress(20), 6), "011010") << "configBits 20 down to 15, code 1";
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(ConfigAddress(11))], '0') << "GCLK1 read: ITD on";
  EXPECT_EQ(At(r, 34166, 4), "1011") << "jtag off";
  EXPECT_EQ(At(r, 34170, 16), ues);
  EXPECT_EQ(At(r, 34186, 6), "000000");

  FUSECVT_SKIP_WITHOUT_JEDUTIL();
  EXPECT_TRUE(JedutilAccepts(dir.File("design.jed")));
}

TEST(Qpl6064StagesToJedec, EveryKindWritesAFileJedutilReads) {
  for (SourceKind kind : kAll6064Kinds) {
    ScratchDir dir;
    Stage6064 s(kind);
    s.run.options.outputFileName = dir.File("k.jed");
    s.LegalClocks();
    s.Pick(1, 5, 1);
    s.Connect(20, 1, 10);
    s.Connect(20, 1, 80);
    s.Run();
    ASSERT_EQ(s.target.WriteJedec(s.run), kJedecWritten) << SourceKindName(kind);
    const JedecReadResult r = ReadJedecFile(dir.File("k.jed"));
    ASSERT_TRUE(r.ok()) << SourceKindName(kind) << r.ErrorText();
    EXPECT_EQ(r.fuseCount, 34192);
    // Row 5 pick 1 is F40 on line 10, fuse 3.
    EXPECT_EQ(At(r, UimAddress(1, 10), 9), "111110111") << SourceKindName(kind);
    if (!JedutilAvailable() && !JedutilRequired()) continue;
    EXPECT_TRUE(JedutilAccepts(dir.File("k.jed"))) << SourceKindName(kind);
  }
}

}  // namespace
}  // namespace fusecvt::test
