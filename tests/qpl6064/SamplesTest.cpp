// The real POFs of the 7064S, 7064AE and 3064A kinds among the samples, run
// as a user would: each must convert to a QPL6064 JEDEC file that the test
// reader parses and jedutil accepts.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/JedecReader.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct Sample {
  std::string file;
  std::string device;
};

// Rows of SOURCES.tsv (file, device, ...) whose device is a 64-macrocell part.
std::vector<Sample> SamplesOf64Macrocells(const std::string& dir) {
  std::vector<Sample> samples;
  std::istringstream tsv(ReadFile(dir + "/SOURCES.tsv"));
  std::string line;
  std::getline(tsv, line);  // column names
  while (std::getline(tsv, line)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::size_t end = line.find('\t', tab + 1);
    Sample s{line.substr(0, tab), line.substr(tab + 1, end == std::string::npos ? end : end - tab - 1)};
    if (s.device.find("7064") != std::string::npos || s.device.find("3064") != std::string::npos) {
      samples.push_back(s);
    }
  }
  return samples;
}

TEST(Qpl6064Samples, RealPofsConvertAndJedutilAcceptsThem) {
  const std::string dir = SamplesDir();
  if (dir.empty()) GTEST_SKIP() << "no POF samples on this machine";
  const std::vector<Sample> samples = SamplesOf64Macrocells(dir);
  ASSERT_FALSE(samples.empty()) << "SOURCES.tsv lists no 7064 or 3064 sample";
  ScratchDir out;
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.file + " (" + s.device + ")");
    const std::string jed = out.File("sample.jed");
    const RunResult r = RunInProcess({"fusecvt", "-o", jed, dir + "/" + s.file});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(" --> QPL6064ES"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Conversion is completed\n"), std::string::npos) << r.out;
    const JedecReadResult read = ReadJedecFile(jed);
    ASSERT_TRUE(read.ok()) << read.ErrorText();
    EXPECT_EQ(read.fuseCount, 34192);
    EXPECT_EQ(read.computedChecksum, read.fileChecksum);
    if (!JedutilAvailable() && !JedutilRequired()) continue;
    EXPECT_TRUE(JedutilAccepts(jed));
  }
}

}  // namespace
}  // namespace fusecvt::test
