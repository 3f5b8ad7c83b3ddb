// The writer's cases that catch real faults: left-out and lone-fuse terms,
// the S0..S2 edit, security, vectors, the checksum, and failing outputs.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "JedecTestRun.h"
#include "jedec/JedecWriter.h"
#include "support/JedecReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

std::string Zeros(std::size_t n) { return std::string(n, '0'); }

// MC 7 (index 6) of the QPL6032 sits in slot 6, an even position: PT 5, 4, 3
// at +0, +96, +192, so its PT 3 starts at 6 * 480 + 192 = 3072.
constexpr long kMc7Pt3 = 3072;

TEST(JedecProductTerms, OneSetFuseWritesTheWholeTermAndAllZeroTermsAreLeftOut) {
  Qpl6032 img;
  TestRun r("PLCC", 44);
  const JedecReadResult before = ReadJedec(JedecText(img, r.run));
  ASSERT_TRUE(before.ok()) << before.ErrorText();

  SetTerm(img, 6, 2, '0');
  const std::string without = JedecText(img, r.run);
  const JedecReadResult gone = ReadJedec(without);
  EXPECT_TRUE(gone.ok()) << gone.ErrorText();
  EXPECT_EQ(without.find("L3072\r\n"), std::string::npos);
  EXPECT_EQ(without.find("PT 3 of MC 7(LAB A)"), std::string::npos);
  EXPECT_NE(without.find("PT 4 of MC 7(LAB A) *\r\nL3168\r\n"), std::string::npos);
  // The same sum as if its 96 zeros had been written: twelve words of 0xFF less.
  EXPECT_EQ(gone.fileChecksum, (before.fileChecksum + 65536u - 12u * 255u) % 65536u);
  EXPECT_FALSE(gone.written[kMc7Pt3]);

  TermFuse(img, 6, 2, 95) = '1';
  const std::string with = JedecText(img, r.run);
  EXPECT_NE(with.find("*\r\nL3072\r\n" + Zeros(16) + "\r\n" + Zeros(40) + "\r\n" + Zeros(39) +
                      "1*  NOTE PT 3 of MC 7(LAB A) *\r\nL3168\r\n"),
            std::string::npos);
  const JedecReadResult lone = ReadJedec(with);
  EXPECT_TRUE(lone.ok()) << lone.ErrorText();
  EXPECT_EQ(lone.fileChecksum, (gone.fileChecksum + 128u) % 65536u);  // fuse 95 = bit 7

  TermFuse(img, 6, 2, 95) = '0';
  TermFuse(img, 6, 2, 0) = '1';  // a foldback fuse alone
  EXPECT_NE(JedecText(img, r.run).find("L3072\r\n1" + Zeros(15) + "\r\n" + Zeros(40) + "\r\n"),
            std::string::npos);
}

TEST(JedecMacrocellConfig, ClearsS0ToS2OnlyWhenS21IsSet) {
  Qpl6032 img;
  std::memcpy(img.mcBits.row(2), "111111100000000100100000", 24);  // MC 3: S21 = '0'
  std::memcpy(img.mcBits.row(3), "110111100000000100100110", 24);  // MC 4: S2 = '0'
  TestRun r("PLCC", 44);
  const JedecReadResult read = ReadJedec(JedecText(img, r.run));
  ASSERT_TRUE(read.ok()) << read.ErrorText();
  EXPECT_EQ(std::string(img.mcBits.row(0), 24), "000111100000000100100110");
  EXPECT_EQ(std::string(img.mcBits.row(2), 24), "111111100000000100100000");
  EXPECT_EQ(std::string(img.mcBits.row(3), 24), "110111100000000100100110");
  // Group 6 of block A starts at 15760; its S0,S1 line at 15776 runs from
  // MC 16 down, so MC 3 is its 14th macrocell (i = 13, odd: S1 then S0) and
  // MC 4 its 13th (i = 12: S0 then S1, both kept as '1').
  EXPECT_EQ(read.fuses.substr(15776, 32), Zeros(24) + "11" + "11" + Zeros(4));
  // The S17,S2 line at 15808 runs from MC 1 up: MC 3 at i = 2 gives S17, S2.
  EXPECT_EQ(read.fuses.substr(15808, 32), Zeros(5) + "1" + Zeros(26));
}

TEST(JedecHeader, SecurityLineStandsBetweenTheHeaderAndQf) {
  for (unsigned security : {0u, 1u, 0x100u, 0xFFFFu}) {
    Qpl6064 img;
    TestRun r("PLCC", 84);
    r.run.sources.securityBit = static_cast<std::uint16_t>(security);
    const std::string f = JedecText(img, r.run);
    const std::string expected = security ? "2026\r\n\r\n*\r\nG1*\r\nQF34192* QP84 * F0*\r\n"
                                          : "2026\r\n\r\n*\r\nQF34192* QP84 * F0*\r\n";
    EXPECT_NE(f.find(expected), std::string::npos) << security;
    EXPECT_EQ(f.find("G1*") != std::string::npos, security != 0) << security;
    EXPECT_EQ(ReadJedec(f).securityFuse, security != 0);
  }
}

TEST(JedecHeader, DateHasAZeroPaddedDayAndTheDeviceLineNoBlankBeforeThePins) {
  std::tm t{};
  t.tm_year = 2027 - 1900;
  t.tm_mon = 0;
  t.tm_mday = 3;
  t.tm_hour = 7;
  t.tm_min = 5;
  t.tm_sec = 9;
  t.tm_wday = 0;
  Qpl6128 img;
  TestRun r("unknown", 160, t);
  const std::string f = JedecText(img, r.run);
  const std::string header =
      "\x02 1.0.0 \r\nJEDEC file for: QPL6128 unknown160\r\nCreated on: Sun Jan 03 07:05:09 2027"
      "\r\n\r\n*\r\nQF74136* QP160 * F0*\r\n";
  EXPECT_EQ(f.substr(0, header.size()), header);
}

TEST(JedecVectors, NumberedFromV0001AndWrittenWhole) {
  Qpl6032 img;
  TestRun r("PLCC", 44);
  std::vector<std::string>& v = r.run.sources.testVectors;
  for (int i = 1; i <= 12345; ++i) v.push_back("01X" + std::to_string(i));
  v[1] = "01\n10";                      // an LF inside a vector
  v[2] = std::string(5000, 'H') + "L";  // far longer than any line buffer
  const std::string f = JedecText(img, r.run);
  EXPECT_NE(f.find("*\r\nQV12345* X0*\r\nV0001 01X1*\r\nV0002 01\r\n10*\r\nV0003 " +
                   std::string(5000, 'H') + "L*\r\nV0004 01X4*\r\n"),
            std::string::npos);
  EXPECT_NE(f.find("\r\nV0999 01X999*\r\nV1000 01X1000*\r\n"), std::string::npos);
  EXPECT_NE(f.find("\r\nV9999 01X9999*\r\nV10000 01X10000*\r\n"), std::string::npos);
  const std::string end = "\r\nV12345 01X12345*\r\n\x03" "0000\r\n";
  EXPECT_EQ(f.substr(f.size() - end.size()), end);

  const JedecReadResult read = ReadJedec(f);
  EXPECT_TRUE(read.ok()) << read.ErrorText();
  EXPECT_EQ(read.vectorCount, 12345);
  ASSERT_EQ(read.vectors.size(), 12345u);
  EXPECT_EQ(read.vectors[1].text, "01\r\n10");
  EXPECT_EQ(read.vectors[998].numberText, "0999");
  EXPECT_EQ(read.vectors[12344].numberText, "12345");
}

TEST(JedecChecksum, WrapsModulo65536AndKeepsLeadingZeros) {
  // Leave every product term out, then add whole terms (twelve 0xFF words,
  // 3060 each) and one partial term until the sum is 0x100A7: past 65535,
  // and written as C00A7.
  Qpl6032 img;
  img.ptInputFuses.fill('0');
  img.ptFoldbackFuses.fill('0');
  TestRun r("PLCC", 44);
  const JedecReadResult base = ReadJedec(JedecText(img, r.run));
  ASSERT_TRUE(base.ok()) << base.ErrorText();
  // 1448 fuses outside the product terms: their sum cannot have wrapped.
  const long rest = base.computedChecksum;
  long missing = 0x100A7 - rest;
  ASSERT_GT(missing, 0);
  int term = 0;
  for (; missing >= 3060; missing -= 3060, ++term) SetTerm(img, term / 5, term % 5, '1');
  for (int word = 0; missing > 0; ++word) {
    const long value = missing >= 255 ? 255 : missing;
    for (int bit = 0; bit < 8; ++bit) {
      TermFuse(img, term / 5, term % 5, word * 8 + bit) = ((value >> bit) & 1) ? '1' : '0';
    }
    missing -= value;
  }
  const std::string f = JedecText(img, r.run);
  EXPECT_NE(f.find("\r\n\r\nC00A7*\r\n\x03"), std::string::npos);
  const JedecReadResult read = ReadJedec(f);
  EXPECT_TRUE(read.ok()) << read.ErrorText();
}

TEST(JedecOutput, MissingDirectoryReportsAndWritesNothing) {
  ScratchDir dir;
  Qpl6032 img;
  TestRun r("PLCC", 44);
  r.run.options.outputFileName = dir.File("missing/out.jed");
  EXPECT_EQ(img.WriteJedec(r.run), kJedecOpenFailed);
  EXPECT_EQ(r.error.str(), "Cannot write output_file " + dir.File("missing/out.jed") + "\n");
  EXPECT_EQ(r.console.str(), "");
  EXPECT_FALSE(FileExists(dir.File("missing")));
  // Nothing was changed in the image either.
  EXPECT_EQ(std::string(img.mcBits.row(0), 24), "111111100000000100100110");
}

TEST(JedecOutput, FailedWriteToADeviceReportsAndKeepsTheDevice) {
  struct stat st {};
  if (::stat("/dev/full", &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "no /dev/full";
  Qpl6128 img;
  TestRun r("PQFP", 160);
  r.run.options.outputFileName = "/dev/full";
  EXPECT_EQ(img.WriteJedec(r.run), kJedecWriteFailed);
  EXPECT_EQ(r.console.str(), "Jedec write problem: out of space \n");
  EXPECT_EQ(r.error.str(), "");
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(JedecOutput, FailedWriteToARegularFileDeletesIt) {
  // A file size limit makes the writes fail part way; run it in a child so the
  // limit stays there. Exit code: 10 + result, +100 when the file remains.
  ScratchDir dir;
  const std::string path = dir.File("out.jed");
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Qpl6064 img;
    TestRun r("PLCC", 84);
    r.run.options.outputFileName = path;
    const int result = img.WriteJedec(r.run);
    const bool message = r.console.str() == "Jedec write problem: out of space \n";
    ::_exit(10 + result + (FileExists(path) ? 100 : 0) + (message ? 0 : 50));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 10 + kJedecWriteFailed);
  EXPECT_FALSE(FileExists(path));
}

TEST(JedecOutput, FilesOfTheSmallerTargetsPassJedutil) {
  FUSECVT_SKIP_WITHOUT_JEDUTIL();
  ScratchDir dir;
  int n = 0;
  for (BlockTargetKind kind : {BlockTargetKind::Qpl6032, BlockTargetKind::Qpl6064}) {
    for (int pattern = 0; pattern < 3; ++pattern) {
      auto img = MakeImage(kind);
      if (pattern > 0) FillPattern(*img, static_cast<unsigned>(10 + pattern));
      TestRun r("PLCC", kind == BlockTargetKind::Qpl6032 ? 44 : 84);
      r.run.options.outputFileName = dir.File("t" + std::to_string(n++) + ".jed");
      r.run.sources.securityBit = static_cast<std::uint16_t>(pattern == 1);
      if (pattern == 2) r.run.sources.testVectors = {"0011XXHL", "1\n0", "01"};
      ASSERT_EQ(img->WriteJedec(r.run), kJedecWritten);
      EXPECT_TRUE(JedutilAccepts(r.run.options.outputFileName));
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
