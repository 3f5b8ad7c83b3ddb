// The real POFs of the block targets' source kinds among the samples, run as
// a user would: each converts to the target of its size, and the JEDEC file
// passes the test reader (and jedutil where the file is small enough).

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/EndToEnd.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

TEST(BlocksSamples, EverySampleOfTheBlockKindsConverts) {
  const std::string dir = SamplesDir();
  if (dir.empty()) GTEST_SKIP() << "no POF samples on this machine";
  std::ifstream list(dir + "/SOURCES.tsv");
  ASSERT_TRUE(list) << "no SOURCES.tsv in " << dir;
  const struct {
    const char* sizes[3];  // the plain 7032 goes to another target
    const char* target;
    long fuses;
  } targets[] = {{{"7032S", "7032AE", "3032"}, " --> QPL6032ES", 16808},
                 {{"7064", "3064", "3064"}, " --> QPL6064ES", 34192},
                 {{"7128", "3128", "3128"}, " --> QPL6128ES", 74136}};
  std::string line;
  int converted = 0;
  while (std::getline(list, line)) {
    std::istringstream row(line);
    std::string file, device;
    if (!std::getline(row, file, '\t') || !std::getline(row, device, '\t')) continue;
    for (const auto& t : targets) {
      bool match = false;
      for (const char* size : t.sizes) match = match || device.find(size) != std::string::npos;
      if (!match) continue;
      SCOPED_TRACE(file + " (" + device + ")");
      ScratchDir out;
      const RunResult r = RunInProcess({"fusecvt", "-o", out.File("design"), dir + "/" + file});
      ASSERT_EQ(r.status, 0) << r.out << r.err;
      EXPECT_NE(r.out.find(t.target), std::string::npos) << r.out;
      EXPECT_NE(r.out.find(kCompleted), std::string::npos) << r.out;
      ExpectSoundJedec(out.File("design.jed"), t.fuses);
      ++converted;
    }
  }
  EXPECT_GT(converted, 0) << "SOURCES.tsv lists no sample of the block kinds";
}

}  // namespace
}  // namespace fusecvt::test
