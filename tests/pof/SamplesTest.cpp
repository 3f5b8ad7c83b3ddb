// Real POF files, when the sample folder is present.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "LoadHelper.h"
#include "support/PofBuilder.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

std::string PackageOf(const std::string& upper) {
  if (upper.find("TC") != std::string::npos) return "TQFP";
  if (upper.find("LC") != std::string::npos) return "PLCC";
  if (upper.find("QC") != std::string::npos) return "PQFP";
  return "unknown";
}

TEST(PofSamples, EverySampleLoads) {
  const std::string dir = SamplesDir();
  if (dir.empty()) GTEST_SKIP() << "no POF samples";
  std::ifstream list(dir + "/SOURCES.tsv");
  if (!list) GTEST_SKIP() << "no SOURCES.tsv";
  std::string line;
  int loaded = 0;
  while (std::getline(list, line)) {
    std::istringstream row(line);
    std::string file, device;
    if (!std::getline(row, file, '\t') || !std::getline(row, device, '\t')) continue;
    if (file == "file") continue;  // heading
    std::string upper = device;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const PofBuilder expected(device);  // kind and pin count as the name implies
    ASSERT_TRUE(expected.hasImage()) << device;

    auto got = LoadPath(dir + "/" + file);
    EXPECT_EQ(got->status.result, 0) << file;
    EXPECT_FALSE(got->status.exitStatus.has_value()) << file;
    EXPECT_EQ(got->error.str(), "") << file;
    EXPECT_EQ(got->console.str(), "") << file;
    ASSERT_NE(got->image(), nullptr) << file;
    EXPECT_EQ(got->image()->kind(), expected.kind()) << file;
    EXPECT_EQ(got->run.pof.sourceDeviceName, upper) << file;
    EXPECT_EQ(got->run.pof.pinCount, expected.pinCount()) << file;
    EXPECT_EQ(got->run.pof.packageName, PackageOf(upper)) << file;
    EXPECT_GE(got->run.pof.lastProgrammedAddress, 0) << file;
    ++loaded;
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace fusecvt::test
