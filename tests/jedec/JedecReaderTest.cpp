// The test reader itself and the jedutil wrapper: they must see the faults
// that they are used to look for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/JedecReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// A small well-formed file: 24 fuses, words 0x01, 0x02, 0x03 -> C0006.
const std::string kGood =
    "\x02 head\r\ntext\r\n*\r\nQF24* QP44 * F0*\r\nNOTE ruler \r\n 0 *\r\n"
    "L0\r\n10000000\r\n01*\r\n*\r\nL00016 11*\r\nC0006*\r\nQV2* X0*\r\nV0001 01X*\r\n"
    "V0002 1\r\n0*\r\n\x03" "0000\r\n";

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  const std::size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(JedecReader, ReadsAWellFormedFile) {
  const JedecReadResult r = ReadJedec(kGood);
  EXPECT_TRUE(r.ok()) << r.ErrorText();
  EXPECT_EQ(r.fuses, "100000000100000011000000");
  EXPECT_TRUE(!r.written[10] && r.written[17] && r.fuseLists.size() == 2u && !r.securityFuse);
  EXPECT_EQ(std::vector<long>({r.fuseCount, r.pinCount, r.defaultFuse, r.vectorCount}), std::vector<long>({24, 44, 0, 2}));
  EXPECT_TRUE(r.hasChecksum && r.fileChecksum == 6u && r.computedChecksum == 6u);
  ASSERT_EQ(r.vectors.size(), 2u);
  EXPECT_EQ(r.vectors[1].text, "1\r\n0");
  EXPECT_TRUE(ReadJedec(Replace(kGood, "*\r\nQF24", "*\r\nG1*\r\nQF24")).securityFuse);
}

TEST(JedecReader, FindsEachKindOfFault) {
  const struct { const char* what; std::string bytes; } faults[] = {
      {"lone LF", Replace(kGood, "QP44 * F0*\r\n", "QP44 * F0*\n")},
      {"lone CR", Replace(kGood, "01X*\r\n", "01X*\r")},
      {"no STX", kGood.substr(1)},
      {"no ETX", Replace(kGood, "\x03" "0000\r\n", "")},
      {"text not ended by '*'", Replace(kGood, "V0002 1\r\n0*\r\n", "V0002 1\r\n0*\r\nL20 1\r\n")},
      {"fuse character", Replace(kGood, "L00016 11*", "L00016 12*")},
      {"overlap", Replace(kGood, "L00016 11*", "L00009 11*")},
      {"past QF", Replace(kGood, "L00016 11*", "L00023 11*")},
      {"bad checksum", Replace(kGood, "C0006*", "C0007*")},
      {"short checksum", Replace(kGood, "C0006*", "C006*")},
      {"unwritten without F", Replace(kGood, " F0*", "*")},
      {"V before QV", Replace(kGood, "QV2* X0*\r\n", "X0*\r\n")},
      {"V count", Replace(kGood, "QV2*", "QV3*")},
      {"unknown field", Replace(kGood, "C0006*", "C0006*\r\nJ1 2*")},
      {"L before QF", Replace(Replace(kGood, "QF24* ", ""), "NOTE ruler", "L0 1*NOTE ruler")},
      {"empty L", Replace(kGood, "L00016 11*", "L00016 *")},
      {"bad trailer", Replace(kGood, "\x03" "0000", "\x03" "00")},
      {"bad transmission sum", Replace(kGood, "\x03" "0000", "\x03" "0001")},
  };
  for (const auto& f : faults) EXPECT_FALSE(ReadJedec(f.bytes).ok()) << f.what;
  // A correct transmission checksum is accepted: every byte from STX to ETX.
  unsigned sum = 0;
  for (std::size_t i = 0; i <= kGood.find('\x03'); ++i) sum += static_cast<unsigned char>(kGood[i]);
  char t[8];
  std::snprintf(t, sizeof t, "%04X", sum & 0xFFFFu);
  const JedecReadResult summed = ReadJedec(Replace(kGood, "\x03" "0000", std::string("\x03") + t));
  EXPECT_TRUE(summed.ok()) << summed.ErrorText();
}

TEST(JedecReader, ChecksumIncludesALastPartialWordAndTheF1Default) {
  EXPECT_EQ(JedecChecksumOf("11111111" "1"), 256);
  EXPECT_EQ(JedecChecksumOf(std::string(258 * 8, '1')), 65790 - 65536);
  const JedecReadResult ones = ReadJedec("\x02*\r\nQF10* F1*\r\nL0 0*\r\nC0101*\r\n\x03" "0000\r\n");
  EXPECT_TRUE(ones.ok()) << ones.ErrorText();
  EXPECT_EQ(ones.fuses, "0111111111");
}

TEST(Jedutil, AcceptsAGoodFileAndRefusesABadChecksum) {
  FUSECVT_SKIP_WITHOUT_JEDUTIL();
  ScratchDir dir;
  WriteFile(dir.File("good.jed"), kGood);
  EXPECT_TRUE(JedutilAccepts(dir.File("good.jed")));  // and reads the fuses the test reader reads

  WriteFile(dir.File("bad.jed"), Replace(kGood, "C0006*", "C0007*"));
  EXPECT_FALSE(JedutilAccepts(dir.File("bad.jed")));
  EXPECT_FALSE(RunJedutil(dir.File("bad.jed")).accepted());

  // Too many fuses for jedutil: refused without running it.
  WriteFile(dir.File("big.jed"), "\x02*\r\nQF65544* F0*\r\nL0 1*\r\nC0001*\r\n\x03" "0000\r\n");
  const ::testing::AssertionResult big = JedutilAccepts(dir.File("big.jed"));
  EXPECT_FALSE(big);
  EXPECT_NE(std::string(big.message()).find("more than jedutil handles"), std::string::npos);
}

}  // namespace
}  // namespace fusecvt::test
