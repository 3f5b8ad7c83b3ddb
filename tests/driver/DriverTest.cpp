// The driver: the argument loop, the file names, and the choice of target per
// source kind and device word with the report header, as tables; then whole
// runs of the built binary: the run's steps, messages, files and exit
// statuses, the power-down refusal per package, and the help screens.
#include <gtest/gtest.h>


#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/DesignRun.h"
#include "driver/CommandLine.h"
#include "driver/Conversion.h"
#include "driver/Report.h"
#include "driver/TargetSet.h"
#include "pof/Text.h"
#include "translate/BlockTarget.h"
#include "qpl6000/Qpl6000.h"
#include "support/EndToEnd.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

using O = ConversionOptions;

std::string Str(const std::string& v) { return v; }
std::string Str(int v) { return std::to_string(v); }
std::string Str(OptionState v) {
  return v == AUTO ? "AUTO" : v == SLOW ? "SLOW" : v == FAST ? "FAST" : v == ON ? "ON" : v == OFF ? "OFF" : "UNSET";
}

// Every option field that differs from a fresh record, as "name=value ...".
std::string Changed(const O& o) {
  const O d;
  std::string s;
#define FIELD(name, f) \
  if (Str(o.f) != Str(d.f)) s += (s.empty() ? "" : " ") + std::string(name) + "=" + Str(o.f);
  FIELD("in", inputFileName) FIELD("out", outputFileName) FIELD("rep", reportFileName) FIELD("dev", targetDeviceName)
  FIELD("help", helpTarget) FIELD("slew", slew) FIELD("open", openOut) FIELD("jtag", jtag) FIELD("mc", mcPower)
  FIELD("given", targetDeviceGiven) FIELD("race", raceCover) FIELD("resetBit", powerResetBit)
  FIELD("resetGiven", powerResetGiven) FIELD("itd1", gclk1Itd) FIELD("itd2", gclk2Itd) FIELD("itd3", gclk3Itd)
  FIELD("pd1", pd1) FIELD("pd2", pd2) FIELD("secure", secure) FIELD("pinclk", pinClock) FIELD("keep", pinKeep)
  FIELD("verbose", verbose) FIELD("tdi", tdiPullup) FIELD("tms", tmsPullup)
#undef FIELD
  return s;
}

struct Captured : CapturedRun {
  ParseResult Parse(const std::vector<std::string>& words) {
    std::vector<std::string> args{"fusecvt"};
    args.insert(args.end(), words.begin(), words.end());
    return ParseCommandLine(args, run);
  }
};

TEST(CommandLine, ArgumentsToOptionFieldsNoticesAndResult) {
  struct Row {
    std::vector<std::string> args;
    const char* fields;  // Changed() after the loop
    ParseResult result = CONTINUE;
    std::string out = "";  // the console (help screens: see the screen table)
  };
  const Row rows[] = {
      // Switches: the first N characters decide, tested in their order.
      {{"-powerdown"}, "pd1=1"}, {{"-POWERD"}, "pd1=1"}, {{"-pd1xyz"}, "pd1=1"}, {{"-PD2"}, "pd2=1"},
      {{"-powe"}, "resetBit=0 resetGiven=1"}, {{"-powerX"}, "resetBit=0 resetGiven=1"}, {{"-secu"}, "secure=1"},
      {{"-pinc"}, "pinclk=1"}, {{"-pin_"}, "keep=1"}, {{"-gclk1"}, "itd1=0"}, {{"-GCLK2_ITD"}, "itd2=0"},
      {{"-gclk3x"}, "itd3=0"}, {{"-race"}, "race=0"}, {{"-verb"}, "verbose=1"}, {{"-tdi_"}, "tdi=1"},
      {{"-TMS_PULLUP"}, "tms=1"}, {{"-tms_"}, "tms=1"},
      // Value words in any case, by their first characters.
      {{"-SLEW", "Slow"}, "slew=SLOW"}, {{"-slew", "AUTOMATIC"}, "slew=AUTO"},
      {{"-slew", "slow", "-slew", "fast"}, "slew=FAST"},
      {{"-slew" + std::string(400, 'z'), "slow"}, "slew=SLOW"}, {{"-jtag", "On"}, "jtag=ON"},
      {{"-jtag", "offline"}, "jtag=OFF"}, {{"-open", "AUTO"}, "open=AUTO"}, {{"-open_out", "onward"}, "open=ON"},
      {{"-mc_p", "OFF"}, "mc=OFF"},
      // File names and the device word keep their case; -i takes any name,
      // also one that begins with '-'; a lone '-' is a name.
      {{"-I", "Dir/D.POF", "-O", "Out/N", "-DEVICE", "P6000"}, "in=Dir/D.POF out=Out/N rep=Out/N dev=P6000 given=1"},
      {{"-devi", "x"}, "dev=x given=1"}, {{"-i", "-6000"}, "in=-6000"}, {{"-"}, "in=-"},
      // An option with a value as the last argument does nothing.
      {{"d.pof", "-jtag"}, "in=d.pof"}, {{"d.pof", "-device"}, "in=d.pof"}, {{"d.pof", "-i"}, "in=d.pof"},
      {{"d.pof", "-o"}, "in=d.pof"}, {{"d.pof", "-slew"}, "in=d.pof"},
      // Family words show the usage and end the loop at once.
      {{"-secure", "-6000e", "-pd1", "later.pof"}, "help=-6000e secure=1", EXIT}, {{"-6000ESL"}, "help=-6000e", EXIT},
      {{"-6000"}, "help=-6000", EXIT},
      // Target words: usage when last, advanced help before -h2 (any case).
      {{"-6032esl"}, "help=6032", EXIT}, {{"-6064ES", "-H2", "d.pof"}, "help=6064", EXIT},
      {{"-6128esxx", "-h2"}, "help=6128", EXIT},
      {{"-6032esl", "Design.POF"}, "in=Design.POF help=6032", CONTINUE, TargetWordNotice("-6032es")},
      {{"-6128ESL", "-SLEW", "Slow", "-6064es", "-i", "Keep.POF"}, "in=Keep.POF help=6064 slew=SLOW", CONTINUE,
       TargetWordNotice("-6128es") + TargetWordNotice("-6064es")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args));
    Captured c;
    EXPECT_EQ(c.Parse(r.args), r.result);
    EXPECT_EQ(Changed(c.run.options), r.fields);
    EXPECT_TRUE(r.result == EXIT || c.console.str() == r.out) << c.console.str();
    EXPECT_EQ(c.error.str(), "");
  }
}

// Words that lose the user's intent were taken silently before: an unknown
// option word became the input name, an unknown value word vanished, and a
// second input name replaced the first. Now each is named on standard error,
// in argument order, and the loop goes on.
TEST(CommandLine, WarningsNowNameUnknownOptionsValuesAndReplacedInputs) {
  auto unknown = [](const std::string& arg) { return "Warning: unknown option " + arg + " ignored\n"; };
  auto value = [](const std::string& v, const std::string& option) {
    return "Warning: unknown value " + v + " for " + option + " ignored\n";
  };
  auto replaced = [](const std::string& a, const std::string& b) {
    return "Warning: input file " + a + " replaced by " + b + "\n";
  };
  struct Row {
    std::vector<std::string> args;
    const char* fields;  // Changed() after the loop
    std::string err;
  };
  const Row rows[] = {
      // Shorter than the characters that decide, or a misspelling: ignored,
      // no longer the input name.
      {{"-pd"}, "", unknown("-pd")}, {{"-pin"}, "", unknown("-pin")}, {{"-gclk"}, "", unknown("-gclk")},
      {{"-mc_"}, "", unknown("-mc_")}, {{"-ope"}, "", unknown("-ope")}, {{"-sle"}, "", unknown("-sle")},
      {{"-dev"}, "", unknown("-dev")}, {{"-in"}, "", unknown("-in")}, {{"-oo"}, "", unknown("-oo")},
      {{"-600"}, "", unknown("-600")}, {{"-6000x"}, "", unknown("-6000x")}, {{"-6032e"}, "", unknown("-6032e")},
      {{"-pow"}, "", unknown("-pow")}, {{"-sec"}, "", unknown("-sec")}, {{"-rac"}, "", unknown("-rac")},
      {{"-ver"}, "", unknown("-ver")}, {{"-jta"}, "", unknown("-jta")}, {{"-tdi"}, "", unknown("-tdi")},
      {{"-tms"}, "", unknown("-tms")},
      {{"-SLWE", "slow", "d.pof"}, "in=d.pof", unknown("-SLWE") + replaced("slow", "d.pof")},
      {{"d.pof", "-h2"}, "in=d.pof", unknown("-h2")}, {{"-H2", "D.pof"}, "in=D.pof", unknown("-H2")},
      {{"--Verbose", "d.pof"}, "in=d.pof", unknown("--Verbose")},
      // A value that matches none of its option's words: named as typed,
      // with the option's whole word; the field keeps its value.
      {{"-slew", "fas"}, "", value("fas", "-slew")}, {{"-SLEW", "On"}, "", value("On", "-slew")},
      {{"-jtag", "of"}, "", value("of", "-jtag")}, {{"-jtag", "maybe", "d.pof"}, "in=d.pof", value("maybe", "-jtag")},
      {{"-open_out", "slow"}, "", value("slow", "-open_out")}, {{"-slew", "-secure"}, "", value("-secure", "-slew")},
      {{"-mc_power", "on", "-mc_power", "auto"}, "mc=ON", value("auto", "-mc_power")},
      {{"-MC_P", "xx", "-open", "yy", "-jtagz", "zz"}, "",
       value("xx", "-mc_power") + value("yy", "-open_out") + value("zz", "-jtag")},
      // A later input name replaces an earlier one, plain or after -i.
      {{"a.pof", "b.pof"}, "in=b.pof", replaced("a.pof", "b.pof")},
      {{"-i", "a.pof", "b.pof"}, "in=b.pof", replaced("a.pof", "b.pof")},
      {{"A.pof", "-i", "-b.pof", "c", "-x"}, "in=c", replaced("A.pof", "-b.pof") + replaced("-b.pof", "c") + unknown("-x")},
      // The value of -o or -device is no input name, whatever it looks like.
      {{"d.pof", "-o", "-weird", "-device", "-6000"}, "in=d.pof out=-weird rep=-weird dev=-6000 given=1", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args));
    Captured c;
    EXPECT_EQ(c.Parse(r.args), CONTINUE);
    EXPECT_EQ(Changed(c.run.options), r.fields);
    EXPECT_EQ(c.error.str(), r.err);
    EXPECT_EQ(c.console.str(), "");
  }
}

// The output names come from the input name or the -o name; an -o name that
// is a folder (it ends in a separator or exists) gets both files, named after
// the input file's own name.
TEST(CommandLine, FileNamesFromTheInputOrTheDashOName) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.File("out.d"));
  const std::string d = dir.path();
  struct Row {
    std::string input, dashO, names;  // dashO "": no -o; names: JEDEC and report
  };
  const Row rows[] = {
      {"design.pof", "", "design.jed design.txt"}, {"design", "", "design.jed design.txt"},
      {"d.rev.pof", "", "d.rev.jed d.rev.txt"},    {"Dir/D.POF", "", "Dir/D.jed Dir/D.txt"},
      {"p.v2/d", "", "p.v2/d.jed p.v2/d.txt"},     {"../u.d/x.pof", "", "../u.d/x.jed ../u.d/x.txt"},
      {".pof", "", ".jed .txt"},                   {"design.pof", "out", "out.jed out.txt"},
      {"design.pof", "a.b.c", "a.b.c a.b.txt"},    {"design.pof", "out.txt", "out.txt out.txt"},
      {"design.pof", "o.d/x", "o.d/x.jed o.d/x.txt"},
      {"design.pof", "o.d/", "o.d/design.jed o.d/design.txt"},
      {"src/My.Design.pof", "out\\", "out\\My.Design.jed out\\My.Design.txt"},
      {"a\\b\\c.pof", "x/", "x/c.jed x/c.txt"},
      {"../p.v2/design", "o/", "o/design.jed o/design.txt"},
      {"design.pof", d + "/out.d", d + "/out.d/design.jed " + d + "/out.d/design.txt"},  // an existing directory
      {"design.pof", d + "/out.e", d + "/out.e " + d + "/out.txt"},                      // no directory: a name
      {"design.pof", d, d + "/design.jed " + d + "/design.txt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.input + " -o " + r.dashO);
    O o;
    o.inputFileName = r.input;
    if (!r.dashO.empty()) o.outputFileName = o.reportFileName = r.dashO;
    DeriveFileNames(o);
    EXPECT_EQ(o.outputFileName + " " + o.reportFileName, r.names);
  }
}

enum Made { kNone, kRefused, kQpl6000, kQpl6032, kQpl6064, kQpl6128 };

// Per source kind and -device word, in the order the driver runs them: the
// defaults and the device word (the pin keeper refused for the word 6000e
// with a 7032-family source), the report header, the target made or the
// word refused, and the summary heading.
TEST(CommandLine, SourceKindAndDeviceWordChooseTheTarget) {
  struct Row {
    const char* source;
    std::vector<std::string> args;
    const char* target;  // of the conversion line: name, package, pins
    bool warned;         // the low-voltage warning
    Made made;
    std::string fields;  // Changed() at the end, but for the names of the report header
    const char* heading;  // of the settings summary: "Options :  (... only)"
  };
  const std::string au = "slew=AUTO open=AUTO jtag=AUTO";
  const Row rows[] = {
      {"EPM7032LC44", {}, "QPL6000ePLCC44", true, kQpl6000, "slew=FAST", "6000E"},
      {"EPM7032LC44", {"-device", "P6000"}, "p6000PLCC44", 0, kQpl6000, "slew=FAST", "6000"},
      {"EPM7032LC44", {"-device", "6000E", "-pin_keep"}, "6000ePLCC44", 0, kQpl6000, "slew=FAST", "6000E"},
      {"EPM7032LC44", {"-device", "6064es"}, "6064esPLCC44", 0, kQpl6000, "slew=FAST", ""},
      {"EPM7032LC44", {"-device", "qpl6032esl"}, "qpl6032eslPLCC44", 0, kQpl6032, "slew=FAST resetBit=0", ""},
      {"EPM7032QC44", {"-device", "6032ES"}, "6032esTQFP44", 0, kQpl6032, "slew=FAST", ""},
      {"EPM7032SLC44", {}, "QPL6032ESPLCC44", true, kQpl6032, au, "6032"},
      {"EPM7032SQC44", {"-device", "P6000"}, "p6000PQFP44", 0, kRefused, au, ""},
      {"EPM7032SLC44", {"-device", "qpl6000e"}, "qpl6000ePLCC44", 0, kRefused, au, ""},
      {"EPM7032AELC44", {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", 0, kQpl6032, au, "6032"},
      {"EPM3032ALC44", {}, "QPL6032ESLPLCC44", 0, kQpl6032, au + " resetBit=0", ""},
      {"EPM7064SLC44", {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", 0, kQpl6064, au + " keep=1", "6064"},
      {"EPM7064LC84", {}, "QPL6064ESPLCC84", true, kQpl6064, "slew=AUTO open=OFF jtag=OFF", "6064"},
      {"EPM7064SLC84", {"-power_reset"}, "QPL6064ESPLCC84", 0, kQpl6064, au + " resetBit=0 resetGiven=1", "6064"},
      {"EPM7064AETC100", {}, "QPL6064ESLTQFP100", 0, kQpl6064, au + " resetBit=0", "6064"},
      {"EPM3064ATC100", {}, "QPL6064ESLTQFP100", 0, kQpl6064, au + " resetBit=0", ""},
      {"EPM7128LC84", {"-slew", "slow", "-jtag", "on"}, "QPL6128ESPLCC84", true, kQpl6128, "slew=SLOW open=OFF jtag=ON", "6128"},
      {"EPM7128ELC84", {}, "QPL6128ESPLCC84", true, kQpl6128, "slew=AUTO open=OFF jtag=OFF", "6128"},
      {"EPM7128SLTQ84", {}, "QPL6128ESPLCC84", true, kQpl6128, au, "6128"},
      {"EPM7128ATC100", {}, "QPL6128ESLTQFP100", 0, kQpl6128, "slew=AUTO open=OFF jtag=OFF resetBit=0", "6128"},
      {"EPM7128AEL84", {"-device", "6128ES"}, "6128esPLCC84", 0, kQpl6128, au, "6128"},
      {"EPM3128A84", {}, "QPL6128ESL!UNKNOWN_PACKAGE!84", 0, kQpl6128, au + " resetBit=0", ""},
      {"EPM7256SRC208", {}, "UNKNOWN_DEVICE!!UNKNOWN_PACKAGE!208", true, kNone, "slew=AUTO", ""},
  };
  for (const Row& r : rows) {
    const std::string source = r.source;
    SCOPED_TRACE(source + " " + testing::PrintToString(r.args));
    Captured c;
    c.run.pof.device = ParseDeviceName(source);
    const std::string target = r.target;
    c.run.pof.device.pinCount = std::stoi(target.substr(target.find_last_not_of("0123456789") + 1));
    ASSERT_EQ(c.Parse(r.args), CONTINUE);
    ResolveSourceDefaults(c.run.pof.device, c.run.options);
    NormalizeDeviceName(c.run.pof.device, c.run);
    ResolveTargetDefaults(c.run.pof.device, c.run.options);
    c.run.options.inputFileName = "d.pof";
    DeriveFileNames(c.run.options);
    WriteReportHeader(c.run);
    const TargetChoice targets = SelectTarget(c.run.pof.device, c.run);
    EXPECT_EQ(targets.device != nullptr, r.made > kRefused);
    TargetDevice* const t = targets.device.get();
    const Made made = dynamic_cast<Qpl6000*>(t)   ? kQpl6000
                      : dynamic_cast<Qpl6032*>(t) ? kQpl6032
                      : dynamic_cast<Qpl6064*>(t) ? kQpl6064
                      : dynamic_cast<Qpl6128*>(t) ? kQpl6128
                      : targets.refused           ? kRefused
                                                  : kNone;
    EXPECT_EQ(made, r.made);
    EXPECT_EQ(c.report.str(), ConversionLine(source, target) + ReportFileNames("d.pof", "d.jed", "d.txt") +
                                  (r.warned ? LowVoltageWarning() : "") + (made == kRefused ? k7032SRefusal : ""));
    O o = c.run.options;  // less the names the report's lines show
    o.outputFileName = o.reportFileName = o.inputFileName = "";
    o.targetDeviceName = O().targetDeviceName;
    o.targetDeviceGiven = 0;
    EXPECT_EQ(Changed(o), r.fields);
    std::ostringstream summary;
    c.run.SetReport(&summary);
    if (made != kRefused) WriteSettingsSummary(c.run);  // a refused word ends the run before it
    const std::string heading = summary.str().substr(0, summary.str().find("   Powerdown"));
    const std::string want = *r.heading ? "\nOptions :  (" + std::string(r.heading) + " only)\n" : "\n";
    EXPECT_EQ(heading, made <= kRefused ? "" : want);
  }
}

// A -device word that names no target of the source's family used to pass
// (a 7032S with -device 6064es printed "--> 6064esPLCC44" and wrote a QPL6032
// file). Now it is dropped with a warning, as if -device had not been given;
// without a source image nothing is checked.
TEST(CommandLine, DeviceWordOfAnotherFamilyNowDroppedWithAWarning) {
  struct Row {
    const char* source;
    const char* word;
    bool kept;
    bool image = true;
  };
  const Row rows[] = {
      {"EPM7032LC44-10", "6032es", true},      {"EPM7032LC44-10", "qpl6000e", true},  {"EPM7032LC44-10", "6064es", false},
      {"EPM7032LC44-10", "qpl", false},        {"EPM7032SLC44-10", "6032ESL", true},  {"EPM7032SLC44-10", "6000E", true},
      {"EPM7032AETC44-10", "6000e", false},    {"EPM3032ALC44-10", "6032esl", true},  {"EPM3032ALC44-10", "6000", false},
      {"EPM7064LC68-10", "6064es", true},      {"EPM7064LC68-10", "6032es", false},   {"EPM7064SLC44-10", "6000e", false},
      {"EPM7064AETC100-10", "QPL6064ESL", true}, {"EPM3064ATC100-10", "6128", false}, {"EPM7128LC84-15", "6064es", false},
      {"EPM7128ELC84-10", "6128ES", true},     {"EPM7128SLC84-15", "p6000", false},   {"EPM3128ATC100-10", "6128esl", true},
      {"EPM7064SLC44-10", "6000e", true, false},  // no image: the word stays
  };
  for (const Row& r : rows) {
    const std::string source = r.source;
    SCOPED_TRACE(source + " -device " + r.word);
    Captured c;
    const DeviceRecord device = ParseDeviceName(source);
    ASSERT_NE(device.variant, nullptr);
    if (r.image) c.run.sources.CreateImage(device.kind());
    ASSERT_EQ(c.Parse({"-pin_keep", "-device", r.word, "d.pof"}), CONTINUE);
    NormalizeDeviceName(device, c.run);
    const std::string warning =
        "Warning: -device " + std::string(r.word) + " does not name a target for " + source + "; ignored\n";
    EXPECT_EQ(c.error.str(), r.kept ? "" : warning);
    EXPECT_EQ(c.run.options.targetDeviceName, r.kept ? AsciiLower(r.word) : "unselected");
    EXPECT_EQ(c.run.options.targetDeviceGiven, r.kept ? 1 : 0);
  }
}

// The help screens: which one each word shows (its first line, its length in
// lines and lines that set it apart), with the program name of the banner
// and of the usage line.
TEST(Run, HelpScreenOfEachWord) {
  const std::string usage = "usg: fusecvt [-i] filename.POF [-o filename.JED] [options]\n", advanced = "Advance Help Options:\n";
  const std::string keep = "   -pin_keep              : Enable pin keeper circuits\n", fast = "(defaults to FAST)\n";
  const std::string h2 = "   -h2\t\t\t  : Displays Advanced Help Options\n", pd1 = "   -PD1\t                  : Enable";
  struct Row {
    std::vector<std::string> args;
    std::string first;
    int lines;
    std::vector<std::string> has, hasNot = {};
    std::string name = "";  // the program name of the banner and the usage line; "": args[0]
  };
  const Row family6000{{"fusecvt", "-6000"}, usage, 22, {fast, "   -verbose               : see configuration changes\n"}, {keep, h2, pd1}};
  const Row family6000e{{"fusecvt", "-6000E", "anything.pof"}, usage, 24, {fast, keep}, {h2, pd1}};
  const Row rows[] = {
      {{"fusecvt"}, " Please provide the device type to get the appropriate options as follow :\n", 2,
       {" fusecvt [-6000|-6000e|-6032es|-6032esl|-6064es|-6064esl|-6128es|-6128esl]\n"}},
      {{"C:\\bin\\other.exe"}, " Please provide", 2, {" fusecvt [-6000|"}, {}, "other"},  // the prompt keeps its own word
      family6000, family6000e,
      {{"fusecvt", "x.pof", "-6000e", "-6032es"}, usage, 24, {fast, keep}, {h2}},
      {{"D:\\x\\My.Tool.EXE", "-6032es"}, "usg: My.Tool [-i]", 27, {pd1, keep, h2}, {fast}, "My.Tool"},
      {{"a%sb%d", "-6064ESL"}, "usg: a%sb%d [-i]", 27, {pd1, h2}},
      {{"fusecvt", "-6128esl"}, usage, 27, {pd1, h2, "\t\t\t    (defaults to AUTO).\n"}},
      {{"fusecvt", "-6128es", "-h2", "more.pof"}, advanced, 38,
       {"Enables pull-up on TDI pin (7128S/AE only).\n", "                             like  -device QPL6128ESL\n"}},
      {{"fusecvt", "-6064esl", "-H2"}, advanced, 36, {"Enables pull-up on TDI pin (7064S/AE only).\n"}, {"QPL6128ESL"}},
      {{"fusecvt", "-6032es", "-h2"}, advanced, 34,
       {"Enables pull-up on TDI pin \n", "\t\t\t     7032S/AE : defaults to AUTO).\n"}, {"QPL6128ESL"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args));
    const RunResult run = RunBinary(r.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    const std::string banner = Banner(r.name.empty() ? r.args[0] : r.name);
    ASSERT_EQ(run.out.substr(0, banner.size()), banner);
    const std::string screen = run.out.substr(banner.size());
    EXPECT_EQ(screen.substr(0, r.first.size()), r.first);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), '\n'), r.lines);
    EXPECT_EQ(screen.back(), '\n');
    for (const std::string& line : r.has) EXPECT_NE(screen.find(line), std::string::npos) << line;
    for (const std::string& line : r.hasNot) EXPECT_EQ(screen.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace fusecvt::test
