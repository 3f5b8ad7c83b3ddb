// The argument loop: matching order, value words, file-name words, help and
// target words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Captured.h"
#include "driver/CommandLine.h"

namespace fusecvt::test {
namespace {

struct Parsed {
  ParseResult result;
  ConversionOptions options;
  std::string out;
  std::vector<std::string> args;
};

Parsed Parse(std::vector<std::string> args) {
  Captured c;
  args.insert(args.begin(), "fusecvt");
  c.run.options.programName = "fusecvt";
  const ParseResult result = ParseCommandLine(args, c.run);
  return {result, c.run.options, c.out.str(), args};
}

TEST(ProgramName, BackslashPathLosesFolderAndLastExtension) {
  EXPECT_EQ(ExtractProgramName("C:\\tools\\fusecvt.exe"), "fusecvt");
  EXPECT_EQ(ExtractProgramName("C:\\a.b\\fuse.cvt.exe"), "fuse.cvt");
  EXPECT_EQ(ExtractProgramName("tools\\fusecvt"), "fusecvt");
  EXPECT_EQ(ExtractProgramName("dir\\"), "");
}

TEST(ProgramName, PathWithoutBackslashIsKeptWhole) {
  EXPECT_EQ(ExtractProgramName("fusecvt.exe"), "fusecvt.exe");
  EXPECT_EQ(ExtractProgramName("/usr/local/bin/fusecvt"), "/usr/local/bin/fusecvt");
  EXPECT_EQ(ExtractProgramName(""), "");
}

// One row per switch: the argument and the field it must change. Words are
// chosen to catch a wrong test order and a wrong prefix length.
TEST(ArgumentLoop, SwitchesMatchInTheirOrder) {
  struct Row {
    const char* word;
    int ConversionOptions::*field;
    int expected;
  };
  const Row rows[] = {
      {"-powerdown", &ConversionOptions::pd1, 1},   {"-POWERD", &ConversionOptions::pd1, 1},
      {"-pd1", &ConversionOptions::pd1, 1},          {"-pd1xyz", &ConversionOptions::pd1, 1},
      {"-PD2", &ConversionOptions::pd2, 1},          {"-power_reset", &ConversionOptions::powerResetGiven, 1},
      {"-power", &ConversionOptions::powerResetGiven, 1},
      {"-powe", &ConversionOptions::powerResetBit, 0},
      {"-powerX", &ConversionOptions::powerResetBit, 0},
      {"-secu", &ConversionOptions::secure, 1},      {"-pinc", &ConversionOptions::pinClock, 1},
      {"-pinclock", &ConversionOptions::pinClock, 1},
      {"-pin_", &ConversionOptions::pinKeep, 1},     {"-gclk1", &ConversionOptions::gclk1Itd, 0},
      {"-GCLK2_ITD", &ConversionOptions::gclk2Itd, 0}, {"-gclk3x", &ConversionOptions::gclk3Itd, 0},
      {"-race", &ConversionOptions::raceCover, 0},   {"-verb", &ConversionOptions::verbose, 1},
      {"-tdi_", &ConversionOptions::tdiPullup, 1},   {"-TMS_PULLUP", &ConversionOptions::tmsPullup, 1},
  };
  const ConversionOptions fresh;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.word);
    Parsed p = Parse({row.word});
    EXPECT_EQ(p.result, CONTINUE);
    EXPECT_EQ(p.options.*row.field, row.expected);
    EXPECT_EQ(p.options.inputFileName, "");
    // Nothing else: power-down words leave power reset alone and the reverse.
    if (row.field != &ConversionOptions::pd1) {
      EXPECT_EQ(p.options.pd1, fresh.pd1);
    }
    if (row.field != &ConversionOptions::pinKeep) {
      EXPECT_EQ(p.options.pinKeep, fresh.pinKeep);
    }
    if (row.field != &ConversionOptions::pinClock) {
      EXPECT_EQ(p.options.pinClock, fresh.pinClock);
    }
  }
}

TEST(ArgumentLoop, PowerResetSetsBitAndGivenTogether) {
  Parsed p = Parse({"-power_reset"});
  EXPECT_EQ(p.options.powerResetBit, 0);
  EXPECT_EQ(p.options.powerResetGiven, 1);
  Parsed d = Parse({"-powerdown"});
  EXPECT_EQ(d.options.powerResetBit, 1);
  EXPECT_EQ(d.options.powerResetGiven, 0);
}

TEST(ArgumentLoop, WordsShorterThanTheirPrefixAreFileNames) {
  for (const char* word : {"-pd", "-pin", "-gclk", "-mc_", "-ope", "-tdi", "-sle", "-dev", "-in", "-oo",
                           "-6000x", "-600", "-6032e", "-h2", "-"}) {
    SCOPED_TRACE(word);
    Parsed p = Parse({word});
    EXPECT_EQ(p.result, CONTINUE);
    EXPECT_EQ(p.options.inputFileName, word);
    EXPECT_EQ(p.out, "");
  }
}

TEST(ArgumentLoop, LaterFileNameWins) {
  EXPECT_EQ(Parse({"a.pof", "b.pof"}).options.inputFileName, "b.pof");
  EXPECT_EQ(Parse({"-h2", "design.pof"}).options.inputFileName, "design.pof");
  EXPECT_EQ(Parse({"design.pof", "-h2"}).options.inputFileName, "-h2");
  EXPECT_EQ(Parse({"-i", "a.pof", "b.pof"}).options.inputFileName, "b.pof");
}

TEST(ValueWords, EachFieldTakesItsOwnWords) {
  struct Row {
    std::vector<std::string> args;
    OptionState ConversionOptions::*field;
    OptionState expected;
  };
  const Row rows[] = {
      {{"-SLEW", "Slow"}, &ConversionOptions::slew, SLOW},
      {{"-slew", "fast"}, &ConversionOptions::slew, FAST},
      {{"-slew", "AUTOMATIC"}, &ConversionOptions::slew, AUTO},
      {{"-slew", "on"}, &ConversionOptions::slew, UNSET},
      {{"-slew", "fas"}, &ConversionOptions::slew, UNSET},
      {{"-jtag", "auto"}, &ConversionOptions::jtag, AUTO},
      {{"-jtag", "On"}, &ConversionOptions::jtag, ON},
      {{"-jtag", "offline"}, &ConversionOptions::jtag, OFF},
      {{"-jtag", "of"}, &ConversionOptions::jtag, UNSET},
      {{"-jtag", "maybe"}, &ConversionOptions::jtag, UNSET},
      {{"-open_out", "onward"}, &ConversionOptions::openOut, ON},
      {{"-open", "AUTO"}, &ConversionOptions::openOut, AUTO},
      {{"-open_out", "off"}, &ConversionOptions::openOut, OFF},
      {{"-open_out", "slow"}, &ConversionOptions::openOut, UNSET},
      {{"-mc_power", "ON"}, &ConversionOptions::mcPower, ON},
      {{"-mc_p", "off"}, &ConversionOptions::mcPower, OFF},
      {{"-mc_power", "off", "-mc_power", "auto"}, &ConversionOptions::mcPower, OFF},
      {{"-mc_power", "on", "-mc_power", "auto"}, &ConversionOptions::mcPower, ON},
      {{"-slew", "slow", "-slew", "fast"}, &ConversionOptions::slew, FAST},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0] + " " + row.args[1]);
    Parsed p = Parse(row.args);
    EXPECT_EQ(p.options.*row.field, row.expected);
    // The value is consumed even when it matches no word.
    EXPECT_EQ(p.options.inputFileName, "");
  }
}

TEST(ValueWords, UnknownValueIsConsumedAndFileStillRead) {
  Parsed p = Parse({"-jtag", "maybe", "design.pof"});
  EXPECT_EQ(p.options.jtag, UNSET);
  EXPECT_EQ(p.options.inputFileName, "design.pof");
}

TEST(ValueWords, OptionAsLastArgumentHasNoEffect) {
  Parsed p = Parse({"design.pof", "-jtag"});
  EXPECT_EQ(p.options.jtag, UNSET);
  EXPECT_EQ(p.options.inputFileName, "design.pof");
  Parsed d = Parse({"design.pof", "-device"});
  EXPECT_EQ(d.options.targetDeviceName, "Unselected");
  EXPECT_EQ(d.options.targetDeviceGiven, 0);
}

TEST(ValueWords, ValueMayLookLikeAnOption) {
  Parsed p = Parse({"-slew", "-secure"});
  EXPECT_EQ(p.options.secure, 0);
  EXPECT_EQ(p.options.slew, UNSET);
  EXPECT_EQ(Parse({"-i", "-6000"}).options.inputFileName, "-6000");
}

TEST(FileNameWords, InputOutputAndDeviceKeepTheirCase) {
  Parsed p = Parse({"-I", "Dir/Design.POF", "-O", "Out/Name", "-DEVICE", "P6000"});
  EXPECT_EQ(p.options.inputFileName, "Dir/Design.POF");
  EXPECT_EQ(p.options.outputFileName, "Out/Name");
  EXPECT_EQ(p.options.reportFileName, "Out/Name");
  EXPECT_EQ(p.options.targetDeviceName, "P6000");
  EXPECT_EQ(p.options.targetDeviceGiven, 1);
  EXPECT_EQ(Parse({"-devi", "x"}).options.targetDeviceName, "x");
  EXPECT_EQ(Parse({"Design.POF"}).options.inputFileName, "Design.POF");
}

TEST(FileNameWords, InputOrOutputAsLastArgumentIsIgnored) {
  Parsed i = Parse({"a.pof", "-i"});
  EXPECT_EQ(i.options.inputFileName, "a.pof");
  Parsed o = Parse({"a.pof", "-o"});
  EXPECT_EQ(o.options.outputFileName, "");
  EXPECT_EQ(o.options.reportFileName, "");
  EXPECT_EQ(o.options.inputFileName, "a.pof");
}

TEST(FileNameWords, LongArgumentsAreKeptWhole) {
  const std::string longName = std::string(5000, 'x') + "/" + std::string(3000, 'Y') + ".pof";
  Parsed p = Parse({"-o", longName, longName});
  EXPECT_EQ(p.options.inputFileName, longName);
  EXPECT_EQ(p.options.outputFileName, longName);
  const std::string longOption = "-slew" + std::string(400, 'z');
  EXPECT_EQ(Parse({longOption, "slow"}).options.slew, SLOW);
}

TEST(HelpWords, FamilyWordShowsUsageAndStopsTheLoop) {
  for (const char* word : {"-6000", "-6000e", "-6000ESL", "-6000E"}) {
    SCOPED_TRACE(word);
    Parsed p = Parse({"-secure", word, "-pd1", "later.pof"});
    EXPECT_EQ(p.result, EXIT);
    EXPECT_EQ(p.options.secure, 1);    // read before the word
    EXPECT_EQ(p.options.pd1, 0);       // never reached
    EXPECT_EQ(p.options.inputFileName, "");
    EXPECT_EQ(p.out.rfind("usg: fusecvt ", 0), 0u);
  }
  EXPECT_EQ(Parse({"-6000"}).options.helpTarget, "-6000");
  EXPECT_EQ(Parse({"-6000eX"}).options.helpTarget, "-6000e");
}

TEST(TargetWords, LastArgumentShowsTheTargetUsage) {
  for (const char* word : {"-6032es", "-6032ESL", "-6064es", "-6128esl"}) {
    SCOPED_TRACE(word);
    Parsed p = Parse({word});
    EXPECT_EQ(p.result, EXIT);
    EXPECT_NE(p.out.find("   -h2\t\t\t  : Displays Advanced Help Options\n"), std::string::npos);
  }
}

TEST(TargetWords, HelpWordAfterTargetShowsAdvancedHelp) {
  Parsed p = Parse({"-6064es", "-H2", "design.pof"});
  EXPECT_EQ(p.result, EXIT);
  EXPECT_EQ(p.options.helpTarget, "6064");
  EXPECT_EQ(p.out.rfind("Advance Help Options:\n", 0), 0u);
  EXPECT_EQ(p.options.inputFileName, "");
  EXPECT_EQ(Parse({"-6128es", "-h2"}).options.helpTarget, "6128");
  EXPECT_EQ(Parse({"-6032esl", "-h2"}).options.helpTarget, "6032");
}

TEST(TargetWords, OtherFollowingArgumentGetsNoticeAndIsLowerCased) {
  Parsed p = Parse({"-6032esl", "Design.POF"});
  EXPECT_EQ(p.result, CONTINUE);
  // The notice always names -6128es.
  EXPECT_EQ(p.out,
            "NOTE : You should not use -6128es option here when converting a file.\n"
            "       Ignore -6128es option.\n\n");
  EXPECT_EQ(p.options.inputFileName, "design.pof");
  EXPECT_EQ(p.args[2], "design.pof");
  EXPECT_EQ(p.options.helpTarget, "6032");
}

TEST(TargetWords, FollowingOptionIsStillApplied) {
  Parsed p = Parse({"-6128es", "-SLEW", "Slow", "-6064es", "-i", "Keep.POF"});
  EXPECT_EQ(p.result, CONTINUE);
  EXPECT_EQ(p.options.slew, SLOW);
  EXPECT_EQ(p.options.inputFileName, "Keep.POF");  // only the word right after is lower-cased
  EXPECT_EQ(p.options.helpTarget, "6064");
  // Two notices, one per target word.
  EXPECT_EQ(p.out.find("NOTE"), 0u);
  EXPECT_NE(p.out.find("NOTE", 10), std::string::npos);
}

TEST(TargetWords, TargetWordChoiceFollowsItsOrder) {
  EXPECT_EQ(Parse({"-6128esxx", "a"}).options.helpTarget, "6128");
  EXPECT_EQ(Parse({"-6064ES", "a"}).options.helpTarget, "6064");
  EXPECT_EQ(Parse({"-6032es", "a"}).options.helpTarget, "6032");
}

}  // namespace
}  // namespace fusecvt::test
