// The banner, the device-type prompt and the help screens, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ExpectedScreens.h"
#include "driver/Version.h"
#include "support/RunHarness.h"

namespace fusecvt::test {
namespace {

std::string Banner(const std::string& programName) {
  return std::string(kMakerName) + " " + programName + " " + kVersionText + kBuildDate + "\n" +
         kRightsNotice + "\n\n";
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(Screens, NoArgumentsShowsPrompt) {
  RunResult r = RunInProcess({"fusecvt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Banner("fusecvt") + screens::kPrompt);
  EXPECT_EQ(r.err, "");
}

TEST(Screens, PromptNamesTheFixedProgramWord) {
  RunResult r = RunInProcess({"C:\\bin\\other.exe"});
  EXPECT_EQ(r.out, Banner("other") + screens::kPrompt);
  EXPECT_NE(r.out.find(" fusecvt [-6000|-6000e|"), std::string::npos);
}

TEST(Screens, FamilyUsageWithAndWithoutPinKeeper) {
  EXPECT_EQ(Lines(screens::kFamily6000), 22);
  EXPECT_EQ(Lines(screens::kFamily6000e), 24);
  RunResult plain = RunInProcess({"fusecvt", "-6000"});
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(plain.out, Banner("fusecvt") + screens::kFamily6000);
  EXPECT_EQ(plain.out.find("-pin_keep"), std::string::npos);
  RunResult e = RunInProcess({"fusecvt", "-6000E", "anything.pof"});
  EXPECT_EQ(e.status, 1);
  EXPECT_EQ(e.out, Banner("fusecvt") + screens::kFamily6000e);
  EXPECT_EQ(e.err, "");
}

TEST(Screens, UsageLineCarriesProgramName) {
  RunResult r = RunInProcess({"D:\\x\\MyTool.EXE", "-6000"});
  EXPECT_NE(r.out.find("\nusg: MyTool [-i] filename.POF [-o filename.JED] [options]\n"), std::string::npos);
  RunResult percent = RunInProcess({"a%sb%d", "-6032es"});
  EXPECT_NE(percent.out.find("\nusg: a%sb%d [-i] filename.POF"), std::string::npos);
}

TEST(Screens, TargetUsageIsTheSameForEveryFamily) {
  EXPECT_EQ(Lines(screens::kTarget), 27);
  for (const char* word : {"-6032es", "-6032esl", "-6064es", "-6064ESL", "-6128es", "-6128esl"}) {
    SCOPED_TRACE(word);
    RunResult r = RunInProcess({"fusecvt", word});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, Banner("fusecvt") + screens::kTarget);
  }
}

TEST(Screens, AdvancedHelpPerFamily) {
  struct Row {
    const char* word;
    const char* expected;
    int lines;
  };
  const Row rows[] = {{"-6128es", screens::kAdvanced6128, 38},
                      {"-6064esl", screens::kAdvanced6064, 36},
                      {"-6032es", screens::kAdvanced6032, 34}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_EQ(Lines(row.expected), row.lines);
    for (const char* h2 : {"-h2", "-H2"}) {
      RunResult r = RunInProcess({"fusecvt", row.word, h2, "more.pof"});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, Banner("fusecvt") + row.expected);
    }
  }
}

// The binary prints the same screens and exit status.
TEST(Screens, BinaryShowsTheSameScreens) {
  RunResult none = RunBinary({"fusecvt"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, Banner("fusecvt") + screens::kPrompt);
  EXPECT_EQ(none.err, "");
  RunResult help = RunBinary({"fusecvt", "-6064es", "-H2"});
  EXPECT_EQ(help.status, 1);
  EXPECT_EQ(help.out, Banner("fusecvt") + screens::kAdvanced6064);
  RunResult family = RunBinary({"fusecvt", "-6000e"});
  EXPECT_EQ(family.status, 1);
  EXPECT_EQ(family.out, Banner("fusecvt") + screens::kFamily6000e);
}

}  // namespace
}  // namespace fusecvt::test
