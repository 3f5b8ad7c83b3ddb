// Real POF files of the QPL6128 source kinds, when the sample folder is
// present: each converts with the built program, and its JEDEC file passes
// the independent reader.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/JedecReader.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

bool Has(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

TEST(Qpl6128Samples, EverySampleOfThe128MacrocellKindsConverts) {
  const std::string dir = SamplesDir();
  if (dir.empty()) GTEST_SKIP() << "no POF samples";
  std::ifstream list(dir + "/SOURCES.tsv");
  if (!list) GTEST_SKIP() << "no SOURCES.tsv";
  std::string line;
  int converted = 0;
  while (std::getline(list, line)) {
    std::istringstream row(line);
    std::string file, device;
    if (!std::getline(row, file, '\t') || !std::getline(row, device, '\t')) continue;
    if (!Has(device, "7128") && !Has(device, "3128")) continue;
    SCOPED_TRACE(file);
    ScratchDir out;
    const RunResult r = RunBinary({"fusecvt", "-o", out.File("design"), dir + "/" + file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(Has(r.out, (" --> QPL6128ES" + std::string(Has(device, "7128S") ? "" : "L")).c_str()));
    EXPECT_TRUE(Has(r.out, "Conversion is completed\n"));
    const JedecReadResult jed = ReadJedecFile(out.File("design.jed"));
    EXPECT_TRUE(jed.ok()) << jed.ErrorText();
    EXPECT_EQ(jed.fuseCount, 74136);
    EXPECT_EQ(jed.computedChecksum, jed.fileChecksum);
    EXPECT_TRUE(Has(ReadFile(out.File("design.txt")), "   TMS Pullup :\t\tOFF\n"));
    ++converted;
  }
  EXPECT_GT(converted, 0);
}

}  // namespace
}  // namespace fusecvt::test
