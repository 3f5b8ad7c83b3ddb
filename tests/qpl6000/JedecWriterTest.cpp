// The QPL6000 / QPL6000E JEDEC file, byte for byte, against the file put
// together from the fuse map of the device (support/ExpectedQpl6000.h).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "driver/Conversion.h"
#include "driver/TargetDevice.h"
#include "driver/Version.h"
#include "support/JedecReader.h"
#include "qpl6000/Qpl6000.h"
#include "qpl6000/Qpl6000TestUtil.h"
#include "support/ExpectedQpl6000.h"
#include "support/TestPaths.h"

namespace fusecvt {
namespace {

using test::CrLf;
// jedutil reads every file written here; without jedutil (and when it is not
// required) the check is left out.
void ExpectJedutilAccepts(const std::string& path) {
  if (!test::JedutilAvailable() && !test::JedutilRequired()) return;
  EXPECT_TRUE(test::JedutilAccepts(path));
}
using test::ReadFile;
using test::ScratchDir;
using test::SetBits;
using test::SetTerm;
using test::SetTermAll;

std::tm SampleTime() {  // Sat Dec 05 16:42:08 2026
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 5;
  t.tm_hour = 16;
  t.tm_min = 42;
  t.tm_sec = 8;
  t.tm_wday = 6;
  return t;
}

struct WriterRun {
  std::ostringstream console;
  std::ostringstream error;
  Conversion run{console, error, Clock::Fixed(SampleTime())};
  ScratchDir dir;
  WriterRun() {
    run.options.programName = "fusecvt";
    run.options.outputFileName = dir.File("out.jed");
    run.options.targetDeviceName = "qpl6000e";
    run.options.raceCover = 0;
    run.sources.deviceText = "EPM7032LC44";
  }
  std::string File() const { return ReadFile(run.options.outputFileName); }
};

// A mixed image: open, partly connected and disabled terms; no two
// configuration rows alike.
void FillMixed(Qpl6000& q) {
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFFu;
  };
  for (int mc = 0; mc < 32; ++mc) {
    for (int p = 0; p < 5; ++p) {
      const unsigned kind = mc == 15 ? 0 : next() % 4;  // MC 16: nothing written
      for (int c = 0; c < 152; ++c) {
        char v = '0';
        if (kind == 1) v = '1';
        if (kind >= 2) v = next() % 3 == 0 ? '0' : '1';
        q.ptFuses.at(mc, p, c) = v;
      }
    }
    for (int i = 0; i < 16; ++i) q.mcBits.at(mc, i) = (mc * 7 + i * 3) % 5 == 0 ? '0' : '1';
  }
  SetTermAll(q, 31, 1, '1');  // MC 32 PT 2 opens the file at L00000
  SetTermAll(q, 0, 4, '0');
  SetTerm(q, 0, 4, {0, 151});  // MC 1 PT 5 at 23560 + 456
  for (int p : {0, 1, 2, 3}) SetTermAll(q, 0, p, '0');
}

TEST(Qpl6000WriteJedec, ExtendedTqfpWithTextsSecurityAndVectors) {
  WriterRun w;
  Qpl6000 q;
  FillMixed(q);
  w.run.sources.deviceText = "EPM7032QC44-10";
  // '*', STX, ETX and CR in the texts would break the file: each becomes a blank.
  w.run.sources.creatorId = "Fitter*9.1";
  w.run.sources.commentText = "ALL03\x03\r\n";
  w.run.sources.securityBit = 1;
  w.run.sources.testVectors = {"0101XXHL", "HL\x02LH"};
  w.run.options.pinKeep = 1;
  ASSERT_EQ(q.WriteJedec(w.run), kJedecWritten);

  const std::string expected =
      CrLf(std::string("\x02") + "fusecvt " + kVersionText + "\n" +
           "Device QPL6000E (TQFP)\nCreated on: Sat Dec 05 16:42:08 2026\n\n"
           "Fitter 9.1\nALL03  \n\n*\nG1*\n" +
           test::Qpl6000FuseSection(q, true, 0, 1) + "QV2* X0*\nV001 0101XXHL*\nV002 HL LH*\n\x03" "0000\n");
  const std::string file = w.File();
  EXPECT_EQ(file, expected);
  // A few lines spelt out in full.
  EXPECT_EQ(file.rfind("\x02" "fusecvt  1.0.0 \r\n", 0), 0u);
  EXPECT_NE(file.find("\r\nALL03  \r\n\r\n*\r\nG1*\r\nQF24994* QP44* F0*\r\nNOTE\r\n0         0"),
            std::string::npos);
  EXPECT_NE(file.find("NOTE  Macrocell 32 (IO pin 24) *\r\nL00000\r\n" + std::string(152, '1') +
                      "*\r\n"),
            std::string::npos);
  EXPECT_NE(file.find("NOTE  Macrocell 1 (IO pin 4) *\r\nL24016\r\n0" + std::string(150, '1') +
                      "0*\r\n\r\nNOTE   12345678901234567890123456789012*\r\nL24320 "),
            std::string::npos);
  EXPECT_EQ(file.find("Macrocell 16 "), std::string::npos);
  EXPECT_NE(file.find("*\r\nL24800 "), std::string::npos);
  EXPECT_NE(file.find("\r\nL24992 1*\r\n\r\nNOTE   Pin Keeper Bit*\r\nL24993 1*\r\nC"),
            std::string::npos);
  EXPECT_EQ(w.run.sources.deviceText, "epm7032qc44-10");  // lower-cased in place
  EXPECT_EQ(w.console.str(), "");
  EXPECT_EQ(w.error.str(), "");
  ExpectJedutilAccepts(w.run.options.outputFileName);
}

TEST(Qpl6000WriteJedec, ChecksumCountsTheLastIncompleteWord) {
  // Only the user row (20 words of 0xFF = 5100), the sleep bit (bit 0 of the
  // last word) and the pin keeper bit (bit 1) can be set.
  struct Case { const char* device; int pd1; int pinKeep; const char* checksum; } cases[] = {
      {"p6000", 0, 0, "C13ED*\r\n"},     // 5101
      {"p6000", 1, 0, "C13EC*\r\n"},     // 5100
      {"qpl6000e", 0, 1, "C13EF*\r\n"},  // 5103
      {"qpl6000e", 1, 1, "C13EE*\r\n"},  // 5102
      {"qpl6000e", 0, 0, "C13ED*\r\n"},  // 5101
  };
  for (const Case& c : cases) {
    WriterRun w;
    Qpl6000 q;
    for (int m = 0; m < 32; ++m) {
      SetBits(q, m, std::string(16, '0'));
      for (int p = 0; p < 5; ++p) SetTermAll(q, m, p, '0');
    }
    w.run.options.targetDeviceName = c.device;
    w.run.options.pd1 = c.pd1;
    w.run.options.pinKeep = c.pinKeep;
    ASSERT_EQ(q.WriteJedec(w.run), kJedecWritten);
    const std::string file = w.File();
    EXPECT_NE(file.find(c.checksum), std::string::npos) << c.device << c.pd1 << c.pinKeep;
    EXPECT_NE(file.find(test::Qpl6000Ruler() + "*\r\n\r\nNOTE   1234"), std::string::npos);  // no terms
    EXPECT_EQ(file.find("Macrocell"), std::string::npos);
    ExpectJedutilAccepts(w.run.options.outputFileName);
  }
}

TEST(Qpl6000WriteJedec, UnopenableOutputIsReportedAndLeavesNoFile) {
  WriterRun w;
  Qpl6000 q;
  w.run.options.outputFileName = w.dir.File("missing/out.jed");
  EXPECT_EQ(q.WriteJedec(w.run), kJedecOpenFailed);
  EXPECT_EQ(w.error.str(), "Cannot write output_file " + w.run.options.outputFileName + "\n");
  EXPECT_EQ(w.console.str(), "");
  EXPECT_FALSE(test::FileExists(w.run.options.outputFileName));
}

TEST(Qpl6000WriteJedec, TruncatedRegularFileIsDeleted) {
  // A child process with a file size limit stands in for a full disk.
  ScratchDir dir;
  const std::string path = dir.File("short.jed");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::ostringstream console, error;
    Conversion run(console, error, Clock::Fixed(SampleTime()));
    run.options.outputFileName = path;
    run.options.targetDeviceName = "qpl6000e";
    Qpl6000 q;
    const int result = q.WriteJedec(run);
    const bool told = console.str() == "Jedec write problem: out of space \n";
    _exit(result == kJedecWriteFailed && told ? 0 : 10 + result);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(test::FileExists(path));
}

}  // namespace
}  // namespace fusecvt
