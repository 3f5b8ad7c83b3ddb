// The argument loop, the completion of the options once the source is known,
// and the target choice with the report header, as tables.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/CommandLine.h"
#include "driver/Conversion.h"
#include "driver/Report.h"
#include "driver/TargetSet.h"
#include "jedec/BlockTarget.h"
#include "qpl6000/Qpl6000.h"
#include "support/RunHarness.h"

namespace fusecvt::test {
namespace {

struct Captured {
  std::ostringstream out, err, report;
  Conversion run{out, err, Clock::Fixed(TestTime())};
  Captured() { run.SetReport(&report); }
};

// Every option field that differs from a fresh record, as "name=value ...".
std::string Changed(const ConversionOptions& o) {
  static const char* const kStates[] = {"AUTO", "SLOW", "FAST", "ON", "OFF", "UNSET"};
  const ConversionOptions d;
  std::string s;
  auto put = [&s](const char* name, const std::string& v, const std::string& fresh) {
    if (v != fresh) s += (s.empty() ? "" : " ") + std::string(name) + "=" + v;
  };
  auto num = [&put](const char* name, int v, int fresh) { put(name, std::to_string(v), std::to_string(fresh)); };
  auto state = [&put](const char* name, OptionState v, OptionState fresh) { put(name, kStates[v], kStates[fresh]); };
  put("in", o.inputFileName, d.inputFileName);
  put("out", o.outputFileName, d.outputFileName);
  put("rep", o.reportFileName, d.reportFileName);
  put("dev", o.targetDeviceName, d.targetDeviceName);
  num("given", o.targetDeviceGiven, d.targetDeviceGiven);
  put("help", o.helpTarget, d.helpTarget);
  state("slew", o.slew, d.slew);
  state("open", o.openOut, d.openOut);
  state("jtag", o.jtag, d.jtag);
  state("mc", o.mcPower, d.mcPower);
  num("race", o.raceCover, d.raceCover);
  num("resetBit", o.powerResetBit, d.powerResetBit);
  num("resetGiven", o.powerResetGiven, d.powerResetGiven);
  num("itd1", o.gclk1Itd, d.gclk1Itd);
  num("itd2", o.gclk2Itd, d.gclk2Itd);
  num("itd3", o.gclk3Itd, d.gclk3Itd);
  num("pd1", o.pd1, d.pd1);
  num("pd2", o.pd2, d.pd2);
  num("secure", o.secure, d.secure);
  num("pinclk", o.pinClock, d.pinClock);
  num("keep", o.pinKeep, d.pinKeep);
  num("verbose", o.verbose, d.verbose);
  num("tdi", o.tdiPullup, d.tdiPullup);
  num("tms", o.tmsPullup, d.tmsPullup);
  return s;
}

constexpr char kNotice[] =
    "NOTE : You should not use -6128es option here when converting a file.\n"
    "       Ignore -6128es option.\n\n";

TEST(CommandLine, ArgumentsToOptionFieldsNoticesAndResult) {
  struct Row {
    std::vector<std::string> args;
    const char* fields;   // Changed() after the loop
    ParseResult result;
    const char* console;  // nullptr: a help screen (checked with the screens)
  };
  const Row rows[] = {
      // Switches: the first N characters decide, and the order of the tests.
      {{"-powerdown"}, "pd1=1", CONTINUE, ""},
      {{"-POWERD"}, "pd1=1", CONTINUE, ""},
      {{"-pd1xyz"}, "pd1=1", CONTINUE, ""},
      {{"-PD2"}, "pd2=1", CONTINUE, ""},
      {{"-powe"}, "resetBit=0 resetGiven=1", CONTINUE, ""},
      {{"-powerX"}, "resetBit=0 resetGiven=1", CONTINUE, ""},
      {{"-secu"}, "secure=1", CONTINUE, ""},
      {{"-pinc"}, "pinclk=1", CONTINUE, ""},
      {{"-pin_"}, "keep=1", CONTINUE, ""},
      {{"-gclk1"}, "itd1=0", CONTINUE, ""},
      {{"-GCLK2_ITD"}, "itd2=0", CONTINUE, ""},
      {{"-gclk3x"}, "itd3=0", CONTINUE, ""},
      {{"-race"}, "race=0", CONTINUE, ""},
      {{"-verb"}, "verbose=1", CONTINUE, ""},
      {{"-tdi_"}, "tdi=1", CONTINUE, ""},
      {{"-TMS_PULLUP"}, "tms=1", CONTINUE, ""},
      // Shorter than the characters that decide: a file name.
      {{"-pd"}, "in=-pd", CONTINUE, ""},       {{"-pin"}, "in=-pin", CONTINUE, ""},
      {{"-gclk"}, "in=-gclk", CONTINUE, ""},   {{"-mc_"}, "in=-mc_", CONTINUE, ""},
      {{"-ope"}, "in=-ope", CONTINUE, ""},     {{"-sle"}, "in=-sle", CONTINUE, ""},
      {{"-dev"}, "in=-dev", CONTINUE, ""},     {{"-in"}, "in=-in", CONTINUE, ""},
      {{"-oo"}, "in=-oo", CONTINUE, ""},       {{"-600"}, "in=-600", CONTINUE, ""},
      {{"-6000x"}, "in=-6000x", CONTINUE, ""}, {{"-6032e"}, "in=-6032e", CONTINUE, ""},
      // Value words in any case, by their first characters; others consumed.
      {{"-SLEW", "Slow"}, "slew=SLOW", CONTINUE, ""},
      {{"-slew", "AUTOMATIC"}, "slew=AUTO", CONTINUE, ""},
      {{"-slew", "fas"}, "", CONTINUE, ""},
      {{"-slew", "on"}, "", CONTINUE, ""},
      {{"-slew", "slow", "-slew", "fast"}, "slew=FAST", CONTINUE, ""},
      {{"-slew" + std::string(400, 'z'), "slow"}, "slew=SLOW", CONTINUE, ""},
      {{"-jtag", "On"}, "jtag=ON", CONTINUE, ""},
      {{"-jtag", "offline"}, "jtag=OFF", CONTINUE, ""},
      {{"-jtag", "of"}, "", CONTINUE, ""},
      {{"-jtag", "maybe", "d.pof"}, "in=d.pof", CONTINUE, ""},
      {{"-open", "AUTO"}, "open=AUTO", CONTINUE, ""},
      {{"-open_out", "onward"}, "open=ON", CONTINUE, ""},
      {{"-open_out", "slow"}, "", CONTINUE, ""},
      {{"-mc_p", "OFF"}, "mc=OFF", CONTINUE, ""},
      {{"-mc_power", "on", "-mc_power", "auto"}, "mc=ON", CONTINUE, ""},
      {{"-slew", "-secure"}, "", CONTINUE, ""},
      // File names and the device word keep their case; the later name wins.
      {{"-I", "Dir/D.POF", "-O", "Out/N", "-DEVICE", "P6000"}, "in=Dir/D.POF out=Out/N rep=Out/N dev=P6000 given=1",
       CONTINUE, ""},
      {{"-devi", "x"}, "dev=x given=1", CONTINUE, ""},
      {{"-i", "-6000"}, "in=-6000", CONTINUE, ""},
      {{"a.pof", "b.pof"}, "in=b.pof", CONTINUE, ""},
      {{"-i", "a.pof", "b.pof"}, "in=b.pof", CONTINUE, ""},
      {{"d.pof", "-h2"}, "in=-h2", CONTINUE, ""},
      // An option with a value as the last argument does nothing.
      {{"d.pof", "-jtag"}, "in=d.pof", CONTINUE, ""},
      {{"d.pof", "-device"}, "in=d.pof", CONTINUE, ""},
      {{"d.pof", "-i"}, "in=d.pof", CONTINUE, ""},
      {{"d.pof", "-o"}, "in=d.pof", CONTINUE, ""},
      // Family words show the usage and end the loop at once.
      {{"-secure", "-6000e", "-pd1", "later.pof"}, "help=-6000e secure=1", EXIT, nullptr},
      {{"-6000ESL"}, "help=-6000e", EXIT, nullptr},
      {{"-6000"}, "help=-6000", EXIT, nullptr},
      // Target words: usage when last, advanced help before -h2, else a
      // notice (always naming -6128es) and the next word lower-cased.
      {{"-6032esl"}, "help=6032", EXIT, nullptr},
      {{"-6064ES", "-H2", "d.pof"}, "help=6064", EXIT, nullptr},
      {{"-6128esxx", "-h2"}, "help=6128", EXIT, nullptr},
      {{"-6032esl", "Design.POF"}, "in=design.pof help=6032", CONTINUE, kNotice},
      {{"-6128es", "-SLEW", "Slow", "-6064es", "-i", "Keep.POF"}, "in=Keep.POF help=6064 slew=SLOW", CONTINUE,
       "NOTE : You should not use -6128es option here when converting a file.\n"
       "       Ignore -6128es option.\n\n"
       "NOTE : You should not use -6128es option here when converting a file.\n"
       "       Ignore -6128es option.\n\n"},
  };
  for (const Row& r : rows) {
    std::vector<std::string> args = r.args;
    args.insert(args.begin(), "fusecvt");
    SCOPED_TRACE(testing::PrintToString(args));
    Captured c;
    EXPECT_EQ(ParseCommandLine(args, c.run), r.result);
    EXPECT_EQ(Changed(c.run.options), r.fields);
    if (r.console) {
      EXPECT_EQ(c.out.str(), r.console);
    }
  }
}

TEST(CommandLine, UnsetOptionsFollowTheSourceKind) {
  struct Row {
    const char* source;
    OptionState slew, openOutAndJtag;
  };
  const Row rows[] = {
      {"EPM7032LC44", FAST, UNSET},   {"EPM7032SLC44", AUTO, AUTO},   {"EPM7032AELC44", AUTO, AUTO},
      {"EPM3032ATC44", AUTO, AUTO},   {"EPM7064LC84", AUTO, OFF},     {"EPM7064STC100", AUTO, AUTO},
      {"EPM7064AETC100", AUTO, AUTO}, {"EPM3064ATC100", AUTO, AUTO},  {"EPM7128LC84", AUTO, OFF},
      {"EPM7128ELC84", AUTO, OFF},    {"EPM7128SLC84", AUTO, AUTO},   {"EPM7128ATC100", AUTO, OFF},
      {"EPM7128AETC100", AUTO, AUTO}, {"EPM3128ATC100", AUTO, AUTO},  {"EPM7256SRC208", AUTO, UNSET},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.source);
    ConversionOptions o;
    ResolveSourceDefaults(r.source, o);
    EXPECT_EQ(o.slew, r.slew);
    EXPECT_EQ(o.openOut, r.openOutAndJtag);
    EXPECT_EQ(o.jtag, r.openOutAndJtag);
    ConversionOptions given;  // each given field stays, the others still resolve
    given.slew = SLOW;
    given.jtag = ON;
    ResolveSourceDefaults(r.source, given);
    EXPECT_EQ(given.slew, SLOW);
    EXPECT_EQ(given.jtag, ON);
    EXPECT_EQ(given.openOut, r.openOutAndJtag);
  }
}

TEST(CommandLine, FileNamesFromTheInputOrTheDashOName) {
  struct Row {
    const char* input;
    const char* dashO;  // nullptr: no -o
    const char* jed;
    const char* txt;
  };
  const Row rows[] = {
      {"design.pof", nullptr, "design.jed", "design.txt"},
      {"design", nullptr, "design.jed", "design.txt"},
      {"d.rev.pof", nullptr, "d.rev.jed", "d.rev.txt"},
      {"Dir/D.POF", nullptr, "Dir/D.jed", "Dir/D.txt"},
      {"p.v2/design", nullptr, "p.v2/design.jed", "p.v2/design.txt"},  // only the last component counts
      {"../up.d/x.pof", nullptr, "../up.d/x.jed", "../up.d/x.txt"},
      {".pof", nullptr, ".jed", ".txt"},
      {"design.pof", "out", "out.jed", "out.txt"},
      {"design.pof", "a.b.c", "a.b.c", "a.b.txt"},
      {"design.pof", "out.txt", "out.txt", "out.txt"},
      {"design.pof", "out.d/x", "out.d/x.jed", "out.d/x.txt"},
      {"design.pof", "out.d/", "out.d/.jed", "out.d/.txt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.input) + " -o " + (r.dashO ? r.dashO : "(none)"));
    ConversionOptions o;
    o.inputFileName = r.input;
    if (r.dashO) o.outputFileName = o.reportFileName = r.dashO;
    DeriveFileNames(o);
    EXPECT_EQ(o.outputFileName + " " + o.reportFileName, std::string(r.jed) + " " + r.txt);
  }
}

enum class Made { None, Refused, Qpl6000, Qpl6032, Qpl6064, Qpl6128 };

// Per source kind and -device word, in the order the driver runs them: the
// defaults and the device word, the report header (conversion line, file
// names, low-voltage rule), the target made or the word refused, and the
// heading of the settings summary.
TEST(CommandLine, SourceKindAndDeviceWordChooseTheTarget) {
  struct Row {
    const char* source;
    int pins;
    std::vector<std::string> args;
    const char* target;  // of the conversion line: name, package, pins
    bool warned;         // the low-voltage warning
    Made made;
    const char* fields;  // Changed() at the end, file names left out
    const char* heading;
  };
  constexpr char k6032[] = "Options :  (6032 only)\n";
  constexpr char k6064[] = "Options :  (6064 only)\n";
  constexpr char k6128[] = "Options :  (6128 only)\n";
  const Row rows[] = {
      {"EPM7032LC44", 44, {}, "QPL6000ePLCC44", true, Made::Qpl6000, "dev=QPL6000e slew=FAST", "Options :  (6000E only)\n"},
      {"EPM7032LC44", 44, {"-device", "P6000"}, "p6000PLCC44", false, Made::Qpl6000, "dev=p6000 given=1 slew=FAST",
       "Options :  (6000 only)\n"},
      {"EPM7032LC44", 44, {"-device", "6000E", "-pin_keep"}, "6000ePLCC44", false, Made::Qpl6000,
       "dev=6000e given=1 slew=FAST", "Options :  (6000E only)\n"},
      {"EPM7032LC44", 44, {"-device", "6064es"}, "6064esPLCC44", false, Made::Qpl6000, "dev=6064es given=1 slew=FAST", ""},
      {"EPM7032LC44", 44, {"-device", "qpl6032esl"}, "qpl6032eslPLCC44", false, Made::Qpl6032,
       "dev=qpl6032esl given=1 slew=FAST resetBit=0", ""},
      {"EPM7032QC44", 44, {"-device", "6032ES"}, "6032esTQFP44", false, Made::Qpl6032, "dev=6032es given=1 slew=FAST", ""},
      {"EPM7032SLC44", 44, {}, "QPL6032ESPLCC44", true, Made::Qpl6032, "dev=unselected slew=AUTO open=AUTO jtag=AUTO", k6032},
      {"EPM7032SQC44", 44, {"-device", "6032es"}, "6032esPQFP44", false, Made::Qpl6032,
       "dev=6032es given=1 slew=AUTO open=AUTO jtag=AUTO", k6032},
      {"EPM7032SLC44", 44, {"-device", "P6000"}, "p6000PLCC44", false, Made::Refused,
       "dev=p6000 given=1 slew=AUTO open=AUTO jtag=AUTO", k6032},
      {"EPM7032SLC44", 44, {"-device", "qpl6000e"}, "qpl6000ePLCC44", false, Made::Refused,
       "dev=qpl6000e given=1 slew=AUTO open=AUTO jtag=AUTO", k6032},
      {"EPM7032AELC44", 44, {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", false, Made::Qpl6032,
       "dev=6000e given=1 slew=AUTO open=AUTO jtag=AUTO", k6032},
      {"EPM7064SLC44", 44, {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", false, Made::Qpl6064,
       "dev=6000e given=1 slew=AUTO open=AUTO jtag=AUTO keep=1", k6064},
      {"EPM3032ALC44", 44, {}, "QPL6032ESLPLCC44", false, Made::Qpl6032,
       "dev=unselected slew=AUTO open=AUTO jtag=AUTO resetBit=0", ""},
      {"EPM7064LC84", 84, {}, "QPL6064ESPLCC84", true, Made::Qpl6064, "dev=unselected slew=AUTO open=OFF jtag=OFF", k6064},
      {"EPM7064SLC84", 84, {"-power_reset"}, "QPL6064ESPLCC84", false, Made::Qpl6064,
       "dev=unselected slew=AUTO open=AUTO jtag=AUTO resetBit=0 resetGiven=1", k6064},
      {"EPM7064AETC100", 100, {}, "QPL6064ESLTQFP100", false, Made::Qpl6064,
       "dev=unselected slew=AUTO open=AUTO jtag=AUTO resetBit=0", k6064},
      {"EPM3064ATC100", 100, {}, "QPL6064ESLTQFP100", false, Made::Qpl6064,
       "dev=unselected slew=AUTO open=AUTO jtag=AUTO resetBit=0", ""},
      {"EPM7128ELC84", 84, {}, "QPL6128ESPLCC84", true, Made::Qpl6128, "dev=unselected slew=AUTO open=OFF jtag=OFF", k6128},
      {"EPM7128SLTQ84", 84, {}, "QPL6128ESPLCC84", true, Made::Qpl6128, "dev=unselected slew=AUTO open=AUTO jtag=AUTO", k6128},
      {"EPM7128SQC100", 100, {}, "QPL6128ESPQFP100", true, Made::Qpl6128,
       "dev=unselected slew=AUTO open=AUTO jtag=AUTO", k6128},
      {"EPM7128ATC100", 100, {}, "QPL6128ESLTQFP100", false, Made::Qpl6128,
       "dev=unselected slew=AUTO open=OFF jtag=OFF resetBit=0", k6128},
      {"EPM7128AEL84", 84, {"-device", "6128ES"}, "6128esPLCC84", false, Made::Qpl6128,
       "dev=6128es given=1 slew=AUTO open=AUTO jtag=AUTO", k6128},
      {"EPM3128A84", 84, {}, "QPL6128ESL!UNKNOWN_PACKAGE!84", false, Made::Qpl6128,
       "dev=unselected slew=AUTO open=AUTO jtag=AUTO resetBit=0", ""},
      {"EPM7256SRC208", 208, {}, "UNKNOWN_DEVICE!!UNKNOWN_PACKAGE!208", true, Made::None, "dev=unselected slew=AUTO", ""},
  };
  const std::string warning = "WARNING:  If conversion is for a low voltage device,\n   please use the -power_reset option.\n\n";
  const std::string keepNotice = "***********************************************\n"
                                 "NOTE : This option is included in 6000E only.\n"
                                 "       Ignore -pin_keep option.\n"
                                 "***********************************************\n";
  const std::string refusal = "ERROR:  Invalid Device type specified. Target\n    device for 7032S is 6032ES\n\n";
  for (const Row& r : rows) {
    std::vector<std::string> args = r.args;
    args.insert(args.begin(), "fusecvt");
    args.push_back("d.pof");
    const std::string source = r.source;
    SCOPED_TRACE(source + " " + testing::PrintToString(args));
    Captured c;
    c.run.pof.sourceDeviceName = source;
    c.run.pof.pinCount = r.pins;
    ASSERT_EQ(ParseCommandLine(args, c.run), CONTINUE);
    ResolveSourceDefaults(source, c.run.options);
    NormalizeDeviceName(source, c.run);
    const bool keepRefused = r.args.size() == 3 && std::string(r.fields).find("keep=1") == std::string::npos;
    DeriveFileNames(c.run.options);
    WriteReportHeader(c.run);
    const std::string line = "  " + source + " --> " + r.target + "\n";
    EXPECT_EQ(c.out.str(), (keepRefused ? keepNotice : "") + line +
                               "Input file      \t: d.pof\nOutput file     \t: d.jed\nConversion Report file\t: d.txt\n\n" +
                               (r.warned ? warning : ""));
    EXPECT_EQ(c.report.str(), line + "Input file                : d.pof\nOutput file               : d.jed\n"
                                     "Conversion Report file    : d.txt\n\n" + (r.warned ? warning : ""));
    c.out.str("");
    c.report.str("");
    TargetSet targets;
    const bool made = targets.SelectTarget(&source, c.run) != 0;
    const Made which = targets.qpl6000 ? Made::Qpl6000 : targets.qpl6032 ? Made::Qpl6032
                       : targets.qpl6064 ? Made::Qpl6064 : targets.qpl6128 ? Made::Qpl6128
                       : targets.DeviceWordRefused() ? Made::Refused : Made::None;
    EXPECT_EQ(which, r.made);
    EXPECT_EQ(made, targets.current() != nullptr);
    EXPECT_EQ(c.out.str(), r.made == Made::Refused ? refusal : "");
    EXPECT_EQ(c.report.str(), c.out.str());
    c.run.options.outputFileName = c.run.options.reportFileName = c.run.options.inputFileName = "";
    EXPECT_EQ(Changed(c.run.options), r.fields);
    c.report.str("");
    WriteSettingsSummary(c.run);
    if (r.made != Made::None) {
      EXPECT_EQ(c.report.str().substr(0, c.report.str().find("   Powerdown")), "\n" + std::string(r.heading));
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
