// Whole files of the three block-structured targets against the fuse map,
// and the lines that characterise each target.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/ExpectedJedec.h"
#include "JedecTestRun.h"
#include "jedec/JedecWriter.h"
#include "support/JedecReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct Target {
  BlockTargetKind kind;
  const char* package;
  int pins;
};

std::string Ones(std::size_t n) { return std::string(n, '1'); }
std::string Zeros(std::size_t n) { return std::string(n, '0'); }
std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

// A product-term record whose 96 fuses are all '1'.
std::string FullTerm(long address, int pt, int mc, char lab) {
  return "L" + std::to_string(address) + "\r\n" + Ones(16) + "\r\n" + Ones(40) + "\r\n" + Ones(40) +
         "*  NOTE PT " + std::to_string(pt) + " of MC " + std::to_string(mc) + "(LAB " + lab +
         ") *\r\n";
}

void PrintTo(const Target& t, std::ostream* os) { *os << GeometryOf(t.kind).deviceWord; }

class BlockTargetFile : public ::testing::TestWithParam<Target> {};

TEST_P(BlockTargetFile, FreshAndPatternedImagesFollowTheFuseMapByteForByte) {
  for (int pattern = 0; pattern < 3; ++pattern) {
    SCOPED_TRACE(pattern);
    auto img = MakeImage(GetParam().kind);
    ExpectedHeader h;
    h.packageName = GetParam().package;
    h.pinCount = GetParam().pins;
    if (pattern > 0) {
      FillPattern(*img, static_cast<unsigned>(pattern));
      h.secure = pattern == 1;
      h.vectors = {"0101XX10", "1"};
    }
    const std::string expectedFuses = ExpectedFuseMap(*img);
    const std::string expected = ExpectedJedecFile(*img, h);
    TestRun r(h.packageName, h.pinCount);
    r.run.sources.securityBit = h.secure ? 1 : 0;
    r.run.sources.testVectors = h.vectors;
    const std::string actual = JedecText(*img, r.run);
    EXPECT_EQ(FirstDifference(expected, actual), "");

    const JedecReadResult read = ReadJedec(actual);
    EXPECT_TRUE(read.ok()) << read.ErrorText();
    EXPECT_TRUE(read.hasChecksum);
    EXPECT_EQ(read.fileChecksum, read.computedChecksum);
    EXPECT_EQ(read.fuses, expectedFuses);
    EXPECT_EQ(read.fuseCount, SectionStartsOf(GetParam().kind).total);
    EXPECT_EQ(read.pinCount, h.pinCount);
    EXPECT_EQ(read.defaultFuse, 0);
    EXPECT_EQ(read.securityFuse, h.secure);
    ASSERT_EQ(read.vectors.size(), h.vectors.size());
    EXPECT_EQ(read.transmissionChecksum, "0000");
    EXPECT_EQ(r.console.str() + r.error.str(), "");
  }
}

TEST_P(BlockTargetFile, WritingTwiceGivesTheSameBytes) {
  // The checksum state must not carry over from one write into the next.
  auto img = MakeImage(GetParam().kind);
  FillPattern(*img, 7);
  TestRun r(GetParam().package, GetParam().pins);
  const std::string first = JedecText(*img, r.run);
  EXPECT_EQ(FirstDifference(first, JedecText(*img, r.run)), "");
}

TEST_P(BlockTargetFile, FrameAndFieldCharactersInVectorsBecomeBlanks) {
  // A '*' would end the V field early, STX/ETX would frame a second file and
  // a CR would be a line end without LF: the fuses and the checksum must
  // still read back whole.
  auto img = MakeImage(GetParam().kind);
  FillPattern(*img, 5);
  TestRun r(GetParam().package, GetParam().pins);
  r.run.sources.testVectors = {"01*X", "\x02" "10\x03" "\rH"};
  const JedecReadResult read = ReadJedec(JedecText(*img, r.run));
  ASSERT_TRUE(read.ok()) << read.ErrorText();
  EXPECT_EQ(read.fuses, ExpectedFuseMap(*img));
  EXPECT_EQ(read.fileChecksum, read.computedChecksum);
  ASSERT_EQ(read.vectors.size(), 2u);
  EXPECT_EQ(read.vectors[0].text, "01 X");
  EXPECT_EQ(read.vectors[1].text, " 10  H");
  EXPECT_EQ(read.transmissionChecksum, "0000");
}

TEST_P(BlockTargetFile, TheFileOnDiskHoldsTheSameBytes) {
  auto img = MakeImage(GetParam().kind);
  auto twin = MakeImage(GetParam().kind);
  FillPattern(*img, 3);
  FillPattern(*twin, 3);
  ScratchDir dir;
  TestRun r(GetParam().package, GetParam().pins);
  r.run.options.outputFileName = dir.File("out.jed");
  // An older, longer file of that name is replaced, not overwritten in part.
  WriteFile(r.run.options.outputFileName, std::string(400000, 'x'));
  r.run.sources.testVectors = {"01", "10"};
  ASSERT_EQ(img->WriteJedec(r.run), kJedecWritten);
  EXPECT_EQ(FirstDifference(JedecText(*twin, r.run), ReadFile(r.run.options.outputFileName)), "");
  EXPECT_EQ(r.console.str() + r.error.str(), "");
}

INSTANTIATE_TEST_SUITE_P(AllTargets, BlockTargetFile,
                         ::testing::Values(Target{BlockTargetKind::Qpl6032, "PLCC", 44},
                                           Target{BlockTargetKind::Qpl6064, "TQFP", 100},
                                           Target{BlockTargetKind::Qpl6128, "PQFP", 160}),
                         [](const ::testing::TestParamInfo<Target>& p) {
                           return std::string(GeometryOf(p.param.kind).deviceWord);
                         });

// Lines of the fresh QPL6032 file, each worked out from the fuse map and the
// constructor defaults.
TEST(Qpl6032File, FreshImageLines) {
  Qpl6032 img;
  TestRun r("PLCC", 44);
  const std::string f = JedecText(img, r.run);
  const std::string header =
      "\x02 1.0.0 \r\nJEDEC file for: QPL6032 PLCC44\r\nCreated on: Sat Dec 05 16:42:08 2026\r\n"
      "\r\n*\r\nQF16808* QP44 * F0*\r\nNOTE \r\n"
      "0         0         0         0         0         *\r\n";
  EXPECT_EQ(f.substr(0, header.size()), header);
  // Odd-numbered macrocells hold PT 5 first, even-numbered ones PT 1 first.
  const std::string firstTerms = FullTerm(0, 5, 1, 'A') + FullTerm(96, 4, 1, 'A');
  EXPECT_EQ(f.substr(header.size(), firstTerms.size()), firstTerms);
  EXPECT_NE(f.find(FullTerm(384, 1, 1, 'A') + FullTerm(480, 1, 2, 'A')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(7680, 5, 17, 'B')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(15264, 5, 32, 'B') +
                   "\r\nNOTE macrocell configurations\r\n        0         0         0         0 *"
                   "\r\nL15360 1111111111111111*\r\n"
                   "L15376 " + Zeros(32) + "*  NOTE S16,S12 of block A * \r\n"
                   "L15408 " + Zeros(32) + "*  NOTE S14,S11 of block A * \r\n"
                   "L15440 1111111111111111*\r\n"
                   "L15456 " + Repeat("0110", 8) + "*  NOTE S9 ,S6  of block A * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L15568 " + Repeat("0110", 8) + "*  NOTE S8 ,S21 of block A * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L15808 " + Zeros(32) + "*  NOTE S17 ,S2 of block A * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L16288 " + Zeros(32) + "*  NOTE S17 ,S2 of block B * \r\n"
                   "\r\nNOTE   UIM for block A and B*\r\nNOTE         0         0         0*\r\n"
                   "L16320 11111*  NOTE Mux-39 of block A*\r\n"
                   "L16325 11111*  NOTE Mux-39 of block B*\r\n"
                   "L16330 11111*  NOTE Mux-38 of block A*\r\n"
                   "L16335 11111*  NOTE Mux-38 of block B*\r\n"
                   "L16340 11111*  NOTE Mux-37 of block A*\r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L16715 11111*  NOTE Mux-0 of block B*\r\n"
                   "\r\nNOTE  6 global OE \r\n0         0         0*\r\n"
                   "L16720 11110*  NOTE GOE5*\r\nL16725 11101*  NOTE GOE4*\r\n"
                   "L16730 11110*  NOTE GOE3*\r\nL16735 11110*  NOTE GOE2*\r\n"
                   "L16740 11101*  NOTE GOE1*\r\nL16745 11110*  NOTE GOE0*\r\n*\r\n"
                   "\r\nNOTE  device configuration bits*\r\nNOTE    0         0         0         0*\r\n"
                   "L16750 01110000000011111011000111111111*\r\n"
                   "\r\nNOTE  Special Purpose Bits (JTAG) *\r\nL16782 1011*\r\n"
                   "\r\nNOTE  UES bits*\r\nL16786 1111111111111111*\r\n"
                   "\r\nNOTE  Reserved bits *\r\nL16802 000000*\r\n\r\nC"),
            std::string::npos);
  // No vectors: ETX right after the checksum line.
  const JedecReadResult read = ReadJedec(f);
  char tail[32];
  std::snprintf(tail, sizeof tail, "\r\nC%04X*\r\n\x03" "0000\r\n", read.computedChecksum);
  ASSERT_GE(f.size(), std::strlen(tail));
  EXPECT_EQ(f.substr(f.size() - std::strlen(tail)), tail);
  EXPECT_TRUE(read.ok()) << read.ErrorText();
  EXPECT_EQ(read.fuseLists.size(), 160u + 36u + 80u + 6u + 4u);
  EXPECT_EQ(read.vectorCount, -1);
}

TEST(Qpl6064File, FreshImageLines) {
  Qpl6064 img;
  TestRun r("PLCC", 84);
  const std::string f = JedecText(img, r.run);
  EXPECT_NE(f.find("\r\nJEDEC file for: QPL6064 PLCC84\r\n"), std::string::npos);
  EXPECT_NE(f.find("\r\n*\r\nQF34192* QP84 * F0*\r\nNOTE \r\n"), std::string::npos);
  // Block A from MC 16 down, then B, D, C; MC 33 closes the area.
  EXPECT_NE(f.find("*\r\n" + FullTerm(0, 5, 16, 'A') + FullTerm(96, 4, 16, 'A')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(480, 1, 15, 'A')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(7680, 5, 32, 'B')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(15360, 5, 64, 'D')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(23040, 5, 48, 'C')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(30240, 1, 33, 'C')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(30624, 5, 33, 'C') + "\r\nNOTE macrocell configurations\r\n"),
            std::string::npos);
  // Halves A, B from 30720 and D, C from 31680, groups interleaved by block.
  EXPECT_NE(f.find("L30720 1111111111111111*\r\nL30736 " + Zeros(32) +
                   "*  NOTE S16,S12 of block A * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L30816 " + Zeros(32) + "*  NOTE S16,S12 of block B * \r\n"), std::string::npos);
  EXPECT_NE(f.find("L31568 " + Zeros(32) + "*  NOTE S17 ,S2 of block A * \r\n"), std::string::npos);
  EXPECT_NE(f.find("L31696 " + Zeros(32) + "*  NOTE S16,S12 of block D * \r\n"), std::string::npos);
  EXPECT_NE(f.find("L32176 " + Zeros(32) + "*  NOTE S7,S19  of block D * \r\n"
                   "L32208 " + Ones(32) + "*  NOTE S22 ,S5 of block D * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L32256 " + Zeros(32) + "*  NOTE S7,S19  of block C * \r\n"), std::string::npos);
  EXPECT_NE(f.find("L32336 " + Repeat("0110", 8) + "*  NOTE S23 ,S4 of block D * \r\n"
                   "L32368 " + Ones(32) + "*  NOTE S3,S15  of block D * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L32608 " + Zeros(32) + "*  NOTE S17,S2  of block C * \r\n"
                   "\r\nNOTE   UIM for block A and D*\r\nNOTE         0         0         0*\r\n"
                   "L32640 111111111*  NOTE Mux-0 of block A*\r\n"
                   "L32649 111111111*  NOTE Mux-1 of block D*\r\n"
                   "L32658 111111111*  NOTE Mux-0 of block D*\r\n"
                   "L32667 111111111*  NOTE Mux-1 of block A*\r\n"
                   "L32676 111111111*  NOTE Mux-2 of block A*\r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L33351 111111111*  NOTE Mux-39 of block A*\r\n"
                   "\r\nNOTE   UIM for block B and C*\r\nNOTE         0         0         0*\r\n"
                   "L33360 111111111*  NOTE Mux-0 of block B*\r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L34071 111111111*  NOTE Mux-39 of block B*\r\n"
                   "\r\nNOTE  6 global OE \r\n0         0         0*\r\n"
                   "L34080 011111111*  NOTE GOE0*\r\nL34089 111111011*  NOTE GOE1*\r\n"
                   "L34098 111111011*  NOTE GOE2*\r\nL34107 111111110*  NOTE GOE3*\r\n"
                   "L34116 111111110*  NOTE GOE4*\r\nL34125 111111110*  NOTE GOE5*\r\n*\r\n"
                   "\r\nNOTE  device configuration bits*\r\nNOTE    0         0         0         0*\r\n"
                   "L34134 01110000000011111011000111111111*\r\n"
                   "\r\nNOTE  Special Purpose Bits (JTAG) *\r\nL34166 1011*\r\n"
                   "\r\nNOTE  UES bits*\r\nL34170 1111111111111111*\r\n"
                   "\r\nNOTE  Reserved bits *\r\nL34186 000000*\r\n\r\nC"),
            std::string::npos);
}

TEST(Qpl6128File, FreshImageLines) {
  Qpl6128 img;
  TestRun r("TQFP", 100);
  const std::string f = JedecText(img, r.run);
  EXPECT_NE(f.find("\r\nJEDEC file for: QPL6128 TQFP100\r\n"), std::string::npos);
  EXPECT_NE(f.find("\r\n*\r\nQF74136* QP100 * F0*\r\n"), std::string::npos);
  // Blocks A, B, C, D, then H, G, F, E, each from its highest MC down.
  EXPECT_NE(f.find(FullTerm(0, 5, 16, 'A')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(23040, 5, 64, 'D')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(30720, 5, 128, 'H')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(53760, 5, 80, 'E')), std::string::npos);
  EXPECT_NE(f.find(FullTerm(61344, 5, 65, 'E') + "\r\nNOTE macrocell configurations\r\n"),
            std::string::npos);
  // Default S bits 111111100000000000110110, S0..S2 cleared; regular labels.
  EXPECT_NE(f.find("L61440 1111111111111111*\r\nL61456 " + Zeros(32) +
                   "*  NOTE S16,S12 of block A * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L61696 " + Zeros(32) + "*  NOTE S16,S12 of block D * \r\n"), std::string::npos);
  EXPECT_NE(f.find("L63376 " + Zeros(32) + "*  NOTE S16,S12 of block H * \r\n"), std::string::npos);
  EXPECT_NE(f.find("L64336 " + Repeat("0110", 8) + "*  NOTE S7 ,S19 of block H * \r\n"
                   "L64368 " + Ones(32) + "*  NOTE S22,S5  of block H * \r\n"),
            std::string::npos);
  EXPECT_NE(f.find("L65248 " + Zeros(32) + "*  NOTE S17,S2  of block E * \r\n"
                   "\r\nNOTE   UIM for block A and H*\r\nNOTE         0         0         0*\r\n"
                   "L65280 " + Ones(27) + "*  NOTE Mux-0 of block A*\r\n"
                   "L65307 " + Ones(27) + "*  NOTE Mux-1 of block H*\r\n"
                   "L65334 " + Ones(27) + "*  NOTE Mux-0 of block H*\r\n"
                   "L65361 " + Ones(27) + "*  NOTE Mux-1 of block A*\r\n"),
            std::string::npos);
  EXPECT_NE(f.find("\r\nNOTE   UIM for block B and G*\r\nNOTE         0         0         0*\r\n"
                   "L67440 " + Ones(27) + "*  NOTE Mux-0 of block B*\r\n"),
            std::string::npos);
  EXPECT_NE(f.find("\r\nNOTE   UIM for block C and F*\r\nNOTE         0         0         0*\r\n"
                   "L69600 "),
            std::string::npos);
  EXPECT_NE(f.find("\r\nNOTE   UIM for block D and E*\r\nNOTE         0         0         0*\r\n"
                   "L71760 "),
            std::string::npos);
  // The one L field spread over six lines of equal length.
  EXPECT_NE(f.find("L73893 " + Ones(27) + "*  NOTE Mux-39 of block D*\r\n"
                   "\r\nNOTE  6 global OE \r\n0         0         0*\r\nL73920\r\n"
                   "111110111111111111111111111\r\n"
                   "110111111111111111111111111\r\n"
                   "101111111111111111111111111\r\n"
                   "111111111111111110111111111\r\n"
                   "110111111111111111111111111\r\n"
                   "111011111111111111111111111\r\n"
                   "*\r\n"
                   "\r\nNOTE  device configuration bits*\r\nNOTE    0         0         0         0*\r\n"
                   "L74082 01110000000011111111111111111111*\r\n"
                   "\r\nNOTE  Special Purpose Bits (JTAG) *\r\nL74114 1011*\r\n"
                   "\r\nNOTE  UES bits*\r\nL74118 1111111111111111*\r\n"
                   "\r\nNOTE  Reserved bits *\r\nL74134 00*\r\n\r\nC"),
            std::string::npos);
  const JedecReadResult read = ReadJedec(f);
  EXPECT_TRUE(read.ok()) << read.ErrorText();
}

TEST(Qpl6128File, EachGlobalOeFuseLandsOnItsPatternColumn) {
  // goeMux[g][i] alone '0': the pattern's 'b' columns take index 13 down to 0.
  const char* const patterns[6] = {
      "bb11bbbbbbbbbbb11111111111b", "bbbbbbbbbb1bbbb111111111111",
      "1bb111b11111111bbbbbbbbbbb1", "1bb111b11111111bbbbbbbbbbb1",
      "bbbbbbbbbbbbbb1111111111111", "11bb11111111111bbbbbbbbbbbb",
  };
  for (int g = 0; g < 6; ++g) {
    for (int i = 0; i < 14; ++i) {
      Qpl6128 img;
      img.goeMux.fill('1');
      img.goeMux.at(g, i) = '0';
      TestRun r("TQFP", 100);
      const JedecReadResult read = ReadJedec(JedecText(img, r.run));
      const std::string goe = read.fuses.substr(73920, 162);
      int b = -1, col = 0;
      for (; col < 27; ++col) {
        if (patterns[g][col] == 'b' && 13 - ++b == i) break;
      }
      std::string line(27, '1');
      line[static_cast<std::size_t>(col)] = '0';
      EXPECT_EQ(goe, Ones(27 * static_cast<std::size_t>(g)) + line + Ones(27 * (5 - static_cast<std::size_t>(g))))
          << "GOE" << g << " fuse " << i;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
