// The equation listing of plain 7064 POFs in 84 and 100 pins, end to end:
// every macrocell of these packages has a pin, so macrocell m reads its
// output enable from output-enable record m ("00" never, "01" GCLK2, "10"
// OE1, "11" always).
#include <gtest/gtest.h>

#include <string>

#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct OeRow {
  int mc;             // index, MC mc + 1
  const char* code;   // the two output-enable characters of record mc
  const char* named;  // as the listing names it
};

const OeRow kOeRows[] = {
    {0, "10", "OE1"}, {2, "00", "never"}, {17, "01", "GCLK2"}, {39, "10", "OE1"}, {63, "11", "always"},
};

TEST(SourceListing, EveryMacrocellOfThePlain7064In84And100PinsHasItsOwnOutputEnable) {
  for (const char* device : {"EPM7064LC84-15", "EPM7064QC100-15"}) {
    SCOPED_TRACE(device);
    ScratchDir dir;
    PofBuilder b(device);
    SourceImage& s = b.image();
    for (const OeRow& row : kOeRows) {
      s.logicArray.at(row.mc, 2, 72 + 5) = '0';  // PT 3 reads the expander of MC 6 of its LAB
      s.outputEnable.at(row.mc, 0) = row.code[0];
      s.outputEnable.at(row.mc, 1) = row.code[1];
    }
    b.WriteTo(dir.File("d.pof"));
    const RunResult r = RunBinary({"fusecvt", "--equations", dir.File("d.pof")});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const OeRow& row : kOeRows) {
      const std::string line =
          "\nMC " + std::to_string(row.mc + 1) + ": combinational, output enable " + row.named + "\n";
      EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
