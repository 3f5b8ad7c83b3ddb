// The six QPL6032 stages followed by the JEDEC writer: the translated design
// must show at the fuse addresses of the QPL6032 map, the file must parse with
// the test reader, and jedutil must accept it.

#include <gtest/gtest.h>

#include "support/JedecReader.h"
#include "StageFixture.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// Address of configBits[i]: written from index 31 down to 0 from 16750.
long ConfigAddress(int i) { return 16750 + (31 - i); }
// Address of fuse f of GOE g: GOE5 first from 16720, each from fuse 4 down to 0.
long GoeAddress(int g, int f) { return 16720 + 5 * (5 - g) + (4 - f); }
// Address of fuse f of UIM line u of block b: for n = 39, 37, ..., 1 the lines
// (A, n), (B, n), (A, n-1), (B, n-1), five fuses each, from 16320.
long UimAddress(int b, int u, int f) {
  const int n = u | 1;
  const int slot = 4 * ((39 - n) / 2) + (u == n ? 0 : 2) + b;
  return 16320 + 5L * slot + f;
}

TEST(Qpl6032StagesToJedec, TranslatedDesignLandsOnTheFuseMap) {
  ScratchDir dir;
  Stage6032 s(SourceKind::Max7032S);
  s.run.options.outputFileName = dir.File("design.jed");
  s.run.options.jtag = OFF;
  s.run.options.pd2 = 1;
  s.IdleAll();
  s.SetChars(s.src->globalClocks, "001");
  s.Pick(0, 0, 0);      // row 0 -> line 30: F4 (choice 1)
  s.Connect(0, 0, 0);   // MC 1, PT 1 reads it, true
  s.Pick(0, 1, 0);      // row 1 -> line 31: F20, read by nothing: parked on choice 3
  s.SetField(s.src->oePia, 0, "10111");  // OE PIA row 0 pick 1: GOE 4 selects -1
  const char* ues = "0011010100001111";
  for (int i = 0; i < 16; ++i) s.src->ues.at(i) = ues[i];
  s.Run();
  ASSERT_EQ(s.target.WriteJedec(s.run), kJedecWritten) << s.error.str();

  const JedecReadResult r = ReadJedecFile(dir.File("design.jed"));
  ASSERT_TRUE(r.ok()) << r.ErrorText();
  ASSERT_EQ(r.fuseCount, 16808);
  EXPECT_EQ(r.computedChecksum, r.fileChecksum);

  // MC 1 holds PT 5..PT 1 from address 0; PT 1 at 384: 16 foldback fuses, then
  // the 80 inputs, of which fuse 60 (line 30, true) is connected.
  std::string pt1 = std::string(96, '1');
  pt1[16 + 60] = '0';
  EXPECT_EQ(r.fuses.substr(384, 96), pt1);
  for (long a = 0; a < 384; ++a) ASSERT_FALSE(r.written[static_cast<std::size_t>(a)]) << a;

  // S21 of MC 1 (in use) is the second fuse of group 3's second pair line of
  // block A (S8, S21 for the block's lowest macrocell first) at 15568.
  EXPECT_EQ(r.fuses[15569], '0');
  EXPECT_EQ(r.fuses[15568], s.Bits(0)[8]);

  EXPECT_EQ(r.fuses.substr(static_cast<std::size_t>(UimAddress(0, 30, 0)), 5), "10111");
  EXPECT_EQ(r.fuses.substr(static_cast<std::size_t>(UimAddress(0, 31, 0)), 5), "11101");
  for (int b = 0; b < 2; ++b) {
    for (int u : {9, 19, 29, 39}) {
      EXPECT_EQ(r.fuses.substr(static_cast<std::size_t>(UimAddress(b, u, 0)), 5), "10111")
          << b << " " << u;
    }
  }
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(GoeAddress(4, 0))], '0');
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(GoeAddress(4, 1))], '1');
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(GoeAddress(1, 1))], '0') << "default kept";
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(ConfigAddress(28))], '0') << "PD2 on";
  EXPECT_EQ(r.fuses[static_cast<std::size_t>(ConfigAddress(29))], '1');
  EXPECT_EQ(r.fuses.substr(static_cast<std::size_t>(ConfigAddress(20)), 6), "011010")
      << "configBits 20 down to 15 for clock code 1";
  EXPECT_EQ(r.fuses.substr(16782, 4), "1011") << "jtag off";
  EXPECT_EQ(r.fuses.substr(16786, 16), ues);

  FUSECVT_SKIP_WITHOUT_JEDUTIL();
  EXPECT_TRUE(JedutilAccepts(dir.File("design.jed")));
}

}  // namespace
}  // namespace fusecvt::test
