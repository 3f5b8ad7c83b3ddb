// Real POF files, when the sample folder is present: each loads cleanly as
// the device its list names.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "PofKit.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

TEST(PofSamples, EverySampleLoads) {
  const std::string dir = SamplesDir();
  std::ifstream list(dir + "/SOURCES.tsv");
  if (dir.empty() || !list) GTEST_SKIP() << "no POF samples";
  std::string line, file, device;
  int loaded = 0;
  while (std::getline(list, line)) {
    std::istringstream row(line);
    if (!std::getline(row, file, '\t') || !std::getline(row, device, '\t') || file == "file") continue;
    SCOPED_TRACE(file);
    const PofBuilder expected(device);  // kind and pin count as the name implies
    ASSERT_TRUE(expected.hasImage()) << device;
    const auto got = Load(std::nullopt, "fusecvt", dir + "/" + file);
    EXPECT_EQ(got->status.result, 0);
    EXPECT_FALSE(got->status.exitStatus.has_value());
    EXPECT_EQ(got->console.str() + got->error.str(), "");
    ASSERT_NE(got->image(), nullptr);
    EXPECT_EQ(got->image()->kind(), expected.kind());
    EXPECT_EQ(got->run.pof.pinCount, expected.pinCount());
    EXPECT_GE(got->run.pof.lastProgrammedAddress, 0);
    ++loaded;
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace fusecvt::test
