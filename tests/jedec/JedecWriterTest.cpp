// The JEDEC writer of the block-structured targets: whole files byte for byte
// against the fuse map stated address by address in the test support, the
// fresh images' fuse defaults, and outputs that fail.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "JedecTestRun.h"
#include "jedec/JedecWriter.h"
#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

using K = BlockTargetKind;

// 10001 vectors, one holding an LF and one far longer than a line.
std::vector<std::string> ManyVectors() {
  std::vector<std::string> v;
  for (int i = 1; i <= 10001; ++i) v.push_back("01X" + std::to_string(i));
  v[1] = "01\n10";
  v[2] = std::string(5000, 'H') + "L";
  return v;
}

struct FileCase {
  K kind;
  std::string package;
  int pins;
  unsigned pattern;  // 0: a fresh image
  std::uint16_t security;
  std::vector<std::string> vectors;
  std::vector<std::string> written = {};  // as they must appear; empty: as given
  std::tm date = FixedDate();
  std::string createdOn = "Sat Dec 05 16:42:08 2026";
};

TEST(JedecWriter, WholeFilesByteForByte) {
  const FileCase cases[] = {
      {K::Qpl6032, "PLCC", 44, 0, 0, {}},
      {K::Qpl6064, "TQFP", 100, 0, 0, {}},
      {K::Qpl6128, "PQFP", 160, 0, 0, {}},
      {K::Qpl6032, "PLCC", 44, 1, 1, {"0101XX10", "1"}},
      // A security word whose low byte is 0 still secures; '*', STX, ETX and
      // CR in a text become blanks.
      {K::Qpl6064, "PLCC", 84, 2, 0x100, {"01*X", "\x02" "10\x03" "\rH"}, {"01 X", " 10  H"}},
      {K::Qpl6128, "unknown", 160, 3, 0xFFFF, ManyVectors(), {}, Tm(2027, 0, 3, 7, 5, 9, 0), "Sun Jan 03 07:05:09 2027"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(std::string(GeometryOf(c.kind).deviceWord) + " pattern " + std::to_string(c.pattern));
    auto img = MakeImage(c.kind);
    if (c.pattern) FillPattern(*img, c.pattern);
    ExpectedHeader h{c.package, c.pins, c.createdOn, c.security != 0, c.written.empty() ? c.vectors : c.written};
    const std::string expected = ExpectedJedecFile(*img, h);
    TestRun r(c.package, c.pins, c.date);
    r.run.sources.securityBit = c.security;
    r.run.sources.testVectors = c.vectors;
    const std::string actual = JedecText(*img, r.run);
    EXPECT_EQ(FirstDifference(expected, actual), "");
    EXPECT_EQ(FirstDifference(actual, JedecText(*img, r.run)), "");  // nothing carries over
    const JedecReadResult read = ReadJedec(actual);
    EXPECT_TRUE(read.ok()) << read.ErrorText();
    EXPECT_EQ(read.fileChecksum, read.computedChecksum);
    EXPECT_EQ(read.vectors.size(), c.vectors.size());

    // On disk: the same bytes, an older and longer file replaced.
    ScratchDir dir;
    r.run.options.outputFileName = dir.File("out.jed");
    WriteFile(r.run.options.outputFileName, std::string(400000, 'x'));
    ASSERT_EQ(img->WriteJedec(r.run), kJedecWritten);
    EXPECT_EQ(FirstDifference(actual, ReadFile(r.run.options.outputFileName)), "");
    EXPECT_EQ(r.console.str() + r.error.str(), "");
    if (read.fuseCount <= kJedutilMaxFuses && (JedutilAvailable() || JedutilRequired())) {
      EXPECT_TRUE(JedutilAccepts(r.run.options.outputFileName));
    }
  }
}

// What a fresh image holds before any stage writes to it: the erased
// product terms and UIM lines, and the defaults of macrocells, global OE and
// configuration.
TEST(JedecWriter, FreshImageDefaults) {
  const struct { K kind; const char* mcBits; const char* goe; const char* config; } rows[] = {
      {K::Qpl6032, "111111100000000100100110", "01111" "10111" "01111" "01111" "10111" "01111",
       "11111111100011011111000000001110"},
      {K::Qpl6064, "111111100000000100100110",
       "111111110" "110111111" "110111111" "011111111" "011111111" "011111111",
       "11111111100011011111000000001110"},
      {K::Qpl6128, "111111100000000000110110",
       "11111111110111" "11111111111011" "11111111111110" "11111111011111" "11111111111011" "11111111111101",
       "11111111111111111111000000001110"},
  };
  auto text = [](const FuseArray& a) { return std::string(a.data(), a.size()); };
  for (const auto& row : rows) {
    SCOPED_TRACE(GeometryOf(row.kind).deviceWord);
    auto img = MakeImage(row.kind);
    for (int m = 0; m < img->geometry().macrocells; ++m) EXPECT_EQ(std::string(img->mcBits.row(m), 24), row.mcBits);
    EXPECT_EQ(text(img->goeMux), row.goe);
    EXPECT_EQ(text(img->configBits), row.config);
    EXPECT_EQ(text(img->uesBits) + img->jtagBit, std::string(16, '1') + "0");
    for (const FuseArray* a : {&img->ptInputFuses, &img->ptFoldbackFuses, &img->uimMux}) {
      EXPECT_EQ(text(*a), std::string(a->size(), '1'));
    }
  }
}

TEST(JedecWriter, OutputsThatFail) {
  ScratchDir dir;
  {  // no such folder: a message, no file, the image untouched
    Qpl6032 img;
    TestRun r("PLCC", 44);
    r.run.options.outputFileName = dir.File("missing/out.jed");
    EXPECT_EQ(img.WriteJedec(r.run), kJedecOpenFailed);
    EXPECT_EQ(r.error.str() + "|" + r.console.str(), "Cannot write output_file " + dir.File("missing/out.jed") + "\n|");
    EXPECT_FALSE(FileExists(dir.File("missing")));
    EXPECT_EQ(std::string(img.mcBits.row(0), 24), "111111100000000100100110");
  }
  struct stat st {};
  if (::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode)) {  // a full device is reported and kept
    Qpl6128 img;
    TestRun r("PQFP", 160);
    r.run.options.outputFileName = "/dev/full";
    EXPECT_EQ(img.WriteJedec(r.run), kJedecWriteFailed);
    EXPECT_EQ(r.console.str() + "|" + r.error.str(), "Jedec write problem: out of space \n|");
    EXPECT_TRUE(::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
  }
  // A regular file cut short by a size limit is deleted. The limit is set in
  // a child; its exit code is 10 + result, +100 if the file is left, +50
  // without the message.
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
}

}  // namespace
}  // namespace fusecvt::test
